// The value dialogs run modally on the headless backend, with the model installed and the grid
// library's cell controls and window classes ready; an action runs in the open dialog.
#pragma once

#include "grid/core/CGXControlFactory.h"
#include "grid/features/GXGridFeatures.h"
#include "tests/app/PanesFixture.h"
#include "tests/support/DialogAutomation.h"

#include <functional>

class MetaDialogsTest : public PanesTest {
protected:
    void SetUp() override
    {
        PanesTest::SetUp();
        GXInitControlFactory();
        GXInstallGridFeatures();
    }
    // Runs the dialog; `act` runs once it shows (then the dialog must close within the idle
    // turns EnsureClosed allows). The dialog's result.
    template <class Dlg>
    INT_PTR Run(Dlg& dlg, UINT templateId, std::function<void(HWND)> act)
    {
        using namespace dialog_automation;
        WhenWindowOpens(
            *backend,
            [templateId] {
                for (HWND d : ShownDialogs())
                    if (reinterpret_cast<uintptr_t>(GetProp(d, DIALOG_TEMPLATE_ID_PROP)) == templateId)
                        return d;
                return HWND{};
            },
            [this, act](HWND d) {
                act(d);
                EnsureClosed(*backend, d);
            },
            [] { ADD_FAILURE() << "the dialog never opened"; });
        return dlg.DoModal();
    }
    // Presses a dialog's button as its click would. A posted null message wakes the modal loop,
    // which otherwise sleeps until the next input and never sees that the dialog ended.
    static void Press(HWND dlg, UINT nId)
    {
        SendMessage(dlg, WM_COMMAND, nId, reinterpret_cast<LPARAM>(GetDlgItem(dlg, nId)));
        PostMessage(dlg, WM_NULL, 0, 0);
    }
    // Presses it at the next idle turn, after what is queued now.
    void PressLater(HWND dlg, UINT nId)
    {
        backend->WhenIdle([dlg, nId] { Press(dlg, nId); });
    }
};
