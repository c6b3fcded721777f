#include "platform/core/TickCount.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

namespace {

using Source = std::function<ULONGLONG()>;

// Reads must stay cheap (scroll and drag loops call GetTickCount often): without a virtual
// clock they take no lock.
struct TickState {
    std::atomic<bool> hasSource{false};
    std::mutex lock;
    std::shared_ptr<const Source> source;
};

TickState& State()
{
    static TickState* state = new TickState;   // never destroyed: detached threads may still read it
    return *state;
}

ULONGLONG RealTicks()
{
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<ULONGLONG>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace

ULONGLONG GetTickCount64()
{
    TickState& state = State();
    if (!state.hasSource.load(std::memory_order_acquire))
        return RealTicks();
    std::shared_ptr<const Source> source;
    {
        std::lock_guard guard(state.lock);
        source = state.source;
    }
    // Called outside the lock: the source may itself take locks of its own.
    return source ? (*source)() : RealTicks();
}

DWORD GetTickCount()
{
    return static_cast<DWORD>(GetTickCount64());
}

void SetTickCountSource(std::function<ULONGLONG()> source)
{
    TickState& state = State();
    std::lock_guard guard(state.lock);
    if (source)
        state.source = std::make_shared<const Source>(std::move(source));
    else
        state.source.reset();
    state.hasSource.store(state.source != nullptr, std::memory_order_release);
}
