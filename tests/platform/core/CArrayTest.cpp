#include "platform/core/CArray.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Cell {
    int row;
    int col;
    bool operator==(const Cell& other) const { return row == other.row && col == other.col; }
};

} // namespace

// A key type with its own hash, as callers specialise it.
template <>
inline UINT HashKey<const Cell&>(const Cell& key)
{
    return static_cast<UINT>(key.row * 31 + key.col);
}

TEST(CArrayTest, TemplateArrayOfRecords)
{
    CArray<Cell, const Cell&> cells;
    cells.SetSize(2);
    EXPECT_EQ(cells[1].row, 0);
    cells[1] = Cell{3, 4};
    cells.Add(Cell{5, 6});
    cells.InsertAt(0, Cell{1, 2});
    EXPECT_EQ(cells.GetSize(), 4);
    EXPECT_EQ(cells[2].col, 4);
    cells.RemoveAt(0, 2);
    EXPECT_EQ(cells[0].row, 3);
    // An invalid range removes nothing.
    cells.RemoveAt(1, 5);
    cells.RemoveAt(-1);
    EXPECT_EQ(cells.GetSize(), 2);
}

TEST(CArrayTest, ListOfValuesWithFind)
{
    CList<int, int> list;
    for (int i : {4, 8, 15, 16, 23, 42})
        list.AddTail(i);
    POSITION pos = list.Find(16);
    ASSERT_NE(pos, nullptr);
    EXPECT_EQ(list.GetAt(pos), 16);
    list.GetPrev(pos);
    EXPECT_EQ(list.GetAt(pos), 15);
    EXPECT_EQ(list.RemoveHead(), 4);
    EXPECT_EQ(list.RemoveTail(), 42);
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.Find(4), nullptr);
}

TEST(CArrayTest, MapWithCustomKeyHash)
{
    CMap<Cell, const Cell&, CString, const CString&> map;
    map[Cell{1, 1}] = "a";
    map.SetAt(Cell{2, 1}, "b");
    CString value;
    EXPECT_TRUE(map.Lookup(Cell{2, 1}, value));
    EXPECT_STREQ(value, "b");
    EXPECT_FALSE(map.Lookup(Cell{1, 2}, value));
    EXPECT_NE(map.PLookup(Cell{1, 1}), nullptr);
    EXPECT_STREQ(map.PLookup(Cell{1, 1})->value, "a");
}

TEST(CArrayTest, MapIterationOrderFollowsBuckets)
{
    // Keys 16 and 32 hash to 1 and 2 (the low four bits are dropped): bucket order, not
    // insertion order, decides the walk; within a bucket the newest comes first.
    CMap<DWORD, DWORD, int, int> map;
    map[32] = 2;
    map[16] = 1;
    map[16 + 17 * 16] = 3; // the same bucket as 16 in a table of 17
    std::string order;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;) {
        DWORD key;
        int value;
        map.GetNextAssoc(pos, key, value);
        order += std::to_string(value);
    }
    EXPECT_EQ(order, "312");
}

TEST(CArrayTest, StringHashUsesEveryCharacter)
{
    EXPECT_EQ(HashKey<LPCTSTR>(""), 0u);
    EXPECT_EQ(HashKey<LPCTSTR>("a"), 97u);
    EXPECT_EQ(HashKey<LPCTSTR>("ab"), 97u * 33 + 98);
    EXPECT_EQ(HashKey<const CString&>(CString("ab")), HashKey<LPCTSTR>("ab"));
    EXPECT_EQ(HashKey<LPCTSTR>(nullptr), 0u);
}
