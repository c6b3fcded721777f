// Helpers the common dialogs share (not a public interface): the thread's extended error, the
// items of their built-in templates, a caller's template and hook, and small text utilities.
#pragma once

#include "platform/controls/CommonDialog.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#include <string>
#include <vector>

namespace commdlg {

void SetError(DWORD code);
// Every common dialog starts here: no error yet, and the control classes registered.
void Begin();

// A built-in dialog template in the look of the layer: a modal frame, a caption, the dialog
// font, centred on the owner.
DialogTemplate Frame(const char* title, short cx, short cy);
// One item of a built-in template, WS_CHILD and WS_VISIBLE added.
void Add(DialogTemplate& t, DialogControlClass cls, const char* text, DWORD style, short x, short y, short cx,
         short cy, int id);

// The template a caller names: a resource of a module by name or id. Empty bytes, and the error
// set, when there is none.
bool LoadCallerTemplate(HINSTANCE instance, LPCSTR name, std::vector<BYTE>& bytes);

// The text of a dialog item.
std::string ItemText(HWND dlg, int id);
// Copies text into a caller's buffer of `size` bytes, cut and always ended; false when cut.
bool CopyOut(const std::string& text, LPSTR buffer, size_t size);

} // namespace commdlg
