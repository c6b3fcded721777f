// CPageChecksum: a 64-bit checksum of a page's bytes, given in pieces of any size, that tells
// whether two readings of a page read the same bytes. Not meant to withstand a file made to
// collide; it costs a small part of reading the bytes, so that every scan and every save can
// take it.
#pragma once

#include <cstddef>
#include <cstdint>

class CPageChecksum {
public:
    // Takes the next bytes; pieces of any size give the checksum of their bytes in a row.
    void Add(const void* pBytes, size_t nCount);
    // The checksum of every byte given so far; more may be added after.
    uint64_t Get() const;

private:
    static constexpr size_t kStripe = 32; // four lanes of 8 bytes
    void AddStripe(const unsigned char* pStripe);

    uint64_t m_lanes[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull, 0x082EFA98EC4E6C89ull};
    unsigned char m_pending[kStripe] = {};
    size_t m_nPending = 0;
    uint64_t m_nLength = 0;
};
