// The group view's child frame.
#include "app/views/CGroupFrame.h"

#include "app/frame/CMainFrame.h"
#include "app/frame/CVostrelApp.h"
#include "app/views/CGroupView.h"
#include "platform/afx/AfxMessages.h"
#include "platform/controls/StatusBar.h"

IMPLEMENT_DYNCREATE(CGroupFrame, SECMDIChildWnd)

BEGIN_MESSAGE_MAP(CGroupFrame, SECMDIChildWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_MESSAGE(WM_IDLEUPDATECMDUI, &CGroupFrame::OnIdleUpdate)
END_MESSAGE_MAP()

BOOL CGroupFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    // The application titles the frame with the folder shown, not the document.
    cs.style &= ~static_cast<LONG>(FWS_ADDTOTITLE);
    // The grid and the edit pane cover the whole frame: its own erase, due when a resize has
    // already repainted them, must not wipe them.
    cs.style |= WS_CLIPCHILDREN;
    return SECMDIChildWnd::PreCreateWindow(cs);
}

void CGroupFrame::ActivateFrame(int nCmdShow)
{
    SECMDIChildWnd::ActivateFrame(nCmdShow == -1 ? SW_SHOWMAXIMIZED : nCmdShow);
}

int CGroupFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (SECMDIChildWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_wndStatusBar.Create(this, 0x50002800, 59393))
        return -1;
    static const UINT indicators[] = {0};
    if (!m_wndStatusBar.SetIndicators(indicators, 1))
        return -1;
    // The bar stands above the grid: a size grip there would grip nothing.
    m_wndStatusBar.ModifyStyle(SBARS_SIZEGRIP, 0);
    if (!m_wndEdit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL, CRect(0, 0, 80, 20), &m_wndStatusBar, 0))
        return -1;
    m_wndEdit.SendMessage(WM_SETFONT, m_wndStatusBar.SendMessage(WM_GETFONT), TRUE);
    // What is typed or pasted here goes to the page whole, however long.
    m_wndEdit.LimitText(0);
    // The field sits inside the pane's sunken edge, in a pane of fixed width.
    m_wndStatusBar.SetPaneControl(0, &m_wndEdit, 1, SBC_INSET);
    m_wndStatusBar.SetPaneInfo(0, 0, SBPS_NORMAL, kEditPaneWidth);
    return 0;
}

void CGroupFrame::OnClose()
{
    CVostrelApp* pApp = GetVostrelApp();
    CMainFrame* pMain = pApp != nullptr ? pApp->GetMainFrame() : nullptr;
    const HWND hFrame = m_hWnd;
    SECMDIChildWnd::OnClose();
    // This frame is gone by now, when it closed: only what was kept above is used.
    if (pMain != nullptr && !::IsWindow(hFrame))
        pMain->GiveKeysAfterGridClosed();
}

LRESULT CGroupFrame::OnIdleUpdate(WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CFrameWnd::OnIdleUpdateCmdUI(wParam, lParam);
    // Text typed into the field stays until it is committed.
    CGroupView* pView = m_wndEdit.GetGridView();
    if (pView == nullptr || m_wndEdit.IsEditing() || m_wndEdit.GetSafeHwnd() == nullptr)
        return lResult;
    m_wndEdit.SetText(pView->GetFieldText());
    return lResult;
}

UINT CGroupFrame::SetView(CGroupView* pView)
{
    m_wndEdit.SetGridView(pView);
    return 0;
}

UINT CGroupFrame::SetStatusText(const CString& strText)
{
    m_wndEdit.SetText(strText);
    return 0;
}
