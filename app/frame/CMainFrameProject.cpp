// The main frame's project, scan and save commands.
#include "app/dialogs/CEnumFilesDlg.h"
#include "app/frame/AppMessages.h"
#include "app/views/CGroupDoc.h"
#include "app/views/CGroupView.h"
#include "app/frame/CMainFrame.h"
#include "app/dialogs/CNewProjectDlg.h"
#include "app/dialogs/CSaveHTMLFilesDlg.h"
#include "app/dialogs/CScanDoneDlg.h"
#include "app/frame/CVostrelApp.h"
#include "app/dialogs/DialogStrings.h"
#include "platform/afx/app/ShortenedPath.h"
#include "app/res/AppRes.h"
#include "platform/afx/AfxMessages.h"
#include "engine/html/CPageCharset.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CFileWrapper.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/OutputAreaLine.h"
#include "platform/controls/MessageBox.h"
#include "platform/afx/dlg/CFileDialog.h"
#include "platform/afx/frame/CMDIChildWnd.h"
#include "platform/controls/FileDialog.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"
#include "platform/core/SystemServices.h"
#include "platform/core/TickCount.h"
#include "platform/win/Gdi.h"
#include "app/panes/CFileViewControlBar.h"
#include "app/panes/COutputAreaControlBar.h"
#include "platform/afx/AfxRes.h"
#include "toolkit/controls/SECProgressCtrl.h"
#include "toolkit/docking/SECControlBar.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// The profile switch of the "Scan Completed" note, directly under the program's key.
constexpr LPCTSTR kWarnAfterScan = "Warn After Scan";

CVostrelApp& App()
{
    return *GetVostrelApp();
}

// How many of the folders left out the message box names; the Output Area names them all.
constexpr size_t kSkippedFoldersShown = 5;
// The scan meter's own style bits, the same whenever the meter is set up.
constexpr DWORD kMeterStyle = 0x4200;

// The values of each edited page that a save is to write: the title as "", tags by their
// names in upper case; kEveryValue when the page is given another charset, which changes how
// all of them read.
using EditedValues = std::map<CPageNode*, std::set<std::string>>;
const std::string kEveryValue(1, '\x01');

std::string ValueKey(const CString& strName)
{
    CString strUpper(strName);
    strUpper.MakeUpper();
    return std::string(strUpper.GetString());
}

EditedValues EditedValuesOf(const CPageNodeCol& tree)
{
    EditedValues edited;
    CTypedPtrList<CPtrList, CPageNode*> pages;
    tree.CollectEditedPages(pages);
    for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;) {
        CPageNode* pPage = pages.GetNext(pos);
        std::set<std::string>& names = edited[pPage];
        if (pPage->GetTitleModified())
            names.insert(std::string());
        CMetaContentList modified(FALSE);
        pPage->GetModifiedContents(modified);
        for (POSITION at = modified.GetHeadPosition(); at != nullptr;) {
            const CMetaContent* pContent = modified.GetNext(at);
            names.insert(ValueKey(pContent->GetName()));
            const CString& strValue = pContent->GetContent();
            if (pContent->GetName().CompareNoCase("Content-Type") == 0
                && !CPageCharset::NameInContentType(std::string_view(strValue.GetString(),
                                                                     static_cast<size_t>(strValue.GetLength()))).empty())
                names.insert(kEveryValue);
        }
    }
    return edited;
}

// The save put the edits into each page as its file stood then, which another program may have
// changed since the scan: the written pages are read again, their rows show what the files now
// hold, and the user is told of the values that changed besides the edits.
void ShowSavedPagesAsWritten(const std::vector<CPageNode*>& written, const EditedValues& edited, HWND hOutput)
{
    for (const auto& [pPage, names] : CParserEngine::GetEngine().ReadSavedPagesAgain(written)) {
        App().RefreshPageInView(pPage);
        const auto found = edited.find(pPage);
        CString strNames;
        for (const CString& strName : names) {
            if (found != edited.end()
                && (found->second.count(ValueKey(strName)) != 0 || found->second.count(kEveryValue) != 0))
                continue;
            strNames += (strNames.IsEmpty() ? "" : ", ") + (strName.IsEmpty() ? CString("Title") : strName);
        }
        if (strNames.IsEmpty())
            continue;
        CString strLine;
        strLine.Format(IDS_SAVED_PAGE_READ_AGAIN, strNames.GetString());
        PostOutputAreaLine(hOutput, pPage->GetSitePath(), strLine);
    }
}

// A folder's path below the project folder, as the user knows it in the site.
CString PathInSite(const CString& strPath, const CString& strProjectFolder)
{
    CString strFolder = strProjectFolder;
    while (strFolder.GetLength() > 1 && strFolder[strFolder.GetLength() - 1] == '/')
        strFolder = strFolder.Left(strFolder.GetLength() - 1);
    if (strPath.GetLength() > strFolder.GetLength() + 1 && strPath.Left(strFolder.GetLength()) == strFolder
        && strPath[strFolder.GetLength()] == '/')
        return strPath.Mid(strFolder.GetLength() + 1);
    return strPath;
}

// How many pages the tree under the node holds.
size_t CountPages(const CPageNode* pNode)
{
    size_t nPages = pNode->GetKind() == CPageNode::kindPage ? 1 : 0;
    for (POSITION pos = pNode->GetChildren().GetHeadPosition(); pos != nullptr;)
        nPages += CountPages(pNode->GetChildren().GetNext(pos));
    return nPages;
}

// Tells the user which folders of the site the enumeration could not read and left out: one
// Output Area line each, and a message box naming the first few.
void ReportSkippedFolders(const std::vector<CParserEngine::SkippedFolder>& skipped, const CString& strProjectFolder,
                          HWND hOutput)
{
    if (skipped.empty())
        return;
    CString strList;
    for (size_t i = 0; i < skipped.size(); ++i) {
        const CString strFolder = PathInSite(skipped[i].strPath, strProjectFolder);
        PostOutputAreaLine(hOutput, CString(), strFolder + " : Left out of the project: " + skipped[i].strReason);
        if (i < kSkippedFoldersShown)
            strList += ShortenedPath(strFolder) + ": " + skipped[i].strReason + "\n";
    }
    if (skipped.size() > kSkippedFoldersShown) {
        CString strFormat;
        CString strMore;
        strFormat.LoadString(kIdsMoreFoldersSkipped);
        strMore.Format(strFormat, static_cast<int>(skipped.size() - kSkippedFoldersShown));
        strList += strMore + "\n";
    }
    CString strFormat;
    CString strMessage;
    strFormat.LoadString(kIdsFoldersSkipped);
    strMessage.Format(strFormat, strList.GetString());
    AfxMessageBox(strMessage, MB_OK | MB_ICONINFORMATION);
}

// A box's text of the program's own, with the reason below it when there is one.
CString WithReason(UINT nTextId, const CString& strReason)
{
    CString strText;
    strText.LoadString(nTextId);
    if (!strReason.IsEmpty())
        strText += "\n\n" + strReason;
    return strText;
}

// The message of a file error, naming the file the user knows (not a temporary one beside it).
CString FileErrorText(const CFileException& error, const CString& strPath)
{
    CFileException named(error.m_cause, error.m_lOsError, strPath);
    char szMessage[1024] = {};
    named.GetErrorMessage(szMessage, sizeof szMessage);
    return CString(szMessage);
}

} // namespace

// ---- Opening and closing ----

UINT CMainFrame::OpenProjectFile(const CString& strPath)
{
    if (App().GetRunState() != CVostrelAppModel::runIdle)
        return kOpenCancelled;
    if (CloseProject() == 0)
        return kOpenCancelled;
    m_strOpenFailure.Empty();
    m_bOpenFailureTold = false;

    // Which file it was, in the box: it may come at start-up, from a name on the command line.
    // Nothing is shown here: the one box that says the project was not opened gives the cause.
    const CString strShown = ShortenedPath(strPath);
    CProjectSettings settings;
    using Outcome = CProjectSettings::FileReading::Outcome;
    const CProjectSettings::FileReading reading = settings.ReadFromFile(strPath);
    switch (reading.outcome) {
    case Outcome::Read:
        break;
    case Outcome::CannotOpen:
        m_strOpenFailure = FileErrorText(CFileException(reading.nFileCause, reading.lOsError), strShown);
        return kOpenFailed;
    case Outcome::PathTooLong:
        m_strOpenFailure = WithReason(IDS_PROJECT_PATH_TOO_LONG, strShown);
        return kOpenFailed;
    case Outcome::NotAProjectFile:
        m_strOpenFailure = WithReason(IDS_NOT_A_PROJECT_FILE, strShown);
        return kOpenFailed;
    case Outcome::Damaged:
        m_strOpenFailure = WithReason(IDS_PROJECT_FILE_DAMAGED, strShown);
        return kOpenFailed;
    case Outcome::OtherVersion: {
        CString strText, strFormat;
        strText.LoadString(IDS_BAD_PROJECT_FILE);
        strFormat.Format(IDS_PROJECT_FILE_FORMAT, reading.nSchema, CProjectSettings::kFileSchema);
        m_strOpenFailure = strText + strFormat + "\n\n" + strShown;
        return kOpenFailed;
    }
    case Outcome::FolderMissing:
        // The folder is named: the file is fine, and the site is what the user must look for.
        m_strOpenFailure.Format(IDS_PROJECT_FOLDER_GONE, ShortenedPath(settings.m_strProjectDirectory).GetString());
        return kOpenFailed;
    }
    // The file just read is where the project lives from now on.
    settings.SetProjectFilePath(strPath);

    CMetaSettingList list(TRUE);
    CString strSettingsFile;
    settings.GetSettingsFilePath(strSettingsFile);
    // A settings file that cannot be opened is told as the cause, not in a box of the load's own.
    CFile probe;
    CFileException probeError;
    if (!probe.Open(strSettingsFile, CFile::modeRead | CFile::shareDenyNone, &probeError)) {
        m_strOpenFailure = FileErrorText(probeError, ShortenedPath(strSettingsFile));
        return kOpenFailed;
    }
    probe.Close();
    if (list.LoadFromFile(strSettingsFile) != 0) {
        CString strFormat;
        strFormat.LoadString(IDS_BAD_PROJECT_SETTINGS);
        m_strOpenFailure.Format(strFormat, ShortenedPath(strSettingsFile).GetString());
        return kOpenFailed;
    }

    CloseProjectViews();
    m_bEnumCancelled = false;
    if (!SetUpProject(settings, list)) {
        // An enumeration cancelled or failed leaves no half-made project behind; only a
        // failure says that the file is no good, and the enumeration has said why in its box.
        CloseProjectViews();
        m_bOpenFailureTold = !m_bEnumCancelled;
        return m_bEnumCancelled ? kOpenCancelled : kOpenFailed;
    }
    CProjectSettings* pSettings = nullptr;
    if (App().GetProjectSettings(pSettings) == 0)
        pSettings->SetModified(0);
    // However it was opened (the command line, File > Open Project, the recent list itself), the
    // project goes to the top of the recent list, by a path that holds from any folder.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(static_cast<LPCTSTR>(strPath), ec);
    App().AddToRecentFileList(ec ? strPath : CString(absolute.lexically_normal().c_str()));
    return kOpenDone;
}

void CMainFrame::TellProjectNotOpened()
{
    // One box for one failure: the enumeration's own box, or this one with the cause.
    if (!m_bOpenFailureTold)
        AfxMessageBox(WithReason(IDS_PROJECT_NOT_OPENED, m_strOpenFailure), MB_ICONEXCLAMATION);
    m_strOpenFailure.Empty();
    m_bOpenFailureTold = false;
}

UINT CMainFrame::CloseProject()
{
    CVostrelApp& app = App();
    if (app.GetRunState() != CVostrelAppModel::runIdle)
        return 0;
    FinishCellEdit();
    if (app.IsEdited() == 2) {
        const int answer = AfxMessageBox(IDS_ASK_SAVE_EDITS, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL)
            return 0;
        if (answer == IDYES) {
            OnSaveEditedFiles();
            // Pages whose edits were not written keep the project open: closing would lose them.
            if (app.GetPageNodes().HasEdits() == 2) {
                AfxMessageBox(IDS_PAGES_NOT_SAVED, MB_ICONEXCLAMATION);
                return 0;
            }
        }
    }
    CProjectSettings* pSettings = nullptr;
    if (app.GetProjectSettings(pSettings) == 0) {
        CString strFile;
        pSettings->GetProjectFilePath(strFile);
        // A project never saved to a file is offered for saving as well.
        if (pSettings->IsModified() || strFile.IsEmpty()) {
            const int answer = AfxMessageBox(IDS_ASK_SAVE_PROJECT, MB_YESNOCANCEL | MB_ICONQUESTION);
            if (answer == IDCANCEL)
                return 0;
            if (answer == IDYES && SaveProject() != 0)
                return 0;
        }
    }
    CloseProjectViews();
    return 1;
}

void CMainFrame::CloseProjectViews()
{
    CVostrelApp& app = App();
    ShowPane(m_pProjectArea, FALSE);
    NoteOutputAreaShown();
    ShowPane(m_pOutputArea, FALSE);
    if (HWND hOutput = GetOutputPane())
        ::PostMessage(hOutput, kMsgOutputClear, 0, 0);
    app.ResetGroupView();
    if (m_pProjectArea && m_pProjectArea->m_hWnd)
        m_pProjectArea->ClearTree();
    app.GetSelectedNodes().RemoveAll();
    app.GetSelectedNodes().SetCurrentFolder(nullptr);
    app.GetPageNodes().DeleteAll();
    app.DeleteProjectSettings();
    app.SetEditState(0);
    CloseAllChildFrames();
    PostMessage(kMsgGiveBackMemory, TRUE);
    UpdateCommandBars();
}

LRESULT CMainFrame::OnGiveBackMemory(WPARAM wParam, LPARAM)
{
    // After a project closed, the layouts of the grid's texts are of no more use; kept, they
    // would hold on to memory spread among what the project held.
    if (wParam != FALSE)
        ForgetTextLayouts();
    // The project's memory goes back to the system, not only to the program's allocator.
    ReleaseFreedMemory();
    return 0;
}

void CMainFrame::FinishCellEdit()
{
    // What is typed in a cell or in the grid frame's edit field goes into its page first.
    CGroupDoc* pDoc = nullptr;
    CGroupView* pView = nullptr;
    if (App().FindGroupDocument(pDoc) == 0 && pDoc->GetGroupView(pView) == 0 && pView != nullptr)
        pView->FinishCellEdit();
}

void CMainFrame::CloseAllChildFrames()
{
    // Bounded: a child that refuses to go must not keep us here.
    for (int i = 0; i < 1000; ++i) {
        CMDIChildWnd* pChild = MDIGetActive();
        if (!pChild || !pChild->m_hWnd)
            break;
        ::SendMessage(m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(pChild->m_hWnd), 0);
    }
}

CPageNode* CMainFrame::SetUpProject(const CProjectSettings& settings, const CMetaSettingList& list)
{
    CWaitCursor wait;
    CVostrelApp& app = App();
    ShowPane(m_pProjectArea, TRUE);
    CProjectSettings* pSettings = nullptr;
    app.NewProjectSettings(pSettings);
    pSettings->CopyFrom(settings);
    CMetaSettingList* pCatalogue = nullptr;
    app.GetMetaSettingList(pCatalogue);
    if (pCatalogue != &list)
        pCatalogue->CopyFrom(list);

    app.GetPageNodes().DeleteAll();
    app.GetSelectedNodes().RemoveAll();
    app.GetSelectedNodes().SetCurrentFolder(nullptr);
    CloseAllChildFrames();
    // No history of edits outlives the pages they were made in, nor does the grid's layout
    // the project it was made over.
    app.DropGroupHistory();
    app.DropGridLayout();

    auto* pRoot = new CPageNode;   // the page tree owns it from here
    const CString strFolder = pSettings->m_strProjectDirectory;
    app.GetPageNodes().InitRootNode(strFolder, pRoot);
    app.GetPageNodes().AddTail(pRoot);

    CEnumFilesDlg dlg(CParserEngine::GetEngine(), *pSettings, this);
    dlg.SetPath(strFolder, pRoot);
    m_nLastEnumResult = dlg.DoModal();
    m_bEnumCancelled = dlg.GetState() == CEnumFilesDlg::stateCancelRequested;
    if (m_nLastEnumResult != IDOK && m_nLastEnumResult != CEnumFilesDlg::kIdStop)
        return nullptr;

    if (m_pProjectArea && m_pProjectArea->m_hWnd) {
        m_pProjectArea->ClearTree();
        m_pProjectArea->AddRootNode(pRoot);
        ShowPane(m_pProjectArea, TRUE);
        RestoreOutputArea();
        // Collects the root's pages into the selection and shows them, which also makes the
        // root the selection's current folder.
        m_pProjectArea->GetTree().ShowPagesOf(pRoot);
    }
    ReportSkippedFolders(CParserEngine::GetEngine().GetEnumerationSkipped(), strFolder, GetOutputPane());
    const bool bPages = CountPages(pRoot) != 0;
    if (!bPages) {
        // An empty grid alone would not tell a folder without pages from extensions that
        // match none of its files.
        CString strExtensions;
        for (POSITION pos = pSettings->m_FileExtensions.GetHeadPosition(); pos != nullptr;) {
            const CString strExtension = pSettings->m_FileExtensions.GetNext(pos);
            if (strExtension.IsEmpty())
                continue;
            if (!strExtensions.IsEmpty())
                strExtensions += ", ";
            strExtensions += strExtension;
        }
        CString strFormat, strMessage;
        strFormat.LoadString(kIdsNoPagesFound);
        strMessage.Format(strFormat, ShortenedPath(strFolder).GetString(), strExtensions.GetString());
        AfxMessageBox(strMessage, MB_OK | MB_ICONINFORMATION);
    }
    if (pSettings->m_bAutoScan && bPages)
        StartScan(ScanOutput::Kept);
    return pRoot;
}

void CMainFrame::AfterProjectSettings(const CStringList& oldExtensions)
{
    CProjectSettings* pSettings = nullptr;
    if (App().GetProjectSettings(pSettings) == 0 && !pSettings->m_FileExtensions.IsEqual(oldExtensions))
        PostMessage(kMsgExtensionsChanged);
}

LRESULT CMainFrame::OnExtensionsChanged(WPARAM, LPARAM)
{
    CVostrelApp& app = App();
    CProjectSettings* pSettings = nullptr;
    CMetaSettingList* pCatalogue = nullptr;
    if (app.GetRunState() != CVostrelAppModel::runIdle || app.GetProjectSettings(pSettings) != 0 ||
        app.GetMetaSettingList(pCatalogue) != 0)
        return 0;
    // The pages are found again: edits not yet written would go with the old ones. Yes saves
    // them first, No lets them go with the old pages, Cancel keeps both the edits and the
    // pages listed now.
    FinishCellEdit();
    if (app.IsEdited() == 2) {
        const int answer = AfxMessageBox(IDS_ASK_SAVE_EDITS, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDYES)
            OnSaveEditedFiles();
        // A save that left pages unwritten keeps them, as Cancel does.
        if (answer == IDCANCEL || (answer == IDYES && app.GetPageNodes().HasEdits() == 2)) {
            AfxMessageBox(kIdsExtensionsLater, MB_OK | MB_ICONINFORMATION);
            return 0;
        }
    }
    // As opening the project does: the folder looked through with the new extensions, and
    // scanned when the project scans itself on opening.
    CProjectSettings settings;
    settings.CopyFrom(*pSettings);
    CloseProjectViews();
    m_bEnumCancelled = false;
    if (SetUpProject(settings, *pCatalogue) == nullptr) {
        CloseProjectViews();
        return 0;
    }
    if (app.GetProjectSettings(pSettings) == 0)
        pSettings->SetModified(1);
    return 0;
}

// ---- Saving the project ----

UINT CMainFrame::EnsureSettingsFilePath(CProjectSettings& settings)
{
    CString strPath;
    settings.GetSettingsFilePath(strPath);
    if (!strPath.IsEmpty())
        return 0;
    CMetaSettingList* pList = nullptr;
    App().GetMetaSettingList(pList);
    strPath = pList->GetFilePath();
    if (strPath.IsEmpty()) {
        AfxMessageBox(IDS_SAVE_SETTINGS_FIRST, MB_ICONINFORMATION);
        return 1;
    }
    settings.SetSettingsFilePath(strPath);
    return 0;
}

UINT CMainFrame::SaveProject()
{
    return SaveProjectAsking(false);
}

UINT CMainFrame::SaveProjectAs()
{
    return SaveProjectAsking(true);
}

// Writes the project to its file, asking for the file first when it has none or when bAlwaysAsk
// (Save As); a failure is told with its reason.
UINT CMainFrame::SaveProjectAsking(bool bAlwaysAsk)
{
    CProjectSettings* pSettings = nullptr;
    if (App().GetProjectSettings(pSettings) != 0)
        return 1;
    if (EnsureSettingsFilePath(*pSettings) != 0)
        return 1;
    CString strPath;
    pSettings->GetProjectFilePath(strPath);
    if ((bAlwaysAsk || strPath.IsEmpty()) && AskProjectPath(strPath) != 0)
        return 1;
    const UINT result = WriteProjectFile(strPath);
    if (result != 0)
        AfxMessageBox(WithReason(IDS_PROJECT_NOT_SAVED, m_strSaveFailure), MB_ICONEXCLAMATION);
    return result;
}

UINT CMainFrame::AskProjectPath(CString& strPath)
{
    CString strFilter, strTitle;
    strFilter.LoadString(IDS_PROJECT_FILTER);
    strTitle.LoadString(IDS_SAVE_PROJECT_AS);
    CFileDialog dlg(FALSE, ".vsp", strPath.IsEmpty() ? nullptr : static_cast<LPCTSTR>(strPath),
                    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_CREATEPROMPT, strFilter, this);
    dlg.m_ofn.lpstrTitle = strTitle;
    if (dlg.DoModal() != IDOK)
        return 1;
    strPath = dlg.GetPathName();
    return 0;
}

UINT CMainFrame::WriteProjectFile(const CString& strPath)
{
    CWaitCursor wait;
    m_strSaveFailure.Empty();
    CVostrelApp& app = App();
    CProjectSettings* pSettings = nullptr;
    if (app.GetProjectSettings(pSettings) != 0)
        return 1;
    CString strSettingsFile;
    pSettings->GetSettingsFilePath(strSettingsFile);
    if (strSettingsFile.IsEmpty()) {
        AfxMessageBox(IDS_SETTINGS_NOT_SAVED, MB_ICONEXCLAMATION);
        return 1;
    }
    if (CFileWrapper::FileExists(strSettingsFile) != 2) {
        CString strFormat, strMessage;
        strFormat.LoadString(IDS_SETTINGS_FILE_MISSING);
        strMessage.Format(strFormat, static_cast<LPCTSTR>(strSettingsFile));
        AfxMessageBox(strMessage, MB_ICONEXCLAMATION);
        return 1;
    }
    const CString strOldPath = [&] {
        CString s;
        pSettings->GetProjectFilePath(s);
        return s;
    }();
    pSettings->SetProjectFilePath(strPath);

    // Written beside the old file and renamed over it, so a failed write leaves the old one.
    const CString strTemp = strPath + ".tmp";
    bool bWritten = false;
    try {
        CFile file;
        CFileException error;
        if (file.Open(strTemp, CFile::modeCreate | CFile::modeWrite, &error)) {
            CArchive ar(&file, CArchive::store, 4096);
            ar.WriteObject(pSettings);
            ar.Close();
            file.Flush();
            file.Close();
            bWritten = true;
        } else {
            m_strSaveFailure = FileErrorText(error, strPath);
        }
    } catch (CFileException* e) {
        m_strSaveFailure = FileErrorText(*e, strPath);
        e->Delete();
        bWritten = false;
    } catch (CException* e) {
        char szMessage[1024] = {};
        e->GetErrorMessage(szMessage, sizeof szMessage);
        m_strSaveFailure = szMessage;
        e->Delete();
        bWritten = false;
    }
    std::error_code ec;
    if (bWritten) {
        std::filesystem::rename(static_cast<LPCTSTR>(strTemp), static_cast<LPCTSTR>(strPath), ec);
        bWritten = !ec;
        if (ec)
            m_strSaveFailure = FileErrorText(
                CFileException(CFileException::ErrnoToException(ec.value()), ec.value(), strPath), strPath);
    }
    if (!bWritten) {
        std::filesystem::remove(static_cast<LPCTSTR>(strTemp), ec);
        pSettings->SetProjectFilePath(strOldPath);
        return 1;
    }
    pSettings->SetModified(0);
    app.AddToRecentFileList(strPath);
    app.ShowGroupView(GetCurrentFolderTitle(), 0);
    return 0;
}

// ---- Commands ----

void CMainFrame::OnNewProject()
{
    if (!IsCommandEnabled(ID_NEW_PROJECT))
        return;
    CVostrelApp& app = App();
    // The Output Area goes with the project closed, and comes back with the new one as the user
    // left it; a project kept open (Cancel) keeps it as it was.
    if (CloseProject() == 0)
        return;
    CMetaSettingList* pCatalogue = nullptr;
    app.GetMetaSettingList(pCatalogue);
    CProjectSettings settings;
    app.LoadProjectDefaults(settings);
    CString strSettingsFile;
    if (app.LocateSettingsFile(strSettingsFile) != 0 || pCatalogue->LoadFromFile(strSettingsFile) != 0)
        pCatalogue->SetDefaults();

    CNewProjectDlg dlg(this);
    dlg.SetData(settings, *pCatalogue);
    if (dlg.DoModal() != IDOK)
        return;
    app.SetEditState(0);
    dlg.GetProjectSettings(settings);
    CMetaSettingList list(TRUE);
    dlg.GetMetaSettings(list);
    app.SaveProjectDefaults(settings);
    settings.SetSettingsFilePath(list.GetFilePath());
    if (!SetUpProject(settings, list))
        CloseProjectViews();
}

void CMainFrame::OnOpenProject()
{
    if (!IsCommandEnabled(ID_OPEN_PROJECT))
        return;
    CString strFilter, strTitle;
    strFilter.LoadString(IDS_PROJECT_FILTER);
    strTitle.LoadString(IDS_OPEN_PROJECT);
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, strFilter, this);
    dlg.m_ofn.lpstrTitle = strTitle;
    if (dlg.DoModal() != IDOK)
        return;
    if (OpenProjectFile(dlg.GetPathName()) == kOpenFailed)
        TellProjectNotOpened();
}

void CMainFrame::OnCloseProject()
{
    if (IsCommandEnabled(ID_CLOSE_PROJECT))
        CloseProject();
}

void CMainFrame::OnSaveProject()
{
    if (IsCommandEnabled(ID_SAVE_PROJECT))
        SaveProject();
}

void CMainFrame::OnSaveProjectAs()
{
    if (IsCommandEnabled(ID_SAVE_PROJECT_AS))
        SaveProjectAs();
}

void CMainFrame::OnSaveEditedFiles()
{
    if (App().GetRunState() != CVostrelAppModel::runIdle)
        return;
    FinishCellEdit();
    // The typed text the page refused (it was not read) leaves nothing to write; the view has
    // said why.
    if (App().IsEdited() != 2)
        return;
    const EditedValues edited = EditedValuesOf(App().GetPageNodes());
    CSaveHTMLFilesDlg dlg(CParserEngine::GetEngine(), App().GetPageNodes(), GetOutputPane(), this);
    dlg.DoModal();
    ShowSavedPagesAsWritten(dlg.GetWrittenPages(), edited, GetOutputPane());
    // An undo after the save would show the old values over pages that hold the new ones.
    CGroupDoc* pDoc = nullptr;
    CGroupView* pView = nullptr;
    if (App().FindGroupDocument(pDoc) == 0 && pDoc->GetGroupView(pView) == 0)
        pView->EndHistoryAtSave();
    // So does the history kept while the grid's window is closed.
    App().DropGroupHistory();
    if (App().GetPageNodes().HasEdits() == 3)
        App().SetEditState(0);
    // What the save thread read and wrote is freed by now.
    ReleaseFreedMemory();
}

// ---- Scanning ----

void CMainFrame::SetProgressMeter(const CString& strText, UINT nLow, UINT nCount)
{
    m_nFilesScanned = 0;
    m_nFilesRead = 0;
    m_nFilesUnreadable = 0;
    m_nFilesLeftUnread = 0;
    m_nFilesToScan = nCount;
    m_nMeterSteps = 0;
    m_nLastMeterUpdate = 0;
    m_nMeterPerPage = std::clamp<UINT>(UINT_MAX / 2 / std::max(nCount, 1u), 1, 1000);
    m_wndStatusBar.InitProgressBar(strText, nLow, nLow + nCount * m_nMeterPerPage, TRUE, kMeterStyle);
}

void CMainFrame::ClearProgressMeter()
{
    m_wndStatusBar.ClearProgressBar();
}

void CMainFrame::SayInStatusBar(const CString& strText)
{
    ::MessageBeep(MB_ICONEXCLAMATION);
    TellInStatusBar(strText);
}

void CMainFrame::TellInStatusBar(const CString& strText)
{
    // The scan's meter covers the message pane but for its label: the text takes the label's
    // place, and the meter, moved beside it, goes on counting.
    if (SECProgressCtrl* pMeter = m_wndStatusBar.GetProgressCtrl()) {
        UINT nLower = 0, nUpper = 0;
        pMeter->GetRange(nLower, nUpper);
        m_wndStatusBar.InitProgressBar(strText, nLower, nUpper, FALSE, kMeterStyle);
        return;
    }
    SetMessageText(strText);
    m_bSaidInStatusBar = true;
}

void CMainFrame::EndSaidInStatusBar()
{
    if (!m_bSaidInStatusBar)
        return;
    m_bSaidInStatusBar = false;
    // Unless another text took its place meanwhile (a long operation's "Done.").
    if (m_wndStatusBar.GetSafeHwnd() != nullptr && m_wndStatusBar.GetProgressCtrl() == nullptr)
        SetMessageText(AFX_IDS_IDLEMESSAGE);
}

BOOL CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // Menus and accelerators (codes 0 and 1) and toolbar buttons (BN_CLICKED, 0); not the
    // notifications of other controls.
    if (HIWORD(wParam) <= 1)
        EndSaidInStatusBar();
    return SECMDIFrameWnd::OnCommand(wParam, lParam);
}

void CMainFrame::OnStartScan()
{
    StartScan(ScanOutput::Cleared);
}

void CMainFrame::StartScan(ScanOutput output)
{
    if (!IsCommandEnabled(ID_START_SCAN))
        return;
    CWaitCursor wait;
    FinishCellEdit();
    CVostrelApp& app = App();
    CSelNodesCol& pages = app.GetSelectedNodes();
    if (pages.HasEdits() == 2) {
        // Yes throws the edits away: Enter, pressed without reading, keeps them.
        if (AfxMessageBox(IDS_ASK_OVERRIDE_EDITS, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return;
        pages.SetEditFlags(0);
        if (app.GetPageNodes().HasEdits() == 3)
            app.SetEditState(0);
    }
    if (pages.IsEmpty()) {
        AfxMessageBox(IDS_SCAN_NO_SELECTION, MB_ICONINFORMATION);
        return;
    }
    CProjectSettings* pSettings = nullptr;
    if (app.GetProjectSettings(pSettings) != 0)
        return;
    app.ShowGroupView(GetCurrentFolderTitle(), 0);
    // Hint 0 only loads the rows; the scan is started here, once.
    app.UpdatePageViews(0, nullptr);
    // Each scan tells what it met afresh, as each save does: the same warnings of the last scan
    // would otherwise stand again below the first, with nothing telling one scan from the next.
    if (HWND hOutput = GetOutputPane(); hOutput != nullptr && output == ScanOutput::Cleared)
        ::PostMessage(hOutput, kMsgOutputClear, 0, 0);
    CString strText;
    strText.LoadString(IDS_SCANNING);
    SetProgressMeter(strText, 1, static_cast<UINT>(pages.GetCount()));
    // The engine sets the run state itself when the scan starts.
    if (CParserEngine::GetEngine().StartScan(pages, *pSettings) != 0) {
        ClearProgressMeter();
        AfxMessageBox(IDS_SCAN_NOT_STARTED, MB_ICONEXCLAMATION);
        return;
    }
    // The scan has emptied its pages: the rows on the screen show them as not read yet, not as
    // the last scan left them.
    CGroupDoc* pDoc = nullptr;
    CGroupView* pView = nullptr;
    if (app.FindGroupDocument(pDoc) == 0 && pDoc->GetGroupView(pView) == 0 && pView != nullptr)
        pView->Invalidate(FALSE);
    UpdateCommandBars();
}

// The toolbars, docked or floating, follow the program's state at once, as they do when it
// idles: a scan of local pages floods the queue with its messages, and waiting for an idle
// moment would leave Stop disabled while it runs; a dialog that opens after a project closed
// runs a loop of its own, and the project's commands would look enabled behind it.
void CMainFrame::UpdateCommandBars()
{
    App().OnIdle(0);
}

void CMainFrame::OnStopScan()
{
    if (App().GetRunState() == CVostrelAppModel::runScanning) {
        CParserEngine::GetEngine().StopScan();
        UpdateCommandBars();
    } else {
        ::MessageBeep(0);
    }
}

LRESULT CMainFrame::OnScanProgress(WPARAM, LPARAM lParam)
{
    auto* pPage = reinterpret_cast<CPageNode*>(lParam);
    CMetaContentList* pList = nullptr;
    if (pPage && pPage->GetContentList(pList) != 0)
        pPage->CreateContentList(pList);
    App().UpdatePageViews(1, pPage);
    ++m_nFilesScanned;
    // Counted as the row shows the page: read, not read, or not readable.
    if (pPage != nullptr && pPage->IsRead())
        ++m_nFilesRead;
    else if (pPage != nullptr && pPage->GetScanState() == 0)
        ++m_nFilesUnreadable;
    else if (pPage != nullptr && pPage->IsLeftUnread())
        ++m_nFilesLeftUnread;
    // A page's worker may wait for this thread (a new tag's column): painting the meter for
    // each of thousands of pages would keep it waiting, so the meter follows a few times a
    // second, and shows the last page at once.
    ++m_nMeterSteps;
    const ULONGLONG now = ::GetTickCount64();
    if (m_nFilesScanned < m_nFilesToScan && now - m_nLastMeterUpdate < kMeterIntervalMs)
        return 1;
    m_nLastMeterUpdate = now;
    CString strFormat, strText;
    strFormat.LoadString(IDS_FILES_SCANNED);
    strText.Format(strFormat, m_nFilesScanned, m_nFilesToScan);
    m_wndStatusBar.SetProgressText(strText);
    m_nMeterSteps = 0;
    ShowScanMeter(0);
    return 1;
}

void CMainFrame::ShowScanMeter(UINT nThousandths)
{
    SECProgressCtrl* pMeter = m_wndStatusBar.GetProgressCtrl();
    if (pMeter == nullptr)
        return;
    UINT nLower = 0, nUpper = 0;
    pMeter->GetRange(nLower, nUpper);
    const ULONGLONG nPos = nLower + static_cast<ULONGLONG>(m_nFilesScanned) * m_nMeterPerPage
        + static_cast<ULONGLONG>(std::min(nThousandths, 1000u)) * m_nMeterPerPage / 1000;
    m_wndStatusBar.SetProgressPos(static_cast<UINT>(std::min<ULONGLONG>(nPos, nUpper)));
}

LRESULT CMainFrame::OnScanPageProgress(WPARAM wParam, LPARAM lParam)
{
    // A page's progress that comes after its scan ended (its end told, or the scan stopped)
    // says nothing any more.
    const auto* pPage = reinterpret_cast<const CPageNode*>(lParam);
    if (pPage == nullptr || App().GetRunState() != CVostrelAppModel::runScanning || m_wndStatusBar.GetProgressCtrl() == nullptr
        || m_nFilesScanned >= m_nFilesToScan)
        return 0;
    const UINT nThousandths = static_cast<UINT>(std::min<WPARAM>(wParam, 1000));
    CString strFormat, strText;
    strFormat.LoadString(IDS_FILES_SCANNED_READING);
    strText.Format(strFormat, m_nFilesScanned, m_nFilesToScan, pPage->GetSitePath().GetString(), nThousandths / 10);
    m_wndStatusBar.SetProgressText(strText);
    ShowScanMeter(nThousandths);
    return 1;
}

LRESULT CMainFrame::OnSyncPageUpdate(WPARAM wParam, LPARAM lParam)
{
    App().UpdatePageViews(2, reinterpret_cast<CObject*>(lParam));
    // The worker waits on this event: it is set whatever happened above.
    if (wParam)
        ::SetEvent(reinterpret_cast<HANDLE>(wParam));
    return 1;
}

LRESULT CMainFrame::OnScanDone(WPARAM, LPARAM)
{
    ClearProgressMeter();
    CVostrelApp& app = App();
    // The columns of the last settings the scan showed are added before anything is said, and
    // the rows sorted by the values the scan read, as the user sorted them.
    CGroupDoc* pDoc = nullptr;
    CGroupView* pView = nullptr;
    if (app.FindGroupDocument(pDoc) == 0 && pDoc->GetGroupView(pView) == 0 && pView != nullptr) {
        pView->ShowPendingColumns();
        pView->ApplyUserSort();
    }
    // The scan's passing memory is freed by now (its reports, its engine's queue of pages) and
    // so are the values the pages held before it, wherever the threads left the new ones: what
    // the allocator keeps of it goes back to the system, so that every rescan starts level. Once
    // the scan's end has been told.
    PostMessage(kMsgGiveBackMemory, FALSE);
    CProjectSettings* pSettings = nullptr;
    if (m_nFilesRead + m_nFilesUnreadable + m_nFilesLeftUnread < m_nFilesToScan) {
        // Stopped (by the user or by a failure) before every page was read: "completed" would
        // not be true, and the pages not read would pass for pages without tags. A page left
        // unread for its size is no stop: the Output Area told it.
        CString strFormat, strMessage, strUnreadable;
        if (m_nFilesUnreadable > 0)
            strUnreadable.Format(IDS_SCAN_STOPPED_UNREADABLE, m_nFilesUnreadable);
        strFormat.LoadString(IDS_SCAN_STOPPED);
        strMessage.Format(strFormat, m_nFilesRead, m_nFilesToScan, strUnreadable.GetString());
        AfxMessageBox(strMessage, MB_OK | MB_ICONINFORMATION);
    } else if (app.GetProjectSettings(pSettings) == 0 && pSettings->m_bShowAllFound) {
        if (m_bWarnAfterScan)
            m_bWarnAfterScan = app.GetProfileInt("", kWarnAfterScan, static_cast<int>(m_bWarnAfterScan));
        if (m_bWarnAfterScan) {
            CScanDoneDlg dlg(this);
            if (dlg.DoModal() == IDOK && dlg.m_bDontShowAgain) {
                app.WriteProfileInt("", kWarnAfterScan, 0);
                m_bWarnAfterScan = 0;
            }
        }
    }
    // Keywords the scan added to pages it then did not read whole are no edits: Close and
    // Exit ask about the pages a save would write, and only those.
    app.SetEditState(app.GetPageNodes().HasEdits() == 2 ? 1 : 0);
    app.SetRunState(CVostrelAppModel::runIdle);
    UpdateCommandBars();
    return 1;
}
