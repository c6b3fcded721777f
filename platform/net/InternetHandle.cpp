#include "platform/net/InternetHandle.h"

#include "platform/core/VersionInfo.h"
#include "platform/net/HttpReplyHeaders.h"

#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <unordered_map>

namespace vostrel::net {

namespace {

// Beyond this many unread body bytes a transfer pauses until the reader catches up.
constexpr size_t kBodyBufferLimit = 1u << 20;

std::mutex g_tableMutex;
std::unordered_map<uintptr_t, std::shared_ptr<InternetHandle>> g_handles;
// Handle values are never reused, so a stale handle cannot reach a newer object.
uintptr_t g_nextHandle = 0x1000;

thread_local DWORD t_lastResponseCode = 0;
thread_local std::string t_lastResponseText;

void RegisterLibraryVersion()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
        RegisterModuleVersion("WININET.DLL", info != nullptr ? info->version : "0", "libcurl");
    });
}

// The version is known from start-up, so that whoever reads it before the first session (the
// fetch engine's log header does) sees the library this program runs on.
const bool g_versionRegistered = (RegisterLibraryVersion(), true);

// Case-insensitive match of a host against a bypass entry with "*" wildcards.
bool GlobMatch(std::string_view pattern, std::string_view text)
{
    if (pattern.empty())
        return text.empty();
    if (pattern.front() == '*') {
        for (size_t i = 0; i <= text.size(); ++i)
            if (GlobMatch(pattern.substr(1), text.substr(i)))
                return true;
        return false;
    }
    if (text.empty()
        || std::tolower(static_cast<unsigned char>(pattern.front())) != std::tolower(static_cast<unsigned char>(text.front())))
        return false;
    return GlobMatch(pattern.substr(1), text.substr(1));
}

std::vector<std::string> SplitList(const std::string& text, const char* separators)
{
    std::vector<std::string> items;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t start = text.find_first_not_of(separators, pos);
        if (start == std::string::npos)
            break;
        size_t end = text.find_first_of(separators, start);
        if (end == std::string::npos)
            end = text.size();
        items.push_back(text.substr(start, end - start));
        pos = end;
    }
    return items;
}

const char* Environment(const char* lower, const char* upper)
{
    const char* value = std::getenv(lower);
    if ((value == nullptr || *value == '\0') && upper != nullptr)
        value = std::getenv(upper);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

std::string EnvironmentProxyList()
{
    std::string list;
    const struct {
        const char* scheme;
        const char* lower;
        const char* upper;
    } vars[] = {{"http", "http_proxy", nullptr},
                {"https", "https_proxy", "HTTPS_PROXY"},
                {"ftp", "ftp_proxy", "FTP_PROXY"}};
    for (const auto& v : vars)
        if (const char* value = Environment(v.lower, v.upper))
            list += std::string(v.scheme) + "=" + value + " ";
    if (const char* all = Environment("all_proxy", "ALL_PROXY"))
        list += all;
    while (!list.empty() && list.back() == ' ')
        list.pop_back();
    return list;
}

} // namespace

void EnsureInitialized()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    RegisterLibraryVersion();
}

std::string EscapeUrlPath(const std::string& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '#' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`'
            || c == '{' || c == '|' || c == '}') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

void SetLastResponse(DWORD dwCode, const std::string& text)
{
    t_lastResponseCode = dwCode;
    t_lastResponseText = text;
}

// ---- handles and the table ----

InternetHandle::InternetHandle(HandleKind kind, std::shared_ptr<InternetHandle> parent, DWORD_PTR context)
    : m_kind(kind), m_pParent(std::move(parent)), m_dwContext(context)
{
}

void InternetHandle::Abort()
{
    m_bClosed.store(true);
    WakeTree();
}

void InternetHandle::WakeTree()
{
    Wake();
    std::vector<std::shared_ptr<InternetHandle>> children;
    {
        std::lock_guard lock(m_childMutex);
        for (const auto& weak : m_children)
            if (auto child = weak.lock())
                children.push_back(std::move(child));
    }
    for (const auto& child : children)
        child->WakeTree();
}

bool InternetHandle::IsAborted() const
{
    for (const InternetHandle* p = this; p != nullptr; p = p->m_pParent.get())
        if (p->m_bClosed.load())
            return true;
    return false;
}

void InternetHandle::AddChild(const std::shared_ptr<InternetHandle>& child)
{
    std::lock_guard lock(m_childMutex);
    std::erase_if(m_children, [](const std::weak_ptr<InternetHandle>& w) { return w.expired(); });
    m_children.push_back(child);
}

DWORD InternetHandle::ResolveDword(std::optional<DWORD> OptionValues::*member, DWORD dwDefault) const
{
    for (const InternetHandle* p = this; p != nullptr; p = p->m_pParent.get()) {
        std::lock_guard lock(const_cast<InternetHandle*>(p)->m_optionMutex);
        if ((p->m_options.*member).has_value())
            return *(p->m_options.*member);
    }
    return dwDefault;
}

std::optional<std::string> InternetHandle::ResolveString(std::optional<std::string> OptionValues::*member) const
{
    for (const InternetHandle* p = this; p != nullptr; p = p->m_pParent.get()) {
        std::lock_guard lock(const_cast<InternetHandle*>(p)->m_optionMutex);
        if ((p->m_options.*member).has_value())
            return p->m_options.*member;
    }
    return std::nullopt;
}

namespace {

std::optional<DWORD> OptionValues::*DwordMember(DWORD dwOption)
{
    switch (dwOption) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: return &OptionValues::connectTimeout;
    case INTERNET_OPTION_CONNECT_RETRIES: return &OptionValues::connectRetries;
    case INTERNET_OPTION_SEND_TIMEOUT: return &OptionValues::sendTimeout;
    case INTERNET_OPTION_RECEIVE_TIMEOUT: return &OptionValues::receiveTimeout;
    case INTERNET_OPTION_DATA_SEND_TIMEOUT: return &OptionValues::dataSendTimeout;
    case INTERNET_OPTION_DATA_RECEIVE_TIMEOUT: return &OptionValues::dataReceiveTimeout;
    case INTERNET_OPTION_TRANSFER_TIME_LIMIT: return &OptionValues::transferTimeLimit;
    case INTERNET_OPTION_TRANSFER_SIZE_LIMIT: return &OptionValues::transferSizeLimit;
    default: return nullptr;
    }
}

std::optional<std::string> OptionValues::*TextMember(DWORD dwOption)
{
    switch (dwOption) {
    case INTERNET_OPTION_USERNAME: return &OptionValues::userName;
    case INTERNET_OPTION_PASSWORD: return &OptionValues::password;
    case INTERNET_OPTION_PROXY_USERNAME: return &OptionValues::proxyUserName;
    case INTERNET_OPTION_PROXY_PASSWORD: return &OptionValues::proxyPassword;
    default: return nullptr;
    }
}

DWORD DefaultFor(DWORD dwOption)
{
    switch (dwOption) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: return kDefaultConnectTimeout;
    case INTERNET_OPTION_CONNECT_RETRIES: return 0;
    case INTERNET_OPTION_TRANSFER_TIME_LIMIT:
    case INTERNET_OPTION_TRANSFER_SIZE_LIMIT: return 0;
    default: return kDefaultReceiveTimeout;
    }
}

DWORD HandleTypeOf(HandleKind kind)
{
    switch (kind) {
    case HandleKind::Session: return INTERNET_HANDLE_TYPE_INTERNET;
    case HandleKind::FtpConnection: return INTERNET_HANDLE_TYPE_CONNECT_FTP;
    case HandleKind::HttpConnection: return INTERNET_HANDLE_TYPE_CONNECT_HTTP;
    case HandleKind::HttpRequest: return INTERNET_HANDLE_TYPE_HTTP_REQUEST;
    case HandleKind::FtpFind: return INTERNET_HANDLE_TYPE_FTP_FIND;
    case HandleKind::FtpFile: return INTERNET_HANDLE_TYPE_FTP_FILE;
    }
    return 0;
}

} // namespace

BOOL InternetHandle::SetOption(DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength)
{
    if (auto member = DwordMember(dwOption)) {
        if (lpBuffer == nullptr || dwBufferLength < sizeof(DWORD)) {
            SetLastError(ERROR_INTERNET_BAD_OPTION_LENGTH);
            return FALSE;
        }
        DWORD dwValue;
        std::memcpy(&dwValue, lpBuffer, sizeof dwValue);
        std::lock_guard lock(m_optionMutex);
        m_options.*member = dwValue;
        return TRUE;
    }
    if (auto member = TextMember(dwOption)) {
        const char* text = static_cast<const char*>(lpBuffer);
        std::string value;
        if (text != nullptr)
            value.assign(text, strnlen(text, dwBufferLength != 0 ? dwBufferLength : 0xFFFFu));
        std::lock_guard lock(m_optionMutex);
        m_options.*member = std::move(value);
        return TRUE;
    }
    SetLastError(ERROR_INTERNET_INVALID_OPTION);
    return FALSE;
}

BOOL InternetHandle::QueryOption(DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength)
{
    if (auto member = DwordMember(dwOption))
        return CopyDwordOut(ResolveDword(member, DefaultFor(dwOption)), lpBuffer, lpdwBufferLength);
    if (auto member = TextMember(dwOption))
        return CopyTextOut(ResolveString(member).value_or(std::string()), lpBuffer, lpdwBufferLength);
    if (dwOption == INTERNET_OPTION_HANDLE_TYPE)
        return CopyDwordOut(HandleTypeOf(m_kind), lpBuffer, lpdwBufferLength);
    SetLastError(ERROR_INTERNET_INVALID_OPTION);
    return FALSE;
}

BOOL CopyDwordOut(DWORD dwValue, LPVOID lpBuffer, LPDWORD lpdwBufferLength)
{
    if (lpdwBufferLength == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (lpBuffer == nullptr || *lpdwBufferLength < sizeof(DWORD)) {
        *lpdwBufferLength = sizeof(DWORD);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(lpBuffer, &dwValue, sizeof dwValue);
    *lpdwBufferLength = sizeof(DWORD);
    return TRUE;
}

BOOL CopyTextOut(const std::string& text, LPVOID lpBuffer, LPDWORD lpdwBufferLength)
{
    if (lpdwBufferLength == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD dwNeeded = static_cast<DWORD>(text.size() + 1);
    if (lpBuffer == nullptr || *lpdwBufferLength < dwNeeded) {
        *lpdwBufferLength = dwNeeded;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(lpBuffer, text.c_str(), dwNeeded);
    *lpdwBufferLength = dwNeeded - 1;
    return TRUE;
}

HINTERNET RegisterHandle(const std::shared_ptr<InternetHandle>& handle)
{
    std::lock_guard lock(g_tableMutex);
    uintptr_t value = g_nextHandle;
    g_nextHandle += 4;
    g_handles.emplace(value, handle);
    return reinterpret_cast<HINTERNET>(value);
}

std::shared_ptr<InternetHandle> LookupHandle(HINTERNET hInternet)
{
    std::lock_guard lock(g_tableMutex);
    auto it = g_handles.find(reinterpret_cast<uintptr_t>(hInternet));
    return it != g_handles.end() ? it->second : nullptr;
}

bool CloseHandle(HINTERNET hInternet)
{
    std::shared_ptr<InternetHandle> handle;
    {
        std::lock_guard lock(g_tableMutex);
        auto it = g_handles.find(reinterpret_cast<uintptr_t>(hInternet));
        if (it == g_handles.end())
            return false;
        handle = std::move(it->second);
        g_handles.erase(it);
    }
    handle->Abort();
    // The object goes when its last user lets go, which may be a call still running elsewhere.
    return true;
}

// ---- session ----

DWORD EnvironmentAccessType()
{
    return EnvironmentProxyList().empty() ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PROXY;
}

SessionHandle::SessionHandle(LPCSTR lpszAgent, DWORD dwAccessType, LPCSTR lpszProxy, LPCSTR lpszProxyBypass,
                             DWORD /*dwFlags*/, DWORD_PTR dwContext)
    : InternetHandle(HandleKind::Session, nullptr, dwContext),
      m_strAgent(lpszAgent != nullptr ? lpszAgent : ""),
      m_dwAccessType(dwAccessType),
      m_strProxy(lpszProxy != nullptr ? lpszProxy : ""),
      m_strBypass(lpszProxyBypass != nullptr ? lpszProxyBypass : "")
{
}

DWORD SessionHandle::EffectiveAccessType() const
{
    if (m_dwAccessType == INTERNET_OPEN_TYPE_PRECONFIG || m_dwAccessType == INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY)
        return EnvironmentAccessType();
    return m_dwAccessType;
}

bool SessionHandle::Bypassed(const std::string& host) const
{
    for (const std::string& entry : SplitList(m_strBypass, " \t;,")) {
        if (EqualsNoCase(entry, "<local>")) {
            if (host.find('.') == std::string::npos && host.find(':') == std::string::npos)
                return true;
        } else if (GlobMatch(entry, host)) {
            return true;
        }
    }
    return false;
}

std::string SessionHandle::ProxyFor(const std::string& scheme, const std::string& host) const
{
    std::string list;
    if (m_dwAccessType == INTERNET_OPEN_TYPE_PROXY)
        list = m_strProxy;
    else if (m_dwAccessType != INTERNET_OPEN_TYPE_DIRECT)
        list = EnvironmentProxyList();
    if (list.empty() || Bypassed(host))
        return std::string();
    std::string generic, specific;
    for (const std::string& entry : SplitList(list, " \t;")) {
        size_t eq = entry.find('=');
        if (eq == std::string::npos) {
            if (generic.empty())
                generic = entry;
        } else if (EqualsNoCase(std::string_view(entry).substr(0, eq), scheme) && specific.empty()) {
            specific = entry.substr(eq + 1);
        }
    }
    std::string proxy = !specific.empty() ? specific : generic;
    if (proxy.empty())
        return std::string();
    if (proxy.find("://") == std::string::npos)
        proxy = "http://" + proxy;
    return proxy;
}

std::string SessionHandle::ProxyRefusal(const std::string& scheme, const std::string& host, bool bFtpConnection) const
{
    const std::string proxy = ProxyFor(scheme, host);
    if (proxy.rfind("ftp://", 0) == 0)
        return "The proxy " + proxy.substr(6) + " speaks FTP itself, which this program cannot use; name an HTTP proxy"
               " for FTP, or none";
    if (bFtpConnection && !proxy.empty())
        return "An FTP connection cannot go through the HTTP proxy " + proxy.substr(proxy.find("://") + 3)
               + "; only a file opened by its URL can";
    return std::string();
}

BOOL SessionHandle::SetOption(DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength)
{
    if (dwOption == INTERNET_OPTION_MAX_CONNS_PER_SERVER || dwOption == INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER) {
        SetLastError(ERROR_INTERNET_OPTION_NOT_SETTABLE);
        return FALSE;
    }
    return InternetHandle::SetOption(dwOption, lpBuffer, dwBufferLength);
}

BOOL SessionHandle::QueryOption(DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength)
{
    switch (dwOption) {
    case INTERNET_OPTION_PROXY: {
        DWORD dwType = EffectiveAccessType();
        std::string proxy = m_dwAccessType == INTERNET_OPEN_TYPE_PROXY ? m_strProxy
            : dwType == INTERNET_OPEN_TYPE_PROXY                      ? EnvironmentProxyList()
                                                                      : std::string();
        return CopyProxyInfoOut(dwType, proxy, dwType == INTERNET_OPEN_TYPE_PROXY ? m_strBypass : std::string(),
                                lpBuffer, lpdwBufferLength);
    }
    case INTERNET_OPTION_USER_AGENT:
        return CopyTextOut(m_strAgent, lpBuffer, lpdwBufferLength);
    case INTERNET_OPTION_MAX_CONNS_PER_SERVER:
        return CopyDwordOut(kMaxConnectionsPerServer, lpBuffer, lpdwBufferLength);
    case INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER:
        return CopyDwordOut(kMaxConnectionsPer1_0Server, lpBuffer, lpdwBufferLength);
    default:
        return InternetHandle::QueryOption(dwOption, lpBuffer, lpdwBufferLength);
    }
}

BOOL CopyProxyInfoOut(DWORD dwAccessType, const std::string& proxy, const std::string& bypass, LPVOID lpBuffer,
                      LPDWORD lpdwBufferLength)
{
    if (lpdwBufferLength == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const size_t nNeeded = sizeof(INTERNET_PROXY_INFO) + proxy.size() + 1 + bypass.size() + 1;
    if (lpBuffer == nullptr || *lpdwBufferLength < nNeeded) {
        *lpdwBufferLength = static_cast<DWORD>(nNeeded);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* info = static_cast<INTERNET_PROXY_INFO*>(lpBuffer);
    char* texts = static_cast<char*>(lpBuffer) + sizeof(INTERNET_PROXY_INFO);
    std::memcpy(texts, proxy.c_str(), proxy.size() + 1);
    std::memcpy(texts + proxy.size() + 1, bypass.c_str(), bypass.size() + 1);
    info->dwAccessType = dwAccessType;
    info->lpszProxy = texts;
    info->lpszProxyBypass = texts + proxy.size() + 1;
    *lpdwBufferLength = static_cast<DWORD>(nNeeded);
    return TRUE;
}

// ---- connection ----

ConnectionHandle::ConnectionHandle(HandleKind kind, const std::shared_ptr<SessionHandle>& session, std::string server,
                                   INTERNET_PORT nPort, DWORD dwFlags, DWORD_PTR dwContext)
    : InternetHandle(kind, session, dwContext),
      m_strServer(std::move(server)),
      m_nPort(nPort),
      m_dwFlags(dwFlags),
      m_pMulti(curl_multi_init())
{
}

ConnectionHandle::~ConnectionHandle()
{
    curl_multi_cleanup(m_pMulti);
}

std::string ConnectionHandle::UrlHost() const
{
    if (m_strServer.find(':') != std::string::npos && m_strServer.front() != '[')
        return "[" + m_strServer + "]";
    return m_strServer;
}

void ConnectionHandle::Wake()
{
    curl_multi_wakeup(m_pMulti);
}

// ---- transfer ----

Transfer::Transfer(InternetHandle& owner, ConnectionHandle& connection)
    : m_owner(owner), m_connection(connection), m_pEasy(curl_easy_init())
{
    curl_easy_setopt(m_pEasy, CURLOPT_PRIVATE, this);
    curl_easy_setopt(m_pEasy, CURLOPT_ERRORBUFFER, m_errorBuffer);
    curl_easy_setopt(m_pEasy, CURLOPT_WRITEFUNCTION, &Transfer::WriteCallback);
    curl_easy_setopt(m_pEasy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_pEasy, CURLOPT_HEADERFUNCTION, &Transfer::HeaderCallback);
    curl_easy_setopt(m_pEasy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_pEasy, CURLOPT_XFERINFOFUNCTION, &Transfer::ProgressCallback);
    curl_easy_setopt(m_pEasy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_pEasy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(m_pEasy, CURLOPT_DEBUGFUNCTION, &Transfer::DebugCallback);
    curl_easy_setopt(m_pEasy, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(m_pEasy, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(m_pEasy, CURLOPT_NOSIGNAL, 1L);
    // The authorities trusted are the system's; SSL_CERT_FILE names another bundle in place of
    // the system's, as it does for the system's own programs that check certificates.
    if (const char* bundle = std::getenv("SSL_CERT_FILE"); bundle != nullptr && *bundle != '\0')
        curl_easy_setopt(m_pEasy, CURLOPT_CAINFO, bundle);
}

Transfer::~Transfer()
{
    Stop();
    curl_easy_cleanup(m_pEasy);
}

void Transfer::IgnoreCertificateDates(bool bIgnore)
{
    curl_easy_setopt(m_pEasy, CURLOPT_SSL_CTX_FUNCTION, bIgnore ? &Transfer::NoDateCheckCallback : nullptr);
    curl_easy_setopt(m_pEasy, CURLOPT_SSL_CTX_DATA, bIgnore ? this : nullptr);
    curl_easy_setopt(m_pEasy, CURLOPT_FORBID_REUSE, bIgnore ? 1L : 0L);
    curl_easy_setopt(m_pEasy, CURLOPT_SSL_SESSIONID_CACHE, bIgnore ? 0L : 1L);
}

CURLcode Transfer::NoDateCheckCallback(CURL*, void* sslContext, void* userp)
{
    auto* self = static_cast<Transfer*>(userp);
    return self->m_callbackGuard.Call<CURLcode>(CURLE_SSL_CERTPROBLEM, [&] {
        X509_VERIFY_PARAM* param = SSL_CTX_get0_param(static_cast<SSL_CTX*>(sslContext));
        return param != nullptr && X509_VERIFY_PARAM_set_flags(param, X509_V_FLAG_NO_CHECK_TIME) == 1
            ? CURLE_OK
            : CURLE_SSL_CERTPROBLEM;
    });
}

void Transfer::Start(DWORD dwInactivityTimeout, DWORD dwConnectTimeout)
{
    Stop();
    m_bDone = false;
    m_bHeadersComplete = false;
    m_bReplyStarted = false;
    m_bConnected = false;
    m_bPaused = false;
    m_result = CURLE_OK;
    m_body.clear();
    m_nBodyRead = 0;
    m_headerLines.clear();
    m_sentHeaders.clear();
    m_bSentHeadersDone = false;
    m_strDetail.clear();
    m_errorBuffer[0] = '\0';
    m_callbackGuard.Reset();
    m_nBodyReceived = 0;
    m_dwTimeLimit = m_owner.ResolveDword(&OptionValues::transferTimeLimit, 0);
    m_nSizeLimit = m_owner.ResolveDword(&OptionValues::transferSizeLimit, 0);
    m_deadline.reset();
    if (m_dwTimeLimit != 0)
        m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_dwTimeLimit);
    m_dwInactivityTimeout = dwInactivityTimeout == 0 ? 0xFFFFFFFFu : dwInactivityTimeout;
    curl_easy_setopt(m_pEasy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::min<DWORD>(dwConnectTimeout, 0x7FFFFFFF)));
    // The server's silence on the FTP control channel counts as a receive time-out too.
    const long nResponseSeconds = static_cast<long>(std::max<DWORD>(1, (std::min<DWORD>(m_dwInactivityTimeout, 0x7FFFFFFF) + 999) / 1000));
    curl_easy_setopt(m_pEasy, CURLOPT_SERVER_RESPONSE_TIMEOUT, nResponseSeconds);
    Touch();
    if (curl_multi_add_handle(m_connection.Multi(), m_pEasy) == CURLM_OK)
        m_bAdded = true;
}

void Transfer::Stop()
{
    if (m_bAdded) {
        curl_multi_remove_handle(m_connection.Multi(), m_pEasy);
        m_bAdded = false;
    }
}

void Transfer::ReadMessages()
{
    int nLeft = 0;
    while (CURLMsg* msg = curl_multi_info_read(m_connection.Multi(), &nLeft)) {
        if (msg->msg != CURLMSG_DONE)
            continue;
        Transfer* pTransfer = nullptr;
        curl_easy_getinfo(msg->easy_handle, CURLINFO_PRIVATE, &pTransfer);
        if (pTransfer != nullptr) {
            pTransfer->m_bDone = true;
            pTransfer->m_bHeadersComplete = true;
            pTransfer->m_result = msg->data.result;
        }
    }
}

DWORD Transfer::Pump(const std::function<bool()>& ready)
{
    using namespace std::chrono;
    for (;;) {
        if (m_callbackGuard.HasError()) {
            Stop();
            m_strDetail = m_callbackGuard.GetFirstError();
            return ERROR_INTERNET_INTERNAL_ERROR;
        }
        if (m_nSizeLimit != 0 && m_nBodyReceived > m_nSizeLimit) {
            Stop();
            m_strDetail = "The reply is larger than its limit of " + std::to_string(m_nSizeLimit / (1024 * 1024)) + " MB";
            if (m_nSizeLimit % (1024 * 1024) != 0)
                m_strDetail = "The reply is larger than its limit of " + std::to_string(m_nSizeLimit) + " bytes";
            return ERROR_INTERNET_TRANSFER_SIZE_LIMIT;
        }
        if (m_deadline && steady_clock::now() >= *m_deadline) {
            Stop();
            m_strDetail = "The transfer took longer than its limit of " + std::to_string((m_dwTimeLimit + 999) / 1000) + " s";
            return ERROR_INTERNET_TRANSFER_TIME_LIMIT;
        }
        // A failed transfer fails every wait on it, even one that buffered data would satisfy.
        if (m_bDone && m_result != CURLE_OK)
            return ErrorFromResult();
        if (ready() || m_bDone)
            return 0;
        if (m_owner.IsAborted() || !m_bAdded) {
            Stop();
            m_strDetail = "The handle was closed";
            return ERROR_INTERNET_OPERATION_CANCELLED;
        }
        if (m_bPaused && Available() < kBodyBufferLimit / 2) {
            m_bPaused = false;
            Touch();
            curl_easy_pause(m_pEasy, CURLPAUSE_CONT);
        }
        int nRunning = 0;
        curl_multi_perform(m_connection.Multi(), &nRunning);
        ReadMessages();
        if (!m_bConnected) {
            curl_off_t connectTime = 0, pretransferTime = 0;
            curl_easy_getinfo(m_pEasy, CURLINFO_CONNECT_TIME_T, &connectTime);
            curl_easy_getinfo(m_pEasy, CURLINFO_PRETRANSFER_TIME_T, &pretransferTime);
            if (connectTime > 0 || pretransferTime > 0) {
                m_bConnected = true;
                Touch();
            }
        }
        if (ready() || m_bDone)
            continue;
        int nWait = 1000;
        if (m_deadline) {
            const auto left = duration_cast<milliseconds>(*m_deadline - steady_clock::now()).count();
            nWait = static_cast<int>(std::clamp<long long>(left, 1, nWait));
        }
        if (m_bConnected && !m_bPaused) {
            const auto idle = duration_cast<milliseconds>(steady_clock::now() - m_lastActivity).count();
            if (idle >= static_cast<long long>(m_dwInactivityTimeout)) {
                Stop();
                m_strDetail = "The server sent nothing within the receive time-out";
                return ERROR_INTERNET_TIMEOUT;
            }
            nWait = static_cast<int>(std::min<long long>(nWait, m_dwInactivityTimeout - idle));
        }
        curl_multi_poll(m_connection.Multi(), nullptr, 0, std::max(nWait, 1), nullptr);
    }
}

DWORD Transfer::PumpHeaders()
{
    return Pump([this] { return m_bHeadersComplete; });
}

size_t Transfer::Take(void* lpBuffer, size_t nCount)
{
    const size_t n = std::min(nCount, Available());
    std::memcpy(lpBuffer, m_body.data() + m_nBodyRead, n);
    m_nBodyRead += n;
    if (m_nBodyRead == m_body.size()) {
        m_body.clear();
        m_nBodyRead = 0;
    }
    return n;
}

BOOL Transfer::ReadBody(void* lpBuffer, DWORD dwCount, LPDWORD lpdwRead, std::string& strDetail)
{
    if (lpdwRead != nullptr)
        *lpdwRead = 0;
    const DWORD dwError = Pump([&] { return Available() >= dwCount; });
    if (dwError != 0) {
        strDetail = Detail();
        SetLastError(dwError);
        return FALSE;
    }
    const size_t n = Take(lpBuffer, dwCount);
    if (lpdwRead != nullptr)
        *lpdwRead = static_cast<DWORD>(n);
    return TRUE;
}

BOOL Transfer::QueryAvailable(LPDWORD lpdwAvailable)
{
    const DWORD dwError = Pump([this] { return Available() > 0; });
    if (dwError != 0) {
        SetLastError(dwError);
        return FALSE;
    }
    *lpdwAvailable = static_cast<DWORD>(Available());
    return TRUE;
}

size_t Transfer::WriteCallback(char* ptr, size_t size, size_t nmemb, void* userdata)
{
    auto* self = static_cast<Transfer*>(userdata);
    // Answering less than was given fails the transfer with a write error.
    return self->m_callbackGuard.Call<size_t>(0, [&] { return self->OnBody(ptr, size * nmemb); });
}

size_t Transfer::OnBody(const char* ptr, size_t n)
{
    if (m_owner.IsAborted())
        return 0;
    if (Available() >= kBodyBufferLimit) {
        m_bPaused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    if (m_nBodyRead > 0 && m_nBodyRead * 2 > m_body.size()) {
        m_body.erase(0, m_nBodyRead);
        m_nBodyRead = 0;
    }
    m_nBodyReceived += n;
    if (m_nSizeLimit != 0 && m_nBodyReceived > m_nSizeLimit)
        return 0;   // ends the transfer; the wait on it tells why
    m_body.append(ptr, n);
    m_bHeadersComplete = true;
    m_bReplyStarted = true;
    Touch();
    return n;
}

size_t Transfer::HeaderCallback(char* ptr, size_t size, size_t nmemb, void* userdata)
{
    auto* self = static_cast<Transfer*>(userdata);
    return self->m_callbackGuard.Call<size_t>(0, [&] { return self->OnHeaderLine(ptr, size * nmemb); });
}

size_t Transfer::OnHeaderLine(const char* ptr, size_t n)
{
    Touch();

    std::string line(ptr, n);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    if (m_bFtp) {
        // Server replies: "123-" opens a multi-line reply that "123 " ends.
        std::string& pending = m_ftpReply;
        pending += pending.empty() ? line : "\r\n" + line;
        if (line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0])) && line[3] == ' ') {
            SetLastResponse(static_cast<DWORD>(std::atoi(line.substr(0, 3).c_str())), pending);
            pending.clear();
        }
        return n;
    }
    if (!AddReplyHeaderLine(m_headerLines, line)) {
        if (m_headerLines.size() == 1 && line.rfind("HTTP/", 0) == 0)
            m_bHeadersComplete = false;   // a new block begins
        return n;
    }
    // The end of a header block: final unless it is an interim reply or a redirect that the
    // library goes on to follow (whose body it skips, so the next block or the end decides).
    long nStatus = 0;
    curl_easy_getinfo(m_pEasy, CURLINFO_RESPONSE_CODE, &nStatus);
    if (nStatus >= 100 && nStatus < 200)
        return n;
    if (m_bFollowRedirects && (nStatus == 301 || nStatus == 302 || nStatus == 303 || nStatus == 307 || nStatus == 308)
        && std::any_of(m_headerLines.begin() + 1, m_headerLines.end(), [](const std::string& h) {
               return h.size() > 9 && strncasecmp(h.c_str(), "Location:", 9) == 0;
           }))
        return n;
    m_bHeadersComplete = true;
    m_bReplyStarted = true;
    return n;
}

int Transfer::ProgressCallback(void* clientp, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* self = static_cast<Transfer*>(clientp);
    // Nonzero aborts the transfer.
    return self->m_callbackGuard.Call<int>(1, [&] { return self->m_owner.IsAborted() ? 1 : 0; });
}

int Transfer::DebugCallback(CURL*, curl_infotype type, char* data, size_t size, void* userp)
{
    auto* self = static_cast<Transfer*>(userp);
    // The library ignores the answer; a failure here is kept and fails the transfer at its end.
    self->m_callbackGuard.Run([&] { self->OnDebug(type, data, size); });
    return 0;
}

void Transfer::OnDebug(curl_infotype type, const char* data, size_t size)
{
    if (type == CURLINFO_HEADER_OUT) {
        Touch();
        if (m_bFtp) {
            m_lastCommand.assign(data, size);
        } else {
            // Each request of the transfer (a redirect makes more) replaces the one before.
            m_sentHeaders.assign(data, size);
        }
    } else if (type == CURLINFO_HEADER_IN || type == CURLINFO_DATA_IN) {
        Touch();
    }
}

DWORD Transfer::ErrorFromResult()
{
    m_strDetail = m_errorBuffer[0] != '\0' ? m_errorBuffer : curl_easy_strerror(m_result);
    switch (m_result) {
    case CURLE_UNSUPPORTED_PROTOCOL: {
        // The library says so too when a server's answer is no HTTP reply at all: that is a
        // reply that cannot be understood, not a URL of a scheme we do not know.
        curl_off_t connectTime = 0;
        curl_easy_getinfo(m_pEasy, CURLINFO_CONNECT_TIME_T, &connectTime);
        if (!m_bFtp && (m_bConnected || connectTime > 0)) {
            m_strDetail = "The server's reply is not an HTTP reply";
            return ERROR_HTTP_INVALID_SERVER_RESPONSE;
        }
        return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    }
    case CURLE_URL_MALFORMAT:
        return ERROR_INTERNET_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
        return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT:
        return ERROR_INTERNET_TIMEOUT;
    case CURLE_LOGIN_DENIED:
        if (m_bFtp && m_lastCommand.rfind("USER", 0) == 0)
            return ERROR_INTERNET_INCORRECT_USER_NAME;
        if (m_bFtp && m_lastCommand.rfind("PASS", 0) == 0)
            return ERROR_INTERNET_INCORRECT_PASSWORD;
        return ERROR_INTERNET_LOGIN_FAILURE;
    case CURLE_PEER_FAILED_VERIFICATION: {
        long nVerify = 0;
        curl_easy_getinfo(m_pEasy, CURLINFO_SSL_VERIFYRESULT, &nVerify);
        // The library checks the name itself and says so only in its message.
        if (m_strDetail.find("host name") != std::string::npos || m_strDetail.find("subject name") != std::string::npos)
            return ERROR_INTERNET_SEC_CERT_CN_INVALID;
        switch (nVerify) {
        case 9: case 10: case 13: case 14: // not yet valid, expired, bad date fields
            return ERROR_INTERNET_SEC_CERT_DATE_INVALID;
        case 23:
            return ERROR_INTERNET_SEC_CERT_REVOKED;
        case 2: case 18: case 19: case 20: case 21: case 24: case 27:
            return ERROR_INTERNET_INVALID_CA;
        case 62:
            return ERROR_INTERNET_SEC_CERT_CN_INVALID;
        default:
            return ERROR_INTERNET_SEC_INVALID_CERT;
        }
    }
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
        return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR: {
        long nErrno = 0;
        curl_easy_getinfo(m_pEasy, CURLINFO_OS_ERRNO, &nErrno);
        return nErrno == ECONNRESET ? ERROR_INTERNET_CONNECTION_RESET : ERROR_INTERNET_CONNECTION_ABORTED;
    }
    case CURLE_WEIRD_SERVER_REPLY:
        return m_bFtp ? ERROR_INTERNET_EXTENDED_ERROR : ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_ABORTED_BY_CALLBACK:
        return ERROR_INTERNET_OPERATION_CANCELLED;
    case CURLE_WRITE_ERROR:
        return m_owner.IsAborted() ? ERROR_INTERNET_OPERATION_CANCELLED : ERROR_INTERNET_INTERNAL_ERROR;
    case CURLE_TOO_MANY_REDIRECTS:
        return ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_FTP_COULDNT_RETR_FILE:
    case CURLE_FTP_COULDNT_SET_TYPE:
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
    case CURLE_FTP_CANT_GET_HOST:
    case CURLE_QUOTE_ERROR:
        // The server's own words say most: they are the detail of the extended error.
        if (!t_lastResponseText.empty())
            m_strDetail = t_lastResponseText;
        return ERROR_INTERNET_EXTENDED_ERROR;
    case CURLE_OUT_OF_MEMORY:
        // The library refuses reply headers above its limit with this code too, before they
        // are complete.
        if (!m_bFtp && !m_bReplyStarted) {
            m_strDetail = "The server's reply headers are larger than this program accepts (100 KB)";
            return ERROR_HTTP_INVALID_SERVER_RESPONSE;
        }
        return ERROR_NOT_ENOUGH_MEMORY;
    case CURLE_BAD_CONTENT_ENCODING:
        return ERROR_INTERNET_DECODING_FAILED;
    default:
        return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

} // namespace vostrel::net

// ---- the raw functions ----

using namespace vostrel::net;

DWORD InternetAttemptConnect(DWORD /*dwReserved*/)
{
    EnsureInitialized();
    return ERROR_SUCCESS;
}

BOOL InternetCloseHandle(HINTERNET hInternet)
{
    if (!CloseHandle(hInternet)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL InternetSetOption(HINTERNET hInternet, DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength)
{
    if (hInternet == nullptr) {
        SetLastError(ERROR_INTERNET_OPTION_NOT_SETTABLE);
        return FALSE;
    }
    auto handle = LookupHandle(hInternet);
    if (handle == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return handle->SetOption(dwOption, lpBuffer, dwBufferLength);
}

BOOL InternetQueryOption(HINTERNET hInternet, DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength)
{
    if (hInternet == nullptr) {
        switch (dwOption) {
        case INTERNET_OPTION_PROXY: {
            const DWORD dwType = EnvironmentAccessType();
            return CopyProxyInfoOut(dwType, dwType == INTERNET_OPEN_TYPE_PROXY ? EnvironmentProxyList() : std::string(),
                                    std::string(), lpBuffer, lpdwBufferLength);
        }
        case INTERNET_OPTION_MAX_CONNS_PER_SERVER:
            return CopyDwordOut(kMaxConnectionsPerServer, lpBuffer, lpdwBufferLength);
        case INTERNET_OPTION_MAX_CONNS_PER_1_0_SERVER:
            return CopyDwordOut(kMaxConnectionsPer1_0Server, lpBuffer, lpdwBufferLength);
        default:
            SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
            return FALSE;
        }
    }
    auto handle = LookupHandle(hInternet);
    if (handle == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return handle->QueryOption(dwOption, lpBuffer, lpdwBufferLength);
}

BOOL InternetGetLastResponseInfo(LPDWORD lpdwError, LPSTR lpszBuffer, LPDWORD lpdwBufferLength)
{
    if (lpdwError != nullptr)
        *lpdwError = t_lastResponseCode;
    return CopyTextOut(t_lastResponseText, lpszBuffer, lpdwBufferLength);
}
