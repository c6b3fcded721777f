#include "grid/features/CGXGridExcelLikeFillImp.h"
#include "grid/features/CGXGridExcelLikeFrameImp.h"

#include "FeatureTestSupport.h"
#include "grid/data/CGXGridModel.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRangeList.h"
#include "grid/data/CGXStyle.h"
#include "platform/afx/gdi/CDC.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class FillTest : public FeatureGridTest {
protected:
    void SetUp() override
    {
        FeatureGridTest::SetUp();
        m_pGrid = std::make_unique<CGXGridCore>();
        SetUpGrid(*m_pGrid, 20, 5);
        m_pGrid->StoreDefaultRowHeight(20);
        m_pGrid->StoreDefaultColWidth(50);
        const CRect rect(0, 0, 600, 500);
        m_pGrid->SetGridRect(TRUE, &rect);
        m_pGrid->GetParam()->m_wFillMode = GX_FILL_VALUES;
        m_pGrid->GetParam()->m_bFrame = TRUE;
        m_pGrid->GetParam()->m_bFillHandle = TRUE;
    }
    void TearDown() override
    {
        m_pGrid.reset();
        FeatureGridTest::TearDown();
    }
    CGXGridExcelLikeFillImp& Fill() { return *static_cast<CGXGridExcelLikeFillImp*>(m_pGrid->m_pExcelLikeFillImp); }
    CString Value(ROWCOL r, ROWCOL c) { return m_pGrid->GetStoredCellValue(r, c); }
    // A point in the cell, at its middle pushed by (dx, dy).
    CPoint In(ROWCOL r, ROWCOL c, int dx = 0, int dy = 0)
    {
        const CRect rect = m_pGrid->CalcClientRectOfRange(r, c, r, c);
        return CPoint((rect.left + rect.right) / 2 + dx, (rect.top + rect.bottom) / 2 + dy);
    }
    // Selects the block and drags its handle from (nRow, nCol) to the point over (nToRow, nToCol).
    void DragHandle(const CGXRange& block, ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, CPoint pt)
    {
        m_pGrid->SetSelection(nullptr, block.top, block.left, block.bottom, block.right);
        ASSERT_TRUE(Fill().StartFill(m_pGrid.get(), 0, In(nRow, nCol), nRow, nCol));
        EXPECT_TRUE(m_pGrid->GetMouseFlags() & GX_MOUSE_FILL);
        Fill().TrackFill(m_pGrid.get(), pt, 0, nToRow, nToCol);
        Fill().EndFill(m_pGrid.get());
        EXPECT_FALSE(m_pGrid->GetMouseFlags() & GX_MOUSE_FILL);
        EXPECT_FALSE(m_pGrid->IsFillInProgress());
    }
    std::unique_ptr<CGXGridCore> m_pGrid;
};

TEST_F(FillTest, OneCellDraggedFourDownRepeatsItAndUndoesInOneStep)
{
    ASSERT_NE(m_pGrid->m_pExcelLikeFillImp, nullptr);
    // The point lies past the middle of row 6: row 6 counts.
    DragHandle(CGXRange(2, 2, 2, 2), 2, 2, 6, 2, In(6, 2, 0, 2));
    for (ROWCOL r = 2; r <= 6; ++r)
        EXPECT_EQ(Value(r, 2), "2.2") << r;
    EXPECT_EQ(Value(7, 2), "7.2");
    EXPECT_EQ(Value(3, 1), "3.1");
    // The filled block is the selection now.
    const CGXRangeList& sel = m_pGrid->GetParam()->m_SelRects;
    ASSERT_EQ(sel.GetCount(), 1);
    const CGXRange* pSel = sel.GetRangeAt(sel.GetTailPosition());
    EXPECT_TRUE(pSel->top == 2 && pSel->bottom == 6 && pSel->left == 2 && pSel->right == 2);

    ASSERT_TRUE(m_pGrid->Undo());
    for (ROWCOL r = 3; r <= 6; ++r)
        EXPECT_EQ(Value(r, 2), FeatureGridTest::Label(r, 2)) << r;

    // Short of the middle of row 6 only rows 3 to 5 are taken.
    DragHandle(CGXRange(2, 2, 2, 2), 2, 2, 6, 2, In(6, 2, 0, -3));
    EXPECT_EQ(Value(5, 2), "2.2");
    EXPECT_EQ(Value(6, 2), "6.2");
}

TEST_F(FillTest, UpwardsTheTargetsTopRowRepeatsTheSourcesFirst)
{
    // Rows 5-6 dragged up to row 2: rows 2, 3, 4 take 5, 6, 5.
    DragHandle(CGXRange(5, 2, 6, 3), 6, 3, 2, 3, In(2, 3, 0, -2));
    EXPECT_EQ(Value(2, 2), "5.2");
    EXPECT_EQ(Value(3, 2), "6.2");
    EXPECT_EQ(Value(4, 3), "5.3");
    EXPECT_EQ(Value(5, 2), "5.2");
    EXPECT_EQ(Value(1, 2), "1.2");
    EXPECT_EQ(Value(4, 4), "4.4");

    // Dragged past the top of the grid the fill stops at row 1: the header keeps its text.
    const CString sHeader = m_pGrid->GetCellValue(0, 4);
    DragHandle(CGXRange(3, 4, 3, 4), 3, 4, 0, 4, CPoint(In(1, 4).x, -15));
    EXPECT_EQ(Value(1, 4), "3.4");
    EXPECT_EQ(Value(2, 4), "3.4");
    EXPECT_EQ(m_pGrid->GetCellValue(0, 4), sHeader);

    // Sideways the same: columns 1-2 of row 8 stretched to column 5 repeat 1, 2, 1.
    DragHandle(CGXRange(8, 1, 8, 2), 8, 2, 8, 5, In(8, 5, 5, 0));
    EXPECT_EQ(Value(8, 3), "8.1");
    EXPECT_EQ(Value(8, 4), "8.2");
    EXPECT_EQ(Value(8, 5), "8.1");
}

TEST_F(FillTest, CancelModeInTheMiddleOfTheDragFillsNothing)
{
    m_pGrid->SetSelection(nullptr, 2, 2, 2, 2);
    ASSERT_TRUE(Fill().StartFill(m_pGrid.get(), 0, In(2, 2), 2, 2));
    Fill().TrackFill(m_pGrid.get(), In(6, 2, 0, 2), 0, 6, 2);
    EXPECT_TRUE(Fill().Target().bottom == 6);
    m_pGrid->HandleCancelMode();
    EXPECT_EQ(m_pGrid->GetMouseFlags() & GX_MOUSE_FILL, 0u);
    EXPECT_FALSE(Fill().Source().IsValid());
    EXPECT_EQ(Value(4, 2), "4.2");
    const CGXRangeList& sel = m_pGrid->GetParam()->m_SelRects;
    ASSERT_EQ(sel.GetCount(), 1);
    EXPECT_TRUE(sel.GetRangeAt(sel.GetHeadPosition())->bottom == 2);
    EXPECT_TRUE(m_pGrid->GetParam()->m_UndoList.IsEmpty());
}

TEST_F(FillTest, ShrinkingClearsTheRowsGivenUp)
{
    // A 5-row block pulled back inside itself to 3 rows.
    DragHandle(CGXRange(2, 2, 6, 2), 6, 2, 4, 2, In(4, 2, 0, 3));
    EXPECT_EQ(Value(4, 2), "4.2");
    EXPECT_EQ(Value(5, 2), "");
    EXPECT_EQ(Value(6, 2), "");
    EXPECT_EQ(Value(7, 2), "7.2");
    ASSERT_TRUE(m_pGrid->Undo());
    EXPECT_EQ(Value(5, 2), "5.2");
    EXPECT_EQ(Value(6, 2), "6.2");
}

TEST_F(FillTest, RefusesBandsTheWrongShapeAndAModeWithoutBits)
{
    CGXGridCore& grid = *m_pGrid;
    // Whole columns and whole rows have no fill.
    grid.SetSelection(nullptr, 0, 2, 0, 2);
    grid.GetParam()->m_SelRects.DeleteAll();
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(CGXRange().SetCols(2, 2)));
    EXPECT_FALSE(Fill().StartFill(&grid, 0, In(3, 2), 3, 2));
    EXPECT_EQ(grid.GetMouseFlags() & GX_MOUSE_FILL, 0u);
    grid.GetParam()->m_SelRects.DeleteAll();
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(CGXRange().SetRows(3, 3)));
    EXPECT_FALSE(Fill().StartFill(&grid, 0, In(3, 2), 3, 2));
    // A cell outside every selected block starts nothing.
    EXPECT_FALSE(Fill().StartFill(&grid, 0, In(9, 2), 9, 2));

    // Targets that are not the source stretched along one axis change nothing.
    EXPECT_FALSE(Fill().FillCells(&grid, CGXRange().SetCols(2, 2), CGXRange(2, 2, 2, 2)));
    EXPECT_FALSE(Fill().FillCells(&grid, CGXRange(2, 2, 5, 3), CGXRange(2, 2, 2, 2)));
    EXPECT_FALSE(Fill().FillCells(&grid, CGXRange(2, 2, 25, 2), CGXRange(2, 2, 2, 2)));
    grid.GetParam()->m_wFillMode = 0;
    EXPECT_FALSE(Fill().FillCells(&grid, CGXRange(2, 2, 5, 2), CGXRange(2, 2, 2, 2)));
    EXPECT_EQ(Value(3, 2), "3.2");
    EXPECT_TRUE(grid.GetParam()->m_UndoList.IsEmpty());
}

TEST_F(FillTest, StylesModeCarriesTheWholeStyleValuesModeOnlyTheText)
{
    CGXGridCore& grid = *m_pGrid;
    CGXStyle red;
    red.SetInterior(RGB(255, 0, 0));
    grid.GetParam()->EnableUndo(FALSE);
    grid.ApplyStyleToRange(CGXRange(2, 2, 2, 2), &red, gxOverride, 0, nullptr, 0, gxDo);
    grid.GetParam()->EnableUndo(TRUE);
    auto interior = [&](ROWCOL r) {
        CGXStyle style;
        grid.ComposeCellStyle(r, 2, style, FALSE);
        return style.GetInclude(GX_INCL_INTERIOR) ? style.GetInterior().GetColor() : COLORREF(~0u);
    };

    ASSERT_TRUE(Fill().FillCells(&grid, CGXRange(2, 2, 3, 2), CGXRange(2, 2, 2, 2)));
    EXPECT_EQ(Value(3, 2), "2.2");
    EXPECT_EQ(interior(3), COLORREF(~0u));

    grid.GetParam()->m_wFillMode = GX_FILL_STYLES;
    ASSERT_TRUE(Fill().FillCells(&grid, CGXRange(2, 2, 5, 2), CGXRange(2, 2, 2, 2)));
    EXPECT_EQ(Value(5, 2), "2.2");
    EXPECT_EQ(interior(5), RGB(255, 0, 0));
    // Shrinking in styles mode takes the whole style away.
    ASSERT_TRUE(Fill().FillCells(&grid, CGXRange(2, 2, 3, 2), CGXRange(2, 2, 5, 2)));
    EXPECT_EQ(interior(4), COLORREF(~0u));
    EXPECT_EQ(Value(4, 2), "");
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(interior(4), RGB(255, 0, 0));
}

TEST_F(FillTest, TheFrameFollowsTheNewestBlockWithItsHandleAtTheRightCorner)
{
    CGXGridCore& grid = *m_pGrid;
    auto& frame = *static_cast<CGXGridExcelLikeFrameImp*>(grid.m_pExcelLikeFrameImp);
    CGXRange range;
    int nHandle = -1;
    ASSERT_TRUE(CGXGridExcelLikeFrameImp::FrameRangeOf(&grid, CGXRange().SetCols(3, 3), range, nHandle));
    EXPECT_EQ(nHandle, CGXGridExcelLikeFrameImp::handleTopRight);
    EXPECT_TRUE(range.top == 1 && range.bottom == 20 && range.left == 3 && range.right == 3);
    ASSERT_TRUE(CGXGridExcelLikeFrameImp::FrameRangeOf(&grid, CGXRange().SetRows(4, 5), range, nHandle));
    EXPECT_EQ(nHandle, CGXGridExcelLikeFrameImp::handleBottomLeft);
    EXPECT_TRUE(range.left == 1 && range.right == 5);
    ASSERT_TRUE(CGXGridExcelLikeFrameImp::FrameRangeOf(&grid, CGXRange(2, 2, 3, 3), range, nHandle));
    EXPECT_EQ(nHandle, CGXGridExcelLikeFrameImp::handleBottomRight);

    grid.SetSelection(nullptr, 2, 2, 3, 3);
    // A selection set by the program moves the frame as well as one made with the mouse.
    EXPECT_TRUE(frame.FrameRange().top == 2 && frame.FrameRange().bottom == 3 && frame.FrameRange().right == 3);
    CRect rect;
    ASSERT_TRUE(grid.CalcSelectionFrameRect(rect));
    EXPECT_EQ(rect, grid.CalcClientRectOfRange(2, 2, 3, 3));
    // Hiding answers the state before; with the frame switch off there is no frame at all.
    EXPECT_FALSE(grid.LockSelectionFrame(TRUE));
    EXPECT_TRUE(grid.IsSelectionFrameHidden());
    EXPECT_FALSE(grid.CalcSelectionFrameRect(rect));
    EXPECT_TRUE(grid.LockSelectionFrame(FALSE));
    grid.GetParam()->m_bFrame = FALSE;
    EXPECT_FALSE(grid.CalcSelectionFrameRect(rect));
}

TEST_F(FillTest, TheFrameInvertsEachPixelOnceAndTwiceTakesItAway)
{
    HDC hScreen = GetDC(nullptr);
    HDC hMem = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, 60, 60);
    HGDIOBJ hOld = SelectObject(hMem, hBitmap);
    CDC dc;
    dc.Attach(hMem);
    const CRect all(0, 0, 60, 60);
    dc.FillSolidRect(&all, RGB(255, 255, 255));
    CGXGridExcelLikeFrameImp frame;
    const CRect rect(10, 10, 40, 30);
    frame.DrawFramePart(m_pGrid.get(), &dc, rect, all, TRUE, TRUE, CGXGridExcelLikeFrameImp::handleBottomRight, FALSE);
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    EXPECT_EQ(dc.GetPixel(10, 10), black);  // the corner of the band
    EXPECT_EQ(dc.GetPixel(9, 20), black);   // just outside the left edge
    EXPECT_EQ(dc.GetPixel(25, 20), white);  // inside the range
    EXPECT_EQ(dc.GetPixel(8, 20), white);   // beyond the band
    // The handle: its middle and its arms stay inverted where they cross the band.
    EXPECT_EQ(dc.GetPixel(40, 30), black);
    EXPECT_EQ(dc.GetPixel(40, 32), black);
    EXPECT_EQ(dc.GetPixel(42, 30), black);
    EXPECT_EQ(dc.GetPixel(42, 32), black);
    EXPECT_EQ(dc.GetPixel(43, 33), white);
    // Drawn again, everything is as before.
    frame.DrawFramePart(m_pGrid.get(), &dc, rect, all, TRUE, TRUE, CGXGridExcelLikeFrameImp::handleBottomRight, FALSE);
    int nBlack = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            nBlack += dc.GetPixel(x, y) != white;
    EXPECT_EQ(nBlack, 0);
    dc.Detach();
    SelectObject(hMem, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hMem);
    ReleaseDC(nullptr, hScreen);
}

} // namespace
