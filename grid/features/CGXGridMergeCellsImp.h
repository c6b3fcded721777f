// Merged cells: neighbours with equal values drawn as one cell, along rows, down columns or
// both. Spans are worked out from values and styles, only for what is about to be drawn, and
// cached in the parameter object's merge pools.
#pragma once

#include "grid/core/GXFeatureImps.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXStyle.h"

#include <cstdint>
#include <unordered_map>

class CGXControl;
class CGXGridParam;
class CGXSpanCellPool;
class CGXDelayedRangePool;
class CGXStyle;

// Merge mode bits beyond the evaluation kind in bits 0-1 (1 delayed, 2 immediate).
enum : WORD { GX_MERGE_NOVERT = 4, GX_MERGE_NOHORZ = 8 };

class CGXGridMergeCellsImp : public CGXAbstractGridMergeCellsImp {
public:
    // Gives the grid this feature unless it has one, with the drawing of spanned cells.
    static void Install(CGXGridCore* pGrid);

    enum Direction : DWORD { gxHorizontal = 0, gxVertical = 1, gxEither = 0xFFFFFFFFu };

    // A new mode drops the pools and makes those it needs; the delayed kind delays the table.
    virtual void SetMergeCellsMode(CGXGridCore* pGrid, WORD wMode, BOOL bRedraw);
    // Marks a range for working out again (delayed kind only); limits of 0xFFFFFFFF are none.
    virtual void DelayMergeCells(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRowLimit, ROWCOL nColLimit);
    // Works out the spans of a range before it is drawn; TRUE when a span changed, and pOut
    // then grows to hold every changed span.
    BOOL EvalMergeCells(CGXGridCore* pGrid, const CGXRange& range, CGXRange* pOut, UINT nFlags) override;
    void DelayAndExpandMergeCells(CGXGridCore* pGrid, CGXRange& range) override;
    // The spans' stored first rows and columns would point at the wrong cells after the
    // structure changed: they are dropped and, when delayed, the table is worked out again
    // lazily, the rows in view first.
    void OnStructureChanged(CGXGridCore* pGrid) override;
    virtual CGXRange* GetMergeCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange& range, DWORD nDirection);
    virtual BOOL CanMergeCell(CGXGridCore* pGrid, CGXControl* pControl, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, DWORD nDirection);
    BOOL CanMergeCells(CGXGridCore* pGrid, const CGXStyle& style1, const CGXStyle& style2) override;
    // Stores (or clears) a span in the direction's pool and remembers it; FALSE when nothing changed.
    virtual BOOL SetMergeCellsRowCol(CGXGridCore* pGrid, DWORD nDirection, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, BOOL bSet);

    const CRect* CalcCellRect(CGXGridCore*, ROWCOL, ROWCOL, CRect&, const CGXStyle*, CRect*) override { return nullptr; }
    CGXRange* FindSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange& range) override;

    BOOL EvalMergeCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange* pOut);
    // Checks the neighbours (row, a) and (row, b) and fixes their spans; bStored tells whether
    // a joined span was stored (then remembered in m_lastStored).
    BOOL MergePairHorizontal(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nA, ROWCOL nB, CGXRange* pOut, BOOL& bStored);
    BOOL MergePairVertical(CGXGridCore* pGrid, ROWCOL nCol, ROWCOL nA, ROWCOL nB, CGXRange* pOut, BOOL& bStored);

    CGXRange m_lastStored;
    BOOL m_bEvaluating = FALSE;

private:
    struct CachedCell {
        CGXStyle style;
        CGXControl* pControl = nullptr;
    };
    // The cells composed in the pass that runs, by row and column.
    std::unordered_map<uint64_t, CachedCell> m_passCells;

private:
    // A cell's composed style and control; inside a pass from the pass's cache, outside
    // composed into scratch.
    const CGXStyle& CellStyle(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXStyle& scratch, CGXControl*& pControl);
    BOOL MergePair(CGXGridCore* pGrid, DWORD nDirection, ROWCOL nLine, ROWCOL nA, ROWCOL nB, CGXRange* pOut, BOOL& bStored);
    static CGXSpanCellPool* SpanPool(CGXGridParam* pParam, DWORD nDirection);
    static CGXDelayedRangePool* DelayedPool(CGXGridParam* pParam);
};
