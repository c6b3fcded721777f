// CFile over POSIX descriptors: opening with sharing checks, reading, writing, seeking, locks,
// status and the static file operations.
#include "platform/core/CFile.h"

#include "platform/core/CFileException.h"
#include "platform/core/WinError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

IMPLEMENT_DYNAMIC(CFile, CObject)

namespace {

// One open file of this process, as the sharing check sees it.
struct ShareEntry {
    dev_t dev = 0;
    ino_t ino = 0;
    bool read = false;
    bool write = false;
    bool denyRead = false;
    bool denyWrite = false;
};

constexpr UINT kAccessMask = 0x0003;
constexpr UINT kShareMask = 0x0070;

struct ShareTable {
    std::mutex mutex;
    std::vector<ShareEntry*> entries;
};

ShareTable& Shares()
{
    static ShareTable table;
    return table;
}

bool Conflicts(const ShareEntry& a, const ShareEntry& b)
{
    return (a.read && b.denyRead) || (a.write && b.denyWrite) || (b.read && a.denyRead) ||
           (b.write && a.denyWrite);
}

// Checks the new open against the others of this process and records it, in one step.
// Returns null on a sharing violation.
std::shared_ptr<ShareEntry> RegisterShare(const ShareEntry& wanted, bool check)
{
    ShareTable& table = Shares();
    std::lock_guard lock(table.mutex);
    if (check) {
        for (const ShareEntry* pOther : table.entries) {
            if (pOther->dev == wanted.dev && pOther->ino == wanted.ino && Conflicts(*pOther, wanted))
                return nullptr;
        }
    }
    auto* pEntry = new ShareEntry(wanted);
    table.entries.push_back(pEntry);
    return std::shared_ptr<ShareEntry>(pEntry, [](ShareEntry* p) {
        ShareTable& t = Shares();
        {
            std::lock_guard guard(t.mutex);
            std::erase(t.entries, p);
        }
        delete p;
    });
}

ShareEntry EntryFor(const struct stat& st, UINT nOpenFlags)
{
    ShareEntry entry;
    entry.dev = st.st_dev;
    entry.ino = st.st_ino;
    const UINT access = nOpenFlags & kAccessMask;
    entry.read = access == CFile::modeRead || access == CFile::modeReadWrite;
    entry.write = access == CFile::modeWrite || access == CFile::modeReadWrite;
    switch (nOpenFlags & kShareMask) {
    case CFile::shareDenyWrite: entry.denyWrite = true; break;
    case CFile::shareDenyRead: entry.denyRead = true; break;
    case CFile::shareDenyNone: break;
    default: // shareCompat and shareExclusive
        entry.denyRead = entry.denyWrite = true;
        break;
    }
    return entry;
}

CString FullPathOf(LPCTSTR lpszFileName)
{
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(lpszFileName, ec);
    if (ec)
        return CString(lpszFileName);
    return CString(path.lexically_normal().c_str());
}

[[noreturn]] void ThrowLastErrno(LPCTSTR lpszFileName)
{
    const DWORD code = ErrnoToLastError(errno);
    SetLastError(code);
    CFileException::ThrowOsError(static_cast<LONG>(code), lpszFileName);
}

void FillStatus(const struct statx& stx, LPCTSTR lpszFullName, CFileStatus& rStatus)
{
    rStatus.m_mtime = CTime(static_cast<time_t>(stx.stx_mtime.tv_sec));
    rStatus.m_atime = CTime(static_cast<time_t>(stx.stx_atime.tv_sec));
    rStatus.m_ctime = CTime(static_cast<time_t>((stx.stx_mask & STATX_BTIME) ? stx.stx_btime.tv_sec
                                                                             : stx.stx_ctime.tv_sec));
    rStatus.m_size = S_ISDIR(stx.stx_mode) ? 0 : stx.stx_size;
    BYTE attribute = CFile::normal;
    if ((stx.stx_mode & 0222) == 0)
        attribute |= CFile::readOnly;
    if (S_ISDIR(stx.stx_mode))
        attribute |= CFile::directory;
    else if (S_ISREG(stx.stx_mode))
        attribute |= CFile::archive;
    else
        attribute |= CFile::system;
    const char* pszSlash = std::strrchr(lpszFullName, '/');
    const char* pszName = pszSlash ? pszSlash + 1 : lpszFullName;
    if (pszName[0] == '.' && std::strcmp(pszName, ".") != 0 && std::strcmp(pszName, "..") != 0)
        attribute |= CFile::hidden;
    rStatus.m_attribute = attribute;
    // A path too long for the record is left out rather than cut into a wrong path.
    const size_t nLength = std::strlen(lpszFullName);
    if (nLength < sizeof(rStatus.m_szFullName))
        std::memcpy(rStatus.m_szFullName, lpszFullName, nLength + 1);
    else
        rStatus.m_szFullName[0] = '\0';
}

} // namespace

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE)
{
}

CFile::CFile(int hFile) : m_hFile(static_cast<UINT>(hFile)), m_bCloseOnDelete(FALSE)
{
    const int flags = hFile >= 0 ? fcntl(hFile, F_GETFL) : -1;
    if (flags == -1) {
        m_hFile = hFileNull;
        return;
    }
    switch (flags & O_ACCMODE) {
    case O_WRONLY: m_nOpenFlags = modeWrite | shareDenyNone; break;
    case O_RDWR: m_nOpenFlags = modeReadWrite | shareDenyNone; break;
    default: m_nOpenFlags = modeRead | shareDenyNone; break;
    }
}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : CFile()
{
    CFileException error(CFileException::none, -1, nullptr);
    error.m_bAutoDelete = FALSE;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        CloseHandle();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_hFile != hFileNull)
        Abort();

    DWORD code = NO_ERROR;
    int fd = -1;
    std::shared_ptr<void> pShare;
    do {
        if (lpszFileName == nullptr || *lpszFileName == '\0') {
            code = ERROR_PATH_NOT_FOUND;
            break;
        }
        const UINT access = nOpenFlags & kAccessMask;
        // Without blocking: opening a FIFO for reading would wait for a writer for ever. Only
        // regular files are taken (checked on the descriptor below, so a name swapped for a
        // FIFO or a device between a look and the open is caught too).
        int oflags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
        if (access == modeRead)
            oflags |= O_RDONLY;
        else if (access == modeWrite)
            oflags |= O_WRONLY;
        else if (access == modeReadWrite)
            oflags |= O_RDWR;
        else {
            code = ERROR_INVALID_PARAMETER;
            break;
        }
        if (nOpenFlags & modeCreate)
            oflags |= O_CREAT;
        do
            fd = ::open(lpszFileName, oflags, 0666);
        while (fd == -1 && errno == EINTR);
        if (fd == -1) {
            code = ErrnoToLastError(errno);
            // A missing folder is a bad path, not a missing file.
            if (errno == ENOENT) {
                std::filesystem::path parent = std::filesystem::path(lpszFileName).parent_path();
                std::error_code ec;
                if (!parent.empty() && !std::filesystem::is_directory(parent, ec))
                    code = ERROR_PATH_NOT_FOUND;
            }
            break;
        }
        struct stat st;
        if (fstat(fd, &st) == -1) {
            code = ErrnoToLastError(errno);
            break;
        }
        if (S_ISDIR(st.st_mode)) {
            code = ERROR_ACCESS_DENIED;
            break;
        }
        // A pipe never ends and a device such as /dev/zero never stops giving bytes: neither is
        // a file this program can read or replace.
        if (!S_ISREG(st.st_mode)) {
            code = ERROR_BAD_FILE_TYPE;
            break;
        }
        if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == -1) {
            code = ErrnoToLastError(errno);
            break;
        }
        pShare = RegisterShare(EntryFor(st, nOpenFlags), true);
        if (!pShare) {
            code = ERROR_SHARING_VIOLATION;
            break;
        }
        const UINT share = nOpenFlags & kShareMask;
        int lockOp = 0;
        if (share == shareCompat || share == shareExclusive)
            lockOp = LOCK_EX;
        else if (share == shareDenyWrite)
            lockOp = LOCK_SH;
        // A file system without flock support still opens; only the advisory part is lost.
        if (lockOp != 0 && flock(fd, lockOp | LOCK_NB) == -1 && errno == EWOULDBLOCK) {
            code = ERROR_SHARING_VIOLATION;
            break;
        }
        // Emptying waits until the sharing checks have passed, so a refused open destroys nothing.
        if ((nOpenFlags & modeCreate) && !(nOpenFlags & modeNoTruncate) && ftruncate(fd, 0) == -1) {
            code = ErrnoToLastError(errno);
            break;
        }
    } while (false);

    if (code != NO_ERROR) {
        if (fd != -1)
            ::close(fd);
        SetLastError(code);
        if (pError != nullptr) {
            pError->m_cause = CFileException::OsErrorToException(static_cast<LONG>(code));
            pError->m_lOsError = static_cast<LONG>(code);
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }

    m_hFile = static_cast<UINT>(fd);
    m_bCloseOnDelete = TRUE;
    m_nOpenFlags = nOpenFlags;
    m_pShareEntry = std::move(pShare);
    m_strFileName = FullPathOf(lpszFileName);
    return TRUE;
}

int CFile::CheckedHandle() const
{
    if (m_hFile == hFileNull)
        CFileException::ThrowOsError(ERROR_INVALID_HANDLE, m_strFileName);
    return static_cast<int>(m_hFile);
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    const int fd = CheckedHandle();
    if (nCount == 0)
        return 0;
    if ((m_nOpenFlags & kAccessMask) == modeWrite)
        CFileException::ThrowOsError(ERROR_ACCESS_DENIED, m_strFileName);
    auto* pBytes = static_cast<char*>(lpBuf);
    UINT nRead = 0;
    while (nRead < nCount) {
        const ssize_t n = ::read(fd, pBytes + nRead, nCount - nRead);
        if (n == -1) {
            if (errno == EINTR)
                continue;
            ThrowLastErrno(m_strFileName);
        }
        if (n == 0)
            break;
        nRead += static_cast<UINT>(n);
    }
    return nRead;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    const int fd = CheckedHandle();
    if (nCount == 0)
        return;
    if ((m_nOpenFlags & kAccessMask) == modeRead)
        CFileException::ThrowOsError(ERROR_ACCESS_DENIED, m_strFileName);
    const auto* pBytes = static_cast<const char*>(lpBuf);
    UINT nWritten = 0;
    while (nWritten < nCount) {
        const ssize_t n = ::write(fd, pBytes + nWritten, nCount - nWritten);
        if (n == -1) {
            if (errno == EINTR)
                continue;
            ThrowLastErrno(m_strFileName);
        }
        if (n == 0)
            CFileException::ThrowOsError(ERROR_DISK_FULL, m_strFileName);
        nWritten += static_cast<UINT>(n);
    }
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    const int fd = CheckedHandle();
    int whence = SEEK_SET;
    if (nFrom == current)
        whence = SEEK_CUR;
    else if (nFrom == end)
        whence = SEEK_END;
    else if (nFrom != begin)
        CFileException::ThrowOsError(ERROR_INVALID_PARAMETER, m_strFileName);
    const off_t pos = lseek(fd, static_cast<off_t>(lOff), whence);
    if (pos == -1) {
        if (errno == EINVAL)
            CFileException::ThrowOsError(ERROR_NEGATIVE_SEEK, m_strFileName);
        ThrowLastErrno(m_strFileName);
    }
    return static_cast<ULONGLONG>(pos);
}

void CFile::SeekToBegin()
{
    Seek(0, begin);
}

ULONGLONG CFile::SeekToEnd()
{
    return Seek(0, end);
}

ULONGLONG CFile::GetPosition() const
{
    const off_t pos = lseek(CheckedHandle(), 0, SEEK_CUR);
    if (pos == -1)
        ThrowLastErrno(m_strFileName);
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetLength() const
{
    struct stat st;
    if (fstat(CheckedHandle(), &st) == -1)
        ThrowLastErrno(m_strFileName);
    return static_cast<ULONGLONG>(st.st_size);
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    const int fd = CheckedHandle();
    if (dwNewLen > static_cast<ULONGLONG>(std::numeric_limits<off_t>::max()))
        CFileException::ThrowOsError(ERROR_INVALID_PARAMETER, m_strFileName);
    if (ftruncate(fd, static_cast<off_t>(dwNewLen)) == -1)
        ThrowLastErrno(m_strFileName);
}

void CFile::Flush()
{
    if (m_hFile == hFileNull)
        return;
    // Pipes and terminals cannot be synced and have nothing to push.
    if (fdatasync(static_cast<int>(m_hFile)) == -1 && errno != EINVAL && errno != EROFS)
        ThrowLastErrno(m_strFileName);
}

int CFile::CloseHandle()
{
    int err = 0;
    if (m_hFile != hFileNull) {
        if (::close(static_cast<int>(m_hFile)) == -1 && errno != EINTR)
            err = errno;
    }
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    m_pShareEntry.reset();
    return err;
}

void CFile::Close()
{
    const int err = CloseHandle();
    if (err != 0) {
        errno = err;
        ThrowLastErrno(m_strFileName);
    }
}

void CFile::Abort()
{
    CloseHandle();
}

CFile* CFile::Duplicate() const
{
    const int fd = fcntl(CheckedHandle(), F_DUPFD_CLOEXEC, 0);
    if (fd == -1)
        ThrowLastErrno(m_strFileName);
    auto pFile = std::make_unique<CFile>();
    pFile->m_hFile = static_cast<UINT>(fd);
    pFile->m_bCloseOnDelete = TRUE;
    pFile->m_nOpenFlags = m_nOpenFlags;
    pFile->m_strFileName = m_strFileName;
    // The copy shares the original's open file, so it takes part in sharing checks the same way.
    if (m_pShareEntry)
        pFile->m_pShareEntry = RegisterShare(*static_cast<const ShareEntry*>(m_pShareEntry.get()), false);
    return pFile.release();
}

void CFile::LockRange(ULONGLONG dwPos, ULONGLONG dwCount)
{
    const int fd = CheckedHandle();
    const auto maxOff = static_cast<ULONGLONG>(std::numeric_limits<off_t>::max());
    if (dwPos > maxOff || dwCount > maxOff - dwPos)
        CFileException::ThrowOsError(ERROR_INVALID_PARAMETER, m_strFileName);
    if (dwCount == 0)
        return; // fcntl would read a length of 0 as "to the end of the file"
    struct flock fl = {};
    fl.l_type = (m_nOpenFlags & kAccessMask) == modeRead ? F_RDLCK : F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(dwPos);
    fl.l_len = static_cast<off_t>(dwCount);
    if (fcntl(fd, F_OFD_SETLK, &fl) == -1) {
        if (errno == EAGAIN || errno == EACCES)
            CFileException::ThrowOsError(ERROR_LOCK_VIOLATION, m_strFileName);
        ThrowLastErrno(m_strFileName);
    }
}

void CFile::UnlockRange(ULONGLONG dwPos, ULONGLONG dwCount)
{
    const int fd = CheckedHandle();
    const auto maxOff = static_cast<ULONGLONG>(std::numeric_limits<off_t>::max());
    if (dwPos > maxOff || dwCount > maxOff - dwPos)
        CFileException::ThrowOsError(ERROR_INVALID_PARAMETER, m_strFileName);
    if (dwCount == 0)
        return;
    struct flock fl = {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(dwPos);
    fl.l_len = static_cast<off_t>(dwCount);
    if (fcntl(fd, F_OFD_SETLK, &fl) == -1)
        ThrowLastErrno(m_strFileName);
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const
{
    rStatus = CFileStatus();
    if (m_hFile == hFileNull)
        return FALSE;
    struct statx stx;
    if (statx(static_cast<int>(m_hFile), "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &stx) == -1)
        return FALSE;
    FillStatus(stx, m_strFileName, rStatus);
    return TRUE;
}

BOOL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus)
{
    rStatus = CFileStatus();
    if (lpszFileName == nullptr || *lpszFileName == '\0')
        return FALSE;
    struct statx stx;
    if (statx(AT_FDCWD, lpszFileName, 0, STATX_BASIC_STATS | STATX_BTIME, &stx) == -1) {
        SetLastError(ErrnoToLastError(errno));
        return FALSE;
    }
    FillStatus(stx, FullPathOf(lpszFileName), rStatus);
    return TRUE;
}

void CFile::SetStatus(LPCTSTR lpszFileName, const CFileStatus& status)
{
    if (lpszFileName == nullptr)
        CFileException::ThrowOsError(ERROR_INVALID_PARAMETER, lpszFileName);
    struct stat st;
    if (::stat(lpszFileName, &st) == -1)
        ThrowLastErrno(lpszFileName);
    mode_t mode = st.st_mode & 07777;
    if (status.m_attribute & readOnly)
        mode &= ~static_cast<mode_t>(0222);
    else if ((mode & 0222) == 0)
        mode |= 0200;
    if (mode != (st.st_mode & 07777) && chmod(lpszFileName, mode) == -1)
        ThrowLastErrno(lpszFileName);
    const time_t atime = status.m_atime.GetTime();
    const time_t mtime = status.m_mtime.GetTime();
    if (mtime != 0 || atime != 0) {
        struct timespec times[2];
        times[0].tv_sec = atime;
        times[0].tv_nsec = atime != 0 ? 0 : UTIME_OMIT;
        times[1].tv_sec = mtime;
        times[1].tv_nsec = mtime != 0 ? 0 : UTIME_OMIT;
        if (utimensat(AT_FDCWD, lpszFileName, times, 0) == -1)
            ThrowLastErrno(lpszFileName);
    }
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName)
{
    if (lpszOldName == nullptr || lpszNewName == nullptr)
        CFileException::ThrowOsError(ERROR_INVALID_PARAMETER, lpszOldName);
    if (renameat2(AT_FDCWD, lpszOldName, AT_FDCWD, lpszNewName, RENAME_NOREPLACE) == 0)
        return;
    if (errno != EINVAL && errno != ENOSYS)
        ThrowLastErrno(lpszOldName);
    // The file system cannot refuse to replace by itself: check first (not atomic, but the
    // best such a file system allows).
    struct stat st;
    if (lstat(lpszNewName, &st) == 0)
        CFileException::ThrowOsError(ERROR_ALREADY_EXISTS, lpszOldName);
    if (::rename(lpszOldName, lpszNewName) == -1)
        ThrowLastErrno(lpszOldName);
}

void CFile::Remove(LPCTSTR lpszFileName)
{
    if (lpszFileName == nullptr)
        CFileException::ThrowOsError(ERROR_INVALID_PARAMETER, lpszFileName);
    struct stat st;
    if (lstat(lpszFileName, &st) == 0 && S_ISDIR(st.st_mode))
        CFileException::ThrowOsError(ERROR_ACCESS_DENIED, lpszFileName);
    if (::unlink(lpszFileName) == -1)
        ThrowLastErrno(lpszFileName);
}

CString CFile::GetFileName() const
{
    const int nSlash = m_strFileName.ReverseFind('/');
    return nSlash < 0 ? m_strFileName : m_strFileName.Mid(nSlash + 1);
}

CString CFile::GetFileTitle() const
{
    CString strName = GetFileName();
    const int nDot = strName.ReverseFind('.');
    // A leading dot starts a hidden file's name, not an extension.
    return nDot > 0 ? strName.Left(nDot) : strName;
}

CString CFile::GetFilePath() const
{
    return m_strFileName;
}

void CFile::SetFilePath(LPCTSTR lpszNewName)
{
    m_strFileName = lpszNewName;
}
