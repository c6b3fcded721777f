// The cached block classes at line starts give the backward walk's answer on every line, also
// after edits anywhere, undo, and a change of delimiters.
#include "EditorTestSupport.h"

#include "platform/core/CProfileStore.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class BlockCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_profile.SetAppName("EditorTest");
        m_profile.SetProfileName(m_dir.File("profile.ini").c_str());
        m_profile.WriteProfileString("Editor", "Comment Start 1", "<!--");
        m_profile.WriteProfileString("Editor", "Comment End 1", "-->");
        m_profile.WriteProfileString("Editor", "Comment Start 2", "//");
        m_doc.SetSection("Editor");
        m_doc.ReadSettings();
        m_doc.AddBlockPair("/*", "*/");
    }
    // What the backward walk says of a line.
    int Walked(const SECEditLine* line)
    {
        if (m_doc.IsInBlock(line, m_doc.m_szCommentStart1, m_doc.m_szCommentEnd1,
                            m_doc.m_szCommentEnd2[0] == '\0' ? m_doc.m_szCommentStart2 : nullptr))
            return 1;
        if (m_doc.IsInBlock(line, m_doc.m_szCommentStart2, m_doc.m_szCommentEnd2,
                            m_doc.m_szCommentEnd1[0] == '\0' ? m_doc.m_szCommentStart1 : nullptr))
            return 2;
        if (m_doc.IsInBlock(line, "/*", "*/", nullptr))
            return 3;
        return 0;
    }
    int Cached(const SECEditLine* line)
    {
        int cls = 0;
        return m_doc.GetLineBlockClass(line, &cls) ? cls : 0;
    }
    std::string RandomLine(std::mt19937& rng)
    {
        static const char* const pieces[] = {"<!--", "-->", "//", "/*", "*/", "\"", "'", "\\", "a", " ", "x-", "<"};
        std::string line;
        const int n = static_cast<int>(rng() % 8);
        for (int i = 0; i < n; ++i)
            line += pieces[rng() % 12];
        return line;
    }
    void ExpectAllLinesAgree(const char* when)
    {
        // Ask from the bottom up and from the top down, so that both directions fill the cache.
        std::vector<const SECEditLine*> lines;
        for (const SECEditLine* line = m_doc.GetFirstLine(); line != nullptr; line = line->pNext)
            lines.push_back(line);
        for (size_t i = lines.size(); i-- > 0;)
            ASSERT_EQ(Cached(lines[i]), Walked(lines[i])) << when << ", line " << lines[i]->nLineNo;
        for (const SECEditLine* line : lines)
            ASSERT_EQ(Cached(line), Walked(line)) << when << ", line " << line->nLineNo;
    }

    ScopedTempDir m_dir;
    CProfileStore m_profile;
    SECEditDoc m_doc{&m_profile};
};

TEST_F(BlockCacheTest, EqualsTheBackwardWalkThroughRandomEdits)
{
    std::mt19937 rng(5);
    for (int round = 0; round < 20; ++round) {
        std::string text;
        const int lines = 5 + static_cast<int>(rng() % 40);
        for (int i = 0; i < lines; ++i)
            text += RandomLine(rng) + "\r\n";
        ASSERT_EQ(LoadBytes(m_doc, m_dir, text), 0);
        ExpectAllLinesAgree("loaded");
        for (int edit = 0; edit < 15; ++edit) {
            const int count = m_doc.GetLineCount();
            SECEditPos pos{m_doc.GetLine(1 + static_cast<int>(rng() % count)), 0};
            pos.nOffset = static_cast<int>(rng() % (m_doc.TextLength(pos.pLine) + 1));
            switch (rng() % 5) {
            case 0:
                m_doc.InsertString(pos, RandomLine(rng).c_str(), TRUE, TRUE);
                break;
            case 1: {
                const std::string piece = RandomLine(rng) + "\r\n" + RandomLine(rng);
                m_doc.InsertText(pos, piece.data(), static_cast<int>(piece.size()), TRUE);
                break;
            }
            case 2:
                if (pos.nOffset < m_doc.TextLength(pos.pLine))
                    m_doc.DeleteChar(pos, TRUE);
                break;
            case 3:
                if (pos.pLine->pNext != nullptr)
                    m_doc.DeleteRange(pos, SECEditPos{pos.pLine->pNext, 0}, TRUE);
                break;
            default:
                m_doc.Undo();
                break;
            }
            ExpectAllLinesAgree("after an edit");
        }
    }
    // New delimiters make every cached state stale.
    m_profile.WriteProfileString("Editor", "Comment Start 1", "x-");
    m_profile.WriteProfileString("Editor", "Comment End 1", "a");
    m_doc.ReadSettings();
    ExpectAllLinesAgree("new delimiters");
}

TEST_F(BlockCacheTest, AskingNearTheEndOfALongPageWalksFromTheLastKnownLine)
{
    std::string text = "<!-- opened\r\n";
    for (int i = 0; i < 20000; ++i)
        text += "<p>text " + std::to_string(i) + "</p>\r\n";
    text += "closed -->\r\nafter\r\n";
    ASSERT_EQ(LoadBytes(m_doc, m_dir, text), 0);
    const SECEditLine* last = m_doc.GetLine(m_doc.GetLineCount());   // "after"
    EXPECT_EQ(Cached(last), 0);
    EXPECT_EQ(Cached(last->pPrev), 1);
    EXPECT_EQ(Cached(m_doc.GetLine(10000)), 1);
    // An edit below the opener keeps what is above it and is seen by the lines below.
    SECEditPos pos{m_doc.GetLine(5000), 0};
    ASSERT_EQ(m_doc.InsertString(pos, "-->", TRUE, TRUE), 0);
    EXPECT_EQ(Cached(m_doc.GetLine(4999)), 1);
    EXPECT_EQ(Cached(m_doc.GetLine(10000)), 0);
    EXPECT_EQ(Walked(m_doc.GetLine(10000)), 0);
}

} // namespace
