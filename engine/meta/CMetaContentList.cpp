#include "engine/meta/CMetaContentList.h"

#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CVostrelAppModel.h"

#include <memory>

CMetaContentList::CMetaContentList(BOOL bOwnsItems)
    : CTypedPtrList<CObList, CMetaContent*>(10), m_bOwnsItems(bOwnsItems)
{
}

CMetaContentList::~CMetaContentList()
{
    if (m_bOwnsItems)
        DeleteAll();
}

void CMetaContentList::DeleteAll()
{
    while (!IsEmpty())
        delete RemoveHead();
}

UINT CMetaContentList::FindByName(const CString& strName, CMetaContent*& pContent) const
{
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        CMetaContent* pCandidate = GetNext(pos);
        if (pCandidate->GetName().CompareNoCase(strName) == 0) {
            pContent = pCandidate;
            return 0;
        }
    }
    return 1;
}

UINT CMetaContentList::AddContent(const CString& strName, const CString& strText, UINT bModified,
                                  CMetaContent*& pContent)
{
    auto pNew = std::make_unique<CMetaContent>();
    pNew->SetName(strName);
    pNew->SetContent(strText);
    pNew->SetModified(bModified);
    // Callers give names the catalogue holds; a name it lacks is kept as an undefined tag
    // rather than taking whatever type id happened to be left over.
    UINT nType = kMetaTypeUndefined;
    CMetaSettingList* pCatalogue = nullptr;
    GetAppModel().GetMetaSettingList(pCatalogue);
    CMetaSetting* pSetting = nullptr;
    if (pCatalogue != nullptr && pCatalogue->FindByName(strName, pSetting) == 0)
        pSetting->GetType(nType);
    pNew->SetType(nType);
    pContent = pNew.get();
    AddTail(pNew.release());
    return 0;
}

UINT CMetaContentList::GetState() const
{
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        if (GetNext(pos)->GetModified())
            return 2;
    }
    return 3;
}

void CMetaContentList::CopyFrom(const CMetaContentList& other)
{
    if (&other == this)
        return;
    // A borrowing list must not delete contents that belong to a page.
    if (m_bOwnsItems)
        DeleteAll();
    else
        RemoveAll();
    for (POSITION pos = other.GetHeadPosition(); pos != nullptr;) {
        auto pCopy = std::make_unique<CMetaContent>();
        pCopy->CopyFrom(*other.GetNext(pos));
        AddTail(pCopy.release());
    }
    // The copies were made here and nobody else holds them, so this list owns them even when
    // the other list only borrowed its contents; otherwise they would leak.
    m_bOwnsItems = TRUE;
}

UINT CMetaContentList::SetModifiedAll(UINT bModified)
{
    for (POSITION pos = GetHeadPosition(); pos != nullptr;)
        GetNext(pos)->SetModified(bModified);
    return 0;
}
