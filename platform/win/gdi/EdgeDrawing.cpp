// DrawEdge, DrawFrameControl and DrawFocusRect: the 3D edges, glyphs and focus frames that
// controls, captions and menus are drawn with, in the system colours.
#include "platform/win/Gdi.h"
#include "platform/win/detail/Paint.h"
#include "platform/win/UserApi.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Fills a logical rectangle with a colour, ignoring the raster operation.
void FillEdgeRect(DeviceContext& dc, const RECT& r, COLORREF color)
{
    if (r.right <= r.left || r.bottom <= r.top) {
        return;
    }
    RECT d = dc.ToDevice(r);
    RECT n{std::min(d.left, d.right), std::min(d.top, d.bottom), std::max(d.left, d.right), std::max(d.top, d.bottom)};
    FillRectClipped(dc.Target(), dc.Clip(), n, SolidPaint(dc, color), R2_COPYPEN);
}

// One ring of an edge. Top and left sides go first so that the bottom-left and top-right
// corner pixels take the bottom-right colour.
void Ring(DeviceContext& dc, const RECT& r, UINT sides, COLORREF tl, COLORREF br)
{
    if (sides & BF_TOP) FillEdgeRect(dc, RECT{r.left, r.top, r.right, r.top + 1}, tl);
    if (sides & BF_LEFT) FillEdgeRect(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, tl);
    if (sides & BF_BOTTOM) FillEdgeRect(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, br);
    if (sides & BF_RIGHT) FillEdgeRect(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, br);
}

void Shrink(RECT& r, UINT sides)
{
    if (sides & BF_LEFT) ++r.left;
    if (sides & BF_TOP) ++r.top;
    if (sides & BF_RIGHT) --r.right;
    if (sides & BF_BOTTOM) --r.bottom;
}

bool DoDrawEdge(DeviceContext& dc, RECT* rect, UINT edge, UINT flags)
{
    RECT r = *rect;
    UINT sides = flags & BF_RECT;
    COLORREF outerTL = 0, outerBR = 0, innerTL = 0, innerBR = 0;
    bool soft = (flags & BF_SOFT) != 0;
    if (flags & BF_MONO) {
        outerTL = outerBR = GetSysColor(COLOR_WINDOWFRAME);
        innerTL = innerBR = GetSysColor(COLOR_WINDOW);
    } else if (flags & BF_FLAT) {
        outerTL = outerBR = GetSysColor(COLOR_3DSHADOW);
        innerTL = innerBR = GetSysColor(COLOR_3DFACE);
    } else {
        if (edge & BDR_RAISEDOUTER) {
            outerTL = GetSysColor(soft ? COLOR_3DHIGHLIGHT : COLOR_3DLIGHT);
            outerBR = GetSysColor(COLOR_3DDKSHADOW);
        } else {
            outerTL = GetSysColor(soft ? COLOR_3DDKSHADOW : COLOR_3DSHADOW);
            outerBR = GetSysColor(COLOR_3DHIGHLIGHT);
        }
        if (edge & BDR_RAISEDINNER) {
            innerTL = GetSysColor(soft ? COLOR_3DLIGHT : COLOR_3DHIGHLIGHT);
            innerBR = GetSysColor(COLOR_3DSHADOW);
        } else {
            innerTL = GetSysColor(soft ? COLOR_3DSHADOW : COLOR_3DDKSHADOW);
            innerBR = GetSysColor(COLOR_3DLIGHT);
        }
    }
    if (flags & BF_DIAGONAL) {
        // Diagonal edges are not drawn, as nothing in the program asks for them; the rectangle
        // is still adjusted as for a drawn edge.
        if (flags & BF_ADJUST) {
            Shrink(*rect, sides);
        }
        return true;
    }
    if (edge & BDR_OUTER) {
        Ring(dc, r, sides, outerTL, outerBR);
        Shrink(r, sides);
    }
    if (edge & BDR_INNER) {
        Ring(dc, r, sides, innerTL, innerBR);
        Shrink(r, sides);
    }
    if (flags & BF_MIDDLE) {
        FillEdgeRect(dc, r, GetSysColor((flags & (BF_MONO | BF_FLAT)) ? COLOR_WINDOW : COLOR_3DFACE));
    }
    if (flags & BF_ADJUST) {
        *rect = r;
    }
    return true;
}

// A glyph given as rows of '#' drawn at a device position in one colour.
void Pattern(DeviceContext& dc, int x, int y, std::initializer_list<const char*> rows, COLORREF color)
{
    PixelTarget t = dc.Target();
    if (!t.Valid()) {
        return;
    }
    const Region& clip = dc.Clip();
    uint32_t px = dc.DevicePixel(color);
    int row = 0;
    for (const char* r : rows) {
        for (int col = 0; r[col]; ++col) {
            if (r[col] == '#') {
                PlotPixel(t, clip, x + col, y + row, px, R2_COPYPEN);
            }
        }
        ++row;
    }
}

// A filled triangle pointing in a direction (0 up, 1 down, 2 left, 3 right) centred in r,
// sized for a button of the given side.
void Arrow(DeviceContext& dc, const RECT& r, int direction, COLORREF color, int buttonSide)
{
    int w = r.right - r.left, h = r.bottom - r.top;
    int size = std::max(1, (buttonSide - 4) / 4 + 1);
    int cx = r.left + w / 2, cy = r.top + h / 2;
    PixelTarget t = dc.Target();
    if (!t.Valid()) {
        return;
    }
    uint32_t px = dc.DevicePixel(color);
    const Region& clip = dc.Clip();
    for (int i = 0; i < size; ++i) {
        // Row i of the triangle, from its tip, is 2i+1 pixels long.
        int along = (direction == 0 || direction == 2) ? i - size / 2 : size / 2 - i;
        for (int k = -i; k <= i; ++k) {
            int x = direction <= 1 ? cx + k : cx + along;
            int y = direction <= 1 ? cy + along : cy + k;
            PlotPixel(t, clip, x, y, px, R2_COPYPEN);
        }
    }
}

void CheckMark(DeviceContext& dc, int x, int y, COLORREF color)
{
    Pattern(dc, x, y, {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."}, color);
}

RECT DeviceRect(DeviceContext& dc, const RECT& r)
{
    RECT d = dc.ToDevice(r);
    return RECT{std::min(d.left, d.right), std::min(d.top, d.bottom), std::max(d.left, d.right), std::max(d.top, d.bottom)};
}

// A glyph drawn normally, pushed (one pixel down and right) or inactive (embossed).
template <typename Draw>
void Glyph(UINT state, Draw draw)
{
    if (state & DFCS_INACTIVE) {
        draw(1, GetSysColor(COLOR_3DHIGHLIGHT));
        draw(0, GetSysColor(COLOR_3DSHADOW));
    } else {
        draw((state & DFCS_PUSHED) ? 1 : 0, GetSysColor(COLOR_BTNTEXT));
    }
}

void ButtonFace(DeviceContext& dc, RECT& r, UINT state)
{
    UINT flags = BF_RECT | BF_MIDDLE | BF_ADJUST | BF_SOFT;
    if (state & DFCS_FLAT) flags |= BF_FLAT;
    if (state & DFCS_MONO) flags |= BF_MONO;
    UINT edge = (state & (DFCS_PUSHED | DFCS_CHECKED)) ? EDGE_SUNKEN : EDGE_RAISED;
    DoDrawEdge(dc, &r, edge, flags);
}

// The glyph is sized from the whole button, not the face inside its edges: a 16x14 caption
// button gets an 8x7 cross, a 6x2 bar and an 8x8 box.
void CaptionGlyph(DeviceContext& dc, const RECT& button, UINT kind, int offset, COLORREF c)
{
    RECT d = DeviceRect(dc, button);
    int w = d.right - d.left, h = d.bottom - d.top;
    int s = std::max(4, std::min(w, h) - 6);
    int x0 = d.left + (w - s) / 2 + offset;
    int y0 = d.top + (h - s) / 2 + offset;
    PixelTarget t = dc.Target();
    const Region& clip = dc.Clip();
    uint32_t px = dc.DevicePixel(c);
    FillPaint paint = SolidPaint(dc, c);
    auto rect = [&](int l, int tp, int r, int b) { FillRectClipped(t, clip, RECT{l, tp, r, b}, paint, R2_COPYPEN); };
    switch (kind) {
    case DFCS_CAPTIONCLOSE:
        for (int i = 0; i < s - 1; ++i) {
            PlotPixel(t, clip, x0 + i, y0 + i, px, R2_COPYPEN);
            PlotPixel(t, clip, x0 + i + 1, y0 + i, px, R2_COPYPEN);
            PlotPixel(t, clip, x0 + s - 2 - i, y0 + i, px, R2_COPYPEN);
            PlotPixel(t, clip, x0 + s - 1 - i, y0 + i, px, R2_COPYPEN);
        }
        break;
    case DFCS_CAPTIONMIN:
        rect(x0, y0 + s - 2, x0 + s - 2, y0 + s);
        break;
    case DFCS_CAPTIONMAX:
        rect(x0, y0, x0 + s, y0 + 2);
        rect(x0, y0, x0 + 1, y0 + s);
        rect(x0 + s - 1, y0, x0 + s, y0 + s);
        rect(x0, y0 + s - 1, x0 + s, y0 + s);
        break;
    case DFCS_CAPTIONRESTORE: {
        int b = s * 2 / 3;
        // The back window, top right, then the front one, bottom left.
        rect(x0 + s - b, y0, x0 + s, y0 + 2);
        rect(x0 + s - 1, y0, x0 + s, y0 + b);
        rect(x0 + s - b, y0, x0 + s - b + 1, y0 + s - b);
        rect(x0 + b, y0 + b - 1, x0 + s, y0 + b);
        rect(x0, y0 + s - b, x0 + b, y0 + s - b + 2);
        rect(x0, y0 + s - b, x0 + 1, y0 + s);
        rect(x0 + b - 1, y0 + s - b, x0 + b, y0 + s);
        rect(x0, y0 + s - 1, x0 + b, y0 + s);
        break;
    }
    case DFCS_CAPTIONHELP:
        Pattern(dc, x0 + (s - 6) / 2, y0 + (s - 8) / 2,
                {".####.", "##..##", "....##", "...##.", "..##..", "..##..", "......", "..##.."}, c);
        break;
    default:
        break;
    }
}

} // namespace

BOOL DrawEdge(HDC hdc, RECT* rect, UINT edge, UINT flags)
{
    GDI_DC_OR(hdc, FALSE);
    if (!rect) {
        return FALSE;
    }
    if (dc->GetKind() == DeviceContext::Kind::Recording) {
        dc->Record("DrawEdge", {rect->left, rect->top, rect->right, rect->bottom, static_cast<long long>(edge),
                                static_cast<long long>(flags)});
    }
    return DoDrawEdge(*dc, rect, edge, flags) ? TRUE : FALSE;
}

BOOL DrawFrameControl(HDC hdc, RECT* rect, UINT type, UINT state)
{
    GDI_DC_OR(hdc, FALSE);
    if (!rect) {
        return FALSE;
    }
    if (dc->GetKind() == DeviceContext::Kind::Recording) {
        dc->Record("DrawFrameControl", {rect->left, rect->top, rect->right, rect->bottom, static_cast<long long>(type),
                                        static_cast<long long>(state)});
    }
    RECT r = *rect;
    UINT kind = state & 0xFF;
    switch (type) {
    case DFC_BUTTON: {
        if (kind & DFCS_BUTTONPUSH) {
            ButtonFace(*dc, r, state);
            break;
        }
        // Check boxes and radio buttons are square, centred on the rectangle's left.
        int side = std::min(r.right - r.left, r.bottom - r.top);
        RECT box{r.left, r.top + (r.bottom - r.top - side) / 2, r.left + side, 0};
        box.bottom = box.top + side;
        COLORREF inside = GetSysColor((state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_3DFACE : COLOR_WINDOW);
        if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
            RECT d = DeviceRect(*dc, box);
            Region outer = Region::FromEllipse(d);
            Region ring1 = outer.Subtract(outer.Eroded());
            Region inner = outer.Eroded();
            Region ring2 = inner.Subtract(inner.Eroded());
            Region middle = inner.Eroded();
            // Upper-left halves take the shadow colours, lower-right the light ones.
            std::vector<Region::PointF> tlHalf = {{double(d.left), double(d.top)}, {double(d.right), double(d.top)},
                                                  {double(d.left), double(d.bottom)}};
            Region upper = Region::FromPolygonF(tlHalf, Region::FillRule::Winding);
            PixelTarget t = dc->Target();
            const Region& clip = dc->Clip();
            if (kind & DFCS_BUTTONRADIOMASK) {
                FillRegionClipped(t, clip, outer, SolidPaint(*dc, RGB(0, 0, 0)), R2_COPYPEN);
                break;
            }
            FillRegionClipped(t, clip, ring1.Intersect(upper), SolidPaint(*dc, GetSysColor(COLOR_3DSHADOW)), R2_COPYPEN);
            FillRegionClipped(t, clip, ring1.Subtract(upper), SolidPaint(*dc, GetSysColor(COLOR_3DHIGHLIGHT)), R2_COPYPEN);
            FillRegionClipped(t, clip, ring2.Intersect(upper), SolidPaint(*dc, GetSysColor(COLOR_3DDKSHADOW)), R2_COPYPEN);
            FillRegionClipped(t, clip, ring2.Subtract(upper), SolidPaint(*dc, GetSysColor(COLOR_3DLIGHT)), R2_COPYPEN);
            FillRegionClipped(t, clip, middle, SolidPaint(*dc, inside), R2_COPYPEN);
            if (state & DFCS_CHECKED) {
                int dotSide = std::max(2, (d.right - d.left) / 3);
                int dx = d.left + (d.right - d.left - dotSide) / 2;
                int dy = d.top + (d.bottom - d.top - dotSide) / 2;
                Region dot = Region::FromEllipse(RECT{dx, dy, dx + dotSide, dy + dotSide});
                COLORREF c = GetSysColor((state & DFCS_INACTIVE) ? COLOR_3DSHADOW : COLOR_WINDOWTEXT);
                FillRegionClipped(t, clip, dot, SolidPaint(*dc, c), R2_COPYPEN);
            }
            break;
        }
        RECT inner = box;
        UINT flags = BF_RECT | BF_ADJUST | ((state & DFCS_FLAT) ? BF_FLAT : 0) | ((state & DFCS_MONO) ? BF_MONO : 0);
        DoDrawEdge(*dc, &inner, EDGE_SUNKEN, flags);
        FillEdgeRect(*dc, inner, inside);
        if (state & DFCS_CHECKED) {
            RECT d = DeviceRect(*dc, inner);
            COLORREF c = GetSysColor(((kind & DFCS_BUTTON3STATE) || (state & DFCS_INACTIVE)) ? COLOR_3DSHADOW : COLOR_WINDOWTEXT);
            CheckMark(*dc, d.left + (d.right - d.left - 7) / 2, d.top + (d.bottom - d.top - 7) / 2, c);
        }
        break;
    }
    case DFC_SCROLL: {
        if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
            FillEdgeRect(*dc, r, GetSysColor(COLOR_3DFACE));
            RECT d = DeviceRect(*dc, r);
            PixelTarget t = dc->Target();
            const Region& clip = dc->Clip();
            uint32_t light = dc->DevicePixel(GetSysColor(COLOR_3DHIGHLIGHT));
            uint32_t dark = dc->DevicePixel(GetSysColor(COLOR_3DSHADOW));
            int size = std::min(d.right - d.left, d.bottom - d.top);
            // Diagonal ridges from the bottom-right corner: one light line, two dark ones.
            for (int k = 0; k + 3 < size; k += 4) {
                for (int i = 0; i <= size - k - 1; ++i) {
                    int len = size - k - 1;
                    int x = d.right - 1 - len + i;
                    int y = d.bottom - 1 - i;
                    PlotPixel(t, clip, x, y, light, R2_COPYPEN);
                    PlotPixel(t, clip, x + 1, y, dark, R2_COPYPEN);
                    PlotPixel(t, clip, x + 2, y, dark, R2_COPYPEN);
                }
            }
            break;
        }
        RECT face = r;
        ButtonFace(*dc, face, state & ~DFCS_CHECKED);
        int direction = kind == DFCS_SCROLLUP ? 0 : kind == DFCS_SCROLLLEFT ? 2 : kind == DFCS_SCROLLRIGHT ? 3 : 1;
        RECT d = DeviceRect(*dc, r);
        int side = std::min(d.right - d.left, d.bottom - d.top);
        Glyph(state, [&](int off, COLORREF c) {
            Arrow(*dc, RECT{d.left + off, d.top + off, d.right + off, d.bottom + off}, direction, c, side);
        });
        break;
    }
    case DFC_CAPTION: {
        RECT face = r;
        ButtonFace(*dc, face, state & ~DFCS_CHECKED);
        Glyph(state, [&](int off, COLORREF c) { CaptionGlyph(*dc, r, kind, off, c); });
        break;
    }
    case DFC_MENU:
    case DFC_POPUPMENU: {
        // Menu glyphs are black on white so that they can serve as masks.
        FillEdgeRect(*dc, r, RGB(255, 255, 255));
        RECT d = DeviceRect(*dc, r);
        int w = d.right - d.left, h = d.bottom - d.top;
        if (kind == DFCS_MENUCHECK) {
            CheckMark(*dc, d.left + (w - 7) / 2, d.top + (h - 7) / 2, RGB(0, 0, 0));
        } else if (kind == DFCS_MENUBULLET) {
            int side = std::max(2, std::min(w, h) / 3);
            int bx = d.left + (w - side) / 2, by = d.top + (h - side) / 2;
            FillRegionClipped(dc->Target(), dc->Clip(), Region::FromEllipse(RECT{bx, by, bx + side, by + side}),
                              SolidPaint(*dc, RGB(0, 0, 0)), R2_COPYPEN);
        } else {
            Arrow(*dc, d, kind == DFCS_MENUARROWRIGHT ? 2 : 3, RGB(0, 0, 0), std::min(w, h));
        }
        break;
    }
    default:
        return FALSE;
    }
    if (state & DFCS_ADJUSTRECT) {
        // The caller gets the area inside the two-pixel frame.
        *rect = RECT{rect->left + 2, rect->top + 2, rect->right - 2, rect->bottom - 2};
    }
    return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rect)
{
    GDI_DC_OR(hdc, FALSE);
    if (!rect) {
        return FALSE;
    }
    if (dc->GetKind() == DeviceContext::Kind::Recording) {
        dc->Record("DrawFocusRect", {rect->left, rect->top, rect->right, rect->bottom});
    }
    RECT d = DeviceRect(*dc, *rect);
    if (d.right <= d.left || d.bottom <= d.top) {
        return TRUE;
    }
    PixelTarget t = dc->Target();
    if (!t.Valid()) {
        return FALSE;
    }
    // Every other pixel of a one-pixel frame is inverted, in a checkerboard fixed to the
    // surface: drawing it twice puts everything back.
    Region frame = Region(d).Subtract(Region(d.left + 1, d.top + 1, d.right - 1, d.bottom - 1));
    Region visible = frame.Intersect(dc->Clip());
    RasterTouch(t, visible.Bounds(), true);
    for (const RECT& r : visible.Rects()) {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                if (((x + t.ox) + (y + t.oy)) & 1) {
                    continue;
                }
                uint32_t* p = t.At(x, y);
                *p = (~*p & 0x00FFFFFFu) | t.alphaOr;
            }
        }
    }
    return TRUE;
}
