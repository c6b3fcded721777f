#include "grid/features/CGXGridFindReplaceImp.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXCommand.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/CGXStyle.h"
#include "platform/afx/dlg/CFindReplaceDialog.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CException.h"
#include "platform/core/WinMessages.h"

#include <algorithm>
#include <memory>
#include <string_view>

namespace {

// Notes a cell's composed style in the shared state for the length of one cell's search.
class NotedStyle {
public:
    NotedStyle(CGXFindReplaceState& state, const CGXStyle& style) : m_state(state), m_pOld(state.m_pStyle) { m_state.m_pStyle = &style; }
    ~NotedStyle() { m_state.m_pStyle = m_pOld; }
    NotedStyle(const NotedStyle&) = delete;
    NotedStyle& operator=(const NotedStyle&) = delete;

private:
    CGXFindReplaceState& m_state;
    const CGXStyle* m_pOld;
};

// Replace All's running flag is over when Replace All is, however it ends.
class RunningFlagReset {
public:
    explicit RunningFlagReset(CGXFindReplaceState& state) : m_state(state) {}
    ~RunningFlagReset() { m_state.m_bReplaceAllRunning = FALSE; }
    RunningFlagReset(const RunningFlagReset&) = delete;
    RunningFlagReset& operator=(const RunningFlagReset&) = delete;

private:
    CGXFindReplaceState& m_state;
};

// An undo transaction that is rolled back unless it was closed on purpose.
class Transaction {
public:
    Transaction(CGXGridCore& grid, LPCTSTR pszName) : m_grid(grid) { m_grid.BeginTransaction(pszName); }
    ~Transaction()
    {
        if (!m_bClosed)
            m_grid.RollbackTransaction();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit()
    {
        m_bClosed = true;
        m_grid.CommitTransaction();
    }
    void Rollback()
    {
        m_bClosed = true;
        m_grid.RollbackTransaction();
    }

private:
    CGXGridCore& m_grid;
    bool m_bClosed = false;
};

BOOL HasCells(CGXGridCore* pGrid)
{
    return pGrid != nullptr && pGrid->GetParam() != nullptr && pGrid->GetRowCount() > 0 && pGrid->GetColCount() > 0;
}

void StoreSettings(CGXFindReplaceState& state, LPCTSTR pszFind, BOOL bDown, BOOL bCase)
{
    state.m_strFind = pszFind != nullptr ? pszFind : "";
    state.m_bNext = bDown;
    state.m_bCase = bCase;
    state.PrepareFindText();
}

// Percent of the rows searched so far, as the status bar shows it.
void SetProgress(ROWCOL nDone, ROWCOL nTotal)
{
    if (nTotal == 0)
        return;
    const unsigned long long percent = 100ULL * nDone / nTotal;
    CGXLongOperation::SetPercentDone(static_cast<int>(std::min<unsigned long long>(percent, 100)));
}

// Stores a cell's new text through its control, which turns text into a value its own way, and
// records the cell's old style so that the change can be undone (and rolled back with the
// transaction it belongs to).
BOOL StoreCellText(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, const CString& sText)
{
    std::unique_ptr<CGXSetStyleRangeCmd> undo;
    CGXData* pData = pGrid->GetData();
    if (pData != nullptr && pGrid->RecordingUndo(gxDo)) {
        undo = std::make_unique<CGXSetStyleRangeCmd>(CGXRange(nRow, nCol, nRow, nCol), 0);
        const CGXStyle* pOld = pData->LookupStyle(nRow, nCol, 0);
        undo->m_Styles.Add(pOld != nullptr ? new CGXStyle(*pOld) : nullptr);
        undo->m_nRow = nRow;
        undo->m_nCol = nCol;
        undo->m_sDescription = pGrid->GetAppData()->GetText(gxTextReplacing);
    }
    if (!pGrid->SetCellTextThroughControl(nRow, nCol, sText, GX_UPDATENOW, nullptr))
        return FALSE;
    if (undo != nullptr)
        pGrid->AddCommand(undo.release(), gxDo);
    return TRUE;
}

BOOL Cancelled(CGXLongOperation& op)
{
    BOOL bCancelled = FALSE;
    op.DoMessages(bCancelled);
    return bCancelled;
}

} // namespace

void CGXGridFindReplaceImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pFindReplaceImp != nullptr)
        return;
    auto* pImp = new CGXGridFindReplaceImp;
    pGrid->m_pFindReplaceImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

BOOL CGXGridFindReplaceImp::ReplaceMatches(const CGXFindReplaceState& state, const CString& sText, const CString& sReplace,
                                           CString& sResult, int nStart, int nMaxCount, int* pnEnd)
{
    const CString sSearched = state.PrepareCellText(sText);
    const std::string_view find(state.m_strFindUpper.GetString(), static_cast<size_t>(state.m_strFindUpper.GetLength()));
    const std::string_view searched(sSearched.GetString(), static_cast<size_t>(sSearched.GetLength()));
    const std::string_view text(sText.GetString(), static_cast<size_t>(sText.GetLength()));
    // An empty find text would match everywhere without ever moving on.
    if (find.empty() || searched.size() != text.size() || nStart < 0 || static_cast<size_t>(nStart) > text.size())
        return FALSE;
    std::string result;
    size_t copied = 0;
    size_t pos = static_cast<size_t>(nStart);
    int nCount = 0;
    size_t end = 0;
    while (nMaxCount < 0 || nCount < nMaxCount) {
        const size_t hit = searched.find(find, pos);
        if (hit == std::string_view::npos)
            break;
        result.append(text.substr(copied, hit - copied));
        result.append(sReplace.GetString(), static_cast<size_t>(sReplace.GetLength()));
        end = result.size();
        copied = pos = hit + find.size();
        ++nCount;
    }
    if (nCount == 0)
        return FALSE;
    result.append(text.substr(copied));
    sResult = CString(result.data(), static_cast<int>(result.size()));
    if (pnEnd != nullptr)
        *pnEnd = static_cast<int>(end);
    return TRUE;
}

BOOL CGXGridFindReplaceImp::GetCellText(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CString& sText)
{
    CGXFindReplaceState& state = GXGetFindReplaceState();
    CGXStyle composed;
    const CGXStyle* pStyle = state.m_pStyle;
    if (pStyle == nullptr) {
        pGrid->ComposeCellStyle(nRow, nCol, composed);
        pStyle = &composed;
    }
    CGXControl* pControl = pGrid->GetControlById(pStyle->GetControl());
    if (pControl == nullptr) {
        sText = pStyle->GetValue();
        return TRUE;
    }
    return pControl->GetControlText(sText, nRow, nCol, nullptr, *pStyle);
}

void CGXGridFindReplaceImp::ShowFindReplaceDialog(CGXGridCore* pGrid, BOOL bFindOnly)
{
    if (!HasCells(pGrid))
        return;
    CGXFindReplaceState& state = GXGetFindReplaceState();
    state.m_pActiveGrid = pGrid;
    ROWCOL nRow = 0;
    ROWCOL nCol = 0;
    if (!pGrid->GetCurrentCell(nRow, nCol)) {
        nRow = std::min(std::max<ROWCOL>(pGrid->GetTopRow(), 1), pGrid->GetRowCount());
        nCol = std::min(std::max<ROWCOL>(pGrid->GetLeftCol(), 1), pGrid->GetColCount());
        pGrid->SetCurrentCell(nRow, nCol, GX_UPDATENOW | GX_SCROLLINVIEW | GX_NOFLUSHPAINT);
    } else {
        pGrid->ScrollCellInView(nRow, nCol, GX_UPDATENOW);
    }
    CString sFind;
    pGrid->GetCurrentCellText(sFind);
    if (sFind.IsEmpty())
        sFind = state.m_strFind;

    if (state.IsDialogOpen()) {
        if (state.m_bDialogFindOnly == bFindOnly) {
            ::SetActiveWindow(state.m_hWndDialog);
            ::ShowWindow(state.m_hWndDialog, SW_SHOW);
            return;
        }
        const HWND hOld = state.m_hWndDialog;
        state.m_hWndDialog = nullptr;
        state.m_pDialog = nullptr;
        ::SendMessage(hOld, WM_CLOSE, 0, 0);
    }
    state.m_hWndDialog = nullptr;
    state.m_pDialog = nullptr;
    state.m_pDialogGrid = pGrid;

    DWORD dwFlags = FR_HIDEWHOLEWORD;
    if (state.m_bNext)
        dwFlags |= FR_DOWN;
    if (state.m_bCase)
        dwFlags |= FR_MATCHCASE;
    auto* pDialog = new CFindReplaceDialog;
    if (!pDialog->Create(bFindOnly, sFind, state.m_strReplace, dwFlags, pGrid->GridWnd())) {
        // Without a window the object does not delete itself.
        delete pDialog;
        state.m_pDialogGrid = nullptr;
        return;
    }
    state.m_pDialog = pDialog;
    state.m_hWndDialog = pDialog->GetSafeHwnd();
    state.m_bDialogFindOnly = bFindOnly;
    state.m_bFindOnly = bFindOnly;
}

BOOL CGXGridFindReplaceImp::OnFindReplace(CGXGridCore* pGrid, CWnd* pDialog)
{
    auto* pFind = dynamic_cast<CFindReplaceDialog*>(pDialog);
    if (pGrid == nullptr || pFind == nullptr)
        return FALSE;
    CGXFindReplaceState& state = GXGetFindReplaceState();
    if (state.m_pActiveGrid != nullptr && state.m_pActiveGrid != pGrid)
        return state.m_pActiveGrid->HandleFindReplaceMessage(pDialog);
    if (pFind->IsTerminating()) {
        if (state.m_pDialog == pFind || state.m_hWndDialog == pFind->GetSafeHwnd()) {
            state.m_pDialog = nullptr;
            state.m_hWndDialog = nullptr;
            state.m_pDialogGrid = nullptr;
        }
        return TRUE;
    }
    state.m_pActiveGrid = pGrid;
    const CString sFind = pFind->GetFindString();
    if (pFind->FindNext())
        return FindNextText(pGrid, sFind, pFind->SearchDown(), pFind->MatchCase());
    if (pFind->ReplaceCurrent())
        return ReplaceSel(pGrid, sFind, pFind->SearchDown(), pFind->MatchCase(), pFind->GetReplaceString());
    if (pFind->ReplaceAll()) {
        state.m_bReplaceAllRunning = TRUE;
        // Through the grid, which may wrap the whole walk in work of its own.
        return pGrid->ReplaceAll(sFind, pFind->GetReplaceString(), pFind->MatchCase());
    }
    return FALSE;
}

BOOL CGXGridFindReplaceImp::FindNextText(CGXGridCore* pGrid, LPCTSTR pszFind, BOOL bDown, BOOL bCase)
{
    if (!HasCells(pGrid))
        return FALSE;
    CGXFindReplaceState& state = GXGetFindReplaceState();
    StoreSettings(state, pszFind, bDown, bCase);
    return FindNext(pGrid, TRUE);
}

BOOL CGXGridFindReplaceImp::FindNext(CGXGridCore* pGrid, BOOL bSetCell)
{
    ROWCOL nRow = 0;
    ROWCOL nCol = 0;
    if (!HasCells(pGrid) || !pGrid->GetCurrentCell(nRow, nCol))
        return FALSE;
    CGXFindReplaceState& state = GXGetFindReplaceState();
    BOOL bFound = FALSE;
    if (!state.m_strFindUpper.IsEmpty()) {
        CGXLongOperation op;
        state.m_nReplaceOffset = -1;
        CGXControl* pControl = pGrid->GetControl(nRow, nCol);
        bFound = pControl != nullptr && pControl->FindText(nRow, nCol, FALSE, bSetCell);
        if (!bFound)
            bFound = FindTextFrom(pGrid, nRow, nCol, bSetCell);
    }
    if (!bFound && bSetCell)
        pGrid->Beep(state.m_strFind);
    return bFound;
}

BOOL CGXGridFindReplaceImp::FindTextFrom(CGXGridCore* pGrid, ROWCOL& nRow, ROWCOL& nCol, BOOL bSetCell)
{
    if (!HasCells(pGrid))
        return FALSE;
    CGXFindReplaceState& state = GXGetFindReplaceState();
    if (state.m_strFindUpper.IsEmpty())
        return FALSE;
    const ROWCOL nCount = pGrid->GetRowCount();
    const BOOL bDown = state.m_bNext;
    const ROWCOL nStart = nRow;
    // Nothing lies beyond the first or last row: the search never wraps.
    if (bDown ? nRow >= nCount : nRow <= 1)
        return FALSE;
    ROWCOL nTest = bDown ? nRow + 1 : nRow - 1;
    const ROWCOL nTotal = bDown ? nCount - nStart : nStart;

    CGXLongOperation op;
    op.SetStatusText(pGrid->GetAppData()->GetText(gxTextSearching), FALSE);
    BOOL bFound = FALSE;
    CGXStyle style;
    for (;;) {
        if (Cancelled(op))
            break;
        SetProgress(bDown ? nTest - nStart : nStart - nTest, nTotal);
        style.Free();
        pGrid->ComposeCellStyle(nTest, nCol, style);
        if (style.GetEnabled()) {
            NotedStyle noted(state, style);
            CGXControl* pControl = pGrid->GetControlById(style.GetControl());
            bFound = pControl != nullptr ? pControl->FindText(nTest, nCol, FALSE, bSetCell)
                                         : FindTextInCell(pGrid, nTest, nCol, FALSE, bSetCell);
        }
        if (bFound)
            break;
        if (bDown ? nTest >= nCount : nTest <= 1)
            break;
        nTest = bDown ? nTest + 1 : nTest - 1;
    }
    CGXLongOperation::SetPercentDone(-1);
    if (bFound)
        nRow = nTest;
    return bFound;
}

BOOL CGXGridFindReplaceImp::FindTextInCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell)
{
    if (pGrid == nullptr || (!bCurrentPos && pGrid->IsCurrentCell(nRow, nCol)))
        return FALSE;
    const CGXFindReplaceState& state = GXGetFindReplaceState();
    if (state.m_strFindUpper.IsEmpty())
        return FALSE;
    CString sText;
    if (!GetCellText(pGrid, nRow, nCol, sText))
        return FALSE;
    const CString sSearched = state.PrepareCellText(sText);
    if (std::string_view(sSearched.GetString(), static_cast<size_t>(sSearched.GetLength()))
            .find(std::string_view(state.m_strFindUpper.GetString(), static_cast<size_t>(state.m_strFindUpper.GetLength()))) ==
        std::string_view::npos)
        return FALSE;
    if (bSetCell)
        pGrid->SetCurrentCell(nRow, nCol, GX_UPDATENOW | GX_SCROLLINVIEW);
    return TRUE;
}

BOOL CGXGridFindReplaceImp::ReplaceAllInCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol)
{
    if (pGrid == nullptr)
        return FALSE;
    const CGXFindReplaceState& state = GXGetFindReplaceState();
    CString sText;
    CString sNew;
    if (!GetCellText(pGrid, nRow, nCol, sText) || !ReplaceMatches(state, sText, state.m_strReplace, sNew))
        return FALSE;
    return StoreCellText(pGrid, nRow, nCol, sNew);
}

BOOL CGXGridFindReplaceImp::ReplaceSel(CGXGridCore* pGrid, LPCTSTR pszFind, BOOL bDown, BOOL bCase, LPCTSTR pszReplace)
{
    ROWCOL nRow = 0;
    ROWCOL nCol = 0;
    if (!HasCells(pGrid) || !pGrid->GetCurrentCell(nRow, nCol))
        return FALSE;
    CGXFindReplaceState& state = GXGetFindReplaceState();
    const BOOL bSameCell = state.m_nReplaceOffset >= 0 && state.m_nReplaceRow == nRow && state.m_nReplaceCol == nCol;
    StoreSettings(state, pszFind, bDown, bCase);
    state.m_strReplace = pszReplace != nullptr ? pszReplace : "";
    if (state.m_strFindUpper.IsEmpty()) {
        pGrid->Beep(state.m_strFind);
        return FALSE;
    }
    // What is being typed in the cell is the text to replace in.
    pGrid->SyncCurrentCell(TRUE, GX_UPDATENOW, FALSE);

    CGXLongOperation op;
    BOOL bFound = FALSE;
    CString sText;
    CString sNew;
    int nEnd = 0;
    const int nFrom = bSameCell ? state.m_nReplaceOffset : 0;
    if (GetCellText(pGrid, nRow, nCol, sText) && ReplaceMatches(state, sText, state.m_strReplace, sNew, std::min(nFrom, sText.GetLength()), 1, &nEnd) &&
        StoreCellText(pGrid, nRow, nCol, sNew)) {
        // Another match after the replaced one keeps the cell; the next Replace takes it.
        CString sUnused;
        if (ReplaceMatches(state, sNew, state.m_strReplace, sUnused, nEnd, 1)) {
            state.m_nReplaceRow = nRow;
            state.m_nReplaceCol = nCol;
            state.m_nReplaceOffset = nEnd;
            return TRUE;
        }
    }
    state.m_nReplaceOffset = -1;
    ROWCOL nNext = nRow;
    bFound = FindTextFrom(pGrid, nNext, nCol, TRUE);
    if (bFound) {
        state.m_nReplaceRow = nNext;
        state.m_nReplaceCol = nCol;
        state.m_nReplaceOffset = 0;
    } else {
        pGrid->Beep(state.m_strFind);
    }
    return bFound;
}

BOOL CGXGridFindReplaceImp::ReplaceAll(CGXGridCore* pGrid, LPCTSTR pszFind, LPCTSTR pszReplace, BOOL bCase)
{
    CGXFindReplaceState& state = GXGetFindReplaceState();
    RunningFlagReset runningReset(state);
    const BOOL bRunning = state.m_bReplaceAllRunning;
    ROWCOL nRow = 0;
    ROWCOL nCol = 0;
    if (!HasCells(pGrid) || !pGrid->GetCurrentCell(nRow, nCol))
        return FALSE;
    StoreSettings(state, pszFind, TRUE, bCase);
    state.m_strReplace = pszReplace != nullptr ? pszReplace : "";
    state.m_nReplaceOffset = -1;
    if (state.m_strFindUpper.IsEmpty()) {
        pGrid->Beep(state.m_strFind);
        return FALSE;
    }
    pGrid->SyncCurrentCell(TRUE, GX_UPDATENOW, FALSE);

    DWORD nReplaced = 0;
    BOOL bAborted = FALSE;
    {
        CGXLongOperation op;
        op.SetStatusText(pGrid->GetAppData()->GetText(gxTextReplacing), FALSE);
        // One undo step for the whole walk, whoever asked for it.
        Transaction transaction(*pGrid, pGrid->GetAppData()->GetText(gxTextReplaceAll));
        const ROWCOL nCount = pGrid->GetRowCount();
        const ROWCOL nTotal = nCount - nRow + 1;
        CGXStyle style;
        {
            // The meter tells how far down the column the replace has gone, not each cell's
            // store.
            const CGXInnerLevelsQuiet quiet;
            for (ROWCOL n = nRow; n <= nCount && n != 0; ++n) {
                SetProgress(n - nRow, nTotal);
                if (Cancelled(op)) {
                    bAborted = TRUE;
                    break;
                }
                style.Free();
                pGrid->ComposeCellStyle(n, nCol, style);
                // A disabled cell is out of the user's reach: it is not changed either.
                if (!style.GetEnabled())
                    continue;
                NotedStyle noted(state, style);
                CGXControl* pControl = pGrid->GetControlById(style.GetControl());
                const BOOL bReplaced = pControl != nullptr ? pControl->ReplaceAll(n, nCol) : ReplaceAllInCell(pGrid, n, nCol);
                nReplaced += bReplaced ? 1 : 0;
                if (n == nCount)
                    break;
            }
        }
        CGXLongOperation::SetPercentDone(-1);
        if (bAborted) {
            // Stopped by the user: every cell it changed gets its old text back, under a meter
            // of its own, and no step is left, as if it had never run. Half a replace would be
            // saved as it stood.
            transaction.Rollback();
            nReplaced = 0;
        } else {
            transaction.Commit();
        }
    }
    if (nReplaced == 0 && !bAborted)
        pGrid->Beep(state.m_strFind);
    pGrid->Redraw(GX_INVALIDATE, TRUE);
    if (bAborted && !bRunning)
        AfxThrowUserException();
    if (nReplaced > 0)
        pGrid->ReplacedAll(state.m_strFind, state.m_strReplace, nReplaced);
    return nReplaced > 0;
}
