#include "toolkit/docking/SECPersistentTreeNode.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_DYNCREATE(SECPersistentTreeNode, CObject)

namespace {

constexpr int kPieceLength = 250;

} // namespace

// ---- Factory ----

SECPTNFactory::~SECPTNFactory()
{
    while (!m_objects.IsEmpty())
        delete static_cast<CObject*>(m_objects.RemoveHead());
}

CObject* SECPTNFactory::CreateObject(CRuntimeClass* pClass)
{
    if (!pClass)
        return nullptr;
    CObject* object = pClass->CreateObject();
    if (object)
        m_objects.AddTail(object);
    return object;
}

SECPersistentTreeNode* SECPTNFactory::CreateNode(const CString& strName, SECPersistentTreeNode* pParent)
{
    return CreateNode(strName, pParent, RUNTIME_CLASS(SECPersistentTreeNode));
}

SECPersistentTreeNode* SECPTNFactory::CreateNode(const CString& strName, SECPersistentTreeNode* pParent,
                                                 CRuntimeClass* pClass)
{
    CObject* object = CreateObject(pClass);
    if (!object)
        return nullptr;
    if (!object->IsKindOf(RUNTIME_CLASS(SECPersistentTreeNode))) {
        DestroyObject(object);
        return nullptr;
    }
    auto* node = static_cast<SECPersistentTreeNode*>(object);
    if (node->Init(strName, pParent) != 0) {
        DestroyObject(object);
        return nullptr;
    }
    return node;
}

void SECPTNFactory::DestroyObject(CObject* pObject)
{
    if (POSITION pos = m_objects.Find(pObject)) {
        m_objects.RemoveAt(pos);
        delete pObject;
    }
}

// ---- Node ----

SECPersistentTreeNode::~SECPersistentTreeNode() = default;

int SECPersistentTreeNode::Init(const CString& strName, SECPersistentTreeNode* pParent)
{
    int result = m_bInit ? SEC_PTN_ALREADY_INIT : 0;
    if (strName.IsEmpty())
        result |= SEC_PTN_BAD_NAME;
    if (result)
        return result;
    m_strName = strName;
    m_pParent = pParent;
    if (pParent) {
        const int added = pParent->AddChild(this);
        if (added & SEC_PTN_CHILD_EXISTS)
            return SEC_PTN_CHILD_EXISTS;
        if (added)
            return SEC_PTN_FAILED;
    }
    m_bInit = TRUE;
    return 0;
}

int SECPersistentTreeNode::AddChild(SECPersistentTreeNode* pNode)
{
    if (!m_bInit)
        return SEC_PTN_NOT_INIT;
    if (!pNode)
        return SEC_PTN_BAD_NAME;
    if (FindChild(pNode->m_strName))
        return SEC_PTN_CHILD_EXISTS;
    m_children.push_back(pNode);
    return 0;
}

SECPersistentTreeNode* SECPersistentTreeNode::FindChild(const CString& strName) const
{
    if (strName.IsEmpty())
        return nullptr;
    for (SECPersistentTreeNode* child : m_children)
        if (child->m_strName == strName)
            return child;
    return nullptr;
}

SECPersistentTreeNode::SECPersTreeNodeKeyValuePair* SECPersistentTreeNode::FindPair(const CString& strKey) const
{
    if (strKey.IsEmpty())
        return nullptr;
    for (const auto& pair : m_pairs)
        if (pair->m_strKey == strKey)
            return pair.get();
    return nullptr;
}

int SECPersistentTreeNode::SetValue(const CString& strKey, const CString& strValue, BOOL bOverwrite)
{
    int result = m_bInit ? 0 : SEC_PTN_NOT_INIT;
    if (strKey.IsEmpty())
        result |= SEC_PTN_BAD_KEY;
    SECPersTreeNodeKeyValuePair* pair = FindPair(strKey);
    if (pair && !bOverwrite)
        result |= SEC_PTN_KEY_EXISTS;
    if (result)
        return result;
    if (pair)
        pair->m_strValue = strValue;
    else
        m_pairs.push_back(std::make_unique<SECPersTreeNodeKeyValuePair>(strKey, strValue));
    return 0;
}

int SECPersistentTreeNode::SetValue(const CString& strKey, int nValue, BOOL bOverwrite)
{
    CString text;
    text.Format("%d", nValue);
    return SetValue(strKey, text, bOverwrite);
}

int SECPersistentTreeNode::SetBoolValue(const CString& strKey, BOOL bValue, BOOL bOverwrite)
{
    return SetValue(strKey, CString(bValue ? "True" : "False"), bOverwrite);
}

CString SECPersistentTreeNode::Encode(const BYTE* pData, UINT nSize)
{
    std::string text;
    text.reserve(static_cast<size_t>(nSize) * 2);
    for (UINT i = 0; i < nSize; ++i) {
        text += static_cast<char>('A' + (pData[i] & 0x0F));
        text += static_cast<char>('A' + (pData[i] >> 4));
    }
    return CString(text.c_str());
}

BOOL SECPersistentTreeNode::Decode(const CString& strText, std::vector<BYTE>& out)
{
    const int length = strText.GetLength();
    out.clear();
    if (length == 0 || length % 2 != 0)
        return FALSE;
    LPCSTR text = strText;
    out.reserve(static_cast<size_t>(length) / 2);
    for (int i = 0; i < length; i += 2) {
        const int lo = static_cast<unsigned char>(text[i]);
        const int hi = static_cast<unsigned char>(text[i + 1]);
        // Only 'A' to 'P' are letters of the encoding; anything else is not ours to decode.
        if (lo < 'A' || lo > 'P' || hi < 'A' || hi > 'P')
            return FALSE;
        out.push_back(static_cast<BYTE>((hi * 16 + lo - 'Q') % 256));
    }
    return TRUE;
}

int SECPersistentTreeNode::SetBinary(const CString& strKey, const BYTE* pData, UINT nSize, BOOL bOverwrite)
{
    if (!pData)
        return SEC_PTN_NO_BUFFER;
    const CString text = Encode(pData, nSize);
    if (nSize > 0 && text.IsEmpty())
        return SEC_PTN_ENCODE_FAILED;
    if (text.GetLength() <= kPieceLength)
        return SetValue(strKey, text, bOverwrite);
    const int pieces = (text.GetLength() + kPieceLength - 1) / kPieceLength;
    if (int result = SetValue(strKey + "_BinCount", pieces, TRUE))
        return result;
    for (int i = 0; i < pieces; ++i) {
        CString key;
        key.Format("%s%s%d", static_cast<LPCSTR>(strKey), "_BinVal", i);
        if (int result = SetValue(key, text.Mid(i * kPieceLength, kPieceLength), TRUE))
            return result;
    }
    return 0;
}

int SECPersistentTreeNode::GetValue(const CString& strKey, CString& strOut, const CString& strDefault)
{
    strOut = strDefault;
    if (SECPersTreeNodeKeyValuePair* pair = FindPair(strKey)) {
        strOut = pair->m_strValue;
        return 0;
    }
    return SEC_PTN_KEY_NOT_FOUND;
}

int SECPersistentTreeNode::GetValue(const CString& strKey, int* pOut, int nDefault)
{
    if (!pOut)
        return SEC_PTN_NO_BUFFER;
    *pOut = nDefault;
    CString text;
    const int result = GetValue(strKey, text, CString());
    if (result == 0)
        *pOut = std::atoi(text);
    return result;
}

int SECPersistentTreeNode::GetValue(const CString& strKey, UINT* pOut, UINT nDefault)
{
    if (!pOut)
        return SEC_PTN_NO_BUFFER;
    *pOut = nDefault;
    CString text;
    const int result = GetValue(strKey, text, CString());
    if (result == 0)
        *pOut = static_cast<UINT>(std::atoi(text));
    return result;
}

int SECPersistentTreeNode::GetValue(const CString& strKey, long* pOut, long nDefault)
{
    if (!pOut)
        return SEC_PTN_NO_BUFFER;
    *pOut = nDefault;
    CString text;
    const int result = GetValue(strKey, text, CString());
    if (result == 0)
        *pOut = std::atol(text);
    return result;
}

int SECPersistentTreeNode::GetBoolValue(const CString& strKey, BOOL* pOut, BOOL bDefault)
{
    if (!pOut)
        return SEC_PTN_NO_BUFFER;
    *pOut = bDefault;
    CString text;
    const int result = GetValue(strKey, text, CString());
    if (result == 0) {
        text.MakeUpper();
        *pOut = text == "TRUE";
    }
    return result;
}

int SECPersistentTreeNode::GetBinary(const CString& strKey, BYTE** ppOut, UINT* pSize)
{
    if (!ppOut)
        return SEC_PTN_NO_BUFFER;
    *ppOut = nullptr;
    if (pSize)
        *pSize = 0;
    CString text;
    int count = 0;
    if (GetValue(strKey + "_BinCount", &count, 0) == 0) {
        for (int i = 0; i < count; ++i) {
            CString key, piece;
            key.Format("%s%s%d", static_cast<LPCSTR>(strKey), "_BinVal", i);
            if (GetValue(key, piece, CString()) == 0)
                text += piece;
        }
    } else if (int result = GetValue(strKey, text, CString())) {
        return result;
    }
    std::vector<BYTE> bytes;
    if (text.IsEmpty() || !Decode(text, bytes))
        return SEC_PTN_FAILED;
    *ppOut = new BYTE[bytes.size()];
    std::copy(bytes.begin(), bytes.end(), *ppOut);
    if (pSize)
        *pSize = static_cast<UINT>(bytes.size());
    return 0;
}

void SECPersistentTreeNode::GetPath(CStringList& path) const
{
    for (const SECPersistentTreeNode* node = this; node; node = node->m_pParent)
        path.AddTail(node->m_strName);
}

void SECPersistentTreeNode::GetChildNames(CStringList& names) const
{
    for (const SECPersistentTreeNode* child : m_children)
        names.AddTail(child->m_strName);
}

BOOL SECPersistentTreeNode::Save(SECPTNStorage* pStorage)
{
    if (!m_bInit || !pStorage)
        return FALSE;
    CStringList path;
    GetPath(path);
    pStorage->BeginNode(path);
    for (const auto& pair : m_pairs)
        pStorage->WriteValue(path, pair->m_strKey, pair->m_strValue);
    CStringList names;
    GetChildNames(names);
    pStorage->WriteChildren(path, names);
    BOOL ok = TRUE;
    for (SECPersistentTreeNode* child : m_children)
        if (!child->Save(pStorage))
            ok = FALSE;
    return ok;
}

BOOL SECPersistentTreeNode::Load(SECPTNStorage* pStorage)
{
    if (!m_bInit || !pStorage)
        return FALSE;
    CStringList path, children, keys, values;
    GetPath(path);
    if (!pStorage->ReadNode(path, children, keys, values))
        return FALSE;
    POSITION k = keys.GetHeadPosition();
    POSITION v = values.GetHeadPosition();
    while (k && v)
        SetValue(keys.GetNext(k), values.GetNext(v), TRUE);
    for (POSITION c = children.GetHeadPosition(); c;) {
        const CString name = children.GetNext(c);
        // A child read again replaces nothing: one already here keeps its place.
        SECPersistentTreeNode* child = FindChild(name);
        if (!child)
            child = m_factory.CreateNode(name, this);
        if (child)
            child->Load(pStorage);
    }
    return TRUE;
}
