// Mouse cursors: the standard shapes, cursors made from bitmaps, the current cursor, its show
// count, its position and its clipping rectangle. Backends map the shapes to native cursors.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/WinUser.h"


// The standard cursors (hInstance null and an IDC_ id), or a module's cursor resource (see
// ResourceImages.h); null with ERROR_RESOURCE_NAME_NOT_FOUND for anything else. Callable from
// any thread.
HCURSOR LoadCursor(HINSTANCE hInstance, LPCSTR lpCursorName);
// A cursor from monochrome AND and XOR planes (rows padded to 16 bits), with its hot spot.
HCURSOR CreateCursor(HINSTANCE hInst, int xHotSpot, int yHotSpot, int nWidth, int nHeight,
                     const void* pvANDPlane, const void* pvXORPlane);
// Standard cursors and those loaded from resources are shared and never destroyed; TRUE for them.
BOOL DestroyCursor(HCURSOR hCursor);
// Shows a cursor over the program's windows (null hides it); returns the previous one.
HCURSOR SetCursor(HCURSOR hCursor);
HCURSOR GetCursor();
// Raises or lowers the show count; the cursor shows while it is 0 or more. Returns the count.
int ShowCursor(BOOL bShow);
BOOL GetCursorPos(LPPOINT lpPoint);
// Moves the pointer: windows see a mouse move to the point.
BOOL SetCursorPos(int X, int Y);
// Keeps the pointer in a screen rectangle (null: anywhere).
BOOL ClipCursor(const RECT* lpRect);
BOOL GetClipCursor(LPRECT lpRect);
