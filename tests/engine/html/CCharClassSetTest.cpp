#include "engine/html/CCharClassSet.h"
#include "engine/html/HtmlEntities.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Members(const CCharClassSet& set)
{
    std::string out;
    for (int c = 0; c < 256; ++c) {
        if (set.Contains(c))
            out += static_cast<char>(c);
    }
    return out;
}

} // namespace

TEST(CCharClassSetTest, RangeTextSyntax)
{
    EXPECT_EQ("abc", Members(CCharClassSet("a-c")));
    EXPECT_EQ("abc", Members(CCharClassSet("%a-c")));
    EXPECT_EQ("-ac", Members(CCharClassSet("a%-c")));
    EXPECT_EQ("%", Members(CCharClassSet("%%")));
    EXPECT_EQ("", Members(CCharClassSet("")));
    EXPECT_EQ("", Members(CCharClassSet(nullptr)));
    // A leading "-" ranges from byte 1; a range end does not become the last character.
    EXPECT_EQ(std::string("\x01\x02\x03", 3), Members(CCharClassSet("-\x03")));
    EXPECT_EQ("abcde", Members(CCharClassSet("a-c-e")));
    // "-" followed by "%" takes the character after the "%" as the end.
    EXPECT_EQ("%&'()*+,-", Members(CCharClassSet("%%-%-")));
    // Nothing after a "%" or "-" adds nothing, and reading stops there.
    EXPECT_EQ("a", Members(CCharClassSet("a-")));
    EXPECT_EQ("a", Members(CCharClassSet("a%")));
}

TEST(CCharClassSetTest, ContainsTakesTheByteModulo256)
{
    EXPECT_TRUE(g_HostChars.Contains('a' + 256));
    EXPECT_TRUE(g_ServerNameChars.Contains(static_cast<char>(0x91)));
    EXPECT_FALSE(g_HostChars.Contains(-1));
}

TEST(CCharClassSetTest, GlobalSets)
{
    std::string control;
    for (int c = 1; c <= 32; ++c)
        control += static_cast<char>(c);
    EXPECT_EQ(control, Members(g_ControlChars));
    EXPECT_FALSE(g_ControlChars.Contains(0));
    EXPECT_FALSE(g_ControlChars.Contains(127));

    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const std::string lower = "abcdefghijklmnopqrstuvwxyz";
    EXPECT_EQ("-." + std::string("0123456789") + letters + lower, Members(g_HostChars));
    EXPECT_EQ(".0123456789", Members(g_IpChars));
    EXPECT_EQ("!\"$%&'()*+,-./0123456789:;=?@" + letters + "_" + lower, Members(g_UrlChars));
    for (char c : std::string("~|# <>"))
        EXPECT_FALSE(g_UrlChars.Contains(c)) << c;
    EXPECT_EQ(Members(g_UrlChars) + "~", Members(g_UrlCharsTilde));
    EXPECT_TRUE(g_UrlCharsTildeBlank.Contains(' '));
    EXPECT_TRUE(g_UrlCharsTildeBlank.Contains('~'));
    EXPECT_TRUE(g_UrlCharsBar.Contains('|'));
    EXPECT_FALSE(g_UrlCharsBar.Contains('~'));
    EXPECT_EQ("!#$%&()-.0123456789@" + letters + "^_" + lower + "{}~\x91", Members(g_ServerNameChars));
}

TEST(CCharClassSetTest, ContainsAllStepsByCharacter)
{
    EXPECT_TRUE(g_HostChars.ContainsAll("www.example-1.com"));
    EXPECT_FALSE(g_HostChars.ContainsAll("a b"));
    EXPECT_TRUE(g_HostChars.ContainsAll(""));
    EXPECT_TRUE(g_HostChars.ContainsAll(nullptr));
    // Only the lead byte of a multibyte character is tested.
    CCharClassSet set("a\xC3");
    EXPECT_TRUE(set.ContainsAll("a\xC3\xA9" "a"));
    EXPECT_FALSE(set.ContainsAll("a\xC3"
                                 "b"));
}

TEST(CCharClassSetTest, BlankControlChars)
{
    CString text("a\tb\r\nc\x01\x7f");
    BlankControlChars(text);
    EXPECT_STREQ("a b  c \x7f", text.GetString());
    char raw[] = "x\ny";
    BlankControlChars(raw);
    EXPECT_STREQ("x y", raw);
    BlankControlChars(static_cast<LPSTR>(nullptr));
}

TEST(HtmlEntitiesTest, NamedLookup)
{
    EXPECT_STREQ("&", LookupHtmlEntity("amp", 3));
    EXPECT_STREQ("\"", LookupHtmlEntity("quot", 4));
    EXPECT_STREQ("<", LookupHtmlEntity("lt", 2));
    EXPECT_STREQ(">", LookupHtmlEntity("gt", 2));
    EXPECT_STREQ("\xC2\xA1", LookupHtmlEntity("iexcl", 5));
    EXPECT_STREQ("\xC3\x86", LookupHtmlEntity("AElig", 5));
    EXPECT_STREQ("\xC3\xA6", LookupHtmlEntity("aelig", 5));
    EXPECT_STREQ("\xC3\xBF", LookupHtmlEntity("yuml", 4));
    EXPECT_EQ(nullptr, LookupHtmlEntity("Amp", 3));
    EXPECT_STREQ("\xC2\xA0", LookupHtmlEntity("nbsp", 4));
    // The length decides: a prefix of a name is not the name.
    EXPECT_EQ(nullptr, LookupHtmlEntity("am", 2));
    EXPECT_STREQ("&", LookupHtmlEntity("ampersand", 3));
    EXPECT_EQ(nullptr, LookupHtmlEntity("", 0));
}

TEST(HtmlEntitiesTest, NumericLookup)
{
    EXPECT_STREQ("A", ParseNumericCharRef("65", 2));
    EXPECT_STREQ("A", ParseNumericCharRef("065", 3));
    EXPECT_STREQ("\t", ParseNumericCharRef("9", 1));
    EXPECT_STREQ("\xC2\xA0", ParseNumericCharRef("160", 3));
    EXPECT_STREQ("\xC3\xBF", ParseNumericCharRef("255", 3));
    EXPECT_EQ(nullptr, ParseNumericCharRef("0065", 4));
    EXPECT_EQ(nullptr, ParseNumericCharRef("0", 1));
    EXPECT_EQ(nullptr, ParseNumericCharRef("256", 3));
    for (const char* code : {"1", "8", "11", "12", "14", "31", "127", "128", "159"})
        EXPECT_EQ(nullptr, ParseNumericCharRef(code, static_cast<int>(std::strlen(code)))) << code;
    EXPECT_EQ(nullptr, ParseNumericCharRef("6x", 2));
}
