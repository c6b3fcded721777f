// The one-line text type: edit cells in the page grid.
#pragma once

#include "engine/meta/CMetaSetting.h"

class CMetaEditSetting : public CMetaSetting {
    DECLARE_SERIAL(CMetaEditSetting)
public:
    CMetaEditSetting();

    UINT GetTypeName(CString& strTypeName) const override;
    std::unique_ptr<CMetaSetting> Clone() const override;
    UINT SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow) override;
};
