// The scroll bar control: a bar of its own window, horizontal or vertical, with the SBM_
// messages; its layout, drawing and mouse tracking are the window layer's scroll bar logic.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/UserApi.h"

#define SBS_HORZ 0x0000L
#define SBS_VERT 0x0001L
#define SBS_TOPALIGN 0x0002L
#define SBS_LEFTALIGN 0x0002L
#define SBS_BOTTOMALIGN 0x0004L
#define SBS_RIGHTALIGN 0x0004L
#define SBS_SIZEBOXTOPLEFTALIGN 0x0002L
#define SBS_SIZEBOXBOTTOMRIGHTALIGN 0x0004L
#define SBS_SIZEBOX 0x0008L
#define SBS_SIZEGRIP 0x0010L

// A scroll bar control's model: the bar's state and the rules the SBM_ messages follow.
class ScrollBarModel {
public:
    explicit ScrollBarModel(bool vertical) : m_vertical(vertical) {}
    bool Vertical() const { return m_vertical; }
    ScrollBarState& State() { return m_state; }
    const ScrollBarState& State() const { return m_state; }

    // SBM_SETSCROLLINFO: the range (max never below min), the page (never more than the range)
    // and the position (kept between min and the last page); returns the new position.
    int SetInfo(const SCROLLINFO& info);
    void GetInfo(SCROLLINFO& info) const;
    // SBM_SETPOS: returns the previous position.
    int SetPos(int pos);
    // SBM_SETRANGE: returns the previous position; a span past the largest int is refused (-1).
    int SetRange(int min, int max);
    // SBM_ENABLE_ARROWS: false when the arrows already were in that state.
    bool EnableArrows(UINT arrows);
    // The position a key asks for (VK_LEFT…), and the notification code for it; false when the
    // key is no scrolling key.
    bool KeyCode(UINT vk, UINT& code) const;
    // Kept alive while the control's own code runs (ControlCallGuard).
    int m_depth = 0;
    bool m_orphaned = false;

private:
    bool m_vertical;
    ScrollBarState m_state;
};

LRESULT CALLBACK ScrollBarControlWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
