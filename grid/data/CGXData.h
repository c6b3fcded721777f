// CGXData: the grid's cell store: a style per cell (header cells included), a base style per
// row and per column, and the table's style. Equal styles are shared (see GXStylePool), so a
// cell with a style costs a pointer, and cells beyond the last stored one cost nothing.
#pragma once

#include "grid/data/CGXRange.h"
#include "grid/data/GXStylePool.h"
#include "platform/core/CObject.h"
#include "platform/core/CPtrArray.h"

#include <vector>

class CGXGridParam;

using ROWCOL = DWORD;

// Style types of the store operations: -1 addresses a base style, 0 and above a cell's style.
inline constexpr int gxBaseStyleType = -1;

class CGXData : public CObject {
    DECLARE_DYNCREATE(CGXData)
public:
    CGXData();
    ~CGXData() override;

    // Called once after the store was attached to its parameter object.
    virtual void InitParam(CGXGridParam* pParam);
    CGXGridParam* GetParam() const { return m_pParam; }

    virtual BOOL SetRowCount(ROWCOL nRows);
    virtual BOOL SetColCount(ROWCOL nCols);
    virtual ROWCOL GetRowCount() const { return m_nRows; }
    virtual ROWCOL GetColCount() const { return m_nCols; }

    // Inserts empty rows before nFirst (1..count+1); FALSE for a place past the end or a count
    // that would overflow.
    virtual BOOL InsertRows(ROWCOL nFirst, ROWCOL nCount);
    virtual BOOL InsertCols(ROWCOL nFirst, ROWCOL nCount);
    // Removes nFirst..nLast (clipped to the count); nothing, and TRUE, when nFirst is beyond it.
    virtual BOOL RemoveRows(ROWCOL nFirst, ROWCOL nLast);
    virtual BOOL RemoveCols(ROWCOL nFirst, ROWCOL nLast);
    // Moves the block nFrom..nTo so that its first row ends up at nDest; TRUE when something moved.
    virtual BOOL MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest);
    virtual BOOL MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest);
    // Reorders the rows of a range: new row range.top + i takes old row order[i]. The order
    // must be a permutation of the range's rows; otherwise FALSE and nothing changes.
    virtual BOOL MoveDataRows(const CGXRange& range, const CDWordArray& order);
    virtual BOOL MoveDataCols(const CGXRange& range, const CDWordArray& order);
    // Copies (or moves) the cell styles of a cell range so that its top-left lands at the
    // destination; FALSE when either block leaves the counts.
    virtual BOOL CopyCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol);
    virtual BOOL MoveCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol);

    // Stores a cell's style, or with type -1 a row's base style (row above 0, column 0), a
    // column's (row 0, column above 0) or the table's (both 0). No style, or gxRemove, removes
    // it. TRUE when something changed; FALSE for a cell outside the counts or past the
    // 16,777,215th row or 1,048,575th column, where nothing can be stored.
    virtual BOOL StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nMode, int nType = 0);
    // StoreStyle for every cell of a cell range (the bounds as stored, whatever the kind);
    // TRUE when any cell changed. Cells without a style of their own take one shared copy.
    virtual BOOL StoreStyleRange(const CGXRange& cells, const CGXStyle* pStyle, int nMode, int nType = 0);
    // Applies the stored style to the given one in the change mode; FALSE when nothing is
    // stored or the cell lies outside the counts.
    virtual BOOL GetStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int nMode, int nType = 0) const;
    // The stored style itself, or null; valid until the next change of the store.
    const CGXStyle* LookupStyle(ROWCOL nRow, ROWCOL nCol, int nType = 0) const;

    // Transaction hooks around storing a cell control's edit: a data object kept elsewhere (a
    // database behind the grid) opens a transaction before the store and commits or rolls it
    // back after it; EndEdit's answer says whether the edit may stand. The cell store keeps
    // everything at once, so it has nothing to open and agrees to every edit.
    virtual void BeginEdit(ROWCOL /*nRow*/, ROWCOL /*nCol*/) {}
    virtual void CommitEdit() {}
    virtual void RollbackEdit() {}
    virtual BOOL EndEdit(ROWCOL /*nRow*/, ROWCOL /*nCol*/, BOOL /*bStored*/) { return TRUE; }

    // Undo information of a data object kept elsewhere: while recording is on it collects what
    // an undo of the grid's operation needs; the grid takes it into its undo command, hands it
    // back when the command runs and drops it when the operation failed. The cell store's undo
    // lives wholly in the grid's commands, so it records nothing.
    virtual BOOL SetUndoRecording(BOOL /*bRecord*/) { return FALSE; }
    virtual CObject* TakeUndoInfo() { return nullptr; }
    // Applies information an undo command keeps (the command still owns it); TRUE when the
    // grid must refresh its view of the data afterwards.
    virtual BOOL ApplyUndoInfo(const CObject* /*pInfo*/, BOOL /*bUndo*/, BOOL /*bBefore*/) { return FALSE; }
    virtual void DiscardUndoInfo() { delete TakeUndoInfo(); }

    // Extension operations for a store whose cells come from elsewhere (a database, a file):
    // the grid tells it of the cell it is about to show, of single cells and ranges that
    // changed, and asks it for the last error. This store keeps everything itself: each
    // answers 0.
    virtual BOOL NotifyDataAtCell(ROWCOL /*nRow*/, ROWCOL /*nCol*/) { return FALSE; }
    virtual BOOL NotifyDataCell(ROWCOL /*nRow*/, ROWCOL /*nCol*/, UINT /*nFlags*/) { return FALSE; }
    virtual BOOL NotifyDataChanged(UINT /*nFlags*/) { return FALSE; }
    virtual BOOL NotifyDataRange(UINT /*nFlags*/) { return FALSE; }
    virtual void ResetDataState() {}
    virtual BOOL GetDataErrorText(CString& /*sError*/) { return FALSE; }

    // A range is about to change, and the change is over; a store that mirrors itself
    // elsewhere batches its writes between the two.
    virtual void BeginChange(const CGXRange& /*range*/) {}
    virtual void EndChange(BOOL /*bChanged*/) {}

    // The number of distinct styles kept: a measure of how well cells share.
    size_t GetSharedStyleCount() const { return m_pool.GetCount(); }

private:
    using Row = std::vector<GXStyleRef>;
    GXStyleRef* Slot(ROWCOL nRow, ROWCOL nCol, int nType, bool bCreate);
    const GXStyleRef* Slot(ROWCOL nRow, ROWCOL nCol, int nType) const;
    static void TrimRow(Row& row);
    BOOL TransferCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol, bool bMove);

    CGXGridParam* m_pParam = nullptr;
    ROWCOL m_nRows = 0;
    ROWCOL m_nCols = 0;
    // The pool outlives every reference below it.
    GXStylePool m_pool;
    std::vector<Row> m_cells; // by row; rows and row ends past the last stored cell are absent
    // No row of m_cells is longer: a column added after every stored cell (as a scan adds them)
    // then touches no row.
    size_t m_nLongestRow = 0;
    std::vector<GXStyleRef> m_rowStyles;
    std::vector<GXStyleRef> m_colStyles;
    GXStyleRef m_tableStyle;
};
