// A set of pixels kept as y-banded, half-open rectangles: clip regions, update regions and the
// region objects of the drawing interface all use it.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/GdiTypes.h"

#include <span>
#include <vector>

// Invariants of the stored form (which make equal sets compare equal rectangle by rectangle):
// - every rectangle is non-empty and half-open: it holds the pixels left <= x < right,
//   top <= y < bottom;
// - rectangles are sorted by top, then left; rectangles with the same top form a band and
//   share its bottom; bands do not overlap;
// - within a band, rectangles neither overlap nor touch;
// - two bands that touch vertically never hold the same spans (they are merged into one).
class Region {
public:
    // How the inside of a self-intersecting polygon is decided.
    enum class FillRule { Alternate = ALTERNATE, Winding = WINDING };

    Region() = default;
    explicit Region(const RECT& rect);
    Region(int left, int top, int right, int bottom);

    static Region FromPolygon(std::span<const POINT> points, FillRule rule);
    static Region FromPolyPolygon(std::span<const POINT> points, std::span<const INT> counts, FillRule rule);
    // A polygon with fractional corners (pixel (x, y) is inside when (x + 0.5, y + 0.5) is).
    struct PointF {
        double x;
        double y;
    };
    static Region FromPolygonF(std::span<const PointF> points, FillRule rule);
    // The pixels of the ellipse inscribed in the rectangle (right and bottom excluded).
    static Region FromEllipse(const RECT& bounds);
    // A rectangle whose corners are quarters of an ellipse of the given width and height.
    static Region FromRoundRect(const RECT& bounds, int ellipseWidth, int ellipseHeight);

    bool IsEmpty() const { return m_rects.empty(); }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Kind() const;
    // The smallest rectangle holding every pixel; all zero when empty.
    const RECT& Bounds() const { return m_bounds; }
    std::span<const RECT> Rects() const { return m_rects; }

    bool Contains(int x, int y) const;
    // True when any pixel of the rectangle is in the region.
    bool Intersects(const RECT& rect) const;
    // True when every pixel of the rectangle is in the region.
    bool ContainsRect(const RECT& rect) const;

    void Clear();
    void SetRect(const RECT& rect);
    void Offset(int dx, int dy);

    // Set algebra; each returns the new region and leaves the operands alone.
    Region Union(const Region& other) const;
    Region Intersect(const Region& other) const;
    Region Subtract(const Region& other) const;
    Region Xor(const Region& other) const;
    // RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF or RGN_COPY (the last copies the first operand).
    static Region Combine(const Region& a, const Region& b, int mode);

    // In-place forms used on hot paths (clipping to a rectangle).
    void IntersectRect(const RECT& rect);
    void UnionRect(const RECT& rect);
    void SubtractRect(const RECT& rect);
    // Removes one pixel from every border (4-neighbourhood erosion).
    Region Eroded() const;

    bool operator==(const Region& other) const;
    bool operator!=(const Region& other) const { return !(*this == other); }

    // Builds a region row band by row band, from the top down. Spans of a row may be given in
    // any order and may overlap; they are sorted and merged.
    class Builder {
    public:
        // Adds the spans [x0, x1) of the rows top <= y < bottom. Calls must come with
        // non-decreasing top, and bands must not overlap earlier ones.
        void AddBand(int top, int bottom, std::vector<std::pair<int, int>>& spans);
        Region Finish();

    private:
        std::vector<RECT> m_rects;
        size_t m_lastBandStart = 0;
    };

private:
    friend class Builder;
    void UpdateBounds();
    static Region ScanPolygons(std::span<const PointF> points, std::span<const INT> counts, FillRule rule);

    std::vector<RECT> m_rects;
    RECT m_bounds{0, 0, 0, 0};
};
