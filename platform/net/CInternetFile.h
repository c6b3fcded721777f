// CInternetFile: a file received over the internet, read forward only; CHttpFile: an HTTP
// request whose reply is read as such a file, with its headers and status.
#pragma once

#include "platform/core/CStdioFile.h"
#include "platform/core/CString.h"
#include "platform/core/SystemTime.h"
#include "platform/net/WinInet.h"

#include <atomic>

class CInternetConnection;
class CHttpConnection;

class CInternetFile : public CStdioFile {
    DECLARE_DYNAMIC(CInternetFile)
public:
    // Takes over an open file or request handle.
    CInternetFile(HINTERNET hFile, LPCTSTR pstrFileName, CInternetConnection* pConnection, DWORD_PTR dwContext);
    ~CInternetFile() override;

    // Reads up to nCount bytes, waiting for them; fewer only at the end. Raises
    // CInternetException on failure (ERROR_INTERNET_TIMEOUT when the server stays silent past
    // the receive time-out, ERROR_INTERNET_OPERATION_CANCELLED when the handle, its connection
    // or its session is closed meanwhile).
    UINT Read(void* lpBuf, UINT nCount) override;
    // Reads a line (without its "\n"); FALSE at the end.
    BOOL ReadString(CString& rString) override;
    LPTSTR ReadString(LPTSTR lpsz, UINT nMax) override;
    // The bytes that can be read without waiting for more.
    ULONGLONG GetLength() const override;
    // Internet files are read forward only: each of these raises CNotSupportedException.
    void Write(const void* lpBuf, UINT nCount) override;
    void WriteString(LPCTSTR lpsz) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    void SetLength(ULONGLONG dwNewLen) override;
    ULONGLONG GetPosition() const override;
    void Flush() override;
    // Closes the handle. Callable from any thread: a read in progress returns with an error.
    void Close() override;
    void Abort() override;

    // Kept for callers that size their reads; reads are buffered by the layer anyway.
    BOOL SetReadBufferSize(UINT nReadSize);

    BOOL SetOption(DWORD dwOption, DWORD dwValue, DWORD dwFlags = 0);
    BOOL SetOption(DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength, DWORD dwFlags = 0);
    BOOL QueryOption(DWORD dwOption, DWORD& dwValue) const;
    BOOL QueryOption(DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength) const;

    DWORD_PTR GetContext() const { return m_dwContext; }
    operator HINTERNET() const { return m_hInternet.load(); }

protected:
    HINTERNET CheckedHandle() const;

    std::atomic<HINTERNET> m_hInternet;
    CInternetConnection* m_pConnection;
    DWORD_PTR m_dwContext;
    UINT m_nReadBufferSize = 4096;
    ULONGLONG m_nPosition = 0;
};

class CHttpFile : public CInternetFile {
    DECLARE_DYNAMIC(CHttpFile)
public:
    CHttpFile(HINTERNET hRequest, LPCTSTR pstrVerb, LPCTSTR pstrObject, CHttpConnection* pConnection,
              DWORD_PTR dwContext);

    // Adds header lines ("Name: value", several separated by "\r\n"). dwModifiers:
    // HTTP_ADDREQ_FLAG_ADD (default), ..._ADD_IF_NEW, ..._REPLACE (an empty value removes).
    BOOL AddRequestHeaders(LPCTSTR pstrHeaders, DWORD dwModifiers = 0x20000000u, int dwHeadersLen = -1);
    BOOL AddRequestHeaders(CString& str, DWORD dwModifiers = 0x20000000u);

    // Sends the request, with extra header lines and a body when given, and waits for the reply
    // headers; it may be sent again (after new credentials, say). Raises CInternetException on
    // failure; a reply with any status is success.
    BOOL SendRequest(LPCTSTR pstrHeaders = nullptr, DWORD dwHeadersLen = 0, LPVOID lpOptional = nullptr,
                     DWORD dwOptionalLen = 0);
    BOOL SendRequest(CString& strHeaders, LPVOID lpOptional = nullptr, DWORD dwOptionalLen = 0);

    // Reply (or, with HTTP_QUERY_FLAG_REQUEST_HEADERS, request) headers; FALSE with the last
    // error (ERROR_HTTP_HEADER_NOT_FOUND and so on) when there is none.
    BOOL QueryInfo(DWORD dwInfoLevel, LPVOID lpvBuffer, LPDWORD lpdwBufferLength, LPDWORD lpdwIndex = nullptr) const;
    BOOL QueryInfo(DWORD dwInfoLevel, CString& str, LPDWORD dwIndex = nullptr) const;
    // With HTTP_QUERY_FLAG_SYSTEMTIME added to the level by the caller or not.
    BOOL QueryInfo(DWORD dwInfoLevel, SYSTEMTIME* pSysTime, LPDWORD dwIndex = nullptr) const;
    // With HTTP_QUERY_FLAG_NUMBER added to the level by the caller or not.
    BOOL QueryInfo(DWORD dwInfoLevel, DWORD& dwResult, LPDWORD dwIndex = nullptr) const;
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;

    CString GetVerb() const { return m_strVerb; }
    CString GetObject() const { return m_strObject; }
    // The URL requested; after a followed redirect, the URL that answered.
    CString GetFileURL() const;

private:
    CString m_strVerb;
    CString m_strObject;
};
