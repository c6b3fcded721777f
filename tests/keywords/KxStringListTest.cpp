#include "keywords/KxStringList.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kx;

namespace {

std::vector<std::string> Values(const KxStringList& list)
{
    std::vector<std::string> out;
    list.ForEach([&](const std::string& v) { out.push_back(v); });
    return out;
}

} // namespace

TEST(KxStringList, EmptyListStatuses)
{
    KxStringList list;
    EXPECT_EQ(list.Head(), kListEmpty);
    EXPECT_EQ(list.Next(), kListNoCursor);
    const std::string* value = nullptr;
    EXPECT_EQ(list.Read(&value), kListNoCursor);
    EXPECT_EQ(list.Read(nullptr), kListNullBuffer);
    EXPECT_EQ(list.DeleteCurrent(), kListNoCursor);
}

TEST(KxStringList, AppendKeepsOrderAndNextStopsOnTheLastNode)
{
    KxStringList list;
    for (const char* s : {"a", "b", "c"})
        ASSERT_EQ(list.AppendString(s), kListOk);
    EXPECT_EQ(Values(list), (std::vector<std::string>{"a", "b", "c"}));
    ASSERT_EQ(list.Head(), kListOk);
    ASSERT_EQ(list.Next(), kListOk);
    ASSERT_EQ(list.Next(), kListOk);
    EXPECT_EQ(list.Next(), kListAtEnd);
    const std::string* value = nullptr;
    ASSERT_EQ(list.Read(&value), kListOk);
    EXPECT_EQ(*value, "c");
}

TEST(KxStringList, InsertBeforeTheHeadAndInTheMiddle)
{
    KxStringList list;
    ASSERT_EQ(list.AppendString("b"), kListOk);
    ASSERT_EQ(list.AppendString("d"), kListOk);
    ASSERT_EQ(list.Head(), kListOk);
    ASSERT_EQ(list.InsertBefore("a"), kListOk);
    ASSERT_EQ(list.Head(), kListOk);
    ASSERT_EQ(list.Next(), kListOk);
    ASSERT_EQ(list.Next(), kListOk);   // on "d"
    ASSERT_EQ(list.InsertBefore("c"), kListOk);
    EXPECT_EQ(Values(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(list.Count(), 4);
}

TEST(KxStringList, DeleteMovesToTheNextNodeAndAppendStillGoesLast)
{
    KxStringList list;
    for (const char* s : {"a", "b", "c"})
        ASSERT_EQ(list.AppendString(s), kListOk);
    ASSERT_EQ(list.DeleteCurrent(), kListOk);   // the cursor is on "c"
    ASSERT_EQ(list.AppendString("d"), kListOk);
    EXPECT_EQ(Values(list), (std::vector<std::string>{"a", "b", "d"}));
    ASSERT_EQ(list.Head(), kListOk);
    ASSERT_EQ(list.DeleteCurrent(), kListOk);
    const std::string* value = nullptr;
    ASSERT_EQ(list.Read(&value), kListOk);
    EXPECT_EQ(*value, "b");
    EXPECT_EQ(Values(list), (std::vector<std::string>{"b", "d"}));
}

TEST(KxStringList, PairsAndIndexedReads)
{
    KxStringList list;
    ASSERT_EQ(list.AppendPair(1.25), kListOk);
    ASSERT_EQ(list.AppendString("x"), kListOk);
    ASSERT_NE(list.At(0), nullptr);
    EXPECT_EQ(list.At(0)->size(), sizeof(double));
    EXPECT_EQ(*list.At(1), "x");
    EXPECT_EQ(list.At(2), nullptr);
    EXPECT_EQ(list.At(-1), nullptr);
    list.DeleteAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.Head(), kListEmpty);
}
