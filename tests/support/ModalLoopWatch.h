// A watch over the modal loops a window test runs into. The test waits for states by pumping the
// program's messages; a dialog, a message box, a menu or a drag that a failing step leaves open
// runs a loop of its own inside that wait, and the wait would never come back to say so. A timer
// of the test's thread, which fires in whatever loop the thread is in, ends such loops once the
// wait's time is over, or once a loop the test entered outside any wait has run for a limit: the
// menus are ended and a quit is posted, which every loop of the platform passes on to the loop
// around it. The test fails, naming what was open, and the wait comes back, so that the cases
// after it run.
#pragma once

#include "platform/core/MessageQueue.h"
#include "platform/win/MenuApi.h"
#include "platform/win/UserApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace modal_loops {

// Ends the thread's open menus and every modal loop it runs, down to the test's own pump.
inline void EndAll()
{
    ::EndMenu();
    ::PostQuitMessage(0);
}

// Takes away a quit that ended the loops, so that no later loop of the test ends by it.
inline void ForgetQuit()
{
    MSG msg;
    while (::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// The thread's shown windows that a loop may run for: dialogs and message boxes (windows with an
// owner) by their titles, and open menus.
inline std::string OpenWindows()
{
    std::string names;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND top, LPARAM lParam) -> BOOL {
            auto& list = *reinterpret_cast<std::string*>(lParam);
            char name[16] = {};
            ::GetClassName(top, name, sizeof name);
            char title[256] = {};
            ::GetWindowText(top, title, sizeof title);
            if (!::IsWindowVisible(top))
                return TRUE;
            if (std::string(name) == WC_MENU_NAME)
                list += list.empty() ? "a menu" : ", a menu";
            else if (::GetWindow(top, GW_OWNER) != nullptr)
                list += (list.empty() ? "\"" : ", \"") + std::string(title) + "\"";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&names));
    return names.empty() ? std::string("no window") : names;
}

} // namespace modal_loops

class ModalLoopWatch {
public:
    using Clock = std::chrono::steady_clock;

    // A loop the test entered outside any of its waits (a command it called that opens a dialog)
    // is ended after this long.
    explicit ModalLoopWatch(std::chrono::milliseconds outsideLimit = std::chrono::minutes(2))
        : m_outsideLimit(outsideLimit)
    {
        Current() = this;
        m_timer = ::SetTimer(nullptr, 0, kTickMs, &ModalLoopWatch::Tick);
    }
    ~ModalLoopWatch()
    {
        ::KillTimer(nullptr, m_timer);
        if (m_nEnds > 0)
            modal_loops::ForgetQuit();
        if (Current() == this)
            Current() = nullptr;
    }
    ModalLoopWatch(const ModalLoopWatch&) = delete;
    ModalLoopWatch& operator=(const ModalLoopWatch&) = delete;

    // One wait of the test, until its deadline; the earliest deadline of the waits open counts.
    class Wait {
    public:
        Wait(ModalLoopWatch& watch, Clock::time_point deadline) : m_watch(watch), m_nEndsBefore(watch.m_nEnds)
        {
            m_watch.m_deadlines.push_back(deadline);
            m_watch.OwnCodeRan();
        }
        ~Wait()
        {
            m_watch.m_deadlines.pop_back();
            m_watch.OwnCodeRan();
            if (Ended())
                modal_loops::ForgetQuit();
        }
        Wait(const Wait&) = delete;
        Wait& operator=(const Wait&) = delete;

        // Whether loops were ended while the test waited: the wait failed, whatever it sees now.
        bool Ended() const { return m_watch.m_nEnds != m_nEndsBefore; }

    private:
        ModalLoopWatch& m_watch;
        int m_nEndsBefore;
    };

    // Ends the loops now, for a helper of the test that saw its step fail; the wait they run in
    // fails too.
    void End()
    {
        m_lastEnd = Clock::now();
        ++m_nEnds;
        modal_loops::EndAll();
    }

private:
    static constexpr UINT kTickMs = 100;
    // The wait's own pump comes back by its deadline unless a loop holds it: past the deadline
    // by this much, one does.
    static constexpr std::chrono::seconds kGrace{2};
    // Ticks further apart than this had the test's own code between them.
    static constexpr std::chrono::seconds kGap{1};
    // A loop that swallowed the quit is given another.
    static constexpr std::chrono::seconds kAgain{2};

    static ModalLoopWatch*& Current()
    {
        static ModalLoopWatch* current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (ModalLoopWatch* watch = Current(); watch != nullptr && !watch->m_bLooking) {
            watch->m_bLooking = true;
            watch->Look();
            watch->m_bLooking = false;
        }
    }

    void OwnCodeRan()
    {
        m_outsideSince = Clock::time_point();
        m_lastEnd = Clock::time_point();
    }

    void Look()
    {
        const Clock::time_point now = Clock::now();
        bool bOverdue = false;
        if (!m_deadlines.empty()) {
            bOverdue = now > *std::min_element(m_deadlines.begin(), m_deadlines.end()) + kGrace;
        } else if (m_outsideSince == Clock::time_point() || now - m_lastTick > kGap) {
            // The test's own code ran since the last tick.
            OwnCodeRan();
            m_outsideSince = now;
        } else {
            bOverdue = now - m_outsideSince > m_outsideLimit;
        }
        m_lastTick = now;
        if (!bOverdue || (m_lastEnd != Clock::time_point() && now - m_lastEnd < kAgain))
            return;
        if (m_lastEnd == Clock::time_point())
            ADD_FAILURE() << (m_deadlines.empty() ? "a modal loop the test entered ran on past its limit"
                                                  : "the wait's time was over while a modal loop ran in it")
                          << "; what was open is closed: " << modal_loops::OpenWindows();
        End();
    }

    std::chrono::milliseconds m_outsideLimit;
    UINT_PTR m_timer = 0;
    std::vector<Clock::time_point> m_deadlines;
    Clock::time_point m_outsideSince{};
    Clock::time_point m_lastTick{};
    Clock::time_point m_lastEnd{};   // when the loops were last ended, in this stretch of the test
    int m_nEnds = 0;
    bool m_bLooking = false;
};
