// Floating cells: a text wider than its column runs on to the right over empty neighbours of
// the same row, which are then drawn as part of it. Spans are worked out from values, styles
// and text widths, only for what is about to be drawn, and cached in the parameter object's
// floating pools.
#pragma once

#include "grid/core/GXFeatureImps.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXStyle.h"

#include <unordered_map>
#include <vector>

class CGXControl;
class CGXDelayedRangePool;
class CGXGridParam;
class CGXSpanCellPool;
class CGXStyle;

class CGXGridFloatCellsImp : public CGXAbstractGridFloatCellsImp {
public:
    // Gives the grid this feature unless it has one, with the drawing of spanned cells.
    static void Install(CGXGridCore* pGrid);

    // A new mode (0 off, 1 delayed, 2 immediate) drops the pools and makes those it needs;
    // the delayed kind delays the table.
    virtual void SetFloatCellsMode(CGXGridCore* pGrid, WORD wMode, BOOL bRedraw);
    // Marks a range for working out again (delayed kind only); a column limit other than
    // 0xFFFFFFFF clips the pending ranges.
    void DelayFloatCells(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nColLimit) override;
    BOOL EvalFloatCells(CGXGridCore* pGrid, const CGXRange& range, CGXRange* pOut, UINT nFlags) override;
    void DelayAndExpandFloatCells(CGXGridCore* pGrid, CGXRange& range) override;
    void OnStructureChanged(CGXGridCore* pGrid) override;
    BOOL CanFloatCellDefault(CGXGridCore* pGrid, CGXControl* pControl, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bSource) override;
    // The grid's rule before the control's: mode on, not covered or merged, FloatCell on a
    // source, FloodCell on a target and never the first column after the frozen ones.
    virtual BOOL CanFloatCell(CGXGridCore* pGrid, CGXControl* pControl, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bSource);
    virtual CGXRange* GetFloatCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange& range);

    const CRect* CalcCellRect(CGXGridCore*, ROWCOL, ROWCOL, CRect&, const CGXStyle*, CRect*) override { return nullptr; }
    CGXRange* FindSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange& range) override;

    // Stores a span (one cell clears the old one) and redraws what it and the old one cover,
    // unless updates are locked; FALSE when nothing changed. pOut, when given, grows to hold
    // the cells that changed.
    virtual BOOL SetFloatCellsRowCol(CGXGridCore* pGrid, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, CGXRange* pOut = nullptr);

    BOOL EvalFloatCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange* pOut);
    BOOL EvalFloatSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange* pOut);

private:
    // The style a cell floats with, and its control: the current cell's control is loaded with
    // its style, and the text being edited there counts as its value.
    // Inside a pass the style is the row cache's; outside it is composed into scratch.
    const CGXStyle* ComposeCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXStyle& scratch, CGXControl*& pControl);
    static CGXSpanCellPool* SpanPool(CGXGridParam* pParam);
    static CGXDelayedRangePool* DelayedPool(CGXGridParam* pParam);

    BOOL m_bEvaluating = FALSE;
    // The span starts of the row being evaluated that were worked out in this pass.
    std::vector<ROWCOL> m_rowStarts;
    // The composed cells of the row being evaluated, by column.
    struct CachedCell {
        CGXStyle style;
        CGXControl* pControl = nullptr;
    };
    std::unordered_map<ROWCOL, CachedCell> m_rowCells;
    ROWCOL m_nCacheRow = GX_INVALID;
};
