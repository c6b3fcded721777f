// Update regions, paint messages, window device contexts and scrolling a window's pixels.
#include "platform/core/CRect.h"
#include "platform/core/WinError.h"
#include "platform/win/Gdi.h"
#include "platform/win/detail/GdiObjects.h"
#include "platform/win/detail/SurfaceDC.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowClass.h"
#include "platform/win/detail/WindowManager.h"

#include <algorithm>
#include <cairo.h>
#include <utility>
#include <cstring>

namespace {

bool HasFrame(const Window& w)
{
    return !EqualRect(&w.rect, &w.client);
}

// Whether invalidating or validating a window with these flags goes on into its children.
bool ReachesChildren(const Window& w, UINT flags)
{
    return (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w.style & WS_CLIPCHILDREN));
}

Region* PaintRegionOf(HRGN hrgn)
{
    auto object = GdiHandles::FindAs<RegionObject>(hrgn, OBJ_REGION);
    return object ? &object->m_region : nullptr;
}

bool IsLocked(HWND hwnd)
{
    HWND locked = WindowManager::Get().lockUpdate;
    return locked && (locked == hwnd || IsChild(locked, hwnd));
}

// The window's client area in its own client coordinates, as seen on screen.
Region VisibleClient(Window& window, bool clipChildren)
{
    WindowManager& wm = WindowManager::Get();
    Region visible = wm.VisibleRegion(window, false, clipChildren, (window.style & WS_CLIPSIBLINGS) != 0);
    RECT area = wm.RectInSurface(window, false);
    visible.Offset(-area.left, -area.top);
    return visible;
}

} // namespace

// ---- Invalidation ----

void WindowManager::InvalidateWindow(Window& window, const Region* clientRegion, UINT flags)
{
    if (!IsWindowVisible(window.Handle()) || window.redrawOff)
        return;
    const RECT clientArea = window.ClientArea();
    Region region = clientRegion ? *clientRegion : Region(clientArea);
    if (flags & RDW_INVALIDATE) {
        Region inside = region;
        inside.IntersectRect(clientArea);
        if (!inside.IsEmpty()) {
            window.update = window.update.Union(inside);
            if (flags & RDW_ERASE)
                window.erase = true;
        }
        if ((flags & RDW_FRAME) && HasFrame(window))
            window.ncPaint = true;
    }
    if (flags & RDW_INTERNALPAINT)
        window.internalPaint = true;
    if (!ReachesChildren(window, flags))
        return;
    for (HWND hwnd : Children(window.Handle())) {
        Window* child = Find(hwnd);
        if (!child || !(child->style & WS_VISIBLE))
            continue;
        if (!region.Intersects(child->rect))
            continue;
        Region sub = region;
        sub.Offset(-child->client.left, -child->client.top);
        UINT childFlags = flags;
        if (!region.Intersects(child->client))
            childFlags &= ~RDW_ERASE;
        InvalidateWindow(*child, &sub, childFlags | (flags & RDW_ALLCHILDREN));
    }
}

void WindowManager::ValidateWindow(Window& window, const Region* clientRegion, UINT flags)
{
    // A frame paint that is due stays due unless RDW_NOFRAME suppresses it: a window that
    // validates its whole client area and invalidates the parts it wants drawn again (as a
    // grid does when it grows) still gets its frame drawn at the new size.
    if (clientRegion)
        window.update = window.update.Subtract(*clientRegion);
    else
        window.update.Clear();
    if (flags & RDW_NOFRAME)
        window.ncPaint = false;
    if (window.update.IsEmpty())
        window.erase = false;
    if (flags & RDW_NOINTERNALPAINT)
        window.internalPaint = false;
    if (flags & RDW_NOERASE)
        window.erase = false;
    if (!ReachesChildren(window, flags))
        return;
    for (HWND hwnd : Children(window.Handle())) {
        Window* child = Find(hwnd);
        if (!child)
            continue;
        if (clientRegion) {
            Region sub = *clientRegion;
            sub.Offset(-child->client.left, -child->client.top);
            ValidateWindow(*child, &sub, flags);
        } else {
            ValidateWindow(*child, nullptr, flags);
        }
    }
}

void WindowManager::PaintNow(HWND hwnd, bool children, bool eraseOnly)
{
    Window* window = Find(hwnd);
    if (!window || !IsWindowVisible(hwnd))
        return;
    // What the windows painted here draw is shown once all of them have drawn: the screen never
    // shows some of them new beside others as they were.
    struct PresentBatch {
        WindowManager& wm;
        explicit PresentBatch(WindowManager& manager) : wm(manager) { ++wm.presentBatch; }
        ~PresentBatch()
        {
            if (--wm.presentBatch > 0)
                return;
            for (const auto& [hwndTop, rect] : std::exchange(wm.heldPresents, {}))
                if (Window* top = Find(hwndTop))
                    wm.Present(*top, rect);
        }
        PresentBatch(const PresentBatch&) = delete;
        PresentBatch& operator=(const PresentBatch&) = delete;
    } batch(*this);
    WindowRef keep(window);
    if (!window->redrawOff && NeedsPaint(*window)) {
        if (eraseOnly) {
            if (window->ncPaint)
                SendMessage(hwnd, WM_NCPAINT, 1, 0);
            window = Find(hwnd);
            if (window && window->erase && !window->update.IsEmpty()) {
                Region visible = VisibleClient(*window, (window->style & WS_CLIPCHILDREN) != 0);
                Region clip = visible.Intersect(window->update);
                RECT area = RectInSurface(*window, false);
                clip.Offset(area.left, area.top);
                HDC dc = MakeDC(*window, false, clip);
                if (SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0)) {
                    if (Window* w = Find(hwnd))
                        w->erase = false;
                }
                ReleaseDC(hwnd, dc);
            }
        } else {
            window->internalPaint = false;
            SendMessage(hwnd, WM_PAINT, 0, 0);
        }
    }
    if (!children)
        return;
    for (HWND child : Children(hwnd))
        PaintNow(child, true, eraseOnly);
}

BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags)
{
    WindowManager& wm = WindowManager::Get();
    if (!hWnd) {
        // The whole screen: every top-level window.
        for (HWND top : wm.Children(wm.Desktop()))
            RedrawWindow(top, nullptr, nullptr, flags);
        return TRUE;
    }
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window)
        return FALSE;
    Region region;
    const Region* area = nullptr;
    if (hrgnUpdate) {
        Region* r = PaintRegionOf(hrgnUpdate);
        if (!r) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        region = *r;
        area = &region;
    } else if (lprcUpdate) {
        region = Region(*lprcUpdate);
        area = &region;
    }
    if (flags & (RDW_INVALIDATE | RDW_INTERNALPAINT)) {
        UINT f = flags;
        if (flags & RDW_NOERASE)
            f &= ~RDW_ERASE;
        wm.InvalidateWindow(*window, area, f);
    }
    if (flags & (RDW_VALIDATE | RDW_NOINTERNALPAINT))
        wm.ValidateWindow(*window, area, flags);
    if (flags & RDW_UPDATENOW)
        wm.PaintNow(hWnd, !(flags & RDW_NOCHILDREN), false);
    else if (flags & RDW_ERASENOW)
        wm.PaintNow(hWnd, !(flags & RDW_NOCHILDREN), true);
    return TRUE;
}

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase)
{
    if (!hWnd)
        return RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return RedrawWindow(hWnd, lpRect, nullptr, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase)
{
    return RedrawWindow(hWnd, nullptr, hRgn, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hWnd, const RECT* lpRect)
{
    return RedrawWindow(hWnd, lpRect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND hWnd, HRGN hRgn)
{
    return RedrawWindow(hWnd, nullptr, hRgn, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL UpdateWindow(HWND hWnd)
{
    if (!WindowManager::FindOwned(hWnd))
        return FALSE;
    WindowManager::Get().PaintNow(hWnd, true, false);
    return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window)
        return FALSE;
    RECT bounds = window->update.Bounds();
    if (lpRect)
        *lpRect = bounds;
    const bool any = !window->update.IsEmpty();
    if (any && bErase)
        WindowManager::Get().PaintNow(hWnd, false, true);
    return any ? TRUE : FALSE;
}

int GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase)
{
    Window* window = WindowManager::FindOwned(hWnd);
    Region* target = PaintRegionOf(hRgn);
    if (!window || !target)
        return ERROR;
    *target = window->update;
    const int kind = window->update.Kind();
    if (!window->update.IsEmpty() && bErase)
        WindowManager::Get().PaintNow(hWnd, false, true);
    return kind;
}

// ---- Painting ----

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint)
{
    WindowManager& wm = WindowManager::Get();
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || !lpPaint)
        return nullptr;
    WindowRef keep(window);
    if (IPaintHooks* hooks = wm.PaintHooks())
        hooks->BeforePaint(hWnd);
    if (window->ncPaint) {
        SendMessage(hWnd, WM_NCPAINT, 1, 0);
        window = WindowManager::Find(hWnd);
        if (!window)
            return nullptr;
    }
    Region update = window->update;
    const bool erase = window->erase;
    window->update.Clear();
    window->erase = false;
    window->internalPaint = false;
    window->ncPaint = false;

    Region visible = IsLocked(hWnd) ? Region() : VisibleClient(*window, (window->style & WS_CLIPCHILDREN) != 0);
    Region clip = visible.Intersect(update);
    RECT area = wm.RectInSurface(*window, false);
    clip.Offset(area.left, area.top);
    HDC dc = wm.MakeDC(*window, false, clip);
    std::memset(lpPaint, 0, sizeof(*lpPaint));
    lpPaint->hdc = dc;
    RECT paint = update.Bounds();
    RECT client = window->ClientArea();
    IntersectRect(&paint, &paint, &client);
    lpPaint->rcPaint = paint;
    if (erase && dc) {
        LRESULT erased = SendMessage(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        lpPaint->fErase = erased ? FALSE : TRUE;
    }
    return dc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint)
{
    if (lpPaint && lpPaint->hdc)
        ReleaseDC(hWnd, lpPaint->hdc);
    if (IPaintHooks* hooks = WindowManager::Get().PaintHooks())
        hooks->AfterPaint(hWnd);
    return TRUE;
}

// ---- Device contexts ----

HDC GetDCEx(HWND hWnd, HRGN hrgnClip, DWORD flags)
{
    WindowManager& wm = WindowManager::Get();
    if (!hWnd || hWnd == wm.Desktop()) {
        // The screen: drawing goes to the overlay that the backends combine (by XOR) with
        // everything they show, so drag rectangles drawn twice vanish again.
        cairo_surface_t* overlay = wm.ScreenOverlay();
        SIZE screen = GetWindowBackend().ScreenSize();
        Region clip(0, 0, screen.cx, screen.cy);
        HDC dc = CreateSurfaceDC(overlay, POINT{0, 0}, clip);
        if (!dc)
            return nullptr;
        wm.dcs.emplace_back(dc, WindowManager::DcInfo{nullptr, true});
        SetSurfaceDCReleaseHook(dc, [&wm](HDC released) {
            std::erase_if(wm.dcs, [&](const auto& entry) { return entry.first == released; });
            for (HWND top : wm.Children(wm.Desktop()))
                if (Window* w = WindowManager::Find(top))
                    if (w->native && (w->style & WS_VISIBLE))
                        wm.Present(*w, RECT{0, 0, w->Width(), w->Height()});
        });
        if (hrgnClip && (flags & (DCX_EXCLUDERGN | DCX_INTERSECTRGN)))
            DeleteObject(hrgnClip);
        return dc;
    }
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window)
        return nullptr;
    const bool windowArea = (flags & DCX_WINDOW) != 0;
    bool clipChildren = (flags & DCX_CLIPCHILDREN) != 0;
    bool clipSiblings = (flags & DCX_CLIPSIBLINGS) != 0;
    if (!(flags & DCX_CACHE)) {
        clipChildren = clipChildren || (window->style & WS_CLIPCHILDREN);
        clipSiblings = clipSiblings || (window->style & WS_CLIPSIBLINGS);
    }
    Region visible;
    // A class with CS_PARENTDC draws with its parent's clipping, as DCX_PARENTCLIP asks.
    if (!windowArea && window->cls && (window->cls->style & CS_PARENTDC) && window->IsChild())
        flags |= DCX_PARENTCLIP;
    if (flags & DCX_PARENTCLIP) {
        Window* parent = WindowManager::Find(window->parent);
        if (parent && !parent->isDesktop && !parent->isMessageRoot)
            visible = wm.VisibleRegion(*parent, false, false, (parent->style & WS_CLIPSIBLINGS) != 0);
        else
            visible = wm.VisibleRegion(*window, windowArea, false, clipSiblings);
    } else {
        visible = wm.VisibleRegion(*window, windowArea, clipChildren, clipSiblings);
    }
    if (IsLocked(hWnd) && !(flags & DCX_LOCKWINDOWUPDATE))
        visible.Clear();
    if (flags & (DCX_INTERSECTUPDATE | DCX_EXCLUDEUPDATE)) {
        // The update region is kept in client coordinates.
        Region update = window->update;
        RECT client = wm.RectInSurface(*window, false);
        update.Offset(client.left, client.top);
        visible = (flags & DCX_INTERSECTUPDATE) ? visible.Intersect(update) : visible.Subtract(update);
        if ((flags & DCX_INTERSECTUPDATE) && (flags & DCX_VALIDATE))
            wm.ValidateWindow(*window, nullptr, RDW_NOCHILDREN);
    }
    if (hrgnClip && (flags & (DCX_EXCLUDERGN | DCX_INTERSECTRGN))) {
        if (Region* extra = PaintRegionOf(hrgnClip)) {
            Region moved = *extra;
            RECT area = wm.RectInSurface(*window, windowArea);
            moved.Offset(area.left, area.top);
            visible = (flags & DCX_EXCLUDERGN) ? visible.Subtract(moved) : visible.Intersect(moved);
        }
        // The window manager owns the region from here on.
        DeleteObject(hrgnClip);
    }
    return wm.MakeDC(*window, windowArea, visible);
}

HDC GetDC(HWND hWnd)
{
    return GetDCEx(hWnd, nullptr, 0);
}

HDC GetWindowDC(HWND hWnd)
{
    return GetDCEx(hWnd, nullptr, DCX_WINDOW);
}

int ReleaseDC(HWND, HDC hDC)
{
    WindowManager& wm = WindowManager::Get();
    auto it = std::find_if(wm.dcs.begin(), wm.dcs.end(), [&](const auto& entry) { return entry.first == hDC; });
    if (it == wm.dcs.end())
        return 0;
    ReleaseSurfaceDC(hDC);
    return 1;
}

HWND WindowFromDC(HDC hDC)
{
    for (auto& entry : WindowManager::Get().dcs)
        if (entry.first == hDC)
            return entry.second.hwnd;
    return nullptr;
}

BOOL LockWindowUpdate(HWND hWndLock)
{
    WindowManager& wm = WindowManager::Get();
    if (hWndLock) {
        if (wm.lockUpdate && wm.lockUpdate != hWndLock)
            return FALSE;
        if (!WindowManager::FindOwned(hWndLock))
            return FALSE;
        wm.lockUpdate = hWndLock;
        return TRUE;
    }
    HWND was = wm.lockUpdate;
    wm.lockUpdate = nullptr;
    // What was drawn away while locked is painted again. Locking the desktop (as drags that
    // draw on the screen do) suppresses nothing: screen drawing goes to the overlay, which
    // never mixes with the windows' pixels, so there is nothing to repair either.
    Window* window = WindowManager::Find(was);
    if (window && !window->isDesktop)
        wm.InvalidateWindow(*window, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

// ---- Scrolling ----

namespace {

// Moves the pixels of the given rectangles (destination, surface coordinates) from dx, dy
// before, in an order that reads every source pixel before it is overwritten.
void MovePixels(cairo_surface_t* surface, const Region& destination, int dx, int dy)
{
    if (!surface || destination.IsEmpty())
        return;
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    if (!data)
        return;
    std::vector<RECT> rects(destination.Rects().begin(), destination.Rects().end());
    // Rectangles are moved away from the direction of travel first.
    std::sort(rects.begin(), rects.end(), [&](const RECT& a, const RECT& b) {
        if (dy != 0 && a.top != b.top)
            return dy > 0 ? a.top > b.top : a.top < b.top;
        return dx > 0 ? a.left > b.left : a.left < b.left;
    });
    for (const RECT& r : rects) {
        RECT d = r;
        RECT bounds{0, 0, width, height};
        IntersectRect(&d, &d, &bounds);
        RECT s = d;
        OffsetRect(&s, -dx, -dy);
        IntersectRect(&s, &s, &bounds);
        d = s;
        OffsetRect(&d, dx, dy);
        if (IsRectEmpty(&d))
            continue;
        const size_t bytes = static_cast<size_t>(d.right - d.left) * 4;
        if (dy > 0) {
            for (int y = d.bottom - 1; y >= d.top; --y)
                std::memmove(data + y * stride + d.left * 4, data + (y - dy) * stride + s.left * 4, bytes);
        } else {
            for (int y = d.top; y < d.bottom; ++y)
                std::memmove(data + y * stride + d.left * 4, data + (y - dy) * stride + s.left * 4, bytes);
        }
    }
    cairo_surface_mark_dirty(surface);
}

} // namespace

int ScrollWindowEx(HWND hWnd, int dx, int dy, const RECT* prcScroll, const RECT* prcClip, HRGN hrgnUpdate,
                   LPRECT prcUpdate, UINT flags)
{
    WindowManager& wm = WindowManager::Get();
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window)
        return ERROR;
    WindowRef keep(window);
    const RECT clientArea = window->ClientArea();
    RECT scroll = clientArea;
    if (prcScroll)
        IntersectRect(&scroll, prcScroll, &clientArea);
    RECT clipRect = clientArea;
    if (prcClip)
        IntersectRect(&clipRect, prcClip, &clientArea);

    Region exposed;
    if (IsWindowVisible(hWnd) && (dx || dy)) {
        const bool clipChildren = (window->style & WS_CLIPCHILDREN) && !(flags & SW_SCROLLCHILDREN);
        Region visible = IsLocked(hWnd) ? Region() : VisibleClient(*window, clipChildren);
        Region source(scroll);
        source.IntersectRect(clipRect);
        source = source.Intersect(visible);
        Region destination = source;
        destination.Offset(dx, dy);
        destination.IntersectRect(clipRect);
        destination.IntersectRect(scroll);
        destination = destination.Intersect(visible);
        RECT area = wm.RectInSurface(*window, false);
        Region inSurface = destination;
        inSurface.Offset(area.left, area.top);
        if (Window* top = wm.SurfaceOwner(*window)) {
            MovePixels(top->surface, inSurface, dx, dy);
            if (!inSurface.IsEmpty())
                wm.Present(*top, inSurface.Bounds());
        }
        Region covered(scroll);
        covered.IntersectRect(clipRect);
        exposed = covered.Subtract(destination);
        // A pending update inside the scrolled area moves with the pixels.
        Region pending = window->update;
        pending.IntersectRect(scroll);
        if (!pending.IsEmpty()) {
            Region moved = pending;
            moved.Offset(dx, dy);
            moved.IntersectRect(clipRect);
            window->update = window->update.Subtract(pending).Union(moved);
        }
    }

    if (flags & SW_SCROLLCHILDREN) {
        for (HWND hwnd : wm.Children(hWnd)) {
            Window* child = WindowManager::Find(hwnd);
            if (!child)
                continue;
            RECT r;
            if (prcScroll && !IntersectRect(&r, &child->rect, prcScroll))
                continue;
            SetWindowPosInternal(*child, nullptr, child->rect.left + dx, child->rect.top + dy, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
    }
    window = WindowManager::Find(hWnd);
    if (!window)
        return ERROR;
    if ((flags & SW_INVALIDATE) && !exposed.IsEmpty()) {
        UINT rdw = RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0);
        if (flags & SW_SCROLLCHILDREN)
            rdw |= RDW_ALLCHILDREN;
        wm.InvalidateWindow(*window, &exposed, rdw);
    }
    if (hrgnUpdate)
        if (Region* r = PaintRegionOf(hrgnUpdate))
            *r = exposed;
    if (prcUpdate)
        *prcUpdate = exposed.Bounds();
    return exposed.Kind();
}

BOOL ScrollWindow(HWND hWnd, int XAmount, int YAmount, const RECT* lpRect, const RECT* lpClipRect)
{
    UINT flags = SW_INVALIDATE | SW_ERASE;
    if (!lpRect)
        flags |= SW_SCROLLCHILDREN;
    return ScrollWindowEx(hWnd, XAmount, YAmount, lpRect, lpClipRect, nullptr, nullptr, flags) != ERROR;
}
