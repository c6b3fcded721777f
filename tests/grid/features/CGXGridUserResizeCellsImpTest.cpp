#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/features/CGXGridHideCellsImp.h"
#include "grid/features/CGXGridMarkEditHeaderImp.h"
#include "grid/features/CGXGridUserResizeCellsImp.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"

#include <memory>

namespace {

class ResizeFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        CGXGridHideCellsImp::Install(pGrid);
        CGXGridUserResizeCellsImp::Install(pGrid);
        CGXGridMarkEditHeaderImp::Install(pGrid);
    }
};

class ResizeTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        InitGridLibrary(new ResizeFactory);
        m_pGrid = std::make_unique<CGXGridCore>();
        m_pGrid->Initialize();
        m_pGrid->GetParam()->EnableUndo(FALSE);
        m_pGrid->SetRowCount(20, 0);
        m_pGrid->SetColCount(10, 0);
        m_pGrid->StoreDefaultRowHeight(20);
        m_pGrid->StoreDefaultColWidth(50);
        const CRect rect(0, 0, 600, 400);
        m_pGrid->SetGridRect(TRUE, &rect);
        m_pGrid->GetParam()->EnableUndo(TRUE);
    }
    void TearDown() override
    {
        m_pGrid.reset();
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    CGXGridUserResizeCellsImp& Resize() { return *static_cast<CGXGridUserResizeCellsImp*>(m_pGrid->m_pUserResizeCellsImp); }
    // Presses on the border after column nCol, whose right edge is at x, and lets go dx later.
    void DragColBorder(ROWCOL nCol, int x, int dx, int nHit = 1)
    {
        ASSERT_TRUE(Resize().StartTrackingOnHit(m_pGrid.get(), 0, CPoint(x, 10), nHit, 0, nCol));
        if (dx != 0)
            Resize().OnTrackingMouseMove(m_pGrid.get(), CPoint(x + dx / 2, 10));
        Resize().OnTrackingButtonUp(m_pGrid.get(), CPoint(x + dx, 10));
        EXPECT_FALSE(Resize().IsTracking());
    }
    std::unique_ptr<CGXGridCore> m_pGrid;
};

} // namespace

TEST_F(ResizeTest, DraggingABorderSizesHidesAndUndoes)
{
    CGXGridCore& grid = *m_pGrid;
    // Column 3 spans 150..200 (header column 0 is 50 wide too).
    DragColBorder(3, 200, 30);
    EXPECT_EQ(grid.GetColWidth(3), 80);
    EXPECT_EQ(grid.GetColWidth(4), 50);
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(grid.GetColWidth(3), 50);

    // A click, or a move under two pixels, changes nothing and records nothing.
    DragColBorder(3, 200, 0);
    DragColBorder(3, 200, 1);
    EXPECT_EQ(grid.GetColWidth(3), 50);
    ASSERT_TRUE(grid.Redo());
    EXPECT_EQ(grid.GetColWidth(3), 80);
    ASSERT_TRUE(grid.Undo());

    // Dragging past the column's left edge hides it; undo shows it again.
    DragColBorder(3, 200, -70);
    EXPECT_TRUE(grid.IsColHidden(3));
    EXPECT_EQ(grid.GetColWidth(3), 0);
    ASSERT_TRUE(grid.Undo());
    EXPECT_FALSE(grid.IsColHidden(3));
    EXPECT_EQ(grid.GetColWidth(3), 50);

    // Header columns are resized only with their permission bit.
    EXPECT_TRUE(Resize().StartTrackingOnHit(&grid, 0, CPoint(50, 10), 1, 0, 0));
    EXPECT_FALSE(Resize().IsTracking());
    grid.GetParam()->m_wAllowTrackColWidth |= 0x08;
    DragColBorder(0, 50, 10);
    EXPECT_EQ(grid.GetColWidth(0), 60);
}

TEST_F(ResizeTest, SelectedColumnsTakeTheNewWidthTogetherAndADoubleClickShowsHiddenOnes)
{
    CGXGridCore& grid = *m_pGrid;
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(CGXRange().SetCols(2, 4)));
    ASSERT_TRUE(grid.HideCols(3, 3));
    DragColBorder(2, 150, 20);
    for (ROWCOL c : {2u, 3u, 4u}) {
        EXPECT_EQ(grid.GetColWidth(c), 70) << c;
        EXPECT_FALSE(grid.IsColHidden(c)) << c;
    }
    EXPECT_EQ(grid.GetColWidth(5), 50);
    // One undo step brings back all three, the hidden one hidden.
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(grid.GetColWidth(2), 50);
    EXPECT_TRUE(grid.IsColHidden(3));

    // A double click on the border after hidden columns 6..7 shows both.
    grid.GetParam()->m_SelRects.DeleteAll();
    ASSERT_TRUE(grid.HideCols(6, 7));
    ASSERT_TRUE(Resize().ResetSizeOnDoubleClick(&grid, 0, CPoint(), 7, 0, 7));
    EXPECT_FALSE(grid.IsColHidden(6));
    EXPECT_FALSE(grid.IsColHidden(7));
    // On a visible column it resets the width to the default.
    ASSERT_TRUE(grid.SetColWidth(8, 8, 90, nullptr, GX_UPDATENOW, 0));
    ASSERT_TRUE(Resize().ResetSizeOnDoubleClick(&grid, 0, CPoint(), 1, 0, 8));
    EXPECT_EQ(grid.GetColWidth(8), 50);
}

TEST_F(ResizeTest, LiveResizingFollowsTheMouseAndCancelRestores)
{
    CGXGridCore& grid = *m_pGrid;
    grid.GetParam()->m_wAllowTrackRowHeight |= 0x100;
    // Row 2 spans 40..60.
    ASSERT_TRUE(Resize().StartTrackingOnHit(&grid, 0, CPoint(10, 60), 2, 2, 0));
    int nMode = 0;
    ROWCOL nIndex = 0;
    EXPECT_TRUE(grid.GetResizeTrackingState(nMode, nIndex));
    EXPECT_EQ(nMode, 1);
    EXPECT_EQ(nIndex, 2u);
    Resize().OnTrackingMouseMove(&grid, CPoint(10, 75));
    EXPECT_EQ(grid.GetRowHeight(2), 35);
    Resize().CancelTracking(&grid);
    EXPECT_EQ(grid.GetRowHeight(2), 20);
    EXPECT_FALSE(grid.GetResizeTrackingState(nMode, nIndex));

    // Ended, the live size becomes one undoable change from the size before the drag.
    ASSERT_TRUE(Resize().StartTrackingOnHit(&grid, 0, CPoint(10, 60), 2, 2, 0));
    Resize().OnTrackingMouseMove(&grid, CPoint(10, 70));
    Resize().OnTrackingButtonUp(&grid, CPoint(10, 72));
    EXPECT_EQ(grid.GetRowHeight(2), 32);
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(grid.GetRowHeight(2), 20);

    // A hidden row shows while it is dragged open; let go where it began, it is hidden again,
    // and one opened for good is hidden again by its undo.
    grid.HideRows(3, 3, TRUE);
    ASSERT_TRUE(Resize().StartTrackingOnHit(&grid, 0, CPoint(10, 60), 2, 3, 0));
    Resize().OnTrackingMouseMove(&grid, CPoint(10, 70));
    EXPECT_FALSE(grid.IsRowHidden(3));
    Resize().OnTrackingButtonUp(&grid, CPoint(10, 60));
    EXPECT_TRUE(grid.IsRowHidden(3)) << "a drag that changed nothing left the row shown";
    ASSERT_TRUE(Resize().StartTrackingOnHit(&grid, 0, CPoint(10, 60), 2, 3, 0));
    Resize().OnTrackingMouseMove(&grid, CPoint(10, 70));
    Resize().OnTrackingButtonUp(&grid, CPoint(10, 75));
    EXPECT_FALSE(grid.IsRowHidden(3));
    EXPECT_EQ(grid.GetRowHeight(3), 15);
    ASSERT_TRUE(grid.Undo());
    EXPECT_TRUE(grid.IsRowHidden(3)) << "the undo did not hide the row again";
}

TEST_F(ResizeTest, TheMarkerKeepsClearOfTheEdgeAndTheSmallestDragSizeHolds)
{
    CGXGridCore& grid = *m_pGrid;
    // Column 10 spans 500..550 and the grid ends at 600: the marker stops 6 pixels short.
    ASSERT_TRUE(Resize().StartTrackingOnHit(&grid, 0, CPoint(550, 10), 1, 0, 10));
    // The edge the size is measured from and the line at the border itself.
    EXPECT_EQ(Resize().GetStartMarker(), CRect(500, 20, 501, 400));
    EXPECT_TRUE(Resize().GetMovingMarker().IsRectEmpty());
    Resize().OnTrackingMouseMove(&grid, CPoint(700, 10));
    EXPECT_EQ(Resize().GetMovingMarker(), CRect(594, 20, 595, 400));
    Resize().OnTrackingButtonUp(&grid, CPoint(700, 10));
    EXPECT_EQ(grid.GetColWidth(10), 94);
    EXPECT_TRUE(Resize().GetStartMarker().IsRectEmpty());

    // A smallest drag size raises what the drag asks for.
    grid.GetParam()->m_nMinTrackColWidth = 30;
    DragColBorder(3, 200, -40);
    EXPECT_EQ(grid.GetColWidth(3), 30);
    // Rows have their own.
    grid.GetParam()->m_nMinTrackRowHeight = 25;
    ASSERT_TRUE(Resize().StartTrackingOnHit(&grid, 0, CPoint(10, 60), 2, 2, 0));
    Resize().OnTrackingMouseMove(&grid, CPoint(10, 45));
    EXPECT_EQ(Resize().GetMovingMarker().top, 65);
    Resize().OnTrackingButtonUp(&grid, CPoint(10, 45));
    EXPECT_EQ(grid.GetRowHeight(2), 25);
}

TEST_F(ResizeTest, TheResizedColumnsHeaderIsMarkedWhileDraggingAndFocusLossCancels)
{
    CGXGridCore& grid = *m_pGrid;
    auto* pMark = static_cast<CGXGridMarkEditHeaderImp*>(grid.m_pMarkEditHeaderImp);
    grid.GetParam()->m_wAllowTrackColWidth &= static_cast<WORD>(~0x10);
    ASSERT_TRUE(Resize().StartTrackingOnHit(&grid, 0, CPoint(200, 10), 1, 0, 3));
    EXPECT_TRUE(pMark->IsHeaderMarked(&grid, nullptr, 0, 3));
    EXPECT_FALSE(pMark->IsHeaderMarked(&grid, nullptr, 0, 4));
    Resize().OnTrackingMouseMove(&grid, CPoint(230, 10));
    // Losing the focus puts the border back.
    grid.HandleKillFocus(nullptr);
    EXPECT_FALSE(Resize().IsTracking());
    EXPECT_FALSE(pMark->IsHeaderMarked(&grid, nullptr, 0, 3));
    Resize().OnTrackingButtonUp(&grid, CPoint(230, 10));
    EXPECT_EQ(grid.GetColWidth(3), 50);

    // With bit 0x10, as every grid of the program has it, the header stays plain.
    grid.GetParam()->m_wAllowTrackColWidth |= 0x10;
    ASSERT_TRUE(Resize().StartTrackingOnHit(&grid, 0, CPoint(200, 10), 1, 0, 3));
    EXPECT_FALSE(pMark->IsHeaderMarked(&grid, nullptr, 0, 3));
    grid.HandleCancelMode();
    EXPECT_FALSE(Resize().IsTracking());
}
