// How long a test waits for a state of work on its threads before it calls the work hung: far
// beyond what any of the tests' work takes on a busy machine under the sanitizers, and within the
// test programs' own limit. A test never waits this long unless the work is broken.
#pragma once

#include <chrono>

inline constexpr std::chrono::minutes kHangGuard{10};
