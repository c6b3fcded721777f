// CGXProperties: a grid's display and print properties: zoom, grid lines, margins, header
// marking and the colour table of the grid's lines and background.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <array>

// Indices of the colour table.
enum : int {
    GX_COLOR_GRIDLINES = 0,
    GX_COLOR_FIXEDLINES = 1,
    GX_COLOR_TRACKINGLINE = 2,
    GX_COLOR_DRAGGINGLINE = 3,
    GX_COLOR_BACKGROUND = 4,
    GX_COLOR_COUNT = 5,
};

class CProfileStore;

class CGXProperties : public CObject {
    DECLARE_DYNCREATE(CGXProperties)
public:
    CGXProperties();
    CGXProperties(const CGXProperties&) = default;
    CGXProperties& operator=(const CGXProperties&) = default;
    ~CGXProperties() override = default;

    // The defaults a grid starts with: zoom 100, grid lines shown, colours as below.
    void AddDefaultProperties();
    // The colour of a colour index; 0 for an index outside the table.
    COLORREF GetColor(int nIndex) const;
    BOOL SetColor(int nIndex, COLORREF color);
    // The colour table's entry name ("Grid Lines", ...); empty outside the table.
    static CString GetColorName(int nIndex);

    // The display and print switches in the user's profile under the given section; entries
    // that are missing keep their present values.
    void ReadProfile(const CProfileStore& profile, LPCTSTR pszSection);
    void WriteProfile(CProfileStore& profile, LPCTSTR pszSection) const;

    // The values that header and footer texts show while a page prints: its number, the page
    // count (0 while unknown) and the document's title.
    void UpdatePrintTokens(UINT nPage, UINT nPageCount, const CString& sTitle);
    UINT m_nPrintPage = 0;
    UINT m_nPrintPageCount = 0;
    CString m_sPrintTitle;

    int m_nZoom = 100;
    BOOL m_bPrinting = FALSE; // copy of the grid's printing flag
    BOOL m_bDisplayVertLines = TRUE;
    BOOL m_bDisplayHorzLines = TRUE;
    BOOL m_bPrintVertLines = TRUE;
    BOOL m_bPrintHorzLines = TRUE;
    BOOL m_bPrintMode = FALSE;
    BOOL m_bBlackWhite = FALSE;
    // Margins in the print unit: left, top, right, bottom.
    int m_nLeftMargin = 72;
    int m_nTopMargin = 72;
    int m_nRightMargin = 72;
    int m_nBottomMargin = 72;
    // Repaint of the strip uncovered by scrolling up, on screen and in print preview.
    BOOL m_bDisplayScrollStrip = FALSE;
    BOOL m_bPrintScrollStrip = FALSE;
    BOOL m_bMarkRowHeader = TRUE;
    BOOL m_bMarkColHeader = TRUE;
    BOOL m_bPrintHeaders = TRUE;
    BOOL m_bPrintRowHeaders = TRUE;
    BOOL m_bPrintColHeaders = TRUE;

private:
    std::array<COLORREF, GX_COLOR_COUNT> m_colors{};
};
