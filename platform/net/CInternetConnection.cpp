#include "platform/net/CInternetConnection.h"

#include "platform/net/CInternetException.h"
#include "platform/net/CInternetFile.h"
#include "platform/net/FtpHandles.h"
#include "platform/net/HttpRequestHandle.h"

#include <string>

using namespace vostrel::net;

IMPLEMENT_DYNAMIC(CInternetConnection, CObject)
IMPLEMENT_DYNAMIC(CHttpConnection, CInternetConnection)
IMPLEMENT_DYNAMIC(CFtpConnection, CInternetConnection)

CInternetConnection::CInternetConnection(CInternetSession* pSession, HINTERNET hConnection, LPCTSTR pstrServer,
                                         INTERNET_PORT nPort, DWORD_PTR dwContext)
    : m_hConnection(hConnection), m_pSession(pSession), m_strServerName(pstrServer), m_nPort(nPort), m_dwContext(dwContext)
{
}

CInternetConnection::~CInternetConnection()
{
    Close();
}

void CInternetConnection::Close()
{
    if (HINTERNET hConnection = m_hConnection.exchange(nullptr))
        InternetCloseHandle(hConnection);
}

HINTERNET CInternetConnection::CheckedHandle() const
{
    HINTERNET hConnection = m_hConnection.load();
    if (hConnection == nullptr)
        AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    return hConnection;
}

BOOL CInternetConnection::SetOption(DWORD dwOption, DWORD dwValue, DWORD /*dwFlags*/)
{
    return InternetSetOption(m_hConnection.load(), dwOption, &dwValue, sizeof dwValue);
}

BOOL CInternetConnection::SetOption(DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength, DWORD /*dwFlags*/)
{
    return InternetSetOption(m_hConnection.load(), dwOption, lpBuffer, dwBufferLength);
}

BOOL CInternetConnection::QueryOption(DWORD dwOption, DWORD& dwValue) const
{
    DWORD dwLength = sizeof dwValue;
    return InternetQueryOption(m_hConnection.load(), dwOption, &dwValue, &dwLength);
}

BOOL CInternetConnection::QueryOption(DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength) const
{
    return InternetQueryOption(m_hConnection.load(), dwOption, lpBuffer, lpdwBufferLength);
}

CHttpConnection::CHttpConnection(CInternetSession* pSession, HINTERNET hConnection, LPCTSTR pstrServer,
                                 INTERNET_PORT nPort, DWORD_PTR dwContext)
    : CInternetConnection(pSession, hConnection, pstrServer, nPort, dwContext)
{
}

CHttpFile* CHttpConnection::OpenRequest(LPCTSTR pstrVerb, LPCTSTR pstrObjectName, LPCTSTR pstrReferer,
                                        DWORD_PTR dwContext, LPCTSTR* ppstrAcceptTypes, LPCTSTR pstrVersion,
                                        DWORD dwFlags)
{
    HINTERNET hRequest = OpenHttpRequest(CheckedHandle(), pstrVerb, pstrObjectName, pstrVersion, pstrReferer,
                                         ppstrAcceptTypes, dwFlags, dwContext);
    if (hRequest == nullptr)
        AfxThrowInternetException(dwContext);
    return new CHttpFile(hRequest, pstrVerb != nullptr && *pstrVerb != '\0' ? pstrVerb : "GET",
                         pstrObjectName != nullptr ? pstrObjectName : "/", this, dwContext);
}

CHttpFile* CHttpConnection::OpenRequest(int nVerb, LPCTSTR pstrObjectName, LPCTSTR pstrReferer, DWORD_PTR dwContext,
                                        LPCTSTR* ppstrAcceptTypes, LPCTSTR pstrVersion, DWORD dwFlags)
{
    static const char* const kVerbs[] = {"POST", "GET", "HEAD", "PUT", "LINK", "DELETE", "UNLINK"};
    if (nVerb < HTTP_VERB_POST || nVerb > HTTP_VERB_UNLINK)
        AfxThrowInternetException(dwContext, ERROR_INVALID_PARAMETER);
    return OpenRequest(kVerbs[nVerb], pstrObjectName, pstrReferer, dwContext, ppstrAcceptTypes, pstrVersion, dwFlags);
}

CFtpConnection::CFtpConnection(CInternetSession* pSession, HINTERNET hConnection, LPCTSTR pstrServer,
                               INTERNET_PORT nPort, DWORD_PTR dwContext)
    : CInternetConnection(pSession, hConnection, pstrServer, nPort, dwContext)
{
}

CInternetFile* CFtpConnection::OpenFile(LPCTSTR pstrFileName, DWORD dwAccess, DWORD dwFlags, DWORD_PTR dwContext)
{
    std::string detail;
    HINTERNET hFile = OpenFtpFile(CheckedHandle(), pstrFileName, dwAccess, dwFlags, dwContext, &detail);
    if (hFile == nullptr)
        AfxThrowInternetException(dwContext, GetLastError(), detail.c_str());
    return new CInternetFile(hFile, pstrFileName, this, dwContext);
}
