// The layout tree without windows: recalculation rules (limits, keep flags, the skip when
// nothing changed), tree editing, the children-first walk, scaling and the factory's ownership.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit/layout/SECLayoutFactory.h"

namespace {

// A node that records the order in which a walk reaches it and whether it was destroyed.
class TracingNode : public SECLayoutNode {
public:
    explicit TracingNode(std::vector<int>* log = nullptr, int id = 0) : m_log(log), m_id(id) {}
    ~TracingNode() override
    {
        if (m_log)
            m_log->push_back(-m_id);
    }
    void InitializeNode(BOOL bDeep) override
    {
        if (!bDeep && m_log)
            m_log->push_back(m_id);
        SECLayoutNode::InitializeNode(bDeep);
    }
    int recalcs = 0;

protected:
    CRect OnRecalcLayout(const CRect& rect, BOOL negotiate, BOOL strict) override
    {
        ++recalcs;
        return SECLayoutNode::OnRecalcLayout(rect, negotiate, strict);
    }

private:
    std::vector<int>* m_log;
    int m_id;
};

}   // namespace

TEST(SECLayoutNodeTest, RecalculationSkipsAnUnchangedRectangleUnlessStrictOrDirty)
{
    TracingNode root;
    root.SetInitialRect(CRect(0, 0, 100, 50));
    ASSERT_TRUE(root.IsDirty());   // a new node always recalculates once
    EXPECT_EQ(root.RecalcLayout(CRect(0, 0, 100, 50), FALSE, FALSE), CRect(0, 0, 100, 50));
    EXPECT_EQ(root.recalcs, 1);
    root.RecalcLayout(CRect(0, 0, 100, 50), FALSE, FALSE);
    EXPECT_EQ(root.recalcs, 1);
    root.RecalcLayout(CRect(0, 0, 100, 50), FALSE, TRUE);
    EXPECT_EQ(root.recalcs, 2);
    root.MarkDirty();
    root.RecalcLayout(CRect(0, 0, 100, 50), FALSE, FALSE);
    EXPECT_EQ(root.recalcs, 3);
    EXPECT_FALSE(root.IsRealizePending());   // same rectangle: nothing to show
    root.RecalcLayout(CRect(0, 0, 120, 50), FALSE, FALSE);
    EXPECT_TRUE(root.IsRealizePending());
}

TEST(SECLayoutNodeTest, LimitsApplyWhenNegotiatingAndTheMinimumWinsOverTheMaximum)
{
    SECLayoutNode node;
    node.SetMinMaxSize(CSize(50, 40), CSize(30, 100), 0);   // minimum above maximum: minimum wins
    EXPECT_EQ(node.RecalcLayout(CRect(10, 10, 200, 20), TRUE, TRUE), CRect(10, 10, 60, 50));
    // Without negotiation the proposal stands.
    EXPECT_EQ(node.RecalcLayout(CRect(10, 10, 200, 20), FALSE, TRUE), CRect(10, 10, 200, 20));
    node.SetMinMaxSize(CSize(0, 0), CSize(30, 30), SEC_LNMINMAX_NOMIN);
    EXPECT_EQ(node.RecalcLayout(CRect(0, 0, 100, 100), TRUE, TRUE), CRect(0, 0, 30, 30));
    node.SetMinMaxSize(CSize(0, 0), CSize(30, 30), SEC_LNMINMAX_NOMAX | SEC_LNMINMAX_NOMIN);
    EXPECT_EQ(node.RecalcLayout(CRect(0, 0, 100, 100), TRUE, TRUE), CRect(0, 0, 100, 100));

    // The reference rectangle widens the limits to take it.
    SECLayoutNode wide;
    wide.SetMinMaxSize(CSize(500, 500), CSize(10, 10), 0);
    wide.SetInitialRect(CRect(0, 0, 200, 100));
    CSize mn, mx;
    DWORD flags = 0;
    wide.GetMinMaxSize(mn, mx, flags);
    EXPECT_EQ(mn, CSize(200, 100));
    EXPECT_EQ(mx, CSize(200, 100));
}

TEST(SECLayoutNodeTest, KeepFlagsHoldTheOldEdgesAndChildrenMoveRigidly)
{
    SECLayoutNode root;
    SECLayoutNode child;
    root.SetInitialRect(CRect(0, 0, 100, 100));
    child.SetInitialRect(CRect(10, 10, 30, 40));
    ASSERT_EQ(root.AddLayoutNode(&child), 1);
    root.RecalcLayout(CRect(5, 7, 300, 300), FALSE, TRUE);
    EXPECT_EQ(child.GetCurrentRect(), CRect(15, 17, 35, 47));   // moved, size kept

    child.SetNodeFlags(SEC_LNFLAG_KEEPWIDTH | SEC_LNFLAG_KEEPTOP);
    EXPECT_EQ(child.RecalcLayout(CRect(0, 0, 90, 90), FALSE, TRUE), CRect(0, 17, 20, 90));
    root.ModifyNodeFlags(0, SEC_LNFLAG_PARTIALREDRAW, TRUE);
    EXPECT_EQ(child.GetNodeFlags(), DWORD(SEC_LNFLAG_KEEPWIDTH | SEC_LNFLAG_KEEPTOP | SEC_LNFLAG_PARTIALREDRAW));
}

TEST(SECLayoutNodeTest, TreeEditingKeepsOneParentAndTheRequestedOrder)
{
    SECLayoutNode a, b, c, d, other;
    EXPECT_EQ(a.AddLayoutNode(nullptr), -1);
    EXPECT_EQ(a.AddLayoutNode(&b), 1);
    EXPECT_EQ(a.AddLayoutNode(&c), 2);
    EXPECT_EQ(a.AddLayoutNode(&b), 2);   // already a child: count, no reorder
    EXPECT_EQ(a.GetAt(a.GetHeadPosition()), &b);

    EXPECT_TRUE(a.InsertLayoutNode(&d, &c, FALSE));   // in front of c
    std::vector<SECLayoutNode*> order;
    Iterator_T<SECLayoutNode> it(&a);
    while (SECLayoutNode* n = it.Next())
        order.push_back(n);
    EXPECT_EQ(order, (std::vector<SECLayoutNode*>{&b, &d, &c}));
    EXPECT_TRUE(a.InsertLayoutNode(&c, &other, TRUE));   // not a child: at the head
    EXPECT_EQ(a.GetAt(a.GetHeadPosition()), &c);
    EXPECT_EQ(a.GetChildCount(), 3);

    // Adding to another parent takes the node out of the first.
    EXPECT_EQ(other.AddLayoutNode(&d), 1);
    EXPECT_EQ(d.GetParentNode(), &other);
    EXPECT_EQ(a.GetChildCount(), 2);
    EXPECT_EQ(a.RemoveLayoutNode(&d), -1);
    EXPECT_EQ(other.RemoveLayoutNode(&d), 0);
    EXPECT_EQ(d.GetParentNode(), nullptr);
}

TEST(SECLayoutNodeTest, DeepWalksVisitChildrenFirstAndTheRootLast)
{
    std::vector<int> log;
    TracingNode root(&log, 1), a(&log, 2), a1(&log, 3), a2(&log, 4), b(&log, 5), b1(&log, 6);
    root.AddLayoutNode(&a);
    root.AddLayoutNode(&b);
    a.AddLayoutNode(&a1);
    a.AddLayoutNode(&a2);
    b.AddLayoutNode(&b1);
    root.InitializeNode(TRUE);
    EXPECT_EQ(log, (std::vector<int>{3, 4, 2, 6, 5, 1}));
    EXPECT_EQ(root.GetChildCount(TRUE), 5);
    log.clear();
}

TEST(SECLayoutNodeTest, ScalingFollowsTheClientAreaFromTheHostOrigin)
{
    SECLNScale root;
    SECLayoutNode control, other;
    root.SetInitialRect(CRect(0, 0, 300, 200));
    control.SetInitialRect(CRect(10, 20, 110, 45));
    other.SetInitialRect(CRect(0, 100, 300, 200));
    root.AddLayoutNode(&control);
    root.AddLayoutNode(&other);
    root.RecalcLayout(CRect(0, 0, 450, 300), FALSE, TRUE);
    EXPECT_EQ(control.GetCurrentRect(), CRect(15, 30, 165, 68));   // 67.5 rounds to 68
    EXPECT_EQ(other.GetCurrentRect(), CRect(0, 150, 450, 300));
    EXPECT_EQ(root.GetCurrentRect(), CRect(0, 0, 450, 300));
    // A parent without width keeps the horizontal coordinates.
    EXPECT_EQ(root.ScaleRect(CRect(0, 0, 0, 100), CRect(0, 0, 500, 50), CRect(10, 20, 30, 40)), CRect(10, 10, 30, 20));
    // Negotiation: a child held by its minimum keeps it.
    control.SetMinMaxSize(CSize(100, 25), CSize(0, 0), SEC_LNMINMAX_NOMAX);
    root.RecalcLayout(CRect(0, 0, 150, 100), TRUE, TRUE);
    EXPECT_EQ(control.GetCurrentRect(), CRect(5, 10, 105, 35));
}

TEST(SECLayoutNodeTest, TheFactoryOwnsWhatItMadeAndDestroysListenersBeforeNodes)
{
    std::vector<int> log;
    struct LoggingListener : SECLayoutWndListener {
        std::vector<int>* log = nullptr;
        ~LoggingListener() override { log->push_back(100); }
    };
    struct ListenerFactory : SECClassFactory<SECLayoutWndListener> {
        std::vector<int>* log;
        SECLayoutWndListener* CreateObject() override
        {
            auto* l = new LoggingListener;
            l->log = log;
            return l;
        }
    } listenerFactory;
    listenerFactory.log = &log;
    struct NodeFactory : SECClassFactory<SECLayoutNode> {
        std::vector<int>* log;
        int next = 1;
        SECLayoutNode* CreateObject() override { return new TracingNode(log, next++); }
    } nodeFactory;
    nodeFactory.log = &log;
    {
        SECLayoutFactory factory;
        SECLayoutNode* root = factory.CreateNode(nodeFactory, "root");
        SECLayoutNode* child = factory.CreateNode(nodeFactory, nullptr);
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->GetName(), "root");
        EXPECT_EQ(child->GetName(), "");
        root->AddLayoutNode(child);
        ASSERT_NE(factory.CreateListener(listenerFactory), nullptr);
        EXPECT_EQ(factory.GetNodeCount(), 2);
        // Adding twice is refused and does not duplicate.
        EXPECT_FALSE(root->GetOwner()->Add(root));
        EXPECT_EQ(factory.GetNodeCount(), 2);
        factory.DestroyNode(child);
        EXPECT_EQ(factory.GetNodeCount(), 1);
        EXPECT_EQ(root->GetChildCount(), 0);   // a destroyed node leaves its parent
        log.clear();
    }
    EXPECT_EQ(log, (std::vector<int>{100, -1}));
}
