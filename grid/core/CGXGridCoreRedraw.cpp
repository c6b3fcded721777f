// Invalidation and zoom: every change ends in an invalidated rectangle that the next paint
// draws (or at once with GX_UPDATENOW), and is passed to the other views of the document.
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "platform/afx/wnd/CWnd.h"

namespace {
BOOL IsWindowShown(CWnd* pWnd)
{
    return pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr && pWnd->IsWindowVisible();
}
} // namespace

void CGXGridCore::RedrawRowCol(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, UINT nFlags, BOOL bCreateHint)
{
    if (nFlags == 0 || m_pParam == nullptr || m_pParam->m_bLockPaint || !IsWindowShown(m_pGridWnd))
        return;
    CRect rect = CalcRangeRectWithSpans(nTop, nLeft, nBottom, nRight);
    if (!rect.IsRectEmpty()) {
        // The grid lines at the right and bottom of the range belong to the cells after it.
        rect.InflateRect(0, 0, 1, 1);
        m_pGridWnd->InvalidateRect(&rect, TRUE);
    }
    if (nFlags & GX_UPDATENOW)
        m_pGridWnd->UpdateWindow();
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintRedrawRange(this, CGXRange(nTop, nLeft, nBottom, nRight), nFlags);
}

void CGXGridCore::RedrawRange(const CGXRange& range, UINT nFlags, BOOL bCreateHint)
{
    if (range.IsRows())
        RedrawRowCol(range.top, 0, range.bottom, GetColCount(), nFlags, bCreateHint);
    else if (range.IsCols())
        RedrawRowCol(0, range.left, GetRowCount(), range.right, nFlags, bCreateHint);
    else if (range.IsTable())
        RedrawRowCol(0, 0, GetRowCount(), GetColCount(), nFlags, bCreateHint);
    else
        RedrawRowCol(range.top, range.left, range.bottom, range.right, nFlags, bCreateHint);
}

void CGXGridCore::Redraw(UINT nFlags, BOOL bCreateHint)
{
    m_nLastVisibleRow = GX_INVALID;
    m_nLastVisibleCol = GX_INVALID;
    if (nFlags != 0 && m_pParam != nullptr && !m_pParam->m_bLockPaint) {
        if (GetRowCount() < GetTopRow())
            SetTopRow(GetRowCount(), 0, TRUE);
        if (GetColCount() < GetLeftCol())
            SetLeftCol(GetColCount(), 0, TRUE);
        FreeObjectCache();
        if (IsWindowShown(m_pGridWnd)) {
            CRect rect;
            GetGridRect(&rect);
            m_pGridWnd->InvalidateRect(&rect, TRUE);
        }
        UpdateScrollbars(TRUE, FALSE);
        if ((nFlags & GX_UPDATENOW) && IsWindowShown(m_pGridWnd))
            m_pGridWnd->UpdateWindow();
    }
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintRedraw(this, nFlags);
}

int CGXGridCore::GetZoom()
{
    if (m_bPrint || m_pParam == nullptr || m_pParam->m_bZoomOff)
        return 100;
    return m_nZoom;
}

BOOL CGXGridCore::StoreZoom(int nZoom, BOOL bCreateHint)
{
    // Sizes are scaled by the zoom: nothing can be drawn at zero or less.
    if (nZoom <= 0)
        return FALSE;
    m_nZoom = nZoom;
    if (m_pParam != nullptr && m_pParam->GetProperties() != nullptr)
        m_pParam->GetProperties()->m_nZoom = nZoom;
    // The other views follow through the update's hint, which carries the zoom itself.
    (void)bCreateHint;
    return TRUE;
}

void CGXGridCore::SetZoom(int nZoom, UINT nFlags)
{
    const int nOld = GetZoom();
    if (StoreZoom(nZoom, TRUE))
        UpdateZoom(nOld, nFlags, TRUE);
}

void CGXGridCore::UpdateZoom(int nOldZoom, UINT nFlags, BOOL bCreateHint)
{
    FreeObjectCache();
    CalcFontMetrics();
    // Texts measure differently at another zoom.
    DelayFloatCells(CGXRange().SetTable());
    if (m_pParam != nullptr && !m_pParam->m_bLockPaint && GetZoom() != nOldZoom) {
        Redraw(nFlags, FALSE);
        // Larger cells push those at the right and bottom out of the window: the current cell
        // stays where the user sees it, the keys go on from a cell in sight.
        ROWCOL nRow = 0, nCol = 0;
        if (nFlags != 0 && GetCurrentCell(nRow, nCol))
            ScrollCellInView(nRow, nCol, nFlags);
    }
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateZoom(this, m_nZoom, nFlags);
}
