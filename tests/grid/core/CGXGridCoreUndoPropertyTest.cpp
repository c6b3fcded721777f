// Random sequences of style and structure operations: undo walks back through every state the
// grid had, redo forward again, and a second view of the same document stays in step.
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/data/CGXCommandFactory.h"
#include "tests/grid/core/StandardGridFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Everything an operation can change, as text: counts, frozen and header counts, every stored
// cell, row and column style's value and every stored size.
std::string Snapshot(CGXGridCore& grid)
{
    std::ostringstream out;
    const ROWCOL nRows = grid.GetRowCount(), nCols = grid.GetColCount();
    out << nRows << 'x' << nCols << " f" << grid.GetFrozenRows() << '/' << grid.GetHeaderRows() << ' ' << grid.GetFrozenCols() << '/'
        << grid.GetHeaderCols() << '\n';
    CGXData* pData = grid.GetData();
    for (ROWCOL r = 0; r <= nRows; ++r) {
        for (ROWCOL c = 0; c <= nCols; ++c) {
            const CGXStyle* p = pData->LookupStyle(r, c);
            out << (p != nullptr ? p->GetValue().GetString() : "-") << ',';
        }
        if (const CGXStyle* p = pData->LookupStyle(r, 0, gxBaseStyleType); r > 0 && p != nullptr)
            out << " R" << p->GetValue().GetString();
        if (LONG n = 0; grid.GetParam()->m_RowHeights.Lookup(r, n))
            out << " h" << n;
        out << '\n';
    }
    for (ROWCOL c = 1; c <= nCols; ++c) {
        if (const CGXStyle* p = pData->LookupStyle(0, c, gxBaseStyleType))
            out << " C" << c << '=' << p->GetValue().GetString();
        if (LONG n = 0; grid.GetParam()->m_ColWidths.Lookup(c, n))
            out << " w" << c << '=' << n;
    }
    return out.str();
}

class UndoDocGrid : public CGXGridCore {
public:
    void UpdateAllViews(CWnd*, LPARAM lHint, CObject* pHint) override
    {
        if (m_pPeer != nullptr)
            m_pPeer->ProcessHint(nullptr, lHint, pHint);
    }
    UndoDocGrid* m_pPeer = nullptr;
};

using GridUndoPropertyTest = StandardGridTest;

// One random operation through the engine; FALSE when the grid refused it (then nothing may
// have changed).
BOOL RandomOperation(CGXGridCore& grid, std::minstd_rand& rng, int nStep)
{
    auto pick = [&](ROWCOL nMax) -> ROWCOL { return nMax == 0 ? 0 : static_cast<ROWCOL>(rng() % nMax) + 1; };
    auto coin = [&](ROWCOL n) -> ROWCOL { return static_cast<ROWCOL>(rng() % n); };
    const ROWCOL nRows = grid.GetRowCount(), nCols = grid.GetColCount();
    CGXStyle style;
    style.SetValue(CString(std::to_string(nStep).c_str()));
    switch (rng() % 10) {
    case 0: {
        const ROWCOL r = pick(nRows), c = pick(nCols);
        return grid.ApplyStyleToRange(CGXRange(r, c, std::min(nRows, r + 1), c), &style, gxOverride, 0, nullptr, 0, gxDo);
    }
    case 1: {
        const ROWCOL r = pick(nRows);
        return grid.ApplyStyleToRange(CGXRange().SetRows(r, r), &style, gxOverride, 0, nullptr, 0, gxDo);
    }
    case 2: return grid.InsertRows(pick(nRows + 1), 1 + coin(3), nullptr, nullptr, nullptr, 0, 0, gxDo);
    case 3: {
        const ROWCOL r = pick(nRows);
        return nRows > 3 && grid.RemoveRows(r, std::min(nRows, r + coin(2)), 0, gxDo);
    }
    case 4: {
        const ROWCOL r = pick(nRows);
        const ROWCOL nTo = std::min(nRows, r + coin(2));
        return grid.MoveRows(r, nTo, pick(nRows - (nTo - r)), 0, gxDo);
    }
    case 5: return grid.InsertCols(pick(nCols + 1), 1, nullptr, nullptr, nullptr, 0, 0, gxDo);
    case 6: return nCols > 2 && grid.RemoveCols(pick(nCols), pick(nCols), 0, gxDo);
    case 7: {
        const ROWCOL c = pick(nCols);
        return grid.MoveCols(c, c, pick(nCols), 0, gxDo);
    }
    case 8: {
        const ROWCOL nFrozen = coin(std::min<ROWCOL>(nRows + 1, 4));
        return grid.SetFrozenRows(nFrozen, nFrozen > 0 ? coin(nFrozen + 1) : 0, 0, gxDo);
    }
    default: {
        const ROWCOL r = pick(nRows);
        return nRows > 3 && grid.RemoveRows(r, r, 0, gxDo);
    }
    }
}

} // namespace

TEST_F(GridUndoPropertyTest, UndoAndRedoRetraceEveryStateOfRandomSequences)
{
    for (unsigned nSeed = 1; nSeed <= 12; ++nSeed) {
        std::minstd_rand rng(nSeed);
        CGXGridCore grid;
        grid.Initialize();
        grid.GetParam()->m_nMaxUndoCommands = 1000;
        ASSERT_TRUE(grid.SetRowCount(8));
        ASSERT_TRUE(grid.SetColCount(5));
        // Stored heights and widths travel with their rows and come back with them.
        for (ROWCOL r = 1; r <= 8; ++r)
            grid.StoreRowHeight(r, 10 + static_cast<int>(r));
        grid.StoreColWidth(2, 70);
        // The start is the state to return to.
        while (!grid.GetParam()->m_UndoList.IsEmpty())
            delete grid.GetParam()->m_UndoList.RemoveHead();
        std::vector<std::string> states{Snapshot(grid)};
        for (int nStep = 0; nStep < 40; ++nStep) {
            const std::string before = Snapshot(grid);
            const INT_PTR nBefore = grid.GetParam()->m_UndoList.GetCount();
            const BOOL bDone = RandomOperation(grid, rng, nStep);
            if (grid.GetParam()->m_UndoList.GetCount() == nBefore) {
                // A refused or empty operation records nothing and changes nothing it records.
                if (!bDone) {
                    ASSERT_EQ(Snapshot(grid), before) << "seed " << nSeed << " step " << nStep;
                }
                continue;
            }
            ASSERT_EQ(grid.GetParam()->m_UndoList.GetCount(), nBefore + 1) << "seed " << nSeed << " step " << nStep;
            states.push_back(Snapshot(grid));
        }
        // Undo walks back through the states, newest first; redo walks forward again.
        const size_t nSteps = static_cast<size_t>(grid.GetParam()->m_UndoList.GetCount());
        ASSERT_EQ(nSteps + 1, states.size()) << "seed " << nSeed;
        ASSERT_GT(nSteps, 20u) << "seed " << nSeed; // the sequence really changed the grid
        std::vector<std::string> back;
        for (size_t i = 0; i < nSteps; ++i) {
            ASSERT_TRUE(grid.Undo()) << "seed " << nSeed << " undo " << i;
            back.push_back(Snapshot(grid));
        }
        EXPECT_FALSE(grid.Undo());
        for (size_t i = 0; i < nSteps; ++i)
            ASSERT_EQ(back[i], states[states.size() - 2 - i]) << "seed " << nSeed << " undo " << i;
        for (size_t i = 0; i < nSteps; ++i) {
            ASSERT_TRUE(grid.Redo()) << "seed " << nSeed << " redo " << i;
            ASSERT_EQ(Snapshot(grid), states[states.size() - nSteps + i]) << "seed " << nSeed << " redo " << i;
        }
        EXPECT_FALSE(grid.Redo());
    }
}

TEST_F(GridUndoPropertyTest, TwoViewsOfOneDocumentStayInStepThroughHints)
{
    auto* pParam = new CGXGridParam;
    UndoDocGrid a, b;
    a.m_pPeer = &b;
    b.m_pPeer = &a;
    a.SetParam(pParam, TRUE);
    b.SetParam(pParam, FALSE);
    for (UndoDocGrid* p : {&a, &b}) {
        p->Initialize();
        p->EnableHints(TRUE);
    }
    ASSERT_TRUE(a.SetRowCount(12));
    ASSERT_TRUE(a.SetColCount(6));
    ASSERT_TRUE(a.SetCurrentCell(5, 3));
    std::minstd_rand rng(7);
    for (int nStep = 0; nStep < 60; ++nStep) {
        UndoDocGrid& sender = (rng() % 3 == 0) ? b : a;
        RandomOperation(sender, rng, nStep);
        if (nStep % 7 == 3)
            sender.Undo();
        ROWCOL ra = 0, ca = 0, rb = 0, cb = 0;
        const BOOL bA = a.GetCurrentCell(ra, ca), bB = b.GetCurrentCell(rb, cb);
        ASSERT_EQ(bA, bB) << "step " << nStep;
        ASSERT_EQ(ra, rb) << "step " << nStep;
        ASSERT_EQ(ca, cb) << "step " << nStep;
        // Each view scrolls on its own (an undo brings the change into the sender's view), but
        // both keep their scrolled area below the frozen rows and within the rows there are.
        for (UndoDocGrid* p : {&a, &b}) {
            ASSERT_GT(p->GetTopRow(), p->GetFrozenRows()) << "step " << nStep;
            ASSERT_LE(p->GetTopRow(), std::max(p->GetRowCount(), p->GetFrozenRows() + 1)) << "step " << nStep;
            ASSERT_GT(p->GetLeftCol(), p->GetFrozenCols()) << "step " << nStep;
            ASSERT_LE(p->GetLeftCol(), std::max(p->GetColCount(), p->GetFrozenCols() + 1)) << "step " << nStep;
        }
        if (!bA) {
            ASSERT_TRUE(a.SetCurrentCell(1, 1)) << "step " << nStep;
        }
    }
    b.SetParam(nullptr, TRUE);
}

namespace {
// A view that counts the updates it replays.
class CountingView : public UndoDocGrid {
public:
    void UpdateChangedRowHeights(ROWCOL nFrom, ROWCOL nTo, const int* an, UINT nFlags, BOOL bCreateHint) override
    {
        m_heights.emplace_back(nFrom, nTo);
        UndoDocGrid::UpdateChangedRowHeights(nFrom, nTo, an, nFlags, bCreateHint);
    }
    void UpdateChangedColWidths(ROWCOL nFrom, ROWCOL nTo, const int* an, UINT nFlags, BOOL bCreateHint) override
    {
        m_widths.emplace_back(nFrom, nTo);
        UndoDocGrid::UpdateChangedColWidths(nFrom, nTo, an, nFlags, bCreateHint);
    }
    void RedrawRange(const CGXRange& range, UINT nFlags, BOOL bCreateHint) override
    {
        m_ranges.push_back(range);
        UndoDocGrid::RedrawRange(range, nFlags, bCreateHint);
    }
    std::vector<std::pair<ROWCOL, ROWCOL>> m_heights, m_widths;
    std::vector<CGXRange> m_ranges;
};
} // namespace

TEST_F(GridUndoPropertyTest, SizeSelectionAndSpanHintsReachTheOtherView)
{
    auto* pParam = new CGXGridParam;
    CountingView a, b;
    a.m_pPeer = &b;
    b.m_pPeer = &a;
    a.SetParam(pParam, TRUE);
    b.SetParam(pParam, FALSE);
    for (UndoDocGrid* p : {static_cast<UndoDocGrid*>(&a), static_cast<UndoDocGrid*>(&b)}) {
        p->Initialize();
        p->EnableHints(TRUE);
    }
    ASSERT_TRUE(a.SetRowCount(10));
    ASSERT_TRUE(a.SetColCount(4));
    ASSERT_TRUE(a.SetRowHeight(2, 3, 30));
    ASSERT_EQ(b.m_heights.size(), 1u);
    EXPECT_EQ(b.m_heights[0], std::make_pair(ROWCOL{2}, ROWCOL{3}));
    EXPECT_TRUE(a.m_heights.size() == 1u); // the sender's own update, once
    ASSERT_TRUE(a.SetColWidth(4, 4, 60));
    ASSERT_EQ(b.m_widths.size(), 1u);
    EXPECT_EQ(b.m_widths[0], std::make_pair(ROWCOL{4}, ROWCOL{4}));

    // The selection, covered and span senders make the other view draw the range again.
    b.m_ranges.clear();
    const CGXRange range(2, 1, 3, 2);
    a.m_pUpdateHintImp->HintSelectRange(&a, range, nullptr);
    a.m_pUpdateHintImp->HintUpdateCoveredCells(&a, range, GX_INVALIDATE);
    a.m_pUpdateHintImp->HintRedrawFloatSpan(&a, range, GX_INVALIDATE);
    a.m_pUpdateHintImp->HintRedrawMergeSpan(&a, range, GX_INVALIDATE);
    ASSERT_EQ(b.m_ranges.size(), 4u);
    for (const CGXRange& r : b.m_ranges)
        EXPECT_EQ(r, range);
    EXPECT_TRUE(a.m_ranges.empty()); // the sender never replays its own hint
    b.SetParam(nullptr, TRUE);
}

#include "grid/core/CGXGridView.h"
#include "platform/afx/doc/CDocument.h"

namespace {
class DocView : public CGXGridView {
public:
    void AttachDocument(CDocument* pDoc) { m_pGridDoc = pDoc; }
};
} // namespace

TEST_F(GridUndoPropertyTest, ViewsOfADocumentHearThroughItAndMarkItModified)
{
    CDocument doc;
    doc.m_bAutoDelete = FALSE; // the test's own, not the views'
    DocView a, b;
    doc.AddView(&a);
    doc.AddView(&b);
    auto* pParam = new CGXGridParam;
    a.SetParam(pParam, TRUE);
    b.SetParam(pParam, FALSE);
    for (DocView* p : {&a, &b}) {
        p->AttachDocument(&doc);
        p->Initialize();
        p->EnableHints(TRUE);
    }
    ASSERT_TRUE(a.SetRowCount(6));
    ASSERT_TRUE(a.SetColCount(3));
    EXPECT_TRUE(doc.IsModified());
    doc.SetModifiedFlag(FALSE);
    ASSERT_TRUE(b.SetCurrentCell(4, 2));
    ASSERT_TRUE(a.InsertRows(1, 2));
    ROWCOL r = 0, c = 0;
    ASSERT_TRUE(b.GetCurrentCell(r, c)); // the other view's current cell moved with its row
    EXPECT_EQ(r, 6u);
    EXPECT_TRUE(doc.IsModified());
    doc.RemoveView(&a);
    doc.RemoveView(&b);
    b.SetParam(nullptr, TRUE);
}

#include "platform/afx/doc/CCreateContext.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/frame/CSplitterWnd.h"

TEST_F(GridUndoPropertyTest, PanesOfOneSplitterScrollAndZoomTogether)
{
    CDocument doc;
    doc.m_bAutoDelete = FALSE;
    auto* frame = new CFrameWnd; // deletes itself with its window
    ASSERT_TRUE(frame->Create(nullptr, "Split", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 600, 400)));
    auto splitterOwner = std::make_unique<CSplitterWnd>(); // its window goes with the frame's
    CSplitterWnd* splitter = splitterOwner.get();
    ASSERT_TRUE(splitter->CreateStatic(frame, 2, 2));
    CCreateContext context;
    context.m_pCurrentDoc = &doc;
    auto* pParam = new CGXGridParam;
    std::vector<CGXGridView*> panes;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            ASSERT_TRUE(splitter->CreateView(r, c, RUNTIME_CLASS(CGXGridView), CSize(250, 150), &context));
            auto* pView = dynamic_cast<CGXGridView*>(splitter->GetPane(r, c));
            ASSERT_NE(pView, nullptr);
            pView->SetParam(pParam, panes.empty());
            pView->OnInitialUpdate();
            pView->EnableHints(TRUE);
            panes.push_back(pView);
        }
    ASSERT_TRUE(panes[0]->SetRowCount(200));
    ASSERT_TRUE(panes[0]->SetColCount(40));
    // Rows scroll together across a splitter row, columns down a splitter column.
    panes[0]->SetTopRow(50, 0);
    EXPECT_EQ(panes[1]->GetTopRow(), 50u);
    EXPECT_NE(panes[2]->GetTopRow(), 50u);
    EXPECT_NE(panes[3]->GetTopRow(), 50u);
    panes[3]->SetLeftCol(12, 0);
    EXPECT_EQ(panes[1]->GetLeftCol(), 12u);
    EXPECT_NE(panes[2]->GetLeftCol(), 12u);
    EXPECT_NE(panes[0]->GetLeftCol(), 12u);
    // Zoom follows in every pane of the splitter.
    panes[2]->SetZoom(150, 0);
    for (CGXGridView* pView : panes)
        EXPECT_EQ(pView->GetZoom(), 150);
    frame->DestroyWindow();
}
