// What the dialog manager keeps per dialog, shared by its creation, default procedure and
// keyboard navigation (not a public interface).
#pragma once

#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

// A modal dialog's loop state; it lives on the loop's stack, so it outlives the window.
struct ModalRun {
    bool ended = false;
    INT_PTR result = 0;
    // The owner the run disabled as the dialog was shown, until it is enabled again: EndDialog
    // enables it before hiding the dialog, so that the activation goes back to an enabled owner.
    HWND disabledOwner = nullptr;
    void EnableOwner()
    {
        if (disabledOwner && IsWindow(disabledOwner))
            EnableWindow(disabledOwner, TRUE);
        disabledOwner = nullptr;
    }
};

struct DialogInfo {
    HFONT font = nullptr;
    bool ownFont = false;
    SIZE baseUnits{0, 0};
    UINT defId = 0;             // DM_SETDEFID, or the template's default push button
    HWND savedFocus = nullptr;  // the control that had the focus when the dialog was left
    bool modal = false;
    ModalRun* run = nullptr;
};

// The dialog's record, made on first use; null from FindDialogInfo when there is none.
DialogInfo& DialogInfoOf(HWND dlg);
DialogInfo* FindDialogInfo(HWND dlg);
// The modal run of the dialog being created on this thread.
inline ModalRun*& PendingRun()
{
    static thread_local ModalRun* run = nullptr;
    return run;
}
// The base units of a font: the average width of the letters and the height.
SIZE DialogBaseUnitsOf(HFONT font);
// Moves the focus to a control the way the dialog manager does: an edit gets its text selected,
// and the default push button follows the focus.
void SetDialogFocus(HWND dlg, HWND control);
// DM_SETDEFID: the new default id, and the push buttons' looks to match.
void SetDefaultId(HWND dlg, UINT id);
// a * b / c rounded half away from zero, as dialog units are converted.
inline int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long p = static_cast<long long>(a) * b;
    const long long q = c < 0 ? -static_cast<long long>(c) : c;
    const long long n = c < 0 ? -p : p;
    return static_cast<int>(n >= 0 ? (n + q / 2) / q : -((-n + q / 2) / q));
}
