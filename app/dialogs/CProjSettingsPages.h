// The four pages of the project settings sheet: display options, what counts as a page and what
// the grid shows after a scan, the keyword list separator, and the backup scheme. Each takes its
// fields from a project settings record and gives them back.
#pragma once

#include "app/dialogs/CExtensionsGridCtrl.h"
#include "engine/project/CProjectSettings.h"
#include "platform/afx/dlg/CPropertyPage.h"
#include "platform/core/CPtrList.h"

// The common part: Help opens the page's own context (0x20000 plus its template id), F1 too.
class CProjSettingsPage : public CPropertyPage {
public:
    explicit CProjSettingsPage(UINT nIDTemplate);
    // The page's fields from the record, and back into it from the page's members.
    virtual void Load(const CProjectSettings& settings) = 0;
    virtual void Store(CProjectSettings& settings) const = 0;
    DWORD GetHelpContext() const;

protected:
    void OnHelp();
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    UINT m_nTemplate;
};

// "Backups": 0 keeps a ".old" file, 1 moves the old page to the trash, 2 keeps nothing.
class CProjSettingsPage1 : public CProjSettingsPage {
public:
    enum { IDD = 134 };
    static constexpr UINT kIdNoBackup = 1066;
    static constexpr UINT kIdTrash = 1067;
    static constexpr UINT kIdRename = 1068;
    CProjSettingsPage1() : CProjSettingsPage(IDD) {}
    void Load(const CProjectSettings& settings) override { m_nBackupScheme = settings.m_nBackupScheme; }
    void Store(CProjectSettings& settings) const override { settings.m_nBackupScheme = m_nBackupScheme; }
    UINT m_nBackupScheme = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// "Scan Options": the file extensions of pages, what the grid shows after a scan, auto-scan.
class CProjSettingsPage2 : public CProjSettingsPage {
public:
    enum { IDD = 135 };
    static constexpr UINT kIdExtensions = 1005;
    static constexpr UINT kIdAdd = 1004;
    static constexpr UINT kIdDelete = 137;
    static constexpr UINT kIdAutoScan = 1002;
    static constexpr UINT kIdShowEnabled = 1077;
    static constexpr UINT kIdShowFound = 1076;
    CProjSettingsPage2() : CProjSettingsPage(IDD) {}
    void Load(const CProjectSettings& settings) override;
    void Store(CProjectSettings& settings) const override;
    CExtensionsGridCtrl& GetGrid() { return m_grid; }

    CStringList m_Extensions;
    UINT m_bShowAllFound = 0;
    int m_bAutoScan = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnAdd();
    void OnDelete();
    DECLARE_MESSAGE_MAP()

private:
    CExtensionsGridCtrl m_grid;
};

// "Keyword Metatags": whether suggested keywords go into the pages' keywords, and the separator.
class CProjSettingsPage3 : public CProjSettingsPage {
public:
    enum { IDD = 146 };
    static constexpr UINT kIdAutoPopulate = 1022;
    static constexpr UINT kIdSeparator = 134;
    CProjSettingsPage3() : CProjSettingsPage(IDD) {}
    void Load(const CProjectSettings& settings) override;
    void Store(CProjectSettings& settings) const override;
    int m_bAutoPopulate = 0;
    CString m_strSeparator;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// "General": the grid view's frozen page column and page titles.
class CProjSettingsPage4 : public CProjSettingsPage {
public:
    enum { IDD = 176 };
    static constexpr UINT kIdFreeze = 1069;
    static constexpr UINT kIdShowTitle = 1063;
    CProjSettingsPage4() : CProjSettingsPage(IDD) {}
    void Load(const CProjectSettings& settings) override;
    void Store(CProjectSettings& settings) const override;
    int m_bFreeze = 0;
    int m_bShowTitle = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
