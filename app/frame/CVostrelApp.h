// CVostrelApp: the application object. It owns the open project through the engine's
// application model, runs start-up and shut-down, and carries the About box and the recent
// projects.
#pragma once

#include "app/values/CAppMetaDialogs.h"
#include "app/views/CGroupHistory.h"
#include "app/views/CUserGridLayout.h"
#include "engine/project/CVostrelAppModel.h"
#include "fetch/CFetchScanBackend.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/core/CException.h"

#include <memory>
#include <optional>
#include <utility>

class CGroupDoc;
class CGroupView;
class CMainFrame;
class CMetaSettingList;
class CProjectSettings;

class CVostrelApp : public CWinApp {
public:
    CVostrelApp();
    ~CVostrelApp() override;
    CVostrelApp(const CVostrelApp&) = delete;
    CVostrelApp& operator=(const CVostrelApp&) = delete;

    BOOL InitInstance() override;
    int ExitInstance() override;
    // Takes the start-up picture away while it still shows: the program is ending.
    void CloseStartupPicture();
    // Opens the help page of the context (the contents for Help Topics) in the user's browser,
    // without waiting for it; a page that is missing, or a browser that cannot start, is said
    // with the page's file named.
    void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT) override;
    // The folder of the help pages: "help" beside the program unless told otherwise.
    const CString& GetHelpFolder() const { return m_strHelpFolder; }
    void SetHelpFolder(const CString& strFolder) { m_strHelpFolder = strFolder; }

    // ---- The project, through the model ----
    CPageNodeCol& GetPageNodes() { return m_model.GetPageCol(); }
    CSelNodesCol& GetSelectedNodes() { return m_model.GetSelectedNodes(); }
    UINT GetMetaSettingList(CMetaSettingList*& pList) { return m_model.GetMetaSettingList(pList); }
    UINT CopySettingPrototypes(CMetaSettingList& list);
    UINT GetProjectSettings(CProjectSettings*& pSettings) const { return m_model.GetProjectSettings(pSettings); }
    UINT NewProjectSettings(CProjectSettings*& pSettings);
    UINT DeleteProjectSettings();
    UINT LoadProjectDefaults(CProjectSettings& settings);
    UINT SaveProjectDefaults(const CProjectSettings& settings);
    CAppOptions& GetAppOptions() { return m_model.GetAppOptions(); }
    CVostrelAppModel& GetModel() { return m_model; }

    UINT GetRunState() const { return m_model.GetRunState(); }
    UINT SetRunState(UINT nState) { m_model.SetRunState(nState); return 0; }
    UINT SetEditState(UINT nState) { m_model.SetEditState(nState); return 0; }
    // 2 when META edits are unsaved, 3 otherwise.
    UINT IsEdited() const { return m_model.GetEditState() == 1 ? 2 : 3; }

    // ---- Views ----
    UINT FindGroupDocument(CGroupDoc*& pDoc);
    UINT ActivateGroupView(CGroupView*& pView);
    // Mode 0 brings up the open group view (or opens one), mode 1 always opens a new one.
    CGroupView* ShowGroupView(const CString& strTitle, int nMode);
    UINT UpdatePageViews(LPARAM lHint, CObject* pHint);
    UINT RefreshPageInView(CPageNode* pPage);
    // The pages are about to go: the grid lets go of them, and the history kept for it goes.
    UINT ResetGroupView();
    // The page grid's undo history while no window shows the pages (the grid's window was
    // closed): kept with the edits it takes back, handed to the grid that shows the pages
    // next, and dropped with the pages or by a save.
    void KeepGroupHistory(std::unique_ptr<CGroupHistory> pHistory) { m_pGroupHistory = std::move(pHistory); }
    std::unique_ptr<CGroupHistory> TakeGroupHistory() { return std::move(m_pGroupHistory); }
    void DropGroupHistory() { m_pGroupHistory.reset(); }
    // What the user made of the page grid (its sort, column order and widths) while no window
    // shows it: kept while the program runs, for the grid that opens next; dropped when another
    // project is set up.
    void KeepGridLayout(const CUserGridLayout& layout) { m_keptGridLayout = layout; }
    std::optional<CUserGridLayout> TakeGridLayout() { return std::exchange(m_keptGridLayout, std::nullopt); }
    void DropGridLayout() { m_keptGridLayout.reset(); }

    // ---- Version ----
    // Fills what it is given from the module's version resource (null: the program); 0, or 1
    // when there is none.
    UINT ReadVersionInfo(HINSTANCE hModule, CString* pName, UINT* pMajor, UINT* pMinor, TCHAR* pLetter, UINT* pBuild);
    UINT GetVersionString(CString& strText, UINT nFormatID);

    // ---- Settings file ----
    UINT RegisterSettingPrototypes();
    // The user's settings file, "$XDG_CONFIG_HOME/vostrel/VOSTREL.VSL". A missing one is first
    // seeded from the one beside the program, which is never written. 0 when the user's file
    // exists (afterwards), 1 when not.
    UINT LocateSettingsFile(CString& strPath);
    // The path of the user's settings file, whether it exists or not.
    static CString GetUserSettingsFile();
    // The file beside the program that seeds the user's; empty when the program's folder is
    // unknown.
    static CString GetProgramSettingsFile();

    // ---- Commands ----
    // Opens recent project nID - ID_FILE_MRU_FILE1; a failed open removes the entry, a
    // cancelled one keeps it. Always 1.
    virtual BOOL OnOpenRecentProject(UINT nID);
    void OnAppAbout();
    void OnHelpFinder();

    CMainFrame* GetMainFrame() const;

    static constexpr LPCTSTR kSettingsFileName = "VOSTREL.VSL";

protected:
    void OnFileMru(UINT nID);
    void OnUpdateFileMru(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

private:
    void LoadSettingsCatalogue();
    // Writes the catalogue, just set to the defaults, to the user's settings file, which it
    // then names; tells the user when it cannot.
    void SaveDefaultCatalogue(const CString& strPath);
    // Tells the user when the registry file could not be used: damaged (and where it was kept),
    // or unreadable.
    void TellRegistryProblem();

    CVostrelAppModel m_model;
    CAppMetaDialogs m_dialogs;
    CFetchScanBackend m_scanBackend;
    AFX_REPORT_ERROR_HOOK m_pPreviousErrorHook = nullptr;
    HWND m_hSplash = nullptr;   // the start-up picture while it shows (it deletes itself)
    CString m_strHelpFolder;
    std::unique_ptr<CGroupHistory> m_pGroupHistory;
    std::optional<CUserGridLayout> m_keptGridLayout;
};

// The application object; null before it is made.
CVostrelApp* GetVostrelApp();
