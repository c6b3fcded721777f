// CMemFile: reading, writing and growing a memory buffer.
#include "platform/core/CMemFile.h"

#include "platform/core/CException.h"
#include "platform/core/CFileException.h"
#include "platform/core/WinError.h"

#include <cstdlib>
#include <cstring>
#include <limits>

IMPLEMENT_DYNAMIC(CMemFile, CFile)

namespace {

// Memory files hold at most what a DWORD can count, the largest size any caller stores.
constexpr size_t kMaxMemFileSize = std::numeric_limits<DWORD>::max();

} // namespace

CMemFile::CMemFile(UINT nGrowBytes) : m_nGrowBytes(nGrowBytes == 0 ? 1024 : nGrowBytes)
{
}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) : m_nGrowBytes(0)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    FreeBuffer();
}

void CMemFile::FreeBuffer()
{
    if (m_bOwnsBuffer && m_lpBuffer != nullptr)
        Free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    m_bOwnsBuffer = true;
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    FreeBuffer();
    m_lpBuffer = lpBuffer;
    m_nBufferSize = lpBuffer != nullptr ? nBufferSize : 0;
    m_nGrowBytes = nGrowBytes;
    m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
    m_bOwnsBuffer = false;
}

BYTE* CMemFile::Detach()
{
    BYTE* lpBuffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_bOwnsBuffer = true;
    FreeBuffer();
    return lpBuffer;
}

void CMemFile::GrowFile(size_t nNewLength)
{
    if (nNewLength <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0 || nNewLength > kMaxMemFileSize)
        AfxThrowMemoryException();
    // Round up to the grow step, and at least double, so that writing a large file byte by
    // byte stays linear.
    size_t nNewSize = (nNewLength + m_nGrowBytes - 1) / m_nGrowBytes * m_nGrowBytes;
    if (nNewSize < m_nBufferSize * 2)
        nNewSize = m_nBufferSize * 2;
    if (nNewSize > kMaxMemFileSize)
        nNewSize = kMaxMemFileSize;
    BYTE* lpNew = nullptr;
    if (m_bOwnsBuffer) {
        lpNew = m_lpBuffer != nullptr ? Realloc(m_lpBuffer, nNewSize) : Alloc(nNewSize);
    } else {
        lpNew = Alloc(nNewSize);
        if (lpNew != nullptr && m_nFileSize > 0)
            std::memcpy(lpNew, m_lpBuffer, m_nFileSize);
    }
    if (lpNew == nullptr)
        AfxThrowMemoryException();
    m_lpBuffer = lpNew;
    m_nBufferSize = nNewSize;
    m_bOwnsBuffer = true;
}

BYTE* CMemFile::Alloc(SIZE_T nBytes)
{
    return static_cast<BYTE*>(std::malloc(nBytes));
}

BYTE* CMemFile::Realloc(BYTE* lpMem, SIZE_T nBytes)
{
    return static_cast<BYTE*>(std::realloc(lpMem, nBytes));
}

void CMemFile::Free(BYTE* lpMem)
{
    std::free(lpMem);
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0 || m_nPosition >= m_nFileSize)
        return 0;
    const size_t nAvailable = m_nFileSize - m_nPosition;
    const size_t nRead = nCount < nAvailable ? nCount : nAvailable;
    std::memcpy(lpBuf, m_lpBuffer + m_nPosition, nRead);
    m_nPosition += nRead;
    return static_cast<UINT>(nRead);
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    if (m_nPosition > kMaxMemFileSize - nCount)
        AfxThrowMemoryException();
    const size_t nEnd = m_nPosition + nCount;
    GrowFile(nEnd);
    if (m_nPosition > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    std::memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = nEnd;
    if (m_nPosition > m_nFileSize)
        m_nFileSize = m_nPosition;
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom)
{
    LONGLONG nBase = 0;
    if (nFrom == current)
        nBase = static_cast<LONGLONG>(m_nPosition);
    else if (nFrom == end)
        nBase = static_cast<LONGLONG>(m_nFileSize);
    else if (nFrom != begin)
        CFileException::ThrowOsError(ERROR_INVALID_PARAMETER);
    if ((lOff < 0 && nBase + lOff < 0) || (lOff > 0 && lOff > static_cast<LONGLONG>(kMaxMemFileSize) - nBase))
        CFileException::ThrowOsError(ERROR_NEGATIVE_SEEK);
    m_nPosition = static_cast<size_t>(nBase + lOff);
    return m_nPosition;
}

ULONGLONG CMemFile::GetPosition() const
{
    return m_nPosition;
}

ULONGLONG CMemFile::GetLength() const
{
    return m_nFileSize;
}

void CMemFile::SetLength(ULONGLONG dwNewLen)
{
    if (dwNewLen > kMaxMemFileSize)
        AfxThrowMemoryException();
    const auto nNewLength = static_cast<size_t>(dwNewLen);
    if (nNewLength > m_nBufferSize)
        GrowFile(nNewLength);
    if (nNewLength > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, nNewLength - m_nFileSize);
    m_nFileSize = nNewLength;
    if (m_nPosition > m_nFileSize)
        m_nPosition = m_nFileSize;
}

void CMemFile::Flush()
{
}

void CMemFile::Close()
{
    FreeBuffer();
}

void CMemFile::Abort()
{
    FreeBuffer();
}

CFile* CMemFile::Duplicate() const
{
    AfxThrowNotSupportedException();
}

void CMemFile::LockRange(ULONGLONG, ULONGLONG)
{
    AfxThrowNotSupportedException();
}

void CMemFile::UnlockRange(ULONGLONG, ULONGLONG)
{
    AfxThrowNotSupportedException();
}

BOOL CMemFile::GetStatus(CFileStatus& rStatus) const
{
    rStatus = CFileStatus();
    rStatus.m_size = m_nFileSize;
    return TRUE;
}
