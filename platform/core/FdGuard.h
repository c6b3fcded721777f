// FdGuard: a file descriptor closed on every path out of the scope that holds it.
#pragma once

#include <unistd.h>

class FdGuard {
public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard() { Close(); }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int Get() const { return m_fd; }
    void Reset(int fd)
    {
        Close();
        m_fd = fd;
    }
    // Closes now; the result of close(), which reports a write the file system could not keep.
    int Close()
    {
        const int rc = m_fd >= 0 ? ::close(m_fd) : 0;
        m_fd = -1;
        return rc;
    }

private:
    int m_fd;
};
