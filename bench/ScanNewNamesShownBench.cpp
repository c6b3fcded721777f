// A scan of a large site that meets a new META name on every page, with the program's window
// shown on a real X server ($DISPLAY, else a private Xvfb): each new name becomes a column of the
// project's grid while the scan runs. One run scans 10,000 pages that share three names, then
// the same 10,000 pages with a name each, through the frame's Start Scan, and gives both times
// and their ratio ("x_shared"). The sites are made under $VOSTREL_BENCH_DIR, else $TMPDIR or
// /tmp, and removed at the end.
#include "BenchSiteDir.h"
#include "ShownProgram.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int kPages = 10000;

void WritePage(const fs::path& path, int n, const std::string& metas)
{
    std::ofstream(path, std::ios::binary) << "<html>\n<head>\n<title>Page " << n << "</title>\n" << metas
                                          << "</head>\n<body>\n<p>Some text of the page.</p>\n</body>\n</html>\n";
}

std::string Meta(const std::string& name, const std::string& content)
{
    return "<meta name=\"" + name + "\" content=\"" + content + "\">\n";
}

// The two sites of the same pages, made once, in a folder removed at the end.
class Sites {
public:
    Sites()
    {
        for (int n = 0; n < kPages; ++n) {
            const std::string file = "page" + std::to_string(n) + ".htm";
            WritePage(fs::path(Shared()) / file, n, Meta("shared-a", "a") + Meta("shared-b", "b") + Meta("shared-c", "c"));
            WritePage(fs::path(NameEach()) / file, n, Meta("own-" + std::to_string(n), "value " + std::to_string(n)));
        }
    }

    std::string Shared() const { return m_sites.Site("shared"); }
    std::string NameEach() const { return m_sites.Site("name-each"); }

private:
    BenchSites m_sites{"vostrel-scan-shown-bench"};
};

// Both sites scanned in the same run, each into a project set up afresh (untimed): the figure
// of the pages with a name each stands beside that of the same pages sharing three names.
void BM_TenThousandNewNamesWithTheWindowShown(benchmark::State& state)
{
    ShownProgram program;
    if (!program.StartOnDisplay(state))
        return;
    const Sites sites;
    double dShared = 0, dEach = 0;
    UINT nSharedColumns = 0, nEachColumns = 0;
    for (auto _ : state) {
        for (const bool bEach : {false, true}) {
            state.PauseTiming();
            if (!program.SetUp(bEach ? sites.NameEach() : sites.Shared(), kPages)) {
                state.SkipWithError("the project did not hold the pages");
                return;
            }
            state.ResumeTiming();
            const auto start = std::chrono::steady_clock::now();
            if (!program.Scan(kPages)) {
                state.SkipWithError("the scan did not read every page");
                return;
            }
            (bEach ? dEach : dShared) = Seconds(std::chrono::steady_clock::now() - start);
            (bEach ? nEachColumns : nSharedColumns) = program.ShownCount();
        }
    }
    state.counters["shared_s"] = dShared;
    state.counters["name_each_s"] = dEach;
    state.counters["x_shared"] = dShared > 0 ? dEach / dShared : 0;
    state.counters["shared_columns"] = nSharedColumns;
    state.counters["name_each_columns"] = nEachColumns;
}
BENCHMARK(BM_TenThousandNewNamesWithTheWindowShown)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace
