// CPageCharsetJudge: which charset a page is in, and what that rests on: a byte order mark, a
// declaration, the bytes themselves or the charset detector's guess. The scan reads a page in
// the charset its first bytes declare, or, declaring none, in what the detector takes its text
// for; a save that gives a page another charset has all of its bytes judged, and is told whether
// they are kept under the new declaration, converted and from what, or left alone and why; the
// Preview says which, and how the page will be read after the save.
#pragma once

#include "engine/html/CCharsetDetector.h"
#include "engine/html/CPageCharset.h"

#include <memory>
#include <string>

// What the charset a page is read in rests on.
enum class CharsetEvidence {
    ByteOrderMark, // a UTF-8 byte order mark, which browsers take over any declaration
    Declaration,   // a META tag's CHARSET or Content-Type, or the XML declaration's encoding
    Bytes,         // UTF-8, known by its sequences
    Guess,         // the charset detector's guess from the page's text
    WeakGuess,     // a guess from too little text to be sure: Windows-1252, as browsers take such
                   // pages, unless the few letters are of another script
};

struct PageCharsetReading {
    CPageCharset charset;
    CharsetEvidence evidence = CharsetEvidence::Guess;
};

class CPageCharsetJudge {
public:
    // How much of a page's start its declaration is looked for in.
    static constexpr UINT kStartSize = 2048;

    // What a page's first bytes (at most kStartSize are looked at) tell of its charset: a byte
    // order mark decides; else a charset the page declares. A page that declares none is
    // Undeclared here, and read in what a judge finds its bytes to be.
    static PageCharsetReading ReadStart(const BYTE* pText, UINT nLength);

    // How much of a page's bytes are looked at: what its start leaves open (whether a page
    // declaring UTF-8 holds any, what a page declaring nothing is in), or all of them, for a page
    // given another charset or none.
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
    // the detector takes its text for.
    PageCharsetReading GetReading() const;
    // How a page of the same bytes reads whose start reads so: a page whose declaration is taken
    // out is read by the guess.
    PageCharsetReading GetReadingWithStart(const PageCharsetReading& start) const;

    enum class Change {
        Relabel, // the bytes read as the target already, or are taken to be in it
        Convert, // the bytes are in a charset that is known, converted from it
        Doubt,   // they read as UTF-8 and also as another charset, and nothing tells which is meant
        Unknown, // the charset they are in is not known, and the target does not read them
    };
    struct Verdict {
        Change change = Change::Relabel;
        // Convert: the charset converted from and what it rests on; Doubt: the reading other
        // than UTF-8; else how the page read.
        PageCharsetReading source;
        // Doubt: the page read as UTF-8. Unknown: what the bytes look like to the detector, an
        // Undeclared charset when it cannot tell.
        PageCharsetReading other;
        // Unknown, of a page with a label: the first byte the label reads as a control character
        // or leaves undefined, -1 when the detector alone says the label is wrong.
        long long nFirstUnreadable = -1;
        BYTE byFirstUnreadable = 0;
    };
    // What giving the page the target does to its bytes, all of them looked at. Bytes are
    // converted only from a charset that is known: a byte order mark, a multi-byte label they
    // read whole in, UTF-8 by its sequences when the detector agrees, or a one-byte label that
    // reads them as text the detector does not take for another script or a multi-byte charset.
    // Otherwise they are kept under the target when they read in it as the detector reads them,
    // and left alone when they do not.
    Verdict Decide() const;

    const CUtf8Census& GetCensus() const { return m_census; }

private:
    // A charset's look at all of the page's bytes: whether they read as its text.
    struct WholeReader;
    // The page's reading when it declares nothing, from the detector's sample.
    PageCharsetReading Guessed() const;
    // Whether the charset reads every byte of the page as text, and if not, the first that it
    // does not.
    bool ReadsWhole(const CPageCharset& charset, const WholeReader* pReader, long long& nAt, BYTE& by) const;
    // Whether characters of more than one byte the bytes hold in UTF-8 are ones the one-byte
    // charset has bytes of: a page in that charset would have written them so, and their UTF-8
    // is no chance pairing of its letters and signs.
    static bool WritesOwnInUtf8(const CUtf8Census& census, const CPageCharset& charset);
    // Whether the two charsets read the detector's sample alike: the same text, or letters of
    // the same script when both are one-byte charsets, which the detector cannot tell apart.
    bool ReadAlike(const CPageCharset& first, const CPageCharset& second) const;
    // The detector's answer when it reads the sample as text; an Undeclared charset otherwise.
    PageCharsetReading Detected() const;

    PageCharsetReading m_start;
    CPageCharset m_target;
    Look m_look;
    CUtf8Census m_census;
    CCharsetDetector m_detector;
    std::unique_ptr<WholeReader> m_pDeclared; // the page's label looking at its bytes
    std::unique_ptr<WholeReader> m_pTarget;   // the target looking at them
    bool m_bFinished = false;
};
