#include "app/dialogs/CScanDoneDlg.h"

#include "platform/afx/dlg/CDataExchange.h"

void CScanDoneDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, kIdDontShow, m_bDontShowAgain);
}
