#include "toolkit/toolbars/SECToolBarManager.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/core/CArchive.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECDockContext.h"
#include "toolkit/docking/SECDockingFrame.h"
#include "toolkit/toolbars/SECBmpMgr.h"
#include "toolkit/res/ToolkitRes.h"
#include "toolkit/toolbars/SECCustomToolBar.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(SECToolBarManager, SECControlBarManager)

namespace {


CString LoadManagerText(UINT nID, LPCTSTR lpszDefault)
{
    CString text;
    if (!text.LoadString(nID))
        text = lpszDefault;
    return text;
}

// A hidden window that takes the manager's posted work: an emptied user toolbar is destroyed
// after the handler that emptied it has returned.
class SECToolBarPostWnd : public CWnd {
public:
    explicit SECToolBarPostWnd(SECToolBarManager* pMgr) : m_pMgr(pMgr) {}
    static UINT DestroyMessage()
    {
        static const UINT message = ::RegisterWindowMessage("SECToolBarManager::DestroyBars");
        return message;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == DestroyMessage()) {
            m_pMgr->DestroyPendingToolBars();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    SECToolBarManager* m_pMgr;
};

} // namespace

// ---- Manager ----

SECToolBarManager::SECToolBarManager(CFrameWnd* pFrameWnd, CWnd* pOwnerWnd)
    : m_pToolBarClass(RUNTIME_CLASS(SECCustomToolBar))
    , m_pFrameWnd(pFrameWnd)
    , m_pOwnerWnd(pOwnerWnd)
{
    m_pBmpMgr = new SECBmpMgr;
    m_pDrawContext = std::make_unique<SECBtnDrawContext>();
}

SECToolBarManager::~SECToolBarManager()
{
    // Bars that outlive the manager must not reach it.
    for (SECCustomToolBar* bar : GetToolBars())
        if (bar->GetManager() == this)
            bar->SetManager(nullptr);
    if (m_pPostWnd && m_pPostWnd->m_hWnd)
        m_pPostWnd->DestroyWindow();
    if (m_pBmpMgr)
        m_pBmpMgr->Release();
}

BOOL SECToolBarManager::LoadToolBarResource(UINT nIDSmall, UINT nIDLarge)
{
    m_pBmpMgr->SetSmallImages(!m_bLargeButtons);
    return m_pBmpMgr->LoadToolBar(nIDSmall, nIDLarge, TRUE);
}

void SECToolBarManager::SetButtonMap(const SECBtnMapEntry* pMap, const SECBtnMapEntry* pMap2)
{
    m_pBtnMap = pMap;
    m_pBtnMap2 = pMap2;
}

void SECToolBarManager::DefineDefaultToolBar(UINT nID, LPCTSTR lpszTitle, int nCount, const UINT* pIDs,
                                             DWORD dwAlignment, UINT nDockBarID, UINT nDockNextToID, BOOL bDocked,
                                             BOOL bVisible)
{
    DefaultToolBar def;
    def.nID = nID;
    def.strTitle = lpszTitle ? lpszTitle : "";
    if (pIDs && nCount > 0)
        def.ids.assign(pIDs, pIDs + nCount);
    def.dwAlignment = dwAlignment;
    def.nDockBarID = nDockBarID;
    def.nDockNextToID = nDockNextToID;
    def.bDocked = bDocked;
    def.bVisible = bVisible;
    m_defaults.push_back(std::move(def));
}

std::vector<SECCustomToolBar*> SECToolBarManager::GetToolBars() const
{
    std::vector<SECCustomToolBar*> bars;
    if (!m_pFrameWnd)
        return bars;
    for (CControlBar* bar : m_pFrameWnd->m_listControlBars)
        if (auto* tb = dynamic_cast<SECCustomToolBar*>(bar))
            bars.push_back(tb);
    return bars;
}

SECCustomToolBar* SECToolBarManager::ToolBarFromID(UINT nID) const
{
    for (SECCustomToolBar* bar : GetToolBars())
        if (bar->m_hWnd && static_cast<UINT>(bar->GetDlgCtrlID()) == nID)
            return bar;
    return nullptr;
}

SECCustomToolBar* SECToolBarManager::ToolBarFromRect(const CRect& rcScreen) const
{
    for (SECCustomToolBar* bar : GetToolBars()) {
        if (!bar->m_hWnd || !bar->IsVisible())
            continue;
        CRect rect;
        CWnd* shown = bar->IsFloating() && bar->GetParentFrame() ? static_cast<CWnd*>(bar->GetParentFrame()) : bar;
        shown->GetWindowRect(&rect);
        CRect overlap;
        if (overlap.IntersectRect(&rect, &rcScreen))
            return bar;
    }
    return nullptr;
}

DWORD SECToolBarManager::GetToolBarStyle() const
{
    DWORD style = 0x50002804;
    if (m_bFlyBy)
        style |= CBRS_FLYBY;
    if (m_bToolTips)
        style |= CBRS_TOOLTIPS;
    return style;
}

void SECToolBarManager::AttachToolBar(SECCustomToolBar* pToolBar)
{
    if (!pToolBar)
        return;
    if (m_pOwnerWnd)
        pToolBar->SetOwner(m_pOwnerWnd);
    pToolBar->SetManager(this);
    pToolBar->SetBmpMgr(m_pBmpMgr);
    ApplyButtonSize(pToolBar);
}

void SECToolBarManager::ApplyButtonSize(SECCustomToolBar* pToolBar)
{
    if (pToolBar)
        pToolBar->SetButtonSize();
}

SECCustomToolBar* SECToolBarManager::MakeToolBar(UINT nID, LPCTSTR lpszTitle)
{
    if (!m_pFrameWnd || !m_pToolBarClass)
        return nullptr;
    auto* bar = dynamic_cast<SECCustomToolBar*>(m_pToolBarClass->CreateObject());
    if (!bar)
        return nullptr;
    bar->SetManager(this);
    if (!bar->CreateEx(m_bCoolLook ? 0x300 : 0, m_pFrameWnd, GetToolBarStyle(), nID, lpszTitle)) {
        delete bar;
        return nullptr;
    }
    AttachToolBar(bar);
    bar->SetCustomizeMode(m_bToolBarCustomize);
    bar->EnableDocking(CBRS_ALIGN_ANY);
    bar->m_bAutoDelete = TRUE;
    return bar;
}

SECCustomToolBar* SECToolBarManager::CreateUserToolBar(LPCTSTR lpszTitle)
{
    // The menu bar's id (0xE8FF) is not among the user's: the last is 0xE8FE.
    UINT id = SEC_IDW_FIRST_USER_TOOLBAR;
    while (id <= SEC_IDW_LAST_USER_TOOLBAR && ToolBarFromID(id))
        ++id;
    if (id > SEC_IDW_LAST_USER_TOOLBAR)
        return nullptr;
    CString title;
    if (lpszTitle)
        title = lpszTitle;
    else
        title.Format(LoadManagerText(SEC_IDS_TOOLBARN, "ToolBar%d"), static_cast<int>(id - (SEC_IDW_FIRST_USER_TOOLBAR - 1)));
    return MakeToolBar(id, title);
}

void SECToolBarManager::DockInFrame(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    // A toolkit frame docks into the rows of its own dock bars, and the bar takes the side's
    // orientation from them; the plain frame knows nothing of those rows.
    auto* docking = dynamic_cast<SECDockingFrame*>(m_pFrameWnd);
    CControlBar* dock = m_pFrameWnd->GetControlBar(nDockBarID);
    if (docking && dock && dock->IsDockBar())
        docking->DockBarInFrame(pBar, static_cast<CDockBar*>(dock), lpRect);
    else
        m_pFrameWnd->DockControlBar(pBar, nDockBarID, lpRect);
}

void SECToolBarManager::SetDefaultToolBarState()
{
    if (!m_pFrameWnd)
        return;
    for (const DefaultToolBar& def : m_defaults) {
        SECCustomToolBar* bar = MakeToolBar(def.nID, def.strTitle);
        if (!bar)
            continue;
        bar->SetButtons(def.ids.data(), static_cast<int>(def.ids.size()));
        bar->EnableDocking(def.dwAlignment);
        if (SECCustomToolBar* beside = def.nDockNextToID ? ToolBarFromID(def.nDockNextToID) : nullptr) {
            m_pFrameWnd->RecalcLayout();
            CRect rect;
            beside->GetWindowRect(&rect);
            if (def.nDockBarID == 0xE81B || def.nDockBarID == 0xE81E)
                rect.OffsetRect(1, 0);
            else
                rect.OffsetRect(0, 1);
            DockInFrame(bar, def.nDockBarID, &rect);
        } else {
            DockInFrame(bar, def.nDockBarID, nullptr);
        }
    }
    m_pFrameWnd->RecalcLayout();
    for (const DefaultToolBar& def : m_defaults) {
        SECCustomToolBar* bar = ToolBarFromID(def.nID);
        if (!bar)
            continue;
        if (!def.bVisible)
            m_pFrameWnd->ShowControlBar(bar, FALSE, FALSE);
        if (!def.bDocked && bar->m_pDockContext)
            bar->m_pDockContext->ToggleDocking();
    }
}

void SECToolBarManager::InitToolBars()
{
    std::vector<SECCustomToolBar*> bars = GetToolBars();
    if (bars.empty()) {
        SetDefaultToolBarState();
        return;
    }
    for (SECCustomToolBar* bar : bars) {
        AttachToolBar(bar);
        if (bar->m_hWnd)
            bar->Invalidate();
    }
    // A default toolbar is known by its defined name, whatever name a saved layout gives it:
    // a name damaged once would otherwise come back at every start.
    for (const DefaultToolBar& def : m_defaults) {
        SECCustomToolBar* bar = ToolBarFromID(def.nID);
        if (!bar || !bar->m_hWnd)
            continue;
        CString current;
        bar->GetWindowText(current);
        if (current != def.strTitle)
            bar->SetWindowText(def.strTitle);
    }
}

void SECToolBarManager::InformBtns(UINT nID, UINT nCode, DWORD dwSet, DWORD dwClear)
{
    for (SECCustomToolBar* bar : GetToolBars())
        bar->InformBtns(nID, nCode, dwSet, dwClear);
}

void SECToolBarManager::EnableToolTips(BOOL bEnable)
{
    bEnable = bEnable ? TRUE : FALSE;
    if (bEnable == m_bToolTips)
        return;
    m_bToolTips = bEnable;
    for (SECCustomToolBar* bar : GetToolBars())
        bar->SetBarStyle(bEnable ? (bar->GetBarStyle() | CBRS_TOOLTIPS) : (bar->GetBarStyle() & ~CBRS_TOOLTIPS));
}

void SECToolBarManager::EnableCoolLook(BOOL bEnable, DWORD dwStyle)
{
    bEnable = bEnable ? TRUE : FALSE;
    if (bEnable == m_bCoolLook)
        return;
    m_bCoolLook = bEnable;
    for (SECCustomToolBar* bar : GetToolBars()) {
        bar->ModifyBarStyleEx(bEnable ? 0 : dwStyle, bEnable ? dwStyle : 0, FALSE);
        if ((dwStyle & CBRS_EX_COOLBORDERS) && bar->m_hWnd)
            bar->Invalidate();
    }
    if (m_pFrameWnd)
        m_pFrameWnd->m_nIdleFlags |= CFrameWnd::idleNotify | CFrameWnd::idleLayout;
}

void SECToolBarManager::EnableLargeButtons(BOOL bEnable)
{
    bEnable = bEnable ? TRUE : FALSE;
    if (bEnable == m_bLargeButtons)
        return;
    m_bLargeButtons = bEnable;
    LargeButtonsChanged();
}

void SECToolBarManager::LargeButtonsChanged()
{
    m_pBmpMgr->SetSmallImages(!m_bLargeButtons);
    bool any = false;
    for (SECCustomToolBar* bar : GetToolBars()) {
        any = true;
        ApplyButtonSize(bar);
        if (bar->IsFloating() && bar->GetParentFrame())
            bar->GetParentFrame()->RecalcLayout();
    }
    if (any && m_pFrameWnd)
        m_pFrameWnd->m_nIdleFlags |= CFrameWnd::idleNotify | CFrameWnd::idleLayout;
}

DWORD SECToolBarManager::GetBarTypeID(CControlBar* pBar)
{
    if (SECIsKindOf(pBar, "SECMenuBar"))
        return SEC_BARTYPE_MENUBAR;
    if (dynamic_cast<SECCustomToolBar*>(pBar))
        return SEC_BARTYPE_CUSTOMTOOLBAR;
    return SECControlBarManager::GetBarTypeID(pBar);
}

CControlBar* SECToolBarManager::DynCreateControlBar(SECControlBarInfo* pInfo, CFrameWnd* pFrameWnd)
{
    if (!pInfo || pInfo->m_dwTypeID != SEC_BARTYPE_CUSTOMTOOLBAR)
        return SECControlBarManager::DynCreateControlBar(pInfo, pFrameWnd);
    if (pFrameWnd && !m_pFrameWnd)
        m_pFrameWnd = pFrameWnd;
    // The title comes from the bar's saved record afterwards.
    return MakeToolBar(pInfo->m_nBarID, nullptr);
}

void SECToolBarManager::LoadState(LPCTSTR lpszProfileName)
{
    CWinApp* app = AfxGetApp();
    if (app && lpszProfileName) {
        CString section;
        section.Format("%s-ToolBarManager", lpszProfileName);
        const BOOL tips = app->GetProfileInt(section, "ToolTips", m_bToolTips) != 0;
        const BOOL cool = app->GetProfileInt(section, "CoolLook", m_bCoolLook) != 0;
        const BOOL large = app->GetProfileInt(section, "LargeButtons", m_bLargeButtons) != 0;
        EnableToolTips(tips);
        EnableCoolLook(cool, 0x300);
        EnableLargeButtons(large);
    }
    InitToolBars();
}

void SECToolBarManager::SaveState(LPCTSTR lpszProfileName)
{
    CWinApp* app = AfxGetApp();
    if (!app || !lpszProfileName)
        return;
    CString section;
    section.Format("%s-ToolBarManager", lpszProfileName);
    app->WriteProfileInt(section, "ToolTips", m_bToolTips ? 1 : 0);
    app->WriteProfileInt(section, "CoolLook", m_bCoolLook ? 1 : 0);
    app->WriteProfileInt(section, "LargeButtons", m_bLargeButtons ? 1 : 0);
}

void SECToolBarManager::BeginCustomize()
{
    if (m_bCustomizing || !m_pFrameWnd || !m_pFrameWnd->m_hWnd)
        return;
    m_bCustomizing = TRUE;
    m_pFrameWnd->EnableWindow(TRUE);
    for (HWND child = ::GetWindow(m_pFrameWnd->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CWnd* wnd = CWnd::FromHandlePermanent(child);
        auto* bar = dynamic_cast<CControlBar*>(wnd);
        if ((bar && bar->IsDockBar()) || !::IsWindowEnabled(child))
            continue;
        ::EnableWindow(child, FALSE);
        m_disabledWnds.push_back(child);
    }
}

void SECToolBarManager::EndCustomize()
{
    if (!m_bCustomizing)
        return;
    m_bCustomizing = FALSE;
    if (m_pFrameWnd && m_pFrameWnd->m_hWnd)
        m_pFrameWnd->EnableWindow(FALSE);
    for (HWND wnd : m_disabledWnds)
        if (::IsWindow(wnd))
            ::EnableWindow(wnd, TRUE);
    m_disabledWnds.clear();
}

void SECToolBarManager::SetCustomizeMode(BOOL bMode)
{
    bMode = bMode ? TRUE : FALSE;
    if (bMode == m_bToolBarCustomize)
        return;
    m_bToolBarCustomize = bMode;
    for (SECCustomToolBar* bar : GetToolBars())
        bar->SetCustomizeMode(bMode);
}

void SECToolBarManager::RegisterNotifyWnd(CWnd* pWnd)
{
    if (pWnd && pWnd->m_hWnd && std::find(m_notifyWnds.begin(), m_notifyWnds.end(), pWnd->m_hWnd) == m_notifyWnds.end())
        m_notifyWnds.push_back(pWnd->m_hWnd);
}

void SECToolBarManager::UnregisterNotifyWnd(CWnd* pWnd)
{
    if (pWnd)
        m_notifyWnds.erase(std::remove(m_notifyWnds.begin(), m_notifyWnds.end(), pWnd->m_hWnd), m_notifyWnds.end());
}

void SECToolBarManager::BroadcastBarNotify(UINT nBarID, int nCode)
{
    const std::vector<HWND> windows = m_notifyWnds;
    for (HWND wnd : windows)
        if (::IsWindow(wnd))
            ::SendMessage(wnd, SECCustomToolBar::BarNotifyMessage(), nBarID, nCode);
}

void SECToolBarManager::PostDestroyToolBar(SECCustomToolBar* pBar)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    const UINT id = static_cast<UINT>(pBar->GetDlgCtrlID());
    if (std::find(m_pendingDestroy.begin(), m_pendingDestroy.end(), id) == m_pendingDestroy.end())
        m_pendingDestroy.push_back(id);
    if (!m_pPostWnd) {
        m_pPostWnd = std::make_unique<SECToolBarPostWnd>(this);
        m_pPostWnd->CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
    }
    if (m_pPostWnd->m_hWnd)
        m_pPostWnd->PostMessage(SECToolBarPostWnd::DestroyMessage());
}

void SECToolBarManager::DestroyPendingToolBars()
{
    const std::vector<UINT> ids = std::move(m_pendingDestroy);
    m_pendingDestroy.clear();
    for (UINT id : ids) {
        // Only a bar that is still there and still empty goes: a drop may have refilled it.
        SECCustomToolBar* bar = ToolBarFromID(id);
        if (!bar || bar->GetBtnCount() > 0)
            continue;
        if (bar == m_pSelectionHolder)
            m_pSelectionHolder = nullptr;
        CFrameWnd* frame = m_pFrameWnd;
        if (bar->IsFloating() && bar->GetParentFrame() && bar->GetParentFrame() != frame)
            bar->GetParentFrame()->DestroyWindow();
        else
            bar->DestroyWindow();
        if (frame && frame->m_hWnd)
            frame->RecalcLayout();
    }
}
