#include "toolkit/frames/SECMDIFrameWnd.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/doc/CDocManager.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CMDIChildWnd.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/MenuApi.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECControlBarManager.h"
#include "toolkit/docking/SECDockState.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/frames/SECCaptionFeatures.h"
#include "toolkit/frames/SECControlBarMDIChildWnd.h"
#include "toolkit/frames/SECDockableFrame.h"
#include "toolkit/frames/SECMenuBar.h"
#include "toolkit/frames/SECMultiDocTemplate.h"
#include "toolkit/menus/SECBmpMenuPlugIn.h"
#include "toolkit/menus/SECMenuBarFeature.h"
#include "toolkit/menus/SECWndPlugIn.h"
#include "toolkit/res/ToolkitRes.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECMDIFrameWnd, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(SECMDIFrameWnd, CMDIFrameWnd)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_EXTENDCONTEXTMENU, &SECMDIFrameWnd::OnExtendContextMenu)
    ON_MESSAGE(WM_SYSCOLORCHANGE, &SECMDIFrameWnd::OnSysColorChangeSEC)
    ON_MESSAGE(WM_COMMANDHELP, &SECMDIFrameWnd::OnCommandHelpSEC)
    ON_MESSAGE(WM_NCHITTEST, &SECMDIFrameWnd::OnNcHitTestSEC)
    ON_MESSAGE(WM_ACTIVATE, &SECMDIFrameWnd::OnActivateSEC)
    ON_WM_ACTIVATEAPP()
    ON_WM_ENABLE()
    ON_WM_ENTERIDLE()
    ON_COMMAND_RANGE(43007, 43009, &SECMDIFrameWnd::OnWorkspaceCommand)
    ON_COMMAND_RANGE(43012, 43014, &SECMDIFrameWnd::OnWorkspaceCommand)
    ON_COMMAND_RANGE(43031, 43039, &SECMDIFrameWnd::OnWorkspaceCommand)
    ON_UPDATE_COMMAND_UI_RANGE(43007, 43009, &SECMDIFrameWnd::OnUpdateWorkspaceCommand)
    ON_UPDATE_COMMAND_UI_RANGE(43012, 43014, &SECMDIFrameWnd::OnUpdateWorkspaceCommand)
    ON_UPDATE_COMMAND_UI_RANGE(43031, 43039, &SECMDIFrameWnd::OnUpdateWorkspaceCommand)
END_MESSAGE_MAP()

BOOL SECRouteToCommandHook(SECWndPlugIn* pHook, UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (!pHook)
        return FALSE;
    pHook->m_bExitDefault = FALSE;
    const BOOL result = pHook->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (!pHook->m_bExitDefault)
        return FALSE;
    pHook->m_bExitDefault = FALSE;
    return result;
}

UINT SECGetMenuMessage()
{
    static const UINT message = ::RegisterWindowMessage("WM_SECGETMENU");
    return message;
}

namespace {

BOOL AnySECTemplate()
{
    CWinApp* app = AfxGetApp();
    if (!app || !app->m_pDocManager)
        return FALSE;
    for (CDocTemplate* t : app->m_pDocManager->GetTemplates())
        if (t && t->IsKindOf(RUNTIME_CLASS(SECMultiDocTemplate)))
            return TRUE;
    return FALSE;
}

} // namespace

SECMDIFrameWnd::SECMDIFrameWnd() : m_pFilterRoot(new SECMsgFilter(this))
{
    // Frames opened docked go round the sides in turn; a 0 before an id starts a new row.
    int n = 0;
    for (int r = 0; r < 6; ++r) {
        if (r % 3 == 0)
            m_arrDockSequence[n++] = 0;
        m_arrDockSequence[n++] = AFX_IDW_DOCKBAR_BOTTOM;
        if (r % 2 == 0)
            m_arrDockSequence[n++] = 0;
        m_arrDockSequence[n++] = AFX_IDW_DOCKBAR_LEFT;
        if (r % 2 == 0)
            m_arrDockSequence[n++] = 0;
        m_arrDockSequence[n++] = AFX_IDW_DOCKBAR_RIGHT;
    }
    EnableCaptionButtons(AnySECTemplate() ? 1 : 0);
    m_bNewShell = SECGetGlobalData().m_bWin4;
}

SECMDIFrameWnd::~SECMDIFrameWnd()
{
    for (auto& [id, menu] : m_mapMenus)
        if (menu && ::IsMenu(menu))
            ::DestroyMenu(menu);
    m_mapMenus.clear();
    delete m_pMenuPlugIn;
    m_pMenuPlugIn = nullptr;
    delete m_pCommandHook;
    m_pCommandHook = nullptr;
    delete m_pFilterRoot;
    m_pFilterRoot = nullptr;
}

// ---- Docking ----

SECDockBar* SECMDIFrameWnd::CreateDockBar()
{
    return DoCreateDockBar();
}

void SECMDIFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    if (!m_pMDIFloatClass)
        m_pMDIFloatClass = RUNTIME_CLASS(SECControlBarMDIChildWnd);
    DoEnableDocking(dwDockStyle);
}

void SECMDIFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    DoDockControlBar(pBar, DockBarById(nDockBarID), lpRect);
}

void SECMDIFrameWnd::DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    DoDockControlBar(pBar, pDockBar, lpRect);
}

void SECMDIFrameWnd::ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    DoReDockControlBar(pBar, pDockBar, lpRect);
}

void SECMDIFrameWnd::DockControlBarEx(CControlBar* pBar, UINT nDockBarID, int a, int b, float fPctWidth, int nLength)
{
    DockControlBarEx(pBar, SECDockPos{b, a, 0}, nDockBarID, SECDockSize{fPctWidth, nLength, 0});
}

void SECMDIFrameWnd::DockControlBarEx(CControlBar* pBar, const SECDockPos& pos, UINT nDockBarID,
                                      const SECDockSize& size)
{
    DoDockControlBarEx(pBar, pos, nDockBarID, size);
}

void SECMDIFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    DoFloatControlBar(pBar, point, dwStyle);
}

void SECMDIFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    DoShowControlBar(pBar, bShow, bDelay);
}

CFrameWnd* SECMDIFrameWnd::CreateMDIFloat(DWORD dwStyle)
{
    CRuntimeClass* cls = m_pMDIFloatClass ? m_pMDIFloatClass : RUNTIME_CLASS(SECControlBarMDIChildWnd);
    CObject* object = cls->CreateObject();
    if (!object)
        AfxThrowMemoryException();
    auto* child = dynamic_cast<CFrameWnd*>(object);
    if (!child) {
        delete object;
        return nullptr;
    }
    if (auto* floatChild = dynamic_cast<SECMDIFloatHost*>(child))
        floatChild->m_wndDockBar.m_dwStyle = (dwStyle & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI)) | CBRS_ALIGN_LEFT;
    // A frame that fails to load has deleted itself.
    if (!child->LoadFrame(SEC_IDR_MDIFLOAT, 0x42CFA000, this, nullptr))
        return nullptr;
    return child;
}

CWnd* SECMDIFrameWnd::CreateFloatingMDIChild(DWORD dwStyle)
{
    return CreateMDIFloat(dwStyle);
}

BOOL SECMDIFrameWnd::FloatBarInMDIChild(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    FloatControlBarInMDIChild(pBar, point, dwStyle);
    return TRUE;
}

void SECMDIFrameWnd::FloatControlBarInMDIChild(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    if (!pBar || !pBar->m_hWnd || !m_hWndMDIClient)
        return;
    SECControlBar* sec = AsSEC(pBar);
    if (sec)
        sec->OnPreMDIFloat();
    pBar->m_pDockSite = this;
    CRect client;
    ::GetClientRect(m_hWndMDIClient, &client);
    CPoint pos = point;
    if (point.x < 0 || point.y < 0) {
        pos = m_ptNextCascade;
        m_ptNextCascade += CSize(20, 23);
        if (m_ptNextCascade.x > client.Width() - 30)
            m_ptNextCascade.x = 30;
        if (m_ptNextCascade.y > client.Height() - 30)
            m_ptNextCascade.y = 30;
    } else {
        ::ScreenToClient(m_hWndMDIClient, &pos);
    }
    pos.x = std::clamp<LONG>(pos.x, 0, std::max<LONG>(client.Width(), 0));
    pos.y = std::max<LONG>(std::min<LONG>(pos.y, client.Height() - 30), 0);

    CDockBar* old = pBar->m_pDockBar;
    if (old && old->m_bFloating && old->GetDockedCount() == 1 && sec && sec->IsFloatingInMDIChild()) {
        if (CFrameWnd* child = old->GetParentFrame()) {
            child->SetWindowPos(nullptr, pos.x, pos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            child->RecalcLayout();
        }
        if (sec)
            sec->OnPostMDIFloat(TRUE);
        return;
    }
    dwStyle = FloatStyleFor(pBar, dwStyle);
    CFrameWnd* child = CreateMDIFloat(dwStyle);
    CDockBar* dock = AfxFloatingDockBar(child);
    if (!dock) {
        if (child)
            child->DestroyWindow();
        if (sec)
            sec->OnPostMDIFloat(FALSE);
        return;
    }
    if (dock->IsKindOf(RUNTIME_CLASS(SECDockBar)))
        static_cast<SECDockBar*>(dock)->DockControlBar(pBar, nullptr);
    else
        dock->DockControlBar(pBar);
    child->RecalcLayout();
    child->SetWindowPos(nullptr, pos.x, pos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    child->ShowWindow(SW_SHOW);
    child->UpdateWindow();
    DelayRecalcLayout();
    if (sec)
        sec->OnPostMDIFloat(TRUE);
}

BOOL SECMDIFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    // A new layout repaints the bars it changed at once, while the frame's own repaint is still
    // due: without clipping, that later erase would wipe the bars and all they hold.
    cs.style |= WS_CLIPCHILDREN;
    return CMDIFrameWnd::PreCreateWindow(cs);
}

void SECMDIFrameWnd::RecalcLayout(BOOL bNotify)
{
    CMDIFrameWnd::RecalcLayout(bNotify);
    if (!m_hWnd)
        return;
    if (m_rectClientArea.Width() > 0 && m_rectClientArea.Height() > 0) {
        for (const DockSide& side : kDockSides)
            if (CControlBar* bar = GetControlBar(side.id); bar && bar->IsKindOf(RUNTIME_CLASS(SECDockBar)))
                static_cast<SECDockBar*>(bar)->RepaintChangedBars();
    } else {
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    CRect rect;
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rect, nullptr, TRUE);
    m_rectClientArea = rect;
}

// ---- Saved layout ----

void SECMDIFrameWnd::LoadBarState(LPCTSTR lpszProfileName)
{
    DoLoadBarState(lpszProfileName, TRUE);
}

void SECMDIFrameWnd::SaveBarState(LPCTSTR lpszProfileName)
{
    DoSaveBarState(lpszProfileName);
}

void SECMDIFrameWnd::SetDockState(SECDockState& state)
{
    state.SetState(this);
}

void SECMDIFrameWnd::GetDockState(SECDockState& state)
{
    state.GetState(this);
}

// ---- Docked document frames ----

void SECMDIFrameWnd::GetNextDockPosition(UINT& nDockBarID, SECDockPos& pos, SECDockSize& size)
{
    size = SECDockSize{1.0f, 150, 0};
    constexpr int n = 26;
    for (int tries = 0; tries < n; ++tries) {
        const int at = m_nDockSequenceCursor;
        m_nDockSequenceCursor = (m_nDockSequenceCursor + 1) % n;
        const UINT id = m_arrDockSequence[at];
        if (!id)
            continue;
        nDockBarID = id;
        pos = SECDockPos{0, 1, 2};
        if (id == AFX_IDW_DOCKBAR_TOP || id == AFX_IDW_DOCKBAR_LEFT)
            pos.m_nFlags = 3;
        if (m_arrDockSequence[(at + n - 1) % n] == 0) {
            pos.m_nFlags += 4;
            if (pos.m_nFlags & 1)
                pos.m_nRow = 1;
        }
        return;
    }
    nDockBarID = AFX_IDW_DOCKBAR_BOTTOM;
    pos = SECDockPos{0, 0, 4};
}

void SECMDIFrameWnd::SetActiveDockableFrame(SECDockableFrame* pFrame)
{
    if (pFrame == m_pActiveDockableFrame)
        return;
    if (m_pActiveDockableFrame)
        DeactivateDockableFrame(pFrame == nullptr);
    if (!pFrame)
        return;
    pFrame->SendMessage(WM_NCACTIVATE, TRUE, 0);
    m_pActiveDockableFrame = pFrame;
    // No MDI child is active while a docked frame is.
    if (CMDIChildWnd* child = MDIGetActive())
        child->SendMessage(WM_NCACTIVATE, FALSE, 0);
    if (CView* view = pFrame->GetActiveView()) {
        if (::GetFocus() != view->m_hWnd && !::IsChild(view->m_hWnd, ::GetFocus()))
            view->SetFocus();
    }
    OnUpdateFrameTitle(TRUE);
    if (m_pMenuBar) {
        ActivateMenu(pFrame->m_nIDMenu ? pFrame->m_nIDMenu : static_cast<UINT>(-1));
        return;
    }
    pFrame->OnUpdateFrameMenuEx(TRUE, pFrame, nullptr);
    DrawMenuBar();
}

void SECMDIFrameWnd::DeactivateDockableFrame(BOOL bActivateClient)
{
    SECDockableFrame* frame = m_pActiveDockableFrame;
    if (!frame)
        return;
    m_pActiveDockableFrame = nullptr;
    if (frame->m_hWnd)
        frame->SendMessage(WM_NCACTIVATE, FALSE, 0);
    if (bActivateClient)
        if (CMDIChildWnd* child = MDIGetActive())
            child->SendMessage(WM_NCACTIVATE, TRUE, 0);
    OnUpdateFrameTitle(TRUE);
}

void SECMDIFrameWnd::ActivateDockableView(UINT nState, CWnd*, BOOL bMinimized)
{
    SECDockableFrame* frame = m_pActiveDockableFrame;
    CView* view = frame ? frame->GetActiveView() : nullptr;
    if (!view)
        return;
    if (nState != WA_INACTIVE && !bMinimized) {
        HWND focus = ::GetFocus();
        if (focus != view->m_hWnd && !::IsChild(view->m_hWnd, focus)) {
            if (focus)
                ::PostMessage(focus, WM_KILLFOCUS, reinterpret_cast<WPARAM>(view->m_hWnd), 0);
            ::PostMessage(view->m_hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(focus), 0);
        }
    }
    view->OnActivateFrame(nState, frame);
}

LRESULT SECMDIFrameWnd::OnActivateSEC(WPARAM wParam, LPARAM lParam)
{
    CWnd* other = CWnd::FromHandle(reinterpret_cast<HWND>(lParam));
    // The framework's handling keeps the caption active while a floating window of ours takes
    // the activation, and tells the floating windows to follow.
    CMDIFrameWnd::OnActivate(LOWORD(wParam), other, HIWORD(wParam) != 0);
    ActivateDockableView(LOWORD(wParam), other, HIWORD(wParam) != 0);
    return 0;
}

void SECMDIFrameWnd::OnActivateApp(BOOL bActive, DWORD dwThreadID)
{
    // A docked document frame is the active one: the document windows of the client must not
    // look active, and the docked frame's caption follows the application's activation.
    if (m_pActiveDockableFrame && m_pActiveDockableFrame->m_hWnd) {
        if (CMDIChildWnd* child = MDIGetActive())
            child->SendMessage(WM_NCACTIVATE, FALSE, 0);
        m_pActiveDockableFrame->SendMessage(WM_NCACTIVATE, bActive, 0);
    }
    CMDIFrameWnd::OnActivateApp(bActive, dwThreadID);
}

void SECMDIFrameWnd::OnEnable(BOOL bEnable)
{
    // A disabled frame (a modal dialog is up) never keeps its caption active for a palette.
    m_nFlags &= ~static_cast<UINT>(WF_STAYACTIVE);
    CMDIFrameWnd::OnEnable(bEnable);
}

void SECMDIFrameWnd::OnEnterIdle(UINT nWhy, CWnd* pWho)
{
    if (nWhy == MSGF_DIALOGBOX)
        OnEnterIdleEx();
    CMDIFrameWnd::OnEnterIdle(nWhy, pWho);
}

void SECMDIFrameWnd::OnEnterIdleEx()
{
    if (!(m_nIdleFlags & idleLayout) || !m_hWnd)
        return;
    RecalcLayout((m_nIdleFlags & idleNotify) != 0);
    UpdateWindow();
}

SECWndPlugIn* SECMDIFrameWnd::CreateCommandHook(CRuntimeClass* pClass)
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

CFrameWnd* SECMDIFrameWnd::GetActiveFrame()
{
    if (m_pActiveDockableFrame)
        return m_pActiveDockableFrame;
    return CMDIFrameWnd::GetActiveFrame();
}

BOOL SECMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active docked frame, or else the active document window, comes first.
    CFrameWnd* first = m_pActiveDockableFrame ? static_cast<CFrameWnd*>(m_pActiveDockableFrame)
                                              : static_cast<CFrameWnd*>(MDIGetActive());
    if (first && first->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (SECRouteToCommandHook(m_pCommandHook, nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL SECMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_pMenuPlugIn && m_pMenuPlugIn->PreTranslateMessage(pMsg))
        return TRUE;
    if (IsCustomizing() && pMsg->message == WM_SYSCOMMAND && (pMsg->wParam & 0xFFF0) == SC_CLOSE)
        return TRUE;
    return CMDIFrameWnd::PreTranslateMessage(pMsg);
}

void SECMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (bAddToTitle && (GetStyle() & FWS_ADDTOTITLE) && m_pActiveDockableFrame) {
        if (CDocument* doc = m_pActiveDockableFrame->GetActiveDocument()) {
            UpdateFrameTitleForDocument(doc->GetTitle());
            return;
        }
    }
    CMDIFrameWnd::OnUpdateFrameTitle(bAddToTitle);
}

void SECMDIFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    if (m_pActiveDockableFrame) {
        m_pActiveDockableFrame->OnUpdateFrameMenuEx(TRUE, m_pActiveDockableFrame, hMenuAlt);
        return;
    }
    if (m_pMenuBar) {
        // The menus show on the bar: no menu line is put back on the window, and the client
        // lists its windows in the Window menu of the menu the bar shows.
        SetWindowMenu();
        RefreshMenuBar();
        return;
    }
    CMDIFrameWnd::OnUpdateFrameMenu(hMenuAlt);
}

BOOL SECMDIFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDMenu = m_nIDOwnMenu = nIDResource;
    // A frame that cannot be made has deleted itself: nothing of it is touched then.
    if (!CMDIFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    if (m_pMenuBar) {
        // The menu shows on the bar: the window keeps no menu line of its own. The loaded menu
        // stays the frame's own (its default menu), which the window's destruction frees.
        ::SetMenu(m_hWnd, nullptr);
        ActivateMenu(static_cast<UINT>(-1));
    }
    return TRUE;
}

void SECMDIFrameWnd::ActivateMenu(UINT nIDMenu)
{
    if (!m_pMenuBar)
        return;
    const UINT id = nIDMenu == static_cast<UINT>(-1) ? m_nIDOwnMenu : nIDMenu;
    const BOOL changed = id != m_nIDMenu;
    m_nIDMenu = id;
    if (auto* feature = dynamic_cast<SECMenuBarMessages*>(m_pMenuPlugIn))
        feature->OnMenuChanged(id);
    if (changed && m_pMenuBar->m_hWnd) {
        m_pMenuBar->Invalidate();
        RecalcLayout();
    }
    SetWindowMenu();
}

void SECMDIFrameWnd::RefreshMenuBar()
{
    if (!m_pMenuBar || !m_pMenuBar->m_hWnd)
        return;
    m_pMenuBar->Invalidate();
    DelayRecalcLayout();
}

void SECMDIFrameWnd::SetWindowMenu()
{
    if (!m_hWndMDIClient)
        return;
    HMENU menu = GetMenuForId(m_nIDMenu);
    if (HMENU popup = menu ? GetWindowMenuPopup(menu) : nullptr)
        ::SendMessage(m_hWndMDIClient, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(popup));
}

// ---- Captions, menus and the plug-in slot ----

void SECMDIFrameWnd::EnableCaptionButtons(int nMask)
{
    m_nCaptionMask = nMask;
    SECCaptionFeatures::ApplyMask(m_pFilterRoot, SECCaptionFeatures::kMDIFrame, nMask);
}

BOOL SECMDIFrameWnd::EnableCustomCaption(BOOL bEnable, BOOL bRedraw)
{
    if (!m_bNewShell)
        return FALSE;
    return m_caption.Enable(m_hWnd, bEnable, bRedraw);
}

void SECMDIFrameWnd::SetMenuPlugIn(SECWndPlugIn* pPlugIn)
{
    if (pPlugIn != m_pMenuPlugIn)
        delete m_pMenuPlugIn;
    m_pMenuPlugIn = pPlugIn;
}

HMENU SECMDIFrameWnd::GetMenuForId(UINT nID)
{
    if (nID == m_nIDOwnMenu && m_hMenuDefault)
        return m_hMenuDefault;
    if (CWinApp* app = AfxGetApp(); app && app->m_pDocManager)
        for (CDocTemplate* t : app->m_pDocManager->GetTemplates())
            if (t && t->IsKindOf(RUNTIME_CLASS(SECMultiDocTemplate)) && t->m_nIDResource == nID)
                return t->m_hMenuShared;
    if (auto it = m_mapMenus.find(nID); it != m_mapMenus.end())
        return it->second;
    // A menu bar may be asked for the menu of any resource: it is loaded once and kept.
    if (!m_pMenuBar || nID == 0)
        return nullptr;
    const LPCTSTR resource = MAKEINTRESOURCE(nID);
    HINSTANCE module = AfxFindResourceHandle(resource, RT_MENU);
    HMENU menu = module ? ::LoadMenu(module, resource) : nullptr;
    if (menu)
        m_mapMenus[nID] = menu;
    return menu;
}

HMENU SECMDIFrameWnd::GetDefaultMenu()
{
    // With a menu bar the default menu is the frame's own, which its window does not show.
    return m_hMenuDefault;
}

BOOL SECMDIFrameWnd::IsCustomizing() const
{
    return m_pControlBarManager && m_pControlBarManager->IsCustomizing();
}

LRESULT SECMDIFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The plug-in goes with the window; a plug-in once deleted is never fed again.
    if (message == WM_DESTROY) {
        delete m_pMenuPlugIn;
        m_pMenuPlugIn = nullptr;
    }
    if (m_pMenuPlugIn) {
        LRESULT result = 0;
        m_pMenuPlugIn->m_bExitDefault = FALSE;
        m_pMenuPlugIn->OnWndMsg(message, wParam, lParam, &result);
        if (m_pMenuPlugIn && m_pMenuPlugIn->m_bExitDefault)
            return result;
    }
    if (message == SECGetMenuMessage()) {
        HMENU menu = GetMenuForId(static_cast<UINT>(wParam));
        return menu ? reinterpret_cast<LRESULT>(::GetSubMenu(menu, static_cast<int>(lParam))) : 0;
    }
    LRESULT result = 0;
    if (SECCaptionFeatures::FilterBefore(m_pFilterRoot, message, wParam, lParam, &result) ||
        SECCaptionFeatures::FilterRequest(m_pFilterRoot, message, wParam, lParam, &result))
        return result;
    auto byDefault = [this](UINT m, WPARAM w, LPARAM l) { return CMDIFrameWnd::WindowProc(m, w, l); };
    SECMsgFilter* root = m_pFilterRoot;
    if (m_caption.Handle(m_hWnd, message, wParam, lParam, message == WM_NCACTIVATE ? CaptionActive(wParam) : FALSE,
                         byDefault, &result)) {
        // The filters' buttons are drawn over the caption just painted.
        SECCaptionFeatures::FilterAfter(root, message, wParam, lParam);
        return result;
    }
    result = CMDIFrameWnd::WindowProc(message, wParam, lParam);
    // Items the frame put into the menu just now (the recent files) are prepared as well.
    if (message == WM_INITMENUPOPUP && m_bBmpMenus && m_pMenuPlugIn && !HIWORD(lParam)) {
        LRESULT unused = 0;
        m_pMenuPlugIn->OnWndMsg(message, wParam, lParam, &unused);
    }
    if (message == WM_CREATE && result == 0) {
        if (m_bNewShell)
            m_caption.Enable(m_hWnd, TRUE, FALSE);
        if (m_pMenuBar && m_pMenuPlugIn == nullptr) {
            // The menu bar's feature: bitmap menus with the toolkit's check mark, the bar's keys
            // and the tracking of its menus.
            auto* feature = new SECMenuBarFeature;
            feature->Attach(this);
            feature->m_pMenuBar = m_pMenuBar;
            feature->m_pFrame = this;
            if (auto* toolbars = dynamic_cast<SECToolBarManager*>(m_pControlBarManager))
                feature->SetBmpMgr(toolbars->GetBmpMgr());
            SetMenuPlugIn(feature);
            m_bBmpMenus = TRUE;
            if (SECMsgFilter* list = m_pFilterRoot->FindFilter(SECCaptionFeatures::kKeyList, nullptr, -1))
                list->m_bEnabled = TRUE;
        } else if (m_bBmpMenus && m_pMenuPlugIn == nullptr) {
            // The toolbar images in the frame's menus.
            auto* plugIn = new SECBmpMenuPlugIn(m_bBmpMenus2);
            plugIn->Attach(this);
            if (auto* toolbars = dynamic_cast<SECToolBarManager*>(m_pControlBarManager))
                plugIn->SetBmpMgr(toolbars->GetBmpMgr());
            SetMenuPlugIn(plugIn);
        }
    }
    if (message != WM_NCDESTROY && message != WM_DESTROY)
        SECCaptionFeatures::FilterAfter(root, message, wParam, lParam);
    return result;
}

BOOL SECMDIFrameWnd::CaptionActive(WPARAM wParam) const
{
    // The caption stays active while the frame or a window it owns is in front, so its floating
    // palettes can have the focus; never while the bars are customised or the frame is disabled.
    if (!IsWindowEnabled())
        return FALSE;
    HWND front = ::GetForegroundWindow();
    const bool ours = front != nullptr && (front == m_hWnd || ::GetAncestor(front, GA_ROOTOWNER) == m_hWnd);
    const bool stay = !IsCustomizing() && ours && m_caption.IsEnabled();
    return stay ? TRUE : static_cast<BOOL>(wParam);
}

void SECMDIFrameWnd::OnClose()
{
    CFrameWnd::OnClose();
}

LRESULT SECMDIFrameWnd::OnExtendContextMenu(WPARAM wParam, LPARAM lParam)
{
    auto* bar = reinterpret_cast<CControlBar*>(wParam);
    auto* menu = reinterpret_cast<CMenu*>(lParam);
    SECControlBar* sec = AsSEC(bar);
    if (!menu || !sec)
        return 0;
    const BOOL mdiFloat = sec->IsFloatingInMDIChild();
    if (mdiFloat)
        menu->EnableMenuItem(ID_SEC_ALLOWDOCKING, MF_BYCOMMAND | MF_GRAYED);
    if (sec->m_dwExStyle & CBRS_EX_ALLOW_MDI_FLOAT) {
        CString text;
        text.LoadString(SEC_IDS_FLOATINMAIN);
        menu->AppendMenu(MF_SEPARATOR);
        menu->AppendMenu(MF_STRING | (mdiFloat ? MF_CHECKED : 0), ID_SEC_MDIFLOAT, text);
    }
    return 0;
}

LRESULT SECMDIFrameWnd::OnSysColorChangeSEC(WPARAM, LPARAM)
{
    SECGetGlobalData().UpdateSysColors();
    Default();
    // Every window of the frame is told, the bars that float in their own frames too: the
    // toolbars rebuild their dither brushes and reload their images in the new colours.
    SendMessageToDescendants(WM_SYSCOLORCHANGE, 0, 0, TRUE, TRUE);
    for (CControlBar* bar : m_listControlBars)
        if (bar && bar->m_hWnd && bar->m_hWnd != m_hWnd && !::IsChild(m_hWnd, bar->m_hWnd))
            bar->SendMessage(WM_SYSCOLORCHANGE);
    return 0;
}

LRESULT SECMDIFrameWnd::OnCommandHelpSEC(WPARAM wParam, LPARAM lParam)
{
    // A docked document frame that is active names the help, not the window under it.
    if (lParam == 0 && m_pActiveDockableFrame && m_pActiveDockableFrame->m_hWnd) {
        if (m_pActiveDockableFrame->SendMessage(WM_COMMANDHELP, wParam, 0))
            return TRUE;
        return CFrameWnd::OnCommandHelp(wParam, lParam);
    }
    return CMDIFrameWnd::OnCommandHelp(wParam, lParam);
}

LRESULT SECMDIFrameWnd::OnNcHitTestSEC(WPARAM wParam, LPARAM lParam)
{
    // While the bars are customised the frame's own area takes no clicks.
    if (IsCustomizing())
        return HTERROR;
    return DefWindowProc(WM_NCHITTEST, wParam, lParam);
}

void SECMDIFrameWnd::OnWorkspaceCommand(UINT) {}

void SECMDIFrameWnd::OnUpdateWorkspaceCommand(CCmdUI*) {}
