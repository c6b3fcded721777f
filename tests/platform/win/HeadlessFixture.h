// A test fixture on the headless backend, with a window class that records its messages.
#pragma once

#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/core/CRect.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

struct RecordedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        backend = &HeadlessBackend::Install();
        Log().clear();
        Handler() = nullptr;
        RegisterClasses();
    }
    void TearDown() override
    {
        // The test's handler may hold what the test body owned, gone by now: the windows'
        // last messages must not reach it.
        Handler() = nullptr;
        for (HWND hwnd : created)
            if (IsWindow(hwnd))
                DestroyWindow(hwnd);
        backend->ProcessMessages();
        ReleaseCapture();
        // Other suites in this program run on the real clock and the default backend.
        SetWindowBackend(nullptr);
        SetTestFontMode(false);
    }

    // Every message the recording class sees, in order.
    static std::vector<RecordedMessage>& Log()
    {
        static std::vector<RecordedMessage> log;
        return log;
    }
    // A test's own answer to a message (return true to use `result`).
    using HandlerFn = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
    static HandlerFn& Handler()
    {
        static HandlerFn handler;
        return handler;
    }
    static LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        Log().push_back(RecordedMessage{hwnd, message, wParam, lParam});
        LRESULT result = 0;
        if (Handler() && Handler()(hwnd, message, wParam, lParam, result))
            return result;
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    static void RegisterClasses()
    {
        static bool done = false;
        if (done)
            return;
        done = true;
        WNDCLASS wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
        wc.lpszClassName = "HeadlessRecorder";
        RegisterClass(&wc);
        wc.style = CS_DBLCLKS;
        wc.lpszClassName = "HeadlessRecorderDbl";
        RegisterClass(&wc);
    }

    HWND Make(DWORD style, int x, int y, int w, int h, HWND parent = nullptr, DWORD exStyle = 0,
              const char* cls = "HeadlessRecorder", const char* text = "")
    {
        HWND hwnd = CreateWindowEx(exStyle, cls, text, style, x, y, w, h, parent,
                                   (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<uintptr_t>(created.size() + 100))
                                                      : nullptr,
                                   nullptr, nullptr);
        created.push_back(hwnd);
        return hwnd;
    }

    // The messages of one kind a window got, in order.
    static std::vector<RecordedMessage> Of(HWND hwnd, UINT message)
    {
        std::vector<RecordedMessage> out;
        for (auto& m : Log())
            if (m.hwnd == hwnd && m.message == message)
                out.push_back(m);
        return out;
    }
    static int IndexOf(HWND hwnd, UINT message, int from = 0)
    {
        for (size_t i = static_cast<size_t>(from); i < Log().size(); ++i)
            if (Log()[i].hwnd == hwnd && Log()[i].message == message)
                return static_cast<int>(i);
        return -1;
    }

    // What of a window waits to be painted; empty when nothing does.
    static CRect UpdateRectOf(HWND hwnd)
    {
        CRect rect;
        if (!::GetUpdateRect(hwnd, &rect, FALSE))
            rect.SetRectEmpty();
        return rect;
    }
    // The same for a window object (anything with GetSafeHwnd).
    template <class Wnd>
    static CRect UpdateRectOf(Wnd& wnd)
    {
        return UpdateRectOf(wnd.GetSafeHwnd());
    }

    HeadlessBackend* backend = nullptr;
    std::vector<HWND> created;
};
