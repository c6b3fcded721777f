#include "engine/project/SaveCopies.h"

#include "platform/core/FdGuard.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

// The mark: the process that made the copy, by its id and its start time (ids are used again),
// its machine's name and its process namespace, as "4711 123456 host pid:[4026531836]". A copy
// whose process is gone was left by a save that never ended, and nothing but the mark tells it
// from a user's file of the same name. Marks made before the machine or the namespace was named
// end early: they are taken for this machine's and this namespace's. After the text, a NUL, the
// page's file name, a NUL and the backup name the save was giving the page's old file.
constexpr const char* kCopyMark = "user.vostrel.save-copy";
constexpr size_t kMarkRoom = 1024;
constexpr const char* kCopyPrefix = "SAV";

std::mt19937& Random()
{
    thread_local std::mt19937 random{std::random_device{}()};
    return random;
}

CString NameBase(const CString& strFolder, LPCTSTR lpszPrefix)
{
    CString strBase = strFolder.IsEmpty() ? CString(".") : strFolder;
    if (strBase[strBase.GetLength() - 1] != '/')
        strBase += "/";
    strBase += CString(lpszPrefix != nullptr ? lpszPrefix : "").Left(3);
    return strBase;
}

// The check a signed copy's name carries after its number: 48 bits that follow from the number
// alone, so that the name tells the save's own copy wherever the file is copied to, whatever the
// copy keeps of its marks, and a name a user gave a file of theirs does not pass for one.
unsigned long long NameCheck(UINT nNumber)
{
    unsigned long long n = nNumber ^ 0x5641564553415645ull;
    n = (n ^ (n >> 30)) * 0xBF58476D1CE4E5B9ull;
    n = (n ^ (n >> 27)) * 0x94D049BB133111EBull;
    return (n ^ (n >> 31)) >> 16;
}

constexpr int kNumberDigits = 4;
constexpr int kCheckDigits = 12;

// How a name is made of its number: "<base><hex>.tmp", or, signed, the number in four digits
// and its check.
enum class Naming { Plain, Signed };

// Tries names from a random start number (hard to guess) until make succeeds on one; make gives
// 0, or -1 with errno, and only EEXIST goes on to the next name.
template <class Make>
bool TryTempNames(const CString& strBase, CString& strPath, Make&& make, Naming naming = Naming::Plain)
{
    UINT nNumber = std::uniform_int_distribution<UINT>(1, 0xFFFF)(Random());
    for (UINT nTry = 0; nTry < 0xFFFF; ++nTry, nNumber = nNumber % 0xFFFF + 1) {
        CString strCandidate;
        if (naming == Naming::Signed)
            strCandidate.Format("%s%0*X%0*llX.tmp", strBase.GetString(), kNumberDigits, nNumber, kCheckDigits,
                                NameCheck(nNumber));
        else
            strCandidate.Format("%s%X.tmp", strBase.GetString(), nNumber);
        if (make(strCandidate) == 0) {
            strPath = strCandidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    errno = EEXIST;
    return false;
}

// ---- The process of a mark ----

// What the system tells of a process: when it started (clock ticks after the system's start)
// and whether it has ended and only waits to be reaped.
struct ProcessState {
    unsigned long long nStart = 0;
    bool bEnded = false;
};

// Reads a process's stat line; false when it cannot be read, whatever the reason.
bool ReadProcessState(const char* pszStatPath, ProcessState& state)
{
    FdGuard stat(::open(pszStatPath, O_RDONLY | O_CLOEXEC));
    if (stat.Get() < 0)
        return false;
    char szStat[1024] = {};
    const ssize_t n = ::read(stat.Get(), szStat, sizeof szStat - 1);
    if (n <= 0)
        return false;
    // The fields after the command's name, which may hold blanks, start after its ")": the
    // state is the 3rd field, the start time the 22nd.
    const char* p = std::strrchr(szStat, ')');
    if (p == nullptr || p[1] != ' ' || p[2] == '\0')
        return false;
    const char chState = p[2];
    for (int nField = 2; p != nullptr && nField < 22; ++nField)
        p = std::strchr(p + 1, ' ');
    if (p == nullptr || !std::isdigit(static_cast<unsigned char>(p[1])))
        return false;
    state.nStart = std::strtoull(p + 1, nullptr, 10);
    state.bEnded = chState == 'Z' || chState == 'X';
    return true;
}

std::string HostName()
{
    char szHost[256] = {};
    if (::gethostname(szHost, sizeof szHost - 1) != 0)
        return std::string();
    return szHost;
}

// This process's namespace of process ids, as the system names it ("pid:[4026531836]"); empty
// when it cannot be told.
std::string OwnPidNamespace()
{
    char szLink[64] = {};
    const ssize_t n = ::readlink("/proc/self/ns/pid", szLink, sizeof szLink - 1);
    return n > 0 ? std::string(szLink, static_cast<size_t>(n)) : std::string();
}

// Whether /proc lists the processes of this process's own namespace under the ids this process
// knows them by: only then can the process of a mark be looked up there.
bool ProcShowsOwnProcesses()
{
    char szLink[32] = {};
    const ssize_t n = ::readlink("/proc/self", szLink, sizeof szLink - 1);
    return n > 0 && std::string(szLink, static_cast<size_t>(n)) == std::to_string(::getpid());
}

// The mark of this process's copies; empty when any part of it cannot be told. A copy is then
// left unmarked, which no sweep takes, rather than marked with what another sweep would misread.
std::string OwnCopyMark()
{
    static std::mutex s_lock;
    static std::string s_mark;
    static pid_t s_pid = 0;
    std::lock_guard<std::mutex> guard(s_lock);
    // A child forked from this process is another process; a failed look is tried again.
    if (s_pid != ::getpid() || s_mark.empty()) {
        s_pid = ::getpid();
        s_mark.clear();
        ProcessState self;
        const std::string strNamespace = OwnPidNamespace();
        if (ReadProcessState("/proc/self/stat", self) && !strNamespace.empty())
            s_mark = std::to_string(s_pid) + " " + std::to_string(self.nStart) + " " + HostName() + " " + strNamespace;
    }
    return s_mark;
}

// Whether the copy now carries the mark.
bool MarkCopy(int fd, const std::string& strMark)
{
    return !strMark.empty() && strMark.size() <= kMarkRoom
        && ::fsetxattr(fd, kCopyMark, strMark.data(), strMark.size(), 0) == 0;
}

// What a copy's mark says.
struct CopyMark {
    long nPid = 0;
    unsigned long long nStart = 0;
    std::string strHost;      // empty: this machine
    std::string strNamespace; // empty: this namespace
    std::string strPage;      // the page whose backup name the save was making, if any
    std::string strBackup;
};

bool ParseCopyMark(const char* pData, size_t nSize, CopyMark& mark)
{
    const std::string value(pData, nSize);
    const std::string text = value.substr(0, value.find('\0'));
    int nRestAt = -1;
    if (std::sscanf(text.c_str(), "%ld %llu %n", &mark.nPid, &mark.nStart, &nRestAt) != 2 || mark.nPid <= 0
        || mark.nPid > INT_MAX)
        return false;
    const std::string rest = nRestAt >= 0 ? text.substr(static_cast<size_t>(nRestAt)) : std::string();
    const size_t nSpace = rest.rfind(' ');
    const std::string last = nSpace == std::string::npos ? rest : rest.substr(nSpace + 1);
    if (last.rfind("pid:[", 0) == 0) {
        mark.strNamespace = last;
        mark.strHost = nSpace == std::string::npos ? std::string() : rest.substr(0, nSpace);
    } else {
        mark.strHost = rest;
    }
    if (text.size() < value.size()) {
        const std::string names = value.substr(text.size() + 1);
        if (const size_t nZero = names.find('\0'); nZero != std::string::npos) {
            mark.strPage = names.substr(0, nZero);
            mark.strBackup = names.substr(nZero + 1);
        }
    }
    return true;
}

// Whether the process that made a copy is known to be gone: there is no such process, or the
// process of that id started at another time or has ended. Whatever keeps it from being looked
// at leaves it running, as far as the sweep is concerned.
bool IsKnownGone(const CopyMark& mark)
{
    // Another machine's process cannot be looked for here, nor one of another namespace.
    if (!mark.strHost.empty() && mark.strHost != HostName())
        return false;
    if (!mark.strNamespace.empty() && mark.strNamespace != OwnPidNamespace())
        return false;
    // The signal test sees every process of the namespace, whoever owns it and whatever /proc
    // shows.
    if (::kill(static_cast<pid_t>(mark.nPid), 0) != 0)
        return errno == ESRCH;
    if (!ProcShowsOwnProcesses())
        return false;
    char szPath[64];
    std::snprintf(szPath, sizeof szPath, "/proc/%ld/stat", mark.nPid);
    ProcessState state;
    if (!ReadProcessState(szPath, state))
        return false;
    return state.nStart != mark.nStart || state.bEnded;
}

// How many upper-case hexadecimal digits the name has between "SAV" and ".tmp"; 0 when it is no
// name of that form.
size_t CopyNameDigits(const char* pszName)
{
    if (std::strncmp(pszName, kCopyPrefix, 3) != 0)
        return 0;
    const char* p = pszName + 3;
    const char* pDigits = p;
    while (std::isxdigit(static_cast<unsigned char>(*p)) && !std::islower(static_cast<unsigned char>(*p)))
        ++p;
    return std::strcmp(p, ".tmp") == 0 ? static_cast<size_t>(p - pDigits) : 0;
}

// Whether the name is one the save gives its copies: "SAV", hexadecimal digits, ".tmp".
bool IsSaveCopyName(const char* pszName)
{
    const size_t nDigits = CopyNameDigits(pszName);
    return (nDigits > 0 && nDigits <= 8) || nDigits == kNumberDigits + kCheckDigits;
}

// Whether the name is a signed one, its check following from its number: the name of a copy the
// save made carrying its mark.
bool IsSignedCopyName(const char* pszName)
{
    if (CopyNameDigits(pszName) != kNumberDigits + kCheckDigits)
        return false;
    const std::string digits(pszName + 3, kNumberDigits + kCheckDigits);
    const auto nNumber = static_cast<UINT>(std::strtoul(digits.substr(0, kNumberDigits).c_str(), nullptr, 16));
    return nNumber != 0 && std::strtoull(digits.substr(kNumberDigits).c_str(), nullptr, 16) == NameCheck(nNumber);
}

// Whether the name is one of the page's backup names: the page's name, ".old" and at most two
// digits, all within the folder.
bool IsBackupNameOf(const std::string& strBackup, const std::string& strPage)
{
    if (strPage.empty() || strPage == "." || strPage == ".." || strPage.find('/') != std::string::npos)
        return false;
    const std::string strOld = strPage + ".old";
    if (strBackup.compare(0, strOld.size(), strOld) != 0)
        return false;
    const std::string digits = strBackup.substr(strOld.size());
    if (digits.size() > 2)
        return false;
    for (const char ch : digits) {
        if (!std::isdigit(static_cast<unsigned char>(ch)))
            return false;
    }
    return true;
}

// Calls visit with the name of each entry of the folder; false when the folder cannot be listed.
// The listing reads through a descriptor of its own, so that the folder's stays free for the
// caller's removes.
template <class Visit>
bool ForEachEntryIn(int fdFolder, Visit&& visit)
{
    const int fdList = fdFolder >= 0 ? ::fcntl(fdFolder, F_DUPFD_CLOEXEC, 0) : -1;
    DIR* pDir = fdList >= 0 ? ::fdopendir(fdList) : nullptr;
    if (pDir == nullptr) {
        if (fdList >= 0)
            ::close(fdList);
        return false;
    }
    // Seen from the start, whoever listed it through another descriptor before.
    ::rewinddir(pDir);
    while (const dirent* pEntry = ::readdir(pDir))
        visit(pEntry->d_name);
    ::closedir(pDir);
    return true;
}

// What a file of a copy's name is, by its mark.
enum class CopyKind {
    Other,      // no copy, or one that cannot be looked at: it stays
    Marked,     // a copy that carries its mark
    MarkLost,   // a signed copy without its mark: copied (or moved) without it, and so left
};

CopyKind ReadCopy(int fdFolder, const char* pszName, CopyMark& mark)
{
    if (!IsSaveCopyName(pszName))
        return CopyKind::Other;
    struct stat info {};
    if (::fstatat(fdFolder, pszName, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
        return CopyKind::Other;
    FdGuard file(::openat(fdFolder, pszName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0)
        return CopyKind::Other;
    char szMark[kMarkRoom] = {};
    const ssize_t n = ::fgetxattr(file.Get(), kCopyMark, szMark, sizeof szMark);
    if (n > 0)
        return ParseCopyMark(szMark, static_cast<size_t>(n), mark) ? CopyKind::Marked : CopyKind::Other;
    // A save signs a copy's name only once the copy carries its mark, which it keeps for as long
    // as it bears the name: a signed copy without one (none there, or a file system that keeps
    // none) was carried off without it, as a site copied by a tool that drops marks carries
    // the copies a killed save left, and no save writes it.
    if (n < 0 && (errno == ENODATA || errno == ENOTSUP || errno == EOPNOTSUPP) && IsSignedCopyName(pszName))
        return CopyKind::MarkLost;
    return CopyKind::Other;
}

// Whether the file in the folder is a save's copy that carries a mark, with what the mark says.
bool ReadMarkedCopy(int fdFolder, const char* pszName, CopyMark& mark)
{
    return ReadCopy(fdFolder, pszName, mark) == CopyKind::Marked;
}

// Whether a copy of the folder that a save may still be writing notes the same backup name for
// the same page: that save has made, or is about to make, the name a second name of the page,
// and needs it as the page's backup once its copy takes the page's place. Whatever keeps the
// folder from being looked through counts as such a copy.
bool IsNamedByLiveCopy(int fdFolder, const CopyMark& left)
{
    bool bNamed = false;
    const bool bListed = ForEachEntryIn(fdFolder, [&](const char* pszName) {
        CopyMark mark;
        if (!bNamed && ReadMarkedCopy(fdFolder, pszName, mark) && mark.strPage == left.strPage
            && mark.strBackup == left.strBackup && !IsKnownGone(mark))
            bNamed = true;
    });
    return bNamed || !bListed;
}

// A left copy's save may have given the page's old file its backup name and stopped before the
// page was replaced: that name then names the page itself, a backup that is no backup, and is
// taken back. Only the name goes, only while it still is the page, and never while a running
// save's copy notes it: a save that runs makes just that state between giving the page its
// backup name and putting its copy in the page's place, and the name is then its only backup.
void TakeBackBackupName(int fdFolder, const CopyMark& mark)
{
    if (!IsBackupNameOf(mark.strBackup, mark.strPage))
        return;
    struct stat page {};
    struct stat backup {};
    if (::fstatat(fdFolder, mark.strPage.c_str(), &page, AT_SYMLINK_NOFOLLOW) != 0
        || ::fstatat(fdFolder, mark.strBackup.c_str(), &backup, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    if (!S_ISREG(page.st_mode) || page.st_dev != backup.st_dev || page.st_ino != backup.st_ino)
        return;
    // A save notes the name in its copy's mark before it gives it, so a save that made this
    // state is seen here.
    if (!IsNamedByLiveCopy(fdFolder, mark))
        (void)::unlinkat(fdFolder, mark.strBackup.c_str(), 0);
}

// Gives a file made without a name (O_TMPFILE) a copy's name in the folder. The system names
// such a file through its descriptor only for a process with a right most users lack; /proc
// names it for everyone else.
bool NameCopy(int fd, const CString& strBase, CString& strPath, Naming naming)
{
    char szSelf[64];
    std::snprintf(szSelf, sizeof szSelf, "/proc/self/fd/%d", fd);
    return TryTempNames(
        strBase, strPath,
        [&](const CString& strCandidate) {
            if (::linkat(AT_FDCWD, szSelf, AT_FDCWD, strCandidate, AT_SYMLINK_FOLLOW) == 0)
                return 0;
            if (errno == EEXIST)
                return -1;
            return ::linkat(fd, "", AT_FDCWD, strCandidate, AT_EMPTY_PATH);
        },
        naming);
}

// Opens the named copy again, so that its descriptor is known by its name (a file made without
// one keeps showing none); -1 when the name no longer names that file.
int ReopenCopy(int fdNameless, const CString& strPath)
{
    const int fd = ::open(strPath, O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat made {};
    struct stat named {};
    if (::fstat(fdNameless, &made) != 0 || ::fstat(fd, &named) != 0 || made.st_dev != named.st_dev
        || made.st_ino != named.st_ino) {
        ::close(fd);
        errno = EEXIST;
        return -1;
    }
    return fd;
}

} // namespace

int CreateTempFileIn(const CString& strFolder, LPCTSTR lpszPrefix, CString& strPath)
{
    int fd = -1;
    const bool bMade = TryTempNames(NameBase(strFolder, lpszPrefix), strPath, [&](const CString& strCandidate) {
        // O_EXCL keeps the name ours.
        fd = ::open(strCandidate, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        return fd >= 0 ? 0 : -1;
    });
    return bMade ? fd : -1;
}

int CreateSaveCopy(const CString& strFolder, CString& strPath)
{
    const std::string strMark = OwnCopyMark();
    const CString strBase = NameBase(strFolder, kCopyPrefix);
    // Made without a name, marked, then named: there is no moment at which a sweep could find
    // it under its name without its mark.
    FdGuard nameless(::open(strFolder.IsEmpty() ? CString(".") : strFolder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (nameless.Get() >= 0) {
        // Only a copy that carries its mark gets a signed name.
        const Naming naming = MarkCopy(nameless.Get(), strMark) ? Naming::Signed : Naming::Plain;
        CString strNamed;
        if (NameCopy(nameless.Get(), strBase, strNamed, naming)) {
            const int fd = ReopenCopy(nameless.Get(), strNamed);
            if (fd >= 0) {
                strPath = strNamed;
                return fd;
            }
            // The name is given up, unless another file took it meanwhile.
            struct stat made {};
            struct stat named {};
            if (::fstat(nameless.Get(), &made) == 0 && ::lstat(strNamed, &named) == 0 && made.st_dev == named.st_dev
                && made.st_ino == named.st_ino)
                ::unlink(strNamed);
        }
    }
    // A file system that makes no files without a name: the copy is named first and marked at
    // once, and a save killed in between leaves a copy no sweep takes. Its name is a plain one,
    // which no sweep takes without the mark.
    const int fd = CreateTempFileIn(strFolder, kCopyPrefix, strPath);
    if (fd >= 0)
        (void)MarkCopy(fd, strMark);
    return fd;
}

void NoteSaveCopyBackup(int fdCopy, const CString& strPageName, const CString& strBackupName)
{
    std::string strMark = OwnCopyMark();
    if (strMark.empty())
        return;
    strMark.push_back('\0');
    strMark.append(strPageName.GetString(), static_cast<size_t>(strPageName.GetLength()));
    strMark.push_back('\0');
    strMark.append(strBackupName.GetString(), static_cast<size_t>(strBackupName.GetLength()));
    (void)MarkCopy(fdCopy, strMark);
}

void UnmarkSaveCopy(const CString& strPath)
{
    (void)::removexattr(strPath, kCopyMark);
}

UINT RemoveLeftSaveCopiesIn(const CString& strFolder)
{
    FdGuard folder(::open(strFolder, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::vector<std::pair<std::string, CopyMark>> left;
    (void)ForEachEntryIn(folder.Get(), [&](const char* pszName) {
        CopyMark mark;
        const CopyKind kind = ReadCopy(folder.Get(), pszName, mark);
        if ((kind == CopyKind::Marked && IsKnownGone(mark)) || kind == CopyKind::MarkLost)
            left.emplace_back(pszName, std::move(mark));
    });
    UINT nRemoved = 0;
    for (const auto& entry : left) {
        // Only the sweep that removed the copy takes its backup name back: another sweep of the
        // folder may have removed it and taken the name back already, and a save begun since may
        // have given the same name to the page again, as its fresh backup.
        if (::unlinkat(folder.Get(), entry.first.c_str(), 0) != 0)
            continue;
        ++nRemoved;
        TakeBackBackupName(folder.Get(), entry.second);
    }
    return nRemoved;
}
