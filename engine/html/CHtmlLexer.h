// CHtmlLexer: the event-driven HTML scanner. It splits the bytes of an input file into tokens
// by rules that depend on the current start condition and raises one virtual event per token;
// the parser and the META rewriting engine are subclasses that give the events their meaning.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <cstddef>
#include <exception>
#include <memory>
#include <string>

class CFile;

class CHtmlLexer : public CObject {
    DECLARE_DYNAMIC(CHtmlLexer)
public:
    // The start conditions. The numbers are part of the interface: BeginState takes one and
    // GetPendingState returns one.
    enum StartCondition : int {
        condText = 0,          // text (initial)
        condStartTag = 1,      // inside a start tag
        condAttrValue = 2,     // an attribute value is expected after "="
        condDeclaration = 3,   // "<!" followed by a letter
        condProcessing = 4,    // "<?"
        condComment = 5,       // "<!--"
        condDoubleQuoted = 6,  // a double-quoted attribute value
        condSingleQuoted = 7,  // a single-quoted attribute value
        condPlainText = 8,     // the content of a PLAINTEXT element
        condScript = 9,        // the content of a SCRIPT element
        condSkipRest = 10,     // the rest of the input is one markup token
        condRawText = 11,      // the text of STYLE, TEXTAREA, XMP, IFRAME, NOEMBED, NOFRAMES
    };

    // The longest token the lexer holds: a token is held whole, and its length travels as an
    // int, so the buffer never grows past what an int can count. A longer one fails the lexer.
    static constexpr size_t kMaxTokenSize = 0x7FFFFFF0u;
    // A run of text, blanks, a comment's, a script's or a value's characters is raised in
    // tokens of at most this many bytes, one after the other in the same condition: what a page
    // holds, however long, is lexed in a buffer of a few megabytes.
    static constexpr size_t kLongestRun = 1u << 20;
    // How far ahead the lexer looks for what closes a token it has begun (a quoted value's
    // quote, an end tag's ">"). What closes further on is taken as not closing there.
    static constexpr size_t kLongestLookAhead = 16u << 20;

    // Neither file is owned. The output file is only kept for subclasses; the lexer never
    // writes to it. pInput may be null (ReadInput then reports the end of the input at once).
    CHtmlLexer(CFile* pInput, CFile* pOutput);
    ~CHtmlLexer() override;
    CHtmlLexer(const CHtmlLexer&) = delete;
    CHtmlLexer& operator=(const CHtmlLexer&) = delete;

    // Scans the whole input, raising the events below, and returns 0 at its end in any
    // condition. Scanner failures go to OnFatalError, whose default throws CFileException;
    // events already raised stay raised. One lexer object lexes one input once.
    int Lex();

    // Events. Text arguments point into the scanner's buffer and are valid only during the call;
    // they are not NUL-terminated at nLength, and may hold any byte, NUL included.
    virtual void OnStartTag(LPCSTR pszName, int nLength);
    virtual void OnAttrName(LPCSTR pszName, int nLength);
    virtual void OnAttrNoValue(LPCSTR pszName, int nLength);
    // An unquoted value made only of name characters.
    virtual void OnAttrTokenValue(LPCSTR pszValue, int nLength);
    // Any other attribute value (unquoted with other characters, or quoted, through
    // FlushValueText).
    virtual void OnAttrValue(LPCSTR pszValue, int nLength);
    virtual void OnTagEnd();
    virtual void OnEndTag(LPCSTR pszName, int nLength);
    // The quoted value being collected.
    virtual void ClearValueText();
    virtual void AppendValueText(LPCSTR pszText, int nLength);
    virtual void FlushValueText();
    virtual void OnText(LPCSTR pszText, int nLength);
    virtual void OnWhitespace(LPCSTR pszText, int nLength);
    // Comments, declarations, processing instructions, blanks inside tags, and the rest of the
    // input in condSkipRest.
    virtual void OnMarkup(LPCSTR pszText, int nLength);
    // Characters that fit no token of the condition.
    virtual void OnStray(LPCSTR pszText, int nLength);
    virtual void OnScriptStart();
    virtual void OnScriptEnd();
    virtual void OnScriptText(LPCSTR pszText, int nLength);

    // Makes the condition entered when the current start tag closes condSkipRest.
    virtual void SkipRestAfterTag();
    // Makes a condition current; a number outside 0 to 11 makes condText current.
    virtual void BeginState(int nState);
    // Sets the pending condition from the upper-cased name of a start tag: PLAINTEXT gives
    // condPlainText, SCRIPT gives condScript (and calls OnScriptStart at once), an element
    // whose text browsers read as text, tags and comments included, condRawText up to its own
    // end tag (its text goes to OnText), any other name condText.
    virtual void CheckSpecialTag(LPCSTR pszName, int nLength);
    virtual int GetPendingState();
    // Upper-cases ASCII letters in place; other bytes stay.
    virtual void MakeUpper(LPSTR pszText, int nLength);
    // Reads from the input file: the count, 0 at its end, -1 when the file's Read raised; the
    // first such exception is kept for OnFatalError.
    virtual int ReadInput(LPSTR pBuffer, int nMax);
    // The characters of PLAINTEXT content, one at a time.
    virtual void OnUnmatched(LPCSTR pszText, int nLength);
    // Raises the exception that ReadInput kept, or else throws CFileException (generic, OS
    // error -1). An override that returns makes Lex stop as at the end of the input.
    virtual void OnFatalError(LPCSTR pszMessage);

    // The condition in force now.
    int GetCurrentState() const { return m_nState; }

protected:
    // The whole current token as the scanner matched it (for OnAttrName that is the name, the
    // blanks and the "="); valid during an event only. Subclasses that copy a page use it.
    LPCSTR GetTokenText() const;
    int GetTokenLength() const { return static_cast<int>(m_nTokenLength); }
    // Where the current token starts in the input, in bytes from the input's start; valid during
    // an event only.
    ULONGLONG GetTokenOffset() const { return m_nDropped + m_nTokenStart; }

    // The quoted attribute value being collected; its room is kept from value to value.
    std::string m_strValueText;
    int m_nPendingState = condText;
    CFile* m_pInputFile;        // not owned
    CFile* m_pOutputFile;       // not owned; for subclasses

private:
    struct Match;

    // Ensures nOffset bytes after the token start are in the buffer; false at the end of input.
    bool Have(size_t nOffset);
    // The byte at nOffset after the token start, or -1 past the end of the input. Inline: every
    // rule looks at bytes through it, and only the end of the buffer needs a refill.
    int PeekAt(size_t nOffset)
    {
        if (m_nTokenStart + nOffset < m_nEnd)
            return static_cast<unsigned char>(m_pBuffer[m_nTokenStart + nOffset]);
        return PeekSlow(nOffset);
    }
    int PeekSlow(size_t nOffset);
    // The offset from the token start of the first byte at or after nFrom whose class has none
    // of the bits in wStop (the end of the input when there is none), refilling as needed; no
    // further than kLongestRun from the token start.
    size_t RunUntil(size_t nFrom, unsigned wStop);
    // The same for a run that stops only at the byte ch, no further than nLimit.
    size_t RunUntilByte(size_t nFrom, char ch, size_t nLimit = kLongestRun);
    bool Refill();
    bool Grow();
    void Fail(LPCSTR pszMessage);

    // A text or whitespace token that ends inside the buffer, delivered at once; false when the
    // general path must match the token.
    bool LexTextRun();
    Match MatchNext();
    Match MatchText();
    Match MatchStartTag();
    Match MatchAttrValue();
    Match MatchDeclaration();
    Match MatchProcessing();
    Match MatchComment();
    Match MatchQuoted(char chQuote);
    Match MatchPlainText();
    Match MatchScript();
    Match MatchRawText();
    size_t MatchReference(size_t nOffset, int& nKind);
    // Whether the quote opening a value at the token start is closed later in the input.
    bool QuoteCloses(char chQuote);
    size_t MatchEndTagOf(LPCSTR pszUpperName, size_t nNameLength);
    // The length of an end tag whose name ends at nFrom, up to and including its ">"; 0 when
    // it has none.
    size_t MatchEndTagRest(size_t nFrom);
    void RunAction(const Match& match);
    // Decodes the reference token for the emitter; chNext is the byte after the token.
    void DeliverReference(int nKind, char chNext, void (CHtmlLexer::*pfnEmit)(LPCSTR, int));
    void EmitText(LPCSTR pszText, int nLength) { OnText(pszText, nLength); }
    void EmitValueText(LPCSTR pszText, int nLength) { AppendValueText(pszText, nLength); }
    char* Token() { return m_pBuffer.get() + m_nTokenStart; }

    std::unique_ptr<char[]> m_pBuffer; // m_nCapacity bytes plus two end markers
    size_t m_nCapacity = 0;
    size_t m_nTokenStart = 0;  // the start of the token being matched
    ULONGLONG m_nDropped = 0;  // input bytes no longer in the buffer, before its start
    size_t m_nEnd = 0;         // the end of the valid bytes
    size_t m_nTokenLength = 0; // the length of the token being acted on
    int m_nState = condText;
    bool m_bEndOfInput = false;
    bool m_bFailed = false;
    bool m_bFirstCall = true;
    bool m_bQuoteCloses = false;   // the quoted value being lexed has its closing quote
    // The upper-case name whose end tag ends condRawText (a name of the lexer's own table).
    LPCSTR m_pszRawTextEnd = "";
    size_t m_nRawTextEnd = 0;
    bool m_bInTitleText = false;   // between a TITLE start tag and its end tag
    bool m_bTitleOpening = false;  // the start tag being lexed is a TITLE's
    bool m_bSlashLast = false;     // the last token inside the start tag was "/"
    bool m_bClosesItself = false;  // the start tag ended in "/>"
    bool m_bPictureOpening = false; // the start tag being lexed is an SVG's or a MathML's
    int m_nPictureDepth = 0;       // the pictures and formulas open here
    // From this input offset on the page has no ">": no end tag with attributes starts there.
    ULONGLONG m_nNoTagEndFrom = ~ULONGLONG{0};
    std::exception_ptr m_readError; // the first failure of the input file's Read
};
