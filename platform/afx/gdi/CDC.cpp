#include "platform/afx/gdi/CDC.h"

#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CException.h"

#include <memory>

IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

CDC* AfxDCFromHandle(HDC hDC)
{
    return CDC::FromHandle(hDC);
}

CDC::~CDC()
{
    if (m_hDC && AfxGetThreadState()->m_dcs.LookupPermanent(m_hDC) == this)
        ::DeleteDC(Detach());
}

CDC* PASCAL CDC::FromHandle(HDC hDC)
{
    if (!hDC)
        return nullptr;
    auto& map = AfxGetThreadState()->m_dcs;
    if (CDC* p = map.LookupPermanent(hDC))
        return p;
    if (CDC* p = map.LookupTemporary(hDC))
        return p;
    auto* p = new CDC;
    p->m_hDC = p->m_hAttribDC = hDC;
    map.temporary[hDC] = p;
    return p;
}

void PASCAL CDC::DeleteTempMap()
{
    auto doomed = std::move(AfxGetThreadState()->m_dcs.temporary);
    AfxGetThreadState()->m_dcs.temporary.clear();
    for (auto& [h, p] : doomed) {
        p->m_hDC = p->m_hAttribDC = nullptr;
        delete p;
    }
}

BOOL CDC::Attach(HDC hDC)
{
    if (!hDC || m_hDC)
        return FALSE;
    auto& map = AfxGetThreadState()->m_dcs;
    if (map.LookupPermanent(hDC))
        return FALSE;
    map.permanent[hDC] = this;
    m_hDC = m_hAttribDC = hDC;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    if (hDC) {
        auto& map = AfxGetThreadState()->m_dcs.permanent;
        auto it = map.find(hDC);
        if (it != map.end() && it->second == this)
            map.erase(it);
    }
    m_hDC = m_hAttribDC = nullptr;
    return hDC;
}

void CDC::SetAttribDC(HDC hDC)
{
    m_hAttribDC = hDC;
}

void CDC::SetOutputDC(HDC hDC)
{
    m_hDC = hDC;
}

void CDC::ReleaseAttribDC()
{
    m_hAttribDC = nullptr;
}

void CDC::ReleaseOutputDC()
{
    m_hDC = nullptr;
}

CWnd* CDC::GetWindow() const
{
    return CWnd::FromHandle(::WindowFromDC(m_hDC));
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr));
}

BOOL CDC::CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData)
{
    return Attach(::CreateDC(lpszDriverName, lpszDeviceName, lpszOutput, static_cast<const DEVMODE*>(lpInitData)));
}

int CDC::StartDoc(LPDOCINFO lpDocInfo)
{
    return ::StartDoc(m_hDC, lpDocInfo);
}

int CDC::StartDoc(LPCTSTR lpszDocName)
{
    DOCINFO info{sizeof(DOCINFO), lpszDocName, nullptr, nullptr, 0};
    return ::StartDoc(m_hDC, &info);
}

int CDC::StartPage() { return ::StartPage(m_hDC); }
int CDC::EndPage() { return ::EndPage(m_hDC); }
int CDC::EndDoc() { return ::EndDoc(m_hDC); }
int CDC::AbortDoc() { return ::AbortDoc(m_hDC); }

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

int CDC::SaveDC()
{
    int saved = 0;
    if (m_hAttribDC)
        saved = ::SaveDC(m_hAttribDC);
    if (m_hDC != m_hAttribDC && ::SaveDC(m_hDC))
        saved = -1;   // a two-DC state is restored with -1, the latest
    return saved;
}

BOOL CDC::RestoreDC(int nSavedDC)
{
    BOOL result = TRUE;
    if (m_hDC != m_hAttribDC)
        result = ::RestoreDC(m_hDC, nSavedDC);
    if (m_hAttribDC)
        result = ::RestoreDC(m_hAttribDC, nSavedDC) && result;
    return result;
}

int CDC::GetDeviceCaps(int nIndex) const
{
    return ::GetDeviceCaps(m_hAttribDC, nIndex);
}

// ---- Objects ----

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    HGDIOBJ old = nullptr;
    if (m_hDC != m_hAttribDC)
        old = ::SelectObject(m_hDC, hObject);
    if (m_hAttribDC)
        old = ::SelectObject(m_hAttribDC, hObject);
    return old;
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject)
{
    return CGdiObject::FromHandle(SelectObject(pObject ? pObject->m_hObject : nullptr));
}

CPen* CDC::SelectObject(CPen* pPen)
{
    return static_cast<CPen*>(SelectObject(static_cast<CGdiObject*>(pPen)));
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    return static_cast<CBrush*>(SelectObject(static_cast<CGdiObject*>(pBrush)));
}

CFont* CDC::SelectObject(CFont* pFont)
{
    return static_cast<CFont*>(SelectObject(static_cast<CGdiObject*>(pFont)));
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    return static_cast<CBitmap*>(SelectObject(static_cast<CGdiObject*>(pBitmap)));
}

int CDC::SelectObject(CRgn* pRgn)
{
    return SelectClipRgn(pRgn);
}

CGdiObject* CDC::SelectStockObject(int nIndex)
{
    return CGdiObject::FromHandle(SelectObject(::GetStockObject(nIndex)));
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    // Every colour shows as it is; the selection succeeds so that palette-aware drawing runs.
    if (!pPalette)
        return nullptr;
    return CPalette::FromHandle(
        ::SelectPalette(m_hDC, static_cast<HPALETTE>(pPalette->GetSafeHandle()), bForceBackground));
}

UINT CDC::RealizePalette()
{
    return ::RealizePalette(m_hDC);
}

CPen* CDC::GetCurrentPen() const
{
    return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hAttribDC, OBJ_PEN)));
}

CBrush* CDC::GetCurrentBrush() const
{
    return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hAttribDC, OBJ_BRUSH)));
}

CFont* CDC::GetCurrentFont() const
{
    return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hAttribDC, OBJ_FONT)));
}

CBitmap* CDC::GetCurrentBitmap() const
{
    return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hAttribDC, OBJ_BITMAP)));
}

// ---- Attributes: both DCs change, the attribute DC answers ----

#define AFX_SET_BOTH(call, attribCall) \
    if (m_hDC != m_hAttribDC) \
        call; \
    return m_hAttribDC ? attribCall : call;

COLORREF CDC::GetBkColor() const
{
    return ::GetBkColor(m_hAttribDC);
}
COLORREF CDC::SetBkColor(COLORREF crColor)
{
    AFX_SET_BOTH(::SetBkColor(m_hDC, crColor), ::SetBkColor(m_hAttribDC, crColor))
}
int CDC::GetBkMode() const
{
    return ::GetBkMode(m_hAttribDC);
}
int CDC::SetBkMode(int nBkMode)
{
    AFX_SET_BOTH(::SetBkMode(m_hDC, nBkMode), ::SetBkMode(m_hAttribDC, nBkMode))
}
COLORREF CDC::GetTextColor() const
{
    return ::GetTextColor(m_hAttribDC);
}
COLORREF CDC::SetTextColor(COLORREF crColor)
{
    AFX_SET_BOTH(::SetTextColor(m_hDC, crColor), ::SetTextColor(m_hAttribDC, crColor))
}
int CDC::GetROP2() const
{
    return ::GetROP2(m_hAttribDC);
}
int CDC::SetROP2(int nDrawMode)
{
    AFX_SET_BOTH(::SetROP2(m_hDC, nDrawMode), ::SetROP2(m_hAttribDC, nDrawMode))
}
UINT CDC::GetTextAlign() const
{
    return ::GetTextAlign(m_hAttribDC);
}
UINT CDC::SetTextAlign(UINT nFlags)
{
    AFX_SET_BOTH(::SetTextAlign(m_hDC, nFlags), ::SetTextAlign(m_hAttribDC, nFlags))
}
int CDC::GetPolyFillMode() const
{
    return ::GetPolyFillMode(m_hAttribDC);
}
int CDC::SetPolyFillMode(int nPolyFillMode)
{
    AFX_SET_BOTH(::SetPolyFillMode(m_hDC, nPolyFillMode), ::SetPolyFillMode(m_hAttribDC, nPolyFillMode))
}
int CDC::GetStretchBltMode() const
{
    return ::GetStretchBltMode(m_hAttribDC);
}
int CDC::SetStretchBltMode(int nStretchMode)
{
    AFX_SET_BOTH(::SetStretchBltMode(m_hDC, nStretchMode), ::SetStretchBltMode(m_hAttribDC, nStretchMode))
}
int CDC::GetMapMode() const
{
    return ::GetMapMode(m_hAttribDC);
}
int CDC::SetMapMode(int nMapMode)
{
    AFX_SET_BOTH(::SetMapMode(m_hDC, nMapMode), ::SetMapMode(m_hAttribDC, nMapMode))
}

CPoint CDC::SetBrushOrg(int x, int y)
{
    POINT old{0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
}

CPoint CDC::GetBrushOrg() const
{
    POINT org{0, 0};
    ::GetBrushOrgEx(m_hDC, &org);
    return CPoint(org);
}

// ---- Mapping ----

CPoint CDC::GetViewportOrg() const
{
    POINT p{0, 0};
    ::GetViewportOrgEx(m_hAttribDC, &p);
    return CPoint(p);
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT old{0, 0};
    if (m_hDC != m_hAttribDC)
        ::SetViewportOrgEx(m_hDC, x, y, &old);
    if (m_hAttribDC)
        ::SetViewportOrgEx(m_hAttribDC, x, y, &old);
    return CPoint(old);
}

CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight)
{
    POINT old{0, 0};
    if (m_hDC != m_hAttribDC)
        ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &old);
    if (m_hAttribDC)
        ::OffsetViewportOrgEx(m_hAttribDC, nWidth, nHeight, &old);
    return CPoint(old);
}

CSize CDC::GetViewportExt() const
{
    SIZE s{0, 0};
    ::GetViewportExtEx(m_hAttribDC, &s);
    return CSize(s);
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    SIZE old{0, 0};
    if (m_hDC != m_hAttribDC)
        ::SetViewportExtEx(m_hDC, cx, cy, &old);
    if (m_hAttribDC)
        ::SetViewportExtEx(m_hAttribDC, cx, cy, &old);
    return CSize(old);
}

CPoint CDC::GetWindowOrg() const
{
    POINT p{0, 0};
    ::GetWindowOrgEx(m_hAttribDC, &p);
    return CPoint(p);
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT old{0, 0};
    if (m_hDC != m_hAttribDC)
        ::SetWindowOrgEx(m_hDC, x, y, &old);
    if (m_hAttribDC)
        ::SetWindowOrgEx(m_hAttribDC, x, y, &old);
    return CPoint(old);
}

CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight)
{
    POINT old{0, 0};
    if (m_hDC != m_hAttribDC)
        ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &old);
    if (m_hAttribDC)
        ::OffsetWindowOrgEx(m_hAttribDC, nWidth, nHeight, &old);
    return CPoint(old);
}

CSize CDC::GetWindowExt() const
{
    SIZE s{0, 0};
    ::GetWindowExtEx(m_hAttribDC, &s);
    return CSize(s);
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    SIZE old{0, 0};
    if (m_hDC != m_hAttribDC)
        ::SetWindowExtEx(m_hDC, cx, cy, &old);
    if (m_hAttribDC)
        ::SetWindowExtEx(m_hAttribDC, cx, cy, &old);
    return CSize(old);
}

void CDC::DPtoLP(LPPOINT lpPoints, int nCount) const
{
    ::DPtoLP(m_hAttribDC, lpPoints, nCount);
}

void CDC::DPtoLP(LPRECT lpRect) const
{
    ::DPtoLP(m_hAttribDC, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CDC::DPtoLP(LPSIZE lpSize) const
{
    POINT pts[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
    ::DPtoLP(m_hAttribDC, pts, 2);
    lpSize->cx = pts[1].x - pts[0].x;
    lpSize->cy = pts[1].y - pts[0].y;
}

void CDC::LPtoDP(LPPOINT lpPoints, int nCount) const
{
    ::LPtoDP(m_hAttribDC, lpPoints, nCount);
}

void CDC::LPtoDP(LPRECT lpRect) const
{
    ::LPtoDP(m_hAttribDC, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CDC::LPtoDP(LPSIZE lpSize) const
{
    POINT pts[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
    ::LPtoDP(m_hAttribDC, pts, 2);
    lpSize->cx = pts[1].x - pts[0].x;
    lpSize->cy = pts[1].y - pts[0].y;
}

// ---- Clipping: the output DC's ----

int CDC::GetClipBox(LPRECT lpRect) const
{
    return ::GetClipBox(m_hDC, lpRect);
}

int CDC::SelectClipRgn(CRgn* pRgn)
{
    HRGN region = pRgn ? static_cast<HRGN>(pRgn->m_hObject) : nullptr;
    const int result = ::SelectClipRgn(m_hDC, region);
    if (m_hDC != m_hAttribDC && m_hAttribDC)
        ::SelectClipRgn(m_hAttribDC, region);
    return result;
}

int CDC::SelectClipRgn(CRgn* pRgn, int nMode)
{
    HRGN region = pRgn ? static_cast<HRGN>(pRgn->m_hObject) : nullptr;
    if (m_hDC != m_hAttribDC && m_hAttribDC)
        ::ExtSelectClipRgn(m_hAttribDC, region, nMode);
    return ::ExtSelectClipRgn(m_hDC, region, nMode);
}

int CDC::IntersectClipRect(int x1, int y1, int x2, int y2)
{
    if (m_hDC != m_hAttribDC && m_hAttribDC)
        ::IntersectClipRect(m_hAttribDC, x1, y1, x2, y2);
    return ::IntersectClipRect(m_hDC, x1, y1, x2, y2);
}

int CDC::IntersectClipRect(LPCRECT lpRect)
{
    return IntersectClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2)
{
    if (m_hDC != m_hAttribDC && m_hAttribDC)
        ::ExcludeClipRect(m_hAttribDC, x1, y1, x2, y2);
    return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2);
}

int CDC::ExcludeClipRect(LPCRECT lpRect)
{
    return ExcludeClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

int CDC::OffsetClipRgn(int x, int y)
{
    if (m_hDC != m_hAttribDC && m_hAttribDC)
        ::OffsetClipRgn(m_hAttribDC, x, y);
    return ::OffsetClipRgn(m_hDC, x, y);
}

BOOL CDC::PtVisible(int x, int y) const
{
    return ::PtVisible(m_hDC, x, y);
}

BOOL CDC::RectVisible(LPCRECT lpRect) const
{
    return ::RectVisible(m_hDC, lpRect);
}

// ---- Output: the output DC's, with the position kept on both ----

CPoint CDC::GetCurrentPosition() const
{
    POINT p{0, 0};
    ::GetCurrentPositionEx(m_hAttribDC, &p);
    return CPoint(p);
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT old{0, 0};
    if (m_hDC != m_hAttribDC)
        ::MoveToEx(m_hDC, x, y, &old);
    if (m_hAttribDC)
        ::MoveToEx(m_hAttribDC, x, y, &old);
    return CPoint(old);
}

BOOL CDC::LineTo(int x, int y)
{
    if (m_hAttribDC && m_hDC != m_hAttribDC)
        ::MoveToEx(m_hAttribDC, x, y, nullptr);
    return ::LineTo(m_hDC, x, y);
}

BOOL CDC::Polyline(const POINT* lpPoints, int nCount)
{
    return ::Polyline(m_hDC, lpPoints, nCount);
}
BOOL CDC::Polygon(const POINT* lpPoints, int nCount)
{
    return ::Polygon(m_hDC, lpPoints, nCount);
}
BOOL CDC::Rectangle(int x1, int y1, int x2, int y2)
{
    return ::Rectangle(m_hDC, x1, y1, x2, y2);
}
BOOL CDC::Rectangle(LPCRECT lpRect)
{
    return Rectangle(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}
BOOL CDC::Ellipse(int x1, int y1, int x2, int y2)
{
    return ::Ellipse(m_hDC, x1, y1, x2, y2);
}
BOOL CDC::Ellipse(LPCRECT lpRect)
{
    return Ellipse(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}
BOOL CDC::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return ::RoundRect(m_hDC, x1, y1, x2, y2, x3, y3);
}
BOOL CDC::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    return ::Arc(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
}
BOOL CDC::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    return ::Pie(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
}
void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush)
{
    ::FillRect(m_hDC, lpRect, pBrush ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr);
}
void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush)
{
    ::FrameRect(m_hDC, lpRect, pBrush ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr);
}
void CDC::InvertRect(LPCRECT lpRect)
{
    ::InvertRect(m_hDC, lpRect);
}
BOOL CDC::FillRgn(CRgn* pRgn, CBrush* pBrush)
{
    return ::FillRgn(m_hDC, static_cast<HRGN>(pRgn->m_hObject), static_cast<HBRUSH>(pBrush->m_hObject));
}
BOOL CDC::FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight)
{
    return ::FrameRgn(m_hDC, static_cast<HRGN>(pRgn->m_hObject), static_cast<HBRUSH>(pBrush->m_hObject), nWidth,
                      nHeight);
}
BOOL CDC::InvertRgn(CRgn* pRgn)
{
    return ::InvertRgn(m_hDC, static_cast<HRGN>(pRgn->m_hObject));
}
BOOL CDC::PaintRgn(CRgn* pRgn)
{
    return ::PaintRgn(m_hDC, static_cast<HRGN>(pRgn->m_hObject));
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    ::SetBkColor(m_hDC, clr);
    ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    const RECT rect{x, y, x + cx, y + cy};
    FillSolidRect(&rect, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
               clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    // The top-left colour has the corner they share at the top right and the bottom left; the
    // bottom-right colour has its own corner.
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

CBrush* PASCAL CDC::GetHalftoneBrush()
{
    thread_local std::unique_ptr<CBrush> brush;
    if (!brush) {
        // Every other pixel, shifted by one on every other row.
        WORD pattern[8];
        for (int i = 0; i < 8; ++i)
            pattern[i] = static_cast<WORD>(0x5555 << (i & 1));
        CBitmap bitmap;
        if (!bitmap.CreateBitmap(8, 8, 1, 1, pattern))
            return nullptr;
        brush = std::make_unique<CBrush>();
        brush->CreatePatternBrush(&bitmap);
    }
    return brush.get();
}

void CDC::DrawDragRect(LPCRECT lpRect, SIZE size, LPCRECT lpRectLast, SIZE sizeLast, CBrush* pBrush,
                       CBrush* pBrushLast)
{
    // A frame is the rectangle less its inside, as a region.
    auto frameOf = [](CRgn& frame, LPCRECT outer, SIZE thickness) {
        CRect inner(outer);
        inner.DeflateRect(thickness.cx, thickness.cy);
        ::IntersectRect(&inner, &inner, outer);
        CRgn outside, inside;
        outside.CreateRectRgnIndirect(outer);
        inside.CreateRectRgnIndirect(&inner);
        frame.CreateRectRgn(0, 0, 0, 0);
        frame.CombineRgn(&outside, &inside, RGN_XOR);
    };
    if (!pBrush)
        pBrush = GetHalftoneBrush();
    if (!pBrushLast)
        pBrushLast = pBrush;
    if (!pBrush)
        return;

    CRgn frameNew;
    frameOf(frameNew, lpRect, size);
    CRgn frameLast, update;
    if (lpRectLast) {
        frameOf(frameLast, lpRectLast, sizeLast);
        if (pBrush->m_hObject == pBrushLast->m_hObject) {
            // One brush: inverting what the two frames do not share moves the frame.
            update.CreateRectRgn(0, 0, 0, 0);
            update.CombineRgn(&frameLast, &frameNew, RGN_XOR);
        } else {
            // Different brushes: take the old frame away whole first.
            SelectClipRgn(&frameLast);
            CRect box;
            GetClipBox(&box);
            CBrush* old = SelectObject(pBrushLast);
            PatBlt(box.left, box.top, box.Width(), box.Height(), PATINVERT);
            SelectObject(old);
        }
    }
    SelectClipRgn(update.m_hObject ? &update : &frameNew);
    CRect box;
    GetClipBox(&box);
    CBrush* old = SelectObject(pBrush);
    PatBlt(box.left, box.top, box.Width(), box.Height(), PATINVERT);
    SelectObject(old);
    SelectClipRgn(nullptr);
}

BOOL CDC::DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags)
{
    return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags);
}
BOOL CDC::DrawFrameControl(LPRECT lpRect, UINT nType, UINT nState)
{
    return ::DrawFrameControl(m_hDC, lpRect, nType, nState);
}
void CDC::DrawFocusRect(LPCRECT lpRect)
{
    ::DrawFocusRect(m_hDC, lpRect);
}
BOOL CDC::DrawIcon(int x, int y, HICON hIcon)
{
    return ::DrawIcon(m_hDC, x, y, hIcon);
}
COLORREF CDC::GetPixel(int x, int y) const
{
    return ::GetPixel(m_hDC, x, y);
}
COLORREF CDC::SetPixel(int x, int y, COLORREF crColor)
{
    return ::SetPixel(m_hDC, x, y, crColor);
}
BOOL CDC::SetPixelV(int x, int y, COLORREF crColor)
{
    return ::SetPixelV(m_hDC, x, y, crColor);
}

BOOL CDC::PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop)
{
    return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop);
}
BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
}
BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop)
{
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, nSrcWidth,
                        nSrcHeight, dwRop);
}
BOOL CDC::MaskBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, CBitmap& maskBitmap,
                  int xMask, int yMask, DWORD dwRop)
{
    return ::MaskBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc,
                     static_cast<HBITMAP>(maskBitmap.m_hObject), xMask, yMask, dwRop);
}
BOOL CDC::TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                         int nSrcWidth, int nSrcHeight, UINT clrTransparent)
{
    return ::TransparentBlt(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc,
                            ySrc, nSrcWidth, nSrcHeight, clrTransparent);
}

// ---- Text ----

BOOL CDC::TextOut(int x, int y, LPCTSTR lpszString, int nCount)
{
    return ::TextOut(m_hDC, x, y, lpszString, nCount);
}
BOOL CDC::TextOut(int x, int y, const CString& str)
{
    return TextOut(x, y, str, str.GetLength());
}
BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount, LPINT lpDxWidths)
{
    return ::ExtTextOut(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
}
BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, const CString& str, LPINT lpDxWidths)
{
    return ExtTextOut(x, y, nOptions, lpRect, str, static_cast<UINT>(str.GetLength()), lpDxWidths);
}
CSize CDC::TabbedTextOut(int x, int y, LPCTSTR lpszString, int nCount, int nTabPositions, LPINT lpnTabStopPositions,
                         int nTabOrigin)
{
    const LONG extent = ::TabbedTextOut(m_hDC, x, y, lpszString, nCount, nTabPositions, lpnTabStopPositions, nTabOrigin);
    return CSize(LOWORD(extent), HIWORD(extent));
}
int CDC::DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
{
    return ::DrawText(m_hDC, lpszString, nCount, lpRect, nFormat);
}
int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat)
{
    return DrawText(str, str.GetLength(), lpRect, nFormat);
}
CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size{0, 0};
    ::GetTextExtentPoint32(m_hAttribDC, lpszString, nCount, &size);
    return CSize(size);
}
CSize CDC::GetTextExtent(const CString& str) const
{
    return GetTextExtent(str, str.GetLength());
}
CSize CDC::GetOutputTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size{0, 0};
    ::GetTextExtentPoint32(m_hDC, lpszString, nCount, &size);
    return CSize(size);
}
CSize CDC::GetTabbedTextExtent(LPCTSTR lpszString, int nCount, int nTabPositions, LPINT lpnTabStopPositions) const
{
    const DWORD extent = ::GetTabbedTextExtent(m_hAttribDC, lpszString, nCount, nTabPositions, lpnTabStopPositions);
    return CSize(LOWORD(extent), HIWORD(extent));
}
BOOL CDC::GetTextMetrics(LPTEXTMETRIC lpMetrics) const
{
    return ::GetTextMetrics(m_hAttribDC, lpMetrics);
}
BOOL CDC::GetOutputTextMetrics(LPTEXTMETRIC lpMetrics) const
{
    return ::GetTextMetrics(m_hDC, lpMetrics);
}
int CDC::GetTextFace(CString& rString) const
{
    char face[LF_FACESIZE] = "";
    const int length = ::GetTextFace(m_hAttribDC, sizeof face, face);
    rString = face;
    return length;
}
BOOL CDC::GetCharWidth(UINT nFirstChar, UINT nLastChar, LPINT lpBuffer) const
{
    return ::GetCharWidth(m_hAttribDC, nFirstChar, nLastChar, lpBuffer);
}
BOOL CDC::GrayString(CBrush* pBrush, GRAYSTRINGPROC lpfnOutput, LPARAM lpData, int nCount, int x, int y, int nWidth,
                     int nHeight)
{
    return ::GrayString(m_hDC, pBrush ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr, lpfnOutput, lpData, nCount,
                        x, y, nWidth, nHeight);
}

// ---- A window's DCs ----

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    if (!Attach(::BeginPaint(m_hWnd, &m_ps)))
        AfxThrowResourceException();
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr)
{
    if (!Attach(::GetDC(m_hWnd)))
        AfxThrowResourceException();
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr)
{
    if (!Attach(::GetWindowDC(m_hWnd)))
        AfxThrowResourceException();
}

CWindowDC::~CWindowDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}
