// CMainFrame: the program's MDI main window. It carries the menus, the two toolbars, the status
// bar with the scan meter and the two docking panes; it owns the rule that enables every
// command by the run state, and the project, scan and save commands.
#pragma once

#include "app/frame/CCustomStatusbarWrapper.h"
#include "app/frame/CPostedFailures.h"
#include "app/launch/CUrlLauncher.h"
#include "app/panes/IProjectAreaHost.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/IScanHost.h"
#include "toolkit/frames/SECMDIFrameWnd.h"

#include <memory>

class CMetaSetting;
class CMetaSettingList;
class CPageNode;
class CProjectSettings;
class CStringList;
class CFileViewControlBar;
class COutputAreaControlBar;
class SECControlBar;
class SECToolBarManager;

class CMainFrame : public SECMDIFrameWnd, public IScanHost, public IProjectAreaHost {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    // Results of OpenProjectFile.
    static constexpr UINT kOpenDone = 0;
    static constexpr UINT kOpenFailed = 1;
    static constexpr UINT kOpenCancelled = 2;   // the user kept the open project

    // ---- Projects ----
    // Closes the open project and opens the file: kOpenDone, kOpenFailed (no project open
    // afterwards; the caller then says so with TellProjectNotOpened) or kOpenCancelled (the user
    // cancelled a question or the enumeration).
    UINT OpenProjectFile(const CString& strPath);
    // "Project could NOT be opened!", with the reason of the last failed OpenProjectFile; nothing
    // when the step that failed has told it in a box of its own.
    void TellProjectNotOpened();
    // 1 when the project is closed, 0 when the user cancelled or edits could not be saved.
    UINT CloseProject();
    CPageNode* SetUpProject(const CProjectSettings& settings, const CMetaSettingList& list);
    // After Project Settings' OK: when the file extensions differ from before, the project's
    // pages are found again with the new ones, once the dialog is gone.
    void AfterProjectSettings(const CStringList& oldExtensions);
    void CloseProjectViews();
    void FinishCellEdit();
    void CloseAllChildFrames();
    UINT SaveProject();
    UINT SaveProjectAs();
    UINT SaveProjectAsking(bool bAlwaysAsk);
    UINT WriteProjectFile(const CString& strPath);
    UINT AskProjectPath(CString& strPath);
    UINT EnsureSettingsFilePath(CProjectSettings& settings);
    // What the last SetUpProject's enumeration ended with (IDOK, 1012 stopped, IDCANCEL).
    INT_PTR GetLastEnumerationResult() const { return m_nLastEnumResult; }

    // ---- Scan meter ----
    void SetProgressMeter(const CString& strText, UINT nLow, UINT nCount);
    void ClearProgressMeter();
    // Tells the user, with a beep, why something asked of the program was left undone: in the
    // status bar's message pane, or while a scan runs in place of its meter's label.
    void SayInStatusBar(const CString& strText);
    // The same without the beep: what the program is doing at the user's word.
    void TellInStatusBar(const CString& strText);
    // What SayInStatusBar told goes, as other texts of the status bar go, when the next command
    // or edit begins: "Ready" takes its place.
    void EndSaidInStatusBar();
    UINT GetFilesScanned() const { return m_nFilesScanned; }

    // ---- Panes ----
    // The Project Area and Output Area bars; null before they are made.
    CFileViewControlBar* GetProjectAreaBar() const { return m_pProjectArea; }
    UINT GetOutputAreaBar(COutputAreaControlBar*& pBar) const;
    // The Project Area's title of the selection's current folder.
    CString GetCurrentFolderTitle() const;
    // The node's pages are shown in the grid as when the user picks the node in the Project
    // Area, whose tree then has it chosen; FALSE when the tree has no item of it or the pages
    // cannot change now (a scan runs).
    BOOL ShowPagesOfNode(CPageNode* pNode);
    CCustomStatusbarWrapper& GetStatusBar() { return m_wndStatusBar; }
    SECToolBarManager* GetToolBarManager() const { return m_pToolBarManager.get(); }

    // ---- Commands ----
    // The one enabling rule of the frame's commands, also checked by their handlers, so a
    // command posted while disabled does nothing.
    BOOL IsCommandEnabled(UINT nID) const;
    // Starts the user's browser on the address and returns at once; a failure is told later
    // (a posted message) with the address and the reason. Always 0.
    UINT OpenUrl(const CString& strUrl);
    CUrlLauncher& GetUrlLauncher() { return m_urlLauncher; }
    // Where programs started for the user (browser, editor) tell their failures from the thread
    // that waits for them; the frame shows each in a message box.
    const std::shared_ptr<CPostedFailures>& GetProgramFailures() const { return m_programFailures; }
    void ShowPopupMenu(UINT nMenuID, int x, int y);

    // ---- IScanHost ----
    HWND GetMainWindow() override { return m_hWnd; }
    HWND GetOutputPane() override;

    // ---- IProjectAreaHost ----
    void ShowSelectedPages(const CSelNodesCol& pages, CPageNode* pNode, BOOL bFullPath,
                           const CString& strTitle) override;
    BOOL GiveKeysToShownPages() override;
    // After the grid's window was closed by the user: the keys, left nowhere to be seen, go to
    // the Project Area with the closed folder chosen (to the Output Area when the Project Area
    // is hidden).
    void GiveKeysAfterGridClosed();

    // The window's place and state and the Output Area's visibility, as the last run left
    // them: saved when the frame closes, restored before it is first shown (nCmdShow becomes
    // SW_SHOWMAXIMIZED for a window that was maximised).
    void SaveWindowState();
    void RestoreWindowState(int& nCmdShow);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void ActivateFrame(int nCmdShow = -1) override;
    // Escape stops a running scan; while none runs it goes to the window with the focus.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The start-up picture goes first: left behind, it would be the window that the
    // activation passes to, and show over the ending program.
    BOOL DestroyWindow() override;
    // A command from a menu, a key or a toolbar button ends what the status bar was told.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The Edit menu's commands go where the keys are (CEditCommandRoute); the others along the
    // frame's own route.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    static constexpr LPCTSTR kMainToolbarProfile = "Main Toolbar";
    static constexpr LPCTSTR kGridToolbarProfile = "Grid Toolbar";
    // The default buttons of the two toolbars, also the Customize sheet's button groups.
    static const UINT kMainToolbarButtons[12];
    static const UINT kGridToolbarButtons[8];

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnClose();
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);
    DWORD_PTR WindowHelpContext(HWND hWnd, int nCtrlId) const;
    void OnContextMenu(CWnd* pWnd, CPoint point);
    void OnToggleProjectArea();
    void OnUpdateProjectArea(CCmdUI* pCmdUI);
    void OnToggleOutputArea();
    void OnUpdateOutputArea(CCmdUI* pCmdUI);
    // F6 and Shift+F6: the keyboard to the next or previous pane shown, in the order Project
    // Area, grid, Output Area.
    void OnNextPane();
    void OnPrevPane();
    void MoveToPane(int nStep);
    void OnToolbars();
    void OnCustomizeToolbar();
    void OnUpdateCustomizeToolbar(CCmdUI* pCmdUI);
    void OnMetatagSettings();
    void OnProjectSettings();
    void OnSystemInfo();
    void OnWebLink(UINT nID);
    void OnUpdateCommand(CCmdUI* pCmdUI);

    void OnNewProject();
    void OnOpenProject();
    void OnCloseProject();
    void OnSaveProject();
    void OnSaveProjectAs();
    void OnSaveEditedFiles();
    void OnStartScan();
    // The scan started by the user tells what it meets afresh; the one that follows a project's
    // set-up keeps what the walk of its folder told in the Output Area with its own lines.
    enum class ScanOutput { Cleared, Kept };
    void StartScan(ScanOutput output);
    void OnStopScan();
    LRESULT OnScanProgress(WPARAM wParam, LPARAM lParam);
    // A large page on its way: the meter moves through the page's part, and its text names the
    // page and how far it was read.
    LRESULT OnScanPageProgress(WPARAM wParam, LPARAM lParam);
    // The scan's meter at nThousandths of the way through the page after those scanned.
    void ShowScanMeter(UINT nThousandths);
    LRESULT OnScanDone(WPARAM wParam, LPARAM lParam);
    LRESULT OnSyncPageUpdate(WPARAM wParam, LPARAM lParam);
    LRESULT OnProgramFailed(WPARAM wParam, LPARAM lParam);
    // The project's folder is looked through again for the pages of the new extensions.
    LRESULT OnExtensionsChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnGiveBackMemory(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    BOOL CreateToolBars();
    BOOL CreatePanes();
    void ShowPane(SECControlBar* pBar, BOOL bShow);
    // A pane about to be hidden with the keys in it gives them to the grid, or else to this
    // window: keys typed into a hidden window would reach nothing the user can see.
    void TakeKeysOutOf(SECControlBar* pBar);
    // View > Project Area and View > Output Area: the pane shown when hidden, hidden when shown.
    void TogglePane(SECControlBar* pBar);
    BOOL IsProjectOpen() const;
    // The grid's cell or edit field holds typed text its page does not have yet.
    BOOL GridHoldsPendingEdit() const;
    void SaveLayout();
    void UpdateCommandBars();
    void NoteOutputAreaAtClose();
    // Notes the Output Area shown before a project's closing hides it.
    void NoteOutputAreaShown();
    void RestoreOutputArea();

    CCustomStatusbarWrapper m_wndStatusBar;
    // The panes are children of this window and delete themselves with it.
    CFileViewControlBar* m_pProjectArea = nullptr;
    COutputAreaControlBar* m_pOutputArea = nullptr;
    std::unique_ptr<SECToolBarManager> m_pToolBarManager;
    CUrlLauncher m_urlLauncher;
    std::shared_ptr<CPostedFailures> m_programFailures = CPostedFailures::Make();
    CString m_strOpenFailure;   // why the last open failed, when not told yet
    bool m_bOpenFailureTold = false;   // the step of the last open that failed said why itself
    CString m_strSaveFailure;   // why the last WriteProjectFile failed, when not told yet
    UINT m_nFilesScanned = 0;
    UINT m_nFilesToScan = 0;
    // Of those scanned, the pages read whole (not cut off by a stop), and those that could not
    // be read: the rest the scan did not read.
    UINT m_nFilesRead = 0;
    UINT m_nFilesUnreadable = 0;
    UINT m_nFilesLeftUnread = 0; // too large to be read, told in the Output Area
    // The status bar shows what SayInStatusBar told.
    bool m_bSaidInStatusBar = false;
    // The scan's meter is brought up to date at most once in kMeterIntervalMs: the pages it has
    // not shown yet, and when it last showed them (GetTickCount64).
    static constexpr ULONGLONG kMeterIntervalMs = 40;
    UINT m_nMeterSteps = 0;
    ULONGLONG m_nLastMeterUpdate = 0;
    // The meter's units for one page: a thousand, so that a large page's progress shows, fewer
    // only where so many pages would overflow its range.
    UINT m_nMeterPerPage = 1;
    UINT m_bWarnAfterScan = 1;
    INT_PTR m_nLastEnumResult = 0;
    bool m_bEnumCancelled = false;   // the user cancelled the last enumeration
    bool m_bOutputAreaShownAtClose = false;
    bool m_bRestoreOutputArea = false;   // the next project shows the Output Area again
};
