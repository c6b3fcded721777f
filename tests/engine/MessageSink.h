// A message-only window for engine tests: it records the messages worker threads post to it,
// reads and deletes the atoms of Output Area lines, and pumps the test thread's queue until an
// expected message has come.
#pragma once

#include "engine/project/EngineMessages.h"
#include "engine/project/OutputAreaLine.h"
#include "platform/core/AtomTable.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/WindowHandle.h"
#include "tests/support/HangGuard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace enginetest {

struct PostedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::string line; // the atom's text, for kMsgOutputAddLine
};

class MessageSink {
public:
    MessageSink() { m_hWnd = CreateMessageWindow(&MessageSink::WndProc, this); }
    ~MessageSink()
    {
        Drain();
        if (m_hWnd != nullptr)
            DestroyMessageWindow(m_hWnd);
    }
    MessageSink(const MessageSink&) = delete;
    MessageSink& operator=(const MessageSink&) = delete;

    HWND Handle() const { return m_hWnd; }

    // Dispatches what is waiting now.
    void Drain()
    {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
    }

    // Fills the queue with messages it passes over: a worker's next report then waits for room,
    // held where it is, until the test pumps.
    void FillQueue()
    {
        while (PostMessage(m_hWnd, WM_NULL, 0, 0)) {
        }
    }

    // Pumps until a message of that id has arrived; false when none came (the guard only keeps a
    // broken worker from hanging the suite).
    bool WaitFor(UINT message)
    {
        const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
        while (!Has(message)) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            MSG msg;
            if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessage(&msg);
            else
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        }
        Drain();
        return true;
    }

    bool Has(UINT message) const { return Count(message) > 0; }
    size_t Count(UINT message) const
    {
        size_t n = 0;
        for (const PostedMessage& m : messages)
            n += m.message == message ? 1 : 0;
        return n;
    }
    // The ids in order of arrival.
    std::vector<UINT> Ids() const
    {
        std::vector<UINT> ids;
        for (const PostedMessage& m : messages)
            ids.push_back(m.message);
        return ids;
    }
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        for (const PostedMessage& m : messages) {
            if (m.message == kMsgOutputAddLine)
                lines.push_back(m.line);
        }
        return lines;
    }

    std::vector<PostedMessage> messages;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = static_cast<MessageSink*>(GetMessageWindowData(hWnd));
        if (self == nullptr || message < WM_USER)
            return 0;
        PostedMessage posted{message, wParam, lParam, {}};
        if (message == kMsgOutputAddLine) {
            // As the Output Area does: read and delete the atoms, joining the pieces of a line.
            if (!ReadOutputAreaLinePiece(wParam, lParam, self->m_pending, posted.line))
                return 0;
        }
        self->messages.push_back(posted);
        return 0;
    }

    HWND m_hWnd = nullptr;
    OutputAreaPieces m_pending;
};

} // namespace enginetest
