// The toolbar control: model, painter and window procedure.
#include "platform/controls/ToolbarControl.h"

#include "platform/controls/Button.h"
#include "platform/controls/ControlSupport.h"
#include "platform/core/CRect.h"
#include "platform/core/WinError.h"
#include "platform/win/Gdi.h"

#include <algorithm>

HRESULT DllGetVersion(DLLVERSIONINFO* pdvi)
{
    if (!pdvi || pdvi->cbSize != sizeof(DLLVERSIONINFO))
        return E_INVALIDARG;
    pdvi->dwMajorVersion = 5;
    pdvi->dwMinorVersion = 81;
    pdvi->dwBuildNumber = 0;
    pdvi->dwPlatformID = DLLVER_PLATFORM_NT;
    return S_OK;
}

// ---- Model ----

void ToolbarModel::Insert(int index, const TBBUTTON& button)
{
    if (index < 0 || index > Count())
        index = Count();
    buttons.insert(buttons.begin() + index, button);
}

bool ToolbarModel::Delete(int index)
{
    if (index < 0 || index >= Count())
        return false;
    buttons.erase(buttons.begin() + index);
    return true;
}

int ToolbarModel::CommandToIndex(int id) const
{
    for (int i = 0; i < Count(); ++i)
        if (buttons[static_cast<size_t>(i)].idCommand == id)
            return i;
    return -1;
}

int ToolbarModel::AddBitmap(HBITMAP bitmap, int count)
{
    int first = 0;
    for (const Strip& s : strips)
        first += s.count;
    strips.push_back({bitmap, std::max(count, 0)});
    return first;
}

bool ToolbarModel::ReplaceBitmap(HBITMAP oldBitmap, HBITMAP newBitmap, int count)
{
    for (Strip& s : strips) {
        if (s.bitmap == oldBitmap) {
            s.bitmap = newBitmap;
            s.count = std::max(count, 0);
            return true;
        }
    }
    return false;
}

bool ToolbarModel::FindImage(int image, HBITMAP& bitmap, int& column) const
{
    if (image < 0)
        return false;
    for (const Strip& s : strips) {
        if (image < s.count) {
            bitmap = s.bitmap;
            column = image;
            return bitmap != nullptr;
        }
        image -= s.count;
    }
    return false;
}

int ToolbarModel::Width(const TBBUTTON& button) const
{
    if (button.fsStyle & TBSTYLE_SEP)
        return SeparatorWidth(button);
    int width = buttonSize.cx;
    if ((button.fsStyle & TBSTYLE_DROPDOWN) && (exStyle & TBSTYLE_EX_DRAWDDARROWS))
        width += arrowWidth;
    return width;
}

std::vector<RECT> ToolbarModel::Layout(DWORD windowStyle) const
{
    std::vector<RECT> rects(buttons.size(), RECT{0, 0, 0, 0});
    int x = 0;
    int y = 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const TBBUTTON& b = buttons[i];
        if (b.fsState & TBSTATE_HIDDEN)
            continue;
        const bool sep = (b.fsStyle & TBSTYLE_SEP) != 0;
        if (sep && (b.fsState & TBSTATE_WRAP)) {
            // A wrapping separator lies across the gap under its row, not in the row.
            const int gap = (windowStyle & TBSTYLE_FLAT) ? 0 : SeparatorWidth(b) * 2 / 3;
            rects[i] = RECT{0, y + buttonSize.cy, x, y + buttonSize.cy + gap};
            x = 0;
            y += buttonSize.cy + gap;
            continue;
        }
        const int w = Width(b);
        rects[i] = RECT{x, y, x + w, y + buttonSize.cy};
        x += w;
        if (b.fsState & TBSTATE_WRAP) {
            x = 0;
            y += buttonSize.cy;
        }
    }
    return rects;
}

// ---- Painter ----

namespace {

bool ArrowPartActive(const ToolbarModel& model, const TBBUTTON& b)
{
    return (b.fsStyle & TBSTYLE_DROPDOWN) && (model.exStyle & TBSTYLE_EX_DRAWDDARROWS);
}

// Draws image `column` of a strip at (x, y); a disabled image is embossed: its dark pixels
// drawn in the highlight colour one pixel down and right, then in the shadow colour.
void DrawToolbarImage(HDC dc, HBITMAP strip, int column, SIZE size, int x, int y, bool disabled)
{
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, strip);
    if (!disabled) {
        BitBlt(dc, x, y, size.cx, size.cy, mem, column * size.cx, 0, SRCCOPY);
    } else {
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
        const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
        std::vector<POINT> dark;
        for (int py = 0; py < size.cy; ++py)
            for (int px = 0; px < size.cx; ++px) {
                const COLORREF c = GetPixel(mem, column * size.cx + px, py);
                if (c == CLR_INVALID || c == face || c == light)
                    continue;
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 0xC0)
                    dark.push_back({px, py});
            }
        for (const POINT& p : dark)
            SetPixelV(dc, x + p.x + 1, y + p.y + 1, light);
        for (const POINT& p : dark)
            SetPixelV(dc, x + p.x, y + p.y, shadow);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
}

// The checked look: a fine checkerboard of face and highlight behind the image.
void FillChecked(HDC dc, const RECT& r)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            SetPixelV(dc, x, y, ((x + y) & 1) ? light : face);
}

void DrawArrow(HDC dc, const RECT& part, bool disabled)
{
    const int cx = (part.left + part.right) / 2;
    const int cy = (part.top + part.bottom) / 2;
    HBRUSH brush = GetSysColorBrush(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    for (int row = 0; row < 3; ++row) {
        RECT line{cx - 3 + row, cy - 1 + row, cx + 2 - row, cy + row};
        FillRect(dc, &line, brush);
    }
}

void PaintButton(HDC dc, const ToolbarModel& model, const TBBUTTON& b, RECT r, bool pressed, bool hot, bool flat)
{
    const bool enabled = (b.fsState & TBSTATE_ENABLED) != 0;
    const bool checked = (b.fsState & TBSTATE_CHECKED) != 0;
    const bool down = pressed || checked;
    RECT arrow{r.right, r.top, r.right, r.bottom};
    if (ArrowPartActive(model, b)) {
        arrow.left = r.right - model.arrowWidth;
        r.right = arrow.left;
    }
    RECT edge = r;
    if (!flat)
        DrawEdge(dc, &edge, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    else if (down)
        DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    else if (hot && enabled)
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    if (checked && !pressed)
        FillChecked(dc, edge);
    HBITMAP strip = nullptr;
    int column = 0;
    if (model.FindImage(b.iBitmap, strip, column)) {
        const int offset = down ? 1 : 0;
        const int x = r.left + (r.right - r.left - model.bitmapSize.cx) / 2 + offset;
        const int y = r.top + (r.bottom - r.top - model.bitmapSize.cy) / 2 + offset;
        DrawToolbarImage(dc, strip, column, model.bitmapSize, x, y, !enabled || (b.fsState & TBSTATE_INDETERMINATE));
    }
    if (arrow.left < arrow.right) {
        RECT arrowEdge = arrow;
        if (!flat || down || (hot && enabled))
            DrawEdge(dc, &arrowEdge, flat ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT | BF_ADJUST);
        DrawArrow(dc, arrow, !enabled);
    }
}

} // namespace

void PaintToolbar(HDC dc, const RECT& client, const ToolbarModel& model, DWORD windowStyle)
{
    if (!(windowStyle & TBSTYLE_TRANSPARENT))
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const bool flat = (windowStyle & TBSTYLE_FLAT) != 0;
    const std::vector<RECT> rects = model.Layout(windowStyle);
    for (size_t i = 0; i < rects.size(); ++i) {
        const TBBUTTON& b = model.buttons[i];
        const RECT& r = rects[i];
        if (r.right <= r.left || r.bottom <= r.top)
            continue;
        if (b.fsStyle & TBSTYLE_SEP) {
            // A flat bar marks its separators with an etched line; a raised one leaves a gap.
            if (flat && !(b.fsState & TBSTATE_WRAP)) {
                const int x = (r.left + r.right) / 2 - 1;
                RECT line{x, r.top + 1, x + 2, r.bottom - 1};
                DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
            }
            continue;
        }
        const bool pressed = (b.fsState & TBSTATE_PRESSED)
            || (model.tracking == static_cast<int>(i) && model.trackingInside);
        PaintButton(dc, model, b, r, pressed, model.hot == static_cast<int>(i), flat);
    }
}

int ToolbarArrowWidth()
{
    // Measured once, so that every toolbar and every bar laying one out agree on it.
    static const int width = [] {
        HDC dc = GetDC(nullptr);
        HFONT font = CreateFont(GetSystemMetrics(SM_CYMENUCHECK), 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0,
                                0, "Marlett");
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{0, 0};
        GetTextExtentPoint32(dc, "6", 1, &size);
        SelectObject(dc, old);
        DeleteObject(font);
        ReleaseDC(nullptr, dc);
        // Never narrower than the arrow the painter draws.
        return std::max<int>(size.cx, 9);
    }();
    return width;
}

// ---- Window procedure ----

namespace {

void RedrawToolbar(HWND hwnd)
{
    InvalidateRect(hwnd, nullptr, TRUE);
}

TBBUTTON* ButtonOf(ToolbarModel& model, WPARAM id)
{
    const int index = model.CommandToIndex(static_cast<int>(id));
    return index < 0 ? nullptr : &model.buttons[static_cast<size_t>(index)];
}

// Sets or clears a state bit of the button with command `id`.
LRESULT SetStateBit(HWND hwnd, ToolbarModel& model, WPARAM id, BYTE bit, bool on)
{
    TBBUTTON* b = ButtonOf(model, id);
    if (!b)
        return FALSE;
    const BYTE state = on ? static_cast<BYTE>(b->fsState | bit) : static_cast<BYTE>(b->fsState & ~bit);
    if (state != b->fsState) {
        b->fsState = state;
        RedrawToolbar(hwnd);
    }
    return TRUE;
}

LRESULT HasState(ToolbarModel& model, WPARAM id, BYTE bit)
{
    const TBBUTTON* b = ButtonOf(model, id);
    return b ? ((b->fsState & bit) ? TRUE : FALSE) : FALSE;
}

int HitButton(const ToolbarModel& model, HWND hwnd, POINT pt)
{
    const std::vector<RECT> rects = model.Layout(static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)));
    for (size_t i = 0; i < rects.size(); ++i)
        if (!(model.buttons[i].fsStyle & TBSTYLE_SEP) && PtInRect(&rects[i], pt))
            return static_cast<int>(i);
    return -1;
}

RECT RectOf(const ToolbarModel& model, HWND hwnd, int index)
{
    const std::vector<RECT> rects = model.Layout(static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)));
    return index >= 0 && index < static_cast<int>(rects.size()) ? rects[static_cast<size_t>(index)] : RECT{0, 0, 0, 0};
}

HWND OwnerOf(const ToolbarModel& model, HWND hwnd)
{
    return model.owner ? model.owner : GetParent(hwnd);
}

// A click completes: a check button toggles (one of a check group is checked, the rest of its
// group cleared) and the owner gets the command.
void ClickToolbar(HWND hwnd, ToolbarModel& model, int index)
{
    TBBUTTON& b = model.buttons[static_cast<size_t>(index)];
    if (b.fsStyle & TBSTYLE_CHECK) {
        if ((b.fsStyle & TBSTYLE_GROUP) == TBSTYLE_GROUP) {
            auto inGroup = [&](int i) {
                const TBBUTTON& o = model.buttons[static_cast<size_t>(i)];
                return (o.fsStyle & TBSTYLE_CHECKGROUP) == TBSTYLE_CHECKGROUP;
            };
            for (int i = index - 1; i >= 0 && inGroup(i); --i)
                model.buttons[static_cast<size_t>(i)].fsState &= static_cast<BYTE>(~TBSTATE_CHECKED);
            for (int i = index + 1; i < model.Count() && inGroup(i); ++i)
                model.buttons[static_cast<size_t>(i)].fsState &= static_cast<BYTE>(~TBSTATE_CHECKED);
            b.fsState |= TBSTATE_CHECKED;
        } else {
            b.fsState ^= TBSTATE_CHECKED;
        }
    }
    const int id = b.idCommand;
    RedrawToolbar(hwnd);
    SendMessage(OwnerOf(model, hwnd), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

void DropDown(HWND hwnd, ToolbarModel& model, int index)
{
    NMTOOLBAR nm{};
    nm.hdr.hwndFrom = hwnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
    nm.hdr.code = static_cast<UINT>(TBN_DROPDOWN);
    nm.iItem = model.buttons[static_cast<size_t>(index)].idCommand;
    nm.tbButton = model.buttons[static_cast<size_t>(index)];
    nm.rcButton = RectOf(model, hwnd, index);
    SendMessage(OwnerOf(model, hwnd), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void OnButtonDown(HWND hwnd, ToolbarModel& model, POINT pt)
{
    const int index = HitButton(model, hwnd, pt);
    if (index < 0)
        return;
    TBBUTTON& b = model.buttons[static_cast<size_t>(index)];
    if (!(b.fsState & TBSTATE_ENABLED))
        return;
    if (b.fsStyle & TBSTYLE_DROPDOWN) {
        // Without separate arrows the whole button drops down; with them only the arrow part.
        const RECT r = RectOf(model, hwnd, index);
        if (!ArrowPartActive(model, b) || pt.x >= r.right - model.arrowWidth) {
            b.fsState |= TBSTATE_PRESSED;
            RedrawToolbar(hwnd);
            const int id = b.idCommand;
            DropDown(hwnd, model, index);
            // The owner may have removed buttons or the window while its menu was open.
            if (!IsWindow(hwnd) || model.m_orphaned)
                return;
            if (TBBUTTON* still = ButtonOf(model, static_cast<WPARAM>(id)))
                still->fsState &= static_cast<BYTE>(~TBSTATE_PRESSED);
            RedrawToolbar(hwnd);
            return;
        }
    }
    model.tracking = index;
    model.trackingInside = true;
    SetCapture(hwnd);
    RedrawToolbar(hwnd);
}

void OnMouseMove(HWND hwnd, ToolbarModel& model, POINT pt)
{
    if (model.tracking >= 0) {
        const RECT r = RectOf(model, hwnd, model.tracking);
        const bool inside = PtInRect(&r, pt) != 0;
        if (inside != model.trackingInside) {
            model.trackingInside = inside;
            RedrawToolbar(hwnd);
        }
        return;
    }
    if (!(GetWindowLong(hwnd, GWL_STYLE) & TBSTYLE_FLAT))
        return;
    const int hot = HitButton(model, hwnd, pt);
    if (hot != model.hot) {
        model.hot = hot;
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = hwnd;
        TrackMouseEvent(&track);
        RedrawToolbar(hwnd);
    }
}

void OnButtonUp(HWND hwnd, ToolbarModel& model)
{
    const int index = model.tracking;
    const bool inside = model.trackingInside;
    model.tracking = -1;
    model.trackingInside = false;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    RedrawToolbar(hwnd);
    if (index >= 0 && index < model.Count() && inside
        && (model.buttons[static_cast<size_t>(index)].fsState & TBSTATE_ENABLED))
        ClickToolbar(hwnd, model, index);
}

LRESULT AddButtons(HWND hwnd, ToolbarModel& model, int index, int count, const TBBUTTON* buttons)
{
    // A caller that declared another record size would have its records read at the wrong
    // stride: refuse them rather than take in garbage.
    if (model.structSize != sizeof(TBBUTTON) || !buttons || count < 0)
        return FALSE;
    for (int i = 0; i < count; ++i)
        model.Insert(index < 0 ? -1 : index + i, buttons[i]);
    RedrawToolbar(hwnd);
    return TRUE;
}

LRESULT HandleToolbarMessage(HWND hwnd, ToolbarModel& model, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        return PaintOrPrintClient(hwnd, wParam, [&](HDC dc) {
            RECT client;
            GetClientRect(hwnd, &client);
            PaintToolbar(dc, client, model, static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)));
        });
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnButtonDown(hwnd, model, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(hwnd, model, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(hwnd, model);
        return 0;
    case WM_CAPTURECHANGED:
        if (model.tracking >= 0 && reinterpret_cast<HWND>(lParam) != hwnd) {
            model.tracking = -1;
            model.trackingInside = false;
            RedrawToolbar(hwnd);
        }
        return 0;
    case WM_MOUSELEAVE:
        if (model.hot >= 0) {
            model.hot = -1;
            RedrawToolbar(hwnd);
        }
        return 0;
    case TB_BUTTONSTRUCTSIZE:
        model.structSize = static_cast<UINT>(wParam);
        return 0;
    case TB_SETPARENT: {
        HWND old = OwnerOf(model, hwnd);
        model.owner = reinterpret_cast<HWND>(wParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case TB_ADDBUTTONS:
        return AddButtons(hwnd, model, -1, static_cast<int>(wParam), reinterpret_cast<const TBBUTTON*>(lParam));
    case TB_INSERTBUTTON:
        return AddButtons(hwnd, model, static_cast<int>(wParam), 1, reinterpret_cast<const TBBUTTON*>(lParam));
    case TB_DELETEBUTTON: {
        const int index = static_cast<int>(wParam);
        if (!model.Delete(index))
            return FALSE;
        if (model.tracking == index) {
            model.tracking = -1;
            if (GetCapture() == hwnd)
                ReleaseCapture();
        } else if (model.tracking > index) {
            --model.tracking;
        }
        model.hot = -1;
        RedrawToolbar(hwnd);
        return TRUE;
    }
    case TB_GETBUTTON: {
        const int index = static_cast<int>(wParam);
        auto* out = reinterpret_cast<TBBUTTON*>(lParam);
        if (index < 0 || index >= model.Count() || !out)
            return FALSE;
        *out = model.buttons[static_cast<size_t>(index)];
        return TRUE;
    }
    case TB_BUTTONCOUNT:
        return model.Count();
    case TB_COMMANDTOINDEX:
        return model.CommandToIndex(static_cast<int>(wParam));
    case TB_GETITEMRECT: {
        const int index = static_cast<int>(wParam);
        auto* out = reinterpret_cast<RECT*>(lParam);
        if (index < 0 || index >= model.Count() || !out
            || (model.buttons[static_cast<size_t>(index)].fsState & TBSTATE_HIDDEN))
            return FALSE;
        *out = RectOf(model, hwnd, index);
        return TRUE;
    }
    case TB_SETBUTTONSIZE:
    case TB_SETBITMAPSIZE: {
        const int cx = LOWORD(lParam);
        const int cy = HIWORD(lParam);
        if (cx <= 0 || cy <= 0)
            return FALSE;
        (message == TB_SETBUTTONSIZE ? model.buttonSize : model.bitmapSize) = SIZE{cx, cy};
        RedrawToolbar(hwnd);
        return TRUE;
    }
    case TB_AUTOSIZE:
        RedrawToolbar(hwnd);
        return 0;
    case TB_ADDBITMAP: {
        const auto* add = reinterpret_cast<const TBADDBITMAP*>(lParam);
        // Only caller-made bitmaps: the control carries no stock images.
        if (!add || add->hInst || !add->nID)
            return -1;
        const int first = model.AddBitmap(reinterpret_cast<HBITMAP>(add->nID), static_cast<int>(wParam));
        RedrawToolbar(hwnd);
        return first;
    }
    case TB_REPLACEBITMAP: {
        const auto* rep = reinterpret_cast<const TBREPLACEBITMAP*>(lParam);
        if (!rep || rep->hInstOld || rep->hInstNew || !rep->nIDNew)
            return FALSE;
        if (!model.ReplaceBitmap(reinterpret_cast<HBITMAP>(rep->nIDOld), reinterpret_cast<HBITMAP>(rep->nIDNew),
                                 rep->nButtons))
            return FALSE;
        RedrawToolbar(hwnd);
        return TRUE;
    }
    case TB_ENABLEBUTTON:
        return SetStateBit(hwnd, model, wParam, TBSTATE_ENABLED, LOWORD(lParam) != 0);
    case TB_CHECKBUTTON:
        return SetStateBit(hwnd, model, wParam, TBSTATE_CHECKED, LOWORD(lParam) != 0);
    case TB_PRESSBUTTON:
        return SetStateBit(hwnd, model, wParam, TBSTATE_PRESSED, LOWORD(lParam) != 0);
    case TB_HIDEBUTTON:
        return SetStateBit(hwnd, model, wParam, TBSTATE_HIDDEN, LOWORD(lParam) != 0);
    case TB_INDETERMINATE:
        return SetStateBit(hwnd, model, wParam, TBSTATE_INDETERMINATE, LOWORD(lParam) != 0);
    case TB_ISBUTTONENABLED:
        return HasState(model, wParam, TBSTATE_ENABLED);
    case TB_ISBUTTONCHECKED:
        return HasState(model, wParam, TBSTATE_CHECKED);
    case TB_ISBUTTONPRESSED:
        return HasState(model, wParam, TBSTATE_PRESSED);
    case TB_ISBUTTONHIDDEN:
        return HasState(model, wParam, TBSTATE_HIDDEN);
    case TB_SETSTATE: {
        TBBUTTON* b = ButtonOf(model, wParam);
        if (!b)
            return FALSE;
        b->fsState = static_cast<BYTE>(LOWORD(lParam));
        RedrawToolbar(hwnd);
        return TRUE;
    }
    case TB_GETSTATE: {
        const TBBUTTON* b = ButtonOf(model, wParam);
        return b ? b->fsState : -1;
    }
    case TB_SETEXTENDEDSTYLE: {
        const DWORD old = model.exStyle;
        model.exStyle = static_cast<DWORD>(lParam);
        RedrawToolbar(hwnd);
        return old;
    }
    case TB_GETEXTENDEDSTYLE:
        return model.exStyle;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK ToolbarWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchControlMessage<ToolbarModel>(
        hwnd, message, wParam, lParam,
        [](const CREATESTRUCT&) {
            auto* model = new ToolbarModel;
            model->arrowWidth = ToolbarArrowWidth();
            return model;
        },
        HandleToolbarMessage);
}
