// The X11 backend's pure rules: the keysym → virtual-key table and the override-redirect rule.
#include "platform/backends/x11/X11Backend.h"
#include "platform/backends/x11/X11Keys.h"
#include "platform/win/detail/KeyStates.h"
#include "platform/win/WinUser.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

TEST(X11KeysTest, LettersAndDigitsAreTheirUpperCaseCharacters)
{
    EXPECT_EQ(KeyFromKeysym(XK_a).vk, 'A');
    EXPECT_EQ(KeyFromKeysym(XK_z).vk, 'Z');
    EXPECT_EQ(KeyFromKeysym(XK_Q).vk, 'Q');
    EXPECT_EQ(KeyFromKeysym(XK_0).vk, '0');
    EXPECT_EQ(KeyFromKeysym(XK_9).vk, '9');
    EXPECT_EQ(KeyFromKeysym(XK_a).scan, ScanCodeOf('A'));
}

TEST(X11KeysTest, FunctionKeysUpToF24)
{
    EXPECT_EQ(KeyFromKeysym(XK_F1).vk, static_cast<UINT>(VK_F1));
    EXPECT_EQ(KeyFromKeysym(XK_F10).vk, static_cast<UINT>(VK_F10));
    EXPECT_EQ(KeyFromKeysym(XK_F24).vk, static_cast<UINT>(VK_F24));
}

TEST(X11KeysTest, NavigationAndEditingKeys)
{
    struct Case {
        unsigned long keysym;
        UINT vk;
    };
    const Case cases[] = {
        {XK_Left, VK_LEFT},       {XK_Right, VK_RIGHT},   {XK_Up, VK_UP},          {XK_Down, VK_DOWN},
        {XK_Home, VK_HOME},       {XK_End, VK_END},       {XK_Prior, VK_PRIOR},    {XK_Next, VK_NEXT},
        {XK_Insert, VK_INSERT},   {XK_Delete, VK_DELETE}, {XK_BackSpace, VK_BACK}, {XK_Tab, VK_TAB},
        {XK_ISO_Left_Tab, VK_TAB}, {XK_Return, VK_RETURN}, {XK_Escape, VK_ESCAPE}, {XK_space, VK_SPACE},
        {XK_Menu, VK_APPS},       {XK_Pause, VK_PAUSE},   {XK_Print, VK_SNAPSHOT}, {XK_Caps_Lock, VK_CAPITAL},
        {XK_Num_Lock, VK_NUMLOCK}, {XK_Scroll_Lock, VK_SCROLL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyFromKeysym(c.keysym).vk, c.vk) << "keysym " << std::hex << c.keysym;
    // The arrows and the editing block are extended keys.
    EXPECT_TRUE(KeyFromKeysym(XK_Left).scan & KF_EXTENDED);
    EXPECT_TRUE(KeyFromKeysym(XK_Delete).scan & KF_EXTENDED);
}

TEST(X11KeysTest, ModifiersAreGenericKeysWithTheScanCodeOfTheirSide)
{
    EXPECT_EQ(KeyFromKeysym(XK_Shift_L).vk, static_cast<UINT>(VK_SHIFT));
    EXPECT_EQ(KeyFromKeysym(XK_Shift_R).vk, static_cast<UINT>(VK_SHIFT));
    EXPECT_EQ(KeyFromKeysym(XK_Shift_L).scan, ScanCodeOf(VK_LSHIFT));
    EXPECT_EQ(KeyFromKeysym(XK_Shift_R).scan, ScanCodeOf(VK_RSHIFT));
    EXPECT_NE(KeyFromKeysym(XK_Shift_L).scan, KeyFromKeysym(XK_Shift_R).scan);
    EXPECT_EQ(KeyFromKeysym(XK_Control_L).vk, static_cast<UINT>(VK_CONTROL));
    EXPECT_EQ(KeyFromKeysym(XK_Control_R).vk, static_cast<UINT>(VK_CONTROL));
    EXPECT_FALSE(KeyFromKeysym(XK_Control_L).scan & KF_EXTENDED);
    EXPECT_TRUE(KeyFromKeysym(XK_Control_R).scan & KF_EXTENDED);
    EXPECT_EQ(KeyFromKeysym(XK_Alt_L).vk, static_cast<UINT>(VK_MENU));
    EXPECT_EQ(KeyFromKeysym(XK_Alt_R).vk, static_cast<UINT>(VK_MENU));
    EXPECT_TRUE(KeyFromKeysym(XK_Alt_R).scan & KF_EXTENDED);
    EXPECT_EQ(KeyFromKeysym(XK_Meta_L).vk, static_cast<UINT>(VK_MENU));
    EXPECT_EQ(KeyFromKeysym(XK_Meta_R).scan, KeyFromKeysym(XK_Alt_R).scan);
}

TEST(X11KeysTest, KeypadDigitsOperatorsAndEnter)
{
    EXPECT_EQ(KeyFromKeysym(XK_KP_0).vk, static_cast<UINT>(VK_NUMPAD0));
    EXPECT_EQ(KeyFromKeysym(XK_KP_7).vk, static_cast<UINT>(VK_NUMPAD7));
    EXPECT_EQ(KeyFromKeysym(XK_KP_Add).vk, static_cast<UINT>(VK_ADD));
    EXPECT_EQ(KeyFromKeysym(XK_KP_Subtract).vk, static_cast<UINT>(VK_SUBTRACT));
    EXPECT_EQ(KeyFromKeysym(XK_KP_Multiply).vk, static_cast<UINT>(VK_MULTIPLY));
    EXPECT_EQ(KeyFromKeysym(XK_KP_Divide).vk, static_cast<UINT>(VK_DIVIDE));
    EXPECT_EQ(KeyFromKeysym(XK_KP_Decimal).vk, static_cast<UINT>(VK_DECIMAL));
    // Keypad Enter is Enter, told apart by the extended bit.
    EXPECT_EQ(KeyFromKeysym(XK_KP_Enter).vk, static_cast<UINT>(VK_RETURN));
    EXPECT_TRUE(KeyFromKeysym(XK_KP_Enter).scan & KF_EXTENDED);
    EXPECT_FALSE(KeyFromKeysym(XK_Return).scan & KF_EXTENDED);
    // With Num Lock off the keypad moves, but is not the extended block.
    EXPECT_EQ(KeyFromKeysym(XK_KP_Home).vk, static_cast<UINT>(VK_HOME));
    EXPECT_FALSE(KeyFromKeysym(XK_KP_Home).scan & KF_EXTENDED);
    EXPECT_EQ(KeyFromKeysym(XK_KP_Home).scan & 0xFF, KeyFromKeysym(XK_Home).scan & 0xFF);
    EXPECT_TRUE(IsKeypadKeysym(XK_KP_5));
    EXPECT_TRUE(IsKeypadKeysym(XK_KP_Enter));
    EXPECT_FALSE(IsKeypadKeysym(XK_5));
    EXPECT_FALSE(IsKeypadKeysym(XK_Home));
}

TEST(X11KeysTest, PunctuationByTheKeyThatCarriesIt)
{
    EXPECT_EQ(KeyFromKeysym(XK_semicolon).vk, static_cast<UINT>(VK_OEM_1));
    EXPECT_EQ(KeyFromKeysym(XK_colon).vk, static_cast<UINT>(VK_OEM_1));
    EXPECT_EQ(KeyFromKeysym(XK_slash).vk, static_cast<UINT>(VK_OEM_2));
    EXPECT_EQ(KeyFromKeysym(XK_grave).vk, static_cast<UINT>(VK_OEM_3));
    EXPECT_EQ(KeyFromKeysym(XK_bracketleft).vk, static_cast<UINT>(VK_OEM_4));
    EXPECT_EQ(KeyFromKeysym(XK_backslash).vk, static_cast<UINT>(VK_OEM_5));
    EXPECT_EQ(KeyFromKeysym(XK_bracketright).vk, static_cast<UINT>(VK_OEM_6));
    EXPECT_EQ(KeyFromKeysym(XK_apostrophe).vk, static_cast<UINT>(VK_OEM_7));
    EXPECT_EQ(KeyFromKeysym(XK_equal).vk, static_cast<UINT>(VK_OEM_PLUS));
    EXPECT_EQ(KeyFromKeysym(XK_comma).vk, static_cast<UINT>(VK_OEM_COMMA));
    EXPECT_EQ(KeyFromKeysym(XK_minus).vk, static_cast<UINT>(VK_OEM_MINUS));
    EXPECT_EQ(KeyFromKeysym(XK_period).vk, static_cast<UINT>(VK_OEM_PERIOD));
}

TEST(X11KeysTest, UnknownKeysymsHaveNoKey)
{
    EXPECT_EQ(KeyFromKeysym(XK_eacute).vk, 0u);
    EXPECT_EQ(KeyFromKeysym(0).vk, 0u);
    EXPECT_EQ(KeyFromKeysym(0xFFFFFF).vk, 0u);
}

TEST(X11KeysTest, DeleteTypesNothingOtherKeysKeepTheirText)
{
    EXPECT_EQ(KeyText(VK_DELETE, "\x7f"), "");
    EXPECT_EQ(KeyText(VK_BACK, "\b"), "\b");
    EXPECT_EQ(KeyText('A', "a"), "a");
}

TEST(X11KeysTest, Latin1BecomesUtf8)
{
    const char latin1[] = {'a', static_cast<char>(0xE9), static_cast<char>(0xFF)};
    EXPECT_EQ(Latin1ToUtf8(latin1, 3), "a\xC3\xA9\xC3\xBF");
    EXPECT_EQ(Latin1ToUtf8(latin1, 0), "");
}

TEST(X11KeysTest, OverrideRedirectForPopupsWithoutCaptionToolWindowsAndTopmost)
{
    // Menus, drop-downs, tool tips.
    EXPECT_TRUE(IsOverrideRedirectStyle(WS_POPUP, 0));
    EXPECT_TRUE(IsOverrideRedirectStyle(WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW));
    // A caption bar alone is not enough to be a frame: WS_CAPTION is border and title together.
    EXPECT_TRUE(IsOverrideRedirectStyle(WS_POPUP | WS_BORDER, 0));
    // Floating palettes and topmost pop-ups, caption or not.
    EXPECT_TRUE(IsOverrideRedirectStyle(WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW));
    EXPECT_TRUE(IsOverrideRedirectStyle(WS_POPUP | WS_CAPTION, WS_EX_TOPMOST));
    // Dialogs and frames are ordinary undecorated windows.
    EXPECT_FALSE(IsOverrideRedirectStyle(WS_POPUP | WS_CAPTION | WS_SYSMENU, 0));
    EXPECT_FALSE(IsOverrideRedirectStyle(WS_OVERLAPPEDWINDOW, 0));
    EXPECT_FALSE(IsOverrideRedirectStyle(WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW));
    // A window meant for the task bar, caption or not, is managed.
    EXPECT_FALSE(IsOverrideRedirectStyle(WS_POPUP, WS_EX_APPWINDOW | WS_EX_TOPMOST));
    EXPECT_FALSE(IsOverrideRedirectStyle(0, WS_EX_TOPMOST));
}
