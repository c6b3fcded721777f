// Selections of the editor window: the mouse in stream and column mode (Alt, Shift, margin,
// double click), the highlight kept by inverting only what changed, and blocks drawn in any
// direction.
#include "tests/toolkit/editor/EditWindowSupport.h"

#include "platform/win/VirtualKeys.h"

#include <cairo.h>
#include <random>

namespace {

class SelectionTest : public EditWindowTest {
protected:
    void Load(SECEditCtrl& edit, const std::string& text)
    {
        static int n = 0;
        const std::string name = "t" + std::to_string(++n) + ".txt";
        dir.WriteFile(name, text);
        ASSERT_EQ(edit.InsertFile(dir.File(name).c_str()), 0);
        backend->ProcessMessages();
    }
    void Click(SECEditCtrl& edit, int row, int column)
    {
        backend->Click(1, Cell(edit, row, column));
        backend->ProcessMessages();
    }
    std::string Selected(SECEditCtrl& edit)
    {
        std::string text;
        edit.GetClipText(text);
        return text;
    }
    // The window's pixels.
    std::vector<uint32_t> Pixels(SECEditCtrl& edit)
    {
        cairo_surface_t* s = backend->Capture(top->m_hWnd);
        std::vector<uint32_t> out;
        if (s == nullptr)
            return out;
        CRect r;
        edit.GetWindowRect(&r);
        CRect t;
        top->GetWindowRect(&t);
        const int stride = cairo_image_surface_get_stride(s);
        const uint8_t* data = cairo_image_surface_get_data(s);
        for (int y = r.top - t.top; y < r.bottom - t.top; ++y)
            for (int x = r.left - t.left; x < r.right - t.left; ++x)
                out.push_back(reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFF);
        cairo_surface_destroy(s);
        return out;
    }
};

TEST_F(SelectionTest, MouseSelectionsInStreamAndColumnMode)
{
    RecordingEdit edit;
    Make(edit, 0, 360, 240);
    Load(edit, "alpha beta\r\ngamma\r\ndelta epsilon\r\nx\r\n");
    // A click without movement leaves no selection.
    Click(edit, 0, 3);
    EXPECT_FALSE(edit.HasSelection());
    EXPECT_EQ(edit.GetCaretColumn(), 3);
    // Dragging selects a stream across lines; the line end of a passed line is in it.
    Drag(edit, 0, 6, 2, 5);
    EXPECT_EQ(edit.GetSelMode(), SECEDIT_SEL_STREAM);
    EXPECT_EQ(Selected(edit), "beta\r\ngamma\r\ndelta");
    // Shift-click moves the caret end; the anchor stays.
    backend->KeyDown(VK_SHIFT);
    Click(edit, 1, 2);
    backend->KeyUp(VK_SHIFT);
    EXPECT_EQ(Selected(edit), "beta\r\nga");
    // A click elsewhere ends it; with Alt held a drag gives a column block, also over the
    // short lines, and Tab then refuses: blocks are not streams.
    Click(edit, 3, 0);
    EXPECT_FALSE(edit.HasSelection());
    AltDrag(edit, 0, 1, 3, 4);
    EXPECT_EQ(edit.GetSelMode(), SECEDIT_SEL_COLUMN);
    EXPECT_EQ(Selected(edit), std::string(SECEDIT_COLUMN_MARKER) + "\r\nlph\r\namm\r\nelt\r\n   ");
    EXPECT_EQ(edit.Tab(), SECEDIT_STREAM_ONLY);
    EXPECT_EQ(Text(edit), "alpha beta\r\ngamma\r\ndelta epsilon\r\nx\r\n");
    // A block drawn leftwards and upwards is the same block.
    Click(edit, 3, 0);
    AltDrag(edit, 3, 4, 0, 1);
    EXPECT_EQ(Selected(edit), std::string(SECEDIT_COLUMN_MARKER) + "\r\nlph\r\namm\r\nelt\r\n   ");
    ASSERT_EQ(edit.DeleteSelection(FALSE), 0);
    EXPECT_EQ(Text(edit), "aa beta\r\nga\r\nda epsilon\r\nx\r\n");
}

TEST_F(SelectionTest, MarginClicksSelectLinesAndDoubleClicksSelectWords)
{
    RecordingEdit edit;
    Make(edit, 0, 360, 240);
    Load(edit, "first line\r\nsecond caf\xC3\xA9_x y\r\nlast");
    // In the margin: the whole line, its line end included; on the last line up to its end.
    backend->Click(1, At(edit.m_hWnd, 1, 2));
    backend->ProcessMessages();
    EXPECT_EQ(Selected(edit), "first line\r\n");
    EXPECT_EQ(edit.GetCaretLineNo(), 2);
    edit.ClearSelection(TRUE);
    backend->Click(1, At(edit.m_hWnd, 1, 2 * edit.GetLineHeight() + 2));
    backend->ProcessMessages();
    EXPECT_EQ(Selected(edit), "last");
    // A double click takes a word, multi-byte letters and "_" included; on a space, nothing.
    edit.ClearSelection(TRUE);
    backend->Click(1, Cell(edit, 1, 9));
    backend->Click(1, Cell(edit, 1, 9));
    backend->ProcessMessages();
    EXPECT_EQ(Selected(edit), "caf\xC3\xA9_x");
    edit.ClearSelection(TRUE);
    backend->Click(1, Cell(edit, 1, 6));
    backend->Click(1, Cell(edit, 1, 6));
    backend->ProcessMessages();
    EXPECT_FALSE(edit.HasSelection() && !Selected(edit).empty());
}

TEST_F(SelectionTest, TheIncrementalHighlightEqualsAFreshPaint)
{
    RecordingEdit edit;
    Make(edit, 0, 360, 240);
    std::string text;
    std::mt19937 rng(11);
    for (int i = 0; i < 40; ++i) {
        text += std::string(rng() % 30, 'a' + static_cast<char>(i % 26));
        text += i % 3 == 0 ? "\t\xE6\x97\xA5x" : " y";
        text += "\r\n";
    }
    Load(edit, text);
    edit.SetFocus();
    backend->ProcessMessages();
    const UINT keys[] = {VK_DOWN, VK_UP, VK_LEFT, VK_RIGHT, VK_END, VK_HOME, VK_NEXT};
    for (int round = 0; round < 12; ++round) {
        edit.ClearSelection(TRUE);
        edit.SetCaret(edit.GetDocument()->GetLine(1 + static_cast<int>(rng() % 8)), static_cast<int>(rng() % 6));
        edit.MakeCaretVisible();
        backend->ProcessMessages();
        backend->KeyDown(VK_SHIFT);
        for (int k = 0; k < 6; ++k)
            backend->Key(keys[rng() % 6]);
        backend->KeyUp(VK_SHIFT);
        backend->ProcessMessages();
        const std::vector<uint32_t> incremental = Pixels(edit);
        edit.Invalidate(FALSE);
        edit.UpdateWindow();
        const std::vector<uint32_t> fresh = Pixels(edit);
        ASSERT_FALSE(fresh.empty());
        int differ = 0;
        for (size_t i = 0; i < fresh.size(); ++i)
            differ += fresh[i] != incremental[i] ? 1 : 0;
        ASSERT_EQ(differ, 0) << "round " << round;
    }
}

} // namespace
