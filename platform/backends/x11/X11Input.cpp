// The X11 backend's events: input, exposure, placement, focus and closing become backend events.
#include "platform/backends/x11/X11Backend.h"

#include "platform/backends/x11/X11Headers.h"
#include "platform/backends/x11/X11Keys.h"
#include "platform/core/TickCount.h"
#include "platform/win/WinUser.h"

#include <array>

UINT X11Backend::Modifiers(unsigned int state) const
{
    UINT mods = 0;
    if (state & ShiftMask)
        mods |= MK_SHIFT;
    if (state & ControlMask)
        mods |= MK_CONTROL;
    if (state & Mod1Mask)
        mods |= kModAlt;
    if (state & Button1Mask)
        mods |= MK_LBUTTON;
    if (state & Button2Mask)
        mods |= MK_MBUTTON;
    if (state & Button3Mask)
        mods |= MK_RBUTTON;
    // The lock keys' state comes with every event, so the program's idea of them follows the
    // keyboard even for presses made while another program had the focus.
    mods |= kModCapsLockKnown;
    if (state & LockMask)
        mods |= kModCapsLock;
    if (m_numLockMask) {
        mods |= kModNumLockKnown;
        if (state & m_numLockMask)
            mods |= kModNumLock;
    }
    return mods;
}

DWORD X11Backend::TickOf(unsigned long serverTime)
{
    // The server's clock in the tick count's terms: intervals (double-clicks) stay exact and
    // the times read like GetTickCount's.
    if (!serverTime)
        return 0;
    if (!m_haveTimeBase) {
        m_timeBase = static_cast<long long>(GetTickCount()) - static_cast<long long>(serverTime);
        m_haveTimeBase = true;
    }
    const DWORD tick = static_cast<DWORD>(static_cast<long long>(serverTime) + m_timeBase);
    return tick ? tick : 1;
}

void X11Backend::HandleEvent(XEvent& event)
{
    // Compose sequences and input methods take the keys they consume.
    if (m_im && XFilterEvent(&event, None))
        return;
    switch (event.type) {
    case SelectionRequest:
        HandleSelectionRequest(event);
        return;
    case SelectionNotify:
        HandleSelectionNotify(event);
        return;
    case PropertyNotify:
        HandlePropertyNotify(event);
        return;
    case SelectionClear:
        if (event.xselectionclear.selection == m_atoms.clipboard && event.xselectionclear.window == m_clipWindow) {
            // Another program took the clipboard: the next read asks it for the text.
            m_clipboardOwned = false;
            m_clipboardText.clear();
        }
        return;
    case MappingNotify:
        if (event.xmapping.request == MappingKeyboard || event.xmapping.request == MappingModifier)
            XRefreshKeyboardMapping(&event.xmapping);
        return;
    default:
        break;
    }
    Native* native = FindByXid(event.xany.window);
    if (!native)
        return;
    BackendEvent out;
    out.hwnd = native->hwnd;
    switch (event.type) {
    case kXExpose:
        out.kind = BackendEvent::Kind::Expose;
        out.rect = RECT{event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                        event.xexpose.y + event.xexpose.height};
        PostBackendEvent(std::move(out));
        return;
    case ConfigureNotify:
        HandleConfigure(*native, event);
        return;
    case ReparentNotify:
        native->framed = event.xreparent.parent != m_root;
        return;
    case MapNotify:
        native->viewable = true;
        native->iconic = false;
        if (m_focusPendingMap == native->xid) {
            m_focusPendingMap = 0;
            RequestFocus(native->xid);
            GrabPointerFor(*native);
        }
        return;
    case UnmapNotify:
        native->viewable = false;
        // Unmapped while the program shows it: a window manager minimised it.
        native->iconic = native->mapped && !native->overrideRedirect;
        return;
    case kXFocusIn:
    case kXFocusOut:
        HandleFocus(*native, event);
        return;
    case ClientMessage:
        if (event.xclient.message_type == m_atoms.wmProtocols && event.xclient.format == 32 &&
            static_cast<unsigned long>(event.xclient.data.l[0]) == m_atoms.wmDeleteWindow) {
            out.kind = BackendEvent::Kind::Close;
            PostBackendEvent(std::move(out));
        }
        return;
    case MotionNotify:
        if (HandleGrabbedPointer(*native, event))
            return;
        out.kind = BackendEvent::Kind::MouseMove;
        out.pt = POINT{event.xmotion.x_root, event.xmotion.y_root};
        out.modifiers = Modifiers(event.xmotion.state);
        out.time = TickOf(event.xmotion.time);
        PostBackendEvent(std::move(out));
        return;
    case EnterNotify:
        out.kind = BackendEvent::Kind::MouseMove;
        out.pt = POINT{event.xcrossing.x_root, event.xcrossing.y_root};
        out.modifiers = Modifiers(event.xcrossing.state);
        out.time = TickOf(event.xcrossing.time);
        PostBackendEvent(std::move(out));
        return;
    case LeaveNotify:
        // Grabs (a window manager's, a menu's) move the pointer nowhere.
        if (event.xcrossing.mode != NotifyNormal || event.xcrossing.detail == NotifyInferior)
            return;
        out.kind = BackendEvent::Kind::MouseLeave;
        out.pt = POINT{event.xcrossing.x_root, event.xcrossing.y_root};
        out.time = TickOf(event.xcrossing.time);
        PostBackendEvent(std::move(out));
        return;
    case ButtonPress:
    case ButtonRelease:
        if (HandleGrabbedPointer(*native, event))
            return;
        HandleButton(*native, event);
        return;
    case KeyPress:
    case KeyRelease:
        HandleKey(*native, event);
        return;
    default:
        return;
    }
}

bool X11Backend::HandleGrabbedPointer(Native& native, XEvent& event)
{
    if (m_grabXid == 0 || native.xid != m_grabXid)
        return false;
    // With owner events, what happens over the program's own windows is reported to them; what
    // reaches the pop-up from outside its bounds happened over another program or the desktop.
    const int x = event.type == MotionNotify ? event.xmotion.x : event.xbutton.x;
    const int y = event.type == MotionNotify ? event.xmotion.y : event.xbutton.y;
    if (x >= 0 && y >= 0 && x < native.rect.right - native.rect.left && y < native.rect.bottom - native.rect.top)
        return false;
    if (event.type == ButtonPress) {
        // A click elsewhere: the program loses the activation, as when a window manager gives
        // another program the focus, and the pop-up closes on it.
        ReleasePointerGrab();
        BackendEvent out;
        out.hwnd = native.hwnd;
        out.kind = BackendEvent::Kind::FocusOut;
        PostBackendEvent(std::move(out));
    }
    return true;
}

void X11Backend::HandleButton(Native& native, XEvent& event)
{
    const XButtonEvent& b = event.xbutton;
    BackendEvent out;
    out.hwnd = native.hwnd;
    out.pt = POINT{b.x_root, b.y_root};
    out.modifiers = Modifiers(b.state);
    out.time = TickOf(b.time);
    const bool press = event.type == ButtonPress;
    switch (b.button) {
    case 1:
    case 2:
    case 3: {
        out.kind = press ? BackendEvent::Kind::ButtonDown : BackendEvent::Kind::ButtonUp;
        out.button = static_cast<int>(b.button);
        // X reports the state before the event; the messages want it after (the button is
        // down in its own WM_LBUTTONDOWN and up in its WM_LBUTTONUP).
        const UINT flag = b.button == 1 ? MK_LBUTTON : b.button == 2 ? MK_MBUTTON : MK_RBUTTON;
        out.modifiers = press ? (out.modifiers | flag) : (out.modifiers & ~flag);
        break;
    }
    case 4:   // the wheel turned away from the user
    case 5:
        if (!press)
            return;
        out.kind = BackendEvent::Kind::Wheel;
        out.delta = b.button == 4 ? WHEEL_DELTA : -WHEEL_DELTA;
        break;
    case 6:   // tilted or pushed sideways: to the left, and to the right
    case 7:
        if (!press)
            return;
        out.kind = BackendEvent::Kind::HWheel;
        out.delta = b.button == 7 ? WHEEL_DELTA : -WHEEL_DELTA;
        break;
    case 8:   // the side buttons: back and forward
    case 9:
        out.kind = press ? BackendEvent::Kind::ButtonDown : BackendEvent::Kind::ButtonUp;
        out.button = b.button == 8 ? 4 : 5;
        break;
    default:
        return;
    }
    PostBackendEvent(std::move(out));
}

void X11Backend::HandleKey(Native& native, XEvent& event)
{
    XKeyEvent& k = event.xkey;
    const bool press = event.type == KeyPress;
    // The virtual key comes from the unshifted symbol (Shift+1 is still the key '1'); keypad
    // keys follow Num Lock.
    KeySym keysym = XLookupKeysym(&k, 0);
    std::array<char, 64> buffer{};
    std::string text;
    KeySym typed = NoSymbol;
    if (press) {
        int length = 0;
        if (native.ic) {
            Status status = 0;
            length = Xutf8LookupString(native.ic, &k, buffer.data(), static_cast<int>(buffer.size()) - 1, &typed, &status);
            if (status == XBufferOverflow) {
                std::string big(static_cast<size_t>(length) + 1, '\0');
                length = Xutf8LookupString(native.ic, &k, big.data(), length, &typed, &status);
                text.assign(big.data(), static_cast<size_t>(std::max(length, 0)));
            } else if (status == XLookupChars || status == XLookupBoth) {
                text.assign(buffer.data(), static_cast<size_t>(std::max(length, 0)));
            }
        } else {
            length = XLookupString(&k, buffer.data(), static_cast<int>(buffer.size()) - 1, &typed, nullptr);
            text = Latin1ToUtf8(buffer.data(), length);
        }
    } else {
        XLookupString(&k, buffer.data(), static_cast<int>(buffer.size()) - 1, &typed, nullptr);
    }
    if (typed != NoSymbol && IsKeypadKeysym(typed))
        keysym = typed;
    if (keysym == NoSymbol)
        keysym = typed;
    const X11Key key = KeyFromKeysym(keysym);
    if (!key.vk && text.empty())
        return;

    BackendEvent out;
    out.hwnd = native.hwnd;
    out.kind = press ? BackendEvent::Kind::KeyDown : BackendEvent::Kind::KeyUp;
    out.vk = key.vk;
    out.scan = key.scan;
    out.modifiers = Modifiers(k.state);
    out.time = TickOf(k.time);
    if (press) {
        // With detectable auto-repeat a held key sends presses only: a press of a key that is
        // down already is a repeat.
        out.repeat = !m_keysDown.insert(k.keycode).second;
        out.text = KeyText(key.vk, std::move(text));
    } else {
        m_keysDown.erase(k.keycode);
    }
    PostBackendEvent(std::move(out));
}

void X11Backend::HandleFocus(Native& native, XEvent& event)
{
    const XFocusChangeEvent& f = event.xfocus;
    // Grabs (a window manager moving a window, a menu) and the pointer's own focus changes are
    // not activations.
    if (f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyPointer || f.detail == NotifyInferior)
        return;
    const bool in = event.type == kXFocusIn;
    // Requests older than this event have had all their events.
    m_focusSerials.erase(m_focusSerials.begin(), m_focusSerials.lower_bound(f.serial));
    if (m_focusSerials.count(f.serial))
        return;   // the echo of the program's own request
    if (!in)
        m_keysDown.clear();
    BackendEvent out;
    out.hwnd = native.hwnd;
    out.kind = in ? BackendEvent::Kind::FocusIn : BackendEvent::Kind::FocusOut;
    out.order = f.serial;
    PostBackendEvent(std::move(out));
}

void X11Backend::HandleConfigure(Native& native, XEvent& event)
{
    const XConfigureEvent& c = event.xconfigure;
    int x = c.x;
    int y = c.y;
    if (!c.send_event && native.framed) {
        // The place is within the window manager's frame, which may itself be on its way to
        // where the window manager puts it (a frame is made at the screen's corner and moved
        // after): the window manager tells where the window stands by a synthetic event of its
        // own. Taken from here, a passing place would be asked for by the program in turn, and
        // a dialog would end at the corner instead of over its owner. Only the size is news.
        x = native.rect.left;
        y = native.rect.top;
    }
    const RECT rect{x, y, x + c.width, y + c.height};
    // The echo of a move the program made is not news; anything else the display did itself.
    while (!native.configures.empty()) {
        const RECT expected = native.configures.front();
        native.configures.pop_front();
        if (EqualRect(&expected, &rect))
            return;
    }
    if (EqualRect(&rect, &native.rect))
        return;
    BackendEvent out;
    out.hwnd = native.hwnd;
    out.kind = BackendEvent::Kind::Configure;
    out.rect = rect;
    PostBackendEvent(std::move(out));
}
