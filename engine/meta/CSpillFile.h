// CSpillFile: bytes the rewriting engine must hold back for longer than its output buffer, kept
// in a file without a name rather than in memory, so that a page of any size is held by the
// disk it is written to. The file goes with its descriptor, also when the process is killed.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <functional>

class CSpillFile {
public:
    // The file is made on the first Append, in the folder (the copy's, whose disk takes the page
    // anyway), or in the temporary folder when the folder is empty.
    explicit CSpillFile(const CString& strFolder);
    ~CSpillFile();
    CSpillFile(const CSpillFile&) = delete;
    CSpillFile& operator=(const CSpillFile&) = delete;
    CSpillFile(CSpillFile&&) = delete;
    CSpillFile& operator=(CSpillFile&&) = delete;

    // Keeps the bytes after those kept before. FALSE when they could not be kept: GetError then
    // tells why, and nothing more is kept.
    BOOL Append(const char* pBytes, size_t nLength);
    // Hands every byte kept to take, in the order kept, a piece at a time, and forgets them.
    // FALSE when they could not all be read back.
    BOOL TakeAll(const std::function<void(const char*, size_t)>& take);
    // How many bytes are kept.
    ULONGLONG GetSize() const { return m_nKept; }
    // The platform's error code of the first failure (ERROR_DISK_FULL, ...); 0 when none.
    DWORD GetError() const { return m_dwError; }

private:
    BOOL Fail(int nErrno);

    CString m_strFolder;
    int m_fd = -1;
    ULONGLONG m_nKept = 0;
    DWORD m_dwError = 0;
};
