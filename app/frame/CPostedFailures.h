// CPostedFailures: failure texts that other threads hand to a window. A thread adds a text and
// posts the window a message; the window, on its own thread, takes the texts and shows them.
// Shared by pointer, so that a thread that ends after the window is gone still finds it.
#pragma once

#include "platform/core/CString.h"
#include "platform/win/WinUser.h"

#include <deque>
#include <memory>
#include <mutex>

class CPostedFailures {
public:
    static std::shared_ptr<CPostedFailures> Make() { return std::make_shared<CPostedFailures>(); }

    // The window told of each text, and its message; null forgets it (texts then wait).
    void Bind(HWND hWnd, UINT nMessage);
    // Keeps the text and posts the message. Callable from any thread.
    void Post(const CString& strText);
    // The texts posted so far, oldest first; the list is then empty. Callable from any thread.
    std::deque<CString> TakeAll();

private:
    std::mutex m_lock;
    std::deque<CString> m_texts;
    HWND m_hWnd = nullptr;
    UINT m_nMessage = 0;
};
