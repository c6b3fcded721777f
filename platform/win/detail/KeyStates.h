// The key-state bookkeeping of the input path and the scan-code table the backends use.
#pragma once

#include "platform/win/Keyboard.h"

// The scan code of a virtual key with KF_EXTENDED (0x100) added for the keys of the extended
// block (arrows, Insert/Delete/Home/End/Page keys, right Ctrl and Alt, keypad Enter and /).
UINT ScanCodeOf(UINT vk);
namespace KeyStates {
// Records a physical key or button change (the input path, when a backend event arrives).
// Callable from any thread.
void SetAsync(UINT vk, bool down);
// Updates the calling thread's key state from a message it retrieves (keys and mouse buttons).
void OnMessageRetrieved(const MSG& msg);
// Records what the display says of a lock key (VK_CAPITAL, VK_NUMLOCK): from then on its
// toggle state is the display's, whatever presses the program saw. Callable from any thread.
void SetLockState(UINT vk, bool on);
// Back to the presses the program sees, until a display says otherwise (a new backend).
void ForgetLockStates();
// Takes the lock keys' state that an input event carries (the kMod…Lock bits of its
// modifiers, as the display had them before the event).
void TakeLockStates(UINT vk, bool keyDown, bool keyUp, bool repeat, UINT modifiers);
} // namespace KeyStates
