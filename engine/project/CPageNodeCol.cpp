#include "engine/project/CPageNodeCol.h"

#include "engine/meta/CMetaContentList.h"
#include "engine/project/CPageNode.h"

#include <unordered_set>

UINT CPageNodeCol::DeleteAll()
{
    while (!IsEmpty())
        delete RemoveHead();
    return 0;
}

UINT CPageNodeCol::InitRootNode(const CString& strFolder, CPageNode* pNode)
{
    if (pNode == nullptr)
        return 1;
    pNode->SetName(strFolder);
    pNode->SetKind(CPageNode::kindRoot);
    pNode->SetParent(nullptr);
    return 0;
}

namespace {

BOOL IsEditedPage(const CPageNode* pNode)
{
    return pNode->GetEditState() == 2;
}

// Appends the edited pages below the nodes that are not listed yet; the set holds the list's
// pages, so that each is found in it at once.
void CollectInto(const CPageNodeCol& nodes, CTypedPtrList<CPtrList, CPageNode*>& pages,
                 std::unordered_set<const CPageNode*>& listed, BOOL& bAdded)
{
    for (POSITION pos = nodes.GetHeadPosition(); pos != nullptr;) {
        CPageNode* pNode = nodes.GetNext(pos);
        switch (pNode->GetKind()) {
        case CPageNode::kindRoot:
        case CPageNode::kindFolder:
            CollectInto(pNode->GetChildren(), pages, listed, bAdded);
            break;
        case CPageNode::kindPage:
            if (IsEditedPage(pNode) && listed.insert(pNode).second) {
                pages.AddTail(pNode);
                bAdded = TRUE;
            }
            break;
        default:
            break;
        }
    }
}

} // namespace

UINT CPageNodeCol::CollectEditedPages(CTypedPtrList<CPtrList, CPageNode*>& pages) const
{
    std::unordered_set<const CPageNode*> listed;
    listed.reserve(static_cast<size_t>(pages.GetCount()));
    for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;)
        listed.insert(pages.GetNext(pos));
    BOOL bAdded = FALSE;
    CollectInto(*this, pages, listed, bAdded);
    return bAdded ? 0 : 1;
}

UINT CPageNodeCol::HasEdits() const
{
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        const CPageNode* pNode = GetNext(pos);
        switch (pNode->GetKind()) {
        case CPageNode::kindRoot:
        case CPageNode::kindFolder:
            if (pNode->GetChildren().HasEdits() == 2)
                return 2;
            break;
        case CPageNode::kindPage:
            if (IsEditedPage(pNode))
                return 2;
            break;
        default:
            break;
        }
    }
    return 3;
}

void CSelNodesCol::CopyFrom(const CTypedPtrList<CPtrList, CPageNode*>& other)
{
    if (&other == this)
        return;
    RemoveAll();
    for (POSITION pos = other.GetHeadPosition(); pos != nullptr;)
        AddTail(other.GetNext(pos));
}

UINT CSelNodesCol::HasEdits() const
{
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        if (IsEditedPage(GetNext(pos)))
            return 2;
    }
    return 3;
}

void CSelNodesCol::SetEditFlags(UINT bValue)
{
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        CPageNode* pPage = GetNext(pos);
        pPage->SetTitleModified(bValue);
        CMetaContentList* pList = nullptr;
        if (pPage->GetContentList(pList) == 0)
            pList->SetModifiedAll(bValue);
    }
}
