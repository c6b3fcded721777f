#include "engine/project/CVostrelAppModel.h"

#include "engine/meta/CMetaClassificationSetting.h"
#include "engine/meta/CMetaComboMultiSelSetting.h"
#include "engine/meta/CMetaComboSingleSelSetting.h"
#include "engine/meta/CMetaDateSetting.h"
#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/CMetaKeywordsSetting.h"
#include "engine/meta/CMetaPragmaSetting.h"
#include "engine/meta/CMetaRefreshSetting.h"
#include "engine/meta/CMetaRichEditSetting.h"
#include "engine/meta/CMetaSListSetting.h"
#include "engine/meta/CMetaUndefinedSetting.h"
#include "engine/meta/IMetaDialogs.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CProjectSettings.h"

namespace {

std::atomic<CVostrelAppModel*> g_pInstalled{nullptr};

} // namespace

CVostrelAppModel::CVostrelAppModel() : m_OwnProfile("Vostrel")
{
    m_OwnProfile.SetRegistryKey("Wexmoor\\Vostrel\\1.0 Release Candidate 16");
    m_Prototypes.AddTail(new CMetaEditSetting);
    m_Prototypes.AddTail(new CMetaSListSetting);
    m_Prototypes.AddTail(new CMetaKeywordsSetting);
    m_Prototypes.AddTail(new CMetaUndefinedSetting);
    m_Prototypes.AddTail(new CMetaClassificationSetting);
    m_Prototypes.AddTail(new CMetaRefreshSetting);
    m_Prototypes.AddTail(new CMetaPragmaSetting);
    m_Prototypes.AddTail(new CMetaComboMultiSelSetting);
    m_Prototypes.AddTail(new CMetaComboSingleSelSetting);
    m_Prototypes.AddTail(new CMetaDateSetting);
    m_Prototypes.AddTail(new CMetaRichEditSetting);
}

CVostrelAppModel::~CVostrelAppModel()
{
    if (m_bInstalled) {
        CVostrelAppModel* pSelf = this;
        g_pInstalled.compare_exchange_strong(pSelf, m_pPrevious);
    }
    m_SelectedNodes.RemoveAll();
    m_PageCol.DeleteAll();
}

CVostrelAppModel* CVostrelAppModel::Install()
{
    m_pPrevious = g_pInstalled.exchange(this);
    m_bInstalled = true;
    return m_pPrevious;
}

void CVostrelAppModel::CopySettingPrototypes(CMetaSettingList& list) const
{
    for (POSITION pos = m_Prototypes.GetHeadPosition(); pos != nullptr;) {
        std::unique_ptr<CMetaSetting> pClone = m_Prototypes.GetNext(pos)->Clone();
        if (pClone)
            list.AddTail(pClone.release());
    }
}

UINT CVostrelAppModel::GetProjectSettings(CProjectSettings*& pSettings) const
{
    if (!m_pProjectSettings)
        return 1;
    pSettings = m_pProjectSettings.get();
    return 0;
}

void CVostrelAppModel::SetProjectSettings(std::unique_ptr<CProjectSettings> pSettings)
{
    m_pProjectSettings = std::move(pSettings);
}

IMetaDialogs& CVostrelAppModel::GetDialogs()
{
    static IMetaDialogs s_headless;
    return m_pDialogs != nullptr ? *m_pDialogs : s_headless;
}

CVostrelAppModel& GetAppModel()
{
    if (CVostrelAppModel* pModel = g_pInstalled.load())
        return *pModel;
    static CVostrelAppModel s_default;
    return s_default;
}
