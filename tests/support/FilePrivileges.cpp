#include "support/FilePrivileges.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>
#include <initializer_list>

namespace {

bool capabilities(bool set, __user_cap_data_struct* data)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0}; // pid 0: this thread
    return syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
}

} // namespace

WithoutFilePrivileges::WithoutFilePrivileges()
{
    __user_cap_data_struct data[2] = {};
    if (!capabilities(false, data))
        return;
    static_assert(sizeof data == sizeof m_saved);
    std::memcpy(m_saved, data, sizeof data);
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        data[capability / 32].effective &= ~(1u << (capability % 32));
    m_dropped = capabilities(true, data);
}

WithoutFilePrivileges::~WithoutFilePrivileges()
{
    if (!m_dropped)
        return;
    __user_cap_data_struct data[2];
    std::memcpy(data, m_saved, sizeof data);
    capabilities(true, data);
}
