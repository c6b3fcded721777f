#include "engine/project/CPageChecksum.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// Odd multipliers whose bits are well mixed: the golden ratio's and two of a known 64-bit
// finaliser's.
constexpr uint64_t kMulA = 0x9E3779B97F4A7C15ull;
constexpr uint64_t kMulB = 0xBF58476D1CE4E5B9ull;
constexpr uint64_t kMulC = 0x94D049BB133111EBull;

uint64_t Word(const unsigned char* p)
{
    uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// One lane takes one word: the rotation carries the product's high bits, where every bit of the
// word has left its mark, down again.
uint64_t Round(uint64_t lane, uint64_t word)
{
    return std::rotl(lane + word * kMulA, 31) * kMulB;
}

uint64_t Mix(uint64_t value)
{
    value ^= value >> 30;
    value *= kMulB;
    value ^= value >> 27;
    value *= kMulC;
    return value ^ (value >> 31);
}

} // namespace

void CPageChecksum::AddStripe(const unsigned char* pStripe)
{
    // The four lanes do not wait for each other, so that the processor works on them at once.
    for (int i = 0; i < 4; ++i)
        m_lanes[i] = Round(m_lanes[i], Word(pStripe + 8 * i));
}

void CPageChecksum::Add(const void* pBytes, size_t nCount)
{
    const auto* p = static_cast<const unsigned char*>(pBytes);
    m_nLength += nCount;
    if (m_nPending > 0) {
        const size_t nTake = std::min(nCount, kStripe - m_nPending);
        std::memcpy(m_pending + m_nPending, p, nTake);
        m_nPending += nTake;
        p += nTake;
        nCount -= nTake;
        if (m_nPending < kStripe)
            return;
        AddStripe(m_pending);
        m_nPending = 0;
    }
    for (; nCount >= kStripe; p += kStripe, nCount -= kStripe)
        AddStripe(p);
    std::memcpy(m_pending, p, nCount);
    m_nPending = nCount;
}

uint64_t CPageChecksum::Get() const
{
    uint64_t value = std::rotl(m_lanes[0], 1) + std::rotl(m_lanes[1], 7) + std::rotl(m_lanes[2], 12) + std::rotl(m_lanes[3], 18);
    for (const uint64_t lane : m_lanes)
        value = (value ^ Round(0, lane)) * kMulA + kMulC;
    // The length tells apart texts that differ only by zero bytes at their end.
    value += m_nLength;
    size_t i = 0;
    for (; i + 8 <= m_nPending; i += 8)
        value = std::rotl(value ^ Round(0, Word(m_pending + i)), 27) * kMulA + kMulB;
    for (; i < m_nPending; ++i)
        value = std::rotl(value ^ (m_pending[i] * kMulC), 11) * kMulA;
    return Mix(value);
}
