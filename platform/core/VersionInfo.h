// Module version information: the program's own version table and the versions of the libraries
// that stand in for the platform's libraries, read through the usual version functions.
//
// The program's executable (the path GetModuleFileName gives, or any path naming the same file)
// answers the table of SetProgramVersion (default 1.0.0.16, "Vostrel" by "Wexmoor"). A library
// name registered with RegisterModuleVersion answers the version registered for it: the internet
// layer registers "WININET.DLL" with the version of the transfer library it is built on, so this
// folder does not link that library. Registered names also load through LoadLibrary as
// version-only modules (see SystemServices.h). Any other existing file has no version resource
// (ERROR_RESOURCE_TYPE_NOT_FOUND); a missing one gives ERROR_FILE_NOT_FOUND.
// All functions are callable from any thread.
#pragma once

#include "platform/core/Types.h"

#include <string>
#include <utility>
#include <vector>

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

#define VS_FFI_SIGNATURE 0xFEEF04BDu
#define VS_FFI_STRUCVERSION 0x00010000u
#define VS_FFI_FILEFLAGSMASK 0x0000003Fu
#define VOS_UNKNOWN 0x00000000u
#define VFT_UNKNOWN 0x00000000u
#define VFT_APP 0x00000001u
#define VFT_DLL 0x00000002u

// A module's version: four 16-bit parts each for the file and the product, and the strings of
// its "\StringFileInfo\040904b0" block ("CompanyName", "ProductName", "FileVersion", ...).
struct ModuleVersion {
    WORD fileVersion[4] = {0, 0, 0, 0};
    WORD productVersion[4] = {0, 0, 0, 0};
    DWORD fileType = VFT_APP;
    DWORD fileFlagsMask = VS_FFI_FILEFLAGSMASK;
    DWORD fileFlags = 0;
    DWORD fileOS = VOS_UNKNOWN;
    DWORD fileSubtype = 0;
    std::vector<std::pair<std::string, std::string>> strings;
};

// The block GetFileVersionInfo fills for a version, which is also the compiled form of a
// VERSIONINFO resource; and the version a block holds (false for anything else).
std::string BuildVersionBlock(const ModuleVersion& version);
bool ParseVersionBlock(const void* block, size_t size, ModuleVersion& version);

// Replaces the program's own version table (the resource tables install it at start-up).
void SetProgramVersion(const ModuleVersion& version);
ModuleVersion GetProgramVersion();

// Registers a library's version by name (case-insensitive; ".dll" is implied when the name has
// no extension). versionText is "major.minor.build.revision"; missing parts are 0 and anything
// after the digits of a part is ignored ("8.5.0-DEV" gives 8.5.0.0). productName, when given,
// becomes the "ProductName" string.
void RegisterModuleVersion(LPCSTR moduleName, LPCSTR versionText, LPCSTR productName = nullptr);

// The pseudo handle of a registered library, or null.
HMODULE FindRegisteredModule(LPCSTR moduleName);
// The registered name of a pseudo handle; false for any other handle.
bool GetRegisteredModuleName(HMODULE hModule, std::string& name);

DWORD GetFileVersionInfoSize(LPCSTR lptstrFilename, LPDWORD lpdwHandle);
BOOL GetFileVersionInfo(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData);
// "\" gives the VS_FIXEDFILEINFO; "\VarFileInfo\Translation" the language and code page pair
// 0x0409, 0x04b0; "\StringFileInfo\040904b0\<name>" a string, *puLen counting its NUL.
BOOL VerQueryValue(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen);
