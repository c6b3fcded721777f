// The application object: start-up, shut-down, the project's accessors and the recent projects.
#include "app/frame/CVostrelApp.h"
#include "app/dialogs/DialogHelp.h"

#include "app/dialogs/CAboutDlg.h"
#include "app/dialogs/CNewProjectDlg.h"
#include "app/views/CGroupDoc.h"
#include "app/views/CGroupFrame.h"
#include "app/views/CGroupView.h"
#include "app/launch/CHelpTopics.h"
#include "app/frame/CMainFrame.h"
#include "app/views/CSingleDoc.h"
#include "app/views/CSingleFrame.h"
#include "app/views/CSingleView.h"
#include "app/frame/CVostrelSplashWnd.h"
#include "app/res/AppRes.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CFileWrapper.h"
#include "engine/project/PathToFileUrl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/features/GXGridFeatures.h"
#include "platform/controls/MessageBox.h"
#include "platform/afx/app/CCommandLineInfo.h"
#include "platform/afx/app/CRecentFileList.h"
#include "platform/afx/doc/CDocManager.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/CFile.h"
#include "platform/core/RegistryStore.h"
#include "platform/core/SystemServices.h"
#include "platform/core/SystemServices.h"
#include "platform/core/UserDirs.h"
#include "platform/core/VersionInfo.h"
#include "toolkit/frames/SECMultiDocTemplate.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace {

// How long the start-up picture stays, in milliseconds.
constexpr UINT kSplashTime = 3500;

} // namespace

BEGIN_MESSAGE_MAP(CVostrelApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, &CVostrelApp::OnAppAbout)
    ON_COMMAND_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE4, &CVostrelApp::OnFileMru)
    ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, &CVostrelApp::OnUpdateFileMru)
    ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup)
    ON_COMMAND(ID_HELP_FINDER, &CVostrelApp::OnHelpFinder)
END_MESSAGE_MAP()

CVostrelApp* GetVostrelApp()
{
    return dynamic_cast<CVostrelApp*>(AfxGetApp());
}

CVostrelApp::CVostrelApp()
{
    // The engine and the dialogs reach the project through the model; this object's profile
    // and dialogs are the ones they use.
    m_model.Install();
    m_model.SetProfile(&m_profile);
    m_model.SetDialogs(&m_dialogs);
    m_model.SetEditState(0);
}

CVostrelApp::~CVostrelApp()
{
    CParserEngine& engine = CParserEngine::GetEngine();
    engine.SetScanHost(nullptr);
    engine.SetScanBackend(nullptr);
}

CMainFrame* CVostrelApp::GetMainFrame() const
{
    return dynamic_cast<CMainFrame*>(m_pMainWnd);
}

BOOL CVostrelApp::InitInstance()
{
    // The memory a scan's and a save's threads freed would otherwise stay with the program, and
    // it would grow with every rescan of the same site.
    SetUpAllocator();
    // The standard controls and the MDI client stand in for the system's control library.
    RegisterStandardControls();
    // File and archive errors are told to the user, not to the terminal.
    m_pPreviousErrorHook = AfxSetReportErrorHook(nullptr);
    InstallMessageBoxErrorReports();
    // The settings prototypes come with the model.
    RegisterSettingPrototypes();
    GXInitControlFactory(0x600, 0, 0);
    // The dialogs' grids select, hide and size rows through the grid's optional features.
    GXInstallGridFeatures();
    SetRunState(CVostrelAppModel::runIdle);
    SetRegistryKey("Wexmoor\\Vostrel\\1.0 Release Candidate 16");
    TellRegistryProblem();

    // The start-up picture closes itself after a while, or at the first key or click on it.
    CString strVersion;
    GetVersionString(strVersion, IDS_VERSION_FORMAT);
    // It deletes itself when it closes, and also when its window cannot be made at all.
    auto* pSplash = new CVostrelSplashWnd(IDB_SPLASH, kSplashTime, strVersion);
    // Titled, it has no hidden owner keeping it above everything else.
    pSplash->SetTitle("Vostrel");
    if (pSplash->Create())
        m_hSplash = pSplash->GetSafeHwnd();

    CParserEngine& engine = CParserEngine::GetEngine();
    engine.SetScanBackend(&m_scanBackend);

    LoadSettingsCatalogue();
    LoadStdProfileSettings(4);

    AddDocTemplate(new SECMultiDocTemplate(IDR_GROUPTYPE, RUNTIME_CLASS(CGroupDoc), RUNTIME_CLASS(CGroupFrame),
                                           RUNTIME_CLASS(CGroupView)));
    AddDocTemplate(new SECMultiDocTemplate(IDR_SINGLETYPE, RUNTIME_CLASS(CSingleDoc), RUNTIME_CLASS(CSingleFrame),
                                           RUNTIME_CLASS(CSingleView)));

    // The frame deletes itself with its window, also when its creation fails.
    auto* pFrame = new CMainFrame;
    if (!pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE))
        return FALSE;
    m_pMainWnd = pFrame;
    engine.SetScanHost(pFrame);

    // A project named on the command line is opened by the frame once it is shown, not as a
    // document: the templates know no project files, and a failed document open would end the
    // program. Nor is File New run then: its chooser would stand in front of the project with
    // nothing to choose that the user asked for.
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    CString strProject;
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen) {
        strProject = cmdInfo.m_strFileName;
        cmdInfo.m_nShellCommand = CCommandLineInfo::FileNothing;
    }
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;

    pFrame->RestoreWindowState(m_nCmdShow);
    pFrame->ShowWindow(m_nCmdShow);
    pFrame->UpdateWindow();

    // A project that cannot be opened is said to be so; the program runs on without it.
    if (!strProject.IsEmpty() && !CNewProjectDlg::TellIfWebAddress(strProject) &&
        pFrame->OpenProjectFile(strProject) == CMainFrame::kOpenFailed)
        pFrame->TellProjectNotOpened();
    return TRUE;
}

int CVostrelApp::ExitInstance()
{
    // The steps kept for a grid hold grid objects: they go while the grid library still runs.
    DropGroupHistory();
    CloseStartupPicture();
    TerminateGridLibrary();
    CParserEngine::GetEngine().SetScanHost(nullptr);
    CParserEngine::DeleteEngine();
    GetPageNodes().DeleteAll();
    GetSelectedNodes().RemoveAll();
    DeleteProjectSettings();
    AfxSetReportErrorHook(m_pPreviousErrorHook);
    return CWinApp::ExitInstance();
}

void CVostrelApp::CloseStartupPicture()
{
    // A program ended before its start-up picture closed itself takes the picture along.
    if (auto* pSplash = dynamic_cast<CVostrelSplashWnd*>(CWnd::FromHandlePermanent(m_hSplash)))
        pSplash->DestroyWindow();
    m_hSplash = nullptr;
}

// ---- Settings file ----

CString CVostrelApp::GetProgramSettingsFile()
{
    char buffer[4096] = "";
    const DWORD n = ::GetModuleFileName(nullptr, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer)
        return CString();
    std::filesystem::path exe(buffer);
    return CString((exe.parent_path() / kSettingsFileName).string().c_str());
}

CString CVostrelApp::GetUserSettingsFile()
{
    const std::string dir = GetUserConfigDir();
    if (dir.empty())
        return CString(kSettingsFileName);
    return CString((dir + "/" + kSettingsFileName).c_str());
}

UINT CVostrelApp::LocateSettingsFile(CString& strPath)
{
    const std::string dir = GetUserConfigDir();
    strPath = GetUserSettingsFile();
    if (dir.empty())
        return 1;
    std::error_code ec;
    const std::filesystem::path user(static_cast<LPCTSTR>(strPath));
    if (std::filesystem::is_regular_file(user, ec))
        return 0;
    // First run for this user: take a copy of the catalogue shipped beside the program. That
    // folder may be read-only, so the user's copy is the one the program writes.
    const CString strSeed = GetProgramSettingsFile();
    if (!strSeed.IsEmpty() && std::filesystem::is_regular_file(static_cast<LPCTSTR>(strSeed), ec) &&
        MakeDirectories(dir, 0700)) {
        std::filesystem::copy_file(static_cast<LPCTSTR>(strSeed), user, ec);
        if (!ec)
            return 0;
    }
    return 1;
}

void CVostrelApp::TellRegistryProblem()
{
    const CRegistryLoadProblem problem = CRegistryStore::Instance().TakeLoadProblem();
    CString strFormat;
    CString strMessage;
    switch (problem.kind) {
    case CRegistryLoadProblem::Kind::None:
        return;
    case CRegistryLoadProblem::Kind::SetAside:
        strFormat.LoadString(IDS_REGISTRY_SET_ASIDE);
        strMessage.Format(strFormat, problem.path.c_str(), problem.reason.c_str(), problem.aside.c_str());
        break;
    case CRegistryLoadProblem::Kind::NotSetAside:
        strFormat.LoadString(IDS_REGISTRY_NOT_SET_ASIDE);
        strMessage.Format(strFormat, problem.path.c_str(), problem.reason.c_str(), problem.renameError.c_str());
        break;
    case CRegistryLoadProblem::Kind::Unreadable:
        strFormat.LoadString(IDS_REGISTRY_UNREADABLE);
        strMessage.Format(strFormat, problem.path.c_str(), problem.reason.c_str());
        break;
    }
    AfxMessageBox(strMessage, MB_ICONEXCLAMATION);
}

void CVostrelApp::LoadSettingsCatalogue()
{
    CMetaSettingList& list = m_model.GetMetaSettings();
    CString strPath;
    if (LocateSettingsFile(strPath) == 0) {
        if (list.LoadFromFile(strPath) == 0)
            return;
        list.SetDefaults();
        // A file that opens but holds no catalogue is damaged: kept aside under a name of its
        // own, so that the defaults take its place and what the user changes is saved there.
        // A file that cannot be opened has been reported by the load, and is left alone.
        if (!std::ifstream(static_cast<LPCTSTR>(strPath), std::ios::binary).good()) {
            CString text;
            text.LoadString(IDS_BAD_SETTINGS_FILE);
            CString message;
            message.Format(text, static_cast<LPCTSTR>(strPath));
            AfxMessageBox(message, MB_ICONINFORMATION);
            return;
        }
        std::string aside;
        const int nError = MoveDamagedFileAside(static_cast<LPCTSTR>(strPath), aside);
        CString text;
        CString message;
        if (nError == 0) {
            text.LoadString(IDS_SETTINGS_SET_ASIDE);
            message.Format(text, static_cast<LPCTSTR>(strPath), aside.c_str());
            AfxMessageBox(message, MB_ICONEXCLAMATION);
            SaveDefaultCatalogue(strPath);
        } else {
            text.LoadString(IDS_SETTINGS_NOT_SET_ASIDE);
            message.Format(text, static_cast<LPCTSTR>(strPath), std::strerror(nError));
            AfxMessageBox(message, MB_ICONEXCLAMATION);
        }
        return;
    }
    list.SetDefaults();
    SaveDefaultCatalogue(strPath);
}

void CVostrelApp::SaveDefaultCatalogue(const CString& strPath)
{
    CMetaSettingList& list = m_model.GetMetaSettings();
    const std::string dir = GetUserConfigDir();
    if (dir.empty() || !MakeDirectories(dir, 0700) || list.SaveToFile(strPath) != 0) {
        CString text;
        text.LoadString(IDS_DEFAULT_SETTINGS_NOT_SAVED);
        CString message;
        message.Format(text, static_cast<LPCTSTR>(strPath));
        AfxMessageBox(message, MB_ICONINFORMATION);
    }
}

UINT CVostrelApp::RegisterSettingPrototypes()
{
    // The model registers the eleven prototypes when it is made.
    return 0;
}

UINT CVostrelApp::CopySettingPrototypes(CMetaSettingList& list)
{
    list.RemoveAll();
    m_model.CopySettingPrototypes(list);
    return 0;
}

// ---- Project settings ----

UINT CVostrelApp::NewProjectSettings(CProjectSettings*& pSettings)
{
    m_model.SetProjectSettings(std::make_unique<CProjectSettings>());
    return m_model.GetProjectSettings(pSettings);
}

UINT CVostrelApp::DeleteProjectSettings()
{
    m_model.SetProjectSettings(nullptr);
    return 0;
}

UINT CVostrelApp::LoadProjectDefaults(CProjectSettings& settings)
{
    settings.LoadFromProfile();
    return 0;
}

UINT CVostrelApp::SaveProjectDefaults(const CProjectSettings& settings)
{
    settings.SaveToProfile();
    return 0;
}

// ---- Views ----

namespace {

CDocTemplate* FindTemplate(CWinApp& app, LPCTSTR lpszDocName)
{
    if (!app.m_pDocManager)
        return nullptr;
    for (CDocTemplate* pTemplate : app.m_pDocManager->GetTemplates()) {
        CString name;
        if (pTemplate->GetDocString(name, CDocTemplate::docName) && name == lpszDocName)
            return pTemplate;
    }
    return nullptr;
}

template <class Fn>
void ForEachGroupDocument(CWinApp& app, Fn fn)
{
    CDocTemplate* pTemplate = FindTemplate(app, "Group");
    if (!pTemplate)
        return;
    std::vector<CDocument*> docs;
    for (POSITION pos = pTemplate->GetFirstDocPosition(); pos;)
        docs.push_back(pTemplate->GetNextDoc(pos));
    for (CDocument* pDoc : docs)
        fn(pDoc);
}

} // namespace

UINT CVostrelApp::FindGroupDocument(CGroupDoc*& pDoc)
{
    pDoc = nullptr;
    CDocTemplate* pTemplate = FindTemplate(*this, "Group");
    if (!pTemplate)
        return 1;
    POSITION pos = pTemplate->GetFirstDocPosition();
    if (!pos)
        return 1;
    pDoc = dynamic_cast<CGroupDoc*>(pTemplate->GetNextDoc(pos));
    return pDoc ? 0 : 1;
}

UINT CVostrelApp::ActivateGroupView(CGroupView*& pView)
{
    pView = nullptr;
    CGroupDoc* pDoc = nullptr;
    if (FindGroupDocument(pDoc) != 0)
        return 1;
    return pDoc->ActivateGroupView(pView);
}

CGroupView* CVostrelApp::ShowGroupView(const CString& strTitle, int nMode)
{
    if (nMode == 0) {
        CGroupView* pView = nullptr;
        if (ActivateGroupView(pView) == 0 && pView) {
            if (CFrameWnd* pFrame = pView->GetParentFrame())
                pFrame->SetWindowText(strTitle);
            return pView;
        }
        nMode = 1;
    }
    if (nMode != 1)
        return nullptr;
    CDocTemplate* pTemplate = FindTemplate(*this, "Group");
    if (!pTemplate)
        return nullptr;
    CDocument* pDoc = pTemplate->OpenDocumentFile(nullptr);
    if (!pDoc)
        return nullptr;
    POSITION pos = pDoc->GetFirstViewPosition();
    auto* pView = pos ? dynamic_cast<CGroupView*>(pDoc->GetNextView(pos)) : nullptr;
    if (pView) {
        if (CFrameWnd* pFrame = pView->GetParentFrame())
            pFrame->SetWindowText(strTitle);
    }
    return pView;
}

UINT CVostrelApp::UpdatePageViews(LPARAM lHint, CObject* pHint)
{
    bool bAny = false;
    ForEachGroupDocument(*this, [&](CDocument* pDoc) {
        bAny = true;
        pDoc->UpdateAllViews(nullptr, lHint, pHint);
    });
    return bAny ? 0 : 1;
}

UINT CVostrelApp::RefreshPageInView(CPageNode* pPage)
{
    CGroupView* pView = nullptr;
    CGroupDoc* pDoc = nullptr;
    if (FindGroupDocument(pDoc) == 0 && pDoc->GetGroupView(pView) == 0)
        pView->RefreshPageRow(pPage);
    return 0;
}

UINT CVostrelApp::ResetGroupView()
{
    DropGroupHistory();
    CGroupView* pView = nullptr;
    CGroupDoc* pDoc = nullptr;
    if (FindGroupDocument(pDoc) != 0 || pDoc->GetGroupView(pView) != 0)
        return 1;
    pView->DetachPages();
    return 0;
}

// ---- Version ----

UINT CVostrelApp::ReadVersionInfo(HINSTANCE hModule, CString* pName, UINT* pMajor, UINT* pMinor, TCHAR* pLetter,
                                  UINT* pBuild)
{
    char path[261] = "";
    if (::GetModuleFileName(reinterpret_cast<HMODULE>(hModule), path, sizeof path) == 0)
        return 1;
    DWORD dwHandle = 0;
    const DWORD dwSize = ::GetFileVersionInfoSize(path, &dwHandle);
    if (dwSize == 0)
        return 1;
    std::vector<BYTE> block(dwSize);
    if (!::GetFileVersionInfo(path, dwHandle, dwSize, block.data()))
        return 1;
    VS_FIXEDFILEINFO* pInfo = nullptr;
    UINT nLen = 0;
    if (!::VerQueryValue(block.data(), "\\", reinterpret_cast<LPVOID*>(&pInfo), &nLen) || !pInfo ||
        nLen < sizeof(VS_FIXEDFILEINFO))
        return 1;
    if (pName) {
        LPVOID pText = nullptr;
        UINT nText = 0;
        if (::VerQueryValue(block.data(), "\\StringFileInfo\\040904b0\\ProductName", &pText, &nText) && pText)
            *pName = static_cast<LPCTSTR>(pText);
        else
            pName->Empty();
    }
    if (pMajor)
        *pMajor = HIWORD(pInfo->dwFileVersionMS);
    if (pMinor)
        *pMinor = LOWORD(pInfo->dwFileVersionMS);
    if (pLetter) {
        const UINT n = HIWORD(pInfo->dwFileVersionLS);
        // Letters a to z only: anything else would not be a readable character.
        *pLetter = (n >= 1 && n <= 26) ? static_cast<TCHAR>(0x60 + n) : ' ';
    }
    if (pBuild)
        *pBuild = LOWORD(pInfo->dwFileVersionLS);
    return 0;
}

UINT CVostrelApp::GetVersionString(CString& strText, UINT nFormatID)
{
    CString strName;
    UINT nMajor = 0, nMinor = 0, nBuild = 0;
    TCHAR cLetter = ' ';
    const UINT result = ReadVersionInfo(nullptr, &strName, &nMajor, &nMinor, &cLetter, &nBuild);
    CString strFormat;
    strFormat.LoadString(nFormatID);
    strText.Format(strFormat, static_cast<LPCTSTR>(strName), nMajor, nMinor, cLetter, nBuild);
    return result;
}

// ---- Commands ----

void CVostrelApp::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    if (nCmd == HELP_QUIT)
        return;   // the browser is the user's: nothing here closes it
    const bool bContents = nCmd == HELP_FINDER || nCmd == HELP_INDEX;
    const CHelpTopics::Topic topic = bContents ? CHelpTopics::Contents() : CHelpTopics::ForContext(dwData);
    if (m_strHelpFolder.IsEmpty())
        m_strHelpFolder = CHelpTopics::DefaultFolder();
    const CString strFile = m_strHelpFolder + "/" + topic.pszFile;
    CString strMessage;
    if (CFileWrapper::FileExists(strFile) != 2) {
        strMessage.Format(IDS_HELP_NOT_AVAILABLE, strFile.GetString());
        AfxMessageBox(strMessage, MB_ICONINFORMATION | MB_OK);
        return;
    }
    CString strUrl = strFile;
    PathToFileUrl(strUrl);
    if (topic.pszAnchor[0] != '\0')
        strUrl += CString("#") + topic.pszAnchor;
    CMainFrame* pFrame = GetMainFrame();
    if (pFrame == nullptr) {
        CUrlLauncher().Open(strUrl, nullptr);
        return;
    }
    // The browser runs beside the program; when none starts, the user is told the file to open.
    pFrame->GetUrlLauncher().Open(strUrl, [failures = pFrame->GetProgramFailures(), strFile](
                                              const CUrlLauncher::Outcome& outcome) {
        const CString strReason = CUrlLauncher::FailureReason(outcome);
        if (strReason.IsEmpty())
            return;
        CString strText;
        strText.Format(IDS_HELP_NO_BROWSER, strFile.GetString(), strReason.GetString());
        failures->Post(strText);
    });
}

void CVostrelApp::OnHelpFinder()
{
    WinHelp(0, HELP_FINDER);
}

void CVostrelApp::OnAppAbout()
{
    CAboutDlg dlg;
    GetVersionString(dlg.m_strVersion, IDS_VERSION_FORMAT);
    dlg.DoModal();
}

void CVostrelApp::OnFileMru(UINT nID)
{
    OnOpenRecentProject(nID);
}

void CVostrelApp::OnUpdateFileMru(CCmdUI* pCmdUI)
{
    OnUpdateRecentFileMenu(pCmdUI);
    // A project may not change while a scan uses its pages.
    if (GetRunState() != CVostrelAppModel::runIdle && pCmdUI->m_pMenu && m_pRecentFileList) {
        for (int i = 0; i < m_pRecentFileList->GetSize(); ++i)
            pCmdUI->m_pMenu->EnableMenuItem(ID_FILE_MRU_FILE1 + static_cast<UINT>(i), MF_BYCOMMAND | MF_GRAYED);
    }
}

BOOL CVostrelApp::OnOpenRecentProject(UINT nID)
{
    CMainFrame* pFrame = GetMainFrame();
    if (!m_pRecentFileList || !pFrame || GetRunState() != CVostrelAppModel::runIdle)
        return TRUE;
    const int index = static_cast<int>(nID) - ID_FILE_MRU_FILE1;
    if (index < 0 || index >= m_pRecentFileList->GetSize())
        return TRUE;
    const CString strPath = (*m_pRecentFileList)[index];
    if (strPath.IsEmpty())
        return TRUE;
    if (pFrame->OpenProjectFile(strPath) == CMainFrame::kOpenFailed) {
        pFrame->TellProjectNotOpened();
        // The entry may have moved while the frame opened or closed projects.
        for (int i = 0; i < m_pRecentFileList->GetSize(); ++i) {
            if ((*m_pRecentFileList)[i] == strPath) {
                m_pRecentFileList->Remove(i);
                break;
            }
        }
    }
    return TRUE;
}
