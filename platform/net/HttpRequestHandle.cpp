#include "platform/net/HttpRequestHandle.h"

#include "platform/net/HttpReplyHeaders.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

namespace vostrel::net {

namespace {

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

} // namespace

HttpRequestHandle::HttpRequestHandle(const std::shared_ptr<ConnectionHandle>& connection, LPCSTR lpszVerb,
                                     LPCSTR lpszObject, LPCSTR lpszVersion, LPCSTR lpszReferer,
                                     LPCSTR* lplpszAcceptTypes, DWORD dwFlags, DWORD_PTR dwContext,
                                     LPCSTR lpszAbsoluteUrl)
    : InternetHandle(HandleKind::HttpRequest, connection, dwContext),
      m_strVerb(lpszVerb != nullptr && *lpszVerb != '\0' ? lpszVerb : "GET"),
      m_strObject(lpszObject != nullptr && *lpszObject != '\0' ? lpszObject : "/"),
      m_strVersion(lpszVersion != nullptr && *lpszVersion != '\0' ? lpszVersion : "HTTP/1.1"),
      m_strAbsoluteUrl(lpszAbsoluteUrl != nullptr ? lpszAbsoluteUrl : ""),
      m_dwFlags(dwFlags | connection->Flags())
{
    if (m_strObject.front() != '/' && m_strAbsoluteUrl.empty())
        m_strObject.insert(0, "/");
    if (lpszReferer != nullptr && *lpszReferer != '\0')
        m_headers.push_back(std::string("Referer: ") + lpszReferer);
    if (lplpszAcceptTypes != nullptr && lplpszAcceptTypes[0] != nullptr) {
        std::string accept = "Accept: ";
        for (LPCSTR* p = lplpszAcceptTypes; *p != nullptr; ++p) {
            if (p != lplpszAcceptTypes)
                accept += ", ";
            accept += *p;
        }
        m_headers.push_back(accept);
    }
    if (m_dwFlags & INTERNET_FLAG_IGNORE_CERT_CN_INVALID)
        m_dwSecurityFlags |= SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
    if (m_dwFlags & INTERNET_FLAG_IGNORE_CERT_DATE_INVALID)
        m_dwSecurityFlags |= SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
}

bool HttpRequestHandle::Secure() const
{
    return (m_dwFlags & INTERNET_FLAG_SECURE) != 0;
}

std::string HttpRequestHandle::ProxyScheme() const
{
    return m_strAbsoluteUrl.rfind("ftp:", 0) == 0 ? "ftp" : (Secure() ? "https" : "http");
}

std::string HttpRequestHandle::Url() const
{
    if (!m_strEffectiveUrl.empty())
        return m_strEffectiveUrl;
    if (!m_strAbsoluteUrl.empty())
        return m_strAbsoluteUrl;
    const ConnectionHandle& connection = Connection();
    std::string url = Secure() ? "https://" : "http://";
    url += connection.UrlHost();
    const INTERNET_PORT nDefault = Secure() ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    if (connection.Port() != INTERNET_INVALID_PORT_NUMBER && connection.Port() != nDefault)
        url += ":" + std::to_string(connection.Port());
    return url + EscapeUrlPath(m_strObject);
}

BOOL HttpRequestHandle::AddHeaders(const char* lpszHeaders, size_t nLength, DWORD dwModifiers)
{
    if (lpszHeaders == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (std::string& line : SplitLines(lpszHeaders, nLength)) {
        const std::string name = HeaderName(line);
        if (name.empty() || line.find(':') == std::string::npos) {
            SetLastError(ERROR_HTTP_INVALID_HEADER);
            return FALSE;
        }
        auto same = [&](const std::string& h) { return EqualsNoCase(HeaderName(h), name); };
        const bool bExists = std::any_of(m_headers.begin(), m_headers.end(), same);
        if ((dwModifiers & HTTP_ADDREQ_FLAG_ADD_IF_NEW) && bExists) {
            SetLastError(ERROR_HTTP_HEADER_ALREADY_EXISTS);
            return FALSE;
        }
        if (dwModifiers & HTTP_ADDREQ_FLAG_REPLACE) {
            std::erase_if(m_headers, same);
            if (HeaderValue(line).empty())
                continue; // replacing with nothing removes the header
        }
        m_headers.push_back(std::move(line));
    }
    return TRUE;
}

std::vector<std::string> HttpRequestHandle::RequestHeaderLines() const
{
    std::vector<std::string> lines;
    if (m_pTransfer != nullptr && !m_pTransfer->SentHeaders().empty()) {
        const std::string& sent = m_pTransfer->SentHeaders();
        return SplitLines(sent.data(), sent.size());
    }
    // Not sent yet: what will be sent, as far as it is known now.
    lines.push_back(m_strVerb + " " + EscapeUrlPath(m_strObject) + " " + m_strVersion);
    lines.push_back("Host: " + Connection().UrlHost());
    const SessionHandle& session = Connection().Session();
    if (!session.Agent().empty())
        lines.push_back("User-Agent: " + session.Agent());
    lines.insert(lines.end(), m_headers.begin(), m_headers.end());
    return lines;
}

BOOL HttpRequestHandle::Send(const char* lpszHeaders, size_t nHeadersLength, const void* lpOptional,
                             DWORD dwOptionalLength)
{
    m_strDetail.clear();
    if (IsAborted()) {
        SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
        return FALSE;
    }
    // A proxy that cannot carry the request stops it: it never goes round the proxy.
    if (std::string refusal = Connection().Session().ProxyRefusal(ProxyScheme(), Connection().Server(), false);
        !refusal.empty()) {
        m_bSent = false;
        m_strDetail = std::move(refusal);
        SetLastError(ERROR_INTERNET_INVALID_PROXY_REQUEST);
        return FALSE;
    }
    std::vector<std::string> headers = m_headers;
    if (lpszHeaders != nullptr) {
        if (nHeadersLength == static_cast<size_t>(-1))
            nHeadersLength = std::strlen(lpszHeaders);
        for (std::string& line : SplitLines(lpszHeaders, nHeadersLength))
            headers.push_back(std::move(line));
    }
    const DWORD dwRetries = ResolveDword(&OptionValues::connectRetries, 0);
    const DWORD dwSecurity = m_dwSecurityFlags;
    DWORD dwError = 0;
    for (DWORD attempt = 0;; ++attempt) {
        dwError = SendOnce(headers, lpOptional, dwOptionalLength, dwSecurity);
        if (dwError == ERROR_INTERNET_CANNOT_CONNECT && attempt < dwRetries && !IsAborted())
            continue;
        break;
    }
    if (dwError != 0) {
        m_bSent = false;
        m_strDetail = m_pTransfer != nullptr ? m_pTransfer->Detail() : std::string();
        SetLastError(dwError);
        return FALSE;
    }
    m_bSent = true;
    char* effective = nullptr;
    curl_easy_getinfo(m_pTransfer->Easy(), CURLINFO_EFFECTIVE_URL, &effective);
    long nRedirects = 0;
    curl_easy_getinfo(m_pTransfer->Easy(), CURLINFO_REDIRECT_COUNT, &nRedirects);
    m_strEffectiveUrl = effective != nullptr && nRedirects > 0 ? effective : "";
    return TRUE;
}

DWORD HttpRequestHandle::SendOnce(const std::vector<std::string>& headers, const void* lpOptional,
                                  DWORD dwOptionalLength, DWORD dwSecurityFlags)
{
    if (m_pTransfer == nullptr)
        m_pTransfer = std::make_unique<Transfer>(*this, Connection());
    m_pTransfer->Stop();
    m_strEffectiveUrl.clear();
    CURL* easy = m_pTransfer->Easy();
    const std::string url = Url();
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, m_strAbsoluteUrl.empty() ? "http,https" : "http,https,ftp");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");

    // Method and body.
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, nullptr);
    curl_easy_setopt(easy, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    const bool bBody = lpOptional != nullptr && dwOptionalLength > 0;
    if (m_strVerb == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (m_strVerb == "POST" || bBody) {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE, static_cast<long>(bBody ? dwOptionalLength : 0));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, bBody ? static_cast<const char*>(lpOptional) : "");
        if (m_strVerb != "POST")
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, m_strVerb.c_str());
    } else if (m_strVerb != "GET") {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, m_strVerb.c_str());
    }
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                     m_strVersion == "HTTP/1.0" ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);

    // Headers: ours, and no "Expect: 100-continue" wait before a body.
    Slist list;
    for (const std::string& line : headers)
        list.reset(curl_slist_append(list.release(), line.c_str()));
    list.reset(curl_slist_append(list.release(), "Expect:"));
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, list.get());
    const SessionHandle& session = Connection().Session();
    curl_easy_setopt(easy, CURLOPT_USERAGENT, session.Agent().empty() ? nullptr : session.Agent().c_str());

    // Redirects.
    const bool bFollow = (m_dwFlags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
    m_pTransfer->m_bFollowRedirects = bFollow;
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, bFollow ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);

    // Credentials: the request's, else the connection's, else the session's; never to a server
    // whose certificate goes unchecked, which may be anyone.
    const DWORD dwUnchecked = SECURITY_FLAG_IGNORE_REVOCATION | SECURITY_FLAG_IGNORE_UNKNOWN_CA
        | SECURITY_FLAG_IGNORE_WRONG_USAGE | SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
    const bool bUnverified = Secure() && (dwSecurityFlags & dwUnchecked) != 0;
    const std::string user = ResolveString(&OptionValues::userName).value_or("");
    const std::string password = ResolveString(&OptionValues::password).value_or("");
    if ((!user.empty() || !password.empty()) && !bUnverified) {
        curl_easy_setopt(easy, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
        curl_easy_setopt(easy, CURLOPT_USERNAME, user.c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, password.c_str());
    } else {
        curl_easy_setopt(easy, CURLOPT_USERNAME, nullptr);
        curl_easy_setopt(easy, CURLOPT_PASSWORD, nullptr);
    }

    // Proxy: chosen here, so the environment's settings never apply behind the caller's back.
    const std::string proxy = session.ProxyFor(ProxyScheme(), Connection().Server());
    curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
    curl_easy_setopt(easy, CURLOPT_NOPROXY, proxy.empty() ? nullptr : "");
    const std::string proxyUser = ResolveString(&OptionValues::proxyUserName).value_or("");
    const std::string proxyPassword = ResolveString(&OptionValues::proxyPassword).value_or("");
    if (!proxy.empty() && (!proxyUser.empty() || !proxyPassword.empty())) {
        curl_easy_setopt(easy, CURLOPT_PROXYAUTH, CURLAUTH_BASIC);
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxyUser.c_str());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxyPassword.c_str());
    } else {
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, nullptr);
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, nullptr);
    }

    // Certificates. A bad date to be ignored is passed over alone: the chain, the signatures
    // and the name are checked all the same.
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, (dwSecurityFlags & SECURITY_FLAG_IGNORE_UNKNOWN_CA) ? 0L : 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, (dwSecurityFlags & SECURITY_FLAG_IGNORE_CERT_CN_INVALID) ? 0L : 2L);
    m_pTransfer->IgnoreCertificateDates(Secure() && (dwSecurityFlags & SECURITY_FLAG_IGNORE_CERT_DATE_INVALID) != 0
                                        && (dwSecurityFlags & SECURITY_FLAG_IGNORE_UNKNOWN_CA) == 0);

    if ((m_dwFlags & INTERNET_FLAG_NO_COOKIES) == 0)
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");

    const DWORD dwReceive = ResolveDword(&OptionValues::receiveTimeout, kDefaultReceiveTimeout);
    const DWORD dwSend = ResolveDword(&OptionValues::sendTimeout, kDefaultReceiveTimeout);
    m_pTransfer->Start(std::max(dwReceive, bBody ? dwSend : 0u),
                       ResolveDword(&OptionValues::connectTimeout, kDefaultConnectTimeout));
    DWORD dwError = m_pTransfer->PumpHeaders();
    // The header list must outlive the transfer's use of it, which ends with the headers sent.
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
    if (dwError == 0 && m_pTransfer->HeaderLines().empty())
        dwError = ERROR_HTTP_INVALID_SERVER_RESPONSE;
    return dwError;
}

BOOL HttpRequestHandle::Read(void* lpBuffer, DWORD dwCount, LPDWORD lpdwRead)
{
    if (lpdwRead != nullptr)
        *lpdwRead = 0;
    if (!m_bSent || m_pTransfer == nullptr) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
        return FALSE;
    }
    return m_pTransfer->ReadBody(lpBuffer, dwCount, lpdwRead, m_strDetail);
}

BOOL HttpRequestHandle::QueryDataAvailable(LPDWORD lpdwAvailable)
{
    if (!m_bSent || m_pTransfer == nullptr) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
        return FALSE;
    }
    return m_pTransfer->QueryAvailable(lpdwAvailable);
}

BOOL HttpRequestHandle::QueryInfo(DWORD dwInfoLevel, LPVOID lpBuffer, LPDWORD lpdwBufferLength, LPDWORD lpdwIndex)
{
    const DWORD dwLevel = dwInfoLevel & HTTP_QUERY_HEADER_MASK;
    const bool bRequest = (dwInfoLevel & HTTP_QUERY_FLAG_REQUEST_HEADERS) != 0;
    if (lpdwBufferLength == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!bRequest && (!m_bSent || m_pTransfer == nullptr || m_pTransfer->HeaderLines().empty())) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
        return FALSE;
    }
    std::string name;
    if (dwLevel == HTTP_QUERY_CUSTOM) {
        if (lpBuffer == nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        name.assign(static_cast<const char*>(lpBuffer), strnlen(static_cast<const char*>(lpBuffer), *lpdwBufferLength));
    }
    const std::vector<std::string> lines = bRequest ? RequestHeaderLines() : m_pTransfer->HeaderLines();
    std::string value;
    if (const DWORD dwError = FindHeaderValue(lines, dwInfoLevel, name, m_strVerb, lpdwIndex != nullptr ? *lpdwIndex : 0,
            value)) {
        SetLastError(dwError);
        return FALSE;
    }
    const BOOL bResult = CopyHeaderValueOut(value, dwInfoLevel, lpBuffer, lpdwBufferLength);
    if (bResult && lpdwIndex != nullptr)
        ++*lpdwIndex;
    return bResult;
}

BOOL HttpRequestHandle::SetOption(DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength)
{
    if (dwOption == INTERNET_OPTION_SECURITY_FLAGS) {
        if (lpBuffer == nullptr || dwBufferLength < sizeof(DWORD)) {
            SetLastError(ERROR_INTERNET_BAD_OPTION_LENGTH);
            return FALSE;
        }
        std::memcpy(&m_dwSecurityFlags, lpBuffer, sizeof(DWORD));
        return TRUE;
    }
    if (dwOption == INTERNET_OPTION_SECURITY_SELECT_CLIENT_CERT) {
        // No client certificates are kept, so there is none to choose.
        SetLastError(ERROR_INTERNET_INVALID_OPERATION);
        return FALSE;
    }
    return InternetHandle::SetOption(dwOption, lpBuffer, dwBufferLength);
}

BOOL HttpRequestHandle::QueryOption(DWORD dwOption, LPVOID lpBuffer, LPDWORD lpdwBufferLength)
{
    switch (dwOption) {
    case INTERNET_OPTION_SECURITY_FLAGS:
        return CopyDwordOut(m_dwSecurityFlags | (Secure() ? SECURITY_FLAG_SECURE : 0u), lpBuffer, lpdwBufferLength);
    case INTERNET_OPTION_URL:
        return CopyTextOut(Url(), lpBuffer, lpdwBufferLength);
    default:
        return InternetHandle::QueryOption(dwOption, lpBuffer, lpdwBufferLength);
    }
}

HINTERNET ConnectHttp(HINTERNET hSession, LPCSTR lpszServer, INTERNET_PORT nPort, LPCSTR lpszUserName,
                      LPCSTR lpszPassword, DWORD dwFlags, DWORD_PTR dwContext)
{
    auto session = LookupHandleAs<SessionHandle>(hSession);
    if (session == nullptr || session->IsAborted()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (lpszServer == nullptr || *lpszServer == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto connection = std::make_shared<ConnectionHandle>(HandleKind::HttpConnection, session, lpszServer, nPort,
                                                         dwFlags, dwContext);
    if (lpszUserName != nullptr && *lpszUserName != '\0')
        connection->SetOption(INTERNET_OPTION_USERNAME, const_cast<char*>(lpszUserName), 0);
    if (lpszPassword != nullptr && *lpszPassword != '\0')
        connection->SetOption(INTERNET_OPTION_PASSWORD, const_cast<char*>(lpszPassword), 0);
    session->AddChild(connection);
    return RegisterHandle(connection);
}

HINTERNET OpenHttpRequest(HINTERNET hConnect, LPCSTR lpszVerb, LPCSTR lpszObject, LPCSTR lpszVersion,
                          LPCSTR lpszReferer, LPCSTR* lplpszAcceptTypes, DWORD dwFlags, DWORD_PTR dwContext)
{
    auto connection = LookupHandleAs<ConnectionHandle>(hConnect);
    if (connection == nullptr || connection->IsAborted()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (connection->Kind() != HandleKind::HttpConnection) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return nullptr;
    }
    auto request = std::make_shared<HttpRequestHandle>(connection, lpszVerb, lpszObject, lpszVersion, lpszReferer,
                                                       lplpszAcceptTypes, dwFlags, dwContext);
    connection->AddChild(request);
    return RegisterHandle(request);
}

} // namespace vostrel::net

using namespace vostrel::net;

BOOL HttpQueryInfo(HINTERNET hRequest, DWORD dwInfoLevel, LPVOID lpBuffer, LPDWORD lpdwBufferLength, LPDWORD lpdwIndex)
{
    auto request = LookupHandleAs<HttpRequestHandle>(hRequest);
    if (request == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return request->QueryInfo(dwInfoLevel, lpBuffer, lpdwBufferLength, lpdwIndex);
}
