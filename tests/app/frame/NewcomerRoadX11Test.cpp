// A newcomer's first road through the program, taken with the mouse and the keys of another
// client of the X server: New Project with the page titles left out and the old pages going to
// the trash, the scan, a typed description, suggested keywords added in the Keywords dialog,
// Fill Down, a group action from the right-click menu, Save Edited Files, the project saved and
// opened again from the recent list. What the user sees is judged by the windows' titles, the
// grid's copied text and the pages on disk.
#include "app/dialogs/CNewProjectDlg.h"
#include "app/dialogs/CProjSettingsPages.h"
#include "app/dialogs/CProjSettingsSheet.h"
#include "app/values/CGroupKeywordsDlg.h"
#include "app/values/CKeywordsDlg.h"
#include "app/values/CKeywordsGridCtrl.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "tests/support/ClipboardText.h"

#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

namespace {

namespace fs = std::filesystem;

class NewcomerRoadX11Test : public MainWindowStepsX11Test {
protected:
    // The program's window that is active now (a dialog while one is open).
    static HWND Active() { return ::GetActiveWindow(); }
    template <class T>
    static T* ActiveAs()
    {
        return dynamic_cast<T*>(CWnd::FromHandlePermanent(Active()));
    }
    // The user clicks the middle of a dialog's control.
    bool ClickOn(HWND dlg, UINT nId) { return ClickAt(CentreOnScreen(::GetDlgItem(dlg, static_cast<int>(nId))), 1, 1); }
    // Whether the window titled so holds the display's focus and shows what the program drew.
    bool FocusedAndShown(const std::string& pattern) { return Matches(FocusedTitle(), pattern) && ShowsNow(); }

    // The text of a grid cell of the project's grid.
    std::string Cell(ROWCOL nRow, ROWCOL nCol) { return std::string(View()->GetCellValue(nRow, nCol)); }
    // The suggested keywords the scan found for the page.
    std::vector<std::string> SuggestionsOf(const char* pszPage)
    {
        std::vector<std::string> words;
        CPageNode* pPage = nullptr;
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        if (View()->GetRowPage(RowOf(pszPage), pPage) != 0 || pPage->GetContentList(pList) != 0 ||
            pList->FindByName("KEYWORDS", pContent) != 0)
            return words;
        CStringList suggestions;
        pContent->GetSuggestions(suggestions);
        for (POSITION pos = suggestions.GetHeadPosition(); pos != nullptr;)
            words.emplace_back(suggestions.GetNext(pos).GetString());
        return words;
    }

    // A site of three pages, each with keywords and a description, and text enough to suggest
    // keywords from.
    void MakeSite()
    {
        site = dir.Path() + "/site";
        fs::create_directories(site + "/sub");
        auto page = [](const std::string& path, const char* title, const char* keywords, const char* body) {
            std::ofstream(path) << "<html><head><title>" << title << "</title>\n"
                                << "<meta name=\"KEYWORDS\" content=\"" << keywords << "\">\n"
                                << "<meta name=\"DESCRIPTION\" content=\"Old text\">\n"
                                << "</head><body>" << body << "</body></html>\n";
        };
        page(site + "/a.htm", "Garden tools", "garden",
             "Pruning shears for roses. Pruning roses with pruning shears keeps roses healthy. "
             "Garden gloves protect hands while pruning roses.");
        page(site + "/b.htm", "Watering cans", "water",
             "Watering cans for lawns. Watering lawns with watering cans keeps lawns healthy. "
             "Garden gloves protect hands while watering lawns.");
        page(site + "/sub/c.htm", "Digging forks", "soil",
             "Digging forks for beds. Digging beds with digging forks keeps beds healthy. "
             "Garden gloves protect hands while digging beds.");
    }
};

} // namespace

TEST_F(NewcomerRoadX11Test, ANewcomersProjectIsMadeEditedSavedAndOpenedAgain)
{
    MakeSite();
    const std::string original = ReadFile(site + "/a.htm");
    ScopedEnv data("XDG_DATA_HOME", dir.Path() + "/data");
    const std::string project = dir.Path() + "/mysite.vsp";
    ASSERT_TRUE(Start());
    // The window made as large as the screen, with a double click on its caption.
    CRect frame;
    Frame().GetWindowRect(&frame);
    ASSERT_TRUE(ClickAt(POINT{frame.CenterPoint().x, frame.top + 10}, 1, 2));
    ASSERT_TRUE(RunUntil([&] { return Frame().IsZoomed() != FALSE && Settled(); })) << "the window was not maximised";

    // New Project: the folder typed in; in Project Settings the titles left out of the grid and
    // the old pages sent to the trash.
    Type("the main window", "^Vostrel", "ctrl+n");
    When("the New Project dialog has the focus", [&] { return FocusedAndShown("^New Project$"); },
         [&] { XdoNow("type --delay 10 '" + site + "'"); });
    When("the folder is typed", [&] {
             char text[512] = {};
             ::GetDlgItemText(Active(), CNewProjectDlg::kIdDirectory, text, sizeof text);
             return site == text;
         },
         [&] { ClickOn(Active(), CNewProjectDlg::kIdProjectSettings); });
    CProjSettingsSheet* sheet = nullptr;
    When("the Project Settings show their first page", [&] {
             sheet = ActiveAs<CProjSettingsSheet>();
             return sheet != nullptr && sheet->GetActiveIndex() == 0 && FocusedAndShown("^Project Settings$");
         },
         [&] { ClickOn(sheet->GetGeneralPage().GetSafeHwnd(), CProjSettingsPage4::kIdShowTitle); });
    When("the titles are left out", [&] {
             return ::IsDlgButtonChecked(sheet->GetGeneralPage().GetSafeHwnd(), CProjSettingsPage4::kIdShowTitle) == BST_UNCHECKED;
         },
         [&] { XdoNow("key --delay 30 ctrl+Tab ctrl+Tab ctrl+Tab"); });
    When("the Backups page shows", [&] { return sheet->GetActivePage() == &sheet->GetBackupsPage() && ShowsNow(); },
         [&] { ClickOn(sheet->GetBackupsPage().GetSafeHwnd(), CProjSettingsPage1::kIdTrash); });
    When("the trash is chosen", [&] {
             return ::IsDlgButtonChecked(sheet->GetBackupsPage().GetSafeHwnd(), CProjSettingsPage1::kIdTrash) == BST_CHECKED;
         },
         [&] { ClickOn(sheet->GetSafeHwnd(), IDOK); });
    When("the New Project dialog has the focus again", [&] { return FocusedAndShown("^New Project$"); },
         [&] { ClickOn(Active(), IDOK); });
    ASSERT_TRUE(StepsTaken());

    // The pages are found and scanned by themselves.
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 3 && View() != nullptr; }))
        << "the new project was not scanned: " << Frame().GetFilesScanned() << " files";
    view = View();
    ASSERT_TRUE(Quiet());
    EXPECT_EQ(ColumnOf("Title"), 0u) << "the titles were left out";
    const ROWCOL nDescription = ColumnOf("Description"), nKeywords = ColumnOf("Keywords");
    ASSERT_NE(nDescription, 0u);
    ASSERT_NE(nKeywords, 0u);
    const ROWCOL nA = RowOf("a.htm"), nB = RowOf("b.htm"), nC = RowOf("c.htm");
    const std::vector<std::string> suggestedA = SuggestionsOf("a.htm"), suggestedB = SuggestionsOf("b.htm"),
                                    suggestedC = SuggestionsOf("c.htm");
    // Each page, its own keywords and the suggestions the scan found for it.
    const std::tuple<const char*, const char*, std::vector<std::string>> pages[] = {
        {"a.htm", "garden", suggestedA}, {"b.htm", "water", suggestedB}, {"sub/c.htm", "soil", suggestedC}};
    ASSERT_FALSE(suggestedA.empty()) << "the scan suggested keywords";
    ASSERT_FALSE(suggestedB.empty());
    ASSERT_FALSE(suggestedC.empty());

    // A description typed into a's cell.
    ASSERT_TRUE(ClickAt(CellOnScreen(nA, nDescription)));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nA, nDescription); })) << "the click did not reach the cell";
    ASSERT_TRUE(Xdo("type --delay 20 'Welcome'"));
    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return Cell(nA, nDescription) == "Welcome"; })) << Cell(nA, nDescription);

    // a's keywords: the cell's button opens the Keywords dialog, where every suggestion is
    // chosen and added to the page's own keywords.
    ASSERT_TRUE(ClickAt(CellOnScreen(nA, nKeywords)));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nA, nKeywords) && Settled(); })) << "the click did not reach the cell";
    const CRect keywordsCell = view->CalcCellRect(nA, nKeywords);
    ASSERT_TRUE(ClickAt(ScreenPoint(view->GetSafeHwnd(), keywordsCell.right - 5, keywordsCell.CenterPoint().y), 1, 1));
    When("the Keywords dialog has the focus", [&] { return FocusedAndShown("^Keywords Metatag: ") && ActiveAs<CKeywordsDlg>(); },
         [&] {
             CKeywordsDlg& dlg = *ActiveAs<CKeywordsDlg>();
             CKeywordsGridCtrl& grid = dlg.GetSuggestedGrid();
             const CRect firstRow = grid.CalcCellRect(1, 1), lastRow = grid.CalcCellRect(grid.GetRowCount(), 1);
             const POINT first = ScreenPoint(grid.GetSafeHwnd(), firstRow.CenterPoint().x, firstRow.CenterPoint().y);
             const POINT last = ScreenPoint(grid.GetSafeHwnd(), lastRow.CenterPoint().x, lastRow.CenterPoint().y);
             const POINT add = CentreOnScreen(::GetDlgItem(dlg.GetSafeHwnd(), CKeywordsDlg::kIdAddToExisting));
             const POINT ok = CentreOnScreen(::GetDlgItem(dlg.GetSafeHwnd(), IDOK));
             auto at = [](POINT pt) { return " mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y); };
             // The rows of suggestions from the first to the last, with Shift; then the button
             // and OK, in that order, as the display queues them.
             XdoNow(at(first) + " click 1 keydown shift" + at(last) + " click 1 keyup shift" + at(add) +
                    " click 1" + at(ok) + " click 1");
         });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] {
        for (const std::string& word : suggestedA)
            if (Cell(nA, nKeywords).find(word) == std::string::npos)
                return false;
        return Cell(nA, nKeywords).find("garden") != std::string::npos;
    })) << "a's keywords: " << Cell(nA, nKeywords);

    // Fill Down: the description column chosen by its header, then Ctrl+D.
    ASSERT_TRUE(ClickAt(CellOnScreen(0, nDescription)));
    ASSERT_TRUE(Xdo("key ctrl+d"));
    ASSERT_TRUE(RunUntil([&] { return Cell(nB, nDescription) == "Welcome" && Cell(nC, nDescription) == "Welcome"; }))
        << "b: " << Cell(nB, nDescription) << ", c: " << Cell(nC, nDescription);

    // The keywords column chosen, a right click on it, Group Actions: every page's suggestions
    // added to its keywords.
    ASSERT_TRUE(ClickAt(CellOnScreen(0, nKeywords)));
    ASSERT_TRUE(Quiet());
    ASSERT_TRUE(ClickAt(CellOnScreen(nB, nKeywords), 3, 1));
    // The box that says what the action did, answered by Return.
    std::optional<X11MessageBoxAnswerer> report(std::in_place, *backend, server->DisplayName());
    Choose("Group Actions...");
    When("the keywords group action has the focus", [&] { return FocusedAndShown("^Keywords Metatag$"); },
         [&] { ClickOn(Active(), CGroupKeywordsDlg::kIdAddAction); });
    When("adding is chosen", [&] { return ::IsDlgButtonChecked(Active(), CGroupKeywordsDlg::kIdAddAction) == BST_CHECKED; },
         [&] { ClickOn(Active(), IDOK); });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] {
        return !suggestedB.empty() && Cell(nB, nKeywords).find(suggestedB.front()) != std::string::npos;
    })) << "b's keywords: " << Cell(nB, nKeywords);
    ASSERT_TRUE(RunUntil([&] { return report->Texts().size() == 1 && ProgramHasFocus(); })) << "the action told nothing";
    EXPECT_EQ(report->Texts()[0].rfind("The suggested keywords were added to the keywords of ", 0), 0u) << report->Texts()[0];
    report.reset();

    // Save Edited Files from the Grid Toolbar: the pages take the edits, the old ones go to the trash.
    ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_GRID_TOOLBAR, ID_SAVE_EDITED_FILES)));
    ASSERT_TRUE(RunUntil([&] { return TagContent(ReadFile(site + "/sub/c.htm"), "DESCRIPTION") == "Welcome"; }))
        << ReadFile(site + "/sub/c.htm");
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); })) << "the save did not end";

    // The project saved under a typed name, then closed and opened again from the recent list.
    Type("the main window", "^Vostrel", "ctrl+s");
    HWND fileDialog = nullptr;
    When("the Save Project As dialog has the focus", [&] { return FocusedAndShown("^Save Project As$"); },
         [&] {
             fileDialog = Active();
             XdoNow("type --delay 10 '" + dir.Path() + "/mysite'");
             XdoNow("key Return");
         });
    When("the question about making the file has the focus",
         [&] { return FocusedAndShown("^Save Project As$") && Active() != fileDialog; },
         [&] { XdoNow("key Return"); });
    ASSERT_TRUE(StepsTaken());
    auto title = [&] {
        CString text;
        Frame().GetWindowText(text);
        return std::string(text);
    };
    ASSERT_TRUE(RunUntil([&] { return fs::exists(project) && title().find("mysite.vsp") != std::string::npos; }))
        << "the project was not saved: " << title();

    ASSERT_TRUE(ClickAt(MenuBarItemOnScreen("File")));
    Choose("Close Project");
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return View() == nullptr && Settled(); })) << "the project did not close";
    EXPECT_EQ(title(), "Vostrel");

    ASSERT_TRUE(ClickAt(MenuBarItemOnScreen("File")));
    When("the File menu shows the recent project", [&] {
             RECT r{};
             for (HWND popup : MenuDriver::OpenMenus()) {
                 HMENU menu = MenuDriver::MenuOf(popup);
                 for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
                     if (::GetMenuItemID(menu, i) == ID_FILE_MRU_FILE1 &&
                         !(::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) &&
                         ::GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r))
                         return ShowsNow();
             }
             return false;
         },
         [&] {
             for (HWND popup : MenuDriver::OpenMenus()) {
                 HMENU menu = MenuDriver::MenuOf(popup);
                 RECT r{};
                 for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
                     if (::GetMenuItemID(menu, i) == ID_FILE_MRU_FILE1 && ::GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r))
                         ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, 1, 1);
             }
         });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 3 && View() != nullptr; }))
        << "the project did not open again";
    view = View();
    ASSERT_TRUE(Quiet());
    EXPECT_NE(title().find("mysite.vsp"), std::string::npos) << title();

    // The project's settings came back: no titles, the file column frozen.
    EXPECT_EQ(ColumnOf("Title"), 0u) << "the titles came back";
    EXPECT_EQ(view->GetFrozenCols(), 1u) << "the file column is not frozen";

    // On the screen the file column stays where it is while the grid scrolls to the right: the
    // grid zoomed in from the toolbar until its columns no longer fit, the current cell moved
    // right from a's file cell with the arrow key.
    auto allFit = [&] {
        CRect grid;
        view->GetGridRect(&grid);
        BOOL bLastVisible = FALSE;
        return view->CalcLastVisibleColEx(grid, bLastVisible) == view->GetColCount() && bLastVisible;
    };
    for (int nStep = 0; nStep < 8 && allFit(); ++nStep) {
        const int nZoom = view->GetZoom();
        ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_GRID_TOOLBAR, ID_ZOOM_IN)));
        ASSERT_TRUE(RunUntil([&] { return view->GetZoom() > nZoom && Settled(); })) << "Zoom In did not zoom";
    }
    ASSERT_FALSE(allFit()) << "the columns fit at every zoom";
    ASSERT_TRUE(ClickAt(CellOnScreen(nA, CGroupView::kFileColumn)));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nA, CGroupView::kFileColumn) && Settled(); })) << "the click did not reach the cell";
    const ROWCOL nLeft = view->GetLeftCol();
    // Where the file column stands before the scroll: its heading and the rows below a's (a's
    // cell loses the current cell's mark).
    CRect fileColumn = view->CalcCellRect(0, CGroupView::kFileColumn);
    fileColumn.UnionRect(fileColumn, view->CalcCellRect(view->GetRowCount(), CGroupView::kFileColumn));
    const CRect cellA = view->CalcCellRect(nA, CGroupView::kFileColumn);
    ASSERT_FALSE(cellA.IsRectEmpty());
    cairo_surface_t* before = Shot("reopened");
    for (ROWCOL nCol = 2; nCol <= view->GetColCount(); ++nCol)
        ASSERT_TRUE(Xdo("key Right"));
    ASSERT_TRUE(RunUntil([&] { return view->GetLeftCol() > nLeft && Settled(); })) << "the grid did not scroll to the right";
    cairo_surface_t* after = Shot("reopened-scrolled");
    ASSERT_TRUE(before && after);
    CRect rest;
    view->GetClientRect(&rest);
    rest.left = fileColumn.right;
    EXPECT_EQ(DifferentPixels(before, after, view->GetSafeHwnd(), CRect(fileColumn.left, fileColumn.top, fileColumn.right, cellA.top)), 0)
        << "the file column's heading moved";
    EXPECT_EQ(DifferentPixels(before, after, view->GetSafeHwnd(), CRect(fileColumn.left, cellA.bottom, fileColumn.right, fileColumn.bottom)), 0)
        << "the file column moved";
    EXPECT_GT(DifferentPixels(before, after, view->GetSafeHwnd(), rest), 0) << "the other columns did not move";
    cairo_surface_destroy(before);
    cairo_surface_destroy(after);

    // The grid's copied text: every page with its saved description and keywords.
    ASSERT_TRUE(ClickAt(CellOnScreen(0, 0)));
    ASSERT_TRUE(Xdo("key ctrl+c"));
    std::string copied;
    ASSERT_TRUE(RunUntil([&] {
        copied = clipboard_text::Get(nullptr);
        return copied.find("Welcome") != std::string::npos;
    })) << "the grid's copy: " << copied;
    std::string expected;
    for (const auto& [page, own, suggested] : pages) {
        std::string keywords = own;
        for (const std::string& word : suggested)
            keywords += "," + word;
        std::vector<std::string> cells(view->GetColCount() + 1);
        cells[CGroupView::kFileColumn] = site + "/" + page;
        cells[nKeywords] = keywords;
        cells[nDescription] = "Welcome";
        for (ROWCOL nCol = 1; nCol < cells.size(); ++nCol)
            expected += cells[nCol] + (nCol + 1 < cells.size() ? "\t" : "\r\n");
    }
    EXPECT_EQ(copied, expected) << "the grid's copy";

    // The pages on disk: the typed and filled descriptions, the keywords with the suggestions
    // added, each tag spelt as the page spelt it; the old a.htm is in the trash and no backup
    // lies beside it.
    for (const auto& [page, own, suggested] : pages) {
        SCOPED_TRACE(page);
        const std::string saved = ReadFile(site + "/" + page);
        EXPECT_EQ(TagContent(saved, "DESCRIPTION"), "Welcome") << saved;
        const std::string keywords = TagContent(saved, "KEYWORDS");
        EXPECT_NE(keywords.find(own), std::string::npos) << keywords;
        for (const std::string& word : suggested)
            EXPECT_NE(keywords.find(word), std::string::npos) << word << " in " << keywords;
    }
    EXPECT_EQ(ReadFile(dir.Path() + "/data/Trash/files/a.htm"), original);
    EXPECT_FALSE(fs::exists(site + "/a.htm.old"));
}
