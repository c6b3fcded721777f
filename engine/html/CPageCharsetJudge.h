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
    Given,         // the charset the user gave the page, its bytes kept under it
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
        // Convert: the charset converted from and what it rests on. Doubt: the first reading (the
        // page's label, or the reading that leaves the charset given in doubt), the one
        // converting from keeps. Unknown: how the page read, its label or its guess. Relabel: how
        // the page read.
        PageCharsetReading source;
        // Doubt: the other reading (UTF-8, the detector's, the charset beside that reads a sign ¤
        // as a currency, or the charset given). Unknown: what the bytes look like, the likeliest
        // reading of the table but the page's own, where the page's own is not likelier; of a page
        // that declares nothing, its own reading where no other is as likely. An Undeclared
        // charset where nothing reads them.
        PageCharsetReading other;
        // Unknown, of a page with a label: the first byte the label reads as no text, -1 when the
        // readings alone say the label is wrong. Doubt over a sign: the first byte one reading
        // takes for the sign ¤ and the other for a currency. Doubt between the label and the charset
        // given: the first byte the two read as other letters. -1 for other doubts.
        long long nFirstUnreadable = -1;
        BYTE byFirstUnreadable = 0;
        // Unknown, of a page whose one-byte label reads every byte but likelier reads otherwise:
        // the first byte the label and what the bytes look like read as different characters.
        long long nFirstOtherwise = -1;
        BYTE byFirstOtherwise = 0;
    };
    // What giving the page the target does to its bytes, all of them looked at: the table of
    // candidates (GetCandidates), each read over the same bytes and scored by the same measures
    // (CTextReading), then compared. A few plain facts come first: bytes of ASCII alone, or under
    // the charset they are declared in already, are kept; a byte order mark, or bytes that are
    // UTF-8 by their sequences and to the detector, are UTF-8. Otherwise what the author or the
    // user said stands ahead (Stand): the label, then the charset given a page whose label does not
    // stand, each weighed against every other candidate (Weigh). A label that stands is converted
    // from (a one-byte label that reads control characters in words never stands); one in doubt
    // with a rival puts the page to the user with both readings. The charset
    // given that stands keeps the bytes; in doubt, the page is put to the user with the rival's
    // reading and its own. Where no one's word stands, the page is never converted from a guess:
    // it is left alone with what its bytes look like, the likeliest reading of the table, or in
    // doubt where that reading and the one beside it differ only in a sign ¤ and a currency, or
    // where its bytes are UTF-8 beside its own charset's.
    Verdict Decide() const;

    const CUtf8Census& GetCensus() const { return m_census; }

    // The candidates the judgement compares: the page's label, the detector's answer, the charset
    // given (the target), how the page reads, UTF-8, and the charsets beside each of them (those of
    // its script), each once, with what it is in the judgement; where the detector cannot tell the
    // page's script, the charsets of every script. Each is read over the same bytes and scored by
    // the same measures (CTextReading).
    enum Role : unsigned {
        Label = 1,        // the charset the page declares
        Detector = 2,     // the detector's answer, a guess from too little text
        SureDetector = 4, // the detector's answer, from text enough to be sure
        Target = 8,       // the charset given
        Utf8 = 16,
        OfScript = 32,    // a charset beside one of the others: of its script
        Read = 64,        // how the page reads, its label or its guess
        Elsewhere = 128,  // a charset of a script nothing points to, read where the detector cannot
                          // tell the page's: it tells what the bytes look like, and weighs against
                          // no one's word
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

    // How a reading stands against a rival reading of the same bytes, by what the rival is and
    // whose word the reading is. The bytes' own evidence decides first: a reading that reads them
    // as no text is outweighed by any rival that does; where both read text, their scores
    // (CTextReading::GetScoreAgainst) differ by how each reads the bytes they read otherwise, each in its
    // context, and a rival whose score is clearly lower, by the margin (Margin), outweighs the
    // reading unless it puts more characters where no word holds them. A near tie goes to the
    // reading, and a rival of a higher score tells nothing against it. Within the margin, only the
    // language tells them apart, and only where the two differ in letters: a sure detector
    // outweighs a reading of a higher score, or of as many and no more letters in words, unless
    // the letters they differ in are one letter written two ways; a guess from too little text
    // leaves a reading of letter oddities in doubt with its own reading of none; the charset given
    // leaves a label in doubt only where the label's score is higher, or the two differ in one
    // letter written two ways. Readings of a multi-byte charset that tie are told apart by a sure
    // detector alone, and left in doubt by a guess. Any other rival (a charset beside, UTF-8)
    // weighs by the scores alone against the page's word; the user's word alone, the charset
    // given a page read otherwise, any rival of a lower score leaves in doubt.
    enum class Rival { SureDetector, Detector, Target, Other };
    enum class Weighing { Holds, Outweighed, InDoubt };
    // Whose word a reading weighed is: the page's (its label, or the charset given that it is
    // read in already), or the user's alone.
    enum class Word { Page, User };
    static Weighing Weigh(const CTextReading& reading, const CTextReading& rival, Rival rivalIs, const CByteCounts& bytes,
                          Word word = Word::Page);
    // By how much a rival's score must be below a reading's to outweigh it: by more than a
    // letter of another alphabet, and by more again for each so many words of the text that hold
    // letters beyond ASCII. One odd byte never outweighs a page of text.
    static constexpr size_t kWordsPerOddity = 4;
    static size_t Margin(const CTextReading& reading);
    // Whether a one-byte reading takes bytes of the text for the sign ¤ where a rival reads a
    // currency (the € of ISO-8859-15, the ₪ of windows-1255), reads every byte as a character, the
    // others but a few alike, and the text as text as likely: nothing tells which is meant. Where
    // it does, the first such byte.
    static bool ReadsSignAsCurrency(const CTextReading& reading, const CTextReading& rival, const CByteCounts& bytes,
                                    long long& nAt, BYTE& by);
    // Of two readings of the same bytes, which reads them likelier as the page's text: a reading
    // of every byte as text ahead; then the fewer bytes read as no letter of a text; then, where
    // only letters tell, a sure detector's word on the language; then the fewer letter
    // oddities; then who named it (the label, the charset given, a sure detector, how the page
    // reads, a guess from too little text, UTF-8, a charset beside, one of another script). 1 the
    // first, -1 the second, 0 alike.
    static int Rank(const CTextReading& one, unsigned rolesOne, const CTextReading& two, unsigned rolesTwo);

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
    // Whether the charset reads every byte of the page as a character of it, and if not, the
    // first that it does not. FirstOdd: the first it reads as no character or as a control.
    bool ReadsWhole(const CPageCharset& charset, long long& nAt, BYTE& by) const;
    void FirstOdd(const CPageCharset& charset, long long& nAt, BYTE& by) const;
    // Feeds a piece of the text to the readings of a page looked at whole: holds it while the
    // page's words fit in kHeldWords, to be read in the charsets asked of them; past that, reads
    // them in every charset as they come.
    enum class TextEnd { More, Last };
    void ReadText(std::string_view words, TextEnd end);
    void ReadAsItComes();

    // The table: each candidate with its reading of the text and whether it reads every byte.
    struct Scored;
    using Table = std::vector<Scored>;
    Table Score(Guesses guesses) const;
    // How a reading of someone's word stands against the table, and the rival that outweighs it or
    // leaves it in doubt: of those that do, the likeliest (Rank).
    struct Standing;
    Standing Stand(const Scored& own, Word word, const Table& table) const;
    // How the label stands: the charset given weighs as the user's word where the detector's
    // answer, sure or not, reads the text as it does; and where the page holds UTF-8 characters
    // beside bytes of its one-byte label, UTF-8 among them may be meant. A one-byte label whose
    // reading puts control characters in words stands against no one.
    Standing StandLabel(const Scored& label) const;
    // The likeliest reading of the table (Rank); against a reading of text, the likeliest that
    // reads the bytes as other text and tells against it (Likeliest says which do), none where
    // none does.
    const Scored* Likeliest(const Table& table, const Scored* pOtherThan) const;
    // The bytes are UTF-8 text beside text of the page's one-byte charset: read so, the text is
    // much likelier than in the charset alone, and than in the detector's. Pairs that only happen
    // to read as UTF-8 are no such text.
    bool IsMixedText(const PageCharsetReading& own) const;
    // Whether characters of more than one byte the bytes hold in UTF-8 are ones the one-byte
    // charset has bytes of: a page in that charset would have written them so.
    static bool WritesOwnInUtf8(const CUtf8Census& census, const CPageCharset& charset);
    // The page in doubt between the two readings; over a sign or letters, the first byte they read
    // otherwise. Which of the two ways the save can carry out is the save's to tell, with the
    // writer it writes the page with.
    Verdict InDoubt(const PageCharsetReading& source, const PageCharsetReading& other, long long nAt = -1, BYTE by = 0) const;
    // The bytes are in no charset the save can tell; they look most like the reading named.
    Verdict Unknown(const PageCharsetReading& source, const PageCharsetReading& looks) const;

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
