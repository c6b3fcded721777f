// Scroll bars: the state of a window's two bars (range, page, position, tracking position,
// disabled arrows), their layout and drawing in the non-client area, and the mouse tracking
// that sends WM_HSCROLL/WM_VSCROLL, reusable by scroll-bar controls through IScrollBarHost.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/WinUser.h"

#ifndef SBM_SETPOS
#define SBM_SETPOS 0x00E0
#define SBM_GETPOS 0x00E1
#define SBM_SETRANGE 0x00E2
#define SBM_GETRANGE 0x00E3
#define SBM_ENABLE_ARROWS 0x00E4
#define SBM_SETRANGEREDRAW 0x00E6
#define SBM_SETSCROLLINFO 0x00E9
#define SBM_GETSCROLLINFO 0x00EA
#endif

BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow);
// ESB_ flags; FALSE when the arrows already were in that state.
BOOL EnableScrollBar(HWND hWnd, UINT wSBflags, UINT wArrows);
// Sets what the mask says and returns the new position. The range shows or hides the bar (or
// disables it with SIF_DISABLENOSCROLL) as it makes scrolling possible or not.
int SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi);
// Returns the previous position.
int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw);
int GetScrollPos(HWND hWnd, int nBar);
BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw);
BOOL GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos);

// ---- Layout, drawing and tracking ----
struct ScrollBarState {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    UINT disabled = ESB_ENABLE_BOTH;   // ESB_DISABLE_LTUP | ESB_DISABLE_RTDN
    bool disabledForRange = false;     // disabled by SIF_DISABLENOSCROLL, not by the caller
    bool tracking = false;             // the thumb is dragged: it shows trackPos
    int pressed = 0;                   // the ScrollPart held down, drawn pushed
    bool used = false;                 // set by a caller: the bar has information to report
    // The highest position the thumb reaches: max less the page.
    int MaxPos() const;
    bool Scrollable() const { return MaxPos() > min; }
};

// The parts of a bar from the top (left) end.
enum ScrollPart : int { SP_NONE = 0, SP_LINEUP, SP_PAGEUP, SP_THUMB, SP_PAGEDOWN, SP_LINEDOWN };

struct ScrollBarLayout {
    RECT arrowUp{0, 0, 0, 0};
    RECT arrowDown{0, 0, 0, 0};
    int trackStart = 0;   // along the bar, in the bar rectangle's coordinates
    int trackEnd = 0;
    int thumbStart = 0;   // thumbLength 0: no thumb
    int thumbLength = 0;
};
// The smallest thumb, whatever the page.
constexpr int kMinThumbLength = 8;

ScrollBarLayout LayoutScrollBar(const RECT& bar, bool vertical, const ScrollBarState& state);
int ScrollPartAt(const RECT& bar, bool vertical, const ScrollBarState& state, POINT pt);
// The position the thumb stands for when its leading edge is at `thumbStart`.
int ScrollPosFromThumb(const RECT& bar, bool vertical, const ScrollBarState& state, int thumbStart);
void DrawScrollBar(HDC dc, const RECT& bar, bool vertical, const ScrollBarState& state);

// What the tracking loop needs from a bar: a window's own bar or a scroll-bar control.
class IScrollBarHost {
public:
    virtual ~IScrollBarHost() = default;
    // The window that holds the capture while tracking.
    virtual HWND Window() = 0;
    // The bar's rectangle in screen coordinates.
    virtual RECT BarRect() = 0;
    virtual bool Vertical() = 0;
    virtual ScrollBarState* State() = 0;
    // Sends WM_HSCROLL/WM_VSCROLL with a code and a position.
    virtual void Notify(UINT code, int pos) = 0;
    virtual void Redraw() = 0;
};

// Tracks a press on a bar at a screen point until the button is released: arrows repeat line
// scrolls and the track page scrolls (first after 350 ms, then every 50 ms) while the pointer
// stays on the part; the thumb sends SB_THUMBTRACK as it moves and SB_THUMBPOSITION at the
// release; SB_ENDSCROLL ends every tracking. Runs a loop on the thread's queue.
void TrackScrollBar(IScrollBarHost& host, POINT screenPt);
constexpr UINT kScrollFirstDelay = 350;
constexpr UINT kScrollRepeatDelay = 50;

// A window's bar (SB_HORZ, SB_VERT): its state (null when it has none yet), its rectangle in
// window coordinates (empty when hidden), and tracking a press on it.
ScrollBarState* WindowScrollBarState(HWND hwnd, int bar, bool create);
RECT WindowScrollBarRect(HWND hwnd, int bar);
void TrackWindowScrollBar(HWND hwnd, int bar, POINT screenPt);
// Draws the visible bars of a window (and the corner between them) into its window DC.
void DrawWindowScrollBars(HWND hwnd, HDC windowDC);
