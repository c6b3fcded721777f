// CWinApp: the application object's start, profile, recent files, command line, help and
// wait cursor. The message loop is in AppLoop.cpp.
#include "platform/afx/app/CWinApp.h"

#include "platform/afx/app/CCommandLineInfo.h"
#include "platform/afx/app/CRecentFileList.h"
#include "platform/afx/doc/CDocManager.h"
#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/MessageBox.h"
#include "platform/core/ResourceTable.h"
#include "platform/core/SystemServices.h"
#include "platform/win/Cursor.h"
#include "platform/win/ResourceImages.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, &CWinApp::OnAppExit)
    ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, &CWinApp::OnOpenRecentFile)
    ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, &CWinApp::OnUpdateRecentFileMenu)
END_MESSAGE_MAP()

namespace {

CWinApp* g_app = nullptr;
HINSTANCE g_resourceHandle = nullptr;

} // namespace

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    CWinThread* thread = AfxGetThread();
    if (thread && thread->m_pMainWnd)
        return thread->m_pMainWnd;
    return g_app ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return VOSTREL_PROGRAM_INSTANCE;
}

HINSTANCE AfxGetResourceHandle()
{
    return g_resourceHandle ? g_resourceHandle : VOSTREL_PROGRAM_INSTANCE;
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_resourceHandle = hInstResource;
}

LPCTSTR AfxGetAppName()
{
    return g_app && g_app->m_pszAppName ? g_app->m_pszAppName : "";
}

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_hInstance(VOSTREL_PROGRAM_INSTANCE)
{
    // The application object is a global: the main thread is its thread, and nothing deletes it.
    m_bAutoDelete = FALSE;
    m_nThreadID = ::GetCurrentThreadId();
    if (lpszAppName) {
        m_appName = lpszAppName;
        m_pszAppName = m_appName;
    }
    g_app = this;
    AfxSetThread(this);
    CWinThread::SetRunLoop(&AfxRunMessageLoop);
}

CWinApp::~CWinApp()
{
    m_pDocManager.reset();
    if (g_app == this)
        g_app = nullptr;
    if (AfxGetThread() == this)
        AfxSetThread(nullptr);
    m_pRecentFileList = nullptr;
}

void CWinApp::SetCommandLine(int argc, char** argv)
{
    m_arguments.clear();
    m_cmdLine.Empty();
    if (argc > 0 && argv && argv[0]) {
        const char* slash = strrchr(argv[0], '/');
        m_exeName = slash ? slash + 1 : argv[0];
        m_pszExeName = m_exeName;
    }
    for (int i = 1; i < argc && argv; ++i) {
        m_arguments.emplace_back(argv[i]);
        if (i > 1)
            m_cmdLine += ' ';
        m_cmdLine += argv[i];
    }
    m_lpCmdLine = const_cast<LPTSTR>(m_cmdLine.GetString());
    if (!m_pszAppName) {
        // The program's title string names it; without one, its file does.
        if (!m_appName.LoadString(AFX_IDS_APP_TITLE))
            m_appName = m_exeName;
        m_pszAppName = m_appName;
    }
    UpdateProfileNames();
}

void CWinApp::UpdateProfileNames()
{
    m_profile.SetAppName(m_pszAppName ? m_pszAppName : "");
    m_profileName = m_profile.UsesRegistry() ? CString(m_pszAppName) : m_profile.GetProfileName();
    m_pszProfileName = m_profileName;
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    SaveStdProfileSettings();
    // The exit code is what WM_QUIT carried.
    return static_cast<int>(AfxGetThreadState()->m_msgCur.wParam);
}

// ---- Profile ----

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    m_registryKey = lpszRegistryKey ? lpszRegistryKey : "";
    m_pszRegistryKey = m_registryKey;
    if (!m_pszAppName)
        SetCommandLine(0, nullptr);
    m_profile.SetAppName(m_pszAppName);
    m_profile.SetRegistryKey(m_pszRegistryKey);
    UpdateProfileNames();
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    key.LoadString(nIDRegistryKey);
    SetRegistryKey(key);
}

HKEY CWinApp::GetAppRegistryKey()
{
    return m_profile.GetAppRegistryKey();
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection)
{
    return m_profile.GetSectionKey(lpszSection);
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    return m_profile.GetProfileInt(lpszSection, lpszEntry, nDefault);
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    return m_profile.GetProfileString(lpszSection, lpszEntry, lpszDefault);
}

BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes)
{
    return m_profile.GetProfileBinary(lpszSection, lpszEntry, ppData, pBytes);
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    return m_profile.WriteProfileInt(lpszSection, lpszEntry, nValue);
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    return m_profile.WriteProfileString(lpszSection, lpszEntry, lpszValue);
}

BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
    return m_profile.WriteProfileBinary(lpszSection, lpszEntry, pData, nBytes);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    if (nMaxMRU > 16)
        nMaxMRU = 16;   // the File menu has ids for sixteen
    m_recentFiles.reset();
    m_pRecentFileList = nullptr;
    if (nMaxMRU != 0) {
        m_recentFiles = std::make_unique<CRecentFileList>(0, "Recent File List", "File%d", static_cast<int>(nMaxMRU));
        m_pRecentFileList = m_recentFiles.get();
        m_pRecentFileList->ReadList();
    }
    m_nNumPreviewPages = GetProfileInt("Settings", "PreviewPages", 0);
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList();
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName)
{
    if (m_pRecentFileList)
        m_pRecentFileList->Add(lpszPathName);
}

// ---- Command line ----

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    for (size_t i = 0; i < m_arguments.size(); ++i) {
        const CString& argument = m_arguments[i];
        // Only '-' starts a switch: '/' starts a path here.
        const bool flag = argument.GetLength() > 1 && argument[0] == '-';
        rCmdInfo.ParseParam(flag ? argument.GetString() + 1 : argument.GetString(), flag, i + 1 == m_arguments.size());
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr))
            OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        // A file that cannot be opened has been reported; the program starts without it rather
        // than ending, as if no file had been named.
        if (!OpenDocumentFile(rCmdInfo.m_strFileName)) {
            if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr))
                OnFileNew();
        }
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
    case CCommandLineInfo::FileDDE:
    case CCommandLineInfo::AppRegister:
    case CCommandLineInfo::AppUnregister:
        // Nothing to register on this system, and printing from the command line ends the
        // program once done: there is no document machinery yet to print with.
        return FALSE;
    case CCommandLineInfo::FileNothing:
    default:
        return TRUE;
    }
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    if (m_pDocManager && !m_pDocManager->GetTemplates().empty())
        return m_pDocManager->OpenDocumentFile(lpszFileName);
    // Without document templates there is nothing to open the file with.
    CString message;
    AfxFormatString1(message, AFX_IDP_FILE_NOT_FOUND, lpszFileName);
    AfxMessageBox(message, MB_ICONEXCLAMATION | MB_OK);
    return nullptr;
}

void CWinApp::OnFileNew()
{
    if (m_pDocManager)
        m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen()
{
    if (m_pDocManager)
        m_pDocManager->OnFileOpen();
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (!m_pDocManager)
        m_pDocManager = std::make_unique<CDocManager>();
    m_pDocManager->AddDocTemplate(pTemplate);
}

BOOL CWinApp::SaveAllModified()
{
    return m_pDocManager ? m_pDocManager->SaveAllModified() : TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    if (m_pDocManager)
        m_pDocManager->CloseAllDocuments(bEndSession);
}

int CWinApp::GetOpenDocumentCount() const
{
    return m_pDocManager ? m_pDocManager->GetOpenDocumentCount() : 0;
}

// ---- Commands ----

void CWinApp::OnAppExit()
{
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
    else
        ::PostQuitMessage(0);
}

void CWinApp::OnHelp()
{
    // The main window names the help for what it shows; without an answer, the general help.
    if (m_pMainWnd && m_pMainWnd->m_hWnd && ::IsWindowEnabled(m_pMainWnd->m_hWnd) &&
        ::SendMessage(m_pMainWnd->m_hWnd, WM_COMMANDHELP, 0, 0))
        return;
    WinHelp(0, HELP_CONTEXT);
}

void CWinApp::OnHelpIndex()
{
    WinHelp(0, HELP_INDEX);
}

BOOL CWinApp::OnOpenRecentFile(UINT nID)
{
    if (!m_pRecentFileList)
        return FALSE;
    const int index = static_cast<int>(nID - ID_FILE_MRU_FILE1);
    if (index < 0 || index >= m_pRecentFileList->GetSize() || (*m_pRecentFileList)[index].IsEmpty())
        return FALSE;
    const CString path = (*m_pRecentFileList)[index];
    // A file that cannot be opened any more leaves the list.
    if (!OpenDocumentFile(path))
        m_pRecentFileList->Remove(index);
    return TRUE;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    if (!m_pRecentFileList)
        pCmdUI->Enable(FALSE);
    else
        m_pRecentFileList->UpdateMenu(pCmdUI);
}

// ---- Help, message boxes, cursors ----

void CWinApp::WinHelp(DWORD_PTR, UINT nCmd)
{
    if (nCmd == HELP_QUIT)
        return;   // nothing was opened, so nothing closes
    CString message;
    AfxFormatString1(message, AFX_IDS_HELP_UNAVAILABLE, m_pszAppName ? m_pszAppName : "");
    AfxMessageBox(message, MB_ICONINFORMATION | MB_OK);
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT)
{
    // Without an icon, one that fits the question.
    if ((nType & MB_ICONMASK) == 0) {
        const UINT buttons = nType & MB_TYPEMASK;
        nType |= (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? MB_ICONQUESTION : MB_ICONEXCLAMATION;
    }
    HWND top = nullptr;
    CWnd* owner = CWnd::GetSafeOwner(nullptr, &top);
    const int result = ::MessageBox(owner ? owner->m_hWnd : nullptr, lpszPrompt, m_pszAppName ? m_pszAppName : "", nType);
    if (top)
        ::EnableWindow(top, TRUE);
    return result;
}

void CWinApp::DoWaitCursor(int nCode)
{
    if (nCode > 0) {
        HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        if (m_nWaitCursorCount++ == 0)
            m_hcurWaitCursorRestore = previous;
    } else if (nCode < 0) {
        if (m_nWaitCursorCount == 0)
            return;
        if (--m_nWaitCursorCount == 0)
            ::SetCursor(m_hcurWaitCursorRestore ? m_hcurWaitCursorRestore : ::LoadCursor(nullptr, IDC_ARROW));
    } else if (m_nWaitCursorCount > 0) {
        ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    }
}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const
{
    return ::LoadCursor(AfxFindResourceHandle(lpszResourceName, RT_CURSOR), lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const
{
    return LoadCursor(MAKEINTRESOURCE(nIDResource));
}

HCURSOR CWinApp::LoadStandardCursor(LPCTSTR lpszCursorName) const
{
    return ::LoadCursor(nullptr, lpszCursorName);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIcon(AfxFindResourceHandle(MAKEINTRESOURCE(nIDResource), RT_ICON), MAKEINTRESOURCE(nIDResource));
}

CWaitCursor::CWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(1);
}

CWaitCursor::~CWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(-1);
}

void CWaitCursor::Restore()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(0);
}
