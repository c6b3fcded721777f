// The run-time resource table: every compiled resource of the program and of each library folder
// that carries its own, keyed by (module, type, name), read through FindResource, LoadResource,
// LockResource, SizeofResource and LoadString. The data forms are in ResourceFormats.h; the
// loaders that make windows objects (bitmaps, icons, cursors, menus, accelerators, dialogs) live
// in the window layer and read through this table.
//
// Modules. The program's own resources (the executable's .rc) belong to the program's instance
// handle, VOSTREL_PROGRAM_INSTANCE, which is also what a null module means. Each library folder
// with an .rc is a module of its own, named by its folder ("grid", "toolkit", "engine", "fetch"),
// whose handle FindResourceModule gives; the search of AfxFindResourceHandle and of
// CString::LoadString goes through the program first, then the library modules in the order
// they were registered.
//
// Registration. The compiler's generated source registers its module during static
// initialisation, and the build keeps that object in every executable that links the folder's
// library (see the vostrel_resources CMake function), so nothing has to call it by hand.
// A program module with a VS_VERSION_INFO resource also becomes the program's version table
// (SetProgramVersion).
//
// All functions are callable from any thread; the data never moves or changes once registered.
#pragma once

#include "platform/core/ResourceFormats.h"
#include "platform/core/Types.h"

#include <cstddef>

// One compiled resource. type and name are MAKEINTRESOURCE values or upper-case strings.
struct ResourceEntry {
    LPCSTR type;
    LPCSTR name;
    const BYTE* data;
    DWORD size;
};

// A compiled .rc: its module name ("" or "program" for the program itself) and its entries.
struct ResourceModuleTable {
    LPCSTR moduleName;
    const ResourceEntry* entries;
    size_t count;
};

// Adds a module's table; registering the same table again is harmless. Returns the module's
// handle. A second table with the same module name is merged into it; a resource it repeats is
// kept from the first and reported on stderr, since the build checks duplicates per script only.
HMODULE RegisterResourceModule(const ResourceModuleTable& table);
// The handle of a library folder's resources, by the module name (case-insensitive), or null.
HMODULE FindResourceModule(LPCSTR moduleName);

// Searches one module (null: the program). Names and types are case-insensitive strings or
// MAKEINTRESOURCE ids; "#123" means the id 123. Null with ERROR_RESOURCE_TYPE_NOT_FOUND or
// ERROR_RESOURCE_NAME_NOT_FOUND when there is no such resource.
HRSRC FindResource(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
// The data never needs loading: the handle is the data. FreeResource does nothing.
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID LockResource(HGLOBAL hResData);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
BOOL FreeResource(HGLOBAL hResData);

// The first module, program first, that has the resource; null when none has it.
HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);

// Copies string uID of a module (null: the program) into lpBuffer, cut to cchBufferMax - 1
// bytes and NUL-terminated; returns the bytes copied, 0 when the string is missing. With
// cchBufferMax 0, *(LPCSTR*)lpBuffer receives a read-only pointer to the NUL-terminated text
// and the return is its length.
int LoadString(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);
// String uID from any module, program first; null when none has it. Backs CString::LoadString.
LPCSTR FindResourceString(UINT uID);
