#include "StandardControlFixture.h"

#include "platform/controls/ComboBoxDefs.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/ListBoxDefs.h"
#include "platform/core/ThreadApi.h"

#include <algorithm>

namespace {

const char* const kFruit[] = {"Apple", "Apricot", "Banana", "Cherry", "Date", "Fig"};

class ComboBoxTest : public StandardControlTest {
protected:
    void SetUp() override
    {
        StandardControlTest::SetUp();
        font = CreateFont(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Sans");
    }
    void TearDown() override
    {
        StandardControlTest::TearDown();
        DeleteObject(font);
    }
    HWND Combo(DWORD style, int x = 10)
    {
        HWND c = Control(WC_COMBOBOX, style | WS_VSCROLL, x, 10, 150, 200);
        SendMessage(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        for (const char* s : kFruit)
            SendMessage(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        return c;
    }
    // The dropped list: the one visible pop-up of the combo list class.
    HWND DroppedList()
    {
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), [](HWND hwnd, LPARAM out) {
            char name[32] = {};
            GetClassName(hwnd, name, sizeof name);
            if (std::string(name) == WC_COMBOLBOX && IsWindowVisible(hwnd))
                *reinterpret_cast<HWND*>(out) = hwnd;
            return TRUE;
        }, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    // The screen point of a dropped list's item.
    POINT ListItem(int index)
    {
        HWND list = DroppedList();
        RECT r{};
        SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return Screen(list, 10, (r.top + r.bottom) / 2);
    }
    HFONT font = nullptr;
};

} // namespace

TEST_F(ComboBoxTest, DropDownListChosenByMouse)
{
    HWND c = Combo(CBS_DROPDOWNLIST);
    RECT window;
    GetWindowRect(c, &window);
    EXPECT_EQ(window.bottom - window.top, 16 + 8) << "the window is the field; the rest is the list's";
    SendMessage(c, CB_SETCURSEL, 1, 0);
    Log().clear();
    backend->Click(1, Screen(c, 20, 10));
    backend->ProcessMessages();
    ASSERT_TRUE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(GetCapture(), c);
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    RECT dropped;
    GetWindowRect(list, &dropped);
    EXPECT_EQ(dropped.top, window.bottom) << "the list drops just below the field";
    RECT told{};
    SendMessage(c, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&told));
    EXPECT_EQ(told.top, dropped.top);
    EXPECT_EQ(told.bottom, dropped.bottom);

    // Hovering moves the list's highlight; the click on an item chooses it and closes.
    backend->MouseMove(ListItem(4));
    backend->ProcessMessages();
    backend->Click(1, ListItem(3));
    backend->ProcessMessages();
    EXPECT_FALSE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(Text(c), "Cherry");
    EXPECT_EQ(Notifications(c),
              (std::vector<UINT>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
}

TEST_F(ComboBoxTest, FieldIsHighlightedWhileFocused)
{
    HWND c = Combo(CBS_DROPDOWNLIST);
    SendMessage(c, CB_SETCURSEL, 1, 0);
    RECT client;
    GetClientRect(c, &client);
    const int x = client.right - GetSystemMetrics(SM_CXVSCROLL) - 6;
    const int y = client.bottom / 2;
    EXPECT_EQ(PixelAt(c, x, y), SysRgb(COLOR_WINDOW));
    EXPECT_EQ(PixelAt(c, 0, 0), SysRgb(COLOR_BTNSHADOW)) << "the sunken edge";
    EXPECT_EQ(PixelAt(c, client.right - 6, 4), SysRgb(COLOR_BTNFACE)) << "the button";
    SetFocus(c);
    backend->ProcessMessages();
    EXPECT_EQ(PixelAt(c, x, y), SysRgb(COLOR_HIGHLIGHT));
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_EQ(PixelAt(c, x, y), SysRgb(COLOR_WINDOW)) << "no highlight while the list is down";
    SendMessage(c, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(ComboBoxTest, OutsideClickAndEscapeCancelAndRestore)
{
    HWND c = Combo(CBS_DROPDOWNLIST);
    SendMessage(c, CB_SETCURSEL, 0, 0);
    SetFocus(c);
    backend->ProcessMessages();
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    backend->MouseMove(ListItem(4));
    backend->ProcessMessages();
    Log().clear();
    backend->Click(1, Screen(parent, 300, 250));
    backend->ProcessMessages();
    EXPECT_FALSE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 0) << "a click outside goes back to the first choice";
    EXPECT_EQ(Notifications(c), (std::vector<UINT>{CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_SELCHANGE}));

    // Keys: F4 drops, Down moves and tells, Escape goes back, Enter keeps.
    SetFocus(c);
    backend->ProcessMessages();
    Press(VK_F4);
    ASSERT_TRUE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
    Log().clear();
    Press(VK_DOWN);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Notifications(c), (std::vector<UINT>{CBN_SELCHANGE}));
    Log().clear();
    Press(VK_ESCAPE);
    EXPECT_FALSE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Notifications(c), (std::vector<UINT>{CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_SELCHANGE}));
    PressWith(VK_MENU, VK_DOWN);
    ASSERT_TRUE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0)) << "Alt+Down drops too";
    Press(VK_DOWN);
    Press(VK_DOWN);
    Log().clear();
    Press(VK_RETURN);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Notifications(c), (std::vector<UINT>{CBN_SELENDOK, CBN_CLOSEUP}));

    // Closed, arrows and letters choose directly.
    Log().clear();
    Press(VK_DOWN);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 3);
    Type("f");
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 5);
    EXPECT_EQ(Notifications(c), (std::vector<UINT>{CBN_SELCHANGE, CBN_SELCHANGE}));
    EXPECT_FALSE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
}

TEST_F(ComboBoxTest, DropDownEditFollowsSelectionAndReportsTyping)
{
    HWND c = Combo(CBS_DROPDOWN | CBS_AUTOHSCROLL);
    HWND edit = GetDlgItem(c, kComboEditId);
    ASSERT_NE(edit, nullptr);
    Log().clear();
    InvalidateRect(edit, nullptr, TRUE);
    UpdateWindow(edit);
    auto colours = Of(parent, WM_CTLCOLOREDIT);
    ASSERT_FALSE(colours.empty());
    EXPECT_EQ(reinterpret_cast<HWND>(colours.back().lParam), edit) << "the parent is told which part asks";
    SendMessage(c, CB_SETCURSEL, 2, 0);
    EXPECT_EQ(Text(c), "Banana");
    EXPECT_TRUE(Notifications(c).empty()) << "text set from a selection is no edit";
    SetFocus(c);
    backend->ProcessMessages();
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Notifications(c), (std::vector<UINT>{CBN_SETFOCUS}));
    DWORD start = 0, end = 0;
    SendMessage(c, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end, 6u) << "the text is selected on focus";

    Log().clear();
    Press(VK_DOWN);
    EXPECT_EQ(Text(c), "Cherry");
    EXPECT_EQ(Notifications(c), (std::vector<UINT>{CBN_SELCHANGE}));
    Log().clear();
    Press(VK_END);
    Type("s");
    EXPECT_EQ(Text(c), "Cherrys");
    EXPECT_EQ(Notifications(c), (std::vector<UINT>{CBN_EDITUPDATE, CBN_EDITCHANGE}));
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 3) << "typing leaves the list's selection";

    // Dropping finds the item the text begins with; Enter takes it.
    SendMessage(c, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    Type("ban");
    Log().clear();
    Press(VK_F4);
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
    Press(VK_RETURN);
    EXPECT_EQ(Text(c), "Banana");
    EXPECT_EQ(Notifications(c), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));

    // The button drops the list; the focus stays in the edit; leaving the combo closes it.
    RECT client;
    GetClientRect(c, &client);
    backend->Click(1, Screen(c, client.right - 5, client.bottom / 2));
    backend->ProcessMessages();
    EXPECT_TRUE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(GetFocus(), edit);
    Log().clear();
    SetFocus(parent);
    backend->ProcessMessages();
    EXPECT_FALSE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(Notifications(c), (std::vector<UINT>{CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_KILLFOCUS}));
}

TEST_F(ComboBoxTest, SimpleComboListIsAlwaysShown)
{
    HWND c = Combo(CBS_SIMPLE);
    HWND list = GetDlgItem(c, kComboListId);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    RECT r{};
    SendMessage(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    backend->Click(1, Screen(list, 10, (r.top + r.bottom) / 2));
    backend->ProcessMessages();
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Text(c), "Apricot");
    backend->Click(1, Screen(list, 10, (r.top + r.bottom) / 2));
    backend->ProcessMessages();
    auto codes = Notifications(c);
    EXPECT_EQ(codes.back(), static_cast<UINT>(CBN_DBLCLK));
    EXPECT_EQ(std::count(codes.begin(), codes.end(), static_cast<UINT>(CBN_SELCHANGE)), 1);
    EXPECT_FALSE(SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0) && SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
}

TEST_F(ComboBoxTest, OwnerDrawnFieldAndItemsGoToTheParent)
{
    std::vector<MEASUREITEMSTRUCT> measured;
    std::vector<DRAWITEMSTRUCT> drawn;
    Handler() = [&](HWND hwnd, UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (hwnd != parent)
            return false;
        if (message == WM_MEASUREITEM) {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            mis->itemHeight = mis->itemID == static_cast<UINT>(-1) ? 30 : 22;
            measured.push_back(*mis);
            result = TRUE;
            return true;
        }
        if (message == WM_DRAWITEM) {
            drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            result = TRUE;
            return true;
        }
        return false;
    };
    HWND c = Control(WC_COMBOBOX, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, 10, 10, 150, 200);
    for (ULONG_PTR data : {11u, 22u, 33u})
        SendMessage(c, CB_ADDSTRING, 0, static_cast<LPARAM>(data));
    SendMessage(c, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(SendMessage(c, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 30);
    EXPECT_EQ(SendMessage(c, CB_GETITEMHEIGHT, 0, 0), 22);
    for (auto& m : measured)
        EXPECT_EQ(m.CtlType, static_cast<UINT>(ODT_COMBOBOX));
    drawn.clear();
    InvalidateRect(c, nullptr, TRUE);
    UpdateWindow(c);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(drawn[0].itemState & ODS_COMBOBOXEDIT);
    EXPECT_EQ(drawn[0].itemData, 22u);
    EXPECT_EQ(drawn[0].hwndItem, c);
    drawn.clear();
    SendMessage(c, CB_SHOWDROPDOWN, TRUE, 0);
    UpdateWindow(DroppedList());
    ASSERT_EQ(drawn.size(), 3u) << "the dropped list's items";
    EXPECT_EQ(drawn[1].CtlType, static_cast<UINT>(ODT_COMBOBOX));
    EXPECT_TRUE(drawn[1].itemState & ODS_SELECTED);
    SendMessage(c, CB_SHOWDROPDOWN, FALSE, 0);
    Handler() = nullptr;
}
