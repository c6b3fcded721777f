// Message boxes and file dialogs of the engine, shown by the application.
#include "app/CAppMetaDialogs.h"

#include "platform/controls/MessageBox.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/dlg/CFileDialog.h"
#include "platform/controls/FileDialog.h"

void CAppMetaDialogs::ShowMessage(UINT nID, const CString& strText)
{
    AfxMessageBox(strText, MB_ICONINFORMATION, nID);
}

void CAppMetaDialogs::ShowError(const CString& strText)
{
    AfxMessageBox(strText, MB_ICONEXCLAMATION);
}

BOOL CAppMetaDialogs::AskOpenFileName(LPCTSTR lpszTitle, LPCTSTR lpszFilter, CString& strPath)
{
    CFileDialog dlg(TRUE, nullptr, strPath.IsEmpty() ? nullptr : static_cast<LPCTSTR>(strPath),
                    OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, lpszFilter, AfxGetMainWnd());
    dlg.m_ofn.lpstrTitle = lpszTitle;
    if (dlg.DoModal() != IDOK)
        return FALSE;
    strPath = dlg.GetPathName();
    return TRUE;
}

BOOL CAppMetaDialogs::AskSaveFileName(LPCTSTR lpszTitle, LPCTSTR lpszDefExt, LPCTSTR lpszFilter, CString& strPath)
{
    CFileDialog dlg(FALSE, lpszDefExt, strPath.IsEmpty() ? nullptr : static_cast<LPCTSTR>(strPath),
                    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_CREATEPROMPT, lpszFilter, AfxGetMainWnd());
    dlg.m_ofn.lpstrTitle = lpszTitle;
    if (dlg.DoModal() != IDOK)
        return FALSE;
    strPath = dlg.GetPathName();
    return TRUE;
}
