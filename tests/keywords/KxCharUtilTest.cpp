#include "keywords/KxCharUtil.h"

#include <gtest/gtest.h>

using namespace kx;

TEST(KxCharUtil, LowerCaseCoversLatin1CapitalsOnly)
{
    std::string text = "ABC\xC9\xD6\xD7\xD8\xDD\xDE";
    LowerInPlace(text);
    // The multiplication sign, O with stroke and thorn are left alone.
    EXPECT_EQ(text, "abc\xE9\xF6\xD7\xD8\xFD\xDE");
}

TEST(KxCharUtil, CapitalTests)
{
    EXPECT_EQ(CountCapitals("GaRd\xC9n"), 3);
    EXPECT_TRUE(BeginsWithTwoCapitals("USA today"));
    EXPECT_FALSE(BeginsWithTwoCapitals("Usa"));
    EXPECT_TRUE(IsCapitalised("Garden"));
    EXPECT_TRUE(IsCapitalised("\xC9t\xE9"));
    EXPECT_FALSE(IsCapitalised("GARDEN"));
    EXPECT_FALSE(IsCapitalised("garden"));
    EXPECT_FALSE(IsCapitalised("G"));
}

TEST(KxCharUtil, DeleteAndTrim)
{
    std::string text = "(key.word),";
    EXPECT_EQ(DeleteChars(text, "(),."), 4u);
    EXPECT_EQ(text, "keyword");
    std::string padded = "word \t\r\n\b";
    TrimTrailingWhite(padded);
    EXPECT_EQ(padded, "word");
}

TEST(KxCharUtil, CopyUntilAnswersThePositionAfterTheSeparator)
{
    char out[8];
    EXPECT_EQ(CopyUntil("garden hose", " ", out, sizeof out), 7u);
    EXPECT_STREQ(out, "garden");
    EXPECT_EQ(CopyUntil("averylongword", " ", out, sizeof out), 13u);
    EXPECT_STREQ(out, "averylo");
}

TEST(KxCharUtil, Ucs2NarrowingAndWidening)
{
    const unsigned char ucs2[] = {'h', 0, 0xE9, 0, 0x00, 0x01};
    EXPECT_EQ(NarrowUcs2(ucs2, sizeof ucs2), "h\xE9?");
    std::string wide = WidenToUcs2("h\xE9");
    ASSERT_EQ(wide.size(), 6u);
    EXPECT_EQ(wide[2], '\xE9');
    EXPECT_EQ(wide[3], '\0');
    const char16_t text[] = {u'a', u'b', 0};
    EXPECT_EQ(Ucs2Length(text), 2u);
}
