// The keyboard state: each thread's key state as of the last message it retrieved, the
// physical (asynchronous) state, and the virtual-key and scan-code tables.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/WinUser.h"

#ifndef MAPVK_VK_TO_VSC
#define MAPVK_VK_TO_VSC 0
#define MAPVK_VSC_TO_VK 1
#define MAPVK_VK_TO_CHAR 2
#define MAPVK_VSC_TO_VK_EX 3
#endif

// The state of a key when the calling thread's last message was retrieved: the high bit when
// down, bit 0 when toggled (Caps Lock on, or pressed an odd number of times).
SHORT GetKeyState(int nVirtKey);
// The key's physical state now: 0x8000 when down, bit 0 when it was pressed since the previous
// call. Callable from any thread.
SHORT GetAsyncKeyState(int vKey);
// The 256 bytes of the calling thread's key state (0x80 down, 0x01 toggled).
BOOL GetKeyboardState(BYTE* lpKeyState);
BOOL SetKeyboardState(BYTE* lpKeyState);
// Translates between virtual keys, scan codes (the PC keyboard's set 1) and characters. 0 when
// there is no translation. Callable from any thread.
UINT MapVirtualKey(UINT uCode, UINT uMapType);

// ---- For the input path and the backends ----
// The scan code of a virtual key with KF_EXTENDED (0x100) added for the keys of the extended
// block (arrows, Insert/Delete/Home/End/Page keys, right Ctrl and Alt, keypad Enter and /).
UINT ScanCodeOf(UINT vk);
namespace KeyStates {
// Records a physical key or button change (the input path, when a backend event arrives).
// Callable from any thread.
void SetAsync(UINT vk, bool down);
// Updates the calling thread's key state from a message it retrieves (keys and mouse buttons).
void OnMessageRetrieved(const MSG& msg);
} // namespace KeyStates
