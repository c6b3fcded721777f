// CFileFind: lists the files of a folder that match a name pattern with * and ? wildcards.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/CTime.h"
#include "platform/core/FileAttributes.h"
#include "platform/core/SystemTime.h"
#include "platform/core/Types.h"

#include <vector>

class CFileFind : public CObject {
    DECLARE_DYNAMIC(CFileFind)
public:
    CFileFind();
    ~CFileFind() override;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Starts a search: pstrName is a path whose last component may hold * (any run of
    // characters) and ? (any one character); names compare case-sensitively, except that
    // "*.*" (and the default, no name) matches every name, as it always has. Entries are
    // listed in byte order of their names, "." and ".." included where the pattern matches
    // them. TRUE when at least one entry matches; FindNextFile then makes the first current.
    virtual BOOL FindFile(LPCTSTR pstrName = nullptr, DWORD dwUnused = 0);
    // Makes the next entry current; FALSE when the entry it made current is the last one (and
    // when there is none at all).
    virtual BOOL FindNextFile();
    void Close();

    // The current entry.
    ULONGLONG GetLength() const;
    virtual CString GetFileName() const;
    // The folder of the search and the name, joined by "/".
    virtual CString GetFilePath() const;
    // The name without its extension.
    virtual CString GetFileTitle() const;
    // "file://" and the absolute path, with reserved characters percent-encoded.
    virtual CString GetFileURL() const;
    // The absolute folder searched, without a trailing "/" (except for the root itself).
    virtual CString GetRoot() const;

    virtual BOOL GetLastWriteTime(FILETIME* pTimeStamp) const;
    virtual BOOL GetLastAccessTime(FILETIME* pTimeStamp) const;
    virtual BOOL GetCreationTime(FILETIME* pTimeStamp) const;
    virtual BOOL GetLastWriteTime(CTime& refTime) const;
    virtual BOOL GetLastAccessTime(CTime& refTime) const;
    virtual BOOL GetCreationTime(CTime& refTime) const;

    // Attributes (FILE_ATTRIBUTE_ bits): read-only when no write bit is set, hidden for names
    // starting with a dot (but not "." and ".."), archive for regular files, system for other
    // kinds of file (devices, sockets, pipes).
    virtual BOOL MatchesMask(DWORD dwMask) const;
    virtual BOOL IsDots() const;
    BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsCompressed() const { return MatchesMask(FILE_ATTRIBUTE_COMPRESSED); }
    BOOL IsSystem() const { return MatchesMask(FILE_ATTRIBUTE_SYSTEM); }
    BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
    BOOL IsTemporary() const { return MatchesMask(FILE_ATTRIBUTE_TEMPORARY); }
    BOOL IsNormal() const { return MatchesMask(FILE_ATTRIBUTE_NORMAL); }
    BOOL IsArchived() const { return MatchesMask(FILE_ATTRIBUTE_ARCHIVE); }

    // TRUE when pszName matches pszPattern by the rules of FindFile.
    static BOOL MatchPattern(LPCTSTR pszPattern, LPCTSTR pszName);

private:
    struct Entry {
        CString name;
        ULONGLONG size = 0;
        DWORD attributes = 0;
        time_t writeTime = 0;
        time_t accessTime = 0;
        time_t creationTime = 0;
    };
    const Entry* Current() const;

    CString m_strRoot;
    std::vector<Entry> m_entries;
    size_t m_nNext = 0;      // the entry FindNextFile makes current
    bool m_bHaveCurrent = false;
};
