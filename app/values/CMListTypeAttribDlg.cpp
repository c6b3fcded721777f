#include "app/values/CMListTypeAttribDlg.h"

#include "platform/controls/Button.h"

BEGIN_MESSAGE_MAP(CMListTypeAttribDlg, CDialog)
    ON_BN_CLICKED(CMListTypeAttribDlg::kIdAdd, &CMListTypeAttribDlg::OnAdd)
    ON_BN_CLICKED(CMListTypeAttribDlg::kIdDelete, &CMListTypeAttribDlg::OnDelete)
END_MESSAGE_MAP()

CMListTypeAttribDlg::CMListTypeAttribDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CMListTypeAttribDlg::SetOptions(const CStringList& options, UINT bAllowModify, const CString& strSeparator)
{
    m_Options.RemoveAll();
    m_Options.AddTail(&options);
    m_bAllowModify = bAllowModify;
    m_strSeparator = strSeparator;
}

void CMListTypeAttribDlg::GetOptions(CStringList& options, UINT& bAllowModify, CString& strSeparator)
{
    options.RemoveAll();
    options.AddTail(&m_Options);
    bAllowModify = m_bAllowModify;
    strSeparator = m_strSeparator;
}

BOOL CMListTypeAttribDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_grid.SubclassDlgItem(kIdGrid, this)) {
        m_grid.Initialize();
        m_grid.LoadList(m_Options);
    }
    SetDlgItemText(kIdSeparator, m_strSeparator);
    CheckDlgButton(kIdAllowModify, m_bAllowModify == 1 ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CMListTypeAttribDlg::OnOK()
{
    if (m_grid.GetSafeHwnd() != nullptr)
        m_grid.ReadList(m_Options);
    GetDlgItemText(kIdSeparator, m_strSeparator);
    m_bAllowModify = IsDlgButtonChecked(kIdAllowModify) == BST_CHECKED ? 1 : 0;
    EndDialog(IDOK);
}

void CMListTypeAttribDlg::OnAdd()
{
    if (m_grid.GetSafeHwnd() != nullptr)
        m_grid.AppendEmptyRow(CGridWndWrapper::MakeCurrent::Yes);
}

void CMListTypeAttribDlg::OnDelete()
{
    if (m_grid.GetSafeHwnd() != nullptr)
        m_grid.DeleteSelectedRows();
}
