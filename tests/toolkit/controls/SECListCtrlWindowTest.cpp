// The list as a window on the headless backend: creation by view, the style split of a real
// window, and notifications reaching the parent as WM_NOTIFY.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/platform/afx/AfxFixture.h"
#include "toolkit/controls/SECListCtrl.h"

namespace {

// A parent that records every notification and answers the list's display-info questions.
class NotifyParent : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY) {
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            codes.push_back(static_cast<int>(hdr->code));
            ids.push_back(hdr->idFrom);
            if (static_cast<int>(hdr->code) == LVN_DELETEITEM)
                deletedRows.push_back(reinterpret_cast<NM_LISTVIEW*>(lParam)->iItem);
            if (static_cast<int>(hdr->code) == LVN_GETDISPINFOA) {
                LV_ITEM& item = reinterpret_cast<LV_DISPINFO*>(lParam)->item;
                if (item.mask & LVIF_TEXT)
                    SECListCopyText(item.pszText, item.cchTextMax, ("node " + std::to_string(item.lParam)).c_str());
            }
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<int> codes;
    std::vector<UINT_PTR> ids;
    std::vector<int> deletedRows;
};

class SECListCtrlWindowTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "Parent", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, top->m_hWnd, nullptr));
    }
    void TearDown() override
    {
        list.DestroyWindow();
        parent.DestroyWindow();
        AfxTest::TearDown();
    }
    NotifyParent parent;
    SECListCtrl list;
};

TEST_F(SECListCtrlWindowTest, ANonReportListHasOneUntitledColumnAndNoHeader)
{
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVXS_EDITLABELS, CRect(0, 0, 200, 100), &parent, 7));
    EXPECT_EQ(list.GetColumnCount(), 1);
    // Made 20 pixels wide, the only column is then fitted to the inside width by WM_SIZE.
    RECT inside;
    list.GetInsideRect(inside);
    EXPECT_EQ(inside.top, 0);
    EXPECT_EQ(inside.right - inside.left, 200);
    EXPECT_EQ(list.GetColumnWidth(0), inside.right - inside.left);
    CString title = "x";
    EXPECT_TRUE(list.GetColumnTitle(0, title));
    EXPECT_EQ(std::string(title), "");
    EXPECT_EQ(list.GetColumnSubItem(0), 0);
    EXPECT_FALSE(list.IsHeaderShown());
    EXPECT_TRUE(list.HasStyle(LVXS_EDITLABELS));
    EXPECT_EQ(list.GetStyle() & LVXS_STYLE_MASK, 0u);   // the list's bits left the window style
}

TEST_F(SECListCtrlWindowTest, AReportListSplitsStylesAndNotifiesItsParent)
{
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVXS_REPORT_VIEW, LVXS_EX_FILLLABEL | LVXS_EX_VGRIDLINES,
                            CRect(0, 0, 200, 100), &parent, 9));
    EXPECT_EQ(list.GetColumnCount(), 0);
    EXPECT_TRUE(list.IsHeaderShown());
    EXPECT_EQ(list.GetListStyleEx(), static_cast<DWORD>(LVXS_EX_FILLLABEL | LVXS_EX_VGRIDLINES));
    EXPECT_EQ(list.GetExStyle() & LVXS_EX_STYLE_MASK, 0u);
    // Without columns the column width is the inside width; the label column fills what is left.
    RECT inside;
    list.GetInsideRect(inside);
    EXPECT_EQ(inside.top, 18);   // below the header
    EXPECT_EQ(list.GetColumnWidth(0), inside.right - inside.left);
    list.AddColumn("Name", 0, 50, 0);
    list.AddColumn("Size", 0, 60, -1);
    EXPECT_TRUE(list.FitColumns());
    EXPECT_EQ(list.GetColumnWidth(0), inside.right - inside.left - 60);

    // Callback texts come from the parent through WM_NOTIFY, with the value and the control id.
    int node = 0;
    const auto value = reinterpret_cast<LPARAM>(&node);
    list.InsertItem(LVIF_TEXT | LVIF_PARAM, 0, LPSTR_TEXTCALLBACK, 0, 0, 0, value);
    char buf[64];
    list.GetItemText(0, 0, buf, sizeof buf);
    EXPECT_EQ(std::string(buf), "node " + std::to_string(value));
    ASSERT_FALSE(parent.codes.empty());
    EXPECT_EQ(parent.codes.back(), LVN_GETDISPINFOA);
    EXPECT_EQ(parent.ids.back(), 9u);

    // One LVN_DELETEITEM for a run, carrying its first row.
    for (int i = 1; i < 5; ++i)
        list.InsertItem(i, "r");
    parent.codes.clear();
    EXPECT_TRUE(list.DeleteItems(1, 3));
    // (Measuring the rows still on show asks the parent for the callback text meanwhile.)
    EXPECT_EQ(std::count(parent.codes.begin(), parent.codes.end(), LVN_DELETEITEM), 1);
    EXPECT_EQ(parent.deletedRows, std::vector<int>{1});
    // A notify window takes the parent's place.
    NotifyParent other;
    ASSERT_TRUE(other.CreateEx(0, nullptr, "Other", WS_CHILD, 0, 0, 10, 10, top->m_hWnd, nullptr));
    list.SetNotifyWnd(&other);
    list.Notify(-2);
    EXPECT_EQ(other.codes, std::vector<int>{-2});
    list.SetNotifyWnd(nullptr);
    other.DestroyWindow();
}

}   // namespace
