#include "engine/html/CPageEncoder.h"

#include "engine/html/RawTextElements.h"
#include "engine/html/TagAttributes.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <iterator>

namespace {

// As much of a SCRIPT start tag as its kind is looked for in.
constexpr size_t kScriptTagLimit = 4096;

bool IsAsciiLetter(char32_t ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

bool IsEncoderBlank(char32_t ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\f';
}

char EncoderLowerAscii(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), EncoderLowerAscii);
    return text;
}

// Words are told apart by their length first: this runs for every word of a script.
bool OneOf(std::string_view text, std::initializer_list<std::string_view> words)
{
    return std::any_of(words.begin(), words.end(), [&](std::string_view word) { return text == word; });
}

// A word after which a "/" starts a regular expression rather than a division.
bool IsWordBeforeExpression(const std::string& word)
{
    return OneOf(word, {"return", "typeof", "instanceof", "in", "of", "new", "delete", "void", "throw", "case", "do",
                        "else", "yield", "await"});
}

// Whether a script of this kind is run as JavaScript or read as JSON, whose strings both read
// \uXXXX: the TYPE, or without one the LANGUAGE, of its start tag.
bool IsJavaScriptOrJson(std::string_view tag)
{
    size_t at = 0;
    bool bType = false, bLanguage = false;
    std::string type, language;
    for (const auto& [name, value] : ReadTagAttributes(tag, at)) {
        if (name == "type" && !bType) {
            bType = true;
            type = Lower(TrimBlanks(value));
        } else if (name == "language" && !bLanguage) {
            bLanguage = true;
            language = Lower(TrimBlanks(value));
        }
    }
    if (!bType)
        type = bLanguage && !language.empty() ? "text/" + language : std::string();
    type = TrimBlanks(type.substr(0, type.find(';')));
    if (type.empty() || type == "module")
        return true;
    if (type.rfind("text/javascript1.", 0) == 0)
        return true;
    return OneOf(type, {"text/javascript", "application/javascript", "text/ecmascript", "application/ecmascript",
                        "application/x-javascript", "application/x-ecmascript", "text/x-javascript",
                        "text/x-ecmascript", "text/jscript", "text/livescript", "application/json", "text/json",
                        "application/ld+json", "importmap", "speculationrules"});
}

// The type a refusal names a script by.
std::string TypeOf(std::string_view tag)
{
    size_t at = 0;
    for (const auto& [name, value] : ReadTagAttributes(tag, at)) {
        if (name == "type" || name == "language")
            return TrimBlanks(value);
    }
    return std::string();
}

void AppendHex(unsigned value, int nDigits, std::string& out)
{
    char szHex[16] = {};
    std::snprintf(szHex, sizeof szHex, "%0*X", nDigits, value);
    out += szHex;
}

// \uXXXX, a character beyond the first plane as its two halves; bBackslash: the first backslash
// is written too.
void AppendScriptEscape(char32_t value, bool bBackslash, std::string& out)
{
    const auto unit = [&](unsigned nUnit, bool bFirst) {
        if (!bFirst || bBackslash)
            out += '\\';
        out += 'u';
        AppendHex(nUnit, 4, out);
    };
    if (value < 0x10000) {
        unit(static_cast<unsigned>(value), true);
        return;
    }
    const unsigned nRest = static_cast<unsigned>(value) - 0x10000;
    unit(0xD800 + (nRest >> 10), true);
    unit(0xDC00 + (nRest & 0x3FF), false);
}

// \XXXX; a blank ends it when what follows it would be read as part of it: a hex digit or a
// blank (a blank there is taken as the escape's own end).
void AppendStyleEscape(char32_t value, bool bBackslash, std::string_view next, std::string& out)
{
    if (bBackslash)
        out += '\\';
    AppendHex(static_cast<unsigned>(value), 1, out);
    if (!next.empty()) {
        const char ch = next.front();
        if ((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F') || IsEncoderBlank(ch))
            out += ' ';
    }
}

// Where the last whole character of the text starts.
size_t LastCharacterStart(std::string_view text)
{
    size_t at = text.size();
    for (int nBack = 0; nBack < 4 && at > 0; ++nBack) {
        --at;
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            return at;
    }
    return text.empty() ? 0 : text.size() - 1;
}

} // namespace

CPageEncoder::CPageEncoder(const CPageCharset& charset) : m_charset(charset) {}

void CPageEncoder::Encode(std::string_view utf8, std::string& out)
{
    if (utf8.empty())
        return;
    std::string text = m_waiting;
    text.append(utf8);
    const size_t nLast = LastCharacterStart(text);
    Process(text, nLast, out);
    m_waiting = text.substr(nLast);
}

void CPageEncoder::Finish(std::string& out)
{
    const std::string text = std::move(m_waiting);
    m_waiting.clear();
    Process(text, text.size(), out);
    m_charset.FinishText(m_written, out);
}

void CPageEncoder::Process(std::string_view text, size_t nUpTo, std::string& out)
{
    if (nUpTo == 0)
        return;
    // First the page is followed through the text, so that each character it holds beyond ASCII
    // has its place; then the text is written, and a character the charset lacks is escaped as
    // its place reads it.
    struct Mark {
        size_t nAt;
        Escape escape;
        std::string element;
    };
    std::vector<Mark> marks;
    for (size_t at = 0; at < nUpTo;) {
        // Most of a page is text between tags, which only a "<" or a character beyond ASCII
        // changes anything in.
        if (m_html == Html::Data) {
            while (at < nUpTo && static_cast<unsigned char>(text[at]) < 0x80 && text[at] != '<')
                ++at;
            if (at >= nUpTo)
                break;
        }
        const size_t nAt = at;
        const char32_t ch = CPageCharset::NextCharacter(text, at);
        const Escape escape = Step(ch);
        if (ch >= 0x80) {
            const bool bRefused = escape == Escape::RefusedInCode || escape == Escape::RefusedInScript
                || escape == Escape::RefusedInRawText || escape == Escape::RefusedInCData;
            marks.push_back({nAt, escape, bRefused ? m_element : std::string()});
        }
    }
    size_t nMark = 0;
    out += m_charset.Encode(text.substr(0, nUpTo), [&](char32_t value, size_t nAt, std::string& bytes) {
        while (nMark < marks.size() && marks[nMark].nAt < nAt)
            ++nMark;
        const Mark* pMark = nMark < marks.size() && marks[nMark].nAt == nAt ? &marks[nMark] : nullptr;
        size_t nNext = nAt;
        CPageCharset::NextCharacter(text, nNext);
        const std::string_view next = text.substr(nNext);
        if (m_nEscaped++ == 0)
            m_firstEscaped = value;
        switch (pMark != nullptr ? pMark->escape : Escape::Reference) {
        case Escape::Script: AppendScriptEscape(value, true, bytes); return;
        case Escape::ScriptAfterBackslash: AppendScriptEscape(value, false, bytes); return;
        case Escape::Style: AppendStyleEscape(value, true, next, bytes); return;
        case Escape::StyleAfterBackslash: AppendStyleEscape(value, false, next, bytes); return;
        case Escape::StyleInComment: AppendStyleEscape(value, true, std::string_view(), bytes); return;
        case Escape::RefusedInCode:
        case Escape::RefusedInScript:
        case Escape::RefusedInRawText:
        case Escape::RefusedInCData: Refuse(value, pMark->escape, pMark->element); break;
        case Escape::Reference: break;
        }
        bytes += "&#" + std::to_string(static_cast<unsigned long>(value)) + ";";
    }, m_written);
}

void CPageEncoder::Refuse(char32_t ch, Escape escape, const std::string& element)
{
    if (m_refusedPlace != Place::None)
        return;
    m_refusedCharacter = ch;
    m_refusedPlace = escape == Escape::RefusedInCode     ? Place::ScriptCode
                     : escape == Escape::RefusedInScript ? Place::OtherScript
                     : escape == Escape::RefusedInCData  ? Place::CData
                                                         : Place::RawText;
    m_refusedElement = element;
}

// ---- Following the page ----

CPageEncoder::Escape CPageEncoder::Step(char32_t ch)
{
    if (m_html == Html::PlainText)
        return Escape::RefusedInRawText;
    if (m_html == Html::CData)
        return StepCData(ch);
    if (m_html == Html::RawText) {
        // "</name" and a blank, "/" or ">" ends the element, whatever its content was in.
        if (m_nRawMatched == m_rawEnd.size()) {
            if (IsEncoderBlank(ch) || ch == '/' || ch == '>') {
                m_tagName = m_rawEnd.substr(2);
                m_content = Content::Text;
                m_html = Html::EndTagOpen;
                StepHtml(static_cast<char>(ch));
                return Escape::Reference;
            }
            m_nRawMatched = 0;
        }
        if (ch < 0x80 && EncoderLowerAscii(static_cast<char>(ch)) == m_rawEnd[m_nRawMatched])
            ++m_nRawMatched;
        else
            m_nRawMatched = ch == '<' ? 1 : 0;
        switch (m_content) {
        case Content::Script: return StepScript(ch);
        case Content::Style: return StepStyle(ch);
        case Content::OtherScript: return Escape::RefusedInScript;
        case Content::RawText: return Escape::RefusedInRawText;
        case Content::Text: return Escape::Reference;
        }
    }
    if (ch < 0x80)
        StepHtml(static_cast<char>(ch));
    else if (m_html == Html::TagName)
        m_html = Html::InTag;
    return Escape::Reference;
}

void CPageEncoder::StepHtml(char ch)
{
    switch (m_html) {
    case Html::Data:
        if (ch == '<')
            m_html = Html::TagOpen;
        break;
    case Html::TagOpen:
        if (IsAsciiLetter(static_cast<unsigned char>(ch))) {
            m_html = Html::TagName;
            m_tagName.assign(1, EncoderLowerAscii(ch));
            m_tag.clear();
            m_bSelfClosing = false;
            m_bScriptTag = false;
        } else if (ch == '/') {
            m_html = Html::EndTagOpen;
            m_tagName.clear();
        } else if (ch == '!') {
            m_html = Html::Bang;
        } else if (ch == '?') {
            m_html = Html::Bogus;
        } else if (ch != '<') {
            m_html = Html::Data;
        }
        break;
    case Html::TagName:
        if (ch == '>') {
            EndStartTag();
        } else if (IsEncoderBlank(static_cast<unsigned char>(ch)) || ch == '/') {
            m_html = Html::InTag;
            m_bSelfClosing = ch == '/';
            m_bScriptTag = m_tagName == "script";
        } else {
            m_tagName += EncoderLowerAscii(ch);
        }
        break;
    case Html::InTag:
    case Html::InTagQuoted:
        if (m_html == Html::InTag && ch == '>') {
            EndStartTag();
            break;
        }
        if (m_bScriptTag && m_tag.size() < kScriptTagLimit)
            m_tag += ch;
        if (m_html == Html::InTagQuoted) {
            if (ch == m_chQuote)
                m_html = Html::InTag;
        } else if (ch == '"' || ch == '\'') {
            m_html = Html::InTagQuoted;
            m_chQuote = ch;
            m_bSelfClosing = false;
        } else if (ch == '/') {
            m_bSelfClosing = true;
        } else if (!IsEncoderBlank(static_cast<unsigned char>(ch))) {
            m_bSelfClosing = false;
        }
        break;
    case Html::EndTagOpen:
        if (IsAsciiLetter(static_cast<unsigned char>(ch))) {
            m_tagName += EncoderLowerAscii(ch);
        } else if (ch == '>') {
            EndEndTag();
        } else {
            m_html = m_tagName.empty() ? Html::Bogus : Html::InEndTag;
        }
        break;
    case Html::InEndTag:
        if (ch == '>')
            EndEndTag();
        break;
    case Html::Bang:
        // Only foreign content has CDATA sections; elsewhere "<![CDATA[" opens a bogus comment.
        if (ch == '[' && m_nForeign > 0) {
            m_html = Html::CDataOpen;
            m_nCDataMatched = 0;
            break;
        }
        m_html = ch == '-' ? Html::BangDash : ch == '>' ? Html::Data : Html::Bogus;
        break;
    case Html::CDataOpen:
        if (ch == "CDATA["[m_nCDataMatched]) {
            if (++m_nCDataMatched == 6) {
                m_html = Html::CData;
                m_nCDataMatched = 0;
            }
        } else {
            m_html = ch == '>' ? Html::Data : Html::Bogus;
        }
        break;
    case Html::BangDash:
        m_html = ch == '-' ? Html::Comment : ch == '>' ? Html::Data : Html::Bogus;
        m_nDashes = 0;
        break;
    case Html::Comment:
        if (ch == '>' && m_nDashes >= 2)
            m_html = Html::Data;
        m_nDashes = ch == '-' ? m_nDashes + 1 : 0;
        break;
    case Html::Bogus:
        if (ch == '>')
            m_html = Html::Data;
        break;
    case Html::RawText:
    case Html::PlainText:
    case Html::CData:
        break;
    }
}

void CPageEncoder::EndStartTag()
{
    m_html = Html::Data;
    const std::string& name = m_tagName;
    if (name == "svg" || name == "math") {
        if (!m_bSelfClosing) {
            ++m_nForeign;
            m_foreignOpen.push_back(name);
        }
        return;
    }
    // Inside SVG and MathML the text of these elements is read as any other, references and all,
    // but for their CDATA sections.
    if (m_nForeign > 0) {
        if (!m_bSelfClosing)
            m_foreignOpen.push_back(name);
        if (name == "script" || name == "style")
            StartScriptAndStyle();
        return;
    }
    const RawTextElement* pRaw = FindRawTextElement(name);
    if (pRaw == nullptr)
        return;
    m_element = name;
    switch (pRaw->kind) {
    case RawTextKind::Script: {
        const bool bScript = IsJavaScriptOrJson(m_tag);
        m_element = bScript ? std::string("script") : TypeOf(m_tag);
        EnterRawText(bScript ? Content::Script : Content::OtherScript);
        break;
    }
    case RawTextKind::Style: EnterRawText(Content::Style); break;
    // Their text reads references; only their end tag is looked for.
    case RawTextKind::Escapable: EnterRawText(Content::Text); break;
    case RawTextKind::Verbatim: EnterRawText(Content::RawText); break;
    case RawTextKind::PlainText: m_html = Html::PlainText; break;
    }
}

void CPageEncoder::EndEndTag()
{
    m_html = Html::Data;
    if (m_nForeign == 0)
        return;
    // An end tag closes its element and whatever is open inside it.
    const auto open = std::find(m_foreignOpen.rbegin(), m_foreignOpen.rend(), m_tagName);
    if (open != m_foreignOpen.rend())
        m_foreignOpen.erase(std::prev(open.base()), m_foreignOpen.end());
    if (m_tagName == "svg" || m_tagName == "math")
        --m_nForeign;
}

void CPageEncoder::EnterRawText(Content content)
{
    m_html = Html::RawText;
    m_content = content;
    m_rawEnd = "</" + m_tagName;
    m_nRawMatched = 0;
    StartScriptAndStyle();
}

void CPageEncoder::StartScriptAndStyle()
{
    m_js = Js::Code;
    m_bRegexNext = true;
    m_word.clear();
    m_nBraces = 0;
    m_templates.clear();
    m_css = Css::Normal;
}

CPageEncoder::Escape CPageEncoder::StepCData(char32_t ch)
{
    // "]]>" ends the section.
    if (ch == '>' && m_nCDataMatched == 2) {
        m_html = Html::Data;
        m_nCDataMatched = 0;
        return Escape::Reference;
    }
    m_nCDataMatched = ch == ']' ? std::min<size_t>(m_nCDataMatched + 1, 2) : 0;
    const std::string element = m_foreignOpen.empty() ? std::string("svg") : m_foreignOpen.back();
    if (element == "style")
        return StepStyle(ch);
    if (element == "script")
        return StepScript(ch);
    m_element = element;
    return Escape::RefusedInCData;
}

void CPageEncoder::LeaveLiteral()
{
    // After a string, a template or a regular expression, a "/" divides.
    m_js = Js::Code;
    m_bRegexNext = false;
}

CPageEncoder::Escape CPageEncoder::StepScript(char32_t ch)
{
    const bool bWide = ch >= 0x80;
    switch (m_js) {
    case Js::Slash:
        // A "/" in the code: a comment, a regular expression or a division, as what follows tells.
        if (ch == '/') {
            m_js = Js::LineComment;
            return Escape::Reference;
        }
        if (ch == '*') {
            m_js = Js::BlockComment;
            return Escape::Reference;
        }
        if (m_bRegexNext) {
            m_js = Js::Regex;
        } else {
            m_js = Js::Code;
            m_bRegexNext = true;
        }
        return StepScript(ch);
    case Js::Code:
        if (bWide) {
            // An identifier or a blank beyond ASCII: no escape stands for a blank, and a reference
            // would break the code.
            m_word.clear();
            m_bRegexNext = false;
            return Escape::RefusedInCode;
        }
        if (IsAsciiLetter(ch) || (ch >= '0' && ch <= '9') || ch == '_' || ch == '$') {
            m_word += static_cast<char>(ch);
            return Escape::Reference;
        }
        if (!m_word.empty()) {
            m_bRegexNext = IsWordBeforeExpression(m_word);
            m_word.clear();
        }
        switch (ch) {
        case '"':
        case '\'':
            m_js = Js::String;
            m_chJsQuote = static_cast<char>(ch);
            break;
        case '`': m_js = Js::Template; break;
        case '/': m_js = Js::Slash; break;
        case '{':
            ++m_nBraces;
            m_bRegexNext = true;
            break;
        case '}':
            if (!m_templates.empty() && m_templates.back() == m_nBraces) {
                m_templates.pop_back();
                m_js = Js::Template;
            } else {
                --m_nBraces;
                m_bRegexNext = true;
            }
            break;
        case ')':
        case ']': m_bRegexNext = false; break;
        case '.': m_bRegexNext = false; break;
        default:
            if (!IsEncoderBlank(ch) && ch != '\v')
                m_bRegexNext = true;
            break;
        }
        return Escape::Reference;
    case Js::String:
        if (ch == '\\')
            m_js = Js::StringEscape;
        else if (ch == static_cast<unsigned char>(m_chJsQuote) || ch == '\n' || ch == '\r')
            LeaveLiteral();
        return bWide ? Escape::Script : Escape::Reference;
    case Js::StringEscape:
        m_js = Js::String;
        return bWide ? Escape::ScriptAfterBackslash : Escape::Reference;
    case Js::Template:
        if (ch == '\\')
            m_js = Js::TemplateEscape;
        else if (ch == '`')
            LeaveLiteral();
        else if (ch == '$')
            m_js = Js::TemplateDollar;
        return bWide ? Escape::Script : Escape::Reference;
    case Js::TemplateDollar:
        if (ch == '{') {
            m_templates.push_back(m_nBraces);
            m_js = Js::Code;
            m_bRegexNext = true;
            return Escape::Reference;
        }
        m_js = Js::Template;
        return StepScript(ch);
    case Js::TemplateEscape:
        m_js = Js::Template;
        return bWide ? Escape::ScriptAfterBackslash : Escape::Reference;
    case Js::LineComment:
        if (ch == '\n' || ch == '\r')
            m_js = Js::Code;
        return bWide ? Escape::Script : Escape::Reference;
    case Js::BlockComment:
    case Js::BlockCommentStar:
        if (ch == '/' && m_js == Js::BlockCommentStar)
            m_js = Js::Code;
        else
            m_js = ch == '*' ? Js::BlockCommentStar : Js::BlockComment;
        return bWide ? Escape::Script : Escape::Reference;
    case Js::Regex:
    case Js::RegexClass:
        if (ch == '\\')
            m_js = m_js == Js::Regex ? Js::RegexEscape : Js::RegexClassEscape;
        else if (ch == '[' && m_js == Js::Regex)
            m_js = Js::RegexClass;
        else if (ch == ']' && m_js == Js::RegexClass)
            m_js = Js::Regex;
        else if ((ch == '/' && m_js == Js::Regex) || ch == '\n' || ch == '\r')
            LeaveLiteral();
        return bWide ? Escape::Script : Escape::Reference;
    case Js::RegexEscape:
    case Js::RegexClassEscape:
        m_js = m_js == Js::RegexEscape ? Js::Regex : Js::RegexClass;
        return bWide ? Escape::ScriptAfterBackslash : Escape::Reference;
    }
    return Escape::Reference;
}

CPageEncoder::Escape CPageEncoder::StepStyle(char32_t ch)
{
    const bool bWide = ch >= 0x80;
    switch (m_css) {
    case Css::Slash:
        if (ch == '*') {
            m_css = Css::Comment;
            return Escape::Reference;
        }
        m_css = Css::Normal;
        return StepStyle(ch);
    case Css::Comment:
    case Css::CommentStar:
        // An escape in a comment is only text, as the character was.
        if (ch == '/' && m_css == Css::CommentStar)
            m_css = Css::Normal;
        else
            m_css = ch == '*' ? Css::CommentStar : Css::Comment;
        return bWide ? Escape::StyleInComment : Escape::Reference;
    case Css::Backslash:
        m_css = Css::Normal;
        return bWide ? Escape::StyleAfterBackslash : Escape::Reference;
    case Css::Normal:
        if (ch == '\\')
            m_css = Css::Backslash;
        else if (ch == '/')
            m_css = Css::Slash;
        return bWide ? Escape::Style : Escape::Reference;
    }
    return Escape::Reference;
}
