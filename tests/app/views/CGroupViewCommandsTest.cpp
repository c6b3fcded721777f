// The project grid's commands on a generated site: Fill Down and Undo All with the pages'
// marks, zoom steps, sorting, the single-cell paste and the stale clipboard, the frame's edit
// field, the pop-up menus and the programs that show a page.
#include "tests/app/GroupViewFixture.h"

#include "app/launch/CEditorLauncher.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/controls/CommonDialog.h"
#include "tests/support/ClipboardText.h"
#include "tests/support/CommonDialogAutomation.h"
#include "tests/support/MenuDriver.h"
#include "tests/support/PdfRaster.h"

#include <cctype>
#include <chrono>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <cstring>

namespace {

// Selects the ranges, the current cell at the first one's top-left.
void SelectCells(CGroupView& view, std::initializer_list<CGXRange> ranges)
{
    view.ClearSelection(FALSE);
    const CGXRange& first = *ranges.begin();
    view.SetCurrentCell(first.IsCols() ? 1 : first.top, first.left);
    for (const CGXRange& range : ranges)
        view.SelectRange(range, TRUE, FALSE);
}

// Whether the view enables the command now.
bool CommandEnabled(CGroupView& view, UINT nID)
{
    CTestCmdUI ui;
    ui.m_nID = nID;
    ui.DoUpdate(&view, TRUE);
    return ui.m_bEnabled;
}

void PutTextOnClipboard(const std::string& text)
{
    ASSERT_TRUE(clipboard_text::Put(nullptr, text));
}

} // namespace

TEST_F(GroupViewTest, FillDownWritesTheFirstPagesValueAndUndoAllGivesEveryPageItsOldMarks)
{
    OpenSite(true);
    const ROWCOL nA = RowOf("a.htm"), nB = RowOf("b.htm");
    const ROWCOL nDescription = ColumnOf("Description"), nAuthor = ColumnOf("Author");
    ASSERT_LT(nA, nB);

    // A first page without the tag has nothing to give: nothing is written.
    SelectCells(*view, {CGXRange(nA, nAuthor, nB, nAuthor)});
    EXPECT_TRUE(CommandEnabled(*view, ID_FILL_DOWN));
    view->SendMessage(WM_COMMAND, ID_FILL_DOWN);
    EXPECT_EQ(ContentOf("a.htm", "Author"), nullptr);
    EXPECT_EQ(ContentOf("b.htm", "Author"), nullptr);
    EXPECT_EQ(app->IsEdited(), 3u);

    // The whole column: a's description goes to b, which is marked; a is unchanged.
    SelectCells(*view, {CGXRange().SetCols(nDescription, nDescription)});
    view->SendMessage(WM_COMMAND, ID_FILL_DOWN);
    ASSERT_NE(ContentOf("b.htm", "Description"), nullptr);
    EXPECT_EQ(std::string(ContentOf("b.htm", "Description")->GetContent()), "The first page");
    EXPECT_EQ(ContentOf("b.htm", "Description")->GetModified(), 1u);
    EXPECT_EQ(Composed(nB, CGroupView::kFileColumn).GetControl(), IDS_DIRTY_CELL);
    EXPECT_TRUE(Frame().IsCommandEnabled(ID_SAVE_EDITED_FILES));

    // A typed value in a page that had the tag, then Undo All asks and takes everything back:
    // values, marks and the tag the fill made.
    ASSERT_EQ(view->SetCellValue(nA, nDescription, "Changed"), 0u);
    SeenMessageBox seen;
    AnswerBox(*backend, IDOK, &seen);
    view->SendMessage(WM_COMMAND, ID_UNDO_ALL);
    EXPECT_TRUE(seen.seen);
    EXPECT_EQ(seen.text, "This will undo all. Proceed?");
    EXPECT_EQ(ContentOf("b.htm", "Description"), nullptr) << "the tag the fill made goes again";
    ASSERT_NE(ContentOf("a.htm", "Description"), nullptr);
    EXPECT_EQ(std::string(ContentOf("a.htm", "Description")->GetContent()), "The first page");
    EXPECT_EQ(ContentOf("a.htm", "Description")->GetModified(), 0u);
    EXPECT_EQ(Composed(nA, CGroupView::kFileColumn).GetControl(), IDS_SCANNED_CELL);
    EXPECT_EQ(app->IsEdited(), 3u);
    EXPECT_FALSE(Frame().IsCommandEnabled(ID_SAVE_EDITED_FILES));

    // Nothing left to undo: the command is off and asks nothing.
    EXPECT_FALSE(CommandEnabled(*view, ID_UNDO_ALL));
    SeenMessageBox none;
    AnswerBox(*backend, IDOK, &none);
    view->SendMessage(WM_COMMAND, ID_UNDO_ALL);
    backend->ProcessMessages();
    EXPECT_FALSE(none.seen);
}

TEST_F(GroupViewTest, FillDownOverSeveralRangesAndInColumnTwoWithoutTitles)
{
    extraPages = {"c.htm", "d.htm"};
    OpenSite(true, 0);
    const ROWCOL nA = RowOf("a.htm");
    ASSERT_EQ(nA, 1u);
    // Column 2 is the first META column here: its fill writes META contents, never titles.
    const CString strHeader = view->GetCellValue(0, 2);
    ASSERT_EQ(view->SetCellValue(nA, 2, "v"), 0u);
    SelectCells(*view, {CGXRange(1, 2, 1, 2), CGXRange(3, 2, 4, 2)});
    view->SendMessage(WM_COMMAND, ID_FILL_DOWN);
    for (ROWCOL nRow : {3u, 4u}) {
        CPageNode* pPage = nullptr;
        ASSERT_EQ(view->GetRowPage(nRow, pPage), 0u);
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        ASSERT_EQ(pPage->GetContentList(pList), 0u);
        ASSERT_EQ(pList->FindByName(strHeader, pContent), 0u) << nRow;
        EXPECT_EQ(std::string(pContent->GetContent()), "v");
        EXPECT_EQ(pPage->GetTitleModified(), 0u);
    }
    CPageNode* pSkipped = nullptr;
    ASSERT_EQ(view->GetRowPage(2, pSkipped), 0u);
    EXPECT_EQ(pSkipped->GetEditState(), 3u) << "the row between the ranges is not touched";

    // A selection over two columns, the file column, or any time during a scan: no fill.
    SelectCells(*view, {CGXRange(1, 2, 2, 3)});
    EXPECT_FALSE(CommandEnabled(*view, ID_FILL_DOWN));
    SelectCells(*view, {CGXRange(1, CGroupView::kFileColumn, 2, CGroupView::kFileColumn)});
    EXPECT_FALSE(CommandEnabled(*view, ID_FILL_DOWN));
    SelectCells(*view, {CGXRange(1, 2, 2, 2)});
    EXPECT_TRUE(CommandEnabled(*view, ID_FILL_DOWN));
    app->SetRunState(1);
    EXPECT_FALSE(CommandEnabled(*view, ID_FILL_DOWN));
    app->SetRunState(0);
}

TEST_F(GroupViewTest, ZoomStepsAndTheirLimits)
{
    OpenSite(false);
    std::vector<int> in;
    for (int i = 0; i < 20; ++i) {
        view->SendMessage(WM_COMMAND, ID_ZOOM_IN);
        in.push_back(view->GetZoom());
    }
    EXPECT_EQ(std::vector<int>(in.begin(), in.begin() + 4), (std::vector<int>{110, 121, 133, 146}));
    EXPECT_GE(in.back(), 300);
    EXPECT_EQ(in.back(), in[in.size() - 2]) << "no step once the zoom is 300 or more";
    view->SendMessage(WM_COMMAND, ID_ZOOM_100);
    EXPECT_EQ(view->GetZoom(), 100);
    std::vector<int> out;
    for (int i = 0; i < 20; ++i) {
        view->SendMessage(WM_COMMAND, ID_ZOOM_OUT);
        out.push_back(view->GetZoom());
    }
    EXPECT_EQ(std::vector<int>(out.begin(), out.begin() + 3), (std::vector<int>{90, 81, 73}));
    EXPECT_LE(out.back(), 40);
    EXPECT_EQ(CGridViewWrapper::NextZoomIn(299), 328);
    EXPECT_EQ(CGridViewWrapper::NextZoomIn(328), 328);
    EXPECT_EQ(CGridViewWrapper::NextZoomOut(41), 37);
    EXPECT_EQ(CGridViewWrapper::NextZoomOut(37), 37);
}

TEST_F(GroupViewTest, SortingNeedsOneWholeColumnAndRowsKeepTheirPages)
{
    extraPages = {"c.htm"};
    OpenSite(true);
    const ROWCOL nDescription = ColumnOf("Description");
    ASSERT_EQ(view->SetCellValue(RowOf("c.htm"), nDescription, "Zulu"), 0u);
    SelectCells(*view, {CGXRange(1, nDescription, 1, nDescription)});
    CGXRange range;
    EXPECT_EQ(view->GetSortRange(range), 1u) << "one cell is no sort column";
    EXPECT_FALSE(CommandEnabled(*view, ID_SORT_ASCENDING));

    SelectCells(*view, {CGXRange().SetCols(nDescription, nDescription)});
    ASSERT_EQ(view->GetSortRange(range), 0u);
    EXPECT_TRUE(CommandEnabled(*view, ID_SORT_DESCENDING));
    view->SendMessage(WM_COMMAND, ID_SORT_DESCENDING);
    std::vector<std::string> values, pages;
    for (ROWCOL nRow = 1; nRow <= view->GetRowCount(); ++nRow) {
        values.push_back(static_cast<LPCTSTR>(view->GetCellValue(nRow, nDescription)));
        CPageNode* pPage = nullptr;
        ASSERT_EQ(view->GetRowPage(nRow, pPage), 0u);
        pages.push_back(static_cast<LPCTSTR>(pPage->GetName()));
    }
    EXPECT_EQ(values, (std::vector<std::string>{"Zulu", "The first page", ""}));
    EXPECT_EQ(pages, (std::vector<std::string>{"c.htm", "a.htm", "b.htm"}));
    EXPECT_EQ(std::string(view->GetCellValue(1, CGroupView::kFileColumn)), site + "/c.htm");
}

// Steps taken before the grid was loaded with other rows undo and redo in their own pages: an
// edit made before a sort, undone after the sort was undone, lands in the page it was made in.
TEST_F(GroupViewTest, UndoAfterTheRowsWereLoadedAgainFollowsTheEditsPagesThroughASort)
{
    extraPages = {"c.htm"};
    OpenSite(true);
    const ROWCOL nDescription = ColumnOf("Description");
    ASSERT_EQ(view->SetCellValue(RowOf("c.htm"), nDescription, "Zulu"), 0u);
    SelectCells(*view, {CGXRange().SetCols(nDescription, nDescription)});
    view->SendMessage(WM_COMMAND, ID_SORT_DESCENDING);
    ASSERT_EQ(RowOf("c.htm"), 1u) << "the sort put the edited page first";
    ASSERT_EQ(view->SetCellValue(RowOf("b.htm"), nDescription, "Yankee"), 0u);

    // Other rows: the pages of the folder alone, then all of them again, sorted as the user
    // sorted them.
    CSelNodesCol folder;
    folder.AddTail(PageOf("b.htm"));
    view->LoadPages(folder);
    ASSERT_EQ(view->GetRowCount(), 1u);
    view->LoadPages(app->GetSelectedNodes());
    ASSERT_EQ(RowOf("c.htm"), 1u) << "the rows were loaded again without the user's sort";

    ASSERT_TRUE(view->Undo());
    EXPECT_EQ(ContentOf("b.htm", "Description"), nullptr) << "the tag the edit made goes with it";
    ASSERT_TRUE(view->Undo());
    ASSERT_NE(ContentOf("c.htm", "Description"), nullptr);
    EXPECT_STREQ(ContentOf("c.htm", "Description")->GetContent(), "Zulu") << "undoing the sort changes no page";
    ASSERT_TRUE(view->Undo());
    EXPECT_EQ(ContentOf("c.htm", "Description"), nullptr);
    EXPECT_STREQ(ContentOf("a.htm", "Description")->GetContent(), "The first page");
    EXPECT_EQ(app->IsEdited(), 3u);
    EXPECT_FALSE(view->Undo()) << "nothing is left to undo";

    ASSERT_TRUE(view->Redo());
    ASSERT_TRUE(view->Redo());
    ASSERT_TRUE(view->Redo());
    ASSERT_NE(ContentOf("c.htm", "Description"), nullptr);
    EXPECT_STREQ(ContentOf("c.htm", "Description")->GetContent(), "Zulu");
    ASSERT_NE(ContentOf("b.htm", "Description"), nullptr);
    EXPECT_STREQ(ContentOf("b.htm", "Description")->GetContent(), "Yankee");
    EXPECT_STREQ(ContentOf("a.htm", "Description")->GetContent(), "The first page");
    EXPECT_EQ(std::string(view->GetCellValue(RowOf("b.htm"), nDescription)), "Yankee");
    EXPECT_EQ(app->IsEdited(), 2u);
}

// A scan of one page drops its edits from the undo history but keeps a sort of all the rows,
// which moved the other pages: the steps before it still find their own pages.
TEST_F(GroupViewTest, AScanKeepsTheSortThatMovedThePagesLeft)
{
    extraPages = {"c.htm"};
    OpenSite(true);
    const ROWCOL nDescription = ColumnOf("Description");
    CPageNode* pA = PageOf("a.htm");
    CPageNode* pB = PageOf("b.htm");
    ASSERT_EQ(RowOf("a.htm"), 1u);
    const auto description = [](CPageNode* pPage) {
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        if (pPage->GetContentList(pList) != 0 || pList->FindByName("Description", pContent) != 0)
            return std::string("(none)");
        return std::string(pContent->GetContent());
    };
    ASSERT_EQ(view->SetCellValue(RowOf("a.htm"), nDescription, "Ärger"), 0u);
    ASSERT_EQ(view->SetCellValue(RowOf("b.htm"), nDescription, "Ωmega"), 0u);
    SelectCells(*view, {CGXRange().SetCols(nDescription, nDescription)});
    view->SendMessage(WM_COMMAND, ID_SORT_DESCENDING);
    ASSERT_EQ(RowOf("b.htm"), 1u);
    ASSERT_EQ(RowOf("a.htm"), 2u) << "the sort moved a";

    // Only b is scanned again, its edit dropped.
    CSelNodesCol& selection = app->GetSelectedNodes();
    selection.RemoveAll();
    selection.AddTail(pB);
    SeenMessageBox asked;
    AnswerBox(*backend, IDYES, &asked);
    Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
    ASSERT_TRUE(PumpUntil(*backend, [&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 1; }));
    EXPECT_TRUE(asked.seen);
    ASSERT_EQ(description(pB), "(none)");

    // The sort is undone in the rows of its time, then a's edit in a.
    EXPECT_TRUE(view->Undo());
    EXPECT_TRUE(view->Undo());
    EXPECT_EQ(description(pA), "The first page") << "a's edit was undone in another row";
    EXPECT_EQ(description(pB), "(none)") << "an undo wrote into the page read again";
    EXPECT_FALSE(view->Undo()) << "b's edit went with the scan";
    EXPECT_EQ(app->IsEdited(), 3u);
    ASSERT_TRUE(view->Redo());
    ASSERT_TRUE(view->Redo());
    EXPECT_EQ(description(pA), "Ärger");
    EXPECT_EQ(description(pB), "(none)");
}

// A title typed while the grid showed titles is undone into the title after the Title column
// went, not into a tag of that name.
TEST_F(GroupViewTest, UndoAfterTheTitleColumnWentGivesThePageItsTitleBack)
{
    OpenSite(true, 1);
    const ROWCOL nTitle = ColumnOf("Title");
    ASSERT_EQ(nTitle, CGroupView::kTitleColumn);
    ASSERT_EQ(view->SetCellValue(RowOf("a.htm"), nTitle, "Retitled"), 0u);
    CProjectSettings* pSettings = nullptr;
    ASSERT_EQ(app->GetProjectSettings(pSettings), 0u);
    pSettings->m_bShowTitle = 0;
    view->LoadPages(app->GetSelectedNodes());
    ASSERT_EQ(ColumnOf("Title"), 0u);
    ASSERT_TRUE(view->Undo());
    EXPECT_STREQ(PageOf("a.htm")->GetTitle(), "Alpha");
    EXPECT_EQ(PageOf("a.htm")->GetTitleModified(), 0u);
    EXPECT_EQ(ContentOf("a.htm", "Title"), nullptr) << "no tag is made of the title";
    EXPECT_EQ(app->IsEdited(), 3u);
}

TEST_F(GroupViewTest, ASingleCopiedCellPastesIntoEveryRangeUntilTheClipboardChanges)
{
    extraPages = {"c.htm", "d.htm"};
    OpenSite(true);
    const ROWCOL nDescription = ColumnOf("Description"), nAuthor = ColumnOf("Author");
    SelectCells(*view, {CGXRange(RowOf("a.htm"), nDescription, RowOf("a.htm"), nDescription)});
    ASSERT_TRUE(view->Copy());
    SelectCells(*view, {CGXRange(RowOf("b.htm"), nAuthor, RowOf("b.htm"), nAuthor), CGXRange(RowOf("c.htm"), nDescription, RowOf("c.htm"), nDescription),
                   CGXRange(RowOf("d.htm"), nAuthor, RowOf("d.htm"), nDescription)});
    ASSERT_TRUE(view->Paste());
    for (auto [page, tag] : {std::pair{"b.htm", "Author"}, {"c.htm", "Description"}, {"d.htm", "Author"}, {"d.htm", "Description"}}) {
        CMetaContent* pContent = ContentOf(page, tag);
        ASSERT_NE(pContent, nullptr) << page << " " << tag;
        EXPECT_EQ(std::string(pContent->GetContent()), "The first page");
        EXPECT_EQ(pContent->GetModified(), 1u) << "a paste is an edit Save must write";
    }

    // Another program's text now: the grid pastes that, one value into every chosen cell too.
    PutTextOnClipboard("From elsewhere");
    const ROWCOL nKeywords = ColumnOf("Keywords");
    SelectCells(*view, {CGXRange(std::min(RowOf("c.htm"), RowOf("d.htm")), nKeywords, std::max(RowOf("c.htm"), RowOf("d.htm")), nKeywords)});
    ASSERT_TRUE(view->Paste());
    for (const char* page : {"c.htm", "d.htm"}) {
        ASSERT_NE(ContentOf(page, "Keywords"), nullptr) << page;
        EXPECT_EQ(std::string(ContentOf(page, "Keywords")->GetContent()), "From elsewhere") << page;
        EXPECT_EQ(ContentOf(page, "Keywords")->GetModified(), 1u) << page;
    }
}

TEST_F(GroupViewTest, TheFramesEditFieldCommitsToTheCellWhereItWasTyped)
{
    OpenSite(true);
    CGroupFrame* pFrame = dynamic_cast<CGroupFrame*>(view->GetParentFrame());
    ASSERT_NE(pFrame, nullptr);
    CShortcutEditCtrl& edit = pFrame->GetEditField();
    const ROWCOL nA = RowOf("a.htm"), nB = RowOf("b.htm");
    const ROWCOL nDescription = ColumnOf("Description"), nAuthor = ColumnOf("Author");

    // Moving shows the new cell's value in the field.
    ASSERT_TRUE(view->SetCurrentCell(nA, nDescription));
    CString strShown;
    edit.GetWindowText(strShown);
    EXPECT_EQ(std::string(strShown), "The first page");

    // "abc" and Enter: stored and marked.
    ASSERT_TRUE(view->SetCurrentCell(nB, nAuthor));
    edit.SetFocus();
    for (char c : std::string("abc"))
        edit.SendMessage(WM_CHAR, static_cast<WPARAM>(c), 1);
    EXPECT_EQ(std::string(view->GetCellValue(nB, nAuthor)), "abc") << "the cell shows what is typed";
    EXPECT_EQ(ContentOf("b.htm", "Author"), nullptr) << "the page gets it on commit";
    edit.SendMessage(WM_CHAR, 13, 1);
    ASSERT_NE(ContentOf("b.htm", "Author"), nullptr);
    EXPECT_EQ(std::string(ContentOf("b.htm", "Author")->GetContent()), "abc");
    EXPECT_EQ(ContentOf("b.htm", "Author")->GetModified(), 1u);

    // Typing, then moving elsewhere: the text goes to the cell where it was typed.
    ASSERT_TRUE(view->SetCurrentCell(nA, nAuthor));
    edit.SetWindowText("");
    for (char c : std::string("xy"))
        edit.SendMessage(WM_CHAR, static_cast<WPARAM>(c), 1);
    ASSERT_TRUE(view->SetCurrentCell(nB, nDescription));
    ASSERT_NE(ContentOf("a.htm", "Author"), nullptr);
    EXPECT_EQ(std::string(ContentOf("a.htm", "Author")->GetContent()), "xy");
    EXPECT_EQ(ContentOf("b.htm", "Description"), nullptr);

    // During a scan typing changes nothing.
    app->SetRunState(1);
    edit.SendMessage(WM_CHAR, 'q', 1);
    app->SetRunState(0);
    EXPECT_EQ(ContentOf("b.htm", "Description"), nullptr);
    EXPECT_EQ(std::string(view->GetCellValue(nB, nDescription)), "");

    // Typed but not committed: closing the project still asks about the edits.
    edit.SetWindowText("");
    for (char c : std::string("pending"))
        edit.SendMessage(WM_CHAR, static_cast<WPARAM>(c), 1);
    SeenMessageBox seen;
    AnswerBox(*backend, IDCANCEL, &seen);
    EXPECT_EQ(Frame().CloseProject(), 0u);
    EXPECT_TRUE(seen.seen);
    ASSERT_NE(ContentOf("b.htm", "Description"), nullptr);
    EXPECT_EQ(std::string(ContentOf("b.htm", "Description")->GetContent()), "pending");
}

TEST_F(GroupViewTest, MenusByRightClickAndThePagesReachTheirProgramsAsOneArgument)
{
    const std::string odd = "odd name; 'q\".htm";
    extraPages = {odd};
    OpenSite(true);
    std::vector<std::vector<std::string>> editorRuns, browserRuns;
    view->GetEditorLauncher().SetStarter([&](const std::vector<std::string>& argv, CUrlLauncher::Finished finished) {
        editorRuns.push_back(argv);
        finished(CUrlLauncher::Outcome{});
    });
    Frame().GetUrlLauncher().SetRunner([&](const std::vector<std::string>& argv, CUrlLauncher::Finished finished) {
        browserRuns.push_back(argv);
        finished(CUrlLauncher::Outcome{});
    });
    const ROWCOL nOdd = RowOf(odd.c_str());
    ASSERT_NE(nOdd, 0u);
    const std::string path = site + "/" + odd;

    // One file cell: menu 185.
    SelectCells(*view, {CGXRange(nOdd, CGroupView::kFileColumn, nOdd, CGroupView::kFileColumn)});
    MenuDriver menus(*backend);
    menus.ChooseWhenOpen({"View HTML Source"});
    const CRect cell = view->CalcCellRect(nOdd, CGroupView::kFileColumn);
    view->OnRButtonClickedRowCol(nOdd, CGroupView::kFileColumn, nOdd, CGroupView::kFileColumn, 0, cell.CenterPoint(), GX_HITEND);
    backend->ProcessMessages();
    EXPECT_EQ(menus.Failure(), "");
    ASSERT_EQ(editorRuns.size(), 1u);
    EXPECT_EQ(editorRuns[0].back(), path) << "the path is one argument, whatever it holds";

    menus.ChooseWhenOpen({"View Web Page"});
    view->OnRButtonClickedRowCol(nOdd, CGroupView::kFileColumn, nOdd, CGroupView::kFileColumn, 0, cell.CenterPoint(), GX_HITEND);
    backend->ProcessMessages();
    EXPECT_EQ(menus.Failure(), "");
    ASSERT_EQ(browserRuns.size(), 1u);
    EXPECT_EQ(browserRuns[0], (std::vector<std::string>{"xdg-open", path}));

    // A double-click on a file cell opens the page too.
    EXPECT_TRUE(view->HandleCellDblClick(nOdd, CGroupView::kFileColumn, 0));
    EXPECT_EQ(browserRuns.size(), 2u);

    // Several cells of the keywords column: the group actions menu.
    const ROWCOL nKeywords = ColumnOf("Keywords");
    SelectCells(*view, {CGXRange(1, nKeywords, 2, nKeywords)});
    bool sawGroupMenu = false;
    backend->WhenIdle([&] {
        std::vector<HWND> open = MenuDriver::OpenMenus();
        if (!open.empty())
            sawGroupMenu = MenuDriver::FindItem(MenuDriver::MenuOf(open.front()), "Group Actions...") >= 0;
        EndMenu();
    });
    view->OnRButtonClickedRowCol(1, nKeywords, 1, nKeywords, 0, view->CalcCellRect(1, nKeywords).CenterPoint(), GX_HITEND);
    backend->ProcessMessages();
    EXPECT_TRUE(sawGroupMenu);
}

TEST(EditorLauncherTest, TheVisualEditorGetsATerminalAndThePathStaysWhole)
{
    ScopedTempDir bin;
    for (const char* program : {"x-terminal-emulator", "kate"}) {
        bin.WriteFile(program, "#!/bin/sh\nexit 0\n");
        ::chmod(bin.File(program).c_str(), 0755);
    }
    ScopedEnv path("PATH", bin.Path().c_str());
    // A terminal editor shows in a terminal window; one with a window of its own runs as it is.
    {
        ScopedEnv visual("VISUAL", "vim  -R");
        EXPECT_EQ(CEditorLauncher::CommandFor("/s/a b;'c\".htm"),
                  (std::vector<std::string>{"x-terminal-emulator", "-e", "vim", "-R", "/s/a b;'c\".htm"}));
    }
    {
        ScopedEnv visual("VISUAL", "/usr/bin/gedit --new-window");
        EXPECT_EQ(CEditorLauncher::CommandFor("/s/x.htm"), (std::vector<std::string>{"/usr/bin/gedit", "--new-window", "/s/x.htm"}));
    }
    ScopedEnv none("VISUAL", "");
    EXPECT_EQ(CEditorLauncher::CommandFor("/s/x.htm"), (std::vector<std::string>{"kate", "/s/x.htm"}));
    // Without a terminal, $VISUAL is passed over for an editor with a window.
    ::unlink(bin.File("x-terminal-emulator").c_str());
    {
        ScopedEnv visual("VISUAL", "nano");
        EXPECT_EQ(CEditorLauncher::CommandFor("/s/x.htm"), (std::vector<std::string>{"kate", "/s/x.htm"}));
    }
    ScopedEnv nowhere("PATH", "/nonexistent");
    EXPECT_EQ(CEditorLauncher::CommandFor("/s/x.htm"), (std::vector<std::string>{"xdg-open", "/s/x.htm"}));
}

// Each failure names what failed: the missing editor, not the page.
TEST(EditorLauncherTest, FailuresNameTheEditorThatFailed)
{
    using Outcome = CUrlLauncher::Outcome;
    const std::string page = "/site/index.html";
    const std::string none = CEditorLauncher::FailureText({"xdg-open", page}, page, Outcome{ENOENT, 0}).GetString();
    EXPECT_EQ(none.rfind("No text editor was found to show '/site/index.html'.", 0), 0u) << none;
    EXPECT_NE(none.find("VISUAL"), std::string::npos) << none;
    EXPECT_EQ(CEditorLauncher::FailureText({"xdg-open", page}, page, Outcome{0, 3}).GetString(), none);
    EXPECT_STREQ(CEditorLauncher::FailureText({"kate", page}, page, Outcome{ENOENT, 0}),
                 "The text editor 'kate' could not be started to show '/site/index.html':\n\nit is not installed.");
    EXPECT_STREQ(CEditorLauncher::FailureText({"x-terminal-emulator", "-e", "vim", page}, page, Outcome{0, 1}),
                 "The text editor 'vim' ended with status 1 while showing '/site/index.html'.");
    EXPECT_STREQ(CEditorLauncher::FailureText({"kate", page}, page, Outcome{0, 0}), "");

    // The real starter: a program that cannot start is told once, on the waiting side.
    std::promise<CString> told;
    CEditorLauncher launcher;
    ScopedEnv visual("VISUAL", "");
    ScopedEnv path("PATH", "/nonexistent");
    launcher.Open("/s/x.htm", [&](const CString& strText) { told.set_value(strText); });
    auto future = told.get_future();
    ASSERT_EQ(future.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_EQ(std::string(future.get()).rfind("No text editor was found", 0), 0u);
}

TEST_F(GroupViewTest, TypedFilledDownAndSavedTheEditsReachThePagesWithBackups)
{
    OpenSite(true);
    const std::string a = site + "/a.htm", b = site + "/sub/b.htm";
    const std::string originalA = ReadFile(a), text = ReadFile(site + "/c.txt");
    const ROWCOL nDescription = ColumnOf("Description");

    // Typed into a's cell, then filled down the column.
    ASSERT_TRUE(view->SetCurrentCell(RowOf("a.htm"), nDescription));
    view->SetFocus();
    for (char c : std::string("welcome"))
        backend->Key(static_cast<UINT>(std::toupper(c)), std::string(1, c));
    backend->Key(VK_RETURN);
    backend->ProcessMessages();
    SelectCells(*view, {CGXRange().SetCols(nDescription, nDescription)});
    view->SendMessage(WM_COMMAND, ID_FILL_DOWN);
    ASSERT_NE(ContentOf("b.htm", "Description"), nullptr);
    EXPECT_EQ(std::string(ContentOf("b.htm", "Description")->GetContent()), "welcome");

    Frame().SendMessage(WM_COMMAND, ID_SAVE_EDITED_FILES);
    const std::string savedA = ReadFile(a), savedB = ReadFile(b);
    EXPECT_NE(savedA.find("content=\"welcome\""), std::string::npos) << savedA;
    EXPECT_EQ(savedA.find("The first page"), std::string::npos);
    EXPECT_EQ(ReadFile(a + ".old"), originalA);
    const size_t tag = savedB.find("content=\"welcome\"");
    ASSERT_NE(tag, std::string::npos) << savedB;
    EXPECT_LT(savedB.find("<head>"), tag);
    EXPECT_LT(tag, savedB.find("</head>")) << "the new tag goes inside the head";
    EXPECT_EQ(ReadFile(site + "/c.txt"), text);
    EXPECT_EQ(app->IsEdited(), 3u);
}

TEST_F(GroupViewTest, PrintingTheGridWritesItsRowsToThePdfFileChosen)
{
    OpenSite(true);
    EXPECT_TRUE(CommandEnabled(*view, ID_FILE_PRINT));
    app->SetRunState(1);
    EXPECT_FALSE(CommandEnabled(*view, ID_FILE_PRINT)) << "no printing during a scan";
    app->SetRunState(0);

    const std::string file = config.Path() + "/grid.pdf";
    ASSERT_TRUE(PrintTo(file));
    PdfPage page(file, 1, 100);
    ASSERT_TRUE(page.Valid()) << "no PDF page was written";
    // Text and grid lines on the page, none past its last row but the page's number at its
    // foot, in the bottom inch.
    EXPECT_GT(page.DarkIn(0, 0, page.Width(), page.Height() / 4), 100);
    EXPECT_EQ(page.DarkIn(0, page.Height() / 2, page.Width(), page.Height() - 100), 0);
}

// The printed grid: named after the project, the page's width used by the columns, the
// project's name at the head of the page and the page's number at its foot.
TEST_F(GroupViewTest, ThePrintedGridUsesThePageWidthAndIsNamedAndNumbered)
{
    // A printout kept for a person to look at is drawn in the real fonts.
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    OpenSite(true);
    if (keep)
        SetTestFontMode(false);
    const std::string file = config.Path() + "/grid.pdf";
    ASSERT_TRUE(PrintTo(file));
    if (keep)
        std::filesystem::copy_file(file, std::string(keep) + "/grid.pdf", std::filesystem::copy_options::overwrite_existing);
    PdfPage page(file, 1, 72);
    ASSERT_TRUE(page.Valid()) << "no PDF page was written";
    // The grid's lines reach within an inch and a half of the page's right edge: most of the
    // width between the one-inch margins.
    int rightmost = 0;
    for (int y = 72; y < page.Height() / 3; ++y)
        for (int x = page.Width() - 72; x > rightmost; --x)
            if (page.At(x, y) != 0xFFFFFF) {
                rightmost = x;
                break;
            }
    EXPECT_GT(rightmost, page.Width() - 72 - 36) << "the grid stops at " << rightmost << " of " << page.Width();

    // The project's name in the top margin at the left, the page's number in the bottom
    // margin in the middle (the test font draws letters as blocks).
    EXPECT_GT(page.DarkIn(72, 18, 72 + 150, 88), 5) << "no heading";
    EXPECT_EQ(page.DarkIn(page.Width() / 2, 18, page.Width() - 72, 88), 0) << "the heading is not at the left";
    EXPECT_GT(page.DarkIn(page.Width() / 2 - 60, page.Height() - 90, page.Width() / 2 + 60, page.Height() - 18), 5)
        << "no page number";
    EXPECT_EQ(page.DarkIn(72, page.Height() - 90, page.Width() / 2 - 60, page.Height() - 18), 0)
        << "the page number is not in the middle";
    std::string info;
    if (FILE* pipe = popen(("pdfinfo '" + file + "' 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            info.append(buffer, n);
        pclose(pipe);
    }
    EXPECT_NE(info.find("Title:           site\n"), std::string::npos) << info;
}
