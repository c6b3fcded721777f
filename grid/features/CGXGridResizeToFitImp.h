// Setting the heights of a block of rows, or the widths of a block of columns, to what their
// cells' contents need.
#pragma once

#include "grid/core/GXFeatureImps.h"

// With this flag a fit only ever grows a row or column, never shrinks it.
inline constexpr UINT GX_FIT_NOSHRINK = 0x08;

class CGXGridResizeToFitImp : public CGXAbstractGridResizeToFitImp {
public:
    // Gives the grid this feature unless it has one already.
    static void Install(CGXGridCore* pGrid);

    // FALSE when the user cancelled; what was fitted until then stays, as one undo step.
    virtual BOOL ResizeRowHeightsToFit(CGXGridCore* pGrid, CGXRange range, BOOL bResizeCoveredCells, UINT nFlags);
    virtual BOOL ResizeColWidthsToFit(CGXGridCore* pGrid, CGXRange range, BOOL bResizeCoveredCells, UINT nFlags);

    BOOL ResizeRowHeightsToFit(CGXGridCore* pGrid, CGXRange range, BOOL bResizeCoveredCells, UINT nFlags, int nMode, ROWCOL nMinRow,
                               ROWCOL nMaxRow, int nMaxHeight) override;
    BOOL ResizeColWidthsToFit(CGXGridCore* pGrid, CGXRange range, BOOL bResizeCoveredCells, UINT nFlags, int nMode, ROWCOL nMinCol,
                              ROWCOL nMaxCol, int nMaxWidth) override;

    // The room the grid has: its own client area, else its parent's, else a large default.
    static CSize AvailableSpace(CGXGridCore* pGrid);

private:
    enum class Axis { rows, cols };
    BOOL Fit(CGXGridCore* pGrid, CGXRange range, BOOL bCovered, UINT nFlags, Axis axis);
};
