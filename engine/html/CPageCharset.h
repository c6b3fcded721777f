// CPageCharset: the character set a page is written in, found from its first bytes (the charset
// its META tags declare, or else a guess), with the two conversions the engine needs: the page's
// bytes to UTF-8 for reading, and UTF-8 text back to the page's bytes for writing, where a
// character the charset has no byte for becomes a numeric character reference.
#pragma once

#include "platform/core/Types.h"

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
        Iconv,      // any other charset, through the C library's converters
    };

    // The charset of a page whose first bytes (at most 2048 are looked at) are given. A charset
    // declared by a META tag wins ("<meta charset=...>" or a Content-Type's "charset="); without
    // one, Japanese pages are recognised as the encoding guess does it, UTF-8 by its sequences,
    // and other 8-bit text is taken for Windows-1252.
    static CPageCharset Detect(const BYTE* pText, UINT nLength);
    // The charset named by a declaration ("iso-8859-1", "EUC-KR", "shift_jis" ...); Undeclared
    // when the converters know no such name.
    static CPageCharset FromName(std::string_view name);
    // The charset name a META tag declares in the text, lower-cased; empty when none does.
    static std::string FindDeclaredName(const BYTE* pText, UINT nLength);

    CPageCharset() = default;

    Kind GetKind() const { return m_kind; }
    // The converter names used to read and to write (Iconv only).
    const std::string& GetReadName() const { return m_readName; }
    const std::string& GetWriteName() const { return m_writeName; }
    // The Japanese encoding the guess found (CTranslatingFile's encodings), encodingNone (1)
    // otherwise. Such pages are read through that converter into Shift-JIS first.
    int GetJapaneseEncoding() const { return m_nJapanese; }

    // UTF-8 text in the page's charset; characters it cannot hold become "&#N;".
    std::string Encode(std::string_view utf8) const;
    // Whether text in either charset is written alike: the same bytes for every character.
    bool WritesAs(const CPageCharset& other) const { return m_kind == other.m_kind && m_writeName == other.m_writeName; }
    // The charset a Content-Type value names after "charset=" ("text/html; charset=UTF-8"),
    // lower-cased; empty when it names none.
    static std::string NameInContentType(std::string_view value);

private:
    Kind m_kind = Kind::Undeclared;
    std::string m_readName;
    std::string m_writeName;
    int m_nJapanese = 1;
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
    // kept readable: as their Windows-1252 character, or U+FFFD where a converter refuses them.
    void Decode(const char* pBytes, size_t nLength, std::string& out);
    // The end of the page: whatever an unfinished character held is appended.
    void Finish(std::string& out);

private:
    void DecodeUtf8(const char* pBytes, size_t nLength, std::string& out);
    void DecodeIconv(const char* pBytes, size_t nLength, std::string& out);

    CPageCharset::Kind m_kind;
    void* m_cd = nullptr;     // the iconv descriptor (Iconv only)
    std::string m_pending;    // the start of a character cut off at the end of a piece
};

// Looks at a page's bytes, given in pieces, for what tells how they read as UTF-8: a byte that
// is no UTF-8, and a multibyte character.
class CUtf8Census {
public:
    void Add(const char* pBytes, size_t nLength);
    // The end of the page: a character cut off there is no UTF-8.
    void Finish();
    bool HasInvalid() const { return m_bInvalid; }
    bool HasMultibyte() const { return m_bMultibyte; }
    // A multibyte character was found: the bytes are UTF-8 whatever else they hold, and more
    // bytes change nothing.
    bool IsSettled() const { return m_bMultibyte; }

private:
    std::string m_pending; // the start of a character cut off at the end of a piece
    bool m_bInvalid = false;
    bool m_bMultibyte = false;
};
