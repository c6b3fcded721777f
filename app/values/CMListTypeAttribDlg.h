// CMListTypeAttribDlg: the options of a multiple-choice list setting, the separator its values
// are joined with, and whether users may change the options while picking.
#pragma once

#include "app/values/CKeywordsGridCtrl.h"
#include "platform/afx/dlg/CDialog.h"
#include "platform/core/CPtrList.h"

class CMListTypeAttribDlg : public CDialog {
public:
    enum { IDD = 150 };
    static constexpr UINT kIdGrid = 1029;
    static constexpr UINT kIdSeparator = 1038;
    static constexpr UINT kIdAdd = 1039;
    static constexpr UINT kIdDelete = 1040;
    static constexpr UINT kIdAllowModify = 1041;

    explicit CMListTypeAttribDlg(CWnd* pParent = nullptr);

    void SetOptions(const CStringList& options, UINT bAllowModify, const CString& strSeparator);
    void GetOptions(CStringList& options, UINT& bAllowModify, CString& strSeparator);

    CKeywordsGridCtrl& GetGrid() { return m_grid; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnAdd();
    void OnDelete();

    DECLARE_MESSAGE_MAP()

private:
    CStringList m_Options;
    UINT m_bAllowModify = 0;
    CString m_strSeparator;
    CKeywordsGridCtrl m_grid;
};
