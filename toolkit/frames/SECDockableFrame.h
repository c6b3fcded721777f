// SECDockableFrame: a document frame that lives in a frame bar docked at a side of the main
// frame, or floating. While it has the focus the main frame routes commands, menus and the title
// to it; its caption starts drags of its bar.
#pragma once

#include "toolkit/frames/SECFrameWnd.h"

class SECMDIFrameWnd;
class SECControlBar;

class SECDockableFrame : public SECFrameWnd {
    DECLARE_DYNCREATE(SECDockableFrame)
public:
    SECDockableFrame();
    ~SECDockableFrame() override;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void OnUpdateFrameMenuEx(BOOL bActivate, CWnd* pActivateWnd, HMENU hMenuAlt) override;
    virtual BOOL IsFloating() const;
    void EnableCaptionButtons(int nMask) override;
    BOOL DestroyWindow() override;

    // The main frame: the parent frame when it is a toolkit MDI frame, else the program's main
    // window when that is one.
    SECMDIFrameWnd* GetMainFrame() const;
    // The frame bar the frame lives in.
    SECControlBar* GetFrameBar() const;

    HMENU m_hMenuDocked = nullptr;   // the template's menu for docked frames (not owned)

protected:
    LRESULT OnActivateSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseActivateSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnParentNotifySEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroySEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDownSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDblClkSEC(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
