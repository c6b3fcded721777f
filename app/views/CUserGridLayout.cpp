#include "app/views/CUserGridLayout.h"

#include <algorithm>
#include <iterator>
#include <list>

std::string CUserGridLayout::Key(const CString& strColumn)
{
    CString strUpper(strColumn);
    strUpper.MakeUpper();
    return std::string(static_cast<LPCTSTR>(strUpper));
}

void CUserGridLayout::SetOrder(const std::vector<CString>& columns)
{
    m_order.clear();
    for (const CString& strColumn : columns)
        m_order.emplace(Key(strColumn), m_order.size());
}

std::optional<int> CUserGridLayout::GetWidth(const CString& strColumn) const
{
    const auto found = m_widths.find(Key(strColumn));
    if (found == m_widths.end())
        return std::nullopt;
    return found->second;
}

std::vector<size_t> CUserGridLayout::Arrange(const std::vector<CString>& columns,
                                             const std::unordered_map<std::string, size_t>& places)
{
    // The placed columns first, in the user's order; then each other one after the column that
    // precedes it in the catalogue, which by then stands wherever it goes.
    std::vector<std::pair<size_t, size_t>> placed;
    std::vector<bool> bPlaced(columns.size(), false);
    for (size_t i = 0; i < columns.size(); ++i)
        if (const auto found = places.find(Key(columns[i])); found != places.end()) {
            placed.emplace_back(found->second, i);
            bPlaced[i] = true;
        }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const std::pair<size_t, size_t>& a, const std::pair<size_t, size_t>& b) { return a.first < b.first; });
    std::list<size_t> line;
    std::vector<std::list<size_t>::iterator> at(columns.size(), line.end());
    for (const auto& column : placed)
        at[column.second] = line.insert(line.end(), column.second);
    for (size_t i = 0; i < columns.size(); ++i)
        if (!bPlaced[i])
            at[i] = line.insert(i == 0 ? line.begin() : std::next(at[i - 1]), i);
    return std::vector<size_t>(line.begin(), line.end());
}
