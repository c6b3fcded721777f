#include "app/panes/CFilesInTreeCtrl.h"

#include "app/panes/CFileViewControlBar.h"
#include "app/panes/IProjectAreaHost.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CVostrelAppModel.h"

IMPLEMENT_DYNCREATE(CFilesInTreeCtrl, CTreeCtrlWrapper)

BEGIN_MESSAGE_MAP(CFilesInTreeCtrl, CTreeCtrlWrapper)
    ON_NOTIFY_REFLECT_EX(TVN_SELCHANGING, &CFilesInTreeCtrl::OnSelChanging)
    ON_NOTIFY_REFLECT(TVN_SELCHANGED, &CFilesInTreeCtrl::OnSelChanged)
    ON_NOTIFY_REFLECT(NM_RETURN, &CFilesInTreeCtrl::OnReturn)
END_MESSAGE_MAP()

namespace {

void CollectAllPages(CPageNode* pNode, CSelNodesCol& pages)
{
    for (POSITION pos = pNode->GetChildren().GetHeadPosition(); pos != nullptr;) {
        CPageNode* pChild = pNode->GetChildren().GetNext(pos);
        if (pChild->GetKind() == CPageNode::kindPage)
            pages.AddTail(pChild);
        else
            CollectAllPages(pChild, pages);
    }
}

} // namespace

void CFilesInTreeCtrl::CollectPages(CPageNode* pNode, CSelNodesCol& pages)
{
    if (pNode == nullptr)
        return;
    switch (pNode->GetKind()) {
    case CPageNode::kindRoot:
        CollectAllPages(pNode, pages);
        break;
    case CPageNode::kindFolder:
        for (POSITION pos = pNode->GetChildren().GetHeadPosition(); pos != nullptr;) {
            CPageNode* pChild = pNode->GetChildren().GetNext(pos);
            if (pChild->GetKind() == CPageNode::kindPage)
                pages.AddTail(pChild);
        }
        break;
    case CPageNode::kindPage:
        pages.AddTail(pNode);
        break;
    default:
        break;
    }
}

void CFilesInTreeCtrl::ShowAllFiles()
{
    HTREEITEM hRoot = GetRootItem();
    if (hRoot == nullptr)
        return;
    ShowPagesOf(reinterpret_cast<CPageNode*>(GetItemData(hRoot)));
}

BOOL CFilesInTreeCtrl::ShowPagesOf(CPageNode* pNode)
{
    if (!ShowNodePages(pNode))
        return FALSE;
    m_hShownItem = nullptr;
    return TRUE;
}

void CFilesInTreeCtrl::ChooseShownNode(CPageNode* pNode)
{
    const auto hItem = pNode != nullptr ? reinterpret_cast<HTREEITEM>(pNode->m_dwTreeItem) : nullptr;
    if (hItem == nullptr)
        return;
    // Marked shown first, so that the selection's change loads nothing.
    m_hShownItem = hItem;
    if (GetSelectedItem() != hItem)
        SelectItem(hItem);
    EnsureVisible(hItem);
}

BOOL CFilesInTreeCtrl::PickNode(CPageNode* pNode)
{
    if (pNode == nullptr || pNode->m_dwTreeItem == 0 || !ShowNodePages(pNode))
        return FALSE;
    ChooseShownNode(pNode);
    return TRUE;
}

BOOL CFilesInTreeCtrl::DeleteAllItems()
{
    m_hShownItem = nullptr;
    return CTreeCtrlWrapper::DeleteAllItems();
}

BOOL CFilesInTreeCtrl::ShowNodePages(CPageNode* pNode)
{
    if (pNode == nullptr)
        return FALSE;
    CVostrelAppModel& model = GetAppModel();
    // Workers hold the selected pages while a scan runs, and the group view shows them.
    if (model.GetRunState() != CVostrelAppModel::runIdle)
        return FALSE;
    CSelNodesCol pages;
    CollectPages(pNode, pages);
    model.GetSelectedNodes().CopyFrom(pages);
    CString strTitle;
    if (m_pBar != nullptr)
        m_pBar->MakeTitle(pNode, strTitle);
    if (m_pBar != nullptr && m_pBar->GetHost() != nullptr)
        m_pBar->GetHost()->ShowSelectedPages(model.GetSelectedNodes(), pNode, pNode->GetKind() == CPageNode::kindRoot,
                                             strTitle);
    return TRUE;
}

BOOL CFilesInTreeCtrl::OnSelChanging(NMHDR* pNotifyStruct, LRESULT* pResult)
{
    // A choice by the user while the program is busy is refused outright, so that the
    // highlighted folder keeps matching the pages being worked on.
    const auto* pTree = reinterpret_cast<const NM_TREEVIEW*>(pNotifyStruct);
    if (pTree->action != TVC_UNKNOWN && GetAppModel().GetRunState() != CVostrelAppModel::runIdle) {
        *pResult = TRUE;
        return TRUE;
    }
    *pResult = FALSE;
    return FALSE;
}

void CFilesInTreeCtrl::OnSelChanged(NMHDR* pNotifyStruct, LRESULT* pResult)
{
    const auto* pTree = reinterpret_cast<const NM_TREEVIEW*>(pNotifyStruct);
    *pResult = 0;
    HTREEITEM hItem = pTree->itemNew.hItem;
    if (hItem == nullptr || hItem == m_hShownItem)
        return;
    if (ShowNodePages(reinterpret_cast<CPageNode*>(GetItemData(hItem))))
        m_hShownItem = hItem;
}

void CFilesInTreeCtrl::OnReturn(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    HTREEITEM hItem = GetSelectedItem();
    IProjectAreaHost* pHost = m_pBar != nullptr ? m_pBar->GetHost() : nullptr;
    if (hItem == nullptr || pHost == nullptr)
        return;
    // The grid that shows the item's pages already only takes the keys: loading the same pages
    // again would cost as much and change nothing.
    if (hItem == m_hShownItem && pHost->GiveKeysToShownPages())
        return;
    if (!ShowNodePages(reinterpret_cast<CPageNode*>(GetItemData(hItem))))
        return;
    m_hShownItem = hItem;
    pHost->GiveKeysToShownPages();
}
