// Message boxes: a modal dialog with a text, an icon drawn in the classic style, a set of
// buttons and a default one; and the reporting hook of the class library's exceptions.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

// Each flag on its own: some may come already from other headers.
#ifndef MB_OK
#define MB_OK 0x00000000L
#endif
#ifndef MB_OKCANCEL
#define MB_OKCANCEL 0x00000001L
#endif
#ifndef MB_ABORTRETRYIGNORE
#define MB_ABORTRETRYIGNORE 0x00000002L
#endif
#ifndef MB_YESNOCANCEL
#define MB_YESNOCANCEL 0x00000003L
#endif
#ifndef MB_YESNO
#define MB_YESNO 0x00000004L
#endif
#ifndef MB_RETRYCANCEL
#define MB_RETRYCANCEL 0x00000005L
#endif
#ifndef MB_CANCELTRYCONTINUE
#define MB_CANCELTRYCONTINUE 0x00000006L
#endif
#ifndef MB_ICONHAND
#define MB_ICONHAND 0x00000010L
#endif
#ifndef MB_ICONQUESTION
#define MB_ICONQUESTION 0x00000020L
#endif
#ifndef MB_ICONEXCLAMATION
#define MB_ICONEXCLAMATION 0x00000030L
#endif
#ifndef MB_ICONASTERISK
#define MB_ICONASTERISK 0x00000040L
#endif
#ifndef MB_ICONWARNING
#define MB_ICONWARNING MB_ICONEXCLAMATION
#endif
#ifndef MB_ICONERROR
#define MB_ICONERROR MB_ICONHAND
#endif
#ifndef MB_ICONINFORMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#endif
#ifndef MB_ICONSTOP
#define MB_ICONSTOP MB_ICONHAND
#endif
#ifndef MB_DEFBUTTON1
#define MB_DEFBUTTON1 0x00000000L
#endif
#ifndef MB_DEFBUTTON2
#define MB_DEFBUTTON2 0x00000100L
#endif
#ifndef MB_DEFBUTTON3
#define MB_DEFBUTTON3 0x00000200L
#endif
#ifndef MB_DEFBUTTON4
#define MB_DEFBUTTON4 0x00000300L
#endif
#ifndef MB_APPLMODAL
#define MB_APPLMODAL 0x00000000L
#endif
#ifndef MB_SYSTEMMODAL
#define MB_SYSTEMMODAL 0x00001000L
#endif
#ifndef MB_TASKMODAL
#define MB_TASKMODAL 0x00002000L
#endif
#ifndef MB_SETFOREGROUND
#define MB_SETFOREGROUND 0x00010000L
#endif
#ifndef MB_TOPMOST
#define MB_TOPMOST 0x00040000L
#endif
#ifndef MB_TYPEMASK
#define MB_TYPEMASK 0x0000000FL
#endif
#ifndef MB_ICONMASK
#define MB_ICONMASK 0x000000F0L
#endif
#ifndef MB_DEFMASK
#define MB_DEFMASK 0x00000F00L
#endif

#ifndef IDOK
#define IDOK 1
#endif
#ifndef IDCANCEL
#define IDCANCEL 2
#endif
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDCLOSE 8
#define IDHELP 9
#define IDTRYAGAIN 10
#define IDCONTINUE 11

// The control ids inside a message box: its text and its icon.
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconId = 20;

// Shows a modal message box owned by hWnd's top-level window (or by nobody) and returns the id
// of the button chosen. Esc and the close box answer IDCANCEL when there is a Cancel button and
// IDOK in a box with OK alone; otherwise they do nothing. A null caption gives "Error".
// 0 when the box cannot be shown.
int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

// The icon kinds of MB_ICON…, drawn into a 32 × 32 square at (x, y).
void DrawMessageBoxIcon(HDC dc, int x, int y, UINT iconFlag);

// Makes exceptions' ReportError show message boxes (owned by the active window).
void InstallMessageBoxErrorReports();
