// Checks the header of a device-independent bitmap and works out where its parts lie, so that
// resource and file readers never trust a size, count or offset they were given.
#pragma once

#include "platform/core/Types.h"

#include <cstddef>
#include <cstdint>

struct DibLayout {
    DWORD headerSize = 0;  // the header's own size (40 or one of the longer forms)
    LONG width = 0;
    LONG height = 0;       // rows, always positive
    bool topDown = false;
    WORD bitCount = 0;
    DWORD compression = 0;
    DWORD tableEntries = 0; // colour table entries that follow the header (and masks)
    DWORD maskBytes = 0;    // 12 for the three bit-field masks after a 40-byte header
    size_t stride = 0;      // bytes per row, padded to 32 bits
    size_t imageSize = 0;   // stride * height

    // Bytes from the start of the header to the first row.
    size_t BitsOffset() const { return headerSize + maskBytes + size_t(tableEntries) * 4; }
    // Entries of the table a writer keeps for this depth: 2, 16 or 256, none above 8 bits.
    DWORD FullTableEntries() const { return bitCount <= 8 ? DWORD(1) << bitCount : 0; }
};

// Reads and checks the header at data (size bytes available). Refuses compressed images other
// than bit fields, depths other than 1, 4, 8, 16, 24 and 32, more table entries than the depth
// allows, and images whose sizes overflow or exceed the reader's limit. The table, masks and
// bits themselves are not required to be present: callers check BitsOffset and imageSize
// against what they have.
bool ReadDibLayout(const BYTE* data, size_t size, DibLayout& layout);

// Rows wider or taller than this, or more pixels than kMaxDibPixels, are refused rather than
// allocated.
inline constexpr LONG kMaxDibSide = 32768;
inline constexpr uint64_t kMaxDibPixels = uint64_t(1) << 26;

// Little-endian field access for byte buffers of stored formats.
inline uint32_t DibGet32(const BYTE* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t DibGet16(const BYTE* p)
{
    return uint16_t(p[0] | p[1] << 8);
}
inline void DibPut32(BYTE* p, uint32_t v)
{
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
    p[2] = BYTE(v >> 16);
    p[3] = BYTE(v >> 24);
}
inline void DibPut16(BYTE* p, uint16_t v)
{
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
}
