// CGXGridMarkEditHeaderImp: the header cells of the current cell's row and column, and of the
// row or column being resized, are drawn marked; when the current cell moves, the header cells
// it leaves and enters are invalidated so that the mark follows it.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXGridMarkEditHeaderImp : public CGXAbstractGridMarkEditHeaderImp {
public:
    static void Install(CGXGridCore* pGrid);

    // Which headers UpdateMarkedHeaders invalidates.
    enum Which : int { both = 0, columnHeader = 1, rowHeader = 2 };

    // Invalidates the header cells of the row and column, when they are on the screen.
    virtual void UpdateMarkedHeaders(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nWhich, BOOL bCreateHint);
    BOOL IsHeaderMarked(CGXGridCore* pGrid, CGXControl* pControl, ROWCOL nRow, ROWCOL nCol) override;

    // The engine reaches UpdateMarkedHeaders under its own name.
    void MarkEditHeader(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL /*bMark*/, UINT /*nFlags*/) final
    {
        UpdateMarkedHeaders(pGrid, nRow, nCol, both, TRUE);
    }
};
