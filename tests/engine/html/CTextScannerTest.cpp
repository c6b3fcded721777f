#include "engine/html/CTextScanner.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(TextScannerTest, ReadsNumbersLikeFormattedInput)
{
    int n = 0;
    CTextScanner scan("  -42x");
    EXPECT_TRUE(scan.Int(n));
    EXPECT_EQ(n, -42);
    EXPECT_STREQ(scan.GetRest(), "x");
    EXPECT_FALSE(scan.Int(n));
    EXPECT_STREQ(scan.GetRest(), "x");  // a failed field reads nothing

    CTextScanner width("12345");
    EXPECT_TRUE(width.Int(n, 2));
    EXPECT_EQ(n, 12);
    EXPECT_TRUE(width.Int(n, 4));
    EXPECT_EQ(n, 345);

    CTextScanner sign("-");
    EXPECT_FALSE(sign.Int(n));
    CTextScanner widthSign("-5");
    EXPECT_FALSE(widthSign.Int(n, 1));  // the width counts the sign
}

TEST(TextScannerTest, SaturatesHugeNumbers)
{
    int n = 0;
    CTextScanner big("123456789012345678901234567890");
    EXPECT_TRUE(big.Int(n));
    EXPECT_EQ(n, INT_MAX);
    EXPECT_STREQ(big.GetRest(), "");
    CTextScanner small("-99999999999");
    EXPECT_TRUE(small.Int(n));
    EXPECT_EQ(n, INT_MIN);
}

TEST(TextScannerTest, ReadsStringsLiteralsAndSets)
{
    CString s;
    CTextScanner scan(" \tabcdef = 'q r'");
    EXPECT_TRUE(scan.String(s, 3));
    EXPECT_STREQ(s, "abc");
    EXPECT_TRUE(scan.String(s));
    EXPECT_STREQ(s, "def");
    EXPECT_FALSE(scan.Literal('='));  // a literal skips no blanks
    scan.SkipSpace();
    EXPECT_TRUE(scan.Literal('='));
    scan.SkipSpace();
    EXPECT_TRUE(scan.Literal('\''));
    EXPECT_TRUE(scan.Until('\'', s));
    EXPECT_STREQ(s, "q r");
    EXPECT_FALSE(scan.Until('\'', s));
    char ch = 0;
    EXPECT_TRUE(scan.Char(ch));
    EXPECT_EQ(ch, '\'');
    EXPECT_FALSE(scan.Char(ch));
    EXPECT_FALSE(scan.String(s));
    EXPECT_FALSE(scan.Literal('\0'));

    CTextScanner none(nullptr);
    EXPECT_FALSE(none.String(s));
}

} // namespace
