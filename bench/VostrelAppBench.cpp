// The whole program on the memory backend, over a generated site of 10,000 pages in 500
// folders (made under $VOSTREL_BENCH_DIR, else $TMPDIR or /tmp, and removed at the end). Each
// figure stands beside its floor, measured in the same run:
// - start-up to the first painted main window, beside a bare frame window with the same menu,
//   shown and painted;
// - New Project, from the accepted dialog to the filled Project Area, beside find over the site;
// - a scan of every page with the main frame taking each file-scanned message (meter, view
//   row), beside the same engine scan with a message window that only counts them;
// - one file-scanned message taken by the main frame with the grid open;
// - Save Edited Files on 1,000 edited pages with backups, beside the engine's save of the same
//   pages to a message window;
// - writing and opening a project file, beside the project settings stored and read through the
//   archive alone (the open walks a three-page site).
#include "app/CMainFrame.h"
#include "app/CVostrelApp.h"
#include "app/res/AppRes.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/IScanHost.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/Dialog.h"
#include "platform/core/AtomTable.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/RegistryStore.h"
#include "platform/core/SyncApi.h"
#include "platform/core/WindowHandle.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 500;
constexpr int kPagesPerFolder = 20;
constexpr int kPages = kFolders * kPagesPerFolder;
constexpr int kEditedPages = 1000;

std::string PageText(int nFolder, int nPage)
{
    return "<html>\n<head>\n<title>Page " + std::to_string(nFolder) + "/" + std::to_string(nPage) +
           "</title>\n<meta name=\"KEYWORDS\" content=\"generated, site\">\n"
           "<meta name=\"DESCRIPTION\" content=\"A page of the generated site\">\n</head>\n<body>\n"
           "<p>Some text of the page, with <a href=\"other.htm\">a link</a>.</p>\n</body>\n</html>\n";
}

// The generated sites and the configuration folder, made once.
class Site {
public:
    static Site& Get()
    {
        static Site s_site;
        return s_site;
    }
    std::string Root() const { return (m_top / "site").string(); }
    std::string Small() const { return (m_top / "small").string(); }
    std::string Config() const { return (m_top / "config").string(); }
    std::string Top() const { return m_top.string(); }

private:
    Site()
    {
        const char* pszBase = std::getenv("VOSTREL_BENCH_DIR");
        if (pszBase == nullptr || *pszBase == '\0')
            pszBase = std::getenv("TMPDIR");
        const fs::path base = pszBase != nullptr && *pszBase != '\0' ? fs::path(pszBase) : fs::path("/tmp");
        m_top = base / ("vostrel-app-bench-" + std::to_string(::getpid()));
        for (int f = 0; f < kFolders; ++f) {
            const fs::path folder = m_top / "site" / ("section" + std::to_string(f));
            fs::create_directories(folder);
            for (int p = 0; p < kPagesPerFolder; ++p)
                std::ofstream(folder / ("page" + std::to_string(p) + ".htm"), std::ios::binary) << PageText(f, p);
            std::ofstream(folder / "image.png", std::ios::binary) << "PNG";
        }
        fs::create_directories(m_top / "small" / "sub");
        for (const char* name : {"a.htm", "b.htm", "sub/c.htm"})
            std::ofstream(m_top / "small" / name, std::ios::binary) << PageText(0, 0);
        fs::create_directories(m_top / "config");
        ::setenv("XDG_CONFIG_HOME", Config().c_str(), 1);
        CRegistryStore::Instance().Reload();
    }
    ~Site()
    {
        std::error_code error;
        fs::remove_all(m_top, error);
    }

    fs::path m_top;
};

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

HeadlessBackend& Backend()
{
    static HeadlessBackend& backend = [&]() -> HeadlessBackend& {
        Site::Get();
        return HeadlessBackend::Install(SIZE{1280, 1024});
    }();
    return backend;
}

// Cancels the File New chooser that start-up shows, on the first idle turn it is up.
void CancelChooser(int turnsLeft = 2000)
{
    Backend().WhenIdle([turnsLeft] {
        HWND found = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM out) -> BOOL {
                char cls[32] = {};
                GetClassName(hwnd, cls, sizeof cls);
                if (std::string(cls) == WC_DIALOG_NAME && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
                    *reinterpret_cast<HWND*>(out) = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        // The modal loop looks at its end only when a message comes: one is posted after.
        if (found && reinterpret_cast<uintptr_t>(GetProp(found, DIALOG_TEMPLATE_ID_PROP)) == AFX_IDD_NEWTYPEDLG) {
            EndDialog(found, IDCANCEL);
            PostMessage(found, WM_NULL, 0, 0);
            return;
        }
        if (found) {
            // Anything else at start-up is a fault the figures must not hide.
            char text[256] = {};
            GetWindowText(found, text, sizeof text);
            std::fprintf(stderr, "unexpected window at start-up: %s\n", text);
            EndDialog(found, IDCANCEL);
            PostMessage(found, WM_NULL, 0, 0);
        }
        if (turnsLeft > 0)
            CancelChooser(turnsLeft - 1);

    });
}

class Program {
public:
    bool Start()
    {
        Backend();
        app.emplace();
        static char name[] = "vostrel";
        char* argv[] = {name};
        app->SetCommandLine(1, argv);
        CancelChooser();
        const bool started = app->InitApplication() && app->InitInstance();
        if (started)
            app->WriteProfileInt("", "Warn After Scan", 0);
        Backend().ProcessMessages();
        return started;
    }
    void Stop()
    {
        if (!app)
            return;
        if (CWnd* main = app->m_pMainWnd; main && main->m_hWnd)
            main->DestroyWindow();
        app->m_pMainWnd = nullptr;
        Backend().ProcessMessages();
        app->ExitInstance();
        app.reset();
        MSG quit;
        while (::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    CMainFrame& Frame() { return *app->GetMainFrame(); }

    // A project of the folder, without a scan on opening and without the scan's closing note.
    bool SetUp(const std::string& folder)
    {
        CProjectSettings settings;
        settings.m_strProjectDirectory = folder.c_str();
        settings.m_bAutoScan = 0;
        settings.m_bShowAllFound = 0;
        CMetaSettingList* pList = nullptr;
        app->GetMetaSettingList(pList);
        CMetaSettingList list;
        list.CopyFrom(*pList);
        settings.SetSettingsFilePath(pList->GetFilePath());
        return Frame().SetUpProject(settings, list) != nullptr;
    }

    template <class Pred>
    bool PumpUntil(Pred done, int seconds = 600)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < deadline) {
            Backend().ProcessMessages();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return false;
    }

    std::optional<CVostrelApp> app;
};

// The program started once for the benchmarks that work on an open project.
Program& Started()
{
    static Program program;
    static const bool started = program.Start();
    (void)started;
    return program;
}

// The open project of the big site, set up once.
Program& WithSite()
{
    Program& program = Started();
    static const bool ready = program.SetUp(Site::Get().Root());
    (void)ready;
    return program;
}

void BM_FloorBareFrameFirstPaint(benchmark::State& state)
{
    Backend();
    // A bare application object, as the frame's loading asks for one.
    std::optional<CWinApp> bare(std::in_place, "Floor");
    for (auto _ : state) {
        auto* pFrame = new CFrameWnd;   // goes with its window
        if (!pFrame->Create(nullptr, "Vostrel", WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault, nullptr,
                            MAKEINTRESOURCE(IDR_MAINFRAME))) {
            state.SkipWithError("no frame");
            break;
        }
        pFrame->ShowWindow(SW_SHOW);
        pFrame->UpdateWindow();
        Backend().ProcessMessages();
        state.PauseTiming();
        pFrame->DestroyWindow();
        Backend().ProcessMessages();
        state.ResumeTiming();
    }
    bare.reset();
}
BENCHMARK(BM_FloorBareFrameFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_StartUpToFirstPaint(benchmark::State& state)
{
    Backend();
    for (auto _ : state) {
        Program program;
        if (!program.Start()) {
            state.SkipWithError("the program did not start");
            break;
        }
        state.PauseTiming();
        program.Stop();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_FloorFind(benchmark::State& state)
{
    const std::string root = Site::Get().Root();
    for (auto _ : state)
        if (!Run({"find", root}))
            state.SkipWithError("find failed");
}
BENCHMARK(BM_FloorFind)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_NewProjectToFilledTree(benchmark::State& state)
{
    Program& program = Started();
    for (auto _ : state) {
        if (!program.SetUp(Site::Get().Root()) || program.app->GetSelectedNodes().GetCount() != kPages)
            state.SkipWithError("the project did not hold every page");
        state.PauseTiming();
        program.Frame().CloseProjectViews();
        Backend().ProcessMessages();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_NewProjectToFilledTree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The floor's host: a message window that counts the scanned pages, answers the column
// hand-shake and ends the scan as the frame does, but draws nothing.
struct CountingHost : IScanHost {
    HWND hWnd = nullptr;
    size_t nScanned = 0;
    bool bEnded = false;
    HWND GetMainWindow() override { return hWnd; }
    void ReloadGroupView(CSelNodesCol&) override {}
};

LRESULT CALLBACK CountingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM)
{
    auto* pHost = static_cast<CountingHost*>(GetMessageWindowData(hWnd));
    if (pHost == nullptr)
        return 0;
    if (message == kMsgFileScanned) {
        ++pHost->nScanned;
    } else if (message == kMsgShowSetting) {
        ::SetEvent(reinterpret_cast<HANDLE>(wParam));
    } else if (message == kMsgScanFinished) {
        GetAppModel().SetRunState(CVostrelAppModel::runIdle);
        pHost->bEnded = true;
    } else if (message == kMsgOutputAddLine) {
        DeleteAtom(static_cast<ATOM>(wParam));
    }
    return 0;
}

void BM_FloorEngineScan(benchmark::State& state)
{
    Program& program = WithSite();
    CParserEngine& engine = CParserEngine::GetEngine();
    CountingHost host;
    host.hWnd = CreateMessageWindow(&CountingProc, &host);
    CProjectSettings* pSettings = nullptr;
    program.app->GetProjectSettings(pSettings);
    for (auto _ : state) {
        host.nScanned = 0;
        host.bEnded = false;
        engine.SetScanHost(&host);
        if (engine.StartScan(program.app->GetSelectedNodes(), *pSettings) != 0 ||
            !program.PumpUntil([&] { return host.bEnded; }) || host.nScanned != static_cast<size_t>(kPages))
            state.SkipWithError("the engine's scan did not take every page");
        engine.SetScanHost(&program.Frame());
    }
    DestroyMessageWindow(host.hWnd);
}
BENCHMARK(BM_FloorEngineScan)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ScanThroughTheFrame(benchmark::State& state)
{
    Program& program = WithSite();
    for (auto _ : state) {
        program.Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
        if (!program.PumpUntil([&] {
                return program.app->GetRunState() == CVostrelAppModel::runIdle &&
                       program.Frame().GetFilesScanned() == static_cast<UINT>(kPages);
            }))
            state.SkipWithError("the scan did not take every page");
    }
}
BENCHMARK(BM_ScanThroughTheFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// One file-scanned message as the frame takes it, the grid open on every page.
void BM_OneFileScannedMessage(benchmark::State& state)
{
    Program& program = WithSite();
    std::vector<CPageNode*> pages;
    CSelNodesCol& selection = program.app->GetSelectedNodes();
    for (POSITION pos = selection.GetHeadPosition(); pos;)
        pages.push_back(selection.GetNext(pos));
    size_t next = 0;
    program.Frame().SetProgressMeter(CString("Scanning for Metatags: "), 1, static_cast<UINT>(pages.size()));
    for (auto _ : state) {
        program.Frame().SendMessage(kMsgFileScanned, 0, reinterpret_cast<LPARAM>(pages[next]));
        next = (next + 1) % pages.size();
    }
    program.Frame().ClearProgressMeter();
    Backend().ProcessMessages();
}
BENCHMARK(BM_OneFileScannedMessage)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(kPages);

// Marks the first kEditedPages pages' keywords edited, each time with a new text.
void EditPages(Program& program, int nRound)
{
    CSelNodesCol& selection = program.app->GetSelectedNodes();
    int n = 0;
    const CString text = ("edited, round " + std::to_string(nRound)).c_str();
    for (POSITION pos = selection.GetHeadPosition(); pos && n < kEditedPages; ++n) {
        CPageNode* pPage = selection.GetNext(pos);
        CMetaContentList* pList = nullptr;
        if (pPage->GetContentList(pList) != 0)
            pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        if (pList->FindByName("KEYWORDS", pContent) == 0) {
            pContent->SetContent(text);
            pContent->SetModified(1);
        } else {
            pList->AddContent("KEYWORDS", text, 1, pContent);
        }
    }
    program.app->SetEditState(1);
}

// Counts the saved pages for the floor, which runs the engine's save without a dialog.
struct SaveCounter {
    size_t nSaved = 0;
    bool bEnded = false;
};

LRESULT CALLBACK SaveCountProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM)
{
    auto* pCounter = static_cast<SaveCounter*>(GetMessageWindowData(hWnd));
    if (pCounter == nullptr)
        return 0;
    if (message == kMsgSavePageDone)
        ++pCounter->nSaved;
    else if (message == kMsgSaveFinished || message == kMsgSaveStopped)
        pCounter->bEnded = true;
    else if (message == kMsgOutputAddLine)
        DeleteAtom(static_cast<ATOM>(wParam));
    return 0;
}

void BM_FloorEngineSave1000(benchmark::State& state)
{
    Program& program = WithSite();
    SaveCounter counter;
    const HWND hWnd = CreateMessageWindow(&SaveCountProc, &counter);
    int nRound = 0;
    for (auto _ : state) {
        state.PauseTiming();
        EditPages(program, ++nRound);
        CSelNodesCol edited;
        program.app->GetPageNodes().CollectEditedPages(edited);
        counter = SaveCounter{};
        state.ResumeTiming();
        CParserEngine::GetEngine().StartSave(edited, hWnd, hWnd);
        if (!program.PumpUntil([&] { return counter.bEnded; }) || counter.nSaved != static_cast<size_t>(kEditedPages))
            state.SkipWithError("the engine's save did not save every page");
    }
    program.app->SetEditState(program.app->GetPageNodes().HasEdits() == 2 ? 1 : 0);
    DestroyMessageWindow(hWnd);
}
BENCHMARK(BM_FloorEngineSave1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_SaveEditedFiles1000(benchmark::State& state)
{
    Program& program = WithSite();
    int nRound = 100;
    for (auto _ : state) {
        state.PauseTiming();
        EditPages(program, ++nRound);
        state.ResumeTiming();
        program.Frame().SendMessage(WM_COMMAND, ID_SAVE_EDITED_FILES);
        if (program.app->IsEdited() != 3)
            state.SkipWithError("pages were left unsaved");
    }
}
BENCHMARK(BM_SaveEditedFiles1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_FloorArchiveSettings(benchmark::State& state)
{
    Program& program = WithSite();
    CProjectSettings* pSettings = nullptr;
    program.app->GetProjectSettings(pSettings);
    const std::string path = Site::Get().Top() + "/floor.vsp";
    for (auto _ : state) {
        {
            CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
            CArchive ar(&file, CArchive::store, 4096);
            ar.WriteObject(pSettings);
            ar.Close();
        }
        {
            CFile file(path.c_str(), CFile::modeRead);
            CArchive ar(&file, CArchive::load, 4096);
            CObject* pRead = ar.ReadObject(RUNTIME_CLASS(CProjectSettings));
            ar.Close();
            delete pRead;
        }
    }
}
BENCHMARK(BM_FloorArchiveSettings)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(200);

void BM_WriteProjectFile(benchmark::State& state)
{
    Program& program = WithSite();
    const CString path = (Site::Get().Top() + "/site.vsp").c_str();
    for (auto _ : state)
        if (program.Frame().WriteProjectFile(path) != 0)
            state.SkipWithError("the project was not written");
}
BENCHMARK(BM_WriteProjectFile)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(200);

// Opening walks the project's folder, so it opens the three-page site.
void BM_OpenProjectFileSmallSite(benchmark::State& state)
{
    Program& program = Started();
    if (!program.SetUp(Site::Get().Small())) {
        state.SkipWithError("no project");
        return;
    }
    const CString path = (Site::Get().Top() + "/small.vsp").c_str();
    if (program.Frame().WriteProjectFile(path) != 0) {
        state.SkipWithError("the project was not written");
        return;
    }
    for (auto _ : state)
        if (program.Frame().OpenProjectFile(path) != CMainFrame::kOpenDone)
            state.SkipWithError("the project did not open");
}
BENCHMARK(BM_OpenProjectFileSmallSite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

} // namespace
