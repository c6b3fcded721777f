// Menus and accelerators: menu handles and their items, menu bars of top-level windows, pop-up
// menus tracked by TrackPopupMenu, the system menu, and accelerator tables. Menus belong to the
// thread that uses them; none of these functions is for other threads.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/WinUser.h"

// ---- Item flags (AppendMenu, InsertMenu, ModifyMenu, GetMenuState, WM_MENUSELECT) ----
#define MF_INSERT 0x00000000L
#define MF_CHANGE 0x00000080L
#define MF_APPEND 0x00000100L
#define MF_DELETE 0x00000200L
#define MF_REMOVE 0x00001000L
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_USECHECKBITMAPS 0x00000200L
#define MF_STRING 0x00000000L
#define MF_BITMAP 0x00000004L
#define MF_OWNERDRAW 0x00000100L
#define MF_POPUP 0x00000010L
#define MF_MENUBARBREAK 0x00000020L
#define MF_MENUBREAK 0x00000040L
#define MF_UNHILITE 0x00000000L
#define MF_HILITE 0x00000080L
#define MF_DEFAULT 0x00001000L
#define MF_SYSMENU 0x00002000L
#define MF_HELP 0x00004000L
#define MF_RIGHTJUSTIFY 0x00004000L
#define MF_MOUSESELECT 0x00008000L
#define MF_END 0x00000080L

// ---- MENUITEMINFO ----
#define MFT_STRING MF_STRING
#define MFT_BITMAP MF_BITMAP
#define MFT_MENUBARBREAK MF_MENUBARBREAK
#define MFT_MENUBREAK MF_MENUBREAK
#define MFT_OWNERDRAW MF_OWNERDRAW
#define MFT_RADIOCHECK 0x00000200L
#define MFT_SEPARATOR MF_SEPARATOR
#define MFT_RIGHTORDER 0x00002000L
#define MFT_RIGHTJUSTIFY MF_RIGHTJUSTIFY

#define MFS_GRAYED 0x00000003L
#define MFS_DISABLED MFS_GRAYED
#define MFS_CHECKED MF_CHECKED
#define MFS_HILITE MF_HILITE
#define MFS_ENABLED MF_ENABLED
#define MFS_UNCHECKED MF_UNCHECKED
#define MFS_UNHILITE MF_UNHILITE
#define MFS_DEFAULT MF_DEFAULT

#define MIIM_STATE 0x00000001
#define MIIM_ID 0x00000002
#define MIIM_SUBMENU 0x00000004
#define MIIM_CHECKMARKS 0x00000008
#define MIIM_TYPE 0x00000010
#define MIIM_DATA 0x00000020
#define MIIM_STRING 0x00000040
#define MIIM_BITMAP 0x00000080
#define MIIM_FTYPE 0x00000100

struct MENUITEMINFO {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPSTR dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
};
typedef MENUITEMINFO* LPMENUITEMINFO;
typedef const MENUITEMINFO* LPCMENUITEMINFO;
typedef MENUITEMINFO MENUITEMINFOA;

// GetMenuDefaultItem.
#define GMDI_USEDISABLED 0x0001L
#define GMDI_GOINTOPOPUPS 0x0002L

// ---- TrackPopupMenu ----
#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_HORIZONTAL 0x0000L
#define TPM_VERTICAL 0x0040L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L
#define TPM_RECURSE 0x0001L
#define TPM_NOANIMATION 0x4000L

struct TPMPARAMS {
    UINT cbSize;
    RECT rcExclude;
};
typedef TPMPARAMS* LPTPMPARAMS;

// Asks a pop-up menu window for the menu it shows.
#define MN_GETHMENU 0x01E1

// WM_MENUCHAR answers (high word).
#define MNC_IGNORE 0
#define MNC_CLOSE 1
#define MNC_EXECUTE 2
#define MNC_SELECT 3

// ---- Accelerators ----
#define FVIRTKEY 0x01
#define FNOINVERT 0x02
#define FSHIFT 0x04
#define FCONTROL 0x08
#define FALT 0x10

struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};
typedef ACCEL* LPACCEL;

// ---- Menus and their items ----
HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and the pop-ups it holds.
BOOL DestroyMenu(HMENU hMenu);
BOOL IsMenu(HMENU hMenu);
// uIDNewItem is the item's command id, or its pop-up (an HMENU) with MF_POPUP. lpNewItem is
// the text, the bitmap (MF_BITMAP) or the owner's item data (MF_OWNERDRAW).
BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
// Inserts before the item at uPosition (MF_BYPOSITION; -1 appends) or before the item with
// that command (MF_BYCOMMAND, searched through the pop-ups too).
BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
BOOL InsertMenuItem(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFO lpmi);
BOOL ModifyMenu(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
// DeleteMenu destroys the pop-up an item opens; RemoveMenu keeps it for the caller.
BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
// The previous state (MF_CHECKED or MF_UNCHECKED), or (DWORD)-1 when there is no such item.
DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
// Checks one item of a range with the radio bullet and clears the others.
BOOL CheckMenuRadioItem(HMENU hmenu, UINT first, UINT last, UINT check, UINT flags);
// The previous state (MF_ENABLED, MF_GRAYED or MF_DISABLED), or -1.
BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);
// -1 for a handle that is no menu.
int GetMenuItemCount(HMENU hMenu);
// The command of the item at a position; 0 for a separator, -1 for a pop-up or no item.
UINT GetMenuItemID(HMENU hMenu, int nPos);
HMENU GetSubMenu(HMENU hMenu, int nPos);
// The item's MF_ flags; for a pop-up the high byte holds its number of items. -1 for no item.
UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
int GetMenuString(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags);
BOOL GetMenuItemInfo(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFO lpmii);
BOOL SetMenuItemInfo(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFO lpmii);
// The default item's command (or position with fByPos); -1 when there is none (or only a
// disabled one without GMDI_USEDISABLED).
UINT GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT gmdiFlags);
// Makes one item the default (drawn bold); -1 leaves the menu without one.
BOOL SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos);
// Bitmaps shown in the check-mark column instead of the check mark (null: the usual mark).
BOOL SetMenuItemBitmaps(HMENU hMenu, UINT uPosition, UINT uFlags, HBITMAP hBitmapUnchecked, HBITMAP hBitmapChecked);
// The size of the check-mark column's bitmaps: width in the low word, height in the high.
LONG GetMenuCheckMarkDimensions();
BOOL HiliteMenuItem(HWND hWnd, HMENU hMenu, UINT uIDHiliteItem, UINT uHilite);
// The screen rectangle of an item of a window's menu bar or of a pop-up on screen.
BOOL GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem);

// ---- Menu bars and the system menu ----
HMENU GetMenu(HWND hWnd);
// Gives a top-level window its menu bar (null removes it); the frame is recalculated.
BOOL SetMenu(HWND hWnd, HMENU hMenu);
// Draws the menu bar again after its items changed.
BOOL DrawMenuBar(HWND hWnd);
// The window's own copy of the system menu (made on first use), or with bRevert the copy
// dropped and null returned.
HMENU GetSystemMenu(HWND hWnd, BOOL bRevert);

// ---- Pop-up menus ----
// Shows a pop-up menu at a screen point and tracks it until an item is chosen or the menu is
// dismissed. The chosen command goes to hWnd as WM_COMMAND (WM_SYSCOMMAND for the system menu),
// or with TPM_RETURNCMD is returned (0 when nothing was chosen); without it the result says
// whether the menu could be shown. TPM_NONOTIFY sends no notification messages.
// TrackPopupMenuEx keeps the menu off the exclude rectangle.
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd, const RECT* prcRect);
BOOL TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS lptpm);
// Ends the menu being tracked on the calling thread.
BOOL EndMenu();

// ---- Resources ----
// A menu from a module's RT_MENU resource (classic or extended form).
HMENU LoadMenu(HINSTANCE hInstance, LPCSTR lpMenuName);
// A menu from a template in memory, read up to the end of its last item.
HMENU LoadMenuIndirect(const void* lpMenuTemplate);
HACCEL LoadAccelerators(HINSTANCE hInstance, LPCSTR lpTableName);

// ---- Accelerators ----
HACCEL CreateAcceleratorTable(LPACCEL paccel, int cAccel);
BOOL DestroyAcceleratorTable(HACCEL hAccel);
// Copies up to cAccelEntries entries (all of them counted when lpAccelDst is null).
int CopyAcceleratorTable(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries);
// A key message that matches an entry of the table becomes WM_COMMAND (high word 1) to hWnd,
// or WM_SYSCOMMAND for a command of the system menu, sent at once. An entry whose command is a
// disabled item of the window's menu sends nothing. TRUE when the message was an accelerator.
int TranslateAccelerator(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg);
