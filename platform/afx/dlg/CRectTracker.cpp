// CRectTracker: geometry of the handles, drawing, hit testing and the tracking loop.
#include "platform/afx/dlg/CRectTracker.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The cursor of each hit code.
LPCTSTR CursorOf(int hit)
{
    switch (hit) {
    case CRectTracker::hitTopLeft:
    case CRectTracker::hitBottomRight:
        return IDC_SIZENWSE;
    case CRectTracker::hitTopRight:
    case CRectTracker::hitBottomLeft:
        return IDC_SIZENESW;
    case CRectTracker::hitTop:
    case CRectTracker::hitBottom:
        return IDC_SIZENS;
    case CRectTracker::hitLeft:
    case CRectTracker::hitRight:
        return IDC_SIZEWE;
    default:
        return IDC_SIZEALL;
    }
}

} // namespace

CRectTracker::CRectTracker() = default;

CRectTracker::CRectTracker(LPCRECT lpSrcRect, UINT nStyle) : m_nStyle(nStyle)
{
    if (lpSrcRect)
        m_rect = *lpSrcRect;
}

// ---- Geometry --------------------------------------------------------------------------------------

int CRectTracker::GetHandleSize(LPCRECT lpRect) const
{
    const CRect rect = lpRect ? CRect(*lpRect) : m_rect;
    int size = m_nHandleSize;
    if (!(m_nStyle & resizeOutside)) {
        // Inside handles shrink with a small rectangle so that they never overlap.
        const int cx = std::abs(rect.Width());
        const int cy = std::abs(rect.Height());
        size = std::min({size, cx / 4 * 2 + (cx < 8 ? 1 : 0), cy / 4 * 2 + (cy < 8 ? 1 : 0)});
        size = std::max(size, 1);
    }
    return size;
}

UINT CRectTracker::GetHandleMask() const
{
    UINT mask = 0x0F;   // the corners always
    const int size = m_nHandleSize * 3;
    if (std::abs(m_rect.Width()) - size > 4)
        mask |= 0x50;   // top and bottom middles
    if (std::abs(m_rect.Height()) - size > 4)
        mask |= 0xA0;   // left and right middles
    return mask;
}

void CRectTracker::GetHandleRect(int nHandle, CRect* pHandleRect) const
{
    CRect rect = m_rect;
    rect.NormalizeRect();
    if (m_nStyle & (solidLine | dottedLine))
        rect.InflateRect(1, 1);
    // An inverted rectangle keeps each handle on its own corner.
    nHandle = NormalizeHit(nHandle);
    const int size = GetHandleSize();
    if (m_nStyle & resizeOutside)
        rect.InflateRect(size - 1, size - 1);
    const int xMid = (rect.left + rect.right - size) / 2;
    const int yMid = (rect.top + rect.bottom - size) / 2;
    int x = 0;
    int y = 0;
    switch (nHandle) {
    case hitTopLeft: x = rect.left; y = rect.top; break;
    case hitTopRight: x = rect.right - size; y = rect.top; break;
    case hitBottomRight: x = rect.right - size; y = rect.bottom - size; break;
    case hitBottomLeft: x = rect.left; y = rect.bottom - size; break;
    case hitTop: x = xMid; y = rect.top; break;
    case hitRight: x = rect.right - size; y = yMid; break;
    case hitBottom: x = xMid; y = rect.bottom - size; break;
    case hitLeft: x = rect.left; y = yMid; break;
    default: break;
    }
    *pHandleRect = CRect(x, y, x + size, y + size);
}

void CRectTracker::GetTrueRect(LPRECT lpTrueRect) const
{
    CRect rect = m_rect;
    rect.NormalizeRect();
    int inflate = (m_nStyle & resizeOutside) ? GetHandleSize() - 1 : 0;
    if (m_nStyle & (solidLine | dottedLine))
        inflate += 1;
    if (m_nStyle & hatchedBorder)
        inflate = std::max(inflate, GetHandleSize() - 1);
    rect.InflateRect(inflate, inflate);
    *lpTrueRect = rect;
}

int CRectTracker::NormalizeHit(int nHandle) const
{
    if (nHandle == hitMiddle || nHandle == hitNothing)
        return nHandle;
    static const int swapX[] = {hitTopRight, hitTopLeft, hitBottomLeft, hitBottomRight, hitTop, hitLeft, hitBottom, hitRight};
    static const int swapY[] = {hitBottomLeft, hitBottomRight, hitTopRight, hitTopLeft, hitBottom, hitRight, hitTop, hitLeft};
    if (m_rect.Width() < 0)
        nHandle = swapX[nHandle];
    if (m_rect.Height() < 0)
        nHandle = swapY[nHandle];
    return nHandle;
}

int CRectTracker::HitTestHandles(CPoint point) const
{
    CRect trueRect;
    GetTrueRect(&trueRect);
    if (!trueRect.PtInRect(point))
        return hitNothing;
    if (m_nStyle & (resizeInside | resizeOutside)) {
        const UINT mask = GetHandleMask();
        for (int i = 0; i < 8; ++i) {
            if (!(mask & (1u << i)))
                continue;
            CRect handle;
            GetHandleRect(i, &handle);
            if (handle.PtInRect(point))
                return i;
        }
    }
    // Inside the rectangle (or on its hatched border) is a move.
    CRect rect = m_rect;
    rect.NormalizeRect();
    if ((m_nStyle & hatchedBorder) || rect.PtInRect(point))
        return hitMiddle;
    return hitNothing;
}

int CRectTracker::HitTest(CPoint point) const
{
    CRect trueRect;
    GetTrueRect(&trueRect);
    if (trueRect.Width() == 0 && trueRect.Height() == 0)
        return hitNothing;
    return HitTestHandles(point);
}

// ---- Drawing -----------------------------------------------------------------------------------------

void CRectTracker::Draw(CDC* pDC) const
{
    if (!pDC)
        return;
    HDC dc = pDC->GetSafeHdc();
    const int saved = ::SaveDC(dc);
    CRect rect = m_rect;
    rect.NormalizeRect();
    ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    HPEN pen = nullptr;
    if (m_nStyle & (dottedLine | solidLine)) {
        pen = ::CreatePen((m_nStyle & dottedLine) ? PS_DOT : PS_SOLID, 1, RGB(0, 0, 0));
        ::SelectObject(dc, pen);
        ::SetBkColor(dc, RGB(255, 255, 255));
        CRect border = rect;
        border.InflateRect(1, 1);
        ::Rectangle(dc, border.left, border.top, border.right, border.bottom);
    }
    HBRUSH hatch = nullptr;
    if (m_nStyle & (hatchInside | hatchedBorder)) {
        hatch = ::CreateHatchBrush(HS_BDIAGONAL, RGB(0, 0, 0));
        ::SetBkMode(dc, TRANSPARENT);
    }
    if (m_nStyle & hatchInside) {
        ::SelectObject(dc, ::GetStockObject(NULL_PEN));
        ::SelectObject(dc, hatch);
        ::Rectangle(dc, rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1);
    }
    if (m_nStyle & hatchedBorder) {
        CRect outer;
        GetTrueRect(&outer);
        const int band = GetHandleSize() - 1;
        // Four bands around the rectangle, hatched.
        const RECT bands[] = {{outer.left, outer.top, outer.right, rect.top},
                              {outer.left, rect.bottom, outer.right, outer.bottom},
                              {outer.left, rect.top, rect.left, rect.bottom},
                              {rect.right, rect.top, outer.right, rect.bottom}};
        if (band > 0)
            for (const RECT& b : bands)
                ::FillRect(dc, &b, hatch);
    }
    if (m_nStyle & (resizeInside | resizeOutside)) {
        const UINT mask = GetHandleMask();
        HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        for (int i = 0; i < 8; ++i) {
            if (!(mask & (1u << i)))
                continue;
            CRect handle;
            GetHandleRect(i, &handle);
            ::FillRect(dc, &handle, black);
        }
    }
    ::RestoreDC(dc, saved);
    if (pen)
        ::DeleteObject(pen);
    if (hatch)
        ::DeleteObject(hatch);
}

BOOL CRectTracker::SetCursor(CWnd* pWnd, UINT nHitTest) const
{
    if (nHitTest != HTCLIENT || !pWnd)
        return FALSE;
    POINT pt;
    ::GetCursorPos(&pt);
    pWnd->ScreenToClient(&pt);
    const int hit = HitTestHandles(pt);
    if (hit < 0)
        return FALSE;
    ::SetCursor(::LoadCursor(nullptr, CursorOf(NormalizeHit(hit))));
    return TRUE;
}

void CRectTracker::AdjustRect(int, LPRECT) {}

void CRectTracker::OnChangedRect(const CRect&) {}

void CRectTracker::DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd)
{
    CRect rect = *lpRect;
    rect.NormalizeRect();
    if (pWndClipTo && pWnd && pWndClipTo != pWnd) {
        pWnd->ClientToScreen(&rect);
        pWndClipTo->ScreenToClient(&rect);
    }
    CSize size(0, 0);
    if (!m_bFinalErase) {
        if (m_nStyle & hatchedBorder) {
            const int band = std::max(1, GetHandleSize(&rect) - 1);
            size = CSize(band, band);
            rect.InflateRect(band, band);
        } else {
            size = CSize(1, 1);
        }
    }
    // Drawing over the last one erases it: XOR both.
    if (m_bFinalErase || !m_bErase)
        pDC->DrawDragRect(&rect, size, m_bHaveLast ? &m_rectLast : nullptr, m_sizeLast);
    m_rectLast = rect;
    m_sizeLast = size;
    m_bHaveLast = !m_bFinalErase;
}

// ---- Tracking ----------------------------------------------------------------------------------------

void CRectTracker::GetModifyPointers(int nHandle, int** ppx, int** ppy)
{
    if (nHandle == hitMiddle)
        nHandle = hitTopLeft;   // a move drags the top left corner; the size is kept afterwards
    *ppx = nullptr;
    *ppy = nullptr;
    switch (nHandle) {
    case hitTopLeft: *ppx = &m_rect.left; *ppy = &m_rect.top; break;
    case hitTopRight: *ppx = &m_rect.right; *ppy = &m_rect.top; break;
    case hitBottomRight: *ppx = &m_rect.right; *ppy = &m_rect.bottom; break;
    case hitBottomLeft: *ppx = &m_rect.left; *ppy = &m_rect.bottom; break;
    case hitTop: *ppy = &m_rect.top; break;
    case hitRight: *ppx = &m_rect.right; break;
    case hitBottom: *ppy = &m_rect.bottom; break;
    case hitLeft: *ppx = &m_rect.left; break;
    default: break;
    }
}

BOOL CRectTracker::Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert, CWnd* pWndClipTo)
{
    const int hit = HitTest(point);
    if (hit < 0)
        return FALSE;
    m_bAllowInvert = bAllowInvert;
    return TrackHandle(hit, pWnd, point, pWndClipTo);
}

BOOL CRectTracker::TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert)
{
    m_bAllowInvert = bAllowInvert;
    m_rect = CRect(point, point);
    return TrackHandle(hitBottomRight, pWnd, point, nullptr);
}

BOOL CRectTracker::TrackHandle(int nHandle, CWnd* pWnd, CPoint point, CWnd* pWndClipTo)
{
    if (!pWnd || !pWnd->GetSafeHwnd() || nHandle < 0 || nHandle > hitMiddle)
        return FALSE;
    // Nothing to do when the button was already released.
    if (::GetCapture() != nullptr && ::GetCapture() != pWnd->GetSafeHwnd())
        return FALSE;
    m_rect.NormalizeRect();
    const CRect rectSave = m_rect;
    const int nWidth = m_rect.Width();
    const int nHeight = m_rect.Height();
    int* px = nullptr;
    int* py = nullptr;
    GetModifyPointers(nHandle, &px, &py);
    // The distance from the mouse to the edges it drags.
    const int xDiff = px ? point.x - *px : 0;
    const int yDiff = py ? point.y - *py : 0;

    pWnd->SetCapture();
    pWnd->UpdateWindow();
    if (pWndClipTo)
        pWndClipTo->UpdateWindow();
    HWND drawWnd = pWndClipTo ? pWndClipTo->GetSafeHwnd() : pWnd->GetSafeHwnd();
    HDC hdc = ::GetDC(drawWnd);
    CDC dc;
    dc.Attach(hdc);
    m_bErase = FALSE;
    m_bFinalErase = FALSE;
    m_bHaveLast = false;
    bool moved = false;
    bool done = false;
    while (!done) {
        MSG msg;
        if (!::GetMessage(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (::GetCapture() != pWnd->GetSafeHwnd()) {
            // Someone took the mouse away: as if cancelled.
            ::DispatchMessage(&msg);
            break;
        }
        switch (msg.message) {
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE: {
            const CRect rectOld = m_rect;
            const int x = GET_X_LPARAM(msg.lParam);
            const int y = GET_Y_LPARAM(msg.lParam);
            if (px)
                *px = x - xDiff;
            if (py)
                *py = y - yDiff;
            if (nHandle == hitMiddle) {
                m_rect.right = m_rect.left + nWidth;
                m_rect.bottom = m_rect.top + nHeight;
            } else if (!m_bAllowInvert) {
                // A rectangle that may not turn inside out stops at its smallest size.
                if (px && px == &m_rect.left)
                    m_rect.left = std::min<int>(m_rect.left, m_rect.right - m_sizeMin.cx);
                if (px && px == &m_rect.right)
                    m_rect.right = std::max<int>(m_rect.right, m_rect.left + m_sizeMin.cx);
                if (py && py == &m_rect.top)
                    m_rect.top = std::min<int>(m_rect.top, m_rect.bottom - m_sizeMin.cy);
                if (py && py == &m_rect.bottom)
                    m_rect.bottom = std::max<int>(m_rect.bottom, m_rect.top + m_sizeMin.cy);
            }
            AdjustRect(nHandle, &m_rect);
            m_bFinalErase = msg.message == WM_LBUTTONUP;
            if (!rectOld.EqualRect(&m_rect) || m_bFinalErase) {
                if (moved) {
                    m_bErase = TRUE;
                    DrawTrackerRect(&rectOld, pWndClipTo, &dc, pWnd);
                }
                OnChangedRect(rectOld);
                if (msg.message != WM_LBUTTONUP)
                    moved = true;
            }
            if (m_bFinalErase) {
                done = true;
                break;
            }
            if (!rectOld.EqualRect(&m_rect)) {
                m_bErase = FALSE;
                DrawTrackerRect(&m_rect, pWndClipTo, &dc, pWnd);
            }
            break;
        }
        case WM_KEYDOWN:
            if (msg.wParam != VK_ESCAPE)
                break;
            [[fallthrough]];
        case WM_RBUTTONDOWN:
            if (moved) {
                m_bErase = TRUE;
                m_bFinalErase = TRUE;
                DrawTrackerRect(&m_rect, pWndClipTo, &dc, pWnd);
            }
            m_rect = rectSave;
            done = true;
            break;
        default:
            ::DispatchMessage(&msg);
            break;
        }
    }
    dc.Detach();
    ::ReleaseDC(drawWnd, hdc);
    if (::GetCapture() == pWnd->GetSafeHwnd())
        ::ReleaseCapture();
    if (!moved)
        m_rect = rectSave;
    if (!m_bAllowInvert)
        m_rect.NormalizeRect();
    m_bFinalErase = FALSE;
    m_bErase = FALSE;
    return !rectSave.EqualRect(&m_rect);
}
