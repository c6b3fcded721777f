#include "engine/html/ITaskManager.h"

#include "engine/html/HtmlLinkTypes.h"
#include "platform/core/CString.h"

#include <cstring>

namespace {

// Set while the default ReportText runs on this thread. A sink that overrides neither
// ReportText nor ReportResult would otherwise send a text between the two defaults until the
// stack ran out; with the mark the text ends in the default ReportText, unshown.
thread_local bool t_inDefaultReportText = false;

class DefaultReportTextMark {
public:
    DefaultReportTextMark() { t_inDefaultReportText = true; }
    ~DefaultReportTextMark() { t_inDefaultReportText = false; }
    DefaultReportTextMark(const DefaultReportTextMark&) = delete;
    DefaultReportTextMark& operator=(const DefaultReportTextMark&) = delete;
};

} // namespace

void ITaskManager::OnFormEnd(DWORD_PTR, LPCSTR, DWORD)
{
}

void ITaskManager::OnFileRead(DWORD_PTR, const struct stat&, LPCSTR)
{
}

void ITaskManager::OnFileChecksum(DWORD_PTR, ULONGLONG)
{
}

void ITaskManager::OnReadProgress(DWORD_PTR, ULONGLONG, ULONGLONG)
{
}

void ITaskManager::OnRedirect(DWORD_PTR dwPage, UINT nStatus, LPCSTR lpszNewUrl, int nLinkKind)
{
    constexpr DWORD dwClassGood = 3;
    if (lpszNewUrl == nullptr)
        lpszNewUrl = "";
    switch (nStatus) {
    case 300:
        ReportResult(dwPage, dwClassGood, 0x8400001b, 927, lpszNewUrl, nStatus);
        break;
    case 301:
        ReportResult(dwPage, dwClassGood, 0x8400000f, 915, lpszNewUrl, nStatus);
        break;
    case 302:
        ReportResult(dwPage, dwClassGood, 0x8400000e, 914, lpszNewUrl, nStatus);
        break;
    default: {
        CString strText;
        strText.Format("%u -> %s", nStatus, lpszNewUrl);
        ReportResult(dwPage, dwClassGood, 0x8000001e, 63012, strText, nStatus);
        break;
    }
    }
    CString strDescription;
    strDescription.Format("(%u Redirect)", nStatus);
    OnLinkFound(dwPage, lpszNewUrl, strDescription, nLinkKind, LINK_FLAG_REDIRECT, -1, -1);
}

void ITaskManager::ReportText(DWORD_PTR dwPage, DWORD dwClass, LPCSTR lpszText, DWORD dwCode)
{
    if (t_inDefaultReportText)
        return;
    const DefaultReportTextMark mark;
    ReportResult(dwPage, dwClass, dwCode, 0, lpszText, 0);
}

CString ITaskManager::FormatResultMessage(UINT nStringId, LPCSTR lpszInsert1, DWORD_PTR dwInsert2)
{
    if (nStringId == 0)
        return CString(lpszInsert1 != nullptr ? lpszInsert1 : "");
    CString strEntry;
    strEntry.LoadString(nStringId);
    CString strMessage;
    if (lpszInsert1 == nullptr) {
        strMessage = strEntry;
    } else if (strEntry == "%s") {
        // The pass-through message: its text is the insert itself. Message formatting would
        // make "%s" an "s".
        strMessage = lpszInsert1;
    } else {
        strMessage.FormatMessage(strEntry.GetString(), lpszInsert1, dwInsert2);
    }
    return strMessage;
}

void ITaskManager::ReportResult(DWORD_PTR dwPage, DWORD dwClass, DWORD dwCode, UINT nStringId, LPCSTR lpszInsert1,
    DWORD_PTR dwInsert2)
{
    if (nStringId == 0) {
        ReportText(dwPage, dwClass, lpszInsert1, dwCode);
        return;
    }
    ReportText(dwPage, dwClass, FormatResultMessage(nStringId, lpszInsert1, dwInsert2), dwCode);
}
