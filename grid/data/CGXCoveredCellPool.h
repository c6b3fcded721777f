// CGXCoveredCellPool: the fast lookup from a cell to the covered range that holds it, a table
// by row and column of positions in the parameter object's covered-range list.
#pragma once

#include "grid/data/CGXRangeList.h"
#include "platform/core/CObject.h"
#include "platform/core/CPtrArray.h"

class CGXCoveredCellPool : public CObject {
    DECLARE_DYNCREATE(CGXCoveredCellPool)
public:
    CGXCoveredCellPool() = default;
    ~CGXCoveredCellPool() override;
    CGXCoveredCellPool(const CGXCoveredCellPool&) = delete;
    CGXCoveredCellPool& operator=(const CGXCoveredCellPool&) = delete;

    // The list position of the range covering the cell, or null.
    virtual POSITION Lookup(DWORD nRow, DWORD nCol) const;
    // With a position, records the rectangle under it; a cell already held by another range
    // stops the add at that row (FALSE). With null, removes the range starting at each row's
    // left column. TRUE when anything changed.
    virtual BOOL SetRange(DWORD nTop, DWORD nLeft, DWORD nBottom, DWORD nRight, POSITION pos);

    void RemoveAll();
    // Empties the pool and records every range of the list under its own position.
    void Rebuild(const CGXRangeList& list);

private:
    CPtrArray m_Rows; // owned CPtrArray per row, null for a row nothing covers
};
