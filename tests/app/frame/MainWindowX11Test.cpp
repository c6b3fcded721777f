// The main window as the user meets it on a real X server: started with a project, the current
// cell, the value field, zoom, panes shown and hidden, and what comes back after a restart.
#include "platform/win/Clipboard.h"
#include "app/panes/CFileViewControlBar.h"
#include "app/panes/CFilesInTreeCtrl.h"
#include "app/panes/COutputAreaControlBar.h"
#include "app/res/AppRes.h"
#include "app/views/CPageStatusCell.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include "tests/app/MainWindowX11Fixture.h"

namespace fs = std::filesystem;

TEST_F(MainWindowX11Test, AProjectNamedOnTheCommandLineOpensWithoutTheChooser)
{
    MakeSite(3);
    WriteProject({"Description", "Keywords"});
    const std::string seen = dir.Path() + "/chooser-seen";
    WatchForWindow("^New$", seen);

    ASSERT_TRUE(StartWithProject(3));
    CString strTitle;
    Frame().GetWindowText(strTitle);
    EXPECT_NE(std::string(strTitle).find("site.vsp"), std::string::npos) << strTitle.GetString();
    EXPECT_TRUE(Xdo("search --sync --onlyvisible --name 'site.vsp'")) << "the main window shows the project's name";
    EXPECT_FALSE(fs::exists(seen)) << "the File New chooser was shown";
}

// The cell a click or a key makes current shows highlighted, with the grid's frame around it,
// and nothing else keeps the look of a current cell.
TEST_F(MainWindowX11Test, TheCurrentCellShowsItsFrameAndHighlightAfterAClickAndAKey)
{
    MakeSite(6);
    WriteProject({"Description", "Keywords"});
    ASSERT_TRUE(StartWithProject(6));
    CGroupView& view = *View();
    const uint32_t highlight = Rgb(::GetSysColor(COLOR_HIGHLIGHT));
    const uint32_t interior = Rgb(CGroupView::kInteriorColor);

    // Where a cell shows its interior (right of its text) and its frame (its left edge).
    auto cellLook = [&](cairo_surface_t* shot, ROWCOL nRow, ROWCOL nCol) {
        const CRect rect = view.CalcCellRect(nRow, nCol);
        const int y = rect.CenterPoint().y;
        return std::make_pair(GridPixel(shot, rect.right - 6, y), GridPixel(shot, rect.left + 1, y));
    };

    ASSERT_TRUE(ClickCell(3, 2));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(3, 2); }, 60000)) << "the click did not make the cell current";
    ASSERT_TRUE(Quiet());
    cairo_surface_t* shot = Shot("current-cell-click");
    ASSERT_NE(shot, nullptr);
    auto [inside, edge] = cellLook(shot, 3, 2);
    EXPECT_EQ(inside, highlight) << std::hex << inside;
    EXPECT_NE(edge, highlight) << "no frame";
    EXPECT_NE(edge, interior) << "no frame";
    EXPECT_EQ(cellLook(shot, 4, 2).first, interior) << "the row below is not highlighted";
    cairo_surface_destroy(shot);

    ASSERT_TRUE(Xdo("key Down"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(4, 2); }, 60000)) << "Down did not move the current cell";
    ASSERT_TRUE(Quiet());
    shot = Shot("current-cell-key");
    ASSERT_NE(shot, nullptr);
    std::tie(inside, edge) = cellLook(shot, 4, 2);
    EXPECT_EQ(inside, highlight) << std::hex << inside;
    EXPECT_NE(edge, highlight) << "no frame";
    EXPECT_NE(edge, interior) << "no frame";
    EXPECT_EQ(cellLook(shot, 3, 2).first, interior) << "the cell left behind still shows highlighted";
    EXPECT_EQ(cellLook(shot, 3, 2).second, interior) << "the cell left behind keeps a frame";
    cairo_surface_destroy(shot);

    // What the grid shows is what a full repaint draws.
    EXPECT_EQ(StalePixelsOf(view.GetSafeHwnd(), "current-cell-stale"), 0);
}

// The field above the grid shows the current cell's value after each change of it, whatever
// made the change.
TEST_F(MainWindowX11Test, TheValueFieldFollowsEveryChangeOfTheCurrentCellsValue)
{
    MakeSite(4);
    WriteProject({"Description"}, 0);
    ASSERT_TRUE(StartWithProject(4));
    CGroupView& view = *View();
    CWnd* pFrame = view.GetParentFrame();
    auto* pGroupFrame = dynamic_cast<CGroupFrame*>(pFrame);
    ASSERT_NE(pGroupFrame, nullptr);
    const ROWCOL nDesc = 2;
    ASSERT_EQ(std::string(view.GetCellValue(0, nDesc)), "Description");
    auto field = [&] {
        CString strText;
        pGroupFrame->GetEditField().GetWindowText(strText);
        return std::string(strText);
    };
    auto value = [&](ROWCOL nRow) { return std::string(view.GetCellValue(nRow, nDesc)); };
    const std::string first = value(1), second = value(2);
    ASSERT_NE(first, second);
    auto fieldShows = [&](const std::string& text, const char* pszStep) {
        EXPECT_TRUE(RunUntil([&] { return field() == text; }, 60000))
            << pszStep << ": the field shows '" << field() << "', not '" << text << "'";
    };

    ASSERT_TRUE(ClickCell(2, nDesc));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(2, nDesc); }, 60000)) << "the click did not make the cell current";
    fieldShows(second, "click");

    ASSERT_TRUE(Xdo("key Delete"));
    ASSERT_TRUE(RunUntil([&] { return value(2).empty(); }, 60000)) << "Delete did not clear the cell";
    fieldShows("", "Delete");

    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return value(2) == second; }, 60000)) << "Undo did not give the value back";
    fieldShows(second, "Undo");

    // Paste of a copied cell.
    ASSERT_TRUE(ClickCell(3, nDesc));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(3, nDesc); }, 60000));
    const std::string third = value(3);
    fieldShows(third, "click");
    const DWORD dwClipboard = ::GetClipboardSequenceNumber();
    ASSERT_TRUE(Xdo("key ctrl+c"));
    ASSERT_TRUE(RunUntil([&] { return ::GetClipboardSequenceNumber() != dwClipboard; }, 60000)) << "Copy did not copy";
    ASSERT_TRUE(ClickCell(4, nDesc));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(4, nDesc); }, 60000));
    ASSERT_TRUE(Xdo("key ctrl+v"));
    ASSERT_TRUE(RunUntil([&] { return value(4) == third; }, 60000)) << "Paste did not paste";
    fieldShows(third, "Paste");
}

// Zoom In and Zoom Out from the View menu scale the columns and rows with the text, so the
// headers that fit at 100% still fit, and 100% gives the same sizes back.
TEST_F(MainWindowX11Test, ZoomScalesTheColumnWidthsAndRowHeightsWithTheText)
{
    MakeSite(4);
    WriteProject({"Description", "Keywords", "Author"});
    ASSERT_TRUE(StartWithProject(4));
    CGroupView& view = *View();
    ASSERT_TRUE(ClickCell(1, 2));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, 2); }, 60000)) << "the grid did not take the click";
    std::vector<int> widths;
    for (ROWCOL nCol = 0; nCol <= view.GetColCount(); ++nCol)
        widths.push_back(view.GetColWidth(nCol));
    const int nHeight = view.GetRowHeight(1), nHeaderHeight = view.GetRowHeight(0);

    // Columns right of the frozen ones never take more than the window leaves them; rows are
    // at least as tall as the zoomed text needs.
    auto expectScaled = [&](int nZoom) {
        CRect grid;
        view.GetGridRect(&grid);
        const int nSpace = std::max(0, grid.Width() - view.SumColWidths(0, view.GetFrozenCols(), 0));
        for (ROWCOL nCol = 0; nCol <= view.GetColCount(); ++nCol) {
            const int nScaled = widths[nCol] * nZoom / 100;
            const int nExpected = nCol > view.GetFrozenCols() ? std::min(nScaled, nSpace) : nScaled;
            EXPECT_NEAR(view.GetColWidth(nCol), nExpected, 1) << "column " << nCol << " at " << nZoom << "%";
        }
        EXPECT_GE(view.GetRowHeight(1), nHeight * nZoom / 100 - 1) << "row 1 at " << nZoom << "%";
        EXPECT_GE(view.GetRowHeight(0), nHeaderHeight * nZoom / 100 - 1) << "the header row at " << nZoom << "%";
    };
    for (int nZoom : {110, 121, 133}) {
        ASSERT_TRUE(Xdo("key alt+v i"));
        ASSERT_TRUE(RunUntil([&] { return view.GetZoom() == nZoom; }, 60000)) << "Zoom In did not reach " << nZoom;
        expectScaled(nZoom);
    }
    EXPECT_EQ(StalePixelsOf(view.GetSafeHwnd(), "zoom-133"), 0);
    ASSERT_TRUE(Xdo("key alt+v u"));
    ASSERT_TRUE(RunUntil([&] { return view.GetZoom() == 120; }, 60000)) << "Zoom Out did not reach 120";
    expectScaled(120);
    ASSERT_TRUE(Xdo("key alt+v 1"));
    ASSERT_TRUE(RunUntil([&] { return view.GetZoom() == 100; }, 60000)) << "100% did not reset the zoom";
    for (ROWCOL nCol = 0; nCol <= view.GetColCount(); ++nCol)
        EXPECT_EQ(view.GetColWidth(nCol), widths[nCol]) << "column " << nCol << " back at 100%";
    EXPECT_EQ(view.GetRowHeight(1), nHeight);
}

// A column header cut by the grid's right edge shows its title in the part that shows, and
// what the grid shows after the window was made narrower is what a full repaint draws.
TEST_F(MainWindowX11Test, AHeaderCutByTheRightEdgeShowsItsTitleInTheVisiblePart)
{
    MakeSite(4);
    WriteProject({"Description", "Keywords"});
    ASSERT_TRUE(StartWithProject(4));
    CGroupView& view = *View();
    // The window made narrower until a third of the file column shows: the middle of the
    // column, where a header centres its title, lies beyond the edge.
    CRect frame, grid, header = view.CalcCellRect(0, 1);
    Frame().GetWindowRect(&frame);
    view.GetGridRect(&grid);
    const int nWidth = frame.Width() - (grid.right - (header.left + header.Width() / 3));
    ASSERT_GT(nWidth, 200);
    ASSERT_TRUE(Xdo("search --name 'site.vsp' windowsize " + std::to_string(nWidth) + " 400")) << "the window could not be sized";
    ASSERT_TRUE(RunUntil([&] {
        CRect r;
        Frame().GetWindowRect(&r);
        return r.Width() == nWidth;
    }, 60000)) << "the window did not take its new size";
    ASSERT_TRUE(Quiet());

    view.GetGridRect(&grid);
    header = view.CalcCellRect(0, 1);
    ASSERT_GT(header.right, grid.right) << "the file column's header is not cut at this width";
    header.right = grid.right;
    ASSERT_GT(header.Width(), 20) << "too little of the header shows to judge";
    cairo_surface_t* shot = Shot("header-cut");
    ASSERT_NE(shot, nullptr);
    const int nDark = DarkPixels(shot, CRect(header.left + 2, header.top + 2, header.right - 2, header.bottom - 2), 0x60);
    cairo_surface_destroy(shot);
    EXPECT_GT(nDark, 0) << "the visible part of the header shows no text";
    EXPECT_EQ(StalePixelsOf(view.GetSafeHwnd(), "header-cut-stale"), 0);
}

// A site's pages lie deep in folders that all start alike: the file column shows the end of
// each path, its start given way to "...", so that the rows read apart by folder and name.
TEST_F(MainWindowX11Test, TheFileColumnShowsTheEndOfPathsTooLongForIt)
{
    // Letters as they are drawn for the user, not as blocks, so that names tell apart.
    SetTestFontMode(false);
    site = dir.Path() + "/site";
    const std::vector<std::string> pages = {"/sec03/dir1132/p31.html", "/sec03/dir1132/p32.html",
                                            "/sec03/dir1133/p31.html"};
    for (const std::string& page : pages) {
        fs::create_directories(fs::path(site + page).parent_path());
        std::ofstream(site + page) << "<html><head><title>A page</title></head><body>x</body></html>\n";
    }
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(3));
    CGroupView& view = *View();
    // The current cell, highlighted, moves off the file column so that every file cell reads as
    // plain text.
    ASSERT_TRUE(Xdo("key Right"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, 2); }, 60000)) << "Right did not move the current cell";
    ASSERT_TRUE(Quiet());
    cairo_surface_t* shot = Shot("file-column-paths");
    ASSERT_NE(shot, nullptr);

    // The text part of each page's file cell, right of its picture, by the page's path.
    auto textOf = [&](const std::string& page) {
        for (ROWCOL nRow = 1; nRow <= view.GetRowCount(); ++nRow) {
            CPageNode* pPage = nullptr;
            CString strPath;
            if (view.GetRowPage(nRow, pPage) == 0 && pPage->GetFullPath(strPath) == 0 && site + page == strPath.GetString()) {
                CRect rect = view.CalcCellRect(nRow, 1);
                rect.left += CPageStatusCell::kPictureLeft + CPageStatusCell::kPictureWidth;
                rect.DeflateRect(2, 1);
                return rect;
            }
        }
        ADD_FAILURE() << page << " has no row";
        return CRect();
    };
    const uint32_t nInk = 0xA0;
    auto isInk = [&](int x, int y) {
        const uint32_t p = GridPixel(shot, x, y);
        return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * nInk;
    };
    // Cells of rows whose paths differ only at their ends look different.
    auto differing = [&](const CRect& a, const CRect& b) {
        int n = 0;
        for (int y = 0; y < std::min(a.Height(), b.Height()); ++y)
            for (int x = 0; x < std::min(a.Width(), b.Width()); ++x)
                n += GridPixel(shot, a.left + x, a.top + y) != GridPixel(shot, b.left + x, b.top + y) ? 1 : 0;
        return n;
    };
    const CRect first = textOf(pages[0]), second = textOf(pages[1]), third = textOf(pages[2]);
    EXPECT_GT(differing(first, second), 0) << "p31.html and p32.html read alike";
    EXPECT_GT(differing(first, third), 0) << "dir1132 and dir1133 read alike";

    // Each text starts with the dots: its first ink lies low in the line, where a path's first
    // "/" would reach up to the top of the letters.
    for (const CRect& text : {first, second, third}) {
        int inkTop = text.bottom, inkBottom = text.top, inkLeft = text.right;
        for (int y = text.top; y < text.bottom; ++y)
            for (int x = text.left; x < text.right; ++x)
                if (isInk(x, y)) {
                    inkTop = std::min(inkTop, y);
                    inkBottom = std::max(inkBottom, y);
                    inkLeft = std::min(inkLeft, x);
                }
        ASSERT_LT(inkTop, inkBottom) << "no text in the file cell";
        int highest = inkBottom;
        for (int y = inkTop; y <= inkBottom; ++y)
            for (int x = inkLeft; x < inkLeft + 3; ++x)
                if (isInk(x, y))
                    highest = std::min(highest, y);
        EXPECT_GT(highest, inkTop + (inkBottom - inkTop) / 2) << "the text does not start with the dots";
    }
    cairo_surface_destroy(shot);
}

// After the panes and bars change places, every pixel of the window is what a full repaint
// draws: the Project Area hidden and shown from the View menu, the Main Toolbar floated and
// docked again by double clicks.
TEST_F(MainWindowX11Test, AfterALayoutChangeTheWindowShowsWhatAFullRepaintDraws)
{
    MakeSite(12, 30);
    WriteProject({"Description", "Keywords", "Author"});
    ASSERT_TRUE(StartWithProject(42));
    ASSERT_TRUE(ClickCell(2, 2));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(2, 2); }, 60000)) << "the grid did not take the click";
    CFileViewControlBar& projectArea = *Frame().GetProjectAreaBar();
    const HWND hFrame = Frame().GetSafeHwnd();

    ASSERT_TRUE(Xdo("key alt+v p"));
    ASSERT_TRUE(RunUntil([&] { return !projectArea.IsWindowVisible(); }, 60000)) << "View > Project Area did not hide it";
    EXPECT_EQ(StalePixelsOf(hFrame, "layout-area-hidden"), 0);
    ASSERT_TRUE(Xdo("key alt+v p"));
    ASSERT_TRUE(RunUntil([&] { return projectArea.IsWindowVisible() != FALSE; }, 60000)) << "View > Project Area did not show it";
    EXPECT_EQ(StalePixelsOf(hFrame, "layout-area-shown"), 0);

    SECCustomToolBar* pBar = Frame().GetToolBarManager()->ToolBarFromID(ID_VIEW_TOOLBARS);
    ASSERT_NE(pBar, nullptr);
    auto doubleClick = [&](int x, int y) {
        return Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click --repeat 2 --delay 80 1");
    };
    CRect rect;
    pBar->GetWindowRect(&rect);
    ASSERT_TRUE(doubleClick(rect.left + 4, rect.CenterPoint().y));
    ASSERT_TRUE(RunUntil([&] { return pBar->IsFloating() != FALSE; }, 60000)) << "a double click on the gripper did not float the bar";
    EXPECT_EQ(StalePixelsOf(hFrame, "layout-bar-floating"), 0);
    pBar->GetParentFrame()->GetWindowRect(&rect);
    ASSERT_TRUE(doubleClick(rect.left + 30, rect.top + 6));
    ASSERT_TRUE(RunUntil([&] { return pBar->IsFloating() == FALSE; }, 60000)) << "a double click on the caption did not dock the bar";
    EXPECT_EQ(StalePixelsOf(hFrame, "layout-bar-docked"), 0);
}

// Japanese and Korean titles show in the grid in a font that has their glyphs, and a
// character that no font has shows as a box, never as blank space.
TEST_F(MainWindowX11Test, TextInScriptsTheGridFontLacksShowsInAFallbackFontOrAsBoxes)
{
    SetTestFontMode(false);   // the glyphs themselves are what is judged
    MakeSite(0);
    const std::vector<std::string> titles = {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x9A\xE3\x83\xBC\xE3\x82\xB8",
                                             "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 \xED\x8E\x98\xEC\x9D\xB4\xEC\xA7\x80",
                                             "\xF4\x8F\xBF\xBD\xF4\x8F\xBF\xBD\xF4\x8F\xBF\xBD"};
    for (size_t i = 0; i < titles.size(); ++i)
        std::ofstream(site + "/t" + std::to_string(i) + ".htm")
            << "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n<title>"
            << titles[i] << "</title></head><body>x</body></html>\n";
    WriteProject({"Description"}, 1);
    ASSERT_TRUE(StartWithProject(3));
    CGroupView& view = *View();
    ASSERT_TRUE(Quiet());
    cairo_surface_t* shot = Shot("cjk-titles");
    ASSERT_NE(shot, nullptr);
    for (ROWCOL nRow = 1; nRow <= 3; ++nRow) {
        const std::string title(view.GetCellValue(nRow, 2));
        ASSERT_NE(std::find(titles.begin(), titles.end(), title), titles.end()) << "row " << nRow << " shows '" << title << "'";
        const CRect cell = view.CalcCellRect(nRow, 2);
        const int nDark = DarkPixels(shot, CRect(cell.left + 2, cell.top + 1, cell.right - 2, cell.bottom - 1), 0x80);
        EXPECT_GT(nDark, 20) << "the title of row " << nRow << " shows as blank space";
    }
    // Each box shows whole: as many tall dark lines (its sides) as twice its top edges.
    const CRect boxes = view.CalcCellRect(3, 2);
    const auto dark = [&](int x, int y) {
        const uint32_t pixel = GridPixel(shot, x, y);
        return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) < 3 * 0x60;
    };
    int nTops = 0;
    int nTopRow = -1;
    for (int y = boxes.top + 1; y < boxes.bottom - 1 && nTopRow < 0; ++y) {
        int nRun = 0;
        for (int x = boxes.left + 1; x < boxes.right - 1; ++x) {
            nRun = dark(x, y) ? nRun + 1 : 0;
            if (nRun == 4) {
                nTopRow = y;
                ++nTops;
            }
        }
    }
    int nSides = 0;
    bool bInSide = false;
    for (int x = boxes.left + 1; x < boxes.right - 1; ++x) {
        int nRun = 0;
        int nLongest = 0;
        for (int y = boxes.top + 1; y < boxes.bottom - 1; ++y) {
            nRun = dark(x, y) ? nRun + 1 : 0;
            nLongest = std::max(nLongest, nRun);
        }
        const bool bSide = nLongest >= 8;
        nSides += bSide && !bInSide ? 1 : 0;
        bInSide = bSide;
    }
    EXPECT_EQ(nTops, 3) << "the top edges of the three boxes";
    EXPECT_EQ(nSides, 2 * nTops) << "a box of a character no font has is cut";
    cairo_surface_destroy(shot);
}

// A site of nested folders opens, is scanned and scanned again with F5, and the Project Area
// still shows the top of its tree, the root first.
TEST_F(MainWindowX11Test, TheProjectAreaKeepsTheTopOfItsTreeInViewAfterAScan)
{
    MakeSite(4, 20);
    for (int i = 1; i <= 10; ++i)
        for (int j = 1; j <= 3; ++j) {
            const std::string folder = site + "/folder" + (i < 10 ? "0" : "") + std::to_string(i) + "/sub" + std::to_string(j);
            fs::create_directories(folder);
            std::ofstream(folder + "/x.htm") << "<html><head><title>x</title></head><body>x</body></html>\n";
        }
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(54));
    CFilesInTreeCtrl& tree = Frame().GetProjectAreaBar()->GetTree();
    EXPECT_EQ(tree.GetTopIndex(), 0) << "the tree opened scrolled down";

    ASSERT_TRUE(ClickCell(1, 2));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, 2); }, 60000)) << "the grid did not take the click";
    // A page changed on disk shows its new title once the scan has read it again.
    std::ofstream(site + "/p01.htm") << "<html><head><title>Rescanned</title></head><body>x</body></html>\n";
    ASSERT_TRUE(Xdo("key F5"));
    auto rescanned = [&] {
        for (ROWCOL nRow = 1; nRow <= View()->GetRowCount(); ++nRow)
            if (View()->GetCellValue(nRow, 2) == "Rescanned")
                return true;
        return false;
    };
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && rescanned(); }, 60000)) << "F5 did not scan the pages again";
    ASSERT_TRUE(Quiet());
    EXPECT_EQ(tree.GetTopIndex(), 0) << "the tree scrolled down during the scan";
}

// After Save Edited Files the undo history ends at the save: Undo and Undo All cannot show the
// old value over a page that holds the new one, and no column goes.
TEST_F(MainWindowX11Test, UndoAfterASaveLeavesTheGridAgreeingWithThePages)
{
    MakeSite(3);
    WriteProject({"Description"}, 1);
    ASSERT_TRUE(StartWithProject(3));
    CGroupView& view = *View();
    const ROWCOL nDesc = 3, nCols = view.GetColCount();
    ASSERT_EQ(std::string(view.GetCellValue(0, nDesc)), "Description");
    CPageNode* pPage = nullptr;
    ASSERT_EQ(view.GetRowPage(1, pPage), 0u);
    CString strPath;
    pPage->GetFullPath(strPath);
    const std::string path(strPath);

    ASSERT_TRUE(ClickCell(1, 2));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, 2); }, 60000)) << "the click did not make the cell current";
    ASSERT_TRUE(Xdo("key Right"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, nDesc); }, 60000)) << "Right did not move the current cell";
    ASSERT_TRUE(Xdo("type --delay 20 Changed"));
    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2 && view.GetCellValue(1, nDesc) == "Changed"; }, 60000))
        << "the typed value was not stored";
    ASSERT_TRUE(Xdo("key ctrl+t"));
    auto fileHolds = [&](const char* pszText) {
        std::ifstream in(path);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        return text.find(pszText) != std::string::npos;
    };
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && fileHolds("content=\"Changed\""); }, 60000))
        << "Save Edited Files did not write the page";

    // Undo, then a move: once the current cell has moved, the Undo has been handled.
    ROWCOL nRow = 0, nCol = 0;
    ASSERT_TRUE(view.GetCurrentCell(nRow, nCol));
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(Xdo("key Down"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nRow + 1, nCol); }, 60000)) << "the keys were not handled";
    EXPECT_EQ(std::string(view.GetCellValue(1, nDesc)), "Changed") << "the grid shows a value the page does not hold";
    EXPECT_TRUE(fileHolds("content=\"Changed\""));
    EXPECT_TRUE(view.GetParam()->m_UndoList.IsEmpty()) << "Undo All is offered over the saved edits";
    EXPECT_EQ(view.GetColCount(), nCols) << "a column went";
    EXPECT_EQ(std::string(view.GetCellValue(0, 2)), "Title");
}

// In the user's own fonts, Save Edited Files leaves every saved row drawn as saved: the rows
// it marked for painting stay due when the Output Area comes up at the end of the save and
// makes the grid smaller.
TEST_F(MainWindowX11Test, SavedRowsShowSavedWhenTheOutputAreaComesUp)
{
    SetTestFontMode(false);
    MakeSite(3);
    WriteProject({"Description"}, 1);
    ASSERT_TRUE(StartWithProject(3));
    CGroupView& view = *View();
    const ROWCOL nDesc = 3;
    ASSERT_EQ(std::string(view.GetCellValue(0, nDesc)), "Description");
    ASSERT_TRUE(ClickCell(1, 2));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, 2); }, 60000)) << "the click did not make the cell current";
    ASSERT_TRUE(Xdo("key Right"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, nDesc); }, 60000)) << "Right did not move the current cell";
    for (ROWCOL nRow = 1; nRow <= 3; ++nRow) {
        if (nRow > 1) {
            ASSERT_TRUE(Xdo("key Down"));
        }
        ASSERT_TRUE(RunUntil([&] { return IsCurrent(nRow, nDesc); }, 60000)) << "Down did not reach row " << nRow;
        ASSERT_TRUE(Xdo("type --delay 20 Changed"));
        ASSERT_TRUE(Xdo("key Return"));
        ASSERT_TRUE(RunUntil([&] { return view.GetCellValue(nRow, nDesc) == "Changed" && Settled(); }, 60000))
            << "the value typed in row " << nRow << " was not stored";
    }
    COutputAreaControlBar* pOutput = nullptr;
    ASSERT_EQ(Frame().GetOutputAreaBar(pOutput), 0u);
    ASSERT_FALSE(pOutput->IsWindowVisible()) << "the Output Area shows before the save";
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && pOutput->IsWindowVisible(); }, 60000))
        << "Save Edited Files did not write the pages and tell it";
    EXPECT_EQ(StalePixelsOf(view.GetSafeHwnd(), "saved-rows"), 0) << "a saved row still shows unsaved";
}

// What the user set up comes back after the program is closed from its menu and started
// again with the project: the maximised window and the Output Area.
TEST_F(MainWindowX11Test, TheWindowAndItsPanesComeBackAsTheyWereAtExit)
{
    MakeSite(4);
    WriteProject({"Description", "Keywords"});
    ASSERT_TRUE(StartWithProject(4));
    COutputAreaControlBar* pOutput = nullptr;
    ASSERT_EQ(Frame().GetOutputAreaBar(pOutput), 0u);
    ASSERT_FALSE(pOutput->IsWindowVisible());

    CRect rect;
    Frame().GetWindowRect(&rect);
    ASSERT_TRUE(Xdo("mousemove " + std::to_string(rect.CenterPoint().x) + " " + std::to_string(rect.top + 10) +
                    " click --repeat 2 --delay 80 1"));
    ASSERT_TRUE(RunUntil([&] { return Frame().IsZoomed() != FALSE; }, 60000)) << "a double click on the caption did not maximise";
    ASSERT_TRUE(Xdo("key alt+v o"));
    ASSERT_TRUE(RunUntil([&] { return pOutput->IsWindowVisible() != FALSE; }, 60000)) << "View > Output Area did not show it";

    const HWND hOld = Frame().GetSafeHwnd();
    ASSERT_TRUE(Xdo("key alt+f x"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hOld); }, 60000)) << "File > Exit did not close the window";
    Stop();

    ASSERT_TRUE(StartWithProject(4));
    EXPECT_TRUE(Frame().IsZoomed()) << "the window is not maximised again";
    ASSERT_EQ(Frame().GetOutputAreaBar(pOutput), 0u);
    EXPECT_TRUE(pOutput->IsWindowVisible()) << "the Output Area is hidden again";
}

// Columns shown as a scan finds their tags take the catalogue's order, whatever order the
// pages give, so they come back in the same order after the program is closed and started.
TEST_F(MainWindowX11Test, TheColumnsComeBackInTheSameOrderAfterARestart)
{
    MakeSite(0);
    // The scan reads the pages in turn and finds the tags in the catalogue's reverse order.
    const char* tags[] = {"ROBOTS", "DESCRIPTION", "AUTHOR"};
    for (int i = 0; i < 3; ++i)
        std::ofstream(site + "/p" + std::to_string(i + 1) + ".htm")
            << "<html><head><title>P</title><meta name=\"" << tags[i] << "\" content=\"v\"></head><body>x</body></html>\n";
    WriteProject({}, 0);
    {
        // Every tag found gets a column.
        CProjectSettings settings;
        CFile file;
        ASSERT_TRUE(file.Open(ProjectPath().c_str(), CFile::modeRead));
        CArchive ar(&file, CArchive::load, 4096);
        std::unique_ptr<CObject> pObject(ar.ReadObject(nullptr));
        ar.Close();
        file.Close();
        auto* pRead = dynamic_cast<CProjectSettings*>(pObject.get());
        ASSERT_NE(pRead, nullptr);
        pRead->m_bShowAllFound = 1;
        CFile out;
        ASSERT_TRUE(out.Open(ProjectPath().c_str(), CFile::modeCreate | CFile::modeWrite));
        CArchive store(&out, CArchive::store, 4096);
        store.WriteObject(pRead);
        store.Close();
        out.Close();
    }
    // The note at the end of each scan is answered as it comes.
    WatchForWindow("^Scan Completed$", dir.Path() + "/scan-note", true);
    auto headers = [&] {
        std::vector<std::string> names;
        for (ROWCOL nCol = 2; nCol <= View()->GetColCount(); ++nCol)
            names.push_back(std::string(View()->GetCellValue(0, nCol)));
        return names;
    };
    const std::vector<std::string> expected = {"Author", "Description", "Robots"};

    ASSERT_TRUE(StartWithProject(3));
    ASSERT_TRUE(RunUntil([&] { return headers().size() == 3; }, 60000)) << "the found tags did not all get columns";
    EXPECT_EQ(headers(), expected);

    const HWND hOld = Frame().GetSafeHwnd();
    ASSERT_TRUE(ClickCell(1, 1));
    ASSERT_TRUE(Xdo("key alt+f x"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hOld); }, 60000)) << "File > Exit did not close the window";
    Stop();

    ASSERT_TRUE(StartWithProject(3));
    ASSERT_TRUE(RunUntil([&] { return headers().size() == 3; }, 60000)) << "the found tags did not all get columns";
    EXPECT_EQ(headers(), expected);
}
