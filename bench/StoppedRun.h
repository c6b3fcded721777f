// The program's messages handled while an engine works on its threads, until it tells its end,
// with a stop asked of it once after a while: the way the benchmarks time work and its stop.
#pragma once

#include "platform/core/MessageQueue.h"

#include <chrono>
#include <functional>
#include <optional>

// Handles messages until ended() holds or ten minutes went by, calling stop() once when dStopAfter
// seconds have gone since start (never when it is negative); when the stop was asked, if it was.
// Whether the work ended.
inline bool RunWithStop(std::chrono::steady_clock::time_point start, const std::function<bool()>& ended,
                        double dStopAfter, const std::function<void()>& stop,
                        std::optional<std::chrono::steady_clock::time_point>& stopped)
{
    const auto deadline = start + std::chrono::minutes(10);
    while (!ended() && std::chrono::steady_clock::now() < deadline) {
        if (dStopAfter >= 0 && !stopped
            && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= dStopAfter) {
            stopped = std::chrono::steady_clock::now();
            stop();
        }
        MSG msg;
        if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
        else
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return ended();
}
