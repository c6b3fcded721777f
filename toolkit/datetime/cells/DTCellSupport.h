// What the date-time and the currency cell share in placing their editing window over a cell:
// the cell's font at the grid's zoom, the part of a window that lies under the grid's frozen
// rows and columns, and telling the grid that the focus left a cell's window.
#pragma once

#include "platform/core/CRect.h"
#include "platform/core/Types.h"

class CFont;
class CGXGridCore;
class CGXStyle;
class CWnd;

using ROWCOL = DWORD;

namespace dtcells {

// Makes the style's font at the grid's zoom; FALSE when it cannot be made.
BOOL MakeCellFont(CFont& font, CGXGridCore& grid, const CGXStyle& style);

// The band of frozen rows and the band of frozen columns in the grid window's client area
// (empty when nothing is frozen).
void FrozenBands(CGXGridCore& grid, CRect& rows, CRect& cols);

// Keeps the window of a cell that is not frozen itself from painting over the frozen rows and
// columns it lies under: that part is taken out of its pending paint. The window's rectangle
// is in the grid window's client coordinates.
void ExcludeFrozen(CGXGridCore& grid, CWnd& wnd, ROWCOL nRow, ROWCOL nCol, const CRect& rcWnd);

// The focus went from a cell's window to another window: unless that one belongs to the grid,
// the grid hears of it as if it had lost the focus itself, and ends the edit.
void ForwardKillFocus(CGXGridCore* pGrid, HWND hNewFocus);

} // namespace dtcells
