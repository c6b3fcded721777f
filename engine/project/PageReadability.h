// What keeps a page of the site from being read as a page, told in the user's words: a path that
// names no regular file, or a file whose bytes are no HTML text this program reads and writes.
#pragma once

#include "platform/core/CString.h"

#include <string_view>
#include <sys/types.h>

// How much of a page's start the looks below need.
inline constexpr size_t kPageSniffBytes = 4096;

// The largest page the scan reads: 2 GB, whose sizes and offsets every reader of a page counts
// in an int. A page is read as it comes, in pieces, in the same few megabytes whatever its size;
// a larger one is left unread before a byte of it is read.
inline constexpr unsigned long long kLargestReadPage = 0x7FFFFFF0u;

// A size as the user reads it: "2.44 GB", "200 MB", "12 KB", "310 bytes".
CString PageSizeText(unsigned long long nBytes);

// Why a page of that size is left unread, naming its size and the largest page read.
CString TooLargePageText(unsigned long long nBytes);

// Why a file of that mode is no page ("It is a named pipe, not a file."); empty for a regular
// file and a folder.
CString NotAFileText(mode_t mode);

// The charset whose byte order mark the bytes begin with ("UTF-16", "UTF-32"); null for any
// other start.
const char* MarkedWideCharset(std::string_view start);

// Why a page that starts with these bytes is left alone: it begins with the byte order mark of
// UTF-16 or UTF-32, charsets this program neither reads nor writes. Empty for any other start.
CString UnwrittenCharsetText(std::string_view start);

// Why a page in that charset ("UTF-16") is left alone, as a sentence and as a clause.
CString WideCharsetText(const char* pszCharset);
CString WideCharsetReason(const char* pszCharset);

// Whether the start of a file holds bytes no text page holds: NUL and the control characters
// other than tabs, line ends, form feeds and the escape that some Japanese charsets use.
bool LooksBinary(std::string_view start);

// The text told for a page that holds binary data rather than HTML, as a sentence and as a
// clause.
CString BinaryPageText();
CString BinaryPageReason();

// The text told for a page whose file holds nothing (emptied since it was written, or since the
// scan): it has no HTML start tag because it has no text at all.
CString EmptyPageText();
