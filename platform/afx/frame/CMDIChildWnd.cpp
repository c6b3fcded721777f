#include "platform/afx/frame/CMDIChildWnd.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CCreateContext.h"
#include "platform/afx/doc/CDocTemplate.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "platform/controls/MdiClient.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Cursor.h"
#include "platform/win/ResourceImages.h"

#include <cstdio>

IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
    ON_WM_CREATE()
    ON_MESSAGE(WM_MDIACTIVATE, &CMDIChildWnd::OnMDIActivate)
END_MESSAGE_MAP()

BOOL CMDIChildWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CMDIFrameWnd* pParentWnd, CCreateContext* pContext)
{
    if (!pParentWnd)
        pParentWnd = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    if (!pParentWnd || !pParentWnd->m_hWndMDIClient || m_hWnd)
        return FALSE;
    // The client's area is what is left after the frame's bars.
    pParentWnd->RecalcLayout();
    CREATESTRUCT cs{};
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    const bool useDefault = ::EqualRect(&rect, &rectDefault) != FALSE;
    cs.x = useDefault ? CW_USEDEFAULT : rect.left;
    cs.y = useDefault ? CW_USEDEFAULT : rect.top;
    cs.cx = useDefault ? CW_USEDEFAULT : rect.right - rect.left;
    cs.cy = useDefault ? CW_USEDEFAULT : rect.bottom - rect.top;
    cs.hwndParent = pParentWnd->m_hWnd;
    cs.lpCreateParams = pContext;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    m_strTitle = cs.lpszName ? cs.lpszName : "";
    // Made hidden: showing is activating, which comes after the creation.
    MDICREATESTRUCT mcs{cs.lpszClass, cs.lpszName, nullptr, cs.x, cs.y, cs.cx, cs.cy,
                        static_cast<DWORD>(cs.style) & ~static_cast<DWORD>(WS_MAXIMIZE | WS_VISIBLE),
                        reinterpret_cast<LPARAM>(pContext)};
    AfxHookWindowCreate(this);
    HWND hWnd = reinterpret_cast<HWND>(
        ::SendMessage(pParentWnd->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    // As CWnd::CreateEx: a window destroyed on the way has disposed of this object already.
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    if (!hWnd)
        return FALSE;
    if (cs.style & WS_VISIBLE) {
        ::BringWindowToTop(hWnd);
        if (cs.style & WS_MINIMIZE)
            ShowWindow(SW_SHOWMINIMIZED);
        else if (cs.style & WS_MAXIMIZE)
            ShowWindow(SW_SHOWMAXIMIZED);
        else
            ShowWindow(SW_SHOWNORMAL);
        pParentWnd->MDIActivate(this);
        ::SendMessage(pParentWnd->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    }
    return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    // The title is the first part of the resource's string; the class carries its icon, which
    // the frame's bar shows while the window is maximised.
    CString full, title;
    if (full.LoadString(nIDResource))
        AfxExtractSubString(title, full, 0);
    const LPCTSTR resource = MAKEINTRESOURCE(nIDResource);
    HINSTANCE iconModule = AfxFindResourceHandle(resource, RT_ICON);
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)),
                                      iconModule ? ::LoadIcon(iconModule, resource) : nullptr);
    // The template's shared menu and accelerators come with the context.
    if (pContext && pContext->m_pNewDocTemplate) {
        if (!m_hMenuShared)
            m_hMenuShared = pContext->m_pNewDocTemplate->m_hMenuShared;
        if (!m_hAccelTable)
            m_hAccelTable = pContext->m_pNewDocTemplate->m_hAccelTable;
    }
    auto* frame = dynamic_cast<CMDIFrameWnd*>(pParentWnd);
    return Create(cls, title, dwDefaultStyle | WS_CHILD, rectDefault, frame, pContext);
}

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CHILD;
    return CFrameWnd::PreCreateWindow(cs);
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    // Through the client, the creation data is the client's description of the child, which
    // carries the frame's context.
    auto* mcs = static_cast<MDICREATESTRUCT*>(lpcs->lpCreateParams);
    auto* context = mcs ? reinterpret_cast<CCreateContext*>(mcs->lParam) : nullptr;
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    if (!OnCreateClient(lpcs, context))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    // Children go through the client, which activates the next one first.
    MDIDestroy();
    return TRUE;
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    HWND client = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    return client ? dynamic_cast<CMDIFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(client))) : nullptr;
}

void CMDIChildWnd::MDIDestroy()
{
    if (CMDIFrameWnd* frame = GetMDIFrame())
        ::SendMessage(frame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
    else
        CWnd::DestroyWindow();
}

void CMDIChildWnd::MDIActivate()
{
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->MDIActivate(this);
}

void CMDIChildWnd::MDIMaximize()
{
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->MDIMaximize(this);
}

void CMDIChildWnd::MDIRestore()
{
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->MDIRestore(this);
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame)
        return;
    if (nCmdShow == -1) {
        BOOL maximised = FALSE;
        frame->MDIGetActive(&maximised);
        const DWORD style = GetStyle();
        if (maximised || (style & WS_MAXIMIZE))
            nCmdShow = SW_SHOWMAXIMIZED;
        else if (style & WS_MINIMIZE)
            nCmdShow = SW_SHOWMINIMIZED;
    }
    CFrameWnd::ActivateFrame(nCmdShow);
    if (m_hWnd && frame->MDIGetActive() != this)
        frame->MDIActivate(this);
    ::SendMessage(frame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
}

LRESULT CMDIChildWnd::OnMDIActivate(WPARAM wParam, LPARAM lParam)
{
    CWnd* activate = CWnd::FromHandle(reinterpret_cast<HWND>(lParam));
    const BOOL active = reinterpret_cast<HWND>(lParam) == m_hWnd;
    (void)wParam;
    CView* view = GetActiveView();
    if (!active && view)
        view->OnActivateView(FALSE, view, view);
    // Deactivating the last window leaves the frame's title without a document.
    OnUpdateFrameTitle(active || lParam != 0);
    CMDIFrameWnd* frame = GetMDIFrame();
    if (active && view && frame && ::GetActiveWindow() == frame->m_hWnd)
        view->OnActivateView(TRUE, view, view);
    OnUpdateFrameMenu(active, lParam ? activate : nullptr, nullptr);
    if (frame)
        frame->DrawMenuBar();
    return 0;
}

void CMDIChildWnd::OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt)
{
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame)
        return;
    if (!hMenuAlt)
        hMenuAlt = m_hMenuShared;
    if (hMenuAlt && bActive) {
        ::SendMessage(frame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(hMenuAlt),
                      reinterpret_cast<LPARAM>(frame->GetWindowMenuPopup(hMenuAlt)));
    } else if (hMenuAlt && !bActive && !pActivateWnd) {
        // The last window goes: the frame's own menu comes back.
        ::SendMessage(frame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(frame->m_hMenuDefault),
                      reinterpret_cast<LPARAM>(frame->GetWindowMenuPopup(frame->m_hMenuDefault)));
    } else {
        ::SendMessage(frame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    }
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->OnUpdateFrameTitle(bAddToTitle);
    if (!(GetStyle() & FWS_ADDTOTITLE) || !bAddToTitle)
        return;
    CDocument* doc = GetActiveDocument();
    CString text = doc ? doc->GetTitle() : m_strTitle;
    if (m_nWindow > 0) {
        char number[16];
        snprintf(number, sizeof number, ":%d", m_nWindow);
        text += number;
    }
    CString now;
    GetWindowText(now);
    if (now != text)
        SetWindowText(text);
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG* pMsg)
{
    // The frame translates the keys (the active child's accelerators first).
    return CWnd::PreTranslateMessage(pMsg);
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefMDIChildProc(m_hWnd, message, wParam, lParam);
}
