// Message boxes as dialogs of this layer: laid out from the text's size, with the icon drawn
// here and the buttons of the set asked for.
#include "platform/controls/MessageBox.h"

#include "platform/controls/Button.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/Static.h"
#include "platform/core/CException.h"
#include "platform/core/ResourceFormats.h"
#include "platform/win/Gdi.h"
#include "platform/win/SystemParameters.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

struct BoxButton {
    int id;
    const char* label;
};

struct BoxContents {
    std::string text;
    UINT type = 0;
    std::vector<BoxButton> buttons;
    int defaultIndex = 0;
};

// Pixel layout of the classic box.
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kTextToButtons = 16;
constexpr int kMaxTextWidth = 420;

// MB_HELP adds no Help button: no message box of the program asks for one.
std::vector<BoxButton> ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "&OK"}, {IDCANCEL, "&Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "&Cancel"}};
    case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Retry"}, {IDCANCEL, "&Cancel"}};
    case MB_CANCELTRYCONTINUE: return {{IDCANCEL, "&Cancel"}, {IDTRYAGAIN, "&Try Again"}, {IDCONTINUE, "C&ontinue"}};
    default: return {{IDOK, "&OK"}};
    }
}

bool HasButton(const BoxContents& box, int id)
{
    return std::any_of(box.buttons.begin(), box.buttons.end(), [id](const BoxButton& b) { return b.id == id; });
}

HWND MakeChild(HWND dlg, LPCSTR cls, LPCSTR text, DWORD style, const RECT& r, int id)
{
    HWND child = CreateWindowEx(WS_EX_NOPARENTNOTIFY, cls, text, style | WS_CHILD | WS_VISIBLE, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, dlg,
                                reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
    SendMessage(child, WM_SETFONT, SendMessage(dlg, WM_GETFONT, 0, 0), FALSE);
    return child;
}

void LayOutMessageBox(HWND dlg, BoxContents& box)
{
    const bool hasIcon = (box.type & MB_ICONMASK) != 0;
    const int textLeft = kMargin + (hasIcon ? kIconSize + kIconGap : 0);
    // The box stays inside the work area: the text gets no more of its width than is left
    // beside the icon, the margins and the frame.
    const RECT work = GetWorkArea();
    RECT frameOnly{0, 0, 0, 0};
    AdjustWindowRectEx(&frameOnly, static_cast<DWORD>(GetWindowLong(dlg, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLong(dlg, GWL_EXSTYLE)));
    const int frameWidth = frameOnly.right - frameOnly.left;
    const int maxText = std::max(1, std::min<int>(kMaxTextWidth, work.right - work.left - frameWidth - textLeft - kMargin));
    HDC dc = GetDC(dlg);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(dlg, WM_GETFONT, 0, 0)));
    // A word longer than a line (a long name or path) is broken inside, as an edit control
    // breaks it, rather than widening the box past the screen.
    RECT text{0, 0, maxText, 0};
    DrawText(dc, box.text.c_str(), static_cast<int>(box.text.size()), &text,
             DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(dlg, dc);

    // Nor does it grow past the work area's height: a text taller than the room left beside the
    // buttons is shown in a box of its own that scrolls, so that the buttons stay in sight.
    const int frameHeight = frameOnly.bottom - frameOnly.top;
    const int maxTextHeight = std::max(kIconSize, static_cast<int>(work.bottom - work.top) - frameHeight - 2 * kMargin -
                                                      kTextToButtons - kButtonHeight);
    const bool scrolls = text.bottom > maxTextHeight;
    if (scrolls)
        text.right = maxText;
    const int textHeight = std::min(std::max<int>(text.bottom, hasIcon ? 0 : 1), maxTextHeight);
    const int bodyHeight = std::max(textHeight, hasIcon ? kIconSize : 0);
    const int textTop = kMargin + (bodyHeight - textHeight) / 2;
    const int buttonsWidth = static_cast<int>(box.buttons.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
    const int clientWidth = std::max(textLeft + static_cast<int>(text.right) + kMargin, buttonsWidth + 2 * kMargin);
    const int buttonsTop = kMargin + bodyHeight + kTextToButtons;
    const int clientHeight = buttonsTop + kButtonHeight + kMargin;

    if (hasIcon)
        MakeChild(dlg, WC_STATIC, "", SS_OWNERDRAW, RECT{kMargin, kMargin, kMargin + kIconSize, kMargin + kIconSize},
                  kMessageBoxIconId);
    const RECT textRect{textLeft, textTop, static_cast<LONG>(textLeft + text.right), textTop + textHeight};
    if (scrolls)
        MakeChild(dlg, WC_EDIT, box.text.c_str(), ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_TABSTOP, textRect,
                  kMessageBoxTextId);
    else
        MakeChild(dlg, WC_STATIC, box.text.c_str(), SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, textRect, kMessageBoxTextId);
    int x = (clientWidth - buttonsWidth) / 2;
    for (size_t i = 0; i < box.buttons.size(); ++i) {
        const bool isDefault = static_cast<int>(i) == box.defaultIndex;
        MakeChild(dlg, WC_BUTTON, box.buttons[i].label,
                  (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP | (i == 0 ? WS_GROUP : 0),
                  RECT{x, buttonsTop, x + kButtonWidth, buttonsTop + kButtonHeight}, box.buttons[i].id);
        x += kButtonWidth + kButtonGap;
    }

    // The frame around that client area, centred on the owner or the screen.
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLong(dlg, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLong(dlg, GWL_EXSTYLE)));
    const int w = std::min<int>(frame.right - frame.left, work.right - work.left);
    const int h = frame.bottom - frame.top;
    RECT around = work;
    HWND owner = GetWindow(dlg, GW_OWNER);
    if (owner && IsWindowVisible(owner))
        GetWindowRect(owner, &around);
    // Centred on the owner, then moved back into the work area where that leaves it.
    const int centredLeft = static_cast<int>(around.left + (around.right - around.left - w) / 2);
    const int centredTop = static_cast<int>(around.top + (around.bottom - around.top - h) / 2);
    const int left = std::max<int>(work.left, std::min<int>(centredLeft, work.right - w));
    const int top = std::max<int>(work.top, std::min<int>(centredTop, work.bottom - h));
    SetWindowPos(dlg, nullptr, left, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK MessageBoxProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* box = reinterpret_cast<BoxContents*>(GetWindowLongPtr(dlg, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        box = reinterpret_cast<BoxContents*>(lParam);
        SetWindowLongPtr(dlg, DWLP_USER, lParam);
        LayOutMessageBox(dlg, *box);
        const int defId = box->buttons[static_cast<size_t>(box->defaultIndex)].id;
        SendMessage(dlg, DM_SETDEFID, static_cast<WPARAM>(defId), 0);
        SetFocus(GetDlgItem(dlg, defId));
        MessageBeep(box->type & MB_ICONMASK);
        return FALSE;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (!box || item->CtlID != static_cast<UINT>(kMessageBoxIconId))
            return FALSE;
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        DrawMessageBoxIcon(item->hDC, item->rcItem.left, item->rcItem.top, box->type & MB_ICONMASK);
        return TRUE;
    }
    case WM_COMMAND: {
        if (!box || HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        int id = LOWORD(wParam);
        // Esc and the close box: Cancel when there is one, OK when it is the only button.
        if (id == IDCANCEL && !HasButton(*box, IDCANCEL)) {
            if (box->buttons.size() == 1 && box->buttons[0].id == IDOK)
                id = IDOK;
            else
                return TRUE;
        }
        if (HasButton(*box, id))
            EndDialog(dlg, id);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// Filled shapes with a one-pixel outline, no antialiasing.
void MessageBoxShape(HDC dc, COLORREF fill, COLORREF line, const std::function<void()>& draw)
{
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, line);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    draw();
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void Box(HDC dc, int left, int top, int right, int bottom, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    RECT r{left, top, right, bottom};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

} // namespace

void DrawMessageBoxIcon(HDC dc, int x, int y, UINT iconFlag)
{
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF black = RGB(0, 0, 0);
    switch (iconFlag & MB_ICONMASK) {
    case MB_ICONHAND: {
        // A red disc with a white cross of two 3-pixel strokes.
        MessageBoxShape(dc, RGB(255, 0, 0), RGB(128, 0, 0), [&] { Ellipse(dc, x + 1, y + 1, x + 31, y + 31); });
        HPEN pen = CreatePen(PS_SOLID, 1, white);
        HGDIOBJ old = SelectObject(dc, pen);
        for (int d = -1; d <= 1; ++d) {
            MoveToEx(dc, x + 10 + d, y + 10, nullptr);
            LineTo(dc, x + 22 + d, y + 22);
            MoveToEx(dc, x + 21 + d, y + 10, nullptr);
            LineTo(dc, x + 9 + d, y + 22);
        }
        SelectObject(dc, old);
        DeleteObject(pen);
        break;
    }
    case MB_ICONEXCLAMATION: {
        // A yellow triangle with a black exclamation mark.
        const POINT triangle[3] = {{x + 15, y + 1}, {x + 30, y + 29}, {x + 1, y + 29}};
        MessageBoxShape(dc, RGB(255, 255, 0), black, [&] { Polygon(dc, triangle, 3); });
        Box(dc, x + 14, y + 9, x + 17, y + 21, black);
        Box(dc, x + 14, y + 23, x + 17, y + 26, black);
        break;
    }
    case MB_ICONQUESTION: {
        // A white bubble with a blue question mark drawn in strokes.
        MessageBoxShape(dc, white, black, [&] { Ellipse(dc, x + 1, y + 1, x + 31, y + 31); });
        const COLORREF blue = RGB(0, 0, 255);
        Box(dc, x + 11, y + 8, x + 21, y + 11, blue);
        Box(dc, x + 18, y + 8, x + 21, y + 16, blue);
        Box(dc, x + 14, y + 14, x + 21, y + 17, blue);
        Box(dc, x + 14, y + 14, x + 17, y + 20, blue);
        Box(dc, x + 14, y + 22, x + 17, y + 25, blue);
        Box(dc, x + 11, y + 8, x + 14, y + 12, blue);
        break;
    }
    case MB_ICONASTERISK: {
        // A white bubble with a blue "i".
        MessageBoxShape(dc, white, black, [&] { Ellipse(dc, x + 1, y + 1, x + 31, y + 31); });
        const COLORREF blue = RGB(0, 0, 255);
        Box(dc, x + 14, y + 7, x + 18, y + 11, blue);
        Box(dc, x + 14, y + 13, x + 18, y + 25, blue);
        Box(dc, x + 12, y + 13, x + 14, y + 15, blue);
        Box(dc, x + 12, y + 23, x + 20, y + 25, blue);
        break;
    }
    default:
        break;
    }
}

int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    BoxContents box;
    box.text = lpText ? lpText : "";
    box.type = uType;
    box.buttons = ButtonsOf(uType);
    box.defaultIndex = static_cast<int>((uType & MB_DEFMASK) >> 8);
    if (box.defaultIndex >= static_cast<int>(box.buttons.size()))
        box.defaultIndex = 0;

    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_NOIDLEMSG;
    t.title = lpCaption ? lpCaption : "Error";
    t.cx = 100;
    t.cy = 40;
    const std::vector<BYTE> bytes = WriteDialogTemplate(t);
    HWND owner = hWnd ? GetAncestor(hWnd, GA_ROOT) : nullptr;
    const INT_PTR result = DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), owner,
                                                  MessageBoxProc, reinterpret_cast<LPARAM>(&box));
    return result > 0 ? static_cast<int>(result) : 0;
}

namespace {

int ReportWithMessageBox(LPCTSTR text, UINT type, UINT)
{
    return MessageBox(GetActiveWindow(), text, nullptr, type);
}

} // namespace

void InstallMessageBoxErrorReports()
{
    AfxSetReportErrorHook(ReportWithMessageBox);
}
