#include "engine/meta/CMetaClassificationSetting.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/IMetaDialogs.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CMetaClassificationSetting, CMetaSetting, 1)

CMetaClassificationSetting::CMetaClassificationSetting()
{
    m_nType = kMetaTypeClassification;
    m_Tree.AddNew("Root");
    auto pFolder1 = std::make_unique<CDoubleLinkNode>(m_Tree.GetHead());
    pFolder1->m_strName = "Folder1";
    auto pFolder2 = std::make_unique<CDoubleLinkNode>(pFolder1.get());
    pFolder2->m_strName = "Folder2";
    pFolder1->AddChild(pFolder2.release());
    m_Tree.GetHead()->AddChild(pFolder1.release());
}

void CMetaClassificationSetting::Serialize(CArchive& ar)
{
    CMetaSetting::Serialize(ar);
    m_Tree.Serialize(ar);
}

UINT CMetaClassificationSetting::GetTypeName(CString& strTypeName) const
{
    strTypeName = "Classification";
    return 0;
}

std::unique_ptr<CMetaSetting> CMetaClassificationSetting::Clone() const
{
    return std::make_unique<CMetaClassificationSetting>();
}

void CMetaClassificationSetting::CopyFrom(const CMetaSetting* pSource)
{
    if (pSource == nullptr || pSource == this)
        return;
    if (const auto* pSame = dynamic_cast<const CMetaClassificationSetting*>(pSource))
        m_Tree.CopyFrom(pSame->m_Tree);
    CMetaSetting::CopyFrom(pSource);
}

UINT CMetaClassificationSetting::SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow)
{
    if (pView != nullptr && nLastRow >= 1)
        pView->SetHotspotCell(1, m_nColumn, nLastRow, m_nColumn);
    return 0;
}

UINT CMetaClassificationSetting::EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD dwContext,
                                           CMetaContent* pContent)
{
    if (pContent == nullptr)
        return 1;
    const CString strOld = pContent->GetContent();
    CString strPath;
    if (!GetAppModel().GetDialogs().SelectClassification(dwContext, strOld, *this, strPath))
        return 0;
    return TakeDialogText(pView, nRow, nCol, *pContent, strOld, strPath);
}

UINT CMetaClassificationSetting::SetupAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow)
{
    if (pGrid == nullptr)
        return 1;
    const ROWCOL nCol = pGrid->GetAttributesColumn();
    pGrid->SetPushbuttonCell(nRow, nCol, nRow, nCol, CString("Classification"));
    return 0;
}

UINT CMetaClassificationSetting::EditOptions(IGridWndWrapper*, ROWCOL)
{
    // The dialog works on a copy, so that Cancel leaves the tree as it was.
    CDoubleLinkNodeCol tree;
    tree.CopyFrom(m_Tree);
    if (!GetAppModel().GetDialogs().DefineClassification(tree))
        return 1;
    m_Tree.CopyFrom(tree);
    return 0;
}
