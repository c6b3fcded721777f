#include "engine/meta/CMetaEditSetting.h"

IMPLEMENT_SERIAL(CMetaEditSetting, CMetaSetting, 1)

CMetaEditSetting::CMetaEditSetting()
{
    m_nType = 0;
}

UINT CMetaEditSetting::GetTypeName(CString& strTypeName) const
{
    strTypeName = "Edit";
    return 0;
}

std::unique_ptr<CMetaSetting> CMetaEditSetting::Clone() const
{
    return std::make_unique<CMetaEditSetting>();
}

UINT CMetaEditSetting::SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow)
{
    if (pView != nullptr && nLastRow >= 1)
        pView->SetEditCell(1, m_nColumn, nLastRow, m_nColumn);
    return 0;
}
