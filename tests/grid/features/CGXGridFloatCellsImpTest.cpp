#include "grid/core/CGXControl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/features/CGXGridCoveredCellsImp.h"
#include "grid/features/CGXGridFloatCellsImp.h"
#include "grid/features/CGXGridMergeCellsImp.h"
#include "grid/features/CGXGridSortImp.h"
#include "grid/core/CGXSortInfoArray.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"

#include <random>
#include <string>

namespace {

class FloatCellsFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        CGXGridCoveredCellsImp::Install(pGrid);
        CGXGridFloatCellsImp::Install(pGrid);
        CGXGridMergeCellsImp::Install(pGrid);
        CGXGridSortImp::Install(pGrid);
    }
};

class FloatCellsTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        InitGridLibrary(new FloatCellsFactory);
    }
    void TearDown() override
    {
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    static CGXGridFloatCellsImp& Float(CGXGridCore& grid) { return *static_cast<CGXGridFloatCellsImp*>(grid.m_pFloatCellsImp); }
    // A grid window whose cells all float and may be floated over, columns 50 wide.
    void MakeGrid(CGXGridWnd& grid, ROWCOL nRows, ROWCOL nCols, WORD wMode)
    {
        m_hTop = Make(WS_POPUP | WS_VISIBLE, 0, 0, 500, 400);
        m_tops.push_back(m_hTop);
        ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), CWnd::FromHandle(m_hTop), 1));
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(nRows, 0);
        grid.SetColCount(nCols, 0);
        grid.StoreDefaultRowHeight(20);
        grid.StoreDefaultColWidth(50);
        CGXStyle style;
        style.SetFloatCell(TRUE).SetFloodCell(TRUE);
        grid.ApplyStyleToRange(CGXRange(1, 1, nRows, nCols), &style, gxOverride, 0, nullptr, 0, gxDo);
        Float(grid).SetFloatCellsMode(&grid, wMode, FALSE);
    }
    // A text between one and two columns wide in this grid's font.
    static CString TextWiderThanOneColumn(CGXGridWnd& grid)
    {
        std::string text = "w";
        CGXStyle style;
        grid.ComposeCellStyle(1, 1, style, TRUE);
        CGXControl* pControl = grid.GetControlById(style.GetControl());
        for (; text.size() < 200; text += "w") {
            style.SetValue(text.c_str());
            const long cx = pControl->CalcTextExtent(grid.GetGridDC(), 1, 1, style, grid.GetStandardStyle(), FALSE).cx;
            if (cx > 60 && cx < 90)
                break;
        }
        return CString(text.c_str());
    }
    static CGXRange Span(CGXGridCore& grid, ROWCOL nRow, ROWCOL nCol)
    {
        CGXRange range;
        return grid.FindCellSpan(nRow, nCol, range) != nullptr ? range : CGXRange(nRow, nCol, nRow, nCol);
    }
    static void Eval(CGXGridCore& grid)
    {
        Float(grid).EvalFloatCells(&grid, CGXRange(1, 1, grid.GetRowCount(), grid.GetColCount()), nullptr, 0);
    }
    HWND m_hTop = nullptr;
    std::vector<HWND> m_tops;
};

} // namespace

TEST_F(FloatCellsTest, TextFloatsOverExactlyTheEmptyCellsItNeedsAndStopsAtTypedText)
{
    for (WORD wMode : {WORD{1}, WORD{2}}) {
        CGXGridWnd grid;
        MakeGrid(grid, 10, 6, wMode);
        const CString text = TextWiderThanOneColumn(grid);
        ASSERT_LT(text.GetLength(), 200);
        grid.SetValueRange(CGXRange(2, 1, 2, 1), text);
        Eval(grid);
        EXPECT_EQ(Span(grid, 2, 2), CGXRange(2, 1, 2, 2)) << wMode;
        EXPECT_EQ(Span(grid, 2, 3), CGXRange(2, 3, 2, 3)) << wMode;

        grid.SetValueRange(CGXRange(2, 2, 2, 2), "typed");
        Eval(grid);
        EXPECT_EQ(Span(grid, 2, 1), CGXRange(2, 1, 2, 1)) << wMode;
        grid.SetValueRange(CGXRange(2, 2, 2, 2), "");
        Eval(grid);
        EXPECT_EQ(Span(grid, 2, 1), CGXRange(2, 1, 2, 2)) << wMode;
        ::DestroyWindow(m_hTop);
    }
}

TEST_F(FloatCellsTest, NeverIntoTheFirstScrolledColumnNorFromMergedOrRotatedText)
{
    CGXGridWnd grid;
    MakeGrid(grid, 10, 6, 2);
    const CString text = TextWiderThanOneColumn(grid);
    ASSERT_TRUE(grid.SetFrozenCols(1, 0));
    grid.SetValueRange(CGXRange(3, 1, 3, 1), text);
    grid.SetValueRange(CGXRange(4, 2, 4, 2), text);
    CGXStyle rotated;
    rotated.SetValue(text).SetFont(CGXFont().SetOrientation(900));
    grid.ApplyStyleToRange(CGXRange(5, 2, 5, 2), &rotated, gxOverride, 0, nullptr, 0, gxDo);
    Eval(grid);
    EXPECT_EQ(Span(grid, 3, 1), CGXRange(3, 1, 3, 1)); // column 2 is the first after the frozen ones
    EXPECT_EQ(Span(grid, 4, 2), CGXRange(4, 2, 4, 3)); // further right it floats
    EXPECT_EQ(Span(grid, 5, 2), CGXRange(5, 2, 5, 2));

    // A merged cell does not float.
    CGXStyle merge;
    merge.SetMergeCell(GX_MERGE_HORIZONTAL | GX_MERGE_COMPVALUE).SetValue("m");
    grid.ApplyStyleToRange(CGXRange(6, 3, 6, 4), &merge, gxOverride, 0, nullptr, 0, gxDo);
    grid.SetValueRange(CGXRange(6, 3, 6, 4), text);
    static_cast<CGXGridMergeCellsImp*>(grid.m_pMergeCellsImp)->SetMergeCellsMode(&grid, 2, FALSE);
    static_cast<CGXGridMergeCellsImp*>(grid.m_pMergeCellsImp)->EvalMergeCells(&grid, CGXRange(0, 0, 10, 6), nullptr, 0);
    Eval(grid);
    EXPECT_EQ(Span(grid, 6, 5), CGXRange(6, 5, 6, 5));
    EXPECT_EQ(Span(grid, 6, 3), CGXRange(6, 3, 6, 4)); // the merge, not a float
}

TEST_F(FloatCellsTest, ThePaintWorksTheSpansOutAndTheyFollowInsertedColumns)
{
    CGXGridWnd grid;
    MakeGrid(grid, 10, 6, 1);
    const CString text = TextWiderThanOneColumn(grid);
    grid.SetValueRange(CGXRange(2, 3, 2, 3), text);
    grid.Redraw(GX_INVALIDATE, FALSE);
    backend->ProcessMessages();
    EXPECT_EQ(Span(grid, 2, 4), CGXRange(2, 3, 2, 4));

    // The old span's stored first column would now point one cell left of the text.
    ASSERT_TRUE(grid.InsertCols(1, 1));
    grid.Redraw(GX_INVALIDATE, FALSE);
    backend->ProcessMessages();
    EXPECT_EQ(Span(grid, 2, 3), CGXRange(2, 3, 2, 3));
    EXPECT_EQ(Span(grid, 2, 5), CGXRange(2, 4, 2, 5));
}

TEST_F(FloatCellsTest, DelayedSpansMatchImmediateOnesThroughRandomEdits)
{
    // The same edits on a grid that works out only what they delayed and on one that works
    // out everything each time: a change that forgets to delay leaves a stale span behind.
    CGXGridWnd delayed, immediate;
    MakeGrid(delayed, 8, 8, 1);
    MakeGrid(immediate, 8, 8, 2);
    const CString wide = TextWiderThanOneColumn(delayed);
    const CString texts[] = {"", "", "x", wide, wide + wide, wide + wide + wide};
    std::mt19937 rng(20261207);
    const auto pick = [&](ROWCOL n) { return static_cast<ROWCOL>(rng() % n) + 1; };
    for (CGXGridWnd* g : {&delayed, &immediate})
        static_cast<CGXGridMergeCellsImp*>(g->m_pMergeCellsImp)->SetMergeCellsMode(g, 1, FALSE);
    int nSpansSeen = 0;
    for (int step = 0; step < 1000; ++step) {
        const unsigned op = rng() % 7;
        const ROWCOL r = pick(8), c = pick(8), r2 = std::min<ROWCOL>(8, r + pick(2) - 1), c2 = std::min<ROWCOL>(8, c + pick(2) - 1);
        const CString& text = texts[rng() % 6];
        const int width = 20 + static_cast<int>(rng() % 5) * 30;
        for (CGXGridWnd* g : {&delayed, &immediate}) {
            switch (op) {
            case 0:
            case 1:
                g->SetValueRange(CGXRange(r, c, r, c), text);
                break;
            case 2:
                g->SetColWidth(c, c, width, nullptr, GX_INVALIDATE, gxDo);
                break;
            case 3:
                g->SetCoveredCellsRowCol(r, c, r2, c2, GX_INVALIDATE, gxDo);
                break;
            case 4:
                g->SetCoveredCellsRowCol(r, c, r, c, GX_INVALIDATE, gxDo);
                break;
            case 5:
                g->SetFrozenCols(c % 3, 0, GX_INVALIDATE, gxDo);
                break;
            default: {
                // Two equal values that merge: neither floats any more.
                CGXStyle merge;
                merge.SetMergeCell(GX_MERGE_HORIZONTAL | GX_MERGE_COMPVALUE).SetValue(text);
                g->ApplyStyleToRange(CGXRange(r, c, r, c2), &merge, gxOverride, 0, nullptr, 0, gxDo);
                break;
            }
            }
            static_cast<CGXGridMergeCellsImp*>(g->m_pMergeCellsImp)->EvalMergeCells(g, CGXRange(0, 0, 8, 8), nullptr, 0);
            Eval(*g);
        }
        for (ROWCOL row = 1; row <= 8; ++row)
            for (ROWCOL col = 1; col <= 8; ++col) {
                CGXRange a, b;
                const BOOL bA = Float(delayed).GetFloatCellsRowCol(&delayed, row, col, a) != nullptr;
                const BOOL bB = Float(immediate).GetFloatCellsRowCol(&immediate, row, col, b) != nullptr;
                ASSERT_EQ(bA, bB) << "step " << step << " op " << op << " cell " << row << "," << col;
                if (bA) {
                    ASSERT_EQ(a, b) << "step " << step << " op " << op << " cell " << row << "," << col;
                    ++nSpansSeen;
                }
            }
    }
    // The edits made plenty of spans, or the comparison above proved little.
    EXPECT_GT(nSpansSeen, 400);
    for (HWND h : m_tops)
        ::DestroyWindow(h);
}

namespace {

// A grid whose data reports one cell as changed behind its back.
class ReportingGrid : public CGXGridWnd {
public:
    BOOL NotifyDataAtCell(ROWCOL nRow, ROWCOL nCol) override { return nRow == m_nRow && nCol == m_nCol; }
    ROWCOL m_nRow = 0, m_nCol = 0;
};

} // namespace

TEST_F(FloatCellsTest, ACellTheDataReportsChangedFloatsAtTheNextPaint)
{
    ReportingGrid grid;
    MakeGrid(grid, 10, 6, 1);
    const CString text = TextWiderThanOneColumn(grid);
    grid.Redraw(GX_INVALIDATE, FALSE);
    backend->ProcessMessages();
    // Two long texts stored straight into the data, as another program would: the grid
    // hears of the second alone.
    CGXStyle value;
    value.SetValue(text);
    grid.GetParam()->GetData()->StoreStyle(2, 1, &value, gxOverride);
    grid.GetParam()->GetData()->StoreStyle(3, 1, &value, gxOverride);
    grid.m_nRow = 3;
    grid.m_nCol = 1;
    grid.Redraw(GX_INVALIDATE, FALSE);
    backend->ProcessMessages();
    EXPECT_EQ(Span(grid, 3, 2), CGXRange(3, 1, 3, 2));
    EXPECT_EQ(Span(grid, 2, 1), CGXRange(2, 1, 2, 1));
    ::DestroyWindow(m_hTop);
}

TEST_F(FloatCellsTest, CellsLeftByASplitMergedRunFloatAgain)
{
    CGXGridWnd grid;
    MakeGrid(grid, 10, 6, 1);
    auto& merge = *static_cast<CGXGridMergeCellsImp*>(grid.m_pMergeCellsImp);
    merge.SetMergeCellsMode(&grid, 1, FALSE);
    const CString text = TextWiderThanOneColumn(grid);
    CGXStyle run;
    run.SetMergeCell(GX_MERGE_HORIZONTAL | GX_MERGE_COMPVALUE).SetValue(text);
    grid.ApplyStyleToRange(CGXRange(2, 1, 2, 3), &run, gxOverride, 0, nullptr, 0, gxDo);
    const auto evalAll = [&] {
        merge.EvalMergeCells(&grid, CGXRange(0, 0, 10, 6), nullptr, 0);
        Eval(grid);
    };
    evalAll();
    EXPECT_EQ(Span(grid, 2, 4), CGXRange(2, 4, 2, 4)); // the run's text stays in the run
    EXPECT_EQ(Span(grid, 2, 3), CGXRange(2, 1, 2, 3));

    // Emptying the middle splits the run: both ends float now, the far one included, though
    // only the middle cell was edited.
    grid.SetValueRange(CGXRange(2, 2, 2, 2), "");
    evalAll();
    EXPECT_EQ(Span(grid, 2, 1), CGXRange(2, 1, 2, 2));
    EXPECT_EQ(Span(grid, 2, 4), CGXRange(2, 3, 2, 4));
    ::DestroyWindow(m_hTop);
}

TEST_F(FloatCellsTest, SortedRowsFloatAsAFreshGridOfTheSameRowsDoes)
{
    for (WORD wMode : {WORD{1}, WORD{2}}) {
        // Rows of a long text, a short one and an empty one, with a sort key in column 6;
        // sorting by the key turns them upside down.
        CGXGridWnd sorted, fresh;
        MakeGrid(sorted, 6, 6, wMode);
        const CString text = TextWiderThanOneColumn(sorted);
        const char* const keys[] = {"f", "e", "d", "c", "b", "a"};
        for (ROWCOL r = 1; r <= 6; ++r) {
            sorted.SetValueRange(CGXRange(r, 1, r, 1), r % 3 == 1 ? text : r % 3 == 2 ? CString("short") : CString());
            sorted.SetValueRange(CGXRange(r, 6, r, 6), keys[r - 1]);
        }
        sorted.Redraw(GX_INVALIDATE, FALSE);
        backend->ProcessMessages();
        ASSERT_EQ(Span(sorted, 1, 2), CGXRange(1, 1, 1, 2)) << wMode;
        CGXSortInfoArray sortKeys;
        sortKeys.Add(CGXSortInfo(6, CGXSortInfo::alphanumeric, CGXSortInfo::ascending));
        CGXRange table;
        table.SetTable();
        sorted.SortRows(table, sortKeys);
        ASSERT_EQ(sorted.GetCellValue(6, 1), text);
        sorted.Redraw(GX_INVALIDATE, FALSE);
        backend->ProcessMessages();

        // The same rows typed into a new grid in their sorted order.
        MakeGrid(fresh, 6, 6, wMode);
        for (ROWCOL r = 1; r <= 6; ++r)
            for (ROWCOL c : {1u, 6u})
                fresh.SetValueRange(CGXRange(r, c, r, c), sorted.GetCellValue(r, c));
        fresh.Redraw(GX_INVALIDATE, FALSE);
        backend->ProcessMessages();
        for (ROWCOL r = 1; r <= 6; ++r)
            for (ROWCOL c = 1; c <= 6; ++c)
                EXPECT_EQ(Span(sorted, r, c), Span(fresh, r, c)) << "mode " << wMode << " cell " << r << "," << c;
        // Row 1 now holds the short text: nothing of the long one is left floating there.
        EXPECT_EQ(Span(sorted, 1, 2), CGXRange(1, 2, 1, 2)) << wMode;
        EXPECT_EQ(Span(sorted, 3, 2), CGXRange(3, 1, 3, 2)) << wMode;
        for (HWND hTop : m_tops)
            ::DestroyWindow(hTop);
        m_tops.clear();
    }
}

TEST_F(FloatCellsTest, ScrollingRepaintsAMergedCellThatReachesAcrossTheFrozenRows)
{
    CGXGridWnd grid;
    MakeGrid(grid, 40, 6, 1);
    auto& merge = *static_cast<CGXGridMergeCellsImp*>(grid.m_pMergeCellsImp);
    merge.SetMergeCellsMode(&grid, 2, FALSE);
    ASSERT_TRUE(grid.SetFrozenRows(2, 0));
    // Column 3 of rows 1 to 5 is one merged cell from the frozen rows into the scrolled ones.
    CGXStyle run;
    run.SetMergeCell(GX_MERGE_VERTICAL | GX_MERGE_COMPVALUE).SetValue("same");
    grid.ApplyStyleToRange(CGXRange(1, 3, 5, 3), &run, gxOverride, 0, nullptr, 0, gxDo);
    grid.Redraw(GX_INVALIDATE, FALSE);
    backend->ProcessMessages();
    ASSERT_EQ(Span(grid, 3, 3), CGXRange(1, 3, 5, 3));

    // A scroll by one row moves the pixels and leaves only the new bottom row to paint, and the
    // merged cell, whose scrolled part changed under its text.
    grid.SetNoImmediateUpdate(TRUE);
    ASSERT_TRUE(grid.DoScroll(3, 1));
    CRect update;
    ASSERT_TRUE(::GetUpdateRect(grid.GetSafeHwnd(), &update, FALSE));
    const CRect cell = grid.CalcCellRect(1, 3);
    EXPECT_LE(update.left, cell.left);
    EXPECT_GE(update.right, cell.right);
    EXPECT_LE(update.top, cell.top);
    backend->ProcessMessages();

    // Without a span across the edge only the strip that came into view waits.
    grid.SetValueRange(CGXRange(1, 3, 2, 3), "other");
    merge.EvalMergeCells(&grid, CGXRange(0, 0, 40, 6), nullptr, 0);
    grid.Redraw(GX_INVALIDATE, FALSE);
    backend->ProcessMessages();
    ASSERT_TRUE(grid.DoScroll(3, 1));
    ASSERT_TRUE(::GetUpdateRect(grid.GetSafeHwnd(), &update, FALSE));
    CRect client;
    grid.GetClientRect(&client);
    EXPECT_EQ(update.top, client.bottom - 20);
    ::DestroyWindow(m_hTop);
}
