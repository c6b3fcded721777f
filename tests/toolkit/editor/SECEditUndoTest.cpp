#include "EditorTestSupport.h"

#include "platform/core/TickCount.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

class SECEditUndoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetTickCountSource([this] { return m_tick; });
    }
    void TearDown() override { SetTickCountSource({}); }

    void Type(int line, int offset, const char* text)
    {
        for (const char* p = text; *p != '\0'; ++p) {
            SECEditPos pos = Pos(m_doc, line, offset++);
            ASSERT_EQ(m_doc.InsertChar(pos, *p, TRUE, TRUE), 0);
        }
    }

    ULONGLONG m_tick = 1000;
    ScopedTempDir m_dir;
    SECEditDoc m_doc;
};

TEST_F(SECEditUndoTest, RunsOfTypingOnOneLineAndGroupsAreOneStep)
{
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "ab\r\ncd"), 0);
    Type(1, 2, "xyz");
    Type(2, 0, "q");
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "abxyz\r\ncd");   // the last line's added line end goes too
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "ab\r\ncd");
    EXPECT_FALSE(m_doc.Undo());
    EXPECT_FALSE(m_doc.IsModified());

    // A group: split, insert and delete undone together; two groups opened on one tick and
    // written one after the other share the stamp and go together as well.
    m_doc.BeginUndoGroup(TRUE);
    SECEditPos pos = Pos(m_doc, 1, 1);
    ASSERT_EQ(m_doc.SplitLine(pos, TRUE), 0);
    pos = Pos(m_doc, 2, 0);
    ASSERT_EQ(m_doc.InsertString(pos, "new", TRUE, TRUE), 0);
    m_doc.BeginUndoGroup(FALSE);
    EXPECT_EQ(m_doc.GetUndoStamp(), 0u);
    m_tick += 5;
    m_doc.BeginUndoGroup(TRUE);
    pos = Pos(m_doc, 3, 0);
    ASSERT_EQ(m_doc.DeleteChar(pos, TRUE), 0);
    m_doc.BeginUndoGroup(FALSE);
    m_doc.BeginUndoGroup(TRUE);
    pos = Pos(m_doc, 3, 0);
    ASSERT_EQ(m_doc.DeleteChar(pos, TRUE), 0);
    m_doc.BeginUndoGroup(FALSE);
    EXPECT_EQ(DocText(m_doc), "a\r\nnewb\r\n");
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "a\r\nnewb\r\ncd");
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "ab\r\ncd");
    ASSERT_TRUE(m_doc.Redo());
    EXPECT_EQ(DocText(m_doc), "a\r\nnewb\r\ncd");
    // A new edit ends the redo history.
    pos = Pos(m_doc, 1, 0);
    ASSERT_EQ(m_doc.InsertChar(pos, 'Q', TRUE, TRUE), 0);
    EXPECT_FALSE(m_doc.Redo());
}

TEST_F(SECEditUndoTest, OverwriteUndoesToTheOldBytes)
{
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "abc\r\nlast"), 0);
    SECEditPos pos = Pos(m_doc, 1, 1);
    ASSERT_EQ(m_doc.InsertString(pos, "XYZW", FALSE, TRUE), 0);   // two replaced, two appended
    EXPECT_EQ(DocText(m_doc), "aXYZW\r\nlast");
    pos = Pos(m_doc, 2, 4);
    ASSERT_EQ(m_doc.InsertChar(pos, '!', FALSE, TRUE), 0);
    EXPECT_EQ(DocText(m_doc), "aXYZW\r\nlast!\r\n");
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "aXYZW\r\nlast");
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "abc\r\nlast");
    ASSERT_TRUE(m_doc.Redo());
    ASSERT_TRUE(m_doc.Redo());
    EXPECT_EQ(DocText(m_doc), "aXYZW\r\nlast!\r\n");
}

TEST_F(SECEditUndoTest, UnmodifiedOnlyAtTheSavePoint)
{
    std::string path = m_dir.File("page.html");
    m_dir.WriteFile("page.html", "abc\r\ndef\r\n");
    ASSERT_EQ(m_doc.LoadFile(path.c_str()), 0);
    Type(1, 0, "1");
    Type(2, 0, "2");
    ASSERT_EQ(m_doc.SaveFile(path.c_str()), 0);
    Type(1, 0, "3");
    EXPECT_TRUE(m_doc.IsModified());
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_FALSE(m_doc.IsModified());   // back at the saved text
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_TRUE(m_doc.IsModified());    // before the save: not what the file holds
    EXPECT_EQ(DocText(m_doc), "1abc\r\ndef\r\n");
    ASSERT_TRUE(m_doc.Redo());
    EXPECT_FALSE(m_doc.IsModified());
    // Undone past the save and edited afresh: the saved state is out of reach.
    ASSERT_TRUE(m_doc.Undo());
    Type(2, 0, "x");
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_TRUE(m_doc.IsModified());
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_FALSE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "abc\r\ndef\r\n");
    EXPECT_TRUE(m_doc.IsModified());

    // Loading another file starts a fresh store: nothing of the old text can be undone into it.
    m_dir.WriteFile("other.html", "zz");
    ASSERT_EQ(m_doc.LoadFile(m_dir.File("other.html").c_str()), 0);
    EXPECT_FALSE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "zz");
    EXPECT_FALSE(m_doc.IsModified());
}

TEST_F(SECEditUndoTest, DropsTheOldestQuarterOnlyWhenTheCurrentIndexIsFull)
{
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "\r\n"), 0);
    // Records on alternate lines never join into one step.
    for (int i = 0; i < SECEDIT_UNDO_SLOTS; ++i) {
        SECEditPos pos = Pos(m_doc, 1, 0);
        ASSERT_EQ(m_doc.SplitLine(pos, TRUE), 0);
    }
    EXPECT_EQ(m_doc.GetUndoCount(), SECEDIT_UNDO_SLOTS);
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(m_doc.Undo());
    // The redo history ends first; the array is not full, so nothing is dropped.
    SECEditPos pos = Pos(m_doc, 1, 0);
    ASSERT_EQ(m_doc.InsertChar(pos, 'a', TRUE, TRUE), 0);
    EXPECT_EQ(m_doc.GetUndoCount(), SECEDIT_UNDO_SLOTS - 99);
    EXPECT_EQ(m_doc.GetRedoCount(), 0);
    EXPECT_EQ(m_doc.GetUndoRecord(0).nKind, SECEDIT_UNDO_SPLITLINE);
    EXPECT_EQ(m_doc.GetUndoRecord(SECEDIT_UNDO_SLOTS - 100).nKind, SECEDIT_UNDO_INSERTCHAR);

    // Full: the next record drops 512, and Undo goes back 1537 steps.
    while (m_doc.GetUndoCount() < SECEDIT_UNDO_SLOTS) {
        pos = Pos(m_doc, 2, 0);
        ASSERT_EQ(m_doc.SplitLine(pos, TRUE), 0);
    }
    pos = Pos(m_doc, 2, 0);
    ASSERT_EQ(m_doc.SplitLine(pos, TRUE), 0);
    EXPECT_EQ(m_doc.GetUndoCount(), SECEDIT_UNDO_SLOTS - SECEDIT_UNDO_DROP + 1);
    int steps = 0;
    while (m_doc.Undo())
        ++steps;
    EXPECT_EQ(steps, 1537);
    EXPECT_TRUE(m_doc.IsModified());
}

// Random edits of every primitive: Undo back to the start gives the loaded bytes again, and Redo
// to the end the edited ones, also when more records were written than the store holds.
TEST_F(SECEditUndoTest, RandomEditsUndoAndRedoExactly)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        m_doc.SetTabSize(seed % 2 == 0 ? 4 : 8);
        m_doc.SetKeepTabs(seed % 3 != 0);   // padding in tabs as well as in spaces
        std::string start = "alpha\r\n\tbeta gamma\r\n\r\ndelta \xC3\xA9t\xC3\xA9\r\nlast";
        ASSERT_EQ(LoadBytes(m_doc, m_dir, start), 0);
        int edits = seed <= 3 ? 400 : 2600;
        // The text after each number of records written in all (drops do not change it).
        std::map<long, std::string> byRecords{{0, start}};
        long written = 0;
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        for (int i = 0; i < edits; ++i) {
            int before = m_doc.GetUndoCount();
            int line = 1 + pick(m_doc.GetLineCount());
            SECEditLine* l = m_doc.GetLine(line);
            int textLen = m_doc.TextLength(l);
            int off = pick(textLen + 1);
            SECEditPos pos{l, off};
            int rc = 0;
            switch (pick(10)) {
            case 0: rc = m_doc.InsertChar(pos, static_cast<char>('a' + pick(26)), TRUE, TRUE); break;
            case 1: rc = m_doc.DeleteChar(pos, TRUE); break;
            case 2: rc = m_doc.SplitLine(pos, TRUE); break;
            case 3: pos.nOffset = textLen; rc = m_doc.JoinLine(pos, TRUE); break;
            case 4: rc = m_doc.InsertText(pos, "x\r\ny\tz\r\n", -1, TRUE); break;
            case 5: rc = m_doc.InsertString(pos, "\xE6\xBC\xA2w", TRUE, TRUE); break;
            case 6: {
                int line2 = std::min(m_doc.GetLineCount(), line + pick(3));
                SECEditLine* l2 = m_doc.GetLine(line2);
                rc = m_doc.DeleteRange(pos, SECEditPos{l2, pick(m_doc.TextLength(l2) + 1)}, TRUE);
                break;
            }
            case 8: {
                // Rows of unequal width with a tab and a wide character; past the end of the text
                // the block pads its lines, and past the last line it makes new ones.
                pos.nOffset += pick(6);
                rc = m_doc.InsertColumnBlock(pos, "ab\r\n\tc\r\n\xE6\xBC\xA2\r\nd", -1, TRUE);
                break;
            }
            case 9: {
                int line2 = std::min(m_doc.GetLineCount(), line + pick(4));
                SECEditLine* l2 = m_doc.GetLine(line2);
                rc = m_doc.DeleteColumnBlock(pos, SECEditPos{l2, pick(m_doc.TextLength(l2) + 1)}, TRUE);
                break;
            }
            default: rc = m_doc.DeleteChars(pos, 1 + pick(4), TRUE); break;
            }
            (void)rc;
            int added = m_doc.GetUndoCount() - before;
            if (added < 0)
                added += SECEDIT_UNDO_DROP;   // a drop made room
            written += added;
            byRecords[written] = DocText(m_doc);
        }
        std::string end = DocText(m_doc);
        int kept = m_doc.GetUndoCount();
        while (m_doc.Undo()) {
        }
        ASSERT_TRUE(byRecords.count(written - kept));
        EXPECT_EQ(DocText(m_doc), byRecords[written - kept]);
        while (m_doc.Redo()) {
        }
        EXPECT_EQ(DocText(m_doc), end);
    }
}

// A column block padded short lines and made lines past the end: Undo takes all of it out again
// and Redo puts back the same bytes, padding tabs included.
TEST_F(SECEditUndoTest, ColumnBlocksUndoToTheExactBytes)
{
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "abc\r\nx\r\ndef"), 0);
    SECEditPos pos = Pos(m_doc, 1, 2);
    ASSERT_EQ(m_doc.InsertColumnBlock(pos, "12\r\n34", -1, TRUE), 0);
    EXPECT_EQ(DocText(m_doc), "ab12c\r\nx 34\r\ndef");
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "abc\r\nx\r\ndef");
    ASSERT_TRUE(m_doc.Redo());
    EXPECT_EQ(DocText(m_doc), "ab12c\r\nx 34\r\ndef");

    SECEditDoc doc;
    doc.SetTabSize(4);
    doc.SetKeepTabs(TRUE);
    ASSERT_EQ(LoadBytes(doc, m_dir, "abcdefghij\r\nx"), 0);
    pos = Pos(doc, 1, 9);
    ASSERT_EQ(doc.InsertColumnBlock(pos, "12\r\n34\r\n56", -1, TRUE), 0);
    std::string after = DocText(doc);
    EXPECT_EQ(after, "abcdefghi12j\r\nx\t\t 34\r\n\t\t 56");
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(DocText(doc), "abcdefghij\r\nx");
    EXPECT_EQ(doc.GetLineCount(), 2);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(DocText(doc), after);

    // Deleting a block through a tab and over a short line gives the same bytes back on Undo.
    ASSERT_EQ(LoadBytes(doc, m_dir, "ab\tcd\r\nx\r\nabcdefgh\r\n"), 0);
    ASSERT_EQ(doc.DeleteColumnBlock(Pos(doc, 1, 1), Pos(doc, 3, 4), TRUE), 0);
    after = DocText(doc);
    EXPECT_EQ(after, "ad\r\nx\r\nafgh\r\n");
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(DocText(doc), "ab\tcd\r\nx\r\nabcdefgh\r\n");
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(DocText(doc), after);
}

// Inputs that once left Undo short of the text it started from.
TEST_F(SECEditUndoTest, LineEndBytesNeverHideInsideALine)
{
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "a\n"), 0);
    SECEditPos pos = Pos(m_doc, 1, 0);
    EXPECT_EQ(m_doc.InsertChar(pos, '\n', TRUE, TRUE), 0);   // not a character: nothing happens
    EXPECT_EQ(DocText(m_doc), "a\n");
    EXPECT_FALSE(m_doc.Undo());

    // A text ending in a lone line-end byte, put before a line: no line keeps a stray CR or LF
    // that could later pass for a line end, and Undo gives the text back exactly.
    SECEditDoc doc;
    doc.SetLineEndType(1);
    pos = SECEditPos{doc.GetFirstLine(), 0};
    ASSERT_EQ(doc.InsertText(pos, "x\n\r\r", -1, FALSE), 0);
    std::string before = DocText(doc);
    EXPECT_EQ(before, "x\n\r\n\r");
    pos = Pos(doc, doc.GetLineCount(), 0);
    ASSERT_EQ(doc.InsertText(pos, "a\r\n\tb\n", -1, TRUE), 0);
    for (const SECEditLine* l = doc.GetFirstLine(); l != nullptr; l = l->pNext) {
        std::string text(l->pText, static_cast<size_t>(doc.TextLength(l)));
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    }
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(DocText(doc), before);
}

} // namespace
