// Undo and Redo while text typed for a cell is not stored yet, on the X server: Ctrl+Z, Edit >
// Undo and the toolbar's Undo take back the typing in the open cell editor, or in the field above
// the grid, and Ctrl+Y brings it back; the grid's steps, an edit stored before among them, stay as
// they were until the typing is stored. The save then writes what the user stored and nothing
// else.
#include "app/views/CShortcutEditCtrl.h"
#include "grid/core/CGXControl.h"
#include "grid/core/CGXEditControl.h"
#include "platform/afx/AfxRes.h"

#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11KeyboardLetters.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

namespace {

class TypingUndoX11Test : public MainWindowStepsX11Test {
protected:
    void TearDown() override
    {
        // The keys are given back while the display is still open.
        keys.reset();
        MainWindowStepsX11Test::TearDown();
    }

    // Pages as a site holds them: one on a single line with an entity and a script, one in
    // windows-1252 declared by <meta charset>, with CR LF line ends, one that is never edited.
    void WriteSite()
    {
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site);
        pages["one.htm"] = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>One &mdash; first</title>"
                           "<meta name=\"description\" content=\"First &mdash; old\"><script>var s = \"<meta "
                           "name='description' content='no'>\";</script></head><body><p>One</p></body></html>\n";
        pages["two.htm"] = "<html>\r\n<head>\r\n<meta charset=\"windows-1252\">\r\n<title>Caf\xE9</title>\r\n"
                           "<meta name=\"description\" content=\"Caf\xE9 au lait\">\r\n</head>\r\n"
                           "<body>\r\n<p>Caf\xE9</p>\r\n</body>\r\n</html>\r\n";
        pages["three.htm"] = "<html><head><title>Three</title><meta name=\"description\" content=\"Third\">"
                             "</head><body>Three</body></html>\n";
        for (const auto& [name, bytes] : pages)
            std::ofstream(site + "/" + name, std::ios::binary) << bytes;
        WriteProject({"Description"});
    }

    // The site's program started with the letters of the text on keys, and the first text typed
    // into one.htm's Description and stored by Enter.
    ::testing::AssertionResult StartAndStore(const std::string& letters, const std::string& first)
    {
        keys.emplace(other, first + letters);
        if (!keys->Ready())
            return ::testing::AssertionFailure() << "the display has no free keys for the letters";
        WriteSite();
        if (::testing::AssertionResult started = StartWithProject(static_cast<UINT>(pages.size())); !started)
            return started;
        view = View();
        nDesc = ColumnOf("Description");
        nOne = RowOf("one.htm");
        nTwo = RowOf("two.htm");
        if (!GoToByKeys(nOne, nDesc) || !Xdo("type --delay 30 '" + first + "'") || !Xdo("key Return") ||
            !RunUntil([&] { return Value(nOne) == first && EditorText() == "(closed)"; }))
            return ::testing::AssertionFailure() << "the first description was not stored: " << Value(nOne);
        if (UndoSteps() != 1)
            return ::testing::AssertionFailure() << UndoSteps() << " steps of undo";
        return ::testing::AssertionSuccess();
    }

    // The window of the current cell's open editor; null without one.
    HWND EditorWindow()
    {
        ROWCOL nRow = 0, nCol = 0;
        auto* pControl = dynamic_cast<CGXEditControl*>(view->GetCurrentCell(nRow, nCol) ? view->GetControl(nRow, nCol) : nullptr);
        return pControl != nullptr && pControl->IsActive() && pControl->GetEditWnd() != nullptr ? pControl->GetEditWnd()->GetSafeHwnd()
                                                                                                  : nullptr;
    }
    // The text of the current cell's open editor; "(closed)" without one.
    std::string EditorText()
    {
        ROWCOL nRow = 0, nCol = 0;
        CGXControl* pControl = view->GetCurrentCell(nRow, nCol) ? view->GetControl(nRow, nCol) : nullptr;
        if (pControl == nullptr || !pControl->IsActive())
            return "(closed)";
        CString strText;
        pControl->GetCurrentText(strText);
        return strText.GetString();
    }
    std::string Value(ROWCOL nRow) { return view->GetCellValue(nRow, nDesc).GetString(); }
    INT_PTR UndoSteps() { return view->GetParam()->m_UndoList.GetCount(); }
    INT_PTR RedoSteps() { return view->GetParam()->m_RedoList.GetCount(); }

    // Saves by Ctrl+T, then: every page but the two named is as it was, and those differ from
    // what they were only in their description, which holds the bytes given.
    void ExpectSaved(const std::map<std::string, std::string>& descriptions)
    {
        ASSERT_TRUE(Xdo("key ctrl+t"));
        ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && ProgramHasFocus() && Settled(); })) << "the save did not end";
        for (const auto& [name, before] : pages) {
            std::string expected = before;
            if (auto it = descriptions.find(name); it != descriptions.end()) {
                const std::string old = TagContent(before, "description");
                expected.replace(expected.find("content=\"" + old) + 9, old.size(), it->second);
            }
            EXPECT_EQ(ReadFile(site + "/" + name), expected) << name;
        }
    }

    std::map<std::string, std::string> pages;
    std::optional<X11KeyboardLetters> keys;
    ROWCOL nDesc = 0, nOne = 0, nTwo = 0;
};

} // namespace

// A description typed and stored on one page, then letters typed on another without Enter: Ctrl+Z
// gives that cell its text back and leaves the first page's edit and every step alone; Ctrl+Y
// brings the letters back, and so do Edit > Undo and the toolbar's buttons by mouse. What the user
// finally stores is what the save writes.
TEST_F(TypingUndoX11Test, UndoInAnOpenCellEditTakesBackOnlyItsTyping)
{
    const std::string first = "Grüße Ωμέγα", typed = "日本語 é", last = "Straße café";
    ASSERT_TRUE(StartAndStore(typed + last, first));
    const std::string oldTwo = Value(nTwo);
    ASSERT_EQ(oldTwo, "Café au lait");

    ASSERT_TRUE(GoToByKeys(nTwo, nDesc) && Xdo("type --delay 30 '" + typed + "'"));
    ASSERT_TRUE(RunUntil([&] { return EditorText() == typed; })) << EditorText();
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return EditorText() == oldTwo; })) << "Ctrl+Z left the editor with '" << EditorText() << "'";
    EXPECT_EQ(Value(nOne), first) << "Ctrl+Z in the editor took back the stored edit";
    EXPECT_EQ(Value(nTwo), oldTwo);
    EXPECT_EQ(UndoSteps(), 1);
    EXPECT_EQ(RedoSteps(), 0);
    // Nothing more to take back in the editor; Redo is there for the typing.
    EXPECT_EQ(UndoAndRedoGrey("edit-menu-typing-undone"), std::make_pair(true, false));
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(Xdo("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return EditorText() == typed; })) << "Ctrl+Y left the editor with '" << EditorText() << "'";
    EXPECT_EQ(UndoAndRedoGrey(), std::make_pair(false, true));
    EXPECT_EQ(Value(nOne), first);

    // The same by mouse: Edit > Undo, then the toolbar's Redo and Undo.
    ASSERT_TRUE(ClickAt(MenuBarItemOnScreen("Edit"), 1, 1));
    MenuItemSeen seen;
    Choose("Undo", &seen);
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return EditorText() == oldTwo; })) << "Edit > Undo left the editor with '" << EditorText() << "'";
    EXPECT_FALSE(seen.grayed);
    EXPECT_EQ(seen.text, "&Undo\tCtrl+Z");
    ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_VIEW_TOOLBARS, ID_EDIT_REDO), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return EditorText() == typed; })) << "the Redo button left the editor with '" << EditorText() << "'";
    ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_VIEW_TOOLBARS, ID_EDIT_UNDO), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return EditorText() == oldTwo; })) << "the Undo button left the editor with '" << EditorText() << "'";
    EXPECT_EQ(Value(nOne), first);
    EXPECT_EQ(UndoSteps(), 1);
    EXPECT_EQ(RedoSteps(), 0);

    // Stored, the typing is a step of its own: Ctrl+Z takes it back and Ctrl+Y does it again.
    ASSERT_TRUE(Xdo("key ctrl+a BackSpace"));
    ASSERT_TRUE(Xdo("type --delay 30 '" + last + "'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return Value(nTwo) == last && EditorText() == "(closed)"; })) << Value(nTwo);
    EXPECT_EQ(UndoSteps(), 2);
    ASSERT_TRUE(Xdo("key ctrl+y"));
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return Value(nTwo) == oldTwo; }));
    EXPECT_EQ(Value(nOne), first);
    ASSERT_TRUE(Xdo("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return Value(nTwo) == last; }));
    EXPECT_EQ(Value(nOne), first);

    ExpectSaved({{"one.htm", first}, {"two.htm", "Stra\xDF" "e caf\xE9"}});
}

// Letters typed into the field above the grid are an edit not stored yet as well: Ctrl+Z takes
// them back in the field and in the cell, Ctrl+Y brings them back, and the page stored before
// keeps its edit. Enter stores what the field holds.
TEST_F(TypingUndoX11Test, UndoInTheFieldAboveTheGridTakesBackOnlyItsTyping)
{
    const std::string first = "ελληνικά", typed = " ß漢字";
    ASSERT_TRUE(StartAndStore(typed, first));
    const std::string oldTwo = Value(nTwo);
    CShortcutEditCtrl& field = dynamic_cast<CGroupFrame*>(view->GetParentFrame())->GetEditField();
    const auto fieldText = [&] {
        CString strText;
        field.GetWindowText(strText);
        return std::string(strText);
    };
    const auto shown = [&] {
        CString strText;
        view->GetCellText(nTwo, nDesc, strText);
        return std::string(strText);
    };

    ASSERT_TRUE(GoToByKeys(nTwo, nDesc) && Xdo("key F6"));
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == field.GetSafeHwnd() && fieldText() == oldTwo; }));
    ASSERT_TRUE(Xdo("key End") && Xdo("type --delay 30 '" + typed + "'"));
    ASSERT_TRUE(RunUntil([&] { return fieldText() == oldTwo + typed && shown() == oldTwo + typed; })) << fieldText();
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return fieldText() == oldTwo && shown() == oldTwo; }))
        << "Ctrl+Z left the field with '" << fieldText() << "' and the cell with '" << shown() << "'";
    EXPECT_EQ(Value(nOne), first) << "Ctrl+Z in the field took back the stored edit";
    EXPECT_EQ(UndoSteps(), 1);
    EXPECT_EQ(RedoSteps(), 0);
    EXPECT_EQ(::GetFocus(), field.GetSafeHwnd());
    ASSERT_TRUE(Xdo("key ctrl+z ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return fieldText() == oldTwo + typed && shown() == oldTwo + typed; }))
        << "Ctrl+Y left the field with '" << fieldText() << "'";
    EXPECT_EQ(Value(nOne), first);

    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return Value(nTwo) == oldTwo + typed && ::GetFocus() == view->GetSafeHwnd(); }));
    // A later visit's Ctrl+Z takes back only what that visit typed.
    ASSERT_TRUE(Xdo("key F6"));
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == field.GetSafeHwnd(); }));
    ASSERT_TRUE(Xdo("key End x ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return field.IsEditing() && fieldText() == oldTwo + typed; })) << fieldText();
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); }));
    EXPECT_EQ(UndoSteps(), 2);
    EXPECT_EQ(Value(nOne), first);
}

// The edit stored before may be in another folder: picked in the Project Area, the folder's page
// typed into and Ctrl+Z pressed there takes back that typing only, and the save writes the first
// folder's edit.
TEST_F(TypingUndoX11Test, AnEditStoredInAnotherFolderStaysThroughUndoInACellEdit)
{
    const std::string first = "Première", typed = "Δ字";
    std::filesystem::create_directories(dir.Path() + "/site/sub");
    pages["sub/four.htm"] = "<html><head><title>Four</title><meta name=\"description\" content=\"Fourth\"></head></html>\n";
    ASSERT_TRUE(StartAndStore(typed, first));

    CPageNode* pRoot = app->GetPageNodes().GetHead();
    CPageNode* pSub = FolderNamed(pRoot, "sub");
    ASSERT_NE(pSub, nullptr);
    ASSERT_TRUE(ClickAt(OnItemLabel(pSub), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return app->GetSelectedNodes().GetCurrentFolder() == pSub && view->GetRowCount() == 1 && Settled(); }))
        << "the folder's page was not shown";
    ASSERT_TRUE(ClickAt(CellOnScreen(1, 1), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, 1) && ::GetFocus() == view->GetSafeHwnd(); }));
    ASSERT_TRUE(GoToByKeys(1, nDesc));
    ASSERT_TRUE(Xdo("type --delay 30 '" + typed + "'"));
    ASSERT_TRUE(RunUntil([&] { return EditorText() == typed; })) << EditorText();
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return EditorText() == "Fourth"; })) << "Ctrl+Z left the editor with '" << EditorText() << "'";
    EXPECT_EQ(UndoSteps(), 1);
    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return EditorText() == "(closed)"; }));
    EXPECT_EQ(UndoSteps(), 1) << "storing the text the cell had made a step";

    ASSERT_TRUE(ClickAt(OnItemLabel(pRoot), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return app->GetSelectedNodes().GetCurrentFolder() == pRoot && view->GetRowCount() == 4 && Settled(); }));
    EXPECT_EQ(Value(RowOf("one.htm")), first);
    ExpectSaved({{"one.htm", first}});
}

// Letters typed over a long value, in the Keywords and the Description columns: Ctrl+Z gives the
// value back, and Ctrl+Y brings the letters back shown whole in the editor, chosen, from their
// first one, not scrolled away as far as the long value was.
TEST_F(TypingUndoX11Test, TheTypingBroughtBackByRedoShowsWholeInItsEditor)
{
    const std::string value = "Première Straße Ωμέγα 日本語 first second third fourth fifth", typed = "ab ß";
    keys.emplace(other, value + typed);
    ASSERT_TRUE(keys->Ready()) << "the display has no free keys for the letters";
    MakeSite(3);
    WriteProject({"Keywords", "Description"});
    ASSERT_TRUE(StartWithProject(3));
    view = View();
    for (const char* pszColumn : {"Keywords", "Description"}) {
        SCOPED_TRACE(pszColumn);
        const ROWCOL nCol = ColumnOf(pszColumn);
        ASSERT_NE(nCol, 0u);
        ASSERT_TRUE(GoToByKeys(2, nCol) && Xdo("type --delay 20 '" + value + "'") && Xdo("key Return"));
        ASSERT_TRUE(RunUntil([&] { return EditorText() == "(closed)" && std::string(view->GetCellValue(2, nCol)) == value; }));
        ASSERT_TRUE(Xdo("type --delay 30 '" + typed + "'"));
        ASSERT_TRUE(RunUntil([&] { return EditorText() == typed; })) << EditorText();
        ASSERT_TRUE(Xdo("key ctrl+z") && RunUntil([&] { return EditorText() == value; })) << EditorText();
        ASSERT_TRUE(Xdo("key ctrl+y") && RunUntil([&] { return EditorText() == typed; })) << EditorText();
        ASSERT_TRUE(Quiet());
        // The letters are chosen: the highlight on the screen spans them from the first letter's
        // place to the end of the last one, as the editor lays them out.
        const HWND hEditor = EditorWindow();
        ASSERT_NE(hEditor, nullptr);
        CEdit& editor = *static_cast<CEdit*>(CWnd::FromHandle(hEditor));
        const CPoint first = editor.PosFromChar(0);
        CRect client;
        editor.GetClientRect(&client);
        EXPECT_GE(first.x, 0) << "the first letter lies left of the editor";
        cairo_surface_t* shot = Shot((std::string("redo-in-") + pszColumn).c_str());
        ASSERT_NE(shot, nullptr);
        const uint32_t highlight = Rgb(::GetSysColor(COLOR_HIGHLIGHT));
        int nLeft = -1, nRight = -1;
        for (int x = client.left; x < client.right; ++x)
            for (int y = std::max(first.y, client.top); y < client.bottom; ++y)
                if (screen_capture::PixelAt(shot, ScreenPoint(hEditor, x, y)) == highlight) {
                    nLeft = nLeft < 0 ? x : nLeft;
                    nRight = x;
                    break;
                }
        cairo_surface_destroy(shot);
        EXPECT_EQ(nLeft, first.x) << "the highlight does not begin at the first letter";
        EXPECT_GT(nRight - nLeft, 10) << "the letters hardly show";
        ASSERT_TRUE(Xdo("key Escape") && RunUntil([&] { return EditorText() == "(closed)"; }));
    }
}
