#include "grid/data/CGXDelayedRangePool.h"

#include "GXArchiveBytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <vector>

using namespace gxbytes;

namespace {

constexpr DWORD kNone = 0xFFFFFFFFu;

std::vector<CGXRange> Ranges(const CGXDelayedRangePool& pool)
{
    std::vector<CGXRange> out;
    for (INT_PTR i = 0; i < pool.GetCount(); ++i)
        out.push_back(pool.GetAt(i)->m_range);
    return out;
}

std::vector<DWORD> Values(const CDWordArray& a)
{
    std::vector<DWORD> out;
    for (INT_PTR i = 0; i < a.GetSize(); ++i)
        out.push_back(a[i]);
    return out;
}

TEST(CGXDelayedRangePool, AddRangeWidensAPendingNeighbourOrReusesACoveredSlot)
{
    CGXDelayedRangePool pool;
    pool.AddRange(CGXRange(1, 1, 5, 3));
    pool.AddRange(CGXRange(1, 4, 5, 6)); // right beside it: the entry grows
    ASSERT_EQ(Ranges(pool), std::vector<CGXRange>{CGXRange(1, 1, 5, 6)});
    pool.AddRange(CGXRange(6, 1, 9, 6)); // below it
    ASSERT_EQ(Ranges(pool), std::vector<CGXRange>{CGXRange(1, 1, 9, 6)});

    pool.AddRange(CGXRange(20, 20, 22, 22)); // apart: a new entry in front
    ASSERT_EQ(Ranges(pool), (std::vector<CGXRange>{CGXRange(20, 20, 22, 22), CGXRange(1, 1, 9, 6)}));

    // Covering the second entry whole marks it done and takes its slot.
    pool.AddRange(CGXRange(0, 0, 10, 10));
    ASSERT_EQ(Ranges(pool), (std::vector<CGXRange>{CGXRange(20, 20, 22, 22), CGXRange(0, 0, 10, 10)}));
    EXPECT_FALSE(pool.GetAt(1)->m_bDone);

    CGXRange inverted;
    inverted.top = 5;
    inverted.bottom = 1;
    pool.AddRange(inverted);
    EXPECT_EQ(pool.GetCount(), 2);
}

TEST(CGXDelayedRangePool, GetRowsToEvaluateSplitsAtTheViewAndHandsOutEachRowOnce)
{
    CGXDelayedRangePool pool;
    pool.AddRange(CGXRange(1, 1, 10, 20));
    CDWordArray first, last;

    ASSERT_TRUE(pool.GetRowsToEvaluate(CGXRange(1, 5, 4, 8), first, last));
    EXPECT_EQ(Values(first), (std::vector<DWORD>{5, 5, 5, 5}));
    EXPECT_EQ(Values(last), (std::vector<DWORD>{8, 8, 8, 8}));
    // The columns outside the view stay pending in entries of their own.
    EXPECT_EQ(Ranges(pool), (std::vector<CGXRange>{CGXRange(1, 5, 10, 8), CGXRange(1, 1, 10, 4),
                                                    CGXRange(1, 9, 10, 20)}));

    // The same rows again: nothing to do, and F stays all 0xFFFFFFFF.
    EXPECT_FALSE(pool.GetRowsToEvaluate(CGXRange(1, 5, 4, 8), first, last));
    EXPECT_EQ(Values(first), std::vector<DWORD>(4, kNone));
    EXPECT_EQ(Values(last), std::vector<DWORD>(4, 0));

    // A view reaching below hands out the entry's rows within it (the part worked out before
    // too, as one interval); the entry is then whole, done and dropped.
    ASSERT_TRUE(pool.GetRowsToEvaluate(CGXRange(3, 5, 12, 8), first, last));
    EXPECT_EQ(Values(first), (std::vector<DWORD>{5, 5, 5, 5, 5, 5, 5, 5, kNone, kNone}));
    EXPECT_EQ(Values(last), (std::vector<DWORD>{8, 8, 8, 8, 8, 8, 8, 8, 0, 0}));
    EXPECT_EQ(Ranges(pool), (std::vector<CGXRange>{CGXRange(1, 1, 10, 4), CGXRange(1, 9, 10, 20)}));

    // A wide view takes the rest: both entries report their own columns per row.
    ASSERT_TRUE(pool.GetRowsToEvaluate(CGXRange(2, 1, 2, 30), first, last));
    EXPECT_EQ(Values(first), std::vector<DWORD>{1});
    EXPECT_EQ(Values(last), std::vector<DWORD>{20});

    CGXRange empty(1, 1, 1, 1);
    empty.right = 0;
    EXPECT_FALSE(pool.GetRowsToEvaluate(empty, first, last));
}

TEST(CGXDelayedRangePool, WorkedOutIntervalsJoinAndAnEntryIsDoneWhenTheyReachTopToBottom)
{
    CGXDelayedRange entry;
    entry.m_range = CGXRange(1, 1, 8, 1);
    EXPECT_TRUE(entry.AddEvaluatedRows(5, 6));
    EXPECT_TRUE(entry.AddEvaluatedRows(1, 2));
    EXPECT_EQ(Values(entry.m_awStart), (std::vector<DWORD>{1, 5}));
    EXPECT_EQ(Values(entry.m_awEnd), (std::vector<DWORD>{2, 6}));
    EXPECT_FALSE(entry.AddEvaluatedRows(5, 5));
    EXPECT_TRUE(entry.AddEvaluatedRows(3, 4)); // touches both: one interval 1..6, even though
                                               // 1..4 and 5..6 only meet without overlapping
    EXPECT_EQ(Values(entry.m_awStart), std::vector<DWORD>{1});
    EXPECT_EQ(Values(entry.m_awEnd), std::vector<DWORD>{6});
    EXPECT_FALSE(entry.m_bDone);
    EXPECT_TRUE(entry.AddEvaluatedRows(7, 8));
    EXPECT_TRUE(entry.m_bDone);
    EXPECT_EQ(entry.m_awStart.GetSize(), 0);
}

// Whatever the order of views, every pending cell of an added range is handed out exactly once.
TEST(CGXDelayedRangePool, RandomViewsHandOutEveryPendingCellOnce)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        const auto pick = [&](DWORD lo, DWORD hi) { return std::uniform_int_distribution<DWORD>(lo, hi)(rng); };
        CGXDelayedRangePool pool;
        const DWORD top = pick(1, 10), left = pick(1, 10);
        const CGXRange added(top, left, top + pick(0, 15), left + pick(0, 15));
        pool.AddRange(added);
        std::set<std::pair<DWORD, DWORD>> handed;
        for (int view = 0; view < 200 && pool.GetCount() > 0; ++view) {
            const DWORD t = pick(0, 30), l = pick(0, 30);
            const CGXRange v(t, l, t + pick(0, 6), l + pick(0, 6));
            CDWordArray first, last;
            if (!pool.GetRowsToEvaluate(v, first, last))
                continue;
            for (DWORD row = v.top; row <= v.bottom; ++row) {
                const DWORD f = first[row - v.top], l2 = last[row - v.top];
                if (f == kNone)
                    continue;
                ASSERT_LE(f, l2);
                for (DWORD col = f; col <= l2; ++col) {
                    ASSERT_TRUE(added.ContainsCell(row, col)) << seed;
                    // A row's columns may be reported again when a wider entry spans the
                    // view; cells of the view are what counts.
                    if (v.ContainsCell(row, col))
                        handed.insert({row, col});
                }
            }
        }
        // Drain with the whole area in view.
        CDWordArray first, last;
        const CGXRange all(0, 0, 40, 40);
        if (pool.GetRowsToEvaluate(all, first, last)) {
            for (DWORD row = 0; row <= 40; ++row)
                for (DWORD col = first[row]; first[row] != kNone && col <= last[row]; ++col)
                    handed.insert({row, col});
        }
        EXPECT_EQ(pool.GetCount(), 0) << seed;
        EXPECT_EQ(handed.size(), static_cast<size_t>(added.GetHeight()) * added.GetWidth()) << seed;
    }
}

void Range(Bytes& b, DWORD top, DWORD left, DWORD bottom, DWORD right)
{
    Dword(b, top);
    Dword(b, left);
    Dword(b, bottom);
    Dword(b, right);
    b.push_back(0); // cells
    b.push_back(1); // valid
}

TEST(CGXDelayedRangePool, ArchiveFormIsByteExactAndLoadsAllPending)
{
    CGXDelayedRangePool pool;
    pool.AddRange(CGXRange(1, 1, 10, 3));
    pool.AddRange(CGXRange(20, 2, 21, 2));
    CDWordArray first, last;
    ASSERT_TRUE(pool.GetRowsToEvaluate(CGXRange(3, 1, 4, 3), first, last));
    ASSERT_TRUE(pool.GetRowsToEvaluate(CGXRange(20, 2, 21, 2), first, last)); // done: dropped

    Bytes expected;
    NewClass(expected, 1, "CGXDelayedRangePool");
    Word(expected, 1);
    NewClass(expected, 1, "CGXDelayedRange");
    Range(expected, 1, 1, 10, 3);
    Word(expected, 1); // starts
    Dword(expected, 3);
    Word(expected, 1); // ends
    Dword(expected, 4);
    EXPECT_EQ(Store([&](CArchive& ar) { ar.WriteObject(&pool); }), expected);

    std::unique_ptr<CGXDelayedRangePool> pLoaded;
    ASSERT_EQ(Load(expected, [&](CArchive& ar) { pLoaded.reset(CGXDelayedRangePool::ReadFromArchive(ar)); }), -1);
    ASSERT_EQ(pLoaded->GetCount(), 1);
    EXPECT_FALSE(pLoaded->GetAt(0)->m_bDone);
    EXPECT_EQ(Store([&](CArchive& ar) { ar.WriteObject(pLoaded.get()); }), expected);
    // The loaded rows 3..4 count as worked out; the others are pending.
    EXPECT_FALSE(pLoaded->GetRowsToEvaluate(CGXRange(3, 1, 4, 3), first, last));
    ASSERT_TRUE(pLoaded->GetRowsToEvaluate(CGXRange(5, 1, 5, 3), first, last));
    EXPECT_EQ(Values(first), std::vector<DWORD>{1});

    // Two entries: the second names its class by reference (class 3: pool class, pool, entry class).
    CGXDelayedRangePool two;
    two.AddRange(CGXRange(5, 5, 6, 6));
    two.AddRange(CGXRange(1, 1, 2, 2));
    Bytes twoBytes;
    NewClass(twoBytes, 1, "CGXDelayedRangePool");
    Word(twoBytes, 2);
    NewClass(twoBytes, 1, "CGXDelayedRange");
    Range(twoBytes, 1, 1, 2, 2);
    Word(twoBytes, 0);
    Word(twoBytes, 0);
    Word(twoBytes, 0x8003);
    Range(twoBytes, 5, 5, 6, 6);
    Word(twoBytes, 0);
    Word(twoBytes, 0);
    EXPECT_EQ(Store([&](CArchive& ar) { ar.WriteObject(&two); }), twoBytes);

    // An entry that refers back to the one before would be owned twice: refused.
    Bytes shared(twoBytes.begin(), twoBytes.end() - 24);
    Word(shared, 4);
    shared.resize(twoBytes.size()); // as long as two entries are
    EXPECT_EQ(Load(shared, [&](CArchive& ar) { pLoaded.reset(CGXDelayedRangePool::ReadFromArchive(ar)); }),
              CArchiveException::badIndex);
    // Starts and ends that do not pair up.
    Bytes unpaired(expected.begin(), expected.end() - 6);
    Word(unpaired, 0);
    EXPECT_EQ(Load(unpaired, [&](CArchive& ar) { pLoaded.reset(CGXDelayedRangePool::ReadFromArchive(ar)); }),
              CArchiveException::genericException);
}

TEST(CGXDelayedRangePool, CopiesAreDeepAndClipsLowerTheBounds)
{
    CGXDelayedRangePool pool;
    pool.AddRange(CGXRange(1, 1, 10, 10));
    CGXDelayedRangePool copy;
    copy = pool;
    copy = copy;
    ASSERT_EQ(copy.GetCount(), 1);
    EXPECT_NE(copy.GetAt(0), pool.GetAt(0));
    pool.ClipRows(4);
    pool.ClipCols(6);
    EXPECT_EQ(pool.GetAt(0)->m_range, CGXRange(1, 1, 4, 6));
    EXPECT_EQ(copy.GetAt(0)->m_range, CGXRange(1, 1, 10, 10));
    pool.RemoveAll();
    EXPECT_EQ(pool.GetCount(), 0);
}

} // namespace
