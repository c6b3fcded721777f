// CTextReading: how a charset reads a page's text, one of the readings the judge of a page's
// charset compares. Bytes read in the wrong charset show in the text they make: bytes the charset
// leaves undefined, control characters, signs glued between letters ("Specyficzno¶ci"), capitals
// inside a word after small letters ("зМБЧБ"), letters of two scripts in one word ("rщseau"),
// Latin words of accented letters alone ("Ãëàâà"), box drawing and private characters. A reading
// of no such oddity is the text that was written; of two readings the one with fewer is likelier.
#pragma once

#include "engine/html/CPageCharset.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

class CTextReading {
public:
    CTextReading() = default;
    // The page's text (CPageTextFilter), in the page's own bytes, read in the charset.
    CTextReading(const CPageCharset& charset, std::string_view text);
    // The same text read as UTF-8 where its bytes are UTF-8 characters of more than one byte, and
    // in the one-byte charset elsewhere: a page that holds text of both.
    static CTextReading Mixed(const CPageCharset& charset, std::string_view text);

    const CPageCharset& GetCharset() const { return m_charset; }
    // Whether the charset reads every byte as text: none it leaves undefined, no control
    // character, and oddities in no more than half of the words that hold letters beyond ASCII:
    // text read in the wrong charset is garbled throughout. The sign ¤ is text, if rare: the
    // charsets beside one that has it may read its byte as their currency, which the judge of a
    // page's charset weighs.
    bool IsText() const { return m_bText; }
    // How many oddities the text holds.
    size_t GetOddities() const { return m_nOdd; }
    // The text in UTF-8.
    const std::string& GetText() const { return m_text; }
    // Whether the two read the bytes as the same text.
    bool ReadsAs(const CTextReading& other) const { return m_text == other.m_text; }

    // Of two readings of the same bytes, which reads them more as text: 1 this one, -1 the
    // other, 0 neither (both as text with as many oddities, or neither as text).
    int Compare(const CTextReading& other) const;

    // The oddities of text in UTF-8; whether it reads as text.
    static size_t CountOddities(std::string_view utf8, bool& bText);

private:
    void Count();

    CPageCharset m_charset;
    bool m_bText = false;
    size_t m_nOdd = 0;
    std::string m_text;
};

// How the bytes beyond ASCII of a text stand: how many of each, for telling how much of it two
// one-byte charsets read alike, and whether a one-byte charset reads them all as characters.
class CByteCounts {
public:
    CByteCounts() = default;
    explicit CByteCounts(std::string_view text) { Add(text); }
    // More of the text.
    void Add(std::string_view text);
    // Of the bytes beyond ASCII, how many the two one-byte charsets read as different characters,
    // and how many there are.
    size_t CountReadOtherwise(const CPageCharset& first, const CPageCharset& second) const;
    size_t GetTotal() const { return m_nTotal; }
    // How often the byte stands in the text.
    size_t GetCount(unsigned char byte) const { return byte < 0x80 ? 0 : m_counts[byte - 0x80]; }
    // Whether the one-byte charset reads each byte the text holds as a character: none it leaves
    // undefined, no control character.
    bool ReadsAsCharacters(const CPageCharset& charset) const;

    // What a one-byte charset reads each byte beyond ASCII as, in UTF-8; U+FFFD for a byte it
    // leaves undefined.
    static std::array<std::string, 128> ReadingOf(const CPageCharset& charset);

private:
    std::array<size_t, 128> m_counts{};
    size_t m_nTotal = 0;
};
