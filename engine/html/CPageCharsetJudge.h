// CPageCharsetJudge: which charset a page is in, and what that rests on: a byte order mark, a
// declaration, the bytes themselves or a guess. The scan reads a page in the charset its first
// bytes tell; a save that gives a page another charset has all of its bytes judged, and is told
// whether they are kept under the new declaration, converted and from what, or left alone; the
// Preview says which, and how the page will be read after the save.
#pragma once

#include "engine/html/CPageCharset.h"

#include <memory>
#include <string>

// What the charset a page is read in rests on.
enum class CharsetEvidence {
    ByteOrderMark, // a UTF-8 byte order mark, which browsers take over any declaration
    Declaration,   // a META tag's CHARSET or Content-Type, or the XML declaration's encoding
    Bytes,         // UTF-8, known by its sequences
    Guess,         // a Japanese or Korean charset by its bytes, else Windows-1252
};

struct PageCharsetReading {
    CPageCharset charset;
    CharsetEvidence evidence = CharsetEvidence::Guess;
};

class CPageCharsetJudge {
public:
    // How much of a page's start its reading is judged by.
    static constexpr UINT kStartSize = 2048;

    // The charset a page is read in by its first bytes (at most kStartSize are looked at): a
    // byte order mark decides; else a charset the page declares; without one, Korean and
    // Japanese pages are recognised by their bytes, UTF-8 by its sequences, other 8-bit text is
    // taken for Windows-1252 and ASCII alone is left undecided.
    static PageCharsetReading ReadStart(const BYTE* pText, UINT nLength);

    // How all of a page's bytes are looked at: up to what its start leaves open (whether a page
    // declaring UTF-8 holds any), or whole, for a page given another charset or none.
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
    // character but bytes that are none reads as Windows-1252, as the scan shows it; looked at
    // whole, an undeclared page of ASCII at its start is UTF-8 by its later bytes, or else in what
    // they are guessed to be in, as its start would be.
    PageCharsetReading GetReading() const;
    // How a page of the same bytes reads whose start reads so: a page whose declaration is taken
    // out is read by the guess.
    PageCharsetReading GetReadingWithStart(const PageCharsetReading& start) const;

    enum class Change {
        Relabel, // the bytes read as the target already, or are taken to be in it
        Convert, // the bytes are in a charset known otherwise, converted from it
        Mixed,   // UTF-8 characters and bytes that are none: no reading is right for all
    };
    struct Verdict {
        Change change = Change::Relabel;
        // Convert: the charset converted from and what it rests on; else how the page read.
        PageCharsetReading source;
    };
    // What giving the page the target does to its bytes, all of them looked at. Bytes are
    // converted only from a charset that is known: a byte order mark, a multi-byte declaration
    // they read whole in, or UTF-8 by its sequences. A page whose label cannot tell (a one-byte
    // charset, or none) is taken to be in the target when its bytes read whole in it, and is
    // left alone when it holds UTF-8 characters beside other bytes; otherwise it is converted
    // from its label or guess.
    Verdict Decide() const;

    const CUtf8Census& GetCensus() const { return m_census; }

private:
    // The charset bytes beyond ASCII are guessed to be in: Korean, Japanese, else Windows-1252.
    static PageCharsetReading Guess(const BYTE* pText, UINT nLength);
    bool ReadsWholeInDeclared() const;
    bool ReadsWholeInTarget() const;

    PageCharsetReading m_start;
    CPageCharset m_target;
    Look m_look;
    CUtf8Census m_census;
    std::unique_ptr<CPageDecoder> m_pDeclared; // the page's multi-byte declaration, if it has one
    std::unique_ptr<CPageDecoder> m_pTarget;
    std::string m_scratch;
    // Looked at whole: the first kStartSize bytes from the first one beyond ASCII.
    std::string m_laterStart;
    bool m_bFinished = false;
};
