#include "grid/features/CGXGridResizeToFitImp.h"

#include "FeatureTestSupport.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/features/CGXGridFloatCellsImp.h"
#include "grid/features/CGXGridMergeCellsImp.h"
#include "platform/afx/app/CWinApp.h"
#include "tests/support/ProgressAtEveryTurn.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class ResizeToFitTest : public FeatureGridTest {
protected:
    void SetUp() override
    {
        FeatureGridTest::SetUp();
        m_pGrid = std::make_unique<CGXGridCore>();
        SetUpGrid(*m_pGrid, 20, 5, false);
        m_pGrid->GetParam()->EnableUndo(FALSE);
        m_pGrid->StoreDefaultRowHeight(20);
        m_pGrid->StoreDefaultColWidth(50);
        m_pGrid->SetValueRange(CGXRange(3, 2, 3, 2), "x", gxOverride, 0, 0);
        m_pGrid->SetValueRange(CGXRange(4, 2, 4, 2), "a rather longer text than fits", gxOverride, 0, 0);
        m_pGrid->GetParam()->EnableUndo(TRUE);
    }
    void TearDown() override
    {
        m_pGrid.reset();
        FeatureGridTest::TearDown();
    }
    void SetRect(int cx, int cy)
    {
        const CRect rect(0, 0, cx, cy);
        m_pGrid->SetGridRect(TRUE, &rect);
    }
    std::unique_ptr<CGXGridCore> m_pGrid;
};

TEST_F(ResizeToFitTest, FitsRowsAndColumnsToTheirContentsAndFlag8NeverShrinks)
{
    CGXGridCore& grid = *m_pGrid;
    SetRect(600, 400);
    ASSERT_NE(grid.m_pResizeToFitImp, nullptr);

    // A tall row shrinks to what its one line needs, and undo gives the old height back.
    grid.SetRowHeight(3, 3, 60, nullptr, 0, 0);
    ASSERT_TRUE(grid.ResizeRowHeightsToFit(CGXRange().SetRows(3, 3), TRUE, 0));
    const int nFitted = grid.GetRowHeight(3);
    EXPECT_GT(nFitted, 0);
    EXPECT_LT(nFitted, 60);
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(grid.GetRowHeight(3), 60);

    // With flag 8 the same fit leaves the taller row alone but still grows a short one.
    ASSERT_TRUE(grid.ResizeRowHeightsToFit(CGXRange().SetRows(3, 3), TRUE, GX_FIT_NOSHRINK));
    EXPECT_EQ(grid.GetRowHeight(3), 60);
    grid.SetRowHeight(3, 3, 2, nullptr, 0, 0);
    ASSERT_TRUE(grid.ResizeRowHeightsToFit(CGXRange().SetRows(3, 3), TRUE, GX_FIT_NOSHRINK));
    EXPECT_EQ(grid.GetRowHeight(3), nFitted);

    // A column grows to its longest text, and the short one beside shrinks; flag 8 keeps a
    // wide column as it is.
    ASSERT_TRUE(grid.ResizeColWidthsToFit(CGXRange().SetCols(2, 2), TRUE, 0));
    const int nWide = grid.GetColWidth(2);
    EXPECT_GT(nWide, 50);
    ASSERT_TRUE(grid.ResizeColWidthsToFit(CGXRange(3, 2, 3, 2), TRUE, GX_FIT_NOSHRINK));
    EXPECT_EQ(grid.GetColWidth(2), nWide);
    ASSERT_TRUE(grid.ResizeColWidthsToFit(CGXRange(3, 2, 3, 2), TRUE, 0));
    EXPECT_LT(grid.GetColWidth(2), nWide);
}

TEST_F(ResizeToFitTest, NeverGrowsPastTheWindowAndReleasesEverythingItTook)
{
    CGXGridCore& grid = *m_pGrid;
    // A window 30 pixels high under a 20-pixel header row leaves a row 30 - 20 - 1 = 9 pixels;
    // the header row itself may take 30 - 1.
    SetRect(600, 30);
    grid.SetValueRange(CGXRange(0, 2, 0, 2), "header", gxOverride, 0, 0);
    ASSERT_TRUE(grid.ResizeRowHeightsToFit(CGXRange().SetRows(4, 4), TRUE, 0));
    EXPECT_EQ(grid.GetRowHeight(4), 9);
    grid.SetRowHeight(0, 0, 5, nullptr, 0, 0);
    ASSERT_TRUE(grid.ResizeRowHeightsToFit(CGXRange().SetRows(0, 0), TRUE, 0));
    EXPECT_GT(grid.GetRowHeight(0), 5);
    EXPECT_LE(grid.GetRowHeight(0), 29);

    // Frozen rows count against the room of the rows below them.
    grid.SetRowHeight(0, 0, 10, nullptr, 0, 0);
    grid.SetFrozenRows(1, 0, 0, 0);
    SetRect(600, 40);
    ASSERT_TRUE(grid.ResizeRowHeightsToFit(CGXRange().SetRows(4, 4), TRUE, 0));
    EXPECT_EQ(grid.GetRowHeight(4), 40 - 10 - 20 - 1);

    // Each fit closes its own undo step: one undo takes back exactly the last fit.
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(grid.GetRowHeight(4), 9);
}

TEST_F(ResizeToFitTest, MergedAndFloatingCellsNotYetDrawnAreMeasuredAsTheSpansTheyMake)
{
    // A grid window not shown yet: nothing of it has been drawn.
    const HWND hTop = Make(WS_POPUP, 0, 0, 600, 400);
    CGXGridWnd grid;
    ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 400), CWnd::FromHandle(hTop), 1));
    SetUpGrid(grid, 20, 5, false);
    grid.GetParam()->EnableUndo(FALSE);
    grid.StoreDefaultColWidth(50);
    const char* text = "a text wider than two columns";
    // The width the text needs in a cell of its own.
    grid.SetValueRange(CGXRange(10, 5, 10, 5), text, gxOverride, 0, 0);
    ASSERT_TRUE(grid.ResizeColWidthsToFit(CGXRange(10, 5, 10, 5), TRUE, 0));
    const int nText = grid.GetColWidth(5);
    ASSERT_GT(nText, 100);

    // Two cells of equal text merged into one, and a text that floats over the empty cell
    // right of it; short texts below each column.
    CGXStyle merge;
    merge.SetMergeCell(GX_MERGE_HORIZONTAL | GX_MERGE_COMPVALUE);
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(6, 1, 6, 2), &merge, gxOverride, 0, nullptr, 0, gxDo));
    grid.SetValueRange(CGXRange(6, 1, 6, 2), text, gxOverride, 0, 0);
    static_cast<CGXGridMergeCellsImp*>(grid.m_pMergeCellsImp)->SetMergeCellsMode(&grid, 1, FALSE);
    CGXStyle floating;
    floating.SetFloatCell(TRUE).SetFloodCell(TRUE);
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(8, 3, 8, 4), &floating, gxOverride, 0, nullptr, 0, gxDo));
    grid.SetValueRange(CGXRange(8, 3, 8, 3), text, gxOverride, 0, 0);
    static_cast<CGXGridFloatCellsImp*>(grid.m_pFloatCellsImp)->SetFloatCellsMode(&grid, 1, FALSE);
    grid.SetValueRange(CGXRange(9, 1, 9, 4), "x", gxOverride, 0, 0);

    // The merged cells together take the text's width, the first of them no more than its own.
    ASSERT_TRUE(grid.ResizeColWidthsToFit(CGXRange(6, 1, 9, 2), TRUE, 0));
    EXPECT_LT(grid.GetColWidth(1), nText / 2) << "the first merged cell was measured alone";
    EXPECT_EQ(grid.SumColWidths(1, 2), nText);
    // The floating text leaves the column it starts in as narrow as its other cell needs.
    ASSERT_TRUE(grid.ResizeColWidthsToFit(CGXRange(8, 3, 9, 4), TRUE, 0));
    EXPECT_LT(grid.GetColWidth(3), nText / 2) << "the floating cell was measured alone";
    EXPECT_EQ(grid.SumColWidths(3, 4), nText);
    grid.DestroyWindow();
}

// The fit measures with the grid's font in the window's DC and selects the DC's own font back at
// its end. A work that looks at the queue at every cell runs the idle work each time, which frees
// the temporary objects, among them the one that stood for the DC's own font: the fit comes out
// as it does when it never looks, and selects the font back by what outlives that object.
TEST_F(ResizeToFitTest, FitsAlikeWhenTheWorkRunsTheIdleWorkAtEveryCell)
{
    const HWND hTop = Make(WS_POPUP | WS_VISIBLE, 0, 0, 600, 400);
    CGXGridWnd grid;
    ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 400), CWnd::FromHandle(hTop), 1));
    SetUpGrid(grid, 6, 3);
    grid.GetParam()->EnableUndo(FALSE);
    grid.StoreDefaultColWidth(20);
    grid.SetValueRange(CGXRange(4, 2, 4, 2), "a rather longer text than fits", gxOverride, 0, 0);
    const auto widths = [&] {
        std::vector<int> v;
        for (ROWCOL c = 1; c <= 3; ++c)
            v.push_back(grid.GetColWidth(c));
        return v;
    };
    const auto fit = [&] {
        grid.SetColWidth(1, 3, 20, nullptr, 0, 0);
        return grid.ResizeColWidthsToFit(CGXRange().SetCols(1, 3), TRUE, 0);
    };
    ASSERT_TRUE(fit());
    const std::vector<int> quiet = widths();
    ASSERT_GT(quiet[1], quiet[0]);

    CWinApp app("ResizeToFitTest");
    LookAtEveryTurn looks;
    ASSERT_TRUE(fit());
    EXPECT_GE(looks.Freed("Resizing Columns"), 3) << "the fit never ran the idle work";
    EXPECT_EQ(widths(), quiet);
    grid.DestroyWindow();
}

TEST_F(ResizeToFitTest, RefusesRangesOutsideTheGrid)
{
    CGXGridCore& grid = *m_pGrid;
    SetRect(600, 400);
    EXPECT_FALSE(grid.ResizeRowHeightsToFit(CGXRange(), TRUE, 0));
    EXPECT_FALSE(grid.ResizeRowHeightsToFit(CGXRange().SetRows(50, 60), TRUE, 0));
    EXPECT_EQ(grid.GetRowHeight(20), 20);
}

} // namespace
