// Block transfers: PatBlt, BitBlt, StretchBlt, MaskBlt, TransparentBlt and the DIB transfers,
// evaluating any ternary raster code bit by bit on pattern, source and destination, with the
// platform's monochrome and colour conversions.
#include "platform/win/detail/Dib.h"
#include "platform/win/Gdi.h"
#include "platform/win/detail/Paint.h"
#include "platform/win/detail/VectorPage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

struct BlitSource {
    PixelTarget target;       // device coordinates of the source
    RECT rect{0, 0, 0, 0};    // source rectangle, device coordinates, normalised
    bool mirrorX = false;
    bool mirrorY = false;
    // Conversion into the destination's pixels.
    enum class Convert { None, MonoToColor, ColorToMono } convert = Convert::None;
    uint32_t zeroPixel = 0;   // mono to colour: 0 bits
    uint32_t onePixel = 0;    // mono to colour: 1 bits
    uint32_t srcBk = 0;       // colour to mono: this source pixel becomes 1
    // TransparentBlt: source pixels of this value are not drawn.
    bool transparent = false;
    uint32_t transparentPixel = 0;
};

struct BlitMask {
    const BitmapObject* bitmap = nullptr;
    int x = 0;
    int y = 0;
    unsigned backCode = 0;
};

inline uint32_t Convert(const BlitSource& s, uint32_t v)
{
    v &= 0x00FFFFFFu;
    switch (s.convert) {
    case BlitSource::Convert::MonoToColor: return v ? s.onePixel : s.zeroPixel;
    case BlitSource::Convert::ColorToMono: return v == s.srcBk ? 0x00FFFFFFu : 0u;
    default: return v;
    }
}

bool NeedsSource(unsigned code) { return ((code >> 2) ^ code) & 0x33u; }
bool NeedsPattern(unsigned code) { return ((code >> 4) ^ code) & 0x0Fu; }
bool NeedsDest(unsigned code) { return ((code >> 1) ^ code) & 0x55u; }

// A plain copy onto a printed page: the source's pixels go onto it as a picture of their own
// size, stretched over the destination, rather than one pixel per printer dot.
void CopyOntoPage(const PixelTarget& t, const Region& clip, const RECT& r, const BlitSource& src)
{
    const int sw = src.rect.right - src.rect.left;
    const int sh = src.rect.bottom - src.rect.top;
    if (sw <= 0 || sh <= 0) {
        return;
    }
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sw, sh);
    unsigned char* data = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    const RECT sb = src.target.Bounds();
    for (int y = 0; y < sh; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        const int sy = src.rect.top + y;
        for (int x = 0; x < sw; ++x) {
            const int sx = src.rect.left + x;
            row[x] = 0;
            if (sx < sb.left || sx >= sb.right || sy < sb.top || sy >= sb.bottom) {
                continue;
            }
            const uint32_t raw = *src.target.At(sx, sy) & 0x00FFFFFFu;
            if (src.transparent && raw == src.transparentPixel) {
                continue;
            }
            row[x] = 0xFF000000u | Convert(src, raw);
        }
    }
    cairo_surface_mark_dirty(picture);
    t.vector->PaintImage(clip, r, picture, src.mirrorX, src.mirrorY);
    cairo_surface_destroy(picture);
}

// Runs one transfer into dest rectangle r (device coordinates, normalised).
void Transfer(DeviceContext& dst, const RECT& r, const BlitSource* src, unsigned code, const FillPaint& pattern,
              const BlitMask* mask)
{
    PixelTarget t = dst.Target();
    if (!t.Valid() || r.left >= r.right || r.top >= r.bottom) {
        return;
    }
    const Region& clip = dst.Clip();
    int dw = r.right - r.left;
    int dh = r.bottom - r.top;
    if (t.vector) {
        if (src && !mask && code == 0xCC) {
            CopyOntoPage(t, clip, r, *src);
            return;
        }
        // Where a mask keeps what lies below, its code reads it too.
        const RECT& b = clip.Bounds();
        RasterTouch(t, RECT{std::max(r.left, b.left), std::max(r.top, b.top), std::min(r.right, b.right),
                            std::min(r.bottom, b.bottom)},
                    NeedsDest(code) || (mask != nullptr && NeedsDest(mask->backCode)));
    }

    // Fast path: a plain copy of the same size without conversion.
    bool overlapRisk = src && src->target.bits == t.bits && clip.Kind() == COMPLEXREGION;
    if (src && !mask && code == 0xCC && !overlapRisk && !src->transparent && src->convert == BlitSource::Convert::None &&
        !src->mirrorX && !src->mirrorY && src->rect.right - src->rect.left == dw && src->rect.bottom - src->rect.top == dh) {
        RECT sb = src->target.Bounds();
        int offX = src->rect.left - r.left;
        int offY = src->rect.top - r.top;
        // Clip the destination to where the source exists.
        RECT dr{std::max<LONG>(r.left, sb.left - offX), std::max<LONG>(r.top, sb.top - offY),
                std::min<LONG>(r.right, sb.right - offX), std::min<LONG>(r.bottom, sb.bottom - offY)};
        if (dr.left >= dr.right || dr.top >= dr.bottom) {
            return;
        }
        bool sameBuffer = src->target.bits == t.bits;
        std::vector<RECT> pieces;
        ForEachClipped(clip, dr, [&](const RECT& piece) { pieces.push_back(piece); });
        // Overlapping copies inside one buffer go against the direction of the move.
        bool upwards = sameBuffer && offY < 0;
        if (upwards) {
            std::reverse(pieces.begin(), pieces.end());
        }
        for (const RECT& piece : pieces) {
            int n = piece.right - piece.left;
            for (int k = 0; k < piece.bottom - piece.top; ++k) {
                int y = upwards ? piece.bottom - 1 - k : piece.top + k;
                uint32_t* d = t.At(piece.left, y);
                const uint32_t* s = src->target.At(piece.left + offX, y + offY);
                std::memmove(d, s, static_cast<size_t>(n) * 4);
                if (t.alphaOr) {
                    for (int i = 0; i < n; ++i) d[i] |= t.alphaOr;
                } else if (src->target.alphaOr) {
                    for (int i = 0; i < n; ++i) d[i] &= 0x00FFFFFFu;
                }
            }
        }
        return;
    }

    // General path: gather the source block first (it may overlap the destination), then
    // combine pixel by pixel.
    std::vector<uint32_t> block;
    std::vector<uint8_t> present;
    if (src) {
        block.resize(static_cast<size_t>(dw) * dh);
        present.assign(block.size(), 0);
        RECT sb = src->target.Bounds();
        int sw = src->rect.right - src->rect.left;
        int sh = src->rect.bottom - src->rect.top;
        for (int v = 0; v < dh; ++v) {
            int vv = src->mirrorY ? dh - 1 - v : v;
            int sy = src->rect.top + static_cast<int>(static_cast<long long>(vv) * sh / dh);
            if (sy < sb.top || sy >= sb.bottom) {
                continue;
            }
            for (int u = 0; u < dw; ++u) {
                int uu = src->mirrorX ? dw - 1 - u : u;
                int sx = src->rect.left + static_cast<int>(static_cast<long long>(uu) * sw / dw);
                if (sx < sb.left || sx >= sb.right) {
                    continue;
                }
                uint32_t raw = *src->target.At(sx, sy) & 0x00FFFFFFu;
                if (src->transparent && raw == src->transparentPixel) {
                    continue;
                }
                block[static_cast<size_t>(v) * dw + u] = Convert(*src, raw);
                present[static_cast<size_t>(v) * dw + u] = 1;
            }
        }
    }
    bool usePattern = pattern.kind != FillPaint::Kind::None;
    ForEachClipped(clip, r, [&](const RECT& piece) {
        for (int y = piece.top; y < piece.bottom; ++y) {
            uint32_t* d = t.At(piece.left, y);
            for (int x = piece.left; x < piece.right; ++x, ++d) {
                size_t idx = static_cast<size_t>(y - r.top) * dw + (x - r.left);
                if (src && !present[idx]) {
                    continue;
                }
                uint32_t p = 0;
                if (usePattern) {
                    p = pattern.kind == FillPaint::Kind::Solid ? pattern.color : pattern.PatternAt(x, y);
                    if (p & FillPaint::kHole) {
                        continue;
                    }
                }
                uint32_t s = src ? block[idx] : 0;
                unsigned c = code;
                if (mask) {
                    const BitmapObject* m = mask->bitmap;
                    int mx = mask->x + (x - r.left);
                    int my = mask->y + (y - r.top);
                    bool bit = mx >= 0 && my >= 0 && mx < m->m_width && my < m->m_height &&
                               (m->Row(my)[mx] & 0x00FFFFFFu) != 0;
                    c = bit ? code : mask->backCode;
                }
                *d = (ApplyRop3(c, p, s, *d) & 0x00FFFFFFu) | t.alphaOr;
            }
        }
    });
}

// The destination rectangle of a logical position and size, and whether it is mirrored.
RECT DestRect(DeviceContext& dc, int x, int y, int w, int h, bool& mirrorX, bool& mirrorY)
{
    POINT a = dc.ToDevice(x, y);
    POINT b = dc.ToDevice(x + w, y + h);
    mirrorX = b.x < a.x;
    mirrorY = b.y < a.y;
    // A negative extent runs from the given corner pixel backwards, that pixel included.
    RECT r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    if (mirrorX) {
        ++r.left;
        ++r.right;
    }
    if (mirrorY) {
        ++r.top;
        ++r.bottom;
    }
    return r;
}

bool SetUpSource(DeviceContext& dst, DeviceContext& src, int xs, int ys, int ws, int hs, BlitSource& out)
{
    out.target = src.ReadTarget();
    if (!out.target.Valid()) {
        return false;
    }
    bool mx = false, my = false;
    out.rect = DestRect(src, xs, ys, ws, hs, mx, my);
    out.mirrorX = mx;
    out.mirrorY = my;
    bool srcMono = out.target.mono;
    bool dstMono = dst.Target().mono;
    if (srcMono && !dstMono) {
        // Monochrome to colour: 0 bits take the destination's text colour, 1 bits its
        // background colour.
        out.convert = BlitSource::Convert::MonoToColor;
        out.zeroPixel = ColorToPixel(dst.State().textColor);
        out.onePixel = ColorToPixel(dst.State().bkColor);
    } else if (!srcMono && dstMono) {
        // Colour to monochrome: the source's background colour becomes 1, the rest 0.
        out.convert = BlitSource::Convert::ColorToMono;
        out.srcBk = ColorToPixel(src.State().bkColor);
    }
    return true;
}

FillPaint PatternFor(DeviceContext& dc, unsigned code)
{
    if (!NeedsPattern(code)) {
        return FillPaint();
    }
    FillPaint p = ResolveBrush(dc, dc.State().brush.get());
    if (p.kind == FillPaint::Kind::None) {
        // A null brush paints as black bits.
        p.kind = FillPaint::Kind::Solid;
        p.color = 0;
    }
    return p;
}

BOOL StretchCore(HDC hdest, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs, DWORD rop,
                 const BlitMask* mask, bool transparent, UINT transparentColor)
{
    DeviceContext* dst = GdiDCs::Find(hdest);
    if (!dst) {
        return FALSE;
    }
    unsigned code = (rop >> 16) & 0xFFu;
    if (dst->GetKind() == DeviceContext::Kind::Recording) {
        dst->Record(mask ? "MaskBlt" : (transparent ? "TransparentBlt" : (hsrc ? "StretchBlt" : "PatBlt")),
                    {x, y, w, h, xs, ys, ws, hs, static_cast<long long>(rop)});
    }
    bool mx = false, my = false;
    RECT r = DestRect(*dst, x, y, w, h, mx, my);
    BlitSource source;
    BlitSource* src = nullptr;
    if (NeedsSource(code) || mask || transparent) {
        DeviceContext* s = GdiDCs::Find(hsrc);
        if (!s || !SetUpSource(*dst, *s, xs, ys, ws, hs, source)) {
            return FALSE;
        }
        source.mirrorX = source.mirrorX != mx;
        source.mirrorY = source.mirrorY != my;
        if (transparent) {
            source.transparent = true;
            source.transparentPixel = ColorToPixel(transparentColor);
            code = 0xCC;
        }
        src = &source;
    }
    Transfer(*dst, r, src, code, PatternFor(*dst, mask ? (code | mask->backCode) : code), mask);
    return TRUE;
}

} // namespace

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop)
{
    GDI_DC_OR(hdc, FALSE);
    unsigned code = (rop >> 16) & 0xFFu;
    if (NeedsSource(code)) {
        return FALSE;
    }
    // The common codes are plain span fills.
    int rop2 = 0;
    switch (code) {
    case 0xF0: rop2 = R2_COPYPEN; break;
    case 0x5A: rop2 = R2_XORPEN; break;
    case 0x55: rop2 = R2_NOT; break;
    case 0x00: rop2 = R2_BLACK; break;
    case 0xFF: rop2 = R2_WHITE; break;
    default: break;
    }
    if (rop2 == 0) {
        return StretchCore(hdc, x, y, width, height, nullptr, 0, 0, 0, 0, rop, nullptr, false, 0);
    }
    if (dc->GetKind() == DeviceContext::Kind::Recording) {
        dc->Record("PatBlt", {x, y, width, height, static_cast<long long>(rop)});
    }
    bool mx = false, my = false;
    RECT r = DestRect(*dc, x, y, width, height, mx, my);
    FillPaint p = rop2 == R2_COPYPEN || rop2 == R2_XORPEN ? PatternFor(*dc, code) : FillPaint();
    if (p.kind == FillPaint::Kind::None) {
        p.kind = FillPaint::Kind::Solid;
        p.color = 0;
    }
    FillRectClipped(dc->Target(), dc->Clip(), r, p, rop2);
    return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop)
{
    DeviceContext* s = GdiDCs::Find(src);
    int ws = width;
    int hs = height;
    if (s && !s->IsIdentityMapping()) {
        // The source size is the destination's logical size in the source's units.
        DeviceContext* d = GdiDCs::Find(dest);
        if (d) {
            ws = s->ToLogical(d->WidthToDevice(width), 0).x - s->ToLogical(0, 0).x;
            hs = s->ToLogical(0, d->HeightToDevice(height)).y - s->ToLogical(0, 0).y;
        }
    }
    return StretchCore(dest, x, y, width, height, src, xSrc, ySrc, ws, hs, rop, nullptr, false, 0);
}

namespace {

// HALFTONE's shrinking of a copy from a 32-bit bitmap: each pixel of the result is the average of
// the source pixels it covers, so that a line or a dash thinner than the step between sampled
// pixels stays in sight. The averaged image is then copied one to one. False when the copy is
// not one this covers (another operation, a growing side, a mapped or monochrome source); the
// caller samples then.
bool HalftoneShrink(HDC dest, int x, int y, int w, int h, HDC src, int xs, int ys, int ws, int hs, DWORD rop)
{
    DeviceContext* d = GdiDCs::Find(dest);
    DeviceContext* s = GdiDCs::Find(src);
    if (!d || !s || d->State().stretchMode != HALFTONE || rop != SRCCOPY || w <= 0 || h <= 0 || w > ws || h > hs ||
        (w == ws && h == hs) || !s->IsIdentityMapping())
        return false;
    BitmapObject* from = s->State().bitmap.get();
    if (!from || from->IsMono() || xs < 0 || ys < 0 || xs + ws > from->m_width || ys + hs > from->m_height)
        return false;
    if (from->IsConvertedDib())
        from->SyncDib();
    HBITMAP image = CreateBitmap(w, h, 1, 32, nullptr);
    auto to = GdiHandles::FindAs<BitmapObject>(image, OBJ_BITMAP);
    if (!to) {
        DeleteObject(image);
        return false;
    }
    for (int ty = 0; ty < h; ++ty) {
        // The source rows and columns this pixel covers; each source pixel belongs to one.
        const int y0 = static_cast<int>(static_cast<long long>(ty) * hs / h);
        const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(ty + 1) * hs / h));
        uint32_t* out = to->Row(ty);
        for (int tx = 0; tx < w; ++tx) {
            const int x0 = static_cast<int>(static_cast<long long>(tx) * ws / w);
            const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<long long>(tx + 1) * ws / w));
            unsigned long long r = 0, g = 0, b = 0, n = 0;
            for (int sy = y0; sy < y1; ++sy) {
                const uint32_t* row = from->Row(ys + sy) + xs;
                for (int sx = x0; sx < x1; ++sx) {
                    r += (row[sx] >> 16) & 0xFFu;
                    g += (row[sx] >> 8) & 0xFFu;
                    b += row[sx] & 0xFFu;
                    ++n;
                }
            }
            out[tx] = static_cast<uint32_t>(((r / n) << 16) | ((g / n) << 8) | (b / n));
        }
    }
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, image);
    const BOOL done = StretchCore(dest, x, y, w, h, mem, 0, 0, w, h, SRCCOPY, nullptr, false, 0);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(image);
    return done != FALSE;
}

} // namespace

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth, int srcHeight,
                DWORD rop)
{
    if (HalftoneShrink(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, rop))
        return TRUE;
    return StretchCore(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, rop, nullptr, false, 0);
}

BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, HBITMAP mask, int xMask,
             int yMask, DWORD rop)
{
    if (!mask) {
        return BitBlt(dest, x, y, width, height, src, xSrc, ySrc, rop & 0x00FFFFFFu);
    }
    auto m = GdiHandles::FindAs<BitmapObject>(mask, OBJ_BITMAP);
    if (!m || !m->IsMono()) {
        return FALSE;
    }
    // Mask bits of 1 use the foreground code (third byte), 0 bits the background code
    // (fourth byte).
    BlitMask bm;
    bm.bitmap = m.get();
    bm.x = xMask;
    bm.y = yMask;
    bm.backCode = (rop >> 24) & 0xFFu;
    return StretchCore(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop, &bm, false, 0);
}

BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, UINT transparent)
{
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) {
        return FALSE;
    }
    return StretchCore(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, SRCCOPY, nullptr, true,
                       transparent);
}

namespace {

// Decodes a DIB into a temporary 32-bit memory device so the transfers above can read it.
HDC DibDevice(const void* bits, const BITMAPINFO* info, UINT usage, HBITMAP& bitmap)
{
    DibReader reader;
    if (!reader.Init(info, bits, usage)) {
        return nullptr;
    }
    bitmap = CreateBitmap(reader.Width(), reader.Height(), 1, 32, nullptr);
    auto bm = GdiHandles::FindAs<BitmapObject>(bitmap, OBJ_BITMAP);
    if (!bm) {
        return nullptr;
    }
    for (int y = 0; y < reader.Height(); ++y) {
        uint32_t* row = bm->Row(y);
        for (int x = 0; x < reader.Width(); ++x) {
            row[x] = reader.Pixel(x, y);
        }
    }
    HDC mem = CreateCompatibleDC(nullptr);
    SelectObject(mem, bitmap);
    return mem;
}

} // namespace

int StretchDIBits(HDC hdc, int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
    if (!GdiDCs::Find(hdc) || !bits || !info) {
        return 0;
    }
    HBITMAP bitmap = nullptr;
    HDC mem = DibDevice(bits, info, usage, bitmap);
    if (!mem) {
        return 0;
    }
    // The source origin counts from the bottom-left corner for bottom-up images.
    int h = std::abs(info->bmiHeader.biHeight);
    int top = info->bmiHeader.biHeight > 0 ? h - ySrc - srcHeight : ySrc;
    BOOL ok = StretchBlt(hdc, x, y, width, height, mem, xSrc, top, srcWidth, srcHeight, rop);
    DeleteDC(mem);
    DeleteObject(bitmap);
    return ok ? std::abs(srcHeight) : 0;
}

int SetDIBitsToDevice(HDC hdc, int x, int y, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    if (!GdiDCs::Find(hdc) || !bits || !info) {
        return 0;
    }
    // The bits hold scanLines lines starting at startScan; place them in a full-size image.
    BITMAPINFOHEADER full = info->bmiHeader;
    int h = std::abs(full.biHeight);
    int stride = DibReader::Stride(full.biWidth, full.biBitCount);
    if (h <= 0 || stride <= 0 || startScan >= static_cast<UINT>(h)) {
        return 0;
    }
    UINT lines = std::min<UINT>(scanLines, static_cast<UINT>(h) - startScan);
    std::vector<uint8_t> image(static_cast<size_t>(stride) * h, 0);
    for (UINT k = 0; k < lines; ++k) {
        int scan = static_cast<int>(startScan + k);
        // Bottom-up scan numbers count from the bottom, which is also memory order.
        size_t destRow = static_cast<size_t>(scan);
        std::memcpy(image.data() + destRow * stride, static_cast<const uint8_t*>(bits) + static_cast<size_t>(k) * stride,
                    static_cast<size_t>(stride));
    }
    HBITMAP bitmap = nullptr;
    HDC mem = DibDevice(image.data(), info, usage, bitmap);
    if (!mem) {
        return 0;
    }
    int top = full.biHeight > 0 ? h - ySrc - static_cast<int>(height) : ySrc;
    BitBlt(hdc, x, y, static_cast<int>(width), static_cast<int>(height), mem, xSrc, top, SRCCOPY);
    DeleteDC(mem);
    DeleteObject(bitmap);
    return static_cast<int>(lines);
}
