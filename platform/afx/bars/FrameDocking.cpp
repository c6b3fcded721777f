// CFrameWnd's docking members: the dock bars along the sides, docking, floating and showing its
// control bars, and the search for a bar by id among the docked and the floating ones.
#include "platform/afx/AfxRes.h"
#include "platform/afx/bars/CDockContext.h"
#include "platform/afx/bars/CDockState.h"
#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/frame/CFrameWnd.h"

#include <vector>


namespace {

struct SideMap {
    UINT id;
    DWORD style;
};
// In the order the sides are laid out: top and bottom span the frame, left and right fit between.
constexpr SideMap kSides[4] = {
    {AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
    {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
    {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
    {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT},
};

} // namespace

void AfxRecalcFrameLayout(CFrameWnd* pFrame, BOOL bDelay)
{
    if (!pFrame || !pFrame->m_hWnd)
        return;
    // A floating frame's size follows its bars at once: waiting would show it at the old size.
    if (pFrame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)))
        pFrame->RecalcLayout();
    else if (bDelay)
        pFrame->DelayRecalcLayout();
    else
        pFrame->RecalcLayout();
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    for (const SideMap& side : kSides) {
        if (!(dwDockStyle & side.style) || GetControlBar(side.id))
            continue;
        // The dock bar deletes itself with its window, but only once the window stands: one
        // that was made and then refused has been through PostNcDestroy already.
        auto* dock = new CDockBar;
        dock->m_bAutoDelete = FALSE;
        if (!dock->Create(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | side.style, side.id)) {
            delete dock;
            continue;
        }
        dock->m_bAutoDelete = TRUE;
    }
    if (!m_pFloatingFrameClass)
        m_pFloatingFrameClass = RUNTIME_CLASS(CMiniDockFrameWnd);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    if (nID == 0)
        return nullptr;
    // Every bar made in the frame is on its list, wherever it has docked or floated since.
    for (CControlBar* bar : m_listControlBars)
        if (bar->m_hWnd && static_cast<UINT>(bar->GetDlgCtrlID()) == nID)
            return bar;
    return nullptr;
}

DWORD CFrameWnd::CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar)
{
    for (const SideMap& side : kSides) {
        if (!(dwDockStyle & side.style))
            continue;
        auto* dock = static_cast<CDockBar*>(GetControlBar(side.id));
        if (!dock || !dock->IsDockBar())
            continue;
        CRect rectBar;
        dock->GetWindowRect(&rectBar);
        // An empty side is a line along the edge: it still takes an outline that reaches it.
        if (rectBar.Width() == 0)
            rectBar.right++;
        if (rectBar.Height() == 0)
            rectBar.bottom++;
        CRect overlap;
        if (overlap.IntersectRect(&rectBar, &rect)) {
            if (ppDockBar)
                *ppDockBar = dock;
            return side.style;
        }
    }
    return 0;
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    CDockBar* dock = nDockBarID ? static_cast<CDockBar*>(GetControlBar(nDockBarID)) : nullptr;
    if (dock && !dock->IsDockBar())
        dock = nullptr;
    DockControlBar(pBar, dock, lpRect);
}

namespace {

CDockBar* DefaultDockBar(CFrameWnd* frame, CControlBar* bar)
{
    // The side the bar was made for first, then any side it may dock on.
    for (int pass = 0; pass < 2; ++pass)
        for (const SideMap& side : kSides) {
            const DWORD want = pass == 0 ? (bar->GetBarStyle() & CBRS_ALIGN_ANY) : bar->m_dwDockStyle;
            if (!(want & side.style) || !(bar->m_dwDockStyle & side.style))
                continue;
            if (auto* dock = static_cast<CDockBar*>(frame->GetControlBar(side.id)); dock && dock->IsDockBar())
                return dock;
        }
    return nullptr;
}

} // namespace

void CFrameWnd::DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    if (!pDockBar)
        pDockBar = DefaultDockBar(this, pBar);
    if (!pDockBar)
        return;   // docking was not enabled on any side the bar accepts
    pBar->m_pDockSite = this;
    pDockBar->DockControlBar(pBar, lpRect);
    AfxRecalcFrameLayout(this, TRUE);
}

void CFrameWnd::ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    if (!pDockBar) {
        // The side that holds the bar's placeholder, else its default side.
        const void* holder = CDockBar::PlaceHolderOf(static_cast<UINT>(pBar->GetDlgCtrlID()));
        for (const SideMap& side : kSides) {
            auto* dock = static_cast<CDockBar*>(GetControlBar(side.id));
            if (!dock || !dock->IsDockBar())
                continue;
            for (INT_PTR i = 1; i < dock->m_arrBars.GetSize() && !pDockBar; ++i)
                if (dock->m_arrBars[i] == holder)
                    pDockBar = dock;
        }
        if (!pDockBar)
            pDockBar = DefaultDockBar(this, pBar);
    }
    if (!pDockBar)
        return;
    pBar->m_pDockSite = this;
    pDockBar->ReDockControlBar(pBar, lpRect);
    AfxRecalcFrameLayout(this, TRUE);
}

CMiniDockFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD dwStyle)
{
    CRuntimeClass* cls = m_pFloatingFrameClass ? m_pFloatingFrameClass : RUNTIME_CLASS(CMiniDockFrameWnd);
    CObject* object = cls->CreateObject();
    auto* mini = object && object->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)) ? static_cast<CMiniDockFrameWnd*>(object)
                                                                                : nullptr;
    if (!mini) {
        delete object;
        return nullptr;
    }
    // A frame that fails to come has freed its object.
    return mini->Create(this, dwStyle) ? mini : nullptr;
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    pBar->m_pDockSite = this;
    // A bar alone in its floating frame only moves it.
    if (pBar->m_pDockBar && pBar->m_pDockBar->m_bFloating && pBar->m_pDockBar->GetDockedCount() == 1) {
        if (CWnd* mini = pBar->m_pDockBar->GetParent())
            mini->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    // A bar that changes shape floats in a frame whose edges resize it.
    if (pBar->GetBarStyle() & CBRS_SIZE_DYNAMIC) {
        dwStyle |= CBRS_SIZE_DYNAMIC;
        if (dwStyle & CBRS_ORIENT_VERT)
            dwStyle = (dwStyle & ~static_cast<DWORD>(CBRS_ALIGN_ANY)) | CBRS_ALIGN_TOP;
    }
    CMiniDockFrameWnd* mini = CreateFloatingFrame(dwStyle);
    CDockBar* dock = AfxFloatingDockBar(mini);
    if (!dock) {
        if (mini)
            mini->DestroyWindow();
        return;
    }
    mini->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    dock->DockControlBar(pBar);
    mini->RecalcLayout();
    if (pBar->GetStyle() & WS_VISIBLE)
        mini->ShowWindow(SW_SHOWNA);
    AfxRecalcFrameLayout(this, TRUE);
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    CFrameWnd* frame = pBar->GetDockingFrame();
    if (bDelay) {
        pBar->DelayShow(bShow);   // the next layout shows or hides it with the others
    } else {
        pBar->m_nStateFlags &= ~static_cast<UINT>(CControlBar::delayShow | CControlBar::delayHide);
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                               (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        if (bShow || !pBar->IsFloating())
            AfxRecalcFrameLayout(frame, FALSE);
    }
    // A floating frame shows while it has a bar to show.
    if (pBar->IsFloating() && frame && frame != this) {
        const int visible = pBar->m_pDockBar->GetDockedVisibleCount();
        if (bShow && visible >= 1 && !frame->IsWindowVisible())
            frame->ShowWindow(SW_SHOWNA);
        else if (!bShow && visible == 0)
            frame->ShowWindow(SW_HIDE);
    }
}

// ---- Saved layouts ----

void CFrameWnd::GetDockState(CDockState& state)
{
    state.Clear();
    for (CControlBar* bar : m_listControlBars) {
        if (!bar->m_hWnd)
            continue;
        auto* info = new CControlBarInfo;
        if (bar->IsDockBar())
            static_cast<CDockBar*>(bar)->GetBarInfo(info);
        else
            bar->GetBarInfo(info);
        // An emptied floating frame is on its way out: it is no part of the layout.
        if (info->m_bDockBar && info->m_bFloating && static_cast<CDockBar*>(bar)->GetDockedCount() == 0) {
            delete info;
            continue;
        }
        state.m_arrBarInfo.Add(info);
    }
}

void CFrameWnd::SetDockState(const CDockState& state)
{
    // The floating frames there are now give way to the saved ones once their bars have moved.
    std::vector<CDockBar*> oldFloating;
    for (CControlBar* bar : m_listControlBars)
        if (bar->IsDockBar() && static_cast<CDockBar*>(bar)->m_bFloating)
            oldFloating.push_back(static_cast<CDockBar*>(bar));

    std::vector<CControlBarInfo*> infos;
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
        auto* info = static_cast<CControlBarInfo*>(state.m_arrBarInfo[i]);
        info->m_pBar = nullptr;
        if (info->m_bDockBar && info->m_bFloating) {
            CMiniDockFrameWnd* mini = CreateFloatingFrame(info->m_bHorz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT);
            CDockBar* dock = AfxFloatingDockBar(mini);
            if (!dock) {
                if (mini)
                    mini->DestroyWindow();
                continue;
            }
            info->m_pBar = dock;
        } else {
            CControlBar* bar = GetControlBar(info->m_nBarID);
            // A bar that no longer exists is passed over.
            if (!bar || (bar->IsDockBar() && static_cast<CDockBar*>(bar)->m_bFloating))
                continue;
            info->m_pBar = bar;
        }
        infos.push_back(info);
    }
    // Dock bars first: they take the bars in; the bars then take their places inside.
    for (CControlBarInfo* info : infos)
        if (info->m_pBar->IsDockBar())
            static_cast<CDockBar*>(info->m_pBar)->SetBarInfo(info, this);
    for (CControlBarInfo* info : infos)
        if (!info->m_pBar->IsDockBar())
            info->m_pBar->SetBarInfo(info, this);
    for (CControlBarInfo* info : infos) {
        if (!info->m_pBar->IsDockBar() || !static_cast<CDockBar*>(info->m_pBar)->m_bFloating)
            continue;
        auto* dock = static_cast<CDockBar*>(info->m_pBar);
        auto* mini = static_cast<CFrameWnd*>(dock->GetParent());
        mini->RecalcLayout();
        if (info->m_bVisible && dock->GetDockedVisibleCount() > 0)
            mini->ShowWindow(SW_SHOWNA);
    }
    for (CDockBar* dock : oldFloating)
        if (dock->GetDockedCount() == 0)
            if (CWnd* mini = dock->GetParent())
                mini->DestroyWindow();
    RecalcLayout();
}

void CFrameWnd::SaveBarState(LPCTSTR lpszProfileName)
{
    CDockState state;
    GetDockState(state);
    state.SaveState(lpszProfileName);
}

void CFrameWnd::LoadBarState(LPCTSTR lpszProfileName)
{
    CDockState state;
    state.LoadState(lpszProfileName);
    SetDockState(state);
}
