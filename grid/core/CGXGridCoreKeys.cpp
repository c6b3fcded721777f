// Keys: every key message of the grid or of a cell window passes one routing operation that
// gives the current cell's control the first chance; the grid's own keys move the current cell,
// run the clipboard and undo commands, cancel or start an edit and clear cells.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"

#include <algorithm>

BOOL CGXAbstractGridUserSelectRangeImp::MoveCurrentCellEx(CGXGridCore* pGrid, int nDirection, UINT nCell)
{
    return pGrid->MoveCurrentCell(nDirection, nCell, TRUE);
}

BOOL CGXAbstractGridUserSelectRangeImp::MoveCurrentCellAlone(CGXGridCore* pGrid, int nDirection, UINT nCell)
{
    return pGrid->MoveCurrentCell(nDirection, nCell, TRUE);
}

namespace {
BOOL KeyDown(int nVirtKey)
{
    return (GetKeyState(nVirtKey) & 0x8000) != 0;
}
} // namespace

BOOL CGXGridCore::RouteKeyMessage(CWnd* pSender, UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags)
{
    const HWND hGrid = m_pGridWnd != nullptr ? m_pGridWnd->GetSafeHwnd() : nullptr;
    // While the grid tracks the mouse, keys do nothing; ESC ends the tracking.
    if (hGrid != nullptr && GetCapture() == hGrid) {
        if (nMessage == WM_KEYDOWN && nChar == VK_ESCAPE)
            ::SendMessage(hGrid, WM_CANCELMODE, 0, 0);
        return TRUE;
    }
    ROWCOL nRow, nCol;
    if ((pSender == nullptr || pSender == m_pGridWnd) && GetCurrentCell(nRow, nCol)) {
        if (CGXControl* pControl = GetControl(nRow, nCol)) {
            if (!pControl->IsInitFor(nRow, nCol))
                pControl->Init(nRow, nCol);
            if (pControl->KeyPressed(nMessage, nChar, nRepCnt, nFlags)) {
                ScrollCellInView(nRow, nCol, GX_UPDATENOW, FALSE);
                if (hGrid != nullptr)
                    m_pGridWnd->UpdateWindow();
                return TRUE;
            }
        }
    }
    switch (nMessage) {
    case WM_KEYDOWN: return HandleKeyDown(nChar, nRepCnt, nFlags);
    case WM_KEYUP: return OnGridKeyUp(nChar, nRepCnt, nFlags);
    case WM_SYSKEYDOWN: return HandleSysKeyDown(nChar, nRepCnt, nFlags);
    case WM_SYSKEYUP: return OnGridSysKeyUp(nChar, nRepCnt, nFlags);
    case WM_SYSCHAR: return OnGridSysChar(nChar, nRepCnt, nFlags);
    case WM_CHAR: return HandleChar(nChar, nRepCnt, nFlags);
    default: return FALSE;
    }
}

BOOL CGXGridCore::HandleKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // A derived grid has the first word.
    if (OnGridKeyDown(nChar, nRepCnt, nFlags))
        return TRUE;
    const BOOL bCtl = KeyDown(VK_CONTROL);
    const BOOL bShift = KeyDown(VK_SHIFT);
    const BOOL bAlt = KeyDown(VK_MENU);
    const UINT nCount = std::max<UINT>(nRepCnt, 1);
    ROWCOL nRow = 0, nCol = 0;
    const BOOL bCurrent = GetCurrentCell(nRow, nCol);
    CGXControl* pControl = bCurrent ? GetControl(nRow, nCol) : nullptr;
    BOOL bHandled = TRUE;
    // Whether a key moved the current cell, and without a warning on the way.
    BOOL bMoved = FALSE;
    const auto move = [&](int nDirection, UINT nCell) {
        m_bWarningShown = FALSE;
        bMoved = MoveCurrentCellEx(nDirection, nCell) && !m_bWarningShown;
    };
    // Shift with Tab names the direction; it stretches no selection as it does with the arrows.
    const auto step = [&](int nDirection) {
        m_bWarningShown = FALSE;
        bMoved = MoveCurrentCellAlone(nDirection, 1) && !m_bWarningShown;
    };
    switch (nChar) {
    case VK_BACK:
        if (bCtl)
            UndoCommand(gxRedo);
        else
            bHandled = FALSE;
        break;
    case VK_TAB:
        if (SyncCurrentCell(TRUE, GX_INVALIDATE, TRUE))
            step(bShift ? GX_LEFT : GX_RIGHT);
        break;
    case VK_RETURN:
        if (bCtl || bShift || bAlt) {
            bHandled = FALSE;
            break;
        }
        if (SyncCurrentCell(TRUE, GX_INVALIDATE, TRUE) && m_pParam != nullptr && m_pParam->m_wEnterKeyAction != 0)
            move(m_pParam->m_wEnterKeyAction, 1);
        break;
    case VK_ESCAPE:
        if (m_pParam != nullptr && m_pParam->m_bCopyMarquee) {
            m_pParam->m_bCopyMarquee = FALSE;
            Redraw(GX_INVALIDATE, TRUE);
        }
        if (pControl != nullptr) {
            const BOOL bHadEdit = pControl->OnCancelEditing();
            pControl->Init(nRow, nCol);
            pControl->Refresh();
            if (bHadEdit)
                OnCanceledEditing(nRow, nCol);
            ScrollCellInView(nRow, nCol, GX_UPDATENOW, FALSE);
        }
        if (m_pParam != nullptr && !m_pParam->m_bSelectionFollowsCurrentCell)
            SetSelection(nullptr);
        break;
    case VK_PRIOR: move(GX_MOSTUP_PAGE, nCount); break;
    case VK_NEXT: move(GX_MOSTDOWN_PAGE, nCount); break;
    case VK_HOME:
        if (bCtl)
            move(GX_TOPLEFT, 1);
        else
            bHandled = FALSE;
        break;
    case VK_END:
        if (bCtl)
            move(GX_BOTTOMRIGHT, 1);
        else
            bHandled = FALSE;
        break;
    case VK_LEFT: move(bCtl ? GX_MOSTLEFT : GX_LEFT, nCount); break;
    case VK_UP: move(bCtl ? GX_TOP : GX_UP, nCount); break;
    case VK_RIGHT: move(bCtl ? GX_MOSTRIGHT : GX_RIGHT, nCount); break;
    case VK_DOWN: move(bCtl ? GX_BOTTOM : GX_DOWN, nCount); break;
    case VK_INSERT:
        if (bCtl && CanCopy())
            Copy();
        else if (bShift && CanPaste())
            Paste();
        else
            bHandled = FALSE;
        break;
    case VK_DELETE:
        if (bShift) {
            if (CanCut())
                Cut();
        } else if ((pControl == nullptr || !pControl->IsActive()) && CanClear() && (pControl == nullptr || pControl->CanClear())) {
            Clear(bCtl);
        } else {
            bHandled = FALSE;
        }
        break;
    case VK_F2:
        if (pControl == nullptr) {
            bHandled = FALSE;
        } else if (!pControl->IsActive()) {
            pControl->Init(nRow, nCol);
            if (!pControl->IsReadOnly() && pControl->CanActivate() && OnStartEditing(nRow, nCol)) {
                pControl->SetActive(TRUE);
                pControl->Refresh();
            }
        } else {
            SyncCurrentCell(TRUE, GX_INVALIDATE, TRUE);
        }
        break;
    default: bHandled = FALSE; break;
    }
    if (bHandled && m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
        m_pGridWnd->UpdateWindow();
    // A held key keeps moving: auto-scrolling repeats it on its timer, more often and by more
    // cells the longer it is held, until the key goes up. The repeats it sends come back here
    // while it runs and start nothing new.
    if (bMoved && m_bKeyboardAutoScroll && m_pAutoScrollPlugin != nullptr && m_nAutoScrollTimer == 0 && !m_bAutoScroll) {
        m_nAutoScrollKey = nChar;
        m_nAutoScrollKeyFlags = nFlags;
        m_bAutoScrollKeyMode = StartAutoScroll(FALSE, FALSE, FALSE);
    }
    return bHandled;
}

BOOL CGXGridCore::HandleChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (OnGridChar(nChar, nRepCnt, nFlags))
        return TRUE;
    switch (nChar) {
    case 0x16:
        if (CanPaste())
            Paste();
        return TRUE;
    case 0x03:
        if (CanCopy())
            Copy();
        return TRUE;
    case 0x18:
        if (CanCut())
            Cut();
        return TRUE;
    case 0x1A: UndoCommand(gxUndo); return TRUE;
    case 0x12: UndoCommand(gxRedo); return TRUE;
    case 0x09:
    case 0x0D:
    case 0x7F: return TRUE; // taken by the key-down handling already
    default: return FALSE;
    }
}

BOOL CGXGridCore::HandleSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (OnGridSysKeyDown(nChar, nRepCnt, nFlags))
        return TRUE;
    if (nChar == VK_BACK) {
        UndoCommand(gxUndo);
        return TRUE;
    }
    return FALSE;
}

BOOL CGXGridCore::MoveCurrentCellEx(int direction, UINT nCell)
{
    if (m_pUserSelectRangeImp != nullptr)
        return m_pUserSelectRangeImp->MoveCurrentCellEx(this, direction, nCell);
    return MoveCurrentCell(direction, nCell, TRUE);
}

BOOL CGXGridCore::MoveCurrentCellAlone(int direction, UINT nCell)
{
    if (m_pUserSelectRangeImp != nullptr)
        return m_pUserSelectRangeImp->MoveCurrentCellAlone(this, direction, nCell);
    return MoveCurrentCell(direction, nCell, TRUE);
}

BOOL CGXGridCore::FindNextCell(int direction, ROWCOL& nRow, ROWCOL& nCol)
{
    ROWCOL r = nRow, c = nCol;
    const ROWCOL nRows = GetRowCount(), nCols = GetColCount();
    CGXStyle* pStyle = CreateStyle();
    BOOL bFound = FALSE;
    // Bounded by the counts: every step changes the index, and the walk stops at an edge.
    for (;;) {
        switch (direction) {
        case GX_UP:
            if (r <= 1)
                goto done;
            --r;
            break;
        case GX_LEFT:
            if (c <= 1)
                goto done;
            --c;
            break;
        case GX_DOWN:
            if (r >= nRows)
                goto done;
            ++r;
            break;
        case GX_RIGHT:
            if (c >= nCols)
                goto done;
            ++c;
            break;
        default: goto done;
        }
        const BOOL bVertical = direction == GX_UP || direction == GX_DOWN;
        if (bVertical ? GetRowHeight(r) == 0 : GetColWidth(c) == 0)
            continue;
        CGXRange covered;
        if (FindCoveredSpan(r, c, covered) != nullptr && (bVertical ? covered.top != r : covered.left != c))
            continue;
        pStyle->Free();
        ComposeCellStyle(r, c, *pStyle);
        if (pStyle->GetInclude(GX_INCL_ENABLED) && !pStyle->GetEnabled())
            continue;
        bFound = TRUE;
        break;
    }
done:
    RecycleStyle(pStyle);
    if (bFound) {
        nRow = r;
        nCol = c;
    }
    return bFound;
}

ROWCOL CGXGridCore::RowsPerPage(BOOL bUp)
{
    CRect rect;
    GetGridRect(&rect);
    int nHeight = rect.Height();
    for (ROWCOL r = 0; r <= GetFrozenRows(); ++r)
        nHeight -= GetRowHeight(r);
    ROWCOL nRows = 0;
    int nSum = 0;
    if (bUp) {
        for (ROWCOL r = m_nTopRow; r > GetFrozenRows() + 1 && nSum < nHeight; ++nRows)
            nSum += GetRowHeight(--r);
    } else {
        for (ROWCOL r = m_nTopRow; r <= GetRowCount() && nSum + GetRowHeight(r) <= nHeight; ++r, ++nRows)
            nSum += GetRowHeight(r);
    }
    return std::max<ROWCOL>(nRows, 1);
}

BOOL CGXGridCore::MoveCurrentCell(int direction, UINT nCell, BOOL bCanSelectRange)
{
    const ROWCOL nRows = GetRowCount(), nCols = GetColCount();
    if (m_pParam == nullptr || nRows == 0 || nCols == 0)
        return FALSE;
    nCell = std::max<UINT>(nCell, 1);
    ROWCOL nRow, nCol;
    const BOOL bHadCurrent = GetCurrentCell(nRow, nCol);
    if (!bHadCurrent) {
        nRow = std::min(m_nTopRow, nRows);
        nCol = std::min(m_nLeftCol, nCols);
    }
    const ROWCOL nStartRow = nRow, nStartCol = nCol;
    const ROWCOL nFirstRow = GetHeaderRows() + 1, nFirstCol = GetHeaderCols() + 1;
    auto walk = [&](int nDir, UINT n) {
        for (UINT i = 0; i < n; ++i) {
            // From a covered range, a step down or right passes the whole range.
            CGXRange covered;
            if ((nDir == GX_DOWN || nDir == GX_RIGHT) && FindCoveredSpan(nRow, nCol, covered) != nullptr) {
                if (nDir == GX_DOWN)
                    nRow = covered.bottom;
                else
                    nCol = covered.right;
            }
            if (!FindNextCell(nDir, nRow, nCol))
                break;
        }
    };
    // From a target, the first cell that can be current in the given direction: the target
    // itself when it can.
    auto seek = [&](ROWCOL nTargetRow, ROWCOL nTargetCol, int nDir) -> BOOL {
        ROWCOL r = nTargetRow, c = nTargetCol;
        // Step back one so that FindNextCell considers the target itself.
        switch (nDir) {
        case GX_DOWN: r = r - 1; break;
        case GX_UP: r = r + 1; break;
        case GX_RIGHT: c = c - 1; break;
        case GX_LEFT: c = c + 1; break;
        default: break;
        }
        if (!FindNextCell(nDir, r, c))
            return FALSE;
        nRow = r;
        nCol = c;
        return TRUE;
    };
    switch (direction) {
    case GX_DOWN:
    case GX_RIGHT:
    case GX_UP:
    case GX_LEFT: walk(direction, nCell); break;
    case GX_MOSTDOWN_PAGE: {
        const ROWCOL nPage = RowsPerPage(FALSE) * nCell;
        ScrollByDirection(GX_DOWN, nPage);
        if (nStartRow > GetFrozenRows())
            seek(std::min<ROWCOL>(nStartRow + std::min<ROWCOL>(nPage, nRows), nRows), nCol, GX_UP);
        break;
    }
    case GX_MOSTUP_PAGE: {
        const ROWCOL nPage = RowsPerPage(TRUE) * nCell;
        ScrollByDirection(GX_UP, nPage);
        if (nStartRow > GetFrozenRows()) {
            const ROWCOL nTarget = nStartRow > nPage ? std::max<ROWCOL>(nStartRow - nPage, nFirstRow) : nFirstRow;
            if (!seek(nTarget, nCol, GX_UP))
                seek(nTarget, nCol, GX_DOWN);
        }
        break;
    }
    case GX_TOP: seek(nFirstRow, nCol, GX_DOWN); break;
    case GX_BOTTOM: seek(nRows, nCol, GX_UP); break;
    case GX_MOSTLEFT: seek(nRow, nFirstCol, GX_RIGHT); break;
    case GX_MOSTRIGHT: seek(nRow, nCols, GX_LEFT); break;
    case GX_TOPLEFT:
        if (seek(nFirstRow, nCol, GX_DOWN))
            seek(nRow, nFirstCol, GX_RIGHT);
        break;
    case GX_BOTTOMRIGHT:
        if (seek(nRows, nCol, GX_UP))
            seek(nRow, nCols, GX_LEFT);
        break;
    default: return FALSE;
    }
    const BOOL bMoved = nRow != nStartRow || nCol != nStartCol;
    if ((!bMoved && bHadCurrent) || nRow < nFirstRow || nCol < nFirstCol)
        return TRUE;
    UINT nFlags = GX_SCROLLINVIEW | GX_UPDATENOW;
    if (!m_pParam->m_bSelectionFollowsCurrentCell || !bCanSelectRange)
        nFlags |= GX_NOSELECTION;
    return SetCurrentCell(nRow, nCol, nFlags);
}
