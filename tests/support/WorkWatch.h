// While a WorkWatch lives, its look runs each time a window of the test's thread has handled a
// message: also inside the program's own long work, where no step of the user's runs, so that a
// test sees what the program shows at a moment of that work, or presses a key then. The look is
// not run again from inside itself.
#pragma once

#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

#include <functional>
#include <utility>

class WorkWatch {
public:
    explicit WorkWatch(std::function<void()> look) : m_look(std::move(look))
    {
        s_current = this;
        m_hook = ::SetWindowsHookEx(WH_CALLWNDPROCRET, Hook, nullptr, ::GetCurrentThreadId());
    }
    ~WorkWatch()
    {
        if (m_hook)
            ::UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    WorkWatch(const WorkWatch&) = delete;
    WorkWatch& operator=(const WorkWatch&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (WorkWatch* self = s_current; self != nullptr && !self->m_bLooking) {
            self->m_bLooking = true;
            self->m_look();
            self->m_bLooking = false;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    std::function<void()> m_look;
    HHOOK m_hook = nullptr;
    bool m_bLooking = false;
    static inline WorkWatch* s_current = nullptr;
};
