#include "grid/features/CGXGridResizeToFitImp.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/GXFeatureImps.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/features/GXFeatureScope.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/afx/gdi/CDC.h"

#include <algorithm>
#include <memory>

namespace {

// Raised inside the work when the user cancelled; caught before it leaves the feature.
struct ResizeCancelled {};

// A DC to measure with: the grid window's, or a memory DC while the grid has no window. The
// font selected into it goes back whatever way the work ends. The font it replaced is kept by
// its handle: the object the selection returned is a temporary one, which the idle work the
// long operation runs between two cells deletes.
class MeasureDC {
public:
    explicit MeasureDC(CGXGridCore& grid)
    {
        CWnd* pWnd = grid.GridWnd();
        if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr) {
            m_pClient = std::make_unique<CClientDC>(pWnd);
            m_pDC = m_pClient.get();
        } else {
            m_memory.CreateCompatibleDC(nullptr);
            m_pDC = &m_memory;
        }
        grid.PrepareDC(m_pDC);
        if (const CGXStyle* pStandard = grid.GetStandardStyle())
            if (CFont* pOld = grid.LoadFont(m_pDC, *pStandard, FALSE))
                m_hOldFont = pOld->GetSafeHandle();
    }
    ~MeasureDC()
    {
        if (m_hOldFont != nullptr)
            m_pDC->SelectObject(m_hOldFont);
    }
    MeasureDC(const MeasureDC&) = delete;
    MeasureDC& operator=(const MeasureDC&) = delete;
    CDC* Get() const { return m_pDC; }

private:
    CDC m_memory;
    std::unique_ptr<CClientDC> m_pClient;
    CDC* m_pDC = nullptr;
    HGDIOBJ m_hOldFont = nullptr;
};

} // namespace

void CGXGridResizeToFitImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pResizeToFitImp != nullptr)
        return;
    auto* pImp = new CGXGridResizeToFitImp;
    pGrid->m_pResizeToFitImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

BOOL CGXGridResizeToFitImp::ResizeRowHeightsToFit(CGXGridCore* pGrid, CGXRange range, BOOL bResizeCoveredCells, UINT nFlags)
{
    return Fit(pGrid, range, bResizeCoveredCells, nFlags, Axis::rows);
}

BOOL CGXGridResizeToFitImp::ResizeColWidthsToFit(CGXGridCore* pGrid, CGXRange range, BOOL bResizeCoveredCells, UINT nFlags)
{
    return Fit(pGrid, range, bResizeCoveredCells, nFlags, Axis::cols);
}

BOOL CGXGridResizeToFitImp::ResizeRowHeightsToFit(CGXGridCore* pGrid, CGXRange range, BOOL bResizeCoveredCells, UINT nFlags, int, ROWCOL,
                                                  ROWCOL, int)
{
    return ResizeRowHeightsToFit(pGrid, range, bResizeCoveredCells, nFlags);
}

BOOL CGXGridResizeToFitImp::ResizeColWidthsToFit(CGXGridCore* pGrid, CGXRange range, BOOL bResizeCoveredCells, UINT nFlags, int, ROWCOL,
                                                 ROWCOL, int)
{
    return ResizeColWidthsToFit(pGrid, range, bResizeCoveredCells, nFlags);
}

CSize CGXGridResizeToFitImp::AvailableSpace(CGXGridCore* pGrid)
{
    CRect rect;
    pGrid->GetGridRect(&rect);
    if (rect.Height() == 0) {
        CWnd* pWnd = pGrid->GridWnd();
        CWnd* pOther = nullptr;
        if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr) {
            pOther = pWnd->GetParent();
            if (pOther == nullptr)
                pOther = pWnd->GetTopWindow();
        }
        if (pOther != nullptr && pOther->GetSafeHwnd() != nullptr)
            pOther->GetClientRect(&rect);
        else
            rect = CRect(0, 0, 0x7FFF, 0x7FFF);
    }
    return CSize(rect.Width(), rect.Height());
}

BOOL CGXGridResizeToFitImp::Fit(CGXGridCore* pGrid, CGXRange range, BOOL bCovered, UINT nFlags, Axis axis)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr || !range.IsValid())
        return FALSE;
    CGXGridCore& grid = *pGrid;
    const bool bRows = axis == Axis::rows;
    const ROWCOL nRows = grid.GetRowCount(), nCols = grid.GetColCount();
    range.ExpandToCells(0, 0, nRows, nCols);
    range.bottom = std::min(range.bottom, nRows);
    range.right = std::min(range.right, nCols);
    if (range.top > range.bottom || range.left > range.right)
        return FALSE;
    // Merged and floating cells are worked out when they are drawn: cells not drawn yet would
    // be measured alone, each as if it held the whole span's text.
    CGXRange changed;
    BOOL bSpansChanged = FALSE;
    if (grid.m_pMergeCellsImp != nullptr && grid.MergeCellsEnabled())
        bSpansChanged |= grid.m_pMergeCellsImp->EvalMergeCells(pGrid, range, &changed, 0);
    if (grid.m_pFloatCellsImp != nullptr && grid.FloatCellsEnabled())
        bSpansChanged |= grid.m_pFloatCellsImp->EvalFloatCells(pGrid, range, &changed, 0);
    if (bSpansChanged && changed.IsValid())
        grid.RedrawRange(changed, GX_INVALIDATE, FALSE);

    // Every resource taken here is handed back by a guard, so a cancel that leaves the loop
    // early loses none of them and leaves no transaction open.
    MeasureDC dc(grid);
    const LPCTSTR pszText = bRows ? "Resizing Rows" : "Resizing Columns";
    CGXLongOperation op;
    op.SetStatusText(pszText);
    CGXTransactionScope trans(grid, pszText);

    const CSize space = AvailableSpace(pGrid);
    const int nAvailable = bRows ? space.cy : space.cx;
    const ROWCOL nFrozen = bRows ? grid.GetFrozenRows() : grid.GetFrozenCols();
    const ROWCOL nFirst = bRows ? range.top : range.left, nLast = bRows ? range.bottom : range.right;
    const ROWCOL nAcrossFirst = bRows ? range.left : range.top, nAcrossLast = bRows ? range.right : range.bottom;
    auto sizeOf = [&](ROWCOL n) { return bRows ? grid.GetRowHeight(n) : grid.GetColWidth(n); };
    auto sumSizes = [&](ROWCOL nFrom, ROWCOL nTo) { return bRows ? grid.SumRowHeights(nFrom, nTo) : grid.SumColWidths(nFrom, nTo); };

    BOOL bResult = TRUE;
    try {
        for (ROWCOL n = nFirst; n <= nLast; ++n) {
            // The largest size that still leaves the row (column) wholly visible.
            int nLimit = nAvailable - 1;
            if (n > 0)
                nLimit -= n <= nFrozen ? sumSizes(0, n - 1) : sumSizes(0, nFrozen);
            nLimit = std::max(nLimit, 0);

            int nNeeded = 0;
            for (ROWCOL m = nAcrossFirst; m <= nAcrossLast; ++m) {
                const ROWCOL nRow = bRows ? n : m, nCol = bRows ? m : n;
                CGXRange span;
                ROWCOL nMeasureRow = nRow, nMeasureCol = nCol;
                int nSubtract = 0;
                const BOOL bSpan = grid.FindCellSpan(nRow, nCol, span) != nullptr &&
                                   (span.top != span.bottom || span.left != span.right);
                if (!bSpan) {
                    if ((bRows ? grid.GetColWidth(nCol) : grid.GetRowHeight(nRow)) <= 0)
                        continue;
                } else {
                    const ROWCOL nSpanEnd = bRows ? span.right : span.bottom;
                    // A span counts once, at its last row (column) on its first column (row),
                    // and only when it lies inside the range.
                    const BOOL bMeasure = bCovered && (bRows ? (nRow == span.bottom && nCol == span.left) : (nCol == span.right && nRow == span.top)) &&
                                          range.ContainsCell(span.top, span.left) && range.ContainsCell(span.bottom, span.right);
                    if (!bMeasure) {
                        m = std::max(m, nSpanEnd);
                        continue;
                    }
                    nMeasureRow = span.top;
                    nMeasureCol = span.left;
                    const ROWCOL nSpanFirst = bRows ? span.top : span.left;
                    if (n > nSpanFirst)
                        nSubtract = sumSizes(nSpanFirst, n - 1);
                }
                CGXStyle* pStyle = grid.CreateStyle();
                grid.ComposeCellStyle(nMeasureRow, nMeasureCol, *pStyle);
                if (CGXControl* pControl = grid.GetControlById(pStyle->GetControl())) {
                    const CSize size = pControl->CalcSize(dc.Get(), nMeasureRow, nMeasureCol, *pStyle, grid.GetStandardStyle(), bRows);
                    nNeeded = std::max(nNeeded, (bRows ? size.cy : size.cx) - nSubtract);
                }
                grid.RecycleStyle(pStyle);
                if (bSpan)
                    m = std::max(m, bRows ? span.right : span.bottom);
                BOOL bCancelled = FALSE;
                op.DoMessages(bCancelled);
                if (bCancelled)
                    throw ResizeCancelled{};
                if (m == GX_INVALID)
                    break;
            }
            nNeeded = std::min(nNeeded, nLimit);
            const int nOld = sizeOf(n);
            const BOOL bChange = (nFlags & GX_FIT_NOSHRINK) ? nNeeded > nOld : nNeeded != nOld;
            if (bChange) {
                if (bRows)
                    grid.SetRowHeight(n, n, nNeeded, nullptr, nFlags & ~GX_FIT_NOSHRINK, 0);
                else
                    grid.SetColWidth(n, n, nNeeded, nullptr, nFlags & ~GX_FIT_NOSHRINK, 0);
            }
            if (n == GX_INVALID)
                break;
        }
    } catch (const ResizeCancelled&) {
        // What was fitted before the cancel stays, as one step the user can undo.
        bResult = FALSE;
    }
    trans.Commit();
    return bResult;
}
