// CGXSetCoveredCellsCmd: the undo step of covering cells: covers again from the top-left cell
// to the extent the covering had before (a one-cell extent removes the covering).
#pragma once

#include "grid/data/CGXCommand.h"

class CGXSetCoveredCellsCmd : public CGXCommand {
public:
    CGXSetCoveredCellsCmd(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight);
    BOOL Execute(IGXCommandTarget& target, int nMode) override;

    ROWCOL m_nTop, m_nLeft, m_nBottom, m_nRight;
};
