// The grid window's other messages: cursor, sizing and showing, control colours, focus, the
// dialog code, the plug-ins that see every message first, and the lock of redrawing while
// the window is being sized.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridAssistant.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXPluginComponent.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/UserApi.h"

namespace {
BOOL IsChildOf(CWnd* pWnd, CWnd* pParent)
{
    return pWnd != nullptr && pParent != nullptr && pParent->GetSafeHwnd() != nullptr && ::IsChild(pParent->GetSafeHwnd(), pWnd->GetSafeHwnd());
}
} // namespace

BOOL CGXGridCore::HandleSetCursor(CWnd* pWnd, UINT nHitTest, UINT)
{
    // The cursor itself follows the mouse moves; here the window only keeps its class cursor
    // from replacing it.
    return m_bInitDone && pWnd == m_pGridWnd && nHitTest == HTCLIENT;
}

BOOL CGXGridCore::HandleShowWindow(BOOL bShow, UINT)
{
    if (!bShow) {
        m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;
        m_nOldClientWidth = m_nOldClientHeight = 0;
    }
    return TRUE;
}

void CGXGridCore::NoteDueBeforeSize()
{
    m_rectDueBeforeSize.SetRectEmpty();
    if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
        ::GetUpdateRect(m_pGridWnd->GetSafeHwnd(), &m_rectDueBeforeSize, FALSE);
}

BOOL CGXGridCore::CurrentCellFitsIn(int cx, int cy)
{
    ROWCOL nRow = 0, nCol = 0;
    if (!GetCurrentCell(nRow, nCol))
        return FALSE;
    const ROWCOL nFrozenRows = GetFrozenRows(), nFrozenCols = GetFrozenCols();
    const ROWCOL nTopRow = GetTopRow(), nLeftCol = GetLeftCol();
    if ((nRow > nFrozenRows && nRow < nTopRow) || (nCol > nFrozenCols && nCol < nLeftCol))
        return FALSE;
    // The sums stop once past the size: a cell far below the window costs no more than one in it.
    const int nBottom = nRow <= nFrozenRows ? SumRowHeights(0, nRow, cy)
                                            : SumRowHeights(0, nFrozenRows, cy) + SumRowHeights(nTopRow, nRow, cy);
    const int nRight = nCol <= nFrozenCols ? SumColWidths(0, nCol, cx)
                                           : SumColWidths(0, nFrozenCols, cx) + SumColWidths(nLeftCol, nCol, cx);
    return nBottom <= cy && nRight <= cx;
}

BOOL CGXGridCore::HandleSize(UINT nType, int cx, int cy)
{
    // A window made smaller keeps the current cell in sight when it was: a pane that comes up
    // beside or under the grid must not hide the cell the keys are in.
    const BOOL bKeepCurrentCell = m_bInitDone && m_nOldClientWidth > 0 && m_nOldClientHeight > 0 &&
                                  (cx < m_nOldClientWidth || cy < m_nOldClientHeight) &&
                                  CurrentCellFitsIn(m_nOldClientWidth, m_nOldClientHeight);
    m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;
    if (nType == SIZE_MAXIMIZED)
        UpdateScrollbars(TRUE, FALSE);
    CWnd* pWnd = m_pGridWnd;
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return FALSE;
    CFrameWnd* pFrame = pWnd->GetParentFrame();
    const BOOL bZoomed = pFrame != nullptr && pFrame->IsZoomed();
    if (nType != SIZE_RESTORED && nType != SIZE_MAXIMIZED) {
        m_bParentZoomed = bZoomed;
        return FALSE;
    }
    if (m_bSizeLock) {
        if (bZoomed == m_bParentZoomed)
            ::ValidateRect(pWnd->GetSafeHwnd(), nullptr);
        return TRUE;
    }
    POINT origin{0, 0};
    ::MapWindowPoints(pWnd->GetSafeHwnd(), ::GetAncestor(pWnd->GetSafeHwnd(), GA_ROOT), &origin, 1);
    const BOOL bMoved = origin.x != m_ptOldClientOrigin.x || origin.y != m_ptOldClientOrigin.y;
    const BOOL bSmart = m_pParam != nullptr && m_pParam->m_bSmartResize && !m_bDisplayRect && pFrame != nullptr && m_nOldClientWidth > 0 &&
                        m_nOldClientHeight > 0 && !m_bUpdateScrollbarsBusy && !bMoved;
    if (bSmart) {
        if (bZoomed == m_bParentZoomed) {
            // Only what was partly shown and what is newly exposed is drawn again, and what was
            // due before the size changed (a row that changed just before a pane came up).
            ::ValidateRect(pWnd->GetSafeHwnd(), nullptr);
            if (!m_rectDueBeforeSize.IsRectEmpty())
                pWnd->InvalidateRect(&m_rectDueBeforeSize, TRUE);
            m_rectDueBeforeSize.SetRectEmpty();
            int nLeft = 0, nTop = 0;
            const ROWCOL nClientCol = CalcClientColFromPt(CPoint(m_nOldClientWidth, 0), &nLeft);
            const ROWCOL nClientRow = CalcClientRowFromPt(CPoint(0, m_nOldClientHeight), &nTop);
            if (nClientCol == GX_INVALID)
                nLeft = m_nOldClientWidth;
            if (nClientRow == GX_INVALID)
                nTop = m_nOldClientHeight;
            if (cx > nLeft && cx != m_nOldClientWidth) {
                CRect r(nLeft, 0, cx, std::min(nTop, m_nOldClientHeight));
                pWnd->InvalidateRect(&r, TRUE);
            }
            if (cy > nTop && cy != m_nOldClientHeight) {
                CRect r(0, nTop, cx, cy);
                pWnd->InvalidateRect(&r, TRUE);
            }
            // A column header cut by the right edge lays its title out in the part that shows,
            // which changes with the width.
            if (cx != m_nOldClientWidth) {
                int nCutLeft = 0;
                if (CalcClientColFromPt(CPoint(std::max(0, std::min(cx, m_nOldClientWidth) - 1), 0), &nCutLeft) == GX_INVALID)
                    nCutLeft = std::min(cx, m_nOldClientWidth);
                CRect r(nCutLeft, 0, std::max(cx, m_nOldClientWidth), SumRowHeights(0, GetHeaderRows(), 0));
                pWnd->InvalidateRect(&r, TRUE);
            }
        } else {
            pWnd->Invalidate(TRUE);
        }
    }
    if (m_bInitDone) {
        if (m_pAssistant && m_bAssistantEnabled)
            m_pAssistant->OnGridSize(this, nType, cx, cy);
        if (!m_bUpdateScrollbarsBusy) {
            CalcFontMetrics();
            UpdateScrollbars(TRUE, FALSE);
        }
        ROWCOL nRow = 0, nCol = 0;
        if (bKeepCurrentCell && cx > 0 && cy > 0 && !CurrentCellFitsIn(cx, cy) && GetCurrentCell(nRow, nCol))
            ScrollCellInView(nRow, nCol, GX_INVALIDATE, FALSE);
    }
    m_ptOldClientOrigin = origin;
    if (pWnd->IsWindowVisible()) {
        m_nOldClientWidth = cx;
        m_nOldClientHeight = cy;
    } else {
        m_nOldClientWidth = m_nOldClientHeight = 0;
    }
    m_bParentZoomed = bZoomed;
    return TRUE;
}

void CGXGridCore::SetSizeLock(BOOL bLock)
{
    m_bSizeLock = bLock;
    if (!bLock && m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
        m_pGridWnd->Invalidate(TRUE);
}

HBRUSH CGXGridCore::HandleCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    ROWCOL nRow = 0, nCol = 0;
    if (pDC == nullptr || !GetCurrentCell(nRow, nCol))
        return nullptr;
    const CGXStyle* pStyle = LookupStyleRowCol(nRow, nCol);
    if (pStyle == nullptr)
        return nullptr;
    // A control that colours its own windows has the last word.
    if (CGXControl* pControl = GetControlById(pStyle->GetControl())) {
        HBRUSH hBrush = nullptr;
        if (pControl->OnGridCtlColor(pDC, pWnd, nCtlColor, hBrush))
            return hBrush;
    }
    const CGXBrush& interior = pStyle->GetInterior();
    const CGXSysColorCache& colors = *GXGetSysData();
    pDC->SetBkColor(colors.Resolve(interior.GetStyle() == GX_BS_SOLID ? interior.GetForeColor() : interior.GetBackColor()));
    pDC->SetTextColor(pStyle->GetInclude(GX_INCL_TEXTCOLOR) ? colors.Resolve(pStyle->GetTextColor()) : 0);
    CBrush* pBrush = LookupBrush(interior);
    return pBrush != nullptr ? static_cast<HBRUSH>(pBrush->GetSafeHandle()) : nullptr;
}

BOOL CGXGridCore::HandleWinIniChange(LPCTSTR pszSection)
{
    UpdateLocaleSettings();
    for (const auto& [nID, pControl] : m_controls)
        if (pControl)
            pControl->OnGridWinIniChange(pszSection);
    if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
        m_pGridWnd->Invalidate(TRUE);
    return FALSE;
}

UINT CGXGridCore::HandleGetDlgCode()
{
    return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
}

BOOL CGXGridCore::HandleSetFocus(CWnd* pOldWnd)
{
    if (m_bFocusChange)
        return FALSE;
    if (pOldWnd == nullptr || !IsChildOf(pOldWnd, m_pGridWnd))
        ActivateGrid(TRUE);
    m_hWndLastFocus = pOldWnd != nullptr ? pOldWnd->GetSafeHwnd() : nullptr;
    if (m_bRefocus) {
        m_bRefocus = FALSE;
        if (CGXControl* pControl = GetCurrentCellControl())
            pControl->Refresh();
    }
    return FALSE;
}

int CGXGridCore::HandleMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT nMessage)
{
    // Unless the grid eats the click, the current cell's control may answer it.
    const auto passOn = [&]() -> int {
        CGXControl* pControl = GetCurrentCellControl();
        return pControl != nullptr ? pControl->OnGridMouseActivate(pDesktopWnd, nHitTest, nMessage) : 0;
    };
    // The first click into a view whose frame had the focus elsewhere only activates it: it
    // must not also start a selection.
    if (m_pParam == nullptr || !m_pParam->m_bActivateOnClick || !m_bIsViewContext || nHitTest != HTCLIENT || m_pGridWnd == nullptr)
        return passOn();
    HWND hGrid = m_pGridWnd->GetSafeHwnd();
    HWND hLast = m_hWndLastFocus;
    HWND hFocus = ::GetFocus();
    if (hFocus == hGrid || (hFocus != nullptr && ::IsChild(hGrid, hFocus)))
        return passOn(); // the grid has the focus already
    if (hLast == nullptr || hLast == hGrid || !::IsWindow(hLast))
        hLast = hFocus;
    if (hLast == nullptr || hLast == hGrid)
        return passOn();
    CWnd* pLast = CWnd::FromHandle(hLast);
    if (::IsChild(hGrid, hLast) && hFocus != nullptr && pLast->GetParentFrame() == m_pGridWnd->GetParentFrame())
        return passOn();
    m_pGridWnd->SetFocus();
    m_hWndLastFocus = hGrid;
    return MA_ACTIVATEANDEAT;
}

BOOL CGXGridCore::HandleKillFocus(CWnd* pNewWnd)
{
    m_bFocusLost = TRUE;
    // A border being dragged goes back where it was when the grid loses the focus; the
    // pointer is let go with it.
    if (m_bTracking && (pNewWnd == nullptr || pNewWnd != m_pGridWnd)) {
        CancelResizeTracking();
        if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr && ::GetCapture() == m_pGridWnd->GetSafeHwnd())
            ::ReleaseCapture();
    }
    if (!m_bFocusChange && pNewWnd != m_pGridWnd && !IsChildOf(pNewWnd, m_pGridWnd))
        ActivateGrid(FALSE);
    return FALSE;
}

BOOL CGXGridCore::HandleWindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (!m_bInitDone)
        return FALSE;
    // The list may change while a plug-in runs; walk a copy.
    const std::vector<CGXPluginComponent*> plugins = m_plugins;
    for (CGXPluginComponent* pPlugin : plugins) {
        LRESULT lResult = 0;
        pPlugin->HandlePluginMessage(nMessage, wParam, lParam, &lResult);
        if (pPlugin->m_bExitMesssage) {
            if (pResult != nullptr)
                *pResult = lResult;
            return TRUE;
        }
        if (pPlugin->m_bSkipOtherPlugins)
            break;
    }
    return FALSE;
}

void CGXGridCore::AddPlugin(CGXPluginComponent* pPlugin)
{
    if (pPlugin == nullptr)
        return;
    m_plugins.push_back(pPlugin);
    pPlugin->PlugIn(m_pGridWnd);
}
