// Palette objects and their selection into device contexts. Every surface here is true colour,
// so a palette never changes a pixel: it is a table that palette-aware callers fill, select and
// realize before they draw, and those calls must succeed for the drawing to go ahead.
#include "platform/win/Gdi.h"

#include "platform/win/detail/DeviceContext.h"
#include "platform/win/detail/GdiObjects.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

std::shared_ptr<PaletteObject> PaletteOf(HPALETTE handle)
{
    return GdiHandles::FindAs<PaletteObject>(handle, OBJ_PAL);
}

// The longest table a LOGPALETTE can describe.
constexpr UINT kMaxEntries = 0xFFFF;

} // namespace

HPALETTE CreatePalette(const LOGPALETTE* logPalette)
{
    if (!logPalette || logPalette->palNumEntries == 0) {
        return nullptr;
    }
    auto p = std::make_shared<PaletteObject>();
    p->m_entries.assign(logPalette->palPalEntry, logPalette->palPalEntry + logPalette->palNumEntries);
    return static_cast<HPALETTE>(GdiHandles::Add(p));
}

HPALETTE CreateHalftonePalette(HDC)
{
    auto p = std::make_shared<PaletteObject>();
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                p->m_entries.push_back(PALETTEENTRY{static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51),
                                                    static_cast<BYTE>(b * 51), 0});
            }
        }
    }
    return static_cast<HPALETTE>(GdiHandles::Add(p));
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries)
{
    auto p = PaletteOf(palette);
    if (!p) {
        return 0;
    }
    const UINT size = static_cast<UINT>(p->m_entries.size());
    if (!entries) {
        return size; // the caller asks how many there are
    }
    if (start >= size) {
        return 0;
    }
    const UINT n = std::min(count, size - start);
    std::memcpy(entries, p->m_entries.data() + start, n * sizeof(PALETTEENTRY));
    return n;
}

UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries)
{
    auto p = PaletteOf(palette);
    if (!p || !entries || p->m_stock || start >= p->m_entries.size()) {
        return 0;
    }
    const UINT n = std::min(count, static_cast<UINT>(p->m_entries.size()) - start);
    std::memcpy(p->m_entries.data() + start, entries, n * sizeof(PALETTEENTRY));
    return n;
}

BOOL ResizePalette(HPALETTE palette, UINT count)
{
    auto p = PaletteOf(palette);
    if (!p || p->m_stock || count == 0 || count > kMaxEntries) {
        return FALSE;
    }
    p->m_entries.resize(count, PALETTEENTRY{0, 0, 0, 0});
    return TRUE;
}

BOOL AnimatePalette(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries)
{
    return SetPaletteEntries(palette, start, count, entries) > 0 || count == 0 ? TRUE : FALSE;
}

UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color)
{
    auto p = PaletteOf(palette);
    if (!p || p->m_entries.empty()) {
        return CLR_INVALID;
    }
    UINT best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (size_t i = 0; i < p->m_entries.size(); ++i) {
        const long dr = static_cast<long>(p->m_entries[i].peRed) - GetRValue(color);
        const long dg = static_cast<long>(p->m_entries[i].peGreen) - GetGValue(color);
        const long db = static_cast<long>(p->m_entries[i].peBlue) - GetBValue(color);
        const long distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<UINT>(i);
        }
    }
    return best;
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL)
{
    DeviceContext* dc = GdiDCs::Find(hdc);
    auto p = PaletteOf(palette);
    if (!dc || !p) {
        return nullptr;
    }
    std::shared_ptr<PaletteObject> old = dc->State().palette;
    dc->State().palette = p->m_stock ? nullptr : p;
    if (!old) {
        return static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    }
    return static_cast<HPALETTE>(old->Handle());
}

UINT RealizePalette(HDC hdc)
{
    (void)hdc;
    return 0;
}
