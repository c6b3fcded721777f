// File exceptions: mapping system errors to causes, and the texts shown for them.
#include "platform/core/CFileException.h"

#include "platform/core/WinError.h"

#include <cerrno>
#include <iterator>

IMPLEMENT_DYNAMIC(CFileException, CException)

namespace {

// One text per cause, in cause order; "%1" is the file name.
constexpr const char* kFileMessages[] = {
    "No error occurred while accessing %1.",
    "An unexpected error occurred while accessing %1.",
    "%1 was not found.",
    "%1 contains a path that is not valid.",
    "%1 could not be opened because too many files are open.",
    "Access to %1 was denied.",
    "A file handle that is not valid was used with %1.",
    "%1 could not be removed because it is the current directory.",
    "%1 could not be created because the directory is full.",
    "Seeking in %1 failed.",
    "A hardware input/output error occurred while accessing %1.",
    "A sharing violation occurred while accessing %1.",
    "A locking violation occurred while accessing %1.",
    "The disk is full while accessing %1.",
    "An attempt was made to access %1 past its end.",
};

} // namespace

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName)
{
}

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_FILE_TYPE:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_DIR_NOT_EMPTY:
    case ERROR_NOT_OWNER: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_CANTREAD:
    case ERROR_CANTWRITE: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_LOCK_FAILED: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}

int CFileException::ErrnoToException(int nErrno)
{
    switch (nErrno) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EEXIST:
    case EISDIR:
    case ENOTEMPTY: return accessDenied;
    case EBADF: return invalidFile;
    case ESPIPE: return badSeek;
    case EIO: return hardIO;
    case EBUSY:
    case ETXTBSY: return sharingViolation;
    case EAGAIN:
    case EDEADLK:
    case ENOLCK: return lockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    default: return genericException;
    }
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName)
{
    throw new CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void CFileException::ThrowErrno(int nErrno, LPCTSTR lpszFileName)
{
    throw new CFileException(ErrnoToException(nErrno), nErrno, lpszFileName);
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    AfxCopyFileErrorText(lpszError, nMaxError, kFileMessages, static_cast<int>(std::size(kFileMessages)),
                         m_cause, genericException, m_strFileName);
    return TRUE;
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}
