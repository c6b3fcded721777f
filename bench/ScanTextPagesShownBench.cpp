// A scan of pages with text, with the program's window shown on a real X server ($DISPLAY, else
// a private Xvfb). One run gives, each timed from New Project (the dialog accepted, the project
// scanning on opening) to the scan's end drawn in the window:
// - 10,000 pages of about 200 bytes ("small_s");
// - 10,000 pages of about 2 KB: a title, a description, keywords and 260 words of text
//   ("text_s"), and its ratio to the small pages ("x_small");
// and beside them the floor, over the same 10,000 pages with text:
// - the engine's own scan on one check thread, to a message window that only counts the pages
//   ("engine_one_thread_s"), and the same on the machine's processors ("engine_cores_s");
// - `cat` of the same bytes ("cat_s").
// The sites are made under $VOSTREL_BENCH_DIR, else $TMPDIR or /tmp, and removed at the end.
#include "engine/project/CParserEngine.h"

#include "BenchSiteDir.h"
#include "CountingHost.h"
#include "ShownProgram.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kPages = 10000;
constexpr int kWordsPerPage = 260;

// Common words first: a word's chance falls with its place, as in running text.
constexpr const char* kWords[] = {
    "the", "of", "and", "to", "in", "a", "is", "that", "for", "it", "with", "as", "was", "on", "are", "by",
    "this", "be", "from", "or", "have", "an", "they", "which", "you", "one", "were", "all", "we", "when",
    "can", "there", "their", "has", "more", "if", "will", "each", "about", "how", "up", "out", "them", "then",
    "many", "some", "so", "these", "would", "other", "into", "its", "time", "two", "could", "garden", "water",
    "river", "stone", "bridge", "village", "market", "summer", "winter", "mountain", "forest", "school",
    "teacher", "library", "museum", "history", "painting", "music", "concert", "railway", "station", "harbour",
    "ship", "bakery", "bread", "cheese", "orchard", "apple", "honey", "festival", "church", "tower", "castle",
    "valley", "meadow", "farmer", "harvest", "weather", "rain", "snow", "wind", "road", "bicycle", "path",
    "guide", "hotel", "room", "breakfast", "kitchen", "recipe", "soup", "lake", "island", "boat", "lighthouse",
    "coast", "cliff", "beach", "shell", "sand", "wave", "tide", "fishing", "net", "lantern", "chapel",
    "bell", "clock", "square", "fountain", "street", "house", "window", "door", "roof", "wall", "garden hose",
    "vegetable", "tomato", "potato", "onion", "carrot", "bean", "pumpkin", "flower", "rose", "tulip", "oak",
    "willow", "birch", "maple", "pine", "deer", "fox", "owl", "swallow", "heron", "trout", "salmon", "mill",
    "wheel", "barn", "cart", "horse", "sheep", "cow", "goat", "wool", "blanket", "quilt", "candle", "fire"};

unsigned Next(unsigned& seed)
{
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
}

const char* Word(unsigned& seed)
{
    constexpr unsigned n = sizeof kWords / sizeof kWords[0];
    // The smaller of two draws favours the common words at the front.
    const unsigned a = Next(seed) % n;
    const unsigned b = Next(seed) % n;
    return kWords[a < b ? a : b];
}

std::string TextPage(int n)
{
    unsigned seed = 7919u * static_cast<unsigned>(n) + 17u;
    std::string page = "<html>\n<head>\n<title>The " + std::string(Word(seed)) + " guide, page " + std::to_string(n)
        + "</title>\n<meta name=\"description\" content=\"A guide to the " + Word(seed) + " and the " + Word(seed)
        + " of the valley\">\n<meta name=\"keywords\" content=\"" + Word(seed) + ", " + Word(seed) + ", "
        + Word(seed) + "\">\n</head>\n<body>\n<h1>" + Word(seed) + "</h1>\n<p>";
    for (int w = 0; w < kWordsPerPage; ++w) {
        page += Word(seed);
        if (w % 40 == 39)
            page += ".</p>\n<p>";
        else
            page += w % 13 == 12 ? ". " : " ";
    }
    return page + "</p>\n</body>\n</html>\n";
}

std::string SmallPage(int n)
{
    return "<html>\n<head>\n<title>Page " + std::to_string(n)
        + "</title>\n<meta name=\"keywords\" content=\"a, b\">\n</head>\n<body>\n<p>Some text.</p>\n</body>\n</html>\n";
}

// The two sites, made once, in a folder removed at the end.
class Sites {
public:
    Sites()
    {
        for (int n = 0; n < kPages; ++n) {
            const std::string file = "page" + std::to_string(n) + ".htm";
            std::ofstream(fs::path(Small()) / file, std::ios::binary) << SmallPage(n);
            const std::string text = TextPage(n);
            m_nTextBytes += text.size();
            std::ofstream(fs::path(Text()) / file, std::ios::binary) << text;
        }
    }

    std::string Small() const { return m_sites.Site("small"); }
    std::string Text() const { return m_sites.Site("text"); }
    size_t TextBytes() const { return m_nTextBytes; }

private:
    BenchSites m_sites{"vostrel-scan-text-bench"};
    size_t m_nTextBytes = 0;
};

// New Project on the folder, the project scanning on opening; the seconds until the window has
// drawn the scan's end, or a negative number when the scan did not read every page.
double NewProjectAndScan(ShownProgram& program, const std::string& folder)
{
    const auto start = std::chrono::steady_clock::now();
    if (NewFoundTagsProject(program.App(), folder, ScanOnOpening::Yes) == nullptr || !program.WaitForScanEnd(kPages))
        return -1;
    return Seconds(std::chrono::steady_clock::now() - start);
}

// The engine's scan of the open project's pages to a message window that counts them, on the
// given number of check threads (0: one per processor).
double EngineScan(ShownProgram& program, UINT nThreads)
{
    CParserEngine& engine = CParserEngine::GetEngine();
    CountingHost host;
    host.hWnd = CreateMessageWindow(&CountingProc, &host);
    CProjectSettings* pSettings = nullptr;
    program.App().GetProjectSettings(pSettings);
    engine.SetScanThreads(nThreads);
    engine.SetScanHost(&host);
    const auto start = std::chrono::steady_clock::now();
    const bool bDone = engine.StartScan(program.App().GetSelectedNodes(), *pSettings) == 0
        && program.Run([&] { return host.bEnded; }, 1800000) && host.nScanned == static_cast<size_t>(kPages);
    const double dSeconds = Seconds(std::chrono::steady_clock::now() - start);
    engine.SetScanHost(&program.Frame());
    engine.SetScanThreads(0);
    DestroyMessageWindow(host.hWnd);
    return bDone ? dSeconds : -1;
}

// `cat` of every page of the folder, to /dev/null.
double CatSeconds(const std::string& folder)
{
    const std::string command = "find '" + folder + "' -name '*.htm' -print0 | xargs -0 cat > /dev/null";
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Seconds(std::chrono::steady_clock::now() - start) : -1;
}

void BM_TenThousandTextPagesWithTheWindowShown(benchmark::State& state)
{
    ShownProgram program;
    if (!program.StartOnDisplay(state))
        return;
    const Sites sites;
    double dSmall = 0, dText = 0, dEngineOne = 0, dEngineCores = 0, dCat = 0;
    for (auto _ : state) {
        dSmall = NewProjectAndScan(program, sites.Small());
        // The small pages' project is closed untimed, so that the text pages' figure, like the
        // small pages', starts from a program without a project.
        program.Frame().CloseProjectViews();
        program.Settled();
        dText = NewProjectAndScan(program, sites.Text());
        dEngineOne = EngineScan(program, 1);
        dEngineCores = EngineScan(program, 0);
        dCat = CatSeconds(sites.Text());
        if (dSmall < 0 || dText < 0 || dEngineOne < 0 || dEngineCores < 0 || dCat < 0) {
            state.SkipWithError("a scan did not read every page");
            return;
        }
    }
    state.counters["small_s"] = dSmall;
    state.counters["text_s"] = dText;
    state.counters["x_small"] = dText / dSmall;
    state.counters["engine_one_thread_s"] = dEngineOne;
    state.counters["engine_cores_s"] = dEngineCores;
    state.counters["cat_s"] = dCat;
    state.counters["text_MB"] = static_cast<double>(sites.TextBytes()) / (1 << 20);
}
BENCHMARK(BM_TenThousandTextPagesWithTheWindowShown)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace
