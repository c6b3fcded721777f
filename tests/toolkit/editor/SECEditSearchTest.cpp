#include "EditorTestSupport.h"

#include <gtest/gtest.h>

namespace {

class SECEditSearchTest : public ::testing::Test {
protected:
    // Searches the whole document from a position; the match's line, offset and length.
    bool Find(const char* pattern, int flags, int line, int offset, int* foundLine, int* foundOffset,
              int* length = nullptr)
    {
        SECEditSearch request;
        request.strPattern = pattern;
        request.nFlags = flags;
        SECEditPos from = Pos(m_doc, line, offset);
        SECEditLine* last = m_doc.GetLine(m_doc.GetLineCount());
        SECEditPos limit = flags & SECEDIT_SEARCH_FORWARD ? SECEditPos{last, last->nLength}
                                                          : SECEditPos{m_doc.GetFirstLine(), 0};
        if (!m_doc.Search(from, limit, request))
            return false;
        *foundLine = from.pLine->nLineNo;
        *foundOffset = from.nOffset;
        if (length != nullptr)
            *length = request.nMatchLength;
        return true;
    }

    ScopedTempDir m_dir;
    SECEditDoc m_doc;
};

constexpr int kFwd = SECEDIT_SEARCH_FORWARD;
constexpr int kRe = SECEDIT_SEARCH_REGEXP;

TEST_F(SECEditSearchTest, FindsPlainAndRegularPatternsBothWays)
{
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "one abc\r\nTwo ABC abc\r\nthree\r\n"), 0);
    int line = 0;
    int off = 0;
    int length = 0;
    ASSERT_TRUE(Find("ABC", kFwd, 1, 0, &line, &off, &length));
    EXPECT_EQ(line, 1);
    EXPECT_EQ(off, 4);
    EXPECT_EQ(length, 3);
    ASSERT_TRUE(Find("ABC", kFwd | kRe, 1, 5, &line, &off));
    EXPECT_EQ(line, 2);
    EXPECT_EQ(off, 4);
    ASSERT_TRUE(Find("ABC", kFwd | SECEDIT_SEARCH_MATCHCASE, 1, 0, &line, &off));
    EXPECT_EQ(line, 2);
    EXPECT_EQ(off, 4);
    // Backwards: the last match before the position, one ending at the line's end included.
    ASSERT_TRUE(Find("abc", 0, 2, 13, &line, &off));
    EXPECT_EQ(off, 8);
    ASSERT_TRUE(Find("b[a-c]+$", kRe, 2, 13, &line, &off, &length));
    EXPECT_EQ(line, 2);
    EXPECT_EQ(off, 9);
    EXPECT_EQ(length, 2);
    ASSERT_TRUE(Find("t.o", kRe, 3, 0, &line, &off));
    EXPECT_EQ(line, 2);
    // A whole word is one between non-word characters.
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "concat cat_x cat\r\n"), 0);
    ASSERT_TRUE(Find("cat", kFwd | SECEDIT_SEARCH_WHOLEWORD, 1, 0, &line, &off));
    EXPECT_EQ(off, 13);
    ASSERT_TRUE(Find("c[a-z]+", kFwd | kRe | SECEDIT_SEARCH_WHOLEWORD, 1, 1, &line, &off));
    EXPECT_EQ(off, 13);
    // A pattern that does not compile finds nothing and moves nothing.
    SECEditSearch request;
    request.strPattern = "(a";
    request.nFlags = kFwd | kRe;
    SECEditPos from = Pos(m_doc, 1, 2);
    EXPECT_FALSE(m_doc.Search(from, from, request));
    EXPECT_EQ(from.nOffset, 2);
}

TEST_F(SECEditSearchTest, AnchorsMeanTheLineWhereverTheSearchStarts)
{
    const char* files[] = {"ax\r\nbx\r\n", "ax\n\rbx\n\r", "ax\nbx\n", "ax\rbx\r", "ax\r\nbx"};
    for (const char* file : files) {
        SCOPED_TRACE(file);
        ASSERT_EQ(LoadBytes(m_doc, m_dir, file), 0);
        int line = 0;
        int off = 0;
        ASSERT_TRUE(Find("x$", kFwd | kRe, 1, 0, &line, &off));
        EXPECT_EQ(line, 1);
        EXPECT_EQ(off, 1);
        ASSERT_TRUE(Find("^b", kFwd | kRe, 1, 1, &line, &off));
        EXPECT_EQ(line, 2);
    }
    // "^" does not match at a search's start inside a line, nor "$" at a limit inside one.
    ASSERT_EQ(LoadBytes(m_doc, m_dir, "aaa\r\nab\r\n"), 0);
    int line = 0;
    int off = 0;
    ASSERT_TRUE(Find("^a", kFwd | kRe, 1, 1, &line, &off));
    EXPECT_EQ(line, 2);
    SECEditSearch request;
    request.strPattern = "a$";
    request.nFlags = kFwd | kRe;
    SECEditPos from = Pos(m_doc, 2, 0);
    EXPECT_FALSE(m_doc.Search(from, Pos(m_doc, 2, 1), request));
}

TEST_F(SECEditSearchTest, ReplaceAllEndsOnEmptyMatchesAndIsOneUndoStep)
{
    const std::string text = "xaxx\r\n\r\nbx\r\nlast";
    ASSERT_EQ(LoadBytes(m_doc, m_dir, text), 0);
    SECEditSearch request;
    request.strPattern = "^";
    request.nFlags = kRe;
    EXPECT_EQ(m_doc.ReplaceAll(request, ""), 0);
    EXPECT_EQ(DocText(m_doc), text);
    EXPECT_EQ(m_doc.ReplaceAll(request, "> "), 4);
    EXPECT_EQ(DocText(m_doc), "> xaxx\r\n> \r\n> bx\r\n> last");
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), text);

    request.strPattern = "x*";
    EXPECT_EQ(m_doc.ReplaceAll(request, ""), 3);
    EXPECT_EQ(DocText(m_doc), "a\r\n\r\nb\r\nlast");
    ASSERT_TRUE(m_doc.Undo());
    EXPECT_FALSE(m_doc.Undo());
    EXPECT_EQ(DocText(m_doc), text);
    request.strPattern = "x*";
    EXPECT_EQ(m_doc.ReplaceAll(request, "-"), 13);   // as a global substitution counts them
    EXPECT_EQ(DocText(m_doc), "--a--\r\n-\r\n-b--\r\n-l-a-s-t-");
    ASSERT_TRUE(m_doc.Undo());

    // Plain text, case folded, and regular replacements with groups taken from the text.
    request.strPattern = "X";
    request.nFlags = 0;
    EXPECT_EQ(m_doc.ReplaceAll(request, "yy"), 4);
    EXPECT_EQ(DocText(m_doc), "yyayyyy\r\n\r\nbyy\r\nlast");
    ASSERT_TRUE(m_doc.Undo());
    request.strPattern = "([A-Z])(X+)";
    request.nFlags = kRe;
    EXPECT_EQ(m_doc.ReplaceAll(request, "\\2\\1"), 2);
    EXPECT_EQ(DocText(m_doc), "xxxa\r\n\r\nxb\r\nlast");
    request.strPattern = "(";
    EXPECT_EQ(m_doc.ReplaceAll(request, ""), -1);
}

} // namespace
