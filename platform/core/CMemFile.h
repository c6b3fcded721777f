// CMemFile: a file held in a growing memory buffer, for archives in memory and the clipboard.
#pragma once

#include "platform/core/CFile.h"

class CMemFile : public CFile {
    DECLARE_DYNAMIC(CMemFile)
public:
    // An empty file whose buffer grows in steps of at least nGrowBytes.
    explicit CMemFile(UINT nGrowBytes = 1024);
    // A file over the caller's buffer; see Attach.
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    // Uses the caller's buffer, which the file never frees. With nGrowBytes 0 the buffer's
    // content is the file (to read, or to overwrite in place) and the file cannot grow past it:
    // writing past its end raises CMemoryException. With nGrowBytes > 0 the file starts empty,
    // and when it outgrows the buffer its content moves to a buffer of its own (the caller's
    // buffer is left as it was, to be freed by the caller).
    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Hands the buffer to the caller and leaves the file empty. A buffer the file allocated
    // itself comes from Alloc/Realloc (malloc by default) and is to be freed accordingly.
    BYTE* Detach();

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    // Positions past the end are allowed; a later write fills the gap with zero bytes.
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;
    // Not possible on memory: each raises CNotSupportedException.
    CFile* Duplicate() const override;
    void LockRange(ULONGLONG dwPos, ULONGLONG dwCount) override;
    void UnlockRange(ULONGLONG dwPos, ULONGLONG dwCount) override;

    // Size only; the times are 0 and there is no name.
    BOOL GetStatus(CFileStatus& rStatus) const;

protected:
    // The allocator of the file's own buffers (malloc, realloc and free by default), for files
    // that keep their memory elsewhere (a shared clipboard block). The destructor calls only
    // this class's Free, so a class that overrides them closes the file in its own destructor.
    virtual BYTE* Alloc(SIZE_T nBytes);
    virtual BYTE* Realloc(BYTE* lpMem, SIZE_T nBytes);
    virtual void Free(BYTE* lpMem);

private:
    void GrowFile(size_t nNewLength);
    void FreeBuffer();

    size_t m_nGrowBytes;
    size_t m_nPosition = 0;
    size_t m_nBufferSize = 0;
    size_t m_nFileSize = 0;
    BYTE* m_lpBuffer = nullptr;
    bool m_bOwnsBuffer = true;
};
