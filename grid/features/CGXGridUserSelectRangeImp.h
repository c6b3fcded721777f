// Selecting cells, whole rows, whole columns and the table with the mouse and with Shift and
// the navigation keys; the selection list lives in the parameter object, the range being made
// or extended is its active entry.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXGridUserSelectRangeImp : public CGXAbstractGridUserSelectRangeImp {
public:
    // Gives the grid this feature unless it has one already.
    static void Install(CGXGridCore* pGrid);

    BOOL MoveCurrentCellEx(CGXGridCore* pGrid, int nDirection, UINT nCell) override;
    BOOL MoveCurrentCellAlone(CGXGridCore* pGrid, int nDirection, UINT nCell) override;
    virtual BOOL StartSelection(CGXGridCore* pGrid, CPoint pt, UINT nFlags, ROWCOL nRow, ROWCOL nCol);
    virtual BOOL ExtendSelection(CGXGridCore* pGrid, CPoint pt, UINT nFlags, ROWCOL nRow, ROWCOL nCol);
    virtual BOOL EndSelection(CGXGridCore* pGrid);
    BOOL SelectRange(CGXGridCore* pGrid, const CGXRange& range, BOOL bSelect, BOOL bUpdate, UINT nFlags, int nMode, BOOL bCreateHint) override;
    // Stores a change without drawing: select appends, deselect cuts the range out of every
    // selected range it meets.
    virtual BOOL StoreSelectRange(CGXGridCore* pGrid, const CGXRange& range, BOOL bSelect);
    void SetSelection(CGXGridCore* pGrid, POSITION pos, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) override;
    virtual BOOL DeselectHeaderWithCtrl(CGXGridCore* pGrid, UINT nFlags, ROWCOL nRow, ROWCOL nCol);

    BOOL CopySelection(CGXGridCore* pGrid, CGXRangeList& list, BOOL bIncludeCurrent, UINT nFlags) override;
    BOOL PrepareChangeSelection(CGXGridCore* pGrid, POSITION pos, ROWCOL nTop) override;
    BOOL PrepareClearSelection(CGXGridCore* pGrid, BOOL bCreateHint, UINT nFlags) override;
    BOOL ClearSelection(CGXGridCore* pGrid, BOOL bCreateHint) override;

    void OnButtonDown(CGXGridCore* pGrid, UINT nFlags, CPoint pt, int nHit, ROWCOL& nRow, ROWCOL& nCol) override;
    void OnMouseMoveToCell(CGXGridCore* pGrid, UINT nFlags, CPoint pt, ROWCOL nRow, ROWCOL nCol) override;
    void OnButtonUp(CGXGridCore* pGrid, UINT nFlags, CPoint pt) override;

    void ForgetActiveEntry() override { m_posActive = nullptr; }
    BOOL IsSelecting() const { return m_bSelecting; }
    POSITION GetActiveEntry() const { return m_posActive; }

private:
    // Redraws the cells of the ranges (bands taken over the whole grid).
    static void RedrawRange(CGXGridCore* pGrid, const CGXRange& range);
    static void RedrawList(CGXGridCore* pGrid, const CGXRangeList& list);
    void MakeActiveTail(CGXGridCore* pGrid);
    // After a move without Shift: the selection is the current cell alone (a one-cell range
    // when the grid keeps single cells selected, else none).
    void SelectCurrentCellAlone(CGXGridCore* pGrid);
    // A keyboard move; with Extend::WithShift, Shift held stretches the selection to the new
    // cell.
    enum class Extend { No, WithShift };
    BOOL MoveByKey(CGXGridCore* pGrid, int nDirection, UINT nCell, Extend extend);

    POSITION m_posActive = nullptr;
    ROWCOL m_nAnchorRow = 0, m_nAnchorCol = 0;
    ROWCOL m_nEndRow = 0, m_nEndCol = 0;
    BOOL m_bSelecting = FALSE;
};
