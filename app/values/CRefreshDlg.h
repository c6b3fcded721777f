// CRefreshDlg: a page's Refresh value as a delay in seconds and the address to go to.
#pragma once

#include "app/values/MetaValueText.h"
#include "platform/afx/dlg/CDialog.h"

class CMetaContent;

class CRefreshDlg : public CDialog {
public:
    enum { IDD = 149 };
    static constexpr UINT kIdSeconds = 134;
    static constexpr UINT kIdUrl = 1036;

    explicit CRefreshDlg(CWnd* pParent = nullptr);

    // The setting's name for the title and the page's value.
    void SetValue(const CString& strSettingName, const CMetaContent& content);
    // The value as it was when neither field changed, else "%d; URL=%s" or "%d".
    void GetValue(CString& strValue) const;

    int m_nSeconds = 0;
    CString m_strUrl;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    CString m_strName;
    CString m_strOriginal;
    RefreshValue m_Original;
};
