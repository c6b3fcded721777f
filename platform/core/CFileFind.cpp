// CFileFind: reading a folder, matching names and describing the entries found.
#include "platform/core/CFileFind.h"

#include "platform/core/WinError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

IMPLEMENT_DYNAMIC(CFileFind, CObject)

namespace {

bool MatchFrom(const char* pattern, const char* name)
{
    // Iterative matching with one back-track point for the last '*': linear in practice and
    // never recursive, whatever the pattern.
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name != '\0') {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || *pattern == *name) {
            ++pattern;
            ++name;
        } else if (starPattern != nullptr) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

bool StatEntry(int dirFd, const char* name, struct statx& stx)
{
    const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
    if (statx(dirFd, name, 0, mask, &stx) == 0)
        return true;
    // A dangling link is still an entry of the folder: describe the link itself.
    return statx(dirFd, name, AT_SYMLINK_NOFOLLOW, mask, &stx) == 0;
}

FILETIME FileTimeOf(time_t t)
{
    const ULONGLONG ticks = vostrel::kFileTimeUnixEpoch + static_cast<ULONGLONG>(static_cast<LONGLONG>(t)) * vostrel::kFileTimeTicksPerSecond;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
}

} // namespace

CFileFind::CFileFind() = default;

CFileFind::~CFileFind() = default;

BOOL CFileFind::MatchPattern(LPCTSTR pszPattern, LPCTSTR pszName)
{
    if (pszPattern == nullptr || pszName == nullptr)
        return FALSE;
    if (std::strcmp(pszPattern, "*.*") == 0)
        return TRUE;
    return MatchFrom(pszPattern, pszName) ? TRUE : FALSE;
}

void CFileFind::Close()
{
    m_entries.clear();
    m_strRoot.Empty();
    m_nNext = 0;
    m_bHaveCurrent = false;
}

BOOL CFileFind::FindFile(LPCTSTR pstrName, DWORD)
{
    Close();
    std::string path = (pstrName != nullptr && *pstrName != '\0') ? pstrName : "*.*";
    // The pattern is the last component; the rest names the folder.
    const size_t nSlash = path.rfind('/');
    std::string folder = nSlash == std::string::npos ? "." : (nSlash == 0 ? "/" : path.substr(0, nSlash));
    const std::string pattern = nSlash == std::string::npos ? path : path.substr(nSlash + 1);
    if (pattern.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
    std::string root = ec ? folder : absolute.lexically_normal().string();
    if (root.size() > 1 && root.back() == '/')
        root.pop_back();

    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrnoToLastError(errno));
        return FALSE;
    }
    const int dirFd = dirfd(dir.get());
    const bool hasWildcard = pattern.find_first_of("*?") != std::string::npos;
    while (const dirent* pEntry = readdir(dir.get())) {
        const char* name = pEntry->d_name;
        if (hasWildcard ? !MatchPattern(pattern.c_str(), name) : pattern != name)
            continue;
        struct statx stx;
        if (!StatEntry(dirFd, name, stx))
            continue; // vanished while we read the folder
        Entry entry;
        entry.name = name;
        const bool isDir = S_ISDIR(stx.stx_mode);
        entry.size = isDir ? 0 : stx.stx_size;
        DWORD attributes = 0;
        if ((stx.stx_mode & 0222) == 0)
            attributes |= FILE_ATTRIBUTE_READONLY;
        if (isDir)
            attributes |= FILE_ATTRIBUTE_DIRECTORY;
        else if (S_ISREG(stx.stx_mode))
            attributes |= FILE_ATTRIBUTE_ARCHIVE;
        else
            attributes |= FILE_ATTRIBUTE_SYSTEM;
        if (name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
            attributes |= FILE_ATTRIBUTE_HIDDEN;
        entry.attributes = attributes;
        entry.writeTime = stx.stx_mtime.tv_sec;
        entry.accessTime = stx.stx_atime.tv_sec;
        entry.creationTime = (stx.stx_mask & STATX_BTIME) ? stx.stx_btime.tv_sec : stx.stx_ctime.tv_sec;
        m_entries.push_back(std::move(entry));
    }
    if (m_entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    std::sort(m_entries.begin(), m_entries.end(),
              [](const Entry& a, const Entry& b) { return std::strcmp(a.name, b.name) < 0; });
    m_strRoot = root.c_str();
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (m_nNext >= m_entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    ++m_nNext;
    m_bHaveCurrent = true;
    return m_nNext < m_entries.size() ? TRUE : FALSE;
}

const CFileFind::Entry* CFileFind::Current() const
{
    if (!m_bHaveCurrent || m_nNext == 0 || m_nNext > m_entries.size())
        return nullptr;
    return &m_entries[m_nNext - 1];
}

ULONGLONG CFileFind::GetLength() const
{
    const Entry* pEntry = Current();
    return pEntry ? pEntry->size : 0;
}

CString CFileFind::GetFileName() const
{
    const Entry* pEntry = Current();
    return pEntry ? pEntry->name : CString();
}

CString CFileFind::GetFilePath() const
{
    const Entry* pEntry = Current();
    if (pEntry == nullptr)
        return CString();
    CString path = m_strRoot;
    if (path.IsEmpty() || path[path.GetLength() - 1] != '/')
        path += '/';
    path += pEntry->name;
    return path;
}

CString CFileFind::GetFileTitle() const
{
    CString name = GetFileName();
    const int nDot = name.ReverseFind('.');
    return nDot > 0 ? name.Left(nDot) : name;
}

CString CFileFind::GetFileURL() const
{
    const CString path = GetFilePath();
    if (path.IsEmpty())
        return CString();
    CString url = "file://";
    static const char kHex[] = "0123456789ABCDEF";
    for (int i = 0; i < path.GetLength(); ++i) {
        const auto ch = static_cast<unsigned char>(path[i]);
        const bool plain = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
                           ch == '-' || ch == '.' || ch == '_' || ch == '~' || ch == '/';
        if (plain) {
            url += static_cast<char>(ch);
        } else {
            url += '%';
            url += kHex[ch >> 4];
            url += kHex[ch & 0xF];
        }
    }
    return url;
}

CString CFileFind::GetRoot() const
{
    return m_strRoot;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* pTimeStamp) const
{
    const Entry* pEntry = Current();
    if (pEntry == nullptr || pTimeStamp == nullptr)
        return FALSE;
    *pTimeStamp = FileTimeOf(pEntry->writeTime);
    return TRUE;
}

BOOL CFileFind::GetLastAccessTime(FILETIME* pTimeStamp) const
{
    const Entry* pEntry = Current();
    if (pEntry == nullptr || pTimeStamp == nullptr)
        return FALSE;
    *pTimeStamp = FileTimeOf(pEntry->accessTime);
    return TRUE;
}

BOOL CFileFind::GetCreationTime(FILETIME* pTimeStamp) const
{
    const Entry* pEntry = Current();
    if (pEntry == nullptr || pTimeStamp == nullptr)
        return FALSE;
    *pTimeStamp = FileTimeOf(pEntry->creationTime);
    return TRUE;
}

BOOL CFileFind::GetLastWriteTime(CTime& refTime) const
{
    const Entry* pEntry = Current();
    if (pEntry == nullptr)
        return FALSE;
    refTime = CTime(pEntry->writeTime);
    return TRUE;
}

BOOL CFileFind::GetLastAccessTime(CTime& refTime) const
{
    const Entry* pEntry = Current();
    if (pEntry == nullptr)
        return FALSE;
    refTime = CTime(pEntry->accessTime);
    return TRUE;
}

BOOL CFileFind::GetCreationTime(CTime& refTime) const
{
    const Entry* pEntry = Current();
    if (pEntry == nullptr)
        return FALSE;
    refTime = CTime(pEntry->creationTime);
    return TRUE;
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const
{
    const Entry* pEntry = Current();
    if (pEntry == nullptr)
        return FALSE;
    DWORD attributes = pEntry->attributes;
    if (attributes == 0)
        attributes = FILE_ATTRIBUTE_NORMAL;
    return (attributes & dwMask) != 0 ? TRUE : FALSE;
}

BOOL CFileFind::IsDots() const
{
    const Entry* pEntry = Current();
    return pEntry != nullptr && (pEntry->name == "." || pEntry->name == "..") ? TRUE : FALSE;
}
