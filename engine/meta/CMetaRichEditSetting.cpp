#include "engine/meta/CMetaRichEditSetting.h"

IMPLEMENT_SERIAL(CMetaRichEditSetting, CMetaSetting, 1)

CMetaRichEditSetting::CMetaRichEditSetting()
{
    m_nType = 14;
}

UINT CMetaRichEditSetting::GetTypeName(CString& strTypeName) const
{
    strTypeName = "Edit (Multi-line)";
    return 0;
}

std::unique_ptr<CMetaSetting> CMetaRichEditSetting::Clone() const
{
    return std::make_unique<CMetaRichEditSetting>();
}

UINT CMetaRichEditSetting::SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow)
{
    if (pView != nullptr && nLastRow >= 1)
        pView->SetScrollEditCell(1, m_nColumn, nLastRow, m_nColumn);
    return 0;
}
