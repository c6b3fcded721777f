// The engine's cell-style, count, structure and frozen-row operations: each command operation
// stores through the model (which records the inverse for undo), then runs the update
// operation, which redraws and passes the change to the other views.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridCoreTarget.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/data/CGXCommandFactory.h"
#include "grid/data/CGXLongOperation.h"

#include <algorithm>

namespace {
constexpr size_t kMaxFreeStyles = 500;
} // namespace

// ---- Cell styles ----

BOOL CGXGridCore::ApplyStyleToRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType,
                                    const CObArray* pCellsArray, UINT nFlags, int nMode)
{
    if (m_pParam == nullptr || GetData() == nullptr || IsReadOnly())
        return FALSE;
    CommandTarget target(*this, nFlags);
    return target.ApplyStyleToRange(range, pStyle, nModify, nType, pCellsArray, nMode);
}

BOOL CGXGridCore::ReadCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int nModify, int nType)
{
    CGXData* pData = GetData();
    return pData != nullptr && pData->GetStyle(nRow, nCol, style, nModify, nType);
}

CObArray* CGXGridCore::CollectRangeStyles(const CGXRange& range, int nType, DWORD*)
{
    auto* pArray = new CObArray;
    CGXData* pData = GetData();
    if (pData == nullptr || !range.IsValid())
        return pArray;
    // Bands and the whole table hold base styles, as ApplyStyleToRange stores them.
    CGXRange cells(range);
    if (!range.IsCells()) {
        nType = gxBaseStyleType;
        if (range.IsRows())
            cells.SetCells(range.top, 0, range.bottom, 0);
        else if (range.IsCols())
            cells.SetCells(0, range.left, 0, range.right);
        else
            cells.SetCells(0, 0, 0, 0);
    }
    const ROWCOL nBottom = std::min<ROWCOL>(cells.bottom, pData->GetRowCount());
    const ROWCOL nRight = std::min<ROWCOL>(cells.right, pData->GetColCount());
    CGXLongOperation op;
    for (ROWCOL nRow = cells.top; nRow <= nBottom && nRow >= cells.top; ++nRow) {
        for (ROWCOL nCol = cells.left; nCol <= nRight && nCol >= cells.left; ++nCol) {
            const CGXStyle* pStored = pData->LookupStyle(nRow, nCol, nType);
            pArray->Add(pStored != nullptr ? new CGXStyle(*pStored) : nullptr);
        }
        op.DoMessages();
    }
    return pArray;
}

void CGXGridCore::ComposeCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bApplyStandard)
{
    if (m_pParam != nullptr)
        m_pParam->ComposeCellStyle(nRow, nCol, style, bApplyStandard);
}

BOOL CGXGridCore::StoreCellStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nModify, int nType)
{
    CGXData* pData = GetData();
    if (pData == nullptr || IsReadOnly())
        return FALSE;
    return pData->StoreStyle(nRow, nCol, pStyle, nModify, nType);
}

void CGXGridCore::UpdateStyleRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell && range.ContainsCell(m_nCurrentRow, m_nCurrentCol) && m_pCurrentCellControl != nullptr)
        m_pCurrentCellControl->Refresh();
    RedrawRange(range, nFlags, FALSE);
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
    if (m_pParam == nullptr || IsReadOnly())
        return FALSE;
    CommandTarget target(*this, nFlags);
    return target.ChangeStylesMap(stylesMap, nMode);
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
    if (m_pParam == nullptr || IsReadOnly())
        return FALSE;
    CommandTarget target(*this, nFlags);
    return target.ChangeProperties(properties, nMode);
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
    if (m_pParam == nullptr || m_pParam->GetStylesMap() == nullptr || IsReadOnly())
        return FALSE;
    if (m_pParam->GetStylesMap()->LookupStyle(nID) == nullptr)
        AfxThrowNotSupportedException();
    CommandTarget target(*this, nFlags);
    return target.ChangeBaseStyle(nID, style, nModify, nMode);
}

void CGXGridCore::UpdateBaseStyleChange(WORD nID, UINT nFlags, BOOL bCreateHint)
{
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
    if (nRows == nOld)
        return GetData() != nullptr;
    if (IsReadOnly())
        return FALSE;
    CGXGridModel model(*m_pParam, m_pUndoImp);
    if (!model.SetRowCount(nRows, gxDo))
        return FALSE;
    UpdateRowCountChange(nOld, nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::SetColCount(ROWCOL nCols, UINT nFlags)
{
    const ROWCOL nOld = GetColCount();
    if (nCols == nOld)
        return GetData() != nullptr;
    if (IsReadOnly())
        return FALSE;
    CGXGridModel model(*m_pParam, m_pUndoImp);
    if (!model.SetColCount(nCols, gxDo))
        return FALSE;
    UpdateColCountChange(nOld, nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::StoreRowCount(ROWCOL nRows)
{
    CGXData* pData = GetData();
    if (pData == nullptr)
        return FALSE;
    CGXGridModel model(*m_pParam, nullptr);
    return model.SetRowCount(nRows, gxRollback);
}

BOOL CGXGridCore::StoreColCount(ROWCOL nCols)
{
    CGXData* pData = GetData();
    if (pData == nullptr)
        return FALSE;
    CGXGridModel model(*m_pParam, nullptr);
    return model.SetColCount(nCols, gxRollback);
}

void CGXGridCore::UpdateRowCountChange(ROWCOL nOldRows, UINT nFlags, BOOL bCreateHint)
{
    // The current cell cannot stay below the last row.
    if (m_bCurrentCell && m_nCurrentRow > GetRowCount())
        m_bCurrentCell = FALSE;
    UpdateScrollbars(TRUE, TRUE);
    Redraw(nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateRowCountChange(this, nOldRows, nFlags);
}

void CGXGridCore::UpdateColCountChange(ROWCOL nOldCols, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell && m_nCurrentCol > GetColCount())
        m_bCurrentCell = FALSE;
    UpdateScrollbars(TRUE, TRUE);
    Redraw(nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateColCountChange(this, nOldCols, nFlags);
}

// ---- Structure ----

BOOL CGXGridCore::InsertRows(ROWCOL nRow, ROWCOL nCount, const CGXCollMapDWordToLong* pHeights, const CObArray* pCellsArray,
                             const CObArray* pRowsArray, ROWCOL nColCount, UINT nFlags, int nMode)
{
    if (m_pParam == nullptr || GetData() == nullptr || IsReadOnly() || nCount == 0)
        return FALSE;
    CommandTarget target(*this, nFlags);
    return target.InsertRows(nRow, nCount, pHeights, pCellsArray, pRowsArray, nColCount, nMode);
}

BOOL CGXGridCore::InsertCols(ROWCOL nCol, ROWCOL nCount, const CGXCollMapDWordToLong* pWidths, const CObArray* pCellsArray,
                             const CObArray* pColsArray, ROWCOL nRowCount, UINT nFlags, int nMode)
{
    if (m_pParam == nullptr || GetData() == nullptr || IsReadOnly() || nCount == 0)
        return FALSE;
    CommandTarget target(*this, nFlags);
    return target.InsertCols(nCol, nCount, pWidths, pCellsArray, pColsArray, nRowCount, nMode);
}

BOOL CGXGridCore::RemoveRows(ROWCOL nFromRow, ROWCOL nToRow, UINT nFlags, int nMode)
{
    if (m_pParam == nullptr || GetData() == nullptr || IsReadOnly() || nFromRow > nToRow)
        return FALSE;
    CommandTarget target(*this, nFlags);
    return target.RemoveRows(nFromRow, nToRow, nMode);
}

BOOL CGXGridCore::RemoveCols(ROWCOL nFromCol, ROWCOL nToCol, UINT nFlags, int nMode)
{
    if (m_pParam == nullptr || GetData() == nullptr || IsReadOnly() || nFromCol > nToCol)
        return FALSE;
    CommandTarget target(*this, nFlags);
    return target.RemoveCols(nFromCol, nToCol, nMode);
}

BOOL CGXGridCore::MoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, UINT nFlags, int nMode)
{
    // Moving rows belongs to the move feature.
    if (m_pMoveRowsColsImp == nullptr || m_pParam == nullptr || IsReadOnly())
        return FALSE;
    CommandTarget target(*this, nFlags);
    return target.MoveRows(nFromRow, nToRow, nDestRow, nMode);
}

BOOL CGXGridCore::MoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, UINT nFlags, int nMode)
{
    if (m_pMoveRowsColsImp == nullptr || m_pParam == nullptr || IsReadOnly())
        return FALSE;
    CommandTarget target(*this, nFlags);
    return target.MoveCols(nFromCol, nToCol, nDestCol, nMode);
}

BOOL CGXGridCore::StoreInsertRows(ROWCOL nRow, ROWCOL nCount, BOOL)
{
    return m_pParam != nullptr && CGXGridModel(*m_pParam, nullptr).InsertRows(nRow, nCount, nullptr, nullptr, nullptr, 0, gxRollback);
}

BOOL CGXGridCore::StoreInsertCols(ROWCOL nCol, ROWCOL nCount, BOOL)
{
    return m_pParam != nullptr && CGXGridModel(*m_pParam, nullptr).InsertCols(nCol, nCount, nullptr, nullptr, nullptr, 0, gxRollback);
}

BOOL CGXGridCore::StoreRemoveRows(ROWCOL nFromRow, ROWCOL nToRow, BOOL)
{
    return m_pParam != nullptr && CGXGridModel(*m_pParam, nullptr).RemoveRows(nFromRow, nToRow, gxRollback);
}

BOOL CGXGridCore::StoreRemoveCols(ROWCOL nFromCol, ROWCOL nToCol, BOOL)
{
    return m_pParam != nullptr && CGXGridModel(*m_pParam, nullptr).RemoveCols(nFromCol, nToCol, gxRollback);
}

BOOL CGXGridCore::StoreMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, BOOL bProcessed)
{
    return m_pMoveRowsColsImp != nullptr && m_pMoveRowsColsImp->StoreMoveRows(this, nFromRow, nToRow, nDestRow, bProcessed);
}

BOOL CGXGridCore::StoreMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, BOOL bProcessed)
{
    return m_pMoveRowsColsImp != nullptr && m_pMoveRowsColsImp->StoreMoveCols(this, nFromCol, nToCol, nDestCol, bProcessed);
}

void CGXGridCore::UpdateInsertRows(ROWCOL nRow, ROWCOL nCount, UINT nFlags, BOOL bCreateHint)
{
    // The current cell keeps its row: rows inserted above it push it down.
    if (m_bCurrentCell && m_nCurrentRow >= nRow)
        m_nCurrentRow += nCount;
    UpdateScrollbars(TRUE, TRUE);
    Redraw(nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateInsertRows(this, nRow, nCount, nFlags);
}

void CGXGridCore::UpdateInsertCols(ROWCOL nCol, ROWCOL nCount, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell && m_nCurrentCol >= nCol)
        m_nCurrentCol += nCount;
    UpdateScrollbars(TRUE, TRUE);
    Redraw(nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateInsertCols(this, nCol, nCount, nFlags);
}

void CGXGridCore::UpdateRemoveRows(ROWCOL nFromRow, ROWCOL nToRow, const CGXCollMapDWordToLong* pOldHeights, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell) {
        if (m_nCurrentRow >= nFromRow && m_nCurrentRow <= nToRow)
            m_bCurrentCell = FALSE; // its row is gone
        else if (m_nCurrentRow > nToRow)
            m_nCurrentRow -= nToRow - nFromRow + 1;
    }
    m_nTopRow = std::max<ROWCOL>(GetFrozenRows() + 1, std::min(m_nTopRow, std::max<ROWCOL>(GetRowCount(), 1)));
    UpdateScrollbars(TRUE, TRUE);
    Redraw(nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateRemoveRows(this, nFromRow, nToRow, const_cast<CGXCollMapDWordToLong*>(pOldHeights), nFlags);
}

void CGXGridCore::UpdateRemoveCols(ROWCOL nFromCol, ROWCOL nToCol, const CGXCollMapDWordToLong* pOldWidths, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell) {
        if (m_nCurrentCol >= nFromCol && m_nCurrentCol <= nToCol)
            m_bCurrentCell = FALSE;
        else if (m_nCurrentCol > nToCol)
            m_nCurrentCol -= nToCol - nFromCol + 1;
    }
    m_nLeftCol = std::max<ROWCOL>(GetFrozenCols() + 1, std::min(m_nLeftCol, std::max<ROWCOL>(GetColCount(), 1)));
    UpdateScrollbars(TRUE, TRUE);
    Redraw(nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateRemoveCols(this, nFromCol, nToCol, const_cast<CGXCollMapDWordToLong*>(pOldWidths), nFlags);
}

namespace {
// Where a row or column ends up after the block nFrom..nTo moved so that nFrom lands at nDest.
ROWCOL MovedIndex(ROWCOL n, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest)
{
    const ROWCOL nCount = nTo - nFrom + 1;
    if (n >= nFrom && n <= nTo)
        return nDest + (n - nFrom);
    if (nDest < nFrom && n >= nDest && n < nFrom)
        return n + nCount;
    if (nDest > nFrom && n > nTo && n < nDest + nCount)
        return n - nCount;
    return n;
}
} // namespace

void CGXGridCore::UpdateMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell)
        m_nCurrentRow = MovedIndex(m_nCurrentRow, nFromRow, nToRow, nDestRow);
    Redraw(nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateMoveRows(this, nFromRow, nToRow, nDestRow, nFlags);
}

void CGXGridCore::UpdateMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, UINT nFlags, BOOL bCreateHint)
{
    if (m_bCurrentCell)
        m_nCurrentCol = MovedIndex(m_nCurrentCol, nFromCol, nToCol, nDestCol);
    Redraw(nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateMoveCols(this, nFromCol, nToCol, nDestCol, nFlags);
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
    if (m_pParam == nullptr || IsReadOnly())
        return FALSE;
    CommandTarget target(*this, nFlags);
    return target.SetFrozenRows(nFrozenRows, nHeaderRows, nMode);
}

BOOL CGXGridCore::SetFrozenCols(ROWCOL nFrozenCols, ROWCOL nHeaderCols, UINT nFlags, int nMode)
{
    if (m_pParam == nullptr || IsReadOnly())
        return FALSE;
    CommandTarget target(*this, nFlags);
    return target.SetFrozenCols(nFrozenCols, nHeaderCols, nMode);
}

BOOL CGXGridCore::StoreFrozenRows(ROWCOL nFrozenRows, ROWCOL nHeaderRows)
{
    return m_pParam != nullptr && CGXGridModel(*m_pParam, nullptr).SetFrozenRows(nFrozenRows, nHeaderRows, gxRollback);
}

BOOL CGXGridCore::StoreFrozenCols(ROWCOL nFrozenCols, ROWCOL nHeaderCols)
{
    return m_pParam != nullptr && CGXGridModel(*m_pParam, nullptr).SetFrozenCols(nFrozenCols, nHeaderCols, gxRollback);
}

void CGXGridCore::UpdateFrozenRows(ROWCOL nOldFrozenRows, ROWCOL nOldHeaderRows, UINT nFlags, BOOL bCreateHint)
{
    m_nTopRow = std::max(m_nTopRow, GetFrozenRows() + 1);
    UpdateScrollbars(TRUE, TRUE);
    Redraw(nFlags, FALSE);
    if (HintsWanted(bCreateHint))
        m_pUpdateHintImp->HintUpdateFrozenRows(this, nOldFrozenRows, nOldHeaderRows, nFlags);
}

void CGXGridCore::UpdateFrozenCols(ROWCOL nOldFrozenCols, ROWCOL nOldHeaderCols, UINT nFlags, BOOL bCreateHint)
{
    m_nLeftCol = std::max(m_nLeftCol, GetFrozenCols() + 1);
    UpdateScrollbars(TRUE, TRUE);
    Redraw(nFlags, FALSE);
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
