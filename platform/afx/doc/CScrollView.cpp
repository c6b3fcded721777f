// A view that scrolls its document under the window, or scales it to the window.
#include "platform/afx/doc/CScrollView.h"

#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/VirtualKeys.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_SIZE()
    ON_MESSAGE(WM_HSCROLL, &CScrollView::OnHScrollMessage)
    ON_MESSAGE(WM_VSCROLL, &CScrollView::OnVScrollMessage)
    ON_WM_MOUSEWHEEL()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault = {0, 0};

namespace {

// A logical size in screen pixels under a mapping mode, as lengths.
CSize ToDevice(int nMapMode, SIZE size)
{
    CWindowDC dc(nullptr);
    dc.SetMapMode(nMapMode);
    CSize s(size);
    dc.LPtoDP(&s);
    return CSize(std::abs(s.cx), std::abs(s.cy));
}

} // namespace

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    if (nMapMode < MM_TEXT || nMapMode > MM_TWIPS || sizeTotal.cx < 0 || sizeTotal.cy < 0) {
        return;   // only fixed modes scroll; isotropic and anisotropic views scale to fit
    }
    int oldMode = m_nMapMode;
    m_nMapMode = nMapMode;
    m_totalLog = sizeTotal;
    m_totalDev = ToDevice(nMapMode, sizeTotal);
    m_pageDev = ToDevice(nMapMode, sizePage);
    m_lineDev = ToDevice(nMapMode, sizeLine);
    if (m_pageDev.cx == 0) {
        m_pageDev.cx = m_totalDev.cx / 10;
    }
    if (m_pageDev.cy == 0) {
        m_pageDev.cy = m_totalDev.cy / 10;
    }
    if (m_lineDev.cx == 0) {
        m_lineDev.cx = std::max(m_pageDev.cx / 10, 1);
    }
    if (m_lineDev.cy == 0) {
        m_lineDev.cy = std::max(m_pageDev.cy / 10, 1);
    }
    if (m_hWnd) {
        UpdateBars();
        if (oldMode != m_nMapMode) {
            Invalidate(TRUE);
        }
    }
}

void CScrollView::SetScaleToFitSize(SIZE sizeTotal)
{
    m_nMapMode = MM_SCALETOFIT;
    m_totalLog = sizeTotal;
    if (m_hWnd) {
        m_totalDev = ClientSize();
        UpdateBars();
        Invalidate(TRUE);
    }
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const
{
    nMapMode = m_nMapMode;
    sizeTotal = m_totalDev;
    sizePage = m_pageDev;
    sizeLine = m_lineDev;
}

CSize CScrollView::ClientSize() const
{
    CRect rect;
    GetClientRect(&rect);
    return rect.Size();
}

CPoint CScrollView::GetDeviceScrollPosition() const
{
    return CPoint(::GetScrollPos(m_hWnd, SB_HORZ), ::GetScrollPos(m_hWnd, SB_VERT));
}

CPoint CScrollView::GetScrollPosition() const
{
    if (m_nMapMode == MM_SCALETOFIT) {
        return CPoint(0, 0);
    }
    CPoint pt = GetDeviceScrollPosition();
    if (m_nMapMode != MM_TEXT) {
        CWindowDC dc(nullptr);
        dc.SetMapMode(m_nMapMode);
        dc.DPtoLP(&pt);
    }
    return pt;
}

void CScrollView::ScrollToPosition(POINT pt)
{
    if (m_nMapMode == MM_SCALETOFIT) {
        return;
    }
    CPoint dev(pt);
    if (m_nMapMode != MM_TEXT) {
        CWindowDC dc(nullptr);
        dc.SetMapMode(m_nMapMode);
        dc.LPtoDP(&dev);
    }
    // The fixed modes count y upwards; the device position is its length.
    dev.y = std::abs(dev.y);
    ScrollToDevicePosition(dev);
}

void CScrollView::CenterOnPoint(CPoint ptCenter)
{
    CSize client = ClientSize();
    CPoint dev = GetDeviceScrollPosition();
    ScrollToDevicePosition(CPoint(dev.x + ptCenter.x - client.cx / 2, dev.y + ptCenter.y - client.cy / 2));
}

void CScrollView::ScrollToDevicePosition(POINT ptDev)
{
    CPoint old = GetDeviceScrollPosition();
    auto clamp = [this](int bar, int pos) {
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        if (!(GetStyle() & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) || !::GetScrollInfo(m_hWnd, bar, &si)) {
            return 0;
        }
        int last = si.nMax - std::max(static_cast<int>(si.nPage) - 1, 0);
        return std::clamp(pos, si.nMin, std::max(si.nMin, last));
    };
    int x = clamp(SB_HORZ, ptDev.x);
    int y = clamp(SB_VERT, ptDev.y);
    ::SetScrollPos(m_hWnd, SB_HORZ, x, TRUE);
    ::SetScrollPos(m_hWnd, SB_VERT, y, TRUE);
    if (x != old.x || y != old.y) {
        ::ScrollWindow(m_hWnd, old.x - x, old.y - y, nullptr, nullptr);
    }
}

void CScrollView::UpdateBars()
{
    if (!m_hWnd) {
        return;
    }
    // The whole client area, as it would be without bars, decides which bars are needed.
    CRect client;
    GetClientRect(&client);
    DWORD style = GetStyle();
    CSize avail = client.Size();
    if (style & WS_VSCROLL) {
        avail.cx += ::GetSystemMetrics(SM_CXVSCROLL);
    }
    if (style & WS_HSCROLL) {
        avail.cy += ::GetSystemMetrics(SM_CYHSCROLL);
    }
    bool needH = false;
    bool needV = false;
    if (m_nMapMode != MM_SCALETOFIT) {
        needH = m_totalDev.cx > avail.cx;
        needV = m_totalDev.cy > avail.cy;
        // One bar may take away the room that makes the other necessary.
        if (needH && !needV) {
            needV = m_totalDev.cy > avail.cy - ::GetSystemMetrics(SM_CYHSCROLL);
        } else if (needV && !needH) {
            needH = m_totalDev.cx > avail.cx - ::GetSystemMetrics(SM_CXVSCROLL);
        }
    }
    CSize view(avail.cx - (needV ? ::GetSystemMetrics(SM_CXVSCROLL) : 0),
               avail.cy - (needH ? ::GetSystemMetrics(SM_CYHSCROLL) : 0));
    CPoint pos = GetDeviceScrollPosition();
    auto set = [this](int bar, bool need, int total, int page, int position) {
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (need) {
            si.nMax = total - 1;
            si.nPage = static_cast<UINT>(std::max(page, 0));
            si.nPos = std::clamp(position, 0, std::max(total - page, 0));
        }
        ::SetScrollInfo(m_hWnd, bar, &si, TRUE);
        ::ShowScrollBar(m_hWnd, bar, need ? TRUE : FALSE);
        return need ? si.nPos : 0;
    };
    int x = set(SB_HORZ, needH, m_totalDev.cx, view.cx, pos.x);
    int y = set(SB_VERT, needV, m_totalDev.cy, view.cy, pos.y);
    if (x != pos.x || y != pos.y) {
        Invalidate(TRUE);
    }
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_nMapMode == MM_SCALETOFIT) {
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(m_totalLog);
        CSize extent = pDC->IsPrinting() ? CSize(pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES))
                                         : ClientSize();
        pDC->SetViewportExt(extent);
    } else if (m_nMapMode > 0) {
        pDC->SetMapMode(m_nMapMode);
    }
    CPoint origin(0, 0);
    if (!pDC->IsPrinting() && m_nMapMode != MM_SCALETOFIT) {
        origin = -GetDeviceScrollPosition();
        if (m_bCenter) {
            CSize client = ClientSize();
            if (m_totalDev.cx < client.cx) {
                origin.x = (client.cx - m_totalDev.cx) / 2;
            }
            if (m_totalDev.cy < client.cy) {
                origin.y = (client.cy - m_totalDev.cy) / 2;
            }
        }
    }
    pDC->SetViewportOrg(origin);
    CView::OnPrepareDC(pDC, pInfo);
}

BOOL CScrollView::OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll)
{
    CPoint pos = GetDeviceScrollPosition();
    int x = pos.x;
    int y = pos.y;
    auto step = [](UINT code, int value, int line, int page, int thumb) {
        switch (code) {
        case SB_TOP: return 0;
        case SB_BOTTOM: return INT_MAX / 2;
        case SB_LINEUP: return value - line;
        case SB_LINEDOWN: return value + line;
        case SB_PAGEUP: return value - page;
        case SB_PAGEDOWN: return value + page;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: return thumb;
        default: return value;
        }
    };
    x = step(nScrollCode & 0xFF, x, m_lineDev.cx, m_pageDev.cx, static_cast<int>(nPos));
    y = step((nScrollCode >> 8) & 0xFF, y, m_lineDev.cy, m_pageDev.cy, static_cast<int>(nPos));
    return OnScrollBy(CSize(x - pos.x, y - pos.y), bDoScroll);
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll)
{
    CPoint pos = GetDeviceScrollPosition();
    auto limit = [this](int bar) {
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        if (!(GetStyle() & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) || !::GetScrollInfo(m_hWnd, bar, &si) ||
            si.nMax <= si.nMin) {
            return 0;
        }
        return std::max(si.nMax - std::max(static_cast<int>(si.nPage) - 1, 0), 0);
    };
    int x = std::clamp(static_cast<int>(static_cast<long long>(pos.x) + sizeScroll.cx), 0, limit(SB_HORZ));
    int y = std::clamp(static_cast<int>(static_cast<long long>(pos.y) + sizeScroll.cy), 0, limit(SB_VERT));
    if (x == pos.x && y == pos.y) {
        return FALSE;
    }
    if (bDoScroll) {
        ScrollToDevicePosition(CPoint(x, y));
        UpdateWindow();
    }
    return TRUE;
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_nMapMode == MM_SCALETOFIT) {
        m_totalDev = CSize(cx, cy);
        Invalidate(TRUE);
    } else {
        UpdateBars();
    }
}

LRESULT CScrollView::OnHScrollMessage(WPARAM wParam, LPARAM)
{
    OnScroll(MAKEWORD(LOWORD(wParam), 0xFF), HIWORD(wParam));
    return 0;
}

LRESULT CScrollView::OnVScrollMessage(WPARAM wParam, LPARAM)
{
    OnScroll(MAKEWORD(0xFF, LOWORD(wParam)), HIWORD(wParam));
    return 0;
}

BOOL CScrollView::OnMouseWheel(UINT nFlags, short zDelta, CPoint)
{
    // Ctrl and Shift wheels belong to zooming and the like, not to scrolling.
    if (nFlags & (MK_SHIFT | MK_CONTROL)) {
        return FALSE;
    }
    bool vertical = (GetStyle() & WS_VSCROLL) != 0;
    UINT lines = 3;
    ::SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    int page = vertical ? m_pageDev.cy : m_pageDev.cx;
    int line = vertical ? m_lineDev.cy : m_lineDev.cx;
    int move = lines == WHEEL_PAGESCROLL ? (zDelta > 0 ? -page : page)
                                         : -zDelta * static_cast<int>(lines) * line / WHEEL_DELTA;
    move = std::clamp(move, -std::max(page, 1), std::max(page, 1));
    return OnScrollBy(vertical ? CSize(0, move) : CSize(move, 0), TRUE);
}

void CScrollView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    UINT code = 0xFFFF;
    switch (nChar) {
    case VK_UP: code = MAKEWORD(0xFF, SB_LINEUP); break;
    case VK_DOWN: code = MAKEWORD(0xFF, SB_LINEDOWN); break;
    case VK_LEFT: code = MAKEWORD(SB_LINEUP, 0xFF); break;
    case VK_RIGHT: code = MAKEWORD(SB_LINEDOWN, 0xFF); break;
    case VK_PRIOR: code = MAKEWORD(0xFF, SB_PAGEUP); break;
    case VK_NEXT: code = MAKEWORD(0xFF, SB_PAGEDOWN); break;
    case VK_HOME: code = MAKEWORD(SB_TOP, SB_TOP); break;
    case VK_END: code = MAKEWORD(SB_TOP, SB_BOTTOM); break;
    default: CView::OnKeyDown(nChar, nRepCnt, nFlags); return;
    }
    OnScroll(code, 0);
}
