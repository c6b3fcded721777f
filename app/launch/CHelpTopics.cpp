#include "app/launch/CHelpTopics.h"

#include "app/values/CClassificationDlg.h"
#include "app/values/CDateTimeDlg.h"
#include "app/dialogs/CEnumFilesDlg.h"
#include "app/values/CGroupKeywordsDlg.h"
#include "app/values/CKeywordsDlg.h"
#include "app/values/CListTypeAttribDlg.h"
#include "app/values/CMListSelOptionsDlg.h"
#include "app/values/CMListTypeAttribDlg.h"
#include "app/dialogs/CMetaSettingDlg.h"
#include "app/dialogs/CNewProjectDlg.h"
#include "app/dialogs/CProjSettingsPages.h"
#include "app/values/CRefreshDlg.h"
#include "app/dialogs/CSaveHTMLFilesDlg.h"
#include "app/dialogs/CScanDoneDlg.h"
#include "app/sysinfo/CSysInfoDlg.h"
#include "app/res/AppRes.h"
#include "app/res/GroupViewRes.h"
#include "platform/afx/AfxRes.h"
#include "platform/controls/FindReplaceDialog.h"
#include "platform/controls/PrintDialog.h"
#include "platform/core/SystemServices.h"
#include "toolkit/res/CustomizeRes.h"

namespace {

constexpr DWORD kCommand = HID_BASE_COMMAND;
constexpr DWORD kWindow = HID_BASE_RESOURCE;

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
    {kWindow + IDW_PROJECT_AREA, {"panes.html", "project-area"}},
    {kWindow + IDW_OUTPUT_AREA, {"panes.html", "output-area"}},
    {kWindow + ID_VIEW_TOOLBARS, {"toolbars.html", ""}},
    {kWindow + ID_GRID_TOOLBAR, {"toolbars.html", ""}},
    {kWindow + AFX_IDW_STATUS_BAR, {"main-window.html", "status-bar"}},
    // Dialogs.
    {kWindow + IDD_ABOUTBOX, {"help-commands.html", "about"}},
    {kWindow + CNewProjectDlg::IDD, {"new-project.html", ""}},
    {kWindow + CProjSettingsPage1::IDD, {"project-settings.html", "backups"}},
    {kWindow + CProjSettingsPage2::IDD, {"project-settings.html", "scan-options"}},
    {kWindow + CKeywordsDlg::IDD, {"keywords.html", ""}},
    {kWindow + CClassificationDlg::IDD, {"classification.html", ""}},
    {kWindow + CGroupKeywordsDlg::IDD, {"keywords.html", "group"}},
    {kWindow + CEnumFilesDlg::IDD, {"enumeration.html", ""}},
    {kWindow + CSaveHTMLFilesDlg::IDD, {"save.html", ""}},
    {kWindow + CProjSettingsPage3::IDD, {"project-settings.html", "keyword-metatags"}},
    {kWindow + IDD_PREVIEW_CHANGES, {"preview.html", ""}},
    {kWindow + CListTypeAttribDlg::IDD, {"option-lists.html", "list-type"}},
    {kWindow + CRefreshDlg::IDD, {"refresh.html", ""}},
    {kWindow + CMListTypeAttribDlg::IDD, {"option-lists.html", "multi-options"}},
    {kWindow + CDateTimeDlg::IDD, {"date.html", ""}},
    {kWindow + CMListSelOptionsDlg::IDD, {"option-lists.html", "multi-select"}},
    {kWindow + CSysInfoDlg::IDD, {"system-info.html", ""}},
    {kWindow + CScanDoneDlg::IDD, {"enumeration.html", "scan-completed"}},
    {kWindow + CProjSettingsPage4::IDD, {"project-settings.html", "general"}},
    {kWindow + CMetaSettingDlg::IDD, {"metatag-settings.html", ""}},
    {kWindow + FINDDLGORD, {"edit-commands.html", "find"}},
    // The toolbar customisation: View > Toolbars, the pages of Options > Customize Toolbar and
    // the New Toolbar name they open.
    {kWindow + SEC_IDD_TOOLBARSDLG, {"toolbars.html", "customize"}},
    {kWindow + SEC_IDD_TOOLBARSPAGE, {"toolbars.html", "customize"}},
    {kWindow + SEC_IDD_TOOLBARCMDPAGE, {"toolbars.html", "customize"}},
    {kWindow + SEC_IDD_NEWTOOLBAR, {"toolbars.html", "customize"}},
    {kWindow + REPLACEDLGORD, {"edit-commands.html", "find"}},
    {kWindow + PRINTDLGORD, {"file-commands.html", "print"}},
    {kWindow + PRNSETUPDLGORD, {"file-commands.html", "print"}},
    {kWindow + AFX_IDD_PRINTDLG, {"file-commands.html", "print"}},
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
