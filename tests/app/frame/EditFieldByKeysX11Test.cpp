// The edit field above the grid from the keyboard on the X server: F6 takes the keys from the
// grid to the field, its first key replacing the value as in the cell, Enter stores what was
// typed there and gives the keys back to the grid, Escape drops it and gives them back too. The
// clipboard's keys, Ctrl+A, Delete, Ctrl+Z and Ctrl+Y act on the field's text meanwhile.
#include "app/views/CGroupView.h"
#include "app/views/CShortcutEditCtrl.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"

#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/ClipboardText.h"
#include "tests/support/X11KeyboardLetters.h"

#include <optional>

namespace {

class EditFieldByKeysX11Test : public MainWindowStepsX11Test {
protected:
    void TearDown() override
    {
        // The keys are given back while the display is still open.
        letters.reset();
        MainWindowStepsX11Test::TearDown();
    }
    // The program started on the site, the letters of the text on keys of their own, the keys
    // in the grid.
    void StartWithLetters(const std::string& text)
    {
        letters.emplace(other, text);
        ASSERT_TRUE(letters->Ready()) << "the display has no free keys for the letters";
        ASSERT_TRUE(Start());
        OpenSite(true);
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(RunUntil([&] { return KeysAt(view->GetSafeHwnd()); })) << "the grid does not have the keys";
    }
    CShortcutEditCtrl& Field() { return dynamic_cast<CGroupFrame*>(view->GetParentFrame())->GetEditField(); }
    // The program's focus is in the window, and its top-level window has the display's.
    bool KeysAt(HWND hwnd) { return ::GetFocus() == hwnd && ProgramHasFocus(); }
    std::string FieldText()
    {
        CString strText;
        Field().GetWindowText(strText);
        return strText.GetString();
    }

    std::optional<X11KeyboardLetters> letters;
};

} // namespace

TEST_F(EditFieldByKeysX11Test, F6ReachesTheFieldAndEnterOrEscapeGiveTheKeysBack)
{
    const std::string typed = " Grüße Ωμέγα 日本";
    StartWithLetters(typed);
    if (HasFatalFailure())
        return;
    const HWND hGrid = view->GetSafeHwnd(), hField = Field().GetSafeHwnd();
    const ROWCOL nDesc = ColumnOf("Description"), nB = RowOf("b.htm");
    ASSERT_TRUE(GoToByKeys(nB, nDesc));

    // F6 from the grid: what is typed goes into the field, and Enter stores it in the cell.
    ASSERT_TRUE(Xdo("key F6"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hField); })) << "F6 did not give the field the keys";
    ASSERT_TRUE(Xdo("key End"));
    ASSERT_TRUE(Xdo("type --delay 30 '" + typed + "'"));
    ASSERT_TRUE(RunUntil([&] { return FieldText() == "Second page" + typed; })) << "the field holds '" << FieldText() << "'";
    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hGrid); })) << "Enter did not give the keys back to the grid";
    ASSERT_TRUE(IsCurrent(nB, nDesc));
    EXPECT_EQ(CopyByKeys("ctrl+c"), "Second page" + typed);
    EXPECT_EQ(app->IsEdited(), 2u) << "the typed value was not stored in the page";
    // The stored value is one step of the grid's undo history.
    EXPECT_EQ(CopyByKeys("ctrl+z ctrl+c"), "Second page");
    EXPECT_EQ(CopyByKeys("ctrl+y ctrl+c"), "Second page" + typed);

    // Escape drops what was typed and gives the keys back as well.
    ASSERT_TRUE(Xdo("key F6"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hField); })) << "F6 did not give the field the keys again";
    ASSERT_TRUE(Xdo("key End x y"));
    ASSERT_TRUE(RunUntil([&] { return Field().IsEditing() && FieldText() == "Second page" + typed + "xy"; }))
        << "the field holds '" << FieldText() << "'";
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hGrid); })) << "Escape did not give the keys back to the grid";
    EXPECT_EQ(CopyByKeys("ctrl+c"), "Second page" + typed);
    EXPECT_EQ(FieldText(), "Second page" + typed);

    // Enter with nothing typed only goes back: the page of the next row keeps its value unedited.
    const ROWCOL nC = RowOf("c.htm");
    ASSERT_TRUE(GoToByKeys(nC, nDesc));
    const auto nUndoSteps = view->GetParam()->m_UndoList.GetCount();
    ASSERT_TRUE(Xdo("key F6"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hField); }));
    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hGrid); })) << "Enter did not give the keys back to the grid";
    EXPECT_EQ(view->GetParam()->m_UndoList.GetCount(), nUndoSteps) << "Enter with nothing typed made a step of undo";

    // A page's name is not typed over in the field: the keys are refused and said, and the file
    // cell keeps showing its page.
    ASSERT_TRUE(GoToByKeys(nC, CGroupView::kFileColumn));
    const std::string fileCell = CopyByKeys("ctrl+c");
    ASSERT_TRUE(Xdo("key F6"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hField); }));
    const std::string fileField = FieldText();
    ASSERT_TRUE(Xdo("type --delay 30 'zé'"));
    ASSERT_TRUE(RunUntil([&] { return std::string(Frame().GetStatusBar().GetPaneText(0)).rfind("Page names are not edited", 0) == 0; }))
        << "the field took keys for a page's name without a word";
    EXPECT_EQ(FieldText(), fileField);
    EXPECT_FALSE(Field().IsEditing());
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hGrid); }));
    EXPECT_EQ(CopyByKeys("ctrl+c"), fileCell);
    EXPECT_EQ(view->GetParam()->m_UndoList.GetCount(), nUndoSteps);
    ASSERT_TRUE(GoToByKeys(nC, nDesc));

    // From the field, F6 goes on to the next pane and Shift+F6 back to the grid.
    CFilesInTreeCtrl& tree = Frame().GetProjectAreaBar()->GetTree();
    ASSERT_TRUE(Xdo("key F6"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hField); }));
    ASSERT_TRUE(Xdo("key F6"));
    EXPECT_TRUE(RunUntil([&] { return KeysAt(tree.GetSafeHwnd()); })) << "F6 in the field did not go on to the Project Area";
    ASSERT_TRUE(Xdo("key shift+F6"));
    EXPECT_TRUE(RunUntil([&] { return KeysAt(hField); })) << "Shift+F6 did not come back to the field";
    ASSERT_TRUE(Xdo("key shift+F6"));
    EXPECT_TRUE(RunUntil([&] { return KeysAt(hGrid); })) << "Shift+F6 in the field did not go back to the grid";

    // The first key typed after F6 takes the place of the value, as it does in the cell.
    const std::string before = CopyByKeys("ctrl+c");
    ASSERT_TRUE(Xdo("key F6"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hField); }));
    ASSERT_TRUE(Xdo("type --delay 30 'ßΩ'"));
    ASSERT_TRUE(RunUntil([&] { return FieldText() == "ßΩ"; })) << "the field holds '" << FieldText() << "'";
    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hGrid); }));
    EXPECT_EQ(CopyByKeys("ctrl+c"), "ßΩ");
    EXPECT_EQ(CopyByKeys("ctrl+z ctrl+c"), before);
    EXPECT_EQ(CopyByKeys("ctrl+y ctrl+c"), "ßΩ");
}

// A part of a value cut in the field leaves the rest in the field and in the cell, and Escape
// gives back the whole; so do the other keys that change the text there, in a cell's editor's
// way: each step below is read from the field, the cell and the clipboard as the user sees them,
// the page keeping its value meanwhile. Enter stores what the field holds, and the save writes
// that alone.
TEST_F(EditFieldByKeysX11Test, TheClipboardKeysInTheFieldActOnItsText)
{
    const std::string value = "Grüße — Ελληνικά 日本語", rest = "Grüße — Ελληνικά ", part = "日本語";
    StartWithLetters(value);
    if (HasFatalFailure())
        return;
    const HWND hGrid = view->GetSafeHwnd(), hField = Field().GetSafeHwnd();
    const ROWCOL nDesc = ColumnOf("Description"), nB = RowOf("b.htm");
    const std::string page = site + "/b.htm";
    const auto cell = [&] {
        CString strText;
        view->GetCellText(nB, nDesc, strText);
        return std::string(strText);
    };
    const auto pageValue = [&] {
        CPageNode* pPage = nullptr;
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        if (view->GetRowPage(nB, pPage) != 0 || pPage->GetContentList(pList) != 0 || pList->FindByName("Description", pContent) != 0)
            return std::string("(none)");
        return std::string(pContent->GetContent());
    };
    ASSERT_TRUE(GoToByKeys(nB, nDesc));

    // The value typed over the description in the field, stored and saved.
    ASSERT_TRUE(Xdo("key F6") && RunUntil([&] { return KeysAt(hField); }));
    ASSERT_TRUE(Xdo("type --delay 30 '" + value + "'"));
    ASSERT_TRUE(RunUntil([&] { return FieldText() == value; })) << "the field holds '" << FieldText() << "'";
    ASSERT_TRUE(Xdo("key Return") && RunUntil([&] { return KeysAt(hGrid); }));
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); })) << "the save did not end";
    // The page declares no charset: the letters beyond ASCII are written as references.
    const std::string saved = ReadFile(page), partWritten = "&#26085;&#26412;&#35486;";
    const std::string valueWritten = TagContent(saved, "DESCRIPTION");
    ASSERT_EQ(valueWritten.rfind("Gr&#252;&#223;e &#8212; ", 0), 0u) << valueWritten;
    ASSERT_EQ(valueWritten.substr(valueWritten.size() - partWritten.size()), partWritten) << valueWritten;

    ASSERT_TRUE(Xdo("key F6") && RunUntil([&] { return KeysAt(hField) && FieldText() == value; }));
    struct Step {
        const char* keys;
        std::string field;       // what the field and the cell show after the keys
        std::string clipboard;   // what the keys put on the clipboard; empty: nothing
    };
    const Step steps[] = {
        {"End shift+Left shift+Left shift+Left ctrl+x", rest, part},
        {"Home ctrl+v", part + rest, ""},
        {"ctrl+z", rest, ""},
        {"ctrl+y", part + rest, ""},
        {"ctrl+a ctrl+c", part + rest, part + rest},
        {"Home shift+Right shift+Right shift+Right Delete", rest, ""},
        {"ctrl+a shift+Delete", "", rest},
        {"shift+Insert", rest, ""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.keys);
        const DWORD dwClipboard = ::GetClipboardSequenceNumber();
        ASSERT_TRUE(Xdo(std::string("key --delay 30 ") + step.keys));
        EXPECT_TRUE(RunUntil([&] {
            return FieldText() == step.field && cell() == step.field &&
                   (step.clipboard.empty() || ::GetClipboardSequenceNumber() != dwClipboard);
        })) << "the field holds '" << FieldText() << "', the cell '" << cell() << "'";
        if (!step.clipboard.empty()) {
            EXPECT_EQ(clipboard_text::Get(nullptr), step.clipboard);
        }
        EXPECT_TRUE(KeysAt(hField));
        EXPECT_EQ(pageValue(), value) << "the page took the field's text before Enter";
        EXPECT_TRUE(view->GetParam()->m_UndoList.IsEmpty()) << "a key in the field made a step of the grid's undo";
    }
    // The Edit menu offers the field's own Undo, not a step of the grid's.
    const UndoItems items = ReadUndoItems("edit-menu-in-the-field");
    EXPECT_EQ(items.undo, "&Undo");
    EXPECT_FALSE(items.bUndoGrey);

    // Escape gives back the whole value, in the field and the cell; nothing is saved.
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hGrid); })) << "Escape did not give the keys back to the grid";
    EXPECT_EQ(FieldText(), value);
    EXPECT_EQ(cell(), value);
    EXPECT_EQ(pageValue(), value);
    EXPECT_EQ(app->IsEdited(), 3u);
    ASSERT_TRUE(Xdo("key ctrl+t") && Quiet());
    EXPECT_TRUE(ReadFile(page) == saved) << "a save wrote the page after Escape";

    // A part cut and Enter: the rest is stored, and the save writes it.
    ASSERT_TRUE(Xdo("key F6") && RunUntil([&] { return KeysAt(hField); }));
    ASSERT_TRUE(Xdo("key --delay 30 End shift+Left shift+Left shift+Left ctrl+x Return"));
    ASSERT_TRUE(RunUntil([&] { return KeysAt(hGrid) && pageValue() == rest; })) << "the page holds '" << pageValue() << "'";
    EXPECT_EQ(cell(), rest);
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); })) << "the save did not end";
    std::string expected = saved;
    expected.erase(expected.find(valueWritten) + valueWritten.size() - partWritten.size(), partWritten.size());
    EXPECT_EQ(ReadFile(page), expected);
}

