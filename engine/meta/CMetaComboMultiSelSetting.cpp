#include "engine/meta/CMetaComboMultiSelSetting.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/IMetaDialogs.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CMetaComboMultiSelSetting, CMetaSetting, 1)

CMetaComboMultiSelSetting::CMetaComboMultiSelSetting() : m_strSeparator(","), m_bAllowModify(0)
{
    m_nType = kMetaTypeComboMultiSel;
}

void CMetaComboMultiSelSetting::Serialize(CArchive& ar)
{
    CMetaSetting::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_bAllowModify);
        ar << m_strSeparator;
    } else {
        DWORD bAllow = 0;
        ar >> bAllow;
        m_bAllowModify = bAllow;
        ar >> m_strSeparator;
    }
    m_Options.Serialize(ar);
}

UINT CMetaComboMultiSelSetting::GetTypeName(CString& strTypeName) const
{
    strTypeName = "Editable Multi-select List";
    return 0;
}

std::unique_ptr<CMetaSetting> CMetaComboMultiSelSetting::Clone() const
{
    return std::make_unique<CMetaComboMultiSelSetting>();
}

void CMetaComboMultiSelSetting::CopyFrom(const CMetaSetting* pSource)
{
    if (pSource == nullptr || pSource == this)
        return;
    if (const auto* pSame = dynamic_cast<const CMetaComboMultiSelSetting*>(pSource)) {
        m_Options.CopyFrom(pSame->m_Options);
        m_strSeparator = pSame->m_strSeparator;
        m_bAllowModify = pSame->m_bAllowModify;
    }
    CMetaSetting::CopyFrom(pSource);
}

UINT CMetaComboMultiSelSetting::SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow)
{
    if (pView != nullptr && nLastRow >= 1)
        pView->SetHotspotCell(1, m_nColumn, nLastRow, m_nColumn);
    return 0;
}

UINT CMetaComboMultiSelSetting::EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD,
                                          CMetaContent* pContent)
{
    if (pContent == nullptr)
        return 1;
    const CString strOld = pContent->GetContent();
    BOOL bOptionsChanged = FALSE;
    if (!GetAppModel().GetDialogs().SelectMultiSelValue(*this, *pContent, bOptionsChanged))
        return 0;
    // The dialog gave the content its value already: the cell and the page's mark follow. Its
    // items are joined by the setting's own separator.
    const CString strNew = pContent->GetContent();
    TakeDialogValue(pView, nRow, nCol, *pContent, strOld, strNew, m_strSeparator);
    // New options must reach the other cells of the column at once.
    if (pView != nullptr && bOptionsChanged)
        SetupValueCell(pView, pView->GetRowCount());
    return 0;
}

UINT CMetaComboMultiSelSetting::SetupAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow)
{
    return SetupOptionsButton(pGrid, nRow, m_Options.GetCount());
}

UINT CMetaComboMultiSelSetting::EditOptions(IGridWndWrapper* pGrid, ROWCOL nRow)
{
    CStringListWrapper options;
    options.CopyFrom(m_Options);
    UINT bAllow = m_bAllowModify;
    CString strSeparator = m_strSeparator;
    if (!GetAppModel().GetDialogs().EditMultiSelOptions(options, bAllow, strSeparator))
        return 1;
    m_Options.CopyFrom(options);
    m_bAllowModify = bAllow;
    m_strSeparator = strSeparator;
    SetupAttributesCell(pGrid, nRow);
    return 0;
}
