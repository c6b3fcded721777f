#include "platform/core/WinError.h"

#include <cerrno>

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD error)
{
    t_lastError = error;
}

DWORD ErrnoToLastError(int err)
{
    switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EROFS: return ERROR_WRITE_PROTECT;
    case ESPIPE: return ERROR_SEEK;
    case EIO: return ERROR_WRITE_FAULT;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case EAGAIN: return ERROR_LOCK_VIOLATION;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EPIPE: return ERROR_BROKEN_PIPE;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EFBIG: return ERROR_FILE_TOO_LARGE;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EISDIR: return ERROR_DIRECTORY;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case ETIMEDOUT: return ERROR_TIMEOUT;
    case ENOSYS: return ERROR_CALL_NOT_IMPLEMENTED;
    case EOVERFLOW: return ERROR_ARITHMETIC_OVERFLOW;
    default: return ERROR_INVALID_FUNCTION;
    }
}
