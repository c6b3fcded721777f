#include "grid/core/CGXPluginComponent.h"

IMPLEMENT_DYNAMIC(CGXPluginComponent, CWnd)

BEGIN_MESSAGE_MAP(CGXPluginComponent, CWnd)
END_MESSAGE_MAP()

CGXPluginComponent::~CGXPluginComponent()
{
    m_hWnd = nullptr;
}

BOOL CGXPluginComponent::PlugIn(CWnd* pWnd)
{
    m_hWnd = pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
    return TRUE;
}

BOOL CGXPluginComponent::HandlePluginMessage(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    m_bSkipOtherPlugins = FALSE;
    m_bExitMesssage = FALSE;
    LRESULT lResult = 0;
    const BOOL bHandled = OnWndMsg(nMessage, wParam, lParam, &lResult);
    if (pResult != nullptr)
        *pResult = lResult;
    return bHandled;
}
