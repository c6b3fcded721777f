// The interfaces of the grid's optional features as the engine reaches them. The engine holds
// one pointer per feature and forwards to it with itself first; a missing feature is a null
// pointer and the engine's forwarder answers a fixed default. Each grid deletes its feature
// objects through these classes' virtual destructors.
#pragma once

#include "grid/data/CGXRange.h"
#include "platform/core/CObject.h"
#include "platform/core/CPtrArray.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"

class CArchive;
class CDC;
class CGXCommand;
class CGXControl;
class CGXGridCore;
class CGXRangeList;
class CGXStyle;
class CObArray;
class CStringArray;
class CWnd;
struct GXDrawState;
struct CPrintInfo;

using ROWCOL = DWORD;

class CGXAbstractGridHideCellsImp : public CObject {
public:
    virtual BOOL HideRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, BOOL bHide, const CDWordArray* pFlags, UINT nFlags, int nMode) = 0;
    virtual BOOL HideCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, BOOL bHide, const CDWordArray* pFlags, UINT nFlags, int nMode) = 0;
    virtual BOOL IsRowHidden(CGXGridCore* pGrid, ROWCOL nRow) = 0;
    virtual BOOL IsColHidden(CGXGridCore* pGrid, ROWCOL nCol) = 0;
    virtual BOOL StoreHideRow(CGXGridCore* pGrid, ROWCOL nRow, BOOL bHide) = 0;
    virtual BOOL StoreHideCol(CGXGridCore* pGrid, ROWCOL nCol, BOOL bHide) = 0;
    // Told after rows or columns were stored as removed, inserted or moved, so that the hidden
    // state travels with them.
    virtual void RemoveRows(CGXGridCore* /*pGrid*/, ROWCOL /*nFrom*/, ROWCOL /*nTo*/) {}
    virtual void RemoveCols(CGXGridCore* /*pGrid*/, ROWCOL /*nFrom*/, ROWCOL /*nTo*/) {}
    virtual void InsertRows(CGXGridCore* /*pGrid*/, ROWCOL /*nPos*/, ROWCOL /*nCount*/) {}
    virtual void InsertCols(CGXGridCore* /*pGrid*/, ROWCOL /*nPos*/, ROWCOL /*nCount*/) {}
    virtual void MoveRows(CGXGridCore* /*pGrid*/, ROWCOL /*nFrom*/, ROWCOL /*nTo*/, ROWCOL /*nDest*/) {}
    virtual void MoveCols(CGXGridCore* /*pGrid*/, ROWCOL /*nFrom*/, ROWCOL /*nTo*/, ROWCOL /*nDest*/) {}
};

class CGXAbstractGridResizeToFitImp : public CObject {
public:
    virtual BOOL ResizeRowHeightsToFit(CGXGridCore* pGrid, CGXRange range, BOOL bResizeCoveredCells, UINT nFlags, int nMode, ROWCOL nMinRow, ROWCOL nMaxRow, int nMaxHeight) = 0;
    virtual BOOL ResizeColWidthsToFit(CGXGridCore* pGrid, CGXRange range, BOOL bResizeCoveredCells, UINT nFlags, int nMode, ROWCOL nMinCol, ROWCOL nMaxCol, int nMaxWidth) = 0;
};

class CGXAbstractGridSortImp : public CObject {
public:
    virtual void SortRows(CGXGridCore* pGrid, CGXRange sortRange, const CObArray& sortInfo, UINT nFlags) = 0;
    virtual BOOL MoveDataRows(CGXGridCore* pGrid, const CGXRange& range, const CDWordArray& order, UINT nFlags, int nMode) = 0;
    virtual BOOL StoreMoveDataRows(CGXGridCore* pGrid, const CGXRange& range, const CDWordArray& order) = 0;
    virtual void UpdateMoveDataRows(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags, BOOL bCreateHint) = 0;
    virtual void GetSortRowKeys(CGXGridCore* pGrid, ROWCOL nRow, const CObArray& sortInfo, CStringArray& keys) = 0;
    virtual void SortCols(CGXGridCore* pGrid, CGXRange sortRange, const CObArray& sortInfo, UINT nFlags) = 0;
    virtual BOOL MoveDataCols(CGXGridCore* pGrid, const CGXRange& range, const CDWordArray& order, UINT nFlags, int nMode) = 0;
    virtual BOOL StoreMoveDataCols(CGXGridCore* pGrid, const CGXRange& range, const CDWordArray& order) = 0;
    virtual void UpdateMoveDataCols(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags, BOOL bCreateHint) = 0;
    virtual void GetSortColKeys(CGXGridCore* pGrid, ROWCOL nCol, const CObArray& sortInfo, CStringArray& keys) = 0;
    virtual void SortIndexArray(CGXGridCore* pGrid, CDWordArray& indexes, const CObArray& sortInfo) = 0;
    // A double click on a header that no cell control took; TRUE when it sorted.
    virtual BOOL SortOnHeaderDblClk(CGXGridCore* /*pGrid*/, ROWCOL /*nRow*/, ROWCOL /*nCol*/, UINT /*nFlags*/) { return FALSE; }
};

class CGXAbstractGridFreezeMenuHelperImp : public CObject {
public:
    virtual void FreezeCols(CGXGridCore* pGrid) = 0;
    virtual BOOL CanFreezeCols(CGXGridCore* pGrid) = 0;
    virtual void UnfreezeCols(CGXGridCore* pGrid) = 0;
    virtual BOOL CanUnfreezeCols(CGXGridCore* pGrid) = 0;
    virtual void FreezeRows(CGXGridCore* pGrid) = 0;
    virtual BOOL CanFreezeRows(CGXGridCore* pGrid) = 0;
    virtual void UnfreezeRows(CGXGridCore* pGrid) = 0;
    virtual BOOL CanUnfreezeRows(CGXGridCore* pGrid) = 0;
};

class CGXAbstractGridUserDragSelectRangeImp : public CObject {
public:
    virtual BOOL DragSelectStart(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol) = 0;
    virtual BOOL DragSelectTrack(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bEnd, UINT nFlags) = 0;
    virtual BOOL DragSelectDrop(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, ROWCOL& nNewRow, ROWCOL& nNewCol) = 0;
    virtual BOOL DragSelectCancel(CGXGridCore* pGrid) = 0;
    // The mouse as the grid's handlers see it: the left button pressed on a cell or header
    // (TRUE when a drag started and the press is taken), and the moves and the release while
    // the grid's drag state says a drag runs.
    virtual BOOL StartDragOnHeader(CGXGridCore* pGrid, UINT /*nFlags*/, CPoint /*pt*/, ROWCOL nRow, ROWCOL nCol)
    {
        return DragSelectStart(pGrid, nRow, nCol);
    }
    virtual BOOL DragMouseMove(CGXGridCore* /*pGrid*/, CPoint /*pt*/) { return FALSE; }
    virtual BOOL DragButtonUp(CGXGridCore* /*pGrid*/, CPoint /*pt*/) { return FALSE; }
};

class CGXAbstractGridCoveredCellsImp : public CObject {
public:
    virtual BOOL SetCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, UINT nFlags, int nMode) = 0;
    virtual CGXRange* FindCoveredSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange& range) = 0;
    virtual BOOL StoreCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, BOOL bSet) = 0;
    virtual void UpdateCoveredCellsRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, UINT nFlags, BOOL bCreateHint) = 0;
    virtual BOOL AddCoveredCellsToRange(CGXGridCore* pGrid, CGXRange& range) = 0;
    // Adapts the covered blocks before rows (columns) first..last are removed; nothing with
    // bSkip. Sets bChanged when anything changed.
    virtual BOOL PrepareRemoveRows(CGXGridCore*, ROWCOL, ROWCOL, BOOL&, BOOL) { return FALSE; }
    virtual BOOL PrepareRemoveCols(CGXGridCore*, ROWCOL, ROWCOL, BOOL&, BOOL) { return FALSE; }
    // The undo step that covers from the range's top-left cell to its far corner (a one-cell
    // range takes the covering away), for the engine to record where a block is changed by
    // something other than this feature; null when the feature keeps no such step.
    virtual CGXCommand* MakeSetCoveredCellsCmd(const CGXRange&) { return nullptr; }
};

class CGXAbstractGridSpanCellsImp : public CObject {
public:
    // Floating or merged cells: the cell's drawn rectangle; null when it has no span.
    virtual const CRect* CalcCellRect(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CRect& rect, const CGXStyle* pStyle, CRect* pSpanRect) = 0;
    virtual CGXRange* FindSpan(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXRange& range) = 0;
};

class CGXAbstractGridMergeCellsImp : public CGXAbstractGridSpanCellsImp {
public:
    virtual BOOL CanMergeCells(CGXGridCore* pGrid, const CGXStyle& style1, const CGXStyle& style2) = 0;
    // Works out the merged spans of a range before it is drawn; TRUE when a span changed.
    virtual BOOL EvalMergeCells(CGXGridCore*, const CGXRange&, CGXRange*, UINT) { return FALSE; }
    // Marks a changed range for working out again and widens it by the spans that cross it,
    // so that the redraw takes in the cells a changed span leaves or joins.
    virtual void DelayAndExpandMergeCells(CGXGridCore*, CGXRange&) {}
    // Rows or columns were inserted, removed or moved: the spans found so far no longer apply.
    virtual void OnStructureChanged(CGXGridCore*) {}
};
class CGXAbstractGridFloatCellsImp : public CGXAbstractGridSpanCellsImp {
public:
    // Works out the floating spans of a range before it is drawn; TRUE when a span changed,
    // and pOut then grows to hold every changed span.
    virtual BOOL EvalFloatCells(CGXGridCore*, const CGXRange&, CGXRange*, UINT) { return FALSE; }
    // Marks a range for working out again (delayed kind only); a column limit other than
    // 0xFFFFFFFF clips the pending ranges.
    virtual void DelayFloatCells(CGXGridCore*, const CGXRange&, ROWCOL) {}
    // Marks a changed range for working out again and widens it by the spans that cross it.
    virtual void DelayAndExpandFloatCells(CGXGridCore*, CGXRange&) {}
    // Rows or columns were inserted, removed or moved: the spans found so far no longer apply.
    virtual void OnStructureChanged(CGXGridCore*) {}
    // The rule of the static text control: a source floats a non-empty, unrotated text, a
    // target must be empty.
    virtual BOOL CanFloatCellDefault(CGXGridCore*, CGXControl*, ROWCOL, ROWCOL, const CGXStyle&, BOOL) { return FALSE; }
};

class CGXAbstractDrawSpannedCellsImp : public CObject {
public:
    virtual BOOL EvalSpans(CGXGridCore* pGrid, ROWCOL nFrozenRows, ROWCOL nFrozenCols, ROWCOL nTopRow, ROWCOL nLeftCol,
                           ROWCOL nLastRow, ROWCOL nLastCol, BOOL bFloat, BOOL bMerge, UINT nFlags) = 0;
    // While a block of cells is drawn: TRUE when the cell at (i, j) of the pass belongs to a
    // span and was prepared, or drawn (or left out inside its span), here.
    virtual BOOL PrepareCell(CGXGridCore* pGrid, GXDrawState& state, ROWCOL i, ROWCOL j) = 0;
    virtual BOOL DrawCell(CGXGridCore* pGrid, GXDrawState& state, ROWCOL i, ROWCOL j) = 0;
};

class CGXAbstractGridMarkEditHeaderImp : public CObject {
public:
    virtual void MarkEditHeader(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bMark, UINT nFlags) = 0;
    // Whether the header cell is drawn marked; the header control asks while it draws.
    virtual BOOL IsHeaderMarked(CGXGridCore* pGrid, CGXControl* pControl, ROWCOL nRow, ROWCOL nCol) = 0;
};

class CGXAbstractGridPrintImp : public CObject {
public:
    virtual void OnGridBeginPrinting(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo) = 0;
    virtual void OnGridEndPrinting(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo) = 0;
    virtual void OnGridPrint(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo) = 0;
};

class CGXAbstractGridCutPasteImp : public CObject {
public:
    virtual BOOL CanCopy(CGXGridCore* pGrid) = 0;
    virtual BOOL Copy(CGXGridCore* pGrid) = 0;
    virtual BOOL CopyRangeList(CGXGridCore* pGrid, CGXRangeList& selList) = 0;
    virtual BOOL CanCut(CGXGridCore* pGrid) = 0;
    virtual BOOL Cut(CGXGridCore* pGrid) = 0;
    virtual BOOL CutRangeList(CGXGridCore* pGrid, CGXRangeList& selList, BOOL bStyleOrValue) = 0;
    virtual BOOL CanPaste(CGXGridCore* pGrid) = 0;
    virtual BOOL IsTextOnClipboard(CGXGridCore* pGrid) = 0;
    virtual BOOL Paste(CGXGridCore* pGrid) = 0;
    virtual BOOL PasteTextPart(CGXGridCore* pGrid, CGXRange& range) = 0;
    virtual BOOL PasteStylesPart(CGXGridCore* pGrid, CGXRange& range) = 0;
    virtual BOOL ConfirmPasteSizeMismatch(CGXGridCore* pGrid) = 0;
};

// Told when a paint of the grid starts, before anything is decided or drawn; the grid itself
// supplies no such object.
class CGXAbstractGridPaintNotifyImp : public CObject {
public:
    virtual void NotifyPaintStart(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT nFlags, UINT nReserved) = 0;
};

// Takes a press on the edge of the selection frame (hit kind 5) when the grid lets such presses
// through; a press it declines is a press on the cell.
class CGXAbstractGridFramePressImp : public CObject {
public:
    virtual BOOL OnFramePress(CGXGridCore* pGrid, UINT nFlags, CPoint pt, ROWCOL nRow, ROWCOL nCol) = 0;
};

class CGXAbstractGridClearCellsImp : public CObject {
public:
    virtual BOOL CanClear(CGXGridCore* pGrid) = 0;
    virtual BOOL Clear(CGXGridCore* pGrid, BOOL bStyleOrValue) = 0;
    virtual BOOL ClearRangeList(CGXGridCore* pGrid, CGXRangeList& selList, BOOL bStyleOrValue) = 0;
};

class CGXAbstractGridTextDataExchangeImp : public CObject {
public:
    virtual BOOL WriteRangesAsText(CGXGridCore* pGrid, CString& sDest, const CGXRangeList& selList) = 0;
    virtual BOOL GetCellTextForCopy(CGXGridCore* pGrid, CString& sText, ROWCOL nRow, ROWCOL nCol) = 0;
    virtual BOOL PasteTextBuffer(CGXGridCore* pGrid, LPCTSTR pszBuffer, size_t nSize, const CGXRange& range) = 0;
    virtual BOOL StoreCellTextForPaste(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, int nMode) = 0;
    virtual BOOL CountTextBufferCells(CGXGridCore* pGrid, LPCTSTR pszBuffer, size_t nSize, ROWCOL& nRows, ROWCOL& nCols) = 0;
};

class CGXAbstractGridStyleDataExchangeImp : public CObject {
public:
    virtual BOOL WriteRangesAsStyles(CGXGridCore* pGrid, CArchive& ar, const CGXRangeList& selList, BOOL bLoadBaseStyles) = 0;
    virtual BOOL ReadStylesIntoGrid(CGXGridCore* pGrid, CArchive& ar, CGXRange& range, BOOL bReplace) = 0;
    virtual BOOL ReadStylesPart(CGXGridCore* pGrid, CArchive& ar, CGXRange& range) = 0;
};

class CGXAbstractGridDirectCopyMoveCellsImp : public CObject {
public:
    // Each takes the source range, the destination cell, flags and the command mode.
    virtual BOOL CopyCellsDirect(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL bTrans, BOOL bCopyBaseStyles, BOOL bValuesOnly) = 0;
    virtual BOOL MoveCellsDirect(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL bTrans, BOOL bCopyBaseStyles, BOOL bValuesOnly) = 0;
    virtual BOOL StoreCopyCellsDirect(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL bTrans, BOOL bCopyBaseStyles, BOOL bValuesOnly) = 0;
    virtual BOOL StoreMoveCellsDirect(CGXGridCore* pGrid, const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL bTrans, BOOL bCopyBaseStyles, BOOL bValuesOnly) = 0;
};

// Find and replace: the operations in the order the engine reaches them.
struct GX_FR_STATE;
class CGXAbstractGridFindReplaceImp : public CObject {
public:
    virtual void OnShowFindReplaceDialog(CGXGridCore* pGrid, BOOL bFindOnly) = 0;
    virtual BOOL FindText(CGXGridCore* pGrid, LPCTSTR pszFind, BOOL bNext, BOOL bCase) = 0;
    virtual BOOL FindNext(CGXGridCore* pGrid, BOOL bReportFailure) = 0;
    virtual BOOL FindTextFrom(CGXGridCore* pGrid, ROWCOL& nRow, ROWCOL& nCol, BOOL bCurrentPos) = 0;
    virtual BOOL FindTextInCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell) = 0;
    virtual BOOL ReplaceAllInCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol) = 0;
    virtual BOOL FindTextPrepared(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell) = 0;
    virtual BOOL ReplaceAll(CGXGridCore* pGrid, LPCTSTR pszFind, LPCTSTR pszReplace, BOOL bCase) = 0;
    virtual BOOL HandleFindReplaceMessage(CGXGridCore* pGrid, CWnd* pDialog) = 0;
};

// Resizing rows and columns by their borders: each handler answers whether it took the event.
class CGXAbstractGridUserResizeCellsImp : public CObject {
public:
    // The grid's mouse handlers: a move and a release while a border is tracked, a press and a
    // double click on a border (hit codes 1 and 7 for columns, 2 and 8 for rows).
    virtual BOOL OnTrackingMouseMove(CGXGridCore* pGrid, CPoint pt) = 0;
    virtual BOOL StartTrackingOnHit(CGXGridCore* pGrid, UINT nFlags, CPoint pt, int nHit, ROWCOL nRow, ROWCOL nCol) = 0;
    virtual BOOL OnTrackingButtonUp(CGXGridCore* pGrid, CPoint pt) = 0;
    virtual BOOL ResetSizeOnDoubleClick(CGXGridCore* pGrid, UINT nFlags, CPoint pt, int nHit, ROWCOL nRow, ROWCOL nCol) = 0;
    // The tracking steps, reached through the grid's own tracking operations so that a derived
    // grid can change each. Mode 1 tracks a row, 2 a column; the size asked for is the point's
    // y (rows) or x (columns).
    virtual BOOL StartTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode) = 0;
    virtual void MoveTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode, CPoint size) = 0;
    virtual void CancelTracking(CGXGridCore* pGrid) = 0;
    virtual void EndTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode, CPoint size) = 0;
    // Draws the tracking markers again over cells that a paint has just drawn.
    virtual void DrawTrackingMarkers(CGXGridCore* pGrid, CDC* pDC) = 0;
};

class CGXAbstractGridUserSelectRangeImp : public CObject {
public:
    virtual BOOL CopySelection(CGXGridCore* pGrid, CGXRangeList& list, BOOL bIncludeCurrent, UINT nFlags) = 0;
    virtual BOOL PrepareChangeSelection(CGXGridCore* pGrid, POSITION pos, ROWCOL nTop) = 0;
    virtual BOOL PrepareClearSelection(CGXGridCore* pGrid, BOOL bCreateHint, UINT nFlags) = 0;
    virtual BOOL SelectRange(CGXGridCore* pGrid, const CGXRange& range, BOOL bSelect, BOOL bUpdate, UINT nFlags, int nMode, BOOL bCreateHint) = 0;
    virtual BOOL ClearSelection(CGXGridCore* pGrid, BOOL bCreateHint) = 0;
    virtual void SetSelection(CGXGridCore* pGrid, POSITION pos, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) = 0;
    // A keyboard move that may extend the selection; the default moves the current cell.
    virtual BOOL MoveCurrentCellEx(CGXGridCore* pGrid, int nDirection, UINT nCell);
    // A keyboard move that never extends the selection, with Shift down or not.
    virtual BOOL MoveCurrentCellAlone(CGXGridCore* pGrid, int nDirection, UINT nCell);
    // The mouse: a press (it may change the cell), each move to a new cell, the release.
    virtual void OnButtonDown(CGXGridCore* /*pGrid*/, UINT /*nFlags*/, CPoint /*pt*/, int /*nHit*/, ROWCOL& /*nRow*/, ROWCOL& /*nCol*/) {}
    virtual void OnMouseMoveToCell(CGXGridCore* /*pGrid*/, UINT /*nFlags*/, CPoint /*pt*/, ROWCOL /*nRow*/, ROWCOL /*nCol*/) {}
    virtual void OnButtonUp(CGXGridCore* /*pGrid*/, UINT /*nFlags*/, CPoint /*pt*/) {}
    // The entry a drag or Shift extends is forgotten (the rows or columns it named moved).
    virtual void ForgetActiveEntry() {}
};

class CGXAbstractGridExcelLikeFrameImp : public CObject {
public:
    virtual BOOL DrawSelectionRangeFrame(CGXGridCore* pGrid, CDC* pDC, const CGXRange& range, const CRect& rect, BOOL bFill, UINT nFlags, int nWidth) = 0;
    virtual BOOL LockSelectionFrame(CGXGridCore* pGrid, BOOL bLock, BOOL bCreateHint) = 0;
    virtual void ToggleSelectionFrame(CGXGridCore* pGrid) = 0;
    virtual BOOL CalcSelectionFrameRect(CGXGridCore* pGrid, CRect& rect) = 0;
    virtual void DrawSelectionFrame(CGXGridCore* pGrid, CDC* pDC, BOOL bDrawOld, const CGXRange* pRange) = 0;
    // Told after the selection changed, so that the frame can follow the newest range.
    virtual void SelectionChanged(CGXGridCore* /*pGrid*/) {}
};

class CGXAbstractGridExcelLikeFillImp : public CObject {
public:
    virtual BOOL OnFillHandle(CGXGridCore* pGrid, ROWCOL nCol, ROWCOL nRow) = 0;
    virtual BOOL AddFillRange(CGXGridCore* pGrid, const CGXRange& range) = 0;
    // The drag of the fill handle that OnFillHandle started: each move, the release, a cancel.
    virtual void OnFillMouseMove(CGXGridCore* /*pGrid*/, UINT /*nFlags*/, CPoint /*pt*/, ROWCOL /*nRow*/, ROWCOL /*nCol*/) {}
    virtual void OnFillButtonUp(CGXGridCore* /*pGrid*/, UINT /*nFlags*/, CPoint /*pt*/) {}
    virtual void OnFillCancel(CGXGridCore* /*pGrid*/) {}
    // Draws the outline of the drag in progress again into the cells a paint just drew, so
    // that the inverted outline stays on the screen exactly once.
    virtual void PaintFillOutline(CGXGridCore* /*pGrid*/, CDC* /*pDC*/) {}
};

class CGXAbstractCalcSizeImp : public CObject {
public:
    // The size a cell's contents need: the width (bVert FALSE) or the height (bVert TRUE).
    virtual CSize CalcSize(CGXControl* pControl, CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                           const CGXStyle* pStandardStyle, BOOL bVert) = 0;
};

// The move-rows-and-columns feature: the engine's move operations need it.
class CGXAbstractGridMoveRowsColsImp : public CObject {
public:
    virtual BOOL StoreMoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, BOOL bProcessed) = 0;
    virtual void UpdateMoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, BOOL bCreateHint) = 0;
    virtual BOOL StoreMoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, BOOL bProcessed) = 0;
    virtual void UpdateMoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, BOOL bCreateHint) = 0;
    virtual BOOL MoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, int nMode) = 0;
    virtual BOOL MoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, UINT nFlags, int nMode) = 0;
};
