// The project's file work on a generated site: the enumeration thread against find over the
// same folder; the scan's look at each page's opened file (which file, its size and time, and
// where its name led) and its look at all of the page's bytes with their checksum, each against
// reading the pages alone, and the checksum by itself; and a save of every page with backups
// against cp -r of the same pages. The site (2,000 pages of about 8 KB in 40 folders, with as many
// other files beside them) is made under $VOSTREL_BENCH_DIR, else $TMPDIR or /tmp, and removed at
// the end. The save flushes every page to the disk before it takes the old one's place, which
// plain cp does not do: the floor is given both ways, cp -r alone and cp -r followed by a flush of
// the file system. The save of a large site (10,000 and 100,000 pages of about 4 KB, 250 to a
// folder) is also set against the same atomic replacements made one page at a time.
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageBytesCheck.h"
#include "engine/project/CPageChecksum.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/PageFileCheck.h"
#include "platform/core/AtomTable.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/SyncApi.h"
#include "platform/core/WindowHandle.h"

#include "BenchSiteDir.h"
#include "ReadPageNode.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 40;
constexpr int kPagesPerFolder = 50;

// Counts what the workers post; the bench thread pumps its queue until the end message.
struct Counter {
    size_t nPages = 0;
    bool bEnded = false;
    UINT nEndMessage = 0;
};

LRESULT CALLBACK CountProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM)
{
    auto* pCounter = static_cast<Counter*>(GetMessageWindowData(hWnd));
    if (pCounter == nullptr)
        return 0;
    if (message == kMsgEnumPageFound || message == kMsgSavePageDone)
        ++pCounter->nPages;
    else if (message == kMsgOutputAddLine)
        DeleteAtom(static_cast<ATOM>(wParam));
    if (message == pCounter->nEndMessage)
        pCounter->bEnded = true;
    return 0;
}

bool PumpUntilEnded(Counter& counter)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3600);
    while (!counter.bEnded && std::chrono::steady_clock::now() < deadline) {
        MSG msg;
        if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return counter.bEnded;
}

std::string PageText(int nFolder, int nPage, size_t nBytes = 8000)
{
    std::string text = "<html>\n<head>\n<title>Page " + std::to_string(nFolder) + "/" + std::to_string(nPage)
        + "</title>\n<meta name=\"description\" content=\"A page of the generated site\">\n</head>\n<body>\n";
    while (text.size() < nBytes)
        text += "<p>Some text of the page, with <a href=\"other.htm\">a link</a> now and then.</p>\n";
    return text + "</body>\n</html>\n";
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The generated site, made once.
class Site {
public:
    static Site& Get()
    {
        static Site s_site;
        return s_site;
    }
    const fs::path& Root() const { return m_root; }
    const fs::path& Pages() const { return m_pages; }

    // Puts every page back as it was made, and removes backups and copies. Flushed to the disk
    // too, so that a timed run does not pay for writing what the reset wrote.
    void ResetPages() const
    {
        std::error_code error;
        fs::remove_all(m_pages, error);
        Copy(m_pristine, m_pages);
        SyncFileSystem(m_pages);
    }
    static void SyncFileSystem(const fs::path& path)
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::syncfs(fd);
            ::close(fd);
        }
    }
    static void Copy(const fs::path& from, const fs::path& to)
    {
        fs::copy(from, to, fs::copy_options::recursive);
    }

private:
    Site()
    {
        const char* pszBase = std::getenv("VOSTREL_BENCH_DIR");
        if (pszBase == nullptr || *pszBase == '\0')
            pszBase = std::getenv("TMPDIR");
        fs::path base = pszBase != nullptr && *pszBase != '\0' ? fs::path(pszBase) : fs::path("/tmp");
        m_top = base / ("vostrel-files-bench-" + std::to_string(::getpid()));
        m_root = m_top / "site";
        m_pristine = m_top / "pristine";
        m_pages = m_top / "pages";
        for (int f = 0; f < kFolders; ++f) {
            const fs::path folder = m_root / ("section" + std::to_string(f));
            const fs::path pages = m_pristine / ("section" + std::to_string(f));
            fs::create_directories(folder);
            fs::create_directories(pages);
            for (int p = 0; p < kPagesPerFolder; ++p) {
                const std::string text = PageText(f, p);
                std::ofstream(folder / ("page" + std::to_string(p) + ".htm"), std::ios::binary) << text;
                std::ofstream(pages / ("page" + std::to_string(p) + ".htm"), std::ios::binary) << text;
                std::ofstream(folder / ("image" + std::to_string(p) + ".png"), std::ios::binary) << "PNG";
            }
        }
        ResetPages();
    }
    ~Site()
    {
        std::error_code error;
        fs::remove_all(m_top, error);
    }

    fs::path m_top;
    fs::path m_root;
    fs::path m_pristine;
    fs::path m_pages;
};

// Runs a program and waits for it; its output goes nowhere.
bool Run(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int nError = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return nError == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

CVostrelAppModel& Model()
{
    static CVostrelAppModel s_model;
    static const bool s_installed = [] {
        s_model.Install();
        s_model.GetMetaSettings().SetDefaults();
        s_model.SetProjectSettings(std::make_unique<CProjectSettings>());
        return true;
    }();
    (void)s_installed;
    return s_model;
}

void BM_FindFloor(benchmark::State& state)
{
    const Site& site = Site::Get();
    for (auto _ : state) {
        if (!Run({"find", site.Root().string()}))
            state.SkipWithError("find failed");
    }
    state.counters["entries"] = kFolders * kPagesPerFolder * 2 + kFolders + 1;
}
BENCHMARK(BM_FindFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Enumeration(benchmark::State& state)
{
    const Site& site = Site::Get();
    Model();
    CProjectSettings settings;
    CParserEngine engine;
    Counter counter;
    const HWND hDialog = CreateMessageWindow(&CountProc, &counter);
    for (auto _ : state) {
        CPageNode root;
        root.SetKind(CPageNode::kindRoot);
        counter = Counter{};
        counter.nEndMessage = kMsgEnumFinished;
        engine.StartEnumeration(site.Root().string().c_str(), &root, hDialog, settings);
        if (!PumpUntilEnded(counter) || counter.nPages != static_cast<size_t>(kFolders * kPagesPerFolder))
            state.SkipWithError("the enumeration did not find every page");
        state.PauseTiming();
        root.GetChildren().DeleteAll();
        state.ResumeTiming();
    }
    DestroyMessageWindow(hDialog);
}
BENCHMARK(BM_Enumeration)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyFloor(benchmark::State& state)
{
    const Site& site = Site::Get();
    const fs::path copy = site.Pages().string() + "-copy";
    for (auto _ : state) {
        if (!Run({"cp", "-r", site.Pages().string(), copy.string()}))
            state.SkipWithError("cp failed");
        state.PauseTiming();
        std::error_code error;
        fs::remove_all(copy, error);
        Site::SyncFileSystem(site.Pages());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CopyFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same copy made to last through a crash, as the save's pages are: cp -r, then the file
// system flushed.
void BM_CopyAndFlushFloor(benchmark::State& state)
{
    const Site& site = Site::Get();
    const fs::path copy = site.Pages().string() + "-copy";
    for (auto _ : state) {
        if (!Run({"cp", "-r", site.Pages().string(), copy.string()}))
            state.SkipWithError("cp failed");
        Site::SyncFileSystem(copy);
        state.PauseTiming();
        std::error_code error;
        fs::remove_all(copy, error);
        Site::SyncFileSystem(site.Pages());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CopyAndFlushFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// The pages of the site, by their paths.
const std::vector<fs::path>& PagePaths()
{
    static const std::vector<fs::path> s_paths = [] {
        std::vector<fs::path> paths;
        for (const auto& entry : fs::recursive_directory_iterator(Site::Get().Root()))
            if (entry.path().extension() == ".htm")
                paths.push_back(entry.path());
        return paths;
    }();
    return s_paths;
}

// Reads a page whole, as a scan reads it: the floor of the look below.
bool ReadWholePage(int fd)
{
    char buffer[16384];
    for (ssize_t n = 0; (n = ::read(fd, buffer, sizeof buffer)) != 0;)
        if (n < 0)
            return false;
    return true;
}

void BM_ScanReadFloor(benchmark::State& state)
{
    PagePaths();
    for (auto _ : state) {
        for (const fs::path& path : PagePaths()) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || !ReadWholePage(fd))
                state.SkipWithError("a page could not be read");
            ::close(fd);
        }
    }
    state.counters["pages"] = static_cast<double>(PagePaths().size());
}
BENCHMARK(BM_ScanReadFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same reads with the scan's look at each opened file: which file it is, its size and time,
// and where the page's name led with every link followed, kept in the page for the save.
void BM_ScanReadWithLookAtTheFile(benchmark::State& state)
{
    std::vector<std::unique_ptr<CPageNode>> pages;
    for (const fs::path& path : PagePaths()) {
        pages.push_back(std::make_unique<CPageNode>());
        pages.back()->SetName(path.filename().c_str());
        pages.back()->SetFolder(path.parent_path().c_str());
    }
    CParserEngine engine;
    for (auto _ : state) {
        for (size_t i = 0; i < pages.size(); ++i) {
            const int fd = ::open(PagePaths()[i].c_str(), O_RDONLY | O_CLOEXEC);
            struct stat file {};
            if (fd < 0 || ::fstat(fd, &file) != 0 || !ReadWholePage(fd))
                state.SkipWithError("a page could not be read");
            engine.OnFileRead(reinterpret_cast<DWORD_PTR>(pages[i].get()), file,
                              ResolvedPathOf(fd, PagePaths()[i].c_str()));
            ::close(fd);
        }
    }
    state.counters["pages"] = static_cast<double>(pages.size());
}
BENCHMARK(BM_ScanReadWithLookAtTheFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The scan's look at all of each page's bytes, which tells a picture or a UTF-16 file from a page
// and takes the checksum of the bytes (CPageBytesCheck), beside the floor of reading them alone;
// and the checksum by itself over the same bytes held in memory, its share of both.
void BM_ScanLookAtTheBytes(benchmark::State& state)
{
    for (auto _ : state) {
        for (const fs::path& path : PagePaths()) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                state.SkipWithError("a page could not be read");
            benchmark::DoNotOptimize(CPageBytesCheck::OfFile(fd).GetChecksum());
            ::close(fd);
        }
    }
    state.counters["pages"] = static_cast<double>(PagePaths().size());
}
BENCHMARK(BM_ScanLookAtTheBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChecksumOfThePages(benchmark::State& state)
{
    std::vector<std::string> pages;
    size_t nBytes = 0;
    for (const fs::path& path : PagePaths()) {
        std::ifstream file(path, std::ios::binary);
        pages.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        nBytes += pages.back().size();
    }
    for (auto _ : state) {
        for (const std::string& page : pages) {
            CPageChecksum checksum;
            checksum.Add(page.data(), page.size());
            benchmark::DoNotOptimize(checksum.Get());
        }
    }
    state.counters["pages"] = static_cast<double>(pages.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(nBytes));
}
BENCHMARK(BM_ChecksumOfThePages)->Unit(benchmark::kMillisecond)->UseRealTime();

// A save of every page of a large site, with backups, against two floors over the same pages:
// the same atomic replacement done one page after another by the book (a new file written
// beside the page and flushed, renamed over it, its folder flushed), and cp -r of the pages,
// alone and followed by one flush of the file system. Each is timed on the site as generated,
// all in one run; the counters give the seconds of each and the save's share of each floor.
class LargeSite {
public:
    static constexpr int kPagesPerFolder = 250;

    explicit LargeSite(int nPages) : m_nPages(nPages), m_sites("vostrel-save-bench")
    {
        m_pristine = m_sites.Site("pristine-" + std::to_string(nPages));
        for (int i = 0; i < nPages; ++i) {
            const fs::path page = PagePath(m_pristine, i);
            fs::create_directories(page.parent_path());
            std::ofstream(page, std::ios::binary) << PageText(i / kPagesPerFolder, i % kPagesPerFolder, 4000);
        }
        Site::SyncFileSystem(m_pristine);
    }
    int Count() const { return m_nPages; }
    const fs::path& Pristine() const { return m_pristine; }
    fs::path PagePath(const fs::path& top, int i) const
    {
        return top / ("section" + std::to_string(i / kPagesPerFolder)) / ("page" + std::to_string(i % kPagesPerFolder) + ".htm");
    }
    // A new copy of the pages as generated, on the disk. Nothing is removed before the end: the
    // file system would then be slow to make new files for a while (it does not give the
    // numbers of files just removed to new ones), which a site's save does not meet.
    fs::path FreshPages(const std::string& strName) const
    {
        const fs::path pages = NewPlace(strName);
        Site::Copy(m_pristine, pages);
        Site::SyncFileSystem(pages);
        return pages;
    }

    // Where nothing is yet, for a copy of the pages to be made.
    fs::path NewPlace(const std::string& strName) const
    {
        const fs::path place = m_sites.Site(strName + "-" + std::to_string(m_nPages));
        fs::remove(place);
        return place;
    }

private:
    int m_nPages;
    BenchSites m_sites;
    fs::path m_pristine;
};

// What the save writes into a page: its Keywords tag before the end of its head.
std::string SavedText(const std::string& strPage)
{
    std::string strSaved = strPage;
    strSaved.insert(strSaved.find("</head>"), "<meta name=\"Keywords\" content=\"generated, site\">\n");
    return strSaved;
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The atomic replacement of every page, one page at a time, each waiting for the disk twice.
bool ReplaceOneByOne(const LargeSite& site, const fs::path& pages)
{
    for (int i = 0; i < site.Count(); ++i) {
        const fs::path page = site.PagePath(pages, i);
        std::ifstream in(page, std::ios::binary);
        const std::string strText = SavedText(std::string(std::istreambuf_iterator<char>(in), {}));
        const std::string strTemp = page.string() + ".tmp";
        const int fd = ::open(strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        bool bDone = fd >= 0 && ::write(fd, strText.data(), strText.size()) == static_cast<ssize_t>(strText.size())
            && ::fsync(fd) == 0;
        bDone = fd >= 0 && ::close(fd) == 0 && bDone && ::link(page.c_str(), (page.string() + ".old").c_str()) == 0
            && ::rename(strTemp.c_str(), page.c_str()) == 0;
        const int fdFolder = ::open(page.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        bDone = bDone && fdFolder >= 0 && ::fsync(fdFolder) == 0;
        if (fdFolder >= 0)
            ::close(fdFolder);
        if (!bDone)
            return false;
    }
    return true;
}

// Every page with an edited Keywords content, as a scan read it, saved with the backup-file
// scheme; the seconds from the start of the save to its end, or a negative number when it did
// not write every page.
double TimedSave(const LargeSite& site, const fs::path& pages, CParserEngine& engine, HWND hWnd, Counter& counter)
{
    CPageNode root;
    root.SetKind(CPageNode::kindRoot);
    CSelNodesCol selection;
    for (int i = 0; i < site.Count(); ++i) {
        const fs::path path = site.PagePath(pages, i);
        std::unique_ptr<CPageNode> pPage(NewReadPage(path));
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent("Keywords", "generated, site", 1, pContent);
        selection.AddTail(pPage.get());
        root.AddChild(pPage.release());
    }
    counter = Counter{};
    counter.nEndMessage = kMsgSaveFinished;
    const auto start = std::chrono::steady_clock::now();
    engine.StartSave(selection, hWnd, hWnd);
    const bool bEnded = PumpUntilEnded(counter);
    const double dSeconds = Seconds(start);
    const bool bWritten = bEnded && counter.nPages == static_cast<size_t>(site.Count())
        && ReadFile(site.PagePath(pages, site.Count() - 1))
            == SavedText(ReadFile(site.PagePath(pages, site.Count() - 1).string() + ".old"));
    return bWritten ? dSeconds : -1;
}

void BM_SaveAgainstOneByOne(benchmark::State& state)
{
    const LargeSite site(static_cast<int>(state.range(0)));
    Model();
    CParserEngine engine;
    Counter counter;
    const HWND hWnd = CreateMessageWindow(&CountProc, &counter);
    double dSave = 0, dFloor = 0, dCopy = 0, dCopyFlushed = 0;
    for (auto _ : state) {
        const fs::path copy = site.NewPlace("copy");
        auto start = std::chrono::steady_clock::now();
        if (!Run({"cp", "-r", site.Pristine().string(), copy.string()}))
            state.SkipWithError("cp failed");
        dCopy = Seconds(start);
        Site::SyncFileSystem(copy);
        dCopyFlushed = Seconds(start);

        const fs::path replaced = site.FreshPages("one-by-one");
        start = std::chrono::steady_clock::now();
        if (!ReplaceOneByOne(site, replaced))
            state.SkipWithError("the pages could not be replaced one by one");
        dFloor = Seconds(start);

        dSave = TimedSave(site, site.FreshPages("saved"), engine, hWnd, counter);
        if (dSave < 0)
            state.SkipWithError("the save did not write every page");
        state.SetIterationTime(dSave);
    }
    DestroyMessageWindow(hWnd);
    state.counters["pages"] = site.Count();
    state.counters["save_s"] = dSave;
    state.counters["one_by_one_s"] = dFloor;
    state.counters["cp_s"] = dCopy;
    state.counters["cp_flushed_s"] = dCopyFlushed;
    state.counters["save_per_one_by_one"] = dFloor > 0 ? dSave / dFloor : 0;
    state.counters["save_per_cp_flushed"] = dCopyFlushed > 0 ? dSave / dCopyFlushed : 0;
}
BENCHMARK(BM_SaveAgainstOneByOne)->Arg(10000)->Arg(100000)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

} // namespace
