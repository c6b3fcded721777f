// System metrics and colours: a classic light palette and the classic frame sizes.
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "platform/win/WindowBackend.h"

#include <array>
#include <mutex>

namespace {

constexpr std::array<COLORREF, 31> kColors = {
    RGB(192, 192, 192),   // COLOR_SCROLLBAR
    RGB(0, 128, 128),     // COLOR_BACKGROUND
    RGB(0, 0, 128),       // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),   // COLOR_INACTIVECAPTION
    RGB(192, 192, 192),   // COLOR_MENU
    RGB(255, 255, 255),   // COLOR_WINDOW
    RGB(0, 0, 0),         // COLOR_WINDOWFRAME
    RGB(0, 0, 0),         // COLOR_MENUTEXT
    RGB(0, 0, 0),         // COLOR_WINDOWTEXT
    RGB(255, 255, 255),   // COLOR_CAPTIONTEXT
    RGB(192, 192, 192),   // COLOR_ACTIVEBORDER
    RGB(192, 192, 192),   // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),   // COLOR_APPWORKSPACE
    RGB(0, 0, 128),       // COLOR_HIGHLIGHT
    RGB(255, 255, 255),   // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192),   // COLOR_BTNFACE
    RGB(128, 128, 128),   // COLOR_BTNSHADOW
    RGB(128, 128, 128),   // COLOR_GRAYTEXT
    RGB(0, 0, 0),         // COLOR_BTNTEXT
    RGB(192, 192, 192),   // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),   // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),         // COLOR_3DDKSHADOW
    RGB(223, 223, 223),   // COLOR_3DLIGHT
    RGB(0, 0, 0),         // COLOR_INFOTEXT
    RGB(255, 255, 225),   // COLOR_INFOBK
    RGB(180, 180, 180),   // 25: unused
    RGB(0, 0, 255),       // COLOR_HOTLIGHT
    RGB(16, 132, 208),    // COLOR_GRADIENTACTIVECAPTION
    RGB(181, 181, 181),   // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128),       // COLOR_MENUHILIGHT
    RGB(192, 192, 192),   // COLOR_MENUBAR
};

} // namespace

int GetSystemMetrics(int nIndex)
{
    const SIZE screen = GetWindowBackend().ScreenSize();
    switch (nIndex) {
    case SM_CXSCREEN: case SM_CXVIRTUALSCREEN: return screen.cx;
    case SM_CYSCREEN: case SM_CYVIRTUALSCREEN: return screen.cy;
    case SM_XVIRTUALSCREEN: case SM_YVIRTUALSCREEN: return 0;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL: return 16;
    case SM_CYVTHUMB: case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CYSMCAPTION: return 15;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYMENU: return 19;
    case SM_CXMENUSIZE: case SM_CYMENUSIZE: return 18;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    case SM_CXSIZE: case SM_CYSIZE: return 18;
    case SM_CXSMSIZE: return 12;
    case SM_CYSMSIZE: return 14;
    case SM_CXFULLSCREEN: return screen.cx;
    case SM_CYFULLSCREEN: return screen.cy - 19;
    case SM_CXMIN: case SM_CXMINTRACK: return 112;
    case SM_CYMIN: case SM_CYMINTRACK: return 27;
    case SM_CXMAXTRACK: return screen.cx + 12;
    case SM_CYMAXTRACK: return screen.cy + 12;
    case SM_CXMAXIMIZED: return screen.cx + 8;
    case SM_CYMAXIMIZED: return screen.cy + 8;
    case SM_CXMINIMIZED: return 160;
    case SM_CYMINIMIZED: return 24;
    case SM_CXMINSPACING: return 160;
    case SM_CYMINSPACING: return 24;
    case SM_CXICONSPACING: case SM_CYICONSPACING: return 75;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CXFOCUSBORDER: case SM_CYFOCUSBORDER: return 1;
    case SM_MOUSEPRESENT: case SM_MOUSEWHEELPRESENT: case SM_CMONITORS: case SM_SAMEDISPLAYFORMAT: return 1;
    case SM_CMOUSEBUTTONS: return 3;
    default: return 0;
    }
}

DWORD GetSysColor(int nIndex)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(kColors.size()))
        return 0;
    return kColors[static_cast<size_t>(nIndex)];
}

HBRUSH GetSysColorBrush(int nIndex)
{
    static std::once_flag once;
    static std::array<HBRUSH, kColors.size()> brushes{};
    std::call_once(once, [] {
        for (size_t i = 0; i < kColors.size(); ++i)
            brushes[i] = CreateSolidBrush(kColors[i]);
    });
    if (nIndex < 0 || nIndex >= static_cast<int>(brushes.size()))
        return nullptr;
    return brushes[static_cast<size_t>(nIndex)];
}

UINT GetDoubleClickTime()
{
    return 500;
}

BOOL MessageBeep(UINT uType)
{
    GetWindowBackend().Beep(uType);
    return TRUE;
}
