#include "grid/features/CGXGridClearCellsImp.h"

#include "FeatureTestSupport.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/IGXCommandTarget.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Counts the stores that reach the controls, and refuses the one at a chosen cell.
class CountingGrid : public CGXGridCore {
public:
    BOOL SetCellTextThroughControl(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pOldStyle) override
    {
        ++m_nStores;
        if (nRow == m_nRefuseRow && nCol == m_nRefuseCol)
            return FALSE;
        return CGXGridCore::SetCellTextThroughControl(nRow, nCol, sText, nFlags, pOldStyle);
    }
    int m_nStores = 0;
    ROWCOL m_nRefuseRow = 0, m_nRefuseCol = 0;
};

// A long operation whose clock runs and whose user presses ESC after a few pumps.
class EscImp : public CGXAbstractLongOperationImp {
public:
    int pumps = 0;
    int escAfter = 3;
    void PumpMessages(CGXLongOperation& op) override
    {
        CGXAbstractLongOperationImp::PumpMessages(op);
        if (++pumps == escAfter)
            GXGetLongOperationState().m_bEscPressed = TRUE;
    }

protected:
    DWORD GetTicks() override { return now += 1000; }
    void ShowStatusText(LPCTSTR, BOOL) override {}
    GXAbortAnswer AskAbort(int) override { return gxAnswerCancelRollback; }

private:
    DWORD now = 0;
};

std::vector<int> g_order;
template <int N>
void Record(CGXGridCore*)
{
    g_order.push_back(N);
}

class ClearCellsTest : public FeatureGridTest {};

} // namespace

TEST_F(ClearCellsTest, FeaturesInstallOnceInTheirOrderAndAMissingOneAnswersFalse)
{
    // The factory walks the slots in the order of the feature list.
    using F = GXGridFeature;
    const F order[] = {F::FindReplace, F::HideCells, F::AutoScroll, F::ResizeToFit, F::UpdateHints, F::CommandFactory, F::Sort,
                       F::OldDrawing, F::CoveredCells, F::MergeCells, F::FloatCells, F::Print, F::UserSelectRange,
                       F::ExcelLikeFrame, F::UserDragSelectRange, F::UserResizeCells, F::OptimizedUpdate, F::MarkEditHeader,
                       F::FreezeMenuHelper, F::DirectCopyMoveCells, F::TextDataExchange, F::StyleDataExchange, F::CutPaste,
                       F::ClearCells, F::ExcelLikeFill};
    ASSERT_EQ(std::size(order), static_cast<size_t>(F::Count));
    const GXGridFeatureInstaller recorders[] = {
        &Record<0>,  &Record<1>,  &Record<2>,  &Record<3>,  &Record<4>,  &Record<5>,  &Record<6>,  &Record<7>,  &Record<8>,
        &Record<9>,  &Record<10>, &Record<11>, &Record<12>, &Record<13>, &Record<14>, &Record<15>, &Record<16>, &Record<17>,
        &Record<18>, &Record<19>, &Record<20>, &Record<21>, &Record<22>, &Record<23>, &Record<24>};
    std::vector<GXGridFeatureInstaller> saved;
    for (size_t i = 0; i < std::size(order); ++i)
        saved.push_back(GXSetGridFeatureInstaller(order[i], recorders[i]));
    g_order.clear();
    {
        CGXGridCore grid;
        std::vector<int> expected;
        for (int i = 0; i < static_cast<int>(std::size(order)); ++i)
            expected.push_back(i);
        EXPECT_EQ(g_order, expected);
        // Without its object the forwarder answers FALSE and nothing changes.
        SetUpGrid(grid, 3, 3);
        EXPECT_EQ(grid.m_pClearCellsImp, nullptr);
        EXPECT_FALSE(grid.ClearRange(CGXRange(1, 1, 3, 3), FALSE));
        EXPECT_FALSE(grid.CanClear());
        EXPECT_EQ(grid.GetCellValue(2, 2), CString("2.2"));
    }
    for (size_t i = 0; i < std::size(order); ++i)
        GXSetGridFeatureInstaller(order[i], saved[i]);

    CGXGridCore grid;
    CGXAbstractGridClearCellsImp* pImp = grid.m_pClearCellsImp;
    ASSERT_NE(pImp, nullptr);
    EXPECT_NE(grid.m_pUndoImp, nullptr);
    EXPECT_NE(grid.m_pUpdateHintImp, nullptr);
    CGXGridClearCellsImp::Install(&grid);
    EXPECT_EQ(grid.m_pClearCellsImp, pImp); // a second call creates nothing
}

TEST_F(ClearCellsTest, ClearsEachCellOnceLeavingHeadersEmptyCellsAndUnselectedCellsAlone)
{
    CountingGrid grid;
    SetUpGrid(grid, 6, 6);
    grid.SetValueRange(CGXRange(2, 3, 2, 3), "", gxOverride, 0, 0); // already empty: no store for it
    grid.m_nStores = 0;
    grid.GetCellValue(0, 2); // the header text exists apart from the cells
    const CString sHeader = grid.GetCellValue(0, 2);

    CGXRangeList list;
    list.AddTail(new CGXRange(1, 1, 2, 3)); // overlaps the next one in (2, 2)..(2, 3)
    list.AddTail(new CGXRange(2, 2, 3, 3));
    list.AddTail(new CGXRange(5, 5, 5, 5)); // on the diagonal: (2, 5) and (5, 2) stay
    CGXRange rows;
    rows.SetRows(6, 6); // a whole row: its header cell stays
    list.AddTail(new CGXRange(rows));
    ASSERT_TRUE(grid.ClearRangeList(list, FALSE));

    // 6 + 4 - 2 overlap + 1 + 6 cells, less the one already empty.
    EXPECT_EQ(grid.m_nStores, 6 + 4 - 2 + 1 + 6 - 1);
    for (ROWCOL r = 1; r <= 6; ++r)
        for (ROWCOL c = 1; c <= 6; ++c) {
            const bool bCleared = (r <= 2 && c <= 3) || (r >= 2 && r <= 3 && c >= 2 && c <= 3) || (r == 5 && c == 5) || r == 6;
            EXPECT_EQ(grid.GetCellValue(r, c), bCleared ? CString() : Label(r, c)) << r << "," << c;
        }
    EXPECT_EQ(grid.GetCellValue(0, 2), sHeader);
    EXPECT_EQ(grid.GetCellValue(6, 0), CString("6"));
    EXPECT_FALSE(grid.IsDataNotifyLocked());

    // One undo step brings everything back.
    ASSERT_TRUE(grid.Undo());
    for (ROWCOL r = 1; r <= 6; ++r)
        for (ROWCOL c = 1; c <= 6; ++c)
            EXPECT_EQ(grid.GetCellValue(r, c), (r == 2 && c == 3) ? CString() : Label(r, c)) << r << "," << c;
}

TEST_F(ClearCellsTest, StylesOnlyRemovesStoredStylesAndASelectionClearsTheCurrentCellAlone)
{
    CGXGridCore grid;
    SetUpGrid(grid, 4, 4);
    CGXStyle bold;
    bold.SetTextColor(RGB(255, 0, 0));
    grid.ApplyStyleToRange(CGXRange(1, 1, 4, 4), &bold, gxApplyNew, 0, nullptr, 0, gxDo);
    ASSERT_NE(grid.LookupStyleRowCol(2, 2), nullptr);

    ASSERT_TRUE(grid.ClearRange(CGXRange(2, 2, 3, 3), TRUE));
    EXPECT_EQ(grid.GetParam()->GetData()->LookupStyle(2, 2, 0), nullptr);
    EXPECT_NE(grid.GetParam()->GetData()->LookupStyle(1, 1, 0), nullptr);
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(grid.GetCellValue(2, 2), CString("2.2"));

    // Nothing selected: the current cell is what Clear takes.
    ASSERT_TRUE(grid.GetParam()->m_SelRects.IsEmpty());
    ASSERT_TRUE(grid.SetCurrentCell(3, 4));
    EXPECT_TRUE(grid.CanClear());
    ASSERT_TRUE(grid.Clear(FALSE));
    EXPECT_EQ(grid.GetCellValue(3, 4), CString());
    EXPECT_EQ(grid.GetCellValue(3, 3), CString("3.3"));
    grid.SetReadOnly(TRUE);
    EXPECT_FALSE(grid.CanClear());
}

TEST_F(ClearCellsTest, ARefusedStoreStopsKeepingWhatWasClearedAndEscRollsEverythingBack)
{
    CountingGrid grid;
    SetUpGrid(grid, 3, 3);
    grid.m_nRefuseRow = 2;
    grid.m_nRefuseCol = 2;
    EXPECT_FALSE(grid.ClearRange(CGXRange(1, 1, 3, 3), FALSE));
    EXPECT_EQ(grid.GetCellValue(1, 3), CString());    // cleared before the refusal
    EXPECT_EQ(grid.GetCellValue(2, 2), CString("2.2")); // refused
    EXPECT_EQ(grid.GetCellValue(3, 3), CString("3.3")); // never reached
    ASSERT_TRUE(grid.Undo());                            // the part done is one committed step
    EXPECT_EQ(grid.GetCellValue(1, 3), CString("1.3"));
    grid.m_nRefuseRow = 0;

    EscImp imp;
    CGXAbstractLongOperationImp* pOld = GXSetLongOperationImp(&imp);
    const BOOL bCleared = grid.ClearRange(CGXRange(1, 1, 3, 3), FALSE);
    GXSetLongOperationImp(pOld);
    EXPECT_FALSE(bCleared);
    EXPECT_GE(imp.pumps, 3);
    for (ROWCOL r = 1; r <= 3; ++r)
        for (ROWCOL c = 1; c <= 3; ++c)
            EXPECT_EQ(grid.GetCellValue(r, c), Label(r, c)) << r << "," << c;
    EXPECT_FALSE(grid.IsDataNotifyLocked());
    EXPECT_EQ(GXGetLongOperationState().m_nQuestionMode, 0);
    // The rolled-back work left nothing to undo beyond the first step, which is undone already.
    EXPECT_FALSE(grid.Undo());
}

namespace {

// Counts the questions about undo information too large to keep.
class SizeQuestionGrid : public CGXGridCore {
public:
    BOOL ConfirmLargeUndo() override
    {
        ++m_nQuestions;
        return FALSE;
    }
    int m_nQuestions = 0;
};

} // namespace

TEST_F(ClearCellsTest, ATallBlockUndoesAndRedoesAsOneStepWithEveryCellsOwnStyleAndNoSizeQuestion)
{
    // Taller than an undo replay takes without asking, with a gap and styled cells inside.
    constexpr ROWCOL kRows = 40000;
    SizeQuestionGrid grid;
    SetUpGrid(grid, kRows, 2);
    grid.GetParam()->EnableUndo(FALSE);
    CGXStyle red;
    red.SetTextColor(RGB(255, 0, 0));
    grid.ApplyStyleToRange(CGXRange(20000, 1, 20002, 1), &red, gxApplyNew, 0, nullptr, 0, gxDo);
    grid.SetValueRange(CGXRange(30000, 2, 30000, 2), "", gxOverride, 0, 0);
    grid.GetParam()->EnableUndo(TRUE);
    auto check = [&](bool bCleared) {
        for (ROWCOL r : {ROWCOL{1}, ROWCOL{16384}, ROWCOL{16385}, ROWCOL{20001}, ROWCOL{30000}, ROWCOL{32768}, kRows})
            for (ROWCOL c = 1; c <= 2; ++c) {
                const bool bEmpty = bCleared || (r == 30000 && c == 2);
                EXPECT_EQ(grid.GetCellValue(r, c), bEmpty ? CString() : Label(r, c)) << r << "," << c;
            }
        for (ROWCOL r = 19999; r <= 20003; ++r) {
            const CGXStyle* p = grid.GetParam()->GetData()->LookupStyle(r, 1, 0);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->GetInclude(GX_INCL_TEXTCOLOR) != FALSE, r >= 20000 && r <= 20002) << r; // the colour stays with its cells
        }
    };

    ASSERT_TRUE(grid.ClearRange(CGXRange(1, 1, kRows, 2), FALSE));
    check(true);
    ASSERT_TRUE(grid.Undo());
    check(false);
    EXPECT_FALSE(grid.CanUndo(nullptr)); // one step
    ASSERT_TRUE(grid.Redo());
    check(true);
    ASSERT_TRUE(grid.Undo());
    check(false);
    EXPECT_EQ(grid.m_nQuestions, 0);
}
