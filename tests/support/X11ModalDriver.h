// Drives a modal dialog on the X11 backend as a user would: the test runs the dialog's own
// DoModal, and an owner window that the dialog manager tells when its loop waits (WM_ENTERIDLE)
// walks a list of steps. Each step waits, bounded, for a state of the program that can be seen
// (a window, the focus, a text, a pixel) and then acts from another X client (xdotool), so that
// the events come through the server and the program's own loop. A step that never comes ends
// the dialog with -1 and names itself in the failure; so does a dialog still open a step's time
// after the last step. A dialog that a loop inside it (a menu, a message box) keeps open after
// that is ended with every loop around it.
#pragma once

#include "platform/afx/wnd/CWnd.h"
#include "platform/win/UserApi.h"
#include "tests/support/ModalLoopWatch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

class X11ModalDriver {
public:
    struct Step {
        std::string name;                // said when the step's state never came
        std::function<bool()> ready;     // the state to wait for (null: at once)
        std::function<void()> act;       // what the user does then (null: nothing)
    };

    explicit X11ModalDriver(std::string display, int stepTimeoutMs = 60000)
        : m_display(std::move(display)), m_timeoutMs(stepTimeoutMs)
    {
        static bool s_registered = false;
        if (!s_registered) {
            s_registered = true;
            WNDCLASS wc{};
            wc.lpfnWndProc = Proc;
            wc.lpszClassName = "X11ModalDriverOwner";
            ::RegisterClass(&wc);
        }
        m_hwnd = ::CreateWindowEx(0, "X11ModalDriverOwner", "Test owner", WS_OVERLAPPED, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
        ::SetProp(m_hwnd, "X11ModalDriver", this);
        m_owner.Attach(m_hwnd);
        // The dialog manager says it is idle only when no input waits; a timer brings it back
        // to idle while a step waits for something that is not an event of its own.
        ::SetTimer(m_hwnd, 1, 50, nullptr);
    }
    ~X11ModalDriver()
    {
        if (m_bLoopsEnded)
            modal_loops::ForgetQuit();
        ::KillTimer(m_hwnd, 1);
        m_owner.Detach();
        ::DestroyWindow(m_hwnd);
    }
    X11ModalDriver(const X11ModalDriver&) = delete;
    X11ModalDriver& operator=(const X11ModalDriver&) = delete;

    // The window to give the dialog as its parent.
    CWnd* Owner() { return &m_owner; }

    void Then(std::string name, std::function<bool()> ready, std::function<void()> act = nullptr)
    {
        m_steps.push_back(Step{std::move(name), std::move(ready), std::move(act)});
    }

    // Runs an xdotool command line against the test's display and waits for it to finish.
    bool Xdotool(const std::string& args) const
    {
        const std::string command = "DISPLAY=" + m_display + " timeout 60 xdotool " + args + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }
    bool ClickAt(POINT pt, int button = 1) const
    {
        return Xdotool("mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y) + " click " +
                       std::to_string(button));
    }
    bool DoubleClickAt(POINT pt) const
    {
        return Xdotool("mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y) + " click --repeat 2 --delay 40 1");
    }
    bool Key(const std::string& keys) const { return Xdotool("key " + keys); }
    bool Type(const std::string& text) const { return Xdotool("type --delay 20 '" + text + "'"); }

    // The steps not yet done when the dialog ended (empty when all ran).
    const std::string& Missed() const { return m_missed; }
    bool AllDone() const { return m_next >= m_steps.size() && m_missed.empty(); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = static_cast<X11ModalDriver*>(::GetProp(hwnd, "X11ModalDriver"));
        if (self && message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
            self->Turn(reinterpret_cast<HWND>(lParam));
            return 0;
        }
        // The timer runs in whatever loop the thread is in, so the steps also drive a dialog
        // whose owner is another window (one the program opens from its own menus).
        if (self && message == WM_TIMER) {
            self->Turn(self->m_dialog && ::IsWindow(self->m_dialog) ? self->m_dialog : nullptr);
            return 0;
        }
        return ::DefWindowProc(hwnd, message, wParam, lParam);
    }

    void Turn(HWND dialog)
    {
        if (m_busy)
            return;
        m_busy = true;
        if (dialog)
            m_dialog = dialog;
        const auto now = std::chrono::steady_clock::now();
        if (m_endedAt != std::chrono::steady_clock::time_point() && m_dialog && ::IsWindow(m_dialog)
            && now - m_endedAt > std::chrono::seconds(2)) {
            // Ended, and still open: a loop inside the dialog holds it.
            m_endedAt = now;
            m_bLoopsEnded = true;
            modal_loops::EndAll();
        }
        if (m_next < m_steps.size()) {
            if (!m_started) {
                m_started = true;
                m_since = now;
            }
            Step& step = m_steps[m_next];
            if (!step.ready || step.ready()) {
                if (step.act)
                    step.act();
                ++m_next;
                m_since = std::chrono::steady_clock::now();
            } else if (now - m_since > std::chrono::milliseconds(m_timeoutMs)) {
                m_missed = step.name;
                ADD_FAILURE() << "the step \"" << step.name << "\" did not happen";
                m_next = m_steps.size();
                EndTheDialog();
            }
        } else if (m_started && !m_ended && m_dialog && ::IsWindow(m_dialog) && ::IsWindowVisible(m_dialog)
                   && now - m_since > std::chrono::milliseconds(m_timeoutMs)) {
            // Every step ran and the dialog is still open: its last key or click did not close it.
            m_ended = true;
            if (m_missed.empty())
                m_missed = "the dialog closing after the last step";
            ADD_FAILURE() << "the dialog stayed open after the last step";
            EndTheDialog();
        }
        m_busy = false;
    }

    void EndTheDialog()
    {
        HWND hEnd = m_dialog && ::IsWindow(m_dialog) ? m_dialog : ::GetActiveWindow();
        if (hEnd)
            ::EndDialog(hEnd, -1);
        m_endedAt = std::chrono::steady_clock::now();
    }

    std::string m_display;
    int m_timeoutMs;
    HWND m_hwnd = nullptr;
    HWND m_dialog = nullptr;
    CWnd m_owner;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_started = false;
    bool m_busy = false;
    bool m_ended = false;   // ended by the driver after the last step
    std::chrono::steady_clock::time_point m_since{};
    std::chrono::steady_clock::time_point m_endedAt{};   // when the driver ended the dialog
    bool m_bLoopsEnded = false;
    std::string m_missed;
};
