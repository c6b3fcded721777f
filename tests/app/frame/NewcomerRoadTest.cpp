// A newcomer's first road through the program, as the user takes it: New Project with the old
// pages going to the trash and a date tag added in Metatag Settings, the scan, suggested
// keywords added, a date picked, and Save Edited Files.
#include "tests/app/VostrelAppFixture.h"

#include "app/values/CDateTimeDlg.h"
#include "app/views/CGroupView.h"
#include "app/values/CKeywordsDlg.h"
#include "app/dialogs/CMetaSettingDlg.h"
#include "app/dialogs/CNewProjectDlg.h"
#include "app/dialogs/CProjSettingsSheet.h"
#include "app/res/AppRes.h"
#include "grid/data/CGXRange.h"
#include "platform/controls/Button.h"

#include <functional>

namespace {

using namespace dialog_automation;
namespace fs = std::filesystem;

HWND DialogOf(UINT nTemplate)
{
    for (HWND dlg : ShownDialogs())
        if (reinterpret_cast<uintptr_t>(GetProp(dlg, DIALOG_TEMPLATE_ID_PROP)) == nTemplate)
            return dlg;
    return nullptr;
}

void WhenDialog(HeadlessBackend& backend, UINT nTemplate, std::function<void(HWND)> act)
{
    WhenWindowOpens(
        backend, [nTemplate] { return DialogOf(nTemplate); },
        [&backend, act](HWND dlg) {
            act(dlg);
            EnsureClosed(backend, dlg);
        },
        [nTemplate] { ADD_FAILURE() << "dialog " << nTemplate << " never opened"; });
}

void Press(HWND dlg, UINT nId)
{
    SendMessage(dlg, WM_COMMAND, nId, reinterpret_cast<LPARAM>(GetDlgItem(dlg, nId)));
    PostMessage(dlg, WM_NULL, 0, 0);
}

template <class T>
T& ObjectOf(HWND hwnd)
{
    auto* p = dynamic_cast<T*>(CWnd::FromHandlePermanent(hwnd));
    EXPECT_NE(p, nullptr);
    return *p;
}

} // namespace

TEST_F(VostrelAppTest, ANewcomersProjectGetsItsNewTagsAndTheOldPagesGoToTheTrash)
{
    const std::string site = config.Path() + "/site";
    fs::create_directories(site);
    const std::string original =
        "<html><head><title>Garden tools</title>\n<meta name=\"KEYWORDS\" content=\"garden\">\n</head>\n"
        "<body>Pruning shears for roses. Pruning roses with pruning shears keeps roses healthy. "
        "Garden gloves protect hands while pruning roses.</body></html>\n";
    WriteFile(site + "/a.htm", original);
    const std::string dataHome = config.Path() + "/data";
    ScopedEnv data("XDG_DATA_HOME", dataHome);
    ASSERT_TRUE(Start());

    // New Project: the folder, the trash as the backup scheme, the chosen tags shown after a scan,
    // Keywords shown and a date tag added.
    WhenDialog(*backend, CNewProjectDlg::IDD, [&](HWND newProject) {
        SetDlgItemText(newProject, CNewProjectDlg::kIdDirectory, site.c_str());
        WhenWindowOpens(
            *backend,
            [] {
                for (HWND dlg : ShownDialogs())
                    if (dynamic_cast<CProjSettingsSheet*>(CWnd::FromHandlePermanent(dlg)))
                        return dlg;
                return HWND{};
            },
            [&](HWND hwnd) {
                auto& sheet = ObjectOf<CProjSettingsSheet>(hwnd);
                // The grid shows the tags chosen in Metatag Settings, found in the pages or not.
                sheet.SetActivePage(&sheet.GetScanPage());
                ::SendMessage(::GetDlgItem(sheet.GetScanPage().GetSafeHwnd(), CProjSettingsPage2::kIdShowEnabled),
                              BM_CLICK, 0, 0);
                sheet.SetActivePage(&sheet.GetBackupsPage());
                ::SendMessage(::GetDlgItem(sheet.GetBackupsPage().GetSafeHwnd(), CProjSettingsPage1::kIdTrash),
                              BM_CLICK, 0, 0);
                Press(hwnd, IDOK);
                EnsureClosed(*backend, hwnd);
            },
            [] { ADD_FAILURE() << "the project settings never opened"; });
        Press(newProject, CNewProjectDlg::kIdProjectSettings);
        WhenDialog(*backend, CMetaSettingDlg::IDD, [&](HWND hwnd) {
            CMetaSettingGridCtrl& grid = ObjectOf<CMetaSettingDlg>(hwnd).GetGrid();
            for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
                CString name;
                grid.GetCellText(r, CMetaSettingGridCtrl::kColName, name);
                if (name == "Keywords") {
                    grid.SetCheckValue(r, CMetaSettingGridCtrl::kColShow, TRUE);
                    grid.OnModifyCell(r, CMetaSettingGridCtrl::kColShow);
                }
            }
            Press(hwnd, CMetaSettingDlg::kIdAdd);
            EXPECT_TRUE(grid.ChangeRowType(grid.GetRowCount(), "Date / Time"));
            Press(hwnd, IDOK);
        });
        Press(newProject, CNewProjectDlg::kIdMetaSettings);
        Press(newProject, IDOK);
    });
    Frame().SendMessage(WM_COMMAND, ID_NEW_PROJECT);
    CProjectSettings* pSettings = nullptr;
    ASSERT_EQ(app->GetProjectSettings(pSettings), 0u) << "the project was made";
    EXPECT_EQ(pSettings->m_nBackupScheme, CProjectSettings::kBackupTrash);

    // The scan (the project scans itself when it is set so; otherwise the user starts it).
    if (!pSettings->m_bAutoScan)
        Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
    ASSERT_TRUE(PumpUntil(*backend, [&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 1; }));
    CGroupView* view = nullptr;
    ASSERT_EQ(app->ActivateGroupView(view), 0u);
    auto column = [&](const char* name) {
        for (ROWCOL c = 1; c <= view->GetColCount(); ++c)
            if (view->GetCellValue(0, c).CompareNoCase(name) == 0)
                return c;
        return ROWCOL{0};
    };
    const ROWCOL nKeywords = column("Keywords"), nDate = column("NewTag");
    ASSERT_NE(nKeywords, 0u);
    ASSERT_NE(nDate, 0u);

    // Suggested keywords added to the page's own.
    std::vector<std::string> suggested;
    WhenDialog(*backend, CKeywordsDlg::IDD, [&](HWND hwnd) {
        auto& dlg = ObjectOf<CKeywordsDlg>(hwnd);
        CKeywordsGridCtrl& grid = dlg.GetSuggestedGrid();
        for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
            CString text;
            grid.GetCellText(r, 1, text);
            suggested.emplace_back(text.GetString());
        }
        grid.SelectRange(CGXRange().SetRows(1, grid.GetRowCount()), TRUE, TRUE);
        Press(hwnd, CKeywordsDlg::kIdAddToExisting);
        Press(hwnd, IDOK);
    });
    view->OnClickedButtonRowCol(1, nKeywords);
    ASSERT_FALSE(suggested.empty()) << "the scan suggested keywords";

    // A date picked on the calendar.
    WhenDialog(*backend, CDateTimeDlg::IDD, [&](HWND hwnd) {
        auto& dlg = ObjectOf<CDateTimeDlg>(hwnd);
        const COleDateTime day(2024, 5, 17, 12, 0, 0);
        dlg.GetCalendar().SelectDate(day, TRUE);
        dlg.GetCalendar().HighlightDate(day, TRUE);
        backend->WhenIdle([hwnd] { Press(hwnd, IDOK); });
    });
    view->OnClickedButtonRowCol(1, nDate);

    // Save: the page holds the new tags, its old copy is in the trash.
    ASSERT_TRUE(Frame().IsCommandEnabled(ID_SAVE_EDITED_FILES));
    Frame().SendMessage(WM_COMMAND, ID_SAVE_EDITED_FILES);
    ASSERT_TRUE(PumpUntil(*backend, [&] { return app->IsEdited() == 3; }));
    const std::string saved = ReadFile(site + "/a.htm");
    EXPECT_NE(saved.find("content=\"2024/05/17\""), std::string::npos) << saved;
    // The page's own tag, spelt as the page spelt it, holds the new keywords.
    const size_t keywords = saved.find("name=\"KEYWORDS\"");
    ASSERT_NE(keywords, std::string::npos) << saved;
    const std::string keywordTag = saved.substr(keywords, saved.find('>', keywords) - keywords);
    EXPECT_NE(keywordTag.find("garden"), std::string::npos) << keywordTag;
    for (const std::string& word : suggested)
        EXPECT_NE(keywordTag.find(word), std::string::npos) << word << " in " << keywordTag;
    EXPECT_EQ(ReadFile(dataHome + "/Trash/files/a.htm"), original);
    EXPECT_FALSE(fs::exists(site + "/a.htm.old"));
}
