#include "app/values/CGroupKeywordsDlg.h"

#include "app/dialogs/DialogHelp.h"
#include "app/values/MetaDialogIds.h"

BEGIN_MESSAGE_MAP(CGroupKeywordsDlg, CDialog)
    ON_BN_CLICKED(CGroupKeywordsDlg::kIdAddAction, &CGroupKeywordsDlg::OnAddAction)
    ON_BN_CLICKED(CGroupKeywordsDlg::kIdReplaceAction, &CGroupKeywordsDlg::OnReplaceAction)
    ON_BN_CLICKED(kIdHelpButton, &CGroupKeywordsDlg::OnHelp)
END_MESSAGE_MAP()

CGroupKeywordsDlg::CGroupKeywordsDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

BOOL CGroupKeywordsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadBitmapButton(m_btnOk, IDOK, this);
    LoadBitmapButton(m_btnCancel, IDCANCEL, this);
    LoadBitmapButton(m_btnHelp, kIdHelpButton, this);
    CheckRadioButton(kIdReplaceAction, kIdAddAction, m_nAction == 1 ? kIdReplaceAction : kIdAddAction);
    return TRUE;
}

void CGroupKeywordsDlg::OnAddAction()
{
    m_nAction = 0;
}

void CGroupKeywordsDlg::OnReplaceAction()
{
    m_nAction = 1;
}

void CGroupKeywordsDlg::OnHelp()
{
    ShowAppHelp(kHelpContextWindowBase + IDD);
}
