// The current cell: entering and leaving it with its control's edit validated and stored,
// refusals that keep the old cell with its text, grid activation, the cell controls by id, and
// the cell-click operations that the mouse handlers report to.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/core/CGXStatic.h"
#include "grid/data/CGXData.h"
#include "grid/res/GridRes.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/core/CException.h"
#include "platform/core/MessageQueue.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

namespace {

// Keys typed while a refused edit is being handled would land in the next cell: they go.
void DiscardPendingKeys(HWND hWnd)
{
    MSG msg;
    int nGuard = 0;
    while (nGuard++ < 10000 && PeekMessage(&msg, hWnd, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
}

BOOL IsWithin(CWnd* pGridWnd, HWND hWnd)
{
    if (pGridWnd == nullptr || pGridWnd->GetSafeHwnd() == nullptr || hWnd == nullptr)
        return FALSE;
    const HWND hGrid = pGridWnd->GetSafeHwnd();
    return hWnd == hGrid || IsChild(hGrid, hWnd);
}

} // namespace

// ---- State ----

BOOL CGXGridCore::GetCurrentCell(ROWCOL& nRow, ROWCOL& nCol, BOOL bIgnorePrint)
{
    if (m_bCurrentCell && (m_nCurrentRow > GetRowCount() || m_nCurrentCol > GetColCount()))
        m_bCurrentCell = FALSE;
    if (!m_bCurrentCell || (m_bPrint && !bIgnorePrint)) {
        nRow = nCol = 0;
        return FALSE;
    }
    nRow = m_nCurrentRow;
    nCol = m_nCurrentCol;
    return TRUE;
}

BOOL CGXGridCore::IsCurrentCell(ROWCOL nRow, ROWCOL nCol, BOOL bIgnorePrint)
{
    ROWCOL nCurRow, nCurCol;
    if (!GetCurrentCell(nCurRow, nCurCol, bIgnorePrint))
        return FALSE;
    return (nRow == GX_INVALID || nRow == nCurRow) && (nCol == GX_INVALID || nCol == nCurCol);
}

BOOL CGXGridCore::IsCurrentCellActive()
{
    if (m_bPrint)
        return FALSE;
    CGXControl* pControl = GetCurrentCellControl();
    return pControl != nullptr && pControl->IsActive();
}

CGXControl* CGXGridCore::GetCurrentCellControl()
{
    ROWCOL nRow, nCol;
    if (!GetCurrentCell(nRow, nCol))
        return nullptr;
    return GetControl(nRow, nCol);
}

void CGXGridCore::SetCurrentCellState(BOOL bSet, ROWCOL nRow, ROWCOL nCol)
{
    m_bCurrentCell = FALSE;
    if (!bSet)
        return;
    m_pCurrentCellControl = nullptr;
    m_pCurrentCellControl = GetControl(nRow, nCol);
    m_bCurrentCell = TRUE;
    m_nCurrentRow = m_nCurrentCol = 0;
    if (m_pStyleCurrentCell == nullptr)
        m_pStyleCurrentCell = CreateStyle();
    else
        m_pStyleCurrentCell->Free();
    if (CGXData* pData = GetData())
        if (const CGXStyle* pStored = pData->LookupStyle(nRow, nCol))
            *m_pStyleCurrentCell = *pStored;
    m_nCurrentRow = nRow;
    m_nCurrentCol = nCol;
    if (m_pParam != nullptr) {
        m_pParam->m_nCurrentRow = nRow;
        m_pParam->m_nCurrentCol = nCol;
    }
}

void CGXGridCore::GetCurrentCellText(CString& sText)
{
    ROWCOL nRow, nCol;
    CGXControl* pControl = GetCurrentCell(nRow, nCol) ? GetControl(nRow, nCol) : nullptr;
    if (pControl == nullptr) {
        sText.Empty();
        return;
    }
    if (!pControl->IsInitFor(nRow, nCol))
        pControl->Init(nRow, nCol);
    pControl->GetCurrentText(sText);
}

// ---- Entering and leaving ----

BOOL CGXGridCore::CanLeaveOrEnterCell(ROWCOL nRow, ROWCOL nCol, BOOL bEnter)
{
    if (!bEnter) {
        m_sWarningText.Empty();
        CGXControl* pControl = m_bCurrentCell ? m_pCurrentCellControl : nullptr;
        if (pControl != nullptr && pControl->IsInit() && pControl->GetModify())
            return pControl->OnValidate() && OnValidateCell(nRow, nCol);
        return TRUE;
    }
    if (nRow > GetRowCount() || nCol > GetColCount())
        return FALSE;
    CGXStyle* pStyle = CreateStyle();
    ComposeCellStyle(nRow, nCol, *pStyle);
    const BOOL bDisabled = pStyle->GetInclude(GX_INCL_ENABLED) && !pStyle->GetEnabled();
    RecycleStyle(pStyle);
    return !bDisabled;
}

void CGXGridCore::SetWarningText(LPCTSTR pszWarning)
{
    m_sWarningText = pszWarning != nullptr ? pszWarning : "";
}

void CGXGridCore::ShowWarningText(ROWCOL nRow, ROWCOL nCol)
{
    if (m_sWarningText.IsEmpty())
        return;
    const BOOL bOldMoving = m_bMovingCurrentCell;
    m_bMovingCurrentCell = TRUE;
    const HWND hFocus = GetFocus();
    DiscardPendingKeys(hFocus);
    if (nRow != 0 && nCol != 0)
        ScrollCellInView(nRow, nCol, GX_UPDATENOW, FALSE);
    const CString sText = m_sWarningText;
    m_sWarningText.Empty();
    AfxMessageBox(sText, MB_OK | MB_ICONEXCLAMATION);
    m_bWarningShown = TRUE;
    if (hFocus != nullptr && IsWindow(hFocus)) {
        SetFocus(hFocus);
        m_bFocusInside = IsWithin(m_pGridWnd, hFocus);
    }
    m_bMovingCurrentCell = bOldMoving;
}

BOOL CGXGridCore::SetCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT nFlags)
{
    if (m_pParam == nullptr)
        return FALSE;
    CGXRange covered;
    if (FindCoveredSpan(nRow, nCol, covered) != nullptr) {
        nRow = covered.top;
        nCol = covered.left;
    }

    ROWCOL nOldRow = 0, nOldCol = 0;
    const BOOL bOld = GetCurrentCell(nOldRow, nOldCol);
    CGXControl* pOldControl = bOld ? m_pCurrentCellControl : nullptr;
    if (bOld && pOldControl == nullptr)
        pOldControl = GetControl(nOldRow, nOldCol);
    const BOOL bSameCell = bOld && nOldRow == nRow && nOldCol == nCol;
    // Which headers change their mark: -1 none (same cell), 1 the column's, 2 the row's, 0 both.
    int nDirection = 0;
    if (bOld && nOldRow > GetHeaderRows() && nOldCol > GetHeaderCols())
        nDirection = bSameCell ? -1 : nOldRow == nRow ? 1 : nOldCol == nCol ? 2 : 0;

    BOOL bFailed = FALSE;
    // Leaving: also when the same cell is set again, which stores its pending edit.
    if (bOld && pOldControl != nullptr && (!bSameCell || pOldControl->IsActive() || pOldControl->GetModify())) {
        const BOOL bModified = pOldControl->GetModify();
        CString sOldText;
        if (pOldControl->IsInit())
            pOldControl->GetCurrentText(sOldText);
        const BOOL bOldMoving = m_bMovingCurrentCell;
        m_bMovingCurrentCell = TRUE;
        const HWND hFocus = GetFocus();
        if (pOldControl->IsActive() && IsWithin(m_pGridWnd, hFocus))
            DiscardPendingKeys(hFocus);

        auto keepOldCell = [&](BOOL bRestoreEdit) {
            if (m_sWarningText.IsEmpty() && hFocus != nullptr && IsWindow(hFocus) && IsWindowVisible(hFocus)) {
                SetFocus(hFocus);
                m_bFocusInside = TRUE;
            }
            ShowWarningText(nOldRow, nOldCol);
            if (bRestoreEdit) {
                SetCurrentCellState(TRUE, nOldRow, nOldCol);
                pOldControl->Init(nOldRow, nOldCol);
                pOldControl->SetActive(TRUE);
                pOldControl->SetModify(TRUE);
                pOldControl->SetCurrentText(sOldText);
            }
            pOldControl->Refresh();
        };

        if (!CanLeaveOrEnterCell(nOldRow, nOldCol, FALSE)) {
            keepOldCell(FALSE);
            bFailed = TRUE;
        } else {
            CGXData* pData = GetData();
            if (pData != nullptr)
                pData->BeginEdit(nOldRow, nOldCol);
            BOOL bStored = TRUE;
            if (bModified) {
                bStored = pOldControl->Store();
                if (pData != nullptr) {
                    if (bStored)
                        pData->CommitEdit();
                    else
                        pData->RollbackEdit();
                    bStored = pData->EndEdit(nOldRow, nOldCol, bStored) && bStored;
                }
            }
            if (bStored && pOldControl->IsInit() && !pOldControl->OnLeftCell(nRow, nCol))
                bStored = FALSE;
            if (bStored && !OnLeftCell(nOldRow, nOldCol, nRow, nCol))
                bStored = FALSE;
            if (!bStored) {
                keepOldCell(bModified);
                if (bModified)
                    RedrawRange(CGXRange(nOldRow, nOldCol, nOldRow, nOldCol), GX_INVALIDATE, FALSE);
                bFailed = TRUE;
            } else {
                SetCurrentCellState(FALSE);
                pOldControl->SetActive(FALSE);
                const BOOL bRedraw = pOldControl->IsRedrawNeeded(nOldRow, nOldCol) || bModified;
                ShowWarningText(nOldRow, nOldCol);
                if (nDirection != -1)
                    MarkEditHeader(nOldRow, nOldCol, FALSE, nFlags);
                // The old cell is drawn again also when nothing was stored: it loses the
                // current cell's frame.
                if (!bRedraw)
                    pOldControl->Refresh();
                if (!bSameCell || bRedraw)
                    RedrawRange(CGXRange(nOldRow, nOldCol, nOldRow, nOldCol), GX_INVALIDATE, FALSE);
                pOldControl->ResetEdit();
                if ((nFlags & (GX_UPDATENOW | GX_SMART)) && m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
                    m_pGridWnd->UpdateWindow();
            }
        }
        m_bMovingCurrentCell = bOldMoving;
    }

    if (!bFailed) {
        if (nRow > GetRowCount() || nCol > GetColCount()) {
            bFailed = TRUE;
        } else if (bSameCell && m_bCurrentCell && pOldControl != nullptr && pOldControl->IsActive()) {
            if (!ScrollCellInView(nRow, nCol, nFlags, FALSE))
                pOldControl->Refresh();
        } else if (!CanLeaveOrEnterCell(nRow, nCol, TRUE)) {
            // The old cell stays current when it still can be.
            if (bOld && !m_bCurrentCell && CanLeaveOrEnterCell(nOldRow, nOldCol, TRUE)) {
                SetCurrentCellState(TRUE, nOldRow, nOldCol);
                if (m_pCurrentCellControl != nullptr) {
                    m_pCurrentCellControl->Init(nOldRow, nOldCol);
                    m_pCurrentCellControl->Refresh();
                }
                MarkEditHeader(nOldRow, nOldCol, TRUE, nFlags);
            }
            bFailed = TRUE;
        } else {
            if (!(nFlags & GX_NOFLUSHPAINT) && !m_pParam->m_bRefreshOnly && m_pGridWnd != nullptr &&
                m_pGridWnd->GetSafeHwnd() != nullptr && m_pGridWnd->IsWindowVisible())
                m_pGridWnd->UpdateWindow();
            SetCurrentCellState(TRUE, nRow, nCol);
            CGXControl* pControl = m_pCurrentCellControl;
            if (pControl != nullptr) {
                pControl->Init(nRow, nCol);
                if (nFlags & GX_DISPLAYEDITWND)
                    pControl->SetActive(TRUE);
            }
            if (!m_pParam->m_bRefreshOnly) {
                // Invalidate, don't paint: the frame and the control appear with the next paint.
                if (!bSameCell)
                    RedrawRange(CGXRange(nRow, nCol, nRow, nCol), GX_INVALIDATE, FALSE);
                else if (pControl != nullptr)
                    pControl->Refresh();
                if (nFlags & GX_SCROLLINVIEW)
                    ScrollCellInView(nRow, nCol, nFlags & ~GX_SCROLLINVIEW, FALSE);
            }
            if ((nFlags & (GX_UPDATENOW | GX_SMART)) && m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
                m_pGridWnd->UpdateWindow();
            if (nDirection != -1)
                MarkEditHeader(nRow, nCol, TRUE, nFlags);
            OnCellEntered(nRow, nCol);
        }
    }

    if (!(nFlags & GX_NOHINT) && m_pParam->m_bHintOnMove && HintsWanted(TRUE))
        m_pUpdateHintImp->HintSetCurrentCell(this, nRow, nCol, (nFlags & ~GX_SCROLLINVIEW) | 0xE0);

    if (!bFailed && m_pParam->m_bSelectionFollowsCurrentCell && !(nFlags & GX_NOSELECTION) &&
        !IsCellInRangeList(nRow, nCol, m_pParam->m_SelRects)) {
        SetSelection(nullptr);
        if (nRow > GetHeaderRows() && nCol > GetHeaderCols())
            SetSelection(nullptr, nRow, nCol, nRow, nCol);
    }
    return !bFailed;
}

BOOL CGXGridCore::SyncCurrentCell(BOOL bStore, UINT nFlags, BOOL bCreateHint)
{
    ROWCOL nRow, nCol;
    BOOL bResult = TRUE;
    if (GetCurrentCell(nRow, nCol)) {
        if (bStore) {
            if (m_pCurrentCellControl != nullptr && m_pCurrentCellControl->IsActive())
                bResult = SetCurrentCell(nRow, nCol, nFlags | GX_NOHINT);
        } else if (m_pParam == nullptr || !m_pParam->m_bLockUpdate) {
            if (m_pStyleCurrentCell != nullptr)
                m_pStyleCurrentCell->Free();
            m_pCurrentCellControl = nullptr;
        }
        CGXControl* pControl = GetControl(nRow, nCol);
        m_pCurrentCellControl = pControl;
        if (pControl != nullptr) {
            const BOOL bActive = pControl->IsActive();
            if (bActive && bStore && pControl->GetModify())
                bResult = bResult && pControl->OnValidate();
            if (!pControl->IsInitFor(nRow, nCol) || !bStore)
                pControl->Init(nRow, nCol);
            if (bActive && bResult)
                pControl->SetActive(TRUE);
            pControl->Refresh();
        }
    }
    if (bCreateHint && HintsWanted(TRUE))
        bResult = m_pUpdateHintImp->HintSyncCurrentCell(this, bStore, nFlags) && bResult;
    return bResult;
}

BOOL CGXGridCore::EndCurrentCellEdit(BOOL bStore)
{
    ROWCOL nRow, nCol;
    if (!GetCurrentCell(nRow, nCol))
        return TRUE;
    CGXControl* pControl = GetControl(nRow, nCol);
    if (pControl == nullptr)
        return TRUE;
    BOOL bResult = TRUE;
    if (bStore && pControl->GetModify()) {
        bResult = CanLeaveOrEnterCell(nRow, nCol, FALSE) && pControl->Store();
    }
    pControl->ResetEdit();
    pControl->SetActive(FALSE);
    return bResult;
}

void CGXGridCore::RefreshCurrentCell(BOOL bCreateHint)
{
    ROWCOL nRow, nCol;
    if (GetCurrentCell(nRow, nCol))
        if (CGXControl* pControl = GetControl(nRow, nCol))
            pControl->Refresh();
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintRefreshCurrentCell(this, TRUE);
}

void CGXGridCore::OnCellEntered(ROWCOL nRow, ROWCOL nCol)
{
    if (nRow == m_nLastEnteredRow && nCol == m_nLastEnteredCol)
        return;
    m_nLastEnteredRow = nRow;
    m_nLastEnteredCol = nCol;
    OnInitCurrentCell(nRow, nCol);
}

// ---- Activation ----

BOOL CGXGridCore::ActivateGrid(BOOL bActivate)
{
    const HWND hWnd = m_pGridWnd != nullptr ? m_pGridWnd->GetSafeHwnd() : nullptr;
    if (hWnd != nullptr)
        ::SendMessage(hWnd, WM_CANCELMODE, 0, 0);
    if (!bActivate && m_bMovingCurrentCell)
        return FALSE;
    if (bActivate && m_pAppData != nullptr)
        m_pAppData->m_pActiveGrid = this;
    m_bActiveFrame = bActivate;
    m_bFocusInside = bActivate;
    if (m_bMovingCurrentCell || m_pParam == nullptr || m_pParam->m_bLockUpdate || !m_bInitDone)
        return FALSE;
    if (!bActivate && hWnd != nullptr)
        ::SendMessage(hWnd, WM_CANCELMODE, 0, 0);

    BOOL bResult = TRUE;
    ROWCOL nRow, nCol;
    if (GetCurrentCell(nRow, nCol) && !GXGetPopupLock()) {
        CGXControl* pControl = GetControl(nRow, nCol);
        if (pControl != nullptr && !bActivate) {
            if (pControl->IsInit()) {
                if (!CanLeaveOrEnterCell(nRow, nCol, FALSE)) {
                    bResult = FALSE;
                } else {
                    const BOOL bModified = pControl->GetModify();
                    CGXData* pData = GetData();
                    if (bModified && pData != nullptr)
                        pData->BeginEdit(nRow, nCol);
                    BOOL bStored = !bModified || pControl->Store();
                    if (bModified && pData != nullptr) {
                        if (bStored)
                            pData->CommitEdit();
                        else
                            pData->RollbackEdit();
                        bStored = pData->EndEdit(nRow, nCol, bStored) && bStored;
                    }
                    if (bStored && pControl->OnLeftCell(nRow, nCol)) {
                        pControl->SetActive(FALSE);
                        pControl->SetModify(FALSE);
                        pControl->Refresh();
                    } else {
                        bResult = FALSE;
                    }
                }
            } else {
                RedrawRange(CGXRange(nRow, nCol, nRow, nCol), GX_INVALIDATE, FALSE);
            }
        } else if (pControl != nullptr) {
            if (!pControl->IsInitFor(nRow, nCol))
                pControl->Init(nRow, nCol);
            if (m_pParam->m_dwActivateFlags & 0x04)
                pControl->SetActive(TRUE);
            pControl->Refresh();
        }
    }
    if (bActivate) {
        // The standard font may have changed while another window was active (the system's
        // settings, another view of the same styles).
        CalcFontMetrics();
        UpdateScrollbars(TRUE, FALSE);
    }
    m_bTracking = FALSE;
    m_nTrackingMode = 0;
    if (bResult) {
        OnActivateGrid(bActivate);
        if (bActivate && m_pAppData != nullptr)
            for (CGXGridActivationListener* pListener : m_pAppData->m_pActivationListener)
                if (pListener != nullptr)
                    pListener->OnGridActivated(this);
    }
    return bResult;
}

// ---- Controls by id ----

void CGXGridCore::RegisterControl(WORD nID, CGXControl* pControl, BOOL bDefault, BOOL bAddName)
{
    if (pControl == nullptr)
        return;
    auto& slot = m_controls[nID];
    // The same object registered again keeps living: deleting it would leave it in the map.
    if (slot.get() != pControl) {
        CGXControl* pOld = slot.get();
        if (pOld != nullptr) {
            // Nothing may go on pointing at the control that goes.
            if (pOld == m_pCurrentCellControl)
                m_pCurrentCellControl = nullptr;
            if (pOld == m_pLastControl) {
                m_pLastControl = nullptr;
                m_nLastControlId = 0;
            }
            if (pOld == m_pDefaultControl)
                m_pDefaultControl = nullptr;
        }
        slot.reset(pControl);
    }
    if (bAddName && m_pParam != nullptr && m_pParam->GetStylesMap() != nullptr)
        m_pParam->GetStylesMap()->AddControl(nID);
    if (bDefault || m_pDefaultControl == nullptr)
        m_pDefaultControl = pControl;
}

CGXControl* CGXGridCore::GetControlById(WORD nID)
{
    if (m_pDefaultControl == nullptr) {
        // Every grid can show text: a grid without a factory still has its static cells.
        auto it = m_controls.find(GX_IDS_CTRL_STATIC);
        if (it != m_controls.end())
            m_pDefaultControl = it->second.get();
        else
            RegisterControl(GX_IDS_CTRL_STATIC, new CGXStatic(this), TRUE);
    }
    if (nID == 0)
        return m_pDefaultControl;
    if (m_pLastControl != nullptr && nID == m_nLastControlId)
        return m_pLastControl;
    CGXControl* pControl = nullptr;
    auto it = m_controls.find(nID);
    if (it != m_controls.end()) {
        pControl = it->second.get();
    } else if (m_pAppData->m_pControlFactory) {
        pControl = m_pAppData->m_pControlFactory->CreateControl(nID, this);
        if (pControl != nullptr)
            RegisterControl(nID, pControl);
    }
    if (pControl == nullptr)
        return m_pDefaultControl;
    m_nLastControlId = nID;
    m_pLastControl = pControl;
    return pControl;
}

CGXControl* CGXGridCore::GetControl(ROWCOL nRow, ROWCOL nCol)
{
    if (m_bCurrentCell && m_pCurrentCellControl != nullptr && nRow == m_nCurrentRow && nCol == m_nCurrentCol)
        return m_pCurrentCellControl;
    CGXStyle* pStyle = CreateStyle();
    ComposeCellStyle(nRow, nCol, *pStyle);
    const WORD nID = pStyle->GetControl();
    RecycleStyle(pStyle);
    return GetControlById(nID);
}

// ---- Cell clicks ----

BOOL CGXGridCore::SelectRangeByClick(ROWCOL, ROWCOL, UINT)
{
    // Selecting by clicks is the select-range feature's; without it a click selects nothing.
    return FALSE;
}

BOOL CGXGridCore::HandleCellDblClick(ROWCOL nRow, ROWCOL nCol, UINT nFlags)
{
    if (m_pSortImp == nullptr)
        return FALSE;
    return m_pSortImp->SortOnHeaderDblClk(this, nRow, nCol, nFlags);
}

BOOL CGXGridCore::HandleMButtonCellDblClick(ROWCOL, ROWCOL, UINT)
{
    return FALSE;
}

BOOL CGXGridCore::HandleRButtonCellDblClick(ROWCOL, ROWCOL, UINT)
{
    return FALSE;
}

// The three buttons differ only in the control operations a click reaches.
struct CGXGridCore::ClickOps {
    BOOL (CGXControl::*down)(UINT, CPoint, UINT);
    BOOL (CGXControl::*up)(UINT, CPoint, UINT);
};

namespace {
constexpr CGXGridCore::ClickOps kLeft{&CGXControl::LButtonDown, &CGXControl::LButtonUp};
constexpr CGXGridCore::ClickOps kMiddle{&CGXControl::MButtonDown, &CGXControl::MButtonUp};
constexpr CGXGridCore::ClickOps kRight{&CGXControl::RButtonDown, &CGXControl::RButtonUp};
} // namespace

BOOL CGXGridCore::ClickedRowCol(const ClickOps& ops, ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol, UINT nFlags,
                                CPoint pt, UINT nHitState)
{
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
    if (nHitState & GX_HITSTART) {
        if (m_pParam != nullptr && (m_pParam->m_bSelectionFollowsCurrentCell || !(nHitState & GX_MOUSE_CURRENT))) {
            m_bWarningShown = FALSE;
            // With GX_CLICK_KEEPSELECTION a click moves the current cell and leaves the selection.
            const UINT nMove = (m_nClickOptions & GX_CLICK_KEEPSELECTION) ? GX_SMART | GX_NOSELECTION : GX_SMART;
            if (!SetCurrentCell(nRow, nCol, nMove))
                return FALSE;
            if (m_bWarningShown || nRow > GetRowCount() || nCol > GetColCount())
                return FALSE;
        }
        if (CGXControl* pControl = boundControl())
            (pControl->*ops.down)(nFlags, pt, nHitState);
        m_bMovedWhilePressed = FALSE;
    } else if (nHitState & GX_HITEND) {
        if (CGXControl* pControl = boundControl())
            (pControl->*ops.up)(nFlags, pt, nHitState);
        else
            SelectRangeByClick(nRow, nCol, nFlags);
        if (!m_bMovedWhilePressed && IsCurrentCell(nRow, nCol)) {
            if (ScrollCellInView(nRow, nCol, GX_UPDATENOW, FALSE))
                if (CGXControl* pControl = boundControl())
                    pControl->Refresh();
        } else if (m_pParam != nullptr && m_pParam->TestRowSelectionMode(3) && !IsCurrentCell(nStartRow, nStartCol)) {
            if (!SetCurrentCell(nStartRow, nStartCol, GX_SMART))
                return FALSE;
        }
    } else if (nHitState & GX_HITMOVE) {
        if (CGXControl* pControl = boundControl())
            pControl->MouseMove(nFlags, pt, nHitState);
        if (nRow != nStartRow || nCol != nStartCol)
            m_bMovedWhilePressed = TRUE;
    }
    return TRUE;
}

BOOL CGXGridCore::OnLButtonClickedRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol, UINT nFlags, CPoint pt,
                                         UINT nHitState)
{
    return ClickedRowCol(kLeft, nRow, nCol, nStartRow, nStartCol, nFlags, pt, nHitState);
}

BOOL CGXGridCore::OnMButtonClickedRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol, UINT nFlags, CPoint pt,
                                         UINT nHitState)
{
    return ClickedRowCol(kMiddle, nRow, nCol, nStartRow, nStartCol, nFlags, pt, nHitState);
}

BOOL CGXGridCore::OnRButtonClickedRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol, UINT nFlags, CPoint pt,
                                         UINT nHitState)
{
    return ClickedRowCol(kRight, nRow, nCol, nStartRow, nStartCol, nFlags, pt, nHitState);
}
