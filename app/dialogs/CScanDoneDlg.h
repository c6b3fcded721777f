// The "Scan Completed" note shown after a scan, with a box to stop showing it.
#pragma once

#include "platform/afx/dlg/CDialog.h"

class CScanDoneDlg : public CDialog {
public:
    enum { IDD = 174 };
    static constexpr UINT kIdDontShow = 1064;
    static constexpr UINT kIdText = 1065;

    explicit CScanDoneDlg(CWnd* pParent = nullptr) : CDialog(IDD, pParent) {}

    BOOL m_bDontShowAgain = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
