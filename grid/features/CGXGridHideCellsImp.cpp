#include "grid/features/CGXGridHideCellsImp.h"

#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXSizeCommands.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/CGXProperties.h"

#include <algorithm>
#include <vector>

void CGXGridHideCellsImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pHideCellsImp != nullptr)
        return;
    auto* pFeature = new CGXGridHideCellsImp;
    pGrid->m_pHideCellsImp = pFeature;
    pGrid->AddAutoDeleteImp(pFeature);
}

// ---- The bit sets ----

BOOL CGXGridHideCellsImp::GetBit(const CByteArray& bits, ROWCOL n)
{
    const INT_PTR nByte = static_cast<INT_PTR>(n / 8);
    return nByte < bits.GetSize() && (bits[nByte] & (1u << (n % 8))) != 0;
}

void CGXGridHideCellsImp::SetBit(CByteArray& bits, ROWCOL n, BOOL bSet)
{
    const INT_PTR nByte = static_cast<INT_PTR>(n / 8);
    if (nByte >= bits.GetSize()) {
        // Clearing a bit past the end changes nothing: it reads as shown already.
        if (!bSet)
            return;
        bits.SetSize(nByte + 1);
    }
    const BYTE mask = static_cast<BYTE>(1u << (n % 8));
    bits[nByte] = static_cast<BYTE>(bSet ? (bits[nByte] | mask) : (bits[nByte] & ~mask));
}

void CGXGridHideCellsImp::RemoveBits(CByteArray& bits, ROWCOL nFrom, ROWCOL nTo)
{
    if (nFrom > nTo)
        return;
    const ROWCOL nCount = nTo - nFrom + 1;
    const ROWCOL nEnd = static_cast<ROWCOL>(bits.GetSize()) * 8;
    if (nFrom >= nEnd)
        return;
    for (ROWCOL n = nFrom; n < nEnd; ++n) {
        const ROWCOL nSrc = n + nCount;
        SetBit(bits, n, nSrc >= n && nSrc < nEnd && GetBit(bits, nSrc));
    }
}

void CGXGridHideCellsImp::InsertBits(CByteArray& bits, ROWCOL nPos, ROWCOL nCount)
{
    const ROWCOL nEnd = static_cast<ROWCOL>(bits.GetSize()) * 8;
    if (nCount == 0 || nPos >= nEnd)
        return;
    // Walk down from the last stored bit: each bit goes to a place already read.
    for (ROWCOL n = nEnd; n-- > nPos;) {
        if (n + nCount > n)
            SetBit(bits, n + nCount, GetBit(bits, n));
        SetBit(bits, n, FALSE);
    }
}

void CGXGridHideCellsImp::MoveBits(CByteArray& bits, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest)
{
    if (nFrom > nTo || nDest == nFrom)
        return;
    const ROWCOL nCount = nTo - nFrom + 1;
    std::vector<bool> block(nCount);
    for (ROWCOL i = 0; i < nCount; ++i)
        block[i] = GetBit(bits, nFrom + i) != FALSE;
    // Free room at the destination (after the block it is shifted by the block's size), copy
    // the block there and take its old place out.
    const ROWCOL nInsert = nDest > nFrom ? nDest + nCount : nDest;
    InsertBits(bits, nInsert, nCount);
    const ROWCOL nOld = nDest < nFrom ? nFrom + nCount : nFrom;
    for (ROWCOL i = 0; i < nCount; ++i)
        SetBit(bits, nInsert + i, block[i]);
    RemoveBits(bits, nOld, nOld + nCount - 1);
}

// ---- Row and column structure ----

void CGXGridHideCellsImp::RemoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo)
{
    if (CGXGridParam* pParam = pGrid->GetParam())
        RemoveBits(pParam->m_abHideRow, nFrom, nTo);
}

void CGXGridHideCellsImp::RemoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo)
{
    if (CGXGridParam* pParam = pGrid->GetParam())
        RemoveBits(pParam->m_abHideCol, nFrom, nTo);
}

void CGXGridHideCellsImp::InsertRows(CGXGridCore* pGrid, ROWCOL nPos, ROWCOL nCount)
{
    if (CGXGridParam* pParam = pGrid->GetParam())
        InsertBits(pParam->m_abHideRow, nPos, nCount);
}

void CGXGridHideCellsImp::InsertCols(CGXGridCore* pGrid, ROWCOL nPos, ROWCOL nCount)
{
    if (CGXGridParam* pParam = pGrid->GetParam())
        InsertBits(pParam->m_abHideCol, nPos, nCount);
}

void CGXGridHideCellsImp::MoveRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest)
{
    if (CGXGridParam* pParam = pGrid->GetParam())
        MoveBits(pParam->m_abHideRow, nFrom, nTo, nDest);
}

void CGXGridHideCellsImp::MoveCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest)
{
    if (CGXGridParam* pParam = pGrid->GetParam())
        MoveBits(pParam->m_abHideCol, nFrom, nTo, nDest);
}

// ---- Hiding and showing ----

BOOL CGXGridHideCellsImp::IsHeaderHiddenForPrint(CGXGridCore* pGrid, Axis axis, ROWCOL n)
{
    if (n != 0 || !pGrid->IsPrinting() || pGrid->GetParam() == nullptr)
        return FALSE;
    const CGXProperties* pProp = pGrid->GetParam()->GetProperties();
    if (pProp == nullptr)
        return FALSE;
    return pProp->m_bPrintHeaders && !(axis == Axis::rows ? pProp->m_bPrintRowHeaders : pProp->m_bPrintColHeaders);
}

BOOL CGXGridHideCellsImp::IsRowHidden(CGXGridCore* pGrid, ROWCOL nRow)
{
    // The header-hiding switch hides the header rows on the screen, unless they are exempt.
    if (pGrid->IsHideHeaders() && !pGrid->IsPrinting() && !pGrid->IsHeaderRowsExempt() && nRow <= pGrid->GetHeaderRows())
        return TRUE;
    if (IsHeaderHiddenForPrint(pGrid, Axis::rows, nRow))
        return TRUE;
    const CGXGridParam* pParam = pGrid->GetParam();
    return pParam != nullptr && GetBit(pParam->m_abHideRow, nRow);
}

BOOL CGXGridHideCellsImp::IsColHidden(CGXGridCore* pGrid, ROWCOL nCol)
{
    if (pGrid->IsHideHeaders() && !pGrid->IsPrinting() && !pGrid->IsHeaderColsExempt() && nCol <= pGrid->GetHeaderCols())
        return TRUE;
    if (IsHeaderHiddenForPrint(pGrid, Axis::cols, nCol))
        return TRUE;
    const CGXGridParam* pParam = pGrid->GetParam();
    return pParam != nullptr && GetBit(pParam->m_abHideCol, nCol);
}

BOOL CGXGridHideCellsImp::StoreHideRow(CGXGridCore* pGrid, ROWCOL nRow, BOOL bHide)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return FALSE;
    SetBit(pParam->m_abHideRow, nRow, bHide);
    return TRUE;
}

BOOL CGXGridHideCellsImp::StoreHideCol(CGXGridCore* pGrid, ROWCOL nCol, BOOL bHide)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (pParam == nullptr)
        return FALSE;
    SetBit(pParam->m_abHideCol, nCol, bHide);
    return TRUE;
}

BOOL CGXGridHideCellsImp::HideRows(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, BOOL bHide, const CDWordArray* pFlags, UINT nFlags, int nMode)
{
    return Hide(pGrid, Axis::rows, nFrom, nTo, bHide, pFlags, nFlags, nMode);
}

BOOL CGXGridHideCellsImp::HideCols(CGXGridCore* pGrid, ROWCOL nFrom, ROWCOL nTo, BOOL bHide, const CDWordArray* pFlags, UINT nFlags, int nMode)
{
    return Hide(pGrid, Axis::cols, nFrom, nTo, bHide, pFlags, nFlags, nMode);
}

BOOL CGXGridHideCellsImp::Hide(CGXGridCore* pGrid, Axis axis, ROWCOL nFrom, ROWCOL nTo, BOOL bHide, const CDWordArray* pFlags,
                               UINT nFlags, int nMode)
{
    CGXGridParam* pParam = pGrid->GetParam();
    if (nTo == 0)
        nTo = nFrom;
    const BOOL bRows = axis == Axis::rows;
    // Rows past the end have nothing to hide; stopping at the count also keeps a careless
    // "to the last possible row" from walking four billion entries.
    const ROWCOL nCount = bRows ? pGrid->GetRowCount() : pGrid->GetColCount();
    nTo = std::min(nTo, nCount);
    if (pParam == nullptr || nFrom > nTo)
        return FALSE;
    const size_t nSize = static_cast<size_t>(nTo - nFrom) + 1;
    // A per-entry state list shorter than the block would be read past its end.
    if (pFlags != nullptr && static_cast<size_t>(pFlags->GetSize()) < nSize)
        return FALSE;

    CDWordArray oldStates;
    oldStates.SetSize(static_cast<INT_PTR>(nSize));
    std::vector<int> oldSizes(nSize);
    BOOL bChanged = FALSE;
    {
        CGXLongOperation op;
        for (size_t i = 0; i < nSize; ++i) {
            const ROWCOL n = nFrom + static_cast<ROWCOL>(i);
            const BOOL bOld = GetBit(bRows ? pParam->m_abHideRow : pParam->m_abHideCol, n);
            oldStates[static_cast<INT_PTR>(i)] = bOld ? 1 : 0;
            oldSizes[i] = bRows ? pGrid->GetRowHeight(n) : pGrid->GetColWidth(n);
            const BOOL bNew = pFlags != nullptr ? (*pFlags)[static_cast<INT_PTR>(i)] != 0 : bHide;
            if (bRows)
                pGrid->StoreHideRow(n, bNew);
            else
                pGrid->StoreHideCol(n, bNew);
            bChanged |= (bOld != FALSE) != (bNew != FALSE);
            op.DoMessages();
        }
    }
    if (!bChanged)
        return FALSE;
    if (bRows)
        pGrid->UpdateChangedRowHeights(nFrom, nTo, oldSizes.data(), nFlags, TRUE);
    else
        pGrid->UpdateChangedColWidths(nFrom, nTo, oldSizes.data(), nFlags, TRUE);

    if (pGrid->m_pUndoImp != nullptr && nMode != gxRollback && pParam->IsEnableUndo()) {
        if (bRows)
            pGrid->AddCommand(new CGXHideRowsCmd(nFrom, nTo, oldStates), nMode);
        else
            pGrid->AddCommand(new CGXHideColsCmd(nFrom, nTo, oldStates), nMode);
        if (nMode == gxUndo || nMode == gxRedo) {
            if (bRows)
                pGrid->ShowCommandPosition(nFrom, pGrid->GetLeftCol(), FALSE);
            else
                pGrid->ShowCommandPosition(pGrid->GetTopRow(), nFrom, FALSE);
        }
    }
    return TRUE;
}
