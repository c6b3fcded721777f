#include "fetch/CMailtoRefChecker.h"

#include "engine/html/HtmlLinkTypes.h"
#include "fetch/CHPSTable.h"
#include "fetch/ResultCodes.h"

IMPLEMENT_DYNAMIC(CMailtoRefChecker, CRefChecker)

bool CMailtoRefChecker::IsValidAddress(const CString& strPath)
{
    CString strAddress = strPath;
    const int nOpen = strAddress.Find('<');
    if (nOpen >= 0) {
        const int nClose = strAddress.Find('>', nOpen + 1);
        if (nClose < nOpen + 2)
            return false;
        strAddress = strAddress.Mid(nOpen + 1, nClose - nOpen - 1);
    } else if (strAddress.Find('>') >= 0) {
        return false;
    }
    const int nAt = strAddress.ReverseFind('@');
    if (nAt <= 0 || nAt == strAddress.GetLength() - 1)
        return false;
    const CString strDomain = strAddress.Mid(nAt + 1);
    const int nFirstDot = strDomain.Find('.');
    if (nFirstDot >= 0) {
        const int nLastDot = strDomain.ReverseFind('.');
        const int nLast = strDomain.GetLength() - 1;
        if (nFirstDot == 0 || nFirstDot == nLast || nLastDot == 0 || nLastDot == nLast)
            return false;
    }
    return true;
}

void CMailtoRefChecker::CheckMore()
{
    const int nKind = m_pRecord->GetLinkKind();
    if (nKind != LINK_KIND_ANCHOR && nKind != LINK_KIND_OTHER) {
        ReportResultCode(RC_MAILTO_NOT_ALLOWED);
        return;
    }
    auto empty = [](LPCTSTR p) { return p == nullptr || *p == '\0'; };
    const CString strPath = m_pRecord->GetPath();
    if (!empty(m_pHpsup->GetUser()) || !empty(m_pHpsup->GetPassword()) || !m_pHpsup->GetHost()->GetName().IsEmpty()
        || m_pHpsup->GetHps()->GetPort() != 0 || strPath.IsEmpty()) {
        ReportResultCode(RC_MAILTO_BAD_SYNTAX);
        return;
    }
    if (!IsValidAddress(strPath)) {
        ReportResultCode(RC_MAILTO_BAD_SYNTAX);
        return;
    }
    if (m_pRecord->GetParams().IsEmpty() && m_pRecord->GetFragment().IsEmpty())
        ReportResultCode(RC_MAILTO_OK);
    else
        ReportResultCode(RC_MAILTO_NOT_ALWAYS);
}
