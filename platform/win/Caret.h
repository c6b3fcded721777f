// The caret: one per thread, owned by a window, shown by inverting its rectangle in the owner's
// client area, blinking by a thread timer, hidden while its window paints.
#pragma once

#include "platform/core/Types.h"

// A caret of w × h pixels (0 means the border width or height): solid when hBitmap is null,
// gray when it is (HBITMAP)1, otherwise the bitmap's pixels XORed onto the window. Replaces the
// thread's caret. The new caret is hidden (ShowCaret shows it).
BOOL CreateCaret(HWND hWnd, HBITMAP hBitmap, int nWidth, int nHeight);
BOOL DestroyCaret();
// Showing and hiding count: the caret shows once ShowCaret was called as often as HideCaret
// (plus the one for creation). hWnd null means the caret's own window; FALSE when the thread's
// caret belongs to another window or there is none.
BOOL ShowCaret(HWND hWnd);
BOOL HideCaret(HWND hWnd);
// Client coordinates of the caret's window.
BOOL SetCaretPos(int X, int Y);
BOOL GetCaretPos(LPPOINT lpPoint);
// Milliseconds between blinks (0 restores the default 530). Callable from any thread.
BOOL SetCaretBlinkTime(UINT uMSeconds);
UINT GetCaretBlinkTime();
