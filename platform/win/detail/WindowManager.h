// The window manager's state: the window objects of the tree, the desktop, focus, activation
// and capture, the hooks, the device contexts handed out, and the queue client that generates
// paint messages and turns backend events into messages. Internal to the window layer and the
// parts built on it (input, non-client behaviour, scroll bars, backends).
#pragma once

#include "platform/core/MessageQueue.h"
#include "platform/core/WindowHandle.h"
#include "platform/win/detail/Region.h"
#include "platform/win/WinUser.h"
#include "platform/win/WindowBackend.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct WindowClassData;

// State another part of the layer keeps on a window (scroll bars, caret owner data…).
class WindowAttachment {
public:
    virtual ~WindowAttachment() = default;
};

class Window : public WindowObject {
public:
    Window();
    ~Window() override;

    // Calls the window procedure with the WH_CALLWNDPROC and WH_CALLWNDPROCRET hooks around it.
    LRESULT Deliver(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Destroy() override;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
    bool IsTopLevel() const;
    // Width and height of the window and client rectangles.
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
    // The client rectangle in client coordinates: (0, 0, width, height).
    RECT ClientArea() const;
    // The client rectangle's offset from the window's top-left corner.
    POINT ClientOffset() const { return POINT{client.left - rect.left, client.top - rect.top}; }

    std::shared_ptr<WindowClassData> cls;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    RECT rect{0, 0, 0, 0};     // window rectangle in the parent's client coordinates
    RECT client{0, 0, 0, 0};   // client rectangle, same coordinates
    HWND parent = nullptr;     // the desktop or the message root for top-level windows
    HWND owner = nullptr;
    std::vector<HWND> children;   // z-order, top first
    LONG_PTR id = 0;              // GWLP_ID (the menu handle of a top-level window)
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    std::vector<BYTE> extra;
    struct Prop {
        std::string name;   // empty for atom keys
        ATOM atom = 0;
        HANDLE data = nullptr;
    };
    std::vector<Prop> props;

    // Painting: the update region in client coordinates, whether the background is to be
    // erased, and whether the frame needs WM_NCPAINT.
    Region update;
    bool erase = false;
    bool ncPaint = false;
    bool internalPaint = false;
    bool redrawOff = false;   // WM_SETREDRAW FALSE
    // The caption state the last WM_NCACTIVATE asked for. A child with a caption (an MDI
    // child) has no activation of its own: its caption shows this.
    bool ncActive = false;

    // Top-level windows: the native window and its backing surface.
    NativeWindowId native = 0;
    cairo_surface_t* surface = nullptr;

    // Placement: the restored rectangle while minimised or maximised.
    RECT normalRect{0, 0, 0, 0};
    bool hasNormalRect = false;
    HWND lastActivePopup = nullptr;
    bool destroying = false;
    bool createdFully = false;   // WM_CREATE succeeded
    bool isDesktop = false;
    bool isMessageRoot = false;

    std::unique_ptr<WindowAttachment> scrollBars;   // the scroll-bar part owns this
    std::unique_ptr<WindowAttachment> nonClient;    // the non-client part owns this
};

// Whether a window stands above the tree's ordinary windows: none, the desktop or the message root.
inline bool IsRoot(const Window* w) { return !w || w->isDesktop || w->isMessageRoot; }

// Whether a window has painting of its client area or its frame to do.
inline bool NeedsPaint(const Window& w)
{
    return !w.update.IsEmpty() || w.internalPaint || w.ncPaint;
}

// Translation of backend input events into window messages: the input part of the layer
// (hit-testing, non-client messages, double-clicks, WM_SETCURSOR, WM_MOUSEACTIVATE), wired in
// with the other services when the window manager is first used.
class IInputTranslator {
public:
    virtual ~IInputTranslator() = default;
    virtual void Translate(const BackendEvent& event) = 0;
};

// Hooks around painting for the caret (hidden while a window paints) and the frame.
class IPaintHooks {
public:
    virtual ~IPaintHooks() = default;
    virtual void BeforePaint(HWND) {}
    virtual void AfterPaint(HWND) {}
    // Draws a window's non-client area (frame, caption, scroll bars) into its window DC when
    // DefWindowProc handles WM_NCPAINT.
    virtual void PaintNonClient(HWND hwnd, HDC windowDC) = 0;
};

class WindowManager : public IQueueClient {
public:
    static WindowManager& Get();

    // The window behind a handle, or null. Only the owning thread may dereference it.
    static Window* Find(HWND hwnd);
    // The window behind a handle owned by the calling thread, or null with the last error set.
    static Window* FindOwned(HWND hwnd);

    HWND Desktop();
    HWND MessageRoot();

    // Tree links. The tree lock guards children lists of every window (top-level windows of
    // several threads share the desktop's list).
    std::recursive_mutex& TreeMutex() { return m_treeMutex; }
    void Link(Window& window, Window& parent, HWND insertAfter);
    void Unlink(Window& window);
    std::vector<HWND> Children(HWND parent);

    // Geometry helpers.
    // Top-left of the window's client area in screen coordinates.
    POINT ClientOrigin(const Window& window);
    // Top-left of the window rectangle in screen coordinates.
    POINT WindowOrigin(const Window& window);
    // The top-level window that holds this window's pixels (itself for top-level windows).
    Window* SurfaceOwner(Window& window);
    // The window's client (or whole window) rectangle in its top-level window's coordinates.
    RECT RectInSurface(Window& window, bool windowArea);
    // The visible part of the window (client or whole) in its top-level window's coordinates,
    // less overlapping siblings with clip-siblings and, when asked, its children.
    Region VisibleRegion(Window& window, bool windowArea, bool clipChildren, bool clipSiblings);

    // Focus, activation, capture (one input state for the process).
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    HWND foreground = nullptr;
    HWND lockUpdate = nullptr;
    // Called when a window goes away: focus, active, capture moved off.
    void ForgetWindow(HWND hwnd);

    // Painting.
    void InvalidateWindow(Window& window, const Region* clientRegion, UINT flags);
    void ValidateWindow(Window& window, const Region* clientRegion, UINT flags);
    // Sends the paint messages of a window (and of its children with RDW_ALLCHILDREN).
    void PaintNow(HWND hwnd, bool children, bool eraseOnly);
    // Reports drawn pixels of a top-level window to the backend; while windows are painted at
    // once, when all of them have drawn.
    void Present(Window& topLevel, const RECT& rect);
    int presentBatch = 0;
    std::vector<std::pair<HWND, RECT>> heldPresents;
    // Device contexts handed out by GetDC/BeginPaint: which window and area each belongs to.
    struct DcInfo {
        HWND hwnd;
        bool windowArea;
    };
    HDC MakeDC(Window& window, bool windowArea, const Region& visible);
    std::vector<std::pair<HDC, DcInfo>> dcs;
    // The screen overlay (drag rectangles drawn on GetDC(NULL)): RGB24, screen-sized, zero where
    // nothing is drawn; backends XOR it onto what they show. Made on first use.
    cairo_surface_t* ScreenOverlay();

    // Backend events.
    void QueueBackendEvent(BackendEvent event);
    void HandleBackendEvent(const BackendEvent& event);
    // The display focused a window, or the user clicked one that is disabled: it becomes active,
    // or its modal dialog does when it is disabled, restored if it was minimised.
    void TakeDisplayFocus(HWND hwnd);
    // The enabled pop-up the user works in over a disabled top-level window: the modal dialog
    // that disabled it (or the dialog that one opened in turn); null when there is none.
    static HWND EnabledPopupOver(HWND disabled);
    void OnBackendChanging();
    void OnBackendChanged();
    void SetInputTranslator(std::unique_ptr<IInputTranslator> translator);
    void SetPaintHooks(std::unique_ptr<IPaintHooks> hooks);
    // Null only while the services are being wired in.
    IPaintHooks* PaintHooks() { return m_paintHooks.get(); }
    // The cursor position last reported by the backend (screen). Callable from any thread.
    POINT cursorPos() const;
    void SetCursorPos(POINT pt);

    // IQueueClient
    bool FindPaintMessage(HWND hwndFilter, MSG& msg) override;
    void BeforeRetrieve() override;
    // Runs the get-message hooks, and for removed key and mouse messages the keyboard and
    // mouse hooks; a message a hook eats becomes WM_NULL.
    void OnMessageRetrieved(MSG& msg, UINT removeFlags) override;
    POINT CursorPos() override { return cursorPos(); }

    // Hooks.
    struct Hook {
        HHOOK handle;
        int kind;
        HOOKPROC proc;
        DWORD thread;
        bool removed = false;
    };
    // Runs the hook chain of a kind on the calling thread; returns the first hook's result
    // (0 when there is no hook).
    LRESULT CallHooks(int kind, int code, WPARAM wParam, LPARAM lParam);
    bool HasHooks(int kind);
    // The installed hooks, newest first. Guarded by hookMutex: worker threads that read their
    // queues run the get-message hooks too. Procedures are called without the lock held.
    std::vector<std::shared_ptr<Hook>> hooks;
    std::mutex hookMutex;

    // Native windows of top-level windows.
    static NativeWindowKind KindOf(const Window& window);
    void CreateNative(Window& window);
    void DestroyNative(Window& window);
    void SyncNative(Window& window);

private:
    WindowManager();
    std::recursive_mutex m_treeMutex;
    HWND m_desktop = nullptr;
    HWND m_messageRoot = nullptr;
    std::mutex m_eventMutex;
    std::deque<BackendEvent> m_events;
    std::unique_ptr<IInputTranslator> m_input;
    std::unique_ptr<IPaintHooks> m_paintHooks;
    mutable std::mutex m_cursorMutex;
    POINT m_cursor{0, 0};
    cairo_surface_t* m_overlay = nullptr;
};

// The text a key typed, kept for TranslateMessage beside the key message rather than in it:
// RememberKeyText records the text of a key message about to be posted, TakeKeyText hands it
// over once for the same message (the last 256 are kept). Both are callable from any thread.
void RememberKeyText(const MSG& msg, const std::string& text);
bool TakeKeyText(const MSG& msg, std::string& text);
// The lParam of the message of a key event, the documented 32-bit value: repeat count 1, the
// scan code (KF_EXTENDED marks the extended keys), the Alt context, the previous state and the
// transition.
LPARAM KeyMessageLParam(const BackendEvent& event, UINT scan);

// Sends WM_WINDOWPOSCHANGING/CHANGED and moves the window: the one path behind SetWindowPos,
// MoveWindow, ShowWindow and DeferWindowPos.
BOOL SetWindowPosInternal(Window& window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
// Computes the client rectangle through WM_NCCALCSIZE (rect in parent coordinates).
void RecalcClient(Window& window, bool sendMessage);
// The non-client hit test DefWindowProc performs, from the styles (point in screen coordinates).
LRESULT DefaultHitTest(Window& window, POINT screenPt);
// Border widths from the styles, as WM_NCCALCSIZE applies them: the client rectangle inside a
// window rectangle.
RECT DefaultClientRect(const Window& window, const RECT& windowRect);
