// GXDrawState: the working record of one drawing pass over a block of client cells: their
// numbers, edges, styles and flags computed once before anything is drawn.
#pragma once

#include "grid/data/CGXPen.h"
#include "grid/data/CGXRange.h"
#include "platform/core/CRect.h"

#include <vector>

class CDC;
class CGXControl;
class CGXStyle;

// Per-cell flags of a drawing pass.
enum : WORD {
    GX_DS_BORDER_LEFT = 0x0001,
    GX_DS_BORDER_RIGHT = 0x0002,
    GX_DS_BORDER_TOP = 0x0004,
    GX_DS_BORDER_BOTTOM = 0x0008,
    GX_DS_SELECTED = 0x0010,
    GX_DS_ERASEBK = 0x0020,
    GX_DS_SKIP = 0x0040,      // the cell belongs to a span (or lies past the last row or column)
    GX_DS_COVERED = 0x0080,   // its span is a covered range
    GX_DS_INSPAN = 0x0100,    // not the first cell of its span in the drawn block
    GX_DS_HORZLINE = 0x0200,
    GX_DS_VERTLINE = 0x0400,
    GX_DS_FROZENCOL = 0x0800,
    GX_DS_FROZENROW = 0x1000,
};

struct GXDrawState {
    ROWCOL nRows = 0, nCols = 0; // n and m
    ROWCOL nTopRow = 0, nLeftCol = 0;
    ROWCOL nFrozenCols = 0, nFrozenRows = 0, nHeaderCols = 0, nHeaderRows = 0;
    CRect rectControl;
    CRect rectCell;
    CRect rectClip;
    std::vector<int> heights, widths, y, x;
    std::vector<ROWCOL> rows, cols; // n + 1 and m + 1 entries
    std::vector<const CGXStyle*> styles;
    std::vector<WORD> flags;
    CGXControl* pCurrentControl = nullptr;
    BOOL bControlDrawn = FALSE;
    BOOL bSpans = FALSE;
    BOOL bSelection = FALSE;
    BOOL bColor = TRUE;
    COLORREF rgbStandardBack = 0xFFFFFF;
    CDC* pDC = nullptr;
    CGXPen pen1, pen2;

    size_t Index(ROWCOL i, ROWCOL j) const { return static_cast<size_t>(i) * nCols + j; }
};
