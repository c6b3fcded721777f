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

#include "MainWindowX11Fixture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

namespace fs = std::filesystem;

class VostrelX11Test : public MainWindowX11Test {
protected:
    void TearDown() override
    {
        // The user's script ends by itself; one that still waits is ended by its id.
        if (std::ifstream in(dir.Path() + "/user.pid"); in) {
            long pid = 0;
            if (in >> pid && pid > 0)
                ::kill(static_cast<pid_t>(pid), SIGTERM);
        }
        MainWindowX11Test::TearDown();
    }

    // Starts the user's keystrokes in the background: each step waits (boundedly) for the window
    // it types into to appear on the X server under its title.
    void StartUser(const std::string& steps)
    {
        script = dir.Path() + "/user.sh";
        std::ofstream(script) << "export DISPLAY=" << server->DisplayName() << "\n"
                              << "wait_for() { timeout 30 xdotool search --sync --onlyvisible --name \"$1\" "
                                 ">/dev/null 2>&1; sleep 0.4; }\n"
                              << steps;
        ASSERT_EQ(std::system(("sh " + script + " >/dev/null 2>&1 & echo $! >" + dir.Path() + "/user.pid").c_str()), 0);
    }

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
    StartUser("wait_for '^New$'; xdotool key Escape\n"
              "wait_for '^Vostrel'; xdotool mousemove 600 400 click 1; sleep 0.3; xdotool key ctrl+n\n"
              "wait_for '^New Project$'; xdotool type --delay 10 '" + site + "'; xdotool key Return\n"
              "wait_for '^Scan Completed$'; xdotool key Return\n"
              "sleep 0.5; xdotool key ctrl+s\n"
              "wait_for '^Save Project As$'; xdotool type --delay 10 '" + dir.Path() + "/mysite'; "
              "xdotool key Return; sleep 1; xdotool key Return\n");

    app.emplace();
    static char name[] = "vostrel";
    char* argv[] = {name};
    app->SetCommandLine(1, argv);
    ASSERT_TRUE(app->InitApplication() && app->InitInstance());
    CMainFrame& frame = *app->GetMainFrame();

    // The run state goes back to idle only once the scan's note has been answered.
    ASSERT_TRUE(RunUntil([&] { return frame.GetFilesScanned() == 2 && app->GetRunState() == 0; }, 60000))
        << "files " << frame.GetFilesScanned() << ", run state " << app->GetRunState();
    EXPECT_EQ(app->GetSelectedNodes().GetCount(), 2);
    ASSERT_NE(frame.GetProjectAreaBar(), nullptr);
    EXPECT_TRUE(frame.GetProjectAreaBar()->IsWindowVisible());

    ASSERT_TRUE(RunUntil([&] { return fs::exists(project); }, 60000)) << "the project was not saved";
    PumpFor(300);
    backend->Sync();
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
