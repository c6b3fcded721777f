// The file class of the project: a platform file bound to a path, whose operations report
// failures as message texts instead of raising exceptions.
#pragma once

#include "platform/core/CFile.h"
#include "platform/core/CString.h"

class CFileException;

class CFileWrapper : public CFile {
public:
    CFileWrapper() = default;
    explicit CFileWrapper(const CString& strPath) : m_strPath(strPath) {}
    ~CFileWrapper() override = default;

    // Sets only the platform file's own name; the stored path stays.
    void SetFilePath(LPCTSTR lpszNewName) override;
    void Serialize(CArchive&) override {}

    const CString& GetPath() const { return m_strPath; }
    void SetPath(const CString& strPath) { m_strPath = strPath; }

    // Opens the stored path; 0, or 1 with *pError (when given) describing the failure.
    UINT OpenStoredPath(UINT nOpenFlags, CFileException* pError);
    // Opens the stored path; 0, or 1 with the platform's message (at most 1000 characters).
    UINT OpenWithMessage(UINT nOpenFlags, CString& strMessage);
    // Writes the bytes; 0, or 1 with the error's message (at most 1024 characters) or
    // "Unknown error message.".
    UINT WriteWithMessage(const void* lpBuffer, UINT nCount, CString& strMessage);
    // Renames the stored path's file; when that fails, copies it to the new path (replacing a
    // file there) and deletes the old one. Either way makes the new path the stored path: 0.
    // When both fail: 1 with the rename's message, and the path stays.
    UINT Rename(const CString& strNewPath, CString& strMessage);
    // 1 when the file cannot be opened or asked, 2 when it is read-only, 3 otherwise.
    UINT GetAccessState();
    // The part of the path after its last "/", or the whole path when it has none; 0.
    UINT GetFileName(CString& strName) const;
    // The path up to and including its last "/"; 1 when it has none.
    UINT GetFolder(CString& strFolder) const;
    // 2 when a file of that path exists, 3 when not.
    static UINT FileExists(const CString& strPath);
    // Deletes the stored path's file; 0, or 1 with "Could not delete file '%s'.".
    UINT Delete(CString& strMessage);

    using CFile::GetFileName;

private:
    CString m_strPath;
};
