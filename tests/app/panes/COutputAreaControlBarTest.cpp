// The Output Area: lines posted as atoms arrive in order and show a hidden pane, a clear leaves
// only later lines, the longest atom and a line longer than one atom arrive whole, and every
// atom is deleted once.
#include "app/panes/COutputAreaControlBar.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/OutputAreaLine.h"
#include "platform/core/AtomTable.h"
#include "platform/win/Cursor.h"
#include "tests/app/PanesFixture.h"

#include <string>

namespace {

class OutputAreaTest : public PanesTest {
protected:
    void SetUp() override
    {
        PanesTest::SetUp();
        ASSERT_TRUE(bar.Create(frame, "Output Area", WS_VISIBLE | CBRS_BOTTOM | CBRS_SIZE_DYNAMIC, 0, 0xE906));
        bar.EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_BOTTOM);
        frame->RecalcLayout();
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        bar.DestroyWindow();
        PanesTest::TearDown();
    }
    std::string Text() { return static_cast<LPCTSTR>(bar.GetText()); }

    COutputAreaControlBar bar;
};

TEST_F(OutputAreaTest, PostedLinesArriveInOrderAndShowTheHiddenPane)
{
    LPCTSTR label = nullptr;
    BOOL selected = FALSE;
    CWnd* tabWnd = nullptr;
    DWORD_PTR extra1 = 0;
    DWORD_PTR extra2 = 0;
    ASSERT_TRUE(bar.GetTabWnd().GetTabInfo(0, label, selected, tabWnd, extra1, extra2));
    EXPECT_STREQ(label, "Warning / Error Msgs");
    EXPECT_EQ(tabWnd, &bar.GetOutputWnd());
    EXPECT_TRUE(selected);
    frame->ShowControlBar(&bar, FALSE, FALSE);
    ASSERT_FALSE(bar.IsWindowVisible());

    ASSERT_TRUE(PostOutputAreaLine(bar.m_hWnd, "", "first"));
    ASSERT_TRUE(PostOutputAreaLine(bar.m_hWnd, "a.htm", "Missing HEAD end tag."));
    ASSERT_TRUE(PostOutputAreaLine(bar.m_hWnd, "", "third"));
    backend->ProcessMessages();
    EXPECT_EQ(Text(), "first\nA.HTM : Missing HEAD end tag.\nthird\n");
    EXPECT_TRUE(bar.IsWindowVisible());

    // A clear, then one line: only that line is left.
    bar.PostMessage(kMsgOutputClear, 0, 0);
    ASSERT_TRUE(PostOutputAreaLine(bar.m_hWnd, "", "after"));
    backend->ProcessMessages();
    EXPECT_EQ(Text(), "after\n");

    // Lines waiting together go in together (an empty one as a blank), and a clear waiting
    // among them still wipes only the lines before it.
    ASSERT_TRUE(PostOutputAreaLine(bar.m_hWnd, "", "gone"));
    bar.PostMessage(kMsgOutputClear, 0, 0);
    ASSERT_TRUE(PostOutputAreaLine(bar.m_hWnd, "b.htm", "Denied Access."));
    ASSERT_TRUE(PostOutputAreaLine(bar.m_hWnd, "", ""));
    ASSERT_TRUE(PostOutputAreaLine(bar.m_hWnd, "\xce\xb1.htm", "Denied Access."));
    backend->ProcessMessages();
    EXPECT_EQ(Text(), "B.HTM : Denied Access.\n \n\xce\xb1.HTM : Denied Access.\n");
    EXPECT_EQ(bar.SendMessage(kMsgOutputClear, 0, 0), 1);
    EXPECT_EQ(Text(), "");
}

TEST_F(OutputAreaTest, LongLinesArriveWholeAndEachAtomIsDeleted)
{
    // The longest name one atom holds, sent by hand as any thread may.
    const std::string longest(255, 'x');
    const ATOM atom = ::AddAtomA(longest.c_str());
    ASSERT_NE(atom, 0);
    EXPECT_EQ(bar.SendMessage(kMsgOutputAddLine, atom, 0), 1);
    EXPECT_EQ(Text(), longest + "\n");
    char name[8];
    EXPECT_EQ(::GetAtomNameA(atom, name, sizeof name), 0u) << "the pane deletes the atom it read";

    // A longer line travels in pieces and still lands as one line.
    std::string line(600, 'y');
    line += "\xc3\xa9";
    line.append(100, 'z');
    bar.SendMessage(kMsgOutputClear, 0, 0);
    ASSERT_TRUE(PostOutputAreaLine(bar.m_hWnd, "", line.c_str()));
    backend->ProcessMessages();
    EXPECT_EQ(Text(), line + "\n");
}

} // namespace
