// Process and system services: the program's module, libraries, temporary files, names of the
// computer and user, environment, local memory, the system version and opening documents.
// All functions are callable from any thread.
#pragma once

#include "platform/core/Types.h"
#include "platform/core/WinError.h"


#define MAX_COMPUTERNAME_LENGTH 15
#define UNLEN 256

typedef INT_PTR (*FARPROC)();

// The program's instance handle: GetModuleHandle(nullptr) and the module of the executable.
#define VOSTREL_PROGRAM_INSTANCE (reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x00400000u)))

// For the program (null or its instance handle) the path of the executable; for a library loaded
// with LoadLibrary its registered name. A buffer too small gets the path cut to nSize - 1
// characters and ERROR_INSUFFICIENT_BUFFER, and nSize is returned.
DWORD GetModuleFileName(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
// Null gives the program's instance handle; a registered library name its pseudo handle.
HMODULE GetModuleHandle(LPCSTR lpModuleName);

// The platform's libraries do not exist here: loading one answers null with ERROR_MOD_NOT_FOUND,
// except for names registered with RegisterModuleVersion (VersionInfo.h), which load as modules
// that only carry a version. No module exports functions.
HMODULE LoadLibrary(LPCSTR lpLibFileName);
BOOL FreeLibrary(HMODULE hLibModule);
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);

// $TMPDIR, else "/tmp", always with a trailing "/". Returns the length, or the size needed
// (with the NUL) when the buffer is too small.
DWORD GetTempPath(DWORD nBufferLength, LPSTR lpBuffer);
// Makes "<path>/<up to 3 prefix characters><hex number>.tmp" in a MAX_PATH buffer. With uUnique
// 0 a free number is found and the empty file is created (exclusively, mode 0600); otherwise the
// name is only formed from uUnique. Returns the number used, or 0 on failure.
UINT GetTempFileName(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName);

// The host name's first label in upper case, cut to MAX_COMPUTERNAME_LENGTH characters. *lpnSize
// is the buffer size in; the length out, or the size needed with ERROR_BUFFER_OVERFLOW.
BOOL GetComputerName(LPSTR lpBuffer, LPDWORD lpnSize);
// The login name; *pcbBuffer becomes its size with the NUL (also when the buffer is too small,
// with ERROR_INSUFFICIENT_BUFFER).
BOOL GetUserName(LPSTR lpBuffer, LPDWORD pcbBuffer);

// Returns the length, the size needed (with the NUL) when the buffer is too small, or 0 with
// ERROR_ENVVAR_NOT_FOUND.
DWORD GetEnvironmentVariable(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize);
// Replaces each %NAME% of a set variable; others stay as they are. Returns the size of the
// result with its NUL; the result is only written when it fits.
DWORD ExpandEnvironmentStrings(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize);

#define LMEM_FIXED 0x0000u
#define LMEM_MOVEABLE 0x0002u
#define LMEM_ZEROINIT 0x0040u
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)
// Heap blocks for buffers handed across the API, e.g. by FormatMessage. LocalFree returns null on
// success.
HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes);
HLOCAL LocalFree(HLOCAL hMem);
// Hands the memory the program has freed back to the system, from every thread's allocator
// arena: a freed block otherwise stays with the process, counted in its resident size. Worth
// its few milliseconds after large structures went (a project closed, a scan's pages made
// anew).
void ReleaseFreedMemory();
// Sets the allocator up for a program whose threads come and go (a scan's, a save's) and whose
// large blocks are passing ones, so that what a thread freed can go back to the system: large
// blocks always come from the system and go back to it when freed, and so does freed memory at
// the end of any thread's arena. Each thread keeps an arena of its own: threads sharing one
// would wait for each other at every allocation. Call it early, before such threads start.
void SetUpAllocator();

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2
struct OSVERSIONINFO {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
typedef OSVERSIONINFO* LPOSVERSIONINFO;
// The running kernel: its release numbers as major, minor and build, platform
// VER_PLATFORM_WIN32_NT, and "<system> <release>" as the service-pack text.
BOOL GetVersionEx(LPOSVERSIONINFO lpVersionInformation);

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31
#define SE_ERR_DLLNOTFOUND 32
// "open" (or no verb) hands the file or URL to the desktop's opener, xdg-open, started without a
// shell and not waited for. Returns a value above 32 on success, else an SE_ERR_* code: a local
// file that does not exist gives SE_ERR_FNF, a missing opener or another verb SE_ERR_NOASSOC.
HINSTANCE ShellExecute(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                       LPCSTR lpDirectory, INT nShowCmd);
