// The program on the X server, driven as a user drives it from another client: the File New
// chooser dismissed, New Project on a generated site typed in, the walk and the scan, the
// "Scan Completed" note answered, and the project saved under a typed name.
#include "app/CFileViewControlBar.h"
#include "app/CGroupDoc.h"
#include "app/CGroupView.h"
#include "app/CMainFrame.h"
#include "app/COutputAreaControlBar.h"
#include "app/CVostrelApp.h"
#include "app/res/GroupViewRes.h"
#include "platform/controls/MessageBox.h"
#include "grid/data/CGXUserAttribute.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/core/RegistryStore.h"
#include "tests/support/DialogAutomation.h"
#include "tests/support/ScopedTempDir.h"
#include "tests/support/UserScript.h"
#include "tests/support/WithoutFileOverride.h"

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
        user.reset();   // a script that still waits is ended
        CRegistryStore::Instance().Reload();
        env.reset();
        X11Test::TearDown();
    }

    // Starts the user's keystrokes in the background (see UserScript).
    void StartUser(const std::string& steps)
    {
        if (!user)
            user.emplace(dir.Path(), server->DisplayName());
        ASSERT_TRUE(user->Start(steps));
    }
    std::string Steps() const { return user ? user->Steps() : std::string(); }

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

    // The program started as from a desktop, without arguments.
    bool StartProgram()
    {
        app.emplace();
        static char name[] = "vostrel";
        char* argv[] = {name};
        app->SetCommandLine(1, argv);
        return app->InitApplication() && app->InitInstance();
    }

    // The user's first steps: the start-up chooser dismissed, New Project, the site typed in.
    static std::string NewProjectSteps(const std::string& site)
    {
        return "focused '^New$'; xdotool key Escape\n"
               "focused '^Vostrel'; xdotool key ctrl+n\n"
               "focused '^New Project$'; xdotool type --delay 10 '" + site + "'; xdotool key Return\n";
    }

    // Keeps a screenshot of the display under the name in the folder VOSTREL_KEEP_SCREENSHOTS
    // names, when it is set.
    static void KeepScreenshot(const std::string& display, const char* name)
    {
        const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
        if (keep == nullptr)
            return;
        if (cairo_surface_t* shot = Screenshot(display)) {
            cairo_surface_write_to_png(shot, (std::string(keep) + "/" + name).c_str());
            cairo_surface_destroy(shot);
        }
    }

    ScopedTempDir dir;
    std::optional<ScopedEnv> env;
    std::optional<CVostrelApp> app;
    std::optional<UserScript> user;
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
    StartUser(NewProjectSteps(site) +
              "focused '^Scan Completed$'; xdotool key Return\n"
              "focused '^Vostrel'; xdotool key ctrl+s\n"
              "focused '^Save Project As$'; xdotool type --delay 10 '" + dir.Path() + "/mysite'; "
              "xdotool key Return\n"
              "focused '^Save Project As$' \"$W\"; xdotool key Return\n");

    ASSERT_TRUE(StartProgram());
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

TEST_F(VostrelX11Test, FoldersAndPagesThatCannotBeReadAreLeftOutAndShown)
{
    if (std::getenv("VOSTREL_KEEP_SCREENSHOTS") != nullptr)
        SetTestFontMode(false);
    // A site with a folder closed to everyone, a link to itself and a page no one may read.
    const std::string site = dir.Path() + "/site";
    fs::create_directories(site + "/closed");
    std::ofstream(site + "/a.htm") << "<html><head><title>Alpha</title></head><body>Alpha</body></html>\n";
    std::ofstream(site + "/closed/hidden.htm") << "<html><head></head><body>Hidden</body></html>\n";
    std::ofstream(site + "/locked.htm") << "<html><head><title>Locked</title></head><body></body></html>\n";
    fs::create_symlink("self", site + "/self");
    ::chmod((site + "/closed").c_str(), 0);
    ::chmod((site + "/locked.htm").c_str(), 0);
    WithoutFileOverride plainUser;
    ASSERT_TRUE(plainUser.Holds());

    // New Project on the site; the note about the folder left out is answered once the test has
    // looked at it (it leaves a file behind), then the note at the scan's end.
    const std::string looked = dir.Path() + "/looked";
    StartUser(NewProjectSteps(site) +
              "focused -f " + looked + "; xdotool key Return\n"
              "focused '^Scan Completed$'; xdotool key Return\n");

    ASSERT_TRUE(StartProgram());
    CMainFrame& frame = *app->GetMainFrame();

    // The note is a modal box with its own loop: a timer, which that loop serves, looks at it.
    static std::string s_boxText;
    static std::string s_looked;
    static std::string s_display;
    static decltype(backend) s_backend;
    s_backend = backend;
    s_boxText.clear();
    s_looked = looked;
    s_display = server->DisplayName();
    const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR nId, DWORD) {
        for (HWND hBox : dialog_automation::ShownDialogs()) {
            if (HWND hText = ::GetDlgItem(hBox, kMessageBoxTextId)) {
                const std::string text = dialog_automation::TextOf(hText);
                if (text.find("left out of the project") == std::string::npos)
                    continue;
                if (!X11Test::Current()->ShowsNow())
                    return;   // not on the screen yet: the next tick looks again
                s_boxText = text;
                ::KillTimer(nullptr, nId);
                KeepScreenshot(s_display, "vostrel-folders-left-out.png");
                std::ofstream(s_looked) << s_backend->XWindowOf(hBox);
            }
        }
    });
    ASSERT_NE(nTimer, 0u);
    ASSERT_TRUE(RunUntil([&] { return !s_boxText.empty(); }, 60000)) << "no note about the folder left out";
    EXPECT_NE(s_boxText.find("closed: Access to " + site + "/closed was denied."), std::string::npos) << s_boxText;
    EXPECT_EQ(s_boxText.find("self"), std::string::npos) << s_boxText;

    // The project holds what could be read; the page no one may read is in it, and scanned.
    ASSERT_TRUE(RunUntil([&] { return frame.GetFilesScanned() == 2 && app->GetRunState() == 0; }, 60000))
        << "files " << frame.GetFilesScanned() << ", run state " << app->GetRunState();
    EXPECT_EQ(app->GetSelectedNodes().GetCount(), 2);

    // The Output Area names the folder left out and the page not read, each with its reason.
    COutputAreaControlBar* pOutput = nullptr;
    ASSERT_EQ(frame.GetOutputAreaBar(pOutput), 0u);
    ASSERT_TRUE(RunUntil([&] { return std::string(pOutput->GetText()).find("locked.htm :") != std::string::npos; }, 60000))
        << pOutput->GetText().GetString();
    const std::string output = pOutput->GetText().GetString();
    EXPECT_NE(output.find("closed : Left out of the project: Access to " + site + "/closed was denied.\n"),
              std::string::npos) << output;
    EXPECT_NE(output.find("locked.htm : Could not open file: "), std::string::npos) << output;
    EXPECT_TRUE(pOutput->IsWindowVisible());

    // The group view's file cell shows the page as unread, with the reason as its tool tip.
    CGroupDoc* pDoc = nullptr;
    CGroupView* pView = nullptr;
    ASSERT_EQ(app->FindGroupDocument(pDoc), 0u);
    ASSERT_EQ(pDoc->GetGroupView(pView), 0u);
    ASSERT_NE(pView, nullptr);
    ROWCOL nLockedRow = 0;
    for (ROWCOL nRow = 1; nRow <= pView->GetRowCount(); ++nRow) {
        CPageNode* pPage = nullptr;
        if (pView->GetRowPage(nRow, pPage) != 0)
            continue;
        CGXStyle style;
        pView->ComposeCellStyle(nRow, CGroupView::kFileColumn, style);
        if (pPage->GetName() == "locked.htm") {
            nLockedRow = nRow;
            EXPECT_EQ(style.GetControl(), IDS_UNREADABLE_CELL);
            const std::string tip = style.GetUserAttribute(GX_IDS_UA_TOOLTIPTEXT).GetValueText().GetString();
            EXPECT_NE(tip.find("Could not open file"), std::string::npos) << tip;
        } else {
            EXPECT_EQ(style.GetControl(), IDS_SCANNED_CELL);
        }
    }
    ASSERT_NE(nLockedRow, 0u);

    // The reason shows as the cell's tool tip when the user rests the pointer on it.
    CRect cell = pView->CalcCellRect(nLockedRow, CGroupView::kFileColumn);
    pView->GridWnd()->ClientToScreen(&cell);
    StartUser("xdotool mousemove " + std::to_string(cell.left + 40) + " " + std::to_string(cell.CenterPoint().y) +
              "; xdotool mousemove_relative 2 0\n");
    auto tipShown = [] {
        bool bShown = false;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hWnd, LPARAM lParam) -> BOOL {
                char szClass[64] = {};
                GetClassName(hWnd, szClass, sizeof szClass);
                if (std::string(szClass) == WC_TOOLTIPS && IsWindowVisible(hWnd))
                    *reinterpret_cast<bool*>(lParam) = true;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&bShown));
        return bShown;
    };
    ASSERT_TRUE(RunUntil(tipShown, 60000)) << "no tool tip over the page that could not be read";
    ASSERT_TRUE(SettleWith([&](const std::function<bool()>& done, int ms) { return RunUntil(done, ms); }));
    KeepScreenshot(server->DisplayName(), "vostrel-page-not-read.png");
    ::chmod((site + "/closed").c_str(), 0755);
    ::chmod((site + "/locked.htm").c_str(), 0644);
}
