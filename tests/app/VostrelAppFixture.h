// Runs the whole program in the test's process on the headless backend: a temporary
// configuration folder, the application object started as the program starts it (the File New
// chooser answered), and everything ended as the program ends.
#pragma once

#include "app/CMainFrame.h"
#include "app/CVostrelApp.h"
#include "platform/afx/AfxRes.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/win/Gdi.h"
#include "tests/support/DialogAutomation.h"
#include "tests/support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

class VostrelAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startFolder = std::filesystem::current_path();
        env.emplace("XDG_CONFIG_HOME", config.Path());
        backend = &HeadlessBackend::Install();
        SetTestFontMode(true);
    }
    void TearDown() override
    {
        Stop();
        MSG quit;
        while (::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        CWnd::DeleteTempMap();
        std::error_code error;
        std::filesystem::current_path(startFolder, error);
        SetWindowBackend(nullptr);
        SetTestFontMode(false);
    }

    // Starts the program with the arguments; the File New chooser that start-up shows is
    // cancelled. Whatever message boxes start-up shows must be answered by the caller first.
    bool Start(const std::vector<std::string>& args = {})
    {
        app.emplace();
        std::vector<std::string> storage{"vostrel"};
        storage.insert(storage.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& s : storage)
            argv.push_back(s.data());
        app->SetCommandLine(static_cast<int>(argv.size()), argv.data());
        bool chooser = false;
        FillDialog(*backend, AFX_IDD_NEWTYPEDLG, DialogFill{{}, {}, IDCANCEL, {}}, &chooser);
        const bool started = app->InitApplication() && app->InitInstance();
        backend->ProcessMessages();
        choserShown = chooser;
        return started;
    }
    void Stop()
    {
        if (!app)
            return;
        if (CWnd* main = app->m_pMainWnd; main && main->m_hWnd)
            main->DestroyWindow();
        app->m_pMainWnd = nullptr;
        backend->ProcessMessages();
        app->ExitInstance();
        app.reset();
    }
    CMainFrame& Frame() { return *app->GetMainFrame(); }
    std::string SettingsPath() const { return config.Path() + "/vostrel/VOSTREL.VSL"; }
    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteFile(const std::string& path, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    ScopedTempDir config;
    std::optional<ScopedEnv> env;
    HeadlessBackend* backend = nullptr;
    std::optional<CVostrelApp> app;
    bool choserShown = false;
    std::filesystem::path startFolder;
};
