// System parameters and the tone bell.
#include "platform/win/SystemParameters.h"

#include "platform/core/WinError.h"
#include "platform/win/UserApi.h"
#include "platform/win/WindowBackend.h"

#include <atomic>
#include <cstring>

namespace {

std::atomic<UINT> g_wheelLines{3};
std::atomic<bool> g_dragFullWindows{true};

// The 8-point sans serif of dialogs, menus and captions; the drawing layer maps the face to the
// installed sans family.
LOGFONT UiFont(bool bold)
{
    LOGFONT lf{};
    lf.lfHeight = -11;   // 8 points at 96 dpi
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    return lf;
}

} // namespace

RECT GetWorkArea()
{
    return GetWindowBackend().WorkArea();
}

BOOL Beep(DWORD, DWORD)
{
    GetWindowBackend().Beep(kBeepTone);
    return TRUE;
}

BOOL SystemParametersInfo(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT)
{
    auto setBool = [&](BOOL value) {
        if (!pvParam)
            return FALSE;
        *static_cast<BOOL*>(pvParam) = value;
        return TRUE;
    };
    auto setUint = [&](UINT value) {
        if (!pvParam)
            return FALSE;
        *static_cast<UINT*>(pvParam) = value;
        return TRUE;
    };
    switch (uiAction) {
    case SPI_GETNONCLIENTMETRICS: {
        auto* ncm = static_cast<NONCLIENTMETRICS*>(pvParam);
        if (!ncm || (ncm->cbSize != 0 && ncm->cbSize < sizeof(NONCLIENTMETRICS))) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        *ncm = NONCLIENTMETRICS{};
        ncm->cbSize = sizeof(NONCLIENTMETRICS);
        ncm->iBorderWidth = 1;
        ncm->iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
        ncm->iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
        ncm->iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
        ncm->iCaptionHeight = GetSystemMetrics(SM_CYSIZE);
        ncm->lfCaptionFont = UiFont(true);
        ncm->iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
        ncm->iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
        ncm->lfSmCaptionFont = UiFont(true);
        ncm->iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
        ncm->iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
        ncm->lfMenuFont = UiFont(false);
        ncm->lfStatusFont = UiFont(false);
        ncm->lfMessageFont = UiFont(false);
        return TRUE;
    }
    case SPI_GETICONTITLELOGFONT:
        if (!pvParam)
            return FALSE;
        *static_cast<LOGFONT*>(pvParam) = UiFont(false);
        return TRUE;
    case SPI_GETWORKAREA:
        if (!pvParam)
            return FALSE;
        *static_cast<RECT*>(pvParam) = GetWorkArea();
        return TRUE;
    case SPI_GETDRAGFULLWINDOWS:
        return setBool(g_dragFullWindows.load() ? TRUE : FALSE);
    case SPI_SETDRAGFULLWINDOWS:
        g_dragFullWindows.store(uiParam != 0);
        return TRUE;
    case SPI_GETWHEELSCROLLLINES:
        return setUint(g_wheelLines.load());
    case SPI_SETWHEELSCROLLLINES:
        g_wheelLines.store(uiParam);
        return TRUE;
    case SPI_GETKEYBOARDCUES:   // mnemonics are always underlined
    case SPI_GETBEEP:
        return setBool(TRUE);
    case SPI_GETMENUDROPALIGNMENT:   // menus drop left-aligned
    case SPI_GETFONTSMOOTHING:
    case SPI_GETGRADIENTCAPTIONS:
    case SPI_GETFLATMENU:
    case SPI_GETMENUANIMATION:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETLISTBOXSMOOTHSCROLLING:
    case SPI_GETTOOLTIPANIMATION:
    case SPI_GETMENUFADE:
    case SPI_GETSELECTIONFADE:
    case SPI_GETTOOLTIPFADE:
    case SPI_GETCURSORSHADOW:
    case SPI_GETDROPSHADOW:
    case SPI_GETHOTTRACKING:
    case SPI_GETSCREENREADER:
    case SPI_GETSHOWSOUNDS:
    case SPI_GETKEYBOARDPREF:
    case SPI_GETSCREENSAVERRUNNING:
    case SPI_GETACTIVEWINDOWTRACKING:
        return setBool(FALSE);
    case SPI_GETKEYBOARDDELAY:
        return setUint(1);
    case SPI_GETKEYBOARDSPEED:
        return setUint(31);
    case SPI_GETMENUSHOWDELAY:
    case SPI_GETMOUSEHOVERTIME:
        return setUint(400);
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT:
        return setUint(4);
    case SPI_GETFOCUSBORDERWIDTH:
    case SPI_GETFOCUSBORDERHEIGHT:
        return setUint(1);
    case SPI_GETMOUSESPEED:
        return setUint(10);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}
