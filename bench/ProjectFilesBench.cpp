// The project's file work on a generated site: the enumeration thread against find over the
// same folder, and a save of every page with backups against cp -r of the same pages. The site
// (2,000 pages of about 8 KB in 40 folders, with as many other files beside them) is made under
// $VOSTREL_BENCH_DIR, else $TMPDIR or /tmp, and removed at the end. The save flushes every page
// to the disk before it takes the old one's place, which plain cp does not do: the floor is given
// both ways, cp -r alone and cp -r followed by a flush of the file system.
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "engine/project/EngineMessages.h"
#include "platform/core/AtomTable.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/SyncApi.h"
#include "platform/core/WindowHandle.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <spawn.h>
#include <string>
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
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(300);
    while (!counter.bEnded && std::chrono::steady_clock::now() < deadline) {
        MSG msg;
        if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return counter.bEnded;
}

std::string PageText(int nFolder, int nPage)
{
    std::string text = "<html>\n<head>\n<title>Page " + std::to_string(nFolder) + "/" + std::to_string(nPage)
        + "</title>\n<meta name=\"description\" content=\"A page of the generated site\">\n</head>\n<body>\n";
    while (text.size() < 8000)
        text += "<p>Some text of the page, with <a href=\"other.htm\">a link</a> now and then.</p>\n";
    return text + "</body>\n</html>\n";
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

// Every page with an edited Keywords content, saved with the backup-file scheme.
void BM_SaveWithBackups(benchmark::State& state)
{
    const Site& site = Site::Get();
    Model();
    CParserEngine engine;
    Counter counter;
    const HWND hWnd = CreateMessageWindow(&CountProc, &counter);
    // The page tree outlives each timed run: freeing it is not the save's work.
    auto pRoot = std::make_unique<CPageNode>();
    for (auto _ : state) {
        state.PauseTiming();
        site.ResetPages();
        pRoot = std::make_unique<CPageNode>();
        CPageNode& root = *pRoot;
        root.SetKind(CPageNode::kindRoot);
        CSelNodesCol selection;
        for (int f = 0; f < kFolders; ++f) {
            for (int p = 0; p < kPagesPerFolder; ++p) {
                auto pPage = std::make_unique<CPageNode>();
                pPage->SetKind(CPageNode::kindPage);
                pPage->SetName(("page" + std::to_string(p) + ".htm").c_str());
                pPage->SetFolder((site.Pages() / ("section" + std::to_string(f))).string().c_str());
                CMetaContentList* pList = nullptr;
                pPage->CreateContentList(pList);
                CMetaContent* pContent = nullptr;
                pList->AddContent("Keywords", "generated, site", 1, pContent);
                selection.AddTail(pPage.get());
                root.AddChild(pPage.release());
            }
        }
        counter = Counter{};
        counter.nEndMessage = kMsgSaveFinished;
        state.ResumeTiming();
        engine.StartSave(selection, hWnd, hWnd);
        if (!PumpUntilEnded(counter) || counter.nPages != static_cast<size_t>(kFolders * kPagesPerFolder))
            state.SkipWithError("the save did not save every page");
        state.PauseTiming();
        pRoot.reset();
        state.ResumeTiming();
    }
    DestroyMessageWindow(hWnd);
}
BENCHMARK(BM_SaveWithBackups)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
