#include "grid/core/CGXGridProfileImp.h"

#include "grid/core/CGXGridAppData.h"
#include "grid/data/CGXProperties.h"
#include "grid/data/CGXStylesMap.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/core/CProfileStore.h"

IMPLEMENT_DYNAMIC(CGXGridProfileImp, CObject)

void CGXGridProfileImp::Install()
{
    CGXGridAppData* pData = GXGetAppData();
    pData->InstallImp<CGXGridProfileImp>(pData->m_pGridProfileImp);
}

void CGXGridProfileImp::OpenProfile(CProfileStore& profile)
{
    if (LPCTSTR pszName = AfxGetAppName(); pszName != nullptr && *pszName != '\0')
        profile.SetAppName(pszName);
    if (CWinApp* pApp = AfxGetApp(); pApp != nullptr && pApp->m_pszRegistryKey != nullptr)
        profile.SetRegistryKey(pApp->m_pszRegistryKey);
}

void CGXGridProfileImp::ReadProperties(CGXProperties& properties)
{
    CProfileStore profile;
    OpenProfile(profile);
    properties.ReadProfile(profile, kPropertiesSection);
}

void CGXGridProfileImp::ReadBaseStyles(CGXStylesMap& stylesMap)
{
    CProfileStore profile;
    OpenProfile(profile);
    stylesMap.ReadProfile(profile, kStylesSection);
}
