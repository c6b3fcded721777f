#include "platform/controls/EditLayout.h"

#include <algorithm>

namespace {
bool IsLayoutSpace(char c) { return c == ' ' || c == '\t'; }
} // namespace

void EditLayout::Rebuild(const std::string& text)
{
    m_text = &text;
    m_rows.clear();
    if (m_singleLine) {
        m_rows.push_back(0);
        return;
    }
    WrapLines(0, static_cast<int>(text.size()), true, m_rows);
}

int EditLayout::RowStart(int row) const
{
    if (row < 0)
        return 0;
    if (row >= RowCount())
        return m_text ? static_cast<int>(m_text->size()) : 0;
    return m_rows[static_cast<size_t>(row)];
}

int EditLayout::RowEnd(int row) const
{
    if (!m_text || row < 0 || row >= RowCount())
        return RowStart(row);
    int end = row + 1 < RowCount() ? m_rows[static_cast<size_t>(row) + 1] : static_cast<int>(m_text->size());
    int start = m_rows[static_cast<size_t>(row)];
    if (m_singleLine)
        return end;
    if (end > start && (*m_text)[static_cast<size_t>(end) - 1] == '\n') {
        --end;
        if (end > start && (*m_text)[static_cast<size_t>(end) - 1] == '\r')
            --end;
    }
    return end;
}

int EditLayout::RowOf(int pos) const
{
    auto it = std::upper_bound(m_rows.begin(), m_rows.end(), pos);
    return std::max(0, static_cast<int>(it - m_rows.begin()) - 1);
}

void EditLayout::TextChanged(const std::string& text, const EditChange& change)
{
    m_text = &text;
    if (m_singleLine)
        return;
    int delta = change.inserted - change.removed;
    // Every line the change touches is laid out again, from the start of the first one to
    // the line break that ends the last one; the rows after only move.
    size_t back = change.pos == 0 ? std::string::npos : text.rfind('\n', static_cast<size_t>(change.pos) - 1);
    int from = back == std::string::npos ? 0 : static_cast<int>(back) + 1;
    size_t nl = text.find('\n', static_cast<size_t>(change.pos + change.inserted));
    bool toEnd = nl == std::string::npos;
    int to = toEnd ? static_cast<int>(text.size()) : static_cast<int>(nl) + 1;

    auto first = std::lower_bound(m_rows.begin(), m_rows.end(), from);
    auto last = toEnd ? m_rows.end() : std::lower_bound(first, m_rows.end(), to - delta);
    std::vector<int> fresh;
    WrapLines(from, to, toEnd, fresh);
    size_t index = static_cast<size_t>(first - m_rows.begin());
    m_rows.erase(first, last);
    m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(index), fresh.begin(), fresh.end());
    for (size_t i = index + fresh.size(); i < m_rows.size(); ++i)
        m_rows[i] += delta;
}

void EditLayout::WrapLines(int from, int to, bool toEnd, std::vector<int>& out)
{
    const std::string& text = *m_text;
    int start = from;
    while (true) {
        size_t nl = text.find('\n', static_cast<size_t>(start));
        if (nl == std::string::npos || static_cast<int>(nl) >= to) {
            WrapLine(start, static_cast<int>(text.size()), out);
            return;
        }
        int end = static_cast<int>(nl);
        if (end > start && text[static_cast<size_t>(end) - 1] == '\r')
            --end;
        WrapLine(start, end, out);
        start = static_cast<int>(nl) + 1;
        if (!toEnd && start >= to)
            return;
    }
}

void EditLayout::WrapLine(int start, int end, std::vector<int>& out)
{
    out.push_back(start);
    if (m_wrapWidth <= 0 || end - start <= 1)
        return;
    const std::string& text = *m_text;
    m_measure.Advances(std::string_view(text).substr(static_cast<size_t>(start), static_cast<size_t>(end - start)), m_ends);
    if (m_ends.empty() || m_ends.back() <= m_wrapWidth)
        return;
    int rowStart = start;
    while (true) {
        int origin = rowStart > start ? m_ends[static_cast<size_t>(rowStart - start) - 1] : 0;
        // The bytes that fit: every byte whose character ends within the width.
        auto limit = std::upper_bound(m_ends.begin() + (rowStart - start), m_ends.end(), origin + m_wrapWidth);
        int fit = start + static_cast<int>(limit - m_ends.begin());
        if (fit >= end)
            return;
        int next;
        if (IsLayoutSpace(text[static_cast<size_t>(fit)])) {
            next = fit;
        } else {
            next = fit;
            while (next > rowStart && !IsLayoutSpace(text[static_cast<size_t>(next) - 1]))
                --next;
            if (next == rowStart) {
                // One word wider than the row: break it, keeping at least one character.
                next = fit > rowStart ? fit : rowStart + 1;
                while (next < end && (static_cast<unsigned char>(text[static_cast<size_t>(next)]) & 0xC0) == 0x80)
                    ++next;
            }
        }
        // Spaces stay at the end of the row they follow.
        while (next < end && IsLayoutSpace(text[static_cast<size_t>(next)]))
            ++next;
        if (next >= end)
            return;
        out.push_back(next);
        rowStart = next;
    }
}
