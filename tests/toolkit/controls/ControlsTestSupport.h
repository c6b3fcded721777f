// Helpers for the toolkit controls' tests: reading a window's pixels off its top-level surface.
#pragma once

#include <cairo.h>

#include <cstdint>

#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/win/Gdi.h"

// The colour at a client point of a window as its top-level window's surface holds it now,
// without painting anything first.
inline COLORREF SurfacePixel(HeadlessBackend& backend, HWND hwnd, int x, int y)
{
    HWND root = ::GetAncestor(hwnd, GA_ROOT);
    POINT pt{x, y};
    ::ClientToScreen(hwnd, &pt);
    RECT window;
    ::GetWindowRect(root, &window);
    cairo_surface_t* surface = backend.Capture(root);
    if (!surface)
        return CLR_INVALID;
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const auto* p = reinterpret_cast<const uint32_t*>(data + (pt.y - window.top) * stride) + (pt.x - window.left);
    const uint32_t argb = *p;
    cairo_surface_destroy(surface);
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}
