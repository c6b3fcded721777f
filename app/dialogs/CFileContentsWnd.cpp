// A pane of the change preview.
#include "app/dialogs/CFileContentsWnd.h"

#include "platform/afx/bars/CStatusBar.h"
#include "platform/controls/MessageBox.h"
#include "platform/core/CException.h"
#include "toolkit/editor/SECEditDoc.h"

IMPLEMENT_DYNAMIC(CFileContentsWnd, CWnd)

BEGIN_MESSAGE_MAP(CFileContentsWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

void CFileContentsWnd::SetFile(const CString& strCaption, const CString& strPath)
{
    m_strCaption = strCaption;
    m_strPath = strPath;
}

BOOL CFileContentsWnd::Create(const RECT& rect, CWnd* pParent)
{
    // A control parent: the dialog's Tab order goes through the pane to its editor.
    if (!CWnd::CreateEx(WS_EX_CONTROLPARENT, nullptr, "Hello There!", WS_CHILD | WS_VISIBLE, rect, pParent, kPaneId))
        return FALSE;
    try {
        m_wndEdit.InsertFile(m_strPath);
    } catch (CException* e) {
        e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
    }
    if (SECEditDoc* pDoc = m_wndEdit.GetDocument())
        pDoc->SetReadOnly(TRUE);
    // The caret goes back to the first line, so that both panes show the page's start.
    m_wndEdit.TopOfFile(FALSE);
    return TRUE;
}

int CFileContentsWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_wndCaption.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, kCaptionBarId))
        return -1;
    static const UINT indicators[] = {0};
    if (!m_wndCaption.SetIndicators(indicators, 1))
        return -1;
    m_wndCaption.SetPaneInfo(0, 0, SBPS_STRETCH | SBPS_POPOUT, 0);
    m_wndCaption.SetPaneText(0, m_strCaption);
    if (!m_wndEdit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(0, 0, 0, 0), this, kEditorId))
        return -1;
    return 0;
}

void CFileContentsWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    const UINT nFlags = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE;
    if (m_wndCaption.GetSafeHwnd() != nullptr)
        m_wndCaption.SetWindowPos(nullptr, 2, 0, cx - 2, kCaptionHeight, nFlags);
    if (m_wndEdit.GetSafeHwnd() != nullptr)
        m_wndEdit.SetWindowPos(nullptr, 0, kEditorTop, cx, cy - kEditorTop, nFlags);
    Invalidate();
}
