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
