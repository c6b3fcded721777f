#include "platform/core/CPtrList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string JoinedList(const CStringList& list)
{
    std::string out;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        if (!out.empty())
            out += ',';
        out += list.GetNext(pos).GetString();
    }
    return out;
}

std::string JoinedBackwards(const CStringList& list)
{
    std::string out;
    for (POSITION pos = list.GetTailPosition(); pos != nullptr;) {
        if (!out.empty())
            out += ',';
        out += list.GetPrev(pos).GetString();
    }
    return out;
}

class CThing : public CObject {
public:
    explicit CThing(int n) : m_n(n) {}
    int m_n;
};

} // namespace

TEST(CPtrListTest, AddAndIterateInBothDirections)
{
    CStringList list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    list.AddTail("b");
    list.AddTail(CString("c"));
    list.AddHead("a");
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetSize(), 3);
    EXPECT_EQ(JoinedList(list), "a,b,c");
    EXPECT_EQ(JoinedBackwards(list), "c,b,a");
    EXPECT_STREQ(list.GetHead(), "a");
    EXPECT_STREQ(list.GetTail(), "c");
}

TEST(CPtrListTest, PositionsSurviveOtherChanges)
{
    CStringList list;
    POSITION b = list.AddTail("b");
    list.AddTail("d");
    POSITION c = list.InsertAfter(b, "c");
    list.InsertBefore(b, "a");
    list.AddHead("0");
    EXPECT_EQ(JoinedList(list), "0,a,b,c,d");
    EXPECT_STREQ(list.GetAt(b), "b");
    list.RemoveHead();
    list.RemoveTail();
    EXPECT_STREQ(list.GetAt(c), "c");
    list.SetAt(c, "C");
    list.RemoveAt(b);
    EXPECT_EQ(JoinedList(list), "a,C");
    // A NULL position inserts at either end.
    list.InsertBefore(nullptr, "first");
    list.InsertAfter(nullptr, "last");
    EXPECT_EQ(JoinedList(list), "first,a,C,last");
}

TEST(CPtrListTest, RemoveWhileIterating)
{
    CStringList list;
    for (const char* s : {"keep", "drop", "keep", "drop", "drop"})
        list.AddTail(s);
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        POSITION current = pos;
        if (list.GetNext(pos) == "drop")
            list.RemoveAt(current);
    }
    EXPECT_EQ(JoinedList(list), "keep,keep");
}

TEST(CPtrListTest, FindAndFindIndex)
{
    CStringList list;
    for (const char* s : {"x", "y", "x", "z"})
        list.AddTail(s);
    POSITION first = list.Find("x");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, list.GetHeadPosition());
    POSITION second = list.Find("x", first);
    EXPECT_EQ(second, list.FindIndex(2));
    EXPECT_EQ(list.Find("x", second), nullptr);
    EXPECT_EQ(list.Find("X"), nullptr);
    EXPECT_EQ(list.FindIndex(3), list.GetTailPosition());
    EXPECT_EQ(list.FindIndex(4), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);
}

TEST(CPtrListTest, WholeListsAndRemoveAll)
{
    CStringList a, b;
    a.AddTail("1");
    a.AddTail("2");
    b.AddTail("x");
    b.AddTail("y");
    a.AddTail(&b);
    a.AddHead(&b);
    EXPECT_EQ(JoinedList(a), "x,y,1,2,x,y");
    // Adding a list to itself doubles it once.
    b.AddTail(&b);
    EXPECT_EQ(JoinedList(b), "x,y,x,y");
    EXPECT_STREQ(a.RemoveHead(), "x");
    EXPECT_STREQ(a.RemoveTail(), "y");
    a.RemoveAll();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.GetTailPosition(), nullptr);
    a.AddTail("again");
    EXPECT_EQ(JoinedList(a), "again");
}

TEST(CPtrListTest, PointerListsCompareByAddress)
{
    CThing one(1), two(2);
    CObList obs;
    obs.AddTail(&one);
    obs.AddTail(&two);
    EXPECT_EQ(obs.Find(&two), obs.GetTailPosition());
    EXPECT_EQ(static_cast<CThing*>(obs.GetHead())->m_n, 1);
    // The list does not own its objects: they outlive it untouched.
    obs.RemoveAll();
    EXPECT_EQ(one.m_n, 1);

    int values[3] = {};
    CPtrList ptrs(5);
    for (int& v : values)
        ptrs.AddTail(&v);
    EXPECT_EQ(ptrs.Find(&values[1]), ptrs.FindIndex(1));
    EXPECT_EQ(ptrs.Find(nullptr), nullptr);
}

TEST(CPtrListTest, RuntimeClasses)
{
    CStringList strings;
    CObList obs;
    CPtrList ptrs;
    EXPECT_STREQ(strings.GetRuntimeClass()->m_lpszClassName, "CStringList");
    EXPECT_TRUE(obs.IsKindOf(RUNTIME_CLASS(CObList)));
    EXPECT_TRUE(ptrs.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(ptrs.IsKindOf(RUNTIME_CLASS(CObList)));
}
