// Undo commands: each holds what it takes to reverse one operation and replays it on a
// command target. CGXBlockCmd groups the commands of a transaction.
#pragma once

#include "grid/data/CGXCollMapDWordToLong.h"
#include "grid/data/CGXProperties.h"
#include "grid/data/CGXStylesMap.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/core/CPtrArray.h"
#include "platform/core/CPtrList.h"

#include <memory>

class CGXCommand : public CObject {
    DECLARE_DYNAMIC(CGXCommand)
public:
    ~CGXCommand() override = default;
    virtual BOOL Execute(IGXCommandTarget& target, int nMode) = 0;
    // Whether the user may stop the command part-way: running it again whole afterwards gives
    // what it reached the same result and does the rest. Any other runs to its end once begun.
    virtual BOOL CanStopInside() const { return FALSE; }

    CString m_sDescription;
    // The place the command changed, shown after it was undone or redone (GX_INVALID: none).
    ROWCOL m_nRow = GX_INVALID;
    ROWCOL m_nCol = GX_INVALID;

protected:
    CGXCommand() = default;
};

// The commands of one transaction, undone newest first.
class CGXBlockCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXBlockCmd)
public:
    explicit CGXBlockCmd(const CString& description = CString());
    ~CGXBlockCmd() override;
    BOOL Execute(IGXCommandTarget& target, int nMode) override;
    // A broken block takes the command only to delete it.
    void Add(CGXCommand* pCmd);
    INT_PTR GetCount() const { return m_commands.GetCount(); }
    // Hands the only command out (the block gives it up); null unless there is exactly one.
    CGXCommand* DetachSingle();
    // Hands out the newest command, the one a replay runs first (the block gives it up); null
    // when the block is empty.
    CGXCommand* DetachNewest();
    // What was done inside the block went on without undo: its commands no longer take back
    // all it did. They go, and so does any command added later; the block records nothing.
    void Break();
    BOOL IsBroken() const { return m_bBroken; }

private:
    CObList m_commands;
    BOOL m_bBroken = FALSE;
};

// An owned array of style copies (null where a cell had none); frees them when destroyed.
class CGXStyleArray : public CObArray {
public:
    CGXStyleArray() = default;
    ~CGXStyleArray() override;
};

class CGXRemoveRowsCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXRemoveRowsCmd)
public:
    CGXRemoveRowsCmd(ROWCOL nFrom, ROWCOL nTo) : m_nFrom(nFrom), m_nTo(nTo) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override { return target.RemoveRows(m_nFrom, m_nTo, nMode); }
    ROWCOL m_nFrom, m_nTo;
};

class CGXRemoveColsCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXRemoveColsCmd)
public:
    CGXRemoveColsCmd(ROWCOL nFrom, ROWCOL nTo) : m_nFrom(nFrom), m_nTo(nTo) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override { return target.RemoveCols(m_nFrom, m_nTo, nMode); }
    ROWCOL m_nFrom, m_nTo;
};

// The inverse of a removal: the rows come back with their heights, cell and row styles.
class CGXInsertRowsCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXInsertRowsCmd)
public:
    CGXInsertRowsCmd(ROWCOL nRow, ROWCOL nCount, ROWCOL nColCount) : m_nRow(nRow), m_nCount(nCount), m_nColCount(nColCount) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override;
    ROWCOL m_nRow, m_nCount, m_nColCount;
    CGXCollMapDWordToLong m_Heights;
    CGXStyleArray m_CellStyles;
    CGXStyleArray m_RowStyles;
};

class CGXInsertColsCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXInsertColsCmd)
public:
    CGXInsertColsCmd(ROWCOL nCol, ROWCOL nCount, ROWCOL nRowCount) : m_nCol(nCol), m_nCount(nCount), m_nRowCount(nRowCount) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override;
    ROWCOL m_nCol, m_nCount, m_nRowCount;
    CGXCollMapDWordToLong m_Widths;
    CGXStyleArray m_CellStyles;
    CGXStyleArray m_ColStyles;
};

class CGXMoveRowsCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXMoveRowsCmd)
public:
    CGXMoveRowsCmd(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) : m_nFrom(nFrom), m_nTo(nTo), m_nDest(nDest) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override { return target.MoveRows(m_nFrom, m_nTo, m_nDest, nMode); }
    ROWCOL m_nFrom, m_nTo, m_nDest;
};

class CGXMoveColsCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXMoveColsCmd)
public:
    CGXMoveColsCmd(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) : m_nFrom(nFrom), m_nTo(nTo), m_nDest(nDest) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override { return target.MoveCols(m_nFrom, m_nTo, m_nDest, nMode); }
    ROWCOL m_nFrom, m_nTo, m_nDest;
};

class CGXMoveDataRowsCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXMoveDataRowsCmd)
public:
    CGXMoveDataRowsCmd(const CGXRange& range, const CDWordArray& order);
    BOOL Execute(IGXCommandTarget& target, int nMode) override { return target.MoveDataRows(m_range, m_order, nMode); }
    CGXRange m_range;
    CDWordArray m_order;
};

class CGXMoveDataColsCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXMoveDataColsCmd)
public:
    CGXMoveDataColsCmd(const CGXRange& range, const CDWordArray& order);
    BOOL Execute(IGXCommandTarget& target, int nMode) override { return target.MoveDataCols(m_range, m_order, nMode); }
    CGXRange m_range;
    CDWordArray m_order;
};

// Moves a block of cells; the undo of a move is the move back (see GXCreateMoveCellsUndo).
class CGXMoveCellsCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXMoveCellsCmd)
public:
    CGXMoveCellsCmd(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol) : m_range(range), m_nDestRow(nDestRow), m_nDestCol(nDestCol) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override { return target.MoveCells(m_range, m_nDestRow, m_nDestCol, nMode); }
    CGXRange m_range;
    ROWCOL m_nDestRow, m_nDestCol;
};

class CGXSetFrozenRowsCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXSetFrozenRowsCmd)
public:
    CGXSetFrozenRowsCmd(ROWCOL nFrozen, ROWCOL nHeader) : m_nFrozen(nFrozen), m_nHeader(nHeader) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override { return target.SetFrozenRows(m_nFrozen, m_nHeader, nMode); }
    ROWCOL m_nFrozen, m_nHeader;
};

class CGXSetFrozenColsCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXSetFrozenColsCmd)
public:
    CGXSetFrozenColsCmd(ROWCOL nFrozen, ROWCOL nHeader) : m_nFrozen(nFrozen), m_nHeader(nHeader) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override { return target.SetFrozenCols(m_nFrozen, m_nHeader, nMode); }
    ROWCOL m_nFrozen, m_nHeader;
};

// The old styles of a range, one per cell in row-major order (null where none was stored).
class CGXSetStyleRangeCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXSetStyleRangeCmd)
public:
    CGXSetStyleRangeCmd(const CGXRange& range, int nType) : m_range(range), m_nType(nType) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override;
    // Each cell gets its own style whatever it held: stopped and run again, nothing differs.
    BOOL CanStopInside() const override { return TRUE; }
    CGXRange m_range;
    int m_nType;
    CGXStyleArray m_Styles;
};

// The undo of copying the cells of a cell range to the destination, taken before the copy: the
// destination's present styles. Null when the destination leaves the store's counts.
CGXSetStyleRangeCmd* GXCreateCopyCellsUndo(const CGXData& data, const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol);
// The undo of moving them, taken before the move: the move back, then the destination's former
// styles put back, as one step. A move overwrites the destination, so the move back alone would
// leave the cells it covered empty.
CGXCommand* GXCreateMoveCellsUndo(const CGXData& data, const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol);

class CGXChangeStylesMapCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXChangeStylesMapCmd)
public:
    explicit CGXChangeStylesMapCmd(const CGXStylesMap& old) : m_old(old) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override { return target.ChangeStylesMap(m_old, nMode); }
    CGXStylesMap m_old;
};

class CGXChangePropertiesCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXChangePropertiesCmd)
public:
    explicit CGXChangePropertiesCmd(const CGXProperties& old) : m_old(old) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override { return target.ChangeProperties(m_old, nMode); }
    CGXProperties m_old;
};

class CGXChangeBaseStyleCmd : public CGXCommand {
    DECLARE_DYNAMIC(CGXChangeBaseStyleCmd)
public:
    CGXChangeBaseStyleCmd(WORD nID, const CGXStyle& old, const CString& name) : m_nID(nID), m_old(old), m_sName(name) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override { return target.ChangeBaseStyle(m_nID, m_old, gxCopy, nMode); }
    WORD m_nID;
    CGXStyle m_old;
    CString m_sName;
};
