// Scans that meet META names the catalogue lacks, through the whole program on the memory
// backend: each new name becomes a setting of the catalogue and a column of the project's grid
// while the scan waits for it. Each figure stands beside its floor, measured in the same run:
// - 2,000 pages with a name of their own each (2,000 new columns), beside 2,000 pages sharing
//   three names (three new columns);
// - one page with 2,500, 5,000 and 10,000 names of its own: the time per name ("us_per_name")
//   stays the same however many columns the grid already has;
// - the engine's own scan of the 2,000 pages with a name each, to a message window that answers
//   the column hand-shake at once and draws nothing;
// - one page with 1,000, 10,000 and 100,000 tags of one name, each with a value of its own, as a
//   broken generator writes them: the time per tag ("us_per_tag") stays the same however many
//   values the tag's column already holds, beside the floor of parsing the same page with the
//   parser alone.
// The sites are made under $VOSTREL_BENCH_DIR, else $TMPDIR or /tmp, and removed at the end.
#include "app/frame/CMainFrame.h"
#include "app/frame/CVostrelApp.h"
#include "app/res/AppRes.h"
#include "engine/html/CHtmlParser.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/core/CMemFile.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/WindowHandle.h"

#include "BenchSiteDir.h"
#include "CountingHost.h"
#include "NullParserSink.h"
#include "ProgramStart.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kPages = 2000;

std::string Page(const std::string& title, const std::string& metas)
{
    return "<html>\n<head>\n<title>" + title + "</title>\n" + metas +
           "</head>\n<body>\n<p>Some text of the page.</p>\n</body>\n</html>\n";
}

std::string Meta(const std::string& name, const std::string& content)
{
    return "<meta name=\"" + name + "\" content=\"" + content + "\">\n";
}

// The sites, each made once on first use, in a folder removed at the end.
class Sites {
public:
    static Sites& Get()
    {
        static Sites s_sites;
        return s_sites;
    }

    // kPages pages, each holding the name "own-<n>".
    std::string NameEach() { return Make("name-each", [](const fs::path& dir) {
        for (int n = 0; n < kPages; ++n)
            Write(dir / ("page" + std::to_string(n) + ".htm"),
                  Page("Page " + std::to_string(n), Meta("own-" + std::to_string(n), "value " + std::to_string(n))));
    }); }
    // kPages pages, each holding the same three names.
    std::string SharedNames() { return Make("shared", [](const fs::path& dir) {
        for (int n = 0; n < kPages; ++n)
            Write(dir / ("page" + std::to_string(n) + ".htm"),
                  Page("Page " + std::to_string(n), Meta("shared-a", "a") + Meta("shared-b", "b") + Meta("shared-c", "c")));
    }); }
    // One page holding `count` names of its own.
    std::string ManyNames(int count)
    {
        return Make("many-" + std::to_string(count), [count](const fs::path& dir) {
            std::string metas;
            for (int i = 0; i < count; ++i)
                metas += Meta("name-" + std::to_string(i), "value " + std::to_string(i));
            Write(dir / "index.htm", Page("Many names", metas));
        });
    }

    // One page holding `count` DESCRIPTION tags, each with a value of its own.
    std::string RepeatedName(int count)
    {
        return Make("repeated-" + std::to_string(count), [count](const fs::path& dir) {
            std::string metas;
            for (int i = 0; i < count; ++i)
                metas += Meta("description", "part " + std::to_string(i));
            Write(dir / "index.htm", Page("One name repeated", metas));
        });
    }

private:
    Sites()
    {
        m_top = BenchSiteDir("vostrel-scan-names-bench");
    }
    ~Sites()
    {
        std::error_code error;
        fs::remove_all(m_top, error);
    }

    static void Write(const fs::path& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

    template <class Fill>
    std::string Make(const std::string& name, Fill fill)
    {
        const fs::path dir = m_top / name;
        if (!fs::exists(dir)) {
            fs::create_directories(dir);
            fill(dir);
        }
        return dir.string();
    }

    fs::path m_top;
};

// The program, started once.
struct Program {
    std::optional<CVostrelApp> app;
    HeadlessBackend* backend = nullptr;

    static Program& Get()
    {
        static Program s_program;
        return s_program;
    }

    CMainFrame& Frame() { return *app->GetMainFrame(); }

    // A project of the folder with the built-in catalogue, showing every tag found and without
    // a scan on opening; true when it holds `pages` pages.
    bool SetUp(const std::string& folder, int pages) { return SetUpFoundTagsProject(*app, folder, pages); }

    template <class Pred>
    bool PumpUntil(Pred done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(30);
        while (std::chrono::steady_clock::now() < deadline) {
            backend->ProcessMessages();
            if (done())
                return true;
            // Woken by the next message, as the program's own loop is.
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return false;
    }

    // Start Scan through the frame, to its end; true when every page was read.
    bool Scan(int pages)
    {
        Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
        return PumpUntil([&] {
            return app->GetRunState() == CVostrelAppModel::runIdle
                && Frame().GetFilesScanned() == static_cast<UINT>(pages);
        });
    }

    UINT ShownCount()
    {
        CMetaSettingList* pList = nullptr;
        app->GetMetaSettingList(pList);
        return pList->GetShownCount();
    }

private:
    Program()
    {
        backend = &StartProgram(app, "vostrel-scan-names-bench");
        app->WriteProfileInt("", "Warn After Scan", 0);
    }
};

// A scan of the folder through the frame for each iteration, the project set up afresh (with
// the built-in catalogue) before each, untimed.
void ScanThroughTheFrame(benchmark::State& state, const std::string& folder, int pages)
{
    Program& program = Program::Get();
    for (auto _ : state) {
        state.PauseTiming();
        if (!program.SetUp(folder, pages)) {
            state.SkipWithError("the project did not hold the pages");
            break;
        }
        state.ResumeTiming();
        if (!program.Scan(pages)) {
            state.SkipWithError("the scan did not read every page");
            break;
        }
    }
    state.counters["columns"] = program.ShownCount();
}

void BM_FloorPagesSharingThreeNames(benchmark::State& state)
{
    ScanThroughTheFrame(state, Sites::Get().SharedNames(), kPages);
}
BENCHMARK(BM_FloorPagesSharingThreeNames)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_PagesWithANameEach(benchmark::State& state)
{
    ScanThroughTheFrame(state, Sites::Get().NameEach(), kPages);
}
BENCHMARK(BM_PagesWithANameEach)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_OnePageWithManyNames(benchmark::State& state)
{
    const int names = static_cast<int>(state.range(0));
    ScanThroughTheFrame(state, Sites::Get().ManyNames(names), 1);
    state.counters["us_per_name"] = benchmark::Counter(static_cast<double>(names) * 1e-6,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OnePageWithManyNames)->Arg(2500)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void PerTag(benchmark::State& state, int tags)
{
    state.counters["us_per_tag"] = benchmark::Counter(static_cast<double>(tags) * 1e-6,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_OnePageRepeatingOneName(benchmark::State& state)
{
    const int tags = static_cast<int>(state.range(0));
    ScanThroughTheFrame(state, Sites::Get().RepeatedName(tags), 1);
    PerTag(state, tags);
}
BENCHMARK(BM_OnePageRepeatingOneName)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);


void BM_FloorParseOfOnePageRepeatingOneName(benchmark::State& state)
{
    const int tags = static_cast<int>(state.range(0));
    std::ifstream in(fs::path(Sites::Get().RepeatedName(tags)) / "index.htm", std::ios::binary);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (auto _ : state) {
        CMemFile file(reinterpret_cast<BYTE*>(const_cast<char*>(page.data())), static_cast<UINT>(page.size()));
        NullSink sink;
        CHtmlParser parser(&sink, &file, FALSE, FALSE, 1);
        parser.Parse();
        if (sink.namedMetas != static_cast<size_t>(tags))
            state.SkipWithError("the parser did not find every tag");
    }
    PerTag(state, tags);
}
BENCHMARK(BM_FloorParseOfOnePageRepeatingOneName)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FloorEngineScanOfPagesWithANameEach(benchmark::State& state)
{
    Program& program = Program::Get();
    CParserEngine& engine = CParserEngine::GetEngine();
    CountingHost host;
    host.hWnd = CreateMessageWindow(&CountingProc, &host);
    for (auto _ : state) {
        state.PauseTiming();
        const bool ready = program.SetUp(Sites::Get().NameEach(), kPages);
        CProjectSettings* pSettings = nullptr;
        program.app->GetProjectSettings(pSettings);
        host.nScanned = 0;
        host.bEnded = false;
        engine.SetScanHost(&host);
        state.ResumeTiming();
        if (!ready || engine.StartScan(program.app->GetSelectedNodes(), *pSettings) != 0
            || !program.PumpUntil([&] { return host.bEnded; }) || host.nScanned != static_cast<size_t>(kPages))
            state.SkipWithError("the engine's scan did not take every page");
        engine.SetScanHost(&program.Frame());
    }
    DestroyMessageWindow(host.hWnd);
}
BENCHMARK(BM_FloorEngineScanOfPagesWithANameEach)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
