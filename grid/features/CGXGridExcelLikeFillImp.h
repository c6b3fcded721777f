// The fill handle: dragging the handle of a selected block stretches the block and fills the
// new cells by repeating the block, or shrinks it and clears the cells given up.
#pragma once

#include "grid/core/GXFeatureImps.h"

// The grid parameter object's fill-mode word: values only, or whole styles (which wins).
inline constexpr WORD GX_FILL_VALUES = 0x01;
inline constexpr WORD GX_FILL_STYLES = 0x02;

class CGXGridExcelLikeFillImp : public CGXAbstractGridExcelLikeFillImp {
public:
    // Gives the grid this feature unless it has one already.
    static void Install(CGXGridCore* pGrid);

    // Begins a drag from the selected block holding the cell; FALSE when it may not start.
    virtual BOOL StartFill(CGXGridCore* pGrid, UINT nFlags, CPoint pt, ROWCOL nRow, ROWCOL nCol);
    virtual void TrackFill(CGXGridCore* pGrid, CPoint pt, UINT nFlags, ROWCOL nRow, ROWCOL nCol);
    virtual void EndFill(CGXGridCore* pGrid);
    virtual void CancelFill(CGXGridCore* pGrid);
    virtual void DrawFillOutline(CGXGridCore* pGrid, const CGXRange& target, BOOL bErase, BOOL bDraw);
    // Fills the target from the source, or clears what a smaller target gives up; one undo
    // step. FALSE when nothing could be done or a store failed (then nothing is kept).
    virtual BOOL FillCells(CGXGridCore* pGrid, const CGXRange& target, const CGXRange& source);
    virtual void SelectFilledRange(CGXGridCore* pGrid, const CGXRange& range);

    BOOL OnFillHandle(CGXGridCore* pGrid, ROWCOL nCol, ROWCOL nRow) override;
    BOOL AddFillRange(CGXGridCore* pGrid, const CGXRange& range) override;
    void OnFillMouseMove(CGXGridCore* pGrid, UINT nFlags, CPoint pt, ROWCOL nRow, ROWCOL nCol) override;
    void OnFillButtonUp(CGXGridCore* pGrid, UINT nFlags, CPoint pt) override;
    void OnFillCancel(CGXGridCore* pGrid) override;
    void PaintFillOutline(CGXGridCore* pGrid, CDC* pDC) override;

    // The target a drag to the point over (nRow, nCol) asks for, from the source.
    static CGXRange TargetFor(CGXGridCore* pGrid, const CGXRange& source, CPoint pt, ROWCOL nRow, ROWCOL nCol);

    const CGXRange& Source() const { return m_source; }
    const CGXRange& Target() const { return m_target; }

private:
    // Inverts the two-pixel dotted outline of the rectangle.
    static void InvertOutline(CDC* pDC, const CRect& rect);

    CGXRange m_source;
    CGXRange m_target;
    CRect m_rectTrack;
};
