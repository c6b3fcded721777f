// Tool tips: the model of tools and delays, the pop-up's window procedure with its timers, and
// the subclassing that lets a tool's window report the mouse by itself.
#include "platform/controls/ToolTip.h"

#include "platform/controls/ControlSupport.h"
#include "platform/core/CRect.h"
#include "platform/core/ResourceTable.h"
#include "platform/core/TickCount.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"

#include <algorithm>
#include <cstring>

// ---- Model ----

bool ToolTipModel::Add(const TOOLINFO& info)
{
    Tool tool;
    tool.flags = info.uFlags;
    tool.hwnd = info.hwnd;
    tool.id = info.uId;
    tool.rect = info.rect;
    tool.instance = info.hinst;
    tool.lParam = info.lParam;
    if (info.lpszText == LPSTR_TEXTCALLBACK)
        tool.callback = true;
    else if (info.lpszText && IS_INTRESOURCE(info.lpszText))
        tool.resource = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(info.lpszText));
    else if (info.lpszText)
        tool.text = info.lpszText;
    const int existing = Find(info.hwnd, info.uId);
    if (existing >= 0)
        m_tools[static_cast<size_t>(existing)] = std::move(tool);
    else
        m_tools.push_back(std::move(tool));
    return true;
}

bool ToolTipModel::Remove(HWND hwnd, UINT_PTR id)
{
    const int i = Find(hwnd, id);
    if (i < 0)
        return false;
    m_tools.erase(m_tools.begin() + i);
    if (current == i)
        current = -1;
    else if (current > i)
        --current;
    return true;
}

int ToolTipModel::Find(HWND hwnd, UINT_PTR id) const
{
    for (size_t i = 0; i < m_tools.size(); ++i)
        if (m_tools[i].hwnd == hwnd && m_tools[i].id == id)
            return static_cast<int>(i);
    return -1;
}

int ToolTipModel::HitTest(HWND hwnd, POINT client) const
{
    for (size_t i = 0; i < m_tools.size(); ++i) {
        const Tool& t = m_tools[i];
        if (t.flags & TTF_IDISHWND) {
            if (reinterpret_cast<HWND>(t.id) == hwnd)
                return static_cast<int>(i);
        } else if (t.hwnd == hwnd && PtInRect(&t.rect, client)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ToolTipModel::Fill(int i, TOOLINFO& info) const
{
    const Tool& t = At(i);
    // A caller's buffer receives the text (80 bytes, as the record promises); without one the
    // record names where the text comes from.
    LPSTR buffer = info.lpszText && info.lpszText != LPSTR_TEXTCALLBACK && !IS_INTRESOURCE(info.lpszText)
                       ? info.lpszText
                       : nullptr;
    info.uFlags = t.flags;
    info.hwnd = t.hwnd;
    info.uId = t.id;
    info.rect = t.rect;
    info.hinst = t.instance;
    info.lParam = t.lParam;
    if (t.callback) {
        info.lpszText = LPSTR_TEXTCALLBACK;
    } else if (buffer) {
        const size_t n = std::min<size_t>(t.text.size(), 79);
        std::memcpy(buffer, t.text.data(), n);
        buffer[n] = '\0';
        info.lpszText = buffer;
    } else if (t.resource) {
        info.lpszText = MAKEINTRESOURCE(t.resource);
    } else {
        info.lpszText = nullptr;
    }
}

void ToolTipModel::SetDelay(int which, int ms)
{
    const int value = ms < 0 ? -1 : ms;
    switch (which) {
    case TTDT_AUTOMATIC:
        m_initial = value;
        m_autopop = value < 0 ? -1 : value * 10;
        m_reshow = value < 0 ? -1 : value / 5;
        break;
    case TTDT_INITIAL: m_initial = value; break;
    case TTDT_AUTOPOP: m_autopop = value; break;
    case TTDT_RESHOW: m_reshow = value; break;
    default: break;
    }
}

int ToolTipModel::Delay(int which) const
{
    const int base = static_cast<int>(GetDoubleClickTime());
    switch (which) {
    case TTDT_INITIAL: return m_initial >= 0 ? m_initial : base;
    case TTDT_AUTOPOP: return m_autopop >= 0 ? m_autopop : base * 10;
    case TTDT_RESHOW: return m_reshow >= 0 ? m_reshow : base / 5;
    default: return m_initial >= 0 ? m_initial : base;
    }
}

// ---- Window ----

namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kPopTimer = 2;
constexpr int kMarginX = 4;
constexpr int kMarginY = 2;
// How far below the pointer's hot spot a tip stands, clear of the arrow.
constexpr int kBelowPointer = 20;
// A tip longer than this on one line wraps at this width, unless its owner set a width.
constexpr int kReadableWidth = 320;
constexpr char kTipProp[] = "ToolTipOfWindow";
constexpr char kOldProcProp[] = "ToolTipOldProc";

struct TipState {
    ToolTipModel model;
    HFONT font = nullptr;
    COLORREF back = CLR_INVALID;
    COLORREF fore = CLR_INVALID;
    std::string text;                 // what is shown now
    int wrap = 0;                     // the width it wraps at, 0 for one line
    std::vector<HWND> subclassed;
    // When a shown tip went because the pointer left its tool: entering another tool soon
    // after takes only the reshow delay, as moving straight between tools does.
    bool leftShown = false;
    DWORD leftAt = 0;
    // Kept alive while the control's own code runs (ControlCallGuard).
    int m_depth = 0;
    bool m_orphaned = false;
};

LRESULT CALLBACK ToolSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto tip = static_cast<HWND>(GetProp(hwnd, kTipProp));
    auto old = reinterpret_cast<WNDPROC>(GetProp(hwnd, kOldProcProp));
    const bool mouse = (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSELEAVE;
    if (tip && mouse && IsWindow(tip)) {
        MSG msg{};
        msg.hwnd = hwnd;
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        SendMessage(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    }
    if (message == WM_NCDESTROY && old) {
        SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemoveProp(hwnd, kTipProp);
        RemoveProp(hwnd, kOldProcProp);
    }
    return old ? CallWindowProc(old, hwnd, message, wParam, lParam) : DefWindowProc(hwnd, message, wParam, lParam);
}

void Subclass(HWND tip, TipState& state, HWND window)
{
    if (!IsWindow(window) || GetProp(window, kTipProp))
        return;
    auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtr(window, GWLP_WNDPROC));
    SetProp(window, kTipProp, tip);
    SetProp(window, kOldProcProp, reinterpret_cast<HANDLE>(old));
    SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ToolSubclassProc));
    state.subclassed.push_back(window);
}

void Unsubclass(HWND tip, TipState& state)
{
    for (HWND window : state.subclassed) {
        if (!IsWindow(window) || GetProp(window, kTipProp) != tip)
            continue;
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtr(window, GWLP_WNDPROC)) == ToolSubclassProc)
            SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetProp(window, kOldProcProp)));
        RemoveProp(window, kTipProp);
        RemoveProp(window, kOldProcProp);
    }
    state.subclassed.clear();
}

std::string LoadText(HINSTANCE instance, UINT id)
{
    LPCSTR text = nullptr;
    const int length = LoadString(instance, id, reinterpret_cast<LPSTR>(&text), 0);
    return length > 0 && text ? std::string(text, static_cast<size_t>(length)) : std::string();
}

void NotifyTool(HWND tip, const ToolTipModel::Tool& tool, NMHDR& header, UINT code)
{
    header.hwndFrom = tip;
    header.idFrom = tool.id;
    header.code = code;
    SendMessage(tool.hwnd, WM_NOTIFY, tool.id, reinterpret_cast<LPARAM>(&header));
}

std::string TipTextOf(HWND tip, TipState& state, int index)
{
    ToolTipModel::Tool& tool = state.model.At(index);
    if (!tool.callback)
        return tool.resource ? LoadText(tool.instance, tool.resource) : tool.text;
    NMTTDISPINFO info{};
    info.uFlags = tool.flags;
    info.lParam = tool.lParam;
    NotifyTool(tip, tool, info.hdr, TTN_NEEDTEXT);
    if (!IsWindow(tip) || index >= state.model.Count())
        return std::string();
    std::string text;
    if (info.lpszText && IS_INTRESOURCE(info.lpszText))
        text = LoadText(info.hinst, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(info.lpszText)));
    else if (info.lpszText && info.lpszText != LPSTR_TEXTCALLBACK)
        text = info.lpszText;
    else
        text.assign(info.szText, strnlen(info.szText, sizeof info.szText));
    // The owner may ask to be asked no more.
    if (info.uFlags & TTF_DI_SETITEM) {
        tool.callback = false;
        tool.text = text;
    }
    return text;
}

// The tip's size for the text; also decides the width it wraps at (kept in state.wrap): the
// owner's maximum width, else a readable width for a text too long for one line, else none.
SIZE TipSize(HWND tip, TipState& state, const std::string& text)
{
    HDC dc = GetDC(tip);
    HGDIOBJ old = SelectObject(dc, ControlFont(state.font));
    const int length = static_cast<int>(text.size());
    const UINT format = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS;
    state.wrap = state.model.maxWidth > 0 ? state.model.maxWidth : 0;
    if (state.wrap == 0) {
        RECT line{0, 0, 0, 0};
        DrawText(dc, text.c_str(), length, &line, format | DT_SINGLELINE);
        if (line.right - line.left > kReadableWidth)
            state.wrap = kReadableWidth;
    }
    RECT r{0, 0, state.wrap, 0};
    DrawText(dc, text.c_str(), length, &r, format | (state.wrap > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(tip, dc);
    return SIZE{r.right - r.left + 2 * kMarginX + 2, r.bottom - r.top + 2 * kMarginY + 2};
}

void Hide(HWND tip, TipState& state)
{
    KillTimer(tip, kPopTimer);
    if (!state.model.shown)
        return;
    state.model.shown = false;
    ShowWindow(tip, SW_HIDE);
    if (state.model.current >= 0 && state.model.current < state.model.Count()) {
        NMHDR header{};
        NotifyTool(tip, state.model.At(state.model.current), header, TTN_POP);
    }
}

// Shows the current tool's tip with its top-left corner at a screen point (kept on screen).
void Show(HWND tip, TipState& state, POINT at)
{
    const int index = state.model.current;
    if (index < 0 || index >= state.model.Count())
        return;
    state.text = TipTextOf(tip, state, index);
    if (!IsWindow(tip) || state.text.empty())
        return;
    const SIZE size = TipSize(tip, state, state.text);
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    at.x = std::max(0, std::min(static_cast<int>(at.x), screenW - size.cx));
    at.y = std::max(0, std::min(static_cast<int>(at.y), screenH - size.cy));
    SetWindowPos(tip, HWND_TOPMOST, at.x, at.y, size.cx, size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    InvalidateRect(tip, nullptr, TRUE);
    state.model.shown = true;
    NMHDR header{};
    NotifyTool(tip, state.model.At(index), header, TTN_SHOW);
    if (!state.model.tracking)
        SetTimer(tip, kPopTimer, static_cast<UINT>(state.model.Delay(TTDT_AUTOPOP)), nullptr);
}

// The tool under the pointer now, checked again when the delay has passed.
int ToolUnderPointer(const TipState& state)
{
    POINT pt;
    GetCursorPos(&pt);
    HWND under = WindowFromPoint(pt);
    if (!under)
        return -1;
    ScreenToClient(under, &pt);
    return state.model.HitTest(under, pt);
}

void OnShowTimer(HWND tip, TipState& state)
{
    KillTimer(tip, kShowTimer);
    ToolTipModel& model = state.model;
    if (model.current < 0 || model.popped || !model.active || model.tracking)
        return;
    if (ToolUnderPointer(state) != model.current)
        return;
    POINT pt;
    GetCursorPos(&pt);
    Show(tip, state, POINT{pt.x, pt.y + kBelowPointer});
}

void Relay(HWND tip, TipState& state, const MSG& msg)
{
    ToolTipModel& model = state.model;
    if (model.tracking)
        return;
    switch (msg.message) {
    case WM_MOUSEMOVE: {
        const POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        const int tool = model.HitTest(msg.hwnd, pt);
        if (tool == model.current)
            return;
        const bool wasShown = model.shown || (state.leftShown && GetTickCount() - state.leftAt <
                                                                     static_cast<DWORD>(model.Delay(TTDT_INITIAL)));
        state.leftShown = false;
        Hide(tip, state);
        KillTimer(tip, kShowTimer);
        model.current = tool;
        model.popped = false;
        if (tool < 0 || !model.active)
            return;
        // Moving from one shown tip to the next tool takes only the short reshow delay.
        SetTimer(tip, kShowTimer, static_cast<UINT>(model.Delay(wasShown ? TTDT_RESHOW : TTDT_INITIAL)), nullptr);
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, msg.hwnd, 0};
        TrackMouseEvent(&track);
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
        // A press puts the tip away until the pointer moves to another tool.
        KillTimer(tip, kShowTimer);
        Hide(tip, state);
        model.popped = model.current >= 0;
        return;
    case WM_MOUSELEAVE:
        KillTimer(tip, kShowTimer);
        state.leftShown = model.shown;
        state.leftAt = GetTickCount();
        Hide(tip, state);
        model.current = -1;
        model.popped = false;
        return;
    default:
        return;
    }
}

void PaintToolTip(HWND tip, HDC dc, const TipState& state)
{
    RECT client;
    GetClientRect(tip, &client);
    const COLORREF back = state.back == CLR_INVALID ? GetSysColor(COLOR_INFOBK) : state.back;
    const COLORREF fore = state.fore == CLR_INVALID ? GetSysColor(COLOR_INFOTEXT) : state.fore;
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    HBRUSH frame = CreateSolidBrush(fore);
    FrameRect(dc, &client, frame);
    DeleteObject(frame);
    HGDIOBJ old = SelectObject(dc, ControlFont(state.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, fore);
    RECT text = client;
    InflateRect(&text, -(kMarginX + 1), -(kMarginY + 1));
    DrawText(dc, state.text.c_str(), static_cast<int>(state.text.size()), &text,
             DT_NOPREFIX | DT_EXPANDTABS | (state.wrap > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
}

LRESULT HandleToolTipMessage(HWND tip, TipState& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    ToolTipModel& model = state.model;
    auto* info = reinterpret_cast<TOOLINFO*>(lParam);
    switch (message) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(tip, &ps);
        PaintToolTip(tip, dc, state);
        EndPaint(tip, &ps);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kShowTimer)
            OnShowTimer(tip, state);
        else if (wParam == kPopTimer) {
            Hide(tip, state);
            model.popped = true;
        }
        return 0;
    case WM_SETFONT:
        state.font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state.font);
    case WM_DESTROY:
        KillTimer(tip, kShowTimer);
        KillTimer(tip, kPopTimer);
        Unsubclass(tip, state);
        return 0;
    case TTM_ACTIVATE:
        model.active = wParam != 0;
        if (!model.active) {
            KillTimer(tip, kShowTimer);
            Hide(tip, state);
        }
        return 0;
    case TTM_SETDELAYTIME:
        model.SetDelay(static_cast<int>(wParam), static_cast<short>(LOWORD(lParam)));
        return 0;
    case TTM_GETDELAYTIME:
        return model.Delay(static_cast<int>(wParam));
    case TTM_ADDTOOL:
        if (!info || !model.Add(*info))
            return FALSE;
        if (info->uFlags & TTF_SUBCLASS)
            Subclass(tip, state, (info->uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info->uId) : info->hwnd);
        return TRUE;
    case TTM_DELTOOL:
        if (info) {
            const int i = model.Find(info->hwnd, info->uId);
            if (i >= 0 && i == model.current)
                Hide(tip, state);
            model.Remove(info->hwnd, info->uId);
        }
        return 0;
    case TTM_NEWTOOLRECT:
        if (info) {
            const int i = model.Find(info->hwnd, info->uId);
            if (i >= 0)
                model.At(i).rect = info->rect;
        }
        return 0;
    case TTM_GETTOOLINFO: {
        const int i = info ? model.Find(info->hwnd, info->uId) : -1;
        if (i < 0)
            return FALSE;
        model.Fill(i, *info);
        return TRUE;
    }
    case TTM_SETTOOLINFO:
    case TTM_UPDATETIPTEXT: {
        if (!info)
            return 0;
        const int i = model.Find(info->hwnd, info->uId);
        if (i < 0)
            return 0;
        if (message == TTM_SETTOOLINFO) {
            model.Add(*info);
        } else {
            TOOLINFO updated{};
            model.Fill(i, updated);
            updated.lpszText = info->lpszText;
            updated.hinst = info->hinst;
            model.Add(updated);
        }
        if (model.shown && i == model.current) {
            RECT r;
            GetWindowRect(tip, &r);
            Show(tip, state, POINT{r.left, r.top});
        }
        return 0;
    }
    case TTM_GETTEXT: {
        const int i = info ? model.Find(info->hwnd, info->uId) : -1;
        if (i < 0 || !info->lpszText || info->lpszText == LPSTR_TEXTCALLBACK)
            return 0;
        const std::string text = TipTextOf(tip, state, i);
        // The caller's buffer holds up to 80 bytes unless it says otherwise in wParam.
        const size_t room = wParam ? static_cast<size_t>(wParam) : 80;
        const size_t n = std::min(text.size(), room - 1);
        std::memcpy(info->lpszText, text.data(), n);
        info->lpszText[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case TTM_GETTOOLCOUNT:
        return model.Count();
    case TTM_ENUMTOOLS:
        if (!info || static_cast<int>(wParam) >= model.Count())
            return FALSE;
        model.Fill(static_cast<int>(wParam), *info);
        return TRUE;
    case TTM_GETCURRENTTOOL:
        if (model.current < 0 || !model.shown)
            return FALSE;
        if (info)
            model.Fill(model.current, *info);
        return TRUE;
    case TTM_HITTEST: {
        auto* hit = reinterpret_cast<TTHITTESTINFO*>(lParam);
        if (!hit)
            return FALSE;
        const int i = model.HitTest(hit->hwnd, hit->pt);
        if (i < 0)
            return FALSE;
        model.Fill(i, hit->ti);
        return TRUE;
    }
    case TTM_RELAYEVENT:
        if (lParam)
            Relay(tip, state, *reinterpret_cast<const MSG*>(lParam));
        return 0;
    case TTM_TRACKACTIVATE: {
        const int i = info ? model.Find(info->hwnd, info->uId) : -1;
        KillTimer(tip, kShowTimer);
        if (wParam && i >= 0) {
            Hide(tip, state);
            model.tracking = true;
            model.current = i;
            Show(tip, state, model.trackAt);
        } else {
            Hide(tip, state);
            model.tracking = false;
        }
        return 0;
    }
    case TTM_TRACKPOSITION:
        model.trackAt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (model.tracking && model.shown)
            SetWindowPos(tip, HWND_TOPMOST, model.trackAt.x, model.trackAt.y, 0, 0,
                         SWP_NOSIZE | SWP_NOACTIVATE);
        return 0;
    case TTM_SETTIPBKCOLOR:
        state.back = static_cast<COLORREF>(wParam);
        InvalidateRect(tip, nullptr, TRUE);
        return 0;
    case TTM_SETTIPTEXTCOLOR:
        state.fore = static_cast<COLORREF>(wParam);
        InvalidateRect(tip, nullptr, TRUE);
        return 0;
    case TTM_SETMAXTIPWIDTH: {
        const int old = model.maxWidth;
        model.maxWidth = static_cast<int>(lParam);
        return old;
    }
    case TTM_POP:
        KillTimer(tip, kShowTimer);
        Hide(tip, state);
        return 0;
    case TTM_UPDATE:
        if (model.shown) {
            RECT r;
            GetWindowRect(tip, &r);
            Show(tip, state, POINT{r.left, r.top});
        }
        return 0;
    default:
        return DefWindowProc(tip, message, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK ToolTipWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchControlMessage<TipState>(
        hwnd, message, wParam, lParam, [](const CREATESTRUCT&) { return new TipState; }, HandleToolTipMessage);
}
