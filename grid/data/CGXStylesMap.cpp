#include "grid/data/CGXStylesMap.h"

#include "grid/data/GXColor.h"
#include "platform/core/CArchive.h"
#include "platform/core/CException.h"
#include "platform/core/CMemFile.h"
#include "platform/core/CProfileStore.h"

#include <memory>

IMPLEMENT_DYNCREATE(CGXStylesMap, CObject)

namespace {
constexpr int kColorBtnFace = 15;
} // namespace

CGXStylesMap::CGXStylesMap(CRuntimeClass* pStyleClass) : m_pStyleClass(pStyleClass) {}

CGXStylesMap::CGXStylesMap(const CGXStylesMap& other) : CObject(other)
{
    *this = other;
}

CGXStylesMap& CGXStylesMap::operator=(const CGXStylesMap& other)
{
    if (&other == this)
        return *this;
    m_pStyleClass = other.m_pStyleClass;
    m_nNextId = other.m_nNextId;
    m_wStyleStandard = other.m_wStyleStandard;
    m_wStyleRowHeader = other.m_wStyleRowHeader;
    m_wStyleColHeader = other.m_wStyleColHeader;
    m_styles.clear();
    for (const auto& [id, entry] : other.m_styles) {
        BaseStyle copy{entry.name, std::unique_ptr<CGXStyle>(CreateStyle()), entry.bSystem};
        *copy.style = *entry.style;
        m_styles.emplace(id, std::move(copy));
    }
    m_controls = other.m_controls;
    m_userAttributes.clear();
    for (const auto& [id, pStyle] : other.m_userAttributes)
        m_userAttributes.emplace(id, pStyle ? std::make_unique<CGXStyle>(*pStyle) : nullptr);
    return *this;
}

CGXStylesMap::~CGXStylesMap() = default;

CGXStyle* CGXStylesMap::CreateStyle() const
{
    if (m_pStyleClass != nullptr && m_pStyleClass->IsDerivedFrom(RUNTIME_CLASS(CGXStyle)))
        if (CObject* pOb = m_pStyleClass->CreateObject())
            return static_cast<CGXStyle*>(pOb);
    return new CGXStyle;
}

void CGXStylesMap::CreateStandardStyles()
{
    CGXFont font;
    font.SetFaceName("Arial").SetSize(10).SetWeight(400).SetItalic(FALSE).SetUnderline(FALSE).SetStrikeOut(FALSE);
    CGXStyle standard;
    standard.SetControl(GX_IDS_CTRL_EDIT)
        .SetValue(CString())
        .SetValueType(GX_VT_STRING)
        .SetEnabled(TRUE)
        .SetReadOnly(FALSE)
        .SetHorizontalAlignment(GX_ALIGN_LEFT_TOP)
        .SetVerticalAlignment(GX_ALIGN_LEFT_TOP)
        .SetWrapText(TRUE)
        .SetDraw3dFrame(GX_3D_NONE)
        .SetInterior(CGXBrush(GX_BS_SOLID, RGB(255, 255, 255), 0))
        .SetTextColor(RGB(0, 0, 0))
        .SetFont(font);
    for (int side = 0; side < 4; ++side)
        standard.SetBorders(side, CGXPen());
    m_wStyleStandard = RegisterStyle("Standard", standard, TRUE);

    CGXStyle header;
    header.SetBaseStyle(m_wStyleStandard)
        .SetControl(GX_IDS_CTRL_STATIC)
        .SetHorizontalAlignment(GX_ALIGN_CENTER)
        .SetVerticalAlignment(GX_ALIGN_CENTER)
        .SetWrapText(FALSE)
        .SetDraw3dFrame(GX_3D_RAISED)
        .SetInterior(CGXBrush(GX_BS_SOLID, GXSysColor(kColorBtnFace), 0));
    m_wStyleRowHeader = RegisterStyle("Row Header", header, TRUE);
    m_wStyleColHeader = RegisterStyle("Column Header", header, TRUE);
}

WORD CGXStylesMap::RegisterStyle(LPCTSTR lpszName, const CGXStyle& style, BOOL bSystem)
{
    if (const WORD nID = GetBaseStyleId(lpszName); nID != 0) {
        BaseStyle& entry = m_styles[nID];
        *entry.style = style;
        entry.bSystem = entry.bSystem || bSystem;
        return nID;
    }
    if (m_nNextId == 0)
        return 0; // every id is taken
    const WORD nID = m_nNextId++;
    BaseStyle entry{CString(lpszName), std::unique_ptr<CGXStyle>(CreateStyle()), bSystem};
    *entry.style = style;
    m_styles.emplace(nID, std::move(entry));
    return nID;
}

BOOL CGXStylesMap::UnregisterStyle(WORD nID)
{
    auto it = m_styles.find(nID);
    if (it == m_styles.end() || it->second.bSystem)
        return FALSE;
    m_styles.erase(it);
    return TRUE;
}

BOOL CGXStylesMap::LookupStyle(WORD nID, CGXStyle*& pStyle) const
{
    auto it = m_styles.find(nID);
    pStyle = it != m_styles.end() ? it->second.style.get() : nullptr;
    return pStyle != nullptr;
}

const CGXStyle* CGXStylesMap::LookupStyle(WORD nID) const
{
    auto it = m_styles.find(nID);
    return it != m_styles.end() ? it->second.style.get() : nullptr;
}

CGXStyle* CGXStylesMap::LookupStyle(WORD nID)
{
    auto it = m_styles.find(nID);
    return it != m_styles.end() ? it->second.style.get() : nullptr;
}

WORD CGXStylesMap::GetBaseStyleId(LPCTSTR lpszName) const
{
    if (lpszName == nullptr)
        return 0;
    for (const auto& [id, entry] : m_styles)
        if (entry.name.CompareNoCase(lpszName) == 0)
            return id;
    return 0;
}

CString CGXStylesMap::GetStyleName(WORD nID) const
{
    auto it = m_styles.find(nID);
    return it != m_styles.end() ? it->second.name : CString();
}

BOOL CGXStylesMap::IsSystemStyle(WORD nID) const
{
    auto it = m_styles.find(nID);
    return it != m_styles.end() && it->second.bSystem;
}

void CGXStylesMap::AddControl(WORD nID, LPCTSTR lpszName)
{
    CString name;
    if (lpszName != nullptr)
        name = lpszName;
    else if (!name.LoadString(nID))
        name.Format("%u", static_cast<unsigned>(nID));
    m_controls[nID] = name;
}

CString CGXStylesMap::GetControlName(WORD nID) const
{
    auto it = m_controls.find(nID);
    return it != m_controls.end() ? it->second : CString();
}

void CGXStylesMap::AddUserAttribute(WORD nID, const CGXStyle* pEditStyle)
{
    m_userAttributes[nID] = pEditStyle ? std::make_unique<CGXStyle>(*pEditStyle) : nullptr;
}

BOOL CGXStylesMap::IsUserAttributeRegistered(WORD nID) const
{
    return m_userAttributes.contains(nID);
}

const CGXStyle* CGXStylesMap::GetUserAttributeStyle(WORD nID) const
{
    auto it = m_userAttributes.find(nID);
    return it != m_userAttributes.end() ? it->second.get() : nullptr;
}

BOOL CGXStylesMap::ReadProfile(const CProfileStore& profile, LPCTSTR pszSection)
{
    const int nCount = static_cast<int>(profile.GetProfileInt(pszSection, "StyleCount", 0));
    if (nCount <= 0)
        return FALSE;
    // A count the profile cannot really hold is a damaged entry, not a reason to loop for long.
    const int nMax = std::min(nCount, 0xFFFF);
    for (int i = 0; i < nMax; ++i) {
        CString sEntry;
        sEntry.Format("Style%d", i);
        const CString sName = profile.GetProfileString(pszSection, sEntry + "Name", "");
        if (sName.IsEmpty())
            continue;
        BYTE* pData = nullptr;
        UINT nBytes = 0;
        if (!profile.GetProfileBinary(pszSection, sEntry, &pData, &nBytes))
            continue;
        std::unique_ptr<BYTE[]> data(pData);
        std::unique_ptr<CGXStyle> pStyle(CreateStyle());
        try {
            CMemFile file(data.get(), nBytes);
            CArchive ar(&file, CArchive::load);
            pStyle->Serialize(ar);
            ar.Close();
        } catch (CException* e) {
            e->Delete();
            continue;
        }
        const WORD nID = GetBaseStyleId(sName);
        RegisterStyle(sName, *pStyle, nID != 0 && IsSystemStyle(nID));
    }
    return TRUE;
}

void CGXStylesMap::WriteProfile(CProfileStore& profile, LPCTSTR pszSection) const
{
    int i = 0;
    for (const auto& [nID, entry] : m_styles) {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            entry.style->Serialize(ar);
            ar.Close();
        }
        const auto nBytes = static_cast<UINT>(file.GetLength());
        std::unique_ptr<BYTE[]> data(new BYTE[nBytes > 0 ? nBytes : 1]);
        file.SeekToBegin();
        file.Read(data.get(), nBytes);
        CString sEntry;
        sEntry.Format("Style%d", i++);
        profile.WriteProfileString(pszSection, sEntry + "Name", entry.name);
        profile.WriteProfileBinary(pszSection, sEntry, data.get(), nBytes);
    }
    profile.WriteProfileInt(pszSection, "StyleCount", i);
}

// ---- Archives of styles ----

namespace {

// The archives that carry a styles map, innermost last: an archive's document pointer may
// also hold a real document, so a map is only taken from one this registry lists.
struct ArchiveMap {
    const CArchive* pArchive;
    const CGXStylesMap* pMap;
};
thread_local std::vector<ArchiveMap> g_archiveMaps;

CDocument* AsDocumentPointer(const CGXStylesMap* pMap)
{
    return reinterpret_cast<CDocument*>(const_cast<CGXStylesMap*>(pMap));
}

} // namespace

CGXStylesMap::CArchiveScope::CArchiveScope(CArchive& ar, const CGXStylesMap* pMap)
    : m_ar(ar), m_pOldDocument(ar.m_pDocument)
{
    ar.m_pDocument = AsDocumentPointer(pMap);
    g_archiveMaps.push_back(ArchiveMap{&ar, pMap});
}

CGXStylesMap::CArchiveScope::~CArchiveScope()
{
    for (auto it = g_archiveMaps.rbegin(); it != g_archiveMaps.rend(); ++it)
        if (it->pArchive == &m_ar) {
            g_archiveMaps.erase(std::next(it).base());
            break;
        }
    m_ar.m_pDocument = m_pOldDocument;
}

const CGXStylesMap* CGXStylesMap::FromArchive(const CArchive& ar)
{
    if (ar.m_pDocument == nullptr)
        return nullptr;
    for (auto it = g_archiveMaps.rbegin(); it != g_archiveMaps.rend(); ++it)
        if (it->pArchive == &ar)
            return AsDocumentPointer(it->pMap) == ar.m_pDocument ? it->pMap : nullptr;
    return nullptr;
}
