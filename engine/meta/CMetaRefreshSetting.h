// The HTTP-EQUIV Refresh type: seconds and an optional URL, edited in the refresh dialog.
#pragma once

#include "engine/meta/CMetaSetting.h"

class CMetaRefreshSetting : public CMetaSetting {
    DECLARE_SERIAL(CMetaRefreshSetting)
public:
    // Named "Refresh", shown, HTTP-EQUIV= form with syntax and name fixed.
    CMetaRefreshSetting();

    UINT GetTypeName(CString& strTypeName) const override;
    std::unique_ptr<CMetaSetting> Clone() const override;
    UINT SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow) override;
    UINT EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD dwContext, CMetaContent* pContent) override;
};
