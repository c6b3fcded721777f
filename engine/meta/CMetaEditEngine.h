// CMetaEditEngine: copies one HTML page into an output file while lexing it, putting the
// page's edited META tags and title in. Every byte it does not replace is copied as the page
// has it, so a page without edits comes out identical.
#pragma once

#include "engine/html/CHtmlLexer.h"
#include "engine/html/CPageCharset.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <string>

class CFile;
class CMetaContent;
class CMetaContentList;
class CPageNode;

// The string-table ids of the page faults that GetError names.
inline constexpr UINT kIdsMissingHtmlStart = 62520;  // "Missing HTML start tag."
inline constexpr UINT kIdsMissingHeadStart = 62521;  // "Missing HEAD start tag."
inline constexpr UINT kIdsMissingHeadEnd = 62522;    // "Missing HEAD end tag."

// The text of one of the ids above; empty for any other id.
CString GetMetaEditErrorText(UINT nID);

class CMetaEditEngine : public CHtmlLexer {
    DECLARE_DYNAMIC(CMetaEditEngine)
public:
    // Nothing is owned. The edited contents are the page's edited META contents; a content's
    // modified flag means "not written yet" and is cleared as its tag is written, so callers
    // pass a copy. The page's title and title-edited flag are read and cleared. hMessageWnd is
    // the Output Area pane for write-failure lines, or null.
    CMetaEditEngine(CMetaContentList* pContents, CPageNode* pPage, CFile* pInput, CFile* pOutput, HWND hMessageWnd);
    ~CMetaEditEngine() override;

    // Lexes the whole input, writing the copy; returns 0. A lexer failure (a read error) raises
    // the platform's file exception after what was written so far has reached the output.
    int Run();
    // 0 when the page had the HTML start tag, the HEAD start tag and the HEAD end tag;
    // otherwise 1 and the id of the first that was missing, tested in that order.
    UINT GetError(UINT& nID) const;
    // Whether a write to the output failed: the copy is then incomplete and must not replace
    // the page.
    BOOL GetWriteFailed() const { return m_bWriteFailed; }

    void OnStartTag(LPCSTR pszName, int nLength) override;
    void OnAttrName(LPCSTR pszName, int nLength) override;
    void OnAttrNoValue(LPCSTR pszName, int nLength) override;
    void OnAttrTokenValue(LPCSTR pszValue, int nLength) override;
    void OnAttrValue(LPCSTR pszValue, int nLength) override;
    void OnTagEnd() override;
    void OnEndTag(LPCSTR pszName, int nLength) override;
    void ClearValueText() override;
    void AppendValueText(LPCSTR pszText, int nLength) override;
    void FlushValueText() override;
    void OnText(LPCSTR pszText, int nLength) override;
    void OnWhitespace(LPCSTR pszText, int nLength) override;
    void OnMarkup(LPCSTR pszText, int nLength) override;
    void OnStray(LPCSTR pszText, int nLength) override;
    void OnScriptText(LPCSTR pszText, int nLength) override;
    void OnUnmatched(LPCSTR pszText, int nLength) override;
    // Finds SCRIPT and PLAINTEXT in any case, so that script content is never taken for tags.
    void CheckSpecialTag(LPCSTR pszName, int nLength) override;
    // Names keep the case they have in the page.
    void MakeUpper(LPSTR pszText, int nLength) override;
    // The first read takes the page's first 2048 bytes, from which the page's charset is found:
    // what the engine writes in goes in that charset.
    int ReadInput(LPSTR pBuffer, int nMax) override;

    // The page's charset, once the first read found it.
    const CPageCharset& GetCharset() const { return m_charset; }

private:
    // Text of the current token as the page has it.
    void EmitToken();
    // Holds the text while in a META tag, otherwise passes it to Put.
    void Emit(LPCSTR pszText, int nLength);
    // Holds the text while in the TITLE element, otherwise writes it.
    void Put(LPCSTR pszText, int nLength);
    void Put(const CString& str) { Put(str.GetString(), str.GetLength()); }
    // The one place that writes to the output file (buffered).
    void Write(LPCSTR pszText, int nLength);
    void FlushOutput();
    void ReportWriteFailure(const CString& strMessage);
    // The META tag being held back is complete: write it, its replacement or nothing.
    void FinishMetaTag();
    // Writes every content still marked and, without a title in the head, the title.
    void AddPendingTags();
    void AddTitle();
    // The catalogue's tag for the content's text; empty when the text is empty or the content
    // has no setting.
    CString ComposeTag(const CMetaContent& content) const;
    CString LineEnd() const { return m_bLfOnly ? CString("\n") : CString("\r\n"); }
    // Writes whatever is still held back at the end of the input.
    void FlushHeld();
    void NoteAttributeValue(LPCSTR pszValue, int nLength);
    // Text of the engine's own (UTF-8) in the page's charset.
    CString ForPage(const CString& strText) const;
    // The page's title as the content of a TITLE element, in the page's charset.
    CString TitleForPage() const;

    UINT m_bLowerCase = 0;
    UINT m_bLfOnly = 0;
    UINT m_bHeadEndSeen = 0;
    UINT m_bHeadStartSeen = 0;
    UINT m_bHtmlStartSeen = 0;
    UINT m_bTitleWritten = 0;
    CPageNode* m_pPage;
    UINT m_bInTitle = 0;
    HWND m_hMessageWnd;
    CString m_strHeldText;      // the META tag being held back
    UINT m_bInMeta = 0;
    UINT m_bInHead = 0;
    CFile* m_pOutput;
    CFile* m_pInput;
    CMetaContentList* m_pEditedContents;

    CString m_strTitleText;     // the TITLE element's content being held back
    CString m_strAttrName;      // the META attribute whose value comes next (upper case)
    CString m_strKey;           // the META tag's NAME or HTTP-EQUIV value
    BOOL m_bHaveKey = FALSE;
    BOOL m_bCaseKnown = FALSE;  // whether a start tag of this page set the case yet
    BOOL m_bTitleStarting = FALSE; // the TITLE start tag is open; its content is held from its end
    std::string m_buffer;       // output not yet written
    BOOL m_bWriteFailed = FALSE;
    CPageCharset m_charset;
    BOOL m_bCharsetKnown = FALSE;
    BOOL m_bReadFailed = FALSE;  // the sample read ended in a failure still to be told
};
