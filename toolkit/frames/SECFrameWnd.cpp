#include "toolkit/frames/SECFrameWnd.h"

#include "platform/afx/gdi/CMenu.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/MenuApi.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECControlBarManager.h"
#include "toolkit/docking/SECDockState.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/frames/SECCaptionFeatures.h"
#include "toolkit/frames/SECMDIFrameWnd.h"
#include "toolkit/menus/SECWndPlugIn.h"

IMPLEMENT_DYNCREATE(SECFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(SECFrameWnd, CFrameWnd)
    ON_MESSAGE(WM_SYSCOLORCHANGE, &SECFrameWnd::OnSysColorChange)
    ON_WM_ENTERIDLE()
END_MESSAGE_MAP()

SECFrameWnd::SECFrameWnd() : m_pFilterRoot(new SECMsgFilter(this))
{
    m_bNewShell = SECGetGlobalData().m_bWin4;
}

SECFrameWnd::~SECFrameWnd()
{
    delete m_pCommandHook;
    m_pCommandHook = nullptr;
    delete m_pFilterRoot;
    m_pFilterRoot = nullptr;
}

LRESULT SECFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A menu bar asks for a popup of a menu by its id and place, as of the MDI frame; this frame
    // knows its own menu only.
    if (message == SECGetMenuMessage()) {
        HMENU menu = GetMenuForId(static_cast<UINT>(wParam));
        return menu ? reinterpret_cast<LRESULT>(::GetSubMenu(menu, static_cast<int>(lParam))) : 0;
    }
    LRESULT result = 0;
    if (SECCaptionFeatures::FilterBefore(m_pFilterRoot, message, wParam, lParam, &result) ||
        SECCaptionFeatures::FilterRequest(m_pFilterRoot, message, wParam, lParam, &result))
        return result;
    auto byDefault = [this](UINT m, WPARAM w, LPARAM l) { return CFrameWnd::WindowProc(m, w, l); };
    SECMsgFilter* root = m_pFilterRoot;
    if (m_caption.Handle(m_hWnd, message, wParam, lParam, message == WM_NCACTIVATE ? CaptionActive(wParam) : FALSE,
                         byDefault, &result)) {
        // The filters' buttons are drawn over the caption just painted.
        SECCaptionFeatures::FilterAfter(root, message, wParam, lParam);
        return result;
    }
    result = CFrameWnd::WindowProc(message, wParam, lParam);
    if (message == WM_CREATE && result == 0 && m_bNewShell)
        m_caption.Enable(m_hWnd, TRUE, FALSE);
    if (message != WM_NCDESTROY && message != WM_DESTROY)
        SECCaptionFeatures::FilterAfter(root, message, wParam, lParam);
    return result;
}

LRESULT SECFrameWnd::OnSysColorChange(WPARAM, LPARAM)
{
    SECGetGlobalData().UpdateSysColors();
    Default();
    return 0;
}

SECDockBar* SECFrameWnd::CreateDockBar()
{
    return new SECDockBar;
}

void SECFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    DoEnableDocking(dwDockStyle);
}

void SECFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    DoDockControlBar(pBar, DockBarById(nDockBarID), lpRect);
}

void SECFrameWnd::DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    DoDockControlBar(pBar, pDockBar, lpRect);
}

void SECFrameWnd::ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    DoReDockControlBar(pBar, pDockBar, lpRect);
}

void SECFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    DoFloatControlBar(pBar, point, dwStyle);
}

void SECFrameWnd::DockControlBarEx(CControlBar* pBar, const SECDockPos& pos, UINT nDockBarID, const SECDockSize& size)
{
    DoDockControlBarEx(pBar, pos, nDockBarID, size);
}

void SECFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    DoShowControlBar(pBar, bShow, bDelay);
}

void SECFrameWnd::LoadBarState(LPCTSTR lpszProfileName)
{
    DoLoadBarState(lpszProfileName, FALSE);
}

void SECFrameWnd::SaveBarState(LPCTSTR lpszProfileName)
{
    DoSaveBarState(lpszProfileName);
}

void SECFrameWnd::SetDockState(SECDockState& state)
{
    state.SetState(this);
}

void SECFrameWnd::GetDockState(SECDockState& state)
{
    state.GetState(this);
}

HMENU SECFrameWnd::GetMenuForId(UINT nID)
{
    return nID == m_nIDMenu ? m_hMenuDefault : nullptr;
}

void SECFrameWnd::OnUpdateFrameMenuEx(BOOL, CWnd*, HMENU) {}

HMENU SECFrameWnd::GetDefaultMenu()
{
    return m_hMenuDefault;
}

void SECFrameWnd::EnableCaptionButtons(int nMask)
{
    m_nCaptionMask = nMask;
    SECCaptionFeatures::ApplyMask(m_pFilterRoot, SECCaptionFeatures::kDockableFrame, nMask);
}

BOOL SECFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The command hook sees commands before the frame's own routing; a frame without one of its
    // own (a docked document frame) uses its main frame's.
    SECWndPlugIn* hook = m_pCommandHook;
    if (!hook) {
        CWnd* top = GetTopLevelFrame();
        if (auto* mdi = dynamic_cast<SECMDIFrameWnd*>(top))
            hook = mdi->GetCommandHook();
        else if (auto* sdi = dynamic_cast<SECFrameWnd*>(top); sdi && sdi != this)
            hook = sdi->GetCommandHook();
    }
    if (SECRouteToCommandHook(hook, nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL SECFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDMenu = nIDResource;
    return CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

SECWndPlugIn* SECFrameWnd::CreateCommandHook(CRuntimeClass* pClass)
{
    if (!pClass || !pClass->IsDerivedFrom(RUNTIME_CLASS(SECWndPlugIn)))
        return nullptr;
    auto* hook = static_cast<SECWndPlugIn*>(pClass->CreateObject());
    if (!hook)
        return nullptr;
    if (!hook->Attach(this)) {
        delete hook;
        return nullptr;
    }
    delete m_pCommandHook;
    m_pCommandHook = hook;
    return hook;
}

void SECFrameWnd::OnEnterIdle(UINT nWhy, CWnd* pWho)
{
    if (nWhy == MSGF_DIALOGBOX)
        OnEnterIdleEx();
    CFrameWnd::OnEnterIdle(nWhy, pWho);
}

void SECFrameWnd::OnEnterIdleEx()
{
    if (!(m_nIdleFlags & idleLayout) || !m_hWnd)
        return;
    RecalcLayout((m_nIdleFlags & idleNotify) != 0);
    UpdateWindow();
}

BOOL SECFrameWnd::EnableCustomCaption(BOOL bEnable, BOOL bRedraw)
{
    if (!m_bNewShell)
        return FALSE;
    return m_caption.Enable(m_hWnd, bEnable, bRedraw);
}

BOOL SECFrameWnd::CaptionActive(WPARAM wParam) const
{
    // As the MDI frame's: active while the frame or a window it owns is in front, never while
    // disabled or while the bars are customised.
    if (!IsWindowEnabled())
        return FALSE;
    if (m_pControlBarManager && m_pControlBarManager->IsCustomizing())
        return static_cast<BOOL>(wParam);
    HWND front = ::GetForegroundWindow();
    const bool ours = front != nullptr && (front == m_hWnd || ::GetAncestor(front, GA_ROOTOWNER) == m_hWnd);
    return ours && m_caption.IsEnabled() ? TRUE : static_cast<BOOL>(wParam);
}
