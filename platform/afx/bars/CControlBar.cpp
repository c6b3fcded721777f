#include "platform/afx/bars/CControlBar.h"

#include "platform/afx/AfxRes.h"
#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/bars/CDockContext.h"
#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The timer that notices the mouse has left a bar showing a fly-by prompt.
constexpr UINT_PTR kFlyByTimer = 0xE000;
constexpr UINT kFlyByInterval = 200;
// Width of each border line pair of a bordered side.
constexpr int kBorder = 2;

} // namespace

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_MESSAGE(WM_NCCALCSIZE, &CControlBar::OnNcCalcSize)
    ON_MESSAGE(WM_NCPAINT, &CControlBar::OnNcPaint)
    ON_MESSAGE(WM_NCHITTEST, &CControlBar::OnNcHitTestMsg)
    ON_WM_TIMER()
    ON_MESSAGE(WM_SIZEPARENT, &CControlBar::OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, &CControlBar::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

void AfxSetMessageString(CWnd* pFrame, UINT nID)
{
    if (pFrame && pFrame->m_hWnd)
        ::SendMessage(pFrame->m_hWnd, WM_SETMESSAGESTRING, nID ? nID : AFX_IDS_IDLEMESSAGE, 0);
}

CControlBar::CControlBar() = default;

CControlBar::~CControlBar()
{
    // With its window still there the bar is leaving a living frame; without it, OnDestroy
    // has already taken it off the frame's and the dock bar's lists.
    if (m_hWnd) {
        if (m_pDockBar)
            m_pDockBar->ForgetBar(this);
        if (m_pDockSite)
            m_pDockSite->RemoveControlBar(this);
    }
    delete m_pDockContext;
    m_pDockContext = nullptr;
    std::free(m_pData);
    m_pData = nullptr;
}

BOOL CControlBar::AllocElements(int nElements, int cbElement)
{
    std::free(m_pData);
    m_pData = nullptr;
    m_nCount = 0;
    if (nElements <= 0 || cbElement <= 0)
        return nElements == 0;
    m_pData = std::calloc(static_cast<size_t>(nElements), static_cast<size_t>(cbElement));
    if (!m_pData)
        return FALSE;
    m_nCount = nElements;
    return TRUE;
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    if (m_dwStyle == dwStyle)
        return;
    const DWORD old = m_dwStyle;
    m_dwStyle = dwStyle;
    OnBarStyleChange(old, dwStyle);
}

void CControlBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle)
{
    // Borders and the gripper live in the non-client area: a change of either reshapes it.
    const DWORD shape = CBRS_BORDER_ANY | CBRS_BORDER_3D | CBRS_GRIPPER | CBRS_ALIGN_ANY | CBRS_FLOATING;
    // Tips asked for after the bar was made come as they would have at its making.
    if (m_hWnd && ((dwOldStyle ^ dwNewStyle) & CBRS_TOOLTIPS))
        EnableToolTips((dwNewStyle & CBRS_TOOLTIPS) != 0);
    if (m_hWnd && ((dwOldStyle ^ dwNewStyle) & shape))
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_cxLeftBorder = std::max(cxLeft, 0);
    m_cyTopBorder = std::max(cyTop, 0);
    m_cxRightBorder = std::max(cxRight, 0);
    m_cyBottomBorder = std::max(cyBottom, 0);
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    CFrameWnd* frame = GetParentFrame();
    // A floating bar sits in a mini frame owned by the frame it docks in.
    if (m_pDockBar && IsFloating() && m_pDockSite)
        return frame ? frame : m_pDockSite;
    return frame ? frame : m_pDockSite;
}

BOOL CControlBar::IsFloating() const
{
    if (IsDockBar())
        return static_cast<const CDockBar*>(this)->m_bFloating;
    return m_pDockBar && m_pDockBar->m_bFloating;
}

BOOL CControlBar::IsVisible() const
{
    if (m_nStateFlags & delayHide)
        return FALSE;
    return (m_nStateFlags & delayShow) || (m_hWnd && (GetStyle() & WS_VISIBLE));
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
    if (!m_pDockContext)
        m_pDockContext = new CDockContext(this);
    // The frame receives the bar's notifications even while it floats in a mini frame.
    if (m_hWndOwner == nullptr && m_hWnd)
        m_hWndOwner = ::GetParent(m_hWnd);
}

// ---- Layout ----

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size;
    size.cx = (bStretch && bHorz) ? 32767 : 0;
    size.cy = (bStretch && !bHorz) ? 32767 : 0;
    return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD nMode)
{
    return CalcFixedLayout(nMode & LM_STRETCH, nMode & LM_HORZ);
}

namespace {

// The non-client part of a bar: its border lines and, docked, its gripper.
CRect NonClientInset(DWORD dwStyle, BOOL bHorz)
{
    CRect inset(0, 0, 0, 0);
    // A floating bar's frame is its border.
    if (dwStyle & CBRS_FLOATING)
        dwStyle &= ~static_cast<DWORD>(CBRS_BORDER_ANY);
    if (dwStyle & CBRS_BORDER_LEFT)
        inset.left += kBorder;
    if (dwStyle & CBRS_BORDER_TOP)
        inset.top += kBorder;
    if (dwStyle & CBRS_BORDER_RIGHT)
        inset.right += kBorder;
    if (dwStyle & CBRS_BORDER_BOTTOM)
        inset.bottom += kBorder;
    if ((dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) == CBRS_GRIPPER) {
        if (bHorz)
            inset.left += AFX_CX_BORDER_GRIPPER + AFX_CX_GRIPPER + AFX_CX_BORDER_GRIPPER;
        else
            inset.top += AFX_CY_BORDER_GRIPPER + AFX_CY_GRIPPER + AFX_CY_BORDER_GRIPPER;
    }
    return inset;
}

} // namespace

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
    const CRect inset = NonClientInset(m_dwStyle, bHorz);
    rect.left += inset.left;
    rect.top += inset.top;
    rect.right -= inset.right;
    rect.bottom -= inset.bottom;
    // The margins run along the bar: a vertical bar turns them round.
    if (bHorz) {
        rect.left += m_cxLeftBorder;
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
    } else {
        rect.left += m_cyTopBorder;
        rect.top += m_cxLeftBorder;
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
    }
}

LRESULT CControlBar::OnNcCalcSize(WPARAM, LPARAM lParam)
{
    auto* rect = reinterpret_cast<RECT*>(lParam);   // the first rectangle of either form
    const CRect inset = NonClientInset(m_dwStyle, (m_dwStyle & CBRS_ORIENT_HORZ) != 0);
    rect->left += inset.left;
    rect->top += inset.top;
    rect->right = std::max(rect->left, rect->right - inset.right);
    rect->bottom = std::max(rect->top, rect->bottom - inset.bottom);
    return 0;
}

LRESULT CControlBar::OnNcHitTestMsg(WPARAM, LPARAM)
{
    // The borders and the gripper are handles of the bar like its client area: a press there
    // starts a drag as anywhere else.
    return HTCLIENT;
}

// ---- Delayed show and hide ----

void CControlBar::DelayShow(BOOL bShow)
{
    m_nStateFlags &= ~static_cast<UINT>(delayHide | delayShow);
    const bool visible = m_hWnd && (GetStyle() & WS_VISIBLE);
    if (bShow && !visible)
        m_nStateFlags |= delayShow;
    else if (!bShow && visible)
        m_nStateFlags |= delayHide;
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout)
{
    DWORD dwStyle = (m_dwStyle & ~static_cast<DWORD>(WS_VISIBLE)) | (GetStyle() & WS_VISIBLE);
    if (!(m_nStateFlags & (delayHide | delayShow)))
        return dwStyle;
    UINT swp = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (m_nStateFlags & delayHide) {
        dwStyle &= ~static_cast<DWORD>(WS_VISIBLE);
        swp |= SWP_HIDEWINDOW;
    } else {
        dwStyle |= WS_VISIBLE;
        swp |= SWP_SHOWWINDOW;
    }
    // A query only looks ahead: the change waits for the layout that moves the windows.
    if (lpLayout && lpLayout->hDWP) {
        m_nStateFlags &= ~static_cast<UINT>(delayHide | delayShow);
        lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, m_hWnd, nullptr, 0, 0, 0, 0, swp);
    } else if (!lpLayout) {
        m_nStateFlags &= ~static_cast<UINT>(delayHide | delayShow);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, swp);
    }
    return dwStyle;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const DWORD dwStyle = RecalcDelayShow(layout);
    if (!(dwStyle & WS_VISIBLE) || !(dwStyle & CBRS_ALIGN_ANY))
        return 0;

    CRect rect(layout->rect);
    const CSize avail = rect.Size();
    DWORD mode = layout->bStretch ? LM_STRETCH : 0;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && (m_dwStyle & CBRS_FLOATING))
        mode |= LM_HORZ | LM_MRUWIDTH;
    else if (dwStyle & CBRS_ORIENT_HORZ)
        mode |= LM_HORZ | LM_HORZDOCK;
    else
        mode |= LM_VERTDOCK;
    CSize size = CalcDynamicLayout(-1, mode);
    size.cx = std::clamp<LONG>(size.cx, 0, std::max<LONG>(avail.cx, 0));
    size.cy = std::clamp<LONG>(size.cy, 0, std::max<LONG>(avail.cy, 0));

    if (dwStyle & CBRS_ORIENT_HORZ) {
        layout->sizeTotal.cy += size.cy;
        layout->sizeTotal.cx = std::max(layout->sizeTotal.cx, size.cx);
        if (dwStyle & CBRS_ALIGN_TOP) {
            layout->rect.top += size.cy;
        } else {
            rect.top = rect.bottom - size.cy;
            layout->rect.bottom -= size.cy;
        }
    } else {
        layout->sizeTotal.cx += size.cx;
        layout->sizeTotal.cy = std::max(layout->sizeTotal.cy, size.cy);
        if (dwStyle & CBRS_ALIGN_LEFT) {
            layout->rect.left += size.cx;
        } else {
            rect.left = rect.right - size.cx;
            layout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    if (layout->hDWP)
        AfxRepositionWindow(layout, m_hWnd, &rect);
    return 0;
}

void CControlBar::RecalcParentLayout(BOOL bDelay)
{
    CFrameWnd* frame = GetParentFrame();
    if (!frame)
        return;
    AfxRecalcFrameLayout(frame, bDelay);
}

// ---- Creation and destruction ----

int CControlBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    if (m_dwStyle & CBRS_TOOLTIPS)
        EnableToolTips(TRUE);
    // A bar made directly in a frame docks there; one in a mini frame keeps the site it had.
    CWnd* parent = GetParent();
    if (parent && parent->IsFrameWnd() && !m_pDockSite) {
        auto* site = static_cast<CFrameWnd*>(parent);
        // The dock bar of a floating frame, made by whatever class of floating frame, belongs to
        // the frame that owns the floating frame: that frame's saved layout lists it.
        if (IsDockBar() && static_cast<CDockBar*>(this)->m_bFloating && !(parent->GetStyle() & WS_CHILD))
            if (HWND owner = ::GetWindow(parent->m_hWnd, GW_OWNER))
                if (CWnd* ownerWnd = CWnd::FromHandlePermanent(owner); ownerWnd && ownerWnd->IsFrameWnd())
                    site = static_cast<CFrameWnd*>(ownerWnd);
        m_pDockSite = site;
        m_pDockSite->AddControlBar(this);
    }
    return 0;
}

void CControlBar::OnDestroy()
{
    ::KillTimer(m_hWnd, kFlyByTimer);
    if (m_nIDFlyBy) {
        m_nIDFlyBy = 0;
        AfxSetMessageString(m_pDockSite ? m_pDockSite : GetTopLevelFrame(), 0);
    }
    // Nothing may keep pointing at a bar that is gone. Only the entries go: the rest of the
    // dock bar and the frames may be going down with it.
    if (m_pDockBar && !IsDockBar())
        m_pDockBar->ForgetBar(this);
    m_pDockBar = nullptr;
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
    CWnd::OnDestroy();
}

BOOL CControlBar::DestroyWindow()
{
    // A floating bar goes with its mini frame, which would otherwise stay empty on screen.
    if (m_hWnd && IsFloating() && !IsDockBar()) {
        CFrameWnd* mini = GetParentFrame();
        if (mini && mini != m_pDockSite)
            return mini->DestroyWindow();
    }
    return CWnd::DestroyWindow();
}

void CControlBar::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

// ---- Painting ----

void CControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    const DWORD style = m_dwStyle;
    if (!(style & CBRS_BORDER_ANY) || (style & CBRS_FLOATING))
        return;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = (style & CBRS_BORDER_3D) ? ::GetSysColor(COLOR_BTNHIGHLIGHT) : face;
    // Each bordered side is an etched line: shadow outside, highlight (or face) inside.
    const int w = rect.Width(), h = rect.Height();
    if (style & CBRS_BORDER_TOP) {
        pDC->FillSolidRect(rect.left, rect.top, w, 1, shadow);
        pDC->FillSolidRect(rect.left, rect.top + 1, w, 1, light);
    }
    if (style & CBRS_BORDER_BOTTOM) {
        pDC->FillSolidRect(rect.left, rect.bottom - 2, w, 1, shadow);
        pDC->FillSolidRect(rect.left, rect.bottom - 1, w, 1, light);
    }
    if (style & CBRS_BORDER_LEFT) {
        pDC->FillSolidRect(rect.left, rect.top, 1, h, shadow);
        pDC->FillSolidRect(rect.left + 1, rect.top + ((style & CBRS_BORDER_TOP) ? 1 : 0), 1,
                           h - ((style & CBRS_BORDER_TOP) ? 1 : 0) - ((style & CBRS_BORDER_BOTTOM) ? 2 : 0), light);
    }
    if (style & CBRS_BORDER_RIGHT) {
        pDC->FillSolidRect(rect.right - 2, rect.top, 1, h - ((style & CBRS_BORDER_BOTTOM) ? 1 : 0), shadow);
        pDC->FillSolidRect(rect.right - 1, rect.top + ((style & CBRS_BORDER_TOP) ? 1 : 0), 1,
                           h - ((style & CBRS_BORDER_TOP) ? 1 : 0), light);
    }
    if (style & CBRS_BORDER_LEFT)
        rect.left += kBorder;
    if (style & CBRS_BORDER_TOP)
        rect.top += kBorder;
    if (style & CBRS_BORDER_RIGHT)
        rect.right -= kBorder;
    if (style & CBRS_BORDER_BOTTOM)
        rect.bottom -= kBorder;
}

void CControlBar::DrawGripper(CDC* pDC, const CRect& rect)
{
    if ((m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) != CBRS_GRIPPER)
        return;
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    // A raised ridge at the bar's leading end: the handle to drag it by.
    if (m_dwStyle & CBRS_ORIENT_HORZ)
        pDC->Draw3dRect(rect.left + AFX_CX_BORDER_GRIPPER, rect.top + m_cyTopBorder, AFX_CX_GRIPPER,
                        rect.Height() - m_cyTopBorder - m_cyBottomBorder, light, shadow);
    else
        pDC->Draw3dRect(rect.left + m_cyTopBorder, rect.top + AFX_CY_BORDER_GRIPPER,
                        rect.Width() - m_cyTopBorder - m_cyBottomBorder, AFX_CY_GRIPPER, light, shadow);
}

CRect CControlBar::FillNonClientBand(CDC& dc)
{
    CRect window;
    GetWindowRect(&window);
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    client.OffsetRect(-window.left, -window.top);
    window.OffsetRect(-window.left, -window.top);
    dc.ExcludeClipRect(&client);
    dc.FillSolidRect(&window, ::GetSysColor(COLOR_BTNFACE));
    return window;
}

void CControlBar::EraseNonClient()
{
    CWindowDC dc(this);
    CRect inner = FillNonClientBand(dc);
    DrawBorders(&dc, inner);
    DrawGripper(&dc, inner);
}

LRESULT CControlBar::OnNcPaint(WPARAM, LPARAM)
{
    EraseNonClient();
    return 0;
}

void CControlBar::DoPaint(CDC*) {}

void CControlBar::OnPaint()
{
    CPaintDC dc(this);
    DoPaint(&dc);
}

BOOL CControlBar::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

// ---- Mouse ----

void CControlBar::OnLButtonDown(UINT, CPoint pt)
{
    // A press on no item drags the bar; a press on an item belongs to the item.
    if (m_pDockBar && m_pDockContext && OnToolHitTest(pt, nullptr) == -1) {
        ClientToScreen(&pt);
        m_pDockContext->StartDrag(pt);
        return;
    }
    Default();
}

void CControlBar::OnLButtonDblClk(UINT, CPoint pt)
{
    if (m_pDockBar && m_pDockContext && OnToolHitTest(pt, nullptr) == -1) {
        m_pDockContext->ToggleDocking();
        return;
    }
    Default();
}

INT_PTR CControlBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    return CWnd::OnToolHitTest(point, pTI);
}

// ---- Idle updates and prompts ----

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (!(GetStyle() & WS_VISIBLE))
        return 0;
    // The owner answers for the bar's commands even while the bar floats in a mini frame.
    CWnd* owner = GetOwner();
    CFrameWnd* target = (owner && owner->IsFrameWnd()) ? static_cast<CFrameWnd*>(owner) : GetParentFrame();
    if (target)
        OnUpdateCmdUI(target, static_cast<BOOL>(wParam));
    return 0;
}

BOOL CControlBar::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message != WM_MOUSEMOVE || !(m_dwStyle & CBRS_FLYBY))
        return FALSE;
    // Only the bar's own moves (or its children's) are prompts of its items.
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    CPoint pt(static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam)));
    if (pMsg->hwnd != m_hWnd)
        ::MapWindowPoints(pMsg->hwnd, m_hWnd, &pt, 1);
    const INT_PTR hit = OnToolHitTest(pt, nullptr);
    const UINT id = hit == -1 ? 0 : static_cast<UINT>(hit);
    if (id != m_nIDFlyBy) {
        m_nIDFlyBy = id;
        AfxSetMessageString(m_pDockSite ? static_cast<CWnd*>(m_pDockSite) : GetTopLevelFrame(), id);
        if (id)
            ::SetTimer(m_hWnd, kFlyByTimer, kFlyByInterval, nullptr);
        else
            ::KillTimer(m_hWnd, kFlyByTimer);
    }
    return FALSE;
}

void CControlBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kFlyByTimer) {
        Default();
        return;
    }
    POINT pt;
    ::GetCursorPos(&pt);
    CRect rect;
    GetWindowRect(&rect);
    // The mouse has left the bar: the message bar goes back to its idle text.
    if (!rect.PtInRect(pt) && m_nIDFlyBy) {
        m_nIDFlyBy = 0;
        ::KillTimer(m_hWnd, kFlyByTimer);
        AfxSetMessageString(m_pDockSite ? static_cast<CWnd*>(m_pDockSite) : GetTopLevelFrame(), 0);
    }
}
