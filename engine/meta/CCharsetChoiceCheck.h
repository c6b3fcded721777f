// CCharsetChoiceCheck: which ways of taking a page whose charset is in doubt, or not known, the
// save can carry out without losing a character: its bytes kept under the new declaration, which
// must then read every one of them, or its text converted from the charset it was read in, or from
// the other charset its bytes read in, which must read every byte, into the new charset, which
// must write every character as itself or as the reference or escape that the place it stands in
// reads back. A page that holds UTF-8 characters among bytes of its own charset is not converted
// from that charset either: the conversion would write each of them as the two or three
// characters its bytes read as there. The Preview offers only those ways, and the save refuses
// the others.
#pragma once

#include "engine/html/CPageCharset.h"
#include "engine/html/CPageEncoder.h"
#include "engine/html/CTextReading.h"
#include "engine/meta/ReadingChange.h"
#include "engine/project/CPageChecksum.h"
#include "platform/core/CString.h"

#include <memory>
#include <string>
#include <vector>

struct CharsetWay;

// The ways a page in doubt can be taken, and why either cannot be.
struct CharsetChoices {
    CString strSource; // the charset a conversion reads the page in: the one it was read in
    // The other charset its bytes read in, which a conversion may read the page in instead;
    // empty where there is none, or keeping the bytes under the new declaration reads them so.
    CString strOther;
    CString strTarget; // the charset given, as the Content-Type names it
    // Why the bytes cannot be kept under the new declaration, and why the page cannot be
    // converted from either charset, each in words that follow "for"; empty where it can.
    CString strWhyNotKeep;
    CString strWhyNotConvert;
    CString strWhyNotConvertOther;
    ULONGLONG nChecksum = 0; // of the bytes judged (CPageChecksum)
    // The first word the page's own charset reads odder than the other charset does, as each
    // reads it: what a refusal of the page's label shows of why.
    COddWordFinder::OddWord oddWord;
    // The word the first byte a refusal names stands in, as the page's own charset reads it; empty
    // where none is named.
    std::string firstOddWord;
    // How the text reads otherwise than in the page's own charset converted from the other
    // charset, and with its bytes kept under the new declaration: a way that changes letters says
    // which.
    ReadingChange otherReads;
    ReadingChange keptReads;
    // The way the second reading the Preview shows is taken by, the first being the conversion
    // from the page's own charset: its bytes kept under the new declaration, or converted from
    // the other charset.
    enum class Second { Keep, ConvertOther };
    Second second = Second::Keep;

    bool CanKeep() const { return strWhyNotKeep.IsEmpty(); }
    bool CanConvert() const { return strWhyNotConvert.IsEmpty(); }
    bool CanConvertOther() const { return !strOther.IsEmpty() && strWhyNotConvertOther.IsEmpty(); }
    // Whether keeping the bytes is a way on: it can be, and the Preview shows its reading.
    bool OffersKeep() const { return second == Second::Keep && CanKeep(); }
    // Whether any way on can be carried out.
    bool CanTakeAny() const { return OffersKeep() || CanConvert() || CanConvertOther(); }
    // Whether a way was taken on these bytes: kept, or read from a charset of these.
    bool IsTakenOn(const CharsetWay& way) const;
    // Whether the way can be carried out: it was taken on these bytes, and loses no character.
    bool CanCarryOut(const CharsetWay& way) const;
    // The ways that can be carried out, each in the words that name it ("converted from
    // ISO-8859-1", "its bytes kept, declared UTF-8"), and those that cannot, with why not.
    std::vector<CString> WaysOn() const;
    std::vector<CString> WaysBarred() const;
    // Of each way on that reads the page's text otherwise than its own charset, how many
    // characters and which: "converted from ISO-8859-16, 6 characters read otherwise: ñ → ń, ¡ →
    // Ą, ¢ → ą". WayChange: the same of the second way, without its name; empty where it changes
    // none.
    std::vector<CString> WayChanges() const;
    CString WayChange() const;
    // Where the page's own reading is first odder than the other, in words that stand beside the
    // way that converts from it: "byte 152 (0xEC) reads "coś" here, "così" in the other reading";
    // empty where no word is.
    CString OddWordNote() const;
};

class CCharsetChoiceCheck {
public:
    // source: the charset the page was read in; other: the other charset its bytes read in (an
    // Undeclared charset where nothing tells); target: the charset it is given, strTarget its
    // name as the Content-Type value has it; nFirstOdd: the first byte the source reads as no
    // character or a control, which a refusal names with its word, -1 where none is named.
    CCharsetChoiceCheck(const CPageCharset& source, const CPageCharset& other, const CPageCharset& target,
                        const CString& strTarget, long long nFirstOdd = -1);
    CCharsetChoiceCheck(const CCharsetChoiceCheck&) = delete;
    CCharsetChoiceCheck& operator=(const CCharsetChoiceCheck&) = delete;
    ~CCharsetChoiceCheck();

    // Whether a conversion from the other charset is a way on beside the others: it is known, it
    // reads the bytes otherwise than the page's own charset, and the new declaration, keeping the
    // bytes, does not read them as it does.
    static bool OffersOther(const CPageCharset& source, const CPageCharset& other, const CPageCharset& target);

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
    // The same from the other charset, where a conversion from it is a way on.
    struct OtherWay;
    std::unique_ptr<OtherWay> m_pOther;
    // Where the other reading is UTF-8: the characters it reads, which a conversion would write
    // as what the page's own charset reads their bytes as.
    bool m_bUtf8Other;
    CUtf8Census m_census{CUtf8Census::Look::Whole};
    std::unique_ptr<COddWordFinder> m_pOddWord; // where the other charset is known, or a byte is named
    std::unique_ptr<CReadingComparer> m_pOtherReads;
    CReadingComparer m_keptReads;
    CPageChecksum m_checksum;
    std::string m_text;
    std::string m_written;
};
