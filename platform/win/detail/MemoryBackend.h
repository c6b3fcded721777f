// The smallest backend: native windows are memory surfaces and nothing reaches a display. It
// records what the window manager asked of it, for tests.
#pragma once

#include "platform/win/WindowBackend.h"

#include <map>
#include <vector>

class MemoryBackend : public IWindowBackend {
public:
    explicit MemoryBackend(SIZE screen = SIZE{1024, 768});
    ~MemoryBackend() override;

    NativeWindowId CreateNativeWindow(HWND hwnd, const RECT& screenRect, NativeWindowKind kind) override;
    void DestroyNativeWindow(NativeWindowId id) override;
    cairo_surface_t* GetSurface(NativeWindowId id) override;
    void ShowNativeWindow(NativeWindowId id, NativeVisibility visibility) override;
    void MoveNativeWindow(NativeWindowId id, const RECT& screenRect) override;
    void Present(NativeWindowId id, const RECT& damage) override;
    void SetNativeTitle(NativeWindowId id, const std::string& title) override;
    SIZE ScreenSize() override { return m_screen; }
    bool GetClipboardText(std::string& text) override;
    void SetClipboardText(const std::string& text) override;
    void Beep(UINT type) override { m_beeps.push_back(type); }

    struct Native {
        HWND hwnd = nullptr;
        RECT rect{0, 0, 0, 0};
        NativeWindowKind kind = NativeWindowKind::Frame;
        bool shown = false;
        cairo_surface_t* surface = nullptr;
        std::vector<RECT> presented;
        std::string title;
    };
    // The native window of a top-level window, or null.
    const Native* Find(HWND hwnd) const;
    size_t Count() const { return m_windows.size(); }
    const std::vector<UINT>& Beeps() const { return m_beeps; }

private:
    SIZE m_screen;
    NativeWindowId m_next = 1;
    std::map<NativeWindowId, Native> m_windows;
    std::string m_clipboard;
    bool m_hasClipboard = false;
    std::vector<UINT> m_beeps;
};
