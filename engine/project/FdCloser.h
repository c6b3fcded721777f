// FdCloser: a file descriptor of the save's file work, closed when it goes out of scope.
#pragma once

#include <unistd.h>

class FdCloser {
public:
    explicit FdCloser(int fd) : m_fd(fd) {}
    ~FdCloser() { Close(); }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    int Get() const { return m_fd; }
    void Reset(int fd)
    {
        Close();
        m_fd = fd;
    }
    int Close()
    {
        const int nResult = m_fd >= 0 ? ::close(m_fd) : 0;
        m_fd = -1;
        return nResult;
    }

private:
    int m_fd;
};
