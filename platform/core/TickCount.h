// The tick count: milliseconds since an arbitrary start, from the real clock or a virtual one.
#pragma once

#include "platform/core/Types.h"

#include <functional>

// Milliseconds since an arbitrary start; the 32-bit count wraps after about 49.7 days.
// Both read the same source. Callable from any thread.
DWORD GetTickCount();
ULONGLONG GetTickCount64();

// Replaces the source of both tick counts (a virtual clock for headless tests answers its own
// milliseconds); an empty function restores the real monotonic clock. The source may be called
// from any thread. Callable from any thread.
void SetTickCountSource(std::function<ULONGLONG()> source);
