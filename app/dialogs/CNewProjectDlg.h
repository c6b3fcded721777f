// The "New Project" dialog: asks for the folder holding the site's pages and lets the user set
// the new project's options and META catalogue before the project is made.
#pragma once

#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CProjectSettings.h"
#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/afx/dlg/CDialog.h"

class CNewProjectDlg : public CDialog {
public:
    enum { IDD = 130 };
    static constexpr UINT kIdDirectory = 132;
    static constexpr UINT kIdBrowse = 133;
    static constexpr UINT kIdMetaSettings = 136;
    static constexpr UINT kIdProjectSettings = 138;
    static constexpr UINT kIdHelp = 9;
    static constexpr DWORD kHelpContext = 0x20082;

    explicit CNewProjectDlg(CWnd* pParent = nullptr);

    // Both are copied in.
    void SetData(const CProjectSettings& settings, const CMetaSettingList& list);
    void GetProjectSettings(CProjectSettings& settings) const { settings.CopyFrom(m_Settings); }
    void GetMetaSettings(CMetaSettingList& list) const { list.CopyFrom(m_MetaSettings); }

    // The folder as the dialog takes it: empty stays empty, a relative path is made absolute
    // against the current folder, an absolute one is kept as typed.
    static CString MakeAbsolute(const CString& strPath);
    // A project is made of a local folder: a web address given instead (scheme://...) is told
    // to the user in one box, and TRUE returned.
    static BOOL TellIfWebAddress(const CString& strText);

    CString m_strDirectory;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnBrowse();
    void OnProjectSettings();
    void OnMetaSettings();
    void OnHelp();
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);

    // The project settings sheet and the META settings dialog on the working copies; IDOK when
    // the user accepted them.
    virtual INT_PTR RunProjectSettings(CProjectSettings& settings);
    virtual INT_PTR RunMetaSettings(CMetaSettingList& list);

    DECLARE_MESSAGE_MAP()

private:
    CProjectSettings m_Settings;
    CMetaSettingList m_MetaSettings;
    CBitmapButton m_btnOK;
    CBitmapButton m_btnCancel;
    CBitmapButton m_btnHelp;
};
