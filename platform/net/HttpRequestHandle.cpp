#include "platform/net/HttpRequestHandle.h"

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

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string HeaderName(const std::string& line)
{
    size_t colon = line.find(':');
    std::string name = line.substr(0, colon);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.pop_back();
    return name;
}

std::string HeaderValue(const std::string& line)
{
    size_t colon = line.find(':');
    if (colon == std::string::npos)
        return std::string();
    size_t start = line.find_first_not_of(" \t", colon + 1);
    if (start == std::string::npos)
        return std::string();
    std::string value = line.substr(start);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.pop_back();
    return value;
}

// The header that a query level names, or null for the levels that are no header.
const char* HeaderForLevel(DWORD dwLevel)
{
    switch (dwLevel) {
    case HTTP_QUERY_CONTENT_TYPE: return "Content-Type";
    case HTTP_QUERY_CONTENT_LENGTH: return "Content-Length";
    case HTTP_QUERY_DATE: return "Date";
    case HTTP_QUERY_EXPIRES: return "Expires";
    case HTTP_QUERY_LAST_MODIFIED: return "Last-Modified";
    case HTTP_QUERY_CONTENT_ENCODING: return "Content-Encoding";
    case HTTP_QUERY_LOCATION: return "Location";
    case HTTP_QUERY_SERVER: return "Server";
    case HTTP_QUERY_WWW_AUTHENTICATE: return "WWW-Authenticate";
    case HTTP_QUERY_PROXY_AUTHENTICATE: return "Proxy-Authenticate";
    case HTTP_QUERY_CONTENT_BASE: return "Content-Base";
    case HTTP_QUERY_CONTENT_LOCATION: return "Content-Location";
    default: return nullptr;
    }
}

// Splits CRLF- or LF-separated header text into lines without their ends.
std::vector<std::string> SplitLines(const char* text, size_t nLength)
{
    std::vector<std::string> lines;
    std::string current;
    for (size_t i = 0; i < nLength; ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (!current.empty())
                lines.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        lines.push_back(std::move(current));
    return lines;
}

int MonthFromName(std::string_view token)
{
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    if (token.size() < 3)
        return 0;
    for (int i = 0; i < 12; ++i)
        if (EqualsNoCase(token.substr(0, 3), kMonths[i]))
            return i + 1;
    return 0;
}

} // namespace

bool ParseHttpDate(const std::string& text, SYSTEMTIME& st)
{
    int nYear = -1, nMonth = 0, nDay = -1, nHour = -1, nMinute = -1, nSecond = -1;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t start = text.find_first_not_of(" ,-\t", pos);
        if (start == std::string::npos)
            break;
        size_t end = text.find_first_of(" ,-\t", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string token = text.substr(start, end - start);
        pos = end;
        if (token.find(':') != std::string::npos) {
            if (std::sscanf(token.c_str(), "%d:%d:%d", &nHour, &nMinute, &nSecond) != 3)
                return false;
        } else if (std::isdigit(static_cast<unsigned char>(token[0]))) {
            if (!std::all_of(token.begin(), token.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })
                || token.size() > 4)
                return false;
            int n = std::atoi(token.c_str());
            if (nDay < 0 && token.size() <= 2 && n >= 1 && n <= 31 && (nMonth != 0 || nYear < 0))
                nDay = n;
            else if (nYear < 0)
                nYear = token.size() <= 2 ? (n >= 70 ? 1900 + n : 2000 + n) : n;
            else
                return false;
        } else if (int m = MonthFromName(token); m != 0 && nMonth == 0 && token.size() <= 9) {
            nMonth = m;
        }
        // Weekday names and the zone ("GMT") carry nothing we need.
    }
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (nYear < 1601 || nYear > 30827 || nMonth == 0 || nDay < 1 || nHour < 0 || nHour > 23 || nMinute < 0
        || nMinute > 59 || nSecond < 0 || nSecond > 60)
        return false;
    const bool bLeap = (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
    if (nDay > kDays[nMonth - 1] + (nMonth == 2 && bLeap ? 1 : 0))
        return false;
    // Days since 1970-01-01 (a Thursday) by the civil calendar.
    const int y = nYear - (nMonth <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (nMonth + (nMonth > 2 ? -3 : 9)) + 2) / 5 + nDay - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long days = static_cast<long long>(era) * 146097 + doe - 719468;
    st.wYear = static_cast<WORD>(nYear);
    st.wMonth = static_cast<WORD>(nMonth);
    st.wDay = static_cast<WORD>(nDay);
    st.wDayOfWeek = static_cast<WORD>(((days % 7) + 11) % 7);
    st.wHour = static_cast<WORD>(nHour);
    st.wMinute = static_cast<WORD>(nMinute);
    st.wSecond = static_cast<WORD>(std::min(nSecond, 59));
    st.wMilliseconds = 0;
    return true;
}

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
    std::vector<std::string> headers = m_headers;
    if (lpszHeaders != nullptr) {
        if (nHeadersLength == static_cast<size_t>(-1))
            nHeadersLength = std::strlen(lpszHeaders);
        for (std::string& line : SplitLines(lpszHeaders, nHeadersLength))
            headers.push_back(std::move(line));
    }
    const DWORD dwRetries = ResolveDword(&OptionValues::connectRetries, 0);
    DWORD dwSecurity = m_dwSecurityFlags;
    DWORD dwError = 0;
    for (DWORD attempt = 0;; ++attempt) {
        dwError = SendOnce(headers, lpOptional, dwOptionalLength, dwSecurity);
        if (dwError == ERROR_INTERNET_CANNOT_CONNECT && attempt < dwRetries && !IsAborted())
            continue;
        // FIXME: the transfer library cannot pass over a bad date alone, so a certificate whose
        // only fault is its date, with that fault to be ignored, is taken without checking its
        // chain at all.
        if (dwError == ERROR_INTERNET_SEC_CERT_DATE_INVALID && (dwSecurity & SECURITY_FLAG_IGNORE_CERT_DATE_INVALID)
            && !(dwSecurity & SECURITY_FLAG_IGNORE_UNKNOWN_CA)) {
            dwSecurity |= SECURITY_FLAG_IGNORE_UNKNOWN_CA;
            continue;
        }
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
    const std::string proxy = session.ProxyFor(m_strAbsoluteUrl.rfind("ftp:", 0) == 0 ? "ftp" : (Secure() ? "https" : "http"),
                                               Connection().Server());
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

    // Certificates.
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, (dwSecurityFlags & SECURITY_FLAG_IGNORE_UNKNOWN_CA) ? 0L : 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, (dwSecurityFlags & SECURITY_FLAG_IGNORE_CERT_CN_INVALID) ? 0L : 2L);

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
    const std::vector<std::string> lines = bRequest ? RequestHeaderLines() : m_pTransfer->HeaderLines();
    const DWORD dwIndex = lpdwIndex != nullptr ? *lpdwIndex : 0;
    std::string value;
    bool bFound = false;

    // The first line: "HTTP/1.1 200 OK" for a reply, "GET /x HTTP/1.1" for a request.
    const std::string& first = lines.front();
    const size_t sp1 = first.find(' ');
    const size_t sp2 = sp1 == std::string::npos ? std::string::npos : first.find(' ', sp1 + 1);
    switch (dwLevel) {
    case HTTP_QUERY_VERSION:
        value = bRequest ? (sp2 == std::string::npos ? std::string() : first.substr(sp2 + 1)) : first.substr(0, sp1);
        bFound = dwIndex == 0 && !value.empty();
        break;
    case HTTP_QUERY_STATUS_CODE:
        if (!bRequest && sp1 != std::string::npos) {
            value = first.substr(sp1 + 1, sp2 == std::string::npos ? std::string::npos : sp2 - sp1 - 1);
            bFound = dwIndex == 0;
        }
        break;
    case HTTP_QUERY_STATUS_TEXT:
        if (!bRequest && sp1 != std::string::npos) {
            value = sp2 == std::string::npos ? std::string() : first.substr(sp2 + 1);
            bFound = dwIndex == 0;
        }
        break;
    case HTTP_QUERY_REQUEST_METHOD:
        value = m_strVerb;
        bFound = dwIndex == 0;
        break;
    case HTTP_QUERY_RAW_HEADERS_CRLF:
        for (const std::string& line : lines)
            value += line + "\r\n";
        value += "\r\n";
        bFound = dwIndex == 0;
        break;
    case HTTP_QUERY_RAW_HEADERS:
        for (const std::string& line : lines)
            value.append(line).push_back('\0');
        bFound = dwIndex == 0;
        break;
    default: {
        std::string name;
        if (dwLevel == HTTP_QUERY_CUSTOM) {
            if (lpBuffer == nullptr) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return FALSE;
            }
            name.assign(static_cast<const char*>(lpBuffer), strnlen(static_cast<const char*>(lpBuffer), *lpdwBufferLength));
        } else if (const char* header = HeaderForLevel(dwLevel)) {
            name = header;
        } else {
            SetLastError(ERROR_HTTP_INVALID_QUERY_REQUEST);
            return FALSE;
        }
        DWORD dwSeen = 0;
        for (size_t i = 1; i < lines.size(); ++i) {
            if (EqualsNoCase(HeaderName(lines[i]), name) && dwSeen++ == dwIndex) {
                value = HeaderValue(lines[i]);
                bFound = true;
                break;
            }
        }
        break;
    }
    }
    if (!bFound) {
        SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
        return FALSE;
    }

    BOOL bResult;
    if (dwInfoLevel & HTTP_QUERY_FLAG_NUMBER) {
        char* end = nullptr;
        const unsigned long n = std::strtoul(value.c_str(), &end, 10);
        if (value.empty() || end == value.c_str()) {
            SetLastError(ERROR_HTTP_INVALID_HEADER);
            return FALSE;
        }
        bResult = CopyDwordOut(static_cast<DWORD>(std::min<unsigned long>(n, 0xFFFFFFFFul)), lpBuffer, lpdwBufferLength);
    } else if (dwInfoLevel & HTTP_QUERY_FLAG_SYSTEMTIME) {
        SYSTEMTIME st{};
        if (!ParseHttpDate(value, st)) {
            SetLastError(ERROR_HTTP_INVALID_HEADER);
            return FALSE;
        }
        if (lpBuffer == nullptr || *lpdwBufferLength < sizeof(SYSTEMTIME)) {
            *lpdwBufferLength = sizeof(SYSTEMTIME);
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        std::memcpy(lpBuffer, &st, sizeof st);
        *lpdwBufferLength = sizeof(SYSTEMTIME);
        bResult = TRUE;
    } else {
        bResult = CopyTextOut(value, lpBuffer, lpdwBufferLength);
    }
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
