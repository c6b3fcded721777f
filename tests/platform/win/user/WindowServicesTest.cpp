// The window services are there for any backend: a process that never installs one of the
// backends that wire them in still gets the full input path and the non-client behaviour.
#include "platform/win/detail/NonClient.h"
#include "platform/win/UserApi.h"
#include "platform/win/WindowBackend.h"
#include "platform/win/detail/WindowManager.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

int g_doubleClicks = 0;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDBLCLK)
        ++g_doubleClicks;
    return DefWindowProc(hwnd, message, wParam, lParam);
}

void Press(BackendEvent::Kind kind, POINT pt)
{
    BackendEvent event;
    event.kind = kind;
    event.pt = pt;
    event.button = 1;
    event.time = 5000;   // both clicks at once: well within the double-click time
    PostBackendEvent(std::move(event));
}

// Runs in a fresh process, where nothing but the window manager's first use can have wired
// the services in.
int UseWindowsOnTheDefaultBackend()
{
    if (!dynamic_cast<NonClientPainter*>(WindowManager::Get().PaintHooks()))
        return 2;
    WNDCLASS wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = "ServicesProbe";
    if (!RegisterClass(&wc))
        return 3;
    HWND hwnd = CreateWindowEx(0, "ServicesProbe", "", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr,
                               nullptr, nullptr);
    if (!hwnd)
        return 4;
    // Double-clicks come from the full input path only; the bare translation knows none.
    for (int i = 0; i < 2; ++i) {
        Press(BackendEvent::Kind::ButtonDown, POINT{40, 40});
        Press(BackendEvent::Kind::ButtonUp, POINT{40, 40});
    }
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(&msg);
    DestroyWindow(hwnd);
    return g_doubleClicks == 1 ? 0 : 5;
}

TEST(WindowServicesTest, TheWindowManagerWiresThemInOnFirstUse)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(UseWindowsOnTheDefaultBackend()), ::testing::ExitedWithCode(0), "");
}

} // namespace
