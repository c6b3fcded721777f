// CGXGridOptimizedUpdateImp: after rows or columns are inserted, removed or resized, moves
// what is still right on the screen with the window's pixels and repaints only what changed,
// instead of the whole grid.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/Types.h"

class CGXGridCore;
using ROWCOL = DWORD;

class CGXAbstractGridOptimizedUpdateImp : public CObject {
public:
    virtual void UpdateInsertRows(CGXGridCore* pGrid, ROWCOL& nRow, ROWCOL& nCount, UINT& nFlags) = 0;
    virtual void UpdateInsertCols(CGXGridCore* pGrid, ROWCOL& nCol, ROWCOL& nCount, UINT& nFlags) = 0;
    virtual void UpdateRemoveRows(CGXGridCore* pGrid, ROWCOL& nFromRow, ROWCOL& nToRow, const int* anOldHeights, UINT& nFlags) = 0;
    virtual void UpdateRemoveCols(CGXGridCore* pGrid, ROWCOL& nFromCol, ROWCOL& nToCol, const int* anOldWidths, UINT& nFlags) = 0;
    virtual void UpdateChangedRowHeights(CGXGridCore* pGrid, ROWCOL& nFromRow, ROWCOL& nToRow, const int* anOldHeights, UINT& nFlags) = 0;
    virtual void UpdateChangedColWidths(CGXGridCore* pGrid, ROWCOL& nFromCol, ROWCOL& nToCol, const int* anOldWidths, UINT& nFlags) = 0;
};

class CGXGridOptimizedUpdateImp : public CGXAbstractGridOptimizedUpdateImp {
public:
    static void Install(CGXGridCore* pGrid);
    void UpdateInsertRows(CGXGridCore* pGrid, ROWCOL& nRow, ROWCOL& nCount, UINT& nFlags) override;
    void UpdateInsertCols(CGXGridCore* pGrid, ROWCOL& nCol, ROWCOL& nCount, UINT& nFlags) override;
    void UpdateRemoveRows(CGXGridCore* pGrid, ROWCOL& nFromRow, ROWCOL& nToRow, const int* anOldHeights, UINT& nFlags) override;
    void UpdateRemoveCols(CGXGridCore* pGrid, ROWCOL& nFromCol, ROWCOL& nToCol, const int* anOldWidths, UINT& nFlags) override;
    void UpdateChangedRowHeights(CGXGridCore* pGrid, ROWCOL& nFromRow, ROWCOL& nToRow, const int* anOldHeights, UINT& nFlags) override;
    void UpdateChangedColWidths(CGXGridCore* pGrid, ROWCOL& nFromCol, ROWCOL& nToCol, const int* anOldWidths, UINT& nFlags) override;

private:
    static void Inserted(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nCount, UINT nFlags);
    static void Removed(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, const int* anOld, UINT nFlags);
    static void Resized(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, const int* anOld, UINT nFlags);
};
