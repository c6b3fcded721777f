// Structure changes and presses on a grid window with the feature library: the selection frame
// is hidden while rows move and comes back after, a move repaints only the rows that changed
// place, a press on the selection's edge may go to the frame-press feature, a click option keeps
// the selection, and the parameter object's named accessors and the active view answer.
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXCommand.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXGridParam.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/wnd/CWnd.h"
#include "tests/grid/features/FeatureTestSupport.h"

#include <vector>

namespace {

// Notes whether the selection frame was hidden while the rows were stored.
class FrameWatchingGrid : public CGXGridWnd {
public:
    BOOL StoreInsertRows(ROWCOL nRow, ROWCOL nCount, BOOL bForce) override
    {
        hiddenWhileStoring.push_back(IsSelectionFrameHidden());
        return CGXGridWnd::StoreInsertRows(nRow, nCount, bForce);
    }
    std::vector<BOOL> hiddenWhileStoring;
};

class FramePress : public CGXAbstractGridFramePressImp {
public:
    BOOL OnFramePress(CGXGridCore*, UINT, CPoint, ROWCOL nRow, ROWCOL nCol) override
    {
        presses.emplace_back(nRow, nCol);
        return TRUE;
    }
    std::vector<std::pair<ROWCOL, ROWCOL>> presses;
};

class StructureTest : public FeatureGridTest {
protected:
    void MakeGrid(CGXGridWnd& grid, ROWCOL nRows)
    {
        m_hTop = Make(WS_POPUP | WS_VISIBLE, 0, 0, 420, 320);
        ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), CWnd::FromHandle(m_hTop), 1));
        SetUpGrid(grid, nRows, 6);
        grid.StoreDefaultRowHeight(20);
        grid.StoreDefaultColWidth(50);
        grid.Redraw(GX_INVALIDATE, FALSE);
        backend->ProcessMessages();
    }
    HWND m_hTop = nullptr;
};

} // namespace

TEST_F(StructureTest, TheSelectionFrameHidesWhileRowsAreInsertedAndComesBack)
{
    FrameWatchingGrid grid;
    MakeGrid(grid, 20);
    grid.GetParam()->m_bFrame = TRUE;
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(3, 2, 5, 3));
    ASSERT_FALSE(grid.IsSelectionFrameHidden());
    grid.hiddenWhileStoring.clear();
    ASSERT_TRUE(grid.InsertRows(2, 2));
    ASSERT_EQ(grid.hiddenWhileStoring.size(), 1u);
    EXPECT_TRUE(grid.hiddenWhileStoring[0]);
    EXPECT_FALSE(grid.IsSelectionFrameHidden());
    // A refused operation gives the frame back too.
    EXPECT_FALSE(grid.InsertRows(500, 1));
    EXPECT_FALSE(grid.IsSelectionFrameHidden());
}

TEST_F(StructureTest, AMoveRepaintsOnlyTheRowsThatChangedPlace)
{
    CGXGridWnd grid;
    MakeGrid(grid, 60);
    ASSERT_TRUE(UpdateRectOf(grid).IsRectEmpty());
    // Rows 5 and 6 go below row 10: rows above 5 keep their place and their pixels.
    ASSERT_TRUE(grid.MoveRows(5, 6, 9, GX_SMART));
    CRect update = UpdateRectOf(grid);
    CRect client;
    grid.GetClientRect(&client);
    EXPECT_EQ(update.top, grid.CalcCellRect(5, 1).top);
    EXPECT_EQ(update.bottom, client.bottom);
    EXPECT_EQ(grid.GetStoredCellValue(9, 1), Label(5, 1));
    backend->ProcessMessages();

    // A block above the view that moves into it: the rows shown keep their place under their
    // new numbers, and only the block's rows and what follows them are drawn again.
    grid.SetTopRow(20, GX_UPDATENOW);
    grid.GetParam()->m_bRedrawRowHeaderAfterMove = FALSE; // the headers' new numbers aside
    backend->ProcessMessages();
    const CString sTop = grid.GetStoredCellValue(20, 1);
    ASSERT_TRUE(grid.MoveRows(2, 3, 23, GX_SMART));
    EXPECT_EQ(grid.GetTopRow(), 18u);
    EXPECT_EQ(grid.GetStoredCellValue(18, 1), sTop);
    update = UpdateRectOf(grid);
    EXPECT_FALSE(update.IsRectEmpty());
    EXPECT_GE(update.top, grid.CalcCellRect(23, 1).top);
    backend->ProcessMessages();

    // Passing the frozen rows redraws everything.
    grid.SetTopRow(1, GX_UPDATENOW);
    ASSERT_TRUE(grid.SetFrozenRows(2, 0));
    backend->ProcessMessages();
    ASSERT_TRUE(grid.MoveRows(2, 2, 5, GX_SMART));
    EXPECT_EQ(UpdateRectOf(grid).top, client.top);
}

TEST_F(StructureTest, APressOnTheSelectionsEdgeGoesToTheFramePressFeatureWhenLetThrough)
{
    CGXGridWnd grid;
    MakeGrid(grid, 20);
    grid.GetParam()->m_bFrame = TRUE;
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(2, 2, 4, 3));
    grid.Redraw(GX_UPDATENOW, FALSE);
    const CRect cell = grid.CalcCellRect(3, 2);
    const CPoint edge(cell.left + 1, cell.CenterPoint().y);
    ROWCOL nRow = 0, nCol = 0;
    ASSERT_EQ(grid.HitTest(edge, &nRow, &nCol), 5) << "the point is not on the frame's edge";
    FramePress press;
    grid.m_pFramePressImp = &press;

    // Switch off: the press is a press on the cell.
    grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edge.x, edge.y));
    grid.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(edge.x, edge.y));
    EXPECT_TRUE(press.presses.empty());
    EXPECT_TRUE(grid.IsCurrentCell(3, 2));

    grid.SetClickOnSelectionFrame(TRUE);
    grid.GetParam()->m_SelRects.DeleteAll();
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(2, 2, 4, 3));
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edge.x, edge.y));
    grid.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(edge.x, edge.y));
    ASSERT_EQ(press.presses.size(), 1u);
    EXPECT_EQ(press.presses[0], std::make_pair(ROWCOL(3), ROWCOL(2)));
    EXPECT_TRUE(grid.IsCurrentCell(1, 1)); // the feature took it
    grid.m_pFramePressImp = nullptr;
}

TEST_F(StructureTest, AClickOptionMovesTheCurrentCellAndLeavesTheSelection)
{
    CGXGridWnd grid;
    MakeGrid(grid, 20);
    CGXGridParam* pParam = grid.GetParam();
    pParam->m_bSelectionFollowsCurrentCell = TRUE;
    pParam->m_SelRects.AddTail(new CGXRange(2, 2, 3, 3));
    const CRect cell = grid.CalcCellRect(6, 4);
    grid.SetClickOptions(GX_CLICK_KEEPSELECTION);
    ASSERT_TRUE(grid.OnLButtonClickedRowCol(6, 4, 6, 4, 0, cell.CenterPoint(), GX_MOUSE_DRAG | GX_HITSTART | GX_HITINSTART));
    EXPECT_TRUE(grid.IsCurrentCell(6, 4));
    ASSERT_EQ(pParam->m_SelRects.GetCount(), 1);
    EXPECT_EQ(*pParam->m_SelRects.GetRangeAt(pParam->m_SelRects.GetHeadPosition()), CGXRange(2, 2, 3, 3));
    // Without the option the selection follows the current cell.
    grid.SetClickOptions(0);
    const CRect other = grid.CalcCellRect(8, 2);
    ASSERT_TRUE(grid.OnLButtonClickedRowCol(8, 2, 8, 2, 0, other.CenterPoint(), GX_MOUSE_DRAG | GX_HITSTART | GX_HITINSTART));
    EXPECT_TRUE(grid.IsCurrentCell(8, 2));
    EXPECT_FALSE(pParam->m_SelRects.GetCount() == 1 &&
                 *pParam->m_SelRects.GetRangeAt(pParam->m_SelRects.GetHeadPosition()) == CGXRange(2, 2, 3, 3));
}

TEST_F(StructureTest, TheParameterObjectsAccessorsAndTheActiveView)
{
    CGXGridWnd grid;
    MakeGrid(grid, 10);
    CGXGridParam* pParam = grid.GetParam();
    pParam->EmptyRedoList(); // an empty list stays empty
    EXPECT_TRUE(pParam->GetRedoList().IsEmpty());
    pParam->EnableUndo(TRUE);
    ASSERT_TRUE(grid.SetValueRange(CGXRange(1, 1, 1, 1), "a"));
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(pParam->GetRedoList().GetCount(), 1);
    EXPECT_EQ(pParam->GetUndoList().GetCount(), 0);
    // A new change empties the redo list.
    ASSERT_TRUE(grid.SetValueRange(CGXRange(1, 1, 1, 1), "b"));
    EXPECT_TRUE(pParam->GetRedoList().IsEmpty());
    pParam->SetRowResizeFlags(0);
    EXPECT_FALSE(pParam->TestRowResizeFlags(0x03));
    pParam->m_bLockReadOnly = FALSE;
    EXPECT_EQ(grid.SendMessage(0x790, 0, 0), 0);
    pParam->m_bLockReadOnly = TRUE;
    EXPECT_EQ(grid.SendMessage(0x790, 0, 0), 1);
    EXPECT_EQ(GXGetActiveView(), nullptr); // no main frame
}

namespace {
// A store that hears of the cells the grid is about to show and reports an error.
class RemoteData : public CGXData {
public:
    BOOL NotifyDataAtCell(ROWCOL nRow, ROWCOL nCol) override
    {
        cells.emplace_back(nRow, nCol);
        return TRUE;
    }
    BOOL GetDataErrorText(CString& sError) override
    {
        sError = sPending;
        return !sPending.IsEmpty();
    }
    void ResetDataState() override { sPending.Empty(); }
    // Reading the whole range again fails as the test says.
    BOOL NotifyDataRange(UINT) override
    {
        sPending = sNextError;
        return TRUE;
    }
    std::vector<std::pair<ROWCOL, ROWCOL>> cells;
    CString sPending, sNextError;
};
} // namespace

TEST_F(StructureTest, TheDataObjectHearsOfCellsAndReportsItsErrorsThroughTheGrid)
{
    CGXGridCore grid;
    auto* pParam = new CGXGridParam;
    auto* pData = new RemoteData;
    pParam->SetData(pData, TRUE);
    grid.SetParam(pParam, TRUE);
    SetUpGrid(grid, 6, 6, false);
    ASSERT_EQ(grid.GetData(), pData);
    // A cell inside a covered block is announced by the block's first cell.
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(2, 2, 3, 4));
    EXPECT_TRUE(grid.NotifyDataAtCell(3, 3));
    ASSERT_FALSE(pData->cells.empty());
    EXPECT_EQ(pData->cells.back(), std::make_pair(ROWCOL(2), ROWCOL(2)));
    // Refreshing with an error pending: the error comes back to the caller and is cleared.
    pData->sNextError = "The site could not be read.";
    CString sError;
    EXPECT_FALSE(grid.RefreshDataObject(TRUE, &sError, FALSE));
    EXPECT_EQ(sError, "The site could not be read.");
    EXPECT_TRUE(pData->sPending.IsEmpty());
    pData->sNextError.Empty();
    EXPECT_TRUE(grid.RefreshDataObject(TRUE, &sError, FALSE));
}
