#include "grid/data/CGXCollMapDWordToLong.h"

#include <optional>
#include <utility>
#include <vector>

CGXCollMapDWordToLong::CGXCollMapDWordToLong(const CGXCollMapDWordToLong& other) : CMap()
{
    *this = other;
}

CGXCollMapDWordToLong& CGXCollMapDWordToLong::operator=(const CGXCollMapDWordToLong& other)
{
    if (&other == this)
        return *this;
    RemoveAll();
    DWORD key = 0;
    LONG value = 0;
    for (POSITION pos = other.GetStartPosition(); pos != nullptr;) {
        other.GetNextAssoc(pos, key, value);
        (*this)[key] = value;
    }
    return *this;
}

// Rebuilds the map with every key passed through map(key), which gives the new key or none.
template <class F>
void CGXCollMapDWordToLong::Rekey(F&& map)
{
    std::vector<std::pair<DWORD, LONG>> entries;
    entries.reserve(static_cast<size_t>(GetCount()));
    DWORD key = 0;
    LONG value = 0;
    for (POSITION pos = GetStartPosition(); pos != nullptr;) {
        GetNextAssoc(pos, key, value);
        if (std::optional<DWORD> nNew = map(key))
            entries.emplace_back(*nNew, value);
    }
    RemoveAll();
    for (const auto& [k, v] : entries)
        (*this)[k] = v;
}

void CGXCollMapDWordToLong::MoveKeys(DWORD nFrom, DWORD nTo, DWORD nDest)
{
    if (nTo < nFrom || nFrom == nDest)
        return;
    const DWORD n = nTo - nFrom + 1;
    Rekey([&](DWORD k) -> std::optional<DWORD> {
        if (k >= nFrom && k <= nTo)
            return k - nFrom + nDest;
        if (nDest > nFrom && k > nTo && k < nDest + n)
            return k - n;
        if (nDest < nFrom && k >= nDest && k < nFrom)
            return k + n;
        return k;
    });
}

void CGXCollMapDWordToLong::InsertKeys(DWORD nAt, DWORD nCount)
{
    Rekey([&](DWORD k) -> std::optional<DWORD> { return k >= nAt ? k + nCount : k; });
}

void CGXCollMapDWordToLong::RemoveKeys(DWORD nFirst, DWORD nLast)
{
    if (nLast < nFirst)
        return;
    const DWORD n = nLast - nFirst + 1;
    Rekey([&](DWORD k) -> std::optional<DWORD> {
        if (k >= nFirst && k <= nLast)
            return std::nullopt;
        return k > nLast ? k - n : k;
    });
}
