// What every standard control shares: its state object kept in the window's extra bytes, the
// notifications to its parent, the colours the parent chooses, and its font.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#include <string>

// Bytes every control class reserves for the pointer to its state object.
constexpr int kControlExtraBytes = static_cast<int>(sizeof(LONG_PTR));

template <class State>
State* ControlStateOf(HWND hwnd)
{
    return reinterpret_cast<State*>(GetWindowLongPtr(hwnd, 0));
}

// Keeps a control's state object for the window's life: attached at WM_NCCREATE, deleted at
// WM_NCDESTROY by the control's procedure through DetachControlState.
template <class State>
void AttachControlState(HWND hwnd, State* state)
{
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
}
template <class State>
void DetachControlState(HWND hwnd)
{
    delete reinterpret_cast<State*>(SetWindowLongPtr(hwnd, 0, 0));
}

// Sends WM_COMMAND with the control's id and a notification code to its parent.
void NotifyParent(HWND control, UINT code);
// Sends WM_NOTIFY with a header filled in for the control; returns the parent's answer.
LRESULT NotifyParentHeader(HWND control, NMHDR& header, UINT code);
// Asks the parent for the colours of a control (WM_CTLCOLORBTN, …): the brush to fill with,
// with the text and background colours set in the DC. Without a parent, or when the parent
// answers with no brush, the default colours of that message are used.
HBRUSH ControlColors(HWND control, HDC dc, UINT ctlColorMessage);
// The control's font, or the default dialog font when none was set.
HFONT ControlFont(HFONT font);
// Where the user is dragging a scroll bar's thumb (SB_HORZ or SB_VERT).
int ScrollTrackPos(HWND hwnd, int bar);
// The text of a window as a string.
std::string WindowTextOf(HWND hwnd);
// Whether focus rectangles and mnemonics are hidden for the control (WM_QUERYUISTATE).
bool FocusCuesHidden(HWND control);
// A control created with WS_BORDER shows the sunken client edge of the classic style instead of
// a flat black line; called from WM_NCCREATE.
void UseClientEdgeForBorder(HWND control);

// Keeps a control's state object alive while the control's own code is on the stack: a parent
// may destroy the control from a notification, and the object then goes when the outermost call
// returns instead of under the code still running. The state has `int m_depth` and
// `bool m_orphaned`; WM_NCDESTROY goes through OrphanControlState.
template <class State>
class ControlCallGuard {
public:
    explicit ControlCallGuard(State* state) : m_state(state) { ++m_state->m_depth; }
    ~ControlCallGuard()
    {
        if (--m_state->m_depth == 0 && m_state->m_orphaned)
            delete m_state;
    }
    ControlCallGuard(const ControlCallGuard&) = delete;
    ControlCallGuard& operator=(const ControlCallGuard&) = delete;

private:
    State* m_state;
};

// Detaches the state from its window at WM_NCDESTROY; deletes it now unless its code is running.
template <class State>
void OrphanControlState(HWND hwnd, State* state)
{
    SetWindowLongPtr(hwnd, 0, 0);
    state->m_orphaned = true;
    if (state->m_depth == 0)
        delete state;
}

// The frame of every control's window procedure: the state made by `make` at WM_NCCREATE, handed
// over at WM_NCDESTROY, and kept alive while `handle` runs, since the parent may destroy the
// control from one of its notifications.
template <class State, class Make, class Handle>
LRESULT DispatchControlMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Make make, Handle handle)
{
    if (message == WM_NCCREATE) {
        AttachControlState(hwnd, make(*reinterpret_cast<const CREATESTRUCT*>(lParam)));
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    auto* state = ControlStateOf<State>(hwnd);
    if (message == WM_NCDESTROY) {
        if (state)
            OrphanControlState(hwnd, state);
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    if (!state)
        return DefWindowProc(hwnd, message, wParam, lParam);
    ControlCallGuard<State> guard(state);
    return handle(hwnd, *state, message, wParam, lParam);
}

// WM_PAINT and WM_PRINTCLIENT alike: `paint` draws on the device context the message gives, or on
// the window's own between BeginPaint and EndPaint.
template <class Paint>
LRESULT PaintOrPrintClient(HWND hwnd, WPARAM wParam, Paint paint)
{
    PAINTSTRUCT ps{};
    HDC dc = wParam ? reinterpret_cast<HDC>(wParam) : BeginPaint(hwnd, &ps);
    paint(dc);
    if (!wParam)
        EndPaint(hwnd, &ps);
    return 0;
}
