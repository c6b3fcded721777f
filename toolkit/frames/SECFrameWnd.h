// SECFrameWnd: the toolkit's SDI frame: toolkit dock bars and floating frames, docking at a
// position with a share and thickness, the saved docking layout, the caption mask for the
// caption features, a non-client filter root and a command hook. It is the base of the dockable
// document frame.
#pragma once

#include "platform/afx/frame/CFrameWnd.h"
#include "toolkit/caption/SECGradientCaption.h"
#include "toolkit/caption/SECMsgFilter.h"
#include "toolkit/frames/SECFrameDocking.h"

class SECWndPlugIn;

class SECFrameWnd : public CFrameWnd, public SECFrameDocking, public ISECMsgFilterHost {
    DECLARE_DYNCREATE(SECFrameWnd)
public:
    // The resource the frame was loaded with, which the template lookups compare.
    using CFrameWnd::m_nIDHelp;

    SECFrameWnd();
    ~SECFrameWnd() override;

    // ---- Docking ----
    void EnableDocking(DWORD dwDockStyle);
    virtual SECDockBar* CreateDockBar();
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    void ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    virtual void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);
    virtual void DockControlBarEx(CControlBar* pBar, const SECDockPos& pos, UINT nDockBarID, const SECDockSize& size);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);

    // ---- Saved layout ----
    virtual void LoadBarState(LPCTSTR lpszProfileName);
    virtual void SaveBarState(LPCTSTR lpszProfileName);
    virtual void SetDockState(SECDockState& state);
    virtual void GetDockState(SECDockState& state);
    virtual void SetControlBarManager(SECControlBarManager* pManager) { m_pControlBarManager = pManager; }

    // ---- Menus and captions ----
    virtual HMENU GetMenuForId(UINT nID);
    virtual void OnUpdateFrameMenuEx(BOOL bActivate, CWnd* pActivateWnd, HMENU hMenuAlt);
    virtual HMENU GetDefaultMenu();
    // The caption features the frame shows (a mask of the template's caption bits), switched in
    // its filters.
    virtual void EnableCaptionButtons(int nMask);
    SECMsgFilter* GetFilterRoot() const override { return m_pFilterRoot; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int GetCaptionMask() const { return m_nCaptionMask; }
    // Paints the caption as a gradient with a two-font title (on at creation; the small caption
    // on a tool window such as a docked document frame); answers the previous switch.
    virtual BOOL EnableCustomCaption(BOOL bEnable, BOOL bRedraw = TRUE);
    BOOL IsCustomCaption() const { return m_caption.IsEnabled(); }
    // The caption's active state for a non-client activation.
    BOOL CaptionActive(WPARAM wParam) const;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // As the MDI frame's: a plug-in of the class becomes the frame's own command hook (owned).
    virtual SECWndPlugIn* CreateCommandHook(CRuntimeClass* pClass);
    SECWndPlugIn* GetCommandHook() const { return m_pCommandHook; }
    // As the MDI frame's: a pending layout is done while a dialog box idles.
    virtual void OnEnterIdleEx();
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;

    // The root of the non-client message filters, owned.
    SECMsgFilter* m_pFilterRoot = nullptr;
    int m_nCaptionMask = 0;
    UINT m_nIDMenu = 0;
    BOOL m_bNewShell = TRUE;
    SECCustomCaption m_caption;

protected:
    CFrameWnd* DockingHost() override { return this; }
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    void OnEnterIdle(UINT nWhy, CWnd* pWho);

    DECLARE_MESSAGE_MAP()

private:
    SECWndPlugIn* m_pCommandHook = nullptr;
};
