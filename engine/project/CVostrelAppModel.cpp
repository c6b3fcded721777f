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

#include <memory>

namespace {

std::atomic<CVostrelAppModel*> g_pInstalled{nullptr};

} // namespace

CVostrelAppModel::CVostrelAppModel() : m_OwnProfile("Vostrel")
{
    m_OwnProfile.SetRegistryKey("Wexmoor\\Vostrel\\1.0 Release Candidate 16");
    m_Prototypes.AddTail(std::make_unique<CMetaEditSetting>().release());
    m_Prototypes.AddTail(std::make_unique<CMetaSListSetting>().release());
    m_Prototypes.AddTail(std::make_unique<CMetaKeywordsSetting>().release());
    m_Prototypes.AddTail(std::make_unique<CMetaUndefinedSetting>().release());
    m_Prototypes.AddTail(std::make_unique<CMetaClassificationSetting>().release());
    m_Prototypes.AddTail(std::make_unique<CMetaRefreshSetting>().release());
    m_Prototypes.AddTail(std::make_unique<CMetaPragmaSetting>().release());
    m_Prototypes.AddTail(std::make_unique<CMetaComboMultiSelSetting>().release());
    m_Prototypes.AddTail(std::make_unique<CMetaComboSingleSelSetting>().release());
    m_Prototypes.AddTail(std::make_unique<CMetaDateSetting>().release());
    m_Prototypes.AddTail(std::make_unique<CMetaRichEditSetting>().release());
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
