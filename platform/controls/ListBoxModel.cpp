#include "platform/controls/ListBoxModel.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <tuple>

int CompareListText(std::string_view a, std::string_view b)
{
    size_t n = std::min(a.size(), b.size());
    // Bytes that are the same are the same without case too, and sorted lists are full of texts
    // with long common beginnings (addresses, paths): skip those eight bytes at a time.
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t wa;
        uint64_t wb;
        std::memcpy(&wa, a.data() + i, 8);
        std::memcpy(&wb, b.data() + i, 8);
        if (wa != wb)
            break;
    }
    for (; i < n; ++i) {
        auto ca = static_cast<unsigned char>(a[i]);
        auto cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<unsigned char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z')
            cb = static_cast<unsigned char>(cb - 'A' + 'a');
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::pair<size_t, size_t> ListItemStore::Locate(int index) const
{
    auto it = std::upper_bound(m_starts.begin(), m_starts.end(), index);
    size_t run = static_cast<size_t>(it - m_starts.begin()) - 1;
    return {run, static_cast<size_t>(index - m_starts[run])};
}

ListItem& ListItemStore::At(int index)
{
    auto [run, offset] = Locate(index);
    return m_runs[run][offset];
}

const ListItem& ListItemStore::At(int index) const
{
    auto [run, offset] = Locate(index);
    return m_runs[run][offset];
}

void ListItemStore::Insert(int index, ListItem item)
{
    // Appending opens a new run where the last one is full, so that a list filled in order
    // never splits a run.
    if (m_runs.empty() || (index == m_size && m_runs.back().size() >= kRun)) {
        m_runs.emplace_back();
        m_runs.back().reserve(kRun);
        m_starts.push_back(m_size);
    }
    size_t run;
    size_t offset;
    if (index == m_size) {
        run = m_runs.size() - 1;
        offset = m_runs[run].size();
    } else {
        std::tie(run, offset) = Locate(index);
    }
    std::vector<ListItem>& items = m_runs[run];
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(offset), std::move(item));
    for (size_t k = run + 1; k < m_starts.size(); ++k)
        ++m_starts[k];
    ++m_size;
    if (items.size() >= 2 * kRun) {
        // A full run splits in two halves.
        std::vector<ListItem> tail(std::make_move_iterator(items.begin() + kRun), std::make_move_iterator(items.end()));
        items.resize(kRun);
        m_runs.insert(m_runs.begin() + static_cast<std::ptrdiff_t>(run) + 1, std::move(tail));
        m_starts.insert(m_starts.begin() + static_cast<std::ptrdiff_t>(run) + 1, m_starts[run] + static_cast<int>(kRun));
    }
}

void ListItemStore::Erase(int index)
{
    auto [run, offset] = Locate(index);
    m_runs[run].erase(m_runs[run].begin() + static_cast<std::ptrdiff_t>(offset));
    for (size_t k = run + 1; k < m_starts.size(); ++k)
        --m_starts[k];
    --m_size;
    if (m_runs[run].empty() && m_runs.size() > 1) {
        m_runs.erase(m_runs.begin() + static_cast<std::ptrdiff_t>(run));
        m_starts.erase(m_starts.begin() + static_cast<std::ptrdiff_t>(run));
    }
}

void ListItemStore::Clear()
{
    m_runs.clear();
    m_starts.clear();
    m_size = 0;
}

int ListBoxModel::Add(ListItem item, const Compare& sortBy)
{
    item.selected = false;
    if (!sortBy) {
        m_items.Insert(Count(), std::move(item));
        return Count() - 1;
    }
    // Items come mostly in order: try the end before searching.
    if (Count() == 0 || sortBy(Item(Count() - 1), item) <= 0) {
        m_items.Insert(Count(), std::move(item));
        return Count() - 1;
    }
    // After the items that sort no later.
    int at = m_items.UpperBound([&](const ListItem& other) { return sortBy(item, other) < 0; });
    return Insert(at, std::move(item));
}

int ListBoxModel::Insert(int index, ListItem item)
{
    if (index < 0)
        index = Count();
    if (index > Count())
        return -1;
    item.selected = false;
    m_items.Insert(index, std::move(item));
    // Indexes at or after the new item move down by one.
    auto shift = [index](int& i) {
        if (i >= index)
            ++i;
    };
    if (m_curSel >= 0)
        shift(m_curSel);
    if (m_caret >= 0 && Count() > 1)
        shift(m_caret);
    if (m_anchor >= 0)
        shift(m_anchor);
    return index;
}

bool ListBoxModel::Delete(int index)
{
    if (!Valid(index))
        return false;
    if (Item(index).selected)
        --m_selCount;
    m_items.Erase(index);
    auto fix = [&](int& i) {
        if (i == index)
            i = -1;
        else if (i > index)
            --i;
    };
    fix(m_curSel);
    fix(m_anchor);
    if (m_caret > index || m_caret >= Count())
        --m_caret;
    if (m_top >= Count())
        m_top = std::max(0, Count() - 1);
    return true;
}

void ListBoxModel::Reset()
{
    m_items.Clear();
    m_curSel = m_caret = m_anchor = -1;
    m_top = 0;
    m_selCount = 0;
}

int ListBoxModel::CurSel() const
{
    if (m_mode == ListSelection::Single)
        return m_curSel;
    return m_caret;
}

void ListBoxModel::SetSelected(int index, bool select)
{
    ListItem& item = Item(index);
    if (item.selected == select)
        return;
    item.selected = select;
    m_selCount += select ? 1 : -1;
}

bool ListBoxModel::SetCurSel(int index)
{
    if (m_mode != ListSelection::Single)
        return false;
    if (Valid(m_curSel))
        SetSelected(m_curSel, false);
    if (!Valid(index)) {
        m_curSel = -1;
        return index == -1;
    }
    m_curSel = index;
    m_caret = index;
    SetSelected(index, true);
    return true;
}

bool ListBoxModel::SetSel(bool select, int index)
{
    if (m_mode != ListSelection::Multiple && m_mode != ListSelection::Extended)
        return false;
    if (index == -1) {
        for (int i = 0; i < Count(); ++i)
            SetSelected(i, select);
        return true;
    }
    if (!Valid(index))
        return false;
    SetSelected(index, select);
    m_caret = index;
    if (select)
        m_anchor = index;
    return true;
}

bool ListBoxModel::SelectRange(int first, int last, bool select)
{
    if (m_mode != ListSelection::Multiple && m_mode != ListSelection::Extended)
        return false;
    if (first > last)
        std::swap(first, last);
    first = std::max(first, 0);
    last = std::min(last, Count() - 1);
    for (int i = first; i <= last; ++i)
        SetSelected(i, select);
    return true;
}

int ListBoxModel::SelCount() const
{
    if (m_mode == ListSelection::Single || m_mode == ListSelection::None)
        return -1;
    return m_selCount;
}

std::vector<int> ListBoxModel::SelItems() const
{
    std::vector<int> out;
    for (int i = 0; i < Count() && static_cast<int>(out.size()) < m_selCount; ++i)
        if (Item(i).selected)
            out.push_back(i);
    return out;
}

std::vector<bool> ListBoxModel::Snapshot() const
{
    std::vector<bool> selected(static_cast<size_t>(Count()));
    for (int i = 0; i < Count(); ++i)
        selected[static_cast<size_t>(i)] = Item(i).selected;
    return selected;
}

void ListBoxModel::SelectOnly(int index)
{
    if (m_selCount > 0)
        for (int i = 0; i < Count(); ++i)
            SetSelected(i, false);
    SetSelected(index, true);
}

bool ListBoxModel::Click(int index, ListModifiers mods)
{
    if (!Valid(index))
        return false;
    switch (m_mode) {
    case ListSelection::None:
        m_caret = index;
        return false;
    case ListSelection::Single: {
        bool changed = m_curSel != index;
        SetCurSel(index);
        return changed;
    }
    case ListSelection::Multiple:
        SetSelected(index, !Item(index).selected);
        m_caret = m_anchor = index;
        return true;
    case ListSelection::Extended: {
        auto before = Snapshot();
        if (mods.shift) {
            int anchor = Valid(m_anchor) ? m_anchor : index;
            if (!mods.ctrl)
                for (int i = 0; i < Count(); ++i)
                    SetSelected(i, false);
            SelectRange(anchor, index, true);
            m_anchor = anchor;
        } else if (mods.ctrl) {
            SetSelected(index, !Item(index).selected);
            m_anchor = index;
        } else {
            SelectOnly(index);
            m_anchor = index;
        }
        m_caret = index;
        return before != Snapshot();
    }
    }
    return false;
}

bool ListBoxModel::KeyMove(int index, ListModifiers mods)
{
    if (!Valid(index))
        return false;
    switch (m_mode) {
    case ListSelection::Single:
        return Click(index, {});
    case ListSelection::Multiple:
    case ListSelection::None:
        m_caret = index;
        return false;
    case ListSelection::Extended:
        if (mods.ctrl && !mods.shift) {
            m_caret = index;
            return false;
        }
        return Click(index, ListModifiers{mods.shift, false});
    }
    return false;
}

bool ListBoxModel::Space(ListModifiers mods)
{
    if (!Valid(m_caret))
        return false;
    if (m_mode == ListSelection::Extended && mods.ctrl && !mods.shift)
        return Click(m_caret, ListModifiers{false, true});
    return Click(m_caret, mods);
}

bool ListBoxModel::DragTo(int index)
{
    if (!Valid(index) || index == m_caret)
        return false;
    switch (m_mode) {
    case ListSelection::Single:
        return Click(index, {});
    case ListSelection::Extended: {
        // The range from the anchor follows the pointer; what was selected before stays.
        auto before = Snapshot();
        int anchor = Valid(m_anchor) ? m_anchor : index;
        bool select = Item(anchor).selected;
        if (Valid(m_caret))
            SelectRange(anchor, m_caret, !select);
        SelectRange(anchor, index, select);
        m_caret = index;
        return before != Snapshot();
    }
    default:
        m_caret = index;
        return false;
    }
}

int ListBoxModel::Find(int start, std::string_view prefix, bool exact) const
{
    int n = Count();
    if (n == 0)
        return -1;
    if (start < -1 || start >= n)
        start = -1;
    for (int k = 1; k <= n; ++k) {
        int i = (start + k) % n;
        std::string_view text = Item(i).text;
        if (exact ? CompareListText(text, prefix) == 0
                  : text.size() >= prefix.size() && CompareListText(text.substr(0, prefix.size()), prefix) == 0)
            return i;
    }
    return -1;
}
