#include "EngineTestSupport.h"

#include "engine/meta/CMetaContentList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"

#include <memory>

using namespace enginetest;

namespace {

class PageNodeTest : public EngineTest {
protected:
    // Makes a node of the kind under the parent (or alone), owned by the parent's children; a
    // page as a scan read it.
    CPageNode* Add(CPageNode* pParent, UINT nKind, const char* name)
    {
        auto pNode = std::make_unique<CPageNode>();
        pNode->SetKind(nKind);
        if (nKind == CPageNode::kindPage)
            pNode->SetScanState(0);
        pNode->SetName(name);
        pNode->SetParent(pParent);
        CPageNode* pRaw = pNode.get();
        pParent->AddChild(pNode.release());
        return pRaw;
    }
    static CMetaContent* AddContent(CPageNode* pPage, const char* name, UINT bModified)
    {
        CMetaContentList* pList = nullptr;
        if (pPage->GetContentList(pList) != 0)
            pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent(name, "x", bModified, pContent);
        return pContent;
    }
};

TEST_F(PageNodeTest, FullPathJoinsWithOneSlash)
{
    CPageNode page;
    page.SetName("index.html");
    page.SetFolder("/site/docs");
    CString strPath;
    EXPECT_EQ(page.GetFullPath(strPath), 0u);
    EXPECT_STREQ(strPath, "/site/docs/index.html");

    page.SetFolder("/site/docs/");
    page.GetFullPath(strPath);
    EXPECT_STREQ(strPath, "/site/docs/index.html");

    page.SetFolder("");
    page.GetFullPath(strPath);
    EXPECT_STREQ(strPath, "index.html");
}

TEST_F(PageNodeTest, CellStateFollowsScanAndEdits)
{
    CPageNode page;
    page.SetKind(CPageNode::kindPage);
    EXPECT_EQ(page.GetScanState(), 1u);
    EXPECT_EQ(page.GetCellState(), 1u);
    EXPECT_EQ(page.GetEditState(), 3u);

    CMetaContent* pContent = AddContent(&page, "Keywords", 0);
    page.SetScanState(0);
    EXPECT_EQ(page.GetCellState(), 0u);
    EXPECT_EQ(page.GetEditState(), 3u);

    pContent->SetModified(1);
    EXPECT_EQ(page.GetCellState(), 2u);
    EXPECT_EQ(page.GetEditState(), 2u);

    CMetaContentList modified(FALSE);
    EXPECT_EQ(page.GetModifiedContents(modified), 0u);
    ASSERT_EQ(modified.GetCount(), 1);
    EXPECT_EQ(modified.GetHead(), pContent);
}

TEST_F(PageNodeTest, TitleEditCountsAsEdit)
{
    CPageNode page;
    page.SetScanState(0);
    page.SetTitleModified(1);
    EXPECT_EQ(page.GetEditState(), 2u);
    CMetaContentList modified(FALSE);
    EXPECT_EQ(page.GetModifiedContents(modified), 1u);
}

TEST_F(PageNodeTest, CopyGivesCopiedChildrenTheNewParent)
{
    CPageNode source;
    source.SetKind(CPageNode::kindFolder);
    source.SetName("folder");
    source.SetTitle("T");
    source.SetFolder("/not/copied");
    CPageNode* pChild = Add(&source, CPageNode::kindFolder, "sub");
    Add(pChild, CPageNode::kindPage, "a.htm");
    AddContent(&source, "Keywords", 1);

    CPageNode copy;
    copy.CopyFrom(source);
    EXPECT_STREQ(copy.GetName(), "folder");
    EXPECT_STREQ(copy.GetTitle(), "T");
    EXPECT_TRUE(copy.GetFolder().IsEmpty());
    CMetaContentList* pList = nullptr;
    EXPECT_EQ(copy.GetContentList(pList), 1u);

    ASSERT_EQ(copy.GetChildren().GetCount(), 1);
    CPageNode* pCopiedChild = copy.GetChildren().GetHead();
    EXPECT_NE(pCopiedChild, pChild);
    EXPECT_EQ(pCopiedChild->GetParent(), &copy);
    ASSERT_EQ(pCopiedChild->GetChildren().GetCount(), 1);
    CPageNode* pGrandChild = pCopiedChild->GetChildren().GetHead();
    EXPECT_STREQ(pGrandChild->GetName(), "a.htm");
    EXPECT_EQ(pGrandChild->GetParent(), pCopiedChild);
}

TEST_F(PageNodeTest, CollectEditedPagesFindsAPageTwoFoldersDown)
{
    CPageNodeCol tree;
    auto pRoot = std::make_unique<CPageNode>();
    tree.InitRootNode("/site", pRoot.get());
    CPageNode* pRootRaw = pRoot.get();
    tree.AddTail(pRoot.release());
    EXPECT_EQ(pRootRaw->GetKind(), 1u);
    EXPECT_STREQ(pRootRaw->GetName(), "/site");

    CPageNode* pFolder = Add(pRootRaw, CPageNode::kindFolder, "a");
    CPageNode* pFolder2 = Add(pFolder, CPageNode::kindFolder, "b");
    Add(pRootRaw, CPageNode::kindPage, "clean.htm");
    CPageNode* pEdited = Add(pFolder2, CPageNode::kindPage, "edited.htm");
    EXPECT_EQ(tree.HasEdits(), 3u);

    CSelNodesCol pages;
    EXPECT_EQ(tree.CollectEditedPages(pages), 1u);
    EXPECT_TRUE(pages.IsEmpty());

    AddContent(pEdited, "Author", 1);
    EXPECT_EQ(tree.HasEdits(), 2u);
    EXPECT_EQ(tree.CollectEditedPages(pages), 0u);
    ASSERT_EQ(pages.GetCount(), 1);
    EXPECT_EQ(pages.GetHead(), pEdited);
    // A page already listed is not added twice.
    EXPECT_EQ(tree.CollectEditedPages(pages), 1u);
    EXPECT_EQ(pages.GetCount(), 1);
    tree.DeleteAll();
    EXPECT_TRUE(tree.IsEmpty());
}

TEST_F(PageNodeTest, SelectionEditsAndFlags)
{
    CPageNode root;
    CPageNode* pA = Add(&root, CPageNode::kindPage, "a.htm");
    CPageNode* pB = Add(&root, CPageNode::kindPage, "b.htm");
    CMetaContent* pContent = AddContent(pB, "Author", 0);

    CSelNodesCol selection;
    selection.AddTail(pA);
    selection.AddTail(pB);
    EXPECT_EQ(selection.HasEdits(), 3u);

    selection.SetEditFlags(1);
    EXPECT_EQ(pA->GetTitleModified(), 1u);
    EXPECT_EQ(pContent->GetModified(), 1u);
    EXPECT_EQ(selection.HasEdits(), 2u);

    CSelNodesCol copy;
    copy.AddTail(&root);
    copy.CopyFrom(selection);
    ASSERT_EQ(copy.GetCount(), 2);
    EXPECT_EQ(copy.GetHead(), pA);
    EXPECT_EQ(copy.GetTail(), pB);
}

// A page the last scan did not come to (a stopped scan), or could not read (a binary file), shows
// nothing of its file: whatever marks reach it, it is no edited page, so no save is handed it
// and no question to save waits for it. Read again, its marks count.
TEST_F(PageNodeTest, APageNotReadIsNoEditedPageWhateverItsMarks)
{
    CPageNodeCol tree;
    auto pRoot = std::make_unique<CPageNode>();
    tree.InitRootNode("/site", pRoot.get());
    CPageNode* pFolder = Add(pRoot.get(), CPageNode::kindFolder, "site");
    tree.AddTail(pRoot.release());
    CPageNode* pRead = Add(pFolder, CPageNode::kindPage, "read.htm");
    CPageNode* pNotRead = Add(pFolder, CPageNode::kindPage, "notread.htm");
    CPageNode* pBinary = Add(pFolder, CPageNode::kindPage, "binary.htm");
    pNotRead->SetScanState(1);
    pBinary->SetReadFailure("The file holds binary data, not the text of an HTML page.");
    EXPECT_TRUE(pRead->IsRead());
    EXPECT_FALSE(pNotRead->IsRead());
    EXPECT_FALSE(pBinary->IsRead());

    for (CPageNode* pPage : {pNotRead, pBinary}) {
        AddContent(pPage, "Description", 1);
        pPage->SetTitleModified(1);
        EXPECT_EQ(pPage->GetEditState(), 3u) << pPage->GetName().GetString();
        EXPECT_NE(pPage->GetCellState(), 2u) << pPage->GetName().GetString();
    }
    EXPECT_EQ(tree.HasEdits(), 3u);
    CSelNodesCol edited;
    EXPECT_EQ(tree.CollectEditedPages(edited), 1u);
    CSelNodesCol selection;
    selection.AddTail(pNotRead);
    selection.AddTail(pBinary);
    EXPECT_EQ(selection.HasEdits(), 3u);

    AddContent(pRead, "Description", 1);
    EXPECT_EQ(tree.HasEdits(), 2u);
    EXPECT_EQ(tree.CollectEditedPages(edited), 0u);
    ASSERT_EQ(edited.GetCount(), 1);
    EXPECT_EQ(edited.GetHead(), pRead);

    // Read whole by the next scan, the page's marks are edits again.
    pNotRead->SetScanState(0);
    EXPECT_EQ(pNotRead->GetEditState(), 2u);
    EXPECT_EQ(selection.HasEdits(), 2u);
    tree.DeleteAll();
}

} // namespace
