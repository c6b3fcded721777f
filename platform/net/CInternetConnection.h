// CInternetConnection and its kinds: CHttpConnection opens requests on one HTTP server,
// CFtpConnection opens files on one FTP server it is logged in to.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/net/WinInet.h"

#include <atomic>

class CInternetSession;
class CHttpFile;
class CInternetFile;

#define HTTP_VERB_POST 0
#define HTTP_VERB_GET 1
#define HTTP_VERB_HEAD 2
#define HTTP_VERB_PUT 3
#define HTTP_VERB_LINK 4
#define HTTP_VERB_DELETE 5
#define HTTP_VERB_UNLINK 6

class CInternetConnection : public CObject {
    DECLARE_DYNAMIC(CInternetConnection)
public:
    ~CInternetConnection() override;
    CInternetConnection(const CInternetConnection&) = delete;
    CInternetConnection& operator=(const CInternetConnection&) = delete;

    BOOL SetOption(DWORD dwOption, DWORD dwValue, DWORD dwFlags = 0);
    BOOL SetOption(DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength, DWORD dwFlags = 0);
    BOOL QueryOption(DWORD dwOption, DWORD& dwValue) const;
    BOOL QueryOption(DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength) const;

    // Closes the connection: blocking calls on its files return promptly with an error.
    // Callable from any thread.
    virtual void Close();

    CInternetSession* GetSession() const { return m_pSession; }
    CString GetServerName() const { return m_strServerName; }
    DWORD_PTR GetContext() const { return m_dwContext; }
    operator HINTERNET() const { return m_hConnection.load(); }

protected:
    CInternetConnection(CInternetSession* pSession, HINTERNET hConnection, LPCTSTR pstrServer, INTERNET_PORT nPort,
                        DWORD_PTR dwContext);
    HINTERNET CheckedHandle() const;

    std::atomic<HINTERNET> m_hConnection;
    CInternetSession* m_pSession;
    CString m_strServerName;
    INTERNET_PORT m_nPort;
    DWORD_PTR m_dwContext;
};

class CHttpConnection : public CInternetConnection {
    DECLARE_DYNAMIC(CHttpConnection)
public:
    // Takes over an open connection handle (CInternetSession::GetHttpConnection makes these).
    CHttpConnection(CInternetSession* pSession, HINTERNET hConnection, LPCTSTR pstrServer, INTERNET_PORT nPort,
                    DWORD_PTR dwContext);

    // Makes a request; nothing is sent before CHttpFile::SendRequest. The accept types end with
    // a null. Raises CInternetException on failure; the caller owns the file.
    CHttpFile* OpenRequest(LPCTSTR pstrVerb, LPCTSTR pstrObjectName, LPCTSTR pstrReferer = nullptr,
                           DWORD_PTR dwContext = 1, LPCTSTR* ppstrAcceptTypes = nullptr, LPCTSTR pstrVersion = nullptr,
                           DWORD dwFlags = INTERNET_FLAG_EXISTING_CONNECT);
    CHttpFile* OpenRequest(int nVerb, LPCTSTR pstrObjectName, LPCTSTR pstrReferer = nullptr, DWORD_PTR dwContext = 1,
                           LPCTSTR* ppstrAcceptTypes = nullptr, LPCTSTR pstrVersion = nullptr,
                           DWORD dwFlags = INTERNET_FLAG_EXISTING_CONNECT);
};

class CFtpConnection : public CInternetConnection {
    DECLARE_DYNAMIC(CFtpConnection)
public:
    CFtpConnection(CInternetSession* pSession, HINTERNET hConnection, LPCTSTR pstrServer, INTERNET_PORT nPort,
                   DWORD_PTR dwContext);

    // Opens a file for reading (GENERIC_READ only); the path goes to the server as given,
    // relative to the login directory unless it begins with "/". Raises CInternetException
    // when the server refuses; the caller owns the file.
    CInternetFile* OpenFile(LPCTSTR pstrFileName, DWORD dwAccess = GENERIC_READ,
                            DWORD dwFlags = FTP_TRANSFER_TYPE_BINARY, DWORD_PTR dwContext = 1);
};
