// The static control: text (aligned, wrapped, ellipsised, with mnemonics), icons, bitmaps,
// filled rectangles, frames and etched lines, with the STM_ messages and STN_ notifications.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#include <string>

// ---- Styles ----
#define SS_LEFT 0x00000000L
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L
#define SS_ICON 0x00000003L
#define SS_BLACKRECT 0x00000004L
#define SS_GRAYRECT 0x00000005L
#define SS_WHITERECT 0x00000006L
#define SS_BLACKFRAME 0x00000007L
#define SS_GRAYFRAME 0x00000008L
#define SS_WHITEFRAME 0x00000009L
#define SS_USERITEM 0x0000000AL
#define SS_SIMPLE 0x0000000BL
#define SS_LEFTNOWORDWRAP 0x0000000CL
#define SS_OWNERDRAW 0x0000000DL
#define SS_BITMAP 0x0000000EL
#define SS_ENHMETAFILE 0x0000000FL
#define SS_ETCHEDHORZ 0x00000010L
#define SS_ETCHEDVERT 0x00000011L
#define SS_ETCHEDFRAME 0x00000012L
#define SS_TYPEMASK 0x0000001FL
#define SS_REALSIZECONTROL 0x00000040L
#define SS_NOPREFIX 0x00000080L
#define SS_NOTIFY 0x00000100L
#define SS_CENTERIMAGE 0x00000200L
#define SS_RIGHTJUST 0x00000400L
#define SS_REALSIZEIMAGE 0x00000800L
#define SS_SUNKEN 0x00001000L
#define SS_EDITCONTROL 0x00002000L
#define SS_ENDELLIPSIS 0x00004000L
#define SS_PATHELLIPSIS 0x00008000L
#define SS_WORDELLIPSIS 0x0000C000L
#define SS_ELLIPSISMASK 0x0000C000L

// ---- Messages and notifications ----
#define STM_SETICON 0x0170
#define STM_GETICON 0x0171
#define STM_SETIMAGE 0x0172
#define STM_GETIMAGE 0x0173
#define STN_CLICKED 0
#define STN_DBLCLK 1
#define STN_ENABLE 2
#define STN_DISABLE 3

#ifndef IMAGE_BITMAP
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2
#endif

enum class StaticKind { Text, Simple, Icon, Bitmap, Rect, Frame, Etched, OwnerDraw };

// A static control's model: what it shows, from its style, and the image it holds.
class StaticState {
public:
    explicit StaticState(DWORD style) : m_style(style) {}
    DWORD Style() const { return m_style; }
    void SetStyle(DWORD style) { m_style = style; }
    StaticKind Kind() const;
    UINT Type() const { return m_style & SS_TYPEMASK; }
    // DrawText flags for the text kinds.
    UINT TextFormat() const;
    // STM_SETIMAGE: keeps an image of the kind the style shows and returns the previous one;
    // an image of another type is refused (null back, nothing kept).
    HANDLE SetImage(UINT type, HANDLE image);
    HANDLE Image() const { return m_image; }
    // The colour a filled rectangle or plain frame is drawn in.
    int FillColorIndex() const;

    HFONT font = nullptr;
    // Kept alive while the control's own code runs (ControlCallGuard).
    int m_depth = 0;
    bool m_orphaned = false;

private:
    DWORD m_style;
    HANDLE m_image = nullptr;
};

// Draws a static control's face (all kinds but owner-drawn). `background` is what the parent
// gave through WM_CTLCOLORSTATIC.
void PaintStatic(HDC dc, const RECT& client, const StaticState& state, const std::string& text, bool enabled,
                 HBRUSH background);

LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
