#include "engine/project/CPageNode.h"

#include "engine/meta/CMetaContentList.h"

CPageNode::CPageNode() = default;

CPageNode::~CPageNode()
{
    m_Children.DeleteAll();
}

void CPageNode::CopyFrom(const CPageNode& other)
{
    if (&other == this)
        return;
    m_strTitle = other.m_strTitle;
    m_bTitleEdited = other.m_bTitleEdited;
    m_strName = other.m_strName;
    m_nKind = other.m_nKind;
    m_pParent = other.m_pParent;
    m_dwViewWord = other.m_dwViewWord;
    for (POSITION pos = other.m_Children.GetHeadPosition(); pos != nullptr;) {
        const CPageNode* pSource = other.m_Children.GetNext(pos);
        auto pCopy = std::make_unique<CPageNode>();
        pCopy->CopyFrom(*pSource);
        // The copy belongs to the new tree: its parent is this node, not the source's node.
        pCopy->m_pParent = this;
        m_Children.AddTail(pCopy.release());
    }
}

UINT CPageNode::AddChild(CPageNode* pNode)
{
    m_Children.AddTail(pNode);
    return 0;
}

UINT CPageNode::GetFullPath(CString& strPath) const
{
    strPath = m_strFolder;
    const int nLength = m_strFolder.GetLength();
    if (nLength > 0 && m_strFolder[nLength - 1] != '/')
        strPath += '/';
    strPath += m_strName;
    return 0;
}

CString CPageNode::GetSitePath() const
{
    // The project folder is the folder node right below the root; the path starts beneath it.
    CString strPath = m_strName;
    for (const CPageNode* pNode = m_pParent; pNode != nullptr && pNode->m_nKind != kindRoot; pNode = pNode->m_pParent) {
        if (pNode->m_pParent == nullptr || pNode->m_pParent->m_nKind == kindRoot)
            break;
        strPath = pNode->m_strName + "/" + strPath;
    }
    return strPath;
}

UINT CPageNode::GetModifiedContents(CMetaContentList& list) const
{
    if (!m_pContents)
        return 1;
    UINT nResult = 1;
    for (POSITION pos = m_pContents->GetHeadPosition(); pos != nullptr;) {
        CMetaContent* pContent = m_pContents->GetNext(pos);
        if (pContent->GetModified()) {
            list.AddTail(pContent);
            nResult = 0;
        }
    }
    return nResult;
}

UINT CPageNode::GetEditState() const
{
    if (!IsRead())
        return 3;
    if (m_bTitleEdited)
        return 2;
    if (m_pContents && m_pContents->GetState() == 2)
        return 2;
    return 3;
}

UINT CPageNode::GetCellState() const
{
    if (!m_pContents)
        return 1;
    if (m_pContents->GetState() == 2 && IsRead())
        return 2;
    return GetScanState();
}

UINT CPageNode::GetContentList(CMetaContentList*& pList) const
{
    if (!m_pContents)
        return 1;
    pList = m_pContents.get();
    return 0;
}

UINT CPageNode::CreateContentList(CMetaContentList*& pList)
{
    m_pContents = std::make_unique<CMetaContentList>(TRUE);
    pList = m_pContents.get();
    return 0;
}
