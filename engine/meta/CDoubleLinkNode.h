// The category tree of the Classification setting type: named nodes with parent links and an
// owning list of children, stored in the settings file without class headers.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CPtrList.h"
#include "platform/core/CString.h"
#include "platform/core/CTypedPtrArray.h"

class CArchive;
class CDoubleLinkNode;

// An owning list of category nodes: emptying or destroying it deletes every node with its subtree.
class CDoubleLinkNodeCol : public CTypedPtrList<CObList, CDoubleLinkNode*> {
    DECLARE_SERIAL(CDoubleLinkNodeCol)
public:
    CDoubleLinkNodeCol();
    ~CDoubleLinkNodeCol() override;
    CDoubleLinkNodeCol(const CDoubleLinkNodeCol&) = delete;
    CDoubleLinkNodeCol& operator=(const CDoubleLinkNodeCol&) = delete;

    // Deletes every node (each with its subtree) and empties the list; 0.
    UINT DeleteAll();
    // Empties the list, then appends a deep copy of each node of the other list; the copies
    // get the given parent (none with the one-argument form).
    void CopyFrom(const CDoubleLinkNodeCol& other);
    void CopyFrom(const CDoubleLinkNodeCol& other, CDoubleLinkNode* pParent);
    // Appends a new node with that name and no parent; 0.
    UINT AddNew(const CString& strName);
    // Finds the node in this list or, depth first, in any subtree; unlinks and deletes it.
    // 0 when found, 1 otherwise.
    UINT RemoveNode(CDoubleLinkNode* pNode);
    // Follows a ":"-separated path of names, each matched without regard to case; 0 with the
    // node of the last name, 1 when a name is missing or the path is empty.
    UINT FindByPath(const CString& strPath, CDoubleLinkNode*& pNode) const;

    // A 32-bit count, then each node's name and its children's list, recursively. Nodes read
    // back have no parent. Reading replaces the list's contents.
    void Serialize(CArchive& ar) override;

    // Deeper trees are refused when read, so that a hostile file cannot exhaust the stack.
    static constexpr int kMaxDepth = 256;

private:
    friend class CDoubleLinkNode;
    void SerializeLevel(CArchive& ar, int nDepth);
};

class CDoubleLinkNode : public CObject {
    DECLARE_SERIAL(CDoubleLinkNode)
public:
    explicit CDoubleLinkNode(CDoubleLinkNode* pParent = nullptr);
    ~CDoubleLinkNode() override = default;
    CDoubleLinkNode(const CDoubleLinkNode&) = delete;
    CDoubleLinkNode& operator=(const CDoubleLinkNode&) = delete;

    // Copies the name and replaces the children with deep copies whose parent is this node.
    void CopyFrom(const CDoubleLinkNode& other);
    // Appends a node to the children (the list takes it over); 0.
    UINT AddChild(CDoubleLinkNode* pNode);

    // The name, then the children's list.
    void Serialize(CArchive& ar) override;

    CDoubleLinkNode* m_pParent; // not owned
    CString m_strName;
    CDoubleLinkNodeCol m_Children;
    // The tree control item this node was inserted as; the views' business.
    DWORD_PTR m_dwTreeItem = 0;

private:
    friend class CDoubleLinkNodeCol;
    void SerializeLevel(CArchive& ar, int nDepth);
};
