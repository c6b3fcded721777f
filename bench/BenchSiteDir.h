// Where a benchmark makes the sites it reads: a folder of its own, named for it and the process,
// under $VOSTREL_BENCH_DIR, else $TMPDIR, else /tmp.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

inline std::filesystem::path BenchSiteDir(const std::string& name)
{
    const char* pszBase = std::getenv("VOSTREL_BENCH_DIR");
    if (pszBase == nullptr || *pszBase == '\0')
        pszBase = std::getenv("TMPDIR");
    const std::filesystem::path base = pszBase != nullptr && *pszBase != '\0' ? std::filesystem::path(pszBase)
                                                                             : std::filesystem::path("/tmp");
    return base / (name + "-" + std::to_string(::getpid()));
}
