// The program on the X server, driven as a user drives it from another client: the File New
// chooser dismissed, New Project on a generated site typed in, the walk and the scan, the
// "Scan Completed" note answered, and the project saved under a typed name.
#include "app/CFileViewControlBar.h"
#include "app/CMainFrame.h"
#include "app/CVostrelApp.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/core/RegistryStore.h"
#include "tests/support/ScopedTempDir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

namespace fs = std::filesystem;

class VostrelX11Test : public X11Test {
protected:
    void SetUp() override
    {
        X11Test::SetUp();
        if (IsSkipped())
            return;
        if (std::system("command -v xdotool >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "xdotool is not installed";
        env.emplace("XDG_CONFIG_HOME", dir.Path() + "/config");
        CRegistryStore::Instance().Reload();
    }
    void TearDown() override
    {
        if (app) {
            if (CWnd* main = app->m_pMainWnd; main && main->m_hWnd)
                main->DestroyWindow();
            app->m_pMainWnd = nullptr;
            PumpFor(50);
            app->ExitInstance();
            app.reset();
            MSG quit;
            while (::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            }
        }
        // The user's script ends by itself; one that still waits is ended by its id.
        if (std::ifstream in(dir.Path() + "/user.pid"); in) {
            long pid = 0;
            if (in >> pid && pid > 0)
                ::kill(static_cast<pid_t>(pid), SIGTERM);
        }
        CRegistryStore::Instance().Reload();
        env.reset();
        X11Test::TearDown();
    }

    // Starts the user's keystrokes in the background. Each step waits, boundedly, until the
    // window it types into holds the keyboard focus under its title (`focused TITLE [NOT]` sets
    // W to that window; NOT names a window that must not be the one, for a box over a dialog of
    // the same title); a step that never comes is written to steps.log and ends the script.
    void StartUser(const std::string& steps)
    {
        script = dir.Path() + "/user.sh";
        std::ofstream(script) << "export DISPLAY=" << server->DisplayName() << "\n"
                              << "log=" << dir.Path() << "/steps.log\n"
                              << "focused() {\n"
                                 "  for i in $(seq 1200); do\n"
                                 "    W=$(xdotool getwindowfocus 2>/dev/null)\n"
                                 "    if [ -n \"$W\" ] && [ \"$W\" != \"${2:-}\" ] &&\n"
                                 "       xdotool getwindowname \"$W\" 2>/dev/null | grep -Eq -- \"$1\"; then\n"
                                 "      echo \"focused: $1\" >>\"$log\"; return 0\n"
                                 "    fi\n"
                                 "    sleep 0.05\n"
                                 "  done\n"
                                 "  echo \"never focused: $1\" >>\"$log\"; exit 1\n"
                                 "}\n"
                              << steps;
        ASSERT_EQ(std::system(("sh " + script + " >/dev/null 2>&1 & echo $! >" + dir.Path() + "/user.pid").c_str()), 0);
    }
    // What the user's script did so far, for a failure's message.
    std::string Steps() const
    {
        std::ifstream in(dir.Path() + "/steps.log");
        return "steps: " + std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The program's own loop, bounded: each message offered to the application's
    // PreTranslateMessage (the accelerators), then dispatched.
    bool RunUntil(const std::function<bool()>& done, int ms)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (app->PreTranslateMessage(&msg))
                    continue;
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
            for (LONG count = 0; app->OnIdle(count); ++count) {
            }
            if (done())
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            GetWindowBackend().PumpEvents(5);
        }
    }

    ScopedTempDir dir;
    std::optional<ScopedEnv> env;
    std::optional<CVostrelApp> app;
    std::string script;
};

} // namespace

TEST_F(VostrelX11Test, ANewProjectIsMadeScannedAndSavedByTheKeyboard)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    const std::string site = dir.Path() + "/site";
    fs::create_directories(site + "/sub");
    std::ofstream(site + "/a.htm") << "<html><head><title>Alpha</title>\n"
                                      "<meta name=\"KEYWORDS\" content=\"red, green\">\n"
                                      "</head><body>Alpha</body></html>\n";
    std::ofstream(site + "/sub/b.htm") << "<html><head><title>Beta</title></head><body>Beta</body></html>\n";
    std::ofstream(site + "/c.txt") << "not a page\n";
    const std::string project = dir.Path() + "/mysite.vsp";

    // The chooser start-up shows, New Project, the note at the scan's end, and Save Project
    // with the name typed into the file dialog (then Yes to making the new file).
    StartUser("focused '^New$'; xdotool key Escape\n"
              "focused '^Vostrel'; xdotool key ctrl+n\n"
              "focused '^New Project$'; xdotool type --delay 10 '" + site + "'; xdotool key Return\n"
              "focused '^Scan Completed$'; xdotool key Return\n"
              "focused '^Vostrel'; xdotool key ctrl+s\n"
              "focused '^Save Project As$'; xdotool type --delay 10 '" + dir.Path() + "/mysite'; "
              "xdotool key Return\n"
              "focused '^Save Project As$' \"$W\"; xdotool key Return\n");

    app.emplace();
    static char name[] = "vostrel";
    char* argv[] = {name};
    app->SetCommandLine(1, argv);
    ASSERT_TRUE(app->InitApplication() && app->InitInstance());
    CMainFrame& frame = *app->GetMainFrame();

    // The run state goes back to idle only once the scan's note has been answered.
    ASSERT_TRUE(RunUntil([&] { return frame.GetFilesScanned() == 2 && app->GetRunState() == 0; }, 60000))
        << "files " << frame.GetFilesScanned() << ", run state " << app->GetRunState() << "; " << Steps();
    EXPECT_EQ(app->GetSelectedNodes().GetCount(), 2);
    ASSERT_NE(frame.GetProjectAreaBar(), nullptr);
    EXPECT_TRUE(frame.GetProjectAreaBar()->IsWindowVisible());

    ASSERT_TRUE(RunUntil([&] { return fs::exists(project); }, 120000)) << "the project was not saved; " << Steps();
    ASSERT_TRUE(RunUntil([&] {
        CString title;
        frame.GetWindowText(title);
        return std::string(title).find("mysite.vsp") != std::string::npos;
    }, 60000))
        << "the title never named the project; " << Steps();
    ASSERT_TRUE(Settle()) << "the windows never settled";
    CProjectSettings* pSettings = nullptr;
    ASSERT_EQ(app->GetProjectSettings(pSettings), 0u);
    CString strPath;
    pSettings->GetProjectFilePath(strPath);
    EXPECT_EQ(std::string(strPath), project);
    CString strTitle;
    frame.GetWindowText(strTitle);
    EXPECT_NE(std::string(strTitle).find("mysite.vsp"), std::string::npos) << strTitle.GetString();

    // On the screen: the Project Area's tree, white where no item stands.
    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/vostrel-project.png").c_str());
    CRect treeRect;
    frame.GetProjectAreaBar()->GetTree().GetWindowRect(&treeRect);
    EXPECT_EQ(PixelAt(shot, POINT{treeRect.CenterPoint().x, treeRect.bottom - 20}), 0xFFFFFFu);
    cairo_surface_destroy(shot);
}
