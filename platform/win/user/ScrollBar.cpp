// Window scroll bars: state, layout, drawing and tracking.
#include "platform/win/ScrollBar.h"

#include "platform/core/CRect.h"
#include "platform/core/WinError.h"
#include "platform/win/detail/CursorShape.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowManager.h"

#include <algorithm>

namespace {

class WindowScrollBars : public WindowAttachment {
public:
    ScrollBarState bars[2];
};

int MulDivInt(int a, int b, int c)
{
    if (c == 0)
        return 0;
    return static_cast<int>(static_cast<long long>(a) * b / c);
}

Window* OwnedWindow(HWND hwnd)
{
    return WindowManager::FindOwned(hwnd);
}

void ShowBar(HWND hwnd, int bar, bool show)
{
    Window* window = OwnedWindow(hwnd);
    if (!window)
        return;
    DWORD flag = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    if (bar == SB_BOTH)
        flag = WS_VSCROLL | WS_HSCROLL;
    const DWORD style = show ? (window->style | flag) : (window->style & ~flag);
    if (style == window->style)
        return;
    window->style = style;
    // The client area gives the bar its room back or makes room for it.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void RedrawBar(HWND hwnd, int bar)
{
    RECT r = WindowScrollBarRect(hwnd, bar);
    if (IsRectEmpty(&r) || !IsWindowVisible(hwnd))
        return;
    ScrollBarState* state = WindowScrollBarState(hwnd, bar, false);
    if (!state)
        return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc)
        return;
    DrawScrollBar(dc, r, bar == SB_VERT, *state);
    ReleaseDC(hwnd, dc);
}

// The dither of the classic track: highlight and face in a checker.
HBRUSH TrackBrush()
{
    static HBRUSH brush = [] {
        static const WORD bits[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
        HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
        HBRUSH b = CreatePatternBrush(pattern);
        DeleteObject(pattern);
        return b;
    }();
    return brush;
}

void FillTrack(HDC dc, const RECT& r, bool pressed)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    COLORREF oldText = SetTextColor(dc, GetSysColor(pressed ? COLOR_3DDKSHADOW : COLOR_3DHILIGHT));
    COLORREF oldBack = SetBkColor(dc, GetSysColor(pressed ? COLOR_3DSHADOW : COLOR_3DFACE));
    POINT oldOrg;
    SetBrushOrgEx(dc, 0, 0, &oldOrg);
    FillRect(dc, &r, TrackBrush());
    SetBrushOrgEx(dc, oldOrg.x, oldOrg.y, nullptr);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

} // namespace

int ScrollBarState::MaxPos() const
{
    const int span = page > 0 ? static_cast<int>(page) - 1 : 0;
    return std::max(min, max - span);
}

ScrollBarLayout LayoutScrollBar(const RECT& bar, bool vertical, const ScrollBarState& state)
{
    ScrollBarLayout layout;
    const int start = vertical ? bar.top : bar.left;
    const int end = vertical ? bar.bottom : bar.right;
    const int length = end - start;
    int arrow = GetSystemMetrics(vertical ? SM_CYVSCROLL : SM_CXHSCROLL);
    if (length < 2 * arrow)
        arrow = length / 2;
    if (vertical) {
        layout.arrowUp = RECT{bar.left, start, bar.right, start + arrow};
        layout.arrowDown = RECT{bar.left, end - arrow, bar.right, end};
    } else {
        layout.arrowUp = RECT{start, bar.top, start + arrow, bar.bottom};
        layout.arrowDown = RECT{end - arrow, bar.top, end, bar.bottom};
    }
    layout.trackStart = start + arrow;
    layout.trackEnd = end - arrow;
    layout.thumbStart = layout.trackStart;
    const int trackLength = layout.trackEnd - layout.trackStart;
    if (state.disabled == ESB_DISABLE_BOTH || !state.Scrollable() || trackLength <= 0)
        return layout;
    int thumb = state.page > 0
                    ? std::max(MulDivInt(trackLength, static_cast<int>(state.page), state.max - state.min + 1),
                               kMinThumbLength)
                    : GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
    if (thumb > trackLength)
        return layout;   // no room for a thumb
    const int pos = state.tracking ? state.trackPos : state.pos;
    const int range = state.MaxPos() - state.min;
    layout.thumbLength = thumb;
    layout.thumbStart = layout.trackStart + MulDivInt(std::clamp(pos, state.min, state.MaxPos()) - state.min,
                                                      trackLength - thumb, range);
    return layout;
}

int ScrollPartAt(const RECT& bar, bool vertical, const ScrollBarState& state, POINT pt)
{
    if (!PtInRect(&bar, pt))
        return SP_NONE;
    ScrollBarLayout layout = LayoutScrollBar(bar, vertical, state);
    const int v = vertical ? pt.y : pt.x;
    if (v < layout.trackStart)
        return SP_LINEUP;
    if (v >= layout.trackEnd)
        return SP_LINEDOWN;
    if (layout.thumbLength == 0)
        return SP_NONE;
    if (v < layout.thumbStart)
        return SP_PAGEUP;
    if (v >= layout.thumbStart + layout.thumbLength)
        return SP_PAGEDOWN;
    return SP_THUMB;
}

int ScrollPosFromThumb(const RECT& bar, bool vertical, const ScrollBarState& state, int thumbStart)
{
    ScrollBarLayout layout = LayoutScrollBar(bar, vertical, state);
    const int movable = layout.trackEnd - layout.trackStart - layout.thumbLength;
    if (layout.thumbLength == 0 || movable <= 0)
        return state.pos;
    const int offset = std::clamp(thumbStart - layout.trackStart, 0, movable);
    const int range = state.MaxPos() - state.min;
    // Rounded to the nearest position, so that the thumb lands where it was dropped.
    return state.min + static_cast<int>((static_cast<long long>(offset) * range + movable / 2) / movable);
}

void DrawScrollBar(HDC dc, const RECT& bar, bool vertical, const ScrollBarState& state)
{
    if (bar.right <= bar.left || bar.bottom <= bar.top)
        return;
    ScrollBarLayout layout = LayoutScrollBar(bar, vertical, state);
    const bool noScroll = state.disabled == ESB_DISABLE_BOTH || !state.Scrollable();
    auto arrow = [&](RECT r, UINT kind, bool disabled, bool pressed) {
        if (r.right <= r.left || r.bottom <= r.top)
            return;
        UINT flags = kind;
        if (disabled)
            flags |= DFCS_INACTIVE;
        if (pressed)
            flags |= DFCS_PUSHED | DFCS_FLAT;
        DrawFrameControl(dc, &r, DFC_SCROLL, flags);
    };
    arrow(layout.arrowUp, vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT,
          noScroll || (state.disabled & ESB_DISABLE_LTUP), state.pressed == SP_LINEUP);
    arrow(layout.arrowDown, vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT,
          noScroll || (state.disabled & ESB_DISABLE_RTDN), state.pressed == SP_LINEDOWN);
    auto span = [&](int a, int b) {
        return vertical ? RECT{bar.left, a, bar.right, b} : RECT{a, bar.top, b, bar.bottom};
    };
    if (layout.thumbLength == 0) {
        FillTrack(dc, span(layout.trackStart, layout.trackEnd), false);
        return;
    }
    const int thumbEnd = layout.thumbStart + layout.thumbLength;
    FillTrack(dc, span(layout.trackStart, layout.thumbStart), state.pressed == SP_PAGEUP);
    FillTrack(dc, span(thumbEnd, layout.trackEnd), state.pressed == SP_PAGEDOWN);
    RECT thumb = span(layout.thumbStart, thumbEnd);
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

// ---- Window bars ----

ScrollBarState* WindowScrollBarState(HWND hwnd, int bar, bool create)
{
    if (bar != SB_HORZ && bar != SB_VERT)
        return nullptr;
    Window* window = WindowManager::Find(hwnd);
    if (!window)
        return nullptr;
    if (!window->scrollBars) {
        if (!create)
            return nullptr;
        window->scrollBars = std::make_unique<WindowScrollBars>();
    }
    auto* bars = dynamic_cast<WindowScrollBars*>(window->scrollBars.get());
    return bars ? &bars->bars[bar] : nullptr;
}

RECT WindowScrollBarRect(HWND hwnd, int bar)
{
    Window* window = WindowManager::Find(hwnd);
    if (!window)
        return RECT{0, 0, 0, 0};
    const POINT off = window->ClientOffset();
    const int cw = window->client.right - window->client.left;
    const int ch = window->client.bottom - window->client.top;
    if (bar == SB_VERT && (window->style & WS_VSCROLL)) {
        const int w = GetSystemMetrics(SM_CXVSCROLL);
        if (off.x + cw + w <= window->Width())
            return RECT{off.x + cw, off.y, off.x + cw + w, off.y + ch};
    }
    if (bar == SB_HORZ && (window->style & WS_HSCROLL)) {
        const int h = GetSystemMetrics(SM_CYHSCROLL);
        if (off.y + ch + h <= window->Height())
            return RECT{off.x, off.y + ch, off.x + cw, off.y + ch + h};
    }
    return RECT{0, 0, 0, 0};
}

void DrawWindowScrollBars(HWND hwnd, HDC dc)
{
    RECT v = WindowScrollBarRect(hwnd, SB_VERT);
    RECT h = WindowScrollBarRect(hwnd, SB_HORZ);
    ScrollBarState defaults;
    if (!IsRectEmpty(&v)) {
        ScrollBarState* s = WindowScrollBarState(hwnd, SB_VERT, false);
        DrawScrollBar(dc, v, true, s ? *s : defaults);
    }
    if (!IsRectEmpty(&h)) {
        ScrollBarState* s = WindowScrollBarState(hwnd, SB_HORZ, false);
        DrawScrollBar(dc, h, false, s ? *s : defaults);
    }
    if (!IsRectEmpty(&v) && !IsRectEmpty(&h)) {
        RECT corner{v.left, h.top, v.right, h.bottom};
        FillRect(dc, &corner, GetSysColorBrush(COLOR_3DFACE));
    }
}

namespace {

class WindowBarHost : public IScrollBarHost {
public:
    WindowBarHost(HWND hwnd, int bar) : m_hwnd(hwnd), m_bar(bar) {}
    HWND Window() override { return m_hwnd; }
    RECT BarRect() override
    {
        RECT r = WindowScrollBarRect(m_hwnd, m_bar);
        RECT window;
        GetWindowRect(m_hwnd, &window);
        OffsetRect(&r, window.left, window.top);
        return r;
    }
    bool Vertical() override { return m_bar == SB_VERT; }
    ScrollBarState* State() override { return WindowScrollBarState(m_hwnd, m_bar, true); }
    void Notify(UINT code, int pos) override
    {
        SendMessage(m_hwnd, m_bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)), 0);
    }
    void Redraw() override { RedrawBar(m_hwnd, m_bar); }

private:
    HWND m_hwnd;
    int m_bar;
};

constexpr UINT_PTR kScrollTimer = 0xFFFA;

UINT LineCode(int part)
{
    switch (part) {
    case SP_LINEUP: return SB_LINEUP;
    case SP_LINEDOWN: return SB_LINEDOWN;
    case SP_PAGEUP: return SB_PAGEUP;
    case SP_PAGEDOWN: return SB_PAGEDOWN;
    default: return SB_ENDSCROLL;
    }
}

} // namespace

void TrackWindowScrollBar(HWND hwnd, int bar, POINT screenPt)
{
    WindowBarHost host(hwnd, bar);
    TrackScrollBar(host, screenPt);
}

void TrackScrollBar(IScrollBarHost& host, POINT screenPt)
{
    HWND hwnd = host.Window();
    ScrollBarState* state = host.State();
    if (!state || !IsWindow(hwnd))
        return;
    const bool vertical = host.Vertical();
    const int part = ScrollPartAt(host.BarRect(), vertical, *state, screenPt);
    if (part == SP_NONE)
        return;
    if ((part == SP_LINEUP && (state->disabled & ESB_DISABLE_LTUP)) ||
        (part == SP_LINEDOWN && (state->disabled & ESB_DISABLE_RTDN)) || state->disabled == ESB_DISABLE_BOTH)
        return;
    SetCapture(hwnd);
    state->pressed = part;
    int grip = 0;   // where the thumb was taken, from its leading edge
    if (part == SP_THUMB) {
        ScrollBarLayout layout = LayoutScrollBar(host.BarRect(), vertical, *state);
        grip = (vertical ? screenPt.y : screenPt.x) - layout.thumbStart;
        state->tracking = true;
        state->trackPos = state->pos;
        host.Redraw();
    } else {
        host.Redraw();
        host.Notify(LineCode(part), 0);
        SetTimer(hwnd, kScrollTimer, kScrollFirstDelay, nullptr);
    }
    MSG msg;
    while ((state = host.State()) != nullptr && GetTrackingMessage(hwnd, msg)) {
        if (CallMsgFilter(&msg, MSGF_SCROLLBAR))
            continue;
        if (msg.message == WM_TIMER && msg.hwnd == hwnd && msg.wParam == kScrollTimer) {
            POINT now;
            GetCursorPos(&now);
            if (ScrollPartAt(host.BarRect(), vertical, *state, now) == part) {
                host.Notify(LineCode(part), 0);
                if ((state = host.State()) == nullptr)
                    break;
            }
            SetTimer(hwnd, kScrollTimer, kScrollRepeatDelay, nullptr);
            continue;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
            if (part == SP_THUMB) {
                const int lead = (vertical ? msg.pt.y : msg.pt.x) - grip;
                const int pos = ScrollPosFromThumb(host.BarRect(), vertical, *state, lead);
                if (pos != state->trackPos) {
                    state->trackPos = pos;
                    host.Redraw();
                    host.Notify(SB_THUMBTRACK, pos);
                }
            } else {
                // The part shows pushed only while the pointer is on it.
                const bool over = ScrollPartAt(host.BarRect(), vertical, *state, msg.pt) == part;
                const int shown = over ? part : SP_NONE;
                if (shown != state->pressed) {
                    state->pressed = shown;
                    host.Redraw();
                }
            }
            continue;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP)
            break;
        if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
            (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST))
            continue;   // the tracking owns the mouse and keyboard
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    if (IsWindow(hwnd))
        KillTimer(hwnd, kScrollTimer);
    state = host.State();
    if (state && part == SP_THUMB && state->tracking) {
        const int pos = state->trackPos;
        host.Notify(SB_THUMBPOSITION, pos);
        state = host.State();
    }
    if (state) {
        state->tracking = false;
        state->pressed = SP_NONE;
    }
    if (IsWindow(hwnd) && GetCapture() == hwnd)
        ReleaseCapture();
    host.Notify(SB_ENDSCROLL, 0);
    if (IsWindow(hwnd))
        host.Redraw();
}

// ---- The functions on windows ----

namespace {

bool IsScrollBarControl(int bar) { return bar == SB_CTL; }

void ApplyVisibility(HWND hwnd, int bar, ScrollBarState& s, bool disableNoScroll)
{
    if (s.Scrollable()) {
        if (s.disabledForRange) {
            s.disabled = ESB_ENABLE_BOTH;
            s.disabledForRange = false;
        }
        ShowBar(hwnd, bar, true);
    } else if (disableNoScroll) {
        ShowBar(hwnd, bar, true);
        if (s.disabled != ESB_DISABLE_BOTH) {
            s.disabled = ESB_DISABLE_BOTH;
            s.disabledForRange = true;
        }
    } else {
        ShowBar(hwnd, bar, false);
    }
}

} // namespace

int SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw)
{
    if (!lpsi)
        return 0;
    if (IsScrollBarControl(nBar))
        return static_cast<int>(SendMessage(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(lpsi)));
    ScrollBarState* s = WindowScrollBarState(hwnd, nBar, true);
    if (!s) {
        SetLastError(nBar == SB_HORZ || nBar == SB_VERT ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return 0;
    }
    const UINT mask = lpsi->fMask;
    s->used = true;
    bool layoutChanged = false;
    if (mask & SIF_RANGE) {
        layoutChanged = s->min != lpsi->nMin || s->max != lpsi->nMax;
        s->min = lpsi->nMin;
        s->max = std::max(lpsi->nMin, lpsi->nMax);
    }
    if (mask & SIF_PAGE) {
        layoutChanged = layoutChanged || s->page != lpsi->nPage;
        s->page = lpsi->nPage;
    }
    // The page never exceeds the range.
    const long long span = static_cast<long long>(s->max) - s->min + 1;
    if (static_cast<long long>(s->page) > span)
        s->page = static_cast<UINT>(span);
    if (mask & SIF_POS)
        s->pos = lpsi->nPos;
    s->pos = std::clamp(s->pos, s->min, s->MaxPos());
    if (mask & (SIF_RANGE | SIF_PAGE))
        ApplyVisibility(hwnd, nBar, *s, (mask & SIF_DISABLENOSCROLL) != 0);
    (void)layoutChanged;
    s = WindowScrollBarState(hwnd, nBar, false);
    if (!s)
        return 0;
    const int pos = s->pos;
    if (redraw)
        RedrawBar(hwnd, nBar);
    return pos;
}

BOOL GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi)
{
    if (!lpsi)
        return FALSE;
    if (IsScrollBarControl(nBar))
        return static_cast<BOOL>(SendMessage(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(lpsi)));
    Window* window = OwnedWindow(hwnd);
    if (!window)
        return FALSE;
    ScrollBarState* s = WindowScrollBarState(hwnd, nBar, false);
    const DWORD flag = nBar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    if ((!s || !s->used) && !(window->style & flag))
        return FALSE;   // the window has no such bar
    ScrollBarState defaults;
    if (!s)
        s = &defaults;
    if (lpsi->fMask & SIF_RANGE) {
        lpsi->nMin = s->min;
        lpsi->nMax = s->max;
    }
    if (lpsi->fMask & SIF_PAGE)
        lpsi->nPage = s->page;
    if (lpsi->fMask & SIF_POS)
        lpsi->nPos = s->pos;
    if (lpsi->fMask & SIF_TRACKPOS)
        lpsi->nTrackPos = s->tracking ? s->trackPos : s->pos;
    return TRUE;
}

int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw)
{
    if (IsScrollBarControl(nBar))
        return static_cast<int>(SendMessage(hWnd, SBM_SETPOS, static_cast<WPARAM>(nPos), bRedraw));
    ScrollBarState* s = WindowScrollBarState(hWnd, nBar, true);
    if (!s)
        return 0;
    const int old = s->pos;
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, nPos, 0};
    SetScrollInfo(hWnd, nBar, &si, bRedraw);
    return old;
}

int GetScrollPos(HWND hWnd, int nBar)
{
    if (IsScrollBarControl(nBar))
        return static_cast<int>(SendMessage(hWnd, SBM_GETPOS, 0, 0));
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
    return GetScrollInfo(hWnd, nBar, &si) ? si.nPos : 0;
}

BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw)
{
    if (IsScrollBarControl(nBar)) {
        // The control answers with its previous position (or -1 for a span it refuses), not
        // with success.
        return SendMessage(hWnd, bRedraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(nMinPos),
                           nMaxPos) != -1 && IsWindow(hWnd);
    }
    if (static_cast<long long>(nMaxPos) - nMinPos > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
    // The old interface has no page: a range with min == max hides the bar.
    if (ScrollBarState* s = WindowScrollBarState(hWnd, nBar, false))
        if (s->page) {
            si.fMask |= SIF_PAGE;
            si.nPage = s->page;
        }
    SetScrollInfo(hWnd, nBar, &si, bRedraw);
    return IsWindow(hWnd);
}

BOOL GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos)
{
    if (!lpMinPos || !lpMaxPos)
        return FALSE;
    if (IsScrollBarControl(nBar)) {
        SendMessage(hWnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(lpMinPos), reinterpret_cast<LPARAM>(lpMaxPos));
        return TRUE;
    }
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(hWnd, nBar, &si)) {
        *lpMinPos = *lpMaxPos = 0;
        return FALSE;
    }
    *lpMinPos = si.nMin;
    *lpMaxPos = si.nMax;
    return TRUE;
}

BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow)
{
    if (IsScrollBarControl(wBar))
        return ShowWindow(hWnd, bShow ? SW_SHOW : SW_HIDE), TRUE;
    if (!OwnedWindow(hWnd))
        return FALSE;
    if (wBar == SB_BOTH || wBar == SB_HORZ || wBar == SB_VERT) {
        ShowBar(hWnd, wBar, bShow != FALSE);
        return TRUE;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

BOOL EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows)
{
    if (wSBflags == SB_CTL) {
        EnableWindow(hWnd, wArrows != ESB_DISABLE_BOTH);
        return SendMessage(hWnd, SBM_ENABLE_ARROWS, wArrows, 0) != 0;
    }
    bool changed = false;
    for (int bar : {SB_HORZ, SB_VERT}) {
        if (wSBflags != SB_BOTH && static_cast<int>(wSBflags) != bar)
            continue;
        ScrollBarState* s = WindowScrollBarState(hWnd, bar, true);
        if (!s)
            return FALSE;
        if (s->disabled != (wArrows & ESB_DISABLE_BOTH)) {
            s->disabled = wArrows & ESB_DISABLE_BOTH;
            s->disabledForRange = false;
            s->used = true;
            changed = true;
            RedrawBar(hWnd, bar);
        }
    }
    return changed ? TRUE : FALSE;
}
