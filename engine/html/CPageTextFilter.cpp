#include "engine/html/CPageTextFilter.h"

#include <cstring>

namespace {

constexpr char kEscape = 0x1B;

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f';
}

bool IsAsciiLetter(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

char Lower(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

} // namespace

void CPageTextFilter::Add(const char* pBytes, size_t nLength, std::string& out)
{
    for (size_t i = 0; i < nLength;) {
        // Most of a page's text runs between tags: it is taken in one go.
        if (m_state == State::Text && !m_bShifted && !m_bEscape) {
            size_t nEnd = i;
            while (nEnd < nLength && pBytes[nEnd] != '<' && pBytes[nEnd] != kEscape)
                ++nEnd;
            out.append(pBytes + i, nEnd - i);
            i = nEnd;
            if (i == nLength)
                break;
        }
        Step(pBytes[i++], out);
    }
}

void CPageTextFilter::Step(char ch, std::string& out)
{
    const bool bTakesText = m_state == State::Text || m_state == State::Quoted || m_state == State::Unquoted;
    // The escapes of the 7-bit Japanese charset shift its text in and out of two-byte letters,
    // whose bytes may be those of "<" and ">": they go with the text they stand in.
    if (m_bEscape) {
        m_bEscape = false;
        if (ch == '$')
            m_bShifted = true;
        else if (ch == '(')
            m_bShifted = false;
        if (bTakesText)
            out += ch;
        return;
    }
    if (ch == kEscape) {
        m_bEscape = true;
        if (bTakesText)
            out += ch;
        return;
    }
    if (m_bShifted) {
        if (bTakesText)
            out += ch;
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
        m_bEndTag = false;
        if (ch == '!') {
            m_nDashes = 0;
            m_state = State::Declaration;
        } else if (ch == '/') {
            m_bEndTag = true;
            m_state = State::TagName;
        } else if (IsAsciiLetter(ch)) {
            m_name += Lower(ch);
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
            m_state = State::Comment;
        } else if (ch == '>') {
            EndTag(out);
        } else if (ch != '-') {
            m_state = State::Bogus;
        }
        return;
    case State::Comment:
        if (ch == '>' && m_nDashes >= 2)
            m_state = State::Text;
        m_nDashes = ch == '-' ? m_nDashes + 1 : 0;
        return;
    case State::Bogus:
        if (ch == '>')
            EndTag(out);
        return;
    case State::TagName:
        if (ch == '>')
            EndTag(out);
        else if (IsBlank(ch) || ch == '/')
            m_state = m_bEndTag ? State::Bogus : State::InTag;
        else if (m_name.size() < 8)
            m_name += Lower(ch);
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
    case State::RawText:
        if (Lower(ch) == m_pszRawEnd[m_nRawMatched]) {
            if (m_pszRawEnd[++m_nRawMatched] == '\0') {
                m_bEndTag = true;
                m_state = State::Bogus;
            }
        } else {
            m_nRawMatched = ch == '<' ? 1 : 0;
        }
        return;
    }
}

void CPageTextFilter::EndTag(std::string& out)
{
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
    m_nRawMatched = 0;
    m_state = State::RawText;
}
