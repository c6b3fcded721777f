#include "grid/features/CGXGridStyleDataExchangeImp.h"

#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXCommand.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/CGXStylesMap.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/features/CGXGridTextDataExchangeImp.h"
#include "grid/features/GXFeatureScope.h"
#include "platform/core/CArchive.h"
#include "platform/core/CException.h"

#include <algorithm>
#include <memory>
#include <new>
#include <unordered_set>
#include <vector>

namespace {

// Cells between two looks at the message queue while styles are gathered.
constexpr unsigned long long kPumpStep = 4096;

// Reads the styles array as the writer stored it (an object array, its count, then one style
// or null per cell), taking only what the block's size promises: the array class itself, exactly
// nCells entries, each a style or null, none of them read twice. Anything else is refused
// before one cell changes; no other class is made.
bool ReadStyleArray(CArchive& ar, unsigned long long nCells, CGXStyleArray& styles)
{
    UINT nSchema = 0;
    DWORD nTag = 0;
    CRuntimeClass* pClass = ar.ReadClass(RUNTIME_CLASS(CObArray), &nSchema, &nTag);
    if (pClass != RUNTIME_CLASS(CObArray))
        return false; // a reference to an earlier object, or a class derived from the array
    // The array takes its place in the archive's object map, as reading it whole would.
    ar.MapObject(&styles);
    if (ar.ReadCount() != nCells)
        return false;
    styles.SetSize(static_cast<INT_PTR>(nCells));
    std::unordered_set<const CObject*> seen;
    for (unsigned long long i = 0; i < nCells; ++i) {
        CObject* pOb = ar.ReadObject(RUNTIME_CLASS(CGXStyle));
        if (pOb == nullptr)
            continue;
        // A back-reference hands out a style already in the array: owned twice, freed twice.
        if (!seen.insert(pOb).second)
            return false;
        styles.SetAt(static_cast<INT_PTR>(i), pOb);
    }
    return true;
}

// The entries of a rows x cols array (row-major) that fall into the first nKeepRows rows and
// nKeepCols columns, in the same order.
void KeepCorner(CGXStyleArray& styles, DWORD nCols, ROWCOL nKeepRows, ROWCOL nKeepCols)
{
    CObArray kept;
    kept.SetSize(static_cast<INT_PTR>(nKeepRows) * nKeepCols);
    for (ROWCOL r = 0; r < nKeepRows; ++r)
        for (ROWCOL c = 0; c < nKeepCols; ++c) {
            const INT_PTR from = static_cast<INT_PTR>(r) * nCols + c;
            kept.SetAt(static_cast<INT_PTR>(r) * nKeepCols + c, styles.GetAt(from));
            styles.SetAt(from, nullptr);
        }
    for (INT_PTR i = 0; i < styles.GetSize(); ++i)
        delete styles.GetAt(i);
    styles.RemoveAll();
    styles.Append(kept);
}

// Whether the cells of the range already hold exactly these styles, so that storing them
// changes nothing and is no failure.
bool RangeHolds(CGXGridCore& grid, const CGXRange& range, const CObArray& styles)
{
    CGXData* pData = grid.GetData();
    INT_PTR i = 0;
    for (ROWCOL r = range.top; r <= range.bottom; ++r)
        for (ROWCOL c = range.left; c <= range.right; ++c, ++i) {
            const CGXStyle* pWant = static_cast<const CGXStyle*>(styles.GetAt(i));
            const CGXStyle* pHave = pData != nullptr ? pData->LookupStyle(r, c, 0) : nullptr;
            if ((pWant == nullptr) != (pHave == nullptr) || (pWant != nullptr && !(*pWant == *pHave)))
                return false;
        }
    return true;
}

} // namespace

void CGXGridStyleDataExchangeImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pStyleDataExchangeImp != nullptr)
        return;
    auto* pImp = new CGXGridStyleDataExchangeImp;
    pGrid->m_pStyleDataExchangeImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

BOOL CGXGridStyleDataExchangeImp::GetCopyStyle(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bComposed)
{
    if (pGrid == nullptr)
        return FALSE;
    if (bComposed) {
        pGrid->ComposeCellStyle(nRow, nCol, style);
        return TRUE;
    }
    // With the grid-type flag the cells are read under the grid's own style-access type.
    const int nType = (pGrid->m_nClipboardFlags & GX_CLIP_GRIDSTYLETYPE) ? pGrid->GetStyleAccessType() : 0;
    return pGrid->ReadCellStyle(nRow, nCol, style, gxCopy, nType);
}

BOOL CGXGridStyleDataExchangeImp::CopyCellStyles(CGXGridCore* pGrid, CArchive& ar, const CGXRangeList& selList, BOOL bComposed)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    CGXGridCore& grid = *pGrid;
    std::vector<ROWCOL> rows, cols;
    GXPackedBlock(grid, selList, rows, cols);
    const unsigned long long nCells = static_cast<unsigned long long>(rows.size()) * cols.size();
    if (rows.size() > GX_MAXCOPYROWS || cols.size() > GX_MAXCOPYCOLS || nCells >= GX_MAXCOPYCELLS)
        AfxThrowMemoryException();

    CGXLongOperation op;
    op.SetStatusText(grid.GetAppData()->GetText(gxTextCopyingInternal), FALSE);
    const CGXStylesMap::CArchiveScope stylesOfGrid(ar, grid.GetParam()->GetStylesMap());
    ar << static_cast<DWORD>(rows.size()) << static_cast<DWORD>(cols.size());
    // Owns the styles, so that a cancel or a failed write frees them.
    CGXStyleArray styles;
    styles.SetSize(static_cast<INT_PTR>(nCells));
    unsigned long long nDone = 0;
    for (ROWCOL nRow : rows)
        for (ROWCOL nCol : cols) {
            auto pStyle = std::make_unique<CGXStyle>();
            if (GetCopyStyle(pGrid, nRow, nCol, *pStyle, bComposed))
                styles.SetAt(static_cast<INT_PTR>(nDone), pStyle.release());
            if (++nDone % kPumpStep == 0) {
                CGXLongOperation::SetPercentDone(static_cast<int>(nDone * 100 / nCells));
                BOOL bCancelled = FALSE;
                op.DoMessages(bCancelled);
                if (bCancelled)
                    return FALSE;
            }
        }
    ar.WriteObject(&styles);
    grid.m_nLastCopiedRows = static_cast<ROWCOL>(rows.size());
    grid.m_nLastCopiedCols = static_cast<ROWCOL>(cols.size());
    return TRUE;
}

BOOL CGXGridStyleDataExchangeImp::PasteCellStyles(CGXGridCore* pGrid, CArchive& ar, const CGXRange& range, BOOL bNoSizeQuestion)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr || pGrid->GetData() == nullptr || !range.IsValid())
        return FALSE;
    CGXGridCore& grid = *pGrid;
    const DWORD nFlags = grid.m_nClipboardFlags;
    CGXStyleArray styles;
    CGXRange target;
    DWORD nRows = 0, nCols = 0;
    try {
        const CGXStylesMap::CArchiveScope stylesOfGrid(ar, grid.GetParam()->GetStylesMap());
        ar >> nRows >> nCols;
        const unsigned long long nCells = static_cast<unsigned long long>(nRows) * nCols;
        if (nRows == 0 || nCols == 0 || nRows > GX_MAXCOPYROWS || nCols > GX_MAXCOPYCOLS || nCells >= GX_MAXCOPYCELLS)
            return FALSE;
        // The block at the range's top-left cell; a bottom or right past the last number a
        // grid can have is refused rather than wrapped round to the top.
        const unsigned long long nBottom = static_cast<unsigned long long>(range.top) + nRows - 1;
        const unsigned long long nRight = static_cast<unsigned long long>(range.left) + nCols - 1;
        if (nBottom >= GX_INVALID || nRight >= GX_INVALID)
            return FALSE;
        target.SetCells(range.top, range.left, static_cast<ROWCOL>(nBottom), static_cast<ROWCOL>(nRight));
        if (!bNoSizeQuestion && (target.bottom != range.bottom || target.right != range.right) &&
            !grid.ConfirmPasteSizeMismatch())
            return FALSE;
        if (!ReadStyleArray(ar, nCells, styles))
            return FALSE;
    } catch (CException* e) {
        e->Delete();
        return FALSE; // a damaged block: the array frees what was read
    } catch (const std::bad_alloc&) {
        return FALSE;
    }

    grid.m_nPasteCellsLeftOut = 0;
    CGXLongOperation op;
    op.SetStatusText(grid.GetAppData()->GetText(gxTextPastingData), FALSE);
    grid.SyncCurrentCell(TRUE);
    CGXTransactionScope trans(grid, grid.GetAppData()->GetText(gxTextPaste));
    // Rows and columns the grid lacks are added unless the flags forbid it; what still lies
    // outside is left out.
    if (target.bottom > grid.GetRowCount() && (nFlags & GX_CLIP_NOADDROWS) == 0)
        grid.SetRowCount(target.bottom, GX_INVALIDATE);
    if (target.right > grid.GetColCount() && (nFlags & GX_CLIP_NOADDCOLS) == 0)
        grid.SetColCount(target.right, GX_INVALIDATE);
    if (target.top > grid.GetRowCount() || target.left > grid.GetColCount())
        return FALSE; // the guard takes back rows or columns added
    if (target.bottom > grid.GetRowCount() || target.right > grid.GetColCount()) {
        target.bottom = std::min(target.bottom, grid.GetRowCount());
        target.right = std::min(target.right, grid.GetColCount());
        grid.m_nPasteCellsLeftOut = static_cast<unsigned long long>(nRows) * nCols -
                                    static_cast<unsigned long long>(target.GetHeight()) * target.GetWidth();
        KeepCorner(styles, nCols, target.GetHeight(), target.GetWidth());
    }
    const BOOL bStored = grid.ApplyStyleToRange(target, nullptr, gxCopy, grid.GetStyleAccessType(), &styles, GX_INVALIDATE, gxDo);
    if (!bStored && !RangeHolds(grid, target, styles))
        return FALSE;
    trans.Commit();
    return TRUE;
}
