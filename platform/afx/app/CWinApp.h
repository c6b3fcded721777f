// CWinApp: the application object. It is the main thread's thread object and a command
// target at the end of every command route; it runs the message loop with its idle work, keeps
// the profile and the recent-file list, and parses the command line.
#pragma once

#include "platform/afx/AfxRes.h"
#include "platform/afx/wnd/CCmdTarget.h"
#include "platform/core/CProfileStore.h"
#include "platform/core/CString.h"
#include "platform/core/CWinThread.h"

#include <memory>
#include <vector>

class CCommandLineInfo;
class CRecentFileList;
class CWnd;
class CDocument;
class CDocManager;
class CDocTemplate;
class CException;
class CPrintDialog;
struct PRINTDLG;

// WinHelp commands.
#define HELP_CONTEXT 0x0001L
#define HELP_QUIT 0x0002L
#define HELP_INDEX 0x0003L
#define HELP_CONTENTS 0x0003L
#define HELP_HELPONHELP 0x0004L
#define HELP_CONTEXTPOPUP 0x0008L
#define HELP_FINDER 0x000BL

// The framework's message loop for a user-interface thread: pumps messages, offers each to
// the PreTranslateMessage chain, and runs OnIdle with rising counts while the queue is empty.
int AfxRunMessageLoop(CWinThread& thread);
// Whether a message ends an idle period (a mouse move to the same place, a paint or the
// caret's timer do not).
BOOL AfxIsIdleMessage(const MSG* pMsg);
// Gets and dispatches one message of the calling thread; FALSE on WM_QUIT.
BOOL AfxPumpMessage(CWinThread& thread);

class CWinApp : public CWinThread, public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // Both bases are objects; the application is one.
    using CCmdTarget::IsKindOf;
    using CCmdTarget::IsSerializable;
    using CCmdTarget::Serialize;
    using CCmdTarget::AssertValid;
    using CCmdTarget::Dump;

    // ---- Start and run ----
    // Takes the program's arguments: the exe name, the command line (the arguments joined by
    // spaces, m_lpCmdLine) and the application name when none was given (string
    // AFX_IDS_APP_TITLE, else the exe name).
    void SetCommandLine(int argc, char** argv);
    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int Run() override;
    int ExitInstance() override;
    BOOL OnIdle(LONG lCount) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    virtual BOOL PumpMessage();
    virtual BOOL IsIdleMessage(MSG* pMsg);
    // An exception that reached the message loop: reported, and the loop goes on.
    virtual LRESULT ProcessWndProcException(CException* e, const MSG* pMsg);

    // ---- Profile ----
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCTSTR lpszSection);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);
    // Reads the recent-file list (nMaxMRU entries, 0 for none) and the standard settings.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();
    virtual void AddToRecentFileList(LPCTSTR lpszPathName);

    // ---- Command line ----
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // Carries out what the command line asks. A file that cannot be opened has been reported
    // by then; the program goes on with a new document rather than ending.
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);

    // ---- Documents ----
    // The application owns the templates added.
    void AddDocTemplate(CDocTemplate* pTemplate);
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);
    int GetOpenDocumentCount() const;
    std::unique_ptr<CDocManager> m_pDocManager;

    // ---- Printer selection ----
    // The printer settings every print dialog starts from (the default printer's until Print
    // Setup or a print dialog changes them); the application keeps its own copies.
    virtual INT_PTR DoPrintDialog(CPrintDialog* pPD);
    // Gives the dialog record copies of the selection; FALSE when there is no printer.
    BOOL GetPrinterDeviceDefaults(PRINTDLG* pPrintDlg);
    // File > Print Setup, for applications that map it.
    void OnFilePrintSetup();
    // Drops the selection, freeing its blocks (also on destruction).
    struct PrinterSelection {
        HGLOBAL hDevMode = nullptr;
        HGLOBAL hDevNames = nullptr;
        PrinterSelection() = default;
        ~PrinterSelection();
        PrinterSelection(const PrinterSelection&) = delete;
        PrinterSelection& operator=(const PrinterSelection&) = delete;
        void Reset();
    } m_printer;

    // ---- Help, messages, cursors ----
    // There is no help system: help commands show a short message.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    // 1 begins a wait, -1 ends one, 0 shows the wait cursor again while a wait is on.
    virtual void DoWaitCursor(int nCode);
    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const;
    HICON LoadIcon(UINT nIDResource) const;

    // ---- Commands ----
    void OnAppExit();
    void OnHelp();
    void OnHelpIndex();
    BOOL OnOpenRecentFile(UINT nID);
    void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);
    virtual void OnFileNew();
    // Asks for a file and opens it with the template that suits it.
    virtual void OnFileOpen();

    LPCTSTR m_pszAppName = nullptr;
    LPCTSTR m_pszExeName = nullptr;
    LPCTSTR m_pszHelpFilePath = nullptr;
    LPCTSTR m_pszProfileName = nullptr;
    LPCTSTR m_pszRegistryKey = nullptr;
    HINSTANCE m_hInstance;
    LPTSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CRecentFileList* m_pRecentFileList = nullptr;
    UINT m_nNumPreviewPages = 0;
    std::vector<CString> m_arguments;   // the program's arguments after its name

    // Wait cursor state.
    int m_nWaitCursorCount = 0;
    HCURSOR m_hcurWaitCursorRestore = nullptr;

protected:
    void UpdateProfileNames();

    CProfileStore m_profile;
    CString m_appName;
    CString m_exeName;
    CString m_helpPath;
    CString m_profileName;
    CString m_registryKey;
    CString m_cmdLine;
    std::unique_ptr<CRecentFileList> m_recentFiles;

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The application's instance and the module its resources are looked up in first.
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
LPCTSTR AfxGetAppName();

// Message boxes owned by the active window of the application, with its name as caption.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = 0 /* MB_OK */, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = 0 /* MB_OK */, UINT nIDHelp = (UINT)-1);

// The program's entry: takes the arguments, then InitInstance and Run (or ExitInstance when
// InitInstance fails) of the application object.
int AfxWinMain(int argc, char** argv);

// Shows the wait cursor for its lifetime.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore();
};
