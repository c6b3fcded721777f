// The menu loop: one modal loop on the thread's queue that tracks a pop-up menu or a window's
// menu bar with the mouse and the keyboard, opens cascading sub-menus in pop-up windows of the
// menu class, tells the owner what happens (WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP,
// WM_MENUSELECT, WM_MENUCHAR, WM_ENTERIDLE, WM_UNINITMENUPOPUP, WM_EXITMENULOOP) and delivers
// the chosen command.
#pragma once

#include "platform/win/detail/MenuPainter.h"

namespace MenuTracking {
// TrackPopupMenuEx: returns the chosen command (0 for none) with TPM_RETURNCMD, else TRUE once
// the menu was tracked and FALSE when it could not be shown.
BOOL TrackPopup(HMENU menu, UINT flags, POINT pt, HWND owner, const RECT* exclude);
// A press on a window's menu bar or system-menu icon at a screen point.
void TrackBarByMouse(HWND frame, POINT screen);
// The keyboard's way into a window's menus: key 0 (Alt or F10 alone) highlights the first bar
// item; ' ' opens the system menu; another character opens the bar item it is the mnemonic of.
void TrackBarByKey(HWND frame, char key);
// Whether the calling thread is tracking a menu.
bool IsTracking();
// The calling thread's menu loops are numbered from 1: the number of the one running (0 when
// none is), and the number the next one will get. Tests use them to end only a loop they mean.
unsigned CurrentLoop();
unsigned NextLoop();
// Ends the calling thread's menu loop without a command.
void End();
// The bar item a frame's menu loop shows lit, and how; false when it has none.
bool BarHighlight(HWND frame, int& item, MenuPainter::BarItemLook& look);
} // namespace MenuTracking

namespace MenuBars {
// The menu bar row of a top-level window in window coordinates (empty without a menu bar).
RECT BarRow(HWND frame);
// The height of a menu bar laid out `width` pixels wide: its rows, one row for an id that is
// no menu. The non-client layout reserves it.
int BarHeight(HMENU menu, int width, HWND owner);
// Draws the bar row into a window DC of the frame (the non-client painter calls this).
void PaintRow(HWND frame, HDC windowDC);
// Brings a window's system menu up to date with the window's state (restore, move, size,
// minimise, maximise, close).
void UpdateSystemMenu(HWND frame, HMENU systemMenu);
// The window's system menu if it has one (WS_SYSMENU), made on first use.
HMENU SystemMenuOf(HWND frame);
// The screen rectangle of the system-menu icon of a frame.
RECT SystemIconRect(HWND frame);
// A window goes away: its menu bar and system menu go with it.
void ForgetWindow(HWND hwnd, HMENU barMenu, bool topLevel);
// The default window procedure's menu keys and clicks (Alt, F10, Alt+letter, the bar and the
// system-menu icon, SC_KEYMENU and SC_MOUSEMENU, WM_CANCELMODE).
void InstallDefaultHandler();
} // namespace MenuBars
