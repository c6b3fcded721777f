// CGroupFrame: the child frame of the project's grid: maximised, titled by the application,
// with a one-pane status bar whose edit field shows the current cell's whole text.
#pragma once

#include "app/views/CShortcutEditCtrl.h"
#include "toolkit/frames/SECCustomStatusBar.h"
#include "toolkit/frames/SECMDIChildWnd.h"

class CGroupView;

class CGroupFrame : public SECMDIChildWnd {
    DECLARE_DYNCREATE(CGroupFrame)
public:
    // The edit field's pane width.
    static constexpr int kEditPaneWidth = 200;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void ActivateFrame(int nCmdShow = -1) override;

    // The edit field works on the view's current cell; 0.
    UINT SetView(CGroupView* pView);
    // Shows the text in the edit field; 0.
    UINT SetStatusText(const CString& strText);

    CShortcutEditCtrl& GetEditField() { return m_wndEdit; }
    SECCustomStatusBar& GetStatusBar() { return m_wndStatusBar; }

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    // Closed by the user (Ctrl+F4, its close box): the keys, which were in it, go to a pane
    // where they are seen.
    void OnClose();
    // Between the user's actions the edit field catches up with the current cell's value,
    // whatever changed it: a move, an edit, Fill Down, Undo, a sort, a paste or a dialog.
    LRESULT OnIdleUpdate(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CShortcutEditCtrl m_wndEdit;
    SECCustomStatusBar m_wndStatusBar;
};
