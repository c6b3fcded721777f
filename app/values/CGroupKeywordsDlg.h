// CGroupKeywordsDlg: what to do with the keywords of several selected pages: add the suggested
// keywords to the existing ones (0) or replace the existing ones with them (1).
#pragma once

#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/afx/dlg/CDialog.h"

class CGroupKeywordsDlg : public CDialog {
public:
    enum { IDD = 141 };
    static constexpr UINT kIdAddAction = 1023;
    static constexpr UINT kIdReplaceAction = 1001;

    explicit CGroupKeywordsDlg(CWnd* pParent = nullptr);

    void ResetAction() { m_nAction = 0; }
    int m_nAction = 0;

protected:
    BOOL OnInitDialog() override;
    void OnAddAction();
    void OnReplaceAction();
    void OnHelp();

    DECLARE_MESSAGE_MAP()

private:
    CBitmapButton m_btnOk;
    CBitmapButton m_btnCancel;
    CBitmapButton m_btnHelp;
};
