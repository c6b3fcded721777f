#include "app/dialogs/CNewProjectDlg.h"

#include "app/dialogs/CMetaSettingDlg.h"
#include "app/dialogs/CProjSettingsSheet.h"
#include "app/res/AppRes.h"
#include "app/dialogs/DialogHelp.h"
#include "app/dialogs/DialogStrings.h"
#include "platform/afx/app/ShortenedPath.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/dlg/CDataExchange.h"
#include "platform/controls/FolderBrowser.h"
#include "platform/controls/MessageBox.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace {
constexpr UINT kBrowseFileSystemOnly = 0x0001;
constexpr UINT kBrowseStatusText = 0x0004;
constexpr UINT kMsgHelp = 0x0053;
} // namespace

BEGIN_MESSAGE_MAP(CNewProjectDlg, CDialog)
    ON_BN_CLICKED(CNewProjectDlg::kIdBrowse, &CNewProjectDlg::OnBrowse)
    ON_BN_CLICKED(CNewProjectDlg::kIdProjectSettings, &CNewProjectDlg::OnProjectSettings)
    ON_BN_CLICKED(CNewProjectDlg::kIdMetaSettings, &CNewProjectDlg::OnMetaSettings)
    ON_BN_CLICKED(CNewProjectDlg::kIdHelp, &CNewProjectDlg::OnHelp)
    ON_MESSAGE(kMsgHelp, &CNewProjectDlg::OnHelpInfo)
END_MESSAGE_MAP()

CNewProjectDlg::CNewProjectDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CNewProjectDlg::SetData(const CProjectSettings& settings, const CMetaSettingList& list)
{
    m_Settings.CopyFrom(settings);
    m_MetaSettings.CopyFrom(list);
    m_strDirectory = m_Settings.m_strProjectDirectory;
}

CString CNewProjectDlg::MakeAbsolute(const CString& strPath)
{
    if (strPath.IsEmpty() || strPath[0] == '/')
        return strPath;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(static_cast<LPCTSTR>(strPath), error);
    if (error)
        return strPath;
    return CString(absolute.lexically_normal().string().c_str());
}

BOOL CNewProjectDlg::TellIfWebAddress(const CString& strText)
{
    const std::string text = static_cast<LPCTSTR>(strText);
    const size_t nScheme = text.find("://");
    if (nScheme == std::string::npos || nScheme == 0 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return FALSE;
    for (size_t n = 0; n < nScheme; ++n) {
        const unsigned char c = static_cast<unsigned char>(text[n]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return FALSE;
    }
    CString strFormat, strMessage;
    strFormat.LoadString(kIdsProjectDirIsAddress);
    strMessage.Format(strFormat, ShortenedPath(strText).GetString());
    AfxMessageBox(strMessage, MB_OK | MB_ICONINFORMATION);
    return TRUE;
}

void CNewProjectDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, kIdDirectory, m_strDirectory);
}

BOOL CNewProjectDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadBitmapButton(m_btnOK, IDOK, this);
    LoadBitmapButton(m_btnCancel, IDCANCEL, this);
    LoadBitmapButton(m_btnHelp, kIdHelp, this);
    return TRUE;
}

namespace {

// One of the sentences that say why a path will not do, naming it and, where the system gave
// one, its reason. A path too long to be read in a box is named by its start and its end.
CString Said(UINT nID, const CString& strFolder, int nError = 0)
{
    CString strFormat;
    strFormat.LoadString(nID);
    CString strText;
    strText.Format(strFormat, ShortenedPath(strFolder).GetString(), std::strerror(nError));
    return strText;
}

// Why the path names no folder a project can be made of; empty when it names one.
CString WhyNoProjectFolder(const CString& strFolder)
{
    struct stat info{};
    if (::stat(strFolder, &info) != 0) {
        const int nError = errno;
        return nError == ENOENT || nError == ENOTDIR ? Said(kIdsProjectDirMissing, strFolder)
                                                     : Said(kIdsProjectDirUnreadable, strFolder, nError);
    }
    if (!S_ISDIR(info.st_mode))
        return Said(kIdsProjectDirNotFolder, strFolder);
    // The pages are found by reading the folder: one that cannot be read makes no project.
    DIR* pDir = ::opendir(strFolder);
    if (pDir == nullptr)
        return Said(kIdsProjectDirUnreadable, strFolder, errno);
    ::closedir(pDir);
    return CString();
}

} // namespace

void CNewProjectDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strDirectory.IsEmpty()) {
        AfxMessageBox(kIdsNoProjectDir, MB_OK);
        return;
    }
    if (TellIfWebAddress(m_strDirectory))
        return;
    // The project is stored with its folder and opened later from anywhere: a folder relative
    // to where the program happened to start would name another place then.
    const CString strFolder = MakeAbsolute(m_strDirectory);
    if (const CString strWhy = WhyNoProjectFolder(strFolder); !strWhy.IsEmpty()) {
        CString strMessage;
        strMessage.LoadString(kIdsBadProjectDir);
        AfxMessageBox(strMessage + "\n\n" + strWhy, MB_OK);
        return;
    }
    m_strDirectory = strFolder;
    m_Settings.m_strProjectDirectory = strFolder;
    EndDialog(IDOK);
}

namespace {

// The browser opens on the folder it is given, so the user starts where the field points.
int CALLBACK StartAtFolder(HWND hwnd, UINT uMsg, LPARAM, LPARAM lpData)
{
    if (uMsg == BFFM_INITIALIZED && lpData != 0)
        ::SendMessage(hwnd, BFFM_SETSELECTION, TRUE, lpData);
    return 0;
}

// The folder the field names when it is one, else the user's home folder.
std::string StartFolder(const CString& strField)
{
    std::error_code error;
    CString strTrimmed = strField;
    strTrimmed.Trim();
    if (!strTrimmed.IsEmpty() && std::filesystem::is_directory(strTrimmed.GetString(), error))
        return std::filesystem::absolute(strTrimmed.GetString(), error).lexically_normal().string();
    const char* pszHome = std::getenv("HOME");
    if (pszHome != nullptr && std::filesystem::is_directory(pszHome, error))
        return pszHome;
    return "/";
}

} // namespace

void CNewProjectDlg::OnBrowse()
{
    CString strField;
    GetDlgItemText(kIdDirectory, strField);
    const std::string start = StartFolder(strField);
    BROWSEINFO info{};
    info.hwndOwner = m_hWnd;
    info.ulFlags = kBrowseFileSystemOnly | kBrowseStatusText;
    info.lpfn = StartAtFolder;
    info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    LPITEMIDLIST pidl = SHBrowseForFolder(&info);
    if (pidl == nullptr)
        return;
    char szPath[MAX_PATH] = {};
    if (SHGetPathFromIDList(pidl, szPath))
        SetDlgItemText(kIdDirectory, szPath);
    CoTaskMemFree(pidl);
}

void CNewProjectDlg::OnProjectSettings()
{
    CProjectSettings working;
    working.CopyFrom(m_Settings);
    if (RunProjectSettings(working) == IDOK)
        m_Settings.CopyFrom(working);
}

void CNewProjectDlg::OnMetaSettings()
{
    CMetaSettingList working;
    working.CopyFrom(m_MetaSettings);
    if (RunMetaSettings(working) == IDOK) {
        m_MetaSettings.CopyFrom(working);
        m_MetaSettings.SetModified(working.IsModified());
    }
}

INT_PTR CNewProjectDlg::RunProjectSettings(CProjectSettings& settings)
{
    CProjSettingsSheet sheet(IDS_PROJECT_SETTINGS_TITLE, this, 0, 0);
    sheet.SetSettings(settings);
    const INT_PTR nResult = sheet.DoModal();
    if (nResult == IDOK)
        sheet.GetSettings(settings);
    return nResult;
}

INT_PTR CNewProjectDlg::RunMetaSettings(CMetaSettingList& list)
{
    // Owned by this dialog, which must stay disabled while the settings are edited.
    CMetaSettingDlg dlg(this, 0);
    dlg.SetSettings(list);
    const INT_PTR nResult = dlg.DoModal();
    if (nResult == IDOK)
        dlg.GetSettings(list);
    return nResult;
}

void CNewProjectDlg::OnHelp() { ShowAppHelp(kHelpContext); }

LRESULT CNewProjectDlg::OnHelpInfo(WPARAM, LPARAM lParam)
{
    return HandleHelpRequest(reinterpret_cast<const HELPINFO*>(lParam), kHelpContextWindowBase + IDD);
}
