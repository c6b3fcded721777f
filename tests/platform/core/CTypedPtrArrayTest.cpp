#include "platform/core/CTypedPtrArray.h"

#include <gtest/gtest.h>

namespace {

class CNode : public CObject {
public:
    explicit CNode(int id) : m_id(id) {}
    int m_id;
};

struct Plain {
    int value;
};

} // namespace

TEST(CTypedPtrArrayTest, TypedObjectList)
{
    CNode a(1), b(2), c(3);
    CTypedPtrList<CObList, CNode*> list;
    list.AddTail(&b);
    list.AddHead(&a);
    list.InsertAfter(list.GetTailPosition(), &c);
    int sum = 0;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        sum = sum * 10 + list.GetNext(pos)->m_id;
    EXPECT_EQ(sum, 123);
    EXPECT_EQ(list.GetTail()->m_id, 3);
    list.GetHead() = &c;
    EXPECT_EQ(list.RemoveHead()->m_id, 3);
    EXPECT_EQ(list.Find(&c), list.GetTailPosition());
}

TEST(CTypedPtrArrayTest, TypedPointerArray)
{
    Plain p1{1}, p2{2};
    CTypedPtrArray<CPtrArray, Plain*> array;
    array.Add(&p1);
    array.SetAtGrow(2, &p2);
    EXPECT_EQ(array.GetSize(), 3);
    EXPECT_EQ(array[0]->value, 1);
    EXPECT_EQ(array[1], nullptr);
    array[1] = &p2;
    EXPECT_EQ(array.GetAt(1)->value, 2);
    EXPECT_EQ(array.GetData()[2], &p2);
    CTypedPtrArray<CPtrArray, Plain*> copy;
    copy.Copy(array);
    copy.InsertAt(0, &p2);
    EXPECT_EQ(copy.GetSize(), 4);
    EXPECT_EQ(copy[1]->value, 1);
}

TEST(CTypedPtrArrayTest, TypedMaps)
{
    CNode a(1);
    CTypedPtrMap<CMapStringToOb, CString, CNode*> byName;
    byName.SetAt("a", &a);
    CNode* found = nullptr;
    EXPECT_TRUE(byName.Lookup("a", found));
    EXPECT_EQ(found, &a);
    EXPECT_FALSE(byName.Lookup("b", found));
    byName["b"] = &a;
    POSITION pos = byName.GetStartPosition();
    int count = 0;
    while (pos != nullptr) {
        CString key;
        CNode* value;
        byName.GetNextAssoc(pos, key, value);
        EXPECT_EQ(value->m_id, 1);
        ++count;
    }
    EXPECT_EQ(count, 2);
    EXPECT_TRUE(byName.RemoveKey("a"));

    Plain k{0}, v{5};
    CTypedPtrMap<CMapPtrToPtr, Plain*, Plain*> byPtr;
    byPtr[&k] = &v;
    Plain* out = nullptr;
    EXPECT_TRUE(byPtr.Lookup(&k, out));
    EXPECT_EQ(out->value, 5);
}
