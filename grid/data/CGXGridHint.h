// CGXGridHint: the update hint that a grid broadcasts to the other views of its document, so
// that views sharing one parameter object redraw, move their current cell or scroll in step.
#pragma once

#include "grid/data/CGXRange.h"
#include "platform/core/CObject.h"

// Hint ids, one per replayed update.
enum GXHintId : DWORD {
    gxHintRedraw = 1,
    gxHintRedrawRange = 2,
    gxHintUpdateRowCount = 3,
    gxHintUpdateColCount = 4,
    gxHintUpdateChangedRowHeights = 5,
    gxHintUpdateChangedColWidths = 6,
    gxHintUpdateInsertCols = 7,
    gxHintUpdateInsertRows = 8,
    gxHintUpdateRemoveCols = 9,
    gxHintUpdateRemoveRows = 10,
    gxHintUpdateMoveCols = 11,
    gxHintUpdateMoveRows = 12,
    gxHintUpdateSelectRange = 13,
    gxHintUpdateClearSelection = 14,
    gxHintUpdateFrozenRows = 15,
    gxHintUpdateFrozenCols = 16,
    gxHintUpdateStyleRange = 17,
    gxHintUpdateCoveredCells = 18,
    gxHintUpdateZoom = 19,
    gxHintSetZoom = 20,
    gxHintRefreshCurrentCell = 21,
    gxHintUpdateProperty = 22,
    gxHintPrepareChangeSelection = 23,
    gxHintSyncCurrentCell = 24,
    gxHintSetTopRow = 25,
    gxHintSetLeftCol = 26,
    gxHintSetCurrentCell = 27,
    gxHintRedrawFloatSpan = 28,
    gxHintRedrawMergeSpan = 29,
    gxHintShowSelectionFrame = 30,
    gxHintSortRows = 31,
    gxHintSortCols = 32,
    gxHintUpdatePropertiesChange = 33,
    gxHintUpdateStylesMapChange = 34,
    gxHintUpdateBaseStyleChange = 35,
    gxHintRefreshDataObject = 36,
};

// The grid id that reaches every grid of a document.
inline constexpr int GX_ALL_GRIDS = -1;

class CGXGridHint : public CObject {
    DECLARE_DYNAMIC(CGXGridHint)
public:
    CGXGridHint(DWORD nHintId, int nGridId);

    // Whether a grid with this id is addressed: the sender's id, or every grid.
    BOOL IsFor(int nGridId) const { return m_nGridId == GX_ALL_GRIDS || m_nGridId == nGridId; }
    // A received object is a grid hint only when its class says so.
    static const CGXGridHint* FromObject(const CObject* pHint);

    DWORD m_id;
    CGXRange m_range;
    // Value 1 carries a style for style-range hints, so both values are pointer-sized.
    DWORD_PTR m_vValue1 = 0;
    DWORD_PTR m_vValue2 = 0;
    DWORD m_nRow1 = 0, m_nRow2 = 0, m_nRow3 = 0;
    DWORD m_nCol1 = 0, m_nCol2 = 0, m_nCol3 = 0;
    DWORD m_nNumber1 = 0, m_nNumber2 = 0;
    // Heights or widths, a pane, a style or a range list, by hint.
    void* m_pData = nullptr;
    DWORD m_nFlags = 0;
    int m_nGridId;
};
