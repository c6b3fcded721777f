// CHtmlParser: turns the HTML lexer's events into tag actions and forwards what the actions find
// (links, title, anchors, META data, forms) to its sink. One parser serves one page: it keeps no
// document, only one open element, one tag being read, one open form and one script's text.
#pragma once

#include "engine/html/CHtmlLexer.h"
#include "engine/html/CFormContext.h"
#include "engine/html/CTitleScope.h"
#include "platform/core/CString.h"

#include <memory>
#include <string>

class CAction;
class CFile;
class IHtmlParserSink;
struct TagEntry;

class CHtmlParser : public CHtmlLexer {
    DECLARE_DYNAMIC(CHtmlParser)
public:
    // The sink and the input are not owned. The flags are the scan options' JavaScript and
    // VBScript switches; the event-script mode says what event attributes hold (SCRIPT_KIND_*).
    CHtmlParser(IHtmlParserSink* pSink, CFile* pInput, BOOL bJavaScript, BOOL bVBScript, int nEventScriptMode);
    ~CHtmlParser() override;

    // Parses the whole input once. A read or scanner failure leaves as a CFileException; a stop
    // request of the sink ends the input early, which ends Parse normally.
    int Parse();

    // Reports of the tag actions; each goes to the sink operation of the same role.
    // A URL beginning with "javascript:" (any case) is script, never a link.
    virtual void OnLink(LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags, int nWidth, int nHeight);
    virtual void OnCodebaseLink(LPCSTR lpszCodebase, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind,
        DWORD dwFlags, int nWidth, int nHeight);
    virtual void OnTitle(LPCSTR lpszTitle);
    virtual void OnAnchor(LPCSTR lpszName);
    virtual void OnBase(LPCSTR lpszHref);
    virtual void OnExtraLink(LPCSTR lpszCodebase, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind,
        DWORD dwFlags, int nWidth, int nHeight);
    virtual void OnAuthor(LPCSTR lpszAuthor);
    virtual void OnKeyword(LPCSTR lpszKeyword);
    virtual void OnDescription(LPCSTR lpszDescription);
    virtual void OnOtherMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme);
    virtual void OnLastModified(LONG nTime);
    virtual void OnNamedMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme);
    virtual void OnHttpEquivMeta(LPCSTR lpszName, LPCSTR lpszContent);
    // Hooks for script examination; the parser itself does nothing with scripts. A script is
    // handed over whole up to kLongestScriptHeld bytes, and cut there: a page's memory does not
    // grow with a script of gigabytes.
    static constexpr size_t kLongestScriptHeld = 1u << 20;
    virtual void OnJavaScript(LPCSTR lpszScript);
    virtual void OnVBScript(LPCSTR lpszScript);
    // Ends an open form first, then opens one with the name (null or empty: an empty name).
    virtual void OnFormStart(LPCSTR lpszName);
    // Adds a text to the open form's checksum; nLength -1 means up to the NUL.
    virtual void OnFormField(LPCSTR lpszText, int nLength);
    // Reports and closes the open form, if any.
    virtual void OnFormEnd();
    virtual BOOL HasForm();

    int GetEventScriptMode() const { return m_nEventScriptMode; }
    void SetEventScriptMode(int nMode) { m_nEventScriptMode = nMode; }
    // Set by the SCRIPT action while its start tag is read.
    void SetInJavaScript() { m_bInJavaScript = TRUE; }
    void SetInVBScript() { m_bInVBScript = TRUE; }
    // The bytes of the page read so far. Over a translating file these are the page's own
    // bytes, not the UTF-8 the lexer was given.
    DWORD GetBytesRead() const;

    // The open element takes a description reported by an inner element (and stops collecting
    // its own text); nothing without an open element.
    void SetOpenElementDescription(LPCSTR lpszDescription);
    void MarkOpenElementServerMap();

    CAction* GetOpenElement() const { return m_pOpenElement.get(); }

    // What the page read so far lacks of the frame a save writes its tags into, in the order a
    // save looks for it: an HTML start tag, then a HEAD start tag, then a HEAD end tag, each
    // before the BODY start tag (after which a save reads nothing).
    enum class PageFrame { Whole, NoHtmlStart, NoHeadStart, NoHeadEnd };
    PageFrame GetPageFrame() const;

protected:
    void OnStartTag(LPCSTR pszName, int nLength) override;
    void OnAttrName(LPCSTR pszName, int nLength) override;
    void OnAttrNoValue(LPCSTR pszName, int nLength) override;
    void OnAttrTokenValue(LPCSTR pszValue, int nLength) override;
    void OnAttrValue(LPCSTR pszValue, int nLength) override;
    // A quoted value goes straight to the current tag's action, piece by piece.
    void ClearValueText() override;
    void AppendValueText(LPCSTR pszText, int nLength) override;
    void FlushValueText() override;
    void OnTagEnd() override;
    void OnEndTag(LPCSTR pszName, int nLength) override;
    void OnText(LPCSTR pszText, int nLength) override;
    void OnWhitespace(LPCSTR pszText, int nLength) override;
    void OnMarkup(LPCSTR pszText, int nLength) override;
    void OnScriptStart() override;
    void OnScriptEnd() override;
    void OnScriptText(LPCSTR pszText, int nLength) override;
    int ReadInput(LPSTR pBuffer, int nMax) override;

private:
    // Reports and deletes the open element.
    void FinishOpenElement();
    // The action of the start tag being read, made on first need; null for a tag without one.
    CAction* CurrentTag();

    std::unique_ptr<CAction> m_pOpenElement;
    std::unique_ptr<CAction> m_pCurrentTag;
    const TagEntry* m_pPendingEntry = nullptr; // the row of the start tag whose action is not made yet
    std::unique_ptr<CFormContext> m_pFormContext;
    IHtmlParserSink* m_pSink;
    bool m_bStopSeen = false; // the sink's stop ended the input
    BOOL m_bJavaScript;
    BOOL m_bInJavaScript = FALSE;
    BOOL m_bVBScript;
    BOOL m_bInVBScript = FALSE;
    std::string m_strScriptText; // without the page's NUL bytes
    int m_nEventScriptMode;
    DWORD m_nBytesRead = 0;
    BOOL m_bHtmlStartSeen = FALSE;
    BOOL m_bHeadStartSeen = FALSE;
    BOOL m_bHeadEndSeen = FALSE;
    BOOL m_bBodyStartSeen = FALSE;
    // Where a TITLE element is the page's: not in an icon's picture ("Open menu"), a template
    // or a NOSCRIPT; the save follows the same rule.
    CTitleScope m_titleScope;
    // The start tag being read has ended in "/>" so far.
    BOOL m_bSlashBeforeTagEnd = FALSE;
    // The page's first TITLE element is its title, as browsers and the save take it; later ones
    // are reported no more, even when the first is empty.
    BOOL m_bTitleSeen = FALSE;
};
