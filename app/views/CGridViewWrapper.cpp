// The application's grid view.
#include "app/views/CGridViewWrapper.h"

#include "grid/core/CGXControl.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXRangeList.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/CGXUserAttribute.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/core/CPtrArray.h"
#include "platform/core/CPtrList.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_DYNCREATE(CGridViewWrapper, CGXGridView)

namespace {

CString JoinViewChoices(const CStringList& options)
{
    CString strList;
    for (POSITION pos = options.GetHeadPosition(); pos != nullptr;) {
        if (!strList.IsEmpty())
            strList += "\n";
        strList += options.GetNext(pos);
    }
    return strList;
}

} // namespace

UINT CGridViewWrapper::ApplyToCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CGXStyle& style)
{
    if (nTop > nBottom || nLeft > nRight)
        return 1;
    return ApplyStyleToRange(CGXRange(nTop, nLeft, nBottom, nRight), &style, gxOverride, 0, nullptr, GX_UPDATENOW, gxDo) ? 0 : 1;
}

UINT CGridViewWrapper::ApplyToValueCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CGXStyle& style)
{
    // A setting gives every row of its column the same kind of cell: stored once as the
    // column's style rather than once a cell, a column costs the same for ten thousand pages as
    // for one, and all it held before is replaced.
    if (nTop == 1 && nBottom == GetRowCount() && nLeft >= 1 && nLeft <= nRight && nRight <= GetColCount())
        return ApplyStyleToRange(CGXRange().SetCols(nLeft, nRight), &style, gxCopy, 0, nullptr, GX_UPDATENOW, gxDo) ? 0 : 1;
    return ApplyToCells(nTop, nLeft, nBottom, nRight, style);
}

UINT CGridViewWrapper::SetEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_EDIT);
    return ApplyToValueCells(nTop, nLeft, nBottom, nRight, style);
}

UINT CGridViewWrapper::SetScrollEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_SCROLLEDIT);
    return ApplyToValueCells(nTop, nLeft, nBottom, nRight, style);
}

UINT CGridViewWrapper::SetDropDownListCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                           const CStringList& options)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST);
    style.SetChoiceList(JoinViewChoices(options));
    return ApplyToValueCells(nTop, nLeft, nBottom, nRight, style);
}

UINT CGridViewWrapper::SetComboBoxCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                       const CStringList& options)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_CBS_NOTEXTFIT);
    style.SetChoiceList(JoinViewChoices(options));
    return ApplyToValueCells(nTop, nLeft, nBottom, nRight, style);
}

UINT CGridViewWrapper::SetHotspotCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_HOTSPOT);
    return ApplyToValueCells(nTop, nLeft, nBottom, nRight, style);
}

UINT CGridViewWrapper::SetCheckboxCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_CHECKBOX3D);
    return ApplyToValueCells(nTop, nLeft, nBottom, nRight, style);
}

UINT CGridViewWrapper::GetCellText(ROWCOL nRow, ROWCOL nCol, CString& strText)
{
    ROWCOL nCurRow = 0, nCurCol = 0;
    if (GetCurrentCell(nCurRow, nCurCol) && nCurRow == nRow && nCurCol == nCol) {
        CGXControl* pControl = GetCurrentCellControl();
        if (pControl != nullptr && pControl->IsActive() && pControl->IsInitFor(nRow, nCol)) {
            pControl->GetCurrentText(strText);
            return 0;
        }
    }
    strText = GetCellValue(nRow, nCol);
    return 0;
}

UINT CGridViewWrapper::SetHeaders(ROWCOL nCount, const CStringArray& headers)
{
    if (static_cast<INT_PTR>(nCount) != headers.GetSize())
        return 1;
    if (GetColCount() == 0)
        SetColCount(nCount, 0);
    if (GetRowCount() == 0) {
        SetRowCount(1, 0);
        SetHeaderStyle(1, 1, 1, nCount);
    }
    for (ROWCOL nCol = 1; nCol <= nCount; ++nCol)
        SetHeaderText(0, nCol, headers[static_cast<INT_PTR>(nCol - 1)]);
    // The columns are fitted to their headers together and the grid is repainted once, not
    // once a column.
    if (m_pResizeToFitImp != nullptr && nCount > 0) {
        ResizeColWidthsToFit(CGXRange(0, 1, 0, nCount), TRUE, GX_INVALIDATE, gxDo);
        Redraw(GX_INVALIDATE);
    } else {
        for (ROWCOL nCol = 1; nCol <= nCount; ++nCol)
            FitColumnToHeader(0, nCol);
    }
    return 0;
}

UINT CGridViewWrapper::SetHeaderText(ROWCOL nRow, ROWCOL nCol, const CString& strText)
{
    CGXStyle style;
    style.SetValue(strText);
    return ApplyToCells(nRow, nCol, nRow, nCol, style);
}

UINT CGridViewWrapper::SetHeaderTooltip(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CString& strText)
{
    CGXStyle style;
    SetTooltipAttribute(style, strText);
    return ApplyToCells(nTop, nLeft, nBottom, nRight, style);
}

void CGridViewWrapper::SetTooltipAttribute(CGXStyle& style, const CString& strText)
{
    // A text that reads as a whole number is kept as one.
    char* pEnd = nullptr;
    const long nValue = std::strtol(strText, &pEnd, 10);
    if (!strText.IsEmpty() && pEnd != nullptr && *pEnd == '\0')
        style.SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, static_cast<LONG>(nValue));
    else
        style.SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, strText);
}

UINT CGridViewWrapper::SetHeaderStyle(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_STATIC);
    style.SetVerticalAlignment(GX_ALIGN_CENTER);
    style.SetWrapText(FALSE);
    return ApplyToCells(nTop, nLeft, nBottom, nRight, style);
}

UINT CGridViewWrapper::FitColumnToHeader(ROWCOL nRow, ROWCOL nCol)
{
    if (m_pResizeToFitImp != nullptr) {
        ResizeColWidthsToFit(CGXRange(nRow, nCol, nRow, nCol), TRUE, GX_UPDATENOW, gxDo);
        return 0;
    }
    // Without the fitting feature the header is measured here, so that no name is cut off.
    CDC* pDC = GetGridDC();
    if (pDC == nullptr)
        return 1;
    const CString& strText = GetCellValue(nRow, nCol);
    const int nZoom = std::max(1, GetZoom());
    const int nNeeded = pDC->GetTextExtent(strText).cx * 100 / nZoom + 10;
    ReleaseGridDC();
    if (nNeeded > GetColWidth(nCol) * 100 / nZoom)
        SetColWidth(nCol, nCol, nNeeded, nullptr, GX_UPDATENOW, gxDo);
    return 0;
}

UINT CGridViewWrapper::InsertColumn(ROWCOL nCol)
{
    return InsertCols(nCol, 1, nullptr, nullptr, nullptr, 0, GX_UPDATENOW, gxDo) ? 0 : 1;
}

UINT CGridViewWrapper::RedrawRow(ROWCOL nRow)
{
    const ROWCOL nCols = GetColCount();
    if (nCols == 0 || nRow == 0 || nRow > GetRowCount() || GetSafeHwnd() == nullptr)
        return 1;
    CRect rect = CalcClientRectOfRange(nRow, 1, nRow, nCols);
    if (!rect.IsRectEmpty())
        InvalidateRect(&rect, TRUE);
    return 0;
}

ROWCOL CGridViewWrapper::GetLastRow()
{
    if (GetSafeHwnd() == nullptr)
        return GetRowCount();
    const ROWCOL nLast = GetLastVisibleRow();
    if (nLast == GX_INVALID)
        return GetRowCount();
    return std::min(nLast, GetRowCount());
}

CGXRange CGridViewWrapper::RangeAsCells(const CGXRange& range)
{
    CGXRange cells(range);
    if (range.IsCols())
        cells.ExpandToCells(1, range.left, GetRowCount(), range.right);
    else if (range.IsRows())
        cells.ExpandToCells(range.top, 1, range.bottom, GetColCount());
    else if (range.IsTable())
        cells.ExpandToCells(1, 1, GetRowCount(), GetColCount());
    return cells;
}

UINT CGridViewWrapper::GetSingleCellSelection(CString& strText)
{
    CGXRangeList ranges;
    if (!GetSelectedRanges(ranges, TRUE) || ranges.GetCount() != 1)
        return 3;
    const CGXRange* pRange = ranges.GetRangeAt(ranges.GetHeadPosition());
    if (!pRange->IsCells() || pRange->top != pRange->bottom || pRange->left != pRange->right)
        return 3;
    GetCellText(pRange->top, pRange->left, strText);
    return 2;
}

UINT CGridViewWrapper::GetSortRange(CGXRange& range)
{
    CGXRangeList ranges;
    if (!GetSelectedRanges(ranges, FALSE) || ranges.GetCount() != 1)
        return 1;
    const CGXRange* pRange = ranges.GetRangeAt(ranges.GetHeadPosition());
    if (!pRange->IsCols())
        return 1;
    range = *pRange;
    return 0;
}

UINT CGridViewWrapper::PasteValueIntoSelection(const CString& strText)
{
    CGXRangeList ranges;
    if (!GetSelectedRanges(ranges, TRUE))
        return 1;
    CGXStyle style;
    style.SetValue(strText);
    for (POSITION pos = ranges.GetHeadPosition(); pos != nullptr;) {
        const CGXRange cells = RangeAsCells(*ranges.GetNextRange(pos));
        if (cells.IsValid() && cells.bottom >= cells.top)
            ApplyToCells(cells.top, cells.left, cells.bottom, cells.right, style);
    }
    return 0;
}

void CGridViewWrapper::ZoomIn()
{
    SetZoom(NextZoomIn(GetZoom()), GX_UPDATENOW);
}

void CGridViewWrapper::ZoomOut()
{
    SetZoom(NextZoomOut(GetZoom()), GX_UPDATENOW);
}

void CGridViewWrapper::ZoomReset()
{
    SetZoom(100, GX_UPDATENOW);
}
