// The tree collection that layout nodes are made of: an ordered list of child pointers and a
// parent pointer, with iterators over the direct children and over a whole subtree (children
// first, the subtree's root last).
#pragma once

#include "platform/core/CArray.h"

template <class T>
class ICollection_T {
public:
    virtual ~ICollection_T() = default;
    virtual int GetChildCount(BOOL bDeep = FALSE) const = 0;
    virtual T GetAt(POSITION pos) const = 0;
    virtual POSITION GetHeadPosition() const = 0;
    virtual POSITION GetTailPosition() const = 0;
    virtual POSITION GetNextPosition(POSITION pos) const = 0;
    virtual POSITION GetPrevPosition(POSITION pos) const = 0;
};

template <class T>
class ITreeCollection_T : public ICollection_T<T> {
public:
    virtual T GetParent() const = 0;
};

template <class T>
class IComposite_T {
public:
    virtual ~IComposite_T() = default;
    virtual POSITION AddChild(T child) = 0;
    virtual POSITION InsertChildAfter(T child, POSITION pos) = 0;
    virtual BOOL RemoveChild(T child) = 0;
    virtual BOOL RemoveChildAt(POSITION pos) = 0;
    virtual BOOL FindChild(T child, POSITION& pos) const = 0;
    virtual void SetParent(T newParent, BOOL bUpdate) = 0;
};

// Node is the concrete class deriving from SECComposite_T<Node>; the tree holds Node pointers.
template <class Node>
class SECComposite_T : public ITreeCollection_T<Node*>, public IComposite_T<Node*> {
public:
    SECComposite_T() : m_children(10) {}
    ~SECComposite_T() override = default;
    SECComposite_T(const SECComposite_T&) = delete;
    SECComposite_T& operator=(const SECComposite_T&) = delete;

    int GetChildCount(BOOL bDeep = FALSE) const override
    {
        int n = static_cast<int>(m_children.GetCount());
        if (bDeep) {
            for (POSITION pos = m_children.GetHeadPosition(); pos != nullptr;)
                n += m_children.GetNext(pos)->GetChildCount(TRUE);
        }
        return n;
    }
    Node* GetAt(POSITION pos) const override { return pos ? m_children.GetAt(pos) : nullptr; }
    POSITION AddChild(Node* child) override
    {
        if (child == nullptr)
            return nullptr;
        POSITION pos = m_children.AddTail(child);
        child->SetParent(Self(), FALSE);
        return pos;
    }
    POSITION InsertChildAfter(Node* child, POSITION pos) override
    {
        if (child == nullptr)
            return nullptr;
        POSITION at = pos ? m_children.InsertAfter(pos, child) : m_children.AddHead(child);
        child->SetParent(Self(), FALSE);
        return at;
    }
    BOOL RemoveChild(Node* child) override
    {
        POSITION pos = nullptr;
        return FindChild(child, pos) ? RemoveChildAt(pos) : FALSE;
    }
    BOOL RemoveChildAt(POSITION pos) override
    {
        if (pos == nullptr)
            return FALSE;
        Node* child = m_children.GetAt(pos);
        m_children.RemoveAt(pos);
        if (child != nullptr)
            child->SetParent(nullptr, FALSE);
        return TRUE;
    }
    BOOL FindChild(Node* child, POSITION& pos) const override
    {
        pos = child ? m_children.Find(child) : nullptr;
        return pos != nullptr;
    }
    POSITION GetHeadPosition() const override { return m_children.GetHeadPosition(); }
    POSITION GetTailPosition() const override { return m_children.GetTailPosition(); }
    POSITION GetNextPosition(POSITION pos) const override
    {
        if (pos == nullptr)
            return nullptr;
        m_children.GetNext(pos);
        return pos;
    }
    POSITION GetPrevPosition(POSITION pos) const override
    {
        if (pos == nullptr)
            return nullptr;
        m_children.GetPrev(pos);
        return pos;
    }
    // With bUpdate the node leaves its old parent's children and joins the new parent's.
    void SetParent(Node* newParent, BOOL bUpdate) override
    {
        if (bUpdate) {
            if (m_parent != nullptr) {
                POSITION pos = nullptr;
                if (m_parent->FindChild(Self(), pos))
                    m_parent->m_children.RemoveAt(pos);
            }
            if (newParent != nullptr)
                newParent->m_children.AddTail(Self());
        }
        m_parent = newParent;
    }
    Node* GetParent() const override { return m_parent; }

protected:
    Node* Self() { return static_cast<Node*>(this); }

    CList<Node*, Node*> m_children;
    Node* m_parent = nullptr;
};

// Walks the direct children of a node in list order.
template <class Node>
class Iterator_T {
public:
    explicit Iterator_T(const Node* node) : m_node(node), m_pos(node ? node->GetHeadPosition() : nullptr) {}
    Node* Next()
    {
        if (m_pos == nullptr)
            return nullptr;
        Node* child = m_node->GetAt(m_pos);
        m_pos = m_node->GetNextPosition(m_pos);
        return child;
    }

private:
    const Node* m_node;
    POSITION m_pos;
};

// Walks a whole subtree children first: the leftmost leaf, then the next sibling's leftmost
// leaf or the parent, ending with the subtree's root.
template <class Node>
class IteratorPreOrder_T {
public:
    explicit IteratorPreOrder_T(Node* root) : m_root(root), m_next(root ? LeftmostLeaf(root) : nullptr) {}
    Node* Next()
    {
        Node* current = m_next;
        if (current == nullptr)
            return nullptr;
        if (current == m_root) {
            m_next = nullptr;
            return current;
        }
        Node* parent = current->GetParent();
        POSITION pos = nullptr;
        if (parent != nullptr && parent->FindChild(current, pos)) {
            pos = parent->GetNextPosition(pos);
            m_next = pos ? LeftmostLeaf(parent->GetAt(pos)) : parent;
        } else {
            m_next = nullptr;   // a node unlinked while walking ends the walk
        }
        return current;
    }

private:
    static Node* LeftmostLeaf(Node* node)
    {
        while (node->GetChildCount() > 0)
            node = node->GetAt(node->GetHeadPosition());
        return node;
    }

    Node* m_root;
    Node* m_next;
};
