// CGXCheckBox: a cell that shows its value as a check box drawn with 3D edges ("1" checked,
// anything else unchecked) and the choice list's first line as its caption. A click on the
// current cell or the space bar toggles it; the new value is stored at once, with undo.
#pragma once

#include "grid/core/CGXStatic.h"

class CGXCheckBox : public CGXStatic {
    DECLARE_DYNAMIC(CGXCheckBox)
public:
    explicit CGXCheckBox(CGXGridCore* pGrid) : CGXStatic(pGrid) {}

    void Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle) override;
    BOOL LButtonDown(UINT nFlags, CPoint pt, UINT nHitState) override;
    BOOL LButtonUp(UINT nFlags, CPoint pt, UINT nHitState) override;
    BOOL KeyPressed(UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags) override;
    BOOL LButtonDblClk(UINT nFlags, CPoint pt) override;

    // The box's rectangle inside a cell's inner rectangle, by the style's alignment.
    static CRect CalcBoxRect(const CRect& rectInner, const CGXStyle& style);
    static BOOL IsChecked(const CGXStyle& style);
    // Flips the bound cell's value; FALSE when the cell may not change.
    BOOL Toggle();

    static constexpr int kBoxSize = 13;

private:
    BOOL m_bPressedInBox = FALSE;
};
