#include "app/dialogs/DialogHelp.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/dlg/CDialog.h"

namespace {
constexpr UINT kHelpContextPopup = 0x0008;
} // namespace

BOOL LoadBitmapButton(CBitmapButton& button, UINT nId, CDialog* pDialog)
{
    CWnd* pItem = pDialog->GetDlgItem(nId);
    if (pItem == nullptr)
        return FALSE;
    CString strText;
    pItem->GetWindowText(strText);
    strText.Remove('&');
    CBitmap probe;
    // Without its up image an owner-drawn button would show nothing at all.
    if (!probe.LoadBitmap(strText + "U"))
        return FALSE;
    pItem->ModifyStyle(0x0F, BS_OWNERDRAW);
    return button.AutoLoad(nId, pDialog);
}

void ShowAppHelp(DWORD nContext)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(nContext, HELP_CONTEXT);
}

BOOL HandleHelpRequest(const HELPINFO* pInfo, DWORD dwDialogContext)
{
    if (pInfo == nullptr || pInfo->dwContextId == 0) {
        ShowAppHelp(dwDialogContext);
        return TRUE;
    }
    if (CWinApp* pApp = AfxGetApp())
        pApp->WinHelp(pInfo->dwContextId, kHelpContextPopup);
    return TRUE;
}
