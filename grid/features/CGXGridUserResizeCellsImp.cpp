#include "grid/features/CGXGridUserResizeCellsImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRangeList.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/UserApi.h"

#include <algorithm>
#include <cstdlib>

namespace {
// Hit codes of the grid's hit test: the border after a column or row, and after a hidden one.
constexpr int kHitColBorder = 1, kHitRowBorder = 2, kHitHiddenCol = 7, kHitHiddenRow = 8;
constexpr WORD kResizeAllowed = 0x03, kResizeHeaders = 0x08, kResizeLive = 0x100;
constexpr int kModeRows = 1, kModeCols = 2;
} // namespace

void CGXGridUserResizeCellsImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pUserResizeCellsImp != nullptr)
        return;
    auto* pFeature = new CGXGridUserResizeCellsImp;
    pGrid->m_pUserResizeCellsImp = pFeature;
    pGrid->AddAutoDeleteImp(pFeature);
}

void CGXGridUserResizeCellsImp::SelectedBands(CGXGridCore* pGrid, BOOL bRows, ROWCOL nIndex, std::vector<std::pair<ROWCOL, ROWCOL>>& bands)
{
    bands.clear();
    const CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return;
    BOOL bHolds = FALSE;
    for (POSITION pos = pParam->m_SelRects.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = pParam->m_SelRects.GetNextRange(pos);
        if (!pRange->IsValid() || (bRows ? !pRange->IsRows() : !pRange->IsCols()))
            continue;
        const ROWCOL nFirst = bRows ? pRange->top : pRange->left, nLast = bRows ? pRange->bottom : pRange->right;
        bands.emplace_back(nFirst, nLast);
        bHolds |= nFirst <= nIndex && nIndex <= nLast;
    }
    // Only a border of a selected band resizes the whole selection.
    if (!bHolds)
        bands.clear();
}

BOOL CGXGridUserResizeCellsImp::OnLButtonDown(CGXGridCore* pGrid, UINT /*nFlags*/, CPoint pt, int nHit, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return FALSE;
    int nMode = 0;
    if ((nHit == kHitColBorder || nHit == kHitHiddenCol) && pParam->TestColResizeFlags(kResizeAllowed))
        nMode = kModeCols;
    else if ((nHit == kHitRowBorder || nHit == kHitHiddenRow) && pParam->TestRowResizeFlags(kResizeAllowed))
        nMode = kModeRows;
    if (nMode == 0)
        return FALSE;
    m_ptStart = pt;
    if (StartTracking(pGrid, nRow, nCol, nMode)) {
        // The press lies on the far border: the near edge is one size before it.
        m_nStartEdge = (nMode == kModeCols ? pt.x : pt.y) - m_nStartSize;
        CWnd* pWnd = pGrid->GridWnd();
        if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr && ::GetCapture() != pWnd->GetSafeHwnd())
            pGrid->CaptureMouse();
    }
    return TRUE;
}

int CGXGridUserResizeCellsImp::RequestedSize(CPoint pt) const
{
    return (m_nMode == kModeCols ? pt.x : pt.y) - m_nStartEdge;
}

BOOL CGXGridUserResizeCellsImp::OnMouseMove(CGXGridCore* pGrid, UINT /*nFlags*/, CPoint pt)
{
    if (m_nMode == 0)
        return FALSE;
    MoveTracking(pGrid, m_nRow, m_nCol, m_nMode, RequestedSize(pt));
    return TRUE;
}

BOOL CGXGridUserResizeCellsImp::OnLButtonUp(CGXGridCore* pGrid, UINT /*nFlags*/, CPoint pt)
{
    if (m_nMode == 0)
        return FALSE;
    const int nMovedBy = m_nMode == kModeCols ? pt.x - m_ptStart.x : pt.y - m_ptStart.y;
    if (nMovedBy != 0)
        m_bMoved = TRUE;
    EndTracking(pGrid, m_nRow, m_nCol, m_nMode, RequestedSize(pt));
    CWnd* pWnd = pGrid->GridWnd();
    if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr && ::GetCapture() == pWnd->GetSafeHwnd())
        ::ReleaseCapture();
    return TRUE;
}

BOOL CGXGridUserResizeCellsImp::StartTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return FALSE;
    const BOOL bCols = nMode == kModeCols;
    const WORD nWord = bCols ? pParam->m_wAllowTrackColWidth : pParam->m_wAllowTrackRowHeight;
    // Header rows and columns need their own permission; others ask the grid.
    const BOOL bHeader = bCols ? nCol <= pGrid->GetHeaderCols() : nRow <= pGrid->GetHeaderRows();
    if (bHeader ? !(nWord & kResizeHeaders) : !(bCols ? pGrid->CanResizeCol(nCol) : pGrid->CanResizeRow(nRow)))
        return FALSE;
    if (!pGrid->OnStartTracking(nRow, nCol, nMode))
        return FALSE;
    m_nMode = nMode;
    m_nRow = nRow;
    m_nCol = nCol;
    m_bLive = (nWord & kResizeLive) != 0;
    m_bMoved = FALSE;
    m_nStartSize = m_nLastSize = bCols ? pGrid->GetColWidth(nCol) : pGrid->GetRowHeight(nRow);
    pGrid->SetResizeTrackingState(TRUE, nMode, nRow, nCol);
    return TRUE;
}

void CGXGridUserResizeCellsImp::MoveTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode, int nSize)
{
    if (m_nMode == 0)
        return;
    m_bMoved = TRUE;
    nSize = std::max(nSize, 0);
    if (!pGrid->OnMoveTracking(nRow, nCol, nMode, nSize))
        return;
    m_nLastSize = nSize;
    if (!m_bLive)
        return;
    // Live: the grid follows each move. A hidden row or column that gets a size shows first.
    if (nMode == kModeCols) {
        if (nSize > 0 && pGrid->IsColHidden(nCol))
            pGrid->StoreHideCol(nCol, FALSE);
        pGrid->StoreColWidth(nCol, nSize);
        pGrid->UpdateChangedColWidths(nCol, nCol, nullptr, GX_INVALIDATE, FALSE);
    } else {
        if (nSize > 0 && pGrid->IsRowHidden(nRow))
            pGrid->StoreHideRow(nRow, FALSE);
        pGrid->StoreRowHeight(nRow, nSize);
        pGrid->UpdateChangedRowHeights(nRow, nRow, nullptr, GX_INVALIDATE, FALSE);
    }
}

void CGXGridUserResizeCellsImp::CancelTracking(CGXGridCore* pGrid)
{
    if (m_nMode == 0)
        return;
    if (m_bLive) {
        if (m_nMode == kModeCols) {
            pGrid->StoreColWidth(m_nCol, m_nStartSize);
            pGrid->UpdateChangedColWidths(m_nCol, m_nCol, nullptr, GX_INVALIDATE, FALSE);
        } else {
            pGrid->StoreRowHeight(m_nRow, m_nStartSize);
            pGrid->UpdateChangedRowHeights(m_nRow, m_nRow, nullptr, GX_INVALIDATE, FALSE);
        }
    }
    m_nMode = 0;
    pGrid->SetResizeTrackingState(FALSE, 0, 0, 0);
}

void CGXGridUserResizeCellsImp::EndTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode, int nSize)
{
    if (m_nMode == 0)
        return;
    const BOOL bCols = nMode == kModeCols;
    const BOOL bMoved = m_bMoved;
    // The last live size goes back first, so that the size command records the size the
    // row or column had before the drag.
    if (m_bLive) {
        if (bCols)
            pGrid->StoreColWidth(nCol, m_nStartSize);
        else
            pGrid->StoreRowHeight(nRow, m_nStartSize);
    }
    m_nMode = 0;
    pGrid->SetResizeTrackingState(FALSE, 0, 0, 0);

    // Under two pixels of movement, or a grid that refuses the size, nothing changes. The
    // requested distance decides hiding before any clamp, else hiding could not be reached.
    if (!bMoved || std::abs(nSize - m_nStartSize) < 2 || !pGrid->OnEndTracking(nRow, nCol, nMode, std::max(nSize, 0))) {
        if (bCols)
            pGrid->UpdateChangedColWidths(nCol, nCol, nullptr, GX_INVALIDATE, FALSE);
        else
            pGrid->UpdateChangedRowHeights(nRow, nRow, nullptr, GX_INVALIDATE, FALSE);
        return;
    }
    std::vector<std::pair<ROWCOL, ROWCOL>> bands;
    SelectedBands(pGrid, !bCols, bCols ? nCol : nRow, bands);
    if (bands.empty())
        bands.emplace_back(bCols ? nCol : nRow, bCols ? nCol : nRow);
    const BOOL bTrans = TRUE;
    if (bTrans)
        pGrid->BeginTransaction(bCols ? "Column Width" : "Row Height");
    for (const auto& [nFirst, nLast] : bands) {
        if (nSize < 1) {
            bCols ? pGrid->HideCols(nFirst, nLast, TRUE) : pGrid->HideRows(nFirst, nLast, TRUE);
            continue;
        }
        // Hidden ones among the band show again with the new size.
        bCols ? pGrid->HideCols(nFirst, nLast, FALSE) : pGrid->HideRows(nFirst, nLast, FALSE);
        if (bCols)
            pGrid->SetColWidth(nFirst, nLast, nSize, nullptr, GX_UPDATENOW, 0);
        else
            pGrid->SetRowHeight(nFirst, nLast, nSize, nullptr, GX_UPDATENOW, 0);
    }
    if (bTrans)
        pGrid->CommitTransaction();
}

BOOL CGXGridUserResizeCellsImp::OnLButtonDblClk(CGXGridCore* pGrid, UINT /*nFlags*/, CPoint /*pt*/, int nHit, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return FALSE;
    BOOL bCols;
    if ((nHit == kHitColBorder || nHit == kHitHiddenCol) && pParam->TestColResizeFlags(kResizeAllowed))
        bCols = TRUE;
    else if ((nHit == kHitRowBorder || nHit == kHitHiddenRow) && pParam->TestRowResizeFlags(kResizeAllowed))
        bCols = FALSE;
    else
        return FALSE;
    const ROWCOL nIndex = bCols ? nCol : nRow;
    auto isHidden = [&](ROWCOL n) { return bCols ? pGrid->IsColHidden(n) : pGrid->IsRowHidden(n); };
    const ROWCOL nCount = bCols ? pGrid->GetColCount() : pGrid->GetRowCount();
    if (isHidden(nIndex) && (nIndex >= nCount || !isHidden(nIndex + 1))) {
        // Show the run of hidden ones that ends at the border.
        ROWCOL nFirst = nIndex;
        while (nFirst > 1 && isHidden(nFirst - 1))
            --nFirst;
        bCols ? pGrid->HideCols(nFirst, nIndex, FALSE) : pGrid->HideRows(nFirst, nIndex, FALSE);
        return TRUE;
    }
    std::vector<std::pair<ROWCOL, ROWCOL>> bands;
    SelectedBands(pGrid, !bCols, nIndex, bands);
    if (bands.empty())
        bands.emplace_back(nIndex, nIndex);
    const BOOL bTrans = TRUE;
    if (bTrans)
        pGrid->BeginTransaction(bCols ? "Column Width" : "Row Height");
    for (const auto& [nFirst, nLast] : bands) {
        bCols ? pGrid->HideCols(nFirst, nLast, FALSE) : pGrid->HideRows(nFirst, nLast, FALSE);
        if (bCols)
            pGrid->SetColWidth(nFirst, nLast, -1, nullptr, GX_UPDATENOW, 0);
        else
            pGrid->SetRowHeight(nFirst, nLast, -1, nullptr, GX_UPDATENOW, 0);
    }
    if (bTrans)
        pGrid->CommitTransaction();
    return TRUE;
}
