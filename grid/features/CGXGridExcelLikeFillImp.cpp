#include "grid/features/CGXGridExcelLikeFillImp.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridModel.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRangeList.h"
#include "grid/data/CGXStyle.h"
#include "grid/features/CGXGridExcelLikeFrameImp.h"
#include "grid/features/GXCellStore.h"
#include "grid/features/GXFeatureScope.h"
#include "platform/afx/gdi/CDC.h"

#include <algorithm>
#include <cstdlib>

namespace {

BOOL SameRange(const CGXRange& a, const CGXRange& b)
{
    return a.IsValid() == b.IsValid() && (!a.IsValid() || (a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right));
}

// The text a cell hands to a copy: the text exchange's answer when the grid has it, else its
// control's.
CString CopyText(CGXGridCore& grid, ROWCOL nRow, ROWCOL nCol)
{
    CString sText;
    if (grid.m_pTextDataExchangeImp != nullptr && grid.m_pTextDataExchangeImp->GetCellTextForCopy(&grid, sText, nRow, nCol))
        return sText;
    CGXStyle* pStyle = grid.CreateStyle();
    grid.ComposeCellStyle(nRow, nCol, *pStyle);
    if (CGXControl* pControl = grid.GetControlById(pStyle->GetControl()))
        pControl->GetControlText(sText, nRow, nCol, nullptr, *pStyle);
    grid.RecycleStyle(pStyle);
    return sText;
}

} // namespace

void CGXGridExcelLikeFillImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr)
        return;
    if (pGrid->m_pExcelLikeFillImp == nullptr)
        pGrid->SetExcelLikeFillImp(new CGXGridExcelLikeFillImp, TRUE);
    // The handle is part of the frame.
    CGXGridExcelLikeFrameImp::Install(pGrid);
}

BOOL CGXGridExcelLikeFillImp::OnFillHandle(CGXGridCore* pGrid, ROWCOL nCol, ROWCOL nRow)
{
    return StartFill(pGrid, 0, CPoint(), nRow, nCol);
}

BOOL CGXGridExcelLikeFillImp::AddFillRange(CGXGridCore* pGrid, const CGXRange& range)
{
    SelectFilledRange(pGrid, range);
    return TRUE;
}

BOOL CGXGridExcelLikeFillImp::StartFill(CGXGridCore* pGrid, UINT, CPoint, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid != nullptr ? pGrid->GetParam() : nullptr;
    if (pParam == nullptr)
        return FALSE;
    // The newest block holding the cell: the one the frame and its handle are drawn around.
    CGXRange range;
    for (POSITION pos = pParam->m_SelRects.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = pParam->m_SelRects.GetNextRange(pos);
        if (pRange->IsValid() && pRange->ContainsCell(nRow, nCol))
            range = *pRange;
    }
    if (!range.IsValid())
        return FALSE;
    // Only a block of cells, from a cell that is not scrolled out of view.
    if (!range.IsCells() || (nRow > pGrid->GetFrozenRows() && nRow < pGrid->GetTopRow()) ||
        (nCol > pGrid->GetFrozenCols() && nCol < pGrid->GetLeftCol()))
        return FALSE;
    if (!pGrid->CanStartFill(range))
        return FALSE;
    pGrid->SyncCurrentCell(TRUE, 0);
    pGrid->SetMouseFlags(pGrid->GetMouseFlags() | GX_MOUSE_FILL);
    m_source = range;
    m_target = CGXRange();
    m_rectTrack.SetRectEmpty();
    return TRUE;
}

CGXRange CGXGridExcelLikeFillImp::TargetFor(CGXGridCore* pGrid, const CGXRange& source, CPoint pt, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridCore& grid = *pGrid;
    const CRect rect = grid.CalcClientRectOfRange(source.top, source.left, source.bottom, source.right);
    if (rect.IsRectEmpty())
        return source;
    const ROWCOL nFirstRow = grid.GetHeaderRows() + 1, nFirstCol = grid.GetHeaderCols() + 1;
    nRow = std::clamp<ROWCOL>(nRow, nFirstRow, std::max(nFirstRow, grid.GetRowCount()));
    nCol = std::clamp<ROWCOL>(nCol, nFirstCol, std::max(nFirstCol, grid.GetColCount()));
    // The middle of the cell under the mouse decides whether that cell counts.
    const CRect cell = grid.CalcClientRectOfRange(nRow, nCol, nRow, nCol);
    const BOOL bPastMidY = cell.IsRectEmpty() || pt.y >= (cell.top + cell.bottom) / 2;
    const BOOL bPastMidX = cell.IsRectEmpty() || pt.x >= (cell.left + cell.right) / 2;

    const BOOL bBelow = pt.y >= rect.bottom, bAbove = pt.y < rect.top, bRight = pt.x >= rect.right, bLeft = pt.x < rect.left;
    enum { none, down, up, right, left, shrinkRows, shrinkCols } dir = none;
    if (!bBelow && !bAbove && !bRight && !bLeft) {
        dir = rect.bottom - pt.y > rect.right - pt.x ? shrinkRows : shrinkCols;
    } else {
        const int dy = std::abs(pt.y - (rect.top + rect.bottom) / 2);
        const int dx = std::abs(pt.x - (rect.left + rect.right) / 2);
        const BOOL bVertical = (bBelow || bAbove) && (!(bRight || bLeft) || dy >= dx);
        dir = bVertical ? (bBelow ? down : up) : (bRight ? right : left);
    }
    CGXRange target = source;
    switch (dir) {
    case down: target.bottom = std::max(source.bottom, bPastMidY ? nRow : nRow - 1); break;
    case up: target.top = std::min(source.top, bPastMidY ? nRow + 1 : nRow); break;
    case right: target.right = std::max(source.right, bPastMidX ? nCol : nCol - 1); break;
    case left: target.left = std::min(source.left, bPastMidX ? nCol + 1 : nCol); break;
    case shrinkRows: target.bottom = std::clamp<ROWCOL>(bPastMidY ? nRow : nRow - 1, source.top, source.bottom); break;
    case shrinkCols: target.right = std::clamp<ROWCOL>(bPastMidX ? nCol : nCol - 1, source.left, source.right); break;
    default: break;
    }
    return target;
}

void CGXGridExcelLikeFillImp::TrackFill(CGXGridCore* pGrid, CPoint pt, UINT, ROWCOL nRow, ROWCOL nCol)
{
    if (!m_source.IsValid())
        return;
    DrawFillOutline(pGrid, TargetFor(pGrid, m_source, pt, nRow, nCol), TRUE, TRUE);
}

void CGXGridExcelLikeFillImp::DrawFillOutline(CGXGridCore* pGrid, const CGXRange& target, BOOL bErase, BOOL bDraw)
{
    if (bDraw && SameRange(target, m_target) && !m_rectTrack.IsRectEmpty())
        return;
    CDC* pDC = pGrid->GetGridDC();
    if (bErase) {
        InvertOutline(pDC, m_rectTrack);
        m_rectTrack.SetRectEmpty();
    }
    m_target = target;
    if (!bDraw || !target.IsValid())
        return;
    // Only the visible part of the target is outlined.
    const ROWCOL nLastRow = std::min(target.bottom, pGrid->GetRowCount()), nLastCol = std::min(target.right, pGrid->GetColCount());
    CRect rect = pGrid->CalcClientRectOfRange(target.top, target.left, nLastRow, nLastCol);
    CRect grid;
    pGrid->GetGridRect(&grid);
    rect.IntersectRect(rect, grid);
    InvertOutline(pDC, rect);
    m_rectTrack = rect;
}

void CGXGridExcelLikeFillImp::InvertOutline(CDC* pDC, const CRect& rect)
{
    if (pDC == nullptr || rect.IsRectEmpty())
        return;
    // Two pixels wide: the rectangle and the same one pixel smaller.
    pDC->DrawFocusRect(&rect);
    CRect inner = rect;
    inner.DeflateRect(1, 1);
    if (!inner.IsRectEmpty())
        pDC->DrawFocusRect(&inner);
}

void CGXGridExcelLikeFillImp::PaintFillOutline(CGXGridCore*, CDC* pDC)
{
    InvertOutline(pDC, m_rectTrack);
}

void CGXGridExcelLikeFillImp::EndFill(CGXGridCore* pGrid)
{
    DrawFillOutline(pGrid, m_target, TRUE, FALSE);
    pGrid->SetMouseFlags(pGrid->GetMouseFlags() & ~GX_MOUSE_FILL);
    const CGXRange target = m_target, source = m_source;
    m_source = m_target = CGXRange();
    if (!target.IsValid() || SameRange(target, source))
        return;
    pGrid->ClearSelection(TRUE);
    FillCells(pGrid, target, source);
    SelectFilledRange(pGrid, target);
}

void CGXGridExcelLikeFillImp::CancelFill(CGXGridCore* pGrid)
{
    DrawFillOutline(pGrid, m_target, TRUE, FALSE);
    pGrid->SetMouseFlags(pGrid->GetMouseFlags() & ~GX_MOUSE_FILL);
    m_source = m_target = CGXRange();
}

void CGXGridExcelLikeFillImp::OnFillMouseMove(CGXGridCore* pGrid, UINT nFlags, CPoint pt, ROWCOL nRow, ROWCOL nCol)
{
    TrackFill(pGrid, pt, nFlags, nRow, nCol);
}

void CGXGridExcelLikeFillImp::OnFillButtonUp(CGXGridCore* pGrid, UINT, CPoint)
{
    EndFill(pGrid);
}

void CGXGridExcelLikeFillImp::OnFillCancel(CGXGridCore* pGrid)
{
    CancelFill(pGrid);
}

BOOL CGXGridExcelLikeFillImp::FillCells(CGXGridCore* pGrid, const CGXRange& target, const CGXRange& source)
{
    CGXGridParam* pParam = pGrid != nullptr ? pGrid->GetParam() : nullptr;
    if (pParam == nullptr || SameRange(target, source) || !target.IsCells() || !source.IsCells())
        return FALSE;
    const WORD wMode = pParam->m_wFillMode;
    if (!(wMode & (GX_FILL_VALUES | GX_FILL_STYLES)))
        return FALSE;
    const BOOL bStyles = (wMode & GX_FILL_STYLES) != 0;
    CGXGridCore& grid = *pGrid;
    const ROWCOL nRows = grid.GetRowCount(), nCols = grid.GetColCount();
    // A target must stay inside the cells it shares an edge with: the same columns (rows) as
    // the source, and no row or column past the grid's end or among the headers.
    const BOOL bSameCols = target.left == source.left && target.right == source.right;
    const BOOL bSameRows = target.top == source.top && target.bottom == source.bottom;
    if ((!bSameCols && !bSameRows) || target.top <= grid.GetHeaderRows() || target.left <= grid.GetHeaderCols() || target.bottom > nRows ||
        target.right > nCols)
        return FALSE;

    // One undo step for the whole fill; the flag and the step end however the fill ends.
    CGXTransactionScope trans(grid, "Fill");
    struct FillingScope {
        CGXGridCore& grid;
        BOOL bOld;
        ~FillingScope() { grid.SetFillInProgress(bOld); }
    } filling{grid, grid.IsFillInProgress()};
    grid.SetFillInProgress(TRUE);
    BOOL bResult = TRUE;
    const ROWCOL nSrcRows = source.bottom - source.top + 1, nSrcCols = source.right - source.left + 1;

    if (bSameCols && target.top == source.top && target.bottom < source.bottom) {
        CGXRangeList list;
        list.AddTail(new CGXRange(target.bottom + 1, source.left, source.bottom, source.right));
        bResult = grid.ClearRangeList(list, bStyles);
    } else if (bSameRows && target.left == source.left && target.right < source.right) {
        CGXRangeList list;
        list.AddTail(new CGXRange(source.top, target.right + 1, source.bottom, source.right));
        bResult = grid.ClearRangeList(list, bStyles);
    } else {
        // The new cells: the target beside the source. A new row (column) takes the source row
        // (column) in step with its distance from the end it grows from, so that going down the
        // first new row repeats the source's first, and going up the target's top row does.
        const BOOL bVertical = bSameCols;
        ROWCOL nFrom, nTo;
        if (bVertical) {
            nFrom = target.top < source.top ? target.top : source.bottom + 1;
            nTo = target.top < source.top ? source.top - 1 : target.bottom;
        } else {
            nFrom = target.left < source.left ? target.left : source.right + 1;
            nTo = target.left < source.left ? source.left - 1 : target.right;
        }
        if (nFrom > nTo)
            return FALSE;
        CGXStyle* pStyle = grid.CreateStyle();
        CGXDataChangeScope change(grid, bVertical ? CGXRange(nFrom, source.left, nTo, source.right) : CGXRange(source.top, nFrom, source.bottom, nTo));
        for (ROWCOL n = nFrom; n <= nTo && bResult; ++n) {
            const ROWCOL nSrc = bVertical ? source.top + (n - nFrom) % nSrcRows : source.left + (n - nFrom) % nSrcCols;
            const ROWCOL nAcrossFirst = bVertical ? source.left : source.top, nAcrossLast = bVertical ? source.right : source.bottom;
            for (ROWCOL m = nAcrossFirst; m <= nAcrossLast; ++m) {
                const ROWCOL nSrcRow = bVertical ? nSrc : m, nSrcCol = bVertical ? m : nSrc;
                const ROWCOL nRow = bVertical ? n : m, nCol = bVertical ? m : n;
                if (bStyles) {
                    pStyle->Free();
                    grid.ComposeCellStyle(nSrcRow, nSrcCol, *pStyle, FALSE);
                    bResult = grid.ApplyStyleToRange(CGXRange(nRow, nCol, nRow, nCol), pStyle, gxOverride, 0, nullptr, 0, gxDo);
                } else {
                    bResult = GXStoreCellTextWithUndo(grid, nRow, nCol, CopyText(grid, nSrcRow, nSrcCol), 0, nullptr);
                }
                if (!bResult)
                    break;
            }
            if (n == GX_INVALID)
                break;
        }
        grid.RecycleStyle(pStyle);
    }
    if (!bResult) {
        trans.Rollback();
        grid.Redraw();
        return FALSE;
    }
    trans.Commit();
    grid.RedrawRowCol(std::min(target.top, source.top), std::min(target.left, source.left), std::max(target.bottom, source.bottom),
                      std::max(target.right, source.right), GX_INVALIDATE, FALSE);
    return TRUE;
}

void CGXGridExcelLikeFillImp::SelectFilledRange(CGXGridCore* pGrid, const CGXRange& range)
{
    pGrid->SetSelection(nullptr, range.top, range.left, range.bottom, range.right);
}
