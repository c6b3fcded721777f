// SECMDIFrameWnd: the toolkit's MDI main frame. Over the framework's it docks with toolkit dock
// bars and floating frames, docks at a position with a share and thickness, saves and loads the
// whole docking layout, floats bars as windows of its client, treats a docked document frame as
// its active frame for commands, menus and the title, places frames opened docked round its
// sides in turn, and keeps the slots of the caption filters and the menu plug-in.
#pragma once

#include "platform/afx/frame/CMDIFrameWnd.h"
#include "toolkit/caption/SECGradientCaption.h"
#include "toolkit/frames/SECFrameDocking.h"

#include <map>
#include <memory>

class CMenu;
class SECDockableFrame;
class SECMenuBar;
class SECMsgFilter;
class SECWndPlugIn;

class SECMDIFrameWnd : public CMDIFrameWnd, public SECFrameDocking {
    DECLARE_DYNCREATE(SECMDIFrameWnd)
public:
    SECMDIFrameWnd();
    ~SECMDIFrameWnd() override;

    // ---- Docking ----
    void EnableDocking(DWORD dwDockStyle);
    virtual SECDockBar* CreateDockBar();
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    void ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar = nullptr, LPCRECT lpRect = nullptr);
    // Packed form: position {b, a, 0}, size {share, length, 0}.
    virtual void DockControlBarEx(CControlBar* pBar, UINT nDockBarID, int a, int b, float fPctWidth, int nLength);
    virtual void DockControlBarEx(CControlBar* pBar, const SECDockPos& pos, UINT nDockBarID, const SECDockSize& size);
    virtual void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);
    // Floats the bar as a window of the MDI client; a negative coordinate takes the next place
    // of the cascade.
    virtual void FloatControlBarInMDIChild(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);
    virtual CFrameWnd* CreateMDIFloat(DWORD dwStyle);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    void RecalcLayout(BOOL bNotify = TRUE) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    BOOL FloatBarInMDIChild(CControlBar* pBar, CPoint point, DWORD dwStyle) override;
    CWnd* CreateFloatingMDIChild(DWORD dwStyle) override;

    // ---- Saved layout ----
    virtual void LoadBarState(LPCTSTR lpszProfileName);
    virtual void SaveBarState(LPCTSTR lpszProfileName);
    virtual void SetDockState(SECDockState& state);
    virtual void GetDockState(SECDockState& state);
    virtual void SetControlBarManager(SECControlBarManager* pManager) { m_pControlBarManager = pManager; }

    // ---- Docked document frames ----
    virtual void SetActiveDockableFrame(SECDockableFrame* pFrame);
    virtual void DeactivateDockableFrame(BOOL bActivateClient);
    SECDockableFrame* GetActiveDockableFrame() const { return m_pActiveDockableFrame; }
    // The place for the next frame opened docked: a dock bar id, an insertion position and a
    // share and thickness, round the sides in turn.
    virtual void GetNextDockPosition(UINT& nDockBarID, SECDockPos& pos, SECDockSize& size);
    virtual void ActivateDockableView(UINT nState, CWnd* pWndOther, BOOL bMinimized);

    // ---- Captions and menus ----
    virtual void EnableCaptionButtons(int nMask);
    // Paints the caption as a gradient with a two-font title (on at construction); answers the
    // previous switch.
    virtual BOOL EnableCustomCaption(BOOL bEnable, BOOL bRedraw = TRUE);
    BOOL IsCustomCaption() const { return m_caption.IsEnabled(); }
    int GetCaptionMask() const { return m_nCaptionMask; }
    void EnableBmpMenus(BOOL bEnable, BOOL bFlag2)
    {
        m_bBmpMenus = bEnable;
        m_bBmpMenus2 = bFlag2;
    }
    // Takes the menu plug-in (owned); it sees each message before the frame.
    void SetMenuPlugIn(SECWndPlugIn* pPlugIn);
    SECWndPlugIn* GetMenuPlugIn() const { return m_pMenuPlugIn; }
    virtual HMENU GetMenuForId(UINT nID);
    virtual HMENU GetDefaultMenu();

    // ---- A menu bar in place of the window's menu line ----
    // Gives the frame a menu bar (not owned) to show its menus on; set before the window is
    // made. This program makes none: without one the frame keeps its ordinary menu.
    void SetMenuBar(SECMenuBar* pMenuBar) { m_pMenuBar = pMenuBar; }
    virtual SECMenuBar* GetMenuBar() const { return m_pMenuBar; }
    // Shows the menu of a resource id on the menu bar (-1: the frame's own).
    virtual void ActivateMenu(UINT nIDMenu);
    // The menu bar is laid out and painted again (a child maximised or restored, a new menu).
    virtual void RefreshMenuBar();
    // The MDI client lists its windows in the Window menu of the menu shown.
    virtual void SetWindowMenu();
    UINT GetActiveMenuId() const { return m_nIDMenu; }
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;

    // Makes an object of the class (a window plug-in) the command hook: it sees each command
    // after the active document frame and before the frame's own routing, and is owned by the
    // frame. Null, with nothing made, for a null class, a class that is no plug-in, or a frame
    // without its window.
    virtual SECWndPlugIn* CreateCommandHook(CRuntimeClass* pClass);
    SECWndPlugIn* GetCommandHook() const { return m_pCommandHook; }
    // Idle time in a dialog box: a layout asked for at the next idle turn is done now, since the
    // dialog's loop gives the frame no idle turn of its own.
    virtual void OnEnterIdleEx();

    CFrameWnd* GetActiveFrame() override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void OnUpdateFrameMenu(HMENU hMenuAlt) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The caption's active state for a non-client activation.
    BOOL CaptionActive(WPARAM wParam) const;

    // ---- State ----
    CRect m_rectClientArea;        // what the bars left for the client at the last layout
    CRuntimeClass* m_pMDIFloatClass = nullptr;
    CPoint m_ptNextCascade{30, 30};
    SECDockableFrame* m_pActiveDockableFrame = nullptr;
    int m_nCaptionAlign = 0;
    SECMsgFilter* m_pFilterRoot = nullptr;   // the caption filters' root, owned
    int m_nCaptionMask = 0;
    BOOL m_bBmpMenus = FALSE;
    BOOL m_bBmpMenus2 = FALSE;
    UINT m_nIDMenu = 0;      // the menu shown (the menu bar's), by resource id
    UINT m_nIDOwnMenu = 0;   // the frame's own resource id
    BOOL m_bNewShell = TRUE;
    UINT m_arrDockSequence[26] = {};
    SECCustomCaption m_caption;
    int m_nDockSequenceCursor = 0;

protected:
    CFrameWnd* DockingHost() override { return this; }
    BOOL IsCustomizing() const;

    void OnClose();
    LRESULT OnExtendContextMenu(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChangeSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommandHelpSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTestSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnActivateSEC(WPARAM wParam, LPARAM lParam);
    void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    void OnEnable(BOOL bEnable);
    void OnEnterIdle(UINT nWhy, CWnd* pWho);
    LRESULT OnGetMenu(WPARAM wParam, LPARAM lParam);
    void OnWorkspaceCommand(UINT nID);
    void OnUpdateWorkspaceCommand(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

private:
    SECMenuBar* m_pMenuBar = nullptr;
    // Menus of other resource ids that the menu bar was asked to show, loaded once; owned.
    std::map<UINT, HMENU> m_mapMenus;
    SECWndPlugIn* m_pMenuPlugIn = nullptr;
    SECWndPlugIn* m_pCommandHook = nullptr;
};

// Hands a command to a command hook: the hook's answer counts only when it marked the command
// handled, and the mark is cleared for the next command.
BOOL SECRouteToCommandHook(SECWndPlugIn* pHook, UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

// The registered message through which a menu bar asks a frame for the sub-menu at a position of
// a menu id's menu.
UINT SECGetMenuMessage();
