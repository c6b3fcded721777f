// CPageCharset: the character set a page is written in (CPageCharsetJudge finds it: a UTF-8 byte
// order mark, else the charset its META tags declare, else the detector's guess), with the two
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
        Utf8,       // declared UTF-8, or undeclared and its bytes are UTF-8
        Windows1252, // read as Windows-1252, as browsers read pages declared ISO-8859-1
        Iconv,      // any other charset, through its codec (CPageCodec), whose tables are read
                    // from the C library's converters
    };

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
    // The length of the UTF-8 sequence at p (1 for ASCII), 0 when the bytes there are none, -1
    // when they may be one but n cuts it off.
    static int Utf8SequenceLength(const unsigned char* p, size_t n);
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

    // UTF-8 text in the page's charset; characters it cannot hold become "&#N;".
    std::string Encode(std::string_view utf8) const;
    // Bytes of a whole text in the charset, read into UTF-8 as CPageDecoder reads them.
    std::string Decode(std::string_view bytes) const;
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
    bool m_bMultiByte = false;
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
// that are no UTF-8, and the multibyte characters. Whether bytes that read as UTF-8 are UTF-8
// indeed, or text of another charset that happens to read so, is the charset detector's to say.
class CUtf8Census {
public:
    // Whether a page with a multibyte character is UTF-8 whatever else it holds, or it takes all
    // of its bytes to know.
    enum class Look { ToFirstMultibyte, Whole };
    explicit CUtf8Census(Look look = Look::ToFirstMultibyte) : m_look(look) {}

    void Add(const char* pBytes, size_t nLength);
    // The end of the page: a character cut off there is no UTF-8.
    void Finish();
    // The end of a part of a page looked at alone: a character cut off there is taken for whole.
    void FinishPart() { m_pending.clear(); }
    bool HasInvalid() const { return m_nFirstInvalid >= 0; }
    bool HasMultibyte() const { return m_bMultibyte; }
    // Where the first byte that is no UTF-8 stands, and what it is.
    long long GetFirstInvalid() const { return m_nFirstInvalid; }
    BYTE GetFirstInvalidByte() const { return m_byFirstInvalid; }
    // More bytes change nothing that is looked for.
    bool IsSettled() const { return m_look == Look::ToFirstMultibyte && m_bMultibyte; }
    // The bytes read as UTF-8, and not as ASCII alone.
    bool IsUtf8() const { return !HasInvalid() && m_bMultibyte; }
    // Whether the bytes read whole as UTF-8: they are UTF-8, or ASCII alone.
    bool ReadsWhole() const { return !HasInvalid(); }
    // Whether a byte beyond ASCII was seen.
    bool HasNonAscii() const { return m_bMultibyte || HasInvalid(); }
    // The characters of more than one byte the bytes hold, each once, the first kCharactersKept
    // of them; and whether they hold more.
    static constexpr size_t kCharactersKept = 16;
    const std::u32string& GetCharacters() const { return m_characters; }
    bool HoldsMoreCharacters() const { return m_bMoreCharacters; }

private:
    void Keep(char32_t ch);

    Look m_look;
    std::string m_pending; // the start of a character cut off at the end of a piece
    long long m_nTextStart = 0;
    long long m_nFirstInvalid = -1;
    BYTE m_byFirstInvalid = 0;
    bool m_bMultibyte = false;
    std::u32string m_characters;
    bool m_bMoreCharacters = false;
};
