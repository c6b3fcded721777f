// The form of a path that a message box shows: whole when short, its middle left out when long.
#pragma once

#include "platform/core/CString.h"

// A path short enough to be read in a box: its start and its end, the middle left out. A path
// of thousands of characters would fill the screen, or be cut where its end, the file's own
// name, stands. A character of several bytes is never cut.
CString ShortenedPath(const CString& strPath);
