// CPageCodec: the bytes of a legacy charset read and written as browsers read and write them:
// the one-byte charsets, gb18030 and GBK, Big5, EUC-JP, ISO-2022-JP, Shift_JIS and EUC-KR. A
// character is written only as bytes that read back as the same character; for one the charset
// has no such bytes the caller writes something else (a numeric character reference). The
// codecs are shared and constant; the states are the caller's, one per text.
#pragma once

#include "engine/html/CCharsetIndex.h"
#include "platform/core/Types.h"

#include <string>
#include <string_view>

class CPageCodec {
public:
    enum class Scheme { SingleByte, Gb18030, Gbk, Big5, EucJp, Iso2022Jp, ShiftJis, EucKr, Windows949 };

    // What reading a text holds between its pieces.
    struct ReadState {
        BYTE held[3] = {};   // the bytes of a character not yet whole
        int nHeld = 0;
        long long nHeldAt = 0; // where the first of them stands
        long long nAt = 0;     // the bytes taken so far
        int nMode = 0;         // ISO-2022-JP: the mode the bytes are in, and the one text returns to
        int nOutputMode = 0;
        bool bEscaped = false; // ISO-2022-JP: an escape sequence and no text after it yet
        long long nFirstUnread = -1; // the first sequence that was no character, and its first byte
        BYTE byFirstUnread = 0;
    };
    // What writing a text holds between its characters: ISO-2022-JP's mode.
    struct WriteState {
        int nMode = 0;
    };

    // The codec a converter name in the charset table names ("GB18030", "CP932", "EUC-KR", ...);
    // null for a name of none, or when the tables it needs cannot be had.
    static const CPageCodec* Find(std::string_view name);

    Scheme GetScheme() const { return m_scheme; }

    // Appends the UTF-8 of the bytes to out. A sequence that is no character becomes U+FFFD; the
    // first of them is noted in the state.
    void Decode(ReadState& state, const BYTE* pBytes, size_t nLength, std::string& out) const;
    // The end of the text: a character left unfinished becomes U+FFFD.
    void Finish(ReadState& state, std::string& out) const;

    // Appends the bytes of a character; false when the charset has none that read back as it,
    // the writer then back in ASCII for what the caller writes instead.
    bool Encode(WriteState& state, char32_t ch, std::string& out) const;
    // The end of a text: the writer back in ASCII.
    void Finish(WriteState& state, std::string& out) const;

    CPageCodec(const char* pszName, Scheme scheme, CCharsetIndex::Table table)
        : m_pszName(pszName), m_scheme(scheme), m_table(table)
    {
    }

private:
    // One byte at nAt; the character it ends, if any, is appended.
    void Step(ReadState& state, BYTE byte, long long nAt, std::string& out) const;
    void StepGb18030(ReadState& state, BYTE byte, long long nAt, std::string& out) const;
    void StepTwoByte(ReadState& state, BYTE byte, long long nAt, std::string& out) const;
    void StepEucJp(ReadState& state, BYTE byte, long long nAt, std::string& out) const;
    void StepIso2022Jp(ReadState& state, BYTE byte, long long nAt, std::string& out) const;
    // The character of a lead and a trail byte in Big5, Shift_JIS or EUC-KR; 0 for none. A
    // Big5 code that reads as two characters gives the second in ch2.
    char32_t PairAt(BYTE lead, BYTE trail, char32_t& ch2) const;
    // The end of a sequence of a lead and a trail byte: its character, or none (0).
    static void EndPair(ReadState& state, char32_t ch, BYTE lead, BYTE trail, std::string& out);
    // A sequence from nAt on that is no character: U+FFFD, and the first of them noted.
    static void Unread(ReadState& state, long long nAt, BYTE byte, std::string& out);
    // The pointer a character is written as in the codec's table, -1 for none.
    long PointerFor(char32_t ch) const;
    bool EncodeIso2022Jp(WriteState& state, char32_t ch, std::string& out) const;

    const CCharsetIndex& Index() const;
    const CCharsetIndex& Jis0212() const;

    const char* m_pszName;
    Scheme m_scheme;
    CCharsetIndex::Table m_table;
};
