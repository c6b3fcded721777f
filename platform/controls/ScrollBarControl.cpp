// The scroll bar control: its model and window procedure; layout, drawing and tracking come
// from the window layer.
#include "platform/controls/ScrollBarControl.h"

#include "platform/controls/ControlSupport.h"
#include "platform/win/Gdi.h"

#include <algorithm>

// ---- Model ----

int ScrollBarModel::SetInfo(const SCROLLINFO& info)
{
    m_state.used = true;
    if (info.fMask & SIF_RANGE) {
        m_state.min = info.nMin;
        m_state.max = std::max(info.nMin, info.nMax);
    }
    if (info.fMask & SIF_PAGE)
        m_state.page = info.nPage;
    const long long span = static_cast<long long>(m_state.max) - m_state.min + 1;
    if (static_cast<long long>(m_state.page) > span)
        m_state.page = static_cast<UINT>(span);
    if (info.fMask & SIF_POS)
        m_state.pos = info.nPos;
    m_state.pos = std::clamp(m_state.pos, m_state.min, m_state.MaxPos());
    return m_state.pos;
}

void ScrollBarModel::GetInfo(SCROLLINFO& info) const
{
    if (info.fMask & SIF_RANGE) {
        info.nMin = m_state.min;
        info.nMax = m_state.max;
    }
    if (info.fMask & SIF_PAGE)
        info.nPage = m_state.page;
    if (info.fMask & SIF_POS)
        info.nPos = m_state.pos;
    if (info.fMask & SIF_TRACKPOS)
        info.nTrackPos = m_state.tracking ? m_state.trackPos : m_state.pos;
}

int ScrollBarModel::SetPos(int pos)
{
    const int old = m_state.pos;
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0};
    SetInfo(info);
    return old;
}

int ScrollBarModel::SetRange(int min, int max)
{
    if (static_cast<long long>(max) - min > 0x7FFFFFFF)
        return -1;
    const int old = m_state.pos;
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, min, max, 0, 0, 0};
    SetInfo(info);
    return old;
}

bool ScrollBarModel::EnableArrows(UINT arrows)
{
    arrows &= ESB_DISABLE_BOTH;
    if (m_state.disabled == arrows)
        return false;
    m_state.disabled = arrows;
    return true;
}

bool ScrollBarModel::KeyCode(UINT vk, UINT& code) const
{
    switch (vk) {
    case VK_LEFT:
    case VK_UP: code = SB_LINEUP; return true;
    case VK_RIGHT:
    case VK_DOWN: code = SB_LINEDOWN; return true;
    case VK_PRIOR: code = SB_PAGEUP; return true;
    case VK_NEXT: code = SB_PAGEDOWN; return true;
    case VK_HOME: code = SB_TOP; return true;
    case VK_END: code = SB_BOTTOM; return true;
    default: return false;
    }
}

// ---- Window procedure ----

namespace {

bool IsSizeBox(HWND hwnd)
{
    return (GetWindowLong(hwnd, GWL_STYLE) & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0;
}

// The tracking loop's view of the control.
class ControlHost : public IScrollBarHost {
public:
    ControlHost(HWND hwnd, ScrollBarModel& model) : m_hwnd(hwnd), m_model(model) {}
    HWND Window() override { return m_hwnd; }
    RECT BarRect() override
    {
        RECT r;
        GetClientRect(m_hwnd, &r);
        MapWindowPoints(m_hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    bool Vertical() override { return m_model.Vertical(); }
    ScrollBarState* State() override
    {
        // The window may go away inside the loop; then there is no state to track.
        return IsWindow(m_hwnd) && ControlStateOf<ScrollBarModel>(m_hwnd) == &m_model ? &m_model.State() : nullptr;
    }
    void Notify(UINT code, int pos) override
    {
        SendMessage(GetParent(m_hwnd), m_model.Vertical() ? WM_VSCROLL : WM_HSCROLL,
                    MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(pos)), reinterpret_cast<LPARAM>(m_hwnd));
    }
    void Redraw() override
    {
        InvalidateRect(m_hwnd, nullptr, FALSE);
        UpdateWindow(m_hwnd);
    }

private:
    HWND m_hwnd;
    ScrollBarModel& m_model;
};

void PaintScrollBar(HWND hwnd, HDC dc, const ScrollBarModel& model)
{
    RECT client;
    GetClientRect(hwnd, &client);
    if (IsSizeBox(hwnd)) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        if (GetWindowLong(hwnd, GWL_STYLE) & SBS_SIZEGRIP)
            DrawFrameControl(dc, &client, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        return;
    }
    // The parent may colour the track; the bar itself keeps the classic look.
    ControlColors(hwnd, dc, WM_CTLCOLORSCROLLBAR);
    ScrollBarState shown = model.State();
    if (!IsWindowEnabled(hwnd))
        shown.disabled = ESB_DISABLE_BOTH;
    DrawScrollBar(dc, client, model.Vertical(), shown);
}

LRESULT HandleScrollBarMessage(HWND hwnd, ScrollBarModel& model, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto redrawIf = [hwnd](BOOL redraw) {
        if (redraw)
            InvalidateRect(hwnd, nullptr, FALSE);
    };
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        return PaintOrPrintClient(hwnd, wParam, [&](HDC dc) { PaintScrollBar(hwnd, dc, model); });
    }
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_NCHITTEST:
        if (IsSizeBox(hwnd))
            return HTBOTTOMRIGHT;
        return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (IsSizeBox(hwnd))
            return 0;
        if (GetWindowLong(hwnd, GWL_STYLE) & WS_TABSTOP)
            SetFocus(hwnd);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hwnd, &pt);
        ControlHost host(hwnd, model);
        TrackScrollBar(host, pt);
        return 0;
    }
    case WM_KEYDOWN: {
        UINT code = 0;
        if (IsSizeBox(hwnd) || !model.KeyCode(static_cast<UINT>(wParam), code))
            return DefWindowProc(hwnd, message, wParam, lParam);
        ControlHost host(hwnd, model);
        host.Notify(code, 0);
        if (IsWindow(hwnd))
            host.Notify(SB_ENDSCROLL, 0);
        return 0;
    }
    case SBM_SETPOS: {
        const int old = model.SetPos(static_cast<int>(wParam));
        redrawIf(static_cast<BOOL>(lParam));
        return old;
    }
    case SBM_GETPOS:
        return model.State().pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        const int old = model.SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
        redrawIf(message == SBM_SETRANGEREDRAW);
        return old;
    }
    case SBM_GETRANGE:
        if (wParam)
            *reinterpret_cast<LPINT>(wParam) = model.State().min;
        if (lParam)
            *reinterpret_cast<LPINT>(lParam) = model.State().max;
        return 0;
    case SBM_ENABLE_ARROWS: {
        const bool changed = model.EnableArrows(static_cast<UINT>(wParam));
        if (changed)
            InvalidateRect(hwnd, nullptr, FALSE);
        return changed;
    }
    case SBM_SETSCROLLINFO: {
        if (!lParam)
            return 0;
        const int pos = model.SetInfo(*reinterpret_cast<LPCSCROLLINFO>(lParam));
        redrawIf(static_cast<BOOL>(wParam));
        return pos;
    }
    case SBM_GETSCROLLINFO:
        if (!lParam)
            return FALSE;
        model.GetInfo(*reinterpret_cast<LPSCROLLINFO>(lParam));
        return TRUE;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK ScrollBarControlWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchControlMessage<ScrollBarModel>(
        hwnd, message, wParam, lParam, [](const CREATESTRUCT& cs) { return new ScrollBarModel((cs.style & SBS_VERT) != 0); }, HandleScrollBarMessage);
}
