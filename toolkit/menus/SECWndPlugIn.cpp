#include "toolkit/menus/SECWndPlugIn.h"

IMPLEMENT_DYNAMIC(SECWndPlugIn, CWnd)

SECWndPlugIn::~SECWndPlugIn()
{
    // The handle is the host's: forget it before the window object's destructor sees it.
    m_hWnd = nullptr;
    m_bPluggedIn = FALSE;
}

BOOL SECWndPlugIn::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (!m_bPluggedIn)
        return FALSE;
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL SECWndPlugIn::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (!m_bPluggedIn)
        return FALSE;
    m_bExitDefault = FALSE;
    m_bCallDefault = FALSE;
    LRESULT lResult = 0;
    BOOL bHandled = CWnd::OnWndMsg(message, wParam, lParam, &lResult);
    if (m_bUseReturnValue) {
        m_bUseReturnValue = FALSE;
        lResult = m_lReturnValue;
        bHandled = TRUE;
    }
    if (pResult != nullptr)
        *pResult = lResult;
    return bHandled;
}

LRESULT SECWndPlugIn::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_bPluggedIn || !m_bCallDefault)
        return 0;
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void SECWndPlugIn::SetReturnValue(LRESULT lResult)
{
    m_bUseReturnValue = TRUE;
    m_lReturnValue = lResult;
}

BOOL SECWndPlugIn::Attach(CWnd* pHost)
{
    if (pHost == nullptr || pHost->GetSafeHwnd() == nullptr)
        return FALSE;
    m_hWnd = pHost->GetSafeHwnd();
    m_bPluggedIn = TRUE;
    return TRUE;
}

void SECWndPlugIn::Detach()
{
    m_bPluggedIn = FALSE;
    m_hWnd = nullptr;
}
