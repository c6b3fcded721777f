// CCharsetChoiceCheck: which ways of taking a page whose bytes read two ways the save can carry
// out without losing a character: its bytes kept under the new declaration, which must then read
// every one of them, or its text converted from the charset it was read in, which must read every
// byte, into the new charset, which must write every character as itself or as the reference or
// escape that the place it stands in reads back. A page that holds UTF-8 characters among bytes
// of its own charset is not converted either: the conversion would write each of them as the
// two or three characters its bytes read as there. The Preview offers only those ways, and the
// save refuses the others.
#pragma once

#include "engine/html/CPageCharset.h"
#include "engine/html/CPageEncoder.h"
#include "engine/project/CPageChecksum.h"
#include "platform/core/CString.h"

#include <string>

struct CharsetWay;

// The ways a page in doubt can be taken, and why either cannot be.
struct CharsetChoices {
    CString strSource; // the charset a conversion reads the page in
    CString strTarget; // the charset given, as the Content-Type names it
    // Why the bytes cannot be kept under the new declaration, and why the page cannot be
    // converted, each in words that follow "for"; empty where it can.
    CString strWhyNotKeep;
    CString strWhyNotConvert;
    ULONGLONG nChecksum = 0; // of the bytes judged (CPageChecksum)

    bool CanKeep() const { return strWhyNotKeep.IsEmpty(); }
    bool CanConvert() const { return strWhyNotConvert.IsEmpty(); }
    // Whether a way was taken on these bytes, read from the same charset.
    bool IsTakenOn(const CharsetWay& way) const;
};

class CCharsetChoiceCheck {
public:
    // source: the charset the page was read in; other: the other charset its bytes read in;
    // target: the charset it is given, strTarget its name as the Content-Type value has it.
    CCharsetChoiceCheck(const CPageCharset& source, const CPageCharset& other, const CPageCharset& target,
                        const CString& strTarget);
    CCharsetChoiceCheck(const CCharsetChoiceCheck&) = delete;
    CCharsetChoiceCheck& operator=(const CCharsetChoiceCheck&) = delete;

    // The page's bytes from its first, in pieces.
    void Add(const char* pBytes, size_t nLength);
    // The end of the page.
    void Finish();
    CharsetChoices GetChoices() const;

    // Why a charset does not read all of the bytes a decoder was given, in words that follow
    // "for": "UTF-8 does not read byte 95 (0xF1)".
    static CString UnreadWords(const CPageCharset& charset, const CPageDecoder& decoder);
    // Why the encoder could not write a character of the page, a sentence without its stop:
    // which character, where it stands, and that nothing there would read it back.
    static CString RefusedWords(const CString& strTarget, const CPageEncoder& encoder);
    // Why UTF-8 characters among the page's own bytes are not converted from the charset, in
    // words that follow "for": what it reads the first of them as.
    static CString TwiceEncodedWords(const CPageCharset& source, char32_t character);

private:
    CPageCharset m_source;
    CPageCharset m_target;
    CString m_strTarget;
    CPageDecoder m_kept;      // the new declaration reading the bytes as they are
    CPageDecoder m_converted; // the page's own charset reading them for a conversion
    CPageEncoder m_encoder;   // the new charset writing what it read
    // Where the other reading is UTF-8: the characters it reads, which a conversion would write
    // as what the page's own charset reads their bytes as.
    bool m_bUtf8Other;
    CUtf8Census m_census{CUtf8Census::Look::Whole};
    CPageChecksum m_checksum;
    std::string m_text;
    std::string m_written;
};
