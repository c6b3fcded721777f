// The window messages that the grid window and the grid view pass to their engine, decoded once
// into the engine's typed handlers.
#pragma once

#include "platform/core/Types.h"

class CGXGridCore;
class CWnd;

// The private messages of the grid windows.
inline constexpr UINT WM_GX_READONLYLOCK = 0x790;
inline constexpr UINT WM_GX_PRIVATE1 = 0x791;
inline constexpr UINT WM_GX_PRIVATE2 = 0x792;
inline constexpr UINT WM_GX_SETFOCUSCELL = 0x7A3;
// Posted by a grid view to itself when a print preview ends, to come back to the rows and
// columns it showed once the frame has laid its panes out again.
inline constexpr UINT WM_GX_PREVIEWCLOSED = 0x7A4;
inline constexpr UINT WM_GX_SIZELOCK = 0x7CB;

enum class GXGridWindowKind { window, view };

// TRUE when the engine took the message, with its result; FALSE leaves it to the window's own
// processing. A window's default processing that must run before the engine's handler runs
// here too, so the caller only falls back when this answers FALSE.
BOOL GXDispatchGridMessage(CGXGridCore& grid, CWnd& wnd, GXGridWindowKind kind, UINT nMessage, WPARAM wParam, LPARAM lParam,
                           LRESULT& lResult);
// Paints a grid window that has not been initialised: the background, once a notice.
void GXPaintUninitialised(CWnd& wnd, BOOL& bReported);
