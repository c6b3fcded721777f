// The input path from backend events to window messages.
#include "platform/win/detail/Input.h"

#include "platform/core/MessageQueue.h"
#include "platform/core/TickCount.h"
#include "platform/core/WindowHandle.h"
#include "platform/win/detail/CursorShape.h"
#include "platform/win/detail/KeyStates.h"
#include "platform/win/detail/MouseTracking.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowClass.h"

#include <cstdlib>
#include <utility>

namespace {

std::deque<BackendEvent>& Pending()
{
    thread_local std::deque<BackendEvent> pending;
    return pending;
}

struct ClickState {
    HWND hwnd = nullptr;
    int button = 0;
    bool client = false;
    DWORD time = 0;
    POINT pt{0, 0};
    bool valid = false;
};

ClickState& LastClick()
{
    thread_local ClickState click;
    return click;
}

void PostInputMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD time, POINT pt)
{
    auto queue = MessageQueue::ForThread(WindowTable::OwnerThread(hwnd));
    if (queue)
        queue->PostInput(MSG{hwnd, message, wParam, lParam, time, pt});
}

bool ContainsScreen(WindowManager& wm, const Window& w, POINT pt, bool clientArea)
{
    POINT o = clientArea ? wm.ClientOrigin(w) : wm.WindowOrigin(w);
    const LONG width = clientArea ? w.client.right - w.client.left : w.Width();
    const LONG height = clientArea ? w.client.bottom - w.client.top : w.Height();
    return pt.x >= o.x && pt.x < o.x + width && pt.y >= o.y && pt.y < o.y + height;
}

HWND HitTestFrom(HWND hwnd, POINT pt, int& hit)
{
    WindowManager& wm = WindowManager::Get();
    Window* w = WindowManager::Find(hwnd);
    if (!w)
        return nullptr;
    if (w->style & WS_DISABLED) {
        if (w->IsTopLevel()) {
            hit = HTERROR;
            return hwnd;
        }
        return nullptr;
    }
    if (!(w->style & WS_MINIMIZE) && ContainsScreen(wm, *w, pt, true)) {
        for (HWND child : wm.Children(hwnd)) {
            Window* c = WindowManager::Find(child);
            if (!c || !(c->style & WS_VISIBLE) || !ContainsScreen(wm, *c, pt, false))
                continue;
            if (HWND found = HitTestFrom(child, pt, hit))
                return found;
        }
    }
    LRESULT answer = SendMessage(hwnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    if (answer == HTTRANSPARENT || !IsWindow(hwnd))
        return nullptr;
    hit = static_cast<int>(answer);
    return hwnd;
}

UINT ButtonMessage(int button, bool down)
{
    switch (button) {
    case 1: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case 2: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    case 3: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    default: return 0;
    }
}

UINT ButtonKey(int button)
{
    switch (button) {
    case 1: return VK_LBUTTON;
    case 2: return VK_MBUTTON;
    case 3: return VK_RBUTTON;
    case 4: return VK_XBUTTON1;
    case 5: return VK_XBUTTON2;
    default: return 0;
    }
}

// The non-client twin of a client mouse message.
UINT NonClientMessage(UINT message)
{
    return message - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
}

// A press on a child tells its ancestors, nearest first, before the child sees it; a window
// with WS_EX_NOPARENTNOTIFY keeps the news from the windows above it.
void NotifyParentsOfClick(HWND child, UINT message, POINT screen)
{
    HWND hwnd = child;
    while (Window* w = WindowManager::Find(hwnd)) {
        if (!w->IsChild() || (w->exStyle & WS_EX_NOPARENTNOTIFY))
            return;
        HWND parent = w->parent;
        Window* p = WindowManager::Find(parent);
        if (!p || p->isDesktop || p->isMessageRoot)
            return;
        POINT local = screen;
        ScreenToClient(parent, &local);
        SendMessage(parent, WM_PARENTNOTIFY, MAKEWPARAM(message, 0), MAKELPARAM(local.x, local.y));
        hwnd = parent;
    }
}

// Whether the window's top-level window is disabled: a modal dialog runs over it, and what the
// keyboard does belongs to the dialog.
bool InDisabledWindow(HWND hwnd)
{
    const HWND top = GetAncestor(hwnd, GA_ROOT);
    return top != nullptr && !IsWindowEnabled(top);
}

bool WantsDoubleClicks(HWND hwnd)
{
    Window* w = WindowManager::Find(hwnd);
    return w && w->cls && (w->cls->style & CS_DBLCLKS);
}

// The window the wheel turns: the one that holds the mouse, else the one under the pointer,
// which passes the turn up to its parents when it has nothing to scroll. A pop-up holding the
// keys (a drop-down list) takes the turns made over the other windows, as it would with the
// mouse held: it stands over its owner and closes when the keys leave it.
HWND WheelTarget(POINT pt)
{
    WindowManager& wm = WindowManager::Get();
    if (wm.capture && IsWindow(wm.capture))
        return wm.capture;
    int hit;
    const HWND under = InputTranslator::HitTest(pt, hit);
    if (wm.focus && IsWindow(wm.focus)) {
        const HWND top = GetAncestor(wm.focus, GA_ROOT);
        Window* w = WindowManager::Find(top);
        if (w && WindowManager::KindOf(*w) == NativeWindowKind::Popup && (!under || GetAncestor(under, GA_ROOT) != top))
            return wm.focus;
    }
    if (under)
        return under;
    return wm.focus ? wm.focus : wm.active;
}

} // namespace

void InputTranslator::Translate(const BackendEvent& event)
{
    using Kind = BackendEvent::Kind;
    // The physical state changes as the event arrives, whatever waits before it.
    switch (event.kind) {
    case Kind::ButtonDown:
    case Kind::ButtonUp:
        KeyStates::SetAsync(ButtonKey(event.button), event.kind == Kind::ButtonDown);
        break;
    case Kind::KeyDown:
    case Kind::KeyUp:
        KeyStates::SetAsync(event.vk, event.kind == Kind::KeyDown);
        break;
    default:
        break;
    }
    switch (event.kind) {
    case Kind::MouseMove:
    case Kind::ButtonDown:
    case Kind::ButtonUp:
    case Kind::Wheel:
    case Kind::HWheel:
    case Kind::KeyDown:
    case Kind::KeyUp:
        KeyStates::TakeLockStates(event.vk, event.kind == Kind::KeyDown, event.kind == Kind::KeyUp, event.repeat,
                                  event.modifiers);
        break;
    default:
        break;
    }
    Pending().push_back(event);
    Drain();
}

namespace {
thread_local bool lastInputWasKey = false;
} // namespace

bool InputTranslator::LastInputWasKey()
{
    return lastInputWasKey;
}

void InputTranslator::Reset()
{
    Pending().clear();
    LastClick() = ClickState{};
    lastInputWasKey = false;
}

void InputTranslator::Replay(const BackendEvent& press)
{
    Pending().push_front(press);
    Drain();
}

void InputTranslator::Drain()
{
    auto& pending = Pending();
    while (!pending.empty()) {
        const bool key = pending.front().kind == BackendEvent::Kind::KeyDown ||
                         pending.front().kind == BackendEvent::Kind::KeyUp;
        // Mouse events wait for the mouse messages before them; keys also wait for clicks,
        // which may move the focus.
        const DWORD waiting = MessageQueue::ForCurrentThread().Status();
        if (waiting & (key ? (QS_KEY | QS_MOUSEBUTTON) : QS_MOUSE))
            return;
        BackendEvent event = std::move(pending.front());
        pending.pop_front();
        // Moves are coalesced: only the last of a run of moves counts.
        if (event.kind == BackendEvent::Kind::MouseMove && !pending.empty() &&
            pending.front().kind == BackendEvent::Kind::MouseMove && pending.front().modifiers == event.modifiers)
            continue;
        TranslateNow(event);
    }
}

void InputTranslator::TranslateNow(const BackendEvent& event)
{
    using Kind = BackendEvent::Kind;
    if (event.kind == BackendEvent::Kind::KeyDown || event.kind == BackendEvent::Kind::KeyUp)
        lastInputWasKey = true;
    else if (event.kind == BackendEvent::Kind::ButtonDown || event.kind == BackendEvent::Kind::ButtonUp)
        lastInputWasKey = false;
    switch (event.kind) {
    case Kind::MouseMove:
    case Kind::ButtonDown:
    case Kind::ButtonUp:
    case Kind::Wheel:
    case Kind::HWheel:
        TranslateMouse(event);
        return;
    case Kind::KeyDown:
    case Kind::KeyUp:
        TranslateKey(event);
        return;
    case Kind::MouseLeave:
        MouseTracking::OnPointerGone();
        return;
    default:
        return;
    }
}

HWND InputTranslator::HitTest(POINT screen, int& hitTest)
{
    WindowManager& wm = WindowManager::Get();
    hitTest = HTNOWHERE;
    for (HWND top : wm.Children(wm.Desktop())) {
        Window* w = WindowManager::Find(top);
        if (!w || !(w->style & WS_VISIBLE) || !ContainsScreen(wm, *w, screen, false))
            continue;
        if (HWND found = HitTestFrom(top, screen, hitTest))
            return found;
    }
    return nullptr;
}

void InputTranslator::TranslateMouse(const BackendEvent& event)
{
    using Kind = BackendEvent::Kind;
    WindowManager& wm = WindowManager::Get();
    const POINT pt = ClipCursorPoint(event.pt);
    const DWORD time = event.time ? event.time : GetTickCount();
    wm.SetCursorPos(pt);
    const UINT keys = event.modifiers & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL |
                                         MK_XBUTTON1 | MK_XBUTTON2);

    if (event.kind == Kind::Wheel || event.kind == Kind::HWheel) {
        const HWND target = WheelTarget(pt);
        if (target && !InDisabledWindow(target))
            PostInputMessage(target, event.kind == Kind::Wheel ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL,
                             MAKEWPARAM(keys, static_cast<short>(event.delta)), MAKELPARAM(pt.x, pt.y), time, pt);
        return;
    }

    UINT message = WM_MOUSEMOVE;
    if (event.kind != Kind::MouseMove) {
        message = ButtonMessage(event.button, event.kind == Kind::ButtonDown);
        if (!message)
            return;   // extra buttons send nothing here
    }

    HWND target;
    int hit = HTCLIENT;
    if (wm.capture && IsWindow(wm.capture)) {
        target = wm.capture;
    } else {
        target = HitTest(pt, hit);
        MouseTracking::OnPointerAt(target, hit, pt);
        if (!target) {
            // A press on the bare desktop takes the activation from a pop-up (a drop-down closes
            // on it), as the X11 backend reports a press on another program's window.
            if (event.kind == Kind::ButtonDown) {
                Window* active = WindowManager::Find(wm.active);
                if (active && WindowManager::KindOf(*active) == NativeWindowKind::Popup &&
                    !(active->exStyle & WS_EX_TOPMOST))
                    SetActiveWindow(nullptr);
            }
            return;
        }
        // The window under the pointer chooses the cursor before it sees the message.
        SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, message));
        if (!IsWindow(target))
            return;
        if (hit == HTERROR) {
            // A disabled window gets no mouse messages; a press on it brings forward the dialog
            // that holds it, whether or not a window manager moves the display's focus.
            if (event.kind == Kind::ButtonDown)
                wm.TakeDisplayFocus(target);
            return;
        }
    }
    const bool client = hit == HTCLIENT || target == wm.capture;

    if (event.kind == Kind::ButtonDown) {
        // A click in an inactive window activates it first, unless it says otherwise.
        HWND top = GetAncestor(target, GA_ROOT);
        if (top && top != wm.active) {
            int answer = MouseActivate(target, hit, message);
            if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT) {
                LastClick().valid = false;
                return;
            }
            if (!IsWindow(target))
                return;
        }
        // A second press of the same button on the same window, soon and near enough, is a
        // double click: always in the non-client area, in the client area with CS_DBLCLKS.
        ClickState& last = LastClick();
        const bool wants = !client || WantsDoubleClicks(target);
        const int halfX = GetSystemMetrics(SM_CXDOUBLECLK) / 2;
        const int halfY = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        if (wants && last.valid && last.hwnd == target && last.button == event.button && last.client == client &&
            time - last.time <= GetDoubleClickTime() && std::abs(pt.x - last.pt.x) <= halfX &&
            std::abs(pt.y - last.pt.y) <= halfY) {
            message += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
            last.valid = false;   // a third press starts over
        } else {
            last = ClickState{target, event.button, client, time, pt, true};
        }
    }

    if (event.kind == Kind::ButtonDown) {
        NotifyParentsOfClick(target, ButtonMessage(event.button, true), pt);
        if (!IsWindow(target))
            return;
    }

    if (client) {
        POINT local = pt;
        ScreenToClient(target, &local);
        PostInputMessage(target, message, keys, MAKELPARAM(local.x, local.y), time, pt);
    } else {
        PostInputMessage(target, NonClientMessage(message), static_cast<WPARAM>(hit), MAKELPARAM(pt.x, pt.y), time,
                         pt);
    }
}

void InputTranslator::TranslateKey(const BackendEvent& event)
{
    WindowManager& wm = WindowManager::Get();
    const bool down = event.kind == BackendEvent::Kind::KeyDown;
    const bool alt = (event.modifiers & kModAlt) != 0;
    const bool ctrl = (event.modifiers & MK_CONTROL) != 0;
    const bool altKey = event.vk == VK_MENU || event.vk == VK_LMENU || event.vk == VK_RMENU;
    // Alt released after another key was pressed with it is a plain key release: only Alt
    // pressed and released alone (a system key release) opens the menu bar.
    thread_local bool altCombined = false;
    bool altUsed = false;
    if (altKey && down && !event.repeat)
        altCombined = false;
    else if (!altKey && down && alt)
        altCombined = true;
    else if (altKey && !down)
        altUsed = std::exchange(altCombined, false);
    HWND target = wm.focus;
    // Keys for a window that a modal dialog disabled belong to the dialog: it takes the
    // activation back (it may have lost it to the display) and the keys with it.
    if (target && IsWindow(target) && InDisabledWindow(target)) {
        if (HWND popup = WindowManager::EnabledPopupOver(target)) {
            SetActiveWindow(popup);
            target = wm.focus;
        }
    }
    // Without a focus window the active window gets the keys as system keys.
    bool sys = ((alt && !ctrl) || event.vk == VK_F10 || altKey) && !altUsed;
    if (!target || !IsWindow(target)) {
        target = wm.active;
        sys = true;
    }
    if (!target || !IsWindow(target))
        return;
    const UINT message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    const LPARAM lParam = KeyMessageLParam(event, event.scan ? event.scan : ScanCodeOf(event.vk));
    const DWORD time = event.time ? event.time : GetTickCount();
    const MSG msg{target, message, event.vk, lParam, time, wm.cursorPos()};
    if (InDisabledWindow(target)) {
        // Nobody takes it, but the keys' state follows it all the same.
        KeyStates::OnMessageRetrieved(msg);
        return;
    }
    if (down && !event.text.empty())
        RememberKeyText(msg, event.text);
    PostInputMessage(target, message, event.vk, lParam, time, msg.pt);
}
