// The window manager's shared state: the desktop, tree links, geometry, visible regions, the
// queue client (paint messages, backend events) and native windows of top-level windows.
#include "platform/win/detail/WindowManager.h"

#include "platform/core/CRect.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/TickCount.h"
#include "platform/core/WinError.h"
#include "platform/win/detail/CursorShape.h"
#include "platform/win/Gdi.h"
#include "platform/win/detail/SurfaceDC.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowClass.h"
#include "platform/win/detail/WindowServices.h"

#include <algorithm>
#include <atomic>
#include <cairo.h>

// ---- Window ----

Window::Window() = default;

Window::~Window() = default;

bool Window::IsTopLevel() const
{
    if (isDesktop || isMessageRoot)
        return false;
    Window* p = WindowManager::Find(parent);
    return !p || p->isDesktop || p->isMessageRoot;
}

RECT Window::ClientArea() const
{
    return RECT{0, 0, client.right - client.left, client.bottom - client.top};
}

LRESULT Window::Deliver(UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowManager& wm = WindowManager::Get();
    HWND hwnd = Handle();
    if (wm.HasHooks(WH_CALLWNDPROC)) {
        CWPSTRUCT cwp{lParam, wParam, message, hwnd};
        wm.CallHooks(WH_CALLWNDPROC, HC_ACTION, 0, reinterpret_cast<LPARAM>(&cwp));
    }
    LRESULT result = WindowObject::Deliver(message, wParam, lParam);
    if (wm.HasHooks(WH_CALLWNDPROCRET)) {
        CWPRETSTRUCT ret{result, lParam, wParam, message, hwnd};
        wm.CallHooks(WH_CALLWNDPROCRET, HC_ACTION, 0, reinterpret_cast<LPARAM>(&ret));
    }
    return result;
}

void Window::Destroy()
{
    DestroyWindow(Handle());
}

// ---- Default input translation ----

namespace {

struct KeyTexts {
    struct Entry {
        MSG msg;
        std::string text;
    };
    std::mutex mutex;
    std::deque<Entry> entries;
};

KeyTexts& TheKeyTexts()
{
    static KeyTexts* texts = new KeyTexts;
    return *texts;
}

} // namespace

void RememberKeyText(const MSG& msg, const std::string& text)
{
    KeyTexts& texts = TheKeyTexts();
    std::lock_guard lock(texts.mutex);
    texts.entries.push_back(KeyTexts::Entry{msg, text});
    if (texts.entries.size() > 256)
        texts.entries.pop_front();
}

bool TakeKeyText(const MSG& msg, std::string& text)
{
    KeyTexts& texts = TheKeyTexts();
    std::lock_guard lock(texts.mutex);
    for (auto it = texts.entries.begin(); it != texts.entries.end(); ++it) {
        const MSG& m = it->msg;
        if (m.hwnd == msg.hwnd && m.message == msg.message && m.wParam == msg.wParam && m.lParam == msg.lParam &&
            m.time == msg.time) {
            text = std::move(it->text);
            texts.entries.erase(it);
            return true;
        }
    }
    return false;
}

LPARAM KeyMessageLParam(const BackendEvent& event, UINT scan)
{
    const bool down = event.kind == BackendEvent::Kind::KeyDown;
    LPARAM lParam = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
    if (scan & KF_EXTENDED)
        lParam |= LPARAM(1) << 24;
    if (event.modifiers & kModAlt)
        lParam |= LPARAM(1) << 29;
    if (!down)
        lParam |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
    else if (event.repeat)
        lParam |= LPARAM(1) << 30;
    return lParam;
}

// ---- WindowManager ----

WindowManager& WindowManager::Get()
{
    static WindowManager* manager = [] {
        auto* wm = new WindowManager;   // lives to the end of the process
        SetQueueClient(wm);
        SetBroadcastTargets([] { return Get().Children(Get().Desktop()); });
        return wm;
    }();
    // Whatever backend runs, windows get the full input path and the non-client behaviour.
    // Wiring them in calls back here: the thread doing it sees the manager as it is.
    static std::atomic<bool> servicesReady{false};
    thread_local bool wiring = false;
    if (!servicesReady.load(std::memory_order_acquire) && !wiring) {
        wiring = true;
        EnsureWindowServices();
        wiring = false;
        servicesReady.store(true, std::memory_order_release);
    }
    return *manager;
}

WindowManager::WindowManager() = default;

Window* WindowManager::Find(HWND hwnd)
{
    return dynamic_cast<Window*>(WindowTable::Find(hwnd));
}

Window* WindowManager::FindOwned(HWND hwnd)
{
    Window* window = Find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return window;
}

HWND WindowManager::Desktop()
{
    std::lock_guard lock(m_treeMutex);
    if (!m_desktop) {
        WindowClasses::EnsureSystemClasses();
        auto window = std::make_unique<Window>();
        window->cls = WindowClasses::Find(WC_DESKTOP_NAME, nullptr);
        window->isDesktop = true;
        window->style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_POPUP;
        SIZE screen = GetWindowBackend().ScreenSize();
        window->rect = RECT{0, 0, screen.cx, screen.cy};
        window->client = window->rect;
        window->SetWndProc(DefWindowProc);
        window->createdFully = true;
        m_desktop = WindowTable::Add(std::move(window));
    }
    return m_desktop;
}

HWND WindowManager::MessageRoot()
{
    std::lock_guard lock(m_treeMutex);
    if (!m_messageRoot) {
        WindowClasses::EnsureSystemClasses();
        auto window = std::make_unique<Window>();
        window->cls = WindowClasses::Find(WC_MESSAGE_NAME, nullptr);
        window->isMessageRoot = true;
        window->style = WS_POPUP;
        window->SetWndProc(DefWindowProc);
        window->createdFully = true;
        m_messageRoot = WindowTable::Add(std::move(window));
    }
    return m_messageRoot;
}

void WindowManager::Link(Window& window, Window& parent, HWND insertAfter)
{
    std::lock_guard lock(m_treeMutex);
    window.parent = parent.Handle();
    auto& list = parent.children;
    std::erase(list, window.Handle());
    if (insertAfter == HWND_BOTTOM) {
        list.push_back(window.Handle());
        return;
    }
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        // Topmost windows stay above the others: a non-topmost window goes below them.
        auto it = list.begin();
        if (!(window.exStyle & WS_EX_TOPMOST) && parent.isDesktop) {
            while (it != list.end()) {
                Window* w = Find(*it);
                if (!w || !(w->exStyle & WS_EX_TOPMOST))
                    break;
                ++it;
            }
        }
        list.insert(it, window.Handle());
        return;
    }
    auto it = std::find(list.begin(), list.end(), insertAfter);
    if (it == list.end())
        list.insert(list.begin(), window.Handle());
    else
        list.insert(it + 1, window.Handle());
}

void WindowManager::Unlink(Window& window)
{
    std::lock_guard lock(m_treeMutex);
    if (Window* parent = Find(window.parent))
        std::erase(parent->children, window.Handle());
}

std::vector<HWND> WindowManager::Children(HWND parent)
{
    std::lock_guard lock(m_treeMutex);
    Window* window = Find(parent);
    return window ? window->children : std::vector<HWND>{};
}

namespace {
POINT ParentClientOrigin(const Window& window)
{
    Window* parent = WindowManager::Find(window.parent);
    if (!parent || parent->isDesktop || parent->isMessageRoot)
        return POINT{0, 0};
    return WindowManager::Get().ClientOrigin(*parent);
}
} // namespace

POINT WindowManager::ClientOrigin(const Window& window)
{
    if (window.isDesktop || window.isMessageRoot)
        return POINT{0, 0};
    POINT base = ParentClientOrigin(window);
    return POINT{base.x + window.client.left, base.y + window.client.top};
}

POINT WindowManager::WindowOrigin(const Window& window)
{
    if (window.isDesktop || window.isMessageRoot)
        return POINT{0, 0};
    POINT base = ParentClientOrigin(window);
    return POINT{base.x + window.rect.left, base.y + window.rect.top};
}

Window* WindowManager::SurfaceOwner(Window& window)
{
    Window* w = &window;
    while (w && !w->IsTopLevel()) {
        if (w->isDesktop || w->isMessageRoot)
            return nullptr;
        w = Find(w->parent);
    }
    return w;
}

RECT WindowManager::RectInSurface(Window& window, bool windowArea)
{
    Window* top = SurfaceOwner(window);
    if (!top)
        return RECT{0, 0, 0, 0};
    POINT topOrigin = WindowOrigin(*top);
    POINT origin = windowArea ? WindowOrigin(window) : ClientOrigin(window);
    int width = windowArea ? window.Width() : window.client.right - window.client.left;
    int height = windowArea ? window.Height() : window.client.bottom - window.client.top;
    LONG x = origin.x - topOrigin.x;
    LONG y = origin.y - topOrigin.y;
    return RECT{x, y, x + width, y + height};
}

Region WindowManager::VisibleRegion(Window& window, bool windowArea, bool clipChildren, bool clipSiblings)
{
    Window* top = SurfaceOwner(window);
    if (!top || !IsWindowVisible(window.Handle()))
        return Region();
    Region visible(RectInSurface(window, windowArea));
    visible.IntersectRect(RECT{0, 0, top->Width(), top->Height()});
    // Children are clipped to their ancestors' client areas, and by the higher siblings of
    // every window on the way that has clip-siblings.
    Window* w = &window;
    bool clipHere = clipSiblings;
    while (w && w != top) {
        Window* parent = Find(w->parent);
        if (!parent)
            break;
        if (clipHere) {
            std::lock_guard lock(m_treeMutex);
            for (HWND sibling : parent->children) {
                if (sibling == w->Handle())
                    break;
                Window* s = Find(sibling);
                if (s && (s->style & WS_VISIBLE))
                    visible.SubtractRect(RectInSurface(*s, true));
            }
        }
        visible.IntersectRect(RectInSurface(*parent, false));
        w = parent;
        clipHere = (w->style & WS_CLIPSIBLINGS) != 0;
    }
    if (clipChildren) {
        // A child shows only within its parent's client area, so it hides no part of the
        // parent's frame or scroll bars, even where its rectangle reaches over them.
        const RECT clientArea = RectInSurface(window, false);
        std::lock_guard lock(m_treeMutex);
        for (HWND child : window.children) {
            Window* c = Find(child);
            if (!c || !(c->style & WS_VISIBLE))
                continue;
            RECT shown;
            const RECT childRect = RectInSurface(*c, true);
            if (IntersectRect(&shown, &childRect, &clientArea))
                visible.SubtractRect(shown);
        }
    }
    return visible;
}

void WindowManager::ForgetWindow(HWND hwnd)
{
    if (capture == hwnd) {
        capture = nullptr;
    }
    if (focus == hwnd)
        focus = nullptr;
    if (active == hwnd)
        active = nullptr;
    if (foreground == hwnd)
        foreground = nullptr;
    if (lockUpdate == hwnd)
        lockUpdate = nullptr;
}

void WindowManager::Present(Window& topLevel, const RECT& rect)
{
    if (!topLevel.native || !(topLevel.style & WS_VISIBLE))
        return;
    if (presentBatch > 0) {
        auto held = std::find_if(heldPresents.begin(), heldPresents.end(), [&](const auto& entry) { return entry.first == topLevel.Handle(); });
        if (held == heldPresents.end())
            heldPresents.emplace_back(topLevel.Handle(), rect);
        else
            UnionRect(&held->second, &held->second, &rect);
        return;
    }
    RECT r = rect;
    RECT bounds{0, 0, topLevel.Width(), topLevel.Height()};
    if (!IntersectRect(&r, &r, &bounds))
        return;
    if (topLevel.surface)
        cairo_surface_flush(topLevel.surface);
    GetWindowBackend().Present(topLevel.native, r);
}

HDC WindowManager::MakeDC(Window& window, bool windowArea, const Region& visible)
{
    Window* top = SurfaceOwner(window);
    cairo_surface_t* surface = top ? top->surface : nullptr;
    cairo_surface_t* scratch = nullptr;
    if (!surface) {
        // A window without pixels (hidden message window, no backend surface) still gets a DC
        // that draws nowhere visible.
        scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
        surface = scratch;
    }
    RECT area = RectInSurface(window, windowArea);
    POINT origin{area.left, area.top};
    Region clip = visible;
    clip.Offset(-origin.x, -origin.y);
    HDC dc = CreateSurfaceDC(surface, origin, clip);
    if (scratch)
        cairo_surface_destroy(scratch);   // the DC holds its own reference
    if (!dc)
        return nullptr;
    dcs.emplace_back(dc, DcInfo{window.Handle(), windowArea});
    HWND topHwnd = top ? top->Handle() : nullptr;
    SetSurfaceDCReleaseHook(dc, [this, topHwnd, visible](HDC released) {
        std::erase_if(dcs, [&](const auto& entry) { return entry.first == released; });
        if (Window* t = Find(topHwnd)) {
            RECT damage = visible.Bounds();
            if (!IsRectEmpty(&damage))
                Present(*t, damage);
        }
    });
    return dc;
}

cairo_surface_t* WindowManager::ScreenOverlay()
{
    if (!m_overlay) {
        SIZE screen = GetWindowBackend().ScreenSize();
        m_overlay = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max<int>(1, screen.cx),
                                               std::max<int>(1, screen.cy));
    }
    return m_overlay;
}

void WindowManager::QueueBackendEvent(BackendEvent event)
{
    DWORD owner = event.hwnd ? WindowTable::OwnerThread(event.hwnd) : 0;
    {
        std::lock_guard lock(m_eventMutex);
        m_events.push_back(std::move(event));
    }
    if (!owner && m_desktop)
        owner = WindowTable::OwnerThread(m_desktop);
    if (auto queue = MessageQueue::ForThread(owner))
        queue->Wake();
}

void WindowManager::BeforeRetrieve()
{
    const DWORD me = GetCurrentThreadId();
    const DWORD desktopOwner = m_desktop ? WindowTable::OwnerThread(m_desktop) : 0;
    for (;;) {
        BackendEvent event;
        {
            std::lock_guard lock(m_eventMutex);
            auto it = std::find_if(m_events.begin(), m_events.end(), [&](const BackendEvent& e) {
                DWORD owner = e.hwnd ? WindowTable::OwnerThread(e.hwnd) : desktopOwner;
                return owner == me || (e.hwnd && owner == 0);
            });
            if (it == m_events.end())
                return;
            event = std::move(*it);
            m_events.erase(it);
        }
        if (event.hwnd && !IsWindow(event.hwnd))
            continue;   // the window went away meanwhile
        HandleBackendEvent(event);
    }
}

void WindowManager::HandleBackendEvent(const BackendEvent& event)
{
    using Kind = BackendEvent::Kind;
    Window* window = Find(event.hwnd);
    switch (event.kind) {
    case Kind::Expose:
        if (window)
            Present(*window, event.rect);
        return;
    case Kind::Configure:
        if (window) {
            RECT r = event.rect;
            if (!EqualRect(&r, &window->rect))
                SetWindowPosInternal(*window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                     SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return;
    case Kind::FocusIn:
        if (GetWindowBackend().FocusChangeOvertaken(event))
            return;
        if (window)
            TakeDisplayFocus(event.hwnd);
        return;
    case Kind::FocusOut:
        if (GetWindowBackend().FocusChangeOvertaken(event))
            return;
        if (window && active == event.hwnd)
            SetActiveWindow(nullptr);
        return;
    case Kind::Close:
        // A disabled window stands behind a modal dialog or a job that holds it (printing, a
        // save): closing it would pull the project from under them. As a click on it, the
        // request brings the window that holds it forward instead.
        if (window && !IsWindowEnabled(event.hwnd))
            TakeDisplayFocus(event.hwnd);
        else if (window)
            SendMessage(event.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    default:
        if (m_input)
            m_input->Translate(event);
        return;
    }
}

void WindowManager::TakeDisplayFocus(HWND hwnd)
{
    // A disabled window is not activated: its enabled popup (a modal dialog) is, and gets the
    // display's focus back. A disabled window without one stays as it is.
    HWND target = hwnd;
    if (!IsWindowEnabled(hwnd)) {
        target = EnabledPopupOver(hwnd);
        if (target == nullptr)
            return;
        // A dialog minimised while it holds its owner comes back: the owner refuses the mouse,
        // and nothing else would show the user why.
        if (IsIconic(target))
            ShowWindow(target, SW_RESTORE);
        if (!IsWindow(target))
            return;
    }
    if (active != target) {
        SetActiveWindow(target);
    } else if (target != hwnd) {
        // The dialog in front of its owner, with the display's keys.
        SetWindowPos(target, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (Window* w = Find(target); w && w->native)
            GetWindowBackend().FocusNativeWindow(w->native);
    }
}

HWND WindowManager::EnabledPopupOver(HWND disabled)
{
    const HWND top = GetAncestor(disabled, GA_ROOT);
    const HWND rootOwner = GetAncestor(top, GA_ROOTOWNER);
    if (top == nullptr || rootOwner == nullptr)
        return nullptr;
    const auto usable = [top](HWND candidate) {
        return candidate != nullptr && candidate != top && IsWindowVisible(candidate) && IsWindowEnabled(candidate);
    };
    // The pop-up last active over the family is the dialog in use, unless it went meanwhile:
    // then the highest enabled window of the same family is.
    if (const HWND last = GetLastActivePopup(rootOwner); usable(last))
        return last;
    WindowManager& wm = Get();
    for (HWND candidate : wm.Children(wm.Desktop()))
        if (usable(candidate) && GetAncestor(candidate, GA_ROOTOWNER) == rootOwner &&
            WindowTable::OwnerThread(candidate) == WindowTable::OwnerThread(top))
            return candidate;
    return nullptr;
}

void WindowManager::OnBackendChanging()
{
    for (HWND hwnd : Children(m_desktop)) {
        if (Window* w = Find(hwnd))
            DestroyNative(*w);
    }
    if (m_overlay) {
        cairo_surface_destroy(m_overlay);
        m_overlay = nullptr;
    }
}

void WindowManager::OnBackendChanged()
{
    if (Window* desktop = Find(m_desktop)) {
        SIZE screen = GetWindowBackend().ScreenSize();
        desktop->rect = RECT{0, 0, screen.cx, screen.cy};
        desktop->client = desktop->rect;
    }
    for (HWND hwnd : Children(m_desktop)) {
        if (Window* w = Find(hwnd)) {
            CreateNative(*w);
            SyncNative(*w);
            InvalidateWindow(*w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
    }
    if (MessageQueue* queue = &MessageQueue::ForCurrentThread())
        queue->SetEventPump(&GetWindowBackend());
    // The new display shows the cursor the program set, not its own default.
    GetWindowBackend().SetCursor(ShownCursor());
}

void WindowManager::SetInputTranslator(std::unique_ptr<IInputTranslator> translator)
{
    m_input = std::move(translator);
}

void WindowManager::SetPaintHooks(std::unique_ptr<IPaintHooks> hooks)
{
    m_paintHooks = std::move(hooks);
}

POINT WindowManager::cursorPos() const
{
    std::lock_guard lock(m_cursorMutex);
    return m_cursor;
}

void WindowManager::SetCursorPos(POINT pt)
{
    std::lock_guard lock(m_cursorMutex);
    m_cursor = pt;
}

namespace {
// Depth first, parents before children, in z-order.
HWND FindPainting(WindowManager& wm, HWND parent, DWORD thread)
{
    for (HWND child : wm.Children(parent)) {
        // Windows of other threads are neither read nor entered: only their owner may.
        if (WindowTable::OwnerThread(child) != thread)
            continue;
        Window* w = WindowManager::Find(child);
        if (!w || !(w->style & WS_VISIBLE) || w->redrawOff)
            continue;
        if (NeedsPaint(*w))
            return child;
        if (HWND found = FindPainting(wm, child, thread))
            return found;
    }
    return nullptr;
}
} // namespace

bool WindowManager::FindPaintMessage(HWND hwndFilter, MSG& msg)
{
    const DWORD me = GetCurrentThreadId();
    HWND found = nullptr;
    if (hwndFilter) {
        Window* w = WindowTable::OwnerThread(hwndFilter) == me ? Find(hwndFilter) : nullptr;
        if (w && NeedsPaint(*w) && !w->redrawOff && IsWindowVisible(hwndFilter))
            found = hwndFilter;
    } else if (m_desktop) {
        found = FindPainting(*this, m_desktop, me);
    }
    if (!found)
        return false;
    // A paint asked for only by RDW_INTERNALPAINT is generated once.
    if (Window* w = Find(found); w && w->update.IsEmpty() && !w->ncPaint)
        w->internalPaint = false;
    msg = MSG{found, WM_PAINT, 0, 0, 0, POINT{0, 0}};
    return true;
}

void WindowManager::OnMessageRetrieved(MSG& msg, UINT removeFlags)
{
    const int code = (removeFlags & PM_REMOVE) ? HC_ACTION : HC_NOREMOVE;
    bool eaten = false;
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && HasHooks(WH_KEYBOARD)) {
        eaten = CallHooks(WH_KEYBOARD, code, msg.wParam, msg.lParam & 0xFFFFFFFF) != 0;
    } else if (((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK)) &&
               HasHooks(WH_MOUSE)) {
        MOUSEHOOKSTRUCT info{msg.pt, msg.hwnd, HTCLIENT, 0};
        eaten = CallHooks(WH_MOUSE, code, msg.message, reinterpret_cast<LPARAM>(&info)) != 0;
    }
    if (eaten)
        msg.message = WM_NULL;
    if (HasHooks(WH_GETMESSAGE))
        CallHooks(WH_GETMESSAGE, HC_ACTION, removeFlags & PM_REMOVE, reinterpret_cast<LPARAM>(&msg));
}

NativeWindowKind WindowManager::KindOf(const Window& window)
{
    if (window.exStyle & WS_EX_TOOLWINDOW)
        return NativeWindowKind::Tool;
    if ((window.style & WS_POPUP) && (window.style & WS_CAPTION) != WS_CAPTION)
        return NativeWindowKind::Popup;
    return NativeWindowKind::Frame;
}

void WindowManager::CreateNative(Window& window)
{
    if (window.native || window.isDesktop || window.isMessageRoot)
        return;
    Window* parent = Find(window.parent);
    if (parent && parent->isMessageRoot)
        return;
    IWindowBackend& backend = GetWindowBackend();
    window.native = backend.CreateNativeWindow(window.Handle(), window.rect, KindOf(window));
    window.surface = window.native ? backend.GetSurface(window.native) : nullptr;
    MessageQueue::ForCurrentThread().SetEventPump(&backend);
}

void WindowManager::DestroyNative(Window& window)
{
    if (!window.native)
        return;
    GetWindowBackend().DestroyNativeWindow(window.native);
    window.native = 0;
    window.surface = nullptr;
}

void WindowManager::SyncNative(Window& window)
{
    if (!window.native)
        return;
    IWindowBackend& backend = GetWindowBackend();
    backend.MoveNativeWindow(window.native, window.rect);
    window.surface = backend.GetSurface(window.native);
    backend.ShowNativeWindow(window.native, (window.style & WS_VISIBLE) ? NativeVisibility::Shown
                                                                        : NativeVisibility::Hidden);
}
