#include "grid/features/CGXGridUserResizeCellsImp.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXDragLineWnd.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXProperties.h"
#include "platform/afx/gdi/CDC.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRangeList.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/UserApi.h"

#include <algorithm>
#include <cstdlib>

namespace {
// Hit codes of the grid's hit test: the border after a column or row, and after a hidden one.
constexpr int kHitColBorder = 1, kHitRowBorder = 2, kHitHiddenCol = 7, kHitHiddenRow = 8;
// Bits of the resize words. Bit 0x08 lets the borders of header rows and columns be dragged.
constexpr WORD kResizeAllowed = 0x03, kResizeHeaders = 0x08, kResizeLive = 0x100;
// Marker options: no marker line until the first move, no drag-line window (an inverted line
// instead), the starting edge left unmarked, the lines kept below (right of) the headers; the
// header of the row or column being resized is marked unless 0x10 is set.
constexpr WORD kResizeNoMarker = 0x10, kResizeNoDragLine = 0x20, kResizeNoStartMark = 0x40, kResizeBelowHeaders = 0x80;
constexpr WORD kUserResizeNoMark = 0x10;
// The marker keeps this far from the grid's right (bottom) edge.
constexpr int kEdgeMargin = 6;
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

BOOL CGXGridUserResizeCellsImp::StartTrackingOnHit(CGXGridCore* pGrid, UINT /*nFlags*/, CPoint pt, int nHit, ROWCOL nRow, ROWCOL nCol)
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
    if (pGrid->StartResizeTracking(nRow, nCol, nMode)) {
        CWnd* pWnd = pGrid->GridWnd();
        if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr && ::GetCapture() != pWnd->GetSafeHwnd())
            pGrid->CaptureMouse();
    }
    return TRUE;
}

CPoint CGXGridUserResizeCellsImp::RequestedSize(CPoint pt) const
{
    return m_nMode == kModeCols ? CPoint(pt.x - m_nStartEdge, 0) : CPoint(0, pt.y - m_nStartEdge);
}

BOOL CGXGridUserResizeCellsImp::OnTrackingMouseMove(CGXGridCore* pGrid, CPoint pt)
{
    if (m_nMode == 0)
        return FALSE;
    if (m_nMode == kModeCols ? pt.x != m_ptStart.x : pt.y != m_ptStart.y)
        m_bMouseMoved = TRUE;
    pGrid->MoveResizeTracking(m_nRow, m_nCol, m_nMode, RequestedSize(pt));
    return TRUE;
}

BOOL CGXGridUserResizeCellsImp::OnTrackingButtonUp(CGXGridCore* pGrid, CPoint pt)
{
    if (m_nMode == 0)
        return FALSE;
    if (m_nMode == kModeCols ? pt.x != m_ptStart.x : pt.y != m_ptStart.y)
        m_bMouseMoved = TRUE;
    pGrid->EndResizeTracking(m_nRow, m_nCol, m_nMode, RequestedSize(pt));
    CWnd* pWnd = pGrid->GridWnd();
    if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr && ::GetCapture() == pWnd->GetSafeHwnd())
        ::ReleaseCapture();
    return TRUE;
}

CRect CGXGridUserResizeCellsImp::MarkerAt(int nPos) const
{
    return m_nMode == kModeCols ? CRect(nPos, m_nLineFrom, nPos + 1, m_nLineTo) : CRect(m_nLineFrom, nPos, m_nLineTo, nPos + 1);
}

void CGXGridUserResizeCellsImp::PaintPending(CGXGridCore* pGrid)
{
    // What is still to be painted is painted while the markers' state still says where they
    // stand; an inversion that follows then works on pixels that are up to date.
    CWnd* pWnd = pGrid->GridWnd();
    if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr && pWnd->IsWindowVisible())
        pWnd->UpdateWindow();
}

void CGXGridUserResizeCellsImp::InvertOnWindow(CGXGridCore* pGrid, const CRect& rect)
{
    CWnd* pWnd = pGrid->GridWnd();
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr || !pWnd->IsWindowVisible() || rect.IsRectEmpty())
        return;
    CClientDC dc(pWnd);
    CRect grid;
    pGrid->GetGridRect(&grid);
    dc.IntersectClipRect(&grid);
    dc.InvertRect(&rect);
}

void CGXGridUserResizeCellsImp::DrawTrackingMarkers(CGXGridCore* /*pGrid*/, CDC* pDC)
{
    if (m_nMode == 0 || pDC == nullptr)
        return;
    if (m_bStartShown)
        pDC->InvertRect(&m_rectStart);
    if (m_bMarkerShown && !m_bDragLine)
        pDC->InvertRect(&m_rectMarker);
}

void CGXGridUserResizeCellsImp::RedrawTracked(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || pGrid->m_pMarkEditHeaderImp == nullptr)
        return;
    // The header of the row or column being resized is drawn marked while the user drags,
    // unless the resize word keeps it plain.
    if (nMode == kModeCols ? pParam->TestColResizeFlags(kUserResizeNoMark) : pParam->TestRowResizeFlags(kUserResizeNoMark))
        return;
    if (nMode == kModeCols)
        pGrid->RedrawRowCol(0, nCol, pGrid->GetHeaderRows(), nCol, GX_INVALIDATE, FALSE);
    else
        pGrid->RedrawRowCol(nRow, 0, nRow, pGrid->GetHeaderCols(), GX_INVALIDATE, FALSE);
}

BOOL CGXGridUserResizeCellsImp::StartTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || m_nMode != 0 || (nMode != kModeCols && nMode != kModeRows))
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
    const CGXProperties* pProps = pParam->GetProperties();
    const BOOL bLines = pProps == nullptr || (bCols ? pProps->m_bDisplayVertLines : pProps->m_bDisplayHorzLines);
    m_bDragLine = bLines && !(nWord & kResizeNoDragLine) && !m_bLive;
    m_bMarkStart = !(nWord & kResizeNoStartMark) && !m_bLive;
    const BOOL bMarkerAtOnce = !(nWord & kResizeNoMarker) && !m_bLive;
    m_bMouseMoved = FALSE;
    m_bMarkerShown = m_bStartShown = FALSE;
    m_nStartSize = m_nLastSize = bCols ? pGrid->GetColWidth(nCol) : pGrid->GetRowHeight(nRow);
    m_bStartHidden = bCols ? pGrid->IsColHidden(nCol) : pGrid->IsRowHidden(nRow);

    // The edge the size is measured from: the column's left (the row's top) edge as drawn. A
    // row or column scrolled out of view has none; the press then lies on its far border.
    CRect grid;
    pGrid->GetGridRect(&grid);
    const ROWCOL nIndex = bCols ? nCol : nRow;
    const ROWCOL nClient = bCols ? pGrid->ColToClientCol(nCol) : pGrid->RowToClientRow(nRow);
    if (nClient == GX_INVALID || (nClient == 0 && nIndex != 0))
        m_nStartEdge = (bCols ? m_ptStart.x : m_ptStart.y) - m_nStartSize;
    else
        m_nStartEdge = bCols ? pGrid->CalcClientColLeft(nClient) : pGrid->CalcClientRowTop(nClient);
    // The marker lines reach across the grid to the last visible row (column), below the
    // header rows (right of the header columns) when the resize word says so.
    if (bCols) {
        m_nLineFrom = grid.top + ((nWord & kResizeBelowHeaders) ? pGrid->SumRowHeights(0, pGrid->GetHeaderRows(), grid.Height()) : 0);
        const ROWCOL nLast = pGrid->RowToClientRow(pGrid->GetLastVisibleRow());
        m_nLineTo = std::min<int>(grid.bottom, grid.top + pGrid->SumClientRowHeights(0, nLast, grid.Height()));
        m_nMarkerLimit = grid.right - kEdgeMargin;
    } else {
        m_nLineFrom = grid.left + ((nWord & kResizeBelowHeaders) ? pGrid->SumColWidths(0, pGrid->GetHeaderCols(), grid.Width()) : 0);
        const ROWCOL nLast = pGrid->ColToClientCol(pGrid->GetLastVisibleCol());
        m_nLineTo = std::min<int>(grid.right, grid.left + pGrid->SumClientColWidths(0, nLast, grid.Width()));
        m_nMarkerLimit = grid.bottom - kEdgeMargin;
    }
    int nShift = 0;
    if (pParam->m_bFrameStyle) {
        nShift = -1;
        m_nLineFrom -= 1;
        m_nLineTo -= 1;
    }
    m_nStartEdge += nShift;
    m_nMarkerPos = m_nStartEdge + m_nStartSize;
    m_rectStart = MarkerAt(m_nStartEdge);
    m_rectMarker = MarkerAt(m_nMarkerPos);
    if (m_bLive)
        m_nOldMemDC = pGrid->SetMemDCDrawing(1);

    pGrid->SetResizeTrackingState(TRUE, nMode, nRow, nCol);
    RedrawTracked(pGrid, nRow, nCol, nMode);
    if (m_bMarkStart) {
        PaintPending(pGrid);
        m_bStartShown = TRUE;
        InvertOnWindow(pGrid, m_rectStart);
    }
    if (bMarkerAtOnce)
        ShowMarker(pGrid);
    return TRUE;
}

void CGXGridUserResizeCellsImp::ShowMarker(CGXGridCore* pGrid)
{
    if (m_bMarkerShown || m_rectMarker.IsRectEmpty())
        return;
    if (!m_bDragLine) {
        PaintPending(pGrid);
        m_bMarkerShown = TRUE;
        InvertOnWindow(pGrid, m_rectMarker);
        return;
    }
    m_bMarkerShown = TRUE;
    CGXDragLineWnd* pLine = pGrid->GetDragLineWnd(TRUE);
    if (pLine == nullptr) {
        // No window to show the line in: the marker is inverted on the grid instead.
        m_bDragLine = FALSE;
        m_bMarkerShown = FALSE;
        PaintPending(pGrid);
        m_bMarkerShown = TRUE;
        InvertOnWindow(pGrid, m_rectMarker);
        return;
    }
    const CGXProperties* pProps = pGrid->GetParam()->GetProperties();
    pLine->m_pen = CGXPen(GX_PS_SOLID, 1, pProps != nullptr ? pProps->GetColor(GX_COLOR_TRACKINGLINE) : RGB(0, 0, 0));
    pLine->m_nDirection = m_nMode == kModeCols ? 1 : 2;
    pLine->m_nClientIndex = 0;
    pLine->m_nLineFlags = 1;
    pLine->MoveWindow(&m_rectMarker, FALSE);
    pLine->ShowWindow(SW_SHOWNA);
    pLine->Invalidate(FALSE);
    pLine->UpdateWindow();
}

void CGXGridUserResizeCellsImp::HideMarker(CGXGridCore* pGrid)
{
    if (!m_bMarkerShown)
        return;
    if (!m_bDragLine) {
        PaintPending(pGrid);
        m_bMarkerShown = FALSE;
        InvertOnWindow(pGrid, m_rectMarker);
        return;
    }
    m_bMarkerShown = FALSE;
    if (CGXDragLineWnd* pLine = pGrid->GetDragLineWnd(FALSE); pLine != nullptr && pLine->GetSafeHwnd() != nullptr)
        pLine->ShowWindow(SW_HIDE);
}

void CGXGridUserResizeCellsImp::EraseMarkers(CGXGridCore* pGrid)
{
    HideMarker(pGrid);
    if (m_bStartShown) {
        PaintPending(pGrid);
        m_bStartShown = FALSE;
        InvertOnWindow(pGrid, m_rectStart);
    }
    if (m_bDragLine)
        pGrid->DestroyDragLineWnd();
}

void CGXGridUserResizeCellsImp::MoveTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode, CPoint size)
{
    if (m_nMode == 0)
        return;
    const BOOL bCols = nMode == kModeCols;
    const CGXGridParam* pParam = pGrid->GetParam();
    int nSize = bCols ? size.x : size.y;
    if (pParam != nullptr)
        nSize = std::max(nSize, bCols ? pParam->m_nMinTrackColWidth : pParam->m_nMinTrackRowHeight);
    if (!pGrid->OnMoveTracking(nRow, nCol, nMode, std::max(nSize, 0)))
        return;
    m_nLastSize = nSize;
    // The marker stays a pixel past the edge the size is measured from and keeps clear of the
    // grid's far edge, so that it never leaves the window.
    const int nPos = std::clamp(m_nStartEdge + nSize, m_nStartEdge + 1, std::max(m_nStartEdge + 1, m_nMarkerLimit));
    if (!m_bLive) {
        if (nPos != m_nMarkerPos || !m_bMarkerShown) {
            HideMarker(pGrid);
            m_nMarkerPos = nPos;
            m_rectMarker = MarkerAt(nPos);
            ShowMarker(pGrid);
        }
        return;
    }
    // Live: the grid follows each move. A hidden row or column that gets a size shows first.
    m_nMarkerPos = nPos;
    m_rectMarker = MarkerAt(nPos);
    const int nLive = nSize < 1 ? 0 : nPos - m_nStartEdge;
    if (bCols) {
        if (nLive > 0 && pGrid->IsColHidden(nCol))
            pGrid->StoreHideCol(nCol, FALSE);
        if (pGrid->GetColWidth(nCol) == nLive)
            return;
        pGrid->StoreColWidth(nCol, nLive);
        pGrid->UpdateChangedColWidths(nCol, nCol, nullptr, GX_INVALIDATE, FALSE);
    } else {
        if (nLive > 0 && pGrid->IsRowHidden(nRow))
            pGrid->StoreHideRow(nRow, FALSE);
        if (pGrid->GetRowHeight(nRow) == nLive)
            return;
        pGrid->StoreRowHeight(nRow, nLive);
        pGrid->UpdateChangedRowHeights(nRow, nRow, nullptr, GX_INVALIDATE, FALSE);
    }
    if (CWnd* pWnd = pGrid->GridWnd(); pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr)
        pWnd->UpdateWindow();
}

void CGXGridUserResizeCellsImp::EndState(CGXGridCore* pGrid)
{
    const ROWCOL nRow = m_nRow, nCol = m_nCol;
    const int nMode = m_nMode;
    m_nMode = 0;
    if (m_nOldMemDC != -1) {
        pGrid->SetMemDCDrawing(m_nOldMemDC);
        m_nOldMemDC = -1;
    }
    pGrid->SetResizeTrackingState(FALSE, 0, 0, 0);
    RedrawTracked(pGrid, nRow, nCol, nMode);
}

void CGXGridUserResizeCellsImp::RestoreStartState(CGXGridCore* pGrid)
{
    if (!m_bLive)
        return;
    if (m_nMode == kModeCols) {
        if (m_bStartHidden && !pGrid->IsColHidden(m_nCol))
            pGrid->StoreHideCol(m_nCol, TRUE);
        pGrid->StoreColWidth(m_nCol, m_nStartSize);
    } else {
        if (m_bStartHidden && !pGrid->IsRowHidden(m_nRow))
            pGrid->StoreHideRow(m_nRow, TRUE);
        pGrid->StoreRowHeight(m_nRow, m_nStartSize);
    }
}

void CGXGridUserResizeCellsImp::CancelTracking(CGXGridCore* pGrid)
{
    if (m_nMode == 0)
        return;
    EraseMarkers(pGrid);
    // The row or column gets back the size it had when the drag began.
    RestoreStartState(pGrid);
    if (m_bLive) {
        if (m_nMode == kModeCols)
            pGrid->UpdateChangedColWidths(m_nCol, m_nCol, nullptr, GX_INVALIDATE, FALSE);
        else
            pGrid->UpdateChangedRowHeights(m_nRow, m_nRow, nullptr, GX_INVALIDATE, FALSE);
    }
    EndState(pGrid);
}

void CGXGridUserResizeCellsImp::EndTracking(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, int nMode, CPoint size)
{
    if (m_nMode == 0)
        return;
    MoveTracking(pGrid, nRow, nCol, nMode, size);
    EraseMarkers(pGrid);
    const BOOL bCols = nMode == kModeCols;
    // The requested distance decides hiding before any clamp of the marker, else hiding could
    // not be reached; otherwise the size is where the marker stands.
    const int nSize = m_nLastSize < 1 ? m_nLastSize : m_nMarkerPos - m_nStartEdge;
    const BOOL bMouseMoved = m_bMouseMoved;
    // The state before the drag comes back first, so that the commands record the size (and
    // the hiding) the row or column had before it, and a drag that changes nothing leaves a
    // hidden one hidden.
    RestoreStartState(pGrid);
    EndState(pGrid);

    // Under two pixels of movement, or a grid that refuses the size, nothing changes.
    if (!bMouseMoved || std::abs(nSize - m_nStartSize) < 2 || !pGrid->OnEndTracking(nRow, nCol, nMode, std::max(nSize, 0))) {
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
    pGrid->CommitTransaction();
    pGrid->UpdateScrollbars();
    // The current cell's control shows again in its cell where it now stands.
    CWnd* pWnd = pGrid->GridWnd();
    if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr && ::GetFocus() == pWnd->GetSafeHwnd())
        if (CGXControl* pControl = pGrid->GetCurrentCellControl())
            pControl->Refresh();
}

BOOL CGXGridUserResizeCellsImp::ResetSizeOnDoubleClick(CGXGridCore* pGrid, UINT /*nFlags*/, CPoint /*pt*/, int nHit, ROWCOL nRow, ROWCOL nCol)
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
