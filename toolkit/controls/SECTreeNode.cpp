// SECTreeNode: the walks and link changes.
#include "toolkit/controls/SECTreeNode.h"

#include <cstdint>

SECTreeNode* const SECTreeNode::kFirst = nullptr;
SECTreeNode* const SECTreeNode::kLast = reinterpret_cast<SECTreeNode*>(static_cast<uintptr_t>(2));

SECTreeNode::~SECTreeNode() = default;

int SECTreeNode::GetDepth() const
{
    int depth = 0;
    for (const SECTreeNode* p = m_pParent; p; p = p->m_pParent)
        ++depth;
    return depth;
}

SECTreeNode* SECTreeNode::GetFirstLeaf()
{
    SECTreeNode* p = this;
    while (p->m_pFirstChild)
        p = p->m_pFirstChild;
    return p;
}

SECTreeNode* SECTreeNode::GetPrevInPreorder() const
{
    if (!m_pPrev)
        return m_pParent;
    SECTreeNode* p = m_pPrev;
    while (p->m_pLastChild)
        p = p->m_pLastChild;
    return p;
}

SECTreeNode* SECTreeNode::GetNextInPreorder() const
{
    if (m_pFirstChild)
        return m_pFirstChild;
    for (const SECTreeNode* p = this; p; p = p->m_pParent)
        if (p->m_pNext)
            return p->m_pNext;
    return nullptr;
}

BOOL SECTreeNode::IsDescendantOf(const SECTreeNode* pAncestor) const
{
    for (const SECTreeNode* p = m_pParent; p; p = p->m_pParent)
        if (p == pAncestor)
            return TRUE;
    return FALSE;
}

void SECTreeNode::Unlink()
{
    if (m_pParent) {
        if (m_pParent->m_pFirstChild == this)
            m_pParent->m_pFirstChild = m_pNext;
        if (m_pParent->m_pLastChild == this)
            m_pParent->m_pLastChild = m_pPrev;
    }
    if (m_pPrev)
        m_pPrev->m_pNext = m_pNext;
    if (m_pNext)
        m_pNext->m_pPrev = m_pPrev;
    m_pParent = m_pNext = m_pPrev = nullptr;
}

void SECTreeNode::DeleteAllChildren()
{
    while (m_pFirstChild) {
        SECTreeNode* leaf = m_pFirstChild->GetFirstLeaf();
        leaf->Unlink();
        delete leaf;
    }
}

BOOL SECTreeNode::AddChild(SECTreeNode* pNode, SECTreeNode* pAfter)
{
    if (!pNode)
        return FALSE;
    const auto pos = reinterpret_cast<uintptr_t>(pAfter);
    if (pos == 0) {
        pNode->m_pNext = m_pFirstChild;
        if (m_pFirstChild)
            m_pFirstChild->m_pPrev = pNode;
        m_pFirstChild = pNode;
        if (!m_pLastChild)
            m_pLastChild = pNode;
    } else if (pos == 1 || pos == 2 || pAfter == m_pLastChild) {
        pNode->m_pPrev = m_pLastChild;
        if (m_pLastChild)
            m_pLastChild->m_pNext = pNode;
        else
            m_pFirstChild = pNode;
        m_pLastChild = pNode;
    } else {
        if (pAfter->m_pParent != this)
            return FALSE;
        pNode->m_pPrev = pAfter;
        pNode->m_pNext = pAfter->m_pNext;
        if (pAfter->m_pNext)
            pAfter->m_pNext->m_pPrev = pNode;
        pAfter->m_pNext = pNode;
    }
    pNode->m_pParent = this;
    return TRUE;
}
