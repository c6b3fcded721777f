// The default window procedure.
#include "platform/core/CRect.h"
#include "platform/win/detail/CursorShape.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowClass.h"
#include "platform/win/detail/WindowManager.h"
#include "platform/win/detail/WindowDefaults.h"

#include <algorithm>
#include <cstring>

namespace {

std::vector<std::unique_ptr<IDefaultHandler>>& Handlers()
{
    static std::vector<std::unique_ptr<IDefaultHandler>> handlers;
    return handlers;
}

void SetTextFrom(Window& window, LPCSTR text)
{
    if (!text || IS_INTRESOURCE(text))
        window.text.clear();
    else
        window.text = text;
}

HBRUSH BrushFromClass(HBRUSH brush)
{
    // A value up to the last colour index + 1 names a system colour.
    auto value = reinterpret_cast<uintptr_t>(brush);
    if (value > 0 && value <= COLOR_MENUBAR + 1)
        return GetSysColorBrush(static_cast<int>(value - 1));
    return brush;
}

LRESULT CtlColor(UINT message, HDC dc)
{
    int text = COLOR_WINDOWTEXT;
    int back = COLOR_WINDOW;
    switch (message) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORMSGBOX:
        back = COLOR_BTNFACE;
        break;
    case WM_CTLCOLORSCROLLBAR:
        back = COLOR_SCROLLBAR;
        break;
    default:
        break;
    }
    SetTextColor(dc, GetSysColor(text));
    SetBkColor(dc, GetSysColor(back));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
}

} // namespace

void AddDefaultHandler(std::unique_ptr<IDefaultHandler> handler)
{
    Handlers().push_back(std::move(handler));
}

LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Window* window = WindowManager::Find(hWnd);
    if (!window)
        return 0;
    if (Msg == WM_SYSCOMMAND) {
        // A training hook may refuse any system command before it is carried out.
        WindowManager& wm = WindowManager::Get();
        if (wm.HasHooks(WH_CBT) && wm.CallHooks(WH_CBT, HCBT_SYSCOMMAND, wParam, lParam))
            return 0;
        window = WindowManager::Find(hWnd);
        if (!window)
            return 0;
    }
    for (auto& handler : Handlers()) {
        LRESULT result = 0;
        if (handler->Handle(hWnd, Msg, wParam, lParam, result))
            return result;
    }
    window = WindowManager::Find(hWnd);
    if (!window)
        return 0;
    WindowManager& wm = WindowManager::Get();
    switch (Msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        if (cs)
            SetTextFrom(*window, cs->lpszName);
        return TRUE;
    }
    case WM_NCCALCSIZE: {
        if (wParam) {
            auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
            if (params)
                params->rgrc[0] = DefaultClientRect(*window, params->rgrc[0]);
        } else if (auto* r = reinterpret_cast<RECT*>(lParam)) {
            *r = DefaultClientRect(*window, *r);
        }
        return 0;
    }
    case WM_NCHITTEST:
        return DefaultHitTest(*window, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT: {
        window->ncPaint = false;
        if (!window->IsChild() || window->client.left != window->rect.left || window->client.top != window->rect.top ||
            window->client.right != window->rect.right || window->client.bottom != window->rect.bottom) {
            HDC dc = GetWindowDC(hWnd);
            if (dc) {
                // A real update region (screen coordinates) limits the painting; 1 means all.
                if (wParam > 1) {
                    HRGN clip = CreateRectRgn(0, 0, 0, 0);
                    RECT screen{};
                    GetWindowRect(hWnd, &screen);
                    if (CombineRgn(clip, reinterpret_cast<HRGN>(wParam), nullptr, RGN_COPY) != ERROR) {
                        OffsetRgn(clip, -screen.left, -screen.top);
                        SelectClipRgn(dc, clip);
                    }
                    DeleteObject(clip);
                }
                if (IPaintHooks* hooks = wm.PaintHooks())
                    hooks->PaintNonClient(hWnd, dc);
                ReleaseDC(hWnd, dc);
            }
        }
        return 0;
    }
    case WM_NCACTIVATE:
        window->ncActive = wParam != 0;
        if ((window->style & WS_CAPTION) == WS_CAPTION && IsWindowVisible(hWnd))
            RedrawWindow(hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
        return TRUE;
    case WM_ERASEBKGND: {
        HBRUSH brush = window->cls ? BrushFromClass(window->cls->background) : nullptr;
        if (!brush)
            return 0;
        HDC dc = reinterpret_cast<HDC>(wParam);
        RECT r;
        GetClipBox(dc, &r);
        RECT client = window->ClientArea();
        IntersectRect(&r, &r, &client);
        FillRect(dc, &r, brush);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(hWnd, &ps))
            EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_SETTEXT:
        SetTextFrom(*window, reinterpret_cast<LPCSTR>(lParam));
        if (window->native)
            GetWindowBackend().SetNativeTitle(window->native, window->text);
        if ((window->style & WS_CAPTION) == WS_CAPTION && IsWindowVisible(hWnd))
            RedrawWindow(hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
        return TRUE;
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPSTR>(lParam);
        const size_t room = static_cast<size_t>(wParam);
        if (!buffer || room == 0)
            return 0;
        size_t n = std::min(room - 1, window->text.size());
        std::memcpy(buffer, window->text.data(), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window->text.size());
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_WINDOWPOSCHANGING: {
        auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
        if (wp && !(wp->flags & SWP_NOSIZE) && !(window->style & (WS_MINIMIZE | WS_MAXIMIZE)) &&
            ((window->style & WS_THICKFRAME) || !(window->style & (WS_POPUP | WS_CHILD)))) {
            MINMAXINFO mmi{};
            SIZE screen = GetWindowBackend().ScreenSize();
            mmi.ptMaxSize = POINT{screen.cx, screen.cy};
            mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
            mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
            SendMessage(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
            if (window->style & WS_THICKFRAME) {
                wp->cx = std::clamp<int>(wp->cx, mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
                wp->cy = std::clamp<int>(wp->cy, mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
            }
        }
        return 0;
    }
    case WM_WINDOWPOSCHANGED: {
        auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!wp)
            return 0;
        if (!(wp->flags & SWP_NOCLIENTMOVE))
            SendMessage(hWnd, WM_MOVE, 0, MAKELPARAM(window->client.left, window->client.top));
        window = WindowManager::Find(hWnd);
        if (window && !(wp->flags & SWP_NOCLIENTSIZE)) {
            WPARAM type = (window->style & WS_MINIMIZE)   ? SIZE_MINIMIZED
                          : (window->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                                          : SIZE_RESTORED;
            SendMessage(hWnd, WM_SIZE, type,
                        MAKELPARAM(window->client.right - window->client.left, window->client.bottom - window->client.top));
        }
        return 0;
    }
    case WM_SETREDRAW:
        window->redrawOff = !wParam;
        return 0;
    case WM_MOUSEACTIVATE:
        if (window->IsChild()) {
            if (LRESULT r = SendMessage(window->parent, WM_MOUSEACTIVATE, wParam, lParam))
                return r;
        }
        return MA_ACTIVATE;
    case WM_SETCURSOR: {
        if (window->IsChild()) {
            if (SendMessage(window->parent, WM_SETCURSOR, wParam, lParam))
                return TRUE;
            window = WindowManager::Find(hWnd);
            if (!window)
                return FALSE;
        }
        const int hit = static_cast<short>(LOWORD(lParam));
        if (hit == HTERROR) {
            const UINT mouse = HIWORD(lParam);
            if (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN || mouse == WM_MBUTTONDOWN)
                MessageBeep(0);
            return FALSE;
        }
        if (hit == HTCLIENT) {
            if (window->cls && window->cls->cursor) {
                SetCursor(window->cls->cursor);
                return TRUE;
            }
            return FALSE;
        }
        if (HCURSOR cursor = CursorForHitTest(hit)) {
            SetCursor(cursor);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CANCELMODE:
        if (wm.capture == hWnd)
            ReleaseCapture();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !(window->style & WS_MINIMIZE))
            SetFocus(hWnd);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessage(hWnd, WM_CLOSE, 0, 0);
            return 0;
        case SC_MINIMIZE:
            ShowWindow(hWnd, SW_MINIMIZE);
            return 0;
        case SC_MAXIMIZE:
            ShowWindow(hWnd, SW_MAXIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(hWnd, SW_RESTORE);
            return 0;
        default:
            return 0;
        }
    case WM_KEYF1: {
        // The help of the window (its control id names it); WM_HELP travels up to a parent that
        // answers it.
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = window->IsChild() ? GetDlgCtrlID(hWnd) : 0;
        info.hItemHandle = hWnd;
        info.dwContextId = 0;
        GetCursorPos(&info.MousePos);
        SendMessage(hWnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        return 0;
    }
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_CONTEXTMENU:
    case WM_HELP:
        // These travel up to the parent when the child does not handle them.
        if (window->IsChild())
            return SendMessage(window->parent, Msg, wParam, lParam);
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return CtlColor(Msg, reinterpret_cast<HDC>(wParam));
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN:
        return TRUE;
    case WM_GETDLGCODE:
    default:
        return 0;
    }
}

LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}
