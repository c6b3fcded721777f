// The progress control: model, painter and window procedure.
#include "platform/controls/Progress.h"

#include "platform/controls/ControlSupport.h"
#include "platform/core/CRect.h"
#include "platform/win/Gdi.h"

#include <algorithm>

// ---- Model ----

DWORD ProgressModel::SetRange(int low, int high)
{
    const DWORD old = MAKELONG(static_cast<WORD>(m_low), static_cast<WORD>(m_high));
    m_low = low;
    m_high = std::max(low, high);
    m_pos = std::clamp(m_pos, m_low, m_high);
    return old;
}

int ProgressModel::SetPos(int pos)
{
    const int old = m_pos;
    m_pos = std::clamp(pos, m_low, m_high);
    return old;
}

int ProgressModel::SetStep(int step)
{
    const int old = m_step;
    m_step = step;
    return old;
}

int ProgressModel::StepIt()
{
    const int old = m_pos;
    const long long span = static_cast<long long>(m_high) - m_low;
    const long long next = static_cast<long long>(m_pos) + m_step;
    if (span <= 0)
        m_pos = m_low;
    else if (next > m_high)
        m_pos = static_cast<int>(m_low + (next - m_low) % span);
    else if (next < m_low)
        m_pos = static_cast<int>(m_high - (m_low - next) % span);
    else
        m_pos = static_cast<int>(next);
    return old;
}

int ProgressModel::Filled(int length) const
{
    const long long span = static_cast<long long>(m_high) - m_low;
    if (span <= 0 || length <= 0)
        return 0;
    return static_cast<int>((static_cast<long long>(m_pos) - m_low) * length / span);
}

// ---- Painter ----

void PaintProgress(HDC dc, const RECT& client, const ProgressModel& model, DWORD style)
{
    RECT r = client;
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    HBRUSH back = model.backColor == CLR_DEFAULT ? GetSysColorBrush(COLOR_BTNFACE) : CreateSolidBrush(model.backColor);
    FillRect(dc, &r, back);
    if (model.backColor != CLR_DEFAULT)
        DeleteObject(back);
    InflateRect(&r, -1, -1);
    const bool vertical = (style & PBS_VERTICAL) != 0;
    const int length = vertical ? r.bottom - r.top : r.right - r.left;
    const int thickness = vertical ? r.right - r.left : r.bottom - r.top;
    const int filled = model.Filled(length);
    if (filled <= 0 || thickness <= 0)
        return;
    HBRUSH bar = model.barColor == CLR_DEFAULT ? GetSysColorBrush(COLOR_HIGHLIGHT) : CreateSolidBrush(model.barColor);
    auto fill = [&](int from, int to) {
        RECT part = vertical ? RECT{r.left, r.bottom - to, r.right, r.bottom - from} : RECT{r.left + from, r.top, r.left + to, r.bottom};
        FillRect(dc, &part, bar);
    };
    if (style & PBS_SMOOTH) {
        fill(0, filled);
    } else {
        // Blocks two thirds as long as the bar is thick, two pixels apart; a block is shown
        // whole once the position reaches into it.
        const int block = std::max(2, thickness * 2 / 3);
        for (int at = 0; at < filled; at += block + 2)
            fill(at, std::min(at + block, length));
    }
    if (model.barColor != CLR_DEFAULT)
        DeleteObject(bar);
}

// ---- Window procedure ----

namespace {

LRESULT HandleProgressMessage(HWND hwnd, ProgressModel& model, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The old position first, then the new one: as two arguments of one call their order would
    // be the compiler's, and the bar might compare the new position with itself.
    auto changed = [hwnd, &model](int old) {
        if (old != model.Pos())
            InvalidateRect(hwnd, nullptr, FALSE);
        return old;
    };
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        return PaintOrPrintClient(hwnd, wParam, [&](HDC dc) {
            RECT client;
            GetClientRect(hwnd, &client);
            PaintProgress(dc, client, model, static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)));
        });
    }
    case PBM_SETRANGE: {
        const DWORD old = model.SetRange(LOWORD(lParam), HIWORD(lParam));
        InvalidateRect(hwnd, nullptr, FALSE);
        return old;
    }
    case PBM_SETRANGE32: {
        const DWORD old = model.SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
        InvalidateRect(hwnd, nullptr, FALSE);
        return old;
    }
    case PBM_GETRANGE:
        if (lParam) {
            auto* range = reinterpret_cast<PPBRANGE>(lParam);
            range->iLow = model.Low();
            range->iHigh = model.High();
        }
        return wParam ? model.Low() : model.High();
    case PBM_SETPOS:
        return changed(model.SetPos(static_cast<int>(wParam)));
    case PBM_DELTAPOS:
        return changed(model.DeltaPos(static_cast<int>(wParam)));
    case PBM_SETSTEP:
        return model.SetStep(static_cast<int>(wParam));
    case PBM_STEPIT:
        return changed(model.StepIt());
    case PBM_GETPOS:
        return model.Pos();
    case PBM_SETBARCOLOR: {
        const COLORREF old = model.barColor;
        model.barColor = static_cast<COLORREF>(lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return old;
    }
    case PBM_SETBKCOLOR: {
        const COLORREF old = model.backColor;
        model.backColor = static_cast<COLORREF>(lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return old;
    }
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK ProgressWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchControlMessage<ProgressModel>(
        hwnd, message, wParam, lParam, [](const CREATESTRUCT&) { return new ProgressModel; }, HandleProgressMessage);
}
