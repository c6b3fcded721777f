#include "platform/afx/bars/CDockContext.h"

#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/VirtualKeys.h"

#include <algorithm>
#include <utility>

namespace {

// Outline thickness: a docked outline is thin, a floating one as thick as a sizing frame.
constexpr SIZE kDockedFrame{2, 2};
constexpr SIZE kFloatFrame{3, 3};
// How far from a docked bar it floats when toggled without a remembered place.
constexpr int kFloatOffset = 16;

} // namespace

CDockContext::CDockContext(CControlBar* pBar) : m_pBar(pBar)
{
    m_uMRUDockID = 0;
    m_rectMRUDockPos.SetRectEmpty();
    m_dwMRUFloatStyle = 0;
    m_ptMRUFloatPos = CPoint(0, 0);
}

CDockContext::~CDockContext()
{
    if (m_pDC) {
        ::ReleaseDC(nullptr, m_pDC->Detach());
        delete m_pDC;
    }
}

void CDockContext::AdjustWindowForFloat(CRect& rect)
{
    // The outline is the floating frame's window round the bar as its client area.
    ::AdjustWindowRectEx(&rect, CMiniDockFrameWnd::kFrameStyle, FALSE, CMiniDockFrameWnd::kFrameExStyle);
}

void CDockContext::InitLoop()
{
    m_rectLast.SetRectEmpty();
    m_sizeLast = CSize(0, 0);
    m_bDitherLast = FALSE;
    m_bFlip = FALSE;
    m_bForceFrame = FALSE;
    m_dwOverDockStyle = 0;
    if (!m_pDC) {
        m_pDC = new CDC;
        m_pDC->Attach(::GetDC(nullptr));
    }
}

void CDockContext::StartDrag(CPoint pt)
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (!m_pDockSite || !m_pBar->m_hWnd)
        return;
    InitLoop();
    m_dwDockStyle = m_pBar->m_dwDockStyle;
    m_dwStyle = m_pBar->GetBarStyle();

    CRect rect;
    m_pBar->GetWindowRect(&rect);
    m_ptLast = pt;
    // The outlines start where the bar is; each has the bar's size in that state.
    const CSize horz = m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
    const CSize vert = m_pBar->CalcDynamicLayout(-1, LM_VERTDOCK);
    const CSize floating = m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
    m_rectDragHorz = CRect(rect.TopLeft(), horz);
    m_rectDragVert = CRect(rect.TopLeft(), vert);
    m_rectFrameDragHorz = CRect(rect.TopLeft(), floating);
    m_rectFrameDragVert = CRect(rect.TopLeft(), CSize(floating.cy, floating.cx));
    AdjustWindowForFloat(m_rectFrameDragHorz);
    AdjustWindowForFloat(m_rectFrameDragVert);
    if (m_pBar->IsFloating()) {
        // A floating bar's outline is its frame as it stands.
        if (CWnd* mini = m_pBar->GetParentFrame()) {
            CRect frame;
            mini->GetWindowRect(&frame);
            m_rectFrameDragVert.OffsetRect(frame.TopLeft() - m_rectFrameDragHorz.TopLeft());
            m_rectFrameDragHorz = frame;
        }
    }
    // Keep the grabbed point inside a floating outline narrower than the bar.
    for (CRect* r : {&m_rectFrameDragHorz, &m_rectFrameDragVert})
        if (!r->PtInRect(pt))
            r->OffsetRect(pt.x - r->left - r->Width() / 2, 0);

    m_bDragging = TRUE;
    m_dwOverDockStyle = CanDock();
    DrawFocusRect();
    Track();
}

void CDockContext::StartResize(int nHitTest, CPoint pt)
{
    m_pDockSite = m_pBar->m_pDockSite;
    CFrameWnd* mini = m_pBar->m_hWnd ? m_pBar->GetParentFrame() : nullptr;
    if (!mini || !m_pBar->IsFloating() || nHitTest < HTLEFT || nHitTest > HTBOTTOMRIGHT)
        return;
    InitLoop();
    m_bDragging = FALSE;
    m_nHitTest = nHitTest;
    m_dwStyle = m_pBar->GetBarStyle();
    m_ptLast = pt;
    mini->GetWindowRect(&m_rectRequestedSize);
    m_rectFrameDragHorz = m_rectRequestedSize;
    m_rectFrameDragVert = m_rectRequestedSize;
    DrawFocusRect();
    Track();
}

namespace {

// Which edges of a frame a sizing hit code moves; corners move the top or bottom edge only, as
// the floating frames' sizing edges do.
struct Edges {
    bool left, right, top, bottom;
};
Edges EdgesOf(int nHitTest)
{
    switch (nHitTest) {
    case HTLEFT:
        return {true, false, false, false};
    case HTRIGHT:
        return {false, true, false, false};
    case HTTOP:
    case HTTOPLEFT:
    case HTTOPRIGHT:
        return {false, false, true, false};
    default:
        return {false, false, false, true};
    }
}

} // namespace

void CDockContext::Stretch(CPoint pt)
{
    const Edges edges = EdgesOf(m_nHitTest);
    const CPoint offset = pt - m_ptLast;
    m_ptLast = pt;
    if (edges.left)
        m_rectRequestedSize.left += offset.x;
    if (edges.right)
        m_rectRequestedSize.right += offset.x;
    if (edges.top)
        m_rectRequestedSize.top += offset.y;
    if (edges.bottom)
        m_rectRequestedSize.bottom += offset.y;

    // The bar answers with the size it takes for the width (or height) asked; the edge across
    // from the one dragged stays put.
    CRect nonClient(0, 0, 0, 0);
    AdjustWindowForFloat(nonClient);
    const bool horzEdge = edges.left || edges.right;
    const int length = horzEdge ? m_rectRequestedSize.Width() - nonClient.Width()
                                : m_rectRequestedSize.Height() - nonClient.Height();
    const CSize size = m_pBar->CalcDynamicLayout(std::max(length, 0), horzEdge ? LM_HORZ : LM_HORZ | LM_LENGTHY);
    CRect frame(0, 0, size.cx, size.cy);
    AdjustWindowForFloat(frame);
    CRect& outline = m_rectFrameDragHorz;
    const CRect old = outline;
    outline.left = edges.left ? old.right - frame.Width() : old.left;
    outline.top = edges.top ? old.bottom - frame.Height() : old.top;
    outline.right = outline.left + frame.Width();
    outline.bottom = outline.top + frame.Height();
    m_rectFrameDragVert = outline;
    DrawFocusRect();
}

void CDockContext::EndResize()
{
    CancelLoop();
    CFrameWnd* mini = m_pBar->m_hWnd ? m_pBar->GetParentFrame() : nullptr;
    if (!mini || !m_pBar->IsFloating())
        return;
    // The width the outline showed becomes the bar's floating width.
    CRect nonClient(0, 0, 0, 0);
    AdjustWindowForFloat(nonClient);
    const CRect& outline = m_rectFrameDragHorz;
    m_pBar->CalcDynamicLayout(outline.Width() - nonClient.Width(), LM_HORZ | LM_COMMIT);
    mini->SetWindowPos(nullptr, outline.left, outline.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    mini->RecalcLayout();
}

DWORD CDockContext::CanDock()
{
    if (m_bForceFrame || !m_pDockSite)
        return 0;
    bool horzFirst = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    if (m_bFlip)
        horzFirst = !horzFirst;
    const std::pair<const CRect*, DWORD> tries[2] = {
        {&m_rectDragHorz, m_dwDockStyle & CBRS_ORIENT_HORZ},
        {&m_rectDragVert, m_dwDockStyle & CBRS_ORIENT_VERT},
    };
    for (int i = 0; i < 2; ++i) {
        const auto& t = tries[horzFirst ? i : 1 - i];
        if (t.second)
            if (DWORD side = m_pDockSite->CanDock(*t.first, t.second))
                return side;
    }
    return 0;
}

CDockBar* CDockContext::GetDockBar(DWORD dwOverDockStyle)
{
    if (!dwOverDockStyle || !m_pDockSite)
        return nullptr;
    CDockBar* bar = nullptr;
    const CRect& rect = (dwOverDockStyle & CBRS_ORIENT_HORZ) ? m_rectDragHorz : m_rectDragVert;
    m_pDockSite->CanDock(rect, dwOverDockStyle, &bar);
    return bar;
}

void CDockContext::DrawFocusRect(BOOL bRemoveRect)
{
    if (!m_pDC)
        return;
    CRect rect;
    CSize size;
    if (m_dwOverDockStyle) {
        rect = (m_dwOverDockStyle & CBRS_ORIENT_HORZ) ? m_rectDragHorz : m_rectDragVert;
        size = kDockedFrame;
    } else {
        bool horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0 || (m_dwStyle & CBRS_FLOATING);
        if (m_bFlip)
            horz = !horz;
        rect = horz ? m_rectFrameDragHorz : m_rectFrameDragVert;
        size = kFloatFrame;
    }
    if (bRemoveRect)
        size = CSize(0, 0);
    m_pDC->DrawDragRect(&rect, size, &m_rectLast, m_sizeLast);
    m_rectLast = rect;
    m_sizeLast = size;
}

void CDockContext::Move(CPoint pt)
{
    const CPoint offset = pt - m_ptLast;
    m_rectDragHorz.OffsetRect(offset);
    m_rectDragVert.OffsetRect(offset);
    m_rectFrameDragHorz.OffsetRect(offset);
    m_rectFrameDragVert.OffsetRect(offset);
    m_ptLast = pt;
    m_dwOverDockStyle = CanDock();
    DrawFocusRect();
}

void CDockContext::OnKey(int nChar, BOOL bDown)
{
    if (nChar == VK_CONTROL) {
        if (m_bForceFrame == bDown)
            return;
        m_bForceFrame = bDown;
    } else if (nChar == VK_SHIFT) {
        if (m_bFlip == bDown)
            return;
        m_bFlip = bDown;
    } else {
        return;
    }
    m_dwOverDockStyle = CanDock();
    DrawFocusRect();
}

void CDockContext::CancelLoop()
{
    DrawFocusRect(TRUE);   // takes the outline away
    if (CWnd::GetCapture() == m_pBar)
        ::ReleaseCapture();
    m_bDragging = FALSE;
    if (m_pDC) {
        ::ReleaseDC(nullptr, m_pDC->Detach());
        delete m_pDC;
        m_pDC = nullptr;
    }
}

void CDockContext::EndDrag()
{
    const DWORD over = m_dwOverDockStyle;
    CancelLoop();
    if (!m_pDockSite)
        return;
    if (over) {
        CDockBar* dockBar = GetDockBar(over);
        if (!dockBar)
            return;
        const CRect rect = (over & CBRS_ORIENT_HORZ) ? m_rectDragHorz : m_rectDragVert;
        m_uMRUDockID = static_cast<UINT>(dockBar->GetDlgCtrlID());
        m_rectMRUDockPos = rect;
        m_pDockSite->DockControlBar(m_pBar, dockBar, &rect);
    } else {
        RememberDockedPlace();
        bool horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0 || (m_dwStyle & CBRS_FLOATING);
        if (m_bFlip)
            horz = !horz;
        const CRect& frame = horz ? m_rectFrameDragHorz : m_rectFrameDragVert;
        m_ptMRUFloatPos = frame.TopLeft();
        m_dwMRUFloatStyle = horz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT;
        m_dwMRUFloatStyle |= m_dwDockStyle & CBRS_FLOAT_MULTI;
        m_pDockSite->FloatControlBar(m_pBar, m_ptMRUFloatPos, m_dwMRUFloatStyle);
    }
    AfxRecalcFrameLayout(m_pDockSite, FALSE);
}

BOOL CDockContext::Track()
{
    if (::GetCapture() != nullptr)
        return FALSE;   // someone else holds the mouse
    m_pBar->SetCapture();
    while (CWnd::GetCapture() == m_pBar) {
        MSG msg;
        if (!::GetMessage(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        switch (msg.message) {
        case WM_LBUTTONUP:
            if (m_bDragging)
                EndDrag();
            else
                EndResize();
            return TRUE;
        case WM_MOUSEMOVE: {
            POINT pt{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            ::ClientToScreen(msg.hwnd, &pt);
            if (m_bDragging)
                Move(pt);
            else
                Stretch(pt);
            break;
        }
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (m_bDragging)
                OnKey(static_cast<int>(msg.wParam), msg.message == WM_KEYDOWN);
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
                CancelLoop();
                return FALSE;
            }
            break;
        case WM_RBUTTONDOWN:
            CancelLoop();
            return FALSE;
        default:
            ::DispatchMessage(&msg);
            break;
        }
    }
    // The capture went elsewhere: the drag is off.
    CancelLoop();
    return FALSE;
}

void CDockContext::RememberDockedPlace()
{
    // Only a bar leaving a side has a docked place to remember.
    if (!m_pBar->m_pDockBar || m_pBar->IsFloating())
        return;
    m_uMRUDockID = static_cast<UINT>(m_pBar->m_pDockBar->GetDlgCtrlID());
    m_pBar->GetWindowRect(&m_rectMRUDockPos);
}

void CDockContext::ToggleDocking()
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (!m_pDockSite)
        return;
    if (m_pBar->IsFloating()) {
        // Back to the side it came from, where its placeholder kept its place.
        CDockBar* dockBar = nullptr;
        if (m_uMRUDockID)
            dockBar = static_cast<CDockBar*>(m_pDockSite->GetControlBar(m_uMRUDockID));
        if (dockBar && dockBar->IsDockBar()) {
            CRect rect = m_rectMRUDockPos;
            m_pDockSite->ReDockControlBar(m_pBar, dockBar, rect.IsRectEmpty() ? nullptr : &rect);
        } else {
            m_pDockSite->DockControlBar(m_pBar);
        }
    } else {
        CRect rect;
        m_pBar->GetWindowRect(&rect);
        RememberDockedPlace();
        CPoint pt = m_ptMRUFloatPos;
        if (m_dwMRUFloatStyle == 0) {
            pt = rect.TopLeft() + CSize(kFloatOffset, kFloatOffset);
            m_dwMRUFloatStyle = CBRS_ALIGN_TOP | (m_pBar->m_dwDockStyle & CBRS_FLOAT_MULTI);
        }
        m_pDockSite->FloatControlBar(m_pBar, pt, m_dwMRUFloatStyle);
    }
    AfxRecalcFrameLayout(m_pDockSite, FALSE);
}
