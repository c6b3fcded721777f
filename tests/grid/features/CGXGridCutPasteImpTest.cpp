#include "grid/features/CGXGridCutPasteImp.h"

#include "FeatureTestSupport.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXStyle.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Clipboard.h"
#include "tests/support/ClipboardText.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace {

class CutPasteTest : public FeatureGridTest {
protected:
    static void Select(CGXGridCore& grid, std::initializer_list<CGXRange> ranges)
    {
        grid.GetParam()->m_SelRects.DeleteAll();
        for (const CGXRange& r : ranges)
            grid.GetParam()->m_SelRects.AddTail(new CGXRange(r));
    }
    // The clipboard's block of a format: its bytes, the terminating NUL included.
    static std::string Block(UINT nFormat)
    {
        std::string s;
        if (!OpenClipboard(nullptr))
            return "<busy>";
        if (HANDLE h = GetClipboardData(nFormat)) {
            const char* p = static_cast<const char*>(GlobalLock(h));
            s.assign(p, GlobalSize(h));
            GlobalUnlock(h);
        }
        CloseClipboard();
        return s;
    }
    static std::string Value(CGXGridCore& grid, ROWCOL r, ROWCOL c) { return grid.GetCellValue(r, c).GetString(); }
};

} // namespace

TEST_F(CutPasteTest, CopyWritesNulEndedTextAndAPasteElsewhereReadsIt)
{
    CGXGridCore grid;
    SetUpGrid(grid, 5, 5);
    Select(grid, {CGXRange(1, 1, 2, 2)});
    ASSERT_TRUE(grid.CanCopy());
    ASSERT_TRUE(grid.Copy());
    EXPECT_EQ(Block(CF_TEXT), std::string("1.1\t1.2\r\n2.1\t2.2\r\n", 18) + '\0');
    EXPECT_FALSE(IsClipboardFormatAvailable(GXGetDirectCopyClipboardFormat())); // direct copy is off

    Select(grid, {CGXRange(4, 4, 4, 4)});
    ASSERT_TRUE(grid.CanPaste());
    ASSERT_TRUE(grid.Paste());
    EXPECT_EQ(Value(grid, 4, 4), "1.1");
    EXPECT_EQ(Value(grid, 5, 5), "2.2");
    EXPECT_EQ(grid.GetRowCount(), 5u); // the final break adds no row

    // Text from elsewhere, ending in a newline, onto a read-only grid: refused while the lock holds.
    ASSERT_TRUE(clipboard_text::Put(nullptr, "a\tb\nc\td\n"));
    grid.SetReadOnly(TRUE);
    EXPECT_FALSE(grid.CanPaste());
    grid.SetReadOnly(FALSE);
    Select(grid, {CGXRange(1, 1, 1, 1)});
    ASSERT_TRUE(grid.Paste());
    EXPECT_EQ(Value(grid, 1, 2), "b");
    EXPECT_EQ(Value(grid, 2, 1), "c");
    EXPECT_EQ(Value(grid, 3, 1), "3.1");
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Value(grid, 1, 2), "1.2");
}

TEST_F(CutPasteTest, ACutClearsInOneStepAndABusyClipboardRefusesIt)
{
    CGXGridCore grid;
    SetUpGrid(grid, 3, 3);
    grid.m_nClipboardFlags = GX_CLIP_TEXT; // values are cleared, not styles
    Select(grid, {CGXRange(1, 1, 1, 3)});
    ASSERT_TRUE(grid.Cut());
    EXPECT_EQ(Block(CF_TEXT), std::string("1.1\t1.2\t1.3\r\n") + '\0');
    EXPECT_EQ(Value(grid, 1, 2), "");
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Value(grid, 1, 2), "1.2");

    // Another thread holds the clipboard open.
    std::promise<void> opened, done;
    std::thread holder([&] {
        OpenClipboard(nullptr);
        opened.set_value();
        done.get_future().wait_for(std::chrono::seconds(60));
        CloseClipboard();
    });
    ASSERT_EQ(opened.get_future().wait_for(std::chrono::seconds(60)), std::future_status::ready);
    EXPECT_FALSE(grid.Cut());
    EXPECT_FALSE(grid.Copy());
    done.set_value();
    holder.join();
    EXPECT_EQ(Value(grid, 1, 2), "1.2");
}

TEST_F(CutPasteTest, DirectCopyReadsEveryBlockBeforeWritingAndIgnoresAnotherGridsMark)
{
    CGXGridCore grid;
    SetUpGrid(grid, 3, 6);
    grid.GetParam()->m_bDirectCopy = TRUE;
    // Columns 2 and 4 pasted at column 4: column 5 gets column 4's cells as they were before.
    CGXRange col2, col4;
    col2.SetCols(2, 2);
    col4.SetCols(4, 4);
    Select(grid, {col2, col4});
    ASSERT_TRUE(grid.Copy());
    EXPECT_TRUE(IsClipboardFormatAvailable(GXGetDirectCopyClipboardFormat()));
    Select(grid, {CGXRange(1, 4, 1, 4)});
    ASSERT_TRUE(grid.Paste());
    for (ROWCOL r = 1; r <= 3; ++r) {
        EXPECT_EQ(Value(grid, r, 4), Label(r, 2).GetString());
        EXPECT_EQ(Value(grid, r, 5), Label(r, 4).GetString());
        EXPECT_EQ(Value(grid, r, 2), Label(r, 2).GetString());
    }
    ASSERT_TRUE(grid.Undo()); // one step
    EXPECT_EQ(Value(grid, 2, 4), "2.4");
    EXPECT_EQ(Value(grid, 2, 5), "2.5");

    // Another grid with direct copy on and copied ranges of its own: the first grid's mark is
    // not its own, so its paste reads the clipboard's text.
    CGXGridCore other;
    SetUpGrid(other, 3, 6);
    other.GetParam()->m_bDirectCopy = TRUE;
    other.GetParam()->m_CopiedRanges.AddTail(new CGXRange(3, 6, 3, 6));
    Select(grid, {CGXRange(1, 1, 1, 1)});
    ASSERT_TRUE(grid.Copy());
    Select(other, {CGXRange(2, 2, 2, 2)});
    ASSERT_TRUE(other.Paste());
    EXPECT_EQ(Value(other, 2, 2), "1.1");
    EXPECT_EQ(Value(other, 1, 1), "1.1");
}

TEST_F(CutPasteTest, ADirectCutMovesAtItsFirstPasteOnlyAndTheSecondComesFromTheClipboard)
{
    CGXGridCore grid;
    SetUpGrid(grid, 4, 4);
    grid.GetParam()->m_bDirectCut = TRUE;
    Select(grid, {CGXRange(1, 1, 1, 2)});
    ASSERT_TRUE(grid.Cut());
    EXPECT_TRUE(grid.GetParam()->m_bCutPending);
    EXPECT_EQ(Value(grid, 1, 1), "1.1"); // nothing cleared yet

    Select(grid, {CGXRange(3, 2, 3, 2)});
    ASSERT_TRUE(grid.Paste());
    EXPECT_EQ(Value(grid, 3, 2), "1.1");
    EXPECT_EQ(Value(grid, 3, 3), "1.2");
    EXPECT_EQ(Value(grid, 1, 1), "");
    EXPECT_FALSE(grid.GetParam()->m_bCutPending);
    EXPECT_TRUE(grid.GetParam()->m_CopiedRanges.IsEmpty());

    Select(grid, {CGXRange(4, 1, 4, 1)});
    ASSERT_TRUE(grid.Paste());
    EXPECT_EQ(Value(grid, 4, 1), "1.1");
    EXPECT_EQ(Value(grid, 4, 2), "1.2");
    EXPECT_EQ(Value(grid, 3, 2), "1.1"); // the first paste's cells stay
}

TEST_F(CutPasteTest, ACopyWritesTextAndStylesAndAPastePrefersTheStyles)
{
    CGXGridCore grid;
    SetUpGrid(grid, 3, 3);
    grid.ApplyStyleToRange(CGXRange(1, 1, 1, 1), &CGXStyle().SetTextColor(RGB(0, 0, 200)), gxOverride, 0, nullptr, 0, 0);
    Select(grid, {CGXRange(1, 1, 1, 1)});
    ASSERT_TRUE(grid.Copy());
    EXPECT_EQ(Block(CF_TEXT), std::string("1.1") + '\0');
    EXPECT_TRUE(IsClipboardFormatAvailable(GXGetStylesClipboardFormat()));
    // Only the styles carry the colour: a paste that has it came from them.
    Select(grid, {CGXRange(3, 3, 3, 3)});
    ASSERT_TRUE(grid.Paste());
    const CGXStyle* pPasted = grid.GetData()->LookupStyle(3, 3);
    ASSERT_NE(pPasted, nullptr);
    EXPECT_TRUE(*pPasted == *grid.GetData()->LookupStyle(1, 1));

    // With the styles format off, the text alone is read: the value without the colour.
    grid.m_nClipboardFlags &= ~GX_CLIP_STYLES;
    Select(grid, {CGXRange(2, 2, 2, 2)});
    ASSERT_TRUE(grid.Paste());
    EXPECT_EQ(Value(grid, 2, 2), "1.1");
    EXPECT_FALSE(*grid.GetData()->LookupStyle(2, 2) == *grid.GetData()->LookupStyle(1, 1));
}
