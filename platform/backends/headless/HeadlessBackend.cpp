// The headless backend: memory surfaces with injected input and a virtual clock.
#include "platform/backends/headless/HeadlessBackend.h"

#include "platform/core/MessageQueue.h"
#include "platform/core/TickCount.h"
#include "platform/win/Gdi.h"
#include "platform/win/detail/KeyStates.h"
#include "platform/win/detail/SurfaceDC.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowManager.h"
#include "platform/win/detail/WindowServices.h"

#include <cairo.h>

HeadlessBackend::HeadlessBackend(SIZE screen) : MemoryBackend(screen)
{
    SetTickCountSource([this] { return m_now.load(); });
}

HeadlessBackend::~HeadlessBackend()
{
    SetTickCountSource({});
}

HeadlessBackend& HeadlessBackend::Install(SIZE screen)
{
    auto backend = std::make_unique<HeadlessBackend>(screen);
    HeadlessBackend& ref = *backend;
    SetWindowBackend(std::move(backend));
    InstallWindowServices();
    // The device capabilities describe the screen the windows live on.
    SetScreenDeviceSize(screen.cx, screen.cy);
    // Layout tests assert exact numbers: text uses the fixed-metric font.
    SetTestFontMode(true);
    return ref;
}

NativeWindowId HeadlessBackend::CreateNativeWindow(HWND hwnd, const RECT& screenRect, NativeWindowKind kind)
{
    NativeWindowId id = MemoryBackend::CreateNativeWindow(hwnd, screenRect, kind);
    if (id)
        m_hwnds[id] = hwnd;
    return id;
}

void HeadlessBackend::DestroyNativeWindow(NativeWindowId id)
{
    m_shown.erase(id);
    m_hwnds.erase(id);
    if (m_focused == id)
        m_focused = 0;
    MemoryBackend::DestroyNativeWindow(id);
}

void HeadlessBackend::ShowNativeWindow(NativeWindowId id, NativeVisibility visibility)
{
    MemoryBackend::ShowNativeWindow(id, visibility);
    auto it = m_hwnds.find(id);
    if (it == m_hwnds.end())
        return;
    if (visibility == NativeVisibility::Shown) {
        // A display exposes the whole of a window it maps.
        if (m_shown.insert(id).second) {
            BackendEvent event;
            event.kind = BackendEvent::Kind::Expose;
            event.hwnd = it->second;
            if (const Native* native = Find(it->second))
                event.rect = RECT{0, 0, native->rect.right - native->rect.left, native->rect.bottom - native->rect.top};
            PostBackendEvent(std::move(event));
        }
    } else {
        m_shown.erase(id);
        if (m_focused == id)
            m_focused = 0;
    }
}

void HeadlessBackend::FocusNativeWindow(NativeWindowId id)
{
    // The program asked for this focus change: it knows of it already. Reporting it back
    // would race with later requests (activating A then B would come back as "A focused"
    // after B was active), so only changes made by the display itself (FocusIn, FocusOut)
    // are reported.
    m_focused = id;
}

void HeadlessBackend::PumpEvents(DWORD timeoutMs)
{
    if (!m_idle.empty()) {
        auto action = std::move(m_idle.front());
        m_idle.pop_front();
        action();
        return;
    }
    MemoryBackend::PumpEvents(timeoutMs);
}

void HeadlessBackend::WhenIdle(std::function<void()> action)
{
    m_idle.push_back(std::move(action));
}

int HeadlessBackend::ProcessMessages()
{
    int count = 0;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessage(&msg);
        ++count;
    }
    return count;
}

void HeadlessBackend::Advance(DWORD ms)
{
    const ULONGLONG end = m_now.load() + ms;
    for (;;) {
        ProcessMessages();
        const DWORD next = MessageQueue::ForCurrentThread().TimeToNextTimer();
        if (next == INFINITE || m_now.load() + next > end)
            break;
        m_now += next ? next : 1;
    }
    m_now = end;
    ProcessMessages();
}

UINT HeadlessBackend::Modifiers() const
{
    UINT mods = m_buttons;
    auto down = [&](UINT a, UINT b, UINT c) { return m_keysDown.count(a) || m_keysDown.count(b) || m_keysDown.count(c); };
    if (down(VK_SHIFT, VK_LSHIFT, VK_RSHIFT))
        mods |= MK_SHIFT;
    if (down(VK_CONTROL, VK_LCONTROL, VK_RCONTROL))
        mods |= MK_CONTROL;
    if (down(VK_MENU, VK_LMENU, VK_RMENU))
        mods |= kModAlt;
    return mods;
}

void HeadlessBackend::PostInput(BackendEvent event)
{
    event.time = static_cast<DWORD>(m_now.load());
    PostBackendEvent(std::move(event));
}

void HeadlessBackend::PointerLeft()
{
    BackendEvent event;
    event.kind = BackendEvent::Kind::MouseLeave;
    event.modifiers = Modifiers();
    PostInput(std::move(event));
}

namespace {
UINT ButtonFlag(int button)
{
    switch (button) {
    case 1: return MK_LBUTTON;
    case 2: return MK_MBUTTON;
    case 3: return MK_RBUTTON;
    case 4: return MK_XBUTTON1;
    case 5: return MK_XBUTTON2;
    default: return 0;
    }
}
} // namespace

void HeadlessBackend::MouseMove(POINT pt)
{
    BackendEvent event;
    event.kind = BackendEvent::Kind::MouseMove;
    event.pt = pt;
    event.modifiers = Modifiers();
    PostInput(std::move(event));
}

void HeadlessBackend::MouseDown(int button, POINT pt)
{
    m_buttons |= ButtonFlag(button);
    BackendEvent event;
    event.kind = BackendEvent::Kind::ButtonDown;
    event.pt = pt;
    event.button = button;
    event.modifiers = Modifiers();
    PostInput(std::move(event));
}

void HeadlessBackend::MouseUp(int button, POINT pt)
{
    m_buttons &= ~ButtonFlag(button);
    BackendEvent event;
    event.kind = BackendEvent::Kind::ButtonUp;
    event.pt = pt;
    event.button = button;
    event.modifiers = Modifiers();
    PostInput(std::move(event));
}

void HeadlessBackend::Click(int button, POINT pt)
{
    MouseDown(button, pt);
    MouseUp(button, pt);
}

void HeadlessBackend::Wheel(int delta, POINT pt, WheelAxis axis)
{
    BackendEvent event;
    event.kind = axis == WheelAxis::Vertical ? BackendEvent::Kind::Wheel : BackendEvent::Kind::HWheel;
    event.pt = pt;
    event.delta = delta;
    event.modifiers = Modifiers();
    PostInput(std::move(event));
}

void HeadlessBackend::KeyDown(UINT vk, const std::string& text)
{
    BackendEvent event;
    event.kind = BackendEvent::Kind::KeyDown;
    event.vk = vk;
    event.scan = ScanCodeOf(vk);
    event.repeat = !m_keysDown.insert(vk).second;
    event.text = text;
    event.modifiers = Modifiers();
    PostInput(std::move(event));
}

void HeadlessBackend::KeyUp(UINT vk)
{
    m_keysDown.erase(vk);
    BackendEvent event;
    event.kind = BackendEvent::Kind::KeyUp;
    event.vk = vk;
    event.scan = ScanCodeOf(vk);
    event.modifiers = Modifiers();
    PostInput(std::move(event));
}

void HeadlessBackend::Key(UINT vk, const std::string& text)
{
    KeyDown(vk, text);
    KeyUp(vk);
}

void HeadlessBackend::FocusIn(HWND hwnd)
{
    BackendEvent event;
    event.kind = BackendEvent::Kind::FocusIn;
    event.hwnd = hwnd;
    PostInput(std::move(event));
}

void HeadlessBackend::FocusOut(HWND hwnd)
{
    BackendEvent event;
    event.kind = BackendEvent::Kind::FocusOut;
    event.hwnd = hwnd;
    PostInput(std::move(event));
}

void HeadlessBackend::Close(HWND hwnd)
{
    BackendEvent event;
    event.kind = BackendEvent::Kind::Close;
    event.hwnd = hwnd;
    PostInput(std::move(event));
}

void HeadlessBackend::Configure(HWND hwnd, const RECT& screenRect)
{
    BackendEvent event;
    event.kind = BackendEvent::Kind::Configure;
    event.hwnd = hwnd;
    event.rect = screenRect;
    PostInput(std::move(event));
}

cairo_surface_t* HeadlessBackend::Capture(HWND hwnd)
{
    WindowManager& wm = WindowManager::Get();
    Window* window = WindowManager::Find(hwnd);
    if (!window)
        return nullptr;
    Window* top = wm.SurfaceOwner(*window);
    if (!top || !top->surface)
        return nullptr;
    RECT area = wm.RectInSurface(*window, true);
    const int width = std::max<int>(1, area.right - area.left);
    const int height = std::max<int>(1, area.bottom - area.top);
    cairo_surface_flush(top->surface);
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(copy);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, top->surface, -area.left, -area.top);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(copy);
    return copy;
}

bool HeadlessBackend::WritePng(HWND hwnd, const std::string& path)
{
    cairo_surface_t* copy = Capture(hwnd);
    if (!copy)
        return false;
    const bool ok = cairo_surface_write_to_png(copy, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(copy);
    return ok;
}
