// Mouse tracking for TrackMouseEvent: the leave and hover requests of each thread's tracked
// window, checked by the input path at every mouse event it routes.
#pragma once

#include "platform/win/WinUser.h"

namespace MouseTracking {
// The input path routed a mouse event to `hwnd` with the hit-test code `hitTest` at `screen`.
// Posts the leave of a tracked window the pointer is no longer in and restarts the hover wait
// when the pointer moved out of the hover rectangle.
void OnPointerAt(HWND hwnd, int hitTest, POINT screen);
// The pointer left every window of the program.
void OnPointerGone();
} // namespace MouseTracking
