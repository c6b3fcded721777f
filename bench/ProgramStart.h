// The whole program started for a benchmark on the memory backend, as its own main starts it
// without a project: its profile in a folder of its own, the File New chooser of start-up
// cancelled as soon as it shows.
#pragma once

#include "app/frame/CMainFrame.h"
#include "app/frame/CVostrelApp.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CProjectSettings.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/Dialog.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

inline HeadlessBackend& StartProgram(std::optional<CVostrelApp>& app, const char* pszProfile)
{
    const std::string config = (std::filesystem::temp_directory_path() / pszProfile).string();
    std::filesystem::create_directories(config);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    HeadlessBackend& backend = HeadlessBackend::Install(SIZE{1920, 1080});
    backend.WhenIdle([] {
        if (HWND dlg = ::GetActiveWindow())
            ::PostMessage(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    app.emplace();
    char name[] = "vostrel";
    char* argv[] = {name, nullptr};
    app->SetCommandLine(1, argv);
    app->InitApplication();
    app->InitInstance();
    backend.ProcessMessages();
    return backend;
}

enum class ScanOnOpening { No, Yes };

// New Project on the folder with the built-in catalogue, showing every tag found; the project's
// root, or null when it could not be made.
inline CPageNode* NewFoundTagsProject(CVostrelApp& app, const std::string& folder, ScanOnOpening scan)
{
    CProjectSettings settings;
    settings.m_strProjectDirectory = folder.c_str();
    settings.m_bAutoScan = scan == ScanOnOpening::Yes ? 1 : 0;
    settings.m_bShowAllFound = 1;
    CMetaSettingList list;
    list.SetDefaults();
    return app.GetMainFrame()->SetUpProject(settings, list);
}

// A project of the folder as above, without a scan on opening; true when it holds `pages` pages.
inline bool SetUpFoundTagsProject(CVostrelApp& app, const std::string& folder, INT_PTR pages)
{
    return NewFoundTagsProject(app, folder, ScanOnOpening::No) != nullptr && app.GetSelectedNodes().GetCount() == pages;
}

// The catalogue's own settings hidden and `count` new ones shown, named PREFIX-0, PREFIX-1, ...
// and made by make(i); their names, in order.
template <class Make>
std::vector<CString> ShowNewSettings(CVostrelApp& app, int count, const char* pszPrefix, Make make)
{
    CMetaSettingList* pList = nullptr;
    app.GetMetaSettingList(pList);
    for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;)
        pList->GetNext(pos)->SetShow(0);
    std::vector<CString> names;
    for (int i = 0; i < count; ++i) {
        CMetaSetting* pSetting = make(i);
        names.emplace_back((std::string(pszPrefix) + "-" + std::to_string(i)).c_str());
        pSetting->SetName(names.back());
        pSetting->SetShow(1);
        pList->AddTail(pSetting);
    }
    return names;
}
