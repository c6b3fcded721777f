// CGXDrawSpannedCellsImp: draws the cells whose content spans several rows or columns
// (covered ranges, merged and floating cells) once over their whole rectangle, with grid lines
// and borders only at the span's outer edges, cut where the span crosses the frozen rows or
// columns.
#pragma once

#include "grid/core/GXFeatureImps.h"
#include "grid/data/CGXDelayedRangePool.h"
#include "grid/data/CGXRange.h"
#include "platform/core/CArray.h"

#include <algorithm>

class CGXDrawSpannedCellsImp : public CGXAbstractDrawSpannedCellsImp {
public:
    static void Install(CGXGridCore* pGrid);
    // Works a span evaluation through the rows of r: every cell of them (bAll), or only the cells
    // of each row the delayed-range pool still holds, from nLeftLimit on and up to nCols. FALSE
    // when the pool has no rows to give.
    template <class EvalRow>
    static BOOL ForRowsToEvaluate(CGXDelayedRangePool* pPool, const CGXRange& r, BOOL bAll, ROWCOL nLeftLimit, ROWCOL nCols,
                                  EvalRow evalRow)
    {
        if (bAll) {
            for (ROWCOL nRow = r.top;; ++nRow) {
                evalRow(nRow, r.left, r.right);
                if (nRow == r.bottom)
                    break;
            }
            return TRUE;
        }
        CDWordArray first, last;
        if (pPool == nullptr || !pPool->GetRowsToEvaluate(r, first, last))
            return FALSE;
        for (ROWCOL nRow = r.top;; ++nRow) {
            const INT_PTR k = static_cast<INT_PTR>(nRow - r.top);
            if (first[k] != GX_INVALID)
                evalRow(nRow, std::max<ROWCOL>(first[k], nLeftLimit), std::min<ROWCOL>(last[k], nCols));
            if (nRow == r.bottom)
                break;
        }
        return TRUE;
    }
    // Grows the cells a span evaluation reports as changed (null: nobody asks) to take in a block.
    static void WidenChanged(CGXRange* pOut, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
    {
        if (pOut == nullptr)
            return;
        if (!pOut->IsValid()) {
            pOut->SetCells(nTop, nLeft, nBottom, nRight);
            return;
        }
        pOut->top = std::min(pOut->top, nTop);
        pOut->left = std::min(pOut->left, nLeft);
        pOut->bottom = std::max(pOut->bottom, nBottom);
        pOut->right = std::max(pOut->right, nRight);
    }
    BOOL EvalSpans(CGXGridCore* pGrid, ROWCOL nFrozenRows, ROWCOL nFrozenCols, ROWCOL nTopRow, ROWCOL nLeftCol, ROWCOL nLastRow,
                   ROWCOL nLastCol, BOOL bFloat, BOOL bMerge, UINT nFlags) override;
    BOOL PrepareCell(CGXGridCore* pGrid, GXDrawState& state, ROWCOL i, ROWCOL j) override;
    BOOL DrawCell(CGXGridCore* pGrid, GXDrawState& state, ROWCOL i, ROWCOL j) override;
};
