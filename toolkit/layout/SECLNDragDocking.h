// Drag docking of layout nodes: listeners that notice a drag starting on a window and run it
// (in-process or through the drag-and-drop loop), the feature that conducts the drag (feedback
// on the desktop, the target search, the drop decision), and the floating frame that holds a
// torn-off node. Nodes take part through the interfaces of SECLNDockInterfaces.h.
#pragma once

#include <cmath>

#include "platform/afx/frame/CMiniFrameWnd.h"
#include "platform/afx/ole/COleDataSource.h"
#include "platform/afx/ole/COleDropSource.h"
#include "platform/win/Cursor.h"
#include "platform/win/Keyboard.h"
#include "toolkit/layout/SECLNRootRegistry.h"
#include "toolkit/layout/SECWndListener.h"

class CDC;
class SECDockingListener;

// ---- Process-wide drag state ------------------------------------------------------------------

struct SECLNDragGlobals {
    BOOL bSuppressFrameLayout = FALSE;   // set while a drag runs
    SECLNRootRegistry* pDefaultRootRegistry = nullptr;
    BOOL bLiveDocking = FALSE;
    ISECDockInitiator* pCurrentInitiator = nullptr;
    SECLayoutNode* pDraggedNode = nullptr;
};
SECLNDragGlobals& SECLNDragState();
// Unless suppressed, lays out the main window and every frame of the documents' views once.
void SECLNRefreshFrameLayouts();
// Dispatches the paint messages waiting, so the screen shows the layout before feedback.
void SECLNDispatchPendingPaints();

// ---- The feature ------------------------------------------------------------------------------

class SECDragDropDockingFeature : public ISECDragDropFeature {
public:
    SECDragDropDockingFeature();
    ~SECDragDropDockingFeature() override;
    SECDragDropDockingFeature(const SECDragDropDockingFeature&) = delete;
    SECDragDropDockingFeature& operator=(const SECDragDropDockingFeature&) = delete;

    ISECDockInitiator* FindDragSource(UINT nKeyState, CPoint ptScreen) override;
    BOOL OnBeginDrag(UINT nKeyState, CPoint ptScreen) override;
    BOOL OnDragMove(UINT nKeyState, CPoint ptScreen) override;
    BOOL OnEndDrag(UINT nKeyState, CPoint ptScreen, BOOL bDrop) override;
    BOOL DoubleClickAt(UINT nKeyState, CPoint ptScreen) override;

    virtual BOOL BeginDock(UINT nKeyState, CPoint ptScreen, BOOL bFirst);
    virtual BOOL TrackDock(UINT nKeyState, CPoint ptScreen, BOOL bFlag);
    virtual BOOL EndDock(UINT nKeyState, CPoint ptScreen, BOOL bDrop, BOOL bFinal);
    virtual CDC* GetDesktopDC();
    virtual void ReleaseDesktopDC(CDC* pDC);
    virtual ISECDockInitiator* FindInitiator(SECLNRootRegistry* pRegistry, CPoint ptScreen, BOOL bFirst);
    virtual BOOL PerformDock(CPoint ptScreen, ISECDockableNode* pDockable, ISECDockTarget* pTarget, SECLNRootRegistry* pRegistry);
    virtual ISECDockTarget* FindTarget(CPoint ptScreen, SECLNRootRegistry* pRegistry, ISECLNContainer* pExcluded);
    virtual BOOL ForcesFloat(CPoint ptScreen, UINT nKeyState, ISECDockTarget*& pTarget);
    virtual ISECDockableNode* QueryDockable(CPoint ptScreen, ISECDockTarget* pTarget, SECLNRootRegistry* pRegistry);
    virtual void FreezeForDrag(SECLayoutNode* pNode, BOOL bStarting, SECLNRootRegistry* pRegistry, BOOL bFinal, BOOL bNoTarget);

    void SetRegistry(SECLNRootRegistry* pRegistry) { m_pRegistry = pRegistry; }
    SECLNRootRegistry* GetRegistry() const;
    SECDockInProgressInfo* GetProgressInfo() const { return m_pProgressInfo; }
    BOOL IsFrozen() const { return m_pFrozenRoot != nullptr; }

protected:
    SECLNRootRegistry* m_pRegistry = nullptr;
    CDC* m_pDesktopDC = nullptr;
    SECLNNodeList* m_pNodeList = nullptr;
    ISECDockableNode* m_pCurrentDockable = nullptr;
    void* m_pDragData = nullptr;
    SECDockInProgressInfo* m_pProgressInfo = nullptr;
    BOOL m_bInMove = FALSE;
    CPoint m_ptLast{-1, -1};
    SECLayoutNode* m_pFrozenNode = nullptr;
    SECLayoutNode* m_pFrozenRoot = nullptr;
    ISECLNContainer* m_pFrozenContainer = nullptr;
    CRect m_rectFrozen;
};

// ---- Drag listeners ---------------------------------------------------------------------------

// Holds the feature that conducts the drag and forwards to it.
class SECDragDropTaskBase {
public:
    virtual ~SECDragDropTaskBase() = default;
    virtual ISECDockInitiator* FindDragSource(UINT nKeyState, CPoint pt) { return m_pFeature ? m_pFeature->FindDragSource(nKeyState, pt) : nullptr; }
    virtual BOOL OnBeginDrag(UINT nKeyState, CPoint pt) { return m_pFeature ? m_pFeature->OnBeginDrag(nKeyState, pt) : FALSE; }
    virtual BOOL OnDragMove(UINT nKeyState, CPoint pt) { return m_pFeature ? m_pFeature->OnDragMove(nKeyState, pt) : FALSE; }
    virtual BOOL OnEndDrag(UINT nKeyState, CPoint pt, BOOL bDrop) { return m_pFeature ? m_pFeature->OnEndDrag(nKeyState, pt, bDrop) : FALSE; }
    virtual BOOL DoubleClickAt(UINT nKeyState, CPoint pt) { return m_pFeature ? m_pFeature->DoubleClickAt(nKeyState, pt) : FALSE; }
    ISECDragDropFeature* m_pFeature = nullptr;
};

// Notices the start of a drag: armed by a button-down on a drag source, begun when the mouse
// has moved the threshold away. Alone it takes every point for a source and begins nothing.
template <class Base>
class SECStartDragCore_T : public Base {
public:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (!this->IsPluggedIn())
            return FALSE;
        const bool client = message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_LBUTTONDBLCLK ||
                            message == WM_MOUSEMOVE;
        const bool caption = (message == WM_NCLBUTTONDOWN || message == WM_NCLBUTTONUP ||
                              message == WM_NCLBUTTONDBLCLK || message == WM_NCMOUSEMOVE) && wParam == HTCAPTION;
        if (client || caption) {
            CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            if (client)
                ::ClientToScreen(this->m_hWnd, &pt);
            const UINT keys = client ? static_cast<UINT>(wParam) : KeyStateNow();
            BOOL taken = FALSE;
            switch (message) {
            case WM_LBUTTONDOWN:
            case WM_NCLBUTTONDOWN: taken = OnButtonDown(keys, pt); break;
            case WM_LBUTTONUP:
            case WM_NCLBUTTONUP: taken = OnButtonUp(keys, pt); break;
            case WM_LBUTTONDBLCLK:
            case WM_NCLBUTTONDBLCLK: taken = OnDoubleClick(keys, pt); break;
            default: taken = OnMove(keys, pt); break;
            }
            if (taken) {
                this->SetMsgFlags(0xFF);
                if (pResult)
                    *pResult = 0;
                return TRUE;
            }
        }
        return Base::OnWndMsg(message, wParam, lParam, pResult);
    }

    double m_dDragThreshold = 1.0;
    BOOL m_bArmed = FALSE;
    CPoint m_ptArm{0, 0};

protected:
    virtual BOOL IsDragSource(UINT /*nKeyState*/, CPoint /*pt*/) { return TRUE; }
    virtual BOOL BeginDragAt(UINT /*nKeyState*/, CPoint /*ptStart*/, CPoint /*ptNow*/) { return FALSE; }
    virtual BOOL DoubleClickAtPoint(UINT /*nKeyState*/, CPoint /*pt*/) { return FALSE; }

    virtual BOOL OnButtonDown(UINT nKeyState, CPoint pt)
    {
        if (!IsDragSource(nKeyState, pt))
            return FALSE;
        m_bArmed = TRUE;
        m_ptArm = pt;
        OnMove(nKeyState, pt);
        return TRUE;
    }
    virtual BOOL OnMove(UINT nKeyState, CPoint pt)
    {
        if (!m_bArmed)
            return FALSE;
        const double dx = pt.x - m_ptArm.x, dy = pt.y - m_ptArm.y;
        if (std::sqrt(dx * dx + dy * dy) < m_dDragThreshold)
            return TRUE;
        m_bArmed = FALSE;
        BeginDragAt(nKeyState, m_ptArm, pt);
        return TRUE;
    }
    virtual BOOL OnButtonUp(UINT /*nKeyState*/, CPoint /*pt*/)
    {
        m_bArmed = FALSE;
        return FALSE;
    }
    virtual BOOL OnDoubleClick(UINT nKeyState, CPoint pt)
    {
        return IsDragSource(nKeyState, pt) ? DoubleClickAtPoint(nKeyState, pt) : FALSE;
    }
    static UINT KeyStateNow()
    {
        UINT keys = 0;
        if (::GetKeyState(VK_CONTROL) < 0)
            keys |= MK_CONTROL;
        if (::GetKeyState(VK_SHIFT) < 0)
            keys |= MK_SHIFT;
        if (::GetKeyState(VK_LBUTTON) < 0)
            keys |= MK_LBUTTON;
        return keys;
    }
};

// Runs the drag in-process with its own modal loop while it holds the mouse.
template <class Base>
class SECLocalDragDropTask_T : public SECStartDragCore_T<Base>, public SECDragDropTaskBase {
protected:
    BOOL IsDragSource(UINT nKeyState, CPoint pt) override { return FindDragSource(nKeyState, pt) != nullptr; }
    BOOL DoubleClickAtPoint(UINT nKeyState, CPoint pt) override { return DoubleClickAt(nKeyState, pt); }
    BOOL BeginDragAt(UINT nKeyState, CPoint ptStart, CPoint /*ptNow*/) override
    {
        if (!OnBeginDrag(nKeyState, ptStart))
            return FALSE;
        HWND hWnd = this->m_hWnd;
        const bool ownCapture = ::GetCapture() != hWnd;
        if (ownCapture) {
            ::SetCapture(hWnd);
            ::UpdateWindow(hWnd);
        }
        UINT keys = nKeyState;
        CPoint last = ptStart;
        BOOL drop = FALSE;
        OnDragMove(keys, ptStart);
        MSG msg;
        while (::GetCapture() == hWnd && ::GetMessage(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_MOUSEMOVE) {
                keys = static_cast<UINT>(msg.wParam);
                last = msg.pt;
                OnDragMove(keys, last);
            } else if (msg.message == WM_LBUTTONUP) {
                keys = static_cast<UINT>(msg.wParam);
                last = msg.pt;
                drop = TRUE;
                break;
            } else if (msg.message == WM_RBUTTONDOWN || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
                break;
            } else if (msg.message == WM_KEYDOWN) {
                continue;
            } else {
                ::TranslateMessage(&msg);
                ::DispatchMessage(&msg);
            }
        }
        if (::GetCapture() == hWnd)
            ::ReleaseCapture();
        OnEndDrag(keys, last, drop);
        return TRUE;
    }
};

// A drop source that sends the drag's move notices and cancels when one is refused.
class SECOleDropSource : public COleDropSource {
public:
    explicit SECOleDropSource(SECDragDropTaskBase* pTask) : m_pTask(pTask) {}
    SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) override;
    SECDragDropTaskBase* m_pTask;
};

// Runs the drag through the in-process drag-and-drop loop.
template <class Base>
class SECOleDragDropTask_T : public SECStartDragCore_T<Base>, public SECDragDropTaskBase {
protected:
    BOOL IsDragSource(UINT nKeyState, CPoint pt) override { return FindDragSource(nKeyState, pt) != nullptr; }
    BOOL DoubleClickAtPoint(UINT nKeyState, CPoint pt) override { return DoubleClickAt(nKeyState, pt); }
    BOOL BeginDragAt(UINT nKeyState, CPoint ptStart, CPoint ptNow) override;
};

template <class Base>
BOOL SECOleDragDropTask_T<Base>::BeginDragAt(UINT nKeyState, CPoint ptStart, CPoint /*ptNow*/)
{
    if (!OnBeginDrag(nKeyState, ptStart))
        return FALSE;
    SECOleDropSource source(this);
    COleDataSource data;   // nothing is offered: the drag only moves nodes
    const DROPEFFECT effect = data.DoDragDrop(DROPEFFECT_MOVE, nullptr, &source);
    CPoint pt = ptStart;
    ::GetCursorPos(&pt);
    OnEndDrag(nKeyState, pt, effect != DROPEFFECT_NONE);
    return TRUE;
}

class ISECDockingListenerConfig {
public:
    virtual ~ISECDockingListenerConfig() = default;
    virtual void SetRegisterContainer(BOOL bRegister) = 0;
    virtual BOOL GetRegisterContainer() const = 0;
    virtual void DetachListener() = 0;
};

// A listener that docks the nodes of its window's layout: it registers the layout root with a
// registry and owns the feature that conducts its drags.
template <class Task>
class SECDockingListener_T : public Task, public ISECDockingListenerConfig {
public:
    ~SECDockingListener_T() override
    {
        if (m_pRootRegistry != nullptr && this->GetRootNode() != nullptr)
            m_pRootRegistry->RemoveRoot(this->GetRootNode());
        delete m_pOwnFeature;
    }
    void SetRegisterContainer(BOOL bRegister) override { m_bRegisterContainer = bRegister; }
    BOOL GetRegisterContainer() const override { return m_bRegisterContainer; }
    void DetachListener() override
    {
        this->Detach();
        this->SetRootNode(nullptr);
    }
    using Task::AutoInit;
    BOOL AutoInit(SECLayoutNode* pRoot, CWnd* pWnd, BOOL x, BOOL bRecalcNow, BOOL bUseWindowRect) override
    {
        return AutoInit(pRoot, pWnd, nullptr, x, bRecalcNow, bUseWindowRect);
    }
    virtual BOOL AutoInit(SECLayoutNode* pRoot, CWnd* pWnd, SECLNRootRegistry* pRegistry, BOOL x, BOOL bRecalcNow,
                          BOOL bUseWindowRect)
    {
        if (!Task::AutoInit(pRoot, pWnd, x, bRecalcNow, bUseWindowRect))
            return FALSE;
        m_pRootRegistry = pRegistry ? pRegistry : SECLNDragState().pDefaultRootRegistry;
        if (m_bRegisterContainer && m_pRootRegistry != nullptr && m_pRootRegistry->LookupContainer(pRoot) == nullptr)
            m_pRootRegistry->AddRoot(pRoot, new SECLNHwndContainer(pWnd->GetSafeHwnd()));
        delete m_pOwnFeature;
        m_pOwnFeature = CreateFeature();
        m_pOwnFeature->SetRegistry(m_pRootRegistry);
        this->m_pFeature = m_pOwnFeature;
        OnInitialized(pWnd);
        return TRUE;
    }
    SECLNRootRegistry* GetRootRegistry() const { return m_pRootRegistry; }

protected:
    virtual SECDragDropDockingFeature* CreateFeature() { return new SECDragDropDockingFeature; }
    virtual void OnInitialized(CWnd* /*pWnd*/) {}

    SECDragDropDockingFeature* m_pOwnFeature = nullptr;
    SECLNRootRegistry* m_pRootRegistry = nullptr;
    BOOL m_bRegisterContainer = TRUE;
};

// The in-process docking listener: its drag begins on the button-down itself.
class SECDockingListener : public SECDockingListener_T<SECLocalDragDropTask_T<SECLayoutWndListener>> {
protected:
    void OnInitialized(CWnd* /*pWnd*/) override { m_dDragThreshold = 0.0; }
};

// ---- Floating frame ---------------------------------------------------------------------------

class SECLayoutMiniFloatWnd : public CMiniFrameWnd {
    DECLARE_DYNCREATE(SECLayoutMiniFloatWnd)
public:
    SECLayoutMiniFloatWnd() = default;
    ~SECLayoutMiniFloatWnd() override;

    // When the window cannot be made the frame goes with it, as every frame does; without a root
    // nothing is made and the caller keeps the frame.
    virtual BOOL Create(LPCTSTR lpszTitle, SECLayoutNode* pRoot, CWnd* pParent, BOOL bHideOnClose, BOOL bClosable);
    // Moves and shows the frame; the first time it also lays out its root with a listener of
    // its own.
    virtual BOOL ShowAt(const CRect& rect, SECLNRootRegistry* pRegistry);
    SECLayoutNode* GetFloatRoot() const { return m_pFloatRoot; }
    SECDockingListener* GetListener() const { return m_pFloatListener; }

    // The floating frames of the process, oldest first.
    static CList<SECLayoutMiniFloatWnd*, SECLayoutMiniFloatWnd*>& FloatingFrames();

protected:
    void OnClose();
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

protected:
    SECLayoutNode* m_pFloatRoot = nullptr;
    SECDockingListener* m_pFloatListener = nullptr;
    BOOL m_bHideOnClose = TRUE;
};

// ---- Periphery windows ------------------------------------------------------------------------

// What a size-parent relay serves: a layout step inside the parent's layout pass, and a
// follow-up posted to run after it.
class ISECSizeParentClient {
public:
    virtual ~ISECSizeParentClient() = default;
    virtual LRESULT OnSizeParentLayout(LPARAM lParam) = 0;
    virtual void OnSizeParentFollowUp() = 0;
};

class SECSizeParentRelayWnd : public CWnd {
public:
    explicit SECSizeParentRelayWnd(ISECSizeParentClient* pClient = nullptr) : m_pClient(pClient) {}
    static constexpr UINT kFollowUpMessage = 0x15DF;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    ISECSizeParentClient* m_pClient;
};

// Watches two rectangles of the hooked window that act like push buttons.
class SECHotRectListener : public SECWndListener {
public:
    virtual void OnHotRect1Click() {}
    virtual void OnHotRect2Click() {}
    virtual void OnHotRectPressChanged(int /*nRect*/) {}
    virtual void OnHotRectReserved() {}
    virtual BOOL GetHotRect1(CRect& rect) const
    {
        rect = m_rect[0];
        return TRUE;
    }
    virtual BOOL GetHotRect2(CRect& rect) const
    {
        rect = m_rect[1];
        return TRUE;
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    struct HotRect {
        BOOL bEnabled = TRUE;
        BOOL bShown = TRUE;
        BOOL bPressed = FALSE;
        BOOL bTracking = FALSE;
    };
    HotRect m_hot[2];
    CRect m_rect[2];

private:
    BOOL RectAt(int i, CPoint pt) const;
    void InvalidateHot(int i);
};
