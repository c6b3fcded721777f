// The dialog manager: dialogs made from templates (modeless and modal), the dialog class and
// its default procedure, the dialog item helpers, and keyboard navigation between controls.
#pragma once

#include "platform/core/ResourceFormats.h"
#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

// ---- Messages ----
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DM_REPOSITION (WM_USER + 2)
#define DC_HASDEFID 0x534B

#ifndef IDOK
#define IDOK 1
#endif
#ifndef IDCANCEL
#define IDCANCEL 2
#endif

// ---- Styles of dialog templates ----
#define DS_ABSALIGN 0x01L
#define DS_SYSMODAL 0x02L
#define DS_3DLOOK 0x0004L
#define DS_FIXEDSYS 0x0008L
#define DS_NOFAILCREATE 0x0010L
#define DS_LOCALEDIT 0x20L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_NOIDLEMSG 0x100L
#define DS_SETFOREGROUND 0x200L
#define DS_CONTROL 0x0400L
#define DS_CENTER 0x0800L
#define DS_CENTERMOUSE 0x1000L
#define DS_CONTEXTHELP 0x2000L
#define DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

// A dialog made from a resource with an integer name keeps that id in this window property, so
// that tools driving the program's dialogs can tell them apart.
#define DIALOG_TEMPLATE_ID_PROP "DialogTemplateId"

// Creates a modeless dialog from a compiled template (ResourceFormats.h): the window, its font, its controls in template
// order (the tab order), WM_INITDIALOG with `dwInitParam`, and shows it when the template asks
// for WS_VISIBLE. Null when the template is malformed, the dialog procedure refuses the
// creation, or a control cannot be made (unless DS_NOFAILCREATE).
HWND CreateDialogIndirectParam(HINSTANCE hInstance, LPCDLGTEMPLATE lpTemplate, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam);
HWND CreateDialogIndirect(HINSTANCE hInstance, LPCDLGTEMPLATE lpTemplate, HWND hWndParent, DLGPROC lpDialogFunc);
// Runs a modal dialog: the owner is disabled while it runs, the dialog's own loop routes the
// keyboard through IsDialogMessage, and the value given to EndDialog comes back; -1 when the
// dialog could not be made.
INT_PTR DialogBoxIndirectParam(HINSTANCE hInstance, LPCDLGTEMPLATE hDialogTemplate, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam);
INT_PTR DialogBoxIndirect(HINSTANCE hInstance, LPCDLGTEMPLATE hDialogTemplate, HWND hWndParent, DLGPROC lpDialogFunc);
// The same from the RT_DIALOG resource of a module (null: the program), by name or
// MAKEINTRESOURCE id; null (or -1) with ERROR_RESOURCE_NAME_NOT_FOUND when there is none.
HWND CreateDialogParam(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                       LPARAM dwInitParam);
INT_PTR DialogBoxParam(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                       LPARAM dwInitParam);
// Ends a modal dialog with a result (the loop ends once the current message is handled) and
// hides it. For a modeless dialog only hides it.
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
// The default procedure of dialog windows: calls the dialog procedure kept at DWLP_DLGPROC and
// does the rest (background, focus kept across activation, default button, Esc/close).
LRESULT CALLBACK DefDlgProc(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);

// Routes a message meant for a dialog or one of its controls: Tab and Shift+Tab, the arrow keys
// within a group, Enter on the default button, Esc, and mnemonics. TRUE when the message was
// handled (then it was also dispatched when it had to be).
BOOL IsDialogMessage(HWND hDlg, LPMSG lpMsg);
// What a typed mnemonic character does in a dialog, for a window that holds controls without
// being one: the control whose label underlines it is pressed (a label hands the focus on to
// the control after it). FALSE when no usable control carries it.
BOOL PressMnemonic(HWND hWnd, int key);

// The next (or previous) visible, enabled control with WS_TABSTOP after hCtl in creation order,
// wrapping round; the first one when hCtl is null.
HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
// Where the focus goes when Tab (or the dialog's opening) reaches hCtl: the chosen button of a
// group of radio buttons rather than the first, so that the focus rectangle marks the choice;
// hCtl itself otherwise.
HWND GetDlgTabFocus(HWND hDlg, HWND hCtl);
// The next (or previous) visible, enabled control of hCtl's group (from a WS_GROUP control to
// the next one), wrapping round within the group.
HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
// Dialog units to pixels with the dialog's base units.
BOOL MapDialogRect(HWND hDlg, LPRECT lpRect);
// The base units of the default dialog font: average character width (low word) and height.
LONG GetDialogBaseUnits();

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
UINT IsDlgButtonChecked(HWND hDlg, int nIDButton);
// Checks one radio button of a range of ids and unchecks the others.
BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
