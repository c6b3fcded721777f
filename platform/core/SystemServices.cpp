#include "platform/core/SystemServices.h"

#include "platform/core/VersionInfo.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <pwd.h>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Copies text into a buffer of `size` characters by the "length, or size needed" rule.
DWORD CopyOrNeeded(const std::string& text, LPSTR buffer, DWORD size)
{
    if (!buffer || text.size() + 1 > size)
        return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

std::string ExecutablePath()
{
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

bool IsUrl(std::string_view text)
{
    size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2)
        return false; // one letter before ":" would be a drive, not a scheme
    for (size_t i = 0; i < colon; ++i) {
        char c = text[i];
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')
            || (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

DWORD GetModuleFileName(HMODULE hModule, LPSTR lpFilename, DWORD nSize)
{
    std::string path;
    if (!hModule || hModule == VOSTREL_PROGRAM_INSTANCE) {
        path = ExecutablePath();
        if (path.empty()) {
            SetLastError(ErrnoToLastError(errno));
            return 0;
        }
    } else if (!GetRegisteredModuleName(hModule, path)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() + 1 > nSize) {
        std::memcpy(lpFilename, path.data(), nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
}

HMODULE GetModuleHandle(LPCSTR lpModuleName)
{
    if (!lpModuleName)
        return VOSTREL_PROGRAM_INSTANCE;
    if (HMODULE module = FindRegisteredModule(lpModuleName))
        return module;
    std::string self = ExecutablePath();
    std::string_view base = std::string_view(self).substr(self.find_last_of('/') + 1);
    if (!base.empty() && base == lpModuleName)
        return VOSTREL_PROGRAM_INSTANCE;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

HMODULE LoadLibrary(LPCSTR lpLibFileName)
{
    if (!lpLibFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (HMODULE module = FindRegisteredModule(lpLibFileName))
        return module;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE hLibModule)
{
    std::string name;
    if (GetRegisteredModuleName(hLibModule, name))
        return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

FARPROC GetProcAddress(HMODULE, LPCSTR)
{
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

DWORD GetTempPath(DWORD nBufferLength, LPSTR lpBuffer)
{
    const char* env = std::getenv("TMPDIR");
    std::string path = env && env[0] ? env : "/tmp";
    if (path.back() != '/')
        path += '/';
    return CopyOrNeeded(path, lpBuffer, nBufferLength);
}

UINT GetTempFileName(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName)
{
    if (!lpPathName || !lpTempFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string dir = lpPathName[0] ? lpPathName : ".";
    if (dir.back() != '/')
        dir += '/';
    std::string prefix = lpPrefixString ? std::string(lpPrefixString).substr(0, 3) : std::string();
    if (prefix.find('/') != std::string::npos) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    auto nameFor = [&](UINT number) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", number);
        return dir + prefix + hex + ".tmp";
    };
    auto deliver = [&](const std::string& name) {
        if (name.size() + 1 > MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
        std::memcpy(lpTempFileName, name.c_str(), name.size() + 1);
        return true;
    };

    if (uUnique != 0) {
        uUnique &= 0xFFFFu;
        if (!deliver(nameFor(uUnique)))
            return 0;
        SetLastError(ERROR_SUCCESS);
        return uUnique;
    }
    struct stat st{};
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_DIRECTORY);
        return 0;
    }
    // A random start keeps the names hard to guess; O_EXCL keeps them ours.
    thread_local std::mt19937 random{std::random_device{}()};
    UINT number = std::uniform_int_distribution<UINT>(1, 0xFFFF)(random);
    for (UINT attempt = 0; attempt < 0xFFFF; ++attempt, number = number % 0xFFFF + 1) {
        std::string name = nameFor(number);
        if (name.size() + 1 > MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return 0;
        }
        int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            close(fd);
            deliver(name);
            SetLastError(ERROR_SUCCESS);
            return number;
        }
        if (errno != EEXIST) {
            SetLastError(ErrnoToLastError(errno));
            return 0;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}

BOOL GetComputerName(LPSTR lpBuffer, LPDWORD lpnSize)
{
    if (!lpnSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) {
        SetLastError(ErrnoToLastError(errno));
        return FALSE;
    }
    std::string name(host);
    name = name.substr(0, name.find('.'));
    if (name.size() > MAX_COMPUTERNAME_LENGTH)
        name.resize(MAX_COMPUTERNAME_LENGTH);
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (!lpBuffer || *lpnSize < name.size() + 1) {
        *lpnSize = static_cast<DWORD>(name.size() + 1);
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    std::memcpy(lpBuffer, name.c_str(), name.size() + 1);
    *lpnSize = static_cast<DWORD>(name.size());
    return TRUE;
}

BOOL GetUserName(LPSTR lpBuffer, LPDWORD pcbBuffer)
{
    if (!pcbBuffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string name;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result)
        name = result->pw_name;
    else if (const char* logname = std::getenv("LOGNAME"))
        name = logname;
    else if (const char* user = std::getenv("USER"))
        name = user;
    if (name.empty()) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    if (!lpBuffer || *pcbBuffer < name.size() + 1) {
        *pcbBuffer = static_cast<DWORD>(name.size() + 1);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(lpBuffer, name.c_str(), name.size() + 1);
    *pcbBuffer = static_cast<DWORD>(name.size() + 1);
    return TRUE;
}

DWORD GetEnvironmentVariable(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize)
{
    const char* value = lpName ? std::getenv(lpName) : nullptr;
    if (!value) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    return CopyOrNeeded(value, lpBuffer, nSize);
}

DWORD ExpandEnvironmentStrings(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize)
{
    if (!lpSrc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string out;
    std::string_view src(lpSrc);
    size_t pos = 0;
    while (pos < src.size()) {
        size_t open = src.find('%', pos);
        if (open == std::string_view::npos) {
            out.append(src.substr(pos));
            break;
        }
        out.append(src.substr(pos, open - pos));
        size_t close = src.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(src.substr(open));
            break;
        }
        std::string name(src.substr(open + 1, close - open - 1));
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value) {
            out += value;
            pos = close + 1;
        } else {
            // The closing "%" may open the next variable, as in "%UNSET%HOME%".
            out.append(src.substr(open, close - open));
            pos = close;
        }
    }
    if (lpDst && out.size() + 1 <= nSize)
        std::memcpy(lpDst, out.c_str(), out.size() + 1);
    return static_cast<DWORD>(out.size() + 1);
}

HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes)
{
    void* block = (uFlags & LMEM_ZEROINIT) ? std::calloc(uBytes ? uBytes : 1, 1)
                                           : std::malloc(uBytes ? uBytes : 1);
    if (!block)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

HLOCAL LocalFree(HLOCAL hMem)
{
    std::free(hMem);
    return nullptr;
}

BOOL GetVersionEx(LPOSVERSIONINFO info)
{
    if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFO)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    utsname name{};
    if (uname(&name) != 0) {
        SetLastError(ErrnoToLastError(errno));
        return FALSE;
    }
    unsigned parts[3] = {0, 0, 0};
    const char* p = name.release;
    for (int i = 0; i < 3; ++i) {
        char* end = nullptr;
        unsigned long value = std::strtoul(p, &end, 10);
        if (end == p)
            break;
        parts[i] = static_cast<unsigned>(value);
        if (*end != '.')
            break;
        p = end + 1;
    }
    info->dwMajorVersion = parts[0];
    info->dwMinorVersion = parts[1];
    info->dwBuildNumber = parts[2];
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::string text = std::string(name.sysname) + " " + name.release;
    text.resize(std::min(text.size(), sizeof info->szCSDVersion - 1));
    std::memcpy(info->szCSDVersion, text.c_str(), text.size() + 1);
    return TRUE;
}

HINSTANCE ShellExecute(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR, LPCSTR lpDirectory, INT)
{
    auto code = [](intptr_t value) { return reinterpret_cast<HINSTANCE>(value); };
    if (lpOperation && lpOperation[0] && std::strcmp(lpOperation, "open") != 0)
        return code(SE_ERR_NOASSOC);
    if (!lpFile || !lpFile[0])
        return code(SE_ERR_FNF);
    std::string target = lpFile;
    if (!IsUrl(target)) {
        if (target[0] != '/' && lpDirectory && lpDirectory[0])
            target = std::string(lpDirectory) + "/" + target;
        struct stat st{};
        if (stat(target.c_str(), &st) != 0)
            return code(errno == ENOENT ? SE_ERR_FNF : errno == ENOTDIR ? SE_ERR_PNF : SE_ERR_ACCESSDENIED);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (lpDirectory && lpDirectory[0])
        posix_spawn_file_actions_addchdir_np(&actions, lpDirectory);
    std::string program = "xdg-open";
    char* argv[] = {program.data(), target.data(), nullptr};
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return code(rc == ENOMEM ? SE_ERR_OOM : SE_ERR_NOASSOC);
    // The opener may run as long as the page it opens; reap it without making the caller wait.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return code(42);
}

namespace {

// Blocks of this size and more come from the system and go back to it when freed.
constexpr int kLargeBlock = 128 * 1024;

} // namespace

void ReleaseFreedMemory()
{
    ::malloc_trim(0);
}

void SetUpAllocator()
{
    // The allocator's own first bound, kept: left to itself it rises to the size of the largest
    // large block freed (a folder's listing of many pages is megabytes), and with it the free
    // memory it keeps at an arena's end instead of giving it back, to twice that.
    ::mallopt(M_MMAP_THRESHOLD, kLargeBlock);
    // Small blocks freed join their free neighbours at once instead of waiting in lists of
    // their own. Memory at the end of another thread's arena goes back to the system only as
    // freed blocks join that end; trimming later reaches the main arena's end alone, so blocks
    // that waited would keep it (the pages a closed project held) with the program.
    ::mallopt(M_MXFAST, 0);
}
