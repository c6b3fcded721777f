// The site's folder as the user gives it on the X server: a web address is refused with one
// message, in New Project and on the command line; a folder without pages of the project's
// extensions is told with the extensions looked for; and new extensions in Project Settings find
// the pages again at once.
#include "app/dialogs/CNewProjectDlg.h"
#include "app/dialogs/CProjSettingsPages.h"
#include "app/dialogs/CProjSettingsSheet.h"
#include "grid/core/CGXControl.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

namespace {

class ProjectFolderX11Test : public MainWindowStepsX11Test {
protected:
    template <class T>
    static T* ActiveAs()
    {
        return dynamic_cast<T*>(CWnd::FromHandlePermanent(::GetActiveWindow()));
    }
    bool ClickOn(HWND dlg, UINT nId) { return ClickAt(CentreOnScreen(::GetDlgItem(dlg, static_cast<int>(nId))), 1, 1); }

    static constexpr const char* kAddress = "http://127.0.0.1:8761/";
    static std::string AddressText()
    {
        return std::string("Vostrel works on a folder that holds the site's pages; ") + kAddress +
               " is a web address.\n\nSave the site's pages to a folder first, and make the project of that folder.";
    }
};

} // namespace

TEST_F(ProjectFolderX11Test, AWebAddressIsNoFolderAndAFolderWithoutPagesIsTold)
{
    ASSERT_TRUE(Start());
    const std::string empty = dir.Path() + "/Leere Straße ω";
    std::filesystem::create_directories(empty);
    std::ofstream(empty + "/notes.txt") << "not a page\n";
    const X11KeyboardLetters letters(other, empty);
    ASSERT_TRUE(letters.Ready()) << "no free keys for the letters of the folder";
    {
        X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
        Type("the main window", "^Vostrel", "ctrl+n");
        const std::vector<std::string> typed{kAddress, empty};
        for (size_t nTry = 0; nTry < typed.size(); ++nTry) {
            When("New Project has the keys after " + std::to_string(nTry) + " boxes",
                 [&, nTry] { return Matches(FocusedTitle(), "^New Project$") && boxes.Texts().size() == nTry; },
                 [&, nTry] {
                     ClickOn(::GetActiveWindow(), CNewProjectDlg::kIdDirectory);
                     XdoNow("key ctrl+a");
                     XdoNow("type --delay 10 '" + typed[nTry] + "'");
                     XdoNow("key Return");
                 });
        }
        When("the main window has the keys after both boxes",
             [&] { return boxes.Texts().size() == 2 && ProgramHasFocus() && !ViewableWindowTitled("New Project"); }, [] {});
        ASSERT_TRUE(StepsTaken());
        ASSERT_EQ(boxes.Texts().size(), 2u);
        EXPECT_EQ(boxes.Texts()[0], AddressText());
        EXPECT_EQ(boxes.Texts()[1], "No pages were found in '" + empty +
                                        "': the project looks for files ending in .htm, .html, .shtm, .shtml.\n\n"
                                        "Project Settings lists the extensions on its Scan Options page; the folder is "
                                        "looked through again when they change.");
        CProjectSettings* pSettings = nullptr;
        ASSERT_EQ(app->GetProjectSettings(pSettings), 0u) << "the folder made no project";
        EXPECT_EQ(std::string(pSettings->m_strProjectDirectory), empty);

        // The grid of the empty project heads its columns with the settings' names alone: no
        // column the grid would letter by itself.
        ASSERT_TRUE(RunUntil([&] { return View() != nullptr && Settled(); }, 60000));
        if (cairo_surface_t* shot = Shot("empty-project-grid"))
            cairo_surface_destroy(shot);
        CGroupView& grid = *View();
        EXPECT_EQ(grid.GetRowCount(), 0u);
        for (ROWCOL nCol = 1; nCol <= grid.GetColCount(); ++nCol)
            EXPECT_FALSE(grid.GetStoredCellValue(0, nCol).IsEmpty()) << "column " << nCol << " has no setting's name";
    }

    // Named on the command line, the address is told in one box, and the program runs on.
    Stop();
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    ASSERT_TRUE(Start(std::vector<std::string>{kAddress}));
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], AddressText());
    CProjectSettings* pSettings = nullptr;
    EXPECT_EQ(app->GetProjectSettings(pSettings), 1u) << "a project was opened";
}

// The project lists the .htm page, with a title typed and not saved. New extensions in Project
// Settings' Scan Options ask first: Cancel keeps the edit and the pages listed; No drops the edit
// and finds and scans the pages of the new extensions at once, without the project being opened
// again, the page on disk as it was.
TEST_F(ProjectFolderX11Test, NewExtensionsFindThePagesAgainAtOnce)
{
    ASSERT_TRUE(Start());
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    const std::string pageA = "<html><head><meta charset=\"utf-8\"><title>Ålpha ß</title></head><body>a</body></html>\n";
    std::ofstream(site + "/a.htm", std::ios::binary) << pageA;
    std::ofstream(site + "/b.xhtml") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                        "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>Βήτα 中文</title>"
                                        "<meta name=\"description\" content=\"Zweite Straße\" /></head><body>b</body></html>\n";
    std::ofstream(site + "/c.xht") << "<html><head><title>Γάμμα</title></head><body>c</body></html>\n";
    std::filesystem::create_directories(dir.Path() + "/config");
    CMetaSettingList* pList = nullptr;
    ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
    ASSERT_EQ(pList->SaveToFile(CString(SettingsPath().c_str())), 0u);
    CProjectSettings* pSettings = nullptr;
    app->NewProjectSettings(pSettings);
    pSettings->SetSettingsFilePath(CString(SettingsPath().c_str()));
    pSettings->m_strProjectDirectory = site.c_str();
    pSettings->m_bShowTitle = 1;
    pSettings->m_bAutoScan = 1;
    ASSERT_EQ(Frame().WriteProjectFile(CString(ProjectPath().c_str())), 0u);
    ASSERT_EQ(Frame().OpenProjectFile(CString(ProjectPath().c_str())), CMainFrame::kOpenDone);
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 1 && View() != nullptr; }))
        << "the project was not scanned";
    ASSERT_EQ(app->ActivateGroupView(view), 0u);
    ASSERT_TRUE(Quiet());
    ASSERT_EQ(app->GetSelectedNodes().GetCount(), 1);

    // A title typed into a.htm's row and left unsaved.
    const ROWCOL nTitle = ColumnOf("Title");
    ASSERT_TRUE(ClickAt(CellOnScreen(1, CGroupView::kFileColumn), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, CGroupView::kFileColumn) && ProgramHasFocus(); }));
    ASSERT_TRUE(GoToByKeys(1, nTitle));
    ASSERT_TRUE(XdoNow("type --delay 30 'Edited'") && XdoNow("key Return"));
    ASSERT_TRUE(RunUntil([&] { return std::string(view->GetCellValue(1, nTitle)) == "Edited" && app->IsEdited() == 2; }))
        << "the title was not typed";

    // Project Settings by the keys; Add on Scan Options, the extension typed, OK.
    const auto addExtension = [&](const std::string& extension, ROWCOL nRows) {
        CProjSettingsSheet* sheet = nullptr;
        ASSERT_TRUE(Xdo("key alt+o"));
        Choose("Project Settings...");
        When("Project Settings has the keys", [&] {
                 sheet = ActiveAs<CProjSettingsSheet>();
                 return sheet != nullptr && Matches(FocusedTitle(), "^Project Settings$") && ShowsNow();
             },
             [&] { XdoNow("key ctrl+Tab"); });
        When("the Scan Options page shows", [&] { return sheet->GetActivePage() == &sheet->GetScanPage() && ShowsNow(); },
             [&] { ClickOn(sheet->GetScanPage().GetSafeHwnd(), CProjSettingsPage2::kIdAdd); });
        When("a new row of the extensions is current", [&, nRows] {
                 CExtensionsGridCtrl& grid = sheet->GetScanPage().GetGrid();
                 ROWCOL nRow = 0, nCol = 0;
                 return grid.GetCurrentCell(nRow, nCol) && nRow == grid.GetRowCount() && nRow == nRows && ShowsNow();
             },
             [&, extension] { XdoNow("type --delay 30 '" + extension + "'"); });
        When("the extension is typed", [&, extension] {
                 CGXControl* pEditor = sheet->GetScanPage().GetGrid().GetCurrentCellControl();
                 CString strText;
                 return pEditor != nullptr && pEditor->GetCurrentText(strText) && strText == extension.c_str();
             },
             [&] { ClickOn(sheet->GetSafeHwnd(), IDOK); });
        // A box left open after OK ends the wait early: the steps take a second or two.
        ASSERT_TRUE(StepsTaken(30000));
    };
    const std::string ask = "Do you want to save your metatag changes to the appropriate HTML files?";
    std::optional<X11MessageBoxAnswerer> boxes;
    // Cancel (Escape) keeps the edit and the page listed, and says when the extension counts.
    boxes.emplace(*backend, server->DisplayName(), "Escape");
    addExtension(".xhtml", 5);
    ASSERT_TRUE(RunUntil([&] { return boxes->Texts().size() == 2 && ProgramHasFocus() && Settled(); }))
        << boxes->Texts().size() << " boxes";
    EXPECT_EQ(boxes->Texts()[0], ask);
    EXPECT_EQ(boxes->Texts()[1], "The new file extensions take effect when the project is opened again; until then the "
                                 "project keeps the pages it lists now.");
    EXPECT_EQ(view->GetRowCount(), 1u);
    EXPECT_EQ(std::string(view->GetCellValue(1, nTitle)), "Edited");
    EXPECT_EQ(app->IsEdited(), 2u);

    // No drops the edit: the folder is looked through with both new extensions and scanned.
    boxes.emplace(*backend, server->DisplayName(), "n");
    addExtension(".xht", 6);
    ASSERT_TRUE(RunUntil([&] {
        return app->GetSelectedNodes().GetCount() == 3 && app->GetRunState() == 0 && Frame().GetFilesScanned() == 3 &&
               View() != nullptr && View()->GetRowCount() == 3 && Settled();
    }, 30000)) << "No did not find the pages again: " << app->GetSelectedNodes().GetCount() << " pages listed";
    ASSERT_EQ(boxes->Texts().size(), 1u) << boxes->Texts().back();
    EXPECT_EQ(boxes->Texts()[0], ask);
    ASSERT_EQ(app->ActivateGroupView(view), 0u);
    ASSERT_TRUE(Quiet());
    EXPECT_EQ(app->IsEdited(), 3u) << "the dropped edit is still pending";
    EXPECT_EQ(std::string(view->GetCellValue(RowOf("a.htm"), ColumnOf("Title"))), "Ålpha ß");
    const ROWCOL nRow = RowOf("b.xhtml");
    ASSERT_NE(nRow, 0u);
    EXPECT_EQ(std::string(view->GetCellValue(nRow, ColumnOf("Title"))), "Βήτα 中文");
    EXPECT_NE(RowOf("c.xht"), 0u);
    EXPECT_EQ(ReadFile(site + "/a.htm"), pageA);
    CProjectSettings* pNow = nullptr;
    ASSERT_EQ(app->GetProjectSettings(pNow), 0u);
    EXPECT_TRUE(pNow->m_FileExtensions.Find(".xhtml") != nullptr);
    EXPECT_TRUE(pNow->IsModified()) << "the project does not offer to save its new extensions";
}
