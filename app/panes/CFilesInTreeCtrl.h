// The Project Area's tree: the project root and its folders, each item carrying its page node.
// Choosing an item makes that node's pages the application's selection.
#pragma once

#include "app/panes/CTreeCtrlWrapper.h"

class CPageNode;
class CSelNodesCol;
class CFileViewControlBar;

class CFilesInTreeCtrl : public CTreeCtrlWrapper {
    DECLARE_DYNCREATE(CFilesInTreeCtrl)

public:
    CFilesInTreeCtrl() = default;
    ~CFilesInTreeCtrl() override = default;
    CFilesInTreeCtrl(const CFilesInTreeCtrl&) = delete;
    CFilesInTreeCtrl& operator=(const CFilesInTreeCtrl&) = delete;

    void SetBar(CFileViewControlBar* pBar) { m_pBar = pBar; }

    // Shows the pages under the first root; nothing when the tree is empty.
    void ShowAllFiles();
    // Makes the node's pages the selection and brings the group view up with them. Refused
    // (FALSE) while a scan or another long operation runs: the pages being worked on must not
    // change under it.
    BOOL ShowNodePages(CPageNode* pNode);
    // The same for a node picked otherwise than by the tree's selection (a context menu).
    BOOL ShowPagesOf(CPageNode* pNode);
    // Chooses the node's item, in sight, without showing its pages again: they are the pages
    // last shown, whose window was closed. Nothing when the node has no item.
    void ChooseShownNode(CPageNode* pNode);
    // Shows the node's pages as a pick of its item does, and chooses the item, in sight; FALSE
    // when the node has no item or its pages cannot be shown now.
    BOOL PickNode(CPageNode* pNode);
    BOOL DeleteAllItems() override;

    // The pages a node stands for: the root, every page of the tree; a folder, its own pages
    // without those of its sub-folders; a page, itself.
    static void CollectPages(CPageNode* pNode, CSelNodesCol& pages);

protected:
    BOOL OnSelChanging(NMHDR* pNotifyStruct, LRESULT* pResult);
    void OnSelChanged(NMHDR* pNotifyStruct, LRESULT* pResult);
    // Enter on an item takes the keys to the grid of its pages, brought up again when its
    // window was closed: the way back to the pages for a user of the keys alone.
    void OnReturn(NMHDR* pNotifyStruct, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    CFileViewControlBar* m_pBar = nullptr;
    // The item whose pages a selection change showed last: one change may be reported more than
    // once, and the group view should load once.
    HTREEITEM m_hShownItem = nullptr;
};
