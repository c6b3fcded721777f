#include "toolkit/docking/SECDialogBar.h"

#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/dlg/CDialog.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/Dialog.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"
#include "toolkit/docking/SECDockState.h"

IMPLEMENT_DYNCREATE(SECDialogBar, SECControlBar)

BEGIN_MESSAGE_MAP(SECDialogBar, SECControlBar)
    ON_MESSAGE(WM_INITDIALOG, &SECDialogBar::OnInitDialog)
END_MESSAGE_MAP()

SECDialogBar::SECDialogBar() = default;
SECDialogBar::~SECDialogBar() = default;

BOOL SECDialogBar::Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, DWORD dwStyle, DWORD dwExStyle, UINT nID)
{
    if (m_hWnd || !pParentWnd || !lpszTemplateName)
        return FALSE;
    m_dwStyle = dwStyle & CBRS_ALL;
    m_dwExStyle = dwExStyle;

    CREATESTRUCT cs{};
    cs.lpszClass = AfxControlBarClass();
    cs.style = static_cast<DWORD>(dwStyle) | WS_CHILD;
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID));
    cs.hwndParent = pParentWnd->m_hWnd;
    if (!PreCreateWindow(cs))
        return FALSE;

    if (IS_INTRESOURCE(lpszTemplateName)) {
        m_lpszTemplateName = lpszTemplateName;
    } else {
        m_strTemplateName = lpszTemplateName;
        m_lpszTemplateName = m_strTemplateName;
    }
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
    // Recorded whatever the style: the controls keep their proportions from the start.
    RecordChildLayout();
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                     ((cs.style & WS_VISIBLE) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    m_szFloat = m_szHorz = m_szVert = m_sizeDefault;
    return TRUE;
}

BOOL SECDialogBar::SetOccDialogInfo(void* pOccDialogInfo)
{
    m_pOccDialogInfo = pOccDialogInfo;
    return TRUE;
}

LRESULT SECDialogBar::OnInitDialog(WPARAM, LPARAM)
{
    Default();
    // No control-hosting manager exists here: the dialog's own controls are all there is.
    return TRUE;
}

void SECDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

void SECDialogBar::GetBarInfoEx(SECControlBarInfo* pInfo)
{
    pInfo->m_nResourceID = IS_INTRESOURCE(m_lpszTemplateName)
                               ? static_cast<UINT>(reinterpret_cast<UINT_PTR>(m_lpszTemplateName))
                               : 0;
    SECControlBar::GetBarInfoEx(pInfo);
}
