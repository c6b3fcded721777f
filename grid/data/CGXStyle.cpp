#include "grid/data/CGXStyle.h"

#include "grid/data/CGXStylesMap.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <string_view>

IMPLEMENT_SERIAL(CGXStyle, CObject, 1)

namespace {

constexpr DWORD kAllBits = (GX_INCL_USERATTR << 1) - 1;
// Base-style chains are short; a longer one is a loop in a damaged styles map.
constexpr int kMaxBaseDepth = 64;

size_t Mix(size_t h, size_t v)
{
    return h ^ (v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2));
}

size_t HashText(const CString& s)
{
    return std::hash<std::string_view>{}(std::string_view(s.GetString(), static_cast<size_t>(s.GetLength())));
}

} // namespace

CGXStyle::CGXStyle(const CGXStyle& other) : CObject(other)
{
    *this = other;
}

CGXStyle& CGXStyle::operator=(const CGXStyle& other)
{
    if (&other == this)
        return *this;
    m_include = other.m_include;
    m_nControl = other.m_nControl;
    m_nBaseStyle = other.m_nBaseStyle;
    m_nValueType = other.m_nValueType;
    m_nHorzAlign = other.m_nHorzAlign;
    m_nVertAlign = other.m_nVertAlign;
    m_n3dFrame = other.m_n3dFrame;
    m_nMerge = other.m_nMerge;
    m_bEnabled = other.m_bEnabled;
    m_bReadOnly = other.m_bReadOnly;
    m_bWrapText = other.m_bWrapText;
    m_bFloatCell = other.m_bFloatCell;
    m_bFloodCell = other.m_bFloodCell;
    m_textColor = other.m_textColor;
    m_interior = other.m_interior;
    std::copy(std::begin(other.m_borders), std::end(other.m_borders), std::begin(m_borders));
    m_font = other.m_font;
    m_value = other.m_value;
    m_choiceList = other.m_choiceList;
    m_pItemData = other.m_pItemData;
    m_pUserAttributes = other.m_pUserAttributes;
    return *this;
}

CGXStyle::~CGXStyle() = default;

void CGXStyle::Free()
{
    *this = CGXStyle();
}

CGXStyle& CGXStyle::SetInclude(DWORD nBit, BOOL bInclude)
{
    // The font and the user attributes carry their own marks; dropping the style's mark drops them.
    if (!bInclude && (nBit & GX_INCL_FONT))
        m_font = CGXFont();
    if (!bInclude && (nBit & GX_INCL_USERATTR))
        m_pUserAttributes.reset();
    const DWORD own = nBit & ~((m_font.GetInclude() == 0 ? GX_INCL_FONT : 0u) | (m_pUserAttributes ? 0u : GX_INCL_USERATTR));
    m_include.Set(bInclude ? own : nBit, bInclude);
    return *this;
}

CGXStyle& CGXStyle::SetControl(WORD n) { m_nControl = n; m_include.Set(GX_INCL_CONTROL, TRUE); return *this; }
CGXStyle& CGXStyle::SetValue(const CString& value) { m_value = value; m_include.Set(GX_INCL_VALUE, TRUE); return *this; }

CGXStyle& CGXStyle::SetValue(DWORD nValue)
{
    CString text;
    text.Format("%lu", static_cast<unsigned long>(nValue));
    SetValue(text);
    return SetValueType(GX_VT_NUMERIC);
}

CGXStyle& CGXStyle::SetValueType(UINT n) { m_nValueType = static_cast<BYTE>(n); m_include.Set(GX_INCL_VALUETYPE, TRUE); return *this; }
CGXStyle& CGXStyle::SetEnabled(BOOL b) { m_bEnabled = b; m_include.Set(GX_INCL_ENABLED, TRUE); return *this; }
CGXStyle& CGXStyle::SetReadOnly(BOOL b) { m_bReadOnly = b; m_include.Set(GX_INCL_READONLY, TRUE); return *this; }
CGXStyle& CGXStyle::SetHorizontalAlignment(UINT n) { m_nHorzAlign = static_cast<BYTE>(std::min(n, 2u)); m_include.Set(GX_INCL_HORZALIGN, TRUE); return *this; }
CGXStyle& CGXStyle::SetVerticalAlignment(UINT n) { m_nVertAlign = static_cast<BYTE>(std::min(n, 2u)); m_include.Set(GX_INCL_VERTALIGN, TRUE); return *this; }
CGXStyle& CGXStyle::SetWrapText(BOOL b) { m_bWrapText = b; m_include.Set(GX_INCL_WRAPTEXT, TRUE); return *this; }
CGXStyle& CGXStyle::SetDraw3dFrame(UINT n) { m_n3dFrame = static_cast<BYTE>(std::min(n, 2u)); m_include.Set(GX_INCL_DRAW3DFRAME, TRUE); return *this; }
CGXStyle& CGXStyle::SetInterior(const CGXBrush& brush) { m_interior = brush; m_include.Set(GX_INCL_INTERIOR, TRUE); return *this; }
CGXStyle& CGXStyle::SetTextColor(COLORREF c) { m_textColor = c; m_include.Set(GX_INCL_TEXTCOLOR, TRUE); return *this; }
CGXStyle& CGXStyle::SetChoiceList(const CString& s) { m_choiceList = s; m_include.Set(GX_INCL_CHOICELIST, TRUE); return *this; }
CGXStyle& CGXStyle::SetItemDataPtr(void* p) { m_pItemData = p; m_include.Set(GX_INCL_ITEMDATAPTR, TRUE); return *this; }
CGXStyle& CGXStyle::SetMergeCell(UINT n) { m_nMerge = static_cast<BYTE>(n & 7u); m_include.Set(GX_INCL_MERGECELL, TRUE); return *this; }
CGXStyle& CGXStyle::SetFloatCell(BOOL b) { m_bFloatCell = b; m_include.Set(GX_INCL_FLOATCELL, TRUE); return *this; }
CGXStyle& CGXStyle::SetFloodCell(BOOL b) { m_bFloodCell = b; m_include.Set(GX_INCL_FLOODCELL, TRUE); return *this; }
CGXStyle& CGXStyle::SetBaseStyle(WORD n) { m_nBaseStyle = n; m_include.Set(GX_INCL_BASESTYLE, TRUE); return *this; }

CGXStyle& CGXStyle::SetBorders(int nSide, const CGXPen& pen)
{
    nSide = ClampSide(nSide);
    m_borders[nSide] = pen;
    m_include.Set(GX_INCL_BORDER_LEFT << nSide, TRUE);
    return *this;
}

BOOL CGXStyle::HasBorder(int nSide) const
{
    nSide = ClampSide(nSide);
    return m_include.Get(GX_INCL_BORDER_LEFT << nSide) && m_borders[nSide].GetStyle() != GX_PS_NONE;
}

CGXStyle& CGXStyle::SetFont(const CGXFont& font, int nMode)
{
    m_font.ChangeFont(font, nMode);
    m_include.Set(GX_INCL_FONT, m_font.GetInclude() != 0);
    return *this;
}

const CGXAbstractUserAttribute* CGXStyle::FindUserAttribute(WORD nID) const
{
    if (!m_pUserAttributes)
        return nullptr;
    for (const auto& [id, pAttr] : *m_pUserAttributes)
        if (id == nID)
            return pAttr.get();
    return nullptr;
}

CGXStyle::UserAttributeList& CGXStyle::MutableUserAttributes()
{
    // Copy on write: the list may be shared with other styles.
    auto list = m_pUserAttributes ? std::make_shared<UserAttributeList>(*m_pUserAttributes)
                                  : std::make_shared<UserAttributeList>();
    UserAttributeList& ref = *list;
    m_pUserAttributes = std::move(list);
    return ref;
}

void CGXStyle::SyncUserAttributeMark()
{
    if (m_pUserAttributes && m_pUserAttributes->empty())
        m_pUserAttributes.reset();
    m_include.Set(GX_INCL_USERATTR, m_pUserAttributes != nullptr);
}

CGXStyle& CGXStyle::SetUserAttribute(WORD nID, CGXAbstractUserAttribute* pAttribute)
{
    std::shared_ptr<const CGXAbstractUserAttribute> owned(pAttribute);
    if (!owned)
        return RemoveUserAttribute(nID);
    UserAttributeList& list = MutableUserAttributes();
    auto it = std::lower_bound(list.begin(), list.end(), nID, [](const auto& entry, WORD id) { return entry.first < id; });
    if (it != list.end() && it->first == nID)
        it->second = std::move(owned);
    else
        list.emplace(it, nID, std::move(owned));
    SyncUserAttributeMark();
    return *this;
}

CGXStyle& CGXStyle::SetUserAttribute(WORD nID, const CString& value)
{
    return SetUserAttribute(nID, new CGXUserAttribute(value));
}

CGXStyle& CGXStyle::SetUserAttribute(WORD nID, LONG nValue)
{
    return SetUserAttribute(nID, new CGXUserAttribute(nValue));
}

BOOL CGXStyle::HasUserAttribute(WORD nID) const
{
    return FindUserAttribute(nID) != nullptr;
}

const CGXAbstractUserAttribute& CGXStyle::GetUserAttribute(WORD nID) const
{
    const CGXAbstractUserAttribute* p = FindUserAttribute(nID);
    return p != nullptr ? *p : GXGetEmptyUserAttribute();
}

CGXStyle& CGXStyle::RemoveUserAttribute(WORD nID)
{
    if (HasUserAttribute(nID))
        std::erase_if(MutableUserAttributes(), [nID](const auto& entry) { return entry.first == nID; });
    SyncUserAttributeMark();
    return *this;
}

void CGXStyle::CopyAttribute(const CGXStyle& o, DWORD nBit)
{
    switch (nBit) {
    case GX_INCL_CONTROL: m_nControl = o.m_nControl; break;
    case GX_INCL_VALUE: m_value = o.m_value; break;
    case GX_INCL_VALUETYPE: m_nValueType = o.m_nValueType; break;
    case GX_INCL_ENABLED: m_bEnabled = o.m_bEnabled; break;
    case GX_INCL_READONLY: m_bReadOnly = o.m_bReadOnly; break;
    case GX_INCL_HORZALIGN: m_nHorzAlign = o.m_nHorzAlign; break;
    case GX_INCL_VERTALIGN: m_nVertAlign = o.m_nVertAlign; break;
    case GX_INCL_WRAPTEXT: m_bWrapText = o.m_bWrapText; break;
    case GX_INCL_DRAW3DFRAME: m_n3dFrame = o.m_n3dFrame; break;
    case GX_INCL_INTERIOR: m_interior = o.m_interior; break;
    case GX_INCL_BORDER_LEFT: m_borders[0] = o.m_borders[0]; break;
    case GX_INCL_BORDER_RIGHT: m_borders[1] = o.m_borders[1]; break;
    case GX_INCL_BORDER_TOP: m_borders[2] = o.m_borders[2]; break;
    case GX_INCL_BORDER_BOTTOM: m_borders[3] = o.m_borders[3]; break;
    case GX_INCL_TEXTCOLOR: m_textColor = o.m_textColor; break;
    case GX_INCL_CHOICELIST: m_choiceList = o.m_choiceList; break;
    case GX_INCL_ITEMDATAPTR: m_pItemData = o.m_pItemData; break;
    case GX_INCL_MERGECELL: m_nMerge = o.m_nMerge; break;
    case GX_INCL_FLOATCELL: m_bFloatCell = o.m_bFloatCell; break;
    case GX_INCL_FLOODCELL: m_bFloodCell = o.m_bFloodCell; break;
    case GX_INCL_BASESTYLE: m_nBaseStyle = o.m_nBaseStyle; break;
    default: return; // font and user attributes combine member by member
    }
    m_include.Set(nBit, TRUE);
}

BOOL CGXStyle::SameAttribute(const CGXStyle& o, DWORD nBit) const
{
    switch (nBit) {
    case GX_INCL_CONTROL: return m_nControl == o.m_nControl;
    case GX_INCL_VALUE: return CGXAbstractUserAttribute::SameText(m_value, o.m_value);
    case GX_INCL_VALUETYPE: return m_nValueType == o.m_nValueType;
    case GX_INCL_ENABLED: return m_bEnabled == o.m_bEnabled;
    case GX_INCL_READONLY: return m_bReadOnly == o.m_bReadOnly;
    case GX_INCL_HORZALIGN: return m_nHorzAlign == o.m_nHorzAlign;
    case GX_INCL_VERTALIGN: return m_nVertAlign == o.m_nVertAlign;
    case GX_INCL_WRAPTEXT: return m_bWrapText == o.m_bWrapText;
    case GX_INCL_DRAW3DFRAME: return m_n3dFrame == o.m_n3dFrame;
    case GX_INCL_INTERIOR: return m_interior == o.m_interior;
    case GX_INCL_BORDER_LEFT: return m_borders[0] == o.m_borders[0];
    case GX_INCL_BORDER_RIGHT: return m_borders[1] == o.m_borders[1];
    case GX_INCL_BORDER_TOP: return m_borders[2] == o.m_borders[2];
    case GX_INCL_BORDER_BOTTOM: return m_borders[3] == o.m_borders[3];
    case GX_INCL_TEXTCOLOR: return m_textColor == o.m_textColor;
    case GX_INCL_FONT: return m_font == o.m_font;
    case GX_INCL_CHOICELIST: return CGXAbstractUserAttribute::SameText(m_choiceList, o.m_choiceList);
    case GX_INCL_ITEMDATAPTR: return m_pItemData == o.m_pItemData;
    case GX_INCL_MERGECELL: return m_nMerge == o.m_nMerge;
    case GX_INCL_FLOATCELL: return m_bFloatCell == o.m_bFloatCell;
    case GX_INCL_FLOODCELL: return m_bFloodCell == o.m_bFloodCell;
    case GX_INCL_BASESTYLE: return m_nBaseStyle == o.m_nBaseStyle;
    case GX_INCL_USERATTR: {
        if (m_pUserAttributes == o.m_pUserAttributes)
            return TRUE;
        if (GetUserAttributeCount() != o.GetUserAttributeCount())
            return FALSE;
        for (size_t i = 0; i < GetUserAttributeCount(); ++i) {
            const auto& a = (*m_pUserAttributes)[i];
            const auto& b = (*o.m_pUserAttributes)[i];
            if (a.first != b.first || (a.second != b.second && !a.second->IsEqual(*b.second)))
                return FALSE;
        }
        return TRUE;
    }
    default: return TRUE;
    }
}

void CGXStyle::ChangeUserAttributes(const CGXStyle& other, int nMode)
{
    if (!other.m_pUserAttributes)
        return;
    if (!m_pUserAttributes && nMode != gxExclude) {
        m_pUserAttributes = other.m_pUserAttributes; // nothing of ours to keep: share theirs
        SyncUserAttributeMark();
        return;
    }
    for (const auto& [id, pAttr] : *other.m_pUserAttributes) {
        if (nMode == gxExclude) {
            RemoveUserAttribute(id);
        } else if (nMode == gxOverride || !HasUserAttribute(id)) {
            UserAttributeList& list = MutableUserAttributes();
            auto it = std::lower_bound(list.begin(), list.end(), id, [](const auto& e, WORD n) { return e.first < n; });
            if (it != list.end() && it->first == id)
                it->second = pAttr;
            else
                list.emplace(it, id, pAttr);
        }
    }
    SyncUserAttributeMark();
}

CGXStyle& CGXStyle::ChangeStyle(const CGXStyle& other, int nMode)
{
    if (nMode == gxCopy) {
        *this = other;
        return *this;
    }
    if (nMode != gxOverride && nMode != gxApplyNew && nMode != gxExclude)
        return *this;
    const DWORD source = other.GetMask();
    const DWORD mine = GetMask();
    for (DWORD bits = source & ~(GX_INCL_FONT | GX_INCL_USERATTR); bits != 0; bits &= bits - 1) {
        const DWORD nBit = bits & (0u - bits);
        if (nMode == gxExclude)
            m_include.Set(nBit, FALSE);
        else if (nMode == gxOverride || (mine & nBit) == 0)
            CopyAttribute(other, nBit);
    }
    if (source & GX_INCL_FONT) {
        m_font.ChangeFont(other.m_font, nMode);
        m_include.Set(GX_INCL_FONT, m_font.GetInclude() != 0);
    }
    if (source & GX_INCL_USERATTR)
        ChangeUserAttributes(other, nMode);
    return *this;
}

void CGXStyle::LoadBaseStyle(const CGXStylesMap& stylesMap)
{
    WORD nBase = GetInclude(GX_INCL_BASESTYLE) ? m_nBaseStyle : 0;
    for (int depth = 0; nBase != 0 && depth < kMaxBaseDepth; ++depth) {
        const CGXStyle* pBase = stylesMap.LookupStyle(nBase);
        if (pBase == nullptr)
            break;
        ChangeStyle(*pBase, gxApplyNew);
        nBase = pBase->GetInclude(GX_INCL_BASESTYLE) ? pBase->m_nBaseStyle : 0;
    }
}

BOOL CGXStyle::IsSubSet(const CGXStyle& other) const
{
    const DWORD mine = GetMask();
    if ((mine & ~other.GetMask()) != 0)
        return FALSE;
    for (DWORD bits = mine & ~(GX_INCL_FONT | GX_INCL_USERATTR); bits != 0; bits &= bits - 1)
        if (!SameAttribute(other, bits & (0u - bits)))
            return FALSE;
    if ((mine & GX_INCL_FONT) && !m_font.IsSubSet(other.m_font))
        return FALSE;
    if (m_pUserAttributes) {
        for (const auto& [id, pAttr] : *m_pUserAttributes) {
            const CGXAbstractUserAttribute* pOther = other.FindUserAttribute(id);
            if (pOther == nullptr || !pAttr->IsEqual(*pOther))
                return FALSE;
        }
    }
    return TRUE;
}

bool CGXStyle::operator==(const CGXStyle& other) const
{
    if (GetMask() != other.GetMask())
        return false;
    for (DWORD bits = GetMask(); bits != 0; bits &= bits - 1)
        if (!SameAttribute(other, bits & (0u - bits)))
            return false;
    return true;
}

size_t CGXStyle::GetHash() const
{
    const DWORD mask = GetMask();
    size_t h = mask;
    // Attributes that are not included do not take part: equal styles must hash alike.
    auto add = [&](DWORD bit, size_t v) {
        if (mask & bit)
            h = Mix(h, v);
    };
    add(GX_INCL_CONTROL, m_nControl);
    add(GX_INCL_VALUE, HashText(m_value));
    add(GX_INCL_VALUETYPE, m_nValueType);
    add(GX_INCL_ENABLED, m_bEnabled);
    add(GX_INCL_READONLY, m_bReadOnly);
    add(GX_INCL_HORZALIGN, m_nHorzAlign);
    add(GX_INCL_VERTALIGN, m_nVertAlign);
    add(GX_INCL_WRAPTEXT, m_bWrapText);
    add(GX_INCL_DRAW3DFRAME, m_n3dFrame);
    add(GX_INCL_INTERIOR, (static_cast<size_t>(m_interior.GetForeColor()) << 32) ^ m_interior.GetBackColor() ^
                              (m_interior.GetStyle() << 8) ^ m_interior.GetHatch());
    for (int i = 0; i < 4; ++i)
        add(GX_INCL_BORDER_LEFT << i, m_borders[i].GetPacked());
    add(GX_INCL_TEXTCOLOR, m_textColor);
    add(GX_INCL_FONT, m_font.GetPacked());
    add(GX_INCL_CHOICELIST, HashText(m_choiceList));
    add(GX_INCL_ITEMDATAPTR, reinterpret_cast<size_t>(m_pItemData));
    add(GX_INCL_MERGECELL, m_nMerge);
    add(GX_INCL_FLOATCELL, m_bFloatCell);
    add(GX_INCL_FLOODCELL, m_bFloodCell);
    add(GX_INCL_BASESTYLE, m_nBaseStyle);
    if (m_pUserAttributes)
        for (const auto& [id, pAttr] : *m_pUserAttributes)
            h = Mix(Mix(h, id), HashText(pAttr->GetValueText()));
    return h;
}

// Archive form: the DWORD mask, then each included attribute in bit order; user attributes as
// a count and (id, value text) pairs, read back as text attributes. The item-data pointer is process-local and not stored.
void CGXStyle::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        const DWORD mask = GetMask() & ~GX_INCL_ITEMDATAPTR;
        ar << mask;
        if (mask & GX_INCL_CONTROL) ar << m_nControl;
        if (mask & GX_INCL_VALUE) ar << m_value;
        if (mask & GX_INCL_VALUETYPE) ar << m_nValueType;
        if (mask & GX_INCL_ENABLED) ar << static_cast<BYTE>(m_bEnabled);
        if (mask & GX_INCL_READONLY) ar << static_cast<BYTE>(m_bReadOnly);
        if (mask & GX_INCL_HORZALIGN) ar << m_nHorzAlign;
        if (mask & GX_INCL_VERTALIGN) ar << m_nVertAlign;
        if (mask & GX_INCL_WRAPTEXT) ar << static_cast<BYTE>(m_bWrapText);
        if (mask & GX_INCL_DRAW3DFRAME) ar << m_n3dFrame;
        if (mask & GX_INCL_INTERIOR) ar << m_interior;
        for (int i = 0; i < 4; ++i)
            if (mask & (GX_INCL_BORDER_LEFT << i)) ar << m_borders[i];
        if (mask & GX_INCL_TEXTCOLOR) ar << m_textColor;
        if (mask & GX_INCL_FONT) ar << m_font;
        if (mask & GX_INCL_CHOICELIST) ar << m_choiceList;
        if (mask & GX_INCL_MERGECELL) ar << m_nMerge;
        if (mask & GX_INCL_FLOATCELL) ar << static_cast<BYTE>(m_bFloatCell);
        if (mask & GX_INCL_FLOODCELL) ar << static_cast<BYTE>(m_bFloodCell);
        if (mask & GX_INCL_BASESTYLE) {
            ar << m_nBaseStyle;
            if (const CGXStylesMap* pMap = CGXStylesMap::FromArchive(ar))
                ar << pMap->GetStyleName(m_nBaseStyle);
        }
        if (mask & GX_INCL_USERATTR) {
            ar.WriteCount(m_pUserAttributes->size());
            for (const auto& [id, pAttr] : *m_pUserAttributes)
                ar << id << pAttr->GetValueText();
        }
        return;
    }
    DWORD mask = 0;
    ar >> mask;
    if ((mask & ~kAllBits) != 0 || (mask & GX_INCL_ITEMDATAPTR))
        AfxThrowArchiveException(CArchiveException::genericException);
    CGXStyle s;
    BYTE b = 0;
    if (mask & GX_INCL_CONTROL) { WORD n; ar >> n; s.SetControl(n); }
    if (mask & GX_INCL_VALUE) { CString v; ar >> v; s.SetValue(v); }
    if (mask & GX_INCL_VALUETYPE) { ar >> b; s.SetValueType(b); }
    if (mask & GX_INCL_ENABLED) { ar >> b; s.SetEnabled(b != 0); }
    if (mask & GX_INCL_READONLY) { ar >> b; s.SetReadOnly(b != 0); }
    if (mask & GX_INCL_HORZALIGN) { ar >> b; s.SetHorizontalAlignment(b); }
    if (mask & GX_INCL_VERTALIGN) { ar >> b; s.SetVerticalAlignment(b); }
    if (mask & GX_INCL_WRAPTEXT) { ar >> b; s.SetWrapText(b != 0); }
    if (mask & GX_INCL_DRAW3DFRAME) { ar >> b; s.SetDraw3dFrame(b); }
    if (mask & GX_INCL_INTERIOR) { CGXBrush br; ar >> br; s.SetInterior(br); }
    for (int i = 0; i < 4; ++i)
        if (mask & (GX_INCL_BORDER_LEFT << i)) { CGXPen pen; ar >> pen; s.SetBorders(i, pen); }
    if (mask & GX_INCL_TEXTCOLOR) { COLORREF c; ar >> c; s.SetTextColor(c); }
    if (mask & GX_INCL_FONT) { CGXFont f; ar >> f; s.SetFont(f, gxCopy); }
    if (mask & GX_INCL_CHOICELIST) { CString v; ar >> v; s.SetChoiceList(v); }
    if (mask & GX_INCL_MERGECELL) { ar >> b; s.SetMergeCell(b); }
    if (mask & GX_INCL_FLOATCELL) { ar >> b; s.SetFloatCell(b != 0); }
    if (mask & GX_INCL_FLOODCELL) { ar >> b; s.SetFloodCell(b != 0); }
    if (mask & GX_INCL_BASESTYLE) {
        WORD n = 0;
        ar >> n;
        if (const CGXStylesMap* pMap = CGXStylesMap::FromArchive(ar)) {
            // Between grids the number means nothing: the name finds the reader's own style.
            CString name;
            ar >> name;
            n = name.IsEmpty() ? 0 : pMap->GetBaseStyleId(name);
            if (n != 0)
                s.SetBaseStyle(n);
        } else {
            s.SetBaseStyle(n);
        }
    }
    if (mask & GX_INCL_USERATTR) {
        const DWORD_PTR nCount = ar.ReadCount();
        ar.EnsureAvailable(static_cast<ULONGLONG>(nCount) * 3);
        for (DWORD_PTR i = 0; i < nCount; ++i) {
            WORD id = 0;
            CString value;
            ar >> id >> value;
            s.SetUserAttribute(id, value);
        }
    }
    *this = std::move(s);
}
