// The MDI client: the window inside a frame that holds the document windows (MDI children),
// activates, maximises, cascades and tiles them, lists them in the frame's Window menu, and
// carries a maximised child's caption, system menu and buttons into the frame. DefFrameProc and
// DefMDIChildProc are the default procedures of the frame and of the children.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#include <vector>

// The creation data of the client (CREATESTRUCT's lpCreateParams): the Window menu whose end
// lists the children, and the command id of the first child (the others follow it).
struct CLIENTCREATESTRUCT {
    HANDLE hWindowMenu;
    UINT idFirstChild;
};
typedef CLIENTCREATESTRUCT* LPCLIENTCREATESTRUCT;

// WM_MDICREATE's description of a child; the child's CREATESTRUCT lpCreateParams points to it.
struct MDICREATESTRUCT {
    LPCSTR szClass;
    LPCSTR szTitle;
    HANDLE hOwner;
    int x;
    int y;
    int cx;
    int cy;
    DWORD style;
    LPARAM lParam;
};
typedef MDICREATESTRUCT* LPMDICREATESTRUCT;

// Client style: children keep exactly the styles they ask for.
#define MDIS_ALLCHILDSTYLES 0x0001

// The Window menu names at most this many children; past them it offers "More Windows...",
// whose command is the first child id plus this count.
constexpr int kMdiListedChildren = 9;

// The frame's default procedure: the Window menu's child commands, the maximised child's
// system commands, focus and activation passed to the active child, the client sized to the
// frame's client area, the frame's title joined with a maximised child's.
LRESULT DefFrameProc(HWND hWnd, HWND hWndMDIClient, UINT uMsg, WPARAM wParam, LPARAM lParam);
// A child's default procedure: activation through the client, maximising and restoring with the
// client's knowledge, Ctrl+F6 and Ctrl+F4 as system commands, its own system menu, WM_CLOSE
// as WM_MDIDESTROY.
LRESULT DefMDIChildProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
// Ctrl+F4 (close) and Ctrl+F6 / Ctrl+Tab (next, with Shift previous) for the active child.
// TRUE when the message was one of them and went to the child as a system command.
BOOL TranslateMDISysAccel(HWND hWndClient, LPMSG lpMsg);

LRESULT CALLBACK MdiClientWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Where cascading and tiling put `count` windows in a client area (no window: no rectangle).
// Cascade: each one a step (a caption and a frame) right and down from the one before, all of
// one size, starting again at the top-left when the next would leave the area. Tile: tall
// windows side by side (MDITILE_VERTICAL) or wide ones stacked (MDITILE_HORIZONTAL), in about
// sqrt(count) lanes of which the later ones take the extra windows.
std::vector<RECT> MdiCascadeRects(int count, const RECT& area, int step);
std::vector<RECT> MdiTileRects(int count, const RECT& area, UINT how);
