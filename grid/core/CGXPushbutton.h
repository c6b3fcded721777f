// CGXPushbutton: a cell drawn as a push button whose caption is the choice list's first line
// (the value when there is none). Pressing and releasing it over the cell, or the space bar on
// the current cell, makes the grid hear of a click on the cell's button.
#pragma once

#include "grid/core/CGXStatic.h"

class CGXPushbutton : public CGXStatic {
    DECLARE_DYNAMIC(CGXPushbutton)
public:
    explicit CGXPushbutton(CGXGridCore* pGrid) : CGXStatic(pGrid) {}

    void Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle) override;
    BOOL LButtonDown(UINT nFlags, CPoint pt, UINT nHitState) override;
    BOOL MouseMove(UINT nFlags, CPoint pt, UINT nHitState) override;
    BOOL LButtonUp(UINT nFlags, CPoint pt, UINT nHitState) override;
    BOOL LButtonDblClk(UINT nFlags, CPoint pt) override;
    BOOL KeyPressed(UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags) override;

    static CString GetCaption(const CGXStyle& style);

private:
    void SetPressed(BOOL bPressed);

    BOOL m_bPressed = FALSE;
    BOOL m_bMouseCaptured = FALSE;
};
