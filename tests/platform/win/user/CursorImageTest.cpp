// Cursors made from images: CreateIconIndirect with fIcon FALSE, the planes of CreateCursor,
// and the two-colour form a display takes.
#include "platform/win/GdiTestUtil.h"

#include "platform/win/detail/CursorShape.h"
#include "platform/win/UserApi.h"

#include <gtest/gtest.h>

namespace {

bool Bit(const std::vector<BYTE>& plane, int width, int x, int y)
{
    const size_t row = static_cast<size_t>((width + 7) / 8);
    return (plane[static_cast<size_t>(y) * row + static_cast<size_t>(x / 8)] >> (x % 8)) & 1;
}

TEST(CursorImageTest, ACursorFromBitmapsKeepsItsHotSpotAndPixels)
{
    // 16x16: a black 4x4 square at (2, 2) on white, with a mask that keeps the left half.
    TestCanvas color(16, 16, RGB(255, 255, 255));
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    RECT square{2, 2, 6, 6};
    FillRect(color.dc(), &square, black);
    TestCanvas mask(16, 16, RGB(0, 0, 0));
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    RECT keep{0, 0, 8, 16};
    FillRect(mask.dc(), &keep, white);
    DeleteObject(black);
    DeleteObject(white);

    ICONINFO info{FALSE, 3, 4, mask.bitmap(), color.bitmap()};
    HCURSOR cursor = CreateIconIndirect(&info);
    ASSERT_NE(cursor, nullptr);
    CursorShape shape;
    ASSERT_TRUE(GetCursorShape(cursor, shape));
    EXPECT_EQ(shape.standardId, 0);
    EXPECT_EQ(shape.hotSpot.x, 3);
    EXPECT_EQ(shape.hotSpot.y, 4);
    ASSERT_EQ(shape.argb.size(), 256u);
    EXPECT_EQ(shape.argb[10 * 16 + 12], 0xFFFFFFFFu);   // opaque white where the mask is 0
    // Where the mask keeps the screen: black is see-through, a colour inverts (shown dark).
    EXPECT_EQ(shape.argb[3 * 16 + 3] >> 24, 0u);
    EXPECT_EQ(shape.argb[10 * 16 + 3] >> 24, 0xFFu);

    std::vector<BYTE> source, shown;
    CursorBitmaps(shape, source, shown);
    EXPECT_FALSE(Bit(shown, 16, 3, 3));
    EXPECT_TRUE(Bit(shown, 16, 12, 10));
    EXPECT_FALSE(Bit(source, 16, 12, 10));   // white
    EXPECT_TRUE(Bit(shown, 16, 3, 10));
    EXPECT_TRUE(Bit(source, 16, 3, 10));     // inverting: dark

    // The same handle is an icon for drawing and a cursor for SetCursor; destroying it as a
    // cursor ends both.
    TestCanvas target(16, 16, RGB(0, 0, 255));
    EXPECT_TRUE(DrawIcon(target.dc(), 0, 0, cursor));
    EXPECT_EQ(target.At(12, 10), RGB(255, 255, 255));
    EXPECT_EQ(target.At(3, 3), RGB(0, 0, 255));
    HCURSOR before = SetCursor(cursor);
    EXPECT_FALSE(DestroyCursor(cursor)) << "the cursor in use stays";
    SetCursor(before);
    EXPECT_TRUE(DestroyCursor(cursor));
    EXPECT_FALSE(GetCursorShape(cursor, shape));
    EXPECT_FALSE(DrawIcon(target.dc(), 0, 0, cursor));
}

TEST(CursorImageTest, PlanesBecomeTheTwoColourForm)
{
    // 16x2 planes, rows of 2 bytes, the leftmost pixel in the high bit: pixel 0 black (0/0),
    // 1 white (0/1), 2 transparent (1/0), 3 inverting (1/1).
    const BYTE andPlane[4] = {0x30, 0xFF, 0xFF, 0xFF};
    const BYTE xorPlane[4] = {0x50, 0x00, 0x00, 0x00};
    HCURSOR cursor = CreateCursor(nullptr, 1, 0, 16, 2, andPlane, xorPlane);
    ASSERT_NE(cursor, nullptr);
    CursorShape shape;
    ASSERT_TRUE(GetCursorShape(cursor, shape));
    std::vector<BYTE> source, shown;
    CursorBitmaps(shape, source, shown);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_TRUE(Bit(shown, 16, 0, 0) && Bit(source, 16, 0, 0));
    EXPECT_TRUE(Bit(shown, 16, 1, 0) && !Bit(source, 16, 1, 0));
    EXPECT_FALSE(Bit(shown, 16, 2, 0));
    EXPECT_TRUE(Bit(shown, 16, 3, 0) && Bit(source, 16, 3, 0));
    EXPECT_FALSE(Bit(shown, 16, 0, 1));
    EXPECT_TRUE(DestroyCursor(cursor));
}

} // namespace
