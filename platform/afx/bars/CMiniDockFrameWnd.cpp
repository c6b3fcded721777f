#include "platform/afx/bars/CMiniDockFrameWnd.h"

#include "platform/afx/bars/CDockContext.h"

IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CFrameWnd)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_NCLBUTTONDOWN, &CMiniDockFrameWnd::OnNcLButtonDown)
    ON_MESSAGE(WM_NCLBUTTONDBLCLK, &CMiniDockFrameWnd::OnNcLButtonDblClk)
END_MESSAGE_MAP()

CMiniDockFrameWnd::CMiniDockFrameWnd()
{
    m_wndDockBar.m_bAutoDelete = FALSE;   // a member, freed with the frame
}

CMiniDockFrameWnd::~CMiniDockFrameWnd() = default;

BOOL CMiniDockFrameWnd::Create(CWnd* pParent, DWORD dwBarStyle)
{
    if (!CreateEx(kFrameExStyle, AfxControlBarClass(), "", kFrameStyle, CRect(0, 0, 0, 0), pParent, 0))
        return FALSE;
    if (pParent)
        m_hWndOwner = pParent->m_hWnd;
    const DWORD align = (dwBarStyle & CBRS_ORIENT_HORZ) ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT;
    // The dock bar belongs to the frame it floats for: that frame's saved layout lists it.
    CFrameWnd* site = pParent && pParent->IsFrameWnd() ? static_cast<CFrameWnd*>(pParent) : nullptr;
    m_wndDockBar.m_pDockSite = site;
    if (!m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE | align, AFX_IDW_DOCKBAR_FLOAT)) {
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
    for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); ++i)
        if (CControlBar* bar = m_wndDockBar.GetDockedControlBar(static_cast<int>(i)))
            return bar;
    return nullptr;
}

void CMiniDockFrameWnd::RecalcMiniLayout()
{
    if (!m_hWnd || !m_wndDockBar.m_hWnd)
        return;
    const CSize size = m_wndDockBar.CalcFixedLayout(FALSE, (m_wndDockBar.m_dwStyle & CBRS_ORIENT_HORZ) != 0);
    m_wndDockBar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    CRect rect(0, 0, size.cx, size.cy);
    ::AdjustWindowRectEx(&rect, GetStyle(), FALSE, GetExStyle());
    SetWindowPos(nullptr, 0, 0, rect.Width(), rect.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The bar inside takes its floating size.
    if (CControlBar* bar = TheBar(); bar && m_wndDockBar.GetDockedCount() == 1)
        if (CString title; bar->GetWindowText(title), !title.IsEmpty())
            SetWindowText(title);
}

void CMiniDockFrameWnd::OnClose()
{
    // Closing hides the bars; the frame goes when the last one is hidden.
    if (m_wndDockBar.m_pDockSite) {
        for (INT_PTR i = m_wndDockBar.m_arrBars.GetSize() - 1; i >= 0; --i)
            if (CControlBar* bar = m_wndDockBar.GetDockedControlBar(static_cast<int>(i)))
                m_wndDockBar.m_pDockSite->ShowControlBar(bar, FALSE, FALSE);
    }
    ShowWindow(SW_HIDE);
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDown(WPARAM wParam, LPARAM lParam)
{
    CControlBar* bar = TheBar();
    if (wParam == HTCAPTION && bar && bar->m_pDockContext) {
        // The caption drags the bar, not the window: the bar may dock on the way.
        bar->m_pDockContext->StartDrag(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
        return 0;
    }
    return Default();
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDblClk(WPARAM wParam, LPARAM)
{
    CControlBar* bar = TheBar();
    if (wParam == HTCAPTION && bar && bar->m_pDockContext) {
        bar->m_pDockContext->ToggleDocking();
        return 0;
    }
    return Default();
}
