// The spreadsheet look: a thick inverted frame around the newest selected range, with a small
// square handle at one of its corners that the fill feature lets the user drag.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXGridExcelLikeFrameImp : public CGXAbstractGridExcelLikeFrameImp {
public:
    // Where the handle sits on the frame.
    enum HandlePosition { handleBottomRight = 0, handleBottomLeft = 2, handleTopRight = 7 };

    // Gives the grid this feature unless it has one already.
    static void Install(CGXGridCore* pGrid);

    // Inverts the frame lines of one part of the range (rect) inside clip; a side that goes on
    // into another pane is left open. bHandleOnly inverts the handle alone.
    virtual void DrawFramePart(CGXGridCore* pGrid, CDC* pDC, const CRect& rect, const CRect& clip, BOOL bTop, BOOL bLeft, int nHandle,
                               BOOL bHandleOnly);
    virtual void DrawFrameForRange(CGXGridCore* pGrid, CDC* pDC, const CGXRange& range, int nHandle, UINT nFlags);
    // With a range: takes away the frame drawn last (bDrawOld) and draws the range's. Without
    // one (the grid's paint): draws the frame of the newest selected range into the fresh
    // cells of the paint.
    void DrawSelectionFrame(CGXGridCore* pGrid, CDC* pDC, BOOL bDrawOld, const CGXRange* pRange) override;
    virtual void RedrawFrame(CGXGridCore* pGrid);
    // Hides (bHide) or shows the frame; answers whether it was hidden before.
    virtual BOOL ShowFrame(CGXGridCore* pGrid, BOOL bHide, BOOL bHint);

    BOOL DrawSelectionRangeFrame(CGXGridCore* pGrid, CDC* pDC, const CGXRange& range, const CRect& rect, BOOL bFill, UINT nFlags, int nWidth) override;
    BOOL LockSelectionFrame(CGXGridCore* pGrid, BOOL bLock, BOOL bCreateHint) override;
    void ToggleSelectionFrame(CGXGridCore* pGrid) override;
    BOOL CalcSelectionFrameRect(CGXGridCore* pGrid, CRect& rect) override;
    void SelectionChanged(CGXGridCore* pGrid) override;

    // The range a new frame goes around (cells after the headers) and its handle's corner;
    // FALSE when there is nothing to frame.
    static BOOL FrameRangeOf(CGXGridCore* pGrid, const CGXRange& selected, CGXRange& frame, int& nHandle);
    const CGXRange& FrameRange() const { return m_range; }
    int HandlePos() const { return m_nHandle; }

private:
    BOOL IsOn(CGXGridCore* pGrid) const;
    // The newest selected range, framed; FALSE without a selection.
    static BOOL NewestFrame(CGXGridCore* pGrid, CGXRange& frame, int& nHandle);
    // Asks the window to paint the pixels the frame of the range covers.
    static void InvalidateFrame(CGXGridCore* pGrid, const CGXRange& range);

    CGXRange m_range;
    int m_nHandle = handleBottomRight;
};
