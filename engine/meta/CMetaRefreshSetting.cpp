#include "engine/meta/CMetaRefreshSetting.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/IMetaDialogs.h"
#include "engine/project/CVostrelAppModel.h"

IMPLEMENT_SERIAL(CMetaRefreshSetting, CMetaSetting, 1)

CMetaRefreshSetting::CMetaRefreshSetting()
{
    m_nType = kMetaTypeRefresh;
    m_strName = "Refresh";
    m_bShow = 1;
    m_bHttpEquiv = 1;
    m_bFixedSyntax = 1;
    m_bNameFixed = 1;
    m_strDescription = "This tag specifies the time in seconds before the Web browser reloads the document "
                       "automatically. Alternatively, it can specify a different URL for the browser to load.";
}

UINT CMetaRefreshSetting::GetTypeName(CString& strTypeName) const
{
    strTypeName = "Refresh";
    return 0;
}

std::unique_ptr<CMetaSetting> CMetaRefreshSetting::Clone() const
{
    return std::make_unique<CMetaRefreshSetting>();
}

UINT CMetaRefreshSetting::SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow)
{
    if (pView != nullptr && nLastRow >= 1)
        pView->SetHotspotCell(1, m_nColumn, nLastRow, m_nColumn);
    return 0;
}

UINT CMetaRefreshSetting::EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD dwContext,
                                    CMetaContent* pContent)
{
    if (pContent == nullptr)
        return 1;
    const CString strOld = pContent->GetContent();
    CString strText;
    if (!GetAppModel().GetDialogs().EditRefresh(dwContext, *pContent, strText))
        return 0;
    return TakeDialogText(pView, nRow, nCol, *pContent, strOld, strText);
}
