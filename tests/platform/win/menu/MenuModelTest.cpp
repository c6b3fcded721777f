// The menu model without any window: building menus, finding items by position and command,
// their states, item information, default items, and menus read from templates.
#include "platform/core/ResourceFormats.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/MenuModel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// File (Open, Recent > (One, Two), separator, Exit) and Edit (Undo, Copy).
struct SampleMenu {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU recent = CreatePopupMenu();
    HMENU edit = CreatePopupMenu();
    SampleMenu()
    {
        AppendMenu(recent, MF_STRING, 11, "&One");
        AppendMenu(recent, MF_STRING, 12, "&Two");
        AppendMenu(file, MF_STRING, 1, "&Open...\tCtrl+O");
        AppendMenu(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
        AppendMenu(file, MF_SEPARATOR, 0, nullptr);
        AppendMenu(file, MF_STRING, 2, "E&xit");
        AppendMenu(edit, MF_STRING | MF_GRAYED, 21, "&Undo");
        AppendMenu(edit, MF_STRING | MF_CHECKED, 22, "&Copy");
        AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
        AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
    }
    ~SampleMenu() { DestroyMenu(bar); }
};

std::string Text(HMENU menu, UINT item, UINT flags)
{
    char buffer[64];
    GetMenuString(menu, item, buffer, sizeof(buffer), flags);
    return buffer;
}

TEST(MenuModelTest, ItemsAreFoundByPositionAndByCommandThroughThePopups)
{
    SampleMenu m;
    EXPECT_EQ(GetMenuItemCount(m.bar), 2);
    EXPECT_EQ(GetMenuItemCount(m.file), 4);
    EXPECT_EQ(GetSubMenu(m.bar, 0), m.file);
    EXPECT_EQ(GetSubMenu(m.file, 1), m.recent);
    EXPECT_EQ(GetSubMenu(m.file, 0), nullptr);
    EXPECT_EQ(GetMenuItemID(m.file, 0), 1u);
    EXPECT_EQ(GetMenuItemID(m.file, 1), static_cast<UINT>(-1)) << "a pop-up has no command";
    EXPECT_EQ(GetMenuItemID(m.file, 2), 0u) << "a separator's command is 0";
    EXPECT_EQ(GetMenuItemID(m.file, 9), static_cast<UINT>(-1));
    // By command, the search goes into the pop-ups.
    EXPECT_EQ(Text(m.bar, 12, MF_BYCOMMAND), "&Two");
    EXPECT_EQ(Text(m.bar, 1, MF_BYPOSITION), "&Edit");
    EXPECT_EQ(GetMenuState(m.bar, 22, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(m.bar, 21, MF_BYCOMMAND), static_cast<UINT>(MF_GRAYED));
    // A pop-up's state carries its item count in the high byte.
    EXPECT_EQ(GetMenuState(m.file, 1, MF_BYPOSITION), (2u << 8) | MF_POPUP);
    EXPECT_EQ(GetMenuState(m.file, 2, MF_BYPOSITION), static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(m.bar, 999, MF_BYCOMMAND), static_cast<UINT>(-1));

    // Insertion before a command lands in the pop-up that holds it.
    ASSERT_TRUE(InsertMenu(m.bar, 12, MF_BYCOMMAND | MF_STRING, 13, "One and a &half"));
    EXPECT_EQ(GetMenuItemCount(m.recent), 3);
    EXPECT_EQ(GetMenuItemID(m.recent, 1), 13u);
    ASSERT_TRUE(InsertMenu(m.file, static_cast<UINT>(-1), MF_BYPOSITION | MF_STRING, 3, "&Last"));
    EXPECT_EQ(GetMenuItemID(m.file, 4), 3u);
    ASSERT_TRUE(ModifyMenu(m.bar, 3, MF_BYCOMMAND | MF_STRING | MF_CHECKED, 4, "&Changed"));
    EXPECT_EQ(GetMenuItemID(m.file, 4), 4u);
    EXPECT_EQ(Text(m.file, 4, MF_BYPOSITION), "&Changed");
    EXPECT_EQ(GetMenuState(m.file, 4, MF_BYPOSITION), static_cast<UINT>(MF_CHECKED));
}

TEST(MenuModelTest, StatesReportWhatTheyWereAndMissingItemsSaySo)
{
    SampleMenu m;
    EXPECT_EQ(CheckMenuItem(m.bar, 1, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(m.bar, 1, MF_BYCOMMAND | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(m.bar, 77, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(EnableMenuItem(m.bar, 21, MF_BYCOMMAND | MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
    EXPECT_EQ(EnableMenuItem(m.bar, 21, MF_BYCOMMAND | MF_DISABLED), static_cast<BOOL>(MF_ENABLED));
    EXPECT_EQ(EnableMenuItem(m.bar, 77, MF_BYCOMMAND | MF_GRAYED), -1);
    // Radio items: one checked in the range, with the bullet look.
    HMENU view = CreatePopupMenu();
    for (UINT id = 31; id <= 34; ++id)
        AppendMenu(view, MF_STRING | MF_CHECKED, id, "x");
    ASSERT_TRUE(CheckMenuRadioItem(view, 31, 33, 32, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuState(view, 31, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(view, 33, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(GetMenuState(view, 34, MF_BYCOMMAND) & MF_CHECKED, 0u) << "outside the range: untouched";
    MENUITEMINFO mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfo(view, 32, FALSE, &mii));
    EXPECT_NE(mii.fType & MFT_RADIOCHECK, 0u);
    EXPECT_NE(mii.fState & MFS_CHECKED, 0u);
    EXPECT_FALSE(CheckMenuRadioItem(view, 0, 3, 7, MF_BYPOSITION)) << "the item to check lies outside";
    DestroyMenu(view);
}

TEST(MenuModelTest, DeleteDestroysThePopupRemoveKeepsItAndMenusCannotHoldThemselves)
{
    SampleMenu m;
    ASSERT_TRUE(RemoveMenu(m.file, 1, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(m.recent)) << "removed, not destroyed";
    EXPECT_EQ(GetMenuItemCount(m.file), 3);
    ASSERT_TRUE(AppendMenu(m.file, MF_POPUP, reinterpret_cast<UINT_PTR>(m.recent), "&Recent"));
    ASSERT_TRUE(DeleteMenu(m.file, 3, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(m.recent));
    // A menu may not be put inside itself, directly or through a pop-up.
    EXPECT_FALSE(AppendMenu(m.file, MF_POPUP, reinterpret_cast<UINT_PTR>(m.bar), "&Loop"));
    EXPECT_FALSE(AppendMenu(m.file, MF_POPUP, reinterpret_cast<UINT_PTR>(m.file), "&Self"));
    EXPECT_FALSE(AppendMenu(m.file, MF_POPUP, static_cast<UINT_PTR>(0x1234), "&Bad"));
    EXPECT_EQ(GetMenuItemCount(m.file), 3);
    // Destroying the bar takes every pop-up along; stale handles answer as not menus.
    HMENU bar = m.bar;
    const size_t live = Menus::LiveCount();
    ASSERT_TRUE(DestroyMenu(bar));
    EXPECT_EQ(Menus::LiveCount(), live - 3);
    EXPECT_FALSE(IsMenu(m.file));
    EXPECT_FALSE(IsMenu(m.edit));
    EXPECT_EQ(GetMenuItemCount(bar), -1);
    EXPECT_FALSE(DestroyMenu(bar));
    m.bar = CreateMenu();   // the fixture's destructor has something to destroy
}

TEST(MenuModelTest, ItemInfoCarriesTextDataOwnerDrawingAndTheDefault)
{
    SampleMenu m;
    MENUITEMINFO mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_TYPE | MIIM_ID | MIIM_SUBMENU;
    mii.dwTypeData = nullptr;
    ASSERT_TRUE(GetMenuItemInfo(m.file, 0, TRUE, &mii));
    EXPECT_EQ(mii.cch, std::string("&Open...\tCtrl+O").size()) << "no buffer: the length";
    char small[6];
    mii.dwTypeData = small;
    mii.cch = sizeof(small);
    ASSERT_TRUE(GetMenuItemInfo(m.file, 0, TRUE, &mii));
    EXPECT_STREQ(small, "&Open");
    EXPECT_EQ(mii.wID, 1u);
    mii.fMask = MIIM_SUBMENU;
    ASSERT_TRUE(GetMenuItemInfo(m.file, 1, TRUE, &mii));
    EXPECT_EQ(mii.hSubMenu, m.recent);

    // Owner-drawn with the caller's data: the text stays for whoever turns it back.
    MENUITEMINFO od{};
    od.cbSize = sizeof(od);
    od.fMask = MIIM_FTYPE | MIIM_DATA;
    od.fType = MFT_OWNERDRAW;
    od.dwItemData = 0xABCD;
    ASSERT_TRUE(SetMenuItemInfo(m.file, 2, FALSE, &od));   // Exit, by command
    EXPECT_NE(GetMenuState(m.file, 2, MF_BYCOMMAND) & MF_OWNERDRAW, 0u);
    MENUITEMINFO back{};
    back.cbSize = sizeof(back);
    back.fMask = MIIM_DATA | MIIM_STRING;
    char text[16];
    back.dwTypeData = text;
    back.cch = sizeof(text);
    ASSERT_TRUE(GetMenuItemInfo(m.file, 2, FALSE, &back));
    EXPECT_EQ(back.dwItemData, 0xABCDu);
    EXPECT_STREQ(text, "E&xit");

    // One default per menu; a disabled default counts only when asked for.
    EXPECT_EQ(GetMenuDefaultItem(m.file, FALSE, 0), static_cast<UINT>(-1));
    ASSERT_TRUE(SetMenuDefaultItem(m.file, 1, FALSE));
    ASSERT_TRUE(SetMenuDefaultItem(m.file, 3, TRUE));
    EXPECT_EQ(GetMenuDefaultItem(m.file, FALSE, 0), 2u);
    EXPECT_EQ(GetMenuState(m.file, 0, MF_BYPOSITION) & MF_DEFAULT, 0u);
    ASSERT_TRUE(SetMenuDefaultItem(m.edit, 21, FALSE));
    EXPECT_EQ(GetMenuDefaultItem(m.edit, FALSE, 0), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuDefaultItem(m.edit, FALSE, GMDI_USEDISABLED), 21u);
    // Into pop-ups: the pop-up item's own default.
    ASSERT_TRUE(SetMenuDefaultItem(m.recent, 12, FALSE));
    ASSERT_TRUE(SetMenuDefaultItem(m.file, 1, TRUE));
    EXPECT_EQ(GetMenuDefaultItem(m.file, TRUE, 0), 1u);
    EXPECT_EQ(GetMenuDefaultItem(m.file, FALSE, GMDI_GOINTOPOPUPS), 12u);
    EXPECT_FALSE(SetMenuDefaultItem(m.file, 99, FALSE));
    ASSERT_TRUE(SetMenuDefaultItem(m.file, static_cast<UINT>(-1), FALSE));
    EXPECT_EQ(GetMenuDefaultItem(m.file, TRUE, GMDI_USEDISABLED), static_cast<UINT>(-1));
}

TEST(MenuModelTest, MnemonicsAndShortcutsComeFromTheText)
{
    MenuItem item;
    item.text = "Save &As...\tCtrl+Shift+S";
    EXPECT_EQ(item.Mnemonic(), 'a');
    EXPECT_EQ(item.Label(), "Save &As...");
    EXPECT_EQ(item.Shortcut(), "Ctrl+Shift+S");
    item.text = "Fish && &Chips";
    EXPECT_EQ(item.Mnemonic(), 'c') << "&& is a literal ampersand";
    item.text = "Rock && Roll";
    EXPECT_EQ(item.Mnemonic(), 0);
    item.text = "Trailing&";
    EXPECT_EQ(item.Mnemonic(), 0);
}

TEST(MenuModelTest, TemplatesOfBothFormsBecomeMenus)
{
    MenuTemplate classic;
    MenuTemplateItem file;
    file.popup = true;
    file.option = MF_POPUP;
    file.text = "&File";
    MenuTemplateItem open;
    open.id = 7;
    open.text = "&Open";
    open.option = MF_GRAYED;
    MenuTemplateItem sep;   // option 0, id 0, empty text
    file.children = {open, sep};
    MenuTemplateItem help;
    help.id = 9;
    help.text = "&Help";
    help.option = MF_HELP;
    classic.items = {file, help};
    std::vector<BYTE> bytes = WriteMenuTemplate(classic);
    HMENU menu = LoadMenuIndirect(bytes.data());
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    HMENU sub = GetSubMenu(menu, 0);
    ASSERT_EQ(GetMenuItemCount(sub), 2);
    EXPECT_EQ(GetMenuState(sub, 7, MF_BYCOMMAND), static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(GetMenuState(sub, 1, MF_BYPOSITION), static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(menu, 9, MF_BYCOMMAND), static_cast<UINT>(MF_HELP));
    DestroyMenu(menu);

    MenuTemplate extended;
    extended.extended = true;
    MenuTemplateItem view;
    view.popup = true;
    view.text = "&View";
    MenuTemplateItem radio;
    radio.id = 5;
    radio.type = MFT_RADIOCHECK;
    radio.state = MFS_CHECKED | MFS_DEFAULT;
    radio.text = "&Grid";
    view.children = {radio};
    extended.items = {view};
    bytes = WriteMenuTemplate(extended);
    menu = LoadMenuIndirect(bytes.data());
    ASSERT_NE(menu, nullptr);
    sub = GetSubMenu(menu, 0);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(Text(sub, 5, MF_BYCOMMAND), "&Grid");
    EXPECT_EQ(GetMenuDefaultItem(sub, FALSE, 0), 5u);
    EXPECT_EQ(GetMenuState(sub, 5, MF_BYCOMMAND) & (MF_CHECKED | MF_DEFAULT), static_cast<UINT>(MF_CHECKED | MF_DEFAULT));
    DestroyMenu(menu);

    // A template that is not one gives no menu.
    const BYTE junk[] = {7, 0, 0, 0, 1, 2};
    EXPECT_EQ(LoadMenuIndirect(junk), nullptr);
}

} // namespace
