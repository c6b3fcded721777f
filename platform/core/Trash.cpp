#include "platform/core/Trash.h"

#include "platform/core/FileOperations.h"
#include "platform/core/UserDirs.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Parent(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool IsDirectory(const std::string& path)
{
    struct stat st{};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The device of a path, or of its nearest existing ancestor.
bool DeviceOf(std::string path, dev_t& device)
{
    for (;;) {
        struct stat st{};
        if (stat(path.c_str(), &st) == 0) {
            device = st.st_dev;
            return true;
        }
        if (path == "/" || path.empty())
            return false;
        path = Parent(path);
    }
}

// The top folder of the file system holding path (path's folder must exist).
std::string TopFolder(const std::string& folder)
{
    struct stat st{};
    if (stat(folder.c_str(), &st) != 0)
        return {};
    std::string top = folder;
    while (top != "/") {
        std::string up = Parent(top);
        struct stat upSt{};
        if (stat(up.c_str(), &upSt) != 0 || upSt.st_dev != st.st_dev)
            break;
        top = up;
    }
    return top;
}

bool PrepareTrash(const std::string& trash)
{
    return MakeDirectories(trash + "/files", 0700) && MakeDirectories(trash + "/info", 0700);
}

std::string TrashOnFileSystem(const std::string& folder)
{
    std::string top = TopFolder(folder);
    if (top.empty())
        return {};
    const std::string uid = std::to_string(getuid());
    const std::string base = top == "/" ? std::string() : top;
    const std::string shared = base + "/.Trash";
    struct stat st{};
    if (lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)
        && PrepareTrash(shared + "/" + uid))
        return shared + "/" + uid;
    const std::string own = base + "/.Trash-" + uid;
    if (lstat(own.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
        return {};
    if (mkdir(own.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    if (lstat(own.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return {};
    return PrepareTrash(own) ? own : std::string();
}

std::string CandidateName(const std::string& name, int n)
{
    if (n == 1)
        return name;
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0)
        return name + "." + std::to_string(n);
    return name.substr(0, dot) + "." + std::to_string(n) + name.substr(dot);
}

std::string InfoText(const std::string& path)
{
    char date[32] = {};
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + EncodeTrashPath(path) + "\nDeletionDate=" + date + "\n";
}

bool WriteAllToTrash(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

TrashResult Failure(DWORD error, std::string message)
{
    TrashResult result;
    result.error = error;
    result.message = std::move(message);
    return result;
}

// Reserves a name in a trash by creating its info file exclusively, then moves the file in.
TrashResult MoveInto(const std::string& trash, const std::string& path, bool copyAcross)
{
    const std::string name = path.substr(path.find_last_of('/') + 1);
    const std::string info = InfoText(path);
    for (int n = 1; n < 10000; ++n) {
        const std::string candidate = CandidateName(name, n);
        const std::string infoPath = trash + "/info/" + candidate + ".trashinfo";
        const std::string filesPath = trash + "/files/" + candidate;
        int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return Failure(ErrnoToLastError(errno), "cannot create " + infoPath + ": " + std::strerror(errno));
        }
        bool written = WriteAllToTrash(fd, info) && fsync(fd) == 0;
        int err = errno;
        close(fd);
        struct stat st{};
        if (!written || lstat(filesPath.c_str(), &st) == 0) {
            unlink(infoPath.c_str());
            if (!written)
                return Failure(ErrnoToLastError(err), "cannot write " + infoPath + ": " + std::strerror(err));
            continue; // a stray file without info holds the name
        }
        BOOL moved = FALSE;
        if (copyAcross)
            moved = CopyFile(path.c_str(), filesPath.c_str(), TRUE) && DeleteFile(path.c_str());
        else
            moved = rename(path.c_str(), filesPath.c_str()) == 0
                ? TRUE
                : (SetLastError(ErrnoToLastError(errno)), FALSE);
        if (!moved) {
            DWORD error = GetLastError();
            if (copyAcross)
                unlink(filesPath.c_str());
            unlink(infoPath.c_str());
            return Failure(error, "cannot move " + path + " to the trash");
        }
        TrashResult result;
        result.trashedPath = filesPath;
        result.infoPath = infoPath;
        return result;
    }
    return Failure(ERROR_FILE_EXISTS, "no free name in the trash for " + path);
}

} // namespace

std::string EncodeTrashPath(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
            || c == '.' || c == '_' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

TrashResult MoveToTrash(const std::string& given)
{
    if (given.empty())
        return Failure(ERROR_INVALID_PARAMETER, "no path given");
    std::string path = MakeFullPath(given);
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0) {
        DWORD error = errno == ENOENT && !IsDirectory(Parent(path)) ? ERROR_PATH_NOT_FOUND
                                                                   : ErrnoToLastError(errno);
        return Failure(error, path + ": " + std::strerror(errno));
    }
    if (path == "/")
        return Failure(ERROR_ACCESS_DENIED, "the root folder cannot be trashed");

    const std::string home = GetUserDataHome() + "/Trash";
    dev_t homeDevice{};
    const bool sameDevice = DeviceOf(home, homeDevice) && homeDevice == st.st_dev;
    if (sameDevice) {
        if (!PrepareTrash(home))
            return Failure(ERROR_ACCESS_DENIED, "cannot create the trash " + home);
        TrashResult result = MoveInto(home, path, false);
        // A home trash that is itself a mount point elsewhere still falls through below.
        if (result.Succeeded() || result.error != ERROR_NOT_SAME_DEVICE)
            return result;
    }
    const std::string local = TrashOnFileSystem(Parent(path));
    if (!local.empty()) {
        TrashResult result = MoveInto(local, path, false);
        if (result.Succeeded())
            return result;
    }
    if (!S_ISREG(st.st_mode))
        return Failure(ERROR_NOT_SAME_DEVICE, "no trash on the file system of " + path);
    if (!PrepareTrash(home))
        return Failure(ERROR_ACCESS_DENIED, "cannot create the trash " + home);
    return MoveInto(home, path, true);
}
