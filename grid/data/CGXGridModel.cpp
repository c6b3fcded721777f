#include "grid/data/CGXGridModel.h"

#include "grid/data/CGXCommandFactory.h"
#include "grid/data/CGXGridParam.h"

#include <algorithm>
#include <memory>

namespace {

const CGXStyle* StyleAt(const CObArray* pArray, size_t i)
{
    if (pArray == nullptr || i >= static_cast<size_t>(pArray->GetSize()))
        return nullptr;
    return static_cast<const CGXStyle*>(pArray->GetAt(static_cast<INT_PTR>(i)));
}

CGXStyle* CopyOf(const CGXStyle* p)
{
    return p != nullptr ? new CGXStyle(*p) : nullptr;
}

// The new numbers of frozen rows or columns after count of them were inserted at a place, or
// removed from first..last.
ROWCOL FrozenAfterInsert(ROWCOL nFrozen, ROWCOL nAt, ROWCOL nCount)
{
    return nAt <= nFrozen && nAt > 0 ? nFrozen + nCount : nFrozen;
}

ROWCOL FrozenAfterRemove(ROWCOL nFrozen, ROWCOL nFirst, ROWCOL nLast)
{
    if (nFirst > nFrozen)
        return nFrozen;
    return nFrozen - (std::min(nLast, nFrozen) - nFirst + 1);
}

} // namespace

CGXGridModel::CGXGridModel(CGXGridParam& param, CGXCommandFactory* pFactory) : m_param(param), m_pFactory(pFactory) {}

bool CGXGridModel::Recording(int nMode) const
{
    return m_pFactory != nullptr && nMode != gxRollback &&
           (m_param.IsEnableUndo() || !m_param.m_TransactionBlocks.IsEmpty());
}

void CGXGridModel::Record(CGXCommand* pCmd, int nMode)
{
    if (m_pFactory != nullptr)
        m_pFactory->AddCommand(m_param, pCmd, nMode);
    else
        delete pCmd;
}

void CGXGridModel::EndHistory()
{
    if (m_pFactory != nullptr)
        m_pFactory->EndHistory(m_param);
}

void CGXGridModel::ShiftRangeLists(void (CGXRangeList::*shift)(DWORD, DWORD), DWORD a, DWORD b)
{
    for (CGXRangeList* p : {&m_param.m_SelRects, &m_param.m_CoveredCellsList, &m_param.m_MarkedRanges})
        (p->*shift)(a, b);
}

void CGXGridModel::ShiftRangeLists(void (CGXRangeList::*shift)(DWORD, DWORD, DWORD), DWORD a, DWORD b, DWORD c)
{
    for (CGXRangeList* p : {&m_param.m_SelRects, &m_param.m_CoveredCellsList, &m_param.m_MarkedRanges})
        (p->*shift)(a, b, c);
}

void CGXGridModel::ShiftRangeLists(void (CGXRangeList::*shift)(DWORD, DWORD, DWORD, DWORD), DWORD a, DWORD b, DWORD c,
                                   DWORD d)
{
    for (CGXRangeList* p : {&m_param.m_SelRects, &m_param.m_CoveredCellsList, &m_param.m_MarkedRanges})
        (p->*shift)(a, b, c, d);
}

BOOL CGXGridModel::InsertRows(ROWCOL nRow, ROWCOL nCount, const CGXCollMapDWordToLong* pHeights,
                              const CObArray* pCellStyles, const CObArray* pRowStyles, ROWCOL nColCount, int nMode)
{
    CGXData* pData = m_param.GetData();
    if (pData == nullptr || nCount == 0 || !pData->InsertRows(nRow, nCount))
        return FALSE;
    m_param.m_RowHeights.InsertKeys(nRow, nCount);
    if (pHeights != nullptr)
        for (ROWCOL r = nRow; r < nRow + nCount; ++r)
            if (LONG n = 0; pHeights->Lookup(r, n))
                m_param.m_RowHeights[r] = n;
    const ROWCOL nCols = std::min(nColCount, pData->GetColCount() + 1);
    for (ROWCOL i = 0; i < nCount; ++i) {
        if (const CGXStyle* p = StyleAt(pRowStyles, i))
            pData->StoreStyle(nRow + i, 0, p, gxCopy, gxBaseStyleType);
        for (ROWCOL c = 0; c < nCols; ++c)
            if (const CGXStyle* p = StyleAt(pCellStyles, static_cast<size_t>(i) * nColCount + c))
                pData->StoreStyle(nRow + i, c, p, gxCopy);
    }
    ShiftRangeLists(&CGXRangeList::ShiftForInsertedRows, nRow, nCount);
    m_param.m_nFrozenRows = FrozenAfterInsert(m_param.m_nFrozenRows, nRow, nCount);
    if (Recording(nMode))
        Record(new CGXRemoveRowsCmd(nRow, nRow + nCount - 1), nMode);
    return TRUE;
}

BOOL CGXGridModel::RemoveRows(ROWCOL nFrom, ROWCOL nTo, int nMode)
{
    CGXData* pData = m_param.GetData();
    if (pData == nullptr || nFrom == 0 || nFrom > pData->GetRowCount() || nTo < nFrom)
        return FALSE;
    nTo = std::min(nTo, pData->GetRowCount());
    const ROWCOL nCount = nTo - nFrom + 1;
    std::unique_ptr<CGXInsertRowsCmd> undo;
    if (Recording(nMode)) {
        const ROWCOL nColCount = pData->GetColCount() + 1;
        undo = std::make_unique<CGXInsertRowsCmd>(nFrom, nCount, nColCount);
        for (ROWCOL r = nFrom; r <= nTo; ++r) {
            if (LONG n = 0; m_param.m_RowHeights.Lookup(r, n))
                undo->m_Heights[r] = n;
            undo->m_RowStyles.Add(CopyOf(pData->LookupStyle(r, 0, gxBaseStyleType)));
            for (ROWCOL c = 0; c < nColCount; ++c)
                undo->m_CellStyles.Add(CopyOf(pData->LookupStyle(r, c)));
        }
    }
    if (!pData->RemoveRows(nFrom, nTo))
        return FALSE;
    m_param.m_RowHeights.RemoveKeys(nFrom, nTo);
    ShiftRangeLists(&CGXRangeList::ShiftForRemovedRows, nFrom, nTo, pData->GetRowCount());
    m_param.m_nFrozenRows = FrozenAfterRemove(m_param.m_nFrozenRows, nFrom, nTo);
    if (undo)
        Record(undo.release(), nMode);
    return TRUE;
}

BOOL CGXGridModel::InsertCols(ROWCOL nCol, ROWCOL nCount, const CGXCollMapDWordToLong* pWidths,
                              const CObArray* pCellStyles, const CObArray* pColStyles, ROWCOL nRowCount, int nMode)
{
    CGXData* pData = m_param.GetData();
    if (pData == nullptr || nCount == 0 || !pData->InsertCols(nCol, nCount))
        return FALSE;
    m_param.m_ColWidths.InsertKeys(nCol, nCount);
    if (pWidths != nullptr)
        for (ROWCOL c = nCol; c < nCol + nCount; ++c)
            if (LONG n = 0; pWidths->Lookup(c, n))
                m_param.m_ColWidths[c] = n;
    const ROWCOL nRows = std::min(nRowCount, pData->GetRowCount() + 1);
    for (ROWCOL i = 0; i < nCount; ++i) {
        if (const CGXStyle* p = StyleAt(pColStyles, i))
            pData->StoreStyle(0, nCol + i, p, gxCopy, gxBaseStyleType);
        for (ROWCOL r = 0; r < nRows; ++r)
            if (const CGXStyle* p = StyleAt(pCellStyles, static_cast<size_t>(i) * nRowCount + r))
                pData->StoreStyle(r, nCol + i, p, gxCopy);
    }
    ShiftRangeLists(&CGXRangeList::ShiftForInsertedCols, nCol, nCount);
    m_param.m_nFrozenCols = FrozenAfterInsert(m_param.m_nFrozenCols, nCol, nCount);
    if (Recording(nMode))
        Record(new CGXRemoveColsCmd(nCol, nCol + nCount - 1), nMode);
    return TRUE;
}

BOOL CGXGridModel::RemoveCols(ROWCOL nFrom, ROWCOL nTo, int nMode)
{
    CGXData* pData = m_param.GetData();
    if (pData == nullptr || nFrom == 0 || nFrom > pData->GetColCount() || nTo < nFrom)
        return FALSE;
    nTo = std::min(nTo, pData->GetColCount());
    const ROWCOL nCount = nTo - nFrom + 1;
    std::unique_ptr<CGXInsertColsCmd> undo;
    if (Recording(nMode)) {
        const ROWCOL nRowCount = pData->GetRowCount() + 1;
        undo = std::make_unique<CGXInsertColsCmd>(nFrom, nCount, nRowCount);
        for (ROWCOL c = nFrom; c <= nTo; ++c) {
            if (LONG n = 0; m_param.m_ColWidths.Lookup(c, n))
                undo->m_Widths[c] = n;
            undo->m_ColStyles.Add(CopyOf(pData->LookupStyle(0, c, gxBaseStyleType)));
            for (ROWCOL r = 0; r < nRowCount; ++r)
                undo->m_CellStyles.Add(CopyOf(pData->LookupStyle(r, c)));
        }
    }
    if (!pData->RemoveCols(nFrom, nTo))
        return FALSE;
    m_param.m_ColWidths.RemoveKeys(nFrom, nTo);
    ShiftRangeLists(&CGXRangeList::ShiftForRemovedCols, nFrom, nTo, pData->GetColCount());
    m_param.m_nFrozenCols = FrozenAfterRemove(m_param.m_nFrozenCols, nFrom, nTo);
    if (undo)
        Record(undo.release(), nMode);
    return TRUE;
}

BOOL CGXGridModel::MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, int nMode)
{
    CGXData* pData = m_param.GetData();
    if (pData == nullptr || !pData->MoveRows(nFrom, nTo, nDest))
        return FALSE;
    m_param.m_RowHeights.MoveKeys(nFrom, nTo, nDest);
    ShiftRangeLists(&CGXRangeList::ShiftForMovedRows, nFrom, nTo, nDest, pData->GetRowCount());
    if (Recording(nMode))
        Record(new CGXMoveRowsCmd(nDest, nDest + (nTo - nFrom), nFrom), nMode);
    return TRUE;
}

BOOL CGXGridModel::MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, int nMode)
{
    CGXData* pData = m_param.GetData();
    if (pData == nullptr || !pData->MoveCols(nFrom, nTo, nDest))
        return FALSE;
    m_param.m_ColWidths.MoveKeys(nFrom, nTo, nDest);
    ShiftRangeLists(&CGXRangeList::ShiftForMovedCols, nFrom, nTo, nDest, pData->GetColCount());
    if (Recording(nMode))
        Record(new CGXMoveColsCmd(nDest, nDest + (nTo - nFrom), nFrom), nMode);
    return TRUE;
}

namespace {
// The order that undoes a reordering: where each old row went.
void InverseOrder(const CDWordArray& order, DWORD nFirst, CDWordArray& inverse)
{
    inverse.SetSize(order.GetSize());
    for (INT_PTR i = 0; i < order.GetSize(); ++i)
        inverse[order[i] - nFirst] = nFirst + static_cast<DWORD>(i);
}
} // namespace

BOOL CGXGridModel::MoveDataRows(const CGXRange& range, const CDWordArray& order, int nMode)
{
    CGXData* pData = m_param.GetData();
    if (pData == nullptr || !pData->MoveDataRows(range, order))
        return FALSE;
    if (Recording(nMode))
    {
        CDWordArray inverse;
        InverseOrder(order, range.top, inverse);
        Record(new CGXMoveDataRowsCmd(range, inverse), nMode);
    }
    return TRUE;
}

BOOL CGXGridModel::MoveDataCols(const CGXRange& range, const CDWordArray& order, int nMode)
{
    CGXData* pData = m_param.GetData();
    if (pData == nullptr || !pData->MoveDataCols(range, order))
        return FALSE;
    if (Recording(nMode))
    {
        CDWordArray inverse;
        InverseOrder(order, range.left, inverse);
        Record(new CGXMoveDataColsCmd(range, inverse), nMode);
    }
    return TRUE;
}

BOOL CGXGridModel::MoveCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol, int nMode)
{
    CGXData* pData = m_param.GetData();
    if (pData == nullptr)
        return FALSE;
    std::unique_ptr<CGXCommand> undo(Recording(nMode) ? GXCreateMoveCellsUndo(*pData, range, nDestRow, nDestCol) : nullptr);
    if (!pData->MoveCells(range, nDestRow, nDestCol))
        return FALSE;
    if (undo)
        Record(undo.release(), nMode);
    return TRUE;
}

BOOL CGXGridModel::SetFrozenRows(ROWCOL nFrozen, ROWCOL nHeader, int nMode)
{
    if (nHeader > nFrozen)
        return FALSE;
    if (Recording(nMode))
        Record(new CGXSetFrozenRowsCmd(m_param.m_nFrozenRows, m_param.m_nHeaderRows), nMode);
    m_param.m_nFrozenRows = nFrozen;
    m_param.m_nHeaderRows = nHeader;
    return TRUE;
}

BOOL CGXGridModel::SetFrozenCols(ROWCOL nFrozen, ROWCOL nHeader, int nMode)
{
    if (nHeader > nFrozen)
        return FALSE;
    if (Recording(nMode))
        Record(new CGXSetFrozenColsCmd(m_param.m_nFrozenCols, m_param.m_nHeaderCols), nMode);
    m_param.m_nFrozenCols = nFrozen;
    m_param.m_nHeaderCols = nHeader;
    return TRUE;
}

BOOL CGXGridModel::ApplyStyleToRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType,
                                     const CObArray* pCellStyles, int nMode)
{
    CGXData* pData = m_param.GetData();
    if (pData == nullptr || !range.IsValid())
        return FALSE;
    // Bands and the whole table address base styles: the rows' (column 0), the columns' (row 0)
    // or the table's (0, 0).
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
    if (cells.bottom > pData->GetRowCount() || cells.right > pData->GetColCount())
        return FALSE;
    std::unique_ptr<CGXSetStyleRangeCmd> undo;
    // Old styles are kept for blocks of fewer than 32768 rows and columns; a larger change goes
    // on without undo only when ConfirmLargeUndo agrees.
    const bool bUndoFits = cells.GetHeight() < 0x8000 && cells.GetWidth() < 0x8000;
    if (Recording(nMode) && !bUndoFits) {
        if (!ConfirmLargeUndo())
            return FALSE;
        EndHistory();
    }
    if (Recording(nMode) && bUndoFits) {
        undo = std::make_unique<CGXSetStyleRangeCmd>(range, nType);
        for (ROWCOL r = cells.top; r <= cells.bottom; ++r)
            for (ROWCOL c = cells.left; c <= cells.right; ++c)
                undo->m_Styles.Add(CopyOf(pData->LookupStyle(r, c, nType)));
        undo->m_nRow = cells.top;
        undo->m_nCol = cells.left;
    }
    BOOL bChanged = FALSE;
    if (pCellStyles == nullptr) {
        bChanged = pData->StoreStyleRange(cells, pStyle, pStyle != nullptr ? nModify : gxRemove, nType);
    } else {
        // Counts never exceed 0xFFFFFFFE, so these loops cannot wrap.
        size_t i = 0;
        for (ROWCOL r = cells.top; r <= cells.bottom; ++r)
            for (ROWCOL c = cells.left; c <= cells.right; ++c, ++i) {
                const CGXStyle* p = StyleAt(pCellStyles, i);
                bChanged |= pData->StoreStyle(r, c, p, p != nullptr ? nModify : gxRemove, nType);
            }
    }
    if (bChanged && undo)
        Record(undo.release(), nMode);
    return bChanged;
}

BOOL CGXGridModel::ChangeStylesMap(const CGXStylesMap& stylesMap, int nMode)
{
    if (m_param.GetStylesMap() == nullptr)
        m_param.SetStylesMap(new CGXStylesMap);
    if (Recording(nMode))
        Record(new CGXChangeStylesMapCmd(*m_param.GetStylesMap()), nMode);
    *m_param.GetStylesMap() = stylesMap;
    return TRUE;
}

BOOL CGXGridModel::ChangeProperties(const CGXProperties& properties, int nMode)
{
    if (m_param.GetProperties() == nullptr)
        m_param.SetProperties(new CGXProperties);
    if (Recording(nMode))
        Record(new CGXChangePropertiesCmd(*m_param.GetProperties()), nMode);
    *m_param.GetProperties() = properties;
    return TRUE;
}

BOOL CGXGridModel::ChangeBaseStyle(WORD nID, const CGXStyle& style, int nModify, int nMode)
{
    CGXStylesMap* pMap = m_param.GetStylesMap();
    CGXStyle* pBase = pMap != nullptr ? pMap->LookupStyle(nID) : nullptr;
    if (pBase == nullptr)
        return FALSE;
    if (Recording(nMode))
        Record(new CGXChangeBaseStyleCmd(nID, *pBase, pMap->GetStyleName(nID)), nMode);
    pBase->ChangeStyle(style, nModify);
    return TRUE;
}

BOOL CGXGridModel::SetRowCount(ROWCOL nRows, int nMode)
{
    CGXData* pData = m_param.GetData();
    if (pData == nullptr)
        return FALSE;
    const ROWCOL nOld = pData->GetRowCount();
    if (nRows > nOld)
        return InsertRows(nOld + 1, nRows - nOld, nullptr, nullptr, nullptr, 0, nMode);
    if (nRows < nOld)
        return RemoveRows(nRows + 1, nOld, nMode);
    return TRUE;
}

BOOL CGXGridModel::SetColCount(ROWCOL nCols, int nMode)
{
    CGXData* pData = m_param.GetData();
    if (pData == nullptr)
        return FALSE;
    const ROWCOL nOld = pData->GetColCount();
    if (nCols > nOld)
        return InsertCols(nOld + 1, nCols - nOld, nullptr, nullptr, nullptr, 0, nMode);
    if (nCols < nOld)
        return RemoveCols(nCols + 1, nOld, nMode);
    return TRUE;
}
