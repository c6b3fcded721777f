// CGXGridSortImp: sorting a block of rows by key columns, or of columns by key rows. The key
// texts are read once, each automatic key decides whether it holds dates, numbers or text, the
// positions are sorted stably, and the stored cells are reordered in one step with undo. A
// double-click on a header sorts the whole table by that column (or row), toggling direction.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXSortInfo;

// Bits of the parameter object's double-click sort word.
inline constexpr WORD GX_SORT_ROWS_ON_COLHEADER_DBLCLK = 0x01; // a column header sorts the rows
inline constexpr WORD GX_SORT_COLS_ON_ROWHEADER_DBLCLK = 0x02; // a row header sorts the columns

class CGXGridSortImp : public CGXAbstractGridSortImp {
public:
    // Creates the grid's object once.
    static void Install(CGXGridCore* pGrid);

    // The rows (columns) of the range in key order. A whole-table range means every row
    // (column) after the headers. Fewer than two rows do nothing; an abort by the user leaves
    // the grid as it was.
    void SortRows(CGXGridCore* pGrid, CGXRange sortRange, const CObArray& sortInfo, UINT nFlags) override;
    void SortCols(CGXGridCore* pGrid, CGXRange sortRange, const CObArray& sortInfo, UINT nFlags) override;
    // Reorders the range: place top + i takes the row at order[i] (absolute row numbers). Undo
    // records the inverse order; FALSE, with nothing changed, when the store refuses.
    BOOL MoveDataRows(CGXGridCore* pGrid, const CGXRange& range, const CDWordArray& order, UINT nFlags, int nMode) override;
    BOOL MoveDataCols(CGXGridCore* pGrid, const CGXRange& range, const CDWordArray& order, UINT nFlags, int nMode) override;
    BOOL StoreMoveDataRows(CGXGridCore* pGrid, const CGXRange& range, const CDWordArray& order) override;
    BOOL StoreMoveDataCols(CGXGridCore* pGrid, const CGXRange& range, const CDWordArray& order) override;
    void UpdateMoveDataRows(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags, BOOL bCreateHint) override;
    void UpdateMoveDataCols(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags, BOOL bCreateHint) override;
    // One text per key: the sort key of the row's cell in each key column.
    void GetSortRowKeys(CGXGridCore* pGrid, ROWCOL nRow, const CObArray& sortInfo, CStringArray& keys) override;
    void GetSortColKeys(CGXGridCore* pGrid, ROWCOL nCol, const CObArray& sortInfo, CStringArray& keys) override;
    // Sorts positions whose key texts the caller has not read: indexes holds rows, which are
    // reordered by the keys' columns.
    void SortIndexArray(CGXGridCore* pGrid, CDWordArray& indexes, const CObArray& sortInfo) override;
    BOOL SortOnHeaderDblClk(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT nFlags) override;

    // What an automatic key's texts hold: dates when every non-empty text parses as a date,
    // else numbers when every non-empty text is made of "0123456789,.-e ", else text.
    static BOOL IsNumberText(const CString& sText);
    static BOOL ParseDateKey(const CString& sText, double& value);

private:
    void Sort(CGXGridCore* pGrid, BOOL bRows, CGXRange sortRange, const CObArray& sortInfo, UINT nFlags);
    BOOL MoveData(CGXGridCore* pGrid, BOOL bRows, const CGXRange& range, const CDWordArray& order, UINT nFlags, int nMode);
    void GetKeys(CGXGridCore* pGrid, BOOL bRows, ROWCOL nRC, const CObArray& sortInfo, CStringArray& keys);
};
