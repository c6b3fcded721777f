// Atomic operations on plain 32-bit words and pointers that other threads also change.
#pragma once

#include "platform/core/Types.h"

#include <atomic>

// Every function is atomic with full ordering against other interlocked calls on the same word
// and is callable from any thread. Each answers the value before the change, except Increment and
// Decrement, which answer the new value.

inline LONG InterlockedIncrement(volatile LONG* lpAddend)
{
    // The step is repeated in unsigned arithmetic, which wraps as the atomic one does.
    LONG before = std::atomic_ref<LONG>(*const_cast<LONG*>(lpAddend)).fetch_add(1);
    return static_cast<LONG>(static_cast<ULONG>(before) + 1u);
}

inline LONG InterlockedDecrement(volatile LONG* lpAddend)
{
    LONG before = std::atomic_ref<LONG>(*const_cast<LONG*>(lpAddend)).fetch_sub(1);
    return static_cast<LONG>(static_cast<ULONG>(before) - 1u);
}

inline LONG InterlockedExchange(volatile LONG* Target, LONG Value)
{
    return std::atomic_ref<LONG>(*const_cast<LONG*>(Target)).exchange(Value);
}

inline LONG InterlockedExchangeAdd(volatile LONG* Addend, LONG Value)
{
    return std::atomic_ref<LONG>(*const_cast<LONG*>(Addend)).fetch_add(Value);
}

inline LONG InterlockedCompareExchange(volatile LONG* Destination, LONG Exchange, LONG Comparand)
{
    std::atomic_ref<LONG>(*const_cast<LONG*>(Destination)).compare_exchange_strong(Comparand, Exchange);
    return Comparand;   // on failure compare_exchange stored the value it found here
}

inline void* InterlockedExchangePointer(void* volatile* Target, void* Value)
{
    return std::atomic_ref<void*>(*const_cast<void**>(Target)).exchange(Value);
}

inline void* InterlockedCompareExchangePointer(void* volatile* Destination, void* Exchange,
                                               void* Comparand)
{
    std::atomic_ref<void*>(*const_cast<void**>(Destination)).compare_exchange_strong(Comparand, Exchange);
    return Comparand;
}
