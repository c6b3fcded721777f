#include "app/dialogs/CGridWndWrapper.h"

#include "platform/afx/gdi/CDC.h"

#include "grid/data/CGXGridParam.h"
#include "grid/features/CGXGridUserSelectRangeImp.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXRangeList.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/CGXUserAttribute.h"
#include "grid/data/GXColor.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/core/CPtrList.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/GdiTypes.h"

#include <algorithm>
#include <set>

IMPLEMENT_DYNCREATE(CGridWndWrapper, CGXGridWnd)

namespace {
constexpr int kButtonFaceIndex = 15;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr WORD kRowSelectionWholeRows = 2;

CString JoinChoices(const CStringList& items)
{
    CString strJoined;
    for (POSITION pos = items.GetHeadPosition(); pos != nullptr;) {
        strJoined += items.GetNext(pos);
        if (pos != nullptr)
            strJoined += '\n';
    }
    return strJoined;
}
} // namespace

CGridWndWrapper::UpdateBatch::UpdateBatch(CGridWndWrapper& grid) : m_grid(grid)
{
    if (CGXGridParam* pParam = m_grid.GetParam()) {
        m_bWasLocked = pParam->m_bLockUpdate;
        pParam->m_bLockUpdate = TRUE;
    }
}

CGridWndWrapper::UpdateBatch::~UpdateBatch()
{
    if (CGXGridParam* pParam = m_grid.GetParam()) {
        pParam->m_bLockUpdate = m_bWasLocked;
        if (!m_bWasLocked && m_grid.GetSafeHwnd() != nullptr)
            m_grid.Redraw(GX_INVALIDATE);
        // Rows loaded again under the keys may have taken the current cell with them.
        if (!m_bWasLocked && m_grid.HasFocusInside())
            m_grid.EnsureCurrentCell();
    }
}

void CGridWndWrapper::Initialize()
{
    CGXGridWnd::Initialize();
    CGXGridUserSelectRangeImp::Install(this);
}

BOOL CGridWndWrapper::ApplyToRange(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CGXStyle& style)
{
    return ApplyStyleToRange(CGXRange(nTop, nLeft, nBottom, nRight), &style, gxOverride, 0, nullptr, GX_UPDATENOW,
                             gxDo);
}

void CGridWndWrapper::StoreEdit()
{
    if (GetParam() != nullptr)
        EndCurrentCellEdit(TRUE);
}

UINT CGridWndWrapper::SetStaticCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_STATIC).SetWrapText(TRUE).SetVerticalAlignment(DT_VCENTER);
    ApplyToRange(nTop, nLeft, nBottom, nRight, style);
    return 0;
}

UINT CGridWndWrapper::SetEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_EDIT).SetInterior(kWhite).SetVerticalAlignment(DT_VCENTER);
    ApplyToRange(nTop, nLeft, nBottom, nRight, style);
    return 0;
}

UINT CGridWndWrapper::SetEditCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CString& strText)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_EDIT).SetInterior(kWhite).SetVerticalAlignment(DT_VCENTER);
    style.SetValue(strText).SetValueType(GX_VT_STRING);
    ApplyToRange(nTop, nLeft, nBottom, nRight, style);
    return 0;
}

UINT CGridWndWrapper::SetPushbuttonCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                        const CString& strCaption)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_PUSHBTN).SetWrapText(TRUE).SetVerticalAlignment(DT_VCENTER);
    style.SetInterior(GXSysColor(kButtonFaceIndex)).SetValue(strCaption).SetChoiceList(strCaption);
    ApplyToRange(nTop, nLeft, nBottom, nRight, style);
    return 0;
}

UINT CGridWndWrapper::SetCheckBoxCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                      const CString& strCaption)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_CHECKBOX3D).SetChoiceList(strCaption);
    style.SetHorizontalAlignment(DT_CENTER).SetVerticalAlignment(DT_VCENTER);
    ApplyToRange(nTop, nLeft, nBottom, nRight, style);
    return 0;
}

UINT CGridWndWrapper::SetDropListCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight,
                                      const CStringList& items, const CString& strCurrent)
{
    CGXStyle style;
    style.SetControl(GX_IDS_CTRL_CBS_DROPDOWNLIST).SetChoiceList(JoinChoices(items)).SetValue(strCurrent);
    style.SetInterior(kWhite).SetTextColor(kBlack).SetWrapText(TRUE).SetVerticalAlignment(DT_VCENTER);
    ApplyToRange(nTop, nLeft, nBottom, nRight, style);
    return 0;
}

UINT CGridWndWrapper::SetTooltipCell(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, const CString& strText)
{
    CGXStyle style;
    style.SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, strText);
    ApplyToRange(nTop, nLeft, nBottom, nRight, style);
    return 0;
}

UINT CGridWndWrapper::SetReadOnlyCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, BOOL bReadOnly)
{
    CGXGridParam* pParam = GetParam();
    if (pParam == nullptr)
        return 1;
    // Cells already read-only would refuse the very change that frees them.
    const BOOL bOldLock = pParam->m_bLockReadOnly;
    pParam->m_bLockReadOnly = FALSE;
    CGXStyle style;
    style.SetReadOnly(bReadOnly);
    const BOOL bDone = ApplyToRange(nTop, nLeft, nBottom, nRight, style);
    pParam->m_bLockReadOnly = bOldLock;
    return bDone ? 0 : 1;
}

UINT CGridWndWrapper::SetCellValue(ROWCOL nRow, ROWCOL nCol, const CString& strText)
{
    CGXStyle style;
    style.SetValue(strText).SetValueType(GX_VT_STRING);
    ApplyToRange(nRow, nCol, nRow, nCol, style);
    return 0;
}

UINT CGridWndWrapper::SetCheckValue(ROWCOL nRow, ROWCOL nCol, BOOL bChecked)
{
    CGXStyle style;
    style.SetValue(bChecked ? "1" : "0");
    ApplyToRange(nRow, nCol, nRow, nCol, style);
    return 0;
}

UINT CGridWndWrapper::GetCellText(ROWCOL nRow, ROWCOL nCol, CString& strText)
{
    strText = GetCellValue(nRow, nCol);
    return 0;
}

UINT CGridWndWrapper::GetCheckValue(ROWCOL nRow, ROWCOL nCol, BOOL& bChecked)
{
    const CString& strValue = GetCellValue(nRow, nCol);
    if (strValue == "1") {
        bChecked = TRUE;
        return 0;
    }
    if (strValue == "0") {
        bChecked = FALSE;
        return 0;
    }
    return 1;
}

UINT CGridWndWrapper::InsertRowAt(ROWCOL nRow)
{
    InsertRows(nRow, 1);
    return 0;
}

UINT CGridWndWrapper::SetColumnHeaders(ROWCOL nCount, const CStringList& headers)
{
    if (static_cast<INT_PTR>(nCount) != headers.GetCount())
        return 1;
    if (GetColCount() == 0)
        SetColCount(nCount);
    if (GetRowCount() == 0) {
        SetRowCount(1);
        SetStaticCell(1, 1, 1, nCount);
    }
    ROWCOL nCol = 1;
    for (POSITION pos = headers.GetHeadPosition(); pos != nullptr && nCol <= nCount; ++nCol)
        SetCellValue(0, nCol, headers.GetNext(pos));
    return 0;
}

UINT CGridWndWrapper::ResetToOneRow()
{
    SetRowCount(1);
    const ROWCOL nCols = GetColCount();
    if (nCols > 0)
        ApplyStyleToRange(CGXRange(1, 1, 1, nCols), nullptr, gxRemove, 0, nullptr, GX_UPDATENOW, gxDo);
    return 0;
}

UINT CGridWndWrapper::GetSelectedRowRanges(CGXRangeList& ranges)
{
    CGXRangeList selected;
    if (!GetSelectedRanges(selected, FALSE))
        return 1;
    BOOL bWholeRows = FALSE;
    for (POSITION pos = selected.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = selected.GetNextRange(pos);
        if (pRange->IsRows() || pRange->IsTable())
            bWholeRows = TRUE;
    }
    if (!bWholeRows)
        return 1;
    for (POSITION pos = selected.GetHeadPosition(); pos != nullptr;)
        ranges.AddTail(new CGXRange(*selected.GetNextRange(pos)));
    return 0;
}

std::vector<ROWCOL> CGridWndWrapper::GetSelectedRowsInOrder()
{
    std::vector<ROWCOL> rows;
    const ROWCOL nRowCount = GetRowCount();
    std::set<ROWCOL> seen;
    CGXRangeList selected;
    if (GetSelectedRanges(selected, FALSE)) {
        for (POSITION pos = selected.GetHeadPosition(); pos != nullptr;) {
            const CGXRange* pRange = selected.GetNextRange(pos);
            if (!pRange->IsValid())
                continue;
            ROWCOL nFirst = pRange->top;
            ROWCOL nLast = pRange->bottom;
            // Whole columns and the whole table name no rows of their own: they cover them all.
            if (pRange->IsCols() || pRange->IsTable()) {
                nFirst = 1;
                nLast = nRowCount;
            }
            nFirst = std::max<ROWCOL>(nFirst, 1);
            nLast = std::min(nLast, nRowCount);
            for (ROWCOL nRow = nFirst; nRow <= nLast && nRow >= nFirst; ++nRow)
                if (seen.insert(nRow).second)
                    rows.push_back(nRow);
        }
    }
    // In a choice list the current row is only where the keys are: it is no choice.
    ROWCOL nRow = 0, nCol = 0;
    if (rows.empty() && !m_bChoices && GetCurrentCell(nRow, nCol) && nRow >= 1 && nRow <= nRowCount)
        rows.push_back(nRow);
    return rows;
}

UINT CGridWndWrapper::SetPickListMode()
{
    CGXGridParam* pParam = GetParam();
    if (pParam == nullptr)
        return 1;
    pParam->m_wRowSelectionMode = kRowSelectionWholeRows;
    pParam->m_wAllowTrackRowHeight = 0;
    pParam->m_bDragSelectedCols = FALSE;
    // A pick list is read by its marked rows: no frame on a current cell, and a click picks
    // the row rather than starting an edit.
    pParam->m_bNoCurrentCellFrame = TRUE;
    pParam->m_bActivateOnClick = FALSE;
    m_bPickList = TRUE;
    SetColWidth(0, 0, 0);
    CGXStyle style;
    style.SetMergeCell(GX_MERGE_VERTICAL);
    SetRowHeaderBaseStyle(style, gxOverride);
    return 0;
}

void CGridWndWrapper::DrawSelectedCell(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect)
{
    if (!m_bPickList || pDC == nullptr) {
        // The current cell of a selection is lit with the rest: the dialog's commands take it
        // in like any other selected row.
        m_bInvertCurrentCell = TRUE;
        CGXGridWnd::DrawSelectedCell(pDC, nRow, nCol, rect);
        return;
    }
    CRect cell = rect;
    pDC->InvertRect(&cell);
    if (IsCurrentCell(nRow, nCol))
        DrawCurrentCellFrame(pDC, nRow, nCol, rect);
}

void CGridWndWrapper::DrawCurrentCellFrame(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CRect& rect)
{
    if (pDC == nullptr)
        return;
    if (!HasFocusInside()) {
        // Without the keys the current cell keeps a thin grey frame: the dialog's buttons (Delete)
        // still act on it, so it stays in sight, apart from the black frame of the keys.
        if (!m_bChoices && !m_bPickList && !pDC->IsPrinting()) {
            CRect mark = rect;
            mark.DeflateRect(1, 1);
            ::FrameRect(pDC->GetSafeHdc(), &mark, ::GetSysColorBrush(COLOR_BTNSHADOW));
        }
        return;
    }
    if (!m_bChoices) {
        CGXGridWnd::DrawCurrentCellFrame(pDC, nRow, nCol, rect);
        return;
    }
    // A choice list marks its chosen rows; the current row gets the dotted frame of a list's
    // focused item, which shows on a marked row and on an unmarked one alike.
    CRect focus = rect;
    focus.DeflateRect(1, 1);
    pDC->DrawFocusRect(&focus);
}

void CGridWndWrapper::DrawClientRange(CDC* pDC, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    CGXGridWnd::DrawClientRange(pDC, nTop, nLeft, nBottom, nRight);
    ROWCOL nRow = 0, nCol = 0;
    if (pDC == nullptr || pDC->IsPrinting() || m_bSettingCurrentCell || GetCurrentCell(nRow, nCol) || !HasFocusInside())
        return;
    CRect grid;
    GetGridRect(&grid);
    grid.DeflateRect(1, 1);
    pDC->DrawFocusRect(&grid);
}

BOOL CGridWndWrapper::SetCurrentCell(ROWCOL nRow, ROWCOL nCol, UINT nFlags)
{
    const BOOL bWasSetting = m_bSettingCurrentCell;
    m_bSettingCurrentCell = TRUE;
    const BOOL bSet = CGXGridWnd::SetCurrentCell(nRow, nCol, nFlags);
    m_bSettingCurrentCell = bWasSetting;
    return bSet;
}

BOOL CGridWndWrapper::HasFocusInside() const
{
    const HWND hFocus = ::GetFocus();
    const HWND hGrid = GetSafeHwnd();
    return hGrid != nullptr && hFocus != nullptr && (hFocus == hGrid || ::IsChild(hGrid, hFocus));
}

void CGridWndWrapper::RedrawCurrentCell()
{
    ROWCOL nRow = 0, nCol = 0;
    if (GetSafeHwnd() == nullptr)
        return;
    if (GetCurrentCell(nRow, nCol))
        RedrawRange(CGXRange(nRow, nCol, nRow, nCol), GX_INVALIDATE, FALSE);
    else
        Invalidate(FALSE);   // the focus frame of a grid without a current cell
}

void CGridWndWrapper::EnsureCurrentCell()
{
    ROWCOL nRow = 0, nCol = 0;
    if (GetParam() == nullptr || GetCurrentCell(nRow, nCol) || GetRowCount() == 0 || GetColCount() == 0)
        return;
    nRow = GetHeaderRows();
    nCol = GetHeaderCols();
    if (FindNextCell(GX_DOWN, nRow, nCol) && FindNextCell(GX_RIGHT, nRow, nCol))
        SetCurrentCell(nRow, nCol, GX_INVALIDATE | GX_NOFLUSHPAINT | GX_SCROLLINVIEW);
}

BOOL CGridWndWrapper::HandleSetFocus(CWnd* pOldWnd)
{
    const BOOL bResult = CGXGridWnd::HandleSetFocus(pOldWnd);
    EnsureCurrentCell();
    RedrawCurrentCell();
    return bResult;
}

BOOL CGridWndWrapper::HandleKillFocus(CWnd* pNewWnd)
{
    const BOOL bResult = CGXGridWnd::HandleKillFocus(pNewWnd);
    RedrawCurrentCell();
    return bResult;
}

void CGridWndWrapper::SetChoiceMode()
{
    m_bChoices = TRUE;
}

BOOL CGridWndWrapper::MoveCurrentCellEx(int direction, UINT nCell)
{
    // The arrows look through the choices; Shift with them still marks a run of rows.
    if (m_bChoices && ::GetKeyState(VK_SHIFT) >= 0)
        return MoveCurrentCell(direction, nCell, FALSE);
    return CGXGridWnd::MoveCurrentCellEx(direction, nCell);
}

BOOL CGridWndWrapper::MoveCurrentCellAlone(int direction, UINT nCell)
{
    // Among the choices the rows chosen stay chosen as the keys go past them.
    if (m_bChoices)
        return MoveCurrentCell(direction, nCell, FALSE);
    return CGXGridWnd::MoveCurrentCellAlone(direction, nCell);
}

void CGridWndWrapper::ToggleCurrentRowChoice()
{
    ROWCOL nRow = 0, nCol = 0;
    if (!GetCurrentCell(nRow, nCol) || GetParam() == nullptr)
        return;
    const BOOL bChosen = IsCellInRangeList(nRow, nCol, GetParam()->m_SelRects);
    SelectRange(CGXRange().SetRows(nRow, nRow), !bChosen, TRUE);
    RedrawCurrentCell();
}

BOOL CGridWndWrapper::RouteKeyMessage(CWnd* pSender, UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // Space on a choice list is the choice's key, not the first letter of an edit; while a
    // cell's text is being edited it is a space like any other.
    const BOOL bFromGrid = pSender == nullptr || pSender == this;
    if (m_bChoices && bFromGrid && ::GetKeyState(VK_MENU) >= 0) {
        if (nMessage == WM_KEYDOWN && nChar == VK_SPACE) {
            ToggleCurrentRowChoice();
            return TRUE;
        }
        if (nMessage == WM_CHAR && nChar == ' ')
            return TRUE;
    }
    return CGXGridWnd::RouteKeyMessage(pSender, nMessage, nChar, nRepCnt, nFlags);
}

BOOL CGridWndWrapper::HandleKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_TAB && GetParent() != nullptr) {
        const BOOL bBack = ::GetKeyState(VK_SHIFT) < 0;
        ROWCOL nRow = 0, nCol = 0;
        BOOL bLeave = ::GetKeyState(VK_CONTROL) < 0 || !GetCurrentCell(nRow, nCol);
        if (!bLeave) {
            ROWCOL r = nRow, c = nCol;
            bLeave = !FindNextCell(bBack ? GX_LEFT : GX_RIGHT, r, c);
        }
        if (bLeave) {
            // An edit the grid refuses keeps the focus in its cell.
            if (!SyncCurrentCell(TRUE, GX_INVALIDATE, TRUE))
                return TRUE;
            GetParent()->SendMessage(WM_NEXTDLGCTL, bBack ? 1 : 0, 0);
            return TRUE;
        }
    }
    return CGXGridWnd::HandleKeyDown(nChar, nRepCnt, nFlags);
}

UINT CGridWndWrapper::ResizeColumnsToFit(const CGXRange& range)
{
    ResizeColWidthsToFit(range, FALSE, GX_UPDATENOW | GX_SCROLLINVIEW);
    return 0;
}

void CGridWndWrapper::AppendEmptyRow(MakeCurrent makeCurrent)
{
    StoreEdit();
    const ROWCOL nRow = GetRowCount() + 1;
    InsertRowAt(nRow);
    if (makeCurrent == MakeCurrent::Yes && GetColCount() >= 1) {
        // The keys come to the grid the dialog's way, from the button that added the row, so
        // that the row is framed as the place the typing goes and that button is no longer
        // drawn as the default.
        if (!HasFocusInside() && GetParent() != nullptr)
            GetParent()->SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hWnd), TRUE);
        SetCurrentCell(nRow, 1, GX_SCROLLINVIEW | GX_UPDATENOW);
        SetCurrentCell(nRow, 1, GX_DISPLAYEDITWND);
        RedrawCurrentCell();
    }
}

ROWCOL CGridWndWrapper::DeleteSelectedRows()
{
    StoreEdit();
    std::vector<ROWCOL> rows = GetSelectedRowsInOrder();
    // Highest first: removing a row renumbers only the rows below it.
    std::sort(rows.begin(), rows.end(), std::greater<ROWCOL>());
    ROWCOL nRemoved = 0;
    for (ROWCOL nRow : rows)
        if (nRow >= 1 && nRow <= GetRowCount() && RemoveRows(nRow, nRow))
            ++nRemoved;
    return nRemoved;
}
