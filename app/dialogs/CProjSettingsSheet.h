// CProjSettingsSheet: the project's options on four pages, edited on the sheet's own copy of
// the record; the caller takes the copy back after OK.
#pragma once

#include "app/dialogs/CProjSettingsPages.h"
#include "platform/afx/dlg/CPropertySheet.h"

class CProjSettingsSheet : public CPropertySheet {
public:
    // dwCaller is the opener's word, kept for it.
    CProjSettingsSheet(UINT nIDCaption, CWnd* pParent = nullptr, UINT iSelectPage = 0, DWORD dwCaller = 0);

    // Copies the record in (all but its modified mark) and adds the pages.
    void SetSettings(const CProjectSettings& settings);
    // Copies the record out; the caller's record is marked modified when the sheet changed
    // something, and a mark it had stays.
    void GetSettings(CProjectSettings& settings) const;

    const CProjectSettings& GetWorkingSettings() const { return m_Settings; }
    CProjSettingsPage1& GetBackupsPage() { return m_page1; }
    CProjSettingsPage2& GetScanPage() { return m_page2; }
    CProjSettingsPage3& GetKeywordsPage() { return m_page3; }
    CProjSettingsPage4& GetGeneralPage() { return m_page4; }
    DWORD GetCaller() const { return m_dwCaller; }

protected:
    void OnOK() override;

private:
    CProjectSettings m_Settings;
    CProjSettingsPage1 m_page1;
    CProjSettingsPage2 m_page2;
    CProjSettingsPage3 m_page3;
    CProjSettingsPage4 m_page4;
    DWORD m_dwCaller = 0;
};
