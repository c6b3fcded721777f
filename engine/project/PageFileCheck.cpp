#include "engine/project/PageFileCheck.h"

#include "engine/project/CPageNode.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* kLeadsElsewhere = "the page's name now leads to another file than the one the scan read (a link "
                                        "or another file was put in its place)";
constexpr const char* kScanReadsIt = "Start Scan reads what it holds now.";

} // namespace

int OpenPageFile(const CString& strPath, CString& strFile)
{
    // O_NONBLOCK changes nothing for a regular file, and keeps a pipe from holding the reader.
    constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    strFile = strPath;
    const int fd = ::open(strPath, kOpenFlags | O_NOFOLLOW);
    if (fd >= 0 || errno != ELOOP)
        return fd;
    // A page that is a link is read, and written, as the file the link names: the save puts its
    // backup beside that file, and the link stays as it is.
    char* pszReal = ::realpath(strPath, nullptr);
    if (pszReal == nullptr)
        return -1;
    strFile = pszReal;
    std::free(pszReal);
    return ::open(strFile, kOpenFlags);
}

CString ResolvedPathOf(int fd, const CString& strOpenedBy)
{
    // The system names the file the descriptor was opened on, whatever was renamed since.
    std::string link = "/proc/self/fd/" + std::to_string(fd);
    char szPath[PATH_MAX + 1] = {};
    const ssize_t nLength = ::readlink(link.c_str(), szPath, PATH_MAX);
    const std::string_view path(szPath, nLength > 0 ? static_cast<size_t>(nLength) : 0);
    constexpr std::string_view kDeleted = " (deleted)";
    if (!path.empty() && path.front() == '/'
        && (path.size() < kDeleted.size() || path.substr(path.size() - kDeleted.size()) != kDeleted))
        return CString(szPath);
    char* pszReal = ::realpath(strOpenedBy, nullptr);
    if (pszReal == nullptr)
        return CString();
    CString strReal(pszReal);
    std::free(pszReal);
    return strReal;
}

PageFileState JudgePageFile(const CPageNode& page, const CString& strPath, int fd, const struct stat& file)
{
    if (!page.IsReadFileKnown())
        return PageFileState::NotRead;
    if (page.IsReadFile(file.st_dev, file.st_ino))
        return page.IsReadFileAsItWas(file) ? PageFileState::AsRead : PageFileState::ChangedBehind;
    // Another file is the page's own only when it has no other name and the page's name leads
    // where it led: a new file an editor renamed over the page, or over the file that a link of
    // the page, or of a folder of its path, leads to. A link put in the page's place or a
    // folder's leads elsewhere; another page's file (a hard link) has a second name.
    if (file.st_nlink != 1)
        return PageFileState::LeadsElsewhere;
    const CString strNow = ResolvedPathOf(fd, strPath);
    const CString& strThen = page.GetReadFileResolved().IsEmpty() ? strPath : page.GetReadFileResolved();
    return !strNow.IsEmpty() && strNow == strThen ? PageFileState::ChangedBehind : PageFileState::LeadsElsewhere;
}

CString LeadsElsewhereLine()
{
    return CString("Not saved: ") + kLeadsElsewhere + ". The page was left as it is; " + kScanReadsIt;
}

CString LeadsElsewhereReason()
{
    return CString(kLeadsElsewhere) + ". " + kScanReadsIt;
}
