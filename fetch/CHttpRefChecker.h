// CHttpRefChecker: checks the http and https URLs of one entry through the internet layer. It
// sends a HEAD, GET or POST request, classifies the reply by the HTTP status table, retries
// where the reply or the error allows, reports the page's headers, and reads a wanted page
// into the HTML parser or the keyword engine.
#pragma once

#include "fetch/CRefChecker.h"

#include <memory>

class CHttpConnection;
class CHttpFile;
class CInternetException;

class CHttpRefChecker : public CRefChecker {
    DECLARE_DYNAMIC(CHttpRefChecker)
public:
    CHttpRefChecker(CTaskManager* pTaskManager, ITaskManager* pSink, CHPSUP* pHpsup);
    ~CHttpRefChecker() override;

    BOOL Check(CURLToCheck* pRecord) override;
    void CheckMore() override;
    void Finish() override;

    // The request path of a record's path: leading "../" and "/../" steps, which would climb
    // above the server's root, are dropped. bCorrected tells whether any was.
    static CString CorrectPath(const CString& strPath, bool& bCorrected);

private:
    // Where a send starts over after a problem it can get past.
    enum class SendStep { Open, Security, Send };

    bool SendRequest(DWORD& dwStatus);
    // false: the send failed for good (reported); true: go on at rStep.
    bool HandleSendError(CInternetException* pException, SendStep& rStep, bool& bForceGet, bool& bReplacedHead);
    bool OpenConnection();
    // Why no credentials may go to this request's server (empty when they may): its
    // certificate was not verified, or (for the options' credentials) it is not the site's.
    CString GetCredentialsWithheldReason(bool bFromOptions) const;
    void CloseRequest();
    void CloseConnection();
    void OnSuccess(DWORD dwStatus);
    void OnRedirectReply(DWORD dwStatus);
    void ReadPage(bool bPlainText, bool bScript);
    void LogHeaders(LPCTSTR lpszWhat, DWORD dwLevel);
    bool IsHead() const { return m_nVerb == kVerbHead; }
    CString GetHostName() const;

    static constexpr int kVerbPost = 0;
    static constexpr int kVerbGet = 1;
    static constexpr int kVerbHead = 2;

    std::unique_ptr<CHttpConnection> m_pConnection;
    std::unique_ptr<CHttpFile> m_pFile;
    CString m_strUser;
    CString m_strPassword;
    WORD m_nPort = 0;
    CString m_strPath;
    BOOL m_bFetch = FALSE;
    BOOL m_bIllegalRef = FALSE;
    int m_nContinues = 0;
    BOOL m_bCredentialsSent = FALSE;
    BOOL m_bProxyCredentialsSent = FALSE;
    CString m_strStatusText;
    // Set when a 401 found credentials that could not be sent: why not.
    CString m_strCredentialsWithheld;
    int m_nVerb = kVerbGet;
    int m_nCertificateProblems = 0;
    int m_nLookupFailures = 0;
    int m_nClientCertificateTries = 0;
};
