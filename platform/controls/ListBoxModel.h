// The list box's model: its items (text, data, height) and the selection rules of the single,
// multiple and extended kinds, with the caret and the anchor that keyboard and mouse move.
#pragma once

#include "platform/core/Types.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct ListItem {
    std::string text;
    ULONG_PTR data = 0;
    int height = 0;      // owner-drawn items of variable height
    bool selected = false;
};

enum class ListSelection { Single, Multiple, Extended, None };

// The modifier keys of a selecting action.
struct ListModifiers {
    bool shift = false;
    bool ctrl = false;
};

class ListBoxModel {
public:
    explicit ListBoxModel(ListSelection mode = ListSelection::Single) : m_mode(mode) {}
    ListSelection Mode() const { return m_mode; }

    int Count() const { return static_cast<int>(m_items.size()); }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    const ListItem& Item(int index) const { return m_items[static_cast<size_t>(index)]; }
    ListItem& Item(int index) { return m_items[static_cast<size_t>(index)]; }
    void Reserve(int count) { m_items.reserve(m_items.size() + static_cast<size_t>(count)); }

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
    std::vector<ListItem> m_items;
    int m_curSel = -1;
    int m_caret = -1;
    int m_anchor = -1;
    int m_top = 0;
    int m_selCount = 0;
};

// Compares two texts as the sorted list orders them: without regard to ASCII case.
int CompareListText(std::string_view a, std::string_view b);
