// The button control: its model's rules, and the clicks, checks and notifications it produces
// from the mouse, the space bar and messages.
#include "platform/controls/Button.h"
#include "platform/controls/Dialog.h"
#include "tests/platform/controls/ControlsFixture.h"

TEST(ButtonStateTest, CheckRulesFollowTheKindOfButton)
{
    ButtonState check(BS_AUTOCHECKBOX);
    EXPECT_TRUE(check.SetCheck(BST_INDETERMINATE));
    EXPECT_EQ(check.Check(), static_cast<UINT>(BST_CHECKED)) << "a two-state box takes indeterminate as checked";
    EXPECT_FALSE(check.SetCheck(BST_CHECKED)) << "no change, no redraw";
    EXPECT_EQ(check.CheckAfterClick(), static_cast<UINT>(BST_UNCHECKED));

    ButtonState three(BS_AUTO3STATE);
    UINT seen[3];
    for (UINT& s : seen) {
        three.SetCheck(three.CheckAfterClick());
        s = three.Check();
    }
    EXPECT_EQ(seen[0], static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(seen[1], static_cast<UINT>(BST_INDETERMINATE));
    EXPECT_EQ(seen[2], static_cast<UINT>(BST_UNCHECKED));

    ButtonState manual(BS_CHECKBOX);
    EXPECT_EQ(manual.CheckAfterClick(), manual.Check()) << "a manual box leaves its check to the owner";

    ButtonState push(BS_PUSHBUTTON);
    EXPECT_FALSE(push.SetCheck(BST_CHECKED));
    EXPECT_EQ(push.Check(), static_cast<UINT>(BST_UNCHECKED));
    push.SetPushed(true);
    push.SetFocused(true);
    EXPECT_EQ(push.StateBits(), static_cast<UINT>(BST_PUSHED | BST_FOCUS));

    EXPECT_EQ(ButtonState(BS_DEFPUSHBUTTON).DialogCode(), static_cast<UINT>(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
    EXPECT_EQ(ButtonState(BS_PUSHBUTTON).DialogCode(), static_cast<UINT>(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON));
    EXPECT_EQ(ButtonState(BS_AUTORADIOBUTTON).DialogCode(), static_cast<UINT>(DLGC_BUTTON | DLGC_RADIOBUTTON));
    EXPECT_EQ(ButtonState(BS_GROUPBOX).DialogCode(), static_cast<UINT>(DLGC_STATIC));
    EXPECT_TRUE(ButtonState(BS_AUTOCHECKBOX | BS_PUSHLIKE).IsPushLike());
}

class ButtonTest : public ControlsTest {};

TEST_F(ButtonTest, MouseClickNotifiesOnceOnlyWhenReleasedOverTheButton)
{
    HWND button = Child(WC_BUTTON, "OK", BS_PUSHBUTTON | BS_NOTIFY, 10, 10, 80, 24, 7);
    backend->MouseDown(1, At(button, 5, 5));
    backend->ProcessMessages();
    EXPECT_EQ(GetCapture(), button);
    EXPECT_EQ(GetFocus(), button);
    EXPECT_TRUE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    // Dragged off, the button comes up; back on, it goes down again.
    backend->MouseMove(At(button, 200, 5));
    backend->ProcessMessages();
    EXPECT_FALSE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    backend->MouseMove(At(button, 6, 6));
    backend->ProcessMessages();
    EXPECT_TRUE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    backend->MouseUp(1, At(button, 6, 6));
    backend->ProcessMessages();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Commands(7), (std::vector<int>{BN_SETFOCUS, BN_HILITE, BN_UNHILITE, BN_HILITE, BN_UNHILITE, BN_CLICKED}));

    Received().clear();
    backend->Advance(GetDoubleClickTime() + 10);   // a second press, not a double click
    backend->MouseDown(1, At(button, 5, 5));
    backend->MouseUp(1, At(button, 300, 5));
    backend->ProcessMessages();
    EXPECT_EQ(Commands(7), (std::vector<int>{BN_HILITE, BN_UNHILITE})) << "released outside: no click";
}

TEST_F(ButtonTest, SpaceBarPressesAndReleaseClicksAutomaticCheckBoxes)
{
    HWND box = Child(WC_BUTTON, "&Show", BS_AUTOCHECKBOX, 10, 10, 120, 20, 8);
    SetFocus(box);
    backend->KeyDown(VK_SPACE, " ");
    backend->ProcessMessages();
    EXPECT_TRUE(SendMessage(box, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_TRUE(Commands(8).empty()) << "nothing is clicked before the key comes up";
    backend->KeyUp(VK_SPACE);
    backend->ProcessMessages();
    EXPECT_EQ(IsDlgButtonChecked(parent, 8), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(Commands(8), (std::vector<int>{BN_CLICKED}));
    // Losing the focus while the key is down drops the press without a click.
    backend->KeyDown(VK_SPACE, " ");
    backend->ProcessMessages();
    SetFocus(parent);
    backend->KeyUp(VK_SPACE);
    backend->ProcessMessages();
    EXPECT_EQ(IsDlgButtonChecked(parent, 8), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(Commands(8).size(), 1u);
    EXPECT_FALSE(SendMessage(box, BM_GETSTATE, 0, 0) & BST_PUSHED);
}

TEST_F(ButtonTest, AutomaticRadioButtonsCheckOneOfTheirGroup)
{
    HWND a = Child(WC_BUTTON, "A", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 10, 80, 20, 11);
    HWND b = Child(WC_BUTTON, "B", BS_AUTORADIOBUTTON, 10, 30, 80, 20, 12);
    HWND c = Child(WC_BUTTON, "C", BS_AUTORADIOBUTTON, 10, 50, 80, 20, 13);
    HWND other = Child(WC_BUTTON, "Other", BS_AUTORADIOBUTTON | WS_GROUP, 10, 70, 80, 20, 14);
    CheckDlgButton(parent, 14, BST_CHECKED);
    SendMessage(a, BM_SETCHECK, BST_CHECKED, 0);
    SendMessage(c, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(b, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(c, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(other, BM_GETCHECK, 0, 0), BST_CHECKED) << "another group is left alone";
    // The checked button is the one Tab enters the group at.
    EXPECT_FALSE(GetWindowLong(a, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLong(c, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(Commands(13), (std::vector<int>{BN_CLICKED}));

    CheckRadioButton(parent, 11, 13, 12);
    EXPECT_EQ(IsDlgButtonChecked(parent, 11) + IsDlgButtonChecked(parent, 13), 0u);
    EXPECT_EQ(IsDlgButtonChecked(parent, 12), static_cast<UINT>(BST_CHECKED));
}

TEST_F(ButtonTest, OwnerDrawnButtonIsDrawnByItsParentWithItsState)
{
    std::vector<DRAWITEMSTRUCT> draws;
    OnMessage() = [&](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (message != WM_DRAWITEM)
            return false;
        draws.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    };
    HWND button = Child(WC_BUTTON, "", BS_OWNERDRAW, 10, 10, 60, 30, 21);
    UpdateWindow(button);
    ASSERT_FALSE(draws.empty());
    EXPECT_EQ(draws.back().CtlType, static_cast<UINT>(ODT_BUTTON));
    EXPECT_EQ(draws.back().itemAction, static_cast<UINT>(ODA_DRAWENTIRE));
    EXPECT_EQ(draws.back().rcItem.right, 60);
    backend->MouseDown(1, At(button, 3, 3));
    backend->ProcessMessages();
    bool sawSelected = false;
    for (const auto& d : draws)
        sawSelected |= d.itemAction == ODA_SELECT && (d.itemState & ODS_SELECTED);
    EXPECT_TRUE(sawSelected);
    backend->MouseUp(1, At(button, 3, 3));
    backend->ProcessMessages();
    EXPECT_EQ(Commands(21).back(), BN_CLICKED);
}

TEST_F(ButtonTest, PaintsInTheClassicLookWithTheParentsColours)
{
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
    OnMessage() = [&](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_CTLCOLORSTATIC)
            return false;
        result = reinterpret_cast<LRESULT>(yellow);
        return true;
    };
    HWND push = Child(WC_BUTTON, "", BS_DEFPUSHBUTTON, 10, 10, 60, 24, 31);
    HWND box = Child(WC_BUTTON, "", BS_CHECKBOX, 10, 50, 60, 20, 32);
    UpdateWindow(parent);
    UpdateWindow(push);
    UpdateWindow(box);
    EXPECT_EQ(Pixel(push, 0, 0), GetSysColor(COLOR_WINDOWFRAME) & 0xFFFFFF) << "the default button's black frame";
    EXPECT_EQ(Pixel(push, 1, 1), GetSysColor(COLOR_3DHILIGHT) & 0xFFFFFF) << "raised edge";
    EXPECT_EQ(Pixel(push, 30, 12), GetSysColor(COLOR_BTNFACE) & 0xFFFFFF);
    EXPECT_EQ(Pixel(box, 40, 10), 0xFFFF00u) << "a check box stands on the parent's brush";
    EXPECT_EQ(Pixel(box, 6, 10), GetSysColor(COLOR_WINDOW) & 0xFFFFFF) << "inside the box";
    DestroyWindow(box);
    DestroyWindow(push);
    DeleteObject(yellow);
}
