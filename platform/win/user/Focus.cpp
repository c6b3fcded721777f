// Keyboard focus, window activation and mouse capture.
#include "platform/core/WinError.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowManager.h"

namespace {

bool InTree(HWND candidate, HWND root)
{
    return candidate && (candidate == root || IsChild(root, candidate));
}

void SendActivateApp(HWND anyWindowOfThread, BOOL active, DWORD otherThread)
{
    WindowManager& wm = WindowManager::Get();
    DWORD thread = WindowTable::OwnerThread(anyWindowOfThread);
    for (HWND top : wm.Children(wm.Desktop())) {
        if (WindowTable::OwnerThread(top) == thread)
            SendMessage(top, WM_ACTIVATEAPP, active, static_cast<LPARAM>(otherThread));
    }
}

HWND Activate(HWND hwnd, int how, bool mouse)
{
    WindowManager& wm = WindowManager::Get();
    if (hwnd) {
        hwnd = GetAncestor(hwnd, GA_ROOT);
        Window* window = WindowManager::FindOwned(hwnd);
        if (!window || window->isDesktop || window->isMessageRoot)
            return nullptr;
        // A window a modal dialog disabled takes no keys: the dialog keeps the activation.
        if (window->style & WS_DISABLED) {
            hwnd = WindowManager::EnabledPopupOver(hwnd);
            if (!hwnd)
                return nullptr;
        }
    }
    HWND old = wm.active;
    if (hwnd == old)
        return old;
    if (wm.HasHooks(WH_CBT)) {
        CBTACTIVATESTRUCT cbt{mouse ? TRUE : FALSE, old};
        if (wm.CallHooks(WH_CBT, HCBT_ACTIVATE, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&cbt)))
            return nullptr;
    }
    // The window leaving sees the one taking over in front already, none when the activation
    // leaves the program: a frame that stays drawn active while a window of its own is in front
    // must not stay so when another program has the keys.
    wm.foreground = hwnd;
    if (old && IsWindow(old)) {
        SendMessage(old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(hwnd));
        if (IsWindow(old))
            SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0), reinterpret_cast<LPARAM>(hwnd));
        if (!hwnd && IsWindow(old))
            SendActivateApp(old, FALSE, 0);
    }
    if (!hwnd || !IsWindow(hwnd)) {
        wm.active = nullptr;
        wm.foreground = nullptr;
        if (wm.focus && old && InTree(wm.focus, old))
            SetFocus(nullptr);
        return old;
    }
    wm.active = hwnd;
    wm.foreground = hwnd;
    if (!old || !IsWindow(old))
        SendActivateApp(hwnd, TRUE, 0);
    if (!IsWindow(hwnd))
        return old;
    // The active window comes to the top of its z-order.
    if (Window* window = WindowManager::Find(hwnd)) {
        SetWindowPosInternal(*window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        HWND root = GetAncestor(hwnd, GA_ROOTOWNER);
        if (Window* r = WindowManager::Find(root))
            r->lastActivePopup = hwnd;
        if (window->native)
            GetWindowBackend().FocusNativeWindow(window->native);
    }
    if (!IsWindow(hwnd))
        return old;
    SendMessage(hwnd, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
    if (IsWindow(hwnd) && wm.active == hwnd)
        SendMessage(hwnd, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(hwnd) ? 1 : 0), reinterpret_cast<LPARAM>(old));
    // The focus does not stay in a window that is no longer active.
    if (wm.focus && old && InTree(wm.focus, old) && wm.active == hwnd && !InTree(wm.focus, hwnd))
        SetFocus(nullptr);
    return old;
}

} // namespace

HWND SetFocus(HWND hWnd)
{
    WindowManager& wm = WindowManager::Get();
    HWND old = wm.focus;
    if (hWnd) {
        Window* window = WindowManager::FindOwned(hWnd);
        if (!window || window->isDesktop || window->isMessageRoot)
            return nullptr;
        if (hWnd == old)
            return old;
        if (wm.HasHooks(WH_CBT) &&
            wm.CallHooks(WH_CBT, HCBT_SETFOCUS, reinterpret_cast<WPARAM>(hWnd), reinterpret_cast<LPARAM>(old)))
            return nullptr;
        HWND top = GetAncestor(hWnd, GA_ROOT);
        if (top != wm.active) {
            Activate(top, WA_ACTIVE, false);
            if (!IsWindow(hWnd) || wm.active != top)
                return nullptr;
            if (wm.focus == hWnd)
                return old;
        }
        old = wm.focus;
    } else if (!old) {
        return nullptr;
    } else if (wm.HasHooks(WH_CBT) && wm.CallHooks(WH_CBT, HCBT_SETFOCUS, 0, reinterpret_cast<LPARAM>(old))) {
        return nullptr;
    }
    wm.focus = hWnd;
    if (old && IsWindow(old))
        SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (hWnd && wm.focus == hWnd && IsWindow(hWnd))
        SendMessage(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus()
{
    return WindowManager::Get().focus;
}

HWND SetActiveWindow(HWND hWnd)
{
    return Activate(hWnd, WA_ACTIVE, false);
}

HWND GetActiveWindow()
{
    return WindowManager::Get().active;
}

BOOL SetForegroundWindow(HWND hWnd)
{
    if (!IsWindow(hWnd))
        return FALSE;
    Activate(hWnd, WA_ACTIVE, false);
    return WindowManager::Get().active == GetAncestor(hWnd, GA_ROOT);
}

HWND GetForegroundWindow()
{
    return WindowManager::Get().foreground;
}

HWND SetCapture(HWND hWnd)
{
    WindowManager& wm = WindowManager::Get();
    if (hWnd && !WindowManager::FindOwned(hWnd))
        return nullptr;
    HWND old = wm.capture;
    if (old == hWnd)
        return old;
    wm.capture = hWnd;
    if (old && IsWindow(old))
        SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    return old;
}

BOOL ReleaseCapture()
{
    WindowManager& wm = WindowManager::Get();
    HWND old = wm.capture;
    wm.capture = nullptr;
    if (old && IsWindow(old))
        SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    return WindowManager::Get().capture;
}

int MouseActivate(HWND hwnd, int hitTest, UINT mouseMessage)
{
    WindowManager& wm = WindowManager::Get();
    Window* window = WindowManager::FindOwned(hwnd);
    if (!window)
        return MA_NOACTIVATE;
    HWND top = GetAncestor(hwnd, GA_ROOT);
    LRESULT answer = SendMessage(hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                 MAKELPARAM(hitTest, mouseMessage));
    if (answer == 0)
        answer = MA_ACTIVATE;
    if ((answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) && top && top != wm.active && IsWindow(top)) {
        Window* t = WindowManager::Find(top);
        if (t && !(t->exStyle & WS_EX_NOACTIVATE) && !(t->style & WS_DISABLED))
            Activate(top, WA_CLICKACTIVE, true);
    }
    return static_cast<int>(answer);
}
