#include "grid/core/CGXSizeCommands.h"

#include "grid/core/CGXGridCore.h"

namespace {
CGXGridCore* EngineOf(IGXCommandTarget& target)
{
    auto* pEngine = dynamic_cast<IGXEngineCommandTarget*>(&target);
    return pEngine != nullptr ? &pEngine->GetEngine() : nullptr;
}
} // namespace

CGXSetRowHeightCmd::CGXSetRowHeightCmd(ROWCOL nFrom, ROWCOL nTo, std::vector<int> oldHeights)
    : m_nFrom(nFrom), m_nTo(nTo), m_oldHeights(std::move(oldHeights))
{
    m_nRow = nFrom;
}

BOOL CGXSetRowHeightCmd::Execute(IGXCommandTarget& target, int nMode)
{
    CGXGridCore* pGrid = EngineOf(target);
    // A command that lost its sizes restores nothing rather than reading past them.
    if (pGrid == nullptr || m_oldHeights.size() != static_cast<size_t>(m_nTo - m_nFrom) + 1)
        return FALSE;
    return pGrid->SetRowHeight(m_nFrom, m_nTo, 0, m_oldHeights.data(), GX_UPDATENOW, nMode);
}

CGXSetColWidthCmd::CGXSetColWidthCmd(ROWCOL nFrom, ROWCOL nTo, std::vector<int> oldWidths)
    : m_nFrom(nFrom), m_nTo(nTo), m_oldWidths(std::move(oldWidths))
{
    m_nCol = nFrom;
}

BOOL CGXSetColWidthCmd::Execute(IGXCommandTarget& target, int nMode)
{
    CGXGridCore* pGrid = EngineOf(target);
    if (pGrid == nullptr || m_oldWidths.size() != static_cast<size_t>(m_nTo - m_nFrom) + 1)
        return FALSE;
    return pGrid->SetColWidth(m_nFrom, m_nTo, 0, m_oldWidths.data(), GX_UPDATENOW, nMode);
}

BOOL CGXSetDefaultRowHeightCmd::Execute(IGXCommandTarget& target, int nMode)
{
    CGXGridCore* pGrid = EngineOf(target);
    return pGrid != nullptr && pGrid->SetDefaultRowHeight(m_nOld, GX_UPDATENOW, nMode);
}

BOOL CGXSetDefaultColWidthCmd::Execute(IGXCommandTarget& target, int nMode)
{
    CGXGridCore* pGrid = EngineOf(target);
    return pGrid != nullptr && pGrid->SetDefaultColWidth(m_nOld, GX_UPDATENOW, nMode);
}

CGXHideRowsCmd::CGXHideRowsCmd(ROWCOL nFrom, ROWCOL nTo, CDWordArray& oldStates) : m_nFrom(nFrom), m_nTo(nTo)
{
    m_oldStates.Copy(oldStates);
    m_nRow = nFrom;
}

BOOL CGXHideRowsCmd::Execute(IGXCommandTarget& target, int nMode)
{
    CGXGridCore* pGrid = EngineOf(target);
    if (pGrid == nullptr || static_cast<size_t>(m_oldStates.GetSize()) != static_cast<size_t>(m_nTo - m_nFrom) + 1)
        return FALSE;
    return pGrid->HideRows(m_nFrom, m_nTo, FALSE, &m_oldStates, GX_UPDATENOW, nMode);
}

CGXHideColsCmd::CGXHideColsCmd(ROWCOL nFrom, ROWCOL nTo, CDWordArray& oldStates) : m_nFrom(nFrom), m_nTo(nTo)
{
    m_oldStates.Copy(oldStates);
    m_nCol = nFrom;
}

BOOL CGXHideColsCmd::Execute(IGXCommandTarget& target, int nMode)
{
    CGXGridCore* pGrid = EngineOf(target);
    if (pGrid == nullptr || static_cast<size_t>(m_oldStates.GetSize()) != static_cast<size_t>(m_nTo - m_nFrom) + 1)
        return FALSE;
    return pGrid->HideCols(m_nFrom, m_nTo, FALSE, &m_oldStates, GX_UPDATENOW, nMode);
}
