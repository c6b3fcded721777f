#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/features/CGXGridCoveredCellsImp.h"
#include "grid/features/CGXGridHideCellsImp.h"
#include "grid/features/CGXGridMergeCellsImp.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"

#include <random>
#include <string>
#include <vector>

namespace {

class MergeCellsFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        CGXGridHideCellsImp::Install(pGrid);
        CGXGridCoveredCellsImp::Install(pGrid);
        CGXGridMergeCellsImp::Install(pGrid);
    }
};

class MergeCellsTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        InitGridLibrary(new MergeCellsFactory);
    }
    void TearDown() override
    {
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    static CGXGridMergeCellsImp& Merge(CGXGridCore& grid) { return *static_cast<CGXGridMergeCellsImp*>(grid.m_pMergeCellsImp); }
    // A grid whose cells all merge by equal values in both directions.
    static void SetUpGrid(CGXGridCore& grid, ROWCOL nRows, ROWCOL nCols, WORD wMode, UINT nMerge = GX_MERGE_HORIZONTAL | GX_MERGE_VERTICAL | GX_MERGE_COMPVALUE)
    {
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(nRows, 0);
        grid.SetColCount(nCols, 0);
        grid.StoreDefaultRowHeight(20);
        grid.StoreDefaultColWidth(50);
        const CRect rect(0, 0, 400, 300);
        grid.SetGridRect(TRUE, &rect);
        CGXStyle style;
        style.SetMergeCell(nMerge);
        grid.ApplyStyleToRange(CGXRange(1, 1, nRows, nCols), &style, gxOverride, 0, nullptr, GX_INVALIDATE, gxDo);
        Merge(grid).SetMergeCellsMode(&grid, wMode, FALSE);
    }
    static CGXRange Span(CGXGridCore& grid, ROWCOL nRow, ROWCOL nCol)
    {
        CGXRange range;
        return grid.FindCellSpan(nRow, nCol, range) != nullptr ? range : CGXRange(nRow, nCol, nRow, nCol);
    }
    static void Eval(CGXGridCore& grid)
    {
        Merge(grid).EvalMergeCells(&grid, CGXRange(0, 0, grid.GetRowCount(), grid.GetColCount()), nullptr, 0);
    }
    static void Set(CGXGridCore& grid, ROWCOL nRow, ROWCOL nCol, const char* value)
    {
        // FALSE when the value was there already; a change delays the spans around the cell.
        grid.SetValueRange(CGXRange(nRow, nCol, nRow, nCol), value);
    }
};

} // namespace

TEST_F(MergeCellsTest, EqualTextsMergeCaseSensitivelyAndAChangedMiddleSplitsARun)
{
    CGXGridCore grid;
    SetUpGrid(grid, 5, 6, 2, GX_MERGE_HORIZONTAL | GX_MERGE_COMPVALUE);
    Set(grid, 1, 1, "a");
    Set(grid, 1, 2, "a");
    Set(grid, 2, 1, "a");
    Set(grid, 2, 2, "A");
    Eval(grid);
    EXPECT_EQ(Span(grid, 1, 2), CGXRange(1, 1, 1, 2));
    EXPECT_EQ(Span(grid, 2, 2), CGXRange(2, 2, 2, 2));
    EXPECT_EQ(Span(grid, 2, 1), CGXRange(2, 1, 2, 1)); // no vertical flag: "a" over "a" stays apart

    Set(grid, 3, 2, "x");
    Set(grid, 3, 3, "x");
    Set(grid, 3, 4, "x");
    Eval(grid);
    EXPECT_EQ(Span(grid, 3, 3), CGXRange(3, 2, 3, 4));
    Set(grid, 3, 3, "y");
    Eval(grid);
    EXPECT_EQ(Span(grid, 3, 2), CGXRange(3, 2, 3, 2));
    EXPECT_EQ(Span(grid, 3, 3), CGXRange(3, 3, 3, 3));
    EXPECT_EQ(Span(grid, 3, 4), CGXRange(3, 4, 3, 4));
}

TEST_F(MergeCellsTest, DelayedModeWithoutHorizontalMergingFormsOnlyVerticalSpans)
{
    CGXGridCore grid;
    SetUpGrid(grid, 6, 4, 1 + GX_MERGE_NOHORZ);
    for (ROWCOL r = 1; r <= 3; ++r)
        for (ROWCOL c = 1; c <= 3; ++c)
            Set(grid, r, c, "v");
    Eval(grid);
    EXPECT_EQ(Span(grid, 2, 2), CGXRange(1, 2, 3, 2));
    EXPECT_EQ(Span(grid, 1, 1), CGXRange(1, 1, 3, 1));
}

TEST_F(MergeCellsTest, HiddenCellsInBetweenNeitherSplitNorLoop)
{
    CGXGridCore grid;
    SetUpGrid(grid, 4, 6, 1); // delayed: bit 0, hidden cells merge with anything
    Set(grid, 1, 1, "h");
    Set(grid, 1, 2, "h");
    Set(grid, 1, 4, "h");
    ASSERT_TRUE(grid.HideCols(3, 3));
    Eval(grid); // a hidden neighbour must not make the continuation go round for ever
    EXPECT_EQ(Span(grid, 1, 1).left, 1u);
    EXPECT_GE(Span(grid, 1, 1).right, 2u);
    EXPECT_LE(Span(grid, 1, 1).right, 4u);
    EXPECT_EQ(Span(grid, 1, 5), CGXRange(1, 5, 1, 5));
}

TEST_F(MergeCellsTest, InsertedAndRemovedRowsGiveTheRunsOfTheNewTable)
{
    for (WORD wMode : {WORD{1}, WORD{2}}) {
        CGXGridCore grid;
        SetUpGrid(grid, 8, 3, wMode, GX_MERGE_VERTICAL | GX_MERGE_COMPVALUE);
        for (ROWCOL r = 1; r <= 4; ++r)
            Set(grid, r, 1, "v");
        Eval(grid);
        ASSERT_EQ(Span(grid, 2, 1), CGXRange(1, 1, 4, 1));
        ASSERT_TRUE(grid.InsertRows(3, 1));
        // The new row 3 is empty and has no merging style: the run splits around it.
        Eval(grid);
        EXPECT_EQ(Span(grid, 1, 1), CGXRange(1, 1, 2, 1)) << wMode;
        EXPECT_EQ(Span(grid, 3, 1), CGXRange(3, 1, 3, 1)) << wMode;
        EXPECT_EQ(Span(grid, 5, 1), CGXRange(4, 1, 5, 1)) << wMode;
        ASSERT_TRUE(grid.RemoveRows(3, 3));
        Eval(grid);
        EXPECT_EQ(Span(grid, 4, 1), CGXRange(1, 1, 4, 1)) << wMode;
        EXPECT_EQ(Span(grid, 5, 1), CGXRange(5, 1, 5, 1)) << wMode;
    }
}

// Whatever the edits, both evaluation kinds give the maximal runs of equal, non-empty values.
TEST_F(MergeCellsTest, RandomEditsGiveTheRunsOfEqualValuesInBothModes)
{
    for (WORD wMode : {WORD{1}, WORD{2}}) {
        CGXGridCore grid;
        const ROWCOL R = 8, C = 7;
        SetUpGrid(grid, R, C, wMode, GX_MERGE_HORIZONTAL | GX_MERGE_COMPVALUE);
        std::vector<std::string> model((R + 1) * (C + 1));
        std::mt19937 rng(wMode * 11u);
        for (int step = 0; step < 120; ++step) {
            const ROWCOL r = 1 + rng() % R, c = 1 + rng() % C;
            const char* values[] = {"", "p", "q"};
            const char* v = values[rng() % 3];
            Set(grid, r, c, v);
            model[r * (C + 1) + c] = v;
            if (step % 5 != 4)
                continue;
            Eval(grid);
            for (ROWCOL row = 1; row <= R; ++row) {
                for (ROWCOL col = 1; col <= C; ++col) {
                    const std::string& here = model[row * (C + 1) + col];
                    ROWCOL left = col, right = col;
                    if (!here.empty()) {
                        while (left > 1 && model[row * (C + 1) + left - 1] == here)
                            --left;
                        while (right < C && model[row * (C + 1) + right + 1] == here)
                            ++right;
                    }
                    ASSERT_EQ(Span(grid, row, col), CGXRange(row, left, row, right))
                        << "mode " << wMode << " step " << step << " at " << row << "," << col;
                }
            }
        }
    }
}
