#include "platform/net/CInternetSession.h"

#include "platform/net/CInternetConnection.h"
#include "platform/net/CInternetException.h"
#include "platform/net/CInternetFile.h"
#include "platform/net/FtpHandles.h"
#include "platform/net/HttpRequestHandle.h"
#include "platform/net/InternetHandle.h"

#include <string>

using namespace vostrel::net;

IMPLEMENT_DYNAMIC(CInternetSession, CObject)

CInternetSession::CInternetSession(LPCTSTR pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType, LPCTSTR pstrProxyName,
                                   LPCTSTR pstrProxyBypass, DWORD dwFlags)
    : m_dwContext(dwContext)
{
    EnsureInitialized();
    if (dwAccessType != INTERNET_OPEN_TYPE_PRECONFIG && dwAccessType != INTERNET_OPEN_TYPE_DIRECT
        && dwAccessType != INTERNET_OPEN_TYPE_PROXY && dwAccessType != INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY)
        AfxThrowInternetException(dwContext, ERROR_INVALID_PARAMETER);
    if (dwAccessType == INTERNET_OPEN_TYPE_PROXY && (pstrProxyName == nullptr || *pstrProxyName == '\0'))
        AfxThrowInternetException(dwContext, ERROR_INVALID_PARAMETER);
    if ((dwFlags & INTERNET_FLAG_ASYNC) != 0)
        AfxThrowInternetException(dwContext, ERROR_NOT_SUPPORTED);
    auto session = std::make_shared<SessionHandle>(pstrAgent, dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags,
                                                   dwContext);
    m_hSession = RegisterHandle(session);
}

CInternetSession::~CInternetSession()
{
    Close();
}

void CInternetSession::Close()
{
    if (HINTERNET hSession = m_hSession.exchange(nullptr))
        InternetCloseHandle(hSession);
}

HINTERNET CInternetSession::CheckedHandle() const
{
    HINTERNET hSession = m_hSession.load();
    if (hSession == nullptr)
        AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    return hSession;
}

BOOL CInternetSession::SetOption(DWORD dwOption, DWORD dwValue, DWORD /*dwFlags*/)
{
    return InternetSetOption(m_hSession.load(), dwOption, &dwValue, sizeof dwValue);
}

BOOL CInternetSession::SetOption(DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength, DWORD /*dwFlags*/)
{
    return InternetSetOption(m_hSession.load(), dwOption, lpBuffer, dwBufferLength);
}

BOOL CInternetSession::QueryOption(DWORD dwOption, DWORD& dwValue) const
{
    DWORD dwLength = sizeof dwValue;
    return InternetQueryOption(m_hSession.load(), dwOption, &dwValue, &dwLength);
}

BOOL CInternetSession::QueryOption(DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength) const
{
    return InternetQueryOption(m_hSession.load(), dwOption, lpBuffer, lpdwBufferLength);
}

BOOL CInternetSession::QueryOption(DWORD dwOption, CString& strValue) const
{
    DWORD dwLength = 0;
    InternetQueryOption(m_hSession.load(), dwOption, nullptr, &dwLength);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return FALSE;
    CString value;
    LPTSTR buffer = value.GetBuffer(static_cast<int>(dwLength));
    const BOOL bOk = InternetQueryOption(m_hSession.load(), dwOption, buffer, &dwLength);
    value.ReleaseBuffer(bOk ? static_cast<int>(dwLength) : 0);
    if (bOk)
        strValue = value;
    return bOk;
}

CHttpConnection* CInternetSession::GetHttpConnection(LPCTSTR pstrServer, INTERNET_PORT nPort, LPCTSTR pstrUserName,
                                                     LPCTSTR pstrPassword)
{
    return GetHttpConnection(pstrServer, static_cast<DWORD>(0), nPort, pstrUserName, pstrPassword);
}

CHttpConnection* CInternetSession::GetHttpConnection(LPCTSTR pstrServer, DWORD dwFlags, INTERNET_PORT nPort,
                                                     LPCTSTR pstrUserName, LPCTSTR pstrPassword)
{
    HINTERNET hConnect = ConnectHttp(CheckedHandle(), pstrServer, nPort, pstrUserName, pstrPassword, dwFlags, m_dwContext);
    if (hConnect == nullptr)
        AfxThrowInternetException(m_dwContext);
    return new CHttpConnection(this, hConnect, pstrServer, nPort, m_dwContext);
}

CFtpConnection* CInternetSession::GetFtpConnection(LPCTSTR pstrServer, LPCTSTR pstrUserName, LPCTSTR pstrPassword,
                                                   INTERNET_PORT nPort, BOOL bPassive)
{
    std::string detail;
    HINTERNET hConnect = ConnectFtp(CheckedHandle(), pstrServer, nPort, pstrUserName, pstrPassword,
                                    bPassive ? INTERNET_FLAG_PASSIVE : 0u, m_dwContext, &detail);
    if (hConnect == nullptr)
        AfxThrowInternetException(m_dwContext, GetLastError(), detail.c_str());
    return new CFtpConnection(this, hConnect, pstrServer, nPort == 0 ? INTERNET_DEFAULT_FTP_PORT : nPort, m_dwContext);
}

CStdioFile* CInternetSession::OpenURL(LPCTSTR pstrURL, DWORD_PTR dwContext, DWORD dwFlags, LPCTSTR pstrHeaders,
                                      DWORD dwHeadersLength)
{
    std::string detail;
    HINTERNET hFile = OpenUrlHandle(CheckedHandle(), pstrURL, pstrHeaders, dwHeadersLength, dwFlags, dwContext, &detail);
    if (hFile == nullptr) {
        const DWORD dwError = GetLastError();
        if (dwError == ERROR_INTERNET_ITEM_NOT_FOUND)
            return nullptr;
        AfxThrowInternetException(dwContext, dwError, detail.c_str());
    }
    if (auto request = LookupHandleAs<HttpRequestHandle>(hFile))
        return new CHttpFile(hFile, request->Verb().c_str(), request->Object().c_str(), nullptr, dwContext);
    return new CInternetFile(hFile, pstrURL, nullptr, dwContext);
}
