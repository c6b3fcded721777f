// SECPersistentTreeNode: a named node of a tree of string keys and values that hands state to a
// storage back end as one structure. Integers are kept in decimal, booleans as "True"/"False",
// binary data as letters 'A' to 'P', split into pieces when long. SECPTNFactory makes and owns
// nodes; the back end (SECPTNStorage) walks the tree.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CPtrList.h"
#include "platform/core/CString.h"

#include <memory>
#include <vector>

class SECPersistentTreeNode;

// Result codes of the node operations (several may be combined); 0 is success.
enum : int {
    SEC_PTN_ALREADY_INIT = 1,
    SEC_PTN_NOT_INIT = 2,
    SEC_PTN_BAD_NAME = 4,
    SEC_PTN_BAD_KEY = 8,
    SEC_PTN_KEY_EXISTS = 16,
    SEC_PTN_CHILD_EXISTS = 32,
    SEC_PTN_KEY_NOT_FOUND = 64,
    SEC_PTN_NO_BUFFER = 128,
    SEC_PTN_ENCODE_FAILED = 256,
    SEC_PTN_FAILED = 0xFFFF,
};

// What a storage back end offers the tree. A path is the node's name followed by the names of
// its ancestors up to the root.
class SECPTNStorage {
public:
    virtual ~SECPTNStorage() = default;
    virtual BOOL BeginNode(const CStringList& path) = 0;
    virtual BOOL WriteValue(const CStringList& path, const CString& key, const CString& value) = 0;
    virtual BOOL WriteChildren(const CStringList& path, const CStringList& children) = 0;
    virtual BOOL ReadNode(const CStringList& path, CStringList& children, CStringList& keys, CStringList& values) = 0;
};

// Makes nodes and other objects by class, and deletes what it made when it goes.
class SECPTNFactory {
public:
    SECPTNFactory() = default;
    ~SECPTNFactory();
    SECPTNFactory(const SECPTNFactory&) = delete;
    SECPTNFactory& operator=(const SECPTNFactory&) = delete;

    CObject* CreateObject(CRuntimeClass* pClass);
    SECPersistentTreeNode* CreateNode(const CString& strName, SECPersistentTreeNode* pParent);
    SECPersistentTreeNode* CreateNode(const CString& strName, SECPersistentTreeNode* pParent, CRuntimeClass* pClass);
    void DestroyObject(CObject* pObject);

private:
    CPtrList m_objects;
};

class SECPersistentTreeNode : public CObject {
    DECLARE_DYNCREATE(SECPersistentTreeNode)
public:
    SECPersistentTreeNode() = default;
    ~SECPersistentTreeNode() override;

    class SECPersTreeNodeKeyValuePair : public CObject {
    public:
        SECPersTreeNodeKeyValuePair(const CString& key, const CString& value) : m_strKey(key), m_strValue(value) {}
        CString m_strKey;
        CString m_strValue;
    };

    virtual int Init(const CString& strName, SECPersistentTreeNode* pParent);
    virtual int SetValue(const CString& strKey, int nValue, BOOL bOverwrite = TRUE);
    virtual int SetValue(const CString& strKey, const CString& strValue, BOOL bOverwrite = TRUE);
    virtual int SetBoolValue(const CString& strKey, BOOL bValue, BOOL bOverwrite = TRUE);
    virtual int SetBinary(const CString& strKey, const BYTE* pData, UINT nSize, BOOL bOverwrite = TRUE);
    virtual int GetValue(const CString& strKey, CString& strOut, const CString& strDefault = CString());
    virtual int GetValue(const CString& strKey, int* pOut, int nDefault);
    // UINT and DWORD are one type here: this reads both.
    virtual int GetValue(const CString& strKey, UINT* pOut, UINT nDefault);
    virtual int GetValue(const CString& strKey, long* pOut, long nDefault);
    virtual int GetBoolValue(const CString& strKey, BOOL* pOut, BOOL bDefault);
    // The caller frees *ppOut with delete[].
    virtual int GetBinary(const CString& strKey, BYTE** ppOut, UINT* pSize);
    virtual BOOL Save(SECPTNStorage* pStorage);
    virtual BOOL Load(SECPTNStorage* pStorage);
    virtual int AddChild(SECPersistentTreeNode* pNode);

    SECPersistentTreeNode* FindChild(const CString& strName) const;
    SECPersTreeNodeKeyValuePair* FindPair(const CString& strKey) const;
    void GetPath(CStringList& path) const;
    void GetChildNames(CStringList& names) const;

    const CString& GetName() const { return m_strName; }
    SECPersistentTreeNode* GetParent() const { return m_pParent; }
    BOOL IsInitialised() const { return m_bInit; }
    // The pairs in insertion order.
    const std::vector<std::unique_ptr<SECPersTreeNodeKeyValuePair>>& GetPairs() const { return m_pairs; }

    // Each byte as two letters, low half first; FALSE when the text cannot be decoded.
    static CString Encode(const BYTE* pData, UINT nSize);
    static BOOL Decode(const CString& strText, std::vector<BYTE>& out);

private:
    CString m_strName;
    SECPersistentTreeNode* m_pParent = nullptr;
    SECPTNFactory m_factory;
    std::vector<SECPersistentTreeNode*> m_children;   // not owned
    std::vector<std::unique_ptr<SECPersTreeNodeKeyValuePair>> m_pairs;
    BOOL m_bInit = FALSE;
};
