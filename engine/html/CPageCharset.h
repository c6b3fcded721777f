// CPageCharset: the character set a page is written in, found from its first bytes (a UTF-8
// byte order mark, else the charset its META tags declare, else a guess), with the two
// conversions the engine needs: the page's bytes to UTF-8 for reading, and UTF-8 text back to the
// page's bytes for writing, where a character the charset has no byte for becomes a numeric
// character reference (or what the caller writes instead).
#pragma once

#include "engine/html/CPageCodec.h"
#include "platform/core/Types.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class CPageCharset {
public:
    enum class Kind {
        Undeclared, // nothing declared and no byte above 127 in the sample: read as UTF-8 (a
                    // stray invalid byte as its Windows-1252 character); written as references
        Utf8,       // declared UTF-8, or undeclared and the sample is UTF-8
        Windows1252, // read as Windows-1252, as browsers read pages declared ISO-8859-1
        Iconv,      // any other charset, through its codec (CPageCodec), whose tables are read
                    // from the C library's converters
    };

    // The charset of a page whose first bytes (at most 2048 are looked at) are given, as
    // CPageCharsetJudge reads it: a UTF-8 byte order mark decides, as it does for browsers; else
    // a charset the page declares; without one, Japanese and Korean pages are recognised by
    // their bytes, UTF-8 by its sequences, and other 8-bit text is taken for Windows-1252.
    static CPageCharset Detect(const BYTE* pText, UINT nLength);
    // The charset a page declaring this name is read in ("iso-8859-1", "EUC-KR", "shift_jis" ...),
    // as browsers read it; Undeclared for a name they read no page in. A page declaring UTF-16 is
    // read as UTF-8: its META tag could not have been read otherwise.
    static CPageCharset FromName(std::string_view name);
    // The charset a page given this name is written in; Undeclared for a name no page can be
    // written in: one browsers do not read pages in, and UTF-16, which this program does not write.
    static CPageCharset ForWriting(std::string_view name);
    // The charset name the page's own declarations name in the text, lower-cased: a META tag's
    // CHARSET attribute, or the CONTENT of its HTTP-EQUIV="Content-Type", else the encoding of
    // the XML declaration that opens the page. Empty when none does.
    static std::string FindDeclaredName(const BYTE* pText, UINT nLength);
    // The character at text[at], at moved past it; a byte that is no UTF-8 is its Windows-1252
    // character, as Encode takes it.
    static char32_t NextCharacter(std::string_view text, size_t& at);
    // Whether the text begins with the UTF-8 byte order mark.
    static bool HasUtf8Mark(std::string_view text) { return text.substr(0, 3) == "\xEF\xBB\xBF"; }

    CPageCharset() = default;

    Kind GetKind() const { return m_kind; }
    // The charset's name as browsers name it ("UTF-8", "windows-1251", "Shift_JIS").
    const std::string& GetName() const { return m_name; }
    // Whether its characters take more than one byte (UTF-8, the Chinese, Japanese and Korean
    // charsets): such a charset tells of the bytes that read whole in it.
    bool IsMultiByte() const { return m_bMultiByte; }
    // The names of the codecs that read and write it (Iconv only).
    const std::string& GetReadName() const { return m_readName; }
    const std::string& GetWriteName() const { return m_writeName; }
    // The Japanese encoding the guess found (CTranslatingFile's encodings), encodingNone (1)
    // otherwise. Such pages are read through that converter into Shift-JIS first.
    int GetJapaneseEncoding() const { return m_nJapanese; }
    // The charset the page's own bytes are in: this one, but for a Japanese page found by the
    // guess, the encoding it came in rather than the Shift-JIS it is read through.
    CPageCharset OfBytes() const;

    // UTF-8 text in the page's charset; characters it cannot hold become "&#N;".
    std::string Encode(std::string_view utf8) const;
    // What to write for a character the charset cannot hold: the character, where it starts in
    // the text, and the output to append to.
    using Lacking = std::function<void(char32_t value, size_t nAt, std::string& out)>;
    std::string Encode(std::string_view utf8, const Lacking& lacking) const;
    // The same for a text written in pieces: the state carries the charset's mode (ISO-2022-JP's)
    // from one piece to the next, and FinishText ends the text in the mode it began in. A text
    // cut into pieces is written as the whole of it would be.
    std::string Encode(std::string_view utf8, const Lacking& lacking, CPageCodec::WriteState& state) const;
    void FinishText(CPageCodec::WriteState& state, std::string& out) const;
    // Whether text in either charset is written alike: the same bytes for every character.
    bool WritesAs(const CPageCharset& other) const { return m_kind == other.m_kind && m_writeName == other.m_writeName; }
    // The charset a Content-Type value names after "charset=" ("text/html; charset=UTF-8"),
    // lower-cased; empty when it names none.
    static std::string NameInContentType(std::string_view value);

private:
    Kind m_kind = Kind::Undeclared;
    std::string m_name = "US-ASCII";
    std::string m_readName;
    std::string m_writeName;
    int m_nJapanese = 1;
    bool m_bMultiByte = false;
    friend class CPageCharsetJudge;
};

// Turns a page's bytes into UTF-8 in pieces, keeping a character cut between two pieces for the
// next. One decoder per page and thread.
class CPageDecoder {
public:
    explicit CPageDecoder(const CPageCharset& charset);
    ~CPageDecoder();
    CPageDecoder(const CPageDecoder&) = delete;
    CPageDecoder& operator=(const CPageDecoder&) = delete;

    // Appends the UTF-8 of the bytes to out. Bytes that form no character of the charset are
    // kept readable: as their Windows-1252 character in UTF-8, else as U+FFFD.
    void Decode(const char* pBytes, size_t nLength, std::string& out);
    // The end of the page: whatever an unfinished character held is appended.
    void Finish(std::string& out);
    // Whether every byte decoded so far read as a character of the charset; if not, where the
    // first that did not stands (from the first byte decoded) and what it is.
    bool IsReadWhole() const { return m_nFirstUnread < 0; }
    long long GetFirstUnread() const { return m_nFirstUnread; }
    BYTE GetFirstUnreadByte() const { return m_byFirstUnread; }

private:
    void DecodeUtf8(const char* pBytes, size_t nLength, std::string& out);
    void NoteCodecUnread();

    CPageCharset::Kind m_kind;
    const CPageCodec* m_pCodec = nullptr; // Iconv only
    CPageCodec::ReadState m_codecState;
    std::string m_pending;    // the start of a character cut off at the end of a piece
    long long m_nTextStart = 0; // where the text being decoded (the pending bytes first) starts
    long long m_nFirstUnread = -1;
    BYTE m_byFirstUnread = 0;
};

// Looks at a page's bytes, given in pieces, for what tells how they read as UTF-8: the bytes
// that are no UTF-8, and the multibyte characters. Other charsets make UTF-8 characters now and
// then by chance: a pair of a double-byte charset's characters split apart, between bytes that
// are no UTF-8 (the Hangul of "Korean" holds one), or an accented capital of a one-byte charset
// before a no-break space or a quote (the Latin-1 E acute of "CAFE" and a no-break space are
// the bytes of U+0260). Such characters are counted apart, as no sign of UTF-8.
class CUtf8Census {
public:
    // Whether a page with a multibyte character is UTF-8 whatever else it holds, or it takes all
    // of its bytes to know.
    enum class Look { ToFirstMultibyte, Whole };
    explicit CUtf8Census(Look look = Look::ToFirstMultibyte) : m_look(look) {}

    void Add(const char* pBytes, size_t nLength);
    // The end of the page: a character cut off there is no UTF-8.
    void Finish();
    // The end of a page's start that was looked at alone: its last character is judged as the
    // page's last, and one cut off there is taken for whole.
    void FinishStart() { Settle(false); }
    bool HasInvalid() const { return m_nFirstInvalid >= 0; }
    bool HasMultibyte() const { return m_bMultibyte; }
    // Where the first byte that is no UTF-8 stands, and what it is.
    long long GetFirstInvalid() const { return m_nFirstInvalid; }
    BYTE GetFirstInvalidByte() const { return m_byFirstInvalid; }
    // More bytes change nothing that is looked for.
    bool IsSettled() const { return m_look == Look::ToFirstMultibyte && m_bMultibyte; }
    // The page is UTF-8 by its bytes: they all read as UTF-8, and not only by chance.
    bool IsUtf8() const { return !HasInvalid() && m_nUtf8Bytes > 0; }
    // The page holds UTF-8 characters beside bytes that are no UTF-8, too many of them to be
    // chance (more than one byte in eight): neither reading of its bytes is right for all.
    bool IsMixed() const { return HasInvalid() && m_nUtf8Bytes > 0 && 8 * m_nUtf8Bytes > m_nInvalid; }
    // Whether the bytes read whole as UTF-8: they are UTF-8, or ASCII alone.
    bool ReadsWhole() const { return !HasInvalid() && (m_nUtf8Bytes > 0 || !m_bMultibyte); }
    // Whether a byte beyond ASCII was seen.
    bool HasNonAscii() const { return m_bMultibyte || HasInvalid(); }

private:
    // A multibyte character of nSize bytes at p.
    void Count(const unsigned char* p, int nSize);
    // The character before the next one waits for it to tell whether it was by chance; whether
    // the next one is a multibyte character.
    void Settle(bool bNextIsCharacter);

    Look m_look;
    std::string m_pending; // the start of a character cut off at the end of a piece
    long long m_nTextStart = 0;
    long long m_nFirstInvalid = -1;
    BYTE m_byFirstInvalid = 0;
    bool m_bMultibyte = false;
    long long m_nInvalid = 0;   // the bytes that are no UTF-8
    long long m_nUtf8Bytes = 0; // the bytes of multibyte characters that are no chance pair
    bool m_bLastMultibyte = false; // the last character was one of more than one byte
    bool m_bLastInvalid = false;   // the last byte was no UTF-8
    int m_nWaiting = 0;            // the bytes of the last character, which the next one judges
    bool m_bChanceWaits = false;   // it may be an accented capital's pair: the next character tells
};
