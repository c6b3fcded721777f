// The About box.
#include "app/dialogs/CAboutDlg.h"

#include "app/res/AppRes.h"
#include "platform/afx/dlg/CDataExchange.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX, nullptr) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ABOUT_VERSION, m_strVersion);
    DDV_MaxChars(pDX, m_strVersion, 100);
}

BOOL CAboutDlg::OnInitDialog()
{
    // The OK button's pictures ("OKU", "OKD", "OKF", "OKX"); without them it stays a plain
    // push button.
    m_btnOK.AutoLoad(IDOK, this);
    CDialog::OnInitDialog();
    return TRUE;
}
