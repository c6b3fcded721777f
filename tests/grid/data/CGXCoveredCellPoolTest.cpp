#include "grid/data/CGXCoveredCellPool.h"

#include <gtest/gtest.h>

namespace {

TEST(CGXCoveredCellPool, RecordsRangesUnderTheirPositionsAndNeverTakesOverAnother)
{
    CGXRangeList list;
    const POSITION a = list.AddTail(new CGXRange(1, 1, 3, 3));
    const POSITION b = list.AddTail(new CGXRange(5, 1, 6, 2));
    CGXCoveredCellPool pool;

    EXPECT_FALSE(pool.SetRange(2, 2, 2, 2, a)); // one cell: nothing to cover
    EXPECT_EQ(pool.Lookup(2, 2), nullptr);

    ASSERT_TRUE(pool.SetRange(1, 1, 3, 3, a));
    for (DWORD r = 0; r <= 4; ++r)
        for (DWORD c = 0; c <= 4; ++c)
            EXPECT_EQ(pool.Lookup(r, c), r >= 1 && r <= 3 && c >= 1 && c <= 3 ? a : nullptr) << r << "," << c;

    // Another range over (3,1) stops there; the row before it keeps what was written.
    EXPECT_FALSE(pool.SetRange(2, 1, 3, 1, b));
    EXPECT_EQ(pool.Lookup(3, 1), a);

    // The same range narrowed: the rest of its older extent is cleared.
    ASSERT_TRUE(pool.SetRange(1, 1, 3, 2, a));
    EXPECT_EQ(pool.Lookup(2, 2), a);
    EXPECT_EQ(pool.Lookup(2, 3), nullptr);

    ASSERT_TRUE(pool.SetRange(1, 1, 3, 2, nullptr));
    EXPECT_EQ(pool.Lookup(2, 1), nullptr);
    EXPECT_FALSE(pool.SetRange(1, 1, 3, 2, nullptr));
    EXPECT_EQ(pool.Lookup(0x7FFFFFFFu, 0x7FFFFFFFu), nullptr);
}

TEST(CGXCoveredCellPool, RebuildFollowsTheListInOrder)
{
    CGXRangeList list;
    const POSITION a = list.AddTail(new CGXRange(1, 1, 2, 4));
    list.AddTail(new CGXRange(2, 3, 5, 5)); // overlaps a at its first row: not recorded at all
    const POSITION c = list.AddTail(new CGXRange(7, 7, 8, 8));
    CGXCoveredCellPool pool;
    pool.SetRange(10, 10, 11, 11, c);
    pool.Rebuild(list);
    EXPECT_EQ(pool.Lookup(10, 10), nullptr);
    EXPECT_EQ(pool.Lookup(2, 3), a);
    EXPECT_EQ(pool.Lookup(3, 3), nullptr);
    EXPECT_EQ(pool.Lookup(8, 8), c);
}

} // namespace
