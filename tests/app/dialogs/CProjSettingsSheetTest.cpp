// The project settings sheet as the user reaches it, from Options and from New Project: pages
// never opened keep their fields, the backup options follow the stored scheme, the extension
// list drops empty rows, Help names each page's topic, and OK never clears an earlier mark of
// unsaved changes.
#include "tests/app/VostrelAppFixture.h"

#include "app/dialogs/CNewProjectDlg.h"
#include "app/dialogs/CProjSettingsSheet.h"
#include "app/res/AppRes.h"
#include "engine/project/CProjectSettings.h"
#include "grid/data/CGXRange.h"
#include "platform/afx/dlg/CPropertySheet.h"
#include "platform/controls/Button.h"

#include <functional>

namespace {

using namespace dialog_automation;

// The sheet has no template of its own: it is found as the shown dialog whose window is a
// project settings sheet.
CProjSettingsSheet* ShownSheet()
{
    for (HWND dlg : ShownDialogs())
        if (auto* pSheet = dynamic_cast<CProjSettingsSheet*>(CWnd::FromHandlePermanent(dlg)))
            return pSheet;
    return nullptr;
}

void WhenSheet(HeadlessBackend& backend, std::function<void(CProjSettingsSheet&)> act)
{
    WhenWindowOpens(
        backend, [] { return ShownSheet() != nullptr ? ShownSheet()->GetSafeHwnd() : HWND{}; },
        [&backend, act](HWND hwnd) {
            act(*ShownSheet());
            EnsureClosed(backend, hwnd);
        },
        [] { ADD_FAILURE() << "the project settings sheet never opened"; });
}

void PressSheetButton(CWnd& wnd, UINT nId)
{
    wnd.SendMessage(WM_COMMAND, nId, reinterpret_cast<LPARAM>(::GetDlgItem(wnd.GetSafeHwnd(), nId)));
    wnd.PostMessage(WM_NULL, 0, 0);
}

std::vector<std::string> Items(const CStringList& list)
{
    std::vector<std::string> items;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        items.emplace_back(list.GetNext(pos).GetString());
    return items;
}

class ProjSettingsSheetTest : public VostrelAppTest {
protected:
    CProjectSettings& OpenProject()
    {
        CProjectSettings* pSettings = nullptr;
        app->NewProjectSettings(pSettings);
        pSettings->m_FileExtensions.RemoveAll();
        pSettings->m_FileExtensions.AddTail(".htm");
        pSettings->m_FileExtensions.AddTail(".html");
        pSettings->m_strListSeparator = ", ";
        pSettings->m_nBackupScheme = CProjectSettings::kBackupFile;
        return *pSettings;
    }
};

} // namespace

TEST_F(ProjSettingsSheetTest, OptionsKeepsTheMarkOfEarlierChangesAndStoresTheBackupChosen)
{
    ASSERT_TRUE(Start());
    CProjectSettings& settings = OpenProject();
    settings.SetModified(1);   // changed before, not yet saved
    CProjectSettings before;
    before.CopyFrom(settings);

    std::string caption;
    WhenSheet(*backend, [&](CProjSettingsSheet& sheet) {
        caption = TextOf(sheet.GetSafeHwnd());
        EXPECT_EQ(::GetDlgItem(sheet.GetSafeHwnd(), ID_APPLY_NOW), nullptr) << "no Apply";
        PressSheetButton(sheet, IDOK);
    });
    Frame().SendMessage(WM_COMMAND, ID_PROJECT_SETTINGS);
    EXPECT_EQ(caption, "Project Settings");
    EXPECT_TRUE(settings.IsEqual(before));
    EXPECT_EQ(settings.IsModified(), 1u) << "OK with nothing changed keeps the earlier mark";

    // The backup scheme changed on its page: stored and marked.
    settings.SetModified(0);
    WhenSheet(*backend, [&](CProjSettingsSheet& sheet) {
        ASSERT_TRUE(sheet.SetActivePage(&sheet.GetBackupsPage()));
        CProjSettingsPage1& page = sheet.GetBackupsPage();
        ::SendMessage(::GetDlgItem(page.GetSafeHwnd(), CProjSettingsPage1::kIdTrash), BM_CLICK, 0, 0);
        PressSheetButton(sheet, IDOK);
    });
    Frame().SendMessage(WM_COMMAND, ID_PROJECT_SETTINGS);
    EXPECT_EQ(settings.m_nBackupScheme, CProjectSettings::kBackupTrash);
    EXPECT_EQ(settings.IsModified(), 1u);
    EXPECT_EQ(Items(settings.m_FileExtensions), (std::vector<std::string>{".htm", ".html"}));
    EXPECT_EQ(std::string(settings.m_strListSeparator.GetString()), ", ");
}

TEST_F(ProjSettingsSheetTest, BackupOptionsFollowTheStoredSchemeAndHelpNamesEachPage)
{
    ASSERT_TRUE(Start());
    struct Case {
        UINT scheme;
        std::vector<UINT> checked;   // 1066, 1067, 1068
        UINT stored;
    };
    // A scheme the program does not know checks no option; OK then stores what the rule gives
    // for no option checked.
    for (const Case& c : {Case{0, {0, 0, 1}, 0}, Case{1, {0, 1, 0}, 1}, Case{2, {1, 0, 0}, 2}, Case{7, {0, 0, 0}, 1}}) {
        CProjectSettings settings;
        settings.m_nBackupScheme = c.scheme;
        CProjSettingsSheet sheet(IDS_PROJECT_SETTINGS_TITLE);
        sheet.SetSettings(settings);
        std::vector<UINT> checked;
        WhenSheet(*backend, [&](CProjSettingsSheet& shown) {
            shown.SetActivePage(&shown.GetBackupsPage());
            for (UINT id : {1066u, 1067u, 1068u})
                checked.push_back(shown.GetBackupsPage().IsDlgButtonChecked(id));
            PressSheetButton(shown, IDOK);
        });
        ASSERT_EQ(sheet.DoModal(), IDOK);
        EXPECT_EQ(checked, c.checked) << "scheme " << c.scheme;
        CProjectSettings out;
        sheet.GetSettings(out);
        EXPECT_EQ(out.m_nBackupScheme, c.stored) << "scheme " << c.scheme;
    }

    // Help on each page opens the page's own place of the help.
    const std::string pages = HelpFolder();
    std::vector<std::string> opened;
    RecordBrowsedAddresses(opened);
    std::vector<std::string> titles;
    CProjSettingsSheet sheet(IDS_PROJECT_SETTINGS_TITLE);
    sheet.SetSettings(CProjectSettings());
    WhenSheet(*backend, [&](CProjSettingsSheet& shown) {
        for (int page = 0; page < shown.GetPageCount(); ++page) {
            shown.SetActivePage(page);
            PressSheetButton(shown, IDHELP);
            titles.push_back(shown.GetPage(page)->GetTitle().GetString());
        }
        PressSheetButton(shown, IDCANCEL);
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(titles, (std::vector<std::string>{"General", "Scan Options", "Keyword Metatags", "Backups"}));
    const std::string page = "file://" + pages + "/project-settings.html#";
    EXPECT_EQ(opened, (std::vector<std::string>{page + "general", page + "scan-options", page + "keyword-metatags",
                                                page + "backups"}));
}

TEST_F(ProjSettingsSheetTest, NewProjectsScanOptionsDropEmptyExtensionsAndDeleteInAnyOrder)
{
    ASSERT_TRUE(Start());
    CProjectSettings start;
    start.m_FileExtensions.RemoveAll();
    for (const char* ext : {".a", ".b", ".c", ".d", ".e", ".f", ".g", ".h"})
        start.m_FileExtensions.AddTail(ext);
    start.m_strListSeparator = ";";
    start.m_bAutoScan = 0;
    start.m_bShowAllFound = 0;

    std::vector<std::string> shown;
    CNewProjectDlg project;
    project.SetData(start, CMetaSettingList());
    WhenWindowOpens(
        *backend,
        [] {
            for (HWND dlg : ShownDialogs())
                if (reinterpret_cast<uintptr_t>(GetProp(dlg, DIALOG_TEMPLATE_ID_PROP)) == CNewProjectDlg::IDD)
                    return dlg;
            return HWND{};
        },
        [&](HWND newProject) {
            WhenSheet(*backend, [&](CProjSettingsSheet& sheet) {
                ASSERT_TRUE(sheet.SetActivePage(&sheet.GetScanPage()));
                CProjSettingsPage2& page = sheet.GetScanPage();
                CExtensionsGridCtrl& grid = page.GetGrid();
                for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
                    CString text;
                    grid.GetCellText(r, 1, text);
                    shown.emplace_back(text.GetString());
                }
                // Rows 5, 2 and 8 picked in that order go, and no other.
                for (ROWCOL r : {5u, 2u, 8u})
                    grid.SelectRange(CGXRange().SetRows(r, r), TRUE, TRUE);
                PressSheetButton(page, CProjSettingsPage2::kIdDelete);
                // One row left empty, one blank.
                PressSheetButton(page, CProjSettingsPage2::kIdAdd);
                PressSheetButton(page, CProjSettingsPage2::kIdAdd);
                grid.SetCellValue(grid.GetRowCount(), 1, "   ");
                ::SendMessage(::GetDlgItem(page.GetSafeHwnd(), CProjSettingsPage2::kIdShowFound), BM_CLICK, 0, 0);
                ::SendMessage(::GetDlgItem(page.GetSafeHwnd(), CProjSettingsPage2::kIdAutoScan), BM_CLICK, 0, 0);
                PressSheetButton(sheet, IDOK);
            });
            PressSheetButton(*CWnd::FromHandle(newProject), CNewProjectDlg::kIdProjectSettings);
            PressSheetButton(*CWnd::FromHandle(newProject), IDCANCEL);
        },
        [] { ADD_FAILURE() << "New Project never opened"; });
    project.DoModal();

    EXPECT_EQ(shown, (std::vector<std::string>{".a", ".b", ".c", ".d", ".e", ".f", ".g", ".h"}));
    CProjectSettings taken;
    project.GetProjectSettings(taken);
    EXPECT_EQ(Items(taken.m_FileExtensions), (std::vector<std::string>{".a", ".c", ".d", ".f", ".g"}));
    EXPECT_EQ(taken.m_bShowAllFound, 1u);
    EXPECT_EQ(taken.m_bAutoScan, 1u);
    // The pages never opened kept their fields.
    EXPECT_EQ(std::string(taken.m_strListSeparator.GetString()), ";");
}
