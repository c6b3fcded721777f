// CGXGridFreezeMenuHelperImp: the Freeze and Unfreeze commands for columns and rows. Freezing
// moves the one selected block of whole columns (rows) to the front and freezes it; unfreezing
// puts it back where it came from, but only while the frozen block is still the one this
// feature froze, so that columns the user never froze stay where they are.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXGridFreezeMenuHelperImp : public CGXAbstractGridFreezeMenuHelperImp {
public:
    static void Install(CGXGridCore* pGrid);

    BOOL CanFreezeCols(CGXGridCore* pGrid) override;
    BOOL CanUnfreezeCols(CGXGridCore* pGrid) override;
    void FreezeCols(CGXGridCore* pGrid) override;
    void UnfreezeCols(CGXGridCore* pGrid) override;
    BOOL CanFreezeRows(CGXGridCore* pGrid) override;
    BOOL CanUnfreezeRows(CGXGridCore* pGrid) override;
    void FreezeRows(CGXGridCore* pGrid) override;
    void UnfreezeRows(CGXGridCore* pGrid) override;

private:
    BOOL CanFreeze(CGXGridCore* pGrid, BOOL bCols);
    BOOL CanUnfreeze(CGXGridCore* pGrid, BOOL bCols);
    void Freeze(CGXGridCore* pGrid, BOOL bCols);
    void Unfreeze(CGXGridCore* pGrid, BOOL bCols);
};
