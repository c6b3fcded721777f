// CInternetSession: one internet session (agent name, access type with proxy and bypass lists,
// options) from which HTTP and FTP connections are made and URLs opened.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/net/WinInet.h"

#include <atomic>

class CHttpConnection;
class CFtpConnection;
class CStdioFile;

class CInternetSession : public CObject {
    DECLARE_DYNAMIC(CInternetSession)
public:
    // Raises CInternetException when the session cannot be made (a proxy access type without a
    // proxy list, for one). The first session readies the transfer library.
    explicit CInternetSession(LPCTSTR pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                              DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG, LPCTSTR pstrProxyName = nullptr,
                              LPCTSTR pstrProxyBypass = nullptr, DWORD dwFlags = 0);
    ~CInternetSession() override;
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    BOOL SetOption(DWORD dwOption, DWORD dwValue, DWORD dwFlags = 0);
    BOOL SetOption(DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength, DWORD dwFlags = 0);
    BOOL QueryOption(DWORD dwOption, DWORD& dwValue) const;
    BOOL QueryOption(DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength) const;
    BOOL QueryOption(DWORD dwOption, CString& strValue) const;

    // Each raises CInternetException on failure; the caller owns the object returned.
    CHttpConnection* GetHttpConnection(LPCTSTR pstrServer, INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER,
                                       LPCTSTR pstrUserName = nullptr, LPCTSTR pstrPassword = nullptr);
    CHttpConnection* GetHttpConnection(LPCTSTR pstrServer, DWORD dwFlags, INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER,
                                       LPCTSTR pstrUserName = nullptr, LPCTSTR pstrPassword = nullptr);
    // Logs in at once: a refused login raises the exception here. No user name logs in
    // anonymously.
    CFtpConnection* GetFtpConnection(LPCTSTR pstrServer, LPCTSTR pstrUserName = nullptr, LPCTSTR pstrPassword = nullptr,
                                     INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER, BOOL bPassive = FALSE);
    // Opens an http, https or ftp URL (ftp through the session's proxy for it, when there is one)
    // and returns the file to read it from: a CHttpFile for HTTP (its status readable), a
    // CInternetFile for FTP. Null when the proxy could not find an ftp URL; any other failure
    // raises CInternetException.
    CStdioFile* OpenURL(LPCTSTR pstrURL, DWORD_PTR dwContext = 1, DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII,
                        LPCTSTR pstrHeaders = nullptr, DWORD dwHeadersLength = 0);

    // Closes the session: every blocking call on its connections and files, in any thread,
    // returns promptly with ERROR_INTERNET_OPERATION_CANCELLED. Callable from any thread.
    virtual void Close();

    DWORD_PTR GetContext() const { return m_dwContext; }
    // Null once closed. Callable from any thread.
    operator HINTERNET() const { return m_hSession.load(); }

private:
    HINTERNET CheckedHandle() const;

    std::atomic<HINTERNET> m_hSession{nullptr};
    DWORD_PTR m_dwContext;
};
