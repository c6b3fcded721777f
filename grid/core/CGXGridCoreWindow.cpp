// The engine's resize-tracking forwarders, private messages, cell-event hooks, drawing helpers,
// window messages and key hooks.
#include "grid/core/CGXAbstractTabWndInterface.h"
#include "grid/core/CGXControl.h"
#include "grid/core/CGXDragLineWnd.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridAssistant.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXFindReplaceState.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/frame/CSplitterWnd.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/MessageQueue.h"
#include "platform/win/UserApi.h"

#include <algorithm>

namespace {
CGXAbstractGridUserResizeCellsImp* ResizeFeature(CObject* pImp)
{
    return dynamic_cast<CGXAbstractGridUserResizeCellsImp*>(pImp);
}
} // namespace

BOOL CGXGridCore::StartResizeTracking(ROWCOL nRow, ROWCOL nCol, int nMode)
{
    auto* pResize = ResizeFeature(m_pUserResizeCellsImp);
    return pResize != nullptr && pResize->StartTracking(this, nRow, nCol, nMode);
}

void CGXGridCore::MoveResizeTracking(ROWCOL nRow, ROWCOL nCol, int nMode, CPoint ptOffset)
{
    if (auto* pResize = ResizeFeature(m_pUserResizeCellsImp))
        pResize->MoveTracking(this, nRow, nCol, nMode, ptOffset);
}

void CGXGridCore::EndResizeTracking(ROWCOL nRow, ROWCOL nCol, int nMode, CPoint ptOffset)
{
    if (auto* pResize = ResizeFeature(m_pUserResizeCellsImp))
        pResize->EndTracking(this, nRow, nCol, nMode, ptOffset);
}

void CGXGridCore::CancelResizeTracking()
{
    // The feature takes its marker off and gives a live-resized row or column its size back;
    // the grid's own record of the tracking goes in any case.
    if (auto* pResize = ResizeFeature(m_pUserResizeCellsImp))
        pResize->CancelTracking(this);
    m_bTracking = FALSE;
    m_nTrackingMode = 0;
}

BOOL CGXGridCore::CanResizeRow(ROWCOL)
{
    // Without the feature no border can be dragged, so none offers to be.
    return m_pUserResizeCellsImp != nullptr;
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
    return m_pUserResizeCellsImp != nullptr;
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

LRESULT CGXGridCore::OnGridMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage) {
    case 0x790:
        // The parameter object's read-only lock: whether the grid's cells may be changed by name.
        return m_pParam != nullptr ? static_cast<LRESULT>(m_pParam->GetReadOnlyLock()) : 0;
    case 0x791:
        // The sheet was renamed: keep its name with the parameter object, and the other views
        // hear of it.
        if (m_pParam != nullptr && m_pAppData != nullptr && m_pGridWnd != nullptr)
            if (auto* pTabs = dynamic_cast<CGXAbstractTabWndInterface*>(m_pAppData->m_pTabWndInterface.get()))
                pTabs->GetSheetName(m_pParam->m_sSheetName, m_pGridWnd, static_cast<int>(wParam));
        if (HintsWanted(TRUE))
            m_pUpdateHintImp->HintUpdateProperty(this);
        return 0;
    case 0x792: {
        // May the current cell be left? Asked by the tab window before the sheet is left or
        // another one shown, where a non-zero answer refuses the switch.
        if (wParam != 0)
            return 0;
        ROWCOL nRow, nCol;
        if (!GetCurrentCell(nRow, nCol))
            return 0;
        const HWND hFocus = ::GetFocus();
        if (CanLeaveOrEnterCell(nRow, nCol, FALSE))
            return 0;
        MSG msg;
        for (int nGuard = 0; nGuard < 10000 && ::PeekMessage(&msg, hFocus, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE); ++nGuard) {
        }
        if (hFocus != nullptr && ::IsWindow(hFocus))
            ::SetFocus(hFocus);
        ShowWarningText(nRow, nCol);
        return 1;
    }
    case 0x7A3: {
        // A move by command: 0 first row, 1 up, 2 down, 3 last row, 4 a row by number.
        static constexpr int kDirections[] = {GX_TOP, GX_UP, GX_DOWN, GX_BOTTOM};
        const UINT nCount = std::max<UINT>(static_cast<UINT>(lParam), 1);
        if (wParam < 4)
            return MoveCurrentCell(kDirections[wParam], wParam == 1 || wParam == 2 ? nCount : 1, TRUE);
        if (wParam == 4) {
            const ROWCOL nRow = std::min<ROWCOL>(GetHeaderRows() + static_cast<ROWCOL>(lParam), GetRowCount());
            const BOOL bMoved = nRow > GetHeaderRows() && SetCurrentCell(nRow, GetHeaderCols() + 1, GX_SCROLLINVIEW | GX_UPDATENOW);
            if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
                m_pGridWnd->UpdateWindow();
            return bMoved;
        }
        return 0;
    }
    default: return 0;
    }
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

void CGXGridCore::OnModifyCell(ROWCOL, ROWCOL)
{
    // A cell's control changed its text: the document has unsaved changes.
    SetModifiedFlag(TRUE);
}

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

// ---- Window messages ----

CGXDragLineWnd* CGXGridCore::GetDragLineWnd(BOOL bCreate)
{
    if (m_pDragLineWnd != nullptr || !bCreate)
        return m_pDragLineWnd;
    if (m_pGridWnd == nullptr || m_pGridWnd->GetSafeHwnd() == nullptr)
        return nullptr;
    auto* pWnd = new CGXDragLineWnd(this);
    if (!pWnd->Create(m_pGridWnd)) {
        delete pWnd;
        return nullptr;
    }
    m_pDragLineWnd = pWnd;
    return m_pDragLineWnd;
}

void CGXGridCore::DestroyDragLineWnd()
{
    CGXDragLineWnd* pWnd = m_pDragLineWnd;
    m_pDragLineWnd = nullptr;
    if (pWnd == nullptr)
        return;
    if (pWnd->GetSafeHwnd() != nullptr)
        pWnd->DestroyWindow();
    delete pWnd;
}

BOOL CGXGridCore::HandleDestroy()
{
    // The marker window goes with the grid window; its object goes now.
    DestroyDragLineWnd();
    // A find or replace dialog this grid opened has nothing left to search.
    GXGetFindReplaceState().ForgetGrid(this);
    if (m_pCurrentCellControl != nullptr)
        m_pCurrentCellControl->Reset();
    m_pCurrentCellControl = nullptr;
    return FALSE;
}

BOOL CGXGridCore::HandleCancelMode()
{
    if (!m_bInitDone)
        return TRUE;
    if (m_bTracking) {
        CancelResizeTracking();
    } else if (m_dragSelect.bDragging) {
        DragSelectCancel();
    } else if ((m_nMouseFlags & GX_MOUSE_FILL) && m_pExcelLikeFillImp != nullptr) {
        // A fill drag ends unfilled, the selection as it was.
        m_pExcelLikeFillImp->OnFillCancel(this);
        m_nMouseFlags = 0;
    } else if (m_nMouseFlags != 0) {
        // A selection being dragged out ends where it is; with whole-row selection the current
        // cell is taken off as well.
        SetSelection(nullptr, 0, 0, 0, 0);
        if (m_pParam != nullptr && m_pParam->TestRowSelectionMode(3))
            SetCurrentCell(GX_INVALID, GX_INVALID, GX_UPDATENOW | GX_SCROLLINVIEW);
        m_nMouseFlags = 0;
    }
    if (m_pParam != nullptr && m_pParam->m_bRedrawPending) {
        m_pParam->m_bRedrawPending = FALSE;
        Redraw(GX_INVALIDATE, TRUE);
    }
    if (m_nCursorOverride != 0)
        SetCursorOverride(0);
    if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr && ::GetCapture() == m_pGridWnd->GetSafeHwnd())
        ::ReleaseCapture();
    if (CGXControl* pControl = GetCurrentCellControl())
        pControl->OnCancelMode();
    return TRUE;
}

BOOL CGXGridCore::HandleCommand(WPARAM wParam, LPARAM lParam)
{
    CGXControl* pControl = GetCurrentCellControl();
    return pControl != nullptr && pControl->OnCommand(wParam, lParam);
}

CWnd* CGXGridCore::GetScrollBarCtrl(int nBar)
{
    // A grid window without bars of its own uses those of a parent that provides them (the
    // sheet-tab window).
    if (m_pGridWnd == nullptr || m_pGridWnd->GetSafeHwnd() == nullptr)
        return nullptr;
    const DWORD dwStyle = m_pGridWnd->GetStyle();
    if ((nBar == SB_VERT && (dwStyle & WS_VSCROLL)) || (nBar == SB_HORZ && (dwStyle & WS_HSCROLL)))
        return nullptr;
    if (CWnd* pParent = GetScrollBarParent())
        return pParent->GetDlgItem(nBar == SB_VERT ? AFX_IDW_VSCROLL_FIRST : AFX_IDW_HSCROLL_FIRST);
    return nullptr;
}

BOOL CGXGridCore::HandlePreTranslateMessage(MSG* pMsg)
{
    if (pMsg == nullptr || !m_bInitDone || m_pGridWnd == nullptr || !m_pGridWnd->GetSafeHwnd() || !m_pGridWnd->IsWindowVisible())
        return FALSE;
    if (m_pAssistant && m_bAssistantEnabled)
        m_pAssistant->OnGridPreTranslateMessage(this, *pMsg);
    CGXControl* pControl = GetCurrentCellControl();
    return pControl != nullptr && pControl->PreTranslateMessage(pMsg);
}

BOOL CGXGridCore::HandleTimer(UINT_PTR)
{
    // Auto-scrolling's timer 992 reaches its plug-in before the grid; the grid keeps no timer
    // of its own.
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
