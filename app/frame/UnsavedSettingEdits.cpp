#include "app/frame/UnsavedSettingEdits.h"

#include "app/views/CGroupView.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CScanNameLookup.h"

#include <map>

namespace {

// Calls back with each page that has modified contents and the list of them (borrowed).
template <class Visit>
void ForEachEditedPage(const CPageNodeCol& pages, Visit visit)
{
    CTypedPtrList<CPtrList, CPageNode*> edited;
    pages.CollectEditedPages(edited);
    for (POSITION pos = edited.GetHeadPosition(); pos != nullptr;) {
        CPageNode* pPage = edited.GetNext(pos);
        CMetaContentList modified(FALSE);
        if (pPage->GetModifiedContents(modified) == 0)
            visit(pPage, modified);
    }
}

} // namespace

std::vector<std::pair<CString, UINT>> UnsavedEditsBySetting(const CPageNodeCol& pages, CMetaSettingList& catalogue)
{
    CScanNameLookup names(catalogue);
    std::map<const CMetaSetting*, UINT> counts;
    ForEachEditedPage(pages, [&](CPageNode*, const CMetaContentList& modified) {
        for (POSITION pos = modified.GetHeadPosition(); pos != nullptr;)
            if (const CMetaSetting* pSetting = names.FindSetting(modified.GetNext(pos)->GetName()))
                ++counts[pSetting];
    });
    std::vector<std::pair<CString, UINT>> edits;
    for (POSITION pos = catalogue.GetHeadPosition(); pos != nullptr && !counts.empty();) {
        const CMetaSetting* pSetting = catalogue.GetNext(pos);
        if (const auto found = counts.find(pSetting); found != counts.end())
            edits.emplace_back(pSetting->Name(), found->second);
    }
    return edits;
}

size_t DropEditsWithoutSetting(const CPageNodeCol& pages, CMetaSettingList& catalogue, CGroupView* pView)
{
    CScanNameLookup names(catalogue);
    size_t nPages = 0;
    ForEachEditedPage(pages, [&](CPageNode* pPage, const CMetaContentList& modified) {
        std::vector<CMetaContent*> dropped;
        for (POSITION pos = modified.GetHeadPosition(); pos != nullptr;) {
            CMetaContent* pContent = modified.GetNext(pos);
            if (names.FindSetting(pContent->GetName()) == nullptr)
                dropped.push_back(pContent);
        }
        CMetaContentList* pList = nullptr;
        pPage->GetContentList(pList);
        for (CMetaContent* pContent : dropped) {
            // Given back, a content the edit made is deleted; one the scan had marked keeps no mark.
            const CString strName = pContent->GetName();
            if (pView != nullptr)
                pView->GiveBackOriginal(pPage, strName);
            CMetaContent* pLeft = nullptr;
            if (pList != nullptr && pList->FindByName(strName, pLeft) == 0)
                pLeft->SetModified(0);
        }
        nPages += dropped.empty() ? 0 : 1;
    });
    return nPages;
}
