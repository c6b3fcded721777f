// Dragging selected whole rows or columns by their headers to another place: a marker line
// shows where the block will land, the cursor whether it may, and the drop moves the block
// with undo.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXGridUserDragSelectRangeImp : public CGXAbstractGridUserDragSelectRangeImp {
public:
    // Gives the grid this feature, with the range selection and the move of rows and columns
    // it builds on, unless it has them already.
    static void Install(CGXGridCore* pGrid);

    // A press on the header of a selected whole column (row): starts the drag and takes the
    // capture; FALSE leaves the press to the selection.
    BOOL StartDragOnHeader(CGXGridCore* pGrid, UINT nFlags, CPoint pt, ROWCOL nRow, ROWCOL nCol) override;
    BOOL DragMouseMove(CGXGridCore* pGrid, CPoint pt) override;
    BOOL DragButtonUp(CGXGridCore* pGrid, CPoint pt) override;
    // Row 0 drags the columns of the selected block holding nCol, column 0 the rows of the
    // block holding nRow; FALSE when there is none or the grid refuses.
    virtual BOOL StartDragSelection(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol);
    // Shows the marker before the drop row (column); FALSE when the grid refuses that drop.
    virtual BOOL MoveDragMarker(CGXGridCore* pGrid, ROWCOL nStartRow, ROWCOL nStartCol, ROWCOL nDropRow, ROWCOL nDropCol);
    // Ends the drag and moves the block before the drop row (column); TRUE when it moved.
    virtual BOOL DropSelection(CGXGridCore* pGrid, ROWCOL nStartRow, ROWCOL nStartCol, ROWCOL nDropRow, ROWCOL nDropCol);
    virtual void CancelDrag(CGXGridCore* pGrid);

    BOOL DragSelectStart(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol) override;
    BOOL DragSelectTrack(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bEnd, UINT nFlags) override;
    BOOL DragSelectDrop(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, ROWCOL& nNewRow, ROWCOL& nNewCol) override;
    BOOL DragSelectCancel(CGXGridCore* pGrid) override;

    // The drop position under the point for a drag of this mode: the row (column) under it,
    // at least the first after the headers, the count plus 1 below the last; the other 0.
    static void DropPositionAt(CGXGridCore* pGrid, int nMode, CPoint pt, ROWCOL& nRow, ROWCOL& nCol);

private:
    // Ends the drag's cursor and marker; the drag state stays for the caller.
    static void EndFeedback(CGXGridCore* pGrid);
};
