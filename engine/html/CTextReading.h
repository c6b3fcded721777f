// CTextReading: how a charset reads a page's text, one of the readings the judge of a page's
// charset compares. Bytes read in the wrong charset show in the text they make: bytes the charset
// leaves undefined, control characters, signs glued between letters ("Specyficzno¶ci") or to a
// word's edge ("¦okolaadi", "co¶"), capitals inside a word after small letters ("зМБЧБ"), letters
// of two scripts in one word ("rщseau"), words of letters of no one alphabet ("Ãëàâà", "Chýõng"),
// UTF-8 letters read as two characters ("cafÃ©"), box drawing and private characters; and, told
// only by the language, letters of several alphabets in one text, which names of several
// languages hold too. A reading of no such oddity is the text that was written; of two readings
// the one with fewer is likelier. A numeric character reference is read as its character, as the
// page's reader sees it. The text is read as it comes, in pieces, and no copy of
// it is kept: a reading of a page of any size takes the same few hundred bytes.
#pragma once

#include "engine/html/CPageCharset.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CTextReading {
public:
    CTextReading();
    // A reading of the page's text (CPageTextFilter), in the page's own bytes, in the charset: the
    // text is given in pieces (Add), and its end told (Finish).
    explicit CTextReading(const CPageCharset& charset);
    // The same of a text given whole, or of a sample of it: a character cut off at its end is
    // not read.
    CTextReading(const CPageCharset& charset, std::string_view text);
    // The text read as UTF-8 where its bytes are UTF-8 characters of more than one byte, and in
    // the one-byte charset elsewhere: a page that holds text of both.
    static CTextReading Mixed(const CPageCharset& charset, std::string_view text);
    ~CTextReading();
    CTextReading(CTextReading&& other) noexcept;
    CTextReading& operator=(CTextReading&& other) noexcept;
    CTextReading(const CTextReading&) = delete;
    CTextReading& operator=(const CTextReading&) = delete;

    // More of the text.
    void Add(std::string_view text);
    // The end of the text.
    void Finish();
    // A one-byte reading, read on from here as Mixed reads: up to here the two are alike, as long
    // as no UTF-8 character of more than one byte has come. What it reads as is told from here on.
    CTextReading MixedFromHere() const;

    const CPageCharset& GetCharset() const;
    // Whether the charset reads every byte as text: none it leaves undefined, no control
    // character but for the strays below, and oddities in no more than half of the words that
    // hold letters beyond ASCII: text read in the wrong charset is garbled throughout. A text
    // garbled so over its first few hundred such words is not read on. The sign ¤ is text, if
    // rare: the charsets beside one that has it may read its byte as their currency, which the
    // judge of a page's charset weighs. A control character of U+0080 to U+009F, which the
    // one-byte charsets read bytes they give no character as, is a stray: in a word or at its
    // edge an oddity, which another charset that reads its byte as a letter is likelier for, but
    // no sign that the text is garbled where none does (the judge of a page's charset converts
    // from no label that reads one).
    bool IsText() const;
    // How many oddities the text holds, strays among them: the sum of the measures below, each of
    // which tells one way bytes read in the wrong charset show.
    size_t GetOddities() const;
    // Characters no word holds where the reading puts them: signs between letters or glued to a
    // word of small letters ("Sí»ové", "c½ur", "‚l‚r ‚oƒSƒVƒbƒN"), a capital after small letters,
    // letters of two scripts in one word, a word of accented Latin letters alone, box drawing, and
    // UTF-8 letters read as a Latin letter and another character ("Ã©").
    size_t GetMisreadings() const;
    // The oddities weighed into one total, by which readings of the same bytes are compared: a
    // character no word holds where the reading puts it, or a byte it gives no character, counts
    // twice what only the language tells does, for a text of several languages holds letters of
    // several alphabets, but no text holds a sign between letters.
    size_t GetScore() const;
    // The same, weighed against a rival reading of the same bytes: a sign ¤ after a number tells
    // only against the sign in a charset whose byte for it the rival reads as a currency; against
    // any other, neither reads a currency there.
    size_t GetScoreAgainst(const CTextReading& rival) const;
    size_t GetLetterOdditiesAgainst(const CTextReading& rival) const;
    // Of them, the UTF-8 letters of two bytes read as two characters.
    size_t GetUtf8Pairs() const;
    // Bytes the charset gives no character (control characters of U+0080 to U+009F) in a word or
    // at its edge.
    size_t GetStrays() const;
    // What only the language tells: letters of no one alphabet together (each counted once), the
    // sign ¤ after a number, where the charset beside reads a currency, and the letters of a CJK
    // charset's rarer part.
    size_t GetLetterOddities() const;
    size_t GetForeignLetters() const;
    size_t GetSignsForCurrency() const;
    // Of a CJK charset's reading, the letters beyond the part of its table its texts are written
    // in (the first level of GB2312 and of JIS X 0208, Big5's frequent characters, KS X 1001):
    // Chinese read as Japanese or as Big5 reads as many, its own reading as few.
    size_t GetRareLetters() const;
    // How many letters beyond ASCII the words hold, and how many words hold them.
    size_t GetLettersInWords() const;
    size_t GetWordsBeyond() const;
    // Whether the text holds letters beyond ASCII.
    bool HoldsLetters() const;
    // Whether the two read the bytes as the same text (as far as both read on; a reading that
    // holds what no text holds, or is garbled throughout, reads as no other).
    bool ReadsAs(const CTextReading& other) const;

    // Of two readings of the same bytes, which reads them more as text: 1 this one, -1 the
    // other, 0 neither (both as text of the same score, or neither as text). Where the bytes read
    // alike, the two readings count alike: the scores differ by how each reads the bytes they
    // read otherwise, in their context.
    int Compare(const CTextReading& other) const;

    // The oddities of text in UTF-8, strays among them; whether it reads as text.
    static size_t CountOddities(std::string_view utf8, bool& bText);

    // What a one-byte charset reads each byte beyond ASCII as; U+FFFD for a byte it leaves
    // undefined. Made once for each charset, and kept.
    using ByteTable = std::array<char32_t, 128>;
    static const ByteTable& ReadingOf(const CPageCharset& charset);

private:
    // Of the signs ¤ after a number, those that tell nothing against the rival.
    size_t SignsTellingNothingAgainst(const CTextReading& rival) const;

    class OddityCounter;
    struct State;
    std::unique_ptr<State> m_pState;
};

// How the bytes beyond ASCII of a text stand: how many of each and where the first of each
// stands, for telling how much of it two one-byte charsets read alike, which bytes a one-byte
// charset reads as what, and where the first stands.
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
    // Where the first byte stands that the one-byte charset reads as a character the test takes,
    // and what it is; -1 when none does.
    template <typename Test>
    long long FindFirst(const CPageCharset& charset, Test test, BYTE& by) const
    {
        const CTextReading::ByteTable& table = CTextReading::ReadingOf(charset);
        long long nFirst = -1;
        for (size_t i = 0; i < m_counts.size(); ++i) {
            if (m_counts[i] > 0 && test(table[i]) && (nFirst < 0 || m_first[i] < nFirst)) {
                nFirst = m_first[i];
                by = static_cast<BYTE>(0x80 + i);
            }
        }
        return nFirst;
    }
    // Where the first byte stands that the two one-byte charsets read as different characters, and
    // what it is; -1 when they read the text alike.
    long long FindFirstReadOtherwise(const CPageCharset& first, const CPageCharset& second, BYTE& by) const;
    // Whether the one-byte charset reads the byte the two readings read otherwise as a letter
    // where the other reads one too, for each such byte of the text: they differ in letters only.
    bool DifferInLettersOnly(const CPageCharset& first, const CPageCharset& second) const;
    // Whether the letters the two read otherwise are one letter written two ways (the Romanian ș
    // and ş), which no reader tells apart.
    bool DifferInVariantsOnly(const CPageCharset& first, const CPageCharset& second) const;

private:
    std::array<size_t, 128> m_counts{};
    std::array<long long, 128> m_first{};
    size_t m_nTotal = 0;
    long long m_nSeen = 0; // the bytes of the text so far
};

// COddWordFinder: where a page's text first reads odder in one charset than in another: the first
// word whose reading in the one holds what no word holds where the other reads letters ("coś" for
// "così", "Sí»ové" for "Síťové"), with the byte it turns on; and the word a given byte stands in.
// A refusal names them, so that the user sees in the page itself why its label's reading was not
// taken. A control character in a word is shown by its number ("S<U+0092>éové").
class COddWordFinder {
public:
    // own: the reading looked at; rival: the one it is held against (own itself where none is).
    // nWordAt: a byte whose word is held as own reads it, the first a refusal names; -1 for none.
    COddWordFinder(const CPageCharset& own, const CPageCharset& rival, long long nWordAt = -1);
    COddWordFinder(const COddWordFinder&) = delete;
    COddWordFinder& operator=(const COddWordFinder&) = delete;

    // The page's bytes from its first, in pieces.
    void Add(std::string_view bytes);
    void Finish();

    struct OddWord {
        long long nAt = -1; // the first byte of the word the two read otherwise; -1 where no word is
        BYTE by = 0;
        std::string own;    // the word as each reads it, in UTF-8
        std::string rival;
    };
    const OddWord& GetOddWord() const { return m_found; }
    // The word the byte at nWordAt stands in, as own reads it; empty where none was asked.
    const std::string& GetWordAt() const { return m_wordAt; }

    // A word longer than this is looked at in pieces of it.
    static constexpr size_t kLongestWord = 64;
    // Past so many words the two read otherwise, none is looked for further: a page whose words
    // all read as likely in both is told by its whole text.
    static constexpr size_t kWordsLooked = 4096;

private:
    void EndWord();
    // Whether the two read the byte as different characters.
    bool ReadOtherwise(unsigned char byte) const;
    // Whether words are still looked at: for one the two read otherwise, or for the word held.
    bool IsLooking() const;

    CPageCharset m_own;
    CPageCharset m_rival;
    bool m_bTables = false; // both are one-byte charsets, read by their tables
    bool m_bAlike = false;  // the two are one charset: no word reads otherwise
    const CTextReading::ByteTable* m_pOwnTable = nullptr;
    const CTextReading::ByteTable* m_pRivalTable = nullptr;
    std::string m_word;     // the word going on
    std::string m_before;   // the word before it, which a sign after a number is read with
    long long m_nSeen = 0;  // the bytes given so far
    long long m_nWordAt = 0;
    size_t m_nLooked = 0;
    OddWord m_found;
    long long m_nHeldAt = -1;
    std::string m_wordAt;
};
