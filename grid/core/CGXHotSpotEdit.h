// CGXHotSpotEdit: an edit cell with a small button at its right edge while it is current; the
// button makes the grid hear of a click on the cell's button (the application opens a dialog
// for the value there).
#pragma once

#include "grid/core/CGXEditControl.h"

class CGXButton;

class CGXHotSpotEdit : public CGXEditControl {
    DECLARE_DYNAMIC(CGXHotSpotEdit)
public:
    CGXHotSpotEdit(CGXGridCore* pGrid, UINT nID);

    CRect GetCellRect(ROWCOL nRow, ROWCOL nCol, LPRECT rectItem, const CGXStyle* pStyle) override;
    void LayoutChildren(ROWCOL nRow, ROWCOL nCol, const CRect& rectCell, const CGXStyle& style) override;
    BOOL LButtonDown(UINT nFlags, CPoint pt, UINT nHitState) override;
    BOOL MouseMove(UINT nFlags, CPoint pt, UINT nHitState) override;
    BOOL LButtonUp(UINT nFlags, CPoint pt, UINT nHitState) override;
    // Alt+Down and F4, the keys of the grid's drop-down cells, press the button.
    BOOL KeyPressed(UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags) override;

protected:
    CRect CalcEditRect() override;
    // The width of the button at the cell's right edge.
    int ButtonWidth(const CRect& rectCell) const;

    CGXButton* m_pButton;
};
