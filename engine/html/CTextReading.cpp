#include "engine/html/CTextReading.h"

#include "platform/core/CodePage.h"

#include <cstdint>

namespace {

// What a character is, as far as telling text from bytes read in the wrong charset goes.
enum class Kind : uint8_t {
    Space,
    Neutral, // digits, ASCII punctuation and the punctuation of scripts: at home anywhere
    Letter,
    Mark,    // a combining mark: part of the letter before it
    Sign,    // symbols, which stand beside words rather than inside them
    Odd,     // box drawing and private characters: no prose holds them
    NoText,  // control characters, replacement characters
};

enum class Script : uint8_t { None, Latin, Greek, Cyrillic, Hebrew, Arabic, Thai, Hangul, Cjk, Other };

struct Class {
    Kind kind = Kind::Neutral;
    Script script = Script::None;
    int8_t nCase = 0; // 1 a capital, -1 a small letter, 0 neither
};

constexpr Class Letter(Script script, int nCase = 0)
{
    return {Kind::Letter, script, static_cast<int8_t>(nCase)};
}

constexpr Class Of(Kind kind)
{
    return {kind, Script::None, 0};
}

// The case of letters that alternate capital and small from an even one on.
int Alternating(char32_t ch)
{
    return (ch & 1) == 0 ? 1 : -1;
}

Class LatinExtended(char32_t ch)
{
    // Latin Extended-A alternates, but for a few runs that start on an odd place.
    if (ch == 0x138 || ch == 0x149 || ch == 0x17F)
        return Letter(Script::Latin, -1);
    if (ch == 0x178)
        return Letter(Script::Latin, 1);
    if ((ch >= 0x139 && ch <= 0x148) || (ch >= 0x179 && ch <= 0x17E))
        return Letter(Script::Latin, -Alternating(ch));
    return Letter(Script::Latin, Alternating(ch));
}

Class ClassOf(char32_t ch)
{
    if (ch < 0x80) {
        if ((ch >= 'A' && ch <= 'Z'))
            return Letter(Script::Latin, 1);
        if ((ch >= 'a' && ch <= 'z'))
            return Letter(Script::Latin, -1);
        if (ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f')
            return Of(Kind::Space);
        return Of(ch < 0x20 || ch == 0x7F ? Kind::NoText : Kind::Neutral);
    }
    if (ch < 0xA0)
        return Of(Kind::NoText);
    if (ch < 0xC0) {
        switch (ch) {
        case 0xA0: return Of(Kind::Space);
        case 0xAA:
        case 0xBA: return Letter(Script::Latin);
        case 0xB5: return Letter(Script::Latin, -1);
        case 0xAD: // a soft hyphen and a middle dot stand inside words
        case 0xB7: return Of(Kind::Neutral);
        default: return Of(Kind::Sign);
        }
    }
    if (ch <= 0xFF) {
        if (ch == 0xD7 || ch == 0xF7)
            return Of(Kind::Sign);
        return Letter(Script::Latin, ch < 0xDF ? 1 : -1);
    }
    if (ch < 0x180)
        return LatinExtended(ch);
    if (ch < 0x250)
        return Letter(Script::Latin);
    if (ch < 0x2B0)
        return Letter(Script::Latin, -1);
    if (ch < 0x300)
        return Of(ch == 0x2BC || ch == 0x2BB ? Kind::Neutral : Kind::Sign); // an apostrophe of letters
    if (ch < 0x370)
        return Of(Kind::Mark);
    if (ch < 0x400) {
        if (ch == 0x386 || (ch >= 0x388 && ch <= 0x38F) || (ch >= 0x391 && ch <= 0x3AB))
            return Letter(Script::Greek, 1);
        if (ch == 0x390 || (ch >= 0x3AC && ch <= 0x3CE))
            return Letter(Script::Greek, -1);
        if (ch >= 0x3CF)
            return Letter(Script::Greek);
        return Of(ch == 0x37E || ch == 0x387 ? Kind::Neutral : Kind::Sign);
    }
    if (ch < 0x530) {
        if (ch < 0x410)
            return Letter(Script::Cyrillic, 1);
        if (ch < 0x430)
            return Letter(Script::Cyrillic, 1);
        if (ch < 0x460)
            return Letter(Script::Cyrillic, -1);
        if (ch == 0x482)
            return Of(Kind::Sign);
        if (ch >= 0x483 && ch <= 0x489)
            return Of(Kind::Mark);
        if (ch == 0x4C0 || ch == 0x4CF)
            return Letter(Script::Cyrillic, ch == 0x4C0 ? 1 : -1);
        if (ch >= 0x4C1 && ch <= 0x4CE)
            return Letter(Script::Cyrillic, -Alternating(ch));
        return Letter(Script::Cyrillic, Alternating(ch));
    }
    if (ch >= 0x590 && ch < 0x600) {
        if (ch >= 0x5D0 && ch <= 0x5F2)
            return Letter(Script::Hebrew);
        if (ch == 0x5BE || ch == 0x5C0 || ch == 0x5C3 || ch == 0x5C6 || ch == 0x5F3 || ch == 0x5F4)
            return Of(Kind::Neutral);
        return Of(Kind::Mark);
    }
    if (ch >= 0x600 && ch < 0x700) {
        if ((ch >= 0x610 && ch <= 0x61A) || (ch >= 0x64B && ch <= 0x65F) || ch == 0x670 || (ch >= 0x6D6 && ch <= 0x6ED))
            return Of(Kind::Mark);
        if ((ch >= 0x620 && ch <= 0x64A) || (ch >= 0x66E && ch <= 0x6D3 && ch != 0x670) || ch == 0x6D5
            || (ch >= 0x6EE && ch <= 0x6FF && !(ch >= 0x6F0 && ch <= 0x6F9)))
            return Letter(Script::Arabic);
        return Of(Kind::Neutral);
    }
    if (ch >= 0xE00 && ch < 0xE80) {
        if (ch == 0xE31 || (ch >= 0xE34 && ch <= 0xE3A) || (ch >= 0xE47 && ch <= 0xE4E))
            return Of(Kind::Mark);
        if ((ch >= 0xE01 && ch <= 0xE30) || ch == 0xE32 || ch == 0xE33 || (ch >= 0xE40 && ch <= 0xE46))
            return Letter(Script::Thai);
        return Of(ch == 0xE3F ? Kind::Sign : Kind::Neutral);
    }
    if (ch >= 0x1100 && ch < 0x1200)
        return Letter(Script::Hangul);
    if (ch >= 0x1E00 && ch < 0x1F00)
        return ch >= 0x1E96 && ch <= 0x1E9F ? Letter(Script::Latin) : Letter(Script::Latin, Alternating(ch));
    if (ch >= 0x2000 && ch < 0x2070) {
        if (ch <= 0x200A || ch == 0x2028 || ch == 0x2029 || ch == 0x202F || ch == 0x205F)
            return Of(Kind::Space);
        return Of(ch == 0x2030 || ch == 0x2031 ? Kind::Sign : Kind::Neutral);
    }
    if (ch >= 0x2500 && ch < 0x25A0)
        return Of(Kind::Odd);
    if (ch < 0x3000)
        return Of(Kind::Sign);
    if (ch == 0x3000)
        return Of(Kind::Space);
    if (ch < 0x3040 || ch == 0x30FB)
        return Of(Kind::Neutral);
    if (ch < 0x3130 || (ch >= 0x3190 && ch < 0x3200))
        return Letter(Script::Cjk);
    if (ch < 0x3190)
        return Letter(Script::Hangul);
    if (ch < 0x3400)
        return Of(Kind::Sign);
    if (ch < 0xA000)
        return Letter(Script::Cjk);
    if (ch >= 0xAC00 && ch <= 0xD7A3)
        return Letter(Script::Hangul);
    if (ch >= 0xE000 && ch < 0xF900)
        return Of(Kind::Odd);
    if (ch >= 0xF900 && ch < 0xFB00)
        return Letter(Script::Cjk);
    if (ch >= 0xFE30 && ch < 0xFE50)
        return Of(Kind::Neutral);
    if (ch >= 0xFF00 && ch < 0xFFF0) {
        // Full-width and half-width forms, which CJK text holds: letters, digits and punctuation.
        if ((ch >= 0xFF21 && ch <= 0xFF3A) || (ch >= 0xFF41 && ch <= 0xFF5A) || (ch >= 0xFF66 && ch <= 0xFF9F))
            return Letter(Script::Cjk);
        return Of(ch >= 0xFFE0 ? Kind::Sign : Kind::Neutral);
    }
    if (ch == 0xFFFD || (ch >= 0xFFF0 && ch <= 0xFFFF))
        return Of(Kind::NoText);
    if (ch >= 0x20000 && ch < 0x40000)
        return Letter(Script::Cjk);
    if (ch >= 0xF0000)
        return Of(Kind::Odd);
    return Letter(Script::Other);
}

// Whether two letters side by side are of one word's scripts. Letters of CJK and Korean text
// follow Latin ones without a space ("Linuxの", "Apache를"); no other script mixes in a word.
bool OfOneWord(const Class& first, char32_t chFirst, const Class& second, char32_t chSecond)
{
    if (first.script == second.script || first.script == Script::Other || second.script == Script::Other)
        return true;
    const auto isEastAsian = [](Script script) { return script == Script::Cjk || script == Script::Hangul; };
    const bool bAsciiFirst = chFirst < 0x80;
    const bool bAsciiSecond = chSecond < 0x80;
    return (bAsciiFirst && isEastAsian(second.script)) || (bAsciiSecond && isEastAsian(first.script))
        || (isEastAsian(first.script) && isEastAsian(second.script));
}

// Counts the oddities of a text given character by character; each character is judged once the
// one after it is known.
class OddityCounter {
public:
    void Take(char32_t ch)
    {
        const Class next = ClassOf(ch);
        Judge(next);
        m_before = m_current;
        m_current = next;
        m_ch = ch;
    }
    size_t Finish()
    {
        // The last character is judged by a blank after it, which ends the last word.
        Take(U' ');
        Take(U' ');
        return m_nOdd;
    }
    // Whether the text holds no character no text holds, and oddities in no more than half of its
    // words beyond ASCII: text of another charset is garbled throughout.
    bool IsText() const { return m_bText && m_nOdd <= m_nWordsBeyond / 2; }

private:
    void Judge(const Class& next)
    {
        switch (m_current.kind) {
        case Kind::NoText: m_bText = false; break;
        case Kind::Odd: ++m_nOdd; break;
        case Kind::Sign:
            // A sign between two letters is a letter read in the wrong charset.
            if (m_before.kind == Kind::Letter && next.kind == Kind::Letter)
                ++m_nOdd;
            break;
        case Kind::Letter: JudgeLetter(); return;
        case Kind::Mark: return;
        default: break;
        }
        EndWord();
    }
    void JudgeLetter()
    {
        if (m_before.kind == Kind::Letter || m_before.kind == Kind::Mark) {
            // A capital after small letters, but for the plain letters of names such as "iPhone".
            if (m_last.nCase < 0 && m_current.nCase > 0 && !(m_chLast < 0x80 && m_ch < 0x80))
                ++m_nOdd;
            if (!OfOneWord(m_last, m_chLast, m_current, m_ch))
                ++m_nOdd;
        }
        ++m_nLetters;
        m_bWordBeyond = m_bWordBeyond || m_ch >= 0x80;
        if (m_current.script == Script::Latin && m_ch >= 0x80)
            ++m_nLatinBeyond;
        m_last = m_current;
        m_chLast = m_ch;
    }
    // A word of Latin letters beyond ASCII for the most part is letters of another script read
    // as Latin: no language writes many of them, or a word of them alone, without plain ones.
    void EndWord()
    {
        if ((m_nLatinBeyond >= 3 && m_nLatinBeyond * 2 > m_nLetters) || (m_nLatinBeyond >= 2 && m_nLatinBeyond == m_nLetters))
            ++m_nOdd;
        m_nWordsBeyond += m_bWordBeyond ? 1 : 0;
        m_nLetters = m_nLatinBeyond = 0;
        m_bWordBeyond = false;
    }

    Class m_before = Of(Kind::Space);
    Class m_current = Of(Kind::Space);
    char32_t m_ch = U' ';
    Class m_last; // the last letter, which marks after it belong to
    char32_t m_chLast = 0;
    size_t m_nLetters = 0; // of the word going on
    size_t m_nLatinBeyond = 0;
    bool m_bWordBeyond = false;
    size_t m_nWordsBeyond = 0; // the words that hold letters beyond ASCII
    size_t m_nOdd = 0;
    bool m_bText = true;
};

} // namespace

size_t CTextReading::CountOddities(std::string_view utf8, bool& bText)
{
    OddityCounter counter;
    for (size_t at = 0; at < utf8.size();) {
        // ASCII letters and punctuation are most of a page's text.
        const char32_t ch = static_cast<unsigned char>(utf8[at]) < 0x80 ? static_cast<unsigned char>(utf8[at++])
                                                                         : CPageCharset::NextCharacter(utf8, at);
        counter.Take(ch);
    }
    const size_t nOdd = counter.Finish();
    bText = counter.IsText();
    return nOdd;
}

CTextReading::CTextReading(const CPageCharset& charset, std::string_view text) : m_charset(charset)
{
    bool bWhole = true;
    if (charset.GetKind() == CPageCharset::Kind::Utf8 || charset.GetKind() == CPageCharset::Kind::Undeclared) {
        m_text.assign(text);
        CUtf8Census census(CUtf8Census::Look::Whole);
        census.Add(text.data(), text.size());
        census.FinishPart();
        bWhole = census.ReadsWhole();
    } else {
        // A character cut off at the text's end, where a sample of it ends, stays with the decoder:
        // it may read whole.
        CPageDecoder decoder(charset);
        decoder.Decode(text.data(), text.size(), m_text);
        bWhole = decoder.IsReadWhole();
    }
    Count();
    m_bText = m_bText && bWhole;
}

std::array<std::string, 128> CByteCounts::ReadingOf(const CPageCharset& charset)
{
    std::array<std::string, 128> table;
    for (size_t i = 0; i < table.size(); ++i) {
        const char byte = static_cast<char>(0x80 + i);
        CPageDecoder decoder(charset);
        decoder.Decode(&byte, 1, table[i]);
        if (!decoder.IsReadWhole())
            table[i] = "\xEF\xBF\xBD";
    }
    return table;
}

CTextReading CTextReading::Mixed(const CPageCharset& charset, std::string_view text)
{
    CTextReading reading;
    reading.m_charset = charset;
    const std::array<std::string, 128> table = CByteCounts::ReadingOf(charset);
    for (size_t at = 0; at < text.size();) {
        const auto ch = static_cast<unsigned char>(text[at]);
        const size_t nFrom = at;
        CPageCharset::NextCharacter(text, at);
        // A byte that is no UTF-8 came out as itself: it is read in the charset.
        if (ch >= 0x80 && at == nFrom + 1)
            reading.m_text += table[ch - 0x80];
        else
            reading.m_text.append(text.substr(nFrom, at - nFrom));
    }
    reading.Count();
    return reading;
}

void CTextReading::Count()
{
    m_nOdd = CountOddities(m_text, m_bText);
}

int CTextReading::Compare(const CTextReading& other) const
{
    if (m_bText != other.m_bText)
        return m_bText ? 1 : -1;
    if (!m_bText || m_nOdd == other.m_nOdd)
        return 0;
    return m_nOdd < other.m_nOdd ? 1 : -1;
}

void CByteCounts::Add(std::string_view text)
{
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x80) {
            ++m_counts[byte - 0x80];
            ++m_nTotal;
        }
    }
}

size_t CByteCounts::CountReadOtherwise(const CPageCharset& first, const CPageCharset& second) const
{
    const std::array<std::string, 128> one = ReadingOf(first);
    const std::array<std::string, 128> two = ReadingOf(second);
    size_t nOtherwise = 0;
    for (size_t i = 0; i < m_counts.size(); ++i) {
        if (one[i] != two[i])
            nOtherwise += m_counts[i];
    }
    return nOtherwise;
}

bool CByteCounts::ReadsAsCharacters(const CPageCharset& charset) const
{
    const std::array<std::string, 128> table = ReadingOf(charset);
    for (size_t i = 0; i < m_counts.size(); ++i) {
        if (m_counts[i] == 0)
            continue;
        // U+FFFD, or a control character of U+0080 to U+009F.
        const std::string& read = table[i];
        if (read == "\xEF\xBF\xBD" || (read.size() == 2 && read[0] == '\xC2' && static_cast<unsigned char>(read[1]) <= 0x9F))
            return false;
    }
    return true;
}
