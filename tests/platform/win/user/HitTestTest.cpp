// Finding windows by point through the tree, and the default non-client hit test.
#include "platform/win/WindowTestSupport.h"

namespace {

using HitTest = WindowTest;

TEST_F(HitTest, WindowFromPointFindsTheDeepestVisibleWindow)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, top);
    HWND grandchild = Create(WS_CHILD | WS_VISIBLE, 20, 20, 30, 30, child);
    HWND hidden = Create(WS_CHILD, 0, 0, 200, 200, top);   // above the others, but hidden
    (void)hidden;
    EXPECT_EQ(WindowFromPoint(POINT{105, 105}), top);
    EXPECT_EQ(WindowFromPoint(POINT{115, 115}), child);
    EXPECT_EQ(WindowFromPoint(POINT{135, 135}), grandchild);
    EXPECT_EQ(WindowFromPoint(POINT{159, 159}), grandchild);
    EXPECT_EQ(WindowFromPoint(POINT{160, 160}), child);   // right and bottom edges are outside
    EXPECT_EQ(WindowFromPoint(POINT{99, 99}), nullptr);
}

TEST_F(HitTest, OverlappingSiblingsAnswerInZOrder)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND upper = Create(WS_CHILD | WS_VISIBLE, 50, 50, 100, 100, top);   // made first: on top
    HWND lower = Create(WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top);
    EXPECT_EQ(WindowFromPoint(POINT{60, 60}), upper);
    SetWindowPos(upper, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint(POINT{60, 60}), lower);
}

TEST_F(HitTest, DisabledChildrenLetThePointFallToTheParent)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND child = Create(WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0, 100, 100, top);
    (void)child;
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), top);
}

TEST_F(HitTest, TransparentHitTestPassesToTheWindowBeneath)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND upper = Create(WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top);   // made first: on top
    HWND lower = Create(WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top);
    MessageLog::Get().handlers[WM_NCHITTEST] = [upper](HWND h, WPARAM, LPARAM, bool& handled) -> LRESULT {
        handled = h == upper;
        return HTTRANSPARENT;
    };
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), lower);
    EXPECT_EQ(RealChildWindowFromPoint(top, POINT{10, 10}), lower);
}

TEST_F(HitTest, ChildWindowFromPointExHonoursItsSkipFlags)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    // Children made first lie on top.
    HWND invisible = Create(WS_CHILD, 0, 0, 100, 100, top);
    HWND disabled = Create(WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0, 100, 100, top);
    HWND transparent = Create(WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top, WS_EX_TRANSPARENT);
    HWND bottom = Create(WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top);
    POINT pt{10, 10};
    EXPECT_EQ(ChildWindowFromPoint(top, pt), invisible);
    EXPECT_EQ(ChildWindowFromPointEx(top, pt, CWP_SKIPINVISIBLE), disabled);
    EXPECT_EQ(ChildWindowFromPointEx(top, pt, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED), transparent);
    EXPECT_EQ(ChildWindowFromPointEx(top, pt, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT), bottom);
    EXPECT_EQ(ChildWindowFromPointEx(top, POINT{150, 150}, CWP_ALL), top);   // in the parent only
    EXPECT_EQ(ChildWindowFromPointEx(top, POINT{250, 10}, CWP_ALL), nullptr);   // outside
}

LRESULT HitAt(HWND hwnd, int x, int y)
{
    return SendMessage(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y));
}

TEST_F(HitTest, DefaultHitTestNamesEveryPartOfTheFrame)
{
    // 300 x 200 at (100, 100) with a sizing frame (4), a caption (19), both scroll bars (16).
    HWND hwnd = Create(WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL, 100, 100, 300, 200);
    EXPECT_EQ(HitAt(hwnd, 99, 150), HTNOWHERE);
    EXPECT_EQ(HitAt(hwnd, 150, 150), HTCLIENT);
    EXPECT_EQ(HitAt(hwnd, 100, 150), HTLEFT);
    EXPECT_EQ(HitAt(hwnd, 399, 150), HTRIGHT);
    EXPECT_EQ(HitAt(hwnd, 250, 100), HTTOP);
    EXPECT_EQ(HitAt(hwnd, 250, 299), HTBOTTOM);
    EXPECT_EQ(HitAt(hwnd, 100, 100), HTTOPLEFT);
    EXPECT_EQ(HitAt(hwnd, 399, 299), HTBOTTOMRIGHT);
    EXPECT_EQ(HitAt(hwnd, 101, 298), HTBOTTOMLEFT);
    EXPECT_EQ(HitAt(hwnd, 398, 101), HTTOPRIGHT);
    EXPECT_EQ(HitAt(hwnd, 250, 110), HTCAPTION);
    EXPECT_EQ(HitAt(hwnd, 390, 110), HTCLOSE);
    EXPECT_EQ(HitAt(hwnd, 370, 110), HTMAXBUTTON);
    EXPECT_EQ(HitAt(hwnd, 352, 110), HTMINBUTTON);
    EXPECT_EQ(HitAt(hwnd, 108, 110), HTSYSMENU);
    EXPECT_EQ(HitAt(hwnd, 390, 200), HTVSCROLL);
    EXPECT_EQ(HitAt(hwnd, 200, 290), HTHSCROLL);
    HWND bordered = Create(WS_POPUP | WS_BORDER, 0, 0, 50, 50);
    EXPECT_EQ(HitAt(bordered, 0, 20), HTBORDER);
    EXPECT_EQ(HitAt(bordered, 1, 20), HTCLIENT);
}

} // namespace
