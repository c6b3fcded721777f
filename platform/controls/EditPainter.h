// Draws an edit control's state: the rows that meet the paint rectangle, the selection in the
// highlight colours, password characters in place of the text.
#pragma once

#include "platform/controls/EditLayout.h"
#include "platform/win/GdiTypes.h"

struct EditPaintState {
    const EditBuffer* buffer = nullptr;
    const EditLayout* layout = nullptr;
    IEditMeasure* measure = nullptr;
    RECT client{};
    RECT format{};          // where the rows are drawn
    int firstRow = 0;
    int xOffset = 0;        // pixels scrolled to the left
    int lineHeight = 1;
    int align = 0;          // ES_LEFT, ES_CENTER or ES_RIGHT
    bool showSelection = false;
    char passwordChar = 0;
    bool disabled = false;
    HFONT font = nullptr;
    HBRUSH background = nullptr;
    COLORREF textColor = 0;
};

// The x where a row of the given width starts.
int EditRowOrigin(const RECT& format, int xOffset, int align, int rowWidth);
// Returns the width of the widest row it drew, for the horizontal scroll range.
int PaintEdit(HDC dc, const EditPaintState& state);
