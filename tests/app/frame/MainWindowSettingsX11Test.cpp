// Options > Project Settings as the user meets it on the X server: OK leaves the grid's columns
// as wide as the user dragged them.
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/ClipboardText.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <fstream>
#include <iterator>

namespace {

class MainWindowSettingsX11Test : public MainWindowStepsX11Test {};

} // namespace

TEST_F(MainWindowSettingsX11Test, ProjectSettingsOkKeepsTheColumnWidths)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    const ROWCOL nTitle = ColumnOf("Title");
    ASSERT_NE(nTitle, 0u);
    // The user drags the Title column's right edge in the header to the left.
    const CRect header = view->CalcCellRect(0, nTitle);
    const POINT edge = ScreenPoint(view->GetSafeHwnd(), header.right - 1, header.CenterPoint().y);
    const int nBefore = view->GetColWidth(nTitle);
    ASSERT_TRUE(XdoNow("mousemove " + std::to_string(edge.x) + " " + std::to_string(edge.y) + " mousedown 1 mousemove " +
                       std::to_string(edge.x - 20) + " " + std::to_string(edge.y) + " mousemove " +
                       std::to_string(edge.x - 40) + " " + std::to_string(edge.y) + " mouseup 1"));
    ASSERT_TRUE(RunUntil([&] { return view->GetColWidth(nTitle) < nBefore - 30 && Settled(); }))
        << "the drag did not narrow the column: " << nBefore << " to " << view->GetColWidth(nTitle) << ", on the screen " << header.Width() << " to " << view->CalcCellRect(0, nTitle).Width();
    const int nDragged = view->GetColWidth(nTitle);
    const int nFile = view->GetColWidth(CGroupView::kFileColumn);

    ASSERT_TRUE(Xdo("key alt+o"));
    Choose("Project Settings...");
    Type("the Project Settings sheet", "^Project Settings$", "Return");
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ProgramHasFocus() && Settled(); })) << "the sheet stayed";
    EXPECT_EQ(view->GetColWidth(nTitle), nDragged);
    EXPECT_EQ(view->GetColWidth(CGroupView::kFileColumn), nFile);
    EXPECT_EQ(view->CalcCellRect(0, nTitle).Width(), header.Width() + (nDragged - nBefore))
        << "on the screen the header keeps its dragged width";
    // And the screen shows it so: the grid's line after the Title column runs down its rows at
    // the dragged width, not where the column ended before the drag.
    cairo_surface_t* shot = Shot("project-settings-widths");
    ASSERT_NE(shot, nullptr);
    const CRect first = view->CalcCellRect(1, nTitle);
    const CRect last = view->CalcCellRect(view->GetRowCount(), nTitle);
    // A cell's lines are drawn just past its rectangle, on its right and below it.
    const uint32_t line = GridPixel(shot, first.CenterPoint().x, first.bottom);
    const auto lineDown = [&](int x) {
        int nOnLine = 0;
        for (int y = first.top; y < last.bottom; ++y)
            nOnLine += GridPixel(shot, x, y) == line;
        return nOnLine == last.bottom - first.top;
    };
    EXPECT_TRUE(lineDown(first.right)) << "no line after the Title column at its dragged width";
    EXPECT_FALSE(lineDown(first.right + nBefore - nDragged)) << "a line where the Title column ended before";
    cairo_surface_destroy(shot);
}

// The undo history outlives the grid's reloads: edits made before another folder was picked,
// and before OK in Project Settings and in Metatag Settings, are still undone one by one, redone,
// undone all by Undo All, and saved, each in the page it was made in.
TEST_F(MainWindowSettingsX11Test, EditsStayUndoableAfterAFolderPickAndTheSettingsOk)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    // The pages' own texts are in other scripts; the user's edits replace them.
    const std::string alpha = "Ålpha ß Ωμέγα 中文", third = "Γάμμα ç 日本";
    std::ofstream(site + "/a.htm") << "<html><head><meta charset=\"utf-8\"><title>" << alpha << "</title>\n"
                                   << "<meta name=\"DESCRIPTION\" content=\"First page\">\n</head><body>a</body></html>\n";
    std::ofstream(site + "/sub/c.htm") << "<html><head><meta charset=\"utf-8\"><title>Gamma</title>\n"
                                       << "<meta name=\"DESCRIPTION\" content=\"" << third << "\">\n</head><body>c</body></html>\n";
    ASSERT_TRUE(XdoNow("key F5"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 3 && Settled(); }))
        << "the pages were not scanned";
    CPageNode* pRoot = app->GetPageNodes().GetHead();
    const std::function<CPageNode*(CPageNode*)> findSub = [&](CPageNode* pNode) -> CPageNode* {
        if (pNode->GetKind() == CPageNode::kindFolder && pNode->GetName() == "sub")
            return pNode;
        for (POSITION pos = pNode->GetChildren().GetHeadPosition(); pos != nullptr;)
            if (CPageNode* pFound = findSub(pNode->GetChildren().GetNext(pos)))
                return pFound;
        return nullptr;
    };
    CPageNode* pSub = findSub(pRoot);
    ASSERT_NE(pSub, nullptr);
    const ROWCOL nTitle = ColumnOf("Title"), nDesc = ColumnOf("Description");
    ASSERT_EQ(std::string(view->GetCellValue(RowOf("a.htm"), nTitle)), alpha);
    // The row's file clicked, the arrows to the cell, its text typed and stored.
    const auto type = [&](ROWCOL nRow, ROWCOL nCol, const std::string& text) {
        ClickAt(CellOnScreen(nRow, CGroupView::kFileColumn), 1, 1);
        std::string rights;
        for (ROWCOL c = CGroupView::kFileColumn; c < nCol; ++c)
            rights += " Right";
        return RunUntil([&] { return IsCurrent(nRow, CGroupView::kFileColumn) && ProgramHasFocus(); }) &&
               XdoNow("key --delay 30" + rights) && RunUntil([&] { return IsCurrent(nRow, nCol); }) &&
               XdoNow("type --delay 30 '" + text + "'") && XdoNow("key Return") &&
               RunUntil([&] { return std::string(view->GetCellValue(nRow, nCol)) == text && Settled(); });
    };
    // What Ctrl+C copies of the selection.
    const auto copied = [&] {
        const DWORD dwBefore = ::GetClipboardSequenceNumber();
        if (!XdoNow("key ctrl+c") || !RunUntil([&] { return ::GetClipboardSequenceNumber() != dwBefore; }))
            return std::string("(nothing copied)");
        return clipboard_text::Get(nullptr);
    };
    const auto folderShown = [&](CPageNode* pNode, int nPages) {
        return app->GetSelectedNodes().GetCurrentFolder() == pNode && view->GetRowCount() == static_cast<ROWCOL>(nPages) &&
               Settled();
    };

    ASSERT_TRUE(type(RowOf("a.htm"), nTitle, "Edited one")) << "the title was not typed";
    ASSERT_TRUE(ClickAt(OnItemLabel(pSub), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return folderShown(pSub, 1); })) << "the folder's pages were not shown";
    ASSERT_TRUE(type(1, nDesc, "Edited three")) << "the description was not typed";
    ASSERT_TRUE(ClickAt(OnItemLabel(pRoot), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return folderShown(pRoot, 3); })) << "all the pages were not shown";

    ASSERT_TRUE(XdoNow("key alt+o"));
    Choose("Project Settings...");
    Type("the Project Settings sheet", "^Project Settings$", "Return");
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ProgramHasFocus() && Settled(); })) << "the sheet stayed";
    ASSERT_TRUE(XdoNow("key alt+o"));
    Choose("Metatag Settings...");
    When("the Metatag Settings dialog has the focus", [this] { return Matches(FocusedTitle(), "^Metatag Settings - "); },
         [this] { ClickAt(CentreOnScreen(::GetDlgItem(::GetActiveWindow(), IDOK)), 1, 1); });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ProgramHasFocus() && Settled(); })) << "the dialog stayed";
    EXPECT_EQ(app->IsEdited(), 2u);

    // Undo takes back the description, on the cell that shows it, and Redo gives it again.
    const ROWCOL nA = RowOf("a.htm"), nC = RowOf("c.htm");
    ASSERT_TRUE(XdoNow("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nC, nDesc) && Settled(); })) << "Undo did nothing";
    EXPECT_EQ(copied(), third);
    ASSERT_TRUE(XdoNow("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return std::string(view->GetCellValue(nC, nDesc)) == "Edited three" && Settled(); }))
        << "Redo did nothing";
    EXPECT_EQ(copied(), "Edited three");

    // Undo All asks, and takes back both edits: no page is left edited.
    {
        X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "Return");
        ASSERT_TRUE(XdoNow("key --delay 30 alt+e a"));
        ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1 && view->GetParam()->m_UndoList.IsEmpty() && Settled(); }))
            << "Undo All did not run";
        EXPECT_EQ(boxes.Texts()[0], "This will undo all. Proceed?");
    }
    EXPECT_EQ(app->IsEdited(), 3u) << "a page is still marked edited";
    ASSERT_TRUE(XdoNow("key ctrl+Home"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, CGroupView::kFileColumn); }));
    ASSERT_TRUE(XdoNow("key --delay 30 shift+ctrl+End"));
    ASSERT_TRUE(RunUntil([&] { return view->IsCellInRangeList(3, nDesc, view->GetParam()->m_SelRects) != FALSE && Settled(); }));
    const std::string all = copied();
    // The columns: file, Title, Keywords (which these two pages lack) and Description.
    EXPECT_NE(all.find("/a.htm\t" + alpha + "\t\tFirst page\r\n"), std::string::npos) << all;
    EXPECT_NE(all.find("/c.htm\tGamma\t\t" + third), std::string::npos) << all;

    // Redone both, and saved: each page on disk holds its own edit and nothing else changed.
    ASSERT_TRUE(XdoNow("key --delay 60 ctrl+y ctrl+y"));
    ASSERT_TRUE(RunUntil([&] {
        return std::string(view->GetCellValue(nA, nTitle)) == "Edited one" &&
               std::string(view->GetCellValue(nC, nDesc)) == "Edited three" && Settled();
    })) << "Redo did not give both edits back";
    ASSERT_TRUE(XdoNow("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); })) << "Save Edited Files did not save";
    const auto file = [&](const std::string& name) {
        std::ifstream in(site + "/" + name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_NE(file("a.htm").find("<title>Edited one</title>"), std::string::npos) << file("a.htm");
    EXPECT_NE(file("a.htm").find("First page"), std::string::npos) << file("a.htm");
    EXPECT_NE(file("sub/c.htm").find("content=\"Edited three\""), std::string::npos) << file("sub/c.htm");
    EXPECT_NE(file("sub/c.htm").find("<title>Gamma</title>"), std::string::npos) << file("sub/c.htm");
}
