#include "platform/core/VersionInfo.h"

#include "platform/core/CodePage.h"
#include "platform/core/WinError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const DWORD kBlockMagic = 0x52455656; // "VVER"
const DWORD kTranslation = 0x04B00409; // language 0x0409, code page 0x04b0
const size_t kFixedOffset = 8;
const size_t kTranslationOffset = kFixedOffset + sizeof(VS_FIXEDFILEINFO);
const size_t kStringsOffset = kTranslationOffset + 4;

struct RegisteredModule {
    std::string name; // upper case, with extension
    ModuleVersion version;
};

std::mutex g_mutex;
std::vector<RegisteredModule> g_modules;

ModuleVersion DefaultProgramVersion()
{
    ModuleVersion v;
    const WORD parts[4] = {1, 0, 0, 16};
    std::copy(parts, parts + 4, v.fileVersion);
    std::copy(parts, parts + 4, v.productVersion);
    v.fileType = VFT_APP;
    v.strings = {{"CompanyName", "Wexmoor"},      {"FileDescription", "Vostrel"},
                 {"FileVersion", "1.0.0.16"},     {"InternalName", "Vostrel"},
                 {"ProductName", "Vostrel"},      {"ProductVersion", "1.0.0.16"}};
    return v;
}

ModuleVersion& ProgramVersionLocked()
{
    static ModuleVersion version = DefaultProgramVersion();
    return version;
}

std::string ModuleKey(std::string_view name)
{
    size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos)
        name = name.substr(slash + 1);
    std::string key(name);
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (key.find('.') == std::string::npos)
        key += ".DLL";
    return key;
}

HMODULE HandleForIndex(size_t index)
{
    return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x7F000000u + (index + 1) * 0x10000u));
}

std::string FormatVersion(const WORD parts[4])
{
    return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2])
        + "." + std::to_string(parts[3]);
}

bool SameFileAsProgram(const char* path)
{
    struct stat a{}, b{};
    return stat(path, &a) == 0 && stat("/proc/self/exe", &b) == 0 && a.st_dev == b.st_dev
        && a.st_ino == b.st_ino;
}

// Finds the version a path answers; false with the last error set when it has none.
bool VersionForPath(LPCSTR path, ModuleVersion& out)
{
    if (!path || !path[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    {
        std::lock_guard lock(g_mutex);
        const std::string key = ModuleKey(path);
        for (const RegisteredModule& module : g_modules)
            if (module.name == key) {
                out = module.version;
                return true;
            }
        if (SameFileAsProgram(path)) {
            out = ProgramVersionLocked();
            return true;
        }
    }
    struct stat st{};
    if (stat(path, &st) == 0)
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    else
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ErrnoToLastError(errno));
    return false;
}

} // namespace

std::string BuildVersionBlock(const ModuleVersion& v)
{
    VS_FIXEDFILEINFO fixed{};
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    fixed.dwFileVersionMS = (static_cast<DWORD>(v.fileVersion[0]) << 16) | v.fileVersion[1];
    fixed.dwFileVersionLS = (static_cast<DWORD>(v.fileVersion[2]) << 16) | v.fileVersion[3];
    fixed.dwProductVersionMS = (static_cast<DWORD>(v.productVersion[0]) << 16) | v.productVersion[1];
    fixed.dwProductVersionLS = (static_cast<DWORD>(v.productVersion[2]) << 16) | v.productVersion[3];
    fixed.dwFileFlagsMask = v.fileFlagsMask;
    fixed.dwFileFlags = v.fileFlags;
    fixed.dwFileOS = v.fileOS;
    fixed.dwFileType = v.fileType;
    fixed.dwFileSubtype = v.fileSubtype;

    std::string block(kStringsOffset + 4, '\0');
    std::memcpy(&block[kFixedOffset], &fixed, sizeof fixed);
    std::memcpy(&block[kTranslationOffset], &kTranslation, 4);
    DWORD count = static_cast<DWORD>(v.strings.size());
    std::memcpy(&block[kStringsOffset], &count, 4);
    for (const auto& [name, value] : v.strings) {
        block.append(name.c_str(), name.size() + 1);
        block.append(value.c_str(), value.size() + 1);
    }
    while (block.size() % 4)
        block += '\0';
    std::memcpy(&block[0], &kBlockMagic, 4);
    DWORD total = static_cast<DWORD>(block.size());
    std::memcpy(&block[4], &total, 4);
    return block;
}

bool ParseVersionBlock(const void* pBlock, size_t size, ModuleVersion& version)
{
    const char* block = static_cast<const char*>(pBlock);
    DWORD magic = 0, total = 0, count = 0;
    if (!block || size < kStringsOffset + 4)
        return false;
    std::memcpy(&magic, block, 4);
    std::memcpy(&total, block + 4, 4);
    if (magic != kBlockMagic || total < kStringsOffset + 4 || total > size)
        return false;
    VS_FIXEDFILEINFO fixed{};
    std::memcpy(&fixed, block + kFixedOffset, sizeof fixed);
    if (fixed.dwSignature != VS_FFI_SIGNATURE)
        return false;
    ModuleVersion v;
    v.fileVersion[0] = HIWORD(fixed.dwFileVersionMS);
    v.fileVersion[1] = LOWORD(fixed.dwFileVersionMS);
    v.fileVersion[2] = HIWORD(fixed.dwFileVersionLS);
    v.fileVersion[3] = LOWORD(fixed.dwFileVersionLS);
    v.productVersion[0] = HIWORD(fixed.dwProductVersionMS);
    v.productVersion[1] = LOWORD(fixed.dwProductVersionMS);
    v.productVersion[2] = HIWORD(fixed.dwProductVersionLS);
    v.productVersion[3] = LOWORD(fixed.dwProductVersionLS);
    v.fileFlagsMask = fixed.dwFileFlagsMask;
    v.fileFlags = fixed.dwFileFlags;
    v.fileOS = fixed.dwFileOS;
    v.fileType = fixed.dwFileType;
    v.fileSubtype = fixed.dwFileSubtype;
    std::memcpy(&count, block + kStringsOffset, 4);
    const char* p = block + kStringsOffset + 4;
    const char* end = block + total;
    for (DWORD i = 0; i < count; ++i) {
        const char* nameEnd = static_cast<const char*>(std::memchr(p, 0, static_cast<size_t>(end - p)));
        if (!nameEnd)
            return false;
        const char* value = nameEnd + 1;
        const char* valueEnd = static_cast<const char*>(std::memchr(value, 0, static_cast<size_t>(end - value)));
        if (!valueEnd)
            return false;
        v.strings.emplace_back(std::string(p, nameEnd), std::string(value, valueEnd));
        p = valueEnd + 1;
    }
    version = std::move(v);
    return true;
}

namespace {

std::string BuildBlock(const ModuleVersion& v)
{
    return BuildVersionBlock(v);
}

} // namespace

void SetProgramVersion(const ModuleVersion& version)
{
    std::lock_guard lock(g_mutex);
    ProgramVersionLocked() = version;
}

ModuleVersion GetProgramVersion()
{
    std::lock_guard lock(g_mutex);
    return ProgramVersionLocked();
}

void RegisterModuleVersion(LPCSTR moduleName, LPCSTR versionText, LPCSTR productName)
{
    if (!moduleName || !moduleName[0])
        return;
    ModuleVersion version;
    version.fileType = VFT_DLL;
    const char* p = versionText ? versionText : "";
    for (int part = 0; part < 4; ++part) {
        unsigned long value = 0;
        bool digits = false;
        while (*p >= '0' && *p <= '9') {
            value = value * 10 + static_cast<unsigned long>(*p++ - '0');
            value = std::min(value, 0xFFFFUL);
            digits = true;
        }
        version.fileVersion[part] = static_cast<WORD>(value);
        if (!digits || *p != '.')
            break;
        ++p;
    }
    std::copy(version.fileVersion, version.fileVersion + 4, version.productVersion);
    const std::string text = FormatVersion(version.fileVersion);
    version.strings = {{"FileVersion", text}, {"ProductVersion", text}};
    if (productName)
        version.strings.emplace_back("ProductName", productName);

    std::lock_guard lock(g_mutex);
    const std::string key = ModuleKey(moduleName);
    for (RegisteredModule& module : g_modules)
        if (module.name == key) {
            module.version = std::move(version);
            return;
        }
    g_modules.push_back(RegisteredModule{key, std::move(version)});
}

HMODULE FindRegisteredModule(LPCSTR moduleName)
{
    if (!moduleName)
        return nullptr;
    std::lock_guard lock(g_mutex);
    const std::string key = ModuleKey(moduleName);
    for (size_t i = 0; i < g_modules.size(); ++i)
        if (g_modules[i].name == key)
            return HandleForIndex(i);
    return nullptr;
}

bool GetRegisteredModuleName(HMODULE hModule, std::string& name)
{
    std::lock_guard lock(g_mutex);
    for (size_t i = 0; i < g_modules.size(); ++i)
        if (HandleForIndex(i) == hModule) {
            name = g_modules[i].name;
            return true;
        }
    return false;
}

DWORD GetFileVersionInfoSize(LPCSTR lptstrFilename, LPDWORD lpdwHandle)
{
    if (lpdwHandle)
        *lpdwHandle = 0;
    ModuleVersion version;
    if (!VersionForPath(lptstrFilename, version))
        return 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(BuildBlock(version).size());
}

BOOL GetFileVersionInfo(LPCSTR lptstrFilename, DWORD, DWORD dwLen, LPVOID lpData)
{
    if (!lpData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ModuleVersion version;
    if (!VersionForPath(lptstrFilename, version))
        return FALSE;
    const std::string block = BuildBlock(version);
    if (dwLen < block.size()) {
        // A partial block could not be walked safely, so nothing is copied.
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(lpData, block.data(), block.size());
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL VerQueryValue(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen)
{
    if (!pBlock || !lpSubBlock || !lplpBuffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const char* block = static_cast<const char*>(pBlock);
    DWORD magic = 0, total = 0;
    std::memcpy(&magic, block, 4);
    std::memcpy(&total, block + 4, 4);
    if (magic != kBlockMagic || total < kStringsOffset + 4) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    std::string_view path(lpSubBlock);
    while (!path.empty() && path.front() == '\\')
        path.remove_prefix(1);
    if (path.empty()) {
        *lplpBuffer = const_cast<char*>(block + kFixedOffset);
        if (puLen)
            *puLen = sizeof(VS_FIXEDFILEINFO);
        return TRUE;
    }
    if (AsciiEqualNoCase(path, "VarFileInfo\\Translation")) {
        *lplpBuffer = const_cast<char*>(block + kTranslationOffset);
        if (puLen)
            *puLen = 4;
        return TRUE;
    }
    const std::string_view prefix = "StringFileInfo\\";
    if (path.size() > prefix.size() && AsciiEqualNoCase(path.substr(0, prefix.size()), prefix)) {
        std::string_view rest = path.substr(prefix.size());
        size_t slash = rest.find('\\');
        if (slash != std::string_view::npos
            && (AsciiEqualNoCase(rest.substr(0, slash), "040904b0")
                || AsciiEqualNoCase(rest.substr(0, slash), "040904e4"))) {
            std::string_view wanted = rest.substr(slash + 1);
            DWORD count = 0;
            std::memcpy(&count, block + kStringsOffset, 4);
            const char* p = block + kStringsOffset + 4;
            const char* end = block + total;
            for (DWORD i = 0; i < count && p < end; ++i) {
                size_t nameLength = strnlen(p, static_cast<size_t>(end - p));
                const char* value = p + nameLength + 1;
                if (value >= end)
                    break;
                size_t valueLength = strnlen(value, static_cast<size_t>(end - value));
                if (AsciiEqualNoCase(std::string_view(p, nameLength), wanted)) {
                    *lplpBuffer = const_cast<char*>(value);
                    if (puLen)
                        *puLen = static_cast<UINT>(valueLength + 1);
                    return TRUE;
                }
                p = value + valueLength + 1;
            }
        }
    }
    *lplpBuffer = nullptr;
    if (puLen)
        *puLen = 0;
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
}
