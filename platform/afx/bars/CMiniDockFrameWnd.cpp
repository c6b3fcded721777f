#include "platform/afx/bars/CMiniDockFrameWnd.h"

#include "platform/afx/AfxRes.h"
#include "platform/afx/bars/CDockContext.h"
#include "platform/win/MenuApi.h"

IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CMiniFrameWnd)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_NCLBUTTONDOWN, &CMiniDockFrameWnd::OnNcLButtonDown)
    ON_MESSAGE(WM_NCLBUTTONDBLCLK, &CMiniDockFrameWnd::OnNcLButtonDblClk)
    ON_MESSAGE(WM_PARENTNOTIFY, &CMiniDockFrameWnd::OnParentNotify)
END_MESSAGE_MAP()

namespace {

// The string that may rename the Close item of a floating frame's system menu.
constexpr UINT kIdsHideBar = 61457;

} // namespace

CDockBar* AfxFloatingDockBar(CWnd* pMiniFrame)
{
    if (!pMiniFrame || !pMiniFrame->m_hWnd)
        return nullptr;
    HWND child = ::GetDlgItem(pMiniFrame->m_hWnd, AFX_IDW_DOCKBAR_FLOAT);
    CWnd* wnd = child ? CWnd::FromHandlePermanent(child) : nullptr;
    auto* dock = dynamic_cast<CDockBar*>(wnd);
    return dock && dock->IsDockBar() ? dock : nullptr;
}

CMiniDockFrameWnd::CMiniDockFrameWnd()
{
    m_wndDockBar.m_bAutoDelete = FALSE;   // a member, freed with the frame
}

CMiniDockFrameWnd::~CMiniDockFrameWnd() = default;

DWORD CMiniDockFrameWnd::FrameStyleFor(DWORD dwBarStyle)
{
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_SYNCACTIVE | MFS_4THICKFRAME | MFS_BLOCKSYSMENU |
                  FWS_SNAPTOBARS;
    if (!(dwBarStyle & CBRS_SIZE_DYNAMIC))
        style |= MFS_MOVEFRAME;
    return style;
}

BOOL CMiniDockFrameWnd::Create(CWnd* pParent, DWORD dwBarStyle)
{
    m_bInRecalcLayout = TRUE;   // nothing to lay out before the dock bar is there
    const BOOL made = CMiniFrameWnd::CreateEx(0, nullptr, "", FrameStyleFor(dwBarStyle), CRect(0, 0, 0, 0), pParent);
    m_bInRecalcLayout = FALSE;
    if (!made)
        return FALSE;
    // The frame sizes round its bars: the system menu offers no sizing of its own.
    if (HMENU menu = ::GetSystemMenu(m_hWnd, FALSE)) {
        for (UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
            ::DeleteMenu(menu, command, MF_BYCOMMAND);
        CString hide;
        if (hide.LoadString(kIdsHideBar)) {
            ::DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND);
            ::AppendMenu(menu, MF_STRING, SC_CLOSE, hide);
        }
    }
    // The dock bar belongs to the frame it floats for: that frame's saved layout lists it.
    CFrameWnd* site = pParent && pParent->IsFrameWnd() ? static_cast<CFrameWnd*>(pParent) : nullptr;
    const DWORD align = (dwBarStyle & CBRS_ORIENT_VERT) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
    m_wndDockBar.m_pDockSite = site;
    if (!m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE | align | (dwBarStyle & CBRS_FLOAT_MULTI),
                             AFX_IDW_DOCKBAR_FLOAT)) {
        DestroyWindow();
        return FALSE;
    }
    if (site)
        site->AddControlBar(&m_wndDockBar);
    return TRUE;
}

void CMiniDockFrameWnd::PostNcDestroy()
{
    delete this;
}

CControlBar* CMiniDockFrameWnd::TheBar() const
{
    CDockBar* dock = AfxFloatingDockBar(const_cast<CMiniDockFrameWnd*>(this));
    if (!dock)
        return nullptr;
    for (INT_PTR i = 0; i < dock->m_arrBars.GetSize(); ++i)
        if (CControlBar* bar = dock->GetDockedControlBar(static_cast<int>(i)))
            return bar;
    return nullptr;
}

void CMiniDockFrameWnd::RecalcLayout(BOOL bNotify)
{
    if (m_bInRecalcLayout || !m_hWnd)
        return;
    CFrameWnd::RecalcLayout(bNotify);
    // The caption names what floats in it.
    if (CDockBar* dock = AfxFloatingDockBar(this)) {
        CString title;
        dock->GetWindowText(title);
        CString current;
        GetWindowText(current);
        if (current != title)
            SetWindowText(title);
    }
}

void CMiniDockFrameWnd::OnClose()
{
    // Closing hides the bars; the frame stays for them to come back to.
    CDockBar* dock = AfxFloatingDockBar(this);
    if (dock && dock->m_pDockSite) {
        for (INT_PTR i = dock->m_arrBars.GetSize() - 1; i >= 0; --i)
            if (CControlBar* bar = dock->GetDockedControlBar(static_cast<int>(i)))
                dock->m_pDockSite->ShowControlBar(bar, FALSE, FALSE);
    }
    ShowWindow(SW_HIDE);
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDown(WPARAM wParam, LPARAM lParam)
{
    const CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CControlBar* bar = TheBar();
    CDockBar* dock = AfxFloatingDockBar(this);
    const bool multi = dock && (dock->m_dwStyle & CBRS_FLOAT_MULTI);
    if (wParam == HTCAPTION) {
        if (CWnd* top = GetTopLevelParent())
            top->ActivateTopParent();
        // The caption drags the bar, not the window: the bar may dock on the way. Several bars
        // in one frame move with the frame.
        if (!multi && bar && bar->m_pDockContext) {
            bar->m_pDockContext->StartDrag(pt);
            return 0;
        }
    } else if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT && bar && bar->m_pDockContext) {
        if (CWnd* top = GetTopLevelParent())
            top->ActivateTopParent();
        bar->m_pDockContext->StartResize(static_cast<int>(wParam), pt);
        return 0;
    }
    return Default();
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDblClk(WPARAM wParam, LPARAM)
{
    CControlBar* bar = TheBar();
    CDockBar* dock = AfxFloatingDockBar(this);
    if (wParam == HTCAPTION) {
        if (CWnd* top = GetTopLevelParent())
            top->ActivateTopParent();
        if (!(dock && (dock->m_dwStyle & CBRS_FLOAT_MULTI)) && bar && bar->m_pDockContext) {
            bar->m_pDockContext->ToggleDocking();
            return 0;
        }
    }
    return Default();
}

LRESULT CMiniDockFrameWnd::OnParentNotify(WPARAM wParam, LPARAM)
{
    // A click into a bar brings its frame above the other floating frames.
    const UINT event = LOWORD(wParam);
    if (event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN)
        ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return Default();
}
