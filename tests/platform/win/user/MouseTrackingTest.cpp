// TrackMouseEvent: leave and hover signals for the client and non-client areas.
#include "platform/win/HeadlessFixture.h"

namespace {

class MouseTrackingTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
        child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
        backend->ProcessMessages();
        GetClientRect(top, &client);
        MapWindowPoints(top, nullptr, reinterpret_cast<POINT*>(&client), 2);
        Log().clear();
    }
    bool Track(HWND hwnd, DWORD flags, DWORD hover = HOVER_DEFAULT)
    {
        TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), flags, hwnd, hover};
        return TrackMouseEvent(&tme) != FALSE;
    }
    HWND top = nullptr;
    HWND child = nullptr;
    RECT client{};
};

TEST_F(MouseTrackingTest, LeaveComesOnceWhenThePointerLeavesTheClientArea)
{
    const POINT inTop{client.left + 150, client.top + 100};
    backend->MouseMove(inTop);
    backend->ProcessMessages();
    ASSERT_TRUE(Track(top, TME_LEAVE));
    TRACKMOUSEEVENT query{sizeof(TRACKMOUSEEVENT), TME_QUERY, nullptr, 0};
    ASSERT_TRUE(TrackMouseEvent(&query));
    EXPECT_EQ(query.hwndTrack, top);
    EXPECT_EQ(query.dwFlags, static_cast<DWORD>(TME_LEAVE));
    backend->MouseMove(POINT{inTop.x + 1, inTop.y});
    backend->ProcessMessages();
    EXPECT_TRUE(Of(top, WM_MOUSELEAVE).empty());
    // Moving onto a child leaves the parent's client area too.
    backend->MouseMove(POINT{client.left + 20, client.top + 20});
    backend->ProcessMessages();
    EXPECT_EQ(Of(top, WM_MOUSELEAVE).size(), 1u);
    // The request ended with the signal.
    query = TRACKMOUSEEVENT{sizeof(TRACKMOUSEEVENT), TME_QUERY, nullptr, 0};
    TrackMouseEvent(&query);
    EXPECT_EQ(query.hwndTrack, nullptr);
    // Asking while the pointer is elsewhere answers at once.
    backend->MouseMove(inTop);
    backend->ProcessMessages();
    Log().clear();
    ASSERT_TRUE(Track(child, TME_LEAVE));
    backend->ProcessMessages();
    EXPECT_EQ(Of(child, WM_MOUSELEAVE).size(), 1u);
}

TEST_F(MouseTrackingTest, NonClientLeaveAndPointerLeavingTheProgram)
{
    const POINT caption{client.left + 150, client.top - 5};
    backend->MouseMove(caption);
    backend->ProcessMessages();
    ASSERT_TRUE(Track(top, TME_LEAVE | TME_NONCLIENT));
    // Into the client area of the same window: the non-client area was left.
    backend->MouseMove(POINT{client.left + 150, client.top + 100});
    backend->ProcessMessages();
    EXPECT_EQ(Of(top, WM_NCMOUSELEAVE).size(), 1u);
    EXPECT_TRUE(Of(top, WM_MOUSELEAVE).empty());
    // A client request ends when the display says the pointer left every window; a cancelled
    // request says nothing.
    ASSERT_TRUE(Track(top, TME_LEAVE));
    backend->PointerLeft();
    backend->ProcessMessages();
    EXPECT_EQ(Of(top, WM_MOUSELEAVE).size(), 1u);
    ASSERT_TRUE(Track(top, TME_LEAVE));
    ASSERT_TRUE(Track(top, TME_LEAVE | TME_CANCEL));
    backend->MouseMove(POINT{5, 5});
    backend->ProcessMessages();
    EXPECT_EQ(Of(top, WM_MOUSELEAVE).size(), 1u);
}

TEST_F(MouseTrackingTest, HoverAfterRestingAndRestartedByMovingAway)
{
    const POINT p{client.left + 150, client.top + 100};
    backend->MouseMove(p);
    backend->ProcessMessages();
    ASSERT_TRUE(Track(top, TME_HOVER | TME_LEAVE, 100));
    backend->Advance(60);
    // Out of the 4x4 hover rectangle: the wait starts over.
    backend->MouseMove(POINT{p.x + 10, p.y});
    backend->ProcessMessages();
    backend->Advance(60);
    EXPECT_TRUE(Of(top, WM_MOUSEHOVER).empty());
    // Within it: the wait goes on.
    backend->MouseMove(POINT{p.x + 11, p.y + 1});
    backend->ProcessMessages();
    backend->Advance(50);
    backend->ProcessMessages();
    auto hovers = Of(top, WM_MOUSEHOVER);
    ASSERT_EQ(hovers.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(hovers[0].lParam), 161);
    EXPECT_EQ(GET_Y_LPARAM(hovers[0].lParam), 101);
    // Hover is over but the leave request stands.
    backend->Advance(500);
    EXPECT_EQ(Of(top, WM_MOUSEHOVER).size(), 1u);
    backend->MouseMove(POINT{5, 5});
    backend->ProcessMessages();
    EXPECT_EQ(Of(top, WM_MOUSELEAVE).size(), 1u);

    // The non-client area has its own hover, with the hit-test code and a screen point.
    const POINT caption{client.left + 150, client.top - 5};
    backend->MouseMove(caption);
    backend->ProcessMessages();
    ASSERT_TRUE(Track(top, TME_HOVER | TME_NONCLIENT, 50));
    backend->Advance(60);
    backend->ProcessMessages();
    auto ncHovers = Of(top, WM_NCMOUSEHOVER);
    ASSERT_EQ(ncHovers.size(), 1u);
    EXPECT_EQ(ncHovers[0].wParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(GET_X_LPARAM(ncHovers[0].lParam), caption.x);
    EXPECT_TRUE(Of(top, WM_MOUSEHOVER).size() == 1u) << "no client hover from a non-client request";
}

} // namespace
