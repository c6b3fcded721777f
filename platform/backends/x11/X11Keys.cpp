// The keysym → virtual-key table.
#include "platform/backends/x11/X11Keys.h"

#include "platform/win/detail/KeyStates.h"
#include "platform/win/VirtualKeys.h"

#include <X11/keysym.h>

#include <algorithm>
#include <array>

namespace {

struct Entry {
    unsigned long keysym;
    UINT vk;
    UINT scanVk;   // the key whose scan code is reported (the side of a modifier); 0: vk
};

// Everything that is neither a letter, a digit nor a function key.
constexpr std::array kTable = {
    Entry{XK_BackSpace, VK_BACK, 0},
    Entry{XK_Tab, VK_TAB, 0},
    Entry{XK_ISO_Left_Tab, VK_TAB, 0},   // Shift+Tab: the Tab key with Shift held
    Entry{XK_Linefeed, VK_RETURN, 0},
    Entry{XK_Clear, VK_CLEAR, 0},
    Entry{XK_Return, VK_RETURN, 0},
    Entry{XK_Pause, VK_PAUSE, 0},
    Entry{XK_Scroll_Lock, VK_SCROLL, 0},
    Entry{XK_Sys_Req, VK_SNAPSHOT, 0},
    Entry{XK_Escape, VK_ESCAPE, 0},
    Entry{XK_Delete, VK_DELETE, 0},
    Entry{XK_Home, VK_HOME, 0},
    Entry{XK_Left, VK_LEFT, 0},
    Entry{XK_Up, VK_UP, 0},
    Entry{XK_Right, VK_RIGHT, 0},
    Entry{XK_Down, VK_DOWN, 0},
    Entry{XK_Prior, VK_PRIOR, 0},
    Entry{XK_Next, VK_NEXT, 0},
    Entry{XK_End, VK_END, 0},
    Entry{XK_Begin, VK_CLEAR, 0},
    Entry{XK_Select, VK_SELECT, 0},
    Entry{XK_Print, VK_SNAPSHOT, 0},
    Entry{XK_Execute, VK_EXECUTE, 0},
    Entry{XK_Insert, VK_INSERT, 0},
    Entry{XK_Menu, VK_APPS, 0},
    Entry{XK_Cancel, VK_CANCEL, 0},
    Entry{XK_Help, VK_HELP, 0},
    Entry{XK_Break, VK_CANCEL, 0},
    Entry{XK_Num_Lock, VK_NUMLOCK, 0},
    Entry{XK_Caps_Lock, VK_CAPITAL, 0},
    Entry{XK_Shift_Lock, VK_CAPITAL, 0},
    Entry{XK_space, VK_SPACE, 0},
    // Modifiers: the generic key, told apart by the scan code.
    Entry{XK_Shift_L, VK_SHIFT, VK_LSHIFT},
    Entry{XK_Shift_R, VK_SHIFT, VK_RSHIFT},
    Entry{XK_Control_L, VK_CONTROL, VK_LCONTROL},
    Entry{XK_Control_R, VK_CONTROL, VK_RCONTROL},
    Entry{XK_Alt_L, VK_MENU, VK_LMENU},
    Entry{XK_Alt_R, VK_MENU, VK_RMENU},
    Entry{XK_Meta_L, VK_MENU, VK_LMENU},
    Entry{XK_Meta_R, VK_MENU, VK_RMENU},
    Entry{XK_ISO_Level3_Shift, VK_MENU, VK_RMENU},   // AltGr
    Entry{XK_Super_L, VK_LWIN, 0},
    Entry{XK_Super_R, VK_RWIN, 0},
    // The keypad with Num Lock on.
    Entry{XK_KP_0, VK_NUMPAD0, 0},
    Entry{XK_KP_1, VK_NUMPAD1, 0},
    Entry{XK_KP_2, VK_NUMPAD2, 0},
    Entry{XK_KP_3, VK_NUMPAD3, 0},
    Entry{XK_KP_4, VK_NUMPAD4, 0},
    Entry{XK_KP_5, VK_NUMPAD5, 0},
    Entry{XK_KP_6, VK_NUMPAD6, 0},
    Entry{XK_KP_7, VK_NUMPAD7, 0},
    Entry{XK_KP_8, VK_NUMPAD8, 0},
    Entry{XK_KP_9, VK_NUMPAD9, 0},
    Entry{XK_KP_Decimal, VK_DECIMAL, 0},
    Entry{XK_KP_Separator, VK_SEPARATOR, 0},
    Entry{XK_KP_Multiply, VK_MULTIPLY, 0},
    Entry{XK_KP_Add, VK_ADD, 0},
    Entry{XK_KP_Subtract, VK_SUBTRACT, 0},
    Entry{XK_KP_Divide, VK_DIVIDE, 0},
    Entry{XK_KP_Enter, VK_RETURN, 0},   // extended: set below
    Entry{XK_KP_Equal, VK_OEM_PLUS, 0},
    Entry{XK_KP_Space, VK_SPACE, 0},
    Entry{XK_KP_Tab, VK_TAB, 0},
    // The keypad with Num Lock off: the navigation keys, with the keypad's (non-extended) scan
    // codes.
    Entry{XK_KP_Home, VK_HOME, 0},
    Entry{XK_KP_Left, VK_LEFT, 0},
    Entry{XK_KP_Up, VK_UP, 0},
    Entry{XK_KP_Right, VK_RIGHT, 0},
    Entry{XK_KP_Down, VK_DOWN, 0},
    Entry{XK_KP_Prior, VK_PRIOR, 0},
    Entry{XK_KP_Next, VK_NEXT, 0},
    Entry{XK_KP_End, VK_END, 0},
    Entry{XK_KP_Begin, VK_CLEAR, 0},
    Entry{XK_KP_Insert, VK_INSERT, 0},
    Entry{XK_KP_Delete, VK_DELETE, 0},
    // Punctuation by the key of the US layout that carries it, shifted or not.
    Entry{XK_semicolon, VK_OEM_1, 0},
    Entry{XK_colon, VK_OEM_1, 0},
    Entry{XK_equal, VK_OEM_PLUS, 0},
    Entry{XK_plus, VK_OEM_PLUS, 0},
    Entry{XK_comma, VK_OEM_COMMA, 0},
    Entry{XK_minus, VK_OEM_MINUS, 0},
    Entry{XK_underscore, VK_OEM_MINUS, 0},
    Entry{XK_period, VK_OEM_PERIOD, 0},
    Entry{XK_greater, VK_OEM_PERIOD, 0},
    Entry{XK_slash, VK_OEM_2, 0},
    Entry{XK_question, VK_OEM_2, 0},
    Entry{XK_grave, VK_OEM_3, 0},
    Entry{XK_asciitilde, VK_OEM_3, 0},
    Entry{XK_bracketleft, VK_OEM_4, 0},
    Entry{XK_braceleft, VK_OEM_4, 0},
    Entry{XK_backslash, VK_OEM_5, 0},
    Entry{XK_bar, VK_OEM_5, 0},
    Entry{XK_bracketright, VK_OEM_6, 0},
    Entry{XK_braceright, VK_OEM_6, 0},
    Entry{XK_apostrophe, VK_OEM_7, 0},
    Entry{XK_quotedbl, VK_OEM_7, 0},
    // The extra key of the 102-key layouts carries < and > unshifted.
    Entry{XK_less, VK_OEM_102, 0},
};

} // namespace

X11Key KeyFromKeysym(unsigned long keysym)
{
    UINT vk = 0;
    UINT scanVk = 0;
    if (keysym >= XK_a && keysym <= XK_z)
        vk = static_cast<UINT>('A' + (keysym - XK_a));
    else if (keysym >= XK_A && keysym <= XK_Z)
        vk = static_cast<UINT>('A' + (keysym - XK_A));
    else if (keysym >= XK_0 && keysym <= XK_9)
        vk = static_cast<UINT>('0' + (keysym - XK_0));
    else if (keysym >= XK_F1 && keysym <= XK_F24)
        vk = static_cast<UINT>(VK_F1 + (keysym - XK_F1));
    else {
        auto it = std::find_if(kTable.begin(), kTable.end(), [&](const Entry& e) { return e.keysym == keysym; });
        if (it == kTable.end())
            return X11Key{};
        vk = it->vk;
        scanVk = it->scanVk;
    }
    X11Key key{vk, ScanCodeOf(scanVk ? scanVk : vk)};
    if (keysym == XK_KP_Enter)
        key.scan |= KF_EXTENDED;
    else if (IsKeypadKeysym(keysym) && keysym != XK_KP_Divide)
        key.scan &= ~static_cast<UINT>(KF_EXTENDED);   // the keypad's own keys, not the extended block
    return key;
}

bool IsKeypadKeysym(unsigned long keysym)
{
    return keysym >= XK_KP_Space && keysym <= XK_KP_9;
}

std::string KeyText(UINT vk, std::string text)
{
    if (vk == VK_DELETE)
        return std::string();
    return text;
}

std::string Latin1ToUtf8(const char* bytes, int length)
{
    std::string out;
    for (int i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
