// Moving files to the desktop's trash, where the user can restore them (the "recycle bin").
//
// A file goes to the trash of its own file system: the home trash
// "$XDG_DATA_HOME/Trash" (default "~/.local/share/Trash") when it lives on the same file system,
// else "<top folder>/.Trash/<uid>" (when that shared folder exists, is sticky and not a link) or
// "<top folder>/.Trash-<uid>". When none of these can be used, a plain file is copied into the
// home trash and the original removed. Each entry is "files/<name>" with
// "info/<name>.trashinfo" holding "[Trash Info]", "Path=" (the absolute path, percent-encoded)
// and "DeletionDate=" (local time, YYYY-MM-DDThh:mm:ss); a name already taken gets ".2", ".3"...
// before its extension.
#pragma once

#include "platform/core/Types.h"
#include "platform/core/WinError.h"

#include <string>

struct TrashResult {
    DWORD error = ERROR_SUCCESS; // the platform code of the failure
    std::string message;         // what failed, for logs; empty on success
    std::string trashedPath;     // where the file now is
    std::string infoPath;        // its .trashinfo file

    bool Succeeded() const { return error == ERROR_SUCCESS; }
};

// Moves a file, link or folder to the trash. Callable from any thread.
[[nodiscard]] TrashResult MoveToTrash(const std::string& path);

// Percent-encodes a path for a "Path=" line: every byte but letters, digits, "-", ".", "_", "~"
// and "/".
std::string EncodeTrashPath(const std::string& path);
