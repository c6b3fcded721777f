// The button control: push, default push, check boxes (two- and three-state, manual and
// automatic), radio buttons (manual and automatic, in groups), group boxes and owner-drawn
// buttons, with the BM_ messages and BN_ notifications.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#include <string>

// ---- Styles ----
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_CHECKBOX 0x00000002L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_RADIOBUTTON 0x00000004L
#define BS_3STATE 0x00000005L
#define BS_AUTO3STATE 0x00000006L
#define BS_GROUPBOX 0x00000007L
#define BS_USERBUTTON 0x00000008L
#define BS_AUTORADIOBUTTON 0x00000009L
#define BS_PUSHBOX 0x0000000AL
#define BS_OWNERDRAW 0x0000000BL
#define BS_TYPEMASK 0x0000000FL
#define BS_LEFTTEXT 0x00000020L
#define BS_RIGHTBUTTON BS_LEFTTEXT
#define BS_TEXT 0x00000000L
#define BS_ICON 0x00000040L
#define BS_BITMAP 0x00000080L
#define BS_LEFT 0x00000100L
#define BS_RIGHT 0x00000200L
#define BS_CENTER 0x00000300L
#define BS_TOP 0x00000400L
#define BS_BOTTOM 0x00000800L
#define BS_VCENTER 0x00000C00L
#define BS_PUSHLIKE 0x00001000L
#define BS_MULTILINE 0x00002000L
#define BS_NOTIFY 0x00004000L
#define BS_FLAT 0x00008000L

// ---- Messages ----
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_SETSTYLE 0x00F4
#define BM_CLICK 0x00F5
#define BM_GETIMAGE 0x00F6
#define BM_SETIMAGE 0x00F7
#define BM_SETDONTCLICK 0x00F8

#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002
#define BST_PUSHED 0x0004
#define BST_FOCUS 0x0008

// ---- Notifications (WM_COMMAND) ----
#define BN_CLICKED 0
#define BN_PAINT 1
#define BN_HILITE 2
#define BN_UNHILITE 3
#define BN_DISABLE 4
#define BN_DOUBLECLICKED 5
#define BN_PUSHED BN_HILITE
#define BN_UNPUSHED BN_UNHILITE
#define BN_DBLCLK BN_DOUBLECLICKED
#define BN_SETFOCUS 6
#define BN_KILLFOCUS 7

#ifndef IMAGE_BITMAP
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2
#endif

enum class ButtonKind { Push, DefPush, Check, AutoCheck, ThreeState, AutoThreeState, Radio, AutoRadio, GroupBox, OwnerDraw };

// A button's model: kind, check state, pushed look and focus, free of any window.
class ButtonState {
public:
    explicit ButtonState(DWORD style) : m_style(style) {}

    ButtonKind Kind() const;
    DWORD Style() const { return m_style; }
    // A style change: the type and flags change, the check and pushed states stay. A push
    // button made owner-drawn keeps whether it was the default button.
    void SetStyle(DWORD style);
    // BM_SETSTYLE: takes the style and gives back the one the window takes. An owner-drawn
    // button (a bitmap push button) stays owner-drawn when the dialog manager gives it a push
    // type, and takes from the type whether it is the default button.
    DWORD TakeRequestedStyle(DWORD style);
    // The dialog's default button: a default push button, or an owner-drawn one made so.
    bool IsDefault() const;
    bool IsCheckable() const;
    bool IsRadio() const;
    bool IsPushLike() const;   // drawn as a push button (push kinds or BS_PUSHLIKE)

    UINT Check() const { return m_check; }
    // BM_SETCHECK: a two-state button takes an indeterminate state as checked; push buttons and
    // group boxes keep no check. True when the state changed.
    bool SetCheck(UINT check);
    // What a click makes of the check of an automatic button: a check box toggles, a three-state
    // box goes unchecked → checked → indeterminate → unchecked, a radio button is checked.
    // Manual kinds keep their state.
    UINT CheckAfterClick() const;

    bool Pushed() const { return m_pushed; }
    bool SetPushed(bool pushed);
    bool Focused() const { return m_focused; }
    void SetFocused(bool focused) { m_focused = focused; }
    // BM_GETSTATE.
    UINT StateBits() const;
    // WM_GETDLGCODE.
    UINT DialogCode() const;

    // How the button is being pressed: by the mouse (captured) or the space bar.
    enum class Press { None, Mouse, Key };
    Press Pressing() const { return m_press; }
    void SetPressing(Press press) { m_press = press; }

    HFONT font = nullptr;
    HANDLE image = nullptr;   // BM_SETIMAGE
    bool dontClick = false;
    // Kept alive while the control's own code runs (ControlCallGuard).
    int m_depth = 0;
    bool m_orphaned = false;

private:
    DWORD m_style;
    bool m_ownerDefault = false;   // an owner-drawn button that is the default one
    UINT m_check = BST_UNCHECKED;
    bool m_pushed = false;
    bool m_focused = false;
    Press m_press = Press::None;
};

// What the painter needs beyond the model.
struct ButtonLook {
    std::string text;
    bool enabled = true;
    bool showFocus = true;     // focus cues not hidden
    bool showPrefix = true;    // mnemonic underlines shown
    HBRUSH background = nullptr;
    HFONT font = nullptr;
    COLORREF textColor = 0;
};
// Draws a button (all kinds but owner-drawn) into a client rectangle, in the flat classic look.
void PaintButton(HDC dc, const RECT& client, const ButtonState& state, const ButtonLook& look);
// The square of a check box or radio button, 13 pixels, centred vertically.
constexpr int kButtonCheckSize = 13;

LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
