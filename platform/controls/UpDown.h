// The up-down control: two arrows that step a position through a range, with a buddy window
// (usually an edit) that shows the number and can be stepped with the arrow keys.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#include <string>
#include <vector>

#define UPDOWN_CLASS "msctls_updown32"

#define UDS_WRAP 0x0001
#define UDS_SETBUDDYINT 0x0002
#define UDS_ALIGNRIGHT 0x0004
#define UDS_ALIGNLEFT 0x0008
#define UDS_AUTOBUDDY 0x0010
#define UDS_ARROWKEYS 0x0020
#define UDS_HORZ 0x0040
#define UDS_NOTHOUSANDS 0x0080
#define UDS_HOTTRACK 0x0100

#define UDM_SETRANGE (WM_USER + 101)
#define UDM_GETRANGE (WM_USER + 102)
#define UDM_SETPOS (WM_USER + 103)
#define UDM_GETPOS (WM_USER + 104)
#define UDM_SETBUDDY (WM_USER + 105)
#define UDM_GETBUDDY (WM_USER + 106)
#define UDM_SETACCEL (WM_USER + 107)
#define UDM_GETACCEL (WM_USER + 108)
#define UDM_SETBASE (WM_USER + 109)
#define UDM_GETBASE (WM_USER + 110)
#define UDM_SETRANGE32 (WM_USER + 111)
#define UDM_GETRANGE32 (WM_USER + 112)
#define UDM_SETPOS32 (WM_USER + 113)
#define UDM_GETPOS32 (WM_USER + 114)

#define UDN_FIRST (0U - 721U)
#define UDN_DELTAPOS (UDN_FIRST - 1)

#define UD_MAXVAL 0x7FFF
#define UD_MINVAL (-UD_MAXVAL)

struct UDACCEL {
    UINT nSec;
    UINT nInc;
};

struct NMUPDOWN {
    NMHDR hdr;
    int iPos;
    int iDelta;
};
typedef NMUPDOWN* LPNMUPDOWN;

// An up-down control's model: range (which may run downwards), position, base, wrapping and
// the acceleration table.
class UpDownModel {
public:
    // The platform's default range runs from 100 down to 0: callers set their own.
    int lower = 100;
    int upper = 0;
    int pos = 0;
    int base = 10;
    bool wrap = false;
    std::vector<UDACCEL> accel{{0, 1}, {2, 5}, {5, 20}};

    // Where `steps` presses of the up arrow (negative: the down arrow) take the position: toward
    // the upper end for up, wrapping round or stopping at the ends.
    int Target(int steps) const;
    // The step for a press held `heldMs` milliseconds, from the acceleration table.
    int Increment(DWORD heldMs) const;
    // The position as the buddy shows it: decimal with thousands separators (unless told not
    // to), or hexadecimal as 0x…
    std::string Format(bool thousands) const;
    // Reads a buddy's text back (the forms Format writes, spaces around allowed); false when
    // it is no number in the range.
    bool Parse(const std::string& text, int& value) const;
    int Min() const { return lower < upper ? lower : upper; }
    int Max() const { return lower < upper ? upper : lower; }
};

LRESULT CALLBACK UpDownWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
