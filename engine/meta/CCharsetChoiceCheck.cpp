#include "engine/meta/CCharsetChoiceCheck.h"

#include "platform/core/CodePage.h"

CCharsetChoiceCheck::CCharsetChoiceCheck(const CPageCharset& source, const CPageCharset& target, const CString& strTarget)
    : m_source(source), m_target(target), m_strTarget(strTarget), m_kept(target), m_converted(source), m_encoder(target)
{
}

void CCharsetChoiceCheck::Add(const char* pBytes, size_t nLength)
{
    // Once a way is known to lose a character, the rest of the page tells no more of it.
    if (m_kept.IsReadWhole()) {
        m_text.clear();
        m_kept.Decode(pBytes, nLength, m_text);
    }
    if (!m_converted.IsReadWhole() || m_encoder.IsRefused())
        return;
    m_text.clear();
    m_converted.Decode(pBytes, nLength, m_text);
    m_written.clear();
    m_encoder.Encode(m_text, m_written);
}

void CCharsetChoiceCheck::Finish()
{
    m_text.clear();
    m_kept.Finish(m_text);
    m_text.clear();
    m_converted.Finish(m_text);
    m_written.clear();
    m_encoder.Encode(m_text, m_written);
    m_encoder.Finish(m_written);
}

CharsetChoices CCharsetChoiceCheck::GetChoices() const
{
    CharsetChoices choices;
    choices.strSource = m_source.GetName().c_str();
    choices.strTarget = m_strTarget;
    if (!m_kept.IsReadWhole())
        choices.strWhyNotKeep = UnreadWords(m_target, m_kept);
    if (!m_converted.IsReadWhole())
        choices.strWhyNotConvert = UnreadWords(m_source, m_converted);
    else if (m_encoder.IsRefused())
        choices.strWhyNotConvert = RefusedWords(m_strTarget, m_encoder);
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
