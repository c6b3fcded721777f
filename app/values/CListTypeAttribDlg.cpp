#include "app/values/CListTypeAttribDlg.h"

#include "app/dialogs/DialogHelp.h"
#include "app/values/MetaDialogIds.h"

BEGIN_MESSAGE_MAP(CListTypeAttribDlg, CDialog)
    ON_BN_CLICKED(CListTypeAttribDlg::kIdAdd, &CListTypeAttribDlg::OnAdd)
    ON_BN_CLICKED(CListTypeAttribDlg::kIdDelete, &CListTypeAttribDlg::OnDelete)
    ON_BN_CLICKED(kIdHelpButton, &CListTypeAttribDlg::OnHelp)
END_MESSAGE_MAP()

CListTypeAttribDlg::CListTypeAttribDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CListTypeAttribDlg::SetOptions(const CStringList& options)
{
    m_Options.RemoveAll();
    m_Options.AddTail(&options);
}

void CListTypeAttribDlg::GetOptions(CStringList& options)
{
    options.RemoveAll();
    options.AddTail(&m_Options);
}

BOOL CListTypeAttribDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_grid.SubclassDlgItem(kIdGrid, this)) {
        m_grid.Initialize();
        m_grid.LoadList(m_Options);
    }
    return TRUE;
}

void CListTypeAttribDlg::OnOK()
{
    // The grid goes with the window: its rows are read while they are still there.
    if (m_grid.GetSafeHwnd() != nullptr)
        m_grid.ReadList(m_Options);
    CDialog::OnOK();
}

void CListTypeAttribDlg::OnAdd()
{
    if (m_grid.GetSafeHwnd() != nullptr)
        m_grid.AppendEmptyRow(CGridWndWrapper::MakeCurrent::Yes);
}

void CListTypeAttribDlg::OnDelete()
{
    if (m_grid.GetSafeHwnd() != nullptr)
        m_grid.DeleteSelectedRows();
}

void CListTypeAttribDlg::OnHelp()
{
    ShowAppHelp(kHelpContextWindowBase + IDD);
}
