// The project grid on a generated site: columns, cells read from the pages, and edits reaching
// the pages with their marks.
#include "tests/app/GroupViewFixture.h"

#include "app/views/CGroupDoc.h"
#include "app/views/CGroupFrame.h"
#include "app/views/CGroupView.h"
#include "app/views/CPageStatusCell.h"
#include "app/dialogs/CProjSettingsPages.h"
#include "app/dialogs/CProjSettingsSheet.h"
#include "tests/support/DialogAutomation.h"
#include "platform/controls/StatusBar.h"
#include "app/res/AppRes.h"
#include "app/res/GroupViewRes.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/meta/CMetaUndefinedSetting.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXStyle.h"

#include <cairo.h>

#include <algorithm>
#include <cctype>


TEST_F(GroupViewTest, ColumnsAreTheFileAndTheShownSettingsAndCellsComeFromThePages)
{
    OpenSite(false);
    std::vector<std::string> expected{"HTML File"};
    for (const std::string& name : ShownSettings())
        expected.push_back(name);
    ASSERT_GT(expected.size(), 2u) << "the default catalogue shows settings";
    EXPECT_EQ(Headers(), expected) << "no Title column without Show Title, settings in catalogue order";
    ASSERT_EQ(view->GetRowCount(), 2u);
    const ROWCOL nA = RowOf("a.htm");
    ASSERT_NE(nA, 0u);

    // Not scanned yet: grey, with the not-scanned picture; the root's pages show full paths.
    // The first page's file is the current cell, where the keys start, shown selected.
    ROWCOL nRow = 0, nCol = 0;
    ASSERT_TRUE(view->GetCurrentCell(nRow, nCol)) << "no current cell after the pages were loaded";
    EXPECT_EQ(nRow, 1u);
    EXPECT_EQ(nCol, CGroupView::kFileColumn);
    EXPECT_EQ(Composed(1, CGroupView::kFileColumn).GetTextColor(), ::GetSysColor(COLOR_HIGHLIGHTTEXT));
    ASSERT_TRUE(view->SetCurrentCell(nA, ColumnOf("Keywords")));
    CGXStyle file = Composed(nA, CGroupView::kFileColumn);
    EXPECT_EQ(file.GetControl(), IDS_NOT_SCANNED_CELL);
    EXPECT_EQ(file.GetTextColor(), CGroupView::kNotScannedTextColor);
    EXPECT_EQ(std::string(file.GetValue()), site + "/a.htm");
    // The header carries the setting's description as its tooltip.
    const ROWCOL nKeywords = ColumnOf("Keywords");
    ASSERT_NE(nKeywords, 0u);
    CGXStyle header;
    view->ComposeCellStyle(0, nKeywords, header);
    EXPECT_TRUE(header.HasUserAttribute(GX_IDS_UA_TOOLTIPTEXT));
    EXPECT_NE(view->HitTestToolTip(view->CalcCellRect(0, nKeywords).CenterPoint(), nullptr), -1) << "and shows it";

    // After the scan the values are the pages' own, found by header name whatever its case.
    Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
    ASSERT_TRUE(PumpUntil(*backend, [&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 2; }));
    const ROWCOL nDescription = ColumnOf("Description");
    ASSERT_NE(nDescription, 0u);
    EXPECT_EQ(std::string(view->GetCellValue(RowOf("a.htm"), nDescription)), "The first page");
    EXPECT_EQ(std::string(view->GetCellValue(RowOf("b.htm"), nDescription)), "");
    ASSERT_TRUE(view->SetCurrentCell(RowOf("a.htm"), nDescription));
    file = Composed(RowOf("a.htm"), CGroupView::kFileColumn);
    EXPECT_EQ(file.GetControl(), IDS_SCANNED_CELL);
    EXPECT_EQ(file.GetTextColor(), 0u);
    // The scan never starts a second time by itself: a rebuild only loads.
    EXPECT_EQ(Frame().GetFilesScanned(), 2u);
}

TEST_F(GroupViewTest, ShowTitleAddsTheTitleColumnAndTitlesAreWrittenThere)
{
    OpenSite(true, 1);
    const std::vector<std::string> headers = Headers();
    ASSERT_GE(headers.size(), 3u);
    EXPECT_EQ(headers[1], "Title");
    const ROWCOL nA = RowOf("a.htm");
    EXPECT_EQ(std::string(view->GetCellValue(nA, CGroupView::kTitleColumn)), "Alpha");
    EXPECT_EQ(view->SetCellValue(nA, CGroupView::kTitleColumn, "Alpha page"), 0u);
    EXPECT_EQ(std::string(PageOf("a.htm")->GetTitle()), "Alpha page");
    EXPECT_EQ(PageOf("a.htm")->GetTitleModified(), 1u);
}

TEST_F(GroupViewTest, WithoutShowTitleColumnTwoIsAMetaColumnAndNoTitleIsTouched)
{
    OpenSite(true, 0);
    const ROWCOL nA = RowOf("a.htm");
    const CString strHeader = view->GetCellValue(0, 2);
    ASSERT_NE(strHeader, "Title");
    EXPECT_EQ(view->SetCellValue(nA, 2, "typed"), 0u);
    EXPECT_EQ(std::string(PageOf("a.htm")->GetTitle()), "Alpha") << "column 2 is no title column here";
    EXPECT_EQ(PageOf("a.htm")->GetTitleModified(), 0u);
    CMetaContent* pContent = ContentOf("a.htm", strHeader);
    ASSERT_NE(pContent, nullptr);
    EXPECT_EQ(std::string(pContent->GetContent()), "typed");
}

TEST_F(GroupViewTest, TypingIntoAMissingTagMakesItMarksThePageAndEnablesSave)
{
    OpenSite(true);
    const ROWCOL nB = RowOf("b.htm");
    const ROWCOL nDescription = ColumnOf("Description");
    ASSERT_EQ(ContentOf("b.htm", "Description"), nullptr);
    EXPECT_EQ(app->IsEdited(), 3u);
    EXPECT_FALSE(Frame().IsCommandEnabled(ID_SAVE_EDITED_FILES));

    EXPECT_EQ(view->SetCellValue(nB, nDescription, "Second page"), 0u);
    CMetaContent* pContent = ContentOf("b.htm", "Description");
    ASSERT_NE(pContent, nullptr);
    EXPECT_EQ(std::string(pContent->GetContent()), "Second page");
    EXPECT_EQ(pContent->GetModified(), 1u);
    CGXStyle file = Composed(nB, CGroupView::kFileColumn);
    EXPECT_EQ(file.GetControl(), IDS_DIRTY_CELL);
    EXPECT_EQ(file.GetTextColor(), CGroupView::kDirtyTextColor);
    EXPECT_EQ(app->IsEdited(), 2u);
    EXPECT_TRUE(Frame().IsCommandEnabled(ID_SAVE_EDITED_FILES));

    // The file column is no value: refused, nothing changes.
    EXPECT_EQ(view->SetCellValue(nB, CGroupView::kFileColumn, "x"), 1u);
    EXPECT_EQ(std::string(view->GetCellValue(nB, CGroupView::kFileColumn)), site + "/sub/b.htm");
}

TEST_F(GroupViewTest, ValuesStoredByTheGridItselfMarkThePageAndUndoPutsThemBack)
{
    OpenSite(true);
    const ROWCOL nA = RowOf("a.htm");
    const ROWCOL nDescription = ColumnOf("Description");
    // What paste, replace and a cell's own edit do: store the value through the grid.
    ASSERT_TRUE(view->SetValueRange(CGXRange(nA, nDescription, nA, nDescription), "Pasted"));
    CMetaContent* pContent = ContentOf("a.htm", "Description");
    ASSERT_NE(pContent, nullptr);
    EXPECT_EQ(std::string(pContent->GetContent()), "Pasted");
    EXPECT_EQ(pContent->GetModified(), 1u) << "an unmarked edit would be skipped by Save and lost";
    EXPECT_EQ(app->IsEdited(), 2u);
    EXPECT_EQ(Composed(nA, CGroupView::kFileColumn).GetControl(), IDS_DIRTY_CELL);

    ASSERT_TRUE(view->Undo());
    EXPECT_EQ(std::string(pContent->GetContent()), "The first page") << "undo gives the page its old value";
    EXPECT_EQ(pContent->GetModified(), 0u) << "and its old mark";
    EXPECT_EQ(std::string(view->GetCellValue(nA, nDescription)), "The first page");
    ASSERT_TRUE(view->Redo());
    EXPECT_EQ(std::string(pContent->GetContent()), "Pasted");
}

TEST_F(GroupViewTest, TypingInACellWritesThePageOnLeavingAndIsRefusedDuringAScan)
{
    OpenSite(true);
    const ROWCOL nB = RowOf("b.htm");
    const ROWCOL nDescription = ColumnOf("Description");
    ASSERT_TRUE(view->SetCurrentCell(nB, nDescription));
    view->SetFocus();
    for (char c : std::string("typed"))
        backend->Key(static_cast<UINT>(std::toupper(c)), std::string(1, c));
    backend->ProcessMessages();
    CString strText;
    view->GetCellText(nB, nDescription, strText);
    EXPECT_EQ(std::string(strText), "typed") << "the editor's text before it is stored";
    EXPECT_EQ(ContentOf("b.htm", "Description"), nullptr) << "nothing reaches the page while typing";
    backend->Key(VK_UP);
    backend->ProcessMessages();
    // The frame's edit field follows the move, not the text left behind.
    ROWCOL nNowRow = 0, nNowCol = 0;
    ASSERT_TRUE(view->GetCurrentCell(nNowRow, nNowCol));
    EXPECT_NE(nNowRow, nB);
    CString strField;
    dynamic_cast<CGroupFrame*>(view->GetParentFrame())->GetEditField().GetWindowText(strField);
    EXPECT_EQ(std::string(strField), std::string(view->GetCellValue(nNowRow, nNowCol)));
    CMetaContent* pContent = ContentOf("b.htm", "Description");
    ASSERT_NE(pContent, nullptr);
    EXPECT_EQ(std::string(pContent->GetContent()), "typed");
    EXPECT_EQ(pContent->GetModified(), 1u);
    EXPECT_EQ(Composed(nB, CGroupView::kFileColumn).GetControl(), IDS_DIRTY_CELL);

    // One undo takes the typed value back out of the page.
    ASSERT_TRUE(view->Undo());
    EXPECT_EQ(ContentOf("b.htm", "Description"), nullptr) << "the typed tag is gone again";
    EXPECT_EQ(Composed(nB, CGroupView::kFileColumn).GetControl(), IDS_SCANNED_CELL);
    EXPECT_EQ(app->IsEdited(), 3u) << "no page is edited any more";
    // A redo is an edit again: unmarked, Save would skip it.
    ASSERT_TRUE(view->Redo());
    ASSERT_NE(ContentOf("b.htm", "Description"), nullptr);
    EXPECT_EQ(ContentOf("b.htm", "Description")->GetModified(), 1u);
    EXPECT_EQ(app->IsEdited(), 2u);

    // While a scan runs no edit starts.
    const ROWCOL nA = RowOf("a.htm");
    ASSERT_TRUE(view->SetCurrentCell(nA, nDescription));
    app->SetRunState(1);
    view->SetFocus();
    backend->Key('X', "x");
    backend->ProcessMessages();
    app->SetRunState(0);
    backend->Key(VK_DOWN);
    backend->ProcessMessages();
    EXPECT_EQ(std::string(ContentOf("a.htm", "Description")->GetContent()), "The first page");
    EXPECT_EQ(ContentOf("a.htm", "Description")->GetModified(), 0u);
}

TEST_F(GroupViewTest, TheFrameOpensMaximisedWithItsEditFieldInABarAboveTheGrid)
{
    OpenSite(false);
    CGroupFrame* pFrame = dynamic_cast<CGroupFrame*>(view->GetParentFrame());
    ASSERT_NE(pFrame, nullptr);
    EXPECT_TRUE(pFrame->IsZoomed());
    auto rectIn = [&](CWnd& wnd) {
        CRect r;
        wnd.GetWindowRect(&r);
        pFrame->ScreenToClient(&r);
        return r;
    };
    CRect client;
    pFrame->GetClientRect(&client);
    const CRect bar = rectIn(pFrame->GetStatusBar()), grid = rectIn(*view), edit = rectIn(pFrame->GetEditField());
    // The bar keeps the place the frame's layout gives it, and the grid takes the rest.
    EXPECT_EQ(bar.top, 0);
    EXPECT_GT(bar.Height(), 0);
    EXPECT_EQ(grid.top, bar.bottom);
    EXPECT_EQ(grid.bottom, client.bottom);
    EXPECT_TRUE(CRect().IntersectRect(&edit, &bar)) << "the edit field lies in the bar";
    EXPECT_GE(edit.Width(), CGroupFrame::kEditPaneWidth);
    EXPECT_EQ(pFrame->GetStatusBar().GetStyle() & SBARS_SIZEGRIP, 0u);
}

// Maximising and restoring the main window repaint the grid while the group frame's own repaint
// is still due: the frame must not erase over the grid afterwards.
TEST_F(GroupViewTest, TheGridStaysDrawnWhenTheMainWindowIsMaximisedAndRestored)
{
    OpenSite(true);
    CMainFrame& frame = Frame();
    // Pixels of the grid, as the main window shows them, that are not the blank window colour:
    // headers, lines, cells and their texts.
    auto ink = [&] {
        frame.UpdateWindow();
        backend->ProcessMessages();
        cairo_surface_t* shot = backend->Capture(frame.m_hWnd);
        if (shot == nullptr)
            return -1;
        cairo_surface_flush(shot);
        CRect outer, rect;
        frame.GetWindowRect(&outer);
        view->GetWindowRect(&rect);
        rect.OffsetRect(-outer.left, -outer.top);
        const COLORREF back = ::GetSysColor(COLOR_WINDOW);
        const uint32_t blank = (GetRValue(back) << 16) | (GetGValue(back) << 8) | GetBValue(back);
        int count = 0;
        for (int y = std::max<int>(rect.top, 0); y < std::min<int>(rect.bottom, cairo_image_surface_get_height(shot)); ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(shot) +
                                                                y * cairo_image_surface_get_stride(shot));
            for (int x = std::max<int>(rect.left, 0); x < std::min<int>(rect.right, cairo_image_surface_get_width(shot)); ++x)
                count += (row[x] & 0xFFFFFF) != blank;
        }
        cairo_surface_destroy(shot);
        return count;
    };
    const int shown = ink();
    ASSERT_GT(shown, 0) << "the grid shows its headers and rows";
    // A wiped grid keeps only a few border pixels; a drawn one all its headers and rows.
    frame.ShowWindow(SW_MAXIMIZE);
    backend->ProcessMessages();
    ASSERT_TRUE(frame.IsZoomed());
    EXPECT_GE(ink(), shown * 9 / 10) << "maximised";
    frame.ShowWindow(SW_RESTORE);
    backend->ProcessMessages();
    EXPECT_GE(ink(), shown * 9 / 10) << "restored";
}

// A setting shown during a scan gets its column where the catalogue puts it among the shown
// ones, so the order never depends on which page the scan read first.
TEST_F(GroupViewTest, ASettingShownDuringAScanGetsItsColumnInCatalogueOrderWithItsTooltip)
{
    OpenSite(true);
    CMetaSettingList* pList = nullptr;
    ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
    CMetaSetting* pNew = nullptr;
    ROWCOL nExpected = 2;   // no Title column: the META columns start at 2
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr && pNew == nullptr;) {
        CMetaSetting* pSetting = pList->GetNext(pos);
        CString strDescription;
        pSetting->GetDescription(strDescription);
        if (pSetting->IsShown())
            ++nExpected;
        else if (!strDescription.IsEmpty() && nExpected > 2)
            pNew = pSetting;
    }
    ASSERT_NE(pNew, nullptr) << "no hidden setting follows a shown one in the catalogue";
    const ROWCOL nBefore = view->GetColCount();
    const std::string before = static_cast<LPCTSTR>(view->GetCellValue(RowOf("a.htm"), nExpected - 1));
    const std::string after = nExpected <= nBefore ? std::string(view->GetCellValue(0, nExpected)) : std::string();
    pNew->SetShow(1);
    view->OnUpdate(nullptr, 2, pNew);
    ASSERT_EQ(view->GetColCount(), nBefore + 1);
    EXPECT_EQ(std::string(view->GetCellValue(0, nExpected)), std::string(pNew->Name()));
    if (!after.empty()) {
        EXPECT_EQ(std::string(view->GetCellValue(0, nExpected + 1)), after) << "the next column moved one on";
    }
    CGXStyle header;
    view->ComposeCellStyle(0, nExpected, header);
    EXPECT_TRUE(header.HasUserAttribute(GX_IDS_UA_TOOLTIPTEXT));
    EXPECT_EQ(std::string(view->GetCellValue(RowOf("a.htm"), nExpected - 1)), before) << "the columns before keep their values";
    EXPECT_EQ(std::string(view->GetCellValue(RowOf("a.htm"), nExpected)), "");
    // A typed value goes into the tag the new column names, and the columns after it still
    // write their own tags.
    ASSERT_EQ(view->SetCellValue(RowOf("a.htm"), nExpected, "added"), 0u);
    ASSERT_NE(ContentOf("a.htm", pNew->Name()), nullptr);
    EXPECT_EQ(std::string(ContentOf("a.htm", pNew->Name())->GetContent()), "added");
    if (!after.empty()) {
        ASSERT_EQ(view->SetCellValue(RowOf("a.htm"), nExpected + 1, "moved"), 0u);
        ASSERT_NE(ContentOf("a.htm", after.c_str()), nullptr);
        EXPECT_EQ(std::string(ContentOf("a.htm", after.c_str())->GetContent()), "moved");
    }
}

// While a scan runs the view keeps its own record of which setting each column shows; the
// columns it adds, in any order and also for a setting new to the catalogue, stand where the
// catalogue puts them, with their settings' cells, as the view reads its headers afterwards.
TEST_F(GroupViewTest, ColumnsAddedWhileAScanRunsStandInCatalogueOrderWithTheirCells)
{
    OpenSite(true);
    CMetaSettingList* pList = nullptr;
    ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
    auto find = [&](const char* pszName) {
        CMetaSetting* pSetting = nullptr;
        EXPECT_EQ(pList->FindByName(pszName, pSetting), 0u) << pszName;
        return pSetting;
    };
    auto* pNew = new CMetaUndefinedSetting;   // the catalogue owns it
    pNew->SetName("x-brand-new");
    pList->AddTail(pNew);
    const std::string description = static_cast<LPCTSTR>(view->GetCellValue(RowOf("a.htm"), ColumnOf("Description")));
    ASSERT_EQ(description, "The first page");

    app->SetRunState(CVostrelAppModel::runScanning);
    const size_t nBefore = Headers().size();
    for (CMetaSetting* pSetting : {find("subject"), static_cast<CMetaSetting*>(pNew), find("Expires"), find("Generator")}) {
        pSetting->SetShow(1);
        view->OnUpdate(nullptr, 2, pSetting);
    }
    // The columns wait for their batch, and come in together.
    EXPECT_EQ(Headers().size(), nBefore) << "a column was added on its own";
    view->ShowPendingColumns();
    std::vector<std::string> expected = {"HTML File", "Author", "Generator", "Keywords", "Expires",
                                         "Description", "subject", "x-brand-new"};
    EXPECT_EQ(Headers(), expected);
    auto checkColumns = [&](const char* pszWhen) {
        for (ROWCOL nCol = 2; nCol <= view->GetColCount(); ++nCol) {
            CMetaSetting* pSetting = find(expected[nCol - 1].c_str());
            EXPECT_EQ(view->GetColumnSetting(nCol), pSetting) << expected[nCol - 1] << " " << pszWhen;
            ROWCOL nNumber = 0;
            pSetting->GetColumn(nNumber);
            EXPECT_EQ(nNumber, nCol) << expected[nCol - 1] << " " << pszWhen;
        }
        EXPECT_EQ(pList->GetNextOrdinal(), view->GetColCount() + 1) << pszWhen;
    };
    checkColumns("while scanning");
    // Every row of a new column has the cell its setting asks for.
    for (ROWCOL nRow = 1; nRow <= view->GetRowCount(); ++nRow) {
        EXPECT_EQ(Composed(nRow, ColumnOf("Expires")).GetControl(), GX_IDS_CTRL_HOTSPOT) << nRow;
        EXPECT_EQ(Composed(nRow, ColumnOf("x-brand-new")).GetControl(), GX_IDS_CTRL_EDIT) << nRow;
    }
    EXPECT_NE(Composed(0, ColumnOf("Expires")).GetControl(), GX_IDS_CTRL_HOTSPOT) << "the header keeps its own";
    EXPECT_EQ(std::string(view->GetCellValue(RowOf("a.htm"), ColumnOf("Description"))), description);

    // A column the user drags elsewhere meanwhile: the columns still know their settings.
    ASSERT_TRUE(view->MoveCols(ColumnOf("subject"), ColumnOf("subject"), 2));
    find("Robots")->SetShow(1);
    view->OnUpdate(nullptr, 2, find("Robots"));
    for (ROWCOL nCol = 2; nCol <= view->GetColCount(); ++nCol) {
        const std::string header = static_cast<LPCTSTR>(view->GetCellValue(0, nCol));
        ASSERT_NE(view->GetColumnSetting(nCol), nullptr) << header;
        EXPECT_EQ(std::string(view->GetColumnSetting(nCol)->Name()), header);
        ROWCOL nNumber = 0;
        view->GetColumnSetting(nCol)->GetColumn(nNumber);
        EXPECT_EQ(nNumber, nCol) << header;
    }
    // Laid out again, the dragged column keeps the place the user gave it, and the others
    // stand in the catalogue's order, Robots after Description as the catalogue has it.
    view->OnUpdate(nullptr, 0, nullptr);
    expected = {"HTML File", "subject", "Author", "Generator", "Keywords", "Expires", "Description", "Robots", "x-brand-new"};
    EXPECT_EQ(Headers(), expected);

    app->SetRunState(CVostrelAppModel::runIdle);
    checkColumns("after the scan");
    ASSERT_EQ(view->SetCellValue(RowOf("b.htm"), ColumnOf("x-brand-new"), "typed"), 0u);
    ASSERT_NE(ContentOf("b.htm", "x-brand-new"), nullptr);
    EXPECT_EQ(std::string(ContentOf("b.htm", "x-brand-new")->GetContent()), "typed");
}

TEST_F(GroupViewTest, ProjectSettingsFromTheGridReloadItWithTheTitleColumn)
{
    OpenSite(true, 0);
    ASSERT_NE(std::string(view->GetCellValue(0, 2)), "Title");
    dialog_automation::WhenWindowOpens(
        *backend,
        [] {
            for (HWND dlg : dialog_automation::ShownDialogs())
                if (dynamic_cast<CProjSettingsSheet*>(CWnd::FromHandlePermanent(dlg)) != nullptr)
                    return dlg;
            return HWND{};
        },
        [&](HWND hwnd) {
            auto* pSheet = dynamic_cast<CProjSettingsSheet*>(CWnd::FromHandlePermanent(hwnd));
            ASSERT_TRUE(pSheet->SetActivePage(&pSheet->GetGeneralPage()));
            ::SendMessage(::GetDlgItem(pSheet->GetGeneralPage().GetSafeHwnd(), CProjSettingsPage4::kIdShowTitle), BM_CLICK, 0, 0);
            pSheet->SendMessage(WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, IDOK)));
            pSheet->PostMessage(WM_NULL, 0, 0);
            dialog_automation::EnsureClosed(*backend, hwnd);
        },
        [] { ADD_FAILURE() << "the project settings sheet never opened"; });
    view->SendMessage(WM_COMMAND, ID_PROJECT_SETTINGS);
    EXPECT_EQ(std::string(view->GetCellValue(0, 2)), "Title") << "the grid is loaded again with the new settings";
    EXPECT_EQ(std::string(view->GetCellValue(RowOf("a.htm"), 2)), "Alpha");
}
