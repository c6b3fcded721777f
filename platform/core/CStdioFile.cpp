// CStdioFile: the stream, line reading and writing, and text-mode translation.
#include "platform/core/CStdioFile.h"

#include "platform/core/CException.h"
#include "platform/core/CFileException.h"
#include "platform/core/WinError.h"

#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

IMPLEMENT_DYNAMIC(CStdioFile, CFile)

CStdioFile::CStdioFile() : m_pStream(nullptr)
{
}

CStdioFile::CStdioFile(FILE* pOpenStream) : CFile(pOpenStream != nullptr ? fileno(pOpenStream) : -1), m_pStream(pOpenStream)
{
}

CStdioFile::CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_pStream(nullptr)
{
    CFileException error(CFileException::none, -1, nullptr);
    error.m_bAutoDelete = FALSE;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CStdioFile::~CStdioFile()
{
    if (m_pStream != nullptr && m_bCloseOnDelete)
        Abort();
}

BOOL CStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_pStream != nullptr)
        Abort();
    if (!CFile::Open(lpszFileName, nOpenFlags & ~static_cast<UINT>(typeText | typeBinary), pError))
        return FALSE;
    m_nOpenFlags = nOpenFlags;

    const UINT access = nOpenFlags & 0x3;
    const bool bAppend = access != modeRead && (!(nOpenFlags & modeCreate) || (nOpenFlags & modeNoTruncate));
    const char* pszMode = access == modeRead ? "r" : access == modeWrite ? (bAppend ? "a" : "w") : (bAppend ? "a+" : "r+");
    const int fd = static_cast<int>(m_hFile);
    if (bAppend) {
        const int flags = fcntl(fd, F_GETFL);
        if (flags != -1)
            fcntl(fd, F_SETFL, flags | O_APPEND);
    }
    m_pStream = fdopen(fd, pszMode);
    if (m_pStream == nullptr) {
        const DWORD code = ErrnoToLastError(errno);
        CFile::Abort();
        SetLastError(code);
        if (pError != nullptr) {
            pError->m_cause = CFileException::OsErrorToException(static_cast<LONG>(code));
            pError->m_lOsError = static_cast<LONG>(code);
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_bTextMode = !(nOpenFlags & typeBinary);
    return TRUE;
}

FILE* CStdioFile::CheckedStream() const
{
    if (m_pStream == nullptr)
        CFileException::ThrowOsError(ERROR_INVALID_HANDLE, m_strFileName);
    return m_pStream;
}

void CStdioFile::CheckReadable() const
{
    if ((m_nOpenFlags & 0x3) == modeWrite)
        CFileException::ThrowOsError(ERROR_ACCESS_DENIED, m_strFileName);
}

void CStdioFile::CheckWritable() const
{
    if ((m_nOpenFlags & 0x3) == modeRead)
        CFileException::ThrowOsError(ERROR_ACCESS_DENIED, m_strFileName);
}

void CStdioFile::ThrowStreamError() const
{
    const int err = errno != 0 ? errno : EIO;
    clearerr(m_pStream);
    const DWORD code = ErrnoToLastError(err);
    SetLastError(code);
    CFileException::ThrowOsError(static_cast<LONG>(code), m_strFileName);
}

int CStdioFile::GetChar()
{
    const int ch = getc(m_pStream);
    if (ch == '\r' && m_bTextMode) {
        const int next = getc(m_pStream);
        if (next == '\n')
            return '\n';
        if (next != EOF)
            ungetc(next, m_pStream);
    }
    return ch;
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    FILE* pStream = CheckedStream();
    CheckReadable();
    if (nCount == 0)
        return 0;
    errno = 0;
    if (!m_bTextMode) {
        const size_t nRead = fread(lpBuf, 1, nCount, pStream);
        if (nRead < nCount && ferror(pStream))
            ThrowStreamError();
        return static_cast<UINT>(nRead);
    }
    auto* pOut = static_cast<char*>(lpBuf);
    UINT nRead = 0;
    while (nRead < nCount) {
        const int ch = GetChar();
        if (ch == EOF)
            break;
        pOut[nRead++] = static_cast<char>(ch);
    }
    if (ferror(pStream))
        ThrowStreamError();
    return nRead;
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    FILE* pStream = CheckedStream();
    CheckWritable();
    errno = 0;
    const auto* pIn = static_cast<const char*>(lpBuf);
    if (!m_bTextMode) {
        if (fwrite(pIn, 1, nCount, pStream) != nCount)
            ThrowStreamError();
        return;
    }
    // Write the runs between line breaks in one piece each.
    const char* pEnd = pIn + nCount;
    while (pIn < pEnd) {
        const auto* pBreak = static_cast<const char*>(std::memchr(pIn, '\n', static_cast<size_t>(pEnd - pIn)));
        const char* pRunEnd = pBreak ? pBreak : pEnd;
        const auto nRun = static_cast<size_t>(pRunEnd - pIn);
        if (nRun > 0 && fwrite(pIn, 1, nRun, pStream) != nRun)
            ThrowStreamError();
        if (pBreak != nullptr && fwrite("\r\n", 1, 2, pStream) != 2)
            ThrowStreamError();
        pIn = pBreak ? pBreak + 1 : pEnd;
    }
}

void CStdioFile::WriteString(LPCTSTR lpsz)
{
    if (lpsz == nullptr)
        CFileException::ThrowOsError(ERROR_INVALID_PARAMETER, m_strFileName);
    const size_t nLength = std::strlen(lpsz);
    for (size_t nDone = 0; nDone < nLength;) {
        const auto nStep = static_cast<UINT>(std::min<size_t>(nLength - nDone, 1u << 30));
        Write(lpsz + nDone, nStep);
        nDone += nStep;
    }
}

LPTSTR CStdioFile::ReadString(LPTSTR lpsz, UINT nMax)
{
    FILE* pStream = CheckedStream();
    CheckReadable();
    if (lpsz == nullptr || nMax == 0)
        return nullptr;
    errno = 0;
    UINT nRead = 0;
    while (nRead + 1 < nMax) {
        const int ch = GetChar();
        if (ch == EOF)
            break;
        lpsz[nRead++] = static_cast<char>(ch);
        if (ch == '\n')
            break;
    }
    lpsz[nRead] = '\0';
    if (ferror(pStream))
        ThrowStreamError();
    return nRead == 0 && nMax > 1 ? nullptr : lpsz;
}

BOOL CStdioFile::ReadString(CString& rString)
{
    FILE* pStream = CheckedStream();
    CheckReadable();
    rString.Empty();
    errno = 0;
    char chunk[256];
    int nChunk = 0;
    bool bAny = false;
    for (;;) {
        const int ch = GetChar();
        if (ch == EOF)
            break;
        bAny = true;
        if (ch == '\n')
            break;
        chunk[nChunk++] = static_cast<char>(ch);
        if (nChunk == static_cast<int>(sizeof(chunk))) {
            rString.Append(chunk, nChunk);
            nChunk = 0;
        }
    }
    rString.Append(chunk, nChunk);
    if (ferror(pStream))
        ThrowStreamError();
    return bAny ? TRUE : FALSE;
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom)
{
    FILE* pStream = CheckedStream();
    int whence = SEEK_SET;
    if (nFrom == current)
        whence = SEEK_CUR;
    else if (nFrom == end)
        whence = SEEK_END;
    else if (nFrom != begin)
        CFileException::ThrowOsError(ERROR_INVALID_PARAMETER, m_strFileName);
    if (fseeko(pStream, static_cast<off_t>(lOff), whence) != 0) {
        if (errno == EINVAL)
            CFileException::ThrowOsError(ERROR_NEGATIVE_SEEK, m_strFileName);
        ThrowStreamError();
    }
    return GetPosition();
}

ULONGLONG CStdioFile::GetPosition() const
{
    const off_t pos = ftello(CheckedStream());
    if (pos == -1)
        ThrowStreamError();
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CStdioFile::GetLength() const
{
    FILE* pStream = CheckedStream();
    // Written data may still sit in the stream's buffer.
    if (fflush(pStream) != 0)
        ThrowStreamError();
    struct stat st;
    if (fstat(fileno(pStream), &st) == -1)
        ThrowStreamError();
    return static_cast<ULONGLONG>(st.st_size);
}

void CStdioFile::SetLength(ULONGLONG dwNewLen)
{
    FILE* pStream = CheckedStream();
    if (fflush(pStream) != 0)
        ThrowStreamError();
    CFile::SetLength(dwNewLen);
}

void CStdioFile::Flush()
{
    if (m_pStream != nullptr && fflush(m_pStream) != 0)
        ThrowStreamError();
}

void CStdioFile::Close()
{
    int err = 0;
    if (m_pStream != nullptr) {
        // An explicit Close closes an attached stream too; only destruction leaves it open.
        if (fclose(m_pStream) != 0)
            err = errno;
        m_pStream = nullptr;
    }
    m_hFile = hFileNull; // fclose has closed the descriptor
    CloseHandle();
    if (err != 0) {
        const DWORD code = ErrnoToLastError(err);
        SetLastError(code);
        CFileException::ThrowOsError(static_cast<LONG>(code), m_strFileName);
    }
}

void CStdioFile::Abort()
{
    if (m_pStream != nullptr && m_bCloseOnDelete)
        fclose(m_pStream);
    m_pStream = nullptr;
    m_hFile = hFileNull;
    CloseHandle();
}

CFile* CStdioFile::Duplicate() const
{
    AfxThrowNotSupportedException();
}

void CStdioFile::LockRange(ULONGLONG, ULONGLONG)
{
    AfxThrowNotSupportedException();
}

void CStdioFile::UnlockRange(ULONGLONG, ULONGLONG)
{
    AfxThrowNotSupportedException();
}
