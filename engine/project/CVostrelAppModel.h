// The headless part of the application object: the open project's page tree, selection,
// META setting catalogue and project settings, the setting prototypes, the options record and
// the run and edit states. The engine reaches it through GetAppModel(); the application object
// owns one and installs it, and tests install their own.
#pragma once

#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CAppOptions.h"
#include "engine/project/CPageNodeCol.h"
#include "platform/core/CProfileStore.h"

#include <atomic>
#include <memory>

class CProjectSettings;
class IMetaDialogs;

class CVostrelAppModel {
public:
    enum RunState : UINT { runIdle = 0, runScanning = 1, runBusy = 2 };

    // Registers the eleven setting prototypes in the order Edit, SList, Keywords, Undefined,
    // Classification, Refresh, Pragma, ComboMultiSel, ComboSingleSel, Date, RichEdit.
    CVostrelAppModel();
    // Empties the page tree; the catalogue and prototypes go with their lists.
    ~CVostrelAppModel();
    CVostrelAppModel(const CVostrelAppModel&) = delete;
    CVostrelAppModel& operator=(const CVostrelAppModel&) = delete;

    // Makes this model the one GetAppModel() answers, until it is destroyed or another is
    // installed; returns the one installed before.
    CVostrelAppModel* Install();

    // The project's catalogue; always succeeds (0).
    UINT GetMetaSettingList(CMetaSettingList*& pList) { pList = &m_MetaSettings; return 0; }
    CMetaSettingList& GetMetaSettings() { return m_MetaSettings; }
    // Appends a clone of every prototype, in registration order.
    void CopySettingPrototypes(CMetaSettingList& list) const;
    const CMetaSettingList& GetPrototypes() const { return m_Prototypes; }

    // 0 with the open project's settings, 1 when no project is open (pSettings not written).
    UINT GetProjectSettings(CProjectSettings*& pSettings) const;
    // Takes over the project's settings (null closes the project's settings).
    void SetProjectSettings(std::unique_ptr<CProjectSettings> pSettings);

    CSelNodesCol& GetSelectedNodes() { return m_SelectedNodes; }
    CPageNodeCol& GetPageCol() { return m_PageCol; }
    CAppOptions& GetAppOptions() { return m_AppOptions; }

    // The edit state: 1 while META edits are unsaved. Callable from any thread.
    void SetEditState(UINT nState) { m_nEditState.store(nState); }
    UINT GetEditState() const { return m_nEditState.load(); }
    // The run state gating the commands: 0 idle, 1 scanning, 2 busy. Callable from any thread.
    UINT GetRunState() const { return m_nRunState.load(); }
    void SetRunState(UINT nState) { m_nRunState.store(nState); }

    // The application's profile: by default the program's own registry key and name; the
    // application object points the model at the store it keeps itself.
    CProfileStore& GetProfile() { return m_pProfile != nullptr ? *m_pProfile : m_OwnProfile; }
    void SetProfile(CProfileStore* pProfile) { m_pProfile = pProfile; }

    // The application's dialogs; without any installed, a headless set that cancels them all.
    IMetaDialogs& GetDialogs();
    void SetDialogs(IMetaDialogs* pDialogs) { m_pDialogs = pDialogs; }

private:
    CPageNodeCol m_PageCol;
    CMetaSettingList m_MetaSettings{TRUE};
    CMetaSettingList m_Prototypes{TRUE};
    CSelNodesCol m_SelectedNodes;
    std::unique_ptr<CProjectSettings> m_pProjectSettings;
    CAppOptions m_AppOptions;
    std::atomic<UINT> m_nEditState{0};
    std::atomic<UINT> m_nRunState{runIdle};
    IMetaDialogs* m_pDialogs = nullptr;
    CProfileStore m_OwnProfile;
    CProfileStore* m_pProfile = nullptr;
    CVostrelAppModel* m_pPrevious = nullptr;
    bool m_bInstalled = false;
};

// The installed model; a process-wide default one when none is installed.
CVostrelAppModel& GetAppModel();
