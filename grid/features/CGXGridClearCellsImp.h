// CGXGridClearCellsImp: Clear Cells: empties the values, or removes the stored styles, of a list
// of ranges inside one undo transaction, leaving header cells alone.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXGridClearCellsImp : public CGXAbstractGridClearCellsImp {
public:
    // Creates the grid's object once.
    static void Install(CGXGridCore* pGrid);

    // May the selection be cleared: not on a read-only grid, and only with a selection or a
    // current cell.
    BOOL CanClear(CGXGridCore* pGrid) override;
    // Clears the selected ranges, or the current cell when nothing is selected.
    virtual BOOL ClearSelection(CGXGridCore* pGrid, BOOL bStyleOnly);
    // Clears each cell of the ranges once. FALSE when a control refused the empty text or the
    // styles could not be removed (what was cleared before stays cleared), or when the user
    // cancelled (then nothing stays cleared).
    virtual BOOL ClearCells(CGXGridCore* pGrid, CGXRangeList& selList, BOOL bStyleOnly);

    // The grid's forwarders reach the operations above under the engine's names.
    BOOL Clear(CGXGridCore* pGrid, BOOL bStyleOnly) final { return ClearSelection(pGrid, bStyleOnly); }
    BOOL ClearRangeList(CGXGridCore* pGrid, CGXRangeList& selList, BOOL bStyleOnly) final
    {
        return ClearCells(pGrid, selList, bStyleOnly);
    }
};
