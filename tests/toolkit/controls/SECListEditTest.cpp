// In-place label editing (begin veto, live write-back and Escape, Enter with and without
// single-line labels, the row growing while typing, long texts) and the tips over cut-off text.
#include "tests/toolkit/controls/ListTestSupport.h"

#include "platform/win/VirtualKeys.h"
#include "toolkit/controls/SECListTip.h"

namespace {

using SECListEditTest = ListTest;

std::string Text(SECListCtrl* list, int row, int slot = 0)
{
    char buf[4096];
    list->GetItemText(row, slot, buf, sizeof buf);
    return buf;
}

void Type(HeadlessBackend* backend, const std::string& s)
{
    for (char c : s)
        backend->Key(static_cast<UINT>(std::toupper(static_cast<unsigned char>(c))), std::string(1, c));
    backend->ProcessMessages();
}

TEST_F(SECListEditTest, EscapeRestoresTheOldTextAfterLiveWriteBack)
{
    MakeList(LVXS_EDITLABELS);
    parent.beginReply = 1;   // refused: no editor, nothing changes
    EXPECT_EQ(list->EditLabel(1, 0), nullptr);
    EXPECT_EQ(list->GetEditRow(), -1);
    EXPECT_EQ(parent.Count(LVN_BEGINLABELEDITA), 1);
    parent.beginReply = 0;

    CWnd* editor = list->EditLabel(1, 0);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(::GetFocus(), editor->m_hWnd);
    EXPECT_EQ(list->EditLabel(2, 0), nullptr);   // one editor at a time
    Type(backend, "xy");
    EXPECT_EQ(Text(list, 1), "xy");   // written into the cell while typing
    Press(VK_ESCAPE);
    EXPECT_EQ(list->GetEditRow(), -1);
    EXPECT_EQ(Text(list, 1), "Item 1");
    EXPECT_EQ(parent.endTexts, std::vector<std::string>{"<null>"});
    EXPECT_EQ(::GetFocus(), list->m_hWnd);

    // Losing the focus ends an edit with commit; the parent may change the text it accepts.
    parent.replaceWith = "renamed";
    list->EditLabel(4, 0);
    Type(backend, "abc");
    parent.SetFocus();
    EXPECT_EQ(parent.endTexts.back(), "abc");
    EXPECT_EQ(Text(list, 4), "renamed");
    // A zero reply refuses the text.
    parent.replaceWith.clear();
    parent.endReply = 0;
    list->EditLabel(5, 0);
    Type(backend, "no");
    list->SendMessage(WM_VSCROLL, SB_LINEDOWN);   // scrolling ends the edit with commit
    EXPECT_EQ(parent.endTexts.back(), "no");
    EXPECT_EQ(Text(list, 5), "Item 5");
}

TEST_F(SECListEditTest, EnterEndsSingleLineLabelsAndBreaksWrappedOnes)
{
    MakeList(LVXS_EDITLABELS | LVXS_HEIGHT_INDEPENDENT);
    list->EditLabel(0, 0);
    Type(backend, "q");
    Press(VK_RETURN, "\r");
    EXPECT_EQ(list->GetEditRow(), -1);
    EXPECT_EQ(Text(list, 0), "q");
    list->DestroyWindow();

    list = nullptr;
    SECListCtrl& wrapped = *MakeOwned<SECListCtrl>(LVXS_EDITLABELS);
    ASSERT_EQ(wrapped.GetRowHeight(0), 10);
    wrapped.EditLabel(0, 0);
    RECT before;
    wrapped.GetEditControl()->GetWindowRect(&before);
    Press(VK_END);
    Press(VK_RETURN, "\r");
    Type(backend, "z");
    EXPECT_EQ(wrapped.GetEditRow(), 0);   // still editing: Enter was a line break
    EXPECT_EQ(wrapped.GetRowHeight(0), 20);   // the row grew while typing
    RECT after;
    wrapped.GetEditControl()->GetWindowRect(&after);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 10);
    wrapped.SetFocus();
    EXPECT_EQ(Text(&wrapped, 0), "Item 0\r\nz");
}

TEST_F(SECListEditTest, AVeryLongLabelReachesTheParentCutOnACharacter)
{
    MakeList(LVXS_EDITLABELS);
    std::string longText(2046, 'a');
    longText += "\xC3\xA9\xC3\xA9";   // two two-byte characters across the 2047-byte limit
    list->SetItemText(3, 0, longText.c_str());
    list->EditLabel(3, 0);
    list->SetFocus();
    ASSERT_EQ(parent.endTexts.size(), 1u);
    EXPECT_EQ(parent.endTexts[0], std::string(2046, 'a'));
    EXPECT_EQ(list->GetEditRow(), -1);
}

TEST_F(SECListEditTest, TipsShowOnlyOverCutOffTextAndFollowTheCell)
{
    MakeList(LVXS_HEIGHT_INDEPENDENT, LVXS_EX_FLAG100000);
    list->SetItemText(2, 0, "A label far too long for its column");
    list->SetItemText(3, 0, "Another label that is cut off");
    SetCell(4, 1, "sub-item text cut off too");
    ::SetActiveWindow(top->m_hWnd);
    SECListTip* tip = list->GetTip();
    auto moveTo = [&](CPoint pt) {
        backend->MouseMove(At(list->m_hWnd, pt.x, pt.y));
        backend->ProcessMessages();
    };
    moveTo(LabelPoint(1));   // "Item 1" fits
    EXPECT_FALSE(tip->m_hWnd && tip->IsWindowVisible());
    moveTo(LabelPoint(2));
    ASSERT_TRUE(tip->m_hWnd && tip->IsWindowVisible());
    EXPECT_EQ(tip->m_nRow, 2);
    EXPECT_EQ(tip->GetTipText(), "A label far too long for its column");
    EXPECT_EQ(::GetCapture(), list->m_hWnd);
    CRect shown;
    tip->GetWindowRect(&shown);
    POINT origin = At(list->m_hWnd, 0, 0);
    EXPECT_EQ(shown.left, origin.x + 5 - 2 - 1);
    EXPECT_EQ(shown.Height(), 10);
    moveTo(LabelPoint(3));   // the next cut-off cell replaces it
    EXPECT_EQ(tip->m_nRow, 3);
    moveTo(CPoint(110, LabelPoint(4).y));   // over a cut-off sub-item
    EXPECT_EQ(tip->m_nRow, 4);
    EXPECT_EQ(tip->m_nSlot, 1);
    // Scrolling and a selection by the user hide it and give the mouse back.
    list->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_FALSE(tip->IsWindowVisible());
    EXPECT_EQ(tip->m_nRow, -1);
    EXPECT_EQ(::GetCapture(), nullptr);
    moveTo(LabelPoint(3));
    ASSERT_TRUE(tip->IsWindowVisible());
    ClickAt(LabelPoint(5));
    EXPECT_FALSE(tip->IsWindowVisible());

    // Near the right screen edge the tip moves left to stay on the screen.
    list->SetWindowPos(nullptr, 0, 0, 200, 118, SWP_NOMOVE | SWP_NOZORDER);
    top->SetWindowPos(nullptr, 1024 - 150, 20, 400, 300, SWP_NOZORDER | SWP_NOSIZE);
    backend->ProcessMessages();
    moveTo(LabelPoint(3));
    ASSERT_TRUE(tip->IsWindowVisible());
    tip->GetWindowRect(&shown);
    EXPECT_LE(shown.right, 1024);
}

}   // namespace
