// SECTreeNode / SECTreeNodeX: the links of a tree of nodes and the walks over them (depth,
// pre-order neighbours, first leaf, unlinking and adding children).
#pragma once

#include "platform/core/Types.h"

class SECTreeNode {
public:
    SECTreeNode() = default;
    virtual ~SECTreeNode();
    SECTreeNode(const SECTreeNode&) = delete;
    SECTreeNode& operator=(const SECTreeNode&) = delete;

    virtual SECTreeNode* GetParent() const { return m_pParent; }
    virtual SECTreeNode* GetNextSibling() const { return m_pNext; }
    virtual SECTreeNode* GetPrevSibling() const { return m_pPrev; }
    virtual SECTreeNode* GetFirstChild() const { return m_pFirstChild; }
    virtual BOOL IsExpanded() const { return FALSE; }
    virtual void SetExpanded(BOOL) {}

    // The number of ancestors: a top-level node (child of the root) has depth 1.
    int GetDepth() const;
    SECTreeNode* GetLastChild() const { return m_pLastChild; }
    SECTreeNode* GetFirstLeaf();
    SECTreeNode* GetPrevInPreorder() const;
    SECTreeNode* GetNextInPreorder() const;
    BOOL IsDescendantOf(const SECTreeNode* pAncestor) const;
    void Unlink();
    // Unlinks and destroys every node below this one.
    void DeleteAllChildren();
    // Position: 0 first; 1 or 2 last; otherwise the sibling to follow, which must be a child of
    // this node (else nothing is linked and the result is FALSE).
    BOOL AddChild(SECTreeNode* pNode, SECTreeNode* pAfter);
    static SECTreeNode* const kFirst;
    static SECTreeNode* const kLast;

private:
    SECTreeNode* m_pParent = nullptr;
    SECTreeNode* m_pNext = nullptr;
    SECTreeNode* m_pPrev = nullptr;
    SECTreeNode* m_pFirstChild = nullptr;
    SECTreeNode* m_pLastChild = nullptr;   // kept so appending to a wide folder costs nothing
};

class SECTreeNodeX : public SECTreeNode {
public:
    short m_nLevel = 0;
};
