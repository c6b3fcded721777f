#include "engine/project/SaveFlush.h"

#include "platform/core/FdGuard.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

// Puts the folder's entries on the disk; errors are not the pages': each page was told already.
void SyncFolder(const char* pszFolder)
{
    FdGuard folder(::open(pszFolder, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        (void)::fsync(folder.Get());
}

// After a flush of the whole file system: whether the copy's own bytes reached the disk. The
// flush itself may report no error of a single file (older systems report none), but the file
// keeps its write error for its own descriptor; the wait finds nothing left to write.
int WrittenError(int fd)
{
    constexpr unsigned int kWaitAll = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    return ::sync_file_range(fd, 0, 0, kWaitAll) == 0 ? 0 : errno;
}

} // namespace

bool SaveFlush::FlushesWhole(int fd, dev_t device)
{
    if (const auto found = m_flushesWhole.find(device); found != m_flushesWhole.end())
        return found->second;
    struct statfs info {};
    bool bWhole = false;
    if (::fstatfs(fd, &info) == 0) {
        switch (static_cast<unsigned long>(info.f_type)) {
        case EXT4_SUPER_MAGIC: // also ext2 and ext3
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case F2FS_SUPER_MAGIC:
        case TMPFS_MAGIC:
            bWhole = true;
            break;
        default:
            break;
        }
    }
    m_flushesWhole.emplace(device, bWhole);
    return bWhole;
}

void SaveFlush::FlushCopies(std::vector<Copy>& copies)
{
    std::map<dev_t, std::vector<Copy*>> byDevice;
    for (Copy& copy : copies) {
        struct stat info {};
        if (::fstat(copy.fd, &info) != 0)
            copy.nError = errno;
        else
            byDevice[info.st_dev].push_back(&copy);
    }
    for (auto& [device, group] : byDevice) {
        if (FlushesWhole(group.front()->fd, device) && ::syncfs(group.front()->fd) == 0) {
            for (Copy* pCopy : group)
                pCopy->nError = WrittenError(pCopy->fd);
            m_replaced.erase(device);
            continue;
        }
        // One copy at a time, then their folders: also where the flush of the whole file system
        // failed, so that the failure is told for the copies it concerns, and the rest are saved.
        std::set<std::string> folders;
        for (Copy* pCopy : group) {
            pCopy->nError = ::fsync(pCopy->fd) == 0 ? 0 : errno;
            folders.insert(pCopy->strFolder.GetString());
        }
        for (const std::string& folder : folders)
            SyncFolder(folder.c_str());
    }
}

void SaveFlush::NoteReplaced(const CString& strFolder, dev_t device)
{
    m_replaced[device].insert(strFolder.GetString());
}

void SaveFlush::FlushReplaced(Replaced which)
{
    for (auto pos = m_replaced.begin(); pos != m_replaced.end();) {
        const auto& [device, folders] = *pos;
        const bool bWhole = m_flushesWhole.count(device) != 0 && m_flushesWhole[device];
        if (bWhole && which == Replaced::OfThisBatch) {
            ++pos;
            continue;
        }
        FdGuard first(bWhole ? ::open(folders.begin()->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1);
        if (first.Get() < 0 || ::syncfs(first.Get()) != 0) {
            for (const std::string& folder : folders)
                SyncFolder(folder.c_str());
        }
        pos = m_replaced.erase(pos);
    }
}
