// Stores a cell's text through its control and records the cell's old style as an undo command,
// so that a change made of such stores is undone (or rolled back) with its transaction. The
// controls store without a record of their own.
#pragma once

#include "grid/core/CGXGridCore.h"

#include <memory>
#include <vector>

class CGXSetStyleRangeCmd;

BOOL GXStoreCellTextWithUndo(CGXGridCore& grid, ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pOldStyle);

// The same store for many cells visited row by row, left to right: the old styles of cells
// that lie side by side, and of such runs stacked in consecutive rows, go into one undo
// command rather than one per cell, so a block of a million cells makes a few dozen records.
// A command holds only cells that changed, so an undo touches nothing else. Flush (or the
// destructor) hands the last command to the grid; it must run while the transaction the
// stores belong to is still open.
class GXCellTextStoreBatch {
public:
    explicit GXCellTextStoreBatch(CGXGridCore& grid);
    ~GXCellTextStoreBatch();
    GXCellTextStoreBatch(const GXCellTextStoreBatch&) = delete;
    GXCellTextStoreBatch& operator=(const GXCellTextStoreBatch&) = delete;

    // As GXStoreCellTextWithUndo.
    BOOL Store(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pOldStyle);
    void Flush();

private:
    void Add(ROWCOL nRow, ROWCOL nCol, CGXStyle* pOld);
    void CloseRun();
    void FlushPending();

    CGXGridCore& m_grid;
    bool m_bRecord;
    // The run being built: cells m_nRunLeft.. of row m_nRunRow, their old styles in order.
    ROWCOL m_nRunRow = 0, m_nRunLeft = 0;
    std::vector<CGXStyle*> m_run;
    // Closed runs of equal columns in consecutive rows, not yet handed to the grid.
    std::unique_ptr<CGXSetStyleRangeCmd> m_pending;
};
