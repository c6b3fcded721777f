// SECDockContext: the mouse actions on a toolkit bar: dragging it to dock or float (the dock bar
// under the cursor places the outline at its insertion point), resizing a floating bar by its
// frame's borders, toggling docked and floating by a double click, and floating it as a window
// of the main frame's client.
#pragma once

#include "platform/afx/bars/CDockContext.h"

class SECDockContext : public CDockContext {
public:
    explicit SECDockContext(CControlBar* pBar);
    ~SECDockContext() override;

    void StartDrag(CPoint pt) override;
    void StartResize(int nHitTest, CPoint pt) override;
    void ToggleDocking() override;
    virtual void FloatInMainWindow();

    void Move(CPoint pt);
    void Stretch(CPoint pt);
    void EndDrag();
    void EndResize();
    DWORD CanDockHere();
    void DrawTrackRect(BOOL bRemove = FALSE);
    BOOL Track();
    void CancelLoop();
    void DrawFocusRect(BOOL bRemoveRect = FALSE) override { DrawTrackRect(bRemoveRect); }

    CPoint m_ptStart;
    int m_nInsertIndex = -1;
    CRect m_rectDockLast;
    CPoint m_ptDockLast;
    BOOL m_bPrevFloating = FALSE;
    CSize m_sizeMinFloat;
    CSize m_sizeMaxFloat;
    int m_nHitTest = 0;
    CRect m_rectFrameDrag;   // the floating frame being resized
    CSize m_sizeResizeExtra; // what that frame adds round its bar
    // Where the bar last floated as a window of the main frame's client, in screen coordinates.
    CPoint m_ptMDIFloatPos{-1, -1};
    // Set while the bar moves between docked, floating and MDI-floating through this context.
    BOOL m_bBeingMoved = FALSE;

protected:
    // Whether the drag of a floating bar has moved less than 5 pixels (|dx| + |dy|).
    BOOL IsSmallFloatingMove() const;
    void AdjustFrameRect(CRect& rect) const;
};
