// CCharsetChoiceCheck: which ways of taking a page whose bytes read two ways the save can carry
// out without losing a character: its bytes kept under the new declaration, which must then read
// every one of them, or its text converted from the charset it was read in, which must read every
// byte, into the new charset, which must write every character as itself or as the reference or
// escape that the place it stands in reads back. The Preview offers only those, and the save
// refuses the others.
#pragma once

#include "engine/html/CPageCharset.h"
#include "engine/html/CPageEncoder.h"
#include "platform/core/CString.h"

#include <string>

// The ways a page in doubt can be taken, and why either cannot be.
struct CharsetChoices {
    CString strSource; // the charset a conversion reads the page in
    CString strTarget; // the charset given, as the Content-Type names it
    // Why the bytes cannot be kept under the new declaration, and why the page cannot be
    // converted, each in words that follow "for"; empty where it can.
    CString strWhyNotKeep;
    CString strWhyNotConvert;

    bool CanKeep() const { return strWhyNotKeep.IsEmpty(); }
    bool CanConvert() const { return strWhyNotConvert.IsEmpty(); }
};

class CCharsetChoiceCheck {
public:
    // source: the charset the page was read in; target: the charset it is given, strTarget its
    // name as the Content-Type value has it.
    CCharsetChoiceCheck(const CPageCharset& source, const CPageCharset& target, const CString& strTarget);
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

private:
    CPageCharset m_source;
    CPageCharset m_target;
    CString m_strTarget;
    CPageDecoder m_kept;      // the new declaration reading the bytes as they are
    CPageDecoder m_converted; // the page's own charset reading them for a conversion
    CPageEncoder m_encoder;   // the new charset writing what it read
    std::string m_text;
    std::string m_written;
};
