// CPageCharsetJudge: which charset a page is in, and what that rests on: a byte order mark, a
// declaration, the bytes themselves or the charset detector's guess. The scan reads a page in
// the charset its first bytes declare, or, declaring none, in what the detector takes its text
// for; a save that gives a page another charset has all of its bytes judged, and is told whether
// they are kept under the new declaration, converted and from what, or left alone and why; the
// Preview says which, and how the page will be read after the save.
#pragma once

#include "engine/html/CCharsetDetector.h"
#include "engine/html/CPageCharset.h"
#include "engine/html/CPageTextFilter.h"
#include "engine/html/CTextReading.h"

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// What the charset a page is read in rests on.
enum class CharsetEvidence {
    ByteOrderMark, // a UTF-8 byte order mark, which browsers take over any declaration
    Declaration,   // a META tag's CHARSET or Content-Type, or the XML declaration's encoding
    Bytes,         // UTF-8, known by its sequences
    Guess,         // the charset detector's guess from the page's text
    WeakGuess,     // a guess from too little text to be sure: the detector's, or Windows-1252, as
                   // browsers take such pages, where that reads the text as well
};

struct PageCharsetReading {
    CPageCharset charset;
    CharsetEvidence evidence = CharsetEvidence::Guess;
};

class CPageCharsetJudge {
public:
    // How much of a page's start its declaration is looked for in.
    static constexpr UINT kStartSize = 2048;
    // How far into a page that declares nothing its text's first byte beyond ASCII is looked for:
    // a page of ASCII alone that far is read as such, without being held whole.
    static constexpr size_t kReach = 256 * 1024;
    // How much of the words beyond ASCII of a page looked at whole is held, to be read in the
    // charsets in play alone; a page of more is read in every charset as it comes.
    static constexpr size_t kHeldWords = 64 * 1024;

    // What a page's first bytes (at most kStartSize are looked at) tell of its charset: a byte
    // order mark decides; else a charset the page declares. A page that declares none is
    // Undeclared here, and read in what a judge finds its bytes to be.
    static PageCharsetReading ReadStart(const BYTE* pText, UINT nLength);

    // How much of a page's bytes are looked at: what its start leaves open (whether a page
    // declaring UTF-8 holds any, what a page declaring nothing is in), or all of them, for a page
    // given another charset or none. Looked at whole, a page whose start declares nothing is
    // labelled by the first META tag further on that declares a charset, as the scan's parser
    // reads them wherever they stand; all of its bytes are read once, as they come, and none of
    // them is kept.
    enum class Look { Start, Whole };
    // The page whose start read so; target: the charset it is to be given, or none (a default
    // CPageCharset) when its declaration is only taken out.
    CPageCharsetJudge(const PageCharsetReading& start, const CPageCharset& target, Look look);
    ~CPageCharsetJudge();
    CPageCharsetJudge(const CPageCharsetJudge&) = delete;
    CPageCharsetJudge& operator=(const CPageCharsetJudge&) = delete;

    // The page's bytes from its first, in pieces.
    void Add(const char* pBytes, size_t nLength);
    // The end of the page.
    void Finish();
    // More bytes change nothing the look is for.
    bool IsSettled() const;
    bool IsWholeLook() const { return m_look == Look::Whole; }

    // How the page reads by the bytes added: a page declaring UTF-8 whose bytes hold no UTF-8
    // character but bytes that are none reads as Windows-1252, as the scan shows it; a page that
    // declares nothing is UTF-8 when its bytes are and the detector agrees, else in the charset
    // the detector takes its text for, unless Windows-1252, as browsers read a page they cannot
    // judge, reads the text likelier, or a charset of the detector's script reads it with fewer
    // oddities.
    PageCharsetReading GetReading() const;
    // How a page of the same bytes reads whose start reads so: a page whose declaration is taken
    // out is read by the guess.
    PageCharsetReading GetReadingWithStart(const PageCharsetReading& start) const;

    enum class Change {
        Relabel, // the bytes read as the target already, or are taken to be in it
        Convert, // the bytes are in a charset that is known, converted from it
        Doubt,   // they read as text two ways, and nothing tells which is meant
        Unknown, // the charset they are in is not known, and the target does not read them
    };
    struct Verdict {
        Change change = Change::Relabel;
        // Convert: the charset converted from and what it rests on; Doubt: the first reading
        // (the page's label, other than UTF-8, or the charset beside the target that reads its
        // sign ¤ as a currency), the one converting from keeps; else how the page read.
        PageCharsetReading source;
        // Doubt: the other reading (UTF-8, the detector's, the charset beside the label's that
        // reads its sign ¤ as a currency, or the target's). Unknown: what the bytes look like to the detector, an
        // Undeclared charset when it cannot tell.
        PageCharsetReading other;
        // Unknown, of a page with a label: the first byte the label reads as no text, -1 when the
        // detector alone says the label is wrong. Doubt over a sign: the first byte one reading
        // takes for the sign ¤ and the other for a currency; -1 for other doubts.
        long long nFirstUnreadable = -1;
        BYTE byFirstUnreadable = 0;
    };
    // What giving the page the target does to its bytes, all of them looked at: the table of
    // candidates (GetCandidates) read over the same bytes and compared by the same measures
    // (CTextReading), the label starting ahead. Bytes are converted from a byte order mark, from
    // UTF-8 that the detector takes for UTF-8, and from a label no candidate outweighs (Weigh):
    // none reads fewer of its bytes as no letter of a text, and no sure detector reads other
    // letters in them as likelier. A label whose letters the charset given, or a guess, reads as
    // other letters with nothing sure to tell which is meant is in doubt with that reading.
    // Otherwise the bytes are kept under the target when it reads them as well as any reading,
    // left alone in doubt when two read them as text and nothing tells which is meant, and left
    // alone as unknown otherwise. A label, or a target given a page whose charset is a guess, that
    // reads a byte as the sign ¤ where the charset beside it reads a currency (the € of
    // ISO-8859-15, the ₪ of windows-1255) and the rest alike is in doubt with it.
    Verdict Decide() const;

    const CUtf8Census& GetCensus() const { return m_census; }

    // The candidates the judgement compares: the page's label, the detector's answer, the charset
    // given (the target), UTF-8, and the charsets beside each of them (those of its script), each
    // once, with what it is in the judgement; each is read over the same bytes and scored by the
    // same measures (CTextReading).
    enum Role : unsigned {
        Label = 1,        // the charset the page declares
        Detector = 2,     // the detector's answer, a guess from too little text
        SureDetector = 4, // the detector's answer, from text enough to be sure
        Target = 8,       // the charset given
        Utf8 = 16,
        OfScript = 32,    // a charset beside one of the others: of its script
    };
    struct Candidate {
        PageCharsetReading reading;
        unsigned roles = 0;
        bool Is(Role role) const { return (roles & role) != 0; }
    };
    // The page's candidates, the label, the detector's and the target's first.
    std::vector<Candidate> GetCandidates() const;
    // The text read in the charset, as the judgement reads it.
    const CTextReading& GetText(const CPageCharset& charset) const { return TextIn(charset); }

    // How a reading stands against a rival reading of the same bytes, by what the rival is. The
    // bytes' own evidence decides first: a reading that reads them as no text, or with more
    // misreadings and strays, is outweighed by any rival, and holds against any that does worse.
    // Where they tie, only the language tells them apart, and only where the two differ in letters:
    // a sure detector outweighs a reading of more letter oddities, or of as many and no more letters
    // in words, unless the letters they differ in are one letter written two ways; a guess from too
    // little text leaves a reading of letter oddities in doubt with its own reading of none; the
    // charset given leaves it in doubt with a reading of no more letter oddities. Readings of a
    // multi-byte charset that tie are told apart by a sure detector alone, and left in doubt by a
    // guess. Any other rival (a charset beside, UTF-8) weighs by the bytes' evidence alone.
    enum class Rival { SureDetector, Detector, Target, Other };
    enum class Weighing { Holds, Outweighed, InDoubt };
    static Weighing Weigh(const CTextReading& reading, const CTextReading& rival, Rival rivalIs, const CByteCounts& bytes);

private:
    // A multi-byte charset's look at all of the page's bytes: whether they read as its text.
    struct WholeReader;

    // The page's reading when it declares nothing, from the text the detector was given.
    PageCharsetReading Guessed() const;
    // The detector's answer when it reads the text as text; an Undeclared charset otherwise.
    PageCharsetReading Detected() const;
    bool DetectorSaysUtf8() const;
    // The charset's reading of the page's text, made once when asked: over the page's words held,
    // looked at whole, or the detector's sample otherwise. Of a page too large to be held, read
    // as the text came; a charset it was not read in reads nothing.
    const CTextReading& TextIn(const CPageCharset& charset) const;
    // The same read as UTF-8 where its bytes are UTF-8 characters of more than one byte.
    const CTextReading& MixedTextIn(const CPageCharset& charset) const;
    // How the page's bytes beyond ASCII stand: all of them, looked at whole; the sample's
    // otherwise.
    const CByteCounts& TextBytes() const;
    // The candidates: the label's, the detector's (unless its guess is not weighed), the target's,
    // UTF-8 and those beside them, each with what it rests on.
    enum class Guesses { Weigh, Ignore };
    const std::vector<Candidate>& Candidates(Guesses guesses) const;
    // Of the readings in play that read the text as text, the one with the fewest oddities, the
    // label, the detector's and the target's first among as many; an Undeclared charset when
    // none does.
    PageCharsetReading Likeliest() const;
    // Whether the charset reads every byte of the page as a character of it, and if not, the
    // first that it does not. FirstOdd: the first it reads as no character or as a control.
    bool ReadsWhole(const CPageCharset& charset, long long& nAt, BYTE& by) const;
    void FirstOdd(const CPageCharset& charset, long long& nAt, BYTE& by) const;
    // Where the first byte stands that the one-byte charset reads as the sign ¤; -1 for none.
    long long FirstSign(const CPageCharset& charset, BYTE& by) const;
    // Feeds a piece of the text to the readings of a page looked at whole: holds it while the
    // page's words fit in kHeldWords, to be read in the charsets asked of them; past that, reads
    // them in every charset as they come.
    enum class TextEnd { More, Last };
    void ReadText(std::string_view words, TextEnd end);
    void ReadAsItComes();

    // The rules of the judgement, each on its own:
    // How the label stands as the page's charset: it reads the bytes as text, and no candidate
    // outweighs it (Weigh), each weighed by what it is. The charset given weighs as the user's word
    // where the detector's answer, sure or not, reads the text as it does, and as any other
    // elsewhere. The rival: the reading that outweighs it, or leaves it in doubt.
    Weighing WeighLabel(PageCharsetReading& rival) const;
    // The bytes are UTF-8 text beside text of the page's one-byte charset: read so, the text is
    // much likelier than in the charset alone, and than in the detector's. Pairs that only happen
    // to read as UTF-8 are no such text.
    bool IsMixedText(const PageCharsetReading& own) const;
    // The target reads the bytes as text as well as the page's own reading, the detector's and
    // any in play: they can be kept as they are under it.
    bool TargetFits(const PageCharsetReading& own) const;
    // Whether characters of more than one byte the bytes hold in UTF-8 are ones the one-byte
    // charset has bytes of: a page in that charset would have written them so.
    static bool WritesOwnInUtf8(const CUtf8Census& census, const CPageCharset& charset);
    // The charset beside a one-byte reading's that reads the bytes it takes for the sign ¤ as a
    // currency, every byte of the page as a character, the others but a few alike, and the text
    // as text as likely; an Undeclared charset when none does.
    PageCharsetReading Beside(const CPageCharset& charset) const;
    // The page in doubt between the two readings; over a sign, the first byte one reads as ¤ and
    // the other as a currency. Which of the two ways the save can carry out is the save's to tell,
    // with the writer it writes the page with.
    Verdict InDoubt(const PageCharsetReading& source, const PageCharsetReading& other, long long nSignAt = -1,
                    BYTE bySign = 0) const;
    // The bytes are in no charset the save can tell; they look most like the likeliest reading.
    Verdict Unknown() const;
    // The bytes kept under the target, which the page whose charset is a guess reads as well as
    // any reading; but in doubt where the target reads a byte as the sign ¤ and the charset
    // beside it reads a currency: the user's word for a page that declared nothing tells no
    // more than the bytes.
    Verdict KeptUnlessSign(const PageCharsetReading& reading) const;

    PageCharsetReading m_start;
    CPageCharset m_target;
    Look m_look;
    CUtf8Census m_census;
    CByteCounts m_pageBytes;        // all of the page's bytes beyond ASCII, looked at whole
    CPageTextFilter m_textFilter;
    std::string m_textPiece;
    CWordsBeyondAscii m_words;      // looked at whole: the words the readings are given
    std::string m_wordsPiece;
    std::string m_wordsHeld;        // a UTF-8 character cut off at the end of the last piece
    std::string m_heldWords;        // the words of a page of a usual size, held whole
    bool m_bReadAsItComes = false;  // the page is too large to be held: read in every charset
    CCharsetDetector m_detector;
    bool m_bDetect = false;         // the detector is asked
    bool m_bBeyondAscii = false;    // a byte beyond ASCII was seen, an escape of ISO-2022-JP too
    size_t m_nLookedAt = 0;         // the page's bytes given the detector's filter
    std::unique_ptr<WholeReader> m_pDeclared; // a multi-byte label looking at the page's bytes
    std::unique_ptr<WholeReader> m_pTarget;   // a multi-byte target looking at them
    // The readings of the text, one for each codec they read with: of a page too large to be
    // held, one for each charset of a script, read as the text comes; otherwise made over the
    // page's words or the detector's sample when asked.
    struct Reading {
        CPageCharset charset;
        CTextReading reading;
    };
    static const CTextReading* Find(const std::deque<Reading>& readings, const CPageCharset& charset);
    mutable std::deque<Reading> m_readings;
    mutable std::deque<Reading> m_mixed; // the same read as Mixed, from the first UTF-8 character on
    mutable std::unique_ptr<CByteCounts> m_pSampleBytes;
    mutable std::vector<Candidate> m_candidates[2]; // Candidates', weighing the guess or not
    bool m_bFinished = false;
};
