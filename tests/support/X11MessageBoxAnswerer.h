// Answers the program's message boxes on the X11 backend as a user would: each box that comes
// up is noted (its text) as it is activated, and another X client presses a key in it once the
// box holds the display's focus. Keeps the program's own modal loop running, so a test never
// waits inside a box it cannot see.
#pragma once

#include "platform/backends/x11/X11Backend.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/MessageBox.h"
#include "platform/win/UserApi.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

class X11MessageBoxAnswerer {
public:
    X11MessageBoxAnswerer(X11Backend& backend, std::string display, std::string key = "Return")
        : m_backend(backend), m_display(std::move(display)), m_key(std::move(key))
    {
        s_current = this;
        m_hook = ::SetWindowsHookEx(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
    }
    ~X11MessageBoxAnswerer()
    {
        if (m_hook)
            ::UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    X11MessageBoxAnswerer(const X11MessageBoxAnswerer&) = delete;
    X11MessageBoxAnswerer& operator=(const X11MessageBoxAnswerer&) = delete;

    // The texts of the boxes seen so far, in order, and their titles.
    const std::vector<std::string>& Texts() const { return m_texts; }
    const std::vector<std::string>& Titles() const { return m_titles; }
    // Called with each box's text as it comes up, before it is answered: for what else the
    // program shows meanwhile.
    void OnEachBox(std::function<void(const std::string&)> seen) { m_seen = std::move(seen); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        X11MessageBoxAnswerer* self = s_current;
        if (self && code == HCBT_ACTIVATE) {
            auto hwnd = reinterpret_cast<HWND>(wParam);
            HWND text = ::GetDlgItem(hwnd, kMessageBoxTextId);
            // A message box: its text without a label's '&', no template, no edit field (the find
            // dialog's label has the same id).
            if (text && ::GetProp(hwnd, DIALOG_TEMPLATE_ID_PROP) == nullptr && ::GetDlgItem(hwnd, kEditFieldId) == nullptr &&
                std::find(self->m_answered.begin(), self->m_answered.end(), hwnd) == self->m_answered.end()) {
                self->m_answered.push_back(hwnd);
                char buffer[2048] = {};
                ::GetWindowText(text, buffer, sizeof buffer);
                self->m_texts.emplace_back(buffer);
                char title[256] = {};
                ::GetWindowText(hwnd, title, sizeof title);
                self->m_titles.emplace_back(title);
                if (self->m_seen)
                    self->m_seen(self->m_texts.back());
                // The key is pressed only once the box holds the focus (bounded wait).
                const std::string xid = std::to_string(self->m_backend.XWindowOf(hwnd));
                // Kept for a person to look at when asked: the screen with the box on it.
                std::string shot;
                if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
                    shot = "xwd -root -silent | convert xwd:- " + std::string(keep) + "/message-box-" +
                           std::to_string(self->m_texts.size()) + ".png; ";
                const std::string script = "export DISPLAY=" + self->m_display + "; " VOSTREL_WAIT_FOCUS " --id " + xid +
                                           "; " + shot + "xdotool key " + self->m_key;
                const std::string command = "sh -c '" + script + "' >/dev/null 2>&1 &";
                if (std::system(command.c_str()) != 0)
                    self->m_texts.back() += " (not answered)";
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static constexpr int kEditFieldId = 0x480;
    static inline X11MessageBoxAnswerer* s_current = nullptr;
    X11Backend& m_backend;
    std::string m_display;
    std::string m_key;
    HHOOK m_hook = nullptr;
    std::vector<HWND> m_answered;
    std::vector<std::string> m_texts;
    std::vector<std::string> m_titles;
    std::function<void(const std::string&)> m_seen;
};
