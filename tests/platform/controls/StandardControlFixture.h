// A headless fixture for the standard controls: a dialog-like parent that records what its
// controls tell it, the fixed-metric test font, and typing helpers.
#pragma once

#include "platform/controls/StandardControls.h"
#include "platform/win/HeadlessFixture.h"
#include "platform/win/Keyboard.h"

#include <cairo.h>

#include <string>

class StandardControlTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        parent = Make(WS_POPUP | WS_VISIBLE, 50, 50, 400, 300);
        backend->ProcessMessages();
        backend->FocusIn(parent);
        backend->ProcessMessages();
    }

    HWND Control(const char* cls, DWORD style, int x, int y, int w, int h, const char* text = "", int id = 10)
    {
        HWND hwnd = CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                   reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
        created.push_back(hwnd);
        backend->ProcessMessages();
        return hwnd;
    }

    // The notification codes the parent got from a control, in order.
    std::vector<UINT> Notifications(HWND control)
    {
        std::vector<UINT> codes;
        for (auto& m : Of(parent, WM_COMMAND))
            if (reinterpret_cast<HWND>(m.lParam) == control)
                codes.push_back(HIWORD(m.wParam));
        return codes;
    }

    // Types text as key presses (ASCII letters and digits by their keys, anything else through
    // an otherwise unused key).
    void Type(const std::string& text)
    {
        for (size_t i = 0; i < text.size();) {
            size_t n = 1;
            auto c = static_cast<unsigned char>(text[i]);
            if (c >= 0xC0)
                n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            UINT vk = (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ? c : VK_OEM_7;
            backend->Key(vk, text.substr(i, n));
            i += n;
        }
        backend->ProcessMessages();
    }
    void Press(UINT vk)
    {
        backend->Key(vk);
        backend->ProcessMessages();
    }
    void PressWith(UINT modifier, UINT vk, const std::string& text = std::string())
    {
        backend->KeyDown(modifier);
        backend->Key(vk, text);
        backend->KeyUp(modifier);
        backend->ProcessMessages();
    }
    // A client point of a control in screen coordinates.
    POINT Screen(HWND hwnd, int x, int y)
    {
        POINT pt{x, y};
        ClientToScreen(hwnd, &pt);
        return pt;
    }
    // The colour (0x00RRGGBB) of a control's client pixel as the top-level window shows it.
    uint32_t PixelAt(HWND control, int x, int y)
    {
        UpdateWindow(parent);
        POINT pt{x, y};
        MapWindowPoints(control, parent, &pt, 1);
        cairo_surface_t* shot = backend->Capture(parent);
        if (!shot)
            return 0xFFFFFFFF;
        cairo_surface_flush(shot);
        auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(shot) + pt.y * cairo_image_surface_get_stride(shot));
        uint32_t pixel = row[pt.x] & 0xFFFFFF;
        cairo_surface_destroy(shot);
        return pixel;
    }
    static uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
    static uint32_t SysRgb(int index) { return Rgb(GetSysColor(index)); }

    std::string Text(HWND hwnd)
    {
        std::string text(static_cast<size_t>(GetWindowTextLength(hwnd)) + 1, '\0');
        text.resize(static_cast<size_t>(GetWindowText(hwnd, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    HWND parent = nullptr;
};
