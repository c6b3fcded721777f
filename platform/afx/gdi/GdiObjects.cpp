#include "platform/afx/gdi/GdiObjects.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/core/CException.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/ResourceImages.h"
#include "platform/win/UserApi.h"

#include <cstdlib>
#include <cstring>
#include <limits>

IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)

// ---- Pens ----

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor)
{
    if (!CreatePen(nPenStyle, nWidth, crColor))
        AfxThrowResourceException();
}

CPen* PASCAL CPen::FromHandle(HPEN hPen)
{
    return static_cast<CPen*>(CGdiObject::FromHandle(hPen));
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePenIndirect(LPLOGPEN lpLogPen)
{
    return Attach(::CreatePenIndirect(lpLogPen));
}

int CPen::GetLogPen(LOGPEN* pLogPen) const
{
    return ::GetObject(m_hObject, sizeof(LOGPEN), pLogPen);
}

// ---- Brushes ----

CBrush::CBrush(COLORREF crColor)
{
    if (!CreateSolidBrush(crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(int nIndex, COLORREF crColor)
{
    if (!CreateHatchBrush(nIndex, crColor))
        AfxThrowResourceException();
}

CBrush* PASCAL CBrush::FromHandle(HBRUSH hBrush)
{
    return static_cast<CBrush*>(CGdiObject::FromHandle(hBrush));
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor)
{
    return Attach(::CreateSolidBrush(crColor));
}

BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor)
{
    return Attach(::CreateHatchBrush(nIndex, crColor));
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    return pBitmap && Attach(::CreatePatternBrush(static_cast<HBITMAP>(pBitmap->m_hObject)));
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush)
{
    return Attach(::CreateBrushIndirect(lpLogBrush));
}

BOOL CBrush::CreateSysColorBrush(int nIndex)
{
    return Attach(::GetSysColorBrush(nIndex));
}

int CBrush::GetLogBrush(LOGBRUSH* pLogBrush) const
{
    return ::GetObject(m_hObject, sizeof(LOGBRUSH), pLogBrush);
}

// ---- Fonts ----

CFont* PASCAL CFont::FromHandle(HFONT hFont)
{
    return static_cast<CFont*>(CGdiObject::FromHandle(hFont));
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont)
{
    return Attach(::CreateFontIndirect(lpLogFont));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename)
{
    return Attach(::CreateFont(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                               nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONT logFont{};
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = nPointSize;
    snprintf(logFont.lfFaceName, sizeof logFont.lfFaceName, "%s", lpszFaceName ? lpszFaceName : "");
    return CreatePointFontIndirect(&logFont, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC)
{
    LOGFONT logFont = *lpLogFont;
    // Tenths of a point to logical units: through device units of the DC's resolution.
    HDC dc = pDC ? pDC->m_hAttribDC : ::GetDC(nullptr);
    POINT pt{0, static_cast<LONG>((static_cast<long long>(::GetDeviceCaps(dc, LOGPIXELSY)) * logFont.lfHeight + 360) / 720)};
    ::DPtoLP(dc, &pt, 1);
    POINT origin{0, 0};
    ::DPtoLP(dc, &origin, 1);
    logFont.lfHeight = -std::abs(pt.y - origin.y);
    if (!pDC)
        ::ReleaseDC(nullptr, dc);
    return CreateFontIndirect(&logFont);
}

int CFont::GetLogFont(LOGFONT* pLogFont) const
{
    return ::GetObject(m_hObject, sizeof(LOGFONT), pLogFont);
}

// ---- Bitmaps ----

CBitmap* PASCAL CBitmap::FromHandle(HBITMAP hBitmap)
{
    return static_cast<CBitmap*>(CGdiObject::FromHandle(hBitmap));
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName)
{
    return Attach(::LoadBitmap(AfxFindResourceHandle(lpszResourceName, RT_BITMAP), lpszResourceName));
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return LoadBitmap(MAKEINTRESOURCE(nIDResource));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap)
{
    return Attach(::CreateBitmapIndirect(lpBitmap));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return pDC && Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const
{
    return ::GetObject(m_hObject, sizeof(BITMAP), pBitMap);
}

DWORD CBitmap::GetBitmapBits(DWORD dwCount, LPVOID lpBits) const
{
    return static_cast<DWORD>(::GetBitmapBits(static_cast<HBITMAP>(m_hObject), static_cast<LONG>(dwCount), lpBits));
}

DWORD CBitmap::SetBitmapBits(DWORD dwCount, const void* lpBits)
{
    return static_cast<DWORD>(::SetBitmapBits(static_cast<HBITMAP>(m_hObject), dwCount, lpBits));
}

CSize CBitmap::GetBitmapDimension() const
{
    SIZE size{0, 0};
    ::GetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), &size);
    return CSize(size);
}

// ---- Regions ----

CRgn* PASCAL CRgn::FromHandle(HRGN hRgn)
{
    return static_cast<CRgn*>(CGdiObject::FromHandle(hRgn));
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2)
{
    return Attach(::CreateRectRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect)
{
    return Attach(::CreateRectRgnIndirect(lpRect));
}

BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2)
{
    return Attach(::CreateEllipticRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT lpRect)
{
    return Attach(::CreateEllipticRgnIndirect(lpRect));
}

BOOL CRgn::CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode)
{
    return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
}

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}

void CRgn::SetRectRgn(int x1, int y1, int x2, int y2)
{
    ::SetRectRgn(static_cast<HRGN>(m_hObject), x1, y1, x2, y2);
}

void CRgn::SetRectRgn(LPCRECT lpRect)
{
    SetRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
{
    return ::CombineRgn(static_cast<HRGN>(m_hObject), pRgn1 ? static_cast<HRGN>(pRgn1->m_hObject) : nullptr,
                        pRgn2 ? static_cast<HRGN>(pRgn2->m_hObject) : nullptr, nCombineMode);
}

int CRgn::CopyRgn(const CRgn* pRgnSrc)
{
    return CombineRgn(pRgnSrc, nullptr, RGN_COPY);
}

BOOL CRgn::EqualRgn(const CRgn* pRgn) const
{
    return pRgn && ::EqualRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(pRgn->m_hObject));
}

int CRgn::OffsetRgn(int x, int y)
{
    return ::OffsetRgn(static_cast<HRGN>(m_hObject), x, y);
}

int CRgn::OffsetRgn(POINT point)
{
    return OffsetRgn(point.x, point.y);
}

int CRgn::GetRgnBox(LPRECT lpRect) const
{
    return ::GetRgnBox(static_cast<HRGN>(m_hObject), lpRect);
}

BOOL CRgn::PtInRegion(int x, int y) const
{
    return ::PtInRegion(static_cast<HRGN>(m_hObject), x, y);
}

BOOL CRgn::PtInRegion(POINT point) const
{
    return PtInRegion(point.x, point.y);
}

BOOL CRgn::RectInRegion(LPCRECT lpRect) const
{
    return ::RectInRegion(static_cast<HRGN>(m_hObject), lpRect);
}

// ---- Palettes ----

CPalette* PASCAL CPalette::FromHandle(HPALETTE hPalette)
{
    return static_cast<CPalette*>(CGdiObject::FromHandle(hPalette));
}

BOOL CPalette::CreatePalette(const LOGPALETTE* lpLogPalette)
{
    if (m_hObject)
        return FALSE;
    return Attach(::CreatePalette(lpLogPalette));
}

BOOL CPalette::CreateHalftonePalette(CDC* pDC)
{
    if (m_hObject)
        return FALSE;
    return Attach(::CreateHalftonePalette(pDC ? pDC->GetSafeHdc() : nullptr));
}

int CPalette::GetEntryCount() const
{
    WORD count = 0;
    return ::GetObject(m_hObject, sizeof(count), &count) ? count : 0;
}

UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const
{
    if (!lpPaletteColors)
        return 0;
    return ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), nStartIndex, nNumEntries, lpPaletteColors);
}

UINT CPalette::SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, const PALETTEENTRY* lpPaletteColors)
{
    return ::SetPaletteEntries(static_cast<HPALETTE>(m_hObject), nStartIndex, nNumEntries, lpPaletteColors);
}

BOOL CPalette::ResizePalette(UINT nNumEntries)
{
    return ::ResizePalette(static_cast<HPALETTE>(m_hObject), nNumEntries);
}

void CPalette::AnimatePalette(UINT nStartIndex, UINT nNumEntries, const PALETTEENTRY* lpPaletteColors)
{
    ::AnimatePalette(static_cast<HPALETTE>(m_hObject), nStartIndex, nNumEntries, lpPaletteColors);
}

UINT CPalette::GetNearestPaletteIndex(COLORREF crColor) const
{
    return ::GetNearestPaletteIndex(static_cast<HPALETTE>(m_hObject), crColor);
}
