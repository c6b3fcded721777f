#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/features/CGXGridCoveredCellsImp.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"

#include <random>
#include <vector>

namespace {

class CoveredCellsFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        CGXGridCoveredCellsImp::Install(pGrid);
    }
};

class CoveredCellsTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        InitGridLibrary(new CoveredCellsFactory);
    }
    void TearDown() override
    {
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    static void SetUpGrid(CGXGridCore& grid, ROWCOL nRows, ROWCOL nCols)
    {
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(nRows, 0);
        grid.SetColCount(nCols, 0);
        grid.StoreDefaultRowHeight(20);
        grid.StoreDefaultColWidth(50);
        const CRect rect(0, 0, 400, 300);
        grid.SetGridRect(TRUE, &rect);
        grid.GetParam()->EnableUndo(TRUE);
    }
    // The covering of a cell, or the invalid default range.
    static CGXRange Covering(CGXGridCore& grid, ROWCOL nRow, ROWCOL nCol)
    {
        CGXRange range;
        return grid.FindCoveredSpan(nRow, nCol, range) != nullptr ? range : CGXRange();
    }
};

} // namespace

TEST_F(CoveredCellsTest, BlocksGrowInPlaceButNeverCrossOrShrinkWithoutRemoval)
{
    CGXGridCore grid;
    SetUpGrid(grid, 20, 10);
    ASSERT_NE(grid.m_pCoveredCellsImp, nullptr);

    EXPECT_FALSE(grid.SetCoveredCellsRowCol(2, 2, 2, 2)); // nothing covers (2,2): nothing to remove
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(1, 1, 3, 3));
    EXPECT_EQ(Covering(grid, 3, 2), CGXRange(1, 1, 3, 3));
    EXPECT_EQ(Covering(grid, 4, 2), CGXRange());

    EXPECT_FALSE(grid.SetCoveredCellsRowCol(2, 2, 4, 4)); // crosses the block
    EXPECT_EQ(Covering(grid, 4, 4), CGXRange());
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(8, 3, 8, 5));
    EXPECT_FALSE(grid.SetCoveredCellsRowCol(7, 3, 9, 6)); // holds that block whole
    EXPECT_EQ(Covering(grid, 7, 3), CGXRange());
    EXPECT_EQ(Covering(grid, 8, 4), CGXRange(8, 3, 8, 5));
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(8, 3, 8, 3));

    ASSERT_TRUE(grid.SetCoveredCellsRowCol(1, 1, 5, 5)); // grows in place
    EXPECT_EQ(grid.GetParam()->m_CoveredCellsList.GetCount(), 1);
    EXPECT_EQ(Covering(grid, 5, 5), CGXRange(1, 1, 5, 5));
    EXPECT_FALSE(grid.SetCoveredCellsRowCol(1, 1, 2, 2)); // shrinking needs a removal first

    ASSERT_TRUE(grid.SetCoveredCellsRowCol(1, 1, 1, 1)); // one cell: removes
    EXPECT_EQ(Covering(grid, 3, 3), CGXRange());
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(1, 1, 2, 2));
    EXPECT_EQ(Covering(grid, 2, 2), CGXRange(1, 1, 2, 2));

    CGXRange range(2, 2, 2, 5);
    EXPECT_TRUE(grid.AddCoveredCellsToRange(range));
    EXPECT_EQ(range, CGXRange(1, 1, 2, 5));
}

TEST_F(CoveredCellsTest, UndoAndRedoRestoreTheExtentsAndTheCurrentCellMovesToTheTopLeft)
{
    CGXGridCore grid;
    SetUpGrid(grid, 20, 10);
    ASSERT_TRUE(grid.SetCurrentCell(2, 3));
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(1, 1, 3, 3));
    ROWCOL nRow = 0, nCol = 0;
    ASSERT_TRUE(grid.GetCurrentCell(nRow, nCol));
    EXPECT_EQ(nRow, 1u);
    EXPECT_EQ(nCol, 1u);

    ASSERT_TRUE(grid.SetCoveredCellsRowCol(1, 1, 4, 6));
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Covering(grid, 2, 2), CGXRange(1, 1, 3, 3));
    EXPECT_EQ(Covering(grid, 4, 6), CGXRange());
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Covering(grid, 2, 2), CGXRange());
    EXPECT_TRUE(grid.GetParam()->m_CoveredCellsList.IsEmpty());
    ASSERT_TRUE(grid.Redo());
    EXPECT_EQ(Covering(grid, 3, 3), CGXRange(1, 1, 3, 3));
    ASSERT_TRUE(grid.Redo());
    EXPECT_EQ(Covering(grid, 4, 6), CGXRange(1, 1, 4, 6));
}

TEST_F(CoveredCellsTest, RemovingRowsCutsBlocksBackOrDropsThemInOneUndoStep)
{
    CGXGridCore grid;
    SetUpGrid(grid, 20, 10);
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(1, 1, 4, 2));
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(3, 4, 6, 5)); // starts inside 3..5: dropped
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(8, 1, 9, 3)); // below: moves up
    ASSERT_TRUE(grid.RemoveRows(3, 5));
    EXPECT_EQ(Covering(grid, 2, 2), CGXRange(1, 1, 2, 2));
    EXPECT_EQ(Covering(grid, 3, 1), CGXRange());
    EXPECT_EQ(Covering(grid, 3, 4), CGXRange());
    EXPECT_EQ(Covering(grid, 5, 2), CGXRange(5, 1, 6, 3));

    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Covering(grid, 4, 2), CGXRange(1, 1, 4, 2));
    EXPECT_EQ(Covering(grid, 6, 5), CGXRange(3, 4, 6, 5));
    EXPECT_EQ(Covering(grid, 9, 3), CGXRange(8, 1, 9, 3));
    EXPECT_EQ(grid.GetParam()->m_CoveredCellsList.GetCount(), 3);
}

// A block whose rows all move by one amount travels whole; one the move would pull apart is
// uncovered, in the same undo step. Undo gives every block back its old extent.
TEST_F(CoveredCellsTest, MovesCarryWholeBlocksUncoverTornOnesAndUndoRestoresThem)
{
    CGXGridCore grid;
    SetUpGrid(grid, 10, 8);
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(2, 1, 3, 2));  // the moved rows: goes with them
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(4, 4, 6, 5));  // rows passed over: up by two
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(9, 6, 10, 7)); // row 9 goes up, row 10 stays: torn
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(3, 7, 5, 8));  // row 3 moves, 4..5 go up: torn
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(1, 4, 1, 5));  // above: stays
    const INT_PTR nSteps = grid.GetParam()->m_UndoList.GetCount();
    ASSERT_TRUE(grid.MoveRows(2, 3, 8));
    EXPECT_EQ(grid.GetParam()->m_UndoList.GetCount(), nSteps + 1); // one step
    EXPECT_EQ(Covering(grid, 9, 2), CGXRange(8, 1, 9, 2));
    EXPECT_EQ(Covering(grid, 3, 5), CGXRange(2, 4, 4, 5));
    EXPECT_EQ(Covering(grid, 10, 7), CGXRange());
    EXPECT_EQ(Covering(grid, 3, 8), CGXRange());
    EXPECT_EQ(Covering(grid, 1, 5), CGXRange(1, 4, 1, 5));
    EXPECT_EQ(grid.GetParam()->m_CoveredCellsList.GetCount(), 3);

    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Covering(grid, 3, 2), CGXRange(2, 1, 3, 2));
    EXPECT_EQ(Covering(grid, 6, 4), CGXRange(4, 4, 6, 5));
    EXPECT_EQ(Covering(grid, 10, 6), CGXRange(9, 6, 10, 7));
    EXPECT_EQ(Covering(grid, 5, 8), CGXRange(3, 7, 5, 8));
    EXPECT_EQ(Covering(grid, 1, 5), CGXRange(1, 4, 1, 5));
    EXPECT_EQ(grid.GetParam()->m_CoveredCellsList.GetCount(), 5);
    ASSERT_TRUE(grid.Redo());
    EXPECT_EQ(Covering(grid, 8, 1), CGXRange(8, 1, 9, 2));
    EXPECT_EQ(Covering(grid, 9, 6), CGXRange());
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Covering(grid, 2, 1), CGXRange(2, 1, 3, 2));
    EXPECT_EQ(Covering(grid, 9, 6), CGXRange(9, 6, 10, 7));

    // Columns alike. A block holding every column that changes place keeps its cells, which
    // only change order inside it.
    ASSERT_TRUE(grid.SetCoveredCellsRowCol(7, 2, 8, 6));
    ASSERT_TRUE(grid.MoveCols(3, 3, 5));
    EXPECT_EQ(Covering(grid, 8, 6), CGXRange(7, 2, 8, 6));
    EXPECT_EQ(Covering(grid, 4, 3), CGXRange(4, 3, 6, 4));
    EXPECT_EQ(Covering(grid, 1, 3), CGXRange(1, 3, 1, 4));
    EXPECT_EQ(Covering(grid, 3, 8), CGXRange(3, 7, 5, 8));
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Covering(grid, 6, 5), CGXRange(4, 4, 6, 5));
    EXPECT_EQ(Covering(grid, 1, 5), CGXRange(1, 4, 1, 5));
    EXPECT_EQ(Covering(grid, 7, 2), CGXRange(7, 2, 8, 6));
    EXPECT_EQ(grid.GetParam()->m_CoveredCellsList.GetCount(), 6);
}

// Random covers and removals against a list of blocks checked cell by cell: the lookup always
// answers what the blocks say, and no two blocks ever share a cell.
TEST_F(CoveredCellsTest, LookupAgreesWithTheBlocksThroughRandomChanges)
{
    CGXGridCore grid;
    SetUpGrid(grid, 30, 12);
    grid.GetParam()->EnableUndo(FALSE);
    std::mt19937 rng(3);
    const auto pick = [&](ROWCOL lo, ROWCOL hi) { return std::uniform_int_distribution<ROWCOL>(lo, hi)(rng); };
    for (int step = 0; step < 150; ++step) {
        const ROWCOL r = pick(1, 25), c = pick(1, 10);
        if (step % 7 == 6) {
            const ROWCOL first = pick(1, 20);
            grid.RemoveRows(first, first + pick(0, 2));
            grid.InsertRows(1, 30 - grid.GetRowCount()); // keep the grid 30 rows high
        }
        else
            grid.SetCoveredCellsRowCol(r, c, r + pick(0, 3), c + pick(0, 2));
        for (ROWCOL row = 1; row <= 30; ++row) {
            for (ROWCOL col = 1; col <= 12; ++col) {
                int holders = 0;
                CGXRange holder;
                for (POSITION pos = grid.GetParam()->m_CoveredCellsList.GetHeadPosition(); pos != nullptr;) {
                    const CGXRange* p = grid.GetParam()->m_CoveredCellsList.GetNextRange(pos);
                    // A block that removals cut down to one cell covers nothing.
                    if (p->ContainsCell(row, col) && !(p->top == p->bottom && p->left == p->right)) {
                        ++holders;
                        holder = *p;
                    }
                }
                ASSERT_LE(holders, 1) << step << " last op " << (step % 7 == 6 ? "remove" : "cover") << " " << r << "," << c;
                ASSERT_EQ(Covering(grid, row, col), holders ? holder : CGXRange()) << step << " " << row << "," << col;
            }
        }
    }
}
