// The grid services the META setting types use: the page grid view (CGridViewWrapper and
// CGroupView in the application), the catalogue editor's grid (CGridWndWrapper) and one cell's
// style. The application implements them over its grids; tests implement them with fakes.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CStringList;
class CPageNode;
class CGXRangeList;

// Row and column numbers of the grids: unsigned 32-bit, as the grid counts them.
typedef DWORD ROWCOL;

// One cell's style while a found or typed text is put into it.
class IMetaCellStyle {
public:
    virtual ~IMetaCellStyle() = default;
    // Sets the cell's value and marks the value as set in the style.
    virtual void SetValue(const CString& strValue) = 0;
};

// Cell kinds of the page grid over a range of cells (top row, left column, bottom row, right
// column); each returns 0.
class IGridViewWrapper {
public:
    virtual ~IGridViewWrapper() = default;
    // A one-line edit control.
    virtual UINT SetEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) = 0;
    // A multi-line edit control with a vertical scroll bar.
    virtual UINT SetScrollEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) = 0;
    // A drop-down list whose choices are the options.
    virtual UINT SetDropDownListCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                     const CStringList& options) = 0;
    // An editable combo box with the options.
    virtual UINT SetComboBoxCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                 const CStringList& options) = 0;
    // Text with a button; pressing it makes the grid call the setting's EditValue.
    virtual UINT SetHotspotCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) = 0;
    // A check box whose checked value is "1".
    virtual UINT SetCheckboxCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) = 0;
    // The cell's text (the editor's text while that cell is being edited).
    virtual UINT GetCellText(ROWCOL nRow, ROWCOL nCol, CString& strText) = 0;
    // The number of rows below the header row.
    virtual ROWCOL GetRowCount() = 0;
};

// What a group action did to the pages it was given.
struct GroupActionOutcome {
    int nAction = 0;   // which of the setting's actions ran
    UINT nChanged = 0; // pages given a new value
    UINT nWithout = 0; // pages left as they were: they hold nothing the action takes (no suggestions)
    UINT nAlready = 0; // pages left as they were: they held the new value already
};

// The page grid view: one row per page, one column per shown setting.
class IGroupView : public IGridViewWrapper {
public:
    // What the group action that runs did, told once at its end; the view tells the user when
    // the action's cells are stored.
    virtual void NoteGroupActionOutcome(const GroupActionOutcome& outcome) = 0;
    // Writes the text into the cell and, on success, marks the application's edit state;
    // 0, or 1 when the cell refuses the text.
    virtual UINT SetCellValue(ROWCOL nRow, ROWCOL nCol, const CString& strText) = 0;
    // 0 with the row that shows the page, 1 when no row does.
    virtual UINT FindRowOfPage(const CGXRangeList* pRanges, CPageNode* pPage, ROWCOL& nRow) = 0;
    // Told by a group action before each of its pages (nDone of nPages gone through): the view
    // shows the progress and lets the user stop. FALSE once the user stopped the action: the
    // setting changes no more pages, and the view gives back those it changed.
    virtual BOOL GoOnWithGroupAction(UINT /*nDone*/, UINT /*nPages*/) { return TRUE; }
};

// The catalogue editor's grid: one row per setting, with an attributes column whose cell each
// setting type lays out itself.
class IGridWndWrapper {
public:
    virtual ~IGridWndWrapper() = default;
    // The column that holds the attributes cells.
    virtual ROWCOL GetAttributesColumn() const = 0;
    virtual UINT SetStaticCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) = 0;
    virtual UINT SetCellValue(ROWCOL nRow, ROWCOL nCol, const CString& strText) = 0;
    // A push button; pressing it makes the grid call the setting's EditOptions.
    virtual UINT SetPushbuttonCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                   const CString& strCaption) = 0;
    virtual UINT SetEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                             const CString& strText) = 0;
    virtual UINT GetCellText(ROWCOL nRow, ROWCOL nCol, CString& strText) = 0;
};
