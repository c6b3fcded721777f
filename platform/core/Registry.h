// The registry functions: typed values under keys, kept per user in a text file (see
// CRegistryStore for where and in which form).
//
// Roots: HKEY_CURRENT_USER is the user's own store, read lazily and written back atomically
// whenever a handle that changed something is closed or flushed, and at process exit.
// HKEY_LOCAL_MACHINE is an empty, read-only tree: machine values such as the connection limits
// under "Software\Microsoft\Windows\CurrentVersion\Internet Settings" are absent, so callers use
// their defaults. HKEY_CLASSES_ROOT is read-only and holds one key ".<ext>" per extension of
// /etc/mime.types (a small built-in table when that is missing) with the REG_SZ value
// "Content Type". Writing below the read-only roots fails with ERROR_ACCESS_DENIED.
//
// Key names are case-insensitive and keep the case they were created with; paths are separated
// by "\". Subkeys enumerate in case-insensitive name order, values in the order they were first
// set. String values always read back with their terminating NUL counted, so a buffer must hold
// it; a value of another type than the caller expects is reported with its real type.
// All functions are callable from any thread.
#pragma once

#include "platform/core/Types.h"
#include "platform/core/WinError.h"

struct FILETIME;

typedef DWORD REGSAM;
typedef DWORD ACCESS_MASK;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(0x80000000u))))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(0x80000001u))))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(0x80000002u))))

#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u
#define REG_DWORD_LITTLE_ENDIAN 4u
#define REG_DWORD_BIG_ENDIAN 5u
#define REG_LINK 6u
#define REG_MULTI_SZ 7u
#define REG_QWORD 11u

#define REG_OPTION_NON_VOLATILE 0x00000000u
#define REG_OPTION_VOLATILE 0x00000001u

#define REG_CREATED_NEW_KEY 0x00000001u
#define REG_OPENED_EXISTING_KEY 0x00000002u

#ifndef DELETE
#define DELETE 0x00010000u
#endif
#ifndef READ_CONTROL
#define READ_CONTROL 0x00020000u
#endif
#ifndef SYNCHRONIZE
#define SYNCHRONIZE 0x00100000u
#endif
#ifndef MAXIMUM_ALLOWED
#define MAXIMUM_ALLOWED 0x02000000u
#endif
#define KEY_QUERY_VALUE 0x0001u
#define KEY_SET_VALUE 0x0002u
#define KEY_CREATE_SUB_KEY 0x0004u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_NOTIFY 0x0010u
#define KEY_CREATE_LINK 0x0020u
#define KEY_READ 0x00020019u
#define KEY_EXECUTE 0x00020019u
#define KEY_WRITE 0x00020006u
#define KEY_ALL_ACCESS 0x000F003Fu

// The longest key name component and value name the store accepts.
#define REG_MAX_KEY_NAME_LENGTH 255
#define REG_MAX_VALUE_NAME_LENGTH 16383

LONG RegOpenKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegOpenKey(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult);
LONG RegCreateKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                    REGSAM samDesired, void* lpSecurityAttributes, PHKEY phkResult,
                    LPDWORD lpdwDisposition);
LONG RegCreateKey(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult);
LONG RegCloseKey(HKEY hKey);
LONG RegFlushKey(HKEY hKey);

// lpData null with lpcbData set asks for the size; a buffer too small gives ERROR_MORE_DATA with
// the size needed in *lpcbData. *lpType is filled whenever the value exists.
LONG RegQueryValueEx(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                     LPBYTE lpData, LPDWORD lpcbData);
// Strings are stored up to their first NUL; REG_DWORD takes exactly 4 bytes.
LONG RegSetValueEx(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                   DWORD cbData);
LONG RegDeleteValue(HKEY hKey, LPCSTR lpValueName);
// Fails with ERROR_ACCESS_DENIED on a key that still has subkeys.
LONG RegDeleteKey(HKEY hKey, LPCSTR lpSubKey);

LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                  LPSTR lpClass, LPDWORD lpcchClass, FILETIME* lpftLastWriteTime);
LONG RegEnumKey(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName);
LONG RegEnumValue(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                  LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
// Key classes and security descriptors are not kept: their sizes read as 0.
LONG RegQueryInfoKey(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                     LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                     LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                     LPDWORD lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime);
