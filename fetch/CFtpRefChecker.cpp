#include "fetch/CFtpRefChecker.h"

#include "engine/html/CTranslatingFile.h"
#include "engine/html/HtmlLinkTypes.h"
#include "engine/html/ITaskManager.h"
#include "engine/project/CConnectOptions.h"
#include "engine/project/CScanOptions.h"
#include "engine/project/SystemUtil.h"
#include "fetch/CFileRefChecker.h"
#include "fetch/CHPSTable.h"
#include "fetch/CTaskManager.h"
#include "fetch/InternetErrors.h"
#include "fetch/ResultCodes.h"
#include "fetch/UrlCredentials.h"
#include "platform/core/SystemTime.h"
#include "platform/net/CInternetConnection.h"
#include "platform/net/CInternetException.h"
#include "platform/net/CInternetFile.h"
#include "platform/net/CInternetSession.h"

#include <cstring>
#include <ctime>

IMPLEMENT_DYNAMIC(CFtpRefChecker, CRefChecker)

namespace {

constexpr DWORD kFindFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_RAW_DATA | INTERNET_FLAG_NO_CACHE_WRITE;
static_assert(kFindFlags == 0xc4000000u);
constexpr DWORD kProxyOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_ASCII;
static_assert(kProxyOpenFlags == 0x84000001u);
constexpr LONG kFtpOneDay = 24 * 60 * 60;
constexpr UINT kProbeSize = 256;

bool IsFtpPageLinkKind(int nKind)
{
    return nKind == LINK_KIND_ANCHOR || nKind == LINK_KIND_PLAIN || nKind == LINK_KIND_SCRIPT
        || nKind == LINK_KIND_OTHER || nKind == LINK_KIND_FRAME;
}

// A search that "succeeds" with an error reply in hand found nothing: some servers answer a
// listing of a missing path with the error text as the listing.
bool LastReplyIsError()
{
    DWORD dwCode = 0;
    char text[1024] = {};
    DWORD dwLength = sizeof text - 1;
    if (!InternetGetLastResponseInfo(&dwCode, text, &dwLength))
        return false;
    text[std::min<DWORD>(dwLength, sizeof text - 1)] = '\0';
    return std::strstr(text, "550:") != nullptr || std::strstr(text, "error:") != nullptr;
}

// The last segment of a path ("a.html" of "docs/a.html").
CString LastSegment(const CString& strPath)
{
    const int nSlash = strPath.ReverseFind('/');
    return nSlash < 0 ? strPath : strPath.Mid(nSlash + 1);
}

} // namespace

CFtpRefChecker::CFtpRefChecker(CTaskManager* pTaskManager, ITaskManager* pSink, CHPSUP* pHpsup)
    : CRefChecker(pTaskManager, pSink, pHpsup),
      m_strHost(pHpsup->GetHost()->GetName()),
      // A URL carries its user name and password escaped; the server wants them as typed.
      m_strUser(DecodeUserInfo(pHpsup->GetUser())),
      m_strPassword(DecodeUserInfo(pHpsup->GetPassword())),
      m_nPort(static_cast<INTERNET_PORT>(pHpsup->GetHps()->GetPort()))
{
    if (pHpsup->GetUser() == nullptr && pHpsup->GetPassword() == nullptr)
        pTaskManager->GetFtpCredentials(m_strUser, m_strPassword);
}

CFtpRefChecker::~CFtpRefChecker()
{
    CloseFind();
    CloseFile();
    CloseConnection();
}

CString CFtpRefChecker::GetRequestPath(const CString& strUrlPath)
{
    CString strPath = strUrlPath;
    if (strPath.Left(1) == "/")
        strPath = strPath.Mid(1);
    if (strPath.Right(1) == "/")
        strPath = strPath.Left(strPath.GetLength() - 1);
    if (strPath.IsEmpty())
        strPath = ".";
    return strPath;
}

bool CFtpRefChecker::ListingTimeToSeconds1970(const FILETIME& ft, long long nNow, LONG& nSeconds)
{
    if (ft.dwLowDateTime == 0 && ft.dwHighDateTime == 0)
        return false;
    SYSTEMTIME st {};
    if (!FileTimeToSystemTime(&ft, &st) || !SystemTimeToSeconds1970(st, nSeconds))
        return false;
    if (static_cast<long long>(nSeconds) > nNow + kFtpOneDay) {
        st.wYear = static_cast<WORD>(st.wYear - 1);
        if (st.wMonth == 2 && st.wDay == 29)
            st.wDay = 28;
        if (!SystemTimeToSeconds1970(st, nSeconds))
            return false;
    }
    return true;
}

BOOL CFtpRefChecker::Check(CURLToCheck* pRecord)
{
    if (!CRefChecker::Check(pRecord))
        return FALSE;
    if (m_bStickyFailure) {
        // After a refused login no URL of the entry goes to the server again.
        ReportResultCode(m_dwStickyCode, m_strStickyInsert1.IsEmpty() ? nullptr : m_strStickyInsert1.GetString(),
            m_dwStickyInsert2);
        return FALSE;
    }
    m_strPath = GetRequestPath(pRecord->GetPath());
    m_bFetch = pRecord->GetFetch();
    return TRUE;
}

void CFtpRefChecker::CheckMore()
{
    if (m_pTaskManager->GetProxyFtpCern())
        CheckThroughProxy();
    else
        CheckDirect();
}

void CFtpRefChecker::Finish()
{
    CloseFind();
    CloseFile();
    CRefChecker::Finish();
}

void CFtpRefChecker::CloseFind()
{
    if (m_hFind != nullptr) {
        InternetCloseHandle(m_hFind);
        m_hFind = nullptr;
    }
}

void CFtpRefChecker::CloseFile()
{
    CloseAndReset(m_pFile);
}

void CFtpRefChecker::CloseConnection()
{
    CloseAndReset(m_pConnection);
}

bool CFtpRefChecker::FindPath(const CString& strPath, WIN32_FIND_DATA& data)
{
    CloseFind();
    m_hFind = FtpFindFirstFile(*m_pConnection, strPath, &data, kFindFlags, 1);
    if (m_hFind == nullptr)
        return false;
    if (LastReplyIsError()) {
        CloseFind();
        return false;
    }
    return true;
}

CFtpRefChecker::PageKind CFtpRefChecker::GetPageKind() const
{
    if (!m_bFetch || !IsFtpPageLinkKind(m_pRecord->GetLinkKind()))
        return PageKind::None;
    if (CFileRefChecker::IsHtmlFileName(m_strPath))
        return PageKind::Html;
    CString strName = LastSegment(m_strPath);
    strName.MakeLower();
    if (m_pTaskManager->GetScanOptions().GetCollectKeywords() && strName.Right(4) == ".txt")
        return PageKind::PlainText;
    return PageKind::None;
}

void CFtpRefChecker::ReadPage(PageKind kind)
{
    CTranslatingFile translated(m_pFile.get());
    StartKeywordExtraction();
    try {
        if (kind == PageKind::PlainText) {
            ReadPageForKeywords(&translated);
        } else {
            ResetKeywordExtraction();
            ParsePage(&translated);
        }
    } catch (...) {
        FinishKeywordExtraction(FALSE);
        throw;
    }
    FinishKeywordExtraction(TRUE);
}

void CFtpRefChecker::CheckDirect()
{
    ReportResultCode(RC_CHECKING);
    try {
        if (!m_pConnection) {
            CInternetSession* pSession = m_pTaskManager->GetSession();
            if (pSession == nullptr) {
                ReportResultCode(RC_UNKNOWN_PROBLEM);
                return;
            }
            m_pConnection.reset(pSession->GetFtpConnection(m_strHost, m_strUser.IsEmpty() ? nullptr : m_strUser.GetString(),
                m_strPassword.IsEmpty() ? nullptr : m_strPassword.GetString(), m_nPort,
                m_pTaskManager->GetConnectOptions().GetFtpPasvMode() != 0));
            m_pHpsup->GetHost()->SetReached();
        }
        // The connection serves every URL of the entry: each check gets what is left of its own
        // time.
        if (const DWORD dwTimeLeft = GetCheckTimeLeft(); dwTimeLeft != 0xFFFFFFFFu) {
            if (dwTimeLeft == 0)
                AfxThrowInternetException(1, ERROR_INTERNET_TRANSFER_TIME_LIMIT);
            m_pConnection->SetOption(INTERNET_OPTION_TRANSFER_TIME_LIMIT, dwTimeLeft);
        }

        bool bRootDiffers = false;
        WIN32_FIND_DATA data {};
        bool bFound = FindPath(m_strPath, data);
        if (!bFound && m_strPath != ".") {
            bFound = FindPath("/" + m_strPath, data);
            bRootDiffers = bFound;
        }
        const PageKind kind = GetPageKind();
        if (!bFound) {
            // Servers that list nothing for a single file may still hand it out.
            CString strOpened = "/" + m_strPath;
            try {
                m_pFile.reset(m_pConnection->OpenFile(strOpened, GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 1));
            } catch (CInternetException* e) {
                e->Delete();
                try {
                    m_pFile.reset(m_pConnection->OpenFile(m_strPath, GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 1));
                    bRootDiffers = true;
                } catch (CInternetException* e2) {
                    if (IsStopRequested())
                        ReportResultCode(RC_CANCELLED);
                    else
                        ReportResultCode(RC_FTP_NOT_FOUND, nullptr, e2->m_dwError);
                    e2->Delete();
                    CloseFile();
                    CloseConnection();
                    return;
                }
            }
            if (kind != PageKind::None) {
                ReadPage(kind);
            } else {
                char probe[kProbeSize];
                (void)m_pFile->Read(probe, kProbeSize);
            }
            ReportResultCode(bRootDiffers ? RC_FTP_ROOT_DIFFERS : RC_FTP_OK);
            CloseFile();
            // The transfer's data channel may leave the control connection in a state the next
            // search cannot use: start the next URL on a fresh login.
            CloseConnection();
            return;
        }

        // A listing of a folder shows what it holds, not the folder itself: only an entry that
        // bears the name asked for gives the size and date of what the URL names.
        const bool bNamed = m_strPath != "." && LastSegment(CString(data.cFileName)) == LastSegment(m_strPath);
        const bool bFile = bNamed && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        if (bFile) {
            const ULONGLONG nSize = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            if (nSize != 0)
                m_pSink->OnContentLength(GetPageId(), static_cast<DWORD>(nSize));
            LONG nTime = 0;
            if (ListingTimeToSeconds1970(data.ftLastWriteTime, static_cast<long long>(std::time(nullptr)), nTime))
                m_pSink->OnLastModified(GetPageId(), nTime);
        }
        CloseFind();
        if (bFile && kind != PageKind::None) {
            m_pFile.reset(m_pConnection->OpenFile(bRootDiffers ? "/" + m_strPath : m_strPath, GENERIC_READ,
                FTP_TRANSFER_TYPE_BINARY, 1));
            ReadPage(kind);
            CloseFile();
        }
        ReportResultCode(bRootDiffers ? RC_FTP_ROOT_DIFFERS : RC_FTP_OK);
        if (IsStopRequested())
            ReportResultCode(RC_CANCELLED);
    } catch (CException* e) {
        ReportException(RC_FTP_ERROR, e);
        e->Delete();
        CloseFind();
        CloseFile();
    } catch (...) {
        ReportResultCode(RC_UNKNOWN_PROBLEM);
        CloseFind();
        CloseFile();
    }
}

void CFtpRefChecker::CheckThroughProxy()
{
    ReportResultCode(RC_CHECKING);
    CInternetSession* pSession = m_pTaskManager->GetSession();
    if (pSession == nullptr) {
        ReportResultCode(RC_UNKNOWN_PROBLEM);
        return;
    }
    try {
        std::unique_ptr<CStdioFile> pFile(pSession->OpenURL(m_pRecord->GetFullUrl(), 1, kProxyOpenFlags));
        if (!pFile) {
            ReportResultCode(RC_FTP_NOT_FOUND);
            return;
        }
        m_pHpsup->GetHost()->SetReached();
        ReportResultCode(RC_FTP_OK);
        pFile->Close();
    } catch (CException* e) {
        ReportException(RC_FTP_ERROR, e);
        e->Delete();
    } catch (...) {
        ReportResultCode(RC_UNKNOWN_PROBLEM);
    }
}

void CFtpRefChecker::ReportException(DWORD dwDefaultCode, CException* pException)
{
    DWORD dwError = 0;
    if (!IsStopRequested() && GetInternetErrorNumber(pException, dwError)) {
        bool bSticky = true;
        CString strInsert1;
        switch (dwError) {
        case ERROR_INTERNET_EXTENDED_ERROR:
            if (m_pConnection) {
                bSticky = false;
                break;
            }
            m_dwStickyCode = RC_FTP_LOGIN_FAILURE;
            // The server's own words say why it refused; without them the message would end
            // in nothing.
            strInsert1 = GetExceptionMessageText(dwError, pException);
            break;
        case ERROR_INTERNET_NAME_NOT_RESOLVED:
            m_pHpsup->GetHost()->SetNotFound();
            m_dwStickyCode = RC_HOST_NOT_FOUND;
            break;
        case ERROR_INTERNET_INCORRECT_USER_NAME:
        case ERROR_INTERNET_INCORRECT_PASSWORD:
            m_dwStickyCode = RC_FTP_BAD_LOGIN;
            break;
        default:
            bSticky = false;
            break;
        }
        if (bSticky) {
            m_bStickyFailure = TRUE;
            m_strStickyInsert1 = strInsert1;
            m_dwStickyInsert2 = dwError;
            ReportResultCode(m_dwStickyCode, strInsert1.IsEmpty() ? nullptr : strInsert1.GetString(), dwError);
            return;
        }
    }
    CRefChecker::ReportException(dwDefaultCode, pException);
}
