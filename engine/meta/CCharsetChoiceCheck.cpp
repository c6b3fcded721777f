#include "engine/meta/CCharsetChoiceCheck.h"

#include "engine/meta/CMetaContent.h"
#include "platform/core/CodePage.h"

bool CharsetChoices::IsTakenOn(const CharsetWay& way) const
{
    // Bytes kept read as the new declaration reads them, whatever they were read in before.
    return way.nChecksum == nChecksum
        && (way.choice == CharsetChoice::KeepBytes || way.strSource == strSource
            || (!strOther.IsEmpty() && way.strSource == strOther));
}

bool CharsetChoices::CanCarryOut(const CharsetWay& way) const
{
    if (!IsTakenOn(way))
        return false;
    switch (way.choice) {
    case CharsetChoice::KeepBytes: return OffersKeep();
    case CharsetChoice::Convert: return way.strSource == strSource ? CanConvert() : CanConvertOther();
    case CharsetChoice::None: break;
    }
    return false;
}

std::vector<CString> CharsetChoices::WaysOn() const
{
    std::vector<CString> ways;
    CString strWay;
    if (CanConvert()) {
        strWay.Format("converted from %s", strSource.GetString());
        ways.push_back(strWay);
    }
    if (CanConvertOther()) {
        strWay.Format("converted from %s", strOther.GetString());
        ways.push_back(strWay);
    }
    if (OffersKeep()) {
        strWay.Format("its bytes kept, declared %s", strTarget.GetString());
        ways.push_back(strWay);
    }
    return ways;
}

std::vector<CString> CharsetChoices::WaysBarred() const
{
    std::vector<CString> barred;
    CString strWay;
    if (!CanConvert()) {
        strWay.Format("it cannot be converted from %s, for %s", strSource.GetString(), strWhyNotConvert.GetString());
        barred.push_back(strWay);
    }
    if (!strOther.IsEmpty() && !CanConvertOther()) {
        strWay.Format("it cannot be converted from %s, for %s", strOther.GetString(), strWhyNotConvertOther.GetString());
        barred.push_back(strWay);
    }
    if (second == Second::Keep && !CanKeep()) {
        strWay.Format("its bytes cannot be kept, declared %s, for %s", strTarget.GetString(), strWhyNotKeep.GetString());
        barred.push_back(strWay);
    }
    return barred;
}

std::vector<CString> CharsetChoices::WayChanges() const
{
    std::vector<CString> changes;
    CString strChange;
    if (CanConvertOther() && otherReads.nCount > 0) {
        strChange.Format("converted from %s, %s", strOther.GetString(), otherReads.Describe().c_str());
        changes.push_back(strChange);
    }
    if (OffersKeep() && keptReads.nCount > 0) {
        strChange.Format("its bytes kept, declared %s, %s", strTarget.GetString(), keptReads.Describe().c_str());
        changes.push_back(strChange);
    }
    return changes;
}

CString CharsetChoices::WayChange() const
{
    const ReadingChange& change = second == Second::ConvertOther ? otherReads : keptReads;
    return change.nCount == 0 ? CString() : CString((change.Describe() + ".").c_str());
}

CString CharsetChoices::OddWordNote() const
{
    CString strNote;
    if (oddWord.nAt >= 0)
        strNote.Format("Byte %lld (0x%02X) reads \"%s\" here, \"%s\" in the other reading.", oddWord.nAt,
                       static_cast<unsigned>(oddWord.by), oddWord.own.c_str(), oddWord.rival.c_str());
    return strNote;
}

// A conversion from the other charset: its reading of the bytes, and the new charset writing it.
struct CCharsetChoiceCheck::OtherWay {
    CPageCharset charset;
    CPageDecoder decoder;
    CPageEncoder encoder;
    std::string text, written;
    explicit OtherWay(const CPageCharset& other, const CPageCharset& target)
        : charset(other), decoder(other), encoder(target)
    {
    }
    void Add(const char* pBytes, size_t nLength)
    {
        if (!decoder.IsReadWhole() || encoder.IsRefused())
            return;
        text.clear();
        decoder.Decode(pBytes, nLength, text);
        written.clear();
        encoder.Encode(text, written);
    }
    void Finish()
    {
        text.clear();
        decoder.Finish(text);
        written.clear();
        encoder.Encode(text, written);
        encoder.Finish(written);
    }
};

bool CCharsetChoiceCheck::OffersOther(const CPageCharset& source, const CPageCharset& other, const CPageCharset& target)
{
    return other.GetKind() != CPageCharset::Kind::Undeclared && !other.WritesAs(source) && !other.WritesAs(target);
}

CCharsetChoiceCheck::CCharsetChoiceCheck(const CPageCharset& source, const CPageCharset& other, const CPageCharset& target,
                                         const CString& strTarget, long long nFirstOdd)
    : m_source(source), m_target(target), m_strTarget(strTarget), m_kept(target), m_converted(source), m_encoder(target),
      m_bUtf8Other(other.GetKind() == CPageCharset::Kind::Utf8 && source.GetKind() != CPageCharset::Kind::Utf8),
      m_keptReads(source, target)
{
    if (OffersOther(source, other, target)) {
        m_pOther = std::make_unique<OtherWay>(other, target);
        m_pOtherReads = std::make_unique<CReadingComparer>(source, other);
    }
    if (other.GetKind() != CPageCharset::Kind::Undeclared && !other.WritesAs(source))
        m_pOddWord = std::make_unique<COddWordFinder>(source, other, nFirstOdd);
    else if (nFirstOdd >= 0)
        m_pOddWord = std::make_unique<COddWordFinder>(source, source, nFirstOdd);
}

CCharsetChoiceCheck::~CCharsetChoiceCheck() = default;

void CCharsetChoiceCheck::Add(const char* pBytes, size_t nLength)
{
    m_checksum.Add(pBytes, nLength);
    if (m_bUtf8Other)
        m_census.Add(pBytes, nLength);
    // Once a way is known to lose a character, the rest of the page tells no more of it.
    if (m_kept.IsReadWhole()) {
        m_text.clear();
        m_kept.Decode(pBytes, nLength, m_text);
    }
    if (m_pOther != nullptr)
        m_pOther->Add(pBytes, nLength);
    if (m_pOddWord != nullptr)
        m_pOddWord->Add(std::string_view(pBytes, nLength));
    // How the ways read otherwise is told of those that read every byte.
    if (m_pOtherReads != nullptr && m_pOther->decoder.IsReadWhole())
        m_pOtherReads->Add(std::string_view(pBytes, nLength));
    if (m_kept.IsReadWhole())
        m_keptReads.Add(std::string_view(pBytes, nLength));
    if (!m_converted.IsReadWhole() || m_encoder.IsRefused())
        return;
    m_text.clear();
    m_converted.Decode(pBytes, nLength, m_text);
    m_written.clear();
    m_encoder.Encode(m_text, m_written);
}

void CCharsetChoiceCheck::Finish()
{
    m_census.Finish();
    m_text.clear();
    m_kept.Finish(m_text);
    m_text.clear();
    m_converted.Finish(m_text);
    m_written.clear();
    m_encoder.Encode(m_text, m_written);
    m_encoder.Finish(m_written);
    if (m_pOther != nullptr)
        m_pOther->Finish();
    if (m_pOddWord != nullptr)
        m_pOddWord->Finish();
}

CharsetChoices CCharsetChoiceCheck::GetChoices() const
{
    CharsetChoices choices;
    choices.strSource = m_source.GetName().c_str();
    choices.strTarget = m_strTarget;
    choices.nChecksum = m_checksum.Get();
    if (m_pOddWord != nullptr) {
        choices.oddWord = m_pOddWord->GetOddWord();
        choices.firstOddWord = m_pOddWord->GetWordAt();
    }
    choices.keptReads = m_keptReads.GetChange();
    if (m_pOtherReads != nullptr)
        choices.otherReads = m_pOtherReads->GetChange();
    if (!m_kept.IsReadWhole())
        choices.strWhyNotKeep = UnreadWords(m_target, m_kept);
    if (!m_converted.IsReadWhole())
        choices.strWhyNotConvert = UnreadWords(m_source, m_converted);
    else if (m_encoder.IsRefused())
        choices.strWhyNotConvert = RefusedWords(m_strTarget, m_encoder);
    else if (m_bUtf8Other && m_census.HasInvalid() && m_census.HasMultibyte())
        choices.strWhyNotConvert = TwiceEncodedWords(m_source, m_census.GetCharacters().front());
    if (m_pOther != nullptr) {
        choices.strOther = m_pOther->charset.GetName().c_str();
        if (!m_pOther->decoder.IsReadWhole())
            choices.strWhyNotConvertOther = UnreadWords(m_pOther->charset, m_pOther->decoder);
        else if (m_pOther->encoder.IsRefused())
            choices.strWhyNotConvertOther = RefusedWords(m_strTarget, m_pOther->encoder);
    }
    return choices;
}

CString CCharsetChoiceCheck::UnreadWords(const CPageCharset& charset, const CPageDecoder& decoder)
{
    CString strWords;
    strWords.Format("%s does not read byte %lld (0x%02X)", charset.GetName().c_str(), decoder.GetFirstUnread(),
                    static_cast<unsigned>(decoder.GetFirstUnreadByte()));
    return strWords;
}

CString CCharsetChoiceCheck::RefusedWords(const CString& strTarget, const CPageEncoder& encoder)
{
    std::string character;
    Utf8Encode(encoder.GetRefusedCharacter(), character);
    CString strWhere;
    switch (encoder.GetRefusedPlace()) {
    case CPageEncoder::Place::ScriptCode: strWhere = "in a script's code"; break;
    case CPageEncoder::Place::OtherScript:
        strWhere.Format("in a script of type \"%s\"", encoder.GetRefusedElement().c_str());
        break;
    case CPageEncoder::Place::CData:
        strWhere.Format("in a CDATA section of its <%s> element", encoder.GetRefusedElement().c_str());
        break;
    default: strWhere.Format("in its <%s> element", encoder.GetRefusedElement().c_str()); break;
    }
    CString strWords;
    strWords.Format("%s has no character \"%s\" (U+%04X), which stands %s, where neither a character reference nor "
                    "an escape would be read",
                    strTarget.GetString(), character.c_str(), static_cast<unsigned>(encoder.GetRefusedCharacter()),
                    strWhere.GetString());
    return strWords;
}

CString CCharsetChoiceCheck::TwiceEncodedWords(const CPageCharset& source, char32_t character)
{
    std::string utf8;
    Utf8Encode(character, utf8);
    const std::string read = source.Decode(utf8);
    CString strWords;
    strWords.Format("%s reads the bytes of its UTF-8 characters as other letters, \"%s\" as \"%s\"",
                    source.GetName().c_str(), utf8.c_str(), read.c_str());
    return strWords;
}
