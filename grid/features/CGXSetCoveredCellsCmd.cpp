#include "grid/features/CGXSetCoveredCellsCmd.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXSizeCommands.h"

CGXSetCoveredCellsCmd::CGXSetCoveredCellsCmd(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
    : m_nTop(nTop), m_nLeft(nLeft), m_nBottom(nBottom), m_nRight(nRight)
{
    m_nRow = nTop;
    m_nCol = nLeft;
}

BOOL CGXSetCoveredCellsCmd::Execute(IGXCommandTarget& target, int nMode)
{
    auto* pEngine = dynamic_cast<IGXEngineCommandTarget*>(&target);
    if (pEngine == nullptr)
        return FALSE;
    return pEngine->GetEngine().SetCoveredCellsRowCol(m_nTop, m_nLeft, m_nBottom, m_nRight, GX_UPDATENOW, nMode);
}
