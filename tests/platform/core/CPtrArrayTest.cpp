#include "platform/core/CPtrArray.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Joined(const CStringArray& array)
{
    std::string out;
    for (INT_PTR i = 0; i < array.GetSize(); ++i) {
        if (i > 0)
            out += ',';
        out += array[i].GetString();
    }
    return out;
}

} // namespace

TEST(CPtrArrayTest, SetSizeZeroFillsAndKeepsContents)
{
    CDWordArray a;
    a.SetSize(3);
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a.GetUpperBound(), 2);
    for (INT_PTR i = 0; i < 3; ++i)
        EXPECT_EQ(a[i], 0u);
    a[1] = 7;
    a.SetSize(10, 16);
    EXPECT_EQ(a[1], 7u);
    EXPECT_EQ(a[9], 0u);
    a.SetSize(2);
    EXPECT_EQ(a.GetSize(), 2);
    EXPECT_EQ(a.GetAt(1), 7u);
    a.SetSize(0);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.GetUpperBound(), -1);
    EXPECT_EQ(a.GetData(), nullptr);
}

TEST(CPtrArrayTest, AddSetAtGrowAndData)
{
    CWordArray a;
    EXPECT_EQ(a.Add(5), 0);
    EXPECT_EQ(a.Add(6), 1);
    a.SetAtGrow(4, 9);
    EXPECT_EQ(a.GetSize(), 5);
    EXPECT_EQ(a[2], 0);
    EXPECT_EQ(a[4], 9);
    WORD* data = a.GetData();
    EXPECT_EQ(data[1], 6);
    a.ElementAt(0) = 1;
    EXPECT_EQ(a.GetAt(0), 1);
    a.SetAt(3, 3);
    EXPECT_EQ(a[3], 3);
    // Adding one of the array's own elements while it grows.
    CStringArray s;
    s.Add("self");
    for (int i = 0; i < 100; ++i)
        s.Add(s[0]);
    EXPECT_EQ(s.GetSize(), 101);
    EXPECT_STREQ(s[100], "self");
}

TEST(CPtrArrayTest, InsertAndRemoveRanges)
{
    CStringArray s;
    s.Add("a");
    s.Add("d");
    s.InsertAt(1, "b");
    s.InsertAt(2, "c");
    EXPECT_EQ(Joined(s), "a,b,c,d");
    s.InsertAt(0, "-", 2);
    EXPECT_EQ(Joined(s), "-,-,a,b,c,d");
    s.RemoveAt(0, 2);
    EXPECT_EQ(Joined(s), "a,b,c,d");
    // Inserting past the end grows the array with empty elements.
    s.InsertAt(6, "g");
    EXPECT_EQ(Joined(s), "a,b,c,d,,,g");
    s.RemoveAt(4, 2);
    s.RemoveAt(1);
    EXPECT_EQ(Joined(s), "a,c,d,g");
    CStringArray other;
    other.Add("x");
    other.Add("y");
    s.InsertAt(1, &other);
    EXPECT_EQ(Joined(s), "a,x,y,c,d,g");
    EXPECT_EQ(s.Append(other), 6);
    EXPECT_EQ(Joined(s), "a,x,y,c,d,g,x,y");
    other.Copy(s);
    EXPECT_EQ(Joined(other), "a,x,y,c,d,g,x,y");
    EXPECT_EQ(other.Append(other), 8);
    EXPECT_EQ(other.GetSize(), 16);
    other.RemoveAll();
    EXPECT_TRUE(other.IsEmpty());
}

TEST(CPtrArrayTest, NumberArraysKeepTheirWidths)
{
    CByteArray bytes;
    bytes.Add(0xFF);
    bytes.Add(static_cast<BYTE>(0x100 + 1));
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 1);
    CUIntArray uints;
    uints.Add(0xFFFFFFFFu);
    EXPECT_EQ(uints[0], 0xFFFFFFFFu);
    EXPECT_EQ(sizeof(*bytes.GetData()), 1u);
    EXPECT_EQ(sizeof(*uints.GetData()), 4u);
}

TEST(CPtrArrayTest, PointerArraysAndFreeExtra)
{
    CPtrArray ptrs;
    int x = 0;
    ptrs.SetSize(0, 64);
    for (int i = 0; i < 10; ++i)
        ptrs.Add(i % 2 ? &x : nullptr);
    EXPECT_EQ(ptrs[1], &x);
    EXPECT_EQ(ptrs[2], nullptr);
    ptrs.FreeExtra();
    EXPECT_EQ(ptrs.GetSize(), 10);
    EXPECT_EQ(ptrs[9], &x);
    CObArray obs;
    EXPECT_TRUE(obs.IsKindOf(RUNTIME_CLASS(CObArray)));
    EXPECT_STREQ(ptrs.GetRuntimeClass()->m_lpszClassName, "CPtrArray");
}
