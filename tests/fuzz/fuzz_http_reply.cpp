// Feeds arbitrary bytes to the HTTP reply readers: the lines are collected as the transfer
// library hands them over, every query level is asked for with every flag and a few indexes and
// handed out as text, number or date, and every line is read as an HTTP date. Nothing may
// crash, and what is found must be what a caller can trust.
#include "platform/net/HttpReplyHeaders.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace vostrel::net;

constexpr DWORD kLevels[] = {HTTP_QUERY_VERSION, HTTP_QUERY_STATUS_CODE, HTTP_QUERY_STATUS_TEXT,
    HTTP_QUERY_REQUEST_METHOD, HTTP_QUERY_RAW_HEADERS_CRLF, HTTP_QUERY_RAW_HEADERS, HTTP_QUERY_CONTENT_TYPE,
    HTTP_QUERY_CONTENT_LENGTH, HTTP_QUERY_DATE, HTTP_QUERY_EXPIRES, HTTP_QUERY_LAST_MODIFIED, HTTP_QUERY_LOCATION,
    HTTP_QUERY_CONTENT_BASE, HTTP_QUERY_WWW_AUTHENTICATE, HTTP_QUERY_CUSTOM, 9999};

constexpr DWORD kFlags[] = {0, HTTP_QUERY_FLAG_NUMBER, HTTP_QUERY_FLAG_SYSTEMTIME, HTTP_QUERY_FLAG_REQUEST_HEADERS};

void CheckDate(const SYSTEMTIME& st)
{
    if (st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 || st.wDay > 31 || st.wHour > 23 || st.wMinute > 59
        || st.wSecond > 59 || st.wDayOfWeek > 6 || st.wYear < 1601)
        std::abort();
}

void Query(const std::vector<std::string>& lines, const std::string& custom)
{
    for (DWORD dwLevel : kLevels) {
        for (DWORD dwFlags : kFlags) {
            for (DWORD dwIndex = 0; dwIndex < 3; ++dwIndex) {
                std::string value;
                const DWORD dwError = FindHeaderValue(lines, dwLevel | dwFlags, custom, "GET", dwIndex, value);
                if (dwError != 0) {
                    if (dwError != ERROR_HTTP_HEADER_NOT_FOUND && dwError != ERROR_HTTP_INVALID_QUERY_REQUEST)
                        std::abort();
                    continue;
                }
                // One header's value is one line of text (a stray CR inside a line is the
                // server's own byte).
                if (dwLevel != HTTP_QUERY_RAW_HEADERS_CRLF && dwLevel != HTTP_QUERY_RAW_HEADERS
                    && value.find('\n') != std::string::npos)
                    std::abort();
                alignas(SYSTEMTIME) char buffer[64] = {};
                DWORD dwLength = sizeof buffer;
                if (!CopyHeaderValueOut(value, dwLevel | dwFlags, buffer, &dwLength))
                    continue;
                if ((dwFlags & HTTP_QUERY_FLAG_NUMBER) != 0 && dwLength != sizeof(DWORD))
                    std::abort();
                if ((dwFlags & HTTP_QUERY_FLAG_SYSTEMTIME) != 0) {
                    SYSTEMTIME st;
                    std::memcpy(&st, buffer, sizeof st);
                    CheckDate(st);
                }
                if (dwFlags == 0 && (dwLength != value.size() || std::memcmp(buffer, value.data(), dwLength) != 0))
                    std::abort();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 16)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);

    // The reply as the transfer library hands it over: one line at a time, its end cut.
    std::vector<std::string> lines;
    size_t nStart = 0;
    while (nStart <= text.size()) {
        size_t nEnd = text.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = text.size();
        std::string line = text.substr(nStart, nEnd - nStart);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        const bool bEnd = AddReplyHeaderLine(lines, line);
        if (bEnd && (lines.empty() || !line.empty()))
            std::abort();
        for (size_t i = 1; i < lines.size(); ++i) {
            if (lines[i].empty())
                std::abort();
        }
        if (!lines.empty() && lines.front().rfind("HTTP/", 0) != 0)
            std::abort();

        SYSTEMTIME st {};
        if (ParseHttpDate(line, st))
            CheckDate(st);
        nStart = nEnd + 1;
    }
    Query(lines, lines.size() > 1 ? HeaderName(lines[1]) : std::string("X-Any"));

    // The same text as request headers written by a caller.
    for (const std::string& line : SplitLines(text.data(), text.size())) {
        if (line.empty() || line.find_first_of("\r\n") != std::string::npos)
            std::abort();
    }
    return 0;
}
