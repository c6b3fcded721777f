#include "grid/data/CGXRangeList.h"

#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CMemFile.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

std::vector<std::pair<DWORD, DWORD>> Walk(const CGXRange& r, BOOL bAlongRow)
{
    std::vector<std::pair<DWORD, DWORD>> cells;
    DWORD row = 0, col = 0;
    if (!r.GetFirstCell(row, col))
        return cells;
    do {
        cells.emplace_back(row, col);
    } while (r.GetNextCell(row, col, bAlongRow) && cells.size() < 100);
    EXPECT_EQ(row, 0u);
    EXPECT_EQ(col, 0u);
    return cells;
}

std::vector<CGXRange> Contents(const CGXRangeList& list)
{
    std::vector<CGXRange> out;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        out.push_back(*list.GetNextRange(pos));
    return out;
}

Bytes StoreList(CGXRangeList& list)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        list.Serialize(ar);
        ar.Close();
    }
    Bytes bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

// Loads into the list; the archive exception's cause, or -1 when the load succeeded.
int LoadList(const Bytes& bytes, CGXRangeList& list)
{
    CMemFile file;
    file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    try {
        list.Serialize(ar);
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

void PutDword(Bytes& b, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<BYTE>(v >> (8 * i)));
}

} // namespace

TEST(CGXRangeTest, SettersSortAndStepVisitsEveryCellOnce)
{
    const CGXRange r = CGXRange().SetCells(5, 7, 2, 3);
    EXPECT_EQ(r, CGXRange(2, 3, 5, 7));
    EXPECT_TRUE(r.IsValid());

    const CGXRange block(1, 1, 2, 2);
    using V = std::vector<std::pair<DWORD, DWORD>>;
    EXPECT_EQ(Walk(block, TRUE), (V{{1, 1}, {1, 2}, {2, 1}, {2, 2}}));
    EXPECT_EQ(Walk(block, FALSE), (V{{1, 1}, {2, 1}, {1, 2}, {2, 2}}));

    CGXRange rows = CGXRange().SetRows(4, 3);
    EXPECT_EQ(rows.top, 3u);
    EXPECT_EQ(rows.left, 0u);
    rows.ExpandToCells(0, 1, 99, 2);
    EXPECT_EQ(rows, CGXRange(3, 1, 4, 2));
    CGXRange table = CGXRange(2, 2, 3, 3).SetTable();
    table.ExpandToCells(0, 0, 9, 9);
    EXPECT_EQ(table, CGXRange(0, 0, 9, 9));

    EXPECT_FALSE(CGXRange().ContainsCell(0, 0));
    EXPECT_FALSE(CGXRange(static_cast<const CGXRange*>(nullptr)).IsValid());
    EXPECT_TRUE(CGXRange().SetTable().ContainsCell(0, 0));
    EXPECT_TRUE(CGXRange().SetCols(3, 4).ContainsCell(1000, 4));
    EXPECT_FALSE(CGXRange().SetCols(3, 4).ContainsCell(1, 5));
    EXPECT_TRUE(CGXRange(1, 1, 2, 2).ContainsCell(2, 1));
    EXPECT_FALSE(CGXRange(1, 1, 2, 2).ContainsCell(3, 1));
}

TEST(CGXRangeTest, IntersectionAndUnionByKind)
{
    CGXRange r;
    EXPECT_TRUE(r.SetIntersection(CGXRange().SetRows(2, 4), CGXRange().SetCols(3, 5)));
    EXPECT_EQ(r, CGXRange(2, 3, 4, 5));
    EXPECT_TRUE(r.SetIntersection(CGXRange().SetRows(2, 4), CGXRange(1, 6, 3, 9)));
    EXPECT_EQ(r, CGXRange(2, 6, 3, 9));
    EXPECT_FALSE(r.SetIntersection(CGXRange(1, 1, 2, 2), CGXRange(3, 3, 4, 4)));
    EXPECT_TRUE(r.SetIntersection(CGXRange().SetTable(), CGXRange().SetCols(2, 3)));
    EXPECT_TRUE(r.IsCols());
    EXPECT_EQ(r.left, 2u);
    EXPECT_FALSE(r.SetIntersection(CGXRange().SetCols(1, 2), CGXRange().SetCols(4, 5)));
    EXPECT_TRUE(r.SetIntersection(CGXRange().SetCols(1, 4), CGXRange(7, 3, 8, 9)));
    EXPECT_EQ(r, CGXRange(7, 3, 8, 4));

    EXPECT_TRUE(r.SetUnion(CGXRange().SetRows(1, 2), CGXRange().SetCols(3, 3)));
    EXPECT_TRUE(r.IsTable());
    r.SetUnion(CGXRange().SetRows(5, 6), CGXRange(1, 4, 2, 9));
    EXPECT_TRUE(r.IsRows());
    EXPECT_EQ(r.top, 1u);
    EXPECT_EQ(r.bottom, 6u);
    r.SetUnion(CGXRange(1, 1, 2, 2), CGXRange(4, 0, 5, 1));
    EXPECT_EQ(r, CGXRange(1, 0, 5, 2));
}

TEST(CGXRangeListTest, RemovalInsertionAndMoveReindex)
{
    CGXRangeList list;
    list.AddTail(new CGXRange(3, 1, 4, 1));
    list.AddTail(new CGXRange(2, 1, 8, 1));
    list.AddTail(new CGXRange(6, 1, 9, 1));
    list.AddTail(new CGXRange(CGXRange().SetTable()));
    list.AddTail(new CGXRange(CGXRange().SetCols(1, 2)));
    list.ShiftForRemovedRows(3, 5, 100);
    std::vector<CGXRange> got = Contents(list);
    EXPECT_FALSE(got[0].IsValid());
    EXPECT_EQ(got[1], CGXRange(2, 1, 5, 1));
    EXPECT_EQ(got[2], CGXRange(3, 1, 6, 1));
    // Bands across every row survive a removal whatever their (meaningless) row bounds are.
    EXPECT_TRUE(got[3].IsValid());
    EXPECT_TRUE(got[4].IsValid());

    list.ShiftForInsertedRows(3, 2);
    got = Contents(list);
    EXPECT_EQ(got[1], CGXRange(2, 1, 7, 1));
    EXPECT_EQ(got[2], CGXRange(5, 1, 8, 1));
    EXPECT_EQ(got[4].top, 0u);
    list.ShiftForInsertedCols(1, 1);
    EXPECT_EQ(Contents(list)[4], CGXRange().SetCols(2, 3));
    list.ShiftForRemovedCols(1, 5, 10);
    EXPECT_FALSE(Contents(list)[4].IsValid());
    EXPECT_TRUE(Contents(list)[3].IsValid());

    CGXRangeList moved;
    moved.AddTail(new CGXRange(2, 1, 3, 1));
    moved.AddTail(new CGXRange(5, 1, 5, 1));
    moved.AddTail(new CGXRange(9, 1, 9, 1));
    moved.AddTail(new CGXRange(6, 1, 7, 1));
    moved.ShiftForMovedRows(2, 3, 6, 100); // p = 8
    got = Contents(moved);
    EXPECT_EQ(got[0].top, 6u);
    EXPECT_EQ(got[0].bottom, 7u);
    EXPECT_EQ(got[1].top, 3u);
    EXPECT_EQ(got[2].top, 9u);
    EXPECT_EQ(got[3], CGXRange(4, 1, 5, 1));
    moved.ShiftForMovedRows(6, 7, 2, 100); // back up again
    got = Contents(moved);
    EXPECT_EQ(got[0], CGXRange(2, 1, 3, 1));
    EXPECT_EQ(got[1].top, 5u);
    EXPECT_EQ(got[3], CGXRange(6, 1, 7, 1));
}

TEST(CGXRangeListTest, SpansMergeOverlapsAndNeighbours)
{
    CGXRangeList list;
    list.AddTail(new CGXRange(CGXRange().SetRows(5, 6)));
    list.AddTail(new CGXRange(CGXRange().SetRows(1, 2)));
    list.AddTail(new CGXRange(CGXRange().SetRows(3, 4)));
    CDWordArray starts, ends;
    ASSERT_TRUE(list.GetRowSpans(100, starts, ends, TRUE));
    ASSERT_EQ(starts.GetSize(), 1);
    EXPECT_EQ(starts[0], 1u);
    EXPECT_EQ(ends[0], 6u);

    CGXRangeList gap;
    gap.AddTail(new CGXRange(CGXRange().SetRows(5, 6)));
    gap.AddTail(new CGXRange(CGXRange().SetRows(1, 2)));
    gap.AddTail(new CGXRange(CGXRange().SetRows(3, 3)));
    gap.AddTail(new CGXRange(4, 1, 4, 1)); // cells: skipped when only bands count
    ASSERT_TRUE(gap.GetRowSpans(100, starts, ends, TRUE));
    ASSERT_EQ(starts.GetSize(), 2);
    EXPECT_EQ(starts[0], 1u);
    EXPECT_EQ(ends[0], 3u);
    EXPECT_EQ(starts[1], 5u);
    ASSERT_TRUE(gap.GetRowSpans(100, starts, ends, FALSE));
    EXPECT_EQ(starts.GetSize(), 1);

    CGXRangeList cols;
    cols.AddTail(new CGXRange(CGXRange().SetCols(2, 3)));
    EXPECT_FALSE(cols.GetRowSpans(50, starts, ends, TRUE));
    ASSERT_TRUE(cols.GetRowSpans(50, starts, ends, FALSE));
    EXPECT_EQ(ends[0], 50u);
    ASSERT_TRUE(cols.GetColSpans(50, starts, ends, TRUE));
    EXPECT_EQ(starts[0], 2u);
    EXPECT_EQ(ends[0], 3u);
}

TEST(CGXRangeListTest, AssignmentReversesAndDropsInvalid)
{
    CGXRangeList a;
    a.AddTail(new CGXRange(1, 1, 1, 1));
    a.AddTail(new CGXRange());
    a.AddTail(new CGXRange(2, 2, 2, 2));
    a.AddTail(new CGXRange(3, 3, 3, 3));
    CGXRangeList b;
    b.AddTail(new CGXRange(9, 9, 9, 9));
    b = a;
    EXPECT_EQ(Contents(b), (std::vector<CGXRange>{CGXRange(3, 3, 3, 3), CGXRange(2, 2, 2, 2), CGXRange(1, 1, 1, 1)}));
    b = b;
    EXPECT_EQ(b.GetCount(), 3);
    POSITION pos = b.FindCell(2, 2);
    ASSERT_NE(pos, nullptr);
    EXPECT_FALSE(b.ContainsCellExcept(2, 2, pos));
    b.AddTail(new CGXRange(CGXRange().SetRows(2, 2)));
    EXPECT_TRUE(b.ContainsCellExcept(2, 2, pos));
}

TEST(CGXRangeListTest, ArchiveRoundTripAndHostileInput)
{
    CGXRangeList list;
    list.AddTail(new CGXRange(1, 2, 3, 4));
    list.AddTail(new CGXRange());
    list.AddTail(new CGXRange(CGXRange().SetCols(7, 8)));
    const Bytes bytes = StoreList(list);
    EXPECT_EQ(list.GetCount(), 2); // the invalid range was removed by storing
    ASSERT_EQ(bytes.size(), 2u + 4u + 2 * 18u);
    EXPECT_EQ(bytes[2], 2); // count
    EXPECT_EQ(bytes[6], 1); // top of the first range
    EXPECT_EQ(bytes[6 + 16], GX_CELLS);
    EXPECT_EQ(bytes[6 + 18 + 16], GX_COLS);

    CGXRangeList loaded;
    loaded.AddTail(new CGXRange(9, 9, 9, 9));
    ASSERT_EQ(LoadList(bytes, loaded), -1);
    EXPECT_EQ(Contents(loaded),
              (std::vector<CGXRange>{CGXRange(9, 9, 9, 9), CGXRange(1, 2, 3, 4), CGXRange().SetCols(7, 8)}));

    Bytes badSchema = bytes;
    badSchema[0] = 2;
    CGXRangeList l1;
    EXPECT_EQ(LoadList(badSchema, l1), CArchiveException::badSchema);

    for (BYTE kind : {BYTE{4}, BYTE{0xFF}}) {
        Bytes badKind = bytes;
        badKind[6 + 18 + 16] = kind;
        CGXRangeList l2;
        EXPECT_EQ(LoadList(badKind, l2), CArchiveException::genericException);
        EXPECT_EQ(l2.GetCount(), 1); // the range read before the bad one stays
    }

    // A count the data cannot hold is refused before anything is read or added.
    Bytes huge{1, 0};
    PutDword(huge, 0xFFFFFFFFu);
    huge.insert(huge.end(), bytes.begin() + 6, bytes.end());
    CGXRangeList l3;
    EXPECT_EQ(LoadList(huge, l3), CArchiveException::endOfFile);
    EXPECT_EQ(l3.GetCount(), 0);

    // A valid cell range with inverted bounds is forged.
    Bytes inverted{1, 0};
    PutDword(inverted, 1);
    for (DWORD v : {5u, 1u, 2u, 1u})
        PutDword(inverted, v);
    inverted.push_back(GX_CELLS);
    inverted.push_back(1);
    CGXRangeList l4;
    EXPECT_EQ(LoadList(inverted, l4), CArchiveException::genericException);
    inverted.back() = 0; // not valid: bounds mean nothing, so it loads
    EXPECT_EQ(LoadList(inverted, l4), -1);
}
