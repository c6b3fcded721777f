#include "platform/win/detail/Region.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Reference: the set of pixels, tested point by point.
bool Naive(const Region& r, int x, int y)
{
    for (const RECT& rc : r.Rects()) {
        if (x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom) {
            return true;
        }
    }
    return false;
}

Region RandomRegion(std::mt19937& rng)
{
    std::uniform_int_distribution<int> coord(0, 30);
    Region r;
    int n = rng() % 6;
    for (int i = 0; i < n; ++i) {
        int a = coord(rng), b = coord(rng), c = coord(rng), d = coord(rng);
        r = r.Union(Region(a, b, c, d));
    }
    return r;
}

void ExpectNormalForm(const Region& r)
{
    auto rects = r.Rects();
    for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_LT(rects[i].left, rects[i].right);
        EXPECT_LT(rects[i].top, rects[i].bottom);
        if (i > 0 && rects[i].top == rects[i - 1].top) {
            EXPECT_EQ(rects[i].bottom, rects[i - 1].bottom);
            EXPECT_GT(rects[i].left, rects[i - 1].right) << "spans in one band must not touch";
        } else if (i > 0) {
            EXPECT_GE(rects[i].top, rects[i - 1].bottom);
        }
    }
}

} // namespace

TEST(RegionTest, RectangleIsHalfOpen)
{
    Region r(2, 3, 5, 7);
    EXPECT_EQ(r.Kind(), SIMPLEREGION);
    EXPECT_TRUE(r.Contains(2, 3));
    EXPECT_TRUE(r.Contains(4, 6));
    EXPECT_FALSE(r.Contains(5, 6));
    EXPECT_FALSE(r.Contains(4, 7));
    EXPECT_EQ(r.Bounds().right, 5);
    EXPECT_EQ(r.Bounds().bottom, 7);
}

TEST(RegionTest, EmptyAndReversedRectangles)
{
    EXPECT_EQ(Region(5, 5, 5, 10).Kind(), NULLREGION);
    Region reversed(10, 10, 0, 0);
    EXPECT_EQ(reversed, Region(0, 0, 10, 10));
    Region empty;
    EXPECT_EQ(empty.Bounds().left, 0);
    EXPECT_EQ(empty.Bounds().right, 0);
}

TEST(RegionTest, AlgebraMatchesPointwiseDefinition)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 200; ++round) {
        Region a = RandomRegion(rng);
        Region b = RandomRegion(rng);
        Region u = a.Union(b);
        Region i = a.Intersect(b);
        Region d = a.Subtract(b);
        Region x = a.Xor(b);
        for (const Region* r : {&u, &i, &d, &x}) {
            ExpectNormalForm(*r);
        }
        for (int y = -1; y < 32; ++y) {
            for (int xx = -1; xx < 32; ++xx) {
                bool inA = Naive(a, xx, y);
                bool inB = Naive(b, xx, y);
                ASSERT_EQ(u.Contains(xx, y), inA || inB);
                ASSERT_EQ(i.Contains(xx, y), inA && inB);
                ASSERT_EQ(d.Contains(xx, y), inA && !inB);
                ASSERT_EQ(x.Contains(xx, y), inA != inB);
                ASSERT_EQ(a.Contains(xx, y), inA);
            }
        }
    }
}

TEST(RegionTest, EqualSetsHaveEqualForms)
{
    // The same L shape built two ways.
    Region a = Region(0, 0, 10, 5).Union(Region(0, 5, 5, 10));
    Region b = Region(0, 0, 5, 10).Union(Region(5, 0, 10, 5));
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.Kind(), COMPLEXREGION);
    // Two halves of one rectangle coalesce into a simple region.
    Region c = Region(0, 0, 10, 5).Union(Region(0, 5, 10, 10));
    EXPECT_EQ(c.Kind(), SIMPLEREGION);
    EXPECT_EQ(c, Region(0, 0, 10, 10));
}

TEST(RegionTest, CombineModesAndResultKinds)
{
    Region a(0, 0, 10, 10);
    Region b(5, 5, 15, 15);
    EXPECT_EQ(Region::Combine(a, b, RGN_AND), Region(5, 5, 10, 10));
    EXPECT_EQ(Region::Combine(a, b, RGN_COPY), a);
    EXPECT_EQ(Region::Combine(a, b, RGN_OR).Kind(), COMPLEXREGION);
    EXPECT_EQ(Region::Combine(a, a, RGN_XOR).Kind(), NULLREGION);
    EXPECT_EQ(Region::Combine(a, a, RGN_DIFF).Kind(), NULLREGION);
    EXPECT_EQ(Region::Combine(a, Region(20, 20, 30, 30), RGN_AND).Kind(), NULLREGION);
}

TEST(RegionTest, OffsetMovesBounds)
{
    Region r = Region(0, 0, 4, 4).Union(Region(10, 10, 12, 12));
    r.Offset(3, -2);
    EXPECT_TRUE(r.Contains(3, -2));
    EXPECT_FALSE(r.Contains(2, -2));
    EXPECT_EQ(r.Bounds().left, 3);
    EXPECT_EQ(r.Bounds().top, -2);
    EXPECT_EQ(r.Bounds().right, 15);
    EXPECT_EQ(r.Bounds().bottom, 10);
}

TEST(RegionTest, RectQueries)
{
    Region r = Region(0, 0, 10, 10).Subtract(Region(3, 3, 6, 6));
    EXPECT_TRUE(r.Intersects(RECT{2, 2, 4, 4}));
    EXPECT_FALSE(r.Intersects(RECT{3, 3, 6, 6}));
    EXPECT_FALSE(r.Intersects(RECT{10, 0, 20, 10}));
    EXPECT_TRUE(r.ContainsRect(RECT{0, 0, 10, 3}));
    EXPECT_FALSE(r.ContainsRect(RECT{0, 0, 10, 4}));
    Region c = r;
    c.IntersectRect(RECT{0, 0, 5, 5});
    EXPECT_EQ(c, Region(0, 0, 5, 3).Union(Region(0, 3, 3, 5)));
}

TEST(RegionTest, PolygonWithIntegerCornersIsHalfOpen)
{
    POINT square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(Region::FromPolygon(square, Region::FillRule::Alternate), Region(0, 0, 10, 10));
    // Orientation does not matter.
    POINT reversed[] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
    EXPECT_EQ(Region::FromPolygon(reversed, Region::FillRule::Winding), Region(0, 0, 10, 10));
}

TEST(RegionTest, PolygonFillRules)
{
    // Two overlapping squares in one outline, both drawn the same way round: the overlap is a
    // hole under ALTERNATE and filled under WINDING.
    POINT pts[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {5, 5}, {15, 5}, {15, 15}, {5, 15}, {5, 5}};
    Region alt = Region::FromPolygon(pts, Region::FillRule::Alternate);
    Region win = Region::FromPolygon(pts, Region::FillRule::Winding);
    EXPECT_FALSE(alt.Contains(7, 7));
    EXPECT_TRUE(win.Contains(7, 7));
    EXPECT_TRUE(alt.Contains(2, 2));
    EXPECT_TRUE(alt.Contains(12, 12));
    EXPECT_EQ(win, Region(0, 0, 10, 10).Union(Region(5, 5, 15, 15)));
}

TEST(RegionTest, TriangleRows)
{
    POINT tri[] = {{0, 0}, {8, 0}, {0, 8}};
    Region r = Region::FromPolygon(tri, Region::FillRule::Alternate);
    // Row y has centre y+0.5; the hypotenuse is x = 8 - y, pixels with centre left of it.
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(r.Contains(x, y), x + 0.5 < 8 - (y + 0.5)) << x << "," << y;
        }
    }
}

TEST(RegionTest, EllipseIsSymmetricAndInsideItsBox)
{
    Region e = Region::FromEllipse(RECT{10, 20, 31, 37});
    EXPECT_EQ(e.Bounds().left, 10);
    EXPECT_EQ(e.Bounds().top, 20);
    EXPECT_EQ(e.Bounds().right, 31);
    EXPECT_EQ(e.Bounds().bottom, 37);
    for (int y = 20; y < 37; ++y) {
        for (int x = 10; x < 31; ++x) {
            EXPECT_EQ(e.Contains(x, y), e.Contains(10 + 30 - x, y));
            EXPECT_EQ(e.Contains(x, y), e.Contains(x, 20 + 36 - y));
        }
    }
    EXPECT_FALSE(e.Contains(10, 20));
    EXPECT_TRUE(e.Contains(20, 28));
}

TEST(RegionTest, RoundRectKeepsStraightSides)
{
    Region r = Region::FromRoundRect(RECT{0, 0, 20, 20}, 6, 6);
    EXPECT_TRUE(r.Contains(0, 10));
    EXPECT_TRUE(r.Contains(10, 0));
    EXPECT_FALSE(r.Contains(0, 0));
    EXPECT_FALSE(r.Contains(19, 19));
    EXPECT_EQ(Region::FromRoundRect(RECT{0, 0, 20, 20}, 0, 0), Region(0, 0, 20, 20));
}

TEST(RegionTest, ErosionRemovesTheBorder)
{
    Region r(0, 0, 5, 5);
    EXPECT_EQ(r.Eroded(), Region(1, 1, 4, 4));
    EXPECT_EQ(Region(0, 0, 2, 2).Eroded().Kind(), NULLREGION);
}
