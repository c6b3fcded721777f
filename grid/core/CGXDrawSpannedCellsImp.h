// CGXDrawSpannedCellsImp: draws the cells whose content spans several rows or columns
// (covered ranges, merged and floating cells) once over their whole rectangle, with grid lines
// and borders only at the span's outer edges, cut where the span crosses the frozen rows or
// columns.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXDrawSpannedCellsImp : public CGXAbstractDrawSpannedCellsImp {
public:
    static void Install(CGXGridCore* pGrid);
    BOOL EvalSpans(CGXGridCore* pGrid, ROWCOL nFrozenRows, ROWCOL nFrozenCols, ROWCOL nTopRow, ROWCOL nLeftCol, ROWCOL nLastRow,
                   ROWCOL nLastCol, BOOL bFloat, BOOL bMerge, UINT nFlags) override;
    BOOL PrepareCell(CGXGridCore* pGrid, GXDrawState& state, ROWCOL i, ROWCOL j) override;
    BOOL DrawCell(CGXGridCore* pGrid, GXDrawState& state, ROWCOL i, ROWCOL j) override;
};
