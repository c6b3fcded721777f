// CGXCalcSizeImp: the size a cell's text needs, for fitting rows and columns to their contents:
// the widest line for a width, the lines (wrapped into the cell, at most 32) for a height, with
// what the grid draws around the text added.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXCalcSizeImp : public CGXAbstractCalcSizeImp {
public:
    // Makes the grid's feature object once and hands it to the grid's auto-delete list.
    static void Install(CGXGridCore* pGrid);

    CSize CalcSize(CGXControl* pControl, CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle,
                   BOOL bVert) override;

    static constexpr int kMaxLines = 32;
};
