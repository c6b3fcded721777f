// Undo and Redo of the project grid on the X server, by the user's keys and mouse, over a site
// of two folders: a step taken over another folder's pages, over a sort of them, or in a column
// hidden since, first brings its cells into sight (the folder loaded and chosen in the Project
// Area, the column shown, the cell current), and the Edit menu names it, the status bar back at
// "Ready" once it is done. And a sort stays when the grid's window is closed and opened again.
#include "app/dialogs/CMetaSettingDlg.h"
#include "app/dialogs/CMetaSettingGridCtrl.h"
#include "app/views/CGroupFrame.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11KeyboardLetters.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

// What the user types: letters of four scripts.
const std::string kTyped = "Été ß Ωμέγα 東京";

class FolderUndoX11Test : public MainWindowStepsX11Test {
protected:
    // The letters' keys are given back while the display is still open.
    void TearDown() override
    {
        letters.reset();
        MainWindowStepsX11Test::TearDown();
    }
    // A site of two folders, docs and news, whose pages hold text of several scripts; opened
    // and scanned, the Description column shown.
    void OpenFolders()
    {
        site = dir.Path() + "/site";
        for (const auto& [path, title, description] : kPages) {
            std::filesystem::create_directories(std::filesystem::path(site + "/" + path).parent_path());
            std::ofstream(site + "/" + path) << "<html><head>\n<meta charset=\"utf-8\">\n<title>" << title << "</title>\n"
                                             << "<meta name=\"description\" content=\"" << description << "\">\n"
                                             << "</head><body>" << title << "</body></html>\n";
            before[path] = ReadFile(site + "/" + path);
        }
        SaveCatalogueShowing({"Description"});
        if (HasFatalFailure())
            return;
        OpenSiteProject(0);
        Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
        ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == std::size(kPages); }))
            << "the scan of the site did not end";
        CPageNode* pRoot = app->GetPageNodes().GetHead();
        docs = FolderNamed(pRoot, "docs");
        news = FolderNamed(pRoot, "news");
        ASSERT_TRUE(docs != nullptr && news != nullptr);
        ASSERT_TRUE(Quiet());
    }
    // The program started on the site, the letters typed on keys of their own, docs picked.
    void StartOnDocs()
    {
        letters.emplace(other, kTyped);
        ASSERT_TRUE(letters->Ready()) << "the display has no free keys for the letters";
        ASSERT_TRUE(Start());
        OpenFolders();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(PickByMouse(docs));
    }
    HWND Tree() { return Frame().GetProjectAreaBar()->GetTree().GetSafeHwnd(); }
    // F6 takes the keys from the Project Area's tree to the grid, where Undo and Redo act: in the
    // tree they change no page.
    ::testing::AssertionResult KeysFromTreeToGrid()
    {
        if (::GetFocus() != Tree())
            return ::testing::AssertionFailure() << "the keys are not in the tree";
        if (!Xdo("key F6") || !RunUntil([&] { return View() != nullptr && ::GetFocus() == View()->GetSafeHwnd(); }))
            return ::testing::AssertionFailure() << "F6 did not take the keys to the grid";
        return ::testing::AssertionSuccess();
    }
    // The arrow key that takes the tree's choice from one folder's item to its neighbour's.
    std::string Arrow(CPageNode* pFrom, CPageNode* pTo)
    {
        CFilesInTreeCtrl& tree = Frame().GetProjectAreaBar()->GetTree();
        const auto hFrom = reinterpret_cast<HTREEITEM>(pFrom->m_dwTreeItem);
        return tree.GetNextSiblingItem(hFrom) == reinterpret_cast<HTREEITEM>(pTo->m_dwTreeItem) ? "Down" : "Up";
    }
    // The folder is picked by a click on its item in the Project Area; the hand never comes
    // down twice on the same pixel, which within the double-click time is a double click.
    ::testing::AssertionResult PickByMouse(CPageNode* pFolder)
    {
        POINT pt = OnItemLabel(pFolder);
        pt.x += (++nPicks % 2) * 6;
        if (!ClickAt(pt, 1, 1) || !RunUntil([&] { return Shows(pFolder) && Settled(); }, 10000)) {
            Keep("pick-failed");
            return ::testing::AssertionFailure() << "the click did not bring up " << pFolder->GetName().GetString()
                                                 << "; the grid shows " << ::testing::PrintToString(Rows());
        }
        return ::testing::AssertionSuccess();
    }
    // The grid shows the folder's pages and the Project Area has its item chosen.
    bool Shows(CPageNode* pFolder)
    {
        view = View();
        if (view == nullptr || view->GetRowCount() == 0)
            return false;
        for (ROWCOL nRow = 1; nRow <= view->GetRowCount(); ++nRow) {
            CPageNode* pPage = nullptr;
            if (view->GetRowPage(nRow, pPage) != 0 || pPage->GetParent() != pFolder)
                return false;
        }
        CFilesInTreeCtrl& tree = Frame().GetProjectAreaBar()->GetTree();
        return tree.GetSelectedItem() == reinterpret_cast<HTREEITEM>(pFolder->m_dwTreeItem);
    }
    // The text of a page's cell as the grid shows it.
    std::string Cell(const char* pszPage, const char* pszColumn)
    {
        const ROWCOL nRow = RowOf(pszPage), nCol = ColumnOf(pszColumn);
        return nRow != 0 && nCol != 0 ? std::string(view->GetCellValue(nRow, nCol)) : "(no cell)";
    }
    bool IsCurrentCell(const char* pszPage, const char* pszColumn)
    {
        const ROWCOL nRow = RowOf(pszPage), nCol = ColumnOf(pszColumn);
        return nRow != 0 && nCol != 0 && IsCurrent(nRow, nCol);
    }
    // The pages' names, top to bottom.
    std::vector<std::string> Rows()
    {
        std::vector<std::string> names;
        for (ROWCOL nRow = 1; nRow <= view->GetRowCount(); ++nRow) {
            CPageNode* pPage = nullptr;
            names.push_back(view->GetRowPage(nRow, pPage) == 0 ? std::string(pPage->GetName()) : "(none)");
        }
        return names;
    }
    // A screenshot for a person to look at, kept only when VOSTREL_KEEP_SCREENSHOTS names a folder.
    void Keep(const char* pszName)
    {
        if (std::getenv("VOSTREL_KEEP_SCREENSHOTS") != nullptr)
            if (cairo_surface_t* shot = Shot(pszName))
                cairo_surface_destroy(shot);
    }
    std::string StatusText() { return static_cast<LPCTSTR>(Frame().GetStatusBar().GetPaneText(0)); }
    // While it lives: the folder whose pages the grid showed when the status bar was first
    // painted with "Undoing" in it. A step over another folder says so before that folder's
    // pages are loaded, which may take a while.
    struct FolderAtUndoingText {
        FolderAtUndoingText(FolderUndoX11Test& test) : hook(::SetWindowsHookEx(WH_CALLWNDPROC, &Watch, nullptr, ::GetCurrentThreadId()))
        {
            s_pTest = &test;
            s_pFolder = nullptr;
        }
        ~FolderAtUndoingText()
        {
            ::UnhookWindowsHookEx(hook);
            s_pTest = nullptr;
        }
        FolderAtUndoingText(const FolderAtUndoingText&) = delete;
        FolderAtUndoingText& operator=(const FolderAtUndoingText&) = delete;
        static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam)
        {
            const auto* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (code >= 0 && s_pTest != nullptr && s_pFolder == nullptr && pMsg->message == WM_PAINT &&
                pMsg->hwnd == s_pTest->Frame().GetStatusBar().GetSafeHwnd() && s_pTest->StatusText().rfind("Undoing", 0) == 0) {
                CPageNode* pPage = nullptr;
                if (s_pTest->view->GetRowPage(1, pPage) == 0)
                    s_pFolder = pPage->GetParent();
            }
            return ::CallNextHookEx(nullptr, code, wParam, lParam);
        }
        static CPageNode* Folder() { return s_pFolder; }
        HHOOK hook;
        static inline FolderUndoX11Test* s_pTest = nullptr;
        static inline CPageNode* s_pFolder = nullptr;
    };
    // The text typed into a page's cell, the grid clicked first when the keys are elsewhere.
    ::testing::AssertionResult TypeInto(const char* pszPage, const char* pszColumn)
    {
        const ROWCOL nRow = RowOf(pszPage), nCol = ColumnOf(pszColumn);
        if (nRow == 0 || nCol == 0)
            return ::testing::AssertionFailure() << "no cell of " << pszPage << " in " << pszColumn;
        if (::GetFocus() != view->GetSafeHwnd() &&
            (!ClickAt(CellOnScreen(nRow, CGroupView::kFileColumn), 1, 1) || !RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })))
            return ::testing::AssertionFailure() << "the grid did not take the keys";
        if (!GoToByKeys(nRow, nCol) || !Xdo("type --delay 30 '" + kTyped + "'") || !Xdo("key Return") ||
            !RunUntil([&] { return Cell(pszPage, pszColumn) == kTyped && !EditorOpen() && Settled(); }))
            return ::testing::AssertionFailure() << "the typed text did not reach " << pszPage;
        return ::testing::AssertionSuccess();
    }
    // The keys, then the wait until the grid shows the folder with the page's cell current
    // and the status bar says the text (the step's name while it runs, "Ready" once it is done).
    ::testing::AssertionResult KeysBringUp(const std::string& keys, CPageNode* pFolder, const char* pszPage,
                                           const char* pszColumn, const std::string& said)
    {
        const auto steps = [this] {
            CGroupView* pView = View();
            return pView == nullptr ? std::make_pair(INT_PTR(-1), INT_PTR(-1))
                                    : std::make_pair(pView->GetParam()->m_UndoList.GetCount(), pView->GetParam()->m_RedoList.GetCount());
        };
        const auto before = steps();
        if (!Xdo("key " + keys))
            return ::testing::AssertionFailure() << "xdotool failed";
        if (!RunUntil([&] {
                return steps() != before && Shows(pFolder) && IsCurrentCell(pszPage, pszColumn) && StatusText() == said && Settled();
            }))
            return ::testing::AssertionFailure()
                   << keys << " did not show " << pszPage << "'s " << pszColumn << " in " << pFolder->GetName().GetString()
                   << "; the status bar says \"" << StatusText() << "\"";
        return ::testing::AssertionSuccess();
    }
    // What the Edit menu's Undo and Redo items say.
    std::pair<std::string, std::string> EditMenuItems(const std::string& shot = std::string())
    {
        const UndoItems items = ReadUndoItems(shot);
        return {items.undo, items.redo};
    }
    // The pages on disk that differ from how they were written.
    std::vector<std::string> ChangedOnDisk()
    {
        std::vector<std::string> changed;
        for (const auto& [path, text] : before)
            if (ReadFile(site + "/" + path) != text)
                changed.push_back(path);
        return changed;
    }
    // Ctrl+T saves; the wait until the program has no edits left.
    ::testing::AssertionResult Save()
    {
        if (!Xdo("key ctrl+t") || !RunUntil([&] { return app->IsEdited() == 3 && app->GetRunState() == 0 && Settled(); }))
            return ::testing::AssertionFailure() << "the save did not end";
        return ::testing::AssertionSuccess();
    }

    struct Page {
        const char* path;
        const char* title;
        const char* description;
    };
    static constexpr Page kPages[] = {
        {"docs/a.htm", "Alpha", "Première page"},
        {"docs/b.htm", "Beta Ωμέγα", "Zweite Straße"},
        {"docs/c.htm", "Gamma 東京", "Τρίτη σελίδα"},
        {"news/d.htm", "Delta", "Nachrichten groß"},
        {"news/e.htm", "Epsilon 新聞", "Ειδήσεις"},
    };
    std::map<std::string, std::string> before;
    CPageNode* docs = nullptr;
    CPageNode* news = nullptr;
    int nPicks = 0;
    std::optional<X11KeyboardLetters> letters;
};

} // namespace

// An edit in docs, then news picked by the mouse and F6 to its grid: Ctrl+Z loads docs again,
// chosen in the Project Area, with the edited cell current, and names the step; Ctrl+Y does it
// again in sight. The same after Ctrl+F4 and Enter on news by the keys, and for a sort of docs. The
// save then writes the one edit left, and only it.
TEST_F(FolderUndoX11Test, UndoAndRedoShowTheFolderTheyChange)
{
    StartOnDocs();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(TypeInto("b.htm", "Description"));
    EXPECT_EQ(EditMenuItems(), std::make_pair(std::string("&Undo Description"), std::string("&Redo")));

    // News picked by the mouse; the keys, which stay in the tree, go to its grid by F6, where
    // Ctrl+Z is pressed. The status bar says what is undone while docs is still to be loaded.
    ASSERT_TRUE(PickByMouse(news));
    ASSERT_TRUE(KeysFromTreeToGrid());
    {
        const FolderAtUndoingText watch(*this);
        ASSERT_TRUE(KeysBringUp("ctrl+z", docs, "b.htm", "Description", "Ready"));
        EXPECT_EQ(watch.Folder(), news) << "the status bar named the step only once docs was loaded";
    }
    Keep("undo-brought-docs-back");
    EXPECT_EQ(Cell("b.htm", "Description"), "Zweite Straße");
    EXPECT_EQ(EditMenuItems("edit-menu-names-the-step"), std::make_pair(std::string("&Undo"), std::string("&Redo Description")));
    ASSERT_TRUE(PickByMouse(news));
    ASSERT_TRUE(KeysFromTreeToGrid());
    ASSERT_TRUE(KeysBringUp("ctrl+y", docs, "b.htm", "Description", "Ready"));
    EXPECT_EQ(Cell("b.htm", "Description"), kTyped);

    // The grid closed by Ctrl+F4, news chosen in the tree by the arrow and opened by Enter.
    const HWND hDocument = view->GetParentFrame()->GetSafeHwnd();
    ASSERT_TRUE(Xdo("key ctrl+F4"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hDocument) && ::GetFocus() == Tree(); })) << "Ctrl+F4 left the keys elsewhere";
    ASSERT_TRUE(Xdo("key " + Arrow(docs, news) + " Return"));
    ASSERT_TRUE(RunUntil([&] { return Shows(news) && Settled(); })) << "Enter on news did not bring up its grid";
    ASSERT_TRUE(KeysBringUp("ctrl+z", docs, "b.htm", "Description", "Ready"));
    EXPECT_EQ(Cell("b.htm", "Description"), "Zweite Straße");
    ASSERT_TRUE(KeysBringUp("ctrl+y", docs, "b.htm", "Description", "Ready"));
    EXPECT_EQ(Cell("b.htm", "Description"), kTyped);

    // Docs sorted by its Title column, descending, by the keys; news picked by the keys.
    ASSERT_TRUE(GoToByKeys(1, ColumnOf("Title")) && Xdo("key ctrl+space alt+v d"));
    ASSERT_TRUE(RunUntil([&] { return Rows() == std::vector<std::string>{"c.htm", "b.htm", "a.htm"} && Settled(); }));
    ASSERT_TRUE(Xdo("key shift+F6") && RunUntil([&] { return ::GetFocus() == Tree(); }));
    ASSERT_TRUE(Xdo("key " + Arrow(docs, news)) && RunUntil([&] { return Shows(news) && Settled(); }));
    ASSERT_TRUE(KeysFromTreeToGrid());
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return Shows(docs) && StatusText() == "Ready" && Settled(); }))
        << "the status bar says \"" << StatusText() << "\"";
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.htm", "b.htm", "c.htm"})) << "the sort was not undone in sight";
    ASSERT_TRUE(Xdo("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return Rows() == std::vector<std::string>{"c.htm", "b.htm", "a.htm"} && Settled(); }))
        << "Ctrl+Y did not sort the rows again";
    EXPECT_EQ(StatusText(), "Ready");
    EXPECT_TRUE(Shows(docs));

    ASSERT_TRUE(Save());
    EXPECT_EQ(ChangedOnDisk(), std::vector<std::string>{"docs/b.htm"});
    EXPECT_EQ(TagContent(ReadFile(site + "/docs/b.htm"), "description"), kTyped);
}

// An edit of a Description, then the column hidden in Metatag Settings by the keys: Ctrl+Z shows
// the column again with the edit taken back, its cell current; Ctrl+Y does it again in sight.
// The same with the column hidden by the mouse, its width left at nothing, and with a title
// while Project Settings hides the titles. The save writes the two pages, only what was typed
// changed.
TEST_F(FolderUndoX11Test, UndoShowsTheColumnHiddenSince)
{
    StartOnDocs();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(TypeInto("c.htm", "Description"));

    CMetaSettingDlg* pDlg = nullptr;
    ROWCOL nRow = 0;
    Type("the main window", "^Vostrel -", "alt+o m");
    When("Metatag Settings has the keys", [&] {
             pDlg = dynamic_cast<CMetaSettingDlg*>(CWnd::FromHandlePermanent(::GetActiveWindow()));
             return pDlg != nullptr && ::GetFocus() == pDlg->GetGrid().GetSafeHwnd() && Settled();
         },
         [&] {
             CMetaSettingGridCtrl& grid = pDlg->GetGrid();
             for (ROWCOL r = 1; r <= grid.GetRowCount() && nRow == 0; ++r) {
                 CString strName;
                 grid.GetCellText(r, CMetaSettingGridCtrl::kColName, strName);
                 if (strName == "Description")
                     nRow = r;
             }
             ROWCOL nAt = 0, nAtCol = 0;
             grid.GetCurrentCell(nAt, nAtCol);
             XdoNow("key --delay 40" + ArrowKeys(nAt, nAtCol, nRow, CMetaSettingGridCtrl::kColShow) + " space");
         });
    When("Show is unticked", [&] {
             CString strShow;
             pDlg->GetGrid().GetCellText(nRow, CMetaSettingGridCtrl::kColShow, strShow);
             return strShow == "0" && Settled();
         },
         [&] { XdoNow("key Return"); });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ColumnOf("Description") == 0 && Shows(docs) && Settled(); }))
        << "the Description column still shows";

    ASSERT_TRUE(KeysBringUp("ctrl+z", docs, "c.htm", "Description", "Ready"));
    Keep("undo-showed-the-column");
    EXPECT_EQ(Cell("c.htm", "Description"), "Τρίτη σελίδα");
    ASSERT_TRUE(KeysBringUp("ctrl+y", docs, "c.htm", "Description", "Ready"));
    EXPECT_EQ(Cell("c.htm", "Description"), kTyped);

    // The column hidden by its header's border dragged onto its left edge, news picked (whose
    // grid hides it too): the width's step comes back first, then the edit's, which shows the
    // column in docs again.
    const ROWCOL nDesc = ColumnOf("Description");
    const CRect header = view->CalcCellRect(0, nDesc);
    const POINT edge = ScreenPoint(view->GetSafeHwnd(), header.right - 1, header.CenterPoint().y);
    ASSERT_TRUE(Xdo("mousemove " + std::to_string(edge.x) + " " + std::to_string(edge.y) + " mousedown 1 mousemove " +
                    std::to_string(edge.x - header.Width() - 2) + " " + std::to_string(edge.y) + " mouseup 1"));
    ASSERT_TRUE(RunUntil([&] { return view->IsColHidden(nDesc) && ::GetCapture() == nullptr && Settled(); }))
        << "the drag did not hide the column";
    ASSERT_TRUE(PickByMouse(news));
    ASSERT_TRUE(KeysFromTreeToGrid());
    const INT_PTR nUndoSteps = view->GetParam()->m_UndoList.GetCount();
    ASSERT_TRUE(Xdo("key ctrl+z") &&
                RunUntil([&] { return view->GetParam()->m_UndoList.GetCount() == nUndoSteps - 1 && StatusText() == "Ready" && Settled(); }))
        << "Ctrl+Z did not take the width's step";
    ASSERT_TRUE(KeysBringUp("ctrl+z", docs, "c.htm", "Description", "Ready"));
    EXPECT_FALSE(view->IsColHidden(ColumnOf("Description")));
    EXPECT_EQ(Cell("c.htm", "Description"), "Τρίτη σελίδα");
    ASSERT_TRUE(KeysBringUp("ctrl+y", docs, "c.htm", "Description", "Ready"));
    EXPECT_EQ(Cell("c.htm", "Description"), kTyped);

    // A title typed, then the titles hidden in Project Settings by the keys: Ctrl+Z shows them
    // again, the title taken back; Ctrl+Y types it again in sight.
    ASSERT_TRUE(TypeInto("a.htm", "Title"));
    Type("Project Settings", "^Project Settings", "alt+s Return");
    ASSERT_TRUE(Xdo("key alt+o p"));
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ColumnOf("Title") == 0 && Shows(docs) && Settled(); })) << "the Title column still shows";
    ASSERT_TRUE(KeysBringUp("ctrl+z", docs, "a.htm", "Title", "Ready"));
    EXPECT_EQ(Cell("a.htm", "Title"), "Alpha");
    ASSERT_TRUE(KeysBringUp("ctrl+y", docs, "a.htm", "Title", "Ready"));
    EXPECT_EQ(Cell("a.htm", "Title"), kTyped);

    ASSERT_TRUE(Save());
    EXPECT_EQ(ChangedOnDisk(), (std::vector<std::string>{"docs/a.htm", "docs/c.htm"}));
    std::string expected = before["docs/c.htm"];
    expected.replace(expected.find("Τρίτη σελίδα"), std::string("Τρίτη σελίδα").size(), kTyped);
    EXPECT_EQ(ReadFile(site + "/docs/c.htm"), expected);
    expected = before["docs/a.htm"];
    for (size_t at; (at = expected.find("Alpha")) != std::string::npos && at < expected.find("</title>");)
        expected.replace(at, 5, kTyped);
    EXPECT_EQ(ReadFile(site + "/docs/a.htm"), expected);
}

// Docs sorted by its titles, descending, by the keys; Ctrl+F4 closes the grid and Enter on docs
// in the Project Area opens it again: the rows stand as sorted, and so do news's. The sort undone
// by Ctrl+Z stays undone over Ctrl+F4, and brought back by Ctrl+Y stays, with its Undo offered.
TEST_F(FolderUndoX11Test, ASortStaysWhenTheGridIsClosedAndOpenedAgain)
{
    StartOnDocs();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == Tree(); }) && Xdo("key F6") && RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); }));
    ASSERT_TRUE(GoToByKeys(1, ColumnOf("Title")));
    const std::vector<std::string> sorted{"c.htm", "b.htm", "a.htm"}, unsorted{"a.htm", "b.htm", "c.htm"};
    const struct {
        const char* keys;
        const std::vector<std::string>& rows;
    } steps[] = {{"ctrl+space alt+v d", sorted}, {"ctrl+z", unsorted}, {"ctrl+y", sorted}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.keys);
        ASSERT_TRUE(Xdo(std::string("key ") + step.keys));
        ASSERT_TRUE(RunUntil([&] { return Rows() == step.rows && Settled(); })) << "the keys left " << ::testing::PrintToString(Rows());
        const HWND hDocument = view->GetParentFrame()->GetSafeHwnd();
        ASSERT_TRUE(Xdo("key ctrl+F4"));
        ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hDocument) && ::GetFocus() == Tree(); })) << "Ctrl+F4 left the keys elsewhere";
        ASSERT_TRUE(Xdo("key Return"));
        ASSERT_TRUE(RunUntil([&] { return Shows(docs) && ::GetFocus() == view->GetSafeHwnd() && Settled(); }))
            << "Enter on docs did not bring up its grid with the keys";
        Keep("grid-opened-again");
        EXPECT_EQ(Rows(), step.rows);
    }
    EXPECT_EQ(EditMenuItems().first, "&Undo Sort Rows");
    ASSERT_TRUE(Xdo("key ctrl+z"));
    EXPECT_TRUE(RunUntil([&] { return Rows() == unsorted && Settled(); })) << "Ctrl+Z left " << ::testing::PrintToString(Rows());
    ASSERT_TRUE(Xdo("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return Rows() == sorted && Settled(); })) << "Ctrl+Y left " << ::testing::PrintToString(Rows());
    ASSERT_TRUE(PickByMouse(news));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"e.htm", "d.htm"}));
}
