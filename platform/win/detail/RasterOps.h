// Pixel-level work shared by every drawing call: the pixel target, the binary (pen) and
// ternary (blit) raster operations, and span fills with solid colours or tiled patterns.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/GdiTypes.h"
#include "platform/win/detail/Region.h"

#include <cstdint>
#include <vector>

class VectorPage;

// A view of the pixels a device context draws on. Device coordinate (x, y) is the pixel
// (x + ox, y + oy) of the buffer.
struct PixelTarget {
    uint32_t* bits = nullptr;
    ptrdiff_t stride = 0; // in pixels; negative for bottom-up memory
    int width = 0;
    int height = 0;
    int ox = 0;
    int oy = 0;
    uint32_t alphaOr = 0; // 0xFF000000 for surfaces that keep alpha
    bool mono = false;
    // A printed page: the pixels are its raster layer, and the drawing that has a vector form
    // goes to the page instead (VectorPage.h).
    VectorPage* vector = nullptr;

    bool Valid() const { return bits != nullptr && width > 0 && height > 0; }
    uint32_t* At(int x, int y) const { return bits + static_cast<ptrdiff_t>(y + oy) * stride + (x + ox); }
    // The buffer's rectangle in device coordinates.
    RECT Bounds() const { return RECT{-ox, -oy, width - ox, height - oy}; }
};

// The result of binary raster operation rop (R2_BLACK .. R2_WHITE) on pen and destination bits.
inline uint32_t ApplyRop2(int rop, uint32_t p, uint32_t d)
{
    switch (rop) {
    case R2_COPYPEN: return p;
    case R2_XORPEN: return p ^ d;
    case R2_NOP: return d;
    case R2_NOT: return ~d;
    default: {
        unsigned t = static_cast<unsigned>(rop - 1) & 15u;
        uint32_t r = 0;
        if (t & 8u) r |= p & d;
        if (t & 4u) r |= p & ~d;
        if (t & 2u) r |= ~p & d;
        if (t & 1u) r |= ~p & ~d;
        return r;
    }
    }
}

// The result of the ternary raster operation whose truth table is code (bit P*4+S*2+D) on
// pattern, source and destination bits.
inline uint32_t ApplyRop3(unsigned code, uint32_t p, uint32_t s, uint32_t d)
{
    uint32_t r = 0;
    if (code & 0x01u) r |= ~p & ~s & ~d;
    if (code & 0x02u) r |= ~p & ~s & d;
    if (code & 0x04u) r |= ~p & s & ~d;
    if (code & 0x08u) r |= ~p & s & d;
    if (code & 0x10u) r |= p & ~s & ~d;
    if (code & 0x20u) r |= p & ~s & d;
    if (code & 0x40u) r |= p & s & ~d;
    if (code & 0x80u) r |= p & s & d;
    return r;
}

// What a fill paints: one colour, a tiled pattern, or nothing. Pattern pixels with the top
// byte set are holes (the background of a hatch in transparent mode) and are left alone.
struct FillPaint {
    enum class Kind { None, Solid, Pattern };
    static constexpr uint32_t kHole = 0xFF000000u;

    Kind kind = Kind::None;
    uint32_t color = 0;
    std::vector<uint32_t> pattern;
    int pw = 0;
    int ph = 0;
    int orgX = 0; // device position of the pattern's top-left pixel
    int orgY = 0;

    uint32_t PatternAt(int x, int y) const
    {
        int px = (x - orgX) % pw;
        int py = (y - orgY) % ph;
        if (px < 0) px += pw;
        if (py < 0) py += ph;
        return pattern[static_cast<size_t>(py) * pw + px];
    }
};

// Fills the span x0 <= x < x1 of row y (device coordinates, already clipped).
void FillSpan(const PixelTarget& t, int y, int x0, int x1, const FillPaint& paint, int rop2);
// Fills the rectangle, clipped by the region.
void FillRectClipped(const PixelTarget& t, const Region& clip, const RECT& rect, const FillPaint& paint, int rop2);
// Fills the shape, clipped by the region.
void FillRegionClipped(const PixelTarget& t, const Region& clip, const Region& shape, const FillPaint& paint, int rop2);
// Sets one pixel through the raster operation when the clip holds it.
void PlotPixel(const PixelTarget& t, const Region& clip, int x, int y, uint32_t color, int rop2);

// Calls fn(rect) for every piece of rect inside the clip.
template <typename Fn>
void ForEachClipped(const Region& clip, const RECT& rect, Fn&& fn)
{
    const RECT& b = clip.Bounds();
    if (rect.left >= b.right || rect.right <= b.left || rect.top >= b.bottom || rect.bottom <= b.top) {
        return;
    }
    for (const RECT& c : clip.Rects()) {
        if (c.top >= rect.bottom) {
            break;
        }
        RECT r{rect.left > c.left ? rect.left : c.left, rect.top > c.top ? rect.top : c.top,
               rect.right < c.right ? rect.right : c.right, rect.bottom < c.bottom ? rect.bottom : c.bottom};
        if (r.left < r.right && r.top < r.bottom) {
            fn(r);
        }
    }
}
