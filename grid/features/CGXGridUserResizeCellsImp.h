// Resizing a row or a column by dragging the border after it, hiding it by dragging the border
// onto its other edge, and resetting or showing by a double click on the border. While the
// border is dragged the user sees where it will go: a marker line follows the pointer and the
// edge the size is measured from stays marked; with live resizing the cells follow instead.
#pragma once

#include "grid/core/GXFeatureImps.h"

#include <utility>
#include <vector>

class CGXGridUserResizeCellsImp : public CGXAbstractGridUserResizeCellsImp {
public:
    // Gives the grid this feature unless it has one already.
    static void Install(CGXGridCore* pGrid);

    BOOL OnTrackingMouseMove(CGXGridCore* pGrid, CPoint pt) override;
    BOOL StartTrackingOnHit(CGXGridCore* pGrid, UINT nFlags, CPoint pt, int nHit, ROWCOL nRow, ROWCOL nCol) override;
    BOOL OnTrackingButtonUp(CGXGridCore* pGrid, CPoint pt) override;
    BOOL ResetSizeOnDoubleClick(CGXGridCore* pGrid, UINT nFlags, CPoint pt, int nHit, ROWCOL nRow, ROWCOL nCol) override;

    BOOL StartTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode) override;
    void MoveTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode, CPoint size) override;
    void CancelTracking(CGXGridCore* pGrid) override;
    void EndTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode, CPoint size) override;
    void DrawTrackingMarkers(CGXGridCore* pGrid, CDC* pDC) override;

    BOOL IsTracking() const { return m_nMode != 0; }
    // Where the markers stand now, in the grid window's client coordinates: the edge the size
    // is measured from and the line that follows the pointer (empty when not shown).
    CRect GetStartMarker() const { return m_bStartShown ? m_rectStart : CRect(); }
    CRect GetMovingMarker() const { return m_bMarkerShown ? m_rectMarker : CRect(); }

private:
    // The size asked for by a point: its distance from the tracked row's top edge (the
    // column's left edge).
    CPoint RequestedSize(CPoint pt) const;
    // The marker line at a position along the tracked direction.
    CRect MarkerAt(int nPos) const;
    static void PaintPending(CGXGridCore* pGrid);
    // Inverts a marker on the grid window at once (outside a paint).
    static void InvertOnWindow(CGXGridCore* pGrid, const CRect& rect);
    void ShowMarker(CGXGridCore* pGrid);
    void HideMarker(CGXGridCore* pGrid);
    // Takes the markers off the window and the drag-line window away.
    void EraseMarkers(CGXGridCore* pGrid);
    void EndState(CGXGridCore* pGrid);
    // After a live drag: the row or column as it was when the drag began, hidden again if it
    // was hidden (without a repaint).
    void RestoreStartState(CGXGridCore* pGrid);
    // The tracked row's (column's) header cells and the cells beside the border drawn again, so
    // that a marked header shows or loses its mark.
    void RedrawTracked(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode);
    // The whole-row (whole-column) selections holding the index, as first..last pairs.
    static void SelectedBands(CGXGridCore* pGrid, BOOL bRows, ROWCOL nIndex, std::vector<std::pair<ROWCOL, ROWCOL>>& bands);

    int m_nMode = 0;
    ROWCOL m_nRow = 0, m_nCol = 0;
    CPoint m_ptStart;
    int m_nStartSize = 0;
    BOOL m_bStartHidden = FALSE;   // the row or column was hidden when the drag began
    // The row's top (the column's left) edge in client coordinates, and the marker's position
    // along the tracked direction.
    int m_nStartEdge = 0;
    int m_nMarkerPos = 0;
    // The size asked for last, after the smallest drag size: below 1 the drag hides.
    int m_nLastSize = 0;
    // The furthest the marker may go: 6 pixels short of the grid rectangle's far edge.
    int m_nMarkerLimit = 0;
    // The extent of the marker lines across the grid.
    int m_nLineFrom = 0, m_nLineTo = 0;
    CRect m_rectStart, m_rectMarker;
    BOOL m_bMouseMoved = FALSE;
    BOOL m_bLive = FALSE;
    BOOL m_bDragLine = FALSE;
    BOOL m_bMarkStart = FALSE;
    BOOL m_bMarkerShown = FALSE;
    BOOL m_bStartShown = FALSE;
    int m_nOldMemDC = -1;
};
