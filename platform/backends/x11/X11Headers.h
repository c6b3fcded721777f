// Xlib for the X11 backend's sources: included after the window layer's headers that the
// backend uses (Xlib's macros would break them otherwise), with the few X macros that clash with the layer's names (the backend event kinds) turned into constants.
#pragma once

#include "platform/core/CRect.h"
#include "platform/win/Cursor.h"
#include "platform/win/WinUser.h"
#include "platform/win/WindowBackend.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/XKBlib.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

constexpr int kXExpose = Expose;
constexpr int kXFocusIn = FocusIn;
constexpr int kXFocusOut = FocusOut;
#undef Expose
#undef FocusIn
#undef FocusOut
#undef CursorShape   // a class of XQueryBestSize; the window layer names its cursor record so

// Xlib errors never end the program: a handler records them (and a lost connection) instead.
namespace X11Errors {
// Installs the handlers; calling it again does nothing more. Callable from any thread.
void Install();
// How many errors were recorded so far, and the last one's code. Callable from any thread.
unsigned long Count();
int LastCode();
// Whether a display connection broke (the program then works on without showing anything).
bool ConnectionLost();
} // namespace X11Errors
