// Options > Project Settings as the user meets it on the X server: OK leaves the grid's columns
// as wide as the user dragged them. The undo history as it outlives the grid's reloads: a folder
// picked, the settings dialogs' OK, and Start Scan of a folder.
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/ClipboardText.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <fstream>
#include <iterator>

namespace {

class MainWindowSettingsX11Test : public MainWindowStepsX11Test {
protected:
    // The row's file clicked, the arrows to the cell, its text typed and stored.
    bool TypeInto(ROWCOL nRow, ROWCOL nCol, const std::string& text)
    {
        ClickAt(CellOnScreen(nRow, CGroupView::kFileColumn), 1, 1);
        std::string rights;
        for (ROWCOL c = CGroupView::kFileColumn; c < nCol; ++c)
            rights += " Right";
        return RunUntil([&] { return IsCurrent(nRow, CGroupView::kFileColumn) && ProgramHasFocus(); }) &&
               XdoNow("key --delay 30" + rights) && RunUntil([&] { return IsCurrent(nRow, nCol); }) &&
               XdoNow("type --delay 30 '" + text + "'") && XdoNow("key Return") &&
               RunUntil([&] { return std::string(view->GetCellValue(nRow, nCol)) == text && Settled(); });
    }
    // What Ctrl+C copies of the selection.
    std::string Copied()
    {
        const DWORD dwBefore = ::GetClipboardSequenceNumber();
        if (!XdoNow("key ctrl+c") || !RunUntil([&] { return ::GetClipboardSequenceNumber() != dwBefore; }))
            return "(nothing copied)";
        return clipboard_text::Get(nullptr);
    }
    // What Ctrl+C copies of the whole grid, chosen from its first cell to its last by keys
    // (the grid is clicked first when the keys go elsewhere, to the Project Area's tree).
    std::string CopiedGrid()
    {
        if (::GetFocus() != view->GetSafeHwnd() &&
            (!ClickAt(CellOnScreen(1, CGroupView::kFileColumn), 1, 1) ||
             !RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd() && ProgramHasFocus(); })))
            return "(the grid did not take the keys)";
        if (!XdoNow("key ctrl+Home") || !RunUntil([&] { return IsCurrent(1, CGroupView::kFileColumn); }) ||
            !XdoNow("key --delay 30 shift+ctrl+End") ||
            !RunUntil([&] {
                return view->IsCellInRangeList(view->GetRowCount(), view->GetColCount(), view->GetParam()->m_SelRects) != FALSE &&
                       Settled();
            }))
            return "(the grid was not selected)";
        return Copied();
    }
    // Options > Metatag Settings..., and OK in the dialog.
    ::testing::AssertionResult OkInMetatagSettings()
    {
        if (!XdoNow("key alt+o"))
            return ::testing::AssertionFailure() << "Alt+O did not reach the program";
        Choose("Metatag Settings...");
        When("the Metatag Settings dialog has the focus", [this] { return Matches(FocusedTitle(), "^Metatag Settings - "); },
             [this] { ClickAt(CentreOnScreen(::GetDlgItem(::GetActiveWindow(), IDOK)), 1, 1); });
        if (::testing::AssertionResult taken = StepsTaken(); !taken)
            return taken;
        if (!RunUntil([&] { return ProgramHasFocus() && Settled(); }))
            return ::testing::AssertionFailure() << "the dialog stayed";
        return ::testing::AssertionSuccess();
    }
    // The folder's pages are the rows shown.
    bool FolderShown(CPageNode* pNode, int nPages)
    {
        return app->GetSelectedNodes().GetCurrentFolder() == pNode && view->GetRowCount() == static_cast<ROWCOL>(nPages) &&
               Settled();
    }
    // A page of the site in UTF-8 with its title and description.
    void WritePage(const std::string& name, const std::string& title, const std::string& description)
    {
        std::ofstream(site + "/" + name) << "<html><head><meta charset=\"utf-8\"><title>" << title << "</title>\n"
                                         << "<meta name=\"DESCRIPTION\" content=\"" << description
                                         << "\">\n</head><body>x</body></html>\n";
    }
    // F5 scans the site's three pages again; the site's folder "sub" then, or null.
    CPageNode* ScanTheSite()
    {
        if (!XdoNow("key F5") ||
            !RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 3 && Settled(); }))
            return nullptr;
        return FolderNamed(app->GetPageNodes().GetHead(), "sub");
    }
    std::string PageFile(const std::string& name)
    {
        std::ifstream in(site + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

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
    WritePage("a.htm", alpha, "First page");
    WritePage("sub/c.htm", "Gamma", third);
    CPageNode* pSub = ScanTheSite();
    ASSERT_NE(pSub, nullptr) << "the pages were not scanned";
    CPageNode* pRoot = app->GetPageNodes().GetHead();
    const ROWCOL nTitle = ColumnOf("Title"), nDesc = ColumnOf("Description");
    ASSERT_EQ(std::string(view->GetCellValue(RowOf("a.htm"), nTitle)), alpha);

    ASSERT_TRUE(TypeInto(RowOf("a.htm"), nTitle, "Edited one")) << "the title was not typed";
    ASSERT_TRUE(ClickAt(OnItemLabel(pSub), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return FolderShown(pSub, 1); })) << "the folder's pages were not shown";
    ASSERT_TRUE(TypeInto(1, nDesc, "Edited three")) << "the description was not typed";
    ASSERT_TRUE(ClickAt(OnItemLabel(pRoot), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return FolderShown(pRoot, 3); })) << "all the pages were not shown";

    ASSERT_TRUE(XdoNow("key alt+o"));
    Choose("Project Settings...");
    Type("the Project Settings sheet", "^Project Settings$", "Return");
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ProgramHasFocus() && Settled(); })) << "the sheet stayed";
    ASSERT_TRUE(OkInMetatagSettings());
    EXPECT_EQ(app->IsEdited(), 2u);

    // Undo takes back the description, on the cell that shows it, and Redo gives it again.
    const ROWCOL nA = RowOf("a.htm"), nC = RowOf("c.htm");
    ASSERT_TRUE(XdoNow("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nC, nDesc) && Settled(); })) << "Undo did nothing";
    EXPECT_EQ(Copied(), third);
    ASSERT_TRUE(XdoNow("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return std::string(view->GetCellValue(nC, nDesc)) == "Edited three" && Settled(); }))
        << "Redo did nothing";
    EXPECT_EQ(Copied(), "Edited three");

    // Undo All asks, and takes back both edits: no page is left edited.
    {
        X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "o");
        ASSERT_TRUE(XdoNow("key --delay 30 alt+e a"));
        ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1 && view->GetParam()->m_UndoList.IsEmpty() && Settled(); }))
            << "Undo All did not run";
        EXPECT_EQ(boxes.Texts()[0], "This will undo all. Proceed?");
    }
    EXPECT_EQ(app->IsEdited(), 3u) << "a page is still marked edited";
    const std::string all = CopiedGrid();
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
    const auto file = [&](const std::string& name) { return PageFile(name); };
    EXPECT_NE(file("a.htm").find("<title>Edited one</title>"), std::string::npos) << file("a.htm");
    EXPECT_NE(file("a.htm").find("First page"), std::string::npos) << file("a.htm");
    EXPECT_NE(file("sub/c.htm").find("content=\"Edited three\""), std::string::npos) << file("sub/c.htm");
    EXPECT_NE(file("sub/c.htm").find("<title>Gamma</title>"), std::string::npos) << file("sub/c.htm");
}

// Start Scan of one folder drops the edits of that folder's pages only, as its question says:
// edits of the other pages stay in the undo history, so that Undo, Redo and Undo All take them
// back and give them again, and the save writes them; nothing of the dropped edits is written
// into the pages read again, not even by a step that also changed other pages.
TEST_F(MainWindowSettingsX11Test, AFolderScanKeepsTheOtherPagesEditsUndoable)
{
    const std::string typedA = "Édité ß", typedC = "Ωμέγα 中";
    X11KeyboardLetters letters(other, typedA + typedC);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSite(false);
    WritePage("a.htm", "Ålpha ß", "Πρώτη σελίδα");
    WritePage("b.htm", "Bêta 中文", "Zweite Straße");
    WritePage("sub/c.htm", "Γάμμα ç", "日本 三");
    CPageNode* pSub = ScanTheSite();
    ASSERT_NE(pSub, nullptr) << "the pages were not scanned";
    CPageNode* pRoot = app->GetPageNodes().GetHead();
    const ROWCOL nTitle = ColumnOf("Title"), nDesc = ColumnOf("Description");
    ASSERT_EQ(RowOf("a.htm"), 1u);
    ASSERT_EQ(RowOf("b.htm"), 2u);
    ASSERT_EQ(RowOf("c.htm"), 3u);

    // Three steps over all the pages: a's description typed, c's title typed, and a's
    // description filled down over b's and c's.
    ASSERT_TRUE(TypeInto(1, nDesc, typedA)) << "a's description was not typed";
    ASSERT_TRUE(TypeInto(3, nTitle, typedC)) << "c's title was not typed";
    ASSERT_TRUE(SelectCells(1, nDesc, 3, nDesc)) << "the description cells were not selected";
    ASSERT_TRUE(XdoNow("key ctrl+d"));
    ASSERT_TRUE(RunUntil([&] { return std::string(view->GetCellValue(3, nDesc)) == typedA && Settled(); }))
        << "Fill Down did nothing";
    const std::string edited = CopiedGrid();

    // The folder's page is changed on disk meanwhile, and the folder scanned again: the user
    // agrees to drop its edits.
    ASSERT_TRUE(ClickAt(OnItemLabel(pSub), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return FolderShown(pSub, 1); })) << "the folder's page was not shown";
    WritePage("sub/c.htm", "Neu 日本語", "Δεύτερο é");
    const std::string cOnDisk = PageFile("sub/c.htm");
    {
        X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "y");
        ASSERT_TRUE(XdoNow("key F5"));
        ASSERT_TRUE(RunUntil([&] {
            return boxes.Texts().size() == 1 && app->GetRunState() == 0 && Frame().GetFilesScanned() == 1 &&
                   std::string(view->GetCellValue(1, nTitle)) == "Neu 日本語" && Settled();
        })) << "the folder was not scanned again";
        EXPECT_EQ(boxes.Texts()[0],
                  "You have made changes to some of your metatags. This operation shall override those changes. Proceed?");
    }
    EXPECT_EQ(app->IsEdited(), 2u) << "a's and b's edits are no longer told";

    // Undo takes back the fill and then a's typing: the typing of c's title went with the scan,
    // and nothing else is left to undo.
    CGXGridParam& param = *view->GetParam();
    ASSERT_EQ(param.m_UndoList.GetCount(), 2) << "the undo history is not that of the pages left";
    ASSERT_TRUE(XdoNow("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return param.m_UndoList.GetCount() == 1 && Settled(); })) << "Undo did nothing";
    ASSERT_TRUE(XdoNow("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return param.m_UndoList.IsEmpty() && Settled(); })) << "the second Undo did nothing";
    // The steps were over a's and b's folder, which Undo brought into view; c, read again, is
    // looked at below.
    const std::string undone = CopiedGrid();
    EXPECT_NE(undone.find("a.htm\tÅlpha ß\t\tΠρώτη σελίδα"), std::string::npos) << undone;
    EXPECT_NE(undone.find("b.htm\tBêta 中文\t\tZweite Straße"), std::string::npos) << undone;
    ASSERT_TRUE(ClickAt(OnItemLabel(pRoot), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return FolderShown(pRoot, 3); })) << "all the pages were not shown";
    std::string all = CopiedGrid();
    // The columns: file, Title, Keywords (which the pages lack) and Description.
    EXPECT_NE(all.find("/a.htm\tÅlpha ß\t\tΠρώτη σελίδα\r\n"), std::string::npos) << all;
    EXPECT_NE(all.find("/b.htm\tBêta 中文\t\tZweite Straße\r\n"), std::string::npos) << all;
    EXPECT_NE(all.find("/c.htm\tNeu 日本語\t\tΔεύτερο é"), std::string::npos) << all;
    EXPECT_EQ(app->IsEdited(), 3u) << "a page is still marked edited";

    // Redo gives both steps back, to a and b only.
    ASSERT_TRUE(XdoNow("key --delay 60 ctrl+y ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return param.m_RedoList.IsEmpty() && Settled(); })) << "Redo did not give both steps back";
    all = CopiedGrid();
    EXPECT_NE(all.find("/a.htm\tÅlpha ß\t\t" + typedA + "\r\n"), std::string::npos) << all;
    EXPECT_NE(all.find("/b.htm\tBêta 中文\t\t" + typedA + "\r\n"), std::string::npos) << all;
    EXPECT_NE(all.find("/c.htm\tNeu 日本語\t\tΔεύτερο é"), std::string::npos) << all;
    EXPECT_NE(edited.find("/c.htm\t" + typedC + "\t\t" + typedA), std::string::npos) << "before the scan: " << edited;

    // Undo All asks and takes both back; redone, they are saved, and the page read again is
    // left as it was on disk.
    {
        X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "o");
        ASSERT_TRUE(XdoNow("key --delay 30 alt+e a"));
        ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1 && param.m_UndoList.IsEmpty() && Settled(); }))
            << "Undo All did not run";
        EXPECT_EQ(boxes.Texts()[0], "This will undo all. Proceed?");
    }
    EXPECT_EQ(app->IsEdited(), 3u) << "Undo All left a page edited";
    all = CopiedGrid();
    EXPECT_NE(all.find("/a.htm\tÅlpha ß\t\tΠρώτη σελίδα\r\n"), std::string::npos) << all;
    EXPECT_NE(all.find("/b.htm\tBêta 中文\t\tZweite Straße\r\n"), std::string::npos) << all;
    EXPECT_NE(all.find("/c.htm\tNeu 日本語\t\tΔεύτερο é"), std::string::npos) << all;
    ASSERT_TRUE(XdoNow("key --delay 60 ctrl+y ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return param.m_RedoList.IsEmpty() && app->IsEdited() == 2 && Settled(); }))
        << "Redo did not give both steps back";
    ASSERT_TRUE(XdoNow("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); })) << "Save Edited Files did not save";
    EXPECT_EQ(TagContent(PageFile("a.htm"), "DESCRIPTION"), typedA);
    EXPECT_EQ(TagContent(PageFile("b.htm"), "DESCRIPTION"), typedA);
    EXPECT_NE(PageFile("b.htm").find("<title>Bêta 中文</title>"), std::string::npos) << PageFile("b.htm");
    EXPECT_EQ(PageFile("sub/c.htm"), cOnDisk) << "the page read again was written";
}

// A project that shows the tags found in its pages, scanned whole and then one folder again:
// the columns of the other folder's tags and the column the user ticked stay, the catalogue keeps
// the tick, and the rows stay in the order the user sorted them into through Metatag Settings' OK.
TEST_F(MainWindowSettingsX11Test, AFolderScanKeepsTheOtherColumnsTheTicksAndTheSort)
{
    ASSERT_TRUE(Start());
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site + "/sub");
    WritePage("a.htm", "Ålpha ß", "Πρώτη σελίδα");
    WritePage("b.htm", "Bêta 中文", "Zweite Straße");
    std::ofstream(site + "/sub/c.htm") << "<html><head><meta charset=\"utf-8\"><title>Γάμμα ç</title>\n"
                                       << "<meta name=\"ROBOTS\" content=\"noindex\">\n</head><body>x</body></html>\n";
    // The user ticked Copyright, which no page holds yet, and saved the catalogue with the project.
    std::filesystem::create_directories(dir.Path() + "/config");
    CMetaSettingList* pList = nullptr;
    ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
    CMetaSetting* pCopyright = nullptr;
    ASSERT_EQ(pList->FindByName("Copyright", pCopyright), 0u);
    pCopyright->SetShow(1);
    ASSERT_EQ(pList->SaveToFile(CString(SettingsPath().c_str())), 0u);
    OpenSiteProject(1);
    ASSERT_FALSE(HasFatalFailure());
    CPageNode* pSub = ScanTheSite();
    ASSERT_NE(pSub, nullptr) << "the pages were not scanned";
    ASSERT_EQ(app->ActivateGroupView(view), 0u);
    ASSERT_TRUE(Quiet());
    CPageNode* pRoot = app->GetPageNodes().GetHead();
    EXPECT_NE(ColumnOf("Description"), 0u);
    EXPECT_NE(ColumnOf("Robots"), 0u);
    EXPECT_NE(ColumnOf("Copyright"), 0u) << "the scan took away the column the user ticked";

    // Sorted by title, Z over A, by the header and the toolbar; Metatag Settings' OK keeps it.
    ASSERT_TRUE(ClickAt(CellOnScreen(0, ColumnOf("Title")), 1, 1));
    ASSERT_TRUE(RunUntil([&] {
        CGXRange range;
        return view->GetSortRange(range) == 0 && range.left == ColumnOf("Title") && Settled();
    })) << "the header's click did not select the column";
    ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_GRID_TOOLBAR, ID_SORT_DESCENDING), 1, 1));
    // The titles' letters in their code's order, Z over A: Γ, Å, B.
    ASSERT_TRUE(RunUntil([&] { return RowOf("c.htm") == 1 && RowOf("b.htm") == 3 && Settled(); })) << "the sort did nothing: " << RowOf("c.htm") << RowOf("b.htm") << RowOf("a.htm");
    ASSERT_TRUE(OkInMetatagSettings());
    EXPECT_EQ(RowOf("c.htm"), 1u) << "OK lost the sort";
    EXPECT_EQ(RowOf("a.htm"), 2u);
    EXPECT_EQ(RowOf("b.htm"), 3u);

    // The folder "sub" alone scanned again, then the whole site shown.
    ASSERT_TRUE(ClickAt(OnItemLabel(pSub), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return FolderShown(pSub, 1); })) << "the folder's pages were not shown";
    ASSERT_TRUE(XdoNow("key F5"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 1 && Settled(); }))
        << "the folder was not scanned";
    ASSERT_TRUE(ClickAt(OnItemLabel(pRoot), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return FolderShown(pRoot, 3); })) << "all the pages were not shown";
    const ROWCOL nDesc = ColumnOf("Description"), nRobots = ColumnOf("Robots");
    ASSERT_NE(nDesc, 0u) << "the other folder's Description column went";
    ASSERT_NE(nRobots, 0u);
    EXPECT_NE(ColumnOf("Copyright"), 0u) << "the column the user ticked went";
    ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
    ASSERT_EQ(pList->FindByName("Copyright", pCopyright), 0u);
    EXPECT_TRUE(pCopyright->IsShown()) << "the catalogue lost the user's tick";
    const std::string all = CopiedGrid();
    for (const char* pszValue : {"Πρώτη σελίδα", "Zweite Straße", "noindex", "Γάμμα ç"})
        EXPECT_NE(all.find(pszValue), std::string::npos) << pszValue << " is not in the grid: " << all;
    // The first page's row holds its description in its column, and its "<meta charset>" in
    // the Content-Type column, as the copied grid shows it.
    std::string row = "/a.htm\tÅlpha ß";
    const ROWCOL nType = ColumnOf("Content-Type");
    for (ROWCOL nCol = ColumnOf("Title") + 1; nCol <= view->GetColCount(); ++nCol)
        row += nCol == nDesc ? "\tΠρώτη σελίδα" : nCol == nType ? "\ttext/html; charset=utf-8" : "\t";
    EXPECT_NE(all.find(row + "\r\n"), std::string::npos) << all;
}

// What the user made of the grid stays through everything that fills it again: the rows sorted
// by title from the keys, the Description column dragged before Keywords and the Title column
// widened by the mouse are kept when a folder is picked, when that folder is scanned again (its
// page's new Robots tag getting its column where the catalogue puts it, after Description),
// when all the pages are shown again and after OK in Metatag Settings.
TEST_F(MainWindowSettingsX11Test, TheSortTheColumnsOrderAndWidthsStayThroughFolderPicksScansAndSettings)
{
    ASSERT_TRUE(Start());
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site + "/sub");
    const auto page = [&](const std::string& name, const std::string& title, const std::string& description,
                          const std::string& keywords, const std::string& more) {
        std::ofstream(site + "/" + name) << "<html><head><meta charset=\"utf-8\"><title>" << title << "</title>\n"
                                         << "<meta name=\"DESCRIPTION\" content=\"" << description << "\">\n"
                                         << "<meta name=\"KEYWORDS\" content=\"" << keywords << "\">\n"
                                         << more << "</head><body>x</body></html>\n";
    };
    page("a.htm", "Delta 日本", "Πρώτη σελίδα", "rot, grün", "");
    page("b.htm", "Alpha Ωμέγα", "Zweite Straße", "blau", "");
    page("sub/c.htm", "Bravo é", "日本 三", "gelb", "");
    page("sub/d.htm", "Charlie ß", "Четвёртая", "weiß", "");
    SaveCatalogueShowing({"Description", "Keywords"});
    ASSERT_FALSE(HasFatalFailure());
    OpenSiteProject(1);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(XdoNow("key F5"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 4 && Settled(); }))
        << "the site was not scanned";
    ASSERT_EQ(app->ActivateGroupView(view), 0u);
    // The main window as wide as the screen, so that the grid shows all its columns: a drag
    // that ends near the grid's left edge would scroll it.
    Frame().SetWindowPos(nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) - 40, SWP_NOZORDER);
    ASSERT_TRUE(Quiet());
    CPageNode* pRoot = app->GetPageNodes().GetHead();
    CPageNode* pSub = FolderNamed(pRoot, "sub");
    ASSERT_NE(pSub, nullptr);
    // The catalogue's order: Keywords, then Description.
    ASSERT_LT(ColumnOf("Keywords"), ColumnOf("Description"));

    // Sorted by title, Z over A, from the keys: Ctrl+Space chooses the column, Alt+V, D sorts.
    ASSERT_TRUE(ClickAt(CellOnScreen(1, CGroupView::kFileColumn), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd() && ProgramHasFocus(); }));
    ASSERT_TRUE(GoToByKeys(1, ColumnOf("Title")));
    ASSERT_TRUE(XdoNow("key ctrl+space"));
    ASSERT_TRUE(RunUntil([&] {
        CGXRange range;
        return view->GetSortRange(range) == 0 && range.left == ColumnOf("Title") && Settled();
    })) << "Ctrl+Space did not choose the Title column";
    Type("the main window", "^Vostrel -", "alt+v");
    When("the View menu shows Sort Descending",
         [this] {
             RECT r{};
             return OpenMenuItem("Sort Descending", &r) != nullptr && ShowsNow();
         },
         [this] { XdoNow("key d"); });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return RowOf("a.htm") == 1 && RowOf("b.htm") == 4 && Settled(); })) << "the sort did nothing";

    // The Description column dragged by its header before Keywords (the keys bring both in sight).
    const ROWCOL nKeywords = ColumnOf("Keywords");
    ASSERT_TRUE(GoToByKeys(1, ColumnOf("Description")));
    // Each press of the mouse comes a double-click's time after the one before, as the user's
    // hand does: a press soon after a click near it would be a double-click.
    auto clicked = std::chrono::steady_clock::now();
    const auto pause = [&] {
        return RunUntil([&] {
            return std::chrono::steady_clock::now() - clicked > std::chrono::milliseconds(::GetDoubleClickTime() + 100);
        });
    };
    ASSERT_TRUE(RunUntil([&] { return Field() == "Πρώτη σελίδα"; })) << "the field shows '" << Field() << "'";
    ASSERT_TRUE(ClickAt(CellOnScreen(0, ColumnOf("Description")), 1, 1));
    clicked = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunUntil([&] {
        CGXRange range;
        return view->GetSortRange(range) == 0 && range.left == ColumnOf("Description") && Settled();
    })) << "the header's click did not choose the Description column";
    EXPECT_EQ(Field(), "") << "the field above the grid shows the header's name as a value";
    ASSERT_TRUE(pause());
    {
        const POINT from = CellOnScreen(0, ColumnOf("Description"));
        const CRect target = view->CalcCellRect(0, nKeywords);
        const POINT to = ScreenPoint(view->GetSafeHwnd(), target.left + 6, target.CenterPoint().y);
        ASSERT_TRUE(XdoNow("mousemove " + std::to_string(from.x) + " " + std::to_string(from.y) + " mousedown 1"));
        ASSERT_TRUE(RunUntil([&] { return view->m_dragSelect.nMode != 0; })) << "the press on the header starts no drag";
        ASSERT_TRUE(XdoNow("mousemove " + std::to_string(from.x - 10) + " " + std::to_string(from.y) + " mousemove " +
                           std::to_string(to.x) + " " + std::to_string(to.y)));
        // The marker line shows where the column will go; the button is let go there.
        ASSERT_TRUE(RunUntil([&] { return view->GetDragLineWnd(FALSE) != nullptr && Settled(); }))
            << "the drag shows no marker";
        // On the screen, a bar three pixels wide on the line before Keywords, from the header down.
        cairo_surface_t* shot = Shot("column-drag");
        const uint32_t nMarker = Rgb(view->GetParam()->GetProperties()->GetColor(GX_COLOR_DRAGGINGLINE));
        for (const ROWCOL nRow : {ROWCOL{0}, ROWCOL{3}}) {
            const int y = view->CalcCellRect(nRow, nKeywords).CenterPoint().y;
            EXPECT_EQ(PixelsOf(shot, CRect(target.left - 2, y, target.left + 2, y + 1), nMarker), 3) << "row " << nRow;
        }
        cairo_surface_destroy(shot);
        ASSERT_TRUE(XdoNow("mouseup 1"));
        clicked = std::chrono::steady_clock::now();
    }
    ASSERT_TRUE(RunUntil([&] { return ColumnOf("Description") == nKeywords && Settled(); }))
        << "the drag did not move the Description column";

    // The Title column widened by its header's right edge (the keys bring it in sight).
    const ROWCOL nTitle = ColumnOf("Title");
    ASSERT_TRUE(GoToByKeys(1, nTitle));
    ASSERT_TRUE(pause());
    const int nNarrow = view->GetColWidth(nTitle);
    {
        const CRect header = view->CalcCellRect(0, nTitle);
        const POINT edge = ScreenPoint(view->GetSafeHwnd(), header.right - 1, header.CenterPoint().y);
        ASSERT_TRUE(XdoNow("mousemove " + std::to_string(edge.x) + " " + std::to_string(edge.y) + " mousedown 1 mousemove " +
                           std::to_string(edge.x + 20) + " " + std::to_string(edge.y) + " mousemove " +
                           std::to_string(edge.x + 60) + " " + std::to_string(edge.y) + " mouseup 1"));
    }
    ASSERT_TRUE(RunUntil([&] { return view->GetColWidth(nTitle) > nNarrow + 40 && Settled(); })) << "the drag did not widen Title";
    const int nWide = view->GetColWidth(nTitle);
    const int nDescWidth = view->GetColWidth(ColumnOf("Description"));

    // The grid as the user left it: rows by title, Z over A; Description before Keywords.
    // Each page's "<meta charset>" shows in the Content-Type column, the last.
    const auto rowOf = [](const std::string& name, const std::string& rest) {
        return name + "\t" + rest + "\ttext/html; charset=utf-8\r\n";
    };
    const auto holds = [](const std::string& grid, const std::vector<std::string>& rows) {
        size_t at = 0;
        for (const std::string& row : rows) {
            at = grid.find(row, at);
            if (at == std::string::npos)
                return ::testing::AssertionFailure() << "no row \"" << row << "\" where it belongs in:\n" << grid;
            at += row.size();
        }
        return ::testing::AssertionSuccess();
    };
    const auto laidOut = [&](const char* pszWhen) {
        SCOPED_TRACE(pszWhen);
        EXPECT_EQ(view->GetColWidth(ColumnOf("Title")), nWide) << "the Title column lost its width";
        EXPECT_EQ(view->GetColWidth(ColumnOf("Description")), nDescWidth) << "the Description column lost its width";
        EXPECT_LT(ColumnOf("Description"), ColumnOf("Keywords")) << "the Description column went back";
    };
    ASSERT_TRUE(holds(CopiedGrid(), {rowOf("a.htm", "Delta 日本\tΠρώτη σελίδα\trot, grün"),
                                     rowOf("d.htm", "Charlie ß\tЧетвёртая\tweiß"), rowOf("c.htm", "Bravo é\t日本 三\tgelb"),
                                     rowOf("b.htm", "Alpha Ωμέγα\tZweite Straße\tblau")}));

    // The folder picked: its two pages, Z over A.
    ASSERT_TRUE(ClickAt(OnItemLabel(pSub), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return FolderShown(pSub, 2); })) << "the folder's pages were not shown";
    laidOut("the folder picked");
    EXPECT_TRUE(holds(CopiedGrid(), {rowOf("d.htm", "Charlie ß\tЧетвёртая\tweiß"), rowOf("c.htm", "Bravo é\t日本 三\tgelb")}));

    // The folder scanned again: its page c now holds a Robots tag, whose column comes after
    // Description's, as in the catalogue.
    page("sub/c.htm", "Bravo é", "日本 三", "gelb", "<meta name=\"ROBOTS\" content=\"noindex\">\n");
    ASSERT_TRUE(XdoNow("key F5"));
    ASSERT_TRUE(RunUntil([&] {
        return app->GetRunState() == 0 && Frame().GetFilesScanned() == 2 && ColumnOf("Robots") != 0 && Settled();
    })) << "the folder was not scanned";
    laidOut("the folder scanned");
    EXPECT_EQ(ColumnOf("Robots"), ColumnOf("Description") + 1) << "the new column is not where the catalogue puts it";
    EXPECT_TRUE(holds(CopiedGrid(), {rowOf("d.htm", "Charlie ß\tЧетвёртая\t\tweiß"), rowOf("c.htm", "Bravo é\t日本 三\tnoindex\tgelb")}));

    // All the pages again, then OK in Metatag Settings.
    ASSERT_TRUE(ClickAt(OnItemLabel(pRoot), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return FolderShown(pRoot, 4); })) << "all the pages were not shown";
    const std::vector<std::string> all = {rowOf("a.htm", "Delta 日本\tΠρώτη σελίδα\t\trot, grün"),
                                          rowOf("d.htm", "Charlie ß\tЧетвёртая\t\tweiß"),
                                          rowOf("c.htm", "Bravo é\t日本 三\tnoindex\tgelb"),
                                          rowOf("b.htm", "Alpha Ωμέγα\tZweite Straße\t\tblau")};
    laidOut("all the pages shown");
    EXPECT_EQ(ColumnOf("Robots"), ColumnOf("Description") + 1);
    EXPECT_TRUE(holds(CopiedGrid(), all));
    ASSERT_TRUE(OkInMetatagSettings());
    laidOut("Metatag Settings' OK");
    EXPECT_TRUE(holds(CopiedGrid(), all));

    // And the screen shows the Title column at its width: the grid's line after it runs down
    // its rows where the widened column ends (the keys bring it back in sight).
    ASSERT_TRUE(GoToByKeys(1, ColumnOf("Title")));
    ASSERT_TRUE(Quiet());
    cairo_surface_t* shot = Shot("layout-kept");
    ASSERT_NE(shot, nullptr);
    const ROWCOL nTitleNow = ColumnOf("Title");
    const CRect first = view->CalcCellRect(1, nTitleNow);
    const CRect last = view->CalcCellRect(view->GetRowCount(), nTitleNow);
    const uint32_t line = GridPixel(shot, first.CenterPoint().x, first.bottom);
    int nOnLine = 0;
    for (int y = first.top; y < last.bottom; ++y)
        nOnLine += GridPixel(shot, first.right, y) == line;
    EXPECT_EQ(nOnLine, last.bottom - first.top) << "no line after the Title column at its widened width";
    EXPECT_EQ(first.Width(), nWide) << "on the screen the Title column is " << first.Width() << " wide";
    cairo_surface_destroy(shot);
}
