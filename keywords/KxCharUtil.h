// The keyword engine's 8-bit character utilities: Latin-1 letter classes, case, deleting and
// copying, and the UCS-2 narrowing and widening of its input and output.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kx {

// A-Z and the Latin-1 capitals 0xC0-0xD6, 0xD9-0xDD.
inline bool IsCapital(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xD6) || (c >= 0xD9 && c <= 0xDD);
}
// a-z and the Latin-1 small letters 0xE0-0xF6, 0xF9-0xFD.
inline bool IsSmall(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xF6) || (c >= 0xF9 && c <= 0xFD);
}
// The separators of white space: blank, tab, newline, vertical tab, form feed, carriage
// return and backspace.
inline bool IsWhite(unsigned char c)
{
    return c == ' ' || (c >= '\b' && c <= '\r');
}

// A set of bytes that answers membership with one load, for the sets tested on every character
// of the text (punctuation, separators).
class CharSet {
public:
    constexpr explicit CharSet(std::string_view chars)
    {
        for (char c : chars)
            m_has[static_cast<unsigned char>(c)] = true;
    }
    constexpr bool Has(char c) const { return m_has[static_cast<unsigned char>(c)]; }

private:
    bool m_has[256] = {};
};
inline char ToLower(char c)
{
    auto u = static_cast<unsigned char>(c);
    return IsCapital(u) ? static_cast<char>(u + 0x20) : c;
}
void LowerInPlace(std::string& text);
// Removes every character of the set; answers the number removed.
size_t DeleteChars(std::string& text, std::string_view set);
size_t DeleteChars(std::string& text, const CharSet& set);
void TrimTrailingWhite(std::string& text);
// Copies text up to the first character of the separator set into a buffer of cbOut bytes
// (cut to fit, always terminated); answers the position after that separator, or the end.
size_t CopyUntil(std::string_view text, std::string_view separators, char* pOut, size_t cbOut);
// Splits a phrase into its blank-separated words.
template <class F>
void ForEachWord(std::string_view phrase, F&& f)
{
    size_t start = 0;
    while (start <= phrase.size()) {
        size_t blank = phrase.find(' ', start);
        if (blank == std::string_view::npos) {
            f(phrase.substr(start));
            return;
        }
        f(phrase.substr(start, blank - start));
        start = blank + 1;
    }
}

// UCS-2 (little-endian 16-bit units) to 8 bits; units above 255 become "?".
std::string NarrowUcs2(const unsigned char* pBytes, size_t cbBytes);
// 8 bits to UCS-2 bytes, with a terminating zero unit.
std::string WidenToUcs2(std::string_view text);
// The number of 16-bit units before the first zero unit.
size_t Ucs2Length(const char16_t* text);

// UTF-8 text to the engine's Latin-1, appended to out. A character up to U+00FF becomes its byte
// (the no-break space a blank); the curly quotation marks U+2018 to U+201D become the bytes 0x91
// to 0x94 the engine knows as quotation marks; any other character becomes a blank, so that it
// separates words instead of joining them. A byte that does not begin a well-formed sequence is
// taken as a Latin-1 character, so raw Latin-1 text comes through unchanged. An incomplete
// sequence at the end of the text is kept in carry and completed by the next call; a call with
// bFinal set takes what is left of it as Latin-1.
void Utf8ToLatin1(std::string_view text, std::string& carry, bool bFinal, std::string& out);
// The engine's Latin-1 back to UTF-8: the reverse of Utf8ToLatin1 for every byte it writes.
std::string Latin1ToUtf8(std::string_view text);

int CountCapitals(std::string_view text);
bool BeginsWithTwoCapitals(std::string_view text);
// A capital letter followed by a small letter.
bool IsCapitalised(std::string_view word);

} // namespace kx
