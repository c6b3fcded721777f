// The engine's cell-style operations: reading, composing and storing styles, applying one to a
// range with undo and progress, and changing the styles map, the properties or a base style.
// Each command operation stores, updates its own window, passes the change to the other views
// and records the inverse for undo.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridCoreTarget.h"
#include "grid/core/CGXGridOptimizedUpdateImp.h"
#include "grid/core/CGXSizeCommands.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/data/CGXCommandFactory.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/res/GridRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/controls/MessageBox.h"
#include "platform/core/CException.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <utility>

namespace {
constexpr size_t kMaxFreeStyles = 500;
constexpr WORD kNegativeColorAttribute = 52797;

// A range of bands or the whole table addresses base styles: the rows' (column 0), the
// columns' (row 0) or the table's (0, 0).
CGXRange StoredCells(const CGXRange& range)
{
    CGXRange cells(range);
    if (range.IsRows())
        cells.SetCells(range.top, 0, range.bottom, 0);
    else if (range.IsCols())
        cells.SetCells(0, range.left, 0, range.right);
    else if (range.IsTable())
        cells.SetCells(0, 0, 0, 0);
    return cells;
}

} // namespace

BOOL CGXGridCore::RecordingUndo(int nMode) const
{
    return m_pUndoImp != nullptr && m_pParam != nullptr && nMode != gxRollback &&
           (m_pParam->IsEnableUndo() || !m_pParam->m_TransactionBlocks.IsEmpty());
}

BOOL CGXGridCore::IsReadOnlyLocked()
{
    return m_pParam != nullptr && m_pParam->m_bLockReadOnly && IsReadOnly();
}

// ---- Cell styles ----

BOOL CGXGridCore::ReadCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int nModify, int nType)
{
    CGXData* pData = GetData();
    return pData != nullptr && pData->GetStyle(nRow, nCol, style, nModify, nType);
}

CObArray* CGXGridCore::CollectRangeStyles(const CGXRange& range, int nType, DWORD* pdwStartTicks)
{
    // The styles are owned by the caller once the array is handed over; until then a cancel
    // or a failure takes them back with the array.
    struct Collected {
        CObArray* p = new CObArray;
        ~Collected()
        {
            if (p == nullptr)
                return;
            for (INT_PTR i = 0; i < p->GetSize(); ++i)
                delete p->GetAt(i);
            delete p;
        }
    } collected;
    CGXData* pData = GetData();
    if (pData == nullptr || !range.IsValid())
        return std::exchange(collected.p, nullptr);
    if (!range.IsCells())
        nType = gxBaseStyleType;
    const CGXRange cells = StoredCells(range);
    const ROWCOL nBottom = std::min<ROWCOL>(cells.bottom, pData->GetRowCount());
    const ROWCOL nRight = std::min<ROWCOL>(cells.right, pData->GetColCount());
    const unsigned long long nCells = nBottom >= cells.top && nRight >= cells.left
                                          ? static_cast<unsigned long long>(nBottom - cells.top + 1) * (nRight - cells.left + 1)
                                          : 0;
    CGXLongOperation op;
    if (pdwStartTicks != nullptr)
        op.m_dwStart = op.m_dwLast = *pdwStartTicks;
    unsigned long long nIndex = 0;
    for (ROWCOL nRow = cells.top; nRow <= nBottom && nRow >= cells.top; ++nRow) {
        for (ROWCOL nCol = cells.left; nCol <= nRight && nCol >= cells.left; ++nCol, ++nIndex) {
            const CGXStyle* pStored = pData->LookupStyle(nRow, nCol, nType);
            collected.p->Add(pStored != nullptr ? new CGXStyle(*pStored) : nullptr);
        }
        // Progress and Esc belong to a caller that times the work (a style change over the
        // range); the others (a paste, a move) only keep the window answering.
        if (pdwStartTicks == nullptr) {
            op.DoMessages();
            continue;
        }
        if (nCells != 0)
            CGXLongOperation::SetPercentDone(static_cast<int>(std::min<unsigned long long>(nIndex * 100 / nCells, 100)));
        BOOL bCancelled = FALSE;
        op.DoMessages(bCancelled);
        if (bCancelled)
            AfxThrowUserException();
    }
    return std::exchange(collected.p, nullptr);
}

void CGXGridCore::ComposeCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bApplyStandard)
{
    if (m_pParam == nullptr)
        return;
    m_pParam->ComposeCellStyle(nRow, nCol, style, bApplyStandard);
    if (IsCurrentCell(nRow, nCol) && m_pCurrentCellControl != nullptr && m_pCurrentCellControl->IsActive())
        return;
    // Negative numbers in the colour the cell asks for; zero and text keep theirs.
    if (style.HasUserAttribute(kNegativeColorAttribute) && style.GetInclude(GX_INCL_VALUE)) {
        const CString& sValue = style.GetValue();
        char* pEnd = nullptr;
        const double d = std::strtod(sValue, &pEnd);
        if (pEnd != sValue.GetString() && *pEnd == '\0' && d < 0.0) {
            const CString sColor = style.GetUserAttribute(kNegativeColorAttribute).GetValueText();
            style.SetTextColor(static_cast<COLORREF>(std::strtoul(sColor, nullptr, 0)));
        }
    }
}

BOOL CGXGridCore::StoreCellStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nModify, int nType)
{
    CGXData* pData = GetData();
    if (pData == nullptr || IsReadOnlyLocked())
        return FALSE;
    const BOOL bChanged = pData->StoreStyle(nRow, nCol, pStyle, nModify, nType);
    if (!m_bDataNotifyLock)
        NotifyDataAtCell(nRow, nCol);
    // The control shows the cell again from its new style.
    if (IsCurrentCell(nRow, nCol) && m_pCurrentCellControl != nullptr) {
        m_pCurrentCellControl->Reset();
        m_pCurrentCellControl = nullptr;
    }
    return bChanged;
}

const CString& CGXGridCore::GetCellValue(ROWCOL nRow, ROWCOL nCol)
{
    CGXStyle* pStyle = CreateStyle();
    ComposeCellStyle(nRow, nCol, *pStyle, TRUE);
    m_sCellValue = pStyle->GetValue();
    RecycleStyle(pStyle);
    return m_sCellValue;
}

BOOL CGXGridCore::SetValueRange(const CGXRange& range, LPCTSTR pszValue, int nModify, int nType, UINT nFlags)
{
    CGXStyle style;
    style.SetValue(pszValue != nullptr ? pszValue : "");
    return ApplyStyleToRange(range, &style, nModify, nType, nullptr, nFlags, gxDo);
}

const CString& CGXGridCore::GetStoredCellValue(ROWCOL nRow, ROWCOL nCol)
{
    m_sCellValue.Empty();
    CGXData* pData = GetData();
    if (const CGXStyle* pStored = pData != nullptr ? pData->LookupStyle(nRow, nCol) : nullptr)
        m_sCellValue = pStored->GetValue();
    return m_sCellValue;
}

const CGXStyle& CGXGridCore::GetBaseStyle(WORD nID)
{
    const CGXStylesMap* pMap = m_pParam != nullptr ? m_pParam->GetStylesMap() : nullptr;
    const CGXStyle* pStyle = pMap != nullptr ? pMap->LookupStyle(nID) : nullptr;
    if (pStyle == nullptr)
        AfxThrowNotSupportedException();
    return *pStyle;
}

BOOL CGXGridCore::SetStandardBaseStyle(const CGXStyle& style, int nModify, UINT nFlags)
{
    if (m_pParam == nullptr || m_pParam->GetStylesMap() == nullptr)
        return FALSE;
    return ChangeBaseStyle(m_pParam->GetStylesMap()->m_wStyleStandard, style, nModify, nFlags, gxDo);
}

BOOL CGXGridCore::SetRowHeaderBaseStyle(const CGXStyle& style, int nModify, UINT nFlags)
{
    if (m_pParam == nullptr || m_pParam->GetStylesMap() == nullptr)
        return FALSE;
    return ChangeBaseStyle(m_pParam->GetStylesMap()->m_wStyleRowHeader, style, nModify, nFlags, gxDo);
}

BOOL CGXGridCore::ApplyStyleToRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType,
                                    const CObArray* pCellsArray, UINT nFlags, int nMode)
{
    CGXData* pData = GetData();
    if (m_pParam == nullptr || pData == nullptr || !range.IsValid() || IsReadOnlyLocked())
        return FALSE;
    if (!range.IsCells())
        nType = gxBaseStyleType;
    const CGXRange cells = StoredCells(range);
    if (cells.bottom > pData->GetRowCount() || cells.right > pData->GetColCount())
        return FALSE;
    const ROWCOL nHeight = cells.bottom - cells.top + 1, nWidth = cells.right - cells.left + 1;
    const unsigned long long nCells = static_cast<unsigned long long>(nHeight) * nWidth;

    CGXLongOperation op;
    op.SetStatusText(m_pAppData->GetText(gxTextGenUndoInfo), FALSE);
    // The old styles of the range, for the undo command; none when nothing is recorded. A
    // range too large to keep them, or a lack of memory while keeping them, goes on without
    // undo only when the user agrees.
    std::unique_ptr<CGXSetStyleRangeCmd> undo;
    BOOL bWithoutUndo = FALSE; // the user let it go on without undo
    if (RecordingUndo(nMode)) {
        BOOL bAsk = !(nCells < 0x7FFFFFFF && nHeight < 0x8000 && nWidth < 0x8000);
        if (!bAsk) {
            try {
                DWORD dwStart = op.m_dwStart;
                std::unique_ptr<CObArray> pOld(CollectRangeStyles(range, nType, m_bNoProgress ? nullptr : &dwStart));
                undo = std::make_unique<CGXSetStyleRangeCmd>(range, nType);
                undo->m_Styles.Append(*pOld);
                undo->m_nRow = cells.top;
                undo->m_nCol = cells.left;
            } catch (CMemoryException* e) {
                e->Delete();
                bAsk = TRUE;
            } catch (const std::bad_alloc&) {
                bAsk = TRUE;
            } catch (CUserException* e) {
                // Cancelled while the old styles were gathered: nothing was changed.
                e->Delete();
                return FALSE;
            }
        }
        if (bAsk) {
            undo.reset();
            if (!ConfirmLargeUndo())
                return FALSE;
            EndUndoHistory();
            bWithoutUndo = TRUE;
        }
    }
    op.SetStatusText(m_pAppData->GetText(nMode == gxDo ? gxTextStoringCells : gxTextRestoringCells), FALSE);
    // Esc asks Yes or No, and Yes gives every cell changed so far its old style back. A change
    // that keeps no old styles to go back to (undo off, too large for its undo, or itself a
    // rollback) is not stopped: half of it would stay with nothing to take it back. The user
    // who let it go on without undo and presses Esc is told why it goes on.
    struct QuestionScope {
        int nOld = GXGetLongOperationState().m_nQuestionMode;
        ~QuestionScope() { CGXLongOperation::SetQuestionMode(nOld); }
    } questionScope;
    CGXLongOperation::SetQuestionMode(0);
    std::optional<CGXCancelLock> noCancel;
    if (bWithoutUndo) {
        CString strWhy;
        strWhy.LoadString(GX_IDS_NOSTOPWITHOUTUNDO);
        noCancel.emplace(strWhy.GetString());
    } else if (!undo) {
        noCancel.emplace();
    }

    CGXRange changed(cells);
    if (!m_bDataNotifyLock && pData != nullptr)
        pData->BeginChange(changed);
    struct LockScope {
        BOOL& lock;
        BOOL bOld;
        ~LockScope() { lock = bOld; }
    } lockScope{m_bDataNotifyLock, m_bDataNotifyLock};
    m_bDataNotifyLock = TRUE;
    const BOOL bOldRecording = SetDataUndoRecording(RecordingUndo(nMode));
    if (pCellsArray != nullptr && nCells < 0x7FFFFFFF && static_cast<unsigned long long>(pCellsArray->GetSize()) > nCells) {
        CObject* pInfo = pCellsArray->GetAt(static_cast<INT_PTR>(nCells));
        if (dynamic_cast<CGXStyle*>(pInfo) == nullptr && ApplyDataUndoInfo(pInfo, nMode == gxUndo, TRUE))
            RefreshDataObject(FALSE, nullptr, FALSE);
    }

    BOOL bChanged = FALSE;
    BOOL bCancelled = FALSE;
    CGXRange done;
    if (pCellsArray == nullptr && nType < 0) {
        // Base styles of rows, columns or the table: no control takes part.
        bChanged = pData->StoreStyleRange(cells, pStyle, pStyle != nullptr ? nModify : gxRemove, nType);
    } else {
        // Each cell through its control, which may store the style its own way.
        unsigned long long nIndex = 0;
        CGXStyle* pComposed = CreateStyle();
        for (ROWCOL r = cells.top; r <= cells.bottom && !bCancelled; ++r) {
            for (ROWCOL c = cells.left; c <= cells.right; ++c, ++nIndex) {
                const CGXStyle* p = pStyle;
                int nCellMode = nModify;
                if (pCellsArray != nullptr) {
                    if (nIndex >= static_cast<unsigned long long>(pCellsArray->GetSize()))
                        break;
                    p = dynamic_cast<const CGXStyle*>(pCellsArray->GetAt(static_cast<INT_PTR>(nIndex)));
                    if (p == nullptr)
                        nCellMode = gxRemove;
                }
                if (nType < 0) {
                    bChanged |= pData->StoreStyle(r, c, p, nCellMode, nType);
                } else {
                    pComposed->Free();
                    ComposeCellStyle(r, c, *pComposed);
                    const WORD nID = p != nullptr && p->GetInclude(GX_INCL_CONTROL) ? p->GetControl() : pComposed->GetControl();
                    CGXControl* pControl = GetControlById(nID);
                    bChanged |= pControl != nullptr ? pControl->StoreStyle(r, c, p, nCellMode, nType, pComposed)
                                                    : pData->StoreStyle(r, c, p, nCellMode, nType);
                }
                if (!m_bNoProgress && ((nIndex & 0xFF) == 0xFF || c == cells.right)) {
                    CGXLongOperation::SetPercentDone(static_cast<int>(std::min<unsigned long long>((nIndex + 1) * 100 / nCells, 100)));
                    // After the last cell there is nothing left to stop: the store is whole, and
                    // an undo step stopped there would be kept to be run again for nothing.
                    if (nIndex + 1 < nCells)
                        op.DoMessages(bCancelled);
                    else
                        op.DoMessages();
                    if (bCancelled) {
                        // The cells stored so far: part of the first row, else whole rows.
                        done = r == cells.top ? CGXRange(r, cells.left, r, c) : CGXRange(cells.top, cells.left, r, cells.right);
                        break;
                    }
                }
            }
        }
        RecycleStyle(pComposed);
    }
    SetDataUndoRecording(bOldRecording);
    // The current cell's control shows the cell again from what is stored now.
    if (bChanged && m_bCurrentCell && m_pCurrentCellControl != nullptr &&
        (range.IsTable() || range.ContainsCell(m_nCurrentRow, m_nCurrentCol) ||
         (range.IsRows() && m_nCurrentRow >= range.top && m_nCurrentRow <= range.bottom) ||
         (range.IsCols() && m_nCurrentCol >= range.left && m_nCurrentCol <= range.right))) {
        m_pCurrentCellControl->Reset();
        m_pCurrentCellControl = nullptr;
    }
    if (!lockScope.bOld)
        pData->EndChange(bChanged);
    if (bCancelled)
        return CancelStyleRange(range, cells, done, undo, nType, nFlags);
    if (!bChanged) {
        DiscardDataUndoInfo();
        return FALSE;
    }
    UpdateStyleRange(range, pCellsArray == nullptr ? pStyle : nullptr, nModify, nType, nFlags, TRUE);
    SetModifiedFlag(TRUE);
    if (undo) {
        if (CObject* pInfo = TakeDataUndoInfo())
            undo->m_Styles.Add(pInfo);
        AddCommand(undo.release(), nMode);
    }
    if (nMode == gxUndo || nMode == gxRedo)
        ShowCommandPosition(cells.top, cells.left, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CancelStyleRange(const CGXRange& range, const CGXRange& cells, const CGXRange& done,
                                   std::unique_ptr<CGXSetStyleRangeCmd>& undo, int nType, UINT nFlags)
{
    if (undo) {
        // Roll back: the cells done so far get their old styles again, and nothing is recorded.
        if (CObject* pInfo = TakeDataUndoInfo()) {
            if (ApplyDataUndoInfo(pInfo, TRUE, TRUE))
                RefreshDataObject(FALSE, nullptr, FALSE);
            delete pInfo;
        }
        const INT_PTR nDone = static_cast<INT_PTR>(done.GetHeight()) * static_cast<INT_PTR>(done.GetWidth());
        CObArray old;
        for (INT_PTR i = 0; i < nDone && i < undo->m_Styles.GetSize(); ++i)
            old.Add(undo->m_Styles.GetAt(i));
        CGXRange back(done);
        if (!range.IsCells())
            back = range;
        ApplyStyleToRange(back, nullptr, gxCopy, nType, &old, nFlags, gxRollback);
        undo.reset();
        CGXLongOperation::NoteTakenBack();
        return FALSE;
    }
    DiscardDataUndoInfo();
    SetModifiedFlag(TRUE);
    UpdateStyleRange(done.IsValid() ? done : cells, nullptr, gxCopy, nType, nFlags, TRUE);
    return FALSE;
}

BOOL CGXGridCore::ConfirmLargeUndo()
{
    // OK changes the cells with no way back: Enter, pressed without reading, leaves them.
    return AfxMessageBox(GX_IDS_UNDOTOOLARGE, MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
}

void CGXGridCore::UpdateStyleRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType, UINT nFlags, BOOL bCreateHint)
{
    // The control of a current cell inside the range shows its new style.
    if (m_bCurrentCell && m_pCurrentCellControl != nullptr && !m_pCurrentCellControl->IsActive() &&
        (range.IsTable() || range.ContainsCell(m_nCurrentRow, m_nCurrentCol)))
        m_pCurrentCellControl->Refresh();
    // Merged spans over the range are worked out again, and the redraw takes in their cells.
    CGXRange redraw(range);
    if (m_pMergeCellsImp != nullptr && MergeCellsEnabled())
        m_pMergeCellsImp->DelayAndExpandMergeCells(this, redraw);
    if (m_pFloatCellsImp != nullptr && FloatCellsEnabled())
        m_pFloatCellsImp->DelayAndExpandFloatCells(this, redraw);
    if (m_pParam == nullptr || !m_pParam->m_bLockUpdate)
        RedrawRange(redraw, nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateStyleRange(this, range, pStyle, nModify, nType, nFlags);
}

CGXStyle* CGXGridCore::CreateStyle()
{
    if (!m_freeStyles.empty()) {
        CGXStyle* pStyle = m_freeStyles.back();
        m_freeStyles.pop_back();
        return pStyle;
    }
    if (m_pStyleClass != nullptr)
        if (auto* pStyle = dynamic_cast<CGXStyle*>(m_pStyleClass->CreateObject()))
            return pStyle;
    return new CGXStyle;
}

void CGXGridCore::RecycleStyle(CGXStyle* pStyle)
{
    if (pStyle == nullptr)
        return;
    if (m_freeStyles.size() < kMaxFreeStyles) {
        pStyle->Free();
        m_freeStyles.push_back(pStyle);
    } else {
        delete pStyle;
    }
}

BOOL CGXGridCore::ChangeStylesMap(const CGXStylesMap& stylesMap, UINT nFlags, int nMode)
{
    if (m_pParam == nullptr || IsReadOnlyLocked())
        return FALSE;
    if (m_pParam->GetStylesMap() == nullptr)
        m_pParam->SetStylesMap(new CGXStylesMap);
    if (RecordingUndo(nMode))
        AddCommand(new CGXChangeStylesMapCmd(*m_pParam->GetStylesMap()), nMode);
    *m_pParam->GetStylesMap() = stylesMap;
    SetModifiedFlag(TRUE);
    UpdateStylesMapChange(nFlags, TRUE);
    return TRUE;
}

void CGXGridCore::UpdateStylesMapChange(UINT nFlags, BOOL bCreateHint)
{
    LookupBaseStyles();
    Redraw(nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateStylesMapChange(this, nFlags);
}

BOOL CGXGridCore::ChangeProperties(const CGXProperties& properties, UINT nFlags, int nMode)
{
    if (m_pParam == nullptr || IsReadOnlyLocked())
        return FALSE;
    if (m_pParam->GetProperties() == nullptr)
        m_pParam->SetProperties(new CGXProperties);
    if (RecordingUndo(nMode))
        AddCommand(new CGXChangePropertiesCmd(*m_pParam->GetProperties()), nMode);
    *m_pParam->GetProperties() = properties;
    SetModifiedFlag(TRUE);
    UpdatePropertiesChange(nFlags, TRUE);
    return TRUE;
}

void CGXGridCore::UpdatePropertiesChange(UINT nFlags, BOOL bCreateHint)
{
    if (m_pParam != nullptr && m_pParam->GetProperties() != nullptr && m_pParam->GetProperties()->m_nZoom > 0)
        m_nZoom = m_pParam->GetProperties()->m_nZoom;
    Redraw(nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdatePropertiesChange(this, nFlags);
}

BOOL CGXGridCore::ChangeBaseStyle(WORD nID, const CGXStyle& style, int nModify, UINT nFlags, int nMode)
{
    if (m_pParam == nullptr || m_pParam->GetStylesMap() == nullptr || IsReadOnlyLocked())
        return FALSE;
    CGXStylesMap* pMap = m_pParam->GetStylesMap();
    CGXStyle* pBase = pMap->LookupStyle(nID);
    if (pBase == nullptr)
        AfxThrowNotSupportedException();
    if (m_bInitDone && RecordingUndo(nMode))
        AddCommand(new CGXChangeBaseStyleCmd(nID, *pBase, pMap->GetStyleName(nID)), nMode);
    pBase->ChangeStyle(style, nModify);
    SetModifiedFlag(TRUE);
    UpdateBaseStyleChange(nID, nFlags, TRUE);
    return TRUE;
}

void CGXGridCore::UpdateBaseStyleChange(WORD nID, UINT nFlags, BOOL bCreateHint)
{
    if (m_bInitDone)
        LookupBaseStyles();
    Redraw(nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateBaseStyleChange(this, nID, nFlags);
}


// ---- Counts ----

ROWCOL CGXGridCore::GetRowCount()
{
    CGXData* pData = GetData();
    return pData != nullptr ? pData->GetRowCount() : 0;
}

ROWCOL CGXGridCore::GetColCount()
{
    CGXData* pData = GetData();
    return pData != nullptr ? pData->GetColCount() : 0;
}

BOOL CGXGridCore::SetRowCount(ROWCOL nRows, UINT nFlags)
{
    const ROWCOL nOld = GetRowCount();
    if (GetData() == nullptr)
        return FALSE;
    // Count changes are insertions and removals at the end, so they undo like any other.
    if (nRows < nOld)
        return RemoveRows(nRows + 1, nOld, nFlags, gxDo);
    if (nRows > nOld)
        return InsertRows(nOld + 1, nRows - nOld, nullptr, nullptr, nullptr, 0, nFlags, gxDo);
    return TRUE;
}

BOOL CGXGridCore::SetColCount(ROWCOL nCols, UINT nFlags)
{
    const ROWCOL nOld = GetColCount();
    if (GetData() == nullptr)
        return FALSE;
    if (nCols < nOld)
        return RemoveCols(nCols + 1, nOld, nFlags, gxDo);
    if (nCols > nOld)
        return InsertCols(nOld + 1, nCols - nOld, nullptr, nullptr, nullptr, 0, nFlags, gxDo);
    return TRUE;
}

BOOL CGXGridCore::StoreRowCount(ROWCOL nRows)
{
    if (GetData() == nullptr || IsReadOnlyLocked())
        return FALSE;
    if (!CGXGridModel(*m_pParam, nullptr).SetRowCount(nRows, gxRollback))
        return FALSE;
    SetModifiedFlag(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreColCount(ROWCOL nCols)
{
    if (GetData() == nullptr || IsReadOnlyLocked())
        return FALSE;
    if (!CGXGridModel(*m_pParam, nullptr).SetColCount(nCols, gxRollback))
        return FALSE;
    SetModifiedFlag(TRUE);
    return TRUE;
}

void CGXGridCore::UpdateRowCountChange(ROWCOL nOldRows, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell && m_nCurrentRow > GetRowCount())
        EndCurrentCellEdit(FALSE);
    ClampScrollPosition();
    if ((m_pParam == nullptr || !m_pParam->m_bLockUpdate) && (nFlags & (GX_INVALIDATE | GX_UPDATENOW | GX_SMART))) {
        UpdateScrollbars(TRUE, TRUE);
        Redraw(nFlags, FALSE);
    }
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateRowCountChange(this, nOldRows, nFlags);
}

void CGXGridCore::UpdateColCountChange(ROWCOL nOldCols, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell && m_nCurrentCol > GetColCount())
        EndCurrentCellEdit(FALSE);
    ClampScrollPosition();
    if ((m_pParam == nullptr || !m_pParam->m_bLockUpdate) && (nFlags & (GX_INVALIDATE | GX_UPDATENOW | GX_SMART))) {
        UpdateScrollbars(TRUE, TRUE);
        Redraw(nFlags, FALSE);
    }
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateColCountChange(this, nOldCols, nFlags);
}

void CGXGridCore::ClampScrollPosition()
{
    // Header rows lie within the frozen ones, the frozen ones within the rows there are, and
    // the scrolled area starts below them: a removal or a smaller count must not leave the top
    // row in the frozen band or past the end.
    if (m_pParam != nullptr) {
        const ROWCOL nRows = GetRowCount(), nCols = GetColCount();
        m_pParam->m_nFrozenRows = std::min(m_pParam->m_nFrozenRows, nRows);
        m_pParam->m_nHeaderRows = std::min(m_pParam->m_nHeaderRows, m_pParam->m_nFrozenRows);
        m_pParam->m_nFrozenCols = std::min(m_pParam->m_nFrozenCols, nCols);
        m_pParam->m_nHeaderCols = std::min(m_pParam->m_nHeaderCols, m_pParam->m_nFrozenCols);
    }
    const ROWCOL nFirstRow = GetFrozenRows() + 1, nFirstCol = GetFrozenCols() + 1;
    m_nTopRow = std::max(nFirstRow, std::min(m_nTopRow, std::max(GetRowCount(), nFirstRow)));
    m_nLeftCol = std::max(nFirstCol, std::min(m_nLeftCol, std::max(GetColCount(), nFirstCol)));
}

// ---- Structure ----

namespace {
// The stored sizes of a band, for the undo of its removal.
void CollectSizes(const CGXCollMapDWordToLong& sizes, ROWCOL nFrom, ROWCOL nTo, CGXCollMapDWordToLong& out)
{
    for (ROWCOL n = nFrom; n <= nTo && n >= nFrom; ++n)
        if (LONG v = 0; sizes.Lookup(n, v))
            out[n] = v;
}

const CGXStyle* StyleAt(const CObArray* pArray, size_t i)
{
    if (pArray == nullptr || i >= static_cast<size_t>(pArray->GetSize()))
        return nullptr;
    return dynamic_cast<const CGXStyle*>(pArray->GetAt(static_cast<INT_PTR>(i)));
}

CGXStyle* CopyOf(const CGXStyle* p)
{
    return p != nullptr ? new CGXStyle(*p) : nullptr;
}

// The hidden rows (columns) of a band about to be removed, as the step that hides them again
// once the undo has put the band back; null when none of them is hidden.
std::unique_ptr<CGXCommand> HiddenStateUndo(CGXGridCore& grid, BOOL bRows, ROWCOL nFrom, ROWCOL nTo)
{
    if (grid.m_pHideCellsImp == nullptr || nTo < nFrom)
        return nullptr;
    CDWordArray states;
    states.SetSize(static_cast<INT_PTR>(nTo - nFrom) + 1);
    BOOL bAny = FALSE;
    for (ROWCOL n = nFrom; n <= nTo && n >= nFrom; ++n) {
        const BOOL bHidden = bRows ? grid.IsRowHidden(n) : grid.IsColHidden(n);
        states[static_cast<INT_PTR>(n - nFrom)] = bHidden ? 1 : 0;
        bAny |= bHidden;
    }
    if (!bAny)
        return nullptr;
    if (bRows)
        return std::make_unique<CGXHideRowsCmd>(nFrom, nTo, states);
    return std::make_unique<CGXHideColsCmd>(nFrom, nTo, states);
}

// Restores the extra object a data object kept behind the cell styles of an undo command.
CObject* TrailingInfo(const CObArray* pArray, size_t nCells)
{
    if (pArray == nullptr || static_cast<size_t>(pArray->GetSize()) <= nCells)
        return nullptr;
    CObject* p = pArray->GetAt(static_cast<INT_PTR>(nCells));
    return dynamic_cast<CGXStyle*>(p) == nullptr ? p : nullptr;
}
} // namespace

BOOL CGXGridCore::InsertRows(ROWCOL nRow, ROWCOL nCount, const CGXCollMapDWordToLong* pHeights, const CObArray* pCellsArray,
                             const CObArray* pRowsArray, ROWCOL nColCount, UINT nFlags, int nMode)
{
    CGXSelectionFrameLock frameLock(this);
    CGXData* pData = GetData();
    if (m_pParam == nullptr || pData == nullptr || nCount == 0 || nRow == 0 || nRow > pData->GetRowCount() + 1 ||
        IsReadOnlyLocked())
        return FALSE;
    CGXLongOperation op;
    if (!SyncCurrentCell(TRUE, GX_INVALIDATE, TRUE))
        return FALSE;
    BOOL bRedrawAll = FALSE;
    if (CObject* pInfo = TrailingInfo(pCellsArray, static_cast<size_t>(nCount) * nColCount))
        bRedrawAll = ApplyDataUndoInfo(pInfo, nMode == gxUndo, TRUE);
    const BOOL bOldRecording = SetDataUndoRecording(RecordingUndo(nMode));
    const BOOL bStored = StoreInsertRows(nRow, nCount, FALSE);
    SetDataUndoRecording(bOldRecording);
    if (!bStored) {
        DiscardDataUndoInfo();
        return FALSE;
    }
    if (pHeights != nullptr)
        for (ROWCOL r = nRow; r < nRow + nCount; ++r)
            if (LONG n = 0; pHeights->Lookup(r, n))
                m_pParam->m_RowHeights[r] = n;
    if (pCellsArray != nullptr || pRowsArray != nullptr) {
        const ROWCOL nCols = std::min(nColCount, pData->GetColCount() + 1);
        for (ROWCOL i = 0; i < nCount; ++i) {
            for (ROWCOL c = 0; c < nCols; ++c)
                if (const CGXStyle* p = StyleAt(pCellsArray, static_cast<size_t>(i) * nColCount + c))
                    pData->StoreStyle(nRow + i, c, p, gxCopy);
            if (const CGXStyle* p = StyleAt(pRowsArray, i))
                pData->StoreStyle(nRow + i, 0, p, gxCopy, gxBaseStyleType);
            op.DoMessages();
        }
    }
    UpdateInsertRows(nRow, nCount, nFlags, TRUE);
    if (RecordingUndo(nMode)) {
        auto* pCmd = new CGXRemoveRowsCmd(nRow, nRow + nCount - 1);
        pCmd->m_sDescription = m_pAppData->GetText(gxTextInsertRows);
        AddCommand(pCmd, nMode);
    }
    if (nMode == gxUndo || nMode == gxRedo)
        ShowCommandPosition(nRow, GetLeftCol(), FALSE);
    if (bRedrawAll)
        Redraw(GX_INVALIDATE, FALSE);
    return TRUE;
}

BOOL CGXGridCore::InsertCols(ROWCOL nCol, ROWCOL nCount, const CGXCollMapDWordToLong* pWidths, const CObArray* pCellsArray,
                             const CObArray* pColsArray, ROWCOL nRowCount, UINT nFlags, int nMode)
{
    CGXSelectionFrameLock frameLock(this);
    CGXData* pData = GetData();
    if (m_pParam == nullptr || pData == nullptr || nCount == 0 || nCol == 0 || nCol > pData->GetColCount() + 1 ||
        IsReadOnlyLocked())
        return FALSE;
    CGXLongOperation op;
    if (!SyncCurrentCell(TRUE, GX_INVALIDATE, TRUE))
        return FALSE;
    BOOL bRedrawAll = FALSE;
    if (CObject* pInfo = TrailingInfo(pCellsArray, static_cast<size_t>(nCount) * nRowCount))
        bRedrawAll = ApplyDataUndoInfo(pInfo, nMode == gxUndo, TRUE);
    const BOOL bOldRecording = SetDataUndoRecording(RecordingUndo(nMode));
    const BOOL bStored = StoreInsertCols(nCol, nCount, FALSE);
    SetDataUndoRecording(bOldRecording);
    if (!bStored) {
        DiscardDataUndoInfo();
        return FALSE;
    }
    if (pWidths != nullptr)
        for (ROWCOL c = nCol; c < nCol + nCount; ++c)
            if (LONG n = 0; pWidths->Lookup(c, n))
                m_pParam->m_ColWidths[c] = n;
    if (pCellsArray != nullptr || pColsArray != nullptr) {
        const ROWCOL nRows = std::min(nRowCount, pData->GetRowCount() + 1);
        for (ROWCOL i = 0; i < nCount; ++i) {
            for (ROWCOL r = 0; r < nRows; ++r)
                if (const CGXStyle* p = StyleAt(pCellsArray, static_cast<size_t>(i) * nRowCount + r))
                    pData->StoreStyle(r, nCol + i, p, gxCopy);
            if (const CGXStyle* p = StyleAt(pColsArray, i))
                pData->StoreStyle(0, nCol + i, p, gxCopy, gxBaseStyleType);
            op.DoMessages();
        }
    }
    UpdateInsertCols(nCol, nCount, nFlags, TRUE);
    if (RecordingUndo(nMode)) {
        auto* pCmd = new CGXRemoveColsCmd(nCol, nCol + nCount - 1);
        pCmd->m_sDescription = m_pAppData->GetText(gxTextInsertCols);
        AddCommand(pCmd, nMode);
    }
    if (nMode == gxUndo || nMode == gxRedo)
        ShowCommandPosition(GetTopRow(), nCol, FALSE);
    if (bRedrawAll)
        Redraw(GX_INVALIDATE, FALSE);
    return TRUE;
}

BOOL CGXGridCore::RemoveRows(ROWCOL nFromRow, ROWCOL nToRow, UINT nFlags, int nMode)
{
    CGXSelectionFrameLock frameLock(this);
    CGXData* pData = GetData();
    // Bad bounds are refused before anything changes.
    if (m_pParam == nullptr || pData == nullptr || nFromRow == 0 || nToRow < nFromRow || nFromRow > pData->GetRowCount() ||
        IsReadOnlyLocked())
        return FALSE;
    nToRow = std::min(nToRow, pData->GetRowCount());
    if (!SyncCurrentCell(TRUE, GX_INVALIDATE, TRUE))
        return FALSE;
    CGXLongOperation op;
    op.SetStatusText(m_pAppData->GetText(gxTextGenUndoInfo), FALSE);
    const ROWCOL nCount = nToRow - nFromRow + 1;
    const ROWCOL nColCount = pData->GetColCount() + 1;
    std::unique_ptr<CGXInsertRowsCmd> undo;
    std::unique_ptr<CGXCommand> undoHidden;
    if (RecordingUndo(nMode)) {
        undoHidden = HiddenStateUndo(*this, TRUE, nFromRow, nToRow);
        undo = std::make_unique<CGXInsertRowsCmd>(nFromRow, nCount, nColCount);
        undo->m_sDescription = m_pAppData->GetText(gxTextRemovingRows);
        CollectSizes(m_pParam->m_RowHeights, nFromRow, nToRow, undo->m_Heights);
        for (ROWCOL r = nFromRow; r <= nToRow; ++r) {
            undo->m_RowStyles.Add(CopyOf(pData->LookupStyle(r, 0, gxBaseStyleType)));
            for (ROWCOL c = 0; c < nColCount; ++c)
                undo->m_CellStyles.Add(CopyOf(pData->LookupStyle(r, c)));
        }
    }
    // The covered-cells feature's own changes and the removal form one undo step.
    const BOOL bTransaction = nMode == gxDo && m_pCoveredCellsImp != nullptr;
    if (bTransaction)
        BeginTransaction(m_pAppData->GetText(gxTextRemovingRows));
    // Blocks reaching into the band are cut back or dropped first, in the same undo step; an
    // undo, redo or rollback replays the step that already holds those changes.
    if (m_pCoveredCellsImp != nullptr) {
        BOOL bCoveredChanged = FALSE;
        m_pCoveredCellsImp->PrepareRemoveRows(this, nFromRow, nToRow, bCoveredChanged, nMode != gxDo);
    }
    op.SetStatusText(m_pAppData->GetText(gxTextRemovingRows), FALSE);
    CGXCollMapDWordToLong oldHeights;
    CollectSizes(m_pParam->m_RowHeights, nFromRow, nToRow, oldHeights);
    KeepRemovedSizes(TRUE, nFromRow, nToRow);
    const ROWCOL nOldFrozen = m_pParam->m_nFrozenRows, nOldHeader = m_pParam->m_nHeaderRows;
    const BOOL bOldRecording = SetDataUndoRecording(RecordingUndo(nMode));
    const BOOL bStored = StoreRemoveRows(nFromRow, nToRow, FALSE);
    SetDataUndoRecording(bOldRecording);
    if (!bStored) {
        m_bRemovedSizesValid = FALSE;
        // Nothing may stay half done: the open step goes back and the caller hears FALSE.
        DiscardDataUndoInfo();
        if (bTransaction)
            RollbackTransaction();
        return FALSE;
    }
    UpdateRemoveRows(nFromRow, nToRow, &oldHeights, nFlags, TRUE);
    if (undo) {
        if (CObject* pInfo = TakeDataUndoInfo())
            undo->m_CellStyles.Add(pInfo);
        // Frozen and hidden rows that went with the band come back with it: the undo inserts
        // the rows, then restores the counts, then hides what was hidden.
        CGXCommand* pCmd = undo.release();
        const BOOL bFrozen = m_pParam->m_nFrozenRows != nOldFrozen || m_pParam->m_nHeaderRows != nOldHeader;
        if (bFrozen || undoHidden) {
            auto* pBlock = new CGXBlockCmd(pCmd->m_sDescription);
            if (undoHidden)
                pBlock->Add(undoHidden.release());
            if (bFrozen)
                pBlock->Add(new CGXSetFrozenRowsCmd(nOldFrozen, nOldHeader));
            pBlock->Add(pCmd);
            pCmd = pBlock;
        }
        AddCommand(pCmd, nMode);
    }
    if (nMode == gxUndo || nMode == gxRedo)
        ShowCommandPosition(std::min(nFromRow, std::max<ROWCOL>(GetRowCount(), 1)), GetLeftCol(), FALSE);
    if (bTransaction)
        CommitTransaction();
    return TRUE;
}

BOOL CGXGridCore::RemoveCols(ROWCOL nFromCol, ROWCOL nToCol, UINT nFlags, int nMode)
{
    CGXSelectionFrameLock frameLock(this);
    CGXData* pData = GetData();
    if (m_pParam == nullptr || pData == nullptr || nFromCol == 0 || nToCol < nFromCol || nFromCol > pData->GetColCount() ||
        IsReadOnlyLocked())
        return FALSE;
    nToCol = std::min(nToCol, pData->GetColCount());
    if (!SyncCurrentCell(TRUE, GX_INVALIDATE, TRUE))
        return FALSE;
    CGXLongOperation op;
    op.SetStatusText(m_pAppData->GetText(gxTextGenUndoInfo), FALSE);
    const ROWCOL nCount = nToCol - nFromCol + 1;
    const ROWCOL nRowCount = pData->GetRowCount() + 1;
    std::unique_ptr<CGXInsertColsCmd> undo;
    std::unique_ptr<CGXCommand> undoHidden;
    if (RecordingUndo(nMode)) {
        undoHidden = HiddenStateUndo(*this, FALSE, nFromCol, nToCol);
        undo = std::make_unique<CGXInsertColsCmd>(nFromCol, nCount, nRowCount);
        undo->m_sDescription = m_pAppData->GetText(gxTextRemovingCols);
        CollectSizes(m_pParam->m_ColWidths, nFromCol, nToCol, undo->m_Widths);
        for (ROWCOL c = nFromCol; c <= nToCol; ++c) {
            undo->m_ColStyles.Add(CopyOf(pData->LookupStyle(0, c, gxBaseStyleType)));
            for (ROWCOL r = 0; r < nRowCount; ++r)
                undo->m_CellStyles.Add(CopyOf(pData->LookupStyle(r, c)));
        }
    }
    const BOOL bTransaction = nMode == gxDo && m_pCoveredCellsImp != nullptr;
    if (bTransaction)
        BeginTransaction(m_pAppData->GetText(gxTextRemovingCols));
    // Blocks reaching into the band are cut back or dropped first, in the same undo step; an
    // undo, redo or rollback replays the step that already holds those changes.
    if (m_pCoveredCellsImp != nullptr) {
        BOOL bCoveredChanged = FALSE;
        m_pCoveredCellsImp->PrepareRemoveCols(this, nFromCol, nToCol, bCoveredChanged, nMode != gxDo);
    }
    op.SetStatusText(m_pAppData->GetText(gxTextRemovingCols), FALSE);
    CGXCollMapDWordToLong oldWidths;
    CollectSizes(m_pParam->m_ColWidths, nFromCol, nToCol, oldWidths);
    KeepRemovedSizes(FALSE, nFromCol, nToCol);
    const ROWCOL nOldFrozen = m_pParam->m_nFrozenCols, nOldHeader = m_pParam->m_nHeaderCols;
    const BOOL bOldRecording = SetDataUndoRecording(RecordingUndo(nMode));
    const BOOL bStored = StoreRemoveCols(nFromCol, nToCol, FALSE);
    SetDataUndoRecording(bOldRecording);
    if (!bStored) {
        m_bRemovedSizesValid = FALSE;
        DiscardDataUndoInfo();
        if (bTransaction)
            RollbackTransaction();
        return FALSE;
    }
    UpdateRemoveCols(nFromCol, nToCol, &oldWidths, nFlags, TRUE);
    if (undo) {
        if (CObject* pInfo = TakeDataUndoInfo())
            undo->m_CellStyles.Add(pInfo);
        CGXCommand* pCmd = undo.release();
        const BOOL bFrozen = m_pParam->m_nFrozenCols != nOldFrozen || m_pParam->m_nHeaderCols != nOldHeader;
        if (bFrozen || undoHidden) {
            auto* pBlock = new CGXBlockCmd(pCmd->m_sDescription);
            if (undoHidden)
                pBlock->Add(undoHidden.release());
            if (bFrozen)
                pBlock->Add(new CGXSetFrozenColsCmd(nOldFrozen, nOldHeader));
            pBlock->Add(pCmd);
            pCmd = pBlock;
        }
        AddCommand(pCmd, nMode);
    }
    if (nMode == gxUndo || nMode == gxRedo)
        ShowCommandPosition(GetTopRow(), std::min(nFromCol, std::max<ROWCOL>(GetColCount(), 1)), FALSE);
    if (bTransaction)
        CommitTransaction();
    return TRUE;
}

BOOL CGXGridCore::MoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, UINT nFlags, int nMode)
{
    CGXSelectionFrameLock frameLock(this);
    if (m_pMoveRowsColsImp == nullptr || m_pParam == nullptr || IsReadOnlyLocked())
        return FALSE;
    return m_pMoveRowsColsImp->MoveRows(this, nFromRow, nToRow, nDestRow, nFlags, nMode);
}

BOOL CGXGridCore::MoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, UINT nFlags, int nMode)
{
    CGXSelectionFrameLock frameLock(this);
    if (m_pMoveRowsColsImp == nullptr || m_pParam == nullptr || IsReadOnlyLocked())
        return FALSE;
    return m_pMoveRowsColsImp->MoveCols(this, nFromCol, nToCol, nDestCol, nFlags, nMode);
}

BOOL CGXGridCore::StoreInsertRows(ROWCOL nRow, ROWCOL nCount, BOOL bForce)
{
    if (m_pParam == nullptr || IsReadOnlyLocked())
        return FALSE;
    const BOOL bStored = CGXGridModel(*m_pParam, nullptr).InsertRows(nRow, nCount, nullptr, nullptr, nullptr, 0, gxRollback);
    if (!bStored && !bForce)
        return FALSE;
    if (bStored && m_pHideCellsImp != nullptr)
        m_pHideCellsImp->InsertRows(this, nRow, nCount);
    if (bStored && m_pMergeCellsImp != nullptr)
        m_pMergeCellsImp->OnStructureChanged(this);
    if (bStored && m_pFloatCellsImp != nullptr)
        m_pFloatCellsImp->OnStructureChanged(this);
    SetModifiedFlag(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreInsertCols(ROWCOL nCol, ROWCOL nCount, BOOL bForce)
{
    if (m_pParam == nullptr || IsReadOnlyLocked())
        return FALSE;
    const BOOL bStored = CGXGridModel(*m_pParam, nullptr).InsertCols(nCol, nCount, nullptr, nullptr, nullptr, 0, gxRollback);
    if (!bStored && !bForce)
        return FALSE;
    if (bStored && m_pHideCellsImp != nullptr)
        m_pHideCellsImp->InsertCols(this, nCol, nCount);
    if (bStored && m_pMergeCellsImp != nullptr)
        m_pMergeCellsImp->OnStructureChanged(this);
    if (bStored && m_pFloatCellsImp != nullptr)
        m_pFloatCellsImp->OnStructureChanged(this);
    SetModifiedFlag(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreRemoveRows(ROWCOL nFromRow, ROWCOL nToRow, BOOL bForce)
{
    if (m_pParam == nullptr || IsReadOnlyLocked())
        return FALSE;
    const BOOL bStored = CGXGridModel(*m_pParam, nullptr).RemoveRows(nFromRow, nToRow, gxRollback);
    if (!bStored && !bForce)
        return FALSE;
    if (bStored && m_pHideCellsImp != nullptr)
        m_pHideCellsImp->RemoveRows(this, nFromRow, nToRow);
    if (bStored && m_pMergeCellsImp != nullptr)
        m_pMergeCellsImp->OnStructureChanged(this);
    if (bStored && m_pFloatCellsImp != nullptr)
        m_pFloatCellsImp->OnStructureChanged(this);
    SetModifiedFlag(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreRemoveCols(ROWCOL nFromCol, ROWCOL nToCol, BOOL bForce)
{
    if (m_pParam == nullptr || IsReadOnlyLocked())
        return FALSE;
    const BOOL bStored = CGXGridModel(*m_pParam, nullptr).RemoveCols(nFromCol, nToCol, gxRollback);
    if (!bStored && !bForce)
        return FALSE;
    if (bStored && m_pHideCellsImp != nullptr)
        m_pHideCellsImp->RemoveCols(this, nFromCol, nToCol);
    if (bStored && m_pMergeCellsImp != nullptr)
        m_pMergeCellsImp->OnStructureChanged(this);
    if (bStored && m_pFloatCellsImp != nullptr)
        m_pFloatCellsImp->OnStructureChanged(this);
    SetModifiedFlag(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, BOOL bProcessed)
{
    if (m_pMoveRowsColsImp == nullptr || !m_pMoveRowsColsImp->StoreMoveRows(this, nFromRow, nToRow, nDestRow, bProcessed))
        return FALSE;
    if (m_pHideCellsImp != nullptr)
        m_pHideCellsImp->MoveRows(this, nFromRow, nToRow, nDestRow);
    if (m_pMergeCellsImp != nullptr)
        m_pMergeCellsImp->OnStructureChanged(this);
    if (m_pFloatCellsImp != nullptr)
        m_pFloatCellsImp->OnStructureChanged(this);
    return TRUE;
}

BOOL CGXGridCore::StoreMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, BOOL bProcessed)
{
    if (m_pMoveRowsColsImp == nullptr || !m_pMoveRowsColsImp->StoreMoveCols(this, nFromCol, nToCol, nDestCol, bProcessed))
        return FALSE;
    if (m_pHideCellsImp != nullptr)
        m_pHideCellsImp->MoveCols(this, nFromCol, nToCol, nDestCol);
    if (m_pMergeCellsImp != nullptr)
        m_pMergeCellsImp->OnStructureChanged(this);
    if (m_pFloatCellsImp != nullptr)
        m_pFloatCellsImp->OnStructureChanged(this);
    return TRUE;
}

void CGXGridCore::RebindCurrentControl()
{
    if (!m_bCurrentCell)
        return;
    SetCurrentCellState(TRUE, m_nCurrentRow, m_nCurrentCol);
    if (m_pCurrentCellControl != nullptr && m_pCurrentCellControl->IsInit())
        m_pCurrentCellControl->Init(m_nCurrentRow, m_nCurrentCol);
}

void CGXGridCore::RedrawAfterStructureChange(UINT nFlags)
{
    if (m_pParam != nullptr && m_pParam->m_bLockUpdate)
        return;
    Redraw(nFlags, FALSE);
    if (nFlags & (GX_UPDATENOW | GX_SMART))
        UpdateScrollbars(TRUE, FALSE);
}

void CGXGridCore::UpdateAfterInsert(BOOL bRows, ROWCOL nFrom, ROWCOL nCount, UINT nFlags)
{
    auto* pOptimized = dynamic_cast<CGXAbstractGridOptimizedUpdateImp*>(m_pOptimizedUpdateImp);
    if (pOptimized == nullptr || m_pParam == nullptr || m_pParam->m_bLockUpdate) {
        RedrawAfterStructureChange(nFlags);
        return;
    }
    // The numbers of the rows in view changed: what was cached for the old ones is stale.
    m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;
    if (bRows)
        pOptimized->UpdateInsertRows(this, nFrom, nCount, nFlags);
    else
        pOptimized->UpdateInsertCols(this, nFrom, nCount, nFlags);
}

void CGXGridCore::KeepRemovedSizes(BOOL bRows, ROWCOL nFrom, ROWCOL nTo)
{
    // The sizes the band has on screen now (a hidden row none), while it still exists: the
    // update after the removal moves what follows up by them. A band too long to be in view
    // is not listed; the update then repaints from the removal point on.
    constexpr ROWCOL kMaxListed = 4096;
    m_removedSizes.clear();
    m_bRemovedSizesValid = FALSE;
    if (m_pOptimizedUpdateImp == nullptr || nTo < nFrom || nTo - nFrom >= kMaxListed)
        return;
    for (ROWCOL n = nFrom; n <= nTo; ++n)
        m_removedSizes.push_back(bRows ? GetRowHeight(n) : GetColWidth(n));
    m_bRemovedSizesValid = TRUE;
    m_bRemovedSizesRows = bRows;
    m_nRemovedFrom = nFrom;
    m_nRemovedTo = nTo;
}

void CGXGridCore::UpdateAfterRemove(BOOL bRows, ROWCOL nFrom, ROWCOL nTo, UINT nFlags)
{
    // Sizes kept for another band (or none, as when another view replays the change) are not
    // these rows' sizes.
    const BOOL bSizes = m_bRemovedSizesValid && m_bRemovedSizesRows == bRows && m_nRemovedFrom == nFrom && m_nRemovedTo == nTo;
    const std::vector<int> old = bSizes ? std::move(m_removedSizes) : std::vector<int>();
    m_removedSizes.clear();
    m_bRemovedSizesValid = FALSE;
    auto* pOptimized = dynamic_cast<CGXAbstractGridOptimizedUpdateImp*>(m_pOptimizedUpdateImp);
    if (pOptimized == nullptr || m_pParam == nullptr || m_pParam->m_bLockUpdate) {
        ClampScrollPosition();
        RedrawAfterStructureChange(nFlags);
        return;
    }
    const int* pOld = bSizes ? old.data() : nullptr;
    m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;
    if (bRows)
        pOptimized->UpdateRemoveRows(this, nFrom, nTo, pOld, nFlags);
    else
        pOptimized->UpdateRemoveCols(this, nFrom, nTo, pOld, nFlags);
    // The feature leaves the first scrolled row where the rest stays valid; should the counts
    // still force another, what the feature scrolled no longer matches the screen.
    const ROWCOL nAfterTop = m_nTopRow, nAfterLeft = m_nLeftCol;
    ClampScrollPosition();
    if (m_nTopRow != nAfterTop || m_nLeftCol != nAfterLeft) {
        m_nLastVisibleRow = m_nLastVisibleCol = GX_INVALID;
        RedrawAfterStructureChange(nFlags);
    }
}

void CGXGridCore::UpdateInsertRows(ROWCOL nRow, ROWCOL nCount, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell && m_nCurrentRow >= nRow) {
        m_nCurrentRow += nCount;
        RebindCurrentControl();
    }
    if (m_nTopRow == GetFrozenRows())
        m_nTopRow = GetFrozenRows() + 1;
    ClampScrollPosition();
    UpdateAfterInsert(TRUE, nRow, nCount, nFlags);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateInsertRows(this, nRow, nCount, nFlags);
}

void CGXGridCore::UpdateInsertCols(ROWCOL nCol, ROWCOL nCount, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell && m_nCurrentCol >= nCol) {
        m_nCurrentCol += nCount;
        RebindCurrentControl();
    }
    if (m_nLeftCol == GetFrozenCols())
        m_nLeftCol = GetFrozenCols() + 1;
    ClampScrollPosition();
    UpdateAfterInsert(FALSE, nCol, nCount, nFlags);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateInsertCols(this, nCol, nCount, nFlags);
}

void CGXGridCore::DropCurrentCell()
{
    // The cell is gone: its control must not stay on screen or keep editing it.
    if (m_pCurrentCellControl != nullptr) {
        m_pCurrentCellControl->SetActive(FALSE);
        m_pCurrentCellControl->Reset();
    }
    m_pCurrentCellControl = nullptr;
    m_bCurrentCell = FALSE;
}

void CGXGridCore::UpdateRemoveRows(ROWCOL nFromRow, ROWCOL nToRow, const CGXCollMapDWordToLong* pOldHeights, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell) {
        if (m_nCurrentRow >= nFromRow && m_nCurrentRow <= nToRow) {
            DropCurrentCell();
        } else if (m_nCurrentRow > nToRow) {
            m_nCurrentRow -= nToRow - nFromRow + 1;
            RebindCurrentControl();
        }
    }
    UpdateAfterRemove(TRUE, nFromRow, nToRow, nFlags);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateRemoveRows(this, nFromRow, nToRow, const_cast<CGXCollMapDWordToLong*>(pOldHeights), nFlags);
}

void CGXGridCore::UpdateRemoveCols(ROWCOL nFromCol, ROWCOL nToCol, const CGXCollMapDWordToLong* pOldWidths, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell) {
        if (m_nCurrentCol >= nFromCol && m_nCurrentCol <= nToCol) {
            DropCurrentCell();
        } else if (m_nCurrentCol > nToCol) {
            m_nCurrentCol -= nToCol - nFromCol + 1;
            RebindCurrentControl();
        }
    }
    UpdateAfterRemove(FALSE, nFromCol, nToCol, nFlags);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateRemoveCols(this, nFromCol, nToCol, const_cast<CGXCollMapDWordToLong*>(pOldWidths), nFlags);
}

void CGXGridCore::UpdateMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, UINT nFlags, BOOL bCreateHint)
{
    if (m_pMoveRowsColsImp != nullptr)
        m_pMoveRowsColsImp->UpdateMoveRows(this, nFromRow, nToRow, nDestRow, nFlags, bCreateHint);
}

void CGXGridCore::UpdateMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, UINT nFlags, BOOL bCreateHint)
{
    if (m_pMoveRowsColsImp != nullptr)
        m_pMoveRowsColsImp->UpdateMoveCols(this, nFromCol, nToCol, nDestCol, nFlags, bCreateHint);
}

void CGXGridCore::MovedCurrentCell(BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest)
{
    if (!m_bCurrentCell)
        return;
    ROWCOL& n = bRows ? m_nCurrentRow : m_nCurrentCol;
    const ROWCOL nCount = nTo - nFrom + 1;
    // p, the insertion point before the move: rows from p on stay where they are.
    const ROWCOL p = nDest < nFrom ? nDest : nDest + nCount;
    if (n >= nFrom && n <= nTo)
        n = nDest + (n - nFrom);
    else if (n < nFrom && n >= p)
        n += nCount;
    else if (n > nTo && n < p)
        n -= nCount;
    else
        return;
    RebindCurrentControl();
}

// ---- Frozen rows and columns ----

ROWCOL CGXGridCore::GetFrozenRows()
{
    return m_pParam != nullptr ? m_pParam->m_nFrozenRows : 0;
}

ROWCOL CGXGridCore::GetFrozenCols()
{
    return m_pParam != nullptr ? m_pParam->m_nFrozenCols : 0;
}

ROWCOL CGXGridCore::GetHeaderRows()
{
    return m_pParam != nullptr ? m_pParam->m_nHeaderRows : 0;
}

ROWCOL CGXGridCore::GetHeaderCols()
{
    return m_pParam != nullptr ? m_pParam->m_nHeaderCols : 0;
}

BOOL CGXGridCore::SetFrozenRows(ROWCOL nFrozenRows, ROWCOL nHeaderRows, UINT nFlags, int nMode)
{
    if (m_pParam == nullptr)
        return FALSE;
    const ROWCOL nOldFrozen = GetFrozenRows(), nOldHeader = GetHeaderRows();
    if (!StoreFrozenRows(nFrozenRows, nHeaderRows))
        return FALSE;
    UpdateFrozenRows(nOldFrozen, nOldHeader, nFlags, TRUE);
    if (RecordingUndo(nMode)) {
        auto* pCmd = new CGXSetFrozenRowsCmd(nOldFrozen, nOldHeader);
        pCmd->m_sDescription = m_pAppData->GetText(gxTextFreezeRows);
        AddCommand(pCmd, nMode);
    }
    return TRUE;
}

BOOL CGXGridCore::SetFrozenCols(ROWCOL nFrozenCols, ROWCOL nHeaderCols, UINT nFlags, int nMode)
{
    if (m_pParam == nullptr)
        return FALSE;
    const ROWCOL nOldFrozen = GetFrozenCols(), nOldHeader = GetHeaderCols();
    if (!StoreFrozenCols(nFrozenCols, nHeaderCols))
        return FALSE;
    UpdateFrozenCols(nOldFrozen, nOldHeader, nFlags, TRUE);
    if (RecordingUndo(nMode)) {
        auto* pCmd = new CGXSetFrozenColsCmd(nOldFrozen, nOldHeader);
        pCmd->m_sDescription = m_pAppData->GetText(gxTextFreezeCols);
        AddCommand(pCmd, nMode);
    }
    return TRUE;
}

BOOL CGXGridCore::StoreFrozenRows(ROWCOL nFrozenRows, ROWCOL nHeaderRows)
{
    // Header rows lie within the frozen ones, and the frozen ones within the rows there are.
    if (m_pParam == nullptr || IsReadOnlyLocked() || nHeaderRows > nFrozenRows || nFrozenRows > GetRowCount())
        return FALSE;
    m_pParam->m_nFrozenRows = nFrozenRows;
    m_pParam->m_nHeaderRows = nHeaderRows;
    SetModifiedFlag(TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreFrozenCols(ROWCOL nFrozenCols, ROWCOL nHeaderCols)
{
    if (m_pParam == nullptr || IsReadOnlyLocked() || nHeaderCols > nFrozenCols || nFrozenCols > GetColCount())
        return FALSE;
    m_pParam->m_nFrozenCols = nFrozenCols;
    m_pParam->m_nHeaderCols = nHeaderCols;
    SetModifiedFlag(TRUE);
    return TRUE;
}

void CGXGridCore::UpdateFrozenRows(ROWCOL nOldFrozenRows, ROWCOL nOldHeaderRows, UINT nFlags, BOOL bCreateHint)
{
    m_nTopRow = std::max(m_nTopRow, GetFrozenRows() + 1);
    ClampScrollPosition();
    RefreshCurrentCell(FALSE);
    if (m_pParam == nullptr || !m_pParam->m_bLockUpdate) {
        UpdateScrollbars(TRUE, TRUE);
        Redraw(nFlags, FALSE);
    }
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateFrozenRows(this, nOldFrozenRows, nOldHeaderRows, nFlags);
}

void CGXGridCore::UpdateFrozenCols(ROWCOL nOldFrozenCols, ROWCOL nOldHeaderCols, UINT nFlags, BOOL bCreateHint)
{
    m_nLeftCol = std::max(m_nLeftCol, GetFrozenCols() + 1);
    // Text never floats from the frozen columns into the scrolled ones: the border moved.
    DelayFloatCells(CGXRange().SetTable());
    ClampScrollPosition();
    RefreshCurrentCell(FALSE);
    if (m_pParam == nullptr || !m_pParam->m_bLockUpdate) {
        UpdateScrollbars(TRUE, TRUE);
        Redraw(nFlags, FALSE);
    }
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateFrozenCols(this, nOldFrozenCols, nOldHeaderCols, nFlags);
}

// ---- Sorting: the sort feature's ----

void CGXGridCore::SortRows(CGXRange sortRange, const CObArray& sortInfo, UINT nFlags)
{
    if (m_pSortImp != nullptr)
        m_pSortImp->SortRows(this, sortRange, sortInfo, nFlags);
}

BOOL CGXGridCore::MoveDataRows(const CGXRange& range, const CDWordArray& order, UINT nFlags, int nMode)
{
    return m_pSortImp != nullptr && m_pSortImp->MoveDataRows(this, range, order, nFlags, nMode);
}

BOOL CGXGridCore::StoreMoveDataRows(const CGXRange& range, const CDWordArray& order)
{
    return m_pSortImp != nullptr && m_pSortImp->StoreMoveDataRows(this, range, order);
}

void CGXGridCore::UpdateMoveDataRows(const CGXRange& range, UINT nFlags, BOOL bCreateHint)
{
    if (m_pSortImp != nullptr)
        m_pSortImp->UpdateMoveDataRows(this, range, nFlags, bCreateHint);
}

void CGXGridCore::GetSortRowKeys(ROWCOL nRow, const CObArray& sortInfo, CStringArray& keys)
{
    if (m_pSortImp != nullptr)
        m_pSortImp->GetSortRowKeys(this, nRow, sortInfo, keys);
}

void CGXGridCore::SortCols(CGXRange sortRange, const CObArray& sortInfo, UINT nFlags)
{
    if (m_pSortImp != nullptr)
        m_pSortImp->SortCols(this, sortRange, sortInfo, nFlags);
}

BOOL CGXGridCore::MoveDataCols(const CGXRange& range, const CDWordArray& order, UINT nFlags, int nMode)
{
    return m_pSortImp != nullptr && m_pSortImp->MoveDataCols(this, range, order, nFlags, nMode);
}

BOOL CGXGridCore::StoreMoveDataCols(const CGXRange& range, const CDWordArray& order)
{
    return m_pSortImp != nullptr && m_pSortImp->StoreMoveDataCols(this, range, order);
}

void CGXGridCore::UpdateMoveDataCols(const CGXRange& range, UINT nFlags, BOOL bCreateHint)
{
    if (m_pSortImp != nullptr)
        m_pSortImp->UpdateMoveDataCols(this, range, nFlags, bCreateHint);
}

void CGXGridCore::GetSortColKeys(ROWCOL nCol, const CObArray& sortInfo, CStringArray& keys)
{
    if (m_pSortImp != nullptr)
        m_pSortImp->GetSortColKeys(this, nCol, sortInfo, keys);
}

void CGXGridCore::SortIndexArray(CDWordArray& indexes, const CObArray& sortInfo)
{
    if (m_pSortImp != nullptr)
        m_pSortImp->SortIndexArray(this, indexes, sortInfo);
}

BOOL CGXGridCore::GetSortKey(ROWCOL nRow, ROWCOL nCol, const CGXSortInfo& /*sortInfo*/, const CGXStyle& style, CString& sKey)
{
    CGXControl* pControl = GetControlById(style.GetControl());
    if (pControl == nullptr) {
        sKey = style.GetValue();
        return TRUE;
    }
    return pControl->GetSortKey(nRow, nCol, style, sKey);
}
