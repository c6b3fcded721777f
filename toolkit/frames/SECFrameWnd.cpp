#include "toolkit/frames/SECFrameWnd.h"

#include "platform/afx/gdi/CMenu.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/MenuApi.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECDockState.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/frames/SECCaptionFeatures.h"

IMPLEMENT_DYNCREATE(SECFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(SECFrameWnd, CFrameWnd)
    ON_MESSAGE(WM_SYSCOLORCHANGE, &SECFrameWnd::OnSysColorChange)
END_MESSAGE_MAP()

SECFrameWnd::SECFrameWnd() : m_pFilterRoot(new SECMsgFilter(this)) {}

SECFrameWnd::~SECFrameWnd()
{
    delete m_pFilterRoot;
    m_pFilterRoot = nullptr;
}

LRESULT SECFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (SECCaptionFeatures::FilterBefore(m_pFilterRoot, message, wParam, lParam, &result) ||
        SECCaptionFeatures::FilterRequest(m_pFilterRoot, message, wParam, lParam, &result))
        return result;
    SECMsgFilter* root = m_pFilterRoot;
    result = CFrameWnd::WindowProc(message, wParam, lParam);
    if (message != WM_NCDESTROY && message != WM_DESTROY)
        SECCaptionFeatures::FilterAfter(root, message, wParam, lParam);
    return result;
}

LRESULT SECFrameWnd::OnSysColorChange(WPARAM, LPARAM)
{
    SECGetGlobalData().UpdateSysColors();
    Default();
    return 0;
}

SECDockBar* SECFrameWnd::CreateDockBar()
{
    return new SECDockBar;
}

void SECFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    DoEnableDocking(dwDockStyle);
}

void SECFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    DoDockControlBar(pBar, DockBarById(nDockBarID), lpRect);
}

void SECFrameWnd::DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    DoDockControlBar(pBar, pDockBar, lpRect);
}

void SECFrameWnd::ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    DoReDockControlBar(pBar, pDockBar, lpRect);
}

void SECFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    DoFloatControlBar(pBar, point, dwStyle);
}

void SECFrameWnd::DockControlBarEx(CControlBar* pBar, const SECDockPos& pos, UINT nDockBarID, const SECDockSize& size)
{
    DoDockControlBarEx(pBar, pos, nDockBarID, size);
}

void SECFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    DoShowControlBar(pBar, bShow, bDelay);
}

void SECFrameWnd::LoadBarState(LPCTSTR lpszProfileName)
{
    DoLoadBarState(lpszProfileName, FALSE);
}

void SECFrameWnd::SaveBarState(LPCTSTR lpszProfileName)
{
    DoSaveBarState(lpszProfileName);
}

void SECFrameWnd::SetDockState(SECDockState& state)
{
    state.SetState(this);
}

void SECFrameWnd::GetDockState(SECDockState& state)
{
    state.GetState(this);
}

HMENU SECFrameWnd::GetMenuForId(UINT nID)
{
    return nID == m_nIDMenu ? m_hMenuDefault : nullptr;
}

void SECFrameWnd::OnUpdateFrameMenuEx(BOOL, CWnd*, HMENU) {}

HMENU SECFrameWnd::GetDefaultMenu()
{
    return m_hMenuDefault;
}

void SECFrameWnd::EnableCaptionButtons(int nMask)
{
    m_nCaptionMask = nMask;
    SECCaptionFeatures::ApplyMask(m_pFilterRoot, SECCaptionFeatures::kDockableFrame, nMask);
}

BOOL SECFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The command hook sees commands before the frame's own routing.
    if (m_pCommandHook && m_pCommandHook->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL SECFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDMenu = nIDResource;
    return CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}
