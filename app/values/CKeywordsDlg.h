// CKeywordsDlg: a page's KEYWORDS value edited as a list, beside the keywords the scan suggested
// for the page, which the user can add to it.
#pragma once

#include "app/values/CKeywordsGridCtrl.h"
#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/afx/dlg/CDialog.h"
#include "platform/core/CPtrList.h"

class CMetaContent;

class CKeywordsDlg : public CDialog {
public:
    enum { IDD = 136 };
    static constexpr UINT kIdSuggestedGrid = 1010;
    static constexpr UINT kIdExistingGrid = 1012;
    static constexpr UINT kIdAddToExisting = 1008;
    static constexpr UINT kIdAdd = 1019;
    static constexpr UINT kIdDelete = 1020;

    explicit CKeywordsDlg(CWnd* pParent = nullptr);

    // The setting's name for the title, and the page's value and suggestions; the separator is
    // the open project's (",", when none is open).
    void SetContent(const CString& strSettingName, const CMetaContent& content);
    void GetValue(CString& strValue) const { strValue = m_strValue; }

    CKeywordsGridCtrl& GetExistingGrid() { return m_gridExisting; }
    CKeywordsGridCtrl& GetSuggestedGrid() { return m_gridSuggested; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnAdd();
    void OnDelete();
    void OnAddToExisting();
    void OnHelp();
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // Makes the keyword's cell current, for the user to change it.
    void ShowKeyword(const CString& strKeyword);

    CString m_strName;
    CString m_strSeparator;
    CStringList m_Existing;
    CStringList m_Suggested;
    CString m_strValue;
    CKeywordsGridCtrl m_gridExisting;
    CKeywordsGridCtrl m_gridSuggested;
    CBitmapButton m_btnOk;
    CBitmapButton m_btnCancel;
    CBitmapButton m_btnHelp;
};
