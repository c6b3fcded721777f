// The static control: its model, window procedure and painter.
#include "platform/controls/Static.h"

#include "platform/controls/ControlSupport.h"
#include "platform/win/Gdi.h"

// ---- Model ----

StaticKind StaticState::Kind() const
{
    switch (Type()) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_LEFTNOWORDWRAP: return StaticKind::Text;
    case SS_SIMPLE: return StaticKind::Simple;
    case SS_ICON: return StaticKind::Icon;
    case SS_BITMAP: return StaticKind::Bitmap;
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT: return StaticKind::Rect;
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME: return StaticKind::Frame;
    case SS_ETCHEDHORZ:
    case SS_ETCHEDVERT:
    case SS_ETCHEDFRAME: return StaticKind::Etched;
    case SS_OWNERDRAW:
    case SS_USERITEM: return StaticKind::OwnerDraw;
    default: return StaticKind::Text;
    }
}

UINT StaticState::TextFormat() const
{
    UINT format = DT_EXPANDTABS;
    switch (Type()) {
    case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_LEFTNOWORDWRAP: format |= DT_LEFT; break;
    case SS_SIMPLE: format = DT_SINGLELINE | DT_LEFT; break;
    default: format |= DT_LEFT | DT_WORDBREAK; break;
    }
    if (m_style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    // A word longer than the control is broken inside, as an edit control breaks it.
    if ((m_style & SS_EDITCONTROL) && (format & DT_WORDBREAK))
        format |= DT_EDITCONTROL;
    if (m_style & SS_CENTERIMAGE)
        format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    switch (m_style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS: format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_END_ELLIPSIS; break;
    case SS_PATHELLIPSIS: format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_PATH_ELLIPSIS; break;
    case SS_WORDELLIPSIS: format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_WORD_ELLIPSIS; break;
    default: break;
    }
    return format;
}

HANDLE StaticState::SetImage(UINT type, HANDLE image)
{
    const bool fits = (Kind() == StaticKind::Icon && (type == IMAGE_ICON || type == IMAGE_CURSOR)) ||
                      (Kind() == StaticKind::Bitmap && type == IMAGE_BITMAP);
    if (!fits)
        return nullptr;
    HANDLE old = m_image;
    m_image = image;
    return old;
}

int StaticState::FillColorIndex() const
{
    switch (Type()) {
    case SS_BLACKRECT:
    case SS_BLACKFRAME: return COLOR_WINDOWFRAME;
    case SS_GRAYRECT:
    case SS_GRAYFRAME: return COLOR_3DSHADOW;
    default: return COLOR_3DHILIGHT;
    }
}

// ---- Painter ----

namespace {

SIZE ImageSize(const StaticState& state)
{
    SIZE size{0, 0};
    if (!state.Image())
        return size;
    if (state.Kind() == StaticKind::Icon) {
        ICONINFO info{};
        if (!GetIconInfo(static_cast<HICON>(state.Image()), &info))
            return size;
        BITMAP bm{};
        GetObject(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
        size.cx = bm.bmWidth;
        size.cy = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
        return size;
    }
    BITMAP bm{};
    if (GetObject(state.Image(), sizeof bm, &bm)) {
        size.cx = bm.bmWidth;
        size.cy = bm.bmHeight;
    }
    return size;
}

void PaintImage(HDC dc, const RECT& client, const StaticState& state)
{
    const SIZE size = ImageSize(state);
    if (!size.cx || !size.cy)
        return;
    int x = client.left;
    int y = client.top;
    if (state.Style() & SS_CENTERIMAGE) {
        x += (client.right - client.left - size.cx) / 2;
        y += (client.bottom - client.top - size.cy) / 2;
    }
    if (state.Kind() == StaticKind::Icon) {
        DrawIconEx(dc, x, y, static_cast<HICON>(state.Image()), size.cx, size.cy, 0, nullptr, DI_NORMAL);
        return;
    }
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, state.Image());
    BitBlt(dc, x, y, size.cx, size.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

} // namespace

void PaintStatic(HDC dc, const RECT& client, const StaticState& state, const std::string& text, bool enabled,
                 HBRUSH background)
{
    RECT area = client;
    switch (state.Kind()) {
    case StaticKind::Rect:
        FillRect(dc, &area, GetSysColorBrush(state.FillColorIndex()));
        return;
    case StaticKind::Frame:
        FrameRect(dc, &area, GetSysColorBrush(state.FillColorIndex()));
        return;
    case StaticKind::Etched:
        if (state.Type() == SS_ETCHEDHORZ)
            DrawEdge(dc, &area, EDGE_ETCHED, BF_TOP);
        else if (state.Type() == SS_ETCHEDVERT)
            DrawEdge(dc, &area, EDGE_ETCHED, BF_LEFT);
        else
            DrawEdge(dc, &area, EDGE_ETCHED, BF_RECT);
        return;
    case StaticKind::Icon:
    case StaticKind::Bitmap:
        if (background)
            FillRect(dc, &area, background);
        PaintImage(dc, area, state);
        break;
    case StaticKind::Text:
    case StaticKind::Simple: {
        if (background)
            FillRect(dc, &area, background);
        HGDIOBJ oldFont = SelectObject(dc, ControlFont(state.font));
        SetBkMode(dc, TRANSPARENT);
        if (!enabled)
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawText(dc, text.c_str(), static_cast<int>(text.size()), &area, state.TextFormat());
        SelectObject(dc, oldFont);
        break;
    }
    case StaticKind::OwnerDraw: break;
    }
    if (state.Style() & SS_SUNKEN) {
        RECT edge = client;
        DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    }
}

// ---- Window procedure ----

namespace {

// An icon or bitmap static takes the image's size unless told to keep its own.
void FitToImage(HWND hwnd, const StaticState& state)
{
    if (state.Style() & (SS_CENTERIMAGE | SS_REALSIZECONTROL))
        return;
    const SIZE size = ImageSize(state);
    if (size.cx && size.cy)
        SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PaintStatic(HWND hwnd, HDC dc, const StaticState& state)
{
    RECT client;
    GetClientRect(hwnd, &client);
    if (state.Kind() == StaticKind::OwnerDraw) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_STATIC;
        item.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = IsWindowEnabled(hwnd) ? 0u : ODS_DISABLED;
        item.hwndItem = hwnd;
        item.hDC = dc;
        item.rcItem = client;
        ControlColors(hwnd, dc, WM_CTLCOLORSTATIC);
        SendMessage(GetParent(hwnd), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        return;
    }
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(state.font));
    HBRUSH background = ControlColors(hwnd, dc, WM_CTLCOLORSTATIC);
    SelectObject(dc, oldFont);
    PaintStatic(dc, client, state, WindowTextOf(hwnd), IsWindowEnabled(hwnd) != FALSE, background);
}

LRESULT HandleStaticMessage(HWND hwnd, StaticState& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_NCHITTEST:
        return (state.Style() & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_SETFONT:
        state.font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state.font);
    case WM_SETTEXT: {
        // The new text is drawn at the next paint; icon and bitmap statics keep their image.
        const LRESULT result = DefWindowProc(hwnd, message, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    case WM_ENABLE:
        if (state.Style() & SS_NOTIFY)
            NotifyParent(hwnd, wParam ? STN_ENABLE : STN_DISABLE);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        return PaintOrPrintClient(hwnd, wParam, [&](HDC dc) { PaintStatic(hwnd, dc, state); });
    }
    case WM_LBUTTONDOWN:
        if (state.Style() & SS_NOTIFY)
            NotifyParent(hwnd, STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (state.Style() & SS_NOTIFY)
            NotifyParent(hwnd, STN_DBLCLK);
        return 0;
    case WM_STYLECHANGED:
        if (wParam == static_cast<WPARAM>(GWL_STYLE))
            state.SetStyle(reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew);
        return 0;
    case STM_SETICON: {
        HANDLE old = state.SetImage(IMAGE_ICON, reinterpret_cast<HANDLE>(wParam));
        FitToImage(hwnd, state);
        InvalidateRect(hwnd, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETICON:
        return state.Kind() == StaticKind::Icon ? reinterpret_cast<LRESULT>(state.Image()) : 0;
    case STM_SETIMAGE: {
        HANDLE old = state.SetImage(static_cast<UINT>(wParam), reinterpret_cast<HANDLE>(lParam));
        FitToImage(hwnd, state);
        InvalidateRect(hwnd, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETIMAGE:
        return reinterpret_cast<LRESULT>(state.Image());
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchControlMessage<StaticState>(
        hwnd, message, wParam, lParam, [](const CREATESTRUCT& cs) { return new StaticState(static_cast<DWORD>(cs.style)); }, HandleStaticMessage);
}
