// Runs the whole program in the test's process on the headless backend: a temporary
// configuration folder, the application object started as the program starts it (the File New
// chooser answered), and everything ended as the program ends.
#pragma once

#include "app/frame/CMainFrame.h"
#include "app/frame/CVostrelApp.h"
#include "platform/afx/AfxRes.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/Dialog.h"
#include "platform/core/RegistryStore.h"
#include "platform/win/Gdi.h"
#include "tests/app/ProgramInProcess.h"
#include "tests/support/DialogAutomation.h"
#include "tests/support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <chrono>
#include <system_error>
#include <thread>
#include <vector>

class VostrelAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startFolder = std::filesystem::current_path();
        env.emplace("XDG_CONFIG_HOME", config.Path());
        // The profile is read once per process: each test starts from its own empty one.
        CRegistryStore::Instance().Reload();
        backend = &HeadlessBackend::Install();
        SetTestFontMode(true);
    }
    void TearDown() override
    {
        Stop();
        CRegistryStore::Instance().Reload();
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
        program_in_process::Make(app, args);
        bool chooser = false;
        FillDialog(*backend, AFX_IDD_NEWTYPEDLG, DialogFill{{}, {}, IDCANCEL, {}}, &chooser);
        const bool started = app->InitApplication() && app->InitInstance();
        // The "Scan Completed" note is modal: a test that does not answer it would wait on it
        // for ever after its first scan, so only tests that ask for it get it.
        if (started && !showScanNote)
            app->WriteProfileInt("", "Warn After Scan", 0);
        backend->ProcessMessages();
        choserShown = chooser;
        return started;
    }
    void Stop()
    {
        program_in_process::End(app, [this] { backend->ProcessMessages(); });
    }
    CMainFrame& Frame() { return *app->GetMainFrame(); }
    std::string SettingsPath() const { return config.Path() + "/vostrel/VOSTREL.VSL"; }
    // The help pages are the source's, and the addresses the browser is asked to open (the
    // last argument of each run) go into `opened` instead: the browser "succeeds" at once.
    static std::string HelpFolder() { return std::string(VOSTREL_TESTS_DIR) + "/../app/help"; }
    void RecordBrowsedAddresses(std::vector<std::string>& opened)
    {
        app->SetHelpFolder(HelpFolder().c_str());
        Frame().GetUrlLauncher().SetRunner(
            [&opened](const std::vector<std::string>& argv, CUrlLauncher::Finished finished) {
                opened.push_back(argv.back());
                finished(CUrlLauncher::Outcome{});
            });
    }
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
    bool showScanNote = false;
    std::filesystem::path startFolder;
};

// A small site: a page with title and META tags, a page without META in a subfolder, a text
// file and an image, which are no pages.
inline void MakeSite(const std::string& folder)
{
    std::filesystem::create_directories(folder + "/sub");
    std::ofstream(folder + "/a.htm") << "<html><head><title>Alpha</title>\n"
                                        "<meta name=\"KEYWORDS\" content=\"red, green\">\n"
                                        "<meta name=\"DESCRIPTION\" content=\"The first page\">\n"
                                        "</head><body>Alpha page</body></html>\n";
    std::ofstream(folder + "/sub/b.htm") << "<html><head><title>Beta</title></head><body>Beta</body></html>\n";
    std::ofstream(folder + "/c.txt") << "not a page\n";
    std::ofstream(folder + "/logo.png", std::ios::binary) << std::string("\x89PNG\r\n\x1a\n", 8);
}

// Pumps the program's messages until the condition holds or the time is up.
template <class Pred>
bool PumpUntil(HeadlessBackend& backend, Pred done, int ms = 60000)
{
    for (int waited = 0; waited < ms; waited += 5) {
        backend.ProcessMessages();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// How many idle turns AnswerBox waits for its box, each at least a millisecond: a box that a
// worker thread's message brings (a walk that failed) comes after the thread has run, however
// many idle turns the dialog in front of it has had meanwhile.
inline constexpr int kAnswerBoxTurns = 60000;

// Answers the next message box like AnswerMessageBox, but never takes a dialog made from a
// template for one: the program's dialogs have unnamed static texts, whose id is the message
// box's text id.
inline void AnswerBox(HeadlessBackend& backend, int buttonId, SeenMessageBox* seen = nullptr)
{
    using namespace dialog_automation;
    WhenWindowOpens(
        backend,
        [] {
            for (HWND dlg : ShownDialogs())
                if (GetDlgItem(dlg, kMessageBoxTextId) && !GetProp(dlg, DIALOG_TEMPLATE_ID_PROP))
                    return dlg;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return static_cast<HWND>(nullptr);
        },
        [&backend, buttonId, seen](HWND box) {
            if (seen) {
                seen->seen = true;
                seen->caption = TextOf(box);
                seen->text = TextOf(GetDlgItem(box, kMessageBoxTextId));
            }
            if (HWND button = GetDlgItem(box, buttonId))
                backend.Click(1, CentreOf(button));
            EnsureClosed(backend, box);
        },
        nullptr, kAnswerBoxTurns);
}
