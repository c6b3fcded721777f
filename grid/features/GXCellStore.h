// Stores a cell's text through its control and records the cell's old style as an undo command,
// so that a change made of such stores is undone (or rolled back) with its transaction. The
// controls store without a record of their own.
#pragma once

#include "grid/core/CGXGridCore.h"

BOOL GXStoreCellTextWithUndo(CGXGridCore& grid, ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pOldStyle);
