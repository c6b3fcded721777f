// CDockContext: the drag loop of a bar. While the mouse moves it draws the bar's outline with XOR
// on the screen (docked where a dock bar would take it, floating elsewhere); Ctrl keeps it
// floating, Shift flips a floating outline's orientation; Escape, the right button or a lost
// capture cancel. It also remembers where the bar last docked and floated.
#pragma once

#include "platform/core/CRect.h"
#include "platform/core/Types.h"

class CControlBar;
class CDockBar;
class CFrameWnd;
class CDC;

class CDockContext {
public:
    explicit CDockContext(CControlBar* pBar);
    virtual ~CDockContext();

    virtual void StartDrag(CPoint pt);
    // Resizes a floating bar from the edge of its frame named by nHitTest (HTLEFT...): the
    // outline follows the sizes the bar can take, and the last one is kept.
    virtual void StartResize(int nHitTest, CPoint pt);
    void Stretch(CPoint pt);
    void EndResize();
    // One mouse move of the loop: the outline follows and the dock decision is made again.
    void Move(CPoint pt);
    void EndDrag();
    void OnKey(int nChar, BOOL bDown);
    // Docks a floating bar back where it was, or floats a docked one where it floated.
    virtual void ToggleDocking();

    void InitLoop();
    void CancelLoop();
    BOOL Track();
    virtual void DrawFocusRect(BOOL bRemoveRect = FALSE);
    // The sides of the frame the outline could dock on now (0: none).
    DWORD CanDock();
    CDockBar* GetDockBar(DWORD dwOverDockStyle);

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite = nullptr;
    DWORD m_dwDockStyle = 0;        // the sides the bar may dock on
    DWORD m_dwOverDockStyle = 0;    // the side under the outline now
    DWORD m_dwStyle = 0;            // the bar's style when the drag began
    BOOL m_bFlip = FALSE;           // Shift: a floating outline turns round
    BOOL m_bForceFrame = FALSE;     // Ctrl: no docking
    BOOL m_bDragging = FALSE;       // moving the bar; FALSE while resizing it
    int m_nHitTest = 0;             // the frame edge a resize moves
    CRect m_rectRequestedSize;      // the frame the mouse asks for while resizing
    BOOL m_bDitherLast = FALSE;
    CPoint m_ptLast;
    CRect m_rectLast;
    CSize m_sizeLast;
    CRect m_rectDragHorz, m_rectDragVert;       // the docked outlines, following the mouse
    CRect m_rectFrameDragHorz, m_rectFrameDragVert;   // the floating ones
    CDC* m_pDC = nullptr;

    // Where the bar docked and floated last.
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    CPoint m_ptMRUFloatPos;

protected:
    void AdjustWindowForFloat(CRect& rect);
    void RememberDockedPlace();
};
