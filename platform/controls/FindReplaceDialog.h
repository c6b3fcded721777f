// The modeless find and replace dialogs: they report each request (find next, replace,
// replace all, closing) to their owner with the registered message FINDMSGSTRING, whose
// lParam is the caller's FINDREPLACE with the texts and flags of the moment.
#pragma once

#include "platform/controls/CommonDialog.h"
#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

// The built-in dialogs' template ids, by which help knows them.
#define FINDDLGORD 1540
#define REPLACEDLGORD 1541

#define FINDMSGSTRING "commdlg_FindReplace"
#define HELPMSGSTRING "commdlg_help"

#define FR_DOWN 0x00000001
#define FR_WHOLEWORD 0x00000002
#define FR_MATCHCASE 0x00000004
#define FR_FINDNEXT 0x00000008
#define FR_REPLACE 0x00000010
#define FR_REPLACEALL 0x00000020
#define FR_DIALOGTERM 0x00000040
#define FR_SHOWHELP 0x00000080
#define FR_ENABLEHOOK 0x00000100
#define FR_ENABLETEMPLATE 0x00000200
#define FR_NOUPDOWN 0x00000400
#define FR_NOMATCHCASE 0x00000800
#define FR_NOWHOLEWORD 0x00001000
#define FR_ENABLETEMPLATEHANDLE 0x00002000
#define FR_HIDEUPDOWN 0x00004000
#define FR_HIDEMATCHCASE 0x00008000
#define FR_HIDEWHOLEWORD 0x00010000

typedef UINT_PTR(CALLBACK* LPFRHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

// The caller keeps this record alive, unchanged in place, for as long as the dialog is open.
struct FINDREPLACE {
    DWORD lStructSize;
    HWND hwndOwner;            // receives FINDMSGSTRING
    HINSTANCE hInstance;       // the module of lpTemplateName, or the template with FR_ENABLETEMPLATEHANDLE
    DWORD Flags;
    LPSTR lpstrFindWhat;       // in: the first text; out: the text at each request
    LPSTR lpstrReplaceWith;
    WORD wFindWhatLen;         // buffer sizes in bytes, the NUL included
    WORD wReplaceWithLen;
    LPARAM lCustData;
    LPFRHOOKPROC lpfnHook;     // FR_ENABLEHOOK: sees every message first; WM_INITDIALOG's lParam is this record
    LPCSTR lpTemplateName;     // FR_ENABLETEMPLATE: an RT_DIALOG resource of hInstance
};
typedef FINDREPLACE* LPFINDREPLACE;

// Create the modeless dialogs (shown at once) and return them, or null with the reason in
// CommDlgExtendedError (CDERR_STRUCTSIZE, CDERR_INITIALIZATION without an owner,
// FRERR_BUFFERLENGTHZERO, CDERR_NOHOOK, CDERR_FINDRESFAILURE / CDERR_LOADRESFAILURE for a
// template). The owner's message loop passes their messages through IsDialogMessage.
// A request sets one of FR_FINDNEXT, FR_REPLACE, FR_REPLACEALL or FR_DIALOGTERM in Flags, with
// FR_DOWN, FR_WHOLEWORD and FR_MATCHCASE as the dialog shows them; after FR_DIALOGTERM the
// dialog is destroyed.
HWND FindText(LPFINDREPLACE lpfr);
HWND ReplaceText(LPFINDREPLACE lpfr);
