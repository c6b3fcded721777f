#include "platform/controls/StandardControls.h"

#include "platform/controls/EditControl.h"
#include "platform/controls/EditDefs.h"
#include "platform/win/Cursor.h"
#include "platform/win/UserApi.h"

namespace {

void Register(const char* name, WNDPROC proc, UINT style, LPCSTR cursor)
{
    WNDCLASS wc{};
    wc.style = style | CS_GLOBALCLASS;
    wc.lpfnWndProc = proc;
    // Each control keeps a pointer to its state in its first extra bytes.
    wc.cbWndExtra = sizeof(void*);
    wc.hCursor = LoadCursor(nullptr, cursor);
    wc.lpszClassName = name;
    RegisterClass(&wc);
}

} // namespace

void RegisterStandardControls()
{
    WNDCLASS existing{};
    if (GetClassInfo(nullptr, WC_EDIT, &existing))
        return;
    Register(WC_EDIT, EditControl::EditWndProc, CS_DBLCLKS, IDC_IBEAM);
    Register(RICHEDIT_CLASS, EditControl::RichEditWndProc, CS_DBLCLKS, IDC_IBEAM);
}
