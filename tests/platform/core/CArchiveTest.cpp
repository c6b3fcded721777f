// The archive's stored forms, byte by byte, and its behaviour on damaged input.
// Expected bytes are written out by hand from the stored form, never produced by the archive.
#include "platform/core/CArchive.h"

#include "platform/core/CArchiveException.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"
#include "platform/core/CMemFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

using Bytes = std::vector<BYTE>;

namespace {

// A persistent class shaped like the project settings object: schema 2, a string and a flag.
class CProjectSettings : public CObject {
    DECLARE_SERIAL(CProjectSettings)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_strDirectory << m_nAutoScan;
        else
            ar >> m_strDirectory >> m_nAutoScan;
    }
    CString m_strDirectory;
    DWORD m_nAutoScan = 1;
};

// A node that owns its child and refers back to its parent, to exercise back-references.
class CTreeNode : public CObject {
    DECLARE_SERIAL(CTreeNode)
public:
    ~CTreeNode() override { delete m_pChild; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_strName << m_pParent << m_pChild;
        } else {
            CObject* pParent = nullptr;
            ar >> m_strName >> pParent >> m_pChild;
            m_pParent = static_cast<CTreeNode*>(pParent);
        }
    }
    CString m_strName;
    CTreeNode* m_pParent = nullptr;
    CTreeNode* m_pChild = nullptr;
};

// Accepts every stored schema and records the one it was given.
class CVersioned : public CObject {
    DECLARE_SERIAL(CVersioned)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsLoading())
            m_nLoadedSchema = ar.GetObjectSchema();
    }
    UINT m_nLoadedSchema = 0;
};

// Known to the program by name, but never serializable.
class CTransient : public CObject {
    DECLARE_DYNCREATE(CTransient)
};

// A node with a reference it does not own; every node read is tracked so that a test can free
// whatever a damaged archive produced, however it is linked.
class CFuzzNode : public CObject {
    DECLARE_SERIAL(CFuzzNode)
public:
    CFuzzNode() { Live().insert(this); }
    ~CFuzzNode() override { Live().erase(this); }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_strName << m_pOther << m_nValue;
        } else {
            ar >> m_strName;
            m_pOther = ar.ReadObject(nullptr);
            ar >> m_nValue;
        }
    }
    static std::set<CFuzzNode*>& Live()
    {
        static std::set<CFuzzNode*> live;
        return live;
    }
    static void DeleteAllRead(const std::set<CFuzzNode*>& keep = {})
    {
        std::vector<CFuzzNode*> doomed;
        for (CFuzzNode* p : Live())
            if (!keep.contains(p))
                doomed.push_back(p);
        for (CFuzzNode* p : doomed)
            delete p;
    }
    CString m_strName;
    CObject* m_pOther = nullptr;
    LONG m_nValue = 0;
};

// An empty persistent object, for counting tags.
class CTiny : public CObject {
    DECLARE_SERIAL(CTiny)
};

// Defined in the classes' own namespace, where their friend extraction operators live.
IMPLEMENT_SERIAL(CProjectSettings, CObject, 2)
IMPLEMENT_SERIAL(CTreeNode, CObject, 1)
IMPLEMENT_SERIAL(CVersioned, CObject, VERSIONABLE_SCHEMA | 3)
IMPLEMENT_DYNCREATE(CTransient, CObject)
IMPLEMENT_SERIAL(CTiny, CObject, 1)
IMPLEMENT_SERIAL(CFuzzNode, CObject, 1)

// Stores through a lambda into memory and returns the bytes.
template <class F>
Bytes Store(F&& write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    const auto nLength = static_cast<UINT>(file.GetLength());
    Bytes bytes(nLength);
    file.SeekToBegin();
    EXPECT_EQ(file.Read(bytes.data(), nLength), nLength);
    return bytes;
}

// A memory file holding a copy of the bytes, ready to be read.
std::unique_ptr<CMemFile> FileOf(const Bytes& bytes)
{
    auto pFile = std::make_unique<CMemFile>();
    if (!bytes.empty())
        pFile->Write(bytes.data(), static_cast<UINT>(bytes.size()));
    pFile->SeekToBegin();
    return pFile;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

// Runs a load and returns the archive exception's cause, or -1 when nothing was raised.
template <class F>
int LoadCause(const Bytes& bytes, F&& read)
{
    auto pFile = FileOf(bytes);
    CArchive ar(pFile.get(), CArchive::load);
    try {
        read(ar);
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

int ReadObjectCause(const Bytes& bytes, const CRuntimeClass* pClass = nullptr)
{
    return LoadCause(bytes, [&](CArchive& ar) { delete ar.ReadObject(pClass); });
}

const Bytes kProjectHeader = Concat({{0xFF, 0xFF, 0x02, 0x00, 0x10, 0x00}, Text("CProjectSettings")});

} // namespace

TEST(CArchiveTest, NumbersAreLittleEndianInTheirExactWidths)
{
    const Bytes bytes = Store([](CArchive& ar) {
        ar << static_cast<BYTE>(0x12) << static_cast<WORD>(0x3456) << static_cast<LONG>(-2)
           << static_cast<DWORD>(0x89ABCDEF) << 7 << static_cast<short>(-1) << 'A' << 1.0f << -2.5
           << static_cast<LONGLONG>(-3) << static_cast<ULONGLONG>(0x0102030405060708ull) << 0x10u;
    });
    const Bytes expected = {
        0x12,                                           // BYTE
        0x56, 0x34,                                     // WORD
        0xFE, 0xFF, 0xFF, 0xFF,                         // LONG -2
        0xEF, 0xCD, 0xAB, 0x89,                         // DWORD
        0x07, 0x00, 0x00, 0x00,                         // int: 32 bits
        0xFF, 0xFF,                                     // short -1
        0x41,                                           // char
        0x00, 0x00, 0x80, 0x3F,                         // float 1.0
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0xC0, // double -2.5
        0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, // LONGLONG -3
        0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01, // ULONGLONG
        0x10, 0x00, 0x00, 0x00,                         // unsigned int
    };
    EXPECT_EQ(bytes, expected);

    auto pFile = FileOf(expected);
    CArchive ar(pFile.get(), CArchive::load);
    BYTE by;
    WORD w;
    LONG l;
    DWORD dw;
    int i;
    short sh;
    char ch;
    float f;
    double d;
    LONGLONG ll;
    ULONGLONG ull;
    UINT u;
    ar >> by >> w >> l >> dw >> i >> sh >> ch >> f >> d >> ll >> ull >> u;
    EXPECT_EQ(by, 0x12);
    EXPECT_EQ(w, 0x3456);
    EXPECT_EQ(l, -2);
    EXPECT_EQ(dw, 0x89ABCDEFu);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(sh, -1);
    EXPECT_EQ(ch, 'A');
    EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(d, -2.5);
    EXPECT_EQ(ll, -3);
    EXPECT_EQ(ull, 0x0102030405060708ull);
    EXPECT_EQ(u, 0x10u);
}

TEST(CArchiveTest, StringsUseTheThreeLengthForms)
{
    auto stored = [](const std::string& s) {
        return Store([&](CArchive& ar) { ar << CString(s.c_str(), static_cast<int>(s.size())); });
    };
    EXPECT_EQ(stored(""), Bytes({0x00}));
    EXPECT_EQ(stored("abc"), Bytes({0x03, 'a', 'b', 'c'}));

    const std::string s254(254, 'x');
    EXPECT_EQ(stored(s254), Concat({{0xFE}, Text(s254)}));
    const std::string s255(255, 'y');
    EXPECT_EQ(stored(s255), Concat({{0xFF, 0xFF, 0x00}, Text(s255)}));
    const std::string s300(300, 'z');
    EXPECT_EQ(stored(s300), Concat({{0xFF, 0x2C, 0x01}, Text(s300)}));
    const std::string s65533(65533, 'q');
    EXPECT_EQ(stored(s65533), Concat({{0xFF, 0xFD, 0xFF}, Text(s65533)}));
    // 0xFFFE and 0xFFFF are reserved as markers, so 65534 already takes the DWORD form.
    const std::string s65534(65534, 'r');
    EXPECT_EQ(stored(s65534), Concat({{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}, Text(s65534)}));
    const std::string s70000(70000, 's');
    EXPECT_EQ(stored(s70000), Concat({{0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}, Text(s70000)}));
}

TEST(CArchiveTest, StringsReadBackWithEveryLengthFormAndEmbeddedNuls)
{
    for (size_t nLength : {0u, 1u, 254u, 255u, 300u, 65533u, 65534u, 65535u, 70000u}) {
        std::string text(nLength, 'a');
        for (size_t i = 0; i < nLength; ++i)
            text[i] = static_cast<char>(i * 7);
        const Bytes bytes = Store([&](CArchive& ar) { ar << CString(text.c_str(), static_cast<int>(nLength)); });
        auto pFile = FileOf(bytes);
        CArchive ar(pFile.get(), CArchive::load);
        CString read;
        ar >> read;
        ASSERT_EQ(read.GetLength(), static_cast<int>(nLength));
        EXPECT_EQ(std::memcmp(read.GetString(), text.data(), nLength), 0) << nLength;
        EXPECT_TRUE(ar.IsBufferEmpty());
    }
}

TEST(CArchiveTest, Utf16MarkedStringsAreReadAsUtf8)
{
    // 0xFF, 0xFFFE marks UTF-16; then the length in characters and the UTF-16LE units:
    // "a", e-acute, and U+1F600 as a surrogate pair.
    const Bytes bytes = {0xFF, 0xFE, 0xFF, 0x04, 'a', 0x00, 0xE9, 0x00, 0x3D, 0xD8, 0x00, 0xDE};
    auto pFile = FileOf(bytes);
    CArchive ar(pFile.get(), CArchive::load);
    CString read;
    ar >> read;
    EXPECT_STREQ(read, "a\xC3\xA9\xF0\x9F\x98\x80");
}

TEST(CArchiveTest, CountsUseAWordOrAnEscapedDword)
{
    EXPECT_EQ(Store([](CArchive& ar) { ar.WriteCount(0); }), Bytes({0x00, 0x00}));
    EXPECT_EQ(Store([](CArchive& ar) { ar.WriteCount(0xFFFE); }), Bytes({0xFE, 0xFF}));
    EXPECT_EQ(Store([](CArchive& ar) { ar.WriteCount(0xFFFF); }), Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(Store([](CArchive& ar) { ar.WriteCount(70000); }), Bytes({0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));

    auto pFile = FileOf({0xFE, 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00});
    CArchive ar(pFile.get(), CArchive::load);
    EXPECT_EQ(ar.ReadCount(), 0xFFFEu);
    EXPECT_EQ(ar.ReadCount(), 70000u);
}

TEST(CArchiveTest, AnObjectBeginsWithItsClassHeader)
{
    CProjectSettings settings;
    settings.m_strDirectory = "site";
    const Bytes bytes = Store([&](CArchive& ar) { ar << &settings; });
    const Bytes expected = Concat({kProjectHeader, {0x04}, Text("site"), {0x01, 0x00, 0x00, 0x00}});
    EXPECT_EQ(bytes, expected);

    auto pFile = FileOf(bytes);
    CArchive ar(pFile.get(), CArchive::load);
    CProjectSettings* pRead = nullptr;
    ar >> pRead;
    std::unique_ptr<CProjectSettings> owner(pRead);
    ASSERT_NE(pRead, nullptr);
    EXPECT_STREQ(pRead->m_strDirectory, "site");
    EXPECT_EQ(pRead->m_nAutoScan, 1u);
}

TEST(CArchiveTest, RepeatedClassesAndObjectsAreBackReferences)
{
    CProjectSettings first;
    CProjectSettings second;
    first.m_strDirectory = "a";
    second.m_strDirectory = "b";
    const Bytes bytes = Store([&](CArchive& ar) {
        ar << &first << &second << &first << static_cast<CObject*>(nullptr);
    });
    // Index 1 is the class, 2 the first object, 3 the second.
    const Bytes expected = Concat({
        kProjectHeader, {0x01, 'a', 0x01, 0x00, 0x00, 0x00},
        {0x01, 0x80}, {0x01, 'b', 0x01, 0x00, 0x00, 0x00}, // class reference 0x8000 | 1
        {0x02, 0x00},                                     // the first object again
        {0x00, 0x00},                                     // null
    });
    EXPECT_EQ(bytes, expected);

    auto pFile = FileOf(bytes);
    CArchive ar(pFile.get(), CArchive::load);
    CObject* p1 = nullptr;
    CObject* p2 = nullptr;
    CObject* p3 = nullptr;
    CObject* p4 = reinterpret_cast<CObject*>(&ar);
    ar >> p1 >> p2 >> p3 >> p4;
    std::unique_ptr<CObject> own1(p1), own2(p2);
    EXPECT_EQ(p3, p1);
    EXPECT_EQ(p4, nullptr);
    EXPECT_STREQ(static_cast<CProjectSettings*>(p2)->m_strDirectory, "b");
}

TEST(CArchiveTest, ObjectGraphsKeepTheirSharedPointers)
{
    auto* pRoot = new CTreeNode;
    pRoot->m_strName = "root";
    pRoot->m_pChild = new CTreeNode;
    pRoot->m_pChild->m_strName = "child";
    pRoot->m_pChild->m_pParent = pRoot;
    std::unique_ptr<CTreeNode> owner(pRoot);
    const Bytes bytes = Store([&](CArchive& ar) { ar << pRoot; });

    auto pFile = FileOf(bytes);
    CArchive ar(pFile.get(), CArchive::load);
    CTreeNode* pRead = nullptr;
    ar >> pRead;
    std::unique_ptr<CTreeNode> readOwner(pRead);
    ASSERT_NE(pRead, nullptr);
    ASSERT_NE(pRead->m_pChild, nullptr);
    EXPECT_EQ(pRead->m_pChild->m_pParent, pRead);
    EXPECT_STREQ(pRead->m_pChild->m_strName, "child");
}

TEST(CArchiveTest, BigIndexesUseTheEscapeTag)
{
    // Map index 1 is CTiny's class, objects take 2, 3, ...; object i (0-based) has index i + 2.
    const int nObjects = 0x7FFF;
    std::vector<CTiny> objects(nObjects);
    CProjectSettings settings;
    const Bytes bytes = Store([&](CArchive& ar) {
        for (int i = 0; i < nObjects; ++i)
            ar << &objects[i];
        ar << &objects[0x7FFC]; // index 0x7FFE: still a WORD
        ar << &objects[0x7FFD]; // index 0x7FFF: escaped
        ar << &settings; // a new class at index 0x8001
        ar << static_cast<CObject*>(nullptr);
    });
    size_t pos = 6 + 5 + 2 * (nObjects - 1); // first object's header + CTiny name, then 0x8001 tags
    ASSERT_EQ(bytes.size(), pos + 2 + 6 + 22 + 1 + 4 + 2);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 11), Concat({{0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00}, Text("CTiny")}));
    EXPECT_EQ(Bytes(bytes.begin() + 11, bytes.begin() + 13), Bytes({0x01, 0x80}));
    EXPECT_EQ(Bytes(bytes.begin() + pos, bytes.begin() + pos + 2), Bytes({0xFE, 0x7F}));
    EXPECT_EQ(Bytes(bytes.begin() + pos + 2, bytes.begin() + pos + 8), Bytes({0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x00}));

    // Reading gives the same sharing back.
    auto pFile = FileOf(bytes);
    CArchive ar(pFile.get(), CArchive::load);
    std::vector<std::unique_ptr<CObject>> owned;
    for (int i = 0; i < nObjects; ++i) {
        CObject* p = nullptr;
        ar >> p;
        owned.emplace_back(p);
    }
    CObject* pAgain1 = nullptr;
    CObject* pAgain2 = nullptr;
    CObject* pSettings = nullptr;
    ar >> pAgain1 >> pAgain2 >> pSettings;
    owned.emplace_back(pSettings);
    EXPECT_EQ(pAgain1, owned[0x7FFC].get());
    EXPECT_EQ(pAgain2, owned[0x7FFD].get());
    ASSERT_NE(pSettings, nullptr);
    EXPECT_TRUE(pSettings->IsKindOf(RUNTIME_CLASS(CProjectSettings)));
}

TEST(CArchiveTest, BigClassIndexesUseTheEscapeTagWithTheClassBit)
{
    // Fill the map past 0x7FFF with objects of one class, then store a second class twice.
    std::vector<CTiny> objects(0x7FFF);
    CProjectSettings a;
    CProjectSettings b;
    const Bytes bytes = Store([&](CArchive& ar) {
        for (CTiny& object : objects)
            ar << &object;
        ar << &a << &b;
    });
    // CProjectSettings took index 0x8001 (class 1, objects 2..0x8000).
    const Bytes tail(bytes.end() - 5 - 6, bytes.end() - 5);
    EXPECT_EQ(tail, Bytes({0xFF, 0x7F, 0x01, 0x80, 0x00, 0x80}));

    auto pFile = FileOf(bytes);
    CArchive ar(pFile.get(), CArchive::load);
    std::vector<std::unique_ptr<CObject>> owned;
    for (size_t i = 0; i < objects.size() + 2; ++i) {
        CObject* p = nullptr;
        ar >> p;
        owned.emplace_back(p);
    }
    EXPECT_TRUE(owned.back()->IsKindOf(RUNTIME_CLASS(CProjectSettings)));
}

TEST(CArchiveTest, SchemaMustMatchUnlessVersionable)
{
    Bytes schema3 = kProjectHeader;
    schema3[2] = 0x03;
    EXPECT_EQ(ReadObjectCause(Concat({schema3, {0x00, 0x01, 0, 0, 0}})), CArchiveException::badSchema);

    // A versionable class accepts any schema and tells Serialize which one it reads.
    const Bytes versioned = Concat({{0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00}, Text("CVersioned"), {0x01, 0x80}});
    auto pFile = FileOf(versioned);
    CArchive ar(pFile.get(), CArchive::load);
    CObject* pFirst = ar.ReadObject(RUNTIME_CLASS(CVersioned));
    CObject* pSecond = ar.ReadObject(RUNTIME_CLASS(CVersioned));
    std::unique_ptr<CObject> own1(pFirst), own2(pSecond);
    EXPECT_EQ(static_cast<CVersioned*>(pFirst)->m_nLoadedSchema, 1u);
    EXPECT_EQ(static_cast<CVersioned*>(pSecond)->m_nLoadedSchema, 1u); // remembered per class

    // Its own schema is stored without the versionable bit.
    CVersioned object;
    const Bytes stored = Store([&](CArchive& a) { a << &object; });
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 4), Bytes({0xFF, 0xFF, 0x03, 0x00}));
}

TEST(CArchiveTest, ForeignClassesAreRefused)
{
    // An unknown name.
    EXPECT_EQ(ReadObjectCause(Concat({{0xFF, 0xFF, 0x01, 0x00, 0x07, 0x00}, Text("CNoSuch")})),
              CArchiveException::badClass);
    // A class the program knows, but not as a persistent one.
    EXPECT_EQ(ReadObjectCause(Concat({{0xFF, 0xFF, 0xFF, 0xFF, 0x0A, 0x00}, Text("CTransient")})),
              CArchiveException::badClass);
    // Another persistent class than the one asked for.
    const Bytes tiny = Concat({{0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00}, Text("CTiny")});
    EXPECT_EQ(ReadObjectCause(tiny, RUNTIME_CLASS(CProjectSettings)), CArchiveException::badClass);
    EXPECT_EQ(ReadObjectCause(tiny, RUNTIME_CLASS(CObject)), -1);
    // A name longer than any class name, whatever follows.
    EXPECT_EQ(ReadObjectCause({0xFF, 0xFF, 0x01, 0x00, 0x00, 0x70, 'C', 'X'}), CArchiveException::badClass);
    EXPECT_EQ(ReadObjectCause({0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00}), CArchiveException::badClass);
    // A name with a NUL inside.
    EXPECT_EQ(ReadObjectCause(Concat({{0xFF, 0xFF, 0x01, 0x00, 0x06, 0x00}, Text("CTiny"), {0x00}})),
              CArchiveException::badClass);
}

TEST(CArchiveTest, BadReferencesRaiseBadIndex)
{
    EXPECT_EQ(ReadObjectCause({0x05, 0x00}), CArchiveException::badIndex);       // no object 5
    EXPECT_EQ(ReadObjectCause({0x01, 0x80}), CArchiveException::badIndex);       // no class 1
    EXPECT_EQ(ReadObjectCause({0x00, 0x80}), CArchiveException::badIndex);       // class 0
    EXPECT_EQ(ReadObjectCause({0xFF, 0x7F, 0x09, 0, 0, 0}), CArchiveException::badIndex);
    EXPECT_EQ(ReadObjectCause({0xFF, 0x7F, 0x09, 0, 0, 0x80}), CArchiveException::badIndex);
    // An object reference that points at a class entry.
    const Bytes tiny = Concat({{0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00}, Text("CTiny")});
    EXPECT_EQ(LoadCause(Concat({tiny, {0x01, 0x00}}),
                        [](CArchive& ar) {
                            std::unique_ptr<CObject> first(ar.ReadObject(nullptr));
                            delete ar.ReadObject(nullptr);
                        }),
              CArchiveException::badIndex);
    // A class reference that points at an object entry.
    EXPECT_EQ(LoadCause(Concat({tiny, {0x02, 0x80}}),
                        [](CArchive& ar) {
                            std::unique_ptr<CObject> first(ar.ReadObject(nullptr));
                            delete ar.ReadObject(nullptr);
                        }),
              CArchiveException::badIndex);
    // A class read where an object reference stands.
    EXPECT_EQ(LoadCause({0x00, 0x00}, [](CArchive& ar) { ar.ReadClass(); }), CArchiveException::badIndex);
}

TEST(CArchiveTest, EveryTruncationRaisesEndOfFile)
{
    auto* pRoot = new CTreeNode;
    pRoot->m_strName = CString('n', 300);
    pRoot->m_pChild = new CTreeNode;
    pRoot->m_pChild->m_pParent = pRoot;
    std::unique_ptr<CTreeNode> owner(pRoot);
    const Bytes bytes = Store([&](CArchive& ar) { ar << pRoot << 42; });
    for (size_t nCut = 0; nCut < bytes.size(); ++nCut) {
        const Bytes cut(bytes.begin(), bytes.begin() + nCut);
        const int cause = LoadCause(cut, [](CArchive& ar) {
            std::unique_ptr<CObject> p(ar.ReadObject(RUNTIME_CLASS(CTreeNode)));
            int n;
            ar >> n;
        });
        EXPECT_EQ(cause, CArchiveException::endOfFile) << "cut at " << nCut;
    }
}

TEST(CArchiveTest, AbsurdLengthsRaiseEndOfFileWithoutAllocating)
{
    // A claimed length of 0xFFFFFFFF in a file of a few bytes.
    EXPECT_EQ(LoadCause({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'},
                        [](CArchive& ar) {
                            CString s;
                            ar >> s;
                        }),
              CArchiveException::endOfFile);
    EXPECT_EQ(LoadCause({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
                        [](CArchive& ar) {
                            CString s;
                            ar >> s;
                        }),
              CArchiveException::endOfFile);
    EXPECT_EQ(LoadCause({0x10, 0x00}, [](CArchive& ar) { ar.EnsureAvailable(16); }), CArchiveException::endOfFile);
    EXPECT_EQ(LoadCause({0x10, 0x00}, [](CArchive& ar) { ar.EnsureAvailable(2); }), -1);
}

TEST(CArchiveTest, AbsurdLengthsFromAPipeFailOnlyAfterTheRealBytes)
{
    // A pipe has no length to check against, so the string grows as bytes really arrive.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const BYTE data[] = {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40, 'a', 'b', 'c'};
    ASSERT_EQ(write(fds[1], data, sizeof(data)), static_cast<ssize_t>(sizeof(data)));
    close(fds[1]);
    CFile pipeFile(fds[0]);
    CArchive ar(&pipeFile, CArchive::load);
    CString s;
    try {
        ar >> s;
        ADD_FAILURE() << "no exception";
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::endOfFile);
        e->Delete();
    }
    ar.Abort();
    close(fds[0]);
}

TEST(CArchiveTest, CorruptedArchivesNeverCrash)
{
    // Three linked nodes, one referring back to the first, with strings of two length forms.
    CFuzzNode first;
    CFuzzNode second;
    CFuzzNode third;
    first.m_strName = "first";
    second.m_strName = CString('s', 300);
    second.m_pOther = &first;
    third.m_pOther = &second;
    const Bytes bytes = Store([&](CArchive& ar) { ar << &third << &first << 7; });

    std::mt19937 random(20240611);
    for (int round = 0; round < 5000; ++round) {
        Bytes damaged = bytes;
        const int nFlips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < nFlips; ++i)
            damaged[random() % damaged.size()] = static_cast<BYTE>(random());
        if (round % 5 == 0)
            damaged.resize(random() % damaged.size());
        auto pFile = FileOf(damaged);
        CArchive ar(pFile.get(), CArchive::load);
        try {
            ar.ReadObject(nullptr);
            ar.ReadObject(RUNTIME_CLASS(CFuzzNode));
            int n;
            ar >> n;
        } catch (CException* e) {
            EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CArchiveException)));
            e->Delete();
        }
        CFuzzNode::DeleteAllRead({&first, &second, &third});
    }
}

TEST(CArchiveTest, StoringAnObjectThatCannotBeReadBackIsRefused)
{
    CTransient transient;
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    try {
        ar << &transient;
        ADD_FAILURE() << "no exception";
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::badClass);
        e->Delete();
    }
}

TEST(CArchiveTest, DirectionIsChecked)
{
    CMemFile file;
    CArchive storing(&file, CArchive::store);
    EXPECT_TRUE(storing.IsStoring());
    EXPECT_FALSE(storing.IsLoading());
    try {
        int n;
        storing >> n;
        ADD_FAILURE();
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::writeOnly);
        e->Delete();
    }
    storing.Abort();

    CArchive loading(&file, CArchive::load);
    try {
        loading << 1;
        ADD_FAILURE();
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::readOnly);
        e->Delete();
    }
}

TEST(CArchiveTest, SerializeClassWritesAndChecksAClassTag)
{
    const Bytes bytes = Store([](CArchive& ar) {
        ar.SerializeClass(RUNTIME_CLASS(CTiny));
        ar.SerializeClass(RUNTIME_CLASS(CTiny));
    });
    EXPECT_EQ(bytes, Concat({{0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00}, Text("CTiny"), {0x01, 0x80}}));
    auto pFile = FileOf(bytes);
    CArchive ar(pFile.get(), CArchive::load);
    ar.SerializeClass(RUNTIME_CLASS(CTiny));
    EXPECT_EQ(ar.GetObjectSchema(), 1u);
    EXPECT_EQ(ar.GetObjectSchema(), static_cast<UINT>(-1)); // asked once
    UINT nSchema = 0;
    EXPECT_EQ(ar.ReadClass(RUNTIME_CLASS(CTiny), &nSchema), RUNTIME_CLASS(CTiny));
    EXPECT_EQ(nSchema, 1u);
}

TEST(CArchiveTest, TextLinesAndRawBytes)
{
    const Bytes bytes = Store([](CArchive& ar) {
        ar.WriteString("first\r\nsecond\nthird\rlast");
        const BYTE raw[] = {1, 2, 3};
        ar.Write(raw, sizeof(raw));
    });
    EXPECT_EQ(bytes, Concat({Text("first\r\nsecond\nthird\rlast"), {1, 2, 3}}));

    auto pFile = FileOf(Text("first\r\nsecond\nthird\rlast"));
    CArchive ar(pFile.get(), CArchive::load);
    CString line;
    ASSERT_TRUE(ar.ReadString(line));
    EXPECT_STREQ(line, "first");
    char buffer[5];
    EXPECT_STREQ(ar.ReadString(buffer, sizeof(buffer)), "seco"); // cut at nMax - 1
    EXPECT_STREQ(ar.ReadString(buffer, sizeof(buffer)), "nd\n");  // the rest, with its "\n"
    ASSERT_TRUE(ar.ReadString(line));
    EXPECT_STREQ(line, "third");
    ASSERT_TRUE(ar.ReadString(line));
    EXPECT_STREQ(line, "last");
    EXPECT_FALSE(ar.ReadString(line));
    EXPECT_EQ(ar.ReadString(buffer, sizeof(buffer)), nullptr);

    auto pRaw = FileOf({9, 8, 7});
    CArchive raw(pRaw.get(), CArchive::load);
    BYTE got[8] = {};
    EXPECT_EQ(raw.Read(got, sizeof(got)), 3u); // short only at the end
    EXPECT_EQ(got[2], 7);
}

TEST(CArchiveTest, FlushOnLoadGivesTheReadAheadBack)
{
    auto pFile = FileOf({1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0});
    CArchive ar(pFile.get(), CArchive::load);
    int n;
    ar >> n;
    EXPECT_FALSE(ar.IsBufferEmpty());
    ar.Flush();
    EXPECT_EQ(pFile->GetPosition(), 4u);
    EXPECT_TRUE(ar.IsBufferEmpty());
    ar >> n;
    EXPECT_EQ(n, 2);
}

TEST(CArchiveTest, WorksOverADiskFileAndWritesOnClose)
{
    char path[] = "/tmp/vostrel-archive-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        EXPECT_EQ(ar.GetFile(), &file);
        CProjectSettings settings;
        ar << &settings;
        EXPECT_EQ(file.GetLength(), 0u); // still buffered
        ar << CString('x', 5000);
        ar.Close();
        EXPECT_EQ(ar.GetFile(), nullptr);
        EXPECT_GT(file.GetLength(), 5000u);
    }
    {
        CFile file(path, CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        EXPECT_STREQ(ar.m_strFileName, path);
        CProjectSettings* pSettings = nullptr;
        CString text;
        ar >> pSettings >> text;
        std::unique_ptr<CProjectSettings> owner(pSettings);
        EXPECT_EQ(text.GetLength(), 5000);
        int n;
        try {
            ar >> n;
            ADD_FAILURE();
        } catch (CArchiveException* e) {
            EXPECT_EQ(e->m_cause, CArchiveException::endOfFile);
            EXPECT_STREQ(e->m_strFileName, path); // the exception names the file
            e->Delete();
        }
    }
    unlink(path);
}

TEST(CArchiveTest, DestructorWritesWhatIsBufferedUnlessToldNot)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << 5;
    }
    EXPECT_EQ(file.GetLength(), 4u);
    {
        CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
        ar << 6;
    }
    EXPECT_EQ(file.GetLength(), 4u);
}
