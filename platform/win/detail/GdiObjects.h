// The drawing objects behind the HPEN, HBRUSH, HFONT, HBITMAP and HRGN handles, and the handle
// table that checks every handle before use.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/GdiTypes.h"
#include "platform/win/detail/Region.h"

#include <cstdint>
#include <memory>
#include <vector>

class GdiObject {
public:
    explicit GdiObject(int type) : m_type(type) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    // OBJ_PEN, OBJ_EXTPEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP, OBJ_PAL or OBJ_REGION.
    int Type() const { return m_type; }
    HGDIOBJ Handle() { return static_cast<HGDIOBJ>(this); }

    bool m_stock = false;
    // Number of device contexts that have the object selected right now: such an object
    // cannot be deleted.
    int m_selectCount = 0;

private:
    int m_type;
};

class PenObject : public GdiObject {
public:
    explicit PenObject(bool extended) : GdiObject(extended ? OBJ_EXTPEN : OBJ_PEN) {}

    DWORD m_style = PS_SOLID; // the full style word, type, caps and joins included
    int m_width = 1;
    COLORREF m_color = 0;
    UINT m_brushStyle = BS_SOLID;
    ULONG_PTR m_hatch = 0;
    std::vector<DWORD> m_userStyle;
    // The stock DC_PEN: takes its colour from the device context.
    bool m_dcPen = false;

    int Kind() const { return static_cast<int>(m_style & PS_STYLE_MASK); }
    bool IsGeometric() const { return (m_style & PS_TYPE_MASK) == PS_GEOMETRIC; }
};

// A brush pattern kept as device pixels (0x00RRGGBB) or, for a monochrome source, as bits.
struct BrushPattern {
    int width = 8;
    int height = 8;
    bool mono = false;                // pixels are 0 (text colour) or 1 (background colour)
    std::vector<uint32_t> pixels;     // width * height
};

class BrushObject : public GdiObject {
public:
    BrushObject() : GdiObject(OBJ_BRUSH) {}

    UINT m_style = BS_SOLID;
    COLORREF m_color = 0;
    ULONG_PTR m_hatch = 0;
    std::shared_ptr<BrushPattern> m_pattern;
    // The stock DC_BRUSH: takes its colour from the device context.
    bool m_dcBrush = false;
};

class RealizedFont;

class FontObject : public GdiObject {
public:
    FontObject() : GdiObject(OBJ_FONT) {}

    LOGFONT m_logFont{};
    // Filled on first use by the text layer; shared by every font with the same description.
    std::shared_ptr<RealizedFont> m_realized;
    int m_realizedMode = -1;
};

// Pixels are kept 32 bits each (0x00RRGGBB, top byte 0xFF where alpha is kept) whatever the
// bitmap's depth: a monochrome bitmap holds only 0x000000 and 0xFFFFFF, so the raster
// operations work on both alike.
class BitmapObject : public GdiObject {
public:
    BitmapObject() : GdiObject(OBJ_BITMAP) {}
    ~BitmapObject() override;

    int m_width = 0;
    int m_height = 0;
    int m_bitsPixel = 32; // 1 or 32
    // Row 0 is the top row; the stride may be negative for bottom-up DIB sections.
    uint32_t* m_origin = nullptr;
    ptrdiff_t m_stride = 0; // in pixels
    std::vector<uint32_t> m_store;
    // A DIB section's memory, shared with the caller.
    void* m_dibMemory = nullptr;
    BITMAPINFOHEADER m_dibHeader{};
    bool IsDibSection() const { return m_dibMemory != nullptr; }
    // A DIB section of 1, 4, 8, 16 or 24 bits keeps its pixels twice: in the caller's memory in
    // its own format and as 32-bit pixels that drawing uses. SyncDib reconciles them before
    // each use: what drawing changed goes to the caller's memory, what the caller wrote comes
    // back (GdiFlush and deselecting a bitmap also sync). The header with its colour table or
    // masks, and what each copy held when last reconciled, are kept for that.
    bool IsConvertedDib() const { return m_dibMemory && m_dibHeader.biBitCount != 32; }
    void SyncDib();
    std::vector<uint8_t> m_dibInfo;
    std::vector<uint8_t> m_dibShadow;
    std::vector<uint32_t> m_storeShadow;
    // Handle of the bitmap's own device context, if any, for the "selected in one DC" rule.
    HDC m_selectedIn = nullptr;

    uint32_t* Row(int y) { return m_origin + m_stride * y; }
    const uint32_t* Row(int y) const { return m_origin + m_stride * y; }
    bool IsMono() const { return m_bitsPixel == 1; }
    // Allocates zeroed pixels of the given size.
    void Allocate(int width, int height, int bitsPixel);
};

// A colour table. The display shows every colour as it is, so a palette changes no pixel; it
// answers questions about its entries.
class PaletteObject : public GdiObject {
public:
    PaletteObject() : GdiObject(OBJ_PAL) {}
    std::vector<PALETTEENTRY> m_entries;
};

class RegionObject : public GdiObject {
public:
    RegionObject() : GdiObject(OBJ_REGION) {}
    Region m_region;
};

// The table of live handles. Objects are shared: a device context keeps the objects it has
// selected (and those in its saved states) alive, so deleting a handle never leaves a dangling
// pointer behind. The table is safe to use from any thread.
namespace GdiHandles {
HGDIOBJ Add(std::shared_ptr<GdiObject> object);
// The object behind a handle, or null when the handle is not live.
std::shared_ptr<GdiObject> Find(HGDIOBJ handle);
template <typename T>
std::shared_ptr<T> FindAs(HGDIOBJ handle, int type)
{
    std::shared_ptr<GdiObject> o = Find(handle);
    if (!o || (o->Type() != type && !(type == OBJ_PEN && o->Type() == OBJ_EXTPEN))) {
        return nullptr;
    }
    return std::static_pointer_cast<T>(o);
}
bool Remove(HGDIOBJ handle);
std::shared_ptr<GdiObject> Stock(int index);
} // namespace GdiHandles

// Device pixel of a colour: 0x00RRGGBB from 0x00BBGGRR.
inline uint32_t ColorToPixel(COLORREF c)
{
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF PixelToColor(uint32_t p)
{
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}
// The monochrome pixel nearest a colour: white when it is light.
inline uint32_t PixelToMono(uint32_t p)
{
    unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return (r * 30 + g * 59 + b * 11) >= 128 * 100 ? 0xFFFFFFu : 0u;
}
