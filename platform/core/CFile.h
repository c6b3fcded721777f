// CFile: an unbuffered file over a POSIX file descriptor, with the class library's open modes,
// sharing rules, byte-range locks and status queries; failures raise CFileException.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/CTime.h"
#include "platform/core/Types.h"

#include <memory>

class CFileException;

// A file's status. A time of 0 means "unknown" (and "leave as it is" for SetStatus).
struct CFileStatus {
    CTime m_ctime;        // creation time (birth time where the file system records it)
    CTime m_mtime;        // last write
    CTime m_atime;        // last access
    ULONGLONG m_size = 0; // bytes
    BYTE m_attribute = 0; // CFile::Attribute bits
    BYTE m_padding = 0;
    TCHAR m_szFullName[MAX_PATH] = {};
};

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000u,
    };

    enum Attribute : BYTE {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20,
    };

    enum SeekPosition : UINT { begin = 0x0, current = 0x1, end = 0x2 };

    // m_hFile holds a POSIX file descriptor; hFileNull when the object has no open file.
    static constexpr UINT hFileNull = 0xFFFFFFFFu;

    CFile();
    // Wraps a descriptor opened elsewhere; it is not closed when the object is destroyed.
    explicit CFile(int hFile);
    // Opens the file or raises CFileException.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens a file. Sharing: shareExclusive (and shareCompat, which means the same) and the
    // deny modes are checked against every file this process has open, exactly; between
    // processes they are advisory (a whole-file flock: exclusive for shareExclusive/shareCompat,
    // shared for shareDenyWrite), so they hold against other instances of this program only.
    // modeCreate without modeNoTruncate empties the file, but only once the sharing check has
    // passed. Only regular files open: the open never blocks, and a FIFO, socket or device
    // (found on the opened descriptor) fails with ERROR_BAD_FILE_TYPE, a folder with
    // ERROR_ACCESS_DENIED. Descriptors are never inherited by child processes. On failure: FALSE, and
    // *pError (when given) describes the failure.
    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);

    // Reads up to nCount bytes; fewer only at the end of the file.
    virtual UINT Read(void* lpBuf, UINT nCount);
    // Writes all nCount bytes or raises CFileException (diskFull, accessDenied, ...).
    virtual void Write(const void* lpBuf, UINT nCount);

    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin();
    ULONGLONG SeekToEnd();
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG dwNewLen);

    // Pushes written data to the device.
    virtual void Flush();
    // Closes the file; raises CFileException when the system reports a failure.
    virtual void Close();
    // Closes the file and ignores every failure; safe on a closed file.
    virtual void Abort();
    // A second object on the same open file (shared position and locks).
    virtual CFile* Duplicate() const;

    // Exclusive locks on byte ranges, held per open file (not per process): another CFile on
    // the same file, in this process or another, fails with lockViolation. The locks are
    // advisory: reads and writes through other files are not stopped. A file open for reading
    // only takes shared locks.
    virtual void LockRange(ULONGLONG dwPos, ULONGLONG dwCount);
    virtual void UnlockRange(ULONGLONG dwPos, ULONGLONG dwCount);

    BOOL GetStatus(CFileStatus& rStatus) const;
    static BOOL GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus);
    // Sets the times that are not 0 and the read-only attribute (clearing or giving back the
    // write bits); raises CFileException on failure.
    static void SetStatus(LPCTSTR lpszFileName, const CFileStatus& status);
    // Fails (accessDenied) when the new name exists already, as the platform's rename does.
    static void Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
    // Removes a file; a directory is refused (accessDenied).
    static void Remove(LPCTSTR lpszFileName);

    // The name (last path component), the title (the name without its extension) and the
    // full path of the open file.
    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual CString GetFilePath() const;
    virtual void SetFilePath(LPCTSTR lpszNewName);

    UINT m_hFile;
    BOOL m_bCloseOnDelete;
    CString m_strFileName;

protected:
    // Closes the descriptor and forgets the sharing record; returns the close errno or 0.
    int CloseHandle();
    // The descriptor, or raises CFileException (invalidFile) when the file is not open.
    int CheckedHandle() const;

    // The flags the file was opened with (access and sharing).
    UINT m_nOpenFlags = 0;

private:
    // This open's record in the process's table of open files (see Open); empty when closed.
    std::shared_ptr<void> m_pShareEntry;
};
