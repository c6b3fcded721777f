// Turns a local path into the file URL that the fetch engine is given for it.
#pragma once

#include "platform/core/CString.h"

// In place: "/abs/path" becomes "file:///abs/path" with every character that a URL path may not
// hold as it is (blanks, "%", "#", "?", ";", "+", "~", "|", bytes from 0x80 on and the like)
// written as "%XX"; a relative path is taken from the current folder first. A path that ends in
// "/", or names an existing folder, gets "/" and the options record's index file name. Paths
// written with a drive ("c:\web\a.htm") or as "\\server\share\..." keep their old forms:
// backslashes become "/", the drive's ":" becomes "|", and "file:///" (drive) or "file:"
// (server) goes in front.
void PathToFileUrl(CString& strPath);
