#include "engine/html/CTextReading.h"

#include "platform/core/CodePage.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

namespace {

// What a character is, as far as telling text from bytes read in the wrong charset goes.
enum class Kind : uint8_t {
    Space,
    Neutral, // digits, ASCII punctuation and the punctuation of scripts: at home anywhere
    Letter,
    Mark,    // a combining mark: part of the letter before it
    Sign,    // symbols, which stand beside words rather than inside them
    Odd,     // box drawing and private characters: no prose holds them
    Stray,   // a control character of U+0080 to U+009F: a byte the charset gives no character
    NoText,  // replacement characters: bytes the charset leaves undefined
};

enum class ReadingScript : uint8_t { None, Latin, Greek, Cyrillic, Hebrew, Arabic, Thai, Hangul, Cjk, Other };

struct Class {
    Kind kind = Kind::Neutral;
    ReadingScript script = ReadingScript::None;
    int8_t nCase = 0; // 1 a capital, -1 a small letter, 0 neither
};

constexpr Class Letter(ReadingScript script, int nCase = 0)
{
    return {Kind::Letter, script, static_cast<int8_t>(nCase)};
}

constexpr Class Of(Kind kind)
{
    return {kind, ReadingScript::None, 0};
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
        return Letter(ReadingScript::Latin, -1);
    if (ch == 0x178)
        return Letter(ReadingScript::Latin, 1);
    if ((ch >= 0x139 && ch <= 0x148) || (ch >= 0x179 && ch <= 0x17E))
        return Letter(ReadingScript::Latin, -Alternating(ch));
    return Letter(ReadingScript::Latin, Alternating(ch));
}

Class ClassOf(char32_t ch)
{
    if (ch < 0x80) {
        if ((ch >= 'A' && ch <= 'Z'))
            return Letter(ReadingScript::Latin, 1);
        if ((ch >= 'a' && ch <= 'z'))
            return Letter(ReadingScript::Latin, -1);
        if (ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f')
            return Of(Kind::Space);
        // A control character of ASCII is the same byte in every charset a page can be read in:
        // a stray one in a page's text tells nothing of which charset is right, and must not make
        // every reading, the right label's too, no text.
        return Of(Kind::Neutral);
    }
    if (ch < 0xA0)
        return Of(Kind::Stray);
    if (ch < 0xC0) {
        switch (ch) {
        case 0xA0: return Of(Kind::Space);
        case 0xAA:
        case 0xBA: return Letter(ReadingScript::Latin);
        case 0xB5: return Letter(ReadingScript::Latin, -1);
        case 0xAD: // a soft hyphen and a middle dot stand inside words
        case 0xB7: return Of(Kind::Neutral);
        default: return Of(Kind::Sign);
        }
    }
    if (ch <= 0xFF) {
        if (ch == 0xD7 || ch == 0xF7)
            return Of(Kind::Sign);
        return Letter(ReadingScript::Latin, ch < 0xDF ? 1 : -1);
    }
    if (ch < 0x180)
        return LatinExtended(ch);
    // The florin sign, which no language writes inside its words.
    if (ch == 0x192)
        return Of(Kind::Sign);
    if (ch < 0x250)
        return Letter(ReadingScript::Latin);
    if (ch < 0x2B0)
        return Letter(ReadingScript::Latin, -1);
    if (ch < 0x300)
        return Of(ch == 0x2BC || ch == 0x2BB ? Kind::Neutral : Kind::Sign); // an apostrophe of letters
    if (ch < 0x370)
        return Of(Kind::Mark);
    if (ch < 0x400) {
        if (ch == 0x386 || (ch >= 0x388 && ch <= 0x38F) || (ch >= 0x391 && ch <= 0x3AB))
            return Letter(ReadingScript::Greek, 1);
        if (ch == 0x390 || (ch >= 0x3AC && ch <= 0x3CE))
            return Letter(ReadingScript::Greek, -1);
        if (ch >= 0x3CF)
            return Letter(ReadingScript::Greek);
        return Of(ch == 0x37E || ch == 0x387 ? Kind::Neutral : Kind::Sign);
    }
    if (ch < 0x530) {
        if (ch < 0x410)
            return Letter(ReadingScript::Cyrillic, 1);
        if (ch < 0x430)
            return Letter(ReadingScript::Cyrillic, 1);
        if (ch < 0x460)
            return Letter(ReadingScript::Cyrillic, -1);
        if (ch == 0x482)
            return Of(Kind::Sign);
        if (ch >= 0x483 && ch <= 0x489)
            return Of(Kind::Mark);
        if (ch == 0x4C0 || ch == 0x4CF)
            return Letter(ReadingScript::Cyrillic, ch == 0x4C0 ? 1 : -1);
        if (ch >= 0x4C1 && ch <= 0x4CE)
            return Letter(ReadingScript::Cyrillic, -Alternating(ch));
        return Letter(ReadingScript::Cyrillic, Alternating(ch));
    }
    if (ch >= 0x590 && ch < 0x600) {
        if (ch >= 0x5D0 && ch <= 0x5F2)
            return Letter(ReadingScript::Hebrew);
        if (ch == 0x5BE || ch == 0x5C0 || ch == 0x5C3 || ch == 0x5C6 || ch == 0x5F3 || ch == 0x5F4)
            return Of(Kind::Neutral);
        return Of(Kind::Mark);
    }
    if (ch >= 0x600 && ch < 0x700) {
        if ((ch >= 0x610 && ch <= 0x61A) || (ch >= 0x64B && ch <= 0x65F) || ch == 0x670 || (ch >= 0x6D6 && ch <= 0x6ED))
            return Of(Kind::Mark);
        if ((ch >= 0x620 && ch <= 0x64A) || (ch >= 0x66E && ch <= 0x6D3 && ch != 0x670) || ch == 0x6D5
            || (ch >= 0x6EE && ch <= 0x6FF && !(ch >= 0x6F0 && ch <= 0x6F9)))
            return Letter(ReadingScript::Arabic);
        return Of(Kind::Neutral);
    }
    if (ch >= 0xE00 && ch < 0xE80) {
        if (ch == 0xE31 || (ch >= 0xE34 && ch <= 0xE3A) || (ch >= 0xE47 && ch <= 0xE4E))
            return Of(Kind::Mark);
        if ((ch >= 0xE01 && ch <= 0xE30) || ch == 0xE32 || ch == 0xE33 || (ch >= 0xE40 && ch <= 0xE46))
            return Letter(ReadingScript::Thai);
        return Of(ch == 0xE3F ? Kind::Sign : Kind::Neutral);
    }
    if (ch >= 0x1100 && ch < 0x1200)
        return Letter(ReadingScript::Hangul);
    if (ch >= 0x1E00 && ch < 0x1F00)
        return ch >= 0x1E96 && ch <= 0x1E9F ? Letter(ReadingScript::Latin) : Letter(ReadingScript::Latin, Alternating(ch));
    if (ch >= 0x2000 && ch < 0x2070) {
        if (ch <= 0x200A || ch == 0x2028 || ch == 0x2029 || ch == 0x202F || ch == 0x205F)
            return Of(Kind::Space);
        // Quotation marks open or close a quotation at a word's edge; between letters they are
        // letters of another charset ("‚l‚r", "Don“t"), and so are daggers, bullets and the marks
        // of direction ("Gest‹o", "p‡gina"). Single quotation marks are apostrophes too ("Don’t").
        if (ch == 0x201A || ch == 0x201C || ch == 0x201D || ch == 0x201E || ch == 0x2039 || ch == 0x203A
            || (ch >= 0x2020 && ch <= 0x2022) || (ch >= 0x2030 && ch <= 0x2033) || ch == 0x200E || ch == 0x200F
            || (ch >= 0x202A && ch <= 0x202E) || (ch >= 0x2066 && ch <= 0x2069))
            return Of(Kind::Sign);
        return Of(Kind::Neutral);
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
        return Letter(ReadingScript::Cjk);
    if (ch < 0x3190)
        return Letter(ReadingScript::Hangul);
    if (ch < 0x3400)
        return Of(Kind::Sign);
    if (ch < 0xA000)
        return Letter(ReadingScript::Cjk);
    if (ch >= 0xAC00 && ch <= 0xD7A3)
        return Letter(ReadingScript::Hangul);
    if (ch >= 0xE000 && ch < 0xF900)
        return Of(Kind::Odd);
    if (ch >= 0xF900 && ch < 0xFB00)
        return Letter(ReadingScript::Cjk);
    if (ch >= 0xFE30 && ch < 0xFE50)
        return Of(Kind::Neutral);
    if (ch >= 0xFF00 && ch < 0xFFF0) {
        // Full-width and half-width forms, which CJK text holds: letters, digits and punctuation.
        if ((ch >= 0xFF21 && ch <= 0xFF3A) || (ch >= 0xFF41 && ch <= 0xFF5A) || (ch >= 0xFF66 && ch <= 0xFF9F))
            return Letter(ReadingScript::Cjk);
        return Of(ch >= 0xFFE0 ? Kind::Sign : Kind::Neutral);
    }
    if (ch == 0xFFFD || (ch >= 0xFFF0 && ch <= 0xFFFF))
        return Of(Kind::NoText);
    if (ch >= 0x20000 && ch < 0x40000)
        return Letter(ReadingScript::Cjk);
    if (ch >= 0xF0000)
        return Of(Kind::Odd);
    return Letter(ReadingScript::Other);
}

// Whether two letters side by side are of one word's scripts. Letters of CJK and Korean text
// follow Latin ones without a space ("Linuxの", "Apache를"); no other script mixes in a word.
bool OfOneWord(const Class& first, char32_t chFirst, const Class& second, char32_t chSecond)
{
    if (first.script == second.script || first.script == ReadingScript::Other || second.script == ReadingScript::Other)
        return true;
    const auto isEastAsian = [](ReadingScript script) { return script == ReadingScript::Cjk || script == ReadingScript::Hangul; };
    const bool bAsciiFirst = chFirst < 0x80;
    const bool bAsciiSecond = chSecond < 0x80;
    return (bAsciiFirst && isEastAsian(second.script)) || (bAsciiSecond && isEastAsian(first.script))
        || (isEastAsian(first.script) && isEastAsian(second.script));
}

// Signs that open or close a quotation, or open a Spanish question or exclamation: they stand at
// a word's edge in any text.
bool IsQuotation(char32_t ch)
{
    return ch == 0xAB || ch == 0xBB || ch == 0xA1 || ch == 0xBF || ch == 0x201A || ch == 0x201C || ch == 0x201D
        || ch == 0x201E || ch == 0x2039 || ch == 0x203A;
}

// A Latin letter beyond ASCII that stands alone, between blanks, digits or signs, where no
// language writes it as a word of its own ("Œ l Milch", "1œ", "Š 2004"): the vowels with their
// accents are words in many ("à", "é", "å", "ö", "í", the Hungarian "ő", the Lithuanian "į"),
// but for ÿ; ª and º follow numbers.
bool IsLoneLetterOdd(char32_t ch)
{
    if (ch < 0xC0 || ch > 0x17F)
        return false;
    if (ch >= 0x100) {
        static constexpr std::pair<char32_t, char32_t> kVowels[] = {
            {0x100, 0x105}, {0x112, 0x11B}, {0x128, 0x131}, {0x14C, 0x151}, {0x168, 0x173}, {0x176, 0x177}};
        return std::none_of(std::begin(kVowels), std::end(kVowels),
                            [ch](const auto& range) { return ch >= range.first && ch <= range.second; });
    }
    static constexpr std::string_view kBases = "aaaaaa?ceeeeiiii?nooooo?ouuuuy??";
    const char base = kBases[(ch - 0xC0) & 0x1F];
    return !(base == 'a' || base == 'e' || base == 'i' || base == 'o' || base == 'u' || base == 'y');
}

// The combining marks of Vietnamese tones, which its charset writes after a vowel alone: after a
// consonant ("coś", Italian "così" read in it) they are bytes of another charset.
bool IsToneMark(char32_t ch)
{
    return ch == 0x300 || ch == 0x301 || ch == 0x303 || ch == 0x309 || ch == 0x323;
}

bool IsAsciiVowel(char32_t ch)
{
    switch (ch | 0x20) {
    case 'a':
    case 'e':
    case 'i':
    case 'o':
    case 'u':
    case 'y': return true;
    default: return false;
    }
}

// The marks of Hebrew and Arabic vowels, which follow only letters of their own script ("A" and
// an Arabic fathatan: Turkish read in windows-1256).
bool IsRightToLeftMark(char32_t ch)
{
    return (ch >= 0x591 && ch <= 0x5C7) || (ch >= 0x610 && ch <= 0x61A) || (ch >= 0x64B && ch <= 0x65F) || ch == 0x670;
}

// Signs that follow a word in any text: the marks of a name, degrees, daggers and primes
// ("NESTLÉ®", "Café™", "text†"), and superscripts after a unit of a letter or two ("m²", "km³").
bool FollowsWord(char32_t ch, size_t nLetters)
{
    if (ch == 0xB2 || ch == 0xB3 || ch == 0xB9)
        return nLetters <= 2;
    return ch == 0xAE || ch == 0xA9 || ch == 0x2122 || ch == 0xB0 || ch == 0x2020 || ch == 0x2021 || ch == 0x2032
        || ch == 0x2033 || IsQuotation(ch);
}

// A text garbled over so many of its words beyond ASCII is read no further.
constexpr size_t kGarbledAfterWords = 256;

// The small Latin letters beyond ASCII the alphabets of Europe and of a few languages beyond it
// hold (ß to ſ): a text in one of them, or in one and a few names of another, holds the letters of
// one alphabet, while Hungarian read in Latin-1 holds õ and û beside ö and ü, which no alphabet
// has together, and Turkish holds ð beside ü. Vietnamese is among them with its own ơ and ư,
// which stand beyond ſ, so that text of another language read in its charset holds letters of
// no one alphabet too.
constexpr char32_t kFirstAlphabetLetter = 0xDF;
constexpr char32_t kLastAlphabetLetter = 0x1B0;
using LetterSet = std::bitset<kLastAlphabetLetter + 1 - kFirstAlphabetLetter>;

const char* const kAlphabets[] = {
    "àâæçéèêëîïôœùûüÿ",       // French
    "äöüß",                   // German
    "áàéèêëíïóôöúûü",         // Dutch, Afrikaans
    "áéíóúñü",                // Spanish, Galician, Basque
    "àçéèíïòóú",              // Catalan
    "áâãàçéêíóôõúü",          // Portuguese
    "àèéìíîòóùú",             // Italian
    "åæøéóôàò",               // Danish, Norwegian
    "åäöé",                   // Swedish
    "äöåšž",                  // Finnish
    "áðéíóúýþæö",             // Icelandic
    "áðíóúýæø",               // Faroese
    "šžõäöü",                 // Estonian
    "āčēģīķļņšūžōŗ",          // Latvian
    "ąčęėįšųūž",              // Lithuanian
    "ąćęłńóśźż",              // Polish
    "áčďéěíňóřšťúůýž",        // Czech
    "áäčďéíĺľňóôŕšťúýž",      // Slovak
    "čćđšž",                  // Slovenian, Croatian, Bosnian
    "áéíóöőúüű",              // Hungarian
    "ăâîşţ",                  // Romanian
    "çğıöşüâîû",              // Turkish
    "çë",                     // Albanian
    "ċġħżàèìòù",              // Maltese
    "âêîôûŵŷáéíóúäëïöü",      // Welsh
    "ĉĝĥĵŝŭ",                 // Esperanto
    "áčđŋšŧž",                // Sami
    "āēīōū",                  // Maori, Hawaiian
    "àáâăèéêíóôơùúưđ",        // Vietnamese, as its charset writes it: other tones are marks
};

const std::vector<LetterSet>& Alphabets()
{
    static const std::vector<LetterSet> alphabets = [] {
        std::vector<LetterSet> sets;
        for (const char* pszLetters : kAlphabets) {
            LetterSet& set = sets.emplace_back();
            const std::string_view letters(pszLetters);
            for (size_t at = 0; at < letters.size();)
                set.set(CPageCharset::NextCharacter(letters, at) - kFirstAlphabetLetter);
        }
        return sets;
    }();
    return alphabets;
}

// The small letter of a Latin letter of ß to ſ, or of its capital, or of Vietnamese's ơ and ư;
// 0 for another character.
char32_t AlphabetLetter(char32_t ch, int nCase)
{
    if (ch == 0x1A0 || ch == 0x1A1)
        return 0x1A1;
    if (ch == 0x1AF || ch == 0x1B0)
        return 0x1B0;
    if (ch < 0xC0 || ch > 0x17F || ch == 0xD7 || ch == 0x130)
        return 0;
    if (nCase > 0)
        ch = ch < 0x100 ? ch + 0x20 : ch == 0x178 ? char32_t(0xFF) : ch + 1;
    return ch >= kFirstAlphabetLetter && ch <= kLastAlphabetLetter ? ch : 0;
}

// How many of the letters no one alphabet holds with the rest: the fewest any alphabet leaves.
size_t ForeignLetters(const LetterSet& letters)
{
    if (letters.none())
        return 0;
    size_t nFewest = letters.count();
    for (const LetterSet& alphabet : Alphabets())
        nFewest = std::min(nFewest, (letters & ~alphabet).count());
    return nFewest;
}

// Whether the letters are of no one alphabet; a letter alone is where an alphabet holds it.
bool IsOfNoAlphabet(const LetterSet& letters)
{
    static const LetterSet any = [] {
        LetterSet all;
        for (const LetterSet& alphabet : Alphabets())
            all |= alphabet;
        return all;
    }();
    // Read for every word of every reading: the letters are sought in each alphabet whole, which
    // takes no count of them.
    if ((letters & ~any).any())
        return true;
    return std::none_of(Alphabets().begin(), Alphabets().end(),
                        [&letters](const LetterSet& alphabet) { return (letters & ~alphabet).none(); });
}

} // namespace

// Counts the oddities of a text given character by character; each character is judged once the
// one after it is known.
class CTextReading::OddityCounter {
public:
    void Take(char32_t ch) { Take(ch, ClassOf(ch)); }
    // Called for every character of every reading: kept inline.
    [[gnu::always_inline]] void Take(char32_t ch, const Class& next)
    {
        Judge(next);
        if (m_current.kind != Kind::Space)
            m_chBeforeSolid = m_ch;
        m_before = m_current;
        m_current = next;
        m_ch = ch;
    }
    void Finish()
    {
        // The last character is judged by a blank after it, which ends the last word.
        Take(U' ');
        Take(U' ');
    }
    // Letters of more than one alphabet count once each, as read so far.
    size_t GetOddities() const { return GetMisreadings() + GetStrays() + GetLetterOddities(); }
    size_t GetMisreadings() const { return m_nOdd + m_nPairs; }
    size_t GetStrays() const { return m_nStrays; }
    size_t GetLetterOddities() const { return ForeignLetters(m_letters) + m_nSignsForCurrency + m_nRare; }
    size_t GetForeignLetters() const { return ForeignLetters(m_letters); }
    size_t GetSignsForCurrency() const { return m_nSignsForCurrency; }
    size_t GetRareLetters() const { return m_nRare; }
    size_t GetUtf8Pairs() const { return m_nPairs; }
    size_t GetLettersInWords() const { return m_nLettersBeyond; }
    size_t GetWordsBeyond() const { return m_nWordsBeyond; }
    bool HoldsLetters() const { return m_nWordsBeyond > 0; }
    // A UTF-8 character of a letter whose bytes this reading takes for a Latin letter and another
    // character ("Ã©"), in a word.
    void NotePair() { ++m_nPairs; }
    // A letter of the rarer part of the charset's table.
    void NoteRare() { ++m_nRare; }
    // Whether the text holds no character no text holds, and oddities in no more than half of its
    // words beyond ASCII: text of another charset is garbled throughout.
    bool IsText() const { return m_bText && !m_bGarbled && m_nOdd <= m_nWordsBeyond / 2; }
    // Whether more text changes nothing: it holds what no text holds, or is garbled over many
    // words.
    bool IsSettled() const { return !m_bText || m_bGarbled; }

private:
    [[gnu::always_inline]] void Judge(const Class& next)
    {
        switch (m_current.kind) {
        case Kind::NoText: m_bText = false; break;
        case Kind::Stray:
            // A byte the charset gives no character, in a word or at its edge, is likelier a
            // letter of another charset.
            if (m_before.kind == Kind::Letter || next.kind == Kind::Letter)
                ++m_nStrays;
            break;
        case Kind::Odd: ++m_nOdd; break;
        case Kind::Sign: JudgeSign(next); break;
        case Kind::Letter: JudgeLetter(); return;
        case Kind::Mark:
            // A combining mark belongs to the letter before it: one that follows none ("๙ี"), a
            // tone after a consonant, or a vowel mark of another script, is bytes of another
            // charset.
            if (m_before.kind != Kind::Letter && m_before.kind != Kind::Mark)
                ++m_nOdd;
            else if (m_before.kind == Kind::Letter
                     && ((IsToneMark(m_ch) && m_chLast < 0x80 && !IsAsciiVowel(m_chLast))
                         || (IsRightToLeftMark(m_ch) && m_last.script != ReadingScript::Hebrew
                             && m_last.script != ReadingScript::Arabic)))
                ++m_nOdd;
            return;
        default: break;
        }
        EndWord();
    }
    // A sign between two letters, or glued to the start of a word of small letters or to the end
    // of one, is a letter read in the wrong charset ("Sí»ové", "¦okolaadi", "co¶"); so are signs
    // in a row between two letters ("Õ¯¬Á", Chinese read as Mac OS Roman), which no word holds
    // either.
    void JudgeSign(const Class& next)
    {
        // The sign ¤ after a number stands for a currency: the charset beside that reads its byte
        // as one is likelier.
        if (m_ch == 0xA4 && m_chBeforeSolid >= '0' && m_chBeforeSolid <= '9')
            ++m_nSignsForCurrency;
        const bool bLetterBefore = m_before.kind == Kind::Letter;
        const bool bLetterAfter = next.kind == Kind::Letter;
        // An acute accent typed for an apostrophe ("Don´t", "L´école") is one between letters.
        if (bLetterBefore && bLetterAfter)
            m_nOdd += m_ch == 0xB4 ? 0 : 1;
        else if (bLetterAfter && next.nCase < 0 && !IsQuotation(m_ch))
            ++m_nOdd;
        else if (bLetterBefore && m_before.nCase < 0 && !FollowsWord(m_ch, m_nLetters))
            ++m_nOdd;
        else if (bLetterAfter && m_bSignsAfterLetter)
            ++m_nOdd;
        // A row of signs after a letter goes on to the first character that is none.
        if (bLetterBefore || m_bSignsAfterLetter)
            m_bSignsAfterLetter = next.kind == Kind::Sign;
    }
    [[gnu::always_inline]] void JudgeLetter()
    {
        if (m_before.kind == Kind::Letter || m_before.kind == Kind::Mark) {
            // A capital after small letters, but for the plain letters of names such as "iPhone".
            if (m_last.nCase < 0 && m_current.nCase > 0 && !(m_chLast < 0x80 && m_ch < 0x80))
                ++m_nOdd;
            if (!OfOneWord(m_last, m_chLast, m_current, m_ch))
                ++m_nOdd;
            // CJK text follows Latin letters in a word ("Linuxの"), but a word of small Latin
            // letters around a CJK letter ("Gr鲞e") is Latin text read in a CJK charset.
            const bool bEast = m_current.script == ReadingScript::Cjk || m_current.script == ReadingScript::Hangul;
            const bool bLastEast = m_last.script == ReadingScript::Cjk || m_last.script == ReadingScript::Hangul;
            if (bEast && m_last.script == ReadingScript::Latin)
                m_bLatinBeforeEast = true;
            else if (bLastEast && m_bLatinBeforeEast && m_ch < 0x80 && m_current.nCase < 0)
                ++m_nOdd;
        }
        ++m_nLetters;
        if (m_ch >= 0x80) {
            ++m_nLettersBeyond;
            m_bWordBeyond = true;
            if (const char32_t letter = AlphabetLetter(m_ch, m_current.nCase); letter != 0) {
                m_letters.set(letter - kFirstAlphabetLetter);
                m_wordLetters.set(letter - kFirstAlphabetLetter);
            }
        }
        if (m_current.script == ReadingScript::Latin && m_ch >= 0x80)
            ++m_nLatinBeyond;
        m_last = m_current;
        m_chLast = m_ch;
    }
    // A word of Latin letters beyond ASCII for the most part, of no one alphabet, is letters of
    // another script read as Latin ("Ãëàâà"); a short word of one language's letters ("Żółć",
    // "Řečiště", "Çağrı") is not.
    void EndWord()
    {
        if (m_nLetters == 0)
            return;
        // So is a word of letters of no one alphabet ("Chýõng"): names of several languages stand
        // in words of their own.
        const bool bDense = (m_nLatinBeyond >= 3 && m_nLatinBeyond * 2 > m_nLetters) || (m_nLatinBeyond >= 2 && m_nLatinBeyond == m_nLetters);
        if ((bDense && m_wordLetters.none()) || (m_wordLetters.any() && IsOfNoAlphabet(m_wordLetters)))
            ++m_nOdd;
        else if (m_nLetters == 1 && IsLoneLetterOdd(m_chLast))
            ++m_nOdd;
        m_wordLetters.reset();
        if (m_bWordBeyond && ++m_nWordsBeyond >= kGarbledAfterWords && m_nOdd > m_nWordsBeyond / 2)
            m_bGarbled = true;
        m_nLetters = m_nLatinBeyond = 0;
        m_bWordBeyond = m_bLatinBeforeEast = false;
    }

    Class m_before = Of(Kind::Space);
    Class m_current = Of(Kind::Space);
    char32_t m_ch = U' ';
    char32_t m_chBeforeSolid = U' '; // the last character before the current that is no blank
    Class m_last; // the last letter, which marks after it belong to
    char32_t m_chLast = 0;
    size_t m_nLetters = 0; // of the word going on
    size_t m_nLatinBeyond = 0;
    bool m_bWordBeyond = false;
    bool m_bLatinBeforeEast = false; // the word going on has a CJK letter after a Latin one
    bool m_bSignsAfterLetter = false; // the signs in a row up to the current follow a letter
    size_t m_nWordsBeyond = 0; // the words that hold letters beyond ASCII
    size_t m_nOdd = 0;
    size_t m_nStrays = 0;
    size_t m_nPairs = 0;
    size_t m_nSignsForCurrency = 0;
    size_t m_nRare = 0;
    size_t m_nLettersBeyond = 0; // the letters beyond ASCII in words
    LetterSet m_letters;   // the Latin letters of the alphabets read, each once
    LetterSet m_wordLetters; // those of the word going on
    bool m_bText = true;
    bool m_bGarbled = false;
};

namespace {

// What a one-byte charset reads each byte beyond ASCII as, and the class of each.
struct ClassedTable {
    CTextReading::ByteTable characters{};
    std::array<Class, 128> classes{};
};

const Class& AsciiClass(unsigned char byte)
{
    static const std::array<Class, 128> classes = [] {
        std::array<Class, 128> table{};
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = ClassOf(static_cast<char32_t>(i));
        return table;
    }();
    return classes[byte];
}

// The tables are made once for each charset, by the charset's own decoder, and shared by the
// threads that read pages.
const ClassedTable& TableOf(const CPageCharset& charset)
{
    static std::mutex lock;
    static std::map<std::string, std::unique_ptr<ClassedTable>> tables;
    const std::string key = std::to_string(static_cast<int>(charset.GetKind())) + charset.GetReadName();
    std::lock_guard<std::mutex> guard(lock);
    std::unique_ptr<ClassedTable>& pTable = tables[key];
    if (pTable == nullptr) {
        pTable = std::make_unique<ClassedTable>();
        for (size_t i = 0; i < 128; ++i) {
            const char byte = static_cast<char>(0x80 + i);
            std::string text;
            CPageDecoder decoder(charset);
            decoder.Decode(&byte, 1, text);
            decoder.Finish(text);
            size_t at = 0;
            const char32_t ch = decoder.IsReadWhole() && !text.empty() ? CPageCharset::NextCharacter(text, at) : U'\xFFFD';
            pTable->characters[i] = ch;
            pTable->classes[i] = ClassOf(ch);
        }
    }
    return *pTable;
}

// A letter of two bytes in UTF-8 that the one-byte charsets of Europe hold: a page in one of
// them would have written it so. Other characters of two bytes (IPA, Syriac) are what Latin
// letters beside signs ("NESTLÉ®") happen to read as.
bool IsLetterOfACharset(char32_t ch)
{
    return ((ch >= 0xC0 && ch <= 0x17F) || (ch >= 0x386 && ch <= 0x4FF)) && ClassOf(ch).kind == Kind::Letter;
}

// The letters of the part of a CJK charset's table that its texts are written in: its symbols,
// kana and letters of the alphabets, and the characters it puts first as the most used (the first
// level of GB2312 and of JIS X 0208, the frequent characters of Big5, the Hangul of KS X 1001).
// Text of another charset read in it reads as letters of the rarer part as often as not: Chinese
// read as Japanese or as Big5 reads as characters of their second level, where its own reading
// holds none, and Latin letters read as Japanese are half-width katakana, which few texts hold.
// Made once for each charset, and kept; none for a charset of another make.
using CommonLetters = std::bitset<0x10000>;

const CommonLetters* CommonLettersOf(const CPageCharset& charset)
{
    struct Family {
        const char* pszNames;  // the charsets read alike for this, each between bars
        const char* pszReader; // the charset their common part is read in
        // The rows of leads of the common part, two bytes each: from, to.
        const char* pszLeads;
        bool bLowTrails;       // trails of 0x40 to 0x7E count too
    };
    // Chinese and Korean text holds no kana, which their charsets have rows of.
    static const Family kFamilies[] = {
        {"|shift_jis|euc-jp|iso-2022-jp|", "EUC-JP", "\xA1\xCF", false},
        {"|gbk|gb18030|", "gb18030", "\xA1\xA3\xB0\xD7", false},
        {"|big5|", "Big5", "\xA1\xC6", true},
        {"|euc-kr|", "EUC-KR", "\xA1\xA9\xAC\xC8", false},
    };
    std::string name = "|" + charset.GetName() + "|";
    std::transform(name.begin(), name.end(), name.begin(), [](char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); });
    const Family* pFamily = nullptr;
    for (const Family& family : kFamilies) {
        if (charset.GetKind() == CPageCharset::Kind::Iconv && std::string_view(family.pszNames).find(name) != std::string_view::npos)
            pFamily = &family;
    }
    if (pFamily == nullptr)
        return nullptr;
    static std::mutex lock;
    static std::map<const Family*, std::unique_ptr<CommonLetters>> tables;
    std::lock_guard<std::mutex> guard(lock);
    std::unique_ptr<CommonLetters>& pTable = tables[pFamily];
    if (pTable == nullptr) {
        pTable = std::make_unique<CommonLetters>();
        const CPageCharset reader = CPageCharset::FromName(pFamily->pszReader);
        std::string bytes;
        const std::string_view leads(pFamily->pszLeads);
        for (size_t nRange = 0; nRange + 1 < leads.size(); nRange += 2) {
            const auto byFirst = static_cast<unsigned char>(leads[nRange]);
            const auto byLast = static_cast<unsigned char>(leads[nRange + 1]);
            for (unsigned lead = byFirst; lead <= byLast; ++lead) {
                for (unsigned trail = pFamily->bLowTrails ? 0x40 : 0xA1; trail <= 0xFE; ++trail) {
                    // Big5's frequent characters end at 0xC67E.
                    if ((trail > 0x7E && trail < 0xA1) || (pFamily->bLowTrails && lead == byLast && trail > 0x7E))
                        continue;
                    bytes += static_cast<char>(lead);
                    bytes += static_cast<char>(trail);
                }
            }
        }
        std::string text;
        CPageDecoder decoder(reader);
        decoder.Decode(bytes.data(), bytes.size(), text);
        decoder.Finish(text);
        for (size_t at = 0; at < text.size();) {
            const char32_t ch = CPageCharset::NextCharacter(text, at);
            if (ch < pTable->size())
                pTable->set(ch);
        }
    }
    return pTable.get();
}

// A fingerprint of the characters beyond ASCII a reading makes, in their order.
constexpr uint64_t kFingerprintStart = 14695981039346656037ull;

uint64_t Fingerprint(uint64_t fingerprint, char32_t ch)
{
    return (fingerprint ^ ch) * 1099511628211ull;
}

} // namespace

struct CTextReading::State {
    // How the bytes are read: by a one-byte charset's table, by the charset's decoder, or as
    // UTF-8 where they are, by the table elsewhere.
    enum class Way { Table, Decoder, Mixed };

    CPageCharset charset;
    Way way = Way::Decoder;
    const ClassedTable* pTable = nullptr;
    std::unique_ptr<CPageDecoder> pDecoder;
    std::string scratch;   // the decoder's UTF-8 of a piece
    std::string pending;   // Mixed: the start of a UTF-8 character cut off at a piece's end
    OddityCounter counter;
    const CommonLetters* pCommon = nullptr; // Decoder, of a CJK charset: the common part of its table
    uint64_t fingerprint = kFingerprintStart; // Decoder, Mixed: of the characters beyond ASCII made
    std::bitset<128> seen; // Table: the bytes beyond ASCII read, which the table tells the reading of
    size_t nBeyond = 0;    // the characters beyond ASCII made
    bool bSample = false;  // the text may end in a character cut off, which is not read
    bool bFinished = false;
    unsigned char byLead = 0; // Table, Mixed: the byte before, a Latin letter that may lead a UTF-8 one
    std::string reference;    // the start of a numeric character reference, held until it ends

    void Take(char32_t ch)
    {
        if (ch >= 0x80) {
            fingerprint = Fingerprint(fingerprint, ch);
            ++nBeyond;
        }
        const Class cls = ClassOf(ch);
        counter.Take(ch, cls);
        if (pCommon != nullptr && cls.kind == Kind::Letter && (cls.script == ReadingScript::Cjk || cls.script == ReadingScript::Hangul)
            && (ch >= pCommon->size() || !(*pCommon)[ch]))
            counter.NoteRare();
    }
    void TakeDecoded()
    {
        for (size_t at = 0; at < scratch.size();) {
            const auto byte = static_cast<unsigned char>(scratch[at]);
            if (byte < 0x80) {
                TakeAscii(byte);
                ++at;
            } else {
                if (!reference.empty())
                    FlushReference();
                Take(CPageCharset::NextCharacter(scratch, at));
            }
        }
        scratch.clear();
    }
    [[gnu::always_inline]] void TakeAscii(unsigned char byte)
    {
        if (byte == '&' || !reference.empty())
            TakeReferenceByte(byte);
        else
            counter.Take(byte, AsciiClass(byte));
    }
    // A numeric character reference ("&#1055;", "&#x41F;") is read as the character it stands
    // for, as the page's reader sees it; it is ASCII in every reading, and no byte they differ in.
    void TakeReferenceByte(unsigned char byte)
    {
        const size_t n = reference.size();
        const bool bHex = n >= 3 && reference[2] == 'x';
        const bool bDigit = (byte >= '0' && byte <= '9')
            || (bHex && ((byte >= 'a' && byte <= 'f') || (byte >= 'A' && byte <= 'F')));
        if (n == 0 || (n == 1 && byte == '#') || (n == 2 && (byte == 'x' || byte == 'X')) || (n >= 2 && n < 10 && bDigit)) {
            reference += static_cast<char>(n == 2 && byte == 'X' ? 'x' : byte);
            return;
        }
        const size_t nDigitsFrom = bHex ? 3 : 2;
        if (byte == ';' && n > nDigitsFrom) {
            const unsigned long value = std::strtoul(reference.c_str() + nDigitsFrom, nullptr, bHex ? 16 : 10);
            if (value > 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF)) {
                reference.clear();
                const auto ch = static_cast<char32_t>(value);
                counter.Take(ch, ch < 0x80 ? AsciiClass(static_cast<unsigned char>(ch)) : ClassOf(ch));
                return;
            }
        }
        FlushReference();
        TakeAscii(byte);
    }
    void FlushReference()
    {
        for (const char ch : std::exchange(reference, std::string()))
            counter.Take(static_cast<unsigned char>(ch), AsciiClass(static_cast<unsigned char>(ch)));
    }
    [[gnu::always_inline]] void TakeByte(unsigned char byte)
    {
        if (byte < 0x80) {
            byLead = 0;
            TakeAscii(byte);
            return;
        }
        if (!reference.empty())
            FlushReference();
        // A UTF-8 letter read as two characters, the first a Latin letter.
        if (byLead != 0 && byte <= 0xBF) {
            const char32_t utf8 = (static_cast<char32_t>(byLead & 0x1F) << 6) | (byte & 0x3F);
            if (IsLetterOfACharset(utf8))
                counter.NotePair();
        }
        byLead = byte >= 0xC3 && byte <= 0xD3 && pTable->classes[byte - 0x80].kind == Kind::Letter
                && pTable->classes[byte - 0x80].script == ReadingScript::Latin ? byte : 0;
        const char32_t ch = pTable->characters[byte - 0x80];
        if (way == Way::Table)
            seen.set(byte - 0x80);
        else
            fingerprint = Fingerprint(fingerprint, ch);
        ++nBeyond;
        counter.Take(ch, pTable->classes[byte - 0x80]);
    }
    void AddMixed(std::string_view text)
    {
        std::string joined;
        if (!pending.empty()) {
            joined = std::exchange(pending, std::string()) + std::string(text);
            text = joined;
        }
        const auto* p = reinterpret_cast<const unsigned char*>(text.data());
        for (size_t at = 0; at < text.size();) {
            const int nLength = p[at] < 0x80 ? 1 : CPageCharset::Utf8SequenceLength(p + at, text.size() - at);
            if (nLength < 0) {
                pending.assign(text.substr(at));
                return;
            }
            if (nLength > 1) {
                if (!reference.empty())
                    FlushReference();
                byLead = 0;
                Take(CPageCharset::NextCharacter(text, at));
            } else
                TakeByte(p[at++]);
        }
    }
};

CTextReading::CTextReading() : m_pState(std::make_unique<State>()) {}

CTextReading::CTextReading(const CPageCharset& charset) : CTextReading()
{
    State& state = *m_pState;
    state.charset = charset;
    if (charset.GetKind() == CPageCharset::Kind::Windows1252
        || (charset.GetKind() == CPageCharset::Kind::Iconv && !charset.IsMultiByte())) {
        state.way = State::Way::Table;
        state.pTable = &TableOf(charset);
    } else {
        // UTF-8 reads a byte that is none as its Windows-1252 character, and notes it.
        state.pDecoder = std::make_unique<CPageDecoder>(charset.GetKind() == CPageCharset::Kind::Undeclared
                                                            ? CPageCharset::FromName("utf-8")
                                                            : charset);
        state.pCommon = CommonLettersOf(charset);
    }
}

CTextReading::CTextReading(const CPageCharset& charset, std::string_view text) : CTextReading(charset)
{
    Add(text);
    // A character cut off at the text's end, where a sample of the page ends, may read whole.
    m_pState->bSample = true;
    Finish();
}

CTextReading CTextReading::Mixed(const CPageCharset& charset, std::string_view text)
{
    CTextReading reading = CTextReading(charset).MixedFromHere();
    reading.Add(text);
    reading.Finish();
    return reading;
}

CTextReading::~CTextReading() = default;
CTextReading::CTextReading(CTextReading&& other) noexcept = default;
CTextReading& CTextReading::operator=(CTextReading&& other) noexcept = default;

CTextReading CTextReading::MixedFromHere() const
{
    CTextReading mixed;
    State& state = *mixed.m_pState;
    state.charset = m_pState->charset;
    state.pTable = m_pState->pTable != nullptr ? m_pState->pTable : &TableOf(CPageCharset::FromName("windows-1252"));
    state.way = State::Way::Mixed;
    state.counter = m_pState->counter;
    state.reference = m_pState->reference;
    return mixed;
}

void CTextReading::Add(std::string_view text)
{
    State& state = *m_pState;
    // A reading that holds what no text holds, or is garbled throughout, stays so.
    if (state.bFinished || state.counter.IsSettled())
        return;
    switch (state.way) {
    case State::Way::Table:
        for (const char ch : text)
            state.TakeByte(static_cast<unsigned char>(ch));
        break;
    case State::Way::Decoder:
        state.pDecoder->Decode(text.data(), text.size(), state.scratch);
        state.TakeDecoded();
        break;
    case State::Way::Mixed: state.AddMixed(text); break;
    }
}

void CTextReading::Finish()
{
    State& state = *m_pState;
    if (state.bFinished)
        return;
    if (state.pDecoder != nullptr && !state.bSample) {
        state.pDecoder->Finish(state.scratch);
        state.TakeDecoded();
    }
    for (const char ch : std::exchange(state.pending, std::string()))
        state.TakeByte(static_cast<unsigned char>(ch));
    state.FlushReference();
    state.counter.Finish();
    state.bFinished = true;
}

const CPageCharset& CTextReading::GetCharset() const
{
    return m_pState->charset;
}

bool CTextReading::IsText() const
{
    const State& state = *m_pState;
    return state.counter.IsText() && (state.pDecoder == nullptr || state.pDecoder->IsReadWhole());
}

size_t CTextReading::GetOddities() const
{
    return m_pState->counter.GetOddities();
}

size_t CTextReading::GetScore() const
{
    return 2 * (GetMisreadings() + GetStrays()) + GetLetterOddities();
}

size_t CTextReading::GetScoreAgainst(const CTextReading& rival) const
{
    return GetScore() - SignsTellingNothingAgainst(rival);
}

size_t CTextReading::GetLetterOdditiesAgainst(const CTextReading& rival) const
{
    return GetLetterOddities() - SignsTellingNothingAgainst(rival);
}

size_t CTextReading::SignsTellingNothingAgainst(const CTextReading& rival) const
{
    const size_t nSigns = GetSignsForCurrency();
    const ClassedTable* pOwn = m_pState->pTable;
    const ClassedTable* pRival = rival.m_pState->pTable;
    // A multi-byte reading has no table of bytes: the rival's is not known to read a currency.
    if (nSigns == 0 || pOwn == nullptr || pRival == nullptr)
        return nSigns;
    for (size_t i = 0; i < pOwn->characters.size(); ++i) {
        if (pOwn->characters[i] == 0xA4 && pRival->characters[i] >= 0x20A0 && pRival->characters[i] <= 0x20CF)
            return 0;
    }
    return nSigns;
}

size_t CTextReading::GetMisreadings() const
{
    return m_pState->counter.GetMisreadings();
}

size_t CTextReading::GetStrays() const
{
    return m_pState->counter.GetStrays();
}

size_t CTextReading::GetLetterOddities() const
{
    return m_pState->counter.GetLetterOddities();
}

size_t CTextReading::GetForeignLetters() const
{
    return m_pState->counter.GetForeignLetters();
}

size_t CTextReading::GetSignsForCurrency() const
{
    return m_pState->counter.GetSignsForCurrency();
}

size_t CTextReading::GetRareLetters() const
{
    return m_pState->counter.GetRareLetters();
}

size_t CTextReading::GetUtf8Pairs() const
{
    return m_pState->counter.GetUtf8Pairs();
}

size_t CTextReading::GetLettersInWords() const
{
    return m_pState->counter.GetLettersInWords();
}

size_t CTextReading::GetWordsBeyond() const
{
    return m_pState->counter.GetWordsBeyond();
}

bool CTextReading::HoldsLetters() const
{
    return m_pState->counter.HoldsLetters();
}

bool CTextReading::ReadsAs(const CTextReading& other) const
{
    const State& one = *m_pState;
    const State& two = *other.m_pState;
    if (one.way != State::Way::Mixed && two.way != State::Way::Mixed && one.charset.GetKind() == two.charset.GetKind()
        && one.charset.GetReadName() == two.charset.GetReadName())
        return true;
    // What was not read on is not known to read alike.
    if (one.counter.IsSettled() || two.counter.IsSettled() || one.nBeyond != two.nBeyond)
        return false;
    if (one.way == State::Way::Table && two.way == State::Way::Table) {
        for (size_t i = 0; i < one.seen.size(); ++i) {
            if (one.seen[i] && one.pTable->characters[i] != two.pTable->characters[i])
                return false;
        }
        return one.seen == two.seen;
    }
    // A one-byte charset makes a character of each byte, the others not: they read alike only
    // what is ASCII to both.
    if (one.way == State::Way::Table || two.way == State::Way::Table)
        return one.nBeyond == 0;
    return one.fingerprint == two.fingerprint;
}

int CTextReading::Compare(const CTextReading& other) const
{
    const bool bText = IsText();
    if (bText != other.IsText())
        return bText ? 1 : -1;
    if (!bText)
        return 0;
    const size_t nOwn = GetScoreAgainst(other);
    const size_t nOther = other.GetScoreAgainst(*this);
    if (nOwn == nOther)
        return 0;
    return nOwn < nOther ? 1 : -1;
}

size_t CTextReading::CountOddities(std::string_view utf8, bool& bText)
{
    CTextReading reading(CPageCharset::FromName("utf-8"), utf8);
    bText = reading.IsText();
    return reading.GetOddities();
}

const CTextReading::ByteTable& CTextReading::ReadingOf(const CPageCharset& charset)
{
    return TableOf(charset).characters;
}

void CByteCounts::Add(std::string_view text)
{
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x80) {
            if (m_counts[byte - 0x80]++ == 0)
                m_first[byte - 0x80] = m_nSeen;
            ++m_nTotal;
        }
        ++m_nSeen;
    }
}

size_t CByteCounts::CountReadOtherwise(const CPageCharset& first, const CPageCharset& second) const
{
    const CTextReading::ByteTable& one = CTextReading::ReadingOf(first);
    const CTextReading::ByteTable& two = CTextReading::ReadingOf(second);
    size_t nOtherwise = 0;
    for (size_t i = 0; i < m_counts.size(); ++i) {
        if (one[i] != two[i])
            nOtherwise += m_counts[i];
    }
    return nOtherwise;
}

long long CByteCounts::FindFirstReadOtherwise(const CPageCharset& first, const CPageCharset& second, BYTE& by) const
{
    const CTextReading::ByteTable& one = CTextReading::ReadingOf(first);
    const CTextReading::ByteTable& two = CTextReading::ReadingOf(second);
    long long nFirst = -1;
    for (size_t i = 0; i < m_counts.size(); ++i) {
        if (m_counts[i] > 0 && one[i] != two[i] && (nFirst < 0 || m_first[i] < nFirst)) {
            nFirst = m_first[i];
            by = static_cast<BYTE>(0x80 + i);
        }
    }
    return nFirst;
}

bool CByteCounts::DifferInLettersOnly(const CPageCharset& first, const CPageCharset& second) const
{
    const ClassedTable& one = TableOf(first);
    const ClassedTable& two = TableOf(second);
    for (size_t i = 0; i < m_counts.size(); ++i) {
        if (m_counts[i] > 0 && one.characters[i] != two.characters[i]
            && (one.classes[i].kind != Kind::Letter || two.classes[i].kind != Kind::Letter))
            return false;
    }
    return true;
}

namespace {

// Letters that are one letter written two ways: the Romanian s and t with a comma below, and the
// same with a cedilla, which charsets of the language hold one or the other of.
bool AreVariants(char32_t one, char32_t two)
{
    static constexpr std::pair<char32_t, char32_t> kVariants[] = {{0x15E, 0x218}, {0x15F, 0x219}, {0x162, 0x21A}, {0x163, 0x21B}};
    return std::any_of(std::begin(kVariants), std::end(kVariants), [one, two](const auto& pair) {
        return (pair.first == one && pair.second == two) || (pair.first == two && pair.second == one);
    });
}

} // namespace

bool CByteCounts::DifferInVariantsOnly(const CPageCharset& first, const CPageCharset& second) const
{
    const CTextReading::ByteTable& one = CTextReading::ReadingOf(first);
    const CTextReading::ByteTable& two = CTextReading::ReadingOf(second);
    for (size_t i = 0; i < m_counts.size(); ++i) {
        if (m_counts[i] > 0 && one[i] != two[i] && !AreVariants(one[i], two[i]))
            return false;
    }
    return true;
}

namespace {

bool IsReadByTable(const CPageCharset& charset)
{
    return !charset.IsMultiByte() && charset.GetKind() != CPageCharset::Kind::Utf8
        && charset.GetKind() != CPageCharset::Kind::Undeclared;
}

// Markup parts words as blanks do: what stands inside a tag or between two is read apart, and
// so is a CDATA section's text from its brackets, where they are no byte of a two-byte letter.
bool EndsWord(unsigned char byte, bool bOneByte)
{
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f' || byte == '<' || byte == '>'
        || byte == '"' || byte == '=' || (bOneByte && (byte == '[' || byte == ']'));
}

// A word as the user reads it, without the punctuation at its edges: a one-byte charset's ASCII is
// punctuation wherever it stands.
std::string_view WithoutPunctuation(std::string_view word, bool bOneByte)
{
    const auto isPunctuation = [](char ch) { return ch == '.' || ch == ',' || ch == ';' || ch == ':' || ch == '!'
                                                 || ch == '?' || ch == '(' || ch == ')' || ch == '\''; };
    while (bOneByte && word.size() > 1 && isPunctuation(word.front()))
        word.remove_prefix(1);
    while (bOneByte && word.size() > 1 && isPunctuation(word.back()))
        word.remove_suffix(1);
    return word;
}

// A word read in a charset as a line can show it: a control character by its number, which would
// show as nothing.
std::string Shown(const CPageCharset& charset, std::string_view word)
{
    const std::string read = charset.Decode(word);
    std::string shown;
    for (size_t at = 0; at < read.size();) {
        const size_t nStart = at;
        const char32_t ch = CPageCharset::NextCharacter(read, at);
        if (ch >= 0x80 && ch <= 0x9F) {
            char szCode[16];
            std::snprintf(szCode, sizeof(szCode), "<U+%04X>", static_cast<unsigned>(ch));
            shown += szCode;
        } else {
            shown.append(read, nStart, at - nStart);
        }
    }
    return shown;
}

} // namespace

COddWordFinder::COddWordFinder(const CPageCharset& own, const CPageCharset& rival, long long nWordAt)
    : m_own(own), m_rival(rival), m_bTables(IsReadByTable(own) && IsReadByTable(rival)), m_bAlike(own.WritesAs(rival)),
      m_nHeldAt(nWordAt)
{
    if (m_bTables) {
        m_pOwnTable = &CTextReading::ReadingOf(own);
        m_pRivalTable = &CTextReading::ReadingOf(rival);
    }
}

bool COddWordFinder::ReadOtherwise(unsigned char byte) const
{
    if (byte < 0x80 || m_bAlike)
        return false;
    return !m_bTables || (*m_pOwnTable)[byte - 0x80] != (*m_pRivalTable)[byte - 0x80];
}

void COddWordFinder::Add(std::string_view bytes)
{
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        ++m_nSeen;
        if (!IsLooking())
            continue;
        if (EndsWord(byte, m_bTables)) {
            EndWord();
            continue;
        }
        if (m_word.empty())
            m_nWordAt = m_nSeen - 1;
        m_word += ch;
        if (m_word.size() >= kLongestWord)
            EndWord();
    }
}

bool COddWordFinder::IsLooking() const
{
    // The word held ends within a longest word's length of its byte.
    return (m_found.nAt < 0 && m_nLooked < kWordsLooked) || (m_nHeldAt >= 0 && m_nSeen <= m_nHeldAt + 1 + static_cast<long long>(kLongestWord));
}

void COddWordFinder::Finish()
{
    if (IsLooking())
        EndWord();
}

void COddWordFinder::EndWord()
{
    if (m_word.empty())
        return;
    if (m_nHeldAt >= m_nWordAt && m_nHeldAt < m_nWordAt + static_cast<long long>(m_word.size()))
        m_wordAt = Shown(m_own, WithoutPunctuation(m_word, m_bTables));
    size_t nOtherwise = 0;
    while (nOtherwise < m_word.size() && !ReadOtherwise(static_cast<unsigned char>(m_word[nOtherwise])))
        ++nOtherwise;
    if (m_found.nAt < 0 && m_nLooked < kWordsLooked && nOtherwise < m_word.size()) {
        ++m_nLooked;
        // Each reads the word after the one before it, in its context, by the same rules: the
        // word is odder in the one where it reads as no text and in the other as text, or holds
        // more oddities.
        const std::string text = m_before + " " + m_word;
        const CTextReading own(m_own, text);
        const CTextReading rival(m_rival, text);
        const bool bOdder = own.IsText() != rival.IsText() ? rival.IsText()
                                                           : own.GetScoreAgainst(rival) > rival.GetScoreAgainst(own);
        if (bOdder) {
            m_found.nAt = m_nWordAt + static_cast<long long>(nOtherwise);
            m_found.by = static_cast<BYTE>(m_word[nOtherwise]);
            const std::string_view shown = WithoutPunctuation(m_word, m_bTables);
            m_found.own = Shown(m_own, shown);
            m_found.rival = Shown(m_rival, shown);
        }
    }
    m_before = std::move(m_word);
    m_word.clear();
}
