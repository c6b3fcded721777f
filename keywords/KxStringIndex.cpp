#include "keywords/KxStringIndex.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace kx {

namespace {

constexpr size_t kFirstSlots = 64;

size_t SlotsFor(size_t nStrings)
{
    size_t nSlots = kFirstSlots;
    while (nSlots < 2 * nStrings)
        nSlots *= 2;
    return nSlots;
}

} // namespace

uint32_t KxStringIndex::Hash(std::string_view text)
{
    // FNV-1a: the words and phrases are short, and their bytes all matter.
    uint32_t h = 2166136261u;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

void KxStringIndex::Reserve(size_t nStrings, size_t nBytes)
{
    m_texts.reserve(nBytes);
    m_spans.reserve(nStrings);
    if (m_slots.size() < SlotsFor(nStrings) && m_spans.empty())
        m_slots.assign(SlotsFor(nStrings), 0);
}

uint32_t KxStringIndex::FindSlot(std::string_view text, uint32_t hash) const
{
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const uint32_t n = m_slots[i];
        if (n == 0)
            return static_cast<uint32_t>(i);
        const Span& span = m_spans[n - 1];
        if (span.hash == hash && span.length == text.size()
            && std::memcmp(m_texts.data() + span.offset, text.data(), text.size()) == 0)
            return static_cast<uint32_t>(i);
    }
}

uint32_t KxStringIndex::Find(std::string_view text) const
{
    if (m_slots.empty())
        return kNone;
    const uint32_t n = m_slots[FindSlot(text, Hash(text))];
    return n == 0 ? kNone : n - 1;
}

void KxStringIndex::Grow()
{
    std::vector<uint32_t> slots(m_slots.empty() ? kFirstSlots : 2 * m_slots.size(), 0);
    const size_t mask = slots.size() - 1;
    for (uint32_t n = 0; n < m_spans.size(); ++n) {
        size_t i = m_spans[n].hash & mask;
        while (slots[i] != 0)
            i = (i + 1) & mask;
        slots[i] = n + 1;
    }
    m_slots.swap(slots);
}

uint32_t KxStringIndex::Intern(std::string_view text, bool& bAdded)
{
    bAdded = false;
    const uint32_t hash = Hash(text);
    if (m_slots.empty())
        Grow();
    uint32_t slot = FindSlot(text, hash);
    if (m_slots[slot] != 0)
        return m_slots[slot] - 1;
    if (m_texts.size() + text.size() > std::numeric_limits<uint32_t>::max() || m_spans.size() + 1 >= kNone)
        throw std::bad_alloc();
    // Room first, so that a failure leaves the index as it was.
    if (2 * (m_spans.size() + 1) > m_slots.size()) {
        Grow();
        slot = FindSlot(text, hash);
    }
    RoomForOneMore(m_spans);
    const auto offset = static_cast<uint32_t>(m_texts.size());
    m_texts.append(text);
    m_spans.push_back({offset, static_cast<uint32_t>(text.size()), hash});
    const auto n = static_cast<uint32_t>(m_spans.size() - 1);
    m_slots[slot] = n + 1;
    bAdded = true;
    return n;
}

void KxStringIndex::Clear()
{
    m_texts.clear();
    m_spans.clear();
    std::fill(m_slots.begin(), m_slots.end(), 0u);
}

} // namespace kx
