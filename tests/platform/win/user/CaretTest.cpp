// The caret: counted showing, inverted pixels, blinking on the virtual clock, and staying off
// the pixels while its window paints.
#include "platform/win/HeadlessFixture.h"

#include "platform/win/detail/CaretPaint.h"

#include <cairo.h>

namespace {

class CaretTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        wnd = Make(WS_POPUP | WS_VISIBLE, 50, 50, 100, 100);
        backend->ProcessMessages();   // painted white
    }
    void TearDown() override
    {
        DestroyCaret();
        HeadlessTest::TearDown();
    }
    uint32_t Pixel(int x, int y)
    {
        cairo_surface_t* shot = backend->Capture(wnd);
        auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(shot) +
                                                y * cairo_image_surface_get_stride(shot));
        uint32_t p = row[x] & 0xFFFFFF;
        cairo_surface_destroy(shot);
        return p;
    }
    HWND wnd = nullptr;
};

TEST_F(CaretTest, ShowingAndHidingAreCounted)
{
    ASSERT_TRUE(CreateCaret(wnd, nullptr, 2, 10));
    EXPECT_EQ(GetCaretInfo().hideCount, 1) << "a new caret is hidden";
    EXPECT_TRUE(ShowCaret(wnd));
    EXPECT_TRUE(GetCaretInfo().drawn);
    EXPECT_TRUE(HideCaret(wnd));
    EXPECT_TRUE(HideCaret(nullptr));
    EXPECT_FALSE(GetCaretInfo().drawn);
    EXPECT_TRUE(ShowCaret(wnd));
    EXPECT_FALSE(GetCaretInfo().drawn) << "one hide is still pending";
    EXPECT_TRUE(ShowCaret(wnd));
    EXPECT_TRUE(GetCaretInfo().drawn);
    HWND other = Make(WS_POPUP | WS_VISIBLE, 200, 50, 50, 50);
    EXPECT_FALSE(ShowCaret(other)) << "not its caret";
    EXPECT_FALSE(HideCaret(other));
}

TEST_F(CaretTest, CaretInvertsItsRectangleAndMovesWithSetCaretPos)
{
    CreateCaret(wnd, nullptr, 2, 10);
    SetCaretPos(20, 30);
    ShowCaret(wnd);
    EXPECT_EQ(Pixel(20, 30), 0x000000u);
    EXPECT_EQ(Pixel(21, 39), 0x000000u);
    EXPECT_EQ(Pixel(22, 30), 0xFFFFFFu);
    SetCaretPos(40, 30);
    EXPECT_EQ(Pixel(20, 30), 0xFFFFFFu) << "the old place is restored";
    EXPECT_EQ(Pixel(40, 30), 0x000000u);
    POINT pt;
    ASSERT_TRUE(GetCaretPos(&pt));
    EXPECT_EQ(pt.x, 40);
    DestroyCaret();
    EXPECT_EQ(Pixel(40, 30), 0xFFFFFFu);
    EXPECT_FALSE(GetCaretPos(&pt));
}

TEST_F(CaretTest, CaretBlinksOnTheTimer)
{
    SetCaretBlinkTime(500);
    CreateCaret(wnd, nullptr, 2, 10);
    ShowCaret(wnd);
    ASSERT_TRUE(GetCaretInfo().drawn);
    backend->Advance(500);
    EXPECT_FALSE(GetCaretInfo().drawn);
    backend->Advance(500);
    EXPECT_TRUE(GetCaretInfo().drawn);
    EXPECT_EQ(GetCaretBlinkTime(), 500u);
    SetCaretBlinkTime(0);
    EXPECT_EQ(GetCaretBlinkTime(), 530u);
}

TEST_F(CaretTest, PaintingDoesNotLeaveCaretPixelsBehind)
{
    CreateCaret(wnd, nullptr, 2, 10);
    SetCaretPos(20, 30);
    ShowCaret(wnd);
    InvalidateRect(wnd, nullptr, TRUE);
    UpdateWindow(wnd);
    // The background was painted with the caret off, then the caret came back once.
    EXPECT_EQ(Pixel(20, 30), 0x000000u);
    EXPECT_TRUE(GetCaretInfo().drawn);
    HideCaret(wnd);
    EXPECT_EQ(Pixel(20, 30), 0xFFFFFFu);
}

TEST_F(CaretTest, GrayAndWidthlessCarets)
{
    CreateCaret(wnd, reinterpret_cast<HBITMAP>(1), 0, 0);
    EXPECT_EQ(GetCaretInfo().size.cx, GetSystemMetrics(SM_CXBORDER));
    EXPECT_EQ(GetCaretInfo().size.cy, GetSystemMetrics(SM_CYBORDER));
    EXPECT_TRUE(DestroyCaret());
    EXPECT_FALSE(DestroyCaret());
}

} // namespace
