// Lines, rectangles, ellipses, polygons, region fills and single pixels, with the platform's
// pixel rules: 1-pixel lines leave their end point out, shapes fill half-open rectangles, and
// everything goes through the binary raster operation.
#include "platform/win/Gdi.h"
#include "platform/win/detail/Paint.h"
#include "platform/win/UserApi.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#define RECORD(...)                                                   \
    if (dc->GetKind() == DeviceContext::Kind::Recording) {           \
        dc->Record(__VA_ARGS__);                                      \
    }

// ---- Paint resolution ----

const uint8_t* HatchBits(int hatch)
{
    static const uint8_t bits[6][8] = {
        {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00}, // HS_HORIZONTAL
        {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10}, // HS_VERTICAL
        {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // HS_FDIAGONAL
        {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // HS_BDIAGONAL
        {0x10, 0x10, 0x10, 0xFF, 0x10, 0x10, 0x10, 0x10}, // HS_CROSS
        {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // HS_DIAGCROSS
    };
    return bits[std::clamp(hatch, 0, 5)];
}

FillPaint SolidPaint(DeviceContext& dc, COLORREF color)
{
    FillPaint p;
    p.kind = FillPaint::Kind::Solid;
    p.color = dc.DevicePixel(color);
    return p;
}

FillPaint ResolveBrush(DeviceContext& dc, const BrushObject* brush)
{
    FillPaint p;
    if (!brush) {
        return p;
    }
    const DcState& s = dc.State();
    switch (brush->m_style) {
    case BS_SOLID:
        return SolidPaint(dc, brush->m_dcBrush ? s.dcBrushColor : brush->m_color);
    case BS_HATCHED: {
        p.kind = FillPaint::Kind::Pattern;
        p.pw = 8;
        p.ph = 8;
        p.pattern.resize(64);
        const uint8_t* bits = HatchBits(static_cast<int>(brush->m_hatch));
        uint32_t fore = dc.DevicePixel(brush->m_color);
        uint32_t back = s.bkMode == OPAQUE ? dc.DevicePixel(s.bkColor) : FillPaint::kHole;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                p.pattern[static_cast<size_t>(y) * 8 + x] = (bits[y] & (0x80 >> x)) ? fore : back;
            }
        }
        break;
    }
    case BS_PATTERN:
    case BS_PATTERN8X8:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
    case BS_DIBPATTERN8X8: {
        if (!brush->m_pattern) {
            return p;
        }
        const BrushPattern& bp = *brush->m_pattern;
        p.kind = FillPaint::Kind::Pattern;
        p.pw = bp.width;
        p.ph = bp.height;
        p.pattern.resize(bp.pixels.size());
        uint32_t zero = dc.DevicePixel(s.textColor);
        uint32_t one = dc.DevicePixel(s.bkColor);
        for (size_t i = 0; i < bp.pixels.size(); ++i) {
            p.pattern[i] = bp.mono ? (bp.pixels[i] ? one : zero) : dc.DevicePixel(PixelToColor(bp.pixels[i]));
        }
        break;
    }
    default:
        return p;
    }
    p.orgX = s.brushOrg.x;
    p.orgY = s.brushOrg.y;
    return p;
}

uint32_t PenPixel(DeviceContext& dc, const PenObject& pen)
{
    return dc.DevicePixel(pen.m_dcPen ? dc.State().dcPenColor : pen.m_color);
}

namespace {

// ---- Pens on the device ----

// Dash lengths in pixels, on first.
struct DashPattern {
    int lengths[16];
    int count = 0;
    int total = 0;
};

DashPattern MakeDashes(const PenObject& pen, int deviceWidth)
{
    DashPattern d;
    auto set = [&d](std::initializer_list<int> l, int scale) {
        d.count = 0;
        for (int v : l) {
            d.lengths[d.count++] = v * scale;
        }
    };
    bool geometric = pen.IsGeometric() || pen.m_width > 1;
    int w = std::max(deviceWidth, 1);
    switch (pen.Kind()) {
    case PS_DASH: geometric ? set({3, 1}, w) : set({18, 6}, 1); break;
    case PS_DOT: geometric ? set({1, 1}, w) : set({3, 3}, 1); break;
    case PS_DASHDOT: geometric ? set({3, 1, 1, 1}, w) : set({9, 6, 3, 6}, 1); break;
    case PS_DASHDOTDOT: geometric ? set({3, 1, 1, 1, 1, 1}, w) : set({9, 3, 3, 3, 3, 3}, 1); break;
    case PS_ALTERNATE: set({1, 1}, 1); break;
    case PS_USERSTYLE:
        for (DWORD v : pen.m_userStyle) {
            if (d.count < 16) {
                d.lengths[d.count++] = static_cast<int>(std::max<DWORD>(v, 1)) * (geometric ? 1 : 1);
            }
        }
        if (d.count % 2 == 1 && d.count < 16) {
            // An odd list repeats with on and off swapped, as if written twice.
            int n = d.count;
            for (int i = 0; i < n && d.count < 16; ++i) {
                d.lengths[d.count++] = d.lengths[i];
            }
        }
        break;
    default: break;
    }
    for (int i = 0; i < d.count; ++i) {
        d.total += d.lengths[i];
    }
    if (d.total == 0) {
        d.count = 0;
    }
    return d;
}

// The style position of a line being drawn, carried from segment to segment of one polyline.
struct DashState {
    const DashPattern* dashes = nullptr;
    int position = 0;
    bool On() const
    {
        if (!dashes || dashes->count == 0) {
            return true;
        }
        int p = position % dashes->total;
        for (int i = 0; i < dashes->count; ++i) {
            if (p < dashes->lengths[i]) {
                return (i & 1) == 0;
            }
            p -= dashes->lengths[i];
        }
        return true;
    }
    void Advance() { ++position; }
};

struct StrokeInfo {
    bool none = true;
    bool thin = true;
    bool geometric = false;
    int width = 1; // device pixels
    DWORD cap = PS_ENDCAP_ROUND;
    DWORD join = PS_JOIN_ROUND;
    bool insideFrame = false;
    uint32_t color = 0;
    DashPattern dashes;
};

StrokeInfo StrokeOf(DeviceContext& dc)
{
    StrokeInfo si;
    const PenObject* pen = dc.State().pen.get();
    if (!pen || pen->Kind() == PS_NULL) {
        return si;
    }
    si.none = false;
    si.geometric = pen->IsGeometric() || pen->m_width > 1;
    si.width = si.geometric ? std::max(1, dc.WidthToDevice(pen->m_width)) : 1;
    si.thin = si.width <= 1;
    si.cap = pen->m_style & PS_ENDCAP_MASK;
    si.join = pen->m_style & PS_JOIN_MASK;
    si.insideFrame = pen->Kind() == PS_INSIDEFRAME;
    si.color = PenPixel(dc, *pen);
    si.dashes = MakeDashes(*pen, si.width);
    return si;
}

// ---- Thin lines ----

// Draws the 1-pixel line from (x0, y0) towards (x1, y1), the end point left out unless
// includeEnd, advancing the dash state by one per pixel.
void ThinLine(DeviceContext& dc, const PixelTarget& t, const Region& clip, POINT a, POINT b, bool includeEnd,
              const StrokeInfo& si, DashState& dash)
{
    int rop = dc.State().rop2;
    bool opaque = dc.State().bkMode == OPAQUE;
    uint32_t bk = dc.DevicePixel(dc.State().bkColor);
    int dx = std::abs(b.x - a.x);
    int dy = std::abs(b.y - a.y);
    int sx = b.x > a.x ? 1 : -1;
    int sy = b.y > a.y ? 1 : -1;
    int steps = std::max(dx, dy) + (includeEnd ? 1 : 0);
    if (steps <= 0) {
        return;
    }
    // Axis-aligned solid lines are rectangles: fill them as such.
    if (si.dashes.count == 0 && (dx == 0 || dy == 0)) {
        RECT r;
        if (dy == 0) {
            int last = a.x + sx * (steps - 1);
            r = RECT{std::min(a.x, last), a.y, std::max(a.x, last) + 1, a.y + 1};
        } else {
            int last = a.y + sy * (steps - 1);
            r = RECT{a.x, std::min(a.y, last), a.x + 1, std::max(a.y, last) + 1};
        }
        FillPaint p;
        p.kind = FillPaint::Kind::Solid;
        p.color = si.color;
        FillRectClipped(t, clip, r, p, rop);
        dash.position += steps;
        return;
    }
    int x = a.x;
    int y = a.y;
    auto plot = [&]() {
        if (dash.On()) {
            PlotPixel(t, clip, x, y, si.color, rop);
        } else if (opaque) {
            PlotPixel(t, clip, x, y, bk, rop);
        }
        dash.Advance();
    };
    if (dx >= dy) {
        int err = 2 * dy - dx;
        for (int i = 0; i < steps; ++i) {
            plot();
            if (err > 0) {
                y += sy;
                err -= 2 * dx;
            }
            err += 2 * dy;
            x += sx;
        }
    } else {
        int err = 2 * dx - dy;
        for (int i = 0; i < steps; ++i) {
            plot();
            if (err > 0) {
                x += sx;
                err -= 2 * dy;
            }
            err += 2 * dx;
            y += sy;
        }
    }
}

// ---- Wide lines ----

using PF = Region::PointF;

Region Disc(double cx, double cy, double radius)
{
    std::vector<PF> pts;
    const int n = std::max(8, static_cast<int>(radius * 4));
    for (int i = 0; i < n; ++i) {
        double a = 2 * M_PI * i / n;
        pts.push_back(PF{cx + radius * std::cos(a), cy + radius * std::sin(a)});
    }
    return Region::FromPolygonF(pts, Region::FillRule::Winding);
}

// The pixels a wide pen covers along one segment (without joins), in pixel-centre geometry.
Region SegmentShape(PF p, PF q, double hw, DWORD cap, bool startCap, bool endCap)
{
    double dx = q.x - p.x, dy = q.y - p.y;
    double len = std::hypot(dx, dy);
    Region shape;
    if (len == 0) {
        if (cap == PS_ENDCAP_ROUND) {
            return Disc(p.x, p.y, hw);
        }
        if (cap == PS_ENDCAP_SQUARE) {
            PF sq[4] = {{p.x - hw, p.y - hw}, {p.x + hw, p.y - hw}, {p.x + hw, p.y + hw}, {p.x - hw, p.y + hw}};
            return Region::FromPolygonF(sq, Region::FillRule::Winding);
        }
        return shape;
    }
    double ux = dx / len, uy = dy / len;
    double nx = -uy * hw, ny = ux * hw;
    double ext0 = startCap && cap == PS_ENDCAP_SQUARE ? hw : 0;
    double ext1 = endCap && cap == PS_ENDCAP_SQUARE ? hw : 0;
    PF a{p.x - ux * ext0, p.y - uy * ext0};
    PF b{q.x + ux * ext1, q.y + uy * ext1};
    PF quad[4] = {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}};
    shape = Region::FromPolygonF(quad, Region::FillRule::Winding);
    if (cap == PS_ENDCAP_ROUND) {
        if (startCap) {
            shape = shape.Union(Disc(p.x, p.y, hw));
        }
        if (endCap) {
            shape = shape.Union(Disc(q.x, q.y, hw));
        }
    }
    return shape;
}

Region JoinShape(PF prev, PF p, PF next, double hw, DWORD join)
{
    if (join == PS_JOIN_ROUND) {
        return Disc(p.x, p.y, hw);
    }
    double d1x = p.x - prev.x, d1y = p.y - prev.y, d2x = next.x - p.x, d2y = next.y - p.y;
    double l1 = std::hypot(d1x, d1y), l2 = std::hypot(d2x, d2y);
    if (l1 == 0 || l2 == 0) {
        return Region();
    }
    d1x /= l1, d1y /= l1, d2x /= l2, d2y /= l2;
    PF n1{-d1y, d1x}, n2{-d2y, d2x};
    // The outer side of the turn is opposite to where the path turns.
    double side = (d2x * n1.x + d2y * n1.y) > 0 ? -1.0 : 1.0;
    PF o1{p.x + side * n1.x * hw, p.y + side * n1.y * hw};
    PF o2{p.x + side * n2.x * hw, p.y + side * n2.y * hw};
    double cosHalf = std::sqrt(std::max(0.0, (1 + n1.x * n2.x + n1.y * n2.y) / 2));
    if (join == PS_JOIN_MITER && cosHalf > 0.1) {
        double mx = (n1.x + n2.x), my = (n1.y + n2.y);
        double ml = std::hypot(mx, my);
        double reach = hw / cosHalf;
        PF m{p.x + side * mx / ml * reach, p.y + side * my / ml * reach};
        PF quad[4] = {p, o1, m, o2};
        return Region::FromPolygonF(quad, Region::FillRule::Winding);
    }
    PF tri[3] = {p, o1, o2};
    return Region::FromPolygonF(tri, Region::FillRule::Winding);
}

Region WideStroke(const std::vector<POINT>& pts, bool closed, const StrokeInfo& si)
{
    double hw = si.width / 2.0;
    std::vector<PF> p;
    for (const POINT& q : pts) {
        p.push_back(PF{q.x + 0.5, q.y + 0.5});
    }
    Region shape;
    size_t n = p.size();
    size_t segments = closed ? n : n - 1;
    for (size_t i = 0; i < segments; ++i) {
        PF a = p[i];
        PF b = p[(i + 1) % n];
        bool first = !closed && i == 0;
        bool last = !closed && i + 1 == segments;
        if (si.dashes.count == 0) {
            shape = shape.Union(SegmentShape(a, b, hw, si.cap, first, last));
        } else {
            // Each dash is a short segment with its own caps.
            double len = std::hypot(b.x - a.x, b.y - a.y);
            double pos = 0;
            int k = 0;
            while (pos < len && len > 0) {
                double dlen = si.dashes.lengths[k % si.dashes.count];
                double end = std::min(len, pos + dlen);
                if (k % 2 == 0) {
                    PF s{a.x + (b.x - a.x) * pos / len, a.y + (b.y - a.y) * pos / len};
                    PF e{a.x + (b.x - a.x) * end / len, a.y + (b.y - a.y) * end / len};
                    shape = shape.Union(SegmentShape(s, e, hw, si.cap, true, true));
                }
                pos = end;
                ++k;
            }
        }
    }
    if (si.dashes.count == 0) {
        for (size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i) {
            shape = shape.Union(JoinShape(p[(i + n - 1) % n], p[i], p[(i + 1) % n], hw, si.join));
        }
    }
    return shape;
}

// Strokes a path given in device coordinates.
void StrokeDevicePath(DeviceContext& dc, const std::vector<POINT>& pts, bool closed, const StrokeInfo& si)
{
    if (si.none || pts.empty()) {
        return;
    }
    PixelTarget t = dc.Target();
    if (!t.Valid()) {
        return;
    }
    const Region& clip = dc.Clip();
    if (si.thin) {
        DashState dash;
        dash.dashes = &si.dashes;
        size_t n = pts.size();
        size_t segments = closed ? n : n - 1;
        for (size_t i = 0; i < segments; ++i) {
            bool last = i + 1 == segments;
            // Geometric 1-pixel pens keep their end point unless the caps are flat.
            bool includeEnd = last && !closed && si.geometric && si.cap != PS_ENDCAP_FLAT;
            ThinLine(dc, t, clip, pts[i], pts[(i + 1) % n], includeEnd, si, dash);
        }
        if (n == 1 && si.geometric && si.cap != PS_ENDCAP_FLAT) {
            ThinLine(dc, t, clip, pts[0], pts[0], true, si, dash);
        }
        return;
    }
    FillPaint paint;
    paint.kind = FillPaint::Kind::Solid;
    paint.color = si.color;
    FillRegionClipped(t, clip, WideStroke(pts, closed, si), paint, dc.State().rop2);
}

std::vector<POINT> ToDevicePoints(DeviceContext& dc, const POINT* pts, size_t n)
{
    std::vector<POINT> out(n);
    for (size_t i = 0; i < n; ++i) {
        out[i] = dc.ToDevice(pts[i].x, pts[i].y);
    }
    return out;
}

RECT NormalDeviceRect(DeviceContext& dc, int l, int t, int r, int b)
{
    RECT d = dc.ToDevice(RECT{l, t, r, b});
    return RECT{std::min(d.left, d.right), std::min(d.top, d.bottom), std::max(d.left, d.right),
                std::max(d.top, d.bottom)};
}

void FillWithBrush(DeviceContext& dc, const Region& shape)
{
    FillPaint p = ResolveBrush(dc, dc.State().brush.get());
    FillRegionClipped(dc.Target(), dc.Clip(), shape, p, dc.State().rop2);
}

void FillWithPen(DeviceContext& dc, const Region& shape, const StrokeInfo& si)
{
    FillPaint p;
    p.kind = FillPaint::Kind::Solid;
    p.color = si.color;
    FillRegionClipped(dc.Target(), dc.Clip(), shape, p, dc.State().rop2);
}

// Fills a closed shape built by make(rect) and outlines it with the pen: the shared rule of
// Rectangle, Ellipse and RoundRect. A null pen makes the shape one pixel smaller at the right
// and bottom; a 1-pixel pen draws inside the bounds; a wider pen is centred on them unless it
// is an inside-frame pen.
template <typename Make>
void ClosedShape(DeviceContext& dc, RECT r, Make make)
{
    StrokeInfo si = StrokeOf(dc);
    if (si.none) {
        FillWithBrush(dc, make(RECT{r.left, r.top, r.right - 1, r.bottom - 1}));
        return;
    }
    int w = si.width;
    RECT outer = r;
    if (w > 1 && !si.insideFrame) {
        outer = RECT{r.left - w / 2, r.top - w / 2, r.right - 1 - w / 2 + w, r.bottom - 1 - w / 2 + w};
    }
    Region shape = make(outer);
    Region inner = shape;
    for (int i = 0; i < w; ++i) {
        inner = inner.Eroded();
    }
    FillWithBrush(dc, inner);
    if (si.dashes.count != 0 && si.thin && make(RECT{0, 0, 4, 4}) == Region(0, 0, 4, 4)) {
        // A styled outline of a rectangle runs its dashes around the corners.
        std::vector<POINT> path = {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
        StrokeDevicePath(dc, path, true, si);
        return;
    }
    FillWithPen(dc, shape.Subtract(inner), si);
}

} // namespace

// ---- Lines ----

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old)
{
    GDI_DC_OR(hdc, FALSE);
    if (old) {
        *old = dc->State().currentPos;
    }
    dc->State().currentPos = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y)
{
    GDI_DC_OR(hdc, FALSE);
    RECORD("LineTo", {x, y});
    POINT from = dc->State().currentPos;
    std::vector<POINT> pts = {dc->ToDevice(from.x, from.y), dc->ToDevice(x, y)};
    StrokeDevicePath(*dc, pts, false, StrokeOf(*dc));
    dc->State().currentPos = POINT{x, y};
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count)
{
    GDI_DC_OR(hdc, FALSE);
    if (!points || count < 2) {
        return FALSE;
    }
    RECORD("Polyline", {count});
    StrokeDevicePath(*dc, ToDevicePoints(*dc, points, static_cast<size_t>(count)), false, StrokeOf(*dc));
    return TRUE;
}

BOOL PolylineTo(HDC hdc, const POINT* points, DWORD count)
{
    GDI_DC_OR(hdc, FALSE);
    if (!points || count == 0) {
        return FALSE;
    }
    RECORD("PolylineTo", {static_cast<long long>(count)});
    std::vector<POINT> all;
    all.push_back(dc->State().currentPos);
    all.insert(all.end(), points, points + count);
    StrokeDevicePath(*dc, ToDevicePoints(*dc, all.data(), all.size()), false, StrokeOf(*dc));
    dc->State().currentPos = points[count - 1];
    return TRUE;
}

BOOL PolyPolyline(HDC hdc, const POINT* points, const DWORD* counts, DWORD polylines)
{
    GDI_DC_OR(hdc, FALSE);
    if (!points || !counts) {
        return FALSE;
    }
    RECORD("PolyPolyline", {static_cast<long long>(polylines)});
    StrokeInfo si = StrokeOf(*dc);
    size_t start = 0;
    for (DWORD i = 0; i < polylines; ++i) {
        if (counts[i] < 2) {
            return FALSE;
        }
        StrokeDevicePath(*dc, ToDevicePoints(*dc, points + start, counts[i]), false, si);
        start += counts[i];
    }
    return TRUE;
}

// ---- Closed shapes ----

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    GDI_DC_OR(hdc, FALSE);
    RECORD("Rectangle", {left, top, right, bottom});
    RECT r = NormalDeviceRect(*dc, left, top, right, bottom);
    ClosedShape(*dc, r, [](const RECT& b) { return Region(b); });
    return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
    GDI_DC_OR(hdc, FALSE);
    RECORD("Ellipse", {left, top, right, bottom});
    RECT r = NormalDeviceRect(*dc, left, top, right, bottom);
    ClosedShape(*dc, r, [](const RECT& b) { return Region::FromEllipse(b); });
    return TRUE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height)
{
    GDI_DC_OR(hdc, FALSE);
    RECORD("RoundRect", {left, top, right, bottom, width, height});
    RECT r = NormalDeviceRect(*dc, left, top, right, bottom);
    int ew = dc->WidthToDevice(width);
    int eh = dc->HeightToDevice(height);
    ClosedShape(*dc, r, [ew, eh](const RECT& b) { return Region::FromRoundRect(b, ew, eh); });
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count)
{
    GDI_DC_OR(hdc, FALSE);
    if (!points || count < 2) {
        return FALSE;
    }
    RECORD("Polygon", {count});
    std::vector<POINT> pts = ToDevicePoints(*dc, points, static_cast<size_t>(count));
    FillWithBrush(*dc, Region::FromPolygon(pts, static_cast<Region::FillRule>(dc->State().polyFillMode)));
    StrokeDevicePath(*dc, pts, true, StrokeOf(*dc));
    return TRUE;
}

BOOL PolyPolygon(HDC hdc, const POINT* points, const INT* counts, int polygons)
{
    GDI_DC_OR(hdc, FALSE);
    if (!points || !counts || polygons <= 0) {
        return FALSE;
    }
    RECORD("PolyPolygon", {polygons});
    size_t total = 0;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] < 2) {
            return FALSE;
        }
        total += static_cast<size_t>(counts[i]);
    }
    std::vector<POINT> pts = ToDevicePoints(*dc, points, total);
    FillWithBrush(*dc, Region::FromPolyPolygon(pts, std::span<const INT>(counts, static_cast<size_t>(polygons)),
                                               static_cast<Region::FillRule>(dc->State().polyFillMode)));
    StrokeInfo si = StrokeOf(*dc);
    size_t start = 0;
    for (int i = 0; i < polygons; ++i) {
        std::vector<POINT> one(pts.begin() + static_cast<ptrdiff_t>(start),
                               pts.begin() + static_cast<ptrdiff_t>(start + static_cast<size_t>(counts[i])));
        StrokeDevicePath(*dc, one, true, si);
        start += static_cast<size_t>(counts[i]);
    }
    return TRUE;
}

namespace {

enum class ArcKind { Arc, Pie, Chord };

// Arcs run counter-clockwise on the screen from the start radial to the end radial.
BOOL ArcShape(HDC hdc, ArcKind kind, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye)
{
    GDI_DC_OR(hdc, FALSE);
    RECT r = NormalDeviceRect(*dc, left, top, right, bottom);
    POINT s = dc->ToDevice(xs, ys);
    POINT e = dc->ToDevice(xe, ye);
    double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    double a0 = std::atan2(-(s.y + 0.5 - cy), s.x + 0.5 - cx);
    double a1 = std::atan2(-(e.y + 0.5 - cy), e.x + 0.5 - cx);
    if (a1 <= a0) {
        a1 += 2 * M_PI;
    }
    double rx = (r.right - r.left) / 2.0, ry = (r.bottom - r.top) / 2.0;
    double far = 2 * std::max(rx, ry) + 4;
    std::vector<Region::PointF> sector;
    std::vector<Region::PointF> chord;
    sector.push_back({cx, cy});
    const int steps = 64;
    for (int i = 0; i <= steps; ++i) {
        double a = a0 + (a1 - a0) * i / steps;
        sector.push_back({cx + far * std::cos(a), cy - far * std::sin(a)});
        chord.push_back({cx + rx * std::cos(a), cy - ry * std::sin(a)});
    }
    Region wedge = Region::FromPolygonF(sector, Region::FillRule::Winding);
    Region cut = kind == ArcKind::Chord ? Region::FromPolygonF(chord, Region::FillRule::Winding) : wedge;
    StrokeInfo si = StrokeOf(*dc);
    Region full = Region::FromEllipse(si.none ? RECT{r.left, r.top, r.right - 1, r.bottom - 1} : r);
    Region inner = si.none ? full : full.Eroded();
    for (int i = 1; i < si.width; ++i) {
        inner = inner.Eroded();
    }
    if (kind != ArcKind::Arc) {
        FillWithBrush(*dc, inner.Intersect(cut));
    }
    if (!si.none) {
        FillWithPen(*dc, full.Subtract(inner).Intersect(kind == ArcKind::Chord ? wedge : wedge), si);
        POINT p0{static_cast<LONG>(std::lround(cx - 0.5 + rx * std::cos(a0))), static_cast<LONG>(std::lround(cy - 0.5 - ry * std::sin(a0)))};
        POINT p1{static_cast<LONG>(std::lround(cx - 0.5 + rx * std::cos(a1))), static_cast<LONG>(std::lround(cy - 0.5 - ry * std::sin(a1)))};
        if (kind == ArcKind::Pie) {
            POINT c{static_cast<LONG>(std::lround(cx - 0.5)), static_cast<LONG>(std::lround(cy - 0.5))};
            StrokeDevicePath(*dc, {p1, c, p0}, false, si);
        } else if (kind == ArcKind::Chord) {
            StrokeDevicePath(*dc, {p1, p0}, false, si);
        }
    }
    return TRUE;
}

} // namespace

BOOL Arc(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    return ArcShape(hdc, ArcKind::Arc, l, t, r, b, xs, ys, xe, ye);
}

BOOL Pie(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    return ArcShape(hdc, ArcKind::Pie, l, t, r, b, xs, ys, xe, ye);
}

BOOL Chord(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    return ArcShape(hdc, ArcKind::Chord, l, t, r, b, xs, ys, xe, ye);
}

// ---- Rectangles with a given brush ----

namespace {

// A brush handle, or a system colour index plus one as window classes give it.
FillPaint PaintOfBrushArg(DeviceContext& dc, HBRUSH brush)
{
    auto value = reinterpret_cast<uintptr_t>(brush);
    if (value > 0 && value <= 31) {
        return SolidPaint(dc, GetSysColor(static_cast<int>(value) - 1));
    }
    auto b = GdiHandles::FindAs<BrushObject>(brush, OBJ_BRUSH);
    if (!b) {
        return FillPaint();
    }
    return ResolveBrush(dc, b.get());
}

// The device rectangle of a logical one, empty when the logical one is.
bool DeviceRectOf(DeviceContext& dc, const RECT* rect, RECT& out)
{
    if (!rect || rect->right <= rect->left || rect->bottom <= rect->top) {
        return false;
    }
    out = NormalDeviceRect(dc, rect->left, rect->top, rect->right, rect->bottom);
    return out.left < out.right && out.top < out.bottom;
}

Region DeviceRegionOf(DeviceContext& dc, const Region& logical)
{
    if (dc.IsIdentityMapping()) {
        Region r = logical;
        POINT o = dc.ToDevice(0, 0);
        r.Offset(o.x, o.y);
        return r;
    }
    Region out;
    for (const RECT& lr : logical.Rects()) {
        out = out.Union(Region(NormalDeviceRect(dc, lr.left, lr.top, lr.right, lr.bottom)));
    }
    return out;
}

} // namespace

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    GDI_DC_OR(hdc, FALSE);
    if (rect) {
        RECORD("FillRect", {rect->left, rect->top, rect->right, rect->bottom});
    }
    RECT r;
    if (!DeviceRectOf(*dc, rect, r)) {
        return TRUE;
    }
    FillPaint p = PaintOfBrushArg(*dc, brush);
    if (p.kind == FillPaint::Kind::None) {
        return FALSE;
    }
    FillRectClipped(dc->Target(), dc->Clip(), r, p, R2_COPYPEN);
    return TRUE;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    GDI_DC_OR(hdc, FALSE);
    if (rect) {
        RECORD("FrameRect", {rect->left, rect->top, rect->right, rect->bottom});
    }
    RECT r;
    if (!DeviceRectOf(*dc, rect, r)) {
        return TRUE;
    }
    FillPaint p = PaintOfBrushArg(*dc, brush);
    Region frame = Region(r).Subtract(Region(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1));
    FillRegionClipped(dc->Target(), dc->Clip(), frame, p, R2_COPYPEN);
    return TRUE;
}

BOOL InvertRect(HDC hdc, const RECT* rect)
{
    GDI_DC_OR(hdc, FALSE);
    if (rect) {
        RECORD("InvertRect", {rect->left, rect->top, rect->right, rect->bottom});
    }
    RECT r;
    if (!DeviceRectOf(*dc, rect, r)) {
        return TRUE;
    }
    FillPaint p;
    p.kind = FillPaint::Kind::Solid;
    FillRectClipped(dc->Target(), dc->Clip(), r, p, R2_NOT);
    return TRUE;
}

BOOL FillRgn(HDC hdc, HRGN region, HBRUSH brush)
{
    GDI_DC_OR(hdc, FALSE);
    auto rgn = GdiHandles::FindAs<RegionObject>(region, OBJ_REGION);
    if (!rgn) {
        return FALSE;
    }
    RECORD("FillRgn", {});
    FillPaint p = PaintOfBrushArg(*dc, brush);
    FillRegionClipped(dc->Target(), dc->Clip(), DeviceRegionOf(*dc, rgn->m_region), p, R2_COPYPEN);
    return TRUE;
}

BOOL PaintRgn(HDC hdc, HRGN region)
{
    GDI_DC_OR(hdc, FALSE);
    auto rgn = GdiHandles::FindAs<RegionObject>(region, OBJ_REGION);
    if (!rgn) {
        return FALSE;
    }
    RECORD("PaintRgn", {});
    FillWithBrush(*dc, DeviceRegionOf(*dc, rgn->m_region));
    return TRUE;
}

BOOL InvertRgn(HDC hdc, HRGN region)
{
    GDI_DC_OR(hdc, FALSE);
    auto rgn = GdiHandles::FindAs<RegionObject>(region, OBJ_REGION);
    if (!rgn) {
        return FALSE;
    }
    RECORD("InvertRgn", {});
    FillPaint p;
    p.kind = FillPaint::Kind::Solid;
    FillRegionClipped(dc->Target(), dc->Clip(), DeviceRegionOf(*dc, rgn->m_region), p, R2_NOT);
    return TRUE;
}

BOOL FrameRgn(HDC hdc, HRGN region, HBRUSH brush, int width, int height)
{
    GDI_DC_OR(hdc, FALSE);
    auto rgn = GdiHandles::FindAs<RegionObject>(region, OBJ_REGION);
    if (!rgn || width <= 0 || height <= 0) {
        return FALSE;
    }
    RECORD("FrameRgn", {width, height});
    Region shape = DeviceRegionOf(*dc, rgn->m_region);
    // The frame is what the region loses when shrunk by width pixels sideways and height
    // pixels up and down.
    Region inner = shape;
    for (int k = 1; k <= width; ++k) {
        Region a = shape, b = shape;
        a.Offset(k, 0);
        b.Offset(-k, 0);
        inner = inner.Intersect(a).Intersect(b);
    }
    for (int k = 1; k <= height; ++k) {
        Region a = shape, b = shape;
        a.Offset(0, k);
        b.Offset(0, -k);
        inner = inner.Intersect(a).Intersect(b);
    }
    FillPaint p = PaintOfBrushArg(*dc, brush);
    FillRegionClipped(dc->Target(), dc->Clip(), shape.Subtract(inner), p, R2_COPYPEN);
    return TRUE;
}

// ---- Pixels ----

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    GDI_DC_OR(hdc, CLR_INVALID);
    RECORD("SetPixel", {x, y, static_cast<long long>(color)});
    POINT p = dc->ToDevice(x, y);
    PixelTarget t = dc->Target();
    if (!t.Valid() || !dc->Clip().Contains(p.x, p.y)) {
        return CLR_INVALID;
    }
    uint32_t v = dc->DevicePixel(color);
    RasterTouch(t, RECT{p.x, p.y, p.x + 1, p.y + 1}, false);
    *t.At(p.x, p.y) = v | t.alphaOr;
    return PixelToColor(v);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color)
{
    return SetPixel(hdc, x, y, color) != CLR_INVALID ? TRUE : FALSE;
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    GDI_DC_OR(hdc, CLR_INVALID);
    POINT p = dc->ToDevice(x, y);
    PixelTarget t = dc->ReadTarget();
    if (!t.Valid() || !dc->Clip().Contains(p.x, p.y)) {
        return CLR_INVALID;
    }
    return PixelToColor(*t.At(p.x, p.y) & 0x00FFFFFFu);
}
