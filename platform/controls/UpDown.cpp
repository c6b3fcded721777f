// The up-down control: model, buddy handling, painter and window procedure.
#include "platform/controls/UpDown.h"

#include "platform/controls/ControlSupport.h"
#include "platform/core/CRect.h"
#include "platform/core/TickCount.h"
#include "platform/win/Gdi.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

// ---- Model ----

int UpDownModel::Target(int steps) const
{
    const long long direction = upper >= lower ? 1 : -1;
    const long long next = static_cast<long long>(pos) + direction * steps;
    const long long lo = Min();
    const long long hi = Max();
    if (next > hi)
        return static_cast<int>(wrap ? lo : hi);
    if (next < lo)
        return static_cast<int>(wrap ? hi : lo);
    return static_cast<int>(next);
}

int UpDownModel::Increment(DWORD heldMs) const
{
    int inc = 1;
    for (const UDACCEL& a : accel)
        if (heldMs >= a.nSec * 1000u)
            inc = static_cast<int>(a.nInc);
    return std::max(1, inc);
}

std::string UpDownModel::Format(bool thousands) const
{
    char buffer[32];
    if (base == 16) {
        snprintf(buffer, sizeof buffer, "0x%X", static_cast<unsigned>(pos));
        return buffer;
    }
    snprintf(buffer, sizeof buffer, "%d", pos);
    std::string digits = buffer;
    if (!thousands)
        return digits;
    const size_t start = digits[0] == '-' ? 1 : 0;
    for (size_t i = digits.size(); i > start + 3;) {
        i -= 3;
        digits.insert(i, ",");
    }
    return digits;
}

bool UpDownModel::Parse(const std::string& text, int& value) const
{
    std::string clean;
    for (char c : text)
        if (c != ',' && !std::isspace(static_cast<unsigned char>(c)))
            clean += c;
    if (clean.empty())
        return false;
    char* end = nullptr;
    const long long v = base == 16 ? std::strtoll(clean.c_str(), &end, 16) : std::strtoll(clean.c_str(), &end, 10);
    if (!end || *end || v < Min() || v > Max())
        return false;
    value = static_cast<int>(v);
    return true;
}

// ---- Window ----

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstRepeat = 400;
constexpr UINT kRepeat = 100;
constexpr char kBuddyProp[] = "UpDownOfBuddy";
constexpr char kBuddyProcProp[] = "UpDownBuddyProc";

struct UpDownState {
    UpDownModel model;
    HWND buddy = nullptr;
    int pressed = 0;          // +1 up arrow held, -1 down arrow, 0 none
    DWORD pressedAt = 0;
    // Kept alive while the control's own code runs (ControlCallGuard).
    int m_depth = 0;
    bool m_orphaned = false;
};

DWORD UpDownStyleOf(HWND hwnd)
{
    return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
}

void ShowInBuddy(HWND hwnd, UpDownState& state)
{
    if (state.buddy && IsWindow(state.buddy) && (UpDownStyleOf(hwnd) & UDS_SETBUDDYINT))
        SetWindowText(state.buddy, state.model.Format(!(UpDownStyleOf(hwnd) & UDS_NOTHOUSANDS)).c_str());
}

// The buddy's text becomes the position again when it holds a number (the user may have
// typed one); false when it does not.
bool ReadBuddy(HWND hwnd, UpDownState& state)
{
    if (!state.buddy || !IsWindow(state.buddy) || !(UpDownStyleOf(hwnd) & UDS_SETBUDDYINT))
        return true;
    int value = 0;
    if (!state.model.Parse(WindowTextOf(state.buddy), value))
        return false;
    state.model.pos = value;
    return true;
}

// One step of `steps` presses: the parent may refuse it, then the position moves, the buddy
// shows it and the parent hears of it as a scroll.
void Step(HWND hwnd, UpDownState& state, int steps)
{
    ReadBuddy(hwnd, state);
    const int target = state.model.Target(steps);
    NMUPDOWN nm{};
    nm.iPos = state.model.pos;
    nm.iDelta = target - state.model.pos;
    if (NotifyParentHeader(hwnd, nm.hdr, UDN_DELTAPOS) || !IsWindow(hwnd))
        return;
    // The parent may change the delta it was given.
    const long long wanted = static_cast<long long>(state.model.pos) + nm.iDelta;
    state.model.pos = static_cast<int>(std::clamp<long long>(wanted, state.model.Min(), state.model.Max()));
    ShowInBuddy(hwnd, state);
    InvalidateRect(hwnd, nullptr, FALSE);
    SendMessage(GetParent(hwnd), (UpDownStyleOf(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL,
                MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(state.model.pos)), reinterpret_cast<LPARAM>(hwnd));
}

LRESULT CALLBACK BuddyProc(HWND buddy, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto updown = static_cast<HWND>(GetProp(buddy, kBuddyProp));
    auto old = reinterpret_cast<WNDPROC>(GetProp(buddy, kBuddyProcProp));
    if (message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN) && updown && IsWindow(updown)) {
        if (auto* state = ControlStateOf<UpDownState>(updown)) {
            Step(updown, *state, wParam == VK_UP ? 1 : -1);
            return 0;
        }
    }
    if (message == WM_NCDESTROY && old) {
        SetWindowLongPtr(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemoveProp(buddy, kBuddyProp);
        RemoveProp(buddy, kBuddyProcProp);
    }
    return old ? CallWindowProc(old, buddy, message, wParam, lParam) : DefWindowProc(buddy, message, wParam, lParam);
}

void ReleaseBuddy(HWND hwnd, UpDownState& state)
{
    HWND buddy = state.buddy;
    state.buddy = nullptr;
    if (!buddy || !IsWindow(buddy) || GetProp(buddy, kBuddyProp) != hwnd)
        return;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtr(buddy, GWLP_WNDPROC)) == BuddyProc)
        SetWindowLongPtr(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetProp(buddy, kBuddyProcProp)));
    RemoveProp(buddy, kBuddyProp);
    RemoveProp(buddy, kBuddyProcProp);
}

// Takes a buddy: the arrow keys in it step the control, and an aligned control moves into the
// buddy's edge, which gives up that much width.
void SetBuddy(HWND hwnd, UpDownState& state, HWND buddy)
{
    ReleaseBuddy(hwnd, state);
    if (!buddy || !IsWindow(buddy))
        return;
    state.buddy = buddy;
    const DWORD style = UpDownStyleOf(hwnd);
    if ((style & UDS_ARROWKEYS) && !GetProp(buddy, kBuddyProp)) {
        SetProp(buddy, kBuddyProp, hwnd);
        SetProp(buddy, kBuddyProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtr(buddy, GWLP_WNDPROC)));
        SetWindowLongPtr(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProc));
    }
    if (style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)) {
        RECT b;
        GetWindowRect(buddy, &b);
        MapWindowPoints(nullptr, GetParent(buddy), reinterpret_cast<POINT*>(&b), 2);
        RECT self;
        GetWindowRect(hwnd, &self);
        const int width = self.right - self.left;
        const int height = b.bottom - b.top;
        if (style & UDS_ALIGNRIGHT) {
            SetWindowPos(buddy, nullptr, 0, 0, b.right - b.left - width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            SetWindowPos(hwnd, nullptr, b.right - width, b.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            SetWindowPos(buddy, nullptr, b.left + width, b.top, b.right - b.left - width, height, SWP_NOZORDER | SWP_NOACTIVATE);
            SetWindowPos(hwnd, nullptr, b.left, b.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    ShowInBuddy(hwnd, state);
}

void PaintUpDown(HWND hwnd, HDC dc, const UpDownState& state)
{
    RECT client;
    GetClientRect(hwnd, &client);
    const bool horizontal = (UpDownStyleOf(hwnd) & UDS_HORZ) != 0;
    RECT up = client, down = client;
    if (horizontal) {
        up.left = down.right = client.left + (client.right - client.left) / 2;
    } else {
        up.bottom = down.top = client.top + (client.bottom - client.top) / 2;
    }
    const UINT inactive = IsWindowEnabled(hwnd) ? 0u : DFCS_INACTIVE;
    DrawFrameControl(dc, &up, DFC_SCROLL,
                     (horizontal ? DFCS_SCROLLRIGHT : DFCS_SCROLLUP) | inactive | (state.pressed > 0 ? DFCS_PUSHED : 0u));
    DrawFrameControl(dc, &down, DFC_SCROLL,
                     (horizontal ? DFCS_SCROLLLEFT : DFCS_SCROLLDOWN) | inactive | (state.pressed < 0 ? DFCS_PUSHED : 0u));
}

// Which arrow a client point is on: +1 the up (right) one, -1 the down (left) one.
int ArrowAt(HWND hwnd, POINT pt)
{
    RECT client;
    GetClientRect(hwnd, &client);
    if (UpDownStyleOf(hwnd) & UDS_HORZ)
        return pt.x >= (client.right - client.left) / 2 ? 1 : -1;
    return pt.y < (client.bottom - client.top) / 2 ? 1 : -1;
}

void EndUpDownPress(HWND hwnd, UpDownState& state)
{
    if (!state.pressed)
        return;
    state.pressed = 0;
    KillTimer(hwnd, kRepeatTimer);
    InvalidateRect(hwnd, nullptr, FALSE);
    if (GetCapture() == hwnd)
        ReleaseCapture();
    SendMessage(GetParent(hwnd), (UpDownStyleOf(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL,
                MAKEWPARAM(SB_ENDSCROLL, static_cast<WORD>(state.model.pos)), reinterpret_cast<LPARAM>(hwnd));
}

LRESULT HandleUpDownMessage(HWND hwnd, UpDownState& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    UpDownModel& model = state.model;
    switch (message) {
    case WM_CREATE:
        model.wrap = (UpDownStyleOf(hwnd) & UDS_WRAP) != 0;
        if (UpDownStyleOf(hwnd) & UDS_AUTOBUDDY)
            SetBuddy(hwnd, state, GetWindow(hwnd, GW_HWNDPREV));
        return 0;
    case WM_DESTROY:
        ReleaseBuddy(hwnd, state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        PaintUpDown(hwnd, dc, state);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (!IsWindowEnabled(hwnd))
            return 0;
        state.pressed = ArrowAt(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        state.pressedAt = GetTickCount();
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        Step(hwnd, state, state.pressed);
        SetTimer(hwnd, kRepeatTimer, kFirstRepeat, nullptr);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kRepeatTimer && state.pressed) {
            SetTimer(hwnd, kRepeatTimer, kRepeat, nullptr);
            Step(hwnd, state, state.pressed * model.Increment(GetTickCount() - state.pressedAt));
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        EndUpDownPress(hwnd, state);
        return 0;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case UDM_SETRANGE:
        model.upper = static_cast<short>(LOWORD(lParam));
        model.lower = static_cast<short>(HIWORD(lParam));
        return 0;
    case UDM_GETRANGE:
        return MAKELONG(static_cast<WORD>(model.upper), static_cast<WORD>(model.lower));
    case UDM_SETRANGE32:
        model.lower = static_cast<int>(wParam);
        model.upper = static_cast<int>(lParam);
        return 0;
    case UDM_GETRANGE32:
        if (wParam)
            *reinterpret_cast<int*>(wParam) = model.lower;
        if (lParam)
            *reinterpret_cast<int*>(lParam) = model.upper;
        return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
        const int old = model.pos;
        const int wanted = message == UDM_SETPOS ? static_cast<short>(LOWORD(lParam)) : static_cast<int>(lParam);
        model.pos = std::clamp(wanted, model.Min(), model.Max());
        ShowInBuddy(hwnd, state);
        return old;
    }
    case UDM_GETPOS: {
        const bool ok = ReadBuddy(hwnd, state);
        return MAKELONG(static_cast<WORD>(model.pos), ok ? 0 : 1);
    }
    case UDM_GETPOS32: {
        const bool ok = ReadBuddy(hwnd, state);
        if (lParam)
            *reinterpret_cast<BOOL*>(lParam) = ok ? FALSE : TRUE;
        return model.pos;
    }
    case UDM_SETBUDDY: {
        HWND old = state.buddy;
        SetBuddy(hwnd, state, reinterpret_cast<HWND>(wParam));
        return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(state.buddy);
    case UDM_SETBASE: {
        if (wParam != 10 && wParam != 16)
            return 0;
        const int old = model.base;
        model.base = static_cast<int>(wParam);
        ShowInBuddy(hwnd, state);
        return old;
    }
    case UDM_GETBASE:
        return model.base;
    case UDM_SETACCEL: {
        if (!wParam || !lParam)
            return FALSE;
        const auto* table = reinterpret_cast<const UDACCEL*>(lParam);
        model.accel.assign(table, table + wParam);
        return TRUE;
    }
    case UDM_GETACCEL: {
        auto* table = reinterpret_cast<UDACCEL*>(lParam);
        for (size_t i = 0; table && i < model.accel.size() && i < wParam; ++i)
            table[i] = model.accel[i];
        return static_cast<LRESULT>(model.accel.size());
    }
    case WM_STYLECHANGED:
        model.wrap = (UpDownStyleOf(hwnd) & UDS_WRAP) != 0;
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK UpDownWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchControlMessage<UpDownState>(
        hwnd, message, wParam, lParam, [](const CREATESTRUCT&) { return new UpDownState; }, HandleUpDownMessage);
}
