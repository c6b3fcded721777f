#include "engine/html/CAction.h"

#include "engine/html/CCharClassSet.h"
#include "engine/html/CHtmlParser.h"
#include "engine/html/CTagTable.h"
#include "engine/html/CTextScanner.h"
#include "engine/html/HtmlLinkTypes.h"

#include <cctype>
#include <cstring>

IMPLEMENT_DYNCREATE(CAction, CObject)
IMPLEMENT_DYNCREATE(CDefaultAction, CAction)

CString CAction::MakeText(LPCSTR lpszText, int nLength)
{
    CString strText(lpszText, nLength > 0 ? nLength : 0);
    // Reports are NUL-terminated texts: a NUL in the page would silently cut them, or make a
    // title that looks empty, so it is dropped.
    strText.Remove('\0');
    return strText;
}

void CAction::Attach(CHtmlParser* pParser, const TagEntry* pEntry)
{
    m_pParser = pParser;
    m_pEntry = pEntry;
}

const CAction::AttrRef* CAction::FindAttr(std::string_view name) const
{
    for (const AttrRef& ref : m_attrs) {
        if (ref.nNameLength == name.size() && NameOf(ref) == name)
            return &ref;
    }
    return nullptr;
}

BOOL CAction::GetAttr(LPCSTR lpszName, CString& strValue) const
{
    if (lpszName == nullptr)
        return FALSE;
    const AttrRef* pRef = FindAttr(lpszName);
    if (pRef == nullptr)
        return FALSE;
    strValue = CString(m_attrText.data() + pRef->nValue, static_cast<int>(pRef->nValueLength));
    return TRUE;
}

LPCSTR CAction::GetAttrText(LPCSTR lpszName) const
{
    if (lpszName == nullptr)
        return nullptr;
    const AttrRef* pRef = FindAttr(lpszName);
    return pRef != nullptr ? m_attrText.data() + pRef->nValue : nullptr;
}

BOOL CAction::HasAttr(LPCSTR lpszName) const
{
    return lpszName != nullptr && FindAttr(lpszName) != nullptr;
}

LPCSTR CAction::FindFirstAttr(const LPCSTR* ppszNames) const
{
    for (int i = 0; i < TAG_MAX_ATTRS && ppszNames[i] != nullptr; ++i) {
        if (LPCSTR lpszValue = GetAttrText(ppszNames[i]))
            return lpszValue;
    }
    return nullptr;
}

void CAction::AddBytes(LPCSTR lpszText, int nLength)
{
    if (lpszText == nullptr || nLength <= 0)
        return;
    // Room for the text and the NUL that ends it: a value of megabytes must not double the
    // room for one byte more.
    m_attrText.reserve(m_attrText.size() + static_cast<size_t>(nLength) + 1);
    // Reports are NUL-terminated texts: a NUL in the page would silently cut them, so it is
    // dropped, as MakeText does.
    const char* p = lpszText;
    const char* pEnd = lpszText + nLength;
    while (p < pEnd) {
        const void* pNul = std::memchr(p, '\0', static_cast<size_t>(pEnd - p));
        const char* pStop = pNul != nullptr ? static_cast<const char*>(pNul) : pEnd;
        m_attrText.append(p, static_cast<size_t>(pStop - p));
        p = pStop + (pNul != nullptr ? 1 : 0);
    }
}

uint32_t CAction::AddText(LPCSTR lpszText, int nLength, uint32_t& nStored)
{
    const auto nStart = static_cast<uint32_t>(m_attrText.size());
    AddBytes(lpszText, nLength);
    nStored = static_cast<uint32_t>(m_attrText.size()) - nStart;
    m_attrText.push_back('\0');
    return nStart;
}

void CAction::StoreAttr(uint32_t nName, uint32_t nNameLength, uint32_t nValue, uint32_t nValueLength)
{
    if (nNameLength == 0)
        return;
    const std::string_view name(m_attrText.data() + nName, nNameLength);
    for (AttrRef& ref : m_attrs) {
        if (ref.nNameLength == nNameLength && NameOf(ref) == name) {
            // A repeated attribute keeps its last value.
            ref.nValue = nValue;
            ref.nValueLength = nValueLength;
            return;
        }
    }
    if (m_attrs.size() >= static_cast<size_t>(MAX_ATTRIBUTES))
        return;
    m_attrs.push_back(AttrRef{nName, nNameLength, nValue, nValueLength});
}

namespace {

// One dimension: flag dwGiven when a number of at least nMinimum is read, also dwPercent when
// a "%" follows it directly.
DWORD ReadDimension(const CString& strValue, int nMinimum, DWORD dwGiven, DWORD dwPercent, int& nSize)
{
    int nNumber = 0;
    char chNext = '\0';
    CTextScanner percent(strValue);
    if (percent.Int(nNumber) && percent.Char(chNext) && nNumber >= nMinimum && chNext == '%') {
        nSize = nNumber;
        return dwGiven | dwPercent;
    }
    CTextScanner plain(strValue);
    if (plain.Int(nNumber) && nNumber >= nMinimum) {
        nSize = nNumber;
        return dwGiven;
    }
    return 0;
}

} // namespace

DWORD CAction::ReadSizeFlags(int nMinimum, int& nWidth, int& nHeight) const
{
    DWORD dwFlags = 0;
    nWidth = -1;
    nHeight = -1;
    CString strValue;
    if (GetAttr("WIDTH", strValue))
        dwFlags |= ReadDimension(strValue, nMinimum, LINK_FLAG_WIDTH, LINK_FLAG_WIDTH_PERCENT, nWidth);
    if (GetAttr("HEIGHT", strValue))
        dwFlags |= ReadDimension(strValue, nMinimum, LINK_FLAG_HEIGHT, LINK_FLAG_HEIGHT_PERCENT, nHeight);
    if (HasAttr("ALT"))
        dwFlags |= LINK_FLAG_ALT;
    return dwFlags;
}

void CAction::ReportEntryLinks(int nLinkKind, DWORD dwFlags, int nWidth, int nHeight)
{
    if (m_pEntry == nullptr)
        return;
    for (int i = 0; i < TAG_MAX_ATTRS && m_pEntry->m_apszLinkAttrs[i] != nullptr; ++i) {
        if (LPCSTR lpszValue = GetAttrText(m_pEntry->m_apszLinkAttrs[i]))
            OnLink(lpszValue, m_strDescription, nLinkKind, dwFlags, nWidth, nHeight);
    }
}

BOOL CAction::OnTagComplete()
{
    ReportId();
    ReportScriptAttributes();
    if (m_pEntry == nullptr || !m_pEntry->HasLinkAttrs())
        return TRUE;

    if (FindFirstAttr(m_pEntry->m_apszLinkAttrs) == nullptr)
        return TRUE;

    if (m_pEntry->HasDescAttrs()) {
        if (LPCSTR lpszDescription = FindFirstAttr(m_pEntry->m_apszDescAttrs)) {
            m_strDescription = lpszDescription;
            ReportLinks();
            return TRUE;
        }
    }
    if (m_pEntry->m_pszDefaultDesc != nullptr) {
        m_strDescription = m_pEntry->m_pszDefaultDesc;
        ReportLinks();
        return TRUE;
    }
    // Without any description the element's own text will describe the link.
    StartCollecting();
    return FALSE;
}

BOOL CAction::IsSameTag(LPCSTR lpszName, int nLength)
{
    return m_pEntry != nullptr && FindTagEntry(lpszName, nLength) == m_pEntry;
}

void CAction::ReportLinks()
{
    if (m_pEntry == nullptr)
        return;
    m_strDescription.TrimRight();
    if (m_strDescription.IsEmpty()) {
        if (LPCSTR lpszLink = FindFirstAttr(m_pEntry->m_apszLinkAttrs))
            m_strDescription = lpszLink;
    }
    HandDescriptionUp(m_strDescription);

    for (int i = 0; i < TAG_MAX_ATTRS && m_pEntry->m_apszLinkAttrs[i] != nullptr; ++i) {
        const LPCSTR lpszValue = GetAttrText(m_pEntry->m_apszLinkAttrs[i]);
        if (lpszValue == nullptr)
            continue;
        if (m_bServerMap) {
            // The map's target is asked with a click at the origin.
            const size_t nCut = std::strcspn(lpszValue, "#?");
            CString strUrl = CString(lpszValue, static_cast<int>(nCut)) + "?0,0";
            CString strDescription = "Server Map: " + m_strDescription;
            OnLink(strUrl, strDescription, m_pEntry->m_nLinkKind, LINK_FLAG_SERVER_MAP, -1, -1);
        } else {
            OnLink(lpszValue, m_strDescription, m_pEntry->m_nLinkKind, 0, -1, -1);
        }
    }
}

void CAction::SetAttrName(LPCSTR lpszName, int nLength)
{
    m_nPendingName = AddText(lpszName, nLength, m_nPendingNameLength);
}

void CAction::SetAttrValue(LPCSTR lpszValue, int nLength)
{
    BeginAttrValue();
    AppendAttrValue(lpszValue, nLength);
    EndAttrValue();
}

void CAction::BeginAttrValue()
{
    m_nValueStart = static_cast<uint32_t>(m_attrText.size());
    m_bValueOpen = m_nPendingNameLength > 0;
}

void CAction::AppendAttrValue(LPCSTR lpszText, int nLength)
{
    if (m_bValueOpen)
        AddBytes(lpszText, nLength);
}

void CAction::EndAttrValue()
{
    if (m_bValueOpen) {
        const uint32_t nLength = static_cast<uint32_t>(m_attrText.size()) - m_nValueStart;
        m_attrText.push_back('\0');
        StoreAttr(m_nPendingName, m_nPendingNameLength, m_nValueStart, nLength);
    }
    m_bValueOpen = false;
    m_nPendingNameLength = 0;
}

void CAction::AddAttrNoValue(LPCSTR lpszName, int nLength)
{
    uint32_t nNameLength = 0;
    const uint32_t nName = AddText(lpszName, nLength, nNameLength);
    StoreAttr(nName, nNameLength, nName + nNameLength, 0);
}

BOOL CAction::IsCollectingText()
{
    return m_bCollectingText;
}

int CAction::GetMaxDescriptionLength()
{
    return 70;
}

void CAction::AppendText(LPCSTR lpszText, int nLength)
{
    if (!m_bCollectingText || nLength <= 0)
        return;
    m_strDescription += MakeText(lpszText, nLength < MAX_TEXT_PIECE ? nLength : MAX_TEXT_PIECE);
    // The piece that crosses the limit is kept whole; collecting simply stops after it.
    if (m_strDescription.GetLength() > GetMaxDescriptionLength())
        m_bCollectingText = FALSE;
}

void CAction::AddTextSeparator()
{
    if (m_bCollectingText && !m_strDescription.IsEmpty())
        m_strDescription += ' ';
}

void CAction::SetDescription(LPCSTR lpszDescription)
{
    m_strDescription = lpszDescription;
    m_bCollectingText = FALSE;
}

void CAction::MarkServerMap()
{
}

void CAction::ReportId()
{
    if (m_pEntry == nullptr || (m_pEntry->m_nFlags & TAG_FLAG_REPORT_ID) == 0)
        return;
    CString strId;
    if (GetAttr("ID", strId))
        OnAnchor(strId);
}

void CAction::ReportScriptAttributes()
{
    if (m_pEntry == nullptr || m_pParser == nullptr || (m_pEntry->m_nFlags & TAG_FLAG_EVENT_SCRIPTS) == 0)
        return;
    int nMode = m_pParser->GetEventScriptMode();
    if (nMode == SCRIPT_KIND_NONE)
        return;
    // Only names that begin with ON are looked at, and only their values are copied.
    for (size_t i = 0; i < m_attrs.size(); ++i) {
        const AttrRef ref = m_attrs[i];
        const std::string_view name = NameOf(ref);
        if (name.size() < 2 || name[0] != 'O' || name[1] != 'N')
            continue;
        const CString strName(name.data(), static_cast<int>(name.size()));
        if (!IsEventAttribute(strName))
            continue;
        const CString strValue(m_attrText.data() + ref.nValue, static_cast<int>(ref.nValueLength));
        if (nMode == SCRIPT_KIND_JAVASCRIPT)
            m_pParser->OnJavaScript(strValue);
        else if (nMode == SCRIPT_KIND_VBSCRIPT)
            m_pParser->OnVBScript(strValue);
    }
}

void CAction::ReportFormFields(const LPCSTR* ppszAttrNames, int nCount)
{
    if (m_pParser == nullptr || m_pEntry == nullptr || !m_pParser->HasForm())
        return;
    m_pParser->OnFormField(m_pEntry->m_pszName, -1);
    for (int i = 0; i < nCount; ++i) {
        CString strValue;
        if (!GetAttr(ppszAttrNames[i], strValue))
            continue;
        m_pParser->OnFormField(ppszAttrNames[i], -1);
        m_pParser->OnFormField(strValue, strValue.GetLength());
    }
}

void CAction::OnLink(LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags, int nWidth, int nHeight)
{
    if (m_pParser != nullptr)
        m_pParser->OnLink(lpszUrl, lpszDescription, nLinkKind, dwFlags, nWidth, nHeight);
}

void CAction::OnCodebaseLink(LPCSTR lpszCodebase, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind,
    DWORD dwFlags, int nWidth, int nHeight)
{
    if (m_pParser != nullptr)
        m_pParser->OnCodebaseLink(lpszCodebase, lpszUrl, lpszDescription, nLinkKind, dwFlags, nWidth, nHeight);
}

void CAction::OnTitle(LPCSTR lpszTitle)
{
    if (m_pParser != nullptr)
        m_pParser->OnTitle(lpszTitle);
}

void CAction::OnAnchor(LPCSTR lpszName)
{
    if (m_pParser != nullptr)
        m_pParser->OnAnchor(lpszName);
}

void CAction::OnBase(LPCSTR lpszHref)
{
    if (m_pParser != nullptr)
        m_pParser->OnBase(lpszHref);
}

void CAction::OnAuthor(LPCSTR lpszAuthor)
{
    if (m_pParser != nullptr)
        m_pParser->OnAuthor(lpszAuthor);
}

void CAction::OnDescription(LPCSTR lpszDescription)
{
    if (m_pParser != nullptr)
        m_pParser->OnDescription(lpszDescription);
}

void CAction::OnOtherMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme)
{
    if (m_pParser != nullptr)
        m_pParser->OnOtherMeta(lpszName, lpszContent, lpszScheme);
}

void CAction::OnNamedMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme)
{
    if (m_pParser != nullptr)
        m_pParser->OnNamedMeta(lpszName, lpszContent, lpszScheme);
}

void CAction::OnHttpEquivMeta(LPCSTR lpszName, LPCSTR lpszContent)
{
    if (m_pParser != nullptr)
        m_pParser->OnHttpEquivMeta(lpszName, lpszContent);
}

void CAction::OnLastModified(LONG nTime)
{
    if (m_pParser != nullptr)
        m_pParser->OnLastModified(nTime);
}

namespace {

bool IsKeywordTrim(char ch)
{
    auto byte = static_cast<unsigned char>(ch);
    // ispunct is asked only about ASCII: its answer for other bytes depends on the locale.
    return g_ControlChars.Contains(byte) || (byte < 128 && std::ispunct(byte));
}

} // namespace

void CAction::SplitKeywords(LPCSTR lpszContent)
{
    if (lpszContent == nullptr)
        return;
    const char* p = lpszContent;
    while (*p != '\0') {
        while (*p != '\0' && IsKeywordTrim(*p))
            ++p;
        const char* pStart = p;
        while (*p != '\0' && *p != ',' && *p != ';')
            ++p;
        const char* pEnd = p;
        while (pEnd > pStart && IsKeywordTrim(pEnd[-1]))
            --pEnd;
        if (pEnd > pStart && m_pParser != nullptr) {
            CString strKeyword(pStart, static_cast<int>(pEnd - pStart));
            m_pParser->OnKeyword(strKeyword);
        }
        if (*p != '\0')
            ++p;
    }
}

void CAction::HandDescriptionUp(LPCSTR lpszDescription)
{
    if (m_pParser != nullptr)
        m_pParser->SetOpenElementDescription(lpszDescription);
}

void CAction::MarkOpenElementServerMap()
{
    if (m_pParser != nullptr)
        m_pParser->MarkOpenElementServerMap();
}

BOOL CDefaultAction::OnTagComplete()
{
    ReportId();
    ReportScriptAttributes();
    return TRUE;
}
