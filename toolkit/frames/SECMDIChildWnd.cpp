#include "toolkit/frames/SECMDIChildWnd.h"

#include "toolkit/frames/SECCaptionFeatures.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CCreateContext.h"
#include "platform/afx/doc/CDocTemplate.h"
#include "platform/afx/doc/CView.h"
#include "platform/win/UserApi.h"
#include "toolkit/frames/SECMDIFrameWnd.h"

IMPLEMENT_DYNCREATE(SECMDIChildWnd, CMDIChildWnd)

BEGIN_MESSAGE_MAP(SECMDIChildWnd, CMDIChildWnd)
    ON_MESSAGE(WM_MOUSEACTIVATE, &SECMDIChildWnd::OnMouseActivateSEC)
    ON_MESSAGE(WM_PARENTNOTIFY, &SECMDIChildWnd::OnParentNotifySEC)
    ON_MESSAGE(WM_CHILDACTIVATE, &SECMDIChildWnd::OnChildActivateSEC)
    ON_MESSAGE(WM_NCACTIVATE, &SECMDIChildWnd::OnNcActivateSEC)
    ON_MESSAGE(WM_DESTROY, &SECMDIChildWnd::OnDestroySEC)
END_MESSAGE_MAP()

SECMDIChildWnd::SECMDIChildWnd() : m_pFilterRoot(new SECMsgFilter(this)) {}

SECMDIChildWnd::~SECMDIChildWnd()
{
    delete m_pFilterRoot;
    m_pFilterRoot = nullptr;
}

LRESULT SECMDIChildWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (SECCaptionFeatures::FilterBefore(m_pFilterRoot, message, wParam, lParam, &result) ||
        SECCaptionFeatures::FilterRequest(m_pFilterRoot, message, wParam, lParam, &result))
        return result;
    // The root outlives a message that destroys the window: take it first.
    SECMsgFilter* root = m_pFilterRoot;
    // Maximised, the child's buttons go on the main frame's menu bar; restored, they leave it.
    if (message == WM_SIZE && (wParam == SIZE_RESTORED || wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED))
        if (SECMDIFrameWnd* main = GetSECMDIFrame(); main && main->GetMenuBar())
            main->RefreshMenuBar();
    result = CMDIChildWnd::WindowProc(message, wParam, lParam);
    if (message == WM_MDIACTIVATE)
        OnMDIActivated(wParam, lParam);
    if (message != WM_NCDESTROY && message != WM_DESTROY)
        SECCaptionFeatures::FilterAfter(root, message, wParam, lParam);
    return result;
}

SECMDIFrameWnd* SECMDIChildWnd::GetSECMDIFrame() const
{
    CMDIFrameWnd* frame = GetMDIFrame();
    if (frame && frame->IsKindOf(RUNTIME_CLASS(SECMDIFrameWnd)))
        return static_cast<SECMDIFrameWnd*>(frame);
    CWnd* main = AfxGetMainWnd();
    return main && main->IsKindOf(RUNTIME_CLASS(SECMDIFrameWnd)) ? static_cast<SECMDIFrameWnd*>(main) : nullptr;
}

BOOL SECMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    // A main frame with a menu bar shows the child's menu on the bar, by its id; otherwise the
    // template's shared menu is the child's.
    SECMDIFrameWnd* main = GetSECMDIFrame();
    const BOOL menuBar = main && main->GetMenuBar();
    m_bUsesMenuBar = FALSE;
    if (pContext && pContext->m_pNewDocTemplate) {
        m_hAccelTable = pContext->m_pNewDocTemplate->m_hAccelTable;
        if (menuBar) {
            m_nIDMenuBar = pContext->m_pNewDocTemplate->m_nIDResource;
            m_bUsesMenuBar = TRUE;
        } else {
            m_hMenuShared = pContext->m_pNewDocTemplate->m_hMenuShared;
        }
    } else if (menuBar && nIDResource) {
        m_nIDMenuBar = nIDResource;
        m_bUsesMenuBar = TRUE;
    }
    return CMDIChildWnd::LoadFrame(nIDResource, dwDefaultStyle | WS_CHILD, pParentWnd, pContext);
}

void SECMDIChildWnd::OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt)
{
    m_hMenuAltLast = hMenuAlt;
    if (SECMDIFrameWnd* main = GetSECMDIFrame(); main && main->GetMenuBar()) {
        // The menu shows on the main frame's bar, by id; the main window keeps no menu line.
        main->SetWindowMenu();
        return;
    }
    CMDIChildWnd::OnUpdateFrameMenu(bActive, pActivateWnd, hMenuAlt);
}

void SECMDIChildWnd::RefreshFrameMenu(CWnd* pActivateWnd)
{
    OnUpdateFrameMenu(TRUE, pActivateWnd, m_hMenuAltLast);
}

void SECMDIChildWnd::EnableCaptionButtons(int nMask)
{
    m_nCaptionMask = nMask;
    SECCaptionFeatures::ApplyMask(m_pFilterRoot, SECCaptionFeatures::kMDIChild, nMask);
}

void SECMDIChildWnd::TakeActivation(BOOL bMenuId)
{
    SECMDIFrameWnd* main = GetSECMDIFrame();
    if (main && main->MDIGetActive() != this)
        main->MDIActivate(this);
    if (CView* view = GetActiveView()) {
        HWND focus = ::GetFocus();
        if (focus != view->m_hWnd && !::IsChild(view->m_hWnd, focus))
            view->SetFocus();
    }
    SendMessage(WM_NCACTIVATE, TRUE, 0);
    OnUpdateFrameTitle(TRUE);
    RefreshFrameMenu(this);
    if (main)
        main->DrawMenuBar();
    if (bMenuId && main && main->GetMenuBar() && m_bUsesMenuBar)
        main->ActivateMenu(m_nIDMenuBar);
}

void SECMDIChildWnd::OnMDIActivated(WPARAM, LPARAM lParam)
{
    SECMDIFrameWnd* main = GetSECMDIFrame();
    if (!main || !main->GetMenuBar() || !m_bUsesMenuBar)
        return;
    if (reinterpret_cast<HWND>(lParam) == m_hWnd)
        main->ActivateMenu(m_nIDMenuBar);
    else if (lParam == 0)
        main->ActivateMenu(static_cast<UINT>(-1));   // no document window is left active
}

LRESULT SECMDIChildWnd::OnMouseActivateSEC(WPARAM wParam, LPARAM lParam)
{
    if (SECMDIFrameWnd* main = GetSECMDIFrame())
        main->DeactivateDockableFrame(FALSE);
    const LRESULT result = DefWindowProc(WM_MOUSEACTIVATE, wParam, lParam);
    TakeActivation(TRUE);
    return result;
}

LRESULT SECMDIChildWnd::OnParentNotifySEC(WPARAM wParam, LPARAM)
{
    const UINT event = LOWORD(wParam);
    if (event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN) {
        CView* view = GetActiveView();
        if (!view || ::GetFocus() != view->m_hWnd) {
            if (SECMDIFrameWnd* main = GetSECMDIFrame())
                main->DeactivateDockableFrame(FALSE);
            TakeActivation(FALSE);
        }
    }
    return Default();
}

LRESULT SECMDIChildWnd::OnChildActivateSEC(WPARAM wParam, LPARAM lParam)
{
    if (SECMDIFrameWnd* main = GetSECMDIFrame())
        main->DeactivateDockableFrame(FALSE);
    const LRESULT result = DefWindowProc(WM_CHILDACTIVATE, wParam, lParam);
    SendMessage(WM_NCACTIVATE, TRUE, 0);
    return result;
}

LRESULT SECMDIChildWnd::OnNcActivateSEC(WPARAM wParam, LPARAM lParam)
{
    BOOL active = static_cast<BOOL>(wParam);
    // While a docked frame is the active one, this caption shows inactive.
    if (active)
        if (SECMDIFrameWnd* main = GetSECMDIFrame(); main && main->GetActiveDockableFrame())
            active = FALSE;
    return DefWindowProc(WM_NCACTIVATE, active, lParam);
}

LRESULT SECMDIChildWnd::OnDestroySEC(WPARAM, LPARAM)
{
    if (IsZoomed())
        if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd)
            main->SetWindowPos(nullptr, 0, 0, 0, 0, 0x237);
    return Default();
}
