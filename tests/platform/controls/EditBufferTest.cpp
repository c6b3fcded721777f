#include "platform/controls/EditBuffer.h"
#include "platform/controls/EditLayout.h"

#include <gtest/gtest.h>

namespace {

// Every character is 10 pixels wide, a tab goes to the next multiple of 40.
class FixedMeasure : public IEditMeasure {
public:
    void Advances(std::string_view text, std::vector<int>& ends) override
    {
        ends.resize(text.size());
        int x = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            auto b = static_cast<unsigned char>(text[i]);
            if (text[i] == '\t')
                x = (x / 40 + 1) * 40;
            else if ((b & 0xC0) != 0x80)
                x += 10;
            ends[i] = x;
        }
    }
};

std::vector<int> Rows(const EditLayout& layout)
{
    std::vector<int> rows;
    for (int r = 0; r < layout.RowCount(); ++r)
        rows.push_back(layout.RowStart(r));
    return rows;
}

} // namespace

TEST(EditBuffer, CaretStepsOverWholeCharactersAndLineBreaks)
{
    EditBuffer b;
    b.SetText("a\xc3\xa9z\r\n\xe2\x82\xac");   // a é z CR LF €
    EXPECT_EQ(b.NextChar(0), 1);
    EXPECT_EQ(b.NextChar(1), 3) << "é is two bytes";
    EXPECT_EQ(b.NextChar(4), 6) << "CR LF is one step";
    EXPECT_EQ(b.NextChar(6), 9);
    EXPECT_EQ(b.PrevChar(9), 6);
    EXPECT_EQ(b.PrevChar(6), 4);
    EXPECT_EQ(b.PrevChar(3), 1);
    // Positions inside a character or a line break fall back to its start.
    b.SetSel(2, 8);
    EXPECT_EQ(b.Anchor(), 1);
    EXPECT_EQ(b.Caret(), 6);
    b.SetSel(5, 5);
    EXPECT_EQ(b.Caret(), 4);
    // A stray continuation byte and a cut-off sequence are one character each.
    b.SetText("x\x80\xe2\x82");
    EXPECT_EQ(b.NextChar(1), 2);
    EXPECT_EQ(b.NextChar(2), 3);
    EXPECT_EQ(b.PrevChar(4), 3);
}

TEST(EditBuffer, WordStepsAndWordAt)
{
    EditBuffer b;
    b.SetText("one two  three\r\nfour");
    EXPECT_EQ(b.WordRight(0), 4);
    EXPECT_EQ(b.WordRight(4), 9);
    EXPECT_EQ(b.WordRight(9), 14) << "stops at the line break";
    EXPECT_EQ(b.WordRight(14), 16);
    EXPECT_EQ(b.WordLeft(16), 14);
    EXPECT_EQ(b.WordLeft(14), 9);
    EXPECT_EQ(b.WordLeft(9), 4);
    EXPECT_EQ(b.WordLeft(5), 4);
    EXPECT_EQ(b.WordAt(5), std::make_pair(4, 7));
    EXPECT_EQ(b.WordAt(7), std::make_pair(7, 9)) << "the run of spaces";
    EXPECT_EQ(b.WordAt(14), std::make_pair(9, 14)) << "at a line's end: the word before";
}

TEST(EditBuffer, LimitCutsOnAWholeCharacterAndReports)
{
    EditBuffer b;
    b.SetLimit(4);
    EXPECT_TRUE(b.ReplaceSel("ab").whole);
    EXPECT_FALSE(b.ReplaceSel("c\xc3\xa9").whole);   // room for 2 bytes: "c" fits, "é" would need 3
    EXPECT_EQ(b.Text(), "abc");
    EXPECT_EQ(b.Caret(), 3);
    b.SetSel(0, 3);
    EXPECT_TRUE(b.ReplaceSel("\xc3\xa9\xc3\xa9").whole) << "replacing the selection frees its room";
    EXPECT_EQ(b.Length(), 4);
    b.SetLimit(0);
    EXPECT_EQ(b.Limit(), EditBuffer::kMaxLimit);
}

TEST(EditBuffer, TypingUndoesTogetherAndUndoTwiceRedoes)
{
    EditBuffer b;
    b.SetText("hello");
    EXPECT_FALSE(b.CanUndo());
    EXPECT_FALSE(b.Modified());
    b.SetSel(5, 5);
    b.ReplaceSel(" ", UndoMerge::Typing);
    b.ReplaceSel("w", UndoMerge::Typing);
    b.ReplaceSel("o", UndoMerge::Typing);
    EXPECT_TRUE(b.Modified());
    ASSERT_TRUE(b.Undo());
    EXPECT_EQ(b.Text(), "hello");
    ASSERT_TRUE(b.Undo());
    EXPECT_EQ(b.Text(), "hello wo");
    EXPECT_EQ(b.SelStart(), 5);
    EXPECT_EQ(b.SelEnd(), 8) << "the restored text is selected";

    // Typing elsewhere starts a new step; a replaced selection comes back whole.
    b.SetSel(0, 5);
    b.ReplaceSel("bye", UndoMerge::Typing);
    b.SetSel(0, 0);
    b.ReplaceSel("X", UndoMerge::Typing);
    b.Undo();
    EXPECT_EQ(b.Text(), "bye wo");
    b.SetSel(3, 3);
    b.DeleteChar(EditBuffer::Direction::Backward);
    EXPECT_EQ(b.Text(), "by wo");
    b.Undo();
    EXPECT_EQ(b.Text(), "bye wo");
    b.EmptyUndo();
    EXPECT_FALSE(b.Undo());
}

TEST(EditBuffer, RevertTakesBackTheLastChangeAndItsUndoStep)
{
    EditBuffer b;
    b.SetText("ab");
    b.SetSel(2, 2);
    b.ReplaceSel("c", UndoMerge::Typing);
    b.ReplaceSel("d", UndoMerge::Typing);
    ASSERT_TRUE(b.RevertLast());
    EXPECT_EQ(b.Text(), "abc");
    EXPECT_EQ(b.Caret(), 3);
    EXPECT_FALSE(b.RevertLast()) << "only the last change";
    b.Undo();
    EXPECT_EQ(b.Text(), "ab") << "the typing step lost only the reverted character";

    b.SetSel(0, 1);
    b.ReplaceSel("XY");
    EXPECT_TRUE(b.Modified());
    b.SetModified(false);
    b.SetSel(0, 3);
    b.ReplaceSel("");
    ASSERT_TRUE(b.RevertLast());
    EXPECT_EQ(b.Text(), "XYb");
    EXPECT_EQ(b.SelStart(), 0);
    EXPECT_EQ(b.SelEnd(), 3);
    EXPECT_FALSE(b.Modified());
    b.Undo();
    EXPECT_EQ(b.Text(), "ab") << "the step before the reverted one is back";
}

TEST(EditLayout, KeepsLineStartsThroughEdits)
{
    FixedMeasure measure;
    EditBuffer b;
    EditLayout layout(measure);
    b.SetWatcher(&layout);
    b.SetText("ab\r\ncd\nef");
    EXPECT_EQ(Rows(layout), (std::vector<int>{0, 4, 7}));
    EXPECT_EQ(layout.RowEnd(0), 2);
    EXPECT_EQ(layout.RowEnd(1), 6);
    EXPECT_EQ(layout.RowOf(5), 1);

    b.SetSel(5, 5);
    b.ReplaceSel("X\r\nY");   // cd -> cX / Yd
    EXPECT_EQ(b.Text(), "ab\r\ncX\r\nYd\nef");
    EXPECT_EQ(Rows(layout), (std::vector<int>{0, 4, 8, 11}));
    b.SetSel(2, 8);            // join the first line with "Yd"
    b.ReplaceSel("");
    EXPECT_EQ(Rows(layout), (std::vector<int>{0, 5}));
    b.SetSel(b.Length(), b.Length());
    b.ReplaceSel("\r\n");
    EXPECT_EQ(Rows(layout), (std::vector<int>{0, 5, 9})) << "a final line break opens an empty row";

    // Whatever the edits, the rows equal a fresh layout of the same text.
    const char* inserts[] = {"q\n", "", "\r\n\r\n", "zz", "\n"};
    for (int i = 0; i < 20; ++i) {
        int pos = (i * 7) % (b.Length() + 1);
        b.SetSel(pos, std::min(b.Length(), pos + i % 3));
        b.ReplaceSel(inserts[i % 5]);
        EditLayout fresh(measure);
        fresh.Rebuild(b.Text());
        ASSERT_EQ(Rows(layout), Rows(fresh)) << "after edit " << i << ": " << b.Text();
    }
}

TEST(EditLayout, SingleLineKeepsLineBreaksInItsOneRow)
{
    FixedMeasure measure;
    EditBuffer b;
    EditLayout layout(measure);
    layout.SetSingleLine(true);
    b.SetWatcher(&layout);
    b.SetText("one\r\ntwo\n");
    EXPECT_EQ(layout.RowCount(), 1);
    EXPECT_EQ(layout.RowEnd(0), b.Length());
    b.SetSel(3, 3);
    b.ReplaceSel("\n\n");
    EXPECT_EQ(layout.RowCount(), 1);
    EXPECT_EQ(layout.RowOf(b.Length()), 0);
}

TEST(EditLayout, WrapsAtWordsAndBreaksLongWords)
{
    FixedMeasure measure;
    EditBuffer b;
    EditLayout layout(measure);
    layout.SetWrapWidth(60);   // six characters
    b.SetWatcher(&layout);
    b.SetText("one two three abcdefghij\nx");
    // "one " / "two " / "three " / "abcdef" / "ghij" / "x"
    EXPECT_EQ(Rows(layout), (std::vector<int>{0, 4, 8, 14, 20, 25}));
    EXPECT_EQ(layout.RowEnd(0), 4) << "a soft break keeps the space on its row";
    // Typing into the first line wraps it again without touching the rows below.
    b.SetSel(0, 0);
    b.ReplaceSel("xx");
    EditLayout fresh(measure);
    fresh.SetWrapWidth(60);
    fresh.Rebuild(b.Text());
    EXPECT_EQ(Rows(layout), Rows(fresh));
    EXPECT_EQ(layout.RowStart(layout.RowCount() - 1), b.Length() - 1);
}
