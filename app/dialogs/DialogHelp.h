// What the application's dialogs share: bitmap buttons named after their text, the Help
// button's context (0x20000 plus the dialog's template id) and the F1 handler.
#pragma once

#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/win/WinUser.h"

class CDialog;

inline constexpr DWORD kHelpContextWindowBase = 0x20000;

// Takes over the dialog's button and loads the bitmaps named after its text; a button whose
// images are missing stays a plain push button, so that it still shows its text.
BOOL LoadBitmapButton(CBitmapButton& button, UINT nId, CDialog* pDialog);
// The application's help on a context id.
void ShowAppHelp(DWORD nContext);
// F1: a request carrying a context id opens pop-up help on it; any other opens the help of the
// dialog's own context. Always handled (TRUE).
BOOL HandleHelpRequest(const HELPINFO* pInfo, DWORD dwDialogContext);
