// The process's window handle table: maps HWND values to window objects and their owning
// threads, so that windows (message-only ones at least) exist without any window system.
#pragma once

#include "platform/core/Types.h"
#include "platform/core/WinMessages.h"

#include <memory>
#include <vector>

// The part of a window that the message queue knows: its handle, its thread and its window
// procedure. The window system derives its windows from it.
class WindowObject {
public:
    WindowObject() = default;
    virtual ~WindowObject();
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;
    WindowObject(WindowObject&&) = delete;
    WindowObject& operator=(WindowObject&&) = delete;

    HWND Handle() const { return m_hWnd; }
    DWORD ThreadId() const { return m_threadId; }
    WNDPROC WndProc() const { return m_wndProc; }
    void SetWndProc(WNDPROC proc) { m_wndProc = proc; }
    // True once the window left the handle table (it may still be on the stack of a handler).
    bool IsRemoved() const { return m_removed; }

    // Calls the window procedure; the window system adds its hooks around the call.
    // Owning thread only.
    virtual LRESULT Deliver(UINT message, WPARAM wParam, LPARAM lParam);
    // Destroys the window as DestroyWindow does. Owning thread only.
    virtual void Destroy();

private:
    friend class WindowTable;
    friend class WindowRef;
    HWND m_hWnd = nullptr;
    DWORD m_threadId = 0;
    WNDPROC m_wndProc = nullptr;
    int m_uses = 0;
    bool m_removed = false;
};

// Keeps a window object alive while a handler runs, even when the handler destroys the window:
// the object is deleted when its last reference goes. Owning thread only.
class WindowRef {
public:
    WindowRef() = default;
    explicit WindowRef(WindowObject* window);
    ~WindowRef();
    WindowRef(const WindowRef& other) : WindowRef(other.m_window) {}
    WindowRef& operator=(const WindowRef& other);
    WindowObject* Get() const { return m_window; }
    WindowObject* operator->() const { return m_window; }
    explicit operator bool() const { return m_window != nullptr; }

private:
    WindowObject* m_window = nullptr;
};

class WindowTable {
public:
    // Gives the window a new handle owned by the calling thread; the table owns the object.
    // Callable from any thread (the calling thread becomes the owner).
    static HWND Add(std::unique_ptr<WindowObject> window);
    // The object behind a handle, or null. The pointer may be dereferenced only on the owning
    // thread, and only until the window is destroyed (hold a WindowRef across calls that may
    // destroy it). Callable from any thread.
    static WindowObject* Find(HWND hwnd);
    // The owning thread of a window, or 0 when the handle names no window. Callable from any
    // thread.
    static DWORD OwnerThread(HWND hwnd);
    // Takes the handle out of the table; the object is deleted at once, or when the last
    // WindowRef to it goes. Owning thread only.
    static void Remove(HWND hwnd);
    // The windows of a thread, in creation order. Callable from any thread.
    static std::vector<HWND> ThreadWindows(DWORD threadId);
};

// A message-only window with a window procedure, without any window system: it receives
// posted and sent messages but sends no creation messages. DestroyMessageWindow sends it
// WM_DESTROY and WM_NCDESTROY. lpParam is stored as the window's user data (GetMessageWindowData).
HWND CreateMessageWindow(WNDPROC proc, LPVOID lpParam);
BOOL DestroyMessageWindow(HWND hwnd);
LPVOID GetMessageWindowData(HWND hwnd);

// Whether a handle names an existing window. Callable from any thread.
BOOL IsWindow(HWND hWnd);
// The thread that owns the window (0 when it is none); the process id is written when asked.
// Callable from any thread.
DWORD GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId);
