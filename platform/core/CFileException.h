// CFileException: a file operation failed, with its cause, the system error and the file name.
#pragma once

#include "platform/core/CException.h"
#include "platform/core/CString.h"

class CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)
public:
    // The causes; stored and compared as plain integers by callers.
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszArchiveName = nullptr);

    // The cause nearest to a platform error code (ERROR_...) or to a POSIX errno value.
    static int OsErrorToException(LONG lOsError);
    static int ErrnoToException(int nErrno);
    // Throw an exception with the mapped cause; m_lOsError keeps the value given.
    [[noreturn]] static void ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = nullptr);
    [[noreturn]] static void ThrowErrno(int nErrno, LPCTSTR lpszFileName = nullptr);

    // The cause's text with the file name inserted ("an unnamed file" when there is none).
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;

    int m_cause;
    // The platform error code (as GetLastError gives) for failures of the file classes; the
    // errno value for ThrowErrno; -1 when unknown.
    LONG m_lOsError;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr);
