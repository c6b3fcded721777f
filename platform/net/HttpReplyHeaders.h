// HttpReplyHeaders: reading HTTP header text, apart from any transfer: collecting the lines of
// a reply as they arrive, finding the value a query level names, handing it out as text, number
// or date, and reading HTTP dates. Internal to the layer; the request handle and the transfer
// use it, and a fuzz target drives it with arbitrary bytes.
#pragma once

#include "platform/net/WinInet.h"

#include <string>
#include <string_view>
#include <vector>

namespace vostrel::net {

bool EqualsNoCase(std::string_view a, std::string_view b);
// The name of a header line (before its ":", trailing blanks cut) and its value (after it,
// blanks cut at both ends).
std::string HeaderName(const std::string& line);
std::string HeaderValue(const std::string& line);
// Splits CRLF- or LF-separated header text into lines without their ends; empty lines go.
std::vector<std::string> SplitLines(const char* text, size_t nLength);

// Adds one received header line, its line end cut, to the lines of a reply: a status line
// ("HTTP/...") starts the block afresh, a line starting with a blank continues the header before
// it, and lines before any status line are dropped. True for the empty line that ends a block.
bool AddReplyHeaderLine(std::vector<std::string>& lines, const std::string& line);

// The value that a query level (HTTP_QUERY_* with its flags) names in header lines whose first
// line is the status line (or, with HTTP_QUERY_FLAG_REQUEST_HEADERS, the request line);
// customName serves HTTP_QUERY_CUSTOM and verb HTTP_QUERY_REQUEST_METHOD. 0, or the error:
// ERROR_HTTP_HEADER_NOT_FOUND, ERROR_HTTP_INVALID_QUERY_REQUEST.
DWORD FindHeaderValue(const std::vector<std::string>& lines, DWORD dwInfoLevel, const std::string& customName,
                      const std::string& verb, DWORD dwIndex, std::string& value);
// Hands a found value out as the level's flags ask: a number, a SYSTEMTIME or the text. FALSE
// with the last error set when it does not read as asked or does not fit.
BOOL CopyHeaderValueOut(const std::string& value, DWORD dwInfoLevel, LPVOID lpBuffer, LPDWORD lpdwBufferLength);

// Reads a date header text ("Sun, 06 Nov 1994 08:49:37 GMT" and the two older forms).
bool ParseHttpDate(const std::string& text, SYSTEMTIME& st);

} // namespace vostrel::net
