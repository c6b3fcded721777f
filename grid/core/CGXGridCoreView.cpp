// The engine's operations on what the window shows: scrolling, the current cell, drawing,
// mouse and keys. They keep the engine's state sound now; the window side (geometry, painting,
// scroll bars, hit tests, cell activation) is marked where it is still to come.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/data/CGXProperties.h"
#include "grid/data/CGXRangeList.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CWnd.h"

#include <algorithm>

// ---- Scrolling ----

void CGXGridCore::SetTopRow(ROWCOL nRow, UINT, BOOL bCreateHint)
{
    // Rows above the frozen ones never scroll; a row past the last stays at the last.
    const ROWCOL nFirst = GetFrozenRows() + 1;
    const ROWCOL nLast = std::max(GetRowCount(), nFirst);
    nRow = std::clamp(nRow, nFirst, nLast);
    if (nRow == m_nTopRow || !OnTopRowChange(nRow))
        return;
    m_nTopRow = nRow;
    // FIXME: scroll the window's pixels and repaint the uncovered strip once the grid paints.
    OnTopRowChanged();
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintSetTopRow(this, nRow, GX_UPDATENOW);
}

void CGXGridCore::SetLeftCol(ROWCOL nCol, UINT, BOOL bCreateHint)
{
    const ROWCOL nFirst = GetFrozenCols() + 1;
    const ROWCOL nLast = std::max(GetColCount(), nFirst);
    nCol = std::clamp(nCol, nFirst, nLast);
    if (nCol == m_nLeftCol || !OnLeftColChange(nCol))
        return;
    m_nLeftCol = nCol;
    // FIXME: scroll the window's pixels once the grid paints.
    OnLeftColChanged();
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintSetLeftCol(this, nCol, GX_UPDATENOW);
}

BOOL CGXGridCore::ScrollCellInView(ROWCOL nRow, ROWCOL nCol, UINT nFlags, BOOL)
{
    // FIXME: without row heights and the window's size the last visible row is unknown; until
    // geometry exists a cell above or left of the scrolled area becomes its first.
    if (nRow == 0 || nCol == 0 || nRow > GetRowCount() || nCol > GetColCount())
        return FALSE;
    if (nRow > GetFrozenRows() && nRow < m_nTopRow)
        SetTopRow(nRow, nFlags, TRUE);
    if (nCol > GetFrozenCols() && nCol < m_nLeftCol)
        SetLeftCol(nCol, nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::DoScroll(int, ROWCOL)
{
    // FIXME: scrolling by direction comes with the scrolling and geometry of the window.
    return FALSE;
}

void CGXGridCore::UpdateScrollbars(BOOL, BOOL)
{
    // FIXME: the scroll bars' ranges come with the scrolling of the window.
}

void CGXGridCore::SetScrollBarMode(int, int, BOOL)
{
    // FIXME: scroll-bar modes come with the scrolling of the window.
}

BOOL CGXGridCore::Scroll(UINT, UINT)
{
    // FIXME: scroll-bar codes come with the scrolling of the window.
    return FALSE;
}

BOOL CGXGridCore::OnLeftColChange(ROWCOL)
{
    return TRUE;
}

BOOL CGXGridCore::OnTopRowChange(ROWCOL)
{
    return TRUE;
}

void CGXGridCore::OnLeftColChanged() {}

void CGXGridCore::OnTopRowChanged() {}

void CGXGridCore::SetScrollPos(int, int, BOOL)
{
    // FIXME: comes with the scrolling of the window.
}

void CGXGridCore::SetScrollRange(int, int, int, BOOL)
{
    // FIXME: comes with the scrolling of the window.
}

int CGXGridCore::GetScrollPos(int)
{
    // FIXME: comes with the scrolling of the window.
    return 0;
}

void CGXGridCore::GetScrollRange(int, LPINT lpMinPos, LPINT lpMaxPos)
{
    // FIXME: comes with the scrolling of the window.
    if (lpMinPos != nullptr)
        *lpMinPos = 0;
    if (lpMaxPos != nullptr)
        *lpMaxPos = 0;
}

// ---- Current cell ----

BOOL CGXGridCore::SetCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT nFlags)
{
    if (m_pParam == nullptr || nRow == 0 || nCol == 0 || nRow > GetRowCount() || nCol > GetColCount())
        return FALSE;
    CGXStyle* pStyle = CreateStyle();
    ComposeCellStyle(nRow, nCol, *pStyle);
    // A disabled cell cannot become current.
    const BOOL bDisabled = pStyle->GetInclude(GX_INCL_ENABLED) && !pStyle->GetEnabled();
    RecycleStyle(pStyle);
    if (bDisabled)
        return FALSE;
    if (m_bCurrentCell && !CanLeaveOrEnterCell(m_nCurrentRow, m_nCurrentCol, FALSE))
        return FALSE;
    if (!CanLeaveOrEnterCell(nRow, nCol, TRUE))
        return FALSE;
    if (m_pCurrentCellControl != nullptr)
        m_pCurrentCellControl->Reset();
    m_nCurrentRow = nRow;
    m_nCurrentCol = nCol;
    m_bCurrentCell = TRUE;
    m_pParam->m_nCurrentRow = nRow;
    m_pParam->m_nCurrentCol = nCol;
    m_pCurrentCellControl = GetControl(nRow, nCol);
    if (m_pCurrentCellControl != nullptr)
        m_pCurrentCellControl->Init(nRow, nCol);
    // FIXME: drawing the current cell's frame and activating its control come with painting.
    OnCellEntered(nRow, nCol);
    if (HintsWanted(TRUE))
        m_pUpdateHintImp->HintSetCurrentCell(this, nRow, nCol, nFlags);
    return TRUE;
}

BOOL CGXGridCore::SyncCurrentCell(BOOL bStore, UINT, BOOL bResetEdit)
{
    if (!m_bCurrentCell || m_pCurrentCellControl == nullptr)
        return TRUE;
    BOOL bResult = TRUE;
    if (bStore && m_pCurrentCellControl->GetModify())
        bResult = m_pCurrentCellControl->OnValidate() && m_pCurrentCellControl->Store();
    if (bResult && bResetEdit)
        m_pCurrentCellControl->ResetEdit();
    return bResult;
}

BOOL CGXGridCore::FindNextCell(int, ROWCOL&, ROWCOL&)
{
    // FIXME: navigation by direction comes with keyboard handling.
    return FALSE;
}

BOOL CGXGridCore::RouteKeyMessage(UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // The current cell's control has the first chance at every key.
    return m_bCurrentCell && m_pCurrentCellControl != nullptr && m_pCurrentCellControl->KeyPressed(nMessage, nChar, nRepCnt, nFlags);
}

BOOL CGXGridCore::MoveCurrentCell(int, UINT, BOOL)
{
    // FIXME: moving by direction comes with keyboard handling.
    return FALSE;
}

BOOL CGXGridCore::EndCurrentCellEdit()
{
    return SyncCurrentCell(TRUE, GX_UPDATENOW, TRUE);
}

void CGXGridCore::RefreshCurrentCell(BOOL bCreateHint)
{
    if (m_bCurrentCell && m_pCurrentCellControl != nullptr)
        m_pCurrentCellControl->Refresh();
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintRefreshCurrentCell(this, TRUE);
}

void CGXGridCore::ShowWarningText(ROWCOL, ROWCOL)
{
    // FIXME: the warning's message box comes with cell activation.
}

BOOL CGXGridCore::MoveCurrentCellEx(int, UINT)
{
    // FIXME: comes with keyboard handling.
    return FALSE;
}

BOOL CGXGridCore::CanLeaveOrEnterCell(ROWCOL, ROWCOL, BOOL)
{
    return TRUE;
}

void CGXGridCore::OnCellEntered(ROWCOL, ROWCOL) {}

BOOL CGXGridCore::ScrollByDirection(int, UINT)
{
    // FIXME: comes with the scrolling of the window.
    return FALSE;
}

BOOL CGXGridCore::SelectRangeByClick(ROWCOL, ROWCOL, UINT)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

BOOL CGXGridCore::HandleCellDblClick(ROWCOL, ROWCOL, UINT)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

BOOL CGXGridCore::OnLButtonClickedRowCol(ROWCOL, ROWCOL, UINT, CPoint)
{
    return TRUE;
}

BOOL CGXGridCore::OnMButtonClickedRowCol(ROWCOL, ROWCOL, UINT, CPoint)
{
    return TRUE;
}

BOOL CGXGridCore::OnRButtonClickedRowCol(ROWCOL, ROWCOL, UINT, CPoint)
{
    return TRUE;
}

// ---- Redraw, printing hooks, paint ----

void CGXGridCore::RedrawRange(const CGXRange& range, UINT nFlags, BOOL bCreateHint)
{
    // FIXME: invalidates the range's rectangle once the grid has geometry; the whole window
    // until then.
    if (nFlags != 0 && m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
        m_pGridWnd->Invalidate(FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintRedrawRange(this, range, nFlags);
}

void CGXGridCore::Redraw(UINT nFlags, BOOL bCreateHint)
{
    if (nFlags != 0 && m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr) {
        m_pGridWnd->Invalidate(FALSE);
        if (nFlags & GX_UPDATENOW)
            m_pGridWnd->UpdateWindow();
    }
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintRedraw(this, nFlags);
}

void CGXGridCore::ApplyPrintMargins(CDC*, CPrintInfo*)
{
    // FIXME: the print information record comes with printing.
}

void CGXGridCore::OnGridBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_pPrintImp != nullptr)
        m_pPrintImp->OnGridBeginPrinting(this, pDC, pInfo);
}

void CGXGridCore::OnGridEndPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_pPrintImp != nullptr)
        m_pPrintImp->OnGridEndPrinting(this, pDC, pInfo);
}

void CGXGridCore::OnGridPrint(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_pPrintImp != nullptr)
        m_pPrintImp->OnGridPrint(this, pDC, pInfo);
}

void CGXGridCore::DrawCellWithControl(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect, const CGXStyle& style)
{
    CGXControl* pControl = GetControlById(style.GetControl());
    if (pControl == nullptr)
        return;
    ROWCOL nCurRow, nCurCol;
    if (nRow != 0 && nCol != 0 && GetCurrentCell(nCurRow, nCurCol) && nCurRow == nRow && nCurCol == nCol &&
        !pControl->IsInitFor(nRow, nCol))
        pControl->Init(nRow, nCol);
    pControl->Draw(pDC, rect, nRow, nCol, style, m_pStyleStandard);
}

void CGXGridCore::MarkEditHeader(ROWCOL nRow, ROWCOL nCol, BOOL bMark, UINT nFlags)
{
    if (m_pMarkEditHeaderImp != nullptr)
        m_pMarkEditHeaderImp->MarkEditHeader(this, nRow, nCol, bMark, nFlags);
}

// ---- Window messages and keys ----

BOOL CGXGridCore::HandleSize(UINT, int, int)
{
    // FIXME: comes with the grid window's events.
    return FALSE;
}

BOOL CGXGridCore::HandleVScroll(UINT nSBCode, UINT nPos)
{
    return Scroll(nSBCode, nPos);
}

BOOL CGXGridCore::HandleHScroll(UINT nSBCode, UINT nPos)
{
    return Scroll(nSBCode, nPos);
}

BOOL CGXGridCore::HandleMouseMove(UINT, CPoint)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

BOOL CGXGridCore::HandleLButtonDown(UINT, CPoint)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

BOOL CGXGridCore::HandleLButtonUp(UINT, CPoint)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

BOOL CGXGridCore::HandleLButtonDblClk(UINT, CPoint)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

BOOL CGXGridCore::HandleSysColorChange()
{
    GXGetSysData()->Refresh();
    Redraw(GX_INVALIDATE, FALSE);
    return FALSE;
}

BOOL CGXGridCore::HandleKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // A derived grid first, then the current cell's control.
    if (OnGridKeyDown(nChar, nRepCnt, nFlags))
        return TRUE;
    // FIXME: the grid's own navigation keys come with keyboard handling.
    return RouteKeyMessage(WM_KEYDOWN, nChar, nRepCnt, nFlags);
}

BOOL CGXGridCore::HandleChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (OnGridChar(nChar, nRepCnt, nFlags))
        return TRUE;
    return RouteKeyMessage(WM_CHAR, nChar, nRepCnt, nFlags);
}
