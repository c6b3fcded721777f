// Where the items of a pop-up menu or a menu bar go: the menu font and its metrics, the
// columns of a pop-up (check marks, labels, shortcuts, sub-menu arrows), menu breaks, and the
// sizes owner-drawn items ask for through WM_MEASUREITEM.
#pragma once

#include "platform/win/detail/MenuModel.h"

#include <vector>

// The fonts and fixed sizes every menu shares.
struct MenuMetrics {
    HFONT font = nullptr;       // the menu font (lfMenuFont)
    HFONT boldFont = nullptr;   // for default items
    int textHeight = 0;
    int itemHeight = 0;         // a text item of a pop-up
    int separatorHeight = 0;
    int frame = 0;              // the pop-up's border and padding on each side
    int checkWidth = 0;         // the check-mark column
    int arrowWidth = 0;         // the sub-menu arrow column
    int shortcutGap = 0;        // the least space between a label and its shortcut
    int barItemPad = 0;         // space left and right of a bar item's text
    // Shared, made on first use; the fonts live for the program's life.
    static const MenuMetrics& Get();
};

struct MenuItemLayout {
    RECT rect{0, 0, 0, 0};   // pop-up: client coordinates; bar: the bar row's coordinates
};

struct PopupLayout {
    std::vector<MenuItemLayout> items;
    SIZE size{0, 0};   // the pop-up window's size, border included
    int checkWidth = 0;   // the check-mark column, wide enough for the items' own bitmaps
    int labelWidth = 0;
    int shortcutWidth = 0;
};

struct BarLayout {
    std::vector<MenuItemLayout> items;   // rectangles inside the bar row, origin at its top-left
    int height = 0;
};

namespace MenuLayouts {
// Lays a pop-up out; owner-drawn items are measured by `owner` (WM_MEASUREITEM).
PopupLayout LayOutPopup(const MenuObject& menu, HWND owner);
// Lays a bar's items in rows `width` pixels wide: an item that does not fit, or one with a
// menu break, starts a new row; from the first right-justified item on, the rest of its row
// goes to the right end.
BarLayout LayOutBar(const MenuObject& menu, int width, HWND owner);
// The width of an item's label as drawn (mnemonic marks removed).
int TextWidth(HDC dc, const std::string& text);
} // namespace MenuLayouts
