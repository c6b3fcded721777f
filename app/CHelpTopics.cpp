#include "app/CHelpTopics.h"

#include "app/res/AppRes.h"
#include "platform/afx/AfxRes.h"
#include "platform/core/SystemServices.h"

namespace {

constexpr DWORD kCommand = 0x10000;
constexpr DWORD kWindow = 0x20000;

struct Row {
    DWORD dwContext;
    CHelpTopics::Topic topic;
};

// One page per window, dialog and command group; a command has its place on its group's page.
constexpr Row kTopics[] = {
    // Windows.
    {kWindow, {"main-window.html", ""}},
    {kWindow + IDR_MAINFRAME, {"main-window.html", ""}},
    {kWindow + AFX_IDW_PANE_FIRST, {"grid.html", ""}},
    {kWindow + IDR_GROUPTYPE, {"grid.html", ""}},
    {kWindow + IDR_SINGLETYPE, {"grid.html", "single"}},
    {kWindow + 1050, {"panes.html", "project-area"}},
    {kWindow + 1053, {"panes.html", "output-area"}},
    {kWindow + ID_VIEW_TOOLBARS, {"toolbars.html", ""}},
    {kWindow + ID_GRID_TOOLBAR, {"toolbars.html", ""}},
    {kWindow + AFX_IDW_STATUS_BAR, {"main-window.html", "status-bar"}},
    // Dialogs.
    {kWindow + IDD_ABOUTBOX, {"help-commands.html", "about"}},
    {kWindow + 130, {"new-project.html", ""}},
    {kWindow + 134, {"project-settings.html", "backups"}},
    {kWindow + 135, {"project-settings.html", "scan-options"}},
    {kWindow + 136, {"keywords.html", ""}},
    {kWindow + 137, {"classification.html", ""}},
    {kWindow + 141, {"keywords.html", "group"}},
    {kWindow + 143, {"enumeration.html", ""}},
    {kWindow + 145, {"save.html", ""}},
    {kWindow + 146, {"project-settings.html", "keyword-metatags"}},
    {kWindow + 147, {"preview.html", ""}},
    {kWindow + 148, {"option-lists.html", "list-type"}},
    {kWindow + 149, {"refresh.html", ""}},
    {kWindow + 150, {"option-lists.html", "multi-options"}},
    {kWindow + 151, {"date.html", ""}},
    {kWindow + 152, {"option-lists.html", "multi-select"}},
    {kWindow + 172, {"system-info.html", ""}},
    {kWindow + 174, {"enumeration.html", "scan-completed"}},
    {kWindow + 176, {"project-settings.html", "general"}},
    {kWindow + 268, {"metatag-settings.html", ""}},
    // File.
    {kCommand + ID_NEW_PROJECT, {"file-commands.html", "new-project"}},
    {kCommand + ID_OPEN_PROJECT, {"file-commands.html", "open-project"}},
    {kCommand + ID_CLOSE_PROJECT, {"file-commands.html", "close-project"}},
    {kCommand + ID_SAVE_PROJECT, {"file-commands.html", "save-project"}},
    {kCommand + ID_SAVE_PROJECT_AS, {"file-commands.html", "save-project"}},
    {kCommand + ID_SAVE_EDITED_FILES, {"file-commands.html", "save-edited"}},
    {kCommand + ID_FILE_PRINT, {"file-commands.html", "print"}},
    {kCommand + ID_FILE_PRINT_PREVIEW, {"file-commands.html", "print"}},
    {kCommand + ID_FILE_PRINT_SETUP, {"file-commands.html", "print"}},
    {kCommand + ID_FILE_MRU_FILE1, {"file-commands.html", "recent"}},
    {kCommand + ID_FILE_MRU_FILE2, {"file-commands.html", "recent"}},
    {kCommand + ID_FILE_MRU_FILE3, {"file-commands.html", "recent"}},
    {kCommand + ID_FILE_MRU_FILE4, {"file-commands.html", "recent"}},
    {kCommand + ID_APP_EXIT, {"file-commands.html", "recent"}},
    // Edit.
    {kCommand + ID_EDIT_UNDO, {"edit-commands.html", "undo"}},
    {kCommand + ID_UNDO_ALL, {"edit-commands.html", "undo"}},
    {kCommand + ID_EDIT_REDO, {"edit-commands.html", "undo"}},
    {kCommand + ID_EDIT_CUT, {"edit-commands.html", "clipboard"}},
    {kCommand + ID_EDIT_COPY, {"edit-commands.html", "clipboard"}},
    {kCommand + ID_EDIT_PASTE, {"edit-commands.html", "clipboard"}},
    {kCommand + ID_EDIT_FIND, {"edit-commands.html", "find"}},
    {kCommand + ID_EDIT_REPLACE, {"edit-commands.html", "find"}},
    {kCommand + ID_FILL_DOWN, {"edit-commands.html", "fill-down"}},
    {kCommand + ID_GROUP_ACTIONS, {"edit-commands.html", "group-actions"}},
    // View.
    {kCommand + ID_VIEW_TOOLBARS, {"view-commands.html", "bars"}},
    {kCommand + AFX_IDW_STATUS_BAR, {"view-commands.html", "bars"}},
    {kCommand + ID_VIEW_PROJECT_AREA, {"view-commands.html", "bars"}},
    {kCommand + ID_VIEW_OUTPUT_AREA, {"view-commands.html", "bars"}},
    {kCommand + ID_ZOOM_IN, {"view-commands.html", "zoom"}},
    {kCommand + ID_ZOOM_OUT, {"view-commands.html", "zoom"}},
    {kCommand + ID_ZOOM_100, {"view-commands.html", "zoom"}},
    {kCommand + ID_VIEW_CHANGES, {"view-commands.html", "changes"}},
    {kCommand + ID_VIEW_WEB_PAGE, {"view-commands.html", "web-page"}},
    {kCommand + ID_VIEW_HTML_SOURCE, {"view-commands.html", "html-source"}},
    {kCommand + ID_SORT_ASCENDING, {"view-commands.html", "sort"}},
    {kCommand + ID_SORT_DESCENDING, {"view-commands.html", "sort"}},
    // Scan.
    {kCommand + ID_START_SCAN, {"scan-commands.html", "start-scan"}},
    {kCommand + ID_STOP_SCAN, {"scan-commands.html", "stop-scan"}},
    // Options.
    {kCommand + ID_PROJECT_SETTINGS, {"options-commands.html", "project-settings"}},
    {kCommand + ID_METATAG_SETTINGS, {"options-commands.html", "metatag-settings"}},
    {kCommand + ID_CUSTOMIZE_TOOLBAR, {"options-commands.html", "customize-toolbar"}},
    // Help.
    {kCommand + ID_HELP_FINDER, {"help-commands.html", "help-topics"}},
    {kCommand + ID_CONTEXT_HELP, {"help-commands.html", "context-help"}},
    {kCommand + ID_WEB_HOME, {"help-commands.html", "web"}},
    {kCommand + ID_WEB_PRODUCT, {"help-commands.html", "web"}},
    {kCommand + ID_WEB_DOWNLOAD, {"help-commands.html", "web"}},
    {kCommand + ID_WEB_SUPPORT, {"help-commands.html", "web"}},
    {kCommand + ID_WEB_PURCHASING, {"help-commands.html", "web"}},
    {kCommand + ID_WEB_FEEDBACK, {"help-commands.html", "web"}},
    {kCommand + ID_SYSTEM_INFO, {"help-commands.html", "system-info"}},
    {kCommand + ID_APP_ABOUT, {"help-commands.html", "about"}},
};

} // namespace

CHelpTopics::Topic CHelpTopics::Contents()
{
    return Topic{"index.html", ""};
}

CHelpTopics::Topic CHelpTopics::ForContext(DWORD_PTR dwContext)
{
    for (const Row& row : kTopics)
        if (row.dwContext == dwContext)
            return row.topic;
    return Contents();
}

CString CHelpTopics::DefaultFolder()
{
    char szPath[4096] = {};
    const DWORD nLength = ::GetModuleFileName(nullptr, szPath, sizeof szPath);
    CString strFolder(szPath, static_cast<int>(nLength));
    const int nSlash = strFolder.ReverseFind('/');
    strFolder = nSlash >= 0 ? strFolder.Left(nSlash + 1) : CString("./");
    return strFolder + "help";
}
