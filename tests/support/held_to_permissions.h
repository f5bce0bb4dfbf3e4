#pragma once
// Holds the calling thread to file permissions while it lives, also when the tests run as root: root's
// rights to read and write any file are set aside from the thread's effective capabilities, and given
// back at the end. A file whose mode denies reading then does not open for reading.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class CHeldToPermissions
{
public:
    CHeldToPermissions()
    {
        m_saved = ::syscall(SYS_capget, &m_header, m_data) == 0;
        if (!m_saved) return;
        __user_cap_data_struct held[2] = {m_data[0], m_data[1]};
        held[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ::syscall(SYS_capset, &m_header, held);
    }
    ~CHeldToPermissions()
    {
        if (m_saved) ::syscall(SYS_capset, &m_header, m_data);
    }
    CHeldToPermissions(const CHeldToPermissions&) = delete;
    CHeldToPermissions& operator=(const CHeldToPermissions&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_data[2]{};
    bool m_saved = false;
};
