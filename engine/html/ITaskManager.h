// ITaskManager: the one channel through which the fetch engine tells its owner what it found in
// the pages it checks (titles, META tags, links, keywords, sizes, dates, redirects, results).
// The scan engine implements it; the fetch engine's task manager and reference checkers call it.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <sys/stat.h>

// Every operation takes first the page id: the pointer-sized word the owner gave when it queued
// the URL (the scan engine gives its page object). Texts are NUL-terminated and live only for
// the call. Times are seconds since 1970 (UTC), sizes byte counts.
//
// Every operation may be called from any worker thread of the fetch engine, several at a time
// for different pages; the interface takes no lock, so an implementation guards its own data.
class ITaskManager {
public:
    // A link found in the page, or the target of a redirect (with LINK_FLAG_REDIRECT). The kind
    // and flags are those of HtmlLinkTypes.h; a size of -1 means not given.
    virtual void OnLinkFound(DWORD_PTR dwPage, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags,
        int nWidth, int nHeight) = 0;
    virtual void OnTitle(DWORD_PTR dwPage, LPCSTR lpszTitle) = 0;
    virtual void OnAnchor(DWORD_PTR dwPage, LPCSTR lpszName) = 0;
    virtual void OnAuthor(DWORD_PTR dwPage, LPCSTR lpszAuthor) = 0;
    virtual void OnDescription(DWORD_PTR dwPage, LPCSTR lpszDescription) = 0;
    // A META NAME other than AUTHOR, KEYWORDS and DESCRIPTION; the scheme may be null.
    virtual void OnOtherMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme) = 0;
    // The end of a form with the checksum of its fields; nothing by default.
    virtual void OnFormEnd(DWORD_PTR dwPage, LPCSTR lpszFormName, DWORD dwChecksum);
    // A server asks for credentials for what the text names ("Page").
    virtual void OnAuthenticationRequired(DWORD_PTR dwPage, LPCSTR lpszWhat) = 0;
    // A redirect (status 300 to 303) to the new URL, which gets the link kind of the URL that
    // was redirected. By default reported as a result and as a link (see the source).
    virtual void OnRedirect(DWORD_PTR dwPage, UINT nStatus, LPCSTR lpszNewUrl, int nLinkKind);
    // The page's base URL, as written in its BASE element or reply header.
    virtual void OnBaseUrl(DWORD_PTR dwPage, LPCSTR lpszBaseUrl) = 0;
    virtual void OnExtraLink(DWORD_PTR dwPage, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags,
        int nWidth, int nHeight) = 0;
    virtual void OnLastModified(DWORD_PTR dwPage, LONG nTime) = 0;
    virtual void OnContentType(DWORD_PTR dwPage, LPCSTR lpszContentType) = 0;
    virtual void OnContentLength(DWORD_PTR dwPage, DWORD dwLength) = 0;
    // The local file the page was read from, once it is open: which file it is, its size and its
    // time of change, and the path the page's name led to with every link followed. What tells
    // later whether the page's name still leads to that file, and whether it changed since.
    // Nothing by default.
    virtual void OnFileRead(DWORD_PTR dwPage, const struct stat& file, LPCSTR lpszResolved);
    // The checksum (CPageChecksum) of all of the bytes of the file OnFileRead told of, once they
    // were read whole: what tells later whether another program changed them, whatever became
    // of the file's size and time. Nothing by default.
    virtual void OnFileChecksum(DWORD_PTR dwPage, ULONGLONG nChecksum);
    // How far the check of a large page has come: nDone of nTotal, told now and then while it
    // reads the page, on the check's own thread and at once, not in turn with the reports above.
    // Nothing by default.
    virtual void OnReadProgress(DWORD_PTR dwPage, ULONGLONG nDone, ULONGLONG nTotal);
    // A keyword: nSource 1 from the page's own KEYWORDS tag, 0 suggested by keyword extraction.
    virtual void OnKeyword(DWORD_PTR dwPage, LPCSTR lpszKeyword, int nSource) = 0;
    // Every META NAME with its content; the scheme may be null.
    virtual void OnNamedMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme) = 0;
    virtual void OnHttpEquivMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent) = 0;
    // The URL is done for good.
    virtual void OnTaskDone(DWORD_PTR dwPage) = 0;
    // A result as finished text. By default passed to ReportResult as its own message.
    virtual void ReportText(DWORD_PTR dwPage, DWORD dwClass, LPCSTR lpszText, DWORD dwCode);
    // A result by string-table id with up to two inserts ("%1" text, "%2" number). By default
    // formatted and passed to ReportText; string id 0 passes insert 1 through as the message.
    // The two defaults call each other: an implementation overrides at least one of them. One
    // that overrides neither shows no result; the text goes no further than the default
    // ReportText.
    virtual void ReportResult(DWORD_PTR dwPage, DWORD dwClass, DWORD dwCode, UINT nStringId, LPCSTR lpszInsert1,
        DWORD_PTR dwInsert2);

    // The result codes that say a page's file itself could not be had: not found, and could
    // not be opened or read. Every other code, errors included, concerns a page that was read.
    static constexpr DWORD kCodeFileNotFound = 0x81000006;
    static constexpr DWORD kCodeFileOpenFailed = 0x81000007;
    // The page's file was read, but its bytes are no page: binary data, or a charset this
    // program does not write. Like the two above, the page counts as not read.
    static constexpr DWORD kCodeFileUnreadable = 0x81000009;
    // The page was read, but lacks what a save needs to write its tags (an HTML start tag, the
    // head): a save would refuse it, for the reason the result gives.
    static constexpr DWORD kCodePageNotSavable = 0x8100000a;
    // The page is larger than the scan reads (kLargestReadPage): it was left unread, none of its
    // bytes read, and counts as not read, as a page the scan did not come to.
    static constexpr DWORD kCodePageTooLarge = 0x8100000b;
    // The check of the page was cut off by a stop: what it reported is not the whole page.
    static constexpr DWORD kCodeCancelled = 0x80000008;

protected:
    // The message of a result as the default ReportResult makes it: the string-table entry with
    // its inserts, or insert 1 itself for string id 0.
    static CString FormatResultMessage(UINT nStringId, LPCSTR lpszInsert1, DWORD_PTR dwInsert2);

    ITaskManager() = default;
    // Owners delete their own objects through their own class, never through the interface.
    ~ITaskManager() = default;
    ITaskManager(const ITaskManager&) = default;
    ITaskManager& operator=(const ITaskManager&) = default;
};
