// System metrics and colours: a classic light palette and the classic frame sizes.
#include "platform/core/WinError.h"
#include "platform/win/Gdi.h"
#include "platform/win/detail/GdiObjects.h"
#include "platform/win/UserApi.h"
#include "platform/win/WindowBackend.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

namespace {

constexpr std::array<COLORREF, 31> kDefaultColors = {
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

constexpr UINT kDefaultDoubleClickTime = 500;
std::atomic<UINT> g_doubleClickTime{kDefaultDoubleClickTime};

// The palette and its brushes. The brushes are made once and never deleted: callers keep
// them (class backgrounds, cached paint objects), so a palette change recolours them in place.
struct SysColors {
    std::mutex mutex;
    std::array<COLORREF, kDefaultColors.size()> colors = kDefaultColors;
    std::array<std::shared_ptr<BrushObject>, kDefaultColors.size()> brushes;

    SysColors()
    {
        for (size_t i = 0; i < colors.size(); ++i) {
            auto brush = std::make_shared<BrushObject>();
            brush->m_style = BS_SOLID;
            brush->m_color = colors[i];
            brush->m_stock = true;
            GdiHandles::Add(brush);
            brushes[i] = std::move(brush);
        }
    }
};

SysColors& TheSysColors()
{
    static SysColors* colors = new SysColors;   // lives to the end of the process
    return *colors;
}

bool ValidColorIndex(int nIndex)
{
    return nIndex >= 0 && nIndex < static_cast<int>(kDefaultColors.size());
}

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
    if (!ValidColorIndex(nIndex))
        return 0;
    SysColors& sys = TheSysColors();
    std::lock_guard lock(sys.mutex);
    return sys.colors[static_cast<size_t>(nIndex)];
}

HBRUSH GetSysColorBrush(int nIndex)
{
    if (!ValidColorIndex(nIndex))
        return nullptr;
    return static_cast<HBRUSH>(TheSysColors().brushes[static_cast<size_t>(nIndex)]->Handle());
}

BOOL SetSysColors(int cElements, const INT* lpaElements, const COLORREF* lpaRgbValues)
{
    if (cElements < 0 || (cElements > 0 && (!lpaElements || !lpaRgbValues))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (int i = 0; i < cElements; ++i) {
        if (!ValidColorIndex(lpaElements[i])) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    {
        SysColors& sys = TheSysColors();
        std::lock_guard lock(sys.mutex);
        for (int i = 0; i < cElements; ++i) {
            const auto index = static_cast<size_t>(lpaElements[i]);
            const COLORREF color = lpaRgbValues[i] & 0x00FFFFFFu;
            sys.colors[index] = color;
            sys.brushes[index]->m_color = color;
        }
    }
    // Windows that cache colours or brushes rebuild them; sent outside the lock so that a
    // handler may read the palette.
    SendMessage(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

UINT GetDoubleClickTime()
{
    return g_doubleClickTime.load(std::memory_order_relaxed);
}

BOOL SetDoubleClickTime(UINT uInterval)
{
    g_doubleClickTime.store(uInterval ? uInterval : kDefaultDoubleClickTime, std::memory_order_relaxed);
    return TRUE;
}

BOOL MessageBeep(UINT uType)
{
    GetWindowBackend().Beep(uType);
    return TRUE;
}
