#include "platform/core/CrtStrings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const unsigned char* U(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

int Sign(int v) { return (v > 0) - (v < 0); }

} // namespace

TEST(CrtCollateTest, CodePointOrderAndCaseFold)
{
    // Byte order would put every upper-case letter before every lower-case one; the case-blind
    // collation must not, and must see accented capitals as their small letters.
    EXPECT_LT(_mbscoll(U("B"), U("a")), 0);
    EXPECT_GT(_mbsicoll(U("B"), U("a")), 0);
    EXPECT_EQ(_mbsicoll(U("xABy"), U("xaby")), 0);
    EXPECT_EQ(_mbsicoll(U("\xC3\x89t\xC3\xA9"), U("\xC3\xA9T\xC3\x89")), 0);    // Été / éTÉ
    EXPECT_NE(_mbscoll(U("\xC3\x89t\xC3\xA9"), U("\xC3\xA9t\xC3\xA9")), 0);
    EXPECT_EQ(_mbsicoll(U("\xD0\x9C\xD0\x98\xD0\xA0"), U("\xD0\xBC\xD0\xB8\xD1\x80")), 0);   // МИР / мир
    EXPECT_EQ(_mbsicoll(U("\xCE\xA3"), U("\xCF\x83")), 0);  // Σ / σ
    // Code-point order, not byte order, across sequence lengths: U+00FF < U+0100 < U+20AC.
    EXPECT_LT(_mbscoll(U("\xC3\xBF"), U("\xC4\x80")), 0);
    EXPECT_LT(_mbscoll(U("\xC4\x80"), U("\xE2\x82\xAC")), 0);
    // A prefix comes first; NULL is the empty text.
    EXPECT_LT(_mbscoll(U("ab"), U("abc")), 0);
    EXPECT_EQ(_mbscoll(nullptr, U("")), 0);
    EXPECT_LT(_mbsicoll(nullptr, U("a")), 0);
    // A stray Latin-1 byte reads as its character: 0xE9 (é) sorts with U+00E9 and folds with É.
    EXPECT_EQ(_mbscoll(U("caf\xE9"), U("caf\xC3\xA9")), 0);
    EXPECT_EQ(_mbsicoll(U("CAF\xC9"), U("caf\xC3\xA9")), 0);
    // A truncated sequence at the end must not read past the terminator.
    EXPECT_NE(_mbscoll(U("a\xE2\x82"), U("a")), 0);
}

TEST(CrtCollateTest, CollationIsATotalOrderOnMixedTexts)
{
    std::vector<std::string> texts = {"b", "A", "a", "\xC3\x84", "\xC3\xA4", "z", "Z", "\xD0\xAF", "\xD1\x8F", "",
                                      "ab", "AB", "\xE2\x82\xAC", "\xFF", "1", "10", "9"};
    for (const auto& x : texts)
        for (const auto& y : texts) {
            EXPECT_EQ(Sign(_mbscoll(U(x.c_str()), U(y.c_str()))), -Sign(_mbscoll(U(y.c_str()), U(x.c_str()))));
            EXPECT_EQ(Sign(_mbsicoll(U(x.c_str()), U(y.c_str()))), -Sign(_mbsicoll(U(y.c_str()), U(x.c_str()))));
            for (const auto& z : texts) {
                if (_mbsicoll(U(x.c_str()), U(y.c_str())) <= 0 && _mbsicoll(U(y.c_str()), U(z.c_str())) <= 0) {
                    EXPECT_LE(_mbsicoll(U(x.c_str()), U(z.c_str())), 0) << x << " " << y << " " << z;
                }
            }
        }
}

TEST(CrtCollateTest, FoldKeepsByteOffsets)
{
    std::string text = "x\xC3\x89T\xC3\xA9 \xD0\x9C\xD0\xB8\xD0\xA0 \xC4\xB0 \xE9 AB\xE2\x82\xAC";
    std::string folded = FoldCaseKeepOffsets(text);
    ASSERT_EQ(folded.size(), text.size());
    EXPECT_EQ(folded, "x\xC3\xA9t\xC3\xA9 \xD0\xBC\xD0\xB8\xD1\x80 \xC4\xB0 \xE9 ab\xE2\x82\xAC");
    // The folded needle is found at the same byte offset as the original match.
    std::string needle = FoldCaseKeepOffsets("\xD0\xBC\xD0\x98\xD0\xA0");
    EXPECT_EQ(folded.find(needle), text.find("\xD0\x9C\xD0\xB8\xD0\xA0"));
    EXPECT_EQ(FoldCaseKeepOffsets(""), "");
    // Upper case is the fold run backwards, on the same bytes.
    EXPECT_EQ(UpperCaseKeepOffsets(folded), "X\xC3\x89T\xC3\x89 \xD0\x9C\xD0\x98\xD0\xA0 \xC4\xB0 \xE9 AB\xE2\x82\xAC");
    EXPECT_EQ(UpperCaseKeepOffsets("\xC3\xBF\xC5\x82"), "\xC5\xB8\xC5\x81"); // ÿł → ŸŁ
}
