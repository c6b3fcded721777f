// CFileRefChecker: checks file URLs. It maps the URL to a local path, reports the file's size,
// date and registered content type, and, when the page is wanted, reads it through the
// translating file into the HTML parser or the keyword engine. A scan of a local project checks
// every page with it.
#pragma once

#include "fetch/CRefChecker.h"

class CFileRefChecker : public CRefChecker {
    DECLARE_DYNAMIC(CFileRefChecker)
public:
    using CRefChecker::CRefChecker;

    BOOL Check(CURLToCheck* pRecord) override;
    void CheckMore() override;
    void ReportException(DWORD dwDefaultCode, CException* pException) override;

    // The "Content Type" registered for the path's extension; empty when there is none.
    static CString GetRegisteredContentType(const CString& strPath);
    // Whether the path names an HTML page by its extension.
    static bool IsHtmlFileName(const CString& strPath);

private:
    // What the file holds, as far as reading it goes.
    enum class ContentKind { Other, Script, PlainText, Html };

    ContentKind GetContentKind(const CString& strPath, const CString& strContentType) const;
    // The page's content, read as its kind is read; nSize is its file's size.
    void ReadContent(CFile& file, ContentKind kind, bool bDateWarning, ULONGLONG nSize);

    BOOL m_bFetch = FALSE;
};
