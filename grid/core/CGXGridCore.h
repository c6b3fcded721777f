// CGXGridCore: the grid engine: everything a grid needs to show, scroll, edit and print its
// cells, apart from the window that shows it. The data lives in a parameter object that the
// views of one document may share; the engine keeps per-window state and the pointers to its
// optional features, which the control factory installs as the engine is made. Every
// operation is virtual so that a grid can change one behaviour; a missing feature makes its
// operations answer a fixed default.
#pragma once

#include "grid/core/GXFeatureImps.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRangeList.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/core/CArray.h"
#include "platform/core/CRect.h"
#include "platform/core/WinMessages.h"

#include <map>
#include <memory>
#include <vector>

struct TOOLINFO;

class CCmdUI;
class CDC;
class CDocument;
class CFont;
class CGXAbstractGridUpdateHintImp;
class CGXCommand;
class CGXCommandFactory;
class CGXControl;
class CGXDragLineWnd;
class CGXFont;
class CGXGridAppData;
class CGXGridAssistant;
class CGXGridHint;
class CGXGridGdiCache;
class CGXPluginComponent;
class CGXSetStyleRangeCmd;
class CGXSortInfo;
class CBitmap;
class CBrush;
class CPen;
struct GXDrawState;
class CWnd;
struct CPrintInfo;

// Redraw flags of the operations that change the grid.
inline constexpr UINT GX_UPDATENOW = 0x02;
inline constexpr UINT GX_INVALIDATE = 0x01;
inline constexpr UINT GX_SMART = 0x04;

// Flags of SetCurrentCell beyond the redraw flags.
inline constexpr UINT GX_SCROLLINVIEW = 0x08;
inline constexpr UINT GX_DISPLAYEDITWND = 0x10;
inline constexpr UINT GX_NOFLUSHPAINT = 0x20;
inline constexpr UINT GX_NOHINT = 0x40;
inline constexpr UINT GX_NOSELECTION = 0x80;

// Click options of the grid (SetClickOptions): a press on a cell moves the current cell without
// touching the selection.
inline constexpr UINT GX_CLICK_KEEPSELECTION = 0x80;

// Report flags of the cell-click operations: the mouse mode of the drag plus what happened.
inline constexpr UINT GX_MOUSE_DRAG = 0x01;
inline constexpr UINT GX_MOUSE_CTRL = 0x80;
inline constexpr UINT GX_MOUSE_CURRENT = 0x100;
// The fill handle is being dragged.
inline constexpr UINT GX_MOUSE_FILL = 0x200;
// What a drag of selected whole rows or columns moves.
inline constexpr int GX_DRAGSEL_COLS = 1;
inline constexpr int GX_DRAGSEL_ROWS = 2;
inline constexpr UINT GX_HITSTART = 0x04;
inline constexpr UINT GX_HITMOVE = 0x08;
inline constexpr UINT GX_HITEND = 0x10;
inline constexpr UINT GX_HITLEFTSTART = 0x20;
inline constexpr UINT GX_HITINSTART = 0x40;

// Directions of MoveCurrentCell.
enum GXDirectionType : int {
    GX_UP = 1,
    GX_LEFT = 2,
    GX_DOWN = 3,
    GX_RIGHT = 4,
    GX_MOSTDOWN_PAGE = 5,
    GX_MOSTUP_PAGE = 6,
    GX_TOP = 7,
    GX_BOTTOM = 8,
    GX_MOSTLEFT = 9,
    GX_MOSTRIGHT = 10,
    GX_TOPLEFT = 11,
    GX_BOTTOMRIGHT = 12,
};

// Clipboard flags of the grid (m_nClipboardFlags).
inline constexpr DWORD GX_CLIP_HEADERCOLS = 0x0001;    // header columns take part in a copy or paste
inline constexpr DWORD GX_CLIP_HEADERROWS = 0x0002;    // header rows take part in a copy or paste
inline constexpr DWORD GX_CLIP_TEXT = 0x0008;          // copy writes text and paste reads it
inline constexpr DWORD GX_CLIP_STYLES = 0x0010;        // copy writes styles, paste prefers them, cut removes them
inline constexpr DWORD GX_CLIP_ASKSIZE = 0x0100;       // a styles block of another size asks first
inline constexpr DWORD GX_CLIP_NOADDROWS = 0x0200;     // a paste never adds rows
inline constexpr DWORD GX_CLIP_NOADDCOLS = 0x0400;     // a paste never adds columns
inline constexpr DWORD GX_CLIP_GRIDSTYLETYPE = 0x0800; // styles are read with the grid's access type
inline constexpr DWORD GX_CLIP_ESCAPEBREAKS = 0x1000;  // breaks and tabs in a value travel as escapes

class CGXGridCore {
public:
    // The window forms pass themselves and their document (none for a grid window).
    explicit CGXGridCore(CWnd* pGridWnd = nullptr, CDocument* pGridDoc = nullptr, BOOL bIsViewContext = FALSE);
    CGXGridCore(const CGXGridCore&) = delete;
    CGXGridCore& operator=(const CGXGridCore&) = delete;

    // ---- Object and document ----
    virtual ~CGXGridCore();
    virtual void SetPrinting(BOOL bPrint, BOOL bClientToRect = FALSE);
    virtual void SetModifiedFlag(BOOL bModified = TRUE);
    virtual void PrepareDC(CDC* pDC);
    virtual void UpdateAllViews(CWnd* pSender, LPARAM lHint, CObject* pHint);
    virtual void Initialize();
    virtual BOOL ActivateGrid(BOOL bActivate);
    virtual void ProcessHint(CWnd* pSender, LPARAM lHint, CObject* pHint);

    // ---- Cell styles ----
    virtual BOOL ApplyStyleToRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType, const CObArray* pCellsArray, UINT nFlags, int nMode);
    virtual BOOL ReadCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int nModify, int nType);
    virtual CObArray* CollectRangeStyles(const CGXRange& range, int nType, DWORD* pdwStartTicks = nullptr);
    virtual const CGXStyle* LookupStyleRowCol(ROWCOL nRow, ROWCOL nCol);
    virtual void ComposeCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bApplyStandard = TRUE);
    virtual BOOL StoreCellStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nModify, int nType);
    virtual void UpdateStyleRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType, UINT nFlags, BOOL bCreateHint);
    virtual CGXStyle* CreateStyle();
    virtual void RecycleStyle(CGXStyle* pStyle);
    virtual BOOL ChangeStylesMap(const CGXStylesMap& stylesMap, UINT nFlags, int nMode);
    virtual void UpdateStylesMapChange(UINT nFlags, BOOL bCreateHint);
    virtual BOOL ChangeProperties(const CGXProperties& properties, UINT nFlags, int nMode);
    virtual void UpdatePropertiesChange(UINT nFlags, BOOL bCreateHint);
    virtual BOOL ChangeBaseStyle(WORD nID, const CGXStyle& style, int nModify, UINT nFlags, int nMode);
    virtual void UpdateBaseStyleChange(WORD nID, UINT nFlags, BOOL bCreateHint);

    // ---- Counts, structure, frozen rows and columns, sorting, top row and left column ----
    virtual BOOL SetRowCount(ROWCOL nRows, UINT nFlags = GX_UPDATENOW);
    virtual BOOL SetColCount(ROWCOL nCols, UINT nFlags = GX_UPDATENOW);
    virtual ROWCOL GetRowCount();
    virtual ROWCOL GetColCount();
    virtual BOOL StoreRowCount(ROWCOL nRows);
    virtual BOOL StoreColCount(ROWCOL nCols);
    virtual void UpdateRowCountChange(ROWCOL nOldRows, UINT nFlags, BOOL bCreateHint);
    virtual void UpdateColCountChange(ROWCOL nOldCols, UINT nFlags, BOOL bCreateHint);
    virtual BOOL RemoveRows(ROWCOL nFromRow, ROWCOL nToRow, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL RemoveCols(ROWCOL nFromCol, ROWCOL nToCol, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL MoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL MoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL InsertRows(ROWCOL nRow, ROWCOL nCount, const CGXCollMapDWordToLong* pHeights = nullptr, const CObArray* pCellsArray = nullptr,
                            const CObArray* pRowsArray = nullptr, ROWCOL nColCount = 0, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL InsertCols(ROWCOL nCol, ROWCOL nCount, const CGXCollMapDWordToLong* pWidths = nullptr, const CObArray* pCellsArray = nullptr,
                            const CObArray* pColsArray = nullptr, ROWCOL nRowCount = 0, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL StoreInsertRows(ROWCOL nRow, ROWCOL nCount, BOOL bForce = FALSE);
    virtual BOOL StoreInsertCols(ROWCOL nCol, ROWCOL nCount, BOOL bForce = FALSE);
    virtual BOOL StoreRemoveRows(ROWCOL nFromRow, ROWCOL nToRow, BOOL bForce = FALSE);
    virtual BOOL StoreRemoveCols(ROWCOL nFromCol, ROWCOL nToCol, BOOL bForce = FALSE);
    virtual BOOL StoreMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, BOOL bProcessed = FALSE);
    virtual BOOL StoreMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, BOOL bProcessed = FALSE);
    virtual void UpdateInsertRows(ROWCOL nRow, ROWCOL nCount, UINT nFlags, BOOL bCreateHint);
    virtual void UpdateInsertCols(ROWCOL nCol, ROWCOL nCount, UINT nFlags, BOOL bCreateHint);
    virtual void UpdateRemoveRows(ROWCOL nFromRow, ROWCOL nToRow, const CGXCollMapDWordToLong* pOldHeights, UINT nFlags, BOOL bCreateHint);
    virtual void UpdateRemoveCols(ROWCOL nFromCol, ROWCOL nToCol, const CGXCollMapDWordToLong* pOldWidths, UINT nFlags, BOOL bCreateHint);
    virtual void UpdateMoveRows(ROWCOL nFromRow, ROWCOL nToRow, ROWCOL nDestRow, UINT nFlags, BOOL bCreateHint);
    virtual void UpdateMoveCols(ROWCOL nFromCol, ROWCOL nToCol, ROWCOL nDestCol, UINT nFlags, BOOL bCreateHint);
    virtual BOOL SetFrozenRows(ROWCOL nFrozenRows, ROWCOL nHeaderRows = 0, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL SetFrozenCols(ROWCOL nFrozenCols, ROWCOL nHeaderCols = 0, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual ROWCOL GetFrozenRows();
    virtual ROWCOL GetFrozenCols();
    virtual ROWCOL GetHeaderRows();
    virtual ROWCOL GetHeaderCols();
    virtual BOOL StoreFrozenRows(ROWCOL nFrozenRows, ROWCOL nHeaderRows);
    virtual BOOL StoreFrozenCols(ROWCOL nFrozenCols, ROWCOL nHeaderCols);
    virtual void UpdateFrozenRows(ROWCOL nOldFrozenRows, ROWCOL nOldHeaderRows, UINT nFlags, BOOL bCreateHint);
    virtual void UpdateFrozenCols(ROWCOL nOldFrozenCols, ROWCOL nOldHeaderCols, UINT nFlags, BOOL bCreateHint);
    virtual void SortRows(CGXRange sortRange, const CObArray& sortInfo, UINT nFlags = GX_UPDATENOW);
    virtual BOOL MoveDataRows(const CGXRange& range, const CDWordArray& order, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL StoreMoveDataRows(const CGXRange& range, const CDWordArray& order);
    virtual void UpdateMoveDataRows(const CGXRange& range, UINT nFlags, BOOL bCreateHint);
    virtual void GetSortRowKeys(ROWCOL nRow, const CObArray& sortInfo, CStringArray& keys);
    virtual void SortCols(CGXRange sortRange, const CObArray& sortInfo, UINT nFlags = GX_UPDATENOW);
    virtual BOOL MoveDataCols(const CGXRange& range, const CDWordArray& order, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL StoreMoveDataCols(const CGXRange& range, const CDWordArray& order);
    virtual void UpdateMoveDataCols(const CGXRange& range, UINT nFlags, BOOL bCreateHint);
    virtual void GetSortColKeys(ROWCOL nCol, const CObArray& sortInfo, CStringArray& keys);
    virtual void SortIndexArray(CDWordArray& indexes, const CObArray& sortInfo);
    // The text a cell sorts by under one key: by default its control's sort key, which is the
    // value for the controls that show their value as it stands.
    virtual BOOL GetSortKey(ROWCOL nRow, ROWCOL nCol, const CGXSortInfo& sortInfo, const CGXStyle& style, CString& sKey);
    virtual void SetTopRow(ROWCOL nRow, UINT nFlags = GX_UPDATENOW, BOOL bCreateHint = TRUE);
    virtual void SetLeftCol(ROWCOL nCol, UINT nFlags = GX_UPDATENOW, BOOL bCreateHint = TRUE);
    virtual BOOL DragSelectStart(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL DragSelectTrack(ROWCOL nRow, ROWCOL nCol, BOOL bEnd, UINT nFlags);
    virtual BOOL DragSelectDrop(ROWCOL nRow, ROWCOL nCol, ROWCOL& nNewRow, ROWCOL& nNewCol);
    virtual BOOL DragSelectCancel();
    // Drag-selection may start while neither Ctrl nor Shift is held (rows, then columns).
    virtual BOOL CanStartDragSelectRows();
    virtual BOOL CanStartDragSelectCols();
    // Hooks of dragging selected whole rows (columns) to move them, each TRUE by default: may
    // the block first..last be dragged, be dropped before nDest, and is the move about to happen.
    virtual BOOL CanDragSelectedRows(ROWCOL nFirst, ROWCOL nLast);
    virtual BOOL CanDropSelectedRows(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest);
    virtual BOOL OnMoveSelectedRows(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest);
    virtual BOOL CanDragSelectedCols(ROWCOL nFirst, ROWCOL nLast);
    virtual BOOL CanDropSelectedCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest);
    virtual BOOL OnMoveSelectedCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest);
    // May the fill handle be dragged from this selected range; TRUE by default.
    virtual BOOL CanStartFill(const CGXRange& range);

    // ---- Row heights and column widths, hidden rows and columns, hit tests, resize tracking,
    // zoom, read-only. Heights and widths are pixels at zoom 100 on the screen. ----
    virtual BOOL SetRowHeight(ROWCOL nFromRow, ROWCOL nToRow, int nHeight, const int* anHeights = nullptr, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL SetColWidth(ROWCOL nFromCol, ROWCOL nToCol, int nWidth, const int* anWidths = nullptr, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL SetDefaultRowHeight(int nHeight, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL SetDefaultColWidth(int nWidth, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual int GetRowHeight(ROWCOL nRow);
    virtual int GetColWidth(ROWCOL nCol);
    virtual int GetDefaultRowHeight();
    virtual int GetDefaultColWidth();
    virtual BOOL HideRows(ROWCOL nFromRow, ROWCOL nToRow, BOOL bHide = TRUE, const CDWordArray* pFlags = nullptr, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL HideCols(ROWCOL nFromCol, ROWCOL nToCol, BOOL bHide = TRUE, const CDWordArray* pFlags = nullptr, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual BOOL IsRowHidden(ROWCOL nRow);
    virtual BOOL IsColHidden(ROWCOL nCol);
    virtual BOOL ResizeRowHeightsToFit(CGXRange range, BOOL bResizeCoveredCells = TRUE, UINT nFlags = GX_UPDATENOW, int nMode = 0,
                                       ROWCOL nMinRow = 0, ROWCOL nMaxRow = 0, int nMaxHeight = 0);
    virtual BOOL ResizeColWidthsToFit(CGXRange range, BOOL bResizeCoveredCells = TRUE, UINT nFlags = GX_UPDATENOW, int nMode = 0,
                                      ROWCOL nMinCol = 0, ROWCOL nMaxCol = 0, int nMaxWidth = 0);
    virtual BOOL StoreHideRow(ROWCOL nRow, BOOL bHide);
    virtual BOOL StoreHideCol(ROWCOL nCol, BOOL bHide);
    virtual BOOL StoreDefaultRowHeight(int nHeight);
    virtual BOOL StoreDefaultColWidth(int nWidth);
    virtual BOOL StoreColWidth(ROWCOL nCol, int nWidth);
    virtual BOOL StoreRowHeight(ROWCOL nRow, int nHeight);
    virtual void UpdateChangedColWidths(ROWCOL nFromCol, ROWCOL nToCol, const int* anOldWidths, UINT nFlags, BOOL bCreateHint);
    virtual void UpdateChangedRowHeights(ROWCOL nFromRow, ROWCOL nToRow, const int* anOldHeights, UINT nFlags, BOOL bCreateHint);
    // What lies under a point of the window: a hit code (0 nothing), with its cell.
    virtual int HitTest(CPoint pt, ROWCOL* pRow = nullptr, ROWCOL* pCol = nullptr, CRect* pRectHit = nullptr);
    // Tool tips: with them on, a cell whose style carries a tool-tip text (the user attribute
    // GX_IDS_UA_TOOLTIPTEXT) shows it while the pointer rests on the cell.
    void EnableGridToolTips(BOOL bEnable = TRUE);
    BOOL IsGridToolTipsEnabled() const { return m_bTtnIsEnabled; }
    // The grid window's tool under a point: fills the tool record and answers the tool's id, or
    // -1 where no cell with a tool-tip text lies.
    INT_PTR HitTestToolTip(CPoint point, TOOLINFO* pTI);
    // 5 on the edge of a selected range's frame, 6 on its fill handle, else 0.
    virtual int HitTestSelectionFrame(ROWCOL nRow, ROWCOL nCol, const CPoint& pt, const CRect& rectCell);
    // Tracking a border that the user drags, through the resize feature (mode 1 rows, 2
    // columns). The offset is the size asked for: its y for a row, its x for a column. Start
    // answers FALSE, and the others do nothing, without the feature.
    virtual BOOL StartResizeTracking(ROWCOL nRow, ROWCOL nCol, int nMode);
    virtual void MoveResizeTracking(ROWCOL nRow, ROWCOL nCol, int nMode, CPoint ptOffset);
    virtual void EndResizeTracking(ROWCOL nRow, ROWCOL nCol, int nMode, CPoint ptOffset);
    virtual void CancelResizeTracking();
    virtual BOOL CanResizeRow(ROWCOL nRow);
    virtual BOOL OnStartTracking(ROWCOL nRow, ROWCOL nCol, int nTrackingMode);
    virtual BOOL OnMoveTracking(ROWCOL nRow, ROWCOL nCol, int nTrackingMode, int nSize);
    virtual BOOL OnEndTracking(ROWCOL nRow, ROWCOL nCol, int nTrackingMode, int nSize);
    virtual BOOL CanResizeCol(ROWCOL nCol);
    virtual BOOL OnStartTrackingCol(ROWCOL nCol);
    virtual BOOL OnMoveTrackingCol(ROWCOL nCol, int nSize);
    virtual BOOL OnEndTrackingCol(ROWCOL nCol, int nSize);
    virtual void SetZoom(int nZoom, UINT nFlags = GX_UPDATENOW);
    virtual BOOL SetReadOnly(BOOL bReadOnly = TRUE);
    virtual int GetZoom();
    virtual BOOL IsReadOnly();
    virtual BOOL StoreZoom(int nZoom, BOOL bCreateHint = TRUE);
    virtual BOOL StoreReadOnly(BOOL bReadOnly);
    virtual void UpdateZoom(int nOldZoom, UINT nFlags, BOOL bCreateHint);
    virtual void UpdateReadOnly(BOOL bOldReadOnly, BOOL bCreateHint);

    // ---- Private messages of the grid window ----
    virtual LRESULT OnGridMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSizeLockMessage(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnPropertyMessage(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCellCommandMessage(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDeferredMessage(WPARAM wParam, LPARAM lParam);

    // ---- Selection and the selection frame ----
    virtual BOOL IsCellInRangeList(ROWCOL nRow, ROWCOL nCol, const CGXRangeList& list);
    virtual BOOL CopySelection(CGXRangeList& list, BOOL bIncludeCurrent, UINT nFlags);
    virtual BOOL DrawSelectionRangeFrame(CDC* pDC, const CGXRange& range, const CRect& rect, BOOL bFill, UINT nFlags, int nWidth);
    virtual BOOL PrepareChangeSelection(POSITION pos, ROWCOL nTop);
    virtual BOOL PrepareClearSelection(BOOL bCreateHint, UINT nFlags);
    virtual BOOL SelectRange(const CGXRange& range, BOOL bSelect = TRUE, BOOL bUpdate = TRUE, UINT nFlags = 0, int nMode = 0, BOOL bCreateHint = TRUE);
    virtual BOOL ClearSelection(BOOL bCreateHint = TRUE);
    virtual BOOL OnChangedSelection(const CGXRange* pRange, BOOL bIsDragging, BOOL bKey);
    virtual void OnSelectionChanging(const CGXRange* pRange, BOOL bIsDragging, BOOL bKey);
    virtual BOOL CanSelectCurrentCell(BOOL bSelect, ROWCOL nSelRow, ROWCOL nSelCol, ROWCOL nOldRow, ROWCOL nOldCol);
    virtual void OnSelectionChanged(const CGXRange* pRange, BOOL bIsDragging, BOOL bKey);
    virtual BOOL CanChangeSelection(const CGXRange* pRange, BOOL bIsDragging, BOOL bKey);
    // May a click on this cell begin a selection (TRUE by default).
    virtual BOOL CanStartSelection(ROWCOL nRow, ROWCOL nCol, UINT nFlags, CPoint pt);
    virtual BOOL CanClearSelection(BOOL bCreateHint, UINT nFlags);
    virtual BOOL OnFillHandle(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL AddFillRange(const CGXRange& range);

    // ---- Covered, floating and merged cells ----
    virtual BOOL SetCoveredCellsRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, UINT nFlags = GX_UPDATENOW, int nMode = 0);
    virtual CGXRange* FindCoveredSpan(ROWCOL nRow, ROWCOL nCol, CGXRange& range);
    virtual BOOL StoreCoveredCellsRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, BOOL bSet);
    virtual void UpdateCoveredCellsRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, UINT nFlags, BOOL bCreateHint);
    virtual BOOL AddCoveredCellsToRange(CGXRange& range);
    virtual const CRect* CalcFloatCellRect(ROWCOL nRow, ROWCOL nCol, CRect& rect, const CGXStyle* pStyle, CRect* pSpanRect);
    virtual const CRect* CalcMergeCellRect(ROWCOL nRow, ROWCOL nCol, CRect& rect, const CGXStyle* pStyle, CRect* pSpanRect);
    virtual BOOL CanMergeCells(const CGXStyle& style1, const CGXStyle& style2);
    virtual CGXRange* FindCellSpan(ROWCOL nRow, ROWCOL nCol, CGXRange& range);
    virtual BOOL EvalSpans(ROWCOL nFrozenRows, ROWCOL nFrozenCols, ROWCOL nTopRow, ROWCOL nLeftCol, ROWCOL nLastRow, ROWCOL nLastCol,
                           BOOL bFloat, BOOL bMerge, UINT nFlags, BOOL bPrint);
    BOOL FloatCellsEnabled() const;
    BOOL MergeCellsEnabled() const;
    // Marks a range for working the floating texts out again before it is next drawn; nothing
    // without the floating-cells feature.
    void DelayFloatCells(const CGXRange& range, ROWCOL nColLimit = GX_INVALID);

    // ---- Find and replace ----
    virtual BOOL FindText(LPCTSTR pszFind, BOOL bNext, BOOL bCase);
    virtual BOOL FindTextPrepared(ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell);
    virtual BOOL ReplaceAll(LPCTSTR pszFind, LPCTSTR pszReplace, BOOL bCase);
    virtual void Beep(LPCTSTR pszFind);
    // Replace All changed cells: nCells of them. The grid itself says nothing; a grid that tells
    // its user how it went says so here.
    virtual void ReplacedAll(LPCTSTR pszFind, LPCTSTR pszReplace, DWORD nCells);
    virtual void ShowFindReplaceDialog(BOOL bFindOnly);
    virtual BOOL HandleFindReplaceMessage(CWnd* pDialog);

    // ---- Undo and redo ----
    virtual BOOL Undo();
    virtual BOOL Redo();
    // Undoes (gxUndo) or redoes (gxRedo) the newest step, its place shown once at the end.
    BOOL ReplayStep(int nMode);
    virtual void BeginTransaction(LPCTSTR pszDescription);
    virtual void CommitTransaction();
    virtual void RollbackTransaction();
    virtual BOOL CanUndo(CCmdUI* pCmdUI);
    virtual BOOL CanRedo(CCmdUI* pCmdUI);
    // Undo (gxUndo) and Redo (gxRedo) as the user gives them, from the Edit menu, the toolbar or
    // the keys: while the current cell's editor takes typing they act on the text typed there,
    // and the grid's steps wait until that edit is stored; otherwise Undo and Redo. The update
    // enables and names the item as the command would act.
    BOOL UndoCommand(int nMode);
    void UpdateUndoCommand(int nMode, CCmdUI* pCmdUI);
    // The current cell's control while its editor takes typing, else null.
    CGXControl* TypingControl();
    // The Undo or Redo item while it acts on typing: plain, enabled as the typing allows.
    static void UpdateTypingUndoItem(int nMode, BOOL bCan, CCmdUI* pCmdUI);
    virtual void AddCommand(CGXCommand* pCmd, int nMode);
    virtual void RemoveCommand(CGXCommand* pCmd);
    virtual void ShowCommandPosition(ROWCOL nRow, ROWCOL nCol, BOOL bSetCurrent);
    virtual BOOL SetDataUndoRecording(BOOL bRecord);
    virtual CObject* TakeDataUndoInfo();
    virtual BOOL ApplyDataUndoInfo(CObject* pInfo, BOOL bUndo, BOOL bBefore);
    virtual void DiscardDataUndoInfo();
    virtual BOOL ExecuteCommand(CGXCommand* pCmd, int nMode);

    // ---- Scrolling ----
    virtual BOOL ScrollCellInView(ROWCOL nRow, ROWCOL nCol, UINT nFlags = GX_UPDATENOW, BOOL bFloatCell = FALSE);
    virtual BOOL DoScroll(int direction, ROWCOL nCell);
    virtual void UpdateScrollbars(BOOL bRedraw = TRUE, BOOL bOnlyIfDimChanged = FALSE);
    virtual void SetScrollBarMode(int nBar, int nSetting, BOOL bRedraw = TRUE);
    virtual BOOL Scroll(UINT nSBCode, UINT nPos);
    virtual BOOL OnLeftColChange(ROWCOL nNewLeftCol);
    virtual BOOL OnTopRowChange(ROWCOL nNewTopRow);
    virtual void OnLeftColChanged();
    virtual void OnTopRowChanged();
    virtual void SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
    virtual void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
    virtual int GetScrollPos(int nBar);
    virtual void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos);

    // ---- Current cell, cell controls and cell events ----
    virtual BOOL SetCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT nFlags = GX_UPDATENOW);
    virtual BOOL SyncCurrentCell(BOOL bStore, UINT nFlags = GX_UPDATENOW, BOOL bResetEdit = FALSE);
    virtual BOOL FindNextCell(int direction, ROWCOL& nRow, ROWCOL& nCol);
    virtual BOOL RouteKeyMessage(CWnd* pSender, UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual BOOL MoveCurrentCell(int direction, UINT nCell = 1, BOOL bCanSelectRange = TRUE);
    virtual BOOL EndCurrentCellEdit(BOOL bStore = TRUE);
    virtual void RefreshCurrentCell(BOOL bCreateHint = TRUE);
    virtual void SetWarningText(LPCTSTR pszWarning);
    virtual void ShowWarningText(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL MoveCurrentCellEx(int direction, UINT nCell = 1);
    // Tab and Shift+Tab: a step to the next or the previous cell that chooses the new cell
    // alone, whatever the Shift key.
    virtual BOOL MoveCurrentCellAlone(int direction, UINT nCell = 1);
    virtual BOOL CanLeaveOrEnterCell(ROWCOL nRow, ROWCOL nCol, BOOL bEnter);
    virtual BOOL OnActivateGrid(BOOL bActivate);
    virtual BOOL OnStartEditing(ROWCOL nRow, ROWCOL nCol);
    virtual void OnModifyCell(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL OnValidateCell(ROWCOL nRow, ROWCOL nCol);
    virtual void OnCanceledEditing(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL OnEndEditing(ROWCOL nRow, ROWCOL nCol);
    virtual void OnClickedButtonRowCol(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL OnLeftCell(ROWCOL nRow, ROWCOL nCol, ROWCOL nNewRow, ROWCOL nNewCol);
    virtual void OnCellEntered(ROWCOL nRow, ROWCOL nCol);
    virtual void OnInitCurrentCell(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL ScrollByDirection(int direction, UINT nCell);
    virtual BOOL SelectRangeByClick(ROWCOL nRow, ROWCOL nCol, UINT nFlags);
    virtual BOOL HandleCellDblClick(ROWCOL nRow, ROWCOL nCol, UINT nFlags);
    // One mouse event on a cell, with the cell the button went down on and the report flags of
    // the drag (GX_HITSTART, GX_HITMOVE, GX_HITEND and the others below).
    virtual BOOL OnLButtonClickedRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol, UINT nFlags, CPoint pt, UINT nHitState);
    virtual BOOL OnMButtonClickedRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol, UINT nFlags, CPoint pt, UINT nHitState);
    virtual BOOL OnRButtonClickedRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol, UINT nFlags, CPoint pt, UINT nHitState);
    virtual BOOL HandleMButtonCellDblClick(ROWCOL nRow, ROWCOL nCol, UINT nFlags);
    virtual BOOL HandleRButtonCellDblClick(ROWCOL nRow, ROWCOL nCol, UINT nFlags);
    virtual CGXControl* GetControl(ROWCOL nRow, ROWCOL nCol);

    // ---- Control lookup, range names, clipboard, data exchange, clearing, data notification, freezing ----
    virtual CGXControl* GetControlById(WORD nID);
    virtual BOOL SetRangeName(LPCTSTR pszName, const CGXRange& range, CObject* pObj, UINT nFlags, int nMode);
    virtual BOOL GetRangeName(LPCTSTR pszName, CGXRange& range);
    virtual BOOL DeleteRangeName(LPCTSTR pszName, UINT nFlags, int nMode);
    virtual BOOL CopyRangeList(CGXRangeList& selList);
    virtual BOOL WriteRangesAsText(CString& sDest, const CGXRangeList& selList);
    virtual BOOL WriteRangesAsStyles(CArchive& ar, const CGXRangeList& selList, BOOL bLoadBaseStyles);
    virtual BOOL ReadStylesIntoGrid(CArchive& ar, CGXRange& range, BOOL bReplace);
    virtual BOOL GetCellTextForCopy(CString& sText, ROWCOL nRow, ROWCOL nCol);
    virtual BOOL CutRangeList(CGXRangeList& selList, BOOL bStyleOrValue);
    virtual BOOL ClearRangeList(CGXRangeList& selList, BOOL bStyleOrValue);
    virtual BOOL ReadStylesPart(CArchive& ar, CGXRange& range);
    virtual BOOL PasteTextBuffer(LPCTSTR pszBuffer, size_t nSize, const CGXRange& range);
    virtual BOOL CountTextBufferCells(LPCTSTR pszBuffer, size_t nSize, ROWCOL& nRows, ROWCOL& nCols);
    virtual BOOL SetCellTextThroughControl(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pOldStyle);
    virtual BOOL StoreCellTextForPaste(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, int nMode);
    virtual BOOL PasteTextPart(CGXRange& range);
    virtual BOOL PasteStylesPart(CGXRange& range);
    virtual BOOL IsTextOnClipboard();
    virtual BOOL CopyCellsDirect(const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL bTrans, BOOL bCopyBaseStyles, BOOL bValuesOnly);
    virtual BOOL MoveCellsDirect(const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL bTrans, BOOL bCopyBaseStyles, BOOL bValuesOnly);
    virtual BOOL StoreCopyCellsDirect(const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL bTrans, BOOL bCopyBaseStyles, BOOL bValuesOnly);
    virtual BOOL StoreMoveCellsDirect(const CGXRange& range, ROWCOL nRow, ROWCOL nCol, UINT nFlags, int nMode, BOOL bTrans, BOOL bCopyBaseStyles, BOOL bValuesOnly);
    virtual BOOL ConfirmPasteSizeMismatch();
    virtual BOOL NotifyDataAtCell(ROWCOL nRow, ROWCOL nCol);
    virtual BOOL NotifyDataCell(ROWCOL nRow, ROWCOL nCol, UINT nFlags);
    virtual BOOL NotifyDataChanged(UINT nFlags);
    virtual BOOL RefreshDataObject(BOOL bShowErrors = TRUE, CString* psError = nullptr, BOOL bCreateHint = TRUE);
    virtual BOOL NotifyDataRange(UINT nFlags);
    virtual void ResetDataState();
    virtual BOOL GetDataErrorText(CString& sError);
    virtual BOOL Copy();
    virtual BOOL Paste();
    virtual BOOL Cut();
    virtual BOOL Clear(BOOL bStyleOrValue);
    virtual BOOL CanCopy();
    virtual BOOL CanCut();
    virtual BOOL CanPaste();
    virtual BOOL CanClear();
    virtual void FreezeCols();
    virtual BOOL CanFreezeCols();
    virtual void UnfreezeCols();
    virtual BOOL CanUnfreezeCols();
    virtual void FreezeRows();
    virtual BOOL CanFreezeRows();
    virtual void UnfreezeRows();
    virtual BOOL CanUnfreezeRows();

    // ---- Redraw, printing hooks, paint, fonts, cursors ----
    virtual void RedrawRange(const CGXRange& range, UINT nFlags = GX_INVALIDATE, BOOL bCreateHint = TRUE);
    virtual void Redraw(UINT nFlags = GX_INVALIDATE, BOOL bCreateHint = TRUE);
    // The cell rectangle less the style's borders, and back.
    virtual CRect SubtractBorders(const CRect& rect, const CGXStyle& style, BOOL bBorderSpace = TRUE);
    virtual CRect AddBorders(const CRect& rect, const CGXStyle& style, BOOL bBorderSpace = TRUE);
    virtual void ApplyPrintMargins(CDC* pDC, CPrintInfo* pInfo);
    virtual void UpdatePrintTokens(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnGridBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnGridEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnGridPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void Paint(CDC* pDC);
    // Sent as each paint starts (Paint passes 0, 0, 1, 0); forwarded to the paint-notification
    // object when one is installed.
    virtual void NotifyPaintStart(ROWCOL nRow, ROWCOL nCol, UINT nFlags, UINT nReserved);
    // Before a paint draws: about how far down and right the painted area reaches, counted at
    // the default row height and column width beyond the last visible row and column, so a grid
    // whose cells come from elsewhere can fetch them in one go. Does nothing here.
    virtual void NotifyPaintSizeEstimate(ROWCOL /*nLastRow*/, ROWCOL /*nLastCol*/) {}
    virtual void DrawCellWithControl(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect, const CGXStyle& style);
    virtual void MarkEditHeader(ROWCOL nRow, ROWCOL nCol, BOOL bMark, UINT nFlags);
    // Draws the client cells top..bottom, left..right (client indices).
    virtual void DrawClientRange(CDC* pDC, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight);
    virtual void DrawSelectedCell(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect);
    // The frame of a current cell that lies outside the selection: where typing, Paste and
    // Delete go shows also then. Inverted like the frame of a selected current cell.
    virtual void DrawCurrentCellFrame(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect);
    // nDirection 1 vertical, 2 horizontal; nFlags 0 grid line, 1 tracking, 2 dragging, 4 and 8 inverted.
    virtual void DrawGridLine(CDC* pDC, int x, int y, int cx, int cy, int nDirection, ROWCOL nClientIndex, UINT nFlags);
    // Selects the style's font zoomed; the old font, or null when nothing was selected (with
    // bCompare, a cell in the standard font selects nothing).
    virtual CFont* LoadFont(CDC* pDC, const CGXStyle& style, BOOL bCompare = TRUE);
    virtual void FreeObjectCache();
    // Measures the font selected in the DC: height with external leading, the average width
    // (half as much again for a proportional font).
    virtual void MeasureFont(CDC* pDC, int& nWidth, int& nHeight);
    virtual void SetGridCursor(UINT nID, LPCTSTR pszFallback = nullptr);
    virtual void UpdateCursor(CPoint pt);
    virtual void SetCursorOverride(UINT nID);

    // ---- Window messages: each answers whether the default processing is skipped ----
    virtual BOOL HandleSetCursor(CWnd* pWnd, UINT nHitTest, UINT nMessage);
    virtual BOOL HandleVScroll(UINT nSBCode, UINT nPos);
    virtual BOOL HandleHScroll(UINT nSBCode, UINT nPos);
    // The wheel: rows as many a notch as the system's wheel setting says (three), columns with
    // Shift; zDelta positive away from the user. Ctrl+wheel is not the grid's.
    virtual BOOL HandleMouseWheel(UINT nFlags, short zDelta, CPoint point);
    // The wheel tilted sideways: columns; zDelta positive to the right.
    virtual BOOL HandleMouseHWheel(UINT nFlags, short zDelta, CPoint point);
    virtual BOOL HandleSize(UINT nType, int cx, int cy);
    // Before the window is moved or sized: notes what is due to be painted, which a smart
    // resize keeps due.
    void NoteDueBeforeSize();
    // Whether the current cell lies wholly inside a client area of that size at the present
    // scroll position.
    BOOL CurrentCellFitsIn(int cx, int cy);
    virtual BOOL HandleMouseMove(UINT nFlags, CPoint point);
    virtual BOOL HandleShowWindow(BOOL bShow, UINT nStatus);
    virtual BOOL HandleLButtonDblClk(UINT nFlags, CPoint point);
    virtual BOOL HandleLButtonDown(UINT nFlags, CPoint point);
    virtual BOOL HandleLButtonUp(UINT nFlags, CPoint point);
    virtual BOOL HandleMButtonDblClk(UINT nFlags, CPoint point);
    virtual BOOL HandleMButtonDown(UINT nFlags, CPoint point);
    virtual BOOL HandleMButtonUp(UINT nFlags, CPoint point);
    virtual BOOL HandleRButtonDblClk(UINT nFlags, CPoint point);
    virtual BOOL HandleRButtonDown(UINT nFlags, CPoint point);
    virtual BOOL HandleRButtonUp(UINT nFlags, CPoint point);
    // The context menu asked for from the keyboard (Shift+F10, the menu key): what a right
    // click on the current cell would open, at that cell. FALSE without a current cell.
    virtual BOOL HandleKeyboardContextMenu();
    virtual HBRUSH HandleCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    virtual BOOL HandleDestroy();
    virtual BOOL HandleCancelMode();
    virtual int HandleMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT nMessage);
    virtual BOOL HandleCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL HandleWinIniChange(LPCTSTR pszSection);
    virtual BOOL HandleSysColorChange();
    virtual UINT HandleGetDlgCode();
    virtual CWnd* GetScrollBarCtrl(int nBar);
    virtual BOOL HandleKillFocus(CWnd* pNewWnd);
    virtual BOOL HandleSetFocus(CWnd* pOldWnd);
    virtual BOOL HandlePreTranslateMessage(MSG* pMsg);
    virtual BOOL HandleWindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL HandleTimer(UINT_PTR nIDEvent);

    // ---- Keys: the grid's handlers and the hooks a derived grid may take first ----
    virtual BOOL HandleKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual BOOL OnGridKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual BOOL HandleChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual BOOL OnGridChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual BOOL OnGridKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual BOOL HandleSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual BOOL OnGridSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual BOOL OnGridSysChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual BOOL OnGridSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);

    // ---- Set-up and plain members ----
    void SetParam(CGXGridParam* pParam, BOOL bMustDelete = TRUE);
    CGXGridParam* GetParam() const { return m_pParam; }
    BOOL OwnsParam() const { return m_bOwnParam; }
    CGXData* GetData() const { return m_pParam != nullptr ? m_pParam->GetData() : nullptr; }
    void AddAutoDeleteImp(CObject* pImp);
    CWnd* GridWnd() const { return m_pGridWnd; }
    CDocument* GetGridDoc() const { return m_pGridDoc; }
    CGXGridAppData* GetAppData() const { return m_pAppData; }
    BOOL IsInitialized() const { return m_bInitDone; }
    BOOL IsPrinting() const { return m_bPrint; }
    // The rectangle the grid draws into: the print rectangle, an explicit one, or the client
    // rectangle; an inverted one counts as empty.
    void GetGridRect(LPRECT lpRect);
    void SetGridRect(BOOL bSet, LPCRECT lpRect = nullptr);
    CWnd* GetScrollBarParent();
    int GetResizeTrackingState(int& nMode, ROWCOL& nIndex) const;
    // The resize feature records here the row or column it tracks (mode 1 rows, 2 columns).
    void SetResizeTrackingState(BOOL bTracking, int nMode, ROWCOL nRow, ROWCOL nCol)
    {
        m_bTracking = bTracking;
        m_nTrackingMode = nMode;
        m_nTrackRow = nRow;
        m_nTrackCol = nCol;
    }
    void FreeObjects();

    // The optional assistant (owned; a previous one is deleted) and whether it is told of
    // sizes, pointer moves and messages.
    void SetAssistant(CGXGridAssistant* pAssistant);
    CGXGridAssistant* GetAssistant() const { return m_pAssistant.get(); }
    void EnableAssistant(BOOL bEnable) { m_bAssistantEnabled = bEnable; }
    BOOL IsAssistantEnabled() const { return m_bAssistantEnabled; }

    // Focus. While the grid itself moves the focus between its window and a window of a cell's
    // control (or that control's pop-up), the focus handlers take the move for no activation
    // change; CGXGridFocusChange sets the mark for a scope.
    void SetFocusChange(BOOL bChange) { m_bFocusChange = bChange; }
    BOOL IsFocusChange() const { return m_bFocusChange; }
    // When set, the next focus gain refreshes the current cell's control (once).
    void SetRefocus(BOOL bRefocus) { m_bRefocus = bRefocus; }
    BOOL GetRefocus() const { return m_bRefocus; }
    // Set by every focus loss; whoever asks clears it.
    void SetFocusLost(BOOL bLost) { m_bFocusLost = bLost; }
    BOOL IsFocusLost() const { return m_bFocusLost; }

    ROWCOL GetTopRow() const { return m_bPrint ? m_nPrintTopRow : m_nTopRow; }
    ROWCOL GetLeftCol() const { return m_bPrint ? m_nPrintLeftCol : m_nLeftCol; }
    // The current cell; FALSE (and 0, 0) when there is none, it fell beyond the counts, or the
    // grid prints (unless bIgnorePrint).
    BOOL GetCurrentCell(ROWCOL& nRow, ROWCOL& nCol, BOOL bIgnorePrint = FALSE);
    // GX_INVALID for the row or the column matches any.
    BOOL IsCurrentCell(ROWCOL nRow = GX_INVALID, ROWCOL nCol = GX_INVALID, BOOL bIgnorePrint = FALSE);
    BOOL IsCurrentCellActive();
    CGXControl* GetCurrentCellControl();
    void SetCurrentCellState(BOOL bSet, ROWCOL nRow = 0, ROWCOL nCol = 0);
    void GetCurrentCellText(CString& sText);
    // Registers the control for a control id; the grid owns it from here on. The first control
    // registered (or one marked so) answers ids that nothing else makes.
    void RegisterControl(WORD nID, CGXControl* pControl, BOOL bDefault = FALSE, BOOL bAddName = FALSE);
    // Stores a value text into every cell of a range, with undo (the cell controls store their
    // edits through it).
    BOOL SetValueRange(const CGXRange& range, LPCTSTR pszValue, int nModify = gxOverride, int nType = 0, UINT nFlags = GX_INVALIDATE);
    // A cell's value as shown, and as stored; valid until the next call.
    const CString& GetCellValue(ROWCOL nRow, ROWCOL nCol);
    const CString& GetStoredCellValue(ROWCOL nRow, ROWCOL nCol);
    // A base style by id; the platform's not-supported exception for an id the map lacks.
    const CGXStyle& GetBaseStyle(WORD nID);
    BOOL SetStandardBaseStyle(const CGXStyle& style, int nModify = gxOverride, UINT nFlags = GX_UPDATENOW);
    BOOL SetRowHeaderBaseStyle(const CGXStyle& style, int nModify = gxOverride, UINT nFlags = GX_UPDATENOW);
    // For the structure operations and the features that move rows and columns: the current
    // cell follows a move of rows (or columns), its control rebound to the new place.
    void MovedCurrentCell(BOOL bRows, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest);
    void RebindCurrentControl();
    // Header ≤ frozen ≤ count for rows and columns, and the top row and left column below the
    // frozen ones and within the counts.
    void ClampScrollPosition();
    // Commands are recorded for this command mode (a factory, undo on or a transaction open).
    // Asks whether to go on without undo when the old styles are too many to keep.
    virtual BOOL ConfirmLargeUndo();
    // An edit goes on without undo, as the user agreed: the steps before it would replay over
    // what it writes, so the undo history ends (both lists empty).
    virtual void EndUndoHistory();
    // Range operations show no progress and cannot be cancelled while this is set.
    void SetNoProgress(BOOL bNoProgress) { m_bNoProgress = bNoProgress; }
    BOOL IsNoProgress() const { return m_bNoProgress; }
    BOOL RecordingUndo(int nMode) const;
    // The grid refuses changes: read-only while the lock honours it.
    BOOL IsReadOnlyLocked();
    // Captures the mouse for the grid window; the window that held it before.
    CWnd* CaptureMouse();
    // Whether a press on the selection frame's edge is offered to the frame-press feature
    // before it counts as a press on the cell.
    void SetClickOnSelectionFrame(BOOL bOn) { m_bClickOnSelectionFrame = bOn; }
    BOOL GetClickOnSelectionFrame() const { return m_bClickOnSelectionFrame; }
    // The frame-press forwarder: FALSE without the feature.
    virtual BOOL OnSelectionFramePress(UINT nFlags, CPoint pt, ROWCOL nRow, ROWCOL nCol);
    // The style type the grid keeps its cells under (0 by default); the styles clipboard reads
    // and writes cells with it.
    void SetStyleAccessType(int nType) { m_nStyleAccessType = nType; }
    int GetStyleAccessType() const { return m_nStyleAccessType; }
    // How a press on a cell moves the current cell (GX_CLICK_*).
    void SetClickOptions(UINT nOptions) { m_nClickOptions = nOptions; }
    UINT GetClickOptions() const { return m_nClickOptions; }
    // The mouse mode of a drag in progress (0: none) and the cell it started on.
    UINT GetMouseMode() const { return m_nMouseFlags; }
    const CGXStyle* GetStandardStyle() const { return m_pStyleStandard; }
    const CGXStyle* GetRowHeaderStyle() const { return m_pStyleRowHeader; }
    const CGXStyle* GetColHeaderStyle() const { return m_pStyleColHeader; }
    const CString& GetWarningText() const { return m_sWarningText; }

    // Selection operations of the engine itself.
    BOOL GetSelectedRanges(CGXRangeList& list, BOOL bIncludeCurrent = FALSE);
    BOOL GetSelectedRowSpans(CDWordArray& starts, CDWordArray& ends, BOOL bIncludeCurrent = FALSE);
    ROWCOL GetSelectedRows(CDWordArray& rows, BOOL bIncludeCurrent = FALSE);
    BOOL LockSelectionFrame(BOOL bLock, BOOL bCreateHint = TRUE);
    void ToggleSelectionFrame();
    BOOL CalcSelectionFrameRect(CRect& rect);
    void DrawSelectionFrame(CDC* pDC, BOOL bDrawOld = TRUE, const CGXRange* pRange = nullptr);
    BOOL FindNext(BOOL bReportFailure);
    BOOL FindTextFrom(ROWCOL& nRow, ROWCOL& nCol, BOOL bCurrentPos);
    void SetSelection(POSITION pos, ROWCOL nTop = 0, ROWCOL nLeft = 0, ROWCOL nBottom = 0, ROWCOL nRight = 0);
    void SetExcelLikeFillImp(CGXAbstractGridExcelLikeFillImp* pImp, BOOL bAutoDelete = TRUE);
    BOOL CopyRange(const CGXRange& range);
    BOOL CutRange(const CGXRange& range, BOOL bStyleOrValue = TRUE);
    BOOL ClearRange(const CGXRange& range, BOOL bStyleOrValue = TRUE);

    // ---- Geometry: sizes, sums, client indices and cell rectangles ----
    // Client indices count rows and columns as drawn: frozen ones keep their number, scrolled
    // ones count on from the top row and left column. GX_INVALID: none, or past the last.
    void GetRowHeights(ROWCOL nFrom, ROWCOL nTo, CArray<int, int>& heights);
    void GetColWidths(ROWCOL nFrom, ROWCOL nTo, CArray<int, int>& widths);
    // The sums stop before the next size once they pass nLimit (0: no limit).
    int SumRowHeights(ROWCOL nFrom, ROWCOL nTo, int nLimit = 0);
    int SumColWidths(ROWCOL nFrom, ROWCOL nTo, int nLimit = 0);
    int SumClientRowHeights(ROWCOL nFrom, ROWCOL nTo, int nLimit = 0);
    int SumClientColWidths(ROWCOL nFrom, ROWCOL nTo, int nLimit = 0);
    int CalcClientRowTop(ROWCOL nClientRow);
    int CalcClientColLeft(ROWCOL nClientCol);
    CRect CalcAreaBelowRow(ROWCOL nRow);
    CRect CalcAreaRightOfCol(ROWCOL nCol);
    ROWCOL CalcClientRowFromPt(CPoint pt, int* pTop = nullptr);
    ROWCOL CalcClientColFromPt(CPoint pt, int* pLeft = nullptr);
    ROWCOL CalcLastVisibleRow(const CRect& rect);
    ROWCOL CalcLastVisibleCol(const CRect& rect);
    ROWCOL CalcLastVisibleRowEx(const CRect& rect, BOOL& bLastRowVisible);
    ROWCOL CalcLastVisibleColEx(const CRect& rect, BOOL& bLastColVisible);
    ROWCOL CalcLastVisibleRowCol(const CRect& rect, ROWCOL& nLastRow, ROWCOL& nLastCol);
    // The last visible row and column of the grid rectangle, cached until the layout changes.
    ROWCOL GetLastVisibleRow();
    ROWCOL GetLastVisibleCol();
    CRect CalcClientRectOfRange(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, BOOL bNoLimit = FALSE);
    CRect CalcRangeRect(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight);
    CRect CalcRangeRectWithSpans(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight);
    CRect CalcCellRect(ROWCOL nRow, ROWCOL nCol) { return CalcRangeRect(nRow, nCol, nRow, nCol); }
    CRect CalcCellRectWithSpans(ROWCOL nRow, ROWCOL nCol) { return CalcRangeRectWithSpans(nRow, nCol, nRow, nCol); }
    ROWCOL RowToClientRow(ROWCOL nRow);
    ROWCOL ColToClientCol(ROWCOL nCol);
    ROWCOL ClientRowToRow(ROWCOL nClientRow);
    ROWCOL ClientColToCol(ROWCOL nClientCol);
    BOOL CalcClientRowColFromPt(CPoint pt, ROWCOL& nClientRow, ROWCOL& nClientCol, CRect* pRectCell = nullptr);
    BOOL CalcClientRowColFromPtClamped(CPoint pt, ROWCOL& nClientRow, ROWCOL& nClientCol);
    CRect& CalcClientCellRect(CRect& rect, ROWCOL nClientRow, ROWCOL nClientCol);
    CRect& CalcNextClientCellRect(CRect& rect, ROWCOL nClientRow, ROWCOL nClientCol);
    // The standard font's size on the screen (the printer pair while printing).
    int GetFontHeight() const { return m_bPrint ? m_dyHeightPr : m_dyHeight; }
    int GetFontWidth() const { return m_bPrint ? m_dxWidthPr : m_dxWidth; }
    void CalcFontMetrics();
    // The standard font's size on the printed page (the printer pair).
    void CalcPrinterFontMetrics();
    // The standard font's average width and height on a DC (10 and 15 without a font).
    void MeasureStandardFont(CDC* pDC, int& nWidth, int& nHeight);
    // Stored sizes to pixels and back, at the grid's zoom.
    int StoredSizeToPixels(LONG nStored, BOOL bRow);
    LONG PixelsToStoredSize(int nPixels, BOOL bRow);
    // The half-width of the zone around a row or column line that resizes it.
    int GetHitTolerance() const { return m_nHitTolerance; }
    void SetHitTolerance(int nTolerance) { m_nHitTolerance = nTolerance > 0 ? nTolerance : 1; }
    // The header-hiding switch: with it on, the header rows and columns are hidden on the
    // screen (through the hide feature), except those the exemption flags keep; printing follows
    // the properties' header flags instead.
    void SetHideHeaders(BOOL bHide);
    BOOL IsHideHeaders() const { return m_bHideHeaders; }
    void SetHeaderRowsExempt(BOOL bExempt) { m_bHeaderRowsExempt = bExempt; }
    void SetHeaderColsExempt(BOOL bExempt) { m_bHeaderColsExempt = bExempt; }
    BOOL IsHeaderRowsExempt() const { return m_bHeaderRowsExempt; }
    BOOL IsHeaderColsExempt() const { return m_bHeaderColsExempt; }
    // Caps a scrolled row's height or column's width to what the window can show.
    void SetFitToWindow(BOOL bRows, BOOL bCols) { m_bFitRows = bRows; m_bFitCols = bCols; }

    // ---- Drawing caches, drawing and redraw ----
    CFont* LookupFont(const CGXFont& font);
    CBrush* LookupBrush(const CGXBrush& brush);
    CPen* LookupPen(const CGXPen& pen);
    CFont* SelectFontZoomed(CDC* pDC, const CGXFont& font);
    CDC* GetGridDC();
    void ReleaseGridDC();
    void SetStyleReadOnly(CGXStyle* pStyle, BOOL bReadOnly);
    // How many GDI objects the caches made: proof that painting reuses them.
    struct GdiCounts {
        long fonts = 0, brushes = 0, pens = 0;
    };
    GdiCounts GetGdiCreationCounts() const { return m_gdiCounts; }
    // 1 paints through a memory bitmap, anything else straight into the target; the old value.
    int SetMemDCDrawing(int nMode);
    // Rows and columns whose cached styles survive a flush (0: none).
    void SetKeepCachedStyles(ROWCOL nRow1, ROWCOL nRow2, ROWCOL nCol1, ROWCOL nCol2);
    BOOL IsStyleCached(ROWCOL nRow, ROWCOL nCol) const;
    BOOL IsRepaintPending() const { return m_bRepaintPending; }
    void SetFrame(BOOL bFrame) { m_bDrawFrame = bFrame; }
    BOOL IsDrawing() const { return m_nDrawingLevel > 0; }
    BOOL GetEraseBackground() const { return m_bEraseBackground; }
    void DrawBorderSide(const CGXPen& pen, const CRect& rect, int nSide, CDC* pDC, const CGXBrush* pInterior);
    void FillRectWithBrush(CDC* pDC, const CRect& rect, const CGXBrush& brush);
    void DrawCellBorders(CDC* pDC, const CRect& rect, const CGXStyle& style);
    CRect CalcMarkerLineRect(int nKind, ROWCOL nClientIndex);
    void DrawMarkerLine(CDC* pDC, int nKind, ROWCOL nClientIndex, UINT nFlags);
    void DrawRowLines(GXDrawState& state, ROWCOL i);
    void DrawColumnLines(GXDrawState& state, ROWCOL j);
    // The last pass: the selected cells inverted, and the current cell framed when it lies
    // outside the selection.
    void DrawSelectionMarks(GXDrawState& state);
    // The outer size of an inner size: borders and grid lines added.
    CSize AddBordersToSize(int cx, int cy, const CGXStyle& style);
    void RedrawRowCol(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, UINT nFlags = GX_INVALIDATE, BOOL bCreateHint = TRUE);
    BOOL IsGridLineSideLeftTop() const;

    // ---- Scrolling and window events ----
    int GetScrollBarMode(int nBar) const;
    BOOL LockScrollbars(BOOL bLock);
    void ScrollWindowEx(int dx, int dy, const CRect& rectScroll, const CRect& rectClip);
    BOOL StartAutoScroll(BOOL bCapture, BOOL bRows, BOOL bCols);
    // Rows or columns per scroll-bar unit.
    int GetScrollFactor(int nBar) const { return nBar == 1 ? m_nVScrollFactor : m_nHScrollFactor; }
    void SetSizeLock(BOOL bLock);
    void AddPlugin(CGXPluginComponent* pPlugin);
    BOOL IsAutoScrolling() const { return m_bAutoScroll; }
    void StopAutoScroll();
    // The last top row and left column that still fill the window.
    ROWCOL CalcMaxTopRow();
    ROWCOL CalcMaxLeftCol();
    // Scrolling leaves the uncovered strip to the next paint instead of painting at once.
    void SetNoImmediateUpdate(BOOL bNoUpdate) { m_bNoImmediateUpdate = bNoUpdate; }
    // The id of the cursor resource last loaded by any grid (0: none yet).
    static UINT GetLoadedCursorId();
    // The timer step of auto-scrolling (the plug-in calls it on timer 992).
    void AutoScrollStep();

    // Hints to the other views of the document.
    void EnableHints(BOOL bEnable = TRUE) { m_bHintsEnabled = bEnable; }
    BOOL IsHintsEnabled() const { return m_bHintsEnabled; }
    // Sends a change to the other views when asked, hints are on and the feature exists.
    BOOL HintsWanted(BOOL bCreateHint) const;
    int GetGridId() const { return m_nGridId; }
    void SetGridId(int nId) { m_nGridId = nId; }
    // While a received hint is replayed nothing is broadcast again, whatever the replayed
    // operation would send on its own.
    BOOL SetReplayingHint(BOOL bReplaying)
    {
        const BOOL bOld = m_bReplayingHint;
        m_bReplayingHint = bReplaying;
        return bOld;
    }

    // Cells as delimited text: the separator written between cells (one TAB when empty), the
    // characters any of which ends a cell when reading (TAB when empty), the clipboard flags
    // (GX_CLIP_*) and the size of the block copied last.
    CString m_sCopySeparator;
    CString m_sPasteSeparator;
    DWORD m_nClipboardFlags = GX_CLIP_TEXT | GX_CLIP_STYLES | 0x0020;
    ROWCOL m_nLastCopiedRows = 0;
    ROWCOL m_nLastCopiedCols = 0;
    // How many cells of the last paste lay past the last row or column, which the clipboard
    // flags kept the grid from adding, and were left out.
    unsigned long long m_nPasteCellsLeftOut = 0;

    // Set while a block of cells changes, so that the changes inside the block do not announce
    // themselves to the data one by one; returns the previous state.
    BOOL LockDataNotify(BOOL bLock)
    {
        const BOOL bOld = m_bDataNotifyLock;
        m_bDataNotifyLock = bLock;
        return bOld;
    }
    BOOL IsDataNotifyLocked() const { return m_bDataNotifyLock; }

    // The feature pointers, installed by the control factory (null: the feature is missing).
    CObject* m_pUnusedImp = nullptr;
    CGXAbstractGridPrintImp* m_pPrintImp = nullptr;
    CGXAbstractGridSortImp* m_pSortImp = nullptr;
    CObject* m_pOldDrawingImp = nullptr;
    CGXAbstractGridCoveredCellsImp* m_pCoveredCellsImp = nullptr;
    CGXAbstractDrawSpannedCellsImp* m_pDrawSpannedCellsImp = nullptr;
    CGXAbstractGridFloatCellsImp* m_pFloatCellsImp = nullptr;
    CGXAbstractGridMergeCellsImp* m_pMergeCellsImp = nullptr;
    CGXCommandFactory* m_pUndoImp = nullptr;
    CGXAbstractCalcSizeImp* m_pCalcSizeImp = nullptr;
    CGXAbstractGridUpdateHintImp* m_pUpdateHintImp = nullptr;
    CGXAbstractGridResizeToFitImp* m_pResizeToFitImp = nullptr;
    CGXAbstractGridHideCellsImp* m_pHideCellsImp = nullptr;
    CGXAbstractGridFindReplaceImp* m_pFindReplaceImp = nullptr;
    CGXAbstractGridUserSelectRangeImp* m_pUserSelectRangeImp = nullptr;
    CGXAbstractGridExcelLikeFrameImp* m_pExcelLikeFrameImp = nullptr;
    CGXAbstractGridExcelLikeFillImp* m_pExcelLikeFillImp = nullptr;
    CGXAbstractGridUserDragSelectRangeImp* m_pUserDragSelectRangeImp = nullptr;
    CGXAbstractGridMoveRowsColsImp* m_pMoveRowsColsImp = nullptr;
    CObject* m_pUserResizeCellsImp = nullptr;
    CObject* m_pOptimizedUpdateImp = nullptr;
    CGXAbstractGridMarkEditHeaderImp* m_pMarkEditHeaderImp = nullptr;
    CGXAbstractGridFreezeMenuHelperImp* m_pFreezeMenuHelperImp = nullptr;
    CGXAbstractGridDirectCopyMoveCellsImp* m_pDirectCopyMoveCellsImp = nullptr;
    CGXAbstractGridTextDataExchangeImp* m_pTextDataExchangeImp = nullptr;
    CGXAbstractGridStyleDataExchangeImp* m_pStyleDataExchangeImp = nullptr;
    CGXAbstractGridCutPasteImp* m_pCutPasteImp = nullptr;
    CGXAbstractGridClearCellsImp* m_pClearCellsImp = nullptr;
    CGXAbstractGridPaintNotifyImp* m_pPaintNotifyImp = nullptr;
    CObject* m_pAutoScrollPlugin = nullptr;
    // Presses on the selection frame's edge, when the click-on-selection-frame switch is on.
    CGXAbstractGridFramePressImp* m_pFramePressImp = nullptr;

    // The mouse-state word, for the features that run a drag of their own (GX_MOUSE_FILL).
    UINT GetMouseFlags() const { return m_nMouseFlags; }
    void SetMouseFlags(UINT nFlags) { m_nMouseFlags = nFlags; }
    BOOL IsFillInProgress() const { return m_bFillInProgress; }
    void SetFillInProgress(BOOL bFill) { m_bFillInProgress = bFill; }
    // The selection frame's state, kept with the grid for the frame feature: whether the frame
    // is on the screen now, and whether it is switched off for the time being.
    BOOL IsSelectionFrameShown() const { return m_bSelectionFrameShown; }
    void SetSelectionFrameShown(BOOL bShown) { m_bSelectionFrameShown = bShown; }
    BOOL IsSelectionFrameHidden() const { return m_bSelectionFrameHidden; }
    void SetSelectionFrameHidden(BOOL bHidden) { m_bSelectionFrameHidden = bHidden; }

    // A drag of selected whole rows or columns to another place: whether it runs, what it
    // moves (GX_DRAGSEL_ROWS or GX_DRAGSEL_COLS, 0 none), a copy of the selected block dragged
    // (a copy, so that no change of the selection list leaves it dangling) and the last drop
    // position, each at least 1.
    struct DragSelectState {
        BOOL bDragging = FALSE;
        int nMode = 0;
        CGXRange block;
        ROWCOL nDropRow = 1, nDropCol = 1;
    };
    DragSelectState m_dragSelect;
    // The marker window that drags show over the cells: made on first use as a hidden child of
    // the grid window (null without a window) and destroyed when the drag ends.
    CGXDragLineWnd* GetDragLineWnd(BOOL bCreate);
    void DestroyDragLineWnd();

protected:
    // The engine as the target of undo commands: the model's operations with the engine's
    // updates around them.
    class CommandTarget;
    // Resolves the three base styles from the styles map again.
    void LookupBaseStyles();
    // The paint path.
    void PaintDirect(CDC* pDC);
    void PaintWithMemDC(CDC* pDC);
    void DrawFrameLines(CDC* pDC, const CRect& grid, int nInset);
    void DrawVisibleCells(CDC* pDC, const CRect& grid);
    void PrepareCell(GXDrawState& state, ROWCOL i, ROWCOL j);
    void RowBackground(GXDrawState& state, ROWCOL i);
    void DrawStateCell(GXDrawState& state, ROWCOL i, ROWCOL j);
    // Scrolling: the last top row and left column that still fill the window, where the scroll
    // bars live, and a scroll unit back to the row or column it stands for.
    HWND ScrollBarTarget(int nBar, int& nTargetBar);
    int ScrollUnitToIndex(int nBar, int nUnit);
    BOOL HandleScrollBar(BOOL bVert, UINT nSBCode, UINT nPos);
    // Scrolls by the wheel's whole notches, the rest kept for the next turn; nDelta positive
    // towards the first row (column).
    BOOL WheelScroll(BOOL bVert, int nDelta);
    // How many columns one notch sideways passes over from the left column, at most nLines,
    // bForward to the right.
    ROWCOL WheelColumnStep(BOOL bForward, UINT nLines);
    // The spans of floating or merged cells that reach from the frozen rows (columns) into the
    // scrolled ones starting at nFirstScrolled, among the rows (columns) on the screen.
    void CollectSpansAcrossFrozenEdge(BOOL bRows, ROWCOL nFirstScrolled, std::vector<CGXRange>& spans);
    BOOL IsColSelectedForDrag(ROWCOL nCol);
    BOOL IsRowSelectedForDrag(ROWCOL nRow);
public:
    struct ClickOps;

protected:
    // The cell-click operations of the three buttons, apart from the control operations.
    BOOL ClickedRowCol(const ClickOps& ops, ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol, UINT nFlags, CPoint pt,
                       UINT nHitState);
    // The start of every button press: FALSE when the press cancels what runs instead.
    BOOL BeginButtonPress(UINT nFlags, CPoint point, UINT nOtherButtons, int& nHit, ROWCOL& nRow, ROWCOL& nCol);
    // The cell-click operation of a button (MK_LBUTTON, MK_MBUTTON or MK_RBUTTON).
    BOOL ReportClick(UINT nButton, ROWCOL nRow, ROWCOL nCol, UINT nFlags, CPoint pt, UINT nHitState);
    BOOL ButtonDown(UINT nButton, UINT nFlags, CPoint point);
    BOOL ButtonUp(UINT nButton, UINT nFlags, CPoint point);
    BOOL ButtonDblClk(UINT nButton, UINT nFlags, CPoint point);
    // Asks the auto-scroll plug-in to scroll while a drag from this cell goes past the edge.
    void RequestDragAutoScroll(ROWCOL nRow, ROWCOL nCol);
    // Rows a page holds below the frozen rows, counted from the top row (at least one).
    ROWCOL RowsPerPage(BOOL bUp);
    void RedrawAfterStructureChange(UINT nFlags);
    // A style change cancelled by the user after the cells of done were stored: rolled back to
    // the old styles, or, without them, only redrawn.
    BOOL CancelStyleRange(const CGXRange& range, const CGXRange& cells, const CGXRange& done,
                          std::unique_ptr<CGXSetStyleRangeCmd>& undo, int nType, UINT nFlags);
    BOOL m_bNoProgress = FALSE;
    // After an insertion or a removal: moves what is still right with the window's pixels when
    // the optimized-update feature is installed, else redraws as RedrawAfterStructureChange.
    void UpdateAfterInsert(BOOL bRows, ROWCOL nFrom, ROWCOL nCount, UINT nFlags);
    void UpdateAfterRemove(BOOL bRows, ROWCOL nFrom, ROWCOL nTo, UINT nFlags);
    void KeepRemovedSizes(BOOL bRows, ROWCOL nFrom, ROWCOL nTo);
    std::vector<int> m_removedSizes;
    BOOL m_bRemovedSizesValid = FALSE;
    BOOL m_bRemovedSizesRows = FALSE;
    ROWCOL m_nRemovedFrom = 0;
    ROWCOL m_nRemovedTo = 0;
    // The current cell's row or column went: no current cell, its control hidden and unbound.
    void DropCurrentCell();

    std::vector<std::unique_ptr<CObject>> m_autoDelete; // newest first
    CGXGridAppData* m_pAppData;
    CWnd* m_pGridWnd;
    CDocument* m_pGridDoc;
    BOOL m_bIsViewContext;
    BOOL m_bHintsEnabled = FALSE;
    BOOL m_bReplayingHint = FALSE;
    int m_nGridId = 0;

    std::vector<CGXStyle*> m_freeStyles; // recycled working styles, at most 500
    CGXStyle* m_pStyleEdit = nullptr;
    CGXStyle* m_pStyleGetValue = nullptr;
    CGXStyle* m_pStyleValue = nullptr;
    CRuntimeClass* m_pStyleClass = nullptr;
    CGXRange m_rgLastSelectionFrame;

    std::map<WORD, std::unique_ptr<CGXControl>> m_controls;
    CRuntimeClass* m_pDataClass;

    const CGXStyle* m_pStyleRowHeader = nullptr;
    const CGXStyle* m_pStyleColHeader = nullptr;
    const CGXStyle* m_pStyleStandard = nullptr;

    int m_nZoom = 100;
    ROWCOL m_nCurrentRow = 0;
    ROWCOL m_nCurrentCol = 0;
    ROWCOL m_nTopRow = 1;
    ROWCOL m_nLeftCol = 1;
    int m_nVScrollFactor = 2;
    int m_nHScrollFactor = 2;
    // The part of a notch a fine-stepped wheel turned, rows and columns.
    int m_nWheelRowDelta = 0;
    int m_nWheelColDelta = 0;
    CGXControl* m_pCurrentCellControl = nullptr;
    BOOL m_bActiveFrame = FALSE;
    BOOL m_bCurrentCell = FALSE;
    BOOL m_bLockCurrentCell = FALSE; // a replayed command remembers its place instead of moving there
    ROWCOL m_nPendingRow = 0;
    ROWCOL m_nPendingCol = 0;
    BOOL m_bPendingSetCurrent = FALSE;
    BOOL m_bDataNotifyLock = FALSE;
    CString m_sWarningText;

    // Current cell and mouse state (moves, warnings, drags).
    BOOL m_bMovingCurrentCell = FALSE; // the old cell is being left
    BOOL m_bWarningShown = FALSE;
    BOOL m_bFocusInside = FALSE;
    ROWCOL m_nLastEnteredRow = GX_INVALID;
    ROWCOL m_nLastEnteredCol = GX_INVALID;
    CGXStyle* m_pStyleCurrentCell = nullptr; // the current cell's style, looked up on entering
    CGXControl* m_pDefaultControl = nullptr;
    WORD m_nLastControlId = 0;
    CGXControl* m_pLastControl = nullptr;
    UINT m_nMouseFlags = 0;  // 0 idle; 1 a drag, with GX_MOUSE_CTRL and GX_MOUSE_CURRENT; GX_MOUSE_FILL
    // Set while the fill handle's drop fills cells, so that cell hooks can tell a fill.
    BOOL m_bFillInProgress = FALSE;
    BOOL m_bSelectionFrameShown = FALSE;
    BOOL m_bSelectionFrameHidden = FALSE;
    UINT m_nButtonFlags = 0; // key flags of the press
    UINT m_nClickOptions = 0;
    int m_nStyleAccessType = 0;
    ROWCOL m_nMouseStartRow = 0, m_nMouseStartCol = 0;
    ROWCOL m_nMouseLastRow = 0, m_nMouseLastCol = 0;
    BOOL m_bMousePressed = FALSE;
    BOOL m_bClickedInCurrentCell = FALSE;
    BOOL m_bMovedWhilePressed = FALSE;
    BOOL m_bClickOnSelectionFrame = FALSE;
    BOOL m_bCursorFreeze = FALSE;
    CString m_sCellValue; // GetCellValue's answer

    int m_dyHeight = 15; // standard font on the screen
    int m_dxWidth = 10;
    // The same font at 100%: row heights and column widths are kept relative to it and then
    // zoomed exactly, since the zoomed font's whole-pixel metrics grow in steps.
    int m_dyHeightUnzoomed = 0;
    int m_dxWidthUnzoomed = 0;

    CGXGridParam* m_pParam = nullptr;
    BOOL m_bOwnParam = FALSE;
    BOOL m_bInitDone = FALSE;
    BOOL m_bTtnIsEnabled = FALSE;
    CString m_strToolTipText; // the text of the tool last hit, until the tip has copied it

    BOOL m_bPrint = FALSE;
    CRect m_rectPrint;
    ROWCOL m_nPrintTopRow = 1;
    ROWCOL m_nPrintLeftCol = 1;
    CRect m_rectDisplay;
    BOOL m_bDisplayRect = FALSE;

    int m_nFrameX, m_nFrameY, m_nBorderX, m_nBorderY;
    HCURSOR m_hcurArrow;

    UINT m_nCursorOverride = 0;

    // Geometry.
    ROWCOL m_nLastVisibleRow = GX_INVALID;
    ROWCOL m_nLastVisibleCol = GX_INVALID;
    BOOL m_bHideHeaders = FALSE;
    BOOL m_bHeaderRowsExempt = FALSE;
    BOOL m_bHeaderColsExempt = FALSE;
    BOOL m_bFitRows = TRUE;
    BOOL m_bFitCols = TRUE;
    int m_nHitTolerance = 4;
    int m_dyHeightPr = 15; // standard font on the printer
    int m_dxWidthPr = 10;
    // The running position of CalcClientCellRect and CalcNextClientCellRect.
    int m_nCalcX = 0, m_nCalcY = 0;
    ROWCOL m_nCalcClientRow = 0, m_nCalcClientCol = 0;

    // Drawing.
    std::unique_ptr<CGXGridGdiCache> m_pGdiCache;
    GdiCounts m_gdiCounts;
    std::map<std::pair<ROWCOL, ROWCOL>, CGXStyle*> m_cellStyleCache;
    std::vector<CGXStyle*> m_pendingDeleteStyles;
    std::unique_ptr<CGXStyle> m_pCurrentCellStyle;
    BOOL m_bCacheCurrentCell = TRUE;
    BOOL m_bKeepGdi = FALSE;
    ROWCOL m_nKeepRows[2] = {0, 0};
    ROWCOL m_nKeepCols[2] = {0, 0};
    BOOL m_bKeepCurrentStyle = FALSE;
    std::unique_ptr<CDC> m_pGridDC;
    HGDIOBJ m_hOldGridDCFont = nullptr;
    int m_nMemDCMode = 1;
    int m_nDrawingLevel = 0;
    GXDrawState* m_pDrawState = nullptr;
    BOOL m_bRepaintPending = FALSE;
    BOOL m_bLayoutChanged = FALSE;
    BOOL m_bDrawFrame = FALSE;
    BOOL m_bFloatUpdate = FALSE;
    BOOL m_bEraseBackground = FALSE;
    BOOL m_bInvertCurrentCell = FALSE;
    BOOL m_bMouseActivated = FALSE;
    std::vector<CRect> m_exclusionRects;
    // In float-update mode, one cell per row the last paint drew again: the row and the column
    // after the painted range. Each paint replaces it.
    CGXRangeList m_floatUpdateRanges;
    // The memory path's bitmap, kept between paints while it is large enough.
    std::unique_ptr<CBitmap> m_pMemBitmap;
    CSize m_sizeMemBitmap;

    // Scrolling.
    int m_nVScrollMode = 0;
    int m_nHScrollMode = 0;
    BOOL m_bLockScrollbars = FALSE;
    BOOL m_bScrollRangeSet = FALSE;
    ROWCOL m_nSBRowCount = GX_INVALID;
    ROWCOL m_nSBColCount = GX_INVALID;
    BOOL m_bUpdateScrollbarsBusy = FALSE;
    BOOL m_bScrolling = FALSE;
    ROWCOL m_nOldTopRow = 0;
    ROWCOL m_nOldLeftCol = 0;
    BOOL m_bNoImmediateUpdate = FALSE;
    BOOL m_bAutoScroll = FALSE;
    BOOL m_bAutoScrollRows = FALSE;
    BOOL m_bAutoScrollCols = FALSE;
    int m_nAutoScrollCounter = 0;
    UINT_PTR m_nAutoScrollTimer = 0;
    int m_nAutoScrollDirection = -1;
    BOOL m_bAutoScrollStop = FALSE;
    CGXDragLineWnd* m_pDragLineWnd = nullptr;
    BOOL m_bScrollbarAutoScroll = TRUE;
    BOOL m_bKeyboardAutoScroll = FALSE; // a held navigation key repeats by auto-scrolling
    BOOL m_bAutoScrollKeyMode = FALSE; // the request comes from a held key
    UINT m_nAutoScrollKey = 0;
    UINT m_nAutoScrollKeyFlags = 0;
    friend class CGXAutoScrollPlugin;
    friend class CGXGridOldDrawingImp;
    friend class CGXDrawSpannedCellsImp;
    friend class CGXGridOptimizedUpdateImp;
    friend class CGXGridPrintImp;
    BOOL m_bOldDrawing = FALSE; // the older drawing order drew once and keeps the grid

    // Window events.
    BOOL m_bSizeLock = FALSE;
    CRect m_rectDueBeforeSize;   // what was to be painted when the size began to change
    int m_nOldClientWidth = 0;
    // Where the client area lay in its top-level window at the last sizing: a window moved
    // within it shows none of its old pixels, and a resize then cannot keep what is drawn.
    POINT m_ptOldClientOrigin{0, 0};
    int m_nOldClientHeight = 0;
    BOOL m_bParentZoomed = FALSE;
    HWND m_hWndLastFocus = nullptr; // the window that had the focus before the grid
    BOOL m_bFocusChange = FALSE;
    BOOL m_bRefocus = FALSE;
    BOOL m_bFocusLost = FALSE;
    std::unique_ptr<CGXGridAssistant> m_pAssistant;
    BOOL m_bAssistantEnabled = TRUE;
    std::vector<CGXPluginComponent*> m_plugins;
    BOOL m_bTracking = FALSE;
    int m_nTrackingMode = 0;
    ROWCOL m_nTrackRow = 0;
    ROWCOL m_nTrackCol = 0;
};

// Marks a focus move of the grid's own for its lifetime, and gives back the mark it found.
class CGXGridFocusChange {
public:
    explicit CGXGridFocusChange(CGXGridCore* pGrid) : m_pGrid(pGrid), m_bOld(pGrid != nullptr && pGrid->IsFocusChange())
    {
        if (m_pGrid != nullptr)
            m_pGrid->SetFocusChange(TRUE);
    }
    ~CGXGridFocusChange()
    {
        if (m_pGrid != nullptr)
            m_pGrid->SetFocusChange(m_bOld);
    }
    CGXGridFocusChange(const CGXGridFocusChange&) = delete;
    CGXGridFocusChange& operator=(const CGXGridFocusChange&) = delete;

private:
    CGXGridCore* m_pGrid;
    BOOL m_bOld;
};

// Keeps the spreadsheet-like selection frame hidden for its lifetime, so that a structure
// operation does not draw it half-way, and gives back the state it found on every exit.
class CGXSelectionFrameLock {
public:
    explicit CGXSelectionFrameLock(CGXGridCore* pGrid) : m_pGrid(pGrid), m_bOld(pGrid != nullptr && pGrid->LockSelectionFrame(TRUE, TRUE)) {}
    ~CGXSelectionFrameLock()
    {
        if (m_pGrid != nullptr)
            m_pGrid->LockSelectionFrame(m_bOld, TRUE);
    }
    CGXSelectionFrameLock(const CGXSelectionFrameLock&) = delete;
    CGXSelectionFrameLock& operator=(const CGXSelectionFrameLock&) = delete;

private:
    CGXGridCore* m_pGrid;
    BOOL m_bOld;
};
