// CMDIChildWnd: a document window inside an MDI frame's client. It is made through the client,
// shares its template's menu and accelerators, puts its menu on the frame's bar while it is
// active, and keeps the frame's title and Window menu up to date.
#pragma once

#include "platform/afx/frame/CFrameWnd.h"

class CMDIFrameWnd;

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    CMDIChildWnd() = default;
    ~CMDIChildWnd() override = default;

    // The menu shown on the frame's bar while this window is active (its template's, shared).
    HMENU m_hMenuShared = nullptr;

    // Made through pParentWnd's MDI client (the program's main window when null); a visible
    // one is brought up and activated.
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                        CMDIFrameWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL DestroyWindow() override;

    CMDIFrameWnd* GetMDIFrame() const;
    void MDIDestroy();
    void MDIActivate();
    void MDIMaximize();
    void MDIRestore();
    // Shows this window maximised when the active one is, or as its style says, and makes it
    // the active child.
    void ActivateFrame(int nCmdShow = -1) override;

    // Puts the menu for this window on the frame's bar when it is activated (hMenuAlt or the
    // shared one), the frame's own when the last window goes, and
    // refreshes the Window menu otherwise.
    virtual void OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt);
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    int OnCreate(LPCREATESTRUCT lpcs);
    LRESULT OnMDIActivate(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
