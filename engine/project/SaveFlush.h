// SaveFlush: puts what a save writes on the disk a batch of pages at a time. A page's new text
// must be on the disk before its name is given to it, or a crash could leave the page empty or
// cut short; waiting for the disk once per page made a large site's save a matter of minutes.
// Where one flush of the file system is known to take every file and folder entry with it, the
// copies of a whole batch wait for one such flush; elsewhere each copy is flushed on its own.
#pragma once

#include "platform/core/CString.h"

#include <map>
#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

class SaveFlush {
public:
    // One copy of a batch: open, written whole, in the folder given. nError gets the errno of
    // the flush that failed for it, 0 once it is on the disk.
    struct Copy {
        int fd = -1;
        CString strFolder;
        int nError = 0;
    };

    SaveFlush() = default;
    SaveFlush(const SaveFlush&) = delete;
    SaveFlush& operator=(const SaveFlush&) = delete;

    // Puts the copies on the disk, with the entries made in their folders so far (their names,
    // the old pages' backups) and the new names of pages that took their copies' places before.
    // A failure is told for the copy it concerns alone.
    void FlushCopies(std::vector<Copy>& copies);
    // Notes a folder on the device in which a page has taken its copy's place: its new entry is
    // put on the disk with the next batch's flush of that file system, at the latest by
    // FlushReplaced.
    void NoteReplaced(const CString& strFolder, dev_t device);
    // After each batch (OfThisBatch): puts the noted folders on the disk where no flush of the
    // whole file system will take them with it. At the save's end (All): every one noted.
    enum class Replaced { OfThisBatch, All };
    void FlushReplaced(Replaced which);

private:
    // Whether one flush of the file system of the descriptor (syncfs) takes every file's bytes
    // and every folder entry with it: so for the local journalling file systems, not for network
    // or user-space ones, which may only pass the files' pages on.
    bool FlushesWhole(int fd, dev_t device);

    std::map<dev_t, bool> m_flushesWhole;
    // The folders whose new entries may not be on the disk yet, by device.
    std::map<dev_t, std::set<std::string>> m_replaced;
};
