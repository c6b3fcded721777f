// Hook chains: message filters, get-message, computer-based training, window-procedure calls,
// keyboard and mouse.
#include "platform/core/ThreadApi.h"
#include "platform/core/WinError.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowManager.h"

#include <algorithm>
#include <atomic>

namespace {

bool AppliesHere(const WindowManager::Hook& hook, int kind)
{
    return !hook.removed && hook.kind == kind && (hook.thread == 0 || hook.thread == GetCurrentThreadId());
}

// Calls the first hook of the kind at or after `start` in the chain (0 when there is none).
LRESULT CallFrom(size_t start, int kind, int code, WPARAM wParam, LPARAM lParam)
{
    WindowManager& wm = WindowManager::Get();
    std::shared_ptr<WindowManager::Hook> hook;   // survives unhooking during the call
    {
        std::lock_guard lock(wm.hookMutex);
        for (size_t i = start; i < wm.hooks.size(); ++i) {
            if (AppliesHere(*wm.hooks[i], kind)) {
                hook = wm.hooks[i];
                break;
            }
        }
    }
    return hook ? hook->proc(code, wParam, lParam) : 0;
}

} // namespace

LRESULT WindowManager::CallHooks(int kind, int code, WPARAM wParam, LPARAM lParam)
{
    return CallFrom(0, kind, code, wParam, lParam);
}

bool WindowManager::HasHooks(int kind)
{
    std::lock_guard lock(hookMutex);
    return std::any_of(hooks.begin(), hooks.end(), [&](const auto& hook) { return AppliesHere(*hook, kind); });
}

HHOOK SetWindowsHookEx(int idHook, HOOKPROC lpfn, HINSTANCE, DWORD dwThreadId)
{
    if (!lpfn || idHook < WH_MIN || idHook > WH_MAX) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    WindowManager& wm = WindowManager::Get();
    static std::atomic<uintptr_t> next{0x1000};
    auto hook = std::make_shared<WindowManager::Hook>();
    hook->handle = reinterpret_cast<HHOOK>(next.fetch_add(4) + 4);
    hook->kind = idHook;
    hook->proc = lpfn;
    hook->thread = dwThreadId;
    // The newest hook is called first.
    std::lock_guard lock(wm.hookMutex);
    wm.hooks.insert(wm.hooks.begin(), hook);
    return hook->handle;
}

BOOL UnhookWindowsHookEx(HHOOK hhk)
{
    WindowManager& wm = WindowManager::Get();
    std::lock_guard lock(wm.hookMutex);
    auto it = std::find_if(wm.hooks.begin(), wm.hooks.end(), [&](const auto& hook) { return hook->handle == hhk; });
    if (it == wm.hooks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    (*it)->removed = true;
    wm.hooks.erase(it);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam)
{
    WindowManager& wm = WindowManager::Get();
    size_t next;
    int kind;
    {
        std::lock_guard lock(wm.hookMutex);
        auto it = std::find_if(wm.hooks.begin(), wm.hooks.end(), [&](const auto& hook) { return hook->handle == hhk; });
        if (it == wm.hooks.end())
            return 0;
        next = static_cast<size_t>(it - wm.hooks.begin()) + 1;
        kind = (*it)->kind;
    }
    return CallFrom(next, kind, nCode, wParam, lParam);
}

BOOL CallMsgFilter(LPMSG lpMsg, int nCode)
{
    WindowManager& wm = WindowManager::Get();
    if (wm.HasHooks(WH_SYSMSGFILTER) && wm.CallHooks(WH_SYSMSGFILTER, nCode, 0, reinterpret_cast<LPARAM>(lpMsg)))
        return TRUE;
    if (wm.HasHooks(WH_MSGFILTER) && wm.CallHooks(WH_MSGFILTER, nCode, 0, reinterpret_cast<LPARAM>(lpMsg)))
        return TRUE;
    return FALSE;
}
