#include "grid/core/CGXGridCoreTarget.h"

BOOL CGXGridCore::CommandTarget::InsertRows(ROWCOL nRow, ROWCOL nCount, const CGXCollMapDWordToLong* pHeights,
                                            const CObArray* pCellStyles, const CObArray* pRowStyles, ROWCOL nColCount, int nMode)
{
    if (!CGXGridModel::InsertRows(nRow, nCount, pHeights, pCellStyles, pRowStyles, nColCount, nMode))
        return FALSE;
    m_grid.UpdateInsertRows(nRow, nCount, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::RemoveRows(ROWCOL nFrom, ROWCOL nTo, int nMode)
{
    if (!CGXGridModel::RemoveRows(nFrom, nTo, nMode))
        return FALSE;
    m_grid.UpdateRemoveRows(nFrom, nTo, nullptr, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::InsertCols(ROWCOL nCol, ROWCOL nCount, const CGXCollMapDWordToLong* pWidths,
                                            const CObArray* pCellStyles, const CObArray* pColStyles, ROWCOL nRowCount, int nMode)
{
    if (!CGXGridModel::InsertCols(nCol, nCount, pWidths, pCellStyles, pColStyles, nRowCount, nMode))
        return FALSE;
    m_grid.UpdateInsertCols(nCol, nCount, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::RemoveCols(ROWCOL nFrom, ROWCOL nTo, int nMode)
{
    if (!CGXGridModel::RemoveCols(nFrom, nTo, nMode))
        return FALSE;
    m_grid.UpdateRemoveCols(nFrom, nTo, nullptr, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, int nMode)
{
    if (!CGXGridModel::MoveRows(nFrom, nTo, nDest, nMode))
        return FALSE;
    m_grid.UpdateMoveRows(nFrom, nTo, nDest, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest, int nMode)
{
    if (!CGXGridModel::MoveCols(nFrom, nTo, nDest, nMode))
        return FALSE;
    m_grid.UpdateMoveCols(nFrom, nTo, nDest, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::MoveDataRows(const CGXRange& range, const CDWordArray& order, int nMode)
{
    if (!CGXGridModel::MoveDataRows(range, order, nMode))
        return FALSE;
    m_grid.UpdateMoveDataRows(range, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::MoveDataCols(const CGXRange& range, const CDWordArray& order, int nMode)
{
    if (!CGXGridModel::MoveDataCols(range, order, nMode))
        return FALSE;
    m_grid.UpdateMoveDataCols(range, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::SetFrozenRows(ROWCOL nFrozen, ROWCOL nHeader, int nMode)
{
    const ROWCOL nOldFrozen = m_grid.GetFrozenRows(), nOldHeader = m_grid.GetHeaderRows();
    if (!CGXGridModel::SetFrozenRows(nFrozen, nHeader, nMode))
        return FALSE;
    m_grid.UpdateFrozenRows(nOldFrozen, nOldHeader, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::SetFrozenCols(ROWCOL nFrozen, ROWCOL nHeader, int nMode)
{
    const ROWCOL nOldFrozen = m_grid.GetFrozenCols(), nOldHeader = m_grid.GetHeaderCols();
    if (!CGXGridModel::SetFrozenCols(nFrozen, nHeader, nMode))
        return FALSE;
    m_grid.UpdateFrozenCols(nOldFrozen, nOldHeader, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::ApplyStyleToRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType,
                                                   const CObArray* pCellStyles, int nMode)
{
    if (!CGXGridModel::ApplyStyleToRange(range, pStyle, nModify, nType, pCellStyles, nMode))
        return FALSE;
    m_grid.UpdateStyleRange(range, pCellStyles == nullptr ? pStyle : nullptr, nModify, nType, m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::ChangeStylesMap(const CGXStylesMap& stylesMap, int nMode)
{
    if (!CGXGridModel::ChangeStylesMap(stylesMap, nMode))
        return FALSE;
    m_grid.UpdateStylesMapChange(m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::ChangeProperties(const CGXProperties& properties, int nMode)
{
    if (!CGXGridModel::ChangeProperties(properties, nMode))
        return FALSE;
    m_grid.UpdatePropertiesChange(m_nFlags, TRUE);
    return TRUE;
}

BOOL CGXGridCore::CommandTarget::ChangeBaseStyle(WORD nID, const CGXStyle& style, int nModify, int nMode)
{
    if (!CGXGridModel::ChangeBaseStyle(nID, style, nModify, nMode))
        return FALSE;
    m_grid.UpdateBaseStyleChange(nID, m_nFlags, TRUE);
    return TRUE;
}

void CGXGridCore::CommandTarget::ShowCommandPosition(ROWCOL nRow, ROWCOL nCol, BOOL bSetCurrent)
{
    m_grid.ShowCommandPosition(nRow, nCol, bSetCurrent);
}
