// An MDI frame with two document windows on the X11 backend under Xvfb: Ctrl+F6 typed by
// another X client cycles the active child, and the screen then shows, pixel for pixel, what
// the headless backend paints for the same frame, children and activation, cascaded and with
// the active child maximised.
#include "platform/controls/MdiClient.h"
#include "platform/controls/StandardControls.h"

#include <cstdio>
#include <cstdlib>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::Screenshot;
using screen_capture::PixelAt;

namespace {

HWND& MdiClientOf()
{
    static HWND client = nullptr;
    return client;
}

LRESULT CALLBACK X11FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        CLIENTCREATESTRUCT ccs{GetSubMenu(GetMenu(hwnd), 1), 0xFF00};
        MdiClientOf() = CreateWindowEx(WS_EX_CLIENTEDGE, WC_MDICLIENT, nullptr,
                                       WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 0, 0, hwnd, nullptr, nullptr, &ccs);
        return 0;
    }
    return DefFrameProc(hwnd, MdiClientOf(), message, wParam, lParam);
}

LRESULT CALLBACK DocumentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        char title[64] = {};
        GetWindowText(hwnd, title, sizeof title);
        const std::string line = std::string("Pages of ") + title;
        SetBkMode(dc, TRANSPARENT);
        TextOut(dc, 6, 6, line.c_str(), static_cast<int>(line.size()));
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefMDIChildProc(hwnd, message, wParam, lParam);
}

// The whole program: a frame with File and Window menus and two documents, cascaded.
HWND MakeProgram(HWND& first, HWND& second)
{
    static bool registered = false;
    if (!registered) {
        registered = true;
        WNDCLASS wc{};
        wc.lpfnWndProc = X11FrameProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
        wc.lpszClassName = "X11MdiFrame";
        RegisterClass(&wc);
        wc.lpfnWndProc = DocumentProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
        wc.lpszClassName = "X11MdiDocument";
        RegisterClass(&wc);
    }
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenu(file, MF_STRING, 100, "&Open...");
    AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    HMENU window = CreatePopupMenu();
    AppendMenu(window, MF_STRING, 200, "&Cascade");
    AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "&Window");
    HWND frame = CreateWindowEx(0, "X11MdiFrame", "Site", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 460, 320, nullptr,
                                bar, nullptr, nullptr);
    auto document = [](const char* title) {
        MDICREATESTRUCT mcs{"X11MdiDocument", title, nullptr, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, WS_VISIBLE, 0};
        return reinterpret_cast<HWND>(SendMessage(MdiClientOf(), WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    };
    first = document("index.html");
    second = document("about.html");
    SendMessage(MdiClientOf(), WM_MDICASCADE, 0, 0);
    return frame;
}

HWND ActiveChild()
{
    return reinterpret_cast<HWND>(SendMessage(MdiClientOf(), WM_MDIGETACTIVE, 0, 0));
}

class X11MdiTest : public X11Test {
protected:
    // Dispatches as an MDI program's loop does, until the condition holds or the time passes.
    static bool PumpMdiUntil(const std::function<bool()>& done, int ms = 60000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (TranslateMDISysAccel(MdiClientOf(), &msg))
                    continue;
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
            if (done())
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            GetWindowBackend().PumpEvents(5);
        }
    }
};

} // namespace

TEST_F(X11MdiTest, CyclesTwoDocumentsWithCtrlF6AndPaintsAsTheHeadlessBackendDoes)
{
    RegisterStandardControls();
    // Kept screenshots are for people to read: real fonts instead of the test font's blocks.
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    HWND first = nullptr, second = nullptr;
    HWND frame = MakeProgram(first, second);
    ASSERT_TRUE(frame && first && second);
    created.push_back(frame);
    ASSERT_TRUE(PumpMdiUntil([&] { return GetActiveWindow() == frame && GetFocus() == second; }));
    SendCtrlKey(frame, XK_F6);
    ASSERT_TRUE(PumpMdiUntil([&] { return ActiveChild() == first; }));
    EXPECT_EQ(GetFocus(), first);
    EXPECT_EQ(GetWindow(MdiClientOf(), GW_CHILD), first);

    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    // Two states to look at: cascaded, and the first document maximised with its system menu
    // and buttons in the frame's bar and its name in the frame's title.
    auto shoot = [&](const char* name) {
        if (!SettleWith(PumpMdiUntil))
            ADD_FAILURE() << "the windows never settled for " << name;
        cairo_surface_t* shot = Screenshot(server->DisplayName());
        if (shot && keep)
            cairo_surface_write_to_png(shot, (std::string(keep) + "/" + name + "-x11.png").c_str());
        return shot;
    };
    cairo_surface_t* cascaded = shoot("mdi");
    ASSERT_NE(cascaded, nullptr);
    SendMessage(MdiClientOf(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(first), 0);
    cairo_surface_t* maximised = shoot("mdi-maximised");
    ASSERT_NE(maximised, nullptr);
    RECT frameRect;
    GetWindowRect(frame, &frameRect);
    DestroyWindow(frame);

    // The same program and key on the headless backend.
    HeadlessBackend& headless = HeadlessBackend::Install(SIZE{server->Width(), server->Height()});
    backend = nullptr;
    if (keep)
        SetTestFontMode(false);
    HWND twin = MakeProgram(first, second);
    ASSERT_NE(twin, nullptr);
    headless.ProcessMessages();
    headless.KeyDown(VK_CONTROL);
    headless.Key(VK_F6);
    headless.KeyUp(VK_CONTROL);
    ASSERT_TRUE(PumpMdiUntil([&] { return ActiveChild() == first; }));
    auto compare = [&](cairo_surface_t* shot, const char* name) {
        ASSERT_TRUE(PumpMdiUntil(NothingToPaint));
        cairo_surface_t* expected = headless.Capture(twin);
        ASSERT_NE(expected, nullptr);
        if (keep)
            cairo_surface_write_to_png(expected, (std::string(keep) + "/" + name + "-headless.png").c_str());
        int mismatches = 0, firstX = -1, firstY = -1;
        for (int y = 0; y < frameRect.bottom - frameRect.top; ++y)
            for (int x = 0; x < frameRect.right - frameRect.left; ++x)
                if (PixelAt(expected, x, y) != PixelAt(shot, frameRect.left + x, frameRect.top + y) && !mismatches++) {
                    firstX = x;
                    firstY = y;
                }
        EXPECT_EQ(mismatches, 0) << name << ": first at (" << firstX << ", " << firstY << ")";
        cairo_surface_destroy(expected);
    };
    compare(cascaded, "mdi");
    SendMessage(MdiClientOf(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(first), 0);
    compare(maximised, "mdi-maximised");
    DestroyWindow(twin);
    cairo_surface_destroy(cascaded);
    cairo_surface_destroy(maximised);
}
