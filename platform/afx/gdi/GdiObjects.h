// The drawing objects a DC selects: pens, brushes, fonts, bitmaps, regions, and palettes (a
// colour table: the display has no palette, so selecting one changes no colour).
#pragma once

#include "platform/afx/gdi/CGdiObject.h"
#include "platform/core/CRect.h"

#include <vector>

class CDC;
class CBitmap;

class CPen : public CGdiObject {
    DECLARE_DYNAMIC(CPen)
public:
    CPen() = default;
    CPen(int nPenStyle, int nWidth, COLORREF crColor);
    static CPen* PASCAL FromHandle(HPEN hPen);
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
    BOOL CreatePenIndirect(LPLOGPEN lpLogPen);
    int GetLogPen(LOGPEN* pLogPen) const;
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CBrush : public CGdiObject {
    DECLARE_DYNAMIC(CBrush)
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor);
    CBrush(int nIndex, COLORREF crColor);
    static CBrush* PASCAL FromHandle(HBRUSH hBrush);
    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL CreateHatchBrush(int nIndex, COLORREF crColor);
    BOOL CreatePatternBrush(CBitmap* pBitmap);
    BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush);
    BOOL CreateSysColorBrush(int nIndex);
    int GetLogBrush(LOGBRUSH* pLogBrush) const;
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CFont : public CGdiObject {
    DECLARE_DYNAMIC(CFont)
public:
    static CFont* PASCAL FromHandle(HFONT hFont);
    BOOL CreateFontIndirect(const LOGFONT* lpLogFont);
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                    BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename);
    // A font of a point size given in tenths of a point, for the DC's (or the screen's)
    // vertical resolution.
    BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC = nullptr);
    BOOL CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC = nullptr);
    int GetLogFont(LOGFONT* pLogFont) const;
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBitmap : public CGdiObject {
    DECLARE_DYNAMIC(CBitmap)
public:
    static CBitmap* PASCAL FromHandle(HBITMAP hBitmap);
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource);
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    BOOL CreateBitmapIndirect(LPBITMAP lpBitmap);
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    int GetBitmap(BITMAP* pBitMap) const;
    DWORD GetBitmapBits(DWORD dwCount, LPVOID lpBits) const;
    DWORD SetBitmapBits(DWORD dwCount, const void* lpBits);
    CSize GetBitmapDimension() const;
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CRgn : public CGdiObject {
    DECLARE_DYNAMIC(CRgn)
public:
    static CRgn* PASCAL FromHandle(HRGN hRgn);
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
    BOOL CreateRectRgnIndirect(LPCRECT lpRect);
    BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2);
    BOOL CreateEllipticRgnIndirect(LPCRECT lpRect);
    BOOL CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode);
    BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3);
    void SetRectRgn(int x1, int y1, int x2, int y2);
    void SetRectRgn(LPCRECT lpRect);
    int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode);
    int CopyRgn(const CRgn* pRgnSrc);
    BOOL EqualRgn(const CRgn* pRgn) const;
    int OffsetRgn(int x, int y);
    int OffsetRgn(POINT point);
    int GetRgnBox(LPRECT lpRect) const;
    BOOL PtInRegion(int x, int y) const;
    BOOL PtInRegion(POINT point) const;
    BOOL RectInRegion(LPCRECT lpRect) const;
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
};


// A palette is a table of colours behind a palette handle. The display shows every colour as
// it is, so a palette only answers questions about its entries.
class CPalette : public CGdiObject {
    DECLARE_DYNAMIC(CPalette)
public:
    static CPalette* PASCAL FromHandle(HPALETTE hPalette);
    BOOL CreatePalette(const LOGPALETTE* lpLogPalette);
    BOOL CreateHalftonePalette(CDC* pDC);
    UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const;
    UINT SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, const PALETTEENTRY* lpPaletteColors);
    BOOL ResizePalette(UINT nNumEntries);
    void AnimatePalette(UINT nStartIndex, UINT nNumEntries, const PALETTEENTRY* lpPaletteColors);
    UINT GetNearestPaletteIndex(COLORREF crColor) const;
    int GetEntryCount() const;
    BOOL IsCreated() const { return m_hObject != nullptr; }
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
};
