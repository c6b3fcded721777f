// The default non-client behaviour driven by injected input: caption dragging, border sizing,
// ESC, the tracking sizes, caption double-clicks and the caption buttons.
#include "platform/win/HeadlessFixture.h"

#include "platform/core/CRect.h"
#include "platform/win/detail/NonClient.h"

#include <cairo.h>

namespace {

class NonClientTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        frame = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr, 0, "HeadlessRecorder", "Frame");
        backend->ProcessMessages();
        Log().clear();
    }
    RECT Rect() const
    {
        RECT r;
        GetWindowRect(frame, &r);
        return r;
    }
    HWND frame = nullptr;
};

TEST_F(NonClientTest, CaptionDragMovesTheWindowInAMoveLoop)
{
    backend->MouseDown(1, POINT{200, 110});
    backend->MouseMove(POINT{210, 115});
    backend->MouseMove(POINT{230, 140});
    backend->MouseUp(1, POINT{230, 140});
    backend->ProcessMessages();
    RECT r = Rect();
    EXPECT_EQ(r.left, 130);
    EXPECT_EQ(r.top, 130);
    EXPECT_EQ(r.right - r.left, 300);
    const int enter = IndexOf(frame, WM_ENTERSIZEMOVE);
    const int moving = IndexOf(frame, WM_MOVING);
    const int exit = IndexOf(frame, WM_EXITSIZEMOVE);
    ASSERT_GE(enter, 0);
    ASSERT_GT(moving, enter);
    ASSERT_GT(exit, moving);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Of(frame, WM_SYSCOMMAND).at(0).wParam & 0xFFF0, static_cast<WPARAM>(SC_MOVE));
}

RECT g_moveSizeRect{0, 0, 0, 0};
HHOOK g_moveSizeHook = nullptr;

LRESULT CALLBACK RefuseMoveSize(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_MOVESIZE) {
        g_moveSizeRect = *reinterpret_cast<RECT*>(lParam);
        return 1;
    }
    return CallNextHookEx(g_moveSizeHook, code, wParam, lParam);
}

TEST_F(NonClientTest, TrainingHookCanRefuseTheEndOfAMove)
{
    g_moveSizeHook = SetWindowsHookEx(WH_CBT, RefuseMoveSize, nullptr, 0);
    ASSERT_NE(g_moveSizeHook, nullptr);
    backend->MouseDown(1, POINT{200, 110});
    backend->MouseMove(POINT{230, 140});
    backend->MouseUp(1, POINT{230, 140});
    backend->ProcessMessages();
    UnhookWindowsHookEx(g_moveSizeHook);
    EXPECT_EQ(g_moveSizeRect.left, 130) << "the hook sees where the window would go";
    EXPECT_EQ(g_moveSizeRect.top, 130);
    RECT r = Rect();
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 100);
}

TEST_F(NonClientTest, MovingRectangleCanBeChangedByTheWindow)
{
    Handler() = [this](HWND hwnd, UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        if (hwnd == frame && message == WM_MOVING) {
            auto* r = reinterpret_cast<RECT*>(lParam);
            OffsetRect(r, 0, -(r->top - 100));   // horizontal moves only
            result = TRUE;
            return true;
        }
        return false;
    };
    backend->MouseDown(1, POINT{200, 110});
    backend->MouseMove(POINT{250, 160});
    backend->MouseUp(1, POINT{250, 160});
    backend->ProcessMessages();
    EXPECT_EQ(Rect().left, 150);
    EXPECT_EQ(Rect().top, 100);
}

TEST_F(NonClientTest, RightBorderSizingSendsSizingRectangles)
{
    std::vector<RECT> sizing;
    std::vector<WPARAM> edges;
    Handler() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
        if (hwnd == frame && message == WM_SIZING) {
            sizing.push_back(*reinterpret_cast<RECT*>(lParam));
            edges.push_back(wParam);
        }
        return false;
    };
    backend->MouseDown(1, POINT{398, 200});   // the right border
    backend->MouseMove(POINT{448, 220});
    backend->MouseUp(1, POINT{448, 220});
    backend->ProcessMessages();
    ASSERT_EQ(sizing.size(), 1u);
    EXPECT_EQ(edges[0], static_cast<WPARAM>(WMSZ_RIGHT));
    EXPECT_EQ(sizing[0].left, 100);
    EXPECT_EQ(sizing[0].right, 450);
    EXPECT_EQ(sizing[0].top, 100);
    EXPECT_EQ(sizing[0].bottom, 300);
    EXPECT_EQ(Rect().right, 450);
    EXPECT_EQ(Rect().bottom, 300);
}

TEST_F(NonClientTest, SizingKeepsTheMinimumTrackingSize)
{
    Handler() = [this](HWND hwnd, UINT message, WPARAM, LPARAM lParam, LRESULT&) {
        if (hwnd == frame && message == WM_GETMINMAXINFO)
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{250, 150};
        return false;
    };
    backend->MouseDown(1, POINT{101, 200});   // the left border
    backend->MouseMove(POINT{301, 200});      // would leave 100 pixels
    backend->MouseUp(1, POINT{301, 200});
    backend->ProcessMessages();
    RECT r = Rect();
    EXPECT_EQ(r.right, 400) << "the opposite edge stays";
    EXPECT_EQ(r.right - r.left, 250);
}

TEST_F(NonClientTest, EscapePutsTheWindowBack)
{
    backend->MouseDown(1, POINT{398, 298});   // bottom-right corner
    backend->MouseMove(POINT{420, 330});
    backend->KeyDown(VK_ESCAPE);
    backend->ProcessMessages();
    backend->KeyUp(VK_ESCAPE);
    backend->MouseUp(1, POINT{420, 330});
    backend->ProcessMessages();
    RECT r = Rect();
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.right, 400);
    EXPECT_EQ(r.bottom, 300);
    ASSERT_FALSE(Of(frame, WM_SIZING).empty());
    EXPECT_GE(IndexOf(frame, WM_EXITSIZEMOVE), 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(NonClientTest, CaptionDoubleClickMaximisesAndRestores)
{
    backend->Click(1, POINT{200, 110});
    backend->Click(1, POINT{200, 110});
    backend->ProcessMessages();
    EXPECT_TRUE(IsZoomed(frame));
    RECT r = Rect();
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
    backend->AdvanceClock(1000);
    POINT caption{r.left + 100, r.top + GetSystemMetrics(SM_CYFRAME) + 5};
    backend->Click(1, caption);
    backend->Click(1, caption);
    backend->ProcessMessages();
    EXPECT_FALSE(IsZoomed(frame));
    EXPECT_EQ(Rect().left, 100);
    EXPECT_EQ(Rect().right, 400);
}

TEST_F(NonClientTest, CloseButtonSendsSystemCloseOnlyWhenReleasedOnIt)
{
    RECT button = CaptionButtonRect(frame, HTCLOSE);
    ASSERT_FALSE(IsRectEmpty(&button));
    POINT on{100 + (button.left + button.right) / 2, 100 + (button.top + button.bottom) / 2};
    // Pressed, moved away, released elsewhere: nothing.
    backend->MouseDown(1, on);
    backend->MouseMove(POINT{200, 200});
    backend->MouseUp(1, POINT{200, 200});
    backend->ProcessMessages();
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_TRUE(Of(frame, WM_CLOSE).empty());
    backend->AdvanceClock(1000);
    backend->Click(1, on);
    backend->ProcessMessages();
    auto commands = Of(frame, WM_SYSCOMMAND);
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back().wParam & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(NonClientTest, MinimiseButtonMinimises)
{
    RECT button = CaptionButtonRect(frame, HTMINBUTTON);
    ASSERT_FALSE(IsRectEmpty(&button));
    backend->Click(1, POINT{100 + button.left + 2, 100 + button.top + 2});
    backend->ProcessMessages();
    EXPECT_TRUE(IsIconic(frame));
    ShowWindow(frame, SW_RESTORE);
    EXPECT_EQ(Rect().left, 100);
}

TEST_F(NonClientTest, FramePaintsCaptionInTheActiveColour)
{
    SetActiveWindow(frame);
    RedrawWindow(frame, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    backend->ProcessMessages();
    cairo_surface_t* shot = backend->Capture(frame);
    ASSERT_NE(shot, nullptr);
    auto pixel = [&](int x, int y) {
        auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(shot) + y * cairo_image_surface_get_stride(shot));
        return row[x] & 0xFFFFFF;
    };
    const int y = GetSystemMetrics(SM_CYFRAME) + 2;
    EXPECT_EQ(pixel(150, y), 0x000080u) << "active caption";
    SetActiveWindow(nullptr);
    backend->ProcessMessages();
    cairo_surface_destroy(shot);
    shot = backend->Capture(frame);
    EXPECT_EQ(pixel(150, y), 0x808080u) << "inactive caption";
    cairo_surface_destroy(shot);
}

} // namespace
