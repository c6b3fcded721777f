// The mouse: a press is classified by the hit test and offered to the features and the cell's
// control in turn; a press on a cell starts a drag with the capture held, whose moves and
// release are reported to the button's cell-click operation until the button comes up.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridAssistant.h"
#include "grid/core/CGXGridCore.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

#include <algorithm>

namespace {
// Hit kinds of the hit test.
constexpr int kHitCell = 3;
constexpr int kHitHeader = 4;
constexpr int kHitSelectionEdge = 5;
constexpr int kHitFillHandle = 6;

BOOL IsCellHit(int nHit)
{
    return nHit == kHitCell || nHit == kHitHeader;
}
} // namespace

CWnd* CGXGridCore::CaptureMouse()
{
    if (m_pGridWnd == nullptr || m_pGridWnd->GetSafeHwnd() == nullptr)
        return nullptr;
    return CWnd::FromHandle(::SetCapture(m_pGridWnd->GetSafeHwnd()));
}

namespace {
BOOL HoldsCapture(CWnd* pWnd)
{
    return pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr && GetCapture() == pWnd->GetSafeHwnd();
}
} // namespace

BOOL CGXGridCore::OnSelectionFramePress(UINT nFlags, CPoint pt, ROWCOL nRow, ROWCOL nCol)
{
    return m_pFramePressImp != nullptr && m_pFramePressImp->OnFramePress(this, nFlags, pt, nRow, nCol);
}

BOOL CGXGridCore::BeginButtonPress(UINT nFlags, CPoint point, UINT nOtherButtons, int& nHit, ROWCOL& nRow, ROWCOL& nCol)
{
    nHit = 0;
    nRow = nCol = 0;
    if (!m_bInitDone)
        return FALSE;
    m_bMousePressed = TRUE;
    m_nButtonFlags = nFlags;
    if (HoldsCapture(m_pGridWnd) || (nFlags & nOtherButtons) != 0) {
        // A second button cancels what the first started.
        if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
            ::SendMessage(m_pGridWnd->GetSafeHwnd(), WM_CANCELMODE, 0, 0);
        HandleCancelMode();
        return FALSE;
    }
    if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
        m_pGridWnd->UpdateWindow();
    nHit = HitTest(point, &nRow, &nCol);
    return TRUE;
}

BOOL CGXGridCore::ReportClick(UINT nButton, ROWCOL nRow, ROWCOL nCol, UINT nFlags, CPoint pt, UINT nHitState)
{
    switch (nButton) {
    case MK_MBUTTON: return OnMButtonClickedRowCol(nRow, nCol, m_nMouseStartRow, m_nMouseStartCol, nFlags, pt, nHitState);
    case MK_RBUTTON: return OnRButtonClickedRowCol(nRow, nCol, m_nMouseStartRow, m_nMouseStartCol, nFlags, pt, nHitState);
    default: return OnLButtonClickedRowCol(nRow, nCol, m_nMouseStartRow, m_nMouseStartCol, nFlags, pt, nHitState);
    }
}

BOOL CGXGridCore::ButtonDown(UINT nButton, UINT nFlags, CPoint point)
{
    const UINT nOthers = nButton == MK_LBUTTON ? (MK_RBUTTON | MK_MBUTTON)
                         : nButton == MK_MBUTTON ? (MK_LBUTTON | MK_RBUTTON)
                                                 : (MK_LBUTTON | MK_MBUTTON);
    int nHit;
    ROWCOL nRow, nCol;
    if (!BeginButtonPress(nFlags, point, nOthers, nHit, nRow, nCol))
        return FALSE;
    auto* pResize = dynamic_cast<CGXAbstractGridUserResizeCellsImp*>(m_pUserResizeCellsImp);
    BOOL bAutoScroll = FALSE;
    if (nButton == MK_LBUTTON) {
        if (nHit == kHitSelectionEdge) {
            // With the switch on, the frame-press feature may take a press on a selection's
            // edge (made on the covered range's top-left cell); else it is a press on the cell.
            if (m_bClickOnSelectionFrame) {
                ROWCOL nFrameRow = nRow, nFrameCol = nCol;
                CGXRange covered;
                if (FindCoveredSpan(nRow, nCol, covered) != nullptr) {
                    nFrameRow = covered.top;
                    nFrameCol = covered.left;
                }
                if (OnSelectionFramePress(nFlags, point, nFrameRow, nFrameCol))
                    return TRUE;
            }
            nHit = kHitCell;
        }
        if (nHit == kHitFillHandle) {
            if (m_pParam != nullptr && m_pParam->m_bFillHandle && m_pExcelLikeFillImp != nullptr)
                OnFillHandle(nRow, nCol);
            if (!HoldsCapture(m_pGridWnd) && m_nMouseFlags != 0) {
                RequestDragAutoScroll(nRow, nCol);
                CaptureMouse();
            }
            return TRUE;
        }
        if (!IsCellHit(nHit))
            return pResize != nullptr && pResize->StartTrackingOnHit(this, nFlags, point, nHit, nRow, nCol);
        if (nRow != 0 || nCol != 0) {
            if (m_pUserDragSelectRangeImp != nullptr && m_pUserDragSelectRangeImp->StartDragOnHeader(this, nFlags, point, nRow, nCol))
                return TRUE;
            bAutoScroll = TRUE;
        }
    } else if (!IsCellHit(nHit)) {
        return FALSE;
    }

    m_nMouseFlags = GX_MOUSE_DRAG;
    m_nMouseStartRow = nRow;
    m_nMouseStartCol = nCol;
    ROWCOL nTestRow = nRow, nTestCol = nCol;
    CGXRange covered;
    if (FindCoveredSpan(nRow, nCol, covered) != nullptr) {
        nTestRow = covered.top;
        nTestCol = covered.left;
    }
    if (IsCurrentCell(nTestRow, nTestCol)) {
        CGXControl* pControl = GetControl(nTestRow, nTestCol);
        if (nButton != MK_LBUTTON || (pControl != nullptr && pControl->IsInit()))
            m_nMouseFlags |= GX_MOUSE_CURRENT;
    }
    if ((nFlags & MK_CONTROL) && (nRow != 0 || nCol != 0))
        m_nMouseFlags |= GX_MOUSE_CTRL;
    if (nButton == MK_LBUTTON && m_pUserSelectRangeImp != nullptr)
        m_pUserSelectRangeImp->OnButtonDown(this, nFlags, point, nHit, nRow, nCol);
    m_nMouseLastRow = nRow;
    m_nMouseLastCol = nCol;
    if (!ReportClick(nButton, nRow, nCol, nFlags, point, m_nMouseFlags | GX_HITSTART | GX_HITINSTART)) {
        m_nMouseFlags = 0;
        if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
            ::SendMessage(m_pGridWnd->GetSafeHwnd(), WM_CANCELMODE, 0, 0);
        return TRUE;
    }
    if (!HoldsCapture(m_pGridWnd) && m_nMouseFlags != 0) {
        // A drag past the edge of the scrolled area scrolls on by itself.
        if (bAutoScroll)
            RequestDragAutoScroll(nRow, nCol);
        CaptureMouse();
    }
    return TRUE;
}

void CGXGridCore::RequestDragAutoScroll(ROWCOL nRow, ROWCOL nCol)
{
    // Only with the auto-scroll plug-in, and only along what scrolls: not from a header or a
    // frozen row or column.
    if (m_pAutoScrollPlugin == nullptr)
        return;
    StartAutoScroll(FALSE, nRow != 0 && nRow > GetFrozenRows(), nCol != 0 && nCol > GetFrozenCols());
}

BOOL CGXGridCore::HandleLButtonDown(UINT nFlags, CPoint point)
{
    return ButtonDown(MK_LBUTTON, nFlags, point);
}

BOOL CGXGridCore::HandleMButtonDown(UINT nFlags, CPoint point)
{
    return ButtonDown(MK_MBUTTON, nFlags, point);
}

BOOL CGXGridCore::HandleRButtonDown(UINT nFlags, CPoint point)
{
    return ButtonDown(MK_RBUTTON, nFlags, point);
}

BOOL CGXGridCore::HandleMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bInitDone)
        return FALSE;
    if (m_pAssistant && m_bAssistantEnabled && (m_pGridWnd == nullptr || ::GetCapture() != m_pGridWnd->GetSafeHwnd()))
        m_pAssistant->OnGridMouseMove(this, nFlags, point);
    CRect rect;
    GetGridRect(&rect);
    const CPoint ptRaw = point;
    const int nMargin = std::max(m_nFrameY, 0);
    point.x = std::clamp<LONG>(point.x, rect.left, std::max<LONG>(rect.left, rect.right - nMargin));
    point.y = std::clamp<LONG>(point.y, rect.top, std::max<LONG>(rect.top, rect.bottom - nMargin));
    auto* pResize = dynamic_cast<CGXAbstractGridUserResizeCellsImp*>(m_pUserResizeCellsImp);

    if (m_nMouseFlags == 0) {
        if (m_dragSelect.bDragging && m_pUserDragSelectRangeImp != nullptr) {
            m_pUserDragSelectRangeImp->DragMouseMove(this, point);
            return TRUE;
        }
        if (pResize != nullptr && pResize->OnTrackingMouseMove(this, ptRaw))
            return TRUE;
        if (rect.PtInRect(ptRaw) && !m_bCursorFreeze) {
            ROWCOL nRow, nCol;
            HitTest(point, &nRow, &nCol);
            nRow = std::min(nRow, GetRowCount());
            nCol = std::min(nCol, GetColCount());
            CGXRange covered;
            if (FindCoveredSpan(nRow, nCol, covered) != nullptr) {
                nRow = covered.top;
                nCol = covered.left;
            }
            CGXControl* pControl = GetControl(nRow, nCol);
            if (pControl != nullptr && pControl->MouseMove(nFlags, point, 0))
                return TRUE;
            UpdateCursor(point);
        } else {
            UpdateCursor(ptRaw);
        }
        return TRUE;
    }

    if (!HoldsCapture(m_pGridWnd))
        return FALSE;
    ROWCOL nRow, nCol;
    HitTest(point, &nRow, &nCol);
    if ((m_nMouseFlags & GX_MOUSE_FILL) && m_pExcelLikeFillImp != nullptr) {
        m_pExcelLikeFillImp->OnFillMouseMove(this, nFlags, ptRaw, nRow, nCol);
        return TRUE;
    }
    // A drag never reports a header or a row or column past the last.
    const ROWCOL nRows = GetRowCount(), nCols = GetColCount();
    nRow = std::clamp<ROWCOL>(nRow, std::min(GetHeaderRows() + 1, nRows), nRows);
    nCol = std::clamp<ROWCOL>(nCol, std::min(GetHeaderCols() + 1, nCols), nCols);
    UINT nHitState = m_nMouseFlags | GX_HITMOVE;
    if (nRow == m_nMouseStartRow && nCol == m_nMouseStartCol)
        nHitState |= GX_HITINSTART;
    else if (m_nMouseLastRow == m_nMouseStartRow && m_nMouseLastCol == m_nMouseStartCol)
        nHitState |= GX_HITLEFTSTART;
    const UINT nButton = (m_nButtonFlags & MK_LBUTTON) ? MK_LBUTTON : (m_nButtonFlags & MK_MBUTTON) ? MK_MBUTTON : MK_RBUTTON;
    ReportClick(nButton, nRow, nCol, nFlags, point, nHitState);
    if (nRow != m_nMouseLastRow || nCol != m_nMouseLastCol) {
        if (m_pUserSelectRangeImp != nullptr)
            m_pUserSelectRangeImp->OnMouseMoveToCell(this, nFlags, point, nRow, nCol);
        m_nMouseLastRow = nRow;
        m_nMouseLastCol = nCol;
    }
    return TRUE;
}

BOOL CGXGridCore::ButtonUp(UINT nButton, UINT nFlags, CPoint point)
{
    // Auto-scrolling ends at the plug-in's next tick.
    if (nButton == MK_LBUTTON)
        m_bAutoScrollStop = TRUE;
    else if (m_nMouseFlags == 0)
        return FALSE;
    if (!HoldsCapture(m_pGridWnd))
        return FALSE;
    CRect rect;
    GetGridRect(&rect);
    const int nMargin = std::max(m_nFrameY, 0);
    point.x = std::clamp<LONG>(point.x, 0, std::max<LONG>(0, rect.right - nMargin));
    point.y = std::clamp<LONG>(point.y, 0, std::max<LONG>(0, rect.bottom - nMargin));
    if (m_nMouseFlags == 0) {
        auto* pResize = dynamic_cast<CGXAbstractGridUserResizeCellsImp*>(m_pUserResizeCellsImp);
        if (nButton == MK_LBUTTON && pResize != nullptr)
            pResize->OnTrackingButtonUp(this, point);
        return TRUE;
    }
    ::ReleaseCapture();
    if (m_nMouseFlags & GX_MOUSE_FILL) {
        // Only the left button's release fills; another button's ends the drag unfilled.
        if (m_pExcelLikeFillImp != nullptr) {
            if (nButton == MK_LBUTTON)
                m_pExcelLikeFillImp->OnFillButtonUp(this, nFlags, point);
            else
                m_pExcelLikeFillImp->OnFillCancel(this);
        }
        m_nMouseFlags = 0;
        return TRUE;
    }
    if (nButton == MK_LBUTTON && m_pUserSelectRangeImp != nullptr)
        m_pUserSelectRangeImp->OnButtonUp(this, nFlags, point);
    ROWCOL nRow, nCol;
    HitTest(point, &nRow, &nCol);
    UINT nHitState = m_nMouseFlags | GX_HITEND;
    if (nRow == m_nMouseStartRow && nCol == m_nMouseStartCol)
        nHitState |= GX_HITINSTART;
    else if (m_nMouseLastRow == m_nMouseStartRow && m_nMouseLastCol == m_nMouseStartCol)
        nHitState |= GX_HITLEFTSTART;
    nRow = std::min(nRow, GetRowCount());
    nCol = std::min(nCol, GetColCount());
    // The drag is over before the report: a report that opens a message box must not find one.
    m_nMouseFlags = 0;
    ReportClick(nButton, nRow, nCol, nFlags, point, nHitState);
    return TRUE;
}

BOOL CGXGridCore::HandleLButtonUp(UINT nFlags, CPoint point)
{
    if (m_dragSelect.bDragging && m_pUserDragSelectRangeImp != nullptr) {
        m_bAutoScrollStop = TRUE;
        m_pUserDragSelectRangeImp->DragButtonUp(this, point);
        return TRUE;
    }
    return ButtonUp(MK_LBUTTON, nFlags, point);
}

BOOL CGXGridCore::HandleMButtonUp(UINT nFlags, CPoint point)
{
    return ButtonUp(MK_MBUTTON, nFlags, point);
}

BOOL CGXGridCore::HandleRButtonUp(UINT nFlags, CPoint point)
{
    return ButtonUp(MK_RBUTTON, nFlags, point);
}

BOOL CGXGridCore::HandleKeyboardContextMenu()
{
    ROWCOL nRow = 0, nCol = 0;
    if (!m_bInitDone || !GetCurrentCell(nRow, nCol))
        return FALSE;
    ScrollCellInView(nRow, nCol, GX_UPDATENOW, FALSE);
    // Below the cell's left edge, so that the menu leaves the cell it acts on in sight.
    const CRect cell = CalcCellRect(nRow, nCol);
    const CPoint pt(cell.left + std::min<LONG>(4, cell.Width() / 2), cell.bottom - 1);
    const UINT nHit = GX_MOUSE_CURRENT;
    if (OnRButtonClickedRowCol(nRow, nCol, nRow, nCol, 0, pt, nHit | GX_HITSTART))
        OnRButtonClickedRowCol(nRow, nCol, nRow, nCol, 0, pt, nHit | GX_HITEND);
    return TRUE;
}

BOOL CGXGridCore::ButtonDblClk(UINT nButton, UINT nFlags, CPoint point)
{
    const UINT nOthers = nButton == MK_LBUTTON ? (MK_RBUTTON | MK_MBUTTON)
                         : nButton == MK_MBUTTON ? (MK_LBUTTON | MK_RBUTTON)
                                                 : (MK_LBUTTON | MK_MBUTTON);
    int nHit;
    ROWCOL nRow, nCol;
    if (!BeginButtonPress(nFlags, point, nOthers, nHit, nRow, nCol))
        return FALSE;
    if (!IsCellHit(nHit)) {
        auto* pResize = dynamic_cast<CGXAbstractGridUserResizeCellsImp*>(m_pUserResizeCellsImp);
        return nButton == MK_LBUTTON && pResize != nullptr && pResize->ResetSizeOnDoubleClick(this, nFlags, point, nHit, nRow, nCol);
    }
    CGXRange covered;
    if (FindCoveredSpan(nRow, nCol, covered) != nullptr) {
        nRow = covered.top;
        nCol = covered.left;
    }
    auto boundControl = [&]() -> CGXControl* {
        if (!IsCurrentCell(nRow, nCol))
            return nullptr;
        CGXControl* pControl = GetControl(nRow, nCol);
        return pControl != nullptr && pControl->IsInitFor(nRow, nCol) ? pControl : nullptr;
    };
    if (nButton != MK_LBUTTON || boundControl() == nullptr)
        SetCurrentCell(nRow, nCol, GX_SCROLLINVIEW | GX_UPDATENOW);
    BOOL bTaken = FALSE;
    if (CGXControl* pControl = boundControl()) {
        switch (nButton) {
        case MK_MBUTTON: bTaken = pControl->MButtonDblClk(nFlags, point); break;
        case MK_RBUTTON: bTaken = pControl->RButtonDblClk(nFlags, point); break;
        default: bTaken = pControl->LButtonDblClk(nFlags, point); break;
        }
    }
    if (!bTaken) {
        switch (nButton) {
        case MK_MBUTTON: bTaken = HandleMButtonCellDblClick(nRow, nCol, nFlags); break;
        case MK_RBUTTON: bTaken = HandleRButtonCellDblClick(nRow, nCol, nFlags); break;
        default: bTaken = HandleCellDblClick(nRow, nCol, nFlags); break;
        }
    }
    // Nothing took the double click: it is a press like any other.
    if (!bTaken)
        return ButtonDown(nButton, nFlags, point);
    return TRUE;
}

BOOL CGXGridCore::HandleLButtonDblClk(UINT nFlags, CPoint point)
{
    return ButtonDblClk(MK_LBUTTON, nFlags, point);
}

BOOL CGXGridCore::HandleMButtonDblClk(UINT nFlags, CPoint point)
{
    return ButtonDblClk(MK_MBUTTON, nFlags, point);
}

BOOL CGXGridCore::HandleRButtonDblClk(UINT nFlags, CPoint point)
{
    return ButtonDblClk(MK_RBUTTON, nFlags, point);
}
