// The table of standard control classes.
#include "platform/controls/StandardControls.h"

#include "platform/controls/Button.h"
#include "platform/controls/ComboBoxControl.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/EditControl.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/ListBoxControl.h"
#include "platform/controls/MdiClient.h"
#include "platform/controls/Progress.h"
#include "platform/controls/ScrollBarControl.h"
#include "platform/controls/Static.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/ToolTip.h"
#include "platform/controls/ToolbarControl.h"
#include "platform/controls/UpDown.h"
#include "platform/win/Cursor.h"

#include <mutex>

namespace {

struct ControlClass {
    LPCSTR name;
    WNDPROC proc;
    UINT style;
    int extraBytes;
    LPCSTR cursor;
    int background;   // a system colour index + 1, or 0 for none
};

const ControlClass kClasses[] = {
    {WC_EDIT, EditControl::EditWndProc, CS_DBLCLKS, kControlExtraBytes, IDC_IBEAM, 0},
    {RICHEDIT_CLASS, EditControl::RichEditWndProc, CS_DBLCLKS, kControlExtraBytes, IDC_IBEAM, 0},
    {WC_LISTBOX, ListBoxControl::WndProc, CS_DBLCLKS, kControlExtraBytes, IDC_ARROW, 0},
    {WC_COMBOBOX, ComboBoxControl::WndProc, CS_DBLCLKS, kControlExtraBytes, IDC_ARROW, 0},
    {WC_COMBOLBOX, ListBoxControl::WndProc, CS_DBLCLKS | CS_SAVEBITS, kControlExtraBytes, IDC_ARROW, 0},
    {WC_BUTTON, ButtonWndProc, CS_DBLCLKS | CS_PARENTDC, kControlExtraBytes, IDC_ARROW, 0},
    {WC_STATIC, StaticWndProc, CS_DBLCLKS | CS_PARENTDC, kControlExtraBytes, IDC_ARROW, 0},
    {WC_SCROLLBAR, ScrollBarControlWndProc, CS_DBLCLKS | CS_PARENTDC, kControlExtraBytes, IDC_ARROW, 0},
    {PROGRESS_CLASS, ProgressWndProc, 0, kControlExtraBytes, IDC_ARROW, 0},
    {STATUSCLASSNAME, StatusBarWndProc, CS_DBLCLKS, kControlExtraBytes, IDC_ARROW, 0},
    {TOOLBARCLASSNAME, ToolbarWndProc, CS_DBLCLKS, kControlExtraBytes, IDC_ARROW, 0},
    {UPDOWN_CLASS, UpDownWndProc, 0, kControlExtraBytes, IDC_ARROW, 0},
    // The empty part of the client shows the application workspace colour.
    {WC_MDICLIENT, MdiClientWndProc, 0, kControlExtraBytes, IDC_ARROW, COLOR_APPWORKSPACE + 1},
    {TOOLTIPS_CLASS, ToolTipWndProc, CS_SAVEBITS | CS_DROPSHADOW, kControlExtraBytes, IDC_ARROW, 0},
    // A dialog keeps its result, procedure and user value in its extra bytes.
    {WC_DIALOG, DefDlgProc, CS_DBLCLKS | CS_SAVEBITS, DLGWINDOWEXTRA, IDC_ARROW, 0},
};

} // namespace

void RegisterStandardControls()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const ControlClass& c : kClasses) {
            WNDCLASS wc{};
            wc.style = c.style | CS_GLOBALCLASS;
            wc.lpfnWndProc = c.proc;
            wc.cbWndExtra = c.extraBytes;
            wc.hCursor = LoadCursor(nullptr, c.cursor);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(c.background));
            wc.lpszClassName = c.name;
            RegisterClass(&wc);
        }
    });
}
