// The list's input: hit codes, clicks and keys with shift and control ranges, the selection veto,
// GetNextItem, the divider drag, the drag threshold and the label-edit timer.
#include "tests/toolkit/controls/ListTestSupport.h"

#include "platform/win/VirtualKeys.h"

namespace {

// A list whose selection changes can be refused, and that records drag starts.
class VetoList : public SECListCtrl {
public:
    LRESULT NotifySelChanging(int nRow, int, int nCause) override
    {
        asked.push_back(nRow);
        causes.push_back(nCause);
        return veto;
    }
    void NotifyBeginDrag(int nRow, CPoint) override { drags.push_back(nRow); }
    LRESULT veto = 0;
    std::vector<int> asked, causes, drags;
};

using SECListInputTest = ListTest;

TEST_F(SECListInputTest, HitCodesCoverHeaderDividerLabelAndRow)
{
    MakeList();
    UINT code = 0;
    int col = -1;
    EXPECT_EQ(list->HitTest(20, 5, code, col), -1);
    EXPECT_EQ(code, static_cast<UINT>(LVHT_ONHEADER));
    EXPECT_EQ(col, 0);
    list->HitTest(102, 5, code, col);
    EXPECT_EQ(code, static_cast<UINT>(LVHT_ONDIVIDER));
    EXPECT_EQ(col, 0);
    EXPECT_EQ(list->HitTest(8, 18 + 25, code, col), 2);
    EXPECT_EQ(code, static_cast<UINT>(LVHT_ONITEM | LVHT_ONITEMLABEL));
    list->HitTest(2, 18 + 25, code, col);
    EXPECT_EQ(code, static_cast<UINT>(LVHT_ONITEM | LVHT_LEFTOFLABEL));
    list->HitTest(60, 18 + 25, code, col);
    EXPECT_EQ(code, static_cast<UINT>(LVHT_ONITEM | LVHT_RIGHTOFLABEL));
    list->HitTest(120, 18 + 25, code, col);   // a sub-item column: the row alone
    EXPECT_EQ(code, static_cast<UINT>(LVHT_ONITEM));
    EXPECT_EQ(col, 1);
    list->HitTest(-3, 40, code, col);
    EXPECT_EQ(code, static_cast<UINT>(LVHT_TOLEFT));
    list->DeleteItems(2, 100);
    list->HitTest(20, 90, code, col);   // below the last row
    EXPECT_EQ(code, static_cast<UINT>(LVHT_NOWHERE));
}

TEST_F(SECListInputTest, ClicksAndKeysSelectWithShiftAndControlRanges)
{
    MakeList();
    EXPECT_EQ(list->GetFocusItem(), 0);   // the first row inserted took the focus
    ClickAt(LabelPoint(3));
    EXPECT_EQ(list->GetSelection(), std::vector<int>{3});
    EXPECT_EQ(parent.Count(NM_CLICK), 1);
    // Shift+Down extends from the anchor; Control+Down moves only the focus; Down selects one.
    PressWith(VK_SHIFT, VK_DOWN);
    PressWith(VK_SHIFT, VK_DOWN);
    EXPECT_EQ(list->GetSelection(), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(list->GetFocusItem(), 5);
    PressWith(VK_CONTROL, VK_DOWN);
    EXPECT_EQ(list->GetFocusItem(), 6);
    EXPECT_EQ(list->GetSelection(), (std::vector<int>{3, 4, 5}));
    Press(VK_SPACE, " ");   // toggles the focus row
    EXPECT_EQ(list->GetSelection(), (std::vector<int>{3, 4, 5, 6}));
    Press(VK_DOWN);
    EXPECT_EQ(list->GetSelection(), std::vector<int>{7});
    // Control-click toggles one row and keeps the others; shift-click selects from the anchor.
    backend->KeyDown(VK_CONTROL);
    ClickAt(LabelPoint(2));
    ClickAt(LabelPoint(7));
    backend->KeyUp(VK_CONTROL);
    EXPECT_EQ(list->GetSelection(), std::vector<int>{2});
    // The last control-click made row 7 the anchor, though it left it unselected.
    backend->KeyDown(VK_SHIFT);
    ClickAt(LabelPoint(5));
    backend->KeyUp(VK_SHIFT);
    EXPECT_EQ(list->GetSelection(), (std::vector<int>{5, 6, 7}));
    // A right click inside the selection keeps it; on a header cell selects nothing.
    ClickAt(LabelPoint(6), 3);
    EXPECT_EQ(list->GetSelection(), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(list->GetFocusItem(), 6);
    EXPECT_EQ(parent.Count(NM_RCLICK), 1);
    ClickAt(CPoint(20, 5));
    EXPECT_EQ(list->GetSelection(), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(parent.Count(NM_CLICK), 5);

    EXPECT_EQ(list->GetNextItem(-1, LVNI_SELECTED), 5);
    EXPECT_EQ(list->GetNextItem(5, LVNI_SELECTED), 6);
    EXPECT_EQ(list->GetNextItem(7, LVNI_SELECTED | LVNI_ABOVE), 6);
    EXPECT_EQ(list->GetNextItem(-1, LVNI_FOCUSED), 6);
    EXPECT_EQ(list->GetNextItem(29, LVNI_ALL), -1);
    EXPECT_EQ(list->GetNextItem(4, LVNI_ABOVE), 3);
    EXPECT_EQ(list->GetNextItem(4, 0x1000), -1);

    // Page keys and End scroll with the focus; Home goes back; single selection each time.
    Press(VK_NEXT);   // from row 6 to the last whole row on the page
    EXPECT_EQ(list->GetFocusItem(), 9);
    Press(VK_NEXT);
    EXPECT_EQ(list->GetFocusItem(), 19);
    EXPECT_EQ(list->GetTopIndex(), 10);
    Press(VK_END);
    EXPECT_EQ(list->GetSelection(), std::vector<int>{29});
    EXPECT_EQ(list->GetTopIndex(), 20);
    Press(VK_PRIOR);
    EXPECT_EQ(list->GetFocusItem(), 20);
    Press(VK_HOME);
    EXPECT_EQ(list->GetSelection(), std::vector<int>{0});
    EXPECT_EQ(list->GetTopIndex(), 0);
    // Enter, Escape and Tab reach the parent.
    Press(VK_RETURN);
    EXPECT_EQ(parent.Count(NM_RETURN), 1);
    Press(VK_ESCAPE);
    Press(VK_TAB);
    EXPECT_EQ(parent.messages, (std::vector<UINT>{WM_COMMAND, WM_NEXTDLGCTL}));
    EXPECT_GE(parent.Count(LVN_KEYDOWN), 12);
}

TEST_F(SECListInputTest, AVetoHoldsShiftAndControlSelectionsUntilAPlainOne)
{
    VetoList& veto = *MakeOwned<VetoList>();
    ClickAt(LabelPoint(1));
    EXPECT_EQ(veto.causes.back(), 1);   // by mouse
    veto.veto = 1;
    backend->KeyDown(VK_SHIFT);
    ClickAt(LabelPoint(4));
    ClickAt(LabelPoint(5));
    backend->KeyUp(VK_SHIFT);
    // The first was refused; the second was not even asked.
    EXPECT_EQ(veto.asked, (std::vector<int>{1, 4}));
    EXPECT_EQ(veto.GetSelection(), std::vector<int>{1});
    veto.veto = 0;
    ClickAt(LabelPoint(2));   // a plain click asks again
    backend->KeyDown(VK_SHIFT);
    ClickAt(LabelPoint(4));
    backend->KeyUp(VK_SHIFT);
    EXPECT_EQ(veto.GetSelection(), (std::vector<int>{2, 3, 4}));
    Press(VK_UP);
    EXPECT_EQ(veto.causes.back(), 0);   // by keyboard
    // Single selection: shift and control mean nothing more than a plain click.
    veto.SetMultipleSelection(FALSE);
    backend->KeyDown(VK_SHIFT);
    ClickAt(LabelPoint(8));
    backend->KeyUp(VK_SHIFT);
    EXPECT_EQ(veto.GetSelection(), std::vector<int>{8});
}

TEST_F(SECListInputTest, DividerDragHasAFloorAndEscapeOrRightPressPutsItBack)
{
    MakeList();
    const POINT divider = At(list->m_hWnd, 100, 5);
    auto drag = [&](int toX, std::function<void()> finish) {
        backend->WhenIdle([&, toX] { backend->MouseMove(At(list->m_hWnd, toX, 5)); });
        backend->WhenIdle(finish);
        backend->MouseDown(1, divider);
        backend->ProcessMessages();
    };
    drag(130, [&] { backend->MouseUp(1, At(list->m_hWnd, 130, 5)); });
    EXPECT_EQ(list->GetColumnWidth(0), 130);
    // Dragged past the column's left edge, the width stops at 10.
    const POINT again = At(list->m_hWnd, 130, 5);
    backend->WhenIdle([&] { backend->MouseMove(At(list->m_hWnd, -40, 5)); });
    backend->WhenIdle([&] { backend->MouseUp(1, At(list->m_hWnd, -40, 5)); });
    backend->MouseDown(1, again);
    backend->ProcessMessages();
    EXPECT_EQ(list->GetColumnWidth(0), 10);
    list->SetColumnWidth(0, 100);
    drag(170, [&] { backend->KeyDown(VK_ESCAPE); });
    backend->KeyUp(VK_ESCAPE);
    EXPECT_EQ(list->GetColumnWidth(0), 100);
    drag(170, [&] { backend->MouseDown(3, At(list->m_hWnd, 170, 5)); });
    backend->MouseUp(3, At(list->m_hWnd, 170, 5));
    backend->ProcessMessages();
    EXPECT_EQ(list->GetColumnWidth(0), 100);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_TRUE(list->GetSelection() == std::vector<int>{0});   // no selection by the drag
}

TEST_F(SECListInputTest, FillLabelDividerNeverSqueezesAColumnBelowFive)
{
    MakeList(0, LVXS_EX_FILLLABEL);
    list->AddColumn("Third", 0, 20, -1);
    list->FitColumns();
    ASSERT_EQ(list->GetColumnWidth(0), 185 - 80);
    // Dragging the second divider far right: the third column shrinks to 5 and column 0 gives
    // up the rest, but stays a column.
    const int divider = list->GetColumnRight(1);
    backend->WhenIdle([&] { backend->MouseMove(At(list->m_hWnd, divider + 400, 5)); });
    backend->WhenIdle([&] { backend->MouseUp(1, At(list->m_hWnd, divider + 400, 5)); });
    backend->MouseDown(1, At(list->m_hWnd, divider, 5));
    backend->ProcessMessages();
    EXPECT_EQ(list->GetColumnWidth(2), 5);
    EXPECT_EQ(list->GetColumnWidth(1), 460);
    EXPECT_EQ(list->GetColumnWidth(0), 5);
}

TEST_F(SECListInputTest, DragStartsPastThreePixelsAndTheEditTimerLosesToADoubleClick)
{
    VetoList& drags = *MakeOwned<VetoList>(LVXS_EDITLABELS);
    const CPoint label = LabelPoint(2);
    backend->MouseDown(1, At(drags.m_hWnd, label.x, label.y));
    backend->MouseMove(At(drags.m_hWnd, label.x + 3, label.y));
    backend->ProcessMessages();
    EXPECT_TRUE(drags.drags.empty());
    backend->MouseMove(At(drags.m_hWnd, label.x + 4, label.y));
    backend->ProcessMessages();
    EXPECT_EQ(drags.drags, std::vector<int>{2});
    backend->MouseUp(1, At(drags.m_hWnd, label.x + 4, label.y));
    backend->ProcessMessages();

    // A second click on the selected label opens the editor half a second later...
    ClickAt(label);
    backend->Advance(600);
    ClickAt(label);
    backend->Advance(499);
    EXPECT_EQ(drags.GetEditRow(), -1);
    backend->Advance(2);
    EXPECT_EQ(drags.GetEditRow(), 2);
    Press(VK_ESCAPE);
    EXPECT_EQ(drags.GetEditRow(), -1);
    // ...unless a double click follows.
    backend->Advance(600);
    ClickAt(label);
    backend->Advance(600);
    ClickAt(label);
    backend->Advance(100);
    ClickAt(label);   // within the double-click time
    backend->Advance(1000);
    EXPECT_EQ(drags.GetEditRow(), -1);
    EXPECT_GE(parent.Count(NM_DBLCLK), 1);
}

}   // namespace
