// What the X11 backend reads from the window layer, kept apart from Xlib's headers (whose names
// clash with the layer's window and region types): a window's styles and text, the screen
// overlay, the owner, and the screen size of the device capabilities. UI thread only.
#pragma once

#include "platform/core/Types.h"

#include <string>

typedef struct _cairo_surface cairo_surface_t;

namespace X11Glue {
// The styles of a window; false when it is gone.
bool WindowStyles(HWND hwnd, DWORD& style, DWORD& exStyle);
// The owner of a top-level window (null for none), and whether a window is enabled: a window
// shown while its owner is disabled is that owner's modal dialog.
HWND Owner(HWND hwnd);
bool Enabled(HWND hwnd);
// The window's text as stored (no WM_GETTEXT is sent: the backend reads it while pumping).
std::string WindowText(HWND hwnd);
// The screen overlay the backends XOR over what they show.
cairo_surface_t* ScreenOverlay();
// Tells the device capabilities the size of the screen the backend opened.
void SetScreenSize(int width, int height);
} // namespace X11Glue
