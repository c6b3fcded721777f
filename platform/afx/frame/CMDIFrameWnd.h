// CMDIFrameWnd: the main frame of a program with many document windows. It holds an MDI client
// as its view pane, hands commands to the active document window first, shows that window's
// menu (or its own when none is active), and arranges the document windows.
#pragma once

#include "platform/afx/frame/CFrameWnd.h"

class CMDIChildWnd;
class CMenu;

// The Window menu's list of document windows starts at this command id.
#define AFX_IDM_FIRST_MDICHILD 0xFF00

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    CMDIFrameWnd() = default;
    ~CMDIFrameWnd() override = default;

    HWND m_hWndMDIClient = nullptr;

    // Makes the MDI client (the frame's pane) with the Window menu that lists the children.
    virtual BOOL CreateClient(LPCREATESTRUCT lpCreateStruct, CMenu* pWindowMenu);
    // The pop-up of a menu bar that holds the window commands (ID_WINDOW_*), or null.
    virtual HMENU GetWindowMenuPopup(HMENU hMenuBar);

    void MDIActivate(CWnd* pWndActivate);
    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    void MDIIconArrange();
    void MDIMaximize(CWnd* pWnd);
    void MDINext();
    void MDIPrev();
    void MDIRestore(CWnd* pWnd);
    CMenu* MDISetMenu(CMenu* pFrameMenu, CMenu* pWindowMenu);
    void MDITile();
    void MDITile(int nType);
    void MDICascade();
    void MDICascade(int nType);
    // A new document window of class pClass from resource nResource (its title), sharing the
    // menu and accelerators given; null when it cannot be made.
    CMDIChildWnd* CreateNewChild(CRuntimeClass* pClass, UINT nResource, HMENU hMenu = nullptr,
                                 HACCEL hAccel = nullptr);

    // The menu bar for the active child: its menu, or hMenuAlt, or the frame's own default.
    virtual void OnUpdateFrameMenu(HMENU hMenuAlt);

    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    CFrameWnd* GetActiveFrame() override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnMDIWindowCmd(UINT nID);
    void OnWindowNew();
    void OnUpdateWindowNew(CCmdUI* pCmdUI);
    void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);
    // Help for a highlighted menu command is the frame's; else the active document window's,
    // then the frame's own.
    LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
