// The tree on the list: sorted and positioned inserts, rows kept equal to the visible items in
// pre-order under random edits, expansion and its notices and vetoes, the caret moved by a
// collapse, deletion notices, the style mirroring, keys, hit flags and DDX_TreeCtrl.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/afx/dlg/CDataExchange.h"
#include "platform/win/VirtualKeys.h"
#include "tests/platform/afx/AfxFixture.h"
#include "toolkit/controls/SECTreeCtrl.h"

namespace {

struct TreeNotice {
    int code;
    HTREEITEM oldItem;
    HTREEITEM newItem;
    UINT action;
};

class TreeParent : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY) {
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            const int code = static_cast<int>(hdr->code);
            if (code > TVN_SELCHANGING || code < TVN_DELETEITEM) {
                notices.push_back({code, nullptr, nullptr, 0});
            } else {
                auto* nm = reinterpret_cast<NM_TREEVIEW*>(lParam);
                notices.push_back({code, nm->itemOld.hItem, nm->itemNew.hItem, nm->action});
                if (code == TVN_ITEMEXPANDING)
                    return vetoExpand;
                if (code == TVN_SELCHANGING)
                    return vetoSelect;
            }
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<int> Codes() const
    {
        std::vector<int> c;
        for (auto& n : notices)
            c.push_back(n.code);
        return c;
    }
    std::vector<TreeNotice> notices;
    LRESULT vetoExpand = 0;
    LRESULT vetoSelect = 0;
};

class SECTreeCtrlTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "Parent", WS_CHILD | WS_VISIBLE, 0, 0, 360, 260, top->m_hWnd, nullptr));
        ASSERT_TRUE(font.CreateFont(10, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Sans"));
    }
    void TearDown() override
    {
        tree.DestroyWindow();
        parent.DestroyWindow();
        AfxTest::TearDown();
    }
    void Make(DWORD style = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, DWORD exStyle = 0)
    {
        tree.SetItemFont(&font);
        ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | style, exStyle, CRect(0, 0, 240, 200), &parent, 3));
    }
    std::vector<HTREEITEM> Rows() const
    {
        std::vector<HTREEITEM> rows;
        for (int r = 0; r < tree.GetItemCount(); ++r)
            rows.push_back(tree.GetItemAtRow(r));
        return rows;
    }
    // The visible items in pre-order, walked over the tree itself.
    std::vector<HTREEITEM> VisiblePreorder()
    {
        std::vector<HTREEITEM> out;
        std::function<void(HTREEITEM)> walk = [&](HTREEITEM parentItem) {
            for (HTREEITEM c = tree.GetChildItem(parentItem); c; c = tree.GetNextSiblingItem(c)) {
                if (tree.NodeOf(c)->m_nListState & SEC_TVIS_HIDDEN)
                    continue;
                out.push_back(c);
                if (tree.GetItemState(c, TVIS_EXPANDED))
                    walk(c);
            }
        };
        walk(TVI_ROOT);
        return out;
    }
    std::vector<std::string> Labels(const std::vector<HTREEITEM>& items)
    {
        std::vector<std::string> out;
        for (HTREEITEM h : items)
            out.push_back(static_cast<LPCSTR>(tree.GetItemText(h)));
        return out;
    }

    TreeParent parent;
    CFont font;
    SECTreeCtrl tree;
};

TEST_F(SECTreeCtrlTest, SortedDescendingAndPositionedInserts)
{
    Make();
    HTREEITEM folder = tree.InsertItem("folder");
    tree.InsertItem("b", folder);
    tree.InsertItem("C", folder);
    tree.InsertItem("d", folder);
    tree.InsertItem("a", folder, TVI_SORT);
    tree.InsertItem("c", folder, TVI_SORT);   // an equal label does not stop the walk
    std::vector<HTREEITEM> kids;
    for (HTREEITEM c = tree.GetChildItem(folder); c; c = tree.GetNextSiblingItem(c))
        kids.push_back(c);
    EXPECT_EQ(Labels(kids), (std::vector<std::string>{"a", "b", "C", "c", "d"}));

    HTREEITEM down = tree.InsertItem("down");
    for (const char* s : {"m", "z", "a", "q"})
        tree.InsertItem(s, down, TVI_SORTDESCENDING);
    kids.clear();
    for (HTREEITEM c = tree.GetChildItem(down); c; c = tree.GetNextSiblingItem(c))
        kids.push_back(c);
    EXPECT_EQ(Labels(kids), (std::vector<std::string>{"z", "q", "m", "a"}));

    // After an item that is not a child: refused, and nothing shows.
    const int rows = tree.GetItemCount();
    EXPECT_EQ(tree.InsertItem("x", folder, kids[1]), nullptr);
    EXPECT_EQ(tree.GetItemCount(), rows);
    HTREEITEM first = tree.InsertItem("first", TVI_ROOT, TVI_FIRST);
    EXPECT_EQ(tree.GetRootItem(), first);
    EXPECT_EQ(tree.GetRootItem(kids[2]), first);
    EXPECT_EQ(tree.GetParentItem(kids[0]), down);
    EXPECT_EQ(tree.GetParentItem(down), nullptr);
    EXPECT_EQ(tree.GetParentItem(nullptr), nullptr);
    EXPECT_EQ(tree.GetItemData(nullptr), 0u);
    // Children of closed folders have no rows; the top level does, in order.
    EXPECT_EQ(Rows(), (std::vector<HTREEITEM>{first, folder, down}));
}

TEST_F(SECTreeCtrlTest, RowsStayThePreorderOfVisibleItemsUnderRandomEdits)
{
    Make();
    std::mt19937 rng(1234);
    std::vector<HTREEITEM> items;
    int made = 0;
    for (int step = 0; step < 600; ++step) {
        const int op = static_cast<int>(rng() % 10);
        HTREEITEM pick = items.empty() ? nullptr : items[rng() % items.size()];
        if (op < 4 || items.empty()) {
            HTREEITEM parentItem = (items.empty() || rng() % 4 == 0) ? TVI_ROOT : pick;
            HTREEITEM after = (rng() % 3 == 0) ? TVI_FIRST : (rng() % 2 ? TVI_SORT : TVI_LAST);
            HTREEITEM h = tree.InsertItem(("n" + std::to_string(made++)).c_str(), parentItem, after);
            ASSERT_NE(h, nullptr);
            items.push_back(h);
        } else if (op == 4) {
            // Deleting takes the whole subtree with it.
            std::vector<HTREEITEM> kept;
            for (HTREEITEM h : items)
                if (h != pick && !tree.NodeOf(h)->IsDescendantOf(tree.NodeOf(pick)))
                    kept.push_back(h);
            ASSERT_TRUE(tree.DeleteItem(pick));
            items.swap(kept);
        } else if (op < 7) {
            tree.Expand(pick, TVE_EXPAND, rng() % 2);
        } else if (op < 9) {
            tree.Expand(pick, rng() % 2 ? TVE_COLLAPSE : TVE_TOGGLE, rng() % 2);
        } else {
            tree.EnsureVisible(pick, rng() % 2);
            EXPECT_GE(tree.GetItemRow(pick), 0);
        }
        ASSERT_EQ(Rows(), VisiblePreorder()) << "after step " << step << " op " << op;
        // Every selected row still names a row.
        for (int r : tree.GetSelection())
            ASSERT_LT(r, tree.GetItemCount());
        ASSERT_LT(tree.GetFocusItem(), tree.GetItemCount());
    }
    EXPECT_TRUE(tree.DeleteAllItems());
    EXPECT_EQ(tree.GetItemCount(), 0);
    EXPECT_EQ(tree.GetRootItem(), nullptr);
}

TEST_F(SECTreeCtrlTest, ExpandingANodeWithoutARowOnlyFlagsIt)
{
    Make();
    HTREEITEM a = tree.InsertItem("a");
    HTREEITEM b = tree.InsertItem("b", a);
    HTREEITEM c = tree.InsertItem("c", b);
    tree.InsertItem("d", c);
    // b has no row (a is closed): opening it must not put rows at the top.
    EXPECT_TRUE(tree.Expand(b, TVE_EXPAND));
    EXPECT_EQ(Rows(), (std::vector<HTREEITEM>{a}));
    EXPECT_TRUE(tree.GetItemState(b, TVIS_EXPANDED));
    EXPECT_TRUE(tree.Expand(b, TVE_COLLAPSE));
    EXPECT_EQ(Rows(), (std::vector<HTREEITEM>{a}));
    // EnsureVisible opens from the parent upwards; the rows come once a has its turn.
    EXPECT_TRUE(tree.EnsureVisible(tree.GetChildItem(c)));
    EXPECT_EQ(Rows(), VisiblePreorder());
    EXPECT_EQ(tree.GetItemCount(), 4);
    // Hidden children (list state 0x200) get no rows though the item opens.
    HTREEITEM e = tree.InsertItem("e");
    HTREEITEM f = tree.InsertItem("f", e);
    tree.NodeOf(f)->m_nListState |= SEC_TVIS_HIDDEN;
    EXPECT_TRUE(tree.Expand(e, TVE_EXPAND));
    EXPECT_TRUE(tree.GetItemState(e, TVIS_EXPANDED));
    EXPECT_EQ(tree.GetItemRow(f), -1);
    // Toggling a childless item does nothing and succeeds.
    HTREEITEM g = tree.InsertItem("g");
    parent.notices.clear();
    EXPECT_TRUE(tree.Expand(g, TVE_TOGGLE));
    EXPECT_TRUE(parent.notices.empty());
}

TEST_F(SECTreeCtrlTest, CollapseMovesTheCaretWithItsPairAndVetoesHold)
{
    Make();
    HTREEITEM a = tree.InsertItem("a");
    HTREEITEM a1 = tree.InsertItem("a1", a);
    HTREEITEM a2 = tree.InsertItem("a2", a);
    ASSERT_TRUE(tree.SelectItem(a2));
    EXPECT_EQ(tree.GetSelectedItem(), a2);
    parent.notices.clear();
    ASSERT_TRUE(tree.Expand(a, TVE_COLLAPSE));
    const std::vector<int> expected{TVN_ITEMEXPANDING, TVN_SELCHANGING, TVN_SELCHANGED, TVN_ITEMEXPANDED};
    EXPECT_EQ(parent.Codes(), expected);
    EXPECT_EQ(parent.notices[1].oldItem, a2);
    EXPECT_EQ(parent.notices[1].newItem, a);
    EXPECT_EQ(parent.notices[1].action, static_cast<UINT>(TVC_BYMOUSE));
    EXPECT_EQ(tree.GetSelectedItem(), a);
    EXPECT_EQ(tree.GetSelection(), std::vector<int>{0});

    parent.vetoExpand = 1;
    EXPECT_FALSE(tree.Expand(a, TVE_EXPAND));
    EXPECT_EQ(tree.GetItemCount(), 1);
    parent.vetoExpand = 0;
    ASSERT_TRUE(tree.Expand(a, TVE_EXPAND));
    parent.vetoSelect = 1;
    EXPECT_FALSE(tree.SelectItem(a1));
    EXPECT_EQ(tree.GetSelectedItem(), a);
    parent.vetoSelect = 0;

    // Collapse-reset deletes the children, each with one notice, leaves first.
    HTREEITEM deep = tree.InsertItem("deep", a1);
    parent.notices.clear();
    ASSERT_TRUE(tree.Expand(a, TVE_COLLAPSE | TVE_COLLAPSERESET));
    std::vector<HTREEITEM> deleted;
    for (auto& n : parent.notices)
        if (n.code == TVN_DELETEITEM)
            deleted.push_back(n.oldItem);
    EXPECT_EQ(deleted, (std::vector<HTREEITEM>{deep, a1, a2}));
    EXPECT_FALSE(tree.ItemHasChildren(a));
    EXPECT_EQ(tree.GetItemCount(), 1);
}

TEST_F(SECTreeCtrlTest, DeleteNoticesOncePerItemLeavesFirst)
{
    Make();
    HTREEITEM a = tree.InsertItem("a");
    HTREEITEM b = tree.InsertItem("b", a);
    HTREEITEM c = tree.InsertItem("c", b);
    HTREEITEM d = tree.InsertItem("d", a);
    HTREEITEM e = tree.InsertItem("e");
    tree.ExpandAll(a);
    ASSERT_EQ(tree.GetItemCount(), 5);
    parent.notices.clear();
    EXPECT_TRUE(tree.DeleteItem(a));
    std::vector<HTREEITEM> deleted;
    for (auto& n : parent.notices) {
        EXPECT_EQ(n.code, TVN_DELETEITEM);
        deleted.push_back(n.oldItem);
    }
    EXPECT_EQ(deleted, (std::vector<HTREEITEM>{c, b, d, a}));
    EXPECT_EQ(Rows(), std::vector<HTREEITEM>{e});
    parent.notices.clear();
    tree.DestroyWindow();   // the window's end deletes what is left, with notices
    ASSERT_EQ(parent.notices.size(), 1u);
    EXPECT_EQ(parent.notices[0].oldItem, e);
}

TEST_F(SECTreeCtrlTest, ExtendedBitsMirrorTheListBothWays)
{
    Make(TVS_HASBUTTONS | TVS_EDITLABELS, 0);
    // Created without extended bits: single selection, single-line rows, no header, no tips.
    EXPECT_FALSE(tree.IsMultipleSelection());
    EXPECT_TRUE(tree.HasStyle(LVXS_HEIGHT_INDEPENDENT));
    EXPECT_FALSE(tree.IsHeaderShown());
    EXPECT_FALSE(tree.GetStyleEx100000());
    EXPECT_EQ(tree.GetTreeStyle(), static_cast<DWORD>(TVS_HASBUTTONS | TVS_EDITLABELS));
    EXPECT_TRUE(tree.HasStyle(LVXS_EDITLABELS));
    EXPECT_EQ(tree.GetStyle() & 0x3F, 0u);
    tree.SetMultipleSelection(TRUE);
    EXPECT_EQ(tree.GetTreeStyleEx(), static_cast<DWORD>(TVXS_MULTISEL));
    tree.ModifyTreeStyleEx(0, TVXS_WORDWRAP | TVXS_COLUMNHEADER | TVXS_FLYBYTOOLTIPS);
    EXPECT_FALSE(tree.HasStyle(LVXS_HEIGHT_INDEPENDENT));
    EXPECT_TRUE(tree.IsHeaderShown());
    EXPECT_TRUE(tree.GetStyleEx100000());
    tree.ShowHeader(FALSE);
    EXPECT_EQ(tree.GetTreeStyleEx() & TVXS_COLUMNHEADER, 0u);
    tree.ModifyTreeStyle(TVS_EDITLABELS, TVS_SHOWSELALWAYS);
    EXPECT_FALSE(tree.HasStyle(LVXS_EDITLABELS));
    EXPECT_TRUE(tree.HasStyle(LVXS_SHOWSELALWAYS));
    tree.SetIndent(15);
    EXPECT_EQ(tree.GetIndent(), 16u);
}

TEST_F(SECTreeCtrlTest, KeysOpenCloseAndWalkTheLevels)
{
    Make();
    HTREEITEM a = tree.InsertItem("a");
    HTREEITEM a1 = tree.InsertItem("a1", a);
    tree.InsertItem("a1x", a1);
    HTREEITEM b = tree.InsertItem("b");
    tree.SelectItem(a);
    tree.SetFocus();
    auto press = [&](UINT vk) {
        backend->Key(vk);
        backend->ProcessMessages();
    };
    press(VK_RIGHT);   // opens a
    EXPECT_EQ(tree.GetItemCount(), 3);
    press(VK_RIGHT);   // to its first child
    EXPECT_EQ(tree.GetSelectedItem(), a1);
    press(VK_MULTIPLY);   // everything under a1
    EXPECT_EQ(tree.GetItemCount(), 4);
    press(VK_BACK);   // a1 is open: Backspace closes it rather than moving up
    EXPECT_EQ(tree.GetSelectedItem(), a1);
    EXPECT_EQ(tree.GetItemCount(), 3);
    press(VK_LEFT);   // closed: up to the parent
    EXPECT_EQ(tree.GetSelectedItem(), a);
    EXPECT_EQ(tree.GetSelection(), std::vector<int>{0});
    press(VK_LEFT);   // a closes
    press(VK_DOWN);
    EXPECT_EQ(tree.GetSelectedItem(), b);
    press(VK_LEFT);   // top level, no children: nothing
    EXPECT_EQ(tree.GetSelectedItem(), b);
    const auto codes = parent.Codes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), TVN_KEYDOWN), codes.end());
}

TEST_F(SECTreeCtrlTest, HitFlagsTellTheButtonBoxFromTheIndent)
{
    Make();
    HTREEITEM a = tree.InsertItem("a");
    tree.InsertItem("child", a);
    tree.SetColumnWidth(0, 200);
    RECT box;
    ASSERT_TRUE(tree.GetButtonRect(a, box));
    EXPECT_EQ(box.right - box.left, 9);   // 8 made odd
    EXPECT_EQ(box.bottom - box.top, 9);
    UINT flags = 0;
    const CPoint centre((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    EXPECT_EQ(tree.HitTest(centre, &flags), a);
    EXPECT_EQ(flags, static_cast<UINT>(TVHT_ONROW | TVHT_ONITEMBUTTON));
    EXPECT_EQ(tree.HitTest(CPoint(box.right + 1, centre.y), &flags), a);
    EXPECT_EQ(flags, static_cast<UINT>(TVHT_ONROW | TVHT_ONITEMINDENT));
    EXPECT_EQ(tree.HitTest(CPoint(21, centre.y), &flags), a);   // the label starts one indent in
    EXPECT_EQ(flags, static_cast<UINT>(TVHT_ONROW | TVHT_ONITEMLABEL));
    EXPECT_EQ(tree.HitTest(CPoint(150, centre.y), &flags), a);
    EXPECT_EQ(flags, static_cast<UINT>(TVHT_ONROW | TVHT_ONITEMRIGHT));
    EXPECT_EQ(tree.HitTest(CPoint(50, 150), &flags), nullptr);
    EXPECT_EQ(flags, static_cast<UINT>(TVHT_NOWHERE));
    EXPECT_EQ(tree.HitTest(CPoint(-5, 10), &flags), nullptr);
    EXPECT_EQ(flags, static_cast<UINT>(TVHT_TOLEFT));
    // A click on the button toggles the item.
    backend->Click(1, At(tree.m_hWnd, centre.x, centre.y));
    backend->ProcessMessages();
    EXPECT_EQ(tree.GetItemCount(), 2);
    backend->Click(1, At(tree.m_hWnd, centre.x, centre.y));
    backend->ProcessMessages();
    EXPECT_EQ(tree.GetItemCount(), 1);
}

TEST_F(SECTreeCtrlTest, DdxMakesTheTreeInThePlaceholdersPlace)
{
    CWnd dialog;
    ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Dialog", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, top->m_hWnd, nullptr));
    CWnd before, after;
    ASSERT_TRUE(before.CreateEx(0, "STATIC", "b", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, dialog.m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(10))));
    // The placeholder is a plain window: the exchange destroys it.
    ASSERT_NE(::CreateWindowEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE | TVS_HASLINES, 20, 30, 150, 100, dialog.m_hWnd,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(11)), nullptr, nullptr),
              nullptr);
    ASSERT_TRUE(after.CreateEx(0, "STATIC", "a", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, dialog.m_hWnd,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(12))));
    CDataExchange dx(&dialog, FALSE);
    SECTreeCtrl made;
    DDX_TreeCtrl(&dx, 11, made);
    ASSERT_NE(made.m_hWnd, nullptr);
    EXPECT_EQ(made.GetDlgCtrlID(), 11);
    CRect rc;
    made.GetWindowRect(&rc);
    dialog.ScreenToClient(&rc);
    EXPECT_EQ(rc, CRect(20, 30, 170, 130));
    EXPECT_EQ(::GetWindow(before.m_hWnd, GW_HWNDNEXT), made.m_hWnd);   // the same place in the z-order
    EXPECT_EQ(::GetWindow(made.m_hWnd, GW_HWNDNEXT), after.m_hWnd);
    EXPECT_TRUE(made.GetStyleEx100000());   // tips come with it
    EXPECT_EQ(made.GetTreeStyle() & TVS_HASLINES, static_cast<DWORD>(TVS_HASLINES));
    made.DestroyWindow();
    dialog.DestroyWindow();
}

}   // namespace

namespace {

TEST_F(SECTreeCtrlTest, DraggingALabelStartsATreeDragUnlessDragAndDropIsOff)
{
    Make();
    HTREEITEM a = tree.InsertItem("alpha");
    tree.InsertItem("beta");
    const CPoint label(22, 6);   // on "alpha", one indent in
    auto drag = [&] {
        backend->Advance(1000);
        backend->MouseDown(1, At(tree.m_hWnd, label.x, label.y));
        backend->MouseMove(At(tree.m_hWnd, label.x + 8, label.y + 8));
        backend->MouseUp(1, At(tree.m_hWnd, label.x + 8, label.y + 8));
        backend->ProcessMessages();
    };
    auto drags = [&] {
        int n = 0;
        for (auto& notice : parent.notices)
            n += notice.code == TVN_BEGINDRAG && notice.newItem == a;
        return n;
    };
    drag();
    EXPECT_EQ(drags(), 1);
    tree.ModifyTreeStyle(0, TVS_DISABLEDRAGDROP);
    drag();
    EXPECT_EQ(drags(), 1);
    EXPECT_EQ(tree.GetSelectedItem(), a);
}

}   // namespace
