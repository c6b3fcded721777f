#include "toolkit/docking/SECControlBarManager.h"

IMPLEMENT_DYNAMIC(SECControlBarManager, CObject)

DWORD SECControlBarManager::GetBarTypeID(CControlBar*)
{
    return 0;
}

CControlBar* SECControlBarManager::DynCreateControlBar(SECControlBarInfo*, CFrameWnd*)
{
    return nullptr;
}

SECControlBarInfoEx* SECControlBarManager::CreateControlBarInfoEx(SECControlBarInfo*)
{
    return nullptr;
}
