#include "grid/data/GXStylePool.h"

GXStyleRef& GXStyleRef::operator=(const GXStyleRef& o)
{
    if (o.m_p != m_p) {
        GXSharedStyle* p = o.m_p;
        if (p)
            ++p->refs;
        Release();
        m_p = p;
    }
    return *this;
}

GXStyleRef& GXStyleRef::operator=(GXStyleRef&& o) noexcept
{
    if (&o != this) {
        Release();
        m_p = o.m_p;
        o.m_p = nullptr;
    }
    return *this;
}

void GXStyleRef::Release()
{
    if (m_p && --m_p->refs == 0)
        m_p->pool->Drop(m_p);
}

GXStylePool::~GXStylePool()
{
    // Every reference lives in the store that owns this pool and is gone by now; whatever is
    // left is freed all the same.
    for (const Slot& slot : m_slots)
        delete slot.p;
}

size_t GXStylePool::Home(size_t hash) const
{
    // Fibonacci hashing spreads hashes that differ only in their high bits over the table.
    return static_cast<size_t>((static_cast<unsigned long long>(hash) * 0x9E3779B97F4A7C15ull) >> 20) & (m_slots.size() - 1);
}

void GXStylePool::Grow()
{
    std::vector<Slot> old(m_slots.empty() ? 64 : m_slots.size() * 2);
    old.swap(m_slots);
    const size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.p == nullptr)
            continue;
        size_t i = Home(slot.hash);
        while (m_slots[i].p != nullptr)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

GXStyleRef GXStylePool::Intern(const CGXStyle& style)
{
    if (m_pLast && m_pLast->style == style)
        return GXStyleRef(m_pLast);
    const size_t hash = style.GetHash();
    if (!m_slots.empty()) {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = Home(hash); m_slots[i].p != nullptr; i = (i + 1) & mask) {
            if (m_slots[i].hash == hash && m_slots[i].p->style == style) {
                m_pLast = m_slots[i].p;
                return GXStyleRef(m_pLast);
            }
        }
    }
    if ((m_nCount + 1) * 2 > m_slots.size())
        Grow();
    auto* p = new GXSharedStyle{style, hash, 0, this};
    const size_t mask = m_slots.size() - 1;
    size_t i = Home(hash);
    while (m_slots[i].p != nullptr)
        i = (i + 1) & mask;
    m_slots[i] = Slot{hash, p};
    ++m_nCount;
    m_pLast = p;
    return GXStyleRef(p);
}

void GXStylePool::Drop(GXSharedStyle* p)
{
    const size_t mask = m_slots.size() - 1;
    size_t i = Home(p->hash);
    while (m_slots[i].p != p && m_slots[i].p != nullptr)
        i = (i + 1) & mask;
    if (m_slots[i].p == nullptr) {
        // Not one of this table's: nothing to take out.
        if (m_pLast == p)
            m_pLast = nullptr;
        delete p;
        return;
    }
    // Close the gap: every later slot of the probe run whose home lies at or before the gap
    // moves into it, so that no probe ends early at the emptied slot.
    for (size_t j = (i + 1) & mask; m_slots[j].p != nullptr; j = (j + 1) & mask) {
        const size_t home = Home(m_slots[j].hash);
        // The distance from home to j is at least the distance from the gap to j.
        if (((j - home) & mask) >= ((j - i) & mask)) {
            m_slots[i] = m_slots[j];
            i = j;
        }
    }
    m_slots[i] = Slot{};
    --m_nCount;
    if (m_pLast == p)
        m_pLast = nullptr;
    delete p;
}
