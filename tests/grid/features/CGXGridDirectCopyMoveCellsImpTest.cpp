#include "grid/features/CGXGridDirectCopyMoveCellsImp.h"

#include "FeatureTestSupport.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/IGXCommandTarget.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A cell store that counts the blocks announced to it and can be told to refuse moves.
class RecordingData : public CGXData {
public:
    void BeginChange(const CGXRange& range) override { m_announced.push_back(range); }
    BOOL MoveCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol) override
    {
        return m_bRefuseMoves ? FALSE : CGXData::MoveCells(range, nDestRow, nDestCol);
    }
    std::vector<CGXRange> m_announced;
    bool m_bRefuseMoves = false;
};

// A grid whose answer to the undo-buffer question is given by the test.
class AskingMoveGrid : public CGXGridCore {
public:
    BOOL ConfirmLargeUndo() override
    {
        ++m_nAsked;
        return m_bAnswer;
    }
    int m_nAsked = 0;
    BOOL m_bAnswer = FALSE;
};

class DirectCopyMoveTest : public FeatureGridTest {
protected:
    static std::string Value(CGXGridCore& grid, ROWCOL r, ROWCOL c) { return grid.GetCellValue(r, c).GetString(); }
    // Every cell's value, row by row, "-" for a cell without a stored style.
    static std::string Picture(CGXGridCore& grid)
    {
        std::string s;
        for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
            for (ROWCOL c = 1; c <= grid.GetColCount(); ++c) {
                const CGXStyle* p = grid.GetData()->LookupStyle(r, c);
                s += p != nullptr ? p->GetValue().GetString() : "-";
                s += ' ';
            }
            s += '\n';
        }
        return s;
    }
    static RecordingData* UseRecordingData(CGXGridCore& grid, ROWCOL nRows, ROWCOL nCols)
    {
        grid.Initialize();
        auto* pData = new RecordingData;
        grid.GetParam()->SetData(pData);
        SetUpGrid(grid, nRows, nCols);
        return pData;
    }
};

} // namespace

TEST_F(DirectCopyMoveTest, AnOverlappingCopyReadsTheBlockWholeAndItsUndoRestoresTheDestinationExactly)
{
    CGXGridCore grid;
    SetUpGrid(grid, 4, 4);
    // An empty cell in the destination stays without a style after the undo.
    grid.GetParam()->EnableUndo(FALSE);
    grid.ApplyStyleToRange(CGXRange(4, 4, 4, 4), nullptr, gxRemove, 0, nullptr, 0, gxDo);
    grid.GetParam()->EnableUndo(TRUE);
    const std::string before = Picture(grid);

    ASSERT_TRUE(grid.CopyCellsDirect(CGXRange(1, 1, 3, 3), 2, 2, GX_INVALIDATE, gxDo, FALSE, FALSE, FALSE));
    EXPECT_EQ(Picture(grid), "1.1 1.2 1.3 1.4 \n"
                             "2.1 1.1 1.2 1.3 \n"
                             "3.1 2.1 2.2 2.3 \n"
                             "4.1 3.1 3.2 3.3 \n");
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Picture(grid), before);
    ASSERT_TRUE(grid.Redo());
    EXPECT_EQ(Value(grid, 4, 4), "3.3");

    // A destination that leaves the grid, or a read-only grid: nothing changes.
    const std::string copied = Picture(grid);
    EXPECT_FALSE(grid.CopyCellsDirect(CGXRange(1, 1, 2, 2), 4, 4, GX_INVALIDATE, gxDo, FALSE, FALSE, FALSE));
    grid.SetReadOnly(TRUE);
    EXPECT_FALSE(grid.CopyCellsDirect(CGXRange(1, 1, 1, 1), 2, 2, GX_INVALIDATE, gxDo, FALSE, FALSE, FALSE));
    EXPECT_FALSE(grid.MoveCellsDirect(CGXRange(1, 1, 1, 1), 2, 2, GX_INVALIDATE, gxDo, FALSE, FALSE, FALSE));
    EXPECT_EQ(Picture(grid), copied);
}

TEST_F(DirectCopyMoveTest, AnOverlappingMoveIsUndoneAndRedoneWithTheCoveredCellsBack)
{
    CGXGridCore grid;
    RecordingData* pData = UseRecordingData(grid, 4, 4);
    const std::string before = Picture(grid);
    pData->m_announced.clear();

    ASSERT_TRUE(grid.MoveCellsDirect(CGXRange(1, 1, 2, 3), 2, 2, GX_INVALIDATE, gxDo, FALSE, FALSE, FALSE));
    const std::string moved = "- - - 1.4 \n"
                              "- 1.1 1.2 1.3 \n"
                              "3.1 2.1 2.2 2.3 \n"
                              "4.1 4.2 4.3 4.4 \n";
    EXPECT_EQ(Picture(grid), moved);
    // Destination and source were announced to the store, in that order.
    ASSERT_EQ(pData->m_announced.size(), 2u);
    EXPECT_EQ(pData->m_announced[0], CGXRange(2, 2, 3, 4));
    EXPECT_EQ(pData->m_announced[1], CGXRange(1, 1, 2, 3));

    ASSERT_TRUE(grid.Undo()); // one step: the cells move back and row 3's covered cells return
    EXPECT_EQ(Picture(grid), before);
    ASSERT_TRUE(grid.Redo());
    EXPECT_EQ(Picture(grid), moved);
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Picture(grid), before);

    // Inside an operation that holds the data-change lock nothing is announced again.
    pData->m_announced.clear();
    const BOOL bOld = grid.LockDataNotify(TRUE);
    ASSERT_TRUE(grid.MoveCellsDirect(CGXRange(4, 4, 4, 4), 1, 1, GX_INVALIDATE, gxDo, FALSE, FALSE, FALSE));
    grid.LockDataNotify(bOld);
    EXPECT_TRUE(pData->m_announced.empty());
    EXPECT_EQ(Value(grid, 1, 1), "4.4");
}

TEST_F(DirectCopyMoveTest, AMoveTheStoreRefusesFailsSoAPendingCutStaysPending)
{
    CGXGridCore grid;
    RecordingData* pData = UseRecordingData(grid, 4, 4);
    pData->m_bRefuseMoves = true;
    const std::string before = Picture(grid);
    EXPECT_FALSE(grid.MoveCellsDirect(CGXRange(1, 1, 1, 1), 3, 3, GX_INVALIDATE, gxDo, FALSE, FALSE, FALSE));
    EXPECT_EQ(Picture(grid), before);
    EXPECT_TRUE(grid.GetParam()->m_UndoList.IsEmpty());

    // A direct cut pasted onto a store that refuses: the paste fails and the cut waits on.
    grid.GetParam()->m_bDirectCut = TRUE;
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(1, 1, 1, 2));
    ASSERT_TRUE(grid.Cut());
    ASSERT_TRUE(grid.GetParam()->m_bCutPending);
    grid.GetParam()->m_SelRects.DeleteAll();
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(3, 1, 3, 1));
    EXPECT_FALSE(grid.Paste());
    EXPECT_TRUE(grid.GetParam()->m_bCutPending);
    EXPECT_FALSE(grid.GetParam()->m_CopiedRanges.IsEmpty());
    EXPECT_EQ(Picture(grid), before);

    pData->m_bRefuseMoves = false;
    ASSERT_TRUE(grid.Paste());
    EXPECT_EQ(Value(grid, 3, 1), "1.1");
    EXPECT_EQ(Value(grid, 3, 2), "1.2");
    EXPECT_FALSE(grid.GetParam()->m_bCutPending);
}

TEST_F(DirectCopyMoveTest, ACopyTooLargeForTheUndoBufferAsksAndCancelChangesNothing)
{
    AskingMoveGrid grid;
    SetUpGrid(grid, 80002, 2, false);
    grid.SetValueRange(CGXRange(1, 1, 1, 1), "top", gxOverride, 0, 0);
    grid.SetValueRange(CGXRange(40000, 1, 40000, 1), "bottom", gxOverride, 0, 0);
    grid.SetValueRange(CGXRange(40001, 2, 40001, 2), "kept", gxOverride, 0, 0);
    const INT_PTR nUndoSteps = grid.GetParam()->m_UndoList.GetCount();

    EXPECT_FALSE(grid.CopyCellsDirect(CGXRange(1, 1, 40000, 2), 40001, 1, GX_INVALIDATE, gxDo, FALSE, FALSE, FALSE));
    EXPECT_EQ(grid.m_nAsked, 1);
    EXPECT_EQ(Value(grid, 40001, 1), "");
    EXPECT_EQ(Value(grid, 40001, 2), "kept");
    EXPECT_EQ(grid.GetParam()->m_UndoList.GetCount(), nUndoSteps);

    grid.m_bAnswer = TRUE;
    ASSERT_TRUE(grid.CopyCellsDirect(CGXRange(1, 1, 40000, 2), 40001, 1, GX_INVALIDATE, gxDo, FALSE, FALSE, FALSE));
    EXPECT_EQ(grid.m_nAsked, 2);
    EXPECT_EQ(Value(grid, 40001, 1), "top");
    EXPECT_EQ(Value(grid, 80000, 1), "bottom");
    EXPECT_EQ(Value(grid, 40001, 2), ""); // the block's empty cell came along
}
