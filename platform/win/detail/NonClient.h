// The default non-client behaviour: drawing frames, edges, captions with their buttons and the
// window scroll bars; clicks on the caption buttons; caption dragging and border sizing in a
// modal move/size loop; caption double-clicks; the scroll bars' system commands.
#pragma once

#include "platform/win/detail/WindowDefaults.h"
#include "platform/win/detail/WindowManager.h"

// Draws a window's whole non-client area into its window DC.
void PaintNonClientArea(HWND hwnd, HDC windowDC);

// The rectangle of a caption button (HTCLOSE, HTMAXBUTTON, HTMINBUTTON) in window
// coordinates, as the hit test places it; empty when the window has no such button.
RECT CaptionButtonRect(HWND hwnd, int hitTest);

// Runs the modal move (SC_MOVE) or size (SC_SIZE + WMSZ_ edge) loop from a screen point with
// the mouse held down: WM_ENTERSIZEMOVE, then WM_MOVING or WM_SIZING with the proposed
// rectangle in screen coordinates (sizes kept within WM_GETMINMAXINFO's tracking sizes) and
// the move, until the button is released; ESC puts the window back.
// WM_EXITSIZEMOVE ends it.
void RunMoveSizeLoop(HWND hwnd, UINT command, POINT screenPt);

// DefWindowProc's non-client messages (installed through AddDefaultHandler).
class NonClientHandler : public IDefaultHandler {
public:
    bool Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// The paint hooks: the caret leaves a window while it paints; the frame is drawn here.
class NonClientPainter : public IPaintHooks {
public:
    void BeforePaint(HWND hwnd) override;
    void AfterPaint(HWND hwnd) override;
    void PaintNonClient(HWND hwnd, HDC windowDC) override;
};
