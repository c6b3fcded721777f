// The small interfaces through which layout nodes take part in drag docking: a node that
// starts a drag, the object dragged, a node that accepts a drop, and optional hit-test hooks.
// The docking code finds them on a node by a run-time cast.
#pragma once

#include "platform/core/CArray.h"
#include "platform/core/CRect.h"

class CDC;
class SECLayoutNode;
class SECLNRootRegistry;
class ISECDockTarget;
class ISECDockableNode;
using SECLNNodeList = CList<SECLayoutNode*, SECLayoutNode*>;

// What the drag passes to the node interfaces at every step.
class SECDockInProgressInfo {
public:
    virtual ~SECDockInProgressInfo() = default;
    virtual void Reset()
    {
        m_nFirstWord = 0;
        m_nSecondWord = 0;
        m_rect.SetRectEmpty();
        m_bFlag = TRUE;
        m_nWord = 0;
        m_rect2.SetRectEmpty();
    }
    DWORD_PTR m_nFirstWord = 0;   // filled by the registry when a drag starts
    DWORD_PTR m_nSecondWord = 0;
    CRect m_rect;                 // emptied when a node is released without a target in live mode
    BOOL m_bFlag = TRUE;
    DWORD m_nWord = 0;
    CRect m_rect2;
};

class ISECDockInitiator {
public:
    virtual ~ISECDockInitiator() = default;
    // The drag data; null refuses the drag.
    virtual void* BeginDockDrag(SECLNRootRegistry* pRegistry, BOOL bFirst, SECDockInProgressInfo* pInfo) = 0;
    // The dockable object for this position; never null.
    virtual ISECDockableNode* GetDockable(ISECDockTarget* pTarget, CPoint ptScreen, SECLNRootRegistry* pRegistry,
                                          SECLNNodeList* pNodes) = 0;
    virtual void OnDock(ISECDockTarget* pTarget, CPoint ptScreen, SECLNRootRegistry* pRegistry, SECLNNodeList* pNodes) = 0;
    virtual void OnDocked(ISECDockableNode* pDockable, SECLNRootRegistry* pRegistry) = 0;
    virtual void OnDockCancelled() = 0;
    virtual void EndDockDrag() = 0;
    virtual BOOL ExcludesOwnContainer() = 0;
    virtual BOOL OnDockDoubleClick(SECLNRootRegistry* pRegistry) = 0;
};

class ISECDockableNode {
public:
    virtual ~ISECDockableNode() = default;
    virtual BOOL CalcFeedbackRect(CPoint ptScreen, CRect& rect, SECLNRootRegistry* pRegistry, SECDockInProgressInfo* pInfo) = 0;
    virtual void DrawFeedback(CDC* pDC, const CRect& rect, ISECDockTarget* pTarget) = 0;
    virtual void EraseFeedback(CDC* pDC) = 0;
    virtual BOOL AcceptFloat(CPoint ptScreen, SECLNRootRegistry* pRegistry, SECDockInProgressInfo* pInfo) = 0;
    virtual void OnDropped(SECLNRootRegistry* pRegistry, SECLNNodeList* pNodes) = 0;
    virtual ISECDockInitiator* GetInitiator() = 0;
};

class ISECDockTarget {
public:
    virtual ~ISECDockTarget() = default;
    virtual BOOL CalcFeedbackRect(CPoint ptScreen, CRect& rect, SECLNRootRegistry* pRegistry, SECDockInProgressInfo* pInfo) = 0;
    virtual BOOL AcceptDrop(ISECDockableNode* pDockable, CPoint ptScreen, SECLNRootRegistry* pRegistry,
                            SECDockInProgressInfo* pInfo) = 0;
};

// Hit-test hook flags.
#define SEC_DOCKHIT_REFUSE 0x0001
#define SEC_DOCKHIT_TAKE 0x0002

class ISECHookDockSourceHitTester {
public:
    virtual ~ISECHookDockSourceHitTester() = default;
    virtual DWORD HitTestHook(CPoint ptScreen, SECLayoutNode* pChildUnderPoint) = 0;
};

class ISECHookDockTargetHitTester {
public:
    virtual ~ISECHookDockTargetHitTester() = default;
    virtual DWORD HitTestHook(CPoint ptScreen, SECLayoutNode* pChildUnderPoint) = 0;
};

class ISECOffNodeHitTest {
public:
    virtual ~ISECOffNodeHitTest() = default;
    // Nonzero: the node accepts the point (in the root's node coordinates).
    virtual BOOL HitTestOffNode(CPoint ptNode) = 0;
};

// What conducts a drag for the listener that started it.
class ISECDragDropFeature {
public:
    virtual ~ISECDragDropFeature() = default;
    virtual ISECDockInitiator* FindDragSource(UINT nKeyState, CPoint ptScreen) = 0;
    virtual BOOL OnBeginDrag(UINT nKeyState, CPoint ptScreen) = 0;
    virtual BOOL OnDragMove(UINT nKeyState, CPoint ptScreen) = 0;
    virtual BOOL OnEndDrag(UINT nKeyState, CPoint ptScreen, BOOL bDrop) = 0;
    virtual BOOL DoubleClickAt(UINT nKeyState, CPoint ptScreen) = 0;
};
