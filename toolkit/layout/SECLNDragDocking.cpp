#include "toolkit/layout/SECLNDragDocking.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CDocManager.h"
#include "platform/afx/doc/CDocTemplate.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/MessageMap.h"
#include "platform/win/MenuApi.h"

#include <set>

SECLNDragGlobals& SECLNDragState()
{
    static SECLNDragGlobals state;
    return state;
}

void SECLNRefreshFrameLayouts()
{
    if (SECLNDragState().bSuppressFrameLayout)
        return;
    std::set<CFrameWnd*> done;
    auto refresh = [&done](CWnd* wnd) {
        auto* frame = dynamic_cast<CFrameWnd*>(wnd);
        if (frame != nullptr && frame->GetSafeHwnd() != nullptr && done.insert(frame).second)
            frame->RecalcLayout();
    };
    refresh(AfxGetMainWnd());
    CWinApp* app = AfxGetApp();
    if (app == nullptr || app->m_pDocManager == nullptr)
        return;
    for (CDocTemplate* tmpl : app->m_pDocManager->GetTemplates()) {
        for (POSITION dp = tmpl->GetFirstDocPosition(); dp != nullptr;) {
            CDocument* doc = tmpl->GetNextDoc(dp);
            for (POSITION vp = doc->GetFirstViewPosition(); vp != nullptr;) {
                CView* view = doc->GetNextView(vp);
                if (view != nullptr)
                    refresh(view->GetParentFrame());
            }
        }
    }
}

void SECLNDispatchPendingPaints()
{
    MSG msg;
    while (::PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
}

// ---- Feature ----------------------------------------------------------------------------------

namespace {
template <class I>
SECLayoutNode* AsNode(I* p)
{
    return p ? dynamic_cast<SECLayoutNode*>(p) : nullptr;
}
}   // namespace

SECDragDropDockingFeature::SECDragDropDockingFeature() : m_pProgressInfo(new SECDockInProgressInfo) {}

SECDragDropDockingFeature::~SECDragDropDockingFeature()
{
    if (m_pDesktopDC != nullptr)
        ReleaseDesktopDC(m_pDesktopDC);
    delete m_pNodeList;
    delete m_pProgressInfo;
}

SECLNRootRegistry* SECDragDropDockingFeature::GetRegistry() const
{
    return m_pRegistry ? m_pRegistry : SECLNDragState().pDefaultRootRegistry;
}

ISECDockInitiator* SECDragDropDockingFeature::FindDragSource(UINT /*nKeyState*/, CPoint ptScreen)
{
    if (m_pRegistry == nullptr)
        return nullptr;
    SECDockInitiatorHitTester tester;
    return tester.Search(m_pRegistry, ptScreen, TRUE);
}

BOOL SECDragDropDockingFeature::OnBeginDrag(UINT nKeyState, CPoint ptScreen)
{
    m_ptLast = CPoint(-1, -1);
    return BeginDock(nKeyState, ptScreen, TRUE);
}

BOOL SECDragDropDockingFeature::OnDragMove(UINT nKeyState, CPoint ptScreen)
{
    if (m_bInMove)
        return FALSE;
    m_bInMove = TRUE;
    BOOL result = TRUE;
    if (ptScreen != m_ptLast) {
        if (!SECLNDragState().bLiveDocking) {
            result = TrackDock(nKeyState, ptScreen, FALSE);
        } else if (EndDock(nKeyState, ptScreen, TRUE, FALSE)) {
            SECLNDispatchPendingPaints();
            result = BeginDock(nKeyState, ptScreen, FALSE);
        } else {
            result = FALSE;
        }
        m_ptLast = ptScreen;
    }
    m_bInMove = FALSE;
    return result;
}

BOOL SECDragDropDockingFeature::OnEndDrag(UINT nKeyState, CPoint ptScreen, BOOL bDrop)
{
    return EndDock(nKeyState, ptScreen, bDrop, TRUE);
}

BOOL SECDragDropDockingFeature::DoubleClickAt(UINT /*nKeyState*/, CPoint ptScreen)
{
    SECLNRootRegistry* registry = m_pRegistry;
    if (registry == nullptr)
        return FALSE;
    ISECDockInitiator* initiator = FindInitiator(registry, ptScreen, TRUE);
    return initiator ? initiator->OnDockDoubleClick(registry) : FALSE;
}

BOOL SECDragDropDockingFeature::BeginDock(UINT /*nKeyState*/, CPoint ptScreen, BOOL bFirst)
{
    SECLNRootRegistry* registry = GetRegistry();
    if (registry == nullptr)
        return FALSE;
    SECLNDragGlobals& state = SECLNDragState();
    if (bFirst)
        SECLNDispatchPendingPaints();
    state.bSuppressFrameLayout = TRUE;
    ISECDockInitiator* initiator = FindInitiator(registry, ptScreen, bFirst);
    if (initiator == nullptr) {
        state.bSuppressFrameLayout = FALSE;   // nothing is left behind
        if (m_pFrozenNode != nullptr)
            FreezeForDrag(m_pFrozenNode, FALSE, registry, TRUE, TRUE);
        return FALSE;
    }
    SECLayoutNode* node = AsNode(initiator);
    if (bFirst) {
        m_pProgressInfo->Reset();
        registry->NotifyDragStart(ptScreen, node, &m_pProgressInfo->m_nFirstWord);
    }
    FreezeForDrag(node, TRUE, registry, FALSE, FALSE);
    m_pDragData = initiator->BeginDockDrag(registry, bFirst, m_pProgressInfo);
    if (m_pDragData == nullptr) {
        state.bSuppressFrameLayout = FALSE;
        FreezeForDrag(node, FALSE, registry, TRUE, TRUE);
        return FALSE;
    }
    if (m_pDesktopDC == nullptr)
        m_pDesktopDC = GetDesktopDC();
    state.pCurrentInitiator = initiator;
    if (bFirst)
        state.pDraggedNode = node;
    delete m_pNodeList;
    m_pNodeList = new SECLNNodeList;
    return TRUE;
}

BOOL SECDragDropDockingFeature::TrackDock(UINT nKeyState, CPoint ptScreen, BOOL /*bFlag*/)
{
    SECLNRootRegistry* registry = GetRegistry();
    ISECDockTarget* target = nullptr;
    if (!ForcesFloat(ptScreen, nKeyState, target))
        target = FindTarget(ptScreen, registry, nullptr);
    ISECDockableNode* dockable = QueryDockable(ptScreen, target, registry);
    if (dockable == nullptr)
        return FALSE;
    CRect rect;
    const BOOL fromTarget = target != nullptr && target->CalcFeedbackRect(ptScreen, rect, registry, m_pProgressInfo);
    if (!fromTarget && !dockable->CalcFeedbackRect(ptScreen, rect, registry, m_pProgressInfo))
        return FALSE;
    if (m_pCurrentDockable != nullptr && m_pCurrentDockable != dockable)
        m_pCurrentDockable->EraseFeedback(m_pDesktopDC);
    m_pCurrentDockable = dockable;
    dockable->DrawFeedback(m_pDesktopDC, rect, target);
    return TRUE;
}

BOOL SECDragDropDockingFeature::EndDock(UINT nKeyState, CPoint ptScreen, BOOL bDrop, BOOL bFinal)
{
    SECLNDragGlobals& state = SECLNDragState();
    SECLNRootRegistry* registry = GetRegistry();
    ISECDockInitiator* initiator = state.pCurrentInitiator;
    if (initiator == nullptr || registry == nullptr)
        return FALSE;   // no drag began
    if (state.bLiveDocking)
        state.bSuppressFrameLayout = FALSE;
    ISECLNContainer* excluded = initiator->ExcludesOwnContainer() ? registry->FindContainer(AsNode(initiator)) : nullptr;
    ISECDockTarget* target = nullptr;
    if (!ForcesFloat(ptScreen, nKeyState, target))
        target = FindTarget(ptScreen, registry, excluded);
    ISECDockableNode* dockable = QueryDockable(ptScreen, target, registry);
    if (dockable != nullptr)
        dockable->EraseFeedback(m_pDesktopDC);
    if (m_pCurrentDockable != nullptr && m_pCurrentDockable != dockable)
        m_pCurrentDockable->EraseFeedback(m_pDesktopDC);
    BOOL docked = FALSE;
    if (bDrop && dockable != nullptr)
        docked = PerformDock(ptScreen, dockable, target, registry);
    if (!docked)
        initiator->OnDockCancelled();
    SECLayoutNode* dockNode = AsNode(dockable);
    if (dockNode != nullptr && dockNode->GetRootNode() != m_pFrozenRoot)
        dockNode->SetFrozen(FALSE, TRUE);
    FreezeForDrag(dockNode ? dockNode : AsNode(initiator), FALSE, registry, bFinal, target == nullptr);
    if (docked)
        initiator->OnDocked(dockable, registry);
    initiator->EndDockDrag();
    if (!state.bLiveDocking) {
        state.bSuppressFrameLayout = FALSE;
        SECLNRefreshFrameLayouts();
    }
    if (m_pDesktopDC != nullptr) {
        ReleaseDesktopDC(m_pDesktopDC);
        m_pDesktopDC = nullptr;
    }
    state.pCurrentInitiator = nullptr;
    if (bFinal) {
        state.pDraggedNode = nullptr;
        m_pCurrentDockable = nullptr;
    } else {
        m_pCurrentDockable = dockable;
    }
    delete m_pNodeList;
    m_pNodeList = nullptr;
    return TRUE;
}

CDC* SECDragDropDockingFeature::GetDesktopDC()
{
    HDC hDC = ::GetDCEx(::GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    if (hDC == nullptr)
        return nullptr;
    auto* dc = new CDC;
    dc->Attach(hDC);
    return dc;
}

void SECDragDropDockingFeature::ReleaseDesktopDC(CDC* pDC)
{
    if (pDC == nullptr)
        return;
    ::ReleaseDC(nullptr, pDC->Detach());
    delete pDC;
}

ISECDockInitiator* SECDragDropDockingFeature::FindInitiator(SECLNRootRegistry* pRegistry, CPoint ptScreen, BOOL bFirst)
{
    if (SECLNDragState().bLiveDocking && !bFirst)
        return m_pCurrentDockable ? m_pCurrentDockable->GetInitiator() : nullptr;
    SECDockInitiatorHitTester tester;
    return tester.Search(pRegistry, ptScreen, TRUE);
}

BOOL SECDragDropDockingFeature::PerformDock(CPoint ptScreen, ISECDockableNode* pDockable, ISECDockTarget* pTarget,
                                            SECLNRootRegistry* pRegistry)
{
    BOOL accepted = pTarget != nullptr && pTarget->AcceptDrop(pDockable, ptScreen, pRegistry, m_pProgressInfo);
    if (!accepted)
        accepted = pDockable->AcceptFloat(ptScreen, pRegistry, m_pProgressInfo);
    if (!accepted)
        return FALSE;
    if (pTarget == nullptr && SECLNDragState().bLiveDocking)
        m_pProgressInfo->m_rect.SetRectEmpty();
    pRegistry->NotifyDock(AsNode(pDockable), m_pDragData, AsNode(pTarget), m_pNodeList);
    if (ISECDockInitiator* initiator = SECLNDragState().pCurrentInitiator)
        initiator->OnDock(pTarget, ptScreen, pRegistry, m_pNodeList);
    pDockable->OnDropped(pRegistry, m_pNodeList);
    pRegistry->NodeChanged(AsNode(pDockable));
    pRegistry->NodeChanged(m_pDragData);
    return TRUE;
}

ISECDockTarget* SECDragDropDockingFeature::FindTarget(CPoint ptScreen, SECLNRootRegistry* pRegistry, ISECLNContainer* pExcluded)
{
    SECLNTargetDockHitTester tester;
    tester.SetExcludedContainer(pExcluded);
    if (ISECDockTarget* target = tester.Search(pRegistry, ptScreen, FALSE))
        return target;
    SECLNOffNodeDockIFaceHitTest_T<ISECDockTarget> offNode;
    return offNode.SearchRegistry(pRegistry, ptScreen);
}

BOOL SECDragDropDockingFeature::ForcesFloat(CPoint /*ptScreen*/, UINT nKeyState, ISECDockTarget*& pTarget)
{
    if (!(nKeyState & MK_CONTROL))
        return FALSE;
    pTarget = nullptr;
    return TRUE;
}

ISECDockableNode* SECDragDropDockingFeature::QueryDockable(CPoint ptScreen, ISECDockTarget* pTarget, SECLNRootRegistry* pRegistry)
{
    ISECDockInitiator* initiator = SECLNDragState().pCurrentInitiator;
    return initiator ? initiator->GetDockable(pTarget, ptScreen, pRegistry, m_pNodeList) : nullptr;
}

void SECDragDropDockingFeature::FreezeForDrag(SECLayoutNode* pNode, BOOL bStarting, SECLNRootRegistry* pRegistry,
                                              BOOL bFinal, BOOL bNoTarget)
{
    if (pNode == nullptr || pRegistry == nullptr)
        return;
    if (bStarting) {
        m_pFrozenRoot = pNode->GetRootNode();
        m_pFrozenRoot->SetFrozen(TRUE, TRUE);
        m_pFrozenNode = pNode;
        m_pFrozenContainer = pRegistry->FindContainer(pNode);
        m_rectFrozen = pNode->GetCurrentRect();
        if (m_pFrozenContainer != nullptr)
            m_pFrozenContainer->LockDrawing(TRUE);
        return;
    }
    const bool keep = !bNoTarget && SECLNDragState().bLiveDocking && !bFinal && m_pFrozenNode != nullptr &&
                      pRegistry->FindContainer(m_pFrozenNode) != nullptr &&
                      pRegistry->FindContainer(m_pFrozenNode) == m_pFrozenContainer &&
                      m_pFrozenNode->GetCurrentRect() == m_rectFrozen;
    if (!keep) {
        if (m_pFrozenRoot != nullptr)
            m_pFrozenRoot->SetFrozen(FALSE, TRUE);
        if (ISECLNContainer* container = pRegistry->FindContainer(pNode))
            container->LockDrawing(FALSE);
        else if (m_pFrozenContainer != nullptr)
            m_pFrozenContainer->LockDrawing(FALSE);
    }
    m_pFrozenNode = nullptr;
    m_pFrozenRoot = nullptr;
    m_pFrozenContainer = nullptr;
    m_rectFrozen.SetRectEmpty();
}

SCODE SECOleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    const SCODE base = COleDropSource::QueryContinueDrag(bEscapePressed, dwKeyState);
    POINT pt;
    if (!::GetCursorPos(&pt) || m_pTask == nullptr || !m_pTask->OnDragMove(dwKeyState, pt))
        return DRAGDROP_S_CANCEL;
    return base;
}

// ---- Floating frame ---------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(SECLayoutMiniFloatWnd, CMiniFrameWnd)

BEGIN_MESSAGE_MAP(SECLayoutMiniFloatWnd, CMiniFrameWnd)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CList<SECLayoutMiniFloatWnd*, SECLayoutMiniFloatWnd*>& SECLayoutMiniFloatWnd::FloatingFrames()
{
    static auto* frames = new CList<SECLayoutMiniFloatWnd*, SECLayoutMiniFloatWnd*>(10);
    return *frames;
}

SECLayoutMiniFloatWnd::~SECLayoutMiniFloatWnd()
{
    auto& frames = FloatingFrames();
    if (POSITION pos = frames.Find(this))
        frames.RemoveAt(pos);
    delete m_pFloatListener;
}

BOOL SECLayoutMiniFloatWnd::Create(LPCTSTR lpszTitle, SECLayoutNode* pRoot, CWnd* pParent, BOOL bHideOnClose, BOOL bClosable)
{
    if (pRoot == nullptr)
        return FALSE;
    m_pFloatRoot = pRoot;
    m_bHideOnClose = bHideOnClose;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_THICKFRAME;
    // A frame whose window could not be made has gone with it (PostNcDestroy): nothing of it is
    // touched then.
    if (!CMiniFrameWnd::CreateEx(0, nullptr, lpszTitle ? lpszTitle : "", style, CRect(0, 0, 0, 0), pParent, 0))
        return FALSE;
    if (!bClosable) {
        if (HMENU menu = ::GetSystemMenu(m_hWnd, FALSE))
            ::DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND);
    }
    FloatingFrames().AddTail(this);
    return TRUE;
}

BOOL SECLayoutMiniFloatWnd::ShowAt(const CRect& rect, SECLNRootRegistry* pRegistry)
{
    if (pRegistry == nullptr || m_pFloatRoot == nullptr)
        return FALSE;
    if (!SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_SHOWWINDOW))
        return FALSE;
    if (m_pFloatListener != nullptr)
        return TRUE;
    m_pFloatListener = new SECDockingListener;
    m_pFloatListener->SetRegisterContainer(FALSE);
    return m_pFloatListener->AutoInit(m_pFloatRoot, this, pRegistry, FALSE, FALSE, TRUE);
}

void SECLayoutMiniFloatWnd::OnClose()
{
    if (m_bHideOnClose) {
        ShowWindow(SW_HIDE);
        return;
    }
    CMiniFrameWnd::OnClose();
}

void SECLayoutMiniFloatWnd::OnDestroy()
{
    CMiniFrameWnd::OnDestroy();
    delete m_pFloatListener;
    m_pFloatListener = nullptr;
}

BOOL SECLayoutMiniFloatWnd::OnEraseBkgnd(CDC* pDC)
{
    const BOOL result = CMiniFrameWnd::OnEraseBkgnd(pDC);
    if (m_pFloatRoot != nullptr)
        m_pFloatRoot->RealizeLayout();
    return result;
}

// ---- Periphery windows ------------------------------------------------------------------------

LRESULT SECSizeParentRelayWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZEPARENT && m_pClient != nullptr) {
        const LRESULT result = m_pClient->OnSizeParentLayout(lParam);
        if (result == 1)
            PostMessage(kFollowUpMessage, 0, 0);
        return result;
    }
    if (message == kFollowUpMessage) {
        if (m_pClient != nullptr)
            m_pClient->OnSizeParentFollowUp();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL SECHotRectListener::RectAt(int i, CPoint pt) const
{
    CRect rect;
    const BOOL got = i == 0 ? GetHotRect1(rect) : GetHotRect2(rect);
    return got && rect.PtInRect(pt);
}

void SECHotRectListener::InvalidateHot(int i)
{
    CRect rect;
    if ((i == 0 ? GetHotRect1(rect) : GetHotRect2(rect)) && m_hWnd != nullptr)
        ::InvalidateRect(m_hWnd, &rect, TRUE);
    OnHotRectPressChanged(i);
}

BOOL SECHotRectListener::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (!IsPluggedIn())
        return FALSE;
    const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_LBUTTONDOWN:
        for (int i = 0; i < 2; ++i) {
            if (m_hot[i].bEnabled && m_hot[i].bShown && RectAt(i, pt)) {
                m_hot[i].bPressed = m_hot[i].bTracking = TRUE;
                InvalidateHot(i);
                ::SetCapture(m_hWnd);
                SetMsgFlags(0xFF);
                return TRUE;
            }
        }
        break;
    case WM_MOUSEMOVE:
        for (int i = 0; i < 2; ++i) {
            if (!m_hot[i].bTracking)
                continue;
            const BOOL inside = RectAt(i, pt);
            if (inside != m_hot[i].bPressed) {
                m_hot[i].bPressed = inside;
                InvalidateHot(i);
            }
            break;
        }
        break;
    case WM_LBUTTONUP: {
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        for (int i = 0; i < 2; ++i) {
            if (!m_hot[i].bTracking)
                continue;
            m_hot[i].bPressed = m_hot[i].bTracking = FALSE;
            InvalidateHot(i);
            if (RectAt(i, pt)) {
                if (i == 0)
                    OnHotRect1Click();
                else
                    OnHotRect2Click();
                SetMsgFlags(0xFF);
                return TRUE;
            }
        }
        break;
    }
    default: break;
    }
    return SECWndListener::OnWndMsg(message, wParam, lParam, pResult);
}
