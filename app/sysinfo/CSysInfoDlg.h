// CSysInfoDlg: shows the system information report in a read-only text box for the user to copy
// into a message to technical support.
#pragma once

#include "app/sysinfo/CSysInfo.h"
#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/afx/dlg/CDialog.h"
#include "platform/afx/dlg/CEdit.h"

class CSysInfoDlg : public CDialog {
public:
    enum { IDD = 172 };
    static constexpr UINT kIdReport = 134;

    // Builds the report at once; without a source the running system answers.
    explicit CSysInfoDlg(CWnd* pParent = nullptr, ISysInfoSource* pSource = nullptr);

    const CSysInfo& GetReport() const { return m_report; }
    CEdit& GetReportEdit() { return m_edit; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    CSysInfo m_report;
    CEdit m_edit;
    CBitmapButton m_btnOK;
};
