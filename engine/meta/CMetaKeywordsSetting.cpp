#include "engine/meta/CMetaKeywordsSetting.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/IMetaDialogs.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CVostrelAppModel.h"

IMPLEMENT_SERIAL(CMetaKeywordsSetting, CMetaSetting, 1)

CMetaKeywordsSetting::CMetaKeywordsSetting()
{
    m_nType = kMetaTypeKeywords;
    m_strName = "Keywords";
    m_bShow = 1;
    m_bHttpEquiv = 0;
    m_bFixedSyntax = 1;
    m_bNameFixed = 0;
    m_strDescription = "Provides keywords for search engines such as Infoseek or Alta Vista. These are added "
                       "to the keywords found in the document itself.";
}

UINT CMetaKeywordsSetting::GetTypeName(CString& strTypeName) const
{
    strTypeName = "Keywords Type";
    return 0;
}

std::unique_ptr<CMetaSetting> CMetaKeywordsSetting::Clone() const
{
    return std::make_unique<CMetaKeywordsSetting>();
}

UINT CMetaKeywordsSetting::SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow)
{
    if (pView != nullptr && nLastRow >= 1)
        pView->SetHotspotCell(1, m_nColumn, nLastRow, m_nColumn);
    return 0;
}

UINT CMetaKeywordsSetting::EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD dwContext,
                                     CMetaContent* pContent)
{
    if (pContent == nullptr)
        return 1;
    const CString strOld = pContent->GetContent();
    CString strText;
    if (!GetAppModel().GetDialogs().EditKeywords(dwContext, m_strName, *pContent, strText))
        return 1;
    return TakeDialogValue(pView, nRow, nCol, *pContent, strOld, strText);
}

UINT CMetaKeywordsSetting::DoGroupAction(IGroupView* pView, const CGXRangeList* pRanges, ROWCOL nCol,
                                         CSelNodesCol* pPages)
{
    int nAction = 0;
    if (!GetAppModel().GetDialogs().ChooseGroupKeywordsAction(nAction) || pView == nullptr || pPages == nullptr)
        return 2;
    if (nAction != 0 && nAction != 1)
        return 2;
    // The column's header names the setting it shows.
    CString strName;
    pView->GetCellText(0, nCol, strName);
    GroupActionOutcome outcome;
    outcome.nAction = nAction;
    const auto nPages = static_cast<UINT>(pPages->GetCount());
    UINT nDone = 0;
    for (POSITION pos = pPages->GetHeadPosition(); pos != nullptr; ++nDone) {
        // A stopped action tells nothing: the view gives every page back.
        if (!pView->GoOnWithGroupAction(nDone, nPages))
            return 2;
        CPageNode* pPage = pPages->GetNext(pos);
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        // A page without suggestions is left alone: replacing its keywords by nothing would
        // throw the user's keywords away.
        if (pPage->GetContentList(pList) != 0 || pList->FindByName(strName, pContent) != 0
            || pContent->Suggestions().IsEmpty()) {
            ++outcome.nWithout;
            continue;
        }
        const CString strBefore = pContent->GetContent();
        if (nAction == 0) {
            const CStringListWrapper& suggestions = pContent->Suggestions();
            for (POSITION posItem = suggestions.GetHeadPosition(); posItem != nullptr;)
                pContent->AddItem(suggestions.GetNext(posItem));
        } else {
            pContent->ResetToSuggestions();
        }
        if (pContent->GetContent() == strBefore)
            ++outcome.nAlready;
        else
            ++outcome.nChanged;
        ROWCOL nRow = 0;
        if (pView->FindRowOfPage(pRanges, pPage, nRow) == 0)
            pView->SetCellValue(nRow, nCol, pContent->GetContent());
    }
    pView->NoteGroupActionOutcome(outcome);
    return 2;
}

UINT CMetaKeywordsSetting::GetGroupActionState()
{
    return 2;
}
