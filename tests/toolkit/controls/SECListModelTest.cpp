// The list's model without painting: column slots, callbacks, styles, image lists, and random
// edits of rows, selection and focus checked against a plain model of the same rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/afx/gdi/CImageList.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "toolkit/controls/SECListCtrl.h"

namespace {

// Answers the list's questions as a parent would, and records what it was told.
class RecordingList : public SECListCtrl {
public:
    BOOL NotifyGetDispInfo(LV_ITEM& item) override
    {
        asked.push_back(item);
        if (item.mask & LVIF_TEXT)
            SECListCopyText(item.pszText, item.cchTextMax,
                            ("cb" + std::to_string(item.iItem) + "." + std::to_string(item.iSubItem)).c_str());
        if (item.mask & LVIF_IMAGE)
            item.iImage = 40 + item.iItem;
        if (item.mask & LVIF_STATE)
            item.state = 0x1000;
        return TRUE;
    }
    void NotifySetDispInfo(const LV_ITEM& item) override { told.push_back(item.pszText ? item.pszText : ""); }
    std::vector<LV_ITEM> asked;
    std::vector<std::string> told;
};

std::string ModelText(SECListBaseC& list, int row, int sub)
{
    char buf[64];
    list.GetItemText(row, sub, buf, sizeof buf);
    return buf;
}

TEST(SECListModelTest, ColumnsNameSlotsAndKeepThemConsistent)
{
    RecordingList list;
    list.InsertItem(0, "a");
    list.InsertItem(1, "b");
    // Index 0 always shows the label, whatever slot and format were asked for.
    EXPECT_EQ(list.InsertColumn(0, "Name", 2, 100, 5), 0);
    EXPECT_EQ(list.GetColumnSubItem(0), 0);
    EXPECT_EQ(list.GetColumnFormat(0), 0);
    EXPECT_EQ(list.GetSubItemSlotCount(), 0);
    // Slot -1 and a slot past the count get a new slot; a width of -1 becomes 10.
    EXPECT_EQ(list.AddColumn("Size", 1, -1, -1), 1);
    EXPECT_EQ(list.AddColumn("Date", 0, 30, 9), 2);
    EXPECT_EQ(list.GetColumnSubItem(1), 1);
    EXPECT_EQ(list.GetColumnSubItem(2), 2);
    EXPECT_EQ(list.GetColumnWidth(1), 10);
    EXPECT_EQ(list.GetSubItemSlotCount(), 2);
    EXPECT_EQ(list.GetItemRecord(1)->m_subItems.size(), 2u);
    // Items inserted later carry the same slots.
    list.InsertItem(2, "c");
    EXPECT_EQ(list.GetItemRecord(2)->m_subItems.size(), 2u);
    list.SetItem(LV_ITEM{LVIF_TEXT | LVIF_DI_SETITEM, 0, 2, 0, 0, const_cast<LPSTR>("d0"), 0, 0, 0});
    EXPECT_EQ(list.GetColumnLeft(2), 110);
    EXPECT_EQ(list.GetColumnRight(2), 140);
    int col = -1, slot = -1;
    EXPECT_TRUE(list.FindColumn("Date", col, slot));
    EXPECT_EQ(col, 2);
    EXPECT_FALSE(list.FindColumn("date"));

    // Deleting "Size" gives its width to the label column and renumbers the higher slot.
    EXPECT_TRUE(list.DeleteColumnByTitle("Size"));
    EXPECT_EQ(list.GetColumnWidth(0), 110);
    EXPECT_EQ(list.GetColumnSubItem(1), 1);
    EXPECT_EQ(list.GetSubItemSlotCount(), 1);
    EXPECT_EQ(ModelText(list, 0, 1), "d0");   // the "Date" cell moved down with its slot
    // With extended bit 0x08000000 the width is not passed on.
    list.SetListStyleEx(LVXS_EX_KEEPDELETEDWIDTH, FALSE);
    list.AddColumn("Extra", 0, 25, -1);
    EXPECT_TRUE(list.DeleteColumn(2));
    EXPECT_EQ(list.GetColumnWidth(0), 110);
    EXPECT_FALSE(list.DeleteColumn(7));
    EXPECT_EQ(list.GetColumnWidth(7), 0);

    // DeleteAllColumns keeps the items' sub-items and the slot count.
    EXPECT_TRUE(list.DeleteAllColumns());
    EXPECT_EQ(list.GetColumnCount(), 0);
    EXPECT_EQ(list.GetSubItemSlotCount(), 1);
    EXPECT_EQ(ModelText(list, 0, 1), "d0");
    EXPECT_EQ(list.AddColumn("Again", 0, 40, 1), 0);   // index 0: back to the label
    EXPECT_EQ(list.AddColumn("Date", 0, 40, 1), 1);    // an existing slot is shown again
    EXPECT_EQ(list.GetSubItemSlotCount(), 1);
}

TEST(SECListModelTest, CallbacksAskTheParentAndKeepItsTextsUnlessToldToStoreThem)
{
    RecordingList list;
    list.AddColumn("Name", 0, 50, 0);
    list.AddColumn("Kind", 0, 50, -1);
    int marker = 0;
    const auto node = reinterpret_cast<LPARAM>(&marker);   // a pointer, wider than 32 bits here
    list.InsertItem(LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE, 0, LPSTR_TEXTCALLBACK, 0, 0, I_IMAGECALLBACK, node);
    list.InsertItem(1, "plain");
    EXPECT_EQ(list.GetItemData(0), node);

    EXPECT_EQ(ModelText(list, 0, 0), "cb0.0");
    ASSERT_EQ(list.asked.size(), 1u);
    EXPECT_EQ(list.asked[0].mask, static_cast<UINT>(LVIF_TEXT));   // exactly the parts wanted
    EXPECT_EQ(list.asked[0].lParam, node);                          // and the value with them
    // A new sub-item asks too; a stored text does not.
    EXPECT_EQ(ModelText(list, 1, 1), "cb1.1");
    EXPECT_EQ(ModelText(list, 1, 0), "plain");
    EXPECT_EQ(list.asked.size(), 2u);

    LV_ITEM img{LVIF_IMAGE, 0, 0, 0, 0, nullptr, 0, 0, 0};
    ASSERT_TRUE(list.GetItem(img));
    EXPECT_EQ(img.iImage, 40);
    EXPECT_EQ(list.asked.back().mask, static_cast<UINT>(LVIF_IMAGE));
    LV_ITEM noAsk{LVIF_TEXT, 0, 0, 0, 0, nullptr, 0, 0, 0};
    ASSERT_TRUE(list.GetItem(noAsk, FALSE, FALSE));
    EXPECT_EQ(noAsk.pszText, LPSTR_TEXTCALLBACK);

    // Without LVIF_DI_SETITEM the parent is told and the callback stays.
    EXPECT_TRUE(list.SetItemText(0, 0, "typed"));
    EXPECT_EQ(list.told, std::vector<std::string>{"typed"});
    EXPECT_EQ(ModelText(list, 0, 0), "cb0.0");
    EXPECT_TRUE(list.SetItem(0, 0, LVIF_IMAGE, nullptr, 3, 0, 0, 0));
    EXPECT_EQ(list.told.size(), 2u);
    // With it the text and image are stored and nobody is asked again.
    list.SetItem(LV_ITEM{LVIF_TEXT | LVIF_IMAGE | LVIF_DI_SETITEM, 0, 0, 0, 0, const_cast<LPSTR>("kept"), 0, 7, 0});
    const size_t asks = list.asked.size();
    EXPECT_EQ(ModelText(list, 0, 0), "kept");
    LV_ITEM img2{LVIF_IMAGE, 0, 0, 0, 0, nullptr, 0, 0, 0};
    list.GetItem(img2);
    EXPECT_EQ(img2.iImage, 7);
    EXPECT_EQ(list.asked.size(), asks);
    // A text of -1 turns a stored text back into a callback.
    list.SetItemText(1, 0, LPSTR_TEXTCALLBACK);
    EXPECT_EQ(ModelText(list, 1, 0), "cb1.0");

    // The state callback mask: the parent's bits join the control's own.
    list.SetStateCallbackMask(0x1000);
    EXPECT_EQ(list.GetItemState(0, LVIS_SELECTED | LVIS_FOCUSED | 0x1000),
              static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED | 0x1000));
    EXPECT_EQ(list.asked.back().mask & LVIF_STATE, static_cast<UINT>(LVIF_STATE));

    // Texts are cut on a character boundary.
    list.SetItem(LV_ITEM{LVIF_TEXT | LVIF_DI_SETITEM, 1, 0, 0, 0, const_cast<LPSTR>("ab\xC3\xA9"), 0, 0, 0});
    char small[4];
    list.GetItemText(1, 0, small, sizeof small);
    EXPECT_STREQ(small, "ab");
    EXPECT_EQ(list.GetItemText(5, 0, small, sizeof small), 0);
    EXPECT_STREQ(small, "");
}

TEST(SECListModelTest, CreateStylesSplitAndStyleSetters)
{
    SECListCtrl list;
    CREATESTRUCT cs{};
    cs.style = static_cast<LONG>(WS_CHILD | WS_VISIBLE | 0x4201);
    cs.dwExStyle = WS_EX_CLIENTEDGE | LVXS_EX_FULLROWSELECT | LVXS_EX_HGRIDLINES;
    list.SplitCreateStyles(cs);
    EXPECT_EQ(list.GetListStyle(), 0x4201u);
    EXPECT_EQ(static_cast<DWORD>(cs.style), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(list.GetListStyleEx(), static_cast<DWORD>(LVXS_EX_FULLROWSELECT | LVXS_EX_HGRIDLINES));
    EXPECT_EQ(cs.dwExStyle, static_cast<DWORD>(WS_EX_CLIENTEDGE));
    EXPECT_FALSE(list.IsHeaderShown());
    list.ShowHeader(TRUE);
    EXPECT_TRUE(list.IsHeaderShown());
    list.SetHeightIndependent(FALSE);
    EXPECT_TRUE(list.HasStyle(LVXS_HEIGHT_INDEPENDENT));
    EXPECT_FALSE(list.IsHeightWidthDependent());
    list.SetStyleEx100000(TRUE);
    EXPECT_TRUE(list.GetStyleEx100000());

    // Turning multiple selection off with two rows selected deselects both first.
    list.InsertItem(0, "a");
    list.InsertItem(1, "b");
    list.SelectItem(1, TRUE);
    ASSERT_EQ(list.GetSelectedCount(), 2);
    list.SetMultipleSelection(FALSE);
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_FALSE(list.IsMultipleSelection());
    list.SelectItem(0, TRUE);
    list.SelectItem(1, TRUE);
    EXPECT_EQ(list.GetSelection(), std::vector<int>{1});
}

TEST(SECListModelTest, ImageListsAreCopiedUnlessShared)
{
    CImageList mine;
    ASSERT_TRUE(mine.Create(4, 4, ILC_COLOR32, 0, 2));
    CBitmap strip;
    ASSERT_TRUE(strip.CreateBitmap(8, 4, 1, 32, nullptr));
    ASSERT_EQ(mine.Add(&strip, static_cast<CBitmap*>(nullptr)), 0);
    ASSERT_EQ(mine.GetImageCount(), 2);
    {
        SECListCtrl list;
        EXPECT_EQ(list.SetImageList(&mine, LVSIL_SMALL), nullptr);
        CImageList* copy = list.GetImageList(LVSIL_SMALL);
        ASSERT_NE(copy, nullptr);
        EXPECT_NE(copy, &mine);
        EXPECT_NE(copy->GetSafeHandle(), mine.GetSafeHandle());
        EXPECT_EQ(copy->GetImageCount(), 2);
        // Replacing the copy frees it (the sanitizer build sees a leak otherwise).
        list.SetImageList(&mine, LVSIL_SMALL);
        EXPECT_EQ(list.GetImageList(LVSIL_NORMAL), nullptr);
        EXPECT_EQ(list.SetImageList(&mine, 3), nullptr);
    }
    EXPECT_EQ(mine.GetImageCount(), 2);   // the caller's list outlives the control
    {
        SECListCtrl list;
        list.ModifyListStyle(0, LVXS_SHAREIMAGELISTS);
        EXPECT_EQ(list.SetImageList(&mine, LVSIL_STATE), nullptr);
        EXPECT_EQ(list.GetImageList(LVSIL_STATE), &mine);
        EXPECT_EQ(list.SetImageList(nullptr, LVSIL_STATE), &mine);
    }
    EXPECT_NE(mine.GetSafeHandle(), nullptr);   // shared: the control never deleted it
}

TEST(SECListModelTest, DeletingRowsRepairsFocusDropAndSelection)
{
    SECListCtrl list;
    for (int i = 0; i < 6; ++i)
        list.InsertItem(LVIF_TEXT | LVIF_PARAM, i, "x", 0, 0, 0, i);
    EXPECT_EQ(list.GetFocusItem(), 0);          // the first row became focus and was selected
    EXPECT_EQ(list.GetSelection(), std::vector<int>{0});
    // Three rows from the focus row: the next row moves into the focus index.
    list.SetFocusItem(2);
    list.SetDropHighlightItem(4);
    list.SelectItem(5, TRUE);
    EXPECT_TRUE(list.DeleteItems(2, 3));
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetFocusItem(), 2);
    EXPECT_EQ(list.GetItemData(2), 5);
    EXPECT_EQ(list.GetDropHighlightItem(), 1);  // inside the run: the row before it
    EXPECT_EQ(list.GetSelection(), (std::vector<int>{0, 2}));
    // A count past the end deletes only the rows that are there.
    EXPECT_TRUE(list.DeleteItems(1, 1000));
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetFocusItem(), 0);          // was past the new end: the row before the run
    EXPECT_FALSE(list.DeleteItems(1, 1));
    EXPECT_FALSE(list.DeleteItems(-1, 1));
    // Deleting the only selected row selects the focus row.
    list.InsertItem(1, "y");
    list.SelectItem(0, FALSE);
    list.SelectItem(1, TRUE);
    list.SetFocusItem(0);
    EXPECT_TRUE(list.DeleteItems(1, 1));
    EXPECT_EQ(list.GetSelection(), std::vector<int>{0});
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetFocusItem(), -1);
    EXPECT_EQ(list.GetSelectedCount(), 0);
}

// The rules of rows, selection and focus written out plainly over row identities.
struct ReferenceList {
    std::vector<int> ids;
    std::set<int> sel;   // identities
    int focus = -1;      // identity, or -1

    int Row(int id) const
    {
        auto it = std::find(ids.begin(), ids.end(), id);
        return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
    }
    void Insert(int row, int id)
    {
        ids.insert(ids.begin() + row, id);
        if (focus == -1) {
            focus = ids[0];
            sel.insert(ids[0]);
        }
    }
    void Delete(int first, int count)
    {
        count = std::min<int>(count, static_cast<int>(ids.size()) - first);
        const int focusRow = Row(focus);
        for (int i = first; i < first + count; ++i)
            sel.erase(ids[i]);
        ids.erase(ids.begin() + first, ids.begin() + first + count);
        const int n = static_cast<int>(ids.size());
        int newRow = focusRow;
        if (focusRow >= first + count)
            newRow = focusRow - count;
        else if (focusRow > first || (focusRow == first && first >= n))
            newRow = first - 1;
        focus = newRow >= 0 ? ids[newRow] : -1;
        if (sel.empty() && focus != -1)
            sel.insert(focus);
    }
};

TEST(SECListModelTest, RandomEditsAgreeWithAPlainModel)
{
    std::mt19937 rng(15);
    for (int round = 0; round < 20; ++round) {
        SECListCtrl list;
        ReferenceList ref;
        int nextId = 1;
        for (int step = 0; step < 300; ++step) {
            const int n = list.GetItemCount();
            const int op = static_cast<int>(rng() % 10);
            if (op < 4 || n == 0) {
                const int row = n ? static_cast<int>(rng() % (n + 1)) : 0;
                ASSERT_EQ(list.InsertItem(LVIF_TEXT | LVIF_PARAM, row, "r", 0, 0, 0, nextId), row);
                ref.Insert(row, nextId++);
            } else if (op < 6) {
                const int first = static_cast<int>(rng() % n);
                const int count = 1 + static_cast<int>(rng() % 6);   // may run past the end
                ASSERT_TRUE(list.DeleteItems(first, count));
                ref.Delete(first, count);
            } else if (op < 8) {
                const int row = static_cast<int>(rng() % n);
                const bool on = rng() % 2;
                list.SetItemState(row, on ? LVIS_SELECTED : 0, LVIS_SELECTED);
                on ? (void)ref.sel.insert(ref.ids[row]) : (void)ref.sel.erase(ref.ids[row]);
            } else {
                const int row = static_cast<int>(rng() % n);
                list.SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
                ref.focus = ref.ids[row];
            }
            ASSERT_EQ(list.GetItemCount(), static_cast<int>(ref.ids.size()));
            for (int r = 0; r < list.GetItemCount(); ++r)
                ASSERT_EQ(list.GetItemData(r), ref.ids[r]) << "round " << round << " step " << step;
            ASSERT_EQ(list.GetFocusItem(), ref.Row(ref.focus)) << "round " << round << " step " << step;
            std::vector<int> want;
            for (int id : ref.sel)
                want.push_back(ref.Row(id));
            std::sort(want.begin(), want.end());
            ASSERT_EQ(list.GetSelection(), want) << "round " << round << " step " << step;
            for (int r = 0; r < list.GetItemCount(); ++r) {
                const UINT st = list.GetItemState(r, LVIS_SELECTED | LVIS_FOCUSED);
                ASSERT_EQ((st & LVIS_SELECTED) != 0, std::binary_search(want.begin(), want.end(), r));
                ASSERT_EQ((st & LVIS_FOCUSED) != 0, r == list.GetFocusItem());
            }
        }
    }
}

}   // namespace
