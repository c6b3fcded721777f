#include "engine/meta/CDoubleLinkNode.h"

#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"

#include <memory>

IMPLEMENT_SERIAL(CDoubleLinkNodeCol, CObList, 1)
IMPLEMENT_SERIAL(CDoubleLinkNode, CObject, 1)

CDoubleLinkNodeCol::CDoubleLinkNodeCol() : CTypedPtrList<CObList, CDoubleLinkNode*>(10) {}

CDoubleLinkNodeCol::~CDoubleLinkNodeCol()
{
    DeleteAll();
}

UINT CDoubleLinkNodeCol::DeleteAll()
{
    while (!IsEmpty())
        delete RemoveHead();
    return 0;
}

void CDoubleLinkNodeCol::CopyFrom(const CDoubleLinkNodeCol& other)
{
    CopyFrom(other, nullptr);
}

void CDoubleLinkNodeCol::CopyFrom(const CDoubleLinkNodeCol& other, CDoubleLinkNode* pParent)
{
    if (&other == this)
        return;
    DeleteAll();
    for (POSITION pos = other.GetHeadPosition(); pos != nullptr;) {
        const CDoubleLinkNode* pSource = other.GetNext(pos);
        auto pCopy = std::make_unique<CDoubleLinkNode>(pParent);
        pCopy->CopyFrom(*pSource);
        AddTail(pCopy.release());
    }
}

UINT CDoubleLinkNodeCol::AddNew(const CString& strName)
{
    auto pNode = std::make_unique<CDoubleLinkNode>(nullptr);
    pNode->m_strName = strName;
    AddTail(pNode.release());
    return 0;
}

UINT CDoubleLinkNodeCol::RemoveNode(CDoubleLinkNode* pNode)
{
    if (pNode == nullptr)
        return 1;
    POSITION pos = Find(pNode);
    if (pos != nullptr) {
        RemoveAt(pos);
        delete pNode;
        return 0;
    }
    for (pos = GetHeadPosition(); pos != nullptr;) {
        if (GetNext(pos)->m_Children.RemoveNode(pNode) == 0)
            return 0;
    }
    return 1;
}

UINT CDoubleLinkNodeCol::FindByPath(const CString& strPath, CDoubleLinkNode*& pNode) const
{
    if (strPath.IsEmpty())
        return 1;
    const int nColon = strPath.Find(':');
    const CString strFirst = nColon < 0 ? strPath : strPath.Left(nColon);
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        CDoubleLinkNode* pCandidate = GetNext(pos);
        if (pCandidate->m_strName.CompareNoCase(strFirst) != 0)
            continue;
        if (nColon < 0) {
            pNode = pCandidate;
            return 0;
        }
        // The rest is looked up one level down; an empty rest (a trailing colon) finds nothing.
        return pCandidate->m_Children.FindByPath(strPath.Mid(nColon + 1), pNode);
    }
    return 1;
}

void CDoubleLinkNodeCol::Serialize(CArchive& ar)
{
    SerializeLevel(ar, 0);
}

void CDoubleLinkNodeCol::SerializeLevel(CArchive& ar, int nDepth)
{
    if (nDepth > kMaxDepth)
        AfxThrowArchiveException(CArchiveException::genericException);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(GetCount());
        for (POSITION pos = GetHeadPosition(); pos != nullptr;)
            GetNext(pos)->SerializeLevel(ar, nDepth);
        return;
    }
    DeleteAll();
    DWORD nCount = 0;
    ar >> nCount;
    // Nodes are read one by one; a count larger than the data runs into the end of the
    // archive rather than into a large allocation.
    for (DWORD i = 0; i < nCount; ++i) {
        auto pNode = std::make_unique<CDoubleLinkNode>(nullptr);
        pNode->SerializeLevel(ar, nDepth);
        AddTail(pNode.release());
    }
}

CDoubleLinkNode::CDoubleLinkNode(CDoubleLinkNode* pParent) : m_pParent(pParent) {}

void CDoubleLinkNode::CopyFrom(const CDoubleLinkNode& other)
{
    if (&other == this)
        return;
    m_strName = other.m_strName;
    m_Children.CopyFrom(other.m_Children, this);
}

UINT CDoubleLinkNode::AddChild(CDoubleLinkNode* pNode)
{
    m_Children.AddTail(pNode);
    return 0;
}

void CDoubleLinkNode::Serialize(CArchive& ar)
{
    SerializeLevel(ar, 0);
}

void CDoubleLinkNode::SerializeLevel(CArchive& ar, int nDepth)
{
    if (ar.IsStoring())
        ar << m_strName;
    else
        ar >> m_strName;
    m_Children.SerializeLevel(ar, nDepth + 1);
}
