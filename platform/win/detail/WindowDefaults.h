// Extension points of the default window procedure, for the parts of the layer that add
// default behaviour (non-client dragging and sizing, window scroll bars, system menus).
#pragma once

#include "platform/win/WinUser.h"

#include <memory>

// Internal WINDOWPOS flags the window manager sets in WM_WINDOWPOSCHANGED: the client area
// kept its size, or its position. DefWindowProc sends WM_SIZE and WM_MOVE only without them.
#ifndef SWP_NOCLIENTSIZE
#define SWP_NOCLIENTSIZE 0x0800
#define SWP_NOCLIENTMOVE 0x1000
#endif

// Asked by DefWindowProc before its own handling, in the order added; a handler that returns
// true has handled the message and its result stands.
class IDefaultHandler {
public:
    virtual ~IDefaultHandler() = default;
    virtual bool Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
};

void AddDefaultHandler(std::unique_ptr<IDefaultHandler> handler);
