// The whole program for a benchmark on a real X server ($DISPLAY, else a private Xvfb), its main
// window shown, started without a project: its profile in a folder of its own, the File New
// chooser of start-up cancelled as soon as it shows, the "Scan Completed" message switched off.
#pragma once

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

#include "ProgramStart.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

// The X display: $DISPLAY when set, else a private Xvfb; empty with the reason when neither.
inline std::string BenchDisplay(std::unique_ptr<XvfbServer>& server, std::string& why)
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

inline double Seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

class ShownProgram {
public:
    ShownProgram() = default;
    ShownProgram(const ShownProgram&) = delete;
    ShownProgram& operator=(const ShownProgram&) = delete;

    // Starts on $DISPLAY, else on a private Xvfb that lives as long as the program; false with
    // the reason when there is no display or the program did not start.
    bool StartOnDisplay(std::string& why)
    {
        const std::string display = BenchDisplay(m_server, why);
        return !display.empty() && Start(display, why);
    }
    // The same for a benchmark: false, with it skipped and the reason given, when not started.
    bool StartOnDisplay(benchmark::State& state)
    {
        std::string why;
        if (StartOnDisplay(why))
            return true;
        state.SkipWithError(why.c_str());
        return false;
    }
    bool Start(const std::string& display, std::string& why)
    {
        const std::filesystem::path config = std::filesystem::temp_directory_path()
            / ("vostrel-shown-bench-config-" + std::to_string(::getpid()));
        std::filesystem::create_directories(config);
        m_config = config;
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        if (X11Backend::Install(display.c_str(), why) == nullptr)
            return false;
        m_app.emplace();
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
        std::filesystem::remove_all(m_config, error);
    }

    // A project of the folder with the built-in catalogue, showing every tag found, not scanned
    // on opening; true when it holds every page and the window has drawn it.
    bool SetUp(const std::string& folder, int nPages)
    {
        return SetUpFoundTagsProject(*m_app, folder, nPages) && Run([] { return Drawn(); }, 600000);
    }
    // Start Scan through the frame; true when every page was read and the window has drawn it.
    bool Scan(int nPages)
    {
        Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
        return WaitForScanEnd(nPages);
    }
    // Waits until the frame has taken every page's end and the scan's, and the window has drawn
    // what they changed.
    bool WaitForScanEnd(int nPages)
    {
        return Run([&] {
            return m_app->GetRunState() == CVostrelAppModel::runIdle
                && Frame().GetFilesScanned() == static_cast<UINT>(nPages) && Drawn();
        }, 1800000);
    }
    UINT ShownCount()
    {
        CMetaSettingList* pList = nullptr;
        m_app->GetMetaSettingList(pList);
        return static_cast<UINT>(pList->GetShownCount());
    }
    CVostrelApp& App() { return *m_app; }
    CMainFrame& Frame() { return *m_app->GetMainFrame(); }

    // The program's own loop until done holds; false when ms went by first.
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

    // Every message the program has in its queue handled.
    bool Settled()
    {
        return Run([] {
            MSG msg;
            return !::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
        }, 600000);
    }

private:
    static bool Drawn()
    {
        MSG msg;
        return !::PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE);
    }

    std::unique_ptr<XvfbServer> m_server;   // goes after the program, whose windows it shows
    std::optional<CVostrelApp> m_app;
    UINT_PTR m_chooserTimer = 0;
    std::filesystem::path m_config;
};
