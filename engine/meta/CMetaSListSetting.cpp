#include "engine/meta/CMetaSListSetting.h"

#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CMetaSListSetting, CMetaSetting, 1)

CMetaSListSetting::CMetaSListSetting()
{
    m_nType = 1;
}

void CMetaSListSetting::Serialize(CArchive& ar)
{
    CMetaSetting::Serialize(ar);
    m_Options.Serialize(ar);
}

UINT CMetaSListSetting::GetTypeName(CString& strTypeName) const
{
    strTypeName = "Non-editable Drop List";
    return 0;
}

std::unique_ptr<CMetaSetting> CMetaSListSetting::Clone() const
{
    return std::make_unique<CMetaSListSetting>();
}

void CMetaSListSetting::CopyFrom(const CMetaSetting* pSource)
{
    if (pSource == nullptr || pSource == this)
        return;
    if (const auto* pSame = dynamic_cast<const CMetaSListSetting*>(pSource))
        m_Options.CopyFrom(pSame->m_Options);
    CMetaSetting::CopyFrom(pSource);
}

UINT CMetaSListSetting::SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow)
{
    if (pView == nullptr || nLastRow < 1)
        return 0;
    if (!m_Options.IsEmpty())
        pView->SetDropDownListCell(1, m_nColumn, nLastRow, m_nColumn, m_Options);
    else
        pView->SetHotspotCell(1, m_nColumn, nLastRow, m_nColumn);
    return 0;
}

UINT CMetaSListSetting::EditValue(IGroupView*, ROWCOL, ROWCOL, DWORD, CMetaContent*)
{
    return ExplainMissingOptions(m_Options);
}

UINT CMetaSListSetting::SetupAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow)
{
    return SetupOptionsButton(pGrid, nRow, m_Options.GetCount());
}

UINT CMetaSListSetting::EditOptions(IGridWndWrapper* pGrid, ROWCOL nRow)
{
    return EditOptionList(m_Options, pGrid, nRow);
}
