#include "platform/core/CMapStringToString.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

TEST(CMapStringToStringTest, LookupSetAtAndIndex)
{
    CMapStringToString map;
    CString value;
    EXPECT_FALSE(map.Lookup("missing", value));
    EXPECT_EQ(map.GetStartPosition(), nullptr);
    map.SetAt("name", "keywords");
    map["http-equiv"] = "refresh";
    EXPECT_EQ(map.GetCount(), 2);
    EXPECT_TRUE(map.Lookup("name", value));
    EXPECT_STREQ(value, "keywords");
    // Keys are case-sensitive.
    EXPECT_FALSE(map.Lookup("NAME", value));
    map.SetAt("name", "description");
    EXPECT_EQ(map.GetCount(), 2);
    EXPECT_STREQ(map["name"], "description");
    // Indexing a new key adds it with an empty value.
    EXPECT_TRUE(map["new"].IsEmpty());
    EXPECT_EQ(map.GetCount(), 3);
    LPCTSTR storedKey = nullptr;
    EXPECT_TRUE(map.LookupKey("new", storedKey));
    EXPECT_STREQ(storedKey, "new");
}

TEST(CMapStringToStringTest, RemoveKeyAndRemoveAll)
{
    CMapStringToString map;
    map["a"] = "1";
    map["b"] = "2";
    EXPECT_TRUE(map.RemoveKey("a"));
    EXPECT_FALSE(map.RemoveKey("a"));
    EXPECT_EQ(map.GetCount(), 1);
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_FALSE(map.RemoveKey("b"));
    map["c"] = "3";
    EXPECT_EQ(map.GetCount(), 1);
}

TEST(CMapStringToStringTest, IterationVisitsEveryAssociationOnce)
{
    CMapStringToString map;
    std::map<std::string, std::string> expected;
    for (int i = 0; i < 200; ++i) {
        CString key, value;
        key.Format("key%d", i);
        value.Format("%d", i * i);
        map[key] = value;
        expected[key.GetString()] = value.GetString();
    }
    std::map<std::string, std::string> seen;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;) {
        CString key, value;
        map.GetNextAssoc(pos, key, value);
        EXPECT_TRUE(seen.emplace(key.GetString(), value.GetString()).second);
    }
    EXPECT_EQ(seen, expected);
}

TEST(CMapStringToStringTest, RemovingTheReturnedKeyDuringIteration)
{
    CMapStringToString map;
    for (int i = 0; i < 50; ++i) {
        CString key;
        key.Format("%d", i);
        map[key] = (i % 3 == 0) ? "drop" : "keep";
    }
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;) {
        CString key, value;
        map.GetNextAssoc(pos, key, value);
        if (value == "drop")
            map.RemoveKey(key);
    }
    EXPECT_EQ(map.GetCount(), 33);
    CString value;
    EXPECT_FALSE(map.Lookup("0", value));
    EXPECT_TRUE(map.Lookup("1", value));
}

TEST(CMapStringToStringTest, HashTableSize)
{
    CMapStringToString map;
    EXPECT_EQ(map.GetHashTableSize(), 17u);
    map.InitHashTable(101);
    EXPECT_EQ(map.GetHashTableSize(), 101u);
    map["x"] = "1";
    map["y"] = "2";
    // Resizing a filled table keeps its associations.
    map.InitHashTable(7);
    EXPECT_EQ(map.GetHashTableSize(), 7u);
    CString value;
    EXPECT_TRUE(map.Lookup("y", value));
    EXPECT_STREQ(value, "2");
    EXPECT_EQ(map.GetCount(), 2);
}

TEST(CMapStringToStringTest, PointerAndWordMaps)
{
    int a = 0, b = 0;
    CMapPtrToPtr ptrs;
    ptrs[&a] = &b;
    void* out = nullptr;
    EXPECT_TRUE(ptrs.Lookup(&a, out));
    EXPECT_EQ(out, &b);
    EXPECT_FALSE(ptrs.Lookup(&b, out));
    ptrs.SetAt(nullptr, &a);
    EXPECT_TRUE(ptrs.Lookup(nullptr, out));
    EXPECT_EQ(out, &a);

    CMapWordToPtr words;
    for (WORD w = 0; w < 1000; ++w)
        words[w] = reinterpret_cast<void*>(static_cast<uintptr_t>(w) + 1);
    EXPECT_EQ(words.GetCount(), 1000);
    EXPECT_TRUE(words.Lookup(999, out));
    EXPECT_EQ(out, reinterpret_cast<void*>(1000));

    CMapStringToPtr named;
    named["x"] = &a;
    EXPECT_TRUE(named.Lookup("x", out));
    EXPECT_EQ(out, &a);
    CMapStringToOb obs;
    EXPECT_FALSE(obs.Lookup("x", *reinterpret_cast<CObject**>(&out)));
    EXPECT_STREQ(obs.GetRuntimeClass()->m_lpszClassName, "CMapStringToOb");
}
