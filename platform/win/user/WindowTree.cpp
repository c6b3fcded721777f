// Creating and destroying windows, and walking the window tree.
#include "platform/core/CRect.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/WinError.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/MenuTracker.h"
#include "platform/win/detail/WindowClass.h"
#include "platform/win/detail/WindowManager.h"

#include <algorithm>
#include <cstring>
#include <strings.h>


namespace {

// Default geometry for overlapped windows created with CW_USEDEFAULT: each new window steps
// down and right from the last, as the platform's cascade does.
int g_cascade = 0;

void SendParentNotify(Window& window, UINT event)
{
    WindowManager& wm = WindowManager::Get();
    HWND child = window.Handle();
    Window* w = &window;
    while (w && w->IsChild() && !(w->exStyle & WS_EX_NOPARENTNOTIFY)) {
        Window* parent = WindowManager::Find(w->parent);
        if (IsRoot(parent))
            break;
        HWND parentHandle = parent->Handle();
        SendMessage(parentHandle, WM_PARENTNOTIFY, MAKEWPARAM(event, window.id), reinterpret_cast<LPARAM>(child));
        w = WindowManager::Find(parentHandle);
    }
    (void)wm;
}

bool InSubtree(HWND candidate, HWND root)
{
    for (Window* w = WindowManager::Find(candidate); w; w = WindowManager::Find(w->parent)) {
        if (w->Handle() == root)
            return true;
        if (IsRoot(w))
            return false;
    }
    return false;
}

void SendDestroyTopDown(HWND hwnd)
{
    if (!WindowManager::Find(hwnd))
        return;
    SendMessage(hwnd, WM_DESTROY, 0, 0);
    for (HWND child : WindowManager::Get().Children(hwnd))
        SendDestroyTopDown(child);
}

void FreeBottomUp(HWND hwnd)
{
    WindowManager& wm = WindowManager::Get();
    for (HWND child : wm.Children(hwnd))
        FreeBottomUp(child);
    Window* window = WindowManager::Find(hwnd);
    if (!window)
        return;
    WindowRef keep(window);
    SendMessage(hwnd, WM_NCDESTROY, 0, 0);
    window = WindowManager::Find(hwnd);
    if (!window)
        return;
    MenuBars::ForgetWindow(hwnd, reinterpret_cast<HMENU>(window->id), window->IsTopLevel());
    wm.ForgetWindow(hwnd);
    KillTimersOfWindow(hwnd);
    wm.Unlink(*window);
    wm.DestroyNative(*window);
    if (window->cls)
        --window->cls->windows;
    // Device contexts still out for this window draw nowhere visible from now on.
    for (auto& entry : wm.dcs)
        if (entry.second.hwnd == hwnd)
            entry.second.hwnd = nullptr;
    WindowTable::Remove(hwnd);
}

// The window to activate when the active window goes away: its owner, else the highest
// visible, enabled top-level window of the thread.
HWND NextToActivate(HWND leaving)
{
    WindowManager& wm = WindowManager::Get();
    Window* window = WindowManager::Find(leaving);
    if (window && window->owner && window->owner != leaving && IsWindowVisible(window->owner) &&
        IsWindowEnabled(window->owner))
        return window->owner;
    for (HWND top : wm.Children(wm.Desktop())) {
        if (top == leaving || InSubtree(top, leaving))
            continue;
        Window* w = WindowManager::Find(top);
        if (w && w->ThreadId() == GetCurrentThreadId() && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED) &&
            !(w->exStyle & WS_EX_TOOLWINDOW))
            return top;
    }
    return nullptr;
}

} // namespace

HWND CreateWindowEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam)
{
    WindowManager& wm = WindowManager::Get();
    WindowClasses::EnsureSystemClasses();
    // Pop-up and child together make a pop-up owned by the given window, as callers that add
    // the child bit to every window they make rely on.
    if ((dwStyle & (WS_CHILD | WS_POPUP)) == (WS_CHILD | WS_POPUP))
        dwStyle &= ~static_cast<DWORD>(WS_CHILD);
    auto cls = WindowClasses::Find(lpClassName, hInstance);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    const bool messageOnly = hWndParent == HWND_MESSAGE;
    Window* parent = nullptr;
    HWND owner = nullptr;
    if (messageOnly) {
        parent = WindowManager::Find(wm.MessageRoot());
    } else if (dwStyle & WS_CHILD) {
        parent = WindowManager::Find(hWndParent);
        if (!parent || parent->isDesktop) {
            SetLastError(hWndParent ? ERROR_INVALID_WINDOW_HANDLE : ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
    } else {
        parent = WindowManager::Find(wm.Desktop());
        if (hWndParent) {
            if (!IsWindow(hWndParent)) {
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return nullptr;
            }
            // The owner of a top-level window is always a top-level window.
            owner = GetAncestor(hWndParent, GA_ROOT);
        }
    }

    auto owned = std::make_unique<Window>();
    Window* window = owned.get();
    window->cls = cls;
    window->SetWndProc(cls->wndProc);
    window->instance = hInstance;
    window->owner = owner;
    window->extra.assign(static_cast<size_t>(cls->wndExtra), 0);
    const bool visible = (dwStyle & WS_VISIBLE) != 0;
    DWORD style = dwStyle & ~WS_VISIBLE;   // shown after creation, as ShowWindow does
    if (!(style & WS_CHILD)) {
        style |= WS_CLIPSIBLINGS;
        if (!(style & WS_POPUP))
            style |= WS_CAPTION;   // an overlapped window always has a caption
    }
    if ((dwExStyle & WS_EX_DLGMODALFRAME) || (style & (WS_DLGFRAME | WS_THICKFRAME)))
        dwExStyle |= WS_EX_WINDOWEDGE;
    window->style = style;
    window->exStyle = dwExStyle;
    // A child's "menu" is its control id; a top-level window's is its menu bar.
    window->id = reinterpret_cast<LONG_PTR>(hMenu);

    // Geometry: CW_USEDEFAULT means a cascaded default for overlapped windows, 0 otherwise.
    const bool overlapped = !(style & (WS_CHILD | WS_POPUP));
    SIZE screen = GetWindowBackend().ScreenSize();
    if (X == CW_USEDEFAULT) {
        if (overlapped) {
            int step = 26 * (g_cascade++ % 8);
            X = step;
            Y = step;
        } else {
            X = 0;
            Y = 0;
        }
    }
    if (nWidth == CW_USEDEFAULT) {
        if (overlapped) {
            nWidth = screen.cx * 3 / 4;
            nHeight = screen.cy * 3 / 4;
        } else {
            nWidth = 0;
            nHeight = 0;
        }
    }
    nWidth = std::max(0, nWidth);
    nHeight = std::max(0, nHeight);

    HWND hwnd = WindowTable::Add(std::move(owned));
    ++cls->windows;
    window->lastActivePopup = hwnd;
    WindowRef keep(window);
    // A new child goes to the bottom of its siblings, so that creation order is the GW_CHILD /
    // GW_HWNDNEXT order that tab order and layouts walk; a new top-level window goes on top.
    const HWND linkAfter = (style & WS_CHILD) ? HWND_BOTTOM : (dwExStyle & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_TOP;
    wm.Link(*window, *parent, linkAfter);

    CREATESTRUCT cs{};
    cs.lpCreateParams = lpParam;
    cs.hInstance = hInstance;
    cs.hMenu = hMenu;
    cs.hwndParent = messageOnly ? HWND_MESSAGE : (owner && !(style & WS_CHILD) ? owner : hWndParent);
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.x = X;
    cs.y = Y;
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpWindowName;
    cs.lpszClass = lpClassName;
    cs.dwExStyle = dwExStyle;

    if (wm.HasHooks(WH_CBT)) {
        CBT_CREATEWND cbt{&cs, linkAfter};
        if (wm.CallHooks(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&cbt))) {
            DestroyWindow(hwnd);
            return nullptr;
        }
    }

    if ((style & WS_THICKFRAME) || overlapped) {
        MINMAXINFO mmi{};
        mmi.ptMaxSize = POINT{screen.cx, screen.cy};
        mmi.ptMaxPosition = POINT{0, 0};
        mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
        mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
        SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        if (!IsWindow(hwnd))
            return nullptr;
        if (style & WS_THICKFRAME) {
            nWidth = std::clamp<int>(nWidth, mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
            nHeight = std::clamp<int>(nHeight, mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
            cs.cx = nWidth;
            cs.cy = nHeight;
        }
    }
    window->rect = RECT{X, Y, X + nWidth, Y + nHeight};
    window->client = window->rect;
    window->normalRect = window->rect;
    if (!messageOnly && window->IsTopLevel())
        wm.CreateNative(*window);

    if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd))
        return nullptr;
    RecalcClient(*window, true);
    if (!IsWindow(hwnd))
        return nullptr;
    if (SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd))
        return nullptr;
    window->createdFully = true;
    SendMessage(hwnd, WM_SIZE, SIZE_RESTORED,
                MAKELPARAM(window->client.right - window->client.left, window->client.bottom - window->client.top));
    if (!IsWindow(hwnd))
        return nullptr;
    SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(window->client.left, window->client.top));
    if (!IsWindow(hwnd))
        return nullptr;
    SendParentNotify(*window, WM_CREATE);
    if (!IsWindow(hwnd))
        return nullptr;
    if (visible) {
        int show = SW_SHOW;
        if (dwStyle & WS_MINIMIZE)
            show = SW_SHOWMINIMIZED;
        else if (dwStyle & WS_MAXIMIZE)
            show = SW_SHOWMAXIMIZED;
        window->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        ShowWindow(hwnd, show);
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

HWND CreateWindow(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int x, int y, int nWidth, int nHeight,
                  HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam)
{
    return CreateWindowEx(0, lpClassName, lpWindowName, dwStyle, x, y, nWidth, nHeight, hWndParent, hMenu,
                          hInstance, lpParam);
}

BOOL DestroyWindow(HWND hWnd)
{
    WindowManager& wm = WindowManager::Get();
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window)
        return FALSE;
    if (window->isDesktop || window->isMessageRoot) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (window->ThreadId() != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (window->destroying)
        return TRUE;
    if (wm.HasHooks(WH_CBT) && wm.CallHooks(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(hWnd), 0))
        return FALSE;
    WindowRef keep(window);
    window->destroying = true;

    if (window->IsChild() && window->createdFully)
        SendParentNotify(*window, WM_DESTROY);
    if (!IsWindow(hWnd))
        return TRUE;

    // Owned windows go first.
    if (window->IsTopLevel()) {
        for (HWND top : wm.Children(window->parent)) {
            Window* other = WindowManager::Find(top);
            if (other && other->owner == hWnd && !other->destroying)
                DestroyWindow(top);
        }
    }

    // Hide it; activation, focus and capture move elsewhere.
    const bool wasActive = wm.active == hWnd;
    if (window->style & WS_VISIBLE) {
        if (window->IsChild()) {
            ShowWindow(hWnd, SW_HIDE);   // the focus returns to the parent
        } else {
            UINT flags = SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
            SetWindowPosInternal(*window, nullptr, 0, 0, 0, 0, flags);
        }
    }
    if (!IsWindow(hWnd))
        return TRUE;
    if (wm.capture && InSubtree(wm.capture, hWnd))
        ReleaseCapture();
    if (wasActive || (wm.active && InSubtree(wm.active, hWnd))) {
        HWND next = NextToActivate(hWnd);
        SetActiveWindow(next);
        if (wm.active && InSubtree(wm.active, hWnd))
            wm.active = nullptr;
    }
    if (wm.focus && InSubtree(wm.focus, hWnd)) {
        // The focus leaves the dying windows without messages to them.
        wm.focus = nullptr;
    }

    // Mark the whole subtree so that nested DestroyWindow calls on it do nothing.
    std::vector<HWND> stack{hWnd};
    while (!stack.empty()) {
        HWND h = stack.back();
        stack.pop_back();
        if (Window* w = WindowManager::Find(h)) {
            w->destroying = true;
            for (HWND c : wm.Children(h))
                stack.push_back(c);
        }
    }
    SendDestroyTopDown(hWnd);
    FreeBottomUp(hWnd);
    return TRUE;
}

// ---- Tree queries ----

HWND GetDesktopWindow()
{
    return WindowManager::Get().Desktop();
}

HWND GetParent(HWND hWnd)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window)
        return nullptr;
    if (window->IsChild()) {
        Window* parent = WindowManager::Find(window->parent);
        return IsRoot(parent) ? nullptr : window->parent;
    }
    if (window->style & WS_POPUP)
        return window->owner;
    return nullptr;
}

HWND GetAncestor(HWND hwnd, UINT gaFlags)
{
    Window* window = WindowManager::FindOwned(hwnd);
    if (!window)
        return nullptr;
    switch (gaFlags) {
    case GA_PARENT:
        return window->parent;
    case GA_ROOT: {
        Window* w = window;
        while (w && !w->IsTopLevel() && !IsRoot(w))
            w = WindowManager::Find(w->parent);
        return w ? w->Handle() : nullptr;
    }
    case GA_ROOTOWNER: {
        HWND root = GetAncestor(hwnd, GA_ROOT);
        for (;;) {
            Window* w = WindowManager::Find(root);
            if (!w || !w->owner)
                return root;
            root = w->owner;
        }
    }
    }
    return nullptr;
}

HWND GetWindow(HWND hWnd, UINT uCmd)
{
    WindowManager& wm = WindowManager::Get();
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window)
        return nullptr;
    if (uCmd == GW_CHILD) {
        auto children = wm.Children(hWnd);
        return children.empty() ? nullptr : children.front();
    }
    if (uCmd == GW_OWNER)
        return window->owner;
    if (uCmd == GW_ENABLEDPOPUP) {
        for (HWND top : wm.Children(wm.Desktop())) {
            Window* w = WindowManager::Find(top);
            if (w && w->owner == hWnd && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED))
                return top;
        }
        return nullptr;
    }
    auto siblings = wm.Children(window->parent);
    if (siblings.empty())
        return nullptr;
    auto it = std::find(siblings.begin(), siblings.end(), hWnd);
    switch (uCmd) {
    case GW_HWNDFIRST: return siblings.front();
    case GW_HWNDLAST: return siblings.back();
    case GW_HWNDNEXT: return (it == siblings.end() || it + 1 == siblings.end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV: return (it == siblings.end() || it == siblings.begin()) ? nullptr : *(it - 1);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

HWND GetTopWindow(HWND hWnd)
{
    auto children = WindowManager::Get().Children(hWnd ? hWnd : GetDesktopWindow());
    return children.empty() ? nullptr : children.front();
}

HWND GetNextWindow(HWND hWnd, UINT wCmd)
{
    return GetWindow(hWnd, wCmd);
}

HWND GetLastActivePopup(HWND hWnd)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window)
        return nullptr;
    HWND popup = window->lastActivePopup;
    return (popup && IsWindow(popup) && IsWindowVisible(popup)) ? popup : hWnd;
}

namespace {
// Enumerates a snapshot so that callbacks may create or destroy windows; windows destroyed
// meanwhile are skipped.
bool EnumTree(HWND parent, WNDENUMPROC proc, LPARAM lParam, bool deep)
{
    for (HWND child : WindowManager::Get().Children(parent)) {
        if (!IsWindow(child))
            continue;
        if (!proc(child, lParam))
            return false;
        if (deep && IsWindow(child) && !EnumTree(child, proc, lParam, true))
            return false;
    }
    return true;
}
} // namespace

BOOL EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam)
{
    if (!lpEnumFunc)
        return FALSE;
    if (!hWndParent)
        return EnumWindows(lpEnumFunc, lParam);
    return EnumTree(hWndParent, lpEnumFunc, lParam, true) ? TRUE : FALSE;
}

BOOL EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam)
{
    if (!lpEnumFunc)
        return FALSE;
    return EnumTree(GetDesktopWindow(), lpEnumFunc, lParam, false) ? TRUE : FALSE;
}

BOOL EnumThreadWindows(DWORD dwThreadId, WNDENUMPROC lpfn, LPARAM lParam)
{
    if (!lpfn)
        return FALSE;
    for (HWND top : WindowManager::Get().Children(GetDesktopWindow())) {
        if (WindowTable::OwnerThread(top) != dwThreadId)
            continue;
        if (!lpfn(top, lParam))
            return FALSE;
    }
    return TRUE;
}

namespace {
bool ClassMatches(Window& w, LPCSTR className)
{
    if (!className)
        return true;
    if (!w.cls)
        return false;
    if (IS_INTRESOURCE(className))
        return w.cls->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(className));
    return strcasecmp(w.cls->name.c_str(), className) == 0;
}
} // namespace

HWND FindWindowEx(HWND hWndParent, HWND hWndChildAfter, LPCSTR lpszClass, LPCSTR lpszWindow)
{
    WindowManager& wm = WindowManager::Get();
    HWND parent = hWndParent ? hWndParent : wm.Desktop();
    if (hWndParent == HWND_MESSAGE)
        parent = wm.MessageRoot();
    auto children = wm.Children(parent);
    auto it = children.begin();
    if (hWndChildAfter) {
        it = std::find(children.begin(), children.end(), hWndChildAfter);
        if (it == children.end())
            return nullptr;
        ++it;
    }
    for (; it != children.end(); ++it) {
        Window* w = WindowManager::Find(*it);
        if (!w || !ClassMatches(*w, lpszClass))
            continue;
        if (lpszWindow && w->text != lpszWindow)
            continue;
        return *it;
    }
    return nullptr;
}

HWND FindWindow(LPCSTR lpClassName, LPCSTR lpWindowName)
{
    return FindWindowEx(nullptr, nullptr, lpClassName, lpWindowName);
}

BOOL IsChild(HWND hWndParent, HWND hWnd)
{
    Window* w = WindowManager::Find(hWnd);
    while (w && w->IsChild()) {
        if (w->parent == hWndParent)
            return TRUE;
        w = WindowManager::Find(w->parent);
    }
    return FALSE;
}

BOOL IsWindowVisible(HWND hWnd)
{
    Window* w = WindowManager::Find(hWnd);
    if (!w)
        return FALSE;
    while (w) {
        if (!(w->style & WS_VISIBLE))
            return FALSE;
        if (IsRoot(w) || w->IsTopLevel())
            return TRUE;
        w = WindowManager::Find(w->parent);
    }
    return TRUE;
}

BOOL IsWindowEnabled(HWND hWnd)
{
    Window* w = WindowManager::Find(hWnd);
    return w && !(w->style & WS_DISABLED);
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable)
{
    WindowManager& wm = WindowManager::Get();
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window)
        return FALSE;
    const BOOL wasDisabled = (window->style & WS_DISABLED) ? TRUE : FALSE;
    if (bEnable && wasDisabled) {
        window->style &= ~WS_DISABLED;
        SendMessage(hWnd, WM_ENABLE, TRUE, 0);
    } else if (!bEnable && !wasDisabled) {
        SendMessage(hWnd, WM_CANCELMODE, 0, 0);
        window = WindowManager::Find(hWnd);
        if (!window)
            return FALSE;
        window->style |= WS_DISABLED;
        // A disabled window keeps neither the focus nor the capture. A control inside it keeps
        // the focus, so that a dialog disabled under another (which activates then) still
        // knows the control to give the keys back to.
        if (wm.focus == hWnd)
            SetFocus(nullptr);
        if (wm.capture && (wm.capture == hWnd || IsChild(hWnd, wm.capture)))
            ReleaseCapture();
        SendMessage(hWnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

BOOL IsIconic(HWND hWnd)
{
    Window* w = WindowManager::Find(hWnd);
    return w && (w->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hWnd)
{
    Window* w = WindowManager::Find(hWnd);
    return w && (w->style & WS_MAXIMIZE);
}

BOOL IsWindowUnicode(HWND)
{
    return FALSE;
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent)
{
    WindowManager& wm = WindowManager::Get();
    Window* window = WindowManager::FindOwned(hWndChild);
    if (!window)
        return nullptr;
    Window* newParent = nullptr;
    if (hWndNewParent == HWND_MESSAGE)
        newParent = WindowManager::Find(wm.MessageRoot());
    else
        newParent = WindowManager::Find(hWndNewParent ? hWndNewParent : wm.Desktop());
    if (!newParent) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    // A window cannot become its own descendant.
    for (Window* w = newParent; w && !IsRoot(w); w = WindowManager::Find(w->parent)) {
        if (w == window) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
    }
    HWND oldParent = window->parent;
    const bool wasVisible = (window->style & WS_VISIBLE) != 0;
    if (wasVisible)
        ShowWindow(hWndChild, SW_HIDE);
    window = WindowManager::Find(hWndChild);
    if (!window)
        return nullptr;
    // Keep the window's screen position.
    POINT screen = wm.WindowOrigin(*window);
    wm.Unlink(*window);
    wm.Link(*window, *newParent, HWND_TOP);
    POINT base = newParent->isDesktop || newParent->isMessageRoot ? POINT{0, 0} : wm.ClientOrigin(*newParent);
    int dx = (screen.x - base.x) - window->rect.left;
    int dy = (screen.y - base.y) - window->rect.top;
    OffsetRect(&window->rect, dx, dy);
    OffsetRect(&window->client, dx, dy);
    // Only top-level windows on the desktop have native windows.
    const bool wantsNative = window->IsTopLevel() && !newParent->isMessageRoot;
    if (window->native && !wantsNative)
        wm.DestroyNative(*window);
    else if (!window->native && wantsNative)
        wm.CreateNative(*window);
    if (wasVisible)
        ShowWindow(hWndChild, SW_SHOWNA);
    Window* old = WindowManager::Find(oldParent);
    return (old && old->isDesktop) ? wm.Desktop() : oldParent;
}
