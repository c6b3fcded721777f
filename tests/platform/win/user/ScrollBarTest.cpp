// Window scroll bars: the scroll information rules, showing and hiding, layout, and tracking
// with injected input on the virtual clock.
#include "platform/win/HeadlessFixture.h"

#include "platform/core/CRect.h"
#include "platform/win/ScrollBar.h"

namespace {

class ScrollBarTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        // A bordered pop-up: client (1, 1)-(199, 199) before bars.
        wnd = Make(WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 200, 200);
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
        SetScrollInfo(wnd, SB_VERT, &si, TRUE);
        // The window follows the bar as applications do.
        Handler() = [this](HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
            if (hwnd != wnd || message != WM_VSCROLL)
                return false;
            codes.push_back(LOWORD(wParam));
            positions.push_back(static_cast<short>(HIWORD(wParam)));
            int pos = GetScrollPos(wnd, SB_VERT);
            switch (LOWORD(wParam)) {
            case SB_LINEDOWN: pos += 1; break;
            case SB_LINEUP: pos -= 1; break;
            case SB_PAGEDOWN: pos += 10; break;
            case SB_PAGEUP: pos -= 10; break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: pos = static_cast<short>(HIWORD(wParam)); break;
            default: return true;
            }
            SetScrollPos(wnd, SB_VERT, pos, TRUE);
            return true;
        };
        backend->ProcessMessages();
        Log().clear();
    }
    // The vertical bar in screen coordinates.
    RECT Bar() const
    {
        RECT r = WindowScrollBarRect(wnd, SB_VERT);
        OffsetRect(&r, 100, 100);
        return r;
    }
    size_t Count(UINT code) const { return static_cast<size_t>(std::count(codes.begin(), codes.end(), code)); }

    HWND wnd = nullptr;
    std::vector<UINT> codes;
    std::vector<int> positions;
};

TEST_F(ScrollBarTest, InfoIsClampedAndPositionsReturned)
{
    SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, 500, 0};
    EXPECT_EQ(SetScrollInfo(wnd, SB_VERT, &si, FALSE), 90) << "max less the page plus one";
    EXPECT_EQ(SetScrollPos(wnd, SB_VERT, -5, FALSE), 90) << "the old position";
    EXPECT_EQ(GetScrollPos(wnd, SB_VERT), 0);
    si = SCROLLINFO{sizeof(si), SIF_PAGE, 0, 0, 1000, 0, 0};
    SetScrollInfo(wnd, SB_VERT, &si, FALSE);
    SCROLLINFO got{sizeof(got), SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(wnd, SB_VERT, &got));
    EXPECT_EQ(got.nPage, 100u) << "the page never exceeds the range";
    EXPECT_EQ(got.nTrackPos, got.nPos);
    int lo = -1, hi = -1;
    ASSERT_TRUE(GetScrollRange(wnd, SB_VERT, &lo, &hi));
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 99);
    EXPECT_FALSE(GetScrollInfo(wnd, SB_HORZ, &got)) << "no horizontal bar";
}

TEST_F(ScrollBarTest, RangeShowsAndHidesTheBarAndTheClientAreaFollows)
{
    RECT client;
    GetClientRect(wnd, &client);
    EXPECT_EQ(client.right, 198 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_TRUE(GetWindowLong(wnd, GWL_STYLE) & WS_VSCROLL);
    SetScrollRange(wnd, SB_VERT, 0, 0, TRUE);
    EXPECT_FALSE(GetWindowLong(wnd, GWL_STYLE) & WS_VSCROLL);
    GetClientRect(wnd, &client);
    EXPECT_EQ(client.right, 198);
    // With SIF_DISABLENOSCROLL the bar stays, disabled.
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 9, 10, 0, 0};
    SetScrollInfo(wnd, SB_VERT, &si, TRUE);
    EXPECT_TRUE(GetWindowLong(wnd, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(WindowScrollBarState(wnd, SB_VERT, false)->disabled, static_cast<UINT>(ESB_DISABLE_BOTH));
    si = SCROLLINFO{sizeof(si), SIF_RANGE, 0, 99, 0, 0, 0};
    SetScrollInfo(wnd, SB_VERT, &si, TRUE);
    EXPECT_EQ(WindowScrollBarState(wnd, SB_VERT, false)->disabled, static_cast<UINT>(ESB_ENABLE_BOTH));
    EXPECT_TRUE(ShowScrollBar(wnd, SB_HORZ, TRUE));
    EXPECT_TRUE(GetWindowLong(wnd, GWL_STYLE) & WS_HSCROLL);
    EXPECT_TRUE(EnableScrollBar(wnd, SB_VERT, ESB_DISABLE_DOWN));
    EXPECT_FALSE(EnableScrollBar(wnd, SB_VERT, ESB_DISABLE_DOWN)) << "already so";
}

TEST_F(ScrollBarTest, ThumbIsProportionalToThePageWithAMinimum)
{
    const RECT bar{0, 0, 16, 216};   // a track of 184 pixels
    ScrollBarState s;
    s.min = 0;
    s.max = 99;
    s.page = 50;
    ScrollBarLayout layout = LayoutScrollBar(bar, true, s);
    EXPECT_EQ(layout.trackStart, 16);
    EXPECT_EQ(layout.trackEnd, 200);
    EXPECT_EQ(layout.thumbLength, 92);
    EXPECT_EQ(layout.thumbStart, 16);
    s.pos = s.MaxPos();
    layout = LayoutScrollBar(bar, true, s);
    EXPECT_EQ(layout.thumbStart + layout.thumbLength, 200);
    s.max = 100000;
    s.page = 1;
    layout = LayoutScrollBar(bar, true, s);
    EXPECT_EQ(layout.thumbLength, kMinThumbLength);
    // Too short for arrows and a thumb: the arrows share the length, no thumb.
    const RECT shortBar{0, 0, 16, 20};
    layout = LayoutScrollBar(shortBar, true, s);
    EXPECT_EQ(layout.thumbLength, 0);
    EXPECT_EQ(layout.arrowUp.bottom, 10);
}

TEST_F(ScrollBarTest, ArrowPressRepeatsOnTheTimerWhileHeld)
{
    RECT bar = Bar();
    POINT down{bar.left + 8, bar.bottom - 8};   // the down arrow
    backend->MouseDown(1, down);
    backend->WhenIdle([this] { backend->AdvanceClock(kScrollFirstDelay); });
    backend->WhenIdle([this] { backend->AdvanceClock(kScrollRepeatDelay); });
    backend->WhenIdle([this] { backend->AdvanceClock(kScrollRepeatDelay); });
    backend->WhenIdle([this, down] { backend->MouseUp(1, down); });
    backend->ProcessMessages();
    EXPECT_EQ(Count(SB_LINEDOWN), 4u) << "the press and three repeats";
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), static_cast<UINT>(SB_ENDSCROLL));
    EXPECT_EQ(GetScrollPos(wnd, SB_VERT), 4);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollBarTest, RepeatStopsWhileThePointerIsOffThePart)
{
    RECT bar = Bar();
    POINT down{bar.left + 8, bar.bottom - 8};
    backend->MouseDown(1, down);
    backend->WhenIdle([this, bar] { backend->MouseMove(POINT{bar.left - 50, bar.top + 50}); });
    backend->WhenIdle([this] { backend->AdvanceClock(kScrollFirstDelay); });
    backend->WhenIdle([this] { backend->AdvanceClock(kScrollRepeatDelay); });
    backend->WhenIdle([this, down] { backend->MouseUp(1, down); });
    backend->ProcessMessages();
    EXPECT_EQ(Count(SB_LINEDOWN), 1u);
}

TEST_F(ScrollBarTest, TrackClickPagesUntilTheThumbReachesThePointer)
{
    RECT bar = Bar();
    POINT low{bar.left + 8, bar.bottom - 20};   // below the thumb, above the arrow
    backend->MouseDown(1, low);
    for (int i = 0; i < 12; ++i)
        backend->WhenIdle([this, i] { backend->AdvanceClock(i == 0 ? kScrollFirstDelay : kScrollRepeatDelay); });
    backend->WhenIdle([this, low] { backend->MouseUp(1, low); });
    backend->ProcessMessages();
    EXPECT_GE(Count(SB_PAGEDOWN), 2u);
    EXPECT_LT(Count(SB_PAGEDOWN), 13u) << "paging stops under the pointer";
    EXPECT_EQ(codes.back(), static_cast<UINT>(SB_ENDSCROLL));
}

TEST_F(ScrollBarTest, ThumbDragTracksThenSetsThePosition)
{
    RECT bar = Bar();
    ScrollBarState* s = WindowScrollBarState(wnd, SB_VERT, false);
    ASSERT_NE(s, nullptr);
    RECT local = WindowScrollBarRect(wnd, SB_VERT);
    ScrollBarLayout layout = LayoutScrollBar(local, true, *s);
    ASSERT_GT(layout.thumbLength, 0);
    POINT grab{bar.left + 8, 100 + layout.thumbStart + 2};
    const int expected = ScrollPosFromThumb(local, true, *s, layout.thumbStart + 60);
    backend->MouseDown(1, grab);
    backend->WhenIdle([this, grab] { backend->MouseMove(POINT{grab.x, grab.y + 30}); });
    backend->WhenIdle([this, grab] { backend->MouseMove(POINT{grab.x, grab.y + 60}); });
    backend->WhenIdle([this, grab] { backend->MouseUp(1, POINT{grab.x, grab.y + 60}); });
    backend->ProcessMessages();
    ASSERT_GE(codes.size(), 4u);
    EXPECT_EQ(codes[0], static_cast<UINT>(SB_THUMBTRACK));
    EXPECT_EQ(codes[codes.size() - 2], static_cast<UINT>(SB_THUMBPOSITION));
    EXPECT_EQ(positions[positions.size() - 2], expected);
    EXPECT_EQ(codes.back(), static_cast<UINT>(SB_ENDSCROLL));
    EXPECT_GT(expected, 0);
    EXPECT_EQ(GetScrollPos(wnd, SB_VERT), expected);
}

TEST_F(ScrollBarTest, TrackPositionIsReportedDuringTheDrag)
{
    RECT local = WindowScrollBarRect(wnd, SB_VERT);
    ScrollBarState* s = WindowScrollBarState(wnd, SB_VERT, false);
    ScrollBarLayout layout = LayoutScrollBar(local, true, *s);
    POINT grab{Bar().left + 8, 100 + layout.thumbStart + 2};
    int seenTrack = -1, seenPos = -1;
    Handler() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (hwnd == wnd && message == WM_VSCROLL && LOWORD(wParam) == SB_THUMBTRACK) {
            SCROLLINFO si{sizeof(si), SIF_POS | SIF_TRACKPOS, 0, 0, 0, 0, 0};
            GetScrollInfo(wnd, SB_VERT, &si);
            seenTrack = si.nTrackPos;
            seenPos = si.nPos;
        }
        return hwnd == wnd && message == WM_VSCROLL;   // the window does not move the bar
    };
    backend->MouseDown(1, grab);
    backend->WhenIdle([&] { backend->MouseMove(POINT{grab.x, grab.y + 40}); });
    backend->WhenIdle([&] { backend->MouseUp(1, POINT{grab.x, grab.y + 40}); });
    backend->ProcessMessages();
    EXPECT_GT(seenTrack, 0);
    EXPECT_EQ(seenPos, 0);
}

TEST_F(ScrollBarTest, DisabledArrowsIgnoreClicks)
{
    RECT bar = Bar();
    const POINT up{bar.left + 8, bar.top + 8};
    const POINT down{bar.left + 8, bar.bottom - 8};
    SetScrollPos(wnd, SB_VERT, 50, TRUE);
    EXPECT_TRUE(EnableScrollBar(wnd, SB_VERT, ESB_DISABLE_DOWN));
    EXPECT_FALSE(EnableScrollBar(wnd, SB_VERT, ESB_DISABLE_DOWN)) << "nothing changed";
    backend->Click(1, down);
    backend->ProcessMessages();
    EXPECT_EQ(Count(SB_LINEDOWN), 0u);
    backend->Click(1, up);
    backend->ProcessMessages();
    EXPECT_EQ(Count(SB_LINEUP), 1u);
    EXPECT_TRUE(EnableScrollBar(wnd, SB_VERT, ESB_ENABLE_BOTH));
    backend->Click(1, down);
    backend->ProcessMessages();
    EXPECT_EQ(Count(SB_LINEDOWN), 1u);
}

} // namespace
