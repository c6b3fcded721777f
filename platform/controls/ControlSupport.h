// What the standard controls share: notifying the parent, asking it for colours, the font a
// control draws with, and the classic sunken frame that stands in for a plain border.
#pragma once

#include "platform/win/UserApi.h"

// Sends WM_COMMAND with the control's id and a notification code to its parent.
void NotifyParent(HWND control, UINT code);
// Asks the parent (the control itself when it has none) for the brush and colours of a
// WM_CTLCOLOR* message; sets the DC's colours. Falls back to the default when it answers null.
HBRUSH ControlColor(HWND control, HDC dc, UINT message);
// The font to draw with when the control was given none (WM_SETFONT with null).
HFONT ControlFont(HFONT font);
// A control created with WS_BORDER shows the sunken client edge of the classic style instead
// of a flat black line; called from WM_NCCREATE.
void UseClientEdgeForBorder(HWND control);
// The pointer a control keeps in its window's extra bytes.
template <typename T>
T* ControlFromWindow(HWND hwnd)
{
    return reinterpret_cast<T*>(GetWindowLongPtr(hwnd, 0));
}
