// A fixture for the control and dialog tests on the headless backend: the standard controls
// registered, the fixed-metric test font, a parent window that records what its controls tell it.
#pragma once

#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

struct ParentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        backend = &HeadlessBackend::Install();
        SetTestFontMode(true);
        RegisterStandardControls();
        Received().clear();
        OnMessage() = nullptr;
        static bool registered = false;
        if (!registered) {
            registered = true;
            WNDCLASS wc{};
            wc.lpfnWndProc = ParentProc;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
            wc.lpszClassName = "ControlsTestParent";
            RegisterClass(&wc);
        }
        parent = CreateWindowEx(0, "ControlsTestParent", "Parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 300,
                                nullptr, nullptr, nullptr, nullptr);
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        // A test's handler may refer to its own locals, gone by now.
        OnMessage() = nullptr;
        if (IsWindow(parent))
            DestroyWindow(parent);
        backend->ProcessMessages();
        ReleaseCapture();
        OnMessage() = nullptr;
        SetWindowBackend(nullptr);
        SetTestFontMode(false);
    }

    // What the parent received, in order (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR…).
    static std::vector<ParentMessage>& Received()
    {
        static std::vector<ParentMessage> received;
        return received;
    }
    using Handler = std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)>;
    static Handler& OnMessage()
    {
        static Handler handler;
        return handler;
    }
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COMMAND || message == WM_NOTIFY || message == WM_DRAWITEM ||
            (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_HSCROLL ||
            message == WM_VSCROLL)
            Received().push_back(ParentMessage{message, wParam, lParam});
        LRESULT result = 0;
        if (OnMessage() && OnMessage()(message, wParam, lParam, result))
            return result;
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    // The notification codes of WM_COMMAND from one control id, in order.
    static std::vector<int> Commands(int id)
    {
        std::vector<int> codes;
        for (const auto& m : Received())
            if (m.message == WM_COMMAND && LOWORD(m.wParam) == id)
                codes.push_back(HIWORD(m.wParam));
        return codes;
    }

    HWND Child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id)
    {
        return CreateWindowEx(0, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                              reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
    }
    // A point of a window's client area in screen coordinates.
    static POINT At(HWND hwnd, int x, int y)
    {
        POINT pt{x, y};
        ClientToScreen(hwnd, &pt);
        return pt;
    }
    // The pixel (0x00RRGGBB) at a client point of a window, from its top-level window's surface.
    uint32_t Pixel(HWND hwnd, int x, int y)
    {
        HWND top = GetAncestor(hwnd, GA_ROOT);
        POINT pt = At(hwnd, x, y);
        RECT frame;
        GetWindowRect(top, &frame);
        cairo_surface_t* s = backend->Capture(top);
        if (!s)
            return 0xFFFFFFFF;
        cairo_surface_flush(s);
        const int stride = cairo_image_surface_get_stride(s);
        const auto* row = cairo_image_surface_get_data(s) + static_cast<size_t>(pt.y - frame.top) * stride;
        const uint32_t value = reinterpret_cast<const uint32_t*>(row)[pt.x - frame.left] & 0xFFFFFF;
        cairo_surface_destroy(s);
        return value;
    }

    // A colour as Pixel reports it (0x00RRGGBB).
    static uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

    HeadlessBackend* backend = nullptr;
    HWND parent = nullptr;
};
