// A scan of a large site that meets a new META name on every page, with the program's window
// shown on a real X server ($DISPLAY, else a private Xvfb): each new name becomes a column of the
// project's grid while the scan runs. One run scans 10,000 pages that share three names, then
// the same 10,000 pages with a name each, through the frame's Start Scan, and gives both times
// and their ratio ("x_shared"). The sites are made under $VOSTREL_BENCH_DIR, else $TMPDIR or
// /tmp, and removed at the end.
#include "app/frame/CMainFrame.h"
#include "app/frame/CVostrelApp.h"
#include "app/res/AppRes.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/backends/x11/X11Backend.h"
#include "platform/controls/Dialog.h"
#include "platform/win/UserApi.h"
#include "tests/platform/win/XvfbServer.h"

#include "BenchSiteDir.h"
#include "ProgramStart.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

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
        m_top = BenchSiteDir("vostrel-scan-shown-bench");
        fs::create_directories(Shared());
        fs::create_directories(NameEach());
        for (int n = 0; n < kPages; ++n) {
            const std::string file = "page" + std::to_string(n) + ".htm";
            WritePage(fs::path(Shared()) / file, n, Meta("shared-a", "a") + Meta("shared-b", "b") + Meta("shared-c", "c"));
            WritePage(fs::path(NameEach()) / file, n, Meta("own-" + std::to_string(n), "value " + std::to_string(n)));
        }
    }
    ~Sites()
    {
        std::error_code error;
        fs::remove_all(m_top, error);
    }
    Sites(const Sites&) = delete;
    Sites& operator=(const Sites&) = delete;

    std::string Shared() const { return (m_top / "shared").string(); }
    std::string NameEach() const { return (m_top / "name-each").string(); }

private:
    fs::path m_top;
};

// The X display: $DISPLAY when set, else a private Xvfb; empty with the reason when neither.
std::string Display(std::unique_ptr<XvfbServer>& server, std::string& why)
{
    if (const char* display = std::getenv("DISPLAY"); display != nullptr && *display != '\0')
        return display;
    if (!XvfbServer::Available()) {
        why = "no DISPLAY and Xvfb is not installed";
        return std::string();
    }
    server = std::make_unique<XvfbServer>(1280, 1024);
    if (!server->Start()) {
        why = "Xvfb did not start";
        server.reset();
        return std::string();
    }
    return server->DisplayName();
}

// The whole program on the X server, its main window shown, started without a project.
class ShownProgram {
public:
    bool Start(const std::string& display, std::string& why)
    {
        const fs::path config = fs::temp_directory_path() / ("vostrel-scan-shown-bench-config-" + std::to_string(::getpid()));
        fs::create_directories(config);
        m_config = config;
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        if (X11Backend::Install(display.c_str(), why) == nullptr)
            return false;
        m_app.emplace();
        // The File New chooser of start-up is cancelled as soon as it shows.
        m_chooserTimer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
            if (HWND dlg = ::GetActiveWindow(); dlg != nullptr && ::GetWindow(dlg, GW_OWNER) != nullptr)
                ::PostMessage(dlg, WM_COMMAND, IDCANCEL, 0);
        });
        char name[] = "vostrel";
        char* argv[] = {name, nullptr};
        m_app->SetCommandLine(1, argv);
        if (!m_app->InitApplication() || !m_app->InitInstance()) {
            why = "the program did not start";
            return false;
        }
        ::KillTimer(nullptr, m_chooserTimer);
        m_app->WriteProfileInt("", "Warn After Scan", 0);
        return true;
    }
    ~ShownProgram()
    {
        if (m_app) {
            if (CWnd* main = m_app->m_pMainWnd; main != nullptr && main->m_hWnd != nullptr)
                main->DestroyWindow();
            m_app->m_pMainWnd = nullptr;
            Run([] { return true; }, 1000);
            m_app->ExitInstance();
            m_app.reset();
        }
        std::error_code error;
        fs::remove_all(m_config, error);
    }

    // A project of the folder with the built-in catalogue, showing every tag found, not scanned
    // on opening; true when it holds every page.
    bool SetUp(const std::string& folder)
    {
        return SetUpFoundTagsProject(*m_app, folder, kPages) && Run([] { return Drawn(); }, 600000);
    }
    // Start Scan through the frame; true when every page was read and the window has drawn it.
    bool Scan()
    {
        Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
        return Run([&] {
            return m_app->GetRunState() == CVostrelAppModel::runIdle && Frame().GetFilesScanned() == kPages && Drawn();
        }, 1800000);
    }
    UINT ShownCount()
    {
        CMetaSettingList* pList = nullptr;
        m_app->GetMetaSettingList(pList);
        return static_cast<UINT>(pList->GetShownCount());
    }

private:
    CMainFrame& Frame() { return *m_app->GetMainFrame(); }
    static bool Drawn()
    {
        MSG msg;
        return !::PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE);
    }
    // The program's own loop until done holds.
    bool Run(const std::function<bool()>& done, int ms)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            MSG msg;
            while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (m_app && m_app->PreTranslateMessage(&msg))
                    continue;
                ::TranslateMessage(&msg);
                ::DispatchMessage(&msg);
            }
            for (LONG count = 0; m_app && m_app->OnIdle(count); ++count) {
            }
            if (done())
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            GetWindowBackend().PumpEvents(5);
        }
    }

    std::optional<CVostrelApp> m_app;
    UINT_PTR m_chooserTimer = 0;
    fs::path m_config;
};

double Seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Both sites scanned in the same run, each into a project set up afresh (untimed): the figure
// of the pages with a name each stands beside that of the same pages sharing three names.
void BM_TenThousandNewNamesWithTheWindowShown(benchmark::State& state)
{
    std::unique_ptr<XvfbServer> server;
    std::string why;
    const std::string display = Display(server, why);
    ShownProgram program;
    if (display.empty() || !program.Start(display, why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    const Sites sites;
    double dShared = 0, dEach = 0;
    UINT nSharedColumns = 0, nEachColumns = 0;
    for (auto _ : state) {
        for (const bool bEach : {false, true}) {
            state.PauseTiming();
            if (!program.SetUp(bEach ? sites.NameEach() : sites.Shared())) {
                state.SkipWithError("the project did not hold the pages");
                return;
            }
            state.ResumeTiming();
            const auto start = std::chrono::steady_clock::now();
            if (!program.Scan()) {
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
