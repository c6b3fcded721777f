// CFrameWnd: creation from a resource, the view inside, routing, layout, titles, the message
// bar, menus updated before they open, accelerators and closing.
#include "platform/afx/frame/CFrameWnd.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CControlBar.h"
#include "platform/afx/bars/CStatusBar.h"
#include "platform/afx/doc/CCreateContext.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/controls/ToolTip.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Cursor.h"
#include "platform/win/Keyboard.h"
#include "platform/win/ResourceImages.h"

#include <algorithm>
#include <climits>
#include <cstring>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_ACTIVATE()
    ON_WM_NCACTIVATE()
    ON_WM_ENABLE()
    ON_WM_SHOWWINDOW()
    ON_MESSAGE(WM_COMMANDHELP, &CFrameWnd::OnCommandHelp)
    ON_COMMAND(ID_CONTEXT_HELP, &CFrameWnd::OnContextHelp)
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUSELECT()
    ON_MESSAGE(WM_SETMESSAGESTRING, &CFrameWnd::OnSetMessageString)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, &CFrameWnd::OnIdleUpdateCmdUI)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, &CFrameWnd::OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, &CFrameWnd::OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, &CFrameWnd::OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, &CFrameWnd::OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, &CFrameWnd::OnUpdateKeyIndicator)
    ON_MESSAGE(WM_RECALCPARENT, &CFrameWnd::OnSizeParentRecalc)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXT, 0, UINT_MAX, &CFrameWnd::OnToolTipText)
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::IsFrameWnd() const
{
    return TRUE;
}

// ---- Creation ----

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)));
    // Frames name their document first: "Document - Program".
    if (cs.style & FWS_ADDTOTITLE)
        cs.style |= FWS_PREFIXTITLE;
    return cs.lpszClass != nullptr;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU menu = nullptr;
    if (lpszMenuName) {
        HINSTANCE module = AfxFindResourceHandle(lpszMenuName, RT_MENU);
        menu = module ? ::LoadMenu(module, lpszMenuName) : nullptr;
    }
    m_strTitle = lpszWindowName ? lpszWindowName : "";
    const bool useDefault = EqualRect(&rect, &rectDefault) != FALSE;
    const int x = useDefault ? CW_USEDEFAULT : rect.left;
    const int y = useDefault ? CW_USEDEFAULT : rect.top;
    const int cx = useDefault ? CW_USEDEFAULT : rect.right - rect.left;
    const int cy = useDefault ? CW_USEDEFAULT : rect.bottom - rect.top;
    m_hMenuDefault = menu;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy,
                  pParentWnd ? pParentWnd->m_hWnd : nullptr, menu, pContext)) {
        // The frame may be gone (PostNcDestroy): only the local menu is cleaned up.
        if (menu)
            ::DestroyMenu(menu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString full;
    if (full.LoadString(nIDResource))
        AfxExtractSubString(m_strTitle, full, 0);
    const LPCTSTR resource = MAKEINTRESOURCE(nIDResource);
    HINSTANCE iconModule = AfxFindResourceHandle(resource, RT_ICON);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)),
                                      iconModule ? ::LoadIcon(iconModule, resource) : nullptr);
    const CString title = m_strTitle;
    if (!Create(cls, title, dwDefaultStyle, rectDefault, pParentWnd,
                AfxFindResourceHandle(resource, RT_MENU) ? resource : nullptr, 0, pContext))
        return FALSE;
    HINSTANCE accelModule = AfxFindResourceHandle(resource, RT_ACCELERATOR);
    if (accelModule)
        m_hAccelTable = ::LoadAccelerators(accelModule, resource);
    // Without a context nobody else will tell the views to fill themselves.
    if (!pContext)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    auto* context = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!OnCreateClient(lpcs, context))
        return -1;
    RecalcLayout();
    // The message bar, made by the derived frame after this, says "Ready" once all is made.
    PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    if (!pContext || !pContext->m_pNewViewClass)
        return nullptr;
    auto* view = dynamic_cast<CWnd*>(pContext->m_pNewViewClass->CreateObject());
    if (!view)
        return nullptr;
    // A view that fails to start deletes itself (PostNcDestroy).
    if (!view->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, nID, pContext))
        return nullptr;
    return view;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* view = GetActiveView();
    if (!view)
        if (CWnd* pane = GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE))
            view = dynamic_cast<CView*>(pane);
    if (view)
        SetActiveView(view, FALSE);
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    if (bMakeVisible) {
        ActivateFrame();
        if (view)
            view->OnActivateView(TRUE, view, view);
    }
    // A second frame on the document numbers them all; this one's title shows it now.
    if (pDoc)
        pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
    SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1)
        nCmdShow = IsWindowVisible() ? (IsIconic() ? SW_RESTORE : SW_SHOW) : SW_SHOW;
    ShowWindow(nCmdShow);
    if (::IsWindowVisible(m_hWnd))
        ::BringWindowToTop(m_hWnd);
}

void CFrameWnd::PostNcDestroy()
{
    // Frames are made with new and go with their windows.
    delete this;
}

void CFrameWnd::OnDestroy()
{
    if (m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault) {
        // The default menu is the frame's even when another was showing.
        ::DestroyMenu(m_hMenuDefault);
    }
    m_hMenuDefault = nullptr;
    if (m_hAccelTable) {
        ::DestroyAcceleratorTable(m_hAccelTable);
        m_hAccelTable = nullptr;
    }
    m_pViewActive = nullptr;
    CWnd::OnDestroy();
}

void CFrameWnd::OnClose()
{
    // A print preview in the frame closes first; the frame stays.
    if (m_lpfnCloseProc) {
        m_lpfnCloseProc(this);
        return;
    }
    CDocument* doc = GetActiveDocument();
    if (doc && !doc->CanCloseFrame(this))
        return;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        if (!doc && !app->SaveAllModified())
            return;
        app->CloseAllDocuments(FALSE);
        // Closing the documents may have taken this frame (and this object) with it.
        if (!app->m_pMainWnd) {
            ::PostQuitMessage(0);
            return;
        }
        doc = GetActiveDocument();
    }
    if (doc && doc->m_bAutoDelete) {
        // The last frame of a document closes the document, which closes the frame.
        bool otherFrame = false;
        for (CView* view : doc->GetViews())
            if (view->GetParentFrame() != this)
                otherFrame = true;
        if (!otherFrame) {
            doc->OnCloseDocument();
            return;
        }
        doc->PreCloseFrame(this);
    }
    DestroyWindow();
}

// ---- Views ----

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* old = m_pViewActive;
    if (pViewNew == old)
        return;
    m_pViewActive = nullptr;
    if (old && bNotify)
        old->OnActivateView(FALSE, pViewNew, old);
    m_pViewActive = pViewNew;
    if (pViewNew && bNotify)
        pViewNew->OnActivateView(TRUE, pViewNew, old);
    m_nIdleFlags |= idleTitle;
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* view = GetActiveView();
    return view ? view->GetDocument() : nullptr;
}

CFrameWnd* CFrameWnd::GetActiveFrame()
{
    return this;
}

// ---- Commands ----

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active view (and through it its document), then the frame, then the application.
    if (CView* view = GetActiveView())
        if (view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (PreTranslateHelpMode(pMsg))
        return TRUE;
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable)
        return ::TranslateAccelerator(m_hWnd, m_hAccelTable, pMsg);
    return FALSE;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu || !pMenu)
        return;
    // Each item asks the route for its state; items the updates add or remove are followed.
    CCmdUI state;
    state.m_pMenu = pMenu;
    state.m_nIndexMax = pMenu->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = pMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0)
            continue;   // a separator
        if (state.m_nID == static_cast<UINT>(-1)) {
            // A pop-up takes the state of its first item, and is never disabled for want of one.
            state.m_pSubMenu = pMenu->GetSubMenu(static_cast<int>(state.m_nIndex));
            if (!state.m_pSubMenu)
                continue;
            state.m_nID = state.m_pSubMenu->GetMenuItemID(0);
            if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1))
                continue;
            state.DoUpdate(this, FALSE);
        } else {
            state.m_pSubMenu = nullptr;
            state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        }
        const UINT count = pMenu->GetMenuItemCount();
        if (count < state.m_nIndexMax) {
            state.m_nIndex -= state.m_nIndexMax - count;
            while (state.m_nIndex < count && pMenu->GetMenuItemID(static_cast<int>(state.m_nIndex)) == state.m_nID)
                ++state.m_nIndex;
        }
        state.m_nIndexMax = count;
    }
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    if (nFlags == 0xFFFF && !hSysMenu) {
        // The menu closed: back to the idle prompt.
        m_nIDTracking = AFX_IDS_IDLEMESSAGE;
    } else if (nFlags & (MF_SEPARATOR | MF_POPUP)) {
        m_nIDTracking = 0;
    } else {
        m_nIDTracking = nItemID;
    }
    if (m_nIDTracking != m_nIDLastMessage)
        SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    // The bar with the command's id, docked or floating, is checked while it shows; a frame
    // without such a bar lets the command go on to whoever else answers for it.
    CControlBar* bar = GetControlBar(pCmdUI->m_nID);
    if (!bar) {
        pCmdUI->ContinueRouting();
        return;
    }
    pCmdUI->SetCheck((bar->GetStyle() & WS_VISIBLE) != 0);
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* bar = GetControlBar(nID);
    if (!bar)
        return FALSE;
    ShowControlBar(bar, (bar->GetStyle() & WS_VISIBLE) == 0, FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
    // The pane shows its text while its lock key is on, and is blank while it is off.
    int nVirtKey = 0;
    switch (pCmdUI->m_nID) {
    case ID_INDICATOR_CAPS: nVirtKey = VK_CAPITAL; break;
    case ID_INDICATOR_NUM: nVirtKey = VK_NUMLOCK; break;
    case ID_INDICATOR_SCRL: nVirtKey = VK_SCROLL; break;
    default: return;
    }
    pCmdUI->Enable((::GetKeyState(nVirtKey) & 1) != 0);
}

// ---- Layout ----

void CFrameWnd::RecalcLayout(BOOL)
{
    // Sizing the frame below lays it out again from WM_SIZE: once is enough.
    if (m_bInRecalcLayout || !m_hWnd)
        return;
    m_bInRecalcLayout = TRUE;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    if (GetStyle() & FWS_SNAPTOBARS) {
        // The frame takes the size its bars ask for, with room enough for any of them.
        CRect rect(0, 0, 32767, 32767);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rect, &rect, FALSE);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder, &rect, TRUE);
        CalcWindowRect(&rect);
        SetWindowPos(nullptr, 0, 0, rect.Width(), rect.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
    }
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::DelayRecalcLayout(BOOL bNotify)
{
    m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0);
}

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (pBar && std::find(m_listControlBars.begin(), m_listControlBars.end(), pBar) == m_listControlBars.end())
        m_listControlBars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), pBar),
                            m_listControlBars.end());
}

void CFrameWnd::OnSize(UINT nType, int, int)
{
    Default();
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
    // The floating palettes go with a minimized frame and come back with it.
    if (GetStyle() & WS_CHILD)
        return;
    if (nType == SIZE_MINIMIZED && !m_bFloatsHiddenByMinimize) {
        m_bFloatsHiddenByMinimize = TRUE;
        NotifyFloatingWindows(FS_HIDE);
    } else if (nType != SIZE_MINIMIZED && m_bFloatsHiddenByMinimize) {
        m_bFloatsHiddenByMinimize = FALSE;
        NotifyFloatingWindows(FS_SHOW);
    }
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    // The keyboard goes on to the active view, or to the preview standing in its place.
    if (IsInPreview()) {
        if (CWnd* pane = GetDlgItem(AFX_IDW_PANE_FIRST)) {
            pane->SetFocus();
            return;
        }
    }
    if (CView* view = GetActiveView())
        view->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

LRESULT CFrameWnd::OnSizeParentRecalc(WPARAM, LPARAM)
{
    DelayRecalcLayout();
    return 0;
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    if (m_nIdleFlags & (idleLayout | idleNotify))
        RecalcLayout((m_nIdleFlags & idleNotify) != 0);
    if (m_nIdleFlags & idleTitle)
        OnUpdateFrameTitle(TRUE);
    m_nIdleFlags = 0;
    // A prompt that was asked for but not shown yet (a menu closed, a press let go) shows now.
    if (m_nIDTracking != m_nIDLastMessage)
        SetMessageText(m_nIDTracking);
    return 0;
}

// ---- Floating windows, activation and modal state ----

namespace {

// The top-level windows owned, directly or through other owned windows, by hOwner.
std::vector<HWND> OwnedWindows(HWND hOwner)
{
    struct Walk {
        HWND owner;
        std::vector<HWND> found;
    } walk{hOwner, {}};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* w = reinterpret_cast<Walk*>(lParam);
            for (HWND up = ::GetWindow(hwnd, GW_OWNER); up; up = ::GetWindow(up, GW_OWNER))
                if (up == w->owner) {
                    w->found.push_back(hwnd);
                    break;
                }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.found;
}

// The frame whose floating windows a frame's activation speaks for: the top-level one.
CFrameWnd* FloatOwner(CFrameWnd* frame)
{
    CFrameWnd* top = frame->GetTopLevelFrame();
    return top ? top : frame;
}

} // namespace

void CFrameWnd::NotifyFloatingWindows(DWORD dwFlags)
{
    if (!m_hWnd)
        return;
    // Only a top-level frame owns floating windows: a frame inside another speaks for it.
    if (GetStyle() & WS_CHILD) {
        CFrameWnd* top = GetTopLevelFrame();
        if (top && top != this)
            top->NotifyFloatingWindows(dwFlags);
        return;
    }
    // Taken first: a window may come or go as it answers.
    for (HWND hwnd : OwnedWindows(m_hWnd))
        if (::IsWindow(hwnd))
            ::SendMessage(hwnd, WM_FLOATSTATUS, dwFlags, 0);
}

void CFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CWnd::OnActivate(nState, pWndOther, bMinimized);
    // The frame keeps looking active while the activation stays with it or one of the floating
    // windows that follow it (they answer FS_SYNCACTIVE); the palettes follow the frame's look.
    CFrameWnd* top = FloatOwner(this);
    // A palette without a frame above it follows its owner's activation and leads nothing.
    if (top == this && ::SendMessage(m_hWnd, WM_FLOATSTATUS, FS_SYNCACTIVE, 0))
        return;
    CWnd* active = nState == WA_INACTIVE ? pWndOther : this;
    BOOL stay = FALSE;
    if (active && active->m_hWnd) {
        if (active->m_hWnd == top->m_hWnd) {
            stay = TRUE;
        } else {
            HWND root = ::GetAncestor(active->m_hWnd, GA_ROOTOWNER);
            stay = root == top->m_hWnd && ::SendMessage(active->m_hWnd, WM_FLOATSTATUS, FS_SYNCACTIVE, 0) != 0;
        }
    }
    const BOOL was = (top->m_nFlags & WF_STAYACTIVE) != 0;
    if (stay)
        top->m_nFlags |= WF_STAYACTIVE;
    else
        top->m_nFlags &= ~static_cast<UINT>(WF_STAYACTIVE);
    // The frame's own caption was drawn before this decision: draw it again when it changed.
    if (was != stay && top->m_hWnd)
        top->SendMessage(WM_NCACTIVATE, stay);
    top->NotifyFloatingWindows(stay ? FS_ACTIVATE : FS_DEACTIVATE);
}

BOOL CFrameWnd::OnNcActivate(BOOL bActive)
{
    // Active while one of its floating windows has the activation, but never while disabled.
    if (m_nFlags & WF_STAYACTIVE)
        bActive = TRUE;
    if (!IsWindowEnabled())
        bActive = FALSE;
    return static_cast<BOOL>(DefWindowProc(WM_NCACTIVATE, bActive, 0));
}

void CFrameWnd::OnEnable(BOOL bEnable)
{
    // In a modal state of its own the frame stays disabled, whoever enables it (a dialog that
    // ends enables its owner).
    if (bEnable && (m_nFlags & WF_STAYDISABLED)) {
        ::EnableWindow(m_hWnd, FALSE);
        return;
    }
    Default();
    // A document window's enabling is its own; the main frame's takes its palettes along.
    if (!(GetStyle() & WS_CHILD))
        NotifyFloatingWindows(bEnable ? FS_ENABLE : FS_DISABLE);
}

void CFrameWnd::OnShowWindow(BOOL bShow, UINT nStatus)
{
    Default();
    // Shown or hidden by the program: the palettes go and come with the frame.
    if (nStatus == 0 && !(GetStyle() & WS_CHILD))
        NotifyFloatingWindows(bShow ? FS_SHOW : FS_HIDE);
}

void CFrameWnd::BeginModalState()
{
    if (GetStyle() & WS_CHILD) {
        if (CFrameWnd* top = GetTopLevelFrame(); top && top != this)
            top->BeginModalState();
        return;
    }
    if (m_cModalStack++ > 0 || !m_hWnd)
        return;
    // Only what is enabled now is disabled, and so only that comes back at the end.
    std::vector<HWND> windows = OwnedWindows(m_hWnd);
    windows.insert(windows.begin(), m_hWnd);
    m_modalDisabled.clear();
    for (HWND hwnd : windows)
        if (::IsWindowEnabled(hwnd))
            m_modalDisabled.push_back(hwnd);
    m_nFlags |= WF_STAYDISABLED;
    for (HWND hwnd : m_modalDisabled)
        if (::IsWindow(hwnd))
            ::EnableWindow(hwnd, FALSE);
}

void CFrameWnd::EndModalState()
{
    if (GetStyle() & WS_CHILD) {
        if (CFrameWnd* top = GetTopLevelFrame(); top && top != this)
            top->EndModalState();
        return;
    }
    if (m_cModalStack == 0 || --m_cModalStack > 0)
        return;
    m_nFlags &= ~static_cast<UINT>(WF_STAYDISABLED);
    const std::vector<HWND> windows = std::move(m_modalDisabled);
    m_modalDisabled.clear();
    for (HWND hwnd : windows)
        if (::IsWindow(hwnd))
            ::EnableWindow(hwnd, TRUE);
}

// ---- Print preview ----

void CFrameWnd::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState)
{
    if (!pState || !m_hWnd)
        return;
    if (bPreview) {
        if (m_lpfnCloseProc)
            return;   // one preview at a time
        m_lpfnCloseProc = pState->lpfnCloseProc;
        pState->hWndFocus = ::GetFocus();
        // The menu and the keys of the view's commands are not the preview's.
        pState->hMenu = ::GetMenu(m_hWnd);
        if (pState->hMenu)
            ::SetMenu(m_hWnd, nullptr);
        pState->hAccelTable = m_hAccelTable;
        m_hAccelTable = nullptr;
        // The bars go, but the status bar, where the preview can still tell things.
        pState->hiddenBars.clear();
        for (CControlBar* bar : std::vector<CControlBar*>(m_listControlBars)) {
            if (!bar->m_hWnd || bar->IsDockBar() || bar->GetDlgCtrlID() == AFX_IDW_STATUS_BAR)
                continue;
            if (bar->IsVisible()) {
                pState->hiddenBars.push_back(bar->m_hWnd);
                ShowControlBar(bar, FALSE, FALSE);
            }
        }
        // The pane steps aside, hidden, and leaves its id to the preview.
        if (CWnd* pane = GetDlgItem(AFX_IDW_PANE_FIRST)) {
            pState->hWndMainPane = pane->m_hWnd;
            ::SetWindowLong(pane->m_hWnd, GWL_ID, AFX_IDW_PANE_SAVE);
            pane->ShowWindow(SW_HIDE);
        }
        RecalcLayout();
        return;
    }

    if (!m_lpfnCloseProc)
        return;
    m_lpfnCloseProc = nullptr;
    // The frame comes back in one step: nothing is drawn while the pane, the bars and the menu
    // return, and then all of it is painted at once. Drawn as each came back, the bars stood
    // over the page the preview left on the screen until the pane was painted too.
    const BOOL bLocked = ::LockWindowUpdate(m_hWnd);
    if (pState->hWndMainPane && ::IsWindow(pState->hWndMainPane)) {
        ::SetWindowLong(pState->hWndMainPane, GWL_ID, AFX_IDW_PANE_FIRST);
        ::ShowWindow(pState->hWndMainPane, SW_SHOW);
    }
    for (HWND hwnd : pState->hiddenBars)
        if (::IsWindow(hwnd))
            if (auto* bar = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(hwnd)))
                ShowControlBar(bar, TRUE, FALSE);
    pState->hiddenBars.clear();
    if (pState->hMenu && ::IsMenu(pState->hMenu))
        ::SetMenu(m_hWnd, pState->hMenu);
    pState->hMenu = nullptr;
    m_hAccelTable = pState->hAccelTable;
    pState->hAccelTable = nullptr;
    RecalcLayout();
    // The keys go back first, so that what shows where they are is painted with the rest.
    if (pState->hWndFocus && ::IsWindow(pState->hWndFocus))
        ::SetFocus(pState->hWndFocus);
    pState->hWndFocus = nullptr;
    if (bLocked)
        ::LockWindowUpdate(nullptr);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
}

// ---- Help ----

LRESULT CFrameWnd::OnCommandHelp(WPARAM, LPARAM lParam)
{
    if (lParam == 0) {
        // A command highlighted in a menu has help of its own; else the frame's resource.
        const bool tracking = m_nIDTracking != 0 && m_nIDTracking != AFX_IDS_IDLEMESSAGE &&
                              m_nIDTracking != AFX_IDS_HELPMODEMESSAGE && m_nIDTracking < 0xF000;
        if (tracking)
            lParam = static_cast<LPARAM>(HID_BASE_COMMAND + m_nIDTracking);
        else if (m_nIDHelp != 0)
            lParam = static_cast<LPARAM>(HID_BASE_RESOURCE + m_nIDHelp);
    }
    if (lParam == 0)
        return FALSE;
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(static_cast<DWORD_PTR>(lParam), HELP_CONTEXT);
    return TRUE;
}

// ---- Titles ----

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    m_nIdleFlags &= ~idleTitle;
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    CDocument* doc = GetActiveDocument();
    UpdateFrameTitleForDocument(bAddToTitle && doc ? doc->GetTitle().GetString() : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCTSTR lpszDocName)
{
    CString text;
    CString docPart;
    if (lpszDocName && *lpszDocName) {
        docPart = lpszDocName;
        if (m_nWindow > 0) {
            CString number;
            number.Format(":%d", m_nWindow);
            docPart += number;
        }
    }
    if (docPart.IsEmpty())
        text = m_strTitle;
    else if (GetStyle() & FWS_PREFIXTITLE)
        text = m_strTitle.IsEmpty() ? docPart : docPart + " - " + m_strTitle;
    else
        text = m_strTitle.IsEmpty() ? docPart : m_strTitle + " - " + docPart;
    CString current;
    GetWindowText(current);
    if (current != text)
        SetWindowText(text);   // the same text again would only flicker the caption
}

// ---- Message bar ----

CWnd* CFrameWnd::GetMessageBar()
{
    if (CWnd* bar = GetDescendantWindow(AFX_IDW_STATUS_BAR, TRUE))
        return bar;
    // A document window inside a main frame shows its prompts in the main frame's bar.
    if (GetStyle() & WS_CHILD)
        if (CFrameWnd* outer = GetParentFrame())
            return outer->GetMessageBar();
    return nullptr;
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage.Empty();
    CString full;
    if (full.LoadString(nID))
        AfxExtractSubString(rMessage, full, 0);
}

void CFrameWnd::SetMessageText(LPCTSTR lpszText)
{
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CFrameWnd::SetMessageText(UINT nID)
{
    SendMessage(WM_SETMESSAGESTRING, nID);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    const UINT last = m_nIDLastMessage;
    m_nFlags &= ~WF_NOPOPMSG;
    if (CWnd* bar = GetMessageBar()) {
        CString message;
        if (lParam)
            message = reinterpret_cast<LPCTSTR>(lParam);
        else if (wParam)
            GetMessageString(static_cast<UINT>(wParam), message);
        bar->SetWindowText(message);
    }
    m_nIDLastMessage = static_cast<UINT>(wParam);
    m_nIDTracking = static_cast<UINT>(wParam);
    return last;
}

BOOL CFrameWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMTTDISPINFO*>(pNMHDR);
    UINT_PTR id = pNMHDR->idFrom;
    if (info->uFlags & TTF_IDISHWND)
        id = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(id)));
    info->szText[0] = '\0';
    if (id != 0) {
        // A command's string is "status text\ntip"; the tip is the part after the line break.
        LPCSTR full = FindResourceString(static_cast<UINT>(id));
        if (full) {
            const char* tip = strchr(full, '\n');
            snprintf(info->szText, sizeof info->szText, "%s", tip ? tip + 1 : full);
        }
    }
    if (pResult)
        *pResult = 0;
    return TRUE;   // the tool tip has its answer, empty or not
}
