#include "fetch/CHttpRefChecker.h"

#include "engine/html/CTranslatingFile.h"
#include "engine/html/HtmlLinkTypes.h"
#include "engine/html/ITaskManager.h"
#include "engine/project/CConnectOptions.h"
#include "engine/project/CScanOptions.h"
#include "engine/project/CUrlString.h"
#include "engine/project/SystemUtil.h"
#include "fetch/CHPSTable.h"
#include "fetch/CTaskManager.h"
#include "fetch/ResultCodes.h"
#include "fetch/UrlCredentials.h"
#include "platform/core/ThreadApi.h"
#include "platform/net/CInternetConnection.h"
#include "platform/net/CInternetException.h"
#include "platform/net/CInternetFile.h"
#include "platform/net/CInternetSession.h"
#include "platform/net/HostLookup.h"

#include <cstdio>
#include <cstring>
#include <ctime>

IMPLEMENT_DYNAMIC(CHttpRefChecker, CRefChecker)

namespace {

constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION
    | INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
static_assert(kRequestFlags == 0x8460c000u);
constexpr DWORD kIgnoreNameAndDate = 0x3000;
constexpr DWORD kIgnoreAllCertificateProblems = 0x3380;
constexpr DWORD kCapCertificates = 0x2;
constexpr LONG kTwoDays = 2 * 24 * 60 * 60;
constexpr int kMaxContinues = 5;
constexpr int kBusyTable = 3;

LPCTSTR kAcceptTypes[] = {"application/octet-stream", "application/*", "audio/*", "image/gif", "image/jpeg",
    "image/pjpeg", "image/x-xbitmap", "image/*", "video/mpeg", "video/*", "*/*", nullptr};

bool IsHttpPageLinkKind(int nKind)
{
    return nKind == LINK_KIND_ANCHOR || nKind == LINK_KIND_PLAIN || nKind == LINK_KIND_SCRIPT
        || nKind == LINK_KIND_OTHER || nKind == LINK_KIND_FRAME;
}

bool IsCertificateError(DWORD dwError)
{
    return dwError == ERROR_INTERNET_SEC_CERT_DATE_INVALID || dwError == ERROR_INTERNET_SEC_CERT_CN_INVALID
        || dwError == ERROR_INTERNET_INVALID_CA || dwError == ERROR_INTERNET_SEC_INVALID_CERT
        || dwError == ERROR_INTERNET_SEC_CERT_REVOKED;
}

bool IsDigitsAndDots(const CString& strHost)
{
    for (int i = 0; i < strHost.GetLength(); ++i) {
        const char ch = strHost[i];
        if (ch != '.' && (ch < '0' || ch > '9'))
            return false;
    }
    return true;
}

bool HeadStatusCallsForGet(DWORD dwStatus)
{
    for (DWORD dw : {0u, 400u, 403u, 404u, 405u, 409u, 415u, 500u, 501u, 502u, 505u}) {
        if (dw == dwStatus)
            return true;
    }
    return false;
}

} // namespace

CHttpRefChecker::CHttpRefChecker(CTaskManager* pTaskManager, ITaskManager* pSink, CHPSUP* pHpsup)
    : CRefChecker(pTaskManager, pSink, pHpsup),
      m_strUser(DecodeUserInfo(pHpsup->GetUser())),
      m_strPassword(DecodeUserInfo(pHpsup->GetPassword())),
      m_nPort(static_cast<WORD>(pHpsup->GetHps()->GetPort()))
{
}

CHttpRefChecker::~CHttpRefChecker()
{
    CloseRequest();
    CloseConnection();
}

CString CHttpRefChecker::GetHostName() const
{
    return m_pHpsup->GetHost()->GetName();
}

CString CHttpRefChecker::CorrectPath(const CString& strPath, bool& bCorrected)
{
    CString strResult = strPath;
    bCorrected = false;
    for (;;) {
        if (strResult.Left(3) == "../") {
            strResult = strResult.Mid(2);
        } else if (strResult.Left(4) == "/../") {
            strResult = strResult.Mid(3);
        } else {
            break;
        }
        bCorrected = true;
    }
    return strResult;
}

BOOL CHttpRefChecker::Check(CURLToCheck* pRecord)
{
    const BOOL bGoOn = CRefChecker::Check(pRecord);
    m_nContinues = 0;
    m_bCredentialsSent = FALSE;
    m_bProxyCredentialsSent = FALSE;
    m_bIllegalRef = FALSE;
    m_nCertificateProblems = 0;
    m_nLookupFailures = 0;
    m_nClientCertificateTries = 0;
    m_strCredentialsWithheld.Empty();
    m_bFetch = pRecord->GetFetch();
    return bGoOn;
}

void CHttpRefChecker::Finish()
{
    CloseRequest();
    CRefChecker::Finish();
}

void CHttpRefChecker::CloseRequest()
{
    CloseAndReset(m_pFile);
}

void CHttpRefChecker::CloseConnection()
{
    CloseRequest();
    CloseAndReset(m_pConnection);
}

void CHttpRefChecker::LogHeaders(LPCTSTR lpszWhat, DWORD dwLevel)
{
    if (!m_pTaskManager->IsLogging() || !m_pFile)
        return;
    CString strHeaders;
    m_pFile->QueryInfo(dwLevel, strHeaders);
    m_pTaskManager->Log(GetHostName(), lpszWhat, strHeaders);
}

void CHttpRefChecker::CheckMore()
{
    if (!IsHttpPageLinkKind(m_pRecord->GetLinkKind()))
        m_bFetch = FALSE;
    bool bCorrected = false;
    m_strPath = CorrectPath(m_pRecord->GetPath(), bCorrected);
    if (bCorrected) {
        ReportResultCode(0x84000005, m_strPath);
        m_bIllegalRef = TRUE;
    }
    m_strPath += m_pRecord->GetParams();
    m_strPath += m_pRecord->GetQuery();

    DWORD dwStatus = 0;
    if (!SendRequest(dwStatus))
        return;
    for (;;) {
        m_pHpsup->GetHost()->SetReached();
        if (m_pTaskManager->IsLogging()) {
            CString strHeaders;
            m_pFile->QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF, strHeaders);
            m_pTaskManager->Log(GetHostName(), " replied:\n", strHeaders);
        }
        const int nAction = ClassifyHttpStatus(dwStatus, m_strStatusText);
        switch (nAction) {
        case HTTP_ACTION_SUCCESS:
            OnSuccess(dwStatus);
            return;
        case HTTP_ACTION_REDIRECT:
            OnRedirectReply(dwStatus);
            return;
        case HTTP_ACTION_CONTINUE:
            if (m_nContinues > kMaxContinues) {
                ReportResultCode(0x84000011);
                return;
            }
            ReportResultCode(0x84000010);
            m_pTaskManager->IdleWait(10);
            ++m_nContinues;
            if (!SendRequest(dwStatus))
                return;
            continue;
        case HTTP_ACTION_PROXY_REDIRECT:
            ReportResultCode(0x84000006, nullptr, dwStatus);
            return;
        case HTTP_ACTION_NO_CONTENT:
            ReportResultCode(RC_WARNING_TEXT, m_strStatusText, dwStatus);
            return;
        default: {
            CString strInsert;
            const DWORD dwCode = GetHttpStatusResult(dwStatus, strInsert);
            if (dwStatus == 401 && !m_strCredentialsWithheld.IsEmpty()) {
                // The status alone would read as wrong credentials: say that none were sent, and why.
                CString strText;
                strText.LoadString(FindResultCode(dwCode).nStringId);
                strText += " (credentials withheld: " + m_strCredentialsWithheld + ")";
                ReportResultCode(RC_ERROR_TEXT, strText, dwStatus);
                return;
            }
            ReportResultCode(dwCode, strInsert.IsEmpty() ? nullptr : strInsert.GetString(), dwStatus);
            return;
        }
        }
    }
}

bool CHttpRefChecker::SendRequest(DWORD& dwStatus)
{
    CHPS* pHps = m_pHpsup->GetHps();
    const bool bHttps = pHps->GetSchemeKind() == SCHEME_KIND_HTTPS;
    bool bForceGet = false;
    bool bReplacedHead = false;
    SendStep step = SendStep::Open;
    for (;;) {
        try {
            if (step == SendStep::Open) {
                if (m_pRecord->HasFormData())
                    m_nVerb = kVerbPost;
                else if (!m_bFetch && !bForceGet && !pHps->HeadCallsForGet())
                    m_nVerb = kVerbHead;
                else
                    m_nVerb = kVerbGet;
                DWORD dwFlags = kRequestFlags;
                if (!m_pTaskManager->GetHttpAcceptCookies())
                    dwFlags |= INTERNET_FLAG_NO_COOKIES;
                if (bHttps)
                    dwFlags |= INTERNET_FLAG_SECURE;
                if (!m_pConnection && !OpenConnection())
                    return false;
                CloseRequest();
                m_pFile.reset(m_pConnection->OpenRequest(m_nVerb, m_strPath, nullptr, GetCurrentThreadId(),
                    kAcceptTypes, pHps->GetServerHttpVersionText(), dwFlags));
                m_pFile->SetReadBufferSize(4096);
                step = SendStep::Security;
            }
            if (step == SendStep::Security) {
                if (m_pTaskManager->GetConnectOptions().GetHttpsIgnoreCertErrors() || m_pHpsup->GetIgnoreCertificate()) {
                    DWORD dwSecurity = 0;
                    m_pFile->QueryOption(INTERNET_OPTION_SECURITY_FLAGS, dwSecurity);
                    dwSecurity |= m_pTaskManager->HasWinInetCapability(kCapCertificates) ? kIgnoreAllCertificateProblems
                                                                                        : kIgnoreNameAndDate;
                    m_pFile->SetOption(INTERNET_OPTION_SECURITY_FLAGS, dwSecurity);
                }
                LogHeaders(" requesting:\n", HTTP_QUERY_RAW_HEADERS_CRLF | HTTP_QUERY_FLAG_REQUEST_HEADERS);
                step = SendStep::Send;
            }
            // The request gets what is left of the check's time, so that no server holds the
            // check longer than its limit, however it drips its reply.
            const DWORD dwTimeLeft = GetCheckTimeLeft();
            if (dwTimeLeft == 0)
                AfxThrowInternetException(GetCurrentThreadId(), ERROR_INTERNET_TRANSFER_TIME_LIMIT);
            if (dwTimeLeft != 0xFFFFFFFFu)
                m_pFile->SetOption(INTERNET_OPTION_TRANSFER_TIME_LIMIT, dwTimeLeft);
            if (m_nVerb == kVerbPost) {
                CString strBody = m_pRecord->GetFormData();
                m_pFile->SendRequest("Content-Type: application/x-www-form-urlencoded", 47, strBody.GetBuffer(),
                    static_cast<DWORD>(strBody.GetLength()));
                strBody.ReleaseBuffer();
            } else {
                m_pFile->SendRequest();
            }
            LogHeaders(" requested:\n", HTTP_QUERY_RAW_HEADERS_CRLF | HTTP_QUERY_FLAG_REQUEST_HEADERS);
            if (!m_pFile->QueryInfoStatusCode(dwStatus))
                AfxThrowInternetException(1, GetLastError());
            if (pHps->GetServerHttpVersion() == 0) {
                CString strVersion;
                int nMajor = 0;
                int nMinor = 0;
                int nCode = 1;
                if (m_pFile->QueryInfo(HTTP_QUERY_VERSION, strVersion)
                    && std::sscanf(strVersion, "HTTP/%d.%d", &nMajor, &nMinor) == 2) {
                    if (nMajor == 1 && nMinor == 0)
                        nCode = 2;
                    else if (nMajor > 0)
                        nCode = 3;
                }
                pHps->SetServerHttpVersion(nCode);
            }
            if (dwStatus == 401 && !m_bCredentialsSent) {
                CString strUser = m_strUser;
                CString strPassword = m_strPassword;
                CString strOptionUser;
                CString strOptionPassword;
                const BOOL bOptionUser = m_pTaskManager->GetHttpCredentials(strOptionUser, strOptionPassword);
                bool bFromOptions = false;
                if (strUser.IsEmpty() && strPassword.IsEmpty() && bOptionUser) {
                    strUser = strOptionUser;
                    strPassword = strOptionPassword;
                    bFromOptions = true;
                }
                if (!strUser.IsEmpty() || !strPassword.IsEmpty()) {
                    m_strCredentialsWithheld = GetCredentialsWithheldReason(bFromOptions);
                    if (m_strCredentialsWithheld.IsEmpty()) {
                        m_pSink->OnAuthenticationRequired(GetPageId(), "Page");
                        m_pFile->SetOption(INTERNET_OPTION_USERNAME, strUser.GetBuffer(), strUser.GetLength());
                        m_pFile->SetOption(INTERNET_OPTION_PASSWORD, strPassword.GetBuffer(), strPassword.GetLength());
                        strUser.ReleaseBuffer();
                        strPassword.ReleaseBuffer();
                        char drain[512];
                        while (m_pFile->Read(drain, sizeof drain) > 0) {
                        }
                        m_bCredentialsSent = TRUE;
                        continue;
                    }
                }
            }
            // Proxy credentials are for a proxy: a server reached directly gets none, and they
            // always go as proxy credentials, never as the server's own.
            if (dwStatus == 407 && !m_bProxyCredentialsSent && m_pTaskManager->UsesProxy()) {
                CString strUser;
                CString strPassword;
                if (m_pTaskManager->GetProxyCredentials(strUser, strPassword)) {
                    m_pFile->SetOption(INTERNET_OPTION_PROXY_USERNAME, strUser.GetBuffer(), strUser.GetLength());
                    m_pFile->SetOption(INTERNET_OPTION_PROXY_PASSWORD, strPassword.GetBuffer(), strPassword.GetLength());
                    strUser.ReleaseBuffer();
                    strPassword.ReleaseBuffer();
                    char drain[512];
                    while (m_pFile->Read(drain, sizeof drain) > 0) {
                    }
                    m_bProxyCredentialsSent = TRUE;
                    continue;
                }
            }
            if (IsHead()) {
                if (HeadStatusCallsForGet(dwStatus)) {
                    bForceGet = true;
                    bReplacedHead = true;
                    CloseRequest();
                    step = SendStep::Open;
                    continue;
                }
                pHps->AddHeadSuccess();
            } else if (bReplacedHead) {
                pHps->AddHeadFailure();
            }
            return true;
        } catch (CInternetException* e) {
            const bool bGoOn = HandleSendError(e, step, bForceGet, bReplacedHead);
            e->Delete();
            if (!bGoOn)
                return false;
        } catch (CException* e) {
            ReportException(RC_HTTP_ERROR, e);
            e->Delete();
            CloseConnection();
            return false;
        } catch (...) {
            ReportResultCode(RC_UNKNOWN_PROBLEM);
            CloseConnection();
            return false;
        }
    }
}

bool CHttpRefChecker::HandleSendError(CInternetException* e, SendStep& rStep, bool& bForceGet, bool& bReplacedHead)
{
    const DWORD dwError = e->m_dwError;
    if (m_pTaskManager->IsLogging()) {
        CString strWhat;
        strWhat.Format(" exception %d:\n", static_cast<int>(dwError));
        CString strHeaders;
        if (m_pFile)
            m_pFile->QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF | HTTP_QUERY_FLAG_REQUEST_HEADERS, strHeaders);
        m_pTaskManager->Log(GetHostName(), strWhat, strHeaders);
    }
    if (IsStopRequested()) {
        ReportResultCode(RC_CANCELLED);
        CloseConnection();
        return false;
    }
    if (dwError == ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED) {
        if (m_nClientCertificateTries < 10 && m_pTaskManager->HasWinInetCapability(kCapCertificates) && m_pFile
            && m_pFile->SetOption(INTERNET_OPTION_SECURITY_SELECT_CLIENT_CERT,
                static_cast<DWORD>(m_nClientCertificateTries++))) {
            rStep = SendStep::Send;
            return true;
        }
        ReportExceptionText(RESULT_CLASS_ERROR, dwError, e);
        CloseConnection();
        return false;
    }
    if (IsCertificateError(dwError)) {
        if (m_nCertificateProblems++ == 0 && m_pFile) {
            ReportExceptionText(RESULT_CLASS_WARNING, dwError, e);
            m_pHpsup->SetIgnoreCertificate();
            m_pTaskManager->Log(GetHostName(), " ignoring certificate problem");
            rStep = SendStep::Security;
            return true;
        }
        ReportExceptionText(RESULT_CLASS_ERROR, dwError, e);
        m_pTaskManager->Log(GetHostName(), " certificate problem could not be ignored");
        CloseConnection();
        return false;
    }

    const bool bWasHead = IsHead();
    CloseConnection();
    if (bWasHead
        && (dwError == ERROR_INTERNET_CONNECTION_ABORTED || dwError == ERROR_INTERNET_CONNECTION_RESET
            || dwError == ERROR_INTERNET_OPERATION_CANCELLED || dwError == ERROR_HTTP_INVALID_SERVER_RESPONSE)) {
        bForceGet = true;
        bReplacedHead = true;
        rStep = SendStep::Open;
        return true;
    }
    if (dwError == ERROR_INTERNET_NAME_NOT_RESOLVED) {
        if (m_nLookupFailures++ == 0) {
            ReportResultCode(0x84000008);
            m_pTaskManager->IdleWait(10);
            rStep = SendStep::Open;
            return true;
        }
        m_pHpsup->GetHost()->SetNotFound();
        ReportResultCode(RC_HOST_NOT_FOUND, nullptr, dwError);
        return false;
    }
    CHPSTable& table = m_pTaskManager->GetHostTable();
    DWORD dwRetryCode = 0;
    switch (dwError) {
    case ERROR_INTERNET_CANNOT_CONNECT: dwRetryCode = 0x84000014; break;
    case ERROR_INTERNET_TIMEOUT: dwRetryCode = 0x84000015; break;
    case ERROR_INTERNET_OPERATION_CANCELLED:
    case ERROR_INTERNET_CONNECTION_RESET: dwRetryCode = 0x84000016; break;
    case ERROR_INTERNET_CONNECTION_ABORTED: dwRetryCode = 0x84000017; break;
    case ERROR_HTTP_INVALID_SERVER_RESPONSE: dwRetryCode = RC_UNKNOWN_PROBLEM; break;
    default: break;
    }
    if (dwRetryCode != 0 && m_pRecord->GetTryCount() < 2 && table.GetRunningCount() > kBusyTable) {
        ReportResultCode(dwRetryCode, nullptr, dwError);
        if (table.GetRunningCount() > kBusyTable)
            m_pTaskManager->IdleWait(10);
        m_pRecord->Requeue();
        return false;
    }
    ReportException(RC_HTTP_ERROR, e);
    return false;
}

CString CHttpRefChecker::GetCredentialsWithheldReason(bool bFromOptions) const
{
    // A server whose certificate was not verified may be anyone: it gets no credentials at all.
    if (m_pHpsup->GetHps()->GetSchemeKind() == SCHEME_KIND_HTTPS) {
        DWORD dwSecurity = 0;
        if (!m_pFile || !m_pFile->QueryOption(INTERNET_OPTION_SECURITY_FLAGS, dwSecurity)
            || (dwSecurity & kIgnoreAllCertificateProblems) != 0)
            return "the server's certificate was not verified";
    }
    // The options' credentials belong to the project's site and go to no other server.
    if (bFromOptions
        && !IsSameSite(m_pRecord->GetFullUrl(), m_pTaskManager->GetConnectOptions().GetHttpCredentialsSite()))
        return "the server is not the project's site";
    return CString();
}

bool CHttpRefChecker::OpenConnection()
{
    const CString strHost = GetHostName();
    if (strHost.IsEmpty()) {
        ReportResultCode(0x84000007);
        return false;
    }
    for (int nInvalidHandle = 0;; ++nInvalidHandle) {
        CloseConnection();
        if (!m_pHpsup->GetHost()->IsReached() && !m_pTaskManager->UsesProxy() && !IsDigitsAndDots(strHost)) {
            if (vostrel::net::gethostbyname(strHost) == nullptr && WSAGetLastError() == WSAHOST_NOT_FOUND) {
                ReportResultCode(RC_HOST_NOT_FOUND);
                m_pHpsup->GetHost()->SetNotFound();
                return false;
            }
        }
        CInternetSession* pSession = m_pTaskManager->GetSession();
        if (pSession == nullptr) {
            ReportResultCode(0x84000013);
            return false;
        }
        try {
            m_pConnection.reset(pSession->GetHttpConnection(strHost, m_nPort));
            return true;
        } catch (CInternetException* e) {
            const DWORD dwError = e->m_dwError;
            if (dwError == ERROR_INVALID_HANDLE && nInvalidHandle < 2) {
                e->Delete();
                m_pTaskManager->IdleWait(2);
                continue;
            }
            if (dwError == ERROR_INVALID_PARAMETER && strHost.IsEmpty())
                ReportResultCode(0x84000007);
            else
                ReportException(RC_HTTP_ERROR, e);
            e->Delete();
            return false;
        } catch (CException* e) {
            ReportException(RC_HTTP_ERROR, e);
            e->Delete();
            return false;
        } catch (...) {
            ReportResultCode(0x84000013);
            return false;
        }
    }
}

void CHttpRefChecker::OnSuccess(DWORD dwStatus)
{
    SYSTEMTIME st {};
    if (m_pFile->QueryInfo(HTTP_QUERY_LAST_MODIFIED, &st)) {
        LONG nTime = 0;
        if (SystemTimeToSeconds1970(st, nTime)) {
            m_pSink->OnLastModified(GetPageId(), nTime);
            if (static_cast<long long>(nTime) > static_cast<long long>(std::time(nullptr)) + kTwoDays)
                ReportResultCode(0x84000012);
        }
    }
    DWORD dwLength = 0;
    if (m_pFile->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, dwLength))
        m_pSink->OnContentLength(GetPageId(), dwLength);
    CString strType;
    if (m_pFile->QueryInfo(HTTP_QUERY_CONTENT_TYPE, strType))
        m_pSink->OnContentType(GetPageId(), strType);

    bool bScript = false;
    bool bPlain = false;
    bool bHtml = false;
    bool bAnyType = false;
    bool bServerPush = false;
    for (DWORD dwIndex = 0;;) {
        CString strValue;
        const DWORD dwBefore = dwIndex;
        if (!m_pFile->QueryInfo(HTTP_QUERY_CONTENT_TYPE, strValue, &dwIndex))
            break;
        bAnyType = true;
        strValue.MakeLower();
        if (GetScriptMimeTypeKind(strValue) == SCRIPT_KIND_JAVASCRIPT)
            bScript = true;
        else if (strValue.Left(10) == "text/plain")
            bPlain = true;
        CString strBare = strValue;
        const int nSemicolon = strBare.Find(';');
        if (nSemicolon >= 0)
            strBare = strBare.Left(nSemicolon);
        strBare.TrimRight();
        if (strBare == "text/html")
            bHtml = true;
        if (strValue.Left(25) == "multipart/x-mixed-replace")
            bServerPush = true;
        if (dwIndex == dwBefore)
            break;   // the layer does not step through repeated headers: one value is all
    }
    if (!bAnyType)
        bHtml = true;
    if (bPlain && !m_pTaskManager->GetScanOptions().GetCollectKeywords())
        bPlain = false;

    if (!m_bFetch || (!bScript && !bPlain && !bHtml)) {
        ReportResultCode(RC_HTTP_OK, nullptr, dwStatus);
    } else if (bServerPush) {
        ReportResultCode(0x84000009);
    } else {
        CString strBase = "Base";
        if (m_pFile->QueryInfo(HTTP_QUERY_CUSTOM, strBase) && !strBase.IsEmpty())
            OnBase(strBase.Left(1023));
        else if (CString strContentBase; m_pFile->QueryInfo(HTTP_QUERY_CONTENT_BASE, strContentBase))
            OnBase(strContentBase.Left(1023));
        else if (m_bIllegalRef)
            OnBase(CUrlString(m_pRecord->GetFullUrl()).GetRoot(FALSE) + m_strPath);
        ReadPage(bPlain && !bScript, bScript);
        ReportResultCode(RC_HTTP_OK, nullptr, dwStatus);
    }
    if (IsStopRequested())
        ReportResultCode(RC_CANCELLED);
}

void CHttpRefChecker::ReadPage(bool bPlainText, bool bScript)
{
    if (bScript)
        return;
    CTranslatingFile translated(m_pFile.get());
    try {
        StartKeywordExtraction();
        if (bPlainText) {
            ReadPageForKeywords(&translated);
        } else {
            ResetKeywordExtraction();
            ParsePage(&translated);
        }
        FinishKeywordExtraction(TRUE);
        return;
    } catch (CInternetException* e) {
        CHPSTable& table = m_pTaskManager->GetHostTable();
        if (e->m_dwError == ERROR_INTERNET_TIMEOUT && m_pRecord->GetTryCount() < 2
            && table.GetRunningCount() > kBusyTable) {
            ReportResultCode(0x8400000a);
            m_pTaskManager->IdleWait(10);
            m_pRecord->Requeue();
        } else {
            ReportException(RC_HTTP_ERROR, e);
        }
        e->Delete();
    } catch (CException* e) {
        ReportException(RC_HTTP_ERROR, e);
        e->Delete();
    } catch (...) {
        ReportResultCode(0x84000019);
    }
    CloseConnection();
    FinishKeywordExtraction(FALSE);
}

void CHttpRefChecker::OnRedirectReply(DWORD dwStatus)
{
    CString strLocation;
    if (!m_pFile->QueryInfo(HTTP_QUERY_LOCATION, strLocation) || strLocation.IsEmpty()) {
        ReportResultCode(0x8400001a);
        return;
    }
    const CUrlString current(m_pRecord->GetFullUrl());
    const CUrlString alone(strLocation);
    const CUrlString resolved(strLocation, &current);
    // A location written with credentials, or resolved against a URL that has them, shows
    // without them.
    const CString strShownLocation = StripUserInfo(strLocation);
    if (alone.HasError() && resolved.HasError()) {
        ReportResultCode(0x8400000b, strShownLocation, dwStatus);
        return;
    }
    CString strTarget = strLocation;
    if (!resolved.HasError()) {
        const CString strResolved = resolved.GetUrl(TRUE);
        if (strResolved != strLocation) {
            ReportResultCode(0x8400000c, strShownLocation, dwStatus);
            strTarget = strResolved;
        }
    }
    ReportResultCode(RC_HTTP_OK, nullptr, dwStatus);
    ReportRedirect(dwStatus, strTarget);
}
