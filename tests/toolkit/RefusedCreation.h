// Makes the creation of chosen windows fail the way a refused creation fails on the platform: a
// computer-based-training hook answers "no" when the window is about to be made, after the
// framework has attached its object, so the window is destroyed again at once. For the tests of
// what an object does after its window could not be made.
#pragma once

#include "platform/core/ThreadApi.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

#include <functional>
#include <string_view>
#include <utility>

class RefusedCreation {
public:
    using Predicate = std::function<bool(const CREATESTRUCT&)>;

    explicit RefusedCreation(Predicate refuse)
    {
        Refuse() = std::move(refuse);
        Handle() = ::SetWindowsHookEx(WH_CBT, &Hook, nullptr, ::GetCurrentThreadId());
    }
    ~RefusedCreation()
    {
        ::UnhookWindowsHookEx(Handle());
        Handle() = nullptr;
        Refuse() = nullptr;
    }
    RefusedCreation(const RefusedCreation&) = delete;
    RefusedCreation& operator=(const RefusedCreation&) = delete;

    bool IsInstalled() const { return Handle() != nullptr; }
    // How many creations were refused.
    static int& Refused()
    {
        static int count = 0;
        return count;
    }

    // Refuses every window with that title.
    static Predicate Titled(const char* title)
    {
        return [title](const CREATESTRUCT& cs) {
            return cs.lpszName != nullptr && std::string_view(cs.lpszName) == title;
        };
    }
    // Refuses every pop-up window.
    static Predicate PopUps()
    {
        return [](const CREATESTRUCT& cs) { return (static_cast<DWORD>(cs.style) & WS_POPUP) != 0; };
    }

private:
    static HHOOK& Handle()
    {
        static HHOOK hook = nullptr;
        return hook;
    }
    static Predicate& Refuse()
    {
        static Predicate refuse;
        return refuse;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND && Refuse()) {
            const auto* cbt = reinterpret_cast<const CBT_CREATEWND*>(lParam);
            if (cbt != nullptr && cbt->lpcs != nullptr && Refuse()(*cbt->lpcs)) {
                ++Refused();
                return 1;
            }
        }
        return ::CallNextHookEx(Handle(), code, wParam, lParam);
    }
};
