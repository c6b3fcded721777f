// CMListSelOptionsDlg: a page's value of a multiple-choice list setting, picked as rows of the
// setting's options; where the setting allows it, the user may also change the options.
#pragma once

#include "app/values/CKeywordsGridCtrl.h"
#include "engine/meta/CMetaComboMultiSelSetting.h"
#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/afx/dlg/CDialog.h"

class CMetaContent;

class CMListSelOptionsDlg : public CDialog {
public:
    enum { IDD = 152 };
    static constexpr UINT kIdDelete = 1012;
    static constexpr UINT kIdGrid = 1042;
    static constexpr UINT kIdAdd = 1043;

    explicit CMListSelOptionsDlg(CWnd* pParent = nullptr);

    void SetValue(const CMetaComboMultiSelSetting& setting, const CMetaContent& content);
    // The working setting back into the caller's, the value, and whether the options changed
    // (the caller's options are then the grid's).
    void GetValue(CMetaComboMultiSelSetting& setting, CString& strValue, BOOL& bOptionsChanged) const;

    CKeywordsGridCtrl& GetGrid() { return m_grid; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnAdd();
    void OnDelete();
    void OnHelp();

    DECLARE_MESSAGE_MAP()

private:
    CMetaComboMultiSelSetting m_Setting;
    CString m_strValue;
    CStringList m_GridOptions;
    CKeywordsGridCtrl m_grid;
    CBitmapButton m_btnOk;
    CBitmapButton m_btnCancel;
    CBitmapButton m_btnHelp;
};
