#include "grid/features/CGXGridSortImp.h"

#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/core/CGXSortInfoArray.h"
#include "grid/data/CGXCommand.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/CGXStyle.h"
#include "platform/core/COleDateTime.h"
#include "platform/core/CException.h"
#include "platform/core/CrtStrings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// Rows (or columns) between two looks at the long operation: often enough for ESC to feel
// immediate, seldom enough that the look costs nothing.
constexpr ROWCOL kPollInterval = 256;

// One row (or column) being sorted: its key texts, their values for number and date keys, and
// where it stood in the block.
struct SortRecord {
    std::vector<CString> texts;
    std::vector<double> values;
    DWORD nPos = 0;
};

CGXSortInfo* KeyAt(const CObArray& sortInfo, INT_PTR i)
{
    return static_cast<CGXSortInfo*>(sortInfo.GetAt(i));
}

void PollLongOperation(CGXLongOperation& op)
{
    BOOL bCancelled = FALSE;
    op.DoMessages(bCancelled);
    if (bCancelled)
        AfxThrowUserException();
}

// Whether a sorts before b under the keys; equal keys keep the block's order (the sort is stable).
bool SortsBefore(const SortRecord& a, const SortRecord& b, const std::vector<const CGXSortInfo*>& keys)
{
    for (size_t k = 0; k < keys.size(); ++k) {
        const CGXSortInfo& key = *keys[k];
        int cmp = 0;
        if (key.sortType == CGXSortInfo::numeric || key.sortType == CGXSortInfo::date) {
            const double x = a.values[k];
            const double y = b.values[k];
            cmp = x < y ? -1 : y < x ? 1 : 0;
        } else {
            const auto* pa = reinterpret_cast<const unsigned char*>(a.texts[k].GetString());
            const auto* pb = reinterpret_cast<const unsigned char*>(b.texts[k].GetString());
            cmp = key.bCase ? _mbscoll(pa, pb) : _mbsicoll(pa, pb);
        }
        if (cmp != 0)
            return key.IsAscending() ? cmp < 0 : cmp > 0;
    }
    return false;
}

} // namespace

void CGXGridSortImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pSortImp != nullptr)
        return;
    auto* pImp = new CGXGridSortImp;
    pGrid->m_pSortImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

BOOL CGXGridSortImp::IsNumberText(const CString& sText)
{
    return std::strspn(sText.GetString(), "0123456789,.-e ") == static_cast<size_t>(sText.GetLength());
}

BOOL CGXGridSortImp::ParseDateKey(const CString& sText, double& value)
{
    COleDateTime dt;
    if (sText.IsEmpty() || !dt.ParseDateTime(sText, 0, 0x400) || dt.GetStatus() != COleDateTime::valid)
        return FALSE;
    value = static_cast<DATE>(dt);
    return TRUE;
}

void CGXGridSortImp::SortRows(CGXGridCore* pGrid, CGXRange sortRange, const CObArray& sortInfo, UINT nFlags)
{
    Sort(pGrid, TRUE, sortRange, sortInfo, nFlags);
}

void CGXGridSortImp::SortCols(CGXGridCore* pGrid, CGXRange sortRange, const CObArray& sortInfo, UINT nFlags)
{
    Sort(pGrid, FALSE, sortRange, sortInfo, nFlags);
}

void CGXGridSortImp::Sort(CGXGridCore* pGrid, BOOL bRows, CGXRange sortRange, const CObArray& sortInfo, UINT nFlags)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr || sortInfo.GetSize() == 0)
        return;
    for (INT_PTR k = 0; k < sortInfo.GetSize(); ++k)
        if (KeyAt(sortInfo, k) == nullptr)
            return;
    const ROWCOL nCount = bRows ? pGrid->GetRowCount() : pGrid->GetColCount();
    const ROWCOL nHeaders = bRows ? pGrid->GetHeaderRows() : pGrid->GetHeaderCols();
    if (nCount <= 1 || !sortRange.IsValid())
        return;
    // The block: the range's rows (columns), never the headers, never past the last.
    ROWCOL nFirst = nHeaders + 1;
    ROWCOL nLast = nCount;
    const BOOL bWhole = sortRange.IsTable() || (bRows ? sortRange.IsCols() : sortRange.IsRows());
    if (!bWhole) {
        nFirst = std::max(nFirst, bRows ? sortRange.top : sortRange.left);
        nLast = std::min(nLast, bRows ? sortRange.bottom : sortRange.right);
    }
    if (nFirst >= nLast)
        return;
    const ROWCOL nSize = nLast - nFirst + 1;
    if (nSize >= 0x7FFFFFFF)
        AfxThrowMemoryException();

    pGrid->MoveCurrentCell(bRows ? GX_TOP : GX_LEFT, TRUE, TRUE);
    pGrid->SyncCurrentCell(TRUE, GX_UPDATENOW, TRUE);

    // The caller's keys stay as they were given: the working flags and decided types live in
    // copies.
    std::vector<CGXSortInfo> keyCopies(static_cast<size_t>(sortInfo.GetSize()));
    std::vector<const CGXSortInfo*> keys;
    CObArray keyArray;
    for (INT_PTR k = 0; k < sortInfo.GetSize(); ++k) {
        const CGXSortInfo& given = *KeyAt(sortInfo, k);
        CGXSortInfo& key = keyCopies[static_cast<size_t>(k)];
        key.nRC = given.nRC;
        key.sortType = given.sortType;
        key.sortOrder = given.sortOrder;
        key.bCase = given.bCase;
        key.dwReserved = given.dwReserved;
        key.bAllNumbers = TRUE;
        key.bAllDates = TRUE;
        keys.push_back(&key);
        keyArray.Add(&key);
    }

    try {
        CGXLongOperation op;
        op.SetStatusText(pGrid->GetAppData()->GetText(bRows ? gxTextSortRows : gxTextSortCols), FALSE);

        std::vector<SortRecord> records(nSize);
        CStringArray texts;
        for (ROWCOL i = 0; i < nSize; ++i) {
            GetKeys(pGrid, bRows, nFirst + i, keyArray, texts);
            SortRecord& rec = records[i];
            rec.nPos = i;
            rec.texts.resize(keys.size());
            for (size_t k = 0; k < keys.size(); ++k) {
                rec.texts[k] = k < static_cast<size_t>(texts.GetSize()) ? texts[static_cast<INT_PTR>(k)] : CString();
                CGXSortInfo& key = keyCopies[k];
                if (key.sortType != CGXSortInfo::autodetect || rec.texts[k].IsEmpty())
                    continue;
                double unused = 0;
                if (key.bAllDates && !ParseDateKey(rec.texts[k], unused))
                    key.bAllDates = FALSE;
                if (key.bAllNumbers && !IsNumberText(rec.texts[k]))
                    key.bAllNumbers = FALSE;
            }
            if ((i + 1) % kPollInterval == 0)
                PollLongOperation(op);
        }

        for (size_t k = 0; k < keys.size(); ++k) {
            CGXSortInfo& key = keyCopies[k];
            if (key.sortType == CGXSortInfo::autodetect)
                key.sortType = key.bAllDates ? CGXSortInfo::date : key.bAllNumbers ? CGXSortInfo::numeric : CGXSortInfo::alphanumeric;
            if (key.sortType != CGXSortInfo::numeric && key.sortType != CGXSortInfo::date)
                continue;
            for (SortRecord& rec : records) {
                rec.values.resize(keys.size());
                double value = 0;
                if (key.sortType == CGXSortInfo::numeric)
                    value = std::atof(rec.texts[k].GetString());
                else if (!ParseDateKey(rec.texts[k], value))
                    value = -std::numeric_limits<double>::infinity(); // empty and unparsable dates first
                rec.values[k] = value;
            }
        }
        PollLongOperation(op);

        std::vector<const SortRecord*> sorted(nSize);
        for (ROWCOL i = 0; i < nSize; ++i)
            sorted[i] = &records[i];
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&keys](const SortRecord* a, const SortRecord* b) { return SortsBefore(*a, *b, keys); });
        PollLongOperation(op);

        CDWordArray order;
        order.SetSize(static_cast<INT_PTR>(nSize));
        for (ROWCOL i = 0; i < nSize; ++i)
            order[static_cast<INT_PTR>(i)] = nFirst + sorted[i]->nPos;

        CGXRange block;
        if (bRows)
            block.SetRows(nFirst, nLast);
        else
            block.SetCols(nFirst, nLast);
        if (!MoveData(pGrid, bRows, block, order, nFlags, gxDo))
            return;
        CGXGridParam* pParam = pGrid->GetParam();
        pParam->m_nLastSortRow = bRows ? GX_INVALID : keys[0]->nRC;
        pParam->m_nLastSortCol = bRows ? keys[0]->nRC : GX_INVALID;
        pParam->m_bLastSortAscending = keys[0]->IsAscending();
    } catch (CUserException* e) {
        // The user cancelled before anything moved: the grid stays as it was.
        e->Delete();
    }
}

void CGXGridSortImp::GetSortRowKeys(CGXGridCore* pGrid, ROWCOL nRow, const CObArray& sortInfo, CStringArray& keys)
{
    GetKeys(pGrid, TRUE, nRow, sortInfo, keys);
}

void CGXGridSortImp::GetSortColKeys(CGXGridCore* pGrid, ROWCOL nCol, const CObArray& sortInfo, CStringArray& keys)
{
    GetKeys(pGrid, FALSE, nCol, sortInfo, keys);
}

void CGXGridSortImp::GetKeys(CGXGridCore* pGrid, BOOL bRows, ROWCOL nRC, const CObArray& sortInfo, CStringArray& keys)
{
    keys.SetSize(sortInfo.GetSize());
    CGXStyle style;
    for (INT_PTR k = 0; k < sortInfo.GetSize(); ++k) {
        const CGXSortInfo* pKey = KeyAt(sortInfo, k);
        keys[k].Empty();
        if (pKey == nullptr)
            continue;
        const ROWCOL nRow = bRows ? nRC : pKey->nRC;
        const ROWCOL nCol = bRows ? pKey->nRC : nRC;
        style.Free();
        pGrid->ComposeCellStyle(nRow, nCol, style);
        CString sKey;
        if (pGrid->GetSortKey(nRow, nCol, *pKey, style, sKey))
            keys[k] = sKey;
    }
}

void CGXGridSortImp::SortIndexArray(CGXGridCore* pGrid, CDWordArray& indexes, const CObArray& sortInfo)
{
    if (pGrid == nullptr || sortInfo.GetSize() == 0 || indexes.GetSize() < 2)
        return;
    std::vector<SortRecord> records(static_cast<size_t>(indexes.GetSize()));
    std::vector<const CGXSortInfo*> keys;
    for (INT_PTR k = 0; k < sortInfo.GetSize(); ++k) {
        if (KeyAt(sortInfo, k) == nullptr)
            return;
        keys.push_back(KeyAt(sortInfo, k));
    }
    CStringArray texts;
    for (size_t i = 0; i < records.size(); ++i) {
        GetKeys(pGrid, TRUE, indexes[static_cast<INT_PTR>(i)], sortInfo, texts);
        records[i].nPos = indexes[static_cast<INT_PTR>(i)];
        for (INT_PTR k = 0; k < texts.GetSize(); ++k)
            records[i].texts.push_back(texts[k]);
        records[i].values.resize(keys.size());
        for (size_t k = 0; k < keys.size(); ++k) {
            double value = 0;
            if (keys[k]->sortType == CGXSortInfo::numeric)
                value = std::atof(records[i].texts[k].GetString());
            else if (keys[k]->sortType == CGXSortInfo::date && !ParseDateKey(records[i].texts[k], value))
                value = -std::numeric_limits<double>::infinity();
            records[i].values[k] = value;
        }
    }
    std::stable_sort(records.begin(), records.end(),
                     [&keys](const SortRecord& a, const SortRecord& b) { return SortsBefore(a, b, keys); });
    for (size_t i = 0; i < records.size(); ++i)
        indexes[static_cast<INT_PTR>(i)] = records[i].nPos;
}

BOOL CGXGridSortImp::MoveDataRows(CGXGridCore* pGrid, const CGXRange& range, const CDWordArray& order, UINT nFlags, int nMode)
{
    return MoveData(pGrid, TRUE, range, order, nFlags, nMode);
}

BOOL CGXGridSortImp::MoveDataCols(CGXGridCore* pGrid, const CGXRange& range, const CDWordArray& order, UINT nFlags, int nMode)
{
    return MoveData(pGrid, FALSE, range, order, nFlags, nMode);
}

BOOL CGXGridSortImp::MoveData(CGXGridCore* pGrid, BOOL bRows, const CGXRange& range, const CDWordArray& order, UINT nFlags, int nMode)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    if (!(bRows ? pGrid->StoreMoveDataRows(range, order) : pGrid->StoreMoveDataCols(range, order)))
        return FALSE;
    pGrid->SetSelection(nullptr);
    // Floating and merged spans were worked out for the cells as they stood: a text that
    // floated in one row may now stand in another. They are dropped and worked out again.
    if (pGrid->m_pMergeCellsImp != nullptr)
        pGrid->m_pMergeCellsImp->OnStructureChanged(pGrid);
    if (pGrid->m_pFloatCellsImp != nullptr)
        pGrid->m_pFloatCellsImp->OnStructureChanged(pGrid);
    if (bRows)
        pGrid->UpdateMoveDataRows(range, nFlags, TRUE);
    else
        pGrid->UpdateMoveDataCols(range, nFlags, TRUE);
    if (pGrid->RecordingUndo(nMode)) {
        // Undo puts every row back where it stood: the inverse permutation.
        const DWORD nFirst = bRows ? range.top : range.left;
        CDWordArray inverse;
        inverse.SetSize(order.GetSize());
        for (INT_PTR i = 0; i < order.GetSize(); ++i)
            inverse[order[i] - nFirst] = nFirst + static_cast<DWORD>(i);
        CGXCommand* pCmd = bRows ? static_cast<CGXCommand*>(new CGXMoveDataRowsCmd(range, inverse))
                                 : static_cast<CGXCommand*>(new CGXMoveDataColsCmd(range, inverse));
        pCmd->m_sDescription = pGrid->GetAppData()->GetText(bRows ? gxTextSortRows : gxTextSortCols);
        pGrid->AddCommand(pCmd, nMode);
    }
    return TRUE;
}

BOOL CGXGridSortImp::StoreMoveDataRows(CGXGridCore* pGrid, const CGXRange& range, const CDWordArray& order)
{
    CGXData* pData = pGrid != nullptr && pGrid->GetParam() != nullptr ? pGrid->GetParam()->GetData() : nullptr;
    // The data object checks that the order is a permutation of the block's rows; a bad order
    // changes nothing.
    if (pData == nullptr || pGrid->IsReadOnlyLocked() || !pData->MoveDataRows(range, order))
        return FALSE;
    pGrid->SetModifiedFlag(TRUE);
    return TRUE;
}

BOOL CGXGridSortImp::StoreMoveDataCols(CGXGridCore* pGrid, const CGXRange& range, const CDWordArray& order)
{
    CGXData* pData = pGrid != nullptr && pGrid->GetParam() != nullptr ? pGrid->GetParam()->GetData() : nullptr;
    if (pData == nullptr || pGrid->IsReadOnlyLocked() || !pData->MoveDataCols(range, order))
        return FALSE;
    pGrid->SetModifiedFlag(TRUE);
    return TRUE;
}

void CGXGridSortImp::UpdateMoveDataRows(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags, BOOL bCreateHint)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return;
    // The current cell's control shows the cell that moved in, not the one that left.
    pGrid->SyncCurrentCell(FALSE, 0, TRUE);
    if (!pGrid->GetParam()->m_bLockUpdate)
        pGrid->Redraw(nFlags, FALSE);
    if (pGrid->HintsWanted(bCreateHint))
        pGrid->m_pUpdateHintImp->HintUpdateMoveDataRows(pGrid, range, nFlags);
}

void CGXGridSortImp::UpdateMoveDataCols(CGXGridCore* pGrid, const CGXRange& range, UINT nFlags, BOOL bCreateHint)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return;
    pGrid->SyncCurrentCell(FALSE, 0, TRUE);
    if (!pGrid->GetParam()->m_bLockUpdate)
        pGrid->Redraw(nFlags, FALSE);
    if (pGrid->HintsWanted(bCreateHint))
        pGrid->m_pUpdateHintImp->HintUpdateMoveDataCols(pGrid, range, nFlags);
}

BOOL CGXGridSortImp::SortOnHeaderDblClk(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, UINT nFlags)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    CGXGridParam* pParam = pGrid->GetParam();
    const BOOL bRowSort = nRow == 0 && nCol != 0 && (pParam->m_wSortOnDblClk & GX_SORT_ROWS_ON_COLHEADER_DBLCLK) != 0;
    const BOOL bColSort = nCol == 0 && nRow != 0 && (pParam->m_wSortOnDblClk & GX_SORT_COLS_ON_ROWHEADER_DBLCLK) != 0;
    if (!bRowSort && !bColSort)
        return FALSE;
    const ROWCOL nKey = bRowSort ? nCol : nRow;
    const BOOL bSameKey = bRowSort ? pParam->m_nLastSortRow == GX_INVALID && pParam->m_nLastSortCol == nKey
                                   : pParam->m_nLastSortCol == GX_INVALID && pParam->m_nLastSortRow == nKey;
    const BOOL bDescending = bSameKey && pParam->m_bLastSortAscending;
    CGXSortInfoArray sortInfo;
    sortInfo.Add(CGXSortInfo(nKey, CGXSortInfo::autodetect, bDescending ? CGXSortInfo::descending : CGXSortInfo::ascending));
    CGXRange table;
    table.SetTable();
    if (bRowSort) {
        pGrid->SortRows(table, sortInfo, nFlags);
        pGrid->MoveCurrentCell(GX_TOP, TRUE, TRUE);
    } else {
        pGrid->SortCols(table, sortInfo, nFlags);
        pGrid->MoveCurrentCell(GX_LEFT, TRUE, TRUE);
    }
    return TRUE;
}
