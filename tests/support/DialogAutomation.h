// Drives the program's dialogs and message boxes in tests on the headless backend, through the
// public window API only: the backend's idle hook runs an action when a modal loop waits, the
// windows are found by enumeration, and everything is done with injected mouse and keys.
#pragma once

#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/Button.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/MessageBox.h"
#include "platform/core/ThreadApi.h"
#include "platform/win/UserApi.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace dialog_automation {

// How many idle turns a helper waits for its window to open before it gives up.
constexpr int kIdleTurns = 50;

inline std::vector<HWND> ShownDialogs()
{
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) -> BOOL {
            char cls[32] = {};
            GetClassName(hwnd, cls, sizeof cls);
            if (std::string(cls) == WC_DIALOG_NAME && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
                reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

inline POINT CentreOf(HWND hwnd)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

inline std::string TextOf(HWND hwnd)
{
    char buffer[1024] = {};
    GetWindowText(hwnd, buffer, sizeof buffer);
    return buffer;
}

// Types a text as key presses, each with the character it produces.
inline void Type(HeadlessBackend& backend, const std::string& text)
{
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        UINT vk = std::isalnum(u) ? static_cast<UINT>(std::toupper(u)) : c == ' ' ? VK_SPACE : VK_OEM_PERIOD;
        backend.Key(vk, std::string(1, c));
    }
}

// Clicks into a text field, selects its whole text with Home and Shift+End, deletes it and types
// the new text, as a user replaces what a field holds.
inline void Retype(HeadlessBackend& backend, HWND field, const std::string& text)
{
    backend.Click(1, CentreOf(field));
    backend.Key(VK_HOME);
    backend.KeyDown(VK_SHIFT);
    backend.Key(VK_END);
    backend.KeyUp(VK_SHIFT);
    backend.Key(VK_DELETE);
    Type(backend, text);
}

// Runs `action` on the first idle turn at which `find` gives a window, waiting at most
// kIdleTurns turns; `missed` runs when it never came.
inline void WhenWindowOpens(HeadlessBackend& backend, std::function<HWND()> find, std::function<void(HWND)> action,
                            std::function<void()> missed, int turnsLeft = kIdleTurns)
{
    backend.WhenIdle([&backend, find, action, missed, turnsLeft] {
        if (HWND hwnd = find()) {
            action(hwnd);
        } else if (turnsLeft > 0) {
            WhenWindowOpens(backend, find, action, missed, turnsLeft - 1);
        } else if (missed) {
            missed();
        }
    });
}

// Keeps a test from hanging on a dialog that the injected input did not close: a dialog still
// open a minute later is ended with -1 and the test fails. A dialog may wait for a worker thread
// before it closes, so the wait is counted in time, not in idle turns, and each turn gives the
// processor away for a moment.
inline std::chrono::milliseconds& CloseWait()   // a test of this helper itself shortens it
{
    static std::chrono::milliseconds wait{60000};
    return wait;
}
inline void EnsureClosed(HeadlessBackend& backend, HWND dialog,
                         std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() + CloseWait())
{
    backend.WhenIdle([&backend, dialog, deadline] {
        if (!IsWindow(dialog) || !IsWindowVisible(dialog))
            return;
        if (std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            EnsureClosed(backend, dialog, deadline);
            return;
        }
        ADD_FAILURE() << "the dialog \"" << TextOf(dialog) << "\" was still open; ended it";
        EndDialog(dialog, -1);
    });
}

} // namespace dialog_automation

// What a message box showed before it was answered.
struct SeenMessageBox {
    bool seen = false;
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;
};

// Answers the next message box that opens by clicking its button with the id given (IDOK,
// IDYES…). The box's caption, text and buttons are kept in *seen when given (it must outlive
// the box). When no box opens, nothing is clicked and seen->seen stays false; a box the click
// did not close is ended with -1 and fails the test.
inline void AnswerMessageBox(HeadlessBackend& backend, int buttonId, SeenMessageBox* seen = nullptr)
{
    using namespace dialog_automation;
    WhenWindowOpens(
        backend,
        [] {
            for (HWND dlg : ShownDialogs())
                if (GetDlgItem(dlg, kMessageBoxTextId))
                    return dlg;
            return static_cast<HWND>(nullptr);
        },
        [&backend, buttonId, seen](HWND box) {
            if (seen) {
                seen->seen = true;
                seen->caption = TextOf(box);
                seen->text = TextOf(GetDlgItem(box, kMessageBoxTextId));
                for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                    if ((SendMessage(c, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON))
                        seen->buttons.push_back(TextOf(c));
            }
            if (HWND button = GetDlgItem(box, buttonId))
                backend.Click(1, CentreOf(button));
            EnsureClosed(backend, box);
        },
        nullptr);
}

// How to fill a dialog: texts typed into controls (their old text selected and replaced),
// check boxes and radio buttons brought to a check state by clicking them, then the button that
// closes it.
struct DialogFill {
    std::map<int, std::string> texts;
    std::map<int, UINT> checks;
    int closeWith = IDOK;
    // Runs in the open dialog before the input is injected (to read what it shows).
    std::function<void(HWND)> inspect;
};

// Fills the next dialog made from the resource template `templateId` when it opens, through the
// mouse and the keyboard. *opened tells whether it came. A dialog the closing click did not
// close (a refused value, a wrong id) is ended with -1 and fails the test.
inline void FillDialog(HeadlessBackend& backend, UINT templateId, DialogFill fill, bool* opened = nullptr)
{
    using namespace dialog_automation;
    if (opened)
        *opened = false;
    WhenWindowOpens(
        backend,
        [templateId] {
            for (HWND dlg : ShownDialogs())
                if (reinterpret_cast<uintptr_t>(GetProp(dlg, DIALOG_TEMPLATE_ID_PROP)) == templateId)
                    return dlg;
            return static_cast<HWND>(nullptr);
        },
        [&backend, fill, opened](HWND dlg) {
            if (opened)
                *opened = true;
            if (fill.inspect)
                fill.inspect(dlg);
            for (const auto& [id, text] : fill.texts) {
                HWND control = GetDlgItem(dlg, id);
                if (!control)
                    continue;
                Retype(backend, control, text);
            }
            for (const auto& [id, check] : fill.checks) {
                HWND control = GetDlgItem(dlg, id);
                if (!control)
                    continue;
                // A three-state box may need two clicks; the clicks are counted from the state now.
                UINT state = static_cast<UINT>(SendMessage(control, BM_GETCHECK, 0, 0));
                const bool threeState = (GetWindowLong(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTO3STATE;
                for (int i = 0; i < 3 && state != check; ++i) {
                    backend.Click(1, CentreOf(control));
                    backend.Advance(GetDoubleClickTime() + 1);
                    state = threeState ? (state + 1) % 3 : (state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
                }
            }
            if (HWND close = GetDlgItem(dlg, fill.closeWith))
                backend.Click(1, CentreOf(close));
            EnsureClosed(backend, dlg);
        },
        nullptr);
}
