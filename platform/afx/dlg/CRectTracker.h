// CRectTracker: a rectangle the user moves and resizes with the mouse: drawn with its border
// and handles, hit-tested, the cursor of each handle, and the tracking loop that draws the
// moving rectangle in XOR until the button is released (Esc or the right button cancel).
#pragma once

#include "platform/afx/wnd/CWnd.h"

class CDC;

class CRectTracker {
public:
    enum StyleFlags {
        solidLine = 1,
        dottedLine = 2,
        hatchedBorder = 4,
        resizeInside = 8,
        resizeOutside = 16,
        hatchInside = 32,
    };
    enum TrackerHit {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight = 1,
        hitBottomRight = 2,
        hitBottomLeft = 3,
        hitTop = 4,
        hitRight = 5,
        hitBottom = 6,
        hitLeft = 7,
        hitMiddle = 8,
    };

    CRectTracker();
    CRectTracker(LPCRECT lpSrcRect, UINT nStyle);
    virtual ~CRectTracker() = default;

    UINT m_nStyle = 0;
    CRect m_rect;
    CSize m_sizeMin;      // the smallest size tracking leaves (when the rectangle may not invert)
    int m_nHandleSize = 6;

    // Draws the rectangle in its style, with handles when it resizes.
    void Draw(CDC* pDC) const;
    // The rectangle with its handles and hatched border.
    void GetTrueRect(LPRECT lpTrueRect) const;
    // The cursor of the handle under the mouse; FALSE when the mouse is elsewhere.
    BOOL SetCursor(CWnd* pWnd, UINT nHitTest) const;
    // What a point of the window's client area touches.
    int HitTest(CPoint point) const;
    // A handle's meaning once the rectangle is inverted (left and right, top and bottom swapped).
    int NormalizeHit(int nHandle) const;

    // Tracks from a button press on the rectangle: moves or resizes it until the button is
    // released; TRUE when the rectangle changed.
    BOOL Track(CWnd* pWnd, CPoint point, BOOL bAllowInvert = FALSE, CWnd* pWndClipTo = nullptr);
    // Draws a new rectangle from point (the window's client coordinates).
    BOOL TrackRubberBand(CWnd* pWnd, CPoint point, BOOL bAllowInvert = TRUE);
    // The tracking loop for one handle.
    BOOL TrackHandle(int nHandle, CWnd* pWnd, CPoint point, CWnd* pWndClipTo);

    // Hooks: the rectangle as tracking changed it (to constrain it), the rectangle drawn during
    // tracking (in XOR: drawing again erases), and a change of the rectangle.
    virtual void AdjustRect(int nHandle, LPRECT lpRect);
    virtual void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd);
    virtual void OnChangedRect(const CRect& rectOld);
    virtual UINT GetHandleMask() const;
    virtual int GetHandleSize(LPCRECT lpRect = nullptr) const;

protected:
    BOOL m_bAllowInvert = FALSE;
    CRect m_rectLast;
    CSize m_sizeLast;
    BOOL m_bErase = FALSE;        // DrawTrackerRect is erasing
    BOOL m_bFinalErase = FALSE;   // ... for the last time
    bool m_bHaveLast = false;

    void GetHandleRect(int nHandle, CRect* pHandleRect) const;
    // The edges a handle moves.
    void GetModifyPointers(int nHandle, int** ppx, int** ppy);
    int HitTestHandles(CPoint point) const;
};
