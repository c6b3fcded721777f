#include "engine/html/CPageTextFilter.h"

#include "engine/html/CPageCharset.h"

#include <algorithm>

namespace {

constexpr char kFilterEscape = 0x1B;
// A META tag longer than this declares nothing that is read.
constexpr size_t kTagKept = 4096;

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f';
}

bool IsFilterLetter(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

char FilterLower(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

// The bytes from i on up to the first escape or either stop, or the end.
size_t RunTo(const char* pBytes, size_t i, size_t nLength, char chStop, char chOtherStop)
{
    while (i < nLength && pBytes[i] != chStop && pBytes[i] != chOtherStop && pBytes[i] != kFilterEscape)
        ++i;
    return i;
}

} // namespace

bool CJisShift::Step(char ch)
{
    if (bEscape) {
        bEscape = false;
        if (ch == '$')
            bShifted = true;
        else if (ch == '(')
            bShifted = false;
        return true;
    }
    if (ch == kFilterEscape) {
        bEscape = true;
        return true;
    }
    return bShifted;
}

void CPageTextFilter::Add(const char* pBytes, size_t nLength, std::string& out)
{
    for (size_t i = 0; i < nLength;) {
        // Most of a page's text runs between tags, in comments or in scripts: it is taken in one go.
        if (!m_shift.bShifted && !m_shift.bEscape) {
            const bool bComment = m_state == State::Comment && m_nDashes == 0;
            const bool bCData = m_state == State::CData && m_nDashes == 0;
            if (m_state == State::Text || bComment || bCData || (m_state == State::RawText && m_rawHeld.empty())) {
                const size_t nEnd = bComment ? RunTo(pBytes, i, nLength, '-', '>')
                    : bCData                 ? RunTo(pBytes, i, nLength, ']', ']')
                                             : RunTo(pBytes, i, nLength, '<', '<');
                Emit(pBytes + i, nEnd - i, out);
                i = nEnd;
                if (i == nLength)
                    break;
            }
        }
        Step(pBytes[i++], out);
    }
}

void CPageTextFilter::KeepTagByte(char ch)
{
    if (m_tag.empty())
        return;
    if (m_tag.size() >= kTagKept)
        m_tag.clear();
    else
        m_tag += ch;
}

void CPageTextFilter::Step(char ch, std::string& out)
{
    const bool bTakesText = m_state == State::Text || m_state == State::Quoted || m_state == State::Unquoted
        || m_state == State::Comment || m_state == State::RawText || m_state == State::CData;
    // The escapes of the 7-bit Japanese charset shift its text in and out of two-byte letters,
    // whose bytes may be those of "<" and ">": they go with the text they stand in.
    if (m_shift.Step(ch)) {
        if (m_state == State::RawText && !m_rawHeld.empty()) {
            Emit(m_rawHeld.data(), m_rawHeld.size(), out);
            m_rawHeld.clear();
        }
        if (bTakesText)
            Emit(&ch, 1, out);
        return;
    }
    switch (m_state) {
    case State::Text:
        if (ch == '<')
            m_state = State::TagOpen;
        else
            out += ch;
        return;
    case State::TagOpen:
        m_name.clear();
        m_tag.clear();
        m_bEndTag = false;
        if (ch == '!') {
            m_nDashes = 0;
            m_state = State::Declaration;
        } else if (ch == '/') {
            m_bEndTag = true;
            m_state = State::TagName;
        } else if (IsFilterLetter(ch)) {
            m_name += FilterLower(ch);
            m_tag = std::string("<") + ch;
            m_state = State::TagName;
        } else if (ch == '?') {
            m_state = State::Bogus;
        } else {
            // A "<" that opens no tag is text.
            out += '<';
            m_state = State::Text;
            Step(ch, out);
        }
        return;
    case State::Declaration:
        if (ch == '-' && ++m_nDashes == 2) {
            m_nDashes = 0;
            // A comment is a piece of text of its own.
            out += ' ';
            m_state = State::Comment;
        } else if (ch == '>') {
            EndTag(out);
        } else if (ch == '[' && m_nDashes == 0) {
            m_state = State::CDataOpen;
        } else if (ch != '-') {
            m_state = State::Bogus;
        }
        return;
    case State::CDataOpen:
        // A CDATA section outside scripts (an SVG's text, an XHTML page's) is text the reader sees.
        if (FilterLower(ch) == "cdata["[m_nDashes]) {
            if (++m_nDashes == 6) {
                m_nDashes = 0;
                out += ' ';
                m_state = State::CData;
            }
        } else {
            m_nDashes = 0;
            if (ch == '>')
                EndTag(out);
            else
                m_state = State::Bogus;
        }
        return;
    case State::CData:
        // Its closing brackets are held until it is known whether they close it.
        if (ch == ']') {
            ++m_nDashes;
        } else if (ch == '>' && m_nDashes >= 2) {
            m_nDashes = 0;
            out += ' ';
            m_state = State::Text;
        } else {
            out.append(static_cast<size_t>(m_nDashes), ']');
            m_nDashes = 0;
            out += ch;
        }
        return;
    case State::Comment:
        // Its closing dashes are held until it is known whether they close it.
        if (ch == '-') {
            ++m_nDashes;
        } else if (ch == '>' && m_nDashes >= 2) {
            m_nDashes = 0;
            EndRaw(out);
            m_state = State::Text;
        } else {
            const std::string dashes(static_cast<size_t>(m_nDashes), '-');
            Emit(dashes.data(), dashes.size(), out);
            m_nDashes = 0;
            Emit(&ch, 1, out);
        }
        return;
    case State::Bogus:
        if (ch == '>')
            EndTag(out);
        return;
    case State::RawText: StepRawText(ch, out); return;
    default: break;
    }
    KeepTagByte(ch);
    switch (m_state) {
    case State::TagName:
        if (ch == '>') {
            EndTag(out);
            return;
        }
        if (IsBlank(ch) || ch == '/')
            m_state = m_bEndTag ? State::Bogus : State::InTag;
        else if (m_name.size() < 8)
            m_name += FilterLower(ch);
        if (m_state != State::TagName && m_name != "meta")
            m_tag.clear();
        return;
    case State::InTag:
        if (ch == '>')
            EndTag(out);
        else if (!IsBlank(ch) && ch != '/')
            m_state = State::AttrName;
        return;
    case State::AttrName:
        if (ch == '>')
            EndTag(out);
        else if (ch == '=')
            m_state = State::BeforeValue;
        else if (IsBlank(ch))
            m_state = State::AfterName;
        else if (ch == '/')
            m_state = State::InTag;
        return;
    case State::AfterName:
        if (ch == '>')
            EndTag(out);
        else if (ch == '=')
            m_state = State::BeforeValue;
        else if (!IsBlank(ch))
            m_state = ch == '/' ? State::InTag : State::AttrName;
        return;
    case State::BeforeValue:
        if (ch == '>') {
            EndTag(out);
        } else if (ch == '"' || ch == '\'') {
            m_quote = ch;
            m_state = State::Quoted;
        } else if (!IsBlank(ch)) {
            out += ch;
            m_state = State::Unquoted;
        }
        return;
    case State::Quoted:
        if (ch == m_quote) {
            // A value is a piece of text of its own.
            out += ' ';
            m_state = State::InTag;
        } else {
            out += ch;
        }
        return;
    case State::Unquoted:
        if (ch == '>') {
            EndTag(out);
        } else if (IsBlank(ch)) {
            out += ' ';
            m_state = State::InTag;
        } else {
            out += ch;
        }
        return;
    default: return;
    }
}

void CPageTextFilter::StepRawText(char ch, std::string& out)
{
    // The end tag sought is held as it comes; what turns out no end tag is text after all.
    if (FilterLower(ch) == m_pszRawEnd[m_rawHeld.size()]) {
        m_rawHeld += ch;
        if (m_pszRawEnd[m_rawHeld.size()] == '\0') {
            m_rawHeld.clear();
            EndRaw(out);
            m_bEndTag = true;
            m_state = State::Bogus;
        }
        return;
    }
    Emit(m_rawHeld.data(), m_rawHeld.size(), out);
    m_rawHeld.clear();
    if (ch == '<')
        m_rawHeld += ch;
    else
        Emit(&ch, 1, out);
}

void CPageTextFilter::Emit(const char* pBytes, size_t nLength, std::string& out)
{
    if (m_state == State::Comment || m_state == State::RawText)
        m_rawWords.Add(std::string_view(pBytes, nLength), out);
    else
        out.append(pBytes, nLength);
}

void CPageTextFilter::EndRaw(std::string& out)
{
    m_rawWords.Finish(out);
    out += ' ';
}

void CPageTextFilter::EndTag(std::string& out)
{
    if (!m_tag.empty()) {
        if (m_declared.empty())
            m_declared = CPageCharset::FindDeclaredName(reinterpret_cast<const BYTE*>(m_tag.data()),
                                                        static_cast<UINT>(m_tag.size()));
        m_tag.clear();
    }
    // Tags part words: the cells of a table stand apart.
    out += ' ';
    m_state = State::Text;
    if (m_bEndTag)
        return;
    if (m_name == "style")
        m_pszRawEnd = "</style";
    else if (m_name == "script")
        m_pszRawEnd = "</script";
    else
        return;
    m_rawHeld.clear();
    m_state = State::RawText;
}

namespace {

// A word of ASCII alone longer than this (a script's line) is given out as it is.
constexpr size_t kWordHeld = 1024;

bool IsWordBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f';
}

// A byte that makes its word one the readings may differ in.
bool MakesWordRead(unsigned char ch)
{
    return ch >= 0x80 || ch < 0x20 || ch == 0x7F;
}

} // namespace

void CWordsBeyondAscii::Add(std::string_view text, std::string& out)
{
    for (size_t at = 0; at < text.size();) {
        const char ch = text[at];
        if (!m_shift.Step(ch) && IsWordBlank(ch)) {
            EndWord(out);
            ++at;
            continue;
        }
        // The rest of the word, up to a blank or an escape, goes out or is held in one piece.
        size_t nEnd = at + 1;
        if (!m_shift.bEscape && !m_shift.bShifted) {
            while (nEnd < text.size() && !IsWordBlank(text[nEnd]) && text[nEnd] != kFilterEscape)
                ++nEnd;
        }
        const std::string_view run = text.substr(at, nEnd - at);
        at = nEnd;
        if (m_bKept) {
            out.append(run);
            continue;
        }
        m_word.append(run);
        const auto makesRead = [](char byte) { return MakesWordRead(static_cast<unsigned char>(byte)); };
        if (m_shift.bShifted || std::any_of(run.begin(), run.end(), makesRead) || m_word.size() >= kWordHeld) {
            if (m_chNumber != 0) {
                if (!m_bBlankOut)
                    out += ' ';
                out += m_chNumber;
                out += ' ';
            }
            m_chNumber = 0;
            out += m_word;
            m_word.clear();
            m_bKept = true;
            m_bBlankOut = false;
        }
    }
}

void CWordsBeyondAscii::EndWord(std::string& out)
{
    if (!m_bKept && !m_word.empty())
        m_chNumber = m_word.back() >= '0' && m_word.back() <= '9' ? m_word.back() : 0;
    m_word.clear();
    m_bKept = false;
    if (!m_bBlankOut)
        out += ' ';
    m_bBlankOut = true;
}

void CWordsBeyondAscii::Finish(std::string& out)
{
    EndWord(out);
}
