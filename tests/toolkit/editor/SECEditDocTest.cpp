#include "EditorTestSupport.h"

#include "platform/core/WinError.h"

#include "support/FileSizeLimitChild.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include <sys/stat.h>

namespace {

class SECEditDocTest : public ::testing::Test {
protected:
    ScopedTempDir m_dir;
    SECEditDoc m_doc;

    std::string RoundTrip(const std::string& bytes)
    {
        EXPECT_EQ(LoadBytes(m_doc, m_dir, bytes), 0);
        EXPECT_EQ(m_doc.SaveFile(m_dir.File("out.html").c_str()), 0);
        return m_dir.ReadFile("out.html");
    }
};

TEST_F(SECEditDocTest, LoadsAndSavesEveryLineEndByteForByte)
{
    struct Case {
        std::string bytes;
        int type;
        int lines;
    };
    const Case cases[] = {
        {"a\r\nb", 0, 2},          {"a\r\nb\r\n", 0, 2},        {"a\n\rb\n\r", 1, 2},
        {"a\nb\nc", 2, 3},         {"a\rb\r", 3, 2},            {"no line end at all", 0, 1},
        {"", 0, 1},                {"\r\n\r\n\r\n", 0, 3},      {"x\n\n\ny\n", 2, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(RoundTrip(c.bytes), c.bytes);
        EXPECT_EQ(m_doc.GetLineEndType(), c.type);
        EXPECT_EQ(m_doc.GetLineCount(), c.lines);
    }
    // A last line without a line end stays without one.
    RoundTrip("a\r\nb");
    EXPECT_STREQ(m_doc.GetLine(2)->pText, "b");
}

TEST_F(SECEditDocTest, AFailedSaveLeavesTheOldFile)
{
    m_dir.WriteFile("page.html", "old page\r\n");
    std::string path = m_dir.File("page.html");
    ASSERT_EQ(LoadBytes(m_doc, m_dir, std::string(200000, 'n') + "\r\n", "big.html"), 0);
    // The disk fills after 64 KB: the save fails and says so, and the old page is whole.
    int child = RunWithFileSizeLimit(65536, [&] {
        int rc = m_doc.SaveFile(path.c_str());
        return rc != 0 && m_dir.ReadFile("page.html") == "old page\r\n" ? 0 : 1;
    });
    EXPECT_EQ(child, 0);
    EXPECT_EQ(m_dir.ReadFile("page.html"), "old page\r\n");
    EXPECT_NE(m_doc.SaveFile(m_dir.File("no/such/folder.html").c_str()), 0);
}

TEST_F(SECEditDocTest, MixedLineEndsKeepEveryBlankLine)
{
    // Only the document's own line end is one separator: two LF bytes in a CR LF file are two
    // line ends, so the blank line between a and b survives.
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "x\r\na\n\nb\r\n"), 0);
    ASSERT_EQ(m_doc.GetLineCount(), 4);
    EXPECT_STREQ(m_doc.GetLine(2)->pText, "a\r\n");
    EXPECT_STREQ(m_doc.GetLine(3)->pText, "\r\n");
    EXPECT_STREQ(m_doc.GetLine(4)->pText, "b\r\n");
    // An LF file with a later CR LF: the CR is a line end of its own.
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "a\nb\r\nc"), 0);
    EXPECT_EQ(m_doc.GetLineEndType(), 2);
    EXPECT_EQ(m_doc.GetLineCount(), 4);
}

TEST_F(SECEditDocTest, DropsAFinalCtrlZAndRefusesNuls)
{
    EXPECT_EQ(RoundTrip(std::string("a\r\nb\x1A")), "a\r\nb");
    EXPECT_EQ(LoadBytes(m_doc, m_dir, std::string("a\r\n\0b", 5)), SECEDIT_NULLS_IN_FILE);
    EXPECT_EQ(m_doc.GetLineCount(), 1);
    EXPECT_EQ(m_doc.GetFirstLine()->nLength, 0);
    EXPECT_EQ(m_doc.LoadFile(m_dir.File("missing").c_str()), static_cast<int>(ERROR_FILE_NOT_FOUND));
}

TEST_F(SECEditDocTest, CutsLongLinesWithoutLosingOrSplittingCharacters)
{
    // A 20,000-character line among others is cut into a piece of the greatest width and the
    // rest; saving writes it back whole.
    std::string line(20000, 'x');
    std::string bytes = "a\r\n" + line + "b";
    EXPECT_EQ(RoundTrip(bytes), bytes);
    ASSERT_EQ(m_doc.GetLineCount(), 3);
    EXPECT_EQ(m_doc.GetLine(2)->nLength, SECEDIT_MAX_WIDTH - 2);
    EXPECT_EQ(m_doc.GetLine(3)->nLength, 20001 - (SECEDIT_MAX_WIDTH - 2));

    // A minified page of megabytes without any line end loads, cut the same way.
    std::string page;
    while (page.size() < 300000)
        page += "<p class=\"x\">caf\xC3\xA9 \xE6\xBC\xA2\xE5\xAD\x97</p>";
    EXPECT_EQ(RoundTrip(page), page);
    EXPECT_GT(m_doc.GetLineCount(), 10);
    for (const SECEditLine* l = m_doc.GetFirstLine(); l != nullptr; l = l->pNext) {
        // No piece starts inside a UTF-8 sequence, and none is wider than the maximum.
        EXPECT_NE(static_cast<unsigned char>(l->pText[0]) & 0xC0, 0x80);
        EXPECT_LE(m_doc.ColumnFromOffset(l, m_doc.TextLength(l)), SECEDIT_MAX_WIDTH - 2);
    }
}

TEST_F(SECEditDocTest, InsertsAPageWithoutLineEndsCutLikeALoad)
{
    // A file's text of 40,000 bytes without a line end, put into an empty pane: cut into
    // pieces of the greatest width, wide characters never split, given back whole.
    std::string page;
    while (page.size() < 40000)
        page += "ab\xE6\xBC\xA2";
    SECEditPos pos{m_doc.GetFirstLine(), 0};
    ASSERT_EQ(m_doc.InsertText(pos, page.c_str(), static_cast<int>(page.size()), TRUE), 0);
    EXPECT_EQ(DocText(m_doc), page);
    EXPECT_EQ(m_doc.GetLineCount(), 2);   // 32,000 cells
    for (const SECEditLine* l = m_doc.GetFirstLine(); l != nullptr; l = l->pNext) {
        EXPECT_NE(static_cast<unsigned char>(l->pText[0]) & 0xC0, 0x80);
        EXPECT_LE(m_doc.ColumnFromOffset(l, l->nLength), SECEDIT_MAX_WIDTH - 2);
    }
    std::string back;
    ASSERT_TRUE(m_doc.GetText(Pos(m_doc, 1, 0), Pos(m_doc, m_doc.GetLineCount(), 1 << 20), back));
    EXPECT_EQ(back, page);
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "");
    EXPECT_EQ(m_doc.InsertText(pos, "a\0b", 3, TRUE), SECEDIT_NULLS_IN_FILE);
}

TEST_F(SECEditDocTest, ColumnsCountTabsAndCharacters)
{
    m_doc.SetTabSize(3);
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "\tab"), 0);
    const SECEditLine* line = m_doc.GetFirstLine();
    EXPECT_EQ(m_doc.OffsetFromColumn(line, 0), 0);
    EXPECT_EQ(m_doc.OffsetFromColumn(line, 2), 0);
    EXPECT_EQ(m_doc.OffsetFromColumn(line, 3), 1);
    EXPECT_EQ(m_doc.OffsetFromColumn(line, 10), 8);
    EXPECT_EQ(m_doc.ColumnFromOffset(line, 2), 4);

    // A UTF-8 character is one cell (a wide one two); a stray Latin-1 byte is a cell of its own.
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "\xC3\xA9\xE6\xBC\xA2\xE9z"), 0);
    line = m_doc.GetFirstLine();
    EXPECT_EQ(m_doc.ColumnFromOffset(line, 2), 1);
    EXPECT_EQ(m_doc.ColumnFromOffset(line, 5), 3);
    EXPECT_EQ(m_doc.ColumnFromOffset(line, 6), 4);
    EXPECT_EQ(m_doc.OffsetFromColumn(line, 1), 2);
    EXPECT_EQ(m_doc.OffsetFromColumn(line, 2), 2);   // inside the wide character: its start
    EXPECT_EQ(m_doc.OffsetFromColumn(line, 4), 6);
}


TEST_F(SECEditDocTest, ACharacterAndTheMarksDrawnOnItAreOneClusterThatTheColumnsStepOverWhole)
{
    // Each text with the byte offset and column where each of its clusters begins, and its end.
    const std::pair<std::string, std::vector<std::pair<int, int>>> cases[] = {
        {"ca\xCC\x89nh", {{0, 0}, {1, 1}, {4, 2}, {5, 3}, {6, 4}}},          // a Vietnamese tone mark apart
        {"\xE0\xA4\x95\xE0\xA4\xBF.", {{0, 0}, {6, 2}, {7, 3}}},          // a Devanagari vowel sign
        {"\xE3\x81\x8B\xE3\x82\x99", {{0, 0}, {6, 2}}},                    // a wide kana and its voicing
        {"\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9!", {{0, 0}, {11, 4}, {12, 5}}}, // pictographs joined
        {"\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7\xF0\x9F\x87\xAB", {{0, 0}, {8, 2}, {12, 3}}}, // a flag, a letter
        {"\xCC\x81" "a\xE9\xCC\x81", {{0, 0}, {2, 0}, {3, 1}, {6, 2}}},    // a mark alone, one on a stray byte
    };
    for (const auto& [text, starts] : cases) {
        SCOPED_TRACE(text);
        ASSERT_EQ(LoadBytes(m_doc, m_dir, text), 0);
        const SECEditLine* line = m_doc.GetFirstLine();
        // No column puts the caret between a character and its marks (one with none before it
        // takes no column); an offset inside a cluster counts the whole of it.
        for (const auto& start : starts) {
            const int column = start.second;
            const auto last = std::find_if(starts.rbegin(), starts.rend(), [&](const auto& s) { return s.second == column; });
            EXPECT_EQ(m_doc.OffsetFromColumn(line, column), last->first) << "column " << column;
        }
        for (size_t i = 1; i < starts.size(); ++i)
            for (int at = starts[i - 1].first + 1; at <= starts[i].first; ++at)
                EXPECT_EQ(m_doc.ColumnFromOffset(line, at), starts[i].second) << "offset " << at;
    }
}

TEST_F(SECEditDocTest, InsertsAndDeletesAcrossLines)
{
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "one\r\ntwo\r\nthree"), 0);
    SECEditPos pos = Pos(m_doc, 2, 1);
    ASSERT_EQ(m_doc.InsertText(pos, "X\nY\nZ", 5, TRUE), 0);   // LF text into a CR LF document
    EXPECT_EQ(DocText(m_doc), "one\r\ntX\r\nY\r\nZwo\r\nthree");
    EXPECT_EQ(m_doc.GetLineCount(), 5);

    std::string text;
    ASSERT_TRUE(m_doc.GetText(Pos(m_doc, 1, 2), Pos(m_doc, 4, 1), text));
    EXPECT_EQ(text, "e\r\ntX\r\nY\r\nZ");
    ASSERT_EQ(m_doc.DeleteRange(Pos(m_doc, 4, 1), Pos(m_doc, 1, 2), TRUE), 0);
    EXPECT_EQ(DocText(m_doc), "onwo\r\nthree");
    EXPECT_EQ(m_doc.GetLineCount(), 2);
    EXPECT_EQ(m_doc.GetLine(2)->nLineNo, 2);

    pos = Pos(m_doc, 2, 5);
    ASSERT_EQ(m_doc.SplitLine(pos, TRUE), 0);
    EXPECT_EQ(DocText(m_doc), "onwo\r\nthree\r\n");
    pos = Pos(m_doc, 1, 4);
    ASSERT_EQ(m_doc.JoinLine(pos, TRUE), 0);
    EXPECT_EQ(DocText(m_doc), "onwothree\r\n");
    pos = Pos(m_doc, 2, 0);
    EXPECT_EQ(m_doc.JoinLine(pos, TRUE), SECEDIT_END_OF_FILE);
    pos = Pos(m_doc, 1, 9);
    EXPECT_EQ(m_doc.DeleteChar(pos, TRUE), SECEDIT_JOIN_LINE);
    EXPECT_EQ(DocText(m_doc), "onwothree\r\n");
}

TEST_F(SECEditDocTest, TypingPadsAndGivesTheLastLineALineEnd)
{
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "a\r\nb"), 0);
    SECEditPos pos = Pos(m_doc, 2, 1);
    ASSERT_EQ(m_doc.InsertChar(pos, 'c', TRUE, TRUE), 0);
    EXPECT_EQ(DocText(m_doc), "a\r\nbc\r\n");
    m_doc.SetTabSize(4);
    pos = Pos(m_doc, 1, 10);   // nine columns past the text
    ASSERT_EQ(m_doc.InsertChar(pos, 'z', TRUE, TRUE), 0);
    EXPECT_EQ(DocText(m_doc), "a\t\t  z\r\nbc\r\n");
    EXPECT_EQ(m_doc.ColumnFromOffset(m_doc.GetFirstLine(), 5), 10);
}

TEST_F(SECEditDocTest, NoInsertPassesTheWidthLimitAfterPadding)
{
    const int limit = SECEDIT_MAX_WIDTH - 2;
    ASSERT_EQ(LoadBytes(m_doc, m_dir, std::string(limit - 1, 'x') + "\r\n\tq\r\n"), 0);
    std::string before = DocText(m_doc);
    SECEditPos pos = Pos(m_doc, 1, limit - 1);
    ASSERT_EQ(m_doc.InsertChar(pos, 'y', TRUE, TRUE), 0);   // exactly the limit
    before = DocText(m_doc);
    pos = Pos(m_doc, 1, 0);
    EXPECT_EQ(m_doc.InsertChar(pos, 'y', TRUE, TRUE), SECEDIT_LINE_TOO_LONG);
    pos = Pos(m_doc, 2, 20000);   // padding alone would pass it
    EXPECT_EQ(m_doc.InsertChar(pos, 'y', TRUE, TRUE), SECEDIT_LINE_TOO_LONG);
    pos = Pos(m_doc, 2, 0);
    EXPECT_EQ(m_doc.InsertString(pos, "ab", TRUE, TRUE), 0);
    before = DocText(m_doc);
    pos = Pos(m_doc, 1, 3);
    EXPECT_EQ(m_doc.InsertText(pos, "\r\nz", 3, TRUE), 0);   // splitting makes room
    before = DocText(m_doc);
    pos = Pos(m_doc, 1, 1);
    EXPECT_EQ(m_doc.JoinLine(pos, TRUE), SECEDIT_LINE_TOO_LONG);
    EXPECT_EQ(DocText(m_doc), before);
    pos = Pos(m_doc, 1, 1);
    EXPECT_EQ(m_doc.InsertText(pos, std::string(SECEDIT_MAX_WIDTH, 'w').append("\r\n").c_str(), -1, TRUE),
              SECEDIT_LINE_TOO_LONG);
    // A tab inserted before text widens it: counted after it lands.
    ASSERT_EQ(LoadBytes(m_doc, m_dir, std::string(limit - 1, 'x')), 0);
    m_doc.SetTabSize(8);
    pos = Pos(m_doc, 1, 0);
    EXPECT_EQ(m_doc.InsertChar(pos, '\t', TRUE, TRUE), SECEDIT_LINE_TOO_LONG);
    for (const SECEditLine* l = m_doc.GetFirstLine(); l != nullptr; l = l->pNext)
        EXPECT_LE(m_doc.ColumnFromOffset(l, m_doc.TextLength(l)), limit);
}

TEST_F(SECEditDocTest, ColumnBlocksRoundTrip)
{
    m_doc.SetTabSize(4);
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "abcdef\r\na\tb\r\nxy\r\n"), 0);
    std::string block;
    // Drawn upwards: the corners come the other way round.
    ASSERT_TRUE(m_doc.GetColumnBlock(Pos(m_doc, 3, 1), Pos(m_doc, 1, 4), block));
    EXPECT_EQ(block, "bcd\r\n   \r\ny  ");
    ASSERT_EQ(m_doc.DeleteColumnBlock(Pos(m_doc, 1, 1), Pos(m_doc, 3, 4), TRUE), 0);
    EXPECT_EQ(DocText(m_doc), "aef\r\nab\r\nx\r\n");
    SECEditPos pos = Pos(m_doc, 1, 1);
    ASSERT_EQ(m_doc.InsertColumnBlock(pos, "12\r\n34\r\n56\r\n78", -1, TRUE), 0);
    EXPECT_EQ(DocText(m_doc), "a12ef\r\na34b\r\nx56\r\n 78\r\n");
    // Undo takes out the padding and the line the last row needed; undoing the delete gives the
    // tab and the short line back as they were, not as the spaces of the block text.
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "aef\r\nab\r\nx\r\n");
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "abcdef\r\na\tb\r\nxy\r\n");
    ASSERT_TRUE(m_doc.Redo());
    ASSERT_TRUE(m_doc.Redo());
    EXPECT_EQ(DocText(m_doc), "a12ef\r\na34b\r\nx56\r\n 78\r\n");
}

TEST_F(SECEditDocTest, ReadOnlyFilesRefuseEveryEdit)
{
    m_dir.WriteFile("ro.html", "text\r\n");
    chmod(m_dir.File("ro.html").c_str(), 0444);
    ASSERT_EQ(m_doc.LoadFile(m_dir.File("ro.html").c_str()), 0);
    EXPECT_TRUE(m_doc.IsReadOnly());
    SECEditPos pos = Pos(m_doc, 1, 0);
    EXPECT_EQ(m_doc.InsertChar(pos, 'x', TRUE, TRUE), SECEDIT_READONLY);
    EXPECT_EQ(m_doc.SplitLine(pos, TRUE), SECEDIT_READONLY);
    EXPECT_EQ(m_doc.InsertText(pos, "a\r\n", 3, TRUE), SECEDIT_READONLY);
    EXPECT_EQ(m_doc.DeleteRange(pos, Pos(m_doc, 1, 2), TRUE), SECEDIT_READONLY);
    EXPECT_EQ(m_doc.SaveFile(m_dir.File("ro.html").c_str()), SECEDIT_READONLY);
    EXPECT_EQ(DocText(m_doc), "text\r\n");
}

TEST_F(SECEditDocTest, ReplaceFileRenamesOverTheTargetAndReportsFailures)
{
    m_dir.WriteFile("page.html", "old");
    chmod(m_dir.File("page.html").c_str(), 0640);
    m_dir.WriteFile("new.tmp", "new");
    ASSERT_EQ(m_doc.ReplaceFile(m_dir.File("new.tmp").c_str(), m_dir.File("page.html").c_str()), 0);
    EXPECT_EQ(m_dir.ReadFile("page.html"), "new");
    struct stat st{};
    ASSERT_EQ(stat(m_dir.File("page.html").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // A vanished temporary file is an error, and the target is still there.
    EXPECT_EQ(m_doc.ReplaceFile(m_dir.File("new.tmp").c_str(), m_dir.File("page.html").c_str()),
              SECEDIT_CANT_READ);
    EXPECT_EQ(m_dir.ReadFile("page.html"), "new");
    // Names that differ in case are different files.
    m_dir.WriteFile("PAGE.html", "upper");
    ASSERT_EQ(m_doc.ReplaceFile(m_dir.File("PAGE.html").c_str(), m_dir.File("page.html").c_str()), 0);
    EXPECT_EQ(m_dir.ReadFile("page.html"), "upper");
    // A rename that cannot happen (a folder in the way) is reported, not called success.
    m_dir.WriteFile("x.tmp", "x");
    std::filesystem::create_directory(m_dir.File("dir"));
    m_dir.WriteFile("dir/inner", "i");
    EXPECT_NE(m_doc.ReplaceFile(m_dir.File("x.tmp").c_str(), m_dir.File("dir").c_str()), 0);
    EXPECT_EQ(m_dir.ReadFile("x.tmp"), "x");
}

TEST_F(SECEditDocTest, InsertFileLinesAddsWholeLinesBeforeThePosition)
{
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "first\r\nlast\r\n"), 0);
    m_dir.WriteFile("part.txt", "p1\np2");
    SECEditPos pos = Pos(m_doc, 2, 2);
    ASSERT_EQ(m_doc.InsertFileLines(pos, m_dir.File("part.txt").c_str(), TRUE), 0);
    EXPECT_EQ(DocText(m_doc), "first\r\np1\r\np2\r\nlast\r\n");
    EXPECT_EQ(pos.pLine->nLineNo, 2);
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), "first\r\nlast\r\n");
    ASSERT_TRUE(m_doc.Redo());
    EXPECT_EQ(DocText(m_doc), "first\r\np1\r\np2\r\nlast\r\n");
}

// Edits that add or remove lines leave the numbers below them to be worked out on demand: after
// any mix of them, read back in any order, every line's number, GetLine and the count must agree
// with the list itself.
TEST_F(SECEditDocTest, LineNumbersStayRightAfterEditsThatAddOrRemoveLines)
{
    std::string start;
    for (int i = 0; i < 6000; ++i)
        start += "line " + std::to_string(i) + "\r\n";
    ASSERT_EQ(LoadBytes(m_doc, m_dir, start), 0);
    m_dir.WriteFile("part.txt", "p1\np2\np3\n");
    std::mt19937 rng(7);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 1500; ++step) {
        SCOPED_TRACE(step);
        const int count = m_doc.GetLineCount();
        SECEditLine* l = m_doc.GetLine(1 + pick(count));
        SECEditPos pos{l, pick(m_doc.TextLength(l) + 1)};
        switch (pick(7)) {
        case 0: m_doc.SplitLine(pos, TRUE); break;
        case 1: pos.nOffset = m_doc.TextLength(l); m_doc.JoinLine(pos, TRUE); break;
        case 2: m_doc.InsertText(pos, "a\r\nb\r\nc", -1, TRUE); break;
        case 3: {
            SECEditLine* l2 = m_doc.GetLine(std::min(count, m_doc.LineNo(l) + pick(40)));
            m_doc.DeleteRange(pos, SECEditPos{l2, 0}, TRUE);
            break;
        }
        case 4: m_doc.InsertFileLines(pos, m_dir.File("part.txt").c_str(), TRUE); break;
        case 5: m_doc.Undo(); break;
        default: m_doc.Redo(); break;
        }
        std::vector<SECEditLine*> lines;
        for (SECEditLine* line = m_doc.GetFirstLine(); line != nullptr; line = line->pNext)
            lines.push_back(line);
        ASSERT_EQ(m_doc.GetLineCount(), static_cast<int>(lines.size()));
        // Four neighbouring lines, as a repaint asks for them, and four anywhere, by number
        // and by line.
        const int near = 1 + pick(static_cast<int>(lines.size()));
        for (int probe = 0; probe < 8; ++probe) {
            int n = probe < 4 ? near - 2 + probe : 1 + pick(static_cast<int>(lines.size()));
            n = std::clamp(n, 1, static_cast<int>(lines.size()));
            if (pick(2) == 0) {
                ASSERT_EQ(m_doc.GetLine(n), lines[static_cast<size_t>(n - 1)]) << "line " << n;
            } else {
                ASSERT_EQ(m_doc.LineNo(lines[static_cast<size_t>(n - 1)]), n);
            }
        }
        if (step % 100 == 0) {
            for (size_t i = lines.size(); i-- > 0;)
                ASSERT_EQ(m_doc.LineNo(lines[i]), static_cast<int>(i) + 1);
        }
    }
    // The whole text still undoes to what was loaded: the records' line numbers were right.
    while (m_doc.Undo()) {
    }
    EXPECT_EQ(DocText(m_doc), start);
}

} // namespace

TEST(SECEditDocLoadTest, ATextLoadedInPiecesIsTheTextInsertedWhole)
{
    // However a text is cut into pieces (a line end pair split, a wide character split, a line
    // wider than the greatest width), the lines, their ends and their numbers are those of the
    // text inserted whole into an empty document.
    std::string wide;
    while (wide.size() < 40000)
        wide += "ab\t\xE6\xBC\xA2";
    const std::string texts[] = {
        "a\r\nb",        "a\n\rb\n\r",    "a\nb\nc\n",   "a\rb\r",           "no line end", "",
        "\r\n\r\n\r\n",  "x\r\ny\nz\r",   wide,          "head\n" + wide + "\ntail\n",
        wide + "\r\n" + wide,
    };
    for (const std::string& text : texts) {
        SECEditDoc whole;
        SECEditPos pos{whole.GetFirstLine(), 0};
        if (const int kind = SECEditDoc::DetectLineEnd(text.data(), static_cast<int>(text.size())); kind >= 0)
            whole.SetLineEndType(kind);
        ASSERT_EQ(whole.InsertText(pos, text.data(), static_cast<int>(text.size()), FALSE), 0);
        for (const size_t nPiece : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{997}, size_t{4096}, text.size() + 1}) {
            if (nPiece < 64 && text.size() > 1000)
                continue;
            SCOPED_TRACE(text.substr(0, 20) + " in pieces of " + std::to_string(nPiece));
            SECEditDoc pieces;
            pieces.BeginLoad();
            for (size_t at = 0; at < text.size(); at += nPiece)
                ASSERT_EQ(pieces.LoadPiece(text.data() + at, static_cast<int>(std::min(nPiece, text.size() - at))), 0);
            ASSERT_EQ(pieces.FinishLoad(), 0);
            EXPECT_EQ(pieces.GetLineEndType(), whole.GetLineEndType());
            ASSERT_EQ(pieces.GetLineCount(), whole.GetLineCount());
            int nLine = 1;
            for (const SECEditLine *a = pieces.GetFirstLine(), *b = whole.GetFirstLine(); a != nullptr && b != nullptr;
                 a = a->pNext, b = b->pNext, ++nLine) {
                EXPECT_EQ(std::string(a->pText, a->nLength), std::string(b->pText, b->nLength)) << "line " << nLine;
                EXPECT_EQ(pieces.LineNo(a), nLine);
            }
            EXPECT_EQ(pieces.GetLine(pieces.GetLineCount())->pNext, nullptr);
        }
    }
    SECEditDoc refused;
    refused.BeginLoad();
    EXPECT_EQ(refused.LoadPiece("a\0b", 3), SECEDIT_NULLS_IN_FILE);
}
