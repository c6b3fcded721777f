#include "grid/core/CGXGridCore.h"

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/core/CGXLongOperationImp.h"
#include "grid/core/CGXStatic.h"
#include "grid/data/CGXCommandFactory.h"
#include "grid/data/CGXGridHint.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/CException.h"
#include "platform/core/MessageQueue.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// A parameter object that tells when it goes.
class TrackedParam : public CGXGridParam {
public:
    explicit TrackedParam(int* pDeleted) : m_pDeleted(pDeleted) {}
    ~TrackedParam() override { ++*m_pDeleted; }

private:
    int* m_pDeleted;
};

// A feature object that tells when the grid deletes it.
class TrackedFeature : public CGXAbstractGridHideCellsImp {
public:
    explicit TrackedFeature(int* pDeleted) : m_pDeleted(pDeleted) {}
    ~TrackedFeature() override { ++*m_pDeleted; }
    BOOL HideRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, BOOL bHide, const CDWordArray*, UINT, int) override
    {
        m_pLastGrid = pGrid;
        m_nFrom = nFrom;
        m_nTo = nTo;
        return bHide;
    }
    BOOL HideCols(CGXGridCore*, ROWCOL, ROWCOL, BOOL, const CDWordArray*, UINT, int) override { return TRUE; }
    BOOL IsRowHidden(CGXGridCore*, ROWCOL nRow) override { return nRow == 7; }
    BOOL IsColHidden(CGXGridCore*, ROWCOL) override { return FALSE; }
    BOOL StoreHideRow(CGXGridCore*, ROWCOL, BOOL) override { return TRUE; }
    BOOL StoreHideCol(CGXGridCore*, ROWCOL, BOOL) override { return TRUE; }
    CGXGridCore* m_pLastGrid = nullptr;
    ROWCOL m_nFrom = 0, m_nTo = 0;

private:
    int* m_pDeleted;
};

// The program's factory plus one feature, to see features installed and freed per grid.
class FeatureFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        auto* pFeature = new TrackedFeature(&s_nDeleted);
        pGrid->m_pHideCellsImp = pFeature;
        pGrid->AddAutoDeleteImp(pFeature);
    }
    static int s_nDeleted;
};
int FeatureFactory::s_nDeleted = 0;

// A document of grids: what one grid broadcasts reaches every other grid's ProcessHint, as
// the document's UpdateAllViews does for views.
class DocGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    void UpdateAllViews(CWnd*, LPARAM lHint, CObject* pHint) override
    {
        ++m_nSent;
        for (DocGrid* pPeer : *m_pPeers)
            if (pPeer != this)
                pPeer->ProcessHint(nullptr, lHint, pHint);
    }
    BOOL SyncCurrentCell(BOOL bStore, UINT nFlags, BOOL bResetEdit) override
    {
        return m_bRefuseSync ? FALSE : CGXGridCore::SyncCurrentCell(bStore, nFlags, bResetEdit);
    }
    void UpdateInsertRows(ROWCOL nRow, ROWCOL nCount, UINT nFlags, BOOL bCreateHint) override
    {
        ++m_nInsertUpdates;
        CGXGridCore::UpdateInsertRows(nRow, nCount, nFlags, bCreateHint);
    }
    std::vector<DocGrid*>* m_pPeers = nullptr;
    int m_nSent = 0;
    int m_nInsertUpdates = 0;
    BOOL m_bRefuseSync = FALSE;
};

class GridCoreTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        RegisterStandardControls();
        InitGridLibrary(new FeatureFactory);
    }
    void TearDown() override
    {
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
};

CGXStyle Value(LPCTSTR pszValue)
{
    CGXStyle style;
    style.SetValue(pszValue);
    return style;
}

} // namespace

TEST(GridCoreBare, AGridWithoutAnyFeatureStartsAtTheTopLeftAndForwardersAnswerTheirDefaults)
{
    TerminateGridLibrary(); // no factory: no feature is installed
    CGXGridCore grid;
    EXPECT_EQ(grid.GetTopRow(), 1u);
    EXPECT_EQ(grid.GetLeftCol(), 1u);
    EXPECT_EQ(grid.GetZoom(), 100);
    ROWCOL nRow = 9, nCol = 9;
    EXPECT_FALSE(grid.GetCurrentCell(nRow, nCol));
    EXPECT_EQ(nRow, 0u);
    EXPECT_EQ(grid.m_pUndoImp, nullptr);
    EXPECT_EQ(grid.m_pUpdateHintImp, nullptr);
    EXPECT_FALSE(grid.IsReadOnly()); // no parameter object yet

    // Every forwarder gives its fixed default and changes nothing.
    EXPECT_FALSE(grid.CanCopy());
    EXPECT_FALSE(grid.Copy());
    EXPECT_FALSE(grid.CanCut());
    EXPECT_FALSE(grid.CanPaste());
    EXPECT_FALSE(grid.CanClear());
    EXPECT_FALSE(grid.CanFreezeRows());
    EXPECT_FALSE(grid.CanUnfreezeCols());
    EXPECT_FALSE(grid.IsRowHidden(3));
    EXPECT_FALSE(grid.HideRows(1, 2));
    EXPECT_FALSE(grid.FindText("x", TRUE, FALSE));
    EXPECT_FALSE(grid.ReplaceAll("x", "y", FALSE));
    EXPECT_FALSE(grid.FindNext(TRUE));
    EXPECT_FALSE(grid.LockSelectionFrame(TRUE));
    EXPECT_FALSE(grid.SelectRange(CGXRange(1, 1, 2, 2)));
    EXPECT_FALSE(grid.MoveDataRows(CGXRange().SetRows(1, 2), CDWordArray()));
    CGXRange span;
    EXPECT_EQ(grid.FindCellSpan(1, 1, span), nullptr);
    CRect rect(0, 0, 10, 10);
    EXPECT_EQ(grid.CalcFloatCellRect(1, 1, rect, nullptr, nullptr), nullptr);
    EXPECT_FALSE(grid.Undo());
    CString text = "stale";
    EXPECT_FALSE(grid.GetCellTextForCopy(text, 1, 1));
    EXPECT_TRUE(text.IsEmpty());
    CTestCmdUI ui;
    EXPECT_FALSE(grid.CanUndo(&ui));
    EXPECT_FALSE(ui.m_bEnabled);
    EXPECT_TRUE(grid.CanStartDragSelectRows());
    EXPECT_FALSE(grid.SetRangeName("name", CGXRange(1, 1, 1, 1), nullptr, 0, 0));
    EXPECT_FALSE(grid.MoveRows(1, 2, 5)); // moving rows is the move feature's

    // Without the library's window classes a grid cannot initialise (a later start-up
    // registers them again).
    UnregisterClass("GXWND", AfxGetInstanceHandle());
    try {
        grid.Initialize();
        ADD_FAILURE() << "a grid initialised before the library started";
    } catch (CNotSupportedException* e) {
        e->Delete();
    }
    EXPECT_FALSE(grid.IsInitialized());
}

TEST_F(GridCoreTest, FeaturesAreInstalledPerGridAndFreedWithIt)
{
    FeatureFactory::s_nDeleted = 0;
    {
        CGXGridCore grid;
        ASSERT_NE(grid.m_pHideCellsImp, nullptr);
        EXPECT_NE(grid.m_pUndoImp, nullptr);
        EXPECT_NE(grid.m_pUpdateHintImp, nullptr);
        // A forwarder passes the grid first and its arguments unchanged.
        EXPECT_TRUE(grid.HideRows(4, 6, TRUE));
        auto* pFeature = static_cast<TrackedFeature*>(grid.m_pHideCellsImp);
        EXPECT_EQ(pFeature->m_pLastGrid, &grid);
        EXPECT_EQ(pFeature->m_nFrom, 4u);
        EXPECT_EQ(pFeature->m_nTo, 6u);
        EXPECT_TRUE(grid.IsRowHidden(7));
        EXPECT_FALSE(grid.IsRowHidden(8));
        CGXGridCore other;
        EXPECT_NE(other.m_pHideCellsImp, grid.m_pHideCellsImp);
    }
    EXPECT_EQ(FeatureFactory::s_nDeleted, 2);
}

TEST_F(GridCoreTest, InitializeMakesTheMissingObjectsAndKeepsFrozenRowsAndTheRememberedCell)
{
    auto* pParam = new CGXGridParam;
    pParam->m_nFrozenRows = 3;
    pParam->m_nFrozenCols = 1;
    CGXGridCore grid;
    grid.SetParam(pParam, TRUE);
    grid.Initialize();
    ASSERT_EQ(grid.GetParam(), pParam);
    EXPECT_TRUE(grid.IsInitialized());
    EXPECT_TRUE(pParam->m_bInitialized);
    ASSERT_NE(pParam->GetProperties(), nullptr);
    ASSERT_NE(pParam->GetStylesMap(), nullptr);
    ASSERT_NE(pParam->GetData(), nullptr);
    EXPECT_TRUE(pParam->OwnsData());
    ASSERT_NE(grid.GetStandardStyle(), nullptr);
    EXPECT_NE(grid.GetRowHeaderStyle(), nullptr);
    EXPECT_EQ(grid.GetTopRow(), 4u);
    EXPECT_EQ(grid.GetLeftCol(), 2u);
    // The grid is the registered user of the objects it shares.
    EXPECT_EQ(GXGetAppData()->FindImpForObject(pParam), &grid);
    EXPECT_EQ(GXGetAppData()->FindImpForObject(pParam->GetData()), &grid);

    // A second Initialize keeps what is attached.
    CGXData* pData = pParam->GetData();
    grid.Initialize();
    EXPECT_EQ(pParam->GetData(), pData);

    // A new grid over a parameter object that remembers a current cell inside the counts.
    ASSERT_TRUE(grid.SetRowCount(10));
    ASSERT_TRUE(grid.SetColCount(5));
    pParam->m_bRememberCurrentCell = TRUE;
    pParam->m_nRememberedRow = 6;
    pParam->m_nRememberedCol = 2;
    CGXGridCore view;
    view.SetParam(pParam, FALSE);
    view.Initialize();
    ROWCOL nRow, nCol;
    ASSERT_TRUE(view.GetCurrentCell(nRow, nCol));
    EXPECT_EQ(nRow, 6u);
    EXPECT_EQ(nCol, 2u);
}

TEST_F(GridCoreTest, AttachingTheSameParameterObjectOnlyChangesOwnership)
{
    int nDeleted = 0;
    auto* pParam = new TrackedParam(&nDeleted);
    {
        CGXGridCore grid;
        grid.SetParam(pParam, TRUE);
        grid.SetParam(pParam, FALSE); // the same object: kept, and no longer the grid's
        EXPECT_EQ(nDeleted, 0);
        EXPECT_EQ(grid.GetParam(), pParam);
        EXPECT_FALSE(grid.OwnsParam());
        grid.Initialize();
        EXPECT_TRUE(grid.SetRowCount(3)); // still usable
    }
    EXPECT_EQ(nDeleted, 0); // not owned: it outlives the grid
    {
        CGXGridCore grid;
        grid.SetParam(pParam, TRUE);
        int nOther = 0;
        auto* pOther = new TrackedParam(&nOther);
        grid.SetParam(pOther, FALSE); // another object: the owned one goes
        EXPECT_EQ(nDeleted, 1);
        grid.SetParam(nullptr, FALSE); // a new one the grid makes is its own
        EXPECT_EQ(nOther, 0);
        delete pOther;
        EXPECT_NE(grid.GetParam(), nullptr);
        EXPECT_TRUE(grid.OwnsParam());
    }
}

TEST_F(GridCoreTest, GridRectPrefersPrintThenExplicitAndEmptiesInvertedRectangles)
{
    CGXGridCore grid;
    CRect rect(1, 1, 1, 1);
    grid.GetGridRect(&rect);
    EXPECT_EQ(rect, CRect(0, 0, 0, 0)); // no window
    CRect inverted(50, 10, 20, 40);
    grid.SetGridRect(TRUE, &inverted);
    grid.GetGridRect(&rect);
    EXPECT_EQ(rect, CRect(0, 0, 0, 0));
    CRect explicitRect(5, 6, 100, 80);
    grid.SetGridRect(TRUE, &explicitRect);
    grid.GetGridRect(&rect);
    EXPECT_EQ(rect, explicitRect);
}

TEST_F(GridCoreTest, SelectionOperationsOverASmallGrid)
{
    CGXGridCore grid;
    grid.Initialize();
    ASSERT_TRUE(grid.SetRowCount(12));
    ASSERT_TRUE(grid.SetColCount(4));

    CGXRangeList list;
    EXPECT_FALSE(grid.GetSelectedRanges(list, TRUE)); // no selection, no current cell
    EXPECT_TRUE(list.IsEmpty());
    ASSERT_TRUE(grid.SetCurrentCell(5, 3));
    ASSERT_TRUE(grid.GetSelectedRanges(list, TRUE));
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(*list.GetRangeAt(list.GetHeadPosition()), CGXRange(5, 3, 5, 3));
    EXPECT_FALSE(grid.GetSelectedRanges(list, FALSE));

    CGXGridParam* pParam = grid.GetParam();
    pParam->m_SelRects.AddTail(new CGXRange(CGXRange().SetRows(3, 5)));
    pParam->m_SelRects.AddTail(new CGXRange(9, 2, 9, 4));
    ASSERT_TRUE(grid.GetSelectedRanges(list, TRUE));
    EXPECT_EQ(list.GetCount(), 2);
    CDWordArray rows;
    EXPECT_EQ(grid.GetSelectedRows(rows), 4u);
    ASSERT_EQ(rows.GetSize(), 4);
    EXPECT_EQ(rows[0], 3u);
    EXPECT_EQ(rows[2], 5u);
    EXPECT_EQ(rows[3], 9u);
    EXPECT_TRUE(grid.IsCellInRangeList(4, 1, pParam->m_SelRects));
    EXPECT_FALSE(grid.IsCellInRangeList(9, 1, pParam->m_SelRects));

    CGXFindReplaceState& state = GXGetFindReplaceState();
    state.m_strFind = "abc";
    state.m_bCase = FALSE;
    state.PrepareFindText();
    EXPECT_STREQ(state.m_strFindUpper, "ABC");
    EXPECT_STREQ(state.m_strFind, "abc");
    state.m_bCase = TRUE;
    state.PrepareFindText();
    EXPECT_STREQ(state.m_strFindUpper, "abc");

    // The current cell's text comes from its control.
    const CGXStyle style = Value("cell text");
    ASSERT_TRUE(grid.StoreCellStyle(5, 3, &style, gxOverride, 0));
    grid.RefreshCurrentCell(FALSE);
    CString text;
    grid.GetCurrentCellText(text);
    if (grid.GetControl(5, 3) != nullptr)
        EXPECT_STREQ(text, "cell text");
    else
        EXPECT_TRUE(text.IsEmpty());
}

TEST_F(GridCoreTest, ChangesThroughTheEngineUndoRedoAndRespectReadOnly)
{
    CGXGridCore grid;
    grid.Initialize();
    ASSERT_TRUE(grid.SetRowCount(5));
    ASSERT_TRUE(grid.SetColCount(3));
    const CGXStyle style = Value("x");
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(2, 2, 3, 3), &style, gxOverride, 0, nullptr, GX_UPDATENOW, gxDo));
    ASSERT_TRUE(grid.InsertRows(1, 2));
    EXPECT_EQ(grid.GetRowCount(), 7u);
    CGXStyle read;
    ASSERT_TRUE(grid.ReadCellStyle(4, 2, read, gxCopy, 0)); // the styled rows moved down by two
    EXPECT_STREQ(read.GetValue(), "x");

    CTestCmdUI ui;
    EXPECT_TRUE(grid.CanUndo(&ui));
    EXPECT_TRUE(ui.m_bEnabled);
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(grid.GetRowCount(), 5u);
    ASSERT_TRUE(grid.Undo());
    EXPECT_FALSE(grid.ReadCellStyle(2, 2, read, gxCopy, 0));
    ASSERT_TRUE(grid.Redo());
    ASSERT_TRUE(grid.ReadCellStyle(2, 2, read, gxCopy, 0));

    // Nested transactions come back as one step.
    grid.BeginTransaction("Both");
    grid.BeginTransaction("Inner");
    ASSERT_TRUE(grid.RemoveRows(1, 1));
    grid.CommitTransaction();
    ASSERT_TRUE(grid.SetFrozenRows(2, 1));
    grid.CommitTransaction();
    EXPECT_EQ(grid.GetRowCount(), 4u);
    EXPECT_EQ(grid.GetTopRow(), 3u);
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(grid.GetRowCount(), 5u);
    EXPECT_EQ(grid.GetFrozenRows(), 0u);

    // A read-only grid refuses every change and records nothing.
    ASSERT_TRUE(grid.SetReadOnly(TRUE));
    EXPECT_TRUE(grid.IsReadOnly());
    EXPECT_FALSE(grid.InsertRows(1, 1));
    EXPECT_FALSE(grid.SetRowCount(9));
    EXPECT_FALSE(grid.StoreCellStyle(1, 1, &style, gxOverride, 0));
    EXPECT_EQ(grid.GetRowCount(), 5u);
}

TEST_F(GridCoreTest, HintsReachTheOtherGridsOfTheDocumentOnce)
{
    auto* pParam = new CGXGridParam;
    std::vector<DocGrid*> peers;
    DocGrid sender, receiver, stranger;
    for (DocGrid* p : {&sender, &receiver, &stranger}) {
        p->m_pPeers = &peers;
        p->SetParam(pParam, p == &sender);
        p->Initialize();
        p->EnableHints(TRUE);
        peers.push_back(p);
    }
    sender.SetGridId(1);
    receiver.SetGridId(1);
    stranger.SetGridId(2);
    ASSERT_TRUE(sender.SetRowCount(10));
    ASSERT_TRUE(sender.SetColCount(3));
    ASSERT_TRUE(receiver.SetCurrentCell(6, 2));
    const int nSentBefore = receiver.m_nSent;
    // Growing the grid was an insertion at the end, replayed like any other.
    for (DocGrid* p : {&sender, &receiver, &stranger})
        p->m_nInsertUpdates = 0;

    ASSERT_TRUE(sender.InsertRows(2, 3));
    // The receiver replayed the update: its current cell moved down with its row, and it did
    // not broadcast again.
    ROWCOL nRow, nCol;
    ASSERT_TRUE(receiver.GetCurrentCell(nRow, nCol));
    EXPECT_EQ(nRow, 9u);
    EXPECT_EQ(receiver.m_nInsertUpdates, 1);
    EXPECT_EQ(receiver.m_nSent, nSentBefore);
    EXPECT_EQ(stranger.m_nInsertUpdates, 0); // another grid id
    EXPECT_EQ(sender.m_nInsertUpdates, 1);   // its own update only

    // A hint for every grid reaches the stranger as well.
    CGXGridHint all(gxHintUpdateInsertRows, GX_ALL_GRIDS);
    all.m_nRow1 = 1;
    all.m_nNumber2 = 1;
    stranger.ProcessHint(nullptr, 0, &all);
    EXPECT_EQ(stranger.m_nInsertUpdates, 1);
    // Something that is not a grid hint is ignored.
    CGXStyle other;
    receiver.ProcessHint(nullptr, 0, &other);
    EXPECT_EQ(receiver.m_nInsertUpdates, 1);

    // One view refusing to store its current cell makes the sender's call answer FALSE.
    receiver.m_bRefuseSync = TRUE;
    EXPECT_FALSE(sender.m_pUpdateHintImp->HintSyncCurrentCell(&sender, TRUE, 0));
    receiver.m_bRefuseSync = FALSE;
    EXPECT_TRUE(sender.m_pUpdateHintImp->HintSyncCurrentCell(&sender, TRUE, 0));
    for (DocGrid* p : {&receiver, &stranger})
        p->SetParam(nullptr, TRUE); // let go of the shared object before the sender deletes it
}

TEST_F(GridCoreTest, LongOperationsOfTheEngineLetPaintingRunAndKeepWorkerMessagesQueued)
{
    constexpr UINT kWorkerMessage = WM_USER + 0x0C;
    HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100);
    backend->ProcessMessages();
    Log().clear();
    CGXGridCore grid;
    grid.Initialize();
    ASSERT_TRUE(grid.SetRowCount(50));
    ASSERT_TRUE(grid.SetColCount(4));
    const CGXStyle style = Value("v");
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(1, 1, 50, 4), &style, gxOverride, 0, nullptr, 0, gxDo));

    std::thread worker([hwnd] { PostMessage(hwnd, kWorkerMessage, 7, 0); });
    worker.join();
    PostMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    InvalidateRect(hwnd, nullptr, TRUE);

    CGXLongOperationState& state = GXGetLongOperationState();
    const CGXLongOperationState saved = state;
    state.m_nFirstWait = 0; // pump at once
    std::unique_ptr<CObArray> pStyles(grid.CollectRangeStyles(CGXRange(1, 1, 50, 4), 0));
    state.m_nFirstWait = saved.m_nFirstWait;
    state.m_nSpinner = saved.m_nSpinner; // the program-wide spinner goes on where it was
    ASSERT_EQ(pStyles->GetSize(), 200);
    EXPECT_STREQ(static_cast<CGXStyle*>(pStyles->GetAt(199))->GetValue(), "v");
    for (INT_PTR i = 0; i < pStyles->GetSize(); ++i)
        delete pStyles->GetAt(i);

    EXPECT_FALSE(Of(hwnd, WM_PAINT).empty());
    EXPECT_TRUE(Of(hwnd, WM_LBUTTONDOWN).empty()); // input is dropped, not queued
    EXPECT_TRUE(Of(hwnd, kWorkerMessage).empty());
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, hwnd, kWorkerMessage, kWorkerMessage, PM_REMOVE)); // still waiting
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessage(&msg, hwnd, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
}

TEST_F(GridCoreTest, StaticCellDrawsItsInteriorAndTextThroughTheDeviceContext)
{
    CGXGridCore grid;
    grid.Initialize();
    CGXControl* pControl = grid.GetControlById(GX_IDS_CTRL_STATIC);
    ASSERT_NE(pControl, nullptr);
    EXPECT_TRUE(pControl->IsKindOf(RUNTIME_CLASS(CGXStatic)));

    HDC hScreen = GetDC(nullptr);
    HDC hMem = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, 60, 20);
    HGDIOBJ hOld = SelectObject(hMem, hBitmap);
    CDC dc;
    dc.Attach(hMem);
    CGXStyle style = Value("WWWW");
    style.SetInterior(RGB(0, 0, 255));
    style.SetTextColor(RGB(255, 0, 0));
    style.SetHorizontalAlignment(0);
    pControl->Draw(&dc, CRect(0, 0, 60, 20), 1, 1, style, grid.GetStandardStyle());
    EXPECT_EQ(GetPixel(hMem, 59, 19), RGB(0, 0, 255)); // interior where no text is
    bool bText = false;
    for (int x = 0; x < 30 && !bText; ++x)
        for (int y = 0; y < 20 && !bText; ++y)
            bText = GetPixel(hMem, x, y) == RGB(255, 0, 0);
    EXPECT_TRUE(bText); // the value, in its colour, at the left
    dc.Detach();
    SelectObject(hMem, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hMem);
    ReleaseDC(nullptr, hScreen);
}

TEST_F(GridCoreTest, StoredSizesReadBackAndAHiddenRowHasNoHeight)
{
    CGXGridCore grid; // its hide feature hides row 7
    grid.Initialize();
    ASSERT_TRUE(grid.StoreRowHeight(3, 40));
    ASSERT_TRUE(grid.StoreRowHeight(7, 40));
    ASSERT_TRUE(grid.StoreColWidth(2, 120));
    EXPECT_EQ(grid.GetRowHeight(3), 40);
    EXPECT_EQ(grid.GetRowHeight(7), 0);
    EXPECT_EQ(grid.GetRowHeight(4), grid.GetDefaultRowHeight());
    EXPECT_EQ(grid.GetColWidth(2), 120);
    // A negative height gives the row its default back.
    ASSERT_TRUE(grid.StoreRowHeight(1, 33));
    EXPECT_TRUE(grid.StoreRowHeight(1, -5));
    EXPECT_EQ(grid.GetRowHeight(1), grid.GetDefaultRowHeight());
    // Heights are kept relative to the standard font, so a row keeps its share of it.
    EXPECT_EQ(grid.GetParam()->m_RowHeights[3], 40 * (1000 / grid.GetFontHeight()));

    // Whole rows hold their base styles; they are collected within the counts only.
    ASSERT_TRUE(grid.SetRowCount(3));
    ASSERT_TRUE(grid.SetColCount(2));
    const CGXStyle style = Value("row");
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange().SetRows(3, 3), &style, gxOverride, 0, nullptr, 0, gxDo));
    std::unique_ptr<CObArray> pStyles(grid.CollectRangeStyles(CGXRange().SetRows(2, 9), 0));
    ASSERT_EQ(pStyles->GetSize(), 2); // rows 2 and 3
    EXPECT_EQ(pStyles->GetAt(0), nullptr);
    ASSERT_NE(pStyles->GetAt(1), nullptr);
    EXPECT_STREQ(static_cast<CGXStyle*>(pStyles->GetAt(1))->GetValue(), "row");
    delete pStyles->GetAt(1);
}

namespace {

// A find feature that records what reaches it.
class RecordingFind : public CGXAbstractGridFindReplaceImp {
public:
    void OnShowFindReplaceDialog(CGXGridCore*, BOOL) override { ++m_nDialogs; }
    BOOL FindText(CGXGridCore* pGrid, LPCTSTR pszFind, BOOL, BOOL bCase) override
    {
        m_pGrid = pGrid;
        m_sFind = pszFind;
        m_bCase = bCase;
        return TRUE;
    }
    BOOL FindNext(CGXGridCore*, BOOL) override { return TRUE; }
    BOOL FindTextFrom(CGXGridCore*, ROWCOL& nRow, ROWCOL&, BOOL) override
    {
        ++nRow;
        return TRUE;
    }
    BOOL FindTextInCell(CGXGridCore*, ROWCOL nRow, ROWCOL nCol, BOOL, BOOL) override
    {
        m_nCellRow = nRow;
        m_nCellCol = nCol;
        return TRUE;
    }
    BOOL ReplaceAllInCell(CGXGridCore*, ROWCOL, ROWCOL) override { return TRUE; }
    BOOL FindTextPrepared(CGXGridCore*, ROWCOL, ROWCOL, BOOL, BOOL) override { return TRUE; }
    BOOL ReplaceAll(CGXGridCore*, LPCTSTR, LPCTSTR, BOOL) override { return TRUE; }
    BOOL HandleFindReplaceMessage(CGXGridCore*, CWnd*) override { return TRUE; }
    CGXGridCore* m_pGrid = nullptr;
    CString m_sFind;
    BOOL m_bCase = FALSE;
    int m_nDialogs = 0;
    ROWCOL m_nCellRow = 0, m_nCellCol = 0;
};

// A command that sees the read-only lock of cells while it runs, then fails.
class LockProbeCmd : public CGXCommand {
public:
    explicit LockProbeCmd(CGXGridParam* pParam) : m_pParam(pParam) {}
    BOOL Execute(IGXCommandTarget&, int) override
    {
        m_bLockSeen = m_pParam->m_bLockReadOnly;
        throw 7;
    }
    CGXGridParam* m_pParam;
    BOOL m_bLockSeen = TRUE;
};

} // namespace

TEST_F(GridCoreTest, FindForwardsWithTheGridFirstAndCommandsRunWithoutTheCellLock)
{
    CGXGridCore grid;
    grid.Initialize();
    auto* pFind = new RecordingFind;
    grid.m_pFindReplaceImp = pFind;
    grid.AddAutoDeleteImp(pFind);
    EXPECT_TRUE(grid.FindText("needle", TRUE, TRUE));
    EXPECT_EQ(pFind->m_pGrid, &grid);
    EXPECT_STREQ(pFind->m_sFind, "needle");
    EXPECT_TRUE(pFind->m_bCase);
    ROWCOL nRow = 4, nCol = 1;
    EXPECT_TRUE(grid.FindTextFrom(nRow, nCol, FALSE));
    EXPECT_EQ(nRow, 5u); // out-values come back
    grid.ShowFindReplaceDialog(TRUE);
    EXPECT_EQ(pFind->m_nDialogs, 1);
    // A cell's control searches its cell through the same feature.
    CGXControl* pControl = grid.GetControlById(GX_IDS_CTRL_STATIC);
    ASSERT_NE(pControl, nullptr);
    EXPECT_TRUE(pControl->FindText(3, 2, FALSE, TRUE));
    EXPECT_EQ(pFind->m_nCellRow, 3u);
    EXPECT_EQ(pFind->m_nCellCol, 2u);

    CGXGridParam* pParam = grid.GetParam();
    ASSERT_TRUE(pParam->m_bLockReadOnly);
    LockProbeCmd cmd(pParam);
    EXPECT_THROW(grid.ExecuteCommand(&cmd, gxUndo), int);
    EXPECT_FALSE(cmd.m_bLockSeen);
    EXPECT_TRUE(pParam->m_bLockReadOnly); // back on although the command failed
}

namespace {

// The application's main frame, noting the status texts it is sent.
class StatusFrame : public CFrameWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == GX_WM_SETMESSAGESTRING && lParam != 0)
            m_texts.emplace_back(reinterpret_cast<LPCTSTR>(lParam));
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<CString> m_texts;
};

class IdleApp : public CWinApp {
public:
    IdleApp() : CWinApp("GridTest") {}
    BOOL OnIdle(LONG lCount) override
    {
        m_counts.push_back(lCount);
        return lCount < 2;
    }
    std::vector<LONG> m_counts;
};

} // namespace

TEST_F(GridCoreTest, LongOperationsReportToTheMainFrameAndRunTheIdleWork)
{
    IdleApp app;
    auto* pFrame = new StatusFrame; // a frame deletes itself when its window goes
    StatusFrame& frame = *pFrame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    app.m_pMainWnd = &frame;
    CGXGridCore grid;
    grid.Initialize();
    ASSERT_TRUE(grid.SetRowCount(3));
    ASSERT_TRUE(grid.SetColCount(3));

    CGXLongOperationState& state = GXGetLongOperationState();
    const CGXLongOperationState saved = state;
    state.m_nFirstWait = 0;
    delete grid.CollectRangeStyles(CGXRange(1, 1, 1, 1), 0);
    state.m_nFirstWait = saved.m_nFirstWait;
    state.m_nSpinner = saved.m_nSpinner;

    ASSERT_FALSE(frame.m_texts.empty());
    EXPECT_EQ(frame.m_texts.front().Find("Processing..."), 0);
    EXPECT_STREQ(frame.m_texts.back(), "Done."); // the busy operation ended
    ASSERT_GE(app.m_counts.size(), 3u);
    EXPECT_EQ(app.m_counts[0], 0);
    EXPECT_EQ(app.m_counts[1], 1);
    EXPECT_EQ(app.m_counts[2], 2); // until the idle work had nothing more to do
    app.m_pMainWnd = nullptr;
    frame.DestroyWindow();
}

namespace {

// A control with an edit of its own text, as editing cells have.
class EditingControl : public CGXStatic {
public:
    using CGXStatic::CGXStatic;
    BOOL GetCurrentText(CString& sText) override
    {
        if (!m_bModify)
            return CGXStatic::GetCurrentText(sText);
        sText = m_sEdit;
        return TRUE;
    }
    CString m_sEdit;
};

} // namespace

TEST_F(GridCoreTest, AControlIsBoundToOneCellStoresItsEditAndHonoursReadOnlyCells)
{
    CGXGridCore grid;
    grid.Initialize();
    ASSERT_TRUE(grid.SetRowCount(4));
    ASSERT_TRUE(grid.SetColCount(4));
    const CGXStyle start = Value("old");
    ASSERT_TRUE(grid.StoreCellStyle(2, 3, &start, gxOverride, 0));
    auto* pControl = new EditingControl(&grid);
    grid.RegisterControl(GX_IDS_CTRL_STATIC, pControl);

    pControl->Init(2, 3);
    EXPECT_TRUE(pControl->IsInitFor(2, 3));
    EXPECT_FALSE(pControl->IsInitFor(3, 2));
    ASSERT_NE(pControl->LoadStyle(), nullptr);
    EXPECT_STREQ(pControl->LoadStyle()->GetValue(), "old");

    // An edit is written into the grid, and the cached style follows.
    pControl->m_sEdit = "new";
    pControl->SetModify(TRUE);
    ASSERT_TRUE(pControl->Store());
    EXPECT_FALSE(pControl->GetModify());
    CGXStyle read;
    ASSERT_TRUE(grid.ReadCellStyle(2, 3, read, gxCopy, 0));
    EXPECT_STREQ(read.GetValue(), "new");
    EXPECT_STREQ(pControl->LoadStyle()->GetValue(), "new");

    // ESC drops an edit and says whether there was one.
    pControl->SetModify(TRUE);
    EXPECT_TRUE(pControl->OnCancelEditing());
    EXPECT_FALSE(pControl->OnCancelEditing());

    // A read-only cell is locked while the grid honours the mark; a read-only grid always.
    CGXStyle locked;
    locked.SetReadOnly(TRUE);
    ASSERT_TRUE(grid.StoreCellStyle(2, 3, &locked, gxOverride, 0));
    pControl->Init(2, 3);
    EXPECT_TRUE(pControl->IsReadOnly());
    EXPECT_FALSE(pControl->CanActivate());
    grid.GetParam()->m_bLockReadOnly = FALSE;
    pControl->Init(2, 3);
    EXPECT_FALSE(pControl->IsReadOnly());
    ASSERT_TRUE(grid.SetReadOnly(TRUE));
    EXPECT_TRUE(pControl->IsReadOnly());
    pControl->ReplaceSel("refused");
    ASSERT_TRUE(grid.ReadCellStyle(2, 3, read, gxCopy, 0));
    EXPECT_STREQ(read.GetValue(), "new");

    pControl->Reset();
    EXPECT_FALSE(pControl->IsInit());
    EXPECT_EQ(pControl->LoadStyle(), nullptr);

    // The inner rectangle leaves the drawn borders, and the grid line on the top side, to the grid.
    CGXStyle framed;
    framed.SetBorders(0, CGXPen(PS_SOLID, 1, RGB(0, 0, 0)));
    framed.SetBorders(3, CGXPen(PS_SOLID, 2, RGB(0, 0, 0)));
    CRect cell(10, 10, 50, 30);
    EXPECT_EQ(pControl->GetCellRect(1, 1, &cell, &framed), CRect(11, 11, 50, 28));
}

TEST_F(GridCoreTest, TheCurrentCellFollowsStructureChangesAndUndoShowsTheChangedPlace)
{
    CGXGridCore grid;
    grid.Initialize();
    ASSERT_TRUE(grid.SetRowCount(10));
    ASSERT_TRUE(grid.SetColCount(5));

    CGXStyle disabled;
    disabled.SetEnabled(FALSE);
    ASSERT_TRUE(grid.StoreCellStyle(4, 4, &disabled, gxOverride, 0));
    EXPECT_FALSE(grid.SetCurrentCell(4, 4)); // a disabled cell cannot become current
    EXPECT_FALSE(grid.SetCurrentCell(11, 1));
    ASSERT_TRUE(grid.SetCurrentCell(6, 2));

    ASSERT_TRUE(grid.RemoveRows(1, 2));
    ROWCOL nRow, nCol;
    ASSERT_TRUE(grid.GetCurrentCell(nRow, nCol));
    EXPECT_EQ(nRow, 4u); // its row moved up by two
    ASSERT_TRUE(grid.RemoveRows(4, 4));
    EXPECT_FALSE(grid.GetCurrentCell(nRow, nCol)); // its row is gone

    // Undoing a style change makes the changed place current.
    const CGXStyle style = Value("s");
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(3, 2, 3, 2), &style, gxOverride, 0, nullptr, GX_UPDATENOW, gxDo));
    ASSERT_TRUE(grid.Undo());
    ASSERT_TRUE(grid.GetCurrentCell(nRow, nCol));
    EXPECT_EQ(nRow, 3u);
    EXPECT_EQ(nCol, 2u);

    // The top row stays below the frozen rows and within the rows.
    ASSERT_TRUE(grid.SetFrozenRows(2, 0));
    grid.SetTopRow(1);
    EXPECT_EQ(grid.GetTopRow(), 3u);
    grid.SetTopRow(500);
    EXPECT_EQ(grid.GetTopRow(), grid.GetRowCount());
}

TEST_F(GridCoreTest, StyleAndFrozenHintsReplayInTheOtherGrid)
{
    auto* pParam = new CGXGridParam;
    std::vector<DocGrid*> peers;
    DocGrid sender, receiver;
    for (DocGrid* p : {&sender, &receiver}) {
        p->m_pPeers = &peers;
        p->SetParam(pParam, p == &sender);
        p->Initialize();
        p->EnableHints(TRUE);
        peers.push_back(p);
    }
    ASSERT_TRUE(sender.SetRowCount(6));
    ASSERT_TRUE(sender.SetColCount(3));
    ASSERT_TRUE(receiver.SetCurrentCell(5, 1));
    // The receiver's current cell stays in step with the sender's.
    ROWCOL nRow, nCol;
    ASSERT_TRUE(sender.GetCurrentCell(nRow, nCol));
    EXPECT_EQ(nRow, 5u);

    ASSERT_TRUE(sender.SetFrozenRows(3, 1));
    EXPECT_EQ(receiver.GetTopRow(), 4u); // replayed: its scrolled area starts below them

    ASSERT_TRUE(sender.RemoveRows(5, 6));
    EXPECT_FALSE(receiver.GetCurrentCell(nRow, nCol)); // the row of its current cell went
    receiver.SetParam(nullptr, TRUE);
}
