// The narrow boundary between the window manager and a display: native top-level windows with
// backing surfaces, presenting, cursors, the event pump, the screen, the clipboard and the bell.
// Every virtual has a default, so a backend implements only what it supports.
#pragma once

#include "platform/core/MessageQueue.h"
#include "platform/core/Types.h"

#include <memory>
#include <string>

typedef struct _cairo_surface cairo_surface_t;

// Opaque id of a backend's native window; 0 is none.
typedef uintptr_t NativeWindowId;

// What a native window is for: the X11 backend shows pop-ups (menus, tool tips, drop-downs)
// override-redirect, and frames as ordinary undecorated windows.
enum class NativeWindowKind { Frame, Popup, Tool };

enum class NativeVisibility { Hidden, Shown };

// An event a backend reports. Backends post these with PostBackendEvent (from any thread);
// the window manager handles them on the thread that owns the window, at the next look at the
// queue. Backends never call window objects directly.
struct BackendEvent {
    enum class Kind {
        MouseMove,     // pt (screen), modifiers
        ButtonDown,    // pt, button (1 left, 2 middle, 3 right, 4/5 extra), modifiers
        ButtonUp,
        Wheel,         // pt, delta (multiples of 120, positive away from the user), modifiers
        HWheel,        // pt, delta (multiples of 120, positive to the right), modifiers
        KeyDown,       // vk, scan, text (UTF-8 the key produces, may be empty), repeat, modifiers
        KeyUp,         // vk, scan
        Expose,        // rect (window coordinates): pixels to present again
        Configure,     // rect (screen): the native window moved or was resized by the display
        FocusIn,       // the display gave the window the keyboard focus
        FocusOut,
        Close,         // the display asks the window to close
        MouseLeave,    // the pointer left all of the program's windows
    };
    Kind kind = Kind::MouseMove;
    HWND hwnd = nullptr;       // the top-level window the event is for
    POINT pt{0, 0};
    int button = 0;
    int delta = 0;
    UINT vk = 0;
    UINT scan = 0;
    bool repeat = false;
    UINT modifiers = 0;        // MK_SHIFT, MK_CONTROL, MK_LBUTTON… plus kModAlt and the kMod…Lock bits
    RECT rect{0, 0, 0, 0};
    DWORD time = 0;            // 0: the tick count when handled
    std::string text;
    // FocusIn, FocusOut: where the change stands among the program's own requests to the
    // display, for the backend to tell one that a later request overtook (0: not told).
    unsigned long order = 0;
};
constexpr UINT kModAlt = 0x10000;
// The lock keys as the display had them before the event, for a display that tells them: each
// state bit counts only with its known bit.
constexpr UINT kModCapsLock = 0x20000;
constexpr UINT kModCapsLockKnown = 0x40000;
constexpr UINT kModNumLock = 0x80000;
constexpr UINT kModNumLockKnown = 0x100000;

class IWindowBackend : public IEventPump {
public:
    ~IWindowBackend() override = default;

    // Creates the native window of a top-level window at a screen rectangle, hidden. 0 fails.
    virtual NativeWindowId CreateNativeWindow(HWND hwnd, const RECT& screenRect, NativeWindowKind kind);
    virtual void DestroyNativeWindow(NativeWindowId id);
    // The backing surface of a native window: a cairo image surface (CAIRO_FORMAT_RGB24) of the
    // window's size, owned by the backend. It is replaced when the window is resized, so callers
    // ask again after MoveNativeWindow; the old contents are kept at the top left.
    virtual cairo_surface_t* GetSurface(NativeWindowId id);
    virtual void ShowNativeWindow(NativeWindowId id, NativeVisibility visibility);
    // Moves and resizes; also raises the window to the top when it is shown (z-order changes of
    // top-level windows go through here with the same rectangle).
    virtual void MoveNativeWindow(NativeWindowId id, const RECT& screenRect);
    // Shows the given rectangle (window coordinates) of the backing surface. The screen overlay
    // (WindowManager::ScreenOverlay: an RGB24 surface in screen coordinates, zero where nothing
    // is drawn, where GetDC(NULL) draws drag rectangles) is combined with what is shown by a
    // bitwise XOR of its pixels, so that drawing a rectangle twice leaves nothing behind.
    virtual void Present(NativeWindowId id, const RECT& damage);
    // Gives the native window the keyboard focus (activation).
    virtual void FocusNativeWindow(NativeWindowId id);
    // Whether a FocusIn or FocusOut the display reported happened before a focus request the
    // program made since: the focus is then where the program asked, and the report is stale.
    virtual bool FocusChangeOvertaken(const BackendEvent& event);
    // The text of a top-level window changed: the title the display shows follows at once.
    virtual void SetNativeTitle(NativeWindowId id, const std::string& title);
    // Shows a cursor (a handle from LoadCursor) over the program's windows.
    virtual void SetCursor(HCURSOR cursor);
    virtual SIZE ScreenSize();
    // The part of the screen the desktop leaves to windows (without panels); the whole screen
    // when the desktop says nothing.
    virtual RECT WorkArea();
    // The clipboard's text as UTF-8 (false when there is none) and replacing it.
    virtual bool GetClipboardText(std::string& text);
    virtual void SetClipboardText(const std::string& text);
    // Whether the clipboard still holds the text this process last gave it (no other program
    // has put its own there since): answered without fetching the text.
    virtual bool OwnsClipboard() const;
    virtual void Beep(UINT type);

    // IEventPump: the default waits for a Wake or the time-out and reports nothing.
    void PumpEvents(DWORD timeoutMs) override;
    void Wake() override;

private:
    std::mutex m_wakeMutex;
    std::condition_variable m_wakeCv;
    bool m_woken = false;
};

// Installs the backend (null: the in-memory default). Call before any top-level window exists.
void SetWindowBackend(std::unique_ptr<IWindowBackend> backend);
// The current backend; an in-memory one is created on first use when none was set.
IWindowBackend& GetWindowBackend();

// Queues an event for the window manager and wakes the owning thread. Callable from any thread.
void PostBackendEvent(BackendEvent event);
