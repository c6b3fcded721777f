// CGXGridParam: a grid's shared data object, one per document and shared by all its views:
// the owned properties, styles map and cell store, the selection and span lists, the stored
// sizes, frozen and header counts, the undo lists and the grid's switches.
#pragma once

#include "grid/data/CGXCollMapDWordToLong.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXProperties.h"
#include "grid/data/CGXRangeList.h"
#include "grid/data/CGXStylesMap.h"
#include "platform/core/CObject.h"
#include "platform/core/CPtrList.h"

class CArchive;
class CGXCommand;

// What the parameter object holds of objects that belong to optional parts of the grid (the
// print device, span pools): it deletes them through their virtual destructors.
using CGXOwnedObject = CObject;

class CGXGridParam : public CObject {
    DECLARE_DYNCREATE(CGXGridParam)
public:
    CGXGridParam();
    ~CGXGridParam() override;
    // A number no other parameter object of this process ever had, so that a mark left on the
    // clipboard cannot be taken for a later object at the same address.
    unsigned long long GetSerial() const { return m_nSerial; }
    CGXGridParam(const CGXGridParam&) = delete;
    CGXGridParam& operator=(const CGXGridParam&) = delete;

    // Attach setters. bMustDelete makes the parameter object the owner. Attaching the object
    // already attached changes only the ownership flag; attaching another deletes an owned one.
    void SetProperties(CGXProperties* pProperties, BOOL bMustDelete = TRUE);
    void SetStylesMap(CGXStylesMap* pStylesMap, BOOL bMustDelete = TRUE);
    void SetData(CGXData* pData, BOOL bMustDelete = TRUE);
    void SetPrintDevice(CGXOwnedObject* pPrintDevice, BOOL bMustDelete = TRUE);
    CGXProperties* GetProperties() const { return m_pProperties; }
    CGXStylesMap* GetStylesMap() const { return m_pStylesMap; }
    CGXData* GetData() const { return m_pData; }
    CGXOwnedObject* GetPrintDevice() const { return m_pPrintDevice; }
    BOOL OwnsProperties() const { return m_bOwnProperties; }
    BOOL OwnsStylesMap() const { return m_bOwnStylesMap; }
    BOOL OwnsData() const { return m_bOwnData; }
    BOOL OwnsPrintDevice() const { return m_bOwnPrintDevice; }

    // The span pools belong to the covered, floating and merged cells features; the parameter
    // object keeps them and deletes them (through their virtual destructors) when replaced or
    // when it goes.
    enum GXPool : int {
        gxCoveredCellPool,
        gxFloatSpanPool,
        gxFloatDelayedPool,
        gxPrintFloatSpanPool,
        gxPrintFloatDelayedPool,
        gxMergeSpanPoolRows, // spans within rows
        gxMergeSpanPoolCols, // spans within columns
        gxMergeDelayedPool,
        gxPoolCount,
    };
    void SetPool(GXPool nPool, CGXOwnedObject* pPool);
    CGXOwnedObject* GetPool(GXPool nPool) const;
    void SetCoveredCellPool(CGXOwnedObject* pPool) { SetPool(gxCoveredCellPool, pPool); }
    CGXOwnedObject* GetCoveredCellPool() const { return GetPool(gxCoveredCellPool); }

    // The floating and merged cells' part of the parameter object's archive (schema 6 and up):
    // WORD float mode, the floating delayed-range and span pools, WORD merge mode, the merge
    // delayed-range pool, the horizontal and vertical merge span pools (each pool as an object
    // or null), then a WORD kept for later use. Loading replaces the pools only when the whole
    // part was read; below schema 7 the loaded spans are dropped and the table is delayed to
    // be worked out again. Defined beside the pools, in CGXGridParamSpans.cpp.
    void SerializeSpanPools(CArchive& ar, UINT nSchema);

    // Undo switch: commands are recorded only while it is on.
    void EnableUndo(BOOL bEnable) { m_bUndoEnabled = bEnable; }
    BOOL IsEnableUndo() const { return m_bUndoEnabled; }

    // Composes the style a cell is shown with from the model alone: the cell's own style, the
    // row's, the column's and the table's base styles, the base-style chain, the header base
    // styles, generated header texts and, with bIncludeStandard, the standard style. With
    // bValueOnly a cell with a value of its own keeps it and nothing is added.
    void ComposeCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bIncludeStandard, BOOL bValueOnly = FALSE) const;
    // Column letters: "A" for 1, "Z" for 26, "AA" for 27, at most ten letters.
    static CString GetColumnLetters(ROWCOL nCol);

    // The undo and redo lists; a new command empties the redo list first.
    CObList& GetUndoList() { return m_UndoList; }
    CObList& GetRedoList() { return m_RedoList; }
    void EmptyRedoList();
    void SetDragSelectedCols(BOOL bDrag) { m_bDragSelectedCols = bDrag; }
    void SetRowResizeFlags(WORD nFlags) { m_wAllowTrackRowHeight = nFlags; }
    void SetRowSelectionMode(WORD nMode) { m_wRowSelectionMode = nMode; }
    // Whether the read-only switch is honoured (the grid's private message 0x790 answers it).
    BOOL GetReadOnlyLock() const { return m_bLockReadOnly; }
    BOOL TestSelectionFlags(WORD nFlags) const { return (m_wAllowSelection & nFlags) != 0; }
    BOOL TestRowSelectionMode(WORD nMode) const { return (m_wRowSelectionMode & nMode) != 0; }
    BOOL TestRowResizeFlags(WORD nFlags) const { return (m_wAllowTrackRowHeight & nFlags) != 0; }
    BOOL TestColResizeFlags(WORD nFlags) const { return (m_wAllowTrackColWidth & nFlags) != 0; }
    BOOL GetDragSelectedRows() const { return m_bDragSelectedRows; }
    BOOL GetDragSelectedCols() const { return m_bDragSelectedCols; }

    // Current cell and the one Initialize restores.
    ROWCOL m_nCurrentRow = GX_INVALID;
    ROWCOL m_nCurrentCol = GX_INVALID;
    BOOL m_bRememberCurrentCell = FALSE;
    ROWCOL m_nRememberedRow = GX_INVALID;
    ROWCOL m_nRememberedCol = GX_INVALID;

    // Range lists.
    CGXRangeList m_SelRects;
    // What the last copy or cut took, for a direct paste.
    CGXRangeList m_CopiedRanges;
    CGXRangeList m_CoveredCellsList;
    CGXRangeList m_MarkedRanges;
    CGXRangeList m_CopyRangeList;
    BOOL m_bMarkRanges = FALSE;

    // Stored sizes (relative to the standard font) and the defaults.
    CGXCollMapDWordToLong m_RowHeights;
    CGXCollMapDWordToLong m_ColWidths;
    LONG m_nDefaultRowHeight = 0;
    LONG m_nDefaultColWidth = 0;

    // Frozen and header counts.
    ROWCOL m_nFrozenRows = 0;
    ROWCOL m_nFrozenCols = 0;
    ROWCOL m_nHeaderRows = 0;
    ROWCOL m_nHeaderCols = 0;
    // The last freeze of columns and of rows: frozen count, header count and a flag.
    ROWCOL m_nLastFrozenCols[3] = {0, 0, 0};
    ROWCOL m_nLastFrozenRows[3] = {0, 0, 0};

    // Undo: lists of CGXCommand objects (the newest at the head), the limit and the open
    // transaction depth; the factory works on them.
    CObList m_UndoList;
    CObList m_RedoList;
    size_t m_nMaxUndoCommands = 100;
    int m_nTransactionLevel = 0;
    // The open transaction blocks, innermost at the head.
    CObList m_TransactionBlocks;

    // Update and painting locks.
    BOOL m_bLockUpdate = FALSE;
    BOOL m_bLockPaint = FALSE;
    BOOL m_bNoRedraw = FALSE;
    BOOL m_bRedrawPending = FALSE;
    BOOL m_bNoScrollStripRepaint = FALSE;

    // Switches.
    BOOL m_bSelectionFollowsCurrentCell = FALSE;
    BOOL m_bHintOnMove = TRUE;
    BOOL m_bRefreshOnly = FALSE;
    BOOL m_bNoCurrentCellFrame = FALSE;
    BOOL m_bFillHandle = FALSE;
    BOOL m_bThumbTrack = TRUE;
    BOOL m_bSmartResize = TRUE;
    BOOL m_bActivateOnClick = TRUE;
    BOOL m_bShowStoredValues = FALSE;
    WORD m_wFloatCellsMode = 0;
    WORD m_wMergeCellsMode = 0;
    BOOL m_bLetterColumns = TRUE;
    BOOL m_bNumberedRows = TRUE;
    BOOL m_bRedrawRowHeaderAfterMove = TRUE;
    BOOL m_bRedrawColHeaderAfterMove = TRUE;
    // The whole grid is read-only: every change through the engine is refused.
    BOOL m_bReadOnly = FALSE;
    BOOL m_bLockReadOnly = TRUE;
    BOOL m_bReadOnlyPasteLock = TRUE;
    BOOL m_bZoomOff = FALSE;
    BOOL m_bRawValues = FALSE;
    BOOL m_bStylePreload = FALSE;
    BOOL m_bTransparentBackground = FALSE;
    BOOL m_bDisplaySelection = TRUE;
    BOOL m_bCurrentCellFrame = TRUE;
    BOOL m_bActiveViewCursor = FALSE;
    BOOL m_bDirectCopy = FALSE;
    BOOL m_bDirectCut = FALSE;
    BOOL m_bCutPending = FALSE;
    BOOL m_bKeepSingleCellSelection = FALSE;
    BOOL m_bFrame = FALSE;
    BOOL m_bFrameStyle = FALSE;
    WORD m_wFillMode = 0;
    WORD m_wSortOnDblClk = 0;
    // The last sort: key row, key column, ascending.
    ROWCOL m_nLastSortRow = 0;
    ROWCOL m_nLastSortCol = 0;
    BOOL m_bLastSortAscending = TRUE;

    // Grid lines: 0 at the left and top of cells, else right and bottom; the pen style.
    int m_nGridLineStyle = 0;
    UINT m_nGridLinePenStyle = 0;
    WORD m_wEnterKeyAction = 0;
    BOOL m_bCopyMarquee = FALSE;
    DWORD m_dwActivateFlags = 0;

    // Permissions.
    WORD m_wAllowSelection = 0xFF;
    WORD m_wRowSelectionMode = 0;
    WORD m_wAllowTrackRowHeight = 0xB2;
    WORD m_wAllowTrackColWidth = 0xB2;
    // The smallest size a drag of a border asks for (0: none).
    int m_nMinTrackRowHeight = 0;
    int m_nMinTrackColWidth = 0;
    BOOL m_bDragSelectedRows = TRUE;
    BOOL m_bDragSelectedCols = TRUE;
    // Hidden rows and columns: bit n is bit (n % 8) of byte n / 8; a bit past the end reads as
    // shown. The hide feature keeps them in step with insertions, removals and moves.
    CByteArray m_abHideRow;
    CByteArray m_abHideCol;

    BOOL m_bInitialized = FALSE;
    CPtrList m_PendingList;
    // Cells waiting for the data object's per-cell notification: (row, column) pairs.
    CDWordArray m_PendingCells;
    CString m_sSheetName;

private:
    template <class T>
    static void Attach(T*& pMember, BOOL& bOwned, T* pNew, BOOL bMustDelete);

    unsigned long long m_nSerial;
    CGXProperties* m_pProperties = nullptr;
    CGXStylesMap* m_pStylesMap = nullptr;
    CGXData* m_pData = nullptr;
    CGXOwnedObject* m_pPrintDevice = nullptr;
    CGXOwnedObject* m_apPools[gxPoolCount] = {};
    BOOL m_bOwnProperties = FALSE;
    BOOL m_bOwnStylesMap = FALSE;
    BOOL m_bOwnData = FALSE;
    BOOL m_bOwnPrintDevice = FALSE;
    BOOL m_bUndoEnabled = TRUE;
};
