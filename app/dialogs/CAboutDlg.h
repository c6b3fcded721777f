// CAboutDlg: the About box, showing the program's name, version and build.
#pragma once

#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/afx/dlg/CDialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

    CString m_strVersion;   // the version line, control 1055

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    CBitmapButton m_btnOK;
};
