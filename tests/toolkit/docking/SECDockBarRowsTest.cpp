// The dock bar's rows as an array: every insertion position, full-row bars, placeholders over
// hiding and leaving, expanding and contracting, and shares kept sound in a small window.
#include "tests/toolkit/docking/DockingFixture.h"

#include <numeric>
#include <random>

namespace {

class RowsTest : public ToolkitDockingTest {
protected:
    // Rows "1|2 3|4" in the top dock bar (ids 0xE901.. end in 1..).
    void ThreeRows()
    {
        for (UINT id = 0xE901; id <= 0xE904; ++id)
            MakeBar(id);
        Top()->m_arrBars.RemoveAll();
        Top()->m_arrBars.Add(nullptr);
        for (int i : {0, -1, 1, 2, -1, 3, -1}) {
            if (i < 0) {
                Top()->m_arrBars.Add(nullptr);
            } else {
                Top()->m_arrBars.Add(bars[static_cast<size_t>(i)].get());
                bars[static_cast<size_t>(i)]->m_pDockBar = Top();
            }
        }
        fresh = MakeBar(0xE909);
    }
    int Insert(int row, int col, int flags) { return Top()->InsertBar(fresh, SECDockPos{row, col, flags}); }
    SECControlBar* fresh = nullptr;
};

} // namespace

TEST_F(RowsTest, InsertBarHonoursRowsColumnsAndFlags)
{
    ThreeRows();
    ASSERT_EQ(Rows(Top()), "|1|23|4|");
    struct Case {
        int row, col, flags;
        const char* rows;
        int index;
    };
    const Case cases[] = {
        {-1, 0, 0, "|91|23|4|", 1},                    // first bar of the first row
        {-2, 0, 0, "|9|1|23|4|", 1},                   // a row of its own before the first
        {-3, 0, 0, "|9||1|23|4|", 1},                  // and an empty row between
        {1, 0, 0, "|1|923|4|", 3},                     // row 1, column 0: its start
        {1, 1, 0, "|1|293|4|", 4},                     // before the second visible bar
        {1, 5, 0, "|1|239|4|", 5},                     // past the visible bars: the row's end
        {1, 1, SEC_DOCKPOS_FROMROWEND, "|1|239|4|", 5},   // from the end, positive: the end
        {1, 0, SEC_DOCKPOS_FROMROWEND, "|1|293|4|", 4},   // before the last visible bar
        {1, -1, SEC_DOCKPOS_FROMROWEND, "|1|923|4|", 3},  // before the second from the end
        {1, -7, SEC_DOCKPOS_FROMROWEND, "|1|923|4|", 3},  // fewer bars: the row's start
        {1, 0, SEC_DOCKPOS_OWNROW, "|1|9|23|4|", 3},   // a new row before the selected one
        {3, 0, 0, "|1|23|4|9|", 8},                    // one past the rows: a new last row
        {5, 0, 0, "|1|23|4|||9|", 10},                  // two empty rows skipped
        {0, 0, SEC_DOCKPOS_FROMLASTROW, "|1|23|94|", 6},  // the last row
        {-1, 0, SEC_DOCKPOS_FROMLASTROW, "|1|923|4|", 3}, // the row before the last
        {1, 1, SEC_DOCKPOS_FROMLASTROW, "|1|23|4|9|", 8}, // a new last row
        {2, 1, SEC_DOCKPOS_FROMLASTROW, "|1|23|4||9|", 9},
    };
    for (const Case& c : cases) {
        ThreeRows();
        EXPECT_EQ(Insert(c.row, c.col, c.flags), c.index) << c.row << "," << c.col << "," << c.flags;
        EXPECT_EQ(Rows(Top()), c.rows) << c.row << "," << c.col << "," << c.flags;
        // The dock bar lets go of the bars before they are deleted.
        Top()->m_arrBars.RemoveAll();
        Top()->m_arrBars.Add(nullptr);
        Top()->m_arrChangedBars.RemoveAll();
        bars.clear();
    }
}

TEST_F(RowsTest, AnEmptyDockBarTakesTheBarIntoItsFirstRowAndHiddenBarsAreNotColumns)
{
    ThreeRows();
    Top()->m_arrBars.RemoveAll();
    Top()->m_arrBars.Add(nullptr);
    EXPECT_EQ(Insert(4, 3, SEC_DOCKPOS_FROMROWEND), 1);
    EXPECT_EQ(Rows(Top()), "|9|");

    Top()->m_arrChangedBars.RemoveAll();
    bars.clear();
    ThreeRows();
    bars[1]->ShowWindow(SW_HIDE);   // bar 2 is no column
    EXPECT_EQ(Insert(1, 1, 0), 5);
    EXPECT_EQ(Rows(Top()), "|1|239|4|");
}

TEST_F(RowsTest, AFullRowBarSplitsTheRowItLandsIn)
{
    ThreeRows();
    fresh->m_dwExStyle |= CBRS_EX_FULL_ROW;
    // Between bars 2 and 3: one row becomes three.
    EXPECT_EQ(Top()->InsertBarBefore(4, fresh), 5);
    EXPECT_EQ(Rows(Top()), "|1|2|9|3|4|");
    // A plain bar beside a full-row bar gets a row break next to it.
    SECControlBar* plain = MakeBar(0xE908);
    EXPECT_EQ(Top()->InsertBarBefore(6, plain), 7);
    EXPECT_EQ(Rows(Top()), "|1|2|9|8|3|4|");
}
