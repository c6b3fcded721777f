// CGXSysColorCache: the grid library's cache of the system colours, through which the colour
// values of styles that name a system colour are resolved for drawing.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/GdiTypes.h"

#include <array>

class CBitmap;

// Loads a bitmap resource with its black, grey, light grey and white replaced by the current
// button text, shadow, face and highlight colours, so that flat images follow the colour
// scheme; FALSE when the resource cannot be loaded.
BOOL LoadSysColorBitmap(CBitmap* pBitmap, UINT nIDResource);
inline BOOL LoadSysColorBitmap(CBitmap& bitmap, UINT nIDResource)
{
    return LoadSysColorBitmap(&bitmap, nIDResource);
}

class CGXSysColorCache {
public:
    // The indices kept (COLOR_SCROLLBAR .. COLOR_INFOBK); later ones are read when asked.
    static constexpr int kCount = 24;

    // The colours are there from the start; the bitmap waits for the first Refresh, which the
    // library's start-up runs once the resources and the drawing layer are up.
    CGXSysColorCache() { LoadColors(); }
    CGXSysColorCache(const CGXSysColorCache&) = delete;
    CGXSysColorCache& operator=(const CGXSysColorCache&) = delete;
    // Reloads every colour and the drop-down bitmap (start-up, WM_SYSCOLORCHANGE).
    void Refresh();
    // The drop-down button's bitmap in the current colours; null before the first Refresh or
    // when the resource is missing. The cache keeps it.
    HBITMAP GetDropDownBitmap() const { return m_hbmDropDown; }
    // The colour of an index: the cached one, or the system's answer for an index past them.
    COLORREF GetColor(int nIndex) const;
    // A style's colour value as drawn: system colours through GetColor, plain colours as they
    // are.
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
    void LoadColors();

    std::array<COLORREF, kCount> m_colors{};
    HBITMAP m_hbmDropDown = nullptr;
};
