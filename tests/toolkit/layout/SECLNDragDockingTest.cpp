// Drag docking of layout nodes through test nodes that implement the interfaces: the registry
// and its containers, hit testing (innermost node, hooks, two roots under one point), and
// drags with injected mouse input that dock, float with Ctrl, cancel with Escape, and start at
// the button-down or after the threshold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/afx/AfxFixture.h"
#include "tests/toolkit/RefusedCreation.h"
#include "toolkit/layout/SECLNContainer.h"
#include "toolkit/layout/SECLNDragDocking.h"

namespace {

using Log = std::vector<std::string>;

class TargetNode : public SECLayoutNode, public ISECDockTarget {
public:
    explicit TargetNode(Log& log) : m_log(log) {}
    BOOL CalcFeedbackRect(CPoint, CRect& rect, SECLNRootRegistry*, SECDockInProgressInfo*) override
    {
        rect = GetCurrentRect();
        return TRUE;
    }
    BOOL AcceptDrop(ISECDockableNode*, CPoint, SECLNRootRegistry*, SECDockInProgressInfo*) override
    {
        m_log.push_back("AcceptDrop");
        return accept;
    }
    BOOL accept = TRUE;

private:
    Log& m_log;
};

class DragNode : public SECLayoutNode, public ISECDockInitiator, public ISECDockableNode {
public:
    explicit DragNode(Log& log) : m_log(log) {}
    void* BeginDockDrag(SECLNRootRegistry*, BOOL bFirst, SECDockInProgressInfo*) override
    {
        m_log.push_back(bFirst ? "Begin" : "BeginAgain");
        return refuse ? nullptr : this;
    }
    ISECDockableNode* GetDockable(ISECDockTarget*, CPoint, SECLNRootRegistry*, SECLNNodeList*) override { return this; }
    void OnDock(ISECDockTarget* target, CPoint, SECLNRootRegistry*, SECLNNodeList*) override
    {
        m_log.push_back(target ? "OnDock" : "OnDockFloat");
    }
    void OnDocked(ISECDockableNode*, SECLNRootRegistry*) override { m_log.push_back("OnDocked"); }
    void OnDockCancelled() override { m_log.push_back("Cancelled"); }
    void EndDockDrag() override { m_log.push_back("End"); }
    BOOL ExcludesOwnContainer() override { return FALSE; }
    BOOL OnDockDoubleClick(SECLNRootRegistry*) override
    {
        m_log.push_back("DoubleClick");
        return TRUE;
    }
    BOOL CalcFeedbackRect(CPoint pt, CRect& rect, SECLNRootRegistry*, SECDockInProgressInfo*) override
    {
        rect.SetRect(pt.x, pt.y, pt.x + 20, pt.y + 10);
        return TRUE;
    }
    void DrawFeedback(CDC*, const CRect&, ISECDockTarget* target) override { ++(target ? dockFeedback : floatFeedback); }
    void EraseFeedback(CDC*) override {}
    BOOL AcceptFloat(CPoint, SECLNRootRegistry*, SECDockInProgressInfo*) override
    {
        m_log.push_back("AcceptFloat");
        return TRUE;
    }
    void OnDropped(SECLNRootRegistry*, SECLNNodeList*) override { m_log.push_back("OnDropped"); }
    ISECDockInitiator* GetInitiator() override { return this; }
    BOOL refuse = FALSE;
    int dockFeedback = 0;
    int floatFeedback = 0;

private:
    Log& m_log;
};

// A node whose hook refuses or takes the point.
class HookedTarget : public TargetNode, public ISECHookDockTargetHitTester {
public:
    using TargetNode::TargetNode;
    DWORD HitTestHook(CPoint, SECLayoutNode*) override { return flags; }
    DWORD flags = 0;
};

class CountingObserver : public SECLNRegistryObserver {
public:
    void OnContainerAdded(ISECLNContainer*) override { ++added; }
    void OnContainerRemoved(ISECLNContainer*) override { ++removed; }
    int added = 0, removed = 0;
};

class SECLNDragDockingTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(host.CreateEx(0, nullptr, "Host", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, top->m_hWnd, nullptr));
        root.SetInitialRect(CRect(0, 0, 300, 200));
        drag.SetInitialRect(CRect(10, 10, 60, 40));
        target.SetInitialRect(CRect(100, 10, 180, 80));
        root.AddLayoutNode(&drag);
        root.AddLayoutNode(&target);
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        listener.reset();
        host.DestroyWindow();
        SECLNDragState() = SECLNDragGlobals{};
        AfxTest::TearDown();
    }
    void Listen(double threshold = -1)
    {
        listener = std::make_unique<SECDockingListener>();
        ASSERT_TRUE(listener->AutoInit(&root, &host, &registry, FALSE, TRUE, FALSE));
        if (threshold >= 0)
            listener->m_dDragThreshold = threshold;
    }
    POINT Screen(int x, int y) { return At(host.m_hWnd, x, y); }

    Log log;
    CWnd host;
    SECLayoutNode root;
    DragNode drag{log};
    TargetNode target{log};
    SECLNRootRegistry registry;
    std::unique_ptr<SECDockingListener> listener;
};

}   // namespace

TEST_F(SECLNDragDockingTest, TheRegistryOwnsItsContainersAndFindsThemUpTheTree)
{
    CountingObserver observer;
    registry.SetObserver(&observer);
    auto* first = new SECLNHwndContainer(host.m_hWnd);
    EXPECT_FALSE(registry.AddRoot(nullptr, first));
    EXPECT_TRUE(registry.AddRoot(&root, first));
    EXPECT_TRUE(registry.AddRoot(&root, first));   // the same pair: nothing more
    EXPECT_EQ(observer.added, 1);
    EXPECT_EQ(registry.FindContainer(&drag), first);
    EXPECT_EQ(registry.FindContainer(&root), first);
    SECLayoutNode stray;
    EXPECT_EQ(registry.FindContainer(&stray), nullptr);

    auto* second = new SECLNHwndContainer(host.m_hWnd);
    EXPECT_TRUE(registry.AddRoot(&root, second));   // replaces (and deletes) the first
    EXPECT_EQ(observer.removed, 1);
    EXPECT_EQ(registry.LookupContainer(&root), second);
    EXPECT_TRUE(registry.RemoveRoot(&root));
    EXPECT_FALSE(registry.RemoveRoot(&root));
    EXPECT_EQ(observer.removed, 2);
    registry.SetObserver(nullptr);
}

TEST_F(SECLNDragDockingTest, AFloatingFrameWhoseWindowIsRefusedGoesOnceAndMakesNoContainer)
{
    // The frame deletes itself with the window that could not be made; the container must
    // neither touch it nor delete it again (the sanitizer build stops on either).
    SECLNHwndContainer container(host.m_hWnd);
    RefusedCreation refuse(RefusedCreation::PopUps());
    ASSERT_TRUE(refuse.IsInstalled());
    RefusedCreation::Refused() = 0;
    EXPECT_EQ(container.CreateFloatingContainer(&drag, &registry), nullptr);
    EXPECT_EQ(RefusedCreation::Refused(), 1);
    EXPECT_TRUE(SECLayoutMiniFloatWnd::FloatingFrames().IsEmpty());
}

TEST_F(SECLNDragDockingTest, HitTestsFindTheInnermostNodeAndHonourHooksAndAmbiguity)
{
    registry.AddRoot(&root, new SECLNHwndContainer(host.m_hWnd));
    SECDockInitiatorHitTester initiators;
    SECLNTargetDockHitTester targets;
    EXPECT_EQ(initiators.Search(&registry, Screen(20, 20), FALSE), static_cast<ISECDockInitiator*>(&drag));
    EXPECT_EQ(initiators.Search(&registry, Screen(120, 20), FALSE), nullptr);
    EXPECT_EQ(targets.Search(&registry, Screen(120, 20), FALSE), static_cast<ISECDockTarget*>(&target));
    EXPECT_EQ(targets.Search(&registry, Screen(250, 150), FALSE), nullptr);

    // A target nested in a target: the target side answers the innermost one.
    HookedTarget inner(log);
    inner.SetInitialRect(CRect(110, 20, 150, 60));
    target.AddLayoutNode(&inner);
    EXPECT_EQ(targets.Search(&registry, Screen(120, 30), FALSE), static_cast<ISECDockTarget*>(&inner));
    inner.flags = SEC_DOCKHIT_REFUSE;
    EXPECT_EQ(targets.Search(&registry, Screen(120, 30), FALSE), static_cast<ISECDockTarget*>(&target));
    target.RemoveLayoutNode(&inner);

    // Two roots in one window: only the window's first container counts; a search that keeps
    // both finds two targets and answers none.
    SECLayoutNode twin;
    TargetNode twinTarget(log);
    twin.SetInitialRect(CRect(0, 0, 300, 200));
    twinTarget.SetInitialRect(CRect(100, 10, 180, 80));
    twin.AddLayoutNode(&twinTarget);
    registry.AddRoot(&twin, new SECLNHwndContainer(host.m_hWnd));
    EXPECT_EQ(targets.Search(&registry, Screen(120, 20), FALSE), static_cast<ISECDockTarget*>(&target));
    struct Unfiltered : SECLNTargetDockHitTester {
        void FilterCandidates(SECLNRootRegistry*, CPoint, SECLNNodeList&) override {}
    } unfiltered;
    EXPECT_EQ(unfiltered.Search(&registry, Screen(120, 20), FALSE), nullptr);
    std::vector<ISECDockTarget*> found;
    SECLNNodeList both;
    registry.GetRoots(both);
    unfiltered.SearchCandidates(both, found, &registry, Screen(120, 20), FALSE);
    EXPECT_EQ(found.size(), 2u);
}

TEST_F(SECLNDragDockingTest, ADragOntoATargetDocksAndCtrlFloats)
{
    Listen();
    backend->MouseMove(Screen(20, 20));
    backend->MouseDown(1, Screen(20, 20));   // the drag begins at once
    backend->MouseMove(Screen(70, 30));
    backend->MouseMove(Screen(120, 30));
    backend->MouseUp(1, Screen(120, 30));
    backend->ProcessMessages();
    EXPECT_EQ(log, (Log{"Begin", "AcceptDrop", "OnDock", "OnDropped", "OnDocked", "End"}));
    EXPECT_GT(drag.dockFeedback, 0);
    EXPECT_FALSE(root.IsFrozen());
    EXPECT_FALSE(drag.IsFrozen());
    EXPECT_EQ(SECLNDragState().pCurrentInitiator, nullptr);
    EXPECT_FALSE(SECLNDragState().bSuppressFrameLayout);

    log.clear();
    backend->AdvanceClock(1000);   // no double click
    backend->KeyDown(VK_CONTROL);
    backend->MouseDown(1, Screen(20, 20));
    backend->MouseMove(Screen(120, 30));
    backend->MouseUp(1, Screen(120, 30));
    backend->KeyUp(VK_CONTROL);
    backend->ProcessMessages();
    EXPECT_EQ(log, (Log{"Begin", "AcceptFloat", "OnDockFloat", "OnDropped", "OnDocked", "End"}));
}

TEST_F(SECLNDragDockingTest, EscapeCancelsARefusedStartLeavesNothingAndADoubleClickReachesTheNode)
{
    Listen();
    backend->MouseDown(1, Screen(20, 20));
    backend->MouseMove(Screen(120, 30));
    backend->Key(VK_ESCAPE);
    backend->ProcessMessages();
    EXPECT_EQ(log, (Log{"Begin", "Cancelled", "End"}));
    EXPECT_EQ(::GetCapture(), nullptr);
    backend->MouseUp(1, Screen(120, 30));
    backend->ProcessMessages();

    log.clear();
    backend->AdvanceClock(1000);
    drag.refuse = TRUE;
    backend->MouseDown(1, Screen(20, 20));
    backend->MouseUp(1, Screen(20, 20));
    backend->ProcessMessages();
    EXPECT_EQ(log, (Log{"Begin"}));
    EXPECT_FALSE(root.IsFrozen());
    EXPECT_FALSE(SECLNDragState().bSuppressFrameLayout);

    log.clear();
    ::SendMessage(host.m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(log, (Log{"DoubleClick"}));
    log.clear();
    ::SendMessage(host.m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(250, 150));   // not over a source
    EXPECT_TRUE(log.empty());
}

TEST_F(SECLNDragDockingTest, WithTheDefaultThresholdOnePixelOfMovementStartsTheDrag)
{
    Listen(1.0);
    backend->MouseDown(1, Screen(20, 20));
    backend->ProcessMessages();
    EXPECT_TRUE(log.empty());   // armed, not dragging
    EXPECT_TRUE(listener->m_bArmed);
    backend->MouseMove(Screen(21, 20));
    backend->MouseMove(Screen(120, 30));
    backend->MouseUp(1, Screen(120, 30));
    backend->ProcessMessages();
    EXPECT_EQ(log.front(), "Begin");
    EXPECT_EQ(log.back(), "End");

    // A button-up without a drag disarms and leaves the message to the window.
    log.clear();
    backend->AdvanceClock(1000);
    backend->MouseDown(1, Screen(20, 20));
    backend->MouseUp(1, Screen(20, 20));
    backend->ProcessMessages();
    EXPECT_FALSE(listener->m_bArmed);
    EXPECT_TRUE(log.empty());
}
