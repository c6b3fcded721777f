// Resizing a row or a column by dragging the border after it, hiding it by dragging the border
// onto its other edge, and resetting or showing by a double click on the border.
#pragma once

#include "grid/core/GXFeatureImps.h"

#include <utility>
#include <vector>

class CGXGridUserResizeCellsImp : public CGXAbstractGridUserResizeCellsImp {
public:
    // Gives the grid this feature unless it has one already.
    static void Install(CGXGridCore* pGrid);

    BOOL OnLButtonDown(CGXGridCore* pGrid, UINT nFlags, CPoint pt, int nHit, ROWCOL nRow, ROWCOL nCol) override;
    BOOL OnMouseMove(CGXGridCore* pGrid, UINT nFlags, CPoint pt) override;
    BOOL OnLButtonUp(CGXGridCore* pGrid, UINT nFlags, CPoint pt) override;
    BOOL OnLButtonDblClk(CGXGridCore* pGrid, UINT nFlags, CPoint pt, int nHit, ROWCOL nRow, ROWCOL nCol) override;

    // Mode 1 tracks a row, 2 a column; the size is the distance the user asks for.
    virtual BOOL StartTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode);
    virtual void MoveTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode, int nSize);
    virtual void CancelTracking(CGXGridCore* pGrid);
    virtual void EndTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode, int nSize);

    BOOL IsTracking() const { return m_nMode != 0; }

private:
    int RequestedSize(CPoint pt) const;
    // The whole-row (whole-column) selections holding the index, as first..last pairs.
    static void SelectedBands(CGXGridCore* pGrid, BOOL bRows, ROWCOL nIndex, std::vector<std::pair<ROWCOL, ROWCOL>>& bands);

    int m_nMode = 0;
    ROWCOL m_nRow = 0, m_nCol = 0;
    CPoint m_ptStart;
    int m_nStartSize = 0;
    // The row's top (the column's left) edge in client coordinates.
    int m_nStartEdge = 0;
    int m_nLastSize = 0;
    BOOL m_bMoved = FALSE;
    BOOL m_bLive = FALSE;
};
