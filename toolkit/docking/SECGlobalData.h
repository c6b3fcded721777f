// SECGlobalData: what every toolkit bar and frame shares: border widths, the arrow and splitter
// cursors, the new-shell flag and the cached system colours, refreshed on colour changes.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/GdiTypes.h"
#include "platform/win/WinUser.h"

class SECGlobalData {
public:
    SECGlobalData();

    // Reads the ten system colours again; called at creation and on WM_SYSCOLORCHANGE.
    void UpdateSysColors();
    // The two dock-bar splitter cursors come from the toolkit's resources the first time a dock
    // bar is made; the arrow stands in for one that cannot be loaded.
    void LoadSplitterCursors();

    int m_cxBorder2 = 2;     // the toolkit border width
    int m_cyBorder2 = 2;
    BOOL m_bWin4 = TRUE;     // the new-shell look; this system always has it
    HCURSOR m_hcurArrow = nullptr;
    HCURSOR m_hcurHSplit = nullptr;   // a vertical strip moved left and right
    HCURSOR m_hcurVSplit = nullptr;   // a horizontal strip moved up and down

    COLORREF clrBtnFace = 0;
    COLORREF clrBtnShadow = 0;
    COLORREF clrBtnHilite = 0;
    COLORREF clrWindowFrame = 0;
    COLORREF clr3DLight = 0;
    COLORREF clr3DDkShadow = 0;
    COLORREF clrWindowText = 0;
    COLORREF clrWindow = 0;
    COLORREF clrHighlight = 0;
    COLORREF clrHighlightText = 0;

private:
    bool m_bCursorsLoaded = false;
};

// The one shared instance, made on first use.
SECGlobalData& SECGetGlobalData();
