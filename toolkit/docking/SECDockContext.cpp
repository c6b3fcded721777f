#include "toolkit/docking/SECDockContext.h"

#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/frame/CMiniFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/win/Cursor.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/docking/SECDockingFrame.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/res/ToolkitRes.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A captioned, thick-framed mini frame's borders round a client rectangle.
void AddMiniFrameBorders(CRect& rect)
{
    ::AdjustWindowRectEx(&rect, WS_POPUP | WS_CAPTION | WS_THICKFRAME, FALSE, WS_EX_TOOLWINDOW);
}

SECDockingFrame* DockingFrameOf(CFrameWnd* frame)
{
    return dynamic_cast<SECDockingFrame*>(frame);
}

BOOL IsEdgeDockBarId(UINT id)
{
    return id >= AFX_IDW_DOCKBAR_TOP && id <= AFX_IDW_DOCKBAR_BOTTOM;
}

} // namespace

SECDockContext::SECDockContext(CControlBar* pBar) : CDockContext(pBar)
{
    m_sizeMinFloat.cx = ::GetSystemMetrics(SM_CXMENUSIZE) +
                        2 * (::GetSystemMetrics(SM_CXFRAME) + ::GetSystemMetrics(SM_CXBORDER));
    m_sizeMinFloat.cy = ::GetSystemMetrics(SM_CYSMCAPTION) +
                        2 * (::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYBORDER));
    m_sizeMaxFloat.cx = ::GetSystemMetrics(SM_CXFULLSCREEN);
    m_sizeMaxFloat.cy = ::GetSystemMetrics(SM_CYFULLSCREEN);
    m_ptMRUFloatPos = CPoint(-1, -1);
}

SECDockContext::~SECDockContext()
{
    // The bar leaves its dock bar with its context.
    if (m_pBar && m_pBar->m_pDockBar) {
        CDockBar* dock = m_pBar->m_pDockBar;
        if (dock->IsKindOf(RUNTIME_CLASS(SECDockBar)))
            static_cast<SECDockBar*>(dock)->RemoveControlBar(m_pBar, -1, 0);
        else
            dock->RemoveControlBar(m_pBar);
        m_pBar->m_pDockBar = nullptr;
    }
}

void SECDockContext::AdjustFrameRect(CRect& rect) const
{
    // A bar already in a captioned mini frame measures as that frame; otherwise the borders of
    // the frame it will float in are added, less the toolkit border.
    CWnd* parentFrame = m_pBar->GetParentFrame();
    const BOOL inCaptionedMini = m_pBar->IsFloating() && parentFrame &&
                                 parentFrame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)) &&
                                 (parentFrame->GetStyle() & WS_CAPTION);
    if (!inCaptionedMini)
        AddMiniFrameBorders(rect);
    const SECGlobalData& data = SECGetGlobalData();
    rect.DeflateRect(data.m_cxBorder2, data.m_cyBorder2);
}

void SECDockContext::StartDrag(CPoint pt)
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (!m_pDockSite || !m_pBar->m_hWnd)
        return;
    m_ptStart = pt;
    m_bDragging = TRUE;
    m_nInsertIndex = -1;
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd)
        ::SendMessage(main->m_hWnd, WM_SETMESSAGESTRING, SEC_IDS_PRESSCTRL, 0);
    else if (m_pDockSite->m_hWnd)
        ::SendMessage(m_pDockSite->m_hWnd, WM_SETMESSAGESTRING, SEC_IDS_PRESSCTRL, 0);
    InitLoop();
    m_bDragging = TRUE;
    m_dwDockStyle = m_pBar->m_dwDockStyle;
    m_dwStyle = m_pBar->GetBarStyle();

    CRect rect;
    m_pBar->GetWindowRect(&rect);
    m_ptLast = pt;
    if (m_dwStyle & CBRS_SIZE_DYNAMIC) {
        const CSize horz = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_HORZDOCK);
        const CSize vert = m_pBar->CalcDynamicLayout(0, LM_VERTDOCK);
        const CSize floating = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
        m_rectDragHorz = CRect(rect.TopLeft(), horz);
        m_rectDragVert = CRect(rect.TopLeft(), vert);
        m_rectFrameDragHorz = CRect(rect.TopLeft(), floating);
        m_rectFrameDragVert = CRect(rect.TopLeft(), floating);
    } else if (m_dwStyle & CBRS_SIZE_FIXED) {
        const CSize horz = m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
        const CSize vert = m_pBar->CalcDynamicLayout(-1, LM_VERTDOCK);
        m_rectDragHorz = m_rectFrameDragHorz = CRect(rect.TopLeft(), horz);
        m_rectDragVert = m_rectFrameDragVert = CRect(rect.TopLeft(), vert);
    } else {
        // The present orientation keeps the bar's rectangle; the other is centred on the cursor
        // along its long side.
        if (m_dwStyle & CBRS_ORIENT_HORZ) {
            m_rectDragHorz = rect;
            const CSize vert = m_pBar->CalcDynamicLayout(-1, LM_VERTDOCK);
            m_rectDragVert = CRect(CPoint(pt.x - vert.cx / 2, rect.top), vert);
        } else {
            m_rectDragVert = rect;
            const CSize horz = m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
            m_rectDragHorz = CRect(CPoint(rect.left, pt.y - horz.cy / 2), horz);
        }
        m_rectFrameDragHorz = m_rectDragHorz;
        m_rectFrameDragVert = m_rectDragVert;
    }
    AdjustFrameRect(m_rectFrameDragHorz);
    AdjustFrameRect(m_rectFrameDragVert);
    if (m_pBar->IsFloating())
        if (CWnd* mini = m_pBar->GetParentFrame()) {
            CRect frame;
            mini->GetWindowRect(&frame);
            m_rectFrameDragVert.OffsetRect(frame.TopLeft() - m_rectFrameDragHorz.TopLeft());
            m_rectFrameDragHorz = frame;
        }
    // The cursor lies inside each rectangle.
    for (CRect* r : {&m_rectDragHorz, &m_rectDragVert, &m_rectFrameDragHorz, &m_rectFrameDragVert}) {
        if (r->IsRectEmpty())
            continue;
        if (pt.x < r->left || pt.x >= r->right)
            r->OffsetRect(pt.x - r->left - r->Width() / 2, 0);
        if (pt.y < r->top || pt.y >= r->bottom)
            r->OffsetRect(0, pt.y - r->top - r->Height() / 2);
    }
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDockHere();
    DrawTrackRect();
    Track();
}

BOOL SECDockContext::IsSmallFloatingMove() const
{
    return m_pBar->IsFloating() && std::abs(m_ptLast.x - m_ptStart.x) + std::abs(m_ptLast.y - m_ptStart.y) < 5;
}

DWORD SECDockContext::CanDockHere()
{
    if (!m_pDockSite)
        return 0;
    BOOL horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    if (m_bFlip)
        horz = !horz;
    const DWORD horzSides = m_dwDockStyle & CBRS_ORIENT_HORZ;
    const DWORD vertSides = m_dwDockStyle & CBRS_ORIENT_VERT;
    if (horz && horzSides) {
        if (DWORD side = m_pDockSite->CanDock(m_rectDragHorz, horzSides))
            return side;
    }
    if (vertSides) {
        CDockBar* dock = nullptr;
        if (DWORD side = m_pDockSite->CanDock(m_rectDragVert, vertSides, &dock)) {
            CRect window;
            dock->GetWindowRect(&window);
            window.InflateRect(window.Width() == 0 ? 1 : 0, window.Height() == 0 ? 1 : 0);
            if (window.PtInRect(m_ptLast))
                return side;
        }
    }
    if (m_bFlip)
        return 0;
    // Both rectangles must find the same side.
    for (DWORD sides : {horzSides, vertSides}) {
        if (!sides)
            continue;
        const DWORD a = m_pDockSite->CanDock(m_rectDragVert, sides);
        const DWORD b = m_pDockSite->CanDock(m_rectDragHorz, sides);
        if (a && a == b)
            return a;
    }
    return 0;
}

void SECDockContext::DrawTrackRect(BOOL bRemove)
{
    CRect rect;
    CSize size;
    BOOL solid = FALSE;
    if (m_dwOverDockStyle && !IsSmallFloatingMove()) {
        rect = (m_dwOverDockStyle & CBRS_ORIENT_HORZ) ? m_rectDragHorz : m_rectDragVert;
        CDockBar* dock = GetDockBar(m_dwOverDockStyle);
        if (dock && dock->IsKindOf(RUNTIME_CLASS(SECDockBar)))
            rect = static_cast<SECDockBar*>(dock)->GetDockingRect(m_pBar, rect, m_ptLast, m_nInsertIndex,
                                                                 m_rectDockLast, m_ptDockLast);
        size = CSize(2, 2);
        solid = TRUE;
    } else {
        BOOL horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0 || (m_dwStyle & CBRS_SIZE_DYNAMIC);
        if (m_bFlip)
            horz = !horz;
        rect = horz ? m_rectFrameDragHorz : m_rectFrameDragVert;
        size = CSize(::GetSystemMetrics(SM_CXFRAME) - 1, ::GetSystemMetrics(SM_CYFRAME) - 1);
        m_nInsertIndex = -1;
    }
    if (SECGetGlobalData().m_bWin4 && m_dwOverDockStyle)
        rect.DeflateRect(1, 1);
    if (bRemove)
        size = CSize(0, 0);
    // A place to dock at is outlined solid, a floating frame half-toned; the last outline goes
    // with the brush it was drawn with.
    CBrush* white = CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    CBrush* halftone = CDC::GetHalftoneBrush();
    if (m_pDC)
        m_pDC->DrawDragRect(&rect, size, &m_rectLast, m_sizeLast, solid ? white : halftone,
                            m_bDitherLast ? halftone : white);
    m_rectLast = rect;
    m_sizeLast = size;
    m_bDitherLast = !solid;
}

void SECDockContext::Move(CPoint pt)
{
    const CPoint offset = pt - m_ptLast;
    m_rectDragHorz.OffsetRect(offset);
    m_rectDragVert.OffsetRect(offset);
    m_rectFrameDragHorz.OffsetRect(offset);
    m_rectFrameDragVert.OffsetRect(offset);
    m_ptLast = pt;
    m_dwOverDockStyle = (::GetKeyState(VK_CONTROL) < 0 || m_bForceFrame) ? 0 : CanDockHere();
    DrawTrackRect();
}

BOOL SECDockContext::Track()
{
    if (::GetCapture())
        return FALSE;
    m_pBar->SetCapture();
    if (CWnd::GetCapture() != m_pBar) {
        CancelLoop();
        return FALSE;
    }
    for (;;) {
        MSG msg;
        if (!::GetMessage(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            CancelLoop();
            return FALSE;
        }
        if (CWnd::GetCapture() != m_pBar) {
            CancelLoop();
            return FALSE;
        }
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
                CancelLoop();
                return FALSE;
            }
            if (m_bDragging) {
                if (msg.wParam == VK_CONTROL || msg.wParam == VK_SHIFT) {
                    const BOOL down = msg.message == WM_KEYDOWN;
                    if (msg.wParam == VK_CONTROL)
                        m_bForceFrame = down;
                    else
                        m_bFlip = down;
                    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDockHere();
                    DrawTrackRect();
                }
            }
            break;
        case WM_MOUSEMOVE: {
            POINT pt{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            ::ClientToScreen(msg.hwnd, &pt);
            if (m_bDragging)
                Move(pt);
            else
                Stretch(pt);
            break;
        }
        case WM_LBUTTONUP:
            if (m_bDragging)
                EndDrag();
            else
                EndResize();
            return TRUE;
        case WM_RBUTTONDOWN:
            CancelLoop();
            return FALSE;
        default:
            ::DispatchMessage(&msg);
            break;
        }
    }
}

void SECDockContext::CancelLoop()
{
    DrawTrackRect(TRUE);
    if (CWnd::GetCapture() == m_pBar)
        ::ReleaseCapture();
    if (m_pDC) {
        ::ReleaseDC(nullptr, m_pDC->Detach());
        delete m_pDC;
        m_pDC = nullptr;
    }
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd)
        ::SendMessage(main->m_hWnd, WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    else if (m_pDockSite && m_pDockSite->m_hWnd)
        ::SendMessage(m_pDockSite->m_hWnd, WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
}

void SECDockContext::EndDrag()
{
    const DWORD over = m_dwOverDockStyle;
    const BOOL small = IsSmallFloatingMove();
    CancelLoop();
    if (!m_pDockSite) {
        m_bDragging = FALSE;
        return;
    }
    SECDockingFrame* host = DockingFrameOf(m_pDockSite);
    if (over && !small) {
        CDockBar* dock = GetDockBar(over);
        if (dock) {
            CRect rect = (over & CBRS_ORIENT_HORZ) ? m_rectDragHorz : m_rectDragVert;
            if (dock->IsKindOf(RUNTIME_CLASS(SECDockBar)) && m_nInsertIndex >= 0)
                rect = m_rectLast;
            const UINT id = static_cast<UINT>(dock->GetDlgCtrlID());
            if (IsEdgeDockBarId(id)) {
                m_uMRUDockID = id;
                CRect client = rect;
                dock->ScreenToClient(&client);
                m_rectMRUDockPos = client;
            }
            if (m_pBar->IsFloating() && dock->IsKindOf(RUNTIME_CLASS(SECDockBar)))
                static_cast<SECDockBar*>(dock)->m_pArrivedBar = m_pBar;
            if (host)
                host->DockBarInFrame(m_pBar, dock, &rect);
            else
                m_pDockSite->DockControlBar(m_pBar, dock, &rect);
            m_pDockSite->RecalcLayout(TRUE);
        }
    } else if (!(small && m_pBar->IsFloating())) {
        // Leaving a side: the side and place are kept for the way back.
        if (m_pBar->m_pDockBar && !m_pBar->IsFloating()) {
            const UINT id = static_cast<UINT>(m_pBar->m_pDockBar->GetDlgCtrlID());
            if (IsEdgeDockBarId(id)) {
                m_uMRUDockID = id;
                CRect r;
                m_pBar->GetWindowRect(&r);
                m_pBar->m_pDockBar->ScreenToClient(&r);
                m_rectMRUDockPos = r;
            }
            if (SECControlBar* sec = AsSEC(m_pBar))
                sec->m_fPctWidth2 = sec->m_fPctWidth;
        }
        BOOL horz;
        if (m_dwStyle & CBRS_SIZE_DYNAMIC)
            horz = TRUE;
        else
            horz = ((m_dwStyle & CBRS_ORIENT_HORZ) != 0) != (m_bFlip != FALSE);
        m_dwMRUFloatStyle = (m_pBar->GetBarStyle() & CBRS_FLOAT_MULTI) | (horz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT);
        const CRect& frame = horz ? m_rectFrameDragHorz : m_rectFrameDragVert;
        m_ptMRUFloatPos = frame.TopLeft();
        if (host)
            host->FloatBarInFrame(m_pBar, m_ptMRUFloatPos, m_dwMRUFloatStyle);
        else
            m_pDockSite->FloatControlBar(m_pBar, m_ptMRUFloatPos, m_dwMRUFloatStyle);
    }
    m_bDragging = FALSE;
}

void SECDockContext::StartResize(int nHitTest, CPoint pt)
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (!m_pDockSite || !m_pBar->m_hWnd)
        return;
    m_bDragging = FALSE;
    InitLoop();
    m_dwStyle = m_pBar->GetBarStyle();
    m_nHitTest = nHitTest;
    m_ptLast = pt;
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    const CSize barSize = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
    // A floating frame is resized from where it is, its own borders round the bar; what they
    // add is kept, so that the frame the bar is given back is the frame the user dragged out.
    CFrameWnd* floating = m_pBar->IsFloating() ? m_pBar->GetParentFrame() : nullptr;
    if (floating && floating->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd))) {
        floating->GetWindowRect(&m_rectFrameDrag);
    } else {
        m_rectFrameDrag = CRect(rect.TopLeft(), barSize);
        AdjustFrameRect(m_rectFrameDrag);
    }
    m_sizeResizeExtra = m_rectFrameDrag.Size() - barSize;
    m_rectFrameDragHorz = m_rectFrameDrag;
    m_dwOverDockStyle = 0;
    DrawTrackRect();
    Track();
}

void SECDockContext::Stretch(CPoint pt)
{
    const CPoint offset = pt - m_ptLast;
    CRect frame = m_rectFrameDrag;
    const BOOL left = m_nHitTest == HTLEFT || m_nHitTest == HTTOPLEFT || m_nHitTest == HTBOTTOMLEFT;
    const BOOL right = m_nHitTest == HTRIGHT || m_nHitTest == HTTOPRIGHT || m_nHitTest == HTBOTTOMRIGHT;
    const BOOL top = m_nHitTest == HTTOP || m_nHitTest == HTTOPLEFT || m_nHitTest == HTTOPRIGHT;
    const BOOL bottom = m_nHitTest == HTBOTTOM || m_nHitTest == HTBOTTOMLEFT || m_nHitTest == HTBOTTOMRIGHT;
    SECControlBar* sec = AsSEC(m_pBar);
    // The inside of the frame: what the bar is asked to take.
    const int extraW = m_sizeResizeExtra.cx, extraH = m_sizeResizeExtra.cy;
    if (sec && !(sec->m_dwExStyle & CBRS_EX_UNIDIRECTIONAL)) {
        CRect next = frame;
        if (left)
            next.left += offset.x;
        if (right)
            next.right += offset.x;
        if (top)
            next.top += offset.y;
        if (bottom)
            next.bottom += offset.y;
        if (next.Width() < m_sizeMinFloat.cx || next.Width() > m_sizeMaxFloat.cx) {
            next.left = frame.left;
            next.right = frame.right;
        }
        if (next.Height() < m_sizeMinFloat.cy || next.Height() > m_sizeMaxFloat.cy) {
            next.top = frame.top;
            next.bottom = frame.bottom;
        }
        m_pBar->CalcDynamicLayout(next.Width() - extraW, LM_HORZ | LM_COMMIT);
        m_pBar->CalcDynamicLayout(next.Height() - extraH, LM_HORZ | LM_LENGTHY | LM_COMMIT);
        const CSize size = m_pBar->CalcDynamicLayout(-1, LM_HORZ);
        const int w = size.cx + extraW, h = size.cy + extraH;
        if (left)
            frame.left = frame.right - w;
        else
            frame.right = frame.left + w;
        if (top)
            frame.top = frame.bottom - h;
        else
            frame.bottom = frame.top + h;
    } else if (left || right) {
        const int width = frame.Width() + (left ? -offset.x : offset.x);
        const CSize size = m_pBar->CalcDynamicLayout(width - extraW, LM_HORZ);
        if (left)
            frame.left = frame.right - (size.cx + extraW);
        else
            frame.right = frame.left + size.cx + extraW;
        frame.bottom = frame.top + size.cy + extraH;
    } else if (top || bottom) {
        const int height = frame.Height() + (top ? -offset.y : offset.y);
        const CSize size = m_pBar->CalcDynamicLayout(height - extraH, LM_HORZ | LM_LENGTHY);
        if (top)
            frame.top = frame.bottom - (size.cy + extraH);
        else
            frame.bottom = frame.top + size.cy + extraH;
        frame.right = frame.left + size.cx + extraW;
    }
    m_rectFrameDrag = frame;
    m_rectFrameDragHorz = frame;
    m_ptLast = pt;
    DrawTrackRect();
}

void SECDockContext::EndResize()
{
    CancelLoop();
    m_pBar->CalcDynamicLayout(m_rectFrameDrag.Width() - m_sizeResizeExtra.cx, LM_HORZ | LM_COMMIT);
    SECControlBar* sec = AsSEC(m_pBar);
    if (sec && !(sec->m_dwExStyle & CBRS_EX_UNIDIRECTIONAL))
        m_pBar->CalcDynamicLayout(m_rectFrameDrag.Height() - m_sizeResizeExtra.cy, LM_HORZ | LM_LENGTHY | LM_COMMIT);
    const DWORD style = CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC | (m_pBar->GetBarStyle() & CBRS_FLOAT_MULTI);
    if (!m_pDockSite)
        return;
    if (SECDockingFrame* host = DockingFrameOf(m_pDockSite))
        host->FloatBarInFrame(m_pBar, m_rectFrameDrag.TopLeft(), style);
    else
        m_pDockSite->FloatControlBar(m_pBar, m_rectFrameDrag.TopLeft(), style);
}

void SECDockContext::ToggleDocking()
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (!m_pDockSite)
        return;
    SECDockingFrame* host = DockingFrameOf(m_pDockSite);
    SECControlBar* sec = AsSEC(m_pBar);
    if (m_pBar->IsFloating()) {
        if (!(m_pBar->m_dwDockStyle & CBRS_ALIGN_ANY))
            return;
        if (sec)
            sec->m_fPctWidth = sec->m_fPctWidth2;
        CDockBar* dock = m_uMRUDockID ? static_cast<CDockBar*>(m_pDockSite->GetControlBar(m_uMRUDockID)) : nullptr;
        if (dock && !dock->IsDockBar())
            dock = nullptr;
        CRect rect = m_rectMRUDockPos;
        LPCRECT lpRect = nullptr;
        if (dock && !rect.IsRectEmpty()) {
            dock->ClientToScreen(&rect);
            if (m_pBar->GetBarStyle() & CBRS_BORDER_TOP)
                rect.right += 1;
            lpRect = &rect;
        }
        if (host)
            host->ReDockBarInFrame(m_pBar, dock, lpRect);
        else
            m_pDockSite->ReDockControlBar(m_pBar, dock, lpRect);
        m_pDockSite->RecalcLayout(TRUE);
        return;
    }
    if (sec)
        sec->m_fPctWidth2 = sec->m_fPctWidth;
    if (m_pBar->m_pDockBar && !m_pBar->IsFloating()) {
        const UINT id = static_cast<UINT>(m_pBar->m_pDockBar->GetDlgCtrlID());
        if (IsEdgeDockBarId(id)) {
            m_uMRUDockID = id;
            CRect r;
            m_pBar->GetWindowRect(&r);
            m_pBar->m_pDockBar->ScreenToClient(&r);
            m_rectMRUDockPos = r;
        }
    }
    CPoint pt = m_ptMRUFloatPos;
    if (pt.x < 0 || pt.y < 0) {
        pt = m_rectMRUDockPos.TopLeft();
        if (CWnd* parent = m_pBar->GetParent())
            parent->ClientToScreen(&pt);
    }
    DWORD style = m_dwMRUFloatStyle;
    if (!(style & CBRS_ALIGN_ANY))
        style |= CBRS_ALIGN_TOP;
    if (host)
        host->FloatBarInFrame(m_pBar, pt, style);
    else
        m_pDockSite->FloatControlBar(m_pBar, pt, style);
}

void SECDockContext::FloatInMainWindow()
{
    m_pDockSite = m_pBar->m_pDockSite;
    SECDockingFrame* host = DockingFrameOf(m_pDockSite);
    if (!host)
        return;
    m_bBeingMoved = TRUE;
    SECControlBar* sec = AsSEC(m_pBar);
    const DWORD style = m_dwMRUFloatStyle ? m_dwMRUFloatStyle : CBRS_ALIGN_TOP;
    if (!(sec && sec->IsFloatingInMDIChild())) {
        if (sec && !m_pBar->IsFloating())
            sec->m_fPctWidth2 = sec->m_fPctWidth;
        m_bPrevFloating = m_pBar->IsFloating();
        if (!m_pBar->IsFloating() && m_pBar->m_pDockBar) {
            const UINT id = static_cast<UINT>(m_pBar->m_pDockBar->GetDlgCtrlID());
            if (IsEdgeDockBarId(id)) {
                m_uMRUDockID = id;
                CRect r;
                m_pBar->GetWindowRect(&r);
                m_pBar->m_pDockBar->ScreenToClient(&r);
                m_rectMRUDockPos = r;
            }
        }
        host->FloatBarInMDIChild(m_pBar, m_ptMDIFloatPos, style);
    } else if (m_bPrevFloating) {
        if (sec)
            sec->m_fPctWidth = sec->m_fPctWidth2;
        host->FloatBarInFrame(m_pBar, m_ptMRUFloatPos, style);
    } else {
        if (sec)
            sec->m_fPctWidth = sec->m_fPctWidth2;
        CDockBar* dock = m_uMRUDockID ? static_cast<CDockBar*>(m_pDockSite->GetControlBar(m_uMRUDockID)) : nullptr;
        CRect rect = m_rectMRUDockPos;
        LPCRECT lpRect = nullptr;
        if (dock && !rect.IsRectEmpty()) {
            dock->ClientToScreen(&rect);
            lpRect = &rect;
        }
        host->ReDockBarInFrame(m_pBar, dock, lpRect);
        m_pDockSite->RecalcLayout(TRUE);
    }
    m_bBeingMoved = FALSE;
}
