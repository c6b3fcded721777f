#include "grid/core/CGXGridOptimizedUpdateImp.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "platform/afx/wnd/CWnd.h"

#include <algorithm>

namespace {
// One direction of the grid: rows (heights, top row, y) or columns (widths, left column, x).
struct Axis {
    CGXGridCore& g;
    BOOL bRows;

    int Size(ROWCOL n) const { return bRows ? g.GetRowHeight(n) : g.GetColWidth(n); }
    ROWCOL Frozen() const { return bRows ? g.GetFrozenRows() : g.GetFrozenCols(); }
    ROWCOL Count() const { return bRows ? g.GetRowCount() : g.GetColCount(); }
    ROWCOL First() const { return bRows ? g.GetTopRow() : g.GetLeftCol(); }
    ROWCOL LastVisible() const { return bRows ? g.GetLastVisibleRow() : g.GetLastVisibleCol(); }
    int Sum(ROWCOL nFrom, ROWCOL nTo, int nLimit) const { return bRows ? g.SumRowHeights(nFrom, nTo, nLimit) : g.SumColWidths(nFrom, nTo, nLimit); }
    // The window edge where a row (column) begins.
    int EdgeOf(ROWCOL n) const
    {
        const CRect r = bRows ? g.CalcClientRectOfRange(n, 0, n, 0) : g.CalcClientRectOfRange(0, n, 0, n);
        return bRows ? r.top : r.left;
    }
    // The part of the grid rectangle from an edge to the end, in this direction.
    CRect From(int nEdge) const
    {
        CRect grid;
        g.GetGridRect(&grid);
        if (bRows)
            grid.top = std::max<LONG>(grid.top, nEdge);
        else
            grid.left = std::max<LONG>(grid.left, nEdge);
        return grid;
    }
    CRect Band(int nEdge, int nLength) const
    {
        CRect r = From(nEdge);
        if (bRows)
            r.bottom = std::min<LONG>(r.bottom, nEdge + nLength);
        else
            r.right = std::min<LONG>(r.right, nEdge + nLength);
        return r;
    }
    int End() const
    {
        CRect grid;
        g.GetGridRect(&grid);
        return bRows ? grid.bottom : grid.right;
    }
    void Scroll(int d, const CRect& area) const { g.ScrollWindowEx(bRows ? 0 : d, bRows ? d : 0, area, area); }
    void Invalidate(CRect r) const
    {
        CWnd* pWnd = g.GridWnd();
        if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr || r.IsRectEmpty())
            return;
        r.InflateRect(0, 0, 1, 1);
        pWnd->InvalidateRect(&r, TRUE);
    }
    void Update() const
    {
        if (CWnd* pWnd = g.GridWnd(); pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr)
            pWnd->UpdateWindow();
    }
    void RedrawHeaders(ROWCOL nFrom, UINT nFlags) const
    {
        const CGXGridParam* pParam = g.GetParam();
        if (pParam == nullptr || nFrom > Count())
            return;
        if (bRows && pParam->m_bNumberedRows)
            g.RedrawRowCol(nFrom, 0, Count(), 0, nFlags, FALSE);
        else if (!bRows && pParam->m_bLetterColumns)
            g.RedrawRowCol(0, nFrom, 0, Count(), nFlags, FALSE);
    }
};

BOOL SpansOn(CGXGridCore* pGrid)
{
    return pGrid->FloatCellsEnabled() || pGrid->MergeCellsEnabled();
}
} // namespace

void CGXGridOptimizedUpdateImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pOptimizedUpdateImp != nullptr)
        return;
    auto* pImp = new CGXGridOptimizedUpdateImp;
    pGrid->m_pOptimizedUpdateImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

void CGXGridOptimizedUpdateImp::Inserted(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nCount, UINT nFlags)
{
    Axis a{*pGrid, bRows};
    if (nFrom <= a.Frozen() || SpansOn(pGrid)) {
        pGrid->Redraw(nFlags, FALSE);
        return;
    }
    nFlags &= 7;
    if (nFrom < a.First()) {
        // The same rows stay in view: only their numbers moved.
        (bRows ? pGrid->m_nTopRow : pGrid->m_nLeftCol) += nCount;
        pGrid->m_nLastVisibleRow = pGrid->m_nLastVisibleCol = GX_INVALID;
        pGrid->UpdateScrollbars(TRUE, FALSE);
        return;
    }
    if (nFrom <= a.LastVisible()) {
        const int y = a.EdgeOf(nFrom);
        const int h = a.Sum(nFrom, nFrom + nCount - 1, a.End() - y);
        if (!(nFlags & GX_INVALIDATE) && y + h <= a.End() && nFrom + nCount <= a.Count()) {
            if (nFlags & (GX_UPDATENOW | GX_SMART)) {
                a.Scroll(h, a.From(y));
                a.Invalidate(a.Band(y, h));
            }
        } else {
            a.Invalidate(a.From(y));
        }
    }
    pGrid->UpdateScrollbars(TRUE, FALSE);
    if (nFlags & GX_UPDATENOW)
        a.Update();
    a.RedrawHeaders(nFrom + nCount, nFlags);
}

void CGXGridOptimizedUpdateImp::Removed(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, const int* anOld, UINT nFlags)
{
    Axis a{*pGrid, bRows};
    if (nFlags == GX_INVALIDATE || nFrom <= a.Frozen() || SpansOn(pGrid)) {
        pGrid->Redraw(nFlags, FALSE);
        return;
    }
    nFlags &= 7;
    ROWCOL& nFirst = bRows ? pGrid->m_nTopRow : pGrid->m_nLeftCol;
    pGrid->m_nLastVisibleRow = pGrid->m_nLastVisibleCol = GX_INVALID;
    const ROWCOL n = nTo - nFrom + 1;
    const ROWCOL nCount = a.Count();
    const ROWCOL L = a.LastVisible();
    // The scroll of what stayed, up by the removed rows' old height from an edge on.
    const auto scrollUp = [&](int y, ROWCOL nFirstOld, ROWCOL nLastOld) {
        int sum = 0;
        const int nSpace = a.End() - y;
        BOOL bFits = FALSE;
        if (!(nFlags & GX_INVALIDATE) && anOld != nullptr) {
            bFits = TRUE;
            for (ROWCOL r = nFirstOld; r <= nLastOld; ++r) {
                sum += anOld[r - nFrom];
                if (sum >= nSpace) {
                    bFits = FALSE;
                    break;
                }
            }
        }
        if (bFits) {
            if (nFlags & (GX_UPDATENOW | GX_SMART)) {
                a.Scroll(-sum, a.From(y));
                a.Invalidate(a.From(a.End() - sum));
                a.Update();
            }
        } else {
            a.Invalidate(a.From(y));
        }
    };
    if (nCount == 0) {
        nFirst = 1;
        if (nFlags != 0)
            a.Invalidate(a.From(0));
    } else if (nFirst > nCount) {
        nFirst = std::max<ROWCOL>(nCount, a.Frozen() + 1);
        if (nFlags != 0)
            a.Invalidate(a.From(0));
    } else if (nTo < nFirst) {
        nFirst -= n; // everything in view only changed its number
    } else if (nFrom > L && L == nCount) {
        if (nFlags != 0)
            a.Invalidate(a.From(a.EdgeOf(nCount) + a.Size(nCount)));
    } else if (nFrom > L) {
        // nothing of it was in view
    } else if (nFrom >= nFirst) {
        scrollUp(a.EdgeOf(nFrom), nFrom, nTo);
    } else {
        const int y = a.EdgeOf(nFirst);
        const ROWCOL nOldFirst = nFirst;
        nFirst = std::max(nFrom, a.Frozen() + 1);
        scrollUp(y, nOldFirst, nTo);
    }
    // Covered ranges across the removal point change shape.
    if (const CGXGridParam* pParam = pGrid->GetParam())
        for (POSITION pos = pParam->m_CoveredCellsList.GetHeadPosition(); pos != nullptr;) {
            const CGXRange* pRange = pParam->m_CoveredCellsList.GetNextRange(pos);
            const ROWCOL nStart = bRows ? pRange->top : pRange->left;
            const ROWCOL nEnd = bRows ? pRange->bottom : pRange->right;
            if (nStart < nFrom && nEnd >= nFrom)
                a.Invalidate(pGrid->CalcRangeRect(pRange->top, pRange->left, pRange->bottom, pRange->right));
        }
    pGrid->UpdateScrollbars(TRUE, FALSE);
    if (nFlags & GX_UPDATENOW)
        a.Update();
    a.RedrawHeaders(nFrom, nFlags);
}

void CGXGridOptimizedUpdateImp::Resized(CGXGridCore* pGrid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo, const int* anOld, UINT nFlags)
{
    Axis a{*pGrid, bRows};
    if (nTo == 0)
        nTo = nFrom;
    nFlags &= 7;
    const ROWCOL nFirst = a.First();
    const BOOL bAbove = nFrom > a.Frozen() && nTo < nFirst;
    if (!bAbove && nFrom <= a.LastVisible()) {
        ROWCOL nRow = 0, nCol = 0;
        if (pGrid->GetCurrentCell(nRow, nCol)) {
            const ROWCOL nCur = bRows ? nRow : nCol;
            CGXControl* pControl = pGrid->GetControl(nRow, nCol);
            if (nCur >= nFrom && nCur <= nTo && pControl != nullptr && pControl->IsActive())
                pControl->Refresh();
        }
        // The changed rows in view: frozen ones, and scrolled ones from the top row on.
        const ROWCOL nShownFrom = (nFrom > a.Frozen() && nFrom < nFirst) ? nFirst : nFrom;
        const int y = a.EdgeOf(nShownFrom);
        int nOld = 0, nNew = 0;
        const BOOL bSizes = !(nFlags & GX_INVALIDATE) && anOld != nullptr;
        for (ROWCOL r = nShownFrom; r <= nTo && bSizes; ++r) {
            nOld += anOld[r - nFrom];
            nNew += a.Size(r);
        }
        if (bSizes && nOld < a.End() - y) {
            // What lies below the changed rows moves by the difference.
            const int d = nNew - nOld;
            if (d != 0)
                a.Scroll(d, a.From(y + std::min(nOld, nNew)));
            if (d < 0 && (nFlags & (GX_UPDATENOW | GX_SMART))) {
                a.Invalidate(a.From(a.End() + d));
                a.Update();
            }
            a.Invalidate(a.Band(y, std::max(nOld, nNew)));
        } else {
            a.Invalidate(a.From(y));
        }
    }
    if (nFlags & GX_UPDATENOW) {
        a.Update();
        pGrid->UpdateScrollbars(FALSE, FALSE);
    }
}

void CGXGridOptimizedUpdateImp::UpdateInsertRows(CGXGridCore* pGrid, ROWCOL& nRow, ROWCOL& nCount, UINT& nFlags)
{
    Inserted(pGrid, TRUE, nRow, nCount, nFlags);
}

void CGXGridOptimizedUpdateImp::UpdateInsertCols(CGXGridCore* pGrid, ROWCOL& nCol, ROWCOL& nCount, UINT& nFlags)
{
    Inserted(pGrid, FALSE, nCol, nCount, nFlags);
}

void CGXGridOptimizedUpdateImp::UpdateRemoveRows(CGXGridCore* pGrid, ROWCOL& nFromRow, ROWCOL& nToRow, const int* anOldHeights, UINT& nFlags)
{
    Removed(pGrid, TRUE, nFromRow, nToRow, anOldHeights, nFlags);
}

void CGXGridOptimizedUpdateImp::UpdateRemoveCols(CGXGridCore* pGrid, ROWCOL& nFromCol, ROWCOL& nToCol, const int* anOldWidths, UINT& nFlags)
{
    Removed(pGrid, FALSE, nFromCol, nToCol, anOldWidths, nFlags);
}

void CGXGridOptimizedUpdateImp::UpdateChangedRowHeights(CGXGridCore* pGrid, ROWCOL& nFromRow, ROWCOL& nToRow, const int* anOldHeights, UINT& nFlags)
{
    Resized(pGrid, TRUE, nFromRow, nToRow, anOldHeights, nFlags);
}

void CGXGridOptimizedUpdateImp::UpdateChangedColWidths(CGXGridCore* pGrid, ROWCOL& nFromCol, ROWCOL& nToCol, const int* anOldWidths, UINT& nFlags)
{
    Resized(pGrid, FALSE, nFromCol, nToCol, anOldWidths, nFlags);
}
