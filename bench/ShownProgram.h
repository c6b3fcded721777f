// The whole program with its main window shown on a real X server ($DISPLAY, else a private
// Xvfb), started without a project, for benchmarks that must meet what a user meets: the
// window's painting, its timers and its message loop all take part.
#pragma once

#include "app/frame/CMainFrame.h"
#include "app/frame/CVostrelApp.h"
#include "app/res/AppRes.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/backends/x11/X11Backend.h"
#include "platform/controls/Dialog.h"
#include "platform/win/UserApi.h"
#include "tests/platform/win/XvfbServer.h"

#include "ProgramStart.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

// The X display: $DISPLAY when set, else a private Xvfb; empty with the reason when neither.
inline std::string ShownDisplay(std::unique_ptr<XvfbServer>& server, std::string& why)
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

class ShownProgram {
public:
    ShownProgram() = default;
    ShownProgram(const ShownProgram&) = delete;
    ShownProgram& operator=(const ShownProgram&) = delete;

    // Its profile in a folder of its own, named after pszName; the File New chooser of start-up
    // is cancelled as soon as it shows.
    bool Start(const std::string& display, const char* pszName, std::string& why)
    {
        const std::filesystem::path config =
            std::filesystem::temp_directory_path() / (std::string(pszName) + "-config-" + std::to_string(::getpid()));
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

    CVostrelApp& App() { return *m_app; }
    CMainFrame& Frame() { return *m_app->GetMainFrame(); }

    // A project of the folder with the built-in catalogue, showing every tag found, not scanned
    // on opening; true when it holds `pages` pages and the window has drawn them.
    bool SetUp(const std::string& folder, INT_PTR pages)
    {
        return SetUpFoundTagsProject(*m_app, folder, pages) && Run([] { return Drawn(); }, 600000);
    }
    // Start Scan through the frame; true when every page was read and the window has drawn it.
    bool Scan(UINT pages)
    {
        Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
        return Run([&] {
            return m_app->GetRunState() == CVostrelAppModel::runIdle && Frame().GetFilesScanned() == pages && Drawn();
        }, 1800000);
    }

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

private:
    std::optional<CVostrelApp> m_app;
    UINT_PTR m_chooserTimer = 0;
    std::filesystem::path m_config;
};
