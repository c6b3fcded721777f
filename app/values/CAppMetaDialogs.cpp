// Message boxes and file dialogs of the engine, shown by the application.
#include "app/values/CAppMetaDialogs.h"

#include "app/values/CClassificationDlg.h"
#include "app/values/CDateTimeDlg.h"
#include "app/values/CGroupKeywordsDlg.h"
#include "app/values/CKeywordsDlg.h"
#include "app/values/CListTypeAttribDlg.h"
#include "app/values/CMListSelOptionsDlg.h"
#include "app/values/CMListTypeAttribDlg.h"
#include "app/values/CRefreshDlg.h"
#include "engine/meta/CMetaClassificationSetting.h"
#include "engine/meta/CMetaComboMultiSelSetting.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CStringListWrapper.h"

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

// Each value dialog below runs on the caller's stack for one edit; only OK hands anything back.

BOOL CAppMetaDialogs::EditOptionList(CStringListWrapper& options)
{
    CListTypeAttribDlg dlg(AfxGetMainWnd());
    dlg.SetOptions(options);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    CStringList result;
    dlg.GetOptions(result);
    options.CopyFrom(result);
    return TRUE;
}

BOOL CAppMetaDialogs::EditMultiSelOptions(CStringListWrapper& options, UINT& bAllowModify, CString& strSeparator)
{
    CMListTypeAttribDlg dlg(AfxGetMainWnd());
    dlg.SetOptions(options, bAllowModify, strSeparator);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    CStringList result;
    dlg.GetOptions(result, bAllowModify, strSeparator);
    options.CopyFrom(result);
    return TRUE;
}

BOOL CAppMetaDialogs::SelectMultiSelValue(CMetaComboMultiSelSetting& setting, CMetaContent& content,
                                          BOOL& bOptionsChanged)
{
    CMListSelOptionsDlg dlg(AfxGetMainWnd());
    dlg.SetValue(setting, content);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    CString strValue;
    dlg.GetValue(setting, strValue, bOptionsChanged);
    content.SetContent(strValue);
    return TRUE;
}

BOOL CAppMetaDialogs::DefineClassification(CDoubleLinkNodeCol& tree)
{
    CClassificationDlg dlg(AfxGetMainWnd());
    dlg.SetTreeToDefine(tree);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    dlg.GetTree(tree);
    return TRUE;
}

BOOL CAppMetaDialogs::SelectClassification(DWORD dwContext, const CString& strCurrentPath,
                                           CMetaClassificationSetting& setting, CString& strPath)
{
    CClassificationDlg dlg(AfxGetMainWnd());
    dlg.SetValue(dwContext, setting, strCurrentPath);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    dlg.GetValue(strPath);
    return TRUE;
}

BOOL CAppMetaDialogs::EditKeywords(DWORD, const CString& strTagName, const CMetaContent& content, CString& strText)
{
    CKeywordsDlg dlg(AfxGetMainWnd());
    dlg.SetContent(strTagName, content);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    dlg.GetValue(strText);
    return TRUE;
}

BOOL CAppMetaDialogs::ChooseGroupKeywordsAction(int& nAction)
{
    CGroupKeywordsDlg dlg(AfxGetMainWnd());
    dlg.ResetAction();
    if (dlg.DoModal() != IDOK)
        return FALSE;
    nAction = dlg.m_nAction;
    return TRUE;
}

BOOL CAppMetaDialogs::EditRefresh(DWORD, const CMetaContent& content, CString& strText)
{
    CRefreshDlg dlg(AfxGetMainWnd());
    dlg.SetValue(content.GetName(), content);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    dlg.GetValue(strText);
    return TRUE;
}

BOOL CAppMetaDialogs::EditDate(DWORD, const CString& strSettingName, const CString& strValue, const CString& strFormat,
                               CString& strText)
{
    CDateTimeDlg dlg(AfxGetMainWnd());
    dlg.SetValue(strSettingName, strValue);
    if (!strFormat.IsEmpty())
        dlg.SetFormat(strFormat);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    dlg.GetValue(strText);
    return TRUE;
}
