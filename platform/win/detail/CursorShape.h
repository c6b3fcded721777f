// The cursor internals backends and the input path share: what a cursor handle shows, and the
// shown cursor.
#pragma once

#include "platform/win/Cursor.h"

#include <cstdint>
#include <vector>

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
