#include "platform/core/FileApi.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file behind a handle. The descriptor closes with the last handle (CloseHandle).
class FileObject : public kernel::KernelObject {
public:
    explicit FileObject(int fd) : m_fd(fd) {}
    ~FileObject() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

std::atomic<UINT> g_errorMode{0};

std::shared_ptr<FileObject> FileFor(HANDLE hFile)
{
    if (hFile == nullptr || hFile == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return kernel::ReferenceHandleAs<FileObject>(hFile);
}

DWORD OpenError(const char* path, int err)
{
    if (err == ENOENT) {
        // A missing folder on the way is "path not found", as the platform reports it.
        std::string parent(path);
        size_t slash = parent.find_last_of('/');
        parent = slash == std::string::npos ? "." : (slash == 0 ? "/" : parent.substr(0, slash));
        struct stat st{};
        if (stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return ERROR_PATH_NOT_FOUND;
        return ERROR_FILE_NOT_FOUND;
    }
    if (err == EEXIST)
        return ERROR_FILE_EXISTS;
    return ErrnoToLastError(err);
}

} // namespace

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD /*dwShareMode*/,
                   LPVOID /*lpSecurityAttributes*/, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE /*hTemplateFile*/)
{
    if (lpFileName == nullptr || *lpFileName == '\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    int flags = O_CLOEXEC;
    bool read = (dwDesiredAccess & GENERIC_READ) != 0;
    bool write = (dwDesiredAccess & GENERIC_WRITE) != 0;
    flags |= read && write ? O_RDWR : (write ? O_WRONLY : O_RDONLY);
    switch (dwCreationDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    int fd = ::open(lpFileName, flags, mode);
    if (fd < 0) {
        SetLastError(OpenError(lpFileName, errno));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st{};
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = kernel::AddHandle(std::make_shared<FileObject>(fd));
    return handle != nullptr ? handle : INVALID_HANDLE_VALUE;
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
              LPDWORD lpNumberOfBytesRead, LPVOID lpOverlapped)
{
    if (lpNumberOfBytesRead != nullptr)
        *lpNumberOfBytesRead = 0;
    if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToRead != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto file = FileFor(hFile);
    if (!file)
        return FALSE;
    ssize_t n;
    do {
        n = ::read(file->Fd(), lpBuffer, nNumberOfBytesToRead);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        SetLastError(errno == EBADF ? ERROR_ACCESS_DENIED : ErrnoToLastError(errno));
        return FALSE;
    }
    if (lpNumberOfBytesRead != nullptr)
        *lpNumberOfBytesRead = static_cast<DWORD>(n);
    return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPVOID lpOverlapped)
{
    if (lpNumberOfBytesWritten != nullptr)
        *lpNumberOfBytesWritten = 0;
    if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToWrite != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto file = FileFor(hFile);
    if (!file)
        return FALSE;
    const char* p = static_cast<const char*>(lpBuffer);
    DWORD done = 0;
    while (done < nNumberOfBytesToWrite) {
        ssize_t n = ::write(file->Fd(), p + done, nNumberOfBytesToWrite - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            int err = n < 0 ? errno : ENOSPC;
            SetLastError(err == EBADF ? ERROR_ACCESS_DENIED
                         : err == ENOSPC ? ERROR_DISK_FULL : ErrnoToLastError(err));
            if (lpNumberOfBytesWritten != nullptr)
                *lpNumberOfBytesWritten = done;
            return FALSE;
        }
        done += static_cast<DWORD>(n);
    }
    if (lpNumberOfBytesWritten != nullptr)
        *lpNumberOfBytesWritten = done;
    return TRUE;
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh)
{
    auto file = FileFor(hFile);
    if (!file)
        return INVALID_FILE_SIZE;
    struct stat st{};
    if (fstat(file->Fd(), &st) != 0) {
        SetLastError(ErrnoToLastError(errno));
        return INVALID_FILE_SIZE;
    }
    auto size = static_cast<unsigned long long>(st.st_size);
    if (lpFileSizeHigh != nullptr)
        *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(NO_ERROR);
    return static_cast<DWORD>(size);
}

UINT SetErrorMode(UINT uMode)
{
    return g_errorMode.exchange(uMode);
}
