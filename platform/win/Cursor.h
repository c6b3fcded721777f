// Mouse cursors: the standard shapes, cursors made from bitmaps, the current cursor, its show
// count, its position and its clipping rectangle. Backends map the shapes to native cursors.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/WinUser.h"

#include <vector>

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

// ---- For backends and the input path ----
// What a cursor handle shows: a standard shape (its IDC_ number) or a bitmap cursor.
struct CursorShape {
    int standardId = 0;           // 32512 (IDC_ARROW)… or 0 for a bitmap cursor
    POINT hotSpot{0, 0};
    int width = 0;
    int height = 0;
    std::vector<BYTE> andPlane;   // rows of ((width + 15) / 16) * 2 bytes
    std::vector<BYTE> xorPlane;
    // A cursor made from an image: width * height pixels 0xAARRGGBB, top row first; when
    // set, the planes are empty.
    std::vector<uint32_t> argb;
};
// A cursor made from an image (CreateIconIndirect with fIcon FALSE) is kept under the icon's
// handle, so that the same handle serves SetCursor and DrawIcon. Callable from any thread.
void RegisterImageCursor(HCURSOR handle, CursorShape shape);
void ForgetImageCursor(HCURSOR handle);
// A bitmap cursor as the two planes a two-colour display cursor takes: a `mask` bit says the
// pixel shows, a `source` bit that it is dark (shown in the foreground colour, black). Rows of
// (width + 7) / 8 bytes, the leftmost pixel in the least significant bit. Inverting pixels
// show dark.
void CursorBitmaps(const CursorShape& shape, std::vector<BYTE>& source, std::vector<BYTE>& mask);
// What the display should show now: the current cursor, or null while the show count hides
// it. A backend that is installed is told this. Callable from any thread.
HCURSOR ShownCursor();
// The shape behind a cursor handle; false when it names no cursor. Callable from any thread.
bool GetCursorShape(HCURSOR cursor, CursorShape& shape);
// Clamps a screen point into the clipping rectangle, when there is one. Callable from any thread.
POINT ClipCursorPoint(POINT pt);
// The cursor shown for a non-client hit-test code (size arrows on borders, the arrow
// elsewhere); null for HTCLIENT, HTERROR and HTNOWHERE.
HCURSOR CursorForHitTest(int hitTest);
