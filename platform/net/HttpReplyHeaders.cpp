#include "platform/net/HttpReplyHeaders.h"

#include "platform/net/InternetHandle.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vostrel::net {

namespace {

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

bool AddReplyHeaderLine(std::vector<std::string>& lines, const std::string& line)
{
    if (line.rfind("HTTP/", 0) == 0) {
        lines.clear();
        lines.push_back(line);
        return false;
    }
    if (lines.empty())
        return false;
    if (line.empty())
        return true;
    if (line[0] == ' ' || line[0] == '\t') {
        // A folded line goes on the header before it; one of blanks only adds nothing.
        const size_t nText = line.find_first_not_of(" \t");
        if (nText != std::string::npos && lines.size() > 1)
            lines.back() += " " + line.substr(nText);
        return false;
    }
    lines.push_back(line);
    return false;
}

DWORD FindHeaderValue(const std::vector<std::string>& lines, DWORD dwInfoLevel, const std::string& customName,
                      const std::string& verb, DWORD dwIndex, std::string& value)
{
    const DWORD dwLevel = dwInfoLevel & HTTP_QUERY_HEADER_MASK;
    const bool bRequest = (dwInfoLevel & HTTP_QUERY_FLAG_REQUEST_HEADERS) != 0;
    value.clear();
    if (lines.empty())
        return ERROR_HTTP_HEADER_NOT_FOUND;
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
        value = verb;
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
            name = customName;
        } else if (const char* header = HeaderForLevel(dwLevel)) {
            name = header;
        } else {
            return ERROR_HTTP_INVALID_QUERY_REQUEST;
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
    return bFound ? 0 : ERROR_HTTP_HEADER_NOT_FOUND;
}

BOOL CopyHeaderValueOut(const std::string& value, DWORD dwInfoLevel, LPVOID lpBuffer, LPDWORD lpdwBufferLength)
{
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
    return bResult;
}

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

} // namespace vostrel::net
