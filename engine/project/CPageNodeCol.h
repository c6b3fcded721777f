// Lists of page nodes: CPageNodeCol, a node's children (the application holds the top list),
// and CSelNodesCol, the pages the user selected. Neither deletes its nodes when destroyed.
#pragma once

#include "platform/core/CPtrList.h"
#include "platform/core/CString.h"
#include "platform/core/CTypedPtrArray.h"

class CPageNode;

class CPageNodeCol : public CTypedPtrList<CPtrList, CPageNode*> {
public:
    CPageNodeCol() : CTypedPtrList<CPtrList, CPageNode*>(10) {}
    CPageNodeCol(const CPageNodeCol&) = delete;
    CPageNodeCol& operator=(const CPageNodeCol&) = delete;

    // Deletes every node (each with its subtree and contents) and empties the list; 0.
    UINT DeleteAll();
    // Makes the node the project root: name = the folder path, kind 1, no parent; 0.
    UINT InitRootNode(const CString& strFolder, CPageNode* pNode);
    // Appends every page of the tree with an edited title or a modified content, once, in
    // depth-first list order; 1 when nothing was added, 0 otherwise. Linear in the tree and the
    // list: a site has a hundred thousand pages.
    UINT CollectEditedPages(CTypedPtrList<CPtrList, CPageNode*>& pages) const;
    // 2 when a page of the tree has an edited title or a modified content, 3 otherwise.
    UINT HasEdits() const;
};

// Borrows the nodes of the page tree; it must not outlive the tree.
class CSelNodesCol : public CTypedPtrList<CPtrList, CPageNode*> {
public:
    CSelNodesCol() : CTypedPtrList<CPtrList, CPageNode*>(10) {}
    CSelNodesCol(const CSelNodesCol&) = delete;
    CSelNodesCol& operator=(const CSelNodesCol&) = delete;

    // Replaces its pointers with the other list's, in order.
    void CopyFrom(const CTypedPtrList<CPtrList, CPageNode*>& other);
    // 2 when a listed page has its title edited or a modified content, 3 otherwise (the
    // listed pages only, without recursion).
    UINT HasEdits() const;
    // Sets the title-edited flag and every content's modified flag of each listed page.
    void SetEditFlags(UINT bValue);

    // The root or folder whose pages these are (what the Project Area last showed); null for
    // none. Borrowed like the pages: whoever deletes the tree clears it.
    CPageNode* GetCurrentFolder() const { return m_pCurrentFolder; }
    void SetCurrentFolder(CPageNode* pFolder) { m_pCurrentFolder = pFolder; }

private:
    CPageNode* m_pCurrentFolder = nullptr;
};
