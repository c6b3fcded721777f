// The type of META names the catalogue had no setting for when a scan found them.
#pragma once

#include "engine/meta/CMetaSetting.h"

class CMetaUndefinedSetting : public CMetaSetting {
    DECLARE_SERIAL(CMetaUndefinedSetting)
public:
    CMetaUndefinedSetting();

    UINT GetTypeName(CString& strTypeName) const override;
    std::unique_ptr<CMetaSetting> Clone() const override;
};
