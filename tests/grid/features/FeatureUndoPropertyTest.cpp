// Random sequences of structure, style, hide and cover operations on a grid with its features:
// undo walks back through every state the grid had, hidden rows and columns and covered blocks
// included, and redo forward again.
#include "FeatureTestSupport.h"

#include "grid/data/CGXCommandFactory.h"
#include "grid/data/CGXGridParam.h"
#include "grid/features/CGXGridCoveredCellsImp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Everything an operation can change, as text: counts, frozen counts, every stored cell value,
// the hidden rows and columns, and the covered blocks in order.
std::string FeatureSnapshot(CGXGridCore& grid)
{
    std::ostringstream out;
    const ROWCOL nRows = grid.GetRowCount(), nCols = grid.GetColCount();
    out << nRows << 'x' << nCols << " f" << grid.GetFrozenRows() << '/' << grid.GetFrozenCols() << "\nhidden rows";
    for (ROWCOL r = 1; r <= nRows; ++r)
        if (grid.IsRowHidden(r))
            out << ' ' << r;
    out << "\nhidden cols";
    for (ROWCOL c = 1; c <= nCols; ++c)
        if (grid.IsColHidden(c))
            out << ' ' << c;
    std::vector<std::tuple<ROWCOL, ROWCOL, ROWCOL, ROWCOL>> blocks;
    CGXRangeList& covered = grid.GetParam()->m_CoveredCellsList;
    for (POSITION pos = covered.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* p = covered.GetNextRange(pos);
        if (p->IsValid())
            blocks.emplace_back(p->top, p->left, p->bottom, p->right);
    }
    std::sort(blocks.begin(), blocks.end());
    out << "\ncovered";
    for (const auto& [t, l, b, r] : blocks)
        out << " (" << t << ',' << l << ")-(" << b << ',' << r << ')';
    out << '\n';
    CGXData* pData = grid.GetData();
    for (ROWCOL r = 1; r <= nRows; ++r) {
        for (ROWCOL c = 1; c <= nCols; ++c) {
            const CGXStyle* p = pData->LookupStyle(r, c);
            out << (p != nullptr ? p->GetValue().GetString() : "-") << ',';
        }
        out << '\n';
    }
    return out.str();
}

class FeatureUndoPropertyTest : public FeatureGridTest {};

// One random operation, told into the log; FALSE when the grid refused it.
BOOL RandomFeatureOperation(CGXGridCore& grid, std::minstd_rand& rng, int nStep, std::ostringstream& log)
{
    auto pick = [&](ROWCOL nMax) -> ROWCOL { return nMax == 0 ? 0 : static_cast<ROWCOL>(rng() % nMax) + 1; };
    auto coin = [&](ROWCOL n) -> ROWCOL { return static_cast<ROWCOL>(rng() % n); };
    const ROWCOL nRows = grid.GetRowCount(), nCols = grid.GetColCount();
    CGXStyle style;
    style.SetValue(CString(std::to_string(nStep).c_str()));
    switch (rng() % 12) {
    case 0: {
        const ROWCOL r = pick(nRows), c = pick(nCols);
        log << "style " << r << ',' << c << '\n';
        return grid.ApplyStyleToRange(CGXRange(r, c, std::min(nRows, r + 1), c), &style, gxOverride, 0, nullptr, 0, gxDo);
    }
    case 1: {
        const ROWCOL r = pick(nRows + 1), n = 1 + coin(2);
        log << "insert rows " << r << '+' << n << '\n';
        return grid.InsertRows(r, n, nullptr, nullptr, nullptr, 0, 0, gxDo);
    }
    case 2: {
        const ROWCOL r = pick(nRows);
        const ROWCOL nTo = std::min(nRows, r + coin(2));
        log << "remove rows " << r << ".." << nTo << '\n';
        return nRows > 4 && grid.RemoveRows(r, nTo, 0, gxDo);
    }
    case 3: {
        const ROWCOL r = pick(nRows);
        const ROWCOL nTo = std::min(nRows, r + coin(2));
        const ROWCOL nDest = pick(nRows - (nTo - r));
        log << "move rows " << r << ".." << nTo << " to " << nDest << '\n';
        return grid.MoveRows(r, nTo, nDest, 0, gxDo);
    }
    case 4: {
        const ROWCOL c = pick(nCols + 1);
        log << "insert col " << c << '\n';
        return grid.InsertCols(c, 1, nullptr, nullptr, nullptr, 0, 0, gxDo);
    }
    case 5: {
        const ROWCOL c1 = pick(nCols), c2 = pick(nCols);
        log << "remove cols " << c1 << ".." << c2 << '\n';
        return nCols > 3 && grid.RemoveCols(c1, c2, 0, gxDo);
    }
    case 6: {
        const ROWCOL c = pick(nCols);
        const ROWCOL nDest = pick(nCols);
        log << "move col " << c << " to " << nDest << '\n';
        return grid.MoveCols(c, c, nDest, 0, gxDo);
    }
    case 7: {
        const ROWCOL n = coin(std::min<ROWCOL>(nRows + 1, 3));
        log << "freeze " << n << '\n';
        return grid.SetFrozenRows(n, 0, 0, gxDo);
    }
    case 8: {
        const ROWCOL r = pick(nRows);
        const ROWCOL nTo = std::min(nRows, r + coin(2));
        const BOOL bHide = coin(3) != 0;
        log << (bHide ? "hide" : "show") << " rows " << r << ".." << nTo << '\n';
        return grid.HideRows(r, nTo, bHide, nullptr, 0, gxDo);
    }
    case 9: {
        const ROWCOL c = pick(nCols);
        const BOOL bHide = coin(3) != 0;
        log << (bHide ? "hide" : "show") << " col " << c << '\n';
        return grid.HideCols(c, c, bHide, nullptr, 0, gxDo);
    }
    case 10: {
        // A new block, refused where it would cross another.
        const ROWCOL r = pick(nRows), c = pick(nCols);
        const ROWCOL b = std::min(nRows, r + coin(3)), rr = std::min(nCols, c + 1 + coin(2));
        log << "cover " << r << ',' << c << '-' << b << ',' << rr << '\n';
        return grid.SetCoveredCellsRowCol(r, c, b, rr, 0, gxDo);
    }
    default: {
        // Uncover the block at a cell's top-left, if that is one.
        CGXRange block;
        const ROWCOL r = pick(nRows), c = pick(nCols);
        if (grid.FindCoveredSpan(r, c, block) == nullptr)
            return FALSE;
        log << "uncover " << block.top << ',' << block.left << '\n';
        return grid.SetCoveredCellsRowCol(block.top, block.left, block.top, block.left, 0, gxDo);
    }
    }
}

} // namespace

TEST_F(FeatureUndoPropertyTest, UndoAndRedoRetraceHiddenAndCoveredStatesToo)
{
    for (unsigned nSeed = 1; nSeed <= 40; ++nSeed) {
        std::minstd_rand rng(nSeed);
        CGXGridCore grid;
        SetUpGrid(grid, 10, 6);
        CGXGridCoveredCellsImp::Install(&grid);
        ASSERT_NE(grid.m_pHideCellsImp, nullptr);
        ASSERT_NE(grid.m_pMoveRowsColsImp, nullptr);
        grid.GetParam()->m_nMaxUndoCommands = 1000;
        while (!grid.GetParam()->m_UndoList.IsEmpty())
            delete grid.GetParam()->m_UndoList.RemoveHead();
        std::vector<std::string> states{FeatureSnapshot(grid)};
        std::ostringstream log;
        for (int nStep = 0; nStep < 50; ++nStep) {
            const std::string before = FeatureSnapshot(grid);
            const INT_PTR nBefore = grid.GetParam()->m_UndoList.GetCount();
            const BOOL bDone = RandomFeatureOperation(grid, rng, nStep, log);
            if (grid.GetParam()->m_UndoList.GetCount() == nBefore)
                log << "  (nothing recorded)\n";
            if (grid.GetParam()->m_UndoList.GetCount() == nBefore) {
                if (!bDone) {
                    ASSERT_EQ(FeatureSnapshot(grid), before) << "seed " << nSeed << " step " << nStep << " after\n" << log.str();
                }
                continue;
            }
            ASSERT_EQ(grid.GetParam()->m_UndoList.GetCount(), nBefore + 1) << "seed " << nSeed << " step " << nStep << " after\n" << log.str();
            states.push_back(FeatureSnapshot(grid));
        }
        const size_t nSteps = static_cast<size_t>(grid.GetParam()->m_UndoList.GetCount());
        ASSERT_EQ(nSteps + 1, states.size()) << "seed " << nSeed;
        ASSERT_GT(nSteps, 15u) << "seed " << nSeed;
        for (size_t i = 0; i < nSteps; ++i) {
            ASSERT_TRUE(grid.Undo()) << "seed " << nSeed << " undo " << i << " after\n" << log.str();
            ASSERT_EQ(FeatureSnapshot(grid), states[states.size() - 2 - i]) << "seed " << nSeed << " undo " << i << " after\n" << log.str();
        }
        EXPECT_FALSE(grid.Undo());
        for (size_t i = 0; i < nSteps; ++i) {
            ASSERT_TRUE(grid.Redo()) << "seed " << nSeed << " redo " << i << " after\n" << log.str();
            ASSERT_EQ(FeatureSnapshot(grid), states[states.size() - nSteps + i]) << "seed " << nSeed << " redo " << i << " after\n" << log.str();
        }
        EXPECT_FALSE(grid.Redo());
    }
}
