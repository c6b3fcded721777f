// The form of a long path that a message box or a menu shows: whole when short, its middle left
// out when long.
#pragma once

#include "platform/core/CString.h"

#include <cstddef>

// A path short enough to be read in a box: its start and its end, the middle left out. A path
// of thousands of characters would fill the screen, or be cut where its end, the file's own
// name, stands. nHead and nTail characters are kept; a character of several bytes is never cut.
CString ShortenedPath(const CString& strPath, size_t nHead = 80, size_t nTail = 80);
