// Parent notifications, colours and fonts of the standard controls.
#include "platform/controls/ControlSupport.h"

#include "platform/win/Gdi.h"
#include "platform/win/ScrollBar.h"

LRESULT NotifyParentHeader(HWND control, NMHDR& header, UINT code)
{
    HWND parent = GetParent(control);
    if (!parent)
        return 0;
    header.hwndFrom = control;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    header.code = code;
    return SendMessage(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void NotifyParent(HWND control, UINT code)
{
    HWND parent = GetParent(control);
    if (!parent)
        return;
    const int id = GetDlgCtrlID(control);
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(code)),
                reinterpret_cast<LPARAM>(control));
}

HBRUSH ControlColors(HWND control, HDC dc, UINT ctlColorMessage)
{
    HWND parent = GetParent(control);
    LRESULT brush = 0;
    if (parent)
        brush = SendMessage(parent, ctlColorMessage, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    if (!brush)
        brush = DefWindowProc(control, ctlColorMessage, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    return reinterpret_cast<HBRUSH>(brush);
}

HFONT ControlFont(HFONT font)
{
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::string WindowTextOf(HWND hwnd)
{
    const int length = GetWindowTextLength(hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowText(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

bool FocusCuesHidden(HWND control)
{
    return (SendMessage(control, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
}

void UseClientEdgeForBorder(HWND control)
{
    LONG style = GetWindowLong(control, GWL_STYLE);
    if (!(style & WS_BORDER))
        return;
    SetWindowLong(control, GWL_STYLE, style & ~WS_BORDER);
    SetWindowLong(control, GWL_EXSTYLE, GetWindowLong(control, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
}

int ScrollTrackPos(HWND hwnd, int bar)
{
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
    GetScrollInfo(hwnd, bar, &si);
    return si.nTrackPos;
}
