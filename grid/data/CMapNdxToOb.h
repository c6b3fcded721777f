// Maps with composite keys: CMapNdxToOb takes a (row, column) pair of 32-bit words to an
// object, CGXMapByte8ToPtr an 8-byte key to a pointer. Neither owns what it maps to.
#pragma once

#include "platform/core/CArray.h"

#include <cstring>

// The map's hash uses a key's middle bits only, so keys are stored multiplied by an odd
// constant (a reversible scramble) that spreads rows and columns over every bit.
class CMapNdxToOb : public CMap<ULONGLONG, ULONGLONG, CObject*, CObject*> {
public:
    static constexpr ULONGLONG kScramble = 0x9E3779B97F4A7C15ull;
    static constexpr ULONGLONG Inverse(ULONGLONG a)
    {
        ULONGLONG x = a; // Newton's iteration doubles the correct low bits each step
        for (int i = 0; i < 6; ++i)
            x *= 2 - a * x;
        return x;
    }
    static constexpr ULONGLONG kUnscramble = Inverse(kScramble);

    static ULONGLONG MakeKey(DWORD nRow, DWORD nCol) { return ((static_cast<ULONGLONG>(nRow) << 32) | nCol) * kScramble; }
    static DWORD RowOf(ULONGLONG key) { return static_cast<DWORD>((key * kUnscramble) >> 32); }
    static DWORD ColOf(ULONGLONG key) { return static_cast<DWORD>(key * kUnscramble); }

    using CMap::Lookup;
    using CMap::RemoveKey;
    using CMap::operator[];
    BOOL Lookup(DWORD nRow, DWORD nCol, CObject*& pOb) const { return Lookup(MakeKey(nRow, nCol), pOb); }
    CObject*& operator()(DWORD nRow, DWORD nCol) { return (*this)[MakeKey(nRow, nCol)]; }
    BOOL RemoveKey(DWORD nRow, DWORD nCol) { return RemoveKey(MakeKey(nRow, nCol)); }
};

class CGXMapByte8ToPtr : public CMap<ULONGLONG, ULONGLONG, void*, void*> {
public:
    static ULONGLONG MakeKey(const BYTE key[8])
    {
        ULONGLONG k = 0;
        std::memcpy(&k, key, 8);
        return k * CMapNdxToOb::kScramble;
    }
    using CMap::Lookup;
    using CMap::operator[];
    BOOL Lookup(const BYTE key[8], void*& p) const { return Lookup(MakeKey(key), p); }
    void*& operator[](const BYTE key[8]) { return (*this)[MakeKey(key)]; }
};
