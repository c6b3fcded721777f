// The X screen as an image, taken with xwd and convert, for tests that check what a window
// shows on a real display.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/win/GdiTypes.h"

namespace screen_capture {

inline cairo_status_t ReadFromString(void* closure, unsigned char* data, unsigned int length)
{
    auto* source = static_cast<std::pair<const std::string*, size_t>*>(closure);
    if (source->second + length > source->first->size())
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, source->first->data() + source->second, length);
    source->second += length;
    return CAIRO_STATUS_SUCCESS;
}

// The whole screen of a display; null when xwd or convert fails.
inline cairo_surface_t* Screenshot(const std::string& display)
{
    const std::string command = "xwd -root -silent -display " + display + " | convert xwd:- png:-";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return nullptr;
    std::string png;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        png.append(buffer, got);
    if (pclose(pipe) != 0 || png.empty())
        return nullptr;
    std::pair<const std::string*, size_t> source{&png, 0};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadFromString, &source);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

// A pixel as 0xRRGGBB.
inline uint32_t PixelAt(cairo_surface_t* s, POINT pt)
{
    const uint8_t* row =
        cairo_image_surface_get_data(s) + static_cast<size_t>(pt.y) * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const uint32_t*>(row)[pt.x] & 0xFFFFFF;
}

inline uint32_t PixelAt(cairo_surface_t* s, int x, int y)
{
    return PixelAt(s, POINT{x, y});
}

// How many lines of text a tip window shows on the screen: inside its one-pixel frame, runs of
// rows that hold ink (a pixel other than the background its margin shows), apart from one
// another by rows of background only. -1 when its inside is the frame's colour: nothing drawn.
inline int TipLinesShown(cairo_surface_t* s, const RECT& window)
{
    const uint32_t frame = PixelAt(s, window.left, window.top);
    const uint32_t background = PixelAt(s, window.left + 1, window.top + 1);
    if (background == frame)
        return -1;
    int lines = 0;
    bool inLine = false;
    for (int y = window.top + 1; y < window.bottom - 1; ++y) {
        bool ink = false;
        for (int x = window.left + 1; !ink && x < window.right - 1; ++x)
            ink = PixelAt(s, x, y) != background;
        lines += ink && !inLine ? 1 : 0;
        inLine = ink;
    }
    return lines;
}

}   // namespace screen_capture
