// CGXGridDirectCopyMoveCellsImp: copies or moves a block of cells to another place of the same
// grid through the cell store itself, without the clipboard, with undo. Source and destination
// may overlap: the store reads the whole block before it writes.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXGridDirectCopyMoveCellsImp : public CGXAbstractGridDirectCopyMoveCellsImp {
public:
    static void Install(CGXGridCore* pGrid);

    // Copies the cells of the cell range so that its top-left lands at (nRow, nCol), in one undo
    // step that gives the destination its former styles back. FALSE on a read-only grid, when
    // either block leaves the counts, when the store refuses, or when the user declines copying
    // without undo; nothing changes then.
    virtual BOOL CopyCells(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags);
    virtual BOOL StoreCopyCells(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol);
    // Moves them: the source's cells outside the destination are left empty. Its undo moves them
    // back and restores what the destination held. The result is the store's: FALSE means
    // nothing moved, so a caller's transaction can roll back and a pending cut stays pending.
    virtual BOOL MoveCells(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nCmdType);
    virtual BOOL StoreMoveCells(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol);

    // The engine's names for the operations above; the store works on whole cell styles, so the
    // base-style and values-only switches have no meaning here and a copy always records undo
    // in its own transaction.
    BOOL CopyCellsDirect(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int, BOOL, BOOL,
                         BOOL) final
    {
        return CopyCells(pGrid, range, nRow, nCol, nFlags);
    }
    BOOL MoveCellsDirect(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL,
                         BOOL, BOOL) final
    {
        return MoveCells(pGrid, range, nRow, nCol, nFlags, nMode);
    }
    BOOL StoreCopyCellsDirect(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT, int, BOOL, BOOL,
                              BOOL) final
    {
        return StoreCopyCells(pGrid, range, nRow, nCol);
    }
    BOOL StoreMoveCellsDirect(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT, int, BOOL, BOOL,
                              BOOL) final
    {
        return StoreMoveCells(pGrid, range, nRow, nCol);
    }
};
