#include "grid/features/CGXGridUserSelectRangeImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRangeList.h"
#include "platform/win/Keyboard.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/WinUser.h"

#include <algorithm>

namespace {
// Permission bits of the parameter object's selection word.
constexpr WORD kSelRows = 0x01, kSelCols = 0x02, kSelTable = 0x04, kSelCells = 0x08, kSelMulti = 0x10, kSelShiftClick = 0x20,
               kSelShiftKeys = 0x40;
// Row-selection modes.
constexpr WORD kRowModeSingle = 0x01, kRowModeMulti = 0x02;

BOOL KeyIsDown(int nVirtKey)
{
    return (GetKeyState(nVirtKey) & 0x8000) != 0;
}

BOOL InRowMode(const CGXGridParam& param)
{
    return param.TestRowSelectionMode(kRowModeSingle | kRowModeMulti);
}

// The range from (r1, c1) to (r2, c2) stored the way the selection list keeps it: a row or
// column of 0 makes a band or the table.
CGXRange StoredRange(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    if (nTop > nBottom)
        std::swap(nTop, nBottom);
    if (nLeft > nRight)
        std::swap(nLeft, nRight);
    CGXRange range;
    if (nTop == 0 && nLeft == 0)
        range.SetTable();
    else if (nTop == 0)
        range.SetCols(nLeft, nRight);
    else if (nLeft == 0)
        range.SetRows(nTop, nBottom);
    else
        range.SetCells(nTop, nLeft, nBottom, nRight);
    return range;
}
} // namespace

void CGXGridUserSelectRangeImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pUserSelectRangeImp != nullptr)
        return;
    auto* pFeature = new CGXGridUserSelectRangeImp;
    pGrid->m_pUserSelectRangeImp = pFeature;
    pGrid->AddAutoDeleteImp(pFeature);
}

// ---- Redrawing ----

void CGXGridUserSelectRangeImp::RedrawRange(CGXGridCore* pGrid, const CGXRange& range)
{
    if (!range.IsValid())
        return;
    CGXRange cells = range;
    cells.ExpandToCells(0, 0, pGrid->GetRowCount(), pGrid->GetColCount());
    pGrid->RedrawRowCol(cells.top, cells.left, cells.bottom, cells.right, GX_INVALIDATE, FALSE);
}

void CGXGridUserSelectRangeImp::RedrawList(CGXGridCore* pGrid, const CGXRangeList& list)
{
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        RedrawRange(pGrid, *list.GetNextRange(pos));
}

void CGXGridUserSelectRangeImp::MakeActiveTail(CGXGridCore* pGrid)
{
    CGXRangeList& sel = pGrid->GetParam()->m_SelRects;
    m_posActive = sel.GetTailPosition();
    if (m_posActive != nullptr) {
        const CGXRange* pRange = sel.GetRangeAt(m_posActive);
        m_nAnchorRow = m_nEndRow = pRange->IsCols() || pRange->IsTable() ? 0 : pRange->top;
        m_nAnchorCol = m_nEndCol = pRange->IsRows() || pRange->IsTable() ? 0 : pRange->left;
    }
}

// ---- Storing ----

BOOL CGXGridUserSelectRangeImp::StoreSelectRange(CGXGridCore* pGrid, const CGXRange& range, BOOL bSelect)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || !range.IsValid())
        return FALSE;
    CGXRangeList& sel = pParam->m_SelRects;
    if (bSelect) {
        sel.AddTail(new CGXRange(range));
        return TRUE;
    }
    const ROWCOL nRows = pGrid->GetRowCount(), nCols = pGrid->GetColCount();
    CGXRange cut = range;
    cut.ExpandToCells(0, 0, nRows, nCols);
    for (POSITION pos = sel.GetHeadPosition(); pos != nullptr;) {
        const POSITION posThis = pos;
        const CGXRange old = *sel.GetNextRange(pos);
        CGXRange cells = old;
        cells.ExpandToCells(0, 0, nRows, nCols);
        CGXRange meet;
        if (!old.IsValid() || !meet.SetIntersection(cells, cut))
            continue;
        // The pieces above and below keep the band's kind when the band was cut across it.
        auto addRows = [&](ROWCOL t, ROWCOL b) {
            CGXRange piece = old.IsRows() ? CGXRange().SetRows(t, b) : CGXRange().SetCells(t, cells.left, b, cells.right);
            sel.InsertBefore(posThis, new CGXRange(piece));
        };
        auto addCols = [&](ROWCOL l, ROWCOL r) {
            CGXRange piece = old.IsCols() ? CGXRange().SetCols(l, r) : CGXRange().SetCells(meet.top, l, meet.bottom, r);
            sel.InsertBefore(posThis, new CGXRange(piece));
        };
        if (meet.top > cells.top)
            addRows(cells.top, meet.top - 1);
        if (meet.bottom < cells.bottom)
            addRows(meet.bottom + 1, cells.bottom);
        // Left and right pieces span only the cut rows: above and below took the rest.
        if (meet.left > cells.left) {
            if (old.IsCols())
                addCols(cells.left, meet.left - 1);
            else
                sel.InsertBefore(posThis, new CGXRange(CGXRange().SetCells(meet.top, cells.left, meet.bottom, meet.left - 1)));
        }
        if (meet.right < cells.right) {
            if (old.IsCols())
                addCols(meet.right + 1, cells.right);
            else
                sel.InsertBefore(posThis, new CGXRange(CGXRange().SetCells(meet.top, meet.right + 1, meet.bottom, cells.right)));
        }
        if (posThis == m_posActive)
            m_posActive = nullptr;
        sel.DeleteAt(posThis);
    }
    return TRUE;
}

BOOL CGXGridUserSelectRangeImp::SelectRange(CGXGridCore* pGrid, const CGXRange& range, BOOL bSelect, BOOL bUpdate, UINT /*nFlags*/,
                                            int /*nMode*/, BOOL bCreateHint)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || !range.IsValid())
        return FALSE;
    if (!pGrid->CanChangeSelection(&range, FALSE, FALSE))
        return FALSE;
    if (!StoreSelectRange(pGrid, range, bSelect))
        return FALSE;
    pGrid->OnChangedSelection(&range, FALSE, FALSE);
    if (bUpdate && !pParam->m_bLockUpdate)
        RedrawRange(pGrid, range);
    // The other views of the document show the same selection: they draw the range again.
    if (bUpdate && pGrid->HintsWanted(bCreateHint))
        pGrid->m_pUpdateHintImp->HintSelectRange(pGrid, range, nullptr);
    MakeActiveTail(pGrid);
    return TRUE;
}

void CGXGridUserSelectRangeImp::SetSelection(CGXGridCore* pGrid, POSITION pos, ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return;
    CGXRangeList& sel = pParam->m_SelRects;
    if (pos == nullptr) {
        const BOOL bBounds = nTop != 0 || nLeft != 0 || nBottom != 0 || nRight != 0;
        if (!bBounds) {
            if (!pParam->m_bLockUpdate)
                RedrawList(pGrid, sel);
            const BOOL bHad = !sel.IsEmpty();
            sel.DeleteAll();
            m_posActive = nullptr;
            if (bHad && pGrid->HintsWanted(TRUE))
                pGrid->m_pUpdateHintImp->HintClearSelection(pGrid);
            return;
        }
        // No entry but bounds: the engine selecting a cell that the current cell moved to
        // starts a fresh entry for it.
        pos = sel.AddTail(new CGXRange);
        m_posActive = pos;
        m_nAnchorRow = m_nEndRow = nTop;
        m_nAnchorCol = m_nEndCol = nLeft;
    }
    if (InRowMode(*pParam))
        nLeft = nRight = 0;
    CGXRange* pEntry = sel.GetRangeAt(pos);
    const CGXRange old = *pEntry;
    *pEntry = StoredRange(nTop, nLeft, nBottom, nRight);
    if (!pParam->m_bLockUpdate) {
        // Only the cells whose state may have changed: the old and the new extent.
        RedrawRange(pGrid, old);
        RedrawRange(pGrid, *pEntry);
    }
    if (pGrid->HintsWanted(TRUE) && !(old == *pEntry)) {
        if (old.IsValid())
            pGrid->m_pUpdateHintImp->HintSelectRange(pGrid, old, nullptr);
        pGrid->m_pUpdateHintImp->HintSelectRange(pGrid, *pEntry, nullptr);
    }
}

BOOL CGXGridUserSelectRangeImp::ClearSelection(CGXGridCore* pGrid, BOOL /*bCreateHint*/)
{
    if (pGrid->GetParam() == nullptr || !pGrid->CanChangeSelection(nullptr, FALSE, FALSE))
        return FALSE;
    SetSelection(pGrid, nullptr, 0, 0, 0, 0);
    pGrid->OnChangedSelection(nullptr, FALSE, FALSE);
    return TRUE;
}

BOOL CGXGridUserSelectRangeImp::CopySelection(CGXGridCore* pGrid, CGXRangeList& list, BOOL bIncludeCurrent, UINT /*nFlags*/)
{
    return pGrid->GetSelectedRanges(list, bIncludeCurrent);
}

BOOL CGXGridUserSelectRangeImp::PrepareChangeSelection(CGXGridCore* pGrid, POSITION pos, ROWCOL nTop)
{
    const CGXRange* pRange = pos != nullptr && pGrid->GetParam() != nullptr ? pGrid->GetParam()->m_SelRects.GetRangeAt(pos) : nullptr;
    (void)nTop;
    return pGrid->CanChangeSelection(pRange, FALSE, FALSE);
}

BOOL CGXGridUserSelectRangeImp::PrepareClearSelection(CGXGridCore* pGrid, BOOL /*bCreateHint*/, UINT /*nFlags*/)
{
    return pGrid->CanChangeSelection(nullptr, FALSE, FALSE);
}

// ---- The mouse ----

void CGXGridUserSelectRangeImp::OnButtonDown(CGXGridCore* pGrid, UINT nFlags, CPoint pt, int /*nHit*/, ROWCOL& nRow, ROWCOL& nCol)
{
    if (!DeselectHeaderWithCtrl(pGrid, nFlags, nRow, nCol))
        StartSelection(pGrid, pt, nFlags, nRow, nCol);
}

void CGXGridUserSelectRangeImp::OnMouseMoveToCell(CGXGridCore* pGrid, UINT nFlags, CPoint pt, ROWCOL nRow, ROWCOL nCol)
{
    ExtendSelection(pGrid, pt, nFlags, nRow, nCol);
}

void CGXGridUserSelectRangeImp::OnButtonUp(CGXGridCore* pGrid, UINT /*nFlags*/, CPoint /*pt*/)
{
    EndSelection(pGrid);
}

BOOL CGXGridUserSelectRangeImp::DeselectHeaderWithCtrl(CGXGridCore* pGrid, UINT nFlags, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr || !(nFlags & MK_CONTROL))
        return FALSE;
    const ROWCOL nHdrRows = pGrid->GetHeaderRows(), nHdrCols = pGrid->GetHeaderCols();
    const CGXRangeList& sel = pParam->m_SelRects;
    CGXRange band;
    if (nCol <= nHdrCols && nRow > nHdrRows) {
        band.SetRows(nRow, nRow);
        for (POSITION pos = sel.GetHeadPosition(); pos != nullptr;) {
            const CGXRange* pRange = sel.GetNextRange(pos);
            if (pRange->IsRows() && pRange->ContainsCell(nRow, 1))
                goto found;
        }
        return FALSE;
    } else if (nRow <= nHdrRows && nCol > nHdrCols) {
        band.SetCols(nCol, nCol);
        for (POSITION pos = sel.GetHeadPosition(); pos != nullptr;) {
            const CGXRange* pRange = sel.GetNextRange(pos);
            if (pRange->IsCols() && pRange->ContainsCell(1, nCol))
                goto found;
        }
        return FALSE;
    } else {
        return FALSE;
    }
found:
    SelectRange(pGrid, band, FALSE, TRUE, 0, 0, TRUE);
    m_posActive = nullptr;
    m_bSelecting = FALSE;
    return TRUE;
}

BOOL CGXGridUserSelectRangeImp::StartSelection(CGXGridCore* pGrid, CPoint pt, UINT nFlags, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return FALSE;
    CGXRangeList& sel = pParam->m_SelRects;
    m_bSelecting = FALSE;

    if (nRow == 0 && nCol == 0) {
        if (!pParam->TestSelectionFlags(kSelTable) || !pGrid->CanStartSelection(nRow, nCol, nFlags, pt))
            return FALSE;
        BOOL bTable = FALSE;
        for (POSITION pos = sel.GetHeadPosition(); pos != nullptr && !bTable;)
            bTable = sel.GetNextRange(pos)->IsTable();
        CGXRange table;
        table.SetTable();
        return SelectRange(pGrid, table, !bTable, TRUE, 0, 0, TRUE);
    }

    const ROWCOL nHdrRows = pGrid->GetHeaderRows(), nHdrCols = pGrid->GetHeaderCols();
    const BOOL bRowHeader = nCol <= nHdrCols && nRow > nHdrRows;
    const BOOL bColHeader = nRow <= nHdrRows && nCol > nHdrCols;
    const BOOL bCell = nRow > nHdrRows && nCol > nHdrCols;
    const BOOL bRowMode = InRowMode(*pParam);

    BOOL bCtrl = (nFlags & MK_CONTROL) && pParam->TestSelectionFlags(kSelMulti);
    BOOL bShift = (nFlags & MK_SHIFT) && pParam->TestSelectionFlags(kSelShiftClick);
    if (pParam->TestRowSelectionMode(kRowModeMulti)) {
        bCtrl = (nFlags & MK_CONTROL) != 0;
        bShift = (nFlags & MK_SHIFT) != 0;
    } else if (bRowMode) {
        bCtrl = bShift = FALSE;
    }
    if (pParam->m_wAllowSelection == 0 || !pGrid->CanStartSelection(nRow, nCol, nFlags, pt))
        return FALSE;

    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bCurrent = pGrid->GetCurrentCell(nCurRow, nCurCol);
    if (!bShift) {
        if (!bCtrl) {
            if (!sel.IsEmpty() && pGrid->CanChangeSelection(nullptr, FALSE, FALSE)) {
                SetSelection(pGrid, nullptr, 0, 0, 0, 0);
                pGrid->OnChangedSelection(nullptr, FALSE, FALSE);
            }
            m_posActive = nullptr;
        } else if (sel.IsEmpty() && bCurrent && !bRowMode && (nCurRow != nRow || nCurCol != nCol)) {
            // Ctrl+click keeps what the user saw: the current cell becomes an area of its own.
            StoreSelectRange(pGrid, CGXRange(nCurRow, nCurCol, nCurRow, nCurCol), TRUE);
            RedrawRange(pGrid, CGXRange(nCurRow, nCurCol, nCurRow, nCurCol));
        }
    }

    if ((bRowHeader && !pParam->TestSelectionFlags(kSelRows)) || (bColHeader && !pParam->TestSelectionFlags(kSelCols)) ||
        (bCell && !pParam->TestSelectionFlags(kSelCells)) || (!bRowHeader && !bColHeader && !bCell))
        return FALSE;

    if (bShift) {
        if (m_posActive == nullptr && !sel.IsEmpty())
            MakeActiveTail(pGrid);
        if (m_posActive == nullptr) {
            m_posActive = sel.AddTail(new CGXRange);
            m_nAnchorRow = bCurrent ? nCurRow : nRow;
            m_nAnchorCol = bCurrent ? nCurCol : nCol;
        }
    } else {
        m_posActive = sel.AddTail(new CGXRange);
        m_nAnchorRow = nRow;
        m_nAnchorCol = nCol;
    }
    m_nEndRow = nRow;
    m_nEndCol = nCol;
    m_bSelecting = TRUE;

    if (bRowMode || bRowHeader || (bShift && m_nAnchorCol <= nHdrCols))
        SetSelection(pGrid, m_posActive, std::max<ROWCOL>(m_nAnchorRow, 1), 0, std::max<ROWCOL>(nRow, 1), 0);
    else if (bColHeader || (bShift && m_nAnchorRow <= nHdrRows))
        SetSelection(pGrid, m_posActive, 0, std::max<ROWCOL>(m_nAnchorCol, 1), 0, std::max<ROWCOL>(nCol, 1));
    else if (bShift)
        SetSelection(pGrid, m_posActive, m_nAnchorRow, m_nAnchorCol, nRow, nCol);
    return TRUE;
}

BOOL CGXGridUserSelectRangeImp::ExtendSelection(CGXGridCore* pGrid, CPoint /*pt*/, UINT /*nFlags*/, ROWCOL nRow, ROWCOL nCol)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!m_bSelecting || pParam == nullptr || m_posActive == nullptr || pParam->m_wAllowSelection == 0)
        return FALSE;
    const ROWCOL nHdrRows = pGrid->GetHeaderRows(), nHdrCols = pGrid->GetHeaderCols();
    // A drag into the headers stops at the first row and column after them.
    const ROWCOL nFirstRow = nHdrRows + 1, nFirstCol = nHdrCols + 1;
    CGXRange range;
    if (InRowMode(*pParam))
        range = StoredRange(std::max(nRow, nFirstRow), 0, std::max(nRow, nFirstRow), 0);
    else if (m_nAnchorRow <= nHdrRows)
        range = StoredRange(0, m_nAnchorCol, 0, std::max(nCol, nFirstCol));
    else if (m_nAnchorCol <= nHdrCols)
        range = StoredRange(m_nAnchorRow, 0, std::max(nRow, nFirstRow), 0);
    else
        range = StoredRange(m_nAnchorRow, m_nAnchorCol, std::max(nRow, nFirstRow), std::max(nCol, nFirstCol));
    m_nEndRow = nRow;
    m_nEndCol = nCol;
    if (!pGrid->CanChangeSelection(&range, TRUE, FALSE))
        return TRUE;
    const ROWCOL t = range.IsCols() || range.IsTable() ? 0 : range.top, l = range.IsRows() || range.IsTable() ? 0 : range.left;
    const ROWCOL b = range.IsCols() || range.IsTable() ? 0 : range.bottom, r = range.IsRows() || range.IsTable() ? 0 : range.right;
    SetSelection(pGrid, m_posActive, t, l, b, r);
    pGrid->OnChangedSelection(&range, TRUE, FALSE);
    return TRUE;
}

BOOL CGXGridUserSelectRangeImp::EndSelection(CGXGridCore* pGrid)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (!m_bSelecting || pParam == nullptr)
        return FALSE;
    m_bSelecting = FALSE;
    if (m_posActive == nullptr || (m_nAnchorRow == 0 && m_nAnchorCol == 0))
        return TRUE;
    CGXRangeList& sel = pParam->m_SelRects;
    const CGXRange entry = *sel.GetRangeAt(m_posActive);
    // A plain click on a cell leaves only a current cell; a click on a header keeps its band.
    const BOOL bBand = entry.IsValid() && !entry.IsCells();
    if (m_nEndRow == m_nAnchorRow && m_nEndCol == m_nAnchorCol && !InRowMode(*pParam) && !bBand) {
        if (pParam->m_bKeepSingleCellSelection) {
            SetSelection(pGrid, m_posActive, m_nAnchorRow, m_nAnchorCol, m_nAnchorRow, m_nAnchorCol);
        } else {
            RedrawRange(pGrid, entry);
            sel.DeleteAt(m_posActive);
            m_posActive = nullptr;
            pGrid->OnChangedSelection(nullptr, FALSE, FALSE);
        }
        return TRUE;
    }
    pGrid->OnChangedSelection(&entry, FALSE, FALSE);
    return TRUE;
}

// ---- The keyboard ----

void CGXGridUserSelectRangeImp::SelectCurrentCellAlone(CGXGridCore* pGrid)
{
    // A plain move leaves the current cell alone, as a click does: a range kept from before
    // would take the next paste, typed value or Delete where the user no longer looks.
    CGXGridParam* pParam = pGrid->GetParam();
    ROWCOL nRow = 0, nCol = 0;
    if (pParam == nullptr || !pGrid->GetCurrentCell(nRow, nCol))
        return;
    CGXRangeList& sel = pParam->m_SelRects;
    const BOOL bKeepCell = pParam->m_bKeepSingleCellSelection && nRow > pGrid->GetHeaderRows() && nCol > pGrid->GetHeaderCols();
    const CGXRange cell(nRow, nCol, nRow, nCol);
    if (sel.IsEmpty() ? !bKeepCell : (bKeepCell && sel.GetCount() == 1 && *sel.GetRangeAt(sel.GetHeadPosition()) == cell))
        return;
    if (!pGrid->CanChangeSelection(nullptr, FALSE, TRUE))
        return;
    if (!sel.IsEmpty())
        SetSelection(pGrid, nullptr, 0, 0, 0, 0);
    if (!bKeepCell) {
        pGrid->OnChangedSelection(nullptr, FALSE, TRUE);
        return;
    }
    SetSelection(pGrid, nullptr, nRow, nCol, nRow, nCol);
    m_posActive = nullptr;
    pGrid->OnChangedSelection(&cell, FALSE, TRUE);
}

BOOL CGXGridUserSelectRangeImp::MoveCurrentCellEx(CGXGridCore* pGrid, int nDirection, UINT nCell)
{
    return MoveByKey(pGrid, nDirection, nCell, Extend::WithShift);
}

BOOL CGXGridUserSelectRangeImp::MoveCurrentCellAlone(CGXGridCore* pGrid, int nDirection, UINT nCell)
{
    return MoveByKey(pGrid, nDirection, nCell, Extend::No);
}

BOOL CGXGridUserSelectRangeImp::MoveByKey(CGXGridCore* pGrid, int nDirection, UINT nCell, Extend extend)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return FALSE;
    CGXRangeList& sel = pParam->m_SelRects;
    const BOOL bShift = extend == Extend::WithShift && KeyIsDown(VK_SHIFT) && pParam->TestSelectionFlags(kSelShiftKeys);
    ROWCOL nRow = 0, nCol = 0;

    if (!InRowMode(*pParam)) {
        if (!bShift) {
            const BOOL bMoved = pGrid->MoveCurrentCell(nDirection, nCell, FALSE);
            m_posActive = nullptr;
            SelectCurrentCellAlone(pGrid);
            return bMoved;
        }
        if (!pGrid->GetCurrentCell(nRow, nCol))
            return pGrid->MoveCurrentCell(nDirection, nCell, TRUE);
        if (m_posActive == nullptr) {
            if (!sel.IsEmpty() && pGrid->CanChangeSelection(nullptr, FALSE, TRUE))
                SetSelection(pGrid, nullptr, 0, 0, 0, 0);
            m_posActive = sel.AddTail(new CGXRange);
            m_nAnchorRow = nRow;
            m_nAnchorCol = nCol;
        }
        const BOOL bMoved = pGrid->MoveCurrentCell(nDirection, nCell, TRUE);
        if (pGrid->GetCurrentCell(nRow, nCol)) {
            SetSelection(pGrid, m_posActive, m_nAnchorRow, m_nAnchorCol, nRow, nCol);
            m_nEndRow = nRow;
            m_nEndCol = nCol;
            const CGXRange range = *sel.GetRangeAt(m_posActive);
            pGrid->OnChangedSelection(&range, FALSE, TRUE);
        }
        return bMoved;
    }

    const BOOL bMoved = pGrid->MoveCurrentCell(nDirection, nCell, TRUE);
    if (!pGrid->GetCurrentCell(nRow, nCol))
        return bMoved;
    if (pParam->TestRowSelectionMode(kRowModeMulti) && bShift && m_posActive != nullptr) {
        SetSelection(pGrid, m_posActive, m_nAnchorRow, 0, nRow, 0);
    } else {
        // A fresh entry: the current cell's row alone.
        SetSelection(pGrid, nullptr, 0, 0, 0, 0);
        m_posActive = sel.AddTail(new CGXRange);
        m_nAnchorRow = nRow;
        m_nAnchorCol = 0;
        SetSelection(pGrid, m_posActive, nRow, 0, nRow, 0);
    }
    const CGXRange range = *sel.GetRangeAt(m_posActive);
    pGrid->OnChangedSelection(&range, FALSE, TRUE);
    return bMoved;
}
