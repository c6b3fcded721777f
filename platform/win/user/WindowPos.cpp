// Window positions: SetWindowPos and what is built on it (ShowWindow, MoveWindow, deferred
// positioning), the frame geometry, coordinate mapping and finding windows by point.
#include "platform/core/CRect.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/WinError.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/MenuTracker.h"
#include "platform/win/detail/WindowClass.h"
#include "platform/win/detail/WindowManager.h"
#include "platform/win/detail/WindowDefaults.h"

#include <algorithm>
#include <set>

namespace {

bool ZOrderUnchanged(Window& window, HWND insertAfter)
{
    auto siblings = WindowManager::Get().Children(window.parent);
    auto it = std::find(siblings.begin(), siblings.end(), window.Handle());
    if (it == siblings.end())
        return false;
    if (insertAfter == window.Handle())
        return true;
    if (insertAfter == HWND_TOP)
        return it == siblings.begin();
    if (insertAfter == HWND_BOTTOM)
        return it + 1 == siblings.end();
    if (insertAfter == HWND_TOPMOST)
        return (window.exStyle & WS_EX_TOPMOST) && it == siblings.begin();
    if (insertAfter == HWND_NOTOPMOST)
        return !(window.exStyle & WS_EX_TOPMOST);
    return it != siblings.begin() && *(it - 1) == insertAfter;
}

MINMAXINFO MinMaxInfo(Window& window)
{
    SIZE screen = GetWindowBackend().ScreenSize();
    MINMAXINFO mmi{};
    mmi.ptMaxSize = POINT{screen.cx, screen.cy};
    mmi.ptMaxPosition = POINT{0, 0};
    if (window.IsChild()) {
        if (Window* parent = WindowManager::Find(window.parent)) {
            RECT area = parent->ClientArea();
            // A maximised child fills its parent's client area with its frame outside it.
            RECT client = DefaultClientRect(window, area);
            mmi.ptMaxPosition = POINT{area.left - (client.left - area.left), area.top - (client.top - area.top)};
            mmi.ptMaxSize = POINT{area.right - area.left + (client.left - area.left) + (area.right - client.right),
                                  area.bottom - area.top + (client.top - area.top) + (area.bottom - client.bottom)};
        }
    }
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    SendMessage(window.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return mmi;
}

} // namespace

RECT DefaultClientRect(const Window& window, const RECT& windowRect)
{
    RECT r = windowRect;
    const DWORD style = window.style;
    const DWORD ex = window.exStyle;
    auto inset = [&](int dx, int dy) {
        r.left += dx;
        r.right -= dx;
        r.top += dy;
        r.bottom -= dy;
    };
    if (style & WS_THICKFRAME)
        inset(GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME));
    else if ((style & WS_DLGFRAME) || (ex & WS_EX_DLGMODALFRAME))
        inset(GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME));
    else if (style & WS_BORDER)
        inset(GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER));
    if ((style & WS_CAPTION) == WS_CAPTION)
        r.top += GetSystemMetrics((ex & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    if (!(style & WS_CHILD) && window.id && !window.isDesktop)
        r.top += MenuBars::BarHeight(reinterpret_cast<HMENU>(window.id), r.right - r.left, window.Handle());
    if (ex & WS_EX_CLIENTEDGE)
        inset(GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
    else if (ex & WS_EX_STATICEDGE)
        inset(GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER));
    if ((style & WS_VSCROLL) && r.right - r.left >= GetSystemMetrics(SM_CXVSCROLL))
        r.right -= GetSystemMetrics(SM_CXVSCROLL);
    if ((style & WS_HSCROLL) && r.bottom - r.top >= GetSystemMetrics(SM_CYHSCROLL))
        r.bottom -= GetSystemMetrics(SM_CYHSCROLL);
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

void RecalcClient(Window& window, bool sendMessage)
{
    if (!sendMessage) {
        window.client = DefaultClientRect(window, window.rect);
        return;
    }
    RECT r = window.rect;
    SendMessage(window.Handle(), WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
    if (Window* w = WindowManager::Find(window.Handle())) {
        r.right = std::max(r.right, r.left);
        r.bottom = std::max(r.bottom, r.top);
        w->client = r;
    }
}

BOOL SetWindowPosInternal(Window& window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    WindowManager& wm = WindowManager::Get();
    const HWND hwnd = window.Handle();
    WindowRef keep(&window);
    const bool wasVisible = (window.style & WS_VISIBLE) != 0;
    if ((flags & SWP_SHOWWINDOW) && wasVisible)
        flags &= ~SWP_SHOWWINDOW;
    if ((flags & SWP_HIDEWINDOW) && !wasVisible)
        flags &= ~SWP_HIDEWINDOW;
    if ((flags & SWP_SHOWWINDOW) && (flags & SWP_HIDEWINDOW))
        flags &= ~SWP_HIDEWINDOW;
    cx = std::max(0, cx);
    cy = std::max(0, cy);
    if (!(flags & SWP_NOMOVE) && x == window.rect.left && y == window.rect.top)
        flags |= SWP_NOMOVE;
    if (!(flags & SWP_NOSIZE) && cx == window.Width() && cy == window.Height())
        flags |= SWP_NOSIZE;
    if (window.IsChild() && (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST))
        insertAfter = HWND_TOP;
    if (!(flags & SWP_NOZORDER) && ZOrderUnchanged(window, insertAfter))
        flags |= SWP_NOZORDER;
    // A child that SetWindowPos activates hears of it through WM_CHILDACTIVATE (MDI children
    // rely on it); activation itself concerns top-level windows only.
    const bool childActivate = window.IsChild() && !(flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW));
    if (!window.IsTopLevel())
        flags |= SWP_NOACTIVATE;

    WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
    if (flags & SWP_NOMOVE) {
        wp.x = window.rect.left;
        wp.y = window.rect.top;
    }
    if (flags & SWP_NOSIZE) {
        wp.cx = window.Width();
        wp.cy = window.Height();
    }
    if (!(flags & SWP_NOSENDCHANGING) ||
        (flags & (SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER)) != (SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER) ||
        (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED))) {
        if (!(flags & SWP_NOSENDCHANGING)) {
            SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
            if (!IsWindow(hwnd))
                return FALSE;
        }
    }
    flags = wp.flags;
    insertAfter = wp.hwndInsertAfter;

    const RECT oldRect = window.rect;
    const RECT oldClient = window.client;
    RECT newRect = oldRect;
    if (!(flags & SWP_NOMOVE))
        OffsetRect(&newRect, wp.x - oldRect.left, wp.y - oldRect.top);
    if (!(flags & SWP_NOSIZE)) {
        newRect.right = newRect.left + std::max(0, wp.cx);
        newRect.bottom = newRect.top + std::max(0, wp.cy);
    }
    const bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;
    const bool resized = (newRect.right - newRect.left) != (oldRect.right - oldRect.left) ||
                         (newRect.bottom - newRect.top) != (oldRect.bottom - oldRect.top);
    if (!moved)
        flags |= SWP_NOMOVE;
    if (!resized)
        flags |= SWP_NOSIZE;

    // The parent's area the window covered, while it still covers it (before the move).
    Window* parent = WindowManager::Find(window.parent);
    const bool child = parent && !IsRoot(parent);
    window.rect = newRect;
    if (moved || resized || (flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS params{};
        params.rgrc[0] = newRect;
        params.rgrc[1] = oldRect;
        params.rgrc[2] = oldClient;
        WINDOWPOS calcPos = wp;
        params.lppos = &calcPos;
        SendMessage(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        if (!IsWindow(hwnd))
            return FALSE;
        RECT client = params.rgrc[0];
        client.right = std::max(client.right, client.left);
        client.bottom = std::max(client.bottom, client.top);
        window.client = client;
    }
    if (!(flags & SWP_NOZORDER) && parent) {
        if (insertAfter == HWND_TOPMOST)
            window.exStyle |= WS_EX_TOPMOST;
        else if (insertAfter == HWND_NOTOPMOST)
            window.exStyle &= ~WS_EX_TOPMOST;
        wm.Link(window, *parent, insertAfter);
        // Owned windows stay above their owner: they come along when it rises.
        if (window.IsTopLevel() && !(flags & SWP_NOOWNERZORDER) &&
            (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST)) {
            auto siblings = wm.Children(window.parent);
            for (auto it = siblings.rbegin(); it != siblings.rend(); ++it) {
                Window* owned = WindowManager::Find(*it);
                if (owned && owned != &window && owned->owner == hwnd)
                    wm.Link(*owned, *parent, HWND_TOP);
            }
        }
    }
    if (flags & SWP_SHOWWINDOW)
        window.style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW)
        window.style &= ~WS_VISIBLE;

    // Native window and surface.
    if (window.native) {
        wm.SyncNative(window);
        // Syncing raised the native window over the ones it owns: they go back above it, in
        // their own order (the list is topmost first).
        if (window.IsTopLevel()) {
            auto siblings = wm.Children(window.parent);
            for (auto it = siblings.rbegin(); it != siblings.rend(); ++it) {
                Window* owned = WindowManager::Find(*it);
                if (owned && owned != &window && owned->owner == hwnd && owned->native &&
                    (owned->style & WS_VISIBLE))
                    wm.SyncNative(*owned);
            }
        }
    }

    // Repainting.
    const bool nowVisible = (window.style & WS_VISIBLE) != 0;
    const bool geometryChanged = moved || resized || !(flags & SWP_NOZORDER) || (flags & SWP_FRAMECHANGED);
    if (!(flags & SWP_NOREDRAW)) {
        if (child && wasVisible && (geometryChanged || (flags & SWP_HIDEWINDOW))) {
            // What the window uncovered in its parent is painted again, siblings included.
            Region uncovered(oldRect);
            if (nowVisible)
                uncovered.SubtractRect(newRect);
            if (!uncovered.IsEmpty())
                wm.InvalidateWindow(*parent, &uncovered, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        if (nowVisible) {
            const UINT all = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN;
            if (flags & SWP_SHOWWINDOW) {
                wm.InvalidateWindow(window, nullptr, all);
            } else if (child && (moved || !(flags & SWP_NOZORDER) || (flags & SWP_NOCOPYBITS))) {
                // Children share their top-level window's pixels: a moved child is drawn anew.
                wm.InvalidateWindow(window, nullptr, all);
            } else if (resized || (flags & SWP_FRAMECHANGED)) {
                UINT classStyle = window.cls ? window.cls->style : 0;
                const bool widthChanged = (newRect.right - newRect.left) != (oldRect.right - oldRect.left);
                const bool heightChanged = (newRect.bottom - newRect.top) != (oldRect.bottom - oldRect.top);
                if ((flags & SWP_NOCOPYBITS) || (flags & SWP_FRAMECHANGED) ||
                    ((classStyle & CS_HREDRAW) && widthChanged) || ((classStyle & CS_VREDRAW) && heightChanged) ||
                    oldClient.left - oldRect.left != window.client.left - newRect.left ||
                    oldClient.top - oldRect.top != window.client.top - newRect.top) {
                    wm.InvalidateWindow(window, nullptr, all);
                } else {
                    // Only what the larger client area shows anew, and the frame.
                    Region exposed(window.ClientArea());
                    exposed.SubtractRect(RECT{0, 0, oldClient.right - oldClient.left, oldClient.bottom - oldClient.top});
                    window.ncPaint = true;
                    if (!exposed.IsEmpty())
                        wm.InvalidateWindow(window, &exposed, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
                    else
                        wm.InvalidateWindow(window, &exposed, RDW_FRAME | RDW_INVALIDATE);
                }
            }
        }
    }

    if (!(flags & SWP_NOACTIVATE) && nowVisible && window.IsTopLevel())
        SetActiveWindow(hwnd);
    if ((flags & SWP_HIDEWINDOW) && wm.active == hwnd && window.IsTopLevel()) {
        // The next window of the thread becomes active.
        HWND next = nullptr;
        if (window.owner && IsWindowVisible(window.owner))
            next = window.owner;
        if (!next) {
            for (HWND top : wm.Children(wm.Desktop())) {
                Window* w = WindowManager::Find(top);
                if (top != hwnd && w && (w->style & WS_VISIBLE) && w->ThreadId() == window.ThreadId() &&
                    !(w->style & WS_DISABLED)) {
                    next = top;
                    break;
                }
            }
        }
        SetActiveWindow(next);
    }
    if (!IsWindow(hwnd))
        return FALSE;

    if (window.client.left - oldClient.left == 0 && window.client.top - oldClient.top == 0)
        flags |= SWP_NOCLIENTMOVE;
    if (window.client.right - window.client.left == oldClient.right - oldClient.left &&
        window.client.bottom - window.client.top == oldClient.bottom - oldClient.top)
        flags |= SWP_NOCLIENTSIZE;
    wp.flags = flags;
    wp.x = window.rect.left;
    wp.y = window.rect.top;
    wp.cx = window.Width();
    wp.cy = window.Height();
    SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    if (childActivate && IsWindow(hwnd))
        SendMessage(hwnd, WM_CHILDACTIVATE, 0, 0);
    return TRUE;
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || window->isDesktop)
        return FALSE;
    return SetWindowPosInternal(*window, hWndInsertAfter, X, Y, cx, cy, uFlags);
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint)
{
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!bRepaint)
        flags |= SWP_NOREDRAW;
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, flags);
}

BOOL BringWindowToTop(HWND hWnd)
{
    return SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL ShowWindow(HWND hWnd, int nCmdShow)
{
    WindowManager& wm = WindowManager::Get();
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || window->isDesktop)
        return FALSE;
    WindowRef keep(window);
    const BOOL wasVisible = (window->style & WS_VISIBLE) ? TRUE : FALSE;
    UINT flags = SWP_NOMOVE | SWP_NOSIZE;
    RECT target = window->rect;
    bool newRect = false;
    bool show = true;
    auto saveNormal = [&] {
        if (!(window->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
            window->normalRect = window->rect;
            window->hasNormalRect = true;
        }
    };
    // A training hook may refuse a change between minimised, maximised and normal.
    bool minMax = false;
    switch (nCmdShow) {
    case SW_SHOWMINNOACTIVE: case SW_MINIMIZE: case SW_FORCEMINIMIZE: case SW_SHOWMINIMIZED:
        minMax = !(window->style & WS_MINIMIZE);
        break;
    case SW_SHOWMAXIMIZED:
        minMax = !(window->style & WS_MAXIMIZE);
        break;
    case SW_RESTORE: case SW_SHOWNORMAL: case SW_SHOWDEFAULT:
        minMax = (window->style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
        break;
    default:
        break;
    }
    if (minMax && wm.HasHooks(WH_CBT) &&
        wm.CallHooks(WH_CBT, HCBT_MINMAX, reinterpret_cast<WPARAM>(hWnd), static_cast<LPARAM>(nCmdShow)))
        return wasVisible;
    window = WindowManager::Find(hWnd);
    if (!window)
        return wasVisible;
    switch (nCmdShow) {
    case SW_HIDE:
        if (!wasVisible)
            return FALSE;
        show = false;
        flags |= SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
        break;
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE:
    case SW_SHOWMINIMIZED:
        if (!(window->style & WS_MINIMIZE)) {
            saveNormal();
            window->style = (window->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
            int w = GetSystemMetrics(SM_CXMINIMIZED), h = GetSystemMetrics(SM_CYMINIMIZED);
            target = RECT{-32000, -32000, -32000 + w, -32000 + h};
            newRect = true;
            flags |= SWP_FRAMECHANGED;
        }
        flags |= SWP_SHOWWINDOW;
        if (nCmdShow != SW_SHOWMINIMIZED)
            flags |= SWP_NOACTIVATE | SWP_NOZORDER;
        break;
    case SW_SHOWMAXIMIZED:
        if (!(window->style & WS_MAXIMIZE)) {
            saveNormal();
            MINMAXINFO mmi = MinMaxInfo(*window);
            window = WindowManager::Find(hWnd);
            if (!window)
                return wasVisible;
            window->style = (window->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
            target = RECT{mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
                          mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
            newRect = true;
            flags |= SWP_FRAMECHANGED;
        }
        flags |= SWP_SHOWWINDOW;
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
        if (window->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
            window->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
            if (window->hasNormalRect) {
                target = window->normalRect;
                newRect = true;
            }
            flags |= SWP_FRAMECHANGED;
        }
        flags |= SWP_SHOWWINDOW;
        break;
    case SW_SHOWNOACTIVATE:
        flags |= SWP_SHOWWINDOW | SWP_NOACTIVATE;
        break;
    case SW_SHOWNA:
        flags |= SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
        break;
    case SW_SHOW:
    default:
        flags |= SWP_SHOWWINDOW;
        break;
    }
    if (window->IsChild())
        flags |= SWP_NOACTIVATE | SWP_NOZORDER;
    if (show != static_cast<bool>(wasVisible)) {
        SendMessage(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        window = WindowManager::Find(hWnd);
        if (!window)
            return wasVisible;
    }
    if (newRect)
        flags &= ~(SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPosInternal(*window, HWND_TOP, target.left, target.top, target.right - target.left,
                         target.bottom - target.top, flags);
    if ((nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINNOACTIVE) && wm.active == hWnd)
        SetActiveWindow(nullptr);
    if (nCmdShow == SW_HIDE && wm.focus && (wm.focus == hWnd || IsChild(hWnd, wm.focus))) {
        // The focus goes back to the parent of a hidden window (nowhere for a top-level one).
        Window* hidden = WindowManager::Find(hWnd);
        SetFocus(hidden && hidden->IsChild() ? hidden->parent : nullptr);
    }
    return wasVisible;
}

BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || !lpwndpl)
        return FALSE;
    lpwndpl->flags = 0;
    lpwndpl->showCmd = (window->style & WS_MINIMIZE)   ? SW_SHOWMINIMIZED
                       : (window->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                       : (window->style & WS_VISIBLE)  ? SW_SHOWNORMAL
                                                       : SW_HIDE;
    lpwndpl->ptMinPosition = POINT{-1, -1};
    lpwndpl->ptMaxPosition = POINT{-1, -1};
    lpwndpl->rcNormalPosition = (window->style & (WS_MINIMIZE | WS_MAXIMIZE)) && window->hasNormalRect
                                    ? window->normalRect
                                    : window->rect;
    return TRUE;
}

BOOL SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* lpwndpl)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || !lpwndpl)
        return FALSE;
    const RECT& r = lpwndpl->rcNormalPosition;
    if (window->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        window->normalRect = r;
        window->hasNormalRect = true;
    } else {
        SetWindowPos(hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(hWnd, static_cast<int>(lpwndpl->showCmd));
    return TRUE;
}

// ---- Deferred positioning ----

namespace {
struct DeferredPos {
    HWND hwnd;
    HWND insertAfter;
    int x, y, cx, cy;
    UINT flags;
};
struct DeferList {
    std::vector<DeferredPos> items;
};
std::set<DeferList*> g_deferLists;
} // namespace

HDWP BeginDeferWindowPos(int nNumWindows)
{
    if (nNumWindows < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* list = new DeferList;   // owned by the handle until EndDeferWindowPos
    list->items.reserve(static_cast<size_t>(nNumWindows));
    g_deferLists.insert(list);
    return reinterpret_cast<HDWP>(list);
}

HDWP DeferWindowPos(HDWP hWinPosInfo, HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT uFlags)
{
    auto* list = reinterpret_cast<DeferList*>(hWinPosInfo);
    if (!g_deferLists.count(list))
        return nullptr;
    if (!IsWindow(hWnd)) {
        // The whole batch is abandoned, as the platform does.
        g_deferLists.erase(list);
        delete list;
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    for (auto& item : list->items) {
        if (item.hwnd == hWnd) {
            // A later request for the same window merges into the earlier one.
            if (!(uFlags & SWP_NOMOVE)) {
                item.x = x;
                item.y = y;
                item.flags &= ~SWP_NOMOVE;
            }
            if (!(uFlags & SWP_NOSIZE)) {
                item.cx = cx;
                item.cy = cy;
                item.flags &= ~SWP_NOSIZE;
            }
            if (!(uFlags & SWP_NOZORDER)) {
                item.insertAfter = hWndInsertAfter;
                item.flags &= ~SWP_NOZORDER;
            }
            item.flags |= uFlags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED | SWP_NOCOPYBITS);
            item.flags &= uFlags | ~(SWP_NOREDRAW | SWP_NOACTIVATE);
            return hWinPosInfo;
        }
    }
    list->items.push_back(DeferredPos{hWnd, hWndInsertAfter, x, y, cx, cy, uFlags});
    return hWinPosInfo;
}

BOOL EndDeferWindowPos(HDWP hWinPosInfo)
{
    auto* list = reinterpret_cast<DeferList*>(hWinPosInfo);
    if (!g_deferLists.count(list))
        return FALSE;
    g_deferLists.erase(list);
    std::unique_ptr<DeferList> owned(list);
    BOOL ok = TRUE;
    for (auto& item : owned->items) {
        if (!IsWindow(item.hwnd))
            continue;
        if (!SetWindowPos(item.hwnd, item.insertAfter, item.x, item.y, item.cx, item.cy, item.flags))
            ok = FALSE;
    }
    return ok;
}

// ---- Rectangles and coordinates ----

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || !lpRect)
        return FALSE;
    POINT origin = WindowManager::Get().WindowOrigin(*window);
    *lpRect = RECT{origin.x, origin.y, origin.x + window->Width(), origin.y + window->Height()};
    return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || !lpRect)
        return FALSE;
    *lpRect = window->ClientArea();
    return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || !lpPoint)
        return FALSE;
    POINT origin = WindowManager::Get().ClientOrigin(*window);
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || !lpPoint)
        return FALSE;
    POINT origin = WindowManager::Get().ClientOrigin(*window);
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
    return TRUE;
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints)
{
    WindowManager& wm = WindowManager::Get();
    POINT from{0, 0}, to{0, 0};
    if (hWndFrom) {
        Window* w = WindowManager::FindOwned(hWndFrom);
        if (!w)
            return 0;
        from = wm.ClientOrigin(*w);
    }
    if (hWndTo) {
        Window* w = WindowManager::FindOwned(hWndTo);
        if (!w)
            return 0;
        to = wm.ClientOrigin(*w);
    }
    const int dx = from.x - to.x;
    const int dy = from.y - to.y;
    for (UINT i = 0; i < cPoints && lpPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    SetLastError(0);
    return MAKELONG(static_cast<WORD>(static_cast<short>(dx)), static_cast<WORD>(static_cast<short>(dy)));
}

namespace {

bool ContainsScreenPoint(Window& w, POINT pt)
{
    POINT origin = WindowManager::Get().WindowOrigin(w);
    RECT r{origin.x, origin.y, origin.x + w.Width(), origin.y + w.Height()};
    return PtInRect(&r, pt) != FALSE;
}

// The deepest visible, enabled window under a screen point, skipping the given windows.
HWND HitWindow(HWND parent, POINT pt, const std::set<HWND>& skip)
{
    WindowManager& wm = WindowManager::Get();
    for (HWND child : wm.Children(parent)) {
        Window* w = WindowManager::Find(child);
        if (!w || !(w->style & WS_VISIBLE) || skip.count(child) || !ContainsScreenPoint(*w, pt))
            continue;
        if (w->style & WS_DISABLED) {
            if (w->IsChild())
                continue;   // a disabled child lets the point fall to its parent
            return child;
        }
        POINT co = wm.ClientOrigin(*w);
        RECT client{co.x, co.y, co.x + (w->client.right - w->client.left), co.y + (w->client.bottom - w->client.top)};
        if (PtInRect(&client, pt)) {
            if (HWND deeper = HitWindow(child, pt, skip))
                return deeper;
        }
        return child;
    }
    return nullptr;
}

} // namespace

HWND WindowFromPoint(POINT Point)
{
    std::set<HWND> skip;
    for (int attempt = 0; attempt < 64; ++attempt) {
        HWND hit = HitWindow(GetDesktopWindow(), Point, skip);
        if (!hit)
            return nullptr;
        // A window that answers HTTRANSPARENT lets the point through to what lies beneath.
        if (WindowTable::OwnerThread(hit) == GetCurrentThreadId() &&
            SendMessage(hit, WM_NCHITTEST, 0, MAKELPARAM(Point.x, Point.y)) == HTTRANSPARENT) {
            skip.insert(hit);
            continue;
        }
        return hit;
    }
    return nullptr;
}

HWND ChildWindowFromPointEx(HWND hwnd, POINT pt, UINT flags)
{
    Window* window = WindowManager::FindOwned(hwnd);
    if (!window)
        return nullptr;
    RECT client = window->ClientArea();
    if (!window->isDesktop && !PtInRect(&client, pt))
        return nullptr;
    for (HWND child : WindowManager::Get().Children(hwnd)) {
        Window* w = WindowManager::Find(child);
        if (!w)
            continue;
        if ((flags & CWP_SKIPINVISIBLE) && !(w->style & WS_VISIBLE))
            continue;
        if ((flags & CWP_SKIPDISABLED) && (w->style & WS_DISABLED))
            continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (w->exStyle & WS_EX_TRANSPARENT))
            continue;
        if (PtInRect(&w->rect, pt))
            return child;
    }
    return hwnd;
}

HWND ChildWindowFromPoint(HWND hWndParent, POINT Point)
{
    return ChildWindowFromPointEx(hWndParent, Point, CWP_ALL);
}

HWND RealChildWindowFromPoint(HWND hwndParent, POINT ptParentClientCoords)
{
    Window* window = WindowManager::FindOwned(hwndParent);
    if (!window)
        return nullptr;
    POINT screen = ptParentClientCoords;
    ClientToScreen(hwndParent, &screen);
    for (HWND child : WindowManager::Get().Children(hwndParent)) {
        Window* w = WindowManager::Find(child);
        if (!w || !(w->style & WS_VISIBLE) || !PtInRect(&w->rect, ptParentClientCoords))
            continue;
        if (SendMessage(child, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTTRANSPARENT)
            continue;
        return child;
    }
    return hwndParent;
}

BOOL AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle)
{
    if (!lpRect)
        return FALSE;
    Window probe;
    probe.style = dwStyle & ~(WS_VSCROLL | WS_HSCROLL);
    probe.exStyle = dwExStyle;
    probe.id = (bMenu && !(dwStyle & WS_CHILD)) ? 1 : 0;
    const RECT big{0, 0, 10000, 10000};
    RECT inner = DefaultClientRect(probe, big);
    lpRect->left -= inner.left - big.left;
    lpRect->top -= inner.top - big.top;
    lpRect->right += big.right - inner.right;
    lpRect->bottom += big.bottom - inner.bottom;
    return TRUE;
}

BOOL AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu)
{
    return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}

LRESULT DefaultHitTest(Window& window, POINT pt)
{
    WindowManager& wm = WindowManager::Get();
    POINT origin = wm.WindowOrigin(window);
    RECT outer{origin.x, origin.y, origin.x + window.Width(), origin.y + window.Height()};
    if (!PtInRect(&outer, pt))
        return HTNOWHERE;
    if (window.style & WS_MINIMIZE)
        return HTCAPTION;
    POINT co = wm.ClientOrigin(window);
    RECT client{co.x, co.y, co.x + (window.client.right - window.client.left),
                co.y + (window.client.bottom - window.client.top)};
    if (PtInRect(&client, pt))
        return HTCLIENT;
    const int x = pt.x - outer.left;
    const int y = pt.y - outer.top;
    const int w = window.Width();
    const int h = window.Height();
    RECT r{0, 0, w, h};   // what is left inside the frame, window coordinates
    if (window.style & WS_THICKFRAME) {
        const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
        const int corner = GetSystemMetrics(SM_CYCAPTION) + fy;
        if (x < fx || x >= w - fx || y < fy || y >= h - fy) {
            const bool left = x < corner, right = x >= w - corner, top = y < corner, bottom = y >= h - corner;
            if (y < fy)
                return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
            if (y >= h - fy)
                return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
            if (x < fx)
                return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
            return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
        }
        InflateRect(&r, -fx, -fy);
    } else if ((window.style & WS_DLGFRAME) || (window.exStyle & WS_EX_DLGMODALFRAME)) {
        const int fx = GetSystemMetrics(SM_CXDLGFRAME), fy = GetSystemMetrics(SM_CYDLGFRAME);
        if (x < fx || x >= w - fx || y < fy || y >= h - fy)
            return HTBORDER;
        InflateRect(&r, -fx, -fy);
    } else if (window.style & WS_BORDER) {
        if (x < 1 || x >= w - 1 || y < 1 || y >= h - 1)
            return HTBORDER;
        InflateRect(&r, -1, -1);
    }
    if ((window.style & WS_CAPTION) == WS_CAPTION) {
        const int ch = GetSystemMetrics((window.exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
        if (y >= r.top && y < r.top + ch) {
            const int bw = GetSystemMetrics((window.exStyle & WS_EX_TOOLWINDOW) ? SM_CXSMSIZE : SM_CXSIZE);
            int right = r.right;
            if (window.style & WS_SYSMENU) {
                if (x >= right - bw)
                    return HTCLOSE;
                right -= bw + 2;
                if ((window.style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) && !(window.exStyle & WS_EX_TOOLWINDOW)) {
                    if (x >= right - bw)
                        return HTMAXBUTTON;
                    right -= bw;
                    if (x >= right - bw)
                        return HTMINBUTTON;
                }
                if (!(window.exStyle & WS_EX_TOOLWINDOW) && x < r.left + GetSystemMetrics(SM_CXSMICON) + 2)
                    return HTSYSMENU;
            }
            return HTCAPTION;
        }
        r.top += ch;
    }
    if (!window.IsChild() && window.id && y >= r.top &&
        y < r.top + MenuBars::BarHeight(reinterpret_cast<HMENU>(window.id), r.right - r.left, window.Handle()))
        return HTMENU;
    // Scroll bars lie between the client area and the edges.
    const int cx = client.left - outer.left, cy = client.top - outer.top;
    const int cr = cx + (client.right - client.left), cb = cy + (client.bottom - client.top);
    const bool inVBar = (window.style & WS_VSCROLL) && x >= cr && x < cr + GetSystemMetrics(SM_CXVSCROLL);
    const bool inHBar = (window.style & WS_HSCROLL) && y >= cb && y < cb + GetSystemMetrics(SM_CYHSCROLL);
    if (inVBar && inHBar)
        return (window.style & WS_THICKFRAME) ? HTBOTTOMRIGHT : HTGROWBOX;
    if (inVBar && y >= cy && y < cb)
        return HTVSCROLL;
    if (inHBar && x >= cx && x < cr)
        return HTHSCROLL;
    return HTBORDER;
}
