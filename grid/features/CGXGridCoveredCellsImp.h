// Covered cells: one cell drawn over a block of cells. The ranges are the parameter object's
// covered list; this feature keeps the lookup pool beside it, stores and removes ranges with
// undo, widens ranges by covered blocks and shortens blocks before rows or columns go.
#pragma once

#include "grid/core/GXFeatureImps.h"
#include "grid/data/CGXRange.h"

#include <vector>

class CGXCoveredCellPool;
class CGXGridParam;

class CGXGridCoveredCellsImp : public CGXAbstractGridCoveredCellsImp {
public:
    // Gives the grid this feature unless it has one, with the parameter object's pool and the
    // drawing of spanned cells.
    static void Install(CGXGridCore* pGrid);

    BOOL SetCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, UINT nFlags, int nMode) override;
    CGXRange* FindCoveredSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange& range) override;
    BOOL StoreCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, BOOL bSet) override;
    void UpdateCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, UINT nFlags, BOOL bCreateHint) override;
    BOOL AddCoveredCellsToRange(CGXGridCore* pGrid, CGXRange& range) override;

    // Before rows (columns) first..last go: blocks reaching into them from above are cut back
    // to end before first, blocks starting inside are removed, all as one undo step. Nothing
    // with bSkip. Sets bChanged when anything changed.
    BOOL PrepareRemoveRows(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, BOOL& bChanged, BOOL bSkip) override;
    BOOL PrepareRemoveCols(CGXGridCore* pGrid, ROWCOL nFirst, ROWCOL nLast, BOOL& bChanged, BOOL bSkip) override;
    CGXCommand* MakeSetCoveredCellsCmd(const CGXRange& range) override;

private:
    enum class Axis { rows, cols };
    BOOL PrepareRemove(CGXGridCore* pGrid, Axis axis, ROWCOL nFirst, ROWCOL nLast, BOOL& bChanged, BOOL bSkip);
    // The parameter object's pool, made or rebuilt when the list changed behind its back
    // (insertions, removals and moves shift the list's ranges, not the pool).
    CGXCoveredCellPool* Pool(CGXGridParam* pParam);

    std::vector<CGXRange> m_Snapshot; // the list as the pool was last built from it
    const CGXGridParam* m_pSnapshotParam = nullptr;
};
