// The mouse wheel as the user meets it on the X server, turned by another client: it scrolls
// whatever view stands under the pointer, wherever the keys are: the page grid by three rows a
// notch and by columns with Shift or tilted, no further than the columns in sight, the Project
// Area by three folders a notch, both panes of the preview of a page's changes, and the grid of
// Metatag Settings, whose wide columns Shift and a notch move one at a time. A cell's edit
// scrolled away and back shows its text again.
#include "app/dialogs/CMetaSettingDlg.h"
#include "app/dialogs/CPreviewDlg.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11KeyboardLetters.h"

namespace {

class MouseWheelX11Test : public MainWindowStepsX11Test {
protected:
    // Turns the wheel over the middle of a window: xdotool's buttons 4 and 5 turn it up and
    // down, 6 and 7 tilt it left and right; keys are held meanwhile.
    bool Wheel(HWND hwnd, int nButton, int nNotches, const std::string& held = std::string())
    {
        CRect rect;
        ::GetWindowRect(hwnd, &rect);
        std::string command = "mousemove " + std::to_string(rect.CenterPoint().x) + " " + std::to_string(rect.CenterPoint().y);
        if (!held.empty())
            command += " keydown " + held;
        command += " click --repeat " + std::to_string(nNotches) + " --delay 40 " + std::to_string(nButton);
        if (!held.empty())
            command += " keyup " + held;
        return XdoNow(command);
    }
    // How many pixels of the window's client area differ between two screenshots.
    static int Changed(cairo_surface_t* before, cairo_surface_t* after, HWND hwnd)
    {
        CRect client;
        ::GetClientRect(hwnd, &client);
        return before != nullptr && after != nullptr ? DifferentPixels(before, after, hwnd, client) : -1;
    }
    // How many pixels of what a rectangle of the window's client area showed before differ
    // from what shows now with its top left at the point: 0 when that part of the view moved
    // there whole.
    static int MovedDiffers(cairo_surface_t* before, const CRect& from, cairo_surface_t* after, CPoint to, HWND hwnd)
    {
        return MovedDiffers(before, from, ScreenPoint(hwnd, from.left, from.top), after, ScreenPoint(hwnd, to.x, to.y));
    }
    static int MovedDiffers(cairo_surface_t* before, const CRect& from, POINT a, cairo_surface_t* after, POINT b)
    {
        if (before == nullptr || after == nullptr || from.IsRectEmpty())
            return -1;
        int nDiffer = 0;
        for (int y = 0; y < from.Height(); ++y)
            for (int x = 0; x < from.Width(); ++x)
                nDiffer += screen_capture::PixelAt(before, a.x + x, a.y + y) != screen_capture::PixelAt(after, b.x + x, b.y + y);
        return nDiffer;
    }
};

} // namespace

TEST_F(MouseWheelX11Test, TheWheelScrollsTheViewUnderThePointer)
{
    SetTestFontMode(false); // the folders' names tell their rows apart on the screen
    // Pages enough for the grid to scroll, folders enough for the Project Area, columns enough
    // to scroll sideways, and a first page long enough for the preview to scroll.
    MakeSite(60, 40);
    {
        std::ofstream page(site + "/p01.htm");
        page << "<html><head><title>Page 1</title>\n<meta name=\"DESCRIPTION\" content=\"Ωμέγα 日本\">\n</head><body>\n";
        for (int i = 1; i <= 200; ++i)
            page << "<p>Line " << i << " of the first page</p>\n";
        page << "</body></html>\n";
    }
    WriteProject({"Description", "Keywords", "Author", "Generator", "Robots", "Copyright", "Language", "Rating",
                  "Expires", "dc.title", "dc.creator", "dc.subject"});
    ASSERT_TRUE(StartWithProject(100));
    CGroupView& grid = *View();
    CFilesInTreeCtrl& tree = Frame().GetProjectAreaBar()->GetTree();
    const HWND hGrid = grid.GetSafeHwnd(), hTree = tree.GetSafeHwnd();
    ASSERT_EQ(grid.GetTopRow(), 1u);
    ASSERT_EQ(tree.GetTopIndex(), 0);
    const ROWCOL nLeft = grid.GetLeftCol();

    // The keys in the Project Area; the wheel over the grid scrolls the grid.
    ASSERT_TRUE(ClickAt(OnItemLabel(app->GetPageNodes().GetHead())));
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == hTree && Settled(); })) << "the click left the keys elsewhere";
    cairo_surface_t* before = Shot("wheel-grid-before");
    ASSERT_TRUE(Wheel(hGrid, 5, 1));
    EXPECT_TRUE(RunUntil([&] { return grid.GetTopRow() == 4 && Settled(); }, 10000))
        << "a notch down left row " << grid.GetTopRow() << " at the top";
    cairo_surface_t* after = Shot("wheel-grid-down");
    EXPECT_GT(Changed(before, after, hGrid), 1000) << "the rows on the screen did not move";
    cairo_surface_destroy(before);
    cairo_surface_destroy(after);
    ASSERT_TRUE(Wheel(hGrid, 5, 2) && Wheel(hGrid, 4, 1));
    EXPECT_TRUE(RunUntil([&] { return grid.GetTopRow() == 7 && Settled(); }, 10000))
        << "two notches down and one up left row " << grid.GetTopRow() << " at the top";
    EXPECT_EQ(tree.GetTopIndex(), 0) << "the Project Area scrolled with the grid";

    // Shift turns it sideways, and so does tilting it; the rows stay. The grid shows less than
    // two columns: a notch passes over one, the one in sight, and skips none unseen.
    ASSERT_TRUE(Wheel(hGrid, 5, 1, "shift"));
    EXPECT_TRUE(RunUntil([&] { return grid.GetLeftCol() == nLeft + 1 && Settled(); }, 10000))
        << "Shift and a notch down left column " << grid.GetLeftCol() << " at the left";
    ASSERT_TRUE(Wheel(hGrid, 7, 1));
    EXPECT_TRUE(RunUntil([&] { return grid.GetLeftCol() == nLeft + 2 && Settled(); }, 10000))
        << "a tilt to the right left column " << grid.GetLeftCol() << " at the left";
    ASSERT_TRUE(Wheel(hGrid, 6, 1) && Wheel(hGrid, 4, 1, "shift"));
    EXPECT_TRUE(RunUntil([&] { return grid.GetLeftCol() == nLeft && Settled(); }, 10000))
        << "a tilt to the left and Shift with a notch up left column " << grid.GetLeftCol() << " at the left";
    EXPECT_EQ(grid.GetTopRow(), 7u);

    // The keys in the grid; the wheel over the Project Area scrolls its folders.
    ASSERT_TRUE(ClickCell(8, CGroupView::kTitleColumn));
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == hGrid && Settled(); })) << "the click left the keys elsewhere";
    // Three notches: the tenth row, on the screen before from its label on, stands first.
    before = Shot();
    RECT tenth{}, label{}, first{}, inside{};
    ASSERT_TRUE(tree.GetCellRect(9, 0, tenth, 0) && tree.GetCellRect(9, 0, label, 2) && tree.GetCellRect(0, 0, first, 0));
    tree.GetInsideRect(inside);
    ASSERT_TRUE(Wheel(hTree, 5, 3));
    EXPECT_TRUE(RunUntil([&] { return tree.GetTopIndex() > 0 && Settled(); }, 10000))
        << "the Project Area did not scroll: " << tree.GetCountPerPage() << " of its " << tree.GetItemCount()
        << " rows fit in it";
    after = Shot("wheel-project-area");
    EXPECT_EQ(MovedDiffers(before, CRect(label.left, tenth.top, std::min(tenth.right, inside.right - 1), tenth.bottom), after, CPoint(label.left, first.top), hTree), 0)
        << "three notches did not bring the tenth row first: row " << tree.GetTopIndex() + 1 << " is";
    cairo_surface_destroy(before);
    cairo_surface_destroy(after);
    EXPECT_EQ(grid.GetTopRow(), 7u) << "the grid scrolled with the Project Area";
    EXPECT_EQ(::GetFocus(), hGrid) << "the keys left the grid";

    // The preview of the first page's changes: the wheel over the pane without the keys.
    const ROWCOL nDesc = group_view_lookup::ColumnOf(grid, "Description"), nLong = group_view_lookup::RowOf(grid, "p01.htm");
    ASSERT_NE(nDesc, 0u);
    ASSERT_NE(nLong, 0u);
    // The page's description edited; the edit, not yet ended, scrolled out of sight and back
    // shows its text and goes on.
    X11KeyboardLetters letters(other, "Ωμέγα");
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(GoToByKeys(nLong, nDesc));
    ASSERT_TRUE(Xdo("key F2 End") && Xdo("type --delay 20 ' and more'"));
    CRect text = grid.CalcCellRect(nLong, nDesc);
    text.DeflateRect(3, 3);
    const ROWCOL nTop = grid.GetTopRow();
    ASSERT_TRUE(RunUntil([&] { return Settled(); }));
    before = Shot("wheel-edit-before");
    ASSERT_TRUE(Wheel(hGrid, 4, 3) && RunUntil([&] { return grid.GetTopRow() == nTop - 9 && Settled(); }, 10000));
    ASSERT_GT(nLong, grid.GetLastVisibleRow()) << "the edited cell is still in sight";
    ASSERT_TRUE(Wheel(hGrid, 5, 3) && RunUntil([&] { return grid.GetTopRow() == nTop && Settled(); }, 10000));
    after = Shot("wheel-edit-after");
    EXPECT_GT(DarkPixels(after, text, 100), DarkPixels(before, text, 100) / 2) << "the edit shows no text after the scroll";
    cairo_surface_destroy(before);
    cairo_surface_destroy(after);
    ASSERT_TRUE(Xdo("type --delay 20 ' Ωμέγα'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2; })) << "the edit was not taken";
    EXPECT_STREQ(grid.GetCellValue(nLong, nDesc), "Ωμέγα 日本 and more Ωμέγα");
    CPreviewDlg* pPreview = nullptr;
    int nLeftTop = 0;
    Type("the main window", "^Vostrel -", "alt+v c");
    When("the preview is shown with the keys in the page on disk",
         [&] {
             pPreview = dynamic_cast<CPreviewDlg*>(CWnd::FromHandlePermanent(::GetActiveWindow()));
             return pPreview != nullptr && Matches(FocusedTitle(), "^Preview") &&
                    ::GetFocus() == pPreview->GetLeftPane().GetEditor().GetSafeHwnd() && Settled();
         },
         [&] { Wheel(pPreview->GetRightPane().GetEditor().GetSafeHwnd(), 5, 2); });
    When("two notches scrolled the modified page by three lines each",
         [&] { return pPreview->GetRightPane().GetEditor().GetTopLineNo() == 7 && Settled(); },
         [&] {
             nLeftTop = pPreview->GetLeftPane().GetEditor().GetTopLineNo();
             cairo_surface_destroy(Shot("wheel-preview"));
             Wheel(pPreview->GetLeftPane().GetEditor().GetSafeHwnd(), 5, 1);
         });
    When("a notch scrolled the page on disk", [&] { return pPreview->GetLeftPane().GetEditor().GetTopLineNo() == 4 && Settled(); },
         [&] { XdoNow("key Escape"); });
    ASSERT_TRUE(StepsTaken());
    EXPECT_EQ(nLeftTop, 1) << "the page on disk scrolled with the modified page";

    // Metatag Settings: its grid of the catalogue's tags.
    CMetaSettingDlg* pSettings = nullptr;
    Type("the main window", "^Vostrel -", "alt+o m");
    When("Metatag Settings is shown",
         [&] {
             pSettings = dynamic_cast<CMetaSettingDlg*>(CWnd::FromHandlePermanent(::GetActiveWindow()));
             return pSettings != nullptr && Matches(FocusedTitle(), "^Metatag Settings") && Settled();
         },
         [&] { Wheel(pSettings->GetGrid().GetSafeHwnd(), 5, 1); });
    // Shift and a notch over its columns, Name (a third of the grid wide at most), Show and Type
    // all in sight: Show, on the screen before, stands first in view, Name alone gone.
    CRect show;
    POINT showOnScreen{}, nameOnScreen{};
    When("a notch scrolled its grid by three rows", [&] { return pSettings->GetGrid().GetTopRow() == 4 && Settled(); },
         [&] {
             CMetaSettingGridCtrl& settings = pSettings->GetGrid();
             before = Shot("wheel-settings");
             show = settings.CalcCellRect(0, CMetaSettingGridCtrl::kColShow);
             show.bottom = settings.CalcCellRect(8, CMetaSettingGridCtrl::kColShow).bottom;
             showOnScreen = ScreenPoint(settings.GetSafeHwnd(), show.left, show.top);
             nameOnScreen = ScreenPoint(settings.GetSafeHwnd(), settings.CalcCellRect(0, CMetaSettingGridCtrl::kColName).left, show.top);
             Wheel(settings.GetSafeHwnd(), 5, 1, "shift");
         });
    When("Shift and a notch moved its columns", [&] { return pSettings->GetGrid().GetLeftCol() != 1 && Settled(); },
         [&] {
             after = Shot("wheel-settings-sideways");
             XdoNow("key Escape");
         });
    EXPECT_TRUE(StepsTaken());
    EXPECT_EQ(MovedDiffers(before, show, showOnScreen, after, nameOnScreen), 0)
        << "Shift and a notch did not bring the Show column first";
    cairo_surface_destroy(before);
    cairo_surface_destroy(after);
}
