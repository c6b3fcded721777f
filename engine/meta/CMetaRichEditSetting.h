// The multi-line text type: scrolling edit cells in the page grid.
#pragma once

#include "engine/meta/CMetaSetting.h"

class CMetaRichEditSetting : public CMetaSetting {
    DECLARE_SERIAL(CMetaRichEditSetting)
public:
    CMetaRichEditSetting();

    UINT GetTypeName(CString& strTypeName) const override;
    std::unique_ptr<CMetaSetting> Clone() const override;
    UINT SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow) override;
};
