// The caret's part in painting, and its state for tests.
#pragma once

#include "platform/win/Caret.h"

// The caret leaves the pixels of a window about to paint, and comes back once it painted.
void CaretBeforePaint(HWND hwnd);
void CaretAfterPaint(HWND hwnd);
// The calling thread's caret, for tests: owner, position, size, hide count and whether its
// pixels are inverted on the window now.
struct CaretInfo {
    HWND owner = nullptr;
    POINT pos{0, 0};
    SIZE size{0, 0};
    int hideCount = 0;
    bool drawn = false;
};
CaretInfo GetCaretInfo();
