// CTitleScope: where a TITLE element is the page's own, as browsers take it. The scan and the save
// follow a page's tags through one of these each, so that the title the grid shows is the one a
// save rewrites. A TITLE in an inline SVG picture or MathML formula is the picture's; one in a
// TEMPLATE is inert until a script copies it; one in NOSCRIPT is text to a browser that runs
// scripts; everything after a PLAINTEXT start tag is text. The text of STYLE, TEXTAREA, XMP,
// IFRAME and their kin never reaches it as tags: the lexer reads it as text.
#pragma once

#include "platform/core/Types.h"

class CTitleScope {
public:
    // A start tag's name, in any case.
    void OnStartTag(LPCSTR pszName, int nLength);
    // The start tag has ended; bClosesItself when it ended in "/>" ("<svg/>" holds nothing).
    void OnTagEnd(BOOL bClosesItself);
    // An end tag's name, in any case.
    void OnEndTag(LPCSTR pszName, int nLength);
    // Whether a TITLE element that starts here is the page's.
    BOOL IsPageTitleHere() const;

private:
    enum class Opening { None, Picture, Template, NoScript, PlainText };
    Opening m_opening = Opening::None; // what the open start tag opens when it ends
    int m_nPictureDepth = 0;
    int m_nTemplateDepth = 0;
    BOOL m_bInNoScript = FALSE;        // NOSCRIPT does not nest: its first end tag ends it
    BOOL m_bPlainText = FALSE;
};
