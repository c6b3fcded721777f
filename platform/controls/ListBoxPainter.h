// Draws one list box item of the standard kind: its background, its text (with tab stops when
// asked) and the focus rectangle, in the highlight colours when selected.
#pragma once

#include "platform/controls/ListBoxModel.h"
#include "platform/win/GdiTypes.h"

#include <vector>

struct ListItemLook {
    bool selected = false;
    bool focused = false;     // the caret item of a list with the focus
    bool disabled = false;
    bool useTabStops = false;
    int xOffset = 0;          // pixels scrolled to the left
    HBRUSH background = nullptr;
    COLORREF textColor = 0;
    const std::vector<int>* tabStops = nullptr;
};

// The space left and right of an item's text.
constexpr int kListTextMargin = 2;

void PaintListItem(HDC dc, const RECT& rect, const ListItem& item, const ListItemLook& look);
