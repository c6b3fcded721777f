#include "platform/core/CodePage.h"

#include "platform/core/WinError.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::u16string ToWide(UINT cp, const std::string& bytes, DWORD flags = 0)
{
    int n = MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string out(static_cast<size_t>(n), u'\0');
    if (n > 0) {
        EXPECT_EQ(MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), out.data(), n), n);
    }
    return out;
}

std::string ToBytes(UINT cp, const std::u16string& wide, BOOL* usedDefault = nullptr, LPCSTR defaultChar = nullptr)
{
    int n = WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, defaultChar, usedDefault);
    std::string out(static_cast<size_t>(n), '\0');
    if (n > 0) {
        EXPECT_EQ(WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, defaultChar,
                      usedDefault),
            n);
    }
    return out;
}

} // namespace

TEST(CodePageTest, ProcessCodePageIsUtf8)
{
    EXPECT_EQ(GetACP(), 65001u);
    for (int b = 0; b < 256; ++b)
        EXPECT_FALSE(IsDBCSLeadByte(static_cast<BYTE>(b)));
    EXPECT_TRUE(IsDBCSLeadByteEx(932, 0x82));
    EXPECT_TRUE(IsDBCSLeadByteEx(932, 0xE0));
    EXPECT_FALSE(IsDBCSLeadByteEx(932, 0xA0));
    EXPECT_FALSE(IsDBCSLeadByteEx(CP_UTF8, 0x82));
}

TEST(CodePageTest, CharNextStepsOverWholeSequences)
{
    const char* s = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";
    const char* p = CharNextA(s);
    EXPECT_EQ(p, s + 1);
    p = CharNextA(p);
    EXPECT_EQ(p, s + 3);
    p = CharNextA(p);
    EXPECT_EQ(p, s + 6);
    p = CharNextA(p);
    EXPECT_EQ(p, s + 10);
    p = CharNextA(p);
    EXPECT_EQ(*p, '\0');
    EXPECT_EQ(CharNextA(p), p);
    // A stray or truncated sequence is one step, and never steps over the NUL.
    const char* bad = "\xE9x\xE2\x82";
    EXPECT_EQ(CharNextA(bad), bad + 1);
    EXPECT_EQ(CharNextA(bad + 2), bad + 3);
    EXPECT_EQ(CharNextA(bad + 3), bad + 4);
    // Overlong forms and encoded surrogates are not characters.
    const char* overlong = "\xC0\xAF";
    EXPECT_EQ(CharNextA(overlong), overlong + 1);
    const char* surrogate = "\xED\xA0\x80";
    EXPECT_EQ(CharNextA(surrogate), surrogate + 1);
}

TEST(CodePageTest, CharPrevStepsBackOverSequences)
{
    const char* s = "a\xC3\xA9\xF0\x9F\x98\x80";
    const char* end = s + strlen(s);
    EXPECT_EQ(CharPrevA(s, end), s + 3);
    EXPECT_EQ(CharPrevA(s, s + 3), s + 1);
    EXPECT_EQ(CharPrevA(s, s + 1), s);
    EXPECT_EQ(CharPrevA(s, s), s);
    // Continuation bytes without their lead step back one at a time.
    const char* stray = "ab\x80\x80";
    EXPECT_EQ(CharPrevA(stray, stray + 4), stray + 3);
    // The start is a hard limit even inside a sequence.
    EXPECT_EQ(CharPrevA(s + 2, s + 3), s + 2);
}

TEST(CodePageTest, Utf8RoundTripWithSurrogatePairs)
{
    std::string text = "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80";
    std::u16string wide = ToWide(CP_UTF8, text);
    EXPECT_EQ(wide, u"Caf\u00E9 \u20AC \U0001F600");
    EXPECT_EQ(ToBytes(CP_UTF8, wide), text);
    EXPECT_EQ(ToWide(CP_ACP, text), wide);
}

TEST(CodePageTest, NulTerminatedInputCountsTheNul)
{
    WCHAR buffer[8];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", -1, buffer, 8), 4);
    EXPECT_EQ(buffer[3], u'\0');
    char bytes[8];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00E9", -1, nullptr, 0, nullptr, nullptr), 3);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00E9", -1, bytes, 8, nullptr, nullptr), 3);
    EXPECT_STREQ(bytes, "\xC3\xA9");
}

TEST(CodePageTest, BufferAndParameterErrors)
{
    WCHAR small[2];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, small, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, small, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, 3, small, 2), 0);
    EXPECT_EQ(MultiByteToWideChar(12345, 0, "a", 1, small, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", 1, small, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
    char out[2];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u20AC", 1, out, 2, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    BOOL used;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, out, 2, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePageTest, InvalidInput)
{
    // Each invalid byte becomes U+FFFD unless the caller asks for an error.
    EXPECT_EQ(ToWide(CP_UTF8, "a\xFF" "b\xC3"), u"a\uFFFDb\uFFFD");
    WCHAR buffer[8];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF", 2, buffer, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xC3\xA9", 2, buffer, 8), 1);
    // A lone surrogate in UTF-16.
    const char16_t lone[] = {u'x', 0xD800, u'y'};
    EXPECT_EQ(ToBytes(CP_UTF8, std::u16string(lone, 3)), "x\xEF\xBF\xBDy");
    char out[8];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, 3, out, 8, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePageTest, Windows1252)
{
    std::string bytes = "\x80\x93q\x94\xE9\x81\x9F";
    std::u16string wide = ToWide(1252, bytes);
    EXPECT_EQ(wide, u"\u20AC\u201Cq\u201D\u00E9\u0081\u0178");
    BOOL used = TRUE;
    EXPECT_EQ(ToBytes(1252, wide, &used), bytes);
    EXPECT_FALSE(used);
    EXPECT_EQ(ToBytes(1252, u"a\u4E2Db", &used), "a?b");
    EXPECT_TRUE(used);
    EXPECT_EQ(ToBytes(1252, u"\u4E2D", &used, "#"), "#");
}

TEST(CodePageTest, ShiftJis)
{
    // "日本" and half-width katakana "ｱ".
    std::string sjis = "\x93\xFA\x96\x7B\xB1";
    std::u16string wide = ToWide(932, sjis);
    EXPECT_EQ(wide, u"\u65E5\u672C\uFF71");
    BOOL used = TRUE;
    EXPECT_EQ(ToBytes(932, wide, &used), sjis);
    EXPECT_FALSE(used);
    EXPECT_EQ(ToBytes(932, u"\u00E9", &used), "?");
    EXPECT_TRUE(used);
    // A lead byte without its trail byte is invalid.
    WCHAR buffer[4];
    EXPECT_EQ(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, "\x93", 1, buffer, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(ToWide(932, "a\x93"), u"a\u30FB");
}

TEST(CodePageTest, StringHelpers)
{
    char buffer[8];
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrlen("abc"), 3);
    EXPECT_EQ(lstrcpynA(buffer, "abcdefghij", 4), buffer);
    EXPECT_STREQ(buffer, "abc");
    lstrcpyn(buffer, "xy", 8);
    EXPECT_STREQ(buffer, "xy");
    EXPECT_EQ(lstrcpyA(buffer, "hello"), buffer);
    EXPECT_STREQ(buffer, "hello");
    EXPECT_EQ(lstrcpyA(nullptr, "x"), nullptr);
    EXPECT_EQ(lstrcmpiA("ABC", "abc"), 0);
    EXPECT_LT(lstrcmpiA("abc", "ABD"), 0);
    // Letters compare without case first; case only breaks ties, lower case first.
    EXPECT_LT(lstrcmpA("apple", "Banana"), 0);
    EXPECT_LT(lstrcmpA("abc", "ABC"), 0);
    EXPECT_GT(lstrcmpA("ABC", "abc"), 0);
    EXPECT_EQ(lstrcmpA("same", "same"), 0);
    EXPECT_LT(lstrcmpA("ab", "abc"), 0);
    EXPECT_LT(lstrcmpA("9", "a"), 0);
    EXPECT_LT(lstrcmpA("_x", "1"), 0);
}

TEST(CodePageTest, CaseAndClassification)
{
    char text[] = "Mixed \xC3\xA9 Case";
    EXPECT_EQ(CharUpperA(text), text);
    EXPECT_STREQ(text, "MIXED \xC3\xA9 CASE");
    CharLower(text);
    EXPECT_STREQ(text, "mixed \xC3\xA9 case");
    // A character value in place of a pointer is converted and returned the same way.
    LPSTR single = CharUpperA(reinterpret_cast<LPSTR>(static_cast<uintptr_t>('q')));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(single), static_cast<uintptr_t>('Q'));
    char buf[] = "abcdef";
    EXPECT_EQ(CharUpperBuffA(buf, 3), 3u);
    EXPECT_STREQ(buf, "ABCdef");
    EXPECT_TRUE(IsCharAlphaA('x'));
    EXPECT_FALSE(IsCharAlphaA('1'));
    EXPECT_TRUE(IsCharAlphaNumericA('1'));
    EXPECT_FALSE(IsCharAlphaNumericA('-'));
    EXPECT_TRUE(IsCharUpperA('X'));
    EXPECT_FALSE(IsCharUpperA('x'));
    EXPECT_TRUE(IsCharLowerA('x'));
    EXPECT_FALSE(IsCharAlphaA('\xC3'));
}
