// The desktop's keys on the X server, typed by another client: F10, and Alt pressed and released
// alone, open the menu bar; the Output Area frames its text while it has the keys, and stays as
// the user left it across New Project; the status bar says "Ready" once an Undo is done; Redo of a
// group action leaves the current cell on a row it changed, in sight; and a sort brought back by
// Redo stays over Ctrl+F4.
#include "app/dialogs/CNewProjectDlg.h"
#include "app/panes/COutputAreaWnd.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class DesktopKeysX11Test : public MainWindowStepsX11Test {
protected:
    std::string StatusText() { return std::string(Frame().GetStatusBar().GetPaneText(0)); }
    // The Output Area's frame with the keys, as the screen shows it: of the pixels of the band of
    // its width along the edge of its client area, how many show the colour of chosen text, and
    // how many there are.
    std::pair<int, int> FramePixels(const char* pszShot)
    {
        COutputAreaWnd& output = OutputArea().GetOutputWnd();
        CRect text;
        output.GetClientRect(&text);
        output.ClientToScreen(&text);
        CRect inner = text;
        inner.DeflateRect(COutputAreaWnd::kFrameWidth, COutputAreaWnd::kFrameWidth);
        Quiet();
        cairo_surface_t* shot = Shot(pszShot);
        int nFramed = 0, nBand = 0;
        for (int y = text.top; shot != nullptr && y < text.bottom; ++y)
            for (int x = text.left; x < text.right; ++x)
                if (!inner.PtInRect(CPoint(x, y))) {
                    ++nBand;
                    nFramed += screen_capture::PixelAt(shot, x, y) == Rgb(::GetSysColor(COLOR_HIGHLIGHT));
                }
        if (shot != nullptr)
            cairo_surface_destroy(shot);
        return {nFramed, nBand};
    }
    // A site of pages of English text, in which the scan finds key phrases, each with keywords of
    // its own in other scripts, every third page without text (nothing to suggest for it); opened,
    // scanned and shown with its Keywords column.
    void OpenTextSite(int nPages)
    {
        static const char* const kWords[] = {"the",     "garden", "of",     "our",    "village", "and",    "its",
                                             "orchard", "apple",  "trees",  "grow",   "in",      "spring", "with",
                                             "fresh",   "water",  "from",   "river",  "where",   "children",
                                             "play",    "summer", "market", "bridge", "mill",    "harvest"};
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site);
        for (int n = 0; n < nPages; ++n) {
            std::string text;
            for (int w = 0; w < (n % 3 == 2 ? 0 : 120); ++w)
                text += std::string(kWords[(w * 7 + n + w / 13) % std::size(kWords)]) + (w % 12 == 11 ? ". " : " ");
            char name[32];
            std::snprintf(name, sizeof name, "/page%02d.htm", n);
            std::ofstream(site + name) << "<html><head><title>Page " << n << "</title>\n"
                                       << "<meta name=\"KEYWORDS\" content=\"Stra\xC3\x9F\x65,\xCE\xB1\xCE\xB2\xCE\xB3\">\n"
                                       << "</head><body><p>" << text << "</p></body></html>\n";
        }
        SaveCatalogueShowing({"Keywords"});
        if (HasFatalFailure())
            return;
        OpenSiteProject(0);
        Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
        ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == static_cast<UINT>(nPages); }))
            << "the scan of the site did not end";
        ASSERT_EQ(app->ActivateGroupView(view), 0u);
        ASSERT_TRUE(Quiet()) << "the project's windows never showed";
    }
    std::vector<std::string> Column(ROWCOL nCol)
    {
        std::vector<std::string> cells;
        for (ROWCOL nRow = 1; nRow <= view->GetRowCount(); ++nRow)
            cells.push_back(std::string(view->GetCellValue(nRow, nCol)));
        return cells;
    }
    // The titles of the rows, top to bottom.
    std::vector<std::string> Titles()
    {
        std::vector<std::string> titles;
        const ROWCOL nTitle = ColumnOf("Title");
        for (ROWCOL nRow = 1; nRow <= view->GetRowCount(); ++nRow)
            titles.push_back(std::string(view->GetCellValue(nRow, nTitle)));
        return titles;
    }
};

} // namespace

// F10, and Alt pressed and released alone, open the menu bar from the grid: Down then drops the
// File menu, its first item lit, and Escape twice gives the grid its keys back with its current
// cell where it was.
TEST_F(DesktopKeysX11Test, F10AndAltAloneOpenTheMenuBar)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    ASSERT_TRUE(GoToByKeys(2, ColumnOf("Title")));
    for (const char* keys : {"F10", "alt"}) {
        SCOPED_TRACE(keys);
        int nLit = -1;
        std::string first;
        Type("the main window", "^Vostrel -", std::string(keys) + " Down");
        When("a menu is open", [] { return !MenuDriver::OpenMenus().empty(); },
             [&] {
                 first = MenuDriver::Label(MenuDriver::MenuOf(MenuDriver::OpenMenus().front()), 0);
                 ShowsNow();
                 cairo_surface_t* shot = Shot((std::string("file-menu-by-") + keys).c_str());
                 nLit = MenuItemPixels(shot, "New Project...", Rgb(::GetSysColor(COLOR_HIGHLIGHT)));
                 if (shot != nullptr)
                     cairo_surface_destroy(shot);
                 XdoNow("key Escape Escape");
             });
        ASSERT_TRUE(StepsTaken());
        ASSERT_TRUE(RunUntil([&] { return MenuDriver::OpenMenus().empty() && ::GetFocus() == view->GetSafeHwnd(); }))
            << "Escape did not give the grid its keys back";
        EXPECT_EQ(first, "New Project...") << "another menu opened";
        EXPECT_GT(nLit, 0) << "the first item is not lit";
        EXPECT_TRUE(IsCurrent(2, ColumnOf("Title"))) << "the keys moved the current cell";
    }
}

// The Output Area, given the keys by F6 and by a click in its text, frames its text with a solid
// band in the colour of chosen text, whole; the frame goes when the keys go back to the grid.
TEST_F(DesktopKeysX11Test, TheOutputAreaShowsAFocusMarkWithTheKeys)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    COutputAreaWnd& output = OutputArea().GetOutputWnd();
    const HWND hOutput = output.GetSafeHwnd();
    if (!::IsWindowVisible(hOutput)) {
        ASSERT_TRUE(Xdo("key alt+v o"));
    }
    ASSERT_TRUE(RunUntil([&] { return ::IsWindowVisible(hOutput) && Settled(); })) << "View > Output Area did not show it";
    ClickAt(CellOnScreen(1, ColumnOf("Title")), 1, 1);
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd() && Settled(); }));
    EXPECT_EQ(FramePixels("output-area-without-the-keys").first, 0) << "the Output Area is framed without the keys";

    ASSERT_TRUE(KeysByF6To(hOutput)) << "F6 never reached the Output Area";
    const auto [nByF6, nBand] = FramePixels("output-area-by-f6");
    EXPECT_EQ(nByF6, nBand) << "no whole frame with the keys by F6";

    ClickAt(CellOnScreen(2, CGroupView::kFileColumn), 1, 1);
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd() && Settled(); })) << "the click gave the grid no keys";
    EXPECT_EQ(FramePixels("output-area-keys-back-in-the-grid").first, 0) << "the frame stayed when the keys left";
    CRect client;
    output.GetClientRect(&client);
    POINT inText{client.Width() / 2, client.Height() / 2};
    output.ClientToScreen(&inText);
    ClickAt(inText, 1, 1);
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == hOutput && Settled(); })) << "the click gave the Output Area no keys";
    EXPECT_EQ(FramePixels("output-area-by-a-click").first, nBand) << "no whole frame with the keys by a click";
}

// The Output Area shown by View > Output Area stays shown across File > New Project, and hidden
// there, stays hidden.
TEST_F(DesktopKeysX11Test, TheOutputAreaStaysAsTheUserLeftItAcrossNewProject)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    const HWND hOutput = OutputArea().GetSafeHwnd();
    for (const bool bShown : {true, false}) {
        SCOPED_TRACE(bShown ? "shown" : "hidden");
        if ((::IsWindowVisible(hOutput) != FALSE) != bShown) {
            ASSERT_TRUE(Xdo("key alt+v o"));
        }
        ASSERT_TRUE(RunUntil([&] { return (::IsWindowVisible(hOutput) != FALSE) == bShown && Settled(); }))
            << "View > Output Area did not show or hide it";
        // The new project is of a folder of its own, whose one page the grid then shows.
        const std::string folder = dir.Path() + (bShown ? "/shown" : "/hidden"), page = bShown ? "shown.htm" : "hidden.htm";
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/" + page) << "<html><head><title>Ωμέγα</title></head><body>x</body></html>\n";
        // The project made by the New Project before, never saved, is left unsaved.
        X11MessageBoxAnswerer notSaved(*backend, server->DisplayName(), "n");
        Type("the main window", "^Vostrel", "ctrl+n");
        When("New Project has the keys", [&] { return Matches(FocusedTitle(), "^New Project$") && ShowsNow(); },
             [&] { XdoNow("type --delay 10 '" + folder + "'"); });
        When("the folder is typed", [&] {
                 char text[512] = {};
                 ::GetDlgItemText(::GetActiveWindow(), CNewProjectDlg::kIdDirectory, text, sizeof text);
                 return folder == text;
             },
             [&] { XdoNow("key Return"); });
        ASSERT_TRUE(StepsTaken());
        ASSERT_TRUE(RunUntil([&] {
            return app->GetRunState() == 0 && (view = View()) != nullptr && RowOf(page.c_str()) != 0 && Settled();
        })) << "the new project did not open";
        if (cairo_surface_t* shot = Shot(bShown ? "output-area-after-new-project" : "no-output-area-after-new-project"))
            cairo_surface_destroy(shot);
        EXPECT_EQ(::IsWindowVisible(hOutput) != FALSE, bShown);
    }
}

// A title typed, then Ctrl+Z: once the step is undone the status bar says "Ready", and so after
// Ctrl+Y, while the Edit menu still names the step.
TEST_F(DesktopKeysX11Test, TheStatusBarSaysReadyOnceUndoIsDone)
{
    const std::string typed = "Ærø γ 東";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSite(true);
    const ROWCOL nTitle = ColumnOf("Title");
    ASSERT_TRUE(GoToByKeys(1, nTitle));
    ASSERT_TRUE(Xdo("type --delay 20 '" + typed + "'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2 && !EditorOpen() && Settled(); }));
    ASSERT_EQ(std::string(view->GetCellValue(1, nTitle)), typed);
    for (const char* keys : {"ctrl+z", "ctrl+y"}) {
        SCOPED_TRACE(keys);
        const std::string was(view->GetCellValue(1, nTitle));
        ASSERT_TRUE(Xdo(std::string("key ") + keys));
        ASSERT_TRUE(RunUntil([&] { return std::string(view->GetCellValue(1, nTitle)) != was && Settled(); })) << "nothing changed";
        EXPECT_EQ(StatusText(), "Ready");
    }
    EXPECT_EQ(ReadUndoItems().undo, "&Undo Title");
}

// A Keywords group action, undone by Ctrl+Z; Ctrl+Home takes the grid to its top, and Ctrl+Y
// does the action again: the current cell stands in the Keywords column on a row the action
// changed, in sight. On six rows far down the grid, and on the whole column, whose every third
// page the action leaves as it was.
TEST_F(DesktopKeysX11Test, RedoOfAGroupActionShowsARowItChanged)
{
    constexpr ROWCOL kPages = 60;
    ASSERT_TRUE(Start());
    OpenTextSite(static_cast<int>(kPages));
    if (HasFatalFailure())
        return;
    ASSERT_EQ(view->GetRowCount(), kPages);
    const ROWCOL nCol = ColumnOf("Keywords");
    const struct {
        const char* what;
        ROWCOL nTop, nBottom;
    } cases[] = {{"six rows", 40, 45}, {"the whole column", 1, kPages}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::string> before = Column(nCol);
        if (c.nBottom == kPages) {
            ASSERT_TRUE(GoToByKeys(c.nTop, nCol) && Xdo("key ctrl+space"));
            ASSERT_TRUE(RunUntil([&] { return view->IsCellInRangeList(kPages, nCol, view->GetParam()->m_SelRects) != FALSE; }));
        } else {
            ASSERT_TRUE(SelectCells(c.nTop, nCol, c.nBottom, nCol));
        }
        X11MessageBoxAnswerer report(*backend, server->DisplayName());
        ASSERT_TRUE(ClickAt(CellOnScreen(view->GetTopRow() + 2 < c.nTop ? c.nTop + 2 : view->GetTopRow() + 2, nCol), 3));
        Choose("Group Actions...");
        Type("the group keywords dialog", "^Keywords Metatag", "Return");
        ASSERT_TRUE(StepsTaken());
        ASSERT_TRUE(RunUntil([&] { return report.Texts().size() == 1 && ProgramHasFocus() && Settled(); })) << "the action told nothing";
        const std::vector<std::string> after = Column(nCol);
        std::vector<ROWCOL> changed;
        for (ROWCOL nRow = 1; nRow <= kPages; ++nRow)
            if (after[nRow - 1] != before[nRow - 1])
                changed.push_back(nRow);
        ASSERT_FALSE(changed.empty()) << "the action changed nothing: " << report.Texts()[0];
        ASSERT_GE(changed.front(), c.nTop);
        ASSERT_LE(changed.back(), c.nBottom);
        ASSERT_LT(changed.size(), static_cast<size_t>(c.nBottom - c.nTop + 1)) << "the action changed every row";

        ASSERT_TRUE(Xdo("key ctrl+z"));
        ASSERT_TRUE(RunUntil([&] { return Column(nCol) == before && Settled(); })) << "Ctrl+Z did not undo the action";
        ASSERT_TRUE(Xdo("key ctrl+Home"));
        ASSERT_TRUE(RunUntil([&] { return view->GetTopRow() == 1 && IsCurrent(1, 1) && Settled(); })) << "Ctrl+Home went elsewhere";
        ASSERT_TRUE(Xdo("key ctrl+y"));
        ASSERT_TRUE(RunUntil([&] { return Column(nCol) == after && Settled(); })) << "Ctrl+Y did not redo the action";
        ROWCOL nRow = 0, nAtCol = 0;
        ASSERT_TRUE(view->GetCurrentCell(nRow, nAtCol));
        EXPECT_EQ(nAtCol, nCol);
        EXPECT_NE(std::find(changed.begin(), changed.end(), nRow), changed.end()) << "the current cell is on row " << nRow;
        CRect client;
        view->GetClientRect(&client);
        const CRect cell = view->CalcCellRect(nRow, nAtCol);
        EXPECT_EQ(cell & client, cell) << "the current cell is out of sight";
        if (cairo_surface_t* shot = Shot("group-action-redone"))
            cairo_surface_destroy(shot);
    }
}
