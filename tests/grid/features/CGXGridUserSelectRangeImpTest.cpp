#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/features/CGXGridUserSelectRangeImp.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"
#include "platform/win/WinUser.h"

#include <memory>
#include <random>
#include <set>
#include <utility>

namespace {

class SelectFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        CGXGridUserSelectRangeImp::Install(pGrid);
    }
};

class SelectRangeTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        InitGridLibrary(new SelectFactory);
        m_pGrid = std::make_unique<CGXGridCore>();
        m_pGrid->Initialize();
        m_pGrid->GetParam()->EnableUndo(FALSE);
        m_pGrid->SetRowCount(12, 0);
        m_pGrid->SetColCount(10, 0);
        m_pGrid->StoreDefaultRowHeight(20);
        m_pGrid->StoreDefaultColWidth(50);
        const CRect rect(0, 0, 400, 300);
        m_pGrid->SetGridRect(TRUE, &rect);
    }
    void TearDown() override
    {
        m_pGrid.reset();
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    CGXGridUserSelectRangeImp& Sel() { return *static_cast<CGXGridUserSelectRangeImp*>(m_pGrid->m_pUserSelectRangeImp); }
    CGXRangeList& List() { return m_pGrid->GetParam()->m_SelRects; }
    // A press at (r1, c1), moves through to (r2, c2) and the release.
    void Drag(ROWCOL r1, ROWCOL c1, ROWCOL r2, ROWCOL c2, UINT nFlags = 0)
    {
        ROWCOL r = r1, c = c1;
        Sel().OnButtonDown(m_pGrid.get(), nFlags, CPoint(), 0, r, c);
        if (r2 != r1 || c2 != c1)
            Sel().OnMouseMoveToCell(m_pGrid.get(), nFlags, CPoint(), r2, c2);
        Sel().OnButtonUp(m_pGrid.get(), nFlags, CPoint());
    }
    BOOL Selected(ROWCOL r, ROWCOL c) { return m_pGrid->IsCellInRangeList(r, c, List()); }
    int Count() { return static_cast<int>(List().GetCount()); }

    std::unique_ptr<CGXGridCore> m_pGrid;
};

} // namespace

TEST_F(SelectRangeTest, ClicksOnCellsHeadersAndTheCornerWithCtrlAndShift)
{
    // The corner selects the whole table, and a second click takes it away.
    Drag(0, 0, 0, 0);
    ASSERT_EQ(Count(), 1);
    EXPECT_TRUE(List().GetRangeAt(List().GetHeadPosition())->IsTable());
    Drag(0, 0, 0, 0);
    EXPECT_EQ(Count(), 0);

    // A plain click leaves no selected range; a drag leaves the block.
    Drag(3, 3, 3, 3);
    EXPECT_EQ(Count(), 0);
    Drag(3, 3, 5, 4);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(*List().GetRangeAt(List().GetHeadPosition()), CGXRange(3, 3, 5, 4));
    // Dragging into the headers stops at the first row and column after them.
    Drag(3, 3, 0, 0);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(*List().GetRangeAt(List().GetHeadPosition()), CGXRange(1, 1, 3, 3));

    // Shift+click extends from the anchor; Ctrl+drag adds an area and keeps the others.
    // The anchor was where the drag began, (3, 3).
    Drag(2, 2, 2, 2, MK_SHIFT);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(*List().GetRangeAt(List().GetHeadPosition()), CGXRange(2, 2, 3, 3));
    Drag(8, 8, 9, 9, MK_CONTROL);
    EXPECT_EQ(Count(), 2);
    EXPECT_TRUE(Selected(9, 9));
    EXPECT_TRUE(Selected(2, 2));
    EXPECT_FALSE(Selected(1, 1));

    // A row-header click selects the row and keeps it after the release; Ctrl+click on the
    // header of the middle row of three takes that row out and leaves two whole-row ranges.
    Drag(4, 0, 6, 0);
    ASSERT_EQ(Count(), 1);
    EXPECT_TRUE(List().GetRangeAt(List().GetHeadPosition())->IsRows());
    Drag(5, 0, 5, 0, MK_CONTROL);
    ASSERT_EQ(Count(), 2);
    EXPECT_TRUE(Selected(4, 7));
    EXPECT_FALSE(Selected(5, 7));
    EXPECT_TRUE(Selected(6, 7));
    for (POSITION pos = List().GetHeadPosition(); pos != nullptr;)
        EXPECT_TRUE(List().GetNextRange(pos)->IsRows());

    // A column header drag gives whole columns.
    Drag(0, 2, 0, 3);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(*List().GetRangeAt(List().GetHeadPosition()), CGXRange().SetCols(2, 3));
}

TEST_F(SelectRangeTest, PermissionBitsAndRowSelectionModes)
{
    CGXGridParam* pParam = m_pGrid->GetParam();
    pParam->m_wAllowSelection = 0xFF & ~0x08; // no cell ranges
    Drag(2, 2, 4, 4);
    EXPECT_EQ(Count(), 0);
    Drag(2, 0, 3, 0); // rows still
    EXPECT_EQ(Count(), 1);
    pParam->m_wAllowSelection = 0xFF & ~0x10; // no multiple areas: Ctrl acts as a plain press
    Drag(2, 2, 4, 4);
    Drag(7, 7, 8, 8, MK_CONTROL);
    EXPECT_EQ(Count(), 1);
    EXPECT_FALSE(Selected(2, 2));
    pParam->m_wAllowSelection = 0;
    Drag(0, 0, 0, 0);
    EXPECT_FALSE(Selected(1, 1));
    EXPECT_EQ(Count(), 1);

    // Row-selection mode 1: every press makes exactly one whole row, Ctrl and Shift ignored.
    pParam->m_wAllowSelection = 0xFF;
    pParam->m_wRowSelectionMode = 1;
    Drag(3, 4, 3, 4);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(*List().GetRangeAt(List().GetHeadPosition()), CGXRange().SetRows(3, 3));
    Drag(6, 2, 8, 2, MK_CONTROL | MK_SHIFT);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(*List().GetRangeAt(List().GetHeadPosition()), CGXRange().SetRows(8, 8));
    // Mode 2: Shift extends over whole rows even without the Shift permission.
    pParam->m_wRowSelectionMode = 2;
    pParam->m_wAllowSelection = 0xFF & ~0x20;
    Drag(2, 3, 2, 3);
    Drag(5, 3, 5, 3, MK_SHIFT);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(*List().GetRangeAt(List().GetHeadPosition()), CGXRange().SetRows(2, 5));
}

TEST_F(SelectRangeTest, StoredSelectionMatchesACellSetUnderRandomSelectsAndDeselects)
{
    std::mt19937 rng(11);
    const ROWCOL nRows = 12, nCols = 10;
    for (int round = 0; round < 40; ++round) {
        m_pGrid->SetSelection(nullptr);
        std::set<std::pair<ROWCOL, ROWCOL>> model;
        for (int step = 0; step < 12; ++step) {
            CGXRange range;
            const ROWCOL t = 1 + rng() % nRows, b = std::min<ROWCOL>(nRows, t + rng() % 4);
            const ROWCOL l = 1 + rng() % nCols, r = std::min<ROWCOL>(nCols, l + rng() % 4);
            switch (rng() % 4) {
            case 0: range.SetRows(t, b); break;
            case 1: range.SetCols(l, r); break;
            case 2: range.SetTable(); break;
            default: range.SetCells(t, l, b, r); break;
            }
            // Whole tables rarely, so that the set does not fill up at once.
            if (range.IsTable() && rng() % 4 != 0)
                continue;
            const BOOL bSelect = rng() % 3 != 0;
            ASSERT_TRUE(Sel().StoreSelectRange(m_pGrid.get(), range, bSelect));
            CGXRange cells = range;
            cells.ExpandToCells(1, 1, nRows, nCols);
            for (ROWCOL i = cells.top; i <= cells.bottom; ++i)
                for (ROWCOL j = cells.left; j <= cells.right; ++j)
                    bSelect ? (void)model.insert({i, j}) : (void)model.erase({i, j});
            for (ROWCOL i = 1; i <= nRows; ++i)
                for (ROWCOL j = 1; j <= nCols; ++j)
                    ASSERT_EQ(Selected(i, j) != FALSE, model.count({i, j}) != 0)
                        << "round " << round << " step " << step << " cell " << i << "," << j;
        }
    }
}

namespace {

// A view of a document whose hints reach its one peer view.
class PeerGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    void UpdateAllViews(CWnd*, LPARAM lHint, CObject* pHint) override
    {
        if (m_pPeer != nullptr)
            m_pPeer->ProcessHint(nullptr, lHint, pHint);
    }
    BOOL CanStartSelection(ROWCOL nRow, ROWCOL, UINT, CPoint) override { return nRow != m_nRefusedRow; }
    PeerGrid* m_pPeer = nullptr;
    ROWCOL m_nRefusedRow = GX_INVALID;
};

} // namespace

TEST_F(SelectRangeTest, ASecondViewOfTheDocumentRedrawsWhatTheFirstSelects)
{
    HWND hTop = Make(WS_POPUP | WS_VISIBLE, 0, 0, 820, 320);
    HWND hA = Make(WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, hTop);
    HWND hB = Make(WS_CHILD | WS_VISIBLE, 410, 0, 400, 300, hTop);
    PeerGrid a(CWnd::FromHandle(hA)), b(CWnd::FromHandle(hB));
    a.m_pPeer = &b;
    b.m_pPeer = &a;
    auto* pParam = new CGXGridParam;
    a.SetParam(pParam, TRUE);
    b.SetParam(pParam, FALSE);
    for (PeerGrid* p : {&a, &b}) {
        p->Initialize();
        p->EnableHints(TRUE);
    }
    pParam->EnableUndo(FALSE);
    a.SetRowCount(12, 0);
    a.SetColCount(6, 0);
    a.StoreDefaultRowHeight(20);
    a.StoreDefaultColWidth(50);
    backend->ProcessMessages();
    ASSERT_TRUE(UpdateRectOf(hB).IsRectEmpty());

    // Dragging out (2, 2)-(4, 3) in the first view: the second draws those cells again.
    auto& sel = *static_cast<CGXGridUserSelectRangeImp*>(a.m_pUserSelectRangeImp);
    ROWCOL r = 2, c = 2;
    sel.OnButtonDown(&a, 0, CPoint(), 3, r, c);
    sel.OnMouseMoveToCell(&a, 0, CPoint(), 4, 3);
    sel.OnButtonUp(&a, 0, CPoint());
    ASSERT_EQ(pParam->m_SelRects.GetCount(), 1);
    CRect update = UpdateRectOf(hB);
    CRect cells = b.CalcRangeRect(2, 2, 4, 3);
    EXPECT_FALSE(update.IsRectEmpty()) << "the second view keeps a stale highlight";
    EXPECT_EQ(update | cells, update);
    backend->ProcessMessages();

    // A plain click elsewhere clears the selection: the second view loses the highlight too.
    r = 8, c = 5;
    sel.OnButtonDown(&a, 0, CPoint(), 3, r, c);
    sel.OnButtonUp(&a, 0, CPoint());
    EXPECT_TRUE(pParam->m_SelRects.IsEmpty());
    update = UpdateRectOf(hB);
    EXPECT_EQ(update | cells, update);
    backend->ProcessMessages();

    // A grid that refuses a selection starting on row 6 starts none there.
    a.m_nRefusedRow = 6;
    r = 6, c = 2;
    sel.OnButtonDown(&a, 0, CPoint(), 3, r, c);
    sel.OnMouseMoveToCell(&a, 0, CPoint(), 7, 3);
    sel.OnButtonUp(&a, 0, CPoint());
    EXPECT_TRUE(pParam->m_SelRects.IsEmpty());
}
