// The filter tree: disabled subtrees, the stop bit crossing ancestors, lookups by depth,
// descriptor tables that create only when switching on and keep flagged filters on, clones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/caption/SECMsgFilter.h"

namespace {

std::vector<UINT>& Seen()
{
    static std::vector<UINT> seen;
    return seen;
}

// Records its key for every message it sees and answers the result set on it.
class RecordingFilter : public SECMsgFilter {
    DECLARE_DYNCREATE(RecordingFilter)
public:
    explicit RecordingFilter(CWnd* pWnd = nullptr, UINT nID = SEC_FILTER_NOID) : SECMsgFilter(pWnd, nID) {}
    SECMsgFilter* Clone() const override { return new RecordingFilter(*this); }
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        Seen().push_back(m_nID);
        return answer | SECMsgFilter::OnMessage(msg, wParam, lParam, pResult);
    }
    LRESULT answer = 0;
};
IMPLEMENT_DYNCREATE(RecordingFilter, SECMsgFilter)

RecordingFilter* Add(SECMsgFilter& parent, UINT id, LRESULT answer = 0)
{
    auto* f = static_cast<RecordingFilter*>(parent.FindFilter(id, RUNTIME_CLASS(RecordingFilter)));
    f->answer = answer;
    return f;
}

}   // namespace

TEST(SECMsgFilterTest, DisabledFiltersHideTheirSubtreeAndStopCrossesAncestors)
{
    SECMsgFilter root;
    RecordingFilter* a = Add(root, 1);
    RecordingFilter* a1 = Add(*a, 11);
    RecordingFilter* a2 = Add(*a, 12);
    RecordingFilter* b = Add(root, 2, SEC_FILTER_HANDLED);
    LRESULT result = 0;
    Seen().clear();
    EXPECT_EQ(root.FilterMessage(WM_NCPAINT, 0, 0, &result), LRESULT(SEC_FILTER_HANDLED));
    EXPECT_EQ(Seen(), (std::vector<UINT>{1, 11, 12, 2}));

    a->m_bEnabled = FALSE;
    Seen().clear();
    root.FilterMessage(WM_NCPAINT, 0, 0, &result);
    EXPECT_EQ(Seen(), (std::vector<UINT>{2}));   // an enabled child of a disabled filter sees nothing
    EXPECT_EQ(a->FilterMessage(WM_NCPAINT, 0, 0, &result), 0);

    a->m_bEnabled = TRUE;
    a1->answer = SEC_FILTER_HANDLED | SEC_FILTER_STOP;
    Seen().clear();
    EXPECT_EQ(root.FilterMessage(WM_NCPAINT, 0, 0, &result), LRESULT(SEC_FILTER_HANDLED | SEC_FILTER_STOP));
    EXPECT_EQ(Seen(), (std::vector<UINT>{1, 11}));   // a2 and b, after the ancestor, are skipped
    (void)a2;
    (void)b;
}

TEST(SECMsgFilterTest, LookupsSearchByDepthAndDescriptorsCreateOnlyWhenSwitchingOn)
{
    SECMsgFilter root;
    RecordingFilter* a = Add(root, 1);
    Add(*a, 11);
    EXPECT_EQ(root.FindFilter(11, nullptr, 0), nullptr);
    EXPECT_NE(root.FindFilter(11, nullptr, -1), nullptr);
    EXPECT_EQ(root.FindFilter(11, nullptr, 1), a->FindFilter(11));

    SECMsgFilter::DescriptorTable table;
    table.AddDescriptor(5, SEC_FILTER_NOID, RUNTIME_CLASS(RecordingFilter), 0);
    table.AddDescriptor(6, 5, RUNTIME_CLASS(RecordingFilter), SECMsgFilter::kKeepEnabled);
    table.AddDescriptor(7, 99, RUNTIME_CLASS(RecordingFilter), 0);   // no such parent
    root.EnableDescriptorTable(table, FALSE);
    EXPECT_EQ(root.FindFilter(5, nullptr, -1), nullptr);   // "off" never creates

    const BOOL on[3] = {TRUE, TRUE, TRUE};
    root.ApplyDescriptorTable(table, on);
    SECMsgFilter* five = root.FindFilter(5, nullptr, -1);
    SECMsgFilter* six = root.FindFilter(6, nullptr, -1);
    ASSERT_NE(five, nullptr);
    ASSERT_NE(six, nullptr);
    EXPECT_EQ(six, five->FindFilter(6));
    EXPECT_EQ(root.FindFilter(7, nullptr, -1), nullptr);

    const BOOL off[3] = {FALSE, FALSE, FALSE};
    root.ApplyDescriptorTable(table, off);
    EXPECT_FALSE(five->m_bEnabled);
    EXPECT_TRUE(six->m_bEnabled);   // kept on
    root.ApplyDescriptorTable(table, on);
    EXPECT_TRUE(five->m_bEnabled);
    EXPECT_EQ(root.GetChildCount(), 2);   // switching on again creates nothing new

    // A class that is no filter adds nothing.
    EXPECT_EQ(root.FindFilter(8, RUNTIME_CLASS(CObject)), nullptr);
    EXPECT_EQ(root.GetChildCount(), 2);
}

TEST(SECMsgFilterTest, AClonedTreeHasTheSameKeysStatesAndChildren)
{
    SECMsgFilter root;
    RecordingFilter* a = Add(root, 1, SEC_FILTER_HANDLED);
    Add(*a, 11)->m_bEnabled = FALSE;
    std::unique_ptr<SECMsgFilter> copy(root.Clone());
    ASSERT_EQ(copy->GetChildCount(), 1);
    auto* ca = dynamic_cast<RecordingFilter*>(copy->GetChild(0));
    ASSERT_NE(ca, nullptr);
    EXPECT_NE(ca, a);
    EXPECT_EQ(ca->m_nID, 1u);
    EXPECT_EQ(ca->answer, LRESULT(SEC_FILTER_HANDLED));
    ASSERT_EQ(ca->GetChildCount(), 1);
    EXPECT_EQ(ca->GetChild(0)->m_nID, 11u);
    EXPECT_FALSE(ca->GetChild(0)->m_bEnabled);
}
