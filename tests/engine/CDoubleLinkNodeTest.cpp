#include "EngineTestSupport.h"

#include "engine/meta/CDoubleLinkNode.h"
#include "engine/meta/CMetaClassificationSetting.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CMemFile.h"

#include <memory>

using namespace enginetest;

namespace {

std::string Store(CObject& object)
{
    return StoredBytes([&](CArchive& ar) { object.Serialize(ar); });
}

void Load(CObject& object, const std::string& data)
{
    LoadBytes(data, [&](CArchive& ar) { object.Serialize(ar); });
}

TEST(DoubleLinkNode, DefaultTreeAndPaths)
{
    CMetaClassificationSetting setting;
    const CDoubleLinkNodeCol& tree = setting.m_Tree;
    CDoubleLinkNode* pNode = nullptr;
    ASSERT_EQ(tree.FindByPath("root:FOLDER1", pNode), 0u);
    EXPECT_STREQ(pNode->m_strName, "Folder1");
    EXPECT_STREQ(pNode->m_pParent->m_strName, "Root");
    ASSERT_EQ(tree.FindByPath("ROOT:folder1:Folder2", pNode), 0u);
    EXPECT_STREQ(pNode->m_strName, "Folder2");

    pNode = nullptr;
    EXPECT_EQ(tree.FindByPath("Root:Folder1:", pNode), 1u);
    EXPECT_EQ(tree.FindByPath("", pNode), 1u);
    EXPECT_EQ(tree.FindByPath("Root:Folder3", pNode), 1u);
    EXPECT_EQ(pNode, nullptr);
}

TEST(DoubleLinkNode, StoredFormIsCountNameChildren)
{
    CMetaClassificationSetting setting;
    const std::string expected = Bytes()
                                     .Dword(1)
                                     .Str("Root")
                                     .Dword(1)
                                     .Str("Folder1")
                                     .Dword(1)
                                     .Str("Folder2")
                                     .Dword(0)
                                     .str();
    EXPECT_EQ(Store(setting.m_Tree), expected);
}

TEST(DoubleLinkNode, ReadBackHasSameNamesAndNoParents)
{
    const std::string data = Bytes()
                                 .Dword(2)
                                 .Str("A")
                                 .Dword(2)
                                 .Str("A1")
                                 .Dword(0)
                                 .Str("A2")
                                 .Dword(0)
                                 .Str("B")
                                 .Dword(0)
                                 .str();
    CDoubleLinkNodeCol tree;
    tree.AddNew("old");
    Load(tree, data);
    ASSERT_EQ(tree.GetCount(), 2);
    CDoubleLinkNode* pA = tree.GetHead();
    EXPECT_STREQ(pA->m_strName, "A");
    EXPECT_EQ(pA->m_pParent, nullptr);
    ASSERT_EQ(pA->m_Children.GetCount(), 2);
    EXPECT_STREQ(pA->m_Children.GetHead()->m_strName, "A1");
    EXPECT_EQ(pA->m_Children.GetHead()->m_pParent, nullptr);
    EXPECT_STREQ(pA->m_Children.GetTail()->m_strName, "A2");
    EXPECT_STREQ(tree.GetTail()->m_strName, "B");
    EXPECT_EQ(Store(tree), data);
}

TEST(DoubleLinkNode, HostileTreesAreRefused)
{
    CDoubleLinkNodeCol tree;
    // A count far beyond the data ends at the end of the archive.
    EXPECT_NE(ArchiveErrorOf([&] { Load(tree, Bytes().Dword(0xFFFFFFFF).Str("x").str()); }), -1);

    // Nesting deeper than any real tree would otherwise recurse until the stack runs out.
    Bytes deep;
    for (int i = 0; i < 100000; ++i)
        deep.Dword(1).Str("n");
    deep.Dword(0);
    try {
        Load(tree, deep.str());
        FAIL() << "a tree 100000 levels deep was accepted";
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::genericException);
        e->Delete();
    }
}

TEST(DoubleLinkNode, CopyRemoveAndAdd)
{
    CMetaClassificationSetting setting;
    CDoubleLinkNode parent;
    CDoubleLinkNodeCol copy;
    copy.CopyFrom(setting.m_Tree, &parent);
    ASSERT_EQ(copy.GetCount(), 1);
    EXPECT_EQ(copy.GetHead()->m_pParent, &parent);
    CDoubleLinkNode* pFolder1 = copy.GetHead()->m_Children.GetHead();
    EXPECT_EQ(pFolder1->m_pParent, copy.GetHead());

    CDoubleLinkNode* pFolder2 = nullptr;
    ASSERT_EQ(copy.FindByPath("Root:Folder1:Folder2", pFolder2), 0u);
    EXPECT_EQ(copy.RemoveNode(pFolder2), 0u);
    EXPECT_TRUE(pFolder1->m_Children.IsEmpty());
    CDoubleLinkNode stranger;
    EXPECT_EQ(copy.RemoveNode(&stranger), 1u);

    EXPECT_EQ(copy.AddNew("Second"), 0u);
    EXPECT_EQ(copy.GetTail()->m_pParent, nullptr);
    // The source is untouched by the copy's changes.
    EXPECT_EQ(setting.m_Tree.FindByPath("Root:Folder1:Folder2", pFolder2), 0u);
}

} // namespace
