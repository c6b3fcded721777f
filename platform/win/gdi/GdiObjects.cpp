// The handle table, stock objects and the pen, brush, font and region entry points.
#include "platform/win/detail/GdiObjects.h"

#include "platform/win/detail/DeviceContext.h"
#include "platform/win/detail/Dib.h"
#include "platform/win/Gdi.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

std::mutex g_tableLock;

std::unordered_map<void*, std::shared_ptr<GdiObject>>& GdiTable()
{
    static auto* table = new std::unordered_map<void*, std::shared_ptr<GdiObject>>();
    return *table;
}

std::shared_ptr<PenObject> MakePen(bool extended, DWORD style, int width, COLORREF color)
{
    auto pen = std::make_shared<PenObject>(extended);
    pen->m_style = style;
    pen->m_width = width;
    pen->m_color = color & 0x00FFFFFFu;
    return pen;
}

std::shared_ptr<BrushObject> MakeSolid(COLORREF color)
{
    auto b = std::make_shared<BrushObject>();
    b->m_style = BS_SOLID;
    b->m_color = color & 0x00FFFFFFu;
    return b;
}

std::shared_ptr<FontObject> MakeFont(LONG height, LONG weight, const char* face, BYTE pitchAndFamily)
{
    auto f = std::make_shared<FontObject>();
    f->m_logFont.lfHeight = height;
    f->m_logFont.lfWeight = weight;
    f->m_logFont.lfPitchAndFamily = pitchAndFamily;
    std::strncpy(f->m_logFont.lfFaceName, face, LF_FACESIZE - 1);
    return f;
}

std::shared_ptr<GdiObject> MakeStock(int index)
{
    std::shared_ptr<GdiObject> o;
    switch (index) {
    case WHITE_BRUSH: o = MakeSolid(RGB(255, 255, 255)); break;
    case LTGRAY_BRUSH: o = MakeSolid(RGB(192, 192, 192)); break;
    case GRAY_BRUSH: o = MakeSolid(RGB(128, 128, 128)); break;
    case DKGRAY_BRUSH: o = MakeSolid(RGB(64, 64, 64)); break;
    case BLACK_BRUSH: o = MakeSolid(RGB(0, 0, 0)); break;
    case NULL_BRUSH: {
        auto b = std::make_shared<BrushObject>();
        b->m_style = BS_NULL;
        o = b;
        break;
    }
    case WHITE_PEN: o = MakePen(false, PS_SOLID, 1, RGB(255, 255, 255)); break;
    case BLACK_PEN: o = MakePen(false, PS_SOLID, 1, RGB(0, 0, 0)); break;
    case NULL_PEN: o = MakePen(false, PS_NULL, 1, 0); break;
    case OEM_FIXED_FONT: o = MakeFont(12, FW_NORMAL, "Terminal", FIXED_PITCH | FF_MODERN); break;
    case ANSI_FIXED_FONT: o = MakeFont(13, FW_NORMAL, "Courier", FIXED_PITCH | FF_MODERN); break;
    case ANSI_VAR_FONT: o = MakeFont(13, FW_NORMAL, "MS Sans Serif", VARIABLE_PITCH | FF_SWISS); break;
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT: o = MakeFont(16, FW_BOLD, "System", VARIABLE_PITCH | FF_SWISS); break;
    case SYSTEM_FIXED_FONT: o = MakeFont(15, FW_NORMAL, "Fixedsys", FIXED_PITCH | FF_MODERN); break;
    case DEFAULT_GUI_FONT: o = MakeFont(-11, FW_NORMAL, "MS Shell Dlg", VARIABLE_PITCH | FF_SWISS); break;
    case DEFAULT_PALETTE: {
        // The twenty static colours every palette device reserves.
        static const BYTE kStatic[20][3] = {
            {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128}, {0, 128, 128},
            {192, 192, 192}, {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
            {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 255}, {255, 0, 255},
            {0, 255, 255}, {255, 255, 255}};
        auto p = std::make_shared<PaletteObject>();
        for (const auto& c : kStatic)
            p->m_entries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
        o = p;
        break;
    }
    case DC_BRUSH: {
        auto b = MakeSolid(RGB(255, 255, 255));
        b->m_dcBrush = true;
        o = b;
        break;
    }
    case DC_PEN: {
        auto p = MakePen(false, PS_SOLID, 1, 0);
        p->m_dcPen = true;
        o = p;
        break;
    }
    default: return nullptr;
    }
    o->m_stock = true;
    return o;
}

} // namespace

namespace GdiHandles {

HGDIOBJ Add(std::shared_ptr<GdiObject> object)
{
    if (!object) {
        return nullptr;
    }
    HGDIOBJ h = object->Handle();
    std::lock_guard<std::mutex> lock(g_tableLock);
    GdiTable()[h] = std::move(object);
    return h;
}

std::shared_ptr<GdiObject> Find(HGDIOBJ handle)
{
    if (!handle) {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(g_tableLock);
    auto& t = GdiTable();
    auto it = t.find(handle);
    return it == t.end() ? nullptr : it->second;
}

bool Remove(HGDIOBJ handle)
{
    std::shared_ptr<GdiObject> doomed;
    std::lock_guard<std::mutex> lock(g_tableLock);
    auto& t = GdiTable();
    auto it = t.find(handle);
    if (it == t.end()) {
        return false;
    }
    doomed = std::move(it->second);
    t.erase(it);
    return true;
}

std::shared_ptr<GdiObject> Stock(int index)
{
    static std::once_flag once;
    static std::array<std::shared_ptr<GdiObject>, DC_PEN + 1> stock;
    std::call_once(once, [] {
        for (int i = 0; i <= DC_PEN; ++i) {
            stock[i] = MakeStock(i);
            if (stock[i]) {
                Add(stock[i]);
            }
        }
    });
    if (index < 0 || index > DC_PEN) {
        return nullptr;
    }
    return stock[index];
}

} // namespace GdiHandles

// ---- Pens ----

HPEN CreatePen(int style, int width, COLORREF color)
{
    int kind = style & PS_STYLE_MASK;
    if (kind > PS_INSIDEFRAME || kind == PS_USERSTYLE) {
        return nullptr;
    }
    // A zero width means one pixel whatever the mapping mode.
    return static_cast<HPEN>(GdiHandles::Add(MakePen(false, static_cast<DWORD>(kind), std::max(width, 0), color)));
}

HPEN CreatePenIndirect(const LOGPEN* logPen)
{
    if (!logPen) {
        return nullptr;
    }
    return CreatePen(static_cast<int>(logPen->lopnStyle), logPen->lopnWidth.x, logPen->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles)
{
    if (!brush) {
        return nullptr;
    }
    DWORD kind = style & PS_STYLE_MASK;
    bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
    if (kind > PS_ALTERNATE) {
        return nullptr;
    }
    // Cosmetic pens are one pixel wide and solid-coloured; the alternate style is cosmetic only.
    if (!geometric && (width != 1 || (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL))) {
        return nullptr;
    }
    if (geometric && kind == PS_ALTERNATE) {
        return nullptr;
    }
    if ((kind == PS_USERSTYLE) != (styleCount > 0) || styleCount > 16 || (styleCount > 0 && !styles)) {
        return nullptr;
    }
    auto pen = MakePen(true, style, static_cast<int>(width), brush->lbColor);
    pen->m_brushStyle = brush->lbStyle;
    pen->m_hatch = brush->lbHatch;
    if (brush->lbStyle == BS_NULL) {
        pen->m_style = (style & ~PS_STYLE_MASK) | PS_NULL;
    }
    pen->m_userStyle.assign(styles, styles + styleCount);
    return static_cast<HPEN>(GdiHandles::Add(pen));
}

// ---- Brushes ----

HBRUSH CreateSolidBrush(COLORREF color)
{
    return static_cast<HBRUSH>(GdiHandles::Add(MakeSolid(color)));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color)
{
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) {
        return nullptr;
    }
    auto b = std::make_shared<BrushObject>();
    b->m_style = BS_HATCHED;
    b->m_color = color & 0x00FFFFFFu;
    b->m_hatch = static_cast<ULONG_PTR>(hatch);
    return static_cast<HBRUSH>(GdiHandles::Add(b));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap)
{
    auto bm = GdiHandles::FindAs<BitmapObject>(bitmap, OBJ_BITMAP);
    if (!bm || bm->m_width <= 0 || bm->m_height <= 0) {
        return nullptr;
    }
    // The brush keeps its own copy: the bitmap may be deleted afterwards.
    bm->SyncDib();
    auto pattern = std::make_shared<BrushPattern>();
    pattern->width = bm->m_width;
    pattern->height = bm->m_height;
    pattern->mono = bm->IsMono();
    pattern->pixels.resize(static_cast<size_t>(pattern->width) * pattern->height);
    for (int y = 0; y < pattern->height; ++y) {
        const uint32_t* row = bm->Row(y);
        for (int x = 0; x < pattern->width; ++x) {
            uint32_t p = row[x] & 0x00FFFFFFu;
            pattern->pixels[static_cast<size_t>(y) * pattern->width + x] = pattern->mono ? (p ? 1u : 0u) : p;
        }
    }
    auto b = std::make_shared<BrushObject>();
    b->m_style = BS_PATTERN;
    b->m_hatch = reinterpret_cast<ULONG_PTR>(bitmap);
    b->m_pattern = std::move(pattern);
    return static_cast<HBRUSH>(GdiHandles::Add(b));
}

HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage)
{
    if (!packedDib) {
        return nullptr;
    }
    const auto* info = static_cast<const BITMAPINFO*>(packedDib);
    DibReader reader;
    if (!reader.Init(info, nullptr, usage)) {
        return nullptr;
    }
    auto pattern = std::make_shared<BrushPattern>();
    pattern->width = reader.Width();
    pattern->height = reader.Height();
    pattern->pixels.resize(static_cast<size_t>(pattern->width) * pattern->height);
    for (int y = 0; y < pattern->height; ++y) {
        for (int x = 0; x < pattern->width; ++x) {
            pattern->pixels[static_cast<size_t>(y) * pattern->width + x] = reader.Pixel(x, y);
        }
    }
    auto b = std::make_shared<BrushObject>();
    b->m_style = BS_DIBPATTERNPT;
    b->m_hatch = reinterpret_cast<ULONG_PTR>(packedDib);
    b->m_pattern = std::move(pattern);
    return static_cast<HBRUSH>(GdiHandles::Add(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* logBrush)
{
    if (!logBrush) {
        return nullptr;
    }
    switch (logBrush->lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(logBrush->lbColor);
    case BS_NULL: {
        auto b = std::make_shared<BrushObject>();
        b->m_style = BS_NULL;
        return static_cast<HBRUSH>(GdiHandles::Add(b));
    }
    case BS_HATCHED:
        return CreateHatchBrush(static_cast<int>(logBrush->lbHatch), logBrush->lbColor);
    case BS_PATTERN:
    case BS_PATTERN8X8:
        return CreatePatternBrush(reinterpret_cast<HBITMAP>(logBrush->lbHatch));
    case BS_DIBPATTERNPT:
    case BS_DIBPATTERN8X8:
        return CreateDIBPatternBrushPt(reinterpret_cast<const void*>(logBrush->lbHatch), LOWORD(logBrush->lbColor));
    default:
        // BS_DIBPATTERN passes its DIB as a global memory handle, which nothing in the program
        // does (it passes the packed DIB itself): no brush is made for it.
        return nullptr;
    }
}

// ---- Fonts ----

HFONT CreateFontIndirect(const LOGFONT* logFont)
{
    if (!logFont) {
        return nullptr;
    }
    auto f = std::make_shared<FontObject>();
    f->m_logFont = *logFont;
    f->m_logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    return static_cast<HFONT>(GdiHandles::Add(f));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                 DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                 DWORD pitchAndFamily, LPCSTR faceName)
{
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic ? 1 : 0);
    lf.lfUnderline = static_cast<BYTE>(underline ? 1 : 0);
    lf.lfStrikeOut = static_cast<BYTE>(strikeOut ? 1 : 0);
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName) {
        std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    }
    return CreateFontIndirect(&lf);
}

// ---- Regions ----

namespace {

std::shared_ptr<RegionObject> RegionOf(HRGN h)
{
    return GdiHandles::FindAs<RegionObject>(h, OBJ_REGION);
}

HRGN AddRegion(Region r)
{
    auto o = std::make_shared<RegionObject>();
    o->m_region = std::move(r);
    return static_cast<HRGN>(GdiHandles::Add(o));
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    return AddRegion(Region(left, top, right, bottom));
}

HRGN CreateRectRgnIndirect(const RECT* rect)
{
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
    if (!points || count < 2 || (fillMode != ALTERNATE && fillMode != WINDING)) {
        return nullptr;
    }
    return AddRegion(Region::FromPolygon(std::span<const POINT>(points, static_cast<size_t>(count)),
                                         static_cast<Region::FillRule>(fillMode)));
}

HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode)
{
    if (!points || !counts || polygons <= 0 || (fillMode != ALTERNATE && fillMode != WINDING)) {
        return nullptr;
    }
    size_t total = 0;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] < 0) {
            return nullptr;
        }
        total += static_cast<size_t>(counts[i]);
    }
    return AddRegion(Region::FromPolyPolygon(std::span<const POINT>(points, total),
                                             std::span<const INT>(counts, static_cast<size_t>(polygons)),
                                             static_cast<Region::FillRule>(fillMode)));
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom)
{
    return AddRegion(Region::FromEllipse(RECT{left, top, right, bottom}));
}

HRGN CreateEllipticRgnIndirect(const RECT* rect)
{
    return rect ? CreateEllipticRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    return AddRegion(Region::FromRoundRect(RECT{left, top, right, bottom}, ellipseWidth, ellipseHeight));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode)
{
    auto d = RegionOf(dest);
    auto a = RegionOf(src1);
    if (!d || !a || mode < RGN_AND || mode > RGN_COPY) {
        return ERROR;
    }
    if (mode == RGN_COPY) {
        d->m_region = a->m_region;
        return d->m_region.Kind();
    }
    auto b = RegionOf(src2);
    if (!b) {
        return ERROR;
    }
    d->m_region = Region::Combine(a->m_region, b->m_region, mode);
    return d->m_region.Kind();
}

BOOL PtInRegion(HRGN region, int x, int y)
{
    auto r = RegionOf(region);
    return r && r->m_region.Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN region, const RECT* rect)
{
    auto r = RegionOf(region);
    if (!r || !rect) {
        return FALSE;
    }
    RECT n{std::min(rect->left, rect->right), std::min(rect->top, rect->bottom), std::max(rect->left, rect->right),
           std::max(rect->top, rect->bottom)};
    return r->m_region.Intersects(n) ? TRUE : FALSE;
}

int OffsetRgn(HRGN region, int dx, int dy)
{
    auto r = RegionOf(region);
    if (!r) {
        return ERROR;
    }
    r->m_region.Offset(dx, dy);
    return r->m_region.Kind();
}

int GetRgnBox(HRGN region, RECT* rect)
{
    auto r = RegionOf(region);
    if (!r || !rect) {
        return ERROR;
    }
    *rect = r->m_region.Bounds();
    return r->m_region.Kind();
}

BOOL EqualRgn(HRGN a, HRGN b)
{
    auto ra = RegionOf(a);
    auto rb = RegionOf(b);
    if (!ra || !rb) {
        return ERROR;
    }
    return ra->m_region == rb->m_region ? TRUE : FALSE;
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom)
{
    auto r = RegionOf(region);
    if (!r) {
        return FALSE;
    }
    r->m_region.SetRect(RECT{left, top, right, bottom});
    return TRUE;
}

DWORD GetRegionRects(HRGN region, DWORD bytes, RECT* rects)
{
    auto r = RegionOf(region);
    if (!r) {
        return 0;
    }
    auto all = r->m_region.Rects();
    DWORD needed = static_cast<DWORD>(all.size() * sizeof(RECT));
    if (!rects) {
        return needed;
    }
    if (bytes < needed) {
        return 0;
    }
    std::copy(all.begin(), all.end(), rects);
    return needed;
}

// ---- Generic object calls ----

HGDIOBJ GetStockObject(int index)
{
    auto o = GdiHandles::Stock(index);
    return o ? o->Handle() : nullptr;
}

int GetObject(HGDIOBJ object, int bytes, void* buffer)
{
    auto o = GdiHandles::Find(object);
    if (!o) {
        return 0;
    }
    auto copyOut = [&](const void* src, int size) {
        if (!buffer) {
            return size;
        }
        int n = std::min(bytes, size);
        if (n <= 0) {
            return 0;
        }
        std::memcpy(buffer, src, static_cast<size_t>(n));
        return n;
    };
    switch (o->Type()) {
    case OBJ_PEN: {
        auto* p = static_cast<PenObject*>(o.get());
        LOGPEN lp{static_cast<UINT>(p->m_style), POINT{p->m_width, 0}, p->m_color};
        return copyOut(&lp, sizeof(lp));
    }
    case OBJ_EXTPEN: {
        auto* p = static_cast<PenObject*>(o.get());
        size_t entries = p->m_userStyle.size();
        size_t size = offsetof(EXTLOGPEN, elpStyleEntry) + std::max<size_t>(entries, 1) * sizeof(DWORD);
        std::vector<unsigned char> raw(size);
        auto* ep = reinterpret_cast<EXTLOGPEN*>(raw.data());
        ep->elpPenStyle = p->m_style;
        ep->elpWidth = static_cast<DWORD>(p->m_width);
        ep->elpBrushStyle = p->m_brushStyle;
        ep->elpColor = p->m_color;
        ep->elpHatch = p->m_hatch;
        ep->elpNumEntries = static_cast<DWORD>(entries);
        for (size_t i = 0; i < entries; ++i) {
            ep->elpStyleEntry[i] = p->m_userStyle[i];
        }
        return copyOut(raw.data(), static_cast<int>(size));
    }
    case OBJ_BRUSH: {
        auto* b = static_cast<BrushObject*>(o.get());
        LOGBRUSH lb{b->m_style, b->m_color, b->m_hatch};
        return copyOut(&lb, sizeof(lb));
    }
    case OBJ_FONT: {
        auto* f = static_cast<FontObject*>(o.get());
        return copyOut(&f->m_logFont, sizeof(LOGFONT));
    }
    case OBJ_PAL: {
        // A palette answers its entry count.
        const WORD count = static_cast<WORD>(static_cast<PaletteObject*>(o.get())->m_entries.size());
        return copyOut(&count, sizeof(count));
    }
    case OBJ_BITMAP: {
        auto* bm = static_cast<BitmapObject*>(o.get());
        DIBSECTION ds{};
        ds.dsBm.bmType = 0;
        ds.dsBm.bmWidth = bm->m_width;
        ds.dsBm.bmHeight = bm->m_height;
        ds.dsBm.bmPlanes = 1;
        ds.dsBm.bmBitsPixel = static_cast<WORD>(bm->IsDibSection() ? bm->m_dibHeader.biBitCount : bm->m_bitsPixel);
        if (bm->IsDibSection()) {
            ds.dsBm.bmWidthBytes = ((bm->m_width * ds.dsBm.bmBitsPixel + 31) / 32) * 4;
            ds.dsBm.bmBits = bm->m_dibMemory;
            ds.dsBmih = bm->m_dibHeader;
            if (buffer && bytes >= static_cast<int>(sizeof(DIBSECTION))) {
                return copyOut(&ds, sizeof(DIBSECTION));
            }
        } else {
            ds.dsBm.bmWidthBytes = ((bm->m_width * ds.dsBm.bmBitsPixel + 15) / 16) * 2;
        }
        return copyOut(&ds.dsBm, sizeof(BITMAP));
    }
    default:
        return 0;
    }
}

DWORD GetObjectType(HGDIOBJ object)
{
    auto o = GdiHandles::Find(object);
    if (o) {
        return static_cast<DWORD>(o->Type());
    }
    return GdiDeviceContextType(object);
}

BOOL DeleteObject(HGDIOBJ object)
{
    auto o = GdiHandles::Find(object);
    if (!o) {
        return FALSE;
    }
    if (o->m_stock) {
        return TRUE;
    }
    // An object still selected into a device context stays; the caller must select it out
    // first.
    if (o->m_selectCount > 0) {
        return FALSE;
    }
    return GdiHandles::Remove(object) ? TRUE : FALSE;
}

BOOL UnrealizeObject(HGDIOBJ object)
{
    return GdiHandles::Find(object) ? TRUE : FALSE;
}
