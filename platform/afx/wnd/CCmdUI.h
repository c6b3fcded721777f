// CCmdUI: one user-interface item (menu item, toolbar button, status pane, dialog control)
// asked for its state; update handlers enable, check or retitle it through this object.
#pragma once

#include "platform/afx/wnd/CCmdTarget.h"
#include "platform/core/Types.h"

class CMenu;
class CWnd;

// The bitmap a menu item checked as a radio item shows: none (the menu's own dot) until a
// component that draws menus installs one. Answers the bitmap installed before.
HBITMAP AfxSetMenuRadioBitmap(HBITMAP hBitmap);
HBITMAP AfxGetMenuRadioBitmap();

class CCmdUI {
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);   // 0 off, 1 on, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);
    // Lets the next command target in the route handle the update as well.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks pTarget for this item's state. With bDisableIfNoHndler, an item whose update no
    // handler took is enabled exactly when some target has a command handler for it.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    CMenu* m_pMenu = nullptr;
    CMenu* m_pSubMenu = nullptr;
    CMenu* m_pParentMenu = nullptr;
    CWnd* m_pOther = nullptr;
    UINT m_nIndexMax = 0;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;
};

// Records what the update handlers said about a command without touching any item: routing
// asks it before running a command that no control sent, so a disabled command never runs.
class CTestCmdUI : public CCmdUI {
public:
    CTestCmdUI() { m_bEnabled = TRUE; }
    void Enable(BOOL bOn) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
    BOOL m_bEnabled;
};

template <class Fn>
BOOL AfxCallUpdateHandler(CCmdUI* pCmdUI, Fn&& fn)
{
    pCmdUI->m_bContinueRouting = FALSE;
    fn(pCmdUI);
    return !pCmdUI->m_bContinueRouting;
}
