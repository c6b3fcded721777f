// Folders of files written once for the whole test program and shared by the tests that read
// them, such as a site of a hundred thousand pages that several long-work tests scan: writing
// and removing that many files costs more than some of those tests take. A folder lives until
// the program ends. A test that left its files other than they were written (a save that went
// through, a backup made) has them written afresh for the next test that asks.
#pragma once

#include "tests/support/ScopedTempDir.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <system_error>
#include <utility>

namespace shared_folder {

// Every entry below the folder, with its size (files only) and its time of last change.
using Stamps = std::map<std::string, std::pair<uintmax_t, std::filesystem::file_time_type>>;

inline Stamps StampsOf(const std::string& folder)
{
    Stamps stamps;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        const bool bFile = it->is_regular_file(ec);
        stamps[it->path().string()] = {bFile ? it->file_size(ec) : 0, it->last_write_time(ec)};
    }
    return stamps;
}

// The folder of that name (a plain name, no '/'), holding what `write` put in it, written now
// unless an earlier test had it written and it is still as written.
inline const std::string& Get(const std::string& name, const std::function<void(const std::string&)>& write)
{
    struct Folder {
        std::string path;
        Stamps stamps;
    };
    struct Held {
        ScopedTempDir root;   // removed with everything in it as the program ends
        std::map<std::string, Folder> folders;
    };
    static Held held;
    Folder& folder = held.folders[name];
    if (!folder.path.empty() && StampsOf(folder.path) == folder.stamps)
        return folder.path;
    folder.path = held.root.File(name);
    std::error_code ec;
    std::filesystem::remove_all(folder.path, ec);
    std::filesystem::create_directories(folder.path, ec);
    write(folder.path);
    folder.stamps = StampsOf(folder.path);
    return folder.path;
}

}   // namespace shared_folder
