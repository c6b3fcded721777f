// Span fills and pixel plots through the binary raster operations.
#include "platform/win/detail/RasterOps.h"

#include "platform/win/detail/VectorPage.h"

#include <algorithm>

void FillSpan(const PixelTarget& t, int y, int x0, int x1, const FillPaint& paint, int rop2)
{
    if (x0 >= x1 || paint.kind == FillPaint::Kind::None || rop2 == R2_NOP) {
        return;
    }
    uint32_t* p = t.At(x0, y);
    int n = x1 - x0;
    const uint32_t a = t.alphaOr;
    if (paint.kind == FillPaint::Kind::Solid) {
        uint32_t c = paint.color;
        switch (rop2) {
        case R2_COPYPEN:
            std::fill(p, p + n, c | a);
            return;
        case R2_BLACK:
            std::fill(p, p + n, a);
            return;
        case R2_WHITE:
            std::fill(p, p + n, 0x00FFFFFFu | a);
            return;
        case R2_XORPEN:
            for (int i = 0; i < n; ++i) p[i] = ((p[i] ^ c) & 0x00FFFFFFu) | a;
            return;
        case R2_NOT:
            for (int i = 0; i < n; ++i) p[i] = (~p[i] & 0x00FFFFFFu) | a;
            return;
        default:
            for (int i = 0; i < n; ++i) p[i] = (ApplyRop2(rop2, c, p[i]) & 0x00FFFFFFu) | a;
            return;
        }
    }
    int py = (y - paint.orgY) % paint.ph;
    if (py < 0) py += paint.ph;
    const uint32_t* row = paint.pattern.data() + static_cast<size_t>(py) * paint.pw;
    int px = (x0 - paint.orgX) % paint.pw;
    if (px < 0) px += paint.pw;
    for (int i = 0; i < n; ++i) {
        uint32_t c = row[px];
        if (++px == paint.pw) px = 0;
        if (c & FillPaint::kHole) {
            continue;
        }
        p[i] = (ApplyRop2(rop2, c, p[i]) & 0x00FFFFFFu) | a;
    }
}

void FillRectClipped(const PixelTarget& t, const Region& clip, const RECT& rect, const FillPaint& paint, int rop2)
{
    if (!t.Valid() || paint.kind == FillPaint::Kind::None) {
        return;
    }
    if (t.vector) {
        if (t.vector->Fill(clip, rect, paint, rop2)) {
            return;
        }
        const RECT& b = clip.Bounds();
        RasterTouch(t, RECT{std::max(rect.left, b.left), std::max(rect.top, b.top), std::min(rect.right, b.right),
                            std::min(rect.bottom, b.bottom)},
                    Rop2ReadsBelow(rop2));
    }
    ForEachClipped(clip, rect, [&](const RECT& r) {
        for (int y = r.top; y < r.bottom; ++y) {
            FillSpan(t, y, r.left, r.right, paint, rop2);
        }
    });
}

void FillRegionClipped(const PixelTarget& t, const Region& clip, const Region& shape, const FillPaint& paint, int rop2)
{
    if (!t.Valid() || paint.kind == FillPaint::Kind::None) {
        return;
    }
    for (const RECT& r : shape.Rects()) {
        FillRectClipped(t, clip, r, paint, rop2);
    }
}

void PlotPixel(const PixelTarget& t, const Region& clip, int x, int y, uint32_t color, int rop2)
{
    if (!clip.Contains(x, y)) {
        return;
    }
    RasterTouch(t, RECT{x, y, x + 1, y + 1}, Rop2ReadsBelow(rop2));
    uint32_t* p = t.At(x, y);
    *p = (ApplyRop2(rop2, color, *p) & 0x00FFFFFFu) | t.alphaOr;
}
