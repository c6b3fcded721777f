// Drawing menus in the flat classic look: a pop-up's frame and items (check marks, radio
// bullets, check bitmaps, labels with their mnemonic, right-aligned shortcuts, sub-menu
// arrows, etched separators, embossed disabled text, the highlight bar) and the items of a menu
// bar (a one-pixel raised edge for the keyboard's choice, a sunken one for the open item).
// Owner-drawn items are drawn by their owner through WM_DRAWITEM.
#pragma once

#include "platform/win/detail/MenuLayout.h"

namespace MenuPainter {
// Draws a whole pop-up into a DC of its window; `selected` is the highlighted position or -1.
void PaintPopup(HDC dc, const MenuObject& menu, const PopupLayout& layout, int selected, HWND owner);
// Draws one pop-up item (for a change of highlight).
void PaintPopupItem(HDC dc, const MenuObject& menu, const PopupLayout& layout, int position, bool selected,
                    HWND owner);

enum class BarItemLook { Normal, Hot, Open };
// Draws a menu bar row: `row` is its rectangle in the DC; `highlighted` the item drawn with
// `look`, or -1.
void PaintBar(HDC dc, const RECT& row, const MenuObject& menu, const BarLayout& layout, int highlighted,
              BarItemLook look, HWND owner);
} // namespace MenuPainter
