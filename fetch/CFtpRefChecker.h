// CFtpRefChecker: checks the ftp URLs of one entry. It logs in once for all the entry's URLs,
// looks each path up with a directory search (or opens the file when the search finds nothing),
// reports size and date, and reads a wanted HTML page into the parser. Through a CERN-type FTP
// proxy it opens the whole URL through the internet session instead.
#pragma once

#include "fetch/CRefChecker.h"
#include "platform/net/WinInet.h"

#include <memory>

class CFtpConnection;
class CInternetFile;

class CFtpRefChecker : public CRefChecker {
    DECLARE_DYNAMIC(CFtpRefChecker)
public:
    CFtpRefChecker(CTaskManager* pTaskManager, ITaskManager* pSink, CHPSUP* pHpsup);
    // Closes the connection; problems while closing are swallowed.
    ~CFtpRefChecker() override;

    BOOL Check(CURLToCheck* pRecord) override;
    void CheckMore() override;
    void Finish() override;
    void ReportException(DWORD dwDefaultCode, CException* pException) override;

    // The path sent to the server for a URL path: no leading or trailing "/", "." when empty.
    static CString GetRequestPath(const CString& strUrlPath);
    // A listing date as seconds since 1970; a date more than a day ahead of nNow is a listing
    // without a year that belongs to last year, and is moved one year back.
    static bool ListingTimeToSeconds1970(const FILETIME& ft, long long nNow, LONG& nSeconds);

protected:
    virtual void CheckDirect();
    virtual void CheckThroughProxy();
    virtual void CloseFile();
    virtual void CloseConnection();

private:
    // Whether the record's page is to be read into the parser (or the keyword engine).
    enum class PageKind { None, Html, PlainText };

    bool FindPath(const CString& strPath, WIN32_FIND_DATA& data);
    void CloseFind();
    PageKind GetPageKind() const;
    void ReadPage(PageKind kind);

    CString m_strHost;
    CString m_strUser;
    CString m_strPassword;
    INTERNET_PORT m_nPort = 0;
    std::unique_ptr<CFtpConnection> m_pConnection;
    BOOL m_bStickyFailure = FALSE;
    DWORD m_dwStickyCode = 0;
    DWORD_PTR m_dwStickyInsert2 = 0;
    CString m_strStickyInsert1;
    CString m_strPath;
    BOOL m_bFetch = FALSE;
    std::unique_ptr<CInternetFile> m_pFile;
    HINTERNET m_hFind = nullptr;
};
