// Draws a drop-down combo box's field: the sunken edge, the background, the arrow button and,
// for a drop-down list, the chosen item's text highlighted while the combo box has the focus.
#pragma once

#include "platform/win/GdiTypes.h"

#include <string>

struct ComboPaintState {
    RECT field{};            // the whole field, edge included
    RECT text{};             // inside the edge, left of the button
    RECT button{};
    bool disabled = false;
    bool pushed = false;     // the button held down
    bool highlighted = false;
    HBRUSH background = nullptr;
    COLORREF textColor = 0;
    HFONT font = nullptr;
    // What a drop-down list shows (an edit shows its own text); owner-drawn fields draw none.
    bool showsItem = false;
    bool hasItem = false;
    std::string label;
};

// Where the item of a drop-down list's field is drawn.
RECT ComboItemRect(const RECT& text);
void PaintComboField(HDC dc, const ComboPaintState& state);
