#include "platform/core/FileOperations.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Trash.h"
#include "platform/core/FdGuard.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string ParentOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The platform's code for a failed path operation: a missing folder is "path not found".
DWORD PathError(const std::string& path, int err)
{
    if (err == ENOENT) {
        struct stat st{};
        if (stat(ParentOf(path).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return ERROR_PATH_NOT_FOUND;
        return ERROR_FILE_NOT_FOUND;
    }
    if (err == ENOTDIR)
        return ERROR_PATH_NOT_FOUND;
    return ErrnoToLastError(err);
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

bool IsReadOnlyFile(const struct stat& st)
{
    return !S_ISDIR(st.st_mode) && !(st.st_mode & S_IWUSR);
}

int CopyData(int from, int to)
{
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        const char* p = buffer.data();
        while (n > 0) {
            ssize_t written = ::write(to, p, static_cast<size_t>(n));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            p += written;
            n -= written;
        }
    }
}

// Renames without replacing; EEXIST when the target exists.
int RenameNoReplace(const char* from, const char* to)
{
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without the flag: a hard link fails on an existing target.
    struct stat st{};
    if (lstat(from, &st) == 0 && !S_ISDIR(st.st_mode)) {
        if (link(from, to) == 0)
            return unlink(from) == 0 ? 0 : errno;
        if (errno == EEXIST)
            return EEXIST;
    }
    if (lstat(to, &st) == 0)
        return EEXIST;
    return rename(from, to) == 0 ? 0 : errno;
}

} // namespace

DWORD GetFileAttributes(LPCSTR lpFileName)
{
    if (!lpFileName || !lpFileName[0]) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    std::string path = lpFileName;
    struct stat st{};
    if (stat(path.c_str(), &st) != 0 && lstat(path.c_str(), &st) != 0) {
        SetLastError(PathError(path, errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (IsReadOnlyFile(st))
        attributes |= FILE_ATTRIBUTE_READONLY;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    std::string name = path.substr(path.find_last_of('/') + 1);
    if (name.size() > 1 && name[0] == '.' && name != "..")
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes;
}

BOOL SetFileAttributes(LPCSTR lpFileName, DWORD dwFileAttributes)
{
    if (!lpFileName)
        return Fail(ERROR_INVALID_PARAMETER);
    struct stat st{};
    if (stat(lpFileName, &st) != 0)
        return Fail(PathError(lpFileName, errno));
    if (S_ISDIR(st.st_mode))
        return TRUE;
    mode_t mode = st.st_mode & 07777;
    if (dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    else
        mode |= S_IWUSR;
    if (mode != (st.st_mode & 07777) && chmod(lpFileName, mode) != 0)
        return Fail(ErrnoToLastError(errno));
    return TRUE;
}

BOOL CopyFile(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists)
{
    if (!lpExistingFileName || !lpNewFileName)
        return Fail(ERROR_INVALID_PARAMETER);
    IgnoreFileSizeLimitSignal();
    const std::string target = lpNewFileName;
    FdGuard source(open(lpExistingFileName, O_RDONLY | O_CLOEXEC));
    if (source.Get() < 0)
        return Fail(PathError(lpExistingFileName, errno));
    struct stat from{};
    if (fstat(source.Get(), &from) != 0)
        return Fail(ErrnoToLastError(errno));
    if (S_ISDIR(from.st_mode))
        return Fail(ERROR_ACCESS_DENIED);
    struct stat to{};
    if (stat(target.c_str(), &to) == 0) {
        if (bFailIfExists)
            return Fail(ERROR_FILE_EXISTS);
        if (S_ISDIR(to.st_mode) || IsReadOnlyFile(to))
            return Fail(ERROR_ACCESS_DENIED);
        if (to.st_dev == from.st_dev && to.st_ino == from.st_ino)
            return Fail(ERROR_SHARING_VIOLATION);
    }

    std::string dir = ParentOf(target);
    std::string temp = dir + "/." + target.substr(target.find_last_of('/') + 1) + ".XXXXXX";
    FdGuard out(mkostemp(temp.data(), O_CLOEXEC));
    if (out.Get() < 0)
        return Fail(PathError(target, errno));
    int err = CopyData(source.Get(), out.Get());
    if (err == 0 && fchmod(out.Get(), from.st_mode & 07777) != 0)
        err = errno;
    if (err == 0) {
        const struct timespec times[2] = {from.st_atim, from.st_mtim};
        futimens(out.Get(), times);
    }
    if (err == 0 && fsync(out.Get()) != 0)
        err = errno;
    if (out.Close() != 0 && err == 0)
        err = errno;
    if (err == 0)
        err = bFailIfExists ? RenameNoReplace(temp.c_str(), target.c_str())
                            : (rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno);
    if (err != 0) {
        unlink(temp.c_str());
        return Fail(err == EEXIST ? ERROR_FILE_EXISTS : ErrnoToLastError(err));
    }
    return TRUE;
}

BOOL MoveFile(LPCSTR lpExistingFileName, LPCSTR lpNewFileName)
{
    return MoveFileEx(lpExistingFileName, lpNewFileName, MOVEFILE_COPY_ALLOWED);
}

BOOL MoveFileEx(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags)
{
    if (dwFlags & MOVEFILE_DELAY_UNTIL_REBOOT)
        return Fail(ERROR_NOT_SUPPORTED);
    if (!lpExistingFileName || !lpNewFileName)
        return Fail(ERROR_INVALID_PARAMETER);
    struct stat from{};
    if (lstat(lpExistingFileName, &from) != 0)
        return Fail(PathError(lpExistingFileName, errno));
    const bool replace = (dwFlags & MOVEFILE_REPLACE_EXISTING) != 0;
    struct stat to{};
    if (lstat(lpNewFileName, &to) == 0
        && !(to.st_dev == from.st_dev && to.st_ino == from.st_ino)) {
        if (!replace)
            return Fail(ERROR_ALREADY_EXISTS);
        if (S_ISDIR(to.st_mode) || IsReadOnlyFile(to))
            return Fail(ERROR_ACCESS_DENIED);
    }
    int err = replace ? (rename(lpExistingFileName, lpNewFileName) == 0 ? 0 : errno)
                      : RenameNoReplace(lpExistingFileName, lpNewFileName);
    if (err == 0)
        return TRUE;
    if (err == EEXIST)
        return Fail(ERROR_ALREADY_EXISTS);
    if (err != EXDEV)
        return Fail(err == ENOENT ? PathError(lpNewFileName, err) : ErrnoToLastError(err));
    if (!(dwFlags & MOVEFILE_COPY_ALLOWED) || !S_ISREG(from.st_mode))
        return Fail(ERROR_NOT_SAME_DEVICE);
    if (!CopyFile(lpExistingFileName, lpNewFileName, replace ? FALSE : TRUE))
        return FALSE;
    if (unlink(lpExistingFileName) != 0) {
        // Keep one copy only: the move did not happen.
        err = errno;
        unlink(lpNewFileName);
        return Fail(ErrnoToLastError(err));
    }
    return TRUE;
}

BOOL DeleteFile(LPCSTR lpFileName)
{
    if (!lpFileName)
        return Fail(ERROR_INVALID_PARAMETER);
    struct stat st{};
    if (lstat(lpFileName, &st) != 0)
        return Fail(PathError(lpFileName, errno));
    if (S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && IsReadOnlyFile(st)))
        return Fail(ERROR_ACCESS_DENIED);
    if (unlink(lpFileName) != 0)
        return Fail(ErrnoToLastError(errno));
    return TRUE;
}

BOOL CreateDirectory(LPCSTR lpPathName, void*)
{
    if (!lpPathName || !lpPathName[0])
        return Fail(ERROR_PATH_NOT_FOUND);
    if (mkdir(lpPathName, 0777) != 0) {
        if (errno == EEXIST)
            return Fail(ERROR_ALREADY_EXISTS);
        if (errno == ENOENT || errno == ENOTDIR)
            return Fail(ERROR_PATH_NOT_FOUND);
        return Fail(ErrnoToLastError(errno));
    }
    return TRUE;
}

BOOL RemoveDirectory(LPCSTR lpPathName)
{
    if (!lpPathName)
        return Fail(ERROR_INVALID_PARAMETER);
    if (rmdir(lpPathName) != 0) {
        if (errno == ENOTDIR)
            return Fail(ERROR_DIRECTORY);
        if (errno == ENOTEMPTY || errno == EEXIST)
            return Fail(ERROR_DIR_NOT_EMPTY);
        return Fail(PathError(lpPathName, errno));
    }
    return TRUE;
}

DWORD GetCurrentDirectory(DWORD nBufferLength, LPSTR lpBuffer)
{
    std::error_code ec;
    std::string path = std::filesystem::current_path(ec).string();
    if (ec) {
        SetLastError(ErrnoToLastError(ec.value()));
        return 0;
    }
    if (!lpBuffer || path.size() + 1 > nBufferLength)
        return static_cast<DWORD>(path.size() + 1);
    std::memcpy(lpBuffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

BOOL SetCurrentDirectory(LPCSTR lpPathName)
{
    if (!lpPathName)
        return Fail(ERROR_INVALID_PARAMETER);
    if (chdir(lpPathName) != 0)
        return Fail(errno == ENOTDIR ? ERROR_DIRECTORY : PathError(lpPathName, errno));
    return TRUE;
}

std::string MakeFullPath(std::string_view path)
{
    std::string full;
    if (path.empty() || path.front() != '/') {
        std::error_code ec;
        full = std::filesystem::current_path(ec).string();
        full += '/';
    }
    full += path;
    const bool trailing = full.size() > 1 && full.back() == '/';
    std::vector<std::string_view> parts;
    std::string_view rest = full;
    while (!rest.empty()) {
        size_t slash = rest.find('/');
        std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (std::string_view part : parts) {
        out += '/';
        out += part;
    }
    if (out.empty() || trailing)
        out += '/';
    return out;
}

DWORD GetFullPathName(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart)
{
    if (!lpFileName || !lpFileName[0]) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    std::string full = MakeFullPath(lpFileName);
    if (!lpBuffer || full.size() + 1 > nBufferLength)
        return static_cast<DWORD>(full.size() + 1);
    std::memcpy(lpBuffer, full.c_str(), full.size() + 1);
    if (lpFilePart)
        *lpFilePart = full.back() == '/' ? nullptr : lpBuffer + full.find_last_of('/') + 1;
    return static_cast<DWORD>(full.size());
}

int SHFileOperation(LPSHFILEOPSTRUCT lpFileOp)
{
    if (!lpFileOp || !lpFileOp->pFrom || !lpFileOp->pFrom[0])
        return ERROR_INVALID_PARAMETER;
    lpFileOp->fAnyOperationsAborted = FALSE;
    if (lpFileOp->wFunc != FO_DELETE)
        return ERROR_CALL_NOT_IMPLEMENTED;
    int result = 0;
    for (const char* p = lpFileOp->pFrom; *p; p += std::strlen(p) + 1) {
        DWORD error = ERROR_SUCCESS;
        if (lpFileOp->fFlags & FOF_ALLOWUNDO) {
            error = MoveToTrash(p).error;
        } else {
            struct stat st{};
            if (lstat(p, &st) != 0) {
                error = PathError(p, errno);
            } else if (S_ISDIR(st.st_mode)) {
                std::error_code ec;
                std::filesystem::remove_all(p, ec);
                if (ec)
                    error = ErrnoToLastError(ec.value());
            } else if (unlink(p) != 0) {
                error = ErrnoToLastError(errno);
            }
        }
        if (error != ERROR_SUCCESS && result == 0)
            result = static_cast<int>(error);
    }
    return result;
}
