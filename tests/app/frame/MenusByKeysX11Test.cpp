// Menus opened by keys on the X server: each stands where its button or the keys are, shows its
// first item lit, and its items are chosen by their mnemonic letters.
#include "tests/app/UserStepsX11Fixture.h"

namespace {

class MenusByKeysX11Test : public MainWindowStepsX11Test {
protected:
    // The share, in hundredths, of an open menu item's pixels that show the highlight.
    static int LitShare(cairo_surface_t* shot, const std::string& label)
    {
        RECT r{};
        const int nLit = MenuItemPixels(shot, label, Rgb(::GetSysColor(COLOR_HIGHLIGHT)));
        if (nLit < 0 || OpenMenuItem(label, &r) == nullptr)
            return -1;
        return 100 * nLit / ((r.right - r.left) * (r.bottom - r.top));
    }
    struct MenuSeen {
        int nFirstLit = -1;    // the first item's highlighted share
        int nSecondLit = -1;   // the second item's
        RECT menu{};
    };
    // The user opens a menu with keys in the main window; once the menu shows its first item,
    // the user reads it off the screen, then types the keys into it.
    void OpenReadThenType(const std::string& openKeys, const std::string& first, const std::string& second,
                          MenuSeen& seen, const char* pszShot, const std::string& keys)
    {
        Type("the main window", "^Vostrel -", openKeys);
        When("an open menu shows \"" + first + "\"",
             [first] {
                 RECT r{};
                 return OpenMenuItem(first, &r) != nullptr;
             },
             [this, first, second, &seen, pszShot, keys] {
                 ShowsNow();
                 cairo_surface_t* shot = Shot(pszShot);
                 seen.nFirstLit = LitShare(shot, first);
                 seen.nSecondLit = LitShare(shot, second);
                 if (!MenuDriver::OpenMenus().empty())
                     ::GetWindowRect(MenuDriver::OpenMenus().front(), &seen.menu);
                 if (shot)
                     cairo_surface_destroy(shot);
                 XdoNow("key --delay 30 " + keys);
             });
    }
    // The first item, and only it, showed lit.
    static ::testing::AssertionResult FirstAloneLit(const MenuSeen& seen, const std::string& first)
    {
        if (seen.nFirstLit < 50)
            return ::testing::AssertionFailure() << first << " is not lit (" << seen.nFirstLit << "% of it)";
        if (seen.nSecondLit > 0)
            return ::testing::AssertionFailure() << "the item after " << first << " is lit too";
        return ::testing::AssertionSuccess();
    }
};

} // namespace

// Alt+minus drops the maximised document window's menu from its icon at the start of the menu
// bar, with Restore lit; R restores the window.
TEST_F(MenusByKeysX11Test, AltMinusDropsTheDocumentWindowsMenuFromItsIcon)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    const HWND hDocument = view->GetParentFrame()->GetSafeHwnd();
    ASSERT_TRUE(::IsZoomed(hDocument)) << "the document window is not maximised";
    const HWND hMain = Frame().GetSafeHwnd();
    RECT icon{};
    ASSERT_TRUE(::GetMenuItemRect(hMain, ::GetMenu(hMain), 0, &icon));
    ASSERT_EQ(::GetSubMenu(::GetMenu(hMain), 0), ::GetSystemMenu(hDocument, FALSE)) << "the bar does not start with the icon";

    MenuSeen seen;
    OpenReadThenType("alt+minus", "Restore", "Move", seen, "alt-minus-document-menu", "r");
    ASSERT_TRUE(StepsTaken());
    EXPECT_TRUE(FirstAloneLit(seen, "Restore"));
    EXPECT_LE(std::abs(seen.menu.left - icon.left), 2) << "the menu's left is at " << seen.menu.left << ", the icon's at " << icon.left;
    EXPECT_LE(std::abs(seen.menu.top - icon.bottom), 2) << "the menu's top is at " << seen.menu.top << ", the icon's bottom at " << icon.bottom;
    EXPECT_TRUE(RunUntil([&] { return !::IsZoomed(hDocument) && MenuDriver::OpenMenus().empty(); }))
        << "R in the menu did not restore the document window";
}

// Shift+F10 and the menu key open the grid's and the Project Area's menus with their first item
// lit, and a letter chooses an item.
TEST_F(MenusByKeysX11Test, TheContextMenuKeysLightTheFirstItemAndTakeItsLetters)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid does not have the keys";
    ASSERT_TRUE(IsCurrent(1, CGroupView::kFileColumn));

    // The file cell's menu.
    MenuSeen file;
    OpenReadThenType("shift+F10", "View Web Page", "View HTML Source", file, "shift-f10-file-cell-menu", "Escape");
    ASSERT_TRUE(StepsTaken());
    EXPECT_TRUE(FirstAloneLit(file, "View Web Page"));

    // Two Keywords cells: G chooses Group Actions, whose dialog opens.
    ASSERT_TRUE(GoToByKeys(1, ColumnOf("Keywords")));
    MenuSeen group;
    bool bDialog = false;
    OpenReadThenType("shift+Down Menu", "Group Actions...", "", group, "menu-key-group-menu", "g");
    When("the keywords group action has the focus", [this] { return Matches(FocusedTitle(), "^Keywords Metatag$"); },
         [&] {
             bDialog = true;
             XdoNow("key Escape");
         });
    ASSERT_TRUE(StepsTaken());
    EXPECT_TRUE(FirstAloneLit(group, "Group Actions..."));
    EXPECT_TRUE(bDialog);

    // The Project Area's menu, from the tree that Shift+F6 gave the keys to: H hides the pane.
    CFilesInTreeCtrl& tree = Frame().GetProjectAreaBar()->GetTree();
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd() && MenuDriver::OpenMenus().empty(); }));
    ASSERT_TRUE(Xdo("key shift+F6"));
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == tree.GetSafeHwnd(); })) << "Shift+F6 did not reach the Project Area";
    MenuSeen pane;
    OpenReadThenType("shift+F10", "Allow Docking", "Hide", pane, "shift-f10-project-area-menu", "h");
    ASSERT_TRUE(StepsTaken());
    EXPECT_TRUE(FirstAloneLit(pane, "Allow Docking"));
    EXPECT_TRUE(RunUntil([&] { return !tree.IsWindowVisible(); })) << "H in the menu did not hide the Project Area";
}
