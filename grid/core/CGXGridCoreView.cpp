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

BOOL CGXGridCore::ScrollByDirection(int, UINT)
{
    // FIXME: comes with the scrolling of the window.
    return FALSE;
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

BOOL CGXGridCore::HandleSysColorChange()
{
    GXGetSysData()->Refresh();
    Redraw(GX_INVALIDATE, FALSE);
    return FALSE;
}

