#include "EditorTestSupport.h"

#include "platform/core/CProfileStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

class SECEditLanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_profile.SetAppName("EditorTest");
        m_profile.SetProfileName(m_dir.File("profile.ini").c_str());
    }

    void Set(const char* key, const char* value) { m_profile.WriteProfileString("Editor", key, value); }

    // Reads the settings of section "Editor" into the document.
    void Read()
    {
        m_doc.SetSection("Editor");
        m_doc.ReadSettings();
    }

    // The keywords of a line in order, with their colours.
    std::vector<std::pair<std::string, COLORREF>> Keywords(const char* line)
    {
        std::vector<std::pair<std::string, COLORREF>> found;
        const char* p = line;
        int start = 0;
        int end = 0;
        while (m_doc.FindKeyword(&p, &start, &end)) {
            found.emplace_back(std::string(p, static_cast<size_t>(end - start)),
                               m_doc.GetCurrentKeywordColor());
            p += end - start;
        }
        return found;
    }

    ScopedTempDir m_dir;
    ScopedEnv m_env{"XDG_CONFIG_HOME", m_dir.Path()};
    CProfileStore m_profile;
    SECEditDoc m_doc{&m_profile};
};

TEST_F(SECEditLanguageTest, WithoutAKeywordFileColouringIsOff)
{
    Set("Chroma", "1");
    Set("Keywords", m_dir.File("missing.ini").c_str());
    Read();
    EXPECT_FALSE(m_doc.GetChroma());
    EXPECT_FALSE(m_doc.LoadKeywordFile());
    const char* p = "if then";
    int s = 0;
    int e = 0;
    EXPECT_FALSE(m_doc.FindKeyword(&p, &s, &e));
    // The default file lies beside the program, where the tests put none.
    SECEditDoc plain;
    EXPECT_FALSE(plain.GetChroma());
    EXPECT_NE(plain.GetKeywordFilePath().find("Default.ini"), std::string::npos);
}

TEST_F(SECEditLanguageTest, KeywordsTheirColoursAndCase)
{
    m_dir.WriteFile("html.ini",
                    "[Keywords]\r\nif=1\r\nwhile=2\r\nSelect=3\r\n"
                    "averyveryverylongkeywordthirty=1\r\n"
                    "[Colors]\r\n2=128,0,128\r\n");
    Set("Chroma", "1");
    Set("Keyword", "0,0,200");
    Set("Keywords", m_dir.File("html.ini").c_str());
    Read();
    EXPECT_TRUE(m_doc.GetChroma());
    auto found = Keywords("  IF x While(select) Whilex averyveryverylongkeywordthirty\r\n");
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].first, "IF");
    EXPECT_EQ(found[0].second, RGB(0, 0, 200));   // colour 1 has no entry: the keyword colour
    EXPECT_EQ(found[1].first, "While");
    EXPECT_EQ(found[1].second, RGB(128, 0, 128));
    EXPECT_EQ(found[2].first, "select");
    EXPECT_EQ(found[3].first, "averyveryverylongkeywordthirty");   // only the file knows it

    Set("Case", "1");
    Read();
    found = Keywords("IF if Select select\r\n");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].first, "if");
    EXPECT_EQ(found[1].first, "Select");
}

TEST_F(SECEditLanguageTest, TheFileNamedSectionAndLargeKeywordFiles)
{
    std::string ini = "[Default]\n";
    for (int i = 0; i < 3000; ++i)
        ini += "kw" + std::to_string(i) + "=1\n";
    m_dir.WriteFile("Default.ini", ini);
    Set("Keywords", m_dir.File("Default.ini").c_str());
    Read();
    ASSERT_TRUE(m_doc.LoadKeywordFile());
    auto found = Keywords("kw0 kw2999 kw1500 kw3000 kw\n");
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[1].first, "kw2999");
}

TEST_F(SECEditLanguageTest, WordCharactersFromTheSettings)
{
    m_dir.WriteFile("k.ini", "[Keywords]\n#define=1\ndefine=1\nab:=1\n");
    Set("Keywords", m_dir.File("k.ini").c_str());
    Set("Extra word chars", "#:");
    Set("Terminator chars", ":");
    Read();
    int length = 0;
    const char* text = "  #define x";
    EXPECT_EQ(m_doc.NextWord(text, 11, &length), text + 2);
    EXPECT_EQ(length, 7);
    text = "ab:cd";
    EXPECT_EQ(m_doc.NextWord(text, 5, &length), text);
    EXPECT_EQ(length, 3);   // a terminator ends the word after itself
    EXPECT_TRUE(m_doc.IsWordChar(0xC3));   // bytes of multibyte characters are word characters
    EXPECT_FALSE(m_doc.IsWordChar('-'));
    auto found = Keywords("#define ab:cd\n");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].first, "#define");
    EXPECT_EQ(found[1].first, "ab:");
}

TEST_F(SECEditLanguageTest, CommentBlocksAndQuotes)
{
    Set("Comment Start 1", "/*");
    Set("Comment End 1", "*/");
    Set("Comment Start 2", "//");
    Read();
    ASSERT_EQ(LoadBytes(m_doc, m_dir,
                        "a /* open\r\ninside\r\nend */ b\r\nafter\r\n"
                        "// /* not a block\r\nline\r\ns = '/*';\r\nline\r\n"),
              0);
    int cls = 0;
    EXPECT_FALSE(m_doc.GetLineBlockClass(m_doc.GetLine(1), &cls));
    EXPECT_TRUE(m_doc.GetLineBlockClass(m_doc.GetLine(2), &cls));
    EXPECT_EQ(cls, 1);
    EXPECT_TRUE(m_doc.GetLineBlockClass(m_doc.GetLine(3), &cls));
    EXPECT_FALSE(m_doc.GetLineBlockClass(m_doc.GetLine(4), &cls));
    EXPECT_FALSE(m_doc.GetLineBlockClass(m_doc.GetLine(6), &cls));   // after "// /*"
    EXPECT_FALSE(m_doc.GetLineBlockClass(m_doc.GetLine(8), &cls));   // after a quoted "/*"

    const char* line = "x = 1; /* c */ y // z";
    int n = static_cast<int>(std::strlen(line));
    EXPECT_EQ(m_doc.FindBlockStart(line, n, &cls), 7);
    EXPECT_EQ(cls, 1);
    EXPECT_EQ(m_doc.FindBlockEnd(line + 9, n - 9, 1), 5);
    EXPECT_FALSE(m_doc.GetBlockOpen());
    EXPECT_EQ(m_doc.FindBlockEnd("still open", 10, 1), 10);
    EXPECT_TRUE(m_doc.GetBlockOpen());
    EXPECT_EQ(m_doc.FindBlockStart("say \"/* no\" ok", 14, &cls), -1);
    EXPECT_EQ(m_doc.AddBlockPair("<!--", "-->"), 3);
    EXPECT_EQ(m_doc.AddBlockPair("<!--", "-->"), -1);
    EXPECT_EQ(m_doc.AddBlockPair("/*", "*/"), -1);
    EXPECT_EQ(m_doc.FindBlockStart("a <!-- b", 8, &cls), 2);
    EXPECT_EQ(cls, 3);

    // A quote escaped by a backslash does not close the quoted text.
    EXPECT_TRUE(SECEditDoc::IsInQuotes("x = \"a\\\"b /* c\"", 11));
    EXPECT_FALSE(SECEditDoc::IsInQuotes("x = \"a\" /* c", 8));
}

TEST_F(SECEditLanguageTest, ColoursRoundTripThroughTheirStoredForm)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 200; ++i) {
        COLORREF colour = rng() & 0xFFFFFFu;
        EXPECT_EQ(SECEditDoc::ParseColor(SECEditDoc::FormatColor(colour)), colour);
    }
    EXPECT_STREQ(static_cast<LPCSTR>(SECEditDoc::FormatColor(RGB(1, 22, 255))), "1,22,255");
    EXPECT_EQ(SECEditDoc::ParseColor("10,20"), RGB(10, 20, 0));
    EXPECT_EQ(SECEditDoc::ParseColor("000000012,5,6"), RGB(0, 5, 6));   // over-long parts are cut
    EXPECT_EQ(SECEditDoc::ParseColor(""), RGB(0, 0, 0));

    Set("Comment", "1,2,3");
    Set("Background", "250,250,240");
    Set("Comment Start 1", "<!--and-a-much-too-long-opener");
    Read();
    EXPECT_EQ(m_doc.m_crComment, RGB(1, 2, 3));
    EXPECT_EQ(m_doc.m_crBackground, RGB(250, 250, 240));
    EXPECT_EQ(m_doc.m_crQuote, RGB(255, 0, 0));
    EXPECT_STREQ(m_doc.m_szCommentStart1, "<!--and-a-much-");
    EXPECT_EQ(m_profile.GetProfileString("Editor", "Comment", ""), CString("1,2,3"));
}

} // namespace
