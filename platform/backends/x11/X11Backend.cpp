// The X11 backend: the display connection, native windows, presenting, cursors and the pump.
#include "platform/backends/x11/X11Backend.h"

#include "platform/backends/x11/X11Headers.h"
#include "platform/backends/x11/X11Shm.h"
#include "platform/backends/x11/X11WindowGlue.h"
#include "platform/win/detail/CursorShape.h"
#include "platform/win/detail/WindowServices.h"
#include "platform/win/WinUser.h"

#include <cairo.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <mutex>

// ---- Errors ----

namespace {
std::atomic<unsigned long> g_errorCount{0};
std::atomic<int> g_lastError{0};
std::atomic<bool> g_connectionLost{false};

int RecordError(Display*, XErrorEvent* error)
{
    g_lastError = error->error_code;
    ++g_errorCount;
    return 0;
}

int RecordIoError(Display*)
{
    g_connectionLost = true;
    return 0;
}

void KeepRunning(Display*, void*)
{
    // Without this, Xlib ends the process after an I/O error: the program keeps its data and
    // lets the user save instead.
    g_connectionLost = true;
}
} // namespace

namespace X11Errors {
void Install()
{
    static std::once_flag once;
    std::call_once(once, [] {
        XSetErrorHandler(RecordError);
        XSetIOErrorHandler(RecordIoError);
    });
}
unsigned long Count() { return g_errorCount.load(); }
int LastCode() { return g_lastError.load(); }
bool ConnectionLost() { return g_connectionLost.load(); }
} // namespace X11Errors

bool IsOverrideRedirectStyle(DWORD style, DWORD exStyle)
{
    if (!(style & WS_POPUP) || (exStyle & WS_EX_APPWINDOW))
        return false;
    return (style & WS_CAPTION) != WS_CAPTION || (exStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST)) != 0;
}

// ---- Opening ----

std::unique_ptr<X11Backend> X11Backend::Open(const char* displayName, std::string& error)
{
    std::unique_ptr<X11Backend> backend(new X11Backend());
    if (!backend->Init(displayName, error))
        return nullptr;
    return backend;
}

X11Backend* X11Backend::Install(const char* displayName, std::string& error)
{
    std::unique_ptr<X11Backend> backend = Open(displayName, error);
    if (!backend)
        return nullptr;
    X11Backend* raw = backend.get();
    const SIZE screen = raw->ScreenSize();
    SetWindowBackend(std::move(backend));
    InstallWindowServices();
    X11Glue::SetScreenSize(screen.cx, screen.cy);
    return raw;
}

bool X11Backend::Init(const char* displayName, std::string& error)
{
    X11Errors::Install();
    const char* name = (displayName && *displayName) ? displayName : nullptr;
    m_display = XOpenDisplay(name);
    if (!m_display) {
        const char* shown = name ? name : std::getenv("DISPLAY");
        error = std::string("cannot open the X display \"") + (shown ? shown : "") + "\"";
        return false;
    }
    XSetIOErrorExitHandler(m_display, KeepRunning, nullptr);
    m_screen = DefaultScreen(m_display);
    m_root = RootWindow(m_display, m_screen);
    m_visual = DefaultVisual(m_display, m_screen);
    m_depth = DefaultDepth(m_display, m_screen);
    m_colormap = DefaultColormap(m_display, m_screen);
    m_gc = XCreateGC(m_display, m_root, 0, nullptr);
    m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);

    // Shared memory only works when the server runs on this machine; a display name with a host
    // part goes over the network.
    const char* shown = DisplayString(m_display);
    const bool local = shown && (shown[0] == ':' || std::strncmp(shown, "unix:", 5) == 0);
    m_useShm = local && XShmQueryExtension(m_display);

    // Auto-repeat reported as repeated presses without releases between them.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(m_display, True, &supported);

    // Num Lock is one of the eight modifiers in the events' state, whichever the keymap says.
    if (XModifierKeymap* map = XGetModifierMapping(m_display)) {
        const KeyCode numLock = XKeysymToKeycode(m_display, XK_Num_Lock);
        for (int mod = 0; numLock && mod < 8 && !m_numLockMask; ++mod)
            for (int k = 0; k < map->max_keypermod; ++k)
                if (map->modifiermap[mod * map->max_keypermod + k] == numLock)
                    m_numLockMask = 1u << mod;
        XFreeModifiermap(map);
    }

    // Text input goes through an input method when one can be opened (dead keys, compose).
    // The method takes the user's locale (or UTF-8) when it is opened; the process keeps its
    // own character classification afterwards, so the locale is put back.
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    const std::string previous = current ? current : "C";
    if (!std::setlocale(LC_CTYPE, "") || !XSupportsLocale())
        std::setlocale(LC_CTYPE, "C.UTF-8");
    if (XSupportsLocale()) {
        XSetLocaleModifiers("");
        m_im = XOpenIM(m_display, nullptr, nullptr, nullptr);
    }
    std::setlocale(LC_CTYPE, previous.c_str());

    auto atom = [&](const char* n) { return XInternAtom(m_display, n, False); };
    m_atoms.wmProtocols = atom("WM_PROTOCOLS");
    m_atoms.wmDeleteWindow = atom("WM_DELETE_WINDOW");
    m_atoms.motifHints = atom("_MOTIF_WM_HINTS");
    m_atoms.netWmName = atom("_NET_WM_NAME");
    m_atoms.utf8String = atom("UTF8_STRING");
    m_atoms.clipboard = atom("CLIPBOARD");
    m_atoms.targets = atom("TARGETS");
    m_atoms.vostrelSelection = atom("VOSTREL_SELECTION");
    m_atoms.netWmWindowType = atom("_NET_WM_WINDOW_TYPE");
    m_atoms.typeNormal = atom("_NET_WM_WINDOW_TYPE_NORMAL");
    m_atoms.typeUtility = atom("_NET_WM_WINDOW_TYPE_UTILITY");
    m_atoms.typePopupMenu = atom("_NET_WM_WINDOW_TYPE_POPUP_MENU");
    m_atoms.incr = atom("INCR");
    m_atoms.timestamp = atom("TIMESTAMP");
    m_atoms.vostrelStamp = atom("VOSTREL_TIMESTAMP");
    m_atoms.netWmState = atom("_NET_WM_STATE");
    m_atoms.stateAbove = atom("_NET_WM_STATE_ABOVE");
    m_atoms.typeDialog = atom("_NET_WM_WINDOW_TYPE_DIALOG");
    m_atoms.stateModal = atom("_NET_WM_STATE_MODAL");

    // An unmapped window that owns the selection and receives other programs' answers.
    XSetWindowAttributes attrs{};
    attrs.event_mask = PropertyChangeMask;
    m_clipWindow = XCreateWindow(m_display, m_root, -10, -10, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent,
                                 CWEventMask, &attrs);
    XFlush(m_display);
    return true;
}

X11Backend::~X11Backend()
{
    if (!m_display)
        return;
    while (!m_windows.empty())
        DestroyNativeWindow(m_windows.begin()->first);
    const bool alive = !X11Errors::ConnectionLost();
    if (alive) {
        for (auto& [id, cursor] : m_xcursors)
            XFreeCursor(m_display, cursor);
        if (m_blankCursor)
            XFreeCursor(m_display, m_blankCursor);
        if (m_imageCursor)
            XFreeCursor(m_display, m_imageCursor);
        if (m_clipWindow)
            XDestroyWindow(m_display, m_clipWindow);
    }
    if (m_im)
        XCloseIM(m_im);
    if (m_gc)
        XFreeGC(m_display, m_gc);
    XCloseDisplay(m_display);
    if (m_wakeFd >= 0)
        close(m_wakeFd);
}

// ---- Native windows ----

X11Backend::Native* X11Backend::FindNative(NativeWindowId id)
{
    auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : &it->second;
}

X11Backend::Native* X11Backend::FindByXid(unsigned long xid)
{
    auto it = m_byXid.find(xid);
    return it == m_byXid.end() ? nullptr : FindNative(it->second);
}

unsigned long X11Backend::XWindowOf(HWND hwnd) const
{
    for (auto& [id, native] : m_windows)
        if (native.hwnd == hwnd)
            return native.xid;
    return 0;
}

namespace {
cairo_surface_t* NewSurface(int width, int height)
{
    return cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(1, width), std::max(1, height));
}

int WidthOf(const RECT& r) { return std::max<int>(1, r.right - r.left); }
int HeightOf(const RECT& r) { return std::max<int>(1, r.bottom - r.top); }

// The hints that ask a window manager for no decoration at all (the program draws its own
// frames and captions), and for no more functions than the window's own frame offers.
struct MotifHints {
    unsigned long flags;
    unsigned long functions;
    unsigned long decorations;
    long inputMode;
    unsigned long status;
};
constexpr unsigned long kMotifHintsFunctions = 1UL << 0;
constexpr unsigned long kMotifHintsDecorations = 1UL << 1;
constexpr unsigned long kMotifResize = 1UL << 1;
constexpr unsigned long kMotifMove = 1UL << 2;
constexpr unsigned long kMotifMinimize = 1UL << 3;
constexpr unsigned long kMotifMaximize = 1UL << 4;
constexpr unsigned long kMotifClose = 1UL << 5;
} // namespace

void X11Backend::MakeImage(Native& native)
{
    native.image = std::make_unique<X11Image>(m_display, static_cast<Visual*>(m_visual), m_depth, WidthOf(native.rect),
                                              HeightOf(native.rect),
                                              m_useShm ? X11Image::Transport::SharedMemory : X11Image::Transport::Plain);
    if (m_useShm && !native.image->IsShared())
        m_useShm = false;   // the server would not attach our memory: stay with plain images
}

NativeWindowId X11Backend::CreateNativeWindow(HWND hwnd, const RECT& screenRect, NativeWindowKind kind)
{
    if (!m_display || X11Errors::ConnectionLost())
        return 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    X11Glue::WindowStyles(hwnd, style, exStyle);

    Native native;
    native.hwnd = hwnd;
    native.rect = screenRect;
    native.overrideRedirect = IsOverrideRedirectStyle(style, exStyle);
    native.topmost = (exStyle & WS_EX_TOPMOST) != 0;
    // Topmost pop-ups (a splash screen) stay up whatever is clicked elsewhere: they hold nothing.
    native.popup = native.overrideRedirect && kind == NativeWindowKind::Popup && !native.topmost;

    XSetWindowAttributes attrs{};
    attrs.background_pixmap = None;   // the backing surface paints everything: no flash of grey
    attrs.bit_gravity = NorthWestGravity;
    attrs.colormap = m_colormap;
    attrs.border_pixel = 0;
    attrs.override_redirect = native.overrideRedirect ? True : False;
    attrs.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                       ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask | FocusChangeMask;
    native.xid = XCreateWindow(m_display, m_root, screenRect.left, screenRect.top,
                               static_cast<unsigned>(WidthOf(screenRect)), static_cast<unsigned>(HeightOf(screenRect)),
                               0, m_depth, InputOutput, static_cast<Visual*>(m_visual),
                               CWBackPixmap | CWBitGravity | CWColormap | CWBorderPixel | CWOverrideRedirect | CWEventMask,
                               &attrs);
    if (!native.xid)
        return 0;

    XClassHint classHint{};
    char resName[] = "vostrel";
    char resClass[] = "vostrel";
    classHint.res_name = resName;
    classHint.res_class = resClass;
    XSetClassHint(m_display, native.xid, &classHint);
    XSetWMProtocols(m_display, native.xid, &m_atoms.wmDeleteWindow, 1);
    // The program places its windows itself.
    XSizeHints sizeHints{};
    sizeHints.flags = USPosition | USSize;
    sizeHints.x = screenRect.left;
    sizeHints.y = screenRect.top;
    sizeHints.width = WidthOf(screenRect);
    sizeHints.height = HeightOf(screenRect);
    XSetWMNormalHints(m_display, native.xid, &sizeHints);
    XWMHints wmHints{};
    wmHints.flags = InputHint | StateHint;
    wmHints.input = True;
    wmHints.initial_state = NormalState;
    XSetWMHints(m_display, native.xid, &wmHints);
    native.kind = kind;
    SetManagerHints(native);

    if (m_im)
        native.ic = XCreateIC(m_im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, native.xid,
                              XNFocusWindow, native.xid, nullptr);

    native.surface = NewSurface(WidthOf(screenRect), HeightOf(screenRect));
    MakeImage(native);
    const NativeWindowId id = m_next++;
    m_byXid[native.xid] = id;
    auto& stored = m_windows.emplace(id, std::move(native)).first->second;
    UpdateTitle(stored);
    ApplyCursor(stored);
    XFlush(m_display);
    return id;
}

void X11Backend::DestroyNativeWindow(NativeWindowId id)
{
    Native* native = FindNative(id);
    if (!native)
        return;
    const bool alive = !X11Errors::ConnectionLost();
    if (native->ic)
        XDestroyIC(native->ic);
    native->image.reset();
    if (alive) {
        XDestroyWindow(m_display, native->xid);
        XFlush(m_display);
    }
    if (m_focusPendingMap == native->xid)
        m_focusPendingMap = 0;
    if (m_grabXid == native->xid)
        ReleasePointerGrab();
    cairo_surface_destroy(native->surface);
    m_byXid.erase(native->xid);
    m_windows.erase(id);
}

cairo_surface_t* X11Backend::GetSurface(NativeWindowId id)
{
    Native* native = FindNative(id);
    return native ? native->surface : nullptr;
}

void X11Backend::UpdateTitle(Native& native)
{
    SetTitle(native, X11Glue::WindowText(native.hwnd));
}

void X11Backend::SetNativeTitle(NativeWindowId id, const std::string& title)
{
    Native* native = FindNative(id);
    if (!native || X11Errors::ConnectionLost())
        return;
    SetTitle(*native, title);
    // Wait until the server has the new title, so that a window manager or another client asking
    // right after the call already reads it; titles change seldom, the round trip costs little.
    XSync(m_display, False);
}

void X11Backend::SetTitle(Native& native, const std::string& title)
{
    if (title == native.title && !title.empty())
        return;
    native.title = title;
    XChangeProperty(m_display, native.xid, m_atoms.netWmName, m_atoms.utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    XStoreName(m_display, native.xid, title.c_str());
}

void X11Backend::ShowNativeWindow(NativeWindowId id, NativeVisibility visibility)
{
    Native* native = FindNative(id);
    if (!native || X11Errors::ConnectionLost())
        return;
    const bool show = visibility == NativeVisibility::Shown;
    if (show == native->mapped)
        return;
    native->mapped = show;
    if (show) {
        UpdateTitle(*native);
        if (!native->overrideRedirect)
            SetManagerHints(*native);
        XMapRaised(m_display, native->xid);
        KeepTopmostAbove(*native);
    } else {
        native->viewable = false;
        native->iconic = false;
        if (m_grabXid == native->xid)
            ReleasePointerGrab();
        if (native->overrideRedirect)
            XUnmapWindow(m_display, native->xid);
        else
            XWithdrawWindow(m_display, native->xid, m_screen);
    }
    XFlush(m_display);
}

void X11Backend::UpdateTopmost(Native& native)
{
    DWORD style = 0;
    DWORD exStyle = 0;
    X11Glue::WindowStyles(native.hwnd, style, exStyle);
    const bool topmost = (exStyle & WS_EX_TOPMOST) != 0;
    if (topmost == native.topmost)
        return;
    native.topmost = topmost;
    WriteWmState(native);
    if (native.mapped && !native.overrideRedirect) {
        // A window manager learns of a change to a mapped window by a request to the root.
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = native.xid;
        event.xclient.message_type = m_atoms.netWmState;
        event.xclient.format = 32;
        event.xclient.data.l[0] = topmost ? 1 : 0;   // add or remove
        event.xclient.data.l[1] = static_cast<long>(m_atoms.stateAbove);
        event.xclient.data.l[3] = 1;                  // from an application
        XSendEvent(m_display, m_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    }
}

void X11Backend::SetManagerHints(Native& native)
{
    DWORD style = 0;
    DWORD exStyle = 0;
    X11Glue::WindowStyles(native.hwnd, style, exStyle);
    const HWND owner = X11Glue::Owner(native.hwnd);
    const unsigned long ownerXid = owner != nullptr ? XWindowOf(owner) : 0;
    native.modal = ownerXid != 0 && !X11Glue::Enabled(owner);
    if (ownerXid != 0)
        XSetTransientForHint(m_display, native.xid, ownerXid);
    else
        XDeleteProperty(m_display, native.xid, XA_WM_TRANSIENT_FOR);

    unsigned long type = m_atoms.typeNormal;
    if (native.overrideRedirect)
        type = m_atoms.typePopupMenu;
    else if (native.kind == NativeWindowKind::Tool)
        type = m_atoms.typeUtility;
    else if (ownerXid != 0)
        type = m_atoms.typeDialog;
    XChangeProperty(m_display, native.xid, m_atoms.netWmWindowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&type), 1);

    // A modal dialog minimised alone would leave its owner refusing the mouse with nothing in
    // front of it: the window manager offers minimising only where the frame has its box.
    unsigned long functions = kMotifMove | kMotifClose;
    if (style & WS_THICKFRAME)
        functions |= kMotifResize;
    if ((style & WS_MINIMIZEBOX) && !native.modal)
        functions |= kMotifMinimize;
    if (style & WS_MAXIMIZEBOX)
        functions |= kMotifMaximize;
    MotifHints hints{kMotifHintsFunctions | kMotifHintsDecorations, functions, 0, 0, 0};
    XChangeProperty(m_display, native.xid, m_atoms.motifHints, m_atoms.motifHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&hints), 5);
    WriteWmState(native);
}

void X11Backend::WriteWmState(const Native& native)
{
    // Read by a window manager when it maps the window; while mapped it follows requests.
    unsigned long states[2];
    int count = 0;
    if (native.topmost)
        states[count++] = m_atoms.stateAbove;
    if (native.modal)
        states[count++] = m_atoms.stateModal;
    if (count == 0)
        XDeleteProperty(m_display, native.xid, m_atoms.netWmState);
    else
        XChangeProperty(m_display, native.xid, m_atoms.netWmState, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(states), count);
}

void X11Backend::KeepTopmostAbove(const Native& raised)
{
    if (raised.topmost)
        return;
    for (auto& [id, other] : m_windows) {
        if (other.topmost && other.mapped && other.xid != raised.xid)
            XRaiseWindow(m_display, other.xid);
    }
}

void X11Backend::MoveNativeWindow(NativeWindowId id, const RECT& screenRect)
{
    Native* native = FindNative(id);
    if (!native)
        return;
    const bool resized = WidthOf(native->rect) != WidthOf(screenRect) || HeightOf(native->rect) != HeightOf(screenRect);
    const bool moved = !EqualRect(&native->rect, &screenRect);
    native->rect = screenRect;
    if (resized) {
        // A new surface of the new size with the old pixels at the top left.
        cairo_surface_t* surface = NewSurface(WidthOf(screenRect), HeightOf(screenRect));
        cairo_t* cr = cairo_create(surface);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, native->surface, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(native->surface);
        native->surface = surface;
        if (!X11Errors::ConnectionLost())
            MakeImage(*native);
    }
    if (X11Errors::ConnectionLost())
        return;
    UpdateTopmost(*native);   // z-order changes, HWND_TOPMOST among them, come through here
    if (moved) {
        if (native->configures.size() > 32)
            native->configures.pop_front();
        native->configures.push_back(screenRect);
        XMoveResizeWindow(m_display, native->xid, screenRect.left, screenRect.top,
                          static_cast<unsigned>(WidthOf(screenRect)), static_cast<unsigned>(HeightOf(screenRect)));
    }
    if (native->mapped) {
        UpdateTitle(*native);
        XRaiseWindow(m_display, native->xid);
        KeepTopmostAbove(*native);
    }
    XFlush(m_display);
}

void X11Backend::Present(NativeWindowId id, const RECT& damage)
{
    Native* native = FindNative(id);
    if (!native || !native->image || !native->image->IsValid() || X11Errors::ConnectionLost())
        return;
    RECT r = damage;
    RECT bounds{0, 0, std::min(native->image->Width(), cairo_image_surface_get_width(native->surface)),
                std::min(native->image->Height(), cairo_image_surface_get_height(native->surface))};
    if (!IntersectRect(&r, &r, &bounds))
        return;
    cairo_surface_flush(native->surface);
    const uint8_t* src = cairo_image_surface_get_data(native->surface);
    const int stride = cairo_image_surface_get_stride(native->surface);
    if (!src)
        return;

    // The screen overlay (drag rectangles) over the part of the window that is on the screen.
    cairo_surface_t* overlay = X11Glue::ScreenOverlay();
    RECT onScreen{0, 0, 0, 0};
    if (overlay) {
        cairo_surface_flush(overlay);
        RECT screen{-native->rect.left, -native->rect.top,
                    cairo_image_surface_get_width(overlay) - native->rect.left,
                    cairo_image_surface_get_height(overlay) - native->rect.top};
        IntersectRect(&onScreen, &r, &screen);
    }
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (!IsRectEmpty(&onScreen) && EqualRect(&onScreen, &r)) {
        const uint8_t* ov = cairo_image_surface_get_data(overlay) +
                            static_cast<size_t>(r.top + native->rect.top) * cairo_image_surface_get_stride(overlay) +
                            static_cast<size_t>(r.left + native->rect.left) * 4;
        native->image->CopyFrom(src, stride, ov, cairo_image_surface_get_stride(overlay), r.left, r.top, w, h);
    } else {
        native->image->CopyFrom(src, stride, nullptr, 0, r.left, r.top, w, h);
        if (!IsRectEmpty(&onScreen)) {
            const uint8_t* ov = cairo_image_surface_get_data(overlay) +
                                static_cast<size_t>(onScreen.top + native->rect.top) * cairo_image_surface_get_stride(overlay) +
                                static_cast<size_t>(onScreen.left + native->rect.left) * 4;
            native->image->CopyFrom(src, stride, ov, cairo_image_surface_get_stride(overlay), onScreen.left, onScreen.top,
                                    onScreen.right - onScreen.left, onScreen.bottom - onScreen.top);
        }
    }
    native->image->Put(native->xid, m_gc, r.left, r.top, w, h);
    XFlush(m_display);
}

void X11Backend::Sync()
{
    if (m_display && !X11Errors::ConnectionLost())
        XSync(m_display, False);
}

void X11Backend::FocusNativeWindow(NativeWindowId id)
{
    Native* native = FindNative(id);
    if (!native || X11Errors::ConnectionLost())
        return;
    if (m_grabXid != 0 && m_grabXid != native->xid)
        ReleasePointerGrab();
    if (!native->viewable) {
        // A window a window manager minimised comes back when the program gives it the keys
        // (a mapping request takes it out of the minimised state).
        if (native->iconic && native->mapped && !native->overrideRedirect) {
            native->iconic = false;
            XMapRaised(m_display, native->xid);
            XFlush(m_display);
        }
        // Focusing a window the server has not mapped yet is an error: wait for its MapNotify.
        m_focusPendingMap = native->xid;
        return;
    }
    m_focusPendingMap = 0;
    RequestFocus(native->xid);
    GrabPointerFor(*native);
    XFlush(m_display);
}

bool X11Backend::FocusChangeOvertaken(const BackendEvent& event)
{
    // An event carries the serial of the program's last request the server had carried out
    // when the change happened. A window manager's change reported before the program's later
    // request (read in the same batch, or only after the request went out) would otherwise
    // undo the activation the program made, and the window holding the display's keys would
    // be drawn and treated as inactive.
    return event.order != 0 && event.order < m_lastFocusRequest;
}

void X11Backend::GrabPointerFor(Native& native)
{
    if (!native.popup || !native.viewable || m_grabXid == native.xid || X11Errors::ConnectionLost())
        return;
    // Owner events: presses in the program's own windows still go to them as usual; only those
    // elsewhere come to the pop-up. One try: another client holding the pointer (a window
    // manager's move, another program's menu) leaves the pop-up to close by its own means.
    const int status = XGrabPointer(m_display, native.xid, True,
                                    ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                                    GrabModeAsync, None, None, CurrentTime);
    if (status == GrabSuccess)
        m_grabXid = native.xid;
}

void X11Backend::ReleasePointerGrab()
{
    if (m_grabXid == 0)
        return;
    m_grabXid = 0;
    if (!X11Errors::ConnectionLost()) {
        XUngrabPointer(m_display, CurrentTime);
        XFlush(m_display);
    }
}

void X11Backend::RequestFocus(unsigned long xid)
{
    // The program asked for this change: it knows of it already, and the display's focus
    // events for it are not reported back (activating A then B would otherwise come back as
    // "A focused" after B was active). The events a request causes carry its serial; the no-op
    // after it makes sure that later changes by others carry a higher one.
    m_lastFocusRequest = NextRequest(m_display);
    m_focusSerials.insert(m_lastFocusRequest);
    XSetInputFocus(m_display, xid, RevertToParent, CurrentTime);
    XNoOp(m_display);
}

// ---- Cursors ----

namespace {
unsigned int FontCursorOf(int standardId)
{
    switch (standardId) {
    case 32513: return XC_xterm;                 // IDC_IBEAM
    case 32514: return XC_watch;                 // IDC_WAIT
    case 32515: return XC_crosshair;             // IDC_CROSS
    case 32516: return XC_sb_up_arrow;           // IDC_UPARROW
    case 32640: return XC_fleur;                 // IDC_SIZE
    case 32641: return XC_icon;                  // IDC_ICON
    case 32642: return XC_bottom_right_corner;   // IDC_SIZENWSE
    case 32643: return XC_bottom_left_corner;    // IDC_SIZENESW
    case 32644: return XC_sb_h_double_arrow;     // IDC_SIZEWE
    case 32645: return XC_sb_v_double_arrow;     // IDC_SIZENS
    case 32646: return XC_fleur;                 // IDC_SIZEALL
    case 32648: return XC_X_cursor;              // IDC_NO
    case 32649: return XC_hand2;                 // IDC_HAND
    case 32650: return XC_watch;                 // IDC_APPSTARTING
    case 32651: return XC_question_arrow;        // IDC_HELP
    default: return XC_left_ptr;                 // IDC_ARROW and anything unknown
    }
}
} // namespace

unsigned long X11Backend::XCursorFor(HCURSOR cursor)
{
    if (!cursor) {
        if (!m_blankCursor) {
            // ShowCursor(FALSE): a cursor of one transparent pixel.
            char bits[1] = {0};
            Pixmap empty = XCreateBitmapFromData(m_display, m_root, bits, 1, 1);
            XColor black{};
            m_blankCursor = XCreatePixmapCursor(m_display, empty, empty, &black, &black, 0, 0);
            XFreePixmap(m_display, empty);
        }
        return m_blankCursor;
    }
    CursorShape shape;
    int id = 32512;
    if (GetCursorShape(cursor, shape)) {
        if (shape.standardId)
            id = shape.standardId;
        else if (shape.width > 0 && shape.height > 0)
            return XImageCursor(shape);
    }
    auto it = m_xcursors.find(id);
    if (it != m_xcursors.end())
        return it->second;
    const unsigned long xcursor = XCreateFontCursor(m_display, FontCursorOf(id));
    m_xcursors[id] = xcursor;
    return xcursor;
}

// A cursor made from a bitmap, as a two-colour X cursor (black where the image is dark, white
// elsewhere). The last one made is kept while the same pixels are asked for again.
unsigned long X11Backend::XImageCursor(const CursorShape& shape)
{
    std::vector<BYTE> source;
    std::vector<BYTE> mask;
    CursorBitmaps(shape, source, mask);
    if (m_imageCursor && source == m_imageSource && mask == m_imageMask && shape.hotSpot.x == m_imageHotSpot.x &&
        shape.hotSpot.y == m_imageHotSpot.y)
        return m_imageCursor;
    Pixmap sourcePixmap = XCreateBitmapFromData(m_display, m_root, reinterpret_cast<const char*>(source.data()),
                                                static_cast<unsigned>(shape.width), static_cast<unsigned>(shape.height));
    Pixmap maskPixmap = XCreateBitmapFromData(m_display, m_root, reinterpret_cast<const char*>(mask.data()),
                                              static_cast<unsigned>(shape.width), static_cast<unsigned>(shape.height));
    XColor black{};
    XColor white{};
    white.red = white.green = white.blue = 0xFFFF;
    black.flags = white.flags = DoRed | DoGreen | DoBlue;
    const unsigned hotX = static_cast<unsigned>(std::clamp<LONG>(shape.hotSpot.x, 0, shape.width - 1));
    const unsigned hotY = static_cast<unsigned>(std::clamp<LONG>(shape.hotSpot.y, 0, shape.height - 1));
    const unsigned long made = XCreatePixmapCursor(m_display, sourcePixmap, maskPixmap, &black, &white, hotX, hotY);
    XFreePixmap(m_display, sourcePixmap);
    XFreePixmap(m_display, maskPixmap);
    if (!made)
        return XCursorFor(LoadCursor(nullptr, IDC_ARROW));
    // The windows still showing the previous one take the new one as SetCursor goes round them.
    if (m_imageCursor)
        XFreeCursor(m_display, m_imageCursor);
    m_imageCursor = made;
    m_imageSource = std::move(source);
    m_imageMask = std::move(mask);
    m_imageHotSpot = shape.hotSpot;
    return made;
}

void X11Backend::ApplyCursor(Native& native)
{
    XDefineCursor(m_display, native.xid, XCursorFor(m_cursorHidden ? nullptr : (m_cursor ? m_cursor : LoadCursor(nullptr, IDC_ARROW))));
}

void X11Backend::SetCursor(HCURSOR cursor)
{
    if (!m_display || X11Errors::ConnectionLost())
        return;
    m_cursorHidden = cursor == nullptr;
    if (cursor)
        m_cursor = cursor;
    for (auto& [id, native] : m_windows)
        ApplyCursor(native);
    XFlush(m_display);
}

// ---- The screen and the bell ----

SIZE X11Backend::ScreenSize()
{
    if (!m_display)
        return SIZE{1024, 768};
    return SIZE{DisplayWidth(m_display, m_screen), DisplayHeight(m_display, m_screen)};
}

RECT X11Backend::WorkArea()
{
    const SIZE screen = ScreenSize();
    const RECT whole{0, 0, screen.cx, screen.cy};
    if (!m_display || X11Errors::ConnectionLost())
        return whole;
    // The desktop publishes one x, y, width, height per virtual desktop: the current one's.
    auto cardinals = [&](const char* name, long count, std::vector<long>& out) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        const Atom property = XInternAtom(m_display, name, True);
        if (property == None
            || XGetWindowProperty(m_display, m_root, property, 0, count, False, XA_CARDINAL, &type, &format, &items,
                                  &after, &data) != Success)
            return false;
        if (type == XA_CARDINAL && format == 32 && data)
            out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + items);
        if (data)
            XFree(data);
        return !out.empty();
    };
    std::vector<long> desktop, area;
    long current = 0;
    if (cardinals("_NET_CURRENT_DESKTOP", 1, desktop))
        current = desktop.front();
    if (!cardinals("_NET_WORKAREA", 4 * 64, area))
        return whole;
    if (current < 0 || static_cast<size_t>(current) * 4 + 4 > area.size())
        current = 0;
    if (area.size() < 4)
        return whole;
    const long* a = area.data() + current * 4;
    // A value that does not lie on the screen is not believed.
    RECT r{static_cast<LONG>(a[0]), static_cast<LONG>(a[1]), static_cast<LONG>(a[0] + a[2]), static_cast<LONG>(a[1] + a[3])};
    if (a[0] < 0 || a[1] < 0 || a[2] <= 0 || a[3] <= 0 || r.right > screen.cx || r.bottom > screen.cy)
        return whole;
    return r;
}

void X11Backend::Beep(UINT)
{
    if (!m_display || X11Errors::ConnectionLost())
        return;
    XBell(m_display, 0);
    XFlush(m_display);
}

// ---- The pump ----

void X11Backend::Wake()
{
    if (m_wakeFd >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(m_wakeFd, &one, sizeof one);
    }
}

int X11Backend::DrainEvents()
{
    int count = 0;
    while (!X11Errors::ConnectionLost() && XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        ++count;
        // Nothing unwinds into Xlib's caller: a fault in one event costs only that event.
        try {
            HandleEvent(event);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "vostrel: an X event could not be handled: %s\n", e.what());
        } catch (...) {
            std::fprintf(stderr, "vostrel: an X event could not be handled\n");
        }
    }
    if (!m_outgoing.empty() && !X11Errors::ConnectionLost())
        DropStalledTransfers();
    return count;
}

void X11Backend::PumpEvents(DWORD timeoutMs)
{
    const bool lost = !m_display || X11Errors::ConnectionLost();
    if (!lost && DrainEvents() > 0) {
        uint64_t value;
        [[maybe_unused]] ssize_t got = read(m_wakeFd, &value, sizeof value);
        return;
    }
    pollfd fds[2]{};
    fds[0].fd = m_wakeFd;
    fds[0].events = POLLIN;
    fds[1].fd = lost ? -1 : ConnectionNumber(m_display);
    fds[1].events = POLLIN;
    const int timeout = timeoutMs == INFINITE ? -1 : static_cast<int>(std::min<DWORD>(timeoutMs, 0x7FFFFFFF));
    if (poll(fds, 2, timeout) > 0) {
        if (fds[0].revents & POLLIN) {
            uint64_t value;
            [[maybe_unused]] ssize_t got = read(m_wakeFd, &value, sizeof value);
        }
    }
    if (!lost)
        DrainEvents();
}
