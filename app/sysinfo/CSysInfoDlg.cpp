#include "app/sysinfo/CSysInfoDlg.h"

#include "app/dialogs/DialogHelp.h"
#include "platform/afx/dlg/CDataExchange.h"

CSysInfoDlg::CSysInfoDlg(CWnd* pParent, ISysInfoSource* pSource)
    : CDialog(IDD, pParent), m_report("Vostrel System Info", CString(), nullptr, pSource)
{
}

BOOL CSysInfoDlg::OnInitDialog()
{
    LoadBitmapButton(m_btnOK, IDOK, this);
    CDialog::OnInitDialog();
    // The focus goes to OK rather than the report, which would show the whole text selected.
    if (CWnd* pOK = GetDlgItem(IDOK))
        GotoDlgCtrl(pOK);
    return FALSE;
}

void CSysInfoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, kIdReport, m_edit);
    if (!pDX->m_bSaveAndValidate)
        m_report.WriteToEdit(&m_edit);
}
