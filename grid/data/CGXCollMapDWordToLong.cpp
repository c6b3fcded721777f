#include "grid/data/CGXCollMapDWordToLong.h"

#include <algorithm>
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

LONG& CGXCollMapDWordToLong::operator[](DWORD key)
{
    const INT_PTR nBefore = GetCount();
    const bool bBoundKnown = m_nBoundCount == nBefore;
    LONG& value = CMap::operator[](key);
    if (GetCount() != nBefore) {
        if (bBoundKnown) {
            m_nKeyBound = nBefore == 0 ? key : std::max(m_nKeyBound, key);
            m_nBoundCount = GetCount();
        }
        // Neighbouring keys share a hash in sixteens: a table of a quarter of the count keeps
        // the chains that short. Small maps keep the table (and the order) they always had.
        const UINT nWanted = static_cast<UINT>(GetCount() / 4);
        if (nWanted > 4 * GetHashTableSize())
            InitHashTable(nWanted | 1);
    }
    // The associations stay where they are when the table grows.
    return value;
}

BOOL CGXCollMapDWordToLong::RemoveKey(DWORD key)
{
    const bool bBoundKnown = m_nBoundCount == GetCount();
    if (!CMap::RemoveKey(key))
        return FALSE;
    // The bound still holds for the keys left.
    if (bBoundKnown)
        m_nBoundCount = GetCount();
    return TRUE;
}

void CGXCollMapDWordToLong::RemoveAll()
{
    CMap::RemoveAll();
    m_nKeyBound = 0;
    m_nBoundCount = 0;
}

void CGXCollMapDWordToLong::Serialize(CArchive& ar)
{
    CMap::Serialize(ar);
    if (ar.IsStoring())
        return;
    // Read in through the base map: the highest key is found once.
    DWORD key = 0;
    LONG value = 0;
    m_nKeyBound = 0;
    for (POSITION pos = GetStartPosition(); pos != nullptr;) {
        GetNextAssoc(pos, key, value);
        m_nKeyBound = std::max(m_nKeyBound, key);
    }
    m_nBoundCount = GetCount();
}

// Rebuilds the map with every key passed through map(key), which gives the new key or none.
template <class F>
void CGXCollMapDWordToLong::Rekey(F&& map)
{
    std::vector<std::pair<DWORD, LONG>> entries;
    entries.reserve(static_cast<size_t>(GetCount()));
    DWORD key = 0;
    LONG value = 0;
    DWORD nHighest = 0;
    for (POSITION pos = GetStartPosition(); pos != nullptr;) {
        GetNextAssoc(pos, key, value);
        if (std::optional<DWORD> nNew = map(key)) {
            entries.emplace_back(*nNew, value);
            nHighest = std::max(nHighest, *nNew);
        }
    }
    RemoveAll();
    for (const auto& [k, v] : entries)
        (*this)[k] = v;
    m_nKeyBound = nHighest;
    m_nBoundCount = GetCount();
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
    if (NoKeyFrom(nAt))
        return;
    Rekey([&](DWORD k) -> std::optional<DWORD> { return k >= nAt ? k + nCount : k; });
}

void CGXCollMapDWordToLong::RemoveKeys(DWORD nFirst, DWORD nLast)
{
    if (nLast < nFirst || NoKeyFrom(nFirst))
        return;
    const DWORD n = nLast - nFirst + 1;
    Rekey([&](DWORD k) -> std::optional<DWORD> {
        if (k >= nFirst && k <= nLast)
            return std::nullopt;
        return k > nLast ? k - n : k;
    });
}
