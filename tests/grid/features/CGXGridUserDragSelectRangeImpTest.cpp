#include "grid/features/CGXGridUserDragSelectRangeImp.h"

#include "FeatureTestSupport.h"
#include "grid/core/CGXDragLineWnd.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRangeList.h"
#include "grid/res/GridRes.h"

#include <gtest/gtest.h>

namespace {

// A grid whose application refuses drops before row 10.
class RefusingGrid : public CGXGridWnd {
public:
    BOOL CanDropSelectedRows(ROWCOL, ROWCOL, ROWCOL nDest) override { return nDest != 10; }
};

class DragMoveTest : public FeatureGridTest {
protected:
    // A grid window of 600 x 400 in a top-level window: 30 rows, 6 columns, each cell "r.c".
    void MakeGrid(CGXGridWnd& grid)
    {
        m_hTop = Make(WS_POPUP | WS_VISIBLE, 0, 0, 700, 500);
        ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 400), CWnd::FromHandle(m_hTop), 1));
        SetUpGrid(grid, 30, 6);
        grid.StoreDefaultRowHeight(20);
        grid.StoreDefaultColWidth(50);
        grid.Redraw(GX_INVALIDATE, FALSE);
        backend->ProcessMessages();
    }
    static void Select(CGXGridCore& grid, const CGXRange& range)
    {
        CGXRangeList& sel = grid.GetParam()->m_SelRects;
        sel.DeleteAll();
        sel.AddTail(new CGXRange(range));
    }
    // The middle of the row header (column header) of a row (column), pushed by dy (dx).
    static CPoint RowHeader(CGXGridCore& grid, ROWCOL nRow, int dy = 0)
    {
        const CRect r = grid.CalcClientRectOfRange(nRow, 0, nRow, 0);
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2 + dy);
    }
    static CPoint ColHeader(CGXGridCore& grid, ROWCOL nCol)
    {
        const CRect r = grid.CalcClientRectOfRange(0, nCol, 0, nCol);
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    static void Send(CGXGridWnd& grid, UINT nMsg, UINT nFlags, CPoint pt)
    {
        ::SendMessage(grid.GetSafeHwnd(), nMsg, nFlags, MAKELPARAM(pt.x, pt.y));
    }
    static CString Value(CGXGridCore& grid, ROWCOL r, ROWCOL c) { return grid.GetStoredCellValue(r, c); }
    HWND m_hTop = nullptr;
};

} // namespace

TEST_F(DragMoveTest, SelectedRowsDroppedFurtherDownLandBeforeTheDropRowAndUndoInOneStep)
{
    CGXGridWnd grid;
    MakeGrid(grid);
    ASSERT_NE(grid.m_pUserDragSelectRangeImp, nullptr);
    Select(grid, CGXRange().SetRows(3, 4));

    Send(grid, WM_LBUTTONDOWN, MK_LBUTTON, RowHeader(grid, 3));
    ASSERT_TRUE(grid.m_dragSelect.bDragging);
    EXPECT_EQ(grid.m_dragSelect.nMode, GX_DRAGSEL_ROWS);
    EXPECT_EQ(::GetCapture(), grid.GetSafeHwnd());
    EXPECT_EQ(CGXGridCore::GetLoadedCursorId(), static_cast<UINT>(GX_IDC_SELFRAME));
    // Over row 8: the marker, three pixels high, lies on the boundary above row 8.
    Send(grid, WM_MOUSEMOVE, MK_LBUTTON, RowHeader(grid, 8, -5));
    CGXDragLineWnd* pLine = grid.GetDragLineWnd(FALSE);
    ASSERT_NE(pLine, nullptr);
    EXPECT_TRUE(::IsWindowVisible(pLine->GetSafeHwnd()));
    CRect marker;
    ::GetWindowRect(pLine->GetSafeHwnd(), &marker);
    ::ScreenToClient(grid.GetSafeHwnd(), reinterpret_cast<POINT*>(&marker.left));
    EXPECT_EQ(marker.top, grid.CalcMarkerLineRect(2, grid.RowToClientRow(8)).top - 1);
    EXPECT_EQ(marker.Height(), 3);

    Send(grid, WM_LBUTTONUP, 0, RowHeader(grid, 8, -5));
    EXPECT_FALSE(grid.m_dragSelect.bDragging);
    EXPECT_EQ(grid.GetDragLineWnd(FALSE), nullptr);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(Value(grid, 3, 1), "5.1");
    EXPECT_EQ(Value(grid, 5, 2), "7.2");
    EXPECT_EQ(Value(grid, 6, 1), "3.1");
    EXPECT_EQ(Value(grid, 7, 6), "4.6");
    EXPECT_EQ(Value(grid, 8, 1), "8.1");
    ASSERT_TRUE(grid.Undo());
    for (ROWCOL r = 3; r <= 8; ++r)
        EXPECT_EQ(Value(grid, r, 1), FeatureGridTest::Label(r, 1)) << r;

    // Upwards the block lands right at the drop row; the forwarder says where it went.
    Select(grid, CGXRange().SetRows(6, 7));
    ASSERT_TRUE(grid.DragSelectStart(6, 0));
    ROWCOL nNewRow = 0, nNewCol = 0;
    ASSERT_TRUE(grid.DragSelectDrop(2, 0, nNewRow, nNewCol));
    EXPECT_EQ(nNewRow, 2u);
    EXPECT_EQ(Value(grid, 2, 1), "6.1");
    EXPECT_EQ(Value(grid, 4, 1), "2.1");
    ASSERT_TRUE(grid.Undo());

    // Columns likewise: column 2 dropped past the last column becomes the last.
    Select(grid, CGXRange().SetCols(2, 2));
    Send(grid, WM_LBUTTONDOWN, MK_LBUTTON, ColHeader(grid, 2));
    ASSERT_TRUE(grid.m_dragSelect.bDragging);
    const CRect last = grid.CalcClientRectOfRange(0, 6, 0, 6);
    Send(grid, WM_MOUSEMOVE, MK_LBUTTON, CPoint(last.right + 30, last.top + 5));
    Send(grid, WM_LBUTTONUP, 0, CPoint(last.right + 30, last.top + 5));
    EXPECT_EQ(Value(grid, 1, 2), "1.3");
    EXPECT_EQ(Value(grid, 1, 6), "1.2");
}

TEST_F(DragMoveTest, TheDraggedBlockOutlivesTheSelectionAndARefusedMoveIsNoDrop)
{
    CGXGridWnd grid;
    MakeGrid(grid);
    // The selection list emptied in the middle of the drag: the block dragged still moves.
    Select(grid, CGXRange().SetRows(3, 4));
    Send(grid, WM_LBUTTONDOWN, MK_LBUTTON, RowHeader(grid, 3));
    ASSERT_TRUE(grid.m_dragSelect.bDragging);
    grid.GetParam()->m_SelRects.DeleteAll();
    Send(grid, WM_MOUSEMOVE, MK_LBUTTON, RowHeader(grid, 8, -5));
    Send(grid, WM_LBUTTONUP, 0, RowHeader(grid, 8, -5));
    EXPECT_EQ(Value(grid, 6, 1), "3.1");
    ASSERT_TRUE(grid.Undo());

    // A grid that refuses changes does not move the rows, and the drop says so.
    grid.GetParam()->m_bLockReadOnly = TRUE;
    grid.SetReadOnly(TRUE);
    Select(grid, CGXRange().SetRows(3, 4));
    ASSERT_TRUE(grid.DragSelectStart(3, 0));
    ROWCOL nNewRow = 0, nNewCol = 0;
    EXPECT_FALSE(grid.DragSelectDrop(8, 0, nNewRow, nNewCol));
    EXPECT_EQ(nNewRow, 0u);
    EXPECT_EQ(Value(grid, 3, 1), "3.1");
    EXPECT_EQ(Value(grid, 6, 1), "6.1");
}

TEST_F(DragMoveTest, ADropOnTheBlockOrJustBelowItChangesNothing)
{
    CGXGridWnd grid;
    MakeGrid(grid);
    const size_t nUndo = grid.GetParam()->m_UndoList.GetCount();
    for (ROWCOL nDrop : {3u, 4u, 5u}) {
        Select(grid, CGXRange().SetRows(3, 4));
        Send(grid, WM_LBUTTONDOWN, MK_LBUTTON, RowHeader(grid, 3));
        ASSERT_TRUE(grid.m_dragSelect.bDragging);
        Send(grid, WM_MOUSEMOVE, MK_LBUTTON, RowHeader(grid, nDrop, -5));
        Send(grid, WM_LBUTTONUP, 0, RowHeader(grid, nDrop, -5));
        EXPECT_FALSE(grid.m_dragSelect.bDragging);
        for (ROWCOL r = 2; r <= 6; ++r)
            EXPECT_EQ(Value(grid, r, 1), FeatureGridTest::Label(r, 1)) << nDrop << " " << r;
    }
    EXPECT_EQ(grid.GetParam()->m_UndoList.GetCount(), nUndo);
}

TEST_F(DragMoveTest, PressesThatBelongToTheSelectionStartNoDrag)
{
    CGXGridWnd grid;
    MakeGrid(grid);
    // An unselected row header: an ordinary selection of that row.
    Select(grid, CGXRange().SetRows(3, 4));
    Send(grid, WM_LBUTTONDOWN, MK_LBUTTON, RowHeader(grid, 9));
    EXPECT_FALSE(grid.m_dragSelect.bDragging);
    Send(grid, WM_LBUTTONUP, 0, RowHeader(grid, 9));
    const CGXRangeList& sel = grid.GetParam()->m_SelRects;
    ASSERT_EQ(sel.GetCount(), 1);
    EXPECT_TRUE(sel.GetRangeAt(sel.GetHeadPosition())->IsRows());
    EXPECT_EQ(sel.GetRangeAt(sel.GetHeadPosition())->top, 9u);

    // With Ctrl the press goes to the selection too.
    Select(grid, CGXRange().SetRows(3, 4));
    Send(grid, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, RowHeader(grid, 3));
    EXPECT_FALSE(grid.m_dragSelect.bDragging);
    Send(grid, WM_LBUTTONUP, MK_CONTROL, RowHeader(grid, 3));

    // The whole table selected, or dragging switched off: no drag.
    Select(grid, CGXRange().SetTable());
    Send(grid, WM_LBUTTONDOWN, MK_LBUTTON, RowHeader(grid, 3));
    EXPECT_FALSE(grid.m_dragSelect.bDragging);
    Send(grid, WM_LBUTTONUP, 0, RowHeader(grid, 3));
    grid.GetParam()->m_bDragSelectedRows = FALSE;
    Select(grid, CGXRange().SetRows(3, 4));
    Send(grid, WM_LBUTTONDOWN, MK_LBUTTON, RowHeader(grid, 3));
    EXPECT_FALSE(grid.m_dragSelect.bDragging);
    Send(grid, WM_LBUTTONUP, 0, RowHeader(grid, 3));
    EXPECT_EQ(Value(grid, 3, 1), "3.1");
}

TEST_F(DragMoveTest, ARefusedDropShowsTheRefusalCursorAndCancelLeavesEverything)
{
    RefusingGrid grid;
    MakeGrid(grid);
    Select(grid, CGXRange().SetRows(3, 4));
    Send(grid, WM_LBUTTONDOWN, MK_LBUTTON, RowHeader(grid, 3));
    Send(grid, WM_MOUSEMOVE, MK_LBUTTON, RowHeader(grid, 10, -5));
    EXPECT_EQ(CGXGridCore::GetLoadedCursorId(), static_cast<UINT>(GX_IDC_NODROP));
    CGXDragLineWnd* pLine = grid.GetDragLineWnd(FALSE);
    EXPECT_TRUE(pLine == nullptr || !::IsWindowVisible(pLine->GetSafeHwnd()));
    // Back over an allowed row the drag cursor returns.
    Send(grid, WM_MOUSEMOVE, MK_LBUTTON, RowHeader(grid, 12, -5));
    EXPECT_EQ(CGXGridCore::GetLoadedCursorId(), static_cast<UINT>(GX_IDC_SELFRAME));
    Send(grid, WM_MOUSEMOVE, MK_LBUTTON, RowHeader(grid, 10, -5));
    Send(grid, WM_LBUTTONUP, 0, RowHeader(grid, 10, -5));
    EXPECT_EQ(Value(grid, 3, 1), "3.1");
    EXPECT_EQ(Value(grid, 8, 1), "8.1");

    // Cancel mode in the middle of a drag ends it with nothing moved.
    Select(grid, CGXRange().SetRows(3, 4));
    Send(grid, WM_LBUTTONDOWN, MK_LBUTTON, RowHeader(grid, 3));
    Send(grid, WM_MOUSEMOVE, MK_LBUTTON, RowHeader(grid, 12, -5));
    ASSERT_NE(grid.GetDragLineWnd(FALSE), nullptr);
    ::SendMessage(grid.GetSafeHwnd(), WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(grid.m_dragSelect.bDragging);
    EXPECT_EQ(grid.GetDragLineWnd(FALSE), nullptr);
    EXPECT_EQ(::GetCapture(), nullptr);
    Send(grid, WM_LBUTTONUP, 0, RowHeader(grid, 12, -5));
    EXPECT_EQ(Value(grid, 3, 1), "3.1");
    EXPECT_EQ(Value(grid, 10, 1), "10.1");
}
