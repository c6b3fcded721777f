// The program's model as a page rewrite needs it, made once for a process that has no application:
// the built-in catalogue with a Content-Type setting, so that a page can be given a charset.
#pragma once

#include "engine/meta/CMetaSettingList.h"
#include "engine/meta/CMetaUndefinedSetting.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"

#include <memory>

inline CVostrelAppModel& RewriteModel()
{
    // Lives as long as the process: the pages of every run refer to its catalogue.
    static CVostrelAppModel* s_pModel = [] {
        auto* pModel = new CVostrelAppModel;
        pModel->Install();
        pModel->GetMetaSettings().SetDefaults();
        auto* pContentType = new CMetaUndefinedSetting;
        pContentType->SetName("Content-Type");
        pContentType->SetHttpEquiv(1);
        pModel->GetMetaSettings().AddTail(pContentType);
        pModel->SetProjectSettings(std::make_unique<CProjectSettings>());
        return pModel;
    }();
    return *s_pModel;
}
