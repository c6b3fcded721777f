// Check list boxes: checks set by the program and by the user's clicks on the box and Space,
// the parent told of the user's changes, disabled items left alone, three states, the caller's
// item data kept apart from the checks, and the box drawn checked or not.
#include "platform/afx/dlg/CCheckListBox.h"
#include "tests/platform/afx/AfxFixture.h"

#include <cairo.h>

#include <vector>

namespace {

constexpr UINT kListId = 40;

class CListParent : public CWnd {
public:
    std::vector<int> changes;   // the check of the caret item at each notification
    CCheckListBox* list = nullptr;

protected:
    void OnCheckChange() { changes.push_back(list->GetCheck(list->GetCaretIndex())); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CListParent, CWnd)
    ON_CONTROL(CLBN_CHKCHANGE, kListId, &CListParent::OnCheckChange)
END_MESSAGE_MAP()

class CheckListBoxTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(parent.Create(nullptr, "parent", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), top.get(), 1));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY,
                                CRect(10, 10, 210, 150), &parent, kListId));
        parent.list = &list;
        for (const char* s : {"html", "htm", "shtml", "php"})
            list.AddString(s);
        list.UpdateWindow();
    }
    void TearDown() override
    {
        list.DestroyWindow();
        parent.DestroyWindow();
        AfxTest::TearDown();
    }
    // The centre of an item's check box, and of its text, in screen coordinates.
    POINT BoxOf(int index)
    {
        CRect r;
        list.GetItemRect(index, &r);
        return At(list.m_hWnd, r.left + 1 + 6, r.CenterPoint().y);
    }
    POINT TextOf(int index)
    {
        CRect r;
        list.GetItemRect(index, &r);
        return At(list.m_hWnd, r.left + 60, r.CenterPoint().y);
    }
    // Dark pixels inside an item's check box.
    int InkInBox(int index)
    {
        list.Invalidate();
        list.UpdateWindow();
        CRect r;
        list.GetItemRect(index, &r);
        POINT origin{r.left + 1, r.top + (r.Height() - 13) / 2};
        ::ClientToScreen(list.m_hWnd, &origin);
        HWND root = GetAncestor(list.m_hWnd, GA_ROOT);
        RECT window;
        GetWindowRect(root, &window);
        cairo_surface_t* surface = backend->Capture(root);
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        int ink = 0;
        for (int y = 3; y < 10; ++y)
            for (int x = 3; x < 10; ++x) {
                const uint32_t p = *(reinterpret_cast<const uint32_t*>(data + (origin.y - window.top + y) * stride) +
                                     (origin.x - window.left + x));
                if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 200)
                    ++ink;
            }
        cairo_surface_destroy(surface);
        return ink;
    }

    CListParent parent;
    CCheckListBox list;
};

TEST_F(CheckListBoxTest, TheUsersClicksAndSpaceCheckAndTheParentHears)
{
    EXPECT_EQ(list.GetCheck(0), 0);
    backend->Click(1, BoxOf(1));
    backend->ProcessMessages();
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_EQ(list.GetCurSel(), 1) << "the click on the box selects the item too";
    EXPECT_EQ(parent.changes, std::vector<int>{1});

    backend->Advance(GetDoubleClickTime() + 1);
    backend->Click(1, TextOf(2));
    backend->ProcessMessages();
    EXPECT_EQ(list.GetCheck(2), 0) << "a click on the text only selects";
    EXPECT_EQ(list.GetCurSel(), 2);
    backend->Key(VK_SPACE, " ");
    backend->ProcessMessages();
    EXPECT_EQ(list.GetCheck(2), 1);
    EXPECT_EQ(list.GetCurSel(), 2) << "Space does not search for an item starting with a blank";
    EXPECT_EQ(parent.changes, (std::vector<int>{1, 1}));

    list.Enable(3, FALSE);
    EXPECT_FALSE(list.IsEnabled(3));
    backend->Advance(GetDoubleClickTime() + 1);
    backend->Click(1, BoxOf(3));
    backend->ProcessMessages();
    EXPECT_EQ(list.GetCheck(3), 0) << "a disabled item keeps its check";
    EXPECT_EQ(parent.changes.size(), 2u);

    // Three states cycle; the program cannot set the third on a two-state list.
    list.SetCheck(0, 2);
    EXPECT_EQ(list.GetCheck(0), 0);
    list.SetCheckStyle(BS_AUTO3STATE);
    for (int expected : {2, 0, 1}) {
        backend->Advance(GetDoubleClickTime() + 1);
        backend->Click(1, BoxOf(1));
        backend->ProcessMessages();
        EXPECT_EQ(list.GetCheck(1), expected);
    }
    // A manual style only tells the parent.
    list.SetCheckStyle(BS_CHECKBOX);
    backend->Advance(GetDoubleClickTime() + 1);
    backend->Click(1, BoxOf(1));
    backend->ProcessMessages();
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_EQ(parent.changes.size(), 6u);
}

TEST_F(CheckListBoxTest, ItemDataStaysTheCallersAndGoesWithItsItem)
{
    list.SetCheck(1, 1);
    EXPECT_EQ(list.GetItemData(1), 0u) << "a check is not item data";
    list.SetItemData(1, 0xBEEF);
    list.SetItemData(2, 7);
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_EQ(list.GetItemData(1), 0xBEEFu);
    EXPECT_EQ(list.SendMessage(LB_GETITEMDATA, 9), LB_ERR);
    EXPECT_EQ(list.SendMessage(LB_SETITEMDATA, 9, 1), LB_ERR);
    list.DeleteString(0);
    EXPECT_EQ(list.GetCheck(0), 1) << "the check moved up with its item";
    EXPECT_EQ(list.GetItemData(0), 0xBEEFu);
    EXPECT_EQ(list.GetItemData(1), 7u);
    list.ResetContent();
    list.AddString("new");
    EXPECT_EQ(list.GetCheck(0), 0);
    EXPECT_EQ(list.GetItemData(0), 0u);
    list.SetCheck(5, 1);   // no such item: nothing happens
    EXPECT_EQ(list.GetCount(), 1);
}

TEST_F(CheckListBoxTest, ChecksAreDrawnInTheBox)
{
    const int empty = InkInBox(0);
    list.SetCheck(0, 1);
    const int checked = InkInBox(0);
    EXPECT_GT(checked, empty + 5) << "a check mark inside the box";
    EXPECT_EQ(InkInBox(1), empty);
}

} // namespace
