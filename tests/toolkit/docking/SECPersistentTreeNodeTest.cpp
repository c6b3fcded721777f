// The persistent tree: keys set and overwritten in place, result codes, the letter encoding of
// binary values and its split at 250 letters, booleans, and a save and load through a storage
// back end kept in memory.
#include "toolkit/docking/SECPersistentTreeNode.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// A back end that keeps each node's keys, values and child names by its path.
class MemoryStorage : public SECPTNStorage {
public:
    struct Node {
        std::vector<std::string> children, keys, values;
    };
    static std::string Key(const CStringList& path)
    {
        std::string key;
        for (POSITION pos = path.GetHeadPosition(); pos;)
            key += std::string(path.GetNext(pos)) + "/";
        return key;
    }
    BOOL BeginNode(const CStringList& path) override
    {
        nodes[Key(path)] = Node{};
        return TRUE;
    }
    BOOL WriteValue(const CStringList& path, const CString& key, const CString& value) override
    {
        nodes[Key(path)].keys.push_back(std::string(key));
        nodes[Key(path)].values.push_back(std::string(value));
        return TRUE;
    }
    BOOL WriteChildren(const CStringList& path, const CStringList& children) override
    {
        for (POSITION pos = children.GetHeadPosition(); pos;)
            nodes[Key(path)].children.push_back(std::string(children.GetNext(pos)));
        return TRUE;
    }
    BOOL ReadNode(const CStringList& path, CStringList& children, CStringList& keys, CStringList& values) override
    {
        auto it = nodes.find(Key(path));
        if (it == nodes.end())
            return FALSE;
        for (auto& c : it->second.children)
            children.AddTail(CString(c.c_str()));
        for (auto& k : it->second.keys)
            keys.AddTail(CString(k.c_str()));
        for (auto& v : it->second.values)
            values.AddTail(CString(v.c_str()));
        return TRUE;
    }
    std::map<std::string, Node> nodes;
};

} // namespace

TEST(SECPersistentTreeNodeTest, KeysResultCodesAndTypedValues)
{
    SECPersistentTreeNode node;
    EXPECT_EQ(node.SetValue("A", CString("x")), SEC_PTN_NOT_INIT) << "unusable before Init";
    EXPECT_EQ(node.Init("", nullptr), SEC_PTN_BAD_NAME);
    ASSERT_EQ(node.Init("Root", nullptr), 0);
    EXPECT_EQ(node.Init("Root", nullptr), SEC_PTN_ALREADY_INIT);

    EXPECT_EQ(node.SetValue("", CString("x")), SEC_PTN_BAD_KEY);
    EXPECT_EQ(node.SetValue("First", 1), 0);
    EXPECT_EQ(node.SetValue("Second", CString("two")), 0);
    EXPECT_EQ(node.SetValue("First", 7, TRUE), 0);
    ASSERT_EQ(node.GetPairs().size(), 2u) << "overwriting keeps one pair, in its place";
    EXPECT_EQ(node.GetPairs()[0]->m_strKey, CString("First"));
    EXPECT_EQ(node.GetPairs()[0]->m_strValue, CString("7"));
    EXPECT_EQ(node.SetValue("Second", CString("other"), FALSE), SEC_PTN_KEY_EXISTS);
    CString text;
    EXPECT_EQ(node.GetValue("Second", text), 0);
    EXPECT_EQ(text, CString("two"));

    int n = 0;
    EXPECT_EQ(node.GetValue("Missing", &n, 42), SEC_PTN_KEY_NOT_FOUND);
    EXPECT_EQ(n, 42) << "the default stands";
    EXPECT_EQ(node.GetValue("First", &n, 0), 0);
    EXPECT_EQ(n, 7);

    // Booleans: any capitalisation of "true"; "1" is not true.
    for (const char* yes : {"true", "TRUE", "True"}) {
        node.SetValue("Flag", CString(yes));
        BOOL flag = FALSE;
        EXPECT_EQ(node.GetBoolValue("Flag", &flag, FALSE), 0);
        EXPECT_TRUE(flag) << yes;
    }
    node.SetValue("Flag", CString("1"));
    BOOL flag = TRUE;
    node.GetBoolValue("Flag", &flag, TRUE);
    EXPECT_FALSE(flag);
    node.SetBoolValue("Flag", TRUE);
    node.GetValue("Flag", text);
    EXPECT_EQ(text, CString("True"));

    // A child name is taken once.
    SECPTNFactory factory;
    EXPECT_NE(factory.CreateNode("Child", &node), nullptr);
    EXPECT_EQ(factory.CreateNode("Child", &node), nullptr) << "a second child of that name is refused";
    SECPersistentTreeNode loose;
    loose.Init("Child", nullptr);
    EXPECT_EQ(node.AddChild(&loose), SEC_PTN_CHILD_EXISTS);
    EXPECT_EQ(node.AddChild(nullptr), SEC_PTN_BAD_NAME);
}

TEST(SECPersistentTreeNodeTest, BinaryValuesAreLettersSplitAfter250)
{
    const BYTE kf = 0x5A;
    EXPECT_EQ(SECPersistentTreeNode::Encode(&kf, 1), CString("KF"));
    std::vector<BYTE> decoded;
    ASSERT_TRUE(SECPersistentTreeNode::Decode("KF", decoded));
    EXPECT_EQ(decoded, std::vector<BYTE>{0x5A});
    EXPECT_FALSE(SECPersistentTreeNode::Decode("KFZ", decoded)) << "an odd length is no encoding";
    EXPECT_FALSE(SECPersistentTreeNode::Decode("KZ", decoded)) << "only A to P are letters of it";

    SECPersistentTreeNode node;
    node.Init("Root", nullptr);
    std::vector<BYTE> small(125), large(126);
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<BYTE>(i * 7 + 3);
    std::copy(large.begin(), large.begin() + 125, small.begin());

    ASSERT_EQ(node.SetBinary("Small", small.data(), 125), 0);
    CString text;
    EXPECT_EQ(node.GetValue("Small", text), 0);
    EXPECT_EQ(text.GetLength(), 250) << "250 letters stay under the key itself";
    EXPECT_EQ(node.GetValue("Small_BinCount", text), SEC_PTN_KEY_NOT_FOUND);

    ASSERT_EQ(node.SetBinary("Large", large.data(), 126), 0);
    int count = 0;
    EXPECT_EQ(node.GetValue("Large_BinCount", &count, 0), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(node.GetValue("Large_BinVal0", text), 0);
    EXPECT_EQ(text.GetLength(), 250);
    EXPECT_EQ(node.GetValue("Large_BinVal1", text), 0);
    EXPECT_EQ(text.GetLength(), 2);
    EXPECT_EQ(node.GetValue("Large", text), SEC_PTN_KEY_NOT_FOUND);

    BYTE* out = nullptr;
    UINT size = 0;
    ASSERT_EQ(node.GetBinary("Large", &out, &size), 0);
    ASSERT_EQ(size, 126u);
    EXPECT_TRUE(std::equal(large.begin(), large.end(), out));
    delete[] out;
    EXPECT_EQ(node.GetBinary("Large", nullptr, &size), SEC_PTN_NO_BUFFER);
    EXPECT_EQ(node.SetBinary("X", nullptr, 3), SEC_PTN_NO_BUFFER);
    node.SetValue("Empty", CString(""));
    EXPECT_EQ(node.GetBinary("Empty", &out, &size), SEC_PTN_FAILED);
    EXPECT_EQ(out, nullptr);
}

TEST(SECPersistentTreeNodeTest, ATreeSavedToAStoreLoadsBackWithTheSameChildrenKeysAndValues)
{
    MemoryStorage storage;
    {
        SECPTNFactory factory;
        SECPersistentTreeNode* root = factory.CreateNode("Layout", nullptr);
        ASSERT_NE(root, nullptr);
        root->SetValue("Bars", 2);
        SECPersistentTreeNode* bar = factory.CreateNode("Bar-0", root);
        bar->SetValue("BarID", 59419);
        bar->SetBoolValue("Visible", FALSE);
        factory.CreateNode("Bar-1", root)->SetValue("BarID", 256);
        EXPECT_TRUE(root->Save(&storage));
    }
    ASSERT_EQ(storage.nodes.size(), 3u);
    EXPECT_EQ(storage.nodes["Bar-0/Layout/"].keys, (std::vector<std::string>{"BarID", "Visible"}));
    EXPECT_EQ(storage.nodes["Layout/"].children, (std::vector<std::string>{"Bar-0", "Bar-1"}));

    SECPTNFactory factory;
    SECPersistentTreeNode* root = factory.CreateNode("Layout", nullptr);
    ASSERT_TRUE(root->Load(&storage));
    SECPersistentTreeNode* bar = root->FindChild("Bar-0");
    ASSERT_NE(bar, nullptr);
    int id = 0;
    bar->GetValue("BarID", &id, 0);
    EXPECT_EQ(id, 59419);
    BOOL visible = TRUE;
    bar->GetBoolValue("Visible", &visible, TRUE);
    EXPECT_FALSE(visible);
    EXPECT_NE(root->FindChild("Bar-1"), nullptr);

    SECPTNFactory other;
    SECPersistentTreeNode* stranger = other.CreateNode("Nowhere", nullptr);
    EXPECT_FALSE(stranger->Load(&storage)) << "a node the store does not know fails to load";
    EXPECT_FALSE(stranger->Load(nullptr));
}
