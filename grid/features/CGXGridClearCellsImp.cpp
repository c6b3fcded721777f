#include "grid/features/CGXGridClearCellsImp.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/features/GXCellStore.h"
#include "grid/features/GXFeatureScope.h"

#include <algorithm>
#include <vector>

namespace {

constexpr LPCTSTR kClearCells = "Clear Cells";

// One cell block of the work: the ranges cut at every boundary any of them has, so that each
// block lies wholly inside or wholly outside each range.
struct Block {
    ROWCOL top, left, bottom, right;
};

// The boundaries along one axis: every start and every end + 1, sorted, unique.
std::vector<ROWCOL> Cuts(const std::vector<CGXRange>& ranges, bool bRows)
{
    std::vector<ROWCOL> cuts;
    cuts.reserve(ranges.size() * 2);
    for (const CGXRange& r : ranges) {
        cuts.push_back(bRows ? r.top : r.left);
        const ROWCOL nEnd = bRows ? r.bottom : r.right;
        cuts.push_back(nEnd + 1); // never wraps: ends are clamped to the counts
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

// The union of the ranges as disjoint blocks. Pairing the merged row spans with the merged
// column spans would also take in cells that lie in no range (two ranges on a diagonal), so the
// blocks come from the elementary intervals and only those inside a range are kept.
std::vector<Block> DisjointBlocks(const std::vector<CGXRange>& ranges)
{
    std::vector<Block> blocks;
    const std::vector<ROWCOL> rows = Cuts(ranges, true);
    const std::vector<ROWCOL> cols = Cuts(ranges, false);
    for (size_t i = 0; i + 1 < rows.size(); ++i) {
        // Neighbouring column pieces inside a range join into one block, so a whole-row range
        // stays one block per row interval.
        for (size_t j = 0; j + 1 < cols.size(); ++j) {
            const Block b{rows[i], cols[j], rows[i + 1] - 1, cols[j + 1] - 1};
            const bool bInside = std::any_of(ranges.begin(), ranges.end(), [&](const CGXRange& r) {
                return r.top <= b.top && b.bottom <= r.bottom && r.left <= b.left && b.right <= r.right;
            });
            if (!bInside)
                continue;
            if (!blocks.empty() && blocks.back().top == b.top && blocks.back().right + 1 == b.left)
                blocks.back().right = b.right;
            else
                blocks.push_back(b);
        }
    }
    return blocks;
}

// Raised inside the work when the user cancelled; caught before it leaves the feature.
struct ClearCancelled {};

} // namespace

void CGXGridClearCellsImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pClearCellsImp != nullptr)
        return;
    auto* pImp = new CGXGridClearCellsImp;
    pGrid->m_pClearCellsImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

BOOL CGXGridClearCellsImp::CanClear(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->IsReadOnly())
        return FALSE;
    const CGXGridParam* pParam = pGrid->GetParam();
    if (pParam != nullptr && !pParam->m_SelRects.IsEmpty())
        return TRUE;
    return pGrid->IsCurrentCell();
}

BOOL CGXGridClearCellsImp::ClearSelection(CGXGridCore* pGrid, BOOL bStyleOnly)
{
    if (pGrid == nullptr)
        return FALSE;
    CGXLongOperation op;
    CGXRangeList list;
    pGrid->GetSelectedRanges(list, TRUE);
    return pGrid->ClearRangeList(list, bStyleOnly);
}

BOOL CGXGridClearCellsImp::ClearCells(CGXGridCore* pGrid, CGXRangeList& selList, BOOL bStyleOnly)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    CGXGridCore& grid = *pGrid;
    const ROWCOL nRows = grid.GetRowCount(), nCols = grid.GetColCount();
    const ROWCOL nFirstRow = grid.GetHeaderRows() + 1, nFirstCol = grid.GetHeaderCols() + 1;

    // The ranges as cells inside the counts, header cells left out.
    std::vector<CGXRange> ranges;
    for (POSITION pos = selList.GetHeadPosition(); pos != nullptr;) {
        CGXRange r = *selList.GetNextRange(pos);
        if (!r.IsValid())
            continue;
        r.ExpandToCells(nFirstRow, nFirstCol, nRows, nCols);
        r.top = std::max(r.top, nFirstRow);
        r.left = std::max(r.left, nFirstCol);
        r.bottom = std::min(r.bottom, nRows);
        r.right = std::min(r.right, nCols);
        if (r.top <= r.bottom && r.left <= r.right)
            ranges.push_back(r);
    }

    CGXTransactionScope trans(grid, kClearCells);
    CGXLongOperation op;
    op.SetStatusText(kClearCells);
    // A cancel rolls back; the mode is the long operation's shared state, so it is given back.
    int& nQuestionMode = GXGetLongOperationState().m_nQuestionMode;
    const int nOldQuestionMode = nQuestionMode;
    nQuestionMode = 1;
    struct ModeRestore {
        int& mode;
        int old;
        ~ModeRestore() { mode = old; }
    } modeRestore{nQuestionMode, nOldQuestionMode};
    BOOL bResult = TRUE;
    try {
        // Declared in here, so that its last undo command joins the transaction before a
        // cancel rolls the transaction back.
        GXCellTextStoreBatch store(grid);
        auto pump = [&op] {
            BOOL bCancelled = FALSE;
            op.DoMessages(bCancelled);
            if (bCancelled)
                throw ClearCancelled{};
        };
        for (const Block& b : DisjointBlocks(ranges)) {
            const CGXRange block(b.top, b.left, b.bottom, b.right);
            CGXDataChangeScope change(grid, block);
            if (bStyleOnly) {
                if (!grid.ApplyStyleToRange(block, nullptr, gxRemove, 0, nullptr, 0, gxDo)) {
                    bResult = FALSE;
                    break;
                }
                pump();
                continue;
            }
            for (ROWCOL nRow = b.top; nRow <= b.bottom && bResult; ++nRow) {
                for (ROWCOL nCol = b.left; nCol <= b.right; ++nCol) {
                    CGXStyle* pStyle = grid.CreateStyle();
                    grid.ComposeCellStyle(nRow, nCol, *pStyle);
                    CGXControl* pControl = grid.GetControlById(pStyle->GetControl());
                    CString sText;
                    if (pControl != nullptr)
                        pControl->GetControlText(sText, nRow, nCol, nullptr, *pStyle);
                    // A cell already empty gets no store and no undo record.
                    const BOOL bStored = sText.IsEmpty() || store.Store(nRow, nCol, CString(), 0, pStyle);
                    grid.RecycleStyle(pStyle);
                    if (!bStored) {
                        bResult = FALSE;
                        break;
                    }
                    pump();
                }
            }
            if (!bResult)
                break;
        }
    } catch (const ClearCancelled&) {
        trans.Rollback();
        grid.Redraw();
        return FALSE;
    }
    trans.Commit();
    grid.Redraw();
    return bResult;
}
