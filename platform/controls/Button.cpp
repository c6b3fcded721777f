// The button control: its model, window procedure and painter.
#include "platform/controls/Button.h"

#include "platform/controls/ControlSupport.h"
#include "platform/core/CRect.h"
#include "platform/controls/Dialog.h"
#include "platform/win/Gdi.h"

#include <algorithm>

// ---- Model ----

ButtonKind ButtonState::Kind() const
{
    switch (m_style & BS_TYPEMASK) {
    case BS_DEFPUSHBUTTON: return ButtonKind::DefPush;
    case BS_CHECKBOX: return ButtonKind::Check;
    case BS_AUTOCHECKBOX: return ButtonKind::AutoCheck;
    case BS_RADIOBUTTON: return ButtonKind::Radio;
    case BS_3STATE: return ButtonKind::ThreeState;
    case BS_AUTO3STATE: return ButtonKind::AutoThreeState;
    case BS_GROUPBOX: return ButtonKind::GroupBox;
    case BS_AUTORADIOBUTTON: return ButtonKind::AutoRadio;
    case BS_OWNERDRAW: return ButtonKind::OwnerDraw;
    default: return ButtonKind::Push;
    }
}

void ButtonState::SetStyle(DWORD style)
{
    const ButtonKind before = Kind();
    const bool wasDefault = IsDefault();
    m_style = style;
    if (Kind() == ButtonKind::OwnerDraw && before != ButtonKind::OwnerDraw)
        m_ownerDefault = wasDefault;
}

DWORD ButtonState::TakeRequestedStyle(DWORD style)
{
    const DWORD type = style & BS_TYPEMASK;
    if (Kind() == ButtonKind::OwnerDraw && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)) {
        m_ownerDefault = type == BS_DEFPUSHBUTTON;
        style = (style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
    }
    SetStyle(style);
    return style;
}

bool ButtonState::IsDefault() const
{
    return Kind() == ButtonKind::DefPush || (Kind() == ButtonKind::OwnerDraw && m_ownerDefault);
}

bool ButtonState::IsCheckable() const
{
    switch (Kind()) {
    case ButtonKind::Check:
    case ButtonKind::AutoCheck:
    case ButtonKind::ThreeState:
    case ButtonKind::AutoThreeState:
    case ButtonKind::Radio:
    case ButtonKind::AutoRadio: return true;
    default: return false;
    }
}

bool ButtonState::IsRadio() const
{
    return Kind() == ButtonKind::Radio || Kind() == ButtonKind::AutoRadio;
}

bool ButtonState::IsPushLike() const
{
    return Kind() == ButtonKind::Push || Kind() == ButtonKind::DefPush ||
           (IsCheckable() && (m_style & BS_PUSHLIKE));
}

bool ButtonState::SetCheck(UINT check)
{
    if (!IsCheckable())
        return false;
    const bool threeState = Kind() == ButtonKind::ThreeState || Kind() == ButtonKind::AutoThreeState;
    UINT value = BST_UNCHECKED;
    if (check == BST_INDETERMINATE && threeState)
        value = BST_INDETERMINATE;
    else if (check != BST_UNCHECKED)
        value = BST_CHECKED;
    if (value == m_check)
        return false;
    m_check = value;
    return true;
}

UINT ButtonState::CheckAfterClick() const
{
    switch (Kind()) {
    case ButtonKind::AutoCheck: return m_check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    case ButtonKind::AutoThreeState:
        return m_check == BST_UNCHECKED ? BST_CHECKED : m_check == BST_CHECKED ? BST_INDETERMINATE : BST_UNCHECKED;
    case ButtonKind::AutoRadio: return BST_CHECKED;
    default: return m_check;
    }
}

bool ButtonState::SetPushed(bool pushed)
{
    if (pushed == m_pushed)
        return false;
    m_pushed = pushed;
    return true;
}

UINT ButtonState::StateBits() const
{
    return m_check | (m_pushed ? BST_PUSHED : 0u) | (m_focused ? BST_FOCUS : 0u);
}

UINT ButtonState::DialogCode() const
{
    switch (Kind()) {
    case ButtonKind::Push: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case ButtonKind::DefPush: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case ButtonKind::Radio:
    case ButtonKind::AutoRadio: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case ButtonKind::GroupBox: return DLGC_STATIC;
    // Drawn by its owner as a push button: Enter presses it when it has the focus, and it can
    // be the dialog's default button.
    case ButtonKind::OwnerDraw: return DLGC_BUTTON | (m_ownerDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    default: return DLGC_BUTTON;
    }
}

// ---- Painter ----

namespace {

void FillWith(HDC dc, const RECT& r, HBRUSH brush)
{
    FillRect(dc, &r, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

UINT TextFormat(DWORD style, bool pushLike, bool showPrefix)
{
    UINT format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    switch (style & BS_CENTER) {
    case BS_LEFT: format |= DT_LEFT; break;
    case BS_RIGHT: format |= DT_RIGHT; break;
    case BS_CENTER: format |= DT_CENTER; break;
    default: format |= pushLike ? DT_CENTER : DT_LEFT; break;
    }
    if (!(style & BS_MULTILINE)) {
        switch (style & BS_VCENTER) {
        case BS_TOP: format |= DT_TOP; break;
        case BS_BOTTOM: format |= DT_BOTTOM; break;
        default: format |= DT_VCENTER; break;
        }
    }
    if (!showPrefix)
        format |= DT_HIDEPREFIX;
    return format;
}

// Draws the label inside `area`; returns the rectangle the text took (for the focus frame).
RECT DrawLabel(HDC dc, const RECT& area, const ButtonLook& look, UINT format, int nudge)
{
    RECT measure = area;
    DrawText(dc, look.text.c_str(), static_cast<int>(look.text.size()), &measure,
             (format & ~(DT_VCENTER | DT_BOTTOM | DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
    const int w = measure.right - measure.left;
    const int h = measure.bottom - measure.top;
    RECT text = area;
    if (format & DT_CENTER)
        text.left = area.left + (area.right - area.left - w) / 2;
    else if (format & DT_RIGHT)
        text.left = area.right - w;
    if ((format & DT_VCENTER) || (format & DT_WORDBREAK))
        text.top = area.top + (area.bottom - area.top - h) / 2;
    else if (format & DT_BOTTOM)
        text.top = area.bottom - h;
    text.right = text.left + w;
    text.bottom = text.top + h;
    OffsetRect(&text, nudge, nudge);
    SetBkMode(dc, TRANSPARENT);
    const UINT draw = (format & ~(DT_VCENTER | DT_BOTTOM | DT_CENTER | DT_RIGHT)) | DT_NOCLIP;
    if (look.enabled) {
        SetTextColor(dc, look.textColor);
        DrawText(dc, look.text.c_str(), static_cast<int>(look.text.size()), &text, draw);
    } else {
        // Embossed: a highlight copy one pixel down and right under the shadow-coloured text.
        RECT shifted = text;
        OffsetRect(&shifted, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawText(dc, look.text.c_str(), static_cast<int>(look.text.size()), &shifted, draw);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawText(dc, look.text.c_str(), static_cast<int>(look.text.size()), &text, draw);
    }
    return text;
}

void DrawImage(HDC dc, const RECT& area, const ButtonState& state, int nudge)
{
    const DWORD style = state.Style();
    if (!state.image)
        return;
    int w = 0, h = 0;
    if (style & BS_ICON) {
        ICONINFO info{};
        if (!GetIconInfo(static_cast<HICON>(state.image), &info))
            return;
        BITMAP bm{};
        GetObject(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
        w = bm.bmWidth;
        h = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
        DrawIconEx(dc, area.left + (area.right - area.left - w) / 2 + nudge,
                   area.top + (area.bottom - area.top - h) / 2 + nudge, static_cast<HICON>(state.image), w, h, 0,
                   nullptr, DI_NORMAL);
        return;
    }
    BITMAP bm{};
    if (!GetObject(state.image, sizeof bm, &bm))
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, state.image);
    BitBlt(dc, area.left + (area.right - area.left - bm.bmWidth) / 2 + nudge,
           area.top + (area.bottom - area.top - bm.bmHeight) / 2 + nudge, bm.bmWidth, bm.bmHeight, memory, 0, 0,
           SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void PaintPushButton(HDC dc, const RECT& client, const ButtonState& state, const ButtonLook& look)
{
    RECT r = client;
    FillWith(dc, r, GetSysColorBrush(COLOR_BTNFACE));
    const bool isDefault = state.Kind() == ButtonKind::DefPush;
    const bool down = state.Pushed() || (state.IsCheckable() && state.Check() == BST_CHECKED);
    if (isDefault) {
        // The default button wears a black frame outside its edge.
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
    }
    if (state.Pushed()) {
        // Pressed: a flat shadow frame, the label one pixel down and right.
        FrameRect(dc, &r, GetSysColorBrush(COLOR_3DSHADOW));
    } else if (down) {
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_SOFT);
    } else {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT);
    }
    RECT inner = client;
    InflateRect(&inner, -4, -4);
    const int nudge = down ? 1 : 0;
    if (state.Style() & (BS_ICON | BS_BITMAP)) {
        DrawImage(dc, inner, state, nudge);
    } else {
        DrawLabel(dc, inner, look, TextFormat(state.Style(), true, look.showPrefix), nudge);
    }
    if (state.Focused() && look.showFocus) {
        RECT focus = client;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}

void PaintCheckOrRadio(HDC dc, const RECT& client, const ButtonState& state, const ButtonLook& look)
{
    FillWith(dc, client, look.background);
    const DWORD style = state.Style();
    const bool boxRight = (style & BS_LEFTTEXT) != 0;
    RECT box{0, 0, kButtonCheckSize, kButtonCheckSize};
    const int top = (style & BS_VCENTER) == BS_TOP      ? client.top
                    : (style & BS_VCENTER) == BS_BOTTOM ? client.bottom - kButtonCheckSize
                                                        : client.top + (client.bottom - client.top - kButtonCheckSize) / 2;
    OffsetRect(&box, boxRight ? client.right - kButtonCheckSize : client.left, top);
    UINT frame = state.IsRadio() ? DFCS_BUTTONRADIO
                 : (state.Kind() == ButtonKind::ThreeState || state.Kind() == ButtonKind::AutoThreeState)
                     ? DFCS_BUTTON3STATE
                     : DFCS_BUTTONCHECK;
    if (state.Check() != BST_UNCHECKED)
        frame |= DFCS_CHECKED;
    if (state.Pushed())
        frame |= DFCS_PUSHED;
    if (!look.enabled)
        frame |= DFCS_INACTIVE;
    if (state.Check() == BST_INDETERMINATE && !state.IsRadio())
        frame = (frame & ~DFCS_BUTTONCHECK) | DFCS_BUTTON3STATE;
    DrawFrameControl(dc, &box, DFC_BUTTON, frame);

    RECT label = client;
    if (boxRight)
        label.right = box.left - 4;
    else
        label.left = box.right + 4;
    RECT text = DrawLabel(dc, label, look, TextFormat(style, false, look.showPrefix), 0);
    if (state.Focused() && look.showFocus && !look.text.empty()) {
        InflateRect(&text, 1, 1);
        IntersectRect(&text, &text, &client);
        DrawFocusRect(dc, &text);
    }
}

void PaintGroupBox(HDC dc, const RECT& client, const ButtonState& state, const ButtonLook& look)
{
    FillWith(dc, client, look.background);
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    RECT frame = client;
    frame.top += tm.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (look.text.empty())
        return;
    // The caption breaks the frame's top line, with a little room on either side.
    RECT area{client.left + 8, client.top, client.right - 8, client.top + tm.tmHeight};
    RECT measure = area;
    DrawText(dc, look.text.c_str(), static_cast<int>(look.text.size()), &measure, DT_SINGLELINE | DT_CALCRECT);
    RECT gap{measure.left - 2, client.top, std::min(measure.right + 2, client.right - 6), client.top + tm.tmHeight};
    FillWith(dc, gap, look.background);
    DrawLabel(dc, area, look, TextFormat(state.Style() & ~BS_VCENTER, false, look.showPrefix) | DT_TOP, 0);
}

} // namespace

void PaintButton(HDC dc, const RECT& client, const ButtonState& state, const ButtonLook& look)
{
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(look.font));
    if (state.Kind() == ButtonKind::GroupBox)
        PaintGroupBox(dc, client, state, look);
    else if (state.IsPushLike())
        PaintPushButton(dc, client, state, look);
    else
        PaintCheckOrRadio(dc, client, state, look);
    SelectObject(dc, oldFont);
}

// ---- Window procedure ----

namespace {

void RedrawButton(HWND hwnd)
{
    InvalidateRect(hwnd, nullptr, FALSE);
}

void SendOwnerDraw(HWND hwnd, HDC dc, const ButtonState& state, UINT action)
{
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
    item.itemAction = action;
    item.itemState = (state.Pushed() ? ODS_SELECTED : 0u) | (state.Focused() ? ODS_FOCUS : 0u) |
                     (IsWindowEnabled(hwnd) ? 0u : ODS_DISABLED) | (state.IsDefault() ? ODS_DEFAULT : 0u);
    item.hwndItem = hwnd;
    item.hDC = dc;
    GetClientRect(hwnd, &item.rcItem);
    // The owner draws with the colours it would give a button.
    ControlColors(hwnd, dc, WM_CTLCOLORBTN);
    SendMessage(GetParent(hwnd), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

void PaintButtonClient(HWND hwnd, HDC dc, const ButtonState& state)
{
    if (state.Kind() == ButtonKind::OwnerDraw) {
        SendOwnerDraw(hwnd, dc, state, ODA_DRAWENTIRE);
        return;
    }
    RECT client;
    GetClientRect(hwnd, &client);
    ButtonLook look;
    look.text = WindowTextOf(hwnd);
    look.enabled = IsWindowEnabled(hwnd) != FALSE;
    const LRESULT cues = SendMessage(hwnd, WM_QUERYUISTATE, 0, 0);
    look.showFocus = !(cues & UISF_HIDEFOCUS);
    look.showPrefix = !(cues & UISF_HIDEACCEL);
    look.font = state.font;
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(state.font));
    // Check boxes, radio buttons and group boxes stand on the parent's background; push buttons
    // ask too, so that a parent sees every button it colours.
    look.background = ControlColors(hwnd, dc, state.IsPushLike() ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC);
    look.textColor = GetTextColor(dc);
    SelectObject(dc, oldFont);
    PaintButton(dc, client, state, look);
}

// Unchecks the other automatic radio buttons of the button's group and makes the checked one
// the group's tab stop, as the dialog manager expects when Tab enters the group.
void CheckInGroup(HWND hwnd)
{
    HWND parent = GetParent(hwnd);
    if (!parent)
        return;
    HWND item = hwnd;
    for (int guard = 0; guard < 10000; ++guard) {
        item = GetNextDlgGroupItem(parent, item, FALSE);
        if (!item || item == hwnd)
            break;
        if ((SendMessage(item, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) &&
            (GetWindowLong(item, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
            SendMessage(item, BM_SETCHECK, BST_UNCHECKED, 0);
            SetWindowLong(item, GWL_STYLE, GetWindowLong(item, GWL_STYLE) & ~WS_TABSTOP);
        }
    }
    SetWindowLong(hwnd, GWL_STYLE, GetWindowLong(hwnd, GWL_STYLE) | WS_TABSTOP);
}

// A completed click: the automatic kinds change their check, then the parent hears of it.
void Click(HWND hwnd, ButtonState& state)
{
    const UINT next = state.CheckAfterClick();
    if (state.Kind() == ButtonKind::AutoRadio) {
        if (state.SetCheck(next))
            RedrawButton(hwnd);
        CheckInGroup(hwnd);
    } else if (next != state.Check()) {
        state.SetCheck(next);
        RedrawButton(hwnd);
    }
    NotifyParent(hwnd, BN_CLICKED);
}

void SetPushed(HWND hwnd, ButtonState& state, bool pushed)
{
    if (!state.SetPushed(pushed))
        return;
    if (state.Kind() == ButtonKind::OwnerDraw) {
        HDC dc = GetDC(hwnd);
        SendOwnerDraw(hwnd, dc, state, ODA_SELECT);
        ReleaseDC(hwnd, dc);
    } else {
        RedrawButton(hwnd);
    }
    if (state.Style() & BS_NOTIFY)
        NotifyParent(hwnd, pushed ? BN_HILITE : BN_UNHILITE);
}

bool PointInClient(HWND hwnd, LPARAM lParam)
{
    RECT client;
    GetClientRect(hwnd, &client);
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return PtInRect(&client, pt) != FALSE;
}

// The end of a press by mouse or key: the look comes back up, and a press that ended on the
// button clicks it.
void EndPress(HWND hwnd, ButtonState& state, bool click)
{
    const bool wasPushed = state.Pushed();
    state.SetPressing(ButtonState::Press::None);
    SetPushed(hwnd, state, false);
    if (click && wasPushed)
        Click(hwnd, state);
}

LRESULT HandleButtonMessage(HWND hwnd, ButtonState& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return state.DialogCode();
    case WM_SETFONT:
        state.font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            RedrawButton(hwnd);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state.font);
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProc(hwnd, message, wParam, lParam);
        RedrawButton(hwnd);
        return result;
    }
    case WM_ENABLE:
        if (!wParam && (state.Style() & BS_NOTIFY))
            NotifyParent(hwnd, BN_DISABLE);
        RedrawButton(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        return PaintOrPrintClient(hwnd, wParam, [&](HDC dc) { PaintButtonClient(hwnd, dc, state); });
    }
    case WM_NCHITTEST:
        // A group box lets the mouse through to what lies under it.
        if (state.Kind() == ButtonKind::GroupBox)
            return HTTRANSPARENT;
        return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_LBUTTONDBLCLK:
        if (state.IsRadio() || state.Kind() == ButtonKind::OwnerDraw || (state.Style() & BS_NOTIFY)) {
            NotifyParent(hwnd, BN_DOUBLECLICKED);
            return 0;
        }
        [[fallthrough]];
    case WM_LBUTTONDOWN:
        if (state.Kind() == ButtonKind::GroupBox)
            return 0;
        SetFocus(hwnd);
        SetCapture(hwnd);
        state.SetPressing(ButtonState::Press::Mouse);
        SetPushed(hwnd, state, true);
        return 0;
    case WM_MOUSEMOVE:
        if (state.Pressing() == ButtonState::Press::Mouse && GetCapture() == hwnd)
            SetPushed(hwnd, state, PointInClient(hwnd, lParam));
        return 0;
    case WM_LBUTTONUP:
        if (state.Pressing() == ButtonState::Press::Mouse) {
            const bool inside = PointInClient(hwnd, lParam);
            state.SetPressing(ButtonState::Press::None);
            const bool wasPushed = state.Pushed() && inside;
            SetPushed(hwnd, state, false);
            ReleaseCapture();
            if (wasPushed)
                Click(hwnd, state);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (state.Pressing() == ButtonState::Press::Mouse && reinterpret_cast<HWND>(lParam) != hwnd)
            EndPress(hwnd, state, false);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && state.Kind() != ButtonKind::GroupBox && state.Pressing() == ButtonState::Press::None) {
            state.SetPressing(ButtonState::Press::Key);
            SetPushed(hwnd, state, true);
            return 0;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_KEYUP:
        if (wParam == VK_SPACE && state.Pressing() == ButtonState::Press::Key) {
            EndPress(hwnd, state, true);
            return 0;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_CHAR:
        // The space is a press already; the dialog manager hears no beep for it.
        if (wParam == ' ')
            return 0;
        return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_SETFOCUS:
        state.SetFocused(true);
        if (state.Kind() == ButtonKind::OwnerDraw) {
            HDC dc = GetDC(hwnd);
            SendOwnerDraw(hwnd, dc, state, ODA_FOCUS);
            ReleaseDC(hwnd, dc);
        } else {
            RedrawButton(hwnd);
        }
        if (state.Style() & BS_NOTIFY)
            NotifyParent(hwnd, BN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        state.SetFocused(false);
        if (state.Pressing() == ButtonState::Press::Key)
            EndPress(hwnd, state, false);
        if (state.Pressing() == ButtonState::Press::Mouse && GetCapture() == hwnd)
            ReleaseCapture();
        if (state.Kind() == ButtonKind::OwnerDraw) {
            HDC dc = GetDC(hwnd);
            SendOwnerDraw(hwnd, dc, state, ODA_FOCUS);
            ReleaseDC(hwnd, dc);
        } else {
            RedrawButton(hwnd);
        }
        if (state.Style() & BS_NOTIFY)
            NotifyParent(hwnd, BN_KILLFOCUS);
        return 0;
    case WM_STYLECHANGED:
        if (wParam == static_cast<WPARAM>(GWL_STYLE))
            state.SetStyle(reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew);
        return 0;
    case BM_GETCHECK:
        return state.Check();
    case BM_SETCHECK:
        if (state.SetCheck(static_cast<UINT>(wParam))) {
            RedrawButton(hwnd);
            if (state.Kind() == ButtonKind::AutoRadio && state.Check() == BST_CHECKED)
                SetWindowLong(hwnd, GWL_STYLE, GetWindowLong(hwnd, GWL_STYLE) | WS_TABSTOP);
        }
        return 0;
    case BM_GETSTATE:
        return state.StateBits();
    case BM_SETSTATE:
        SetPushed(hwnd, state, wParam != 0);
        return 0;
    case BM_SETSTYLE: {
        // Only the type and the button flags change; the window keeps its other styles.
        const DWORD style = state.TakeRequestedStyle((GetWindowLong(hwnd, GWL_STYLE) & 0xFFFF0000u) |
                                                     (static_cast<DWORD>(wParam) & 0xFFFFu));
        SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(style));
        if (LOWORD(lParam))
            RedrawButton(hwnd);
        return 0;
    }
    case BM_CLICK:
        if (IsWindowEnabled(hwnd) && state.Kind() != ButtonKind::GroupBox && !state.dontClick)
            Click(hwnd, state);
        return 0;
    case BM_GETIMAGE:
        return reinterpret_cast<LRESULT>(state.image);
    case BM_SETIMAGE: {
        HANDLE old = state.image;
        state.image = reinterpret_cast<HANDLE>(lParam);
        RedrawButton(hwnd);
        return reinterpret_cast<LRESULT>(old);
    }
    case BM_SETDONTCLICK:
        state.dontClick = wParam != 0;
        return 0;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchControlMessage<ButtonState>(
        hwnd, message, wParam, lParam, [](const CREATESTRUCT& cs) { return new ButtonState(static_cast<DWORD>(cs.style)); }, HandleButtonMessage);
}
