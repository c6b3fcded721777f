// The receiver of everything the HTML parser finds in one page. The fetch engine's reference
// checker implements it and forwards each report, with the page's id, to its task sink; tests
// implement it with recorders.
#pragma once

#include "platform/core/Types.h"

// Texts are NUL-terminated and live only for the call. Link kinds and flags are those of
// HtmlLinkTypes.h; a width or height of -1 means not given. The parser calls the sink only from
// the thread that runs CHtmlParser::Parse.
class IHtmlParserSink {
public:
    // Polled before every read of the page; TRUE ends the input early (an open element is then
    // dropped without reporting).
    virtual BOOL IsStopRequested() = 0;
    // The bytes just read from the page, for keyword extraction.
    virtual void AddKeywordText(const char* pBuffer, int nLength) = 0;

    virtual void ReportLink(LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags,
        int nWidth, int nHeight) = 0;
    // A link relative to a code base (APPLET, OBJECT); the code base may be empty.
    virtual void ReportCodebaseLink(LPCSTR lpszCodebase, LPCSTR lpszUrl, LPCSTR lpszDescription,
        int nLinkKind, DWORD dwFlags, int nWidth, int nHeight) = 0;
    virtual void OnTitle(LPCSTR lpszTitle) = 0;
    virtual void OnAnchor(LPCSTR lpszName) = 0;
    // The HREF of a BASE element as written.
    virtual void OnBase(LPCSTR lpszHref) = 0;
    virtual void OnExtraLink(LPCSTR lpszCodebase, LPCSTR lpszUrl, LPCSTR lpszDescription,
        int nLinkKind, DWORD dwFlags, int nWidth, int nHeight) = 0;
    virtual void OnAuthor(LPCSTR lpszAuthor) = 0;
    // One keyword of the page's own KEYWORDS META tag.
    virtual void OnKeyword(LPCSTR lpszKeyword) = 0;
    virtual void OnDescription(LPCSTR lpszDescription) = 0;
    // A META NAME other than AUTHOR, KEYWORDS and DESCRIPTION; the scheme is null when the tag
    // has none.
    virtual void OnOtherMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme) = 0;
    // The end of a FORM: its name ("" when it has none) and the checksum of its fields.
    virtual void OnFormEnd(LPCSTR lpszFormName, DWORD dwChecksum) = 0;
    // Every META NAME with CONTENT; the scheme is null when the tag has none.
    virtual void OnNamedMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme) = 0;
    // Every META HTTP-EQUIV with CONTENT.
    virtual void OnHttpEquivMeta(LPCSTR lpszName, LPCSTR lpszContent) = 0;
    // A META Last-Modified date in seconds since 1970.
    virtual void OnLastModified(LONG nTime) = 0;

protected:
    IHtmlParserSink() = default;
    ~IHtmlParserSink() = default;
    IHtmlParserSink(const IHtmlParserSink&) = default;
    IHtmlParserSink& operator=(const IHtmlParserSink&) = default;
};
