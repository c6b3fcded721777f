// The whole program on the memory backend, over a generated site of 10,000 pages in 500
// folders (made under $VOSTREL_BENCH_DIR, else $TMPDIR or /tmp, and removed at the end). Each
// figure stands beside its floor, measured in the same run:
// - start-up to the first painted main window, beside a bare frame window with the same menu,
//   shown and painted;
// - New Project, from the accepted dialog to the filled Project Area, beside find over the site;
// - a scan of every page with the main frame taking each file-scanned message (meter, view
//   row), beside the same engine scan with a message window that only counts them;
// - one file-scanned message taken by the main frame with the grid open;
// - a key typed every 10 ms while the frame scans, from the key's arrival to the end of its
//   handling, beside the same keys typed into a bare edit control with nothing else to do;
// - Save Edited Files on 1,000 edited pages with backups, beside the engine's save of the same
//   pages to a message window;
// - the longest wait between repaints of the save dialog's progress bar while it saves, beside
//   the engine's save stepping a bare progress bar;
// - writing and opening a project file, beside the project settings stored and read through the
//   archive alone (the open walks a three-page site);
// - on a site of 100,000 pages in 5,000 folders: Fill Down of the Keywords column over every
//   page, the list of edited pages that the save dialog makes on opening, and Save Edited Files of
//   every page with backups (with the wait until its dialog shows), beside `cp -r` of the site.
#include "app/dialogs/CSaveHTMLFilesDlg.h"
#include "app/frame/CMainFrame.h"
#include "app/frame/CVostrelApp.h"
#include "app/res/AppRes.h"
#include "app/views/CGroupView.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/IScanHost.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRange.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/Progress.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/AtomTable.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/RegistryStore.h"
#include "platform/core/SyncApi.h"
#include "platform/core/WindowHandle.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"

#include "CountingHost.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <deque>
#include <mutex>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
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

// The dialogs of the thread that show and take input.
std::vector<HWND> ShownDialogs()
{
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) -> BOOL {
            char cls[32] = {};
            GetClassName(hwnd, cls, sizeof cls);
            if (std::string(cls) == WC_DIALOG_NAME && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
                reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The first of them; null when there is none.
HWND ShownDialog()
{
    const std::vector<HWND> found = ShownDialogs();
    return found.empty() ? nullptr : found.front();
}

// Cancels the File New chooser that start-up shows, on the first idle turn it is up.
void CancelChooser(int turnsLeft = 2000)
{
    Backend().WhenIdle([turnsLeft] {
        const HWND found = ShownDialog();
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

// ---- Typing while the program works, and repaints while it saves ----

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Watches every message the thread delivers: when a key press has been handled (the outermost
// WM_KEYDOWN returned) and when a progress bar outside the main frame has painted.
struct Watch {
    std::mutex mutex;
    std::deque<Clock::time_point> pending;   // keys typed, not handled yet
    std::vector<double> latencies;           // milliseconds, key to handled
    std::vector<Clock::time_point> paints;
    int nKeyDepth = 0;
    HWND hExcludedRoot = nullptr;
    HHOOK hBefore = nullptr;
    HHOOK hAfter = nullptr;

    static Watch& Get()
    {
        static Watch s_watch;
        return s_watch;
    }
    void Start(HWND hExcluded)
    {
        hExcludedRoot = hExcluded;
        hBefore = SetWindowsHookEx(WH_CALLWNDPROC, &Before, nullptr, GetCurrentThreadId());
        hAfter = SetWindowsHookEx(WH_CALLWNDPROCRET, &After, nullptr, GetCurrentThreadId());
    }
    void Stop()
    {
        UnhookWindowsHookEx(hBefore);
        UnhookWindowsHookEx(hAfter);
        hBefore = hAfter = nullptr;
    }
    size_t Pending()
    {
        std::lock_guard lock(mutex);
        return pending.size();
    }
    static LRESULT CALLBACK Before(int code, WPARAM wParam, LPARAM lParam)
    {
        Watch& w = Get();
        if (code == HC_ACTION && reinterpret_cast<CWPSTRUCT*>(lParam)->message == WM_KEYDOWN)
            ++w.nKeyDepth;
        return CallNextHookEx(w.hBefore, code, wParam, lParam);
    }
    static LRESULT CALLBACK After(int code, WPARAM wParam, LPARAM lParam)
    {
        Watch& w = Get();
        const auto* pRet = reinterpret_cast<CWPRETSTRUCT*>(lParam);
        if (code == HC_ACTION && pRet->message == WM_KEYDOWN && --w.nKeyDepth == 0) {
            const Clock::time_point now = Clock::now();
            std::lock_guard lock(w.mutex);
            if (!w.pending.empty()) {
                w.latencies.push_back(Milliseconds(now - w.pending.front()));
                w.pending.pop_front();
            }
        } else if (code == HC_ACTION && pRet->message == WM_PAINT) {
            char cls[32] = {};
            GetClassName(pRet->hwnd, cls, sizeof cls);
            if (std::string(cls) == PROGRESS_CLASS && GetAncestor(pRet->hwnd, GA_ROOT) != w.hExcludedRoot)
                w.paints.push_back(Clock::now());
        }
        return CallNextHookEx(w.hAfter, code, wParam, lParam);
    }
};

// Types Right and Left in turn, one key every 10 ms, from its own thread as a display would,
// until it goes out of scope.
class KeyTyper {
public:
    KeyTyper() : m_thread([this] { Run(); }) {}
    ~KeyTyper()
    {
        m_stop = true;
        m_thread.join();
    }
    KeyTyper(const KeyTyper&) = delete;
    KeyTyper& operator=(const KeyTyper&) = delete;

private:
    void Run()
    {
        bool bRight = true;
        Clock::time_point next = Clock::now();
        while (!m_stop) {
            next += std::chrono::milliseconds(10);
            std::this_thread::sleep_until(next);
            {
                std::lock_guard lock(Watch::Get().mutex);
                Watch::Get().pending.push_back(Clock::now());
            }
            Backend().Key(bRight ? VK_RIGHT : VK_LEFT);
            bRight = !bRight;
        }
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

template <class Pred>
bool Pump(Pred done, int seconds)
{
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < deadline) {
        Backend().ProcessMessages();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

// Waits for the keys still queued, then reports their latencies; false when some were lost.
bool ReportTyping(benchmark::State& state)
{
    Watch& w = Watch::Get();
    const bool bAll = Pump([&] { return w.Pending() == 0; }, 10);
    std::vector<double> lat;
    {
        std::lock_guard lock(w.mutex);
        lat.swap(w.latencies);
        w.pending.clear();
    }
    if (lat.empty())
        return false;
    std::sort(lat.begin(), lat.end());
    auto at = [&](double q) { return lat[static_cast<size_t>(std::ceil(q * lat.size())) - 1]; };
    state.counters["keys"] = static_cast<double>(lat.size());
    state.counters["p50_ms"] = at(0.50);
    state.counters["p99_ms"] = at(0.99);
    state.counters["max_ms"] = lat.back();
    return bAll;
}

// The floor: the same keys into a bare edit control holding some text, the thread idle.
void BM_FloorTypingIntoBareEdit(benchmark::State& state)
{
    Program& program = Started();
    RegisterStandardControls();
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "VostrelTypingFloor";
    RegisterClass(&wc);
    const HWND hTop = CreateWindowEx(0, "VostrelTypingFloor", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                                     nullptr, nullptr, nullptr);
    const HWND hEdit = CreateWindowEx(WS_EX_CLIENTEDGE, WC_EDIT, "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 640,
                                      480, hTop, nullptr, nullptr, nullptr);
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "A line of text in the bare edit control, to move the caret along.\r\n";
    SetWindowText(hEdit, text.c_str());
    Backend().FocusIn(hTop);
    SetFocus(hEdit);
    Backend().ProcessMessages();
    Watch::Get().Start(program.Frame().m_hWnd);
    bool bOk = true;
    for (auto _ : state) {
        KeyTyper typer;
        Pump([] { return false; }, 2);
    }
    bOk = ReportTyping(state);
    Watch::Get().Stop();
    if (!bOk)
        state.SkipWithError("keys were not handled");
    DestroyWindow(hTop);
    Backend().FocusIn(program.Frame().m_hWnd);
    Backend().ProcessMessages();
}
BENCHMARK(BM_FloorTypingIntoBareEdit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Keys into the main frame while it scans every page of the site, each file-scanned message
// taken as usual (meter, grid row).
void BM_TypingWhileScanning(benchmark::State& state)
{
    Program& program = WithSite();
    Backend().FocusIn(program.Frame().m_hWnd);
    Backend().ProcessMessages();
    if (GetFocus() == nullptr)
        SetFocus(program.Frame().m_hWnd);
    Watch::Get().Start(program.Frame().m_hWnd);
    bool bOk = true;
    for (auto _ : state) {
        KeyTyper typer;
        program.Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
        bOk = bOk && program.PumpUntil([&] {
            return program.app->GetRunState() == CVostrelAppModel::runIdle &&
                   program.Frame().GetFilesScanned() == static_cast<UINT>(kPages);
        });
    }
    bOk = ReportTyping(state) && bOk;
    Watch::Get().Stop();
    if (!bOk)
        state.SkipWithError("the scan or the keys did not end");
}
BENCHMARK(BM_TypingWhileScanning)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

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

// The waits between progress-bar paints from the start of the save to its end.
void ReportRepaints(benchmark::State& state, const std::vector<std::pair<Clock::time_point, Clock::time_point>>& runs)
{
    std::vector<Clock::time_point> paints;
    paints.swap(Watch::Get().paints);
    double longest = 0;
    double total = 0;
    size_t nGaps = 0;
    for (const auto& [start, end] : runs) {
        Clock::time_point last = start;
        for (const Clock::time_point t : paints) {
            if (t < start || t > end)
                continue;
            longest = std::max(longest, Milliseconds(t - last));
            total += Milliseconds(t - last);
            ++nGaps;
            last = t;
        }
        longest = std::max(longest, Milliseconds(end - last));
        total += Milliseconds(end - last);
        ++nGaps;
    }
    state.counters["paints"] = static_cast<double>(nGaps - runs.size()) / static_cast<double>(runs.size());
    state.counters["mean_gap_ms"] = nGaps ? total / static_cast<double>(nGaps) : 0;
    state.counters["max_gap_ms"] = longest;
}

struct SaveStepper {
    HWND hProgress = nullptr;
    size_t nSaved = 0;
    bool bEnded = false;
};

LRESULT CALLBACK SaveStepProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM)
{
    auto* pStepper = static_cast<SaveStepper*>(GetMessageWindowData(hWnd));
    if (pStepper == nullptr)
        return 0;
    if (message == kMsgSavePageDone) {
        ++pStepper->nSaved;
        SendMessage(pStepper->hProgress, PBM_STEPIT, 0, 0);
        // The control's own step does not always ask for a repaint; the floor must repaint.
        InvalidateRect(pStepper->hProgress, nullptr, FALSE);
    } else if (message == kMsgSaveFinished || message == kMsgSaveStopped) {
        pStepper->bEnded = true;
    } else if (message == kMsgOutputAddLine) {
        DeleteAtom(static_cast<ATOM>(wParam));
    }
    return 0;
}

// The floor: the engine's save of the same pages stepping a bare progress bar in a bare window.
void BM_FloorSaveStepsBareProgress(benchmark::State& state)
{
    Program& program = WithSite();
    RegisterStandardControls();
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "VostrelProgressFloor";
    RegisterClass(&wc);
    const HWND hTop = CreateWindowEx(0, "VostrelProgressFloor", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 120, nullptr,
                                     nullptr, nullptr, nullptr);
    SaveStepper stepper;
    stepper.hProgress = CreateWindowEx(0, PROGRESS_CLASS, "", WS_CHILD | WS_VISIBLE, 10, 40, 380, 20, hTop, nullptr,
                                       nullptr, nullptr);
    const HWND hWnd = CreateMessageWindow(&SaveStepProc, &stepper);
    Backend().ProcessMessages();
    Watch::Get().Start(program.Frame().m_hWnd);
    Watch::Get().paints.clear();
    std::vector<std::pair<Clock::time_point, Clock::time_point>> runs;
    int nRound = 200;
    for (auto _ : state) {
        state.PauseTiming();
        EditPages(program, ++nRound);
        CSelNodesCol edited;
        program.app->GetPageNodes().CollectEditedPages(edited);
        stepper.nSaved = 0;
        stepper.bEnded = false;
        SendMessage(stepper.hProgress, PBM_SETRANGE32, 0, kEditedPages);
        SendMessage(stepper.hProgress, PBM_SETSTEP, 1, 0);
        SendMessage(stepper.hProgress, PBM_SETPOS, 0, 0);
        Backend().ProcessMessages();
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        CParserEngine::GetEngine().StartSave(edited, hWnd, hWnd);
        if (!Pump([&] { return stepper.bEnded; }, 600) || stepper.nSaved != static_cast<size_t>(kEditedPages))
            state.SkipWithError("the engine's save did not save every page");
        runs.emplace_back(start, Clock::now());
    }
    Watch::Get().Stop();
    ReportRepaints(state, runs);
    program.app->SetEditState(program.app->GetPageNodes().HasEdits() == 2 ? 1 : 0);
    DestroyMessageWindow(hWnd);
    DestroyWindow(hTop);
    Backend().ProcessMessages();
}
BENCHMARK(BM_FloorSaveStepsBareProgress)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Save Edited Files as the user runs it: the save dialog's progress bar, its modal loop.
void BM_SaveEditedFilesRepaints(benchmark::State& state)
{
    Program& program = WithSite();
    Watch::Get().Start(program.Frame().m_hWnd);
    Watch::Get().paints.clear();
    std::vector<std::pair<Clock::time_point, Clock::time_point>> runs;
    int nRound = 300;
    for (auto _ : state) {
        state.PauseTiming();
        EditPages(program, ++nRound);
        Backend().ProcessMessages();
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        program.Frame().SendMessage(WM_COMMAND, ID_SAVE_EDITED_FILES);
        runs.emplace_back(start, Clock::now());
        if (program.app->IsEdited() != 3)
            state.SkipWithError("pages were left unsaved");
    }
    Watch::Get().Stop();
    ReportRepaints(state, runs);
}
BENCHMARK(BM_SaveEditedFilesRepaints)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

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

// ---- A site of 100,000 pages ----
// Last, as they leave the program on the large project.

constexpr int kLargeFolders = 5000;
constexpr int kLargePagesPerFolder = 20;
constexpr int kLargePages = kLargeFolders * kLargePagesPerFolder;

// The large site, made on first use beside the others (and removed with them).
std::string LargeRoot()
{
    static const std::string s_root = [] {
        const fs::path root = fs::path(Site::Get().Top()) / "large" / "site";
        for (int f = 0; f < kLargeFolders; ++f) {
            char folder[16];
            std::snprintf(folder, sizeof folder, "dir%04d", f);
            fs::create_directories(root / folder);
            for (int p = 0; p < kLargePagesPerFolder; ++p) {
                char page[16];
                std::snprintf(page, sizeof page, "page%02d.htm", p);
                std::ofstream(root / folder / page, std::ios::binary) << PageText(f, p);
            }
        }
        return root.string();
    }();
    return s_root;
}

void BM_FloorCopyLargeSite(benchmark::State& state)
{
    const std::string root = LargeRoot();
    const std::string copy = fs::path(root).parent_path().string() + "/copy";
    for (auto _ : state) {
        if (!Run({"cp", "-r", root, copy}))
            state.SkipWithError("cp failed");
        state.PauseTiming();
        Run({"rm", "-rf", copy});
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FloorCopyLargeSite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The program with the large project open, its grid showing the Keywords column, the first page
// holding a Keywords value; null when it could not be set up.
CGroupView* WithLargeSite(Program& program)
{
    static CGroupView* s_pView = [&]() -> CGroupView* {
        CMetaSettingList* pList = nullptr;
        CMetaSetting* pKeywords = nullptr;
        program.app->GetMetaSettingList(pList);
        if (pList->FindByName("Keywords", pKeywords) != 0)
            return nullptr;
        pKeywords->SetShow(1);
        CGroupView* pView = nullptr;
        if (!program.SetUp(LargeRoot()) || program.app->GetSelectedNodes().GetCount() != kLargePages ||
            program.app->ActivateGroupView(pView) != 0 || pView->GetRowCount() != static_cast<ROWCOL>(kLargePages))
            return nullptr;
        CPageNode* pFirst = nullptr;
        pView->GetRowPage(1, pFirst);
        CMetaContentList* pContents = nullptr;
        if (pFirst->GetContentList(pContents) != 0)
            pFirst->CreateContentList(pContents);
        CMetaContent* pContent = nullptr;
        pContents->AddContent("Keywords", "generated, site, filled", 0, pContent);
        pView->RefreshPageRow(pFirst);
        Backend().ProcessMessages();
        return pView;
    }();
    return s_pView;
}

// Fill Down of the first page's Keywords over the whole column, as Ctrl+D does it, with a value
// of the round's own (the same value again would change no page).
bool FillDownLargeSite(Program& program, CGroupView& view, int nRound)
{
    CPageNode* pFirst = nullptr;
    CMetaContentList* pContents = nullptr;
    CMetaContent* pContent = nullptr;
    if (view.GetRowPage(1, pFirst) != 0 || pFirst->GetContentList(pContents) != 0 ||
        pContents->FindByName("Keywords", pContent) != 0)
        return false;
    pContent->SetContent(("generated, site, round " + std::to_string(nRound)).c_str());
    view.RefreshPageRow(pFirst);
    ROWCOL nCol = 0;
    for (ROWCOL c = 1; c <= view.GetColCount() && nCol == 0; ++c)
        if (view.GetCellValue(0, c) == "Keywords")
            nCol = c;
    if (nCol == 0)
        return false;
    view.SetCurrentCell(1, nCol);
    view.SelectRange(CGXRange(1, nCol, static_cast<ROWCOL>(kLargePages), nCol), TRUE, TRUE);
    // More rows than the grid's undo holds: the grid asks whether to go on without undo, and the
    // user goes on. The bench goes on without the question.
    view.GetParam()->EnableUndo(FALSE);
    view.SendMessage(WM_COMMAND, ID_FILL_DOWN);
    view.GetParam()->EnableUndo(TRUE);
    Backend().ProcessMessages();
    return program.app->IsEdited() == 2;
}

void BM_LargeSiteFillDown(benchmark::State& state)
{
    Program& program = Started();
    CGroupView* pView = WithLargeSite(program);
    if (pView == nullptr) {
        state.SkipWithError("the large project was not set up");
        return;
    }
    int nRound = 0;
    for (auto _ : state)
        if (!FillDownLargeSite(program, *pView, ++nRound)) {
            state.SkipWithError("Fill Down marked nothing");
            break;
        }
}
BENCHMARK(BM_LargeSiteFillDown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The list of edited pages, as the save dialog makes it on opening.
void BM_LargeSiteCollectEditedPages(benchmark::State& state)
{
    Program& program = Started();
    if (WithLargeSite(program) == nullptr || program.app->IsEdited() != 2) {
        state.SkipWithError("no edited large project");
        return;
    }
    for (auto _ : state) {
        CSelNodesCol edited;
        program.app->GetPageNodes().CollectEditedPages(edited);
        if (edited.GetCount() != kLargePages)
            state.SkipWithError("not every page was listed");
    }
}
BENCHMARK(BM_LargeSiteCollectEditedPages)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Notes when the save dialog first shows, on an idle turn of its modal loop.
void WatchForSaveDialog(const std::shared_ptr<Clock::time_point>& pShown)
{
    Backend().WhenIdle([pShown] {
        if (*pShown != Clock::time_point())
            return;
        for (HWND found : ShownDialogs())
            if (reinterpret_cast<uintptr_t>(GetProp(found, DIALOG_TEMPLATE_ID_PROP)) ==
                static_cast<uintptr_t>(CSaveHTMLFilesDlg::IDD))
                *pShown = Clock::now();
        if (*pShown == Clock::time_point())
            WatchForSaveDialog(pShown);
    });
}

// Save Edited Files (Ctrl+T) of every page, its dialog's progress and the backups included.
void BM_LargeSiteSaveEditedFiles(benchmark::State& state)
{
    Program& program = Started();
    CGroupView* pView = WithLargeSite(program);
    if (pView == nullptr) {
        state.SkipWithError("the large project was not set up");
        return;
    }
    std::vector<double> waits;
    int nRound = 100;
    for (auto _ : state) {
        state.PauseTiming();
        if (!FillDownLargeSite(program, *pView, ++nRound)) {
            state.SkipWithError("Fill Down marked nothing");
            break;
        }
        const auto pShown = std::make_shared<Clock::time_point>();
        WatchForSaveDialog(pShown);
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        program.Frame().SendMessage(WM_COMMAND, ID_SAVE_EDITED_FILES);
        const Clock::time_point shown = *pShown;
        // A watch that saw no dialog stops at its next turn.
        *pShown = start;
        if (shown == Clock::time_point() || program.app->IsEdited() != 3) {
            state.SkipWithError("the dialog did not show, or pages were left unsaved");
            break;
        }
        waits.push_back(Milliseconds(shown - start));
    }
    if (!waits.empty())
        state.counters["dialog_shown_ms"] = *std::max_element(waits.begin(), waits.end());
}
BENCHMARK(BM_LargeSiteSaveEditedFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace
