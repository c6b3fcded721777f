// Drawing the non-client area, the caption buttons and the move/size loop.
#include "platform/win/detail/MenuTracker.h"
#include "platform/win/detail/NonClient.h"

#include "platform/core/CRect.h"
#include "platform/win/detail/CaretPaint.h"
#include "platform/win/Gdi.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/UserApi.h"

#include <algorithm>

namespace {

class NonClientState : public WindowAttachment {
public:
    int pressed = 0;   // the caption button held down (HT code)
};

NonClientState* StateOf(HWND hwnd)
{
    Window* window = WindowManager::Find(hwnd);
    if (!window)
        return nullptr;
    if (!window->nonClient)
        window->nonClient = std::make_unique<NonClientState>();
    return dynamic_cast<NonClientState*>(window->nonClient.get());
}

// Mouse and key messages, which the move/size loops swallow rather than dispatch.
bool IsInputMessage(UINT message)
{
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK) ||
           (message >= WM_KEYFIRST && message <= WM_KEYLAST);
}

bool HasCaption(const Window& w) { return (w.style & WS_CAPTION) == WS_CAPTION; }

// The window rectangle less the frame, in window coordinates.
RECT InsideFrame(const Window& w)
{
    RECT r{0, 0, w.Width(), w.Height()};
    if (w.style & WS_THICKFRAME)
        InflateRect(&r, -GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME));
    else if ((w.style & WS_DLGFRAME) || (w.exStyle & WS_EX_DLGMODALFRAME))
        InflateRect(&r, -GetSystemMetrics(SM_CXDLGFRAME), -GetSystemMetrics(SM_CYDLGFRAME));
    else if (w.style & WS_BORDER)
        InflateRect(&r, -GetSystemMetrics(SM_CXBORDER), -GetSystemMetrics(SM_CYBORDER));
    return r;
}

int CaptionHeight(const Window& w)
{
    return GetSystemMetrics((w.exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
}

void RepaintFrame(HWND hwnd)
{
    if (!IsWindowVisible(hwnd))
        return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc)
        return;
    PaintNonClientArea(hwnd, dc);
    ReleaseDC(hwnd, dc);
}

void FrameBand(HDC dc, RECT& r, int width, HBRUSH brush)
{
    for (int i = 0; i < width; ++i) {
        FrameRect(dc, &r, brush);
        InflateRect(&r, -1, -1);
    }
}

// Follows a press on a caption button until the release; true when it was released on it.
bool TrackCaptionButton(HWND hwnd, int hit)
{
    NonClientState* state = StateOf(hwnd);
    if (!state)
        return false;
    state->pressed = hit;
    RepaintFrame(hwnd);
    SetCapture(hwnd);
    bool over = true;
    MSG msg;
    while (GetTrackingMessage(hwnd, msg)) {
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
            Window* window = WindowManager::Find(hwnd);
            const bool now = window && DefaultHitTest(*window, msg.pt) == hit;
            if (now != over) {
                over = now;
                if ((state = StateOf(hwnd)) != nullptr)
                    state->pressed = over ? hit : 0;
                RepaintFrame(hwnd);
            }
            continue;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP)
            break;
        if (IsInputMessage(msg.message))
            continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    if (!IsWindow(hwnd))
        return false;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    if ((state = StateOf(hwnd)) != nullptr)
        state->pressed = 0;
    RepaintFrame(hwnd);
    return over;
}

WPARAM ButtonCommand(HWND hwnd, int hit)
{
    switch (hit) {
    case HTCLOSE: return SC_CLOSE;
    case HTMINBUTTON: return IsIconic(hwnd) ? SC_RESTORE : SC_MINIMIZE;
    case HTMAXBUTTON: return IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE;
    default: return 0;
    }
}

} // namespace

RECT CaptionButtonRect(HWND hwnd, int hitTest)
{
    Window* w = WindowManager::Find(hwnd);
    if (!w || !HasCaption(*w) || !(w->style & WS_SYSMENU))
        return RECT{0, 0, 0, 0};
    const bool tool = (w->exStyle & WS_EX_TOOLWINDOW) != 0;
    RECT r = InsideFrame(*w);
    const int ch = CaptionHeight(*w);
    const int bw = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE);
    // Each button sits in its slot of the caption, 2 pixels in from the slot's top and right.
    auto slot = [&](int right) { return RECT{right - bw, r.top + 2, right - 2, r.top + ch - 3}; };
    if (hitTest == HTCLOSE)
        return slot(r.right);
    const bool boxes = (w->style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) && !tool;
    if (!boxes)
        return RECT{0, 0, 0, 0};
    const int right = r.right - bw - 2;
    if (hitTest == HTMAXBUTTON)
        return slot(right);
    if (hitTest == HTMINBUTTON)
        return slot(right - bw);
    return RECT{0, 0, 0, 0};
}

void PaintNonClientArea(HWND hwnd, HDC dc)
{
    Window* w = WindowManager::Find(hwnd);
    if (!w)
        return;
    // The caption is drawn as the window's last WM_NCACTIVATE said: a floating palette keeps
    // it active in step with its frame, and a window being deactivated is drawn inactive while
    // it is still the active one.
    const bool active = w->ncActive;
    RECT r{0, 0, w->Width(), w->Height()};
    const POINT off = w->ClientOffset();
    RECT client{off.x, off.y, off.x + w->client.right - w->client.left, off.y + w->client.bottom - w->client.top};

    if (w->style & WS_THICKFRAME) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        FrameBand(dc, r, GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXEDGE),
                  GetSysColorBrush(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER));
    } else if ((w->style & WS_DLGFRAME) || (w->exStyle & WS_EX_DLGMODALFRAME)) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        FrameBand(dc, r, GetSystemMetrics(SM_CXDLGFRAME) - GetSystemMetrics(SM_CXEDGE), GetSysColorBrush(COLOR_3DFACE));
    } else if (w->style & WS_BORDER) {
        FrameBand(dc, r, 1, GetSysColorBrush(COLOR_WINDOWFRAME));
    }

    // A window that paints its own caption clears its visible bit while it lets the default
    // handling run: the caption is then left to it.
    const bool paintCaption = (w->style & WS_VISIBLE) != 0;
    if (HasCaption(*w) && !paintCaption) {
        r.top += CaptionHeight(*w);
    } else if (HasCaption(*w)) {
        const int ch = CaptionHeight(*w);
        RECT caption{r.left, r.top, r.right, std::min<LONG>(r.top + ch - 1, r.bottom)};
        RECT line{r.left, caption.bottom, r.right, std::min<LONG>(r.top + ch, r.bottom)};
        FillRect(dc, &caption, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        FillRect(dc, &line, GetSysColorBrush(COLOR_3DFACE));
        RECT text = caption;
        text.left += 2;
        if ((w->style & WS_SYSMENU) && !(w->exStyle & WS_EX_TOOLWINDOW))
            text.left += GetSystemMetrics(SM_CXSMICON) + 2;
        NonClientState* state = StateOf(hwnd);
        w = WindowManager::Find(hwnd);
        if (!w)
            return;
        for (int hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON}) {
            RECT button = CaptionButtonRect(hwnd, hit);
            if (IsRectEmpty(&button))
                continue;
            text.right = std::min(text.right, button.left - 2);
            UINT kind = DFCS_CAPTIONCLOSE;
            if (hit == HTMAXBUTTON)
                kind = (w->style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX;
            else if (hit == HTMINBUTTON)
                kind = (w->style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN;
            if (hit == HTMAXBUTTON && !(w->style & WS_MAXIMIZEBOX))
                kind |= DFCS_INACTIVE;
            if (hit == HTMINBUTTON && !(w->style & WS_MINIMIZEBOX))
                kind |= DFCS_INACTIVE;
            if (state && state->pressed == hit)
                kind |= DFCS_PUSHED;
            DrawFrameControl(dc, &button, DFC_CAPTION, kind);
        }
        if (!w->text.empty() && text.right > text.left) {
            NONCLIENTMETRICS ncm{};
            ncm.cbSize = sizeof(ncm);
            SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
            HFONT font = CreateFontIndirect((w->exStyle & WS_EX_TOOLWINDOW) ? &ncm.lfSmCaptionFont : &ncm.lfCaptionFont);
            HGDIOBJ oldFont = SelectObject(dc, font);
            const int oldMode = SetBkMode(dc, TRANSPARENT);
            const COLORREF oldColor = SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
            DrawText(dc, w->text.c_str(), static_cast<int>(w->text.size()), &text,
                     DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | DT_LEFT);
            SetTextColor(dc, oldColor);
            SetBkMode(dc, oldMode);
            SelectObject(dc, oldFont);
            DeleteObject(font);
        }
        r.top += ch;
    }
    if (!w->IsChild() && w->id) {
        // The menu bar's row.
        MenuBars::PaintRow(hwnd, dc);
        r.top = std::min<LONG>(r.top + MenuBars::BarHeight(reinterpret_cast<HMENU>(w->id), r.right - r.left, hwnd),
                               r.bottom);
    }

    // The edges enclose the client area and its scroll bars.
    RECT inner = client;
    RECT vbar = WindowScrollBarRect(hwnd, SB_VERT);
    RECT hbar = WindowScrollBarRect(hwnd, SB_HORZ);
    if (!IsRectEmpty(&vbar))
        inner.right = vbar.right;
    if (!IsRectEmpty(&hbar))
        inner.bottom = hbar.bottom;
    if (w->exStyle & WS_EX_CLIENTEDGE) {
        RECT edge = inner;
        InflateRect(&edge, GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
        DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    } else if (w->exStyle & WS_EX_STATICEDGE) {
        RECT edge = inner;
        InflateRect(&edge, GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER));
        DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    }
    DrawWindowScrollBars(hwnd, dc);
}

void RunMoveSizeLoop(HWND hwnd, UINT command, POINT start)
{
    Window* w = WindowManager::FindOwned(hwnd);
    if (!w)
        return;
    const bool sizing = (command & 0xFFF0) == SC_SIZE;
    const UINT edge = command & 0x000F;
    if (sizing && (edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT))
        return;
    RECT original;
    GetWindowRect(hwnd, &original);
    // SetWindowPos takes the parent's client coordinates.
    POINT parentOrigin{0, 0};
    if (w->IsChild())
        ClientToScreen(w->parent, &parentOrigin);
    MINMAXINFO mmi{};
    if (sizing) {
        SIZE screen = GetWindowBackend().ScreenSize();
        mmi.ptMaxSize = POINT{screen.cx, screen.cy};
        mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
        mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
        SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    }
    SendMessage(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    if (!IsWindow(hwnd))
        return;
    SetCapture(hwnd);
    RECT current = original;
    bool cancel = false;
    const bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
    const bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
    const bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
    const bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
    auto place = [&](const RECT& r) {
        if (EqualRect(&r, &current))
            return;
        current = r;
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (!sizing)
            flags |= SWP_NOSIZE;
        SetWindowPos(hwnd, nullptr, r.left - parentOrigin.x, r.top - parentOrigin.y, r.right - r.left,
                     r.bottom - r.top, flags);
    };
    MSG msg;
    while (GetTrackingMessage(hwnd, msg)) {
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
            const int dx = msg.pt.x - start.x;
            const int dy = msg.pt.y - start.y;
            RECT r = original;
            if (!sizing) {
                OffsetRect(&r, dx, dy);
                SendMessage(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
            } else {
                if (left)
                    r.left += dx;
                if (right)
                    r.right += dx;
                if (top)
                    r.top += dy;
                if (bottom)
                    r.bottom += dy;
                // The tracking sizes hold, the opposite edge stays put.
                const LONG width = std::clamp<LONG>(r.right - r.left, mmi.ptMinTrackSize.x,
                                                    std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
                const LONG height = std::clamp<LONG>(r.bottom - r.top, mmi.ptMinTrackSize.y,
                                                     std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
                if (left)
                    r.left = r.right - width;
                else
                    r.right = r.left + width;
                if (top)
                    r.top = r.bottom - height;
                else
                    r.bottom = r.top + height;
                SendMessage(hwnd, WM_SIZING, edge, reinterpret_cast<LPARAM>(&r));
            }
            if (!IsWindow(hwnd))
                break;
            place(r);
            continue;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP)
            break;
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            if (msg.wParam == VK_ESCAPE) {
                cancel = true;
                break;
            }
            if (msg.wParam == VK_RETURN)
                break;
            continue;
        }
        if (IsInputMessage(msg.message))
            continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    if (!IsWindow(hwnd))
        return;
    if (!cancel && !EqualRect(&current, &original)) {
        // A training hook may refuse the new place: the window goes back.
        WindowManager& wm = WindowManager::Get();
        RECT final = current;
        if (wm.HasHooks(WH_CBT) &&
            wm.CallHooks(WH_CBT, HCBT_MOVESIZE, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&final)))
            cancel = true;
        if (!IsWindow(hwnd))
            return;
    }
    if (cancel) {
        current = RECT{0, 0, 0, 0};   // force the move back
        SetWindowPos(hwnd, nullptr, original.left - parentOrigin.x, original.top - parentOrigin.y,
                     original.right - original.left, original.bottom - original.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (GetCapture() == hwnd)
        ReleaseCapture();
    SendMessage(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

bool NonClientHandler::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    Window* w = WindowManager::Find(hwnd);
    if (!w)
        return false;
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    result = 0;
    switch (message) {
    case WM_NCLBUTTONDOWN:
        switch (static_cast<int>(wParam)) {
        case HTCAPTION:
            SendMessage(hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
            return true;
        case HTLEFT:
        case HTRIGHT:
        case HTTOP:
        case HTTOPLEFT:
        case HTTOPRIGHT:
        case HTBOTTOM:
        case HTBOTTOMLEFT:
        case HTBOTTOMRIGHT:
            SendMessage(hwnd, WM_SYSCOMMAND, SC_SIZE | (wParam - HTLEFT + WMSZ_LEFT), lParam);
            return true;
        case HTGROWBOX:
            if (w->style & WS_THICKFRAME)
                SendMessage(hwnd, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, lParam);
            return true;
        case HTCLOSE:
        case HTMINBUTTON:
        case HTMAXBUTTON: {
            const int hit = static_cast<int>(wParam);
            // A box the window does not have is drawn greyed beside the one it has, and does
            // nothing: a dialog that cannot be minimised is not hidden by a press there.
            if ((hit == HTMINBUTTON && !(w->style & WS_MINIMIZEBOX)) || (hit == HTMAXBUTTON && !(w->style & WS_MAXIMIZEBOX)))
                return true;
            if (TrackCaptionButton(hwnd, hit) && IsWindow(hwnd))
                SendMessage(hwnd, WM_SYSCOMMAND, ButtonCommand(hwnd, hit), lParam);
            return true;
        }
        case HTVSCROLL:
            SendMessage(hwnd, WM_SYSCOMMAND, SC_VSCROLL | HTVSCROLL, lParam);
            return true;
        case HTHSCROLL:
            SendMessage(hwnd, WM_SYSCOMMAND, SC_HSCROLL | HTHSCROLL, lParam);
            return true;
        default:
            return false;
        }
    case WM_NCLBUTTONDBLCLK:
        switch (static_cast<int>(wParam)) {
        case HTCAPTION:
            if ((w->style & WS_MAXIMIZEBOX) || (w->style & WS_MINIMIZE))
                SendMessage(hwnd, WM_SYSCOMMAND, (w->style & (WS_MAXIMIZE | WS_MINIMIZE)) ? SC_RESTORE : SC_MAXIMIZE,
                            lParam);
            return true;
        case HTSYSMENU:
            if (w->style & WS_SYSMENU)
                SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
            return true;
        case HTVSCROLL:
        case HTHSCROLL:
            // A quick second press on a bar scrolls again.
            return Handle(hwnd, WM_NCLBUTTONDOWN, wParam, lParam, result);
        default:
            return false;
        }
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MOVE:
            if (!(w->style & WS_MAXIMIZE))
                RunMoveSizeLoop(hwnd, SC_MOVE, pt);
            return true;
        case SC_SIZE:
            if (!(w->style & (WS_MAXIMIZE | WS_MINIMIZE)))
                RunMoveSizeLoop(hwnd, static_cast<UINT>(wParam), pt);
            return true;
        case SC_VSCROLL:
            TrackWindowScrollBar(hwnd, SB_VERT, pt);
            return true;
        case SC_HSCROLL:
            TrackWindowScrollBar(hwnd, SB_HORZ, pt);
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

void NonClientPainter::BeforePaint(HWND hwnd)
{
    CaretBeforePaint(hwnd);
}

void NonClientPainter::AfterPaint(HWND hwnd)
{
    CaretAfterPaint(hwnd);
}

void NonClientPainter::PaintNonClient(HWND hwnd, HDC windowDC)
{
    PaintNonClientArea(hwnd, windowDC);
}
