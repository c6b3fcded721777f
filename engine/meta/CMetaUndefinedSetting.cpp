#include "engine/meta/CMetaUndefinedSetting.h"

IMPLEMENT_SERIAL(CMetaUndefinedSetting, CMetaSetting, 1)

CMetaUndefinedSetting::CMetaUndefinedSetting()
{
    m_nType = 7;
    m_strDescription = "This metatag has no metatag settings associated with it.";
}

UINT CMetaUndefinedSetting::GetTypeName(CString& strTypeName) const
{
    strTypeName = "Undefined";
    return 0;
}

std::unique_ptr<CMetaSetting> CMetaUndefinedSetting::Clone() const
{
    return std::make_unique<CMetaUndefinedSetting>();
}
