// The list box's model: its items (text, data, height) and the selection rules of the single,
// multiple and extended kinds, with the caret and the anchor that keyboard and mouse move.
#pragma once

#include "platform/core/Types.h"

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct ListItem {
    std::string text;
    ULONG_PTR data = 0;
    int height = 0;      // owner-drawn items of variable height
    bool selected = false;
};

enum class ListSelection { Single, Multiple, Extended, None };

// The items, kept in runs of a few hundred so that an insertion into a long sorted list moves
// one run instead of every item after it.
class ListItemStore {
public:
    int Size() const { return m_size; }
    ListItem& At(int index);
    const ListItem& At(int index) const;
    // 0 <= index <= Size().
    void Insert(int index, ListItem item);
    void Erase(int index);
    void Clear();
    // The first index whose item `sortsAfter` says the new item goes before, for items kept in
    // that order: a search over the runs' first items, then inside one run.
    template <typename SortsAfter>
    int UpperBound(SortsAfter sortsAfter) const
    {
        if (m_size == 0)
            return 0;
        auto run = std::partition_point(m_runs.begin(), m_runs.end(),
                                        [&](const std::vector<ListItem>& r) { return r.empty() || !sortsAfter(r.front()); });
        if (run == m_runs.begin())
            return 0;
        --run;
        auto it = std::partition_point(run->begin(), run->end(), [&](const ListItem& x) { return !sortsAfter(x); });
        return m_starts[static_cast<size_t>(run - m_runs.begin())] + static_cast<int>(it - run->begin());
    }

private:
    // The run that holds an index, and the index's place in it.
    std::pair<size_t, size_t> Locate(int index) const;

    static constexpr size_t kRun = 64;
    std::vector<std::vector<ListItem>> m_runs;
    std::vector<int> m_starts;   // the index of each run's first item
    int m_size = 0;
};

// The modifier keys of a selecting action.
struct ListModifiers {
    bool shift = false;
    bool ctrl = false;
};

class ListBoxModel {
public:
    explicit ListBoxModel(ListSelection mode = ListSelection::Single) : m_mode(mode) {}
    ListSelection Mode() const { return m_mode; }

    int Count() const { return m_items.Size(); }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    const ListItem& Item(int index) const { return m_items.At(index); }
    ListItem& Item(int index) { return m_items.At(index); }

    // Negative when a sorts before b.
    using Compare = std::function<int(const ListItem& a, const ListItem& b)>;
    // Adds at the end, or after the items that sort no later when a comparison is given.
    int Add(ListItem item, const Compare& sortBy = nullptr);
    // Inserts before `index` (-1: at the end); -1 when the index is past the end.
    int Insert(int index, ListItem item);
    bool Delete(int index);
    void Reset();

    // ---- Selection ----
    // Single: the selected item (-1 for none). Otherwise: the caret.
    int CurSel() const;
    // Single selection only: selects one item or none (-1); false for an index out of range,
    // which clears the selection all the same.
    bool SetCurSel(int index);
    bool IsSelected(int index) const { return Valid(index) && Item(index).selected; }
    // Multiple and extended: selects or deselects one item, or all (-1).
    bool SetSel(bool select, int index);
    bool SelectRange(int first, int last, bool select);
    int SelCount() const;
    std::vector<int> SelItems() const;

    int Caret() const { return m_caret; }
    void SetCaret(int index) { m_caret = Valid(index) ? index : (Count() ? m_caret : -1); }
    int Anchor() const { return m_anchor; }
    void SetAnchor(int index) { m_anchor = Valid(index) ? index : -1; }
    int TopIndex() const { return m_top; }
    void SetTopIndex(int index) { m_top = index < 0 ? 0 : index; }

    // ---- What the user does; each answers whether the selection changed ----
    bool Click(int index, ListModifiers mods);
    // A key moved the caret to `index`.
    bool KeyMove(int index, ListModifiers mods);
    // The space bar on the caret item.
    bool Space(ListModifiers mods);
    // A drag with the button held reached `index`.
    bool DragTo(int index);

    // The next item after `start` (wrapping; -1 searches from the top) whose text begins with
    // `prefix` (or equals it when `exact`), ignoring case; -1 when none does.
    int Find(int start, std::string_view prefix, bool exact) const;

private:
    void SelectOnly(int index);
    void SetSelected(int index, bool select);
    std::vector<bool> Snapshot() const;

    ListSelection m_mode;
    ListItemStore m_items;
    int m_curSel = -1;
    int m_caret = -1;
    int m_anchor = -1;
    int m_top = 0;
    int m_selCount = 0;
};

// Compares two texts as the sorted list orders them: without regard to ASCII case.
int CompareListText(std::string_view a, std::string_view b);
