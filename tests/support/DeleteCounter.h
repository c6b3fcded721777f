// Counts deletes of blocks that were deleted already, for the tests of objects that delete
// themselves with their windows. While a count runs, deleted blocks are held back instead of
// freed, so that a second delete of one is counted and harms nothing; they are freed when the
// count ends. The program's operator new and delete are replaced for this: include this header
// in one source file of a test program only. Under the address sanitizer, which reports such a
// delete itself and stops the program, nothing is replaced and the count stays 0.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VOSTREL_DELETE_COUNTER_OFF 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VOSTREL_DELETE_COUNTER_OFF 1
#endif

namespace delete_counter {

namespace detail {

// The held blocks: an open-addressed set that never allocates, so that operator delete can use it.
constexpr size_t kSlots = size_t{1} << 20;

struct State {
    std::atomic<bool> counting{false};
    std::mutex lock;
    void* held[kSlots] = {};
    size_t nHeld = 0;
    int nRepeated = 0;
};

inline State& Get()
{
    static State* state = new (std::malloc(sizeof(State))) State;
    return *state;
}

inline size_t SlotOf(const void* p)
{
    return (reinterpret_cast<uintptr_t>(p) >> 4) * 0x9E3779B97F4A7C15ull % kSlots;
}

// Takes a deleted block: true when it is held now (or was held already), false when it is to
// be freed at once.
inline bool Hold(void* p)
{
    State& s = Get();
    if (!s.counting.load(std::memory_order_relaxed))
        return false;
    std::lock_guard guard(s.lock);
    if (!s.counting.load(std::memory_order_relaxed))
        return false;
    for (size_t i = SlotOf(p);; i = (i + 1) % kSlots) {
        if (s.held[i] == p) {
            ++s.nRepeated;
            return true;
        }
        if (s.held[i] == nullptr)
            break;
    }
    // A set three quarters full stops holding rather than slowing every delete down.
    if (s.nHeld >= kSlots / 4 * 3)
        return false;
    for (size_t i = SlotOf(p);; i = (i + 1) % kSlots)
        if (s.held[i] == nullptr) {
            s.held[i] = p;
            ++s.nHeld;
            return true;
        }
}

} // namespace detail

// Counts from its making to its end.
class Count {
public:
    Count()
    {
        detail::State& s = detail::Get();
        std::lock_guard guard(s.lock);
        s.nRepeated = 0;
        s.counting.store(true);
    }
    ~Count()
    {
        detail::State& s = detail::Get();
        std::lock_guard guard(s.lock);
        s.counting.store(false);
        for (void*& p : s.held)
            if (p != nullptr) {
                std::free(p);
                p = nullptr;
            }
        s.nHeld = 0;
    }
    Count(const Count&) = delete;
    Count& operator=(const Count&) = delete;

    // Deletes of a block deleted before, since the count began.
    int Repeated() const
    {
        detail::State& s = detail::Get();
        std::lock_guard guard(s.lock);
        return s.nRepeated;
    }
};

} // namespace delete_counter

#ifndef VOSTREL_DELETE_COUNTER_OFF

void* operator new(std::size_t size)
{
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    if (p != nullptr && !delete_counter::detail::Hold(p))
        std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

#endif
