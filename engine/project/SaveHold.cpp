#include "engine/project/SaveHold.h"

#include <atomic>

namespace {

std::atomic<SaveHoldHook> g_pfnHook{nullptr};

} // namespace

void SetSaveHoldHook(SaveHoldHook pfnHook)
{
    g_pfnHook.store(pfnHook);
}

void HoldSaveAt(SaveStep step, const CPageNode& page, ULONGLONG nBytes)
{
    if (const SaveHoldHook pfnHook = g_pfnHook.load(std::memory_order_acquire))
        pfnHook(step, page, nBytes);
}
