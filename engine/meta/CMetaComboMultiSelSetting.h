// The multi-choice type: a value is several of its options joined by its separator, picked in
// a dialog that may also let the user extend the options.
#pragma once

#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CStringListWrapper.h"

class CMetaComboMultiSelSetting : public CMetaSetting {
    DECLARE_SERIAL(CMetaComboMultiSelSetting)
public:
    CMetaComboMultiSelSetting();

    // The base part, then the allow flag (32-bit), the separator and the option list.
    void Serialize(CArchive& ar) override;

    UINT GetTypeName(CString& strTypeName) const override;
    std::unique_ptr<CMetaSetting> Clone() const override;
    void CopyFrom(const CMetaSetting* pSource) override;
    UINT SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow) override;
    UINT EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD dwContext, CMetaContent* pContent) override;
    UINT SetupAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow) override;
    UINT EditOptions(IGridWndWrapper* pGrid, ROWCOL nRow) override;

    CStringListWrapper m_Options;
    CString m_strSeparator;
    UINT m_bAllowModify;
};
