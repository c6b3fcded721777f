// CGXGridMoveRowsColsImp: moving a block of rows or columns to another place, with undo: the
// engine's move operations forward here. The cells, stored sizes, selections and covered
// ranges travel with the block; the current cell follows it.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXGridMoveRowsColsImp : public CGXAbstractGridMoveRowsColsImp {
public:
    // Makes the grid's feature object once and hands it to the grid's auto-delete list.
    static void Install(CGXGridCore* pGrid);

    BOOL StoreMoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, BOOL bProcessed) override;
    void UpdateMoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, BOOL bCreateHint) override;
    BOOL StoreMoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, BOOL bProcessed) override;
    void UpdateMoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, BOOL bCreateHint) override;
    BOOL MoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, int nMode) override;
    BOOL MoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, int nMode) override;

private:
    BOOL Move(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, int nMode);
    // Takes the covering off blocks whose rows (columns) the move would pull apart.
    static void UncoverTornBlocks(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest);
    BOOL Store(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, BOOL bProcessed);
    void Update(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, BOOL bCreateHint);
    // Draws again what the move changed on the screen: only the rows (columns) that changed
    // place where it can, the whole grid where frozen rows or spans are involved.
    static void Repaint(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags);
};
