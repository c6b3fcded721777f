#include "toolkit/frames/SECFrameDocking.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECDockContext.h"
#include "toolkit/docking/SECDockState.h"
#include "toolkit/docking/SECMiniDockFrameWnd.h"
#include "toolkit/frames/SECDockableFrame.h"

const SECFrameDocking::DockSide SECFrameDocking::kDockSides[4] = {
    {AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
    {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
    {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
    {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT},
};

namespace {

constexpr char kPreFloatStyle[] = "SECDockableFrame PreFloat Docked Style";
constexpr char kPreFloatExStyle[] = "SECDockableFrame PreFloat Docked ExStyle";

} // namespace

SECFrameDocking::~SECFrameDocking() = default;

// ---- Dock bars ----

SECDockBar* SECFrameDocking::DoCreateDockBar()
{
    CRuntimeClass* cls = m_pDockBarClass ? m_pDockBarClass : RUNTIME_CLASS(SECDockBar);
    CObject* object = cls->CreateObject();
    if (object && object->IsKindOf(RUNTIME_CLASS(SECDockBar)))
        return static_cast<SECDockBar*>(object);
    delete object;
    return nullptr;
}

void SECFrameDocking::DoEnableDocking(DWORD dwDockStyle)
{
    CFrameWnd* frame = DockingHost();
    if (!m_pDockBarClass)
        m_pDockBarClass = RUNTIME_CLASS(SECDockBar);
    if (!frame->m_pFloatingFrameClass)
        frame->m_pFloatingFrameClass = RUNTIME_CLASS(SECMiniDockFrameWnd);
    for (const DockSide& side : kDockSides) {
        if (!(dwDockStyle & side.style) || frame->GetControlBar(side.id))
            continue;
        SECDockBar* dock = DoCreateDockBar();
        if (!dock)
            AfxThrowResourceException();
        // A dock bar that deletes itself does so once its window stands: one that was made and
        // then refused has been through PostNcDestroy already, and is deleted here alone.
        const BOOL bAutoDelete = dock->m_bAutoDelete;
        dock->m_bAutoDelete = FALSE;
        if (!dock->Create(frame, 0x56000000 | side.style, side.id)) {
            delete dock;
            AfxThrowResourceException();
        }
        dock->m_bAutoDelete = bAutoDelete;
    }
}

CDockBar* SECFrameDocking::DockBarById(UINT nID)
{
    if (!nID)
        return nullptr;
    CControlBar* bar = DockingHost()->GetControlBar(nID);
    return bar && bar->IsDockBar() ? static_cast<CDockBar*>(bar) : nullptr;
}

CDockBar* SECFrameDocking::DefaultDockBar(CControlBar* pBar)
{
    for (const DockSide& side : kDockSides)
        if (pBar->GetBarStyle() & side.style & CBRS_ALIGN_ANY)
            if (CDockBar* dock = DockBarById(side.id))
                return dock;
    return nullptr;
}

// ---- Docking ----

void SECFrameDocking::DoDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    CFrameWnd* frame = DockingHost();
    SECControlBar* sec = AsSEC(pBar);
    if (sec)
        sec->OnPreDock();
    if (!pDockBar)
        pDockBar = DefaultDockBar(pBar);
    if (!pDockBar) {
        if (sec)
            sec->OnPostDock(FALSE);
        return;
    }
    if (pBar->IsFloating())
        if (SECDockableFrame* docFrame = GetDockableFrameOfBar(pBar))
            SetFloatingStyles(docFrame, FALSE);
    pBar->m_pDockSite = frame;
    if (pDockBar->IsKindOf(RUNTIME_CLASS(SECDockBar)))
        static_cast<SECDockBar*>(pDockBar)->DockControlBar(pBar, lpRect);
    else
        frame->CFrameWnd::DockControlBar(pBar, pDockBar, lpRect);
    frame->DelayRecalcLayout();
    if (sec)
        sec->OnPostDock(TRUE);
}

void SECFrameDocking::DockBarInFrame(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    DoDockControlBar(pBar, pDockBar, lpRect);
}

void SECFrameDocking::DoDockControlBarEx(CControlBar* pBar, const SECDockPos& pos, UINT nDockBarID,
                                         const SECDockSize& size)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    CFrameWnd* frame = DockingHost();
    SECControlBar* sec = AsSEC(pBar);
    if (sec)
        sec->OnPreDock();
    CDockBar* dock = DockBarById(nDockBarID);
    if (!dock)
        for (const DockSide& side : kDockSides)
            if ((pBar->GetBarStyle() & CBRS_ALIGN_ANY) == side.style) {
                dock = DockBarById(side.id);
                break;
            }
    if (!dock) {
        if (sec)
            sec->OnPostDock(FALSE);
        return;
    }
    if (pBar->IsFloating())
        if (SECDockableFrame* docFrame = GetDockableFrameOfBar(pBar))
            SetFloatingStyles(docFrame, FALSE);
    if (sec)
        sec->m_fPctWidth = size.m_fPctWidth;
    DWORD mode;
    const DWORD style = pBar->GetBarStyle();
    if ((style & CBRS_SIZE_DYNAMIC) && (style & CBRS_FLOATING))
        mode = LM_HORZ | LM_MRUWIDTH | LM_LENGTHY;
    else if (style & CBRS_ORIENT_HORZ)
        mode = LM_HORZ | LM_HORZDOCK | LM_LENGTHY;
    else
        mode = LM_VERTDOCK;
    pBar->CalcDynamicLayout(size.m_nLength, mode | LM_COMMIT);
    pBar->m_pDockSite = frame;
    if (dock->IsKindOf(RUNTIME_CLASS(SECDockBar)))
        static_cast<SECDockBar*>(dock)->DockControlBar(pBar, pos);
    else
        frame->CFrameWnd::DockControlBar(pBar, dock, nullptr);
    frame->DelayRecalcLayout();
    if (sec)
        sec->OnPostDock(TRUE);
}

void SECFrameDocking::DoReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    CFrameWnd* frame = DockingHost();
    if (!pDockBar) {
        // The side that kept the bar's place, else the last side of its alignment.
        void* holder = CDockBar::PlaceHolderOf(static_cast<UINT>(pBar->GetDlgCtrlID()));
        for (const DockSide& side : kDockSides) {
            CDockBar* dock = DockBarById(side.id);
            if (!dock)
                continue;
            for (INT_PTR i = 1; i < dock->m_arrBars.GetSize() && !pDockBar; ++i)
                if (dock->m_arrBars[i] == holder)
                    pDockBar = dock;
        }
        if (!pDockBar)
            for (const DockSide& side : kDockSides)
                if (pBar->GetBarStyle() & side.style & CBRS_ALIGN_ANY)
                    if (CDockBar* dock = DockBarById(side.id))
                        pDockBar = dock;
        if (!pDockBar)
            for (const DockSide& side : kDockSides)
                if (pBar->m_dwDockStyle & side.style)
                    if (CDockBar* dock = DockBarById(side.id))
                        pDockBar = dock;
    }
    if (!pDockBar)
        return;
    SECControlBar* sec = AsSEC(pBar);
    if (sec)
        sec->OnPreDock();
    if (pBar->IsFloating())
        if (SECDockableFrame* docFrame = GetDockableFrameOfBar(pBar))
            SetFloatingStyles(docFrame, FALSE);
    pBar->m_pDockSite = frame;
    if (pDockBar->IsKindOf(RUNTIME_CLASS(SECDockBar)))
        static_cast<SECDockBar*>(pDockBar)->ReDockControlBar(pBar, lpRect);
    else
        frame->CFrameWnd::ReDockControlBar(pBar, pDockBar, lpRect);
    frame->DelayRecalcLayout();
    if (sec)
        sec->OnPostDock(TRUE);
}

void SECFrameDocking::ReDockBarInFrame(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect)
{
    DoReDockControlBar(pBar, pDockBar, lpRect);
}

// ---- Floating ----

DWORD SECFrameDocking::FloatStyleFor(CControlBar* pBar, DWORD dwStyle)
{
    if (pBar->GetBarStyle() & CBRS_SIZE_DYNAMIC) {
        dwStyle |= CBRS_SIZE_DYNAMIC;
        if (dwStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT))
            dwStyle = (dwStyle & ~static_cast<DWORD>(0xFF00)) | (dwStyle & 0x2F00) | CBRS_ALIGN_TOP;
    }
    return dwStyle;
}

void SECFrameDocking::AdjustFloatingFrame(CControlBar* pBar, CFrameWnd* pFloatFrame)
{
    SECControlBar* sec = AsSEC(pBar);
    if (!sec || !pFloatFrame || (sec->m_dwExStyle & CBRS_EX_UNIDIRECTIONAL))
        return;
    pFloatFrame->ModifyStyle(MFS_4THICKFRAME, WS_THICKFRAME | MFS_THICKFRAME, SWP_FRAMECHANGED);
}

void SECFrameDocking::DoFloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    CFrameWnd* frame = DockingHost();
    pBar->m_pDockSite = frame;
    CDockBar* old = pBar->m_pDockBar;
    // A bar alone in its floating frame only moves the frame.
    if (old && old->m_bFloating && old->GetDockedCount() == 1 &&
        (old->m_dwStyle & CBRS_ALIGN_ANY) == (dwStyle & CBRS_ALIGN_ANY) &&
        !(pBar->IsKindOf(RUNTIME_CLASS(SECControlBar)) && static_cast<SECControlBar*>(pBar)->IsFloatingInMDIChild())) {
        if (CFrameWnd* mini = old->GetParentFrame()) {
            // The bar may have a new size (a resize ends here): the toolkit's floating frame
            // takes it at its new place in one move, without showing the old size there first.
            if (auto* own = dynamic_cast<SECMiniDockFrameWnd*>(mini)) {
                own->RecalcLayoutAt(point.x, point.y, 0);
            } else {
                mini->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                mini->RecalcLayout();
            }
            if (SECDockableFrame* docFrame = GetDockableFrameOfBar(pBar))
                FitFrameToParent(docFrame);
            mini->UpdateWindow();
        }
        return;
    }
    SECControlBar* sec = AsSEC(pBar);
    if (sec)
        sec->OnPreFloat();
    dwStyle = FloatStyleFor(pBar, dwStyle);
    CMiniDockFrameWnd* mini = frame->CreateFloatingFrame(dwStyle);
    CDockBar* dock = AfxFloatingDockBar(mini);
    if (!dock) {
        if (mini)
            mini->DestroyWindow();
        if (sec)
            sec->OnPostFloat(FALSE);
        return;
    }
    if (dock->IsKindOf(RUNTIME_CLASS(SECDockBar)))
        static_cast<SECDockBar*>(dock)->DockControlBar(pBar, nullptr);
    else
        dock->DockControlBar(pBar);
    AdjustFloatingFrame(pBar, mini);
    if (SECDockableFrame* docFrame = GetDockableFrameOfBar(pBar))
        SetFloatingStyles(docFrame, TRUE);
    mini->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    mini->RecalcLayout(TRUE);
    if (pBar->GetStyle() & WS_VISIBLE) {
        mini->ShowWindow(SW_SHOWNA);
        mini->UpdateWindow();
    }
    if (SECDockableFrame* docFrame = GetDockableFrameOfBar(pBar))
        FitFrameToParent(docFrame);
    frame->DelayRecalcLayout();
    if (sec)
        sec->OnPostFloat(TRUE);
}

void SECFrameDocking::FloatBarInFrame(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    DoFloatControlBar(pBar, point, dwStyle);
}

// ---- Showing ----

void SECFrameDocking::DoShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    CFrameWnd* docking = pBar->GetDockingFrame();
    if (bDelay) {
        pBar->DelayShow(bShow);
        if (docking)
            docking->DelayRecalcLayout();
    } else {
        pBar->m_nStateFlags &= ~static_cast<UINT>(CControlBar::delayShow | CControlBar::delayHide);
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0,
                           SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                               (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        if (docking && !(!bShow && pBar->IsFloating()))
            docking->RecalcLayout();
    }
    if (pBar->IsFloating() && docking && docking != DockingHost()) {
        const int visible = pBar->m_pDockBar ? pBar->m_pDockBar->GetDockedVisibleCount() : (bShow ? 1 : 0);
        if (visible == 1 && bShow) {
            if (bDelay) {
                docking->ShowWindow(SW_SHOWNA);
                docking->DelayRecalcLayout();
            } else {
                docking->RecalcLayout();
                docking->ShowWindow(SW_SHOWNA);
            }
        } else if (visible == 0) {
            docking->ShowWindow(SW_HIDE);
        } else if (!bDelay) {
            docking->RecalcLayout();
        }
    }
    if (pBar->m_pDockBar && pBar->m_pDockBar->IsKindOf(RUNTIME_CLASS(SECDockBar)))
        static_cast<SECDockBar*>(pBar->m_pDockBar)->NoteBarChanged(pBar);
}

// ---- Document frames in bars ----

SECDockableFrame* SECFrameDocking::GetDockableFrameOfBar(CControlBar* pBar)
{
    if (!pBar || !pBar->m_hWnd)
        return nullptr;
    for (HWND child = ::GetWindow(pBar->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CWnd* wnd = CWnd::FromHandlePermanent(child);
        if (wnd && wnd->IsKindOf(RUNTIME_CLASS(SECDockableFrame)))
            return static_cast<SECDockableFrame*>(wnd);
    }
    return nullptr;
}

void SECFrameDocking::SetFloatingStyles(CFrameWnd* pFrame, BOOL bFloating)
{
    if (!pFrame || !pFrame->m_hWnd)
        return;
    CFrameWnd* main = DockingHost();
    const DWORD s = main->GetStyle();
    const DWORD x = main->GetExStyle();
    if (bFloating) {
        ::SetProp(pFrame->m_hWnd, kPreFloatStyle, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(pFrame->GetStyle())));
        ::SetProp(pFrame->m_hWnd, kPreFloatExStyle,
                  reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(pFrame->GetExStyle())));
        if (CFrameWnd* container = pFrame->GetParentFrame()) {
            container->ModifyStyle(s, 0x16000000);
            container->ModifyStyleEx(x, 0);
        }
        pFrame->ModifyStyle(0, (s & 0x10CFFFFF) | 0x00C00000);
        pFrame->ModifyStyleEx(0, x & 0x000203A9, SWP_FRAMECHANGED);
    } else {
        HANDLE style = ::GetProp(pFrame->m_hWnd, kPreFloatStyle);
        HANDLE exStyle = ::GetProp(pFrame->m_hWnd, kPreFloatExStyle);
        if (!style)
            return;   // it never floated: its docked styles are the ones it has
        ::SetWindowLong(pFrame->m_hWnd, GWL_STYLE, static_cast<LONG>(reinterpret_cast<UINT_PTR>(style)));
        ::SetWindowLong(pFrame->m_hWnd, GWL_EXSTYLE, static_cast<LONG>(reinterpret_cast<UINT_PTR>(exStyle)));
        ::SetWindowPos(pFrame->m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void SECFrameDocking::FitFrameToParent(CFrameWnd* pFrame)
{
    if (!pFrame || !pFrame->m_hWnd)
        return;
    CWnd* parent = pFrame->GetParent();
    if (!parent)
        return;
    // The frame covers its bar's inside.
    CRect rect;
    parent->GetClientRect(&rect);
    pFrame->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Saved layouts ----

void SECFrameDocking::DoLoadBarState(LPCTSTR lpszProfileName, BOOL bMainWindowFirst)
{
    CFrameWnd* frame = DockingHost();
    SECDockState state(m_pControlBarManager);
    state.m_pCreatedBars = &m_listCreatedBars;
    CWinApp* app = AfxGetApp();
    if (bMainWindowFirst && app && !app->m_pMainWnd)
        app->m_pMainWnd = frame;
    state.LoadState(lpszProfileName);
    if (!bMainWindowFirst && app && !app->m_pMainWnd)
        app->m_pMainWnd = frame;
    state.SetState(frame);
}

void SECFrameDocking::DoSaveBarState(LPCTSTR lpszProfileName)
{
    SECDockState state(m_pControlBarManager);
    if (state.GetState(DockingHost())) {
        state.CleanBarIDs();
        state.SaveState(lpszProfileName);
    }
}
