#include "engine/meta/CMetaComboSingleSelSetting.h"

#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CMetaComboSingleSelSetting, CMetaSetting, 1)

CMetaComboSingleSelSetting::CMetaComboSingleSelSetting()
{
    m_nType = 12;
}

void CMetaComboSingleSelSetting::Serialize(CArchive& ar)
{
    CMetaSetting::Serialize(ar);
    m_Options.Serialize(ar);
}

UINT CMetaComboSingleSelSetting::GetTypeName(CString& strTypeName) const
{
    strTypeName = "Editable Drop List";
    return 0;
}

std::unique_ptr<CMetaSetting> CMetaComboSingleSelSetting::Clone() const
{
    return std::make_unique<CMetaComboSingleSelSetting>();
}

void CMetaComboSingleSelSetting::CopyFrom(const CMetaSetting* pSource)
{
    if (pSource == nullptr || pSource == this)
        return;
    if (const auto* pSame = dynamic_cast<const CMetaComboSingleSelSetting*>(pSource))
        m_Options.CopyFrom(pSame->m_Options);
    CMetaSetting::CopyFrom(pSource);
}

UINT CMetaComboSingleSelSetting::SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow)
{
    if (pView == nullptr || nLastRow < 1)
        return 0;
    if (!m_Options.IsEmpty())
        pView->SetComboBoxCell(1, m_nColumn, nLastRow, m_nColumn, m_Options);
    else
        pView->SetHotspotCell(1, m_nColumn, nLastRow, m_nColumn);
    return 0;
}

UINT CMetaComboSingleSelSetting::EditValue(IGroupView*, ROWCOL, ROWCOL, DWORD, CMetaContent*)
{
    return ExplainMissingOptions(m_Options);
}

UINT CMetaComboSingleSelSetting::SetupAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow)
{
    return SetupOptionsButton(pGrid, nRow, m_Options.GetCount());
}

UINT CMetaComboSingleSelSetting::EditOptions(IGridWndWrapper* pGrid, ROWCOL nRow)
{
    return EditOptionList(m_Options, pGrid, nRow);
}
