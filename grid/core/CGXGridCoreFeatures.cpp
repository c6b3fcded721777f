// The engine's forwarders to its optional features, its find, replace and selection
// operations, the undo operations through the command factory and the data-object
// notifications. A forwarder passes the grid first and its own arguments unchanged; without
// the feature it answers its fixed default.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridCoreTarget.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/data/CGXCommandFactory.h"
#include "grid/data/CGXLongOperation.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/MessageBox.h"
#include "platform/win/Keyboard.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/VirtualKeys.h"

// ---- Hidden rows and columns, resizing to fit ----

BOOL CGXGridCore::HideRows(ROWCOL nFromRow, ROWCOL nToRow, BOOL bHide, const CDWordArray* pFlags, UINT nFlags, int nMode)
{
    return m_pHideCellsImp != nullptr && m_pHideCellsImp->HideRows(this, nFromRow, nToRow, bHide, pFlags, nFlags, nMode);
}

BOOL CGXGridCore::HideCols(ROWCOL nFromCol, ROWCOL nToCol, BOOL bHide, const CDWordArray* pFlags, UINT nFlags, int nMode)
{
    return m_pHideCellsImp != nullptr && m_pHideCellsImp->HideCols(this, nFromCol, nToCol, bHide, pFlags, nFlags, nMode);
}

BOOL CGXGridCore::IsRowHidden(ROWCOL nRow)
{
    return m_pHideCellsImp != nullptr && m_pHideCellsImp->IsRowHidden(this, nRow);
}

BOOL CGXGridCore::IsColHidden(ROWCOL nCol)
{
    return m_pHideCellsImp != nullptr && m_pHideCellsImp->IsColHidden(this, nCol);
}

BOOL CGXGridCore::StoreHideRow(ROWCOL nRow, BOOL bHide)
{
    return m_pHideCellsImp != nullptr && m_pHideCellsImp->StoreHideRow(this, nRow, bHide);
}

BOOL CGXGridCore::StoreHideCol(ROWCOL nCol, BOOL bHide)
{
    return m_pHideCellsImp != nullptr && m_pHideCellsImp->StoreHideCol(this, nCol, bHide);
}

BOOL CGXGridCore::ResizeRowHeightsToFit(CGXRange range, BOOL bResizeCoveredCells, UINT nFlags, int nMode, ROWCOL nMinRow,
                                        ROWCOL nMaxRow, int nMaxHeight)
{
    return m_pResizeToFitImp != nullptr &&
           m_pResizeToFitImp->ResizeRowHeightsToFit(this, range, bResizeCoveredCells, nFlags, nMode, nMinRow, nMaxRow, nMaxHeight);
}

BOOL CGXGridCore::ResizeColWidthsToFit(CGXRange range, BOOL bResizeCoveredCells, UINT nFlags, int nMode, ROWCOL nMinCol,
                                       ROWCOL nMaxCol, int nMaxWidth)
{
    return m_pResizeToFitImp != nullptr &&
           m_pResizeToFitImp->ResizeColWidthsToFit(this, range, bResizeCoveredCells, nFlags, nMode, nMinCol, nMaxCol, nMaxWidth);
}

// ---- Drag-selection ----

BOOL CGXGridCore::DragSelectStart(ROWCOL nRow, ROWCOL nCol)
{
    return m_pUserDragSelectRangeImp != nullptr && m_pUserDragSelectRangeImp->DragSelectStart(this, nRow, nCol);
}

BOOL CGXGridCore::DragSelectTrack(ROWCOL nRow, ROWCOL nCol, BOOL bEnd, UINT nFlags)
{
    return m_pUserDragSelectRangeImp != nullptr && m_pUserDragSelectRangeImp->DragSelectTrack(this, nRow, nCol, bEnd, nFlags);
}

BOOL CGXGridCore::DragSelectDrop(ROWCOL nRow, ROWCOL nCol, ROWCOL& nNewRow, ROWCOL& nNewCol)
{
    return m_pUserDragSelectRangeImp != nullptr && m_pUserDragSelectRangeImp->DragSelectDrop(this, nRow, nCol, nNewRow, nNewCol);
}

BOOL CGXGridCore::DragSelectCancel()
{
    return m_pUserDragSelectRangeImp != nullptr && m_pUserDragSelectRangeImp->DragSelectCancel(this);
}

BOOL CGXGridCore::CanStartDragSelectRows()
{
    return GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
}

BOOL CGXGridCore::CanStartDragSelectCols()
{
    return GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
}

BOOL CGXGridCore::CanDragSelectedRows(ROWCOL, ROWCOL)
{
    return TRUE;
}

BOOL CGXGridCore::CanDropSelectedRows(ROWCOL, ROWCOL, ROWCOL)
{
    return TRUE;
}

BOOL CGXGridCore::OnMoveSelectedRows(ROWCOL, ROWCOL, ROWCOL)
{
    return TRUE;
}

BOOL CGXGridCore::CanDragSelectedCols(ROWCOL, ROWCOL)
{
    return TRUE;
}

BOOL CGXGridCore::CanDropSelectedCols(ROWCOL, ROWCOL, ROWCOL)
{
    return TRUE;
}

BOOL CGXGridCore::OnMoveSelectedCols(ROWCOL, ROWCOL, ROWCOL)
{
    return TRUE;
}

BOOL CGXGridCore::CanStartFill(const CGXRange&)
{
    return TRUE;
}

// ---- Selection and the selection frame ----

BOOL CGXGridCore::IsCellInRangeList(ROWCOL nRow, ROWCOL nCol, const CGXRangeList& list)
{
    return list.ContainsCellExcept(nRow, nCol, nullptr);
}

BOOL CGXGridCore::CopySelection(CGXRangeList& list, BOOL bIncludeCurrent, UINT nFlags)
{
    return m_pUserSelectRangeImp != nullptr && m_pUserSelectRangeImp->CopySelection(this, list, bIncludeCurrent, nFlags);
}

BOOL CGXGridCore::DrawSelectionRangeFrame(CDC* pDC, const CGXRange& range, const CRect& rect, BOOL bFill, UINT nFlags, int nWidth)
{
    return m_pExcelLikeFrameImp != nullptr && m_pExcelLikeFrameImp->DrawSelectionRangeFrame(this, pDC, range, rect, bFill, nFlags, nWidth);
}

BOOL CGXGridCore::PrepareChangeSelection(POSITION pos, ROWCOL nTop)
{
    return m_pUserSelectRangeImp != nullptr && m_pUserSelectRangeImp->PrepareChangeSelection(this, pos, nTop);
}

BOOL CGXGridCore::PrepareClearSelection(BOOL bCreateHint, UINT nFlags)
{
    return m_pUserSelectRangeImp != nullptr && m_pUserSelectRangeImp->PrepareClearSelection(this, bCreateHint, nFlags);
}

BOOL CGXGridCore::SelectRange(const CGXRange& range, BOOL bSelect, BOOL bUpdate, UINT nFlags, int nMode, BOOL bCreateHint)
{
    return m_pUserSelectRangeImp != nullptr && m_pUserSelectRangeImp->SelectRange(this, range, bSelect, bUpdate, nFlags, nMode, bCreateHint);
}

BOOL CGXGridCore::ClearSelection(BOOL bCreateHint)
{
    return m_pUserSelectRangeImp != nullptr && m_pUserSelectRangeImp->ClearSelection(this, bCreateHint);
}

BOOL CGXGridCore::OnChangedSelection(const CGXRange* pRange, BOOL bIsDragging, BOOL bKey)
{
    if (m_pExcelLikeFrameImp != nullptr)
        m_pExcelLikeFrameImp->SelectionChanged(this);
    OnSelectionChanged(pRange, bIsDragging, bKey);
    return TRUE;
}

void CGXGridCore::OnSelectionChanging(const CGXRange*, BOOL, BOOL) {}

BOOL CGXGridCore::CanSelectCurrentCell(BOOL, ROWCOL, ROWCOL, ROWCOL, ROWCOL)
{
    return TRUE;
}

void CGXGridCore::OnSelectionChanged(const CGXRange*, BOOL, BOOL) {}

BOOL CGXGridCore::CanChangeSelection(const CGXRange*, BOOL, BOOL)
{
    return TRUE;
}

BOOL CGXGridCore::CanStartSelection(ROWCOL, ROWCOL, UINT, CPoint)
{
    return TRUE;
}

BOOL CGXGridCore::CanClearSelection(BOOL, UINT)
{
    return TRUE;
}

BOOL CGXGridCore::OnFillHandle(ROWCOL nRow, ROWCOL nCol)
{
    // The feature takes the column first.
    return m_pExcelLikeFillImp != nullptr && m_pExcelLikeFillImp->OnFillHandle(this, nCol, nRow);
}

BOOL CGXGridCore::AddFillRange(const CGXRange& range)
{
    return m_pExcelLikeFillImp != nullptr && m_pExcelLikeFillImp->AddFillRange(this, range);
}

void CGXGridCore::SetExcelLikeFillImp(CGXAbstractGridExcelLikeFillImp* pImp, BOOL bAutoDelete)
{
    m_pExcelLikeFillImp = pImp;
    if (bAutoDelete && pImp != nullptr)
        AddAutoDeleteImp(pImp);
}

BOOL CGXGridCore::GetSelectedRanges(CGXRangeList& list, BOOL bIncludeCurrent)
{
    list.DeleteAll();
    if (m_pParam != nullptr)
        for (POSITION pos = m_pParam->m_SelRects.GetHeadPosition(); pos != nullptr;)
            list.AddTail(new CGXRange(*m_pParam->m_SelRects.GetNextRange(pos)));
    ROWCOL nRow, nCol;
    if (list.IsEmpty() && bIncludeCurrent && GetCurrentCell(nRow, nCol))
        list.AddTail(new CGXRange(nRow, nCol, nRow, nCol));
    return !list.IsEmpty();
}

BOOL CGXGridCore::GetSelectedRowSpans(CDWordArray& starts, CDWordArray& ends, BOOL bIncludeCurrent)
{
    starts.RemoveAll();
    ends.RemoveAll();
    BOOL bFound = m_pParam != nullptr && m_pParam->m_SelRects.GetRowSpans(GetRowCount(), starts, ends, FALSE);
    ROWCOL nRow, nCol;
    if (!bFound && bIncludeCurrent) {
        bFound = GetCurrentCell(nRow, nCol);
        if (bFound) {
            starts.Add(nRow);
            ends.Add(nRow);
        }
    }
    return bFound;
}

ROWCOL CGXGridCore::GetSelectedRows(CDWordArray& rows, BOOL bIncludeCurrent)
{
    rows.RemoveAll();
    CDWordArray starts, ends;
    if (!GetSelectedRowSpans(starts, ends, bIncludeCurrent))
        return 0;
    ROWCOL nCount = 0;
    for (INT_PTR i = 0; i < starts.GetSize() && i < ends.GetSize(); ++i)
        for (ROWCOL nRow = starts[i]; nRow <= ends[i] && nRow >= starts[i]; ++nRow) {
            rows.Add(nRow);
            ++nCount;
            if (nRow == GX_INVALID)
                break;
        }
    return nCount;
}

BOOL CGXGridCore::LockSelectionFrame(BOOL bLock, BOOL bCreateHint)
{
    return m_pExcelLikeFrameImp != nullptr && m_pExcelLikeFrameImp->LockSelectionFrame(this, bLock, bCreateHint);
}

void CGXGridCore::ToggleSelectionFrame()
{
    if (m_pExcelLikeFrameImp != nullptr)
        m_pExcelLikeFrameImp->ToggleSelectionFrame(this);
}

BOOL CGXGridCore::CalcSelectionFrameRect(CRect& rect)
{
    return m_pExcelLikeFrameImp != nullptr && m_pExcelLikeFrameImp->CalcSelectionFrameRect(this, rect);
}

void CGXGridCore::DrawSelectionFrame(CDC* pDC, BOOL bDrawOld, const CGXRange* pRange)
{
    if (m_pExcelLikeFrameImp != nullptr)
        m_pExcelLikeFrameImp->DrawSelectionFrame(this, pDC, bDrawOld, pRange);
}

void CGXGridCore::SetSelection(POSITION pos, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    if (m_pUserSelectRangeImp != nullptr)
        m_pUserSelectRangeImp->SetSelection(this, pos, nTop, nLeft, nBottom, nRight);
    // The change is stored without the selection hooks; the frame still follows it, since
    // the cells' redraw does not reach the frame's pixels outside the range.
    if (m_pExcelLikeFrameImp != nullptr)
        m_pExcelLikeFrameImp->SelectionChanged(this);
}

// ---- Covered, floating and merged cells ----

BOOL CGXGridCore::SetCoveredCellsRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, UINT nFlags, int nMode)
{
    return m_pCoveredCellsImp != nullptr && m_pCoveredCellsImp->SetCoveredCellsRowCol(this, nRow, nCol, nToRow, nToCol, nFlags, nMode);
}

CGXRange* CGXGridCore::FindCoveredSpan(ROWCOL nRow, ROWCOL nCol, CGXRange& range)
{
    return m_pCoveredCellsImp != nullptr ? m_pCoveredCellsImp->FindCoveredSpan(this, nRow, nCol, range) : nullptr;
}

BOOL CGXGridCore::StoreCoveredCellsRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, BOOL bSet)
{
    return m_pCoveredCellsImp != nullptr && m_pCoveredCellsImp->StoreCoveredCellsRowCol(this, nRow, nCol, nToRow, nToCol, bSet);
}

void CGXGridCore::UpdateCoveredCellsRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, UINT nFlags, BOOL bCreateHint)
{
    if (m_pCoveredCellsImp != nullptr)
        m_pCoveredCellsImp->UpdateCoveredCellsRowCol(this, nRow, nCol, nToRow, nToCol, nFlags, bCreateHint);
}

BOOL CGXGridCore::AddCoveredCellsToRange(CGXRange& range)
{
    return m_pCoveredCellsImp != nullptr && m_pCoveredCellsImp->AddCoveredCellsToRange(this, range);
}

BOOL CGXGridCore::FloatCellsEnabled() const
{
    return m_pParam != nullptr && m_pParam->m_wFloatCellsMode != 0;
}

BOOL CGXGridCore::MergeCellsEnabled() const
{
    return m_pParam != nullptr && m_pParam->m_wMergeCellsMode != 0;
}

void CGXGridCore::DelayFloatCells(const CGXRange& range, ROWCOL nColLimit)
{
    if (m_pFloatCellsImp != nullptr && FloatCellsEnabled())
        m_pFloatCellsImp->DelayFloatCells(this, range, nColLimit);
}

const CRect* CGXGridCore::CalcFloatCellRect(ROWCOL nRow, ROWCOL nCol, CRect& rect, const CGXStyle* pStyle, CRect* pSpanRect)
{
    if (m_pFloatCellsImp == nullptr || !FloatCellsEnabled())
        return nullptr;
    return m_pFloatCellsImp->CalcCellRect(this, nRow, nCol, rect, pStyle, pSpanRect);
}

const CRect* CGXGridCore::CalcMergeCellRect(ROWCOL nRow, ROWCOL nCol, CRect& rect, const CGXStyle* pStyle, CRect* pSpanRect)
{
    if (m_pMergeCellsImp == nullptr || !MergeCellsEnabled())
        return nullptr;
    return m_pMergeCellsImp->CalcCellRect(this, nRow, nCol, rect, pStyle, pSpanRect);
}

BOOL CGXGridCore::CanMergeCells(const CGXStyle& style1, const CGXStyle& style2)
{
    return m_pMergeCellsImp != nullptr && m_pMergeCellsImp->CanMergeCells(this, style1, style2);
}

CGXRange* CGXGridCore::FindCellSpan(ROWCOL nRow, ROWCOL nCol, CGXRange& range)
{
    if (CGXRange* p = FindCoveredSpan(nRow, nCol, range))
        return p;
    if (m_pMergeCellsImp != nullptr && MergeCellsEnabled())
        if (CGXRange* p = m_pMergeCellsImp->FindSpan(this, nRow, nCol, range))
            return p;
    if (m_pFloatCellsImp != nullptr && FloatCellsEnabled())
        if (CGXRange* p = m_pFloatCellsImp->FindSpan(this, nRow, nCol, range))
            return p;
    return nullptr;
}

BOOL CGXGridCore::EvalSpans(ROWCOL nFrozenRows, ROWCOL nFrozenCols, ROWCOL nTopRow, ROWCOL nLeftCol, ROWCOL nLastRow, ROWCOL nLastCol,
                            BOOL bFloat, BOOL bMerge, UINT nFlags, BOOL)
{
    return m_pDrawSpannedCellsImp != nullptr &&
           m_pDrawSpannedCellsImp->EvalSpans(this, nFrozenRows, nFrozenCols, nTopRow, nLeftCol, nLastRow, nLastCol, bFloat, bMerge, nFlags);
}

// ---- Find and replace ----

BOOL CGXGridCore::FindText(LPCTSTR pszFind, BOOL bNext, BOOL bCase)
{
    return m_pFindReplaceImp != nullptr && m_pFindReplaceImp->FindText(this, pszFind, bNext, bCase);
}

BOOL CGXGridCore::FindTextPrepared(ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell)
{
    return m_pFindReplaceImp != nullptr && m_pFindReplaceImp->FindTextPrepared(this, nRow, nCol, bCurrentPos, bSetCell);
}

BOOL CGXGridCore::ReplaceAll(LPCTSTR pszFind, LPCTSTR pszReplace, BOOL bCase)
{
    return m_pFindReplaceImp != nullptr && m_pFindReplaceImp->ReplaceAll(this, pszFind, pszReplace, bCase);
}

void CGXGridCore::Beep(LPCTSTR)
{
    MessageBeep(0);
}

void CGXGridCore::ReplacedAll(LPCTSTR, LPCTSTR, DWORD)
{
}

void CGXGridCore::ShowFindReplaceDialog(BOOL bFindOnly)
{
    if (m_pFindReplaceImp != nullptr)
        m_pFindReplaceImp->OnShowFindReplaceDialog(this, bFindOnly);
}

BOOL CGXGridCore::HandleFindReplaceMessage(CWnd* pDialog)
{
    return m_pFindReplaceImp != nullptr && m_pFindReplaceImp->HandleFindReplaceMessage(this, pDialog);
}

BOOL CGXGridCore::FindNext(BOOL bReportFailure)
{
    return m_pFindReplaceImp != nullptr && m_pFindReplaceImp->FindNext(this, bReportFailure);
}

BOOL CGXGridCore::FindTextFrom(ROWCOL& nRow, ROWCOL& nCol, BOOL bCurrentPos)
{
    return m_pFindReplaceImp != nullptr && m_pFindReplaceImp->FindTextFrom(this, nRow, nCol, bCurrentPos);
}

// ---- Undo and redo ----

BOOL CGXGridCore::Undo()
{
    if (m_pUndoImp == nullptr || m_pParam == nullptr)
        return FALSE;
    return ReplayStep(gxUndo);
}

BOOL CGXGridCore::Redo()
{
    if (m_pUndoImp == nullptr || m_pParam == nullptr)
        return FALSE;
    return ReplayStep(gxRedo);
}

BOOL CGXGridCore::ReplayStep(int nMode)
{
    // A step of many commands (a Replace All holds one or two for each cell) moved the current
    // cell to each command's place and painted it there: the grid scrolled and painted once for
    // each cell. The commands only invalidate what they change, the window paints as the step
    // goes on, and the step's place is shown once, where its last command ends.
    struct PositionLock {
        CGXGridCore& grid;
        BOOL bLock = grid.m_bLockCurrentCell;
        ROWCOL nRow = grid.m_nPendingRow, nCol = grid.m_nPendingCol;
        BOOL bSetCurrent = grid.m_bPendingSetCurrent;
        ~PositionLock()
        {
            grid.m_bLockCurrentCell = bLock;
            grid.m_nPendingRow = nRow;
            grid.m_nPendingCol = nCol;
            grid.m_bPendingSetCurrent = bSetCurrent;
        }
    };
    ROWCOL nRow = GX_INVALID, nCol = GX_INVALID;
    BOOL bSetCurrent = FALSE;
    BOOL bDone = FALSE;
    const DWORD nStops = CGXLongOperation::GetStopCount();
    {
        PositionLock lock{*this};
        m_bLockCurrentCell = TRUE;
        m_nPendingRow = m_nPendingCol = GX_INVALID;
        CommandTarget target(*this, GX_INVALIDATE);
        bDone = nMode == gxUndo ? m_pUndoImp->Undo(*m_pParam, target) : m_pUndoImp->Redo(*m_pParam, target);
        nRow = m_nPendingRow;
        nCol = m_nPendingCol;
        bSetCurrent = m_bPendingSetCurrent;
    }
    // A step the user stopped was taken back whole: the current cell stays where it was.
    if (nRow != GX_INVALID && nCol != GX_INVALID && CGXLongOperation::GetStopCount() == nStops)
        ShowCommandPosition(nRow, nCol, bSetCurrent);
    if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr)
        m_pGridWnd->UpdateWindow();
    return bDone;
}

void CGXGridCore::BeginTransaction(LPCTSTR pszDescription)
{
    if (m_pUndoImp != nullptr && m_pParam != nullptr)
        m_pUndoImp->BeginTransaction(*m_pParam, pszDescription != nullptr ? pszDescription : "");
}

void CGXGridCore::CommitTransaction()
{
    if (m_pUndoImp != nullptr && m_pParam != nullptr)
        m_pUndoImp->CommitTransaction(*m_pParam);
}

void CGXGridCore::RollbackTransaction()
{
    if (m_pUndoImp == nullptr || m_pParam == nullptr)
        return;
    const bool bOuter = m_pParam->m_TransactionBlocks.GetCount() <= 1;
    CommandTarget target(*this, GX_UPDATENOW);
    m_pUndoImp->RollbackTransaction(*m_pParam, target);
    if (bOuter)
        RefreshDataObject(TRUE, nullptr, TRUE);
}

namespace {

// Enables an Undo or Redo item and names the change it would undo or redo, with the plain
// item's mnemonic and without the full stop or dots that end a status text; with nothing left
// (or a change without a name) the item is plain "Undo" or "Redo" again, not the last name. The
// item keeps the key it shows after its tab.
void ShowUndoItem(CCmdUI* pCmdUI, BOOL bCan, const CString& strText, LPCTSTR pszPlain)
{
    if (pCmdUI == nullptr)
        return;
    pCmdUI->Enable(bCan);
    CString text = bCan ? strText : CString();
    text.TrimRight(" .");
    if (text.IsEmpty())
        text = pszPlain;
    else if (text.Find('&') < 0)
        text = "&" + text;
    pCmdUI->SetText(text);
}

} // namespace

BOOL CGXGridCore::CanUndo(CCmdUI* pCmdUI)
{
    if (m_pUndoImp == nullptr || m_pParam == nullptr) {
        if (pCmdUI != nullptr)
            pCmdUI->Enable(FALSE);
        return FALSE;
    }
    const BOOL bCan = m_pUndoImp->CanUndo(*m_pParam);
    ShowUndoItem(pCmdUI, bCan, bCan ? m_pUndoImp->GetUndoMenuText(*m_pParam) : CString(), "&Undo");
    return bCan;
}

BOOL CGXGridCore::CanRedo(CCmdUI* pCmdUI)
{
    if (m_pUndoImp == nullptr || m_pParam == nullptr) {
        if (pCmdUI != nullptr)
            pCmdUI->Enable(FALSE);
        return FALSE;
    }
    const BOOL bCan = m_pUndoImp->CanRedo(*m_pParam);
    ShowUndoItem(pCmdUI, bCan, bCan ? m_pUndoImp->GetRedoMenuText(*m_pParam) : CString(), "&Redo");
    return bCan;
}

CGXControl* CGXGridCore::TypingControl()
{
    ROWCOL nRow = 0, nCol = 0;
    CGXControl* pControl = GetCurrentCell(nRow, nCol) ? GetControl(nRow, nCol) : nullptr;
    return pControl != nullptr && pControl->IsInitFor(nRow, nCol) && pControl->IsTyping() ? pControl : nullptr;
}

void CGXGridCore::UpdateTypingUndoItem(int nMode, BOOL bCan, CCmdUI* pCmdUI)
{
    ShowUndoItem(pCmdUI, bCan, CString(), nMode == gxRedo ? "&Redo" : "&Undo");
}

BOOL CGXGridCore::UndoCommand(int nMode)
{
    // A step replayed now would move the current cell and store the typing on the way, over
    // the cell the step gives back and past the step's own redo.
    if (CGXControl* pControl = TypingControl())
        return pControl->UndoTyping(nMode);
    return nMode == gxRedo ? Redo() : Undo();
}

void CGXGridCore::UpdateUndoCommand(int nMode, CCmdUI* pCmdUI)
{
    if (CGXControl* pControl = TypingControl()) {
        UpdateTypingUndoItem(nMode, pControl->CanUndoTyping(nMode), pCmdUI);
        return;
    }
    if (nMode == gxRedo)
        CanRedo(pCmdUI);
    else
        CanUndo(pCmdUI);
}

void CGXGridCore::AddCommand(CGXCommand* pCmd, int nMode)
{
    if (m_pUndoImp != nullptr && m_pParam != nullptr)
        m_pUndoImp->AddCommand(*m_pParam, pCmd, nMode);
    else
        delete pCmd; // nothing records it
}

void CGXGridCore::EndUndoHistory()
{
    if (m_pUndoImp != nullptr && m_pParam != nullptr)
        m_pUndoImp->EndHistory(*m_pParam);
}

void CGXGridCore::RemoveCommand(CGXCommand* pCmd)
{
    if (m_pUndoImp != nullptr && m_pParam != nullptr)
        m_pUndoImp->RemoveCommand(*m_pParam, pCmd);
}

void CGXGridCore::ShowCommandPosition(ROWCOL nRow, ROWCOL nCol, BOOL bSetCurrent)
{
    if (m_bLockCurrentCell) {
        m_nPendingRow = nRow;
        m_nPendingCol = nCol;
        m_bPendingSetCurrent = bSetCurrent;
        return;
    }
    ROWCOL nCurRow, nCurCol;
    const BOOL bIsCurrent = GetCurrentCell(nCurRow, nCurCol) && nCurRow == nRow && nCurCol == nCol;
    // The cell made current is shown, as the one that already was: a step far down the grid
    // would otherwise leave the current cell out of sight.
    if (bSetCurrent && !bIsCurrent)
        SetCurrentCell(nRow, nCol, GX_SCROLLINVIEW | GX_UPDATENOW);
    else
        ScrollCellInView(nRow, nCol, GX_UPDATENOW, FALSE);
}

BOOL CGXGridCore::SetDataUndoRecording(BOOL bRecord)
{
    CGXData* pData = GetData();
    return pData != nullptr && pData->SetUndoRecording(bRecord);
}

CObject* CGXGridCore::TakeDataUndoInfo()
{
    CGXData* pData = GetData();
    return pData != nullptr ? pData->TakeUndoInfo() : nullptr;
}

BOOL CGXGridCore::ApplyDataUndoInfo(CObject* pInfo, BOOL bUndo, BOOL bBefore)
{
    CGXData* pData = GetData();
    return pData != nullptr && pInfo != nullptr && pData->ApplyUndoInfo(pInfo, bUndo, bBefore);
}

void CGXGridCore::DiscardDataUndoInfo()
{
    if (CGXData* pData = GetData())
        pData->DiscardUndoInfo();
}

BOOL CGXGridCore::ExecuteCommand(CGXCommand* pCmd, int nMode)
{
    if (pCmd == nullptr || m_pParam == nullptr)
        return FALSE;
    // A command restores cells that the read-only lock of cells would refuse: the lock is off
    // for its run, and back on whatever happens.
    struct LockScope {
        CGXGridParam* pParam;
        BOOL bOld;
        ~LockScope() { pParam->m_bLockReadOnly = bOld; }
    } scope{m_pParam, m_pParam->m_bLockReadOnly};
    m_pParam->m_bLockReadOnly = FALSE;
    CommandTarget target(*this, GX_UPDATENOW);
    return pCmd->Execute(target, nMode);
}

// ---- Range names: no range-name interface in this program ----

BOOL CGXGridCore::SetRangeName(LPCTSTR, const CGXRange&, CObject*, UINT, int)
{
    return FALSE;
}

BOOL CGXGridCore::GetRangeName(LPCTSTR, CGXRange&)
{
    return FALSE;
}

BOOL CGXGridCore::DeleteRangeName(LPCTSTR, UINT, int)
{
    return FALSE;
}

// ---- Clipboard, data exchange, clearing ----

BOOL CGXGridCore::CopyRangeList(CGXRangeList& selList)
{
    return m_pCutPasteImp != nullptr && m_pCutPasteImp->CopyRangeList(this, selList);
}

BOOL CGXGridCore::WriteRangesAsText(CString& sDest, const CGXRangeList& selList)
{
    return m_pTextDataExchangeImp != nullptr && m_pTextDataExchangeImp->WriteRangesAsText(this, sDest, selList);
}

BOOL CGXGridCore::WriteRangesAsStyles(CArchive& ar, const CGXRangeList& selList, BOOL bLoadBaseStyles)
{
    return m_pStyleDataExchangeImp != nullptr && m_pStyleDataExchangeImp->WriteRangesAsStyles(this, ar, selList, bLoadBaseStyles);
}

BOOL CGXGridCore::ReadStylesIntoGrid(CArchive& ar, CGXRange& range, BOOL bReplace)
{
    return m_pStyleDataExchangeImp != nullptr && m_pStyleDataExchangeImp->ReadStylesIntoGrid(this, ar, range, bReplace);
}

BOOL CGXGridCore::GetCellTextForCopy(CString& sText, ROWCOL nRow, ROWCOL nCol)
{
    if (m_pTextDataExchangeImp == nullptr) {
        sText.Empty();
        return FALSE;
    }
    return m_pTextDataExchangeImp->GetCellTextForCopy(this, sText, nRow, nCol);
}

BOOL CGXGridCore::CutRangeList(CGXRangeList& selList, BOOL bStyleOrValue)
{
    return m_pCutPasteImp != nullptr && m_pCutPasteImp->CutRangeList(this, selList, bStyleOrValue);
}

BOOL CGXGridCore::ClearRangeList(CGXRangeList& selList, BOOL bStyleOrValue)
{
    return m_pClearCellsImp != nullptr && m_pClearCellsImp->ClearRangeList(this, selList, bStyleOrValue);
}

BOOL CGXGridCore::ReadStylesPart(CArchive& ar, CGXRange& range)
{
    return m_pStyleDataExchangeImp != nullptr && m_pStyleDataExchangeImp->ReadStylesPart(this, ar, range);
}

BOOL CGXGridCore::PasteTextBuffer(LPCTSTR pszBuffer, size_t nSize, const CGXRange& range)
{
    return m_pTextDataExchangeImp != nullptr && m_pTextDataExchangeImp->PasteTextBuffer(this, pszBuffer, nSize, range);
}

BOOL CGXGridCore::CountTextBufferCells(LPCTSTR pszBuffer, size_t nSize, ROWCOL& nRows, ROWCOL& nCols)
{
    return m_pTextDataExchangeImp != nullptr && m_pTextDataExchangeImp->CountTextBufferCells(this, pszBuffer, nSize, nRows, nCols);
}

BOOL CGXGridCore::SetCellTextThroughControl(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pOldStyle)
{
    // A caller that composed the cell's style already names its control; composing it again here
    // doubled the cost of clearing or pasting a block. The current cell keeps its own control.
    const BOOL bActiveCell = m_bCurrentCell && m_pCurrentCellControl != nullptr && nRow == m_nCurrentRow && nCol == m_nCurrentCol;
    CGXControl* pControl = pOldStyle != nullptr && !bActiveCell && pOldStyle->GetInclude(GX_INCL_CONTROL) ? GetControlById(pOldStyle->GetControl())
                                                                                                  : GetControl(nRow, nCol);
    if (pControl == nullptr || IsReadOnly())
        return FALSE;
    return pControl->SetControlText(nRow, nCol, sText, nFlags, pOldStyle);
}

BOOL CGXGridCore::StoreCellTextForPaste(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, int nMode)
{
    return m_pTextDataExchangeImp != nullptr && m_pTextDataExchangeImp->StoreCellTextForPaste(this, nRow, nCol, sText, nFlags, nMode);
}

BOOL CGXGridCore::PasteTextPart(CGXRange& range)
{
    return m_pCutPasteImp != nullptr && m_pCutPasteImp->PasteTextPart(this, range);
}

BOOL CGXGridCore::PasteStylesPart(CGXRange& range)
{
    return m_pCutPasteImp != nullptr && m_pCutPasteImp->PasteStylesPart(this, range);
}

BOOL CGXGridCore::IsTextOnClipboard()
{
    return m_pCutPasteImp != nullptr && m_pCutPasteImp->IsTextOnClipboard(this);
}

BOOL CGXGridCore::CopyCellsDirect(const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL bTrans,
                                  BOOL bCopyBaseStyles, BOOL bValuesOnly)
{
    return m_pDirectCopyMoveCellsImp != nullptr &&
           m_pDirectCopyMoveCellsImp->CopyCellsDirect(this, range, nRow, nCol, nFlags, nMode, bTrans, bCopyBaseStyles, bValuesOnly);
}

BOOL CGXGridCore::MoveCellsDirect(const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL bTrans,
                                  BOOL bCopyBaseStyles, BOOL bValuesOnly)
{
    return m_pDirectCopyMoveCellsImp != nullptr &&
           m_pDirectCopyMoveCellsImp->MoveCellsDirect(this, range, nRow, nCol, nFlags, nMode, bTrans, bCopyBaseStyles, bValuesOnly);
}

BOOL CGXGridCore::StoreCopyCellsDirect(const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL bTrans,
                                       BOOL bCopyBaseStyles, BOOL bValuesOnly)
{
    return m_pDirectCopyMoveCellsImp != nullptr &&
           m_pDirectCopyMoveCellsImp->StoreCopyCellsDirect(this, range, nRow, nCol, nFlags, nMode, bTrans, bCopyBaseStyles, bValuesOnly);
}

BOOL CGXGridCore::StoreMoveCellsDirect(const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL bTrans,
                                       BOOL bCopyBaseStyles, BOOL bValuesOnly)
{
    return m_pDirectCopyMoveCellsImp != nullptr &&
           m_pDirectCopyMoveCellsImp->StoreMoveCellsDirect(this, range, nRow, nCol, nFlags, nMode, bTrans, bCopyBaseStyles, bValuesOnly);
}

BOOL CGXGridCore::ConfirmPasteSizeMismatch()
{
    return m_pCutPasteImp != nullptr && m_pCutPasteImp->ConfirmPasteSizeMismatch(this);
}

BOOL CGXGridCore::Copy()
{
    return m_pCutPasteImp != nullptr && m_pCutPasteImp->Copy(this);
}

BOOL CGXGridCore::Paste()
{
    return m_pCutPasteImp != nullptr && m_pCutPasteImp->Paste(this);
}

BOOL CGXGridCore::Cut()
{
    return m_pCutPasteImp != nullptr && m_pCutPasteImp->Cut(this);
}

BOOL CGXGridCore::Clear(BOOL bStyleOrValue)
{
    return m_pClearCellsImp != nullptr && m_pClearCellsImp->Clear(this, bStyleOrValue);
}

BOOL CGXGridCore::CanCopy()
{
    return m_pCutPasteImp != nullptr && m_pCutPasteImp->CanCopy(this);
}

BOOL CGXGridCore::CanCut()
{
    return m_pCutPasteImp != nullptr && m_pCutPasteImp->CanCut(this);
}

BOOL CGXGridCore::CanPaste()
{
    return m_pCutPasteImp != nullptr && m_pCutPasteImp->CanPaste(this);
}

BOOL CGXGridCore::CanClear()
{
    return m_pClearCellsImp != nullptr && m_pClearCellsImp->CanClear(this);
}

BOOL CGXGridCore::CopyRange(const CGXRange& range)
{
    CGXRangeList list;
    list.AddTail(new CGXRange(range));
    return CopyRangeList(list);
}

BOOL CGXGridCore::CutRange(const CGXRange& range, BOOL bStyleOrValue)
{
    CGXRangeList list;
    list.AddTail(new CGXRange(range));
    return CutRangeList(list, bStyleOrValue);
}

BOOL CGXGridCore::ClearRange(const CGXRange& range, BOOL bStyleOrValue)
{
    CGXRangeList list;
    list.AddTail(new CGXRange(range));
    return ClearRangeList(list, bStyleOrValue);
}

// ---- Freezing through the menu helper ----

void CGXGridCore::FreezeCols()
{
    if (m_pFreezeMenuHelperImp != nullptr)
        m_pFreezeMenuHelperImp->FreezeCols(this);
}

BOOL CGXGridCore::CanFreezeCols()
{
    return m_pFreezeMenuHelperImp != nullptr && m_pFreezeMenuHelperImp->CanFreezeCols(this);
}

void CGXGridCore::UnfreezeCols()
{
    if (m_pFreezeMenuHelperImp != nullptr)
        m_pFreezeMenuHelperImp->UnfreezeCols(this);
}

BOOL CGXGridCore::CanUnfreezeCols()
{
    return m_pFreezeMenuHelperImp != nullptr && m_pFreezeMenuHelperImp->CanUnfreezeCols(this);
}

void CGXGridCore::FreezeRows()
{
    if (m_pFreezeMenuHelperImp != nullptr)
        m_pFreezeMenuHelperImp->FreezeRows(this);
}

BOOL CGXGridCore::CanFreezeRows()
{
    return m_pFreezeMenuHelperImp != nullptr && m_pFreezeMenuHelperImp->CanFreezeRows(this);
}

void CGXGridCore::UnfreezeRows()
{
    if (m_pFreezeMenuHelperImp != nullptr)
        m_pFreezeMenuHelperImp->UnfreezeRows(this);
}

BOOL CGXGridCore::CanUnfreezeRows()
{
    return m_pFreezeMenuHelperImp != nullptr && m_pFreezeMenuHelperImp->CanUnfreezeRows(this);
}

// ---- Data-object notifications: forwarded to the data object's extension operations ----

BOOL CGXGridCore::NotifyDataAtCell(ROWCOL nRow, ROWCOL nCol)
{
    CGXRange span;
    if (FindCoveredSpan(nRow, nCol, span) != nullptr) {
        nRow = span.top;
        nCol = span.left;
    }
    CGXData* pData = GetData();
    return pData != nullptr && pData->NotifyDataAtCell(nRow, nCol);
}

BOOL CGXGridCore::NotifyDataCell(ROWCOL nRow, ROWCOL nCol, UINT nFlags)
{
    CGXData* pData = GetData();
    return pData != nullptr && pData->NotifyDataCell(nRow, nCol, nFlags);
}

BOOL CGXGridCore::NotifyDataChanged(UINT nFlags)
{
    // A block being stored tells the data once, at its end.
    CGXData* pData = GetData();
    return pData != nullptr && !m_bDataNotifyLock && pData->NotifyDataChanged(nFlags);
}

BOOL CGXGridCore::NotifyDataRange(UINT nFlags)
{
    CGXData* pData = GetData();
    return pData != nullptr && pData->NotifyDataRange(nFlags);
}

void CGXGridCore::ResetDataState()
{
    if (CGXData* pData = GetData())
        pData->ResetDataState();
}

BOOL CGXGridCore::GetDataErrorText(CString& sError)
{
    sError.Empty();
    CGXData* pData = GetData();
    return pData != nullptr && pData->GetDataErrorText(sError);
}

BOOL CGXGridCore::RefreshDataObject(BOOL bShowErrors, CString* psError, BOOL bCreateHint)
{
    if (GetRowCount() == 0 || GetColCount() == 0)
        return FALSE;
    NotifyDataAtCell(1, 1);
    if (bShowErrors) {
        ResetDataState();
        NotifyDataRange(0);
    }
    Redraw(GX_UPDATENOW, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintRefreshDataObject(this, psError);
    BOOL bResult = TRUE;
    CString sError;
    if (bShowErrors && GetDataErrorText(sError) && !sError.IsEmpty()) {
        if (psError != nullptr)
            *psError = sError;
        else
            MessageBox(nullptr, sError, nullptr, MB_OK);
        ResetDataState();
        bResult = FALSE;
    }
    if (m_pParam != nullptr) {
        CDWordArray& pending = m_pParam->m_PendingCells;
        for (INT_PTR i = 0; i + 1 < pending.GetSize(); i += 2)
            NotifyDataCell(pending[i], pending[i + 1], 0);
        pending.RemoveAll();
    }
    return bResult;
}
