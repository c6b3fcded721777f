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

namespace {

std::string ToLatin1(std::string_view utf8)
{
    std::string carry, out;
    Utf8ToLatin1(utf8, carry, true, out);
    EXPECT_TRUE(carry.empty());
    return out;
}

} // namespace

TEST(KxCharUtil, Utf8ToLatin1KeepsLatin1AndSeparatesTheRest)
{
    EXPECT_EQ(ToLatin1("caf\xC3\xA9 \xC3\x89t\xC3\xA9"), "caf\xE9 \xC9t\xE9");
    // The curly quotation marks become the bytes the engine takes for quotation marks; the
    // no-break space, a dash and other scripts separate words.
    EXPECT_EQ(ToLatin1("l\xE2\x80\x99\x65t\xC3\xA9 \xE2\x80\x9Cx\xE2\x80\x9D \xE2\x80\x98y\xE2\x80\x99"),
              "l\x92\x65t\xE9 \x93x\x94 \x91y\x92");
    EXPECT_EQ(ToLatin1("a\xC2\xA0" "b\xE2\x80\x94" "c\xE4\xB8\xAD" "d\xF0\x9F\x98\x80" "e"), "a b c d e");
    // Bytes that are not UTF-8 are Latin-1 characters: a Latin-1 page reads as it always did.
    EXPECT_EQ(ToLatin1("caf\xE9 \xE0 la cr\xE8me"), "caf\xE9 \xE0 la cr\xE8me");
    // Overlong forms, surrogates and a lead byte before ASCII are not UTF-8 either.
    EXPECT_EQ(ToLatin1("\xC0\xAF\xED\xA0\x80\xC3x"), "\xC0\xAF\xED\xA0\x80\xC3x");
}

TEST(KxCharUtil, Utf8ToLatin1JoinsSequencesCutBetweenPieces)
{
    const std::string text = "d\xC3\xA9j\xC3\xA0 \xE2\x80\x99\xF0\x9F\x98\x80 fin\xC3\xA9";
    const std::string whole = ToLatin1(text);
    // Every cut into one, two and three pieces gives the text of the whole.
    for (size_t a = 0; a <= text.size(); ++a) {
        for (size_t b = a; b <= text.size(); ++b) {
            std::string carry, out;
            Utf8ToLatin1(std::string_view(text).substr(0, a), carry, false, out);
            Utf8ToLatin1(std::string_view(text).substr(a, b - a), carry, false, out);
            Utf8ToLatin1(std::string_view(text).substr(b), carry, false, out);
            Utf8ToLatin1({}, carry, true, out);
            EXPECT_EQ(out, whole) << a << " " << b;
        }
    }
    // A sequence the text ends inside is taken as Latin-1 at the end, and nothing is lost.
    std::string carry, out;
    Utf8ToLatin1("ab\xE2\x80", carry, false, out);
    EXPECT_EQ(out, "ab");
    EXPECT_EQ(carry, "\xE2\x80");
    Utf8ToLatin1({}, carry, true, out);
    EXPECT_EQ(out, "ab\xE2\x80");
}

TEST(KxCharUtil, Latin1ToUtf8IsTheReverse)
{
    const std::string latin1 = "Caf\xE9 \xC9t\xE9 \x91y\x92 \x93z\x94 \xFF";
    EXPECT_EQ(Latin1ToUtf8(latin1), "Caf\xC3\xA9 \xC3\x89t\xC3\xA9 \xE2\x80\x98y\xE2\x80\x99 \xE2\x80\x9Cz\xE2\x80\x9D \xC3\xBF");
    EXPECT_EQ(ToLatin1(Latin1ToUtf8(latin1)), latin1);
}
