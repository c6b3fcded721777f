// CUserGridLayout: what the user made of the project's grid while the program runs: the column
// the rows were sorted by, the order the META columns were dragged into and the widths the
// columns were given. The grid is filled again at every folder picked, every scan and every OK
// of the settings dialogs, and is laid out by this afterwards. Columns are known by their
// headers, compared without regard to case, as a page's tags are.
#pragma once

#include "platform/core/CString.h"

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class CUserGridLayout {
public:
    struct Sort {
        CString strColumn;
        bool bAscending = true;
    };
    void SetSort(const CString& strColumn, bool bAscending) { m_sort = Sort{strColumn, bAscending}; }
    // The rows were put in another order by hand (or the sort was undone): no sort stands.
    void ForgetSort() { m_sort.reset(); }
    const std::optional<Sort>& GetSort() const { return m_sort; }

    // The META columns as they stand after the user moved one, left to right.
    void SetOrder(const std::vector<CString>& columns);
    bool HasOrder() const { return !m_order.empty(); }
    // The order the columns (named in the catalogue's order) are shown in: those the user has
    // placed keep the user's order among themselves, and each of the others follows the column
    // before it in the catalogue (or comes first when none is before it), which is where the
    // catalogue puts it. Indices into columns.
    std::vector<size_t> Arrange(const std::vector<CString>& columns) const { return Arrange(columns, m_order); }
    // The same with the places given: a column's place in an order the user made (lower first).
    static std::vector<size_t> Arrange(const std::vector<CString>& columns,
                                       const std::unordered_map<std::string, size_t>& places);
    // What a column or tag is known by wherever names are matched: its name, blind to case.
    static std::string Key(const CString& strColumn);

    void SetWidth(const CString& strColumn, int nWidth) { m_widths[Key(strColumn)] = nWidth; }
    std::optional<int> GetWidth(const CString& strColumn) const;

private:
    std::optional<Sort> m_sort;
    std::unordered_map<std::string, size_t> m_order;
    std::unordered_map<std::string, int> m_widths;
};
