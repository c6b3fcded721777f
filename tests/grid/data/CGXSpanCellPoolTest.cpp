#include "grid/data/CGXSpanCellPool.h"

#include "GXArchiveBytes.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

using namespace gxbytes;

namespace {

constexpr DWORD kNoSpan = 0xFFFFFFFFu;

CGXRange Preset(DWORD row, DWORD col)
{
    return CGXRange(row, col, row, col);
}

// Both tables written with their own Serialize, as the pool writes them.
Bytes StorePool(CGXSpanCellPool& pool)
{
    return Store([&](CArchive& ar) { pool.Serialize(ar); });
}

TEST(CGXSpanCellPool, FindsTheSpanHoldingAnyOfItsCellsAndLeavesOtherDirectionsAlone)
{
    CGXSpanCellPool pool;
    CGXRange range = Preset(2, 4);
    EXPECT_FALSE(pool.FindSpan(2, 4, range));
    EXPECT_EQ(range, Preset(2, 4));

    ASSERT_TRUE(pool.SetSpan(2, 3, 2, 6, TRUE));
    for (DWORD col = 3; col <= 6; ++col) {
        range = Preset(2, col);
        ASSERT_TRUE(pool.FindSpan(2, col, range)) << col;
        EXPECT_EQ(range.left, 3u);
        EXPECT_EQ(range.right, 6u);
        EXPECT_EQ(range.top, 2u); // one row high: no vertical span, the preset stays
        EXPECT_EQ(range.bottom, 2u);
    }
    range = Preset(2, 7);
    EXPECT_FALSE(pool.FindSpan(2, 7, range));
    EXPECT_FALSE(pool.FindSpan(0x80000000u, 3, range));
    EXPECT_FALSE(pool.SetSpan(1, 1, 0x80000000u, 2, TRUE));

    // One column wide: nothing in the horizontal table, rows in the vertical one.
    CGXSpanCellPool narrow;
    ASSERT_TRUE(narrow.SetSpan(4, 2, 7, 2, TRUE));
    EXPECT_EQ(narrow.m_HorzSpans.GetSize(), 0);
    range = Preset(6, 2);
    ASSERT_TRUE(narrow.FindSpan(6, 2, range));
    EXPECT_EQ(range, CGXRange(4, 2, 7, 2));
}

TEST(CGXSpanCellPool, NewSpanCutsTheTailOfAnOlderOneAndClearingRemovesFromItsStart)
{
    CGXSpanCellPool pool;
    ASSERT_TRUE(pool.SetSpan(1, 2, 1, 8, TRUE));
    ASSERT_TRUE(pool.SetSpan(1, 2, 1, 4, TRUE)); // shrink from the same start
    CGXRange range = Preset(1, 5);
    EXPECT_FALSE(pool.FindSpan(1, 5, range));
    range = Preset(1, 3);
    ASSERT_TRUE(pool.FindSpan(1, 3, range));
    EXPECT_EQ(range.right, 4u);

    ASSERT_TRUE(pool.SetSpan(1, 2, 1, 4, FALSE));
    range = Preset(1, 2);
    EXPECT_FALSE(pool.FindSpan(1, 2, range));
    EXPECT_FALSE(pool.SetSpan(1, 2, 1, 4, FALSE)); // nothing left to clear
}

TEST(CGXSpanCellPool, ArchiveFormIsByteExactBothWays)
{
    CGXSpanCellPool pool;
    ASSERT_TRUE(pool.SetSpan(2, 3, 2, 6, TRUE));
    ASSERT_TRUE(pool.SetSpan(0, 1, 1, 1, TRUE)); // vertical only

    Bytes expected;
    Word(expected, 1);   // horizontal table: schema
    Dword(expected, 3);  // three rows
    Dword(expected, 2);  // row 2
    Word(expected, 7);   // seven columns
    for (DWORD v : {kNoSpan, kNoSpan, kNoSpan, 3u, 3u, 3u, 3u})
        Dword(expected, v);
    Dword(expected, kNoSpan);
    Word(expected, 1);   // vertical table
    Dword(expected, 2);  // two columns
    Dword(expected, 1);  // column 1
    Word(expected, 2);
    Dword(expected, 0);
    Dword(expected, 0);
    Dword(expected, kNoSpan);
    EXPECT_EQ(StorePool(pool), expected);

    CGXSpanCellPool loaded;
    ASSERT_EQ(Load(expected, [&](CArchive& ar) { loaded.Serialize(ar); }), -1);
    EXPECT_EQ(StorePool(loaded), expected);
    CGXRange range = Preset(1, 1);
    ASSERT_TRUE(loaded.FindSpan(1, 1, range));
    EXPECT_EQ(range, CGXRange(0, 1, 1, 1));

    // Through WriteObject: the class tag with schema 1 at its first appearance.
    Bytes tagged;
    NewClass(tagged, 1, "CGXSpanCellPool");
    tagged.insert(tagged.end(), expected.begin(), expected.end());
    EXPECT_EQ(Store([&](CArchive& ar) { ar.WriteObject(&pool); }), tagged);
    std::unique_ptr<CGXSpanCellPool> pRead;
    ASSERT_EQ(Load(tagged, [&](CArchive& ar) { pRead.reset(CGXSpanCellPool::ReadFromArchive(ar)); }), -1);
    ASSERT_NE(pRead, nullptr);
    EXPECT_EQ(StorePool(*pRead), expected);
}

TEST(CGXSpanCellPool, LoaderRefusesBadIndicesSizesAndSchemasKeepingTheTable)
{
    const auto table = [](WORD schema, DWORD size, std::vector<DWORD> indices) {
        Bytes b;
        Word(b, schema);
        Dword(b, size);
        for (DWORD index : indices) {
            Dword(b, index);
            Word(b, 1);
            Dword(b, 5);
        }
        Dword(b, kNoSpan);
        return b;
    };
    CGXDWordArrayPtrArray array;
    array.SetSize(1);
    array.SetAt(0, new CDWordArray);
    static_cast<CDWordArray*>(array.GetAt(0))->Add(42);
    const auto keeps = [&] {
        return array.GetSize() == 1 && array.GetInner(0) != nullptr && array.GetInner(0)->GetAt(0) == 42;
    };
    const auto load = [&](const Bytes& b) { return Load(b, [&](CArchive& ar) { array.Serialize(ar); }); };

    EXPECT_EQ(load(table(2, 4, {1})), CArchiveException::badSchema);
    EXPECT_TRUE(keeps());
    EXPECT_EQ(load(table(1, 4, {4})), CArchiveException::badIndex); // at the size
    EXPECT_TRUE(keeps());
    EXPECT_EQ(load(table(1, 4, {2, 2})), CArchiveException::badIndex); // repeated: would leak
    EXPECT_EQ(load(table(1, 4, {3, 1})), CArchiveException::badIndex); // descending
    EXPECT_EQ(load(table(1, 0x01000001u, {0x01000000u})), CArchiveException::genericException);
    EXPECT_TRUE(keeps());
    Bytes cut = table(1, 4, {1});
    ASSERT_GT(cut.size(), 6u);
    cut.erase(cut.end() - 6, cut.end());
    EXPECT_EQ(load(cut), CArchiveException::endOfFile);
    EXPECT_TRUE(keeps());

    // The largest size costs nothing until an entry stands there.
    ASSERT_EQ(load(table(1, 0x01000000u, {0x10})), -1);
    EXPECT_EQ(array.GetSize(), 0x11);
    EXPECT_EQ(array.GetInner(0x10)->GetAt(0), 5u);
}

// The reference: both tables as dense arrays of first positions, worked on by the plain rules.
class DenseModel {
public:
    static constexpr DWORD N = 400;
    DenseModel() : m_horz(N, std::vector<DWORD>(N, kNoSpan)), m_vert(N, std::vector<DWORD>(N, kNoSpan)) {}

    void SetSpan(DWORD t, DWORD l, DWORD b, DWORD r, bool set)
    {
        SetTable(m_horz, t, b, l, r, set);
        SetTable(m_vert, l, r, t, b, set);
    }
    void InsertRows(DWORD at, DWORD count)
    {
        InsertOuter(m_horz, at, count);
        InsertInner(m_vert, at, count);
    }
    void InsertCols(DWORD at, DWORD count)
    {
        InsertOuter(m_vert, at, count);
        InsertInner(m_horz, at, count);
    }
    void RemoveRows(DWORD first, DWORD last)
    {
        Permute(m_horz, [&](DWORD i) { return Removed(i, first, last); });
        for (auto& inner : m_vert)
            PermuteInner(inner, [&](DWORD i) { return Removed(i, first, last); });
    }
    void RemoveCols(DWORD first, DWORD last)
    {
        Permute(m_vert, [&](DWORD i) { return Removed(i, first, last); });
        for (auto& inner : m_horz)
            PermuteInner(inner, [&](DWORD i) { return Removed(i, first, last); });
    }
    void MoveRows(DWORD first, DWORD last, DWORD dest)
    {
        Permute(m_horz, [&](DWORD i) { return Moved(i, first, last, dest); });
        for (auto& inner : m_vert)
            PermuteInner(inner, [&](DWORD i) { return Moved(i, first, last, dest); });
    }
    void MoveCols(DWORD first, DWORD last, DWORD dest)
    {
        Permute(m_vert, [&](DWORD i) { return Moved(i, first, last, dest); });
        for (auto& inner : m_horz)
            PermuteInner(inner, [&](DWORD i) { return Moved(i, first, last, dest); });
    }
    // The span in one table: (first, last) or none.
    static bool Find(const std::vector<std::vector<DWORD>>& t, DWORD outer, DWORD inner, DWORD& first, DWORD& last)
    {
        const DWORD v = t[outer][inner];
        if (v == kNoSpan)
            return false;
        DWORD i = inner;
        while (i + 1 < N && t[outer][i + 1] == v)
            ++i;
        first = v;
        last = i;
        return true;
    }
    std::vector<std::vector<DWORD>> m_horz; // [row][col]
    std::vector<std::vector<DWORD>> m_vert; // [col][row]

private:
    static void SetTable(std::vector<std::vector<DWORD>>& t, DWORD o1, DWORD o2, DWORD i1, DWORD i2, bool set)
    {
        if (set && i1 == i2)
            return;
        for (DWORD o = o1; o <= o2; ++o) {
            auto& row = t[o];
            const DWORD old = row[i1];
            if (set) {
                for (DWORD i = i1; i <= i2; ++i)
                    row[i] = i1;
                for (DWORD i = i2 + 1; old != kNoSpan && i < N && row[i] == old; ++i)
                    row[i] = kNoSpan;
            } else if (old != kNoSpan) {
                for (DWORD i = i1; i < N && row[i] == old; ++i)
                    row[i] = kNoSpan;
            }
        }
    }
    static long long Removed(DWORD i, DWORD first, DWORD last)
    {
        return i < first ? i : i <= last ? -1 : static_cast<long long>(i) - (last - first + 1);
    }
    static long long Moved(DWORD i, DWORD first, DWORD last, DWORD dest)
    {
        const DWORD count = last - first + 1;
        if (i >= first && i <= last)
            return dest + (i - first);
        const DWORD rest = i < first ? i : i - count;
        return rest >= dest ? rest + count : rest;
    }
    static void InsertOuter(std::vector<std::vector<DWORD>>& t, DWORD at, DWORD count)
    {
        Permute(t, [&](DWORD i) -> long long { return i < at ? i : i + count; });
    }
    static void InsertInner(std::vector<std::vector<DWORD>>& t, DWORD at, DWORD count)
    {
        for (auto& inner : t)
            PermuteInner(inner, [&](DWORD i) -> long long { return i < at ? i : i + count; });
    }
    template <class F>
    static void Permute(std::vector<std::vector<DWORD>>& t, F where)
    {
        std::vector<std::vector<DWORD>> out(N, std::vector<DWORD>(N, kNoSpan));
        for (DWORD i = 0; i < N; ++i) {
            const long long j = where(i);
            if (j >= 0 && j < N)
                out[static_cast<size_t>(j)] = t[i];
            else
                EXPECT_TRUE(j < 0 || t[i] == std::vector<DWORD>(N, kNoSpan)) << "model too small";
        }
        t.swap(out);
    }
    template <class F>
    static void PermuteInner(std::vector<DWORD>& v, F where)
    {
        std::vector<DWORD> out(N, kNoSpan);
        for (DWORD i = 0; i < N; ++i) {
            const long long j = where(i);
            if (j >= 0 && j < N)
                out[static_cast<size_t>(j)] = v[i];
        }
        v.swap(out);
    }
};

void ExpectSameSpans(const CGXSpanCellPool& pool, const DenseModel& model, int step)
{
    for (DWORD row = 0; row < 48; ++row) {
        for (DWORD col = 0; col < 48; ++col) {
            CGXRange got = Preset(row, col);
            CGXRange want = Preset(row, col);
            DWORD first = 0, last = 0;
            bool found = false;
            if (DenseModel::Find(model.m_horz, row, col, first, last)) {
                want.left = first;
                want.right = last;
                found = true;
            }
            if (DenseModel::Find(model.m_vert, col, row, first, last)) {
                want.top = first;
                want.bottom = last;
                found = true;
            }
            ASSERT_EQ(pool.FindSpan(row, col, got) != FALSE, found) << "step " << step << " at " << row << "," << col;
            ASSERT_EQ(got, want) << "step " << step << " at " << row << "," << col;
        }
    }
}

TEST(CGXSpanCellPool, SpansFollowSetsAndStructureChangesLikeADenseTable)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 rng(seed);
        const auto pick = [&](DWORD lo, DWORD hi) { return std::uniform_int_distribution<DWORD>(lo, hi)(rng); };
        CGXSpanCellPool pool;
        DenseModel model;
        for (int step = 0; step < 120; ++step) {
            const DWORD op = pick(0, 9);
            const DWORD a = pick(0, 30), b = a + pick(0, 4), d = pick(0, 34);
            const DWORD c = pick(0, 30), e = c + pick(0, 4);
            if (op <= 3) {
                const bool set = op != 3;
                pool.SetSpan(a, c, b, e, set);
                model.SetSpan(a, c, b, e, set);
            } else if (op == 4) {
                pool.InsertRows(a, b - a + 1);
                model.InsertRows(a, b - a + 1);
            } else if (op == 5) {
                pool.InsertCols(a, b - a + 1);
                model.InsertCols(a, b - a + 1);
            } else if (op == 6) {
                pool.RemoveRows(a, b);
                model.RemoveRows(a, b);
            } else if (op == 7) {
                pool.RemoveCols(a, b);
                model.RemoveCols(a, b);
            } else if (op == 8) {
                pool.MoveRows(a, b, d);
                model.MoveRows(a, b, d);
            } else {
                pool.MoveCols(a, b, d);
                model.MoveCols(a, b, d);
            }
            ExpectSameSpans(pool, model, step);
            if (HasFatalFailure())
                return;
        }
        // What is stored reads back the same, and a copy is independent of its source.
        const Bytes bytes = StorePool(pool);
        CGXSpanCellPool loaded;
        ASSERT_EQ(Load(bytes, [&](CArchive& ar) { loaded.Serialize(ar); }), -1);
        ExpectSameSpans(loaded, model, -1);
        CGXSpanCellPool copy(pool);
        pool.RemoveAll();
        ExpectSameSpans(copy, model, -2);
        EXPECT_EQ(StorePool(copy), bytes);
    }
}

} // namespace
