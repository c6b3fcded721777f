#include "engine/html/CAppletAction.h"

#include "engine/html/CTagTable.h"
#include "engine/html/HtmlLinkTypes.h"

#include <cstring>
#include <strings.h>

IMPLEMENT_DYNCREATE(CAppletAction, CAction)
IMPLEMENT_DYNCREATE(CObjectAction, CAction)

namespace {

constexpr char szClassSuffix[] = ".class";
constexpr int nClassSuffix = sizeof(szClassSuffix) - 1;

// A Java class name as the code base holds it: ".class" appended unless it is there already
// (in exactly that case).
CString ClassFileName(const CString& strClass)
{
    if (strClass.GetLength() >= nClassSuffix && strClass.Right(nClassSuffix) == szClassSuffix)
        return strClass;
    return strClass + szClassSuffix;
}

void AddTrailingSlash(CString& strCodebase)
{
    if (!strCodebase.IsEmpty() && strCodebase[strCodebase.GetLength() - 1] != '/')
        strCodebase += '/';
}

// Applets and objects share the way they open: the first present description attribute
// describes the links at once, else the element's text will.
BOOL CompleteEmbedded(CAction& action, const TagEntry* pEntry, CString& strDescription)
{
    if (pEntry != nullptr) {
        for (int i = 0; i < TAG_MAX_ATTRS && pEntry->m_apszDescAttrs[i] != nullptr; ++i) {
            if (action.GetAttr(pEntry->m_apszDescAttrs[i], strDescription)) {
                action.ReportLinks();
                return TRUE;
            }
        }
    }
    return FALSE;
}

// Splits a list at blanks and tabs and calls the reporter for each non-empty entry.
template <class Report>
void ForEachArchive(LPCSTR lpszList, Report report)
{
    if (lpszList == nullptr)
        return;
    const char* p = lpszList;
    while (*p != '\0') {
        while (*p == ' ' || *p == '\t')
            ++p;
        const char* pStart = p;
        while (*p != '\0' && *p != ' ' && *p != '\t')
            ++p;
        if (p > pStart)
            report(CString(pStart, static_cast<int>(p - pStart)));
    }
}

} // namespace

BOOL CAppletAction::OnTagComplete()
{
    ReportId();
    ReportScriptAttributes();
    if (CompleteEmbedded(*this, m_pEntry, m_strDescription))
        return TRUE;
    StartCollecting();
    return FALSE;
}

void CAppletAction::ReportLinks()
{
    m_strDescription.TrimRight();
    if (m_strDescription.IsEmpty())
        m_strDescription = "Applet";

    CString strCodebase;
    if (GetAttr("CODEBASE", strCodebase)) {
        strCodebase.TrimRight();
        AddTrailingSlash(strCodebase);
    }
    int nWidth = -1;
    int nHeight = -1;
    DWORD dwFlags = ReadSizeFlags(1, nWidth, nHeight);

    CString strValue;
    if (GetAttr("CODE", strValue))
        OnCodebaseLink(strCodebase, ClassFileName(strValue), m_strDescription, LINK_KIND_JAVA, dwFlags, nWidth, nHeight);
    if (GetAttr("ARCHIVE", strValue))
        ReportArchiveList(strCodebase, strValue, LINK_KIND_JAVA);
}

void CAppletAction::ReportArchiveList(LPCSTR lpszCodebase, LPCSTR lpszList, int nLinkKind)
{
    ForEachArchive(lpszList, [&](const CString& strEntry) {
        OnCodebaseLink(lpszCodebase, strEntry, m_strDescription, nLinkKind, LINK_FLAG_ARCHIVE, -1, -1);
    });
}

BOOL CObjectAction::OnTagComplete()
{
    ReportId();
    ReportScriptAttributes();
    if (CompleteEmbedded(*this, m_pEntry, m_strDescription))
        return TRUE;
    StartCollecting();
    return FALSE;
}

void CObjectAction::ReportLinks()
{
    m_strDescription.TrimRight();
    if (m_strDescription.IsEmpty())
        m_strDescription = (m_pEntry != nullptr && m_pEntry->m_pszDefaultDesc != nullptr) ? m_pEntry->m_pszDefaultDesc : "<OBJECT>";

    int nWidth = -1;
    int nHeight = -1;
    DWORD dwFlags = ReadSizeFlags(1, nWidth, nHeight);
    CString strCodebase;
    if (GetAttr("CODEBASE", strCodebase))
        strCodebase.TrimRight();

    CString strValue;
    if (GetAttr("CLASSID", strValue)) {
        if (strValue.GetLength() > 5 && strncasecmp(strValue, "java:", 5) == 0) {
            CString strJavaBase = strCodebase;
            AddTrailingSlash(strJavaBase);
            OnCodebaseLink(strJavaBase, ClassFileName(strValue.Mid(5)), m_strDescription, LINK_KIND_JAVA, dwFlags,
                nWidth, nHeight);
        } else if (strValue.GetLength() > 6 && strncasecmp(strValue, "clsid:", 6) == 0) {
            OnLink(strValue, m_strDescription, LINK_KIND_OBJECT, dwFlags, nWidth, nHeight);
            if (!strCodebase.IsEmpty())
                OnLink(strCodebase, strValue, LINK_KIND_OBJECT, dwFlags, nWidth, nHeight);
        } else {
            CString strType;
            int nKind = LINK_KIND_OTHER;
            if (GetAttr("CODETYPE", strType) || GetAttr("TYPE", strType))
                nKind = ClassifyMimeType(strType);
            OnCodebaseLink(strCodebase, strValue, m_strDescription, nKind, dwFlags, nWidth, nHeight);
        }
    }
    if (GetAttr("CODE", strValue))
        OnCodebaseLink(strCodebase, strValue, m_strDescription, LINK_KIND_JAVA, dwFlags, nWidth, nHeight);
    if (GetAttr("ARCHIVE", strValue))
        ReportArchiveList(strCodebase, strValue, LINK_KIND_OBJECT);
    if (GetAttr("DATA", strValue)) {
        // Inline data is no resource to check.
        bool bInline = strValue.GetLength() > 5 && strncasecmp(strValue, "data:", 5) == 0;
        if (!bInline) {
            CString strType;
            int nKind = GetAttr("TYPE", strType) ? ClassifyMimeType(strType) : LINK_KIND_OTHER;
            OnCodebaseLink(strCodebase, strValue, m_strDescription, nKind, dwFlags, nWidth, nHeight);
        }
    }
}

void CObjectAction::ReportArchiveList(LPCSTR lpszCodebase, LPCSTR lpszList, int nLinkKind)
{
    ForEachArchive(lpszList, [&](const CString& strEntry) {
        OnCodebaseLink(lpszCodebase, strEntry, m_strDescription, nLinkKind, LINK_FLAG_ARCHIVE, -1, -1);
    });
}
