// CGXCollMapDWordToLong: row or column number to a 32-bit value (the stored row heights and
// column widths), with the re-keying that row and column insertions, removals and moves need.
#pragma once

#include "platform/core/CArray.h"

class CGXCollMapDWordToLong : public CMap<DWORD, DWORD, LONG, LONG> {
public:
    CGXCollMapDWordToLong() = default;
    CGXCollMapDWordToLong(const CGXCollMapDWordToLong& other);
    CGXCollMapDWordToLong& operator=(const CGXCollMapDWordToLong& other);

    // The value of the key, added when it is new. A grid may size thousands of rows or
    // columns, each of them looked up at every paint: the table grows as the map fills.
    LONG& operator[](DWORD key);
    void SetAt(DWORD key, LONG value) { (*this)[key] = value; }
    BOOL RemoveKey(DWORD key);
    void RemoveAll();
    void Serialize(CArchive& ar) override;

    // Moves the keys nFrom..nTo so that nFrom becomes nDest, shifting the keys in between the
    // other way, as a row or column move does.
    void MoveKeys(DWORD nFrom, DWORD nTo, DWORD nDest);
    // Keys at or after nAt move up by nCount. Nothing to move (a column added after the last
    // one sized) costs nothing.
    void InsertKeys(DWORD nAt, DWORD nCount);
    // Keys nFirst..nLast are dropped; keys after them move down.
    void RemoveKeys(DWORD nFirst, DWORD nLast);

private:
    template <class F>
    void Rekey(F&& map);
    // Whether no key can be at or after nAt, without reading the keys.
    bool NoKeyFrom(DWORD nAt) const { return m_nBoundCount == GetCount() && (GetCount() == 0 || m_nKeyBound < nAt); }

    // No key is above m_nKeyBound while the map holds m_nBoundCount keys. Every change goes
    // through the operations above, which keep both; a change made some other way would show
    // in the count, and the keys would be read again when it matters.
    DWORD m_nKeyBound = 0;
    INT_PTR m_nBoundCount = 0;
};
