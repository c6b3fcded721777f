#include "platform/controls/ListBoxModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {

ListBoxModel Filled(ListSelection mode, int n)
{
    ListBoxModel m(mode);
    for (int i = 0; i < n; ++i)
        m.Add(ListItem{"item " + std::to_string(i)});
    return m;
}

const ListModifiers kNone{};
const ListModifiers kShift{true, false};
const ListModifiers kCtrl{false, true};

} // namespace

TEST(ListBoxModel, SingleSelectionFollowsClicksAndKeys)
{
    ListBoxModel m = Filled(ListSelection::Single, 5);
    EXPECT_EQ(m.CurSel(), -1);
    EXPECT_TRUE(m.Click(2, kNone));
    EXPECT_FALSE(m.Click(2, kNone)) << "the same item again changes nothing";
    EXPECT_TRUE(m.KeyMove(3, kShift)) << "modifiers do not matter to a single selection";
    EXPECT_EQ(m.CurSel(), 3);
    EXPECT_FALSE(m.IsSelected(2));
    EXPECT_EQ(m.SelCount(), -1);
    EXPECT_FALSE(m.SetCurSel(9));
    EXPECT_EQ(m.CurSel(), -1) << "an index out of range clears the selection";
    EXPECT_FALSE(m.SetSel(true, 1)) << "no multiple selection in a single list";
}

TEST(ListBoxModel, MultipleSelectionTogglesAndKeysMoveOnlyTheCaret)
{
    ListBoxModel m = Filled(ListSelection::Multiple, 5);
    m.Click(1, kNone);
    m.Click(3, kNone);
    EXPECT_EQ(m.SelItems(), (std::vector<int>{1, 3}));
    m.Click(1, kNone);
    EXPECT_EQ(m.SelItems(), (std::vector<int>{3}));
    EXPECT_FALSE(m.KeyMove(4, kNone));
    EXPECT_EQ(m.Caret(), 4);
    EXPECT_TRUE(m.Space(kNone));
    EXPECT_EQ(m.SelItems(), (std::vector<int>{3, 4}));
    EXPECT_EQ(m.SelCount(), 2);
}

TEST(ListBoxModel, ExtendedSelectionWithShiftAndCtrl)
{
    ListBoxModel m = Filled(ListSelection::Extended, 10);
    m.Click(2, kNone);
    EXPECT_TRUE(m.Click(5, kShift));
    EXPECT_EQ(m.SelItems(), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_TRUE(m.Click(8, kCtrl));
    EXPECT_EQ(m.SelItems(), (std::vector<int>{2, 3, 4, 5, 8}));
    EXPECT_EQ(m.Anchor(), 8);
    // Shift with Ctrl adds the range from the new anchor, keeping the rest.
    EXPECT_TRUE(m.Click(9, ListModifiers{true, true}));
    EXPECT_EQ(m.SelItems(), (std::vector<int>{2, 3, 4, 5, 8, 9}));
    // A plain key move selects only the new item; Shift+key extends from the anchor.
    EXPECT_TRUE(m.KeyMove(6, kNone));
    EXPECT_EQ(m.SelItems(), (std::vector<int>{6}));
    EXPECT_TRUE(m.KeyMove(4, kShift));
    EXPECT_EQ(m.SelItems(), (std::vector<int>{4, 5, 6}));
    // Ctrl+key moves the caret alone; Ctrl+Space toggles the item there.
    EXPECT_FALSE(m.KeyMove(0, kCtrl));
    EXPECT_EQ(m.Caret(), 0);
    EXPECT_TRUE(m.Space(kCtrl));
    EXPECT_EQ(m.SelItems(), (std::vector<int>{0, 4, 5, 6}));
    // Dragging moves the end of the range; the range shrinks back as the pointer returns.
    m.Click(3, kNone);
    m.DragTo(7);
    EXPECT_EQ(m.SelItems(), (std::vector<int>{3, 4, 5, 6, 7}));
    m.DragTo(5);
    EXPECT_EQ(m.SelItems(), (std::vector<int>{3, 4, 5}));
    m.DragTo(1);
    EXPECT_EQ(m.SelItems(), (std::vector<int>{1, 2, 3}));
}

TEST(ListBoxModel, InsertAndDeleteKeepSelectionAndCaretOnTheirItems)
{
    ListBoxModel m = Filled(ListSelection::Single, 5);
    m.SetCurSel(2);
    m.Insert(0, ListItem{"new"});
    EXPECT_EQ(m.CurSel(), 3);
    EXPECT_EQ(m.Item(3).text, "item 2");
    m.Delete(0);
    EXPECT_EQ(m.CurSel(), 2);
    m.Delete(2);
    EXPECT_EQ(m.CurSel(), -1) << "deleting the selected item leaves nothing selected";
    EXPECT_EQ(m.Insert(9, ListItem{"x"}), -1);
    EXPECT_EQ(m.Insert(-1, ListItem{"end"}), 4);

    ListBoxModel multi = Filled(ListSelection::Extended, 5);
    multi.SetSel(true, 1);
    multi.SetSel(true, 4);
    multi.Delete(1);
    EXPECT_EQ(multi.SelItems(), (std::vector<int>{3}));
    EXPECT_EQ(multi.SelCount(), 1);
    multi.Reset();
    EXPECT_EQ(multi.SelCount(), 0);
    EXPECT_EQ(multi.Caret(), -1);
}

TEST(ListBoxModel, SortedAddAndSearchIgnoreCase)
{
    ListBoxModel m;
    auto byText = [](const ListItem& a, const ListItem& b) { return CompareListText(a.text, b.text); };
    for (const char* s : {"delta", "Alpha", "charlie", "bravo", "alpha"})
        m.Add(ListItem{s}, byText);
    ASSERT_EQ(m.Count(), 5);
    EXPECT_EQ(m.Item(0).text, "Alpha");
    EXPECT_EQ(m.Item(1).text, "alpha") << "an equal item goes after the ones already there";
    EXPECT_EQ(m.Item(4).text, "delta");
    EXPECT_EQ(m.Find(-1, "B", false), 2);
    EXPECT_EQ(m.Find(0, "al", false), 1);
    EXPECT_EQ(m.Find(1, "al", false), 0) << "the search wraps past the end";
    EXPECT_EQ(m.Find(-1, "alph", true), -1);
    EXPECT_EQ(m.Find(-1, "ALPHA", true), 0);
    EXPECT_EQ(m.Find(-1, "zulu", false), -1);
}

TEST(ListBoxModel, LongListsStayInOrderThroughInsertsAndDeletes)
{
    // Enough items for the store to split its runs many times over, checked against a vector.
    ListBoxModel m;
    std::vector<std::string> expected;
    auto byText = [](const ListItem& a, const ListItem& b) { return CompareListText(a.text, b.text); };
    unsigned seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) % 100000u; };
    for (int i = 0; i < 3000; ++i) {
        // Long beginnings that differ only in case, as addresses and paths do.
        std::string text = std::string(next() % 2 ? "HTTPS://Example.ORG/page-" : "https://example.org/Page-") +
                           std::to_string(next());
        int at = m.Add(ListItem{text}, byText);
        // The reference orders by lower-cased copies, apart from the comparison under test.
        auto it = std::upper_bound(expected.begin(), expected.end(), text, [](std::string a, std::string b) {
            for (std::string* s : {&a, &b})
                for (char& c : *s)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return a < b;
        });
        ASSERT_EQ(at, it - expected.begin());
        expected.insert(it, text);
    }
    for (int i = 0; i < 2500; ++i) {
        int at = static_cast<int>(next() % static_cast<unsigned>(expected.size()));
        m.Delete(at);
        expected.erase(expected.begin() + at);
    }
    m.Insert(0, ListItem{"first"});
    expected.insert(expected.begin(), "first");
    ASSERT_EQ(m.Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < m.Count(); ++i)
        ASSERT_EQ(m.Item(i).text, expected[static_cast<size_t>(i)]) << i;
}
