// Xlib for the X11 backend's sources: included after the window layer's headers that the
// backend uses (Xlib's macros would break them otherwise), with the few X macros that clash with the layer's names (the backend event kinds) turned into constants.
#pragma once

#include "platform/core/CRect.h"
#include "platform/win/detail/CursorShape.h"
#include "platform/win/WinUser.h"
#include "platform/backends/x11/X11Errors.h"
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

