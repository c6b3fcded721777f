// CGXSysColorCache: the grid library's cache of the system colours, through which the colour
// values of styles that name a system colour are resolved for drawing.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/GdiTypes.h"

#include <array>

class CGXSysColorCache {
public:
    // The indices the window layer knows (COLOR_SCROLLBAR .. COLOR_MENUBAR).
    static constexpr int kCount = 31;

    CGXSysColorCache() { Refresh(); }
    // Reloads every colour (WM_SYSCOLORCHANGE).
    void Refresh();
    // The colour of an index; 0 for an index the window layer does not know.
    COLORREF GetColor(int nIndex) const;
    // A style's colour value as drawn: system colours from the cache (0 for an unknown index),
    // plain colours as they are.
    COLORREF Resolve(COLORREF color) const;

    // The colours the grid's drawing names, refreshed with the others.
    COLORREF m_clrBtnFace = 0;
    COLORREF m_clrBtnShadow = 0;
    COLORREF m_clrBtnHilite = 0;
    COLORREF m_clrWindowFrame = 0;
    COLORREF m_clr3dLight = 0;
    COLORREF m_clr3dDkShadow = 0;
    COLORREF m_clrText = 0;
    COLORREF m_clrWindow = 0;
    COLORREF m_clrHighlight = 0;
    COLORREF m_clrHighlightText = 0;
    // The width and height of a 3D border: the system draws two-pixel edges.
    int m_nBorderX = 2;
    int m_nBorderY = 2;

private:
    std::array<COLORREF, kCount> m_colors{};
};
