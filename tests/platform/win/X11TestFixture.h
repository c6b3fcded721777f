// A fixture on the X11 backend over the test program's private Xvfb server, with a recording
// window class and a second display connection that plays another program.
#pragma once

#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/backends/x11/X11Backend.h"
#include "platform/win/detail/CursorShape.h"
#include "platform/win/Gdi.h"
#include "platform/win/detail/TextLayout.h"
#include "platform/win/UserApi.h"
#include "platform/core/ThreadApi.h"
#include "tests/platform/win/XvfbServer.h"
#include "tests/support/RequiredTools.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

// Xlib last: its macros (FocusIn, Expose, None…) would break the headers above. Files that
// use this fixture include it after everything else.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

class X11Test : public ::testing::Test {
protected:
    struct Message {
        HWND hwnd;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        DWORD time;   // GetMessageTime when it arrived
    };

    void SetUp() override
    {
        server = TestServer();
        VOSTREL_REQUIRE(TestServerMissing());
        VOSTREL_REQUIRE(required_tools::NotOnPath(NeededPrograms()));
        std::string error;
        backend = X11Backend::Install(server->DisplayName().c_str(), error);
        ASSERT_NE(backend, nullptr) << error;
        SetTestFontMode(true);
        Log().clear();
        Paint() = nullptr;
        static bool registered = false;
        if (!registered) {
            registered = true;
            WNDCLASS wc{};
            wc.lpfnWndProc = Proc;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.lpszClassName = "X11Recorder";
            RegisterClass(&wc);
        }
        other = XOpenDisplay(server->DisplayName().c_str());
        ASSERT_NE(other, nullptr);
        Current() = this;
    }

    void TearDown() override
    {
        Current() = nullptr;
        for (HWND hwnd : created)
            if (IsWindow(hwnd))
                DestroyWindow(hwnd);
        created.clear();
        if (other) {
            LiftHeldKeys();
            XCloseDisplay(other);
        }
        other = nullptr;
        Paint() = nullptr;
        if (backend) {
            SetWindowBackend(nullptr);
            SetTestFontMode(false);
        }
        backend = nullptr;
    }

    // A key that a helper pressed and never released (one ended half way through its key) stays
    // down on the display, and the next test's press of it would be taken for a repeat and lost:
    // it is lifted.
    void LiftHeldKeys()
    {
        char keys[32] = {};
        XQueryKeymap(other, keys);
        std::string names;
        for (int code = 8; code < 256; ++code)
            if (keys[code / 8] & (1 << (code % 8)))
                if (const char* name = XKeysymToString(XkbKeycodeToKeysym(other, static_cast<KeyCode>(code), 0, 0)))
                    names += std::string(" ") + name;
        if (names.empty())
            return;
        const std::string command = "DISPLAY=" + server->DisplayName() + " timeout 60 xdotool keyup" + names + " >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << "the keys" << names << " stayed down";
    }

    // The display the fixture's tests run on: the test program's shared server, unless the
    // fixture keeps one of its own (one run by a window manager); and what it lacks, "" for
    // nothing.
    virtual XvfbServer* TestServer() { return XvfbServer::Shared(); }
    virtual std::string TestServerMissing() { return XvfbServer::Missing(); }
    // Whether the fixture's tests act as the user through xdotool.
    virtual bool UsesXdotool() const { return false; }
    // Whether they look at the screen (taken with xwd and convert).
    virtual bool TakesScreenshots() const { return false; }
    std::vector<const char*> NeededPrograms() const
    {
        std::vector<const char*> names;
        if (UsesXdotool())
            names.push_back("xdotool");
        if (TakesScreenshots())
            names.insert(names.end(), {"xwd", "convert"});
        return names;
    }
    // Whether the fixture was set up whole: its tests ran, and what it made is to be taken down.
    bool Ready() const { return backend != nullptr; }

    static std::vector<Message>& Log()
    {
        static std::vector<Message> log;
        return log;
    }
    // What a test draws in WM_PAINT (null: the class background only).
    using PaintFn = std::function<void(HWND, HDC)>;
    static PaintFn& Paint()
    {
        static PaintFn paint;
        return paint;
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        Log().push_back(Message{hwnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime())});
        if (message == WM_PAINT && Paint()) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            Paint()(hwnd, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    static std::vector<Message> Of(HWND hwnd, UINT message)
    {
        std::vector<Message> out;
        for (auto& m : Log())
            if (m.hwnd == hwnd && m.message == message)
                out.push_back(m);
        return out;
    }

    HWND Make(DWORD style, int x, int y, int w, int h, HWND parent = nullptr, DWORD exStyle = 0, const char* text = "")
    {
        static int nextId = 100;
        HWND hwnd = CreateWindowEx(exStyle, "X11Recorder", text, style, x, y, w, h, parent,
                                   (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<uintptr_t>(nextId++)) : nullptr,
                                   nullptr, nullptr);
        created.push_back(hwnd);
        return hwnd;
    }

    // A real click where the pointer is put (through the server's test extension, so that
    // grabs apply as they would to the user's hand); false when it could not be made.
    bool ClickOnScreen(int x, int y)
    {
        const std::string command = "DISPLAY=" + server->DisplayName() + " timeout 60 xdotool mousemove "
            + std::to_string(x) + " " + std::to_string(y) + " click 1 >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }
    bool PointerFree()
    {
        const int status = XGrabPointer(other, DefaultRootWindow(other), False, ButtonPressMask, GrabModeAsync,
                                        GrabModeAsync, None, None, CurrentTime);
        if (status == GrabSuccess)
            XUngrabPointer(other, CurrentTime);
        XSync(other, False);
        return status == GrabSuccess;
    }
    // A key event (KeyPress or KeyRelease) sent by another client to a top-level window of the
    // program, with the modifier state given.
    void SendKeyEvent(HWND top, KeySym keysym, unsigned int state, int type)
    {
        XEvent event{};
        XKeyEvent& k = event.xkey;
        k.display = other;
        k.window = backend->XWindowOf(top);
        k.root = DefaultRootWindow(other);
        k.time = ++keyTime;
        k.state = state;
        k.keycode = XKeysymToKeycode(other, keysym);
        k.same_screen = True;
        k.type = type;
        XSendEvent(other, k.window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
        XFlush(other);
    }
    // A key pressed and released.
    void SendKey(HWND top, KeySym keysym, unsigned int state = 0)
    {
        SendKeyEvent(top, keysym, state, KeyPress);
        SendKeyEvent(top, keysym, state, KeyRelease);
    }
    // Ctrl held down around a key, as a user types it.
    void SendCtrlKey(HWND top, KeySym keysym)
    {
        SendKeyEvent(top, XK_Control_L, 0, KeyPress);
        SendKey(top, keysym, ControlMask);
        SendKeyEvent(top, XK_Control_L, ControlMask, KeyRelease);
    }

    // Dispatches messages and pumps the display until the condition holds or the time passes.
    static bool PumpUntil(const std::function<bool()>& done, int ms = 60000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
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
    // Dispatches until no message waits, the display's answers to what was sent included: what
    // the windows posted (on their way out, say) has run. False when the queue never emptied.
    bool Drained(int ms = 60000)
    {
        return PumpUntil([this] {
            if (backend)
                backend->Sync();
            GetWindowBackend().PumpEvents(0);
            MSG msg;
            return !PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
        }, ms);
    }

    // Pumps until the screen shows what the program drew: every visible top-level window of this
    // thread is viewable on the server, no window waits to be painted, no message waits, and the
    // server has caught up with the program's requests and the exposures they caused, twice in
    // a row. False when that does not happen within the time (generous: the suite also runs
    // under the sanitizer on a loaded machine).
    bool Settle(int ms = 60000) { return SettleWith(PumpUntil, ms); }
    // The same with the test's own loop (one that offers messages to PreTranslateMessage first).
    template <class Pump>
    bool SettleWith(Pump&& pump, int ms = 60000)
    {
        int quiet = 0;
        return pump([&] {
            if (!SettledOnce()) {
                quiet = 0;
                return false;
            }
            backend->Sync();
            GetWindowBackend().PumpEvents(0);
            return ++quiet >= 2;
        }, ms);
    }

    // Pumps until the top-level window of hwnd has the keyboard focus on the server as well as
    // in the program (what a key typed by another client needs).
    bool WaitForFocus(HWND hwnd, int ms = 60000)
    {
        const HWND top = GetAncestor(hwnd, GA_ROOT);
        return PumpUntil([&] {
            if (GetFocus() == nullptr || GetAncestor(GetFocus(), GA_ROOT) != top)
                return false;
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(other, &focus, &revert);
            return focus == backend->XWindowOf(top);
        }, ms);
    }

    // Whether no visible window of this thread waits to be painted.
    static bool NothingToPaint()
    {
        bool settled = true;
        static const auto painted = [](HWND hwnd, LPARAM lParam) -> BOOL {
            bool& s = *reinterpret_cast<bool*>(lParam);
            if (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, nullptr, FALSE))
                s = false;
            return s;
        };
        EnumThreadWindows(GetCurrentThreadId(), [](HWND top, LPARAM lParam) -> BOOL {
            if (IsWindowVisible(top) && painted(top, lParam))
                EnumChildWindows(top, painted, lParam);
            return *reinterpret_cast<bool*>(lParam);
        }, reinterpret_cast<LPARAM>(&settled));
        return settled;
    }

public:
    // One look, for a timer inside a modal loop that cannot pump on its own (call it on each
    // tick until it says yes): whether the screen shows what the program drew now.
    bool ShowsNow()
    {
        if (!NothingToPaint() || !AllViewable())
            return false;
        backend->Sync();
        GetWindowBackend().PumpEvents(0);
        return NothingToPaint();
    }
    // The test that runs now, for such timers.
    static X11Test*& Current()
    {
        static X11Test* current = nullptr;
        return current;
    }

protected:

private:
    bool SettledOnce()
    {
        MSG msg;
        return !PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE) && NothingToPaint() && AllViewable();
    }
    // Whether every visible top-level window of this thread is viewable on the server.
    bool AllViewable()
    {
        struct State {
            X11Test* test;
            bool viewable;
        } state{this, true};
        EnumThreadWindows(GetCurrentThreadId(), [](HWND top, LPARAM lParam) -> BOOL {
            auto& s = *reinterpret_cast<State*>(lParam);
            if (!IsWindowVisible(top))
                return TRUE;
            XWindowAttributes attrs{};
            const unsigned long xid = s.test->backend->XWindowOf(top);
            if (xid == 0 || !XGetWindowAttributes(s.test->other, xid, &attrs) || attrs.map_state != IsViewable)
                s.viewable = false;
            return s.viewable;
        }, reinterpret_cast<LPARAM>(&state));
        return state.viewable;
    }

protected:
    XvfbServer* server = nullptr;
    X11Backend* backend = nullptr;
    Display* other = nullptr;   // another program on the same display
    Time keyTime = 1000;        // the server time of the last key sent
    std::vector<HWND> created;
};
