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

BOOL CAction::GetAttr(LPCSTR lpszName, CString& strValue) const
{
    return m_Attributes.Lookup(lpszName, strValue);
}

BOOL CAction::HasAttr(LPCSTR lpszName) const
{
    return m_Attributes.PLookup(lpszName) != nullptr;
}

LPCSTR CAction::FindFirstAttr(const LPCSTR* ppszNames, CString& strValue) const
{
    for (int i = 0; i < TAG_MAX_ATTRS && ppszNames[i] != nullptr; ++i) {
        if (GetAttr(ppszNames[i], strValue))
            return ppszNames[i];
    }
    return nullptr;
}

void CAction::StoreAttr(const CString& strName, const CString& strValue)
{
    if (strName.IsEmpty())
        return;
    CMapStringToString::CPair* pPair = m_Attributes.PLookup(strName);
    if (pPair != nullptr) {
        pPair->value = strValue;  // a repeated attribute keeps its last value
        return;
    }
    if (m_Attributes.GetCount() >= MAX_ATTRIBUTES)
        return;
    m_Attributes[strName] = strValue;
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
        CString strValue;
        if (GetAttr(m_pEntry->m_apszLinkAttrs[i], strValue))
            OnLink(strValue, m_strDescription, nLinkKind, dwFlags, nWidth, nHeight);
    }
}

BOOL CAction::OnTagComplete()
{
    ReportId();
    ReportScriptAttributes();
    if (m_pEntry == nullptr || !m_pEntry->HasLinkAttrs())
        return TRUE;

    CString strLink;
    if (FindFirstAttr(m_pEntry->m_apszLinkAttrs, strLink) == nullptr)
        return TRUE;

    if (m_pEntry->HasDescAttrs()) {
        CString strDescription;
        if (FindFirstAttr(m_pEntry->m_apszDescAttrs, strDescription) != nullptr) {
            m_strDescription = strDescription;
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
        CString strLink;
        if (FindFirstAttr(m_pEntry->m_apszLinkAttrs, strLink) != nullptr)
            m_strDescription = strLink;
    }
    HandDescriptionUp(m_strDescription);

    for (int i = 0; i < TAG_MAX_ATTRS && m_pEntry->m_apszLinkAttrs[i] != nullptr; ++i) {
        CString strValue;
        if (!GetAttr(m_pEntry->m_apszLinkAttrs[i], strValue))
            continue;
        if (m_bServerMap) {
            // The map's target is asked with a click at the origin.
            int nCut = strValue.FindOneOf("#?");
            CString strUrl = (nCut >= 0 ? strValue.Left(nCut) : strValue) + "?0,0";
            CString strDescription = "Server Map: " + m_strDescription;
            OnLink(strUrl, strDescription, m_pEntry->m_nLinkKind, LINK_FLAG_SERVER_MAP, -1, -1);
        } else {
            OnLink(strValue, m_strDescription, m_pEntry->m_nLinkKind, 0, -1, -1);
        }
    }
}

void CAction::SetAttrName(LPCSTR lpszName, int nLength)
{
    m_strPendingAttr = MakeText(lpszName, nLength);
}

void CAction::SetAttrValue(LPCSTR lpszValue, int nLength)
{
    StoreAttr(m_strPendingAttr, MakeText(lpszValue, nLength));
    m_strPendingAttr.Empty();
}

void CAction::AddAttrNoValue(LPCSTR lpszName, int nLength)
{
    StoreAttr(MakeText(lpszName, nLength), CString());
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
    POSITION pos = m_Attributes.GetStartPosition();
    while (pos != nullptr) {
        CString strName;
        CString strValue;
        m_Attributes.GetNextAssoc(pos, strName, strValue);
        if (strName.GetLength() < 2 || strncmp(strName, "ON", 2) != 0 || !IsEventAttribute(strName))
            continue;
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
