// The window handle table and the window system's bare message-only windows.
#include "platform/core/WindowHandle.h"

#include "platform/core/MessageQueue.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/TickCount.h"
#include "platform/core/WinError.h"

#include <algorithm>
#include <mutex>
#include <unistd.h>
#include <unordered_map>

namespace {

struct Entry {
    std::unique_ptr<WindowObject> window;
    DWORD threadId = 0;
    uint64_t order = 0;
};

struct WindowSlots {
    std::mutex mutex;
    std::unordered_map<uintptr_t, Entry> entries;
    // Handles are never reused within a run, so a stale handle can never reach a new window.
    // They stay clear of the special values (0, 1, -1, -2, -3, 0xFFFF) and step by 4 like
    // pointers would.
    uintptr_t next = 0x20000;
    uint64_t order = 0;
};

WindowSlots& TheWindowSlots()
{
    static WindowSlots* table = new WindowSlots;   // never destroyed: threads may post during exit
    return *table;
}

uintptr_t Key(HWND hwnd) { return reinterpret_cast<uintptr_t>(hwnd); }

// The bare message-only window of CreateMessageWindow.
class MessageOnlyWindow : public WindowObject {
public:
    explicit MessageOnlyWindow(LPVOID data) : m_data(data) {}
    LPVOID m_data;
};

} // namespace

WindowObject::~WindowObject() = default;

LRESULT WindowObject::Deliver(UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc = m_wndProc;
    return proc ? proc(m_hWnd, message, wParam, lParam) : 0;
}

void WindowObject::Destroy()
{
    HWND hwnd = m_hWnd;
    WindowRef keep(this);
    Deliver(WM_DESTROY, 0, 0);
    if (m_removed)
        return;
    Deliver(WM_NCDESTROY, 0, 0);
    KillTimersOfWindow(hwnd);
    WindowTable::Remove(hwnd);
}

WindowRef::WindowRef(WindowObject* window) : m_window(window)
{
    if (m_window)
        ++m_window->m_uses;
}

WindowRef::~WindowRef()
{
    if (m_window && --m_window->m_uses == 0 && m_window->m_removed)
        delete m_window;   // the table released it to the last reference
}

WindowRef& WindowRef::operator=(const WindowRef& other)
{
    WindowRef copy(other);
    std::swap(m_window, copy.m_window);   // the copy releases the old window
    return *this;
}

HWND WindowTable::Add(std::unique_ptr<WindowObject> window)
{
    WindowSlots& table = TheWindowSlots();
    DWORD thread = GetCurrentThreadId();
    std::lock_guard lock(table.mutex);
    uintptr_t key = table.next;
    table.next += 4;
    if ((key & 0xFFFF) == 0xFFFF)
        key = table.next, table.next += 4;
    HWND hwnd = reinterpret_cast<HWND>(key);
    window->m_hWnd = hwnd;
    window->m_threadId = thread;
    Entry entry;
    entry.window = std::move(window);
    entry.threadId = thread;
    entry.order = table.order++;
    table.entries.emplace(key, std::move(entry));
    return hwnd;
}

WindowObject* WindowTable::Find(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    WindowSlots& table = TheWindowSlots();
    std::lock_guard lock(table.mutex);
    auto it = table.entries.find(Key(hwnd));
    return it == table.entries.end() ? nullptr : it->second.window.get();
}

DWORD WindowTable::OwnerThread(HWND hwnd)
{
    if (!hwnd)
        return 0;
    WindowSlots& table = TheWindowSlots();
    std::lock_guard lock(table.mutex);
    auto it = table.entries.find(Key(hwnd));
    return it == table.entries.end() ? 0 : it->second.threadId;
}

void WindowTable::Remove(HWND hwnd)
{
    std::unique_ptr<WindowObject> window;
    {
        WindowSlots& table = TheWindowSlots();
        std::lock_guard lock(table.mutex);
        auto it = table.entries.find(Key(hwnd));
        if (it == table.entries.end())
            return;
        window = std::move(it->second.window);
        table.entries.erase(it);
    }
    window->m_removed = true;
    if (window->m_uses > 0)
        (void)window.release();   // the last WindowRef deletes it
}

std::vector<HWND> WindowTable::ThreadWindows(DWORD threadId)
{
    WindowSlots& table = TheWindowSlots();
    std::vector<std::pair<uint64_t, HWND>> found;
    {
        std::lock_guard lock(table.mutex);
        for (auto& [key, entry] : table.entries)
            if (entry.threadId == threadId)
                found.emplace_back(entry.order, reinterpret_cast<HWND>(key));
    }
    std::sort(found.begin(), found.end());
    std::vector<HWND> result;
    result.reserve(found.size());
    for (auto& item : found)
        result.push_back(item.second);
    return result;
}

HWND CreateMessageWindow(WNDPROC proc, LPVOID lpParam)
{
    auto window = std::make_unique<MessageOnlyWindow>(lpParam);
    window->SetWndProc(proc);
    MessageQueue::ForCurrentThread();   // a window's thread always has a queue
    return WindowTable::Add(std::move(window));
}

BOOL DestroyMessageWindow(HWND hwnd)
{
    WindowObject* window = WindowTable::Find(hwnd);
    if (!window || window->ThreadId() != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    window->Destroy();
    return TRUE;
}

LPVOID GetMessageWindowData(HWND hwnd)
{
    auto* window = dynamic_cast<MessageOnlyWindow*>(WindowTable::Find(hwnd));
    return window ? window->m_data : nullptr;
}

BOOL IsWindow(HWND hWnd)
{
    return WindowTable::OwnerThread(hWnd) != 0;
}

DWORD GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId)
{
    DWORD thread = WindowTable::OwnerThread(hWnd);
    if (thread && lpdwProcessId)
        *lpdwProcessId = static_cast<DWORD>(getpid());
    if (!thread)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return thread;
}
