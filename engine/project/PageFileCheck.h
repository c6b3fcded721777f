// Which file a page's name leads to now, against the one the page was read from: the one look
// that the save and the preview both take at a page before they read it, so that neither writes
// into nor shows a file the user never saw, and so that the save can tell the user when another
// program changed the page since it was read.
#pragma once

#include "platform/core/CString.h"

#include <sys/stat.h>

class CPageNode;

enum class PageFileState {
    // No scan read the page: its file is not known.
    NotRead,
    // The file that was read, as it was read.
    AsRead,
    // The page's own file, to all appearances changed since it was read by another program:
    // appended to or edited in place, or saved anew under the page's name, its name leading where
    // it led. Size, time and inode are a first look: a touch changes them too, and a change whose
    // size and time were put back does not, so its bytes decide (CPageNode::IsReadBytes).
    ChangedBehind,
    // The name leads to another file now: a link put in the page's place or a folder's, or
    // another page's file.
    LeadsElsewhere,
};

// Opens the file the page's path leads to, for reading, without blocking (a page that has become
// a pipe must not hang its reader): the path itself unless it is a link, which is followed to the
// file it names. strFile gets the path of the file opened (the page's own, or the link's target),
// which is where a save writes. The descriptor, or -1 with errno.
int OpenPageFile(const CString& strPath, CString& strFile);

// The path an open file is reached by, every link followed; the opener's path, resolved, where
// the system does not tell it. Empty when neither can be had.
CString ResolvedPathOf(int fd, const CString& strOpenedBy);

// What the opened file is to the page (strPath, the page's full path, opened as OpenPageFile
// opens it).
PageFileState JudgePageFile(const CPageNode& page, const CString& strPath, int fd, const struct stat& file);

// Why a page whose name leads to another file is not saved: the save's line.
CString LeadsElsewhereLine();
// The same reason, without what the save does, for a caller that only shows the page.
CString LeadsElsewhereReason();
