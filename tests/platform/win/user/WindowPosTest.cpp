// SetWindowPos and what is built on it: its messages, z-order, showing and hiding, minimise
// and maximise, deferred positioning, coordinates and the frame geometry.
#include "platform/win/WindowTestSupport.h"

namespace {

using Positions = WindowTest;

TEST_F(Positions, MovingAndSizingSendsChangingThenChangedThenMoveAndSize)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
    MessageLog::Get().Clear();
    ASSERT_TRUE(SetWindowPos(child, nullptr, 20, 30, 60, 70, SWP_NOZORDER | SWP_NOACTIVATE));
    auto messages = MessageLog::Get().Messages(child, {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED,
                                                       WM_MOVE, WM_SIZE});
    EXPECT_EQ(messages, (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right, 80);
    EXPECT_EQ(r.bottom, 100);
    // A move alone sends no WM_SIZE.
    MessageLog::Get().Clear();
    MoveWindow(child, 25, 30, 60, 70, TRUE);
    EXPECT_EQ(MessageLog::Get().Count(child, WM_MOVE), 1u);
    EXPECT_EQ(MessageLog::Get().Count(child, WM_SIZE), 0u);
    // Nothing changes: the changed message says so and neither WM_MOVE nor WM_SIZE follows.
    MessageLog::Get().Clear();
    SetWindowPos(child, nullptr, 25, 30, 60, 70, SWP_NOZORDER);
    EXPECT_EQ(MessageLog::Get().Count(child, WM_MOVE) + MessageLog::Get().Count(child, WM_SIZE), 0u);
}

TEST_F(Positions, ActivatingAChildSendsChildActivate)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
    MessageLog::Get().Clear();
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(MessageLog::Get().Count(child, WM_CHILDACTIVATE), 1u);
    MessageLog::Get().Clear();
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(MessageLog::Get().Count(child, WM_CHILDACTIVATE), 0u);
}

TEST_F(Positions, ChangingHandlerCanAlterThePosition)
{
    HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    MessageLog::Get().handlers[WM_WINDOWPOSCHANGING] = [](HWND, WPARAM, LPARAM lParam, bool&) -> LRESULT {
        auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
        wp->cx = 40;   // keeps its width fixed at 40
        return 0;
    };
    SetWindowPos(hwnd, nullptr, 0, 0, 300, 120, SWP_NOZORDER | SWP_NOMOVE);
    RECT r;
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, 40);
    EXPECT_EQ(r.bottom - r.top, 120);
}

TEST_F(Positions, NoSendChangingSkipsTheChangingMessage)
{
    HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    MessageLog::Get().Clear();
    SetWindowPos(hwnd, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOSENDCHANGING);
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_WINDOWPOSCHANGING), 0u);
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_WINDOWPOSCHANGED), 1u);
}

TEST_F(Positions, ZOrderFollowsInsertAfter)
{
    HWND parent = Create(WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    HWND a = Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent);
    HWND b = Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent);
    HWND c = Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent);
    // New children go to the bottom: creation order is GW_CHILD / GW_HWNDNEXT order.
    EXPECT_EQ(GetWindow(parent, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);
    EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(c, GW_HWNDFIRST), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
    SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDLAST), a);
    SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(c, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);   // just below b
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);
    EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), a);
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetTopWindow(parent), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDPREV), nullptr);
    EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);
}

TEST_F(Positions, TopmostWindowsStayAboveTheOthers)
{
    HWND normal = Create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    HWND topmost = Create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, WS_EX_TOPMOST);
    HWND later = Create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    HWND desktop = GetDesktopWindow();
    EXPECT_EQ(GetTopWindow(desktop), topmost);
    EXPECT_EQ(GetWindow(topmost, GW_HWNDNEXT), later);
    SetWindowPos(normal, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_NE(GetWindowLong(normal, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetTopWindow(desktop), normal);
    SetWindowPos(normal, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetWindowLong(normal, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetTopWindow(desktop), topmost);
}

TEST_F(Positions, OwnedWindowsRiseWithTheirOwner)
{
    HWND owner = Create(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100);
    HWND owned = Create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, owner);
    HWND other = Create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    HWND desktop = GetDesktopWindow();
    ASSERT_EQ(GetTopWindow(desktop), other);
    SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetTopWindow(desktop), owned);
    EXPECT_EQ(GetWindow(owned, GW_HWNDNEXT), owner);
    SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    EXPECT_EQ(GetTopWindow(desktop), owner);
}

TEST_F(Positions, ShowAndHideSendShowWindowAndChangeVisibility)
{
    HWND hwnd = Create(WS_POPUP, 0, 0, 10, 10);
    MessageLog::Get().Clear();
    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOWNA));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(MessageLog::Get().Messages(hwnd, {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}),
              (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
    EXPECT_NE(GetActiveWindow(), hwnd);   // shown without activation
    MessageLog::Get().Clear();
    EXPECT_TRUE(ShowWindow(hwnd, SW_SHOW));   // already visible: no WM_SHOWWINDOW
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_SHOWWINDOW), 0u);
    EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(ShowWindow(hwnd, SW_HIDE));
}

TEST_F(Positions, ChildVisibilityDependsOnItsAncestors)
{
    HWND top = Create(WS_POPUP, 0, 0, 100, 100);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top);
    EXPECT_NE(GetWindowLong(child, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_FALSE(IsWindowVisible(child));
    ShowWindow(top, SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(child));
}

TEST_F(Positions, MaximiseAndRestoreRememberTheNormalRectangle)
{
    HWND hwnd = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 200, 150);
    MessageLog::Get().Clear();
    ShowWindow(hwnd, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(hwnd));
    RECT r;
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right - r.left, 800);
    bool sawMaximized = false;
    for (auto& e : MessageLog::Get().entries)
        if (e.hwnd == hwnd && e.message == WM_SIZE && e.wParam == SIZE_MAXIMIZED)
            sawMaximized = true;
    EXPECT_TRUE(sawMaximized);
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_FALSE(IsZoomed(hwnd));
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right, 250);
    ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(hwnd));
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(hwnd, &wp);
    EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
    EXPECT_EQ(wp.rcNormalPosition.left, 50);
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_FALSE(IsIconic(hwnd));
}

TEST_F(Positions, ThickFrameWindowsAreKeptWithinTheirTrackingSizes)
{
    HWND hwnd = Create(WS_OVERLAPPEDWINDOW, 0, 0, 300, 300);
    MessageLog::Get().handlers[WM_GETMINMAXINFO] = [](HWND, WPARAM, LPARAM lParam, bool&) -> LRESULT {
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
        mmi->ptMinTrackSize = POINT{150, 100};
        return 0;
    };
    SetWindowPos(hwnd, nullptr, 0, 0, 20, 20, SWP_NOZORDER | SWP_NOMOVE);
    RECT r;
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, 150);
    EXPECT_EQ(r.bottom - r.top, 100);
}

TEST_F(Positions, DeferredPositionsAreAppliedTogether)
{
    HWND parent = Create(WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    HWND a = Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent);
    HWND b = Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent);
    HDWP dwp = BeginDeferWindowPos(2);
    ASSERT_TRUE(dwp);
    dwp = DeferWindowPos(dwp, a, nullptr, 5, 5, 20, 20, SWP_NOZORDER);
    dwp = DeferWindowPos(dwp, b, nullptr, 50, 50, 30, 30, SWP_NOZORDER);
    dwp = DeferWindowPos(dwp, a, nullptr, 7, 8, 0, 0, SWP_NOZORDER | SWP_NOSIZE);   // merges
    ASSERT_TRUE(dwp);
    RECT r;
    GetWindowRect(a, &r);
    EXPECT_EQ(r.left, 0);   // nothing moves before the end
    MessageLog::Get().Clear();
    EXPECT_TRUE(EndDeferWindowPos(dwp));
    GetWindowRect(a, &r);
    EXPECT_EQ(r.left, 7);
    EXPECT_EQ(r.top, 8);
    EXPECT_EQ(r.right - r.left, 20);
    GetWindowRect(b, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(MessageLog::Get().Count(a, WM_WINDOWPOSCHANGED), 1u);
    EXPECT_FALSE(EndDeferWindowPos(dwp));   // the handle is gone
}

TEST_F(Positions, FrameStylesShapeTheClientArea)
{
    HWND plain = Create(WS_POPUP, 0, 0, 100, 80);
    RECT r;
    GetClientRect(plain, &r);
    EXPECT_EQ(r.right, 100);
    EXPECT_EQ(r.bottom, 80);
    HWND edged = Create(WS_POPUP | WS_BORDER | WS_VSCROLL, 0, 0, 100, 80, nullptr, WS_EX_CLIENTEDGE);
    GetClientRect(edged, &r);
    EXPECT_EQ(r.right, 100 - 2 - 4 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(r.bottom, 80 - 2 - 4);
    POINT pt{0, 0};
    ClientToScreen(edged, &pt);
    EXPECT_EQ(pt.x, 3);
    EXPECT_EQ(pt.y, 3);
    RECT adjust{0, 0, 100, 50};
    AdjustWindowRectEx(&adjust, WS_OVERLAPPEDWINDOW, FALSE, 0);
    EXPECT_EQ(adjust.left, -GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(adjust.top, -GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYCAPTION));
    // Adding a style takes effect with SWP_FRAMECHANGED, which asks WM_NCCALCSIZE again.
    SetWindowLong(plain, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_BORDER));
    GetClientRect(plain, &r);
    EXPECT_EQ(r.right, 100);
    MessageLog::Get().Clear();
    SetWindowPos(plain, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_EQ(MessageLog::Get().Count(plain, WM_NCCALCSIZE), 1u);
    GetClientRect(plain, &r);
    EXPECT_EQ(r.right, 98);
    EXPECT_EQ(MessageLog::Get().Count(plain, WM_SIZE), 1u);   // the client area shrank
}

TEST_F(Positions, PointsMapBetweenWindows)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 100, 50, 300, 300);
    HWND child = Create(WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 20, 100, 100, top);
    POINT pt{0, 0};
    ClientToScreen(child, &pt);
    EXPECT_EQ(pt.x, 111);
    EXPECT_EQ(pt.y, 71);
    ScreenToClient(top, &pt);
    EXPECT_EQ(pt.x, 11);
    EXPECT_EQ(pt.y, 21);
    POINT pts[2] = {{0, 0}, {5, 5}};
    int delta = MapWindowPoints(child, top, pts, 2);
    EXPECT_EQ(pts[1].x, 16);
    EXPECT_EQ(pts[1].y, 26);
    EXPECT_EQ(static_cast<short>(LOWORD(delta)), 11);
    EXPECT_EQ(static_cast<short>(HIWORD(delta)), 21);
}

TEST_F(Positions, SetParentKeepsTheScreenPosition)
{
    HWND a = Create(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
    HWND b = Create(WS_POPUP | WS_VISIBLE, 300, 300, 200, 200);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, a);
    EXPECT_EQ(SetParent(child, b), a);
    EXPECT_EQ(GetParent(child), b);
    EXPECT_TRUE(IsChild(b, child));
    EXPECT_FALSE(IsChild(a, child));
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 110);
    EXPECT_EQ(r.top, 110);
    EXPECT_EQ(SetParent(b, child), nullptr);   // no cycles
    // Only windows on the desktop have native windows of their own.
    HWND popup = Create(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
    ASSERT_NE(backend->Find(popup), nullptr);
    SetParent(popup, HWND_MESSAGE);
    EXPECT_EQ(backend->Find(popup), nullptr);
    SetParent(popup, nullptr);
    EXPECT_NE(backend->Find(popup), nullptr);
    EXPECT_EQ(GetAncestor(popup, GA_PARENT), GetDesktopWindow());
}

BOOL CALLBACK CountWindows(HWND, LPARAM lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

TEST_F(Positions, EnumerationAndSearch)
{
    HWND top = Create(WS_POPUP, 0, 0, 100, 100);
    HWND child = Create(WS_CHILD, 0, 0, 10, 10, top);
    Create(WS_CHILD, 0, 0, 10, 10, child);
    int count = 0;
    EnumChildWindows(top, CountWindows, reinterpret_cast<LPARAM>(&count));
    EXPECT_EQ(count, 2);
    SetWindowText(top, "Find me");
    EXPECT_EQ(FindWindow(kRecordingClass, "Find me"), top);
    EXPECT_EQ(FindWindow(nullptr, "Find me"), top);
    EXPECT_EQ(FindWindowEx(top, nullptr, kRecordingClass, nullptr), child);
    EXPECT_EQ(GetAncestor(child, GA_ROOT), top);
}

TEST_F(Positions, EnableWindowSendsEnableAndDropsFocus)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top);
    SetFocus(child);
    MessageLog::Get().Clear();
    EXPECT_FALSE(EnableWindow(child, FALSE));
    EXPECT_FALSE(IsWindowEnabled(child));
    EXPECT_NE(GetFocus(), child);
    EXPECT_EQ(MessageLog::Get().Count(child, WM_ENABLE), 1u);
    EXPECT_EQ(MessageLog::Get().Count(child, WM_KILLFOCUS), 1u);
    EXPECT_TRUE(EnableWindow(child, TRUE));
    EXPECT_TRUE(IsWindowEnabled(child));
    MessageLog::Get().Clear();
    EXPECT_FALSE(EnableWindow(child, TRUE));   // no change, no message
    EXPECT_EQ(MessageLog::Get().Count(child, WM_ENABLE), 0u);
}

} // namespace
