#include "platform/core/CRect.h"

#include <gtest/gtest.h>

namespace {

::testing::AssertionResult RectIs(const RECT& r, LONG l, LONG t, LONG rt, LONG b)
{
    if (r.left == l && r.top == t && r.right == rt && r.bottom == b)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom
                                         << ") expected (" << l << "," << t << "," << rt << "," << b << ")";
}

} // namespace

TEST(CRectTest, EmptinessAndHalfOpenHitTesting)
{
    RECT r{10, 20, 30, 40};
    EXPECT_TRUE(PtInRect(&r, POINT{10, 20}));
    EXPECT_TRUE(PtInRect(&r, POINT{29, 39}));
    EXPECT_FALSE(PtInRect(&r, POINT{30, 39}));
    EXPECT_FALSE(PtInRect(&r, POINT{29, 40}));
    EXPECT_FALSE(PtInRect(&r, POINT{9, 25}));
    EXPECT_FALSE(IsRectEmpty(&r));
    RECT flat{5, 5, 5, 10};
    RECT inverted{10, 10, 5, 20};
    EXPECT_TRUE(IsRectEmpty(&flat));
    EXPECT_TRUE(IsRectEmpty(&inverted));
    EXPECT_TRUE(IsRectEmpty(nullptr));
    EXPECT_FALSE(PtInRect(&flat, POINT{5, 5}));
}

TEST(CRectTest, IntersectAndUnionWithEmptyInputs)
{
    RECT a{0, 0, 10, 10}, b{5, 5, 20, 20}, apart{50, 50, 60, 60}, empty{3, 3, 3, 8};
    RECT out{1, 2, 3, 4};
    EXPECT_TRUE(IntersectRect(&out, &a, &b));
    EXPECT_TRUE(RectIs(out, 5, 5, 10, 10));
    out = RECT{1, 2, 3, 4};
    EXPECT_FALSE(IntersectRect(&out, &a, &apart));
    EXPECT_TRUE(RectIs(out, 0, 0, 0, 0));
    // Touching edges share no pixel.
    RECT touching{10, 0, 20, 10};
    EXPECT_FALSE(IntersectRect(&out, &a, &touching));
    // An empty input inside the other still intersects to nothing.
    out = RECT{1, 2, 3, 4};
    EXPECT_FALSE(IntersectRect(&out, &a, &empty));
    EXPECT_TRUE(RectIs(out, 0, 0, 0, 0));

    EXPECT_TRUE(UnionRect(&out, &a, &apart));
    EXPECT_TRUE(RectIs(out, 0, 0, 60, 60));
    // An empty rectangle does not stretch the union, wherever it lies.
    RECT farEmpty{100, 100, 100, 200};
    EXPECT_TRUE(UnionRect(&out, &a, &farEmpty));
    EXPECT_TRUE(RectIs(out, 0, 0, 10, 10));
    EXPECT_TRUE(UnionRect(&out, &farEmpty, &b));
    EXPECT_TRUE(RectIs(out, 5, 5, 20, 20));
    EXPECT_FALSE(UnionRect(&out, &empty, &farEmpty));
    EXPECT_TRUE(RectIs(out, 0, 0, 0, 0));
}

TEST(CRectTest, SubtractOnlyWhenTheResultIsARectangle)
{
    RECT src{0, 0, 100, 50}, out;
    RECT leftBand{-10, -10, 30, 60};
    EXPECT_TRUE(SubtractRect(&out, &src, &leftBand));
    EXPECT_TRUE(RectIs(out, 30, 0, 100, 50));
    RECT bottomBand{0, 40, 100, 50};
    EXPECT_TRUE(SubtractRect(&out, &src, &bottomBand));
    EXPECT_TRUE(RectIs(out, 0, 0, 100, 40));
    // A hole in the middle leaves the source as it is.
    RECT hole{10, 10, 20, 20};
    EXPECT_TRUE(SubtractRect(&out, &src, &hole));
    EXPECT_TRUE(RectIs(out, 0, 0, 100, 50));
    // A band through the middle would split it in two: also unchanged.
    RECT middle{40, -5, 60, 55};
    EXPECT_TRUE(SubtractRect(&out, &src, &middle));
    EXPECT_TRUE(RectIs(out, 0, 0, 100, 50));
    RECT cover{-1, -1, 101, 51};
    EXPECT_FALSE(SubtractRect(&out, &src, &cover));
    EXPECT_TRUE(IsRectEmpty(&out));
}

TEST(CRectTest, SizesAndCorners)
{
    CRect r(10, 20, 40, 60);
    EXPECT_EQ(r.Width(), 30);
    EXPECT_EQ(r.Height(), 40);
    EXPECT_EQ(r.Size(), CSize(30, 40));
    EXPECT_EQ(r.TopLeft(), CPoint(10, 20));
    EXPECT_EQ(r.BottomRight(), CPoint(40, 60));
    EXPECT_EQ(r.CenterPoint(), CPoint(25, 40));
    // The corners alias the rectangle's fields.
    r.TopLeft() = CPoint(0, 0);
    r.BottomRight().x = 5;
    EXPECT_TRUE(RectIs(r, 0, 0, 5, 60));
    EXPECT_TRUE(CRect().IsRectNull());
    EXPECT_TRUE(CRect(5, 5, 5, 5).IsRectEmpty());
    EXPECT_FALSE(CRect(5, 5, 5, 5).IsRectNull());
    EXPECT_TRUE(RectIs(CRect(CPoint(1, 2), CSize(3, 4)), 1, 2, 4, 6));
    EXPECT_TRUE(RectIs(CRect(CPoint(1, 2), CPoint(3, 4)), 1, 2, 3, 4));
}

TEST(CRectTest, ChangingInPlace)
{
    CRect r(10, 10, 20, 20);
    r.InflateRect(2, 3);
    EXPECT_TRUE(RectIs(r, 8, 7, 22, 23));
    r.DeflateRect(2, 3);
    EXPECT_TRUE(RectIs(r, 10, 10, 20, 20));
    r.InflateRect(1, 2, 3, 4);
    EXPECT_TRUE(RectIs(r, 9, 8, 23, 24));
    r.DeflateRect(CRect(1, 2, 3, 4));
    EXPECT_TRUE(RectIs(r, 10, 10, 20, 20));
    r.OffsetRect(CPoint(-10, 5));
    EXPECT_TRUE(RectIs(r, 0, 15, 10, 25));
    r.MoveToXY(100, 200);
    EXPECT_TRUE(RectIs(r, 100, 200, 110, 210));
    CRect inverted(30, 40, 10, 20);
    inverted.NormalizeRect();
    EXPECT_TRUE(RectIs(inverted, 10, 20, 30, 40));
    CRect e(1, 2, 3, 4);
    e.SetRectEmpty();
    EXPECT_TRUE(e.IsRectNull());
    e.CopyRect(&inverted);
    EXPECT_TRUE(e.EqualRect(&inverted));
}

TEST(CRectTest, Operators)
{
    CRect a(0, 0, 10, 10), b(5, 5, 20, 20);
    EXPECT_TRUE(RectIs(a & b, 5, 5, 10, 10));
    EXPECT_TRUE(RectIs(a | b, 0, 0, 20, 20));
    EXPECT_TRUE(RectIs(a + CPoint(1, 2), 1, 2, 11, 12));
    EXPECT_TRUE(RectIs(a - CSize(1, 2), -1, -2, 9, 8));
    EXPECT_TRUE(RectIs(a + CRect(1, 1, 1, 1), -1, -1, 11, 11));
    EXPECT_TRUE(a == CRect(0, 0, 10, 10));
    EXPECT_TRUE(a != b);
    CRect c(a);
    c &= CRect(20, 20, 30, 30);
    EXPECT_TRUE(c.IsRectNull());
    c = a;
    c |= b;
    EXPECT_TRUE(RectIs(c, 0, 0, 20, 20));
    c += CPoint(1, 1);
    c -= CSize(2, 2);
    EXPECT_TRUE(RectIs(c, -1, -1, 19, 19));
    LPRECT p = c;
    LPCRECT cp = a;
    EXPECT_EQ(p, static_cast<RECT*>(&c));
    EXPECT_EQ(cp->right, 10);
}

TEST(CRectTest, PointAndSizeArithmetic)
{
    CPoint p(3, 4);
    EXPECT_EQ(p + CSize(1, 1), CPoint(4, 5));
    EXPECT_EQ(p - CPoint(1, 1), CSize(2, 3));
    EXPECT_EQ(-p, CPoint(-3, -4));
    p += CSize(10, 10);
    p -= CPoint(1, 2);
    EXPECT_EQ(p, CPoint(12, 12));
    // Packed coordinates are signed 16-bit halves.
    CPoint packed(static_cast<DWORD_PTR>(MAKELONG(-5, 7)));
    EXPECT_EQ(packed, CPoint(-5, 7));
    CSize s(2, 3);
    EXPECT_EQ(s + CSize(1, 1), CSize(3, 4));
    EXPECT_EQ(-s, CSize(-2, -3));
    EXPECT_TRUE(RectIs(p + CRect(0, 0, 1, 1), 12, 12, 13, 13));
}
