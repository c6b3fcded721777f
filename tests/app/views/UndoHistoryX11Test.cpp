// The undo history of the project grid on the X server, by the keys: an edit too large for the
// undo buffer, let go on at the question, ends it, so that neither Ctrl+Z nor Ctrl+Y replays an
// older step over what the edit wrote and the Edit menu shows both grey; and the history of a
// grid whose window Ctrl+F4 closed comes back with the grid, as the copied cells and the saved
// pages show.
#include "grid/core/CGXFindReplaceState.h"
#include "grid/data/CGXLongOperation.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/Utf8CodePoints.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// One row more than an undo step keeps the old values of.
constexpr UINT kLargePages = 0x8000;

class UndoHistoryX11Test : public MainWindowStepsX11Test {
protected:
    // Whether Edit > Undo and Edit > Redo show grey while the user has the menu open by its
    // keys; the menu is closed again by Escape.
    std::pair<bool, bool> UndoAndRedoGrey(const char* pszShot)
    {
        std::pair<bool, bool> grey{false, false};
        EXPECT_TRUE(Xdo("key alt+e"));
        When("the Edit menu is open", [] {
                 RECT r{};
                 return OpenMenuItem("Undo", &r) != nullptr;
             },
             [&] {
                 RECT r{};
                 HMENU menu = OpenMenuItem("Undo", &r);
                 grey.first = (GetMenuState(menu, ID_EDIT_UNDO, MF_BYCOMMAND) & MF_GRAYED) != 0;
                 grey.second = (GetMenuState(menu, ID_EDIT_REDO, MF_BYCOMMAND) & MF_GRAYED) != 0;
                 if (cairo_surface_t* shot = Shot(pszShot))
                     cairo_surface_destroy(shot);
                 XdoNow("key Escape Escape");
             });
        EXPECT_TRUE(StepsTaken());
        EXPECT_TRUE(RunUntil([&] { return MenuDriver::OpenMenus().empty() && ::GetFocus() == view->GetSafeHwnd(); }));
        return grey;
    }
    // The current cell's column as Ctrl+Space and Ctrl+C copy it, after the keys before them
    // have been handled.
    std::vector<std::string> ColumnAfter(const std::string& keys)
    {
        return ClipboardRows(CopyByKeys(keys + (keys.empty() ? "" : " ") + "ctrl+space ctrl+c"));
    }
    // Replace All from the current cell, by the keys of the Replace dialog, which is closed.
    void ReplaceAll(const std::string& find, const std::string& replacement, size_t nBoxes)
    {
        ASSERT_TRUE(Xdo("key ctrl+h"));
        ReplaceAllSteps(find, replacement);
        ASSERT_TRUE(StepsTaken());
        ASSERT_TRUE(RunUntil([&] { return boxes->Texts().size() == nBoxes; })) << "Replace All said nothing";
        ASSERT_TRUE(RunUntil([&] { return GXGetFindReplaceState().m_hWndDialog != nullptr && CGXLongOperation::GetLevel() == 0; }));
        ASSERT_TRUE(XdoNow("key Escape"));
        ASSERT_TRUE(RunUntil([&] { return GXGetFindReplaceState().m_hWndDialog == nullptr && ::GetFocus() == view->GetSafeHwnd(); }));
    }
    static std::vector<std::string> Column(const std::string& first, const std::string& other)
    {
        std::vector<std::string> values(kLargePages, other);
        values.front() = first;
        return values;
    }
    // The text typed into the cell, from the current cell by the arrows, and Enter.
    bool TypeInto(ROWCOL nRow, ROWCOL nCol, const std::string& text)
    {
        return GoToByKeys(nRow, nCol) && Xdo("type --delay 20 '" + text + "'") && Xdo("key Return") &&
               RunUntil([&] { return view->GetCellValue(nRow, nCol) == text.c_str() && !EditorOpen(); }) &&
               GoToByKeys(nRow, nCol);
    }
    // The grid's window, on the display, holds the keys.
    bool GridHasKeys() { return view != nullptr && ::GetFocus() == view->GetSafeHwnd() && ProgramHasFocus(); }

    std::optional<X11MessageBoxAnswerer> boxes;
};

} // namespace

// A value pasted into the whole Description column of 32,768 pages, and Fill Down over it, each
// let go on without undo: the steps before them, a value typed and a Replace All undone, are
// neither undone nor redone over them.
TEST_F(UndoHistoryX11Test, AnEditTooLargeForUndoEndsTheHistory)
{
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    for (UINT n = 1; n <= kLargePages; ++n)
        std::ofstream(site + "/p" + std::to_string(100000 + n) + ".htm")
            << "<html><head><title>Page " << n << "</title>\n"
            << "<meta name=\"DESCRIPTION\" content=\"The village garden\">\n"
            << "</head><body>x</body></html>\n";
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(kLargePages));
    view = View();
    boxes.emplace(*backend, server->DisplayName(), "o");
    const ROWCOL nTitle = CGroupView::kTitleColumn, nDesc = ColumnOf("Description");

    // A value typed into the first cell, and a Replace All down the column undone: a step on
    // each list.
    ASSERT_TRUE(TypeInto(1, nDesc, "First"));
    ReplaceAll("garden", "orchard", 1);
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_RedoList.GetCount() == 1 && CGXLongOperation::GetLevel() == 0; }));

    // The first title copied and pasted into the whole column; the user goes on at the
    // question. Neither list keeps a step, and Ctrl+Z and Ctrl+Y change nothing.
    ASSERT_TRUE(GoToByKeys(1, nTitle));
    ASSERT_NE(CopyByKeys("ctrl+c"), "(nothing copied)");
    ASSERT_TRUE(GoToByKeys(1, nDesc));
    ASSERT_TRUE(Xdo("key ctrl+space ctrl+v"));
    ASSERT_TRUE(RunUntil([&] { return boxes->Texts().size() == 2 && view->GetCellValue(kLargePages, nDesc) == "Page 1"; }))
        << "the paste did not reach the last row";
    EXPECT_EQ(boxes->Texts()[1], "Operation is too large for the undo buffer. Do you want to continue?");
    EXPECT_EQ(UndoAndRedoGrey("edit-menu-after-large-paste"), std::make_pair(true, true))
        << "the Edit menu offers steps from before the paste";
    EXPECT_EQ(ColumnAfter("ctrl+z ctrl+y"), Column("Page 1", "Page 1"));

    // The same again, and Fill Down of the whole column by Ctrl+D: Ctrl+Y does not bring the
    // Replace All back over the filled cells, nor Ctrl+Z the value typed.
    ASSERT_TRUE(TypeInto(1, nDesc, "Second"));
    ReplaceAll("Page", "Seite", 3);
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_RedoList.GetCount() == 1 && CGXLongOperation::GetLevel() == 0; }));
    ASSERT_TRUE(Xdo("key ctrl+space ctrl+d"));
    ASSERT_TRUE(RunUntil([&] { return boxes->Texts().size() == 4 && view->GetCellValue(kLargePages, nDesc) == "Second"; }))
        << "Fill Down did not reach the last row";
    EXPECT_EQ(boxes->Texts()[3], "Operation is too large for the undo buffer. Do you want to continue?");
    EXPECT_EQ(UndoAndRedoGrey("edit-menu-after-large-fill"), std::make_pair(true, true))
        << "the Edit menu offers steps from before Fill Down";
    EXPECT_EQ(ColumnAfter("ctrl+y ctrl+z"), Column("Second", "Second"));
}

// A title typed and a description typed and undone, then the grid's window closed by Ctrl+F4
// and brought back by Enter in the Project Area: Undo and Redo are offered again, go back and
// forth over both edits in their pages, and the save writes what the grid shows.
TEST_F(UndoHistoryX11Test, TheHistoryOfAGridClosedByCtrlF4ComesBackWithIt)
{
    const std::string typed = "\xC3\x89p\xC3\xA9\x65 \xC3\x9F \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE6\x9D\xB1\xE4\xBA\xAC";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSite(true);
    const ROWCOL nTitle = ColumnOf("Title"), nDesc = ColumnOf("Description");
    ASSERT_EQ(ColumnOf("Keywords"), nTitle + 1);
    ASSERT_EQ(nDesc, nTitle + 2);
    const ROWCOL nA = RowOf("a.htm"), nB = RowOf("b.htm");
    ASSERT_EQ(nB, nA + 1);
    const std::string a = ReadFile(site + "/a.htm"), b = ReadFile(site + "/b.htm");
    const auto shown = [&] { return CopiedCells(nA, nTitle, nB, nDesc); };
    const auto rows = [](const std::string& strTitleA, const std::string& strDescB) {
        return std::vector<std::string>{strTitleA + "\tred, green\tFirst page", "Beta\tred, green\t" + strDescB};
    };

    ASSERT_TRUE(ClickAt(CellOnScreen(nA, nTitle), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return GridHasKeys() && IsCurrent(nA, nTitle); })) << "the click did not reach the cell";
    ASSERT_TRUE(XdoNow("type --delay 30 '" + typed + "'") && XdoNow("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(nA, nTitle) == typed.c_str() && !EditorOpen(); }));
    ASSERT_TRUE(GoToByKeys(nB, nDesc) && Xdo("type --delay 30 'Changed'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(nB, nDesc) == "Changed" && !EditorOpen(); }));
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(nB, nDesc) == "Second page"; })) << "Ctrl+Z undid nothing";
    const std::vector<std::string> titleTyped = rows(typed, "Second page");
    ASSERT_EQ(shown(), titleTyped);

    // The window closed, and brought back from the Project Area's tree.
    const HWND hDocument = view->GetParentFrame()->GetSafeHwnd();
    const HWND hTree = Frame().GetProjectAreaBar()->GetTree().GetSafeHwnd();
    ASSERT_TRUE(Xdo("key ctrl+F4"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hDocument) && Settled(); })) << "Ctrl+F4 did not close the grid's window";
    view = nullptr;
    const auto treeHasKeys = [&] { return ::GetFocus() == hTree && ProgramHasFocus(); };
    if (!treeHasKeys())
        ASSERT_TRUE(Xdo("key shift+F6"));
    ASSERT_TRUE(RunUntil(treeHasKeys)) << "the keys did not reach the Project Area";
    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return (view = View()) != nullptr && GridHasKeys() && Settled(); }))
        << "Enter on the project's item did not bring its grid back with the keys";
    EXPECT_EQ(shown(), titleTyped);
    EXPECT_EQ(UndoAndRedoGrey("edit-menu-after-ctrl-f4"), std::make_pair(false, false))
        << "the grid came back without its history";

    // Forth over the description, back over both edits, forth over both again.
    ASSERT_TRUE(Xdo("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(nB, nDesc) == "Changed"; })) << "Ctrl+Y did not redo the description";
    EXPECT_EQ(shown(), rows(typed, "Changed"));
    ASSERT_TRUE(Xdo("key ctrl+z ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && view->GetCellValue(nA, nTitle) == "Alpha"; }))
        << "Ctrl+Z did not undo the title typed before the window closed";
    EXPECT_EQ(shown(), rows("Alpha", "Second page"));
    ASSERT_TRUE(Xdo("key ctrl+y ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_RedoList.IsEmpty() && view->GetCellValue(nB, nDesc) == "Changed"; }));
    EXPECT_EQ(shown(), rows(typed, "Changed"));

    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); })) << "the save did not end";
    std::string savedA = a, savedB = b;
    savedA.replace(savedA.find("Alpha"), 5, NumericReferences(typed));
    savedB.replace(savedB.find("Second page"), 11, "Changed");
    EXPECT_EQ(ReadFile(site + "/a.htm"), savedA);
    EXPECT_EQ(ReadFile(site + "/b.htm"), savedB);
}
