// Region algebra over y-banded rectangles: a sweep over the band edges of both operands that
// combines each pair of span lists with the boolean operation.
#include "platform/win/detail/Region.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

struct Band {
    int top;
    int bottom;
    size_t begin;
    size_t end;
};

std::vector<Band> BandsOf(const std::vector<RECT>& rects)
{
    std::vector<Band> bands;
    size_t i = 0;
    while (i < rects.size()) {
        size_t j = i + 1;
        while (j < rects.size() && rects[j].top == rects[i].top) {
            ++j;
        }
        bands.push_back({rects[i].top, rects[i].bottom, i, j});
        i = j;
    }
    return bands;
}

using Spans = std::vector<std::pair<int, int>>;

// Combines two sorted, non-touching span lists with op(inA, inB).
template <typename Op>
void CombineSpans(const RECT* a, size_t na, const RECT* b, size_t nb, Op op, Spans& out)
{
    out.clear();
    size_t i = 0;
    size_t j = 0;
    bool inA = false;
    bool inB = false;
    bool cur = false;
    int start = 0;
    auto edge = [](const RECT* r, size_t n, size_t k) {
        if (k / 2 >= n) {
            return INT_MAX;
        }
        return (k & 1) ? static_cast<int>(r[k / 2].right) : static_cast<int>(r[k / 2].left);
    };
    while (i < 2 * na || j < 2 * nb) {
        int xa = edge(a, na, i);
        int xb = edge(b, nb, j);
        int x = std::min(xa, xb);
        if (xa == x) {
            inA = !inA;
            ++i;
        }
        if (xb == x) {
            inB = !inB;
            ++j;
        }
        bool now = op(inA, inB);
        if (now != cur) {
            if (now) {
                start = x;
            } else {
                out.emplace_back(start, x);
            }
            cur = now;
        }
    }
}

template <typename Op>
Region CombineWith(const std::vector<RECT>& ra, const std::vector<RECT>& rb, Op op)
{
    std::vector<Band> ba = BandsOf(ra);
    std::vector<Band> bb = BandsOf(rb);
    Region::Builder builder;
    Spans spans;
    size_t ia = 0;
    size_t ib = 0;
    // The sweep starts at the lowest band top and walks interval by interval; inside one
    // interval neither operand changes.
    int y = INT_MAX;
    if (!ba.empty()) {
        y = ba[0].top;
    }
    if (!bb.empty()) {
        y = std::min(y, bb[0].top);
    }
    while (ia < ba.size() || ib < bb.size()) {
        while (ia < ba.size() && ba[ia].bottom <= y) {
            ++ia;
        }
        while (ib < bb.size() && bb[ib].bottom <= y) {
            ++ib;
        }
        if (ia >= ba.size() && ib >= bb.size()) {
            break;
        }
        // Next y where something changes.
        int next = INT_MAX;
        bool aIn = false;
        bool bIn = false;
        if (ia < ba.size()) {
            if (ba[ia].top > y) {
                next = std::min(next, ba[ia].top);
            } else {
                aIn = true;
                next = std::min(next, ba[ia].bottom);
            }
        }
        if (ib < bb.size()) {
            if (bb[ib].top > y) {
                next = std::min(next, bb[ib].top);
            } else {
                bIn = true;
                next = std::min(next, bb[ib].bottom);
            }
        }
        if (aIn || bIn) {
            const RECT* pa = aIn ? &ra[ba[ia].begin] : nullptr;
            size_t na = aIn ? ba[ia].end - ba[ia].begin : 0;
            const RECT* pb = bIn ? &rb[bb[ib].begin] : nullptr;
            size_t nb = bIn ? bb[ib].end - bb[ib].begin : 0;
            CombineSpans(pa, na, pb, nb, op, spans);
            if (!spans.empty()) {
                builder.AddBand(y, next, spans);
            }
        }
        y = next;
    }
    return builder.Finish();
}

} // namespace

Region::Region(const RECT& rect)
{
    SetRect(rect);
}

Region::Region(int left, int top, int right, int bottom)
{
    SetRect(RECT{left, top, right, bottom});
}

int Region::Kind() const
{
    if (m_rects.empty()) {
        return NULLREGION;
    }
    return m_rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void Region::UpdateBounds()
{
    if (m_rects.empty()) {
        m_bounds = RECT{0, 0, 0, 0};
        return;
    }
    RECT b{INT_MAX, m_rects.front().top, INT_MIN, m_rects.back().bottom};
    for (const RECT& r : m_rects) {
        b.left = std::min(b.left, r.left);
        b.right = std::max(b.right, r.right);
    }
    m_bounds = b;
}

void Region::Clear()
{
    m_rects.clear();
    m_bounds = RECT{0, 0, 0, 0};
}

void Region::SetRect(const RECT& rect)
{
    m_rects.clear();
    // A rectangle given the wrong way round still means the same pixels.
    RECT r{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom), std::max(rect.left, rect.right),
           std::max(rect.top, rect.bottom)};
    if (r.left < r.right && r.top < r.bottom) {
        m_rects.push_back(r);
    }
    UpdateBounds();
}

void Region::Offset(int dx, int dy)
{
    for (RECT& r : m_rects) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
    UpdateBounds();
}

bool Region::Contains(int x, int y) const
{
    if (m_rects.empty() || x < m_bounds.left || x >= m_bounds.right || y < m_bounds.top || y >= m_bounds.bottom) {
        return false;
    }
    // First rectangle whose bottom lies below y: that is the band holding y, if any.
    auto it = std::partition_point(m_rects.begin(), m_rects.end(), [y](const RECT& r) { return r.bottom <= y; });
    for (; it != m_rects.end() && it->top <= y; ++it) {
        if (x < it->left) {
            return false;
        }
        if (x < it->right) {
            return true;
        }
    }
    return false;
}

bool Region::Intersects(const RECT& rect) const
{
    if (rect.left >= rect.right || rect.top >= rect.bottom || m_rects.empty()) {
        return false;
    }
    if (rect.right <= m_bounds.left || rect.left >= m_bounds.right || rect.bottom <= m_bounds.top ||
        rect.top >= m_bounds.bottom) {
        return false;
    }
    auto it = std::partition_point(m_rects.begin(), m_rects.end(),
                                   [&rect](const RECT& r) { return r.bottom <= rect.top; });
    for (; it != m_rects.end() && it->top < rect.bottom; ++it) {
        if (it->left < rect.right && it->right > rect.left) {
            return true;
        }
    }
    return false;
}

bool Region::ContainsRect(const RECT& rect) const
{
    if (rect.left >= rect.right || rect.top >= rect.bottom) {
        return false;
    }
    Region r(rect);
    return r.Subtract(*this).IsEmpty();
}

Region Region::Union(const Region& other) const
{
    if (other.IsEmpty()) {
        return *this;
    }
    if (IsEmpty()) {
        return other;
    }
    return CombineWith(m_rects, other.m_rects, [](bool a, bool b) { return a || b; });
}

Region Region::Intersect(const Region& other) const
{
    if (IsEmpty() || other.IsEmpty()) {
        return Region();
    }
    return CombineWith(m_rects, other.m_rects, [](bool a, bool b) { return a && b; });
}

Region Region::Subtract(const Region& other) const
{
    if (IsEmpty() || other.IsEmpty()) {
        return *this;
    }
    return CombineWith(m_rects, other.m_rects, [](bool a, bool b) { return a && !b; });
}

Region Region::Xor(const Region& other) const
{
    return CombineWith(m_rects, other.m_rects, [](bool a, bool b) { return a != b; });
}

Region Region::Combine(const Region& a, const Region& b, int mode)
{
    switch (mode) {
    case RGN_AND:
        return a.Intersect(b);
    case RGN_OR:
        return a.Union(b);
    case RGN_XOR:
        return a.Xor(b);
    case RGN_DIFF:
        return a.Subtract(b);
    default:
        return a;
    }
}

void Region::IntersectRect(const RECT& rect)
{
    if (m_rects.size() == 1) {
        RECT r = m_rects[0];
        r.left = std::max(r.left, rect.left);
        r.top = std::max(r.top, rect.top);
        r.right = std::min(r.right, rect.right);
        r.bottom = std::min(r.bottom, rect.bottom);
        SetRect(r.left < r.right && r.top < r.bottom ? r : RECT{0, 0, 0, 0});
        return;
    }
    *this = Intersect(Region(rect));
}

void Region::UnionRect(const RECT& rect)
{
    *this = Union(Region(rect));
}

void Region::SubtractRect(const RECT& rect)
{
    *this = Subtract(Region(rect));
}

Region Region::Eroded() const
{
    Region r = *this;
    Region shifted = *this;
    const int moves[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& m : moves) {
        shifted = *this;
        shifted.Offset(m[0], m[1]);
        r = r.Intersect(shifted);
    }
    return r;
}

bool Region::operator==(const Region& other) const
{
    if (m_rects.size() != other.m_rects.size()) {
        return false;
    }
    for (size_t i = 0; i < m_rects.size(); ++i) {
        const RECT& a = m_rects[i];
        const RECT& b = other.m_rects[i];
        if (a.left != b.left || a.top != b.top || a.right != b.right || a.bottom != b.bottom) {
            return false;
        }
    }
    return true;
}

void Region::Builder::AddBand(int top, int bottom, std::vector<std::pair<int, int>>& spans)
{
    if (top >= bottom) {
        return;
    }
    std::sort(spans.begin(), spans.end());
    // Merge overlapping and touching spans so the band is in its normal form.
    size_t n = 0;
    for (const auto& s : spans) {
        if (s.first >= s.second) {
            continue;
        }
        if (n > 0 && s.first <= spans[n - 1].second) {
            spans[n - 1].second = std::max(spans[n - 1].second, s.second);
        } else {
            spans[n++] = s;
        }
    }
    spans.resize(n);
    if (spans.empty()) {
        return;
    }
    // A band that continues the previous one with the same spans only lengthens it.
    size_t prevCount = m_rects.size() - m_lastBandStart;
    if (!m_rects.empty() && m_rects.back().bottom == top && prevCount == spans.size()) {
        bool same = true;
        for (size_t i = 0; i < spans.size(); ++i) {
            const RECT& r = m_rects[m_lastBandStart + i];
            if (r.left != spans[i].first || r.right != spans[i].second) {
                same = false;
                break;
            }
        }
        if (same) {
            for (size_t i = m_lastBandStart; i < m_rects.size(); ++i) {
                m_rects[i].bottom = bottom;
            }
            return;
        }
    }
    m_lastBandStart = m_rects.size();
    for (const auto& s : spans) {
        m_rects.push_back(RECT{s.first, top, s.second, bottom});
    }
}

Region Region::Builder::Finish()
{
    Region r;
    r.m_rects = std::move(m_rects);
    r.UpdateBounds();
    m_rects.clear();
    m_lastBandStart = 0;
    return r;
}

Region Region::FromPolygon(std::span<const POINT> points, FillRule rule)
{
    INT count = static_cast<INT>(points.size());
    return FromPolyPolygon(points, std::span<const INT>(&count, 1), rule);
}

Region Region::FromPolyPolygon(std::span<const POINT> points, std::span<const INT> counts, FillRule rule)
{
    std::vector<PointF> all;
    std::vector<INT> used;
    size_t start = 0;
    for (INT count : counts) {
        if (count < 0 || start + static_cast<size_t>(count) > points.size()) {
            break;
        }
        for (INT k = 0; k < count; ++k) {
            all.push_back(PointF{double(points[start + k].x), double(points[start + k].y)});
        }
        used.push_back(count);
        start += static_cast<size_t>(count);
    }
    return ScanPolygons(all, used, rule);
}

Region Region::FromPolygonF(std::span<const PointF> points, FillRule rule)
{
    INT count = static_cast<INT>(points.size());
    return ScanPolygons(points, std::span<const INT>(&count, 1), rule);
}

Region Region::ScanPolygons(std::span<const PointF> points, std::span<const INT> counts, FillRule rule)
{
    struct Edge {
        double x0, y0, x1, y1;
        int dir;
    };
    std::vector<Edge> edges;
    size_t start = 0;
    double minY = 1e300;
    double maxY = -1e300;
    for (INT count : counts) {
        for (INT k = 0; k < count; ++k) {
            const PointF& p = points[start + k];
            const PointF& q = points[start + (k + 1) % count];
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
            if (p.y == q.y) {
                continue;
            }
            edges.push_back(Edge{p.x, p.y, q.x, q.y, q.y > p.y ? 1 : -1});
        }
        start += static_cast<size_t>(count);
    }
    Builder builder;
    if (edges.empty()) {
        return builder.Finish();
    }
    std::vector<std::pair<double, int>> hits;
    Spans spans;
    // Pixel (x, y) is inside when its centre (x + 0.5, y + 0.5) is: a polygon with integer
    // corners then covers exactly the half-open rectangle those corners name.
    int firstRow = static_cast<int>(std::floor(minY - 0.5)) ;
    int lastRow = static_cast<int>(std::ceil(maxY));
    for (int y = firstRow; y < lastRow; ++y) {
        double yc = y + 0.5;
        hits.clear();
        for (const Edge& e : edges) {
            double lo = std::min(e.y0, e.y1);
            double hi = std::max(e.y0, e.y1);
            if (yc < lo || yc >= hi) {
                continue;
            }
            double x = e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0);
            hits.emplace_back(x, e.dir);
        }
        if (hits.empty()) {
            continue;
        }
        std::sort(hits.begin(), hits.end());
        spans.clear();
        int winding = 0;
        for (size_t i = 0; i + 1 < hits.size(); ++i) {
            winding += hits[i].second;
            bool inside = rule == FillRule::Winding ? winding != 0 : (i & 1) == 0;
            if (!inside) {
                continue;
            }
            int x0 = static_cast<int>(std::ceil(hits[i].first - 0.5));
            int x1 = static_cast<int>(std::ceil(hits[i + 1].first - 0.5));
            if (x0 < x1) {
                spans.emplace_back(x0, x1);
            }
        }
        builder.AddBand(y, y + 1, spans);
    }
    return builder.Finish();
}

Region Region::FromEllipse(const RECT& bounds)
{
    return FromRoundRect(bounds, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

Region Region::FromRoundRect(const RECT& bounds, int ellipseWidth, int ellipseHeight)
{
    int l = std::min(bounds.left, bounds.right);
    int r = std::max(bounds.left, bounds.right);
    int t = std::min(bounds.top, bounds.bottom);
    int b = std::max(bounds.top, bounds.bottom);
    Builder builder;
    if (l >= r || t >= b) {
        return builder.Finish();
    }
    double ew = std::clamp(std::abs(ellipseWidth), 0, r - l) / 2.0;
    double eh = std::clamp(std::abs(ellipseHeight), 0, b - t) / 2.0;
    Spans spans;
    for (int y = t; y < b; ++y) {
        double yc = y + 0.5;
        double inset = 0;
        double cy = 0;
        bool corner = false;
        if (eh > 0 && yc < t + eh) {
            cy = t + eh;
            corner = true;
        } else if (eh > 0 && yc > b - eh) {
            cy = b - eh;
            corner = true;
        }
        if (corner && ew > 0) {
            double dy = (yc - cy) / eh;
            double half = dy * dy >= 1.0 ? 0.0 : ew * std::sqrt(1.0 - dy * dy);
            inset = ew - half;
        }
        int x0 = static_cast<int>(std::ceil(l + inset - 0.5));
        int x1 = static_cast<int>(std::floor(r - inset - 0.5)) + 1;
        spans.clear();
        if (x0 < x1) {
            spans.emplace_back(x0, x1);
        }
        builder.AddBand(y, y + 1, spans);
    }
    return builder.Finish();
}
