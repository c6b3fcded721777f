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

// The folder of a benchmark's sites, removed with all it holds when the benchmark is done.
class BenchSites {
public:
    explicit BenchSites(const std::string& name) : m_top(BenchSiteDir(name)) {}
    ~BenchSites()
    {
        std::error_code error;
        std::filesystem::remove_all(m_top, error);
    }
    BenchSites(const BenchSites&) = delete;
    BenchSites& operator=(const BenchSites&) = delete;

    // The folder of one site in it, made when missing.
    std::string Site(const std::string& name) const
    {
        std::filesystem::create_directories(m_top / name);
        return (m_top / name).string();
    }

private:
    std::filesystem::path m_top;
};
