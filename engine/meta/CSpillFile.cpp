#include "engine/meta/CSpillFile.h"

#include "engine/project/SaveCopies.h"
#include "platform/core/SystemServices.h"
#include "platform/core/WinError.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// The pieces the bytes kept are read back in.
constexpr size_t kSpillPiece = 64 * 1024;

} // namespace

CSpillFile::CSpillFile(const CString& strFolder) : m_strFolder(strFolder) {}

CSpillFile::~CSpillFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

BOOL CSpillFile::Fail(int nErrno)
{
    if (m_dwError == 0)
        m_dwError = ErrnoToLastError(nErrno);
    if (m_dwError == 0)
        m_dwError = ERROR_WRITE_FAULT;
    return FALSE;
}

BOOL CSpillFile::Append(const char* pBytes, size_t nLength)
{
    if (m_dwError != 0)
        return FALSE;
    if (m_fd < 0) {
        CString strFolder = m_strFolder;
        if (strFolder.IsEmpty()) {
            char szTemp[MAX_PATH + 1] = {};
            GetTempPath(sizeof szTemp, szTemp);
            strFolder = szTemp;
        }
        m_fd = ::open(strFolder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (m_fd < 0) {
            // A file system that makes no file without a name: the name goes at once.
            CString strPath;
            m_fd = CreateTempFileIn(strFolder, "SPL", strPath);
            if (m_fd < 0)
                return Fail(errno);
            ::unlink(strPath);
        }
    }
    while (nLength > 0) {
        const ssize_t n = ::pwrite(m_fd, pBytes, nLength, static_cast<off_t>(m_nKept));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Fail(n < 0 ? errno : ENOSPC);
        pBytes += n;
        nLength -= static_cast<size_t>(n);
        m_nKept += static_cast<ULONGLONG>(n);
    }
    return TRUE;
}

BOOL CSpillFile::TakeAll(const std::function<void(const char*, size_t)>& take)
{
    std::string piece(kSpillPiece, '\0');
    for (ULONGLONG nAt = 0; nAt < m_nKept && m_dwError == 0;) {
        const ssize_t n = ::pread(m_fd, piece.data(), piece.size(), static_cast<off_t>(nAt));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Fail(n < 0 ? errno : EIO);
        take(piece.data(), static_cast<size_t>(n));
        nAt += static_cast<ULONGLONG>(n);
    }
    m_nKept = 0;
    return m_dwError == 0;
}
