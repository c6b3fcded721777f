#include "platform/afx/bars/CDialogBar.h"

#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/dlg/CDialog.h"
#include "platform/controls/Dialog.h"
#include "platform/core/ResourceTable.h"

IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

CDialogBar::CDialogBar()
{
    m_cxLeftBorder = m_cxRightBorder = 6;
    m_cyTopBorder = m_cyBottomBorder = 1;
}

CDialogBar::~CDialogBar() = default;

BOOL CDialogBar::Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, UINT nStyle, UINT nID)
{
    if (m_hWnd || !pParentWnd || !lpszTemplateName)
        return FALSE;
    m_dwStyle = nStyle & CBRS_ALL;

    // The bar's class and style as any control bar has them, for PreCreateWindow to adjust.
    CREATESTRUCT cs{};
    cs.lpszClass = AfxControlBarClass();
    cs.style = static_cast<DWORD>(nStyle) | WS_CHILD;
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID));
    cs.hwndParent = pParentWnd->m_hWnd;
    if (!PreCreateWindow(cs))
        return FALSE;

    AfxHookWindowCreate(this);
    HINSTANCE instance = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    HWND hWnd = ::CreateDialogParam(instance, lpszTemplateName, pParentWnd->m_hWnd, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (!hWnd)
        return FALSE;

    ::SetWindowLong(m_hWnd, GWL_ID, static_cast<LONG>(nID));
    CRect rect;
    GetWindowRect(&rect);
    m_sizeDefault = rect.Size();
    // A bar has no caption of its own, whatever the template says.
    ModifyStyle(WS_CAPTION, WS_CLIPSIBLINGS, SWP_FRAMECHANGED);
    if (!ExecuteDlgInit(lpszTemplateName)) {
        DestroyWindow();
        return FALSE;
    }
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                     ((cs.style & WS_VISIBLE) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    return TRUE;
}

CSize CDialogBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    if (bStretch)
        return bHorz ? CSize(32767, m_sizeDefault.cy) : CSize(m_sizeDefault.cx, 32767);
    return m_sizeDefault;
}

void CDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}
