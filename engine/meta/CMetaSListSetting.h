// The fixed-choice type: a drop-down list of its options in the page grid.
#pragma once

#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CStringListWrapper.h"

class CMetaSListSetting : public CMetaSetting {
    DECLARE_SERIAL(CMetaSListSetting)
public:
    CMetaSListSetting();

    // The base part, then the option list.
    void Serialize(CArchive& ar) override;

    UINT GetTypeName(CString& strTypeName) const override;
    std::unique_ptr<CMetaSetting> Clone() const override;
    void CopyFrom(const CMetaSetting* pSource) override;
    // With options a list of them, without a hot-spot whose button explains how to add some.
    UINT SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow) override;
    UINT EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD dwContext, CMetaContent* pContent) override;
    UINT SetupAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow) override;
    UINT EditOptions(IGridWndWrapper* pGrid, ROWCOL nRow) override;

    CStringListWrapper m_Options;
};
