// The engine's geometry, hit-test, resize-tracking, drawing-helper, window-message and key
// operations. Row heights and column widths are read from the parameter object as stored;
// everything that needs the window's geometry or painting is marked where it is still to come.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "platform/afx/wnd/CWnd.h"

#include <algorithm>

namespace {
// Stored sizes are relative to the standard font: a pixel size p is stored as factor × p.
LONG SizeFactor(int nFontSize)
{
    return nFontSize > 0 ? std::max<LONG>(1, 1000 / nFontSize) : 1;
}
} // namespace

// ---- Row heights and column widths ----

BOOL CGXGridCore::SetRowHeight(ROWCOL, ROWCOL, int, const int*, UINT, int)
{
    // FIXME: changing heights with their undo command comes with the grid's geometry.
    return FALSE;
}

BOOL CGXGridCore::SetColWidth(ROWCOL, ROWCOL, int, const int*, UINT, int)
{
    // FIXME: changing widths with their undo command comes with the grid's geometry.
    return FALSE;
}

BOOL CGXGridCore::SetDefaultRowHeight(int, UINT, int)
{
    // FIXME: comes with the grid's geometry.
    return FALSE;
}

BOOL CGXGridCore::SetDefaultColWidth(int, UINT, int)
{
    // FIXME: comes with the grid's geometry.
    return FALSE;
}

int CGXGridCore::GetDefaultRowHeight()
{
    if (m_pParam == nullptr || m_pParam->m_nDefaultRowHeight <= 0)
        return m_dyHeight; // FIXME: the font's height with the cell margins comes with geometry
    return static_cast<int>(m_pParam->m_nDefaultRowHeight / SizeFactor(m_dyHeight));
}

int CGXGridCore::GetDefaultColWidth()
{
    if (m_pParam == nullptr || m_pParam->m_nDefaultColWidth <= 0)
        return m_dxWidth * 10; // FIXME: the width in characters comes with geometry
    return static_cast<int>(m_pParam->m_nDefaultColWidth / SizeFactor(m_dxWidth));
}

int CGXGridCore::GetRowHeight(ROWCOL nRow)
{
    if (IsRowHidden(nRow))
        return 0;
    LONG nStored = 0;
    if (m_pParam != nullptr && m_pParam->m_RowHeights.Lookup(nRow, nStored))
        return static_cast<int>(nStored / SizeFactor(m_dyHeight));
    return GetDefaultRowHeight();
}

int CGXGridCore::GetColWidth(ROWCOL nCol)
{
    if (IsColHidden(nCol))
        return 0;
    LONG nStored = 0;
    if (m_pParam != nullptr && m_pParam->m_ColWidths.Lookup(nCol, nStored))
        return static_cast<int>(nStored / SizeFactor(m_dxWidth));
    return GetDefaultColWidth();
}

BOOL CGXGridCore::StoreDefaultRowHeight(int nHeight)
{
    if (m_pParam == nullptr || nHeight < 0)
        return FALSE;
    m_pParam->m_nDefaultRowHeight = nHeight * SizeFactor(m_dyHeight);
    return TRUE;
}

BOOL CGXGridCore::StoreDefaultColWidth(int nWidth)
{
    if (m_pParam == nullptr || nWidth < 0)
        return FALSE;
    m_pParam->m_nDefaultColWidth = nWidth * SizeFactor(m_dxWidth);
    return TRUE;
}

BOOL CGXGridCore::StoreColWidth(ROWCOL nCol, int nWidth)
{
    if (m_pParam == nullptr || nWidth < 0)
        return FALSE;
    m_pParam->m_ColWidths[nCol] = nWidth * SizeFactor(m_dxWidth);
    return TRUE;
}

BOOL CGXGridCore::StoreRowHeight(ROWCOL nRow, int nHeight)
{
    if (m_pParam == nullptr || nHeight < 0)
        return FALSE;
    m_pParam->m_RowHeights[nRow] = nHeight * SizeFactor(m_dyHeight);
    return TRUE;
}

void CGXGridCore::UpdateChangedColWidths(ROWCOL nFromCol, ROWCOL nToCol, const int*, UINT nFlags, BOOL)
{
    // FIXME: scrolls the columns right of the change and sends hint 6 once geometry exists.
    RedrawRange(CGXRange().SetCols(nFromCol, nToCol), nFlags, FALSE);
}

void CGXGridCore::UpdateChangedRowHeights(ROWCOL nFromRow, ROWCOL nToRow, const int*, UINT nFlags, BOOL)
{
    // FIXME: scrolls the rows below the change and sends hint 5 once geometry exists.
    RedrawRange(CGXRange().SetRows(nFromRow, nToRow), nFlags, FALSE);
}

int CGXGridCore::HitTest(CPoint, ROWCOL* pRow, ROWCOL* pCol, CRect* pRectHit)
{
    // FIXME: hit testing comes with the grid's geometry; until then nothing is hit.
    if (pRow != nullptr)
        *pRow = 0;
    if (pCol != nullptr)
        *pCol = 0;
    if (pRectHit != nullptr)
        pRectHit->SetRectEmpty();
    return 0;
}

int CGXGridCore::HitTestSelectionFrame(CPoint, ROWCOL* pRow, ROWCOL* pCol)
{
    // FIXME: the frame's edges come with the selection-frame feature and geometry.
    if (pRow != nullptr)
        *pRow = 0;
    if (pCol != nullptr)
        *pCol = 0;
    return 0;
}

BOOL CGXGridCore::StartResizeTracking(CPoint, int, ROWCOL)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

void CGXGridCore::MoveResizeTracking(CPoint) {}

BOOL CGXGridCore::EndResizeTracking(CPoint)
{
    CancelResizeTracking();
    return FALSE;
}

void CGXGridCore::CancelResizeTracking()
{
    m_bTracking = FALSE;
    m_nTrackingMode = 0;
}

BOOL CGXGridCore::CanResizeRow(ROWCOL)
{
    return TRUE;
}

BOOL CGXGridCore::OnStartTracking(ROWCOL, ROWCOL, int)
{
    return TRUE;
}

BOOL CGXGridCore::OnMoveTracking(ROWCOL, ROWCOL, int, int)
{
    return TRUE;
}

BOOL CGXGridCore::OnEndTracking(ROWCOL, ROWCOL, int, int)
{
    return TRUE;
}

BOOL CGXGridCore::CanResizeCol(ROWCOL)
{
    return TRUE;
}

BOOL CGXGridCore::OnStartTrackingCol(ROWCOL)
{
    return TRUE;
}

BOOL CGXGridCore::OnMoveTrackingCol(ROWCOL, int)
{
    return TRUE;
}

BOOL CGXGridCore::OnEndTrackingCol(ROWCOL, int)
{
    return TRUE;
}

// ---- Private messages ----

LRESULT CGXGridCore::OnGridMessage(UINT, WPARAM, LPARAM)
{
    // FIXME: the grid window's private messages come with the grid window.
    return 0;
}

LRESULT CGXGridCore::OnSizeLockMessage(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CGXGridCore::OnPropertyMessage(WPARAM, LPARAM)
{
    if (HintsWanted(TRUE))
        m_pUpdateHintImp->HintUpdateProperty(this);
    return 0;
}

LRESULT CGXGridCore::OnCellCommandMessage(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CGXGridCore::OnDeferredMessage(WPARAM, LPARAM)
{
    return 0;
}

// ---- Cell events: hooks a derived grid answers ----

BOOL CGXGridCore::OnActivateGrid(BOOL)
{
    return TRUE;
}

BOOL CGXGridCore::OnStartEditing(ROWCOL, ROWCOL)
{
    return TRUE;
}

void CGXGridCore::OnModifyCell(ROWCOL, ROWCOL) {}

BOOL CGXGridCore::OnValidateCell(ROWCOL, ROWCOL)
{
    return TRUE;
}

void CGXGridCore::OnCanceledEditing(ROWCOL, ROWCOL) {}

BOOL CGXGridCore::OnEndEditing(ROWCOL, ROWCOL)
{
    return TRUE;
}

void CGXGridCore::OnClickedButtonRowCol(ROWCOL, ROWCOL) {}

BOOL CGXGridCore::OnLeftCell(ROWCOL, ROWCOL, ROWCOL, ROWCOL)
{
    return TRUE;
}

void CGXGridCore::OnInitCurrentCell(ROWCOL, ROWCOL) {}

// ---- Drawing helpers ----

CRect CGXGridCore::SubtractBorders(const CRect& rect, const CGXStyle& style, BOOL)
{
    CRect inner = rect;
    if (style.HasBorder(0))
        inner.left += std::max<int>(1, style.GetBorders(0).GetWidth());
    if (style.HasBorder(1))
        inner.right -= std::max<int>(1, style.GetBorders(1).GetWidth());
    if (style.HasBorder(2))
        inner.top += std::max<int>(1, style.GetBorders(2).GetWidth());
    if (style.HasBorder(3))
        inner.bottom -= std::max<int>(1, style.GetBorders(3).GetWidth());
    if (inner.right < inner.left)
        inner.right = inner.left;
    if (inner.bottom < inner.top)
        inner.bottom = inner.top;
    return inner;
}

CRect CGXGridCore::AddBorders(const CRect& rect, const CGXStyle& style, BOOL)
{
    CRect outer = rect;
    if (style.HasBorder(0))
        outer.left -= std::max<int>(1, style.GetBorders(0).GetWidth());
    if (style.HasBorder(1))
        outer.right += std::max<int>(1, style.GetBorders(1).GetWidth());
    if (style.HasBorder(2))
        outer.top -= std::max<int>(1, style.GetBorders(2).GetWidth());
    if (style.HasBorder(3))
        outer.bottom += std::max<int>(1, style.GetBorders(3).GetWidth());
    return outer;
}

void CGXGridCore::UpdatePrintTokens(CDC*, CPrintInfo* pInfo)
{
    if (m_pParam == nullptr || m_pParam->GetProperties() == nullptr || pInfo == nullptr)
        return;
    const UINT nMax = pInfo->GetMaxPage();
    // An open-ended print job has no page count yet.
    const UINT nCount = nMax == 0xFFFF || nMax == static_cast<UINT>(-1) ? 0 : nMax;
    m_pParam->GetProperties()->UpdatePrintTokens(pInfo->m_nCurPage, nCount,
                                                 m_pGridDoc != nullptr ? m_pGridDoc->GetTitle() : CString());
}

void CGXGridCore::DrawClientRange(CDC*, const CRect&)
{
    // FIXME: painting the grid is the drawing issue's.
}

void CGXGridCore::DrawSelectedCell(CDC*, ROWCOL, ROWCOL, const CRect&)
{
    // FIXME: painting the grid is the drawing issue's.
}

void CGXGridCore::DrawGridLine(CDC*, int, int, int, int, UINT)
{
    // FIXME: painting the grid is the drawing issue's.
}

CFont* CGXGridCore::LoadFont(const CGXFont&)
{
    // FIXME: the font cache comes with painting.
    return nullptr;
}

void CGXGridCore::MeasureFont()
{
    // FIXME: measured through the device context once the grid draws; the fixed metrics of a
    // grid without a font until then.
    m_dyHeight = 15;
    m_dxWidth = 10;
}

void CGXGridCore::UpdateCursor(CPoint pt)
{
    if (m_nCursorOverride != 0) {
        SetGridCursor(m_nCursorOverride, IDC_ARROW);
        return;
    }
    ROWCOL nRow, nCol;
    // FIXME: the hit codes' cursors come with hit testing; the default cursor until then.
    if (HitTest(pt, &nRow, &nCol, nullptr) == 0)
        SetGridCursor(0, nullptr);
}

void CGXGridCore::SetCursorOverride(UINT nID)
{
    m_nCursorOverride = nID;
    UpdateCursor(CPoint(0, 0));
}

// ---- Window messages ----

BOOL CGXGridCore::HandleSetCursor(CWnd*, UINT, UINT)
{
    // FIXME: comes with hit testing.
    return FALSE;
}

BOOL CGXGridCore::HandleShowWindow(BOOL, UINT)
{
    return FALSE;
}

BOOL CGXGridCore::HandleMButtonDblClk(UINT, CPoint)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

BOOL CGXGridCore::HandleMButtonDown(UINT, CPoint)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

BOOL CGXGridCore::HandleMButtonUp(UINT, CPoint)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

BOOL CGXGridCore::HandleRButtonDblClk(UINT, CPoint)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

BOOL CGXGridCore::HandleRButtonDown(UINT, CPoint)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

BOOL CGXGridCore::HandleRButtonUp(UINT, CPoint)
{
    // FIXME: comes with mouse handling.
    return FALSE;
}

HBRUSH CGXGridCore::HandleCtlColor(CDC*, CWnd*, UINT)
{
    // FIXME: the colours of cell windows come with the cell controls' windows.
    return nullptr;
}

BOOL CGXGridCore::HandleDestroy()
{
    if (m_pCurrentCellControl != nullptr)
        m_pCurrentCellControl->Reset();
    m_pCurrentCellControl = nullptr;
    return FALSE;
}

BOOL CGXGridCore::HandleCancelMode()
{
    CancelResizeTracking();
    return FALSE;
}

int CGXGridCore::HandleMouseActivate(CWnd*, UINT, UINT)
{
    return 0; // the window's default
}

BOOL CGXGridCore::HandleCommand(WPARAM, LPARAM)
{
    // FIXME: edit commands come with the grid window's command routing.
    return FALSE;
}

BOOL CGXGridCore::HandleWinIniChange(LPCTSTR)
{
    UpdateLocaleSettings();
    return FALSE;
}

UINT CGXGridCore::HandleGetDlgCode()
{
    // FIXME: the dialog codes come with the grid window.
    return 0;
}

CWnd* CGXGridCore::GetScrollBarCtrl(int)
{
    // FIXME: shared scroll bars of a parent come with the grid window.
    return nullptr;
}

BOOL CGXGridCore::HandleKillFocus(CWnd*)
{
    return FALSE;
}

BOOL CGXGridCore::HandleSetFocus(CWnd*)
{
    return FALSE;
}

BOOL CGXGridCore::HandlePreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CGXGridCore::HandleWindowProc(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

BOOL CGXGridCore::HandleTimer(UINT_PTR)
{
    // FIXME: auto-scrolling's timer comes with the auto-scroll plug-in.
    return FALSE;
}

// ---- Keys ----

BOOL CGXGridCore::OnGridKeyDown(UINT, UINT, UINT)
{
    return FALSE;
}

BOOL CGXGridCore::OnGridChar(UINT, UINT, UINT)
{
    return FALSE;
}

BOOL CGXGridCore::OnGridKeyUp(UINT, UINT, UINT)
{
    return FALSE;
}

BOOL CGXGridCore::HandleSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (OnGridSysKeyDown(nChar, nRepCnt, nFlags))
        return TRUE;
    return RouteKeyMessage(WM_SYSKEYDOWN, nChar, nRepCnt, nFlags);
}

BOOL CGXGridCore::OnGridSysKeyDown(UINT, UINT, UINT)
{
    return FALSE;
}

BOOL CGXGridCore::OnGridSysChar(UINT, UINT, UINT)
{
    return FALSE;
}

BOOL CGXGridCore::OnGridSysKeyUp(UINT, UINT, UINT)
{
    return FALSE;
}
