// The toolbars and the Edit menu after the user has changed a cell: the Main Toolbar keeps its
// name whatever the Undo item says, a floated toolbar shows the same command states as the
// menu, and Undo and Redo name what they would do and keep their shortcuts.
#include "tests/app/UserStepsX11Fixture.h"

#include <map>

#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECStdBtn.h"
#include "toolkit/toolbars/SECToolBarManager.h"

namespace {

class MainWindowToolbarsX11Test : public MainWindowStepsX11Test {
protected:
    SECCustomToolBar* MainToolbar() { return Frame().GetToolBarManager()->ToolBarFromID(ID_VIEW_TOOLBARS); }
    CString NameOf(CWnd* pWnd)
    {
        CString text;
        pWnd->GetWindowText(text);
        return text;
    }
    // The user types a new title for a.htm and presses Enter: one change to undo.
    void ChangeATitle(const char* pszText)
    {
        ASSERT_TRUE(ClickAt(CellOnScreen(RowOf("a.htm"), ColumnOf("Title"))));
        ASSERT_TRUE(WaitForFocus(view->GetSafeHwnd()));
        ASSERT_TRUE(Xdo(std::string("type --delay 20 '") + pszText + "'"));
        ASSERT_TRUE(Xdo("key Return"));
        const bool stored = RunUntil([&] { return view->GetCellValue(RowOf("a.htm"), ColumnOf("Title")) == pszText; });
        cairo_surface_destroy(Shot("typed-title"));
        ASSERT_TRUE(stored) << "the typed title never reached the cell: "
                            << view->GetCellValue(RowOf("a.htm"), ColumnOf("Title"));
        ASSERT_TRUE(Quiet());
    }
    // The user floats the Main Toolbar with a double click on its gripper.
    void FloatMainToolbar()
    {
        SECCustomToolBar* pBar = MainToolbar();
        ASSERT_NE(pBar, nullptr);
        CRect rect;
        pBar->GetWindowRect(&rect);
        ASSERT_TRUE(ClickAt(POINT{rect.left + 6, rect.CenterPoint().y}, 1, 2));
        ASSERT_TRUE(RunUntil([&] { return pBar->IsFloating(); })) << "the toolbar did not float";
        ASSERT_TRUE(Quiet());
    }
    static bool Disabled(SECCustomToolBar& bar, UINT nCommand)
    {
        SECStdBtn* pBtn = bar.GetBtn(bar.CommandToIndex(nCommand));
        return pBtn == nullptr || (pBtn->m_nStyle & SEC_TBBS_DISABLED) != 0;
    }
    // What the Edit menu shows of its items while the user has it open: each item's text and
    // whether it is grayed, with the Main Toolbar's state of the same command beside it. The
    // user opens the menu with a click and closes it with Escape.
    struct ItemSeen {
        std::string text;
        bool grayed = false;
        bool buttonDisabled = false;
    };
    std::map<UINT, ItemSeen> EditMenuSeen()
    {
        std::map<UINT, ItemSeen> seen;
        EXPECT_TRUE(ClickAt(MenuBarItemOnScreen("Edit")));
        When("the Edit menu is open", [] {
                 RECT r{};
                 return OpenMenuItem("Cut", &r) != nullptr;
             },
             [&] {
                 RECT r{};
                 HMENU menu = OpenMenuItem("Cut", &r);
                 for (UINT nID : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_UNDO, ID_EDIT_REDO}) {
                     char text[256] = {};
                     GetMenuString(menu, nID, text, sizeof text, MF_BYCOMMAND);
                     seen[nID] = ItemSeen{text, (GetMenuState(menu, nID, MF_BYCOMMAND) & MF_GRAYED) != 0,
                                          Disabled(*MainToolbar(), nID)};
                 }
                 cairo_surface_destroy(Shot("edit-menu-open"));
                 XdoNow("key Escape Escape");   // the menu, then the menu bar
             });
        EXPECT_TRUE(StepsTaken());
        EXPECT_TRUE(Quiet());
        return seen;
    }
    std::string Profile() const
    {
        std::ifstream in(dir.Path() + "/config/vostrel/registry.txt");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

} // namespace

// Undo's update names the change it would undo; the Main Toolbar, which has an Undo button,
// keeps its own name on its floating caption and in the layout saved at the end.
TEST_F(MainWindowToolbarsX11Test, TheMainToolbarKeepsItsNameWhenUndoNamesAChange)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    ChangeATitle("Changed");
    ASSERT_TRUE(view->CanUndo(nullptr));
    EXPECT_EQ(NameOf(MainToolbar()), "Main Toolbar");

    FloatMainToolbar();
    EXPECT_TRUE(RunUntil([&] { return ViewableWindowTitled("Main Toolbar"); })) << "the floating caption";
    cairo_surface_t* shot = Shot("main-toolbar-floating");
    ASSERT_NE(shot, nullptr);
    cairo_surface_destroy(shot);

    // The user closes the program (the edit is not written) and the layout is saved.
    const HWND hFrame = Frame().GetSafeHwnd();
    Type("the question about the edits", "^Vostrel$", "n");
    ASSERT_TRUE(KeysTo(hFrame, "alt+F4"));
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hFrame); })) << "the main window did not close";
    EXPECT_NE(Profile().find("\"WindowName\"=sz:\"Main Toolbar\""), std::string::npos) << Profile();
    EXPECT_EQ(Profile().find("\"WindowName\"=sz:\"Undo"), std::string::npos);
}

// A name damaged in a saved layout is not taken: the Main Toolbar is "Main Toolbar" again at
// the next start.
TEST_F(MainWindowToolbarsX11Test, ADamagedToolbarNameInTheSavedLayoutIsReplaced)
{
    ASSERT_TRUE(Start());
    MainToolbar()->SetWindowText("Undo ");
    Frame().SendMessage(WM_CLOSE);
    ASSERT_TRUE(RunUntil([&] { return Profile().find("\"WindowName\"=sz:\"Undo \"") != std::string::npos; }))
        << "the damaged name was not saved";
    Stop();

    ASSERT_TRUE(Start());
    EXPECT_EQ(NameOf(MainToolbar()), "Main Toolbar");
}

// With the Main Toolbar floated, clicking a cell enables its Cut and Copy as it enables the Edit
// menu's: opened then, the menu and the toolbar show the same states.
TEST_F(MainWindowToolbarsX11Test, AFloatedToolbarAgreesWithTheEditMenu)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    FloatMainToolbar();
    SECCustomToolBar& bar = *MainToolbar();
    EXPECT_TRUE(Disabled(bar, ID_EDIT_UNDO)) << "nothing was done in the grid yet";

    ASSERT_TRUE(ClickAt(CellOnScreen(RowOf("b.htm"), ColumnOf("Title"))));
    EXPECT_TRUE(RunUntil([&] { return !Disabled(bar, ID_EDIT_CUT) && !Disabled(bar, ID_EDIT_COPY); }))
        << "the floating toolbar's Cut and Copy stayed disabled";
    ASSERT_TRUE(Quiet());

    std::map<UINT, ItemSeen> seen = EditMenuSeen();
    ASSERT_EQ(seen.size(), 5u) << "the Edit menu was not seen open";
    for (const auto& [nID, item] : seen)
        EXPECT_EQ(item.grayed, item.buttonDisabled) << item.text;
    EXPECT_FALSE(seen[ID_EDIT_COPY].grayed);
}
