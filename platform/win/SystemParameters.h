// System parameters (the non-client metrics and their fonts, the work area, the user's
// preferences) and the tone bell: what the non-client drawing, the controls and callers read
// besides the system metrics and colours.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/WinUser.h"

// GetSystemMetrics, GetSysColor, GetSysColorBrush, GetDoubleClickTime and MessageBeep are
// declared with the other window functions in UserApi.h.

// The fonts and sizes of the non-client area.
struct NONCLIENTMETRICS {
    UINT cbSize;
    int iBorderWidth;
    int iScrollWidth;
    int iScrollHeight;
    int iCaptionWidth;
    int iCaptionHeight;
    LOGFONT lfCaptionFont;
    int iSmCaptionWidth;
    int iSmCaptionHeight;
    LOGFONT lfSmCaptionFont;
    int iMenuWidth;
    int iMenuHeight;
    LOGFONT lfMenuFont;
    LOGFONT lfStatusFont;
    LOGFONT lfMessageFont;
};
typedef NONCLIENTMETRICS NONCLIENTMETRICSA;
typedef NONCLIENTMETRICS* LPNONCLIENTMETRICS;

#ifndef SPI_GETICONTITLELOGFONT
#define SPI_GETICONTITLELOGFONT 0x001F
#endif
#ifndef SPI_SETWHEELSCROLLLINES
#define SPI_SETWHEELSCROLLLINES 0x0069
#endif

// Reads (and for a few SPI_SET codes, changes) system parameters. FALSE for codes this layer
// does not know, with ERROR_INVALID_PARAMETER.
BOOL SystemParametersInfo(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT fWinIni);
// A tone of a frequency and duration; the backend sounds its bell (the headless one records
// it). Callable from any thread.
BOOL Beep(DWORD dwFreq, DWORD dwDuration);
// The value Beep hands the backend, so that tests can tell it from MessageBeep's types.
constexpr UINT kBeepTone = 0xFFFFFFF0u;
// The screen less the parts the desktop reserves (nothing here): the area maximised windows
// fill. Callable from any thread.
RECT GetWorkArea();
