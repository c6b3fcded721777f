// Shared helpers of the window tests: a recording window class and a fixture on the memory
// backend.
#pragma once

#include "platform/win/detail/MemoryBackend.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowManager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

struct Recorded {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message a window of the recording class receives, in order; a handler may be set per
// message to answer instead of DefWindowProc.
class MessageLog {
public:
    static MessageLog& Get();
    std::vector<Recorded> entries;
    std::map<UINT, std::function<LRESULT(HWND, WPARAM, LPARAM, bool&)>> handlers;
    bool recording = true;
    void Clear() { entries.clear(); }
    // The messages of one window (or all when null) in order, limited to the given set when it
    // is not empty.
    std::vector<UINT> Messages(HWND hwnd = nullptr, std::vector<UINT> only = {}) const;
    size_t Count(HWND hwnd, UINT message) const;
};

LRESULT CALLBACK RecordingWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
extern const char* const kRecordingClass;

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    HWND Create(DWORD style, int x, int y, int cx, int cy, HWND parent = nullptr, DWORD exStyle = 0, int id = 0);
    // Dispatches everything waiting (posted messages, paints, due timers).
    void Pump();
    // The pixel (0x00RRGGBB) of a top-level window's backing surface.
    uint32_t Pixel(HWND top, int x, int y);
    MemoryBackend* backend = nullptr;
    std::vector<HWND> created;
};
