// The copies the save writes beside its pages ("SAV<hex>.tmp"), and the mark that tells a copy a
// save left behind (the program was killed, the machine stopped) from one a save is still
// writing, in this program or in another that shares the site's folder. A copy that carries its
// mark also has a signed name, whose digits check themselves: it is told for the save's own
// wherever the site is copied, also by a tool that leaves the marks behind.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

// A new empty file "<prefix><hex>.tmp" in the folder, readable by its owner only; its open
// descriptor, or -1 with errno. Names are only bound by the system's own path limit.
int CreateTempFileIn(const CString& strFolder, LPCTSTR lpszPrefix, CString& strPath);

// A new copy for a page of the folder, open for reading and writing, readable by its owner only.
// It carries the mark of this process before it bears a name a sweep looks at, so that a save
// killed at any moment leaves no copy that cannot be told for a left one. Its descriptor, or -1
// with errno; strPath gets its path. Where the process cannot be told (no /proc) or the file
// system keeps no marks, the copy is unmarked, and no sweep ever takes it.
int CreateSaveCopy(const CString& strFolder, CString& strPath);

// Notes in the copy's mark the backup name the page (a file of the copy's folder) is about to
// get as a second name of its old file. A save stopped before the page is replaced leaves that
// name naming the page itself; the sweep that removes the left copy takes the name back.
void NoteSaveCopyBackup(int fdCopy, const CString& strPageName, const CString& strBackupName);

// Takes the copy's mark off the file that has taken a page's place.
void UnmarkSaveCopy(const CString& strPath);

// Removes from the folder the copies that saves which never ended left there, and only those:
// files of the copies' names that carry the mark, made by a process known to be gone, and files
// of signed names that have lost their mark on the way (a copy of the site). A process that
// cannot be looked at (another machine, another process namespace, a /proc that hides it or
// cannot be read) may still be saving: its copies stay. The count removed.
UINT RemoveLeftSaveCopiesIn(const CString& strFolder);
