#include "toolkit/frames/SECDockableFrame.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CDockContext.h"
#include "platform/afx/doc/CCreateContext.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/frames/SECMDIFrameWnd.h"
#include "toolkit/frames/SECMultiDocTemplate.h"

IMPLEMENT_DYNCREATE(SECDockableFrame, SECFrameWnd)

BEGIN_MESSAGE_MAP(SECDockableFrame, SECFrameWnd)
    ON_MESSAGE(WM_ACTIVATE, &SECDockableFrame::OnActivateSEC)
    ON_MESSAGE(WM_MOUSEACTIVATE, &SECDockableFrame::OnMouseActivateSEC)
    ON_MESSAGE(WM_PARENTNOTIFY, &SECDockableFrame::OnParentNotifySEC)
    ON_MESSAGE(WM_DESTROY, &SECDockableFrame::OnDestroySEC)
    ON_MESSAGE(WM_NCLBUTTONDOWN, &SECDockableFrame::OnNcLButtonDownSEC)
    ON_MESSAGE(WM_NCLBUTTONDBLCLK, &SECDockableFrame::OnNcLButtonDblClkSEC)
END_MESSAGE_MAP()

SECDockableFrame::SECDockableFrame() = default;
SECDockableFrame::~SECDockableFrame() = default;

SECMDIFrameWnd* SECDockableFrame::GetMainFrame() const
{
    CFrameWnd* parent = m_hWnd ? GetParentFrame() : nullptr;
    if (parent && parent->IsKindOf(RUNTIME_CLASS(SECMDIFrameWnd)))
        return static_cast<SECMDIFrameWnd*>(parent);
    CWnd* main = AfxGetMainWnd();
    return main && main->IsKindOf(RUNTIME_CLASS(SECMDIFrameWnd)) ? static_cast<SECMDIFrameWnd*>(main) : nullptr;
}

SECControlBar* SECDockableFrame::GetFrameBar() const
{
    CWnd* parent = m_hWnd ? GetParent() : nullptr;
    return parent && parent->IsKindOf(RUNTIME_CLASS(SECControlBar)) ? static_cast<SECControlBar*>(parent) : nullptr;
}

BOOL SECDockableFrame::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewDocTemplate &&
        pContext->m_pNewDocTemplate->IsKindOf(RUNTIME_CLASS(SECMultiDocTemplate))) {
        auto* tmpl = static_cast<SECMultiDocTemplate*>(pContext->m_pNewDocTemplate);
        m_hMenuDocked = tmpl->m_hMenuDocked;
        m_hAccelTable = tmpl->m_hAccelDocked;
    }
    return SECFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

BOOL SECDockableFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!SECFrameWnd::PreCreateWindow(cs))
        return FALSE;
    if (SECGetGlobalData().m_bWin4)
        cs.dwExStyle |= WS_EX_TOOLWINDOW;
    cs.style &= ~static_cast<DWORD>(FWS_PREFIXTITLE);
    return TRUE;
}

void SECDockableFrame::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (SECMDIFrameWnd* main = GetMainFrame())
        main->OnUpdateFrameTitle(TRUE);
    if (!(GetStyle() & FWS_ADDTOTITLE) || !bAddToTitle)
        return;
    CDocument* doc = GetActiveDocument();
    if (!doc)
        return;
    // The title grows with the document's name: no fixed buffer cuts it.
    CString title = doc->GetTitle();
    if (m_nWindow > 0) {
        CString number;
        number.Format(":%d", m_nWindow);
        title += number;
    }
    CString current;
    GetWindowText(current);
    if (current != title)
        SetWindowText(title);
    if (SECControlBar* bar = GetFrameBar()) {
        CString barText;
        bar->GetWindowText(barText);
        if (barText != title)
            bar->SetWindowText(title);
    }
}

void SECDockableFrame::OnUpdateFrameMenuEx(BOOL bActivate, CWnd* pActivateWnd, HMENU hMenuAlt)
{
    SECMDIFrameWnd* main = GetMainFrame();
    if (!main || !main->m_hWndMDIClient)
        return;
    const HWND client = main->m_hWndMDIClient;
    HMENU menu = hMenuAlt;
    if (!menu) {
        menu = m_hMenuDocked;
        if (!menu) {
            ::SendMessage(client, WM_MDIREFRESHMENU, 0, 0);
            return;
        }
    }
    if (bActivate) {
        ::SendMessage(client, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu),
                      reinterpret_cast<LPARAM>(main->GetWindowMenuPopup(menu)));
    } else if (!hMenuAlt || pActivateWnd) {
        ::SendMessage(client, WM_MDIREFRESHMENU, 0, 0);
    } else {
        ::SendMessage(client, WM_MDISETMENU, reinterpret_cast<WPARAM>(main->GetDefaultMenu()), 0);
    }
}

BOOL SECDockableFrame::IsFloating() const
{
    SECControlBar* bar = GetFrameBar();
    return bar && bar->IsFloating();
}

void SECDockableFrame::EnableCaptionButtons(int nMask)
{
    SECFrameWnd::EnableCaptionButtons(nMask);
}

BOOL SECDockableFrame::DestroyWindow()
{
    // The frame goes with its bar.
    if (m_hWnd)
        if (SECControlBar* bar = GetFrameBar())
            return bar->DestroyWindow();
    return SECFrameWnd::DestroyWindow();
}

LRESULT SECDockableFrame::OnActivateSEC(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = Default();
    if (LOWORD(wParam) != WA_INACTIVE)
        if (SECMDIFrameWnd* main = GetMainFrame())
            main->SetActiveDockableFrame(this);
    (void)lParam;
    return result;
}

LRESULT SECDockableFrame::OnMouseActivateSEC(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = DefWindowProc(WM_MOUSEACTIVATE, wParam, lParam);
    if (SECMDIFrameWnd* main = GetMainFrame())
        main->SetActiveDockableFrame(this);
    return result;
}

LRESULT SECDockableFrame::OnParentNotifySEC(WPARAM wParam, LPARAM)
{
    const UINT event = LOWORD(wParam);
    if (event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN)
        if (SECMDIFrameWnd* main = GetMainFrame())
            main->SetActiveDockableFrame(this);
    return Default();
}

LRESULT SECDockableFrame::OnDestroySEC(WPARAM, LPARAM)
{
    if (SECMDIFrameWnd* main = GetMainFrame(); main && main->GetActiveDockableFrame() == this)
        main->SetActiveDockableFrame(nullptr);
    return Default();
}

LRESULT SECDockableFrame::OnNcLButtonDownSEC(WPARAM wParam, LPARAM lParam)
{
    if (SECMDIFrameWnd* main = GetMainFrame())
        main->SetActiveDockableFrame(this);
    SECControlBar* bar = GetFrameBar();
    const CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    if (bar && IsFloating()) {
        // The close box is the frame's own; the rest of the caption drags the floating frame.
        if (wParam == HTCLOSE)
            return Default();
        if (CFrameWnd* mini = bar->GetParentFrame())
            return mini->SendMessage(WM_NCLBUTTONDOWN, wParam, lParam);
    } else if (bar && bar->m_pDockContext &&
               (wParam == HTCAPTION || wParam == HTBORDER || (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT))) {
        bar->m_pDockContext->StartDrag(pt);
        return 0;
    }
    return Default();
}

LRESULT SECDockableFrame::OnNcLButtonDblClkSEC(WPARAM wParam, LPARAM lParam)
{
    SECControlBar* bar = GetFrameBar();
    if (wParam != HTCAPTION || !bar)
        return Default();
    if (IsFloating()) {
        if (CFrameWnd* mini = bar->GetParentFrame())
            return mini->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, lParam);
        return 0;
    }
    // Docked, a double click on the caption is the bar's own: it floats the frame.
    if (bar->m_pDockContext)
        bar->m_pDockContext->ToggleDocking();
    return 0;
}
