#include "platform/net/CInternetFile.h"

#include "platform/net/CInternetConnection.h"
#include "platform/net/CInternetException.h"
#include "platform/net/FtpHandles.h"
#include "platform/net/HttpRequestHandle.h"

#include <cstring>
#include <string>

using namespace vostrel::net;

IMPLEMENT_DYNAMIC(CInternetFile, CStdioFile)
IMPLEMENT_DYNAMIC(CHttpFile, CInternetFile)

CInternetFile::CInternetFile(HINTERNET hFile, LPCTSTR pstrFileName, CInternetConnection* pConnection, DWORD_PTR dwContext)
    : m_hInternet(hFile), m_pConnection(pConnection), m_dwContext(dwContext)
{
    m_strFileName = pstrFileName;
}

CInternetFile::~CInternetFile()
{
    Abort();
}

HINTERNET CInternetFile::CheckedHandle() const
{
    HINTERNET hFile = m_hInternet.load();
    if (hFile == nullptr)
        AfxThrowInternetException(m_dwContext, ERROR_INVALID_HANDLE);
    return hFile;
}

UINT CInternetFile::Read(void* lpBuf, UINT nCount)
{
    HINTERNET hFile = CheckedHandle();
    auto handle = LookupHandle(hFile);
    DWORD dwRead = 0;
    BOOL bOk = FALSE;
    std::string detail;
    if (auto request = std::dynamic_pointer_cast<HttpRequestHandle>(handle)) {
        bOk = request->Read(lpBuf, nCount, &dwRead);
        detail = request->Detail();
    } else if (auto file = std::dynamic_pointer_cast<FtpFileHandle>(handle)) {
        bOk = file->Read(lpBuf, nCount, &dwRead);
        detail = file->Detail();
    } else {
        // Closed by another thread since the check above.
        SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
    }
    if (!bOk)
        AfxThrowInternetException(m_dwContext, GetLastError(), detail.empty() ? nullptr : detail.c_str());
    m_nPosition += dwRead;
    return dwRead;
}

BOOL CInternetFile::ReadString(CString& rString)
{
    rString.Empty();
    std::string line;
    char c;
    UINT n = 0;
    while ((n = Read(&c, 1)) == 1 && c != '\n')
        line += c;
    if (n == 0 && line.empty())
        return FALSE;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    rString = CString(line.data(), static_cast<int>(line.size()));
    return TRUE;
}

LPTSTR CInternetFile::ReadString(LPTSTR lpsz, UINT nMax)
{
    if (lpsz == nullptr || nMax == 0)
        return nullptr;
    UINT nUsed = 0;
    char c;
    while (nUsed + 1 < nMax && Read(&c, 1) == 1) {
        lpsz[nUsed++] = c;
        if (c == '\n')
            break;
    }
    lpsz[nUsed] = '\0';
    return nUsed == 0 ? nullptr : lpsz;
}

ULONGLONG CInternetFile::GetLength() const
{
    HINTERNET hFile = CheckedHandle();
    auto handle = LookupHandle(hFile);
    DWORD dwAvailable = 0;
    BOOL bOk = FALSE;
    if (auto request = std::dynamic_pointer_cast<HttpRequestHandle>(handle))
        bOk = request->QueryDataAvailable(&dwAvailable);
    else if (auto file = std::dynamic_pointer_cast<FtpFileHandle>(handle))
        bOk = file->QueryDataAvailable(&dwAvailable);
    else
        SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
    if (!bOk)
        AfxThrowInternetException(m_dwContext);
    return dwAvailable;
}

void CInternetFile::Write(const void*, UINT)
{
    AfxThrowNotSupportedException();
}

void CInternetFile::WriteString(LPCTSTR)
{
    AfxThrowNotSupportedException();
}

ULONGLONG CInternetFile::Seek(LONGLONG, UINT)
{
    AfxThrowNotSupportedException();
}

void CInternetFile::SetLength(ULONGLONG)
{
    AfxThrowNotSupportedException();
}

ULONGLONG CInternetFile::GetPosition() const
{
    return m_nPosition;
}

void CInternetFile::Flush() {}

void CInternetFile::Close()
{
    if (HINTERNET hFile = m_hInternet.exchange(nullptr))
        InternetCloseHandle(hFile);
}

void CInternetFile::Abort()
{
    Close();
}

BOOL CInternetFile::SetReadBufferSize(UINT nReadSize)
{
    m_nReadBufferSize = nReadSize;
    return TRUE;
}

BOOL CInternetFile::SetOption(DWORD dwOption, DWORD dwValue, DWORD /*dwFlags*/)
{
    return InternetSetOption(m_hInternet.load(), dwOption, &dwValue, sizeof dwValue);
}

BOOL CInternetFile::SetOption(DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength, DWORD /*dwFlags*/)
{
    return InternetSetOption(m_hInternet.load(), dwOption, lpBuffer, dwBufferLength);
}

BOOL CInternetFile::QueryOption(DWORD dwOption, DWORD& dwValue) const
{
    DWORD dwLength = sizeof dwValue;
    return InternetQueryOption(m_hInternet.load(), dwOption, &dwValue, &dwLength);
}

BOOL CInternetFile::QueryOption(DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength) const
{
    return InternetQueryOption(m_hInternet.load(), dwOption, lpBuffer, lpdwBufferLength);
}

// ---- CHttpFile ----

CHttpFile::CHttpFile(HINTERNET hRequest, LPCTSTR pstrVerb, LPCTSTR pstrObject, CHttpConnection* pConnection,
                     DWORD_PTR dwContext)
    : CInternetFile(hRequest, pstrObject, pConnection, dwContext), m_strVerb(pstrVerb), m_strObject(pstrObject)
{
}

BOOL CHttpFile::AddRequestHeaders(LPCTSTR pstrHeaders, DWORD dwModifiers, int dwHeadersLen)
{
    auto request = LookupHandleAs<HttpRequestHandle>(m_hInternet.load());
    if (request == nullptr || pstrHeaders == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const size_t nLength = dwHeadersLen < 0 ? std::strlen(pstrHeaders) : static_cast<size_t>(dwHeadersLen);
    return request->AddHeaders(pstrHeaders, nLength, dwModifiers);
}

BOOL CHttpFile::AddRequestHeaders(CString& str, DWORD dwModifiers)
{
    return AddRequestHeaders(str, dwModifiers, str.GetLength());
}

BOOL CHttpFile::SendRequest(LPCTSTR pstrHeaders, DWORD dwHeadersLen, LPVOID lpOptional, DWORD dwOptionalLen)
{
    auto request = LookupHandleAs<HttpRequestHandle>(CheckedHandle());
    if (request == nullptr)
        AfxThrowInternetException(m_dwContext, ERROR_INTERNET_OPERATION_CANCELLED);
    const size_t nHeaders = pstrHeaders == nullptr ? 0 : (dwHeadersLen == 0 ? std::strlen(pstrHeaders) : dwHeadersLen);
    if (!request->Send(pstrHeaders, nHeaders, lpOptional, dwOptionalLen)) {
        const std::string detail = request->Detail();
        AfxThrowInternetException(m_dwContext, GetLastError(), detail.empty() ? nullptr : detail.c_str());
    }
    m_nPosition = 0;
    return TRUE;
}

BOOL CHttpFile::SendRequest(CString& strHeaders, LPVOID lpOptional, DWORD dwOptionalLen)
{
    return SendRequest(strHeaders, static_cast<DWORD>(strHeaders.GetLength()), lpOptional, dwOptionalLen);
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, LPVOID lpvBuffer, LPDWORD lpdwBufferLength, LPDWORD lpdwIndex) const
{
    return HttpQueryInfo(m_hInternet.load(), dwInfoLevel, lpvBuffer, lpdwBufferLength, lpdwIndex);
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, CString& str, LPDWORD dwIndex) const
{
    dwInfoLevel &= ~(HTTP_QUERY_FLAG_NUMBER | HTTP_QUERY_FLAG_SYSTEMTIME);
    // A custom header's name goes in through the buffer, so it is asked with room to spare.
    DWORD dwLength = 1024;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string buffer(dwLength + 1, '\0');
        if ((dwInfoLevel & HTTP_QUERY_HEADER_MASK) == HTTP_QUERY_CUSTOM)
            std::strncpy(buffer.data(), str, buffer.size() - 1);
        DWORD dwIn = dwLength;
        if (HttpQueryInfo(m_hInternet.load(), dwInfoLevel, buffer.data(), &dwIn, dwIndex)) {
            str = CString(buffer.data(), static_cast<int>(dwIn));
            return TRUE;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        dwLength = dwIn;
    }
    if ((dwInfoLevel & HTTP_QUERY_HEADER_MASK) != HTTP_QUERY_CUSTOM)
        str.Empty();
    return FALSE;
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, SYSTEMTIME* pSysTime, LPDWORD dwIndex) const
{
    DWORD dwLength = sizeof(SYSTEMTIME);
    return HttpQueryInfo(m_hInternet.load(), (dwInfoLevel & ~HTTP_QUERY_FLAG_NUMBER) | HTTP_QUERY_FLAG_SYSTEMTIME,
                         pSysTime, &dwLength, dwIndex);
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, DWORD& dwResult, LPDWORD dwIndex) const
{
    DWORD dwLength = sizeof(DWORD);
    return HttpQueryInfo(m_hInternet.load(), (dwInfoLevel & ~HTTP_QUERY_FLAG_SYSTEMTIME) | HTTP_QUERY_FLAG_NUMBER,
                         &dwResult, &dwLength, dwIndex);
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const
{
    return QueryInfo(HTTP_QUERY_STATUS_CODE, dwStatusCode);
}

CString CHttpFile::GetFileURL() const
{
    auto request = LookupHandleAs<HttpRequestHandle>(m_hInternet.load());
    return request != nullptr ? CString(request->Url().c_str()) : CString();
}
