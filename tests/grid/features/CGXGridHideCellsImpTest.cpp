#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridMoveRowsColsImp.h"
#include "grid/data/CGXGridParam.h"
#include "grid/features/CGXGridHideCellsImp.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"

#include <random>
#include <vector>

namespace {

class HideCellsFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        CGXGridHideCellsImp::Install(pGrid);
    }
};

class HideCellsTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        InitGridLibrary(new HideCellsFactory);
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
};

std::vector<bool> Bits(const CByteArray& bits, ROWCOL n)
{
    std::vector<bool> v;
    for (ROWCOL i = 0; i < n; ++i)
        v.push_back(CGXGridHideCellsImp::GetBit(bits, i) != FALSE);
    return v;
}

} // namespace

TEST(HideBitSet, GrowsOnlyWhenSetAndShiftsOnInsertRemoveAndMove)
{
    CByteArray bits;
    EXPECT_FALSE(CGXGridHideCellsImp::GetBit(bits, 5000)); // past the end reads as shown
    CGXGridHideCellsImp::SetBit(bits, 5000, FALSE);
    EXPECT_EQ(bits.GetSize(), 0);
    CGXGridHideCellsImp::SetBit(bits, 1000, TRUE);
    EXPECT_EQ(bits.GetSize(), 126);
    EXPECT_TRUE(CGXGridHideCellsImp::GetBit(bits, 1000));
    EXPECT_FALSE(CGXGridHideCellsImp::GetBit(bits, 999));

    // Against a plain vector of flags, for random blocks of every operation.
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        CByteArray set;
        std::vector<bool> model(64);
        for (ROWCOL i = 0; i < 40; ++i) {
            const bool b = (rng() % 3) == 0;
            model[i] = b;
            CGXGridHideCellsImp::SetBit(set, i, b);
        }
        const ROWCOL nFrom = rng() % 30, nTo = nFrom + rng() % 5, nArg = rng() % 30;
        switch (round % 3) {
        case 0:
            CGXGridHideCellsImp::RemoveBits(set, nFrom, nTo);
            model.erase(model.begin() + nFrom, model.begin() + nTo + 1);
            break;
        case 1:
            CGXGridHideCellsImp::InsertBits(set, nFrom, nArg % 6);
            model.insert(model.begin() + nFrom, nArg % 6, false);
            break;
        default: {
            // The block lands with its first entry at the destination.
            if (nArg > 64 - (nTo - nFrom + 1))
                continue;
            std::vector<bool> block(model.begin() + nFrom, model.begin() + nTo + 1);
            model.erase(model.begin() + nFrom, model.begin() + nTo + 1);
            model.insert(model.begin() + nArg, block.begin(), block.end());
            CGXGridHideCellsImp::MoveBits(set, nFrom, nTo, nArg);
        }
        }
        model.resize(64);
        ASSERT_EQ(Bits(set, 64), model) << "round " << round;
    }
}

TEST_F(HideCellsTest, HidingGivesZeroSizesRecordsOneUndoStepAndIgnoresLaterRows)
{
    CGXGridCore grid;
    SetUpGrid(grid, 50, 10);
    // A last of 0 means the first alone.
    ASSERT_TRUE(grid.HideRows(5, 0));
    EXPECT_TRUE(grid.IsRowHidden(5));
    EXPECT_FALSE(grid.IsRowHidden(6));
    EXPECT_EQ(grid.GetRowHeight(5), 0);
    EXPECT_EQ(grid.GetRowHeight(6), 20);
    // Hiding what is hidden changes nothing and says so.
    EXPECT_FALSE(grid.HideRows(5, 5));

    ASSERT_TRUE(grid.HideCols(2, 4));
    EXPECT_EQ(grid.GetColWidth(3), 0);
    // A mixed block: undo must bring back exactly what was there.
    ASSERT_TRUE(grid.HideCols(1, 5, FALSE));
    EXPECT_FALSE(grid.IsColHidden(3));
    ASSERT_TRUE(grid.Undo());
    EXPECT_FALSE(grid.IsColHidden(1));
    EXPECT_TRUE(grid.IsColHidden(2));
    EXPECT_TRUE(grid.IsColHidden(4));
    EXPECT_FALSE(grid.IsColHidden(5));
    ASSERT_TRUE(grid.Undo());
    EXPECT_FALSE(grid.IsColHidden(3));
    EXPECT_EQ(grid.GetColWidth(3), 50);
    ASSERT_TRUE(grid.Redo());
    EXPECT_TRUE(grid.IsColHidden(3));

    // Past the last row there is nothing to hide; a block reaching to the last possible row
    // stops at the count instead of walking billions of entries.
    EXPECT_FALSE(grid.HideRows(51, 60));
    ASSERT_TRUE(grid.HideRows(40, GX_INVALID - 1));
    EXPECT_TRUE(grid.IsRowHidden(50));
    EXPECT_EQ(grid.GetParam()->m_abHideRow.GetSize(), 7);
    // A per-row state list shorter than the block is refused, not read past its end.
    CDWordArray states;
    states.Add(1);
    EXPECT_FALSE(grid.HideRows(1, 3, TRUE, &states));
    EXPECT_FALSE(grid.IsRowHidden(2));
}

TEST_F(HideCellsTest, HiddenStateTravelsWithInsertedRemovedAndMovedRows)
{
    CGXGridCore grid;
    SetUpGrid(grid, 20, 10);
    if (grid.m_pMoveRowsColsImp == nullptr) {
        auto* pMove = new CGXGridMoveRowsColsImp;
        grid.m_pMoveRowsColsImp = pMove;
        grid.AddAutoDeleteImp(pMove);
    }
    ASSERT_TRUE(grid.HideRows(2, 2));
    ASSERT_TRUE(grid.HideRows(9, 9));
    ASSERT_TRUE(grid.MoveRows(2, 3, 6));
    EXPECT_FALSE(grid.IsRowHidden(2));
    EXPECT_TRUE(grid.IsRowHidden(6));
    EXPECT_FALSE(grid.IsRowHidden(7));
    EXPECT_TRUE(grid.IsRowHidden(9));
    ASSERT_TRUE(grid.InsertRows(1, 2));
    EXPECT_TRUE(grid.IsRowHidden(8));
    EXPECT_TRUE(grid.IsRowHidden(11));
    ASSERT_TRUE(grid.RemoveRows(1, 8));
    EXPECT_TRUE(grid.IsRowHidden(3));
    EXPECT_FALSE(grid.IsRowHidden(8));
    // Undoing the removal moves the later hidden row back to its place.
    ASSERT_TRUE(grid.Undo());
    EXPECT_TRUE(grid.IsRowHidden(11));
}

TEST_F(HideCellsTest, PrintingLeavesOutHeadersThePropertiesDoNotPrint)
{
    CGXGridCore grid;
    SetUpGrid(grid, 10, 10);
    CGXProperties* pProp = grid.GetParam()->GetProperties();
    ASSERT_NE(pProp, nullptr);
    pProp->m_bPrintHeaders = TRUE;
    pProp->m_bPrintRowHeaders = FALSE;
    pProp->m_bPrintColHeaders = TRUE;
    EXPECT_FALSE(grid.IsRowHidden(0)); // on screen the header shows
    grid.SetPrinting(TRUE);
    EXPECT_TRUE(grid.IsRowHidden(0));
    EXPECT_FALSE(grid.IsColHidden(0));
    EXPECT_FALSE(grid.IsRowHidden(1));
    grid.SetPrinting(FALSE);
}

TEST_F(HideCellsTest, TheHeaderHidingSwitchHidesTheHeadersOnTheScreenOnly)
{
    CGXGridCore grid;
    SetUpGrid(grid, 10, 10);
    EXPECT_EQ(grid.CalcCellRect(1, 1), CRect(50, 20, 100, 40));
    grid.SetHideHeaders(TRUE);
    EXPECT_TRUE(grid.IsRowHidden(0));
    EXPECT_TRUE(grid.IsColHidden(0));
    EXPECT_FALSE(grid.IsRowHidden(1));
    // The first cell moves to the grid's corner; the headers' stored sizes stay.
    EXPECT_EQ(grid.CalcCellRect(1, 1), CRect(0, 0, 50, 20));
    // An exemption keeps the column headers (the header row) in view.
    grid.SetHeaderRowsExempt(TRUE);
    EXPECT_FALSE(grid.IsRowHidden(0));
    EXPECT_TRUE(grid.IsColHidden(0));
    grid.SetHeaderRowsExempt(FALSE);
    // The page follows the properties, not the switch.
    grid.SetPrinting(TRUE);
    EXPECT_FALSE(grid.IsRowHidden(0));
    grid.SetPrinting(FALSE);
    grid.SetHideHeaders(FALSE);
    EXPECT_FALSE(grid.IsColHidden(0));
    EXPECT_EQ(grid.GetColWidth(0), 50);
}
