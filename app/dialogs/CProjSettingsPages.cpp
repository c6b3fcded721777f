#include "app/dialogs/CProjSettingsPages.h"

#include "app/dialogs/DialogHelp.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/dlg/CDataExchange.h"

namespace {

// A text of nothing but blanks names no extension.
bool IsBlank(const CString& strText)
{
    for (int i = 0; i < strText.GetLength(); ++i)
        if (strText[i] != ' ' && strText[i] != '\t')
            return false;
    return true;
}
} // namespace

// ---- The common part ----

BEGIN_MESSAGE_MAP(CProjSettingsPage, CPropertyPage)
    ON_COMMAND(ID_HELP, &CProjSettingsPage::OnHelp)
    ON_MESSAGE(WM_HELP, &CProjSettingsPage::OnHelpInfo)
END_MESSAGE_MAP()

CProjSettingsPage::CProjSettingsPage(UINT nIDTemplate) : CPropertyPage(nIDTemplate), m_nTemplate(nIDTemplate)
{
    m_psp.dwFlags |= PSP_HASHELP;
}

DWORD CProjSettingsPage::GetHelpContext() const
{
    return kHelpContextWindowBase + m_nTemplate;
}

void CProjSettingsPage::OnHelp()
{
    ShowAppHelp(GetHelpContext());
}

LRESULT CProjSettingsPage::OnHelpInfo(WPARAM, LPARAM lParam)
{
    return HandleHelpRequest(reinterpret_cast<const HELPINFO*>(lParam), kHelpContextWindowBase + m_nTemplate);
}

// ---- Backups ----

void CProjSettingsPage1::DoDataExchange(CDataExchange* pDX)
{
    CProjSettingsPage::DoDataExchange(pDX);
    if (pDX->m_bSaveAndValidate) {
        if (IsDlgButtonChecked(kIdRename))
            m_nBackupScheme = CProjectSettings::kBackupFile;
        else if (!IsDlgButtonChecked(kIdNoBackup))
            m_nBackupScheme = CProjectSettings::kBackupTrash;
        else
            m_nBackupScheme = CProjectSettings::kBackupDelete;
        return;
    }
    // Exactly the option of the stored scheme; a scheme the program does not know checks none.
    CheckDlgButton(kIdRename, m_nBackupScheme == CProjectSettings::kBackupFile ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(kIdTrash, m_nBackupScheme == CProjectSettings::kBackupTrash ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(kIdNoBackup, m_nBackupScheme == CProjectSettings::kBackupDelete ? BST_CHECKED : BST_UNCHECKED);
}

// ---- Scan Options ----

BEGIN_MESSAGE_MAP(CProjSettingsPage2, CProjSettingsPage)
    ON_BN_CLICKED(CProjSettingsPage2::kIdAdd, &CProjSettingsPage2::OnAdd)
    ON_BN_CLICKED(CProjSettingsPage2::kIdDelete, &CProjSettingsPage2::OnDelete)
END_MESSAGE_MAP()

void CProjSettingsPage2::Load(const CProjectSettings& settings)
{
    m_Extensions.RemoveAll();
    m_Extensions.AddTail(&settings.m_FileExtensions);
    m_bShowAllFound = settings.m_bShowAllFound;
    m_bAutoScan = settings.m_bAutoScan != 0;
}

void CProjSettingsPage2::Store(CProjectSettings& settings) const
{
    settings.m_FileExtensions.RemoveAll();
    settings.m_FileExtensions.AddTail(&m_Extensions);
    settings.m_bShowAllFound = m_bShowAllFound;
    settings.m_bAutoScan = m_bAutoScan != 0 ? 1 : 0;
}

BOOL CProjSettingsPage2::OnInitDialog()
{
    CProjSettingsPage::OnInitDialog();
    if (m_grid.SubclassDlgItem(kIdExtensions, this)) {
        m_grid.Initialize();
        m_grid.LoadList(m_Extensions);
    }
    return TRUE;
}

void CProjSettingsPage2::DoDataExchange(CDataExchange* pDX)
{
    CProjSettingsPage::DoDataExchange(pDX);
    DDX_Check(pDX, kIdAutoScan, m_bAutoScan);
    if (!pDX->m_bSaveAndValidate) {
        CheckRadioButton(kIdShowFound, kIdShowEnabled, m_bShowAllFound != 0 ? kIdShowFound : kIdShowEnabled);
        return;
    }
    m_bShowAllFound = IsDlgButtonChecked(kIdShowFound) ? 1 : 0;
    if (m_grid.GetSafeHwnd() == nullptr)
        return;
    // Every row in row order, but a row left empty or blank names no extension: every file
    // name ends in "", so it would make every file of the site a page to scan and rewrite.
    m_grid.EndCurrentCellEdit(TRUE);
    m_Extensions.RemoveAll();
    for (ROWCOL nRow = 1; nRow <= m_grid.GetRowCount(); ++nRow) {
        CString strText;
        m_grid.GetCellText(nRow, 1, strText);
        if (!IsBlank(strText))
            m_Extensions.AddTail(strText);
    }
}

void CProjSettingsPage2::OnAdd()
{
    if (m_grid.GetSafeHwnd() != nullptr)
        m_grid.AppendEmptyRow(CGridWndWrapper::MakeCurrent::Yes);
}

void CProjSettingsPage2::OnDelete()
{
    if (m_grid.GetSafeHwnd() != nullptr)
        m_grid.DeleteSelectedRows();
}

// ---- Keyword Metatags ----

void CProjSettingsPage3::Load(const CProjectSettings& settings)
{
    m_bAutoPopulate = settings.m_bKeywordExtractor != 0;
    m_strSeparator = settings.m_strListSeparator;
}

void CProjSettingsPage3::Store(CProjectSettings& settings) const
{
    settings.m_bKeywordExtractor = m_bAutoPopulate != 0 ? 1 : 0;
    settings.m_strListSeparator = m_strSeparator;
}

void CProjSettingsPage3::DoDataExchange(CDataExchange* pDX)
{
    CProjSettingsPage::DoDataExchange(pDX);
    DDX_Check(pDX, kIdAutoPopulate, m_bAutoPopulate);
    DDX_Text(pDX, kIdSeparator, m_strSeparator);
}

// ---- General ----

void CProjSettingsPage4::Load(const CProjectSettings& settings)
{
    m_bFreeze = settings.m_bFreezeFileColumn != 0;
    m_bShowTitle = settings.m_bShowTitle != 0;
}

void CProjSettingsPage4::Store(CProjectSettings& settings) const
{
    settings.m_bFreezeFileColumn = m_bFreeze != 0 ? 1 : 0;
    settings.m_bShowTitle = m_bShowTitle != 0 ? 1 : 0;
}

void CProjSettingsPage4::DoDataExchange(CDataExchange* pDX)
{
    CProjSettingsPage::DoDataExchange(pDX);
    DDX_Check(pDX, kIdFreeze, m_bFreeze);
    DDX_Check(pDX, kIdShowTitle, m_bShowTitle);
}
