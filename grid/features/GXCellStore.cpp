#include "grid/features/GXCellStore.h"

#include "grid/data/CGXCommand.h"
#include "grid/data/CGXData.h"
#include "grid/data/IGXCommandTarget.h"

#include <memory>

BOOL GXStoreCellTextWithUndo(CGXGridCore& grid, ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pOldStyle)
{
    std::unique_ptr<CGXSetStyleRangeCmd> undo;
    CGXData* pData = grid.GetData();
    if (pData != nullptr && grid.RecordingUndo(gxDo)) {
        undo = std::make_unique<CGXSetStyleRangeCmd>(CGXRange(nRow, nCol, nRow, nCol), 0);
        const CGXStyle* pOld = pData->LookupStyle(nRow, nCol, 0);
        undo->m_Styles.Add(pOld != nullptr ? new CGXStyle(*pOld) : nullptr);
        undo->m_nRow = nRow;
        undo->m_nCol = nCol;
    }
    if (!grid.SetCellTextThroughControl(nRow, nCol, sText, nFlags, pOldStyle)) {
        // The store reports no change when the cell held this text already: no refusal, and
        // nothing to undo.
        const CGXStyle* pStored = pData != nullptr ? pData->LookupStyle(nRow, nCol, 0) : nullptr;
        const CString sStored = pStored != nullptr && pStored->GetInclude(GX_INCL_VALUE) ? pStored->GetValue() : CString();
        return sStored == sText && !grid.IsReadOnly();
    }
    if (undo != nullptr)
        grid.AddCommand(undo.release(), gxDo);
    return TRUE;
}
