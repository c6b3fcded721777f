// CGXCollMapDWordToLong: row or column number to a 32-bit value (the stored row heights and
// column widths), with the re-keying that row and column insertions, removals and moves need.
#pragma once

#include "platform/core/CArray.h"

class CGXCollMapDWordToLong : public CMap<DWORD, DWORD, LONG, LONG> {
public:
    CGXCollMapDWordToLong() = default;
    CGXCollMapDWordToLong(const CGXCollMapDWordToLong& other);
    CGXCollMapDWordToLong& operator=(const CGXCollMapDWordToLong& other);

    // Moves the keys nFrom..nTo so that nFrom becomes nDest, shifting the keys in between the
    // other way, as a row or column move does.
    void MoveKeys(DWORD nFrom, DWORD nTo, DWORD nDest);
    // Keys at or after nAt move up by nCount.
    void InsertKeys(DWORD nAt, DWORD nCount);
    // Keys nFirst..nLast are dropped; keys after them move down.
    void RemoveKeys(DWORD nFirst, DWORD nLast);

private:
    template <class F>
    void Rekey(F&& map);
};
