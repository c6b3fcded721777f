// The window manager's functions: classes, the window tree, positions, messages, focus and
// capture, painting, timers and hooks. Unless a declaration says otherwise, a function that
// takes a window runs on the thread that owns that window.
#pragma once

#include "platform/core/MessageQueue.h"
#include "platform/core/Types.h"
#include "platform/core/WindowHandle.h"
#include "platform/win/WinUser.h"

// ---- Window classes ----
ATOM RegisterClass(const WNDCLASS* lpWndClass);
ATOM RegisterClassEx(const WNDCLASSEX* lpwcx);
BOOL UnregisterClass(LPCSTR lpClassName, HINSTANCE hInstance);
BOOL GetClassInfo(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASS lpWndClass);
BOOL GetClassInfoEx(HINSTANCE hInstance, LPCSTR lpszClass, LPWNDCLASSEX lpwcx);
ULONG_PTR GetClassLongPtr(HWND hWnd, int nIndex);
ULONG_PTR SetClassLongPtr(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
DWORD GetClassLong(HWND hWnd, int nIndex);
DWORD SetClassLong(HWND hWnd, int nIndex, LONG dwNewLong);
WORD GetClassWord(HWND hWnd, int nIndex);
int GetClassName(HWND hWnd, LPSTR lpClassName, int nMaxCount);

// Names of the classes that the standard controls register (the controls library registers
// them; these are the names callers and dialog templates use).
#define WC_BUTTON "Button"
#define WC_STATIC "Static"
#define WC_EDIT "Edit"
#define WC_LISTBOX "ListBox"
#define WC_COMBOBOX "ComboBox"
#define WC_COMBOLBOX "ComboLBox"
#define WC_SCROLLBAR "ScrollBar"
#define WC_MDICLIENT "MDIClient"
#define WC_DIALOG MAKEINTRESOURCE(0x8002)   // the dialog class atom "#32770"
#define WC_DIALOG_NAME "#32770"
#define WC_MENU_NAME "#32768"
#define WC_DESKTOP_NAME "#32769"
#define WC_TOOLTIPS "tooltips_class32"
#define WC_MESSAGE_NAME "Message"

// ---- Creation and destruction ----
HWND CreateWindowEx(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                    int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                    LPVOID lpParam);
HWND CreateWindow(LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int x, int y, int nWidth,
                  int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam);
BOOL DestroyWindow(HWND hWnd);
LRESULT DefWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// ---- Tree ----
HWND GetDesktopWindow();
HWND GetParent(HWND hWnd);
HWND SetParent(HWND hWndChild, HWND hWndNewParent);
HWND GetAncestor(HWND hwnd, UINT gaFlags);
HWND GetWindow(HWND hWnd, UINT uCmd);
HWND GetTopWindow(HWND hWnd);
HWND GetNextWindow(HWND hWnd, UINT wCmd);
HWND GetLastActivePopup(HWND hWnd);
BOOL EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam);
BOOL EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam);
BOOL EnumThreadWindows(DWORD dwThreadId, WNDENUMPROC lpfn, LPARAM lParam);
HWND FindWindow(LPCSTR lpClassName, LPCSTR lpWindowName);
HWND FindWindowEx(HWND hWndParent, HWND hWndChildAfter, LPCSTR lpszClass, LPCSTR lpszWindow);
BOOL IsChild(HWND hWndParent, HWND hWnd);
BOOL IsWindowVisible(HWND hWnd);
BOOL IsWindowEnabled(HWND hWnd);
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL IsIconic(HWND hWnd);
BOOL IsZoomed(HWND hWnd);
BOOL IsWindowUnicode(HWND hWnd);

// ---- Position, size, visibility ----
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
HDWP BeginDeferWindowPos(int nNumWindows);
HDWP DeferWindowPos(HDWP hWinPosInfo, HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy,
                    UINT uFlags);
BOOL EndDeferWindowPos(HDWP hWinPosInfo);
BOOL BringWindowToTop(HWND hWnd);
BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl);
BOOL SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* lpwndpl);
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint);
BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint);
int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints);
HWND WindowFromPoint(POINT Point);
HWND ChildWindowFromPoint(HWND hWndParent, POINT Point);
HWND ChildWindowFromPointEx(HWND hwnd, POINT pt, UINT flags);
HWND RealChildWindowFromPoint(HWND hwndParent, POINT ptParentClientCoords);
BOOL AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu);
BOOL AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle);

// ---- Window data ----
LONG GetWindowLong(HWND hWnd, int nIndex);
LONG SetWindowLong(HWND hWnd, int nIndex, LONG dwNewLong);
LONG_PTR GetWindowLongPtr(HWND hWnd, int nIndex);
LONG_PTR SetWindowLongPtr(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
WORD GetWindowWord(HWND hWnd, int nIndex);
WORD SetWindowWord(HWND hWnd, int nIndex, WORD wNewWord);
BOOL SetProp(HWND hWnd, LPCSTR lpString, HANDLE hData);
HANDLE GetProp(HWND hWnd, LPCSTR lpString);
HANDLE RemoveProp(HWND hWnd, LPCSTR lpString);
int EnumProps(HWND hWnd, PROPENUMPROC lpEnumFunc);
int EnumPropsEx(HWND hWnd, PROPENUMPROCEX lpEnumFunc, LPARAM lParam);
BOOL SetWindowText(HWND hWnd, LPCSTR lpString);
int GetWindowText(HWND hWnd, LPSTR lpString, int nMaxCount);
int GetWindowTextLength(HWND hWnd);
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
int GetDlgCtrlID(HWND hWnd);
BOOL SetDlgItemText(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
UINT GetDlgItemText(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);
BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned);
UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned);
LRESULT SendDlgItemMessage(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);
// Message numbers 0xC000..0xFFFF shared by name (case-insensitive) for the process.
// Callable from any thread.
UINT RegisterWindowMessage(LPCSTR lpString);

// ---- Messages ----
// Turns a WM_KEYDOWN/WM_SYSKEYDOWN that carried text into WM_CHAR/WM_SYSCHAR messages posted
// ahead of everything else: one per character of the text the key produced (UTF-8 sequences
// are posted as their single bytes' code points when below 0x80, otherwise as the byte values
// of the UTF-8 sequence in order). TRUE when something was posted.
BOOL TranslateMessage(const MSG* lpMsg);
// Runs a modal loop on the calling thread's queue until `done` becomes true or WM_QUIT is
// seen (the quit is posted again for the outer loop). Returns FALSE when it ended on WM_QUIT.
// Each message goes through the message filter hook with the code given.
BOOL RunModalLoop(const bool& done, int filterCode);
// Waits for the next message of a loop that tracks the mouse while hwnd holds the capture.
// false when the loop is over: the window went away or lost the capture, or WM_QUIT came (it
// is posted again for the outer loop).
bool GetTrackingMessage(HWND hwnd, MSG& msg);

// ---- Focus, activation, capture ----
HWND SetFocus(HWND hWnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hWnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hWnd);
HWND GetForegroundWindow();
HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HWND GetCapture();
// Asks for WM_MOUSELEAVE (WM_NCMOUSELEAVE with TME_NONCLIENT) when the pointer leaves the
// window's client (non-client) area, and for WM_MOUSEHOVER (WM_NCMOUSEHOVER) when it rests in
// it for the hover time. One window of a thread is tracked at a time; each signal ends its own
// request, and a leave ends both. TME_CANCEL withdraws a request, TME_QUERY reports the current
// one. Asking for a leave while the pointer is already elsewhere posts the leave at once.
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT lpEventTrack);
// The activation decision of a mouse press on `hwnd` (a child or a top-level window) with the
// hit-test code and the mouse message: asks WM_MOUSEACTIVATE, activates the top-level window
// when the answer allows it, and returns the answer (MA_…). The mouse input path calls it.
int MouseActivate(HWND hwnd, int hitTest, UINT mouseMessage);

// ---- Painting ----
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
BOOL InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase);
BOOL ValidateRect(HWND hWnd, const RECT* lpRect);
BOOL ValidateRgn(HWND hWnd, HRGN hRgn);
BOOL UpdateWindow(HWND hWnd);
BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags);
BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase);
int GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase);
HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
BOOL ScrollWindow(HWND hWnd, int XAmount, int YAmount, const RECT* lpRect, const RECT* lpClipRect);
int ScrollWindowEx(HWND hWnd, int dx, int dy, const RECT* prcScroll, const RECT* prcClip,
                   HRGN hrgnUpdate, LPRECT prcUpdate, UINT flags);
BOOL LockWindowUpdate(HWND hWndLock);
HDC GetDC(HWND hWnd);
HDC GetWindowDC(HWND hWnd);
HDC GetDCEx(HWND hWnd, HRGN hrgnClip, DWORD flags);
int ReleaseDC(HWND hWnd, HDC hDC);
HWND WindowFromDC(HDC hDC);

// ---- Hooks ----
HHOOK SetWindowsHookEx(int idHook, HOOKPROC lpfn, HINSTANCE hmod, DWORD dwThreadId);
BOOL UnhookWindowsHookEx(HHOOK hhk);
LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam);
BOOL CallMsgFilter(LPMSG lpMsg, int nCode);

// ---- Metrics and colours (a classic light palette) ----
int GetSystemMetrics(int nIndex);
// The colours and brushes may be read from any thread.
DWORD GetSysColor(int nIndex);
// The brush of a system colour: owned by the system (DeleteObject leaves it alone) and
// recoloured in place by SetSysColors, so a class background brush follows the palette.
HBRUSH GetSysColorBrush(int nIndex);
// Changes cElements colours of the palette, recolours their brushes and sends
// WM_SYSCOLORCHANGE to every top-level window. FALSE, changing nothing, when an index is out of
// range. Callable from any thread.
BOOL SetSysColors(int cElements, const INT* lpaElements, const COLORREF* lpaRgbValues);
// The double-click interval in milliseconds. Callable from any thread.
UINT GetDoubleClickTime();
// Sets the double-click interval; 0 restores the default (500 ms).
BOOL SetDoubleClickTime(UINT uInterval);
BOOL MessageBeep(UINT uType);

// Menus, menu bars, pop-up menus and accelerators.
#include "platform/win/MenuApi.h"
