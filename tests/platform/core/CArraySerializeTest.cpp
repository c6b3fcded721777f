// The stored forms of the collections, byte by byte. Expected bytes are written by hand from
// the stored form: the count (a WORD, or 0xFFFF and a DWORD), then each element.
#include "platform/core/CArray.h"

#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CException.h"
#include "platform/core/CMapStringToString.h"
#include "platform/core/CMemFile.h"
#include "platform/core/CPtrArray.h"
#include "platform/core/CPtrList.h"
#include "platform/core/CTypedPtrArray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;

namespace {

class CCounter : public CObject {
    DECLARE_SERIAL(CCounter)
public:
    CCounter() = default;
    explicit CCounter(DWORD n) : m_n(n) {}
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_n;
        else
            ar >> m_n;
    }
    DWORD m_n = 0;
};

Bytes StoreArray(CObject& ob)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ob.Serialize(ar);
        ar.Close();
    }
    Bytes bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

void Load(CObject& ob, Bytes bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    ob.Serialize(ar);
}

// The cause of the archive exception that loading raises, or -1 when it loads.
int LoadFailure(CObject& ob, const Bytes& bytes)
{
    try {
        Load(ob, bytes);
    } catch (CArchiveException* e) {
        int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes ArchiveText(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

} // namespace

IMPLEMENT_SERIAL(CCounter, CObject, 1)

TEST(CArraySerializeTest, StringListAndArray)
{
    CStringList list;
    list.AddTail("ab");
    list.AddTail("c");
    Bytes expected = Cat({{0x02, 0x00, 0x02}, ArchiveText("ab"), {0x01}, ArchiveText("c")});
    EXPECT_EQ(StoreArray(list), expected);
    CStringArray array;
    array.Add("ab");
    array.Add("c");
    EXPECT_EQ(StoreArray(array), expected);

    // Loading a list appends to what it holds.
    CStringList loaded;
    loaded.AddTail("first");
    Load(loaded, expected);
    ASSERT_EQ(loaded.GetCount(), 3);
    EXPECT_STREQ(loaded.GetTail(), "c");
    CStringArray loadedArray;
    Load(loadedArray, expected);
    ASSERT_EQ(loadedArray.GetSize(), 2);
    EXPECT_STREQ(loadedArray[0], "ab");
}

TEST(CArraySerializeTest, NumberArraysInTheirWidths)
{
    CDWordArray dwords;
    dwords.Add(1);
    dwords.Add(0x12345678);
    EXPECT_EQ(StoreArray(dwords), (Bytes{0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x56, 0x34, 0x12}));
    CWordArray words;
    words.Add(0xBEEF);
    EXPECT_EQ(StoreArray(words), (Bytes{0x01, 0x00, 0xEF, 0xBE}));
    CUIntArray uints;
    uints.Add(7);
    EXPECT_EQ(StoreArray(uints), (Bytes{0x01, 0x00, 0x07, 0x00, 0x00, 0x00}));

    CDWordArray back;
    Load(back, Bytes{0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x56, 0x34, 0x12});
    ASSERT_EQ(back.GetSize(), 2);
    EXPECT_EQ(back[1], 0x12345678u);
}

TEST(CArraySerializeTest, LargeCountUsesTheEscape)
{
    CByteArray bytes;
    bytes.SetSize(70000);
    bytes[69999] = 0xAB;
    Bytes stored = StoreArray(bytes);
    ASSERT_EQ(stored.size(), 6u + 70000u);
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 6), (Bytes{0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));
    EXPECT_EQ(stored.back(), 0xAB);
    CByteArray back;
    Load(back, stored);
    EXPECT_EQ(back.GetSize(), 70000);
    EXPECT_EQ(back[69999], 0xAB);
}

TEST(CArraySerializeTest, ObjectListWithClassAndObjectReferences)
{
    CCounter a(5), b(6);
    CObList list;
    list.AddTail(&a);
    list.AddTail(&b);
    list.AddTail(&a);
    Bytes expected = Cat({{0x03, 0x00},
        {0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00}, ArchiveText("CCounter"), {0x05, 0x00, 0x00, 0x00},
        {0x01, 0x80, 0x06, 0x00, 0x00, 0x00},
        {0x02, 0x00}});
    EXPECT_EQ(StoreArray(list), expected);

    CTypedPtrList<CObList, CCounter*> loaded;
    Load(loaded, expected);
    ASSERT_EQ(loaded.GetCount(), 3);
    EXPECT_EQ(loaded.GetHead()->m_n, 5u);
    EXPECT_EQ(loaded.GetAt(loaded.FindIndex(1))->m_n, 6u);
    // The back-reference gives the same object, not a copy.
    EXPECT_EQ(loaded.GetHead(), loaded.GetTail());
    delete loaded.GetHead();
    delete loaded.GetAt(loaded.FindIndex(1));

    CObArray array;
    array.Add(&a);
    array.Add(nullptr);
    Bytes arrayBytes = Cat({{0x02, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00}, ArchiveText("CCounter"), {0x05, 0x00, 0x00, 0x00, 0x00, 0x00}});
    EXPECT_EQ(StoreArray(array), arrayBytes);
}

TEST(CArraySerializeTest, StringMaps)
{
    CMapStringToString map;
    map["k"] = "v";
    EXPECT_EQ(StoreArray(map), Cat({{0x01, 0x00, 0x01}, ArchiveText("k"), {0x01}, ArchiveText("v")}));
    for (int i = 0; i < 40; ++i) {
        CString key;
        key.Format("key %d", i);
        map[key] = key + " value";
    }
    CMapStringToString back;
    Load(back, StoreArray(map));
    EXPECT_EQ(back.GetCount(), 41);
    CString value;
    EXPECT_TRUE(back.Lookup("key 39", value));
    EXPECT_STREQ(value, "key 39 value");

    CCounter c(9);
    CMapStringToOb obs;
    obs["x"] = &c;
    Bytes stored = StoreArray(obs);
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 6), (Bytes{0x01, 0x00, 0x01, 'x', 0xFF, 0xFF}));
    CMapStringToOb obsBack;
    Load(obsBack, stored);
    CObject* found = nullptr;
    ASSERT_TRUE(obsBack.Lookup("x", found));
    EXPECT_EQ(static_cast<CCounter*>(found)->m_n, 9u);
    delete found;
}

TEST(CArraySerializeTest, TemplatesUseSerializeElements)
{
    CList<int, int> ints;
    ints.AddTail(-1);
    ints.AddTail(2);
    Bytes stored = StoreArray(ints);
    EXPECT_EQ(stored, (Bytes{0x02, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00}));
    CList<int, int> back;
    Load(back, stored);
    EXPECT_EQ(back.GetHead(), -1);

    CMap<WORD, WORD, CString, const CString&> map;
    map[3] = "three";
    EXPECT_EQ(StoreArray(map), Cat({{0x01, 0x00, 0x03, 0x00, 0x05}, ArchiveText("three")}));

    CArray<double, double> doubles;
    doubles.Add(1.5);
    CArray<double, double> doublesBack;
    Load(doublesBack, StoreArray(doubles));
    EXPECT_EQ(doublesBack[0], 1.5);
}

TEST(CArraySerializeTest, DamagedInputRaisesInsteadOfAllocating)
{
    // A count of four billion words with four bytes behind it.
    CDWordArray dwords;
    EXPECT_EQ(LoadFailure(dwords, Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}),
        static_cast<int>(CArchiveException::endOfFile));
    CStringArray strings;
    EXPECT_EQ(LoadFailure(strings, Bytes{0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40}),
        static_cast<int>(CArchiveException::endOfFile));
    // A truncated list.
    CStringList list;
    EXPECT_EQ(LoadFailure(list, Cat({{0x02, 0x00, 0x02}, ArchiveText("ab"), {0x05}, ArchiveText("c")})),
        static_cast<int>(CArchiveException::endOfFile));
    EXPECT_EQ(list.GetCount(), 1);
}

TEST(CArraySerializeTest, PointerCollectionsHaveNoStoredForm)
{
    CPtrArray ptrs;
    ptrs.Add(nullptr);
    bool notSupported = false;
    try {
        StoreArray(ptrs);
    } catch (CNotSupportedException* e) {
        notSupported = true;
        e->Delete();
    }
    EXPECT_TRUE(notSupported);
}
