// KxStringIndex: distinct byte strings numbered in the order first met, for the counting and
// scoring of one document.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

// Makes room in the vector for one element more, so that the push that follows cannot fail.
// The room grows by doubling, as a push would grow it: reserving the exact size one more each
// time would copy the whole vector at every element. Throws std::bad_alloc.
template <class T>
void RoomForOneMore(std::vector<T>& v)
{
    if (v.size() == v.capacity())
        v.reserve(v.capacity() < 8 ? 16 : 2 * v.capacity());
}

// The texts lie back to back in one buffer and are found through an open-addressed table of
// their numbers, which grows as they come: a document's few hundred phrases cost a handful of
// allocations, not several each. Numbers never change, so callers keep what they know of each
// string in arrays of their own, indexed by its number. One thread at a time.
class KxStringIndex {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    KxStringIndex() = default;
    KxStringIndex(const KxStringIndex&) = delete;
    KxStringIndex& operator=(const KxStringIndex&) = delete;

    // Makes room for about this many strings of this many bytes in all. Throws std::bad_alloc.
    void Reserve(size_t nStrings, size_t nBytes);
    // The number of the text, given it when new (bAdded then true). Throws std::bad_alloc, and
    // then holds what it held before.
    uint32_t Intern(std::string_view text, bool& bAdded);
    // The number of the text, or kNone.
    uint32_t Find(std::string_view text) const;
    std::string_view Text(uint32_t n) const { return {m_texts.data() + m_spans[n].offset, m_spans[n].length}; }
    uint32_t Size() const { return static_cast<uint32_t>(m_spans.size()); }
    // Forgets every string; the memory stays for the next ones.
    void Clear();

private:
    struct Span {
        uint32_t offset;
        uint32_t length;
        uint32_t hash;
    };
    static uint32_t Hash(std::string_view text);
    uint32_t FindSlot(std::string_view text, uint32_t hash) const;
    void Grow();

    std::string m_texts;
    std::vector<Span> m_spans;
    // Each slot holds a string's number + 1, or 0 when free; a power of two long, at most half
    // full.
    std::vector<uint32_t> m_slots;
};

} // namespace kx
