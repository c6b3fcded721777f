#include "grid/features/CGXGridUserDragSelectRangeImp.h"

#include "grid/core/CGXDragLineWnd.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridMoveRowsColsImp.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXProperties.h"
#include "grid/data/CGXRangeList.h"
#include "grid/features/CGXGridUserSelectRangeImp.h"
#include "grid/res/GridRes.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

#include <algorithm>

namespace {

// How far the drop marker reaches on each side of the grid line it stands on.
constexpr int kDropMarkerHalf = 1;

HWND GridHwnd(CGXGridCore* pGrid)
{
    CWnd* pWnd = pGrid->GridWnd();
    return pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
}

// The selected whole columns (bCols) or whole rows that hold the index; null when none does.
const CGXRange* FindBlock(const CGXRangeList& sel, BOOL bCols, ROWCOL nIndex)
{
    for (POSITION pos = sel.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = sel.GetNextRange(pos);
        if (bCols ? (pRange->IsCols() && pRange->left <= nIndex && nIndex <= pRange->right)
                  : (pRange->IsRows() && pRange->top <= nIndex && nIndex <= pRange->bottom))
            return pRange;
    }
    return nullptr;
}

BOOL IsTableSelected(const CGXRangeList& sel)
{
    for (POSITION pos = sel.GetHeadPosition(); pos != nullptr;)
        if (sel.GetNextRange(pos)->IsTable())
            return TRUE;
    return FALSE;
}

// Where the block's first row (column) goes for a drop before nDrop: a drop after the block
// counts without the block's own rows.
ROWCOL DestinationFor(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDrop)
{
    return nDrop > nLast ? nDrop - (nLast - nFirst + 1) : nDrop;
}

} // namespace

void CGXGridUserDragSelectRangeImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr)
        return;
    if (pGrid->m_pUserDragSelectRangeImp == nullptr) {
        auto* pImp = new CGXGridUserDragSelectRangeImp;
        pGrid->m_pUserDragSelectRangeImp = pImp;
        pGrid->AddAutoDeleteImp(pImp);
    }
    CGXGridUserSelectRangeImp::Install(pGrid);
    CGXGridMoveRowsColsImp::Install(pGrid);
}

BOOL CGXGridUserDragSelectRangeImp::StartDragOnHeader(CGXGridCore* pGrid, UINT nFlags, CPoint, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid != nullptr ? pGrid->GetParam() : nullptr;
    if (pParam == nullptr || pGrid->m_dragSelect.bDragging)
        return FALSE;
    const CGXRangeList& sel = pParam->m_SelRects;
    if (IsTableSelected(sel))
        return FALSE;
    // With Ctrl or Shift the press belongs to the selection: deselecting, extending.
    if ((nFlags & (MK_CONTROL | MK_SHIFT)) != 0)
        return FALSE;
    const ROWCOL nHeaderRows = pGrid->GetHeaderRows(), nHeaderCols = pGrid->GetHeaderCols();
    const BOOL bCols = nRow <= nHeaderRows && nCol > nHeaderCols && pParam->GetDragSelectedCols() && pGrid->CanStartDragSelectCols() &&
                       FindBlock(sel, TRUE, nCol) != nullptr;
    const BOOL bRows = !bCols && nCol <= nHeaderCols && nRow > nHeaderRows && pParam->GetDragSelectedRows() &&
                       pGrid->CanStartDragSelectRows() && FindBlock(sel, FALSE, nRow) != nullptr;
    if (!bCols && !bRows)
        return FALSE;

    pGrid->m_dragSelect.bDragging = TRUE;
    if (!pGrid->DragSelectStart(bCols ? 0 : nRow, bCols ? nCol : 0)) {
        pGrid->m_dragSelect = CGXGridCore::DragSelectState();
        if (HWND hWnd = GridHwnd(pGrid))
            ::SendMessage(hWnd, WM_CANCELMODE, 0, 0);
        return FALSE;
    }
    HWND hWnd = GridHwnd(pGrid);
    if (hWnd != nullptr && ::GetCapture() != hWnd) {
        // A drag past the window's edge scrolls on, along what scrolls.
        if (pGrid->m_pAutoScrollPlugin != nullptr)
            pGrid->StartAutoScroll(FALSE, bRows && nRow > pGrid->GetFrozenRows(), bCols && nCol > pGrid->GetFrozenCols());
        pGrid->CaptureMouse();
    }
    return TRUE;
}

BOOL CGXGridUserDragSelectRangeImp::StartDragSelection(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid != nullptr ? pGrid->GetParam() : nullptr;
    if (pParam == nullptr)
        return FALSE;
    CGXGridCore::DragSelectState& state = pGrid->m_dragSelect;
    state.nDropRow = std::max<ROWCOL>(nRow, 1);
    state.nDropCol = std::max<ROWCOL>(nCol, 1);
    const BOOL bCols = nRow == 0;
    const CGXRange* pBlock = FindBlock(pParam->m_SelRects, bCols, bCols ? nCol : nRow);
    if (pBlock == nullptr)
        return FALSE;
    if (bCols ? !pGrid->CanDragSelectedCols(pBlock->left, pBlock->right) : !pGrid->CanDragSelectedRows(pBlock->top, pBlock->bottom))
        return FALSE;
    state.nMode = bCols ? GX_DRAGSEL_COLS : GX_DRAGSEL_ROWS;
    state.block = *pBlock;
    pGrid->SetCursorOverride(GX_IDC_SELFRAME);
    return TRUE;
}

void CGXGridUserDragSelectRangeImp::DropPositionAt(CGXGridCore* pGrid, int nMode, CPoint pt, ROWCOL& nRow, ROWCOL& nCol)
{
    nRow = nCol = 0;
    CRect rect;
    pGrid->GetGridRect(&rect);
    pt.x = std::clamp<LONG>(pt.x, rect.left, std::max<LONG>(rect.left, rect.right - 1));
    pt.y = std::clamp<LONG>(pt.y, rect.top, std::max<LONG>(rect.top, rect.bottom - 1));
    if (nMode == GX_DRAGSEL_ROWS) {
        const ROWCOL nCount = pGrid->GetRowCount();
        const ROWCOL nClient = pGrid->CalcClientRowFromPt(pt);
        ROWCOL n = nClient == GX_INVALID ? nCount + 1 : pGrid->ClientRowToRow(std::max<ROWCOL>(nClient, 1));
        if (n == GX_INVALID || n > nCount + 1)
            n = nCount + 1;
        nRow = std::max<ROWCOL>(n, pGrid->GetHeaderRows() + 1);
    } else if (nMode == GX_DRAGSEL_COLS) {
        const ROWCOL nCount = pGrid->GetColCount();
        const ROWCOL nClient = pGrid->CalcClientColFromPt(pt);
        ROWCOL n = nClient == GX_INVALID ? nCount + 1 : pGrid->ClientColToCol(std::max<ROWCOL>(nClient, 1));
        if (n == GX_INVALID || n > nCount + 1)
            n = nCount + 1;
        nCol = std::max<ROWCOL>(n, pGrid->GetHeaderCols() + 1);
    }
}

BOOL CGXGridUserDragSelectRangeImp::DragMouseMove(CGXGridCore* pGrid, CPoint pt)
{
    if (pGrid == nullptr || !pGrid->m_dragSelect.bDragging)
        return FALSE;
    ROWCOL nRow, nCol;
    DropPositionAt(pGrid, pGrid->m_dragSelect.nMode, pt, nRow, nCol);
    pGrid->DragSelectTrack(nRow, nCol, FALSE, 0);
    return TRUE;
}

BOOL CGXGridUserDragSelectRangeImp::DragButtonUp(CGXGridCore* pGrid, CPoint pt)
{
    if (pGrid == nullptr || !pGrid->m_dragSelect.bDragging)
        return FALSE;
    HWND hWnd = GridHwnd(pGrid);
    if (hWnd != nullptr && ::GetCapture() == hWnd)
        ::ReleaseCapture();
    ROWCOL nRow, nCol, nNewRow = 0, nNewCol = 0;
    DropPositionAt(pGrid, pGrid->m_dragSelect.nMode, pt, nRow, nCol);
    const BOOL bMoved = pGrid->DragSelectDrop(nRow, nCol, nNewRow, nNewCol);
    pGrid->m_dragSelect = CGXGridCore::DragSelectState();
    return bMoved;
}

BOOL CGXGridUserDragSelectRangeImp::MoveDragMarker(CGXGridCore* pGrid, ROWCOL, ROWCOL, ROWCOL nDropRow, ROWCOL nDropCol)
{
    CGXGridCore::DragSelectState& state = pGrid->m_dragSelect;
    if (state.nMode == 0)
        return FALSE;
    const BOOL bRows = state.nMode == GX_DRAGSEL_ROWS;
    if (bRows ? nDropRow == state.nDropRow : nDropCol == state.nDropCol)
        return TRUE;
    if (CGXDragLineWnd* pLine = pGrid->GetDragLineWnd(FALSE); pLine != nullptr && pLine->GetSafeHwnd() != nullptr)
        pLine->ShowWindow(SW_HIDE);
    state.nDropRow = std::max<ROWCOL>(nDropRow, 1);
    state.nDropCol = std::max<ROWCOL>(nDropCol, 1);
    const ROWCOL nFirst = bRows ? state.block.top : state.block.left, nLast = bRows ? state.block.bottom : state.block.right;
    const ROWCOL nDrop = bRows ? state.nDropRow : state.nDropCol;
    if (bRows ? !pGrid->CanDropSelectedRows(nFirst, nLast, nDrop) : !pGrid->CanDropSelectedCols(nFirst, nLast, nDrop)) {
        pGrid->SetCursorOverride(GX_IDC_NODROP);
        return FALSE;
    }
    pGrid->SetCursorOverride(GX_IDC_SELFRAME);
    HWND hWnd = GridHwnd(pGrid);
    if (hWnd == nullptr)
        return TRUE;
    // The cells under the old marker are drawn before the marker shows again.
    ::UpdateWindow(hWnd);
    CGXDragLineWnd* pLine = pGrid->GetDragLineWnd(TRUE);
    if (pLine == nullptr)
        return TRUE;
    const CGXProperties* pProps = pGrid->GetParam()->GetProperties();
    pLine->m_pen = CGXPen(GX_PS_SOLID, 1, pProps != nullptr ? pProps->GetColor(GX_COLOR_DRAGGINGLINE) : RGB(0, 0, 0));
    pLine->m_nDirection = bRows ? 2 : 1;
    pLine->m_nLineFlags = 0;
    // The boundary before the drop: the top (left) edge of its row (column) on the screen,
    // or the bottom (right) edge of the last one.
    const ROWCOL nCount = bRows ? pGrid->GetRowCount() : pGrid->GetColCount();
    ROWCOL nClient = nDrop > nCount ? (bRows ? pGrid->RowToClientRow(nCount) : pGrid->ColToClientCol(nCount))
                                    : (bRows ? pGrid->RowToClientRow(nDrop) : pGrid->ColToClientCol(nDrop));
    if (nClient == 0 || nClient == GX_INVALID)
        return TRUE; // scrolled out of view: no marker
    if (nDrop > nCount)
        ++nClient;
    pLine->m_nClientIndex = nClient;
    CRect rect = pGrid->CalcMarkerLineRect(bRows ? 2 : 1, nClient);
    if (rect.IsRectEmpty())
        return TRUE;
    // Three pixels across, the grid line and one on each side of it: a one-pixel marker on the
    // grid line only darkens a line already there, and the user sees no drop place.
    if (bRows)
        rect.InflateRect(0, kDropMarkerHalf);
    else
        rect.InflateRect(kDropMarkerHalf, 0);
    pLine->MoveWindow(&rect, FALSE);
    pLine->ShowWindow(SW_SHOWNA);
    pLine->Invalidate(FALSE);
    return TRUE;
}

void CGXGridUserDragSelectRangeImp::EndFeedback(CGXGridCore* pGrid)
{
    pGrid->SetCursorOverride(0);
    pGrid->DestroyDragLineWnd();
}

BOOL CGXGridUserDragSelectRangeImp::DropSelection(CGXGridCore* pGrid, ROWCOL, ROWCOL, ROWCOL nDropRow, ROWCOL nDropCol)
{
    // The drag is over whatever the drop does.
    const CGXGridCore::DragSelectState state = pGrid->m_dragSelect;
    pGrid->m_dragSelect.nMode = 0;
    EndFeedback(pGrid);
    if (state.nMode == 0)
        return FALSE;
    const BOOL bRows = state.nMode == GX_DRAGSEL_ROWS;
    const ROWCOL nDrop = bRows ? nDropRow : nDropCol;
    if (nDrop == 0)
        return FALSE;
    const ROWCOL nFirst = bRows ? state.block.top : state.block.left, nLast = bRows ? state.block.bottom : state.block.right;
    const BOOL bAgreed = bRows ? pGrid->CanDropSelectedRows(nFirst, nLast, nDrop) && pGrid->OnMoveSelectedRows(nFirst, nLast, nDrop)
                               : pGrid->CanDropSelectedCols(nFirst, nLast, nDrop) && pGrid->OnMoveSelectedCols(nFirst, nLast, nDrop);
    if (!bAgreed)
        return FALSE;
    // On the block itself or just below (right of) it the block would stay where it is.
    if (nDrop >= nFirst && nDrop <= nLast + 1)
        return FALSE;
    const ROWCOL nDest = DestinationFor(nFirst, nLast, nDrop);
    // The move's own answer: a refused or failed move is no drop.
    return bRows ? pGrid->MoveRows(nFirst, nLast, nDest, GX_UPDATENOW) : pGrid->MoveCols(nFirst, nLast, nDest, GX_UPDATENOW);
}

void CGXGridUserDragSelectRangeImp::CancelDrag(CGXGridCore* pGrid)
{
    EndFeedback(pGrid);
    pGrid->m_dragSelect = CGXGridCore::DragSelectState();
}

BOOL CGXGridUserDragSelectRangeImp::DragSelectStart(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol)
{
    return StartDragSelection(pGrid, nRow, nCol);
}

BOOL CGXGridUserDragSelectRangeImp::DragSelectTrack(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bEnd, UINT)
{
    if (bEnd) {
        ROWCOL nNewRow = 0, nNewCol = 0;
        return DragSelectDrop(pGrid, nRow, nCol, nNewRow, nNewCol);
    }
    const CGXRange& block = pGrid->m_dragSelect.block;
    return MoveDragMarker(pGrid, block.top, block.left, nRow, nCol);
}

BOOL CGXGridUserDragSelectRangeImp::DragSelectDrop(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, ROWCOL& nNewRow, ROWCOL& nNewCol)
{
    const CGXGridCore::DragSelectState state = pGrid->m_dragSelect;
    if (!DropSelection(pGrid, state.block.top, state.block.left, nRow, nCol))
        return FALSE;
    // Where the block's first row (column) went.
    nNewRow = state.nMode == GX_DRAGSEL_ROWS ? DestinationFor(state.block.top, state.block.bottom, nRow) : 0;
    nNewCol = state.nMode == GX_DRAGSEL_COLS ? DestinationFor(state.block.left, state.block.right, nCol) : 0;
    return TRUE;
}

BOOL CGXGridUserDragSelectRangeImp::DragSelectCancel(CGXGridCore* pGrid)
{
    CancelDrag(pGrid);
    return TRUE;
}
