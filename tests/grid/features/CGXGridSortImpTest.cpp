#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXSortInfoArray.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/CGXStyle.h"
#include "grid/features/CGXGridSortImp.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

class SortFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        CGXGridSortImp::Install(pGrid);
    }
};

// A long operation whose clock jumps at every look and whose user presses ESC and confirms.
class CancellingImp : public CGXAbstractLongOperationImp {
public:
    DWORD now = 0;
    int looks = 0;

protected:
    DWORD GetTicks() override
    {
        ++looks;
        return now += 100000;
    }
    void ShowStatusText(LPCTSTR, BOOL) override {}
    void PumpMessages(CGXLongOperation& op) override
    {
        CGXAbstractLongOperationImp::PumpMessages(op);
        GXGetLongOperationState().m_bEscPressed = TRUE;
    }
    GXAbortAnswer AskAbort(int) override { return gxAnswerCancel; }
};

class SortTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        InitGridLibrary(new SortFactory);
    }
    void TearDown() override
    {
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    // A grid of the given rows, each a list of column texts from column 1.
    static void Fill(CGXGridCore& grid, const std::vector<std::vector<std::string>>& rows)
    {
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(static_cast<ROWCOL>(rows.size()), 0);
        size_t nCols = 0;
        for (const auto& r : rows)
            nCols = std::max(nCols, r.size());
        grid.SetColCount(static_cast<ROWCOL>(nCols), 0);
        for (size_t i = 0; i < rows.size(); ++i)
            for (size_t j = 0; j < rows[i].size(); ++j)
                {
                    const auto r = static_cast<ROWCOL>(i + 1), c = static_cast<ROWCOL>(j + 1);
                    grid.SetValueRange(CGXRange(r, c, r, c), rows[i][j].c_str());
                }
        grid.GetParam()->EnableUndo(TRUE);
    }
    static std::string Value(CGXGridCore& grid, ROWCOL nRow, ROWCOL nCol)
    {
        CGXStyle style;
        grid.ComposeCellStyle(nRow, nCol, style);
        return style.GetValue().GetString();
    }
    static std::vector<std::string> Column(CGXGridCore& grid, ROWCOL nCol)
    {
        std::vector<std::string> v;
        for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r)
            v.push_back(Value(grid, r, nCol));
        return v;
    }
    static void SortBy(CGXGridCore& grid, ROWCOL nCol, DWORD type, DWORD order = CGXSortInfo::ascending, BOOL bCase = FALSE)
    {
        CGXSortInfoArray keys;
        keys.Add(CGXSortInfo(nCol, static_cast<CGXSortInfo::SortType>(type), static_cast<CGXSortInfo::SortOrder>(order), bCase));
        CGXRange table;
        table.SetTable();
        grid.SortRows(table, keys);
    }
    using Col = std::vector<std::string>;
};

} // namespace

TEST_F(SortTest, AutomaticKeysDecideBetweenNumbersDatesAndText)
{
    CGXGridCore grid;
    // Numbers: "1,5" is worth 1, so it goes before 9 and 10 (as text "10" would lead).
    Fill(grid, {{"10"}, {"9"}, {"1,5"}});
    SortBy(grid, 1, CGXSortInfo::autodetect);
    EXPECT_EQ(Column(grid, 1), (Col{"1,5", "9", "10"}));
    // One word makes the whole key text, compared without case.
    Fill(grid, {{"10"}, {"abc"}, {"9"}, {"ABB"}});
    SortBy(grid, 1, CGXSortInfo::autodetect);
    EXPECT_EQ(Column(grid, 1), (Col{"10", "9", "ABB", "abc"}));
    // Texts that are dates and look like numbers sort as dates; an empty text does not vote.
    Fill(grid, {{"2020-03-01"}, {""}, {"2019-12-31"}, {"2020-01-15"}});
    SortBy(grid, 1, CGXSortInfo::autodetect);
    EXPECT_EQ(Column(grid, 1), (Col{"", "2019-12-31", "2020-01-15", "2020-03-01"}));
    // A date key given outright: unparsable texts come first, ascending.
    Fill(grid, {{"Mar 3, 2021"}, {"soon"}, {"1/2/2021"}});
    SortBy(grid, 1, CGXSortInfo::date);
    EXPECT_EQ(Column(grid, 1), (Col{"soon", "1/2/2021", "Mar 3, 2021"}));
    // Case-sensitive text in code-point order, descending; UTF-8 letters after ASCII.
    Fill(grid, {{"b"}, {"\xC3\xA9"}, {"B"}, {"a"}});
    SortBy(grid, 1, CGXSortInfo::alphanumeric, CGXSortInfo::descending, TRUE);
    EXPECT_EQ(Column(grid, 1), (Col{"\xC3\xA9", "b", "a", "B"}));
}

TEST_F(SortTest, RowsTravelWholeTiesKeepTheirOrderAndUndoRestoresExactly)
{
    CGXGridCore grid;
    Fill(grid, {{"2", "first"}, {"1", "second"}, {"2", "third"}, {"1", "fourth"}, {"0", "fifth"}});
    grid.SetValueRange(CGXRange(0, 2, 0, 2), "Header");
    SortBy(grid, 1, CGXSortInfo::autodetect);
    EXPECT_EQ(Column(grid, 2), (Col{"fifth", "second", "fourth", "first", "third"}));
    EXPECT_EQ(Value(grid, 0, 2), "Header");
    EXPECT_EQ(grid.GetParam()->m_nLastSortCol, 1u);
    EXPECT_EQ(grid.GetParam()->m_nLastSortRow, GX_INVALID);

    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Column(grid, 2), (Col{"first", "second", "third", "fourth", "fifth"}));
    EXPECT_EQ(Column(grid, 1), (Col{"2", "1", "2", "1", "0"}));
    ASSERT_TRUE(grid.Redo());
    EXPECT_EQ(Column(grid, 2), (Col{"fifth", "second", "fourth", "first", "third"}));

    // A block of the rows only: the rest stays.
    CGXSortInfoArray keys;
    keys.Add(CGXSortInfo(2, CGXSortInfo::alphanumeric, CGXSortInfo::ascending));
    grid.SortRows(CGXRange(2, 1, 4, 2), keys);
    EXPECT_EQ(Column(grid, 2), (Col{"fifth", "first", "fourth", "second", "third"}));

    // One row, or a read-only grid, changes nothing.
    CGXGridCore one;
    Fill(one, {{"b"}});
    SortBy(one, 1, CGXSortInfo::alphanumeric, CGXSortInfo::descending);
    EXPECT_EQ(Column(one, 1), (Col{"b"}));
    EXPECT_FALSE(one.CanUndo(nullptr));
}

TEST_F(SortTest, AMoveDataOrderThatIsNoPermutationChangesNothing)
{
    CGXGridCore grid;
    Fill(grid, {{"a"}, {"b"}, {"c"}});
    CDWordArray order;
    order.Add(1);
    order.Add(1);
    order.Add(3);
    EXPECT_FALSE(grid.MoveDataRows(CGXRange().SetRows(1, 3), order));
    order[1] = 4; // outside the block
    EXPECT_FALSE(grid.MoveDataRows(CGXRange().SetRows(1, 3), order));
    EXPECT_EQ(Column(grid, 1), (Col{"a", "b", "c"}));
    EXPECT_FALSE(grid.CanUndo(nullptr));
    order[1] = 2;
    order[0] = 3;
    order[2] = 1;
    ASSERT_TRUE(grid.MoveDataRows(CGXRange().SetRows(1, 3), order));
    EXPECT_EQ(Column(grid, 1), (Col{"c", "b", "a"}));
}

TEST_F(SortTest, HeaderDoubleClickSortsAscendingThenDescendingWhenAllowed)
{
    CGXGridCore grid;
    Fill(grid, {{"b", "2"}, {"c", "1"}, {"a", "3"}});
    // Without the switch the double-click is not taken.
    EXPECT_FALSE(grid.HandleCellDblClick(0, 1, 0));
    EXPECT_EQ(Column(grid, 1), (Col{"b", "c", "a"}));
    grid.GetParam()->m_wSortOnDblClk = GX_SORT_ROWS_ON_COLHEADER_DBLCLK;
    EXPECT_TRUE(grid.HandleCellDblClick(0, 1, 0));
    EXPECT_EQ(Column(grid, 1), (Col{"a", "b", "c"}));
    EXPECT_TRUE(grid.HandleCellDblClick(0, 1, 0));
    EXPECT_EQ(Column(grid, 1), (Col{"c", "b", "a"}));
    // Another column starts ascending again.
    EXPECT_TRUE(grid.HandleCellDblClick(0, 2, 0));
    EXPECT_EQ(Column(grid, 2), (Col{"1", "2", "3"}));
    // Cells and row headers are not sort places here.
    EXPECT_FALSE(grid.HandleCellDblClick(1, 1, 0));
    EXPECT_FALSE(grid.HandleCellDblClick(2, 0, 0));

    // Columns by a row header.
    grid.GetParam()->m_wSortOnDblClk = GX_SORT_COLS_ON_ROWHEADER_DBLCLK;
    EXPECT_TRUE(grid.HandleCellDblClick(1, 0, 0)); // row 1 is "c","1"
    EXPECT_EQ(Value(grid, 1, 1), "1");
    EXPECT_EQ(Value(grid, 1, 2), "c");
}

TEST_F(SortTest, MatchesStableSortOnRandomKeysAndUndoesToTheStart)
{
    std::mt19937 rng(12);
    for (int round = 0; round < 25; ++round) {
        const size_t n = 2 + rng() % 60;
        std::vector<std::vector<std::string>> rows;
        struct Model {
            int a;
            std::string b;
            size_t id;
        };
        std::vector<Model> model;
        for (size_t i = 0; i < n; ++i) {
            const int a = static_cast<int>(rng() % 5) - 2;
            std::string b(1, static_cast<char>('a' + rng() % 3));
            if (rng() % 2)
                b[0] = static_cast<char>(b[0] - 'a' + 'A');
            rows.push_back({std::to_string(a), b, std::to_string(i)});
            model.push_back({a, b, i});
        }
        CGXGridCore grid;
        Fill(grid, rows);
        const bool bDescA = rng() % 2;
        CGXSortInfoArray keys;
        keys.Add(CGXSortInfo(1, CGXSortInfo::autodetect, bDescA ? CGXSortInfo::descending : CGXSortInfo::ascending));
        keys.Add(CGXSortInfo(2, CGXSortInfo::alphanumeric, CGXSortInfo::ascending, FALSE));
        CGXRange table;
        table.SetTable();
        grid.SortRows(table, keys);

        std::stable_sort(model.begin(), model.end(), [bDescA](const Model& x, const Model& y) {
            if (x.a != y.a)
                return bDescA ? x.a > y.a : x.a < y.a;
            return std::tolower(x.b[0]) < std::tolower(y.b[0]);
        });
        for (size_t i = 0; i < n; ++i)
            ASSERT_EQ(Value(grid, static_cast<ROWCOL>(i + 1), 3), std::to_string(model[i].id)) << "round " << round;
        ASSERT_TRUE(grid.Undo());
        for (size_t i = 0; i < n; ++i)
            ASSERT_EQ(Value(grid, static_cast<ROWCOL>(i + 1), 3), std::to_string(i));
    }
}

TEST_F(SortTest, AnAbortedSortChangesNothing)
{
    CGXGridCore grid;
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 1000; ++i)
        rows.push_back({std::to_string(1000 - i)});
    Fill(grid, rows);
    CancellingImp imp;
    CGXAbstractLongOperationImp* pOld = GXSetLongOperationImp(&imp);
    SortBy(grid, 1, CGXSortInfo::numeric);
    GXSetLongOperationImp(pOld);
    GXGetLongOperationState().m_bCancelled = FALSE;
    EXPECT_GT(imp.looks, 0);
    EXPECT_EQ(CGXLongOperation::GetLevel(), 0);
    EXPECT_EQ(Value(grid, 1, 1), "1000");
    EXPECT_EQ(Value(grid, 1000, 1), "1");
    EXPECT_FALSE(grid.CanUndo(nullptr));
    // The next sort runs.
    SortBy(grid, 1, CGXSortInfo::numeric);
    EXPECT_EQ(Value(grid, 1, 1), "1");
}
