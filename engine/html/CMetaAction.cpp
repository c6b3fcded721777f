#include "engine/html/CMetaAction.h"

#include "engine/html/CHtmlParser.h"
#include "engine/html/CTagTable.h"
#include "engine/html/CTextScanner.h"
#include "engine/html/HtmlLinkTypes.h"
#include "engine/project/SystemUtil.h"

#include <cstring>
#include <strings.h>

IMPLEMENT_DYNCREATE(CMetaAction, CAction)

BOOL CMetaAction::OnTagComplete()
{
    CString strHttpEquiv;
    CString strName;
    CString strContent;
    CString strScheme;
    BOOL bHttpEquiv = GetAttr("HTTP-EQUIV", strHttpEquiv);
    BOOL bName = GetAttr("NAME", strName);
    BOOL bContent = GetAttr("CONTENT", strContent);
    BOOL bScheme = GetAttr("SCHEME", strScheme);
    strHttpEquiv.Trim();
    strName.Trim();
    strContent.Trim();
    LPCSTR lpszScheme = bScheme ? static_cast<LPCSTR>(strScheme) : nullptr;

    if (bHttpEquiv && bContent) {
        OnHttpEquivMeta(strHttpEquiv, strContent);
        if (strHttpEquiv.CompareNoCase("REFRESH") == 0) {
            CString strUrl;
            if (ParseRefreshUrl(strContent, strUrl)) {
                m_strDescription = (m_pEntry != nullptr && m_pEntry->m_pszDefaultDesc != nullptr)
                    ? m_pEntry->m_pszDefaultDesc : "Client pull";
                OnLink(strUrl, m_strDescription, LINK_KIND_PLAIN, 0, -1, -1);
            }
        } else if (strHttpEquiv.CompareNoCase("Last-Modified") == 0) {
            LONG nTime = 0;
            if (ParseHttpDate(strContent, nTime))
                OnLastModified(nTime);
        } else if (strHttpEquiv.CompareNoCase("Content-Script-Type") == 0) {
            if (m_pParser != nullptr)
                m_pParser->SetEventScriptMode(GetScriptMimeTypeKind(strContent));
        }
    }

    // "<meta charset>" declares what a Content-Type does: it shows in that column, as the
    // Content-Type it stands for.
    CString strCharset;
    if (!bHttpEquiv && !bName && GetAttr("CHARSET", strCharset) && !strCharset.Trim().IsEmpty())
        OnHttpEquivMeta("Content-Type", "text/html; charset=" + strCharset);

    if (bName && bContent) {
        OnNamedMeta(strName, strContent, lpszScheme);
        if (!strName.IsEmpty()) {
            if (strName.CompareNoCase("AUTHOR") == 0)
                OnAuthor(strContent);
            else if (strName.CompareNoCase("KEYWORDS") == 0)
                SplitKeywords(strContent);
            else if (strName.CompareNoCase("DESCRIPTION") == 0)
                OnDescription(strContent);
            else
                OnOtherMeta(strName, strContent, lpszScheme);
        }
    }
    return TRUE;
}

BOOL CMetaAction::ParseRefreshUrl(LPCSTR lpszContent, CString& strUrl)
{
    // "%d; %3s = '%[^']'" first, then "%d; %3s = %s"; both need all three fields and the word
    // URL. The URL field takes whatever the content holds, however long.
    int nDelay = 0;
    CString strWord;
    CTextScanner quoted(lpszContent);
    if (quoted.Int(nDelay) && quoted.Literal(';') && quoted.String(strWord, 3)) {
        quoted.SkipSpace();
        if (quoted.Literal('=')) {
            quoted.SkipSpace();
            if (quoted.Literal('\'') && quoted.Until('\'', strUrl))
                return strWord.CompareNoCase("URL") == 0;
        }
    }
    CTextScanner plain(lpszContent);
    if (plain.Int(nDelay) && plain.Literal(';') && plain.String(strWord, 3)) {
        plain.SkipSpace();
        if (plain.Literal('=') && plain.String(strUrl))
            return strWord.CompareNoCase("URL") == 0;
    }
    return FALSE;
}

namespace {

// 1 to 12 for "Jan" to "Dec" in any case, 0 for anything else.
int MonthNumber(const CString& strMonth)
{
    static const LPCSTR s_apszMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int i = 0; i < 12; ++i) {
        if (strMonth.CompareNoCase(s_apszMonths[i]) == 0)
            return i + 1;
    }
    return 0;
}

struct DateFields {
    int nYear = 0;
    int nMonth = 0;
    int nDay = 0;
    int nHour = 0;
    int nMinute = 0;
    int nSecond = 0;
};

// The time "%2d:%2d:%2d".
bool ReadTime(CTextScanner& scan, DateFields& fields)
{
    return scan.Int(fields.nHour, 2) && scan.Literal(':') && scan.Int(fields.nMinute, 2) && scan.Literal(':')
        && scan.Int(fields.nSecond, 2);
}

// "%*3s, %2d %3s %4d %2d:%2d:%2d %3s" with the zone GMT.
bool ReadRfc1123(LPCSTR lpszDate, DateFields& fields)
{
    CTextScanner scan(lpszDate);
    CString strSkip;
    CString strMonth;
    CString strZone;
    if (!scan.String(strSkip, 3) || !scan.Literal(','))
        return false;
    if (!scan.Int(fields.nDay, 2) || !scan.String(strMonth, 3) || !scan.Int(fields.nYear, 4) || !ReadTime(scan, fields)
        || !scan.String(strZone, 3))
        return false;
    fields.nMonth = MonthNumber(strMonth);
    return strZone.CompareNoCase("GMT") == 0;
}

// From the first ",": ", %2d-%3s-%2d %2d:%2d:%2d %3s" with the zone GMT; two-digit years below
// 57 are in the 2000s.
bool ReadRfc850(LPCSTR lpszDate, DateFields& fields)
{
    LPCSTR pComma = strchr(lpszDate, ',');
    if (pComma == nullptr)
        return false;
    CTextScanner scan(pComma);
    CString strMonth;
    CString strZone;
    int nYear = 0;
    if (!scan.Literal(',') || !scan.Int(fields.nDay, 2) || !scan.Literal('-') || !scan.String(strMonth, 3)
        || !scan.Literal('-') || !scan.Int(nYear, 2) || !ReadTime(scan, fields) || !scan.String(strZone, 3))
        return false;
    fields.nYear = nYear < 57 ? 2000 + nYear : 1900 + nYear;
    fields.nMonth = MonthNumber(strMonth);
    return strZone.CompareNoCase("GMT") == 0;
}

// "%*3s %3s %d %2d:%2d:%2d %4d", the C library's own format.
bool ReadAsctime(LPCSTR lpszDate, DateFields& fields)
{
    CTextScanner scan(lpszDate);
    CString strSkip;
    CString strMonth;
    if (!scan.String(strSkip, 3) || !scan.String(strMonth, 3) || !scan.Int(fields.nDay) || !ReadTime(scan, fields)
        || !scan.Int(fields.nYear, 4))
        return false;
    fields.nMonth = MonthNumber(strMonth);
    return true;
}

// The fields as SYSTEMTIME; fields out of the 16-bit range are refused rather than wrapped.
bool ToSeconds(const DateFields& fields, LONG& nTime)
{
    auto fits = [](int n) { return n >= 0 && n <= 0xFFFF; };
    if (!fits(fields.nYear) || !fits(fields.nMonth) || !fits(fields.nDay) || !fits(fields.nHour)
        || !fits(fields.nMinute) || !fits(fields.nSecond))
        return false;
    SYSTEMTIME st {};
    st.wYear = static_cast<WORD>(fields.nYear);
    st.wMonth = static_cast<WORD>(fields.nMonth);
    st.wDay = static_cast<WORD>(fields.nDay);
    st.wHour = static_cast<WORD>(fields.nHour);
    st.wMinute = static_cast<WORD>(fields.nMinute);
    st.wSecond = static_cast<WORD>(fields.nSecond);
    return SystemTimeToSeconds1970(st, nTime);
}

} // namespace

BOOL CMetaAction::ParseHttpDate(LPCSTR lpszDate, LONG& nTime)
{
    if (lpszDate == nullptr)
        return FALSE;
    DateFields fields;
    if (ReadRfc1123(lpszDate, fields))
        return ToSeconds(fields, nTime);
    fields = DateFields();
    if (ReadRfc850(lpszDate, fields))
        return ToSeconds(fields, nTime);
    fields = DateFields();
    if (ReadAsctime(lpszDate, fields))
        return ToSeconds(fields, nTime);
    return FALSE;
}
