// CPageEncoder: writes a page's UTF-8 text in another charset, piece by piece, each character the
// charset lacks written the way the part of the page it stands in reads it back: HTML text and
// attribute values read a numeric character reference; a script reads its own escape (\uXXXX)
// in its strings, template literals, regular expressions and comments; a style sheet reads its
// escape (\XXXX) anywhere; the same hold inside the CDATA sections of an inline SVG picture's
// or MathML formula's SCRIPT and STYLE elements, which read no references. Where nothing would
// read such a character back (a script's code outside those, a script of a kind that is no
// JavaScript, the text of <xmp> and its kin, a CDATA section of any other element), the first
// such character is kept for the caller, which must not write the page.
#pragma once

#include "engine/html/CPageCharset.h"

#include <string>
#include <string_view>
#include <vector>

class CPageEncoder {
public:
    // Where a character stands that no escape of its place would bring back.
    enum class Place {
        None,
        ScriptCode,  // a script's code, outside its strings, comments and regular expressions
        OtherScript, // a script of a kind the browser does not run as JavaScript
        RawText,     // an element whose text is shown or kept as it stands (<xmp>, <plaintext>)
        CData,       // a CDATA section of an element of SVG or MathML that is no script or style
    };

    explicit CPageEncoder(const CPageCharset& charset);

    // Appends the next piece of the page's text, in the charset, to out. A piece ends at a whole
    // character. The last character of each piece waits for the next piece, since a style
    // sheet's escape depends on what follows it.
    void Encode(std::string_view utf8, std::string& out);
    // The end of the page: what waited is written.
    void Finish(std::string& out);

    bool IsRefused() const { return m_refusedPlace != Place::None; }
    // The first character that could not be written, where it stands, and the element it stands
    // in as the page names it ("script", "xmp").
    char32_t GetRefusedCharacter() const { return m_refusedCharacter; }
    Place GetRefusedPlace() const { return m_refusedPlace; }
    const std::string& GetRefusedElement() const { return m_refusedElement; }
    // How many characters the charset lacks were written as a reference or an escape, and the
    // first of them: the page reads them back, but its bytes no longer hold them as letters.
    size_t GetEscapedCount() const { return m_nEscaped; }
    char32_t GetFirstEscaped() const { return m_firstEscaped; }

private:
    // How a character the charset lacks is written where it stands.
    enum class Escape : unsigned char {
        Reference,
        Script,               // \uXXXX
        ScriptAfterBackslash, // the same without its backslash, which the page wrote already
        Style,                // \XXXX, and a blank when what follows would be read with it
        StyleAfterBackslash,
        StyleInComment,       // \XXXX alone: a comment reads no escape
        RefusedInCode,
        RefusedInScript,
        RefusedInRawText,
        RefusedInCData,
    };
    enum class Html : unsigned char {
        Data, TagOpen, TagName, InTag, InTagQuoted, EndTagOpen, InEndTag, Bang, BangDash, Comment, Bogus, RawText,
        PlainText, CDataOpen, CData,
    };
    // What the text of a raw-text element is.
    enum class Content : unsigned char { Text, Script, OtherScript, Style, RawText };
    enum class Js : unsigned char {
        Code, Slash, String, StringEscape, Template, TemplateEscape, TemplateDollar, LineComment, BlockComment,
        BlockCommentStar, Regex, RegexEscape, RegexClass, RegexClassEscape,
    };
    enum class Css : unsigned char { Normal, Slash, Comment, CommentStar, Backslash };

    // Writes text[0, nUpTo); what follows, if anything, is only looked at.
    void Process(std::string_view text, size_t nUpTo, std::string& out);
    // Follows the page through one character; returns how a character the charset lacks is
    // written where it stands.
    Escape Step(char32_t ch);
    void StepHtml(char ch);
    Escape StepScript(char32_t ch);
    void LeaveLiteral();
    Escape StepStyle(char32_t ch);
    // The start tag whose name and attributes were read has ended; an end tag has.
    void EndStartTag();
    void EndEndTag();
    void EnterRawText(Content content);
    // A script or a style sheet begins: its reading starts afresh.
    void StartScriptAndStyle();
    // Follows a CDATA section of foreign content, as the element it stands in reads it.
    Escape StepCData(char32_t ch);
    void Refuse(char32_t ch, Escape escape, const std::string& element);

    CPageCharset m_charset;
    std::string m_waiting; // the last character of the last piece
    CPageCodec::WriteState m_written; // the charset's mode at the end of the last piece

    Html m_html = Html::Data;
    char m_chQuote = 0;
    std::string m_tagName;   // the tag being read, lower-cased
    std::string m_tag;       // what a SCRIPT start tag holds after its name, for its kind
    bool m_bSelfClosing = false;
    bool m_bScriptTag = false; // the start tag being read is a SCRIPT's
    int m_nForeign = 0;      // inside SVG or MathML, where a STYLE or SCRIPT element reads references
    std::vector<std::string> m_foreignOpen; // the elements open there, the innermost last
    size_t m_nCDataMatched = 0; // of "[CDATA[" after "<!", or of the "]]" that ends the section
    int m_nDashes = 0;       // the dashes just seen in a comment
    Content m_content = Content::Text;
    std::string m_rawEnd;    // "</name" that ends the raw text
    size_t m_nRawMatched = 0;
    std::string m_element;   // the raw-text element, as a refusal names it

    Js m_js = Js::Code;
    char m_chJsQuote = 0;
    bool m_bRegexNext = true; // a "/" in the code starts a regular expression
    std::string m_word;      // the word the code is in
    int m_nBraces = 0;
    std::vector<int> m_templates; // the brace depths at which a template literal goes on
    Css m_css = Css::Normal;

    char32_t m_refusedCharacter = 0;
    Place m_refusedPlace = Place::None;
    std::string m_refusedElement;
    size_t m_nEscaped = 0;
    char32_t m_firstEscaped = 0;
};
