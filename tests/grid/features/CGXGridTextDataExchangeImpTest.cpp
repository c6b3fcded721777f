#include "grid/features/CGXGridTextDataExchangeImp.h"

#include "FeatureTestSupport.h"
#include "grid/data/CGXLongOperation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TextExchangeTest : public FeatureGridTest {
protected:
    static std::string Copy(CGXGridCore& grid, const CGXRangeList& list, BOOL* pResult = nullptr)
    {
        CString s;
        const BOOL b = grid.WriteRangesAsText(s, list);
        if (pResult != nullptr)
            *pResult = b;
        return std::string(s.GetString(), static_cast<size_t>(s.GetLength()));
    }
    static std::string Copy(CGXGridCore& grid, const CGXRange& range)
    {
        CGXRangeList list;
        list.AddTail(new CGXRange(range));
        return Copy(grid, list);
    }
    static BOOL Paste(CGXGridCore& grid, const std::string& text, ROWCOL nRow, ROWCOL nCol)
    {
        return grid.PasteTextBuffer(text.data(), text.size(), CGXRange(nRow, nCol, nRow, nCol));
    }
    static std::string Value(CGXGridCore& grid, ROWCOL r, ROWCOL c) { return grid.GetCellValue(r, c).GetString(); }
};

// A grid that cannot grow once it is set up.
class FixedGrid : public CGXGridCore {
public:
    BOOL SetRowCount(ROWCOL nRows, UINT nFlags) override
    {
        return (!m_bFixed || nRows <= GetRowCount()) && CGXGridCore::SetRowCount(nRows, nFlags);
    }
    bool m_bFixed = false;
};

// A long operation whose user presses ESC at the first pump.
class EscAtOnce : public CGXAbstractLongOperationImp {
    void PumpMessages(CGXLongOperation& op) override
    {
        CGXAbstractLongOperationImp::PumpMessages(op);
        GXGetLongOperationState().m_bEscPressed = TRUE;
    }
    DWORD GetTicks() override { return now += 1000; }
    void ShowStatusText(LPCTSTR, BOOL) override {}
    GXAbortAnswer AskAbort(int) override { return gxAnswerCancel; }
    DWORD now = 0;
};

} // namespace

TEST_F(TextExchangeTest, CopiesAPackedBlockByteForByte)
{
    CGXGridCore grid;
    SetUpGrid(grid, 4, 4);
    grid.SetValueRange(CGXRange(1, 1, 1, 1), "abc", gxOverride, 0, 0);
    grid.SetValueRange(CGXRange(1, 2, 1, 2), "b", gxOverride, 0, 0);
    EXPECT_EQ(Copy(grid, CGXRange(1, 1, 1, 1)), "abc"); // a single cell: no final break
    grid.SetValueRange(CGXRange(1, 1, 1, 1), "a", gxOverride, 0, 0);
    EXPECT_EQ(Copy(grid, CGXRange(1, 1, 1, 2)), "a\tb\r\n");

    // Columns A and C: a two-column block, the column between left out.
    CGXRangeList list;
    CGXRange a, c;
    a.SetCols(1, 1);
    c.SetCols(3, 3);
    list.AddTail(new CGXRange(a));
    list.AddTail(new CGXRange(c));
    EXPECT_EQ(Copy(grid, list), "a\t1.3\r\n2.1\t2.3\r\n3.1\t3.3\r\n4.1\t4.3\r\n");
    EXPECT_EQ(grid.m_nLastCopiedRows, 4u);
    EXPECT_EQ(grid.m_nLastCopiedCols, 2u);

    // Empty cells are copied as empty text; a separator of the grid's own choosing.
    grid.SetValueRange(CGXRange(2, 1, 3, 2), "", gxOverride, 0, 0);
    BOOL bResult = FALSE;
    CGXRangeList empty;
    empty.AddTail(new CGXRange(2, 1, 3, 2));
    EXPECT_EQ(Copy(grid, empty, &bResult), "\t\r\n\t\r\n");
    EXPECT_TRUE(bResult);
    CGXRangeList one;
    one.AddTail(new CGXRange(2, 1, 2, 1));
    bResult = FALSE;
    EXPECT_EQ(Copy(grid, one, &bResult), "");
    EXPECT_TRUE(bResult);
    grid.m_sCopySeparator = ";";
    EXPECT_EQ(Copy(grid, CGXRange(4, 1, 4, 2)), "4.1;4.2\r\n");

    // Header rows and columns travel only when the flags admit them.
    grid.m_sCopySeparator.Empty();
    EXPECT_EQ(Copy(grid, CGXRange(0, 0, 1, 2)), "a\tb\r\n");
    grid.m_nClipboardFlags |= GX_CLIP_HEADERROWS | GX_CLIP_HEADERCOLS;
    EXPECT_EQ(Copy(grid, CGXRange(0, 0, 1, 2)), "\tA\tB\r\n1\ta\tb\r\n");
}

TEST_F(TextExchangeTest, BreaksTabsAndBackslashesInValuesRoundTrip)
{
    CGXGridCore grid;
    SetUpGrid(grid, 2, 2);
    grid.SetValueRange(CGXRange(1, 1, 1, 1), "x\r\ny\rz\nw", gxOverride, 0, 0);
    grid.SetValueRange(CGXRange(1, 2, 1, 2), "C:\\new\\table\tend", gxOverride, 0, 0);
    // Without escapes breaks and tabs become spaces, so the cells stay where they were.
    const std::string plain = Copy(grid, CGXRange(1, 1, 1, 2));
    EXPECT_EQ(plain, "x y z w\tC:\\new\\table end\r\n");
    ASSERT_TRUE(Paste(grid, plain, 2, 1));
    EXPECT_EQ(Value(grid, 2, 1), "x y z w");
    EXPECT_EQ(Value(grid, 2, 2), "C:\\new\\table end");

    // With escapes every byte comes back, a backslash before n or t included.
    grid.m_nClipboardFlags = GX_CLIP_ESCAPEBREAKS;
    const std::string escaped = Copy(grid, CGXRange(1, 1, 1, 2));
    EXPECT_EQ(escaped, "x\\r\\ny\\rz\\nw\tC:\\\\new\\\\table\\tend\r\n");
    ASSERT_TRUE(Paste(grid, escaped, 2, 1));
    EXPECT_EQ(Value(grid, 2, 1), "x\r\ny\rz\nw");
    EXPECT_EQ(Value(grid, 2, 2), "C:\\new\\table\tend");
    // A backslash before anything else stays.
    ASSERT_TRUE(Paste(grid, "a\\qb", 1, 1));
    EXPECT_EQ(Value(grid, 1, 1), "a\\qb");
}

TEST_F(TextExchangeTest, PastesAtTheTargetGrowingOnceAndHonouringTheFlags)
{
    CGXGridCore grid;
    SetUpGrid(grid, 3, 3, false);
    // The 2 x 2 block at (2, 2) fills rows 2 and 3 and adds no row for the final break.
    ASSERT_TRUE(Paste(grid, "1\t2\r\n3\t4\r\n", 2, 2));
    EXPECT_EQ(Value(grid, 2, 2), "1");
    EXPECT_EQ(Value(grid, 2, 3), "2");
    EXPECT_EQ(Value(grid, 3, 2), "3");
    EXPECT_EQ(Value(grid, 3, 3), "4");
    EXPECT_EQ(grid.GetRowCount(), 3u);
    EXPECT_EQ(grid.GetColCount(), 3u);

    // LF, CR and CR LF each break once; a last line without a break still counts.
    ASSERT_TRUE(Paste(grid, "a\nb\rc\r\nd", 1, 1));
    EXPECT_EQ(Value(grid, 4, 1), "d");
    EXPECT_EQ(grid.GetRowCount(), 4u);
    ROWCOL nRows = 0, nCols = 0;
    ASSERT_TRUE(grid.CountTextBufferCells("a\nb\rc\r\nd", 9, nRows, nCols));
    EXPECT_EQ(nRows, 4u);
    EXPECT_EQ(nCols, 1u);
    ASSERT_TRUE(grid.CountTextBufferCells("1\t2\t3\r\n4\r\n", 10, nRows, nCols));
    EXPECT_EQ(nRows, 2u);
    EXPECT_EQ(nCols, 3u);
    ASSERT_TRUE(grid.CountTextBufferCells("x\0junk", 6, nRows, nCols)); // NUL ends the text
    EXPECT_EQ(nRows, 1u);

    // Wider and longer than the grid with both flags: the extra cells and rows are dropped.
    grid.m_nClipboardFlags = GX_CLIP_NOADDROWS | GX_CLIP_NOADDCOLS;
    ASSERT_TRUE(Paste(grid, "p\tq\tr\ts\r\nt\tu\tv\tw\r\nx\r\n", 3, 2));
    EXPECT_EQ(Value(grid, 3, 2), "p");
    EXPECT_EQ(Value(grid, 3, 3), "q");
    EXPECT_EQ(Value(grid, 4, 3), "u");
    EXPECT_EQ(grid.GetRowCount(), 4u);
    EXPECT_EQ(grid.GetColCount(), 3u);

    // The whole paste is one undo step.
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Value(grid, 3, 2), "3");
    EXPECT_EQ(Value(grid, 4, 3), "");
}

TEST_F(TextExchangeTest, APasteTheGridCannotHoldOrACancelLeavesTheGridAsItWas)
{
    FixedGrid grid;
    SetUpGrid(grid, 3, 3);
    grid.m_bFixed = true;
    EXPECT_FALSE(Paste(grid, "a\r\nb\r\nc\r\n", 2, 1)); // needs row 4
    EXPECT_EQ(Value(grid, 2, 1), "2.1");
    EXPECT_EQ(grid.GetRowCount(), 3u);
    // A count that no grid can number.
    CGXGridCore big;
    SetUpGrid(big, 2, 2);
    EXPECT_FALSE(Paste(big, "a\tb", 1, GX_INVALID - 1));
    EXPECT_EQ(Value(big, 1, 1), "1.1");

    EscAtOnce imp;
    CGXAbstractLongOperationImp* pOld = GXSetLongOperationImp(&imp);
    const BOOL bPasted = Paste(grid, "x\r\ny\r\nz", 1, 1);
    GXSetLongOperationImp(pOld);
    EXPECT_FALSE(bPasted);
    EXPECT_EQ(Value(grid, 1, 1), "1.1");
    EXPECT_FALSE(grid.GetParam()->m_bLockUpdate);
    EXPECT_FALSE(grid.CanUndo(nullptr));
}
