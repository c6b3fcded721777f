// The control wrappers: the members that do more than pass one message on (texts into CString,
// selections, ranges, tool texts from the string table) and the owner-draw messages a parent
// object reflects back to its control's object.
#include "platform/afx/dlg/CButton.h"
#include "platform/afx/dlg/CComboBox.h"
#include "platform/afx/dlg/CEdit.h"
#include "platform/afx/dlg/CListBox.h"
#include "platform/afx/dlg/CProgressCtrl.h"
#include "platform/afx/dlg/CRichEditCtrl.h"
#include "platform/afx/dlg/CScrollBar.h"
#include "platform/afx/dlg/CSpinButtonCtrl.h"
#include "platform/afx/dlg/CStatic.h"
#include "platform/afx/dlg/CStatusBarCtrl.h"
#include "platform/afx/dlg/CToolTipCtrl.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/platform/afx/data/DialogIds.h"

#include <vector>

namespace {

class ControlWrappersTest : public AfxTest {};

TEST_F(ControlWrappersTest, TextsSelectionsAndRangesComeBackWhole)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(0, 0, 200, 60), top.get(), 10));
    edit.SetWindowText("first line\r\nsecond");
    char line[32] = {};
    EXPECT_EQ(edit.GetLine(1, line, sizeof line), 6);
    EXPECT_EQ(std::string(line, 6), "second");
    EXPECT_EQ(edit.GetLine(1, line, 1), 0) << "no room for the length word";
    edit.SetSel(6, 10, TRUE);
    int start = 0;
    int end = 0;
    edit.GetSel(start, end);
    EXPECT_EQ(start, 6);
    EXPECT_EQ(end, 10);
    EXPECT_EQ(edit.GetLineCount(), 2);

    CRichEditCtrl rich;
    ASSERT_TRUE(rich.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(0, 60, 200, 120), top.get(), 11));
    rich.SetWindowText("keywords, meta");
    rich.SetSel(10, 14);
    EXPECT_EQ(rich.GetSelText(), "meta");
    rich.SetSel(0, -1);
    EXPECT_EQ(rich.GetSelText(), "keywords, meta");

    CListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_HASSTRINGS, CRect(0, 0, 100, 80), top.get(), 12));
    list.AddString("one");
    list.AddString("a longer item");
    CString text;
    list.GetText(1, text);
    EXPECT_EQ(text, "a longer item");
    list.GetText(7, text);
    EXPECT_TRUE(text.IsEmpty());

    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(0, 0, 100, 100), top.get(), 13));
    combo.AddString("html");
    combo.AddString("htm");
    combo.GetLBText(1, text);
    EXPECT_EQ(text, "htm");
    EXPECT_EQ(combo.FindStringExact(-1, "htm"), 1);

    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 10), top.get(), 14));
    progress.SetRange32(-5, 70000);
    int lower = 0;
    int upper = 0;
    progress.GetRange(lower, upper);
    EXPECT_EQ(lower, -5);
    EXPECT_EQ(upper, 70000);

    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, CRect(0, 0, 100, 16), top.get(), 15));
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 10;
    bar.SetScrollInfo(&si);
    EXPECT_EQ(bar.GetScrollLimit(), 90);

    CSpinButtonCtrl spin;
    CEdit buddy;
    ASSERT_TRUE(buddy.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), top.get(), 16));
    ASSERT_TRUE(spin.Create(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT, CRect(50, 0, 66, 20), top.get(), 17));
    spin.SetBuddy(&buddy);
    spin.SetRange32(0, 500);
    spin.SetPos(250);
    EXPECT_EQ(spin.GetBuddy()->m_hWnd, buddy.m_hWnd);
    EXPECT_EQ(spin.GetPos(), 250);
    int lo = -1;
    int hi = -1;
    spin.GetRange(lo, hi);
    EXPECT_EQ(hi, 500);

    CStatusBarCtrl status;
    ASSERT_TRUE(status.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 20), top.get(), 18));
    int widths[] = {100, -1};
    ASSERT_TRUE(status.SetParts(2, widths));
    status.SetText("Scanning", 1, SBT_POPOUT);
    int type = 0;
    EXPECT_EQ(status.GetText(1, &type), "Scanning");
    EXPECT_EQ(type, SBT_POPOUT);
    EXPECT_EQ(status.GetText(0), "");
    int horz = -1;
    int vert = -1;
    int spacing = -1;
    EXPECT_TRUE(status.GetBorders(horz, vert, spacing));
    EXPECT_GE(horz, 0);
}

TEST_F(ControlWrappersTest, ToolTipToolsTakeTextsDirectlyOrFromTheStringTable)
{
    CStatic label;
    ASSERT_TRUE(label.Create("Label", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), top.get(), 20));
    CButton button;
    ASSERT_TRUE(button.Create("Go", WS_CHILD | WS_VISIBLE, CRect(0, 30, 80, 50), top.get(), 21));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(top.get()));
    EXPECT_TRUE(tip.AddTool(&label, "Direct text"));
    EXPECT_TRUE(tip.AddTool(&button, IDS_TIP));
    EXPECT_FALSE(tip.AddTool(&button, 65001)) << "a string that does not exist";
    const CRect area(0, 60, 40, 80);
    EXPECT_FALSE(tip.AddTool(top.get(), "no id", &area)) << "a rectangle needs an id";
    EXPECT_TRUE(tip.AddTool(top.get(), "Area", &area, 5));
    EXPECT_EQ(tip.GetToolCount(), 3);

    CString text;
    tip.GetText(text, &label);
    EXPECT_EQ(text, "Direct text");
    tip.GetText(text, &button);
    EXPECT_EQ(text, "Tip from the table");
    tip.UpdateTipText("Changed", &button);
    tip.GetText(text, &button);
    EXPECT_EQ(text, "Changed");

    TOOLINFO ti{};
    EXPECT_TRUE(tip.HitTest(top.get(), CPoint(10, 70), &ti));
    EXPECT_EQ(ti.uId, 5u);
    EXPECT_FALSE(tip.HitTest(top.get(), CPoint(300, 200), &ti));
    tip.DelTool(&label);
    EXPECT_EQ(tip.GetToolCount(), 2);
}

// Owner-drawn controls draw themselves: the parent object hands WM_DRAWITEM and the list box's
// measuring and deleting back to the control's object.
class CRecordingButton : public CButton {
public:
    std::vector<UINT> drawnStates;
    void DrawItem(LPDRAWITEMSTRUCT dis) override { drawnStates.push_back(dis->itemState); }
};

class CRecordingList : public CListBox {
public:
    int measured = 0;
    std::vector<UINT> drawn;
    std::vector<UINT> deleted;
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override
    {
        ++measured;
        mis->itemHeight = 18;
    }
    void DrawItem(LPDRAWITEMSTRUCT dis) override { drawn.push_back(dis->itemID); }
    void DeleteItem(LPDELETEITEMSTRUCT dis) override { deleted.push_back(dis->itemID); }
};

TEST_F(ControlWrappersTest, OwnerDrawMessagesReachTheControlsObject)
{
    CRecordingButton button;
    ASSERT_TRUE(button.Create("Draw", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 60, 24), top.get(), 30));
    button.UpdateWindow();
    button.Invalidate();
    button.UpdateWindow();
    ASSERT_FALSE(button.drawnStates.empty());
    button.EnableWindow(FALSE);
    button.UpdateWindow();
    EXPECT_TRUE(button.drawnStates.back() & ODS_DISABLED);

    CRecordingList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, CRect(70, 0, 170, 100),
                            top.get(), 31));
    EXPECT_EQ(list.measured, 1);
    EXPECT_EQ(list.GetItemHeight(0), 18);
    list.AddString("a");
    list.AddString("b");
    list.UpdateWindow();
    EXPECT_EQ(list.drawn, (std::vector<UINT>{0, 1}));
    // Only items carrying data of their own are announced when they go.
    list.SetItemData(1, 42);
    list.DeleteString(0);
    EXPECT_TRUE(list.deleted.empty());
    list.DeleteString(0);
    EXPECT_EQ(list.deleted, std::vector<UINT>{0});
}

} // namespace
