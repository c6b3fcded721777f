// Hidden rows and columns: one bit per row and per column in the parameter object, kept in step
// with insertions, removals and moves, hidden and shown with undo.
#pragma once

#include "grid/core/GXFeatureImps.h"
#include "platform/core/CPtrArray.h"

class CGXGridHideCellsImp : public CGXAbstractGridHideCellsImp {
public:
    // Gives the grid this feature unless it has one already.
    static void Install(CGXGridCore* pGrid);

    void RemoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo) override;
    void RemoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo) override;
    void InsertRows(CGXGridCore* pGrid, ROWCOL nPos, ROWCOL nCount) override;
    void InsertCols(CGXGridCore* pGrid, ROWCOL nPos, ROWCOL nCount) override;
    void MoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) override;
    void MoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) override;
    BOOL HideRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, BOOL bHide, const CDWordArray* pFlags, UINT nFlags, int nMode) override;
    BOOL IsRowHidden(CGXGridCore* pGrid, ROWCOL nRow) override;
    BOOL StoreHideRow(CGXGridCore* pGrid, ROWCOL nRow, BOOL bHide) override;
    BOOL HideCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, BOOL bHide, const CDWordArray* pFlags, UINT nFlags, int nMode) override;
    BOOL IsColHidden(CGXGridCore* pGrid, ROWCOL nCol) override;
    BOOL StoreHideCol(CGXGridCore* pGrid, ROWCOL nCol, BOOL bHide) override;

    // The bit-set operations on one set, apart from any grid.
    static BOOL GetBit(const CByteArray& bits, ROWCOL n);
    static void SetBit(CByteArray& bits, ROWCOL n, BOOL bSet);
    static void RemoveBits(CByteArray& bits, ROWCOL nFrom, ROWCOL nTo);
    static void InsertBits(CByteArray& bits, ROWCOL nPos, ROWCOL nCount);
    static void MoveBits(CByteArray& bits, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest);

private:
    enum class Axis { rows, cols };
    BOOL Hide(CGXGridCore* pGrid, Axis axis, ROWCOL nFrom, ROWCOL nTo, BOOL bHide, const CDWordArray* pFlags, UINT nFlags, int nMode);
    BOOL IsHeaderHiddenForPrint(CGXGridCore* pGrid, Axis axis, ROWCOL n);
};
