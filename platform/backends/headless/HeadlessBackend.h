// The headless backend: top-level windows on memory surfaces, input injected by tests, a virtual
// clock behind the tick count and the timers, PNG snapshots, the fixed-metric test font, and the
// same event sequences a display would produce (a shown window is exposed; focus given by the
// display activates its window).
#pragma once

#include "platform/win/detail/MemoryBackend.h"

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>

class HeadlessBackend : public MemoryBackend {
public:
    explicit HeadlessBackend(SIZE screen = SIZE{1024, 768});
    ~HeadlessBackend() override;
    HeadlessBackend(const HeadlessBackend&) = delete;
    HeadlessBackend& operator=(const HeadlessBackend&) = delete;

    // Makes a headless backend the window backend of the process (with the input, non-client
    // and caret services) and returns it. The backend lives until another one is installed.
    static HeadlessBackend& Install(SIZE screen = SIZE{1024, 768});

    // IWindowBackend
    NativeWindowId CreateNativeWindow(HWND hwnd, const RECT& screenRect, NativeWindowKind kind) override;
    void ShowNativeWindow(NativeWindowId id, NativeVisibility visibility) override;
    void DestroyNativeWindow(NativeWindowId id) override;
    void FocusNativeWindow(NativeWindowId id) override;
    void SetCursor(HCURSOR cursor) override { m_cursor = cursor; }
    void PumpEvents(DWORD timeoutMs) override;

    // ---- The virtual clock ----
    // The clock's milliseconds (what GetTickCount answers). Callable from any thread.
    ULONGLONG Now() const { return m_now.load(); }
    // Moves the clock forward, handling the messages of the calling thread at every timer that
    // falls due on the way, so that repeating timers fire once per period.
    void Advance(DWORD ms);
    // Moves the clock without handling anything. Callable from any thread.
    void AdvanceClock(DWORD ms) { m_now += ms; }

    // ---- Injected input (screen coordinates) ----
    // Each call queues the event a display would report; the messages follow when the owning
    // thread next looks at its queue (ProcessMessages, a modal loop, GetMessage).
    void MouseMove(POINT pt);
    void MouseDown(int button, POINT pt);   // 1 left, 2 middle, 3 right
    void MouseUp(int button, POINT pt);
    void Click(int button, POINT pt);
    // The wheel turned by delta (multiples of WHEEL_DELTA): away from the user, or to the right.
    enum class WheelAxis { Vertical, Horizontal };
    void Wheel(int delta, POINT pt, WheelAxis axis = WheelAxis::Vertical);
    // The pointer left every window of the program.
    void PointerLeft();
    // A key press with the text it types (UTF-8; empty for keys that type nothing). Pressing a
    // key that is already down is an auto-repeat. Shift, Control and Alt (VK_SHIFT, VK_CONTROL,
    // VK_MENU) held down change the modifiers of later events.
    void KeyDown(UINT vk, const std::string& text = std::string());
    void KeyUp(UINT vk);
    // Press and release, with the text.
    void Key(UINT vk, const std::string& text = std::string());
    // The display gives the keyboard focus to a top-level window, or takes it away.
    void FocusIn(HWND hwnd);
    void FocusOut(HWND hwnd);
    // The display asks a window to close, or moved it.
    void Close(HWND hwnd);
    void Configure(HWND hwnd, const RECT& screenRect);

    // Runs an action when the owning thread would wait for input (inside GetMessage or a modal
    // loop): one action per wait, in order. This is how a test drives a loop that does not
    // return until it ends (dragging, scroll-bar tracking).
    void WhenIdle(std::function<void()> action);
    // Dispatches every message of the calling thread that is ready now (with TranslateMessage).
    // Returns the number dispatched. Stops at WM_QUIT, which is posted again.
    int ProcessMessages();

    // ---- Results ----
    // A copy of a window's pixels (the whole window area), or null. The caller destroys it.
    cairo_surface_t* Capture(HWND hwnd);
    // Writes a window's pixels as a PNG file; false when it cannot.
    bool WritePng(HWND hwnd, const std::string& path);
    HCURSOR CurrentCursor() const { return m_cursor; }

private:
    UINT Modifiers() const;
    void PostInput(BackendEvent event);

    std::atomic<ULONGLONG> m_now{1000000};
    std::deque<std::function<void()>> m_idle;
    std::set<UINT> m_keysDown;
    UINT m_buttons = 0;
    NativeWindowId m_focused = 0;
    std::set<NativeWindowId> m_shown;
    std::map<NativeWindowId, HWND> m_hwnds;
    HCURSOR m_cursor = nullptr;
};
