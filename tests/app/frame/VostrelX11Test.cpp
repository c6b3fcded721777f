// The program on the X server, driven as a user drives it from another client: the File New
// chooser dismissed, New Project on a generated site typed in, the walk and the scan, the
// "Scan Completed" note answered, and the project saved under a typed name.
#include "app/panes/CFileViewControlBar.h"
#include "app/views/CGroupDoc.h"
#include "app/views/CGroupView.h"
#include "app/frame/CMainFrame.h"
#include "app/panes/COutputAreaControlBar.h"
#include "app/frame/CVostrelApp.h"
#include "app/res/GroupViewRes.h"
#include "platform/controls/MessageBox.h"
#include "grid/data/CGXUserAttribute.h"
#include "engine/project/CPageNode.h"
#include "engine/meta/CMetaSettingList.h"
#include "grid/core/CGXFindReplaceState.h"
#include "app/res/AppRes.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/res/CustomizeRes.h"
#include "platform/afx/dlg/CPropertySheet.h"
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
#include <vector>
#include <sys/types.h>

#include "tests/app/MainWindowX11Fixture.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/X11MessageBoxAnswerer.h"
#include "tests/support/X11ModalDriver.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

namespace fs = std::filesystem;

class VostrelX11Test : public MainWindowX11Test {
protected:
    void TearDown() override
    {
        user.reset();   // a script that still waits is ended
        MainWindowX11Test::TearDown();
    }

    // Starts the user's keystrokes in the background (see UserScript).
    void StartUser(const std::string& steps)
    {
        if (!user)
            user.emplace(dir.Path(), server->DisplayName());
        ASSERT_TRUE(user->Start(steps));
    }
    std::string Steps() const { return user ? user->Steps() : std::string(); }

    // The program started as from a desktop, without arguments; the help pages are the source's.
    bool StartProgram()
    {
        return Start({});
    }
    // The same with the File New chooser of start-up cancelled by the user.
    bool StartProgramPastChooser()
    {
        StartUser("focused '^New$'; xdotool key Escape\n");
        return StartProgram();
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

    void Keep(const std::string& name) { KeepScreenshot(server->DisplayName(), (name + ".png").c_str()); }
    // The top-level window is on the screen and holds the display's focus.
    bool HasFocus(HWND hwnd)
    {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(other, &focus, &revert);
        return hwnd && ::IsWindowVisible(hwnd) && focus == backend->XWindowOf(hwnd);
    }

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

    // The program's working folder, which the file dialogs leave alone: moved into the folder a
    // project is saved to, it would keep that disk busy, a stick that cannot be unmounted.
    const fs::path workingFolder = fs::current_path();
    ASSERT_NE(workingFolder, fs::path(dir.Path()));
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
    EXPECT_EQ(fs::current_path(), workingFolder) << "the save moved the program into the project's folder";

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

// Help as the user meets it: the Help? button gives the question-mark mode, a click on a
// toolbar button then opens that command's help page at its place; Shift+F1 gives the mode too
// and Esc leaves it without help; F1 opens the main window's page. The pages are opened in the
// browser as file addresses, and the program never waits for the browser.
TEST_F(VostrelX11Test, HelpQuestionMarkThenAClickOpensThatCommandsHelpPage)
{
    ASSERT_TRUE(StartProgramPastChooser());
    const std::string helpFolder = HelpFolder();
    CMainFrame& frame = *app->GetMainFrame();
    std::vector<std::vector<std::string>> opened;
    frame.GetUrlLauncher().SetRunner([&](const std::vector<std::string>& args, CUrlLauncher::Finished finished) {
        opened.push_back(args);
        finished(CUrlLauncher::Outcome{});
    });
    const auto xdotool = [&](const std::string& args) { return Xdo(args); };
    const auto hasFocus = [&] { return HasFocus(frame.GetSafeHwnd()); };
    const auto buttonCentre = [&](UINT nBar, UINT nCommand) {
        auto* pBar = dynamic_cast<SECCustomToolBar*>(frame.GetControlBar(nBar));
        CRect rect;
        if (pBar != nullptr && pBar->CommandToIndex(nCommand) >= 0) {
            pBar->GetItemRect(pBar->CommandToIndex(nCommand), &rect);
            pBar->ClientToScreen(&rect);
        }
        return rect.CenterPoint();
    };
    const std::string pages = "file://" + helpFolder + "/";
    ASSERT_TRUE(RunUntil(hasFocus, 60000)) << "the main window never came up with the focus";

    const CPoint help = buttonCentre(ID_VIEW_TOOLBARS, ID_CONTEXT_HELP);
    ASSERT_TRUE(xdotool("mousemove " + std::to_string(help.x) + " " + std::to_string(help.y) + " click 1"));
    ASSERT_TRUE(RunUntil([&] { return frame.IsInHelpMode() != FALSE; }, 60000)) << "Help? gave no question mark";
    const CPoint start = buttonCentre(ID_VIEW_TOOLBARS, ID_START_SCAN);
    ASSERT_TRUE(xdotool("mousemove " + std::to_string(start.x) + " " + std::to_string(start.y) + " click 1"));
    ASSERT_TRUE(RunUntil([&] { return !opened.empty(); }, 60000)) << "the click on Start opened no help";
    EXPECT_FALSE(frame.IsInHelpMode());
    ASSERT_EQ(opened[0].size(), 2u);
    EXPECT_EQ(opened[0][0], "xdg-open");
    EXPECT_EQ(opened[0][1], pages + "scan-commands.html#start-scan");
    EXPECT_EQ(app->GetRunState(), 0u) << "the click asked for help, it did not start a scan";

    // Shift+F1 gives the mode as well; Esc leaves it and opens nothing.
    ASSERT_TRUE(xdotool("key shift+F1"));
    ASSERT_TRUE(RunUntil([&] { return frame.IsInHelpMode() != FALSE; }, 60000)) << "Shift+F1 gave no question mark";
    ASSERT_TRUE(xdotool("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return frame.IsInHelpMode() == FALSE; }, 60000)) << "Esc did not leave the mode";
    EXPECT_EQ(opened.size(), 1u);

    // F1: the main window's own page.
    ASSERT_TRUE(xdotool("key F1"));
    ASSERT_TRUE(RunUntil([&] { return opened.size() == 2; }, 60000)) << "F1 opened no help";
    EXPECT_EQ(opened[1][1], pages + "main-window.html");
}

// Find as the user meets it: it searches the column of the current cell, and says so when the
// text is not there; from the Title column it finds the title.
TEST_F(VostrelX11Test, FindSaysWhenTheColumnHasNoMatchAndFindsItInTheRightColumn)
{
    const std::string site = dir.Path() + "/site";
    fs::create_directories(site);
    std::ofstream(site + "/a.htm") << "<html><head><title>Alpha</title></head><body>a</body></html>\n";
    std::ofstream(site + "/b.htm") << "<html><head><title>Beta page</title></head><body>b</body></html>\n";
    ASSERT_TRUE(StartProgramPastChooser());
    CMainFrame& frame = *app->GetMainFrame();
    app->WriteProfileInt("", "Warn After Scan", 0);
    ASSERT_TRUE(RunUntil([&] { return HasFocus(frame.GetSafeHwnd()); }, 60000)) << "no main window";
    // The project is set up as Open Project would; what is tested is what the user does next.
    CProjectSettings settings;
    settings.m_strProjectDirectory = site.c_str();
    settings.m_bShowTitle = 1;
    settings.m_bAutoScan = 1;
    settings.m_bShowAllFound = 0;
    CMetaSettingList* pList = nullptr;
    ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
    CMetaSettingList catalogue;
    catalogue.CopyFrom(*pList);
    ASSERT_NE(frame.SetUpProject(settings, catalogue), nullptr);
    ASSERT_TRUE(RunUntil([&] { return frame.GetFilesScanned() == 2 && app->GetRunState() == 0; }, 60000))
        << "the scan did not end";
    CGroupView* view = nullptr;
    ASSERT_EQ(app->ActivateGroupView(view), 0u);
    const auto cellPoint = [&](ROWCOL nRow, ROWCOL nCol) {
        CRect cell = view->CalcCellRect(nRow, nCol);
        view->ClientToScreen(&cell);
        return cell.CenterPoint();
    };
    ROWCOL nBeta = 0;
    for (ROWCOL nRow = 1; nRow <= view->GetRowCount(); ++nRow) {
        CPageNode* pPage = nullptr;
        if (view->GetRowPage(nRow, pPage) == 0 && pPage->GetName() == "b.htm")
            nBeta = nRow;
    }
    ASSERT_NE(nBeta, 0u);
    const ROWCOL nOther = nBeta == 1 ? 2 : 1;

    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    // A file cell is current; Ctrl+F, the title typed, Enter.
    ASSERT_TRUE(ClickAt(cellPoint(nOther, CGroupView::kFileColumn)));
    ASSERT_TRUE(RunUntil([&] {
        ROWCOL r = 0, c = 0;
        return view->GetCurrentCell(r, c) && r == nOther && c == CGroupView::kFileColumn && HasFocus(frame.GetSafeHwnd());
    }, 60000)) << "the click made no current cell";
    ASSERT_TRUE(Xdo("key ctrl+f"));
    ASSERT_TRUE(RunUntil([&] { return HasFocus(GXGetFindReplaceState().m_hWndDialog); }, 60000)) << "no Find dialog";
    ASSERT_TRUE(Xdo("key Home shift+End BackSpace"));
    ASSERT_TRUE(Xdo("type --delay 20 'beta'"));
    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1 && HasFocus(GXGetFindReplaceState().m_hWndDialog); }, 60000))
        << "nothing said that the file column holds no \"beta\"";
    EXPECT_EQ(boxes.Texts()[0], "'beta' was not found in the column 'HTML File' below the current cell.\n\nFind searches "
                                "the column of the current cell. To search another column, click a cell of it and choose "
                                "Find Next; or press Esc, move to that column with the arrow keys and press Ctrl+F again.");

    // From the Title column the same search finds the page. The first click brings the main
    // window to the front, the next makes the cell current.
    const auto titleCurrent = [&] {
        ROWCOL r = 0, c = 0;
        return view->GetCurrentCell(r, c) && r == 1 && c == CGroupView::kFileColumn + 1;
    };
    ASSERT_TRUE(ClickAt(cellPoint(1, CGroupView::kFileColumn + 1)));
    ASSERT_TRUE(RunUntil([&] { return titleCurrent() || ::GetActiveWindow() == frame.GetSafeHwnd(); }, 60000))
        << "the click reached neither the main window nor the cell";
    if (!titleCurrent()) {
        ASSERT_TRUE(ClickAt(cellPoint(1, CGroupView::kFileColumn + 1)));
    }
    ASSERT_TRUE(RunUntil(titleCurrent, 60000)) << "the click on the Title column made no current cell";
    // Find Next, clicked in the Find dialog that stayed open.
    CRect findNext;
    ::GetWindowRect(::GetDlgItem(GXGetFindReplaceState().m_hWndDialog, IDOK), &findNext);
    ASSERT_TRUE(ClickAt(findNext.CenterPoint()));
    if (nBeta != 1) {
        ASSERT_TRUE(RunUntil([&] {
            ROWCOL r = 0, c = 0;
            return view->GetCurrentCell(r, c) && r == nBeta;
        }, 60000)) << "the title was not found";
    }
    EXPECT_EQ(boxes.Texts().size(), nBeta != 1 ? 1u : 2u);
}

// Customize > Commands: every button of the Main Toolbar's palette lies whole inside the page's
// Buttons box, the last row too.
TEST_F(VostrelX11Test, TheCommandsPageShowsEveryButtonWhole)
{
    ASSERT_TRUE(StartProgramPastChooser());
    CMainFrame& frame = *app->GetMainFrame();
    ASSERT_TRUE(RunUntil([&] { return HasFocus(frame.GetSafeHwnd()); }, 60000)) << "no main window";
    X11ModalDriver user(server->DisplayName());
    CPropertySheet* pSheet = nullptr;
    std::string cut;
    int nButtons = 0;
    user.Then("the Customize sheet is shown with the focus",
              [&] {
                  pSheet = dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(::GetActiveWindow()));
                  return pSheet != nullptr && HasFocus(pSheet->GetSafeHwnd());
              },
              [&] {
                  CRect tab = pSheet->GetTabRect(1);
                  pSheet->ClientToScreen(&tab);
                  ClickAt(tab.CenterPoint());
              });
    user.Then("the Commands page is shown",
              [&] { return pSheet->GetActiveIndex() == 1 && pSheet->GetActivePage()->IsWindowVisible(); },
              [&] {
                  Keep("customize-commands");
                  CWnd* pPage = pSheet->GetActivePage();
                  CRect box;
                  pPage->GetDlgItem(SEC_IDC_BTNGROUP)->GetWindowRect(&box);
                  for (CWnd* pChild = pPage->GetWindow(GW_CHILD); pChild; pChild = pChild->GetWindow(GW_HWNDNEXT)) {
                      auto* pBar = dynamic_cast<SECCustomToolBar*>(pChild);
                      if (pBar == nullptr || !pBar->IsWindowVisible())
                          continue;
                      CRect client;
                      pBar->GetClientRect(&client);
                      pBar->ClientToScreen(&client);
                      for (int i = 0; i < pBar->GetBtnCount(); ++i) {
                          if (pBar->GetItemID(i) == 0)
                              continue;
                          ++nButtons;
                          CRect button;
                          pBar->GetItemRect(i, &button);
                          pBar->ClientToScreen(&button);
                          CRect seen;
                          seen.IntersectRect(&button, &client);
                          CRect inBox;
                          inBox.IntersectRect(&seen, &box);
                          if (inBox != button)
                              cut += " " + std::to_string(pBar->GetItemID(i));
                      }
                  }
                  Xdo("key Escape");
              });
    frame.PostMessage(WM_COMMAND, ID_CUSTOMIZE_TOOLBAR);
    ASSERT_TRUE(RunUntil([&] { return user.AllDone() && ::GetActiveWindow() == frame.GetSafeHwnd(); }, 60000))
        << user.Missed();
    EXPECT_EQ(nButtons, 12);
    EXPECT_EQ(cut, "") << "buttons cut off";
}
