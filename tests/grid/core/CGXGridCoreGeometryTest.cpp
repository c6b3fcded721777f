#include "GridTestSupport.h"

#include "grid/data/CGXCommandFactory.h"

#include <gtest/gtest.h>

TEST_F(GridDrawTest, ClientIndicesMapFrozenAndScrolledRowsBothWays)
{
    CGXGridCore grid;
    SetUpGrid(grid, 100, 40);
    ASSERT_TRUE(grid.SetFrozenRows(1, 0, 0));
    grid.SetTopRow(5, 0);
    ASSERT_EQ(grid.GetTopRow(), 5u);
    EXPECT_EQ(grid.RowToClientRow(5), 2u);
    EXPECT_EQ(grid.RowToClientRow(3), 0u); // scrolled out
    EXPECT_EQ(grid.RowToClientRow(1), 1u); // frozen rows keep their number
    EXPECT_EQ(grid.RowToClientRow(0), 0u);
    EXPECT_EQ(grid.ClientRowToRow(2), 5u);
    EXPECT_EQ(grid.ClientRowToRow(3), 6u);
    EXPECT_EQ(grid.ClientRowToRow(GX_INVALID), GX_INVALID);
    for (ROWCOL n = 5; n < 30; ++n)
        EXPECT_EQ(grid.ClientRowToRow(grid.RowToClientRow(n)), n);

    // With the top row right after the frozen rows, numbers and client indices are equal.
    grid.SetTopRow(2, 0);
    for (ROWCOL n = 0; n < 30; ++n)
        EXPECT_EQ(grid.RowToClientRow(n), n);
    grid.SetLeftCol(11, 0);
    EXPECT_EQ(grid.ColToClientCol(11), 1u);
    EXPECT_EQ(grid.ClientColToCol(1), 11u);
}

TEST_F(GridDrawTest, SizesSumsAndRectanglesFollowTheStoredSizes)
{
    CGXGridCore grid;
    SetUpGrid(grid, 100, 40);
    EXPECT_EQ(grid.GetRowHeight(4), 20);
    ASSERT_TRUE(grid.SetRowHeight(5, 0, 30, nullptr, 0, 0)); // a last row of 0: row 5 alone
    EXPECT_EQ(grid.GetRowHeight(5), 30);
    EXPECT_EQ(grid.GetRowHeight(6), 20);
    // Stored relative to the font: 30 pixels as (1000 div h) x 30.
    const int h = grid.GetFontHeight();
    ASSERT_GT(h, 0);
    EXPECT_EQ(grid.GetParam()->m_RowHeights[5], 30 * (1000 / h));
    ASSERT_TRUE(grid.StoreRowHeight(5, -1));
    EXPECT_EQ(grid.GetRowHeight(5), 20);
    EXPECT_FALSE(grid.StoreDefaultRowHeight(0));
    EXPECT_EQ(grid.GetDefaultRowHeight(), 20);

    // A hidden row has no height, whatever is stored, and the stored height comes back.
    ASSERT_TRUE(grid.StoreRowHeight(3, 44));
    Hidden(grid).m_rows.insert(3);
    EXPECT_EQ(grid.GetRowHeight(3), 0);
    EXPECT_EQ(grid.SumRowHeights(0, 4), 80);
    Hidden(grid).m_rows.erase(3);
    EXPECT_EQ(grid.GetRowHeight(3), 44);
    EXPECT_EQ(grid.SumRowHeights(0, 4), 124);
    // The sum stops once past the limit.
    EXPECT_EQ(grid.SumRowHeights(1, 100, 50), 64 + 20);

    const CRect cell = grid.CalcCellRect(2, 3);
    EXPECT_EQ(cell, CRect(150, 40, 200, 60));
    EXPECT_EQ(grid.CalcClientRowTop(4), 20 + 20 + 44 + 20);
    EXPECT_EQ(grid.CalcAreaBelowRow(0), CRect(0, 20, 400, 300));
    EXPECT_EQ(grid.CalcAreaRightOfCol(2), CRect(150, 0, 400, 300));

    // A range wholly scrolled out of view has no rectangle.
    grid.SetTopRow(10, 0);
    EXPECT_EQ(grid.CalcCellRect(4, 1), CRect(0, 0, 0, 0));
    EXPECT_EQ(grid.CalcCellRect(10, 1), CRect(50, 20, 100, 40));
    // So has a cell below the screen of a grid scrolled far down, and finding that out measures
    // no row: every cell a Replace All changes is redrawn.
    struct CountingGrid : CGXGridCore {
        int GetRowHeight(ROWCOL nRow) override { return ++nMeasured, CGXGridCore::GetRowHeight(nRow); }
        int nMeasured = 0;
    } deep;
    SetUpGrid(deep, 100000, 3);
    deep.SetTopRow(90000, 0);
    ASSERT_EQ(deep.GetLastVisibleRow(), 90014u);
    deep.nMeasured = 0;
    EXPECT_EQ(deep.CalcCellRect(95000, 1), CRect(0, 0, 0, 0));
    EXPECT_EQ(deep.nMeasured, 0);

    // The kept running position gives the same rectangles as a sum from the top.
    CRect a, b;
    grid.CalcClientCellRect(a, 3, 2);
    for (ROWCOL i = 3; i < 8; ++i) {
        grid.CalcNextClientCellRect(a, i, 2);
        CRect fresh;
        grid.CalcClientCellRect(fresh, i, 2);
        grid.CalcClientCellRect(b, i, 2);
        EXPECT_EQ(a, b) << i;
    }
}

TEST_F(GridDrawTest, PointsMapToClientCellsAndTheLastVisibleRow)
{
    CGXGridCore grid;
    SetUpGrid(grid, 5, 3);
    // Rows: 0..20, 20..40, ... 100..120; columns 0..50 ... 150..200.
    EXPECT_EQ(grid.CalcClientColFromPt(CPoint(-5, 10)), 0u);
    EXPECT_EQ(grid.CalcClientColFromPt(CPoint(49, 10)), 0u);
    EXPECT_EQ(grid.CalcClientColFromPt(CPoint(50, 10)), 1u);
    EXPECT_EQ(grid.CalcClientColFromPt(CPoint(200, 10)), 3u); // on the last column's right edge
    EXPECT_EQ(grid.CalcClientColFromPt(CPoint(201, 10)), GX_INVALID);
    int top = -1;
    EXPECT_EQ(grid.CalcClientRowFromPt(CPoint(0, 65), &top), 3u);
    EXPECT_EQ(top, 60);
    Hidden(grid).m_rows.insert(2);
    // A hidden row is never the row under a point.
    EXPECT_EQ(grid.CalcClientRowFromPt(CPoint(0, 40)), 3u);
    Hidden(grid).m_rows.clear();

    ROWCOL r, c;
    EXPECT_FALSE(grid.CalcClientRowColFromPt(CPoint(-1, 5), r, c));
    EXPECT_EQ(r, 0u);
    EXPECT_EQ(c, 0u);
    CRect rect;
    ASSERT_TRUE(grid.CalcClientRowColFromPt(CPoint(75, 45), r, c, &rect));
    EXPECT_EQ(rect, CRect(50, 40, 100, 60));
    EXPECT_FALSE(grid.CalcClientRowColFromPt(CPoint(300, 200), r, c));
    EXPECT_TRUE(grid.CalcClientRowColFromPtClamped(CPoint(300, 200), r, c));
    EXPECT_EQ(r, 5u);
    EXPECT_EQ(c, 3u);

    // The rows end inside the rectangle: the last row is the row count.
    BOOL bEnd = FALSE;
    EXPECT_EQ(grid.CalcLastVisibleRowEx(CRect(0, 0, 400, 300), bEnd), 5u);
    EXPECT_TRUE(bEnd);
    EXPECT_EQ(grid.CalcLastVisibleRowEx(CRect(0, 0, 400, 70), bEnd), 3u);
    EXPECT_FALSE(bEnd);
}

TEST_F(GridDrawTest, HitTestFindsCellsHeadersAndResizeZones)
{
    CGXGridCore grid;
    SetUpGrid(grid, 5, 4);
    grid.SetHitTolerance(4);
    ROWCOL nRow = 0, nCol = 0;
    CRect rect;
    EXPECT_EQ(grid.HitTest(CPoint(75, 45), &nRow, &nCol, &rect), 3);
    EXPECT_EQ(nRow, 2u);
    EXPECT_EQ(nCol, 1u);
    EXPECT_EQ(rect, CRect(50, 40, 100, 60));
    EXPECT_EQ(grid.HitTest(CPoint(75, 10), &nRow, &nCol), 4); // column header
    // On the right edge of a header column: its boundary. Just right of the next column's left
    // edge: still the boundary of the column before.
    EXPECT_EQ(grid.HitTest(CPoint(100, 10), &nRow, &nCol), 1);
    EXPECT_EQ(nCol, 1u);
    EXPECT_EQ(grid.HitTest(CPoint(101, 10), &nRow, &nCol), 1);
    EXPECT_EQ(nCol, 1u);
    // Inner cells do not resize with the default flags; the row header's boundary does.
    EXPECT_EQ(grid.HitTest(CPoint(100, 45), &nRow, &nCol), 3);
    EXPECT_EQ(grid.HitTest(CPoint(10, 60), &nRow, &nCol), 2);
    EXPECT_EQ(nRow, 2u);

    // After a hidden column: more than t/4 inside, the hidden column; closer, the visible one
    // before it.
    Hidden(grid).m_cols.insert(2);
    EXPECT_EQ(grid.HitTest(CPoint(102, 10), &nRow, &nCol), 7);
    EXPECT_EQ(nCol, 2u);
    EXPECT_EQ(grid.HitTest(CPoint(101, 10), &nRow, &nCol), 1);
    EXPECT_EQ(nCol, 1u);
    Hidden(grid).m_cols.clear();

    // Below the last row, the row count + 1; outside the grid rectangle, nothing.
    EXPECT_EQ(grid.HitTest(CPoint(75, 200), &nRow, &nCol), 0);
    EXPECT_EQ(nRow, 6u);
    EXPECT_EQ(grid.HitTest(CPoint(500, 10), &nRow, &nCol), 0);
}

TEST_F(GridDrawTest, SizeChangesAreUndoneAndRecordNothingInRollbackMode)
{
    CGXGridCore grid;
    SetUpGrid(grid, 10, 10);
    CGXGridParam* pParam = grid.GetParam();
    ASSERT_TRUE(grid.SetColWidth(3, 4, 80, nullptr, 0, 0));
    EXPECT_EQ(grid.GetColWidth(3), 80);
    EXPECT_EQ(grid.GetColWidth(4), 80);
    EXPECT_EQ(pParam->m_UndoList.GetCount(), 1);
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(grid.GetColWidth(3), 50);
    EXPECT_EQ(grid.GetColWidth(4), 50);
    ASSERT_TRUE(grid.Redo());
    EXPECT_EQ(grid.GetColWidth(4), 80);

    const INT_PTR nBefore = pParam->m_UndoList.GetCount();
    ASSERT_TRUE(grid.SetRowHeight(2, 2, 33, nullptr, 0, 1));
    EXPECT_EQ(pParam->m_UndoList.GetCount(), nBefore);
    pParam->EnableUndo(FALSE);
    ASSERT_TRUE(grid.SetRowHeight(2, 2, 34, nullptr, 0, 0));
    EXPECT_EQ(pParam->m_UndoList.GetCount(), nBefore);
    pParam->EnableUndo(TRUE);

    ASSERT_TRUE(grid.SetDefaultRowHeight(25, 0, 0));
    EXPECT_EQ(grid.GetRowHeight(5), 25);
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(grid.GetRowHeight(5), 20);
    EXPECT_FALSE(grid.SetRowHeight(5, 4, 10, nullptr, 0, 0)); // first after last
}

namespace {
// A standard font that measures more than 1000 pixels, as a printer or a huge zoom gives.
class HugeFontGrid : public CGXGridCore {
public:
    void MeasureFont(CDC*, int& nWidth, int& nHeight) override
    {
        nWidth = 1200;
        nHeight = 1500;
    }
};
} // namespace

TEST_F(GridDrawTest, AFontTallerThanAThousandPixelsStillStoresSizes)
{
    // The factor 1000 div h would be 0: sizes must neither divide by zero nor read back as
    // nothing.
    HugeFontGrid grid;
    SetUpGrid(grid, 10, 10);
    grid.CalcFontMetrics();
    ASSERT_EQ(grid.GetFontHeight(), 1500);
    ASSERT_TRUE(grid.StoreRowHeight(2, 37));
    EXPECT_EQ(grid.GetRowHeight(2), 37);
    ASSERT_TRUE(grid.StoreDefaultColWidth(90));
    EXPECT_EQ(grid.GetColWidth(5), 90);
}
