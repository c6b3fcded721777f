// The keyboard table of the X11 backend: which virtual key (and scan code) an X keysym is.
#pragma once

#include "platform/core/Types.h"

#include <string>

// A key as the window layer sees it: the virtual key of WM_KEYDOWN's wParam and the scan code
// (with KF_EXTENDED) that tells left from right and the extended block from the keypad.
struct X11Key {
    UINT vk = 0;
    UINT scan = 0;
};

// The key an X keysym stands for; vk 0 when the keysym has no virtual key. Letters map to
// 'A'…'Z' whatever their case, digits to '0'…'9'; the left and right Shift, Control and Alt
// keys give VK_SHIFT, VK_CONTROL and VK_MENU with the scan code of their side. Pure: no display
// is needed. Callable from any thread.
X11Key KeyFromKeysym(unsigned long keysym);

// Whether a keysym belongs to the numeric keypad (those are looked up with the Num Lock state
// applied, every other key by its unshifted symbol). Callable from any thread.
bool IsKeypadKeysym(unsigned long keysym);

// The text a key press types (UTF-8 from the display) as the window layer wants it: Delete
// types nothing, although X gives it the DEL character, because only Backspace, Tab, Enter,
// Escape and Ctrl+letter make control characters for WM_CHAR. Callable from any thread.
std::string KeyText(UINT vk, std::string text);

// Latin-1 bytes (what XLookupString gives without an input method) as UTF-8.
std::string Latin1ToUtf8(const char* bytes, int length);
