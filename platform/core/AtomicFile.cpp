#include "platform/core/AtomicFile.h"
#include "platform/core/FdGuard.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int WriteAll(int fd, std::string_view data)
{
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return 0;
}

} // namespace

unsigned CurrentUmask()
{
    // The kernel tells the mask without changing it; asking umask() itself would set it for a
    // moment, and another thread creating a file then would get the wrong mode.
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return mask & 0777;
    }
    static std::mutex s_lock;
    std::lock_guard<std::mutex> guard(s_lock);
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return static_cast<unsigned>(mask) & 0777;
}

void IgnoreFileSizeLimitSignal()
{
    static std::once_flag s_once;
    std::call_once(s_once, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

int WriteFileAtomically(const std::string& path, std::string_view data, unsigned newFileMode)
{
    IgnoreFileSizeLimitSignal();
    // A new file is made as open() would make it: the mode asked for, less the user's umask
    // (the temporary file's own 0600 must not leak through, nor a wider mode than the user allows).
    // A file that is there keeps its own mode.
    struct stat st{};
    const mode_t mode = stat(path.c_str(), &st) == 0 ? st.st_mode & 07777
                                                      : static_cast<mode_t>(newFileMode & 07777 & ~CurrentUmask());

    size_t slash = path.find_last_of('/');
    std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp = dir + (dir.back() == '/' ? "" : "/") + "." + base + ".XXXXXX";

    FdGuard fd(mkostemp(temp.data(), O_CLOEXEC));
    if (fd.Get() < 0)
        return errno;
    int result = WriteAll(fd.Get(), data);
    if (result == 0 && fchmod(fd.Get(), mode) != 0)
        result = errno;
    if (result == 0 && fsync(fd.Get()) != 0)
        result = errno;
    if (fd.Close() != 0 && result == 0)
        result = errno;
    if (result == 0 && rename(temp.c_str(), path.c_str()) != 0)
        result = errno;
    if (result != 0)
        unlink(temp.c_str());
    return result;
}

int ReadWholeFile(const std::string& path, std::string& data)
{
    data.clear();
    FdGuard fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        return errno;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        data.append(buffer, static_cast<size_t>(n));
    }
}

int MoveDamagedFileAside(const std::string& path, std::string& aside)
{
    for (int n = 1;; ++n) {
        aside = path + ".damaged" + (n == 1 ? std::string() : "." + std::to_string(n));
        if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0)
            return 0;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            return errno;
        // A file system that cannot refuse to replace: look first, then move.
        struct stat st{};
        if (lstat(aside.c_str(), &st) == 0)
            continue;
        return rename(path.c_str(), aside.c_str()) == 0 ? 0 : errno;
    }
}
