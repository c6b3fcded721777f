#include "platform/win/GdiTestUtil.h"

#include <gtest/gtest.h>

namespace {
const COLORREF kShapeBlack = RGB(0, 0, 0);
const COLORREF kShapeWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
}

TEST(LineTest, HorizontalLeavesEndPointOut)
{
    TestCanvas c(10, 3);
    MoveToEx(c.dc(), 1, 1, nullptr);
    LineTo(c.dc(), 5, 1);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 1, 10, 2), ".####.....");
    POINT p;
    GetCurrentPositionEx(c.dc(), &p);
    EXPECT_EQ(p.x, 5);
    // Drawn the other way, the start is in and the end (now on the left) is out.
    c.Clear(kShapeWhite);
    MoveToEx(c.dc(), 5, 1, nullptr);
    LineTo(c.dc(), 1, 1);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 1, 10, 2), "..####....");
}

TEST(LineTest, VerticalAndDiagonal)
{
    TestCanvas c(6, 6);
    MoveToEx(c.dc(), 2, 0, nullptr);
    LineTo(c.dc(), 2, 4);
    EXPECT_EQ(c.Map(kShapeBlack, 2, 0, 3, 6), "#|#|#|#|.|.");
    c.Clear(kShapeWhite);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 4, 4);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 0, 5, 5), "#....|.#...|..#..|...#.|.....");
}

TEST(LineTest, SteepLineHasOnePixelPerRow)
{
    TestCanvas c(8, 12);
    MoveToEx(c.dc(), 1, 1, nullptr);
    LineTo(c.dc(), 4, 10);
    for (int y = 0; y < 12; ++y) {
        int n = 0;
        for (int x = 0; x < 8; ++x) n += c.At(x, y) == kShapeBlack;
        EXPECT_EQ(n, (y >= 1 && y < 10) ? 1 : 0) << "row " << y;
    }
    EXPECT_EQ(c.At(1, 1), kShapeBlack);
    EXPECT_EQ(c.At(4, 10), kShapeWhite);
    EXPECT_EQ(c.Count(kShapeBlack), 9);
}

TEST(LineTest, GeometricSquareCapKeepsEndPoint)
{
    TestCanvas c(10, 3);
    LOGBRUSH lb{BS_SOLID, kShapeBlack, 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_SOLID, 1, &lb, 0, nullptr);
    ASSERT_NE(pen, nullptr);
    HGDIOBJ old = SelectObject(c.dc(), pen);
    MoveToEx(c.dc(), 1, 1, nullptr);
    LineTo(c.dc(), 5, 1);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 1, 10, 2), ".#####....");
    SelectObject(c.dc(), old);
    EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_EXTPEN));
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(LineTest, WidePenCoversItsWidth)
{
    TestCanvas c(20, 9);
    HPEN pen = CreatePen(PS_SOLID, 3, kShapeBlack);
    SelectObject(c.dc(), pen);
    MoveToEx(c.dc(), 4, 4, nullptr);
    LineTo(c.dc(), 14, 4);
    // Rows 3..5 are covered in the middle of the line.
    EXPECT_EQ(c.Map(kShapeBlack, 9, 2, 10, 7), ".|#|#|#|.");
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(LineTest, DottedPenPhaseContinuesAcrossPolyline)
{
    TestCanvas c(20, 20);
    HPEN pen = CreatePen(PS_DOT, 0, kShapeBlack);
    SelectObject(c.dc(), pen);
    SetBkMode(c.dc(), TRANSPARENT);
    // First segment: 4 pixels (on on on off); the second continues with off off on...
    POINT pts[] = {{0, 0}, {4, 0}, {4, 6}};
    Polyline(c.dc(), pts, 3);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 0, 5, 1), "###..");
    EXPECT_EQ(c.Map(kShapeBlack, 4, 0, 5, 7), ".|.|#|#|#|.|.");
    // Two separate LineTo calls each start the pattern again.
    c.Clear(kShapeWhite);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 4, 0);
    LineTo(c.dc(), 4, 6);
    EXPECT_EQ(c.Map(kShapeBlack, 4, 0, 5, 7), "#|#|#|.|.|.|.");
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(LineTest, OpaqueGapsTakeBackgroundColour)
{
    TestCanvas c(10, 1);
    HPEN pen = CreatePen(PS_DOT, 0, kShapeBlack);
    SelectObject(c.dc(), pen);
    SetBkColor(c.dc(), kRed);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 8, 0);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 0, 9, 1), "###...##.");
    EXPECT_EQ(c.Map(kRed, 0, 0, 9, 1), "...###...");
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(LineTest, AlternatePenSetsEveryOtherPixel)
{
    TestCanvas c(10, 1);
    LOGBRUSH lb{BS_SOLID, kShapeBlack, 0};
    HPEN pen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
    SelectObject(c.dc(), pen);
    SetBkMode(c.dc(), TRANSPARENT);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 9, 0);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 0, 10, 1), "#.#.#.#.#.");
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(ShapeTest, RectangleOutlineInsideAndInteriorHalfOpen)
{
    TestCanvas c(8, 8);
    HBRUSH red = CreateSolidBrush(kRed);
    SelectObject(c.dc(), red);
    Rectangle(c.dc(), 1, 1, 6, 5);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 0, 7, 6), ".......|.#####.|.#...#.|.#...#.|.#####.|.......");
    EXPECT_EQ(c.Map(kRed, 0, 0, 7, 6), ".......|.......|..###..|..###..|.......|.......");
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
}

TEST(ShapeTest, RectangleWithNullPenIsOnePixelSmaller)
{
    TestCanvas c(8, 8);
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
    Rectangle(c.dc(), 1, 1, 5, 4);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 0, 6, 5), "......|.###..|.###..|......|......");
}

TEST(ShapeTest, FillRectIsHalfOpenAndIgnoresEmpty)
{
    TestCanvas c(6, 6);
    HBRUSH b = CreateSolidBrush(kShapeBlack);
    RECT r{1, 2, 4, 3};
    FillRect(c.dc(), &r, b);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 0, 6, 4), "......|......|.###..|......");
    RECT inverted{4, 4, 1, 1};
    FillRect(c.dc(), &inverted, b);
    EXPECT_EQ(c.Count(kShapeBlack), 3);
    // A system colour index plus one stands for that colour.
    RECT all{0, 0, 6, 6};
    FillRect(c.dc(), &all, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOWTEXT + 1)));
    EXPECT_EQ(c.Count(kShapeBlack), 36);
    DeleteObject(b);
}

TEST(ShapeTest, FrameRectIsOnePixelInside)
{
    TestCanvas c(6, 5);
    HBRUSH b = CreateSolidBrush(kShapeBlack);
    RECT r{1, 1, 5, 4};
    FrameRect(c.dc(), &r, b);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 0, 6, 5), "......|.####.|.#..#.|.####.|......");
    DeleteObject(b);
}

TEST(ShapeTest, InvertRectTwiceRestores)
{
    TestCanvas c(10, 10, RGB(12, 200, 77));
    SetPixel(c.dc(), 3, 3, RGB(1, 2, 3));
    RECT r{2, 2, 7, 8};
    InvertRect(c.dc(), &r);
    EXPECT_EQ(c.At(3, 3), RGB(254, 253, 252));
    EXPECT_EQ(c.At(2, 2), RGB(243, 55, 178));
    EXPECT_EQ(c.At(7, 2), RGB(12, 200, 77));
    InvertRect(c.dc(), &r);
    EXPECT_EQ(c.At(3, 3), RGB(1, 2, 3));
    EXPECT_EQ(c.Count(RGB(12, 200, 77)), 99);
}

TEST(ShapeTest, XorPenTwiceRestores)
{
    TestCanvas c(12, 12, RGB(10, 20, 30));
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(0xF0, 0x0F, 0x55));
    SelectObject(c.dc(), pen);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    SetROP2(c.dc(), R2_XORPEN);
    Rectangle(c.dc(), 1, 1, 10, 10);
    EXPECT_EQ(c.At(1, 1), RGB(10 ^ 0xF0, 20 ^ 0x0F, 30 ^ 0x55));
    Rectangle(c.dc(), 1, 1, 10, 10);
    EXPECT_EQ(c.Count(RGB(10, 20, 30)), 144);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(ShapeTest, AllBinaryRasterOperations)
{
    TestCanvas c(1, 1);
    const uint32_t pen = 0x00F0CC;
    const uint32_t dst = 0x00AA0F;
    HPEN p = CreatePen(PS_SOLID, 0, pen);
    SelectObject(c.dc(), p);
    for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
        SetPixel(c.dc(), 0, 0, dst);
        SetROP2(c.dc(), rop);
        MoveToEx(c.dc(), 0, 0, nullptr);
        LineTo(c.dc(), 1, 0);
        // Bit (P, D) of rop - 1's truth table gives each result bit.
        uint32_t expected = 0;
        for (int bit = 0; bit < 24; ++bit) {
            int pb = (pen >> bit) & 1, db = (dst >> bit) & 1;
            expected |= static_cast<uint32_t>(((rop - 1) >> (pb * 2 + db)) & 1) << bit;
        }
        EXPECT_EQ(c.At(0, 0), expected) << "rop " << rop;
    }
    SetROP2(c.dc(), R2_COPYPEN);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(p);
}

TEST(ShapeTest, PatternBrushUsesTextAndBackgroundColoursAndOrigin)
{
    TestCanvas c(16, 2);
    // Row 0 of the pattern: 1000 0000; every other row all zero bits.
    WORD bits[8] = {0x80, 0, 0, 0, 0, 0, 0, 0};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH brush = CreatePatternBrush(pattern);
    DeleteObject(pattern); // the brush keeps its own copy
    SetTextColor(c.dc(), kRed);
    SetBkColor(c.dc(), kShapeBlack);
    RECT r{0, 0, 16, 1};
    FillRect(c.dc(), &r, brush);
    // 1 bits take the background colour, 0 bits the text colour.
    EXPECT_EQ(c.Map(kShapeBlack, 0, 0, 16, 1), "#.......#.......");
    EXPECT_EQ(c.At(1, 0), kRed);
    SetBrushOrgEx(c.dc(), 3, 0, nullptr);
    FillRect(c.dc(), &r, brush);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 0, 16, 1), "...#.......#....");
    // The origin is a device position: a negative one wraps around.
    SetBrushOrgEx(c.dc(), -2, 0, nullptr);
    FillRect(c.dc(), &r, brush);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 0, 16, 1), "......#.......#.");
    DeleteObject(brush);
}

TEST(ShapeTest, HatchBrushBackgroundFollowsMode)
{
    TestCanvas c(8, 8, kRed);
    HBRUSH hatch = CreateHatchBrush(HS_HORIZONTAL, kShapeBlack);
    RECT r{0, 0, 8, 8};
    SetBkMode(c.dc(), TRANSPARENT);
    FillRect(c.dc(), &r, hatch);
    EXPECT_EQ(c.Count(kShapeBlack), 8);
    EXPECT_EQ(c.Count(kRed), 56);
    SetBkMode(c.dc(), OPAQUE);
    SetBkColor(c.dc(), kShapeWhite);
    FillRect(c.dc(), &r, hatch);
    EXPECT_EQ(c.Count(kShapeWhite), 56);
    DeleteObject(hatch);
}

TEST(ShapeTest, EllipseStaysInsideItsBox)
{
    TestCanvas c(20, 20);
    SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
    Ellipse(c.dc(), 2, 3, 15, 12);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            if (x < 2 || x >= 15 || y < 3 || y >= 12) {
                EXPECT_EQ(c.At(x, y), kShapeWhite) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(c.At(8, 7), kShapeBlack);
    EXPECT_EQ(c.At(2, 3), kShapeWhite);
}

TEST(ShapeTest, PolygonFillModes)
{
    TestCanvas c(20, 20);
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
    POINT pts[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {5, 5}, {15, 5}, {15, 15}, {5, 15}, {5, 5}};
    Polygon(c.dc(), pts, 10);
    EXPECT_EQ(c.At(7, 7), kShapeWhite);
    EXPECT_EQ(c.At(2, 2), kShapeBlack);
    SetPolyFillMode(c.dc(), WINDING);
    Polygon(c.dc(), pts, 10);
    EXPECT_EQ(c.At(7, 7), kShapeBlack);
}

TEST(ShapeTest, FrameAndInvertRegion)
{
    TestCanvas c(10, 10);
    HRGN r = CreateRectRgn(1, 1, 8, 8);
    HBRUSH b = CreateSolidBrush(kShapeBlack);
    FrameRgn(c.dc(), r, b, 2, 1);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 1, 10, 3), ".#######..|.##...##..");
    InvertRgn(c.dc(), r);
    InvertRgn(c.dc(), r);
    EXPECT_EQ(c.Map(kShapeBlack, 0, 1, 10, 3), ".#######..|.##...##..");
    DeleteObject(b);
    DeleteObject(r);
}

TEST(ShapeTest, DcBrushAndPenTakeTheDeviceColours)
{
    TestCanvas c(6, 6);
    SelectObject(c.dc(), GetStockObject(DC_BRUSH));
    SelectObject(c.dc(), GetStockObject(DC_PEN));
    EXPECT_EQ(SetDCBrushColor(c.dc(), RGB(0, 200, 0)), RGB(255, 255, 255));
    SetDCPenColor(c.dc(), kRed);
    Rectangle(c.dc(), 0, 0, 5, 5);
    EXPECT_EQ(c.At(0, 0), kRed);
    EXPECT_EQ(c.At(2, 2), RGB(0, 200, 0));
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
}

TEST(ShapeTest, InsideFramePenStaysInsideWideCentredPenDoesNot)
{
    TestCanvas c(20, 20);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    HPEN inside = CreatePen(PS_INSIDEFRAME, 3, kShapeBlack);
    SelectObject(c.dc(), inside);
    Rectangle(c.dc(), 5, 5, 15, 15);
    EXPECT_EQ(c.Map(kShapeBlack, 3, 10, 17, 11), "..###....###..");
    c.Clear(kShapeWhite);
    HPEN centred = CreatePen(PS_SOLID, 3, kShapeBlack);
    SelectObject(c.dc(), centred);
    Rectangle(c.dc(), 5, 5, 15, 15);
    // Centred on the outline pixels 5 and 14.
    EXPECT_EQ(c.Map(kShapeBlack, 3, 10, 17, 11), ".###......###.");
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(inside);
    DeleteObject(centred);
}

TEST(ShapeTest, PieAndChordStayInTheirHalf)
{
    TestCanvas c(20, 20);
    SelectObject(c.dc(), GetStockObject(BLACK_BRUSH));
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    // Counter-clockwise from the right (3 o'clock) to the left (9 o'clock): the upper half.
    Pie(c.dc(), 0, 0, 20, 20, 20, 10, 0, 10);
    EXPECT_EQ(c.At(10, 3), kShapeBlack);
    EXPECT_EQ(c.At(10, 16), kShapeWhite);
    c.Clear(kShapeWhite);
    Chord(c.dc(), 0, 0, 20, 20, 0, 10, 20, 10);
    EXPECT_EQ(c.At(10, 16), kShapeBlack);
    EXPECT_EQ(c.At(10, 3), kShapeWhite);
}
