// InternetHandle: the reference-counted objects behind HINTERNET handles (session, connection,
// request, FTP search and file), the process-wide table that turns handles into objects, the
// options that a handle inherits from the handle it was made from, and Transfer, one abortable
// transfer of the transfer library driven from the calling thread. Internal to the layer.
#pragma once

#include "platform/core/ErrorGuard.h"
#include "platform/net/WinInet.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vostrel::net {

enum class HandleKind { Session, FtpConnection, HttpConnection, HttpRequest, FtpFind, FtpFile };

// Option values set on one handle; an unset value is taken from the parent handle.
struct OptionValues {
    std::optional<DWORD> connectTimeout;
    std::optional<DWORD> connectRetries;
    std::optional<DWORD> sendTimeout;
    std::optional<DWORD> receiveTimeout;
    std::optional<DWORD> dataSendTimeout;
    std::optional<DWORD> dataReceiveTimeout;
    std::optional<DWORD> transferTimeLimit;
    std::optional<DWORD> transferSizeLimit;
    std::optional<std::string> userName;
    std::optional<std::string> password;
    std::optional<std::string> proxyUserName;
    std::optional<std::string> proxyPassword;
};

// Defaults of the time-outs, in milliseconds.
inline constexpr DWORD kDefaultConnectTimeout = 60000;
inline constexpr DWORD kDefaultReceiveTimeout = 30000;
// The connection limits the registry would give; its machine values are absent here.
inline constexpr DWORD kMaxConnectionsPerServer = 2;
inline constexpr DWORD kMaxConnectionsPer1_0Server = 4;

class InternetHandle : public std::enable_shared_from_this<InternetHandle> {
public:
    InternetHandle(HandleKind kind, std::shared_ptr<InternetHandle> parent, DWORD_PTR context);
    virtual ~InternetHandle() = default;
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HandleKind Kind() const { return m_kind; }
    InternetHandle* Parent() const { return m_pParent.get(); }
    DWORD_PTR Context() const { return m_dwContext; }

    // Marks the handle closed and wakes every blocking wait on it and on its descendants.
    // Callable from any thread.
    void Abort();
    // True when this handle or one it was made from has been closed. Callable from any thread.
    bool IsAborted() const;
    // Wakes a blocking wait of this handle; the default has none. Callable from any thread.
    virtual void Wake() {}

    void AddChild(const std::shared_ptr<InternetHandle>& child);

    // The value set here or on the nearest parent that sets it.
    DWORD ResolveDword(std::optional<DWORD> OptionValues::*member, DWORD dwDefault) const;
    std::optional<std::string> ResolveString(std::optional<std::string> OptionValues::*member) const;

    // The options common to every handle (time-outs, retries, credentials); derived handles
    // add theirs first. FALSE with the last error set on failure.
    virtual BOOL SetOption(DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength);
    virtual BOOL QueryOption(DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength);

protected:
    std::mutex m_optionMutex;
    OptionValues m_options;

private:
    void WakeTree();

    const HandleKind m_kind;
    const std::shared_ptr<InternetHandle> m_pParent;
    const DWORD_PTR m_dwContext;
    std::atomic<bool> m_bClosed{false};
    std::mutex m_childMutex;
    std::vector<std::weak_ptr<InternetHandle>> m_children;
};

// The handle table. Registering gives the HINTERNET; looking up gives a reference that keeps the
// object alive for the call even when another thread closes the handle meanwhile.
HINTERNET RegisterHandle(const std::shared_ptr<InternetHandle>& handle);
std::shared_ptr<InternetHandle> LookupHandle(HINTERNET hInternet);
// Removes the handle from the table and aborts it; false when it was not open.
bool CloseHandle(HINTERNET hInternet);

template <class T>
std::shared_ptr<T> LookupHandleAs(HINTERNET hInternet)
{
    return std::dynamic_pointer_cast<T>(LookupHandle(hInternet));
}

// Readies the transfer library and registers its version as the platform's internet library,
// once per process. Callable from any thread.
void EnsureInitialized();

// Copies a DWORD or a NUL-terminated text into an option or query buffer, setting the last
// error when it does not fit.
BOOL CopyDwordOut(DWORD dwValue, LPVOID lpBuffer, LPDWORD lpdwBufferLength);
BOOL CopyTextOut(const std::string& text, LPVOID lpBuffer, LPDWORD lpdwBufferLength);

class SessionHandle : public InternetHandle {
public:
    SessionHandle(LPCSTR lpszAgent, DWORD dwAccessType, LPCSTR lpszProxy, LPCSTR lpszProxyBypass,
                  DWORD dwFlags, DWORD_PTR dwContext);

    const std::string& Agent() const { return m_strAgent; }
    // The access type in force: PRECONFIG takes the process's proxy settings (the proxy
    // variables of the environment).
    DWORD EffectiveAccessType() const;
    // The proxy URL for a request of the scheme to the host: empty for a direct request. A
    // proxy that speaks FTP itself comes as its "ftp://" address, which no request can use.
    std::string ProxyFor(const std::string& scheme, const std::string& host) const;
    // Why a request of the scheme to the host may not be made, empty when it may: the proxy
    // named for it speaks FTP itself, which the transfer library cannot, or it is an HTTP proxy
    // and an FTP connection (not a whole URL) is asked for. The request then fails with this
    // text rather than going round the proxy.
    std::string ProxyRefusal(const std::string& scheme, const std::string& host, bool bFtpConnection) const;

    BOOL SetOption(DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength) override;
    BOOL QueryOption(DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength) override;

private:
    bool Bypassed(const std::string& host) const;

    std::string m_strAgent;
    DWORD m_dwAccessType;
    std::string m_strProxy;
    std::string m_strBypass;
};

// Writes an INTERNET_PROXY_INFO with its texts into a caller's buffer.
BOOL CopyProxyInfoOut(DWORD dwAccessType, const std::string& proxy, const std::string& bypass,
                      LPVOID lpBuffer, LPDWORD lpdwBufferLength);
// The process-wide access type: a proxy when the environment names one, else direct.
DWORD EnvironmentAccessType();

class Transfer;

// A connection to one server: the transfer library's connection cache (so requests reuse the
// connection) and the wait that a close from another thread interrupts.
class ConnectionHandle : public InternetHandle {
public:
    ConnectionHandle(HandleKind kind, const std::shared_ptr<SessionHandle>& session, std::string server,
                     INTERNET_PORT nPort, DWORD dwFlags, DWORD_PTR dwContext);
    ~ConnectionHandle() override;

    SessionHandle& Session() const { return static_cast<SessionHandle&>(*Parent()); }
    const std::string& Server() const { return m_strServer; }
    INTERNET_PORT Port() const { return m_nPort; }
    DWORD Flags() const { return m_dwFlags; }
    CURLM* Multi() const { return m_pMulti; }

    // The server as it stands in a URL (an IPv6 address in brackets).
    std::string UrlHost() const;

    void Wake() override;

    // FTP: the directory the login put us in, and the current one (absolute paths).
    std::string m_strCurrentDirectory;

private:
    const std::string m_strServer;
    const INTERNET_PORT m_nPort;
    const DWORD m_dwFlags;
    CURLM* m_pMulti;
};

// One transfer on a connection, driven by Pump from the thread that owns it. Reply headers and
// body are buffered; the body buffer is bounded by pausing the transfer.
class Transfer {
public:
    Transfer(InternetHandle& owner, ConnectionHandle& connection);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    CURL* Easy() const { return m_pEasy; }

    // Sets the time-outs and the limits from the owner's options and adds the transfer to the
    // connection.
    void Start(DWORD dwInactivityTimeout, DWORD dwConnectTimeout);
    // Takes the transfer off the connection (aborting it when it still runs).
    void Stop();

    // Drives the connection until ready() holds or the transfer ends. Returns 0, or the error
    // number of a failure (time-out, abort, or the transfer's own result).
    DWORD Pump(const std::function<bool()>& ready);
    // Until the reply headers are complete.
    DWORD PumpHeaders();

    bool Done() const { return m_bDone; }
    bool HeadersComplete() const { return m_bHeadersComplete; }
    size_t Available() const { return m_body.size() - m_nBodyRead; }
    // Moves up to nCount buffered body bytes to the caller.
    size_t Take(void* lpBuffer, size_t nCount);
    // Waits until dwCount body bytes are buffered or the transfer ends, then moves them to the
    // caller. FALSE with the last error set on failure; strDetail then gets the error detail.
    BOOL ReadBody(void* lpBuffer, DWORD dwCount, LPDWORD lpdwRead, std::string& strDetail);
    // Waits until a body byte is buffered or the transfer ends, then gives the count buffered.
    // FALSE with the last error set on failure.
    BOOL QueryAvailable(LPDWORD lpdwAvailable);

    // The lines of the final reply header block (status line first, no line ends).
    const std::vector<std::string>& HeaderLines() const { return m_headerLines; }
    // The request headers as sent, CRLF form, ending with an empty line.
    const std::string& SentHeaders() const { return m_sentHeaders; }
    // The error detail of the last failure.
    const std::string& Detail() const { return m_strDetail; }

    // A certificate's validity dates are not checked for this transfer; everything else of the
    // certificate and its chain still is. A connection made so is never kept for another
    // transfer, nor is its TLS session.
    void IgnoreCertificateDates(bool bIgnore);

    // Set by FTP users: the error number of a login refusal depends on the last command.
    bool m_bFtp = false;
    // Set by HTTP users when the library follows redirects itself: a redirect's header block is
    // then not the final one.
    bool m_bFollowRedirects = false;

private:
    static size_t WriteCallback(char* ptr, size_t size, size_t nmemb, void* userdata);
    static size_t HeaderCallback(char* ptr, size_t size, size_t nmemb, void* userdata);
    static int ProgressCallback(void* clientp, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    static int DebugCallback(CURL*, curl_infotype type, char* data, size_t size, void* userp);
    static CURLcode NoDateCheckCallback(CURL*, void* sslContext, void* userp);
    size_t OnBody(const char* ptr, size_t n);
    size_t OnHeaderLine(const char* ptr, size_t n);
    void OnDebug(curl_infotype type, const char* data, size_t size);
    void ReadMessages();
    DWORD ErrorFromResult();
    void Touch() { m_lastActivity = std::chrono::steady_clock::now(); }

    InternetHandle& m_owner;
    ConnectionHandle& m_connection;
    CURL* m_pEasy;
    bool m_bAdded = false;
    bool m_bPaused = false;
    bool m_bDone = false;
    bool m_bHeadersComplete = false;
    // A whole header block or body bytes came in (set by the callbacks only).
    bool m_bReplyStarted = false;
    bool m_bConnected = false;
    CURLcode m_result = CURLE_OK;
    DWORD m_dwInactivityTimeout = kDefaultReceiveTimeout;
    // The limits of the whole transfer (none when not set).
    std::optional<std::chrono::steady_clock::time_point> m_deadline;
    DWORD m_dwTimeLimit = 0;
    unsigned long long m_nSizeLimit = 0;
    unsigned long long m_nBodyReceived = 0;
    std::chrono::steady_clock::time_point m_lastActivity;
    std::string m_body;
    size_t m_nBodyRead = 0;
    std::vector<std::string> m_headerLines;
    std::string m_sentHeaders;
    bool m_bSentHeadersDone = false;
    std::string m_lastCommand;
    // The lines of an FTP reply still being received.
    std::string m_ftpReply;
    std::string m_strDetail;
    char m_errorBuffer[CURL_ERROR_SIZE] = {};
    // Every callback of the transfer library runs through it: what one throws ends the transfer
    // with the first error as its detail instead of unwinding through the library.
    ErrorGuard m_callbackGuard;
};

// Percent-encodes what may not stand in a URL path as it is (blanks, control characters, bytes
// above 127, quotes and angle brackets); "%" stays, so an escaped path is not escaped twice.
std::string EscapeUrlPath(const std::string& path);

// The calling thread's last FTP reply (code and text), as InternetGetLastResponseInfo gives it.
void SetLastResponse(DWORD dwCode, const std::string& text);

} // namespace vostrel::net
