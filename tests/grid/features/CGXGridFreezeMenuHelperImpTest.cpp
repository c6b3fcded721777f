#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXStyle.h"
#include "grid/features/CGXGridFreezeMenuHelperImp.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/CException.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"

#include <string>
#include <vector>

namespace {

class FreezeFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        CGXGridFreezeMenuHelperImp::Install(pGrid);
    }
};

class FreezeTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        InitGridLibrary(new FreezeFactory);
    }
    void TearDown() override
    {
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    // Eight columns named by their starting numbers in row 1, or eight rows named "r1".."r8"
    // in column 1.
    static void Fill(CGXGridCore& grid, BOOL bCols = TRUE)
    {
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(8, 0);
        grid.SetColCount(8, 0);
        for (ROWCOL c = 1; c <= 8; ++c) {
            if (bCols)
                grid.SetValueRange(CGXRange(1, c, 1, c), std::to_string(c).c_str());
            else
                grid.SetValueRange(CGXRange(c, 1, c, 1), ("r" + std::to_string(c)).c_str());
        }
        grid.GetParam()->EnableUndo(TRUE);
    }
    static std::string Order(CGXGridCore& grid, BOOL bCols)
    {
        std::string s;
        for (ROWCOL i = 1; i <= 8; ++i) {
            CGXStyle style;
            grid.ComposeCellStyle(bCols ? 1 : i, bCols ? i : 1, style);
            s += style.GetValue().GetString();
            s += ' ';
        }
        return s;
    }
    static void Select(CGXGridCore& grid, const CGXRange& range)
    {
        grid.GetParam()->m_SelRects.DeleteAll();
        grid.GetParam()->m_SelRects.AddTail(new CGXRange(range));
    }
};

} // namespace

TEST_F(FreezeTest, ColumnsFiveAndSixGoToTheFrontAndBackAsOneUndoStepEach)
{
    CGXGridCore grid;
    Fill(grid);
    EXPECT_FALSE(grid.CanFreezeCols()); // nothing selected
    Select(grid, CGXRange().SetCols(5, 6));
    ASSERT_TRUE(grid.CanFreezeCols());
    grid.FreezeCols();
    EXPECT_EQ(Order(grid, TRUE), "5 6 1 2 3 4 7 8 ");
    EXPECT_EQ(grid.GetFrozenCols(), 2u);
    EXPECT_FALSE(grid.GetParam()->m_bLockUpdate);
    EXPECT_FALSE(grid.CanFreezeCols());
    ASSERT_TRUE(grid.CanUnfreezeCols());
    grid.UnfreezeCols();
    EXPECT_EQ(Order(grid, TRUE), "1 2 3 4 5 6 7 8 ");
    EXPECT_EQ(grid.GetFrozenCols(), 0u);

    // Undoing the unfreeze brings the frozen block back, and it can be unfrozen again.
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Order(grid, TRUE), "5 6 1 2 3 4 7 8 ");
    EXPECT_EQ(grid.GetFrozenCols(), 2u);
    grid.UnfreezeCols();
    EXPECT_EQ(Order(grid, TRUE), "1 2 3 4 5 6 7 8 ");

    // Undoing the freeze itself forgets the block: a later freeze by the program alone moves
    // nothing on unfreeze.
    Select(grid, CGXRange().SetCols(5, 6));
    grid.FreezeCols();
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Order(grid, TRUE), "1 2 3 4 5 6 7 8 ");
    EXPECT_EQ(grid.GetFrozenCols(), 0u);
    ASSERT_TRUE(grid.SetFrozenCols(2, 0));
    grid.UnfreezeCols();
    EXPECT_EQ(Order(grid, TRUE), "1 2 3 4 5 6 7 8 ");
    EXPECT_EQ(grid.GetFrozenCols(), 0u);
}

TEST_F(FreezeTest, StaleOrForeignFreezesMoveNothing)
{
    CGXGridCore grid;
    Fill(grid);
    // A block already at the front is frozen in place.
    Select(grid, CGXRange().SetCols(1, 2));
    grid.FreezeCols();
    EXPECT_EQ(Order(grid, TRUE), "1 2 3 4 5 6 7 8 ");
    EXPECT_EQ(grid.GetFrozenCols(), 2u);
    grid.UnfreezeCols();
    EXPECT_EQ(Order(grid, TRUE), "1 2 3 4 5 6 7 8 ");

    // Two separate blocks cannot be frozen.
    grid.GetParam()->m_SelRects.DeleteAll();
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(CGXRange().SetCols(2, 2)));
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(CGXRange().SetCols(5, 6)));
    EXPECT_FALSE(grid.CanFreezeCols());

    // The program changes the frozen count after a freeze by the menu: the block is not moved.
    Select(grid, CGXRange().SetCols(5, 6));
    grid.FreezeCols();
    ASSERT_TRUE(grid.SetFrozenCols(1, 0));
    grid.UnfreezeCols();
    EXPECT_EQ(Order(grid, TRUE), "5 6 1 2 3 4 7 8 ");
    EXPECT_EQ(grid.GetFrozenCols(), 0u);
    // And the triple is forgotten: freezing one column by hand and unfreezing moves nothing.
    ASSERT_TRUE(grid.SetFrozenCols(2, 0));
    grid.UnfreezeCols();
    EXPECT_EQ(Order(grid, TRUE), "5 6 1 2 3 4 7 8 ");

    // Columns removed after the freeze leave the remembered place outside the count.
    CGXGridCore other;
    Fill(other);
    Select(other, CGXRange().SetCols(7, 8));
    other.FreezeCols();
    EXPECT_EQ(Order(other, TRUE), "7 8 1 2 3 4 5 6 ");
    ASSERT_TRUE(other.RemoveCols(3, 6));
    other.UnfreezeCols();
    EXPECT_EQ(other.GetColCount(), 4u);
    EXPECT_EQ(other.GetFrozenCols(), 0u);
}

TEST_F(FreezeTest, RowsFreezeAndUnfreezeLikeColumns)
{
    CGXGridCore grid;
    Fill(grid, FALSE);
    Select(grid, CGXRange().SetRows(4, 4));
    ASSERT_TRUE(grid.CanFreezeRows());
    grid.FreezeRows();
    EXPECT_EQ(Order(grid, FALSE), "r4 r1 r2 r3 r5 r6 r7 r8 ");
    EXPECT_EQ(grid.GetFrozenRows(), 1u);
    grid.UnfreezeRows();
    EXPECT_EQ(Order(grid, FALSE), "r1 r2 r3 r4 r5 r6 r7 r8 ");
    EXPECT_EQ(grid.GetFrozenRows(), 0u);
    EXPECT_FALSE(grid.CanUnfreezeRows());
}

namespace {
// A grid whose column move is cancelled by the user half-way, as ESC does in a long move.
class CancelledMoveGrid : public CGXGridCore {
public:
    BOOL MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, int nMode) override
    {
        const BOOL bMoved = CGXGridCore::MoveCols(nFrom, nTo, nDest, nFlags, nMode);
        // Only the first move is cancelled: the rollback moves back through here too.
        if (m_bCancel) {
            m_bCancel = false;
            AfxThrowUserException();
        }
        return bMoved;
    }
    bool m_bCancel = true;
};
} // namespace

TEST_F(FreezeTest, ACancelledMoveLeavesNoLockAndNoHalfFreeze)
{
    CancelledMoveGrid grid;
    Fill(grid);
    Select(grid, CGXRange().SetCols(5, 6));
    bool bThrown = false;
    try {
        grid.FreezeCols();
    } catch (CUserException* e) {
        e->Delete();
        bThrown = true;
    }
    EXPECT_TRUE(bThrown);
    EXPECT_FALSE(grid.GetParam()->m_bLockUpdate);
    EXPECT_EQ(grid.GetFrozenCols(), 0u);
    EXPECT_EQ(Order(grid, TRUE), "1 2 3 4 5 6 7 8 "); // the move was rolled back
    EXPECT_EQ(grid.GetParam()->m_nLastFrozenCols[1], 0u);
}
