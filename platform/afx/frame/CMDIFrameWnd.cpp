#include "platform/afx/frame/CMDIFrameWnd.h"

#include "platform/afx/AfxMessages.h"

#include "platform/afx/doc/CCreateContext.h"
#include "platform/afx/doc/CDocTemplate.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/frame/CMDIChildWnd.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/controls/MdiClient.h"

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
    ON_COMMAND(ID_WINDOW_NEW, &CMDIFrameWnd::OnWindowNew)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW, &CMDIFrameWnd::OnUpdateWindowNew)
    ON_COMMAND_EX(ID_WINDOW_ARRANGE, &CMDIFrameWnd::OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_CASCADE, &CMDIFrameWnd::OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_TILE_HORZ, &CMDIFrameWnd::OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_TILE_VERT, &CMDIFrameWnd::OnMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_ARRANGE, &CMDIFrameWnd::OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_CASCADE, &CMDIFrameWnd::OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_HORZ, &CMDIFrameWnd::OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_VERT, &CMDIFrameWnd::OnUpdateMDIWindowCmd)
    ON_MESSAGE(WM_COMMANDHELP, &CMDIFrameWnd::OnCommandHelp)
END_MESSAGE_MAP()

LRESULT CMDIFrameWnd::OnCommandHelp(WPARAM wParam, LPARAM lParam)
{
    const bool tracking = m_nIDTracking != 0 && m_nIDTracking != AFX_IDS_IDLEMESSAGE &&
                          m_nIDTracking != AFX_IDS_HELPMODEMESSAGE && m_nIDTracking < 0xF000;
    if (lParam == 0 && !tracking)
        if (CMDIChildWnd* child = MDIGetActive(); child && child->m_hWnd)
            if (child->SendMessage(WM_COMMANDHELP, wParam, 0))
                return TRUE;
    return CFrameWnd::OnCommandHelp(wParam, lParam);
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext*)
{
    CMenu* windowMenu = CMenu::FromHandle(GetWindowMenuPopup(m_hMenuDefault ? m_hMenuDefault : ::GetMenu(m_hWnd)));
    return CreateClient(lpcs, windowMenu);
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT, CMenu* pWindowMenu)
{
    CLIENTCREATESTRUCT ccs{pWindowMenu ? pWindowMenu->m_hMenu : nullptr, AFX_IDM_FIRST_MDICHILD};
    // The client is the frame's pane: the bars lay out around it.
    m_hWndMDIClient = ::CreateWindowEx(WS_EX_CLIENTEDGE, WC_MDICLIENT, nullptr,
                                       WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES,
                                       0, 0, 0, 0, m_hWnd,
                                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)), nullptr,
                                       &ccs);
    return m_hWndMDIClient != nullptr;
}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU hMenuBar)
{
    if (!hMenuBar || !::IsMenu(hMenuBar))
        return nullptr;
    // From the right: the Window menu is usually the last but one.
    for (int pos = ::GetMenuItemCount(hMenuBar) - 1; pos >= 0; --pos) {
        HMENU popup = ::GetSubMenu(hMenuBar, pos);
        if (!popup)
            continue;
        for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
            const UINT id = ::GetMenuItemID(popup, i);
            if (id >= ID_WINDOW_NEW && id <= ID_WINDOW_NEW + 0xF)
                return popup;
        }
    }
    return nullptr;
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate)
{
    ::SendMessage(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(pWndActivate ? pWndActivate->m_hWnd : nullptr),
                  0);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    BOOL maximised = FALSE;
    HWND active = m_hWndMDIClient ? reinterpret_cast<HWND>(::SendMessage(m_hWndMDIClient, WM_MDIGETACTIVE, 0,
                                                                         reinterpret_cast<LPARAM>(&maximised)))
                                  : nullptr;
    if (pbMaximized)
        *pbMaximized = maximised;
    return dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(active));
}

void CMDIFrameWnd::MDIIconArrange()
{
    ::SendMessage(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0);
}

void CMDIFrameWnd::MDIMaximize(CWnd* pWnd)
{
    if (pWnd)
        ::SendMessage(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(pWnd->m_hWnd), 0);
}

void CMDIFrameWnd::MDINext()
{
    ::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 0);
}

void CMDIFrameWnd::MDIPrev()
{
    ::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 1);
}

void CMDIFrameWnd::MDIRestore(CWnd* pWnd)
{
    if (pWnd)
        ::SendMessage(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(pWnd->m_hWnd), 0);
}

CMenu* CMDIFrameWnd::MDISetMenu(CMenu* pFrameMenu, CMenu* pWindowMenu)
{
    auto old = reinterpret_cast<HMENU>(::SendMessage(m_hWndMDIClient, WM_MDISETMENU,
                                                     reinterpret_cast<WPARAM>(pFrameMenu ? pFrameMenu->m_hMenu : nullptr),
                                                     reinterpret_cast<LPARAM>(pWindowMenu ? pWindowMenu->m_hMenu : nullptr)));
    return old ? CMenu::FromHandle(old) : nullptr;
}

void CMDIFrameWnd::MDITile()
{
    ::SendMessage(m_hWndMDIClient, WM_MDITILE, 0, 0);
}

void CMDIFrameWnd::MDITile(int nType)
{
    ::SendMessage(m_hWndMDIClient, WM_MDITILE, static_cast<WPARAM>(nType), 0);
}

void CMDIFrameWnd::MDICascade()
{
    ::SendMessage(m_hWndMDIClient, WM_MDICASCADE, 0, 0);
}

void CMDIFrameWnd::MDICascade(int nType)
{
    ::SendMessage(m_hWndMDIClient, WM_MDICASCADE, static_cast<WPARAM>(nType), 0);
}

CMDIChildWnd* CMDIFrameWnd::CreateNewChild(CRuntimeClass* pClass, UINT nResource, HMENU hMenu, HACCEL hAccel)
{
    if (!pClass || !pClass->IsDerivedFrom(RUNTIME_CLASS(CMDIChildWnd)))
        return nullptr;
    auto* child = dynamic_cast<CMDIChildWnd*>(pClass->CreateObject());
    if (!child)
        return nullptr;
    child->m_hMenuShared = hMenu;
    child->m_hAccelTable = hAccel;
    CCreateContext context;
    context.m_pCurrentFrame = this;
    if (!child->LoadFrame(nResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, this, &context))
        return nullptr;   // the child's destruction deleted it
    // Shown is activated: the new window comes up on top with its menu on the bar.
    child->InitialUpdateFrame(nullptr, TRUE);
    return child;
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    CMDIChildWnd* active = MDIGetActive();
    if (active) {
        active->OnUpdateFrameMenu(TRUE, active, hMenuAlt);
        return;
    }
    HMENU menu = hMenuAlt ? hMenuAlt : m_hMenuDefault;
    if (menu)
        ::SendMessage(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu),
                      reinterpret_cast<LPARAM>(GetWindowMenuPopup(menu)));
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame()
{
    CMDIChildWnd* active = MDIGetActive();
    if (active)
        return active;
    return this;
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The active document window, with its view and document, comes first.
    CMDIChildWnd* active = MDIGetActive();
    if (active && active->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // The Window menu's child list and the maximised child's buttons are the client's.
    const UINT id = LOWORD(wParam);
    if (!lParam && (id >= AFX_IDM_FIRST_MDICHILD || (id >= 0xF000 && id < 0xF200))) {
        ::DefFrameProc(m_hWnd, m_hWndMDIClient, WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return CFrameWnd::OnCommand(wParam, lParam);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (PreTranslateHelpMode(pMsg))
        return TRUE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        // The active child's accelerators first, then Ctrl+F4 and Ctrl+F6, then the frame's.
        CMDIChildWnd* active = MDIGetActive();
        if (active && active->m_hAccelTable && ::TranslateAccelerator(m_hWnd, active->m_hAccelTable, pMsg))
            return TRUE;
        if (::TranslateMDISysAccel(m_hWndMDIClient, pMsg))
            return TRUE;
    }
    return CFrameWnd::PreTranslateMessage(pMsg);
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    // "Document - Program" for the active document; a maximised child's caption joins the
    // title through the client instead, so the title is then the program's alone.
    CMDIChildWnd* active = MDIGetActive();
    const bool shown = active && !(active->GetStyle() & WS_MAXIMIZE);
    CDocument* doc = shown ? active->GetActiveDocument() : nullptr;
    if (bAddToTitle && doc) {
        CString name = doc->GetTitle();
        if (active->m_nWindow > 0) {
            CString number;
            number.Format(":%d", active->m_nWindow);
            name += number;   // which of the document's windows is active
        }
        UpdateFrameTitleForDocument(name);
        return;
    }
    const CString childTitle = shown ? active->GetTitle() : CString();
    UpdateFrameTitleForDocument(bAddToTitle && !childTitle.IsEmpty() ? static_cast<LPCTSTR>(childTitle) : nullptr);
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The frame lays its bars and the client out itself.
    if (message == WM_SIZE)
        return CFrameWnd::DefWindowProc(message, wParam, lParam);
    return ::DefFrameProc(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

BOOL CMDIFrameWnd::OnMDIWindowCmd(UINT nID)
{
    switch (nID) {
    case ID_WINDOW_ARRANGE:
        MDIIconArrange();
        return TRUE;
    case ID_WINDOW_CASCADE:
        MDICascade();
        return TRUE;
    case ID_WINDOW_TILE_HORZ:
        MDITile(MDITILE_HORIZONTAL);
        return TRUE;
    case ID_WINDOW_TILE_VERT:
        MDITile(MDITILE_VERTICAL);
        return TRUE;
    default:
        return FALSE;
    }
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(MDIGetActive() != nullptr);
}

// Another window on the active document, made by the document's template like the first.
void CMDIFrameWnd::OnWindowNew()
{
    CMDIChildWnd* active = MDIGetActive();
    CDocument* doc = active ? active->GetActiveDocument() : nullptr;
    CDocTemplate* docTemplate = doc ? doc->GetDocTemplate() : nullptr;
    CFrameWnd* frame = docTemplate ? docTemplate->CreateNewFrame(doc, active) : nullptr;
    if (!frame) {
        ::MessageBeep(0);   // nothing to show a second window of
        return;
    }
    docTemplate->InitialUpdateFrame(frame, doc, TRUE);
}

void CMDIFrameWnd::OnUpdateWindowNew(CCmdUI* pCmdUI)
{
    CMDIChildWnd* active = MDIGetActive();
    CDocument* doc = active ? active->GetActiveDocument() : nullptr;
    pCmdUI->Enable(doc && doc->GetDocTemplate());
}
