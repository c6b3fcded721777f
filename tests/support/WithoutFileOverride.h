// WithoutFileOverride: while it lives, the threads this thread starts meet file permissions as
// any user does. Tests run as root on CI, and root reads a file or folder of mode 000 all the
// same; dropping the override capabilities from the calling thread's effective set (they stay
// permitted, and come back when the object goes) makes such a file unreadable for real. Threads
// take their capabilities from the thread that starts them, so start the work after making it.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class WithoutFileOverride {
public:
    WithoutFileOverride()
    {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct dropped[2] = {m_saved[0], m_saved[1]};
        for (const int nCap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            dropped[nCap / 32].effective &= ~(1u << (nCap % 32));
        m_bDropped = ::syscall(SYS_capset, &m_header, dropped) == 0;
    }
    ~WithoutFileOverride()
    {
        if (m_bDropped)
            (void)::syscall(SYS_capset, &m_header, m_saved);
    }
    WithoutFileOverride(const WithoutFileOverride&) = delete;
    WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;

    // Whether a file of mode 000 is now closed to this thread: false when the capabilities
    // could not be dropped while running as root.
    bool Holds() const { return ::geteuid() != 0 || m_bDropped; }

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_bDropped = false;
};
