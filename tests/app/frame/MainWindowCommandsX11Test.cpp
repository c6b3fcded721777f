// The main window's commands as the user reaches them on the X server: the toolbar buttons
// clicked while the project's grid is the active window, the View menu's Status Bar, the
// status bar's message pane and lock-key indicators, and printing the grid to a PDF file.
#include "tests/app/UserStepsX11Fixture.h"

#include "platform/afx/bars/CStatusBar.h"
#include "platform/controls/CommonDialog.h"
#include "platform/win/Keyboard.h"
#include "tests/support/PdfRaster.h"

#include <algorithm>
#include <cstring>

using MainWindowCommandsX11Test = MainWindowStepsX11Test;

// With the project's grid active, the main window's own commands on the Main Toolbar open
// their dialogs or start their work when clicked, as the same commands do from the menus.
TEST_F(MainWindowCommandsX11Test, TheMainToolbarRunsTheMainWindowsCommandsWhileTheGridIsActive)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    ASSERT_NE(Frame().MDIGetActive(), nullptr) << "the grid's window is the active document window";

    // Each dialog is there to be cancelled; New Project comes last, as it closes the project
    // before it asks for the new one.
    struct Case {
        UINT nCommand;
        const char* pszDialog;
    };
    for (const Case& c : {Case{ID_METATAG_SETTINGS, "^Metatag Settings - "}, Case{ID_OPEN_PROJECT, "^Open Project$"}}) {
        SCOPED_TRACE(c.pszDialog);
        Type("the dialog of the button", c.pszDialog, "Escape");
        ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_VIEW_TOOLBARS, c.nCommand)));
        EXPECT_TRUE(StepsTaken());
        ASSERT_TRUE(Quiet());
    }
    ASSERT_EQ(app->GetSelectedNodes().GetCount(), 3) << "the project stayed open";

    // Start scans the pages of the selection: the meter counts all three.
    ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_VIEW_TOOLBARS, ID_START_SCAN)));
    EXPECT_TRUE(RunUntil([&] { return Frame().GetFilesScanned() == 3 && app->GetRunState() == 0; }))
        << "files scanned " << Frame().GetFilesScanned();
    ASSERT_TRUE(Quiet());

    Type("the New Project dialog", "^New Project$", "Escape");
    ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_VIEW_TOOLBARS, ID_NEW_PROJECT)));
    EXPECT_TRUE(StepsTaken());
}

// View > Status Bar hides the status bar and shows it again, checked while it shows; the main
// window's workspace takes the bar's place while it is hidden.
TEST_F(MainWindowCommandsX11Test, ViewStatusBarHidesAndShowsTheStatusBar)
{
    ASSERT_TRUE(Start());
    CCustomStatusbarWrapper& status = Frame().GetStatusBar();
    ASSERT_TRUE(status.IsWindowVisible());
    CRect pane;
    status.GetItemRect(0, &pane);
    status.ClientToScreen(&pane);
    const POINT inPane{pane.left + 4, pane.bottom - 3};
    const uint32_t face = 0xFFFFFFu & ::GetSysColor(COLOR_BTNFACE);

    MenuItemSeen shown;
    ASSERT_TRUE(ClickAt(MenuBarItemOnScreen("View")));
    Choose("Status Bar", &shown);
    ASSERT_TRUE(StepsTaken());
    EXPECT_FALSE(shown.grayed) << "the item is enabled";
    EXPECT_TRUE(shown.checked) << "checked while the bar shows";
    ASSERT_TRUE(RunUntil([&] { return !status.IsWindowVisible(); })) << "the status bar was not hidden";
    ASSERT_TRUE(Quiet());
    cairo_surface_t* shot = Shot("status-bar-hidden");
    ASSERT_NE(shot, nullptr);
    const uint32_t workspace = 0xFFFFFFu & ::GetSysColor(COLOR_APPWORKSPACE);
    EXPECT_EQ(screen_capture::PixelAt(shot, inPane), workspace) << "the workspace reaches down where the bar was";
    cairo_surface_destroy(shot);

    MenuItemSeen hidden;
    ASSERT_TRUE(ClickAt(MenuBarItemOnScreen("View")));
    Choose("Status Bar", &hidden);
    ASSERT_TRUE(StepsTaken());
    EXPECT_FALSE(hidden.grayed);
    EXPECT_FALSE(hidden.checked) << "unchecked while the bar is hidden";
    ASSERT_TRUE(RunUntil([&] { return status.IsWindowVisible(); })) << "the status bar did not come back";
    ASSERT_TRUE(Quiet());
    shot = Shot("status-bar-shown");
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(screen_capture::PixelAt(shot, inPane), face) << "the bar is back in its place";
    cairo_surface_destroy(shot);
}

// The message pane says "Ready" while the program waits, and the CAP, NUM and SCRL panes show
// their text only while their lock key is on.
TEST_F(MainWindowCommandsX11Test, TheStatusBarFollowsTheLockKeysAndSaysReadyWhenIdle)
{
    ASSERT_TRUE(Start());
    CCustomStatusbarWrapper& status = Frame().GetStatusBar();
    EXPECT_TRUE(RunUntil([&] { return status.GetPaneText(0) == "Ready"; })) << "pane 0: " << status.GetPaneText(0);

    // Whether a pane shows any text: a dark pixel (the text's, drawn smooth or not) inside its
    // borders, whose own colours are the face's, grey and white.
    int looks = 0;
    auto shows = [&](int nPane) {
        CRect r;
        status.GetItemRect(nPane, &r);
        status.ClientToScreen(&r);
        r.DeflateRect(2, 2);
        cairo_surface_t* shot = Shot(("status-pane-" + std::to_string(++looks)).c_str());
        bool text = false;
        for (int y = r.top; shot && y < r.bottom && !text; ++y)
            for (int x = r.left; x < r.right && !text; ++x) {
                const uint32_t pixel = screen_capture::PixelAt(shot, x, y);
                text = ((pixel >> 16) & 0xFF) < 0x60 && ((pixel >> 8) & 0xFF) < 0x60 && (pixel & 0xFF) < 0x60;
            }
        if (shot)
            cairo_surface_destroy(shot);
        return text;
    };
    ASSERT_TRUE(Quiet());
    EXPECT_FALSE(shows(1)) << "CAP while Caps Lock is off";
    EXPECT_FALSE(shows(2)) << "NUM while Num Lock is off";
    EXPECT_FALSE(shows(3)) << "SCRL while Scroll Lock is off";

    // The keys go back off whatever happens, for the tests that type after this one.
    struct LocksOff {
        std::function<void()> off;
        bool on = false;
        ~LocksOff()
        {
            if (on)
                off();
        }
    } restore{[this] { XdoNow("key Caps_Lock Num_Lock Scroll_Lock"); }};
    ASSERT_TRUE(KeysTo(Frame().GetSafeHwnd(), "Caps_Lock Num_Lock Scroll_Lock"));
    restore.on = true;
    ASSERT_TRUE(RunUntil([&] {
        return (GetKeyState(VK_CAPITAL) & 1) && (GetKeyState(VK_NUMLOCK) & 1) && (GetKeyState(VK_SCROLL) & 1);
    })) << "the lock keys never came";
    ASSERT_TRUE(Quiet());
    EXPECT_TRUE(shows(1)) << "CAP while Caps Lock is on";
    EXPECT_TRUE(shows(2)) << "NUM while Num Lock is on";
    EXPECT_TRUE(shows(3)) << "SCRL while Scroll Lock is on";

    ASSERT_TRUE(KeysTo(Frame().GetSafeHwnd(), "Caps_Lock Num_Lock Scroll_Lock"));
    restore.on = false;
    ASSERT_TRUE(RunUntil([&] {
        return !(GetKeyState(VK_CAPITAL) & 1) && !(GetKeyState(VK_NUMLOCK) & 1) && !(GetKeyState(VK_SCROLL) & 1);
    })) << "the lock keys never went off";
    ASSERT_TRUE(Quiet());
    EXPECT_FALSE(shows(1));
    EXPECT_FALSE(shows(2));
    EXPECT_FALSE(shows(3));
    EXPECT_EQ(status.GetPaneText(0), "Ready");

    // Caps Lock turned on while no window of the program has the keyboard: the CAP pane shows
    // it as soon as the pointer comes back over the window.
    XSetInputFocus(other, None, RevertToNone, CurrentTime);
    XSync(other, False);
    ASSERT_TRUE(XdoNow("key Caps_Lock"));
    restore.off = [this] { XdoNow("key Caps_Lock"); };
    restore.on = true;
    CRect pane;
    status.GetItemRect(0, &pane);
    status.ClientToScreen(&pane);
    ASSERT_TRUE(ClickAt(pane.CenterPoint()));
    ASSERT_TRUE(RunUntil([&] { return (GetKeyState(VK_CAPITAL) & 1) != 0; })) << "the program never learnt of Caps Lock";
    ASSERT_TRUE(Quiet());
    EXPECT_TRUE(shows(1)) << "CAP after Caps Lock was pressed elsewhere";
    ASSERT_TRUE(KeysTo(Frame().GetSafeHwnd(), "Caps_Lock"));
    restore.on = false;
    ASSERT_TRUE(RunUntil([&] { return !(GetKeyState(VK_CAPITAL) & 1); })) << "Caps Lock pressed again stayed on";
    ASSERT_TRUE(Quiet());
    EXPECT_FALSE(shows(1));
}

// The Grid Toolbar's Save writes the edited page while the grid is active: the main window's
// command from the other toolbar.
TEST_F(MainWindowCommandsX11Test, TheGridToolbarSavesTheEditedPages)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    ASSERT_TRUE(ClickAt(CellOnScreen(RowOf("a.htm"), ColumnOf("Title"))));
    ASSERT_TRUE(WaitForFocus(view->GetSafeHwnd()));
    ASSERT_TRUE(Xdo("type --delay 20 'Renamed'"));
    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2; })) << "the typed title was not taken";
    ASSERT_TRUE(Quiet());
    ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_GRID_TOOLBAR, ID_SAVE_EDITED_FILES)));
    auto page = [&] {
        std::ifstream in(site + "/a.htm");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    EXPECT_TRUE(RunUntil([&] { return page().find("<title>Renamed</title>") != std::string::npos && app->IsEdited() == 3; }))
        << page();
}

// File > Print by its keys, with titles selected: the PDF file chosen in the Print dialog holds
// the grid's text as text in an embedded font, the page-status pictures as small pictures of
// their own (no picture of the whole page), and the selected cells and the current cell as
// they are, without the screen's highlight.
TEST_F(MainWindowCommandsX11Test, PrintingWritesTheGridAsTextWithoutTheSelectionsHighlight)
{
    // A printout is judged in the fonts a user's printout has.
    SetTestFontMode(false);
    ASSERT_TRUE(Start());
    OpenSite(true);
    const ROWCOL nTitle = ColumnOf("Title");
    // b.htm's title is the current cell; the selection runs on to c.htm's.
    ASSERT_TRUE(ClickAt(CellOnScreen(RowOf("b.htm"), nTitle)));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(RowOf("b.htm"), nTitle); }));
    const POINT end = CellOnScreen(RowOf("c.htm"), nTitle);
    ASSERT_TRUE(XdoNow("mousemove " + std::to_string(end.x) + " " + std::to_string(end.y) +
                       " keydown shift click 1 keyup shift"));
    ASSERT_TRUE(RunUntil([&] {
        return view->IsCellInRangeList(RowOf("c.htm"), nTitle, view->GetParam()->m_SelRects) &&
               view->IsCellInRangeList(RowOf("b.htm"), nTitle, view->GetParam()->m_SelRects);
    })) << "the cells were not selected";
    ASSERT_TRUE(Quiet());

    const std::string file = dir.Path() + "/grid.pdf";
    Type("the Print dialog", "^Print$", "alt+f");
    When("the Print dialog's file field has the focus",
         [] {
             HWND focus = ::GetFocus();
             return focus && ::GetDlgCtrlID(focus) == edt6;
         },
         [&] {
             XdoNow("type --delay 10 '" + file + "'");
             XdoNow("key Return");
         });
    ASSERT_TRUE(Xdo("key ctrl+p"));
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return std::filesystem::exists(file) && !ViewableWindowTitled("Print"); }))
        << "no file was printed";
    ASSERT_TRUE(Quiet());
    if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
        std::filesystem::copy_file(file, std::string(keep) + "/printed-grid.pdf",
                                   std::filesystem::copy_options::overwrite_existing);

    const std::string fonts = PdfToolOutput("pdffonts", "", file);
    EXPECT_NE(fonts.find("LiberationSans"), std::string::npos) << fonts;
    const std::string text = PdfToolOutput("pdftotext", "-layout", file, "-");
    for (const char* cell : {"HTML File", "Description", "Alpha", "Beta", "Gamma", "First page", "red, green"})
        EXPECT_NE(text.find(cell), std::string::npos) << cell << " in:\n" << text;
    for (const PdfPicture& picture : PdfPictures(file))
        EXPECT_LE(picture.width, 64) << "a picture " << picture.width << " x " << picture.height << " on page " << picture.page;

    // Each title sits on its cell's own background: in its box most pixels are light, as in a
    // cell that was not selected ("Alpha"), where white text on the highlight would be dark.
    const int dpi = 144;
    PdfPage page(file, 1, dpi);
    ASSERT_TRUE(page.Valid());
    const std::string boxes = PdfToolOutput("pdftotext", "-bbox", file, "-");
    auto darkShare = [&](const std::string& word) {
        const size_t at = boxes.find(">" + word + "</word>");
        const size_t open = at == std::string::npos ? at : boxes.rfind("<word", at);
        if (open == std::string::npos)
            return -1.0;
        auto attr = [&](const char* name) {
            const size_t p = boxes.find(std::string(name) + "=\"", open);
            return std::atof(boxes.c_str() + p + std::strlen(name) + 2) * dpi / 72.0;
        };
        const int x0 = static_cast<int>(attr("xMin")), y0 = static_cast<int>(attr("yMin"));
        const int x1 = static_cast<int>(attr("xMax")), y1 = static_cast<int>(attr("yMax"));
        const int area = std::max(1, (x1 - x0) * (y1 - y0));
        return static_cast<double>(page.DarkIn(x0, y0, x1, y1)) / area;
    };
    const double unselected = darkShare("Alpha");
    ASSERT_GE(unselected, 0.0) << boxes;
    EXPECT_LT(unselected, 0.5);
    for (const char* word : {"Beta", "Gamma"}) {
        const double share = darkShare(word);
        ASSERT_GE(share, 0.0) << word << " is not on the page";
        EXPECT_LT(share, 0.5) << word << " is printed on the highlight";
    }
}

// Every project opened goes to the top of File's recent list, written at exit: one named on
// the command line, one opened with File > Open Project, and one chosen from the list itself.
TEST_F(MainWindowCommandsX11Test, EveryProjectOpenedGoesToTheTopOfTheRecentList)
{
    MakeSite(2);
    WriteProject({"Description"});
    const std::string other = dir.Path() + "/other.vsp";
    std::filesystem::copy_file(ProjectPath(), other);
    const auto openNow = [&](const std::string& path) {
        CProjectSettings* pSettings = nullptr;
        CString strFile;
        return app->GetProjectSettings(pSettings) == 0 && (pSettings->GetProjectFilePath(strFile), strFile == path.c_str()) &&
               app->GetRunState() == 0 && ProgramHasFocus() && Settled();
    };
    ASSERT_TRUE(Start({ProjectPath()}));
    ASSERT_TRUE(RunUntil([&] { return openNow(ProjectPath()) && Frame().GetFilesScanned() == 2; }))
        << "the project named on the command line did not open";

    When("the Open Project dialog has the focus", [this] { return Matches(FocusedTitle(), "^Open Project$"); },
         [this, other] {
             XdoNow("type --delay 10 '" + other + "'");
             XdoNow("key Return");
         });
    ASSERT_TRUE(XdoNow("key ctrl+o"));
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return openNow(other); })) << "File > Open Project did not open the other project";

    // The second entry of the list is the project of the command line.
    ASSERT_TRUE(XdoNow("key --delay 60 alt+f 2"));
    ASSERT_TRUE(RunUntil([&] { return openNow(ProjectPath()); })) << "the recent list did not open the first project";

    Stop();
    std::ifstream in(dir.Path() + "/config/vostrel/registry.txt");
    const std::string profile((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(profile.find("\"File1\"=sz:\"" + ProjectPath() + "\"\n\"File2\"=sz:\"" + other + "\"\n"), std::string::npos)
        << "the projects are not listed last opened first:\n" << profile;
}
