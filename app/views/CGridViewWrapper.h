// CGridViewWrapper: the application's grid view: the cell kinds the META setting types give
// their columns, header and row helpers, the single-cell and sort-range questions of the
// commands, and zoom steps.
#pragma once

#include "engine/meta/IMetaSettingUi.h"
#include "grid/core/CGXGridView.h"

class CGXStyle;
class CGXRange;
class CStringArray;

class CGridViewWrapper : public CGXGridView, public IGridViewWrapper {
    DECLARE_DYNCREATE(CGridViewWrapper)
public:
    CGridViewWrapper() = default;
    ~CGridViewWrapper() override = default;

    // ---- Cell kinds (rows nTop..nBottom of columns nLeft..nRight); 0 when applied ----
    UINT SetEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) override;
    UINT SetScrollEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) override;
    UINT SetDropDownListCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                             const CStringList& options) override;
    UINT SetComboBoxCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                         const CStringList& options) override;
    UINT SetHotspotCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) override;
    UINT SetCheckboxCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight) override;
    // The editor's text while that cell is being edited, else the cell's value as shown.
    UINT GetCellText(ROWCOL nRow, ROWCOL nCol, CString& strText) override;
    ROWCOL GetRowCount() override { return CGXGridCore::GetRowCount(); }

    // ---- Headers ----
    // Only when the count matches the texts (else 1): columns 1..n get the texts in row 0 and
    // their widths fitted to them; a grid without rows gets one row of static cells. 0.
    UINT SetHeaders(ROWCOL nCount, const CStringArray& headers);
    UINT SetHeaderText(ROWCOL nRow, ROWCOL nCol, const CString& strText);
    UINT SetHeaderTooltip(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CString& strText);
    // The style's tip, as SetHeaderTooltip stores it.
    static void SetTooltipAttribute(CGXStyle& style, const CString& strText);
    UINT SetHeaderStyle(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight);
    // Widens the column to its header text (never narrower than the default width).
    UINT FitColumnToHeader(ROWCOL nRow, ROWCOL nCol);
    UINT InsertColumn(ROWCOL nCol);

    // ---- Rows ----
    UINT RedrawRow(ROWCOL nRow);
    // The last row the window shows (the row count when nothing can tell).
    ROWCOL GetLastRow();

    // ---- Selection ----
    // 2 and the text when the selection is exactly one cell; 3 otherwise (a whole column too).
    UINT GetSingleCellSelection(CString& strText);
    // 0 and the range when exactly one whole-column range is selected; 1 otherwise.
    UINT GetSortRange(CGXRange& range);
    // The text as the value of every selected cell; 1 when nothing is selected.
    UINT PasteValueIntoSelection(const CString& strText);

    // ---- Zoom: ×11/10 below 300, ×10/11 above 40, 100 ----
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    // The zoom steps as numbers, so that the rule has one home.
    static int NextZoomIn(int nZoom) { return nZoom < 300 ? nZoom * 11 / 10 : nZoom; }
    static int NextZoomOut(int nZoom) { return nZoom > 40 ? nZoom * 10 / 11 : nZoom; }

protected:
    // Applies the style to the cells, redrawn at once; 0, or 1 when the grid refused it.
    UINT ApplyToCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CGXStyle& style);
    // The same for a cell kind; every row of whole columns gets it as the columns' style.
    UINT ApplyToValueCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CGXStyle& style);
    // A whole-column range as the cells of rows 1..row count; others unchanged.
    CGXRange RangeAsCells(const CGXRange& range);
};
