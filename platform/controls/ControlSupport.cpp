#include "platform/controls/ControlSupport.h"

#include "platform/win/Gdi.h"

void NotifyParent(HWND control, UINT code)
{
    HWND parent = GetParent(control);
    if (!parent)
        return;
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

HBRUSH ControlColor(HWND control, HDC dc, UINT message)
{
    HWND parent = GetParent(control);
    auto brush = reinterpret_cast<HBRUSH>(SendMessage(parent ? parent : control, message,
                                                      reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    if (!brush)
        brush = reinterpret_cast<HBRUSH>(DefWindowProc(control, message, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(control)));
    return brush;
}

HFONT ControlFont(HFONT font)
{
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void UseClientEdgeForBorder(HWND control)
{
    LONG style = GetWindowLong(control, GWL_STYLE);
    if (!(style & WS_BORDER))
        return;
    SetWindowLong(control, GWL_STYLE, style & ~WS_BORDER);
    SetWindowLong(control, GWL_EXSTYLE, GetWindowLong(control, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
}
