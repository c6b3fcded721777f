// The menu model: menus behind their handles and their items, with the lookups the menu API,
// the layout, the painter and the tracking loop share. It knows no window.
#pragma once

#include "platform/win/MenuApi.h"

#include <string>
#include <vector>

struct MenuItem {
    UINT type = MFT_STRING;   // MFT_ bits
    UINT state = 0;           // MFS_ bits
    UINT id = 0;
    HMENU submenu = nullptr;
    HBITMAP checked = nullptr;     // check-mark column bitmaps (null: the usual marks)
    HBITMAP unchecked = nullptr;
    HBITMAP bitmap = nullptr;      // an MFT_BITMAP item's picture
    ULONG_PTR data = 0;
    std::string text;              // with '&' before the mnemonic and '\t' before the shortcut

    bool IsSeparator() const { return (type & MFT_SEPARATOR) != 0; }
    bool IsOwnerDraw() const { return (type & MFT_OWNERDRAW) != 0; }
    bool IsDisabled() const { return (state & MFS_GRAYED) != 0; }
    // The label (before the tab) and the shortcut text (after it).
    std::string Label() const;
    std::string Shortcut() const;
    // The lower-cased character after the first single '&' of the label, or 0.
    char Mnemonic() const;
    // The MF_ flags GetMenuState and WM_MENUSELECT report.
    UINT Flags() const;
};

class MenuObject {
public:
    HMENU handle = nullptr;
    bool popup = false;
    std::vector<MenuItem> items;
    // Set on a window's system menu, and on the window whose menu bar this is (if any).
    bool systemMenu = false;
    // The window a system menu belongs to: it may be shown inside another window's bar (a
    // maximised MDI child's menu in its frame's bar), and its state and commands are still its
    // own window's.
    HWND systemOwner = nullptr;
    HWND barOwner = nullptr;
    DWORD thread = 0;

    // The position of the default item, or -1.
    int DefaultPosition() const;
};

namespace Menus {
// The menu behind a handle, or null.
MenuObject* Find(HMENU menu);
// An item by position or by command; by command the pop-ups are searched depth first, and
// `owner` tells which menu holds the item found.
MenuItem* FindItem(HMENU menu, UINT item, bool byPosition, MenuObject** owner = nullptr, int* position = nullptr);
HMENU Create(bool popup);
// Every menu, for tests and the leak check: how many handles are live.
size_t LiveCount();
// Whether `inner` is `outer` or one of the pop-ups it holds (used to refuse loops).
bool Contains(HMENU outer, HMENU inner);
} // namespace Menus
