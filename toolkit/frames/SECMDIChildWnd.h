// SECMDIChildWnd: the toolkit's document window in the MDI client. It keeps the main frame's
// active docked frame consistent when the user clicks into it, drives the main frame's menu with
// its own menu id, and stores the caption mask for its caption features.
#pragma once

#include "platform/afx/frame/CMDIChildWnd.h"
#include "toolkit/caption/SECMsgFilter.h"

class SECMDIFrameWnd;
class SECMDIChildWnd : public CMDIChildWnd, public ISECMsgFilterHost {
    DECLARE_DYNCREATE(SECMDIChildWnd)
public:
    // The resource the frame was loaded with, which the template lookups compare.
    using CFrameWnd::m_nIDHelp;

    SECMDIChildWnd();
    ~SECMDIChildWnd() override;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    void OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt) override;
    virtual void RefreshFrameMenu(CWnd* pActivateWnd);
    // The caption features this window shows (the caption mask), switched in its filters.
    virtual void EnableCaptionButtons(int nMask);
    SECMsgFilter* GetFilterRoot() const override { return m_pFilterRoot; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int GetCaptionMask() const { return m_nCaptionMask; }
    // The main frame when it is a toolkit one.
    SECMDIFrameWnd* GetSECMDIFrame() const;

    UINT m_nIDMenuBar = 0;
    BOOL m_bUsesMenuBar = FALSE;
    HMENU m_hMenuAltLast = nullptr;
    SECMsgFilter* m_pFilterRoot = nullptr;   // the caption filters' root, owned
    int m_nCaptionMask = 0;

protected:
    LRESULT OnMouseActivateSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnParentNotifySEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnChildActivateSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcActivateSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroySEC(WPARAM wParam, LPARAM lParam);
    // Makes this window the one the user works in: the docked frame steps back.
    void TakeActivation(BOOL bMenuId);
    // The menu bar shows the menu of the child activated, or the frame's own with none.
    void OnMDIActivated(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
